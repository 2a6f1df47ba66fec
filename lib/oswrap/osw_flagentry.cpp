#include "oswrap/internal/osw_flagentry.h"

#include <time.h>

namespace OSWRAP::detail {

namespace {

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
    const JLIB::JResult made = initSyncObj(&e.sync);
    if (JLIB::isFailure(made)) {
        e.header.status.store(kFlagFree);
        return made;
    }
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
    (void)setSyncObj(&e.sync);
    while (e.header.users.load() != 0) sleepOneMs();
    e.header.status.store(kFlagClosing);
    e.pattern.store(0);
    storeName(e.name, nullptr);
    const JLIB::JResult result = destroySyncObj(&e.sync);
    _osw_setObjStatusDeleted(e.header);
    return result;
}

JLIB::JResult flgSet(FlagEntry& e, uint32_t bits)
{
    JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
    e.pattern.fetch_or(bits);
    const JLIB::JResult signalled = setSyncObj(&e.sync);
    _osw_enableDeletion(e.header);
    return JLIB::isFailure(signalled) ? kSystemCallFailed : kOk;
}

JLIB::JResult flgClear(FlagEntry& e, uint32_t mask)
{
    JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
    e.pattern.fetch_and(mask);
    const JLIB::JResult signalled = setSyncObj(&e.sync);
    _osw_enableDeletion(e.header);
    return JLIB::isFailure(signalled) ? kSystemCallFailed : kOk;
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
        const int woken = waitSyncObj(&e.sync, timeoutMs, true);
        JLIB_RETURN_IF_FAILED(_osw_tryDisableDeletion(e.header));
        if (woken < 0) {
            result = kSystemCallFailed;
            break;
        }
        if (woken == 0) {
            result = kTimeout;
            break;
        }
    }
    _osw_enableDeletion(e.header);
    return result;
}

}  // namespace OSWRAP::detail
