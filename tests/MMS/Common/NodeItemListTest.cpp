#include "MMS/Common/mms_TreeNodeFactory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MemfdSharedMemory.h"

using MMS::NodeItemList;

namespace {

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;

struct Node {
    char name[24];
};

// A list and its nodes in the first mapping of a shared memory.
class NodeItemListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(memory.isValid());
        list = new (wrapper.malloc(sizeof(NodeItemList))) NodeItemList;
        for (int i = 0; i < 3; ++i) {
            nodes[i] = static_cast<Node*>(wrapper.malloc(sizeof(Node)));
            std::snprintf(nodes[i]->name, sizeof(nodes[i]->name), "node%d", i);
        }
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, list->clear(&wrapper));
        (void)wrapper.free(list);
        for (Node* node : nodes) (void)wrapper.free(node);
        EXPECT_EQ(0u, memory.liveBlocks());
    }

    MmsTest::MemfdSharedMemory memory{1u << 16};
    MMS::SharedMemWrapper wrapper{memory.view(0)};
    NodeItemList* list = nullptr;
    Node* nodes[3] = {};
};

TEST_F(NodeItemListTest, AppendsInOrderAndGetsNullPastTheEnd)
{
    EXPECT_EQ(0u, list->getNum());
    EXPECT_EQ(nullptr, list->get(0));
    EXPECT_EQ(kMissing, list->append(nullptr, nodes[0]));
    EXPECT_EQ(kBadArgument, list->append(&wrapper, nullptr));
    EXPECT_EQ(0u, list->getNum());
    for (Node* node : nodes) ASSERT_EQ(0u, list->append(&wrapper, node));
    EXPECT_EQ(3u, list->getNum());
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(nodes[i], list->get(i)) << i;
    EXPECT_EQ(nullptr, list->get(3));
    EXPECT_EQ(5u, memory.liveBlocks()) << "one table: the old ones were given back";
}

TEST_F(NodeItemListTest, AFailedGrowthLeavesTheListAsItWas)
{
    ASSERT_EQ(0u, list->append(&wrapper, nodes[0]));
    ASSERT_EQ(0u, list->append(&wrapper, nodes[1]));
    memory.refuseAfter(0);
    EXPECT_EQ(kNoMemory, list->append(&wrapper, nodes[2]));
    memory.refuseAfter(-1);
    EXPECT_EQ(2u, list->getNum());
    EXPECT_EQ(nodes[0], list->get(0));
    EXPECT_EQ(nodes[1], list->get(1));
    EXPECT_EQ(nullptr, list->get(2));
    ASSERT_EQ(0u, list->append(&wrapper, nodes[2]));
    EXPECT_EQ(nodes[2], list->get(2));
}

TEST_F(NodeItemListTest, ClearGivesTheTableBackOnlyWithAWrapper)
{
    ASSERT_EQ(0u, list->append(&wrapper, nodes[0]));
    EXPECT_EQ(0u, list->clear(nullptr));
    EXPECT_EQ(1u, list->getNum());
    EXPECT_EQ(0u, list->clear(&wrapper));
    EXPECT_EQ(0u, list->getNum());
    EXPECT_EQ(nullptr, list->get(0));
    EXPECT_EQ(4u, memory.liveBlocks()) << "the list and its three nodes";
}

TEST_F(NodeItemListTest, ReadsTheSameNodesThroughAnotherMapping)
{
    for (Node* node : nodes) ASSERT_EQ(0u, list->append(&wrapper, node));
    const NodeItemList* seen = memory.inView(1, list);
    ASSERT_NE(static_cast<const void*>(list), static_cast<const void*>(seen));
    ASSERT_EQ(3u, seen->getNum());
    for (uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto* node = static_cast<const Node*>(seen->get(i));
        EXPECT_TRUE(memory.contains(1, node));
        EXPECT_EQ(memory.inView(1, nodes[i]), node);
        EXPECT_STREQ(nodes[i]->name, node->name);
    }
    // Grown through the second mapping, read through the first.
    MMS::SharedMemWrapper second(memory.view(1));
    Node* extra = static_cast<Node*>(second.malloc(sizeof(Node)));
    std::strcpy(extra->name, "extra");
    ASSERT_EQ(0u, memory.inView(1, list)->append(&second, extra));
    ASSERT_EQ(4u, list->getNum());
    EXPECT_STREQ("extra", static_cast<const Node*>(list->get(3))->name);
    EXPECT_TRUE(memory.contains(0, list->get(3)));
    (void)second.free(extra);
}

}  // namespace
