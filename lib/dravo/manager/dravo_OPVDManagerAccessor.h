#pragma once
// The manager accessor a component library is handed for one audio component. Reads come from a
// private copy of the component, taken at initialize and kept in step element by element by
// refrectChangedParameter, so a calculation never waits for the database lock and never sees a
// value change under it. Writes go to the live component in the database of instance id 10
// ("AudioCompo") with tag 255. Created, used and destroyed on the DSP engine thread: the copy
// has no lock. The coefficient and meter tables are borrowed from the component and its meter
// pool, which outlive the accessor.
#include <cstdint>

#include "PDB/pdb_LocalComponent.h"
#include "dravo/common/dravo_IManagerAccessor_V1.h"
#include "jlib/jlib_result.h"

namespace PARRAY {
class ArrayAccessorForServer;
}

namespace DRAVO {

// Instance id of the database that holds the audio components.
constexpr uint32_t kAudioComponentDBInstanceId = 10;

class OPVDManagerAccessor : public IManagerAccessor_V1 {
public:
    static constexpr uint32_t kNoComponent = 0xFFFFFFFFu;
    // Tag byte of every write made through the accessor.
    static constexpr uint8_t kWriteTag = 255;

    OPVDManagerAccessor() = default;
    // Releases the component's use mark when finalize was not run.
    ~OPVDManagerAccessor() override;
    OPVDManagerAccessor(const OPVDManagerAccessor&) = delete;
    OPVDManagerAccessor& operator=(const OPVDManagerAccessor&) = delete;

    // Copies the component of uniqID under the database's read lock, stores the sizes and the
    // tables (each may be null), then marks the component used by the calling thread so the
    // database keeps it. A uniqID the database does not hold leaves an empty copy (reads fail,
    // writes are refused by the database). An accessor that holds a component is finalized
    // first. Returns 0.
    JLIB::JResult initialize(uint32_t uniqID, uint32_t numX, uint32_t numY, PARRAY::ArrayAccessorForServer* coef,
                             PARRAY::ArrayAccessorForServer* rawMeter, PARRAY::ArrayAccessorForServer* normalMeter,
                             PARRAY::ArrayAccessorForServer* holdMeter);
    // Releases the calling thread's use of the component (the database removes a component its
    // last user releases), empties the copy and forgets sizes and tables. Returns 0.
    JLIB::JResult finalize();
    // Copies one element with its tag byte from the live component into the copy, under the
    // database's read lock; that copy's result. 0 without a component.
    [[nodiscard]] JLIB::JResult refrectChangedParameter(uint32_t ai, uint32_t x, uint32_t y);

    uint32_t uniqID() const { return m_uniqID; }
    uint32_t componentIndex() const { return m_componentIndex; }
    uint32_t numX() const { return m_numX; }
    uint32_t numY() const { return m_numY; }

    uint32_t getParamUInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
    int32_t getParamSInt32(uint32_t ai, uint32_t x, uint32_t y) const override;
    float getParamFloat(uint32_t ai, uint32_t x, uint32_t y) const override;
    bool getParamBool(uint32_t ai, uint32_t x, uint32_t y) const override;
    [[nodiscard]] uint32_t getParamString(uint32_t ai, uint32_t x, uint32_t y, char* buffer,
                                          uint32_t size) const override;
    [[nodiscard]] uint32_t getParamBinary(uint32_t ai, uint32_t x, uint32_t y, uint8_t* buffer,
                                          uint32_t size) const override;
    uint32_t getParamNumX(uint32_t ai) const override;
    uint32_t getParamNumY(uint32_t ai) const override;
    [[nodiscard]] uint32_t getParamMin(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamMax(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamDefault(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamNominal(uint32_t ai, VariantType& value) const override;
    [[nodiscard]] uint32_t getParamStep(uint32_t ai, VariantType& value) const override;

    uint32_t setCoefUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, uint32_t value) const override;
    uint32_t setCoefSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z, int32_t value) const override;
    uint32_t setCoefFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z, float value) const override;
    uint32_t setCoefDouble(uint32_t n, uint32_t x, uint32_t y, uint32_t z, double value) const override;

    uint32_t getMeterUInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
    int32_t getMeterSInt32(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
    float getMeterFloat(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
    uint8_t getLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
    uint8_t getHoldLevelMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;
    uint8_t getGRMeter(uint32_t n, uint32_t x, uint32_t y, uint32_t z) const override;

    [[nodiscard]] uint32_t setParamUInt32(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
    [[nodiscard]] uint32_t setParamSInt32(uint32_t ai, uint32_t x, uint32_t y, int32_t value) const override;
    [[nodiscard]] uint32_t setParamFloat(uint32_t ai, uint32_t x, uint32_t y, float value) const override;
    [[nodiscard]] uint32_t setParamBool(uint32_t ai, uint32_t x, uint32_t y, uint32_t value) const override;
    [[nodiscard]] uint32_t setParamString(uint32_t ai, uint32_t x, uint32_t y, const char* text) const override;
    [[nodiscard]] uint32_t setParamBinary(uint32_t ai, uint32_t x, uint32_t y, const uint8_t* bytes,
                                          uint32_t length) const override;

private:
    template <typename T>
    uint32_t setCoef(uint32_t n, uint32_t x, uint32_t y, uint32_t z, T value) const;

    PDB::LocalComponent m_component;
    uint32_t m_uniqID = kNoComponent;
    uint32_t m_componentIndex = kNoComponent;
    uint32_t m_numX = 0;
    uint32_t m_numY = 0;
    // Borrowed: the audio component owns the coefficient table, its meter pool the meter tables.
    PARRAY::ArrayAccessorForServer* m_pCoef = nullptr;
    PARRAY::ArrayAccessorForServer* m_pRawMeter = nullptr;
    PARRAY::ArrayAccessorForServer* m_pNormalMeter = nullptr;
    PARRAY::ArrayAccessorForServer* m_pHoldMeter = nullptr;
};

// Makes an accessor and initializes it with the arguments; null when no memory is left.
// The caller owns it and gives it back through destroyManagerAccessor.
IManagerAccessor_V1* createManagerAccessor(uint32_t uniqID, uint32_t numX, uint32_t numY,
                                           PARRAY::ArrayAccessorForServer* coef,
                                           PARRAY::ArrayAccessorForServer* rawMeter,
                                           PARRAY::ArrayAccessorForServer* normalMeter,
                                           PARRAY::ArrayAccessorForServer* holdMeter);
// Finalizes and deletes an accessor made by createManagerAccessor and clears the reference; a
// null reference is left alone. Returns 0.
JLIB::JResult destroyManagerAccessor(IManagerAccessor_V1*& accessor);
// Passes one changed element on to the accessor's copy; 0 in every case, also without accessor.
JLIB::JResult refrectParamChangeToManagerAccessor(IManagerAccessor_V1* accessor, uint32_t ai, uint32_t x,
                                                  uint32_t y);

}  // namespace DRAVO
