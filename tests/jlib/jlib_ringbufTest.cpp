#include "jlib/jlib_ringbuf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(jlib_ringbufTest, InitRefusesBadWidthOrCapacityAndLeavesTheDescriptor)
{
    struct Case { uint16_t width; uint32_t capacity; uint32_t result; };
    const Case cases[] = {
        {1, 4, 0}, {2, 4, 0}, {4, 4, 0}, {1, 0x1000000u, 0},
        {3, 4, 0x80000001u}, {0, 4, 0x80000001u}, {8, 4, 0x80000001u}, {1, 0x1000001u, 0x80000001u},
    };
    unsigned char memory[16];
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.capacity);
        T_JLIB_RINGBUF ring;
        std::memset(&ring, 0x5A, sizeof ring);
        ring.capacity = 77;
        EXPECT_EQ(c.result, jlib_ringBufInit(c.width, c.capacity, memory, &ring));
        if (c.result == 0) {
            EXPECT_EQ(c.capacity, ring.capacity);
            EXPECT_EQ(0u, jlib_ringBufGetDataSize(&ring));
            EXPECT_EQ(c.capacity, jlib_ringBufGetBlankSize(&ring));
        } else {
            EXPECT_EQ(77u, ring.capacity);
        }
    }
}

TEST(jlib_ringbufTest, FillsOnlyFreePlacesAndReadsInOrderAcrossTheEnd)
{
    for (uint16_t width : {uint16_t{1}, uint16_t{2}, uint16_t{4}}) {
        SCOPED_TRACE(width);
        std::vector<unsigned char> memory(4 * width + 1, 0xEE);  // one guard byte behind the ring
        T_JLIB_RINGBUF ring;
        ASSERT_EQ(0u, jlib_ringBufInit(width, 4, memory.data(), &ring));

        std::vector<unsigned char> source(6 * width);
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<unsigned char>(i + 1);
        uint32_t written = 99;
        EXPECT_EQ(0x80000002u, jlib_ringBufSetData(6, source.data(), &written, &ring));
        EXPECT_EQ(4u, written);

        std::vector<unsigned char> out(6 * width, 0);
        uint32_t read = 99;
        EXPECT_EQ(4u, jlib_ringBufGetData(3, out.data(), &read, &ring));  // one remains
        EXPECT_EQ(3u, read);
        EXPECT_EQ(0, std::memcmp(source.data(), out.data(), 3u * width));
        EXPECT_EQ(1u, jlib_ringBufGetDataSize(&ring));
        EXPECT_EQ(3u, jlib_ringBufGetBlankSize(&ring));

        // Elements 5 and 6 go round the end of the memory; all three come back in order.
        EXPECT_EQ(0u, jlib_ringBufSetData(2, source.data() + 4 * width, &written, &ring));
        EXPECT_EQ(2u, written);
        EXPECT_EQ(0u, jlib_ringBufGetData(10, out.data(), &read, &ring));
        EXPECT_EQ(3u, read);
        EXPECT_EQ(0, std::memcmp(source.data() + 3 * width, out.data(), 3u * width));
        EXPECT_EQ(0xEE, memory.back());

        read = 99;
        EXPECT_EQ(0x80000003u, jlib_ringBufGetData(1, out.data(), &read, &ring));
        EXPECT_EQ(0u, read);
    }
}

TEST(jlib_ringbufTest, CountsStayRightWhenTheWrapCounterRollsOver)
{
    unsigned char memory[1];
    T_JLIB_RINGBUF ring;
    ASSERT_EQ(0u, jlib_ringBufInit(1, 1, memory, &ring));
    // With one place every element is a pass: the counters roll over at 256.
    for (int i = 0; i < 600; ++i) {
        SCOPED_TRACE(i);
        const unsigned char in = static_cast<unsigned char>(i);
        uint32_t n = 0;
        ASSERT_EQ(0u, jlib_ringBufSetData(1, &in, &n, &ring));
        ASSERT_EQ(1u, jlib_ringBufGetDataSize(&ring));
        ASSERT_EQ(0u, jlib_ringBufGetBlankSize(&ring));
        unsigned char out = 0;
        ASSERT_EQ(0u, jlib_ringBufGetData(1, &out, &n, &ring));
        ASSERT_EQ(in, out);
        ASSERT_EQ(0u, jlib_ringBufGetDataSize(&ring));
    }

    // The writer at wrap 0 is one pass ahead of a reader still at wrap 255.
    unsigned char four[4];
    ASSERT_EQ(0u, jlib_ringBufInit(1, 4, four, &ring));
    ring.writePos = 0x00000001u;
    ring.readPos = 0xFF000003u;
    EXPECT_EQ(2u, jlib_ringBufGetDataSize(&ring));
}

TEST(jlib_ringbufTest, InconsistentPositionsAreReported)
{
    struct Case { uint32_t writePos; uint32_t readPos; };
    const Case cases[] = {
        {0x02000000u, 0x00000000u},  // two passes ahead
        {0x00000001u, 0x01000000u},  // reader ahead of the writer
        {0x00000001u, 0x00000002u},  // same pass, write index behind read index
        {0x01000002u, 0x00000001u},  // more than the capacity held
    };
    unsigned char memory[4];
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.writePos << ' ' << c.readPos);
        T_JLIB_RINGBUF ring;
        ASSERT_EQ(0u, jlib_ringBufInit(1, 4, memory, &ring));
        ring.writePos = c.writePos;
        ring.readPos = c.readPos;
        EXPECT_EQ(0x80000005u, jlib_ringBufGetDataSize(&ring));
        EXPECT_EQ(0x80000005u, jlib_ringBufGetBlankSize(&ring));
        uint32_t n = 99;
        EXPECT_EQ(0x80000005u, jlib_ringBufSetData(1, memory, &n, &ring));
        EXPECT_EQ(0u, n);
        n = 99;
        EXPECT_EQ(0x80000005u, jlib_ringBufGetData(1, memory, &n, &ring));
        EXPECT_EQ(0u, n);
        EXPECT_EQ(c.writePos, ring.writePos);
        EXPECT_EQ(c.readPos, ring.readPos);
    }
}

TEST(jlib_ringbufTest, FullAndClearSetThePositions)
{
    unsigned char memory[4] = {1, 2, 3, 4};
    T_JLIB_RINGBUF ring;
    ASSERT_EQ(0u, jlib_ringBufInit(1, 4, memory, &ring));
    EXPECT_EQ(0u, jlib_ringBufFull(&ring));
    EXPECT_EQ(4u, jlib_ringBufGetDataSize(&ring));
    uint32_t n = 99;
    EXPECT_EQ(0x80000002u, jlib_ringBufSetData(1, memory, &n, &ring));
    EXPECT_EQ(0u, n);
    unsigned char out[4] = {};
    EXPECT_EQ(0u, jlib_ringBufGetData(4, out, &n, &ring));
    EXPECT_EQ(0, std::memcmp(memory, out, 4));

    EXPECT_EQ(0u, jlib_ringBufFull(&ring));
    EXPECT_EQ(0u, jlib_ringBufClear(&ring));
    EXPECT_EQ(0u, ring.writePos);
    EXPECT_EQ(0u, ring.readPos);
    EXPECT_EQ(4u, jlib_ringBufGetBlankSize(&ring));
}
