#pragma once
// "setn" writes a normalised position; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandWrite.h"

namespace SCP {

class ScpServerCommandSETN : public ScpServerCommandWrite {
public:
    ScpServerCommandSETN();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                    uint32_t y, uint32_t nparam);

private:
    ScpElementInteger m_nparam;
};

}  // namespace SCP
