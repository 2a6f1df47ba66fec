#include "fcache_BinaryAccessor.h"

#include <cstring>

#include "jlib/jlib_cfg.h"

namespace FILECACHE {

namespace {

constexpr uint32_t kFail = 0x80000000u;

void checkWidth(uint32_t width) { JLIB_ASSERT(width == 1 || width == 2 || width == 4); }

}  // namespace

uint32_t BinaryAccessor::getUInt(const void* bytes, uint32_t width, bool bigEndian)
{
    checkWidth(width);
    if (!bytes) return 0;
    const auto* p = static_cast<const uint8_t*>(bytes);
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) {
        const uint32_t b = p[bigEndian ? i : width - 1 - i];
        value = (value << 8) | b;
    }
    return value;
}

int32_t BinaryAccessor::getInt(const void* bytes, uint32_t width, bool bigEndian)
{
    const uint32_t value = getUInt(bytes, width, bigEndian);
    if (width == 2) return static_cast<int16_t>(value);
    if (width == 1) return static_cast<int8_t>(value);
    return static_cast<int32_t>(value);
}

uint32_t BinaryAccessor::setUInt(void* buffer, uint32_t width, uint32_t value, bool bigEndian)
{
    checkWidth(width);
    if (!buffer) return kFail;
    auto* p = static_cast<uint8_t*>(buffer);
    for (uint32_t i = 0; i < width; ++i) {
        const uint8_t b = static_cast<uint8_t>(value >> (8 * i));
        p[bigEndian ? width - 1 - i : i] = b;
    }
    return 0;
}

uint32_t BinaryAccessor::setInt(void* buffer, uint32_t width, int32_t value, bool bigEndian)
{
    return setUInt(buffer, width, static_cast<uint32_t>(value), bigEndian);
}

uint32_t BinaryAccessor::getString(char* destination, uint32_t destinationSize, const void* source,
                                   uint32_t sourceLength)
{
    if (!destination || !source || destinationSize == 0 || sourceLength == 0) return kFail;
    const uint32_t n = sourceLength < destinationSize - 1 ? sourceLength : destinationSize - 1;
    std::memcpy(destination, source, n);
    destination[n] = '\0';
    return 0;
}

uint32_t BinaryAccessor::getBinary(void* destination, uint32_t destinationSize, const void* source,
                                   uint32_t sourceLength)
{
    if (!destination || !source || destinationSize == 0 || sourceLength == 0) return kFail;
    if (sourceLength > destinationSize) {
        std::memcpy(destination, source, destinationSize);
        return kFail;
    }
    std::memcpy(destination, source, sourceLength);
    std::memset(static_cast<uint8_t*>(destination) + sourceLength, 0, destinationSize - sourceLength);
    return 0;
}

uint32_t BinaryAccessor::setString(void* field, uint32_t fieldSize, const char* text)
{
    if (!field || fieldSize == 0) return kFail;
    auto* p = static_cast<char*>(field);
    uint32_t i = 0;
    if (text) {
        for (; i < fieldSize && text[i]; ++i) p[i] = text[i];
    }
    std::memset(p + i, 0, fieldSize - i);
    return 0;
}

uint32_t BinaryAccessor::setBinary(void* field, uint32_t fieldSize, const void* bytes, uint32_t length)
{
    if (!field || !bytes || fieldSize == 0 || length == 0 || length > fieldSize) return kFail;
    std::memcpy(field, bytes, length);
    std::memset(static_cast<uint8_t*>(field) + length, 0, fieldSize - length);
    return 0;
}

bool BinaryAccessor::isSameString(const void* field, uint32_t fieldSize, const char* text)
{
    if (!field || !text || fieldSize == 0) return false;
    const auto* p = static_cast<const char*>(field);
    uint32_t i = 0;
    for (; i < fieldSize && text[i]; ++i) {
        if (p[i] != text[i]) return false;
    }
    for (; i < fieldSize; ++i) {
        if (p[i] != 0) return false;
    }
    return true;
}

bool BinaryAccessor::isSameBinary(const void* bytes, uint32_t length, const void* other, uint32_t otherLength)
{
    if (!bytes || !other || length == 0 || length != otherLength) return false;
    return std::memcmp(bytes, other, length) == 0;
}

uint32_t BinaryAccessor::fillData(void* buffer, uint32_t length, uint8_t value)
{
    if (!buffer || length == 0) return kFail;
    std::memset(buffer, value, length);
    return 0;
}

uint32_t BinaryAccessor::scrambleData(void* buffer, uint32_t length, uint8_t key)
{
    if (!buffer || length == 0) return kFail;
    if (key == 0) return 0;
    auto* p = static_cast<uint8_t*>(buffer);
    for (uint32_t i = 0; i < length; ++i) p[i] ^= key;
    return 0;
}

}  // namespace FILECACHE
