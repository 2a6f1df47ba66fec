#include "vsock/vsock.h"

#include <poll.h>
#include <sched.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"
#include "vsock/internal/vsock_sock.h"
#include "vsock/internal/vsock_wrap.h"

namespace {

constexpr int32_t kSockCount = 32;
constexpr uint32_t kRingWords = 16384;
constexpr uint32_t kRingMask = kRingWords - 1;
constexpr int32_t kDatagramMax = 2048;
constexpr int32_t kRxBufSize = 2048;
constexpr uint32_t kEndpointWords = 7;
constexpr uint32_t kRecordHeadWords = kEndpointWords + 1;  // source endpoint and length
static_assert(sizeof(netc_endpoint) == kEndpointWords * sizeof(uint32_t), "a ring record starts with 7 words");

constexpr uint16_t kTaskPriority = 14;
constexpr size_t kTaskStack = 4096;
constexpr uint32_t kStartPollMs = 10;

enum ModuleStatus : int32_t { kStopped = 0, kStarting = 1, kRunning = 2 };
enum EntryState : int32_t { kEntryFree = 0, kEntryReserved = 1, kEntryInUse = 3 };
enum Kind : int32_t { kKindNone = 0, kKindUdp = 1, kKindActive = 2, kKindPassive = 3, kKindAccepted = 4 };

struct Timeout {
    bool armed = false;
    T_OSW_TIMER timer = {};
};

// TCP send: 0 idle, 2 partly written, 3 fully written, 4 reporting or failed.
// UDP send: 0 idle, 2 pending, 3 written, 4 reporting.
struct SendOp {
    int32_t state = 0;
    const uint8_t* data = nullptr;  // the caller's, valid until the report
    int32_t length = 0;
    int32_t written = 0;
    Timeout timeout;
    const void* context = nullptr;
    netc_endpoint to = {};
};

// 0 idle, 2 armed, 3 reporting, 5 being completed by a caller's own read (vsock_recvTcpTake).
struct TcpRecvOp {
    int32_t state = 0;
    uint8_t internal[kRxBufSize] = {};
    void* buffer = nullptr;  // the caller's, valid until the report
    int32_t size = 0;
    Timeout timeout;
    const void* context = nullptr;
};

// 2 ready, 3 reporting, 5 a caller reading (vsock_recvUdpPoll), 0 closed. One word of the ring
// always stays free.
struct UdpRecv {
    int32_t state = 0;
    uint32_t ring[kRingWords] = {};
    uint32_t readIndex = 0;
    uint32_t writeIndex = 0;
    uint32_t datagram[kDatagramMax / sizeof(uint32_t)] = {};
};

// 0 idle, 1 armed, 2 taking.
struct AcceptOp {
    int32_t state = 0;
    Timeout timeout;
    netc_endpoint peer = {};
    int32_t newHandle = -1;
    netc_endpoint* peerOut = nullptr;  // the caller's, valid until the report
    const void* context = nullptr;
    int32_t openChildren = 0;
};

// 0 idle, 2 connecting, 3 connected, 4 failed.
struct ConnectOp {
    int32_t state = 0;
    int32_t result = 0;
    Timeout timeout;
    const void* context = nullptr;
};

struct SockEntry {
    int32_t state = kEntryFree;
    netc_sock_create_prm create = {};
    netc_sock_option option = {};
    int32_t handle = -1;
    int32_t kind = kKindNone;
    SendOp send;
    TcpRecvOp tcpRecv;
    UdpRecv udpRecv;
    AcceptOp accept;
    ConnectOp connect;
    SockEntry* parent = nullptr;  // accepted: the listener, which cannot close while children are open
    // Callers using the handle outside the table lock; the handle is closed only when none is.
    std::atomic<int32_t> outside{0};
    // Counts the entry's uses, so that a caller back from outside the lock knows it is the same socket.
    uint32_t generation = 0;
};

}  // namespace

using VsockHandler = void (*)(VsockSockManage& manage, int32_t sockId);

struct VsockFuncSet {
    SockEntry* (*getSocket)(VsockSockManage& manage, int32_t sockId);
    int32_t (*deleteSocket)(VsockSockManage& manage, int32_t sockId);
    VsockHandler udpProcessRead;
    VsockHandler udpProcessWrite;
    VsockHandler tcpPassiveProcessRead;
    VsockHandler tcpPassiveChildProcessRead;
    VsockHandler tcpPassiveChildProcessWrite;
    VsockHandler tcpActiveProcessRead;
    VsockHandler tcpActiveProcessWrite;
    VsockHandler tcpActiveProcessExcept;
};

struct VsockSockManage {
    bool initialised = false;
    int32_t count = kSockCount;
    SockEntry* entries = nullptr;
    void (*lock)(bool acquire) = nullptr;
    const VsockFuncSet* funcs = nullptr;
};

