#pragma once
// Byte helpers of the file formats: integers in a chosen byte order, fixed text and byte fields,
// XOR scrambling and 4-byte padding. Stateless; any task may call.
#include <cstdint>

namespace FILECACHE {

class BinaryAccessor {
public:
    // width is 1, 2 or 4; any other width is a broken invariant of the caller.
    static uint32_t getUInt(const void* bytes, uint32_t width, bool bigEndian);
    static int32_t getInt(const void* bytes, uint32_t width, bool bigEndian);
    static uint32_t setUInt(void* buffer, uint32_t width, uint32_t value, bool bigEndian);
    static uint32_t setInt(void* buffer, uint32_t width, int32_t value, bool bigEndian);

    static uint32_t getString(char* destination, uint32_t destinationSize, const void* source, uint32_t sourceLength);
    static uint32_t getBinary(void* destination, uint32_t destinationSize, const void* source, uint32_t sourceLength);
    static uint32_t setString(void* field, uint32_t fieldSize, const char* text);
    static uint32_t setBinary(void* field, uint32_t fieldSize, const void* bytes, uint32_t length);
    static bool isSameString(const void* field, uint32_t fieldSize, const char* text);
    static bool isSameBinary(const void* bytes, uint32_t length, const void* other, uint32_t otherLength);

    static uint32_t fillData(void* buffer, uint32_t length, uint8_t value);
    static uint32_t scrambleData(void* buffer, uint32_t length, uint8_t key);
    static uint32_t unscrambleData(void* buffer, uint32_t length, uint8_t key) { return scrambleData(buffer, length, key); }

    static constexpr uint32_t getPaddingSize(uint32_t n) { return (4 - n % 4) % 4; }
    static constexpr uint64_t getAlignedSize(uint64_t n) { return n + (4 - n % 4) % 4; }
};

}  // namespace FILECACHE
