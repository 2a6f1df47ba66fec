#include "editor/VDProtocolClientUnit.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "editor/PacketConvcertor.h"

namespace VDProtocol {

VDProtocolClientUnit::VDProtocolClientUnit() = default;

VDProtocolClientUnit::~VDProtocolClientUnit()
{
    if (m_pSocket) {
        (void)m_pSocket->disconnect();  // stop closes whatever is still open
        (void)m_pSocket->stop();        // always 0
        m_pSocket.reset();
    }
}

JLIB::JResult VDProtocolClientUnit::initialize(const std::string& identifier, const VCOM::VComSocketAddress& local,
                                               VCOM::IVComWakeupFunction& wakeup,
                                               IVDProtocolConnectObserver& observer)
{
    if (m_pSocket || m_lineBuffer.isInitialized()) return kNotInitialized;
    m_pSocket.reset(new (std::nothrow) VCOM::VComTcpClientSocket());
    if (!m_pSocket) return kNoMemory;
    (void)m_pSocket->start(kUserId, wakeup);  // always 0
    m_identifier = identifier;
    m_localAddress = local;
    m_pObserver = &observer;

    m_pSendStorage.reset(new (std::nothrow) unsigned char[kSendQueueSize]());
    m_pChunk.reset(new (std::nothrow) unsigned char[VCOM::VComAbstractTcpSocket::kStreamSize]);
    if (!m_pSendStorage || !m_pChunk) return kNoMemory;
    resetSendQueue();
    return m_lineBuffer.initialize();  // 0 or 0x80000005: it did not exist
}

bool VDProtocolClientUnit::isReady() const
{
    return m_pSocket && m_pSendStorage && m_pChunk && m_lineBuffer.isInitialized();
}

void VDProtocolClientUnit::resetSendQueue()
{
    std::memset(m_pSendStorage.get(), 0, kSendQueueSize);
    (void)jlib_ringBufInit(1, kSendQueueSize, m_pSendStorage.get(), &m_sendRing);  // width 1 and 5 MiB are valid
}

JLIB::JResult VDProtocolClientUnit::connect(const VCOM::VComSocketAddress& remote, uint16_t port)
{
    if (!m_pSocket) return kNotInitialized;
    m_remoteAddress = remote;
    return fromVComErr(m_pSocket->connect(m_localAddress, remote, port));
}

JLIB::JResult VDProtocolClientUnit::disconnect()
{
    if (!m_pSocket) return kNotInitialized;
    const JLIB::JResult result = m_pSocket->disconnect();
    (void)m_remoteAddress.initialize();  // always 0
    return fromVComErr(result);
}

bool VDProtocolClientUnit::isConnected() const { return m_pSocket && m_pSocket->isConnected(); }

JLIB::JResult VDProtocolClientUnit::runCallback()
{
    if (!m_pSocket) return kNotInitialized;
    return fromVComErr(m_pSocket->runCallback(*this));
}

uint32_t VDProtocolClientUnit::queuedLength() const
{
    if (!m_pSendStorage) return 0;
    const uint32_t size = jlib_ringBufGetDataSize(&m_sendRing);
    return JLIB::isFailure(size) ? 0 : size;
}

JLIB::JResult VDProtocolClientUnit::send(const PacketContainer& packet)
{
    if (!isReady()) return kNotInitialized;
    std::string line;
    const JLIB::JResult encoded = PacketConvcertor::Encode_VDProtocol(line, packet);
    if (JLIB::isFailure(encoded)) return fromVComErr(encoded);
    line.push_back('\n');
    // Only a line that fits whole is queued: a line cut short would corrupt the stream.
    const uint32_t blank = jlib_ringBufGetBlankSize(&m_sendRing);
    if (JLIB::isFailure(blank) || line.size() > blank) return kOtherFailure;
    if (JLIB::isFailure(jlib_ringBufSetData(static_cast<uint32_t>(line.size()), line.data(), nullptr, &m_sendRing))) {
        return kOtherFailure;
    }
    (void)writeToVCom();  // what the socket cannot take now leaves on a later onSent
    return JLIB::kOk;
}

JLIB::JResult VDProtocolClientUnit::writeToVCom()
{
    if (!isReady()) return kNotInitialized;
    const uint32_t queued = queuedLength();
    if (queued == 0) return JLIB::kOk;
    const uint32_t chunk = std::min(queued, std::min(m_pSocket->getRemainSendBuff(),
                                                     VCOM::VComAbstractTcpSocket::kStreamSize));
    if (chunk == 0) return JLIB::kOk;  // the stream is full: the next onSent comes back here
    uint32_t taken = 0;
    (void)jlib_ringBufGetData(chunk, m_pChunk.get(), &taken, &m_sendRing);  // taken says what came out
    uint32_t accepted = 0;
    (void)m_pSocket->send(m_pChunk.get(), taken, accepted);  // judged by the count it took
    return accepted < taken ? kIoFailed : JLIB::kOk;
}

JLIB::JResult VDProtocolClientUnit::fromVComErr(JLIB::JResult code)
{
    if (JLIB::isSuccess(code)) return JLIB::kOk;
    switch (code & 0x7FFFFFFFu) {
    case 3:
    case 4:
        return kBusy;
    case 5:
        return kFileSystem;
    case 0x80:
        return kNotFound;
    case 0x81:
        return kLimitOver;
    case 0x82:
        return kDuplicate;
    case 0x83:
        return kNoMemory;
    default:
        return kOtherFailure;
    }
}

JLIB::JResult VDProtocolClientUnit::onConnected(uint32_t, signed char)
{
    if (!m_pSocket) return kNotInitialized;
    m_pObserver->connected();
    return JLIB::kOk;
}

JLIB::JResult VDProtocolClientUnit::onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError)
{
    if (!m_pSocket) return kNotInitialized;
    m_pObserver->connectFailed();
    return onDisconnected(userId, sessionId);
}

JLIB::JResult VDProtocolClientUnit::onDisconnected(uint32_t, signed char)
{
    if (!m_pSocket) return kNotInitialized;
    m_pObserver->disconnected();
    return JLIB::kOk;
}

JLIB::JResult VDProtocolClientUnit::onAccepted(uint32_t, signed char, signed char)
{
    return m_pSocket ? JLIB::kOk : kNotInitialized;
}

JLIB::JResult VDProtocolClientUnit::onReceived(uint32_t, signed char)
{
    if (!isReady()) return kNotInitialized;
    char data[kReadSize] = {};
    uint32_t count = 0;
    const JLIB::JResult result = m_pSocket->receive(data, kReadSize, count);
    if (JLIB::isFailure(result)) return kIoFailed;
    m_lineBuffer.append(data, std::min(count, kReadSize), [this](std::string_view line) { handleLine(line); });
    return result;
}

void VDProtocolClientUnit::handleLine(std::string_view line)
{
    PacketContainer packet;
    // A line that does not decode is dropped; the codec says why where it knows.
    if (JLIB::isSuccess(PacketConvcertor::Decode_VDProtocol(packet, line))) m_pObserver->received(packet);
}

JLIB::JResult VDProtocolClientUnit::onSent(uint32_t, signed char)
{
    if (!m_pSocket) return kNotInitialized;
    (void)writeToVCom();  // a chunk the closed socket refused is gone with the connection
    return JLIB::kOk;
}

JLIB::JResult VDProtocolClientUnit::onCommunicationFailed(uint32_t, signed char, VCOM::CommError)
{
    if (!m_pSocket) return kNotInitialized;
    if (m_pSendStorage) resetSendQueue();
    return JLIB::kOk;
}

}  // namespace VDProtocol
