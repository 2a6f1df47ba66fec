#include "textcontrol/ScpSessionData.h"

#include "jlib/JHeap.h"
#include "textcontrol/ScpDecoderJSON.h"
#include "textcontrol/ScpDecoderRAW.h"
#include "textcontrol/ScpHeap.h"

namespace SCP {

namespace {

constexpr const char* kDecoderTag = "ScpSessionData::m_pDecoder";

ScpAbstractDecoder* newDecoder(ScpFormat format)
{
    if (format == kScpFormatJson) return JLIB::JNew<ScpDecoderJSON>(getScpHeapId(), kDecoderTag, 1);
    return JLIB::JNew<ScpDecoderRAW>(getScpHeapId(), kDecoderTag, 1);
}

}  // namespace

ScpSessionData::ScpSessionData() : m_cursor(m_meters.end()) {}

ScpSessionData::~ScpSessionData()
{
    releaseDecoder(m_pDecoder);
    releaseDecoder(m_pReplacedDecoder);
}

void ScpSessionData::releaseDecoder(ScpAbstractDecoder*& decoder)
{
    if (decoder) (void)JLIB::JDelete(decoder);  // a block of ours: the virtual destructor runs
    decoder = nullptr;
}

void ScpSessionData::releaseReplacedDecoder() { releaseDecoder(m_pReplacedDecoder); }

JLIB::JResult ScpSessionData::initialize(uint32_t meterAddressCount)
{
    if (m_pDecoder) return JLIB::kFailed;
    // A meter model without addresses still gets sessions that decode; they just cannot subscribe.
    if (meterAddressCount != 0) JLIB_RETURN_IF_FAILED(m_meters.initialize(meterAddressCount));
    m_cursor = m_meters.begin();
    return stop();
}

JLIB::JResult ScpSessionData::start()
{
    if (!m_pDecoder) return JLIB::kFailed;
    m_enabled = true;
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::stop()
{
    m_enabled = false;
    releaseReplacedDecoder();
    if (m_pDecoder && m_format == kScpFormatRaw) {
        (void)m_pDecoder->clearAll();  // always 0
    } else {
        releaseDecoder(m_pDecoder);
        m_pDecoder = newDecoder(kScpFormatRaw);
    }
    m_format = kScpFormatRaw;
    m_encoding = kScpEncodingAscii;
    m_valueType = kScpValueTypeRaw;
    m_resolution = kDefaultResolution;
    m_keepAliveInterval = 0;
    (void)m_keepAliveTimer.stop();  // stopping a one-shot record cannot fail
    clearSubscriptions();
    return JLIB::kOk;
}

void ScpSessionData::clearSubscriptions()
{
    for (MeterList::iterator it = m_meters.begin(); it != m_meters.end();) it = m_meters.erase(it);
    m_cursor = m_meters.begin();
}

JLIB::JResult ScpSessionData::changeScpFormat(ScpFormat format)
{
    if (format != kScpFormatRaw && format != kScpFormatJson) return kInvalidArgument;
    if (format == m_format) return JLIB::kOk;
    releaseReplacedDecoder();
    m_pReplacedDecoder = m_pDecoder;
    m_pDecoder = newDecoder(format);
    m_format = format;
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::setEncoding(ScpEncoding encoding)
{
    if (encoding != kScpEncodingAscii && encoding != kScpEncodingUtf8) return kInvalidArgument;
    m_encoding = encoding;
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::setValueType(ScpValueType valueType)
{
    if (valueType != kScpValueTypeRaw && valueType != kScpValueTypeNormalized) return kInvalidArgument;
    m_valueType = valueType;
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::setResolution(uint32_t resolution)
{
    if (resolution < kMinResolution) return kInvalidArgument;
    m_resolution = resolution;
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::setKeepAliveInterval(uint32_t milliseconds)
{
    if (milliseconds < kMinKeepAliveMs) return kInvalidArgument;
    m_keepAliveInterval = milliseconds;
    return m_keepAliveTimer.start(milliseconds);
}

JLIB::JResult ScpSessionData::setKeepAliveTimerReset()
{
    if (m_keepAliveInterval == 0) return JLIB::kFailed;
    return m_keepAliveTimer.start(m_keepAliveInterval);
}

bool ScpSessionData::isKeepAliveTimeout() { return m_keepAliveInterval != 0 && m_keepAliveTimer.isExpired(); }

JLIB::JResult ScpSessionData::setMeterStart(uint32_t addressIndex, uint32_t minIntervalMs)
{
    if (addressIndex >= m_meters.capacity()) return kUnknownAddress;
    for (MeterList::iterator it = m_meters.begin(); it != m_meters.end(); ++it) {
        if (it->getAddressIndex() == addressIndex) return it->start(addressIndex, minIntervalMs);
    }
    (void)m_meters.push_back(ScpMeterSetting(addressIndex, minIntervalMs));  // one entry per address fits
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::setMeterStop(uint32_t addressIndex)
{
    if (addressIndex >= m_meters.capacity()) return kUnknownAddress;
    for (MeterList::iterator it = m_meters.begin(); it != m_meters.end(); ++it) {
        if (it->getAddressIndex() != addressIndex) continue;
        (void)it->stop();  // always 0
        if (m_cursor == it) m_cursor = m_meters.erase(it);
        else (void)m_meters.erase(it);  // the following entry is not needed here
        return JLIB::kOk;
    }
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::resetMeterStatusIterator()
{
    m_cursor = m_meters.begin();
    return JLIB::kOk;
}

JLIB::JResult ScpSessionData::popMeterStatus(uint32_t& addressIndex, uint32_t& minIntervalMs, bool& due)
{
    addressIndex = 0;
    minIntervalMs = 0;
    due = false;
    // A cursor on a freed node would never reach the end, so it counts as the end.
    if (m_cursor == m_meters.end() || !m_cursor.hasObject()) return JLIB::kFailed;
    if (m_cursor->checkTimeout()) {
        m_cursor = m_meters.erase(m_cursor);
        if (m_cursor == m_meters.end()) return JLIB::kFailed;
    }
    addressIndex = m_cursor->getAddressIndex();
    minIntervalMs = m_cursor->getMinInterval();
    due = m_cursor->checkInterval();
    ++m_cursor;
    return JLIB::kOk;
}

}  // namespace SCP
