#include "jlib/JBuffer.h"

#include <gtest/gtest.h>

#include "jlib/TestHeapManager.h"

TEST(JBufferTest, HoldsBlockFromHeapAndReturnsIt)
{
    testheap::TestHeapManager& heap = testheap::heap();
    {
        JLIB::JBuffer<unsigned char> buffer(testheap::kTestHeap, 1024, nullptr);
        EXPECT_TRUE(buffer.isValid());
        EXPECT_EQ(1024u, buffer.size());
        ASSERT_NE(nullptr, buffer.pointer());
        buffer.pointer()[1023] = 0xAB; // the whole block is usable
        EXPECT_EQ(1024u, heap.lastSize);
        EXPECT_EQ("(null)", heap.lastTag);
        EXPECT_EQ(1, heap.live);
    }
    EXPECT_EQ(0, heap.live);
    EXPECT_EQ(1, heap.frees);
}

TEST(JBufferTest, StaysEmptyWithoutManagerOrBlock)
{
    testheap::TestHeapManager& heap = testheap::heap();
    struct Case { const char* name; unsigned char heapId; bool refuse; };
    const Case cases[] = {{"no manager", 20, false}, {"refused", testheap::kTestHeap, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        heap.reset();
        heap.refuse = c.refuse;
        {
            JLIB::JBuffer<char> buffer(c.heapId, 64, "tag");
            EXPECT_FALSE(buffer.isValid());
            EXPECT_EQ(0u, buffer.size());
            EXPECT_EQ(nullptr, buffer.pointer());
        }
        EXPECT_EQ(0, heap.frees);
    }
}
