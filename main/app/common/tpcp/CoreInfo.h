#pragma once
// The status of one DSP core as the player reports it: 20 bytes kept as received.
#include <cstdint>

namespace TPCP {

struct CoreInfo {
    unsigned char bytes[20];
};
static_assert(sizeof(CoreInfo) == 20 && alignof(CoreInfo) == 1, "records are read in place from a blob");

}  // namespace TPCP
