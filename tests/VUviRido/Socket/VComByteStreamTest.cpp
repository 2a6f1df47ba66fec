#include "VUviRido/Socket/VComByteStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

using VCOM::VComByteStream;

namespace {

TEST(VComByteStreamTest, KeepsTheOrderWhereRunsWrapAroundTheEnd)
{
    // Pushes (positive) and pops (negative) on a stream of 10 bytes, checked against a plain
    // queue: runs that fill up, run over the end and wrap, and pops that cross the end.
    const int steps[] = {7, -5, 6, 4, -9, 3, -12, 10, -1, 1, -10, 0, -3};
    VComByteStream stream;
    ASSERT_EQ(0u, stream.initialize(10));
    std::deque<unsigned char> expected;
    unsigned char next = 1;
    for (const int step : steps) {
        SCOPED_TRACE(step);
        if (step >= 0) {
            std::vector<unsigned char> data(static_cast<size_t>(step));
            for (unsigned char& byte : data) byte = next++;
            uint32_t stored = 0xA5A5A5A5;
            stream.push(data.data(), static_cast<uint32_t>(step), &stored);
            const uint32_t room = 10u - static_cast<uint32_t>(expected.size());
            ASSERT_EQ(std::min<uint32_t>(room, static_cast<uint32_t>(step)), stored);
            expected.insert(expected.end(), data.begin(), data.begin() + stored);
        } else {
            std::vector<unsigned char> out(static_cast<size_t>(-step), 0);
            uint32_t taken = 0xA5A5A5A5;
            stream.pop(out.data(), static_cast<uint32_t>(-step), &taken);
            ASSERT_EQ(std::min<size_t>(expected.size(), static_cast<size_t>(-step)), taken);
            for (uint32_t i = 0; i < taken; ++i) {
                EXPECT_EQ(expected.front(), out[i]) << i;
                expected.pop_front();
            }
        }
        EXPECT_EQ(10u - expected.size(), stream.getRemainSize());
        EXPECT_EQ(expected.empty(), stream.isEmpty());
    }
}

TEST(VComByteStreamTest, PushAllStoresEverythingOrNothing)
{
    VComByteStream stream;
    ASSERT_EQ(0u, stream.initialize(8));
    const unsigned char data[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_TRUE(stream.pushAll(data, 5));
    EXPECT_FALSE(stream.pushAll(data, 4));  // 3 places left
    EXPECT_EQ(3u, stream.getRemainSize());
    EXPECT_FALSE(stream.pushAll(nullptr, 1));
    unsigned char out[8] = {};
    uint32_t taken = 0;
    stream.pop(out, 8, &taken);
    ASSERT_EQ(5u, taken);
    EXPECT_EQ(0, std::memcmp(data, out, 5));
    stream.clear();
    EXPECT_TRUE(stream.isEmpty());
    EXPECT_EQ(8u, stream.getRemainSize());
}

TEST(VComByteStreamTest, WithoutStorageTakesAndGivesNothing)
{
    VComByteStream stream;
    EXPECT_EQ(0x80000003u, stream.initialize(0));
    const unsigned char data[4] = {1, 2, 3, 4};
    uint32_t stored = 7;
    stream.push(data, 4, &stored);
    EXPECT_EQ(0u, stored);
    EXPECT_EQ(0u, stream.getRemainSize());
    EXPECT_TRUE(stream.isEmpty());
    unsigned char out[4] = {};
    uint32_t taken = 7;
    stream.pop(out, 4, &taken);
    EXPECT_EQ(0u, taken);
}

}  // namespace