namespace {

// ---- module state ----

std::atomic<uint16_t> gl_hMySemId{0};       // "VSWSIF": guards gl_wrappedSocketStatus only
std::atomic<uint16_t> gl_hMySemIdArray{0};  // "VSWSINT": the table lock
int32_t gl_wrappedSocketStatus = kStopped;
std::atomic<int32_t> gl_startupFlag{0};
std::atomic<int32_t> gl_startupResult{0};
std::atomic<int32_t> gl_terminateRequest{0};
std::atomic<int32_t> gl_terminate{0};
std::atomic<void (*)()> glpf_terminateCallback{nullptr};
uint16_t gl_hMyTskId = 0;
std::atomic<netc_state_callback> glpf_stateCallback{nullptr};

SockEntry gl_wrappedSocketSocket[kSockCount];
VsockSockManage gl_wrappedSocketSocketManage;
std::mutex s_semaphoreCreation;

uint16_t ensureSemaphore(std::atomic<uint16_t>& id, const char* name)
{
    uint16_t value = id.load();
    if (value != 0) return value;
    std::lock_guard<std::mutex> guard(s_semaphoreCreation);
    value = id.load();
    if (value != 0) return value;
    const T_OSW_CSEM pk = {nullptr, 0, 1, name};
    if (JLIB::isFailure(oswrap_AcreSem(&value, &pk))) return 0;
    id.store(value);
    return value;
}

class SemaphoreLock {
public:
    explicit SemaphoreLock(uint16_t id) : m_id(id) { (void)oswrap_WaiSem(m_id); }  // fails only for id 0
    ~SemaphoreLock() { (void)oswrap_SigSem(m_id); }
    SemaphoreLock(const SemaphoreLock&) = delete;
    SemaphoreLock& operator=(const SemaphoreLock&) = delete;

private:
    uint16_t m_id;
};

void vsock_wrappedSocketLock(bool acquire)
{
    const uint16_t id = gl_hMySemIdArray.load();
    JLIB_ASSERT(id != 0);
    if (acquire) {
        (void)oswrap_WaiSem(id);  // a created id cannot fail
    } else {
        (void)oswrap_SigSem(id);
    }
}

class TableLock {
public:
    TableLock() { vsock_wrappedSocketLock(true); }
    ~TableLock() { vsock_wrappedSocketLock(false); }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
};

// The table lock for std::unique_lock, where a call lets it go and takes it again.
struct TableMutex {
    void lock() { vsock_wrappedSocketLock(true); }
    void unlock() { vsock_wrappedSocketLock(false); }
};
TableMutex gl_tableMutex;

bool isRunning()
{
    const uint16_t id = gl_hMySemId.load();
    if (id == 0) return false;
    SemaphoreLock lock(id);
    return gl_wrappedSocketStatus == kRunning;
}

bool validId(int32_t sockId) { return sockId >= 0 && sockId < kSockCount; }

// Running and a valid id; the in-use test follows under the table lock.
int32_t checkModuleAndId(int32_t sockId)
{
    if (!isRunning()) return VSOCK_E_OBJ;
    if (!validId(sockId)) return VSOCK_E_PAR;
    return 0;
}

// ---- timers ----

void armTimeout(Timeout& t, int32_t timeoutMs)
{
    t.armed = false;
    if (timeoutMs < 0) return;
    if (JLIB::isFailure(oswrap_svcInitTimerMs(&t.timer))) return;
    t.armed = JLIB::isSuccess(oswrap_svcStartOneshotTimerMs(&t.timer, static_cast<uint32_t>(timeoutMs)));
}

bool timedOut(Timeout& t)
{
    return t.armed && oswrap_svcCheckOneshotTimerMs(&t.timer) == OSWRAP::kTimerExpired;
}

// A repeated call while the operation is pending.
int32_t pendingAnswer(Timeout& t, bool sameContext, int32_t& state)
{
    if (sameContext && timedOut(t)) {
        state = 0;
        return VSOCK_E_TIMEOUT;
    }
    return VSOCK_E_WBLK;
}

// ---- entries ----

void resetOperations(SockEntry& e)
{
    e.send = SendOp{};
    e.tcpRecv.state = 0;
    e.tcpRecv.buffer = nullptr;
    e.tcpRecv.size = 0;
    e.tcpRecv.timeout = Timeout{};
    e.tcpRecv.context = nullptr;
    e.udpRecv.state = 0;
    e.udpRecv.readIndex = 0;
    e.udpRecv.writeIndex = 0;
    e.accept = AcceptOp{};
    e.connect = ConnectOp{};
    e.parent = nullptr;
}

void freeEntry(SockEntry& e)
{
    resetOperations(e);
    ++e.generation;
    e.state = kEntryFree;
    e.handle = -1;
    e.kind = kKindNone;
}

int32_t kindOf(int32_t type)
{
    switch (type) {
    case NETC_SOCK_UDP: return kKindUdp;
    case NETC_SOCK_TCP_PASSIVE: return kKindPassive;
    case NETC_SOCK_TCP_ACTIVE: return kKindActive;
    default: return kKindNone;
    }
}

bool validOption(const netc_sock_option* option)
{
    return option && (option->flags & NETC_SOCK_OPT_CALLBACK) != 0 && option->callback;
}

netc_sock_callback callbackOf(const SockEntry& e)
{
    return (e.option.flags & NETC_SOCK_OPT_CALLBACK) != 0 ? e.option.callback : nullptr;
}

// Table lock held; the callback runs under it.
void report(SockEntry& e, int32_t sockId, int32_t type, int32_t result)
{
    const netc_sock_callback callback = callbackOf(e);
    if (!callback) return;
    netc_sock_cb_prm prm = {type, result};
    (void)callback(sockId, &prm);  // its answer means nothing to the layer
}

void wake() { vsock_socketApiWrapperSetEvent(); }

// ---- UDP receive ring ----

uint32_t ringFree(const UdpRecv& u) { return (u.readIndex - u.writeIndex - 1) & kRingMask; }

void ringWrite(UdpRecv& u, const uint32_t* words, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        u.ring[u.writeIndex] = words[i];
        u.writeIndex = (u.writeIndex + 1) & kRingMask;
    }
}

void ringRead(const UdpRecv& u, uint32_t at, uint32_t* words, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) words[i] = u.ring[(at + i) & kRingMask];
}

uint32_t wordsFor(int32_t length) { return (static_cast<uint32_t>(length) + 3) / 4; }

bool ringPush(UdpRecv& u, const netc_endpoint& from, int32_t length)
{
    if (wordsFor(length) + kRecordHeadWords > ringFree(u)) return false;
    uint32_t head[kRecordHeadWords];
    std::memcpy(head, &from, sizeof(from));
    head[kEndpointWords] = static_cast<uint32_t>(length);
    ringWrite(u, head, kRecordHeadWords);
    ringWrite(u, u.datagram, wordsFor(length));
    return true;
}

// ---- handlers on the "VSOCK" task, table lock held ----

SockEntry* getSocket(VsockSockManage& manage, int32_t sockId)
{
    return validId(sockId) ? &manage.entries[sockId] : nullptr;
}

void udpProcessRead(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    UdpRecv& u = e.udpRecv;
    if (u.state != 2) return;
    netc_endpoint from = {};
    int32_t count = 0;
    const int32_t r = vsock_wrapRecvUdp(e.handle, u.datagram, kDatagramMax, &from, &count);
    if (r == VSOCK_E_WBLK) return;  // nothing arrived after all
    int32_t result = r;
    if (r >= 0) {
        if (count == 0) return;
        result = ringPush(u, from, count) ? count : VSOCK_E_RES;
    }
    u.state = 3;
    report(e, sockId, NETC_SOCK_EV_UDP_RECEIVED, result);
    u.state = 2;
}

