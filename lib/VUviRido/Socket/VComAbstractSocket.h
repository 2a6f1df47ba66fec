#pragma once
// Common state and event handling of the socket objects. The on... handlers run on the socket task
// (through the socket map) and only record the event under "SEM_SOCK" and wake the owner; every
// other operation is "owner task only".
#include <cstdint>

#include "VUviRido/Socket/IVCom.h"
#include "VUviRido/Socket/VComByteStream.h"
#include "VUviRido/Socket/VComPlatform.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "vsock/vsock_types.h"

namespace VCOM {

class VComAbstractSocket : public IVCom {
public:
    // Operation kinds of errorOccurred.
    enum SockErrType : int32_t {
        kErrCreate = 0,
        kErrClose = 1,
        kErrAccept = 2,
        kErrConnect = 3,
        kErrTcpReceive = 4,
        kErrSend = 5,
        kErrUdpReceive = 6,
    };

    // Socket types (getSocketType).
    static constexpr int32_t kTypeNone = 0;
    static constexpr int32_t kTypeTcpClient = 1;
    static constexpr int32_t kTypeServerOrUdp = 2;
    static constexpr int32_t kTypeSession = 3;

    // Status words (getSocketStatus).
    static constexpr int32_t kStatusIdle = 0;
    static constexpr int32_t kStatusConnecting = 1;
    static constexpr int32_t kStatusAccepting = 3;
    static constexpr int32_t kStatusOpen = 4;

    // Event flags of the record.
    static constexpr uint32_t kFlagConnected = 1;
    static constexpr uint32_t kFlagConnectionFailed = 2;
    static constexpr uint32_t kFlagDisconnect = 4;
    static constexpr uint32_t kFlagAccepted = 8;
    static constexpr uint32_t kFlagReceive = 16;
    static constexpr uint32_t kFlagSend = 32;
    static constexpr uint32_t kFlagDataWaiting = 64;
    // Blocks the owner wrote itself: their onSent comes with the next delivery.
    static constexpr uint32_t kFlagSentAtOnce = 128;

    // Events recorded by the socket task since the last runCallback; reports of one kind merge
    // into one flag with the latest result.
    struct VComSocketCallbackParam {
        uint32_t flags;
        int32_t connectionError;
        netc_endpoint acceptedPeer;
        int32_t acceptedSocket;
        int32_t receiveResult;
        int32_t sendResult;

        void initialize();
        void set(uint32_t bits) { flags |= bits; }
        bool checkFlag(uint32_t bit) const { return (flags & bit) != 0; }
    };

    VComAbstractSocket();
    ~VComAbstractSocket() override;
    VComAbstractSocket(const VComAbstractSocket&) = delete;
    VComAbstractSocket& operator=(const VComAbstractSocket&) = delete;

    JLIB::JResult start(uint32_t userId, IVComWakeupFunction& wakeup) override;
    JLIB::JResult stop() override;
    uint32_t getUserId() const override { return m_userId; }
    uint32_t numOfConnection() override { return m_status == kStatusOpen ? 1 : 0; }
    uint32_t capacityOfConnection() override { return 1; }
    IVCom* getSession(signed char sessionId) override;
    uint32_t getRemainSendBuff() override { return m_sendStream.getRemainSize(); }
    bool isConnected() override { return m_status == kStatusOpen; }
    JLIB::JResult disconnect() override;
    // 0x80000081 when the object is not in the socket map (nothing delivered).
    JLIB::JResult runCallback(IVComCallback& callback) override;

    // Socket task handlers (also called by the owner to record its own reports).
    virtual JLIB::JResult onConnected(int32_t result);
    virtual JLIB::JResult onDisconnected(int32_t result);
    virtual JLIB::JResult onAccepted(int32_t result, int32_t socketId);
    virtual JLIB::JResult onReceived(int32_t result);
    virtual JLIB::JResult onSent(int32_t result);
    // Delivers one copied record on the owner's thread.
    virtual JLIB::JResult runCallbackSub(IVComCallback& callback, signed char sessionId,
                                         VComSocketCallbackParam& param) = 0;

    int32_t getSocketId() const { return m_socketId; }
    int32_t getSocketType() const { return m_socketType; }
    int32_t getSocketStatus() const { return m_status; }
    // Peer address and port; 0x80000081 unless open.
    [[nodiscard]] JLIB::JResult getDestination(VComSocketAddress& address, uint16_t& port);
    // Closes the socket layer socket, leaves the map and resets; 0 or the close's failure.
    JLIB::JResult runDisconnect();
    // Back to idle without socket or map slot; user id and wake-up target stay.
    void reset();
    // Wakes the owner; 0x80000081 without a target.
    JLIB::JResult notify();
    // The event function every object hands to the socket layer.
    static netc_sock_callback getVSockCallback();
    // Socket layer code to VCOM code for one kind of operation.
    static JLIB::JResult errorOccurred(int32_t code, SockErrType kind);
    // "SEM_SOCK", shared by all objects; 0 when it could not be made.
    static uint16_t semaphoreId();
    // Whether this runCallback runs inside another object's callback on the same thread.
    static bool deliveringNested();

protected:
    // Records bits (after fill changed the record) under "SEM_SOCK" and wakes the owner.
    template <typename Fill>
    JLIB::JResult recordEvent(uint32_t bits, Fill fill);
    JLIB::JResult recordEvent(uint32_t bits)
    {
        return recordEvent(bits, [](VComSocketCallbackParam&) {});
    }
    // Copies and clears the record; false when the lock could not be taken.
    bool takeRecord(VComSocketCallbackParam& copy);
    // Stores id and type, enters the map and opens the object: 0, or 0x80000083 (socket closed
    // again) when the map is full.
    JLIB::JResult registerSocket(int32_t socketId, int32_t type, int32_t status);
    // The object named to the wake-up target: the object itself, a session its server, so that
    // a target that knows only the objects it started (a collection) finds the one to deliver.
    void setWakeupSubject(IVCom& subject) { m_pWakeupSubject = &subject; }
    void setPeer(const netc_addr& address, uint16_t port);
    void forgetOwner();

    uint32_t m_userId = 0;
    IVComWakeupFunction* m_pWakeup = nullptr;  // the owner's; kept alive by the owner while started
    uint16_t m_ownerTaskId = 0;
    int32_t m_mapSlot = -1;
    int32_t m_socketId = -1;
    int32_t m_socketType = kTypeNone;
    int32_t m_status = kStatusIdle;
    VComByteStream m_receiveStream;
    VComByteStream m_sendStream;
    int32_t m_pendingReceive = 0;
    bool m_sendBusy = false;
    uint32_t m_blocksSentAtOnce = 0;  // TCP: written on the owner's thread, their onSent still to come
    VComSocketCallbackParam m_callbackParam{};
    VComSocketAddress m_peerAddress;
    uint16_t m_peerPort = 0;

private:
    IVCom* m_pWakeupSubject = this;  // this object or its server, which outlives its sessions
};

template <typename Fill>
JLIB::JResult VComAbstractSocket::recordEvent(uint32_t bits, Fill fill)
{
    {
        VComSemLock lock(semaphoreId());
        if (!lock.ok()) return kVComFailed;
        fill(m_callbackParam);
        m_callbackParam.set(bits);
    }
    // Woken after the record's lock is let go: the owner's first step is to take that lock, and a
    // woken owner that finds it still held would go back to sleep on it.
    return notify();
}

}  // namespace VCOM
