#include "TMS/ThreadTimerManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "TMS/IObjectTimerObserver.h"
#include "TMS/TMSMutex.h"
#include "TMS/TmsTestSupport.h"

using namespace std::chrono_literals;

namespace {

struct Recorder : TMS::IObjectTimerObserver {
    std::vector<uint32_t> ids;
    JLIB::JResult onTimer(uint32_t id, uint32_t) override
    {
        ids.push_back(id);
        return 0;
    }
};

struct Timers {
    TMS::TMSMutex lock{"TMSThread"};
    TMS::ThreadTimerManager timers;
    Timers() { EXPECT_EQ(0u, timers.initialize(&lock)); }
};

}  // namespace

TEST(ThreadTimerManagerTest, RefusesWithoutLock)
{
    TMS::ThreadTimerManager timers;
    Recorder r;
    EXPECT_EQ(0x80000004u, timers.initialize(nullptr));
    EXPECT_EQ(0x80000004u, timers.addTimer(1, 10, false, &r));
    EXPECT_EQ(0x80000004u, timers.addTimer(1));
    EXPECT_EQ(0x80000004u, timers.deleteTimer(1, false));
    EXPECT_EQ(0x80000004u, timers.run());
    EXPECT_EQ(0x80000004u, timers.release());
    EXPECT_TRUE(timers.getTimer(1).isNull());
}

TEST(ThreadTimerManagerTest, AddingAnIdAgainResetsItInPlace)
{
    Timers t;
    Recorder first;
    Recorder second;
    ASSERT_EQ(0u, t.timers.addTimer(9, 1000, false, &first));
    ASSERT_EQ(0u, t.timers.getTimer(9).start());
    ASSERT_EQ(0u, t.timers.addTimer(9, 20, true, &second));
    TMS::IObjectTimer& timer = t.timers.getTimer(9);
    EXPECT_FALSE(timer.isNull());
    EXPECT_FALSE(timer.isRunning());  // left stopped
    ASSERT_EQ(0u, timer.start());
    ASSERT_TRUE(TmsTest::waitFor([&] { return timer.getElapsedTime() >= 20; }, 2s));
    EXPECT_EQ(0u, t.timers.run());
    EXPECT_TRUE(first.ids.empty());
    EXPECT_EQ(std::vector<uint32_t>{9}, second.ids);
    EXPECT_FALSE(timer.isRunning());  // the second call made it a one-shot

    EXPECT_EQ(0x80000002u, t.timers.addTimer(10, 0, false, &first));
    EXPECT_TRUE(t.timers.getTimer(10).isNull());
    EXPECT_EQ(0u, t.timers.addTimer(11));
    EXPECT_FALSE(t.timers.getTimer(11).isNull());
    EXPECT_EQ(0u, t.timers.getTimer(11).start());
    EXPECT_EQ(0u, t.timers.run());  // no observer: never fires
}

TEST(ThreadTimerManagerTest, DeletingRemovesOrReleasesInPlace)
{
    Timers t;
    Recorder r;
    ASSERT_EQ(0u, t.timers.addTimer(1, 20, false, &r));
    ASSERT_EQ(0u, t.timers.addTimer(2, 20, false, &r));
    EXPECT_EQ(0x80000009u, t.timers.deleteTimer(3, false));
    EXPECT_EQ(0u, t.timers.deleteTimer(1, true));
    EXPECT_TRUE(t.timers.getTimer(1).isNull());
    EXPECT_EQ(0x80000009u, t.timers.deleteTimer(1, true));
    EXPECT_TRUE(t.timers.getTimer(0xFFFFFFFFu).isNull());  // the released entry is nobody's
    EXPECT_EQ(0u, t.timers.addTimer(1, 20, false, &r));  // appended after 2
    EXPECT_EQ(0u, t.timers.deleteTimer(2, false));
    EXPECT_TRUE(t.timers.getTimer(2).isNull());
    EXPECT_FALSE(t.timers.getTimer(1).isNull());
    EXPECT_EQ(0u, t.timers.release());
    EXPECT_TRUE(t.timers.getTimer(1).isNull());
}

TEST(ThreadTimerManagerTest, RunsDueTimersInListOrder)
{
    Timers t;
    Recorder r;
    for (uint32_t id : {30u, 10u, 20u}) {
        ASSERT_EQ(0u, t.timers.addTimer(id, 20, false, &r));
        ASSERT_EQ(0u, t.timers.getTimer(id).start());
    }
    ASSERT_EQ(0u, t.timers.addTimer(40, 100000, false, &r));
    ASSERT_EQ(0u, t.timers.getTimer(40).start());
    ASSERT_TRUE(TmsTest::waitFor([&] { return t.timers.getTimer(20).getElapsedTime() >= 20; }, 2s));
    EXPECT_EQ(0u, t.timers.run());
    EXPECT_EQ((std::vector<uint32_t>{30, 10, 20}), r.ids);
}

TEST(ThreadTimerManagerTest, ObserverMayChangeTheListWhileItRuns)
{
    struct Churn : TMS::IObjectTimerObserver {
        TMS::ThreadTimerManager* timers = nullptr;
        std::vector<uint32_t> ids;
        JLIB::JResult onTimer(uint32_t id, uint32_t) override
        {
            ids.push_back(id);
            if (id == 1) {
                (void)timers->deleteTimer(1, false);  // itself
                for (uint32_t more = 100; more < 140; ++more) (void)timers->addTimer(more, 5, false, this);
            }
            return 0;
        }
    } churn;
    Timers t;
    churn.timers = &t.timers;
    ASSERT_EQ(0u, t.timers.addTimer(1, 20, false, &churn));
    ASSERT_EQ(0u, t.timers.addTimer(2, 20, false, &churn));
    ASSERT_EQ(0u, t.timers.getTimer(1).start());
    ASSERT_EQ(0u, t.timers.getTimer(2).start());
    ASSERT_TRUE(TmsTest::waitFor([&] { return t.timers.getTimer(2).getElapsedTime() >= 20; }, 2s));
    EXPECT_EQ(0u, t.timers.run());
    EXPECT_EQ(1u, churn.ids.at(0));
    EXPECT_TRUE(t.timers.getTimer(1).isNull());
    EXPECT_FALSE(t.timers.getTimer(139).isNull());
}
