#pragma once
// The meter data packet: a 20-byte packet header naming the sending device and the kind of sender,
// then meter blocks, each an 8-byte block header, an optional extended area and the values. Header
// fields are big-endian; the values' byte order is a block flag. Plain values without locks: each
// object belongs to the task that uses it.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace JMDP {

// Where the device sends its meter packets unless told otherwise.
inline constexpr const char* kDefaultGroupAddress = "239.192.0.168";
constexpr uint16_t kDefaultPort = 50240;

// Senders build packets and receivers read them in buffers of this size.
constexpr uint32_t kPacketMax = 1400;
constexpr uint32_t kPacketHeaderSize = 20;
constexpr uint32_t kBlockHeaderSize = 8;
constexpr uint32_t kNameMax = 4;

// Data format of a block, 0 to kMeterFormatMax; kInvalidMeterFormat for any other flag value.
using MeterFormat = uint32_t;
constexpr MeterFormat kMeterFormatMax = 5;
constexpr MeterFormat kInvalidMeterFormat = 0xFFFFFFFFu;

// Element size in bytes of each data format.
inline constexpr uint32_t gMeterDataFormatInfo[kMeterFormatMax + 1] = {1, 1, 1, 1, 2, 1};

// Flags byte of a block header.
constexpr uint8_t kBlockFormatMask = 0x1F;
constexpr uint8_t kBlockLittleEndian = 0x20;
constexpr uint8_t kBlockExtendedArea = 0x40;
constexpr uint8_t kBlockHasNext = 0x80;

// Extended area: its size S counts the 2 size bytes and the 2 tags too. Bit 15 of the size
// field is reserved; readers take bits 0 to 14.
constexpr uint32_t kAreaFieldsSize = 4;
constexpr uint32_t kAreaSizeMax = 1024;
constexpr uint32_t kAreaDataCapacity = 1024;
constexpr uint16_t kAreaSizeMask = 0x7FFF;

// The eight bytes a receiver expects as the sender's identity, compared byte for byte.
class SendProductId {
public:
    static constexpr uint32_t kSize = 8;

    SendProductId() = default;  // all zero
    SendProductId(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7);

    void clear();
    const uint8_t* data() const { return m_bytes; }
    bool operator==(const SendProductId& other) const = default;

private:
    uint8_t m_bytes[kSize] = {};
};

// Three id bytes of a meter: id1 in bits 16-23, id2 in bits 8-15, id3 in bits 0-7. Its 32-bit
// value is the sender's key of a meter.
class MeterId {
public:
    MeterId(uint8_t id1 = 0, uint8_t id2 = 0, uint8_t id3 = 0) { setId(id1, id2, id3); }

    void setId(uint8_t id1, uint8_t id2, uint8_t id3)
    {
        m_value = (static_cast<uint32_t>(id1) << 16) | (static_cast<uint32_t>(id2) << 8) | id3;
    }
    uint8_t getId1() const { return static_cast<uint8_t>(m_value >> 16); }
    uint8_t getId2() const { return static_cast<uint8_t>(m_value >> 8); }
    uint8_t getId3() const { return static_cast<uint8_t>(m_value); }
    operator uint32_t() const { return m_value; }

private:
    uint32_t m_value = 0;
};

// The extended area in its wire layout: 16-bit big-endian size, tag 1, tag 2, area data.
class ExtendedArea {
public:
    ExtendedArea() = default;  // all zero

    // Size becomes length + 4. 0x80000000 for null data with a length, or more than 1020 bytes
    // (the size of an area is at most 1024).
    [[nodiscard]] JLIB::JResult setArea(uint8_t tag1, uint8_t tag2, const void* data, uint32_t length);
    // The 16-bit size field as stored, reserved bit included.
    uint16_t getSize() const;
    uint8_t getTag1() const { return m_bytes[2]; }
    uint8_t getTag2() const { return m_bytes[3]; }
    // Copies length bytes of area data; 0x80000000 for a null target or a length of 1024 or more.
    [[nodiscard]] JLIB::JResult getArea(void* target, uint32_t length) const;
    // The wire bytes: size, tags, then the area data.
    const uint8_t* data() const { return m_bytes; }

private:
    friend class MeterDataBlockHeaderEx;
    uint8_t m_bytes[kAreaFieldsSize + kAreaDataCapacity] = {};
};

