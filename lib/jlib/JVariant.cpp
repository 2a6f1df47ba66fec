#include "jlib/JVariant.h"

#include "jlib/JHeap.h"
#include "jlib/jlib_memory.h"
#include "jlib/jlib_string.h"

namespace {

constexpr const char* kStringTag = "JVariant::m_Value.m_pString";
constexpr const char* kBinaryTag = "JVariant::m_Value.m_pBinary";
constexpr unsigned int kLengthWordSize = 4;
constexpr unsigned int kNumberSize = 4;

bool isInteger(int type) { return type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32; }

bool isNumber(int type) { return isInteger(type) || type == JVariant::kTypeFloat; }

void setFlag(bool* ok, bool value)
{
    if (ok) *ok = value;
}

}  // namespace

JVariant::JVariant() : m_Type(kTypeInvalid) {}

JVariant::JVariant(int value) : m_Type(kTypeInt32) { m_Value.m_Int32 = value; }

JVariant::JVariant(long value) : m_Type(kTypeInt32) { m_Value.m_Int32 = static_cast<int>(value); }

JVariant::JVariant(short value) : m_Type(kTypeInt32) { m_Value.m_Int32 = value; }

JVariant::JVariant(signed char value) : m_Type(kTypeInt32) { m_Value.m_Int32 = value; }

JVariant::JVariant(unsigned int value) : m_Type(kTypeUInt32) { m_Value.m_UInt32 = value; }

JVariant::JVariant(unsigned long value) : m_Type(kTypeUInt32)
{
    m_Value.m_UInt32 = static_cast<unsigned int>(value);
}

JVariant::JVariant(unsigned short value) : m_Type(kTypeUInt32) { m_Value.m_UInt32 = value; }

JVariant::JVariant(unsigned char value) : m_Type(kTypeUInt32) { m_Value.m_UInt32 = value; }

JVariant::JVariant(float value) : m_Type(kTypeFloat) { m_Value.m_Float = value; }

JVariant::JVariant(const char* text, unsigned int maxLength) : m_Type(kTypeInvalid)
{
    (void)setString(text, maxLength);  // a failure leaves the value invalid, which callers test
}

JVariant::JVariant(const unsigned char* bytes, unsigned int length) : m_Type(kTypeInvalid)
{
    (void)setBinary(bytes, length);  // a failure leaves the value invalid, which callers test
}

JVariant::JVariant(const JVariant& other) : m_Type(kTypeInvalid)
{
    switch (other.m_Type) {
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFloat:
        m_Value = other.m_Value;
        m_Type = other.m_Type;
        break;
    case kTypeString:
        (void)setString(other.m_Value.m_pString, kMaxStringLength + 1);  // failure: stays invalid
        break;
    case kTypeBinary:
        (void)setBinary(other.toBinary(), other.size());  // failure: stays invalid
        break;
    default:
        break;
    }
}

JVariant::JVariant(JVariant&& other) noexcept : m_Value(other.m_Value), m_Type(other.m_Type)
{
    if (m_Type == kTypeString || m_Type == kTypeBinary) other.m_Value.m_raw = 0;
}

JVariant::~JVariant()
{
    (void)invalid();  // always 0
}

JVariant& JVariant::operator=(const JVariant& other)
{
    if (this == &other) return *this;
    releaseBlock();
    switch (other.m_Type) {
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFloat:
        m_Value = other.m_Value;
        m_Type = other.m_Type;
        break;
    case kTypeString:
        (void)setString(other.toString(), other.getStringLength());  // failure: stays invalid
        break;
    case kTypeBinary:
        (void)setBinary(other.toBinary(), other.size());  // failure: stays invalid
        break;
    default:
        break;
    }
    return *this;
}

