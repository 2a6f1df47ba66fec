#include "common/tpcp/CommandStreamReader.h"

#include "jlib/jlib_cfg.h"
#include "common/tpcp/INotificationProcessor.h"
#include "common/tpcp/NotificationCollection.h"
#include "common/tpcp/PacketDecoder.h"
#include "common/tpcp/tpcp_constants.h"
#include "VUviRido/Socket/IVCom.h"

namespace TPCP {
namespace {

uint32_t lengthWord(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

}  // namespace

CommandStreamReader::CommandStreamReader() : m_frame(kMaxFrameSize, 0) {}

void CommandStreamReader::reset()
{
    m_received = 0;
    m_frameEnd = 0;
}

JLIB::JResult CommandStreamReader::readSome(VCOM::IVCom& session, uint32_t wanted, uint32_t& count)
{
    count = 0;
    const JLIB::JResult r = session.receive(m_frame.data() + m_received, wanted, count);
    if (JLIB::isFailure(r)) return r;
    if (count > wanted) count = wanted;  // never trust a count beyond the room offered
    m_received += count;
    return JLIB::kOk;
}

JLIB::JResult CommandStreamReader::onReceived(VCOM::IVCom& socket, signed char sessionId,
                                              const NotificationCollection& handlers, INotificationProcessor& processor)
{
    VCOM::IVCom* session = socket.getSession(sessionId);
    if (!session) return JLIB::kFailed;
    while (true) {
        uint32_t count = 0;
        if (m_frameEnd == 0) {
            // The length word may itself come in pieces: what arrived is kept.
            if (JLIB::isFailure(readSome(*session, kLengthWordSize - m_received, count))) return JLIB::kFailed;
            if (count == 0) return JLIB::kOk;
            if (m_received < kLengthWordSize) continue;
            const uint64_t length = lengthWord(m_frame.data());
            // The sender pads each frame to a multiple of 4; the fill is read with its frame.
            const uint64_t end = (kLengthWordSize + length + 3u) & ~uint64_t(3);
            if (end > kMaxFrameSize) {
                JLIB_LOG("[E] CommandStreamReader::onReceived - frame too long (%u byte), disconnected\n",
                         static_cast<unsigned>(length));
                reset();
                (void)session->disconnect();  // always 0
                return JLIB::kFailed;
            }
            m_frameEnd = static_cast<uint32_t>(end);
        }
        if (m_received < m_frameEnd) {
            if (JLIB::isFailure(readSome(*session, m_frameEnd - m_received, count))) return JLIB::kFailed;
            if (count == 0) return JLIB::kOk;
        }
        if (m_received == m_frameEnd) {
            const uint32_t size = m_frameEnd;
            reset();
            (void)decodeFrame(m_frame.data(), size, handlers, processor);  // a whole frame cannot be short
        }
    }
}

JLIB::JResult CommandStreamReader::decodeFrame(const unsigned char* frame, size_t size,
                                               const NotificationCollection& handlers, INotificationProcessor& processor)
{
    if (!frame || size < kLengthWordSize) return JLIB::kFailed;
    const uint32_t length = lengthWord(frame);
    if (size - kLengthWordSize < length) return JLIB::kFailed;
    const PacketDecoder decoder(frame + kLengthWordSize, length);
    std::vector<OscMessage> messages;
    if (JLIB::isFailure(decoder.getOscMessages(messages))) return JLIB::kOk;
    for (const OscMessage& message : messages) {
        INotification* handler = handlers.getNotification(message.address.c_str());
        if (handler) (void)handler->process(&processor, &message.arguments);  // the handler's answer changes nothing here
    }
    return JLIB::kOk;
}

}  // namespace TPCP
