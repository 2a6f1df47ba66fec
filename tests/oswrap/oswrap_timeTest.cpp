#include "oswrap/oswrap_time.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "OswrapTestSupport.h"

#include "oswrap/internal/osw_timer.h"

TEST(oswrap_timeTest, MillisecondCountFollowsTheTimeOfDayAndWraps)
{
    struct Case { int64_t seconds, microseconds; uint32_t count; };
    const Case cases[] = {
        {0, 0, 0},
        {1, 999999, 1999},
        {4294967, 295999, 0xFFFFFFFF},
        {4294967, 296000, 0},                // 2^32 ms wraps to 0
        {1765400000, 123456, static_cast<uint32_t>(1765400000123ull)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(c.count, OSWRAP::detail::msCountOf(c.seconds, c.microseconds));
    }

    timeval before{};
    ASSERT_EQ(0, gettimeofday(&before, nullptr));
    uint32_t count = 0;
    ASSERT_EQ(0u, oswrap_Get1msCount(&count));
    const uint32_t expected = OSWRAP::detail::msCountOf(before.tv_sec, before.tv_usec);
    EXPECT_LT(count - expected, 1000u);
    EXPECT_LT(get1msCount() - count, 1000u);
    EXPECT_EQ(0x80000005u, oswrap_Get1msCount(nullptr));

    uint32_t seconds = 0;
    uint32_t micros = 0xFFFFFFFF;
    ASSERT_EQ(0u, oswrap_Get1usCount(&seconds, &micros));
    EXPECT_LT(seconds - static_cast<uint32_t>(before.tv_sec), 2u);
    EXPECT_LT(micros, 1000000u);
}

TEST(oswrap_timeTest, SleepsAtLeastTheGivenTimeAndSmallCallsAnswerAsFixed)
{
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(0u, oswrap_WaiTsk(20));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(20));
    EXPECT_EQ(0u, oswrap_WaiTsk(0));
    EXPECT_EQ(0u, oswrap_yield());
    EXPECT_EQ(0u, oswrap_RotRdq(3));
    EXPECT_EQ(0x80000002u, oswrap_VsysClk());
    EXPECT_EQ(0x80000002u, oswrap_RefSys(nullptr));
    EXPECT_EQ(123456u, oswrap_CnvSysClk(123456));
    EXPECT_EQ(0xFFFFFFFFu, oswrap_CnvSysClkToMsec(0xFFFFFFFF));
}

TEST(oswrap_timeTest, LongSleepIsNotCutShortByA32BitProduct)
{
    // 4294968 ms is the first count whose microseconds overflow 32 bits (to about 33 ms).
    // The sleeper is left behind detached; its flag lives as long as the process.
    static std::atomic<bool> returned{false};
    std::thread([] {
        (void)oswrap_WaiTsk(4294968);
        returned = true;
    }).detach();
    EXPECT_FALSE(oswraptest::waitFor([] { return returned.load(); }, std::chrono::milliseconds(300)));
}

