#pragma once
// The reader of ordered notification tables.
#include <cstdint>

namespace OrderedNotify {

class IGetOrderedNotify {
public:
    // The table name (24 bytes written to name) and the item index of the oldest waiting item,
    // which stops waiting: 0; 1 when nothing waits; 0x80000000 on failure.
    [[nodiscard]] virtual uint32_t getFirst(char* name, uint32_t* index) = 0;
    virtual ~IGetOrderedNotify() = default;
};

}  // namespace OrderedNotify
