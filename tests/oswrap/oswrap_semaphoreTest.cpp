#include "oswrap/oswrap_semaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "OswrapTestSupport.h"

using oswraptest::ModuleScope;
using oswraptest::waitFor;

TEST(oswrap_semaphoreTest, CreatesUnderFixedIdsAndPicksAutomaticIdsFromTheTop)
{
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, "sem"};
    uint16_t id = 0xA5A5;
    EXPECT_EQ(0u, oswrap_AcreSem(&id, &csem));
    EXPECT_EQ(300u, id);
    EXPECT_EQ(0u, oswrap_AcreSem(&id, &csem));
    EXPECT_EQ(299u, id);

    struct Case { uint16_t id; uint32_t result; };
    const Case creates[] = {
        {1, 0}, {149, 0}, {149, 0x80000008}, {150, 0x80000005}, {0, 0x80000005}, {300, 0x80000005},
    };
    for (const Case& c : creates) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.result, oswrap_CreSem(c.id, &csem));
    }
    EXPECT_EQ(0x80000005u, oswrap_CreSem(2, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_AcreSem(nullptr, &csem));
    EXPECT_EQ(0x80000005u, oswrap_AcreSem(&id, nullptr));

    const Case deletes[] = {
        {149, 0}, {149, 0x80000008}, {300, 0}, {2, 0x80000008}, {0, 0x80000005}, {301, 0x80000005},
    };
    for (const Case& c : deletes) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.result, oswrap_DelSem(c.id));
    }
    // The freed top id is the next one picked.
    EXPECT_EQ(0u, oswrap_AcreSem(&id, &csem));
    EXPECT_EQ(300u, id);
}

TEST(oswrap_semaphoreTest, FullAutomaticRangeGivesNoFreeIdWithoutWritingTheId)
{
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, nullptr};
    uint16_t id = 0;
    for (int i = 150; i <= 300; ++i) ASSERT_EQ(0u, oswrap_AcreSem(&id, &csem));
    EXPECT_EQ(150u, id);
    id = 0xA5A5;
    EXPECT_EQ(0x80000010u, oswrap_AcreSem(&id, &csem));
    EXPECT_EQ(0xA5A5u, id);
    // Fixed ids are a separate pool.
    EXPECT_EQ(0u, oswrap_CreSem(1, &csem));
}

TEST(oswrap_semaphoreTest, OperationsCheckTheIdRange)
{
    ModuleScope module;
    struct Case { uint16_t id; uint32_t wai, twai, sig, isr; };
    const Case cases[] = {
        {0, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
        {301, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
        // Wait and signal do not look at whether the id was created.
        {300, 0, 0x80000002, 0, 0x80000002},
        {1, 0, 0x80000002, 0, 0x80000002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.wai, oswrap_WaiSem(c.id));
        EXPECT_EQ(c.twai, oswrap_TwaiSem(c.id, 10));
        EXPECT_EQ(c.sig, oswrap_SigSem(c.id));
        EXPECT_EQ(c.isr, oswrap_SigSemFromISR(c.id));
    }
}

TEST(oswrap_semaphoreTest, WaitExcludesOtherTasksUntilSignalled)
{
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, "excl"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&id, &csem));
    ASSERT_EQ(0u, oswrap_WaiSem(id));

    std::atomic<bool> entered{false};
    std::thread other([&] {
        EXPECT_EQ(0u, oswrap_WaiSem(id));
        entered = true;
        EXPECT_EQ(0u, oswrap_SigSem(id));
    });
    EXPECT_FALSE(entered.load());
    EXPECT_EQ(0u, oswrap_SigSem(id));
    EXPECT_TRUE(waitFor([&] { return entered.load(); }));
    other.join();
}

TEST(oswrap_semaphoreTest, DeletingALockedSemaphoreFreesTheIdUnlocked)
{
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, "first"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&id, &csem));
    ASSERT_EQ(0u, oswrap_WaiSem(id));
    ASSERT_EQ(0u, oswrap_DelSem(id));

    uint16_t again = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&again, &csem));
    ASSERT_EQ(id, again);
    std::atomic<bool> taken{false};
    std::thread other([&] {
        EXPECT_EQ(0u, oswrap_WaiSem(again));
        taken = true;
        EXPECT_EQ(0u, oswrap_SigSem(again));
    });
    const bool tookIt = waitFor([&] { return taken.load(); }, std::chrono::seconds(2));
    EXPECT_TRUE(tookIt);
    if (!tookIt) {
        EXPECT_EQ(0u, oswrap_SigSem(again));  // lets the blocked thread finish
    }
    other.join();
}

