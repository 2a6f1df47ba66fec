#pragma once
// TCP client: connects to one remote endpoint. Owner task only, except the handlers.
#include "VUviRido/Socket/VComAbstractTcpSocket.h"

namespace VCOM {

class VComTcpClientSocket : public VComAbstractTcpSocket {
public:
    VComTcpClientSocket();
    ~VComTcpClientSocket() override = default;

    // 0 connected at once (onConnected follows), 1 in progress (onConnected or onConnectionFailed
    // follows), 6 already connected, 0x80000081 wrong state, 0x80000083 map full, or the
    // conversion of the socket layer's refusal (the object is then idle).
    [[nodiscard]] JLIB::JResult connect(const VComSocketAddress& local, const VComSocketAddress& remote, uint16_t port);

    JLIB::JResult onConnected(int32_t result) override;

private:
    netc_endpoint m_remote;  // written before the connect starts, read by the socket task's report
};

}  // namespace VCOM
