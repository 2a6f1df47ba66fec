#include "jlib/jlib_printf.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

std::wstring widen(const char* text)
{
    std::wstring w;
    for (const char* p = text; *p; ++p) w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return w;
}

// Formats with one int argument in both forms; the wide result must equal the narrow one.
std::string formatInt(const char* format, int value)
{
    char narrow[64];
    uint32_t length = 0xA5A5A5A5u;
    EXPECT_EQ(0u, jlib_snprintf(narrow, sizeof narrow, &length, format, value));
    EXPECT_EQ(std::strlen(narrow), length);

    wchar_t wide[64];
    uint32_t wideLength = 0xA5A5A5A5u;
    EXPECT_EQ(0u, jlib_wsnprintf(wide, 64, &wideLength, widen(format).c_str(), value));
    EXPECT_EQ(widen(narrow), std::wstring(wide));
    EXPECT_EQ(length, wideLength);
    return narrow;
}

}  // namespace

TEST(jlib_printfTest, FormatsIntegersAndCharactersWithFlagsAndWidth)
{
    struct Case { const char* format; int value; const char* expected; };
    const Case cases[] = {
        {"%d", 42, "42"},
        {"%5d", 42, "   42"},
        {"%-5d", 42, "42   "},
        {"%05d", 42, "00042"},
        {"%+d", 42, "+42"},
        {"%-05d", 42, "00042"},  // zero wins over left
        {"%0-5d", 42, "00042"},
        {"%+05d", 42, "+0042"},
        {"%-+5d", 3, "+3   "},
        {"%+d", 0, "0"},
        {"%d", 0, "0"},
        {"%05d", -42, "-0042"},
        {"%5d", -42, "  -42"},
        {"%+d", -42, "-42"},
        {"x=%d", -42, "x=-42"},
        {"%d", INT_MIN, "-2147483648"},
        {"%2d", 12345, "12345"},
        {"%u", -1, "4294967295"},
        {"%+u", 7, "7"},
        {"%x", 255, "ff"},
        {"%X", 255, "FF"},
        {"%x", 0, "0"},
        {"%08X", 0xBEEF, "0000BEEF"},
        {"%x", -1, "ffffffff"},
        {"%c", 65, "A"},
        {"%5c", 65, "A"},
        {"%-05c", 66, "B"},
        {"100%%", 0, "100%"},
        {"%%d", 9, "%d"},
        {"%f%d", 5, "f5"},       // no floating point: the letter, and no argument taken
        {"%ld%d", 5, "ld5"},
        {"%5.2f%d", 5, ".2f5"},
        {"%-%d", 7, "7"},        // a % after a flag starts a new conversion
        {"ab%", 1, "ab"},        // a conversion cut by the end prints nothing
        {"ab%-12", 1, "ab"},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(c.expected, formatInt(c.format, c.value));
    }
}

