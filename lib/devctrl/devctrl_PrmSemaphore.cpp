#include "devctrl/devctrl_PrmSemaphore.h"

#include "oswrap/oswrap_semaphore.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr auto kRelaxed = std::memory_order_relaxed;

bool isBadCategory(PrmSemaphore::CATEGORY_OF_SemType category)
{
    return category >= PrmSemaphore::kCategoryCount;
}

}  // namespace

PrmSemaphore::PrmSemaphore(uint16_t prmSemId, uint16_t ctrlSemId, JLIB::JFastLock::LockCallback acquire,
                           JLIB::JFastLock::LockCallback release)
    : m_semId{0, prmSemId, ctrlSemId}, m_fastLock(acquire, release)
{
    for (uint32_t c = 0; c < kCategoryCount; ++c) {
        m_owner[c].store(JLIB::JFastLock::kNoTask, kRelaxed);
        m_nesting[c].store(0, kRelaxed);
    }
}

uint32_t PrmSemaphore::getPrmLock() { return lock(kCategoryGet); }
uint32_t PrmSemaphore::getPrmUnlock() { return unlock(kCategoryGet); }
uint32_t PrmSemaphore::setPrmLock() { return lock(kCategorySet); }
uint32_t PrmSemaphore::setPrmUnlock() { return unlock(kCategorySet); }
uint32_t PrmSemaphore::ctrlLock() { return lock(kCategoryCtrl); }
uint32_t PrmSemaphore::ctrlUnlock() { return unlock(kCategoryCtrl); }

// Users of this lock use only the waiting forms; a try-lock is never followed by an unlock.
uint32_t PrmSemaphore::getPrmTryLock() { return 0; }
uint32_t PrmSemaphore::setPrmTryLock() { return 0; }
uint32_t PrmSemaphore::ctrlTryLock() { return 0; }

uint32_t PrmSemaphore::lock(CATEGORY_OF_SemType category)
{
    if (isBadCategory(category)) return kFailed;
    uint64_t self = 0;
    const uint32_t result = JLIB::JFastLock::getTaskId(&self);
    // Get always goes to the read side, so nested and shared get locks are all counted there.
    if (category != kCategoryGet && m_owner[category].load(kRelaxed) == self) {
        m_nesting[category].fetch_add(1, kRelaxed);
        return result;
    }
    // A failed wait leaves no owner recorded, so the later unlock is refused instead of releasing
    // what this task never took.
    (void)waiSemHelper(category, self);
    return result;
}

uint32_t PrmSemaphore::unlock(CATEGORY_OF_SemType category)
{
    if (isBadCategory(category)) return kFailed;
    uint64_t self = 0;
    const uint32_t result = JLIB::JFastLock::getTaskId(&self);
    if (category == kCategoryGet) {
        (void)sigSemHelper(category, self);  // get has no owner to check; the read side counts
        return result;
    }
    if (m_owner[category].load(kRelaxed) != self) return kFailed;
    if (m_nesting[category].load(kRelaxed) > 0) {
        m_nesting[category].fetch_sub(1, kRelaxed);
        return result;
    }
    (void)sigSemHelper(category, self);  // the owner check above makes this release ours
    return result;
}

uint32_t PrmSemaphore::forceUnlok()
{
    (void)m_fastLock.forceUnlok();  // always 0
    for (uint32_t c = 0; c < kCategoryCount; ++c) {
        m_owner[c].store(JLIB::JFastLock::kNoTask, kRelaxed);
        m_nesting[c].store(0, kRelaxed);
    }
    return 0;
}

uint32_t PrmSemaphore::waiSemHelper(CATEGORY_OF_SemType category, uint64_t taskId)
{
    uint32_t result = kFailed;
    switch (category) {
    case kCategoryGet: result = m_fastLock.ReadLock(taskId); break;
    case kCategorySet: result = m_fastLock.WriteLock(taskId); break;
    case kCategoryCtrl: result = oswrap_WaiSem(m_semId[kCategoryCtrl]); break;
    default: return kFailed;
    }
    if (JLIB::isSuccess(result)) {
        m_owner[category].store(taskId, kRelaxed);
        m_nesting[category].store(0, kRelaxed);
    }
    return result;
}

uint32_t PrmSemaphore::sigSemHelper(CATEGORY_OF_SemType category, uint64_t taskId)
{
    if (isBadCategory(category)) return kFailed;
    // Cleared before the release: the next holder records itself after its wait and must not be
    // overwritten by ours.
    m_owner[category].store(JLIB::JFastLock::kNoTask, kRelaxed);
    m_nesting[category].store(0, kRelaxed);
    switch (category) {
    case kCategoryGet: return m_fastLock.ReadUnlock(taskId);
    case kCategorySet: return m_fastLock.WriteUnlock(taskId);
    default: return oswrap_SigSem(m_semId[kCategoryCtrl]);
    }
}

}  // namespace DeviceControl
