#include "comctrl_ESP.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "VUviRido/Socket/IVCom.h"
#include "comctrl_Utility.h"
#include "dbgc/dbgc_stdapi.h"

namespace ComControl {

namespace {

// Results of the inner steps.
constexpr JLIB::JResult kNothingQueued = 1;
constexpr JLIB::JResult kRingHasMore = 4;
constexpr JLIB::JResult kHoldFrame = 6;
constexpr JLIB::JResult kNoRoomNow = 0x80000006u;
constexpr JLIB::JResult kNoPort = 0x80000004u;
constexpr JLIB::JResult kFatal = 0x80000008u;

uint32_t low16(JLIB::JResult r) { return r & 0xFFFFu; }

// Up to 4 characters of a name, zero-filled; a received name need not be terminated.
void copyName(char (&to)[5], const char* from)
{
    std::memset(to, 0, sizeof(to));
    if (from) std::strncpy(to, from, 4);
}

std::unique_ptr<uint8_t[]> allocateBlock(uint32_t size) { return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]); }

}  // namespace

ESP::ESP(uint32_t portCount, uint32_t bufferSize)
{
    m_pPorts.reset(new (std::nothrow) T_VPORT[portCount]);
    m_portCount = m_pPorts ? portCount : 0;
    (void)expandBufferSize(bufferSize);  // without buffers every pass answers 0x80000003
}

ESP::~ESP() = default;

void ESP::resetReceiveState()
{
    m_recvStart = 0;
    m_recvFill = 0;
    m_recvEnd = kFrameHeaderSize;
    m_headerCount = 0;
}

void ESP::consumeFrame()
{
    m_recvStart += m_recvEnd;
    m_recvEnd = kFrameHeaderSize;
    m_headerCount = 0;
    if (m_recvStart == m_recvFill) m_recvStart = m_recvFill = 0;
}

void ESP::compactReceived()
{
    if (m_recvStart == 0) return;
    std::memmove(m_pRecv.get(), m_pRecv.get() + m_recvStart, m_recvFill - m_recvStart);
    m_recvFill -= m_recvStart;
    m_recvStart = 0;
}

uint32_t ESP::queuedBytes() const { return hasBuffers() ? jlib_ringBufGetDataSize(&m_ring) : 0; }

JLIB::JResult ESP::expandBufferSize(uint32_t size)
{
    if (size == 0 || size <= capacity()) return JLIB::kOk;
    if (size > kMaxBufferSize || m_callDepth > 0) return kBadSize;
    const uint32_t blockSize = size + kFrameHeaderSize;
    auto ring = allocateBlock(blockSize);
    auto staging = allocateBlock(blockSize);
    auto recv = allocateBlock(blockSize);
    auto nested = allocateBlock(blockSize);
    if (!ring || !staging || !recv || !nested) return kBadSize;

    T_JLIB_RINGBUF newRing{};
    if (JLIB::isFailure(jlib_ringBufInit(1, size, ring.get(), &newRing))) return kBadSize;
    if (hasBuffers()) {
        // The staging block is free between calls: carry the queued frames through it in order.
        uint32_t taken = 0;
        (void)jlib_ringBufGetData(jlib_ringBufGetDataSize(&m_ring), staging.get(), &taken, &m_ring);  // 3 when empty
        uint32_t stored = 0;
        (void)jlib_ringBufSetData(taken, staging.get(), &stored, &newRing);  // the new ring is larger: all fit
        // The unfinished or held frame and what follows it, moved to the front.
        std::memcpy(recv.get(), currentFrame(), m_recvFill - m_recvStart);
        m_recvFill -= m_recvStart;
        m_recvStart = 0;
    }
    if (m_recvFill == 0) resetReceiveState();
    m_ring = newRing;
    m_pRing = std::move(ring);
    m_pStaging = std::move(staging);
    m_pRecv = std::move(recv);
    m_pNestedStaging = std::move(nested);
    m_bufferSize = blockSize;
    return JLIB::kOk;
}

JLIB::JResult ESP::registerVPortObserver(uint32_t index, const char* name, IPortObserver* observer)
{
    if (index >= m_portCount || !name) return kBadArgument;
    copyName(m_pPorts[index].name, name);
    m_pPorts[index].pObserver = observer;
    return JLIB::kOk;
}

JLIB::JResult ESP::setCorePort(VCOM::IVCom* port)
{
    m_pCorePort = port;
    if (hasBuffers()) (void)jlib_ringBufClear(&m_ring);  // always 0 for a ring set up here
    resetReceiveState();
    for (uint32_t i = 0; i < m_portCount; ++i) m_pPorts[i].opened = false;
    return JLIB::kOk;
}

JLIB::JResult ESP::openPort(uint32_t index)
{
    if (index >= m_portCount) return kBadArgument;
    m_pPorts[index].opened = true;
    return JLIB::kOk;
}

