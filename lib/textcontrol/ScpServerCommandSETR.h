#pragma once
// "setr" steps a parameter; one object per request, on the server's thread.
#include <cstdint>

#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpServerCommandWrite.h"

namespace SCP {

class ScpServerCommandSETR : public ScpServerCommandWrite {
public:
    ScpServerCommandSETR();
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor) override;
    [[nodiscard]] JLIB::JResult run(uint8_t session, ScpInfoAccessor& accessor, const char* address, uint32_t x,
                                    uint32_t y, int32_t relative);

private:
    ScpElementInteger m_relative;
};

}  // namespace SCP
