#include "MMS/Common/mms_Utility.h"

#include <gtest/gtest.h>

#include <string>

#include "jlib/JVariant.h"

using MMS::Utility;

TEST(UtilityTest, TypeCodesMapToVariantTypesAndSizes)
{
    struct Case { uint32_t code; uint32_t stringSize; int type; uint32_t size; };
    const Case cases[] = {
        {0x001, 0, JVariant::kTypeInt32, 1},   {0x002, 0, JVariant::kTypeInt32, 2},
        {0x004, 0, JVariant::kTypeInt32, 4},   {0x101, 0, JVariant::kTypeUInt32, 1},
        {0x102, 0, JVariant::kTypeUInt32, 2},  {0x104, 0, JVariant::kTypeUInt32, 4},
        {0x100, 0, JVariant::kTypeUInt32, 1},  // a bit reads as UInt32 of one byte
        {0x201, 32, JVariant::kTypeString, 32}, {0x201, 0, JVariant::kTypeString, 0},
        {0x304, 9, JVariant::kTypeFloat, 4},   {0x404, 0, JVariant::kTypeInvalid, 4},
        {0xFF02, 0, JVariant::kTypeInvalid, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.code));
        int type = -1;
        uint32_t size = 99;
        EXPECT_EQ(0u, Utility::toJVariantTypeInfo(&type, &size, c.code, c.stringSize));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.size, size);
    }
    int type = -1;
    uint32_t size = 99;
    EXPECT_EQ(0u, Utility::toJVariantTypeInfo(&type, nullptr, 0x304, 0));
    EXPECT_EQ(JVariant::kTypeFloat, type);
    EXPECT_EQ(0u, Utility::toJVariantTypeInfo(nullptr, &size, 0x201, 12));
    EXPECT_EQ(12u, size);
}

TEST(UtilityTest, ArrayLengthIsTheProductOfTheRanges)
{
    const uint32_t first[3] = {1, 0, 2};
    const uint32_t last[3] = {2, 4, 2};
    EXPECT_EQ(2u * 5u * 1u, Utility::getJVariantArrayLength(first, last, 3));
    EXPECT_EQ(3u * 5u * 3u, Utility::getJVariantArrayLength(nullptr, last, 3));  // null first: all 0
    EXPECT_EQ(3u, Utility::getJVariantArrayLength(nullptr, last, 1));
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(first, nullptr, 3));
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(first, last, 0));
    const uint32_t reversed[2] = {3, 1};
    const uint32_t bounds[2] = {2, 5};
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(reversed, bounds, 2));  // 3..2 is empty
    const uint32_t huge[2] = {0xFFFFFFFFu, 1};
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(nullptr, huge, 1));   // 2^32 elements do not fit
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(nullptr, huge, 2));
    const uint32_t big[2] = {0xFFFF, 0xFFFF};
    EXPECT_EQ(0u, Utility::getJVariantArrayLength(nullptr, big, 2));    // 65536 x 65536 wraps to 0
    const uint32_t fits[2] = {0xFFFE, 0xFFFF};
    EXPECT_EQ(0xFFFFu * 0x10000u, Utility::getJVariantArrayLength(nullptr, fits, 2));
}

TEST(UtilityTest, BitmapFacesForwardToTheCommonHelpers)
{
    uint8_t bitmap[2] = {0, 0};
    EXPECT_EQ(0x100u, Utility::dirtyFlagController(bitmap, 2, 1));
    EXPECT_EQ(1u, Utility::isDirty(bitmap, 2));
    EXPECT_EQ(0u, Utility::isDirty(bitmap, 3));
    EXPECT_EQ(0u, Utility::isDirty(nullptr, 2));
    EXPECT_EQ(0x100u, Utility::dirtyFlagRangeController(bitmap, 6, 4, 1));
    EXPECT_EQ(0x23, bitmap[0]);
    EXPECT_EQ(0xC0, bitmap[1]);
    EXPECT_EQ(0u, Utility::dirtyFlagRangeController(bitmap, 6, 4, 1));
}
