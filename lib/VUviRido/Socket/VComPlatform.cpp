#include "VUviRido/Socket/VComPlatform.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace VCOM {

namespace {

// The OS wrapper's semaphores have no timed wait, so each id made here gets a lock of its own
// that can be waited for with a limit; the OS wrapper still hands out the id and keeps the name.
struct BoundedLock {
    std::mutex mutex;
    std::condition_variable freed;
    bool held = false;

    bool lock(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> guard(mutex);
        if (!freed.wait_for(guard, limit, [this] { return !held; })) return false;
        held = true;
        return true;
    }
    void unlock()
    {
        {
            std::lock_guard<std::mutex> guard(mutex);
            held = false;
        }
        freed.notify_one();
    }
};

BoundedLock s_locks[OSWRAP::kSemRange.highest + 1];

bool validId(uint16_t id) { return id >= OSWRAP::kSemRange.lowest && id <= OSWRAP::kSemRange.highest; }

}  // namespace

JLIB::JResult VComGetTaskId(uint16_t* id)
{
    if (!id) return kVComFailed;
    uint16_t task = 0;
    const JLIB::JResult r = oswrap_GetTskId(&task);
    if (JLIB::isFailure(r) || task == 0) return kVComFailed;
    *id = task;
    return kVComOk;
}

JLIB::JResult VComACreSem(uint16_t* id, const char* name)
{
    if (!id) return kVComFailed;
    const T_OSW_CSEM pk = {nullptr, 0, 1, name};
    uint16_t made = 0;
    if (JLIB::isFailure(oswrap_AcreSem(&made, &pk)) || !validId(made)) return kVComFailed;
    *id = made;
    return kVComOk;
}

JLIB::JResult VComDelSem(uint16_t id)
{
    return JLIB::isSuccess(oswrap_DelSem(id)) ? kVComOk : kVComFailed;
}

JLIB::JResult VComWaiSem(uint16_t id)
{
    if (!validId(id)) return kVComBadArgument;
    if (s_locks[id].lock(std::chrono::milliseconds(kLockWaitLimitMs))) return kVComOk;
    JLIB_LOG("[E] VComWaiSem - lock %u not taken within %u ms\n", static_cast<unsigned>(id),
             static_cast<unsigned>(kLockWaitLimitMs));
    return kVComTimeout;
}

JLIB::JResult VComSigSem(uint16_t id)
{
    if (!validId(id)) return kVComBadArgument;
    s_locks[id].unlock();
    return kVComOk;
}

int32_t VComInterlockedCompareExchange(volatile int32_t* place, int32_t exchange, int32_t comparand)
{
    return oswrap_InterlockedCompareExchange(place, exchange, comparand);
}

int32_t VComInterlockedIncrement(volatile int32_t* place) { return oswrap_InterlockedIncrement(place); }

void VComSpinLock() {}

void VComDebugOutput(const char*, ...) {}

}  // namespace VCOM
