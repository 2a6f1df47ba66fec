#include "MMS/Common/mms_TreeNodeFactory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "MMS/Common/mms_Platform.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MemfdSharedMemory.h"
#include "MmsTestHeap.h"

namespace {

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;
constexpr uint32_t kNoneCreated = 0x8000u;

// Which node gave its items back, and through which wrapper.
struct Release {
    const void* node;
    MMS::SharedMemWrapper* wrapper;
};
std::vector<Release> g_releases;

// Stand-ins for the tree's nodes with their construction contract: a name of 1 to 23 characters
// and an array size of 1 to 65535, else the result stays 0x80000001. The collection needs 8-byte
// alignment; the parameter is 36 bytes with 4-byte alignment, so its records are rounded up.
struct FakeCollection {
    MMS_CLASS_ALLOCATORS

    FakeCollection(uint32_t* result, const char* nodeName, uint32_t size) : arraySize(size)
    {
        *result = kMissing;
        const size_t length = nodeName == nullptr ? 0 : std::strlen(nodeName);
        if (length == 0 || length > 23 || size == 0 || size > 65535) return;
        std::memcpy(name, nodeName, length);
        *result = 0;
    }
    uint32_t releaseItems(MMS::SharedMemWrapper* wrapper)
    {
        g_releases.push_back({this, wrapper});
        return 0;
    }

    char name[24] = {};
    uint32_t arraySize;
    int64_t childList = 0x1111;
    int64_t parameterList = 0x2222;
};

struct FakeParameter {
    MMS_CLASS_ALLOCATORS

    FakeParameter(uint32_t* result, const char* nodeName, uint32_t size, uint32_t typeCode, JVariant*, JVariant*,
                  JVariant*, JVariant*, JVariant*, uint32_t, uint32_t, uint32_t, uint32_t kindCode, uint32_t, uint32_t)
        : arraySize(size), type(typeCode), kind(kindCode)
    {
        FakeCollection check(result, nodeName, size);
        if (*result == 0) std::memcpy(name, check.name, sizeof(name));
    }
    uint32_t releaseItems(MMS::SharedMemWrapper* wrapper)
    {
        g_releases.push_back({this, wrapper});
        return 0;
    }

    char name[24] = {};
    uint32_t arraySize;
    uint32_t type;
    uint32_t kind;
};

using Collector = MMS::BasicTreeNodeCollector<FakeCollection, FakeParameter>;

static_assert(Collector::collectionRecordSize() == 48);
static_assert(Collector::parameterRecordSize() == 40);

FakeParameter* createParameter(Collector& collector, const char* name, uint32_t arraySize = 1)
{
    return collector.create(name, arraySize, 0x104, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 7, 0, 0);
}

ptrdiff_t offsetOf(const Collector& collector, const void* node)
{
    return static_cast<const unsigned char*>(node) - collector.getNodeListPointer();
}

bool isCleared(const void* record, uint32_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(record);
    for (uint32_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

// A factory sized for one collection and two parameters, its area in shared memory.
class TreeNodeCollectorTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(memory.isValid());
        g_releases.clear();
        bool area = false;
        ASSERT_EQ(0u, collector.createMemoryArea(&area, &wrapper, 1, 2));
        ASSERT_TRUE(area);
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, collector.destroy(&wrapper));
        EXPECT_EQ(0u, memory.liveBlocks());
    }

    static constexpr uint32_t kCollectionRecord = Collector::collectionRecordSize();
    static constexpr uint32_t kParameterRecord = Collector::parameterRecordSize();

    MmsTest::MemfdSharedMemory memory{1u << 16};
    MMS::SharedMemWrapper wrapper{memory.view(0)};
    Collector collector;
};

TEST_F(TreeNodeCollectorTest, PlacesNodesBackToBackInCreationOrder)
{
    EXPECT_EQ(kCollectionRecord + 2 * kParameterRecord, collector.getNodeListSize());
    EXPECT_EQ(1u, collector.getMaxCollNodeNum());
    EXPECT_EQ(2u, collector.getMaxPrmNodeNum());
    EXPECT_TRUE(isCleared(collector.getNodeListPointer(), collector.getNodeListSize())) << "the area is cleared";

    FakeParameter* gain = createParameter(collector, "Gain");
    FakeCollection* channel = collector.create("Ch", 4);
    FakeParameter* mute = createParameter(collector, "Mute", 2);
    ASSERT_NE(nullptr, gain);
    ASSERT_NE(nullptr, channel);
    ASSERT_NE(nullptr, mute);
    EXPECT_EQ(0, offsetOf(collector, gain));
    EXPECT_EQ(kParameterRecord, offsetOf(collector, channel));
    EXPECT_EQ(kParameterRecord + kCollectionRecord, offsetOf(collector, mute));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(channel) % alignof(FakeCollection));
    EXPECT_STREQ("Ch", channel->name);
    EXPECT_EQ(4u, channel->arraySize);
    EXPECT_EQ(2u, mute->arraySize);
    EXPECT_EQ(7u, mute->kind);

    // The area is exhausted for both kinds; a refused create changes no count.
    EXPECT_EQ(nullptr, createParameter(collector, "Pan"));
    EXPECT_EQ(nullptr, collector.create("Bus", 1));
    EXPECT_EQ(0u, collector.removeLastItem(&wrapper));
    FakeParameter* pan = createParameter(collector, "Pan");
    ASSERT_NE(nullptr, pan);
    EXPECT_EQ(offsetOf(collector, mute), offsetOf(collector, pan));
}

