#pragma once
// One meter data packet built block by block in its own buffer: the packet header, then each
// block with the following-block flag set on the one before it. Owned by one task; no lock.
#include <cstdint>
#include <memory>
#include <vector>

#include "JMDP/jmdp_IMeterBuffer.h"
#include "JMDP/jmdp_Packet.h"
#include "jlib/jlib_result.h"

namespace JMDP {

class MeterBuffer : public IMeterBuffer {
public:
    enum BuffStatus : uint32_t {
        kCollecting = 0,
        kSending = 1,
    };

    MeterBuffer();
    ~MeterBuffer() override;
    MeterBuffer(const MeterBuffer&) = delete;
    MeterBuffer& operator=(const MeterBuffer&) = delete;

    // Finalizes, then makes a buffer of capacity bytes opening with the packet header. 0x80000000
    // for a name the header refuses (null, more than 4 characters), a capacity of 28 or less (no
    // room for the header and one block header) or no memory.
    [[nodiscard]] JLIB::JResult initialize(const SendProductId& productId, const char* name, uint32_t capacity);
    // Frees the buffer; status collecting, no blocks, sizes 0. 0.
    JLIB::JResult finalize();
    // Back to the bare packet header; with resetStatus also status collecting. 0.
    JLIB::JResult clearAllBlocks(bool resetStatus);
    // Writes the packet's sent time; 0x80000000 without a buffer.
    [[nodiscard]] JLIB::JResult setCurrentTime(uint32_t time);

    // Block of 8 + dataNum x element size bytes, values copied. 0x80000000 without a buffer or
    // values, for a data count of 0 or above 65535 (the header holds 16 bits) or a format above 5;
    // and, with the add-failed flag set and the packet unchanged, when the block does not fit.
    [[nodiscard]] JLIB::JResult addBlock(MeterFormat format, MeterId meterId, const void* values, uint32_t startPos,
                                         uint32_t dataNum, bool littleEndian) override;
    // As addBlock with the extended area between header and values (8 + S + values bytes). Also
    // 0x80000000 for an area size S below 4 or above 1024, which no reader accepts.
    [[nodiscard]] JLIB::JResult addBlockEx(MeterFormat format, MeterId meterId, const void* values, uint32_t startPos,
                                           uint32_t dataNum, const ExtendedArea& area, bool littleEndian) override;

    // kCollecting or kSending; else 0x80000000.
    [[nodiscard]] JLIB::JResult setStatus(uint32_t status);
    uint32_t status() const { return m_status; }
    uint32_t blockNum() const { return static_cast<uint32_t>(m_blockOffsets.size()); }
    bool isAddBlockFailed() const { return m_addBlockFailed; }
    // The packet: size() bytes from buffPointer(); null before initialize.
    const uint8_t* buffPointer() const { return m_pBuffer.get(); }
    uint32_t size() const { return m_usedSize; }

private:
    [[nodiscard]] JLIB::JResult appendBlock(const uint8_t* header, uint32_t headerSize, const void* values,
                                            uint32_t valuesSize, bool littleEndian);

    uint32_t m_status = kCollecting;
    bool m_addBlockFailed = false;
    std::unique_ptr<uint8_t[]> m_pBuffer;
    uint32_t m_capacity = 0;
    uint32_t m_headerSize = 0;
    uint32_t m_usedSize = 0;
    std::vector<uint32_t> m_blockOffsets;  // of each block header in the buffer
};

}  // namespace JMDP
