#include "VUviRido/Socket/VComPlatform.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace VCOM {

namespace {

// The OS wrapper's semaphores have no timed wait, so each id made here gets a lock of its own
// that can be waited for with a limit; the OS wrapper still hands out the id and keeps the name.
// The locks guard a few copied words, so a taker that finds one held first spins a little: the
// socket task wakes the owner while it still holds them, and the owner should not sleep again
// just for those few instructions.
struct BoundedLock {
    std::atomic<bool> held{false};
    std::atomic<int32_t> sleepers{0};
    std::mutex mutex;  // guards the sleep only
    std::condition_variable freed;

    bool tryTake()
    {
        bool expected = false;
        return held.compare_exchange_strong(expected, true);
    }
    bool lock(std::chrono::milliseconds limit)
    {
        if (tryTake()) return true;
        for (int i = 0; i < kSpinRounds; ++i) {
            cpuRelax();
            if (!held.load(std::memory_order_relaxed) && tryTake()) return true;
        }
        std::unique_lock<std::mutex> guard(mutex);
        // Counted before the test under the mutex: a release either is seen by the test or sees
        // the sleeper and wakes it.
        sleepers.fetch_add(1);
        const bool taken = freed.wait_for(guard, limit, [this] { return tryTake(); });
        sleepers.fetch_sub(1);
        return taken;
    }
    void unlock()
    {
        held.store(false);
        if (sleepers.load() == 0) return;
        std::lock_guard<std::mutex> guard(mutex);
        freed.notify_one();
    }

    static constexpr int kSpinRounds = 100;
    static void cpuRelax()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#elif defined(__aarch64__)
        asm volatile("yield" ::: "memory");
#endif
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
