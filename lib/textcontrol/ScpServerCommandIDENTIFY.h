#pragma once
// "identify" starts the device's identification; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandIDENTIFY : public ScpServerCommand {
public:
    ScpServerCommandIDENTIFY();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, uint32_t duration);

private:
    ScpElementInteger m_duration;
};

}  // namespace SCP
