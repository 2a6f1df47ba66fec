#pragma once
// One meter subscription of a session: which meter address, the least time between two
// notifications, and a lifetime of 10000 ms renewed by each start. Copies carry both timers'
// states. Not locked: the server's thread only.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpTimer.h"

namespace SCP {

class ScpMeterSetting {
public:
    static constexpr uint32_t kNoAddress = 0xFFFFFFFFu;
    static constexpr uint32_t kLifetimeMs = 10000;

    // No address, interval 0, both timers stopped.
    ScpMeterSetting();
    // Started at once (see start).
    ScpMeterSetting(uint32_t addressIndex, uint32_t minIntervalMs);
    ScpMeterSetting(const ScpMeterSetting& other) = default;
    ScpMeterSetting& operator=(const ScpMeterSetting& other) = default;
    virtual ~ScpMeterSetting();

    // Records both and restarts the lifetime; the interval timer starts only when stopped, so a
    // renewal keeps the rhythm (the new interval applies from the next restart). 0x80000000 for
    // the address 0xFFFFFFFF, which changes nothing.
    JLIB::JResult start(uint32_t addressIndex, uint32_t minIntervalMs);
    // No address, interval 0, both timers stopped. Returns 0.
    JLIB::JResult stop();
    // The lifetime has run out.
    bool checkTimeout();
    // True when the interval has run out; it then starts again with the minimum interval.
    bool checkInterval();

    uint32_t getAddressIndex() const { return m_addressIndex; }
    uint32_t getMinInterval() const { return m_minInterval; }

private:
    uint32_t m_addressIndex = kNoAddress;
    uint32_t m_minInterval = 0;
    ScpTimer m_intervalTimer;
    ScpTimer m_lifetimeTimer;
};

}  // namespace SCP
