#include "oswrap/oswrap_semaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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