JLIB::JResult ESP::closePort(uint32_t index)
{
    if (index >= m_portCount) return kBadArgument;
    m_pPorts[index].opened = false;
    return JLIB::kOk;
}

bool ESP::isPortOpened(uint32_t index) const { return index < m_portCount && m_pPorts[index].opened; }

JLIB::JResult ESP::getPortName(uint32_t index, char* buffer, uint32_t size) const
{
    if (index >= m_portCount || !buffer || size == 0) return kBadArgument;
    const size_t length = std::min<size_t>(std::strlen(m_pPorts[index].name), size - 1);
    std::memcpy(buffer, m_pPorts[index].name, length);
    buffer[length] = '\0';
    return JLIB::kOk;
}

JLIB::JResult ESP::portNameToPortId(const char* name, uint32_t& index) const
{
    if (!name) return kNoPort;
    char wanted[5];
    copyName(wanted, name);
    for (uint32_t i = 0; i < m_portCount; ++i) {
        if (std::strncmp(m_pPorts[i].name, wanted, 4) == 0) {
            index = i;
            return JLIB::kOk;
        }
    }
    return kNoPort;
}

JLIB::JResult ESP::copyToRingBuffer(const uint8_t* data, uint32_t length, const char* name)
{
    if (!data || length == 0) return kNothingQueued;
    if (uint64_t{jlib_ringBufGetBlankSize(&m_ring)} < uint64_t{length} + kFrameHeaderSize) return kNoRoomNow;
    uint8_t header[kFrameHeaderSize] = {};
    std::strncpy(reinterpret_cast<char*>(header), name, 4);
    (void)Utility::fromUint(header + 4, 4, length);  // fixed width into a local: cannot fail
    // Room was checked above, so both appends store everything.
    (void)jlib_ringBufSetData(kFrameHeaderSize, header, nullptr, &m_ring);
    (void)jlib_ringBufSetData(length, data, nullptr, &m_ring);
    return JLIB::kOk;
}

JLIB::JResult ESP::writeToVcom()
{
    const uint32_t held = jlib_ringBufGetDataSize(&m_ring);
    if (held == 0 || !m_pCorePort) return JLIB::kOk;
    const uint32_t n = std::min({held, m_pCorePort->getRemainSendBuff(), kMaxChunk});
    // A full socket takes nothing now; its next sent report drives the following drain.
    if (n == 0) return kRingHasMore;
    uint32_t taken = 0;
    const JLIB::JResult left = jlib_ringBufGetData(n, m_chunk, &taken, &m_ring);
    uint32_t sent = 0;
    (void)m_pCorePort->send(m_chunk, taken, sent);  // judged by the count alone
    if (sent < taken) return kFatal;
    return left == kRingHasMore ? kRingHasMore : JLIB::kOk;
}

JLIB::JResult ESP::callObserver(IPortObserver& observer, uint32_t* produced, const uint8_t* input,
                                uint32_t inputLength, uint8_t* flags, uint8_t*& output, uint32_t& outputCapacity)
{
    const uint32_t blank = jlib_ringBufGetBlankSize(&m_ring);
    uint8_t* block = m_callDepth == 0 ? m_pStaging.get() : m_callDepth == 1 ? m_pNestedStaging.get() : nullptr;
    output = nullptr;
    outputCapacity = 0;
    if (block && blank > kFrameHeaderSize) {
        output = block;
        outputCapacity = blank - kFrameHeaderSize;
    }
    *produced = 0;
    ++m_callDepth;
    const JLIB::JResult r = observer.event(output, outputCapacity, produced, input, inputLength, flags);
    --m_callDepth;
    if (JLIB::isFailure(r)) return low16(r) == 1 ? kNoRoomNow : kFatal;
    return JLIB::kOk;
}

JLIB::JResult ESP::frameAnswer(const uint8_t* output, uint32_t outputCapacity, uint32_t produced, const char* name)
{
    if (produced == 0) return JLIB::kOk;
    if (!output || produced > outputCapacity) return kFatal;  // wrote past what it was offered
    // The component may have sent through writeRequest meanwhile: copyToRingBuffer checks the
    // ring's room afresh and a shortfall is "no room", never a dropped message.
    JLIB_RETURN_IF_FAILED(copyToRingBuffer(output, produced, name));
    const JLIB::JResult drained = writeToVcom();
    return low16(drained) == 8 ? kFatal : drained;
}

JLIB::JResult ESP::sendEventAction(const char* name, uint8_t* flags)
{
    if (!m_pCorePort || !hasBuffers() || !flags) return kInternalError;
    *flags = 0;
    uint32_t index = 0;
    if (JLIB::isFailure(portNameToPortId(name, index))) return JLIB::kOk;
    const T_VPORT& port = m_pPorts[index];
    if (!port.opened) return kFatal;
    if (!port.pObserver) return kInternalError;
    uint8_t* output = nullptr;
    uint32_t outputCapacity = 0;
    uint32_t produced = 0;
    JLIB_RETURN_IF_FAILED(callObserver(*port.pObserver, &produced, nullptr, 0, flags, output, outputCapacity));
    return frameAnswer(output, outputCapacity, produced, port.name);
}

