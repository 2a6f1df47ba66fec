#include "TMS/ObjectTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "TMS/IObjectTimerObserver.h"
#include "TMS/NullObjectTimer.h"
#include "TMS/TMSTime.h"
#include "TMS/TmsTestSupport.h"

using namespace std::chrono_literals;

namespace {

struct Recorder : TMS::IObjectTimerObserver {
    std::vector<std::pair<uint32_t, uint32_t>> calls;
    JLIB::JResult onTimer(uint32_t id, uint32_t count) override
    {
        calls.push_back({id, count});
        return 0;
    }
};

}  // namespace

TEST(ObjectTimerTest, WrappingTimeArithmetic)
{
    struct Case { uint32_t a; uint32_t b; uint32_t diff; };
    const Case diffs[] = {{10, 3, 7}, {5, 0xFFFFFFFBu, 10}, {0, 1, 0xFFFFFFFFu}};
    for (const Case& c : diffs) {
        SCOPED_TRACE(c.a);
        EXPECT_EQ(c.diff, TMS::diffTime(c.a, c.b));
    }
    EXPECT_EQ(1u, TMS::offsetTime(0xFFFFFFFFu, 2));
    EXPECT_EQ(0xFFFFFFFFu, TMS::offsetTime(1, -2));
}

TEST(ObjectTimerTest, InvalidTimerRefusesEveryOperation)
{
    TMS::ObjectTimer timer;
    EXPECT_EQ(0xFFFFFFFFu, timer.getTimerId());
    EXPECT_FALSE(timer.isValid());
    EXPECT_FALSE(timer.isNull());
    EXPECT_EQ(0x80000000u, timer.start());
    EXPECT_EQ(0x80000000u, timer.stop());
    EXPECT_EQ(0x80000000u, timer.restart());
    EXPECT_EQ(0u, timer.run());  // no observer: nothing to do, checked first

    Recorder recorder;
    ASSERT_EQ(0u, timer.initialize(7, 10, false, &recorder));
    EXPECT_EQ(0u, timer.release());
    EXPECT_FALSE(timer.isValid());
    EXPECT_EQ(0xFFFFFFFFu, timer.getTimerId());
    EXPECT_EQ(0u, timer.run());  // release dropped the observer as well

    EXPECT_EQ(0x80000002u, timer.initialize(3, 0, true, &recorder));
    EXPECT_FALSE(timer.isValid());  // nothing changed
    EXPECT_EQ(0u, timer.initialize(3));
    EXPECT_TRUE(timer.isValid());
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(3u, timer.getTimerId());
}

TEST(ObjectTimerTest, PeriodicTimerCallsOncePerRunAndCountsWholeIntervals)
{
    Recorder recorder;
    TMS::ObjectTimer timer;
    ASSERT_EQ(0u, timer.initialize(42, 20, false, &recorder));
    EXPECT_EQ(0u, timer.run());  // stopped
    ASSERT_EQ(0u, timer.start());
    EXPECT_TRUE(timer.isRunning());
    ASSERT_TRUE(TmsTest::waitFor([&] { return timer.getElapsedTime() >= 65; }, 2s));
    const uint32_t elapsed = timer.getElapsedTime();
    EXPECT_EQ(0u, timer.run());
    ASSERT_EQ(1u, recorder.calls.size());
    EXPECT_EQ(42u, recorder.calls[0].first);
    EXPECT_EQ(1u, recorder.calls[0].second);  // the first expiry of this run
    const uint32_t count = timer.getCount();  // ... while the count jumps
    EXPECT_GE(count, elapsed / 20);
    EXPECT_LE(count, elapsed / 20 + 1);
    // The reference moved by whole intervals: what is left plus the counted intervals is the
    // time since the start.
    const uint32_t total = timer.getElapsedTime() + count * 20;
    EXPECT_GE(total, elapsed);
    EXPECT_LE(total, elapsed + 50);

    const uint32_t countBefore = timer.getCount();
    ASSERT_TRUE(TmsTest::waitFor([&] { return timer.getElapsedTime() >= 20; }, 2s));
    EXPECT_EQ(0u, timer.run());
    ASSERT_EQ(2u, recorder.calls.size());
    EXPECT_EQ(countBefore + 1, recorder.calls[1].second);

    TMS::ObjectTimer copy = timer;  // a plain value
    EXPECT_EQ(timer.getCount(), copy.getCount());
    EXPECT_TRUE(copy.isRunning());
    EXPECT_EQ(0u, timer.stop());
    EXPECT_EQ(0u, timer.getCount());
    EXPECT_FALSE(timer.isRunning());
}

TEST(ObjectTimerTest, OneShotFiresOnceThenStops)
{
    Recorder recorder;
    TMS::ObjectTimer timer;
    ASSERT_EQ(0u, timer.initialize(5, 20, true, &recorder));
    ASSERT_EQ(0u, timer.start());
    ASSERT_TRUE(TmsTest::waitFor([&] { return timer.getElapsedTime() >= 45; }, 2s));
    EXPECT_EQ(0u, timer.run());
    EXPECT_EQ(0u, timer.run());
    ASSERT_EQ(1u, recorder.calls.size());
    EXPECT_EQ(1u, recorder.calls[0].second);
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(0u, timer.getCount());
}

TEST(ObjectTimerTest, OneShotRestartedByItsObserverStaysRunning)
{
    struct Rearm : TMS::IObjectTimerObserver {
        TMS::ObjectTimer* timer = nullptr;
        int calls = 0;
        JLIB::JResult onTimer(uint32_t, uint32_t) override
        {
            ++calls;
            return timer->start();
        }
    } rearm;
    TMS::ObjectTimer timer;
    rearm.timer = &timer;
    ASSERT_EQ(0u, timer.initialize(1, 20, true, &rearm));
    ASSERT_EQ(0u, timer.start());
    ASSERT_TRUE(TmsTest::waitFor([&] { return timer.getElapsedTime() >= 20; }, 2s));
    EXPECT_EQ(0u, timer.run());
    EXPECT_EQ(1, rearm.calls);
    EXPECT_TRUE(timer.isRunning());
    EXPECT_LT(timer.getElapsedTime(), 20u);  // started afresh, not a stale reference
}

TEST(ObjectTimerTest, DumpAndNullTimer)
{
    TMS::ObjectTimer timer;
    ASSERT_EQ(0u, timer.initialize(12));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, timer.dump());
    EXPECT_EQ("[12, 0] m_PrevTime = 00000000\n", testing::internal::GetCapturedStdout());

    TMS::IObjectTimer& null = TMS::NullObjectTimer::getInstance();
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isValid());
    EXPECT_FALSE(null.isRunning());
    EXPECT_EQ(0xFFFFFFFFu, null.getTimerId());
    EXPECT_EQ(0u, null.start());
    EXPECT_EQ(0u, null.stop());
    EXPECT_EQ(0u, null.restart());
    EXPECT_EQ(0u, null.getCount());
    EXPECT_EQ(0u, null.getElapsedTime());
}
