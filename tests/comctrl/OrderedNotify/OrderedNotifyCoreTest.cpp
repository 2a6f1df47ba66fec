#include "comctrl/OrderedNotify/OrderedNotifyCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "RegionMemory.h"
#include "comctrl/OrderedNotify/OrderedNotifySub.h"
#include "comctrl/OrderedNotify/SetOrderNotify.h"

using OrderedNotify::OrderedNotifyCore;
using OrderedNotify::OrderedNotifySub;
using OrderedNotify::SetOrderNotify;
using orderednotifytest::RegionMemory;

namespace {

constexpr uint32_t kFailed = 0x80000000u;

struct WriterRelease {
    void operator()(SetOrderNotify* writer) const { writer->release(); }
};
using Writer = std::unique_ptr<SetOrderNotify, WriterRelease>;

using Taken = std::pair<std::string, uint32_t>;

// Takes items until nothing waits; every take must succeed.
std::vector<Taken> drain(OrderedNotifyCore& core)
{
    std::vector<Taken> taken;
    for (int guard = 0; guard < 1000; ++guard) {
        char name[24];
        std::memset(name, 0x5A, sizeof(name));
        uint32_t index = 0xA5A5A5A5;
        const uint32_t result = core.getFirst(name, &index);
        if (result == 1) return taken;
        EXPECT_EQ(0u, result);
        if (result != 0) return taken;
        taken.emplace_back(std::string(name, strnlen(name, sizeof(name))), index);
    }
    ADD_FAILURE() << "the list does not end";
    return taken;
}

int64_t link(const uint8_t* at)
{
    int64_t value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

int64_t offsetOf(const void* info, const void* at)
{
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(at) - reinterpret_cast<intptr_t>(info));
}

}  // namespace

TEST(OrderedNotifyCoreTest, TakesItemsInTheOrderOfTheirLastSignal)
{
    constexpr int kTake = -1;  // a getFirst between the signals
    struct Case {
        const char* label;
        std::vector<int> steps;         // item indexes to signal, or kTake
        std::vector<uint32_t> taken;  // every index taken, the final drain included
    };
    const Case cases[] = {
        {"nothing signalled", {}, {}},
        {"one item", {0}, {0}},
        {"signalled again while waiting moves to the end", {2, 0, 2}, {0, 2}},
        {"the last one signalled again stays", {1, 3, 3}, {1, 3}},
        {"a middle item moves to the end", {0, 1, 2, 1}, {0, 2, 1}},
        {"the first item moves to the end", {0, 1, 2, 0}, {1, 2, 0}},
        {"alternating signals", {0, 1, 0, 1, 0}, {1, 0}},
        {"descending order", {4, 3, 2, 1, 0}, {4, 3, 2, 1, 0}},
        {"taken and signalled again is appended", {0, 1, 2, kTake, 0}, {0, 1, 2, 0}},
        {"taking the only item empties the list", {3, kTake, 4}, {3, 4}},
        {"taken items lose their links", {0, 1, kTake, kTake, 1, 0}, {0, 1, 1, 0}},
    };
    for (const bool shared : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.label) + (shared ? " (shared memory)" : " (heap)"));
            RegionMemory region;
            OrderedNotifyCore core(0, shared ? &region : nullptr);
            ASSERT_EQ(0u, core.create("Items", 5));
            Writer writer(core.setOrderNotifyFactory("Items"));
            ASSERT_TRUE(writer);
            std::vector<Taken> taken;
            for (const int step : c.steps) {
                if (step == kTake) {
                    char name[24] = {};
                    uint32_t index = 0xA5A5A5A5;
                    ASSERT_EQ(0u, core.getFirst(name, &index));
                    taken.emplace_back(name, index);
                } else {
                    ASSERT_EQ(0u, writer->notify(static_cast<uint32_t>(step)));
                }
            }
            for (const Taken& t : drain(core)) taken.push_back(t);
            std::vector<Taken> expected;
            for (const uint32_t index : c.taken) expected.emplace_back("Items", index);
            EXPECT_EQ(expected, taken);
        }
    }
}

