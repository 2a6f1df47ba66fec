#pragma once
// Arithmetic on 32-bit millisecond counters, which wrap about every 49.7 days. Any task.
#include <cstdint>

namespace DRAVO {

// now - before modulo 2^32: the elapsed time, also across one wrap of the counter.
uint32_t diffTimeMs(uint32_t now, uint32_t before);
// time + offset modulo 2^32.
uint32_t offsetTimeMs(uint32_t time, int32_t offset);

}  // namespace DRAVO
