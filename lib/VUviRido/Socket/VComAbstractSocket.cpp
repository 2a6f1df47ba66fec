#include "VUviRido/Socket/VComAbstractSocket.h"

#include <chrono>
#include <thread>

#include "VUviRido/Socket/VComSocketMapper.h"
#include "jlib/jlib_cfg.h"
#include "vsock/vsock.h"

namespace VCOM {

// "SEM_SOCK" is made by the first object constructed: 0 none, 1 being created, 2 created.
volatile int32_t g_semaphoreCreateStatus = 0;
uint16_t g_uhSemaphoreId = 0;

namespace {

constexpr int32_t kSemNone = 0;
constexpr int32_t kSemCreating = 1;
constexpr int32_t kSemCreated = 2;

int32_t readCreateStatus()
{
    // An exchange with the value it compares against changes nothing: an atomic read.
    return VComInterlockedCompareExchange(&g_semaphoreCreateStatus, kSemCreated, kSemCreated);
}

void ensureSharedLock()
{
    const int32_t seen = VComInterlockedCompareExchange(&g_semaphoreCreateStatus, kSemCreating, kSemNone);
    if (seen == kSemNone) {
        uint16_t id = 0;
        if (JLIB::isFailure(VComACreSem(&id, "SEM_SOCK"))) jlib_cfg_dbgbrk("lib/VUviRido/Socket/VComAbstractSocket", 51);
        g_uhSemaphoreId = id;
        (void)VComInterlockedIncrement(&g_semaphoreCreateStatus); // old value 1, nothing to check
        return;
    }
    // Another constructor is creating it; a creator that never finishes must not hold us forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitLimitMs);
    while (readCreateStatus() == kSemCreating) {
        VComSpinLock();
        if (std::chrono::steady_clock::now() > deadline) {
            JLIB_LOG("[E] VComAbstractSocket::VComAbstractSocket - SEM_SOCK not ready within %u ms\n",
                     static_cast<unsigned>(kLockWaitLimitMs));
            return;
        }
        std::this_thread::yield();
    }
}

int32_t vsockEvent(int32_t socketId, netc_sock_cb_prm* prm)
{
    if (!prm) return VSOCK_E_PAR;
    return static_cast<int32_t>(getSocketMapper().runCallback(socketId, *prm));
}

}  // namespace

void VComAbstractSocket::VComSocketCallbackParam::initialize()
{
    flags = 0;
    connectionError = 0;
    acceptedPeer = netc_endpoint{};
    acceptedSocket = 0;
    receiveResult = 0;
    sendResult = 0;
}

VComAbstractSocket::VComAbstractSocket()
{
    m_callbackParam.initialize();
    ensureSharedLock();
    (void)VComGetTaskId(&m_ownerTaskId); // a thread without task id keeps owner id 0
}

VComAbstractSocket::~VComAbstractSocket()
{
    (void)runDisconnect(); // most-derived destructors closed already; nothing left to report
}

uint16_t VComAbstractSocket::semaphoreId()
{
    return readCreateStatus() == kSemCreated ? g_uhSemaphoreId : 0;
}

JLIB::JResult VComAbstractSocket::errorOccurred(int32_t code, SockErrType kind)
{
    switch (code) {
    case 0:
    case VSOCK_E_NODATA: return kVComOk;
    case VSOCK_E_WBLK: return kVComPending;
    case VSOCK_E_PAR: return kVComBadArgument;
    case VSOCK_E_NOEXS: return kVComWrongState;
    case VSOCK_E_OBJ: return kVComRefused;
    case VSOCK_E_RES: return kind == kErrUdpReceive ? kVComNoResource : kVComNoRoom;
    case VSOCK_E_TIMEOUT: return kVComTimeout;
    default: return kVComOtherFailure;
    }
}

netc_sock_callback VComAbstractSocket::getVSockCallback() { return &vsockEvent; }

JLIB::JResult VComAbstractSocket::start(uint32_t userId, IVComWakeupFunction& wakeup)
{
    (void)runDisconnect(); // an object started while open must not leave its socket behind
    m_userId = userId;
    m_pWakeup = &wakeup;
    return kVComOk;
}

JLIB::JResult VComAbstractSocket::stop()
{
    if (m_mapSlot >= 0) (void)getSocketMapper().deleteSocket(m_socketId); // absent already is fine
    (void)runDisconnect(); // the object ends idle whatever the close answered
    forgetOwner();
    return kVComOk;
}

void VComAbstractSocket::forgetOwner()
{
    m_userId = 0;
    m_pWakeup = nullptr;
}

IVCom* VComAbstractSocket::getSession(signed char) { return this; }

JLIB::JResult VComAbstractSocket::disconnect()
{
    (void)onDisconnected(0); // recorded for the owner's next runCallback, which closes
    return kVComOk;
}

bool VComAbstractSocket::takeRecord(VComSocketCallbackParam& copy)
{
    VComSemLock lock(semaphoreId());
    if (!lock.ok()) return false;
    copy = m_callbackParam;
    m_callbackParam.initialize();
    return true;
}

namespace {

// Deliveries of this thread under way: more than one when an owner delivers an object's events
// from inside another object's callback.
thread_local int t_deliveryDepth = 0;

class DeliveryScope {
public:
    DeliveryScope() { ++t_deliveryDepth; }
    ~DeliveryScope() { --t_deliveryDepth; }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;
};

}  // namespace

bool VComAbstractSocket::deliveringNested() { return t_deliveryDepth > 1; }

JLIB::JResult VComAbstractSocket::runCallback(IVComCallback& callback)
{
    if (m_mapSlot < 0) return kVComWrongState;
    DeliveryScope scope;
    VComSocketCallbackParam copy;
    if (!takeRecord(copy)) return kVComFailed;
    return runCallbackSub(callback, 0, copy);
}

JLIB::JResult VComAbstractSocket::onConnected(int32_t) { return kVComNotSupported; }

JLIB::JResult VComAbstractSocket::onDisconnected(int32_t) { return recordEvent(kFlagDisconnect); }

JLIB::JResult VComAbstractSocket::onAccepted(int32_t, int32_t) { return kVComNotSupported; }

JLIB::JResult VComAbstractSocket::onReceived(int32_t result)
{
    return recordEvent(kFlagReceive, [result](VComSocketCallbackParam& p) { p.receiveResult = result; });
}

JLIB::JResult VComAbstractSocket::onSent(int32_t result)
{
    return recordEvent(kFlagSend, [result](VComSocketCallbackParam& p) { p.sendResult = result; });
}

JLIB::JResult VComAbstractSocket::getDestination(VComSocketAddress& address, uint16_t& port)
{
    if (m_status != kStatusOpen) return kVComWrongState;
    VComSemLock lock(semaphoreId());
    if (!lock.ok()) return kVComFailed;
    address = m_peerAddress;
    port = m_peerPort;
    return kVComOk;
}

void VComAbstractSocket::setPeer(const netc_addr& address, uint16_t port)
{
    VComSemLock lock(semaphoreId());
    // Only called before the object is in the map, so the socket task cannot see it either way.
    m_peerAddress = address;
    m_peerPort = port;
}

JLIB::JResult VComAbstractSocket::runDisconnect()
{
    JLIB::JResult result = kVComOk;
    if (m_socketId >= 0) {
        (void)vsock_shutdown(m_socketId, 2); // only checks the id; the deletion below answers for it
        // Pending operations end with reports while the object is still mapped; reset clears them.
        result = errorOccurred(vsock_deleteSock(m_socketId), kErrClose);
        if (m_mapSlot >= 0) (void)getSocketMapper().deleteSocket(m_socketId); // stop may have done it
    }
    reset();
    return result;
}

void VComAbstractSocket::reset()
{
    m_mapSlot = -1;
    m_socketId = -1;
    m_socketType = kTypeNone;
    m_status = kStatusIdle;
    m_receiveStream.clear();
    m_sendStream.clear();
    m_pendingReceive = 0;
    m_sendBusy = false;
    m_blocksSentAtOnce = 0;
    VComSemLock lock(semaphoreId());
    // Out of the map now, so the socket task no longer writes here even if the lock was not taken.
    m_callbackParam.initialize();
    m_peerAddress = netc_addr_any;
    m_peerPort = 0;
}

JLIB::JResult VComAbstractSocket::notify()
{
    if (!m_pWakeup) return kVComWrongState;
    return m_pWakeup->wakeup(m_ownerTaskId, *m_pWakeupSubject);
}

JLIB::JResult VComAbstractSocket::registerSocket(int32_t socketId, int32_t type, int32_t status)
{
    m_socketId = socketId;
    m_socketType = type;
    const int32_t slot = getSocketMapper().addSocket(*this);
    if (slot < 0) {
        (void)vsock_deleteSock(socketId); // a socket nobody maps: its close result changes nothing
        m_socketId = -1;
        m_socketType = kTypeNone;
        return kVComNoRoom;
    }
    m_mapSlot = slot;
    m_status = status;
    return kVComOk;
}

}  // namespace VCOM
