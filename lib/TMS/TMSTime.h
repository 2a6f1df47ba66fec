#pragma once
// Arithmetic on the wrapping unsigned 32-bit millisecond count: differences stay right across
// the wrap. Any task.
#include <cstdint>

namespace TMS {

// a - b modulo 2^32.
inline uint32_t diffTime(uint32_t a, uint32_t b) { return a - b; }
// a + b modulo 2^32.
inline uint32_t offsetTime(uint32_t a, int32_t b) { return a + static_cast<uint32_t>(b); }

}  // namespace TMS
