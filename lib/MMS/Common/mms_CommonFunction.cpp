#include "mms_CommonFunction.h"

#include <algorithm>
#include <cstring>

#include "mms_Result.h"

namespace MMS {

namespace {

// Positive: every level wrapped, the walk is complete.
constexpr uint32_t kVectorEnd = 8;

// Applies mask to one byte; true when a bit changed.
bool applyMask(uint8_t& byte, uint8_t mask, bool set)
{
    const uint8_t before = byte;
    byte = set ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
    return byte != before;
}

// count (1..8) bits of source starting at bit, right-aligned. Reads the second byte only when the
// bits reach into it, so the last byte of a bitmap is never overrun.
uint8_t readBits(const uint8_t* source, uint64_t bit, uint32_t count)
{
    const uint64_t byte = bit / 8;
    const uint32_t shift = static_cast<uint32_t>(bit % 8);
    uint32_t window = static_cast<uint32_t>(source[byte]) << 8;
    if (shift + count > 8) window |= source[byte + 1];
    return static_cast<uint8_t>((window >> (16 - shift - count)) & ((1u << count) - 1));
}

}  // namespace

uint32_t CommonFunction::offsetCalculation(const T_ADDR_INFO& info, uint32_t index)
{
    return info.offset + index * info.unit;
}

uint32_t CommonFunction::offsetCalculation(uint32_t a, uint32_t b, uint32_t stride, uint32_t index)
{
    return a + b + index * stride;
}

uint32_t CommonFunction::dirtyFlagController(void* bitmap, uint32_t bit, uint8_t set)
{
    if (bitmap == nullptr) return kMmsOk;
    uint8_t& byte = static_cast<uint8_t*>(bitmap)[bit / 8];
    const uint8_t mask = bitShiftTable[bit % 8];
    if (set != 0) {
        byte = static_cast<uint8_t>(byte | mask);
        return kMmsChanged;
    }
    const bool wasSet = (byte & mask) != 0;
    byte = static_cast<uint8_t>(byte & ~mask);
    return wasSet ? kMmsChanged : kMmsOk;
}

uint32_t CommonFunction::dirtyFlagRengeController(void* bitmap, uint32_t firstBit, uint32_t count, uint8_t set)
{
    if (bitmap == nullptr || count == 0) return kMmsOk;
    uint8_t* bytes = static_cast<uint8_t*>(bitmap);
    const bool setting = set != 0;
    // 64-bit so that a range ending at the last 32-bit bit number does not wrap.
    const uint64_t end = static_cast<uint64_t>(firstBit) + count;
    const uint64_t firstByte = firstBit / 8;
    const uint64_t lastByte = (end - 1) / 8;
    uint8_t headMask = static_cast<uint8_t>(0xFFu >> (firstBit % 8));
    const uint32_t tailBits = static_cast<uint32_t>(end % 8);
    const uint8_t tailMask = tailBits == 0 ? 0xFF : static_cast<uint8_t>(0xFFu << (8 - tailBits));
    bool changed = false;
    if (firstByte == lastByte) {
        headMask &= tailMask;
        changed = applyMask(bytes[firstByte], headMask, setting);
        return changed ? kMmsChanged : kMmsOk;
    }
    changed |= applyMask(bytes[firstByte], headMask, setting);
    for (uint64_t i = firstByte + 1; i < lastByte; ++i) changed |= applyMask(bytes[i], 0xFF, setting);
    changed |= applyMask(bytes[lastByte], tailMask, setting);
    return changed ? kMmsChanged : kMmsOk;
}

uint32_t CommonFunction::dirtyFlagRangeCopy(void* destination, uint32_t destinationFirstBit, const void* source,
                                            uint32_t sourceFirstBit, uint32_t count)
{
    if (destination == nullptr) return kMmsBadArgument;
    if (source == nullptr) return dirtyFlagRengeController(destination, destinationFirstBit, count, 0);
    uint8_t* target = static_cast<uint8_t*>(destination);
    const uint8_t* from = static_cast<const uint8_t*>(source);
    uint64_t to = destinationFirstBit;
    uint64_t at = sourceFirstBit;
    uint64_t remaining = count;
    // One destination byte at a time: take as many bits as are left in it from the source.
    while (remaining != 0) {
        const uint32_t offset = static_cast<uint32_t>(to % 8);
        const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(8 - offset, remaining));
        const uint8_t bits = readBits(from, at, take);
        const uint32_t shift = 8 - offset - take;
        const uint8_t mask = static_cast<uint8_t>(((1u << take) - 1) << shift);
        uint8_t& byte = target[to / 8];
        byte = static_cast<uint8_t>((byte & ~mask) | (bits << shift));
        to += take;
        at += take;
        remaining -= take;
    }
    return kMmsOk;
}

