#include "textcontrol/ScpServerCommandGETN.h"

namespace SCP {

ScpServerCommandGETN::ScpServerCommandGETN() : ScpServerCommandRead("getn"), m_positions(kListCapacity)
{
    m_positions.initialize("nparam");
    add(m_positions, kReply);
}

JLIB::JResult ScpServerCommandGETN::readElement(ScpInfoAccessor& accessor, uint8_t session, uint32_t index,
                                                uint32_t x, uint32_t y, bool&)
{
    uint32_t position = 0;
    const uint32_t resolution = accessor.getSessionData().getResolution();
    const JLIB::JResult r = accessor.getParameters().getRatio(position, resolution, session, index, x, y);
    if (JLIB::isFailure(r) || m_positions.size() >= kListCapacity) return r;
    (void)m_positions.append(ScpElementInteger("nparam", static_cast<int32_t>(position)));  // room checked above
    return r;
}

}  // namespace SCP
