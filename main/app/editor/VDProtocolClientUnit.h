#pragma once
// The engine's end of the editor link: a TCP client that sends packets as lines of compact JSON
// through a 5 MiB send queue and turns received lines back into packets for its observer.
// No lock: every operation, and every callback it makes, runs on the owner thread, the one that
// calls runCallback when its wake-up function was called.
#include <cstdint>
#include <memory>
#include <string>

#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "editor/IVDProtocolConnectObserver.h"
#include "editor/PacketContainer.h"
#include "editor/VDProtocolLineBuffer.h"
#include "jlib/jlib_ringbuf.h"

namespace VCOM {
class VComTcpClientSocket;
}

namespace VDProtocol {

class VDProtocolClientUnit : public VCOM::IVComCallback {
public:
    static constexpr uint32_t kSendQueueSize = 0x500000;
    static constexpr uint32_t kReadSize = 1024;  // bytes taken from the socket per onReceived
    static constexpr uint32_t kUserId = 1;

    static constexpr JLIB::JResult kBusy = 0x80000008u;
    static constexpr JLIB::JResult kFileSystem = 0x80000006u;
    static constexpr JLIB::JResult kNotFound = 0x80000002u;
    static constexpr JLIB::JResult kLimitOver = 0x80000007u;
    static constexpr JLIB::JResult kDuplicate = 0x80000004u;
    static constexpr JLIB::JResult kNoMemory = 0x80000005u;
    static constexpr JLIB::JResult kOtherFailure = 0x8000000Fu;
    static constexpr JLIB::JResult kNotInitialized = 0x80000003u;  // no socket (or no buffers)
    static constexpr JLIB::JResult kIoFailed = 0x80000004u;        // a read failed or a chunk was not taken

    VDProtocolClientUnit();
    // Disconnects, stops and deletes the socket, then frees both 5 MiB blocks.
    ~VDProtocolClientUnit() override;
    VDProtocolClientUnit(const VDProtocolClientUnit&) = delete;
    VDProtocolClientUnit& operator=(const VDProtocolClientUnit&) = delete;

    // Creates and starts the socket (user id 1, the wake-up function borrowed while the unit
    // lives), keeps the identifier, local address and observer (borrowed, must outlive the
    // unit), and sets up the zeroed send queue and line buffer. 0; 0x80000003 when called
    // before; 0x80000005 without memory (a socket made stays, the unit stays unusable).
    JLIB::JResult initialize(const std::string& identifier, const VCOM::VComSocketAddress& local,
                             VCOM::IVComWakeupFunction& wakeup, IVDProtocolConnectObserver& observer);
    // Starts connecting from the local address (any port): 0 also while the connection is being
    // made; the outcome arrives as connected() or connectFailed() then disconnected(). A refusal
    // at once is answered here (mapped) and reported to nobody.
    JLIB::JResult connect(const VCOM::VComSocketAddress& remote, uint16_t port);
    // Closes the connection and forgets the remote address; mapped result.
    JLIB::JResult disconnect();
    bool isConnected() const;
    // Delivers the socket's recorded events to this unit; mapped result.
    JLIB::JResult runCallback();

    // Encodes the packet and queues it as one line: 0 when the whole line was queued; 0x8000000F
    // when it does not encode or does not fit the queue's free space (no part of it queued).
    JLIB::JResult send(const PacketContainer& packet);
    // Moves the next chunk (at most the socket's free stream space) into the socket: 0, or
    // 0x80000004 when the socket took less than offered (that chunk is lost).
    JLIB::JResult writeToVCom();

    // Socket-layer result to unit result: codes without the top bit give 0.
    static JLIB::JResult fromVComErr(JLIB::JResult code);

    // Bytes waiting in the send queue; bytes of the received line not yet complete.
    uint32_t queuedLength() const;
    uint32_t pendingLineLength() const { return m_lineBuffer.usedLength(); }
    const std::string& identifier() const { return m_identifier; }

    // Socket events, called by the socket inside runCallback; 0x80000003 before initialize.
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    // Reads up to 1024 bytes, completes lines and hands each decoded packet to the observer; the
    // socket's read result (2: more waits), or 0x80000004 when the read failed.
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    // Discards everything queued; the observer is not told.
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

private:
    bool isReady() const;
    void resetSendQueue();
    void handleLine(std::string_view line);

    std::string m_identifier;
    std::unique_ptr<unsigned char[]> m_pSendStorage;
    T_JLIB_RINGBUF m_sendRing{};
    std::unique_ptr<unsigned char[]> m_pChunk;  // one chunk on its way from the queue to the socket
    VDProtocolLineBuffer m_lineBuffer;
    VCOM::VComSocketAddress m_localAddress;
    VCOM::VComSocketAddress m_remoteAddress;
    std::unique_ptr<VCOM::VComTcpClientSocket> m_pSocket;
    IVDProtocolConnectObserver* m_pObserver = nullptr;  // the owner's; outlives the unit
};

}  // namespace VDProtocol
