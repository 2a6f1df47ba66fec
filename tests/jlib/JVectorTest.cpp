#include "jlib/JVector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jlib/TestHeapManager.h"

namespace {

using IntVector = JLIB::JVector<int>;

std::vector<int> contents(const IntVector& v) { return std::vector<int>(v.begin(), v.end()); }

}  // namespace

TEST(JVectorTest, RefusesAppendBeyondFixedCapacity)
{
    testheap::TestHeapManager& heap = testheap::heap();
    IntVector v(2, JLIB::JAllocator<int>(testheap::kTestHeap, "VecTag"));
    EXPECT_EQ("VecTag", heap.lastTag);
    EXPECT_EQ(8u, heap.lastSize);
    EXPECT_EQ(2u, v.capacity());
    EXPECT_EQ(0u, v.push_back(10));
    EXPECT_EQ(0u, v.push_back(20));
    EXPECT_EQ(0x80000001u, v.push_back(30));
    EXPECT_EQ(2u, v.size());
    EXPECT_EQ(1, heap.live); // storage was never grown

    struct Case { uint32_t index; JLIB::JResult result; int value; };
    const Case cases[] = {{0, 0, 10}, {1, 0, 20}, {2, 0x80000005u, -1}, {0xFFFFFFFFu, 0x80000005u, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        int out = -1;
        EXPECT_EQ(c.result, v.get(out, c.index));
        EXPECT_EQ(c.value, out);
    }
    EXPECT_EQ((std::vector<int>{20, 10}), std::vector<int>(v.rbegin(), v.rend()));

    EXPECT_EQ(0u, v.clear());
    EXPECT_EQ(0u, v.size());
    EXPECT_EQ(0u, v.push_back(30));
    EXPECT_EQ(1, heap.live);
}

TEST(JVectorTest, UnservableReservationLeavesCapacityZero)
{
    testheap::TestHeapManager& heap = testheap::heap();
    struct Case { const char* name; bool refuse; uint32_t maxBlock; uint32_t capacity; };
    const Case cases[] = {
        {"heap refuses", true, 0xFFFFFFFFu, 4},
        {"above max_size", false, 12, 4},
        {"byte total beyond 32 bits", false, 0xFFFFFFFFu, 0x40000001u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        heap.reset();
        heap.refuse = c.refuse;
        heap.maxBlock = c.maxBlock;
        IntVector v(c.capacity, JLIB::JAllocator<int>(testheap::kTestHeap, "t"));
        EXPECT_EQ(0u, v.capacity());
        EXPECT_EQ(0x80000001u, v.push_back(1));
        EXPECT_EQ(0u, v.size());
        EXPECT_EQ(v.begin(), v.end());
        EXPECT_EQ(0, heap.live);
    }
}

TEST(JVectorTest, EraseMovesLaterElementsUp)
{
    JLIB::JVector<std::string> v(4, JLIB::JAllocator<std::string>(0, "t"));
    std::string* next = nullptr;
    EXPECT_EQ(0x80000004u, v.erase(v.begin(), next));
    EXPECT_EQ(nullptr, next);
    for (const char* s : {"a", "b", "c"}) ASSERT_EQ(0u, v.push_back(s));

    ASSERT_EQ(0u, v.erase(v.begin() + 1, next));
    EXPECT_EQ(v.begin() + 1, next);
    EXPECT_EQ("c", *next);
    EXPECT_EQ(2u, v.size());
    ASSERT_EQ(0u, v.erase(v.begin() + 1, next));
    EXPECT_EQ(v.end(), next);
    EXPECT_EQ((std::vector<std::string>{"a"}), std::vector<std::string>(v.begin(), v.end()));
}

TEST(JVectorTest, CopyTakesSourceCapacityAndAssignmentKeepsTargetCapacity)
{
    testheap::TestHeapManager& heap = testheap::heap();
    IntVector five(5, JLIB::JAllocator<int>(testheap::kTestHeap, "five"));
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(0u, five.push_back(i));

    IntVector copy(five);
    EXPECT_EQ(5u, copy.capacity());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), contents(copy));
    EXPECT_STREQ("five", copy.get_allocator().getObjectName());
    EXPECT_EQ(testheap::kTestHeap, copy.get_allocator().getHeapId().id());

    IntVector three(3, JLIB::JAllocator<int>(0, "three"));
    ASSERT_EQ(0u, three.push_back(99));
    three = five;
    EXPECT_EQ((std::vector<int>{1, 2, 3}), contents(three));
    EXPECT_EQ(3u, three.capacity());
    EXPECT_STREQ("three", three.get_allocator().getObjectName());

    three = three;
    EXPECT_EQ((std::vector<int>{1, 2, 3}), contents(three));

    IntVector big(8, JLIB::JAllocator<int>(0, "big"));
    big = three;
    EXPECT_EQ((std::vector<int>{1, 2, 3}), contents(big));
    EXPECT_EQ(8u, big.capacity());
    EXPECT_EQ(2, heap.live);
}