TEST_F(TreeNodeCollectorTest, ARefusedNodeLeavesNoTraceInTheArea)
{
    struct Case {
        const char* name;
        uint32_t arraySize;
    };
    const Case cases[] = {{"", 1}, {"abcdefghijklmnopqrstuvwx", 1}, {"Ch", 0}, {"Ch", 65536}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(nullptr, collector.create(c.name, c.arraySize));
        EXPECT_EQ(nullptr, createParameter(collector, c.name, c.arraySize));
        EXPECT_TRUE(isCleared(collector.getNodeListPointer(), collector.getNodeListSize()));
        EXPECT_EQ(kNoneCreated, collector.removeLastItem(&wrapper));
    }
    FakeCollection* first = collector.create("Top", 1);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, offsetOf(collector, first));
}

TEST_F(TreeNodeCollectorTest, RemoveLastItemUndoesTheLastNodeOnce)
{
    struct Case {
        bool collection;
    };
    for (const Case& c : {Case{true}, Case{false}}) {
        SCOPED_TRACE(c.collection ? "collection" : "parameter");
        g_releases.clear();
        ASSERT_NE(nullptr, createParameter(collector, "First"));
        void* last = c.collection ? static_cast<void*>(collector.create("Last", 1))
                                  : static_cast<void*>(createParameter(collector, "Last"));
        ASSERT_NE(nullptr, last);
        const uint32_t record = c.collection ? kCollectionRecord : kParameterRecord;

        EXPECT_EQ(0u, collector.removeLastItem(&wrapper));
        ASSERT_EQ(1u, g_releases.size());
        EXPECT_EQ(last, g_releases[0].node);
        EXPECT_EQ(&wrapper, g_releases[0].wrapper);
        EXPECT_TRUE(isCleared(last, record));
        EXPECT_FALSE(isCleared(collector.getNodeListPointer(), kParameterRecord)) << "the first node stays";
        EXPECT_EQ(kNoneCreated, collector.removeLastItem(&wrapper));
        EXPECT_EQ(1u, g_releases.size());

        // The freed record is the next one handed out.
        void* again = c.collection ? static_cast<void*>(collector.create("Again", 1))
                                   : static_cast<void*>(createParameter(collector, "Again"));
        EXPECT_EQ(last, again);
        EXPECT_EQ(0u, collector.releaseMemoryArea(&wrapper));
        bool area = false;
        ASSERT_EQ(0u, collector.createMemoryArea(&area, &wrapper, 1, 2));
    }
}

TEST_F(TreeNodeCollectorTest, SizingIsRefusedWhenBadOrBeyondThirtyTwoBits)
{
    bool area = true;
    EXPECT_EQ(kBadArgument, collector.createMemoryArea(nullptr, &wrapper, 1, 1));
    EXPECT_EQ(kAlreadyPresent, collector.createMemoryArea(&area, &wrapper, 3, 3));
    EXPECT_EQ(1u, collector.getMaxCollNodeNum()) << "the first sizing stays";

    struct Case {
        uint32_t collections;
        uint32_t parameters;
    };
    // 48 x 0x5555556 and 40 x 0x6666667 pass 0xFFFFFFFF by a few bytes; the sum of two fitting
    // products does too.
    const Case cases[] = {{0x5555556, 0}, {0, 0x6666667}, {0x3000000, 0x3000000}, {0xFFFFFFFF, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.collections << " x " << c.parameters);
        Collector fresh;
        const int allocations = memory.allocations();
        area = true;
        EXPECT_EQ(kBadArgument, fresh.createMemoryArea(&area, &wrapper, c.collections, c.parameters));
        EXPECT_FALSE(area);
        EXPECT_EQ(allocations, memory.allocations()) << "no block requested";
        EXPECT_EQ(nullptr, fresh.getNodeListPointer());
        EXPECT_EQ(0u, fresh.getMaxCollNodeNum());
    }

    Collector starved;
    memory.refuseAfter(0);
    EXPECT_EQ(kNoMemory, starved.createMemoryArea(&area, &wrapper, 1, 1));
    memory.refuseAfter(-1);
    EXPECT_EQ(kNoMemory, starved.createMemoryArea(&area, nullptr, 1, 1));
    EXPECT_EQ(0u, starved.getMaxCollNodeNum());
    EXPECT_EQ(nullptr, starved.getNodeListPointer());
    EXPECT_EQ(kAlreadyPresent, collector.allocMemoryPool(&wrapper, 8));
}

