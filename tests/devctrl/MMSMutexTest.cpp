#include "devctrl/devctrl_MMSMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "devctrl/LockTestSupport.h"
#include "devctrl/devctrl_PrmSemaphore.h"
#include "oswrap/oswrap_semaphore.h"

using DeviceControl::MMSMutex;
using DeviceControl::PrmSemaphore;
using namespace DevctrlTest;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kNotCreated = 0x80000008u;

uint16_t idOfName(const char* name)
{
    uint16_t id = 0;
    return JLIB::isFailure(oswrap_VinqSem(&id, name)) ? 0 : id;
}

}  // namespace

TEST(MMSMutexTest, NamesItsOwnSemaphoresAndDeletesThem)
{
    uint16_t prmId = 0;
    uint16_t ctrlId = 0;
    {
        MMSMutex mutex;
        const PrmSemaphore* lock = mutex.prmSemaphore();
        ASSERT_NE(nullptr, lock);
        prmId = lock->prmSemId();
        ctrlId = lock->ctrlSemId();
        EXPECT_NE(prmId, ctrlId);
        EXPECT_EQ(prmId, idOfName("MMSPrm"));
        EXPECT_EQ(ctrlId, idOfName("MMSCtrl"));

        // Same names, own semaphores.
        MMSMutex twin("MMSPrm", "MMSCtrl");
        ASSERT_NE(nullptr, twin.prmSemaphore());
        EXPECT_NE(prmId, twin.prmSemaphore()->prmSemId());
        EXPECT_NE(ctrlId, twin.prmSemaphore()->ctrlSemId());

        MMSMutex named("FieldP", "FieldC");
        ASSERT_NE(nullptr, named.prmSemaphore());
        EXPECT_EQ(named.prmSemaphore()->prmSemId(), idOfName("FieldP"));
        EXPECT_EQ(named.prmSemaphore()->ctrlSemId(), idOfName("FieldC"));
    }
    EXPECT_EQ(kNotCreated, oswrap_DelSem(prmId));
    EXPECT_EQ(kNotCreated, oswrap_DelSem(ctrlId));
    EXPECT_EQ(0u, idOfName("MMSPrm"));
}

TEST(MMSMutexTest, ForwardsToAReentrantLock)
{
    MMSMutex mutex;
    ASSERT_EQ(0u, mutex.ctrlLock());
    ASSERT_EQ(0u, mutex.ctrlLock());
    ASSERT_EQ(0u, mutex.setPrmLock());
    ASSERT_EQ(0u, mutex.getPrmLock());
    EXPECT_EQ(0u, mutex.getPrmTryLock());
    EXPECT_EQ(0u, mutex.setPrmTryLock());
    EXPECT_EQ(0u, mutex.ctrlTryLock());

    std::atomic<bool> in{false};
    std::thread other([&] {
        (void)mutex.ctrlLock();
        in = true;
        (void)mutex.ctrlUnlock();
    });
    EXPECT_EQ(0u, mutex.getPrmUnlock());
    EXPECT_EQ(0u, mutex.setPrmUnlock());
    EXPECT_EQ(0u, mutex.ctrlUnlock());
    EXPECT_TRUE(staysFalse([&] { return in.load(); }));
    EXPECT_EQ(0u, mutex.ctrlUnlock());
    EXPECT_TRUE(waitFor([&] { return in.load(); }));
    other.join();
    EXPECT_EQ(kFailed, mutex.ctrlUnlock());
}

TEST(MMSMutexTest, WithoutSemaphoresHoldsNoLockAndGivesBackWhatItMade)
{
    // Take every free semaphore id the automatic create hands out.
    std::vector<uint16_t> taken;
    const T_OSW_CSEM pk = {nullptr, 0, 1, "Filler"};
    for (;;) {
        uint16_t id = 0;
        if (JLIB::isFailure(oswrap_AcreSem(&id, &pk))) break;
        taken.push_back(id);
    }
    ASSERT_FALSE(taken.empty());

    // Leave zero and then one free id: with one, the parameter semaphore is made and must be given
    // back when the control semaphore fails.
    for (int freeIds = 0; freeIds <= 1; ++freeIds) {
        SCOPED_TRACE(freeIds);
        if (freeIds == 1) {
            ASSERT_EQ(0u, oswrap_DelSem(taken.back()));
            taken.pop_back();
        }
        MMSMutex mutex("NoPrm", "NoCtrl");
        EXPECT_EQ(nullptr, mutex.prmSemaphore());
        EXPECT_EQ(nullptr, mutex.createMutex(nullptr, nullptr));
        const uint32_t results[] = {mutex.getPrmLock(), mutex.getPrmUnlock(), mutex.getPrmTryLock(),
                                    mutex.setPrmLock(), mutex.setPrmUnlock(), mutex.setPrmTryLock(),
                                    mutex.ctrlLock(),   mutex.ctrlUnlock(),   mutex.ctrlTryLock()};
        for (uint32_t r : results) EXPECT_EQ(kFailed, r);
        EXPECT_EQ(0u, idOfName("NoPrm"));
    }
    uint16_t id = 0;
    EXPECT_EQ(0u, oswrap_AcreSem(&id, &pk));  // the one id is free again
    taken.push_back(id);
    for (uint16_t t : taken) (void)oswrap_DelSem(t);  // the test's own ids
}
