#pragma once
// How the port multiplexer calls a component: one call per produced or received message, on the
// owner task of the link.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

class IPortObserver {
public:
    static constexpr uint8_t kFlagMore = 1;  // send: call again; receive: ask me for data next
    static constexpr uint8_t kFlagHold = 2;  // receive: keep this packet and offer it again later

    // Send mode: input null and inputLength 0. Receive mode: input is one whole payload. The
    // component writes at most outputCapacity bytes of one message to output (null with
    // capacity 0 when the queue has no room) and its length to *produced (0: nothing). The caller
    // cleared *flags. A failure whose low 16 bits are 1 means "no room now"; any other failure
    // ends the link. The component may call the port's writeRequest from inside this call.
    [[nodiscard]] virtual JLIB::JResult event(uint8_t* output, uint32_t outputCapacity, uint32_t* produced,
                                              const uint8_t* input, uint32_t inputLength, uint8_t* flags) = 0;
    virtual ~IPortObserver() = default;
};

}  // namespace ComControl
