#include "PDB/Expression/DefaultExpression.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AttributeFor.h"
#include "PDB/Expression/ColorFormat.h"

using Expression::DefaultExpression;
using Expression::FinenessFine;
using ExpressionTest::attributeFor;

namespace {

const DefaultExpression kLinear(330, 30);  // given high first: the smaller angle is the low end

}  // namespace

TEST(DefaultExpressionTest, RoundsToNearestStepInsideRange)
{
    struct Case {
        int minimum, maximum, step, in;
        uint32_t result;
        int out;
    };
    const Case cases[] = {
        {-100, 100, 10, 14, 0, 10},
        {-100, 100, 10, 15, 0, 20},
        {-100, 100, 10, -15, 0, -10},
        {-100, 100, 10, -14, 0, -10},
        {-100, 100, 10, -16, 0, -20},
        {-100, 100, 10, 101, 0x80000005, 100},
        {-100, 100, 10, -101, 0x80000005, -100},
        {-100, 100, 0, 37, 0, 37},         // a step of 0 is a step of 1
        {-100, 100, -10, 14, 0, 10},       // the step's sign does not matter
        {5, 100, 10, 7, 0, 5},             // steps count from 0: the minimum is the lower neighbour
        {1, 9, 10, 8, 0, 9},               // a range narrower than the step never rounds out of itself
        {-2147483647 - 1, 2147483647, 1000000000, 2100000000, 0, 2147483647},
        {-2147483647 - 1, 2147483647, 1000000000, -2100000000, 0, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + " step " + std::to_string(c.step));
        JVariant out(0x5A5A);
        EXPECT_EQ(c.result, kLinear.rounding(out, JVariant(c.in), attributeFor(c.minimum, c.maximum, c.step),
                                             FinenessFine));
        EXPECT_EQ(JVariant::kTypeInt32, out.getType());
        EXPECT_EQ(c.out, out.toInt32());
    }
}

TEST(DefaultExpressionTest, StepsByIncrementsAndStopsAtTheLimits)
{
    const auto attr = attributeFor(-100, 100, 10);
    struct Case {
        int in;
        int32_t count;
        uint32_t speed;
        uint32_t result;
        int out;
    };
    const Case cases[] = {
        {0, 1, 1, 0, 10},
        {0, -3, 1, 0, -30},
        {90, 5, 1, 0x80000005, 100},
        {0, 2147483647, 10, 0x80000005, 100},   // a huge move ends at the limit, not wrapped round
        {0, -2147483647 - 1, 10, 0x80000005, -100},
        {7, 0, 1, 0, 10},                       // no move still rounds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + " by " + std::to_string(c.count));
        JVariant out;
        EXPECT_EQ(c.result, kLinear.incDec(out, JVariant(c.in), attr, c.count, c.speed, FinenessFine));
        EXPECT_EQ(c.out, out.toInt32());
    }
}

TEST(DefaultExpressionTest, PrintsFixedPointTextWithScalingDecimals)
{
    struct Case {
        JVariant value;
        uint32_t scaling;
        uint32_t size;
        uint32_t result;
        const char* text;
        uint32_t length;
    };
    const int kMin = -2147483647 - 1;
    const Case cases[] = {
        {JVariant(150), 100, 32, 0, "1.50", 5},
        {JVariant(-5), 100, 32, 0, "-0.05", 6},
        {JVariant(42), 1, 32, 0, "42", 3},
        {JVariant(42), 0, 32, 0, "42", 3},
        {JVariant(12345), 1000, 32, 0, "12.345", 7},
        {JVariant(2147483647), 10, 32, 0, "\xE2\x88\x9E", 4},
        {JVariant(kMin), 10, 32, 0, "-\xE2\x88\x9E", 5},
        {JVariant(42), 1, 12, 0x80000006, nullptr, 0},  // below the printer's 13 bytes
        {JVariant(reinterpret_cast<const unsigned char*>("ab"), 2u), 1, 32, 0x80000005, nullptr, 0},
        {JVariant(1.5f), 1, 32, 0, "0", 2},  // a Float reads as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value.getType()) + " scaling " + std::to_string(c.scaling));
        char buffer[32];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kLinear.toText(buffer, length, c.size, c.value,
                                           attributeFor(kMin, 2147483647, 1, c.scaling), 0));
        EXPECT_EQ(c.length, length);
        if (c.text != nullptr) {
            EXPECT_STREQ(c.text, buffer);
        }
    }
}

