#pragma once
// Typed storage of one parameter's values in one contiguous block, in host byte order:
// numbers back to back, booleans one bit each (first element in the most significant bit),
// texts and byte strings in slots of their item size rounded up to 4.
// No lock: reached only through its holder, under the database lock.
#include <cstdint>
#include <memory>

#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_result.h"
#include "internal/pdb_RawBlock.h"

namespace PDB {

// Type codes: high nibble the kind, low nibble the bytes of one element.
constexpr uint8_t kTypeUInt8 = 0x11;
constexpr uint8_t kTypeUInt16 = 0x12;
constexpr uint8_t kTypeUInt32 = 0x14;
constexpr uint8_t kTypeSInt8 = 0x21;
constexpr uint8_t kTypeSInt16 = 0x22;
constexpr uint8_t kTypeSInt32 = 0x24;
constexpr uint8_t kTypeFloat = 0x34;
constexpr uint8_t kTypeBool = 0x41;
constexpr uint8_t kTypeString = 0x50;
constexpr uint8_t kTypeBinary = 0x60;

// Status of a slot write whose text or bytes were cut to the item size; not a failure.
constexpr JLIB::JResult kRawValueCut = 0x40u;

// The next multiple of 4 (n itself when it is one); wraps for n above 0xFFFFFFFC.
constexpr uint32_t roundUp4(uint32_t n) { return (n + 3u) & ~3u; }

// Stored size of count elements: the storage size padded to a multiple of 4; 0 for an unknown
// type code, and 0 when the size does not fit in 32 bits.
uint32_t calcTotalSize(uint8_t type, uint32_t itemSize, uint32_t count);
// The same without 32-bit wrap-around, for callers that must refuse oversized shapes;
// 0 for an unknown type code.
uint64_t calcTotalSizeWide(uint8_t type, uint32_t itemSize, uint32_t count);

class IRawArray {
public:
    virtual ~IRawArray() {}

    virtual uint32_t clear() = 0;
    virtual uint8_t type() const = 0;
    // Element i: for booleans the byte holding bit i, for slots the start of slot i.
    virtual void* dataPtr(uint32_t index) = 0;
    virtual const void* dataPtr(uint32_t index) const = 0;
    virtual uint32_t itemSize() const = 0;
    // Bytes of the block (not padded to 4).
    virtual uint32_t totalSize() const = 0;
    virtual uint32_t totalNum() const = 0;
    virtual bool isValid() const = 0;

    // Element positions are not checked: the holder passes positions below totalNum() only.
    // Numbers and booleans answer the value setter's 0x10000; slots 0 or 0x80040000.
    [[nodiscard]] virtual JLIB::JResult getVariant(JVariant& value, uint32_t index) const = 0;
    virtual uint32_t getUInt32(uint32_t index) const = 0;
    virtual uint16_t getUInt16(uint32_t index) const = 0;
    virtual uint8_t getUInt8(uint32_t index) const = 0;
    virtual int32_t getSInt32(uint32_t index) const = 0;
    virtual int16_t getSInt16(uint32_t index) const = 0;
    virtual int8_t getSInt8(uint32_t index) const = 0;
    virtual float getFloat(uint32_t index) const = 0;
    virtual bool getBool(uint32_t index) const = 0;
    // Element types that do not offer the pair zero the whole buffer and answer 0x80080000.
    [[nodiscard]] virtual JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const = 0;
    [[nodiscard]] virtual JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const = 0;

