#include "LogicCtrl/logic_Mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "LogicCtrl/LogicTestSupport.h"
#include "TMS/TmsTestSupport.h"
#include "oswrap/oswrap_semaphore.h"

using namespace std::chrono_literals;
using LogicCtrl::LogicMutex;
using LogicCtrl::ThreadId;

namespace LogicCtrl {

struct LogicMutexProbe {
    static ThreadId owner(const LogicMutex& mutex) { return mutex.m_owner.load(); }
    static int32_t nesting(const LogicMutex& mutex) { return mutex.m_nesting; }
};

}  // namespace LogicCtrl

using Probe = LogicCtrl::LogicMutexProbe;

TEST(LogicMutexTest, ThreeNestedBeginsNeedThreeEndsBeforeAWaiterGetsTheLock)
{
    LogicMutex mutex;
    ASSERT_TRUE(mutex.isValid());
    const ThreadId self = LogicCtrl::getCurrentThreadId();
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0u, mutex.begin());
    EXPECT_EQ(self, Probe::owner(mutex));
    EXPECT_EQ(2, Probe::nesting(mutex));

    std::atomic<int> stage{0};
    std::atomic<bool> ownedByWaiter{false};
    std::thread waiter([&] {
        stage = 1;
        EXPECT_EQ(0u, mutex.begin());
        ownedByWaiter = Probe::owner(mutex) == LogicCtrl::getCurrentThreadId();
        stage = 2;
        EXPECT_EQ(0u, mutex.end());
    });
    ASSERT_TRUE(TmsTest::waitFor([&] { return stage.load() == 1; }, 2s));

    // Another thread's end is refused and changes nothing.
    std::thread([&] { EXPECT_EQ(0x80000000u, mutex.end()); }).join();
    EXPECT_EQ(self, Probe::owner(mutex));
    EXPECT_EQ(2, Probe::nesting(mutex));

    // The release clears the owner before it signals, so a lock given away too early would
    // show here at once, whether or not the waiter has run yet.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(0u, mutex.end());
        EXPECT_EQ(self, Probe::owner(mutex)) << "given away after " << i + 1 << " ends";
        EXPECT_EQ(1, stage.load());
    }
    ASSERT_EQ(0u, mutex.end());
    EXPECT_TRUE(TmsTest::waitFor([&] { return stage.load() == 2; }, 2s));
    waiter.join();
    EXPECT_TRUE(ownedByWaiter.load());
    EXPECT_EQ(ThreadId(), Probe::owner(mutex));
    EXPECT_EQ(0x80000000u, mutex.end());  // free: nobody owns it
}

TEST(LogicMutexTest, SemaphoreCarriesTheLocksNameAndGoesWithIt)
{
    uint16_t id = 0;
    {
        LogicMutex unnamed;
        LogicMutex named("Wiring");
        ASSERT_TRUE(unnamed.isValid());
        EXPECT_EQ(0u, oswrap_VinqSem(&id, "Logic"));
        EXPECT_EQ(0u, oswrap_VinqSem(&id, "Wiring"));
    }
    EXPECT_EQ(0x8000000Eu, oswrap_VinqSem(&id, "Logic"));
    EXPECT_EQ(0x8000000Eu, oswrap_VinqSem(&id, "Wiring"));
}

TEST(LogicMutexTest, AutoReleaserHoldsForItsScopeAndAcceptsNoLock)
{
    LogicMutex mutex("LogicCol");
    {
        LogicCtrl::LogicMutexAutoReleaser hold(&mutex);
        EXPECT_EQ(LogicCtrl::getCurrentThreadId(), Probe::owner(mutex));
        LogicCtrl::LogicMutexAutoReleaser nested(&mutex);
        EXPECT_EQ(1, Probe::nesting(mutex));
    }
    EXPECT_EQ(ThreadId(), Probe::owner(mutex));
    LogicCtrl::LogicMutexAutoReleaser nothing(nullptr);  // holds nothing, releases nothing
}

TEST(LogicMutexTest, LockWithoutSemaphoreRefusesEverything)
{
    auto taken = LogicTest::takeEverySemaphore();
    ASSERT_FALSE(taken.empty());
    testing::internal::CaptureStdout();
    LogicMutex mutex;
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(mutex.isValid());
    EXPECT_NE(std::string::npos, log.find("[E] LogicMutex::LogicMutex - cannot create semaphore. [name=Logic]"))
        << log;
    EXPECT_EQ(0x80000000u, mutex.begin());
    EXPECT_EQ(0x80000000u, mutex.end());
    EXPECT_EQ(ThreadId(), Probe::owner(mutex));
}
