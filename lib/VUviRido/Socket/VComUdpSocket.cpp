#include "VUviRido/Socket/VComUdpSocket.h"

#include <cstring>

#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"
#include "vsock/vsock.h"

namespace VCOM {

namespace {

// The socket layer cuts every datagram it queues to this many bytes.
constexpr int32_t kLongestQueuedDatagram = 2048;

}  // namespace

VComUdpSocket::VComUdpSocket()
{
    m_pSendBuff = JLIB::JNew<unsigned char>(0, "VComAbstractSocket::m_pSendBuff", kSendBufferSize);
    m_sendBuffSize = m_pSendBuff ? kSendBufferSize : 0;
}

VComUdpSocket::~VComUdpSocket()
{
    (void)runDisconnect(); // the socket layer must let go of the buffer before it is freed
    if (m_pSendBuff) (void)JLIB::JDelete(m_pSendBuff); // a JNew block is always taken back
}

JLIB::JResult VComUdpSocket::listen(const VComSocketAddress& local, uint16_t port)
{
    if (m_status != kStatusIdle) return kVComWrongState;
    netc_sock_create_prm prm = {};
    prm.type = NETC_SOCK_UDP;
    prm.port = port;
    prm.local = local.address();
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, getVSockCallback()};
    const int32_t id = vsock_createSock(&prm, &option);
    if (id < 0) return errorOccurred(id, kErrCreate);
    return registerSocket(id, kTypeServerOrUdp, kStatusOpen);
}

JLIB::JResult VComUdpSocket::sendTo(const VComSocketAddress& address, uint16_t port)
{
    if (m_status != kStatusOpen) return kVComWrongState;
    VComSemLock lock(semaphoreId());
    if (!lock.ok()) return kVComFailed;
    m_peerAddress = address;
    m_peerPort = port;
    return kVComOk;
}

JLIB::JResult VComUdpSocket::receiveFrom(VComSocketAddress& address, uint16_t& port)
{
    address = m_sourceAddress;
    port = m_sourcePort;
    return kVComOk;
}

int32_t VComUdpSocket::discardDatagram()
{
    unsigned char scratch[kLongestQueuedDatagram];
    return vsock_recvUdp(m_socketId, scratch, kLongestQueuedDatagram, nullptr, -1);
}

JLIB::JResult VComUdpSocket::receive(void* buffer, uint32_t size, uint32_t& count)
{
    if (m_status != kStatusOpen) return kVComWrongState;
    (void)m_sourceAddress.initialize(); // always 0
    m_sourcePort = 0;
    count = 0;
    if (!buffer) return kVComBadArgument;
    const int32_t capped = size > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(size);
    netc_endpoint from = {};
    const int32_t r = vsock_recvUdp(m_socketId, buffer, capped, &from, -1);
    if (r >= 0) {
        count = static_cast<uint32_t>(r);
        m_sourceAddress = from.addr;
        m_sourcePort = from.port;
        return kVComOk;
    }
    if (r == VSOCK_E_BUFSZ) {
        // Left queued, it would stand before every later datagram for good.
        const int32_t dropped = discardDatagram();
        JLIB_LOG("[W] VComUdpSocket::receive - datagram longer than %u bytes discarded (%d)\n",
                 static_cast<unsigned>(size), static_cast<int>(dropped));
        (void)onReceived(VSOCK_E_WBLK); // datagrams behind it get their onReceived
        return kVComOtherFailure;
    }
    return errorOccurred(r, kErrUdpReceive);
}

bool VComUdpSocket::destination(netc_endpoint& to)
{
    VComSemLock lock(semaphoreId());
    if (!lock.ok()) return false;
    to.addr = m_peerAddress.address();
    to.port = m_peerPort;
    return true;
}

int32_t VComUdpSocket::sendDatagram()
{
    netc_endpoint to = {};
    if (!destination(to)) return VSOCK_FAILED;
    return vsock_sendUdp(m_socketId, m_pSendBuff, static_cast<int32_t>(m_sendLength), &to, -1);
}

int32_t VComUdpSocket::sendDatagramNow()
{
    netc_endpoint to = {};
    if (!destination(to)) return VSOCK_E_WBLK; // the task's path answers for it
    return vsock_sendUdpNow(m_socketId, m_pSendBuff, static_cast<int32_t>(m_sendLength), &to);
}

