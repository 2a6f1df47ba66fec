#include "comctrl/Core/comctrl_Utility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using ComControl::Utility;

TEST(UtilityTest, ReadsBigEndianOfEveryWidthAndRefusesBadWidths)
{
    const uint8_t bytes[] = {0xFF, 0xFE, 0x01, 0x80};
    struct Case { uint32_t width; uint32_t unsignedValue; int32_t signedValue; };
    const Case cases[] = {
        {1, 0xFF, -1},
        {2, 0xFFFE, -2},
        {3, 0xFFFE01, static_cast<int32_t>(0xFFFFFE01)},
        {4, 0xFFFE0180, static_cast<int32_t>(0xFFFE0180)},
        {0, 0, 0},
        {5, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(c.unsignedValue, Utility::toUint(bytes, c.width));
        EXPECT_EQ(c.signedValue, Utility::toInt(bytes, c.width));
    }
    const uint8_t positive[] = {0x7F, 0xFE};
    EXPECT_EQ(0x7FFE, Utility::toInt(positive, 2));
    EXPECT_EQ(0u, Utility::toUint(nullptr, 2));
    EXPECT_EQ(0, Utility::toInt(nullptr, 2));
    EXPECT_EQ(2147483648.0f, Utility::toFloat(nullptr));
}

TEST(UtilityTest, WritesLowBytesBigEndianAndRefusesBadArguments)
{
    uint8_t out[5];
    std::memset(out, 0xAA, sizeof(out));
    EXPECT_EQ(0u, Utility::fromUint(out, 3, 0x11223344));
    EXPECT_EQ(0x22, out[0]);
    EXPECT_EQ(0x33, out[1]);
    EXPECT_EQ(0x44, out[2]);
    EXPECT_EQ(0xAA, out[3]);
    EXPECT_EQ(0u, Utility::fromInt(out, 2, -2));
    EXPECT_EQ(-2, Utility::toInt(out, 2));
    EXPECT_EQ(0x80000000u, Utility::fromUint(out, 0, 1));
    EXPECT_EQ(0x80000000u, Utility::fromInt(out, 5, 1));
    EXPECT_EQ(0x80000000u, Utility::fromUint(nullptr, 4, 1));
    EXPECT_EQ(0x80000000u, Utility::fromFloat(nullptr, 1.0f));

    EXPECT_EQ(0u, Utility::fromFloat(out, -1.5f));
    const uint8_t expected[] = {0xBF, 0xC0, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(expected, out, 4));
    EXPECT_EQ(-1.5f, Utility::toFloat(out));
}
