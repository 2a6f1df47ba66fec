#include "oswrap/oswrap_mailbox.h"

#include <atomic>

#include "oswrap/internal/osw_module.h"
#include "oswrap/internal/osw_syncobj.h"

using namespace OSWRAP;
using namespace OSWRAP::detail;

namespace {

struct MbxEntry {
    uint16_t status = 0;  // 0 free, 1 created
    SyncObj sync;
    // Atomic because oswrap_IsMsgBoxEmpty reads it without the module lock.
    std::atomic<T_OSW_MSG*> head{nullptr};
    T_OSW_MSG* tail = nullptr;
    ObjName name{};
};

MbxEntry sMailBox[kMbxRange.highest + 1];

JLIB::JResult createMbx(uint16_t id, const T_OSW_CMBX& pk)
{
    MbxEntry& e = sMailBox[id];
    if (e.status == 1) return kWrongState;
    JLIB_RETURN_IF_FAILED(initSyncObj(&e.sync));
    e.status = 1;
    e.head.store(nullptr);
    e.tail = nullptr;
    storeName(e.name, pk.name);
    return kOk;
}

// Module write lock held.
JLIB::JResult closeMbx(MbxEntry& e)
{
    if (e.status == 0) return kWrongState;
    e.status = 0;
    e.head.store(nullptr);
    e.tail = nullptr;
    storeName(e.name, nullptr);
    return destroySyncObj(&e.sync);
}

// Module write lock held. Clears the wait object when the queue runs empty, so the next timed
// receive waits for the next send.
JLIB::JResult takeHead(MbxEntry& e, T_OSW_MSG** msg)
{
    T_OSW_MSG* const head = e.head.load();
    *msg = head;
    if (!head) {
        (void)clearSyncObj(&e.sync);  // only fails when not made, and a created mailbox has one
        return kTimeout;
    }
    e.head.store(head->pNext);
    if (!head->pNext) {
        e.tail = nullptr;
        (void)clearSyncObj(&e.sync);  // as above
    }
    head->pNext = nullptr;
    return kOk;
}

}  // namespace

namespace OSWRAP::detail {

void prepareMailboxes()
{
    for (MbxEntry& e : sMailBox) {
        e.status = 0;
        e.head.store(nullptr);
        e.tail = nullptr;
        storeName(e.name, nullptr);
    }
}

void clearMailboxes()
{
    for (MbxEntry& e : sMailBox) (void)closeMbx(e);  // free entries answer 0x80000008
}

}  // namespace OSWRAP::detail

JLIB::JResult oswrap_CreMbx(uint16_t id, const T_OSW_CMBX* pk)
{
    if (!pk) return kBadArgument;
    JLIB_RETURN_IF_FAILED(chkFixed(kMbxRange, id));
    ModuleWriteLock lock;
    return createMbx(id, *pk);
}

JLIB::JResult oswrap_AcreMbx(uint16_t* id, const T_OSW_CMBX* pk)
{
    if (!id || !pk) return kBadArgument;
    ModuleWriteLock lock;
    for (uint16_t candidate = kMbxRange.autoHighest; candidate >= kMbxRange.autoLowest; --candidate) {
        if (sMailBox[candidate].status != 0) continue;
        const JLIB::JResult result = createMbx(candidate, *pk);
        *id = JLIB::isFailure(result) ? 0 : candidate;
        return result;
    }
    return kNoFreeId;
}

JLIB::JResult oswrap_DelMbx(uint16_t id)
{
    JLIB_RETURN_IF_FAILED(chkAll(kMbxRange, id));
    ModuleWriteLock lock;
    return closeMbx(sMailBox[id]);
}

JLIB::JResult oswrap_SndMsg(uint16_t id, T_OSW_MSG* msg)
{
    if (JLIB::isFailure(chkAll(kMbxRange, id))) return kBadMailboxId;
    if (!msg) return kBadArgument;
    ModuleWriteLock lock;
    MbxEntry& e = sMailBox[id];
    if (e.status == 0) return kNoObject;
    msg->pNext = nullptr;
    if (e.tail) e.tail->pNext = msg;
    else e.head.store(msg);
    e.tail = msg;
    return setSyncObj(&e.sync);
}

JLIB::JResult oswrap_SndMsgFromISR(uint16_t id, T_OSW_MSG*)
{
    if (JLIB::isFailure(chkAll(kMbxRange, id))) return kBadMailboxId;
    ModuleReadLock lock;
    if (sMailBox[id].status == 0) return kNoObject;
    return kNotSupported;
}

JLIB::JResult oswrap_RcvMsg(T_OSW_MSG** msg, uint16_t id) { return oswrap_TrcvMsg(msg, id, kForever); }

JLIB::JResult oswrap_TrcvMsg(T_OSW_MSG** msg, uint16_t id, int32_t timeoutMs)
{
    if (JLIB::isFailure(chkAll(kMbxRange, id))) return kBadMailboxId;
    if (!msg) return kBadArgument;
    ModuleWriteLock lock;
    MbxEntry& e = sMailBox[id];
    if (e.status == 0) return kNoObject;
    if (timeoutMs == 0) return takeHead(e, msg);

    lock.unlock();
    const int woken = waitSyncObj(&e.sync, timeoutMs, false);
    lock.lock();
    if (woken < 0) return kSystemCallFailed;
    if (woken == 0) return kTimeout;
    // Deleted while this task waited.
    if (e.status == 0) return kNoObject;
    return takeHead(e, msg);
}

JLIB::JResult oswrap_VinqMbx(uint16_t* id, const char* name)
{
    if (!id || !name) return kBadArgument;
    ModuleReadLock lock;
    for (uint16_t candidate = kMbxRange.lowest; candidate <= kMbxRange.highest; ++candidate) {
        const MbxEntry& e = sMailBox[candidate];
        if (e.status == 1 && nameMatches(e.name, name)) {
            *id = candidate;
            return kOk;
        }
    }
    return kNoName;
}

JLIB::JResult oswrap_IsMsgBoxEmpty(uint16_t id)
{
    if (JLIB::isFailure(chkAll(kMbxRange, id))) return kWrongState;
    return sMailBox[id].head.load() ? kWrongState : kOk;
}
