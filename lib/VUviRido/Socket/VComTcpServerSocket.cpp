#include "VUviRido/Socket/VComTcpServerSocket.h"

#include "jlib/JHeap.h"
#include "jlib/jlib_cfg.h"
#include "vsock/vsock.h"
#include "vsock/vsock_addr.h"

namespace VCOM {

VComTcpServerSocket::VComTcpServerSocket(uint32_t capacity) : m_capacity(capacity)
{
    if (capacity == 0 || capacity > kMaxCapacity) return;
    m_pChildren = JLIB::JNew<VComTcpServerChildSocket>(0, "VComTcpServerSocket::m_pChildren", capacity);
    if (!m_pChildren) return;
    for (uint32_t i = 0; i < capacity; ++i) m_pChildren[i].attachServer(*this);
}

VComTcpServerSocket::~VComTcpServerSocket()
{
    // The socket layer refuses to close a listener while accepted sockets are open.
    closeSessions();
    (void)runDisconnect(); // idle afterwards whatever the close answered
    if (m_pChildren) (void)JLIB::JDelete(m_pChildren); // a JNew block is always taken back
}

void VComTcpServerSocket::closeSessions()
{
    if (!m_pChildren) return;
    for (uint32_t i = 0; i < m_capacity; ++i) (void)m_pChildren[i].stop(); // always 0
}

JLIB::JResult VComTcpServerSocket::stop()
{
    closeSessions();
    return VComAbstractTcpSocket::stop();
}

JLIB::JResult VComTcpServerSocket::listen(const VComSocketAddress& local, uint16_t port)
{
    if (m_status != kStatusIdle) return kVComWrongState;
    netc_sock_create_prm prm = {};
    prm.type = NETC_SOCK_TCP_PASSIVE;
    prm.port = port;
    prm.local = local.address();
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, getVSockCallback()};
    const int32_t id = vsock_createSock(&prm, &option);
    if (id < 0) return errorOccurred(id, kErrCreate);
    JLIB_RETURN_IF_FAILED(registerSocket(id, kTypeServerOrUdp, kStatusOpen));
    return accept();
}

JLIB::JResult VComTcpServerSocket::accept()
{
    if (m_status != kStatusOpen) return kVComWrongState;
    const int32_t r = vsock_accept(m_socketId, &m_acceptEndpoint, -1);
    if (r == VSOCK_E_WBLK) {
        m_status = kStatusAccepting;
        return kVComPending;
    }
    return errorOccurred(r, kErrAccept);
}

JLIB::JResult VComTcpServerSocket::onAccepted(int32_t result, int32_t socketId)
{
    if (result == VSOCK_E_RES) {
        // The layer's table was full and it refused that connection; without a new accept the
        // server would stay deaf for good, so the owner is asked to arm one (negative socket).
        return recordEvent(kFlagAccepted, [result](VComSocketCallbackParam& p) { p.acceptedSocket = result; });
    }
    if (result < 0) return kVComOk;
    return recordEvent(kFlagAccepted, [this, socketId](VComSocketCallbackParam& p) {
        p.acceptedPeer = m_acceptEndpoint;
        p.acceptedSocket = socketId;
    });
}

VComTcpServerChildSocket* VComTcpServerSocket::childOf(signed char sessionId) const
{
    const int32_t index = SessionIdToChildId(sessionId);
    if (index < 0) return nullptr;
    VComTcpServerChildSocket& child = m_pChildren[index];
    return child.getSocketId() >= 0 ? &child : nullptr;
}

int32_t VComTcpServerSocket::SessionIdToChildId(signed char sessionId) const
{
    if (!m_pChildren || sessionId < 1 || static_cast<uint32_t>(sessionId) > m_capacity) return -1;
    return sessionId - 1;
}

uint32_t VComTcpServerSocket::numOfConnection()
{
    if (!m_pChildren) return 0;
    uint32_t count = 0;
    for (uint32_t i = 0; i < m_capacity; ++i) {
        if (m_pChildren[i].getSocketId() >= 0) ++count;
    }
    return count;
}

