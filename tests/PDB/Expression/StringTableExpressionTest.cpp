#include "PDB/Expression/StringTableExpression.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeFor.h"

using Expression::FinenessFine;
using Expression::StringTableExpression;
using ExpressionTest::attributeFor;

namespace {

const StringTableExpression::TableForm kRows[] = {
    {"Off", nullptr, nullptr},
    {"Low", "Lo", nullptr},
    {"High", "Hi", "H"},
};
const StringTableExpression kTable(kRows, 3, 30, 330);
const StringTableExpression kNoTable(nullptr, 0, 30, 330);
const Expression::PrmAttribute kAttr = attributeFor(0, 3, 1);

std::string textOf(const JVariant& v)
{
    return v.getType() == JVariant::kTypeString ? v.toString() : "<not a String>";
}

}  // namespace

TEST(StringTableExpressionTest, ReadsAnyRowTextInAnyCase)
{
    struct Case {
        const StringTableExpression* expression;
        const char* text;
        uint32_t length;
        uint32_t result;
        unsigned row;
    };
    const Case cases[] = {
        {&kTable, "hi", 2, 0, 2},    {&kTable, "lo", 2, 0, 1},          {&kTable, "OFF", 3, 0, 0},
        {&kTable, "h", 1, 0, 2},     {&kTable, "Medium", 6, 0x80000003, 77}, {&kTable, "", 1, 0x80000003, 77},
        {&kTable, "hi", 0, 0x80000003, 77}, {&kNoTable, "hi", 2, 0x80000004, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant out(77u);
        EXPECT_EQ(c.result, c.expression->fromText(out, c.text, c.length, kAttr));
        EXPECT_EQ(c.row, out.toUInt32());
        EXPECT_EQ(JVariant::kTypeUInt32, out.getType());
    }
}

TEST(StringTableExpressionTest, ShowsRowTextChosenBySelector)
{
    struct Case {
        const StringTableExpression* expression;
        JVariant value;
        uint16_t flags;
        uint32_t size;
        uint32_t result;
        const char* text;
    };
    const Case cases[] = {
        {&kTable, JVariant(1), 2, 32, 0, "Lo"},
        {&kTable, JVariant(1), 4, 32, 0, "Low"},  // no third text: the first stands in
        {&kTable, JVariant(1), 1, 32, 0, "Low"},
        {&kTable, JVariant(0), 2, 32, 0, "Off"},
        {&kTable, JVariant(1), 3, 32, 0x80000007, nullptr},
        {&kTable, JVariant("off", 3u), 1, 32, 0, "Off"},
        {&kTable, JVariant("H", 1u), 2, 32, 0, "Hi"},
        {&kTable, JVariant("none", 4u), 1, 32, 0x80000003, nullptr},
        {&kTable, JVariant(3), 1, 32, 0x80000005, nullptr},
        {&kTable, JVariant(-1), 1, 32, 0x80000005, nullptr},
        {&kTable, JVariant(2), 1, 4, 0x80000006, nullptr},  // "High" needs 5 bytes
        {&kTable, JVariant(2), 1, 5, 0, "High"},
        {&kTable, JVariant(reinterpret_cast<const unsigned char*>("x"), 1u), 1, 32, 0x80000005, nullptr},
        {&kTable, JVariant(1), 1, 0, 0x80000006, nullptr},
        {&kNoTable, JVariant("off", 3u), 1, 32, 0x80000004, nullptr},
        {&kNoTable, JVariant(0), 1, 32, 0x80000005, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        char buffer[32];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, c.expression->toText(buffer, length, c.size, c.value, kAttr, c.flags));
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, buffer);
            EXPECT_EQ(std::strlen(c.text) + 1, length);
        }
        if (c.size < sizeof buffer) {
            EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[c.size]));
        }
    }
    char buffer[32];
    uint32_t length = 0;
    EXPECT_EQ(0x80000006u, kTable.toText(nullptr, length, 32, JVariant(1), kAttr, 1));
    EXPECT_EQ(0u, kTable.getLength(length, JVariant(2), kAttr, 1));
    EXPECT_EQ(5u, length);
    EXPECT_EQ(0u, kTable.toText(buffer, length, sizeof buffer, JVariant(2), attributeFor(0, 3, 1, 1, "dB"),
                                1 | Expression::kWithUnit));
    EXPECT_STREQ("HighdB", buffer);
}