void udpProcessWrite(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    SendOp& s = e.send;
    if (s.state == 2) {
        int32_t count = 0;
        const int32_t r = vsock_wrapSendUdp(e.handle, s.data, s.length, &s.to, &count);
        if (r < 0) {
            s.state = 4;
            report(e, sockId, NETC_SOCK_EV_UDP_SENT, r);
            s.state = 0;
            return;
        }
        s.written += count;
        s.state = 3;
    }
    // Written: reported in the same pass rather than after one more poll for writable.
    if (s.state == 3) {
        s.state = 4;
        report(e, sockId, NETC_SOCK_EV_UDP_SENT, s.written);
        s.state = 0;
    }
}

void tcpDoRead(SockEntry& e, int32_t sockId)
{
    TcpRecvOp& op = e.tcpRecv;
    if (op.state != 2) return;
    int32_t count = 0;
    const int32_t r = vsock_wrapRecvTcp(e.handle, op.buffer, op.size, &count);
    // poll may call a socket readable that then has nothing to read: the receive stays armed, as
    // the datagram read does. Reported, it would end a receive that nobody arms again.
    if (r == VSOCK_E_WBLK) return;
    op.state = 3;
    report(e, sockId, NETC_SOCK_EV_TCP_RECEIVED, r < 0 ? r : count);
    op.state = 0;
}

void tcpDoWrite(SockEntry& e, int32_t sockId)
{
    SendOp& s = e.send;
    if (s.state == 2) {
        int32_t count = 0;
        const int32_t r = vsock_wrapSendTcp(e.handle, s.data + s.written, s.length - s.written, &count);
        if (r < 0) {
            s.state = 4;
            report(e, sockId, NETC_SOCK_EV_TCP_SENT, r);
            s.state = 0;
            return;
        }
        s.written += count;
        if (s.written >= s.length) s.state = 3;
    }
    // All written: reported in the same pass rather than after one more poll for writable.
    if (s.state == 3) {
        s.state = 4;
        report(e, sockId, NETC_SOCK_EV_TCP_SENT, s.written);
        s.state = 0;
    }
}

void finishConnect(SockEntry& e, int32_t sockId, bool onlyFailure)
{
    ConnectOp& c = e.connect;
    const int32_t r = vsock_wrapGetConnectResult(e.handle);
    if (r == VSOCK_E_WBLK || (onlyFailure && r >= 0)) return;
    c.result = r;
    if (r >= 0) {
        c.state = 3;
        report(e, sockId, NETC_SOCK_EV_CONNECTED, r);
        return;
    }
    c.state = 4;
    report(e, sockId, NETC_SOCK_EV_CONNECTED, r);
    c.state = 0;
}

void tcpActiveProcessRead(VsockSockManage& manage, int32_t sockId) { tcpDoRead(manage.entries[sockId], sockId); }

void tcpActiveProcessWrite(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    if (e.connect.state == 2) {
        finishConnect(e, sockId, false);
        return;
    }
    tcpDoWrite(e, sockId);
}

void tcpActiveProcessExcept(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    if (e.connect.state == 2) finishConnect(e, sockId, true);
}

void tcpPassiveChildProcessRead(VsockSockManage& manage, int32_t sockId) { tcpDoRead(manage.entries[sockId], sockId); }

void tcpPassiveChildProcessWrite(VsockSockManage& manage, int32_t sockId) { tcpDoWrite(manage.entries[sockId], sockId); }

int32_t claimHighestFreeEntry(VsockSockManage& manage)
{
    for (int32_t id = manage.count - 1; id >= 0; --id) {
        if (manage.entries[id].state == kEntryFree) return id;
    }
    return -1;
}

// Fills a claimed entry for an accepted connection from its listener.
void sockCreateAccept(VsockSockManage& manage, int32_t childId, SockEntry& listener, const netc_endpoint& peer,
                      int32_t handle)
{
    SockEntry& child = manage.entries[childId];
    resetOperations(child);
    child.state = kEntryInUse;
    child.kind = kKindAccepted;
    child.handle = handle;
    child.parent = &listener;
    child.create = netc_sock_create_prm{};
    child.create.type = NETC_SOCK_TCP_PASSIVE;
    child.create.port = peer.port;
    child.create.local = peer.addr;
    child.option = listener.option;
    (void)vsock_wrapSetOwnerSocketInfo(handle, &manage, childId);  // handle and id are valid here
}

void tcpPassiveProcessRead(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    AcceptOp& a = e.accept;
    if (a.state != 1) return;
    a.state = 2;
    const int32_t r = vsock_wrapAccept(e.handle, &a.peer, &a.newHandle);
    if (r == VSOCK_E_WBLK) {
        // Nothing taken (the peer went away or its connection failed before it was taken): keep
        // waiting for the next one rather than leave a listener nobody arms again.
        a.state = 1;
        return;
    }
    int32_t result = r;
    if (r >= 0) {
        ++a.openChildren;
        const int32_t childId = claimHighestFreeEntry(manage);
        if (childId < 0) {
            (void)vsock_wrapDeleteSock(a.newHandle);  // refusing the connection; its close result changes nothing
            --a.openChildren;
            result = VSOCK_E_RES;
        } else {
            sockCreateAccept(manage, childId, e, a.peer, a.newHandle);
            if (a.peerOut) *a.peerOut = a.peer;
            result = childId;
        }
    }
    a.newHandle = -1;
    report(e, sockId, NETC_SOCK_EV_ACCEPTED, result);
    a.state = 0;
}

// Pending operations of a TCP entry end with VSOCK_E_NOEXS.
void reportTcpPending(SockEntry& e, int32_t sockId)
{
    if (e.send.state == 2 || e.send.state == 3) report(e, sockId, NETC_SOCK_EV_TCP_SENT, VSOCK_E_NOEXS);
    if (e.tcpRecv.state == 2 || e.tcpRecv.state == 5) report(e, sockId, NETC_SOCK_EV_TCP_RECEIVED, VSOCK_E_NOEXS);
    e.send.state = 0;
    e.tcpRecv.state = 0;
}

