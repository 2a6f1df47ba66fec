#pragma once
// What the owner of a meter data client does with each meter block of a valid packet.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace JMDP {

class MeterDataBlockHeaderEx;

class IClientMeterDataAccessor {
public:
    // Called from JMDPClient::receive on the thread that called it. values points into the
    // client's receive buffer and holds size bytes (data count x element size); valid only during
    // the call. The client ignores the result.
    virtual JLIB::JResult decodeMeterPacket(const MeterDataBlockHeaderEx& header, const uint8_t* values,
                                            uint32_t size) = 0;
    virtual ~IClientMeterDataAccessor() = default;
};

}  // namespace JMDP
