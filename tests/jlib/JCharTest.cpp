#include "jlib/JChar.h"

#include <gtest/gtest.h>

#include <vector>

using JLIB::JChar;

TEST(JCharTest, HoldsOneByteCodesAndReplacesWithSpace)
{
    struct Case { uint32_t code; JLIB::JResult result; uint32_t held; };
    const Case cases[] = {{0xFF, 0, 0xFF}, {0x100, 0x80000007u, 0x20}, {0xFFFD, 0x80000007u, 0x20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        JChar ch('x');
        EXPECT_EQ(c.result, ch.set(c.code));
        EXPECT_EQ(c.held, ch.get());
    }
    JChar ch;
    EXPECT_EQ(0x80000003u, ch.fromAscii('\xE9'));
    EXPECT_EQ(0x20u, ch.get());
    EXPECT_EQ(0u, ch.fromLatin1('\xE9'));
    EXPECT_EQ(0xE9u, ch.get());
    EXPECT_FALSE(JChar(0xD8u).isSurrogate());
}

TEST(JCharTest, DecodesToOneByteOrSpace)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        JLIB::JResult result;
        uint32_t held;
        uint32_t used;
    };
    const Case cases[] = {
        {"latin small e acute", {0xC3, 0xA9}, 0, 0xE9, 2},
        {"euro above FF", {0xE2, 0x82, 0xAC}, 0x80000007u, 0x20, 3},
        {"stray byte", {0x80}, 0x80000005u, 0x20, 1},
        {"cut sequence", {0xC3}, 0x80000004u, 0x20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JChar ch('x');
        uint32_t used = 0xA5A5u;
        EXPECT_EQ(c.result, ch.fromUTF8(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), &used));
        EXPECT_EQ(c.held, ch.get());
        EXPECT_EQ(c.used, used);
    }

    JChar ch('x');
    const unsigned char cut[2] = {0xD8, 0x3D};
    EXPECT_EQ(0x80000004u, ch.fromUTF16BE(cut, 2));
    EXPECT_EQ(static_cast<uint32_t>('x'), ch.get()); // too short for UTF-16 changes nothing
    const unsigned char pair[4] = {0x3D, 0xD8, 0x00, 0xDE};
    EXPECT_EQ(0x80000007u, ch.fromUTF16LE(pair, 4));
    EXPECT_EQ(0x20u, ch.get());

    uint32_t used = 0;
    EXPECT_EQ(6u, ch.fromWChar(static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), &used));
    EXPECT_EQ(0x20u, ch.get());
    EXPECT_EQ(2u, used);
    EXPECT_EQ(0x80000007u, ch.fromWChar(static_cast<wchar_t>(0x263A), L'a', &used));
    EXPECT_EQ(1u, used);
}

TEST(JCharTest, EncodesLikeItsCodePoint)
{
    unsigned char buffer[4] = {};
    uint32_t written = 0;
    EXPECT_EQ(0u, JChar('\xE9').toUTF8(buffer, 4, &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ(0xC3, buffer[0]);
    EXPECT_EQ(0xA9, buffer[1]);
    char out = 0;
    EXPECT_EQ(0x80000003u, JChar('\xE9').toAscii(out, '?'));
    EXPECT_EQ('?', out);
    EXPECT_EQ(0u, JChar('\xE9').toLatin1(out, '?'));
    EXPECT_EQ('\xE9', out);
    JChar c('q');
    EXPECT_EQ(0u, c.toUpper());
    EXPECT_EQ(static_cast<uint32_t>('Q'), c.get());
}
