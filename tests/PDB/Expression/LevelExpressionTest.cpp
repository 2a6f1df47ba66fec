#include "PDB/Expression/LevelExpression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "AttributeFor.h"
#include "PDB/Expression/ColorFormat.h"

using Expression::FinenessFine;
using Expression::FinenessNormal;
using Expression::LevelExpression;
using ExpressionTest::attributeFor;

namespace {

const LevelExpression kLevel;
const Expression::PrmAttribute kFullRange = attributeFor(-32768, 1000, 1, 100);

}  // namespace

TEST(LevelExpressionTest, TablesHoldTheLevelScale)
{
    const auto& normal = LevelExpression::NormalTable;
    const auto& fine = LevelExpression::FineTable;
    EXPECT_EQ(-32768, normal[0]);
    EXPECT_EQ(-13800, normal[1]);
    EXPECT_EQ(-1000, normal[22]);
    EXPECT_EQ(0, normal[32]);
    EXPECT_EQ(1000, normal[42]);
    struct Mark {
        size_t index;
        short value;
    };
    const Mark marks[] = {{0, -32768}, {1, -13800}, {2, -13500}, {15, -9600}, {16, -9500}, {33, -7800},
                          {34, -7780}, {223, -4000}, {224, -3990}, {423, -2000}, {424, -1995}, {1023, 1000}};
    for (const Mark& m : marks) {
        SCOPED_TRACE(m.index);
        EXPECT_EQ(m.value, fine[m.index]);
    }
    EXPECT_TRUE(std::is_sorted(fine.begin(), fine.end(), [](short a, short b) { return a <= b; }));
    for (short v : normal) {
        SCOPED_TRACE(v);
        EXPECT_TRUE(std::binary_search(fine.begin(), fine.end(), v));
    }
}

TEST(LevelExpressionTest, PrintsLevelsAndMinusInfinity)
{
    struct Case {
        int value;
        int minimum;
        uint32_t size;
        uint32_t result;
        const char* text;
        uint32_t length;
    };
    const Case cases[] = {
        {-32768, -32768, 128, 0, "-\xE2\x88\x9E", 5},
        {-13800, -13800, 128, 0, "-\xE2\x88\x9E", 5},  // whatever the minimum is, it reads -∞
        {-32768 + 65536, -32768, 128, 0, "-\xE2\x88\x9E", 5},  // compared in 16 bits
        {-9999, -32768, 128, 0, "-99.99", 7},
        {-10000, -32768, 128, 0, "-100.0", 7},
        {-13800, -32768, 128, 0, "-138.0", 7},
        {-600, -32768, 128, 0, "-6.00", 6},
        {1000, -32768, 128, 0, "10.00", 6},
        {0, -32768, 128, 0, "0.00", 5},
        {-32768, -32768, 4, 0x80000006, nullptr, 0},  // "-∞" needs 5 bytes
        {-600, -32768, 7, 0x80000006, nullptr, 0},    // below the 16-bit printer's 8 bytes
        {-600, -32768, 0, 0x80000007, nullptr, 0x5A5A5A5A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.size));
        char buffer[128];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kLevel.toText(buffer, length, c.size, JVariant(c.value),
                                          attributeFor(c.minimum, 1000, 1, 100), 0));
        EXPECT_EQ(c.length, length);
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, buffer);
        }
        if (c.size < sizeof buffer) {
            EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[c.size]));
        }
    }
}

TEST(LevelExpressionTest, ReadsTextToNearestFineEntry)
{
    struct Case {
        const char* text;
        uint32_t result;
        int value;
    };
    const Case cases[] = {
        {"-6", 0, -600},
        {"-6.01", 0, -600},     // -600.5 is cut to -600, an entry
        {"-6.02", 0, -600},     // -601.5 cut to -601, nearer -600 than -605
        {"-6.04", 0, -605},     // -603.5 cut to -603, nearer -605
        {"-200", 0, -13800},    // above the midpoint of -32768 and -13800
        {"-300", 0, -32768},
        {"20", 0, 1000},
        {"-inf", 0, -32768},
        {"1e9", 0, 1000},
        {" 3 ", 0, 300},
        {"nan", 0x80000003, 77},   // a number with no place on the scale
        {"abc", 0x80000003, 77},
        {"3dB", 0x80000003, 77},   // two letters after the number
        {"3x", 0x80000003, 77},    // not a prefix letter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant out(77);
        EXPECT_EQ(c.result, kLevel.fromText(out, c.text, static_cast<uint32_t>(std::strlen(c.text)), kFullRange));
        EXPECT_EQ(c.value, out.toInt32());
        EXPECT_EQ(JVariant::kTypeInt32, out.getType());
    }
    JVariant out(77);
    EXPECT_EQ(0x80000003u, kLevel.fromText(out, "-6", 0, kFullRange));
    EXPECT_EQ(0x80000003u, kLevel.fromText(out, nullptr, 2, kFullRange));
    EXPECT_EQ(77, out.toInt32());
}

