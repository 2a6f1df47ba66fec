#pragma once
// Records of the component database ("ComponentDB.json"): component types, the DSPs each can run
// on and what it needs on one core there. Plain values.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace Compiler {

struct T_COMPONENTDB_RESOURCE {
    std::string name;  // "step" is processing capacity
    uint32_t size = 0;
};

struct T_COMPONENTDB_DSPRESOURCE {
    std::string dspName;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    uint32_t fixedDelay = 0;  // carried, not used by the compiler
    std::vector<T_COMPONENTDB_RESOURCE> resources;
};

struct T_COMPONENTDB_COMPONENT {
    std::string name;
    uint32_t majorVersion = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;
    uint32_t numInPort = 0;
    uint32_t numOutPort = 0;
    std::vector<T_COMPONENTDB_DSPRESOURCE> dspResources;
};

struct T_COMPONENTDB {
    std::vector<T_COMPONENTDB_COMPONENT> components;  // document order, duplicates kept

    JLIB::JResult clear()
    {
        *this = T_COMPONENTDB();
        return JLIB::kOk;
    }
};

}  // namespace Compiler
