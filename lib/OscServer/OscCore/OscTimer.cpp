#include "OscServer/OscCore/OscTimer.h"

#include "oswrap/oswrap_time.h"

namespace JOSC {

OscTimer::OscTimer() : timer{} { timer.state = OSWRAP::kTimerStopped; }

OscTimer::~OscTimer() = default;

JLIB::JResult OscTimer::start(uint32_t durationMs)
{
    return JLIB::isFailure(oswrap_svcStartOneshotTimerMs(&timer, durationMs)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult OscTimer::stop()
{
    return JLIB::isFailure(oswrap_svcStopTimerMs(&timer)) ? JLIB::kFailed : JLIB::kOk;
}

bool OscTimer::isExpired() { return oswrap_svcCheckOneshotTimerMs(&timer) == OSWRAP::kTimerExpired; }

bool OscTimer::isActive() { return oswrap_svcIsActiveTimerMs(&timer) == OSWRAP::kOk; }

}  // namespace JOSC
