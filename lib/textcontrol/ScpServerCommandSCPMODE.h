#pragma once
// "scpmode" changes a setting of the own session; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandSCPMODE : public ScpServerCommand {
public:
    ScpServerCommandSCPMODE();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* tag, const char* data);

private:
    ScpElementAlNum m_tag;
    ScpElementAlNum m_data;
};

}  // namespace SCP