TEST(DefaultExpressionTest, TextRefusesValuesOutsideRangeAndMissingBuffer)
{
    const auto attr = attributeFor(0, 100, 1);
    char buffer[32];
    uint32_t length = 0x5A5A5A5A;
    EXPECT_EQ(0x80000005u, kLinear.toText(buffer, length, sizeof buffer, JVariant(101), attr, 0));
    EXPECT_EQ(0u, length);
    EXPECT_EQ(0x80000006u, kLinear.toText(nullptr, length, sizeof buffer, JVariant(1), attr, 0));
    // A String value reads as 0 for the range check.
    EXPECT_EQ(0x80000005u,
              kLinear.toText(buffer, length, sizeof buffer, JVariant("abc", 3u), attributeFor(10, 20, 1), 0));
}

TEST(DefaultExpressionTest, CopiesStringValueAlwaysTerminated)
{
    const auto attr = attributeFor(-10, 10, 1);
    struct Case {
        uint32_t size;
        const char* text;
    };
    const Case cases[] = {{32, "Hello"}, {6, "Hello"}, {5, "Hell"}, {1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[40];
        std::memset(buffer, 0x5A, sizeof buffer);
        uint32_t length = 0x5A5A5A5A;
        EXPECT_EQ(0u, kLinear.toText(buffer, length, c.size, JVariant("Hello", 5u), attr, 0));
        EXPECT_EQ(0u, length);
        EXPECT_STREQ(c.text, buffer);
        EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[c.size]));  // nothing beyond the buffer
    }
}

TEST(DefaultExpressionTest, AppendsUnitOnlyWhenAskedAndWhenItFits)
{
    const auto attr = attributeFor(-1000, 1000, 1, 10, "dB");
    char buffer[32] = {};
    uint32_t length = 0;
    EXPECT_EQ(0u, kLinear.toText(buffer, length, sizeof buffer, JVariant(-65), attr, Expression::kWithUnit));
    EXPECT_STREQ("-6.5dB", buffer);
    EXPECT_EQ(7u, length);
    EXPECT_EQ(0u, kLinear.toText(buffer, length, sizeof buffer, JVariant(-65), attr, 0));
    EXPECT_STREQ("-6.5", buffer);
    // "-2000000000" and "Hz" need 14 bytes; the unit asks for one to spare.
    const auto wide = attributeFor(-2147483647 - 1, 0, 1, 1, "Hz");
    EXPECT_EQ(0x80000006u, kLinear.toText(buffer, length, 14, JVariant(-2000000000), wide, Expression::kWithUnit));
    EXPECT_EQ(0u, kLinear.toText(buffer, length, 15, JVariant(-2000000000), wide, Expression::kWithUnit));
    EXPECT_STREQ("-2000000000Hz", buffer);

    uint32_t measured = 0;
    EXPECT_EQ(0u, kLinear.getLength(measured, JVariant(-65), attr, Expression::kWithUnit));
    EXPECT_EQ(7u, measured);
}

