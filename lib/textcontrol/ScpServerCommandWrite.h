#pragma once
// Shared frame of the four writes: address, x, y as arguments echoed in the reply.
#include <cstdint>

#include "textcontrol/ScpElementAlNum.h"
#include "textcontrol/ScpElementInteger.h"
#include "textcontrol/ScpElementParameter.h"
#include "textcontrol/ScpElementString.h"
#include "textcontrol/ScpServerCommand.h"

namespace SCP {

class ScpServerCommandWrite : public ScpServerCommand {
protected:
    explicit ScpServerCommandWrite(const char* name);
    // "UnknownAddress" or "InvalidArgument" before any write; 0 with the address index.
    JLIB::JResult check(ScpParameter& model, uint32_t& index);
    // The canonical address, and the display text into "text".
    void readBack(ScpParameter& model, uint8_t session, uint32_t index);
    JLIB::JResult setArguments(const char* address, uint32_t x, uint32_t y);

    ScpElementAlNum m_address;
    ScpElementInteger m_x;
    ScpElementInteger m_y;
    ScpElementParameter m_param;
    ScpElementString m_text;
};

}  // namespace SCP
