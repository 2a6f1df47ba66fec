// Subscriptions of a root, its change questions and searches, and the ordered-notify writer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_Root.h"
#include "RootValueFixture.h"
#include "comctrl/OrderedNotify/ISetOrderedNotify.h"

namespace {

using MmsTest::ValueRoot;
constexpr const uint32_t* kCh = ValueRoot::kCh;
constexpr const uint32_t* kBus = ValueRoot::kBus;

class RecordingWriter : public OrderedNotify::ISetOrderedNotify {
public:
    void release() override { ++releases; }
    uint32_t notify(uint32_t index) override
    {
        serials.push_back(index);
        return 0;
    }
    int releases = 0;
    std::vector<uint32_t> serials;
};

class RootChangesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.ready();
        ASSERT_EQ(0u, r.root->subscribe(0, 1, 2, 0, 0));  // two areas, both selections on area 0
    }
    ValueRoot r;
};

TEST_F(RootChangesTest, ChangedElementIsReportedUntilCleared)
{
    ASSERT_EQ(0x100u, r.set(3, kCh, 2, 1));
    EXPECT_EQ(1, r.changed(1, kCh, 2, 1));
    EXPECT_EQ(1, r.changed(1, kCh, 2, 1, 1));
    EXPECT_EQ(0, r.changed(1, kCh, 2, 1));
    // The string form addresses the same element.
    ASSERT_EQ(0x100u, r.set(4, kCh, 2, 1));
    const uint32_t indices[2] = {2, 1};
    uint8_t out = 0;
    EXPECT_EQ(0u, r.root->isChanged(&out, "/Mix/Ch/Gain", 12, indices, 2, 0, 1));
    EXPECT_EQ(1, out);
    EXPECT_EQ(0x80000006u, r.root->isChanged(&out, "Ch/Gain", 7, indices, 1, 0, 1));  // too few indices

    // Unknown task, missing vectors, a root not ready.
    EXPECT_EQ(0x80000002u, r.root->isChangedFast(&out, kCh, indices, 2, 0, 77));
    EXPECT_EQ(0x80000006u, r.root->isChangedFast(&out, nullptr, indices, 2, 0, 1));
    ValueRoot laidOut;
    EXPECT_EQ(0x80000004u, laidOut.root->isChangedFast(&out, kCh, indices, 2, 0, 1));
    uint32_t nodes[5] = {};
    uint32_t found[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(0x80000004u, laidOut.root->getChangedPrmAddrFast(nullptr, nullptr, nodes, found, &depth, 5, nullptr,
                                                               nullptr, 0, 0, 1));
}

TEST_F(RootChangesTest, RaiseAndClearWholeArea)
{
    EXPECT_EQ(0u, r.root->raiseDirtyFlag(1));
    EXPECT_EQ(1, r.changed(1, kBus, 1, 1));
    EXPECT_EQ(1, r.changed(1, kCh, 3, 2));
    EXPECT_EQ(0u, r.root->clearDirtyFlag(1));
    EXPECT_EQ(0, r.changed(1, kBus, 1, 1));
    EXPECT_EQ(0x80000002u, r.root->raiseDirtyFlag(5));
    EXPECT_EQ(0x80000002u, r.root->clearDirtyFlag(5));
    // A second subscription is one more reference; the task stays until the last unsubscribe.
    EXPECT_EQ(0u, r.root->subscribe(0, 1, 2, 0, 0));
    EXPECT_EQ(0u, r.root->unsubscribe(1));
    EXPECT_NE(nullptr, r.root->getTaskDirtyMem(1));
    EXPECT_EQ(0u, r.root->unsubscribe(1));
    EXPECT_EQ(nullptr, r.root->getTaskDirtyMem(1));
}

TEST_F(RootChangesTest, NewGettingAreaTakesTheUnreadBits)
{
    ASSERT_EQ(0x100u, r.set(5, kBus, 1, 0));
    uint8_t* area0 = r.root->getTaskDirtyMem(1);
    ASSERT_NE(nullptr, area0);
    const uint32_t size = r.root->getTaskItemList().getDirtyMemSize();
    const std::vector<uint8_t> before(area0, area0 + size);

    // The same area: nothing moves.
    EXPECT_EQ(0u, r.root->setGettingDirtyArea(1, 0));
    EXPECT_EQ(before, std::vector<uint8_t>(area0, area0 + size));

    EXPECT_EQ(0u, r.root->setGettingDirtyArea(1, 1));
    uint8_t* area1 = r.root->getTaskDirtyMem(1);
    ASSERT_NE(area0, area1);
    EXPECT_EQ(before, std::vector<uint8_t>(area1, area1 + size));
    EXPECT_EQ(std::vector<uint8_t>(size, 0), std::vector<uint8_t>(area0, area0 + size));
    EXPECT_EQ(1, r.changed(1, kBus, 1, 0));

    // Writes still mark the setting area (0); moving back carries the unread bit of area 1 along.
    ASSERT_EQ(0x100u, r.set(6, kCh, 0, 0));
    EXPECT_EQ(0, r.changed(1, kCh, 0, 0));
    EXPECT_EQ(0u, r.root->setGettingDirtyArea(1, 0));
    EXPECT_EQ(1, r.changed(1, kCh, 0, 0));
    EXPECT_EQ(1, r.changed(1, kBus, 1, 0));
    EXPECT_EQ(std::vector<uint8_t>(size, 0), std::vector<uint8_t>(area1, area1 + size));

    // An old area whose summary bit is clear carries nothing.
    EXPECT_EQ(0u, r.root->clearDirtyFlag(1));
    area0[size - 1] = 0x01;  // a stray bit without the summary bit
    EXPECT_EQ(0u, r.root->setGettingDirtyArea(1, 1));
    EXPECT_EQ(0x01, area0[size - 1]);
    EXPECT_EQ(0x80000007u, r.root->setGettingDirtyArea(8, 1));
}

TEST_F(RootChangesTest, SearchesWalkChangesInTreeOrder)
{
    uint32_t nodes[5] = {};
    uint32_t indexes[5] = {};
    uint32_t depth = 0;
    JVariant value;
    uint8_t factor = 0;
    EXPECT_EQ(0x80000007u,
              r.root->getChangedPrmAddrFast(&value, &factor, nodes, indexes, &depth, 5, nullptr, nullptr, 0, 1, 1));
    EXPECT_EQ(0x80000002u,
              r.root->getChangedPrmAddrFast(&value, &factor, nullptr, indexes, &depth, 5, nullptr, nullptr, 0, 1, 1));
    EXPECT_EQ(0x80000002u,
              r.root->getChangedPrmAddrFast(&value, &factor, nodes, indexes, &depth, 5, nullptr, nullptr, 0, 1, 77));

    ASSERT_EQ(0x100u, r.set(-7, kBus, 1, 1, 4));
    ASSERT_EQ(0x100u, r.set(9, kCh, 3, 0, 2));
    ASSERT_EQ(0x100u, r.set(8, kCh, 0, 2, 3));
    struct Found {
        std::vector<uint32_t> nodes;
        std::vector<uint32_t> indexes;
        int value;
        int factor;
        bool operator==(const Found&) const = default;
    };
    std::vector<Found> walk;
    while (r.root->getChangedPrmAddrFast(&value, &factor, nodes, indexes, &depth, 5, nodes, indexes, depth, 1, 1) ==
           0) {
        walk.push_back({{nodes, nodes + depth}, {indexes, indexes + depth}, value.toInt32(), factor});
        ASSERT_LT(walk.size(), 10u);
    }
    const std::vector<Found> expected = {
        {{0, 0}, {0, 2}, 8, 3}, {{0, 0}, {3, 0}, 9, 2}, {{1, 0}, {1, 1}, -7, 4}};
    EXPECT_EQ(expected, walk);

    // The text form names the node path.
    ASSERT_EQ(0x100u, r.set(1, kBus, 0, 0));
    char text[64];
    uint32_t found[5] = {};
    EXPECT_EQ(0u, r.root->getChangedPrmAddr(&value, &factor, text, sizeof text, found, &depth, 5, "", 0, nullptr, 0,
                                            0, 1, 1));
    EXPECT_STREQ("/Mix/Bus/Level", text);
    EXPECT_EQ(2u, depth);
    EXPECT_EQ(0u, found[0]);
    EXPECT_EQ(0u, found[1]);

    // Channels of one parameter.
    ASSERT_EQ(0x100u, r.set(2, kCh, 1, 1));
    uint32_t start[2] = {0, 0};
    EXPECT_EQ(0u, r.root->getChangedPrmChFast(&value, &factor, found, &depth, 5, kCh, start, 2, 1, 1));
    EXPECT_EQ(2u, depth);
    EXPECT_EQ(1u, found[0]);
    EXPECT_EQ(1u, found[1]);
    EXPECT_EQ(2, value.toInt32());
    EXPECT_EQ(0x80000002u, r.root->getChangedPrmCh(&value, &factor, found, &depth, 5, nullptr, 0, start, 2, 1, 1));
    EXPECT_EQ(0x80000002u,
              r.root->getChangedPrmCh(&value, &factor, found, &depth, 5, "Ch/Gain", 7, start, 1, 1, 1));
    EXPECT_EQ(0x80000007u,
              r.root->getChangedPrmCh(&value, &factor, found, &depth, 5, "Ch/Gain", 7, start, 2, 1, 1));
}

TEST_F(RootChangesTest, ImportQuestionsNeedTheImportMemories)
{
    uint8_t out = 9;
    const uint32_t chNode[1] = {0};
    const uint32_t one[1] = {1};
    const uint8_t* flags = nullptr;
    (void)flags;
    EXPECT_EQ(0u, r.root->isImportedFast(&out, chNode, one, 1, 0, 1));
    EXPECT_EQ(0, out);
    EXPECT_EQ(0x80000002u, r.root->isImportedFast(&out, chNode, one, 1, 0, 42));
    uint32_t nodes[5] = {};
    uint32_t indexes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(0x80000007u,
              r.root->getImportedCollectionAddrFast(nodes, indexes, &depth, 5, nullptr, nullptr, 0, 1, 1));
    EXPECT_EQ(0x80000002u,
              r.root->getImportedCollectionAddrFast(nodes, indexes, &depth, 5, nullptr, nullptr, 0, 1, 42));
    uint8_t dirty = 9;
    EXPECT_EQ(0x80000002u, r.root->getTransactionDirty(&dirty, 42));
}

TEST(RootOrderedNotifyTest, FirstWriterStaysAndHearsChanges)
{
    RecordingWriter first;
    RecordingWriter second;
    {
        ValueRoot r;
        EXPECT_EQ(0x80000004u, r.root->attachOrderedNotify(&static_cast<OrderedNotify::ISetOrderedNotify&>(first)));
        r.ready();
        EXPECT_EQ(0u, r.root->attachOrderedNotify(static_cast<OrderedNotify::ISetOrderedNotify*>(&first)));
        EXPECT_EQ(2u, r.root->attachOrderedNotify(static_cast<OrderedNotify::ISetOrderedNotify*>(&second)));
        EXPECT_EQ(2u, r.root->attachOrderedNotify(nullptr));
        ASSERT_EQ(0x100u, r.set(1, kCh, 0, 1));
        ASSERT_EQ(0u, r.set(1, kCh, 0, 1));
        ASSERT_EQ(0x100u, r.set(1, kCh, 1, 0));
        EXPECT_EQ((std::vector<uint32_t>{1, 3}), first.serials);
        EXPECT_TRUE(second.serials.empty());
    }
    EXPECT_EQ(1, first.releases);
    EXPECT_EQ(0, second.releases);
}

TEST_F(RootChangesTest, TaskListAndAdditionFlag)
{
    MMS::T_TASK_LIST list;
    EXPECT_EQ(0x80000002u, r.root->getTaskList(nullptr));
    EXPECT_EQ(0u, r.root->getTaskList(&list));
    EXPECT_NE(nullptr, list.origin);
    EXPECT_NE(0, list.first);
    EXPECT_EQ(0u, r.root->setAdditionFlag(1, 1));
    EXPECT_EQ(1u, r.root->getAdditionFlag(1));
    EXPECT_EQ(0x80000007u, r.root->getAdditionFlag(3));
}

}  // namespace
