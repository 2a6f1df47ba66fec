#include "TMS/OSTimer.h"

#include <ctime>

#include "TMS/IOSTimerCallback.h"
#include "oswrap/oswrap_task.h"
#include "oswrap/oswrap_time.h"

namespace TMS {

std::atomic<int> OSTimer::s_state{OSTimer::kIdle};
std::atomic<uint16_t> OSTimer::s_taskId{0};
std::atomic<uint32_t> OSTimer::s_periodMs{0};

OSTimer& OSTimer::getInstance()
{
    static OSTimer instance;
    return instance;
}

OSTimer::~OSTimer()
{
    if (s_state.load() == kRunning) (void)stop();  // process exit: nobody to tell
}

JLIB::JResult OSTimer::start(uint32_t periodMs, IOSTimerCallback* callback)
{
    if (periodMs == 0) return JLIB::kFailed;
    int expected = kIdle;
    if (!s_state.compare_exchange_strong(expected, kStarting)) return JLIB::kFailed;
    s_periodMs.store(periodMs);
    // Stored before the task starts, so its first call already reaches the callback.
    m_pCallback.store(callback);
    const T_OSW_CTSK pk = {nullptr, 0, &OSTimer::tickBody, 0, 0, 512, nullptr, "TimerThread"};
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_AcreTsk(&id, &pk))) {
        m_pCallback.store(nullptr);
        s_periodMs.store(0);
        s_state.store(kIdle);
        return JLIB::kFailed;
    }
    s_taskId.store(id);
    if (JLIB::isFailure(oswrap_StaTsk(id, nullptr))) {
        (void)oswrap_DelTsk(id);  // never ran: nothing else to undo
        s_taskId.store(0);
        m_pCallback.store(nullptr);
        s_periodMs.store(0);
        s_state.store(kIdle);
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult OSTimer::stop()
{
    // Started but not yet running: the task is on its way; refusing here would leave it ticking
    // into a callback its owner is about to destroy.
    while (s_state.load() == kStarting) (void)oswrap_WaiTsk(1);
    int expected = kRunning;
    if (!s_state.compare_exchange_strong(expected, kStopRequested)) return JLIB::kFailed;
    while (s_state.load() != kStopped) (void)oswrap_WaiTsk(10);
    (void)oswrap_DelTsk(s_taskId.load());  // the task has ended; its entry just goes
    s_taskId.store(0);
    s_periodMs.store(0);
    m_pCallback.store(nullptr);
    s_state.store(kIdle);
    return JLIB::kOk;
}

JLIB::JResult OSTimer::onOSTimer()
{
    if (IOSTimerCallback* callback = m_pCallback.load()) (void)callback->onOSTimer();  // the callback's business
    return JLIB::kOk;
}

void OSTimer::tickBody(void*)
{
    // A stop may already be waiting for this task to start: only "starting" becomes "running".
    int expected = kStarting;
    (void)s_state.compare_exchange_strong(expected, kRunning);
    bool interrupted = false;
    while (s_state.load() != kStopRequested) {
        if (!interrupted) (void)getInstance().onOSTimer();  // always 0
        // The time the callback took is not subtracted; an interrupted sleep is not resumed.
        const uint32_t period = s_periodMs.load();
        // Whole seconds apart: a period of a second or more would be an invalid sleep otherwise.
        const timespec interval = {static_cast<time_t>(period / 1000), static_cast<long>(period % 1000) * 1000000L};
        interrupted = nanosleep(&interval, nullptr) != 0;
    }
    s_state.store(kStopped);
    (void)oswrap_ExtTsk();  // does not return for a task
}

}  // namespace TMS
