#include "oswrap/oswrap_task.h"

#include <pthread.h>
#include <time.h>

#include <cstring>

#include "oswrap/internal/osw_flagentry.h"
#include "oswrap/oswrap_time.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

constexpr uint32_t kTerminateWaitMs = 5000;
constexpr int kUnmanagedSlots = 100;

// Fields other than created, terminateRequested and the flag word change only under the module
// write lock and are read under the read lock.
struct TaskEntry {
    std::atomic<uint16_t> created{0};  // read without the module lock by the flag word operations
    std::atomic<uint16_t> terminateRequested{0};
    T_OSW_CTSK ctsk{};
    uint16_t currentPriority = 0;
    uintptr_t state = 0;
    uintptr_t reportedWait = 0;
    uint16_t reportedWaitId = 0;
    ObjName name{};
    void* startArg = nullptr;
    FlagEntry flag;
    bool hasThread = false;
    // The entry function returned without oswrap_ExtTsk; the handle is kept but no longer names a
    // live thread, so a later thread that reuses the handle value must not inherit this id.
    bool threadEnded = false;
    pthread_t thread{};
    // Moves on whenever the thread that the entry names changes (start, end, module start), so
    // an id that a thread remembered for itself goes stale with it.
    std::atomic<uint32_t> generation{0};
};

struct UnmanagedSlot {
    std::atomic<uint32_t> claimed{0};
    pthread_t thread{};
};

TaskEntry sTaskInfo[kTskRange.highest + 1];
UnmanagedSlot sUnmanagedTaskInfo[kUnmanagedSlots];

// Gives the slot back when its thread ends, so ending threads never use up the 100 slots.
struct SlotHolder {
    int slot = -1;
    ~SlotHolder()
    {
        if (slot >= 0) sUnmanagedTaskInfo[slot].claimed.store(0);
    }
};
thread_local SlotHolder t_slot;

// The calling thread's task as found last time: the id is answered without the module lock while
// the entry's generation has not moved. A thread that is no task keeps its slot instead.
struct RememberedTask {
    const TaskEntry* entry = nullptr;
    uint32_t generation = 0;
    uint16_t id = 0;
};
thread_local RememberedTask t_task;

void remember(const TaskEntry* entry, uint16_t id)
{
    t_task.entry = entry;
    t_task.generation = entry ? entry->generation.load(std::memory_order_relaxed) : 0;
    t_task.id = id;
}

// Under the module write lock.
void moveGeneration(TaskEntry& e) { e.generation.fetch_add(1, std::memory_order_release); }

// True with the id when the remembered answer still holds.
bool rememberedId(uint16_t* id)
{
    if (t_task.entry) {
        if (t_task.entry->generation.load(std::memory_order_acquire) != t_task.generation) return false;
        *id = t_task.id;
        return true;
    }
    if (t_slot.slot < 0) return false;
    *id = static_cast<uint16_t>(kUnmanagedIdBase + t_slot.slot);
    return true;
}

bool isTaskId(uint16_t id) { return JLIB::isSuccess(chkAll(kTskRange, id)); }

// The OS accepts at most 15 characters; the task keeps its full name everywhere else.
void setOsThreadName(const char* name)
{
    char osName[16] = {};
    std::strncpy(osName, name, sizeof(osName) - 1);
    (void)pthread_setname_np(pthread_self(), osName);
}

JLIB::JResult unmanagedId(uint16_t* id)
{
    if (t_slot.slot < 0) {
        for (int slot = 0; slot < kUnmanagedSlots; ++slot) {
            uint32_t expected = 0;
            if (!sUnmanagedTaskInfo[slot].claimed.compare_exchange_strong(expected, 1)) continue;
            sUnmanagedTaskInfo[slot].thread = pthread_self();
            t_slot.slot = slot;
            break;
        }
    }
    if (t_slot.slot < 0) {
        *id = 0;
        return kNoThreadSlot;
    }
    *id = static_cast<uint16_t>(kUnmanagedIdBase + t_slot.slot);
    return kOk;
}

// Module lock held (read or write).
JLIB::JResult findCallerId(uint16_t* id)
{
    const pthread_t self = pthread_self();
    for (uint16_t candidate = kTskRange.lowest; candidate <= kTskRange.highest; ++candidate) {
        const TaskEntry& e = sTaskInfo[candidate];
        if (e.hasThread && !e.threadEnded && pthread_equal(e.thread, self)) {
            *id = candidate;
            remember(&e, candidate);
            return kOk;
        }
    }
    remember(nullptr, 0);
    return unmanagedId(id);
}

void* threadWrapper(void* param)
{
    TaskEntry* const e = static_cast<TaskEntry*>(param);
    T_OSW_TASKFUNC entry = nullptr;
    void* arg = nullptr;
    {
        // Waits until oswrap_StaTsk has stored the handle.
        ModuleReadLock lock;
        setOsThreadName(e->name);
        entry = e->ctsk.task;
        arg = e->startArg;
        uint16_t id = 0;
        (void)findCallerId(&id);  // finds the entry just started and remembers it
    }
    if (entry) entry(arg);
    ModuleWriteLock lock;
    if (e->hasThread && pthread_equal(e->thread, pthread_self())) {
        e->threadEnded = true;
        moveGeneration(*e);
    }
    return nullptr;
}

