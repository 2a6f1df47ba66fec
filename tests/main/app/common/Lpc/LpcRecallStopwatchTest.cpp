#include "common/Lpc/LpcRecallStopwatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(LpcRecallStopwatchTest, StartLapAndEndPrintTheirLinesAndMoveTheFlag)
{
    LPC::dbg_endRecall();  // whatever ran before
    EXPECT_FALSE(LPC::dbg_isRecalling());
    testing::internal::CaptureStdout();
    LPC::dbg_startRecall();
    const bool during = LPC::dbg_isRecalling();
    LPC::dbg_lapRecall(1, false);  // the flag clear prints nothing
    LPC::dbg_lapRecall(7, true);
    LPC::dbg_endRecall();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(during);
    EXPECT_FALSE(LPC::dbg_isRecalling());
    EXPECT_TRUE(std::regex_match(out, std::regex("lap time\\[7\\] [0-9]+\\.[0-9]{6}\\[ms\\]\n"
                                                 "recall time [0-9]+\\.[0-9]{6}\\[ms\\]\n")))
        << out;
}

// Three threads use the stopwatch at once in the system; the sanitizer run checks that this is
// race-free and the flag always ends as the last call left it.
TEST(LpcRecallStopwatchTest, ThreadsMayStartLapAndEndAtOnce)
{
    testing::internal::CaptureStdout();
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&go, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < 200; ++i) {
                if (t == 0) LPC::dbg_startRecall();
                if (t == 1) LPC::dbg_lapRecall(i, false);
                if (t == 2 && LPC::dbg_isRecalling()) LPC::dbg_endRecall();
            }
        });
    }
    go = true;
    for (std::thread& thread : threads) thread.join();
    (void)testing::internal::GetCapturedStdout();
    LPC::dbg_endRecall();
    EXPECT_FALSE(LPC::dbg_isRecalling());
}

}  // namespace
