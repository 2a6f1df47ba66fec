#include "TMS/TMSMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TMS/TmsTestSupport.h"

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
