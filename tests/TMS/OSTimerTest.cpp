#include "TMS/OSTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <atomic>
#include <chrono>

#include "TMS/IOSTimerCallback.h"
#include "TMS/TmsTestSupport.h"
#include "oswrap/oswrap.h"

using namespace std::chrono_literals;

namespace {

struct Counter : TMS::IOSTimerCallback {
    std::atomic<int> ticks{0};
    std::atomic<uint16_t> task{0};
    JLIB::JResult onOSTimer() override
    {
        uint16_t id = 0;
        (void)oswrap_GetTskId(&id);
        task = id;
        ++ticks;
        return 0;
    }
};

class OSTimerTest : public testing::Test {
protected:
    void SetUp() override { (void)oswrap_init(nullptr, 0, 0); }  // 0x80000008 when already up
};

}  // namespace

TEST_F(OSTimerTest, TicksOnItsOwnTaskUntilStopped)
{
    TMS::OSTimer& tick = TMS::OSTimer::getInstance();
    Counter counter;
    EXPECT_EQ(0x80000000u, tick.stop());
    EXPECT_EQ(0x80000000u, tick.start(0, &counter));
    ASSERT_EQ(0u, tick.start(10, &counter));
    EXPECT_EQ(0x80000000u, tick.start(10, &counter));  // not idle
    ASSERT_TRUE(TmsTest::waitFor([&] { return counter.ticks.load() >= 5; }, 2s));
    EXPECT_EQ(TMS::OSTimer::kRunning, tick.state());

    uint16_t tickTask = 0;
    ASSERT_EQ(0u, oswrap_VinqTsk(&tickTask, "TimerThread"));
    EXPECT_EQ(tickTask, counter.task.load());

    ASSERT_EQ(0u, tick.stop());
    EXPECT_EQ(TMS::OSTimer::kIdle, tick.state());
    const int after = counter.ticks.load();
    EXPECT_EQ(0x80000000u, tick.stop());
    EXPECT_NE(0u, oswrap_VinqTsk(&tickTask, "TimerThread"));  // the task is gone
    EXPECT_EQ(after, counter.ticks.load());
}

TEST_F(OSTimerTest, StopRightAfterStartEndsTheTask)
{
    TMS::OSTimer& tick = TMS::OSTimer::getInstance();
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        Counter counter;
        ASSERT_EQ(0u, tick.start(10, &counter));
        ASSERT_EQ(0u, tick.stop());
        // A loaded machine may let a few ticks through before stop; none may follow it.
        const int after = counter.ticks.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(after, counter.ticks.load());
        EXPECT_EQ(TMS::OSTimer::kIdle, tick.state());
    }
    TMS::OSTimer& again = TMS::OSTimer::getInstance();
    EXPECT_EQ(&tick, &again);
    EXPECT_EQ(0u, again.onOSTimer());  // no callback stored: nothing happens
}
