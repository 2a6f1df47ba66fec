#include "jlib/JUnicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using JLIB::JUnicode;

namespace {

constexpr uint32_t kPoison = 0xA5A5A5A5u;

std::vector<unsigned char> head(const unsigned char* p, uint32_t n) { return std::vector<unsigned char>(p, p + n); }

}  // namespace

TEST(JUnicodeTest, HoldsCodePointsUpTo10FFFF)
{
    struct Case { uint32_t code; JLIB::JResult result; uint32_t held; };
    const Case cases[] = {
        {0, 0, 0}, {0x41, 0, 0x41}, {0xD800, 0, 0xD800}, {0x10FFFF, 0, 0x10FFFF},
        {0x110000, 0x80000007u, 0xFFFD}, {0xFFFFFFFFu, 0x80000007u, 0xFFFD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        JUnicode u(0x20u);
        EXPECT_EQ(c.result, u.set(c.code));
        EXPECT_EQ(c.held, u.get());
    }
    EXPECT_EQ(0u, JUnicode().get());
    EXPECT_EQ(0xE9u, JUnicode('\xE9').get()); // narrow characters are Latin-1
    EXPECT_EQ(0xFFFDu, JUnicode(static_cast<wchar_t>(-1)).get());
}

TEST(JUnicodeTest, NarrowAndWideInputAndOutput)
{
    JUnicode u;
    EXPECT_EQ(0u, u.fromLatin1('\xE9'));
    EXPECT_EQ(0xE9u, u.get());
    EXPECT_EQ(0x80000003u, u.fromAscii('\xE9'));
    EXPECT_EQ(0xFFFDu, u.get());
    EXPECT_EQ(0u, u.fromAscii('z'));
    EXPECT_EQ(0x7Au, u.get());

    struct Case { uint32_t code; JLIB::JResult ascii; char asciiOut; JLIB::JResult latin1; char latin1Out; };
    const Case cases[] = {
        {0x41, 0, 'A', 0, 'A'},
        {0x7F, 0, '\x7F', 0, '\x7F'},
        {0xE9, 0x80000003u, '?', 0, '\xE9'},
        {0x100, 0x80000003u, '?', 0x80000003u, '?'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        char out = 'x';
        EXPECT_EQ(c.ascii, JUnicode(c.code).toAscii(out, '?'));
        EXPECT_EQ(c.asciiOut, out);
        out = 'x';
        EXPECT_EQ(c.latin1, JUnicode(c.code).toLatin1(out, '?'));
        EXPECT_EQ(c.latin1Out, out);
    }

    uint32_t used = kPoison;
    EXPECT_EQ(6u, u.fromWChar(static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), &used));
    EXPECT_EQ(0x1F600u, u.get());
    EXPECT_EQ(2u, used);
    EXPECT_EQ(0u, u.fromWChar(L'a', static_cast<wchar_t>(0xDE00), &used));
    EXPECT_EQ(0x61u, u.get());
    EXPECT_EQ(1u, used);
    // With 4-byte wide characters plane-1 code points are whole characters, not surrogates,
    // even where their low 16 bits look like one.
    if (sizeof(wchar_t) == 4) {
        EXPECT_EQ(0u, u.fromWChar(static_cast<wchar_t>(0x1D83D), static_cast<wchar_t>(0x1DE00), &used));
        EXPECT_EQ(0x1D83Du, u.get());
        EXPECT_EQ(1u, used);

        wchar_t first = L'x';
        wchar_t second = L'x';
        uint32_t count = kPoison;
        EXPECT_EQ(0u, JUnicode(0x1F600u).toWChar(first, second, &count));
        EXPECT_EQ(0x1F600, static_cast<int>(first));
        EXPECT_EQ(0, static_cast<int>(second));
        EXPECT_EQ(1u, count);
        EXPECT_EQ(0u, JUnicode(0x1F600u).toWChar(first));
        EXPECT_EQ(0x1F600, static_cast<int>(first));
    }
}

TEST(JUnicodeTest, DecodesUtf8)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        uint32_t length;
        JLIB::JResult result;
        uint32_t code;
        uint32_t used;
    };
    const Case cases[] = {
        {"ascii", {0x41}, 1, 0, 0x41, 1},
        {"two bytes", {0xC3, 0xA9}, 2, 0, 0xE9, 2},
        {"stray continuation", {0x80}, 1, 0x80000005u, 0xFFFD, 1},
        {"overlong C0 80", {0xC0, 0x80}, 2, 0x80000005u, 0xFFFD, 1},
        {"lead FE", {0xFE, 0x80}, 2, 0x80000005u, 0xFFFD, 1},
        {"cut sequence", {0xE2, 0x82}, 2, 0x80000004u, 0xFFFD, 0},
        {"no bytes", {0x41}, 0, 0x80000004u, 0xFFFD, 0},
        {"NUL inside", {0xE2, 0x00, 0xAC}, 3, 0x80000005u, 0xFFFD, 1},
        {"euro", {0xE2, 0x82, 0xAC}, 3, 0, 0x20AC, 3},
        {"above 10FFFF", {0xF4, 0x90, 0x80, 0x80}, 4, 0x80000007u, 0xFFFD, 4},
        {"top bits unchecked", {0xC3, 0x41}, 2, 0, 0xC1, 2},
        {"max", {0xF4, 0x8F, 0xBF, 0xBF}, 4, 0, 0x10FFFF, 4},
        {"overlong three bytes kept", {0xE0, 0x80, 0xAF}, 3, 0, 0x2F, 3},
        {"encoded surrogate kept", {0xED, 0xA0, 0x80}, 3, 0, 0xD800, 3},
        {"six bytes out of range", {0xFC, 0x84, 0x80, 0x80, 0x80, 0x80}, 6, 0x80000007u, 0xFFFD, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JUnicode u(0x20u);
        uint32_t used = kPoison;
        EXPECT_EQ(c.result, u.fromUTF8(c.bytes.data(), c.length, &used));
        EXPECT_EQ(c.code, u.get());
        EXPECT_EQ(c.used, used);
    }
    JUnicode u(0x20u);
    uint32_t used = kPoison;
    EXPECT_EQ(0x80000001u, u.fromUTF8(nullptr, 4, &used));
    EXPECT_EQ(0u, used);
    EXPECT_EQ(0x20u, u.get());
}

