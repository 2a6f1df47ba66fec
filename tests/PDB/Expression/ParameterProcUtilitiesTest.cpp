#include "PDB/Expression/ParameterProcUtilities.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using ParameterProc::Utilities;

namespace {

enum class Printer { SInt, UInt, SInt16, UInt16 };

uint32_t print(Printer p, char* buffer, uint32_t size, int64_t value, uint32_t decimals)
{
    switch (p) {
        case Printer::SInt: return Utilities::sintToText(buffer, size, static_cast<int32_t>(value), decimals);
        case Printer::UInt: return Utilities::uintToText(buffer, size, static_cast<uint32_t>(value), decimals);
        case Printer::SInt16: return Utilities::sint16ToText(buffer, size, static_cast<int16_t>(value), decimals);
        case Printer::UInt16: return Utilities::uint16ToText(buffer, size, static_cast<uint16_t>(value), decimals);
    }
    return 0;
}

}  // namespace

TEST(ParameterProcUtilitiesTest, PrintsScaledIntegersWithinMinimumBuffers)
{
    struct Case {
        Printer printer;
        uint32_t size;
        int64_t value;
        uint32_t decimals;
        const char* text;  // null: nothing written
        uint32_t result;
    };
    const Case cases[] = {
        {Printer::SInt, 13, 12345, 2, "123.45", 7},
        {Printer::SInt, 13, 12345, 0, "12345", 6},
        {Printer::SInt, 13, -5, 2, "-0.05", 6},
        {Printer::SInt, 13, 150, 2, "1.50", 5},
        {Printer::SInt, 13, -2147483647, 9, "-2.147483647", 13},
        {Printer::SInt, 13, 2147483647, 3, "\xE2\x88\x9E", 4},
        {Printer::SInt, 13, -2147483647 - 1, 0, "-\xE2\x88\x9E", 5},
        {Printer::SInt, 13, 12345, 10, nullptr, 0},
        {Printer::SInt, 12, 12345, 2, nullptr, 0},
        {Printer::UInt, 12, 4294967294u, 9, "4.294967294", 12},
        {Printer::UInt, 12, 4294967295u, 1, "\xE2\x88\x9E", 4},
        {Printer::UInt, 11, 1, 0, nullptr, 0},
        {Printer::SInt16, 8, -32768, 3, "-\xE2\x88\x9E", 5},
        {Printer::SInt16, 8, 32767, 0, "\xE2\x88\x9E", 4},
        {Printer::SInt16, 8, -32767, 4, "-3.2767", 8},
        {Printer::SInt16, 8, -600, 2, "-6.00", 6},
        {Printer::SInt16, 8, 1, 5, nullptr, 0},
        {Printer::SInt16, 7, 1, 0, nullptr, 0},
        {Printer::UInt16, 7, 65534, 4, "6.5534", 7},
        {Printer::UInt16, 7, 65535, 2, "\xE2\x88\x9E", 4},
        {Printer::UInt16, 7, 63000, 2, "630.00", 7},
        {Printer::UInt16, 6, 1, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.printer)) + " " + std::to_string(c.value) + " /" +
                     std::to_string(c.decimals) + " in " + std::to_string(c.size));
        char buffer[32];
        std::memset(buffer, 0x5A, sizeof buffer);
        EXPECT_EQ(c.result, print(c.printer, buffer, c.size, c.value, c.decimals));
        if (c.text != nullptr)
            EXPECT_STREQ(c.text, buffer);
        else
            EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[0]));
    }
    EXPECT_EQ(0u, Utilities::sintToText(nullptr, 13, 1, 0));
}

