#include "MMS/Common/mms_RootList.h"

#include <gtest/gtest.h>

#include <cstring>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_Root.h"
#include "MemfdSharedMemory.h"
#include "MmsTestHeap.h"

namespace {

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;

struct ListMemories {
    ListMemories() : heapLiveAtStart(MmsTest::heap1().live) {}
    uint64_t liveBlocks() const { return definition.liveBlocks() + values.liveBlocks() + tasks.liveBlocks(); }
    int heapLiveAtStart;
    MmsTest::MemfdSharedMemory definition;
    MmsTest::MemfdSharedMemory values;
    MmsTest::MemfdSharedMemory tasks;
};

std::string topNameOf(const MMS::Root* root)
{
    char name[24] = {};
    EXPECT_EQ(0u, root->getTopCollection()->getNodeName(name));
    return name;
}

TEST(RootListTest, NamesOrderAndLookups)
{
    ListMemories m;
    {
        uint32_t result = 1;
        MMS::RootList list(&result, m.definition.view(0), m.values.view(0), m.tasks.view(0));
        ASSERT_EQ(0u, result);
        EXPECT_EQ(nullptr, list.front());
        ASSERT_EQ(0u, list.append("A", "TopA", 0, 0, 32));
        ASSERT_EQ(0u, list.append("B", "TopB", 2, 2, 32));
        EXPECT_EQ(2u, list.getNum());
        EXPECT_EQ("TopB", topNameOf(list.get(1u)));
        EXPECT_EQ("TopA", topNameOf(list.front()));
        EXPECT_EQ(list.get(1u), list.get("B"));
        EXPECT_EQ(nullptr, list.get(2u));
        EXPECT_EQ(nullptr, list.get("C"));
        EXPECT_EQ(nullptr, list.get(static_cast<const char*>(nullptr)));

        char id[24];
        std::memset(id, 'x', sizeof id);
        EXPECT_EQ(0u, list.getIdentifier(id, 1));
        EXPECT_EQ(0, std::memcmp("B\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", id, 24));
        EXPECT_EQ(kNoSuchItem, list.getIdentifier(id, 2));
        EXPECT_EQ(kBadArgument, list.getIdentifier(nullptr, 0));

        // The roots' memories are the list's wrappers.
        EXPECT_TRUE(m.definition.contains(0, list.get("B")->getTopCollection()));
        EXPECT_TRUE(m.tasks.contains(0, list.get("A")->getTaskItemList().getListOrigin()));
    }
    EXPECT_EQ(0u, m.liveBlocks());
    EXPECT_EQ(0, MmsTest::heap1().live - m.heapLiveAtStart);
}

// A failed append leaves the list as it was and gives back whatever the new root took.
TEST(RootListTest, FailedAppendLeavesListUnchanged)
{
    ListMemories m;
    uint32_t result = 1;
    MMS::RootList list(&result, m.definition.view(0), m.values.view(0), m.tasks.view(0));
    ASSERT_EQ(0u, list.append("A", "Top", 0, 0, 32));
    const uint64_t blocks = m.liveBlocks();
    const int heap = MmsTest::heap1().live;

    EXPECT_EQ(kAlreadyPresent, list.append("A", "Other", 0, 0, 32));
    EXPECT_EQ(kMissing, list.append("C", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, 0, 32));
    EXPECT_EQ(kMissing, list.append("D", "Top", 0, 4, 32));  // no room for the top collection
    EXPECT_EQ(kBadArgument, list.append("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "Top", 0, 0, 32));
    EXPECT_EQ(kBadArgument, list.append(nullptr, "Top", 0, 0, 32));
    EXPECT_EQ(kBadArgument, list.appendItem("E", nullptr));

    EXPECT_EQ(1u, list.getNum());
    EXPECT_EQ("Top", topNameOf(list.get("A")));
    EXPECT_EQ(blocks, m.liveBlocks());
    EXPECT_EQ(heap, MmsTest::heap1().live);
}

TEST(RootListTest, DestroyAndClear)
{
    ListMemories m;
    uint32_t result = 1;
    MMS::RootList list(&result, m.definition.view(0), m.values.view(0), m.tasks.view(0));
    ASSERT_EQ(0u, list.append("A", "Top", 0, 0, 32));
    EXPECT_EQ(0u, list.destroy("Missing"));
    EXPECT_EQ(kBadArgument, list.destroy(nullptr));
    EXPECT_EQ(1u, list.getNum());
    EXPECT_EQ(0u, list.destroy("A"));
    EXPECT_EQ(nullptr, list.front());
    EXPECT_EQ(0u, list.getNum());
    EXPECT_EQ(0u, m.liveBlocks());

    for (const char* name : {"R1", "R2", "R3"}) ASSERT_EQ(0u, list.append(name, "Top", 0, 0, 32));
    EXPECT_EQ(0u, list.destroy("R2"));  // from the middle: the links stay whole
    char id[24] = {};
    EXPECT_EQ(0u, list.getIdentifier(id, 1));
    EXPECT_STREQ("R3", id);
    EXPECT_EQ(0u, list.clear());
    EXPECT_EQ(0u, list.getNum());
    EXPECT_EQ(0u, m.liveBlocks());
}

TEST(RootListTest, WithoutResultNothingIsCreatedAndHeapProvidersWork)
{
    MmsTest::heap1();
    MMS::RootList idle(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, idle.getDefinitionMemory());
    uint32_t result = 1;
    MMS::RootList heapList(&result, nullptr, nullptr, nullptr);
    ASSERT_EQ(0u, result);
    EXPECT_EQ(0u, heapList.append("H", "Top", 0, 0, 0));
    EXPECT_EQ(1u, heapList.getNum());
}

}  // namespace
