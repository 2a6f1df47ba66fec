#include "devctrl/devctrl_PrmSemaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "devctrl/LockTestSupport.h"
#include "oswrap/oswrap_semaphore.h"

using DeviceControl::PrmSemaphore;
using namespace DevctrlTest;

namespace {

constexpr uint32_t kFailed = 0x80000000u;

// A lock over two real OS semaphores, given back at the end.
class PrmSemaphoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const T_OSW_CSEM prm = {nullptr, 0, 1, "TPrm"};
        const T_OSW_CSEM ctrl = {nullptr, 0, 1, "TCtrl"};
        ASSERT_EQ(0u, oswrap_AcreSem(&m_prmId, &prm));
        ASSERT_EQ(0u, oswrap_AcreSem(&m_ctrlId, &ctrl));
    }
    void TearDown() override
    {
        (void)oswrap_DelSem(m_prmId);  // the test's own ids
        (void)oswrap_DelSem(m_ctrlId);
    }

    // Runs lockFn on another thread and reports whether it got through.
    struct Contender {
        std::atomic<bool> in{false};
        std::atomic<bool> leave{false};
        std::thread thread;
        template <typename LockFn, typename UnlockFn>
        void start(LockFn lockFn, UnlockFn unlockFn)
        {
            thread = std::thread([this, lockFn, unlockFn] {
                (void)lockFn();
                in = true;
                (void)waitFor([this] { return leave.load(); });
                (void)unlockFn();
            });
        }
        void finish()
        {
            leave = true;
            if (thread.joinable()) thread.join();
        }
        ~Contender() { finish(); }
    };

    uint16_t m_prmId = 0;
    uint16_t m_ctrlId = 0;
};

}  // namespace

TEST_F(PrmSemaphoreTest, KeepsTheSemaphoreIds)
{
    PrmSemaphore lock(m_prmId, m_ctrlId);
    EXPECT_EQ(m_prmId, lock.prmSemId());
    EXPECT_EQ(m_ctrlId, lock.ctrlSemId());
}

TEST_F(PrmSemaphoreTest, ReentrantLocksNeedAsManyUnlocksBeforeOthersGetIn)
{
    struct Case {
        const char* name;
        uint32_t (PrmSemaphore::*lock)();
        uint32_t (PrmSemaphore::*unlock)();
    };
    const Case cases[] = {
        {"ctrl", &PrmSemaphore::ctrlLock, &PrmSemaphore::ctrlUnlock},
        {"set", &PrmSemaphore::setPrmLock, &PrmSemaphore::setPrmUnlock},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrmSemaphore lock(m_prmId, m_ctrlId);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(0u, (lock.*c.lock)());

        Contender other;
        other.start([&] { return (lock.*c.lock)(); }, [&] { return (lock.*c.unlock)(); });
        EXPECT_EQ(0u, (lock.*c.unlock)());
        EXPECT_EQ(0u, (lock.*c.unlock)());
        EXPECT_TRUE(staysFalse([&] { return other.in.load(); }));
        EXPECT_EQ(0u, (lock.*c.unlock)());  // the third releases
        EXPECT_TRUE(waitFor([&] { return other.in.load(); }));

        // Now the other task holds it: this one's unlock is refused and changes nothing.
        EXPECT_EQ(kFailed, (lock.*c.unlock)());
        Contender third;
        third.start([&] { return (lock.*c.lock)(); }, [&] { return (lock.*c.unlock)(); });
        EXPECT_TRUE(staysFalse([&] { return third.in.load(); }));
        other.finish();
        EXPECT_TRUE(waitFor([&] { return third.in.load(); }));
        third.finish();
        EXPECT_EQ(kFailed, (lock.*c.unlock)());  // free again: still not ours
    }
}

TEST_F(PrmSemaphoreTest, SetHolderReadsWhileOtherReadersWaitForItsLastRelease)
{
    PrmSemaphore lock(m_prmId, m_ctrlId);
    ASSERT_EQ(0u, lock.setPrmLock());
    ASSERT_EQ(0u, lock.setPrmLock());
    EXPECT_EQ(0u, lock.getPrmLock());  // at once: the writer may read
    EXPECT_EQ(0u, lock.getPrmUnlock());

    Contender reader;
    reader.start([&] { return lock.getPrmLock(); }, [&] { return lock.getPrmUnlock(); });
    EXPECT_TRUE(staysFalse([&] { return reader.in.load(); }));
    ASSERT_EQ(0u, lock.setPrmUnlock());
    EXPECT_TRUE(staysFalse([&] { return reader.in.load(); }));
    ASSERT_EQ(0u, lock.setPrmUnlock());
    EXPECT_TRUE(waitFor([&] { return reader.in.load(); }));

    // Readers share: this task reads beside the other one, and writing waits for both.
    EXPECT_EQ(0u, lock.getPrmLock());
    Contender writer;
    writer.start([&] { return lock.setPrmLock(); }, [&] { return lock.setPrmUnlock(); });
    reader.finish();
    EXPECT_TRUE(staysFalse([&] { return writer.in.load(); }));
    EXPECT_EQ(0u, lock.getPrmUnlock());
    EXPECT_TRUE(waitFor([&] { return writer.in.load(); }));
}

