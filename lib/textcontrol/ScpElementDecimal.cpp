#include "textcontrol/ScpElementDecimal.h"

#include <cstdio>
#include <cstring>

#include "jlib/jlib_number.h"
#include "textcontrol/internal/scp_output.h"
#include "textcontrol/internal/scp_token.h"

namespace SCP {

void ScpElementDecimal::clear()
{
    ScpElement::clear();
    m_value = 0.0;
}

JLIB::JResult ScpElementDecimal::set(double value)
{
    m_value = value;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementDecimal::decode(const ScpString& token)
{
    char text[internal::kNumberBuffer];
    const bool cut = internal::scp_tokenToAscii(token, text, sizeof text);
    const char* end = text;
    double value = 0.0;
    (void)jlib_strntod(&value, text, &end, sizeof text);  // fails only for null pointers
    m_value = value;
    JLIB::JResult status = cut ? kAdjusted : JLIB::kOk;
    if (!internal::scp_onlySpaceAfter(end)) status = 0x80000002u;
    if (JLIB::isSuccess(status)) markSet(true);
    return status;
}

JLIB::JResult ScpElementDecimal::encode(ScpFormat, ScpEncoding, JLIB::JDataStream<unsigned char>& stream)
{
    char text[12];  // 11 characters and the NUL: snprintf cuts the rest
    std::snprintf(text, sizeof text, "%f", m_value);
    return internal::scp_writeText(stream, text);
}

}  // namespace SCP
