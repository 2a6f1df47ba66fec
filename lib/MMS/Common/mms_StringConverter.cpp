#include "mms_StringConverter.h"

#include <cstring>

#include "mms_Result.h"

namespace MMS {

namespace {

// Node names live in 24-byte fields: 23 characters and the terminator.
constexpr uint32_t kNameField = 24;

uint32_t boundedLength(const char* text, uint32_t maximum)
{
    if (text == nullptr) return 0;
    const void* end = std::memchr(text, '\0', maximum);
    return end == nullptr ? maximum : static_cast<uint32_t>(static_cast<const char*>(end) - text);
}

}  // namespace

uint32_t StringConverter::nodeNameCopy(char* destination, const char* name)
{
    if (destination == nullptr || name == nullptr) return kMmsBadArgument;
    const uint32_t length = boundedLength(name, kNameField);
    if (length == 0 || length >= kNameField) return kMmsBadArgument;
    std::memcpy(destination, name, length);
    destination[length] = '\0';
    return kMmsOk;
}

uint32_t StringConverter::getRootName(const char** rootName, uint32_t* rootLength, const char** rest,
                                      uint32_t* restLength, const char* address, uint32_t addressSize)
{
    if (rootName == nullptr || rootLength == nullptr || rest == nullptr || restLength == nullptr) {
        return kMmsBadArgument;
    }
    if (address == nullptr && addressSize != 0) return kMmsNoSuchItem;
    *rootName = nullptr;
    *rootLength = 0;
    *rest = nullptr;
    *restLength = 0;
    const uint32_t textLength = boundedLength(address, addressSize);
    if (textLength == 0) return kMmsOk;
    // A terminator inside the size belongs to the address as callers count it.
    const uint32_t fullLength = textLength < addressSize ? textLength + 1 : textLength;
    if (address[0] != '/') {
        *rest = address;
        *restLength = fullLength;
        return kMmsOk;
    }
    uint32_t position = 0;
    while (position < textLength && address[position] == '/') ++position;
    if (position == textLength) return kMmsBadArgument;
    const uint32_t nameStart = position;
    while (position < textLength && address[position] != '/') ++position;
    *rootName = address + nameStart;
    *rootLength = position - nameStart;
    while (position < textLength && address[position] == '/') ++position;
    if (position < textLength) {
        *rest = address + position;
        *restLength = fullLength - position;
    }
    return kMmsOk;
}

uint32_t StringConverter::separatorCounter(uint32_t* count, uint32_t length, const char* text)
{
    if (count == nullptr || text == nullptr) return kMmsBadArgument;
    uint32_t position = 0;
    while (position < length && text[position] == '/') ++position;
    *count = (position == length || text[position] == '\0') ? length : position;
    return kMmsOk;
}

uint32_t StringConverter::getAddressFirstNameSize(uint32_t* nameLength, uint32_t* nextOffset, const char* text,
                                                  uint32_t length)
{
    if (nameLength == nullptr || nextOffset == nullptr || text == nullptr || length == 0) return kMmsBadArgument;
    const uint32_t textLength = boundedLength(text, length);
    const void* slash = std::memchr(text, '/', textLength);
    if (slash == nullptr) {
        *nameLength = textLength;
        *nextOffset = length;
        return kMmsOk;
    }
    const uint32_t at = static_cast<uint32_t>(static_cast<const char*>(slash) - text);
    uint32_t next = at + 1;
    while (next < textLength && text[next] == '/') ++next;
    *nameLength = at;
    *nextOffset = next;
    return kMmsOk;
}

uint32_t StringConverter::appendStringAddress(char* buffer, uint32_t bufferSize, const char* name,
                                              uint8_t leadingSeparator)
{
    if (buffer == nullptr || bufferSize == 0 || name == nullptr) return kMmsBadArgument;
    const uint32_t used = boundedLength(buffer, bufferSize);
    const uint32_t nameLength = boundedLength(name, kNameField);
    if (static_cast<uint64_t>(used) + nameLength + 1 > bufferSize) return kMmsBadArgument;
    uint32_t position = used;
    if (used != 0 || leadingSeparator != 0) buffer[position++] = '/';
    std::memcpy(buffer + position, name, nameLength);
    return kMmsOk;
}

uint32_t StringConverter::getAddressSize(uint32_t* runningSize, const char* name, uint8_t leadingSeparator)
{
    if (runningSize == nullptr || name == nullptr) return kMmsBadArgument;
    const uint32_t separator = (*runningSize != 0 || leadingSeparator != 0) ? 1 : 0;
    *runningSize += separator + boundedLength(name, kNameField);
    return kMmsOk;
}

}  // namespace MMS