// Module write lock held.
JLIB::JResult createTsk(uint16_t id, const T_OSW_CTSK& pk)
{
    TaskEntry& e = sTaskInfo[id];
    if (e.created.load() != 0) return kWrongState;
    JLIB_RETURN_IF_FAILED(flgCreate(e.flag, kFlagClearOnRead, 0, nullptr));
    e.ctsk = pk;
    storeName(e.name, pk.name);
    e.ctsk.name = e.name;
    e.currentPriority = 0;
    e.state = kTaskDormant;
    e.reportedWait = 0;
    e.reportedWaitId = 0;
    e.startArg = nullptr;
    // A request left over from an earlier task under this id must not end the new one.
    e.terminateRequested.store(0);
    e.created.store(1);
    return kOk;
}

TaskEntry* createdTask(uint16_t id)
{
    TaskEntry& e = sTaskInfo[id];
    return e.created.load() != 0 ? &e : nullptr;
}

}  // namespace

namespace OSWRAP::detail {

void prepareTasks()
{
    for (TaskEntry& e : sTaskInfo) {
        e.created.store(0);
        e.terminateRequested.store(0);
        e.ctsk = T_OSW_CTSK{};
        e.currentPriority = 0;
        e.state = 0;
        e.reportedWait = 0;
        e.reportedWaitId = 0;
        storeName(e.name, nullptr);
        e.startArg = nullptr;
        e.flag.header.status.store(kFlagFree);
        e.flag.header.users.store(0);
        e.flag.pattern.store(0);
        e.flag.attribute = 0;
        storeName(e.flag.name, nullptr);
        e.hasThread = false;
        e.threadEnded = false;
        moveGeneration(e);
    }
}

void clearTaskFlags()
{
    for (TaskEntry& e : sTaskInfo) (void)flgDelete(e.flag);  // words of free entries answer 0x80000007
}

void terminateAllTasks()
{
    // Results are ignored: most ids are free or dormant.
    for (uint16_t id = kTskRange.autoLowest; id <= kTskRange.autoHighest; ++id) {
        (void)oswrap_TerTsk(id);
        (void)oswrap_DelTsk(id);
    }
    for (uint16_t id = kTskRange.fixedHighest; id >= kTskRange.fixedLowest; --id) {
        (void)oswrap_TerTsk(id);
        (void)oswrap_DelTsk(id);
    }
}

}  // namespace OSWRAP::detail

JLIB::JResult oswrap_CreTsk(uint16_t id, const T_OSW_CTSK* pk)
{
    if (!pk || !pk->task) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkFixed(kTskRange, id));
    ModuleWriteLock lock;
    return createTsk(id, *pk);
}

JLIB::JResult oswrap_AcreTsk(uint16_t* id, const T_OSW_CTSK* pk)
{
    if (!id || !pk || !pk->task) return kBadArgument;
    ModuleWriteLock lock;
    for (uint16_t candidate = kTskRange.autoHighest; candidate >= kTskRange.autoLowest; --candidate) {
        if (sTaskInfo[candidate].created.load() != 0) continue;
        const JLIB::JResult result = createTsk(candidate, *pk);
        *id = JLIB::isFailure(result) ? 0 : candidate;
        return result;
    }
    return kNoFreeId;
}

JLIB::JResult oswrap_DelTsk(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleWriteLock lock;
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    const JLIB::JResult result = flgDelete(e->flag);
    e->created.store(0);
    return result;
}

JLIB::JResult oswrap_StaTsk(uint16_t id, void* arg)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleWriteLock lock;
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    if (e->state != kTaskDormant) return kWrongState;
    e->startArg = arg;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, threadWrapper, e) != 0) return kSystemCallFailed;
    // Nothing joins a task's thread; the handle stays only for identifying the caller.
    (void)pthread_detach(thread);
    e->thread = thread;
    e->hasThread = true;
    e->threadEnded = false;
    moveGeneration(*e);
    e->state = kTaskRunning;
    return kOk;
}

JLIB::JResult oswrap_TerTsk(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleWriteLock lock;
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    if (e->state == kTaskDormant || !e->hasThread) return kWrongState;
    e->terminateRequested.store(1);
    const JLIB::JResult set = flgSet(e->flag, kTerminateBit);
    if (JLIB::isFailure(set)) {
        e->terminateRequested.store(0);
        return set;
    }
    T_OSW_TIMER timer{};
    JLIB_RETURN_IF_FAILED(oswrap_svcStartOneshotTimerMs(&timer, kTerminateWaitMs));
    for (;;) {
        // The task needs the lock for oswrap_ExtTsk.
        lock.unlock();
        (void)oswrap_WaiTsk(1);
        lock.lock();
        if (e->terminateRequested.load() == 0) return kOk;
        if (oswrap_svcCheckOneshotTimerMs(&timer) == kTimerExpired) return kTimeout;
    }
}

