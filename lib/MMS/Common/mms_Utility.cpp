#include "mms_Utility.h"

#include "jlib/JVariant.h"
#include "mms_CommonFunction.h"

namespace MMS {

namespace {

constexpr uint32_t kBitType = 0x100;

}  // namespace

uint32_t Utility::isDirty(const void* bitmap, uint32_t bit)
{
    return CommonFunction::isDirty(bitmap, bit) ? 1 : 0;
}

uint32_t Utility::dirtyFlagController(void* bitmap, uint32_t bit, uint8_t set)
{
    return CommonFunction::dirtyFlagController(bitmap, bit, set);
}

uint32_t Utility::dirtyFlagRangeController(void* bitmap, uint32_t firstBit, uint32_t count, uint8_t set)
{
    return CommonFunction::dirtyFlagRengeController(bitmap, firstBit, count, set);
}

uint32_t Utility::toJVariantTypeInfo(int* variantType, uint32_t* elementSize, uint32_t typeCode, uint32_t stringSize)
{
    int type = JVariant::kTypeInvalid;
    uint32_t size = typeCode & 0xFF;
    if (typeCode == kBitType) {
        type = JVariant::kTypeUInt32;
        size = 1;
    } else {
        switch ((typeCode >> 8) & 0xFF) {
        case 0: type = JVariant::kTypeInt32; break;
        case 1: type = JVariant::kTypeUInt32; break;
        case 2:
            type = JVariant::kTypeString;
            size = stringSize;
            break;
        case 3: type = JVariant::kTypeFloat; break;
        default: break;
        }
    }
    if (variantType != nullptr) *variantType = type;
    if (elementSize != nullptr) *elementSize = size;
    return 0;
}

uint32_t Utility::getJVariantArrayLength(const uint32_t* firstIndexes, const uint32_t* lastIndexes, uint32_t count)
{
    if (lastIndexes == nullptr || count == 0) return 0;
    uint64_t length = 1;
    for (uint32_t level = 0; level < count; ++level) {
        const uint32_t first = firstIndexes == nullptr ? 0 : firstIndexes[level];
        if (lastIndexes[level] < first) return 0;
        length *= static_cast<uint64_t>(lastIndexes[level]) - first + 1;
        // Such a range cannot be held in one array; refusing beats a wrapped count.
        if (length > 0xFFFFFFFFu) return 0;
    }
    return static_cast<uint32_t>(length);
}

}  // namespace MMS
