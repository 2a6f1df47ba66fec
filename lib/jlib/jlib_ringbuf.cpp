#include "jlib_ringbuf.h"

#include <cstring>

namespace {

constexpr uint32_t kIndexMask = 0x00FFFFFFu;
constexpr uint32_t kInconsistent = 0x80000005u;

uint32_t indexOf(uint32_t pos) { return pos & kIndexMask; }
uint32_t wrapOf(uint32_t pos) { return pos >> 24; }

// Moves a position by count places (count <= capacity), bumping the 8-bit wrap counter once
// the index passes the end.
uint32_t advance(uint32_t pos, uint32_t count, uint32_t capacity)
{
    uint32_t index = indexOf(pos) + count;
    uint32_t wrap = wrapOf(pos);
    if (index >= capacity) {
        index -= capacity;
        wrap = (wrap + 1) & 0xFFu;
    }
    return (wrap << 24) | index;
}

// The places of count elements from a position, as at most two runs of bytes.
struct Runs {
    unsigned char* first;
    size_t firstBytes;
    unsigned char* second;
    size_t secondBytes;
};

Runs runsAt(const T_JLIB_RINGBUF& ring, uint32_t pos, uint32_t count)
{
    auto* base = static_cast<unsigned char*>(ring.pMemory);
    const uint32_t index = indexOf(pos);
    const uint32_t first = count < ring.capacity - index ? count : ring.capacity - index;
    const size_t width = ring.elementWidth;
    return {base + size_t{index} * width, first * width, base, (count - first) * width};
}

}  // namespace

JLIB::JResult jlib_ringBufInit(uint16_t elementWidth, uint32_t capacity, void* memory, T_JLIB_RINGBUF* ring)
{
    if ((elementWidth != 1 && elementWidth != 2 && elementWidth != 4) || capacity > kRingBufMaxCapacity) {
        return JLIB::kInvalidArgument;
    }
    ring->elementWidth = elementWidth;
    ring->capacity = capacity;
    ring->pMemory = memory;
    ring->writePos = 0;
    ring->readPos = 0;
    return JLIB::kOk;
}

JLIB::JResult jlib_ringBufClear(T_JLIB_RINGBUF* ring)
{
    ring->writePos = 0;
    ring->readPos = 0;
    return JLIB::kOk;
}

JLIB::JResult jlib_ringBufFull(T_JLIB_RINGBUF* ring)
{
    ring->writePos = 1u << 24;
    ring->readPos = 0;
    return JLIB::kOk;
}

uint32_t jlib_ringBufGetDataSize(const T_JLIB_RINGBUF* ring)
{
    // The writer is in the reader's pass or one pass ahead; the counters wrap at 256.
    const uint32_t passes = (wrapOf(ring->writePos) - wrapOf(ring->readPos)) & 0xFFu;
    if (passes > 1) return kInconsistent;
    const int64_t held = int64_t{indexOf(ring->writePos)} + (passes ? int64_t{ring->capacity} : 0) -
                         int64_t{indexOf(ring->readPos)};
    if (held < 0 || held > int64_t{ring->capacity}) return kInconsistent;
    return static_cast<uint32_t>(held);
}

uint32_t jlib_ringBufGetBlankSize(const T_JLIB_RINGBUF* ring)
{
    const uint32_t held = jlib_ringBufGetDataSize(ring);
    if (JLIB::isFailure(held)) return held;
    return ring->capacity - held;
}

JLIB::JResult jlib_ringBufSetData(uint32_t count, const void* source, uint32_t* written, T_JLIB_RINGBUF* ring)
{
    const uint32_t blank = jlib_ringBufGetBlankSize(ring);
    if (JLIB::isFailure(blank)) {
        if (written) *written = 0;
        return blank;
    }
    const uint32_t take = count < blank ? count : blank;
    if (take) {
        const Runs runs = runsAt(*ring, ring->writePos, take);
        const auto* from = static_cast<const unsigned char*>(source);
        std::memcpy(runs.first, from, runs.firstBytes);
        if (runs.secondBytes) std::memcpy(runs.second, from + runs.firstBytes, runs.secondBytes);
        ring->writePos = advance(ring->writePos, take, ring->capacity);
    }
    if (written) *written = take;
    return take < count ? 0x80000002u : JLIB::kOk;
}

JLIB::JResult jlib_ringBufGetData(uint32_t count, void* destination, uint32_t* read, T_JLIB_RINGBUF* ring)
{
    const uint32_t held = jlib_ringBufGetDataSize(ring);
    if (read) *read = 0;
    if (JLIB::isFailure(held)) return held;
    if (held == 0) return 0x80000003u;
    const uint32_t take = count < held ? count : held;
    if (take) {
        const Runs runs = runsAt(*ring, ring->readPos, take);
        auto* to = static_cast<unsigned char*>(destination);
        std::memcpy(to, runs.first, runs.firstBytes);
        if (runs.secondBytes) std::memcpy(to + runs.firstBytes, runs.second, runs.secondBytes);
        ring->readPos = advance(ring->readPos, take, ring->capacity);
    }
    if (read) *read = take;
    return held > take ? 4u : JLIB::kOk;
}
