#pragma once
// The id maker behind file_getUuid with its MAC source and generator state passed in, so the
// layout and the fallback can be checked without the machine's interfaces. Module-private.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace fsw_internal {

using MacReader = JLIB::JResult (*)(uint8_t* buffer, uint32_t size);

constexpr uint32_t kUuidGeneratorStart = 0x50000;

// One step of the 24-bit generator.
constexpr uint32_t nextUuidValue(uint32_t x) { return (x * 16598013u + 12820163u) & 0xFFFFFFu; }

[[nodiscard]] JLIB::JResult makeUuid(uint8_t* buffer, uint32_t size, MacReader readMac, uint32_t& generator);

}  // namespace fsw_internal