TEST(oswrap_semaphoreTest, FindsCreatedSemaphoresByTheirFirstNineCharacters)
{
    ModuleScope module;
    const T_OSW_CSEM longName{nullptr, 0, 1, "TMSMutexLongName"};
    const T_OSW_CSEM shortName{nullptr, 0, 1, "VSWSINT"};
    ASSERT_EQ(0u, oswrap_CreSem(20, &longName));
    ASSERT_EQ(0u, oswrap_CreSem(10, &shortName));

    struct Case { const char* name; uint32_t result; uint16_t id; };
    const Case cases[] = {
        {"TMSMutexL", 0, 20},
        {"TMSMutexLxyz", 0, 20},
        {"TMSMutex", 0x8000000E, 0},
        {"VSWSINT", 0, 10},
        {"VSWSIN", 0x8000000E, 0},
        {"", 0x8000000E, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t id = 0xA5A5;
        EXPECT_EQ(c.result, oswrap_VinqSem(&id, c.name));
        if (c.result == 0) {
            EXPECT_EQ(c.id, id);
        }
    }
    uint16_t id = 0;
    EXPECT_EQ(0x80000005u, oswrap_VinqSem(&id, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_VinqSem(nullptr, "VSWSINT"));
    ASSERT_EQ(0u, oswrap_DelSem(10));
    EXPECT_EQ(0x8000000Eu, oswrap_VinqSem(&id, "VSWSINT"));
}

TEST(oswrap_semaphoreTest, ManyTasksTakingOneSemaphoreNeverOverlap)
{
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, "stress"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&id, &csem));
    constexpr int kThreads = 6;
    constexpr int kRounds = 5000;
    long counter = 0;  // guarded by the semaphore only
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                EXPECT_EQ(0u, oswrap_WaiSem(id));
                if (inside.fetch_add(1) != 0) ++overlaps;
                ++counter;
                inside.fetch_sub(1);
                EXPECT_EQ(0u, oswrap_SigSem(id));
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(0, overlaps.load());
    EXPECT_EQ(static_cast<long>(kThreads) * kRounds, counter);
}

TEST(oswrap_semaphoreTest, ASemaphoreTakenByOneTaskIsGivenBackByAnother)
{
    // Two tasks hand a turn back and forth: each one signals the semaphore that the other one
    // waits for, never one it took itself.
    ModuleScope module;
    const T_OSW_CSEM csem{nullptr, 0, 1, "turn"};
    uint16_t toA = 0;
    uint16_t toB = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&toA, &csem));
    ASSERT_EQ(0u, oswrap_AcreSem(&toB, &csem));
    ASSERT_EQ(0u, oswrap_WaiSem(toA));  // both start out taken by this task
    ASSERT_EQ(0u, oswrap_WaiSem(toB));
    constexpr int kRounds = 5000;
    std::atomic<int> turnsA{0};
    std::atomic<int> turnsB{0};
    std::thread a([&] {
        for (int i = 0; i < kRounds; ++i) {
            EXPECT_EQ(0u, oswrap_WaiSem(toA));
            EXPECT_EQ(turnsB.load(), turnsA.load() + 1) << "A ran out of turn";
            ++turnsA;
            EXPECT_EQ(0u, oswrap_SigSem(toB));
        }
    });
    std::thread b([&] {
        for (int i = 0; i < kRounds; ++i) {
            ++turnsB;
            EXPECT_EQ(0u, oswrap_SigSem(toA));
            EXPECT_EQ(0u, oswrap_WaiSem(toB));
        }
    });
    EXPECT_TRUE(waitFor([&] { return turnsA.load() == kRounds; }, std::chrono::seconds(30)));
    // A lost wake-up stalls both; nudge them to the end so the test reports instead of hanging.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (turnsA.load() != kRounds && std::chrono::steady_clock::now() < giveUp) {
        (void)oswrap_SigSem(toA);
        (void)oswrap_SigSem(toB);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    a.join();
    b.join();
    EXPECT_EQ(kRounds, turnsB.load());
}
