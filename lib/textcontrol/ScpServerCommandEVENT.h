#pragma once
// "event" runs a device event; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandEVENT : public ScpServerCommand {
public:
    ScpServerCommandEVENT();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementAlNum m_eventId;
    ScpElementString m_data;
};

}  // namespace SCP
