#pragma once
// The players' last reported status: two words and the status record of each DSP core, kept as
// received. No lock: only the DSP meter thread writes it.
#include <cstdint>

#include "common/tpcp/CoreInfo.h"

namespace DRAVO {

struct PlayerStatusDB {
    static constexpr uint32_t kCoreNum = 32;

    // The one store, built on first use.
    static PlayerStatusDB& singleton();

    uint32_t word1 = 0;
    uint32_t word2 = 0;
    TPCP::CoreInfo cores[kCoreNum] = {};
    uint32_t coreCount = kCoreNum;
};

}  // namespace DRAVO