// A caller outside the table lock is inside one non-blocking system call on the handle: the
// descriptor must not be closed (and perhaps reused) under it.
void waitForOutsideUsers(SockEntry& e)
{
    while (e.outside.load() != 0) std::this_thread::yield();
}

int32_t deleteSocket(VsockSockManage& manage, int32_t sockId)
{
    SockEntry& e = manage.entries[sockId];
    if (e.kind == kKindPassive && e.accept.openChildren != 0) return VSOCK_E_OBJ;
    waitForOutsideUsers(e);
    const int32_t r = e.handle >= 0 ? vsock_wrapDeleteSock(e.handle) : 0;
    switch (e.kind) {
    case kKindUdp:
        if (e.send.state == 2 || e.send.state == 3) report(e, sockId, NETC_SOCK_EV_UDP_SENT, VSOCK_E_NOEXS);
        if (e.udpRecv.state == 2 || e.udpRecv.state == 5) report(e, sockId, NETC_SOCK_EV_UDP_RECEIVED, VSOCK_E_NOEXS);
        break;
    case kKindActive:
        if (e.connect.state == 2) report(e, sockId, NETC_SOCK_EV_CONNECTED, VSOCK_E_NOEXS);
        reportTcpPending(e, sockId);
        break;
    case kKindAccepted:
        if (e.parent && e.parent->accept.openChildren > 0) --e.parent->accept.openChildren;
        reportTcpPending(e, sockId);
        break;
    default: break;
    }
    // The descriptor is released even when close reports an error, so the entry must not keep
    // naming a handle that another socket may claim next.
    freeEntry(e);
    return r;
}

const VsockFuncSet gl_funcSet = {
    getSocket,
    deleteSocket,
    udpProcessRead,
    udpProcessWrite,
    tcpPassiveProcessRead,
    tcpPassiveChildProcessRead,
    tcpPassiveChildProcessWrite,
    tcpActiveProcessRead,
    tcpActiveProcessWrite,
    tcpActiveProcessExcept,
};

struct KindHandlers {
    VsockHandler read, write, except;
};

KindHandlers handlersOf(const VsockFuncSet& f, int32_t kind)
{
    switch (kind) {
    case kKindUdp: return {f.udpProcessRead, f.udpProcessWrite, nullptr};
    case kKindActive: return {f.tcpActiveProcessRead, f.tcpActiveProcessWrite, f.tcpActiveProcessExcept};
    case kKindPassive: return {f.tcpPassiveProcessRead, nullptr, nullptr};
    case kKindAccepted: return {f.tcpPassiveChildProcessRead, f.tcpPassiveChildProcessWrite, nullptr};
    default: return {nullptr, nullptr, nullptr};
    }
}

int16_t wantedEvents(const SockEntry& e)
{
    int events = 0;
    const bool sending = e.send.state == 2 || e.send.state == 3;
    switch (e.kind) {
    case kKindUdp:
        if (e.udpRecv.state == 2) events |= POLLIN;
        if (sending) events |= POLLOUT;
        break;
    case kKindActive:
        if (e.tcpRecv.state == 2) events |= POLLIN;
        if (e.connect.state == 2 || sending) events |= POLLOUT;
        if (e.connect.state == 2) events |= POLLPRI;
        break;
    case kKindPassive:
        if (e.accept.state == 1) events |= POLLIN;
        break;
    case kKindAccepted:
        if (e.tcpRecv.state == 2) events |= POLLIN;
        if (sending) events |= POLLOUT;
        break;
    default: break;
    }
    return static_cast<int16_t>(events);
}

// The entry that owns a handle, with its id; null when none or not in use.
SockEntry* ownerEntry(int32_t handle, VsockSockManage** manage, int32_t* sockId)
{
    *manage = nullptr;
    *sockId = -1;
    if (vsock_wrapGetOwnerSocketInfo(handle, manage, sockId) < 0 || !*manage) return nullptr;
    SockEntry* e = (*manage)->funcs->getSocket(**manage, *sockId);
    return (e && e->state == kEntryInUse && e->handle == handle) ? e : nullptr;
}

void createWaitEvent()
{
    TableLock lock;
    vsock_socketApiWrapperResetWaitEvent();
    for (int32_t h = 0; h < kVsockHandleCount; ++h) {
        VsockSockManage* manage = nullptr;
        int32_t sockId = -1;
        const SockEntry* e = ownerEntry(h, &manage, &sockId);
        if (e) vsock_socketApiWrapperAddWaitEvent(h, wantedEvents(*e));
    }
}

bool hasEvent(int32_t handle)
{
    bool read = false, write = false, except = false;
    vsock_socketApiWrapperGetEvent(handle, &read, &write, &except);
    return read || write || except;
}

void doProcess()
{
    for (int32_t h = 0; h < kVsockHandleCount; ++h) {
        // The poll's answer is the task's own: handles without one cost no turn of the table
        // lock, which the callers want too.
        if (!hasEvent(h)) continue;
        TableLock lock;
        bool read = false, write = false, except = false;
        vsock_socketApiWrapperGetEvent(h, &read, &write, &except);
        if (!read && !write && !except) continue;
        VsockSockManage* manage = nullptr;
        int32_t sockId = -1;
        const SockEntry* e = ownerEntry(h, &manage, &sockId);
        if (!e) continue;
        const KindHandlers handlers = handlersOf(*manage->funcs, e->kind);
        if (read && handlers.read) handlers.read(*manage, sockId);
        if (write && handlers.write) handlers.write(*manage, sockId);
        if (except && handlers.except) handlers.except(*manage, sockId);
    }
}

void private_setTerminate() { gl_terminate.store(1); }

// Creates the table lock on first use.
VsockSockManage* getManage()
{
    if (ensureSemaphore(gl_hMySemIdArray, "VSWSINT") == 0) return nullptr;
    return &gl_wrappedSocketSocketManage;
}

void initTable(VsockSockManage& manage)
{
    TableLock lock;
    for (SockEntry& e : gl_wrappedSocketSocket) freeEntry(e);
    manage.count = kSockCount;
    manage.entries = gl_wrappedSocketSocket;
    manage.lock = vsock_wrappedSocketLock;
    manage.funcs = &gl_funcSet;
    manage.initialised = true;
}

