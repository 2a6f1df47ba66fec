#include "comctrl_ServerService.h"

#include <new>

#include "VUviRido/Socket/VComSocketAddress.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "comctrl_ClientUnit.h"
#include "dbgc/dbgc_stdapi.h"

namespace ComControl {

namespace {

uint16_t portIdOf(uint32_t userId) { return static_cast<uint16_t>(userId & 0xFFFFu); }

}  // namespace

ServerService::ServerService() = default;

ServerService::~ServerService()
{
    if (!m_initialized) return;
    (void)disconnect();  // the sockets close below whatever it answered
    // The sessions die with the socket before they could report their end: free the units now,
    // so that none keeps a session object that is gone.
    for (uint32_t i = 0; i < m_unitCount; ++i) {
        // Detaching from the multiplexer cannot fail here.
        if (m_pUnits[i] && m_pUnits[i]->isValidSession()) (void)m_pUnits[i]->socketDisconnected(0);
    }
    (void)m_pSocket->stop();  // always 0: closes the sessions and the listener at once
}

JLIB::JResult ServerService::initialize(uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup)
{
    if (m_initialized) return kAlreadyInitialized;
    if (unitCount == 0 || unitCount > kMaxUnits) return kBadArgument;
    std::unique_ptr<VCOM::VComTcpServerSocket> socket(new (std::nothrow) VCOM::VComTcpServerSocket(unitCount));
    std::unique_ptr<ClientUnit*[]> units(new (std::nothrow) ClientUnit*[unitCount]());
    // A server socket without its sessions answers every operation with a failure.
    if (!socket || !units || socket->capacityOfConnection() != unitCount || !socket->getSession(0)) return kNoMemory;
    (void)socket->start(0, wakeup);  // always 0 for an idle object
    m_pSocket = std::move(socket);
    m_pUnits = std::move(units);
    m_unitCount = unitCount;
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult ServerService::initialize(ClientUnit* units, uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup)
{
    if (!m_initialized && !units) return kBadArgument;
    const JLIB::JResult r = initialize(unitCount, wakeup);
    if (r != JLIB::kOk) return r;
    for (uint32_t i = 0; i < unitCount; ++i) m_pUnits[i] = &units[i];
    return JLIB::kOk;
}

JLIB::JResult ServerService::initialize(ClientUnit** units, uint32_t unitCount, VCOM::IVComWakeupFunction& wakeup)
{
    if (!m_initialized && !units) return kBadArgument;
    const JLIB::JResult r = initialize(unitCount, wakeup);
    if (r != JLIB::kOk) return r;
    for (uint32_t i = 0; i < unitCount; ++i) m_pUnits[i] = units[i];
    return JLIB::kOk;
}

ClientUnit* ServerService::unit(uint32_t index) const { return index < m_unitCount ? m_pUnits[index] : nullptr; }

JLIB::JResult ServerService::listen(const char* localAddress, uint16_t port)
{
    if (!m_initialized) return kNotInitialized;
    if (!localAddress) return kFailed;
    VCOM::VComSocketAddress local;
    if (JLIB::isFailure(local.set(NETC_AF_INET, localAddress))) return kFailed;
    return JLIB::isFailure(m_pSocket->listen(local, port)) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::runCallback()
{
    if (!m_initialized) return kNotInitialized;
    return JLIB::isFailure(m_pSocket->runCallback(*this)) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::notifyPrmChanged()
{
    if (!m_initialized) return kNotInitialized;
    JLIB::JResult r = JLIB::kOk;
    for (uint32_t i = 0; i < m_unitCount; ++i) {
        if (m_pUnits[i] && JLIB::isFailure(m_pUnits[i]->notifyPrmChanged())) r = kFailed;
    }
    return r;
}

JLIB::JResult ServerService::periodicHandle(uint32_t elapsedMs)
{
    if (!m_initialized) return kNotInitialized;
    JLIB::JResult r = JLIB::kOk;
    for (uint32_t i = 0; i < m_unitCount; ++i) {
        if (m_pUnits[i] && JLIB::isFailure(m_pUnits[i]->periodicHandle(elapsedMs))) r = kFailed;
    }
    return r;
}

JLIB::JResult ServerService::disconnect()
{
    if (!m_initialized) return kNotInitialized;
    for (uint32_t i = 0; i < m_unitCount; ++i) {
        if (m_pUnits[i]) (void)m_pUnits[i]->disconnect();  // 1 for a free unit; the socket below closes all
    }
    return JLIB::isFailure(m_pSocket->disconnect()) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::searchUnit(signed char sessionId, ClientUnit*& found, uint32_t& index) const
{
    for (uint32_t i = 0; i < m_unitCount; ++i) {
        ClientUnit* u = m_pUnits[i];
        if (u && u->sessionId() == sessionId) {
            found = u;
            index = i;
            return JLIB::kOk;
        }
    }
    return kNoUnit;
}

JLIB::JResult ServerService::onConnected(uint32_t, signed char)
{
    return m_initialized ? JLIB::kOk : kNotInitialized;
}

JLIB::JResult ServerService::onAccepted(uint32_t userId, signed char, signed char newSessionId)
{
    if (!m_initialized) return kNotInitialized;
    const uint16_t portId = portIdOf(userId);
    ClientUnit* taker = nullptr;
    for (uint32_t i = 0; i < m_unitCount && !taker; ++i) {
        if (m_pUnits[i] && !m_pUnits[i]->isValidSession()) taker = m_pUnits[i];
    }
    if (taker) {
        (void)dbgPrintf("ServerService::socketAccepted portId = %d, newSessionId = %d\n", static_cast<int>(portId),
                        static_cast<int>(newSessionId));
        if (JLIB::isSuccess(taker->socketAccepted(portId, m_pSocket->getSession(newSessionId), newSessionId))) {
            return JLIB::kOk;
        }
    }
    // Nobody serves it: closing tells the console at once instead of leaving it unanswered. A unit
    // that kept the session hears of the end like any other.
    (void)m_pSocket->disconnect(newSessionId);  // always 0 for a live session
    return kFailed;
}

JLIB::JResult ServerService::onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error)
{
    if (!m_initialized) return kNotInitialized;
    ClientUnit* u = nullptr;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(searchUnit(sessionId, u, index));
    const uint16_t portId = portIdOf(userId);
    (void)dbgPrintf("ServerService::onConnectionFailed unitId = %d, portId = %d, errCode = %d\n",
                    static_cast<int>(index), static_cast<int>(portId), static_cast<int>(error));
    return JLIB::isFailure(u->socketConnectionFailed(portId, error)) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::onDisconnected(uint32_t userId, signed char sessionId)
{
    if (!m_initialized) return kNotInitialized;
    ClientUnit* u = nullptr;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(searchUnit(sessionId, u, index));
    const uint16_t portId = portIdOf(userId);
    (void)dbgPrintf("ServerService::onDisconnected unitId = %d, portId = %d\n", static_cast<int>(index),
                    static_cast<int>(portId));
    return JLIB::isFailure(u->socketDisconnected(portId)) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::onReceived(uint32_t userId, signed char sessionId)
{
    if (!m_initialized) return kNotInitialized;
    ClientUnit* u = nullptr;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(searchUnit(sessionId, u, index));
    return JLIB::isFailure(u->socketReceived(portIdOf(userId))) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::onSent(uint32_t userId, signed char sessionId)
{
    if (!m_initialized) return kNotInitialized;
    ClientUnit* u = nullptr;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(searchUnit(sessionId, u, index));
    return JLIB::isFailure(u->socketSent(portIdOf(userId))) ? kFailed : JLIB::kOk;
}

JLIB::JResult ServerService::onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error)
{
    if (!m_initialized) return kNotInitialized;
    ClientUnit* u = nullptr;
    uint32_t index = 0;
    JLIB_RETURN_IF_FAILED(searchUnit(sessionId, u, index));
    const uint16_t portId = portIdOf(userId);
    (void)dbgPrintf("ServerService::onCommunicationFailed unitId = %d, portId = %d, errCode = %d\n",
                    static_cast<int>(index), static_cast<int>(portId), static_cast<int>(error));
    return JLIB::isFailure(u->socketCommunicationFailed(portId, error)) ? kFailed : JLIB::kOk;
}

}  // namespace ComControl
