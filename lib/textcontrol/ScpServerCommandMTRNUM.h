#pragma once
// "mtrnum" counts the meter addresses; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandMTRNUM : public ScpServerCommand {
public:
    ScpServerCommandMTRNUM();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;

private:
    ScpElementInteger m_number;
};

}  // namespace SCP
