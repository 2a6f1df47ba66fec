#pragma once
// The compile's progress as the compile service sees it; the callee sets cancel to stop the
// compile. Called on the task that runs the compile; cancel may reflect a flag another task set.
#include <cstdint>

namespace Compiler {

class ICompilerCallbackForNativeCPU {
public:
    virtual ~ICompilerCallbackForNativeCPU() = default;
    // The code is not read by any caller.
    virtual uint32_t onCompileProgress(bool& cancel) = 0;
};

}  // namespace Compiler
