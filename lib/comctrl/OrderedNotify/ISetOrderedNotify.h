#pragma once
// A writer of one ordered notification table.
#include <cstdint>

namespace OrderedNotify {

class ISetOrderedNotify {
public:
    // Destroys the writer; it must not be used afterwards.
    virtual void release() = 0;
    // Signals the item: it waits at the end of the order. 0, or a failure with the top bit set.
    [[nodiscard]] virtual uint32_t notify(uint32_t index) = 0;
    virtual ~ISetOrderedNotify() = default;
};

}  // namespace OrderedNotify
