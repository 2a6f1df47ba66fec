#pragma once
// A thread's software timers, held by value in the order added and guarded by the borrowed
// thread lock. Any task may add, look up or delete; `run` belongs to the owning thread's task.
#include <cstdint>
#include <vector>

#include "TMS/ObjectTimer.h"
#include "jlib/jlib_result.h"

namespace TMS {

class TMSMutex;
class IObjectTimerObserver;

class ThreadTimerManager {
public:
    static constexpr JLIB::JResult kNoLock = 0x80000004u;
    static constexpr JLIB::JResult kZeroInterval = 0x80000002u;
    static constexpr JLIB::JResult kUnknownTimer = 0x80000009u;

    ThreadTimerManager() = default;
    ThreadTimerManager(const ThreadTimerManager&) = delete;
    ThreadTimerManager& operator=(const ThreadTimerManager&) = delete;

    // Binds the lock (borrowed; 0x80000004 when null or invalid) and empties the list.
    [[nodiscard]] JLIB::JResult initialize(const TMSMutex* lock);
    JLIB::JResult release();
    // A listed id is set up again in place, otherwise a timer is appended; either way stopped.
    // Interval 0: 0x80000002 and the list stays as it was. The observer is borrowed.
    [[nodiscard]] JLIB::JResult addTimer(uint32_t id, uint32_t intervalMs, bool oneShot, IObjectTimerObserver* observer);
    // A stopped timer without observer, which never fires.
    [[nodiscard]] JLIB::JResult addTimer(uint32_t id);
    // 0x80000009 for an unknown id. With releaseOnly the entry stays listed but is no longer found.
    [[nodiscard]] JLIB::JResult deleteTimer(uint32_t id, bool releaseOnly);
    // The first listed timer of this id, or the null timer. The reference lasts until the list
    // changes.
    IObjectTimer& getTimer(uint32_t id);
    // Owner task only: runs every timer in list order.
    JLIB::JResult run();

private:
    bool hasLock() const;
    ObjectTimer* find(uint32_t id);

    std::vector<ObjectTimer> m_timers;
    const TMSMutex* m_pLock = nullptr;  // the thread's "TMSThread" lock, borrowed
};

}  // namespace TMS
