#include "JMDP/jmdp_MeterBuffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "JMDP/jmdp_Client.h"
#include "JmdpTestSupport.h"

using namespace JMDP;
using jmdptest::Block;
using jmdptest::kDevice;
using jmdptest::RecordingAccessor;
using jmdptest::sequence;

namespace {

std::vector<uint8_t> packetOf(const MeterBuffer& buffer)
{
    return std::vector<uint8_t>(buffer.buffPointer(), buffer.buffPointer() + buffer.size());
}

// What a receiver makes of the packet.
std::vector<Block> decoded(const MeterBuffer& buffer, JLIB::JResult expected = 0)
{
    RecordingAccessor accessor;
    const std::vector<uint8_t> bytes = packetOf(buffer);
    EXPECT_EQ(expected, decodeMeterDatagram(bytes.data(), static_cast<uint32_t>(bytes.size()), kDevice, "PRCS",
                                            &accessor));
    return accessor.take();
}

TEST(MeterBufferTest, InitializeNeedsRoomForHeaderAndOneBlockHeader)
{
    MeterBuffer buffer;
    EXPECT_EQ(0x80000000u, buffer.initialize(kDevice, "PRCS", 28));
    EXPECT_EQ(nullptr, buffer.buffPointer());
    EXPECT_EQ(0x80000000u, buffer.initialize(kDevice, "PRCSX", 1400));
    EXPECT_EQ(0x80000000u, buffer.initialize(kDevice, nullptr, 1400));
    ASSERT_EQ(0u, buffer.initialize(kDevice, "PRCS", 29));
    EXPECT_EQ(20u, buffer.size());
    EXPECT_EQ(jmdptest::PacketWriter(kDevice, "PRCS", 0).bytes(), packetOf(buffer));

    const uint8_t value = 0x42;
    ASSERT_EQ(0u, buffer.addBlock(0, MeterId(1, 2, 3), &value, 5, 1, false));
    EXPECT_EQ(29u, buffer.size());
    EXPECT_FALSE(buffer.isAddBlockFailed());
    const std::vector<uint8_t> before = packetOf(buffer);
    EXPECT_EQ(0x80000000u, buffer.addBlock(0, MeterId(1, 2, 4), &value, 5, 1, false));
    EXPECT_TRUE(buffer.isAddBlockFailed());
    EXPECT_EQ(before, packetOf(buffer));  // unchanged, previous block not flagged
    EXPECT_EQ(1u, buffer.blockNum());
}

TEST(MeterBufferTest, AddBlockRefusesWhatCannotBeWritten)
{
    MeterBuffer buffer;
    const std::vector<uint8_t> values = sequence(4);
    EXPECT_EQ(0x80000000u, buffer.addBlock(0, MeterId(), values.data(), 0, 1, false));  // no buffer yet
    ASSERT_EQ(0u, buffer.initialize(kDevice, "PRCS", 200000));
    const std::vector<uint8_t> many(70000 * 2);
    struct Case {
        const char* label;
        MeterFormat format;
        const void* values;
        uint32_t count;
    };
    const Case cases[] = {
        {"no values", 0, nullptr, 1},
        {"count 0", 0, values.data(), 0},
        {"format 6", 6, values.data(), 1},
        {"count above 16 bits", 4, many.data(), 70000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0x80000000u, buffer.addBlock(c.format, MeterId(), c.values, 0, c.count, false));
        EXPECT_FALSE(buffer.isAddBlockFailed());
        EXPECT_EQ(20u, buffer.size());
    }
}

TEST(MeterBufferTest, BlocksAreChainedAndReadBackByTheClientDecoder)
{
    MeterBuffer buffer;
    ASSERT_EQ(0u, buffer.initialize(kDevice, "PRCS", kPacketMax));
    const std::vector<uint8_t> a = sequence(3, 10);
    const std::vector<uint8_t> b = sequence(8, 50);  // four 2-byte values
    const std::vector<uint8_t> c = sequence(2, 90);
    ASSERT_EQ(0u, buffer.addBlock(0, MeterId(1, 0, 2), a.data(), 16, 3, false));
    ASSERT_EQ(0u, buffer.addBlock(4, MeterId(1, 0, 3), b.data(), 0, 4, true));
    ExtendedArea area;
    ASSERT_EQ(0u, area.setArea(7, 8, sequence(5, 200).data(), 5));
    ASSERT_EQ(0u, buffer.addBlockEx(1, MeterId(2, 1, 0), c.data(), 70000, 2, area, false));
    EXPECT_EQ(3u, buffer.blockNum());
    EXPECT_EQ(20u + 11 + 16 + 19, buffer.size());

    const std::vector<Block> blocks = decoded(buffer);
    ASSERT_EQ(3u, blocks.size());
    EXPECT_EQ(0x80, blocks[0].flags);
    EXPECT_EQ(0x010002u, blocks[0].meterId);
    EXPECT_EQ(16u, blocks[0].start);
    EXPECT_EQ(a, blocks[0].values);
    EXPECT_EQ(0x80 | 0x20 | 4, blocks[1].flags);
    EXPECT_EQ(b, blocks[1].values);
    EXPECT_EQ(0x40 | 1, blocks[2].flags);  // the last block has no follower
    EXPECT_EQ(4464u, blocks[2].start);
    EXPECT_EQ(9u, blocks[2].areaSize);
    EXPECT_EQ(7, blocks[2].tag1);
    EXPECT_EQ(8, blocks[2].tag2);
    EXPECT_EQ(sequence(5, 200), blocks[2].area);
    EXPECT_EQ(c, blocks[2].values);
}

TEST(MeterBufferTest, AddBlockExRefusesAreasNoReaderAccepts)
{
    MeterBuffer buffer;
    ASSERT_EQ(0u, buffer.initialize(kDevice, "PRCS", kPacketMax));
    const uint8_t value = 1;
    ExtendedArea empty;  // size 0: shorter than its own fields
    EXPECT_EQ(0x80000000u, buffer.addBlockEx(0, MeterId(), &value, 0, 1, empty, false));
    EXPECT_EQ(20u, buffer.size());
    ExtendedArea bare;
    ASSERT_EQ(0u, bare.setArea(1, 2, nullptr, 0));
    ASSERT_EQ(0u, buffer.addBlockEx(0, MeterId(), &value, 0, 1, bare, false));
    EXPECT_EQ(20u + 8 + 4 + 1, buffer.size());
    EXPECT_EQ(1u, decoded(buffer).size());

    // An area that leaves no room for its values sets the add-failed flag.
    ExtendedArea large;
    ASSERT_EQ(0u, large.setArea(1, 2, sequence(1020).data(), 1020));
    const std::vector<uint8_t> values = sequence(400);
    EXPECT_EQ(0x80000000u, buffer.addBlockEx(0, MeterId(), values.data(), 0, 400, large, false));
    EXPECT_TRUE(buffer.isAddBlockFailed());
    ASSERT_EQ(0u, buffer.addBlockEx(0, MeterId(), values.data(), 0, 300, large, false));
    EXPECT_FALSE(buffer.isAddBlockFailed());
    EXPECT_EQ(2u, decoded(buffer).size());
}

TEST(MeterBufferTest, ClearStatusTimeAndFinalize)
{
    MeterBuffer buffer;
    EXPECT_EQ(0x80000000u, buffer.setCurrentTime(1));
    ASSERT_EQ(0u, buffer.initialize(kDevice, "PRCS", kPacketMax));
    const uint8_t value = 1;
    ASSERT_EQ(0u, buffer.addBlock(0, MeterId(), &value, 0, 1, false));
    EXPECT_EQ(0x80000000u, buffer.setStatus(2));
    ASSERT_EQ(0u, buffer.setStatus(MeterBuffer::kSending));
    ASSERT_EQ(0u, buffer.setCurrentTime(0x0A0B0C0D));
    EXPECT_EQ((std::vector<uint8_t>{0x0A, 0x0B, 0x0C, 0x0D}),
              std::vector<uint8_t>(buffer.buffPointer() + 16, buffer.buffPointer() + 20));

    EXPECT_EQ(0u, buffer.clearAllBlocks(false));
    EXPECT_EQ(MeterBuffer::kSending, buffer.status());
    EXPECT_EQ(0u, buffer.blockNum());
    EXPECT_EQ(20u, buffer.size());
    EXPECT_EQ(0u, buffer.clearAllBlocks(true));
    EXPECT_EQ(MeterBuffer::kCollecting, buffer.status());

    ASSERT_EQ(0u, buffer.addBlock(0, MeterId(), &value, 0, 1, false));
    ASSERT_EQ(0u, buffer.setStatus(MeterBuffer::kSending));
    EXPECT_EQ(0u, buffer.finalize());
    EXPECT_EQ(MeterBuffer::kCollecting, buffer.status());
    EXPECT_EQ(0u, buffer.blockNum());
    EXPECT_EQ(0u, buffer.size());
    EXPECT_EQ(nullptr, buffer.buffPointer());
}

}  // namespace
