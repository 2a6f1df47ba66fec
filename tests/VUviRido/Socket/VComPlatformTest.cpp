#include "VUviRido/Socket/VComPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

uint16_t makeLock(const char* name)
{
    uint16_t id = 0;
    EXPECT_EQ(0u, VCOM::VComACreSem(&id, name));
    return id;
}

TEST(VComPlatformTest, ManyTasksTakingOneLockNeverOverlap)
{
    const uint16_t id = makeLock("VComStres");
    constexpr int kThreads = 6;
    constexpr int kRounds = 5000;
    long counter = 0;  // guarded by the lock only
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                VCOM::VComSemLock lock(id);
                ASSERT_TRUE(lock.ok());
                if (inside.fetch_add(1) != 0) ++overlaps;
                ++counter;
                inside.fetch_sub(1);
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(0, overlaps.load());
    EXPECT_EQ(static_cast<long>(kThreads) * kRounds, counter);
    EXPECT_EQ(0u, VCOM::VComDelSem(id));
}

TEST(VComPlatformTest, AWaitForAHeldLockGivesUpAfterItsLimitAndAReleaseFromAnyTaskFreesIt)
{
    const uint16_t id = makeLock("VComLimit");
    ASSERT_EQ(0u, VCOM::VComWaiSem(id));
    std::atomic<uint32_t> result{0xFFFFFFFFu};
    const auto before = std::chrono::steady_clock::now();
    std::thread waiter([&] { result = VCOM::VComWaiSem(id); });
    waiter.join();
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(0x80000005u, result.load());
    EXPECT_GE(waited, std::chrono::milliseconds(VCOM::kLockWaitLimitMs - 10));
    EXPECT_LT(waited, std::chrono::milliseconds(VCOM::kLockWaitLimitMs + 2000));

    // Given back by another task than the one that took it, the lock is free for a third.
    std::thread([&] { EXPECT_EQ(0u, VCOM::VComSigSem(id)); }).join();
    std::thread([&] { result = VCOM::VComWaiSem(id); }).join();
    EXPECT_EQ(0u, result.load());
    EXPECT_EQ(0u, VCOM::VComSigSem(id));
    EXPECT_EQ(0u, VCOM::VComDelSem(id));
}

}  // namespace
