#include "common/tpcp/MeterChannelReader.h"

#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/MeterNotificationCollection.h"
#include "common/tpcp/PacketDecoder.h"
#include "common/tpcp/tpcp_constants.h"
#include "VUviRido/Socket/IVCom.h"
#include "VUviRido/Socket/VComResult.h"

namespace TPCP {

MeterChannelReader::MeterChannelReader() : m_datagram(kMaxDatagramSize, 0) {}

JLIB::JResult MeterChannelReader::onReceived(VCOM::IVCom& socket, const MeterNotificationCollection& handlers,
                                             IMeterNotificationProcessor& processor)
{
    while (true) {
        uint32_t count = 0;
        const JLIB::JResult r = socket.receive(m_datagram.data(), kMaxDatagramSize, count);
        if (r == VCOM::kVComOtherFailure) continue;  // an oversized datagram, already dropped
        if (JLIB::isFailure(r)) return JLIB::kFailed;
        if (count == 0) return JLIB::kOk;
        if (count > kMaxDatagramSize) count = kMaxDatagramSize;
        (void)decodeDatagram(m_datagram.data(), count, handlers, processor);  // only fails for null bytes
    }
}

JLIB::JResult MeterChannelReader::decodeDatagram(const unsigned char* bytes, size_t length,
                                                 const MeterNotificationCollection& handlers,
                                                 IMeterNotificationProcessor& processor)
{
    if (!bytes) return JLIB::kFailed;
    const PacketDecoder decoder(bytes, length);
    std::vector<OscMessage> messages;
    if (JLIB::isFailure(decoder.getOscMessages(messages))) return JLIB::kOk;
    for (const OscMessage& message : messages) {
        IMeterNotification* handler = handlers.getMeterNotification(message.address.c_str());
        if (handler) (void)handler->process(&processor, &message.arguments);  // the handler's answer changes nothing here
    }
    return JLIB::kOk;
}

}  // namespace TPCP
