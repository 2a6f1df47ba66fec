#pragma once
// The value type every subsystem exchanges: Int32, UInt32, Float held inline, a String or a Binary
// in one exactly sized heap block of its own (deep copies), or nothing. Not locked: one value is
// used by one task at a time; copies may be handed between tasks.
#include "jlib/jlib_result.h"

#include <cstdint>

// What a String becomes when its text is longer than kMaxStringLength characters.
#define JLIB_JVARIANT_ERROR_STRING "ERROR:"

class JVariant {
public:
    // Type ids as getType() answers them.
    static constexpr int kTypeInt32 = 0;
    static constexpr int kTypeUInt32 = 1;
    static constexpr int kTypeString = 2;
    static constexpr int kTypeFloat = 3;
    static constexpr int kTypeBinary = 4;
    static constexpr int kTypeInvalid = 5;

    static constexpr unsigned int kMaxStringLength = 1023;
    static constexpr unsigned int kMaxBinaryLength = 0xFFFFFFFBu;

    // Result codes of the setters.
    static constexpr uint32_t kOk = JLIB::kVariantOk;            // 0x10000
    static constexpr uint32_t kRefused = JLIB::kVariantRefused;  // 0x80010001
    static constexpr uint32_t kNoHeap = JLIB::kVariantNoHeap;    // 0x80010002

    // 8 bytes, all zero after construction.
    union JVariantPrivate {
        JVariantPrivate() : m_raw(0) {}
        int m_Int32;
        unsigned int m_UInt32;
        float m_Float;
        char* m_pString;
        unsigned char* m_pBinary;
        uint64_t m_raw;
    };

    JVariant();
    JVariant(int value);
    JVariant(long value);  // keeps the low 32 bits
    JVariant(short value);
    JVariant(signed char value);
    JVariant(unsigned int value);
    JVariant(unsigned long value);  // keeps the low 32 bits
    JVariant(unsigned short value);
    JVariant(unsigned char value);
    JVariant(float value);
    // As setString / setBinary; the value is invalid when those fail without storing anything.
    JVariant(const char* text, unsigned int maxLength);
    JVariant(const unsigned char* bytes, unsigned int length);
    // Deep copy; invalid when the copy cannot be allocated.
    JVariant(const JVariant& other);
    // Takes the number or the block; a String or Binary source keeps its type but holds nothing
    // and may then only be destroyed or assigned to.
    JVariant(JVariant&& other) noexcept;

    virtual ~JVariant();

    virtual JVariant& operator=(const JVariant& other);
    virtual JVariant& operator=(int value);
    virtual JVariant& operator=(long value);
    virtual JVariant& operator=(short value);
    virtual JVariant& operator=(signed char value);
    virtual JVariant& operator=(unsigned int value);
    virtual JVariant& operator=(unsigned long value);
    virtual JVariant& operator=(unsigned short value);
    virtual JVariant& operator=(unsigned char value);
    virtual JVariant& operator=(float value);

    // The left operand's type decides: the right one is converted to it, and ==, <, <= are false
    // when it does not convert (> and >= are their negations, so true then). Strings and
    // Binaries order by length alone.
    virtual bool operator==(const JVariant& other) const;
    virtual bool operator!=(const JVariant& other) const;
    virtual bool operator<(const JVariant& other) const;
    virtual bool operator<=(const JVariant& other) const;
    virtual bool operator>(const JVariant& other) const;
    virtual bool operator>=(const JVariant& other) const;
    // Keep the left operand's numeric type (wrapping for integers); a right operand that does not
    // convert counts as 0; String, Binary and invalid left operands give an invalid result.
    virtual JVariant operator+(const JVariant& other) const;
    virtual JVariant operator-(const JVariant& other) const;

    JVariant& operator=(JVariant&& other) noexcept;

    // Free any text or block first; always 0x10000.
    uint32_t setInt32(int value);
    uint32_t setUInt32(unsigned int value);
    uint32_t setFloat(float value);
    // Stores at most maxLength characters up to the text's NUL (a null text gives an empty String).
    // A text of more than 1023 characters is stored as "ERROR:" with 0x80010001; 0x80010002
    // leaves the value invalid. The text may be the value's own.
    [[nodiscard]] uint32_t setString(const char* text, unsigned int maxLength);
    // 0x80010001 for null bytes or a length of 0 or above 0xFFFFFFFB, 0x80010002 when the heap is
    // exhausted; the value is invalid after either. The bytes may be the value's own.
    [[nodiscard]] uint32_t setBinary(const unsigned char* bytes, unsigned int length);
    // Frees any text or block; returns 0.
    uint32_t invalid();

    int getType() const { return m_Type; }
    bool isValid() const { return m_Type != kTypeInvalid; }

    // The flag, when given, tells whether the conversion applies; otherwise 0, 0.0 or null.
    int toInt32(bool* ok = nullptr) const;          // Int32, UInt32: the 32 bits as stored
    unsigned int toUInt32(bool* ok = nullptr) const;  // Int32, UInt32: the 32 bits as stored
    float toFloat(bool* ok = nullptr) const;        // Int32, UInt32, Float
    double toDouble(bool* ok = nullptr) const;      // Int32, UInt32, Float
    const char* toString(bool* ok = nullptr) const;  // String (null after a move)
    unsigned int getStringLength(bool* ok = nullptr) const;  // String: size(), terminator counted
    const unsigned char* toBinary(bool* ok = nullptr) const;  // Binary holding a block
    unsigned int getBinaryLength(bool* ok = nullptr) const;  // Binary: size()

    // 4 for numbers, text length + 1 for a String, the byte count for a Binary, 0 otherwise.
    unsigned int size() const;

private:
    bool equal(const JVariant& other) const;
    bool less(const JVariant& other) const;
    JVariant add(const JVariant& other, int sign) const;
    void releaseBlock();
    uint32_t storedBinaryLength() const;

    JVariantPrivate m_Value;
    int m_Type;
};
