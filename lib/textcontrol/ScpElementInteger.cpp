#include "textcontrol/ScpElementInteger.h"

#include <cstdio>

#include "jlib/jlib_number.h"
#include "textcontrol/internal/scp_output.h"
#include "textcontrol/internal/scp_token.h"

namespace SCP {

void ScpElementInteger::clear()
{
    ScpElement::clear();
    m_value = 0;
}

JLIB::JResult ScpElementInteger::set(int32_t value)
{
    m_value = value;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementInteger::decodeNumber(const ScpString& token, int base)
{
    char text[internal::kNumberBuffer];
    const bool cut = internal::scp_tokenToAscii(token, text, sizeof text);
    const char* end = text;
    int32_t value = 0;
    const JLIB::JResult parsed = jlib_strntol(&value, text, &end, base, sizeof text);
    JLIB::JResult status = (cut || JLIB::isFailure(parsed)) ? kAdjusted : JLIB::kOk;  // overflow is clamped
    m_value = value;
    if (!internal::scp_onlySpaceAfter(end)) status = 0x80000002u;
    if (JLIB::isSuccess(status)) markSet(true);
    return status;
}

JLIB::JResult ScpElementInteger::decode(const ScpString& token) { return decodeNumber(token, 10); }

JLIB::JResult ScpElementInteger::encode(ScpFormat, ScpEncoding, JLIB::JDataStream<unsigned char>& stream)
{
    char text[12];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(m_value));  // 11 characters hold every value
    return internal::scp_writeText(stream, text);
}

}  // namespace SCP
