#include "common/tpcp/PacketEncoder.h"

#include <cstdio>
#include <new>

#include <oscpack/osc/OscOutboundPacketStream.h>

#include "common/tpcp/tpcp_constants.h"

namespace TPCP {
namespace {

void appendArgument(osc::OutboundPacketStream& stream, const JVariant& value)
{
    switch (value.getType()) {
    case JVariant::kTypeInt32: stream << static_cast<osc::int32>(value.toInt32()); break;
    // The player reads unsigned numbers from int32 slots with the same bits.
    case JVariant::kTypeUInt32: stream << static_cast<osc::int32>(value.toUInt32()); break;
    case JVariant::kTypeString: stream << (value.toString() ? value.toString() : ""); break;
    case JVariant::kTypeFloat: stream << value.toFloat(); break;
    case JVariant::kTypeBinary:
        if (value.toBinary()) {
            stream << osc::Blob(value.toBinary(), static_cast<osc::osc_bundle_element_size_t>(value.getBinaryLength()));
        }
        break;
    default: break;
    }
}

}  // namespace

PacketEncoder::PacketEncoder(const char* address, const std::vector<JVariant>& arguments)
{
    if (!address) return;
    try {
        m_buffer.assign(kMaxFrameSize, 0);
        auto stream = std::make_unique<osc::OutboundPacketStream>(m_buffer.data(), m_buffer.size());
        *stream << osc::BeginMessage(address);
        for (const JVariant& argument : arguments) appendArgument(*stream, argument);
        *stream << osc::EndMessage;
        m_stream = std::move(stream);
    } catch (const osc::Exception& e) {
        // What was written is not a whole message: no packet is offered.
        std::printf("%s\n", e.what());
    } catch (const std::exception&) {
        std::printf("invalid packet data\n");
    }
}

PacketEncoder::~PacketEncoder() = default;

const char* PacketEncoder::getPacket() const { return m_stream ? m_stream->Data() : nullptr; }

uint32_t PacketEncoder::getPacketSize() const { return m_stream ? static_cast<uint32_t>(m_stream->Size()) : 0; }

}  // namespace TPCP
