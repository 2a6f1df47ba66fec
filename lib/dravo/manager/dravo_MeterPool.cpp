#include "dravo/manager/dravo_MeterPool.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "dravo/manager/dravo_SCPMeterData.h"
#include "dravo/manager/dravo_timeMs.h"
#include "dravo/manager/internal/dravo_meterByteInline.h"
#include "oswrap/oswrap_time.h"

namespace DRAVO {

namespace {

// The kinds are compared over the whole 16-byte field, padding included.
constexpr char kLevel[16] = "level";
constexpr char kGR[16] = "gr";
constexpr char kRaw[16] = "raw";

bool isKind(const PARRAY::ArrayInfo& info, const char (&kind)[16])
{
    return std::memcmp(info.extInfo, kind, sizeof info.extInfo) == 0;
}

bool isLevelOrGR(const PARRAY::ArrayInfo& info)
{
    return isKind(info, kLevel) || isKind(info, kGR);
}

struct MeterSettings {
    int8_t releaseStep;
    uint32_t holdTimeMs;
    bool peakHold;
};

// One meter byte into element e: normal must be given, hold and holdTimes may be null.
inline void applyMeterByte(const MeterSettings& settings, uint32_t e, uint8_t data, uint32_t nowMs, uint8_t* normal,
                           uint8_t* hold, uint32_t* holdTimes)
{
    const uint8_t old = normal[e];
    // Signed: with the step -1 a byte below the old one is approached one step per update.
    const uint8_t current =
        int32_t{data} - int32_t{old} > int32_t{settings.releaseStep} ? data : uint8_t(old + settings.releaseStep);
    normal[e] = current;
    if (!hold || !holdTimes) return;

    if (current > hold[e] || (!settings.peakHold && diffTimeMs(nowMs, holdTimes[e]) > settings.holdTimeMs)) {
        hold[e] = current;
        holdTimes[e] = nowMs;
    }
}

void fillArray(const PARRAY::ArrayAccessorForServer& table, uint32_t id, uint8_t value)
{
    void* data = nullptr;
    uint32_t size = 0;
    if (JLIB::isFailure(table.getArrayPointer(data, size, id)) || !data) return;
    std::memset(data, value, size);
}

void copyArray(const PARRAY::ArrayAccessorForServer& to, const PARRAY::ArrayAccessorForServer& from, uint32_t id)
{
    void* target = nullptr;
    uint32_t targetSize = 0;
    void* source = nullptr;
    uint32_t sourceSize = 0;
    if (JLIB::isFailure(to.getArrayPointer(target, targetSize, id)) || !target) return;
    if (JLIB::isFailure(from.getArrayPointer(source, sourceSize, id)) || !source) return;
    std::memcpy(target, source, std::min(targetSize, sourceSize));
}

}  // namespace

MeterPool::MeterPool(const MeterPool& other)
{
    *this = other;
}

MeterPool& MeterPool::operator=(const MeterPool& other)
{
    if (&other == this) return *this;
    finalize();
    m_releaseStep = other.m_releaseStep;
    m_holdTimeMs = other.m_holdTimeMs;
    m_peakHold = other.m_peakHold;
    if (!other.m_pMeterInfo) return *this;
    // Copying the table accessors alone would leave them reading the other pool's descriptions.
    if (JLIB::isFailure(initialize(other.m_pMeterInfo, other.m_meterCount, 0, other.m_numX, other.m_numY,
                                   other.m_releaseStep, other.m_holdTimeMs))) {
        return *this;
    }
    m_peakHold = other.m_peakHold;
    for (uint32_t i = 0; i < m_meterCount; ++i) {
        copyArray(m_raw, other.m_raw, i);
        copyArray(m_normal, other.m_normal, i);
        copyArray(m_hold, other.m_hold, i);
        copyArray(m_holdTime, other.m_holdTime, i);
    }
    return *this;
}

MeterPool::~MeterPool()
{
    finalize();
}

JLIB::JResult MeterPool::initialize(const PARRAY::ArrayInfo* infos, uint32_t count, uint32_t /*uniqID*/,
                                    uint32_t numX, uint32_t numY, int8_t releaseStep, uint32_t holdTimeMs)
{
    if (!infos || count == 0) {
        // Tables from an earlier initialize must not outlive the descriptions they read.
        finalize();
        return JLIB::kOk;
    }
    if (numX == 0 || numY == 0) return JLIB::kFailed;
    finalize();

    try {
        m_rawInfo.assign(infos, infos + count);
        m_normalInfo = m_rawInfo;
        m_holdInfo = m_rawInfo;
        m_holdTimeInfo = m_rawInfo;
    } catch (const std::bad_alloc&) {
        finalize();
        return JLIB::kFailed;
    }
    for (uint32_t i = 0; i < count; ++i) {
        // Level and gain-reduction meters keep one byte per float element.
        if (isLevelOrGR(m_rawInfo[i]) && m_rawInfo[i].type == PARRAY::kTypeFLOAT) {
            m_normalInfo[i].type = PARRAY::kTypeUINT8;
            m_holdInfo[i].type = PARRAY::kTypeUINT8;
        }
        m_holdTimeInfo[i].type = PARRAY::kTypeUINT32;
    }

    m_pMeterInfo = infos;
    m_meterCount = count;
    m_numX = numX;
    m_numY = numY;
    m_releaseStep = releaseStep;
    m_holdTimeMs = holdTimeMs;
    m_peakHold = false;

    if (JLIB::isFailure(m_raw.initialize(m_rawInfo.data(), count, numX, numY)) ||
        JLIB::isFailure(m_normal.initialize(m_normalInfo.data(), count, numX, numY)) ||
        JLIB::isFailure(m_hold.initialize(m_holdInfo.data(), count, numX, numY)) ||
        JLIB::isFailure(m_holdTime.initialize(m_holdTimeInfo.data(), count, numX, numY))) {
        finalize();
        return JLIB::kFailed;
    }
    (void)clearAllData();  // always 0
    return JLIB::kOk;
}

JLIB::JResult MeterPool::finalize()
{
    // The tables go before the descriptions they read.
    (void)m_raw.finalize();
    (void)m_normal.finalize();
    (void)m_hold.finalize();
    (void)m_holdTime.finalize();
    m_rawInfo.clear();
    m_normalInfo.clear();
    m_holdInfo.clear();
    m_holdTimeInfo.clear();
    m_pMeterInfo = nullptr;
    m_meterCount = 0;
    m_numX = 0;
    m_numY = 0;
    m_releaseStep = kDefaultReleaseStep;
    m_holdTimeMs = kDefaultHoldTimeMs;
    m_peakHold = false;
    return JLIB::kOk;
}

JLIB::JResult MeterPool::clearAllData()
{
    if (!m_pMeterInfo) return JLIB::kOk;
    for (uint32_t i = 0; i < m_meterCount; ++i) {
        fillArray(m_raw, i, 0);
        fillArray(m_normal, i, kindOf(i) == Kind::kGR ? kSCPMeterGRCleared : 0);
        fillArray(m_hold, i, 0);
        fillArray(m_holdTime, i, 0);
    }
    return JLIB::kOk;
}

MeterPool::Kind MeterPool::kindOf(uint32_t i) const
{
    const PARRAY::ArrayInfo& info = m_rawInfo[i];
    if (isKind(info, kLevel)) return Kind::kLevel;
    if (isKind(info, kGR)) return Kind::kGR;
    if (isKind(info, kRaw)) return Kind::kRaw;
    return Kind::kOther;
}

JLIB::JResult MeterPool::setRawMeterDataBinary(uint32_t i, uint32_t offset, uint32_t length, const void* data)
{
    if (!m_pMeterInfo || i >= m_meterCount || !data) return JLIB::kFailed;
    void* rawArray = nullptr;
    uint32_t rawSize = 0;
    if (JLIB::isFailure(m_raw.getArrayPointer(rawArray, rawSize, i))) return JLIB::kFailed;
    if (uint64_t{offset} + length > rawSize) return JLIB::kFailed;
    auto* raw = static_cast<uint8_t*>(rawArray);
    // The sender hands over just the range, not the whole array's image.
    if (length != 0) std::memcpy(raw + offset, data, length);

    const Kind kind = kindOf(i);
    switch (kind) {
    case Kind::kLevel:
    case Kind::kGR: {
        if (m_rawInfo[i].type != PARRAY::kTypeFLOAT) return JLIB::kOk;
        if (offset % sizeof(float) != 0 || length % sizeof(float) != 0) return JLIB::kFailed;
        if (length == 0) return JLIB::kOk;
        // The raw array holds floats, so its element memory is aligned for them.
        const auto* values = reinterpret_cast<const float*>(raw + offset);
        return setFloatLinearMeterDataArray(i, offset / sizeof(float), length / sizeof(float), values,
                                            kind == Kind::kLevel, 0.0f);
    }
    case Kind::kRaw: {
        void* normal = nullptr;
        uint32_t normalSize = 0;
        if (JLIB::isFailure(m_normal.getArrayPointer(normal, normalSize, i))) return JLIB::kFailed;
        if (uint64_t{offset} + length > normalSize) return JLIB::kFailed;
        if (length != 0) std::memcpy(static_cast<uint8_t*>(normal) + offset, raw + offset, length);
        return JLIB::kOk;
    }
    case Kind::kOther:
        return JLIB::kOk;
    }
    return JLIB::kOk;
}

JLIB::JResult MeterPool::setFloatLinearMeterDataArray(uint32_t i, uint32_t first, uint32_t count,
                                                      const float* values, bool withHold, float offsetDB)
{
    if (!values) return JLIB::kFailed;
    uint32_t now = 0;
    (void)oswrap_Get1msCount(&now);  // fails only for a null pointer

    const uint64_t end = uint64_t{first} + count;
    void* normal = nullptr;
    uint32_t normalSize = 0;
    if (JLIB::isFailure(m_normal.getArrayPointer(normal, normalSize, i)) || end > normalSize) return JLIB::kFailed;

    void* hold = nullptr;
    void* holdTimes = nullptr;
    if (withHold) {
        uint32_t holdSize = 0;
        uint32_t holdTimesSize = 0;
        // The normal array's bytes need not match the other two for a meter that is not a float
        // level meter: each range is checked on its own.
        if (JLIB::isFailure(m_hold.getArrayPointer(hold, holdSize, i)) || end > holdSize) return JLIB::kFailed;
        if (JLIB::isFailure(m_holdTime.getArrayPointer(holdTimes, holdTimesSize, i)) ||
            end * sizeof(uint32_t) > holdTimesSize) {
            return JLIB::kFailed;
        }
    }
    // The settings in locals: the byte stores could alias the members and force a reload each time.
    const MeterSettings settings{m_releaseStep, m_holdTimeMs, m_peakHold};
    auto* normalBytes = static_cast<uint8_t*>(normal);
    auto* holdBytes = static_cast<uint8_t*>(hold);
    auto* times = static_cast<uint32_t*>(holdTimes);
    for (uint32_t e = first; e < end; ++e) {
        const uint8_t data = internal::linearToMeterByte(values[e - first], offsetDB);
        applyMeterByte(settings, e, data, now, normalBytes, holdBytes, times);
    }
    return JLIB::kOk;
}

JLIB::JResult MeterPool::setSCPMeterData(uint32_t e, uint8_t data, uint32_t nowMs, uint8_t* normal, uint8_t* hold,
                                         uint32_t* holdTimes)
{
    if (!normal) return JLIB::kFailed;
    applyMeterByte({m_releaseStep, m_holdTimeMs, m_peakHold}, e, data, nowMs, normal, hold, holdTimes);
    return JLIB::kOk;
}

JLIB::JResult MeterPool::setPeakHold(bool on)
{
    m_peakHold = on;
    return JLIB::kOk;
}

bool MeterPool::isLittleEndian()
{
    return std::endian::native == std::endian::little;
}

}  // namespace DRAVO
