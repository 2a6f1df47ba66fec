#include "jlib/JVariantArray.h"

#include <cstring>

#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_result.h"

namespace {

constexpr const char* kMemoryTag = "JVariantArray::m_pMemory";
constexpr uint32_t kMaxStringSlot = 1024;

bool isIntegerSize(uint32_t size) { return size == 1 || size == 2 || size == 4; }

// Owned memory is one JNew block: a byte total beyond its element limit cannot be had.
unsigned char* allocateZeroed(uint32_t size, uint32_t count)
{
    const uint64_t bytes = uint64_t{size} * count;
    if (bytes == 0 || bytes > JLIB::kMaxJNewCount) return nullptr;
    return JLIB::JNew<unsigned char>(0, kMemoryTag, static_cast<uint32_t>(bytes)); // zero-filled
}

void storeInteger(unsigned char* slot, uint32_t size, uint32_t bits)
{
    switch (size) {
    case 1: {
        const uint8_t v = static_cast<uint8_t>(bits);
        std::memcpy(slot, &v, 1);
        break;
    }
    case 2: {
        const uint16_t v = static_cast<uint16_t>(bits);
        std::memcpy(slot, &v, 2);
        break;
    }
    default:
        std::memcpy(slot, &bits, 4);
        break;
    }
}

}  // namespace

JVariantArray::JVariantArray(int type, uint32_t size, uint32_t count) : m_Type(JVariant::kTypeInvalid)
{
    if (JLIB::isFailure(chkVariantType(type, size))) return;
    // Owned arrays are sized by the caller's own tables, never by outside data.
    JLIB_ASSERT(JLIB::isSuccess(chkVariantLength(count)));
    unsigned char* memory = allocateZeroed(size, count);
    if (!memory) return;
    m_pMemory = memory;
    m_Type = type;
    m_Size = size;
    m_Length = count;
    m_Owned = true;
}

JVariantArray::JVariantArray(void* memory, int type, uint32_t size, uint32_t count)
    : m_Type(JVariant::kTypeInvalid)
{
    if (!memory || count == 0 || JLIB::isFailure(chkVariantType(type, size))) return;
    m_pMemory = static_cast<unsigned char*>(memory);
    m_Type = type;
    m_Size = size;
    m_Length = count;
}

JVariantArray::JVariantArray(const JVariantArray& other) : m_Type(JVariant::kTypeInvalid)
{
    (void)takeCopyOf(other); // a failure leaves the copy invalid, which callers test
}

JVariantArray& JVariantArray::operator=(const JVariantArray& other)
{
    if (this == &other) return *this;
    becomeInvalid();
    (void)takeCopyOf(other); // a failure leaves the target invalid, which callers test
    return *this;
}

JVariantArray::JVariantArray(JVariantArray&& other) noexcept
    : m_pMemory(other.m_pMemory),
      m_Type(other.m_Type),
      m_Size(other.m_Size),
      m_Length(other.m_Length),
      m_Owned(other.m_Owned)
{
    other.m_pMemory = nullptr;
    other.m_Owned = false;
}

JVariantArray& JVariantArray::operator=(JVariantArray&& other) noexcept
{
    if (this == &other) return *this;
    becomeInvalid();
    m_pMemory = other.m_pMemory;
    m_Type = other.m_Type;
    m_Size = other.m_Size;
    m_Length = other.m_Length;
    m_Owned = other.m_Owned;
    other.m_pMemory = nullptr;
    other.m_Owned = false;
    return *this;
}

JVariantArray::~JVariantArray() { becomeInvalid(); }

uint32_t JVariantArray::chkVariantType(int type, uint32_t size)
{
    bool fits = false;
    switch (type) {
    case JVariant::kTypeInt32:
    case JVariant::kTypeUInt32:
        fits = isIntegerSize(size);
        break;
    case JVariant::kTypeString:
        fits = size >= 1 && size <= kMaxStringSlot;
        break;
    case JVariant::kTypeFloat:
        fits = size == 4;
        break;
    case JVariant::kTypeBinary:
        fits = size >= 1 && size <= JVariant::kMaxBinaryLength;
        break;
    default:
        break;
    }
    return fits ? JVariant::kOk : JVariant::kRefused;
}