TEST(ParameterProcUtilitiesTest, PrintsThreeSignificantDigitsWithPrefix)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        const char* text;
        uint32_t result;
    };
    const Case cases[] = {
        {0.0, "0.00", 5},         {-0.0, "0.00", 5},         {0.5, "500m", 5},
        {12.345, "12.3", 5},      {999.4, "999", 4},         {999.6, "1000", 5},
        {1000.0, "1.00k", 6},     {1234567.0, "1.23M", 6},   {-0.0025, "-2.50m", 7},
        {99.96, "100.0", 6},      {1e-25, "0.00", 5},        {-1e-30, "0.00", 5},
        {1e27, "\xE2\x88\x9E", 4}, {-1e27, "-\xE2\x88\x9E", 5}, {inf, "\xE2\x88\x9E", 4},
        {-inf, "-\xE2\x88\x9E", 5}, {1e24, "1.00Y", 6},      {1e-24, "1.00y", 6},
        {20.0, "20.0", 5},        {20000.0, "20.0k", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        char buffer[32] = {};
        EXPECT_EQ(c.result, Utilities::doubleToText(buffer, sizeof buffer, c.value));
        EXPECT_STREQ(c.text, buffer);
    }
}

TEST(ParameterProcUtilitiesTest, DoubleTextNeverWritesPastTheBuffer)
{
    char buffer[8];
    std::memset(buffer, 0x5A, sizeof buffer);
    // "-100.0k" needs 8 bytes with its terminator, one more than the accepted minimum.
    EXPECT_EQ(0u, Utilities::doubleToText(buffer, 7, -99960.0));
    EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[7]));
    EXPECT_EQ('\0', buffer[0]);

    EXPECT_EQ(8u, Utilities::doubleToText(buffer, 8, -99960.0));
    EXPECT_STREQ("-100.0k", buffer);
    EXPECT_EQ(0u, Utilities::doubleToText(buffer, 6, 1.0));
    EXPECT_EQ(0u, Utilities::doubleToText(nullptr, 32, 1.0));
}

TEST(ParameterProcUtilitiesTest, ReadsNumbersWithPrefixOrReportsBadText)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        uint32_t length;
        double value;
        bool bad;
    };
    const Case cases[] = {
        {"1.5k", 4, 1500.0, false},
        {"1.5 k", 5, 1500.0, false},
        {"\t 1.5\t k ", 9, 1500.0, false},
        {"5m", 2, 0.005, false},
        {"1e3", 3, 1000.0, false},
        {"-inf", 4, -inf, false},
        {"12", 2, 12.0, false},
        {"12Hz", 4, 0.0, true},
        {"12H", 3, 0.0, true},
        {"kHz", 3, 0.0, true},
        {"", 0, 0.0, true},
        {"   ", 3, 0.0, false},   // nothing but blanks reads no item and no error
        {"2u", 2, 2e-6, false},
        {"3G", 2, 3e9, false},
        {"1.5kHz", 4, 1500.0, false},  // the length bounds the text
        {"7", 100, 7.0, false},        // a terminator ends it before the length
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t error = 0x5A5A5A5A;
        const double value = Utilities::textToDouble(c.text, c.length, &error);
        EXPECT_EQ(c.bad ? 0x80000000u : 0x5A5A5A5Au, error);
        if (std::isinf(c.value))
            EXPECT_EQ(c.value, value);
        else
            EXPECT_DOUBLE_EQ(c.value, value);
    }
    uint32_t error = 0x5A5A5A5A;
    EXPECT_EQ(0.0, Utilities::textToDouble(nullptr, 4, &error));
    EXPECT_EQ(0x5A5A5A5Au, error);
    EXPECT_EQ(0.0, Utilities::textToDouble("xyz", 3));  // no error word: must not crash
}

TEST(ParameterProcUtilitiesTest, TextsIgnoreTheProcessLocale)
{
    const char* const names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* chosen = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";

    char buffer[32] = {};
    const uint32_t printed = Utilities::sintToText(buffer, sizeof buffer, 150, 2);
    const std::string fixed = buffer;
    (void)Utilities::doubleToText(buffer, sizeof buffer, 1234.0);
    const std::string prefixed = buffer;
    uint32_t error = 0x5A5A5A5A;
    const double read = Utilities::textToDouble("1.5k", 4, &error);
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(5u, printed);
    EXPECT_EQ("1.50", fixed);
    EXPECT_EQ("1.23k", prefixed);
    EXPECT_DOUBLE_EQ(1500.0, read);
    EXPECT_EQ(0x5A5A5A5Au, error);
}

