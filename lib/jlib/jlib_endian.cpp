#include "jlib/jlib_endian.h"

#include <algorithm>

namespace {

bool isElementSize(uint16_t size) { return size == 1 || size == 2 || size == 4 || size == 8; }

}  // namespace

uint32_t jlib_swapEndian(void* value, uint16_t size)
{
    if (!isElementSize(size) || !value) return JLIB_STR_REFUSED;
    auto* bytes = static_cast<unsigned char*>(value);
    std::reverse(bytes, bytes + size);
    return JLIB_STR_OK;
}

uint32_t jlib_swapEndianArray(void* memory, uint32_t count, uint16_t elementSize)
{
    if (!isElementSize(elementSize) || !memory) return JLIB_STR_REFUSED;
    auto* bytes = static_cast<unsigned char*>(memory);
    for (uint64_t at = 0; at < count; at += elementSize) {
        const uint64_t run = std::min<uint64_t>(elementSize, count - at);
        std::reverse(bytes + at, bytes + at + run);
    }
    return JLIB_STR_OK;
}
