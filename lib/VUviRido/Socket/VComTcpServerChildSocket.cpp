#include "VUviRido/Socket/VComTcpServerChildSocket.h"

#include "vsock/vsock.h"

namespace VCOM {

JLIB::JResult VComTcpServerChildSocket::startChild(uint32_t userId, IVComWakeupFunction& wakeup, int32_t socketId,
                                                   const VComSocketAddress& peer, uint16_t peerPort)
{
    m_pWakeup = &wakeup;
    if (m_status != kStatusIdle || m_socketId >= 0) return kVComWrongState;
    setPeer(peer.address(), peerPort);
    JLIB_RETURN_IF_FAILED(registerSocket(socketId, kTypeSession, kStatusOpen));
    m_userId = userId;
    (void)recordEvent(kFlagConnected); // delivered as onConnected in the same runCallback
    return kVComOk;
}

JLIB::JResult VComTcpServerChildSocket::runCallbackChild(IVComCallback& callback, signed char sessionId)
{
    VComSocketCallbackParam copy;
    if (!takeRecord(copy)) return kVComFailed;
    return runCallbackSub(callback, sessionId, copy);
}

}  // namespace VCOM
