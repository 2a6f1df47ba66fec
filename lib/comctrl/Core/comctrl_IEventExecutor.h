#pragma once
// Runs the text events that arrive on an event port. Called on the owner task of the link, from
// the receive pass; it may send events itself.
#include <cstdint>

namespace ComControl {

class IEventExecutor {
public:
    // name and text are zero-terminated and valid only during the call. A result with the top bit
    // set refuses the event: no answer goes back.
    virtual uint32_t execute(uint32_t userValue, const char* name, const char* text) = 0;
    virtual ~IEventExecutor() = default;
};

}  // namespace ComControl
