#pragma once
// What a server's data accessor fills with the blocks of one meter.
#include <cstdint>

#include "JMDP/jmdp_Packet.h"
#include "jlib/jlib_result.h"

namespace JMDP {

class IMeterBuffer {
public:
    // Appends one block of dataNum values of the format's element size; see MeterBuffer.
    [[nodiscard]] virtual JLIB::JResult addBlock(MeterFormat format, MeterId meterId, const void* values,
                                                 uint32_t startPos, uint32_t dataNum, bool littleEndian) = 0;
    [[nodiscard]] virtual JLIB::JResult addBlockEx(MeterFormat format, MeterId meterId, const void* values,
                                                   uint32_t startPos, uint32_t dataNum, const ExtendedArea& area,
                                                   bool littleEndian) = 0;
    virtual ~IMeterBuffer() = default;
};

}  // namespace JMDP
