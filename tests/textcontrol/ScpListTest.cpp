#include "textcontrol/ScpList.h"

#include <gtest/gtest.h>

#include <vector>

#include "ScpTestSupport.h"

namespace {

struct Item {
    int value = -1;
};

using ItemList = SCP::ScpList<Item>;

std::vector<int> values(ItemList& list)
{
    std::vector<int> out;
    for (auto it = list.begin(); it != list.end(); ++it) out.push_back(it->value);
    return out;
}

}  // namespace

TEST(ScpListTest, KeepsInsertionOrderAndReusesTheLowestFreeNode)
{
    ItemList list(3);
    ASSERT_EQ(3u, list.capacity());
    list.push_back(Item{1});
    ItemList::iterator second = list.push_back(Item{2});
    list.push_back(Item{3});
    EXPECT_EQ(list.end(), list.push_back(Item{4})) << "full";
    EXPECT_EQ((std::vector<int>{1, 2, 3}), values(list));

    ItemList::iterator next = list.erase(second);
    EXPECT_EQ(3, next->value);
    EXPECT_EQ((std::vector<int>{1, 3}), values(list));
    ItemList::iterator again = list.erase(second);
    EXPECT_EQ(second, again) << "an entry not in the list comes back as given";
    EXPECT_EQ(-1, again->value) << "a freed node yields the default entry";
    ++next;
    EXPECT_EQ(list.end(), next);
    EXPECT_EQ(-1, (*list.end()).value);

    list.push_back(Item{5});
    EXPECT_EQ((std::vector<int>{1, 3, 5}), values(list)) << "the freed node is reused and linked last";
}

TEST(ScpListTest, RefusesAZeroOrSecondSetUpAndDrawsFromTheScpHeap)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        ItemList list;
        EXPECT_EQ(0u, list.capacity());
        EXPECT_EQ(list.end(), list.push_back(Item{1}));
        EXPECT_EQ(0x80000000u, list.initialize(0));
        heap.refuseAllocation = heap.allocations + 2;
        EXPECT_EQ(0x80000000u, list.initialize(2));
        EXPECT_TRUE(heap.live.empty()) << "nothing kept after a refusal";
        heap.refuseAllocation = 0;
        ASSERT_EQ(0u, list.initialize(2));
        EXPECT_EQ(0x80000000u, list.initialize(2));
        const auto tags = heap.liveTagCounts();
        EXPECT_EQ(1, tags.at("ScpList<T>::m_pObjects"));
        EXPECT_EQ(1, tags.at("ScpList<T>::m_pListInfo"));
    }
    EXPECT_TRUE(heap.live.empty());
    SCP::gScpHeapId = 0;
}
