#pragma once
// "devmode" changes the device mode; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandDEVMODE : public ScpServerCommand {
public:
    ScpServerCommandDEVMODE();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementAlNum m_mode;
};

}  // namespace SCP