JLIB::JResult VComUdpSocket::send(const void* data, uint32_t length, uint32_t& count)
{
    count = 0;
    if (!data || length == 0) return kVComBadArgument;
    if (m_sendBuffSize == 0) return kVComOtherFailure;
    if (m_status != kStatusOpen) return kVComWrongState;
    if (m_sendBusy) {
        VComDebugOutput("VComUdpSocket::send cannot send due to socket busy.\n");
        return kVComNotAllTaken;
    }
    if (length > m_sendBuffSize) {
        VComDebugOutput("VComUdpSocket::send cannot send due to length over.\n");
        return kVComNotAllTaken;
    }
    std::memcpy(m_pSendBuff, data, length);
    count = length;
    m_sendLength = length;
    // Written here when the system takes it, reported like the task's send (onSent with the next
    // delivery, the datagram in flight until then); the task writes only what has to wait.
    const int32_t now = sendDatagramNow();
    if (now >= 0) {
        m_sendBusy = true;
        m_blocksSentAtOnce = 1;
        (void)recordEvent(kFlagSentAtOnce); // a lost wake-up only delays it to the next event
        return kVComPending;
    }
    const int32_t r = sendDatagram();
    if (r == VSOCK_E_WBLK) {
        m_sendBusy = true;
        return kVComPending;
    }
    (void)onSent(r); // delivered with the next runCallback
    return errorOccurred(r, kErrSend);
}

JLIB::JResult VComUdpSocket::runCallbackSub(IVComCallback& callback, signed char sessionId, VComSocketCallbackParam& param)
{
    const uint32_t user = m_userId;
    // A datagram written at once was out before anything this delivery brings in: its onSent
    // comes first, so that an answer to what arrives finds the socket free again. Not from inside
    // another object's callback, though: an owner that answers a burst from there keeps finding
    // the socket busy and gathers its answers, as it did while the task reported every datagram;
    // the owner's next delivery brings the onSent.
    if (m_blocksSentAtOnce > 0 && deliveringNested()) {
        (void)recordEvent(kFlagSentAtOnce); // asks for that delivery
    } else if (m_blocksSentAtOnce > 0) {
        m_blocksSentAtOnce = 0;
        m_sendLength = 0;
        m_sendBusy = false;
        (void)callback.onSent(user, sessionId);
        if (m_status != kStatusOpen) return kVComOk; // the owner closed inside onSent
    }
    // Datagrams that have arrived by now are queued here rather than waited for from the socket
    // task; a failure met on the way is delivered as the task's report would have been.
    const int32_t polled = m_status == kStatusOpen ? vsock_recvUdpPoll(m_socketId) : 0;
    if (polled < 0 || (polled > 0 && !param.checkFlag(kFlagReceive))) {
        param.set(kFlagReceive);
        param.receiveResult = polled;
    }
    if (param.checkFlag(kFlagReceive)) {
        const int32_t r = param.receiveResult;
        if (r >= 0 || r == VSOCK_E_WBLK) {
            (void)callback.onReceived(user, sessionId);
        } else if (r == VSOCK_E_RES) {
            VComDebugOutput("[%d][%d]OnCommunicationFailed - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                            static_cast<unsigned>(r));
            (void)callback.onCommunicationFailed(user, sessionId, kReceivedDataLost);
            (void)callback.onReceived(user, sessionId);
        } else {
            if (r == VSOCK_E_OBJ) {
                VComDebugOutput("[%d][%d]OnConnectionFailed - [errCode = VSOCK_E_OBJ]\n", static_cast<int>(user), sessionId);
            } else {
                VComDebugOutput("[%d][%d]OnConnectionFailed - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                                static_cast<unsigned>(r));
            }
            (void)callback.onConnectionFailed(user, sessionId, kConnectionBroken);
            (void)runDisconnect(); // idle afterwards whatever the close answered
            return kVComOk;
        }
        if (m_status != kStatusOpen) return kVComOk; // the owner closed inside the callback
    }
    if (param.checkFlag(kFlagSend)) {
        const int32_t s = param.sendResult;
        if (s >= 0) {
            m_sendLength = 0;
            m_sendBusy = false;
            (void)callback.onSent(user, sessionId);
        } else if (s == VSOCK_E_WBLK) {
            const int32_t r = sendDatagram();
            if (r == VSOCK_E_WBLK) m_sendBusy = true;
            else (void)onSent(r); // delivered with the next runCallback
        } else {
            m_sendBusy = false;
            if (s == VSOCK_E_TIMEOUT) {
                VComDebugOutput("[%d][%d]OnCommunicationFailed - [errCode = VSOCK_E_TIMEOUT]\n", static_cast<int>(user), sessionId);
                (void)callback.onCommunicationFailed(user, sessionId, kSendTimedOut);
            } else {
                VComDebugOutput("[%d][%d]OnCommunicationFailed - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                                static_cast<unsigned>(s));
                (void)callback.onCommunicationFailed(user, sessionId, kSendFailed);
            }
        }
    }
    return kVComOk;
}

}  // namespace VCOM
