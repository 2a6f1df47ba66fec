#pragma once
// One session of a TCP server: an accepted connection, delivered by its server's runCallback.
// Owner task only, except the handlers.
#include "VUviRido/Socket/VComAbstractTcpSocket.h"

namespace VCOM {

class VComTcpServerChildSocket : public VComAbstractTcpSocket {
public:
    VComTcpServerChildSocket() = default;
    ~VComTcpServerChildSocket() override = default;

    // Takes the accepted socket: 0, 0x80000081 when not idle, 0x80000083 when the map is full (the
    // accepted socket is then closed). Records a connect so that onConnected follows.
    [[nodiscard]] JLIB::JResult startChild(uint32_t userId, IVComWakeupFunction& wakeup, int32_t socketId,
                                           const VComSocketAddress& peer, uint16_t peerPort);
    // Delivers this session's recorded events under its session id.
    JLIB::JResult runCallbackChild(IVComCallback& callback, signed char sessionId);
    // Wake-ups of the session name the server (which owns the session array and outlives it).
    void attachServer(IVCom& server) { setWakeupSubject(server); }
};

}  // namespace VCOM
