#pragma once
// "sett" writes a parameter from its display text; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpServerCommandWrite.h"

namespace SCP {

class ScpServerCommandSETT : public ScpServerCommandWrite {
public:
    ScpServerCommandSETT();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                    uint32_t y, const char* text);
};

}  // namespace SCP
