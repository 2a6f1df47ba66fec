#include "dravo/common/dravo_VariantType.h"

#include <cstring>
#include <new>

namespace DRAVO {

VariantType::VariantType(uint32_t memorySize)
{
    if (memorySize == 0) return;
    m_pBuffer = new (std::nothrow) uint8_t[memorySize];
    if (m_pBuffer) m_allocatedMemorySize = memorySize;
}

VariantType::~VariantType()
{
    delete[] m_pBuffer;
}

VariantType::VariantType(VariantType&& other) noexcept
{
    takeFrom(other);
}

VariantType& VariantType::operator=(VariantType&& other) noexcept
{
    if (&other == this) return *this;
    delete[] m_pBuffer;
    takeFrom(other);
    return *this;
}

void VariantType::takeFrom(VariantType& other)
{
    m_value = other.m_value;
    m_pBuffer = other.m_pBuffer;
    m_type = other.m_type;
    m_allocatedMemorySize = other.m_allocatedMemorySize;
    m_binaryLength = other.m_binaryLength;
    other.m_value = Value{};
    other.m_pBuffer = nullptr;
    other.m_type = kTypeInvalid;
    other.m_allocatedMemorySize = 0;
    other.m_binaryLength = 0;
}

uint32_t VariantType::invalid()
{
    m_type = kTypeInvalid;
    return kOk;
}

uint32_t VariantType::setUInt32(uint32_t value)
{
    m_value.u32 = value;
    m_type = kTypeUInt32;
    return kOk;
}

uint32_t VariantType::setUInt64(uint64_t value)
{
    m_value.u64 = value;
    m_type = kTypeUInt64;
    return kOk;
}

uint32_t VariantType::setInt32(int32_t value)
{
    m_value.s32 = value;
    m_type = kTypeInt32;
    return kOk;
}

uint32_t VariantType::setInt64(int64_t value)
{
    m_value.s64 = value;
    m_type = kTypeInt64;
    return kOk;
}

uint32_t VariantType::setFloat(float value)
{
    m_value.f32 = value;
    m_type = kTypeFloat;
    return kOk;
}

uint32_t VariantType::setDouble(double value)
{
    m_value.f64 = value;
    m_type = kTypeDouble;
    return kOk;
}

uint32_t VariantType::setString(const char* text)
{
    if (!text || !m_pBuffer) return kFailed;
    std::memset(m_pBuffer, 0, m_allocatedMemorySize);
    // Bounded scan: the text may be longer than the buffer and need not end soon.
    const size_t room = m_allocatedMemorySize - 1;
    const size_t length = strnlen(text, room + 1);
    const bool fits = length <= room;
    std::memcpy(m_pBuffer, text, fits ? length : room);
    m_value.buffer = m_pBuffer;
    m_binaryLength = 0;
    m_type = kTypeString;
    return fits ? kOk : kFailed;
}

uint32_t VariantType::setBinary(const uint8_t* bytes, uint32_t length)
{
    if (!bytes || length > m_allocatedMemorySize) return kFailed;
    if (length != 0) std::memcpy(m_pBuffer, bytes, length);
    m_value.buffer = m_pBuffer;
    m_binaryLength = length;
    m_type = kTypeBinary;
    return kOk;
}

uint32_t VariantType::toUInt32() const
{
    return m_type == kTypeUInt32 ? m_value.u32 : 0;
}

uint64_t VariantType::toUInt64() const
{
    return m_type == kTypeUInt64 ? m_value.u64 : 0;
}

int32_t VariantType::toInt32() const
{
    return m_type == kTypeInt32 ? m_value.s32 : 0;
}

int64_t VariantType::toInt64() const
{
    return m_type == kTypeInt64 ? m_value.s64 : 0;
}

float VariantType::toFloat() const
{
    return m_type == kTypeFloat ? m_value.f32 : 0.0f;
}

double VariantType::toDouble() const
{
    return m_type == kTypeDouble ? m_value.f64 : 0.0;
}

const char* VariantType::toString() const
{
    return m_type == kTypeString ? reinterpret_cast<const char*>(m_pBuffer) : nullptr;
}

const uint8_t* VariantType::toBinary() const
{
    return m_type == kTypeBinary ? m_pBuffer : nullptr;
}

uint32_t VariantType::getBinaryLength() const
{
    return m_type == kTypeBinary ? m_binaryLength : 0;
}

}  // namespace DRAVO
