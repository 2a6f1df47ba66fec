#pragma once
// The scoped lock every operation of a thread-safe field takes over the field's IMutex, and the
// walk over the task list that a field hands to its change-event receiver. MutexLock takes no lock
// of its own: blocking and recursion are the IMutex implementation's.
#include <cstdint>

#include "mms_DirtyFlagList.h"
#include "mms_Platform.h"

namespace MMS {

class IMutex;

class MutexLock {
public:
    MMS_CLASS_ALLOCATORS

    static constexpr uint8_t kCtrl = 0x01;
    static constexpr uint8_t kGet = 0x02;
    static constexpr uint8_t kSet = 0x04;

    // Locks ctrl (flag 1), then set (flag 4), then get (flag 2); a null mutex locks nothing.
    // mutex: borrowed, kept alive by the field for the scope. Lock results are not examined.
    MutexLock(IMutex* mutex, uint8_t flags);
    // Unlocks in the reverse order: get, set, ctrl.
    virtual ~MutexLock();

    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    IMutex* m_pMutex;
    uint8_t m_flags;
};

// The next task item of the list, advancing the list to the item after it; null for a null list,
// a null origin or an exhausted list (offset 0).
const T_TASK_ITEM* getTaskItem(const T_TASK_LIST* list);

}  // namespace MMS