TEST(oswrap_timeTest, OneshotCheckSurvivesTheWrapOfTheCount)
{
    struct Case {
        const char* what;
        uint32_t start, duration, now;
        uint32_t result;
        uint8_t state;
        uint32_t startAfter, durationAfter;
    };
    const Case cases[] = {
        {"running", 1000, 500, 1499, 0, 2, 1000, 500},
        {"due exactly", 1000, 500, 1500, 12, 3, 1000, 500},
        {"zero duration", 1000, 0, 1000, 12, 3, 1000, 0},
        {"wrapped, not due: re-based", 0xFFFFFF00, 1000, 0x20, 0, 2, 0x20, 712},
        {"wrapped and due", 0xFFFFFF00, 200, 0x20, 12, 3, 0xFFFFFF00, 200},
        {"longest duration", 0, 0xFFFFFFFF, 0xFFFFFFFE, 0, 2, 0, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        T_OSW_TIMER timer{OSWRAP::kTimerOneshotRunning, c.start, c.duration};
        EXPECT_EQ(c.result, OSWRAP::detail::checkOneshotAt(timer, c.now));
        EXPECT_EQ(c.state, timer.state);
        EXPECT_EQ(c.startAfter, timer.start);
        EXPECT_EQ(c.durationAfter, timer.duration);
    }
    // After a re-base the rest of the wait is measured from the new start.
    T_OSW_TIMER timer{OSWRAP::kTimerOneshotRunning, 0xFFFFFF00, 1000};
    ASSERT_EQ(0u, OSWRAP::detail::checkOneshotAt(timer, 0x20));
    EXPECT_EQ(0u, OSWRAP::detail::checkOneshotAt(timer, 0x20 + 711));
    EXPECT_EQ(12u, OSWRAP::detail::checkOneshotAt(timer, 0x20 + 712));
    EXPECT_EQ(12u, OSWRAP::detail::checkOneshotAt(timer, 0));  // expired stays expired
}

TEST(oswrap_timeTest, FreeRunningTimerReportsElapsedTimeAcrossTheWrap)
{
    struct Case { uint32_t start, now, period, result, elapsed; };
    const Case cases[] = {
        {100, 150, 50, 12, 50},
        {100, 149, 50, 0, 49},
        {0xFFFFFFF0, 0x10, 0x20, 12, 0x20},
        {0xFFFFFFF0, 0x0F, 0x20, 0, 0x1F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.now);
        T_OSW_TIMER timer{OSWRAP::kTimerFreeRunning, c.start, 0};
        uint32_t elapsed = 0xA5A5A5A5;
        EXPECT_EQ(c.result, OSWRAP::detail::watchFreerunAt(timer, &elapsed, c.period, c.now));
        EXPECT_EQ(c.elapsed, elapsed);
        EXPECT_EQ(c.start, timer.start);
    }
}

TEST(oswrap_timeTest, TimerOperationsFollowTheTimerState)
{
    T_OSW_TIMER timer{0xEE, 0, 0};
    ASSERT_EQ(0u, oswrap_svcInitTimerMs(&timer));
    uint32_t elapsed = 0xA5A5A5A5;
    EXPECT_EQ(0x80000008u, oswrap_svcIsActiveTimerMs(&timer));
    EXPECT_EQ(0x80000008u, oswrap_svcCheckOneshotTimerMs(&timer));
    EXPECT_EQ(0x80000008u, oswrap_svcWatchFreerunTimerMs(&timer, &elapsed, 10));
    EXPECT_EQ(0u, elapsed);

    ASSERT_EQ(0u, oswrap_svcStartOneshotTimerMs(&timer, 0));
    EXPECT_EQ(0u, oswrap_svcIsActiveTimerMs(&timer));
    EXPECT_EQ(12u, oswrap_svcCheckOneshotTimerMs(&timer));
    EXPECT_EQ(3u, timer.state);
    EXPECT_EQ(0u, oswrap_svcIsActiveTimerMs(&timer));
    EXPECT_EQ(0x80000008u, oswrap_svcStartFreerunTimerMs(&timer));
    // A one-shot restarts whether running or expired.
    ASSERT_EQ(0u, oswrap_svcStartOneshotTimerMs(&timer, 60000));
    EXPECT_EQ(0u, oswrap_svcCheckOneshotTimerMs(&timer));
    EXPECT_EQ(0x80000008u, oswrap_svcStartFreerunTimerMs(&timer));

    ASSERT_EQ(0u, oswrap_svcStopTimerMs(&timer));
    ASSERT_EQ(0u, oswrap_svcStartFreerunTimerMs(&timer));
    EXPECT_EQ(0u, oswrap_svcIsActiveTimerMs(&timer));
    EXPECT_EQ(0x80000008u, oswrap_svcStartOneshotTimerMs(&timer, 10));
    EXPECT_EQ(0x80000008u, oswrap_svcCheckOneshotTimerMs(&timer));
    EXPECT_EQ(12u, oswrap_svcWatchFreerunTimerMs(&timer, nullptr, 0));
    EXPECT_EQ(0u, oswrap_svcWatchFreerunTimerMs(&timer, &elapsed, 60000));
    EXPECT_LT(elapsed, 60000u);

    EXPECT_EQ(0x80000005u, oswrap_svcInitTimerMs(nullptr));
    EXPECT_EQ(0x80000005u, oswrap_svcStopTimerMs(nullptr));
    EXPECT_EQ(0x80000005u, oswrap_svcStartOneshotTimerMs(nullptr, 1));
    EXPECT_EQ(0x80000005u, oswrap_svcCheckOneshotTimerMs(nullptr));
    EXPECT_EQ(0x80000005u, oswrap_svcStartFreerunTimerMs(nullptr));
    EXPECT_EQ(0x80000005u, oswrap_svcWatchFreerunTimerMs(nullptr, &elapsed, 1));
    EXPECT_EQ(0x80000005u, oswrap_svcIsActiveTimerMs(nullptr));
}