IVCom* VComTcpServerSocket::getSession(signed char sessionId)
{
    if (sessionId == 0) return this;
    return childOf(sessionId);
}

JLIB::JResult VComTcpServerSocket::disconnect()
{
    if (!m_pChildren) return kVComOtherFailure;
    for (uint32_t i = 0; i < m_capacity; ++i) {
        if (m_pChildren[i].getSocketId() >= 0) (void)m_pChildren[i].disconnect(); // always 0
    }
    return VComAbstractTcpSocket::disconnect();
}

JLIB::JResult VComTcpServerSocket::disconnect(signed char sessionId)
{
    if (!m_pChildren) return kVComOtherFailure;
    if (sessionId == 0) return disconnect();
    VComTcpServerChildSocket* child = childOf(sessionId);
    if (!child) return kVComBadArgument;
    return child->disconnect();
}

JLIB::JResult VComTcpServerSocket::getChildDestination(signed char sessionId, VComSocketAddress& address, uint16_t& port)
{
    (void)address.initialize(); // always 0
    port = 0;
    if (!m_pChildren) return kVComOtherFailure;
    VComTcpServerChildSocket* child = childOf(sessionId);
    if (!child) return kVComBadArgument;
    return child->getDestination(address, port);
}

void VComTcpServerSocket::takeAccepted(IVComCallback& callback, const VComSocketCallbackParam& param)
{
    const int32_t socketId = param.acceptedSocket;
    if (socketId < 0) return; // a refused accept: only the next one is armed
    int32_t free = -1;
    for (uint32_t i = 0; i < m_capacity && free < 0; ++i) {
        if (m_pChildren[i].getSocketId() < 0) free = static_cast<int32_t>(i);
    }
    if (free < 0 || !m_pWakeup) {
        VComDebugOutput("[%d][%d]OnRejected - [%d]\n", static_cast<int>(m_userId), 0, static_cast<int>(socketId));
        (void)vsock_deleteSock(socketId); // no session takes it: the client sees the connection end
        return;
    }
    const VComSocketAddress peer(param.acceptedPeer.addr);
    if (JLIB::isFailure(m_pChildren[free].startChild(m_userId, *m_pWakeup, socketId, peer, param.acceptedPeer.port))) {
        return; // the session closed the socket again
    }
    const signed char sessionId = ChildIdToSessionId(free);
    char text[50] = "";
    (void)vsock_ntop(&param.acceptedPeer.addr, text, sizeof(text)); // the trace only
    VComDebugOutput("[%d][%d]OnAccepted - [%d]\tIP = %s\tPort = %d\n", static_cast<int>(m_userId), 0, sessionId, text,
                    static_cast<int>(param.acceptedPeer.port));
    (void)callback.onAccepted(m_userId, 0, sessionId);
}

JLIB::JResult VComTcpServerSocket::runCallback(IVComCallback& callback)
{
    if (!m_pChildren) return kVComOtherFailure;
    if (m_mapSlot < 0) return kVComWrongState;
    VComSocketCallbackParam copy;
    if (!takeRecord(copy)) return kVComFailed;
    JLIB::JResult result = kVComOk;
    if (copy.checkFlag(kFlagAccepted)) {
        m_status = kStatusOpen;
        takeAccepted(callback, copy);
        const JLIB::JResult armed = accept();
        if (JLIB::isFailure(armed)) {
            JLIB_LOG("[E] VComTcpServerSocket::runCallback - accept not armed (0x%08X)\n", static_cast<unsigned>(armed));
        }
    }
    for (uint32_t i = 0; i < m_capacity; ++i) {
        VComTcpServerChildSocket& child = m_pChildren[i];
        if (child.getSocketId() < 0) continue;
        if (JLIB::isFailure(child.runCallbackChild(callback, ChildIdToSessionId(static_cast<int32_t>(i))))) result = kVComFailed;
    }
    if (m_mapSlot >= 0 && JLIB::isFailure(runCallbackSub(callback, 0, copy))) result = kVComFailed;
    return result;
}

}  // namespace VCOM