JLIB::JResult oswrap_ExtTsk()
{
    uint16_t id = 0;
    JLIB_RETURN_IF_FAILED(oswrap_GetTskId(&id));
    ModuleWriteLock lock;
    if (!isTaskId(id)) return kNoObject;
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    if (!e->hasThread) return kOk;
    e->hasThread = false;
    moveGeneration(*e);
    e->state = kTaskDormant;
    e->terminateRequested.store(0);
    lock.unlock();
    pthread_exit(nullptr);
}

JLIB::JResult oswrap_SusTsk(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleReadLock lock;
    return createdTask(id) ? kNotSupported : kNoObject;
}

JLIB::JResult oswrap_RsmTsk(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleReadLock lock;
    return createdTask(id) ? kNotSupported : kNoObject;
}

JLIB::JResult oswrap_RsmTskFromISR(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    return createdTask(id) ? kNotSupported : kNoObject;
}

JLIB::JResult oswrap_RefTsk(T_OSW_RTSK* rtsk, uint16_t id)
{
    if (!rtsk) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    ModuleReadLock lock;
    const TaskEntry* const e = createdTask(id);
    if (!e) {
        *rtsk = T_OSW_RTSK{};
        return kNoObject;
    }
    char* const nameBuffer = rtsk->name;
    *rtsk = T_OSW_RTSK{};
    rtsk->exinf = e->ctsk.exinf;
    rtsk->tskpri = e->currentPriority;
    rtsk->tskstat = e->state;
    rtsk->tskwait = e->reportedWait;
    rtsk->wid = e->reportedWaitId;
    rtsk->flgptn = static_cast<intptr_t>(static_cast<int32_t>(e->flag.pattern.load()));
    rtsk->task = e->ctsk.task;
    rtsk->itskpri = e->ctsk.itskpri;
    rtsk->reserved = e->ctsk.reserved;
    rtsk->stk = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(e->ctsk.stk));
    rtsk->name = nameBuffer;
    // All bits set asks for no name; a null buffer cannot take one either.
    if (nameBuffer && reinterpret_cast<uintptr_t>(nameBuffer) != UINTPTR_MAX) {
        std::memcpy(nameBuffer, e->name, sizeof(e->name));
    }
    return kOk;
}

JLIB::JResult oswrap_GetTskId(uint16_t* id)
{
    if (!id) return kBadArgument;
    if (rememberedId(id)) return kOk;
    ModuleReadLock lock;
    return findCallerId(id);
}

JLIB::JResult oswrap_VinqTsk(uint16_t* id, const char* name)
{
    if (!id || !name) return kBadArgument;
    ModuleReadLock lock;
    for (uint16_t candidate = kTskRange.lowest; candidate <= kTskRange.highest; ++candidate) {
        const TaskEntry& e = sTaskInfo[candidate];
        if (e.created.load() != 0 && nameMatches(e.name, name)) {
            *id = candidate;
            return kOk;
        }
    }
    return kNoName;
}

JLIB::JResult oswrap_CheckReqTerminate()
{
    ModuleReadLock lock;
    uint16_t id = 0;
    JLIB_RETURN_IF_FAILED(findCallerId(&id));
    if (id == 0) return kNoTaskId;
    if (!isTaskId(id)) return kNoObject;
    const TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    return e->terminateRequested.load() != 0 ? kOk : kWrongState;
}

JLIB::JResult oswrap_GetTskLoad(uint16_t* load, uint16_t id)
{
    if (!load) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    *load = 0;
    return kNotSupported;
}

JLIB::JResult oswrap_GetProcessLoad(uint16_t* load)
{
    if (!load) return kBadArgument;
    *load = 0;
    return kNotSupported;
}

JLIB::JResult oswrap_VsetTfl(uint16_t id, uint32_t bits)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    return flgSet(e->flag, bits);
}

JLIB::JResult oswrap_VclrTfl(uint16_t id, uint32_t mask)
{
    JLIB_RETURN_IF_FAILED(chkAll(kTskRange, id));
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    return flgClear(e->flag, mask);
}

JLIB::JResult oswrap_VsetTflFromISR(uint16_t id, uint32_t)
{
    return chkAll(kTskRange, id);
}

JLIB::JResult oswrap_VtwaiTfl(uint32_t* pattern, uint32_t waitPattern, int32_t timeoutMs)
{
    if (!pattern) return kBadArgument;
    *pattern = 0;
    uint16_t id = 0;
    JLIB_RETURN_IF_FAILED(oswrap_GetTskId(&id));
    if (!isTaskId(id)) return kNoObject;
    TaskEntry* const e = createdTask(id);
    if (!e) return kNoObject;
    const JLIB::JResult result = flgTimedWait(e->flag, pattern, waitPattern | kTerminateBit, kWaitOr, timeoutMs);
    if (JLIB::isSuccess(result) && (*pattern & kTerminateBit)) {
        *pattern &= ~kTerminateBit;
        return kTerminateRequested;
    }
    return result;
}
