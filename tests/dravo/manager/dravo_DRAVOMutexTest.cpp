#include "dravo/manager/dravo_DRAVOMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(DRAVOMutexTest, ThreeNestedBeginsNeedThreeEndsBeforeAnotherThreadTakesIt)
{
    DRAVO::DRAVOMutex mutex("Nested");
    ASSERT_TRUE(mutex.isValid());
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0u, mutex.begin());

    std::atomic<int> stage{0};
    std::thread other([&] {
        stage = 1;
        EXPECT_EQ(0u, mutex.begin());
        stage = 2;
        EXPECT_EQ(0u, mutex.end());
    });
    ASSERT_TRUE(waitFor([&] { return stage.load() == 1; }, 2s));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(0u, mutex.end());
        std::this_thread::sleep_for(20ms);  // a wrongly woken waiter would show here
        EXPECT_EQ(1, stage.load()) << "taken after " << i + 1 << " ends";
    }
    EXPECT_EQ(0u, mutex.end());
    EXPECT_TRUE(waitFor([&] { return stage.load() == 2; }, 2s));
    other.join();
}

// Every waiter reads the owner before it waits while the holder writes it.
TEST(DRAVOMutexTest, ManyThreadsExcludeEachOther)
{
    DRAVO::DRAVOMutex mutex;
    int counter = 0;  // guarded by the mutex only
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                DRAVO::DRAVOMutexAutoReleaser hold(&mutex);
                DRAVO::DRAVOMutexAutoReleaser nested(&mutex);
                ++counter;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(8000, counter);
}

TEST(DRAVOMutexTest, AutoReleaserHoldsForItsScopeAndIgnoresNull)
{
    const DRAVO::DRAVOMutex mutex("Scoped");
    std::atomic<bool> taken{false};
    std::thread other;
    {
        DRAVO::DRAVOMutexAutoReleaser hold(&mutex);
        DRAVO::DRAVOMutexAutoReleaser none(nullptr);
        other = std::thread([&] {
            DRAVO::DRAVOMutexAutoReleaser wait(&mutex);
            taken = true;
        });
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(taken.load());
    }
    EXPECT_TRUE(waitFor([&] { return taken.load(); }, 2s));
    other.join();
}

TEST(DRAVOMutexTest, MisuseIsAnAssertionStop)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            DRAVO::DRAVOMutex mutex;
            (void)mutex.end();  // nobody holds it
        },
        "");
    EXPECT_DEATH(
        {
            DRAVO::DRAVOMutex mutex;
            (void)mutex.begin();
            std::thread([&] { (void)mutex.end(); }).join();  // not the holder
        },
        "");
    EXPECT_DEATH(
        {
            auto* mutex = new DRAVO::DRAVOMutex;
            (void)mutex->begin();
            delete mutex;  // destroyed while held
        },
        "");
}
