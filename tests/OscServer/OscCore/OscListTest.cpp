#include "OscServer/OscCore/OscList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "OscServer/OscCore/OscMeterSetting.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscServer/OscCore/OscSystem.h"
#include "OscTestSupport.h"

namespace {

struct Item {
    int value = -1;
};

using ItemList = JOSC::OscList<Item>;

std::vector<int> values(ItemList& list)
{
    std::vector<int> out;
    for (auto it = list.begin(); it != list.end(); ++it) out.push_back(it->value);
    return out;
}

// The OSC heap of these tests: one recording manager, registered once per process.
constexpr unsigned char kTestHeap = 23;

OscTest::RecordingHeapManager& testHeap()
{
    static auto* manager = new OscTest::RecordingHeapManager;  // lives as long as the registry
    static const bool registered = JLIB::SubscribeHeapId(kTestHeap, *manager) == 0;
    EXPECT_TRUE(registered);
    return *manager;
}

class OscListHeapTest : public testing::Test {
protected:
    void SetUp() override
    {
        heap.live.clear();
        heap.allocations = 0;
        heap.refuseAllocation = 0;
        JOSC::setOscHeapId(kTestHeap);
    }
    void TearDown() override { JOSC::setOscHeapId(0); }

    std::vector<std::string> sortedTags() const
    {
        std::vector<std::string> tags = heap.liveTags();
        std::sort(tags.begin(), tags.end());
        return tags;
    }

    OscTest::RecordingHeapManager& heap = testHeap();
};

const std::vector<std::string> kListTags = {"OscList<T>::m_pListInfo", "OscList<T>::m_pObjects"};

}  // namespace

TEST(OscListTest, KeepsInsertionOrderAndReusesTheLowestFreeSlot)
{
    ItemList list(4);
    ASSERT_EQ(4u, list.capacity());
    std::vector<Item*> slots;
    for (int v : {10, 11, 12, 13}) {
        auto it = list.push_back(Item{v});
        ASSERT_NE(list.end(), it);
        slots.push_back(&*it);
    }
    EXPECT_EQ((std::vector<int>{10, 11, 12, 13}), values(list));

    // Free slot 2, then slot 0: the next two elements take 0 then 2, and go last in the chain.
    auto third = list.begin();
    ++++third;
    auto after = list.erase(third);
    EXPECT_EQ(13, after->value) << "erase answers the following position";
    (void)list.erase(list.begin());
    EXPECT_EQ((std::vector<int>{11, 13}), values(list));

    auto a = list.push_back(Item{20});
    auto b = list.push_back(Item{21});
    EXPECT_EQ(slots[0], &*a);
    EXPECT_EQ(slots[2], &*b);
    EXPECT_EQ((std::vector<int>{11, 13, 20, 21}), values(list));
}

TEST(OscListTest, FullListOrListWithoutStorageStoresNothing)
{
    ItemList full(2);
    (void)full.push_back(Item{1});
    (void)full.push_back(Item{2});
    EXPECT_EQ(full.end(), full.push_back(Item{3}));
    EXPECT_EQ((std::vector<int>{1, 2}), values(full));

    ItemList none;
    EXPECT_EQ(0u, none.capacity());
    EXPECT_EQ(none.end(), none.push_back(Item{1}));
    EXPECT_EQ(none.begin(), none.end());
}

TEST(OscListTest, InitializeRefusesZeroAndASecondCall)
{
    ItemList list;
    EXPECT_EQ(0x80000000u, list.initialize(0));
    EXPECT_EQ(0u, list.capacity());
    EXPECT_EQ(0u, list.initialize(3));
    EXPECT_EQ(0x80000000u, list.initialize(5));
    EXPECT_EQ(3u, list.capacity());
}

TEST(OscListTest, EndDereferencesToADefaultElement)
{
    JOSC::OscList<JOSC::OscMeterSetting> list(2);
    ASSERT_NE(list.end(), list.push_back(JOSC::OscMeterSetting(1, 0)));
    auto end = list.end();
    EXPECT_EQ(0xFFFFFFFFu, end->getAddressIndex());
    end->stop();  // changes only the iterator's own element
    EXPECT_EQ(1u, list.begin()->getAddressIndex());

    JOSC::OscList<JOSC::OscMeterSetting> empty;
    EXPECT_EQ(0xFFFFFFFFu, (*empty.end()).getAddressIndex());
    const JOSC::OscList<JOSC::OscMeterSetting>& constant = list;
    EXPECT_EQ(0xFFFFFFFFu, constant.end()->getAddressIndex());
    EXPECT_EQ(1u, constant.begin()->getAddressIndex());
}

TEST(OscListTest, EraseOfAPositionNotInTheChainChangesNothing)
{
    ItemList list(2);
    ItemList other(2);
    (void)list.push_back(Item{1});
    auto foreign = other.push_back(Item{9});

    EXPECT_EQ(list.end(), list.erase(list.end()));
    EXPECT_EQ(foreign, list.erase(foreign));
    EXPECT_EQ((std::vector<int>{1}), values(list));
    EXPECT_EQ((std::vector<int>{9}), values(other));
}

TEST_F(OscListHeapTest, StorageComesFromTheOscHeapWithItsTagsAndGoesBack)
{
    {
        JOSC::OscList<JOSC::OscMeterSetting> list(3);
        EXPECT_EQ(3u, list.capacity());
        EXPECT_EQ(kListTags, sortedTags());
        for (uint32_t i = 0; i < 3; ++i) (void)list.push_back(JOSC::OscMeterSetting(i, 0));
        EXPECT_EQ(2, heap.allocations) << "adding elements allocates nothing more";
    }
    EXPECT_TRUE(heap.live.empty());
}

TEST_F(OscListHeapTest, AFailedAllocationLeavesNothingAllocated)
{
    for (int refused : {1, 2}) {
        SCOPED_TRACE(refused);
        heap.allocations = 0;
        heap.refuseAllocation = refused;
        ItemList list;
        EXPECT_EQ(0x80000000u, list.initialize(4));
        EXPECT_EQ(0u, list.capacity());
        EXPECT_TRUE(heap.live.empty());
        EXPECT_EQ(list.end(), list.push_back(Item{1}));
    }
}

TEST_F(OscListHeapTest, SessionMeterListUsesTheOscHeap)
{
    JOSC::OscSessionData session;
    EXPECT_TRUE(heap.live.empty()) << "a constructed session has no meter storage";
    ASSERT_EQ(0u, session.initialize(10));
    EXPECT_EQ(kListTags, sortedTags());
}
