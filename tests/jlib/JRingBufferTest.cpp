#include "jlib/JRingBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "jlib/TestHeapManager.h"

namespace {

// A log line copied bytewise, as the thread log keeps them.
struct Line {
    char text[16] = {};
};

Line lineOf(const char* s)
{
    Line l;
    std::strncpy(l.text, s, sizeof(l.text) - 1);
    return l;
}

}  // namespace

TEST(JRingBufferTest, DropsOldestRecordWhenFull)
{
    JLIB::JRingBuffer<int> ring;
    ASSERT_EQ(0u, ring.initialize(0, 3));
    for (int v = 1; v <= 4; ++v) ASSERT_EQ(0u, ring.push(v));
    EXPECT_EQ(3u, ring.size());
    EXPECT_EQ(3u, ring.capacity());
    EXPECT_TRUE(ring.isFull());

    struct Case { uint32_t index; JLIB::JResult result; int value; };
    const Case cases[] = {{0, 0, 2}, {1, 0, 3}, {2, 0, 4}, {3, 0x80000001u, 0}, {0xFFFFFFFFu, 0x80000001u, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        int out = 0x5A5A;
        EXPECT_EQ(c.result, ring.at(c.index, out));
        EXPECT_EQ(c.value, out);
    }

    // Many more pushes keep the last three in push order.
    for (int v = 5; v <= 100; ++v) ASSERT_EQ(0u, ring.push(v));
    int out = 0;
    ASSERT_EQ(0u, ring.at(0, out));
    EXPECT_EQ(98, out);
    ASSERT_EQ(0u, ring.at(2, out));
    EXPECT_EQ(100, out);
}

TEST(JRingBufferTest, WithoutStorageRefusesPushAndAt)
{
    testheap::TestHeapManager& heap = testheap::heap();
    JLIB::JRingBuffer<Line> ring;
    Line out = lineOf("poison");
    EXPECT_EQ(0x80000003u, ring.push(lineOf("x")));
    EXPECT_EQ(0x80000003u, ring.at(0, out));
    EXPECT_STREQ("", out.text);

    EXPECT_EQ(0x80000001u, ring.initialize(0, 0));
    heap.refuse = true;
    EXPECT_EQ(0x80000002u, ring.initialize(testheap::kTestHeap, 2));
    EXPECT_EQ(0u, ring.capacity());
    EXPECT_EQ(0x80000003u, ring.push(lineOf("x")));

    heap.refuse = false;
    ASSERT_EQ(0u, ring.initialize(testheap::kTestHeap, 2));
    EXPECT_EQ("JLIB::JRingBuffer", heap.lastTag);
    ASSERT_EQ(0u, ring.push(lineOf("kept")));
    ASSERT_EQ(0u, ring.finalize());
    EXPECT_EQ(0, heap.live);
    EXPECT_EQ(0u, ring.size());
    EXPECT_EQ(0x80000003u, ring.push(lineOf("x")));
}

TEST(JRingBufferTest, ClearKeepsStorageAndHidesOldRecords)
{
    JLIB::JRingBuffer<Line> ring;
    ASSERT_EQ(0u, ring.initialize(0, 4));
    ASSERT_EQ(0u, ring.push(lineOf("a")));
    ASSERT_EQ(0u, ring.push(lineOf("b")));
    ASSERT_EQ(0u, ring.clear());
    EXPECT_EQ(0u, ring.size());
    EXPECT_EQ(4u, ring.capacity());
    Line out = lineOf("poison");
    EXPECT_EQ(0x80000001u, ring.at(1, out)); // no counted record there any more
    EXPECT_STREQ("", out.text);
    ASSERT_EQ(0u, ring.push(lineOf("c")));
    ASSERT_EQ(0u, ring.at(0, out));
    EXPECT_STREQ("c", out.text);
}