JLIB::JResult ESP::writeRequest(const char* portName)
{
    JLIB::JResult r = JLIB::kOk;
    uint8_t flags = 0;
    do {
        r = sendEventAction(portName, &flags);
    } while (JLIB::isSuccess(r) && (flags & IPortObserver::kFlagMore) != 0);
    switch (r) {
    case kNoRoomNow:
        return kTryAgain;
    case kFatal:
        disconnectCore();
        return kDisconnected;
    case kInternalError:
        (void)dbgPrintf("ESP::writeRequest sendEvent Internal error\n");
        return kInternalError;
    default:
        return r;
    }
}

JLIB::JResult ESP::receiveEventAction(const char* name, uint8_t* flags)
{
    if (!m_pCorePort || !hasBuffers()) return kInternalError;
    if (!flags) return kBadArgument;
    *flags = 0;
    uint32_t index = 0;
    if (JLIB::isFailure(portNameToPortId(name, index))) return JLIB::kOk;  // dropped
    const T_VPORT& port = m_pPorts[index];
    if (!port.opened) return kFatal;
    if (!port.pObserver) return kInternalError;
    uint8_t* output = nullptr;
    uint32_t outputCapacity = 0;
    uint32_t produced = 0;
    JLIB_RETURN_IF_FAILED(callObserver(*port.pObserver, &produced, currentFrame() + kFrameHeaderSize,
                                       m_recvEnd - kFrameHeaderSize, flags, output, outputCapacity));
    if ((*flags & IPortObserver::kFlagHold) != 0) return JLIB::kOk;
    return frameAnswer(output, outputCapacity, produced, port.name);
}

JLIB::JResult ESP::recvEvent()
{
    char name[5];
    copyName(name, reinterpret_cast<const char*>(currentFrame()));
    uint8_t flags = 0;
    const JLIB::JResult r = receiveEventAction(name, &flags);
    if ((flags & IPortObserver::kFlagHold) != 0) return kHoldFrame;
    if (JLIB::isFailure(r)) return r;
    consumeFrame();
    if ((flags & IPortObserver::kFlagMore) != 0) return writeRequest(name);
    return r;
}

void ESP::disconnectCore()
{
    if (m_pCorePort) (void)m_pCorePort->disconnect();  // the socket reports the end itself
}

// Delivers the complete frame in the receive buffer. delivered is false when the pass must stop
// with the returned result.
JLIB::JResult ESP::deliverHeld(const char* internalErrorLine, bool& delivered)
{
    delivered = false;
    const JLIB::JResult r = recvEvent();
    if (low16(r) == kHoldFrame) return kHeld;
    if (r == kFatal) {
        disconnectCore();
        return kDisconnected;
    }
    if (r == kInternalError) {
        (void)dbgPrintf("%s", internalErrorLine);
        return kInternalError;
    }
    // writeRequest for a follow-up send already ended the link: stop reading.
    if (r == kDisconnected) return kDisconnected;
    delivered = true;
    return r;
}

JLIB::JResult ESP::onReceived()
{
    if (!hasBuffers() || !m_pCorePort) return kInternalError;
    if (frameComplete()) return kHeld;
    while (true) {
        if (m_headerCount < kFrameHeaderSize && m_recvFill - m_recvStart >= kFrameHeaderSize) {
            const uint32_t length = Utility::toUint(currentFrame() + 4, 4);
            if (length > capacity()) {
                disconnectCore();
                return kDisconnected;
            }
            m_headerCount = kFrameHeaderSize;
            m_recvEnd = kFrameHeaderSize + length;
        }
        if (frameComplete()) {
            bool delivered = false;
            const JLIB::JResult r = deliverHeld("ESP::onReceived recvEvent Internal error\n", delivered);
            if (!delivered) return r;
            continue;  // the next frame may have been read with this one
        }
        // A frame never outgrows the block, so an unfinished one at the front leaves room: the
        // socket is never asked for 0 bytes.
        compactReceived();
        uint32_t got = 0;
        (void)m_pCorePort->receive(m_pRecv.get() + m_recvFill, m_bufferSize - m_recvFill, got);  // judged by the count
        if (got == 0) return JLIB::kOk;
        m_recvFill += got;
    }
}

JLIB::JResult ESP::onSent()
{
    if (!hasBuffers() || !m_pCorePort) return kInternalError;
    const JLIB::JResult drained = writeToVcom();
    if (low16(drained) == 8) {
        disconnectCore();
        return kDisconnected;
    }
    if (!frameComplete()) return drained;
    bool delivered = false;
    const JLIB::JResult r = deliverHeld("ESP::onSent recvEvent Internal error\n", delivered);
    if (!delivered) return r;
    return onReceived();
}

}  // namespace ComControl