    // Slots answer 0x40 when the value was cut to the item size.
    [[nodiscard]] virtual JLIB::JResult setVariant(uint32_t index, const JVariant& value) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt32(uint32_t index, uint32_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt16(uint32_t index, uint16_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setUInt8(uint32_t index, uint8_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt32(uint32_t index, int32_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt16(uint32_t index, int16_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setSInt8(uint32_t index, int8_t value) = 0;
    [[nodiscard]] virtual JLIB::JResult setFloat(uint32_t index, float value) = 0;
    [[nodiscard]] virtual JLIB::JResult setBool(uint32_t index, bool value) = 0;
    [[nodiscard]] virtual JLIB::JResult setString(uint32_t index, const char* text) = 0;
    [[nodiscard]] virtual JLIB::JResult setBinary(uint32_t index, const uint8_t* bytes, uint32_t length) = 0;

    // Makes this storage a copy of source (reallocating when the shape differs).
    // 0x80080000 heap number of 32 or more, 0x80000001 source empty, 0x80020000 other type,
    // 0x80040000 memory exhausted (storage then empty).
    [[nodiscard]] virtual JLIB::JResult duplicate(const IRawArray& source, JLIB::HeapId heap) = 0;
    // Copies elements start .. start + count - 1 (count shortened to the common length).
    // 0x80008000 this empty, 0x80000001 source empty or start beyond the common length,
    // 0x80020000 other type; nothing is copied on failure.
    [[nodiscard]] virtual JLIB::JResult recall(const IRawArray& source) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(const IRawArray& source, uint32_t start, uint32_t count) = 0;
    // As recall from a storage, with data in the stored layout of type and itemSize.
    // Also 0x80000001 for null data, a length of 0, a numeric width other than the own, and a
    // slot item size of 0 or one whose rounding wraps.
    [[nodiscard]] virtual JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize) = 0;
    [[nodiscard]] virtual JLIB::JResult recall(const void* data, uint32_t length, uint8_t type, uint32_t itemSize,
                                               uint32_t start, uint32_t count) = 0;
    // One line on standard output; "null\n" when empty.
    virtual uint32_t print() const = 0;
};

// Numbers of type T: uint32_t, uint16_t, uint8_t, int32_t, int16_t, int8_t or float.
template <typename T>
class RawArray : public IRawArray {
public:
    static constexpr uint32_t kWidth = sizeof(T);

    RawArray() = default;
    explicit RawArray(uint32_t count);
    RawArray(const RawArray& other);
    RawArray& operator=(const RawArray& other);
    RawArray(RawArray&& other) noexcept;
    RawArray& operator=(RawArray&& other) noexcept;
    ~RawArray() override = default;

    // count zero elements in an owned block; 0x80000000 for a count of 0 or exhausted memory
    // (storage left empty).
    [[nodiscard]] JLIB::JResult initialize(uint32_t count);
    // Then copies min(length, totalSize()) bytes of data.
    [[nodiscard]] JLIB::JResult initialize(uint32_t count, const void* data, uint32_t length);
    // Wraps memory it never frees; 0x80000000 (storage empty) for null memory, a count of 0 or
    // a length below count * width.
    [[nodiscard]] JLIB::JResult initializeWithExistMemory(uint32_t count, void* memory, uint32_t length);

    uint32_t clear() override;
    uint8_t type() const override;
    void* dataPtr(uint32_t index) override { return m_block.data() ? m_block.data() + size_t(index) * kWidth : nullptr; }
    const void* dataPtr(uint32_t index) const override
    {
        return m_block.data() ? m_block.data() + size_t(index) * kWidth : nullptr;
    }
    uint32_t itemSize() const override { return kWidth; }
    uint32_t totalSize() const override { return m_num * kWidth; }
    uint32_t totalNum() const override { return m_num; }
    bool isValid() const override { return m_block.data() != nullptr; }

    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t index) const override;
    uint32_t getUInt32(uint32_t index) const override;
    uint16_t getUInt16(uint32_t index) const override;
    uint8_t getUInt8(uint32_t index) const override;
    int32_t getSInt32(uint32_t index) const override;
    int16_t getSInt16(uint32_t index) const override;
    int8_t getSInt8(uint32_t index) const override;
    float getFloat(uint32_t index) const override;
    bool getBool(uint32_t index) const override;
    [[nodiscard]] JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const override;
    [[nodiscard]] JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const override;

    [[nodiscard]] JLIB::JResult setVariant(uint32_t index, const JVariant& value) override;
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t index, uint32_t value) override;
    [[nodiscard]] JLIB::JResult setUInt16(uint32_t index, uint16_t value) override;
    [[nodiscard]] JLIB::JResult setUInt8(uint32_t index, uint8_t value) override;
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t index, int32_t value) override;
    [[nodiscard]] JLIB::JResult setSInt16(uint32_t index, int16_t value) override;
    [[nodiscard]] JLIB::JResult setSInt8(uint32_t index, int8_t value) override;
    [[nodiscard]] JLIB::JResult setFloat(uint32_t index, float value) override;
    [[nodiscard]] JLIB::JResult setBool(uint32_t index, bool value) override;
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
    T load(uint32_t index) const;
    void store(uint32_t index, T value);
    void copyRange(const uint8_t* source, uint32_t start, uint32_t count);

    internal::RawBlock m_block;
    uint32_t m_num = 0;
};

extern template class RawArray<uint32_t>;
extern template class RawArray<uint16_t>;
extern template class RawArray<uint8_t>;
extern template class RawArray<int32_t>;
extern template class RawArray<int16_t>;
extern template class RawArray<int8_t>;
extern template class RawArray<float>;

// The storage of a parameter array that is not set up: always empty, every operation a no-op.
class RawArrayNull : public IRawArray {
public:
    // One shared instance; never destroyed by a holder.
    static RawArrayNull& getNullObject();

