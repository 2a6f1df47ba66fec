#pragma once
// The process-wide tick: one task, "TimerThread", that calls the registered callback and then
// sleeps the period, until stopped. start and stop belong to whoever owns the callback (the
// thread registry); the tick task only reads.
#include <atomic>
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TMS {

class IOSTimerCallback;

class OSTimer {
public:
    enum State : int { kIdle = 0, kStarting = 1, kRunning = 2, kStopRequested = 3, kStopped = 4 };

    // Made on first use; its destruction at process exit stops the tick.
    static OSTimer& getInstance();

    // Period in ms (the system uses 10); the callback is borrowed until stop. 0x80000000 unless idle, for period 0,
    // or when the task cannot be made or started.
    [[nodiscard]] JLIB::JResult start(uint32_t periodMs, IOSTimerCallback* callback);
    // Waits for the tick task to end and deletes it; 0x80000000 unless started. Afterwards the
    // tick may be started again.
    [[nodiscard]] JLIB::JResult stop();
    // Tick task: calls the callback, if any; 0.
    JLIB::JResult onOSTimer();

    State state() const { return static_cast<State>(s_state.load()); }

private:
    OSTimer() = default;
    ~OSTimer();
    OSTimer(const OSTimer&) = delete;
    OSTimer& operator=(const OSTimer&) = delete;

    static void tickBody(void* unused);

    std::atomic<IOSTimerCallback*> m_pCallback{nullptr};  // borrowed

    static std::atomic<int> s_state;
    static std::atomic<uint16_t> s_taskId;
    static std::atomic<uint32_t> s_periodMs;
};

}  // namespace TMS
