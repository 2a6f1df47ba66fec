#include "MMS/Common/mms_DirtyFlagList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MemfdSharedMemory.h"
#include "MmsTestHeap.h"

using MMS::TaskItemList;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kNotFound = 0x80000007u;
constexpr uint32_t kLimit = 0x80000008u;

// The task ids of a task list, walked the way the change-event callback walks it.
std::vector<uint32_t> taskChain(const MMS::T_TASK_LIST& list)
{
    std::vector<uint32_t> ids;
    const auto* origin = reinterpret_cast<const unsigned char*>(list.origin);
    for (int64_t at = list.first; at != 0 && ids.size() < 100;) {
        const auto* item = reinterpret_cast<const MMS::T_TASK_ITEM*>(origin + at);
        ids.push_back(item->taskId);
        at = item->next;
    }
    return ids;
}

std::vector<uint32_t> taskChain(const TaskItemList& list)
{
    return taskChain(MMS::T_TASK_LIST{list.getListOrigin(), list.getFrontTaskItem()});
}

// One root's task list in shared memory: two dirty bytes per area, one import byte.
class TaskItemListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(memory.isValid());
        ASSERT_EQ(0u, list.createMemoryArea(&wrapper));
        ASSERT_EQ(0u, list.setDirtySize(2));
        ASSERT_EQ(0u, list.setImportFlagSize(1));
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, list.clear(&wrapper));
        EXPECT_EQ(0u, memory.liveBlocks()) << "blocks left in the task memory";
    }

    // Area index of the setting area of a task (its offset against the dirty memory).
    int64_t settingAreaIndex(uint32_t taskId) const
    {
        const TaskItemList::_T_APP_INFO* item = list.find(taskId);
        return (item->settingArea - item->dirtyMemory) / list.getDirtyMemSize();
    }

    MmsTest::MemfdSharedMemory memory;
    MMS::SharedMemWrapper wrapper{memory.view(0)};
    TaskItemList list;
};

TEST_F(TaskItemListTest, CountsReferencesPerTaskId)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 5, 1, 0, 0));
    ASSERT_EQ(0u, list.append(&wrapper, 0, 5, 1, 0, 0));
    EXPECT_EQ(2, list.getReferenceCount(5));
    EXPECT_EQ(std::vector<uint32_t>{5}, taskChain(list));

    EXPECT_EQ(0u, list.erase(&wrapper, 5));
    EXPECT_EQ(1, list.getReferenceCount(5));
    EXPECT_NE(nullptr, list.find(5));
    EXPECT_EQ(0u, list.erase(&wrapper, 5));
    EXPECT_EQ(nullptr, list.find(5));
    EXPECT_EQ(1u, memory.liveBlocks()) << "item, task item, dirty and import memories freed";
    EXPECT_EQ(0u, list.erase(&wrapper, 5));
    EXPECT_EQ(0, list.getReferenceCount(5));
}

TEST_F(TaskItemListTest, RefusesTheSubscriptionThatWouldWrapTheReferenceCount)
{
    for (int i = 0; i < 32767; ++i) ASSERT_EQ(0u, list.append(&wrapper, 0, 5, 1, 0, 0)) << i;
    EXPECT_EQ(32767, list.getReferenceCount(5));
    EXPECT_EQ(kLimit, list.append(&wrapper, 0, 5, 1, 0, 0));
    EXPECT_EQ(32767, list.getReferenceCount(5));
    EXPECT_EQ(0u, list.erase(&wrapper, 5));
    EXPECT_EQ(32766, list.getReferenceCount(5));
}

