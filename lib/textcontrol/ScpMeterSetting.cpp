#include "textcontrol/ScpMeterSetting.h"

namespace SCP {

ScpMeterSetting::ScpMeterSetting() = default;

ScpMeterSetting::ScpMeterSetting(uint32_t addressIndex, uint32_t minIntervalMs)
{
    (void)start(addressIndex, minIntervalMs);  // refused only for "no address", which then stays
}

ScpMeterSetting::~ScpMeterSetting() = default;

JLIB::JResult ScpMeterSetting::start(uint32_t addressIndex, uint32_t minIntervalMs)
{
    if (addressIndex == kNoAddress) return JLIB::kFailed;
    m_addressIndex = addressIndex;
    m_minInterval = minIntervalMs;
    JLIB_RETURN_IF_FAILED(m_lifetimeTimer.start(kLifetimeMs));
    if (!m_intervalTimer.isActive()) JLIB_RETURN_IF_FAILED(m_intervalTimer.start(m_minInterval));
    return JLIB::kOk;
}

JLIB::JResult ScpMeterSetting::stop()
{
    m_addressIndex = kNoAddress;
    m_minInterval = 0;
    (void)m_intervalTimer.stop();  // stopping a one-shot record cannot fail
    (void)m_lifetimeTimer.stop();
    return JLIB::kOk;
}

bool ScpMeterSetting::checkTimeout() { return m_lifetimeTimer.isExpired(); }

bool ScpMeterSetting::checkInterval()
{
    if (!m_intervalTimer.isExpired()) return false;
    (void)m_intervalTimer.start(m_minInterval);  // a one-shot record always restarts
    return true;
}

}  // namespace SCP