void waitForFlag(const std::atomic<int32_t>& flag)
{
    while (flag.load() == 0) (void)oswrap_WaiTsk(kStartPollMs);
}

}  // namespace

void vsock_sockTskMain(void*)
{
    const int32_t started = vsock_wrap_startup();
    gl_startupResult.store(started);
    gl_startupFlag.store(1);
    if (started < 0) return;
    for (;;) {
        createWaitEvent();
        // Tested after the set is begun: an end request whose wake-up was left out because one
        // was on its way already is seen here at the latest.
        if (gl_terminateRequest.load() != 0) break;
        const int n = vsock_socketApiWrapperWaitEvent();
        // The thread whose send woke this task often shares its processor and reads the answer
        // itself within its turn: letting it finish first spares both a fight over the table
        // lock and this task a read and report nobody waits for. Alone on a processor, the
        // yield returns at once.
        (void)sched_yield();
        // A poll error or an empty answer is passed over: the next pass rebuilds the set.
        if (n > 0) doProcess();
    }
    vsock_wrap_cleanup();
    void (*const callback)() = glpf_terminateCallback.load();
    if (callback) callback();
}

int32_t vsock_initModule()
{
    // Both locks exist before either is held, and the OS wrapper's task calls run with neither held.
    const uint16_t statusLock = ensureSemaphore(gl_hMySemId, "VSWSIF");
    VsockSockManage* manage = getManage();
    if (statusLock == 0 || !manage) {
        JLIB_LOG("[E] vsock_initModule - no semaphore\n");
        return VSOCK_FAILED;
    }
    {
        SemaphoreLock lock(statusLock);
        if (gl_wrappedSocketStatus != kStopped) return 0;
        gl_wrappedSocketStatus = kStarting;
    }
    initTable(*manage);
    // A layer ended before starts afresh.
    gl_startupFlag.store(0);
    gl_startupResult.store(0);
    gl_terminateRequest.store(0);
    gl_terminate.store(0);
    glpf_terminateCallback.store(nullptr);

    T_OSW_CTSK ctsk = {};
    ctsk.task = vsock_sockTskMain;
    ctsk.itskpri = kTaskPriority;
    ctsk.stksz = kTaskStack;
    ctsk.name = "VSOCK";
    uint16_t taskId = 0;
    const char* failure = nullptr;
    if (JLIB::isFailure(oswrap_AcreTsk(&taskId, &ctsk))) {
        failure = "task not created";
    } else if (JLIB::isFailure(oswrap_StaTsk(taskId, nullptr))) {
        (void)oswrap_DelTsk(taskId);  // it never ran
        failure = "task not started";
    } else {
        waitForFlag(gl_startupFlag);
        if (gl_startupResult.load() < 0) {
            (void)oswrap_DelTsk(taskId);  // it has ended
            failure = "no wake socket";
        }
    }
    SemaphoreLock lock(statusLock);
    if (failure) {
        JLIB_LOG("[E] vsock_initModule - %s\n", failure);
        gl_wrappedSocketStatus = kStopped;
        return VSOCK_FAILED;
    }
    gl_hMyTskId = taskId;
    gl_wrappedSocketStatus = kRunning;
    return 0;
}

int32_t vsock_endModule()
{
    const uint16_t statusLock = gl_hMySemId.load();
    if (statusLock == 0) return VSOCK_E_OBJ;
    uint16_t taskId = 0;
    {
        SemaphoreLock lock(statusLock);
        if (gl_wrappedSocketStatus != kRunning) return VSOCK_E_OBJ;
        glpf_terminateCallback.store(private_setTerminate);
        gl_terminateRequest.store(1);
        wake();
        waitForFlag(gl_terminate);
        taskId = gl_hMyTskId;
        gl_hMyTskId = 0;
        gl_wrappedSocketStatus = kStopped;
    }
    (void)oswrap_DelTsk(taskId);  // the task has left its loop; its id goes back
    return 0;
}

int32_t vsock_createSock(const netc_sock_create_prm* prm, const netc_sock_option* option)
{
    if (!prm || kindOf(prm->type) == kKindNone || !validOption(option)) return VSOCK_E_PAR;
    if (prm->local.family != NETC_AF_INET && prm->local.family != NETC_AF_INET6) return VSOCK_E_PAR;
    if (!isRunning()) return VSOCK_E_OBJ;
    VsockSockManage& manage = gl_wrappedSocketSocketManage;

    int32_t sockId = -1;
    {
        TableLock lock;
        for (int32_t id = 0; id < manage.count && sockId < 0; ++id) {
            if (manage.entries[id].state == kEntryFree) sockId = id;
        }
        if (sockId < 0) return VSOCK_E_RES;
        SockEntry& e = manage.entries[sockId];
        resetOperations(e);
        e.state = kEntryReserved;
        e.create = *prm;
        e.option = *option;
        e.kind = kindOf(prm->type);
        e.handle = -1;
    }
    int32_t handle = -1;
    const int32_t r = vsock_wrapCreateSock(prm, &handle);
    TableLock lock;
    SockEntry& e = manage.entries[sockId];
    if (r < 0) {
        freeEntry(e);
        return r;
    }
    e.handle = handle;
    if (e.kind == kKindUdp) e.udpRecv.state = 2;
    e.state = kEntryInUse;
    (void)vsock_wrapSetOwnerSocketInfo(handle, &manage, sockId);  // handle and id are valid here
    if (e.kind == kKindUdp) wake();
    return sockId;
}

int32_t vsock_deleteSock(int32_t sockId)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    VsockSockManage& manage = gl_wrappedSocketSocketManage;
    TableLock lock;
    if (manage.entries[sockId].state != kEntryInUse) return VSOCK_E_NOEXS;
    const int32_t result = manage.funcs->deleteSocket(manage, sockId);
    // The task's poll still holds the closed descriptor, so the peer would not see the close
    // until something else woke the task.
    wake();
    return result;
}

int32_t vsock_setSockOption(int32_t sockId, const netc_sock_option* option)
{
    if (!validOption(option)) return VSOCK_E_PAR;
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    e.option = *option;
    return 0;
}

