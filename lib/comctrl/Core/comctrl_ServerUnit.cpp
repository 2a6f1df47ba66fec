#include "comctrl_ServerUnit.h"

#include <new>

#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "comctrl_ESP.h"
#include "comctrl_IUnitConnectObserver.h"
#include "dbgc/dbgc_stdapi.h"

namespace ComControl {

ServerUnit::ServerUnit() = default;

ServerUnit::~ServerUnit()
{
    // stop closes the connection at once; a recorded disconnect would only wake the owner for a
    // unit that is gone.
    if (m_pSocket) (void)m_pSocket->stop();  // always 0
}

JLIB::JResult ServerUnit::initialize(int32_t, uint32_t, uint32_t, uint32_t, uint32_t, IUnitConnectObserver*, uint32_t)
{
    return kBadArgument;
}

JLIB::JResult ServerUnit::initialize(int32_t unitId, uint32_t eventCount, uint32_t syncCount, uint32_t fileCount,
                                     uint32_t directoryCount, const VCOM::VComSocketAddress& local,
                                     VCOM::IVComWakeupFunction& wakeup, IUnitConnectObserver* observer,
                                     uint32_t bufferSize)
{
    // A second initialize gets 0x80000003 here, where AbstractUnit's own answers 1.
    if (isInitialized()) return kNotInitialized;
    if (unitId < 0) return kBadArgument;  // before a socket exists that would have to be undone
    std::unique_ptr<VCOM::VComTcpClientSocket> socket(new (std::nothrow) VCOM::VComTcpClientSocket());
    if (!socket) return kNoMemory;
    (void)socket->start(makeClientUserId(unitId), wakeup);  // always 0 for an idle object
    const JLIB::JResult r =
        AbstractUnit::initialize(unitId, eventCount, syncCount, fileCount, directoryCount, observer, bufferSize);
    if (JLIB::isFailure(r)) {
        (void)socket->stop();  // always 0
        return r;
    }
    if (m_pSocket) (void)m_pSocket->stop();  // a socket of an earlier failed attempt; always 0
    m_pSocket = std::move(socket);
    m_localAddress = local;
    return r;
}

JLIB::JResult ServerUnit::connect(const VCOM::VComSocketAddress& peer, uint16_t port)
{
    if (!isInitialized()) return kNotInitialized;
    setDestination(peer);
    return fromVComErr(m_pSocket->connect(m_localAddress, peer, port));
}

JLIB::JResult ServerUnit::disconnect()
{
    if (!isInitialized()) return kNotInitialized;
    const JLIB::JResult r = m_pSocket->disconnect();
    clearDestination();
    return fromVComErr(r);
}

bool ServerUnit::isConnected() const { return isInitialized() && m_pSocket->isConnected(); }

JLIB::JResult ServerUnit::runCallback()
{
    if (!isInitialized()) return kNotInitialized;
    return fromVComErr(m_pSocket->runCallback(*this));
}

JLIB::JResult ServerUnit::onConnected(uint32_t, signed char)
{
    (void)dbgPrintf("ServerUnit::onConnected unitId = %d\n", static_cast<int>(unitId()));  // a trace only
    if (!isInitialized()) return kNotInitialized;
    (void)multiplexer()->setCorePort(m_pSocket.get());  // always 0
    JLIB_RETURN_IF_FAILED(connectedAction());
    clearTimes();
    if (connectObserver()) connectObserver()->connected(unitId());
    return JLIB::kOk;
}

JLIB::JResult ServerUnit::failed(uint32_t userId, signed char sessionId)
{
    if (!isInitialized()) return kNotInitialized;
    if (connectObserver()) connectObserver()->connectFailed(unitId());
    return onDisconnected(userId, sessionId);
}

JLIB::JResult ServerUnit::onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error)
{
    (void)dbgPrintf("ServerUnit::onConnectionFailed unitId = %d, err = 0x%x\n", static_cast<int>(unitId()),
                    static_cast<unsigned>(error));
    return failed(userId, sessionId);
}

JLIB::JResult ServerUnit::onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error)
{
    (void)dbgPrintf("ServerUnit::onCommunicationFailed unitId = %d, err = 0x%x\n", static_cast<int>(unitId()),
                    static_cast<unsigned>(error));
    return failed(userId, sessionId);
}

JLIB::JResult ServerUnit::onDisconnected(uint32_t, signed char)
{
    (void)dbgPrintf("ServerUnit::onDisconnected unitId = %d\n", static_cast<int>(unitId()));
    if (!isInitialized()) return kNotInitialized;
    JLIB_RETURN_IF_FAILED(disconnectedAction());
    clearTimes();
    if (connectObserver()) connectObserver()->disconnected(unitId());
    return JLIB::kOk;
}

JLIB::JResult ServerUnit::onAccepted(uint32_t, signed char, signed char) { return JLIB::kOk; }

JLIB::JResult ServerUnit::onReceived(uint32_t, signed char)
{
    if (!isInitialized()) return kNotInitialized;
    markReceived();
    return multiplexer()->onReceived();
}

JLIB::JResult ServerUnit::onSent(uint32_t, signed char)
{
    if (!isInitialized()) return kNotInitialized;
    markSent();
    return multiplexer()->onSent();
}

}  // namespace ComControl
