#include "MMS/Common/mms_DirtyFlagList.h"

#include <gtest/gtest.h>

#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MemfdSharedMemory.h"

namespace {

constexpr uint32_t kBadArgument = 0x80000002u;

TEST(DirtyFlagHolderTest, WithoutListEveryMarkIsRefused)
{
    MMS::DirtyFlagHolder holder(nullptr, 1, 5);
    MMS::IDirtyFlagHolder& marks = holder;
    EXPECT_EQ(kBadArgument, marks.set(0));
    EXPECT_EQ(kBadArgument, marks.setImportFlag(0));
    EXPECT_EQ(kBadArgument, marks.setImportSearcher(0));
}

// Tasks 1 (mode 0) and 2 (mode 4); the holder writes as task 1.
class DirtyFlagHolderListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(memory.isValid());
        ASSERT_EQ(0u, list.createMemoryArea(&wrapper));
        ASSERT_EQ(0u, list.setDirtySize(1));
        ASSERT_EQ(0u, list.setImportFlagSize(1));
        ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
        ASSERT_EQ(0u, list.append(&wrapper, 4, 2, 1, 0, 0));
    }
    void TearDown() override { EXPECT_EQ(0u, list.clear(&wrapper)); }

    uint8_t dirty(uint32_t task) const { return *list.getTaskDirtyMem(task); }

    MmsTest::MemfdSharedMemory memory{1u << 16};
    MMS::SharedMemWrapper wrapper{memory.view(0)};
    MMS::TaskItemList list;
};

TEST_F(DirtyFlagHolderListTest, MarksWithItsModeOwnTaskRuleAndLocalMode)
{
    MMS::DirtyFlagHolder holder(&list, 0, 1);
    EXPECT_EQ(0u, holder.set(0));
    EXPECT_EQ(0, dirty(1)) << "the writer is not marked";
    EXPECT_EQ(0x80, dirty(2));
    EXPECT_EQ(0, list.getDummyMemory()[0]) << "local mode is off at construction";

    EXPECT_EQ(0u, holder.changeSubscribeMode(4));
    EXPECT_EQ(0u, holder.changeLocalFlagMode(9));
    EXPECT_EQ(0u, holder.set(1));
    EXPECT_EQ(0x80, dirty(2)) << "task 2 does not want changes of mode 4";
    EXPECT_EQ(0x40, list.getDummyMemory()[0]);

    MMS::DirtyFlagHolder own(&list, 2, 1, 1);  // mode 2, mark own task
    EXPECT_EQ(0u, own.set(2));
    EXPECT_EQ(0u, own.setImportFlag(3));
    EXPECT_EQ(0u, own.setImportSearcher(4));
    EXPECT_EQ(0x20, dirty(1));
    EXPECT_EQ(0xA0, dirty(2));
    EXPECT_EQ(0x10, *list.getTaskImportFlagMem(1));
    EXPECT_EQ(0x08, *list.getTaskImportSearcherMem(2));
    EXPECT_EQ(0x40, list.getDummyMemory()[0]) << "local mode belongs to the other holder";
}

}  // namespace
