#include "jlib/jlib_version.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(jlib_versionTest, EncodesOrRefusesWithZeroWord)
{
    struct Case { uint32_t kind; int major, minor, sub, letter; uint32_t result; uint32_t word; };
    const Case cases[] = {
        {1, 1, 2, 3, 'B', 0, 0x56011701u},
        {0, 2, 0, 0, 'a', 0, 0x52020000u},
        {1, 255, 9, 9, 'z', 0, 0x56FF6319u},
        {0, 0, 0, 0, 'A', 0, 0x52000000u},
        {1, 1, 10, 0, 'a', 0x80000000u, 0},
        {1, 1, 0, 10, 'a', 0x80000000u, 0},
        {1, 256, 0, 0, 'a', 0x80000000u, 0},
        {1, -1, 0, 0, 'a', 0x80000000u, 0},
        {1, 1, -1, 0, 'a', 0x80000000u, 0},
        {2, 1, 0, 0, 'a', 0x80000000u, 0},
        {1, 1, 0, 0, '!', 0x80000000u, 0},
        {1, 1, 0, 0, '{', 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << ' ' << c.major << ' ' << c.minor << ' ' << c.sub << ' '
                                        << static_cast<char>(c.letter));
        uint32_t word = 0xA5A5A5A5u;
        EXPECT_EQ(c.result, jlib_encodeVersion(&word, c.kind, c.major, c.minor, c.sub, c.letter));
        EXPECT_EQ(c.word, word);
    }
}

TEST(jlib_versionTest, DecodesWellFormedWordsOnly)
{
    uint32_t kind = 9;
    int major = -1, minor = -1, sub = -1;
    char letter = '?';
    ASSERT_EQ(0u, jlib_decodeVersion(&kind, &major, &minor, &sub, &letter, 0x56011701u));
    EXPECT_EQ(1u, kind);
    EXPECT_EQ(1, major);
    EXPECT_EQ(2, minor);
    EXPECT_EQ(3, sub);
    EXPECT_EQ('b', letter);
    EXPECT_EQ(0u, jlib_decodeVersion(nullptr, nullptr, nullptr, nullptr, nullptr, 0x52000000u));

    for (uint32_t bad : {0x41011701u, 0x56006400u, 0x5600001Au, 0u}) {
        SCOPED_TRACE(bad);
        kind = 9;
        EXPECT_EQ(0x80000000u, jlib_decodeVersion(&kind, &major, &minor, &sub, &letter, bad));
        EXPECT_EQ(9u, kind);
    }
}

TEST(jlib_versionTest, MakesDisplayText)
{
    struct Case { uint32_t word; uint32_t size; uint32_t result; const char* text; };
    const Case cases[] = {
        {0x56011700u, 16, 0, "V1.23"},
        {0x56011702u, 16, 0, "V1.23c"},
        {0x52020000u, 16, 0, "R2.00"},
        {0x52FF6319u, 16, 0, "R255.99z"},
        {0x41020000u, 16, 0x80000000u, "V?.???"},
        {0x56011702u, 4, 0, "V1."},   // cut at the buffer size
        {0x41020000u, 3, 0x80000000u, "V?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char text[16];
        std::memset(text, 'Z', sizeof text);
        EXPECT_EQ(c.result, jlib_makeVersionString(text, c.size, c.word));
        EXPECT_STREQ(c.text, text);
    }
}

TEST(jlib_versionTest, NullWordPointerStopsTheProcess)
{
    EXPECT_DEATH((void)jlib_encodeVersion(nullptr, 1, 1, 0, 0, 'a'), "");
}
