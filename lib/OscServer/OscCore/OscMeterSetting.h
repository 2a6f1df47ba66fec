#pragma once
// One meter a client runs: which meter, how often it may be sent, and when the setting ends
// unless the client renews it. Copies carry both timers' states. Not locked: one owner task.
#include <cstdint>

#include "OscServer/OscCore/OscTimer.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscMeterSetting {
public:
    static constexpr uint32_t kNoAddress = 0xFFFFFFFFu;
    // A setting not renewed within this time ends.
    static constexpr uint32_t kTimeoutMs = 10000;

    // No meter, interval 0, both timers stopped.
    OscMeterSetting();
    // As the default, then start(index, interval).
    OscMeterSetting(uint32_t index, uint32_t minIntervalMs);
    OscMeterSetting(const OscMeterSetting& other) = default;
    OscMeterSetting& operator=(const OscMeterSetting& other) = default;
    virtual ~OscMeterSetting();

    // Takes the index and interval and restarts the time-out; the interval timer starts only when
    // it is not already running or run out, so a renewal never delays a due notification.
    // 0x80000000 for the index 0xFFFFFFFF, which changes nothing.
    JLIB::JResult start(uint32_t index, uint32_t minIntervalMs);
    // No meter, interval 0, both timers stopped.
    void stop();
    // True when the interval has run out; the interval timer then starts again.
    bool checkInterval();
    // True once 10000 ms have passed since the last start.
    bool checkTimeout();

    uint32_t getAddressIndex() const { return addressIndex; }
    uint32_t getMinInterval() const { return minInterval; }

private:
    uint32_t addressIndex = kNoAddress;
    uint32_t minInterval = 0;
    OscTimer intervalTimer;
    OscTimer timeoutTimer;
};

}  // namespace JOSC
