#include "textcontrol/ScpServerCommandIDENTIFY.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandIDENTIFY::ScpServerCommandIDENTIFY() : ScpServerCommand("identify")
{
    m_duration.initialize("duration");
    add(m_duration, kBoth);
}

JLIB::JResult ScpServerCommandIDENTIFY::run(uint8_t, ScpInfoAccessor& accessor)
{
    return accessor.getDeviceController().runIdentify(static_cast<uint32_t>(m_duration.get()));
}

JLIB::JResult ScpServerCommandIDENTIFY::run(uint8_t session, ScpInfoAccessor& accessor, uint32_t duration)
{
    (void)m_duration.set(static_cast<int32_t>(duration));
    return run(session, accessor);
}

}  // namespace SCP
