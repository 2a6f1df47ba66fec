#include "JMDP/jmdp_Packet.h"

#include <cstring>

namespace JMDP {

namespace {

constexpr uint8_t kMagic[4] = {'J', 'M', 'D', 'P'};
constexpr uint32_t kProductIdOffset = 4;
constexpr uint32_t kNameOffset = 12;
constexpr uint32_t kSentTimeOffset = 16;

void putBig16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

uint32_t getBig16(const uint8_t* at) { return (static_cast<uint32_t>(at[0]) << 8) | at[1]; }

// Length of a name up to kNameMax + 1, so that a longer one is seen without reading all of it.
uint32_t boundedNameLength(const char* name)
{
    uint32_t length = 0;
    while (length <= kNameMax && name[length] != '\0') ++length;
    return length;
}

}  // namespace

SendProductId::SendProductId(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6,
                             uint8_t b7)
    : m_bytes{b0, b1, b2, b3, b4, b5, b6, b7}
{
}

void SendProductId::clear() { std::memset(m_bytes, 0, sizeof(m_bytes)); }

JLIB::JResult ExtendedArea::setArea(uint8_t tag1, uint8_t tag2, const void* data, uint32_t length)
{
    if (length > kAreaSizeMax - kAreaFieldsSize || (!data && length != 0)) return JLIB::kFailed;
    std::memset(m_bytes, 0, sizeof(m_bytes));
    putBig16(m_bytes, length + kAreaFieldsSize);
    m_bytes[2] = tag1;
    m_bytes[3] = tag2;
    if (length != 0) std::memcpy(m_bytes + kAreaFieldsSize, data, length);
    return JLIB::kOk;
}

uint16_t ExtendedArea::getSize() const { return static_cast<uint16_t>(getBig16(m_bytes)); }

JLIB::JResult ExtendedArea::getArea(void* target, uint32_t length) const
{
    if (!target || length >= kAreaDataCapacity) return JLIB::kFailed;
    std::memcpy(target, m_bytes + kAreaFieldsSize, length);
    return JLIB::kOk;
}

JLIB::JResult MeterPacketHeader::initialize(const SendProductId& productId, const char* name)
{
    if (!name) return JLIB::kFailed;
    const uint32_t length = boundedNameLength(name);
    if (length > kNameMax) return JLIB::kFailed;
    std::memcpy(m_bytes, kMagic, sizeof(kMagic));
    std::memcpy(m_bytes + kProductIdOffset, productId.data(), SendProductId::kSize);
    std::memset(m_bytes + kNameOffset, 0, kNameMax);
    std::memcpy(m_bytes + kNameOffset, name, length);
    return JLIB::kOk;
}

JLIB::JResult MeterPacketHeader::setBinary(const void* bytes, uint32_t length, uint32_t& used)
{
    used = 0;
    if (!bytes || length < kPacketHeaderSize) return JLIB::kFailed;
    std::memcpy(m_bytes, bytes, kPacketHeaderSize);
    used = kPacketHeaderSize;
    return JLIB::kOk;
}

void MeterPacketHeader::setSentTime(uint32_t time)
{
    uint8_t* at = m_bytes + kSentTimeOffset;
    at[0] = static_cast<uint8_t>(time >> 24);
    at[1] = static_cast<uint8_t>(time >> 16);
    at[2] = static_cast<uint8_t>(time >> 8);
    at[3] = static_cast<uint8_t>(time);
}

bool MeterPacketHeader::isValid(const SendProductId& productId, const char* name) const
{
    if (!name) return false;
    if (std::memcmp(m_bytes, kMagic, sizeof(kMagic)) != 0) return false;
    if (std::memcmp(m_bytes + kProductIdOffset, productId.data(), SendProductId::kSize) != 0) return false;
    uint32_t i = 0;
    for (; i < kNameMax && name[i] != '\0'; ++i) {
        if (m_bytes[kNameOffset + i] != static_cast<uint8_t>(name[i])) return false;
    }
    for (; i < kNameMax; ++i) {
        if (m_bytes[kNameOffset + i] != 0) return false;
    }
    return true;
}

JLIB::JResult MeterDataBlockHeader::makeHeader(MeterFormat format, MeterId meterId, uint32_t startPos,
                                               uint32_t dataNum)
{
    if (format > kMeterFormatMax) return JLIB::kFailed;
    m_bytes[0] = static_cast<uint8_t>(format);
    m_bytes[1] = meterId.getId1();
    m_bytes[2] = meterId.getId2();
    m_bytes[3] = meterId.getId3();
    putBig16(m_bytes + 4, startPos & 0xFFFFu);
    putBig16(m_bytes + 6, dataNum & 0xFFFFu);
    return JLIB::kOk;
}

JLIB::JResult MeterDataBlockHeader::setBinary(const void* bytes, uint32_t length, uint32_t& used)
{
    used = 0;
    if (!bytes || length < kBlockHeaderSize) return JLIB::kFailed;
    std::memcpy(m_bytes, bytes, kBlockHeaderSize);
    used = kBlockHeaderSize;
    return JLIB::kOk;
}

MeterFormat MeterDataBlockHeader::getDataFormat() const
{
    const MeterFormat format = m_bytes[0] & kBlockFormatMask;
    return format <= kMeterFormatMax ? format : kInvalidMeterFormat;
}

uint32_t MeterDataBlockHeader::getDataSize(MeterFormat format)
{
    return format <= kMeterFormatMax ? gMeterDataFormatInfo[format] : 0;
}

uint32_t MeterDataBlockHeader::getDataNum() const { return getBig16(m_bytes + 6); }

uint32_t MeterDataBlockHeader::getStartPos() const { return getBig16(m_bytes + 4); }

JLIB::JResult MeterDataBlockHeader::setHasNextBlock()
{
    m_bytes[0] |= kBlockHasNext;
    return JLIB::kOk;
}

JLIB::JResult MeterDataBlockHeader::setIsLittleEndianData()
{
    m_bytes[0] |= kBlockLittleEndian;
    return JLIB::kOk;
}

JLIB::JResult MeterDataBlockHeader::setHasExtendedArea()
{
    m_bytes[0] |= kBlockExtendedArea;
    return JLIB::kOk;
}

JLIB::JResult MeterDataBlockHeaderEx::makeHeaderEx(MeterFormat format, MeterId meterId, uint32_t startPos,
                                                   uint32_t dataNum, const ExtendedArea& area)
{
    JLIB_RETURN_IF_FAILED(makeHeader(format, meterId, startPos, dataNum));
    clearArea();
    std::memcpy(m_area.m_bytes, area.m_bytes, kAreaFieldsSize);
    m_areaWritten = kAreaFieldsSize;
    const uint32_t size = area.getSize();
    if (size >= kAreaFieldsSize &&
        JLIB::isSuccess(area.getArea(m_area.m_bytes + kAreaFieldsSize, size - kAreaFieldsSize))) {
        m_areaWritten = size;
    }
    return JLIB::kOk;
}

JLIB::JResult MeterDataBlockHeaderEx::setBinaryEx(const void* bytes, uint32_t length, uint32_t& used)
{
    used = 0;
    if (!bytes || length < kBlockHeaderSize) return JLIB::kFailed;
    const auto* in = static_cast<const uint8_t*>(bytes);
    clearArea();
    if ((in[0] & kBlockExtendedArea) == 0) return setBinary(bytes, length, used);
    // The size field itself must lie inside the packet before it is read.
    if (length < kBlockHeaderSize + 2) return JLIB::kFailed;
    const uint32_t size = getBig16(in + kBlockHeaderSize) & kAreaSizeMask;
    // Below 4 the area would be shorter than its own size and tag fields, and the values would
    // start inside them.
    if (size > kAreaSizeMax || size < kAreaFieldsSize) return JLIB::kFailed;
    if (length <= size + kBlockHeaderSize) return JLIB::kFailed;
    uint32_t headerUsed = 0;
    JLIB_RETURN_IF_FAILED(setBinary(bytes, length, headerUsed));
    std::memcpy(m_area.m_bytes, in + kBlockHeaderSize, size);
    m_areaWritten = size;
    used = size + kBlockHeaderSize;
    return JLIB::kOk;
}

void MeterDataBlockHeaderEx::clearArea()
{
    std::memset(m_area.m_bytes, 0, m_areaWritten);
    m_areaWritten = 0;
}

}  // namespace JMDP
