#pragma once
// The connecting end of a console link: a link unit over a TCP client socket. The owner calls
// runCallback when the socket wakes it and periodicHandle on its tick; every socket callback,
// component call and observer call then runs on the owner's thread. Owner task only.
#include <cstdint>
#include <memory>

#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "comctrl_AbstractUnit.h"

namespace VCOM {
class IVComWakeupFunction;
class VComTcpClientSocket;
}  // namespace VCOM

namespace ComControl {

class ServerUnit : public AbstractUnit, public VCOM::IVComCallback {
public:
    ServerUnit();
    // Closes the connection without reporting it and deletes the socket.
    ~ServerUnit() override;

    using AbstractUnit::initialize;
    // A connecting unit needs its local address and wake-up: 0x80000002.
    [[nodiscard]] JLIB::JResult initialize(int32_t unitId, uint32_t eventCount, uint32_t syncCount, uint32_t fileCount,
                                           uint32_t directoryCount, IUnitConnectObserver* observer,
                                           uint32_t bufferSize) override;
    // Creates and starts the socket (user id makeClientUserId(unitId), wakeup borrowed: the owner
    // keeps it alive), then the unit. 0x80000003 when already initialised; 0x80000005 when the
    // socket cannot be created; otherwise AbstractUnit::initialize's result.
    [[nodiscard]] JLIB::JResult initialize(int32_t unitId, uint32_t eventCount, uint32_t syncCount, uint32_t fileCount,
                                           uint32_t directoryCount, const VCOM::VComSocketAddress& local,
                                           VCOM::IVComWakeupFunction& wakeup, IUnitConnectObserver* observer,
                                           uint32_t bufferSize);
    static uint32_t makeClientUserId(int32_t unitId) { return static_cast<uint32_t>(unitId); }

    bool isServerUnit() const override { return true; }
    // Starts connecting from the local address; connected or connectFailed follows. The mapped
    // socket result; 0x80000003 before initialize.
    [[nodiscard]] JLIB::JResult connect(const VCOM::VComSocketAddress& peer, uint16_t port);
    // The socket closes in the next runCallback, which reports disconnected.
    [[nodiscard]] JLIB::JResult disconnect() override;
    bool isConnected() const;
    // Delivers the socket's pending events on the calling (owner) thread.
    [[nodiscard]] JLIB::JResult runCallback();

    // Socket events, inside runCallback; 0x80000003 when not initialised.
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

private:
    // Reports connectFailed, then runs the disconnection.
    JLIB::JResult failed(uint32_t userId, signed char sessionId);

    VCOM::VComSocketAddress m_localAddress;
    std::unique_ptr<VCOM::VComTcpClientSocket> m_pSocket;
};

}  // namespace ComControl
