#include "common/Lpc/LpcValueConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

TEST(LpcValueConversionTest, SplitsAtTheFirstSeparatorNotLeadingTheText)
{
    struct Case {
        const char* text;
        const char* separator;
        JLIB::JResult result;
        const char* head;
        const char* tail;
    };
    const Case cases[] = {
        {"Dante@12", "@", 0, "Dante", "12"},
        {"a@b@c", "@", 0, "a", "b@c"},
        {"Dante@", "@", 0, "Dante", ""},
        {"ab::cd", "::", 0, "ab", ":cd"},  // the tail starts one character after the separator's start
        {"@12", "@", 0x80000000u, "old head", "old tail"},
        {"Dante12", "@", 0x80000000u, "old head", "old tail"},
        {"", "@", 0x80000000u, "old head", "old tail"},
        {"Dante@12", "", 0x80000000u, "old head", "old tail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at " + c.separator);
        std::string head = "old head";
        std::string tail = "old tail";
        EXPECT_EQ(c.result, LPC::split(c.text, head, tail, c.separator));
        EXPECT_EQ(c.head, head);
        EXPECT_EQ(c.tail, tail);
    }
}

TEST(LpcValueConversionTest, ConvertsBetweenPositionsAndFractions)
{
    EXPECT_EQ(0.6, LPC::toNormalizedValue(3, 5));
    EXPECT_EQ(-0.25, LPC::toNormalizedValue(1, -4));
    EXPECT_EQ(0.0, LPC::toNormalizedValue(3, 0));

    struct Case {
        double normalised;
        int32_t factor;
        uint32_t expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.6, 5, 3u},
        {0.99, 5, 4u},
        {-0.2, 5, 0xFFFFFFFFu},  // the low 32 bits of -1
        {-2.9, 1, 0xFFFFFFFEu},
        {2147483647.0, 1, 0x7FFFFFFFu},
        {std::nan(""), 5, 0u},
        {inf, 5, 0x7FFFFFFFu},
        {-inf, 5, 0x80000000u},
        {1e300, 5, 0x7FFFFFFFu},
        {-1e300, 5, 0x80000000u},
        {1.0, std::numeric_limits<int32_t>::min(), 0x80000000u},
        {-1.0, std::numeric_limits<int32_t>::min(), 0x7FFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.normalised);
        EXPECT_EQ(c.expected, LPC::toInternalValue(c.normalised, c.factor));
    }
}

TEST(LpcValueConversionTest, TableFunctionsWithoutATableOrScalingGiveNothing)
{
    const LPC::NormalizedValueTable table[] = {{0.0, 0.0}, {1.0, 10.0}};
    for (const bool before : {false, true}) {
        bool flag = before;
        EXPECT_EQ(0.0, LPC::normalizeWithTable(JVariant(5), 0, 0, 1, &flag, nullptr, 2));
        EXPECT_EQ(0.0, LPC::normalizeWithTable(JVariant(5), 0, 0, 1, &flag, table, 0));
        EXPECT_EQ(0.0, LPC::normalizeWithTable(JVariant(5), 0, 0, 0, &flag, table, 2));
        EXPECT_EQ(before, flag);
    }
    EXPECT_FALSE(LPC::reverseWithTable(0.5, 0, 0, 1, nullptr, 2).isValid());
    EXPECT_FALSE(LPC::reverseWithTable(0.5, 0, 0, 1, table, 0).isValid());
    EXPECT_FALSE(LPC::reverseWithTable(0.5, 0, 0, 0, table, 2).isValid());
    EXPECT_EQ(5, LPC::reverseWithTable(0.5, 0, 0, 1, table, 2).toInt32());
    EXPECT_EQ(0.5, LPC::normalizeWithTable(JVariant(50u), 0, 0, 10, nullptr, table, 2));
    EXPECT_EQ(0.0, LPC::normalizeWithTable(JVariant("5", 1), 0, 0, 1, nullptr, table, 2));  // a text reads as 0
}

TEST(LpcValueConversionTest, OnOffHoldsToZeroAndOne)
{
    struct Case {
        JVariant value;
        double normalised;
        bool flag;
    };
    const Case cases[] = {
        {JVariant(2), 1.0, true}, {JVariant(-1), 0.0, true}, {JVariant(0.3f), 0.3f, false},
        {JVariant(1u), 1.0, false}, {JVariant("1", 1), 0.0, false},
    };
    for (const Case& c : cases) {
        bool flag = !c.flag;
        EXPECT_EQ(c.normalised, LPC::MurOnOffConverter_normalize(c.value, 0, 1, 1, &flag));
        EXPECT_EQ(c.flag, flag);
    }
    EXPECT_EQ(1, LPC::MurOnOffConverter_reverse(0.5, 0, 1, 1).toInt32());
    EXPECT_EQ(0, LPC::MurOnOffConverter_reverse(0.49, 0, 1, 1).toInt32());
    EXPECT_EQ(-1, LPC::MurOnOffConverter_reverse(-0.5, 0, 1, 1).toInt32());
    EXPECT_EQ(JVariant::kTypeInt32, LPC::MurOnOffConverter_reverse(0.5, 0, 1, 1).getType());
}
