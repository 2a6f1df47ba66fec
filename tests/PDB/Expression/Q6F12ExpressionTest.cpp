#include "PDB/Expression/Q6F12Expression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "AttributeFor.h"

using Expression::Q6F12Expression;
using ExpressionTest::attributeFor;

TEST(Q6F12ExpressionTest, TablesAreAscendingAndNested)
{
    const auto& normal = Q6F12Expression::NormalTable;
    const auto& fine = Q6F12Expression::FineTable;
    EXPECT_EQ(100, normal.front());
    EXPECT_EQ(63000, normal.back());
    EXPECT_EQ(100, fine.front());
    EXPECT_EQ(63000, fine.back());
    EXPECT_TRUE(std::is_sorted(normal.begin(), normal.end(), [](auto a, auto b) { return a <= b; }));
    EXPECT_TRUE(std::is_sorted(fine.begin(), fine.end(), [](auto a, auto b) { return a <= b; }));
    for (unsigned short v : normal) {
        SCOPED_TRACE(v);
        EXPECT_TRUE(std::binary_search(fine.begin(), fine.end(), v));
    }
}

TEST(Q6F12ExpressionTest, BlanksTrailingFractionZerosKeepingWidth)
{
    const Q6F12Expression q;
    struct Case {
        unsigned value;
        uint32_t scaling;
        const char* text;
        uint32_t length;
    };
    const Case cases[] = {
        {100, 100, "1.  ", 5},    {110, 100, "1.1 ", 5},  {125, 100, "1.25", 5},     {63000, 100, "630.  ", 7},
        {105, 100, "1.05", 5},    {120, 100, "1.2 ", 5},  {1000, 100, "10.  ", 6},   {100, 10, "10. ", 5},
        {100, 1, "100", 4},       // a whole number keeps its zeros
        {65536 + 110, 100, "1.1 ", 5},  // the low 16 bits
        {65535, 100, "\xE2\x88\x9E", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " / " + std::to_string(c.scaling));
        char buffer[128];
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(0u, q.toText(buffer, length, sizeof buffer, JVariant(c.value), attributeFor(100, 63000, 1, c.scaling),
                               0));
        EXPECT_STREQ(c.text, buffer);
        EXPECT_EQ(c.length, length);
    }
    char buffer[8];
    uint32_t length = 0;
    EXPECT_EQ(0x80000007u, q.toText(nullptr, length, 8, JVariant(100u), attributeFor(100, 63000, 1, 100), 0));
    EXPECT_EQ(0x80000006u, q.toText(buffer, length, 6, JVariant(100u), attributeFor(100, 63000, 1, 100), 0));
}

TEST(Q6F12ExpressionTest, StepsThroughFineTable)
{
    const Q6F12Expression q;
    const auto attr = attributeFor(100, 63000, 1, 100);
    JVariant out;
    EXPECT_EQ(0u, q.incDec(out, JVariant(100u), attr, 1, 1, Expression::FinenessFine));
    EXPECT_EQ(105u, out.toUInt32());
    EXPECT_EQ(0u, q.incDec(out, JVariant(100u), attr, 1, 1, Expression::FinenessNormal));
    EXPECT_EQ(110u, out.toUInt32());
    EXPECT_EQ(0u, q.incDec(out, JVariant(100u), attr, -1, 1, Expression::FinenessFine));
    EXPECT_EQ(100u, out.toUInt32());
    EXPECT_EQ(0u, q.fromText(out, "1.23", 4, attr));
    EXPECT_EQ(125u, out.toUInt32());
    EXPECT_EQ(0u, q.fromText(out, "1000", 4, attr));  // beyond 16 bits: held at the top
    EXPECT_EQ(63000u, out.toUInt32());
}