TEST_F(TaskItemListTest, AppendRefusesBadUseAndCreatesNothing)
{
    struct Case {
        const char* what;
        bool withWrapper;
        uint32_t areas;
        uint32_t setting;
        uint32_t getting;
        uint32_t result;
    };
    const Case cases[] = {
        {"no wrapper", false, 1, 0, 0, kMissing},
        {"no areas", true, 0, 0, 0, kBadArgument},
        {"setting index equal to the area count", true, 2, 2, 0, kBadArgument},
        {"getting index beyond the area count", true, 2, 0, 7, kBadArgument},
        // 0x80000000 areas of 2 bytes: the product does not fit in 32 bits.
        {"dirty memory beyond 32 bits", true, 0x80000000u, 0, 0, kBadArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int allocations = memory.allocations();
        EXPECT_EQ(c.result, list.appendItem(c.withWrapper ? &wrapper : nullptr, 0, 9, c.areas, c.setting, c.getting));
        EXPECT_EQ(nullptr, list.find(9));
        EXPECT_EQ(allocations, memory.allocations()) << "refused before taking memory";
    }

    TaskItemList withoutOrigin;
    EXPECT_EQ(kBadArgument, withoutOrigin.appendItem(&wrapper, 0, 9, 1, 0, 0));
}

TEST_F(TaskItemListTest, FailedAppendFreesWhatItTookAndMissingImportBlocksAreNoFailure)
{
    // Blocks in order: item, task item, dirty memory, import flags, import searchers.
    struct Case {
        int allowed;
        uint32_t result;
        bool flags;
        bool searchers;
    };
    const Case cases[] = {
        {0, kNoMemory, false, false}, {1, kNoMemory, false, false}, {2, kNoMemory, false, false},
        {3, 0, false, false},         {4, 0, true, false},          {-1, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.allowed);
        memory.refuseAfter(c.allowed);
        EXPECT_EQ(c.result, list.append(&wrapper, 0, 4, 2, 0, 1));
        memory.refuseAfter(-1);
        if (c.result != 0) {
            EXPECT_EQ(nullptr, list.find(4));
            EXPECT_EQ(1u, memory.liveBlocks()) << "only the origin cell";
            EXPECT_EQ(0, *list.getListOrigin());
            continue;
        }
        EXPECT_EQ(c.flags, list.getTaskImportFlagMem(4) != nullptr);
        EXPECT_EQ(c.searchers, list.getTaskImportSearcherMem(4) != nullptr);
        // An import mark for a task without the memory is dropped, not written anywhere.
        EXPECT_EQ(0u, list.setImportFlag(0, 0, 1, 0));
        uint8_t dirty = 0x5A;
        EXPECT_EQ(c.searchers && c.flags ? 0u : kBadArgument, list.getTransactionDirty(&dirty, 4));
        EXPECT_EQ(c.searchers && c.flags ? 1 : 0x5A, dirty);
        const uint8_t* area = list.getTaskDirtyMem(4);
        ASSERT_NE(nullptr, area);
        EXPECT_EQ(list.getRelative(area), list.find(4)->dirtyMemory + 2) << "getting index 1 of 2";
        EXPECT_EQ(0, area[0] | area[1] | area[-1] | area[-2]) << "dirty memory cleared";
        EXPECT_EQ(0u, list.eraseItem(&wrapper, 4));
        EXPECT_EQ(1u, memory.liveBlocks());
    }
}

TEST_F(TaskItemListTest, KeepsItemsAndTaskItemsInTwoParallelChains)
{
    EXPECT_EQ(0, list.getFrontTaskItem());
    EXPECT_EQ(nullptr, list.front());
    for (uint32_t id : {3u, 7u, 8u}) ASSERT_EQ(0u, list.append(&wrapper, 0, id, 1, 0, 0));
    EXPECT_EQ((std::vector<uint32_t>{3, 7, 8}), taskChain(list));

    // Removing from the middle, the front and the end keeps both chains and the back links right.
    EXPECT_EQ(0u, list.erase(&wrapper, 7));
    EXPECT_EQ((std::vector<uint32_t>{3, 8}), taskChain(list));
    EXPECT_EQ(list.find(3), list.getAbsolute(list.find(8)->previous));
    EXPECT_EQ(0u, list.erase(&wrapper, 3));
    EXPECT_EQ(std::vector<uint32_t>{8}, taskChain(list));
    EXPECT_EQ(0, list.find(8)->previous);
    ASSERT_EQ(0u, list.append(&wrapper, 0, 9, 1, 0, 0));
    EXPECT_EQ((std::vector<uint32_t>{8, 9}), taskChain(list));
    EXPECT_EQ(0u, list.erase(&wrapper, 9));
    EXPECT_EQ(std::vector<uint32_t>{8}, taskChain(list));
    EXPECT_EQ(0, list.find(8)->next);
}

TEST_F(TaskItemListTest, MarksEveryTaskWhoseModeSharesNoBitWithTheWrite)
{
    // Tasks 10 to 13 subscribe with modes 0 to 3.
    for (uint32_t mode = 0; mode < 4; ++mode) ASSERT_EQ(0u, list.append(&wrapper, mode, 10 + mode, 1, 0, 0));
    struct Case {
        uint32_t mode;
        uint32_t writer;
        uint8_t markOwn;
        std::vector<uint32_t> marked;
    };
    const std::vector<Case> cases = {
        {1, 99, 0, {10, 12}},
        {0, 99, 0, {10, 11, 12, 13}},
        {2, 99, 0, {10, 11}},
        {0, 10, 0, {11, 12, 13}},  // the writer is passed over
        {0, 10, 1, {10, 11, 12, 13}},
        {1, 11, 1, {10, 12}},  // marking its own item does not lift the mode rule
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " writer " << c.writer << " own " << int(c.markOwn));
        for (uint32_t id = 10; id < 14; ++id) ASSERT_EQ(0u, list.resetDirtyFlag(id));
        EXPECT_EQ(0u, list.setDirtyFlag(c.mode, 9, c.writer, c.markOwn, 0));
        std::vector<uint32_t> marked;
        for (uint32_t id = 10; id < 14; ++id) {
            const uint8_t* area = list.getTaskDirtyMem(id);
            if (area[1] == 0x40 && area[0] == 0) marked.push_back(id);  // bit 9: byte 1, mask 0x80 >> 1
            else EXPECT_EQ(0, area[0] | area[1]) << id;
        }
        EXPECT_EQ(c.marked, marked);
    }
}

