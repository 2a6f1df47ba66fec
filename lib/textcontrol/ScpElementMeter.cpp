#include "textcontrol/ScpElementMeter.h"

#include <cstdio>

#include "textcontrol/ScpDebugOutput.h"
#include "textcontrol/internal/scp_output.h"

namespace SCP {

JLIB::JResult ScpElementMeter::decode(const ScpString& token) { return decodeNumber(token, 16); }

JLIB::JResult ScpElementMeter::encode(ScpFormat, ScpEncoding, JLIB::JDataStream<unsigned char>& stream)
{
    char text[12];
    std::snprintf(text, sizeof text, "%02x", static_cast<unsigned>(m_value));
    // Always two digits: of a larger value its first two.
    return internal::scp_writeBytes(stream, text, 2);
}

void ScpElementMeter::debugOutput() const { (void)ScpDebugOutput("%02x", static_cast<unsigned>(m_value)); }

}  // namespace SCP
