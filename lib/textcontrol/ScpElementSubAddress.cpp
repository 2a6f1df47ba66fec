#include "textcontrol/ScpElementSubAddress.h"

#include "textcontrol/ScpDebugOutput.h"
#include "textcontrol/internal/scp_output.h"

namespace SCP {

void ScpElementSubAddress::clear()
{
    ScpElementInteger::clear();
    m_all = false;
}

JLIB::JResult ScpElementSubAddress::setAll()
{
    m_value = 0;
    m_all = true;
    markSet(true);
    return JLIB::kOk;
}

JLIB::JResult ScpElementSubAddress::decode(const ScpString& token)
{
    if (token.compare("all", JLIB::kCompareIgnoreCase)) return setAll();
    m_all = false;
    return decodeNumber(token, 10);
}

JLIB::JResult ScpElementSubAddress::encode(ScpFormat format, ScpEncoding encoding,
                                           JLIB::JDataStream<unsigned char>& stream)
{
    if (!m_all) return ScpElementInteger::encode(format, encoding, stream);
    return internal::scp_writeText(stream, format == kScpFormatJson ? "\"all\"" : "all");
}

void ScpElementSubAddress::debugOutput() const
{
    if (m_all) {
        (void)ScpDebugOutput("all");
    } else {
        (void)ScpDebugOutput("%d", static_cast<int>(m_value));
    }
}

}  // namespace SCP
