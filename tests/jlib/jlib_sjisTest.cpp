#include "jlib/jlib_sjis.h"

#include <gtest/gtest.h>

TEST(jlib_sjisTest, ConvertsCodePage932ToUnicode)
{
    struct Case { uint16_t code; uint16_t unicode; };
    const Case cases[] = {
        {0x82A0, 0x3042},  // hiragana a
        {0x41, 0x0041},
        {0x00, 0x0000},
        {0x7F, 0x007F},
        {0xA1, 0xFFFD},    // single-byte half-width katakana is not a double-byte code
        {0x8140, 0x3000},  // first code of the first row
        {0x889F, 0x4E9C},  // first level-1 kanji
        {0x8740, 0x2460},  // NEC row 13
        {0xFA40, 0x2170},  // IBM extension
        {0xFC4B, 0x9ED1},  // last code of the last row
        {0x817F, 0xFFFD},  // trail byte 0x7F lies between the two trail ranges
        {0x8130, 0xFFFD},  // trail byte below the range
        {0x81FD, 0xFFFD},  // trail byte above the range
        {0xA040, 0xFFFD},  // lead byte between the two lead ranges
        {0xFD40, 0xFFFD},  // lead byte above the range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code);
        EXPECT_EQ(c.unicode, jlib_sjis2unicode(c.code));
    }
}

TEST(jlib_sjisTest, ConvertsUnicodeToCodePage932)
{
    struct Case { uint32_t unicode; uint16_t code; };
    const Case cases[] = {
        {0x3042, 0x82A0},
        {0x0041, 0x0041},
        {0xFF61, 0x00A1},  // half-width katakana are single bytes
        {0xFF9F, 0x00DF},
        {0x4E9C, 0x889F},
        {0x2170, 0xFA40},  // the IBM extension is preferred over its NEC-selected duplicate
        {0x20AC, 0x0000},  // no code for the euro sign
        {0x10000, 0x0000},
        {0xFFFFFFFF, 0x0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.unicode);
        EXPECT_EQ(c.code, jlib_unicode2sjis(c.unicode));
    }
}

TEST(jlib_sjisTest, EveryDoubleByteCodeOfAKanjiRoundTrips)
{
    // The level-1 and level-2 kanji rows (0x889F-0x9FFC, 0xE040-0xEAA4) have no duplicates.
    int checked = 0;
    for (unsigned code = 0x889F; code <= 0xEAA4; ++code) {
        const unsigned lead = code >> 8;
        const unsigned trail = code & 0xFF;
        if ((lead > 0x9F && lead < 0xE0) || trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
        const uint16_t unicode = jlib_sjis2unicode(static_cast<uint16_t>(code));
        if (unicode == 0xFFFD) continue;
        ++checked;
        EXPECT_EQ(code, jlib_unicode2sjis(unicode)) << std::hex << code;
    }
    EXPECT_GT(checked, 6000);
}
