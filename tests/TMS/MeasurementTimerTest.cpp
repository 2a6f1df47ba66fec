#include "TMS/MeasurementTimer.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

TEST(MeasurementTimerTest, PrintsLabelsAndElapsedMilliseconds)
{
    testing::internal::CaptureStdout();
    {
        TMS::MeasurementTimer watch;
        EXPECT_EQ(0u, watch.trace());
        EXPECT_EQ(0u, watch.stop());
        EXPECT_EQ(0x80000000u, watch.trace());
        EXPECT_EQ(0x80000000u, watch.stop());
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(out, std::regex("\\[i\\] MeasurementTimer   start\t\t0ms\n"
                                                 "\\[i\\] MeasurementTimer   trace\t\t[0-9]+ms\n"
                                                 "\\[i\\] MeasurementTimer   end  \t\t[0-9]+ms\n")))
        << out;
}

TEST(MeasurementTimerTest, LabelsAreOptionalAndTheDestructorStops)
{
    testing::internal::CaptureStdout();
    {
        TMS::MeasurementTimer watch(nullptr, "done");
        EXPECT_EQ(0u, watch.trace());
    }
    {
        TMS::MeasurementTimer watch("a", nullptr, nullptr);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(out, std::regex("0ms\n"
                                                 "\\[i\\] MeasurementTimer   trace\t\t[0-9]+ms\n"
                                                 "done\t\t[0-9]+ms\n"
                                                 "a\t\t0ms\n"
                                                 "[0-9]+ms\n")))
        << out;
}
