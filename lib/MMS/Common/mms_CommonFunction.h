#pragma once
// Static helpers of the parameter tree: layout offsets, dirty and import bitmaps, byte order and
// index vectors. Bitmaps number bit n in byte n / 8 under bitShiftTable[n % 8] (most significant
// bit first). No state: any task; callers lock the memory they pass.
#include <cstdint>

#include "mms_Types.h"

namespace MMS {

// Mask of bit n % 8 within its byte.
inline constexpr uint8_t bitShiftTable[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

class CommonFunction {
public:
    CommonFunction() = delete;

    // offset + index x unit, in 32-bit arithmetic like the layout counters.
    static uint32_t offsetCalculation(const T_ADDR_INFO& info, uint32_t index);
    // a + b + index x stride.
    static uint32_t offsetCalculation(uint32_t a, uint32_t b, uint32_t stride, uint32_t index);

    // Sets (set != 0) or clears one bit. Setting always answers 0x100; clearing answers 0x100 only
    // when the bit was set. A null bitmap answers 0.
    static uint32_t dirtyFlagController(void* bitmap, uint32_t bit, uint8_t set);
    // Sets or clears bits first .. first + count - 1; 0x100 when any bit changed, else 0 (also for a
    // null bitmap or count 0).
    static uint32_t dirtyFlagRengeController(void* bitmap, uint32_t firstBit, uint32_t count, uint8_t set);
    // Copies count bits between any two bit positions; the destination bits outside the range keep
    // their values. A null source clears the range and answers that clearing's result; a null
    // destination answers 0x80000002. The two ranges must not overlap.
    [[nodiscard]] static uint32_t dirtyFlagRangeCopy(void* destination, uint32_t destinationFirstBit,
                                                     const void* source, uint32_t sourceFirstBit, uint32_t count);
    // A null bitmap reads as clear.
    static bool isDirty(const void* bitmap, uint32_t bit);
    // Whether any of count bits from firstBit is set; a null bitmap or an empty range reads as clear.
    static bool isAnyDirty(const void* bitmap, uint32_t firstBit, uint32_t count);

    static bool isBigEndian();
    // Reverses a 2-, 4- or 8-byte value in place; other sizes (and null) are left alone. Always 0.
    static uint32_t swapEndian(void* value, uint16_t size);

    // Steps vector like an odometer within [lower, upper] per level, the last level first: 0 after
    // a step, 8 when every level wrapped (the vector is back at its lower bounds). A digit outside
    // its bounds gives 0x80000006, an upper bound below its lower bound or a null vector 0x80000002.
    // Count 0 gives 0.
    [[nodiscard]] static uint32_t incrementVector(uint32_t* vector, const uint32_t* lowerBounds,
                                                  const uint32_t* upperBounds, uint32_t count);
    // One digit: 0 after a step, 0x80000008 at its upper bound (a carry; the digit is unchanged),
    // 0x80000006 outside its bounds, 0x80000002 for upper below lower or a null digit.
    [[nodiscard]] static uint32_t incrementDigit(uint32_t* digit, uint32_t lower, uint32_t upper);
};

}  // namespace MMS
