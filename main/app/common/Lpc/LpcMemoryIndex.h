#pragma once
// The number of a protocol parameter: the row of both protocol tables (LpcMemoryItem.h,
// LpcOscParameterItem.h), so the rack bridge and the OSC surface name a parameter alike.
#include <cstdint>

namespace LPC {

// Rows 0 to 144; MEMORY_INDEX_NUM stands for no parameter.
enum MemoryIndex : int32_t {
    MEMORY_INDEX_FIRST = 0,
    MEMORY_INDEX_LAST = 144,
    MEMORY_INDEX_NUM = 145,
};

}  // namespace LPC
