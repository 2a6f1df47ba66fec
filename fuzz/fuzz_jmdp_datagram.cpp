// Meter data datagrams through the client's decoding: the packet header check and the block walk
// that JMDPClient::receive runs on every datagram it reads. The accessor reads every byte it is
// handed, so that a value or area pointer past the datagram is caught.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "JMDP/jmdp_Client.h"
#include "JMDP/jmdp_Packet.h"

namespace {

const JMDP::SendProductId kDevice(192, 168, 0, 10, 0, 0, 0, 0);

class TouchingAccessor : public JMDP::IClientMeterDataAccessor {
public:
    JLIB::JResult decodeMeterPacket(const JMDP::MeterDataBlockHeaderEx& header, const uint8_t* values,
                                    uint32_t size) override
    {
        for (uint32_t i = 0; i < size; ++i) m_sum += values[i];
        const JMDP::ExtendedArea& area = header.extendedArea();
        const uint32_t areaSize = area.getSize() & JMDP::kAreaSizeMask;
        if (header.hasExtendedArea() && areaSize > JMDP::kAreaFieldsSize) {
            uint8_t data[JMDP::kAreaDataCapacity];
            if (area.getArea(data, areaSize - JMDP::kAreaFieldsSize) == 0) m_sum += data[0];
        }
        return 0;
    }
    uint32_t m_sum = 0;
};

void decode(const std::vector<uint8_t>& datagram)
{
    TouchingAccessor accessor;
    (void)JMDP::decodeMeterDatagram(datagram.data(), static_cast<uint32_t>(datagram.size()), kDevice, "PRCS",
                                    &accessor);  // any answer is fine; only faults count
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly the datagram's bytes, as long as the client's buffer at most.
    std::vector<uint8_t> datagram(data, data + std::min<size_t>(size, JMDP::kPacketMax));
    decode(datagram);
    // The same bytes behind a header the client accepts, so that every input walks blocks.
    if (datagram.size() >= JMDP::kPacketHeaderSize) {
        JMDP::MeterPacketHeader header;
        if (header.initialize(kDevice, "PRCS") == 0) std::memcpy(datagram.data(), header.data(), JMDP::kPacketHeaderSize);
        decode(datagram);
    }
    return 0;
}