TEST(StringTableExpressionTest, StepsByRowsAndWritesSecondText)
{
    struct Case {
        const StringTableExpression* expression;
        JVariant in;
        int32_t count;
        uint32_t result;
        const char* text;  // null: the out value keeps its number
    };
    const Case cases[] = {
        {&kTable, JVariant("Low", 3u), 5, 0, "Hi"},
        {&kTable, JVariant("Low", 3u), -5, 0, "Off"},
        {&kTable, JVariant(0), 1, 0, "Lo"},
        {&kTable, JVariant(-7), 1, 0, "Off"},
        {&kTable, JVariant("nothing", 7u), 1, 0x80000003, nullptr},
        {&kTable, JVariant(reinterpret_cast<const unsigned char*>("x"), 1u), 1, 0x80000005, nullptr},
        {&kTable, JVariant(1), 2147483647, 0, "Hi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        JVariant out(77);
        EXPECT_EQ(c.result, c.expression->incDec(out, c.in, kAttr, c.count, 10, FinenessFine));
        if (c.text != nullptr)
            EXPECT_EQ(c.text, textOf(out));
        else
            EXPECT_EQ(77, out.toInt32());
    }
    // Without a table the linear stepping applies.
    JVariant out;
    EXPECT_EQ(0u, kNoTable.incDec(out, JVariant(1), attributeFor(0, 10, 1), 2, 1, FinenessFine));
    EXPECT_EQ(3, out.toInt32());
}

TEST(StringTableExpressionTest, SpreadsRowsOverKnobAndScale)
{
    struct DegreeCase {
        JVariant value;
        uint32_t result;
        uint32_t degree;
    };
    const DegreeCase to[] = {
        {JVariant(0), 0, 30}, {JVariant(1), 0, 180}, {JVariant(2), 0, 330}, {JVariant(4), 0, 330},
        {JVariant(3), 0, 480}, {JVariant("hi", 2u), 0, 330}, {JVariant("x", 1u), 0x80000003, 0x5A5A5A5A},
    };
    for (const DegreeCase& c : to) {
        SCOPED_TRACE(std::to_string(&c - to));
        uint32_t degree = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kTable.toDegree(degree, c.value, kAttr));
        EXPECT_EQ(c.degree, degree);
    }
    JVariant out;
    EXPECT_EQ(0u, kTable.fromDegree(out, 200, kAttr));
    EXPECT_EQ("Lo", textOf(out));
    EXPECT_EQ(0u, kTable.fromDegree(out, 0, kAttr));
    EXPECT_EQ("Off", textOf(out));
    EXPECT_EQ(0u, kTable.fromDegree(out, 1000, kAttr));
    EXPECT_EQ("Hi", textOf(out));

    uint32_t ratio = 0x5A5A5A5A;
    EXPECT_EQ(0u, kTable.toRatio(ratio, 1000, JVariant(2), kAttr));
    EXPECT_EQ(999u, ratio);
    EXPECT_EQ(0u, kTable.toRatio(ratio, 1000, JVariant(4), kAttr));
    EXPECT_EQ(1000u, ratio);
    EXPECT_EQ(0x80000003u, kTable.toRatio(ratio, 0, JVariant(1), kAttr));
    EXPECT_EQ(0u, ratio);
    EXPECT_EQ(0u, kTable.fromRatio(out, 999, 1000, kAttr));
    EXPECT_EQ(2u, out.toUInt32());
    EXPECT_EQ(JVariant::kTypeUInt32, out.getType());
    EXPECT_EQ(0u, kTable.fromRatio(out, 500, 1000, kAttr));
    EXPECT_EQ(1u, out.toUInt32());
    EXPECT_EQ(0x80000003u, kTable.fromRatio(out, 5, 1, kAttr));
    EXPECT_EQ(0, out.toInt32());
}

