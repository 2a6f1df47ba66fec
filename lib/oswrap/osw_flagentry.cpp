#include "oswrap/internal/osw_flagentry.h"

#include <time.h>

#include <cstdint>

#include "oswrap/internal/osw_futex.h"

namespace OSWRAP::detail {

namespace {

// Rounds of looking before a wait sleeps: a few microseconds, far below a sleep and wake-up.
constexpr int kLookRounds = 200;

void sleepOneMs()
{
    const timespec oneMs{0, 1000000};
    (void)nanosleep(&oneMs, nullptr);
}

// Reads the pattern and tests it; with clear-on-read takes exactly the bits that were read, so
// bits set by others after the read survive.
bool takeIfMet(FlagEntry& e, uint32_t waitPattern, uint32_t mode, uint32_t* seen)
{
    const uint32_t current = e.pattern.load();
    if (!_flg_comparePattern(current, waitPattern, mode)) return false;
    if (e.attribute & kFlagClearOnRead) e.pattern.fetch_and(~current);
    *seen = current;
    return true;
}

// Wakes every task asleep on the entry. The pattern or status change that the sleepers test
// is made before this, and a sleeper counts itself before it tests, so either it sees the change
// or this sees it and moves `wakeups` under its feet.
JLIB::JResult wakeSleepers(FlagEntry& e)
{
    if (e.sleepers.load() == 0) return kOk;
    e.wakeups.fetch_add(1);
    return futexWake(e.wakeups, INT32_MAX) < 0 ? kSystemCallFailed : kOk;
}

// Sleeps until a set, clear or delete, a time-out or a signal. Returns 0 when woken (the caller
// tests again), 0x8000000C on time-out and 0x80000013 when the sleep failed.
JLIB::JResult sleepUntilChanged(FlagEntry& e, uint32_t waitPattern, uint32_t mode, int32_t timeoutMs)
{
    // A few microseconds of looking first: a task that is answered at once (a reply, the next
    // event) then goes on without a sleep and wake-up on either side.
    for (int i = 0; i < kLookRounds; ++i) {
        cpuRelax();
        if (_flg_comparePattern(e.pattern.load(std::memory_order_relaxed), waitPattern, mode)) return kOk;
    }
    const uint32_t seen = e.wakeups.load();
    e.sleepers.fetch_add(1);
    int slept = 0;
    if (e.header.status.load() == kFlagCreated && !_flg_comparePattern(e.pattern.load(), waitPattern, mode)) {
        slept = futexWait(e.wakeups, seen, timeoutMs);
    }
    e.sleepers.fetch_sub(1);
    if (slept < 0) return kSystemCallFailed;
    return slept == 1 ? kTimeout : kOk;
}

}  // namespace

JLIB::JResult _osw_trySetObjStatusCreating(FlagHeader& h)
{
    uint32_t expected = kFlagFree;
    return h.status.compare_exchange_strong(expected, kFlagCreating) ? kOk : kWrongState;
}

void _osw_setObjStatusCreated(FlagHeader& h) { h.status.store(kFlagCreated); }

JLIB::JResult _osw_trySetObjStatusDeleting(FlagHeader& h)
{
    uint32_t expected = kFlagCreated;
    return h.status.compare_exchange_strong(expected, kFlagDeleting) ? kOk : kNoObject;
}

void _osw_setObjStatusDeleted(FlagHeader& h) { h.status.store(kFlagFree); }

JLIB::JResult _osw_tryDisableDeletion(FlagHeader& h)
{
    if (h.status.load() != kFlagCreated) return kNoObject;
    h.users.fetch_add(1);
    if (h.status.load() != kFlagCreated) {
        h.users.fetch_sub(1);
        return kNoObject;
    }
    return kOk;
}

void _osw_enableDeletion(FlagHeader& h) { h.users.fetch_sub(1); }

bool _flg_comparePattern(uint32_t current, uint32_t waitPattern, uint32_t mode)
{
    if (mode & kWaitOr) return (current & waitPattern) != 0;
    return (current & waitPattern) == waitPattern;
}

JLIB::JResult flgCreate(FlagEntry& e, uint32_t attribute, uint32_t pattern, const char* name)
{
    JLIB_RETURN_IF_FAILED(_osw_trySetObjStatusCreating(e.header));
    e.pattern.store(pattern);
    e.attribute = attribute;
    storeName(e.name, name);
    _osw_setObjStatusCreated(e.header);
    return kOk;
}

JLIB::JResult flgDelete(FlagEntry& e)
{
    JLIB_RETURN_IF_FAILED(_osw_trySetObjStatusDeleting(e.header));
    // Wakes a task blocked in a wait, which then finds the entry gone instead of sleeping on.
    const JLIB::JResult result = wakeSleepers(e);
    while (e.header.users.load() != 0) sleepOneMs();
    e.header.status.store(kFlagClosing);
    e.pattern.store(0);
    storeName(e.name, nullptr);
    _osw_setObjStatusDeleted(e.header);
    return result;
}

JLIB::JResult flgSet(FlagEntry& e, uint32_t bits)
{
    JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
    e.pattern.fetch_or(bits);
    const JLIB::JResult woken = wakeSleepers(e);
    _osw_enableDeletion(e.header);
    return woken;
}

JLIB::JResult flgClear(FlagEntry& e, uint32_t mask)
{
    JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
    e.pattern.fetch_and(mask);
    const JLIB::JResult woken = wakeSleepers(e);
    _osw_enableDeletion(e.header);
    return woken;
}

JLIB::JResult flgPoll(FlagEntry& e, uint32_t* pattern, uint32_t waitPattern, uint32_t mode)
{
    return flgTimedWait(e, pattern, waitPattern, mode, 0);
}

JLIB::JResult flgTimedWait(FlagEntry& e, uint32_t* pattern, uint32_t waitPattern, uint32_t mode, int32_t timeoutMs)
{
    *pattern = 0;
    JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
    JLIB::JResult result = kOk;
    for (;;) {
        uint32_t seen = 0;
        if (takeIfMet(e, waitPattern, mode, &seen)) {
            *pattern = seen;
            break;
        }
        if (timeoutMs == 0) {
            result = kTimeout;
            break;
        }
        // A blocked waiter does not hold off a delete.
        _osw_enableDeletion(e.header);
        const JLIB::JResult slept = sleepUntilChanged(e, waitPattern, mode, timeoutMs);
        JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
        if (JLIB::isFailure(slept)) {
            result = slept;
            break;
        }
    }
    _osw_enableDeletion(e.header);
    return result;
}

}  // namespace OSWRAP::detail
