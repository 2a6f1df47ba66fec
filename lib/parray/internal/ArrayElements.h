#pragma once
// Element memory and text helpers shared by the three array shapes; not for other modules.
#include <cstdint>
#include <cstdio>
#include <new>

#include "jlib/jlib_memory.h"
#include "parray/IArray.h"
#include "parray/printText.h"

namespace PARRAY::internal {

// Element count of the extents when neither it nor its byte size exceeds 32 bits, else 0: a
// wrapped product would allocate less memory than the extents address.
template <typename T>
uint32_t checkedCount(uint32_t x, uint32_t y = 1, uint32_t z = 1)
{
    uint64_t count = uint64_t{x} * y;
    if (count > UINT32_MAX) return 0;
    count *= z;
    if (count > UINT32_MAX || count * sizeof(T) > UINT32_MAX) return 0;
    return static_cast<uint32_t>(count);
}

// Zero-filled, owned by the caller (delete[]); null when no memory was had.
template <typename T>
T* newZeroedElements(uint32_t count)
{
    return new (std::nothrow) T[count]();
}

// An owned copy of count elements; null when there are none or no memory was had.
template <typename T>
T* duplicateElements(const T* source, uint32_t count)
{
    if (!source || count == 0) return nullptr;
    T* copy = new (std::nothrow) T[count];
    if (copy) (void)jlib_memcpy(copy, source, count * static_cast<uint32_t>(sizeof(T)));  // both present
    return copy;
}

// The first min(targetSize, source size) bytes of the source, as raw bytes; nothing when either
// side has no elements.
inline void copyRaw(void* target, uint32_t targetSize, const IArray& source)
{
    // An array copied onto itself, or onto one sharing its memory, stays as it is.
    if (source.dataPtr() == target) return;
    const uint32_t size = targetSize < source.totalSize() ? targetSize : source.totalSize();
    (void)jlib_memcpy(target, source.dataPtr(), size);  // refuses a null side, which is the "nothing"
}

// The elements of one row: each followed by "," unless last, then a blank.
template <typename T>
void printRow(const T* elements, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        (void)printText(elements[i]);  // always 0
        if (i + 1 < count) std::fputs(",", stdout);
        std::fputs(" ", stdout);
    }
}

}  // namespace PARRAY::internal
