#include "jsdp/jsdp_api.h"

#include <atomic>
#include <mutex>

#include "jlib/jlib_cfg.h"
#include "jsdp/jsdp_manage.h"
#include "oswrap/oswrap_semaphore.h"
#include "oswrap/oswrap_task.h"
#include "oswrap/oswrap_time.h"

namespace JSDP {

namespace {

constexpr uint16_t kTaskPriority = 15;
constexpr size_t kTaskStack = 4096;
constexpr uint16_t kHostIndexMax = 0xFFFF;
constexpr uint16_t kIndexRequestsMax = 4;

uint32_t gl_ulStartupCnt = 0;
uint16_t gl_hMainSemId = 0;
uint16_t gl_hVsockSemId = 0;
// Read by the socket layer's task through setMyEvent.
std::atomic<uint16_t> gl_hMyTskId{0};
// Start and stop may come from several tasks; the count and the three ids change together.
std::mutex gl_startupGuard;

JLIB::JResult waitSemaphore(uint16_t id) { return oswrap_WaiSem(id); }
JLIB::JResult signalSemaphore(uint16_t id) { return oswrap_SigSem(id); }

// The main lock around one plain function; a lock that could not be taken is not given back.
template <typename Call>
JLIB::JResult underMainLock(Call call)
{
    const bool locked = oswrap_WaiSem(gl_hMainSemId) == JLIB::kOk;
    const JLIB::JResult r = call();
    if (locked) (void)oswrap_SigSem(gl_hMainSemId);  // taken above
    return r;
}

void deleteLocks()
{
    if (gl_hVsockSemId != 0) (void)oswrap_DelSem(gl_hVsockSemId);  // created by the start
    if (gl_hMainSemId != 0) (void)oswrap_DelSem(gl_hMainSemId);
    gl_hVsockSemId = 0;
    gl_hMainSemId = 0;
}

}  // namespace

// ---- start and stop ----

JLIB::JResult jsdp_startup() { return _jsdp_startup(); }
JLIB::JResult jsdp_cleanup() { return _jsdp_cleanup(); }

JLIB::JResult _jsdp_startup()
{
    std::lock_guard<std::mutex> guard(gl_startupGuard);
    if (gl_ulStartupCnt > 0) {
        ++gl_ulStartupCnt;
        return kJsdpConflict;
    }
    const T_OSW_CSEM mainRecord = {nullptr, 0, 1, "JSDPMAIN"};
    const T_OSW_CSEM vsockRecord = {nullptr, 0, 1, "JSDPVSOCK"};
    if (JLIB::isFailure(oswrap_AcreSem(&gl_hMainSemId, &mainRecord)) ||
        JLIB::isFailure(oswrap_AcreSem(&gl_hVsockSemId, &vsockRecord))) {
        JLIB_LOG("[E] jsdp_startup - the locks could not be made\n");
        deleteLocks();  // a retry must not find them used up
        return kJsdpLockFailed;
    }
    if (JLIB::isFailure(jsdp_initialize(&waitSemaphore, &signalSemaphore, gl_hMainSemId, gl_hVsockSemId))) {
        JLIB_LOG("[E] jsdp_startup - no memory for the manager\n");
        deleteLocks();
        return kJsdpLockFailed;
    }
    const T_OSW_CTSK task = {nullptr, 0, &jsdp_taskMain, kTaskPriority, 0, kTaskStack, nullptr, "JSDPSVC"};
    uint16_t taskId = 0;
    if (JLIB::isFailure(oswrap_AcreTsk(&taskId, &task))) {
        JLIB_LOG("[E] jsdp_startup - the task could not be made\n");
        jsdp_finalize();
        deleteLocks();
        return kJsdpLockFailed;
    }
    gl_hMyTskId = taskId;  // before the start: the task posts its own bits
    if (JLIB::isFailure(oswrap_StaTsk(taskId, nullptr))) {
        JLIB_LOG("[E] jsdp_startup - the task could not be started\n");
        (void)oswrap_DelTsk(taskId);  // created above
        gl_hMyTskId = 0;
        jsdp_finalize();
        deleteLocks();
        return kJsdpLockFailed;
    }
    gl_ulStartupCnt = 1;
    return JLIB::kOk;
}

JLIB::JResult _jsdp_cleanup()
{
    std::lock_guard<std::mutex> guard(gl_startupGuard);
    if (gl_ulStartupCnt == 0) return kJsdpConflict;
    if (--gl_ulStartupCnt > 0) return 9;
    const JLIB::JResult ended = oswrap_TerTsk(gl_hMyTskId);
    if (JLIB::isFailure(ended)) {
        JLIB_LOG("[E] jsdp_cleanup - the task did not end (0x%08x)\n", static_cast<unsigned>(ended));
    }
    (void)oswrap_DelTsk(gl_hMyTskId);  // created by the start
    gl_hMyTskId = 0;
    jsdp_finalize();
    deleteLocks();
    return JLIB::kOk;
}

uint16_t jsdp_getTaskId() { return gl_hMyTskId; }

// ---- locked functions ----

JLIB::JResult jsdp_setup(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint16_t count)
{
    return underMainLock([&] { return jsdp_manageSetup(requests, count); });
}
JLIB::JResult jsdp_clear()
{
    return underMainLock([&] { return jsdp_manageClear(); });
}
JLIB::JResult jsdp_changeTime(uint16_t index, uint32_t intervalMs, uint32_t seconds)
{
    return underMainLock([&] { return jsdp_changeTimeForLocal(index, intervalMs, seconds); });
}
JLIB::JResult jsdp_changeStatus(uint16_t index, uint8_t status)
{
    return underMainLock([&] { return jsdp_changeStatusForLocal(index, status); });
}
JLIB::JResult jsdp_getStatus(uint16_t index)
{
    return underMainLock([&] { return jsdp_getStatusForLocal(index); });
}
JLIB::JResult jsdp2_setup(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request)
{
    return underMainLock([&] { return jsdp2_manageSetup(id, request); });
}
JLIB::JResult jsdp2_clear(int32_t id)
{
    return underMainLock([&] { return jsdp2_manageClear(id); });
}
JLIB::JResult jsdp2_changeTime(int32_t id, uint32_t intervalMs, uint32_t seconds)
{
    return underMainLock([&] { return jsdp2_changeTimeForLocal(id, intervalMs, seconds); });
}
JLIB::JResult jsdp2_changeStatus(int32_t id, uint8_t status)
{
    return underMainLock([&] { return jsdp2_changeStatusForLocal(id, status); });
}
JLIB::JResult jsdp2_getStatus(int32_t id)
{
    return underMainLock([&] { return jsdp2_getStatusForLocal(id); });
}
JLIB::JResult jsdp_subscribe(JsdpHostCallback callback)
{
    // Read before the lock: the OS layer's own lock is taken before any semaphore, never after.
    uint16_t taskId = 0;
    if (oswrap_GetTskId(&taskId) != JLIB::kOk) return kJsdpLockFailed;
    return underMainLock([&] { return jsdp_subscribeForLocal(taskId, callback); });
}
JLIB::JResult jsdp_getNumOfHost(uint32_t* count)
{
    return underMainLock([&] { return jsdp_getNumOfHostForLocal(count); });
}
JLIB::JResult jsdp_getHostInfo(uint32_t n, _JSDP_HOST_INFO* host)
{
    if (!host || n > kHostIndexMax) return kJsdpBadArgument;
    return underMainLock([&] { return jsdp_getHostInfoForLocal(static_cast<uint16_t>(n), host); });
}
JLIB::JResult jsdp_debugPrintHostList(JsdpPrintFunction f)
{
    return underMainLock([&] { return jsdp_printHostListForLocal(f); });
}

// ---- unlocked functions ----

JLIB::JResult jsdp_manageSetup(const _T_JSDP_NETWORK_SETUP_PROPERTY* requests, uint16_t count)
{
    if (!requests || count > kIndexRequestsMax) return kJsdpBadArgument;
    return gl_manage.setConfigObsolete(requests, count);
}
JLIB::JResult jsdp_manageClear() { return gl_manage.clearConfigObsolete(); }
JLIB::JResult jsdp_changeTimeForLocal(uint16_t index, uint32_t intervalMs, uint32_t seconds)
{
    return gl_manage.changeTimeObsolete(index, intervalMs, seconds);
}
JLIB::JResult jsdp_changeStatusForLocal(uint16_t index, uint8_t status)
{
    return gl_manage.changeStatusObsolate(index, status);
}
JLIB::JResult jsdp_getStatusForLocal(uint16_t index) { return gl_manage.getStatusObsolate(index); }
JLIB::JResult jsdp2_manageSetup(int32_t* id, const _T_JSDP_NETWORK_SETUP_PROPERTY* request)
{
    if (!id || !request) {
        if (id) *id = -1;
        return kJsdpBadArgument;
    }
    return gl_manage.setConfig(id, request);
}
JLIB::JResult jsdp2_manageClear(int32_t id) { return gl_manage.clearConfig(id); }
JLIB::JResult jsdp2_changeTimeForLocal(int32_t id, uint32_t intervalMs, uint32_t seconds)
{
    return gl_manage.changeTime(id, intervalMs, seconds);
}
JLIB::JResult jsdp2_changeStatusForLocal(int32_t id, uint8_t status) { return gl_manage.changeStatus(id, status); }
JLIB::JResult jsdp2_getStatusForLocal(int32_t id) { return gl_manage.getStatus(id); }
JLIB::JResult jsdp_subscribeForLocal(uint16_t taskId, JsdpHostCallback callback)
{
    if (!callback) return kJsdpBadArgument;
    return gl_manage.subscribeTask(taskId, callback);
}
JLIB::JResult jsdp_getNumOfHostForLocal(uint32_t* count)
{
    if (!count) return kJsdpBadArgument;
    return gl_manage.getNumOfActiveHost(count);
}
JLIB::JResult jsdp_getHostInfoForLocal(uint16_t n, _JSDP_HOST_INFO* host)
{
    if (!host) return kJsdpBadArgument;
    return gl_manage.getHostInfoByIndex(n, host);
}
JLIB::JResult jsdp_printHostListForLocal(JsdpPrintFunction f)
{
    if (!f) return kJsdpBadArgument;
    return gl_manage.printHostList(f);
}
JLIB::JResult jsdp_waiSemForLocal() { return gl_manage.mainLock(); }
JLIB::JResult jsdp_sigSemForLocal() { return gl_manage.mainUnlock(); }
JLIB::JResult jsdp_debugPrintStatus(JsdpPrintFunction f)
{
    if (!f) return kJsdpBadArgument;
    return gl_manage.debugPrintStatus(f);
}

// ---- service side ----

JLIB::JResult jsdp_initialize(JsdpLockFunction lock, JsdpLockFunction unlock, uint16_t mainLockId,
                              uint16_t socketLockId)
{
    return gl_manage.initialize(lock, unlock, mainLockId, socketLockId);
}
void jsdp_finalize() { gl_manage.finalize(); }
JLIB::JResult jsdp_initializeForController(const _T_JSDP_LOCAL_SETUP* record) { return gl_manage.setup(record); }
JLIB::JResult jsdp_manageProcessSetup(uint8_t* interval)
{
    if (!interval) return kJsdpBadArgument;
    return gl_manage.runSetup(interval);
}
JLIB::JResult jsdp_manageProcessInterval(uint8_t* receive, uint8_t* send, uint8_t* notify)
{
    if (!receive || !send || !notify) return kJsdpBadArgument;
    return gl_manage.runInterval(receive, send, notify);
}
JLIB::JResult jsdp_processSocketCallbackForController(uint8_t* receive, uint8_t* send)
{
    if (!receive || !send) return kJsdpBadArgument;
    return gl_manage.runSocketCallback(receive, send);
}
JLIB::JResult jsdp_manageProcessRx(uint8_t* more, uint8_t* send, uint8_t* notify)
{
    if (!more || !send || !notify) return kJsdpBadArgument;
    return gl_manage.runReceive(more, send, notify);
}
JLIB::JResult jsdp_manageProcessTx(uint8_t* first, uint8_t* second)
{
    if (!first || !second) return kJsdpBadArgument;
    return gl_manage.runSend(first, second);
}
JLIB::JResult jsdp_notifyUpdateHostInfoForController()
{
    gl_manage.notifyUpdateHostInfo();
    return JLIB::kOk;
}

JLIB::JResult setMyEvent(uint32_t event)
{
    uint32_t bit = kBitWake;
    if (event == kEventNotify) bit = kBitNotify;
    else if (event == kEventSetup) bit = kBitSetup;
    else if (event == kEventSocket) bit = kBitSocket;
    (void)oswrap_VsetTfl(gl_hMyTskId, bit);  // a task already gone has nothing left to do
    return JLIB::kOk;
}

void jsdp_taskMain(void* /*argument*/)
{
    const _T_JSDP_LOCAL_SETUP setup = {&setMyEvent, &waitSemaphore, &signalSemaphore, 0, 0};
    const bool ready = jsdp_initializeForController(&setup) == JLIB::kOk;
    if (!ready) JLIB_LOG("[E] jsdp_taskMain - the manager refused the task; no passes run\n");
    uint16_t self = 0;
    if (oswrap_GetTskId(&self) == JLIB::kOk) gl_hMyTskId = self;

    uint32_t lastInterval = get1msCount();
    for (;;) {
        // The interval pass is due every 100 ms whatever else arrives: steady traffic must not
        // hold back announcements, host expiry and new sockets.
        const uint32_t since = get1msCount() - lastInterval;
        const int32_t wait = since >= kTaskWaitMs ? 0 : static_cast<int32_t>(kTaskWaitMs - since);
        uint32_t bits = 0;
        const JLIB::JResult waited = oswrap_VtwaiTfl(&bits, kEventMask, wait);
        if (waited == OSWRAP::kTerminateRequested) break;
        if (waited == OSWRAP::kTimeout || get1msCount() - lastInterval >= kTaskWaitMs) bits |= kBitInterval;
        if (!ready) continue;

        uint32_t repost = 0;
        if (bits & kBitSetup) {
            uint8_t interval = 0;
            (void)jsdp_manageProcessSetup(&interval);  // always 0
            if (interval) bits |= kBitInterval;
        }
        if (bits & kBitInterval) {
            lastInterval = get1msCount();
            uint8_t receive = 0, send = 0, notify = 0;
            (void)jsdp_manageProcessInterval(&receive, &send, &notify);  // always 0
            if (receive) bits |= kBitReceive;
            if (send) bits |= kBitSend;
            if (notify) bits |= kBitNotify;
        }
        if (bits & kBitSocket) {
            uint8_t receive = 0, send = 0;
            (void)jsdp_processSocketCallbackForController(&receive, &send);  // always 0
            if (receive) bits |= kBitReceive;
            if (send) bits |= kBitSend;
        }
        if (bits & kBitReceive) {
            uint8_t more = 0, send = 0, notify = 0;
            (void)jsdp_manageProcessRx(&more, &send, &notify);  // a failed line was reset already
            if (more) repost |= kBitReceive;
            if (send) bits |= kBitSend;
            if (notify) bits |= kBitNotify;
        }
        if (bits & kBitSend) {
            uint8_t first = 0, second = 0;
            (void)jsdp_manageProcessTx(&first, &second);  // a failed line was reset already
            if (first) repost |= kBitReceive;
            if (second) repost |= kBitSend;
        }
        if (bits & kBitNotify) (void)jsdp_notifyUpdateHostInfoForController();  // always 0
        if (repost != 0) {
            (void)oswrap_WaiTsk(0);  // let other tasks run before the rest of the work
            (void)oswrap_VsetTfl(gl_hMyTskId, repost);  // its own word
        }
    }
    (void)oswrap_ExtTsk();  // ends the thread
}

}  // namespace JSDP
