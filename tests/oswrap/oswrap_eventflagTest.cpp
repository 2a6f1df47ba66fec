#include "oswrap/oswrap_eventflag.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "OswrapTestSupport.h"

using oswraptest::ModuleScope;
using oswraptest::waitFor;

namespace {

// Reads what is left of a group's pattern; 0 when nothing is set.
uint32_t remaining(uint16_t id)
{
    uint32_t pattern = 0;
    (void)oswrap_PolFlg(&pattern, id, 0xFFFFFFFF, OSWRAP::kWaitOr);  // not met reads as 0
    return pattern;
}

}  // namespace

TEST(oswrap_eventflagTest, PollTestsOrAndAndPatternsAndClearsWhatItSaw)
{
    ModuleScope module;
    struct Case {
        const char* what;
        uint32_t initial, attribute, waitPattern, mode;
        uint32_t result, out, left;
    };
    const Case cases[] = {
        {"or met, clear-on-read takes every bit read", 0x5, 0x4, 0x1, OSWRAP::kWaitOr, 0, 0x5, 0},
        {"or met, plain attribute keeps bits", 0x5, 0, 0x1, OSWRAP::kWaitOr, 0, 0x5, 0x5},
        {"or not met", 0x4, 0x4, 0x3, OSWRAP::kWaitOr, 0x8000000C, 0, 0x4},
        {"or of nothing never met", 0x5, 0x4, 0, OSWRAP::kWaitOr, 0x8000000C, 0, 0x5},
        {"and met", 0x7, 0, 0x3, OSWRAP::kWaitAnd, 0, 0x7, 0x7},
        {"and partly set is not met", 0x1, 0x4, 0x3, OSWRAP::kWaitAnd, 0x8000000C, 0, 0x1},
        {"and of nothing always met", 0x80000001, 0x4, 0, OSWRAP::kWaitAnd, 0, 0x80000001, 0},
        {"and of nothing on an empty pattern", 0, 0x4, 0, OSWRAP::kWaitAnd, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const T_OSW_CFLG cflg{nullptr, c.attribute, c.initial, "poll"};
        ASSERT_EQ(0u, oswrap_CreFlg(5, &cflg));
        uint32_t pattern = 0xA5A5A5A5;
        EXPECT_EQ(c.result, oswrap_PolFlg(&pattern, 5, c.waitPattern, c.mode));
        EXPECT_EQ(c.out, pattern);
        if (c.attribute == 0x4) {
            EXPECT_EQ(c.left, remaining(5));
        } else {
            uint32_t all = 0;
            EXPECT_EQ(0u, oswrap_PolFlg(&all, 5, 0, OSWRAP::kWaitAnd));
            EXPECT_EQ(c.left, all);
        }
        ASSERT_EQ(0u, oswrap_DelFlg(5));
    }
}

TEST(oswrap_eventflagTest, SetOrsBitsAndClearKeepsTheMaskedBits)
{
    ModuleScope module;
    const T_OSW_CFLG cflg{nullptr, 0, 0x10, nullptr};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreFlg(&id, &cflg));
    EXPECT_EQ(0u, oswrap_SetFlg(id, 0x3));
    EXPECT_EQ(0u, oswrap_ClrFlg(id, 0xFFFFFFFE));
    uint32_t pattern = 0;
    EXPECT_EQ(0u, oswrap_PolFlg(&pattern, id, 0, OSWRAP::kWaitAnd));
    EXPECT_EQ(0x12u, pattern);
    EXPECT_EQ(0u, oswrap_ClrFlg(id, 0));
    EXPECT_EQ(0x8000000Cu, oswrap_PolFlg(&pattern, id, 0xFFFFFFFF, OSWRAP::kWaitOr));
}

TEST(oswrap_eventflagTest, CreatesUnderCheckedIdsAndRefusesUnknownGroups)
{
    ModuleScope module;
    const T_OSW_CFLG cflg{nullptr, 0x4, 0, "grp"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreFlg(&id, &cflg));
    EXPECT_EQ(200u, id);
    ASSERT_EQ(0u, oswrap_AcreFlg(&id, &cflg));
    EXPECT_EQ(199u, id);
    EXPECT_EQ(0x80000005u, oswrap_AcreFlg(nullptr, &cflg));
    EXPECT_EQ(0x80000005u, oswrap_AcreFlg(&id, nullptr));

    struct Case { uint16_t id; uint32_t result; };
    const Case creates[] = {{1, 0}, {99, 0}, {99, 0x80000008}, {100, 0x80000005}, {0, 0x80000005}};
    for (const Case& c : creates) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.result, oswrap_CreFlg(c.id, &cflg));
    }
    EXPECT_EQ(0x80000005u, oswrap_CreFlg(2, nullptr));

    // Per id: delete, set, clear, poll, the two unsupported calls; unknown and out-of-range ids.
    struct UseCase { uint16_t id; uint32_t del, set, clr, pol, isr; };
    const UseCase uses[] = {
        {50, 0x80000007, 0x80000007, 0x80000007, 0x80000007, 0x80000002},
        {0, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
        {201, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
    };
    for (const UseCase& c : uses) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.del, oswrap_DelFlg(c.id));
        EXPECT_EQ(c.set, oswrap_SetFlg(c.id, 1));
        EXPECT_EQ(c.clr, oswrap_ClrFlg(c.id, 0));
        uint32_t pattern = 0xA5A5A5A5;
        EXPECT_EQ(c.pol, oswrap_PolFlg(&pattern, c.id, 1, OSWRAP::kWaitOr));
        if (c.pol == 0x80000007) {
            EXPECT_EQ(0u, pattern);
        }
        pattern = 0xA5A5A5A5;
        EXPECT_EQ(c.pol, oswrap_TwaiFlg(&pattern, c.id, 1, OSWRAP::kWaitOr, 10));
        EXPECT_EQ(c.isr, oswrap_SetFlgFromISR(c.id, 1));
        EXPECT_EQ(c.isr, oswrap_ClrFlgFromISR(c.id, 1));
    }
    EXPECT_EQ(0u, oswrap_DelFlg(99));
    EXPECT_EQ(0x80000007u, oswrap_DelFlg(99));
    EXPECT_EQ(0x80000007u, oswrap_SetFlg(99, 1));
    EXPECT_EQ(0x80000005u, oswrap_PolFlg(nullptr, 1, 1, OSWRAP::kWaitOr));
}

