#pragma once
// TCP server with a fixed number of sessions (1..capacity, at most 127). Its runCallback delivers
// the accept and the events of every session. Owner task only, except the handlers.
#include "VUviRido/Socket/VComAbstractTcpSocket.h"
#include "VUviRido/Socket/VComTcpServerChildSocket.h"

namespace VCOM {

class VComTcpServerSocket : public VComAbstractTcpSocket {
public:
    static constexpr uint32_t kMaxCapacity = 127;  // session ids are signed 8-bit

    // A capacity of 0 or above 127 leaves the server without sessions (operations answer 0x80000084).
    explicit VComTcpServerSocket(uint32_t capacity);
    ~VComTcpServerSocket() override;

    // Opens the listener and arms the accept: 1, 0x80000081 not idle, 0x80000083 map full, or the
    // conversion of the socket layer's refusal.
    [[nodiscard]] JLIB::JResult listen(const VComSocketAddress& local, uint16_t port);
    // 1 armed, 0x80000081 not open, or the conversion of the failure.
    [[nodiscard]] JLIB::JResult accept();
    // Session 0: every session and then the listener; 1..n: that session.
    JLIB::JResult disconnect(signed char sessionId);
    JLIB::JResult disconnect() override;
    // Clears address and port, then gives the session's peer.
    [[nodiscard]] JLIB::JResult getChildDestination(signed char sessionId, VComSocketAddress& address, uint16_t& port);
    int32_t SessionIdToChildId(signed char sessionId) const;
    static signed char ChildIdToSessionId(int32_t index) { return static_cast<signed char>(index + 1); }

    JLIB::JResult stop() override;
    uint32_t numOfConnection() override;
    uint32_t capacityOfConnection() override { return m_capacity; }
    IVCom* getSession(signed char sessionId) override;
    // 0x80000084 without sessions, 0x80000081 not registered, 0x80000000 when a delivery failed.
    JLIB::JResult runCallback(IVComCallback& callback) override;
    JLIB::JResult onAccepted(int32_t result, int32_t socketId) override;

private:
    VComTcpServerChildSocket* childOf(signed char sessionId) const;
    void takeAccepted(IVComCallback& callback, const VComSocketCallbackParam& param);
    void closeSessions();

    uint32_t m_capacity;
    VComTcpServerChildSocket* m_pChildren = nullptr;
    netc_endpoint m_acceptEndpoint{};  // written by the socket layer before the accept report
};

}  // namespace VCOM