TEST_F(TaskItemListTest, ImportMarksGoToTheirOwnMemoriesAndABitBeyondAMemoryIsNotMarked)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    EXPECT_EQ(0u, list.setImportFlag(0, 2, 99, 0));
    EXPECT_EQ(0u, list.setImportSearcher(0, 7, 99, 0));
    EXPECT_EQ(0x20, *list.getTaskImportFlagMem(1));
    EXPECT_EQ(0x01, *list.getTaskImportSearcherMem(1));
    const uint8_t* area = list.getTaskDirtyMem(1);
    EXPECT_EQ(0, area[0] | area[1]);

    // The import memories are one byte, the areas two: bit 8 fits only an area.
    EXPECT_EQ(0u, list.setImportFlag(0, 8, 99, 0));
    EXPECT_EQ(0u, list.setDirtyFlag(0, 16, 99, 0, 1));
    EXPECT_EQ(0x20, *list.getTaskImportFlagMem(1));
    EXPECT_EQ(0, area[0] | area[1]);
    EXPECT_EQ(0, list.getDummyMemory()[0] | list.getDummyMemory()[1]);
    EXPECT_EQ(0u, list.setDirtyFlag(0, 8, 99, 0, 0));
    EXPECT_EQ(0x80, area[1]);
}

TEST_F(TaskItemListTest, LocalModeMarksTheDummyMemoryEvenWithoutSubscribers)
{
    EXPECT_EQ(0u, list.setDirtyFlag(0, 3, 1, 0, 0));
    EXPECT_EQ(0, list.getDummyMemory()[0]);
    EXPECT_EQ(0u, list.setDirtyFlag(0, 3, 1, 0, 1));
    EXPECT_EQ(0x10, list.getDummyMemory()[0]);
    EXPECT_EQ(0u, list.setDirtyFlag(1, 15, 1, 0, 1));
    EXPECT_EQ(0x01, list.getDummyMemory()[1]);
}

TaskItemList::_T_APP_INFO* nextItem(const TaskItemList& list, const TaskItemList::_T_APP_INFO& item)
{
    return item.next == 0 ? nullptr : static_cast<TaskItemList::_T_APP_INFO*>(list.getAbsolute(item.next));
}

