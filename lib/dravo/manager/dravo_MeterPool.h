#pragma once
// The meters of one audio component: four typed array tables built from its library's meter
// description table. Raw holds the values as the DSP delivers them; normal the current meter
// byte of each "level" and "gr" meter, falling back by the release step per update; hold the
// peak-hold byte of each "level" meter; the hold-time table the millisecond time each hold byte
// was last set. Meter i has array ID i in all four tables.
// No lock: initialize and finalize run while no other task uses the component; updates are byte
// and block copies by one writer task, and a reader may see a block partly written.
// Results: 0 success, 0x80000000 failure; nothing is logged (updates run once per meter block).
#include <cstdint>
#include <vector>

#include "jlib/jlib_result.h"
#include "parray/ArrayAccessorForServer.h"
#include "parray/ArrayInfo.h"

namespace DRAVO {

class MeterPool {
public:
    static constexpr int8_t kDefaultReleaseStep = -1;
    static constexpr uint32_t kDefaultHoldTimeMs = 1000;

    MeterPool() = default;
    // A copy builds tables of its own from the same description table and copies their elements,
    // so each pool releases only what it built; without memory the copy is left empty.
    MeterPool(const MeterPool& other);
    MeterPool& operator=(const MeterPool& other);
    virtual ~MeterPool();

    // Builds the four tables and clears them. No table or count 0: an empty pool (the component
    // has no meters) and 0. numX or numY 0: 0x80000000, nothing changes. A table that cannot be
    // built: 0x80000000 and an empty pool. infos is borrowed from the library, which outlives the pool. uniqID is unused.
    // The release step is added to a normal byte per update while the new byte is lower; hold
    // bytes are kept holdTimeMs before they follow the normal byte.
    [[nodiscard]] JLIB::JResult initialize(const PARRAY::ArrayInfo* infos, uint32_t count, uint32_t uniqID,
                                           uint32_t numX, uint32_t numY, int8_t releaseStep, uint32_t holdTimeMs);
    // Releases the tables; the pool is empty again. Always 0.
    JLIB::JResult finalize();
    // Zero in every table, except 254 in the normal bytes of "gr" meters. Always 0.
    JLIB::JResult clearAllData();

    // Stores length bytes, taken from the start of data, into raw array i at byte offset, then
    // updates the meter bytes of the range: float "level" meters with hold, float "gr" meters
    // without, and "raw" meters by a byte copy into the normal array. Refused with nothing
    // written: no tables, i out of range, no data, a range past the raw array. Refused after the
    // raw bytes were stored: a float "level" or "gr" range not on 4-byte boundaries, a "raw"
    // range past the normal array.
    [[nodiscard]] JLIB::JResult setRawMeterDataBinary(uint32_t i, uint32_t offset, uint32_t length,
                                                      const void* data);
    // Converts count linear levels into the meter bytes of elements first to first + count - 1
    // of meter i and applies them at the current millisecond count. Refused: no values, or a range past the normal
    // array (or, with hold, past the hold or hold-time array).
    [[nodiscard]] JLIB::JResult setFloatLinearMeterDataArray(uint32_t i, uint32_t first, uint32_t count,
                                                             const float* values, bool withHold, float offsetDB);
    // Applies meter byte data to element e at time nowMs. The arrays are indexed without checks:
    // the caller passes arrays that hold element e. Without hold bytes or hold times only the
    // normal byte changes. 0x80000000 for no normal bytes.
    [[nodiscard]] JLIB::JResult setSCPMeterData(uint32_t e, uint8_t data, uint32_t nowMs, uint8_t* normal,
                                                uint8_t* hold, uint32_t* holdTimes);
    // On: a hold byte only rises. Always 0.
    JLIB::JResult setPeakHold(bool on);

    PARRAY::ArrayAccessorForServer& rawMeterArrayAccessor() { return m_raw; }
    const PARRAY::ArrayAccessorForServer& rawMeterArrayAccessor() const { return m_raw; }
    PARRAY::ArrayAccessorForServer& normalMeterArrayAccessor() { return m_normal; }
    const PARRAY::ArrayAccessorForServer& normalMeterArrayAccessor() const { return m_normal; }
    PARRAY::ArrayAccessorForServer& holdMeterArrayAccessor() { return m_hold; }
    const PARRAY::ArrayAccessorForServer& holdMeterArrayAccessor() const { return m_hold; }

    // Whether the tables hold their values in little-endian byte order (the host's order).
    static bool isLittleEndian();

    bool hasMeters() const { return m_pMeterInfo != nullptr; }
    uint32_t meterCount() const { return m_meterCount; }
    bool isPeakHold() const { return m_peakHold; }

private:
    enum class Kind { kLevel, kGR, kRaw, kOther };
    Kind kindOf(uint32_t i) const;

    const PARRAY::ArrayInfo* m_pMeterInfo = nullptr;  // borrowed from the library
    uint32_t m_meterCount = 0;
    uint32_t m_numX = 0;
    uint32_t m_numY = 0;
    int8_t m_releaseStep = kDefaultReleaseStep;
    uint32_t m_holdTimeMs = kDefaultHoldTimeMs;
    bool m_peakHold = false;
    // The tables read these in place: they are not changed while the tables are held.
    std::vector<PARRAY::ArrayInfo> m_rawInfo;
    std::vector<PARRAY::ArrayInfo> m_normalInfo;
    std::vector<PARRAY::ArrayInfo> m_holdInfo;
    std::vector<PARRAY::ArrayInfo> m_holdTimeInfo;
    PARRAY::ArrayAccessorForServer m_raw;
    PARRAY::ArrayAccessorForServer m_normal;
    PARRAY::ArrayAccessorForServer m_hold;
    PARRAY::ArrayAccessorForServer m_holdTime;
};

}  // namespace DRAVO
