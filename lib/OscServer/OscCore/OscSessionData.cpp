#include "OscServer/OscCore/OscSessionData.h"

#include <algorithm>

#include "OscServer/OscCore/internal/OscSessionCounter.h"

namespace JOSC {

OscSessionData::OscSessionData() : meterList(0), meterStatusIterator(meterList.end()) {}

OscSessionData::~OscSessionData() = default;

JLIB::JResult OscSessionData::initialize(uint32_t meterAddressCount)
{
    JLIB_RETURN_IF_FAILED(meterList.initialize(meterAddressCount));
    resetMeterStatusIterator();
    return stop();
}

JLIB::JResult OscSessionData::stop()
{
    enabled = 0;
    encoding = kOscEncoding0;
    valueType = kOscValueTypeRaw;
    snapshotType = kOscSnapshotTypeIndex;
    resolution = kDefaultResolution;
    keepAliveInterval = 0;
    txPort = 0;
    maxMessageNum = kNoMessageCap;
    subscribeList.clear();
    (void)keepAliveTimer.stop();  // stopping a plain record cannot fail
    keepAliveActive = 0;
    sessionNo = 0;
    (void)sessionTimer.stop();
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::changeOscFormat(OscFormat) { return kUnsupportedCommand; }

JLIB::JResult OscSessionData::setEncoding(OscEncoding value)
{
    if (value != kOscEncoding0 && value != kOscEncoding1) return kInvalidArgument;
    encoding = value;
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::setValueType(OscValueType value)
{
    if (value != kOscValueTypeRaw && value != kOscValueTypeNormalized) return kInvalidArgument;
    valueType = value;
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::setSnapshotType(OscSnapshotType value)
{
    if (value != kOscSnapshotTypeIndex && value != kOscSnapshotTypeText) return kInvalidArgument;
    snapshotType = value;
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::setResolution(uint32_t value)
{
    if (value < kMinResolution) return kInvalidArgument;
    resolution = value;
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::startKeepAlive()
{
    keepAliveActive = 1;
    (void)setKeepAliveTimerReset();  // with interval 0 keep-alive is on until the next timer pass
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::setKeepAliveTimerReset()
{
    if (keepAliveInterval == 0) return JLIB::kFailed;
    return keepAliveTimer.start(keepAliveInterval);
}

bool OscSessionData::isKeepAliveTimeout()
{
    if (keepAliveInterval == 0) return true;
    return keepAliveTimer.isExpired();
}

void OscSessionData::stopKeepAlive()
{
    keepAliveInterval = 0;
    (void)keepAliveTimer.stop();
    keepAliveActive = 0;
}

uint32_t OscSessionData::makeSessionNo() { return internal::nextSessionNo(); }

JLIB::JResult OscSessionData::setSessionTimerReset() { return sessionTimer.start(kSessionTimeoutMs); }

bool OscSessionData::isSessionTimeout() { return sessionTimer.isExpired(); }

JLIB::JResult OscSessionData::subscribeAddress(const OscIndexList& indices)
{
    if (indices.empty()) return kInvalidArgument;
    subscribeList.insert(subscribeList.end(), indices.begin(), indices.end());
    std::sort(subscribeList.begin(), subscribeList.end());
    subscribeList.erase(std::unique(subscribeList.begin(), subscribeList.end()), subscribeList.end());
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::unsubscribeAddress(const OscIndexList& indices)
{
    if (indices.empty()) return kInvalidArgument;
    const auto given = [&indices](uint32_t index) {
        return std::find(indices.begin(), indices.end(), index) != indices.end();
    };
    subscribeList.erase(std::remove_if(subscribeList.begin(), subscribeList.end(), given), subscribeList.end());
    return JLIB::kOk;
}

OscSessionData::MeterList::iterator OscSessionData::findMeter(uint32_t meterIndex)
{
    MeterList::iterator it = meterList.begin();
    for (; it != meterList.end(); ++it) {
        if (it->getAddressIndex() == meterIndex) break;
    }
    return it;
}

JLIB::JResult OscSessionData::setMeterStart(uint32_t meterIndex, uint32_t minIntervalMs)
{
    if (meterIndex >= meterList.capacity()) return kUnknownAddress;
    MeterList::iterator it = findMeter(meterIndex);
    if (it != meterList.end()) return it->start(meterIndex, minIntervalMs);
    // One setting per meter index and one slot per meter address: the list cannot be full here.
    if (meterList.push_back(OscMeterSetting(meterIndex, minIntervalMs)) == meterList.end()) return JLIB::kFailed;
    return JLIB::kOk;
}

JLIB::JResult OscSessionData::setMeterStop(uint32_t meterIndex)
{
    if (meterIndex >= meterList.capacity()) return kUnknownAddress;
    MeterList::iterator it = findMeter(meterIndex);
    if (it == meterList.end()) return JLIB::kOk;
    it->stop();
    // A walk that stands on this setting moves on with it; otherwise it would keep a freed slot.
    if (meterStatusIterator == it) {
        meterStatusIterator = meterList.erase(it);
    } else {
        (void)meterList.erase(it);
    }
    return JLIB::kOk;
}

void OscSessionData::resetMeterStatusIterator() { meterStatusIterator = meterList.begin(); }

JLIB::JResult OscSessionData::popMeterStatus(uint32_t& meterIndex, uint32_t& minIntervalMs, bool& due)
{
    meterIndex = 0;
    minIntervalMs = 0;
    due = false;
    if (meterStatusIterator == meterList.end()) return JLIB::kFailed;
    if (meterStatusIterator->checkTimeout()) {
        // The setting that follows is reported below without its own time-out being looked at;
        // a later walk removes it if it ran out as well.
        meterStatusIterator = meterList.erase(meterStatusIterator);
        if (meterStatusIterator == meterList.end()) return JLIB::kFailed;
    }
    OscMeterSetting& setting = *meterStatusIterator;
    meterIndex = setting.getAddressIndex();
    minIntervalMs = setting.getMinInterval();
    due = setting.checkInterval();
    ++meterStatusIterator;
    return JLIB::kOk;
}

}  // namespace JOSC
