#include "common/Lpc/LpcValueHelper.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(LpcValueHelperTest, ScaledNumbersTruncateTowardZeroAndHoldAtTheEnds)
{
    struct Case {
        float f;
        uint32_t scale;
        int32_t expected;
    };
    const Case cases[] = {
        {1.999f, 1000, 1999}, {-0.5f, 1, 0}, {-1.75f, 2, -3}, {2.5f, 0, 0}, {3.0e9f, 1, INT32_MAX}, {-3.0e9f, 1, INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.f) + " x " + std::to_string(c.scale));
        EXPECT_EQ(c.expected, LPC::toInt(c.f, c.scale));
    }
    EXPECT_FLOAT_EQ(-1.25f, LPC::toFloat(-125, 100));
}

TEST(LpcValueHelperTest, ZeroPaddedDigitsKeepTheLowestDigitsOfExactlyTheWidth)
{
    struct Case {
        uint32_t n;
        uint32_t width;
        const char* text;
    };
    const Case cases[] = {{7, 3, "007"}, {1234, 3, "234"}, {1000, 3, "000"}, {5, 0, ""}, {0, 2, "00"},
                          {4294967295u, 12, "004294967295"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.text, LPC::toStrWithZero(c.n, c.width));
    }
    EXPECT_STREQ("Obj 001", LPC::makeChName("Obj ", 0, 3).toString());
    EXPECT_STREQ("Zone 00", LPC::makeChName("Zone ", 99, 2).toString());

    uint32_t out = 0x5A5A5A5A;
    EXPECT_EQ(0x80000000u, LPC::to0base(0, &out));
    EXPECT_EQ(0x5A5A5A5Au, out);
    EXPECT_EQ(0u, LPC::to0base(1, &out));
    EXPECT_EQ(0u, out);
}

TEST(LpcValueHelperTest, ConversionsOfValuesFollowTheirTypes)
{
    EXPECT_TRUE(LPC::toBoolFromVariant(JVariant(2u)));
    EXPECT_FALSE(LPC::toBoolFromVariant(JVariant(1.0f)));  // a Float is no switch
    EXPECT_FALSE(LPC::toBoolFromVariant(JVariant("1", 1)));
    EXPECT_EQ("", LPC::toStr(JVariant(5)));
    EXPECT_EQ("abc", LPC::toStr(JVariant("abc", 3)));
    EXPECT_EQ(1u, LPC::toUint(true));

    struct Case {
        JVariant a;
        JVariant b;
        bool same;
    };
    const Case cases[] = {
        {JVariant(1.000f), JVariant(1.004f), true},
        {JVariant(1.000f), JVariant(1.006f), false},
        {JVariant(1.0f), JVariant(1), false},          // the types differ
        {JVariant(1), JVariant(1u), false},
        {JVariant(7), JVariant(7), true},
        {JVariant("ab", 2), JVariant("ab", 2), true},
        {JVariant("ab", 2), JVariant("abc", 3), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].same, LPC::isSame(cases[i].a, cases[i].b, 0.005f));
    }
}

TEST(LpcValueHelperTest, CutsKeepWholeUtf8Characters)
{
    struct Size {
        uint8_t byte;
        uint32_t size;
    };
    const Size sizes[] = {{0x00, 1}, {0x7F, 1}, {0x80, 0}, {0xBF, 0}, {0xC0, 2}, {0xDF, 2},
                          {0xE0, 3}, {0xEF, 3}, {0xF0, 4}, {0xF7, 4}, {0xF8, 0}, {0xFF, 0}};
    for (const Size& s : sizes) EXPECT_EQ(s.size, LPC::utf8CharSize(s.byte)) << int(s.byte);

    struct Case {
        const char* text;
        uint32_t maximum;
        const char* kept;
    };
    const Case cases[] = {
        {"a\xC3\xA9", 2, "a"},
        {"a\xC3\xA9", 3, "a\xC3\xA9"},
        {"\xE3\x81\x82\xE3\x81\x84\xE3\x81\x86", 8, "\xE3\x81\x82\xE3\x81\x84"},
        {"abcd\xC3\xA9", 5, "abcd"},
        {"ab\xF8\xFF" "c", 3, "ab\xF8\xFF" "c"},  // bytes that start nothing count nothing
        {"abc", 0, ""},
        {"", 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        EXPECT_EQ(c.kept, LPC::truncateUTF8(c.text, c.maximum));
    }
    EXPECT_EQ("", LPC::truncateUTF8(nullptr, 10));
}

}  // namespace
