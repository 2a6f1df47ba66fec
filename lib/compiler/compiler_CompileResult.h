#pragma once
// Records of the compile result ("CompileResult.json"): the chosen DSP system with the compile's
// code, the placed components, their connections and where each one runs. Plain values.
#include <cstdint>
#include <string>
#include <vector>

#include "jlib/jlib_result.h"

namespace Compiler {

struct T_COMPILERESULT_DSPSYSTEM {
    std::string name;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    uint32_t renderSamples = 0;
    bool delayCompensation = false;
    uint32_t result = 0;  // the compile's result code
};

struct T_COMPILERESULT_COMPONENT {
    uint32_t uniqID = 0;
    std::string name;
    uint32_t majorVersion = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;
};

struct T_COMPILERESULT_CONNECTION {
    uint32_t fromUniqID = 0;
    uint32_t fromPortNo = 0;
    uint32_t toUniqID = 0;
    uint32_t toPortNo = 0;
};

struct T_COMPILERESULT_RESOURCE {
    std::string name;
    uint64_t offset = 0;  // position handed out, base offset included
    uint32_t size = 0;    // amount taken
};

struct T_COMPILERESULT_DSPASSIGNMENT {
    uint32_t dspNo = 0;
    uint32_t coreNo = 0;
    std::vector<T_COMPILERESULT_RESOURCE> resources;
    uint32_t uniqID = 0;
    uint32_t preUniqID = 0;  // placed on the same core just before, 0 for the first
};

struct T_COMPILERESULT {
    T_COMPILERESULT_DSPSYSTEM dspSystem;
    std::vector<T_COMPILERESULT_COMPONENT> components;
    std::vector<T_COMPILERESULT_CONNECTION> connections;
    std::vector<T_COMPILERESULT_DSPASSIGNMENT> dspAssignments;
    std::vector<T_COMPILERESULT_CONNECTION> logicConnections;

    JLIB::JResult clear()
    {
        *this = T_COMPILERESULT();
        return JLIB::kOk;
    }
};

}  // namespace Compiler