// Every byte a mark can reach: the dummy memory, then per task its whole dirty memory and its
// import memories.
std::vector<uint8_t> markBytes(const TaskItemList& list)
{
    std::vector<uint8_t> bytes(list.getDummyMemory(), list.getDummyMemory() + list.getDirtyMemSize());
    for (const TaskItemList::_T_APP_INFO* item = list.front(); item != nullptr; item = nextItem(list, *item)) {
        const auto* dirty = static_cast<const uint8_t*>(list.getAbsolute(item->dirtyMemory));
        bytes.insert(bytes.end(), dirty, dirty + item->areaCount * list.getDirtyMemSize());
        for (const int64_t import : {item->importFlags, item->importSearchers}) {
            if (import == 0) continue;
            const auto* flags = static_cast<const uint8_t*>(list.getAbsolute(import));
            bytes.insert(bytes.end(), flags, flags + list.getImportFlagMemSize());
        }
    }
    return bytes;
}

void clearMarks(TaskItemList& list)
{
    ASSERT_EQ(0u, list.deleteDummyMemory());
    ASSERT_EQ(0u, list.setDirtySize(2));  // a fresh, cleared dummy memory
    for (TaskItemList::_T_APP_INFO* item = list.front(); item != nullptr; item = nextItem(list, *item)) {
        std::memset(list.getAbsolute(item->dirtyMemory), 0, item->areaCount * list.getDirtyMemSize());
        for (const int64_t import : {item->importFlags, item->importSearchers}) {
            if (import != 0) std::memset(list.getAbsolute(import), 0, list.getImportFlagMemSize());
        }
    }
}

// Marking all bits of a write in one walk must leave exactly the bytes that marking them one by
// one leaves, for every mode, writer, own-task and local rule, into the setting area only, and
// never past a memory (bit 16 is beyond the two-byte areas, and would land in task 14's next
// area; bits 8 and up are beyond the import byte).
TEST_F(TaskItemListTest, MarkingManyBitsInOneWalkEqualsMarkingThemOneByOne)
{
    for (uint32_t mode = 0; mode < 4; ++mode) ASSERT_EQ(0u, list.append(&wrapper, mode, 10 + mode, 1, 0, 0));
    ASSERT_EQ(0u, list.append(&wrapper, 0, 14, 3, 1, 0));  // marks go to area 1 of 3
    memory.refuseAfter(3);                                 // task 15 gets no import memories
    ASSERT_EQ(0u, list.append(&wrapper, 0, 15, 1, 0, 0));
    memory.refuseAfter(-1);
    ASSERT_EQ(nullptr, list.getTaskImportFlagMem(15));

    const std::vector<uint32_t> bits = {0, 9, 15, 16, 9, 7, 31};
    const TaskItemList::ImportFlagSelector importFlags;
    const TaskItemList::ImportSearcherSelector importSearchers;
    for (uint32_t mode = 0; mode < 4; ++mode) {
        for (const uint32_t writer : {99u, 10u, 11u, 14u}) {
            for (const uint8_t markOwn : {uint8_t{0}, uint8_t{1}}) {
                for (const uint8_t local : {uint8_t{0}, uint8_t{1}}) {
                    SCOPED_TRACE(testing::Message() << "mode " << mode << " writer " << writer << " own "
                                                    << int(markOwn) << " local " << int(local));
                    clearMarks(list);
                    for (const uint32_t bit : bits) {
                        EXPECT_EQ(0u, list.setDirtyFlag(mode, bit, writer, markOwn, local));
                        EXPECT_EQ(0u, list.setImportFlag(mode, bit, writer, markOwn));
                        EXPECT_EQ(0u, list.setImportSearcher(mode, bit, writer, markOwn));
                    }
                    const std::vector<uint8_t> oneByOne = markBytes(list);

                    clearMarks(list);
                    EXPECT_EQ(0u, list.setDirtyFlags(mode, bits.data(), uint32_t(bits.size()), writer, markOwn, local));
                    EXPECT_EQ(0u, list.setTaskFlags(mode, bits.data(), uint32_t(bits.size()), writer, markOwn, 0,
                                                    importFlags));
                    EXPECT_EQ(0u, list.setTaskFlags(mode, bits.data(), uint32_t(bits.size()), writer, markOwn, 0,
                                                    importSearchers));
                    EXPECT_EQ(oneByOne, markBytes(list));

                    // The bytes themselves, from the rules: bits 0, 7, 9, 15 in the setting area,
                    // bits 0 and 7 in each import memory.
                    const std::vector<uint8_t> area = {0x81, 0x41};
                    std::vector<uint8_t> expected = local != 0 ? area : std::vector<uint8_t>{0, 0};
                    for (uint32_t id = 10; id < 16; ++id) {
                        const uint32_t taskMode = id < 14 ? id - 10 : 0;
                        const bool marked = (id != writer || markOwn != 0) && (taskMode & mode) == 0;
                        const uint32_t areas = id == 14 ? 3 : 1;
                        for (uint32_t a = 0; a < areas; ++a) {
                            const bool setting = id != 14 || a == 1;
                            expected.push_back(marked && setting ? area[0] : 0);
                            expected.push_back(marked && setting ? area[1] : 0);
                        }
                        if (id != 15) {
                            expected.push_back(marked ? 0x81 : 0);
                            expected.push_back(marked ? 0x81 : 0);
                        }
                    }
                    EXPECT_EQ(expected, markBytes(list));
                }
            }
        }
    }
    // No bits, or none given, mark nothing.
    clearMarks(list);
    EXPECT_EQ(0u, list.setDirtyFlags(0, nullptr, 3, 99, 1, 1));
    EXPECT_EQ(0u, list.setDirtyFlags(0, bits.data(), 0, 99, 1, 1));
    for (const uint8_t byte : markBytes(list)) EXPECT_EQ(0, byte);
}

