#pragma once
// A component instance ready for placement: the instance's identity with its type's ports and
// what the type needs on each kind of DSP. Plain value.
#include <cstdint>
#include <string>
#include <vector>

#include "compiler_ComponentDB.h"
#include "compiler_ConnectionDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

struct T_COMPONENT_RESOURCE {
    std::string name;
    uint32_t size = 0;
};

struct T_COMPONENT_DSPRESOURCE {
    std::string dspName;
    uint32_t fsHz = 0;
    uint32_t numSamplePerFrame = 0;
    std::vector<T_COMPONENT_RESOURCE> resources;
};

struct T_COMPONENT {
    uint32_t uniqID = 0;
    std::string name;
    uint32_t majorVersion = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;
    uint32_t numInPort = 0;
    uint32_t numOutPort = 0;
    std::vector<T_COMPONENT_DSPRESOURCE> dspResources;
};

// Builds out from the instance and the first type of equal name, majorVersion, numX and numY;
// 0x80000001 (out untouched) when there is none.
[[nodiscard]] JLIB::JResult initializeComponentInstance(const std::vector<T_COMPONENTDB_COMPONENT>& types,
                                                        const T_CONNECTIONDB_COMPONENT& instance, T_COMPONENT& out);

}  // namespace Compiler
