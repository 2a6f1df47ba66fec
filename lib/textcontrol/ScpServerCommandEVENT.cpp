#include "textcontrol/ScpServerCommandEVENT.h"

namespace SCP {

namespace {

constexpr uint8_t kBoth = ScpServerCommand::kArgument | ScpServerCommand::kReply;

}  // namespace

ScpServerCommandEVENT::ScpServerCommandEVENT() : ScpServerCommand("event")
{
    m_eventId.initialize("eventid");
    m_data.initialize("data");
    add(m_eventId, kBoth);
    add(m_data, kBoth);
}

JLIB::JResult ScpServerCommandEVENT::run(uint8_t, ScpInfoAccessor& accessor)
{
    return accessor.getDeviceController().runEvent(m_eventId.get(), m_data.get());
}

}  // namespace SCP