uint32_t JVariantArray::chkVariantLength(uint32_t count)
{
    return (count >= 1 && count <= kMaxOwnedLength) ? JVariant::kOk : JVariant::kRefused;
}

uint32_t JVariantArray::setValue(uint32_t index, const JVariant& value)
{
    if (!canAccess(index)) return JVariant::kRefused;
    unsigned char* slot = element(index);
    const int valueType = value.getType();
    switch (m_Type) {
    case JVariant::kTypeInt32:
        if (valueType != JVariant::kTypeInt32 && valueType != JVariant::kTypeUInt32) return JVariant::kRefused;
        storeInteger(slot, m_Size, static_cast<uint32_t>(value.toInt32()));
        return JVariant::kOk;
    case JVariant::kTypeUInt32:
        if (valueType == JVariant::kTypeInt32 && value.toInt32() < 0) return JVariant::kRefused;
        if (valueType != JVariant::kTypeInt32 && valueType != JVariant::kTypeUInt32) return JVariant::kRefused;
        storeInteger(slot, m_Size, value.toUInt32());
        return JVariant::kOk;
    case JVariant::kTypeFloat: {
        if (valueType != JVariant::kTypeFloat) return JVariant::kRefused;
        const float f = value.toFloat();
        std::memcpy(slot, &f, sizeof(f));
        return JVariant::kOk;
    }
    case JVariant::kTypeString: {
        if (valueType != JVariant::kTypeString) return JVariant::kRefused;
        const char* text = value.toString();
        const uint32_t length = text ? value.getStringLength() : 0; // terminator counted
        if (length >= m_Size) {
            std::memcpy(slot, text, m_Size); // a full slot holds no terminator
        } else {
            if (length > 0) std::memcpy(slot, text, length);
            std::memset(slot + length, 0, m_Size - length);
        }
        return JVariant::kOk;
    }
    case JVariant::kTypeBinary: {
        if (valueType != JVariant::kTypeBinary) return JVariant::kRefused;
        const unsigned char* bytes = value.toBinary();
        const uint32_t length = bytes ? value.getBinaryLength() : 0;
        std::memset(slot, 0, m_Size);
        if (length > 0) std::memcpy(slot, bytes, length < m_Size ? length : m_Size);
        return JVariant::kOk;
    }
    default:
        return JVariant::kRefused;
    }
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, signed char value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, short value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, int value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, unsigned char value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, unsigned short value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, unsigned int value)
{
    return setValue(index, JVariant(value));
}

uint32_t JVariantArray::setPrimitiveValue(uint32_t index, float value)
{
    return setValue(index, JVariant(value));
}


uint32_t JVariantArray::setString(uint32_t index, const char* text, uint32_t length)
{
    if (m_Type != JVariant::kTypeString || !canAccess(index) || length > m_Size) return JVariant::kRefused;
    if (!text && length > 0) return JVariant::kRefused;
    unsigned char* slot = element(index);
    uint32_t copied = 0;
    while (copied < length) {
        const char c = text[copied];
        slot[copied++] = static_cast<unsigned char>(c);
        if (c == '\0') break;
    }
    std::memset(slot + copied, 0, m_Size - copied);
    return 0;
}

