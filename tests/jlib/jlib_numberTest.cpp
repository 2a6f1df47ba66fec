#include "jlib/jlib_number.h"

#include "jlib/JVariant.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr uint32_t kNoEnd = 0xFFFFFFFFu;

float bitsToFloat(uint32_t bits)
{
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

TEST(jlib_numberTest, GetsignSkipsBlanksAndOneSignWithinTheLength)
{
    struct Case { const char* text; uint32_t length; int sign; uint32_t skipped; };
    const Case cases[] = {
        {" \t-5", 4, -1, 3},
        {"+5", 2, 0, 1},
        {"5", 1, 0, 0},
        {"  -", 2, 0, 2},    // the length ends before the sign
        {"--5", 3, -1, 1},   // one sign only
        {" ", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' length " << c.length);
        const char* after = nullptr;
        uint32_t remaining = c.length;
        EXPECT_EQ(c.sign, jlib_getsign(c.text, &after, &remaining));
        EXPECT_EQ(c.text + c.skipped, after);
        EXPECT_EQ(c.length - c.skipped, remaining);
    }
    const char* after = "poison";
    uint32_t remaining = 3;
    EXPECT_EQ(0, jlib_getsign(nullptr, &after, &remaining));
    EXPECT_STREQ("poison", after);
    EXPECT_EQ(0, jlib_getsign("-1", nullptr, &remaining));
    EXPECT_EQ(0, jlib_getsign("-1", &after, nullptr));
    EXPECT_EQ(3u, remaining);
}

TEST(jlib_numberTest, StrntolParsesWithinTheLengthAndHoldsAtTheLimits)
{
    struct Case { const char* text; int base; uint32_t length; uint32_t result; int32_t value; uint32_t end; };
    const Case cases[] = {
        {"  -42xyz", 10, 8, 0u, -42, 5},
        {"0x1A", 0, 4, 0u, 26, 4},
        {"0X1a", 0, 4, 0u, 26, 4},
        {"0x1A", 16, 4, 0u, 0, 1},            // an explicit base never skips the prefix
        {"017", 0, 3, 0u, 15, 3},
        {"08", 0, 2, 0u, 0, 1},
        {"0", 0, 1, 0u, 0, 1},
        {"z", 36, 1, 0u, 35, 1},
        {"1012", 2, 4, 0u, 5, 3},
        {"2147483647", 10, 10, 0u, 2147483647, 10},
        {"2147483648", 10, 10, 0x80000002u, 0x7FFFFFFF, 10},
        {"99999999999 ", 10, 12, 0x80000002u, 0x7FFFFFFF, 11},  // digits after the hold are consumed
        {"-2147483648", 10, 11, 0u, std::numeric_limits<int32_t>::min(), 11},
        {"-2147483649", 10, 11, 0x80000003u, std::numeric_limits<int32_t>::min(), 11},
        {"-12345", 10, 3, 0u, -12, 3},
        {"  +", 10, 3, 0u, 0, 3},             // no digits: 0 with success
        {"abc", 10, 3, 0u, 0, 0},
        {"", 10, 0, 0u, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' base " << c.base << " length " << c.length);
        int32_t value = 0x5A5A5A5A;
        const char* end = nullptr;
        EXPECT_EQ(c.result, jlib_strntol(&value, c.text, &end, c.base, c.length));
        EXPECT_EQ(c.value, value);
        EXPECT_EQ(c.text + c.end, end);
    }
    int32_t value = 7;
    EXPECT_EQ(0x80000001u, jlib_strntol(nullptr, "1", nullptr, 10, 1));
    EXPECT_EQ(0x80000001u, jlib_strntol(&value, nullptr, nullptr, 10, 1));
    EXPECT_EQ(0x80000001u, jlib_strntol(&value, "1", nullptr, 1, 1));
    EXPECT_EQ(0x80000001u, jlib_strntol(&value, "1", nullptr, 37, 1));
    EXPECT_EQ(7, value);
    EXPECT_EQ(0u, jlib_strntol(&value, "12", nullptr, 10, 2));  // the end is optional
    EXPECT_EQ(12, value);
}

TEST(jlib_numberTest, StrntoulHoldsTheMagnitudeAndNegatesAfterAMinus)
{
    struct Case { const char* text; int base; uint32_t result; uint32_t value; uint32_t end; };
    const Case cases[] = {
        {"4294967295", 10, 0u, 0xFFFFFFFFu, 10},
        {"4294967296", 10, 0x80000002u, 0xFFFFFFFFu, 10},
        {"-1", 10, 0u, 0xFFFFFFFFu, 2},
        {"-4294967296", 10, 0x80000002u, 1u, 11},
        {"0xffffFFFF", 0, 0u, 0xFFFFFFFFu, 10},
        {"0x", 0, 0u, 0u, 2},
        {"777", 8, 0u, 0777u, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' base " << c.base);
        uint32_t value = 0x5A5A5A5A;
        const char* end = nullptr;
        EXPECT_EQ(c.result, jlib_strntoul(&value, c.text, &end, c.base, static_cast<uint32_t>(std::strlen(c.text))));
        EXPECT_EQ(c.value, value);
        EXPECT_EQ(c.text + c.end, end);
    }
    uint32_t value = 0;
    EXPECT_EQ(0x80000001u, jlib_strntoul(nullptr, "1", nullptr, 10, 1));
    EXPECT_EQ(0x80000001u, jlib_strntoul(&value, nullptr, nullptr, 10, 1));
    EXPECT_EQ(0x80000001u, jlib_strntoul(&value, "1", nullptr, -1, 1));
}

TEST(jlib_numberTest, StrntodReadsDigitsAndDotsWithoutExponent)
{
    struct Case { const char* text; uint32_t length; double value; uint32_t end; };
    const Case cases[] = {
        {"-1.25", 5, -1.25, 5},
        {"1.2.3", 5, 1.23, 5},
        {"1e5", 3, 1.0, 1},
        {" +.5x", 5, 0.5, 4},
        {"12.75", 4, 12.7, 4},
        {"abc", 3, 0.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -999.0;
        const char* end = nullptr;
        EXPECT_EQ(0u, jlib_strntod(&value, c.text, &end, c.length));
        EXPECT_NEAR(c.value, value, 1e-12);
        EXPECT_EQ(c.text + c.end, end);
    }
    double value = 0;
    EXPECT_EQ(0x80000001u, jlib_strntod(nullptr, "1", nullptr, 1));
    EXPECT_EQ(0x80000001u, jlib_strntod(&value, nullptr, nullptr, 1));
}

TEST(jlib_numberTest, Str2valueClassifiesLiterals)
{
    struct Case { const char* text; uint64_t length; uint32_t result; CATEGORY_JLIB_TYPE category; uint32_t bits; float f; };
    const auto U = CATEGORY_JLIB_UNSIGNED;
    const auto N = CATEGORY_JLIB_NEGATIVE;
    const auto F = CATEGORY_JLIB_FLOAT;
    const Case cases[] = {
        {"42", 3, 0u, U, 42u, 0},
        {"+42", 4, 0u, U, 42u, 0},
        {"-42", 4, 0u, N, static_cast<uint32_t>(-42), 0},
        {"-0", 3, 0u, N, 0u, 0},
        {"1.5", 4, 0u, F, 0, 1.5f},
        {"1.5f", 5, 0u, F, 0, 1.5f},
        {"-.25", 5, 0u, F, 0, -0.25f},
        {"3.", 3, 0u, U, 3u, 0},              // a dot without fraction digits stays an integer
        {"0x1F", 5, 0u, U, 31u, 0},
        {"0X1fu", 6, 0u, U, 31u, 0},
        {"x1F", 4, 0u, U, 31u, 0},
        {"017", 4, 0u, U, 15u, 0},
        {"0017L", 6, 0u, U, 15u, 0},
        {"0", 2, 0u, U, 0u, 0},
        {"000", 3, 1u, U, 0u, 0},
        {"0.5", 4, 0u, F, 0, 0.5f},
        {"10ul", 5, 0u, U, 10u, 0},
        {"10UL", 5, 0u, U, 10u, 0},
        {"10u", 4, 0u, U, 10u, 0},
        {"2e3", 4, 0u, F, 0, 2000.0f},
        {"1.5e-3", 7, 0u, F, 0, 0.0015f},
        {"-2E+2", 6, 0u, F, 0, -200.0f},
        {".5e1", 5, 0u, F, 0, 5.0f},
        {"5e0", 4, 0u, U, 5u, 0},
        {"-5e-0", 6, 0u, N, static_cast<uint32_t>(-5), 0},
        {"42", 2, 1u, U, 42u, 0},             // no terminator within the length
        {"4299", 2, 1u, U, 42u, 0},
        {"12\0" "99", 5, 0u, U, 12u, 0},       // the NUL ends the text
        {"0xFFFFFFFF", 11, 0u, U, 0xFFFFFFFFu, 0},
        {"0x100000001", 12, 0u, U, 1u, 0},    // 32-bit wrap
        {"4294967297", 11, 0u, U, 1u, 0},     // 32-bit wrap
        {"1e40", 5, 0u, F, 0, std::numeric_limits<float>::infinity()},
        {"0.1234567891234", 16, 0u, F, 0, 0.1234567891234f},
        {"1e99999999999999999999", 23, 0u, F, 0, std::numeric_limits<float>::infinity()},
        {"-1e-99999", 10, 0u, F, 0, -0.0f},
        {"0e99999", 8, 0u, F, 0, 0.0f},                  // zero stays zero, not NaN
        {"0.000e5", 8, 0u, F, 0, 0.0f},
        {"0.333333333333333333333333333333", 33, 0u, F, 0, 1.0f / 3.0f},
        {"1234567890123456789012345.5", 28, 0u, F, 0, 1.2345679e24f},
        {"1234567890123456789012345", 26, 0u, U, 0x3DE2DF79u, 0},  // wraps modulo 2^32
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.text << "' length " << c.length);
        uint32_t bits = 0x5A5A5A5A;
        auto category = static_cast<CATEGORY_JLIB_TYPE>(77);
        EXPECT_EQ(c.result, jlib_str2value(&bits, &category, c.text, c.length));
        EXPECT_EQ(c.category, category);
        if (c.category == F) {
            EXPECT_FLOAT_EQ(c.f, bitsToFloat(bits));
        } else {
            EXPECT_EQ(c.bits, bits);
        }
    }
}

TEST(jlib_numberTest, Str2valueRefusesMalformedTextsAndBadArguments)
{
    struct Case { const char* text; uint64_t length; uint32_t result; };
    const Case cases[] = {
        {"08", 3, 0x80000002u},
        {"019", 4, 0x80000002u},
        {"10lu", 5, 0x80000002u},
        {" 5", 3, 0x80000002u},
        {"5 ", 3, 0x80000002u},
        {"", 1, 0x80000002u},
        {"-", 2, 0x80000002u},
        {"+-5", 4, 0x80000002u},
        {"1.2.3", 6, 0x80000002u},
        {"2e", 2, 0x80000002u},
        {"2e", 3, 0x80000002u},
        {"2e+", 4, 0x80000002u},
        {"e5", 3, 0x80000002u},
        {"0x", 3, 0x80000002u},
        {"x", 2, 0x80000002u},
        {"0xfg", 5, 0x80000002u},
        {"1a", 3, 0x80000002u},
        {"f", 2, 0x80000002u},
        {"0x1F", 0, 0x80000001u},
        {nullptr, 4, 0x80000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << (c.text ? c.text : "(null)") << "' length " << c.length);
        uint32_t bits = 0x5A5A5A5A;
        auto category = static_cast<CATEGORY_JLIB_TYPE>(77);
        EXPECT_EQ(c.result, jlib_str2value(&bits, &category, c.text, c.length));
        EXPECT_EQ(0x5A5A5A5Au, bits);
        EXPECT_EQ(77, category);
    }
    uint32_t bits = 0;
    EXPECT_EQ(0x80000001u, jlib_str2value(&bits, nullptr, "1", 2));

    // Without a result pointer only the category is reported.
    auto category = CATEGORY_JLIB_UNSIGNED;
    EXPECT_EQ(0u, jlib_str2value(nullptr, &category, "-42", 4));
    EXPECT_EQ(CATEGORY_JLIB_NEGATIVE, category);
}

TEST(jlib_numberTest, Str2JVariantStoresByCategoryAndLeavesTheValueOnFailure)
{
    struct Case { const char* text; int type; CATEGORY_JLIB_TYPE category; JVariant expected; };
    const Case cases[] = {
        {"-7", 0, CATEGORY_JLIB_NEGATIVE, JVariant(-7)},
        {"7", 1, CATEGORY_JLIB_UNSIGNED, JVariant(7u)},
        {"0x10", 1, CATEGORY_JLIB_UNSIGNED, JVariant(16u)},
        {"2.5", 3, CATEGORY_JLIB_FLOAT, JVariant(2.5f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant value("held", 10);
        auto category = static_cast<CATEGORY_JLIB_TYPE>(77);
        EXPECT_EQ(0u, jlib_str2JVariant(&value, &category, c.text, std::strlen(c.text) + 1));
        EXPECT_EQ(c.category, category);
        EXPECT_EQ(c.type, value.getType());
        EXPECT_TRUE(value == c.expected);
    }

    JVariant value("held", 10);
    auto category = static_cast<CATEGORY_JLIB_TYPE>(77);
    EXPECT_EQ(0x80000002u, jlib_str2JVariant(&value, &category, "abc", 4));
    EXPECT_STREQ("held", value.toString());
    EXPECT_EQ(77, category);
    EXPECT_EQ(0x80000001u, jlib_str2JVariant(&value, nullptr, "1", 2));
    EXPECT_STREQ("held", value.toString());
    EXPECT_EQ(0x80000001u, jlib_str2JVariant(nullptr, &category, "1", 2));
    EXPECT_EQ(1u, jlib_str2JVariant(&value, &category, "12", 2));
    EXPECT_EQ(12u, value.toUInt32());
}
