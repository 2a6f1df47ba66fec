#include "dbgc/dbgc_LowIOEtherServer.h"

#include <new>

#include "VUviRido/Socket/VComSocketAddress.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "oswrap/oswrap_time.h"

namespace DBGC {

namespace {

constexpr uint32_t kCapacity = 1;  // one user at a time
constexpr uint32_t kUserId = 0;
constexpr signed char kSession = 1;

}  // namespace

LowIOEtherServer::LowIOEtherServer(uint16_t port) : m_lock("LowIOEtherServer"), m_port(port) {}

LowIOEtherServer::~LowIOEtherServer() { (void)finalize(); }  // always 0

JLIB::JResult LowIOEtherServer::initialize(IDebugConsoleLowIOCallback& callback)
{
    (void)finalize();  // always 0
    // Stored before the socket exists: a user connecting at once must not find nobody to wake.
    m_pCallback.store(&callback);
    TMS::TMSMutexAutoReleaser hold(m_lock);
    m_pServer.reset(new (std::nothrow) VCOM::VComTcpServerSocket(kCapacity));
    if (!m_pServer) return JLIB::kFailed;
    const JLIB::JResult started = m_pServer->start(kUserId, *this);
    VCOM::VComSocketAddress any;
    const JLIB::JResult address = any.set(NETC_AF_INET, "0.0.0.0");
    const JLIB::JResult listening = JLIB::isFailure(started) || JLIB::isFailure(address)
                                        ? JLIB::kFailed
                                        : m_pServer->listen(any, m_port);
    return JLIB::isFailure(listening) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::finalize()
{
    if (!m_lock.isValid()) return JLIB::kOk;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    m_pServer.reset();
    m_events = Events{};
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::pollChar() { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::receive(void* buffer, uint32_t size, uint32_t* received)
{
    uint32_t count = 0;
    if (received) *received = 0;
    if (!buffer || size == 0) return JLIB::kFailed;
    TMS::TMSMutexAutoReleaser hold(m_lock);
    if (!m_pServer) return JLIB::kFailed;
    VCOM::IVCom* connection = m_pServer->getSession(kSession);
    if (!connection) return JLIB::kFailed;
    // 2 (more bytes wait) is a success: the socket raises its event again for the rest.
    if (JLIB::isFailure(connection->receive(buffer, size, count))) return JLIB::kFailed;
    if (received) *received = count;
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::send(const void* data, uint32_t size, uint32_t* sent)
{
    if (sent) *sent = 0;
    if (!data || size == 0) return JLIB::kFailed;
    for (uint32_t attempt = 0; attempt < kSendAttempts; ++attempt) {
        {
            // Held per attempt, not across the yields: only the owner's runCallback moves the send
            // buffer on, and it needs this lock to do so.
            TMS::TMSMutexAutoReleaser hold(m_lock);
            if (!m_pServer) return JLIB::kFailed;
            VCOM::IVCom* connection = m_pServer->getSession(kSession);
            if (!connection) return JLIB::kFailed;
            if (connection->getRemainSendBuff() >= size) {
                uint32_t count = 0;
                const JLIB::JResult result = connection->send(data, size, count);
                if (sent) *sent = count;
                if (JLIB::isSuccess(result)) return JLIB::kOk;
                if (result != kSendBusy) return result;
            }
        }
        (void)oswrap_WaiTsk(0);  // a yield; it cannot fail
    }
    return JLIB::kFailed;
}

JLIB::JResult LowIOEtherServer::flush() { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::runCallback()
{
    Events events;
    {
        TMS::TMSMutexAutoReleaser hold(m_lock);
        if (!m_pServer) return JLIB::kOk;
        m_events = Events{};
        (void)m_pServer->runCallback(*this);  // a failed delivery is the socket's own business
        events = m_events;
        m_events = Events{};
    }
    IDebugConsoleLowIOCallback* callback = m_pCallback.load();
    if (!callback) return JLIB::kOk;
    // The banner comes before any bytes the new user typed at once.
    if (events.accepted) (void)callback->onLowIOPrepared(*this);  // the shell reports nothing
    if (events.received) (void)callback->onLowIOReceived(*this);  // likewise
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::wakeup(uint16_t, VCOM::IVCom&)
{
    // The socket layer holds its own locks here: taking this transport's lock could deadlock with
    // a sender that holds it and waits for the socket layer.
    IDebugConsoleLowIOCallback* callback = m_pCallback.load();
    if (callback) (void)callback->onLowIOWakeup(*this);  // only posts to the owner
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::onConnected(uint32_t, signed char) { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::onDisconnected(uint32_t, signed char) { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::onAccepted(uint32_t, signed char, signed char)
{
    m_events.accepted = true;
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::onReceived(uint32_t, signed char)
{
    m_events.received = true;
    return JLIB::kOk;
}

JLIB::JResult LowIOEtherServer::onSent(uint32_t, signed char) { return JLIB::kOk; }

JLIB::JResult LowIOEtherServer::onCommunicationFailed(uint32_t, signed char, VCOM::CommError) { return JLIB::kOk; }

}  // namespace DBGC
