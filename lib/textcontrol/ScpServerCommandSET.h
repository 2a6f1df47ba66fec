#pragma once
// "set" writes a parameter value; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpServerCommandWrite.h"

namespace SCP {

class ScpServerCommandSET : public ScpServerCommandWrite {
public:
    ScpServerCommandSET();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                    uint32_t y, int32_t value);
};

}  // namespace SCP