TEST_F(PrmSemaphoreTest, TryLocksTakeNothing)
{
    PrmSemaphore lock(m_prmId, m_ctrlId);
    EXPECT_EQ(0u, lock.getPrmTryLock());
    EXPECT_EQ(0u, lock.setPrmTryLock());
    EXPECT_EQ(0u, lock.ctrlTryLock());
    EXPECT_EQ(kFailed, lock.setPrmUnlock());
    EXPECT_EQ(kFailed, lock.ctrlUnlock());

    Contender other;
    other.start(
        [&] { return lock.ctrlLock() | lock.setPrmLock(); }, [&] { return lock.setPrmUnlock() | lock.ctrlUnlock(); });
    EXPECT_TRUE(waitFor([&] { return other.in.load(); }));
}

TEST_F(PrmSemaphoreTest, CategoriesBeyondCtrlAreRefused)
{
    PrmSemaphore lock(m_prmId, m_ctrlId);
    const auto bad = static_cast<PrmSemaphore::CATEGORY_OF_SemType>(3);
    uint64_t self = 0;
    ASSERT_EQ(0u, JLIB::JFastLock::getTaskId(&self));
    EXPECT_EQ(kFailed, lock.lock(bad));
    EXPECT_EQ(kFailed, lock.unlock(bad));
    EXPECT_EQ(kFailed, lock.waiSemHelper(bad, self));
    EXPECT_EQ(kFailed, lock.sigSemHelper(bad, self));
    EXPECT_EQ(kFailed, lock.lock(static_cast<PrmSemaphore::CATEGORY_OF_SemType>(0xFFFFFFFFu)));

    // The named categories go where their operations go.
    EXPECT_EQ(0u, lock.lock(PrmSemaphore::kCategoryCtrl));
    EXPECT_EQ(0u, lock.lock(PrmSemaphore::kCategorySet));
    EXPECT_EQ(0u, lock.lock(PrmSemaphore::kCategoryGet));
    EXPECT_EQ(0u, lock.getPrmUnlock());
    EXPECT_EQ(0u, lock.setPrmUnlock());
    EXPECT_EQ(0u, lock.ctrlUnlock());
    EXPECT_EQ(kFailed, lock.unlock(PrmSemaphore::kCategoryCtrl));
}

TEST_F(PrmSemaphoreTest, ForcedUnlockFreesSetButLeavesCtrlHeldAtTheSemaphore)
{
    PrmSemaphore lock(m_prmId, m_ctrlId);
    ASSERT_EQ(0u, lock.ctrlLock());
    ASSERT_EQ(0u, lock.setPrmLock());
    ASSERT_EQ(0u, lock.setPrmLock());
    EXPECT_EQ(0u, lock.forceUnlok());
    EXPECT_EQ(kFailed, lock.setPrmUnlock());  // no owner any more
    EXPECT_EQ(kFailed, lock.ctrlUnlock());

    Contender writer;
    writer.start([&] { return lock.setPrmLock(); }, [&] { return lock.setPrmUnlock(); });
    EXPECT_TRUE(waitFor([&] { return writer.in.load(); }));
    writer.finish();

    Contender controller;
    controller.start([&] { return lock.ctrlLock(); }, [&] { return lock.ctrlUnlock(); });
    EXPECT_TRUE(staysFalse([&] { return controller.in.load(); }));
    ASSERT_EQ(0u, oswrap_SigSem(lock.ctrlSemId()));  // what the forgotten owner would have given back
    EXPECT_TRUE(waitFor([&] { return controller.in.load(); }));
}

namespace {
std::atomic<int> sAcquired{0};
std::atomic<int> sReleased{0};
uint32_t countAcquire(uint64_t) { return ++sAcquired, 0; }
uint32_t countRelease(uint64_t) { return ++sReleased, 0; }
}  // namespace

TEST_F(PrmSemaphoreTest, CallbacksSeeOnlyTheFastLockSides)
{
    PrmSemaphore lock(m_prmId, m_ctrlId, countAcquire, countRelease);
    ASSERT_EQ(0u, lock.ctrlLock());
    ASSERT_EQ(0u, lock.setPrmLock());
    ASSERT_EQ(0u, lock.setPrmLock());  // nesting stays in the semaphore object
    ASSERT_EQ(0u, lock.getPrmLock());
    ASSERT_EQ(0u, lock.getPrmUnlock());
    ASSERT_EQ(0u, lock.setPrmUnlock());
    ASSERT_EQ(0u, lock.setPrmUnlock());
    ASSERT_EQ(0u, lock.ctrlUnlock());
    EXPECT_EQ(1, sAcquired.load());
    EXPECT_EQ(2, sReleased.load());
}
