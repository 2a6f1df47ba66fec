#pragma once
// What the owner of the meter channel does with meters and player status. Results: top bit set
// means failure. Called on the owner's task; the bytes live only for the call.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "common/tpcp/CoreInfo.h"

namespace TPCP {

class IMeterNotificationProcessor {
public:
    virtual ~IMeterNotificationProcessor() = default;
    // bytes is null when count is 0.
    virtual JLIB::JResult processMeterNotification(uint32_t first, uint32_t uniqID, uint32_t arrayNo,
                                                   uint32_t byteOffset, uint32_t byteCount,
                                                   const unsigned char* bytes) = 0;
    // cores is null when byteCount is 0; byteCount need not be a multiple of the record size.
    virtual JLIB::JResult processPlayerStatusNotification(uint32_t first, uint32_t word1, uint32_t word2,
                                                          uint32_t firstCore, uint32_t coreCount,
                                                          uint32_t byteCount, const CoreInfo* cores) = 0;
};

}  // namespace TPCP
