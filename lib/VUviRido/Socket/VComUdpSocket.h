#pragma once
// UDP socket: one datagram of at most 1472 bytes in flight, received datagrams queued by the
// socket layer. Owner task only, except the handlers.
#include "VUviRido/Socket/VComAbstractSocket.h"

namespace VCOM {

class VComUdpSocket : public VComAbstractSocket {
public:
    static constexpr uint32_t kSendBufferSize = 1472;

    VComUdpSocket();
    ~VComUdpSocket() override;

    // 0, 0x80000081 not idle, 0x80000083 map full, or the conversion of the socket layer's refusal.
    [[nodiscard]] JLIB::JResult listen(const VComSocketAddress& local, uint16_t port);
    // Destination of the following datagrams; 0x80000081 unless open.
    [[nodiscard]] JLIB::JResult sendTo(const VComSocketAddress& address, uint16_t port);
    // Source of the last datagram read (cleared by every receive).
    JLIB::JResult receiveFrom(VComSocketAddress& address, uint16_t& port);

    // One datagram: count = its length, 0 when none waits. A datagram longer than size is
    // discarded and answered once with 0x80000084, so it cannot block the datagrams behind it.
    [[nodiscard]] JLIB::JResult receive(void* buffer, uint32_t size, uint32_t& count) override;
    // 1 sending (onSent follows), 0x80000003 when one is still sending or longer than 1472 bytes.
    [[nodiscard]] JLIB::JResult send(const void* data, uint32_t length, uint32_t& count) override;
    JLIB::JResult disconnect() override { return kVComOk; }
    uint32_t getRemainSendBuff() override { return (m_sendBuffSize != 0 && !m_sendBusy) ? m_sendBuffSize : 0; }
    JLIB::JResult onDisconnected(int32_t) override { return kVComOk; }
    JLIB::JResult runCallbackSub(IVComCallback& callback, signed char sessionId,
                                 VComSocketCallbackParam& param) override;

private:
    // The current destination; false when the lock could not be taken.
    bool destination(netc_endpoint& to);
    // Hands the remembered datagram to the socket layer for the current destination.
    int32_t sendDatagram();
    // Writes it on the owner's thread without a report: the bytes, or a code (then sendDatagram).
    int32_t sendDatagramNow();
    // Reads and drops the datagram at the head of the queue.
    int32_t discardDatagram();

    VComSocketAddress m_sourceAddress;
    uint16_t m_sourcePort = 0;
    unsigned char* m_pSendBuff = nullptr;
    uint32_t m_sendBuffSize = 0;
    uint32_t m_sendLength = 0;
};

}  // namespace VCOM