TEST(LevelExpressionTest, RoundsInTheChosenTable)
{
    struct Case {
        int in;
        Expression::FinenessOption fineness;
        int out;
    };
    const Case cases[] = {
        {-950, FinenessNormal, -1000},  // midway goes to the lower entry
        {-950, FinenessFine, -950},
        {-951, FinenessNormal, -1000},
        {-949, FinenessNormal, -900},
        {-950, static_cast<Expression::FinenessOption>(3), -1000},  // other values: normal table
        {5000, FinenessFine, 1000},                                  // the range is not applied
        {-100000, FinenessFine, -32768},                             // held to 16 bits, not wrapped
        {100000, FinenessNormal, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + " fineness " + std::to_string(c.fineness));
        JVariant out;
        EXPECT_EQ(0u, kLevel.rounding(out, JVariant(c.in), attributeFor(-100, 100, 1), c.fineness));
        EXPECT_EQ(c.out, out.toInt32());
    }
}

TEST(LevelExpressionTest, StepsThroughTableWithinAttributeRange)
{
    struct Case {
        int in;
        int32_t count;
        uint32_t speed;
        Expression::FinenessOption fineness;
        int maximum;
        int out;
    };
    const Case cases[] = {
        {0, 1, 1, FinenessFine, 1000, 5},
        {1000, 1, 1, FinenessFine, 1000, 1000},
        {595, 1, 1, FinenessFine, 600, 600},
        {600, 3, 1, FinenessFine, 600, 600},
        {0, 1, 1, FinenessNormal, 1000, 100},
        {0, -1, 1, FinenessNormal, 1000, -100},
        {0, 1, 0, FinenessNormal, 1000, 100},           // speed 0 counts as 1
        {-32768, -5, 1, FinenessFine, 1000, -32768},
        {0, 2147483647, 10, FinenessFine, 1000, 1000},  // no overflow on a huge count
        {0, -2147483647 - 1, 10, FinenessFine, 1000, -32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + " by " + std::to_string(c.count));
        JVariant out;
        EXPECT_EQ(0u, kLevel.incDec(out, JVariant(c.in), attributeFor(-32768, c.maximum, 1), c.count, c.speed,
                                    c.fineness));
        EXPECT_EQ(c.out, out.toInt32());
    }
    // The resolution is the table length, so fast turns move many entries.
    EXPECT_EQ(1024u, kLevel.getResolution(kFullRange, FinenessFine));
    EXPECT_EQ(43u, kLevel.getResolution(kFullRange, FinenessNormal));
    EXPECT_EQ(1024u / 12u, kLevel.speedToDelta(kFullRange, 10, FinenessFine));
}

TEST(LevelExpressionTest, FollowsTheKnobCurve)
{
    struct ToCase {
        int value;
        uint32_t degree;
    };
    const ToCase to[] = {{-32768, 30}, {-14100, 31}, {-6000, 50}, {-4000, 90}, {-2000, 150},
                         {0, 270},     {1000, 330},  {2000, 330}, {-500, 240}, {-100000, 30}};
    for (const ToCase& c : to) {
        SCOPED_TRACE(c.value);
        uint32_t degree = 0x5A5A5A5A;
        EXPECT_EQ(0u, kLevel.toDegree(degree, JVariant(c.value), attributeFor(0, 10, 1)));  // the range is ignored
        EXPECT_EQ(c.degree, degree);
    }
    struct FromCase {
        uint32_t degree;
        int minimum;
        int value;
    };
    const FromCase from[] = {
        {30, -32768, -32768}, {0, -32768, -32768}, {30, -6000, -6000}, {31, -32768, -13800}, {50, -32768, -6000},
        {90, -32768, -4000},  {150, -32768, -2000}, {270, -32768, 0},   {330, -32768, 1000},  {360, -32768, 1000},
        {3000, -32768, 1000}, {4294967295u, -32768, 1000},  // large angles stay at the top, never wrap round
    };
    for (const FromCase& c : from) {
        SCOPED_TRACE(c.degree);
        JVariant out(77);
        EXPECT_EQ(0u, kLevel.fromDegree(out, c.degree, attributeFor(c.minimum, 1000, 1)));
        EXPECT_EQ(c.value, out.toInt32());
    }
}