// The 20 bytes that open every packet: "JMDP", the product identifier, the name padded with zeros
// and the sent time (the sender's millisecond counter).
class MeterPacketHeader {
public:
    MeterPacketHeader() = default;  // all zero

    // Writes magic, identifier and name; the sent time stays. 0x80000000 for a null name or one of
    // more than 4 characters.
    [[nodiscard]] JLIB::JResult initialize(const SendProductId& productId, const char* name);
    // used starts at 0. 0x80000000 for null bytes or fewer than 20; else takes 20 bytes unchecked.
    [[nodiscard]] JLIB::JResult setBinary(const void* bytes, uint32_t length, uint32_t& used);
    void setSentTime(uint32_t time);
    // Magic, identifier byte for byte, the expected name's characters (at most 4), then zeros up
    // to the end of the name field. The sent time is not checked; a null name is never valid.
    bool isValid(const SendProductId& productId, const char* name) const;
    const uint8_t* data() const { return m_bytes; }

private:
    uint8_t m_bytes[kPacketHeaderSize] = {};
};

// Flags, three id bytes, 16-bit start position and 16-bit data count.
class MeterDataBlockHeader {
public:
    MeterDataBlockHeader() = default;  // all zero

    // The flags become the format alone; start and count keep their low 16 bits. 0x80000000 for a
    // format above 5.
    [[nodiscard]] JLIB::JResult makeHeader(MeterFormat format, MeterId meterId, uint32_t startPos, uint32_t dataNum);
    // used starts at 0. 0x80000000 for null bytes or fewer than 8; else takes 8 bytes.
    [[nodiscard]] JLIB::JResult setBinary(const void* bytes, uint32_t length, uint32_t& used);

    MeterFormat getDataFormat() const;
    // Element size of a format; 0 for a format above 5.
    static uint32_t getDataSize(MeterFormat format);
    uint32_t getDataNum() const;
    uint32_t getStartPos() const;
    MeterId getMeterId() const { return MeterId(m_bytes[1], m_bytes[2], m_bytes[3]); }
    bool hasNextBlock() const { return (m_bytes[0] & kBlockHasNext) != 0; }
    bool isLittleEndianData() const { return (m_bytes[0] & kBlockLittleEndian) != 0; }
    bool hasExtendedArea() const { return (m_bytes[0] & kBlockExtendedArea) != 0; }
    // Each sets its flag bit and answers 0.
    JLIB::JResult setHasNextBlock();
    JLIB::JResult setIsLittleEndianData();
    JLIB::JResult setHasExtendedArea();
    const uint8_t* data() const { return m_bytes; }

private:
    uint8_t m_bytes[kBlockHeaderSize] = {};
};

// A block header with room for its extended area; all zero after construction.
class MeterDataBlockHeaderEx : public MeterDataBlockHeader {
public:
    // As makeHeader, then copies the area's size field and tags, and size - 4 bytes of its data
    // when getArea takes that length (not for a size below 4 or of 1028 and more). Flag bit 6 is
    // left to the packet builder.
    [[nodiscard]] JLIB::JResult makeHeaderEx(MeterFormat format, MeterId meterId, uint32_t startPos, uint32_t dataNum,
                                             const ExtendedArea& area);
    // Reads one block header from a packet with length bytes left; used starts at 0. Without flag
    // bit 6 as setBinary (the area reads as empty). With it: 0x80000000 for an area size S (bits
    // 0-14) above 1024 or below 4, and unless more than S + 8 bytes are left; else takes S + 8.
    [[nodiscard]] JLIB::JResult setBinaryEx(const void* bytes, uint32_t length, uint32_t& used);
    const ExtendedArea& extendedArea() const { return m_area; }

private:
    // Empties the area, clearing only the bytes the last read or make wrote.
    void clearArea();

    ExtendedArea m_area;
    uint32_t m_areaWritten = 0;  // leading bytes of m_area that may be non-zero
};

}  // namespace JMDP
