#pragma once
// Receiver of meter data packets on a UDP group: keeps the packets of one device and sender name
// and hands each meter block to its owner. The socket layer's task only notifies (through the
// owner's callback); the owner's thread calls initialize, finalize and receive.
#include <cstdint>
#include <memory>

#include "JMDP/jmdp_IClientMeterDataAccessor.h"
#include "JMDP/jmdp_IJMDPClientCallback.h"
#include "JMDP/jmdp_Packet.h"
#include "jlib/jlib_result.h"
#include "vsock/vsock_types.h"

namespace JMDP {

// Decodes one datagram as receive does: the packet header must be valid for productId and name,
// then every block is handed to the accessor (when there is one) until one without the following
// block flag. 0, or 0x80000000 at the first short or invalid header or block (the blocks before
// it have been handed over). Stateless; any task.
[[nodiscard]] JLIB::JResult decodeMeterDatagram(const uint8_t* data, uint32_t length, const SendProductId& productId,
                                                const char* name, IClientMeterDataAccessor* accessor);

class JMDPClient {
public:
    // The group text is read as IPv4 (a text that does not convert is not reported); port is
    // the UDP port the client binds.
    explicit JMDPClient(const char* groupAddress = kDefaultGroupAddress, uint16_t port = kDefaultPort);
    virtual ~JMDPClient();
    JMDPClient(const JMDPClient&) = delete;
    JMDPClient& operator=(const JMDPClient&) = delete;

    // Owner thread. Finalizes first when initialised, opens a UDP socket on localAddress (IPv4
    // text) and the port, and joins the group on the first interface carrying that address (no
    // such interface: no join, not reported). accessor and callback are the owner's and may be
    // null; name is not copied and must outlive the client's use. 0x80000000 for a null address
    // or name, an address that does not convert, or a socket that cannot be made.
    [[nodiscard]] JLIB::JResult initialize(IClientMeterDataAccessor* accessor, IJMDPClientCallback* callback,
                                           const char* localAddress, const SendProductId& productId,
                                           const char* name);
    // Owner thread. Forgets the callback, leaves the group, closes the socket. 0x80000000 before
    // any initialize; 0 otherwise, also when repeated.
    JLIB::JResult finalize();
    // Owner thread. Reads every queued datagram and hands its blocks to the accessor. 0 once the
    // queue is empty; 0x80000000 at the first bad datagram or block (the datagrams behind it
    // stay queued for the next call) or a socket failure. A datagram longer than a packet is
    // dropped with a log line and the next one read.
    [[nodiscard]] JLIB::JResult receive();
    // Owner thread; 0.
    JLIB::JResult setSendProductId(const SendProductId& productId);

    // Socket layer's task, from the client's socket callback.
    // 0.
    JLIB::JResult onSent(int32_t result);
    // Notifies the owner's callback, also when the socket layer's store was full (0xface0004) so
    // that the owner drains it. Any other failure: 0x80000000 and no notification.
    JLIB::JResult onReceived(int32_t result);

private:
    bool m_initialized = false;
    IClientMeterDataAccessor* m_pAccessor = nullptr;  // the owner's
    IJMDPClientCallback* m_pCallback = nullptr;       // the owner's; read on the socket task under the lock
    int32_t m_interfaceIndex = -1;
    netc_addr m_group = {};
    uint16_t m_port = 0;
    int32_t m_socketId = -1;
    bool m_portJustClosed = false;  // finalize closed a socket on the port
    SendProductId m_productId;
    const char* m_pName = nullptr;  // the owner's text
    std::unique_ptr<uint8_t[]> m_pReceiveBuffer;
    uint32_t m_receiveBufferSize = 0;
};

}  // namespace JMDP