TEST(oswrap_eventflagTest, TimedWaitEndsOnTimeoutOrWhenAnotherTaskSetsTheBits)
{
    ModuleScope module;
    const T_OSW_CFLG cflg{nullptr, 0x4, 0, "wait"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreFlg(&id, &cflg));

    uint32_t pattern = 0xA5A5A5A5;
    EXPECT_EQ(0x8000000Cu, oswrap_TwaiFlg(&pattern, id, 0x1, OSWRAP::kWaitOr, 0));
    EXPECT_EQ(0u, pattern);
    pattern = 0xA5A5A5A5;
    EXPECT_EQ(0x8000000Cu, oswrap_TwaiFlg(&pattern, id, 0x1, OSWRAP::kWaitOr, 20));
    EXPECT_EQ(0u, pattern);

    // An AND wait is not ended by a part of its pattern; the waiter sees the whole pattern.
    std::atomic<bool> done{false};
    std::atomic<uint32_t> result{0xFFFFFFFF};
    std::atomic<uint32_t> seen{0};
    std::atomic<long> tid{0};
    std::thread waiter([&] {
        tid = oswraptest::currentTid();
        uint32_t p = 0;
        result = oswrap_WaiFlg(&p, id, 0x6, OSWRAP::kWaitAnd);
        seen = p;
        done = true;
    });
    ASSERT_TRUE(oswraptest::waitUntilBlocked(tid));
    ASSERT_EQ(0u, oswrap_SetFlg(id, 0x2));
    // The waiter wakes, sees only part of its pattern and blocks again.
    ASSERT_TRUE(oswraptest::waitUntilBlocked(tid));
    EXPECT_FALSE(done.load());
    ASSERT_EQ(0u, oswrap_SetFlg(id, 0x5));
    EXPECT_TRUE(waitFor([&] { return done.load(); }));
    waiter.join();
    EXPECT_EQ(0u, result.load());
    EXPECT_EQ(0x7u, seen.load());
    EXPECT_EQ(0u, remaining(id));
}

TEST(oswrap_eventflagTest, DeletingAGroupWakesItsBlockedWaiterWithNoObject)
{
    ModuleScope module;
    const T_OSW_CFLG cflg{nullptr, 0x4, 0, "gone"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreFlg(&id, &cflg));
    std::atomic<long> tid{0};
    std::atomic<uint32_t> result{0};
    std::atomic<uint32_t> seen{0xA5A5A5A5};
    const auto before = std::chrono::steady_clock::now();
    std::thread waiter([&] {
        tid = oswraptest::currentTid();
        uint32_t p = 0xA5A5A5A5;
        // Bounded, so a missed wake-up fails the test instead of hanging it.
        result = oswrap_TwaiFlg(&p, id, 0x1, OSWRAP::kWaitOr, 10000);
        seen = p;
    });
    ASSERT_TRUE(oswraptest::waitUntilBlocked(tid));
    EXPECT_EQ(0u, oswrap_DelFlg(id));
    waiter.join();
    EXPECT_EQ(0x80000007u, result.load());
    EXPECT_EQ(0u, seen.load());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
}

TEST(oswrap_eventflagTest, FindsCreatedGroupsByTheirFirstNineCharacters)
{
    ModuleScope module;
    const T_OSW_CFLG named{nullptr, 0, 0, "UserEventFlag"};
    ASSERT_EQ(0u, oswrap_CreFlg(8, &named));
    struct Case { const char* name; uint32_t result; };
    const Case cases[] = {{"UserEvent", 0}, {"UserEventX", 0}, {"UserEven", 0x8000000E}, {"other", 0x8000000E}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t id = 0xA5A5;
        EXPECT_EQ(c.result, oswrap_VinqFlg(&id, c.name));
        if (c.result == 0) {
            EXPECT_EQ(8u, id);
        }
    }
    uint16_t id = 0;
    EXPECT_EQ(0x80000005u, oswrap_VinqFlg(&id, nullptr));
}