TEST(ParameterProcUtilitiesTest, FindsNearestEntryMidwayGoingDown)
{
    const unsigned int table[] = {10, 20, 30};
    struct Case {
        unsigned int value;
        uint32_t index;
        double position;
    };
    const Case cases[] = {
        {14, 0, 0.4}, {15, 0, 0.5}, {16, 1, 0.6}, {5, 0, 0.0}, {35, 2, 2.0}, {20, 1, 1.0}, {30, 2, 2.0}, {25, 1, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.index, Utilities::indexOfUInt(table, 3, c.value));
        EXPECT_DOUBLE_EQ(c.position, Utilities::indexOfUIntDP(table, 3, c.value));
        EXPECT_EQ(table[c.index], Utilities::roundUInt(table, 3, c.value));
    }
    EXPECT_EQ(0u, Utilities::indexOfUInt(nullptr, 3, 14));
    EXPECT_EQ(0u, Utilities::indexOfUInt(table, 0, 25));
    EXPECT_EQ(0.0, Utilities::indexOfUIntDP(table, 0, 25));
    EXPECT_EQ(0u, Utilities::roundUInt(table, 0, 25));
    EXPECT_EQ(0u, Utilities::indexOfUInt(table, 1, 25));  // a one-entry table has only index 0
}

TEST(ParameterProcUtilitiesTest, SearchesEveryTableTypeInItsOwnSign)
{
    const short s16[] = {-100, 0, 100};
    EXPECT_DOUBLE_EQ(0.5, Utilities::indexOfSInt16DP(s16, 3, -50));
    EXPECT_DOUBLE_EQ(2.0, Utilities::indexOfSInt16DP(s16, 3, 100));
    EXPECT_DOUBLE_EQ(0.0, Utilities::indexOfSInt16DP(s16, 3, -200));
    EXPECT_EQ(0u, Utilities::indexOfSInt16(s16, 3, -50));
    EXPECT_EQ(1u, Utilities::indexOfSInt16(s16, 3, -49));
    EXPECT_EQ(100, Utilities::roundSInt16(s16, 3, 32767));

    const unsigned short u16[] = {100, 200, 65000};
    EXPECT_EQ(2u, Utilities::indexOfUInt16(u16, 3, 60000));
    EXPECT_EQ(65000u, Utilities::roundUInt16(u16, 3, 65535));
    EXPECT_DOUBLE_EQ(4.0 / 3.0, Utilities::indexOfUInt16DP(u16, 3, 21800));

    // The widest signed differences stay exact.
    const int s32[] = {-2147483647 - 1, 2147483647};
    EXPECT_DOUBLE_EQ(2147483648.0 / 4294967295.0, Utilities::indexOfSIntDP(s32, 2, 0));
    EXPECT_EQ(1u, Utilities::indexOfSInt(s32, 2, 0));
    EXPECT_EQ(0u, Utilities::indexOfSInt(s32, 2, -1));

    const float f[] = {1.0f, 2.0f, 4.0f};
    EXPECT_EQ(1u, Utilities::indexOfFloat(f, 3, 1.5f));
    EXPECT_EQ(2u, Utilities::indexOfFloat(f, 3, 3.5f));
    EXPECT_EQ(2u, Utilities::indexOfFloat(f, 3, 100.0f));
    EXPECT_DOUBLE_EQ(1.25, Utilities::indexOfFloatDP(f, 3, 2.5f));
    EXPECT_EQ(4.0f, Utilities::roundFloat(f, 3, 3.5f));
    // NaN lies nowhere: a defined answer rather than an undefined conversion.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(0u, Utilities::indexOfFloat(f, 3, nan));
    EXPECT_EQ(0.0, Utilities::indexOfFloatDP(f, 3, nan));
    // A table with a repeated entry does not divide by zero.
    const int flat[] = {5, 5, 5, 9};
    EXPECT_TRUE(std::isfinite(Utilities::indexOfSIntDP(flat, 4, 7)));
}

