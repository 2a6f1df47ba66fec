#pragma once
// Builds one OSC message from an address and JVariant arguments into a buffer of its own.
// Not locked: used by one task.
#include <cstdint>
#include <memory>
#include <vector>

#include "jlib/JVariant.h"

namespace osc {
class OutboundPacketStream;
}

namespace TPCP {

class PacketEncoder {
public:
    // Int32 and UInt32 go as 'i' (same bits), String 's', Float 'f', Binary 'b'; an invalid value
    // adds nothing. A null address, or a step oscpack refuses (the reason is printed), leaves the
    // encoder without a packet.
    PacketEncoder(const char* address, const std::vector<JVariant>& arguments);
    ~PacketEncoder();
    PacketEncoder(const PacketEncoder&) = delete;
    PacketEncoder& operator=(const PacketEncoder&) = delete;

    // The packet, or null when there is none.
    const char* getPacket() const;
    // Its size in bytes, 0 when there is none.
    uint32_t getPacketSize() const;

private:
    std::vector<char> m_buffer;
    std::unique_ptr<osc::OutboundPacketStream> m_stream;
};

}  // namespace TPCP