TEST(OrderedNotifyCoreTest, NamesTheTableOfEachItemWithIndexesCountedPerTable)
{
    OrderedNotifyCore core(0, nullptr);
    ASSERT_EQ(0u, core.create("Alpha", 3));
    ASSERT_EQ(0u, core.create("Beta-23-characters-long", 2));
    Writer alpha(core.setOrderNotifyFactory("Alpha"));
    Writer beta(core.setOrderNotifyFactory("Beta-23-characters-long"));
    ASSERT_TRUE(alpha && beta);
    ASSERT_EQ(0u, alpha->notify(1));
    ASSERT_EQ(0u, beta->notify(0));
    ASSERT_EQ(0u, alpha->notify(2));
    ASSERT_EQ(0u, beta->notify(1));

    char name[24];
    std::memset(name, 0x5A, sizeof(name));
    uint32_t index = 0;
    ASSERT_EQ(0u, core.getFirst(name, &index));
    // The whole 24-byte field is copied: the name, then zeros.
    char expectedName[24] = "Alpha";
    EXPECT_EQ(0, std::memcmp(expectedName, name, sizeof(name)));
    EXPECT_EQ(1u, index);

    const std::vector<Taken> expected = {
        {"Beta-23-characters-long", 0}, {"Alpha", 2}, {"Beta-23-characters-long", 1}};
    EXPECT_EQ(expected, drain(core));
}

TEST(OrderedNotifyCoreTest, CreateRefusesBadNamesCountsAndExistingTables)
{
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    const std::string name23(23, 'n');
    const std::string name24(24, 'n');
    struct Case { const char* label; const char* name; uint32_t count; uint32_t result; };
    const Case cases[] = {
        {"null name", nullptr, 1, kFailed},
        {"empty name", "", 1, kFailed},
        {"24 characters", name24.c_str(), 1, kFailed},
        {"23 characters", name23.c_str(), 1, 0},
        {"count 0", "T", 0, kFailed},
        {"first table T", "T", 1, 0},
        {"existing name", "T", 2, kFailed},
        {"longer name with the same start", "TT", 1, 0},
        {"other case", "t", 1, 0},
        // 268435456 items need 2^32 + 4 bytes: the size must not wrap to a tiny block.
        {"item block beyond 32 bits", "Huge", 268435456u, kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.result, core.create(c.name, c.count));
    }
    // Info block and one item block per table made.
    EXPECT_EQ(5u, region.liveBlocks());
}

TEST(OrderedNotifyCoreTest, WritersRefuseUnknownTablesAndIndexesOutsideTheirTable)
{
    OrderedNotifyCore core(0, nullptr);
    ASSERT_EQ(0u, core.create("Three", 3));
    const std::string name24(24, 'n');
    for (const char* name : {static_cast<const char*>(nullptr), "", name24.c_str(), "Four", "Thre"}) {
        SCOPED_TRACE(name ? name : "null");
        Writer writer(core.setOrderNotifyFactory(name));
        EXPECT_FALSE(writer);
    }

    Writer writer(core.setOrderNotifyFactory("Three"));
    ASSERT_TRUE(writer);
    struct Case { uint32_t index; uint32_t result; };
    const Case cases[] = {{3, kFailed}, {0xFFFFFFFFu, kFailed}, {2, 0}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(c.result, writer->notify(c.index));
    }
    const std::vector<Taken> expected = {{"Three", 2}, {"Three", 0}};
    EXPECT_EQ(expected, drain(core));
}