TEST(jlib_printfTest, FormatsTextsInBothForms)
{
    struct Case { const char* format; const char* text; const char* expected; };
    const Case cases[] = {
        {"%s", "abc", "abc"},
        {"[%s]", nullptr, "[]"},
        {"%-5s|", "ab", "ab   |"},
        {"%5s", "ab", "   ab"},
        {"%05s", "ab", "   ab"},
        {"%+2s", "abcd", "abcd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        char narrow[32];
        uint32_t length = 0xA5A5A5A5u;
        ASSERT_EQ(0u, jlib_snprintf(narrow, sizeof narrow, &length, c.format, c.text));
        EXPECT_STREQ(c.expected, narrow);
        EXPECT_EQ(std::strlen(c.expected), length);

        wchar_t wide[32];
        const std::wstring wideText = c.text ? widen(c.text) : std::wstring();
        ASSERT_EQ(0u, jlib_wsnprintf(wide, 32, &length, widen(c.format).c_str(),
                                     c.text ? wideText.c_str() : nullptr));
        EXPECT_EQ(widen(c.expected), std::wstring(wide));
    }
}

TEST(jlib_printfTest, UnknownConversionsLeaveArgumentsForLaterOnes)
{
    char buffer[32];
    const char* format = "%f %q %d %s %c";  // kept out of the compiler's format check on purpose
    ASSERT_EQ(0u, jlib_snprintf(buffer, sizeof buffer, nullptr, format, -3, "t", 'z'));
    EXPECT_STREQ("f q -3 t z", buffer);
}

TEST(jlib_printfTest, CutsAtSizeMinusOneAndStillSucceeds)
{
    struct Case { uint32_t size; const char* format; int value; const char* expected; };
    const Case cases[] = {
        {1, "abc%d", 5, ""},
        {8, "%20d", 5, "       "},
        {8, "%-20d", 5, "5      "},
        {8, "%020d", 5, "0000000"},
        {4, "abcdef", 0, "abc"},
        {4, "%d", -123456, "-12"},
        {6, "%99999999999d", 1, "     "},  // width saturates; the buffer bounds the output
        {3, "%%%%%%", 0, "%%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        char buffer[40];
        std::memset(buffer, 'Z', sizeof buffer);
        uint32_t length = 0xA5A5A5A5u;
        ASSERT_EQ(0u, jlib_snprintf(buffer, c.size, &length, c.format, c.value));
        EXPECT_STREQ(c.expected, buffer);
        EXPECT_EQ(std::strlen(c.expected), length);
        EXPECT_EQ('Z', buffer[c.size]);  // nothing past the buffer

        wchar_t wide[40];
        std::wmemset(wide, L'Z', 40);
        ASSERT_EQ(0u, jlib_wsnprintf(wide, c.size, &length, widen(c.format).c_str(), c.value));
        EXPECT_EQ(widen(c.expected), std::wstring(wide));
        EXPECT_EQ(L'Z', wide[c.size]);
    }
}

TEST(jlib_printfTest, CharacterNulIsWrittenAndCounted)
{
    char buffer[8];
    uint32_t length = 0;
    ASSERT_EQ(0u, jlib_snprintf(buffer, sizeof buffer, &length, "a%cb", 0));
    EXPECT_EQ(3u, length);
    EXPECT_EQ(0, std::memcmp("a\0b\0", buffer, 4));

    wchar_t wide[8];
    ASSERT_EQ(0u, jlib_wsnprintf(wide, 8, &length, L"%c%c", 0x1F600, 0x41));
    EXPECT_EQ(2u, length);
    EXPECT_EQ(wchar_t(0x1F600), wide[0]);  // the whole 32-bit character, not its low byte
    EXPECT_EQ(L'A', wide[1]);
}

TEST(jlib_printfTest, RefusesNullBufferNullFormatAndSizeZero)
{
    char buffer[4] = {'Q', 'Q', 'Q', 'Q'};
    uint32_t length = 0xA5A5A5A5u;
    const char* nullFormat = nullptr;
    EXPECT_EQ(0x80000000u, jlib_snprintf(nullptr, 4, &length, "x"));
    EXPECT_EQ(0x80000000u, jlib_snprintf(buffer, 4, &length, nullFormat));
    EXPECT_EQ(0x80000000u, jlib_snprintf(buffer, 0, &length, "x"));
    EXPECT_EQ(0xA5A5A5A5u, length);
    EXPECT_EQ('Q', buffer[0]);

    wchar_t wide[4] = {L'Q'};
    EXPECT_EQ(0x80000000u, jlib_wsnprintf(nullptr, 4, &length, L"x"));
    EXPECT_EQ(0x80000000u, jlib_wsnprintf(wide, 4, &length, nullptr));
    EXPECT_EQ(0x80000000u, jlib_wsnprintf(wide, 0, &length, L"x"));
    EXPECT_EQ(0xA5A5A5A5u, length);
    EXPECT_EQ(L'Q', wide[0]);
}
