#include "TMS/TMSMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TMS/TmsTestSupport.h"
#include "oswrap/oswrap.h"

using namespace std::chrono_literals;

TEST(TMSMutexTest, NestedHoldReleasesOnlyAtTheLastEnd)
{
    TMS::TMSMutex mutex("Nested");
    ASSERT_TRUE(mutex.isValid());
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0u, mutex.begin());

    std::atomic<int> stage{0};
    std::thread other([&] {
        stage = 1;
        EXPECT_EQ(0u, mutex.begin());
        stage = 2;
        EXPECT_EQ(0u, mutex.end());
    });
    ASSERT_TRUE(TmsTest::waitFor([&] { return stage.load() == 1; }, 2s));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(0u, mutex.end());
        std::this_thread::sleep_for(20ms);  // give a wrongly woken waiter the chance to show
        EXPECT_EQ(1, stage.load()) << "released after " << i + 1 << " ends";
    }
    EXPECT_EQ(0u, mutex.end());
    EXPECT_TRUE(TmsTest::waitFor([&] { return stage.load() == 2; }, 2s));
    other.join();
}

TEST(TMSMutexTest, AutoReleaserHoldsForItsScope)
{
    const TMS::TMSMutex mutex;  // taken through a constant reference
    std::atomic<bool> taken{false};
    std::thread other;
    {
        TMS::TMSMutexAutoReleaser hold(mutex);
        TMS::TMSMutexAutoReleaser again(&mutex);  // recursive through the pointer form
        other = std::thread([&] {
            TMS::TMSMutexAutoReleaser wait(mutex);
            taken = true;
        });
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(taken.load());
    }
    EXPECT_TRUE(TmsTest::waitFor([&] { return taken.load(); }, 2s));
    other.join();
}

TEST(TMSMutexTest, ManyTasksExcludeEachOther)
{
    TMS::TMSMutex mutex("Counter");
    int counter = 0;  // guarded by the mutex only
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                TMS::TMSMutexAutoReleaser hold(mutex);
                TMS::TMSMutexAutoReleaser nested(mutex);
                ++counter;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(8000, counter);
}

TEST(TMSMutexTest, MisuseIsAnAssertionStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            TMS::TMSMutex mutex;
            (void)mutex.end();  // free lock
        },
        "");
    EXPECT_DEATH(
        {
            TMS::TMSMutex mutex;
            (void)mutex.begin();
            std::thread([&] { (void)mutex.end(); }).join();  // held by another task
        },
        "");
    EXPECT_DEATH(
        {
            auto* mutex = new TMS::TMSMutex;
            (void)mutex->begin();
            (void)mutex->begin();
            delete mutex;  // held twice
        },
        "");
    EXPECT_DEATH({ TMS::TMSMutexAutoReleaser hold(static_cast<const TMS::TMSMutex*>(nullptr)); }, "");
}

namespace {

struct SharedCount {
    const TMS::TMSMutex* mutex = nullptr;
    long value = 0;  // guarded by the mutex only
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::atomic<int> finished{0};
};

constexpr int kNestedRounds = 20000;

void countNested(SharedCount& shared)
{
    // All start together, so the holds really overlap.
    ++shared.ready;
    while (!shared.go.load()) std::this_thread::yield();
    for (int i = 0; i < kNestedRounds; ++i) {
        TMS::TMSMutexAutoReleaser hold(*shared.mutex);
        TMS::TMSMutexAutoReleaser nested(shared.mutex);
        ++shared.value;
    }
    ++shared.finished;
}

void countNestedTask(void* arg)
{
    countNested(*static_cast<SharedCount*>(arg));
    (void)oswrap_ExtTsk();
}

}  // namespace

TEST(TMSMutexTest, TasksAndOtherThreadsEachHoldTheLockAsTheirOwn)
{
    // Tasks and plain threads each have an id of their own; were two of them taken for the same
    // holder, the second would walk into the lock as a nested hold and the count would suffer.
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    {
        TMS::TMSMutex mutex("Shared");
        SharedCount shared;
        shared.mutex = &mutex;
        constexpr int kTasks = 3;
        constexpr int kThreads = 3;
        const T_OSW_CTSK ctsk{nullptr, 0, countNestedTask, 0, 0, 20000, nullptr, "Counter"};
        uint16_t ids[kTasks] = {};
        for (uint16_t& id : ids) ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
        for (uint16_t id : ids) ASSERT_EQ(0u, oswrap_StaTsk(id, &shared));
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) threads.emplace_back([&] { countNested(shared); });
        EXPECT_TRUE(TmsTest::waitFor([&] { return shared.ready.load() == kTasks + kThreads; }, 10s));
        shared.go = true;
        for (std::thread& t : threads) t.join();
        EXPECT_TRUE(TmsTest::waitFor([&] { return shared.finished.load() == kTasks + kThreads; }, 30s));
        TMS::TMSMutexAutoReleaser hold(mutex);  // the tasks' last release is seen before the count
        EXPECT_EQ(static_cast<long>(kTasks + kThreads) * kNestedRounds, shared.value);
    }
    EXPECT_EQ(0u, oswrap_exit());
}