int32_t vsock_getSockOption(int32_t sockId, netc_sock_option* option)
{
    if (!option) return VSOCK_E_PAR;
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    return gl_wrappedSocketSocket[sockId].state == kEntryInUse ? 0 : VSOCK_E_NOEXS;
}

namespace {

// The checks alone, for the calls that do nothing else.
int32_t checksOnly(int32_t sockId)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    return gl_wrappedSocketSocket[sockId].state == kEntryInUse ? 0 : VSOCK_E_NOEXS;
}

}  // namespace

int32_t vsock_getSockStatus(int32_t sockId, int32_t*) { return checksOnly(sockId); }
int32_t vsock_shutdown(int32_t sockId, int32_t) { return checksOnly(sockId); }
int32_t vsock_abort(int32_t sockId) { return checksOnly(sockId); }
int32_t vsock_recvUdpWithBuf(int32_t sockId, void*, int32_t, netc_endpoint*) { return checksOnly(sockId); }

int32_t vsock_accept(int32_t sockId, netc_endpoint* peer, int32_t timeoutMs)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindPassive) return VSOCK_E_OBJ;
    if (!peer) return VSOCK_E_PAR;
    AcceptOp& a = e.accept;
    if (a.state != 0) return pendingAnswer(a.timeout, a.context == peer, a.state);
    a.peerOut = peer;
    a.context = peer;
    armTimeout(a.timeout, timeoutMs);
    a.state = 1;
    wake();
    return VSOCK_E_WBLK;
}

int32_t vsock_connect(int32_t sockId, const netc_endpoint* remote, int32_t timeoutMs)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindActive) return VSOCK_E_OBJ;
    if (!remote) return VSOCK_E_PAR;
    ConnectOp& c = e.connect;
    if (c.state == 3) return c.result;
    if (c.state != 0) return pendingAnswer(c.timeout, true, c.state);
    c.context = remote;
    const int32_t r = vsock_wrapConnect(e.handle, remote);
    if (r == 0) {
        c.state = 3;
        c.result = 0;
        return 0;
    }
    if (r != VSOCK_E_WBLK) return r;
    c.state = 2;
    wake();
    armTimeout(c.timeout, timeoutMs);
    return VSOCK_E_WBLK;
}

namespace {
// Arms the receive under the table lock; wakeTask tells whether the task must be told.
int32_t armRecvTcp(int32_t sockId, void* buffer, int32_t size, int32_t timeoutMs, bool& wakeTask);
}  // namespace

int32_t vsock_recvTcp(int32_t sockId, void* buffer, int32_t size, int32_t timeoutMs)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    bool wakeTask = false;
    {
        const int32_t r = armRecvTcp(sockId, buffer, size, timeoutMs, wakeTask);
        if (r != VSOCK_E_WBLK) return r;
    }
    // Outside the table lock: the task, woken, wants that lock first thing.
    if (wakeTask) wake();
    return VSOCK_E_WBLK;
}

namespace {

int32_t armRecvTcp(int32_t sockId, void* buffer, int32_t size, int32_t timeoutMs, bool& wakeTask)
{
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindActive && e.kind != kKindAccepted) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    // A receive of 0 bytes would read as "peer closed".
    if (!buffer || size <= 0) return VSOCK_E_PAR;
    TcpRecvOp& op = e.tcpRecv;
    if (op.state != 0) return pendingAnswer(op.timeout, op.context == buffer, op.state);
    op.context = buffer;
    op.buffer = buffer;
    op.size = size;
    op.state = 2;
    // A task whose coming or current poll watches the socket for reading already has what it
    // needs; waking it would only cost both sides a pass.
    wakeTask = !vsock_socketApiWrapperWatches(e.handle, POLLIN);
    armTimeout(op.timeout, timeoutMs);
    return VSOCK_E_WBLK;
}

}  // namespace

int32_t vsock_sendTcp(int32_t sockId, const void* data, int32_t length, int32_t timeoutMs)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindActive && e.kind != kKindAccepted) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    if (!data || length < 0) return VSOCK_E_PAR;
    SendOp& s = e.send;
    if (s.state == 4 && s.context == data) {
        const int32_t written = s.written;
        s.state = 0;
        return written;
    }
    if (s.state != 0) return pendingAnswer(s.timeout, s.context == data, s.state);
    s.context = data;
    s.data = static_cast<const uint8_t*>(data);
    s.length = length;
    s.written = 0;
    int32_t count = 0;
    const int32_t r = vsock_wrapSendTcp(e.handle, data, length, &count);
    armTimeout(s.timeout, timeoutMs);
    if (r == 0) {
        s.written = count;
        s.state = count < length ? 2 : 3;
    } else if (r == VSOCK_E_WBLK) {
        s.state = 3;
    } else {
        s.state = 4;
        return r;
    }
    wake();
    return VSOCK_E_WBLK;
}

namespace {

// The in-use and kind checks of the calls on the calling thread's own path, table lock held.
int32_t checkConnectedTcp(int32_t sockId, SockEntry*& entry)
{
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindActive && e.kind != kKindAccepted) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    entry = &e;
    return 0;
}

// One use of an entry's handle by a caller outside the table lock: begun under the lock, the
// system call made after it is let go (a loopback send delivers to the peer inside the call, and
// the task must not wait for all that to pass its table), ended before the lock is taken again,
// since a delete waits for it while holding the lock.
class OutsideUse {
public:
    explicit OutsideUse(SockEntry& e) : m_entry(e), m_handle(e.handle), m_generation(e.generation) { begin(); }
    ~OutsideUse() { end(); }
    OutsideUse(const OutsideUse&) = delete;
    OutsideUse& operator=(const OutsideUse&) = delete;
    int32_t handle() const { return m_handle; }
    void begin()
    {
        ++m_entry.outside;
        m_active = true;
    }
    void end()
    {
        if (m_active) --m_entry.outside;
        m_active = false;
    }
    // Table lock held again: the entry still belongs to the socket the use began on.
    bool sameSocket() const { return m_entry.state == kEntryInUse && m_entry.generation == m_generation; }

private:
    SockEntry& m_entry;
    int32_t m_handle;
    uint32_t m_generation;
    bool m_active = false;
};