// A holder that defers keeps its bits until flushed, then marks them under the mode and local
// rule they were set under; a change of either flushes first, and so does the holder's end.
TEST_F(TaskItemListTest, DeferredHolderMarksTheKeptBitsUnderTheirOwnMode)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 10, 1, 0, 0));
    ASSERT_EQ(0u, list.append(&wrapper, 1, 11, 1, 0, 0));
    const uint8_t* ten = list.getTaskDirtyMem(10);
    const uint8_t* eleven = list.getTaskDirtyMem(11);
    {
        MMS::DirtyFlagHolder holder(&list, 0, 0, 99);
        EXPECT_EQ(0u, holder.deferMarks(1));
        EXPECT_EQ(0u, holder.set(0));
        EXPECT_EQ(0u, holder.set(9));
        EXPECT_EQ(0, ten[0] | ten[1]);  // kept, not yet marked
        EXPECT_EQ(0u, holder.flush());
        EXPECT_EQ(0x80, ten[0]);
        EXPECT_EQ(0x40, eleven[1]);

        ASSERT_EQ(0u, list.resetDirtyFlag(10));
        ASSERT_EQ(0u, list.resetDirtyFlag(11));
        EXPECT_EQ(0u, holder.set(1));
        EXPECT_EQ(0u, holder.changeSubscribeMode(1));  // bit 1 was set under mode 0: both tasks
        EXPECT_EQ(0x40, ten[0]);
        EXPECT_EQ(0x40, eleven[0]);
        EXPECT_EQ(0u, holder.set(2));
        EXPECT_EQ(0u, holder.changeLocalFlagMode(1));  // bit 2 under mode 1, not local
        EXPECT_EQ(0x60, ten[0]);
        EXPECT_EQ(0x40, eleven[0]);
        EXPECT_EQ(0, list.getDummyMemory()[0]);

        // More bits than the holder keeps: none is lost. The last ones go when the holder ends.
        for (uint32_t bit = 0; bit < 16; ++bit) EXPECT_EQ(0u, holder.set(bit));
    }
    EXPECT_EQ(0xFF, ten[0]);
    EXPECT_EQ(0xFF, ten[1]);
    EXPECT_EQ(0x40, eleven[0]);
    EXPECT_EQ(0xFF, list.getDummyMemory()[0]);
    EXPECT_EQ(0xFF, list.getDummyMemory()[1]);

    // Turning deferral off marks at once; without a list every mark is still refused.
    MMS::DirtyFlagHolder holder(&list, 0, 0, 99);
    ASSERT_EQ(0u, list.resetDirtyFlag(10));
    EXPECT_EQ(0u, holder.deferMarks(1));
    EXPECT_EQ(0u, holder.set(3));
    EXPECT_EQ(0u, holder.deferMarks(0));
    EXPECT_EQ(0x10, ten[0]);
    EXPECT_EQ(0u, holder.set(4));
    EXPECT_EQ(0x18, ten[0]);
    MMS::DirtyFlagHolder none(nullptr, 0, 0);
    EXPECT_EQ(0u, none.deferMarks(1));
    EXPECT_EQ(kBadArgument, none.set(1));
}