TEST(DefaultExpressionTest, ReadsLeadingIntegerTimesScaling)
{
    struct Case {
        const char* text;
        int minimum, maximum, step;
        uint32_t scaling;
        uint32_t result;
        int out;
    };
    const int kMin = -2147483647 - 1;
    const Case cases[] = {
        {"12.75", -10000, 10000, 1, 100, 0, 1200},  // the fraction is dropped
        {"1.50", 0, 100, 1, 1, 0, 1},
        {"  -7xyz", -100, 100, 1, 1, 0, -7},
        {"abc", -100, 100, 1, 1, 0, 0},
        {"23", -100, 100, 10, 1, 0, 20},
        {"99999999", kMin, 2147483647, 1, 100, 0, 2147483647},          // product held to 32 bits
        {"-99999999999999", kMin, 2147483647, 1, 1, 0, kMin},          // text beyond 32 bits
        {"500", -100, 100, 1, 1, 0x80000005, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant out;
        EXPECT_EQ(c.result, kLinear.fromText(out, c.text, static_cast<uint32_t>(std::strlen(c.text)),
                                             attributeFor(c.minimum, c.maximum, c.step, c.scaling)));
        EXPECT_EQ(c.out, out.toInt32());
    }
    JVariant out(7);
    EXPECT_EQ(0x80000003u, kLinear.fromText(out, nullptr, 3, attributeFor(0, 10, 1)));
    EXPECT_EQ(7, out.toInt32());
}

TEST(DefaultExpressionTest, MapsValuesToKnobAnglesAndBack)
{
    const auto attr = attributeFor(0, 100, 1);
    struct ToCase {
        int value;
        uint32_t degree;
    };
    const ToCase to[] = {{0, 30}, {50, 180}, {100, 330}, {1, 33}, {200, 630}};
    for (const ToCase& c : to) {
        SCOPED_TRACE(c.value);
        uint32_t degree = 0x5A5A5A5A;
        EXPECT_EQ(0u, kLinear.toDegree(degree, JVariant(c.value), attr));
        EXPECT_EQ(c.degree, degree);
    }
    struct FromCase {
        uint32_t degree;
        int value;
    };
    const FromCase from[] = {{10, 0}, {340, 100}, {180, 50}, {30, 0}, {330, 100}, {32, 0}};
    for (const FromCase& c : from) {
        SCOPED_TRACE(c.degree);
        JVariant out;
        EXPECT_EQ(0u, kLinear.fromDegree(out, c.degree, attr));
        EXPECT_EQ(c.value, out.toInt32());
    }
    uint32_t degree = 0x5A5A5A5A;
    EXPECT_EQ(0x80000003u, kLinear.toDegree(degree, JVariant(5), attributeFor(7, 7, 1)));
    EXPECT_EQ(0x5A5A5A5Au, degree);
    // Below the range the angle would be negative: it stops at 0 instead of wrapping.
    EXPECT_EQ(0u, kLinear.toDegree(degree, JVariant(-1000), attr));
    EXPECT_EQ(0u, degree);
    // The full 32-bit range does not overflow.
    EXPECT_EQ(0u, kLinear.toDegree(degree, JVariant(2147483647), attributeFor(-2147483647 - 1, 2147483647, 1)));
    EXPECT_EQ(330u, degree);

    const DefaultExpression flat(100, 100);
    JVariant out(9);
    EXPECT_EQ(0x80000003u, flat.fromDegree(out, 100, attr));
    EXPECT_EQ(9, out.toInt32());
}

TEST(DefaultExpressionTest, MapsValuesToScalePositionsAndBack)
{
    const auto attr = attributeFor(-10, 10, 1);
    struct FromCase {
        uint32_t ratio;
        uint32_t steps;
        uint32_t result;
        int value;
    };
    const FromCase from[] = {
        {999, 1000, 0, 10}, {0, 1000, 0, -10}, {500, 1000, 0, 0}, {5000, 1000, 0, 10},
        {250, 1000, 0, -5}, {0, 1, 0x80000003, 0}, {0, 0, 0x80000003, 0},
    };
    for (const FromCase& c : from) {
        SCOPED_TRACE(std::to_string(c.ratio) + " of " + std::to_string(c.steps));
        JVariant out(0x5A5A);
        EXPECT_EQ(c.result, kLinear.fromRatio(out, c.ratio, c.steps, attr));
        EXPECT_EQ(c.value, out.toInt32());
    }
    struct ToCase {
        int value;
        uint32_t steps;
        uint32_t result;
        uint32_t ratio;
    };
    const ToCase to[] = {{-10, 1000, 0, 0}, {10, 1000, 0, 999}, {0, 1000, 0, 500}, {0, 0, 0x80000003, 0}};
    for (const ToCase& c : to) {
        SCOPED_TRACE(std::to_string(c.value) + " of " + std::to_string(c.steps));
        uint32_t ratio = 0x5A5A5A5A;
        EXPECT_EQ(c.result, kLinear.toRatio(ratio, c.steps, JVariant(c.value), attr));
        EXPECT_EQ(c.ratio, ratio);
    }
    uint32_t ratio = 0x5A5A5A5A;
    EXPECT_EQ(0x80000003u, kLinear.toRatio(ratio, 1000, JVariant(3), attributeFor(3, 3, 1)));
    EXPECT_EQ(0u, ratio);
}

TEST(DefaultExpressionTest, CountsResolutionAndStepsPerIncrement)
{
    struct Case {
        int minimum, maximum, step;
        uint32_t resolution;
    };
    const Case cases[] = {
        {0, 100, 0, 1}, {0, 100, -10, 10}, {0, 100, 10, 10}, {0, 5, 10, 1}, {100, 0, 10, 10},
        {-2147483647 - 1, 2147483647, 1, 4294967295u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.maximum - static_cast<int64_t>(c.minimum)) + "/" + std::to_string(c.step));
        EXPECT_EQ(c.resolution, kLinear.getResolution(attributeFor(c.minimum, c.maximum, c.step), FinenessFine));
    }

    const uint32_t for1000[] = {1, 2, 2, 3, 4, 5, 8, 11, 21, 83};
    const uint32_t for100[] = {1, 1, 2, 2, 3, 4, 5, 5, 7, 10};
    for (uint32_t speed = 1; speed <= 10; ++speed) {
        SCOPED_TRACE(speed);
        EXPECT_EQ(for1000[speed - 1], kLinear.speedToDelta(attributeFor(0, 1000, 1), speed, FinenessFine));
        EXPECT_EQ(for100[speed - 1], kLinear.speedToDelta(attributeFor(0, 100, 1), speed, FinenessFine));
        EXPECT_EQ(1u, kLinear.speedToDelta(attributeFor(0, 10, 1), speed, FinenessFine));
    }
    EXPECT_EQ(1u, kLinear.speedToDelta(attributeFor(0, 1000, 1), 0, FinenessFine));
    EXPECT_EQ(83u, kLinear.speedToDelta(attributeFor(0, 1000, 1), 99, FinenessFine));
}

