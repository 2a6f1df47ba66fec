#include "JMDP/jmdp_Packet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "JmdpTestSupport.h"

using namespace JMDP;
using jmdptest::kDevice;
using jmdptest::PacketWriter;

namespace {

MeterPacketHeader headerFrom(const std::vector<uint8_t>& bytes)
{
    MeterPacketHeader header;
    uint32_t used = 0;
    EXPECT_EQ(0u, header.setBinary(bytes.data(), static_cast<uint32_t>(bytes.size()), used));
    return header;
}

TEST(MeterPacketHeaderTest, InitializeWritesMagicIdentifierAndPaddedNameAndKeepsTheTime)
{
    MeterPacketHeader header;
    header.setSentTime(0xA1B2C3D4);
    ASSERT_EQ(0u, header.initialize(kDevice, "AB"));
    const std::vector<uint8_t> expected = {'J', 'M', 'D', 'P', 192, 168, 0, 10, 0, 0, 0, 0,
                                           'A', 'B', 0,   0,   0xA1, 0xB2, 0xC3, 0xD4};
    EXPECT_EQ(expected, std::vector<uint8_t>(header.data(), header.data() + kPacketHeaderSize));

    EXPECT_EQ(0x80000000u, header.initialize(kDevice, "PRCSX"));
    EXPECT_EQ(0x80000000u, header.initialize(kDevice, nullptr));
    EXPECT_EQ('A', header.data()[12]);  // a refused name writes nothing
    EXPECT_EQ(0u, header.initialize(kDevice, "PRCS"));
    EXPECT_EQ(0, std::memcmp("PRCS", header.data() + 12, 4));
}

TEST(MeterPacketHeaderTest, SetBinaryTakesExactlyTwentyBytes)
{
    const std::vector<uint8_t> bytes = PacketWriter().values(5).bytes();
    MeterPacketHeader header;
    uint32_t used = 77;
    EXPECT_EQ(0x80000000u, header.setBinary(bytes.data(), 19, used));
    EXPECT_EQ(0u, used);
    used = 77;
    EXPECT_EQ(0x80000000u, header.setBinary(nullptr, 20, used));
    EXPECT_EQ(0u, used);
    EXPECT_EQ(0u, header.setBinary(bytes.data(), 20, used));
    EXPECT_EQ(20u, used);
    EXPECT_TRUE(header.isValid(kDevice, "PRCS"));
}

TEST(MeterPacketHeaderTest, IsValidComparesMagicIdentifierAndNameButNotTheTime)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> bytes;
        const char* expectedName;
        bool valid;
    };
    std::vector<uint8_t> badMagic = PacketWriter().bytes();
    badMagic[3] = 'Q';
    std::vector<uint8_t> lastIdByte = PacketWriter().bytes();
    lastIdByte[11] = 1;
    std::vector<uint8_t> threeLettersThenS = PacketWriter(kDevice, "PRC").bytes();
    threeLettersThenS[15] = 'S';
    const Case cases[] = {
        {"exact", PacketWriter().bytes(), "PRCS", true},
        {"other time", PacketWriter(kDevice, "PRCS", 0xFFFFFFFF).bytes(), "PRCS", true},
        {"three letters and a zero", PacketWriter(kDevice, "PRC").bytes(), "PRCS", false},
        {"three expected, fourth byte zero", PacketWriter(kDevice, "PRC").bytes(), "PRC", true},
        {"three expected, fourth byte set", threeLettersThenS, "PRC", false},
        {"expected longer than the field", PacketWriter().bytes(), "PRCSX", true},
        {"other name", PacketWriter(kDevice, "MIXR").bytes(), "PRCS", false},
        {"magic", badMagic, "PRCS", false},
        {"last identifier byte", lastIdByte, "PRCS", false},
        {"null expected name", PacketWriter().bytes(), nullptr, false},
        {"empty expected name", PacketWriter(kDevice, "").bytes(), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.valid, headerFrom(c.bytes).isValid(kDevice, c.expectedName));
    }
    EXPECT_FALSE(headerFrom(PacketWriter().bytes()).isValid(SendProductId(192, 168, 0, 11, 0, 0, 0, 0), "PRCS"));
}

TEST(MeterDataBlockHeaderTest, MakeHeaderWritesFormatIdAndLow16BitsBigEndian)
{
    MeterDataBlockHeader header;
    EXPECT_EQ(0x80000000u, header.makeHeader(6, MeterId(1, 2, 3), 0, 1));
    ASSERT_EQ(0u, header.makeHeader(4, MeterId(0x11, 0x22, 0x33), 70000, 0x1234));
    const std::vector<uint8_t> expected = {4, 0x11, 0x22, 0x33, 0x11, 0x70, 0x12, 0x34};
    EXPECT_EQ(expected, std::vector<uint8_t>(header.data(), header.data() + kBlockHeaderSize));
    EXPECT_EQ(4464u, header.getStartPos());
    EXPECT_EQ(0x1234u, header.getDataNum());
    EXPECT_EQ(0x112233u, static_cast<uint32_t>(header.getMeterId()));
    EXPECT_EQ(20u, 10 * MeterDataBlockHeader::getDataSize(header.getDataFormat()));

    EXPECT_EQ(0u, header.setHasNextBlock());
    EXPECT_EQ(0u, header.setIsLittleEndianData());
    EXPECT_EQ(0u, header.setHasExtendedArea());
    EXPECT_EQ(0xE4, header.data()[0]);
    EXPECT_TRUE(header.hasNextBlock() && header.isLittleEndianData() && header.hasExtendedArea());
    EXPECT_EQ(4u, header.getDataFormat());  // the flags leave the format alone
}