TEST_F(TaskItemListTest, MovesAreasByIndexModuloTheAreaCount)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 2, 0, 0));
    struct Case {
        uint32_t index;
        int64_t area;
    };
    for (const Case& c : {Case{5, 1}, Case{0, 0}, Case{3, 1}, Case{4, 0}}) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(0u, list.setSettingDirtyArea(1, c.index));
        EXPECT_EQ(c.area, settingAreaIndex(1));
    }
    EXPECT_EQ(0u, list.setGettingDirtyArea(1, 7));
    EXPECT_EQ(list.find(1)->dirtyMemory + 2, list.getRelative(list.getTaskDirtyMem(1)));
    EXPECT_EQ(kNotFound, list.setSettingDirtyArea(2, 0));
    EXPECT_EQ(kNotFound, list.setGettingDirtyArea(2, 0));

    int64_t area = 77;
    EXPECT_EQ(kFailed, list.setDirtyArea(area, 40, 0, 3));
    EXPECT_EQ(40, area);
    EXPECT_EQ(0u, list.setDirtyArea(area, 40, 3, 5));
    EXPECT_EQ(44, area);

    // Marks go into the setting area while the getting area is read.
    ASSERT_EQ(0u, list.setSettingDirtyArea(1, 1));
    ASSERT_EQ(0u, list.setGettingDirtyArea(1, 0));
    EXPECT_EQ(0u, list.setDirtyFlag(0, 0, 99, 0, 0));
    const uint8_t* memoryOfTask = list.getTaskDirtyMem(1);
    EXPECT_EQ(0, memoryOfTask[0]);
    EXPECT_EQ(0x80, memoryOfTask[2]);
}

TEST_F(TaskItemListTest, RaisingAndClearingAllFlagsActOnAreaZero)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 2, 1, 1));
    const uint8_t* dirty = static_cast<const uint8_t*>(list.getAbsolute(list.find(1)->dirtyMemory));
    EXPECT_EQ(0u, list.setDirtyFlag(1));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0, 0}), std::vector<uint8_t>(dirty, dirty + 4));
    EXPECT_EQ(0u, list.setDirtyFlag(0, 0, 99, 0, 0));  // into area 1
    EXPECT_EQ(0u, list.resetDirtyFlag(1));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0x80, 0}), std::vector<uint8_t>(dirty, dirty + 4));
    EXPECT_EQ(kBadArgument, list.setDirtyFlag(2));
    EXPECT_EQ(kBadArgument, list.resetDirtyFlag(2));
}

