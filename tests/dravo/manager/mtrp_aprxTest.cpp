#include "dravo/manager/mtrp_aprx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

double relativeError(double got, double expected)
{
    return std::fabs(got - expected) / std::fabs(expected);
}

}  // namespace

TEST(mtrp_aprxTest, LogarithmOfSpecialArguments)
{
    struct Case {
        float x;
        float ln;
    };
    const Case cases[] = {
        {1.0f, 0.0f},
        {0.0f, -87.3365021f},
        {-0.0f, -87.3365021f},
        {1e-40f, -87.3365021f},  // denormal
        {-0.5f, 0.0f},
        {kInf, 0.0f},
        {kNaN, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(c.ln, mtrp_aprx_ln(c.x));
    }
}

TEST(mtrp_aprxTest, LogarithmFollowsTheLibraryOverTheFloatRange)
{
    // Absolute error: the polynomial is uniform over each octave's fraction.
    for (float x = 1.2e-38f; x < 3e38f; x *= 1.37f) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(std::log(double(x)), mtrp_aprx_ln(x), 2e-5);
        EXPECT_NEAR(std::log10(double(x)), mtrp_aprx_log10(x), 1e-5);
    }
    EXPECT_NEAR(-2.0, mtrp_aprx_log10(0.01f), 1e-5);
}

TEST(mtrp_aprxTest, PowerOfTenWithinTheIntegerRange)
{
    EXPECT_EQ(1.0f, mtrp_aprx_pow10(0.0f));
    EXPECT_EQ(1.0f, mtrp_aprx_pow10(-0.0f));
    for (float x = -9.99f; x < 10.0f; x += 0.0731f) {
        SCOPED_TRACE(x);
        EXPECT_LT(relativeError(mtrp_aprx_pow10(x), std::pow(10.0, double(x))), 1e-6);
    }
    EXPECT_LT(relativeError(mtrp_aprx_pow10(-1.0f), 0.1), 1e-6);
    EXPECT_EQ(1e9f, mtrp_aprx_pow10(9.0f));  // a whole power is exact
}

// 10^n was formed in a 32-bit integer, which wraps from n = 10: 10^10 came out as 1410065408.
TEST(mtrp_aprxTest, PowerOfTenBeyondTheIntegerRangeStaysAccurate)
{
    const float xs[] = {10.0f, 10.5f, 12.25f, 20.0f, 37.9f, -10.0f, -15.5f, -37.0f};
    for (float x : xs) {
        SCOPED_TRACE(x);
        EXPECT_LT(relativeError(mtrp_aprx_pow10(x), std::pow(10.0, double(x))), 1e-6);
    }
    EXPECT_EQ(kInf, mtrp_aprx_pow10(39.0f));
    EXPECT_EQ(kInf, mtrp_aprx_pow10(kInf));
    EXPECT_EQ(0.0f, mtrp_aprx_pow10(-kInf));
    EXPECT_TRUE(std::isnan(mtrp_aprx_pow10(kNaN)));
    // Reached through the power and exponential functions as well.
    EXPECT_LT(relativeError(mtrp_aprx_pow(10.0f, 15.0f), 1e15), 1e-4);
    EXPECT_LT(relativeError(mtrp_aprx_exp(30.0f), std::exp(30.0)), 1e-4);
    EXPECT_LT(relativeError(mtrp_aprx_exp(-30.0f), std::exp(-30.0)), 1e-4);
}

TEST(mtrp_aprxTest, PowerAndExponential)
{
    struct Case {
        float a;
        float b;
        double expected;
    };
    const Case powers[] = {
        {-2.0f, 3.0f, 0.0}, {0.0f, 2.0f, 0.0}, {2.0f, 0.0f, 1.0}, {-2.0f, 0.0f, 0.0},  // a <= 0 first
        {2.0f, 10.0f, 1024.0}, {9.0f, 0.5f, 3.0}, {4.0f, -1.5f, 0.125},
    };
    for (const Case& c : powers) {
        SCOPED_TRACE(testing::Message() << c.a << " ^ " << c.b);
        if (c.expected == 0.0 || c.b == 0.0f) {
            EXPECT_EQ(float(c.expected), mtrp_aprx_pow(c.a, c.b));
        } else {
            EXPECT_LT(relativeError(mtrp_aprx_pow(c.a, c.b), c.expected), 1e-4);
        }
    }
    EXPECT_EQ(1.0f, mtrp_aprx_exp(0.0f));
    EXPECT_LT(relativeError(mtrp_aprx_exp(1.0f), std::exp(1.0)), 1e-5);
    EXPECT_LT(relativeError(mtrp_aprx_exp(-2.5f), std::exp(-2.5)), 1e-5);
}