TEST(StringTableExpressionTest, OneRowAndNoRowsNeverDivideByZero)
{
    const StringTableExpression::TableForm oneRow[] = {{"Only", "On", nullptr}};
    const StringTableExpression single(oneRow, 1, 30, 330);
    uint32_t degree = 0x5A5A5A5A;
    EXPECT_EQ(0u, single.toDegree(degree, JVariant(0), kAttr));
    EXPECT_EQ(30u, degree);
    uint32_t ratio = 0x5A5A5A5A;
    EXPECT_EQ(0u, single.toRatio(ratio, 1000, JVariant(0), kAttr));
    EXPECT_EQ(0u, ratio);
    JVariant out;
    EXPECT_EQ(0u, single.fromDegree(out, 300, kAttr));
    EXPECT_EQ("On", textOf(out));
    EXPECT_EQ(0u, single.fromRatio(out, 400, 1000, kAttr));
    EXPECT_EQ(0u, out.toUInt32());

    // Without rows a scale position has no row index; the linear conversion answers instead.
    EXPECT_EQ(0u, kNoTable.fromRatio(out, 999, 1000, attributeFor(0, 50, 1)));
    EXPECT_EQ(50, out.toInt32());
    EXPECT_EQ(0x80000003u, kNoTable.fromDegree(out, 100, kAttr));
    const StringTableExpression flatKnob(kRows, 3, 90, 90);
    EXPECT_EQ(0x80000003u, flatKnob.fromDegree(out, 90, kAttr));
}

TEST(StringTableExpressionTest, AnswersTableQueries)
{
    uint32_t count = 0x5A5A5A5A;
    uint32_t longest = 0x5A5A5A5A;
    EXPECT_EQ(0u, kTable.getTableNum(count, nullptr, 9));
    EXPECT_EQ(3u, count);
    struct Case {
        uint16_t selector;
        uint32_t result;
        uint32_t longest;
    };
    const Case cases[] = {{1, 0, 4}, {2, 0, 3}, {4, 0, 3}, {0x101, 0, 4}, {3, 0x80000007, 0x5A5A5A5A}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selector);
        count = 0x5A5A5A5A;
        longest = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kTable.getTableNum(count, &longest, c.selector));
        EXPECT_EQ(3u, count);
        EXPECT_EQ(c.longest, longest);
    }
    count = 0x5A5A5A5A;
    EXPECT_EQ(0x80000007u, kNoTable.getTableNum(count, &longest, 1));
    EXPECT_EQ(0x5A5A5A5Au, count);

    char buffer[8];
    uint32_t length = 0x5A5A5A5A;
    EXPECT_EQ(0u, kTable.getTableText(buffer, length, sizeof buffer, 2, 4));
    EXPECT_STREQ("H", buffer);
    EXPECT_EQ(1u, length);
    EXPECT_EQ(0x80000006u, kTable.getTableText(buffer, length, 4, 2, 1));
    EXPECT_EQ(0x80000005u, kTable.getTableText(buffer, length, sizeof buffer, 3, 1));
    EXPECT_EQ(0x80000007u, kTable.getTableText(buffer, length, sizeof buffer, 0, 8));
    EXPECT_EQ(0x80000007u, kTable.getTableText(nullptr, length, sizeof buffer, 0, 1));
    EXPECT_EQ(0x80000007u, kNoTable.getTableText(buffer, length, sizeof buffer, 0, 1));

    EXPECT_EQ(3u, kTable.getResolution(kAttr, FinenessFine));
    EXPECT_EQ(10u, kNoTable.getResolution(attributeFor(0, 10, 1), FinenessFine));
}

TEST(StringTableExpressionTest, ConvertsIndexesWithinTableAndRange)
{
    const auto range = attributeFor(0, 2, 1);  // the maximum is exclusive here
    struct Case {
        uint32_t index;
        uint32_t result;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {2, 0x80000005}, {3, 0x80000005}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        JVariant out(77);
        EXPECT_EQ(c.result, kTable.indexToValue(out, c.index, range));
        EXPECT_EQ(c.result == 0 ? c.index : 77u, out.toUInt32());
        uint32_t index = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kTable.valueToIndex(index, JVariant(c.index), range));
        EXPECT_EQ(c.result == 0 ? c.index : 0x5A5A5A5Au, index);
    }
    JVariant out;
    EXPECT_EQ(0x80000005u, kTable.indexToValue(out, 0, attributeFor(1, 3, 1)));
    EXPECT_EQ(0x80000007u, kNoTable.indexToValue(out, 0, range));
    uint32_t index = 0;
    EXPECT_EQ(0x80000007u, kNoTable.valueToIndex(index, JVariant(0), range));
}
