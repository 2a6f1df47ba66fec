#pragma once
// Event flag entries, shared by event flag groups and task flag words, with the object state
// protocol that lets set, clear, poll and wait run without the module lock.
#include <atomic>

#include "oswrap/internal/osw_module.h"

namespace OSWRAP::detail {

enum FlagStatus : uint32_t {
    kFlagFree = 0,
    kFlagCreating = 1,
    kFlagCreated = 2,
    kFlagDeleting = 3,
    kFlagClosing = 4,
};

struct FlagHeader {
    std::atomic<uint32_t> status{kFlagFree};
    std::atomic<uint32_t> users{0};  // operations using the entry right now; a blocked waiter does not count
};

// A waiter sleeps on `wakeups` (a futex word) and counts itself in `sleepers` first; a set or
// clear bumps `wakeups` and wakes only while someone sleeps, so waking an awake task costs no
// system call. No descriptor is made: nothing outside the module ever sees one.
struct FlagEntry {
    FlagHeader header;
    std::atomic<uint32_t> wakeups{0};
    std::atomic<uint32_t> sleepers{0};  // never reset: every waiter takes back its own count
    std::atomic<uint32_t> pattern{0};
    uint32_t attribute = 0;
    ObjName name{};
};

// State protocol.
[[nodiscard]] JLIB::JResult _osw_trySetObjStatusCreating(FlagHeader& h);
void _osw_setObjStatusCreated(FlagHeader& h);
[[nodiscard]] JLIB::JResult _osw_trySetObjStatusDeleting(FlagHeader& h);
void _osw_setObjStatusDeleted(FlagHeader& h);
// Registers a user: 0x80000007 unless created.
[[nodiscard]] JLIB::JResult _osw_tryDisableDeletion(FlagHeader& h);
void _osw_enableDeletion(FlagHeader& h);

// Entry operations; create and delete expect the module write lock.
[[nodiscard]] JLIB::JResult flgCreate(FlagEntry& e, uint32_t attribute, uint32_t pattern, const char* name);
[[nodiscard]] JLIB::JResult flgDelete(FlagEntry& e);
[[nodiscard]] JLIB::JResult flgSet(FlagEntry& e, uint32_t bits);
[[nodiscard]] JLIB::JResult flgClear(FlagEntry& e, uint32_t mask);
[[nodiscard]] JLIB::JResult flgPoll(FlagEntry& e, uint32_t* pattern, uint32_t waitPattern, uint32_t mode);
[[nodiscard]] JLIB::JResult flgTimedWait(FlagEntry& e, uint32_t* pattern, uint32_t waitPattern, uint32_t mode,
                                         int32_t timeoutMs);
bool _flg_comparePattern(uint32_t current, uint32_t waitPattern, uint32_t mode);

}  // namespace OSWRAP::detail