TEST(MeterDataBlockHeaderTest, FormatAndElementSizeFollowTheLowFiveFlagBits)
{
    struct Case {
        uint8_t flags;
        MeterFormat format;
        uint32_t size;
    };
    const Case cases[] = {
        {0x00, 0, 1}, {0x01, 1, 1}, {0x02, 2, 1}, {0x03, 3, 1}, {0x04, 4, 2}, {0x05, 5, 1},
        {0xE4, 4, 2}, {0x06, kInvalidMeterFormat, 0}, {0x1F, kInvalidMeterFormat, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.flags));
        const uint8_t bytes[8] = {c.flags, 0, 0, 0, 0, 0, 0, 0};
        MeterDataBlockHeader header;
        uint32_t used = 0;
        ASSERT_EQ(0u, header.setBinary(bytes, 8, used));
        EXPECT_EQ(c.format, header.getDataFormat());
        EXPECT_EQ(c.size, MeterDataBlockHeader::getDataSize(header.getDataFormat()));
    }
}

TEST(MeterDataBlockHeaderExTest, SetBinaryExReadsTheAreaOnlyWhenItFitsBeforeTheValues)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> bytes;
        uint32_t left;
        JLIB::JResult result;
        uint32_t used;
    };
    auto ext = [](uint16_t size, size_t total) {
        std::vector<uint8_t> b(std::max<size_t>(total, 10), 0xAB);  // room for the size field
        b[0] = 0x40;
        b[8] = static_cast<uint8_t>(size >> 8);
        b[9] = static_cast<uint8_t>(size);
        return b;
    };
    const std::vector<uint8_t> plain = {0x80, 1, 2, 3, 0, 0, 0, 1};
    const Case cases[] = {
        {"plain, exactly 8 left", plain, 8, 0, 8},
        {"plain, 7 left", plain, 7, 0x80000000u, 0},
        {"area 1025", ext(1025, 1100), 1100, 0x80000000u, 0},
        {"area 1024, 1033 left", ext(1024, 1033), 1033, 0, 1032},
        {"area 1024, 1032 left", ext(1024, 1033), 1032, 0x80000000u, 0},
        {"reserved bit ignored", ext(0x8000 | 16, 30), 30, 0, 24},
        {"area 4, 13 left", ext(4, 13), 13, 0, 12},
        {"area 3, shorter than its fields", ext(3, 40), 40, 0x80000000u, 0},
        {"area 0", ext(0, 40), 40, 0x80000000u, 0},
        {"size field past the end", ext(4, 9), 9, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        // Exactly the bytes left, so that a read past them is seen by the sanitizer.
        const std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.begin() + c.left);
        MeterDataBlockHeaderEx header;
        uint32_t used = 99;
        EXPECT_EQ(c.result, header.setBinaryEx(exact.data(), c.left, used));
        EXPECT_EQ(c.used, used);
    }
    MeterDataBlockHeaderEx header;
    uint32_t used = 0;
    EXPECT_EQ(0x80000000u, header.setBinaryEx(nullptr, 100, used));
}

TEST(MeterDataBlockHeaderExTest, AreaTravelsFromMakeHeaderExToSetBinaryEx)
{
    const std::vector<uint8_t> data = jmdptest::sequence(1020, 7);
    ExtendedArea area;
    EXPECT_EQ(0x80000000u, area.setArea(1, 2, data.data(), 1021));
    EXPECT_EQ(0x80000000u, area.setArea(1, 2, nullptr, 3));
    ASSERT_EQ(0u, area.setArea(0x5A, 0xA5, data.data(), 1020));
    EXPECT_EQ(1024u, area.getSize());

    MeterDataBlockHeaderEx made;
    ASSERT_EQ(0u, made.makeHeaderEx(2, MeterId(9, 8, 7), 3, 1, area));
    EXPECT_FALSE(made.hasExtendedArea());  // the packet builder sets it
    std::vector<uint8_t> wire(made.data(), made.data() + kBlockHeaderSize);
    wire[0] |= kBlockExtendedArea;
    wire.insert(wire.end(), made.extendedArea().data(), made.extendedArea().data() + 1024);
    wire.push_back(0xEE);  // the value

    MeterDataBlockHeaderEx read;
    uint32_t used = 0;
    ASSERT_EQ(0u, read.setBinaryEx(wire.data(), static_cast<uint32_t>(wire.size()), used));
    EXPECT_EQ(1032u, used);
    EXPECT_EQ(0x5A, read.extendedArea().getTag1());
    EXPECT_EQ(0xA5, read.extendedArea().getTag2());
    std::vector<uint8_t> copied(1020);
    EXPECT_EQ(0u, read.extendedArea().getArea(copied.data(), 1020));
    EXPECT_EQ(data, copied);
    std::vector<uint8_t> big(1024);
    EXPECT_EQ(0x80000000u, read.extendedArea().getArea(big.data(), 1024));
    EXPECT_EQ(0u, read.extendedArea().getArea(big.data(), 1023));
    EXPECT_EQ(0x80000000u, read.extendedArea().getArea(nullptr, 1));
}

TEST(MeterDataBlockHeaderExTest, MakeHeaderExLeavesOutAreaDataOfAnUnreadableSize)
{
    ExtendedArea area;
    ASSERT_EQ(0u, area.setArea(1, 2, nullptr, 0));  // size 4, no data
    MeterDataBlockHeaderEx header;
    EXPECT_EQ(0x80000000u, header.makeHeaderEx(7, MeterId(), 0, 1, area));
    ASSERT_EQ(0u, header.makeHeaderEx(0, MeterId(), 0, 1, area));
    EXPECT_EQ(4u, header.extendedArea().getSize());
    EXPECT_EQ(0u, ExtendedArea().getSize());
}

}  // namespace
