#include "textcontrol/ScpTimer.h"

#include "oswrap/oswrap_time.h"

namespace SCP {

ScpTimer::ScpTimer() : m_timer{} { m_timer.state = OSWRAP::kTimerStopped; }

ScpTimer::~ScpTimer() = default;

JLIB::JResult ScpTimer::start(uint32_t durationMs)
{
    return JLIB::isFailure(oswrap_svcStartOneshotTimerMs(&m_timer, durationMs)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult ScpTimer::stop()
{
    return JLIB::isFailure(oswrap_svcStopTimerMs(&m_timer)) ? JLIB::kFailed : JLIB::kOk;
}

bool ScpTimer::isExpired() { return oswrap_svcCheckOneshotTimerMs(&m_timer) == OSWRAP::kTimerExpired; }

bool ScpTimer::isActive() { return oswrap_svcIsActiveTimerMs(&m_timer) == OSWRAP::kOk; }

}  // namespace SCP