TEST(LevelExpressionTest, LightsMeterSegments)
{
    struct Case {
        int value;
        uint32_t count;
        uint32_t lit;
    };
    const Case cases[] = {
        {-32768, 10, 0}, {-13800, 10, 0}, {-6000, 10, 1}, {-3000, 10, 3}, {-600, 10, 6}, {-100, 10, 8},
        {0, 10, 8},      {100, 10, 9},    {600, 10, 9},   {700, 10, 10},  {1000, 10, 10}, {-13800, 20, 1},
        {0, 20, 16},     {100, 20, 17},   {700, 20, 20},  {1000, 20, 20}, {5000, 10, 10},
        {0, 43, 33},     {1, 43, 34},     {1000, 50, 43},  // more segments than entries: one entry each
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " on " + std::to_string(c.count));
        Expression::ColorFormat colors[64];
        for (auto& color : colors) color.light();
        EXPECT_EQ(0u, kLevel.toIndicator(colors, c.count, JVariant(c.value)));
        for (uint32_t i = 0; i < c.count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(i < c.lit ? 0xFF : 0x00, colors[i].component[0]);
            EXPECT_EQ(colors[i].component[0], colors[i].component[3]);
        }
        EXPECT_EQ(0xFF, colors[c.count].component[0]);  // beyond the count nothing is touched
    }
    Expression::ColorFormat untouched;
    untouched.light();
    EXPECT_EQ(0u, kLevel.toIndicator(&untouched, 0, JVariant(0)));
    EXPECT_EQ(0xFF, untouched.component[0]);
}

TEST(LevelExpressionTest, PlacesRatiosByTablePosition)
{
    const auto attr = attributeFor(-32768, 1000, 1);
    struct FromCase {
        uint32_t ratio;
        uint32_t steps;
        uint32_t result;
        int value;
    };
    const FromCase from[] = {
        {999, 1000, 0, 1000}, {0, 1000, 0, -32768}, {5000, 1000, 0, 1000}, {1, 1, 0x80000003, 77},
    };
    for (const FromCase& c : from) {
        SCOPED_TRACE(c.ratio);
        JVariant out(77);
        EXPECT_EQ(c.result, kLevel.fromRatio(out, c.ratio, c.steps, attr));
        EXPECT_EQ(c.value, out.toInt32());
    }
    // A narrower range maps the whole scale onto its part of the table.
    JVariant out;
    EXPECT_EQ(0u, kLevel.fromRatio(out, 999, 1000, attributeFor(-2000, 0, 1)));
    EXPECT_EQ(0, out.toInt32());
    EXPECT_EQ(0u, kLevel.fromRatio(out, 0, 1000, attributeFor(-2000, 0, 1)));
    EXPECT_EQ(-2000, out.toInt32());

    struct ToCase {
        int value;
        uint32_t ratio;
    };
    const ToCase to[] = {{-32768, 0}, {1000, 999}, {-2000, 0}, {0, 999}, {1000, 1000}};
    for (size_t i = 0; i < std::size(to); ++i) {
        SCOPED_TRACE(to[i].value);
        const auto& range = i < 2 ? attr : attributeFor(-2000, 0, 1);
        uint32_t ratio = 0x5A5A5A5A;
        EXPECT_EQ(0u, kLevel.toRatio(ratio, 1000, JVariant(to[i].value), range));
        EXPECT_EQ(to[i].ratio, ratio);  // above the maximum: one past the top of the scale
    }
}
