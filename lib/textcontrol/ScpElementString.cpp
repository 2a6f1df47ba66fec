#include "textcontrol/ScpElementString.h"

#include "textcontrol/ScpDebugOutput.h"
#include "textcontrol/ScpHeap.h"
#include "textcontrol/internal/scp_output.h"
#include "textcontrol/internal/scp_token.h"

namespace SCP {

ScpElementString::ScpElementString() : m_value(makeScpString(kCapacity)) {}

ScpElementString::ScpElementString(const char* tag, const ScpString& value)
    : ScpElement(tag, true), m_value(makeScpString(kCapacity))
{
    m_value = value;
}

void ScpElementString::clear()
{
    ScpElement::clear();
    (void)m_value.clear();  // keeps the storage: always 0
}

JLIB::JResult ScpElementString::decode(const ScpString& token)
{
    internal::scp_decodeText(m_value, token);
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementString::encode(ScpFormat, ScpEncoding encoding, JLIB::JDataStream<unsigned char>& stream)
{
    return internal::scp_writeQuoted(stream, m_value, encoding);
}

JLIB::JResult ScpElementString::set(const ScpString& value)
{
    m_value = value;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementString::set(const char* latin1)
{
    const bool ok = latin1 && JLIB::isSuccess(m_value.fromLatin1(latin1, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

JLIB::JResult ScpElementString::set(const wchar_t* text)
{
    const bool ok = text && JLIB::isSuccess(m_value.fromWChar(text, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

JLIB::JResult ScpElementString::get(ScpString& out) const
{
    out = m_value;
    return JLIB::kOk;
}

void ScpElementString::debugOutput() const
{
    wchar_t text[kCapacity + 1] = {};
    uint32_t written = 0;
    (void)m_value.toWChar(text, kCapacity + 1, &written);  // an empty value traces an empty text
    (void)ScpWDebugOutput(L"%ls", text);
}

}  // namespace SCP
