#pragma once
// What the owner of a meter data server supplies: the values of each due meter.
#include <cstdint>

#include "JMDP/jmdp_IMeterBuffer.h"
#include "JMDP/jmdp_Server.h"
#include "jlib/jlib_result.h"

namespace JMDP {

class IServerMeterDataAccessor {
public:
    // Owner thread, from JMDPServer::run: adds the meter's block or blocks to buffer with addBlock
    // or addBlockEx. A block that does not fit is no failure of this call: the server reads the
    // buffer's add-failed flag and moves the meter to the next packet. A failure makes the server
    // retry the meter at the next run.
    virtual JLIB::JResult fillMeterBuffer(IMeterBuffer& buffer, const JMDPServer::MeterInfo& meter, uint32_t startPos,
                                          uint32_t dataNum) = 0;
    // After each send attempt, on the owner thread or the socket layer's task; the argument is
    // always 0 and the result is not used.
    virtual JLIB::JResult meterSent(uint32_t reserved) = 0;

protected:
    ~IServerMeterDataAccessor() = default;
};

}  // namespace JMDP