// Back under the table lock after a caller gave up reading: a rebuilt set may have left the
// reading out while the caller held it, so the task is woken unless it watches again.
void watchAgain(const SockEntry& e)
{
    if (!vsock_socketApiWrapperWatches(e.handle, POLLIN)) wake();
}

}  // namespace

int32_t vsock_sendTcpNow(int32_t sockId, const void* data, int32_t length)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    std::unique_lock<TableMutex> lock(gl_tableMutex);
    SockEntry* e = nullptr;
    const int32_t usable = checkConnectedTcp(sockId, e);
    if (usable != 0) return usable;
    if (!data || length <= 0) return VSOCK_E_PAR;
    // Bytes written here while the task still writes an earlier send would overtake it.
    if (e->send.state != 0) return VSOCK_E_OBJ;
    OutsideUse use(*e);
    lock.unlock();
    int32_t count = 0;
    const int32_t r = vsock_wrapSendTcp(use.handle(), data, length, &count);
    if (r == VSOCK_E_WBLK) return 0;
    return r < 0 ? r : count;
}

int32_t vsock_recvTcpNow(int32_t sockId, void* buffer, int32_t size)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    std::unique_lock<TableMutex> lock(gl_tableMutex);
    SockEntry* e = nullptr;
    const int32_t usable = checkConnectedTcp(sockId, e);
    if (usable != 0) return usable;
    if (!buffer || size <= 0) return VSOCK_E_PAR;
    // An armed receive belongs to the task: reading beside it would reorder the stream.
    if (e->tcpRecv.state != 0) return VSOCK_E_OBJ;
    OutsideUse use(*e);
    lock.unlock();
    int32_t count = 0;
    const int32_t r = vsock_wrapRecvTcp(use.handle(), buffer, size, &count);
    return r < 0 ? r : count;
}

bool vsock_recvTcpTake(int32_t sockId, int32_t* result)
{
    if (!result || checkModuleAndId(sockId) != 0) return false;
    std::unique_lock<TableMutex> lock(gl_tableMutex);
    SockEntry* e = nullptr;
    if (checkConnectedTcp(sockId, e) != 0) return false;
    TcpRecvOp& op = e->tcpRecv;
    if (op.state != 2) return false;
    op.state = 5;  // the task leaves it alone meanwhile
    int32_t r = 0;
    int32_t count = 0;
    {
        OutsideUse use(*e);
        lock.unlock();
        r = vsock_wrapRecvTcp(use.handle(), op.buffer, op.size, &count);
        use.end();
        lock.lock();
        // Deleted meanwhile: the delete has reported the receive as ended.
        if (!use.sameSocket()) return false;
    }
    if (r == VSOCK_E_WBLK) {
        op.state = 2;
        watchAgain(*e);
        return false;
    }
    op.state = 0;
    *result = r < 0 ? r : count;
    return true;
}

int32_t vsock_recvUdpPoll(int32_t sockId)
{
    if (checkModuleAndId(sockId) != 0) return 0;
    std::unique_lock<TableMutex> lock(gl_tableMutex);
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse || e.kind != kKindUdp || e.handle < 0) return 0;
    UdpRecv& u = e.udpRecv;
    if (u.state != 2) return 0;
    u.state = 5;  // one reader at a time keeps the datagrams in arrival order
    int32_t queued = 0;
    int32_t failure = 0;
    {
        OutsideUse use(e);
        use.end();
        // Only while a whole datagram is sure to fit: one read here that did not would be lost.
        while (failure == 0 && ringFree(u) >= wordsFor(kDatagramMax) + kRecordHeadWords) {
            use.begin();
            lock.unlock();
            netc_endpoint from = {};
            int32_t count = 0;
            uint32_t datagram[kDatagramMax / sizeof(uint32_t)];
            const int32_t r = vsock_wrapRecvUdp(use.handle(), datagram, kDatagramMax, &from, &count);
            use.end();
            lock.lock();
            if (!use.sameSocket()) return 0;  // deleted meanwhile, which reported the end
            if (r == VSOCK_E_WBLK) break;
            if (r < 0) {
                failure = r;
                break;
            }
            if (count == 0) continue;  // an empty datagram is passed over, as the task does
            std::memcpy(u.datagram, datagram, static_cast<size_t>(count));
            (void)ringPush(u, from, count);  // room checked above
            ++queued;
        }
    }
    u.state = 2;
    watchAgain(e);
    return failure != 0 ? failure : queued;
}

int32_t vsock_sendUdpNow(int32_t sockId, const void* data, int32_t length, const netc_endpoint* to)
{
    if (!data || !to || length < 0) return VSOCK_E_PAR;
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    std::unique_lock<TableMutex> lock(gl_tableMutex);
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindUdp || e.send.state != 0) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    OutsideUse use(e);
    lock.unlock();
    int32_t count = 0;
    return vsock_wrapSendUdp(use.handle(), data, length, to, &count);
}

int32_t vsock_sendUdp(int32_t sockId, const void* data, int32_t length, const netc_endpoint* to, int32_t timeoutMs)
{
    if (!data || !to || length < 0) return VSOCK_E_PAR;
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    SendOp& s = e.send;
    if (e.kind != kKindUdp || s.state != 0) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    s.context = data;
    s.data = static_cast<const uint8_t*>(data);
    s.length = length;
    s.written = 0;
    s.to = *to;
    s.state = 2;
    // Written at once on the caller's thread when the system takes it, as a TCP send's first
    // write is: the datagram is on its way before the task even looks, and the task only
    // reports it. Otherwise the task writes it and reports what that gives.
    int32_t count = 0;
    if (vsock_wrapSendUdp(e.handle, s.data, s.length, &s.to, &count) >= 0) {
        s.written = count;
        s.state = 3;
    }
    wake();
    armTimeout(s.timeout, timeoutMs);
    return VSOCK_E_WBLK;
}

