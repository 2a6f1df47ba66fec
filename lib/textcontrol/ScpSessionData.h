#pragma once
// The record of one connection of the text control server: whether it is in use, its form and
// decoder, the character set and value reporting of its replies, its keep-alive and its meter
// subscriptions. Not locked: the server's thread only.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "textcontrol/ScpAbstractDecoder.h"
#include "textcontrol/ScpList.h"
#include "textcontrol/ScpMeterSetting.h"
#include "textcontrol/ScpTimer.h"
#include "textcontrol/ScpTypes.h"

namespace SCP {

class ScpSessionData {
public:
    static constexpr JLIB::JResult kInvalidArgument = 0x80000004u;
    static constexpr JLIB::JResult kUnknownAddress = 0x80000005u;
    static constexpr uint32_t kDefaultResolution = 1000;
    static constexpr uint32_t kMinResolution = 100;
    static constexpr uint32_t kMinKeepAliveMs = 2000;

    // Format 2, no decoder, disabled, resolution 0.
    ScpSessionData();
    ScpSessionData(const ScpSessionData&) = delete;
    ScpSessionData& operator=(const ScpSessionData&) = delete;
    virtual ~ScpSessionData();

    // Room for one subscription per meter address (none for 0), then stop(). 0x80000000 when the
    // record already has a decoder or the list cannot be set up (the record then has no decoder).
    [[nodiscard]] JLIB::JResult initialize(uint32_t meterAddressCount);
    // 0x80000000 without a decoder.
    [[nodiscard]] JLIB::JResult start();
    // Disabled; raw form with an empty raw decoder, ASCII, raw values, resolution 1000,
    // keep-alive off, no subscriptions (a next client must not inherit them). Returns 0.
    JLIB::JResult stop();
    bool isEnabled() const { return m_enabled; }

    // 0x80000004 for anything but 0 and 1. A new decoder replaces the current one, which is kept
    // until releaseReplacedDecoder (or the next change or stop), since the command that asked for
    // the change still reads its tables. A refused allocation leaves no decoder.
    [[nodiscard]] JLIB::JResult changeScpFormat(ScpFormat format);
    ScpFormat getScpFormat() const { return m_format; }
    ScpAbstractDecoder* decoderPtr() { return m_pDecoder; }
    // Frees the decoder a format change replaced; the server calls it once the command is done.
    void releaseReplacedDecoder();

    [[nodiscard]] JLIB::JResult setEncoding(ScpEncoding encoding);
    ScpEncoding getEncoding() const { return m_encoding; }
    [[nodiscard]] JLIB::JResult setValueType(ScpValueType valueType);
    ScpValueType getValueType() const { return m_valueType; }
    // 0x80000004 below 100.
    [[nodiscard]] JLIB::JResult setResolution(uint32_t resolution);
    uint32_t getResolution() const { return m_resolution; }
    // 0x80000004 below 2000 ms; otherwise the timer restarts with it.
    [[nodiscard]] JLIB::JResult setKeepAliveInterval(uint32_t milliseconds);
    uint32_t getKeepAliveInterval() const { return m_keepAliveInterval; }
    // 0x80000000 while the keep-alive is off.
    [[nodiscard]] JLIB::JResult setKeepAliveTimerReset();
    bool isKeepAliveTimeout();

    // 0x80000005 for an index not below the number of meter addresses.
    [[nodiscard]] JLIB::JResult setMeterStart(uint32_t addressIndex, uint32_t minIntervalMs);
    // 0 also when there was no subscription; 0x80000005 as setMeterStart.
    [[nodiscard]] JLIB::JResult setMeterStop(uint32_t addressIndex);
    JLIB::JResult resetMeterStatusIterator();
    // One subscription per call, erasing one whose lifetime ran out on the way; 0x80000000 at
    // the end with the outputs 0, 0, false.
    [[nodiscard]] JLIB::JResult popMeterStatus(uint32_t& addressIndex, uint32_t& minIntervalMs, bool& due);

private:
    using MeterList = ScpList<ScpMeterSetting>;

    void releaseDecoder(ScpAbstractDecoder*& decoder);
    void clearSubscriptions();

    bool m_enabled = false;
    MeterList m_meters;
    MeterList::iterator m_cursor;
    ScpFormat m_format = kScpFormatNone;
    ScpAbstractDecoder* m_pDecoder = nullptr;           // owned, on the SCP heap
    ScpAbstractDecoder* m_pReplacedDecoder = nullptr;   // owned until released
    ScpEncoding m_encoding = kScpEncodingAscii;
    ScpValueType m_valueType = kScpValueTypeRaw;
    uint32_t m_resolution = 0;
    uint32_t m_keepAliveInterval = 0;
    ScpTimer m_keepAliveTimer;
};

}  // namespace SCP