TEST_F(TaskItemListTest, TransactionDirtyReadsTheSearchersThenTheImportFlags)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    uint8_t* searchers = list.getTaskImportSearcherMem(1);
    uint8_t* flags = list.getTaskImportFlagMem(1);
    struct Case {
        uint8_t searchers;
        uint8_t flags;
        uint8_t dirty;
    };
    const Case cases[] = {{0x80, 0x00, 1}, {0x80, 0x80, 1}, {0x00, 0x80, 1}, {0x00, 0x00, 0}, {0x7F, 0x7F, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.searchers) << "/" << int(c.flags));
        *searchers = c.searchers;
        *flags = c.flags;
        uint8_t dirty = 0x5A;
        EXPECT_EQ(0u, list.getTransactionDirty(&dirty, 1));
        EXPECT_EQ(c.dirty, dirty);
    }
    uint8_t untouched = 0x5A;
    EXPECT_EQ(kBadArgument, list.getTransactionDirty(nullptr, 1));
    EXPECT_EQ(kBadArgument, list.getTransactionDirty(&untouched, 2));
    EXPECT_EQ(0x5A, untouched);
}

TEST_F(TaskItemListTest, RootAdditionFlagIsZeroOrOnePerTask)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    EXPECT_EQ(0u, list.getRootAdditionFlag(1));
    EXPECT_EQ(0u, list.setRootAdditionFlag(7, 1));
    EXPECT_EQ(1u, list.getRootAdditionFlag(1));
    EXPECT_EQ(0u, list.setRootAdditionFlag(0, 1));
    EXPECT_EQ(0u, list.getRootAdditionFlag(1));
    EXPECT_EQ(0u, list.setRootAdditionFlag(1, 2));
    EXPECT_EQ(kNotFound, list.getRootAdditionFlag(2));
}

TEST_F(TaskItemListTest, SizesAndOriginAreSetOnce)
{
    const uint8_t* dummy = list.getDummyMemory();
    EXPECT_EQ(kBadArgument, list.setDirtySize(8));
    EXPECT_EQ(2u, list.getDirtyMemSize());
    EXPECT_EQ(dummy, list.getDummyMemory());
    EXPECT_EQ(kBadArgument, list.setImportFlagSize(4));
    EXPECT_EQ(1u, list.getImportFlagMemSize());
    const int64_t cell = 0;
    EXPECT_EQ(kBadArgument, list.joint(&cell));
    EXPECT_EQ(kBadArgument, TaskItemList().joint(nullptr));
    EXPECT_EQ(kMissing, list.createMemoryArea(nullptr));

    // A second origin clears the first list, whose blocks go back.
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    EXPECT_EQ(0u, list.createMemoryArea(&wrapper));
    EXPECT_EQ(nullptr, list.find(1));
    EXPECT_EQ(1u, memory.liveBlocks()) << "only the new origin cell";

    EXPECT_EQ(0u, list.deleteDummyMemory());
    EXPECT_EQ(nullptr, list.getDummyMemory());
    EXPECT_EQ(0u, list.getDirtyMemSize());
}

TEST_F(TaskItemListTest, ClearWithoutWrapperTouchesNothing)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    EXPECT_EQ(kMissing, list.clear(nullptr));
    EXPECT_NE(nullptr, list.find(1));
    EXPECT_EQ(0u, list.erase(nullptr, 1));
    EXPECT_EQ(0u, list.eraseItem(nullptr, 1));
    EXPECT_NE(nullptr, list.find(1));
    EXPECT_EQ(0u, list.clear(&wrapper));
    EXPECT_EQ(nullptr, list.getListOrigin());
    EXPECT_EQ(0u, memory.liveBlocks());
    EXPECT_EQ(0u, list.clear(nullptr)) << "nothing left to free";
    ASSERT_EQ(0u, list.createMemoryArea(&wrapper));
}

TEST_F(TaskItemListTest, ClearStopsOnAFirstItemWithoutTaskItem)
{
    ASSERT_EQ(0u, list.append(&wrapper, 0, 1, 1, 0, 0));
    ASSERT_EQ(0u, list.append(&wrapper, 0, 2, 1, 0, 0));
    TaskItemList::_T_APP_INFO* first = list.front();
    const int64_t taskItem = first->taskItem;
    first->taskItem = 0;

    EXPECT_EQ(kMissing, list.clear(&wrapper));
    EXPECT_EQ(first, list.front());
    EXPECT_NE(nullptr, list.getListOrigin());
    EXPECT_EQ(nullptr, list.find(1)) << "an item without task item is passed over";
    EXPECT_NE(nullptr, list.find(2));

    first->taskItem = taskItem;  // repaired, the list clears in TearDown
}