TEST(OrderedNotifyCoreTest, GetFirstRefusesNullArgumentsWithoutTakingTheItem)
{
    OrderedNotifyCore core(0, nullptr);
    ASSERT_EQ(0u, core.create("T", 2));
    Writer writer(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(writer);
    ASSERT_EQ(0u, writer->notify(1));
    char name[24] = {};
    uint32_t index = 0;
    EXPECT_EQ(kFailed, core.getFirst(nullptr, &index));
    EXPECT_EQ(kFailed, core.getFirst(name, nullptr));
    const std::vector<Taken> expected = {{"T", 1}};
    EXPECT_EQ(expected, drain(core));
}

TEST(OrderedNotifyCoreTest, WithoutInfoBlockEveryOperationFails)
{
    RegionMemory region;
    region.failFrom(0);
    OrderedNotifyCore core(0, &region);
    EXPECT_EQ(kFailed, core.create("T", 1));
    Writer writer(core.setOrderNotifyFactory("T"));
    EXPECT_FALSE(writer);
    char name[24] = {};
    uint32_t index = 0;
    EXPECT_EQ(kFailed, core.getFirst(name, &index));
    void* block = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(kFailed, core.getSharedList("T", &block, &size));

    uint8_t items[4 + 16] = {1};
    OrderedNotifySub noInfo(0, nullptr);
    EXPECT_EQ(nullptr, noInfo.setOrderNotifyFactory(items));
    OrderedNotifySub noBlock(0, items);
    EXPECT_EQ(nullptr, noBlock.setOrderNotifyFactory(nullptr));
}

TEST(OrderedNotifyCoreTest, FailedItemBlockLeavesNoTableBehind)
{
    RegionMemory region;
    region.failFrom(1);  // the info block succeeds, the item block does not
    OrderedNotifyCore core(0, &region);
    EXPECT_EQ(kFailed, core.create("T", 2));
    Writer writer(core.setOrderNotifyFactory("T"));
    EXPECT_FALSE(writer);
    EXPECT_EQ(1u, region.liveBlocks());
    region.failFrom(SIZE_MAX);
    EXPECT_EQ(0u, core.create("T", 2));
}

TEST(OrderedNotifyCoreTest, SharedLayoutKeepsOffsetsFromTheInfoBlock)
{
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    ASSERT_EQ(0u, core.create("T", 3));
    uint8_t* info = region.block(0);
    void* block = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, core.getSharedList("T", &block, &size));
    EXPECT_EQ(region.block(1), block);
    EXPECT_EQ(3u * 16 + 4, size);
    uint32_t count = 0;
    std::memcpy(&count, block, sizeof(count));
    EXPECT_EQ(3u, count);

    Writer writer(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(writer);
    ASSERT_EQ(0u, writer->notify(1));
    ASSERT_EQ(0u, writer->notify(2));
    const uint8_t* item1 = static_cast<uint8_t*>(block) + 4 + 16;
    const uint8_t* item2 = item1 + 16;
    EXPECT_EQ(offsetOf(info, item1), link(info));      // first
    EXPECT_EQ(offsetOf(info, item2), link(info + 8));  // last
    EXPECT_EQ(0, link(item1));                         // item 1: previous
    EXPECT_EQ(offsetOf(info, item2), link(item1 + 8));  // item 1: next
    EXPECT_EQ(offsetOf(info, item1), link(item2));      // item 2: previous
    EXPECT_EQ(0, link(item2 + 8));                     // item 2: next
    const uint8_t* item0 = item1 - 16;
    EXPECT_EQ(0, link(item0));
    EXPECT_EQ(0, link(item0 + 8));
}

TEST(OrderedNotifyCoreTest, WriterOfAnotherMappingSignalsThroughOffsets)
{
    // A second context maps the same region at another address: its writer works on a copy,
    // which is then laid back, as if both mapped one memory.
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    ASSERT_EQ(0u, core.create("T", 4));
    Writer own(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(own);
    ASSERT_EQ(0u, own->notify(0));
    void* block = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, core.getSharedList("T", &block, &size));

    auto elsewhere = std::make_unique<RegionMemory>();
    std::memcpy(elsewhere->base(), region.base(), RegionMemory::kSize);
    const ptrdiff_t infoAt = region.block(0) - region.base();
    const ptrdiff_t blockAt = static_cast<uint8_t*>(block) - region.base();
    {
        OrderedNotifySub sub(0, elsewhere->base() + infoAt);
        Writer other(sub.setOrderNotifyFactory(elsewhere->base() + blockAt));
        ASSERT_TRUE(other);
        EXPECT_EQ(0u, other->notify(3));
        EXPECT_EQ(0u, other->notify(1));
        EXPECT_EQ(0u, other->notify(0));
        EXPECT_EQ(kFailed, other->notify(4));  // the count comes from the block
    }
    std::memcpy(region.base(), elsewhere->base(), RegionMemory::kSize);
    const std::vector<Taken> expected = {{"T", 3}, {"T", 1}, {"T", 0}};
    EXPECT_EQ(expected, drain(core));
}

TEST(OrderedNotifyCoreTest, SecondWriterFromTheSharedListJoinsTheSameOrder)
{
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    ASSERT_EQ(0u, core.create("A", 2));
    ASSERT_EQ(0u, core.create("B", 3));
    Writer own(core.setOrderNotifyFactory("A"));
    void* block = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(0u, core.getSharedList("B", &block, &size));
    OrderedNotifySub sub(0, region.block(0));
    Writer other(sub.setOrderNotifyFactory(block));
    ASSERT_TRUE(own && other);

    ASSERT_EQ(0u, own->notify(0));
    ASSERT_EQ(0u, other->notify(2));
    ASSERT_EQ(0u, own->notify(1));
    ASSERT_EQ(0u, own->notify(0));
    ASSERT_EQ(0u, other->notify(2));
    const std::vector<Taken> expected = {{"A", 1}, {"A", 0}, {"B", 2}};
    EXPECT_EQ(expected, drain(core));
}

TEST(OrderedNotifyCoreTest, SignalOutsideEveryTableIsRefusedAndUsedUp)
{
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    ASSERT_EQ(0u, core.create("T", 2));
    Writer own(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(own);
    // A block of the same region that the core never made a table of.
    auto* stray = static_cast<uint8_t*>(region.allocate(4 + 2 * 16));
    ASSERT_NE(nullptr, stray);
    std::memset(stray, 0, 4 + 2 * 16);
    const uint32_t strayCount = 2;
    std::memcpy(stray, &strayCount, sizeof(strayCount));
    OrderedNotifySub sub(0, region.block(0));
    Writer other(sub.setOrderNotifyFactory(stray));
    ASSERT_TRUE(other);

    ASSERT_EQ(0u, other->notify(1));
    ASSERT_EQ(0u, own->notify(0));
    char name[24] = {};
    uint32_t index = 0xA5A5A5A5;
    EXPECT_EQ(kFailed, core.getFirst(name, &index));
    EXPECT_EQ(0xA5A5A5A5u, index);
    EXPECT_EQ(0, link(stray + 4 + 16));  // no longer waiting
    EXPECT_EQ(0, link(stray + 4 + 16 + 8));
    const std::vector<Taken> expected = {{"T", 0}};
    EXPECT_EQ(expected, drain(core));
    region.deallocate(stray);
}

TEST(OrderedNotifyCoreTest, GetSharedListNeedsSharedMemoryAndAKnownTable)
{
    OrderedNotifyCore heap(0, nullptr);
    ASSERT_EQ(0u, heap.create("T", 1));
    void* block = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(kFailed, heap.getSharedList("T", &block, &size));

    RegionMemory region;
    OrderedNotifyCore shared(0, &region);
    ASSERT_EQ(0u, shared.create("T", 1));
    EXPECT_EQ(kFailed, shared.getSharedList("U", &block, &size));
    EXPECT_EQ(kFailed, shared.getSharedList(nullptr, &block, &size));
    EXPECT_EQ(kFailed, shared.getSharedList("T", nullptr, &size));
    EXPECT_EQ(kFailed, shared.getSharedList("T", &block, nullptr));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0u, shared.getSharedList("T", &block, &size));
    EXPECT_EQ(20u, size);
}

TEST(OrderedNotifyCoreTest, WriterRefusesAListWithFirstButNoLast)
{
    RegionMemory region;
    OrderedNotifyCore core(0, &region);
    ASSERT_EQ(0u, core.create("T", 2));
    Writer writer(core.setOrderNotifyFactory("T"));
    ASSERT_TRUE(writer);
    ASSERT_EQ(0u, writer->notify(0));
    const int64_t zero = 0;
    std::memcpy(region.block(0) + 8, &zero, sizeof(zero));  // another writer broke the list
    EXPECT_EQ(kFailed, writer->notify(1));
}

TEST(OrderedNotifyCoreTest, DestructionGivesEveryBlockBackToTheProvider)
{
    RegionMemory region;
    {
        OrderedNotifyCore core(0, &region);
        ASSERT_EQ(0u, core.create("A", 1));
        ASSERT_EQ(0u, core.create("B", 8));
        ASSERT_EQ(0u, core.create("C", 2));
        EXPECT_EQ(4u, region.liveBlocks());
    }
    EXPECT_EQ(0u, region.liveBlocks());
}
