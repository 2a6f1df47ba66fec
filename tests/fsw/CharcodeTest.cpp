#include "fsw/Charcode.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

TEST(CharcodeTest, Utf8ToUtf16ConvertsWhatFitsWithItsTerminator)
{
    struct Case { std::string src; uint32_t dstLen; uint32_t result; std::vector<uint16_t> dst; };
    const Case cases[] = {
        {"\xC3\xA9", 2, 2, {0x00E9, 0}},
        {"\xC3\xA9", 1, 0, {0}},
        {"\xC3\xA9", 0, 2, {}},
        {"A\xE2\x82\xAC", 8, 3, {0x41, 0x20AC, 0}},
        {"\xF0\x9F\x98\x80", 3, 3, {0xD83D, 0xDE00, 0}},   // a surrogate pair
        {"\xF0\x9F\x98\x80", 2, 0, {0}},                   // the pair and terminator do not fit
        {"\xF0\x9F\x98\x80", 0, 3, {}},
        {"a\x80" "b", 8, 3, {0x61, 0x62, 0}},               // lone continuation byte skipped
        {"a\xFE\xFF" "b", 8, 3, {0x61, 0x62, 0}},
        {"\xC3" "A", 8, 3, {0x03, 0x41, 0}},                // cut sequence: the next byte starts anew
        {"ab", 2, 0, {0x61, 0}},                           // written while it fits, then terminated
        {"", 4, 1, {0}},
        // Beyond what a surrogate pair can carry: replaced, never wrapped into other units.
        {"\xF4\x90\x80\x80", 4, 2, {0xFFFD, 0}},
        {"\xFC\x84\x80\x80\x80\x80" "z", 4, 3, {0xFFFD, 0x7A, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.src) + " into " + std::to_string(c.dstLen));
        std::vector<uint16_t> dst(c.dstLen + 2, 0x5A5A);
        EXPECT_EQ(c.result, Charcode_Utf8toUtf16(c.src.c_str(), static_cast<uint32_t>(c.src.size()),
                                                 c.dstLen ? dst.data() : nullptr, c.dstLen));
        for (size_t i = 0; i < c.dst.size(); ++i) EXPECT_EQ(c.dst[i], dst[i]) << "unit " << i;
        EXPECT_EQ(0x5A5A, dst[c.dstLen]);  // nothing past the destination
    }
}

TEST(CharcodeTest, Utf8SourceEndsAtItsLengthOrFirstZero)
{
    uint16_t dst[8];
    EXPECT_EQ(2u, Charcode_Utf8toUtf16("abc", 1, dst, 8));
    EXPECT_EQ(0x61, dst[0]);
    EXPECT_EQ(0, dst[1]);
    EXPECT_EQ(2u, Charcode_Utf8toUtf16("a\0bc", 4, dst, 8));
    EXPECT_EQ(0u, Charcode_Utf8toUtf16(nullptr, 4, dst, 8));
    EXPECT_EQ(0u, Charcode_Utf8toUtf16("a", 1, nullptr, 8));
}

TEST(CharcodeTest, Utf16ToUtf8ConvertsWhatFitsWithItsTerminator)
{
    struct Case { std::vector<uint16_t> src; uint32_t dstLen; uint32_t result; std::string dst; };
    const Case cases[] = {
        {{0x41}, 4, 2, "A"},
        {{0xE9}, 3, 3, "\xC3\xA9"},
        {{0xE9}, 2, 0, ""},
        {{0xE9}, 0, 3, ""},
        {{0x20AC}, 4, 4, "\xE2\x82\xAC"},
        {{0xD83D, 0xDE00}, 5, 5, "\xF0\x9F\x98\x80"},
        {{0x41, 0xDC00, 0x42}, 4, 3, "AB"},      // lone low surrogate skipped
        {{0x41, 0xD83D, 0x42}, 8, 0, ""},        // high surrogate without its low one fails
        {{0x41, 0xD83D}, 8, 0, ""},
        {{0x41, 0x42, 0x43}, 3, 0, "AB"},
        {{0x41, 0, 0x43}, 8, 2, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.src) + " into " + std::to_string(c.dstLen));
        std::vector<char> dst(c.dstLen + 2, 'Q');
        EXPECT_EQ(c.result, Charcode_Utf16toUtf8(c.src.data(), static_cast<uint32_t>(c.src.size()),
                                                 c.dstLen ? dst.data() : nullptr, c.dstLen));
        if (c.dstLen) {
            EXPECT_EQ(c.dst, std::string(dst.data()));
        }
        EXPECT_EQ('Q', dst[c.dstLen]);
    }
}

TEST(CharcodeTest, RoundTripKeepsText)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\xB9";
    const uint32_t units = Charcode_Utf8toUtf16(text.c_str(), static_cast<uint32_t>(text.size()), nullptr, 0);
    std::vector<uint16_t> wide(units);
    ASSERT_EQ(units, Charcode_Utf8toUtf16(text.c_str(), static_cast<uint32_t>(text.size()), wide.data(), units));
    const uint32_t bytes = Charcode_Utf16toUtf8(wide.data(), units, nullptr, 0);
    EXPECT_EQ(text.size() + 1, bytes);
    std::vector<char> back(bytes);
    ASSERT_EQ(bytes, Charcode_Utf16toUtf8(wide.data(), units, back.data(), bytes));
    EXPECT_EQ(text, std::string(back.data()));
}