TEST(JUnicodeTest, EncodesUtf8IntoBoundedBuffers)
{
    struct Case { uint32_t code; uint32_t length; JLIB::JResult result; std::vector<unsigned char> bytes; };
    const Case cases[] = {
        {0x41, 1, 0, {0x41}},
        {0x41, 0, 0x80000002u, {}},
        {0xE9, 2, 0, {0xC3, 0xA9}},
        {0xE9, 1, 0x80000002u, {}},
        {0x7FF, 2, 0, {0xDF, 0xBF}},
        {0x800, 3, 0, {0xE0, 0xA0, 0x80}},
        {0xFFFF, 3, 0, {0xEF, 0xBF, 0xBF}},
        {0x10000, 4, 0, {0xF0, 0x90, 0x80, 0x80}},
        {0x10FFFF, 8, 0, {0xF4, 0x8F, 0xBF, 0xBF}},
        {0x10FFFF, 3, 0x80000002u, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        unsigned char buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        uint32_t written = kPoison;
        EXPECT_EQ(c.result, JUnicode(c.code).toUTF8(buffer, c.length, &written));
        EXPECT_EQ(c.bytes.size(), written);
        EXPECT_EQ(c.bytes, head(buffer, written));
        EXPECT_EQ(0xEE, buffer[written]); // nothing beyond what was reported
    }
    uint32_t written = kPoison;
    EXPECT_EQ(0x80000001u, JUnicode(0x41u).toUTF8(nullptr, 4, &written));
    EXPECT_EQ(kPoison, written);
}

TEST(JUnicodeTest, DecodesUtf16InBothByteOrders)
{
    struct Case {
        const char* name;
        bool big;
        std::vector<unsigned char> bytes;
        uint32_t length;
        JLIB::JResult result;
        uint32_t code;
        uint32_t used;
    };
    const Case cases[] = {
        {"BE plain", true, {0x00, 0xE9}, 2, 0, 0xE9, 2},
        {"LE plain", false, {0xE9, 0x00}, 2, 0, 0xE9, 2},
        {"BE pair", true, {0xD8, 0x3D, 0xDE, 0x00}, 4, 0, 0x1F600, 4},
        {"LE pair", false, {0x3D, 0xD8, 0x00, 0xDE}, 4, 0, 0x1F600, 4},
        {"lone low", true, {0xDC, 0x00}, 2, 0x80000005u, 0xFFFD, 2},
        {"cut pair leaves char", true, {0xD8, 0x3D}, 2, 0x80000004u, 0x20, 0},
        {"one byte leaves char", true, {0x00}, 1, 0x80000004u, 0x20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JUnicode u(0x20u);
        uint32_t used = kPoison;
        const JLIB::JResult r = c.big ? u.fromUTF16BE(c.bytes.data(), c.length, &used)
                                      : u.fromUTF16LE(c.bytes.data(), c.length, &used);
        EXPECT_EQ(c.result, r);
        EXPECT_EQ(c.code, u.get());
        EXPECT_EQ(c.used, used);
    }
    JUnicode u(0x20u);
    EXPECT_EQ(0x80000001u, u.fromUTF16LE(nullptr, 2));
    EXPECT_EQ(0x20u, u.get());
}

TEST(JUnicodeTest, EncodesUtf16InBothByteOrders)
{
    unsigned char buffer[4] = {};
    uint32_t written = kPoison;
    EXPECT_EQ(0u, JUnicode(0x1F600u).toUTF16LE(buffer, 4, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x3D, 0xD8, 0x00, 0xDE}), head(buffer, 4));
    EXPECT_EQ(0u, JUnicode(0x1F600u).toUTF16BE(buffer, 4, &written));
    EXPECT_EQ((std::vector<unsigned char>{0xD8, 0x3D, 0xDE, 0x00}), head(buffer, 4));
    EXPECT_EQ(0u, JUnicode(0xE9u).toUTF16LE(buffer, 2, &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ((std::vector<unsigned char>{0xE9, 0x00}), head(buffer, 2));
    EXPECT_EQ(0x80000002u, JUnicode(0x1F600u).toUTF16BE(buffer, 3, &written));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(0x80000002u, JUnicode(0x41u).toUTF16BE(buffer, 1, &written));
    EXPECT_EQ(0x80000001u, JUnicode(0x41u).toUTF16BE(nullptr, 4, &written));
}

TEST(JUnicodeTest, AsciiClassesAndCase)
{
    struct Case { uint32_t code; const char* classes; uint32_t upper; uint32_t lower; };
    // Letters: b blank, s space, p punct, P print, d digit, x hex, a alnum, A alphabet, U upper, L lower.
    const Case cases[] = {
        {' ', "bsP", ' ', ' '},
        {'\t', "bs", '\t', '\t'},
        {'\r', "s", '\r', '\r'},
        {'7', "Pdxa", '7', '7'},
        {'f', "PxaAL", 'F', 'f'},
        {'G', "PaAU", 'G', 'g'},
        {'!', "pP", '!', '!'},
        {0x7F, "", 0x7F, 0x7F},
        {0xC9, "P", 0xC9, 0xC9},
        {0xE9, "P", 0xE9, 0xE9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const JUnicode u(c.code);
        const std::string k = c.classes;
        EXPECT_EQ(k.find('b') != std::string::npos, u.isBlank());
        EXPECT_EQ(k.find('s') != std::string::npos, u.isSpace());
        EXPECT_EQ(k.find('p') != std::string::npos, u.isPunct());
        EXPECT_EQ(k.find('P') != std::string::npos, u.isPrint());
        EXPECT_EQ(k.find('d') != std::string::npos, u.isDigit());
        EXPECT_EQ(k.find('x') != std::string::npos, u.isHexDigit());
        EXPECT_EQ(k.find('a') != std::string::npos, u.isAlNum());
        EXPECT_EQ(k.find('A') != std::string::npos, u.isAlphabet());
        EXPECT_EQ(k.find('U') != std::string::npos, u.isUpper());
        EXPECT_EQ(k.find('L') != std::string::npos, u.isLower());
        EXPECT_EQ(c.upper, u.getUpperChar());
        EXPECT_EQ(c.lower, u.getLowerChar());
        JUnicode v = u;
        EXPECT_EQ(0u, v.toUpper());
        EXPECT_EQ(c.upper, v.get());
    }
}

TEST(JUnicodeTest, SurrogateTestsAndOrdering)
{
    EXPECT_TRUE(JUnicode::isHighSurrogate(static_cast<uint16_t>(0xDBFF)));
    EXPECT_FALSE(JUnicode::isHighSurrogate(static_cast<uint16_t>(0xDC00)));
    EXPECT_TRUE(JUnicode::isLowSurrogate(static_cast<uint16_t>(0xDFFF)));
    EXPECT_TRUE(JUnicode::isSurrogate(static_cast<uint16_t>(0xD800)));
    EXPECT_FALSE(JUnicode::isSurrogate(static_cast<uint16_t>(0xE000)));
    EXPECT_TRUE(JUnicode(0xD800u).isHighSurrogate());
    EXPECT_TRUE(JUnicode(0xDC00u).isLowSurrogate());
    EXPECT_FALSE(JUnicode(0x1D800u).isSurrogate()); // the low 16 bits alone do not decide
    EXPECT_TRUE(JUnicode(0x41u) < JUnicode(0x10000u));
    EXPECT_TRUE(JUnicode(0x10000u) > JUnicode(0x41u));
    EXPECT_TRUE(JUnicode(0x41u) != JUnicode(0x61u));
    EXPECT_TRUE(JUnicode('a') == JUnicode(0x61u));
    EXPECT_TRUE(JUnicode().isNull());

    JUnicode u(0x41u);
    uint32_t written = kPoison;
    char buffer[4];
    EXPECT_EQ(0x80000008u, u.fromMBCS("a", 1));
    EXPECT_EQ(0x41u, u.get());
    EXPECT_EQ(0x80000008u, u.toMBCS(buffer, 4, &written));
    EXPECT_EQ(0u, written);
}
