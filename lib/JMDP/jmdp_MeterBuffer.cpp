#include "JMDP/jmdp_MeterBuffer.h"

#include <cstring>
#include <new>

namespace JMDP {

namespace {

// Enough for every block of a full packet, so that collecting does not allocate.
constexpr size_t kReservedBlocks = 120;
constexpr uint32_t kDataNumMax = 0xFFFF;
constexpr uint32_t kSentTimeOffset = 16;

}  // namespace

MeterBuffer::MeterBuffer() { m_blockOffsets.reserve(kReservedBlocks); }

MeterBuffer::~MeterBuffer() { (void)finalize(); }  // always 0

JLIB::JResult MeterBuffer::initialize(const SendProductId& productId, const char* name, uint32_t capacity)
{
    (void)finalize();  // always 0
    MeterPacketHeader header;
    JLIB_RETURN_IF_FAILED(header.initialize(productId, name));
    if (capacity <= kPacketHeaderSize + kBlockHeaderSize) return JLIB::kFailed;
    m_pBuffer.reset(new (std::nothrow) uint8_t[capacity]);
    if (!m_pBuffer) return JLIB::kFailed;
    std::memcpy(m_pBuffer.get(), header.data(), kPacketHeaderSize);
    m_capacity = capacity;
    m_headerSize = kPacketHeaderSize;
    m_usedSize = kPacketHeaderSize;
    return JLIB::kOk;
}

JLIB::JResult MeterBuffer::finalize()
{
    m_status = kCollecting;
    m_addBlockFailed = false;
    m_pBuffer.reset();
    m_capacity = 0;
    m_headerSize = 0;
    m_usedSize = 0;
    m_blockOffsets.clear();
    return JLIB::kOk;
}

JLIB::JResult MeterBuffer::clearAllBlocks(bool resetStatus)
{
    if (resetStatus) m_status = kCollecting;
    m_addBlockFailed = false;
    m_usedSize = m_headerSize;
    m_blockOffsets.clear();
    return JLIB::kOk;
}

JLIB::JResult MeterBuffer::setCurrentTime(uint32_t time)
{
    if (!m_pBuffer || m_capacity < kPacketHeaderSize) return JLIB::kFailed;
    uint8_t* at = m_pBuffer.get() + kSentTimeOffset;
    at[0] = static_cast<uint8_t>(time >> 24);
    at[1] = static_cast<uint8_t>(time >> 16);
    at[2] = static_cast<uint8_t>(time >> 8);
    at[3] = static_cast<uint8_t>(time);
    return JLIB::kOk;
}

JLIB::JResult MeterBuffer::addBlock(MeterFormat format, MeterId meterId, const void* values, uint32_t startPos,
                                    uint32_t dataNum, bool littleEndian)
{
    if (!m_pBuffer || !values || dataNum == 0 || dataNum > kDataNumMax || format > kMeterFormatMax) {
        return JLIB::kFailed;
    }
    MeterDataBlockHeader header;
    JLIB_RETURN_IF_FAILED(header.makeHeader(format, meterId, startPos, dataNum));
    return appendBlock(header.data(), kBlockHeaderSize, values, dataNum * MeterDataBlockHeader::getDataSize(format),
                       littleEndian);
}

JLIB::JResult MeterBuffer::addBlockEx(MeterFormat format, MeterId meterId, const void* values, uint32_t startPos,
                                      uint32_t dataNum, const ExtendedArea& area, bool littleEndian)
{
    if (!m_pBuffer || !values || dataNum == 0 || dataNum > kDataNumMax || format > kMeterFormatMax) {
        return JLIB::kFailed;
    }
    // Readers refuse these sizes, and with them every later block of the packet.
    const uint32_t areaSize = area.getSize();
    if (areaSize < kAreaFieldsSize || areaSize > kAreaSizeMax) return JLIB::kFailed;
    MeterDataBlockHeaderEx header;
    JLIB_RETURN_IF_FAILED(header.makeHeaderEx(format, meterId, startPos, dataNum, area));
    (void)header.setHasExtendedArea();  // always 0
    uint8_t wire[kBlockHeaderSize + kAreaSizeMax];
    std::memcpy(wire, header.data(), kBlockHeaderSize);
    std::memcpy(wire + kBlockHeaderSize, header.extendedArea().data(), areaSize);
    return appendBlock(wire, kBlockHeaderSize + areaSize, values, dataNum * MeterDataBlockHeader::getDataSize(format),
                       littleEndian);
}

JLIB::JResult MeterBuffer::appendBlock(const uint8_t* header, uint32_t headerSize, const void* values,
                                       uint32_t valuesSize, bool littleEndian)
{
    if (static_cast<uint64_t>(m_usedSize) + headerSize + valuesSize > m_capacity) {
        m_addBlockFailed = true;
        return JLIB::kFailed;
    }
    m_addBlockFailed = false;
    uint8_t* at = m_pBuffer.get() + m_usedSize;
    std::memcpy(at, header, headerSize);
    if (littleEndian) at[0] |= kBlockLittleEndian;
    std::memcpy(at + headerSize, values, valuesSize);
    if (!m_blockOffsets.empty()) m_pBuffer[m_blockOffsets.back()] |= kBlockHasNext;
    m_blockOffsets.push_back(m_usedSize);
    m_usedSize += headerSize + valuesSize;
    return JLIB::kOk;
}

JLIB::JResult MeterBuffer::setStatus(uint32_t status)
{
    if (status != kCollecting && status != kSending) return JLIB::kFailed;
    m_status = status;
    return JLIB::kOk;
}

}  // namespace JMDP
