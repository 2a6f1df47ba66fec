#pragma once
// What the OSC server keeps per client: options, keep-alive, reply port, session number,
// subscriptions, the message cap and the running meters. Lives as long as its client slot and is
// reset when the slot is released. Not locked: only the server's host thread uses it.
#include <cstdint>

#include "OscServer/OscCore/OscList.h"
#include "OscServer/OscCore/OscMeterSetting.h"
#include "OscServer/OscCore/OscTimer.h"
#include "OscServer/OscCore/OscTypes.h"
#include "jlib/jlib_result.h"

namespace JOSC {

class OscSessionData {
public:
    static constexpr uint32_t kDefaultResolution = 1000;
    static constexpr uint32_t kMinResolution = 100;
    static constexpr uint32_t kNoMessageCap = 0xFFFFFFFFu;
    static constexpr uint32_t kSessionTimeoutMs = 10000;

    // Constructor values differ from those after stop (resolution 0) and there is no meter
    // storage until initialize.
    OscSessionData();
    OscSessionData(const OscSessionData&) = delete;
    OscSessionData& operator=(const OscSessionData&) = delete;
    virtual ~OscSessionData();

    // Sets up room for one setting per meter address, puts the meter walk at the start and stops
    // the session. 0x80000000 (session unchanged) for a count of 0, a second call, or no memory.
    [[nodiscard]] JLIB::JResult initialize(uint32_t meterAddressCount);
    // Back to the values of a released slot; the meter list is left as it is. Returns 0.
    JLIB::JResult stop();

    void start() { enabled = 1; }
    bool isEnabled() const { return enabled != 0; }

    // The format is fixed: always 0x80000002 and nothing changes.
    [[nodiscard]] JLIB::JResult changeOscFormat(OscFormat format);
    OscFormat getOscFormat() const { return oscFormat; }

    // 0x80000004 and no change for a value outside 0 and 1.
    [[nodiscard]] JLIB::JResult setEncoding(OscEncoding value);
    [[nodiscard]] JLIB::JResult setValueType(OscValueType value);
    [[nodiscard]] JLIB::JResult setSnapshotType(OscSnapshotType value);
    OscEncoding getEncoding() const { return encoding; }
    OscValueType getValueType() const { return valueType; }
    OscSnapshotType getSnapshotType() const { return snapshotType; }

    // 0x80000004 and no change below 100.
    [[nodiscard]] JLIB::JResult setResolution(uint32_t value);
    uint32_t getResolution() const { return resolution; }

    void setKeepAliveInterval(uint32_t milliseconds) { keepAliveInterval = milliseconds; }
    uint32_t getKeepAliveInterval() const { return keepAliveInterval; }
    void setTxPort(uint16_t port) { txPort = port; }
    uint16_t getTxPort() const { return txPort; }
    // Datagrams per 1000 ms; 0xFFFFFFFF means no cap.
    void setMaxMessageNum(uint32_t count) { maxMessageNum = count; }
    uint32_t getMaxMessageNum() const { return maxMessageNum; }

    // Keep-alive on, also with interval 0 (then off again at the server's next timer pass), and
    // the timer restarted when there is an interval. Returns 0.
    JLIB::JResult startKeepAlive();
    // 0x80000000 and nothing started while the interval is 0.
    [[nodiscard]] JLIB::JResult setKeepAliveTimerReset();
    // True while the interval is 0, else once the interval has passed since the last restart.
    bool isKeepAliveTimeout();
    bool isKeepAliveActive() const { return keepAliveActive != 0; }
    // Interval 0, timer stopped, keep-alive off.
    void stopKeepAlive();

    // Draws the next number of the process-wide counter: 1, 2, ... 0x7FFFFFFF, then 1.
    static uint32_t makeSessionNo();
    void setSessionNo(uint32_t number) { sessionNo = number; }
    uint32_t getSessionNo() const { return sessionNo; }

    // Starts the 10000 ms session timer.
    [[nodiscard]] JLIB::JResult setSessionTimerReset();
    bool isSessionTimeout();

    // Adds the indices; the list stays ascending without duplicates. 0x80000004 for an empty list.
    [[nodiscard]] JLIB::JResult subscribeAddress(const OscIndexList& indices);
    // Removes the subscribed ones among the indices, ignoring the rest. 0x80000004 for an empty list.
    [[nodiscard]] JLIB::JResult unsubscribeAddress(const OscIndexList& indices);
    // Empty means every parameter.
    const OscIndexList& getSubscribeList() const { return subscribeList; }

    // Starts a setting for the meter, or renews the one that runs (its time-out restarts, a running
    // interval does not). 0x80000005 for an index not below the number of meter addresses.
    [[nodiscard]] JLIB::JResult setMeterStart(uint32_t meterIndex, uint32_t minIntervalMs);
    // Stops and removes the meter's setting if there is one; 0 either way. 0x80000005 for an index
    // not below the number of meter addresses.
    [[nodiscard]] JLIB::JResult setMeterStop(uint32_t meterIndex);
    bool isMeterEnable() const { return meterList.begin() != meterList.end(); }

    // The meter walk: reset, then popMeterStatus until it fails. Each call reports one setting
    // and whether it is due, and removes a setting that timed out on the way. 0x80000000 once the
    // walk is finished, with the outputs cleared.
    void resetMeterStatusIterator();
    [[nodiscard]] JLIB::JResult popMeterStatus(uint32_t& meterIndex, uint32_t& minIntervalMs, bool& due);

private:
    using MeterList = OscList<OscMeterSetting>;

    MeterList::iterator findMeter(uint32_t meterIndex);

    uint8_t enabled = 0;
    MeterList meterList;
    MeterList::iterator meterStatusIterator;
    OscFormat oscFormat = kOscFormatDefault;
    OscEncoding encoding = kOscEncoding0;
    OscValueType valueType = kOscValueTypeRaw;
    OscSnapshotType snapshotType = kOscSnapshotTypeIndex;
    uint32_t resolution = 0;
    uint32_t keepAliveInterval = 0;
    uint16_t txPort = 0;
    uint32_t maxMessageNum = kNoMessageCap;
    OscIndexList subscribeList;
    OscTimer keepAliveTimer;
    uint8_t keepAliveActive = 0;
    uint32_t sessionNo = 0;
    OscTimer sessionTimer;
};

}  // namespace JOSC