TEST(TaskItemListHeapTest, DirtySizeZeroOnTheLibraryHeapGivesNoMemory)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    MMS::SharedMemWrapper wrapper(nullptr);
    TaskItemList list;
    ASSERT_EQ(0u, list.createMemoryArea(&wrapper));
    EXPECT_EQ(kNoMemory, list.append(&wrapper, 0, 1, 1, 0, 0));
    EXPECT_EQ(live + 1, heap.live) << "only the origin cell";
    EXPECT_EQ(0u, list.clear(&wrapper));
    EXPECT_EQ(live, heap.live);
}

// The same list seen through a second mapping of the task memory, as by a root of another field.
TEST(TaskItemListSharedTest, AJoinedListSeesTheSameTasksAndMarksThroughAnotherMapping)
{
    MmsTest::MemfdSharedMemory memory;
    ASSERT_TRUE(memory.isValid());
    MMS::SharedMemWrapper first(memory.view(0));
    MMS::SharedMemWrapper second(memory.view(1));

    TaskItemList owner;
    ASSERT_EQ(0u, owner.createMemoryArea(&first));
    ASSERT_EQ(0u, owner.setDirtySize(2));
    ASSERT_EQ(0u, owner.setImportFlagSize(1));
    ASSERT_EQ(0u, owner.append(&first, 0, 3, 2, 0, 0));
    memory.refuseAfter(3);  // task 7 gets no import memories
    ASSERT_EQ(0u, owner.append(&first, 0, 7, 2, 0, 0));
    memory.refuseAfter(-1);

    TaskItemList joined;
    ASSERT_EQ(0u, joined.setDirtySize(2));
    ASSERT_EQ(0u, joined.setImportFlagSize(1));
    ASSERT_EQ(0u, joined.joint(memory.inView(1, owner.getListOrigin())));
    ASSERT_NE(owner.getListOrigin(), joined.getListOrigin());
    EXPECT_EQ((std::vector<uint32_t>{3, 7}), taskChain(joined));
    EXPECT_TRUE(memory.contains(1, joined.find(7)));

    // Marks through the first mapping read back through the second, and the other way round.
    EXPECT_EQ(0u, owner.setDirtyFlag(0, 4, 3, 0, 0));
    EXPECT_EQ(0x08, joined.getTaskDirtyMem(7)[0]);
    EXPECT_EQ(0, joined.getTaskDirtyMem(3)[0]);
    EXPECT_EQ(0u, joined.setImportSearcher(0, 0, 7, 0));
    uint8_t dirty = 0;
    EXPECT_EQ(0u, owner.getTransactionDirty(&dirty, 3));
    EXPECT_EQ(1, dirty);
    // The absent import memories of task 7 are absent through both mappings.
    EXPECT_EQ(nullptr, joined.getTaskImportFlagMem(7));
    EXPECT_EQ(nullptr, owner.getTaskImportSearcherMem(7));

    // A task appended through the second mapping is listed through the first.
    ASSERT_EQ(0u, joined.append(&second, 4, 9, 1, 0, 0));
    EXPECT_EQ((std::vector<uint32_t>{3, 7, 9}), taskChain(owner));
    EXPECT_EQ(4u, owner.find(9)->subscribeMode);
    ASSERT_EQ(0u, joined.append(&second, 0, 3, 1, 0, 0));
    EXPECT_EQ(2, owner.getReferenceCount(3));

    // Clearing the joined list removes every item but leaves the origin cell to its owner.
    EXPECT_EQ(0u, joined.clear(&second));
    EXPECT_EQ(nullptr, joined.getListOrigin());
    ASSERT_NE(nullptr, owner.getListOrigin());
    EXPECT_EQ(0, *owner.getListOrigin());
    EXPECT_EQ(1u, memory.liveBlocks());
    EXPECT_EQ(0u, owner.clear(&first));
    EXPECT_EQ(0u, memory.liveBlocks());
}

}  // namespace
