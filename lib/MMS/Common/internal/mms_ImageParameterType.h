#pragma once
// The parameter type code the readers of export images give a "PR" tag: the first code in the
// order below whose data class equals the tag's and that fits its element size (a string fits any
// size, an unsigned byte any size but 0, 1, 2 and 4); 0 when none fits. So class 2 with size 0 is
// a bit, class 2 with size 3 or above 4 an unsigned byte array read as one Binary, and class 3 of
// any size but 4 unknown.
#include <cstdint>

#include "mms_CollectionTagInfo.h"

namespace MMS::internal {

constexpr uint32_t kImageTypeOrder[] = {0x001, 0x002, 0x004, 0x101, 0x102, 0x104, 0x201, 0x304, 0x100};

inline uint32_t imageParameterType(uint8_t dataClass, uint32_t elementSize)
{
    for (uint32_t type : kImageTypeOrder) {
        if (CollectionTagInfo::dataTypeConverter(type) != dataClass) continue;
        bool fits = (type & 0xFF) == elementSize;
        if (type == 0x201) fits = true;
        if (type == 0x101 && elementSize != 0 && elementSize != 2 && elementSize != 4) fits = true;
        if (fits) return type;
    }
    return 0;
}

}  // namespace MMS::internal
