#pragma once
// The listening side of the console link: a TCP server socket with one session per client unit;
// each accepted connection goes to the lowest free unit, and the socket's events go to the unit
// that holds the session. The owner calls runCallback on wake-up and periodicHandle on its tick,
// all on its own thread. The units belong to the caller. Owner task only.
#include <cstdint>
#include <memory>

#include "VUviRido/Socket/IVComCallback.h"

namespace VCOM {
class IVComWakeupFunction;
class VComTcpServerSocket;
}  // namespace VCOM

namespace ComControl {

class ClientUnit;

class ServerService : public VCOM::IVComCallback {
public:
    static constexpr JLIB::JResult kAlreadyInitialized = 1;
    static constexpr JLIB::JResult kBadArgument = 0x80000002u;
    static constexpr JLIB::JResult kNoMemory = 0x80000005u;
    static constexpr JLIB::JResult kFailed = 0x80000006u;
    static constexpr JLIB::JResult kNoUnit = 0x80000007u;
    static constexpr JLIB::JResult kNotInitialized = 0x80000008u;
    static constexpr uint32_t kMaxUnits = 127;  // sessions of one server socket

    ServerService();
    // Disconnects, frees the units that still hold a session (they report disconnected) and
    // deletes the server socket; the units stay the caller's.
    ~ServerService() override;
    ServerService(const ServerService&) = delete;
    ServerService& operator=(const ServerService&) = delete;

    // A server socket for unitCount sessions, started with user id 0 and wakeup (borrowed: the
    // owner keeps it alive), and an empty unit table. 0; 1 when already initialised (nothing
    // changes); 0x80000002 for a count of 0 or above 127; 0x80000005 when something cannot be
    // allocated.
    [[nodiscard]] JLIB::JResult initialize(uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup);
    // The same, then the table holds the address of each unit (borrowed: the caller keeps the
    // units alive and initialised while the service lives); 0x80000002 for a null array.
    [[nodiscard]] JLIB::JResult initialize(ClientUnit* units, uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup);
    [[nodiscard]] JLIB::JResult initialize(ClientUnit** units, uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup);

    // Every operation below and every socket event gives 0x80000008 before initialize.
    // Accepts on the IPv4 address text and port: 0, or 0x80000006 when the socket refuses.
    [[nodiscard]] JLIB::JResult listen(const char* localAddress, uint16_t port);
    // Delivers the server socket's events on the calling (owner) thread: 0 or 0x80000006.
    [[nodiscard]] JLIB::JResult runCallback();
    // Passed to every unit: 0, or 0x80000006 when any unit failed (all are called).
    [[nodiscard]] JLIB::JResult notifyPrmChanged();
    [[nodiscard]] JLIB::JResult periodicHandle(uint32_t elapsedMs);
    // Disconnects every unit, then the server socket: 0, or 0x80000006 when the socket's fails.
    [[nodiscard]] JLIB::JResult disconnect();
    uint32_t unitCount() const { return m_unitCount; }
    // Null for an index out of range.
    ClientUnit* unit(uint32_t index) const;

    // Socket events, inside runCallback. A session no unit holds gives 0x80000007 and touches no
    // unit; a unit's failure gives 0x80000006. An accepted connection that no unit takes is
    // closed again (0x80000006).
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

private:
    // The unit holding sessionId and its table index; 0x80000007 when none does.
    JLIB::JResult searchUnit(signed char sessionId, ClientUnit*& unit, uint32_t& index) const;

    bool m_initialized = false;
    std::unique_ptr<VCOM::VComTcpServerSocket> m_pSocket;
    std::unique_ptr<ClientUnit*[]> m_pUnits;  // entries borrowed from the caller, may be null
    uint32_t m_unitCount = 0;
};

}  // namespace ComControl
