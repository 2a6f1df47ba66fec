#pragma once
// Tagged value in which component libraries receive and return parameter limits and values: a
// number held inline, or a text or byte string in a buffer whose size is fixed at construction.
// Move-only; one value is used by one task at a time.
#include <cstdint>

namespace DRAVO {

class VariantType {
public:
    // Type numbers as type() answers them.
    static constexpr uint32_t kTypeInvalid = 0;
    static constexpr uint32_t kTypeUInt32 = 1;
    static constexpr uint32_t kTypeUInt64 = 2;
    static constexpr uint32_t kTypeInt32 = 3;
    static constexpr uint32_t kTypeInt64 = 4;
    static constexpr uint32_t kTypeFloat = 5;
    static constexpr uint32_t kTypeDouble = 6;
    static constexpr uint32_t kTypeString = 7;
    static constexpr uint32_t kTypeBinary = 8;

    static constexpr uint32_t kOk = 0;
    static constexpr uint32_t kFailed = 0x80000000u;

    // Invalid, with a buffer of memorySize bytes (none for 0, or when it cannot be allocated:
    // getAllocatedMemorySize() then answers 0). A text needs its length plus one bytes.
    explicit VariantType(uint32_t memorySize = 0);
    ~VariantType();
    VariantType(const VariantType&) = delete;
    VariantType& operator=(const VariantType&) = delete;
    // Take over value, buffer, type and sizes; the source is left invalid without buffer.
    VariantType(VariantType&& other) noexcept;
    VariantType& operator=(VariantType&& other) noexcept;

    uint32_t invalid();
    uint32_t setUInt32(uint32_t value);
    uint32_t setUInt64(uint64_t value);
    uint32_t setInt32(int32_t value);
    uint32_t setInt64(int64_t value);
    uint32_t setFloat(float value);
    uint32_t setDouble(double value);
    // Zero-fills the buffer and copies the text with its terminator. A text that does not fit is
    // cut to getAllocatedMemorySize() - 1 characters, stored, and answered with 0x80000000.
    // No text or no buffer: 0x80000000, nothing changes.
    [[nodiscard]] uint32_t setString(const char* text);
    // No bytes or more bytes than the buffer holds: 0x80000000, nothing changes.
    [[nodiscard]] uint32_t setBinary(const uint8_t* bytes, uint32_t length);

    // Each reader answers only for its own type: 0, 0.0 or null otherwise.
    uint32_t toUInt32() const;
    uint64_t toUInt64() const;
    int32_t toInt32() const;
    int64_t toInt64() const;
    float toFloat() const;
    double toDouble() const;
    const char* toString() const;
    const uint8_t* toBinary() const;
    uint32_t getBinaryLength() const;

    uint32_t getAllocatedMemorySize() const { return m_allocatedMemorySize; }
    uint32_t type() const { return m_type; }

private:
    union Value {
        uint32_t u32;
        uint64_t u64;
        int32_t s32;
        int64_t s64;
        float f32;
        double f64;
        uint8_t* buffer;  // the own buffer, for a text or byte string
    };

    void takeFrom(VariantType& other);

    Value m_value{};
    uint8_t* m_pBuffer = nullptr;  // owned
    uint32_t m_type = kTypeInvalid;
    uint32_t m_allocatedMemorySize = 0;
    uint32_t m_binaryLength = 0;
};

}  // namespace DRAVO
