#pragma once
// What a compile strategy reports to its caller once per component instance it looks at; the
// callee sets cancel to stop the compile. Called on the compiling task.
#include <cstdint>

namespace Compiler {

class ICompileStrategyCallback {
public:
    virtual ~ICompileStrategyCallback() = default;
    // The code is not read by any caller.
    virtual uint32_t onCompileProgress(bool& cancel) = 0;
};

}  // namespace Compiler
