#include "DiagFramework/diagfrwk_DiagHooks.h"

#include <atomic>

#include "DiagFramework/diagfrwk_DiagConsole.h"
#include "DiagFramework/diagfrwk_DiagFieldWriter.h"
#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "jlib/JVariant.h"

namespace DiagFramework {

namespace {

constexpr int32_t kRunModeDiagnostics = 2;
constexpr int32_t kRunModeNormal = 0;

std::atomic<IDiagFieldWriter*> s_writer{nullptr};

JLIB::JResult setRunMode(int32_t mode)
{
    TMS::AbstractThread& thread = TMS::getCurrentThread();
    const JLIB::JResult set = thread.setSysParam("RunMode", 0, JVariant(mode));
    const JLIB::JResult flushed = thread.flushSysParam();
    return JLIB::isFailure(set) || JLIB::isFailure(flushed) ? JLIB::kFailed : JLIB::kOk;
}

IDiagFieldWriter& fieldTableWriter()
{
    static DiagFieldWriter writer;
    return writer;
}

JLIB::JResult publish(const char* address, int32_t channel, int32_t value)
{
    return getDiagFieldWriter()->writeDiagValue(kDiagFieldIndex, kDiagRootName, address, channel, value);
}

}  // namespace

void setDiagFieldWriter(IDiagFieldWriter* writer) { s_writer.store(writer); }

IDiagFieldWriter* getDiagFieldWriter()
{
    IDiagFieldWriter* const installed = s_writer.load();
    return installed ? installed : &fieldTableWriter();
}

JLIB::JResult onDiagStarted() { return setRunMode(kRunModeDiagnostics); }

JLIB::JResult onDiagFinished() { return setRunMode(kRunModeNormal); }

JLIB::JResult onCurrentDiagCommandChanged(const DiagCommand& command)
{
    if (command.commandId() < 0 || command.category() < 0) return JLIB::kFailed;
    JLIB::JResult result = publish(kCurrentCategoryAddress, kNoChannel, command.category());
    result |= publish(kCurrentCommandAddress, kNoChannel, command.commandId());
    result |= publish(kCommandResultAddress, command.commandId(), kPublishedRunning);
    return JLIB::isFailure(result) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult onDiagCommandFinished(const DiagCommand& command)
{
    if (command.commandId() < 0) return JLIB::kFailed;
    const int32_t value = command.diagResult() == DiagResult::kOk ? kPublishedOk : kPublishedNg;
    return publish(kCommandResultAddress, command.commandId(), value);
}

}  // namespace DiagFramework
