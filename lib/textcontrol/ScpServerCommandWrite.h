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

    // Where a write lands: the parameter, its index and the x, y of the arguments.
    struct Target {
        ScpParameter* model = nullptr;
        uint32_t index = 0;
        uint32_t x = 0;
        uint32_t y = 0;
    };
    // check() on the arguments, then the target; its result on failure.
    JLIB::JResult locate(ScpInfoAccessor& accessor, Target& target);
    // The reply of a write that returned `written`: on success the stored value into "param" and
    // readBack(); `written` either way.
    JLIB::JResult answerWrite(const Target& target, uint8_t session, JLIB::JResult written);

    ScpElementAlNum m_address;
    ScpElementInteger m_x;
    ScpElementInteger m_y;
    ScpElementParameter m_param;
    ScpElementString m_text;
};

}  // namespace SCP
