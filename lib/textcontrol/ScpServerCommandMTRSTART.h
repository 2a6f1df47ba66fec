#pragma once
// "mtrstart" subscribes the session to a meter address, or renews the subscription with a new
// interval; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandMeter.h"

namespace SCP {

class ScpServerCommandMTRSTART : public ScpServerCommandMeter {
public:
    ScpServerCommandMTRSTART();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    // An interval above 0x7FFFFFFF ms is refused as negative.
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address,
                                    uint32_t intervalMs);

private:
    ScpElementInteger m_interval;
};

}  // namespace SCP
