#pragma once
// "mtrstop" ends the session's subscription to a meter address; one object per request, on the
// server's thread.
#include <cstdint>

#include "textcontrol/ScpServerCommandMeter.h"

namespace SCP {

class ScpServerCommandMTRSTOP : public ScpServerCommandMeter {
public:
    ScpServerCommandMTRSTOP();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address);
};

}  // namespace SCP
