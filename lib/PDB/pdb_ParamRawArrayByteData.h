#pragma once
// Texts and byte strings in fixed slots: slot i starts at i * roundUp4(itemSize) and holds up to
// itemSize bytes of content followed by zero bytes to its end.
#include "pdb_ParamRawArray.h"

namespace PDB {

// The common part of the two slot kinds; never instantiated alone.
class RawArrayAbstractByteData : public IRawArray {
public:
    ~RawArrayAbstractByteData() override = default;

    // Storage bytes of count slots, without 32-bit wrap; 0 for an item size of 0 or one whose
    // rounding wraps.
    static uint64_t storageSize(uint32_t count, uint32_t itemSize);

    // 0x80000000 (storage empty) for a count or item size of 0, an item size whose rounding
    // wraps, a size past 32 bits, exhausted memory, or wrapped memory missing or too short.
    [[nodiscard]] virtual JLIB::JResult initialize(uint32_t count, uint32_t itemSize);
    [[nodiscard]] virtual JLIB::JResult initialize(uint32_t count, uint32_t itemSize, const void* data,
                                                   uint32_t length);
    [[nodiscard]] virtual JLIB::JResult initializeWithExistMemory(uint32_t count, uint32_t itemSize, void* memory,
                                                                  uint32_t length);

    uint32_t clear() override;
    void* dataPtr(uint32_t index) override { return m_block.data() ? m_block.data() + slotOffset(index) : nullptr; }
    const void* dataPtr(uint32_t index) const override
    {
        return m_block.data() ? m_block.data() + slotOffset(index) : nullptr;
    }
    uint32_t itemSize() const override { return m_itemSize; }
    uint32_t totalSize() const override { return uint32_t(storageSize(m_num, m_itemSize)); }
    uint32_t totalNum() const override { return m_num; }
    bool isValid() const override { return m_block.data() != nullptr; }

    // Slots offer no numeric access: getters answer 0, setters 0x80080000.
    uint32_t getUInt32(uint32_t) const override { return 0; }
    uint16_t getUInt16(uint32_t) const override { return 0; }
    uint8_t getUInt8(uint32_t) const override { return 0; }
    int32_t getSInt32(uint32_t) const override { return 0; }
    int16_t getSInt16(uint32_t) const override { return 0; }
    int8_t getSInt8(uint32_t) const override { return 0; }
    float getFloat(uint32_t) const override { return 0.0f; }
    bool getBool(uint32_t) const override { return false; }
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t, uint32_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setUInt16(uint32_t, uint16_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setUInt8(uint32_t, uint8_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t, int32_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setSInt16(uint32_t, int16_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setSInt8(uint32_t, int8_t) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setFloat(uint32_t, float) override { return internal::kRawNotOffered; }
    [[nodiscard]] JLIB::JResult setBool(uint32_t, bool) override { return internal::kRawNotOffered; }

    [[nodiscard]] JLIB::JResult duplicate(const IRawArray& source, JLIB::HeapId heap) override;
    [[nodiscard]] JLIB::JResult recall(const IRawArray& source) override;
    [[nodiscard]] JLIB::JResult recall(const IRawArray& source, uint32_t start, uint32_t count) override;
    [[nodiscard]] JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize) override;
    [[nodiscard]] JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                       uint32_t start, uint32_t count) override;

protected:
    RawArrayAbstractByteData() = default;
    RawArrayAbstractByteData(const RawArrayAbstractByteData& other);
    RawArrayAbstractByteData& operator=(const RawArrayAbstractByteData& other);
    RawArrayAbstractByteData(RawArrayAbstractByteData&& other) noexcept;
    RawArrayAbstractByteData& operator=(RawArrayAbstractByteData&& other) noexcept;

    size_t slotOffset(uint32_t index) const { return size_t(index) * roundUp4(m_itemSize); }
    uint8_t* slot(uint32_t index) { return m_block.data() + slotOffset(index); }
    const uint8_t* slot(uint32_t index) const { return m_block.data() + slotOffset(index); }
    // Puts n content bytes at the start of the slot and zeroes the rest of it.
    void fillSlot(uint32_t index, const void* content, uint32_t n);
    // Writes up to itemSize bytes; 0x40 when the content was longer.
    JLIB::JResult putContent(uint32_t index, const void* content, uint32_t n);
    // Zeroes a caller buffer of an access pair the slot kind does not offer; 0x80080000.
    static JLIB::JResult refuseAccess(void* buffer, uint32_t length);

private:
    void copySlots(const uint8_t* source, uint32_t sourceItemSize, uint32_t start, uint32_t count);

    internal::RawBlock m_block;
    uint32_t m_num = 0;
    uint32_t m_itemSize = 0;
};

// Text slots: a text of exactly itemSize characters has no zero byte inside its slot.
class RawArrayString : public RawArrayAbstractByteData {
public:
    RawArrayString() = default;
    RawArrayString(uint32_t count, uint32_t itemSize);
    RawArrayString(const RawArrayString&) = default;
    RawArrayString& operator=(const RawArrayString&) = default;
    RawArrayString(RawArrayString&&) noexcept = default;
    RawArrayString& operator=(RawArrayString&&) noexcept = default;

    uint8_t type() const override { return kTypeString; }
    // A String of up to itemSize characters; 0 or 0x80040000 when it cannot be built.
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t index) const override;
    // 0x80000001 for a null buffer or one shorter than itemSize + 1.
    [[nodiscard]] JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const override;
    [[nodiscard]] JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const override;
    // A value that is not a String clears the slot; a longer text is cut with 0x40 (bytes, not
    // UTF-8 sequences).
    [[nodiscard]] JLIB::JResult setVariant(uint32_t index, const JVariant& value) override;
    // A longer text is cut silently; null or empty clears the slot.
    [[nodiscard]] JLIB::JResult setString(uint32_t index, const char* text) override;
    [[nodiscard]] JLIB::JResult setBinary(uint32_t index, const uint8_t* bytes, uint32_t length) override;
    uint32_t print() const override;
};

// Byte slots: a value always reads back as all itemSize bytes.
class RawArrayBinary : public RawArrayAbstractByteData {
public:
    RawArrayBinary() = default;
    RawArrayBinary(uint32_t count, uint32_t itemSize);
    RawArrayBinary(const RawArrayBinary&) = default;
    RawArrayBinary& operator=(const RawArrayBinary&) = default;
    RawArrayBinary(RawArrayBinary&&) noexcept = default;
    RawArrayBinary& operator=(RawArrayBinary&&) noexcept = default;

    uint8_t type() const override { return kTypeBinary; }
    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t index) const override;
    [[nodiscard]] JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const override;
    // 0x80000001 for a null buffer or one shorter than itemSize; the rest of the buffer is zeroed.
    [[nodiscard]] JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const override;
    // A value that is not a Binary clears the slot; longer bytes are cut with 0x40.
    [[nodiscard]] JLIB::JResult setVariant(uint32_t index, const JVariant& value) override;
    [[nodiscard]] JLIB::JResult setString(uint32_t index, const char* text) override;
    // Null bytes or a length of 0 clear the slot; longer bytes are cut with 0x40.
    [[nodiscard]] JLIB::JResult setBinary(uint32_t index, const uint8_t* bytes, uint32_t length) override;
    uint32_t print() const override;
};

}  // namespace PDB
