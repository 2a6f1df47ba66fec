#pragma once
// Turns an audio configuration (component, connection and DSP system database texts) into an
// assignment of its component instances to DSP cores and steps, written as the compile result
// text. One compile at a time, on the calling task; it takes no lock.
#include <cstdint>
#include <string>

#include "compiler_CompileResult.h"
#include "compiler_CompileResultConverter.h"
#include "compiler_CompileStrategyStepSizeOrder.h"
#include "compiler_CompileStrategyUniqIdOrder.h"
#include "compiler_ComponentDBConverter.h"
#include "compiler_ConnectionDBConverter.h"
#include "compiler_DspSystem.h"
#include "compiler_DspSystemDBConverter.h"
#include "compiler_ICompileStrategyCallback.h"
#include "jlib/jlib_result.h"

namespace Compiler {

class ICompilerCallbackForNativeCPU;

class CompilerForNativeCPU : public ICompileStrategyCallback {
public:
    ~CompilerForNativeCPU() override = default;

    // callback (may be null; borrowed, the caller keeps it alive during the call) is asked once
    // per instance looked at and may cancel. Answers 0; 0x80000001 (unusable input: no DSP system
    // of that name, fsHz and frame size, one with fsHz or frame size 0, an instance of unknown
    // type), 0x80000000 (result not printable), both with an empty text; otherwise the text is
    // written and the code is 0x80000002 (cancelled), 0x80000003 (capacity exceeded, or a
    // configuration that cannot be placed), 0x80000005 (no core) or 0x80000008 (no "step").
    [[nodiscard]] uint32_t compile(const std::string& componentDB, const std::string& connectionDB,
                                   const std::string& dspSystemDB, ICompilerCallbackForNativeCPU* callback,
                                   std::string& result);

    // Forwards to the callback of the current compile; 0 and cancel untouched without one.
    uint32_t onCompileProgress(bool& cancel) override;

private:
    // Initialises m_dspSystem from the matching entry; 0x80000001 when there is none or it is unusable.
    [[nodiscard]] JLIB::JResult chooseDspSystem();

    ComponentDBConverter m_componentDB;
    ConnectionDBConverter m_connectionDB;
    DspSystemDBConverter m_dspSystemDB;
    CompileResultConverter m_compileResult;
    DspSystem m_dspSystem;
    ICompilerCallbackForNativeCPU* m_pCallback = nullptr;  // borrowed; only used during compile
    CompileStrategyUniqIdOrder m_uniqIdStrategy;
    CompileStrategyStepSizeOrder m_stepSizeStrategy;  // kept beside the other, never used
    T_COMPILERESULT m_result;
};

}  // namespace Compiler
