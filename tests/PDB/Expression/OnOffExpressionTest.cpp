#include "PDB/Expression/OnOffExpression.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeFor.h"

using Expression::OnOffExpression;
using ExpressionTest::attributeFor;

TEST(OnOffExpressionTest, ShowsMinimumAsOffAndMaximumAsOn)
{
    const OnOffExpression onOff;
    struct Case {
        int minimum, maximum, value;
        uint32_t size;
        uint32_t result;
        const char* text;
        uint32_t length;
    };
    const Case cases[] = {
        {0, 1, 0, 32, 0, "OFF", 4},
        {0, 1, 1, 32, 0, "ON", 3},
        {0, 1, 2, 32, 0x80000005, nullptr, 0},
        {5, 5, 5, 32, 0, "OFF", 4},  // equal limits: OFF wins
        {-1, 7, 7, 4, 0, "ON", 3},
        {0, 1, 0, 4, 0, "OFF", 4},
        {0, 1, 0, 3, 0x80000007, nullptr, 0x5A5A5A5A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.minimum) + ".." + std::to_string(c.maximum));
        char buffer[32];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, onOff.toText(buffer, length, c.size, JVariant(c.value),
                                         attributeFor(c.minimum, c.maximum, 1), 0));
        EXPECT_EQ(c.length, length);
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, buffer);
        }
    }
    uint32_t length = 0;
    EXPECT_EQ(0x80000007u, onOff.toText(nullptr, length, 32, JVariant(0), attributeFor(0, 1, 1), 0));
}

TEST(OnOffExpressionTest, ReadsWordsAndDigitsInAnyCase)
{
    const OnOffExpression onOff;
    const auto attr = attributeFor(10, 20, 1);  // the range is not used: 0 and 1 are written
    struct Case {
        const char* text;
        uint32_t result;
        int value;
    };
    const Case cases[] = {
        {"on", 0, 1}, {"Off", 0, 0}, {"1", 0, 1}, {"0", 0, 0}, {"ON", 0, 1},
        {"yes", 0x80000003, -1}, {"", 0x80000003, -1}, {"onx", 0x80000003, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant out(-1);
        EXPECT_EQ(c.result, onOff.fromText(out, c.text, static_cast<uint32_t>(std::strlen(c.text)) + 1, attr));
        EXPECT_EQ(c.value, out.toInt32());
        EXPECT_EQ(JVariant::kTypeInt32, out.getType());
    }
    JVariant out(-1);
    EXPECT_EQ(0x80000003u, onOff.fromText(out, nullptr, 3, attr));
    EXPECT_EQ(0x80000003u, onOff.fromText(out, "on", 0, attr));
    EXPECT_EQ(-1, out.toInt32());
}

TEST(OnOffExpressionTest, KeepsLinearConversionsWithStandardKnob)
{
    const OnOffExpression onOff;
    const auto attr = attributeFor(0, 1, 1);
    uint32_t degree = 0;
    EXPECT_EQ(0u, onOff.toDegree(degree, JVariant(1), attr));
    EXPECT_EQ(330u, degree);
    EXPECT_EQ(0u, onOff.toDegree(degree, JVariant(0), attr));
    EXPECT_EQ(30u, degree);
    JVariant out;
    EXPECT_EQ(0u, onOff.rounding(out, JVariant(1), attr, Expression::FinenessFine));
    EXPECT_EQ(1, out.toInt32());
}
