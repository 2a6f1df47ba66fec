#pragma once
// A way of placing component instances on the cores of a DSP system. One task at a time.
#include <vector>

#include "compiler_CompileResult.h"
#include "compiler_Component.h"
#include "compiler_ConnectionDB.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class DspSystem;
class ICompileStrategyCallback;

class ICompileStrategy {
public:
    virtual ~ICompileStrategy() = default;
    // Places the instances on dspSystem (a copy the compile fills) and writes result. Answers 0,
    // 0x80000002 (cancelled), 0x80000003 (capacity exceeded, or placement impossible),
    // 0x80000005 (no core) or 0x80000008 (no "step" taken). callback may be null.
    [[nodiscard]] virtual JLIB::JResult doCompile(const std::vector<T_COMPONENT>& instances,
                                                  const std::vector<T_CONNECTIONDB_CONNECTION>& connections,
                                                  DspSystem dspSystem, T_COMPILERESULT& result,
                                                  ICompileStrategyCallback* callback) = 0;
};

}  // namespace Compiler
