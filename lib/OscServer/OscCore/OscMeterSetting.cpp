#include "OscServer/OscCore/OscMeterSetting.h"

namespace JOSC {

OscMeterSetting::OscMeterSetting() = default;

OscMeterSetting::OscMeterSetting(uint32_t index, uint32_t minIntervalMs)
{
    (void)start(index, minIntervalMs);  // refused only for "no meter", which then stays
}

OscMeterSetting::~OscMeterSetting() = default;

JLIB::JResult OscMeterSetting::start(uint32_t index, uint32_t minIntervalMs)
{
    if (index == kNoAddress) return JLIB::kFailed;
    addressIndex = index;
    minInterval = minIntervalMs;
    JLIB_RETURN_IF_FAILED(timeoutTimer.start(kTimeoutMs));
    if (!intervalTimer.isActive()) JLIB_RETURN_IF_FAILED(intervalTimer.start(minInterval));
    return JLIB::kOk;
}

void OscMeterSetting::stop()
{
    addressIndex = kNoAddress;
    minInterval = 0;
    (void)intervalTimer.stop();  // stopping a plain record cannot fail
    (void)timeoutTimer.stop();
}

bool OscMeterSetting::checkInterval()
{
    if (!intervalTimer.isExpired()) return false;
    (void)intervalTimer.start(minInterval);  // a one-shot record always restarts
    return true;
}

bool OscMeterSetting::checkTimeout() { return timeoutTimer.isExpired(); }

}  // namespace JOSC
