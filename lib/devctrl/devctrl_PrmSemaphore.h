#pragma once
// Field lock over one fast lock and one OS semaphore: get is the fast lock's read side, set its
// write side and ctrl the control semaphore. Set and ctrl are re-entrant for the task that holds
// them; a task that holds set may also take get, never the reverse. Any task may call.
#include <atomic>
#include <cstdint>

#include "MMS/Common/mms_IMutex.h"
#include "devctrl/jlib_JFastLock.h"

namespace DeviceControl {

class PrmSemaphore : public MMS::IMutex {
public:
    enum CATEGORY_OF_SemType : uint32_t { kCategoryGet = 0, kCategorySet = 1, kCategoryCtrl = 2, kCategoryCount = 3 };

    static constexpr uint16_t kNoSemaphore = 0xFFFF;

    // The ids are the caller's semaphores and stay the caller's; the callbacks go to the fast lock.
    PrmSemaphore(uint16_t prmSemId, uint16_t ctrlSemId, JLIB::JFastLock::LockCallback acquire = nullptr,
                 JLIB::JFastLock::LockCallback release = nullptr);
    PrmSemaphore(const PrmSemaphore&) = delete;
    PrmSemaphore& operator=(const PrmSemaphore&) = delete;

    // Locks wait and give 0; unlocks of set or ctrl by a task that does not hold them give
    // 0x80000000 and change nothing. The try-locks take nothing and give 0.
    uint32_t getPrmLock() override;
    uint32_t getPrmUnlock() override;
    uint32_t getPrmTryLock() override;
    uint32_t setPrmLock() override;
    uint32_t setPrmUnlock() override;
    uint32_t setPrmTryLock() override;
    uint32_t ctrlLock() override;
    uint32_t ctrlUnlock() override;
    uint32_t ctrlTryLock() override;
    ~PrmSemaphore() override = default;

    // 0x80000000 for a category of 3 or more; otherwise 0, whatever the wait or release gave.
    uint32_t lock(CATEGORY_OF_SemType category);
    uint32_t unlock(CATEGORY_OF_SemType category);

    uint16_t prmSemId() const { return m_semId[kCategorySet]; }
    uint16_t ctrlSemId() const { return m_semId[kCategoryCtrl]; }

    // Frees the fast lock and forgets every owner; a ctrl lock held now stays held at the semaphore.
    uint32_t forceUnlok();

    // The raw wait and release of one category; they give the wait's or the release's result.
    uint32_t waiSemHelper(CATEGORY_OF_SemType category, uint64_t taskId);
    uint32_t sigSemHelper(CATEGORY_OF_SemType category, uint64_t taskId);

private:
    uint16_t m_semId[kCategoryCount];
    // Read by every task that locks or unlocks, written by the holder: atomic, not guarded.
    std::atomic<uint64_t> m_owner[kCategoryCount];
    // Touched by the owner only (and by forceUnlok); atomic so a forced unlock is no race.
    std::atomic<int16_t> m_nesting[kCategoryCount];
    JLIB::JFastLock m_fastLock;
};

}  // namespace DeviceControl
