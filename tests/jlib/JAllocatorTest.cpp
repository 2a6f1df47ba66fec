#include "jlib/JAllocator.h"

#include <gtest/gtest.h>

#include <vector>

#include "jlib/TestHeapManager.h"

TEST(JAllocatorTest, DrawsFromItsHeapUnderItsTag)
{
    testheap::TestHeapManager& heap = testheap::heap();
    struct Case { const char* tag; const char* expected; };
    const Case cases[] = {{"MyTag", "MyTag"}, {nullptr, "JAllocator"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        JLIB::JAllocator<uint32_t> alloc(testheap::kTestHeap, c.tag);
        uint32_t* p = alloc.allocate(3);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(12u, heap.lastSize);
        EXPECT_EQ(c.expected, heap.lastTag);
        alloc.deallocate(p, 3);
        EXPECT_EQ(0, heap.live);
    }
}

TEST(JAllocatorTest, RebindingKeepsTagAndHeapAndServesStandardContainers)
{
    testheap::TestHeapManager& heap = testheap::heap();
    JLIB::JAllocator<char> chars(testheap::kTestHeap, "DBGC::gLowIOList");
    JLIB::JAllocator<double> doubles(chars);
    EXPECT_STREQ("DBGC::gLowIOList", doubles.getObjectName());
    EXPECT_EQ(testheap::kTestHeap, doubles.getHeapId().id());
    EXPECT_TRUE(doubles == chars);
    EXPECT_EQ(0xFFFFFFFFu / 8, doubles.max_size());

    {
        std::vector<double, JLIB::JAllocator<double>> v(doubles);
        v.push_back(1.5);
        v.push_back(2.5);
        EXPECT_GE(heap.live, 1);
    }
    EXPECT_EQ(0, heap.live);
}

TEST(JAllocatorTest, RefusalsYieldNullInsteadOfShortBlocks)
{
    testheap::TestHeapManager& heap = testheap::heap();
    JLIB::JAllocator<uint64_t> alloc(testheap::kTestHeap, "t");
    // 0x20000001 elements of 8 bytes wrap to 8 bytes in 32 bits: must be refused outright.
    EXPECT_EQ(nullptr, alloc.allocate(0x20000001u));
    EXPECT_EQ(0u, heap.lastSize); // the manager was not even asked
    heap.refuse = true;
    EXPECT_EQ(nullptr, alloc.allocate(1));

    // A heap number without a manager falls back to the global heap manager.
    JLIB::JAllocator<int> orphan(25, "t");
    EXPECT_EQ(JLIB::GetGlobalHeapManager(), orphan.getHeapManager());
    int* p = orphan.allocate(2);
    ASSERT_NE(nullptr, p);
    orphan.deallocate(p, 2);
}
