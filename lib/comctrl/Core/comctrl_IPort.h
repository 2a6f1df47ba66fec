#pragma once
// How a port component reaches its port: grow the buffers, ask to send. Owner task of the link only.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

class IPort {
public:
    // Room for payloads of size bytes.
    [[nodiscard]] virtual JLIB::JResult expandBufferSize(uint32_t size) = 0;
    // Lets the named port's component produce and send what it has now.
    [[nodiscard]] virtual JLIB::JResult writeRequest(const char* portName) = 0;
    virtual ~IPort() = default;
};

}  // namespace ComControl
