#include "oswrap/oswrap_time.h"

#include <sched.h>
#include <sys/time.h>
#include <time.h>

#include <cerrno>

#include "oswrap/internal/osw_timer.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

bool readMsCount(uint32_t* count)
{
    timeval now{};
    if (gettimeofday(&now, nullptr) != 0) {
        *count = 0;
        return false;
    }
    *count = msCountOf(now.tv_sec, now.tv_usec);
    return true;
}

}  // namespace

namespace OSWRAP::detail {

uint32_t msCountOf(int64_t seconds, int64_t microseconds)
{
    // Computed unsigned so the cut to 32 bits is a plain wrap, never a signed overflow.
    return static_cast<uint32_t>(static_cast<uint64_t>(seconds) * 1000u + static_cast<uint64_t>(microseconds) / 1000u);
}

JLIB::JResult checkOneshotAt(T_OSW_TIMER& timer, uint32_t now)
{
    if (timer.state == kTimerOneshotExpired) return kTimerExpired;
    if (timer.state != kTimerOneshotRunning) return kWrongState;
    // Unsigned subtraction is the elapsed time across the wrap as well.
    uint32_t elapsed = now - timer.start;
    if (now < timer.start && elapsed < timer.duration) {
        // Re-base after the wrap, so the rest of the wait no longer spans it.
        timer.start = now;
        timer.duration -= elapsed;
        elapsed = 0;
    }
    if (elapsed >= timer.duration) {
        timer.state = kTimerOneshotExpired;
        return kTimerExpired;
    }
    return kOk;
}

JLIB::JResult watchFreerunAt(T_OSW_TIMER& timer, uint32_t* elapsedMs, uint32_t periodMs, uint32_t now)
{
    if (elapsedMs) *elapsedMs = 0;
    if (timer.state != kTimerFreeRunning) return kWrongState;
    const uint32_t elapsed = now - timer.start;
    if (elapsedMs) *elapsedMs = elapsed;
    return elapsed >= periodMs ? kTimerExpired : kOk;
}

}  // namespace OSWRAP::detail

JLIB::JResult oswrap_Get1msCount(uint32_t* count)
{
    if (!count) return kBadArgument;
    (void)readMsCount(count);  // an unreadable clock gives the count 0
    return kOk;
}

uint32_t get1msCount()
{
    uint32_t count = 0;
    (void)readMsCount(&count);  // as above
    return count;
}

JLIB::JResult oswrap_Get1usCount(uint32_t* seconds, uint32_t* microseconds)
{
    if (!seconds || !microseconds) return kBadArgument;
    timeval now{};
    if (gettimeofday(&now, nullptr) != 0) {
        *seconds = 0;
        *microseconds = 0;
        return kOk;
    }
    *seconds = static_cast<uint32_t>(now.tv_sec);
    *microseconds = static_cast<uint32_t>(now.tv_usec);
    return kOk;
}

uint32_t oswrap_CnvSysClk(uint32_t value) { return value; }
uint32_t oswrap_CnvSysClkToMsec(uint32_t value) { return value; }

JLIB::JResult oswrap_WaiTsk(uint32_t milliseconds)
{
    // Whole seconds apart: milliseconds * 1000 microseconds would overflow 32 bits above ~71 minutes.
    timespec rest{static_cast<time_t>(milliseconds / 1000u), static_cast<long>(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
    return kOk;
}

JLIB::JResult oswrap_yield()
{
    (void)sched_yield();  // always succeeds on Linux
    return kOk;
}

JLIB::JResult oswrap_RotRdq(uint16_t) { return kOk; }
JLIB::JResult oswrap_VsysClk() { return kNotSupported; }
JLIB::JResult oswrap_RefSys(void*) { return kNotSupported; }

JLIB::JResult oswrap_svcInitTimerMs(T_OSW_TIMER* timer)
{
    if (!timer) return kBadArgument;
    timer->state = kTimerStopped;
    return kOk;
}

JLIB::JResult oswrap_svcStopTimerMs(T_OSW_TIMER* timer) { return oswrap_svcInitTimerMs(timer); }

JLIB::JResult oswrap_svcStartOneshotTimerMs(T_OSW_TIMER* timer, uint32_t durationMs)
{
    if (!timer) return kBadArgument;
    if (timer->state == kTimerFreeRunning) return kWrongState;
    timer->start = get1msCount();
    timer->duration = durationMs;
    timer->state = kTimerOneshotRunning;
    return kOk;
}

JLIB::JResult oswrap_svcCheckOneshotTimerMs(T_OSW_TIMER* timer)
{
    if (!timer) return kBadArgument;
    if (timer->state != kTimerOneshotRunning) return checkOneshotAt(*timer, 0);
    uint32_t now = 0;
    if (!readMsCount(&now)) return kSystemCallFailed;
    return checkOneshotAt(*timer, now);
}

JLIB::JResult oswrap_svcStartFreerunTimerMs(T_OSW_TIMER* timer)
{
    if (!timer) return kBadArgument;
    if (timer->state == kTimerOneshotRunning || timer->state == kTimerOneshotExpired) return kWrongState;
    timer->start = get1msCount();
    timer->state = kTimerFreeRunning;
    return kOk;
}

JLIB::JResult oswrap_svcWatchFreerunTimerMs(T_OSW_TIMER* timer, uint32_t* elapsedMs, uint32_t periodMs)
{
    if (elapsedMs) *elapsedMs = 0;
    if (!timer) return kBadArgument;
    if (timer->state != kTimerFreeRunning) return kWrongState;
    uint32_t now = 0;
    if (!readMsCount(&now)) return kSystemCallFailed;
    return watchFreerunAt(*timer, elapsedMs, periodMs, now);
}

JLIB::JResult oswrap_svcIsActiveTimerMs(T_OSW_TIMER* timer)
{
    if (!timer) return kBadArgument;
    return timer->state == kTimerStopped ? kWrongState : kOk;
}
