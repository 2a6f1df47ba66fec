#include "JMDP/jmdp_Server.h"

#include <atomic>
#include <mutex>

#include "JMDP/jmdp_IServerMeterDataAccessor.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap_semaphore.h"
#include "oswrap/oswrap_time.h"
#include "vsock/vsock.h"

namespace JMDP {

namespace {

constexpr int32_t kNoSocket = -1;
constexpr int32_t kNoTimeLimit = -1;
constexpr uint16_t kAnyLocalPort = 0;

// Lock "JMDPServer" over the map from socket id to server; 0 while none could be made.
std::atomic<uint16_t> gSemaphoreId{0};
std::mutex gSemaphoreCreation;

// Never destroyed: the socket task may still look a socket up while the process exits.
std::map<int32_t, JMDPServer*>& serverMap()
{
    static auto* map = new std::map<int32_t, JMDPServer*>();
    return *map;
}

uint16_t serverLock()
{
    const uint16_t existing = gSemaphoreId.load(std::memory_order_acquire);
    if (existing != 0) return existing;
    std::lock_guard<std::mutex> guard(gSemaphoreCreation);
    if (gSemaphoreId.load(std::memory_order_relaxed) == 0) {
        T_OSW_CSEM pk{nullptr, 0, 1, "JMDPServer"};
        uint16_t id = 0;
        if (JLIB::isSuccess(oswrap_AcreSem(&id, &pk))) gSemaphoreId.store(id, std::memory_order_release);
    }
    return gSemaphoreId.load(std::memory_order_acquire);
}

// Holds the map lock for a scope; the id was created, so wait and signal cannot fail.
class ServerMapLock {
public:
    explicit ServerMapLock(uint16_t id) : m_id(id) { (void)oswrap_WaiSem(m_id); }
    ~ServerMapLock() { (void)oswrap_SigSem(m_id); }
    ServerMapLock(const ServerMapLock&) = delete;
    ServerMapLock& operator=(const ServerMapLock&) = delete;

private:
    uint16_t m_id;
};

int32_t vsockCallback(int32_t sockId, netc_sock_cb_prm* prm)
{
    const uint16_t lockId = gSemaphoreId.load(std::memory_order_acquire);
    if (!prm || lockId == 0) return 0;  // without the lock no server was entered
    ServerMapLock lock(lockId);
    const auto it = serverMap().find(sockId);
    if (it == serverMap().end()) return 0;
    if (prm->type == NETC_SOCK_EV_UDP_SENT) {
        (void)it->second->onSent(prm->result);  // the accessor has been told
    } else if (prm->type == NETC_SOCK_EV_UDP_RECEIVED) {
        (void)it->second->onReceived(prm->result);  // always 0
    }
    return 0;
}

uint32_t nextIndex(uint32_t index) { return (index + 1) % JMDPServer::kBufferCount; }

}  // namespace

JMDPServer::JMDPServer()
{
    (void)serverLock();  // made again by initialize when this fails
    (void)serverMap();   // built before any server, so it outlives them all
}

JMDPServer::~JMDPServer() { (void)finalize(); }  // nothing to report from a destructor

JLIB::JResult JMDPServer::initialize(IServerMeterDataAccessor* accessor, const char* localAddress,
                                     const SendProductId& productId, const char* name, const char* destination,
                                     uint16_t destinationPort, uint32_t lifetimeSeconds)
{
    if (!localAddress || !name || lifetimeSeconds == 0) return JLIB::kFailed;
    if (m_initialized) (void)finalize();  // answers 0 once initialised
    m_pAccessor = accessor;
    // Packets first: a server whose packets cannot be made would answer success and never send.
    for (MeterBuffer& buffer : m_buffers) {
        if (JLIB::isFailure(buffer.initialize(productId, name, kPacketMax))) {
            JLIB_LOG("[E] JMDPServer::initialize - no packet for the name \"%s\"\n", name);
            return JLIB::kFailed;
        }
    }
    netc_addr local = {};
    if (vsock_pton(NETC_AF_INET, localAddress, &local) < 0) return JLIB::kFailed;
    const uint16_t lockId = serverLock();
    if (lockId == 0) {
        JLIB_LOG("[E] JMDPServer::initialize - no lock for the server map\n");
        return JLIB::kFailed;
    }
    const netc_sock_create_prm create = {NETC_SOCK_UDP, kAnyLocalPort, local, 0};
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, &vsockCallback};
    const int32_t socketId = vsock_createSock(&create, &option);
    if (socketId < 0) {
        JLIB_LOG("[E] JMDPServer::initialize - no UDP socket on %s (0x%08x)\n", localAddress,
                 static_cast<unsigned>(socketId));
        return JLIB::kFailed;
    }
    m_socketId = socketId;
    {
        ServerMapLock lock(lockId);
        serverMap()[socketId] = this;
    }
    // A destination that does not convert is not refused: the packets then fail to leave and the
    // accessor hears of each. An earlier destination is not kept for it.
    m_destination.addr = netc_addr{};
    if (!destination || vsock_pton(NETC_AF_INET, destination, &m_destination.addr) < 0) {
        JLIB_LOG("[W] JMDPServer::initialize - destination \"%s\" is no IPv4 address\n", destination ? destination : "");
    }
    m_destination.port = destinationPort;
    m_lifetime = lifetimeSeconds < kNoExpirySeconds ? lifetimeSeconds * 1000u : kNoExpiry;
    m_initialized = true;
    m_sendBlocked = false;
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::finalize()
{
    if (!m_initialized) return JLIB::kFailed;
    (void)vsock_deleteSock(m_socketId);  // an invalid id is refused and leaves nothing to undo
    if (m_socketId != kNoSocket) {
        const uint16_t lockId = gSemaphoreId.load(std::memory_order_acquire);
        if (lockId != 0) {
            ServerMapLock lock(lockId);
            // The id may already belong to another server's new socket.
            const auto it = serverMap().find(m_socketId);
            if (it != serverMap().end() && it->second == this) serverMap().erase(it);
        }
        m_sendBlocked = true;
        m_writeIndex = 0;
        m_sendIndex = 0;
        m_socketId = kNoSocket;
    }
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::startMeter(MeterId meterId, uint32_t intervalMs, uint32_t startPos, uint32_t dataNum)
{
    if (!m_initialized) return JLIB::kFailed;
    MeterInfo meter;
    meter.meterId = meterId;
    meter.startPos = startPos;
    meter.dataNum = dataNum;
    meter.startTime = currentTime();
    meter.lastCollectTime = 0;
    meter.interval = intervalMs;
    meter.active = true;
    m_meters[meterId] = meter;
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::stopMeter(MeterId meterId)
{
    if (!m_initialized) return JLIB::kFailed;
    const auto it = m_meters.find(meterId);
    if (it != m_meters.end()) it->second = MeterInfo();
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::stopMeter()
{
    if (!m_initialized) return JLIB::kFailed;
    for (auto& entry : m_meters) entry.second = MeterInfo();
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::run(uint32_t flags)
{
    if (!m_initialized) return JLIB::kFailed;
    const uint32_t now = currentTime();
    if ((flags & kRunReleaseSent) != 0) {
        m_sendBlocked = false;
        MeterBuffer& sent = m_buffers[m_sendIndex];
        if (sent.status() == MeterBuffer::kSending) {
            (void)sent.clearAllBlocks(true);  // always 0
            m_sendIndex = nextIndex(m_sendIndex);
        }
    }
    if ((flags & kRunCollect) != 0) collect(now);
    (void)sendMeter(now);  // a failed send has told the accessor; the meters come again
    return JLIB::kOk;
}

void JMDPServer::collect(uint32_t now)
{
    for (auto& entry : m_meters) {
        MeterInfo& meter = entry.second;
        if (!meter.active) continue;
        // Unsigned differences stay right across the counter's wrap.
        if (now - meter.startTime > m_lifetime) {
            meter = MeterInfo();
            continue;
        }
        if (now - meter.lastCollectTime < meter.interval && !meter.retry) continue;
        meter.retry = false;
        const JLIB::JResult result = addMeter(meter);
        if (JLIB::isSuccess(result)) {
            meter.lastCollectTime = now;
            continue;
        }
        meter.retry = true;
        if (result == kMeterBufferFull) (void)incWritePointer(true);  // refused: the ring is full, retried later
    }
    if (m_buffers[m_writeIndex].blockNum() != 0) (void)incWritePointer(false);  // cannot fail without the test
}

JLIB::JResult JMDPServer::addMeter(MeterInfo& meter)
{
    if (meter.dataNum == 0) return JLIB::kFailed;
    MeterBuffer& buffer = m_buffers[m_writeIndex];
    if (buffer.status() == MeterBuffer::kSending) return kMeterBufferBusy;
    if (!m_pAccessor || JLIB::isFailure(m_pAccessor->fillMeterBuffer(buffer, meter, meter.startPos, meter.dataNum))) {
        return kMeterFillFailed;
    }
    if (!buffer.isAddBlockFailed()) return JLIB::kOk;
    return buffer.blockNum() != 0 ? kMeterBufferFull : kMeterTooLarge;
}

JLIB::JResult JMDPServer::incWritePointer(bool fullTest)
{
    const uint32_t next = nextIndex(m_writeIndex);
    if (fullTest && next == m_sendIndex) return kMeterBufferBusy;
    m_writeIndex = next;
    return JLIB::kOk;
}

JLIB::JResult JMDPServer::sendMeter(uint32_t now)
{
    if (m_sendBlocked) return kSendBlocked;
    MeterBuffer& buffer = m_buffers[m_sendIndex];
    if (buffer.blockNum() == 0) return JLIB::kOk;
    (void)buffer.setStatus(MeterBuffer::kSending);  // a valid status
    (void)buffer.setCurrentTime(now);               // the buffer holds blocks, so it exists
    const int32_t result = vsock_sendUdp(m_socketId, buffer.buffPointer(), static_cast<int32_t>(buffer.size()),
                                         &m_destination, kNoTimeLimit);
    if (result >= 0) {
        (void)onSent(result);
        return JLIB::kOk;
    }
    if (result == VSOCK_E_WBLK) {
        // The socket task reads the packet until its completion report.
        m_sendBlocked = true;
        return JLIB::kOk;
    }
    (void)buffer.clearAllBlocks(true);  // always 0
    (void)onSent(result);
    return JLIB::kFailed;
}

JLIB::JResult JMDPServer::onSent(int32_t result)
{
    if (m_pAccessor) (void)m_pAccessor->meterSent(0);  // its answer is not used
    return result < 0 ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult JMDPServer::onReceived(int32_t) { return JLIB::kOk; }

uint32_t JMDPServer::currentTime() const { return get1msCount(); }

const JMDPServer::MeterInfo* JMDPServer::findMeter(MeterId meterId) const
{
    const auto it = m_meters.find(meterId);
    return it == m_meters.end() ? nullptr : &it->second;
}

}  // namespace JMDP
