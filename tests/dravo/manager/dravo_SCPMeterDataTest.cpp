#include "dravo/manager/dravo_SCPMeterData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(SCPMeterDataTest, LinearLevelBecomesTheMeterByte)
{
    struct Case {
        float linear;
        float offsetDB;
        uint8_t byte;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0},
        {-0.0f, 0.0f, 0},
        {1.0f, 0.0f, 126},
        {1.0001f, 0.0f, 127},
        {std::numeric_limits<float>::infinity(), 0.0f, 127},
        {0.5f, 0.0f, 120},   // -6.02 dB
        {0.1f, 0.0f, 106},   // -20 dB exactly: the bias keeps it from reading -19
        {0.01f, 0.0f, 86},   // -40 dB
        {0.9999f, 0.0f, 126},  // between -1 dB and 0 dB
        {0.891f, 0.0f, 125},   // just below -1 dB
        {1e-6f, 0.0f, 6},      // -120 dB
        {1e-7f, 0.0f, 0},      // below -126 dB
        {-0.5f, 0.0f, 0},
        {-std::numeric_limits<float>::infinity(), 0.0f, 0},
        {0.5f, 6.0f, 126},     // an offset moves the level
        {0.5f, 10.0f, 129},    // above 126 reads as 0 dB
        {0.5f, -200.0f, 0},
        {0.5f, 1e30f, 125},    // a huge offset saturates instead of overflowing: 0x7FFFFFFF + 126
        {0.5f, std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.linear << " + " << c.offsetDB << " dB");
        EXPECT_EQ(c.byte, DRAVO::floatLinearToSCPMeterData(c.linear, c.offsetDB));
    }
}

// The steps as laid down reach 126 (0 dB) for a NaN level: every comparison is false for it and
// the logarithm answers 0. A level that cannot be measured shows no signal.
TEST(SCPMeterDataTest, NotANumberShowsNoSignal)
{
    const float nans[] = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::signaling_NaN()};
    for (float nan : nans) EXPECT_EQ(0, DRAVO::floatLinearToSCPMeterData(nan, 0.0f));
}

TEST(SCPMeterDataTest, MeterByteReadsAsDecibelsAndOver)
{
    struct Case {
        uint8_t byte;
        int8_t db;
        bool over;
    };
    const Case cases[] = {
        {126, 0, false}, {120, -6, false}, {1, -125, false}, {0, -126, false},
        {127, 0, true},  {200, 0, false},  {254, 0, false},  {255, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.byte));
        EXPECT_EQ(c.db, DRAVO::scpMeterDataToDB(c.byte));
        EXPECT_EQ(c.over, DRAVO::isSCPMeterDataOver(c.byte));
    }
}

TEST(SCPMeterDataTest, EveryWholeDecibelStepLandsOnItsByte)
{
    // The approximation must not shift any level by a byte against the exact conversion.
    for (int db = -125; db <= -1; ++db) {
        SCOPED_TRACE(db);
        // Half a dB below: the dB value is truncated toward zero.
        const float level = float(std::pow(10.0, (double(db) - 0.5) / 20.0));
        EXPECT_EQ(uint8_t(db + 126), DRAVO::floatLinearToSCPMeterData(level, 0.0f));
    }
}
