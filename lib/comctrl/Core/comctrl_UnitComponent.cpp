#include "comctrl_UnitComponent.h"

#include <cstring>

namespace ComControl {

namespace {

// What the multiplexer reads from a component: no room now, or the end of the link.
constexpr JLIB::JResult kPortNoRoomNow = 0x80000001u;
constexpr JLIB::JResult kPortFatal = 0x80000003u;

}  // namespace

JLIB::JResult UnitComponent::event(uint8_t* output, uint32_t outputCapacity, uint32_t* produced,
                                   const uint8_t* input, uint32_t inputLength, uint8_t* flags)
{
    if (!flags) return kPortFatal;
    *flags = 0;
    uint32_t unused = 0;
    if (!produced) produced = &unused;
    *produced = 0;
    JLIB::JResult r = JLIB::kOk;
    if (input) {
        r = eventReceived(output, outputCapacity, produced, input, inputLength, flags);
    } else if (!output) {
        r = kNoRoom;  // the send queue has no room for anything now
    } else {
        bool more = false;
        r = eventSend(output, outputCapacity, produced, &more);
        if (more) *flags |= kFlagMore;
    }
    if (JLIB::isSuccess(r)) return JLIB::kOk;
    return (r & 0xFFFFu) == 3 ? kPortNoRoomNow : kPortFatal;
}

JLIB::JResult UnitComponent::setPortName(const char* name)
{
    if (!name) return kBadArgument;
    std::memset(m_portName, 0, sizeof(m_portName));
    std::strncpy(m_portName, name, sizeof(m_portName) - 1);
    return JLIB::kOk;
}

JLIB::JResult UnitComponent::setPort(IPort* port)
{
    m_pPort = nullptr;
    (void)eventReset();  // always 0: it only drops pending work
    m_pPort = port;
    // A refusal leaves the old buffers; a message that does not fit is then refused by the port.
    if (m_pPort) (void)m_pPort->expandBufferSize(m_requestedReceiveSize);
    return JLIB::kOk;
}

JLIB::JResult UnitComponent::extendReceiveBufferSize(uint32_t size)
{
    m_requestedReceiveSize = size;
    if (m_pPort && JLIB::isFailure(m_pPort->expandBufferSize(size))) return kNoMemory;
    return JLIB::kOk;
}

JLIB::JResult UnitComponent::writeRequest()
{
    if (!m_pPort) return JLIB::kFailed;
    // "No room now" keeps the data with the component; an ended link is reported by the socket.
    (void)m_pPort->writeRequest(m_portName);
    return JLIB::kOk;
}

}  // namespace ComControl