JVariant& JVariant::operator=(int value)
{
    (void)setInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(long value)
{
    (void)setInt32(static_cast<int>(value));  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(short value)
{
    (void)setInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(signed char value)
{
    (void)setInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(unsigned int value)
{
    (void)setUInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(unsigned long value)
{
    (void)setUInt32(static_cast<unsigned int>(value));  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(unsigned short value)
{
    (void)setUInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(unsigned char value)
{
    (void)setUInt32(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(float value)
{
    (void)setFloat(value);  // always succeeds
    return *this;
}

JVariant& JVariant::operator=(JVariant&& other) noexcept
{
    if (this == &other) {
        (void)invalid();  // always 0
        return *this;
    }
    releaseBlock();
    m_Value = other.m_Value;
    m_Type = other.m_Type;
    if (m_Type == kTypeString || m_Type == kTypeBinary) other.m_Value.m_raw = 0;
    return *this;
}

bool JVariant::operator==(const JVariant& other) const { return equal(other); }

bool JVariant::operator!=(const JVariant& other) const { return !equal(other); }

bool JVariant::operator<(const JVariant& other) const { return less(other); }

bool JVariant::operator<=(const JVariant& other) const { return less(other) || equal(other); }

bool JVariant::operator>(const JVariant& other) const { return !(less(other) || equal(other)); }

bool JVariant::operator>=(const JVariant& other) const { return !less(other); }

JVariant JVariant::operator+(const JVariant& other) const { return add(other, 1); }

JVariant JVariant::operator-(const JVariant& other) const { return add(other, -1); }

uint32_t JVariant::setInt32(int value)
{
    releaseBlock();
    m_Value.m_Int32 = value;
    m_Type = kTypeInt32;
    return kOk;
}

uint32_t JVariant::setUInt32(unsigned int value)
{
    releaseBlock();
    m_Value.m_UInt32 = value;
    m_Type = kTypeUInt32;
    return kOk;
}

uint32_t JVariant::setFloat(float value)
{
    releaseBlock();
    m_Value.m_Float = value;
    m_Type = kTypeFloat;
    return kOk;
}

uint32_t JVariant::setString(const char* text, unsigned int maxLength)
{
    uint32_t result = kOk;
    // Counted without reading past the maximum (a caller may hand an unterminated buffer of
    // exactly maxLength characters), and no further than it takes to see the text is too long.
    const unsigned int countLimit = maxLength < kMaxStringLength + 1 ? maxLength : kMaxStringLength + 1;
    uint32_t length = jlib_strlen(text, countLimit);
    if (length > kMaxStringLength) {
        text = JLIB_JVARIANT_ERROR_STRING;
        length = sizeof(JLIB_JVARIANT_ERROR_STRING) - 1;
        result = kRefused;
    }
    // The new block is filled before the old one goes, so the text may be this value's own.
    char* block = JLIB::JNew<char>(0, kStringTag, length + 1);
    if (block && length > 0) (void)jlib_memcpy(block, text, length);  // both non-null here
    releaseBlock();
    if (!block) return kNoHeap;
    m_Value.m_pString = block;
    m_Type = kTypeString;
    return result;
}

uint32_t JVariant::setBinary(const unsigned char* bytes, unsigned int length)
{
    if (!bytes || length == 0 || length > kMaxBinaryLength) {
        releaseBlock();
        return kRefused;
    }
    // The new block is filled before the old one goes, so the bytes may be this value's own.
    unsigned char* block = JLIB::JNew<unsigned char>(0, kBinaryTag, length + kLengthWordSize);
    if (block) {
        block[0] = static_cast<unsigned char>(length >> 24);
        block[1] = static_cast<unsigned char>(length >> 16);
        block[2] = static_cast<unsigned char>(length >> 8);
        block[3] = static_cast<unsigned char>(length);
        (void)jlib_memcpy(block + kLengthWordSize, bytes, length);  // both non-null here
    }
    releaseBlock();
    if (!block) return kNoHeap;
    m_Value.m_pBinary = block;
    m_Type = kTypeBinary;
    return kOk;
}

uint32_t JVariant::invalid()
{
    releaseBlock();
    return 0;
}

int JVariant::toInt32(bool* ok) const
{
    const bool applies = isInteger(m_Type);
    setFlag(ok, applies);
    return applies ? m_Value.m_Int32 : 0;
}

unsigned int JVariant::toUInt32(bool* ok) const
{
    const bool applies = isInteger(m_Type);
    setFlag(ok, applies);
    return applies ? m_Value.m_UInt32 : 0u;
}

float JVariant::toFloat(bool* ok) const
{
    setFlag(ok, isNumber(m_Type));
    switch (m_Type) {
    case kTypeInt32: return static_cast<float>(m_Value.m_Int32);
    case kTypeUInt32: return static_cast<float>(m_Value.m_UInt32);
    case kTypeFloat: return m_Value.m_Float;
    default: return 0.0f;
    }
}

double JVariant::toDouble(bool* ok) const
{
    setFlag(ok, isNumber(m_Type));
    switch (m_Type) {
    case kTypeInt32: return static_cast<double>(m_Value.m_Int32);
    case kTypeUInt32: return static_cast<double>(m_Value.m_UInt32);
    case kTypeFloat: return static_cast<double>(m_Value.m_Float);
    default: return 0.0;
    }
}

const char* JVariant::toString(bool* ok) const
{
    const bool applies = m_Type == kTypeString;
    setFlag(ok, applies);
    return applies ? m_Value.m_pString : nullptr;
}

unsigned int JVariant::getStringLength(bool* ok) const
{
    const bool applies = m_Type == kTypeString;
    setFlag(ok, applies);
    return applies ? size() : 0u;
}

const unsigned char* JVariant::toBinary(bool* ok) const
{
    const bool applies = m_Type == kTypeBinary && m_Value.m_pBinary != nullptr;
    setFlag(ok, applies);
    return applies ? m_Value.m_pBinary + kLengthWordSize : nullptr;
}

unsigned int JVariant::getBinaryLength(bool* ok) const
{
    const bool applies = m_Type == kTypeBinary;
    setFlag(ok, applies);
    return applies ? size() : 0u;
}

unsigned int JVariant::size() const
{
    switch (m_Type) {
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFloat:
        return kNumberSize;
    case kTypeString:
        return m_Value.m_pString ? jlib_strlen(m_Value.m_pString, kMaxStringLength) + 1 : 0u;
    case kTypeBinary:
        return storedBinaryLength();
    default:
        return 0;
    }
}

bool JVariant::equal(const JVariant& other) const
{
    bool ok = false;
    switch (m_Type) {
    case kTypeInt32: {
        const int value = other.toInt32(&ok);
        return ok && value == m_Value.m_Int32;
    }
    case kTypeUInt32: {
        const unsigned int value = other.toUInt32(&ok);
        return ok && value == m_Value.m_UInt32;
    }
    case kTypeFloat: {
        const float value = other.toFloat(&ok);
        return ok && value == m_Value.m_Float;
    }
    case kTypeString:
        return other.m_Type == kTypeString && getStringLength() == other.getStringLength() &&
               jlib_memncmp(m_Value.m_pString, other.m_Value.m_pString, getStringLength()) == JLIB_CMP_EQUAL;
    case kTypeBinary:
        return other.m_Type == kTypeBinary && size() == other.size() &&
               jlib_memncmp(toBinary(), other.toBinary(), size()) == JLIB_CMP_EQUAL;
    default:
        return false;
    }
}

bool JVariant::less(const JVariant& other) const
{
    bool ok = false;
    switch (m_Type) {
    case kTypeInt32: {
        const int value = other.toInt32(&ok);
        return ok && m_Value.m_Int32 < value;
    }
    case kTypeUInt32: {
        const unsigned int value = other.toUInt32(&ok);
        return ok && m_Value.m_UInt32 < value;
    }
    case kTypeFloat: {
        const float value = other.toFloat(&ok);
        return ok && m_Value.m_Float < value;
    }
    case kTypeString:
        return other.m_Type == kTypeString && getStringLength() < other.getStringLength();
    case kTypeBinary:
        return other.m_Type == kTypeBinary && size() < other.size();
    default:
        return false;
    }
}

JVariant JVariant::add(const JVariant& other, int sign) const
{
    switch (m_Type) {
    case kTypeInt32: {
        // Unsigned arithmetic wraps without the undefined behaviour of a signed overflow.
        const auto left = static_cast<uint32_t>(m_Value.m_Int32);
        const auto right = static_cast<uint32_t>(other.toInt32());
        return JVariant(static_cast<int>(sign > 0 ? left + right : left - right));
    }
    case kTypeUInt32: {
        const unsigned int right = other.toUInt32();
        return JVariant(sign > 0 ? m_Value.m_UInt32 + right : m_Value.m_UInt32 - right);
    }
    case kTypeFloat:
        return JVariant(m_Value.m_Float + other.toFloat() * static_cast<float>(sign));
    default:
        return JVariant();
    }
}

void JVariant::releaseBlock()
{
    if (m_Type == kTypeString && m_Value.m_pString) (void)JLIB::JDelete<char>(m_Value.m_pString);  // our own block
    if (m_Type == kTypeBinary && m_Value.m_pBinary) (void)JLIB::JDelete<unsigned char>(m_Value.m_pBinary);  // our own block
    m_Value.m_raw = 0;
    m_Type = kTypeInvalid;
}

uint32_t JVariant::storedBinaryLength() const
{
    const unsigned char* block = m_Value.m_pBinary;
    if (!block) return 0;
    const uint32_t length = (uint32_t{block[0]} << 24) | (uint32_t{block[1]} << 16) |
                            (uint32_t{block[2]} << 8) | uint32_t{block[3]};
    return length > kMaxBinaryLength ? 0u : length;
}
