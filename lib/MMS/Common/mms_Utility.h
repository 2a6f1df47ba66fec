#pragma once
// Public face of the tree's bitmap helpers, and the conversions between parameter type codes and
// JVariant arrays. No state: any task.
#include <cstdint>

namespace MMS {

class Utility {
public:
    Utility() = delete;

    // 1 when the bit is set, else 0 (a null bitmap reads as clear).
    static uint32_t isDirty(const void* bitmap, uint32_t bit);
    static uint32_t dirtyFlagController(void* bitmap, uint32_t bit, uint8_t set);
    static uint32_t dirtyFlagRangeController(void* bitmap, uint32_t firstBit, uint32_t count, uint8_t set);

    // JVariant type and element size of a parameter type code: a bit is UInt32 of size 1; else the
    // kind byte gives Int32, UInt32, String (size = stringSize) or Float, any other kind invalid.
    // Either output may be null. Always 0.
    static uint32_t toJVariantTypeInfo(int* variantType, uint32_t* elementSize, uint32_t typeCode,
                                       uint32_t stringSize);

    // Elements of a range: the product over the levels of last - first + 1 (a null first vector
    // means all 0). 0 for a null last vector, count 0, a last index below its first, or a product
    // that does not fit 32 bits.
    static uint32_t getJVariantArrayLength(const uint32_t* firstIndexes, const uint32_t* lastIndexes, uint32_t count);
};

}  // namespace MMS
