#pragma once
// One value target that is either a single JVariant or one element of a JVariantArray, so that a
// parameter reads into both the same way. Borrows its target for one call; one task at a time.
#include <cstdint>

class JVariant;
class JVariantArray;

namespace MMS {

class JVariantWrapper {
public:
    // Refers to nothing (getType 5; writes are ignored).
    JVariantWrapper() = default;
    explicit JVariantWrapper(JVariant* value) : m_pValue(value) {}
    JVariantWrapper(JVariantArray* array, uint32_t index) : m_pArray(array), m_index(index) {}

    JVariantWrapper(const JVariantWrapper&) = delete;

    // Store into the target; an array element that refuses the value keeps what it held.
    // signed char and short become Int32, unsigned char and unsigned short UInt32.
    JVariantWrapper& operator=(const JVariant& value);
    JVariantWrapper& operator=(int value);
    JVariantWrapper& operator=(unsigned int value);
    JVariantWrapper& operator=(signed char value);
    JVariantWrapper& operator=(short value);
    JVariantWrapper& operator=(unsigned char value);
    JVariantWrapper& operator=(unsigned short value);
    JVariantWrapper& operator=(float value);
    // At most maxLength characters of text. 0, or 0x80000002 when the target refuses the text or
    // there is no target.
    [[nodiscard]] uint32_t setString(const char* text, uint32_t maxLength);

    int toInt32(bool* ok = nullptr) const;
    unsigned int toUInt32(bool* ok = nullptr) const;
    float toFloat(bool* ok = nullptr) const;
    // The JVariant type of the target (an array's element type); 5 without a target.
    int getType() const;

private:
    JVariant* m_pValue = nullptr;
    JVariantArray* m_pArray = nullptr;
    uint32_t m_index = 0;
};

}  // namespace MMS
