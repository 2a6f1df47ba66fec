#pragma once
// The ready-made field lock: creates its own parameter and control semaphores and forwards every
// lock operation to a PrmSemaphore over them. When the semaphores or the lock cannot be made it
// holds no lock and every operation gives 0x80000000. Any task may call the lock operations.
#include <cstdint>

#include "MMS/Common/mms_IMutex.h"

namespace DeviceControl {

class PrmSemaphore;

class MMSMutex : public MMS::IMutex {
public:
    // Null names label the semaphores "MMSPrm" and "MMSCtrl"; a name is a label only, so two
    // mutexes of the same names still have semaphores of their own.
    explicit MMSMutex(const char* prmSemName = nullptr, const char* ctrlSemName = nullptr);
    MMSMutex(const MMSMutex&) = delete;
    MMSMutex& operator=(const MMSMutex&) = delete;

    uint32_t getPrmLock() override;
    uint32_t getPrmUnlock() override;
    uint32_t getPrmTryLock() override;
    uint32_t setPrmLock() override;
    uint32_t setPrmUnlock() override;
    uint32_t setPrmTryLock() override;
    uint32_t ctrlLock() override;
    uint32_t ctrlUnlock() override;
    uint32_t ctrlTryLock() override;
    // Deletes both semaphores and the lock.
    ~MMSMutex() override;

    // Creates the two semaphores and the lock over them; null when any of it failed, in which case
    // whatever was made is given back. The caller owns the result.
    MMS::IMutex* createMutex(const char* prmSemName, const char* ctrlSemName);

    // The owned lock when it is a PrmSemaphore (its semaphore ids), else null.
    const PrmSemaphore* prmSemaphore() const;

private:
    MMS::IMutex* m_pLock;  // owned; null when it could not be made
};

}  // namespace DeviceControl