uint32_t JVariantArray::getValue(JVariant* value, uint32_t index) const
{
    if (!value || !canAccess(index)) return JVariant::kRefused;
    const unsigned char* slot = element(index);
    switch (m_Type) {
    case JVariant::kTypeInt32:
        if (m_Size == 1) {
            int8_t v;
            std::memcpy(&v, slot, 1);
            *value = static_cast<signed char>(v);
        } else if (m_Size == 2) {
            int16_t v;
            std::memcpy(&v, slot, 2);
            *value = static_cast<short>(v);
        } else if (m_Size == 4) {
            int32_t v;
            std::memcpy(&v, slot, 4);
            *value = static_cast<int>(v);
        } else {
            return JVariant::kRefused;
        }
        return JVariant::kOk;
    case JVariant::kTypeUInt32:
        if (m_Size == 1) {
            *value = static_cast<unsigned char>(slot[0]);
        } else if (m_Size == 2) {
            uint16_t v;
            std::memcpy(&v, slot, 2);
            *value = static_cast<unsigned short>(v);
        } else if (m_Size == 4) {
            uint32_t v;
            std::memcpy(&v, slot, 4);
            *value = static_cast<unsigned int>(v);
        } else {
            return JVariant::kRefused;
        }
        return JVariant::kOk;
    case JVariant::kTypeFloat: {
        float f;
        std::memcpy(&f, slot, sizeof(f));
        *value = f;
        return JVariant::kOk;
    }
    case JVariant::kTypeString:
        // A full slot of 1024 characters reads as "ERROR:", as the value's own rule says.
        (void)value->setString(reinterpret_cast<const char*>(slot), m_Size);
        return JVariant::kOk;
    case JVariant::kTypeBinary:
        (void)value->setBinary(slot, m_Size); // a block the heap cannot hold leaves the value invalid
        return JVariant::kOk;
    default:
        return JVariant::kRefused;
    }
}

int JVariantArray::toInt32(uint32_t index, bool* ok) const
{
    JVariant v;
    if (JLIB::isFailure(getValue(&v, index))) {
        if (ok) *ok = false;
        return 0;
    }
    return v.toInt32(ok);
}

unsigned int JVariantArray::toUInt32(uint32_t index, bool* ok) const
{
    JVariant v;
    if (JLIB::isFailure(getValue(&v, index))) {
        if (ok) *ok = false;
        return 0;
    }
    return v.toUInt32(ok);
}

float JVariantArray::toFloat(uint32_t index, bool* ok) const
{
    JVariant v;
    if (JLIB::isFailure(getValue(&v, index))) {
        if (ok) *ok = false;
        return 0.0f;
    }
    return v.toFloat(ok);
}

void JVariantArray::becomeInvalid()
{
    if (m_Owned && m_pMemory) (void)JLIB::JDelete(m_pMemory); // only fails for a foreign block
    m_pMemory = nullptr;
    m_Type = JVariant::kTypeInvalid;
    m_Size = 0;
    m_Length = 0;
    m_Owned = false;
}

// Leaves this array invalid on any refusal; expects it invalid on entry.
bool JVariantArray::takeCopyOf(const JVariantArray& other)
{
    if (JLIB::isFailure(chkVariantType(other.m_Type, other.m_Size))) return false;
    if (JLIB::isFailure(chkVariantLength(other.m_Length))) {
        JLIB_LOG("[E] JVariantArray::JVariantArray - cannot copy %u elements (at most %u)\n",
                 static_cast<unsigned>(other.m_Length), static_cast<unsigned>(kMaxOwnedLength));
        return false;
    }
    if (!other.m_pMemory) return false; // a moved-from source has nothing to copy
    unsigned char* memory = allocateZeroed(other.m_Size, other.m_Length);
    if (!memory) return false;
    std::memcpy(memory, other.m_pMemory, size_t{other.m_Size} * other.m_Length);
    m_pMemory = memory;
    m_Type = other.m_Type;
    m_Size = other.m_Size;
    m_Length = other.m_Length;
    m_Owned = true;
    return true;
}

unsigned char* JVariantArray::element(uint32_t index) const
{
    // 64-bit offset: wrapping arrays may hold slots of up to 0xFFFFFFFB bytes.
    return m_pMemory + size_t{index} * m_Size;
}

// A moved-from array keeps its count but has no memory to touch.
bool JVariantArray::canAccess(uint32_t index) const { return m_pMemory && index < m_Length; }
