#include "textcontrol/ScpElementText.h"

#include "textcontrol/ScpDebugOutput.h"
#include "textcontrol/ScpHeap.h"
#include "textcontrol/internal/scp_token.h"

namespace SCP {

ScpElementText::ScpElementText() : m_value(makeScpString(kCapacity)) {}

ScpElementText::ScpElementText(const char* tag, const ScpString& value)
    : ScpElement(tag, true), m_value(makeScpString(kCapacity))
{
    m_value = value;
}

void ScpElementText::clear()
{
    ScpElement::clear();
    (void)m_value.clear();  // keeps the storage: always 0
}

JLIB::JResult ScpElementText::decode(const ScpString& token)
{
    internal::scp_decodeText(m_value, token);
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementText::set(const ScpString& value)
{
    m_value = value;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementText::set(const char* latin1)
{
    const bool ok = latin1 && JLIB::isSuccess(m_value.fromLatin1(latin1, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

JLIB::JResult ScpElementText::set(const wchar_t* text)
{
    const bool ok = text && JLIB::isSuccess(m_value.fromWChar(text, 0xFFFFFFFFu));
    markSet(ok);
    return ok ? JLIB::kOk : 0x80000004u;
}

void ScpElementText::debugOutput() const
{
    wchar_t text[kCapacity + 1] = {};
    uint32_t written = 0;
    (void)m_value.toWChar(text, kCapacity + 1, &written);  // an empty value traces an empty text
    (void)ScpWDebugOutput(L"%ls", text);
}

}  // namespace SCP
