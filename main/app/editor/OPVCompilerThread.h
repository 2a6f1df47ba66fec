#pragma once
// The thread "Compiler": compiles the current audio configuration on request and answers the
// processing resource questions, each to the sender's thread. A compile runs to its end inside
// the message handler, on this thread's own task; its queue holds one more request meanwhile.
// Everything else is the application thread base's.
#include <cstdint>
#include <string>

#include "common/KavoriAppThread.h"
#include "compiler/compiler_CompilerForNativeCPU.h"
#include "compiler/compiler_ICompilerCallbackForNativeCPU.h"
#include "jlib/jlib_result.h"

namespace KAVORI {

class OPVCompilerThread : public KavoriAppThread, public Compiler::ICompilerCallbackForNativeCPU {
public:
    // The code a compile ends with when its databases or its result cannot be stored.
    static constexpr JLIB::JResult kNotStored = 0x80000000u;

    OPVCompilerThread();
    ~OPVCompilerThread() override;

    // Own task, during a compile: cancel follows the process-wide cancel flag. 0.
    uint32_t onCompileProgress(bool& cancel) override;

protected:
    // Serves user messages of id 0 named by "CommandName"; anything else goes unanswered. 0.
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;

    // Own task. The three compile database texts from this thread's component view; 0x80000000
    // when one cannot be printed.
    virtual JLIB::JResult buildDatabaseTexts(std::string& componentDB, std::string& connectionDB,
                                             std::string& dspSystemDB);

private:
    void serveTotalCapacity(const TMS::AbstractMessage& request);
    void serveTotalUsage(const TMS::AbstractMessage& request);
    void serveUsage(const TMS::AbstractMessage& request);
    void serveStartCompile(const TMS::AbstractMessage& request);
    // Builds, stores and compiles; the compile's code, or 0x80000000 when nothing was compiled or
    // the result was not stored.
    JLIB::JResult compileAndStore();

    Compiler::CompilerForNativeCPU m_compiler;  // own task only; keeps its records between compiles
};

}  // namespace KAVORI
