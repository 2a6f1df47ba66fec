// Process controller of this platform: every operation is a fixed stub.
#include "ossupport/ossupport_Process.h"

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_task.h"

namespace OSSUPPORT {

Process::~Process() = default;

JLIB::JResult Process::stop() { return JLIB::kOk; }

void Process::waitLoop() {}

void Process::launchWaitLoop(void* arg)
{
    if (arg) static_cast<Process*>(arg)->waitLoop();
    (void)oswrap_ExtTsk();  // returns only when the caller is no task; then the entry just ends
}

JLIB::JResult Process::restart()
{
    if (m_running.load()) return JLIB::kOk;
    if (m_programPath.empty()) return JLIB::kFailed;
    return start(m_programPath.c_str(), m_arguments.empty() ? nullptr : m_arguments.c_str(), m_priority);
}

JLIB::JResult Process::start(const char* programPath, const char* arguments, PROC_PRIORITY priority)
{
    if (m_running.load()) return JLIB::kOk;
    // Callers always name a program; a null path is a programming error.
    JLIB_ASSERT(programPath != nullptr);
    (void)arguments;
    (void)priority;
    (void)m_reserved;
    return JLIB::kOk;
}

}  // namespace OSSUPPORT
