#pragma once
// A fixed array of elements of one JVariant type and one element size, stored as plain bytes
// and read and written as JVariant values. It either owns zero-filled memory (1 to 2048
// elements) or lies over memory its caller owns. Not locked: one task at a time.
#include <cstdint>

class JVariant;

class JVariantArray {
public:
    static constexpr uint32_t kMaxOwnedLength = 2048;

    // Invalid (getType() 5) when type and size do not fit or the memory cannot be had. A count
    // of 0 or above 2048 is a broken invariant of the caller and stops the process.
    JVariantArray(int type, uint32_t size, uint32_t count);
    // Over `memory`, which the caller keeps alive and which is never freed here. Invalid for
    // null memory, a misfitting type and size, or a count of 0; no upper bound on the count.
    JVariantArray(void* memory, int type, uint32_t size, uint32_t count);
    // Deep copies into owned memory. A source of more than 2048 elements (a wrapping array) is
    // refused: the copy is left invalid.
    JVariantArray(const JVariantArray& other);
    JVariantArray& operator=(const JVariantArray& other);
    // The source keeps its type, size and count but no memory; it may only be destroyed or
    // assigned to.
    JVariantArray(JVariantArray&& other) noexcept;
    JVariantArray& operator=(JVariantArray&& other) noexcept;
    virtual ~JVariantArray();

    // 0x10000 when the pair fits, else 0x80010001.
    static uint32_t chkVariantType(int type, uint32_t size);
    // 0x10000 for 1 to 2048 elements, else 0x80010001.
    static uint32_t chkVariantLength(uint32_t count);

    int getType() const { return m_Type; }
    uint32_t getSize() const { return m_Size; }
    uint32_t getLength() const { return m_Length; }

    // 0x10000 stored; 0x80010001 refused and nothing stored (index, type or value misfit).
    [[nodiscard]] uint32_t setValue(uint32_t index, const JVariant& value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, signed char value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, short value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, int value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, unsigned char value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, unsigned short value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, unsigned int value);
    [[nodiscard]] uint32_t setPrimitiveValue(uint32_t index, float value);
    // Copies at most `length` characters, stopping after a NUL, and zeroes the rest of the slot.
    // 0 stored; 0x80010001 unless a String array, index below the count and length within the slot.
    [[nodiscard]] uint32_t setString(uint32_t index, const char* text, uint32_t length);
    // 0x10000 whenever the element was handed to *value, whatever its setter reported;
    // 0x80010001 for a null value, an index not below the count or an unreadable element.
    [[nodiscard]] uint32_t getValue(JVariant* value, uint32_t index) const;

    // The element converted as JVariant converts it; 0 and *ok false when it cannot be read.
    int toInt32(uint32_t index, bool* ok = nullptr) const;
    unsigned int toUInt32(uint32_t index, bool* ok = nullptr) const;
    float toFloat(uint32_t index, bool* ok = nullptr) const;

private:
    void becomeInvalid();
    bool takeCopyOf(const JVariantArray& other);
    unsigned char* element(uint32_t index) const;
    bool canAccess(uint32_t index) const;

    unsigned char* m_pMemory = nullptr;
    int m_Type;
    uint32_t m_Size = 0;
    uint32_t m_Length = 0;
    bool m_Owned = false;
};
