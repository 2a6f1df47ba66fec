#pragma once
// Records of the DSP system database ("DspSystemDB.json"): DSP systems, their DSPs, cores and the
// resources of each core. DSP and core numbers are positions in their lists. Plain values.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace Compiler {

struct T_DSPSYSTEMDB_RESOURCE {
    std::string name;     // "step" is the core's processing capacity
    uint32_t offset = 0;  // base added to every position handed out
    uint64_t size = 0;
    bool shared = false;  // carried, not used by the compiler
};

struct T_DSPSYSTEMDB_CORE {
    uint32_t coreNo = 0;
    std::vector<T_DSPSYSTEMDB_RESOURCE> resources;
};

struct T_DSPSYSTEMDB_DSP {
    uint32_t dspNo = 0;
    std::string name;
    std::vector<T_DSPSYSTEMDB_CORE> cores;
};

struct T_DSPSYSTEMDB_DSPSYSTEM {
    std::string name;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    std::vector<T_DSPSYSTEMDB_DSP> dsps;
};

struct T_DSPSYSTEMDB {
    std::vector<T_DSPSYSTEMDB_DSPSYSTEM> dspSystems;  // document order

    JLIB::JResult clear()
    {
        *this = T_DSPSYSTEMDB();
        return JLIB::kOk;
    }
};

}  // namespace Compiler
