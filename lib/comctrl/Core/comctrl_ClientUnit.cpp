#include "comctrl_ClientUnit.h"

#include "VUviRido/Socket/VComAbstractSocket.h"
#include "comctrl_ESP.h"
#include "comctrl_IUnitConnectObserver.h"
#include "dbgc/dbgc_stdapi.h"

namespace ComControl {

namespace {

// The peer's IPv4 address as one number (127.0.0.1 is 0x7f000001); 0 for another family.
uint32_t ipv4Of(const VCOM::VComSocketAddress& address)
{
    uint8_t bytes[4] = {};
    if (JLIB::isFailure(address.get(bytes, sizeof(bytes)))) return 0;
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

ClientUnit::ClientUnit() = default;
ClientUnit::~ClientUnit() = default;

JLIB::JResult ClientUnit::socketAccepted(uint16_t portId, VCOM::IVCom* session, signed char sessionId)
{
    if (!isInitialized() || !session) return kNotInitialized;
    m_pSession = session;
    VCOM::VComSocketAddress peer;
    uint16_t peerPort = 0;
    // Sessions of the socket objects know their peer; another IVCom leaves the destination empty.
    if (auto* socket = dynamic_cast<VCOM::VComAbstractSocket*>(session)) (void)socket->getDestination(peer, peerPort);
    setDestination(peer);
    m_sessionId = sessionId;
    (void)dbgPrintf("ClientUnit::socketAccepted unitId = %d, portId = %d, sessionId = %d, ip = %x\n",
                    static_cast<int>(unitId()), static_cast<int>(portId), static_cast<int>(sessionId), ipv4Of(peer));
    (void)multiplexer()->setCorePort(session);  // always 0
    JLIB_RETURN_IF_FAILED(connectedAction());
    clearTimes();
    if (connectObserver()) connectObserver()->connected(unitId());
    return JLIB::kOk;
}

JLIB::JResult ClientUnit::failed(uint16_t portId)
{
    if (connectObserver()) connectObserver()->connectFailed(unitId());
    return socketDisconnected(portId);
}

JLIB::JResult ClientUnit::socketConnectionFailed(uint16_t portId, int32_t error)
{
    if (!isInitialized()) return kNotInitialized;
    (void)dbgPrintf("ClientUnit::socketConnectionFailed portId = %d, err = 0x%x\n", static_cast<int>(portId),
                    static_cast<unsigned>(error));
    return failed(portId);
}

JLIB::JResult ClientUnit::socketCommunicationFailed(uint16_t portId, int32_t error)
{
    if (!isInitialized()) return kNotInitialized;
    (void)dbgPrintf("ClientUnit::socketCommunicationFailed portId = %d, err = 0x%x\n", static_cast<int>(portId),
                    static_cast<unsigned>(error));
    return failed(portId);
}

JLIB::JResult ClientUnit::socketDisconnected(uint16_t portId)
{
    if (!isInitialized()) return kNotInitialized;
    (void)dbgPrintf("ClientUnit::socketDisconnected portId = %d\n", static_cast<int>(portId));
    JLIB_RETURN_IF_FAILED(disconnectedAction());
    m_sessionId = -1;
    clearDestination();
    m_pSession = nullptr;
    clearTimes();
    if (connectObserver()) connectObserver()->disconnected(unitId());
    return JLIB::kOk;
}

JLIB::JResult ClientUnit::socketReceived(uint16_t)
{
    if (!isInitialized()) return kNotInitialized;
    markReceived();
    return multiplexer()->onReceived();
}

JLIB::JResult ClientUnit::socketSent(uint16_t)
{
    if (!isInitialized()) return kNotInitialized;
    markSent();
    return multiplexer()->onSent();
}

JLIB::JResult ClientUnit::disconnect()
{
    if (!isInitialized()) return kNotInitialized;
    if (!m_pSession) return 1;
    const JLIB::JResult r = m_pSession->disconnect();
    // The session stays assigned until the server socket reports the end.
    if (JLIB::isSuccess(r)) m_pSession = nullptr;
    return fromVComErr(r);
}

}  // namespace ComControl
