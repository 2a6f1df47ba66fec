#include "JMDP/jmdp_Client.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_semaphore.h"
#include "oswrap/oswrap_time.h"
#include "vsock/vsock.h"

namespace JMDP {

namespace {

constexpr int32_t kNoSocket = -1;
constexpr int32_t kNoInterface = -1;
constexpr int32_t kInterfaceAddressMax = 20;
constexpr int32_t kNoTimeLimit = -1;
// The longest datagram the socket layer queues: enough to take an over-long one off the queue.
constexpr int32_t kLongestQueuedDatagram = 2048;
// The socket layer's task holds a closed socket, and with it the port, until its poll returns:
// a client opened again at once on its own port would find it taken for a moment.
constexpr uint32_t kReopenWaitMs = 200;

// Lock "JMDPClient" over the map from socket id to client; 0 while none could be made.
std::atomic<uint16_t> gSemaphoreId{0};
std::mutex gSemaphoreCreation;

// Never destroyed: the socket task may still look a socket up while the process exits.
std::map<int32_t, JMDPClient*>& clientMap()
{
    static auto* map = new std::map<int32_t, JMDPClient*>();
    return *map;
}

uint16_t clientLock()
{
    const uint16_t existing = gSemaphoreId.load(std::memory_order_acquire);
    if (existing != 0) return existing;
    std::lock_guard<std::mutex> guard(gSemaphoreCreation);
    if (gSemaphoreId.load(std::memory_order_relaxed) == 0) {
        T_OSW_CSEM pk{nullptr, 0, 1, "JMDPClient"};
        uint16_t id = 0;
        if (JLIB::isSuccess(oswrap_AcreSem(&id, &pk))) gSemaphoreId.store(id, std::memory_order_release);
    }
    return gSemaphoreId.load(std::memory_order_acquire);
}

// Holds the map lock for a scope; the id was created, so wait and signal cannot fail.
class ClientMapLock {
public:
    explicit ClientMapLock(uint16_t id) : m_id(id) { (void)oswrap_WaiSem(m_id); }
    ~ClientMapLock() { (void)oswrap_SigSem(m_id); }
    ClientMapLock(const ClientMapLock&) = delete;
    ClientMapLock& operator=(const ClientMapLock&) = delete;

private:
    uint16_t m_id;
};

int32_t vsockCallback(int32_t sockId, netc_sock_cb_prm* prm)
{
    const uint16_t lockId = gSemaphoreId.load(std::memory_order_acquire);
    if (!prm || lockId == 0) return 0;  // without the lock no client was entered
    ClientMapLock lock(lockId);
    const auto it = clientMap().find(sockId);
    if (it == clientMap().end()) return 0;
    if (prm->type == NETC_SOCK_EV_UDP_SENT) {
        (void)it->second->onSent(prm->result);
    } else if (prm->type == NETC_SOCK_EV_UDP_RECEIVED) {
        (void)it->second->onReceived(prm->result);  // failures are the client's to report
    }
    return 0;
}

// Number of the first interface holding the IPv4 address, or kNoInterface.
int32_t interfaceCarrying(const netc_addr& local)
{
    for (int32_t ifNo = 0;; ++ifNo) {
        netc_if_addr addresses[kInterfaceAddressMax] = {};
        const int32_t count = vsock_getLocalAddr(ifNo, NETC_AF_INET, addresses, kInterfaceAddressMax);
        if (count < 0) return kNoInterface;
        for (int32_t i = 0; i < count; ++i) {
            if (addresses[i].addr.family == local.family && std::memcmp(addresses[i].addr.addr, local.addr, 4) == 0) {
                return ifNo;
            }
        }
    }
}

int32_t createSocket(const netc_sock_create_prm& create, const netc_sock_option& option, bool portJustClosed)
{
    int32_t socketId = vsock_createSock(&create, &option);
    for (uint32_t waited = 0; portJustClosed && socketId == VSOCK_E_OBJ && waited < kReopenWaitMs; ++waited) {
        (void)oswrap_WaiTsk(1);  // always 0
        socketId = vsock_createSock(&create, &option);
    }
    return socketId;
}

}  // namespace

JLIB::JResult decodeMeterDatagram(const uint8_t* data, uint32_t length, const SendProductId& productId,
                                  const char* name, IClientMeterDataAccessor* accessor)
{
    MeterPacketHeader packetHeader;
    uint32_t offset = 0;
    JLIB_RETURN_IF_FAILED(packetHeader.setBinary(data, length, offset));
    if (!packetHeader.isValid(productId, name)) return JLIB::kFailed;
    MeterDataBlockHeaderEx block;
    for (;;) {
        uint32_t used = 0;
        JLIB_RETURN_IF_FAILED(block.setBinaryEx(data + offset, length - offset, used));
        offset += used;
        const MeterFormat format = block.getDataFormat();
        if (format == kInvalidMeterFormat) return JLIB::kFailed;
        const uint32_t size = block.getDataNum() * MeterDataBlockHeader::getDataSize(format);
        if (length - offset < size) return JLIB::kFailed;
        if (accessor) (void)accessor->decodeMeterPacket(block, data + offset, size);  // the owner's business
        offset += size;
        if (!block.hasNextBlock()) return JLIB::kOk;
    }
}

JMDPClient::JMDPClient(const char* groupAddress, uint16_t port) : m_port(port)
{
    (void)clientLock();  // made again by initialize when this fails
    (void)clientMap();   // built before any client, so it outlives them all
    if (!groupAddress || vsock_pton(NETC_AF_INET, groupAddress, &m_group) < 0) {
        // Not refused: without a group the client still receives what is sent to it directly.
        JLIB_LOG("[W] JMDPClient::JMDPClient - group \"%s\" is no IPv4 address\n", groupAddress ? groupAddress : "");
    }
    m_pReceiveBuffer.reset(new (std::nothrow) uint8_t[kPacketMax]);
    m_receiveBufferSize = m_pReceiveBuffer ? kPacketMax : 0;
}

JMDPClient::~JMDPClient() { (void)finalize(); }  // nothing to report from a destructor

JLIB::JResult JMDPClient::initialize(IClientMeterDataAccessor* accessor, IJMDPClientCallback* callback,
                                     const char* localAddress, const SendProductId& productId, const char* name)
{
    if (!localAddress || !name) return JLIB::kFailed;
    if (m_initialized) (void)finalize();  // answers 0 once initialised
    // Out of the map now, so the socket task does not read these.
    m_pAccessor = accessor;
    m_pCallback = callback;
    netc_addr local = {};
    if (vsock_pton(NETC_AF_INET, localAddress, &local) < 0) return JLIB::kFailed;
    const uint16_t lockId = clientLock();
    if (lockId == 0) {
        JLIB_LOG("[E] JMDPClient::initialize - no lock for the client map\n");
        return JLIB::kFailed;
    }
    const netc_sock_create_prm create = {NETC_SOCK_UDP, m_port, local, 0};
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, &vsockCallback};
    const int32_t socketId = createSocket(create, option, m_portJustClosed);
    m_portJustClosed = false;
    if (socketId < 0) {
        JLIB_LOG("[E] JMDPClient::initialize - no UDP socket on %s port %u (0x%08x)\n", localAddress,
                 static_cast<unsigned>(m_port), static_cast<unsigned>(socketId));
        return JLIB::kFailed;
    }
    m_socketId = socketId;
    m_interfaceIndex = interfaceCarrying(local);
    if (m_interfaceIndex != kNoInterface) {
        (void)vsock_addMulticastAddr(m_interfaceIndex, &m_group);  // without the group, unicast still arrives
    }
    {
        ClientMapLock lock(lockId);
        clientMap()[socketId] = this;
    }
    m_productId = productId;
    m_pName = name;
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult JMDPClient::finalize()
{
    if (!m_initialized) return JLIB::kFailed;
    const uint16_t lockId = gSemaphoreId.load(std::memory_order_acquire);
    if (lockId != 0) {
        ClientMapLock lock(lockId);  // the socket task reads the callback under it
        m_pCallback = nullptr;
    } else {
        m_pCallback = nullptr;  // no lock was ever made, so the client was never in the map
    }
    (void)vsock_delMulticastAddr(m_interfaceIndex, &m_group);  // leaving is best effort; -1 is refused
    m_interfaceIndex = kNoInterface;
    (void)vsock_deleteSock(m_socketId);  // an invalid id is refused and leaves nothing to undo
    if (m_socketId != kNoSocket) {
        if (lockId != 0) {
            ClientMapLock lock(lockId);
            // The id may already belong to another client's new socket.
            const auto it = clientMap().find(m_socketId);
            if (it != clientMap().end() && it->second == this) clientMap().erase(it);
        }
        m_socketId = kNoSocket;
        m_portJustClosed = true;
    }
    return JLIB::kOk;
}

JLIB::JResult JMDPClient::receive()
{
    if (!m_pReceiveBuffer) return JLIB::kFailed;
    uint8_t* buffer = m_pReceiveBuffer.get();
    for (;;) {
        const int32_t length =
            vsock_recvUdp(m_socketId, buffer, static_cast<int32_t>(m_receiveBufferSize), nullptr, kNoTimeLimit);
        if (length == VSOCK_E_NODATA || length == 0) return JLIB::kOk;
        if (length == VSOCK_E_BUFSZ) {
            // Left queued it would stand before every later datagram for good.
            uint8_t scratch[kLongestQueuedDatagram];
            const int32_t dropped = vsock_recvUdp(m_socketId, scratch, kLongestQueuedDatagram, nullptr, kNoTimeLimit);
            JLIB_LOG("[W] JMDPClient::receive - datagram longer than %u bytes discarded (%d)\n",
                     static_cast<unsigned>(m_receiveBufferSize), static_cast<int>(dropped));
            if (dropped < 0) return JLIB::kFailed;
            continue;
        }
        if (length < 0) return JLIB::kFailed;
        JLIB_RETURN_IF_FAILED(
            decodeMeterDatagram(buffer, static_cast<uint32_t>(length), m_productId, m_pName, m_pAccessor));
    }
}

JLIB::JResult JMDPClient::setSendProductId(const SendProductId& productId)
{
    m_productId = productId;
    return JLIB::kOk;
}

JLIB::JResult JMDPClient::onSent(int32_t) { return JLIB::kOk; }

JLIB::JResult JMDPClient::onReceived(int32_t result)
{
    if (result < 0 && result != VSOCK_E_RES) return JLIB::kFailed;
    if (m_pCallback) (void)m_pCallback->onReceivedMeterPacket(*this);  // the owner's answer changes nothing here
    return JLIB::kOk;
}

}  // namespace JMDP
