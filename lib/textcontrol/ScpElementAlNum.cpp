#include "textcontrol/ScpElementAlNum.h"

#include "textcontrol/ScpDebugOutput.h"
#include "textcontrol/ScpHeap.h"
#include "textcontrol/internal/scp_output.h"
#include "textcontrol/internal/scp_token.h"

namespace SCP {

ScpElementAlNum::ScpElementAlNum() : m_value(makeScpString(kCapacity)) {}

ScpElementAlNum::ScpElementAlNum(const char* tag, const ScpString& value)
    : ScpElement(tag, true), m_value(makeScpString(kCapacity))
{
    m_value = value;
}

void ScpElementAlNum::clear()
{
    ScpElement::clear();
    (void)m_value.clear();  // keeps the storage: always 0
}

JLIB::JResult ScpElementAlNum::decode(const ScpString& token)
{
    internal::scp_decodeText(m_value, token);
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementAlNum::encode(ScpFormat format, ScpEncoding encoding, JLIB::JDataStream<unsigned char>& stream)
{
    if (format == kScpFormatJson) return internal::scp_writeQuoted(stream, m_value, encoding);
    return internal::scp_writeBare(stream, m_value, encoding);
}

JLIB::JResult ScpElementAlNum::set(const ScpString& value)
{
    m_value = value;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementAlNum::set(const char* latin1)
{
    const bool ok = latin1 && JLIB::isSuccess(m_value.fromLatin1(latin1, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

JLIB::JResult ScpElementAlNum::set(const wchar_t* text)
{
    const bool ok = text && JLIB::isSuccess(m_value.fromWChar(text, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

JLIB::JResult ScpElementAlNum::get(char* buffer, uint32_t size) const
{
    if (!buffer || size == 0) return 0x80000004u;
    buffer[0] = '\0';
    uint32_t written = 0;
    return m_value.toLatin1(buffer, size, &written, ' ') == JLIB::kUnicodeNoRoom ? 3 : JLIB::kOk;
}

void ScpElementAlNum::debugOutput() const
{
    wchar_t text[kCapacity + 1] = {};
    uint32_t written = 0;
    (void)m_value.toWChar(text, kCapacity + 1, &written);  // an empty value traces an empty text
    (void)ScpWDebugOutput(L"%ls", text);
}

}  // namespace SCP
