#include "TMS/ThreadHeapManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>


TEST(ThreadHeapManagerTest, ServesBlocksFromItsArenaAfterInitialize)
{
    TMS::ThreadHeapManager heap;
    EXPECT_STREQ("", heap.getName());
    EXPECT_EQ(0x80000000u, heap.getMaxBlock());
    EXPECT_EQ(nullptr, heap.allocateMemory(16, false, "tag"));
    EXPECT_EQ(0x80000000u, heap.freeMemory(nullptr, false));

    ASSERT_EQ(0u, heap.initialize("Worker", 20000));
    EXPECT_STREQ("Worker", heap.getName());
    EXPECT_EQ(0xFFFFFFFFu, heap.getMaxBlock());
    void* blocks[4];
    for (void*& b : blocks) {
        b = heap.allocateMemory(1000, true, "tag");
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(b) % 16);
        memset(b, 0x5A, 1000);
    }
    for (void* b : blocks) EXPECT_EQ(0u, heap.freeMemory(b, false));

    ASSERT_EQ(0u, heap.initialize(nullptr, 20000));  // drops the first arena
    EXPECT_STREQ("(Unknown)", heap.getName());
    EXPECT_EQ(0u, heap.release());
    EXPECT_EQ(0u, heap.release());
    EXPECT_EQ(nullptr, heap.allocateMemory(16, false, nullptr));
}