TEST_F(TreeNodeCollectorTest, RestoreCopiesAnImageIntoAnOwnedArea)
{
    ASSERT_NE(nullptr, collector.create("Top", 1));
    ASSERT_NE(nullptr, createParameter(collector, "Gain"));

    Collector restored;
    EXPECT_EQ(kBadArgument, restored.restore(&wrapper, nullptr, 8));
    EXPECT_EQ(kBadArgument, restored.restore(&wrapper, collector.getNodeListPointer(), 0));
    ASSERT_EQ(0u, restored.restore(&wrapper, collector.getNodeListPointer(), collector.getNodeListSize()));
    ASSERT_NE(collector.getNodeListPointer(), restored.getNodeListPointer());
    EXPECT_EQ(collector.getNodeListSize(), restored.getNodeListSize());
    EXPECT_EQ(0, std::memcmp(collector.getNodeListPointer(), restored.getNodeListPointer(),
                             collector.getNodeListSize()));
    EXPECT_EQ(kAlreadyPresent, restored.restore(&wrapper, collector.getNodeListPointer(), 8));
    EXPECT_EQ(kMissing, restored.releaseMemoryArea(nullptr));
    EXPECT_NE(nullptr, restored.getNodeListPointer()) << "an owned area is kept without a wrapper";
    EXPECT_EQ(0u, restored.destroy(nullptr));
    EXPECT_NE(nullptr, restored.getNodeListPointer());
    EXPECT_EQ(0u, restored.destroy(&wrapper));
    EXPECT_EQ(nullptr, restored.getNodeListPointer());
    EXPECT_EQ(0u, restored.getNodeListSize());
}

TEST_F(TreeNodeCollectorTest, AJoinedAreaMakesNoNodeAndIsNeverFreed)
{
    ASSERT_NE(nullptr, collector.create("Top", 1));
    // Another root sees the area through the second mapping.
    const unsigned char* seen = memory.inView(1, collector.getNodeListPointer());

    Collector joined;
    EXPECT_EQ(kBadArgument, joined.joint(nullptr, 8));
    EXPECT_EQ(kBadArgument, joined.joint(seen, 0));
    ASSERT_EQ(0u, joined.joint(seen, collector.getNodeListSize()));
    EXPECT_EQ(seen, joined.getNodeListPointer());
    EXPECT_EQ(collector.getNodeListSize(), joined.getNodeListSize());
    EXPECT_STREQ("Top", reinterpret_cast<const FakeCollection*>(seen)->name);
    EXPECT_EQ(kAlreadyPresent, joined.joint(seen, 8));

    bool area = false;
    EXPECT_EQ(kBadArgument, joined.createMemoryArea(&area, &wrapper, 1, 1));
    EXPECT_EQ(nullptr, joined.create("Other", 1));
    EXPECT_EQ(nullptr, createParameter(joined, "Other"));
    EXPECT_EQ(kNoneCreated, joined.removeLastItem(&wrapper));

    const uint64_t live = memory.liveBlocks();
    EXPECT_EQ(0u, joined.releaseMemoryArea(nullptr));
    EXPECT_EQ(live, memory.liveBlocks());
    EXPECT_EQ(nullptr, joined.getNodeListPointer());
    EXPECT_EQ(0u, joined.getNodeListSize());
    EXPECT_STREQ("Top", reinterpret_cast<const FakeCollection*>(seen)->name) << "the owner's nodes are untouched";

    // Released, it is an empty owner again.
    ASSERT_EQ(0u, joined.createMemoryArea(&area, &wrapper, 0, 1));
    EXPECT_TRUE(area);
    EXPECT_NE(nullptr, createParameter(joined, "Own"));
    EXPECT_EQ(0u, joined.destroy(&wrapper));
}

TEST(TreeNodeCollectorHeapTest, WithoutMaximaEveryNodeIsAllocatedByItself)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    Collector collector;
    bool area = true;
    ASSERT_EQ(0u, collector.createMemoryArea(&area, nullptr, 0, 0));
    EXPECT_FALSE(area);
    EXPECT_EQ(nullptr, collector.getNodeListPointer());
    EXPECT_EQ(0u, collector.getNodeListSize());

    FakeCollection* top = collector.create("Top", 1);
    FakeParameter* gain = createParameter(collector, "Gain");
    ASSERT_NE(nullptr, top);
    ASSERT_NE(nullptr, gain);
    EXPECT_EQ(live + 2, heap.live);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    EXPECT_EQ(kNoneCreated, collector.removeLastItem(nullptr));

    // A refused node is given back at once; no heap gives no node.
    EXPECT_EQ(nullptr, collector.create("", 1));
    EXPECT_EQ(nullptr, createParameter(collector, "Gain", 0));
    EXPECT_EQ(live + 2, heap.live);
    heap.refuse = true;
    EXPECT_EQ(nullptr, collector.create("Bus", 1));
    heap.refuse = false;

    delete top;
    delete gain;
    EXPECT_EQ(live, heap.live);
    EXPECT_EQ(0u, collector.destroy(nullptr));
}

}  // namespace
