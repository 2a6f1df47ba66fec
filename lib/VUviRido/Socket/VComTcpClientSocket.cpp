#include "VUviRido/Socket/VComTcpClientSocket.h"

#include "vsock/vsock.h"

namespace VCOM {

VComTcpClientSocket::VComTcpClientSocket() : m_remote{} {}

JLIB::JResult VComTcpClientSocket::connect(const VComSocketAddress& local, const VComSocketAddress& remote, uint16_t port)
{
    if (m_status == kStatusConnecting) return kVComPending;
    if (m_status == kStatusOpen) return kVComAlreadyConnected;
    if (m_status != kStatusIdle) return kVComWrongState;

    netc_sock_create_prm prm = {};
    prm.type = NETC_SOCK_TCP_ACTIVE;
    prm.port = 0;
    prm.local = local.address();
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, getVSockCallback()};
    const int32_t id = vsock_createSock(&prm, &option);
    if (id < 0) return errorOccurred(id, kErrCreate);
    JLIB_RETURN_IF_FAILED(registerSocket(id, kTypeTcpClient, kStatusIdle));

    m_remote.port = port;
    m_remote.addr = remote.address();
    const int32_t r = vsock_connect(m_socketId, &m_remote, -1);
    if (r == 0) {
        m_status = kStatusConnecting;
        (void)onConnected(0); // recorded for the owner's next runCallback
        return kVComOk;
    }
    if (r == VSOCK_E_WBLK) {
        m_status = kStatusConnecting;
        return kVComPending;
    }
    (void)runDisconnect(); // idle again; the refusal is the answer
    return errorOccurred(r, kErrConnect);
}

JLIB::JResult VComTcpClientSocket::onConnected(int32_t result)
{
    if (result == VSOCK_E_TIMEOUT) {
        return recordEvent(kFlagConnectionFailed, [](VComSocketCallbackParam& p) { p.connectionError = kConnectTimedOut; });
    }
    if (result < 0) {
        return recordEvent(kFlagConnectionFailed, [](VComSocketCallbackParam& p) { p.connectionError = kConnectFailed; });
    }
    return recordEvent(kFlagConnected, [this](VComSocketCallbackParam&) {
        m_peerAddress = m_remote.addr;
        m_peerPort = m_remote.port;
    });
}

}  // namespace VCOM
