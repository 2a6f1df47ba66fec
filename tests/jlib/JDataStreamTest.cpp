#include "jlib/JDataStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jlib/TestHeapManager.h"

using Stream = JLIB::JDataStream<unsigned char>;

TEST(JDataStreamTest, UninitialisedStreamIsEmptyAndFull)
{
    Stream s;
    EXPECT_TRUE(s.isEmpty());
    EXPECT_TRUE(s.isFull());
    EXPECT_EQ(0u, s.getRemainSize());
    EXPECT_EQ(0u, s.getDataSize());
    EXPECT_EQ(nullptr, s.getPointer());
    EXPECT_EQ(0x80000001u, s.push(1));

    const unsigned char bytes[2] = {1, 2};
    EXPECT_EQ(0u, s.pushAll(bytes, 0));
    uint32_t stored = 99;
    EXPECT_EQ(0u, s.push(bytes, 0, &stored));
    EXPECT_EQ(0u, stored);
    unsigned char out[2] = {0xAA, 0xAA};
    uint32_t taken = 99;
    EXPECT_EQ(0u, s.pop(out, 2, &taken));
    EXPECT_EQ(0u, taken);
    EXPECT_EQ(0xAA, out[0]);
}

TEST(JDataStreamTest, InitializeReportsCapacityZeroAndRefusedStorage)
{
    testheap::TestHeapManager& heap = testheap::heap();
    Stream s;
    EXPECT_EQ(0x80000002u, s.initialize(0, 0));
    EXPECT_TRUE(s.isFull());

    heap.refuse = true;
    EXPECT_EQ(0x80000003u, s.initialize(testheap::kTestHeap, 4));
    EXPECT_TRUE(s.isEmpty());
    EXPECT_TRUE(s.isFull());
    EXPECT_EQ(0x80000001u, s.push(1));
    EXPECT_EQ(0x80000003u, s.initialize(200, 4)); // heap number without a manager

    heap.refuse = false;
    ASSERT_EQ(0u, s.initialize(testheap::kTestHeap, 4));
    EXPECT_EQ("JLIB::JDataStream", heap.lastTag);
    EXPECT_EQ(1, heap.live);
    // A second initialize gives the first storage back and starts empty.
    ASSERT_EQ(0u, s.push(5));
    ASSERT_EQ(0u, s.initialize(testheap::kTestHeap, 2));
    EXPECT_EQ(1, heap.live);
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(2u, s.getRemainSize());
    ASSERT_EQ(0x80000002u, s.initialize(testheap::kTestHeap, 0));
    EXPECT_EQ(0, heap.live);
}

TEST(JDataStreamTest, SinglePushesRefuseWhenFullAndWrapInOrder)
{
    Stream s;
    ASSERT_EQ(0u, s.initialize(0, 4));
    for (unsigned char b = 1; b <= 4; ++b) EXPECT_EQ(0u, s.push(b));
    EXPECT_TRUE(s.isFull());
    EXPECT_EQ(0x80000001u, s.push(5));

    unsigned char out = 0;
    ASSERT_EQ(0u, s.pop(out));
    EXPECT_EQ(1, out);
    ASSERT_EQ(0u, s.pop(out));
    EXPECT_EQ(2, out);
    EXPECT_EQ(0u, s.push(6));
    EXPECT_EQ(0u, s.push(7));
    // The two late pushes took the first two places of the storage.
    EXPECT_EQ(6, s.getPointer()[0]);
    EXPECT_EQ(7, s.getPointer()[1]);

    unsigned char all[4] = {};
    uint32_t taken = 0;
    ASSERT_EQ(0u, s.pop(all, 4, &taken));
    EXPECT_EQ(4u, taken);
    EXPECT_EQ((std::vector<unsigned char>{3, 4, 6, 7}), std::vector<unsigned char>(all, all + 4));
    EXPECT_TRUE(s.isEmpty());

    out = 0x5A;
    EXPECT_EQ(0u, s.pop(out)); // empty: nothing delivered
    EXPECT_EQ(0x5A, out);
}

TEST(JDataStreamTest, PushAllIsAllOrNothingWhilePushManyTakesWhatFits)
{
    const unsigned char two[2] = {8, 9};
    struct Case {
        const char* name;
        bool all;
        uint32_t count;
        JLIB::JResult result;
        uint32_t stored;
        uint32_t held;
    };
    const Case cases[] = {
        {"pushAll too many", true, 2, 0x80000001u, 0, 3},
        {"pushAll fits", true, 1, 0, 1, 4},
        {"push many cut", false, 2, 0, 1, 4},
        {"push many none", false, 0, 0, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Stream s;
        ASSERT_EQ(0u, s.initialize(0, 4));
        const unsigned char three[3] = {1, 2, 3};
        ASSERT_EQ(0u, s.pushAll(three, 3));
        uint32_t stored = 77;
        if (c.all) {
            EXPECT_EQ(c.result, s.pushAll(two, c.count));
            stored = s.getDataSize() - 3;
        } else {
            EXPECT_EQ(c.result, s.push(two, c.count, &stored));
        }
        EXPECT_EQ(c.stored, stored);
        EXPECT_EQ(c.held, s.getDataSize());
        if (c.held == 4) {
            EXPECT_EQ(8, s.getPointer()[3]);
        }
    }

    Stream s;
    ASSERT_EQ(0u, s.initialize(0, 4));
    uint32_t stored = 77;
    EXPECT_EQ(0x80000002u, s.pushAll(nullptr, 1));
    EXPECT_EQ(0x80000002u, s.push(nullptr, 1, &stored));
    EXPECT_EQ(0u, stored);
    uint32_t taken = 77;
    EXPECT_EQ(0x80000002u, s.pop(nullptr, 1, &taken));
    EXPECT_EQ(0u, taken);
}

TEST(JDataStreamTest, ClearRestartsAtStorageStartForContiguousReplies)
{
    Stream s;
    ASSERT_EQ(0u, s.initialize(0, 4));
    const unsigned char first[3] = {1, 2, 3};
    ASSERT_EQ(0u, s.pushAll(first, 3));
    unsigned char drop[2];
    ASSERT_EQ(0u, s.pop(drop, 2));
    ASSERT_EQ(0u, s.clear());
    EXPECT_TRUE(s.isEmpty());
    const unsigned char reply[4] = {'a', 'b', 'c', 'd'};
    ASSERT_EQ(0u, s.pushAll(reply, 4));
    EXPECT_EQ(4u, s.getDataSize());
    EXPECT_EQ(std::string("abcd"), std::string(reinterpret_cast<const char*>(s.getPointer()), s.getDataSize()));
}

TEST(JDataStreamTest, HoldsClassElementsByCopy)
{
    JLIB::JDataStream<std::string> q;
    ASSERT_EQ(0u, q.initialize(0, 2));
    const std::string msgs[3] = {"one", "two", "three"};
    uint32_t stored = 0;
    ASSERT_EQ(0u, q.push(msgs, 3, &stored));
    EXPECT_EQ(2u, stored);
    std::string out = "poison";
    ASSERT_EQ(0u, q.pop(out));
    EXPECT_EQ("one", out);
    ASSERT_EQ(0u, q.pop(out));
    EXPECT_EQ("two", out);
    ASSERT_EQ(0u, q.pop(out));
    EXPECT_EQ("two", out);
}