int32_t vsock_recvUdp(int32_t sockId, void* buffer, int32_t size, netc_endpoint* from, int32_t)
{
    const int32_t checked = checkModuleAndId(sockId);
    if (checked != 0) return checked;
    TableLock lock;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.state != kEntryInUse) return VSOCK_E_NOEXS;
    if (e.kind != kKindUdp) return VSOCK_E_OBJ;
    if (e.handle < 0) return VSOCK_E_NOEXS;
    UdpRecv& u = e.udpRecv;
    if (u.readIndex == u.writeIndex) return VSOCK_E_NODATA;
    uint32_t head[kRecordHeadWords];
    ringRead(u, u.readIndex, head, kRecordHeadWords);
    const int32_t length = static_cast<int32_t>(head[kEndpointWords]);
    if (length > size) return VSOCK_E_BUFSZ;
    if (!buffer) return VSOCK_E_PAR;
    const uint32_t words = wordsFor(length);
    ringRead(u, u.readIndex + kRecordHeadWords, u.datagram, words);
    std::memcpy(buffer, u.datagram, static_cast<size_t>(length));
    if (from) std::memcpy(from, head, sizeof(*from));
    u.readIndex = (u.readIndex + kRecordHeadWords + words) & kRingMask;
    return length;
}

int32_t vsock_getLocalAddr(int32_t ifNo, int32_t family, netc_if_addr* list, int32_t capacity)
{
    if (!isRunning()) return VSOCK_E_OBJ;
    return vsock_wrapGetLocalAddr(ifNo, family, list, capacity);
}

namespace {

constexpr int32_t kMulticastInterfaceAddresses = 10;

bool isZeroIpv4(const netc_addr& a) { return a.addr[0] == 0 && a.addr[1] == 0 && a.addr[2] == 0 && a.addr[3] == 0; }

// UDP sockets bound to no address or to one of the interface's.
template <typename Action>
int32_t forMatchingUdpSockets(int32_t ifNo, const netc_addr* group, Action action)
{
    if (!isRunning()) return VSOCK_E_OBJ;
    if (!group || group->family != NETC_AF_INET) return VSOCK_E_PAR;
    netc_if_addr addresses[kMulticastInterfaceAddresses];
    const int32_t count = vsock_wrapGetLocalAddr(ifNo, NETC_AF_INET, addresses, kMulticastInterfaceAddresses);
    if (count < 0) return count;
    TableLock lock;
    for (int32_t id = 0; id < kSockCount; ++id) {
        SockEntry& e = gl_wrappedSocketSocket[id];
        if (e.state != kEntryInUse || e.kind != kKindUdp || e.handle < 0) continue;
        const netc_addr& local = e.create.local;
        if (local.family != NETC_AF_INET) continue;
        bool matches = isZeroIpv4(local);
        for (int32_t i = 0; i < count && !matches; ++i) matches = std::memcmp(addresses[i].addr.addr, local.addr, 4) == 0;
        if (!matches) continue;
        const int32_t r = action(e);
        if (r < 0) return r;
    }
    return 0;
}

}  // namespace

int32_t vsock_addMulticastAddr(int32_t ifNo, const netc_addr* group)
{
    return forMatchingUdpSockets(ifNo, group,
                                 [group](SockEntry& e) { return vsock_wrapAddMulticast(e.handle, &e.create.local, group); });
}

int32_t vsock_delMulticastAddr(int32_t ifNo, const netc_addr* group)
{
    return forMatchingUdpSockets(ifNo, group, [group](SockEntry& e) {
        // The interface address of the join: with 0 the system looks the interface up by route
        // and, without one for the group, would leave the membership in place.
        (void)vsock_wrapDelMulticast(e.handle, &e.create.local, group);  // leaving is best effort
        return 0;
    });
}

namespace {

int32_t runningOrObj() { return isRunning() ? 0 : VSOCK_E_OBJ; }

}  // namespace

int32_t vsock_setLocalAddr(int32_t, const netc_if_addr*) { return runningOrObj(); }
int32_t vsock_getDnsServAddr(netc_addr*, int32_t) { return runningOrObj(); }
int32_t vsock_setDnsServAddr(const netc_addr*, int32_t) { return runningOrObj(); }
int32_t vsock_getDefaultGwAddr(netc_addr*) { return runningOrObj(); }
int32_t vsock_setDefaultGwAddr(const netc_addr*) { return runningOrObj(); }
int32_t vsock_rslvHostAddr(const char*, netc_addr*) { return runningOrObj(); }
int32_t vsock_addLocalAddr(uint32_t) { return VSOCK_E_SYS; }
int32_t vsock_delLocalAddr(uint32_t) { return VSOCK_E_SYS; }
int32_t vsock_sendGARP(uint32_t) { return VSOCK_FAILED; }

// Linux sends multicast datagrams on every version.
bool vsock_canSendMulticast() { return true; }

int32_t vsock_setStateCallback(netc_state_callback callback)
{
    glpf_stateCallback.store(callback);
    return 0;
}

// ---- internals ----

int32_t vsock_sockManageToSelfId(int32_t handle)
{
    if (handle < 0) return -1;
    for (int32_t id = 0; id < kSockCount; ++id) {
        const SockEntry& e = gl_wrappedSocketSocket[id];
        if (e.state != kEntryFree && e.handle == handle) return id;
    }
    return -1;
}

bool vsock_sock_isFree(int32_t sockId) { return validId(sockId) && gl_wrappedSocketSocket[sockId].state == kEntryFree; }

netc_sock_callback vsock_sock_getCallback(int32_t sockId)
{
    return validId(sockId) ? callbackOf(gl_wrappedSocketSocket[sockId]) : nullptr;
}

int32_t vsock_sock_core_getRxBuf(int32_t sockId, void** buffer, int32_t* size)
{
    if (!validId(sockId) || !buffer || !size) return VSOCK_E_PAR;
    SockEntry& e = gl_wrappedSocketSocket[sockId];
    if (e.kind != kKindActive && e.kind != kKindAccepted) return VSOCK_E_OBJ;
    *buffer = e.tcpRecv.internal;
    *size = kRxBufSize;
    return 0;
}

void vsock_sockManageReset()
{
    if (gl_hMySemIdArray.load() == 0) return;
    TableLock lock;
    for (int32_t id = kSockCount - 1; id >= 0; --id) {
        SockEntry& e = gl_wrappedSocketSocket[id];
        waitForOutsideUsers(e);
        if (e.handle >= 0) (void)vsock_wrapDeleteSock(e.handle);  // a reset has nobody to tell
        freeEntry(e);
    }
}