TEST(ParameterProcUtilitiesTest, RoundsToStepInsideRangeMidwayGoingUp)
{
    struct Case {
        int minimum, maximum, step, value, result;
    };
    const Case cases[] = {
        {-100, 100, 10, -7, -10}, {-100, 100, 10, -5, 0},   {-100, 100, 10, 7, 10},    {-100, 100, 10, 95, 100},
        {-100, 100, 10, -100, -100}, {-100, 100, 10, -15, -10}, {-100, 100, 10, 5, 10}, {-100, 100, 0, 7, 7},
        {5, 100, 10, 7, 5},       {-100, 100, 10, 500, 100}, {-100, 100, -10, 14, 10},
        {-2147483647 - 1, 2147483647, 1000000000, 2100000000, 2147483647},
        {-2147483647 - 1, 2147483647, 1000000000, -2100000000, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " step " + std::to_string(c.step));
        EXPECT_EQ(c.result, Utilities::roundSInt(c.minimum, c.maximum, c.step, c.value));
    }
    EXPECT_EQ(65535u, Utilities::roundUInt16(0, 65535, 100, 65530));
    EXPECT_EQ(65500u, Utilities::roundUInt16(0, 65535, 100, 65510));
    EXPECT_EQ(4294967295u, Utilities::roundUInt(0, 4294967295u, 1000, 4294967290u));
    EXPECT_EQ(-32768, Utilities::roundSInt16(-32768, 32767, 1000, -32700));
    EXPECT_EQ(20, Utilities::roundSInt16(-100, 100, 10, 15));
    EXPECT_FLOAT_EQ(1.5f, Utilities::roundFloat(0.0f, 10.0f, 0.5f, 1.3f));
    EXPECT_FLOAT_EQ(-1.5f, Utilities::roundFloat(-10.0f, 10.0f, 0.5f, -1.3f));
    EXPECT_FLOAT_EQ(10.0f, Utilities::roundFloat(0.0f, 10.0f, 4.0f, 9.0f));
}

TEST(ParameterProcUtilitiesTest, ComparesTextsWithoutLetterCase)
{
    struct Case {
        const char* a;
        const char* b;
        int32_t result;
    };
    const Case cases[] = {
        {"on", "ON", 0},   {"ON", "ONE", -1}, {"OFF", "ON", -1}, {"ONE", "on", 1}, {"", "", 1},
        {nullptr, "x", 1}, {"x", nullptr, 1}, {"Hi", "hI", 0},
        // Bytes above 0x7F are plain characters, above every letter.
        {"\xE9", "z", 1},  {"a\xC3", "A\xC3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a ? c.a : "(null)") + " vs " + (c.b ? c.b : "(null)"));
        EXPECT_EQ(c.result, Utilities::_strcmpi(c.a, c.b));
    }
    EXPECT_EQ(0, Utilities::_strncmpi("LOWER", "lowest", 4));
    EXPECT_EQ(-1, Utilities::_strncmpi("LOWER", "lowest", 5));
    EXPECT_EQ(1, Utilities::_strncmpi("abc", "abc", 0));
    EXPECT_EQ(0, Utilities::_strncmpi("abc", "ABC", 10));  // stops at the common terminator
}

TEST(ParameterProcUtilitiesTest, SkipsHeadSpaceWithinLength)
{
    const char text[] = "   x";
    EXPECT_EQ(text + 3, Utilities::removeHeadSpace(text, 4));
    EXPECT_EQ(nullptr, Utilities::removeHeadSpace(text, 3));
    EXPECT_EQ(nullptr, Utilities::removeHeadSpace(text, 0));
    EXPECT_EQ(nullptr, Utilities::removeHeadSpace(nullptr, 4));
    const char mixed[] = "\t\r\n\v\f y";
    EXPECT_EQ(mixed + 6, Utilities::removeHeadSpace(mixed, 10));
    EXPECT_EQ(nullptr, Utilities::removeHeadSpace("  \0x", 4));  // a terminator ends the search
}
