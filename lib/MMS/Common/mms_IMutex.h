#pragma once
// The lock object of a field: three locks (get for readers, set for writers, ctrl for structure
// and bookkeeping), each with lock, unlock and try-lock. Supplied by the field's owner; a field
// may have none and then runs unlocked. Take them in the order ctrl, set, get (MutexLock does).
#include <cstdint>

namespace MMS {

class IMutex {
public:
    // Each gives a result code (top bit set: failure).
    virtual uint32_t getPrmLock() = 0;
    virtual uint32_t getPrmUnlock() = 0;
    virtual uint32_t getPrmTryLock() = 0;
    virtual uint32_t setPrmLock() = 0;
    virtual uint32_t setPrmUnlock() = 0;
    virtual uint32_t setPrmTryLock() = 0;
    virtual uint32_t ctrlLock() = 0;
    virtual uint32_t ctrlUnlock() = 0;
    virtual uint32_t ctrlTryLock() = 0;
    virtual ~IMutex() {}
};

}  // namespace MMS