    uint32_t clear() override { return 0; }
    uint8_t type() const override { return 0; }
    void* dataPtr(uint32_t) override { return nullptr; }
    const void* dataPtr(uint32_t) const override { return nullptr; }
    uint32_t itemSize() const override { return 0; }
    uint32_t totalSize() const override { return 0; }
    uint32_t totalNum() const override { return 0; }
    bool isValid() const override { return false; }

    [[nodiscard]] JLIB::JResult getVariant(JVariant& value, uint32_t index) const override;
    uint32_t getUInt32(uint32_t) const override { return 0; }
    uint16_t getUInt16(uint32_t) const override { return 0; }
    uint8_t getUInt8(uint32_t) const override { return 0; }
    int32_t getSInt32(uint32_t) const override { return 0; }
    int16_t getSInt16(uint32_t) const override { return 0; }
    int8_t getSInt8(uint32_t) const override { return 0; }
    float getFloat(uint32_t) const override { return 0.0f; }
    bool getBool(uint32_t) const override { return false; }
    [[nodiscard]] JLIB::JResult getString(uint32_t index, char* buffer, uint32_t length) const override;
    [[nodiscard]] JLIB::JResult getBinary(uint32_t index, uint8_t* buffer, uint32_t length) const override;

    [[nodiscard]] JLIB::JResult setVariant(uint32_t, const JVariant&) override { return 0; }
    [[nodiscard]] JLIB::JResult setUInt32(uint32_t, uint32_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setUInt16(uint32_t, uint16_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setUInt8(uint32_t, uint8_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setSInt32(uint32_t, int32_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setSInt16(uint32_t, int16_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setSInt8(uint32_t, int8_t) override { return 0; }
    [[nodiscard]] JLIB::JResult setFloat(uint32_t, float) override { return 0; }
    [[nodiscard]] JLIB::JResult setBool(uint32_t, bool) override { return 0; }
    [[nodiscard]] JLIB::JResult setString(uint32_t, const char*) override { return 0; }
    [[nodiscard]] JLIB::JResult setBinary(uint32_t, const uint8_t*, uint32_t) override { return 0; }

    [[nodiscard]] JLIB::JResult duplicate(const IRawArray&, JLIB::HeapId) override { return 0; }
    [[nodiscard]] JLIB::JResult recall(const IRawArray&) override { return 0; }
    [[nodiscard]] JLIB::JResult recall(const IRawArray&, uint32_t, uint32_t) override { return 0; }
    [[nodiscard]] JLIB::JResult recall(const void*, uint32_t, uint8_t, uint32_t) override { return 0; }
    [[nodiscard]] JLIB::JResult recall(const void*, uint32_t, uint8_t, uint32_t, uint32_t, uint32_t) override
    {
        return 0;
    }
    uint32_t print() const override;
};

// A new zero-filled storage for the type code (item size used by STRING and BINARY only).
// 0x80040000 with out null for an unknown type code, a count of 0, an item size of 0 or one
// whose rounding wraps, a size past 32 bits, or exhausted memory. The heap number is kept for
// the caller's bookkeeping; the block comes from the general allocator.
[[nodiscard]] JLIB::JResult createRawArray(std::unique_ptr<IRawArray>& out, uint8_t type, uint32_t itemSize,
                                           uint32_t count, JLIB::HeapId heap);
// The same, then min(length, totalSize()) bytes of data (already in the storage's layout).
[[nodiscard]] JLIB::JResult createRawArray(std::unique_ptr<IRawArray>& out, uint8_t type, uint32_t itemSize,
                                           uint32_t count, const void* data, uint32_t length, JLIB::HeapId heap);
// A storage over the caller's memory, which must outlive it and hold at least its totalSize().
[[nodiscard]] JLIB::JResult createRawArrayWithExistingMemory(std::unique_ptr<IRawArray>& out, uint8_t type,
                                                             uint32_t itemSize, uint32_t count, void* memory,
                                                             uint32_t length);

}  // namespace PDB
