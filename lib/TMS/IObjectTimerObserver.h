#pragma once
// Receiver of software timer expiries; called on the task that runs the timer list.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace TMS {

class IObjectTimerObserver {
public:
    virtual JLIB::JResult onTimer(uint32_t timerId, uint32_t count) = 0;
    virtual ~IObjectTimerObserver() = default;
};

}  // namespace TMS
