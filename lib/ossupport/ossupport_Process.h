#pragma once
// Child-process controller. On this platform it launches nothing: start succeeds without
// storing anything, so a controller never runs. Owner task only.
#include <atomic>
#include <cstdint>
#include <string>

#include "jlib/jlib_result.h"

namespace OSSUPPORT {

enum PROC_PRIORITY : int32_t {
    PROC_PRIORITY_NORMAL = 0,
    PROC_PRIORITY_LOW = 1,
    PROC_PRIORITY_HIGH = 2,
};

class Process {
public:
    Process() = default;
    virtual ~Process();

    // A null program path is a programming error (assertion). Otherwise 0, launching nothing.
    JLIB::JResult start(const char* programPath, const char* arguments, PROC_PRIORITY priority);
    // kFailed while no program path is stored, which on this platform is always.
    [[nodiscard]] JLIB::JResult restart();
    JLIB::JResult stop();
    bool isRunning() const { return m_running.load(); }

    // Task entry (`arg` is the Process): runs the wait loop, then ends its task.
    static void launchWaitLoop(void* arg);

private:
    void waitLoop();

    std::string m_programPath;
    std::string m_arguments;
    PROC_PRIORITY m_priority = PROC_PRIORITY_NORMAL;
    std::atomic<bool> m_running{false};
    intptr_t m_reserved = 0;  // unused on this platform
};

}  // namespace OSSUPPORT
