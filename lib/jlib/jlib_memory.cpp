#include "jlib/jlib_memory.h"

#include <cstring>

uint32_t jlib_memset(void* memory, int value, uint32_t size)
{
    if (!memory || size == 0) return JLIB_STR_NULL;
    std::memset(memory, value & 0xFF, size);
    return JLIB_STR_OK;
}

uint32_t jlib_memsetlong(void* memory, uint32_t value, uint32_t size)
{
    if (!memory || size == 0) return JLIB_STR_NULL;
    if ((reinterpret_cast<uintptr_t>(memory) & 3u) != 0 || (size & 3u) != 0) return JLIB_STR_NULL;
    auto* words = static_cast<uint32_t*>(memory);
    for (uint32_t i = 0; i < size / 4; ++i) words[i] = value;
    return JLIB_STR_OK;
}

uint32_t jlib_memcpy(void* destination, const void* source, uint32_t size)
{
    if (!destination || !source) return JLIB_STR_NULL;
    if (size != 0) std::memcpy(destination, source, size);
    return JLIB_STR_OK;
}

uint32_t jlib_memncpy(void* destination, const void* source, uint32_t size)
{
    return jlib_memcpy(destination, source, size);
}

uint32_t jlib_memcmp(const void* first, const void* second, uint32_t size)
{
    if (!first || !second) return JLIB_STR_NULL;
    const auto* a = static_cast<const unsigned char*>(first);
    const auto* b = static_cast<const unsigned char*>(second);
    for (uint32_t i = 0; i < size; ++i) {
        if (a[i] > b[i]) return JLIB_CMP_GREATER;
        if (a[i] < b[i]) return JLIB_CMP_SMALLER;
    }
    return JLIB_CMP_EQUAL;
}

uint32_t jlib_memncmp(const void* first, const void* second, uint32_t size)
{
    return jlib_memcmp(first, second, size);
}
