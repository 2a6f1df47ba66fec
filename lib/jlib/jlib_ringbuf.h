#pragma once
// Ring-buffer descriptor over memory its owner supplies, written and read in runs of elements.
// No lock: the owner serialises the writer and the reader. The functions trust the
// descriptor pointer; it is always one that jlib_ringBufInit set up.
#include "jlib/jlib_result.h"

#include <cstdint>

struct T_JLIB_RINGBUF {
    uint16_t elementWidth;  // 1, 2 or 4 bytes
    uint32_t capacity;      // element places, at most 0x1000000
    void* pMemory;          // capacity x width bytes, owned by the caller
    uint32_t writePos;      // bits 0-23 index of the next place to write, bits 24-31 wrap counter
    uint32_t readPos;       // the same for the next place to read
};

constexpr uint32_t kRingBufMaxCapacity = 0x1000000u;

// An empty ring over memory. 0x80000001 for a width other than 1, 2, 4 or a capacity above
// 0x1000000 (the descriptor is then left as it was).
[[nodiscard]] JLIB::JResult jlib_ringBufInit(uint16_t elementWidth, uint32_t capacity, void* memory,
                                             T_JLIB_RINGBUF* ring);
JLIB::JResult jlib_ringBufClear(T_JLIB_RINGBUF* ring);
// Marks the ring as holding capacity elements (write one pass ahead at index 0, read at 0).
JLIB::JResult jlib_ringBufFull(T_JLIB_RINGBUF* ring);

// Number of elements held, or 0x80000005 for positions that are not consistent.
[[nodiscard]] uint32_t jlib_ringBufGetDataSize(const T_JLIB_RINGBUF* ring);
// Capacity minus the number held, or the error of jlib_ringBufGetDataSize.
[[nodiscard]] uint32_t jlib_ringBufGetBlankSize(const T_JLIB_RINGBUF* ring);

// Appends up to count elements; *written (optional) gets the number stored.
// 0 all stored; 0x80000002 only the free places were filled; 0x80000005 inconsistent positions.
[[nodiscard]] JLIB::JResult jlib_ringBufSetData(uint32_t count, const void* source, uint32_t* written,
                                                T_JLIB_RINGBUF* ring);
// Takes up to count elements in order; *read (optional) gets the number taken.
// 0 everything held was taken; 4 elements remain; 0x80000003 empty (read 0);
// 0x80000005 inconsistent positions.
[[nodiscard]] JLIB::JResult jlib_ringBufGetData(uint32_t count, void* destination, uint32_t* read,
                                                T_JLIB_RINGBUF* ring);
