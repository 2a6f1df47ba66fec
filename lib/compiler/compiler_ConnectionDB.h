#pragma once
// Records of the connection database ("ConnectionDB.json"): the DSP system wanted, the component
// instances and the audio and logic connections between them. Plain values.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace Compiler {

struct T_CONNECTIONDB_DSPSYSTEM {
    std::string name;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    uint32_t renderSamples = 0;
    bool delayCompensation = false;
};

struct T_CONNECTIONDB_COMPONENT {
    uint32_t uniqID = 0;
    std::string name;
    uint32_t majorVersion = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;
};

struct T_CONNECTIONDB_CONNECTION {
    uint32_t fromUniqID = 0;
    uint32_t fromPortNo = 0;
    uint32_t toUniqID = 0;
    uint32_t toPortNo = 0;
};

struct T_CONNECTIONDB {
    T_CONNECTIONDB_DSPSYSTEM dspSystem;
    std::vector<T_CONNECTIONDB_COMPONENT> components;         // sorted, each once
    std::vector<T_CONNECTIONDB_CONNECTION> connections;       // sorted, each once
    std::vector<T_CONNECTIONDB_CONNECTION> logicConnections;  // sorted, each once

    JLIB::JResult clear()
    {
        *this = T_CONNECTIONDB();
        return JLIB::kOk;
    }
};

}  // namespace Compiler
