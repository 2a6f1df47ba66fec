#pragma once
// Result codes, id ranges and the records that callers of the OS wrapper fill in or own.
#include <cstddef>
#include <cstdint>

#include "jlib/jlib_result.h"

namespace OSWRAP {

// Result codes of every oswrap_ operation; a set top bit is a failure, 9 and 12 are statuses.
constexpr JLIB::JResult kOk = 0;
constexpr JLIB::JResult kFailed = 0x80000000u;            // a mailbox signal byte was not written
constexpr JLIB::JResult kNotSupported = 0x80000002u;
constexpr JLIB::JResult kBadArgument = 0x80000005u;       // null pointer or id outside the accepted range
constexpr JLIB::JResult kBadMailboxId = 0x80000006u;      // mailbox send/receive with an id outside 1..200
constexpr JLIB::JResult kNoObject = 0x80000007u;          // not created, or being deleted
constexpr JLIB::JResult kWrongState = 0x80000008u;
constexpr JLIB::JResult kNoTaskId = 0x80000009u;          // the calling thread has id 0
constexpr JLIB::JResult kTimeout = 0x8000000Cu;           // pattern not met, mailbox empty or wait expired
constexpr JLIB::JResult kNoName = 0x8000000Eu;
constexpr JLIB::JResult kNoFreeId = 0x80000010u;
constexpr JLIB::JResult kTerminateRequested = 0x80000011u;
constexpr JLIB::JResult kSystemCallFailed = 0x80000013u;
constexpr JLIB::JResult kNoThreadSlot = 9;                // status: no id could be given to the caller
constexpr JLIB::JResult kTimerExpired = 12;               // status

// Id ranges: all ids, fixed ids (create under a given id), automatic ids (picked from the top down).
struct IdRange {
    uint16_t lowest, highest, fixedLowest, fixedHighest, autoLowest, autoHighest;
};
constexpr IdRange kSemRange = {1, 300, 1, 149, 150, 300};
constexpr IdRange kFlgRange = {1, 200, 1, 99, 100, 200};
constexpr IdRange kMbxRange = {1, 200, 1, 99, 100, 200};
constexpr IdRange kTskRange = {1, 100, 1, 49, 50, 100};

// Objects keep this many characters of their name.
constexpr size_t kNameLength = 9;

// Event flag wait modes (bit 0x1) and the clear-on-read attribute.
constexpr uint32_t kWaitAnd = 0x0;
constexpr uint32_t kWaitOr = 0x1;
constexpr uint32_t kFlagClearOnRead = 0x4;

// Bit of a task flag word that asks the task to end; the other 31 bits belong to its owner.
constexpr uint32_t kTerminateBit = 0x10000;

// Task states reported by oswrap_RefTsk.
constexpr uintptr_t kTaskRunning = 1;
constexpr uintptr_t kTaskDormant = 16;

// States of a T_OSW_TIMER record.
constexpr uint8_t kTimerStopped = 0;
constexpr uint8_t kTimerFreeRunning = 1;
constexpr uint8_t kTimerOneshotRunning = 2;
constexpr uint8_t kTimerOneshotExpired = 3;

// Time-out that waits without limit.
constexpr int32_t kForever = -1;

// Unmanaged threads get ids from here upwards.
constexpr uint16_t kUnmanagedIdBase = 0x8000;

}  // namespace OSWRAP

// Creation records: read only during the create call.
struct T_OSW_CSEM {
    void* exinf;        // not used
    uint32_t sematr;    // not used
    uintptr_t isemcnt;  // not used; callers pass 1
    const char* name;
};

struct T_OSW_CFLG {
    void* exinf;        // not used
    uint32_t flgatr;    // OSWRAP::kFlagClearOnRead or 0
    uintptr_t iflgptn;  // low 32 bits are the initial pattern
    const char* name;
};

struct T_OSW_CMBX {
    void* exinf;        // not used
    uintptr_t mbxatr;   // not used
    const char* name;
};

// A mailbox message is owned by the caller; the mailbox only uses the link while it is queued.
// Embed this as the first member of the caller's record.
struct T_OSW_MSG {
    T_OSW_MSG* pNext;
};

using T_OSW_TASKFUNC = void (*)(void* arg);

// Task creation record; priority, stack size and stack area are recorded but not applied.
struct T_OSW_CTSK {
    void* exinf;
    uintptr_t tskatr;
    T_OSW_TASKFUNC task;
    uint16_t itskpri;
    uint8_t reserved;
    size_t stksz;
    void* stk;
    const char* name;
};

// Task reference record filled by oswrap_RefTsk.
struct T_OSW_RTSK {
    void* exinf;
    uint16_t tskpri;     // current priority (always 0)
    uintptr_t tskstat;   // OSWRAP::kTaskRunning or OSWRAP::kTaskDormant
    uintptr_t tskwait;   // 0
    uint16_t wid;        // 0
    uint16_t wupcnt;     // 0
    uint16_t suscnt;     // 0
    uint16_t actcnt;     // 0
    uint16_t tskwait2;   // 0
    uint32_t lefttmo;    // 0
    uint16_t reserved1;  // 0
    uintptr_t reserved2; // 0
    intptr_t flgptn;     // current pattern of the task flag word, sign-extended
    T_OSW_TASKFUNC task;
    uint16_t itskpri;    // priority of the creation record
    uint8_t reserved;    // the byte after it
    uint32_t stk;        // low 32 bits of the stack area
    char* name;          // caller's buffer of at least 10 bytes, or all bits set for no name
};

// Millisecond timer record owned by its user; only the oswrap_svc...TimerMs functions change it.
struct T_OSW_TIMER {
    uint8_t state;       // 0 stopped, 1 free-running, 2 one-shot running, 3 one-shot expired
    uint32_t start;      // millisecond count at the start
    uint32_t duration;   // one-shot only
};
