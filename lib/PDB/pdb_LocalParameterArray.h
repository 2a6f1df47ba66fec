#pragma once
// An unlocked value holder for one parameter: no database, callback, strategy or factors,
// and writes store directly. Used by one task at a time.
#include <cstdint>
#include <memory>

#include "pdb_ParameterArray.h"

namespace PDB {

class LocalParameterArray : public IParameterArray {
public:
    LocalParameterArray() = default;
    // Takes its own copy of the definition and the values.
    LocalParameterArray(const LocalParameterArray& source);
    explicit LocalParameterArray(const IParameterArray& source);
    LocalParameterArray& operator=(const LocalParameterArray& source);
    ~LocalParameterArray() override;

    // Zero-filled values (no defaults applied). 0x80000001 for an invalid definition, the
    // storage factory's code when memory is exhausted; the array is finalised on failure.
    [[nodiscard]] JLIB::JResult initialize(const ParameterInfo& info);
    uint32_t finalize();

    IParameterArray& operator=(const IParameterArray& source) override;
    bool isValid() const override;
    const ParameterInfo& paramInfo() const override { return m_info; }
    const IRawArray& params() const override;
    uint32_t totalSize() const override;
    ParameterStrategy& paramStrategy() const override;
    // Keeps the previous contents on failure.
    [[nodiscard]] JLIB::JResult resize(uint32_t componentX, uint32_t componentY, bool keepValues,
                                       uint8_t factor) override;
    // Not offered without callback, strategy or factors: 0x80080000.
    [[nodiscard]] JLIB::JResult setDirty(uint32_t x, uint32_t y, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult setDefault(uint32_t x, uint32_t y, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult getDefault(JVariant& value, uint32_t x, uint32_t y) const override;
    // 0, or 0x40 when a text or byte string was cut; the factor is ignored.
    [[nodiscard]] JLIB::JResult setVariant(uint32_t x, uint32_t y, const JVariant& value, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult setVariants(const IParameterArray& source, uint8_t factor) override;
    // The factor output is always 0xFF.
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t x, uint32_t y, uint8_t* factor) const override;
    [[nodiscard]] JLIB::JResult getVariants(IParameterArray& destination) const override;
    uint8_t getFactor(uint32_t, uint32_t) const override { return kDefaultFactor; }
    [[nodiscard]] JLIB::JResult duplicate(const IParameterArray& source, uint8_t factor, JLIB::HeapId heap) override;
    [[nodiscard]] JLIB::JResult recall(const IParameterArray& source, const IFlagArray& recallSafe,
                                       const ImportAttr& attr, uint8_t factor) override;
    [[nodiscard]] JLIB::JResult exportData(uint8_t* buffer, uint32_t length, uint32_t& written) const override;
    // 0x80010000 (logged) when the stored shape needs more bytes than length.
    [[nodiscard]] JLIB::JResult importData(const ParameterInfo& stored, const uint8_t* data, uint32_t length,
                                           const IFlagArray& recallSafe, const ImportAttr& attr,
                                           uint8_t factor) override;
    bool checkPosRange(uint32_t x, uint32_t y) const override;
    uint32_t XYToPos(uint32_t x, uint32_t y) const override { return x * m_info.numY + y; }
    [[nodiscard]] JLIB::JResult posToXY(uint32_t& x, uint32_t& y, uint32_t pos) const override;

private:
    IRawArray& values() const;
    // Stores each unflagged element of the overlap with the source directly.
    void storeOverlap(const IRawArray& source, uint32_t sourceX, uint32_t sourceY, const IFlagArray& recallSafe);

    ParameterInfo m_info;
    std::unique_ptr<IRawArray> m_values;  // null: the shared null storage
};

}  // namespace PDB