TEST(DefaultExpressionTest, CountsScalingDecimals)
{
    const uint32_t scalings[] = {0, 1, 9, 10, 99, 100, 999, 1000, 4294967295u};
    const uint32_t decimals[] = {0, 0, 0, 1, 1, 2, 2, 3, 9};
    for (size_t i = 0; i < std::size(scalings); ++i) {
        SCOPED_TRACE(scalings[i]);
        EXPECT_EQ(decimals[i], DefaultExpression::ScalingToPoint(scalings[i]));
    }
}

TEST(DefaultExpressionTest, OffersNoTablesAndClearsColours)
{
    const auto attr = attributeFor(0, 10, 1);
    uint32_t count = 0x5A5A5A5A;
    uint32_t longest = 0x5A5A5A5A;
    EXPECT_EQ(0x80000007u, kLinear.getTableNum(count, &longest, 1));
    EXPECT_EQ(0u, count);
    char buffer[8];
    uint32_t length = 0x5A5A5A5A;
    EXPECT_EQ(0x80000007u, kLinear.getTableText(buffer, length, sizeof buffer, 0, 1));
    EXPECT_EQ(0u, length);
    JVariant out(9);
    EXPECT_EQ(0x80000007u, kLinear.indexToValue(out, 1, attr));
    EXPECT_EQ(0, out.toInt32());
    uint32_t index = 0x5A5A5A5A;
    EXPECT_EQ(0x80000007u, kLinear.valueToIndex(index, JVariant(1), attr));
    EXPECT_EQ(0u, index);

    Expression::ColorFormat colors[3];
    for (auto& c : colors) c.light();
    EXPECT_EQ(0u, kLinear.toIndicator(colors, 2, JVariant(5)));
    EXPECT_EQ(0, colors[1].component[3]);
    EXPECT_EQ(0xFF, colors[2].component[0]);  // only the given count is touched
    EXPECT_EQ(0u, kLinear.toColor(colors[2], JVariant(5)));
    EXPECT_EQ(0, colors[2].component[0]);
}
