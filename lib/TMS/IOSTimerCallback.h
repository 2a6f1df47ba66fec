#pragma once
// Receiver of the process-wide tick; called on the tick task.
#include "jlib/jlib_result.h"

namespace TMS {

class IOSTimerCallback {
public:
    virtual ~IOSTimerCallback() = default;
    virtual JLIB::JResult onOSTimer() = 0;
};

}  // namespace TMS
