#include "VUviRido/Socket/VComAbstractTcpSocket.h"

#include <cstring>

#include "jlib/JHeap.h"
#include "vsock/vsock.h"

namespace VCOM {

VComAbstractTcpSocket::VComAbstractTcpSocket()
{
    m_pReceiveBuff = JLIB::JNew<unsigned char>(0, "VComAbstractSocket::m_pReceiveBuff", kBlockSize);
    m_pSendBuff = JLIB::JNew<unsigned char>(0, "VComAbstractSocket::m_pSendBuff", kBlockSize);
    // A stream without storage is full and empty at once: sends and receives then take nothing.
    (void)m_receiveStream.initialize(kStreamSize);
    (void)m_sendStream.initialize(kStreamSize);
}

VComAbstractTcpSocket::~VComAbstractTcpSocket()
{
    (void)runDisconnect(); // the socket layer must let go of the blocks before they are freed
    if (m_pReceiveBuff) (void)JLIB::JDelete(m_pReceiveBuff); // a JNew block is always taken back
    if (m_pSendBuff) (void)JLIB::JDelete(m_pSendBuff);
}

JLIB::JResult VComAbstractTcpSocket::receive(void* buffer, uint32_t size, uint32_t& count)
{
    count = 0;
    if (!buffer) return kVComBadArgument;
    if (m_status != kStatusOpen) return kVComWrongState;
    uint32_t taken = 0;
    m_receiveStream.pop(static_cast<unsigned char*>(buffer), size, &taken);
    count = taken;
    if (taken > 0 && !m_receiveStream.isEmpty()) {
        (void)recordEvent(kFlagDataWaiting); // a lost wake-up only delays the rest to the next event
        return kVComMoreData;
    }
    return kVComOk;
}

JLIB::JResult VComAbstractTcpSocket::send(const void* data, uint32_t length, uint32_t& count)
{
    count = 0;
    if (!data || length == 0) return kVComBadArgument;
    if (m_status != kStatusOpen) return kVComWrongState;
    uint32_t stored = 0;
    m_sendStream.push(static_cast<const unsigned char*>(data), length, &stored);
    count = stored;
    const JLIB::JResult sending = requestSend();
    return stored < length ? kVComNotAllTaken : sending;
}

JLIB::JResult VComAbstractTcpSocket::requestReceive()
{
    if (m_status != kStatusOpen) return kVComWrongState;
    const int32_t r = vsock_recvTcp(m_socketId, m_pReceiveBuff, static_cast<int32_t>(kBlockSize), -1);
    if (r == VSOCK_E_WBLK) return kVComPending;
    return errorOccurred(r, kErrTcpReceive);
}

JLIB::JResult VComAbstractTcpSocket::requestSend()
{
    if (!m_pSendBuff) return kVComOtherFailure;
    if (m_status != kStatusOpen) return kVComWrongState;
    if (m_sendBusy) return kVComOk;
    bool wroteAtOnce = false;
    JLIB::JResult result = kVComOk;
    while (!m_sendStream.isEmpty()) {
        uint32_t taken = 0;
        m_sendStream.pop(m_pSendBuff, kBlockSize, &taken);
        m_pSendPos = m_pSendBuff;
        m_sendRemain = taken;
        // Straight into the kernel while it takes the bytes; the socket task writes only the rest
        // and any failure, so that those are reported exactly as before.
        const int32_t now = vsock_sendTcpNow(m_socketId, m_pSendPos, static_cast<int32_t>(taken));
        if (now > 0) {
            const uint32_t written = static_cast<uint32_t>(now) < m_sendRemain ? static_cast<uint32_t>(now) : m_sendRemain;
            m_pSendPos += written;
            m_sendRemain -= written;
        }
        if (m_sendRemain == 0) {
            ++m_blocksSentAtOnce;
            wroteAtOnce = true;
            continue;
        }
        const int32_t r = vsock_sendTcp(m_socketId, m_pSendPos, static_cast<int32_t>(m_sendRemain), -1);
        if (r == VSOCK_E_WBLK) {
            m_sendBusy = true;
            result = kVComPending;
            break;
        }
        if (r < 0) {
            (void)onSent(r); // delivered with the next runCallback
            result = errorOccurred(r, kErrSend);
            break;
        }
        m_sendRemain = 0; // written at once
    }
    if (wroteAtOnce) {
        // Blocks written here are reported like the task's: onSent with the next delivery.
        (void)recordEvent(kFlagSentAtOnce); // a lost wake-up only delays it to the next event
        if (result == kVComOk) result = kVComPending;
    }
    return result;
}

bool VComAbstractTcpSocket::handleReceiveError(IVComCallback& callback, signed char sessionId, JLIB::JResult code)
{
    const uint32_t user = m_userId;
    if (code == kVComWrongState || code == kVComRefused || code == kVComOtherFailure) {
        (void)callback.onConnectionFailed(user, sessionId, kConnectionBroken);
        (void)runDisconnect(); // idle afterwards whatever the close answered
        return true;
    }
    (void)callback.onCommunicationFailed(user, sessionId, kReceiveRestartFailed);
    return false;
}

int32_t VComAbstractTcpSocket::drainReceive(IVComCallback& callback, signed char sessionId)
{
    // Bounded, so that a peer that never pauses cannot keep the owner on one socket for good.
    constexpr int kRounds = 64;
    for (int round = 0; round < kRounds; ++round) {
        const uint32_t room = m_receiveStream.getRemainSize();
        if (room == 0) return 1; // the owner drains the stream first; the task's block waits for room
        const uint32_t size = room < kBlockSize ? room : kBlockSize;
        const int32_t got = vsock_recvTcpNow(m_socketId, m_pReceiveBuff, static_cast<int32_t>(size));
        if (got == VSOCK_E_WBLK) return 1;
        if (got <= 0) return got;
        (void)m_receiveStream.pushAll(m_pReceiveBuff, static_cast<uint32_t>(got)); // read no more than the room
        (void)callback.onReceived(m_userId, sessionId);
        if (m_status != kStatusOpen) return 1; // the owner closed inside onReceived
    }
    return 1;
}

bool VComAbstractTcpSocket::deliverReceive(IVComCallback& callback, signed char sessionId, int32_t result)
{
    const uint32_t user = m_userId;
    if (result > 0 || result == VSOCK_E_WBLK) {
        const int32_t length = result == VSOCK_E_WBLK ? m_pendingReceive : result;
        if (length <= 0) return false; // a retry with nothing held back
        if (m_receiveStream.getRemainSize() < static_cast<uint32_t>(length)) {
            // No room: the owner drains the stream first, the block waits and the peer is throttled.
            m_pendingReceive = length;
            VComDebugOutput("[%d][%d]OnReceive - [errCode = Buffer OverRun]\n", static_cast<int>(user), sessionId);
            (void)callback.onReceived(user, sessionId);
            (void)onReceived(VSOCK_E_WBLK); // comes back on the next runCallback
            return false;
        }
        (void)m_receiveStream.pushAll(m_pReceiveBuff, static_cast<uint32_t>(length)); // room checked above
        m_pendingReceive = 0;
        (void)callback.onReceived(user, sessionId);
        if (m_status != kStatusOpen) return true; // the owner closed inside onReceived
        const int32_t end = drainReceive(callback, sessionId);
        if (m_status != kStatusOpen) return true;
        // A close or failure met by the owner's own read ends the connection as the task's would.
        if (end <= 0) return deliverReceive(callback, sessionId, end);
        const JLIB::JResult r = requestReceive();
        return JLIB::isFailure(r) && handleReceiveError(callback, sessionId, r);
    }
    if (result == 0) {
        VComDebugOutput("[%d][%d]OnDisconnected\n", static_cast<int>(user), sessionId);
        (void)callback.onDisconnected(user, sessionId);
    } else {
        VComDebugOutput("[%d][%d]OnConnectionFailed - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                        static_cast<unsigned>(result));
        (void)callback.onConnectionFailed(user, sessionId, kConnectionBroken);
    }
    (void)runDisconnect(); // idle afterwards whatever the close answered
    return true;
}

bool VComAbstractTcpSocket::deliverSentAtOnce(IVComCallback& callback, signed char sessionId)
{
    const uint32_t blocks = m_blocksSentAtOnce;
    m_blocksSentAtOnce = 0;
    for (uint32_t i = 0; i < blocks; ++i) {
        (void)callback.onSent(m_userId, sessionId);
        if (m_status != kStatusOpen) return true; // the owner closed inside onSent
    }
    if (blocks > 0) (void)requestSend(); // a failure is recorded as a send report
    return false;
}

bool VComAbstractTcpSocket::deliverSend(IVComCallback& callback, signed char sessionId, int32_t result)
{
    const uint32_t user = m_userId;
    if (result >= 0 || result == VSOCK_E_WBLK) {
        if (result > 0) {
            const uint32_t written = static_cast<uint32_t>(result) < m_sendRemain ? static_cast<uint32_t>(result) : m_sendRemain;
            m_pSendPos += written;
            m_sendRemain -= written;
        }
        if (m_sendRemain == 0) {
            m_sendBusy = false;
            (void)callback.onSent(user, sessionId);
            if (m_status == kStatusOpen) (void)requestSend(); // a failure is recorded as a send report
            return m_status != kStatusOpen;
        }
        const int32_t r = vsock_sendTcp(m_socketId, m_pSendPos, static_cast<int32_t>(m_sendRemain), -1);
        if (r == VSOCK_E_WBLK) m_sendBusy = true;
        else (void)onSent(r); // a count or a failure, delivered with the next runCallback
        return false;
    }
    if (result == static_cast<int32_t>(kVComFailed) || result == VSOCK_E_NOEXS || result == VSOCK_E_OBJ) {
        VComDebugOutput("[%d][%d]OnDisconnected - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                        static_cast<unsigned>(result));
        (void)callback.onDisconnected(user, sessionId);
        (void)runDisconnect(); // idle afterwards whatever the close answered
        return true;
    }
    // The block is given up so that later sends are not stuck behind it; the connection stays.
    m_sendBusy = false;
    m_sendRemain = 0;
    if (result == VSOCK_E_TIMEOUT) {
        VComDebugOutput("[%d][%d]OnCommunicationFailed - [errCode = VSOCK_E_TIMEOUT]\n", static_cast<int>(user), sessionId);
        (void)callback.onCommunicationFailed(user, sessionId, kSendTimedOut);
    } else {
        VComDebugOutput("[%d][%d]OnCommunicationFailed - [errCode = 0x%08X]\n", static_cast<int>(user), sessionId,
                        static_cast<unsigned>(result));
        (void)callback.onCommunicationFailed(user, sessionId, kSendFailed);
    }
    return false;
}

JLIB::JResult VComAbstractTcpSocket::runCallbackSub(IVComCallback& callback, signed char sessionId,
                                                    VComSocketCallbackParam& param)
{
    const uint32_t user = m_userId;
    if (param.checkFlag(kFlagConnected)) {
        m_status = kStatusOpen;
        VComDebugOutput("[%d][%d]OnConnected\n", static_cast<int>(user), sessionId);
        (void)callback.onConnected(user, sessionId);
        if (m_status != kStatusOpen) return kVComOk; // the owner closed inside onConnected
        const JLIB::JResult r = requestReceive();
        if (JLIB::isFailure(r) && handleReceiveError(callback, sessionId, r)) return kVComOk;
    }
    if (param.checkFlag(kFlagConnectionFailed)) {
        VComDebugOutput("[%d][%d]OnConnectionFailed - [errCode = %d]\n", static_cast<int>(user), sessionId,
                        static_cast<int>(param.connectionError));
        (void)runDisconnect(); // idle afterwards whatever the close answered
        (void)callback.onConnectionFailed(user, sessionId, static_cast<ConnectionError>(param.connectionError));
        return kVComOk;
    }
    if (param.checkFlag(kFlagDisconnect)) {
        (void)runDisconnect(); // idle afterwards whatever the close answered
        VComDebugOutput("[%d][%d]OnDisconnected\n", static_cast<int>(user), sessionId);
        (void)callback.onDisconnected(user, sessionId);
        return kVComOk;
    }
    // What has arrived by now is taken here rather than waited for from the socket task: a block
    // the owner's own turn made come (a local peer's answer) costs no hand-off between threads.
    int32_t taken = 0;
    if (!param.checkFlag(kFlagReceive) && m_status == kStatusOpen && m_pendingReceive == 0 &&
        vsock_recvTcpTake(m_socketId, &taken)) {
        param.set(kFlagReceive);
        param.receiveResult = taken;
    }
    if (param.checkFlag(kFlagReceive) && deliverReceive(callback, sessionId, param.receiveResult)) return kVComOk;
    if (param.checkFlag(kFlagDataWaiting)) {
        (void)callback.onReceived(user, sessionId);
        if (m_status != kStatusOpen) return kVComOk;
    }
    // The owner's own blocks went out before any block the task finished since.
    if (deliverSentAtOnce(callback, sessionId)) return kVComOk;
    if (param.checkFlag(kFlagSend)) (void)deliverSend(callback, sessionId, param.sendResult);
    return kVComOk;
}

}  // namespace VCOM