bool CommonFunction::isDirty(const void* bitmap, uint32_t bit)
{
    if (bitmap == nullptr) return false;
    return (static_cast<const uint8_t*>(bitmap)[bit / 8] & bitShiftTable[bit % 8]) != 0;
}

bool CommonFunction::isAnyDirty(const void* bitmap, uint32_t firstBit, uint32_t count)
{
    if (bitmap == nullptr || count == 0) return false;
    const auto* bytes = static_cast<const uint8_t*>(bitmap);
    const uint64_t end = static_cast<uint64_t>(firstBit) + count;
    const uint64_t firstByte = firstBit / 8;
    const uint64_t lastByte = (end - 1) / 8;
    const auto headMask = static_cast<uint8_t>(0xFFu >> (firstBit % 8));
    const auto tailBits = static_cast<uint32_t>(end % 8);
    const uint8_t tailMask = tailBits == 0 ? 0xFF : static_cast<uint8_t>(0xFFu << (8 - tailBits));
    if (firstByte == lastByte) return (bytes[firstByte] & headMask & tailMask) != 0;
    if ((bytes[firstByte] & headMask) != 0 || (bytes[lastByte] & tailMask) != 0) return true;
    uint64_t i = firstByte + 1;
    // Whole words between the ends: a large element is scanned without a call per bit.
    for (; i + 8 <= lastByte; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + i, sizeof word);
        if (word != 0) return true;
    }
    for (; i < lastByte; ++i) {
        if (bytes[i] != 0) return true;
    }
    return false;
}

bool CommonFunction::isBigEndian()
{
    const uint32_t one = 1;
    uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    return first == 0;
}

uint32_t CommonFunction::swapEndian(void* value, uint16_t size)
{
    if (value == nullptr || (size != 2 && size != 4 && size != 8)) return kMmsOk;
    uint8_t* bytes = static_cast<uint8_t*>(value);
    std::reverse(bytes, bytes + size);
    return kMmsOk;
}

uint32_t CommonFunction::incrementDigit(uint32_t* digit, uint32_t lower, uint32_t upper)
{
    if (digit == nullptr || upper < lower) return kMmsBadArgument;
    if (*digit < lower || *digit > upper) return kMmsNoSuchItem;
    if (*digit == upper) return kMmsLimit;
    ++*digit;
    return kMmsOk;
}

uint32_t CommonFunction::incrementVector(uint32_t* vector, const uint32_t* lowerBounds, const uint32_t* upperBounds,
                                         uint32_t count)
{
    if (vector == nullptr || lowerBounds == nullptr || upperBounds == nullptr) return kMmsBadArgument;
    for (uint32_t level = count; level-- > 0;) {
        const uint32_t result = incrementDigit(&vector[level], lowerBounds[level], upperBounds[level]);
        if (result != kMmsLimit) return result;
        vector[level] = lowerBounds[level];
    }
    return count == 0 ? kMmsOk : kVectorEnd;
}

}  // namespace MMS
