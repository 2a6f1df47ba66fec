#pragma once
// On/off values packed one bit per element, element i at bit 7 - (i mod 8) of byte i / 8;
// the block is padded with zero bytes to a multiple of 4.
#include "pdb_ParamRawArray.h"

namespace PDB {

class RawArrayBool : public IRawArray {
public:
    RawArrayBool() = default;
    explicit RawArrayBool(uint32_t count);
    RawArrayBool(const RawArrayBool& other);
    RawArrayBool& operator=(const RawArrayBool& other);
    RawArrayBool(RawArrayBool&& other) noexcept;
    RawArrayBool& operator=(RawArrayBool&& other) noexcept;
    ~RawArrayBool() override = default;

    // Storage bytes of count elements, roundUp4(ceil(count / 8)), without 32-bit wrap.
    static uint64_t storageSize(uint32_t count);

    // As RawArray: 0x80000000 for a count of 0, exhausted memory or too little wrapped memory.
    [[nodiscard]] JLIB::JResult initialize(uint32_t count);
    [[nodiscard]] JLIB::JResult initialize(uint32_t count, const void* data, uint32_t length);
    [[nodiscard]] JLIB::JResult initializeWithExistMemory(uint32_t count, void* memory, uint32_t length);

    uint32_t clear() override;
    uint8_t type() const override { return kTypeBool; }
    void* dataPtr(uint32_t index) override { return m_block.data() ? m_block.data() + (index >> 3) : nullptr; }
    const void* dataPtr(uint32_t index) const override
    {
        return m_block.data() ? m_block.data() + (index >> 3) : nullptr;
    }
    // The definitions give booleans an item size of 1.
    uint32_t itemSize() const override { return 1; }
    uint32_t totalSize() const override { return uint32_t(storageSize(m_num)); }
    uint32_t totalNum() const override { return m_num; }
    bool isValid() const override { return m_block.data() != nullptr; }

    // Every getter answers 0 or 1; every setter stores 1 for a value that is not 0.
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t index) const override;
    uint32_t getUInt32(uint32_t index) const override { return bit(index); }
    uint16_t getUInt16(uint32_t index) const override { return bit(index); }
    uint8_t getUInt8(uint32_t index) const override { return bit(index); }
    int32_t getSInt32(uint32_t index) const override { return bit(index); }
    int16_t getSInt16(uint32_t index) const override { return bit(index); }
    int8_t getSInt8(uint32_t index) const override { return int8_t(bit(index)); }
    float getFloat(uint32_t index) const override { return float(bit(index)); }
    bool getBool(uint32_t index) const override { return bit(index) != 0; }
    [[nodiscard]] JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const override;
    [[nodiscard]] JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const override;

    [[nodiscard]] JLIB::JResult setVariant(uint32_t index, const JVariant& value) override;
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t index, uint32_t value) override { return setBit(index, value != 0); }
    [[nodiscard]] JLIB::JResult setUInt16(uint32_t index, uint16_t value) override { return setBit(index, value != 0); }
    [[nodiscard]] JLIB::JResult setUInt8(uint32_t index, uint8_t value) override { return setBit(index, value != 0); }
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t index, int32_t value) override { return setBit(index, value != 0); }
    [[nodiscard]] JLIB::JResult setSInt16(uint32_t index, int16_t value) override { return setBit(index, value != 0); }
    [[nodiscard]] JLIB::JResult setSInt8(uint32_t index, int8_t value) override { return setBit(index, value != 0); }
    // Truncated toward zero first, so 0.5 stores 0; a NaN counts as not 0.
    [[nodiscard]] JLIB::JResult setFloat(uint32_t index, float value) override;
    [[nodiscard]] JLIB::JResult setBool(uint32_t index, bool value) override { return setBit(index, value); }
    [[nodiscard]] JLIB::JResult setString(uint32_t index, const char* text) override;
    [[nodiscard]] JLIB::JResult setBinary(uint32_t index, const uint8_t* bytes, uint32_t length) override;

    [[nodiscard]] JLIB::JResult duplicate(const IRawArray& source, JLIB::HeapId heap) override;
    [[nodiscard]] JLIB::JResult recall(const IRawArray& source) override;
    [[nodiscard]] JLIB::JResult recall(const IRawArray& source, uint32_t start, uint32_t count) override;
    [[nodiscard]] JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize) override;
    [[nodiscard]] JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                       uint32_t start, uint32_t count) override;
    uint32_t print() const override;

private:
    uint8_t bit(uint32_t index) const { return (m_block.data()[index >> 3] >> (7u - (index & 7u))) & 1u; }
    JLIB::JResult setBit(uint32_t index, bool on);
    void copyBits(const uint8_t* source, uint32_t start, uint32_t count);

    internal::RawBlock m_block;
    uint32_t m_num = 0;
};

}  // namespace PDB
