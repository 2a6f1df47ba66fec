#pragma once
// The TCP transport of a console: a listening socket on every local IPv4 address that takes one
// user at a time and carries the bytes between that user and a shell. Also an output of the debug
// print, so send may come from any task (under the debug print's lock "DBGC"); wakeup comes from
// the socket layer's task; everything else belongs to the task that owns the console.
// Lock order: "DBGC" before "LowIOEtherServer", never the reverse.
#include <atomic>
#include <cstdint>
#include <memory>

#include "TMS/TMSMutex.h"
#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "dbgc/dbgc_IDebugConsoleLowIO.h"

namespace VCOM {
class VComTcpServerSocket;
}

namespace DBGC {

class LowIOEtherServer : public IDebugConsoleLowIO,
                         public VCOM::IVComWakeupFunction,
                         public VCOM::IVComCallback {
public:
    static constexpr uint32_t kSendAttempts = 10;
    static constexpr JLIB::JResult kSendBusy = 0x80000003u;

    // Creates the lock "LowIOEtherServer"; no socket yet. Needs the OS layer.
    explicit LowIOEtherServer(uint16_t port);
    // Closes the socket and any connection.
    ~LowIOEtherServer() override;
    LowIOEtherServer(const LowIOEtherServer&) = delete;
    LowIOEtherServer& operator=(const LowIOEtherServer&) = delete;

    // Owner task. Closes what is open, then listens on "0.0.0.0" at the port with room for one
    // connection. 0x80000000 when the socket cannot be made, started or made to listen (a socket
    // that failed to listen stays until finalize). The callback is borrowed until finalize.
    JLIB::JResult initialize(IDebugConsoleLowIOCallback& callback) override;
    // Owner task. Deletes the socket, which closes it with its connection; always 0.
    JLIB::JResult finalize() override;
    JLIB::JResult pollChar() override;
    // Owner task. Reads from the connection: 0 with the count, 0x80000000 without a buffer, size,
    // socket or connection, or when the read fails.
    JLIB::JResult receive(void* buffer, uint32_t size, uint32_t* received) override;
    // Any task. All of the text or nothing: it goes when the connection's send buffer has room for
    // all of it, retried 10 times with a yield in between. 0; the socket's failure; or 0x80000000
    // without data, socket or connection, or when no attempt found room.
    JLIB::JResult send(const void* data, uint32_t size, uint32_t* sent) override;
    JLIB::JResult flush() override;
    // Owner task. Takes the socket's events out under the lock and hands them to the callback after
    // releasing it, so that a shell answering under "DBGC" never waits while holding this lock.
    JLIB::JResult runCallback() override;

    // Socket layer's task: only tells the callback that events wait.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

    // Owner task, inside runCallback with the lock held: they only record.
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

    uint16_t port() const { return m_port; }

private:
    struct Events {
        bool accepted = false;
        bool received = false;
    };

    // Declared first: destroyed after the socket it guards.
    TMS::TMSMutex m_lock;
    uint16_t m_port;
    // Read by the socket layer's task without the lock; the shell behind it outlives the transport.
    std::atomic<IDebugConsoleLowIOCallback*> m_pCallback{nullptr};
    std::unique_ptr<VCOM::VComTcpServerSocket> m_pServer;  // guarded by m_lock
    Events m_events;                                        // guarded by m_lock
};

}  // namespace DBGC
