#include "MMS/Common/mms_Root.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_ProcessOption.h"
#include "RootFixture.h"

namespace {

using MmsTest::RootMemories;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoDefault = 0x80000005u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;
constexpr uint32_t kNotSupported = 0x8000000au;

uint8_t statusOf(const MMS::Root& root)
{
    uint8_t status = 0xFF;
    EXPECT_EQ(0u, root.getStatus(&status));
    return status;
}

TEST(RootBuildTest, BuildConstructorTable)
{
    struct Case {
        const char* label;
        uint32_t maxCollections;
        uint32_t maxParameters;
        uint32_t stringPool;
        const char* topName;
        int refuseTaskMemoryAfter;  // -1: never
        uint32_t result;
        uint8_t status;
        uint8_t ownership;
    };
    const Case cases[] = {
        {"nodes one by one", 0, 0, 64, "Top", -1, 0, 1, 0x00},
        {"node pool", 3, 4, 64, "Top", -1, 0, 1, 0x80},
        {"no string pool", 3, 4, 0, "Top", -1, 0, 1, 0x80},
        {"top counts toward the collection maximum", 0, 4, 64, "Top", -1, kMissing, 0, 0x80},
        {"top name too long", 0, 0, 64, "ABCDEFGHIJKLMNOPQRSTUVWX", -1, kMissing, 0, 0x00},
        {"empty top name", 3, 4, 64, "", -1, kMissing, 0, 0x80},
        {"no task list origin", 0, 0, 64, "Top", 0, kMissing, 0, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RootMemories m;
        m.tasks.refuseAfter(c.refuseTaskMemoryAfter);
        uint32_t result = 12345;
        auto root = MmsTest::makeRoot(m, &result, c.maxCollections, c.maxParameters, c.stringPool, c.topName);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.status, statusOf(*root));
        EXPECT_EQ(c.ownership, root->getOwnershipFlags());
        EXPECT_EQ(c.result == 0, root->getTopCollection() != nullptr);
        root.reset();
        // A failed root, too, gives back everything its constructor took.
        EXPECT_EQ(0u, m.liveBlocks());
        EXPECT_EQ(0, m.heapBlocks());
    }
}

TEST(RootBuildTest, WithoutResultWordNothingIsCreated)
{
    RootMemories m;
    {
        MMS::Root root(nullptr, &m.definitionMemory, &m.valueMemory, &m.taskMemory, "Top", 3, 4, 64);
        EXPECT_EQ(0u, statusOf(root));
        EXPECT_EQ(nullptr, root.getTopCollection());
        EXPECT_EQ(0u, m.liveBlocks());
        EXPECT_EQ(kWrongState, root.linkBuild(1));
        EXPECT_EQ(kWrongState, root.finishBuild(1));
        EXPECT_EQ(kWrongState, root.addCollectionFast(nullptr, nullptr, 0, "A", 1));
    }
    EXPECT_EQ(0, m.heapBlocks());
}

// Every block of a built root comes from the memory it belongs to and goes back to it.
TEST(RootBuildTest, BuiltRootUsesItsThreeMemoriesAndGivesEveryBlockBack)
{
    for (const bool pooled : {false, true}) {
        SCOPED_TRACE(pooled ? "node pool" : "nodes one by one");
        RootMemories m;
        {
            auto root = pooled ? MmsTest::makeStandardRoot(m, MmsTest::kStandardCollections,
                                                           MmsTest::kStandardParameters)
                               : MmsTest::makeStandardRoot(m);
            ASSERT_EQ(3u, statusOf(*root));
            EXPECT_EQ(pooled ? 0x80 : 0x00, root->getOwnershipFlags());
            EXPECT_TRUE(m.values.contains(0, root->getValueMemory()));
            EXPECT_TRUE(m.tasks.contains(0, root->getFactorMemory()));
            EXPECT_TRUE(m.definition.contains(0, root->getTagInfo().getTagInfoPointer()));
            EXPECT_TRUE(m.definition.contains(0, root->getStringPool().getPoolPointer()));
            EXPECT_TRUE(m.tasks.contains(0, root->getTaskItemList().getListOrigin()));
            EXPECT_EQ(pooled, m.definition.contains(0, root->getTopCollection()));
            // Plug-in slots and the dummy dirty area come from the library heap.
            EXPECT_NE(nullptr, root->getPluginList());
            EXPECT_FALSE(m.definition.contains(0, root->getPluginList()));
            EXPECT_EQ(0u, root->getPluginCount());
            EXPECT_GT(m.heapBlocks(), 0);
            // 19 parameter elements and 1 + 4 + 12 collection instances: one dirty bit and one
            // factor byte each.
            EXPECT_EQ(36u, root->getFactorSize());
            EXPECT_EQ(5u, root->getTaskItemList().getDirtyMemSize());
            EXPECT_EQ(3u, root->getTaskItemList().getImportFlagMemSize());
        }
        EXPECT_EQ(0u, m.definition.liveBlocks());
        EXPECT_EQ(0u, m.values.liveBlocks());
        EXPECT_EQ(0u, m.tasks.liveBlocks());
        EXPECT_EQ(0, m.heapBlocks());
    }
}

TEST(RootBuildTest, StatusTable)
{
    RootMemories m;
    uint32_t result = 1;
    auto root = MmsTest::makeRoot(m, &result);
    ASSERT_EQ(0u, result);
    MmsTest::addStandardTree(*root);
    char text[24] = {};

    EXPECT_EQ(kWrongState, root->getDescName(text));  // not yet ready
    EXPECT_EQ(0u, root->setDescName("Console"));
    EXPECT_EQ(0u, root->setDescVersion("V1.2"));
    EXPECT_EQ(0u, root->linkBuild(1));
    EXPECT_EQ(2u, statusOf(*root));
    EXPECT_EQ(0u, root->linkBuild(1));  // laid out already
    EXPECT_EQ(kWrongState, root->setDescName("Late"));
    EXPECT_EQ(kWrongState, root->addCollectionFast(nullptr, nullptr, 0, "Late", 1));
    EXPECT_EQ(kWrongState, root->getDescName(text));

    const void* values = root->getValueMemory();
    EXPECT_EQ(0u, root->finishBuild(1));  // laid out: no second builder run
    EXPECT_EQ(3u, statusOf(*root));
    EXPECT_EQ(values, root->getValueMemory());
    EXPECT_EQ(0x8000u, root->finishBuild(1));
    EXPECT_EQ(kWrongState, root->linkBuild(1));
    EXPECT_EQ(3u, statusOf(*root));

    EXPECT_EQ(0u, root->getDescName(text));
    EXPECT_STREQ("Console", text);
    char version[12] = {};
    EXPECT_EQ(0u, root->getDescVersion(version));
    EXPECT_STREQ("V1.2", version);
    EXPECT_EQ(kBadArgument, root->getDescName(nullptr));
    EXPECT_EQ(kBadArgument, root->getStatus(nullptr));
    char uuid[36] = {};
    EXPECT_EQ(0u, root->getUuid(uuid));
    EXPECT_EQ(32u, std::strlen(uuid));
    EXPECT_EQ(std::string::npos, std::string(uuid).find_first_not_of("0123456789abcdef"));
}

TEST(RootBuildTest, MemoryBuilderOrderAndFailures)
{
    {
        SCOPED_TRACE("no parameter: value size 0");
        RootMemories m;
        uint32_t result = 1;
        auto root = MmsTest::makeRoot(m, &result);
        EXPECT_EQ(0u, root->addCollectionFast(&result, nullptr, 0, "Empty", 2));
        EXPECT_EQ(kMissing, root->linkBuild(1));
        EXPECT_EQ(1u, statusOf(*root));
        EXPECT_EQ(nullptr, root->getTagInfo().getTagInfoPointer());  // stopped before the tag area
    }
    {
        SCOPED_TRACE("value memory refuses the value block");
        RootMemories m;
        uint32_t result = 1;
        auto root = MmsTest::makeRoot(m, &result);
        MmsTest::addStandardTree(*root);
        m.values.refuseAfter(0);
        EXPECT_EQ(kMissing, root->finishBuild(1));
        EXPECT_EQ(1u, statusOf(*root));
        m.values.refuseAfter(-1);
        root.reset();
        EXPECT_EQ(0u, m.liveBlocks());
        EXPECT_EQ(0, m.heapBlocks());
    }
    {
        SCOPED_TRACE("definition memory refuses the tag area");
        RootMemories m;
        uint32_t result = 1;
        auto root = MmsTest::makeRoot(m, &result);
        MmsTest::addStandardTree(*root);
        m.definition.refuseAfter(0);
        EXPECT_EQ(kNoMemory, root->linkBuild(1));
        EXPECT_EQ(1u, statusOf(*root));
        m.definition.refuseAfter(-1);
        root.reset();
        EXPECT_EQ(0u, m.liveBlocks());
        EXPECT_EQ(0, m.heapBlocks());
    }
}

TEST(RootBuildTest, DefaultsOnlyWithWriteDefaultsAndMissingDefaultStillAdvances)
{
    struct Case {
        const char* label;
        bool withoutDefault;
        uint8_t writeDefaults;
        bool useLink;
        uint32_t result;
        uint8_t status;
        int32_t gain1;
    };
    const Case cases[] = {
        {"finish with defaults", false, 1, false, 0, 3, 3},
        {"finish without defaults", false, 0, false, 0, 3, 0},
        {"link with defaults", false, 1, true, 0, 2, 3},
        {"missing default, finish", true, 1, false, kNoDefault, 3, 3},
        {"missing default, link", true, 1, true, kNoDefault, 2, 3},
        {"missing default not asked for", true, 0, false, 0, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RootMemories m;
        uint32_t result = 1;
        auto root = MmsTest::makeRoot(m, &result);
        MmsTest::addStandardTree(*root);
        if (c.withoutDefault) {
            uint32_t index = 0;
            ASSERT_EQ(0u, root->addPrmFast(&index, nullptr, 0, "Bare", 1, MMS::kMmsTypeUInt8, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
        }
        EXPECT_EQ(c.result, c.useLink ? root->linkBuild(c.writeDefaults) : root->finishBuild(c.writeDefaults));
        EXPECT_EQ(c.status, statusOf(*root));
        // Gain element 1 in the value block.
        const MMS::Parameter* gain = root->getTopCollection()->getPrmItem(0);
        int32_t value = -1;
        std::memcpy(&value, root->getValueMemory() + gain->getParamAddrInfo().offset + 4, 4);
        EXPECT_EQ(c.gain1, value);
    }
}

TEST(RootBuildTest, SlotNumberingAndPluginList)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    const MMS::Collection* top = root->getTopCollection();
    const MMS::Collection* ch = top->getCollectionItem(0);
    const MMS::Collection* eq = ch->getCollectionItem(0);
    EXPECT_EQ(0u, top->getCollNumInfo().offset);
    EXPECT_EQ(1u, ch->getCollNumInfo().offset);
    EXPECT_EQ(1u, eq->getCollNumInfo().offset);  // relative to Ch: slot 2 of the tree
    for (uint32_t slot = 0; slot < MmsTest::kStandardCollections; ++slot) {
        EXPECT_EQ(nullptr, root->getPluginList()[slot].m_pPlugin);
    }
}

// A failed add leaves the tree as it was; the next add under the same parent works.
TEST(RootBuildTest, FailedAddIsUndone)
{
    for (const bool pooled : {false, true}) {
        SCOPED_TRACE(pooled ? "node pool" : "nodes one by one");
        RootMemories m;
        uint32_t result = 1;
        // Exactly the standard tree plus one extra collection and parameter.
        auto root = pooled ? MmsTest::makeRoot(m, &result, 4, 5) : MmsTest::makeRoot(m, &result);
        ASSERT_EQ(0u, result);
        MmsTest::addStandardTree(*root);
        const int heapBefore = m.heapBlocks();
        uint32_t index = 77;
        EXPECT_EQ(kAlreadyPresent, root->addCollection(&index, "Ch", 3, "Eq", 1));
        EXPECT_EQ(kAlreadyPresent, root->addPrm(&index, "", 1, "Gain", 1, MMS::kMmsTypeUInt8, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
        const uint32_t throughParameter[] = {0};
        EXPECT_EQ(0x80000006u, root->addCollectionFast(&index, throughParameter, 1, "Sub", 1));
        EXPECT_EQ(kNoMemory, root->addPrm(&index, "", 1, "Zero", 0, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
        EXPECT_EQ(heapBefore, m.heapBlocks());  // nodes made by themselves were released
        // The pool's last record was taken back, so the extra nodes still fit.
        EXPECT_EQ(0u, root->addCollection(&index, "Ch", 3, "Aux", 2));
        EXPECT_EQ(2u, index);
        JVariant def(1u);
        EXPECT_EQ(0u, root->addPrm(&index, "Ch/Aux", 7, "On", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, &def,
                                   nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
        if (pooled) {
            EXPECT_EQ(kNoMemory, root->addCollection(&index, "", 1, "Full", 1));
        }
        EXPECT_EQ(0u, root->finishBuild(1));
        uint32_t collections = 0;
        uint32_t parameters = 0;
        EXPECT_EQ(0u, root->getNodeAddrNum(&collections, &parameters));
        EXPECT_EQ(4u, collections);
        EXPECT_EQ(5u, parameters);
        root.reset();
        EXPECT_EQ(0u, m.liveBlocks());
        EXPECT_EQ(0, m.heapBlocks());
    }
}

TEST(RootBuildTest, StringPoolEntries)
{
    RootMemories m;
    uint32_t result = 1;
    // Room for "abc" and its terminator only.
    auto root = MmsTest::makeRoot(m, &result, 0, 0, 4);
    ASSERT_EQ(0u, result);
    uint32_t index = 0;
    JVariant maximum(16u);
    JVariant text("abc", 16);
    JVariant more("x", 16);
    EXPECT_EQ(0u, root->addPrmFast(&index, nullptr, 0, "S1", 1, MMS::kMmsTypeString, nullptr, &maximum, &text,
                                   nullptr, nullptr, "", 1, 1, 0, nullptr, 0));
    EXPECT_EQ(kBadArgument, root->addPrmFast(&index, nullptr, 0, "S2", 1, MMS::kMmsTypeString, nullptr, &maximum,
                                             &more, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    EXPECT_EQ(kNoMemory, root->addPrmFast(&index, nullptr, 0, "U", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, "dB", 3, 1, 0, nullptr, 0));
    EXPECT_EQ(kNoMemory, root->addPrmFast(&index, nullptr, 0, "F", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, 0, 1, 0, "N%d", 4));
    // Without a maximum the default hands on offset 0 and takes no pool space.
    EXPECT_EQ(0u, root->addPrmFast(&index, nullptr, 0, "S3", 1, MMS::kMmsTypeString, nullptr, nullptr, &more,
                                   nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    EXPECT_EQ(2u, root->getTopCollection()->getPrmCount());
    EXPECT_EQ(0, std::memcmp(root->getStringPool().getPoolPointer(), "abc", 4));
}

TEST(RootBuildTest, DeleteOperationsNeverDelete)
{
    RootMemories m;
    uint32_t result = 1;
    auto root = MmsTest::makeRoot(m, &result);
    MmsTest::addStandardTree(*root);
    const uint32_t ch[] = {2};
    EXPECT_EQ(kNotSupported, root->delCollectionFast(ch, 1));
    EXPECT_EQ(kNotSupported, root->delPrm("Gain", 5));
    EXPECT_EQ(kNotSupported, root->delCollection("/Top/Ch", 8));
    EXPECT_EQ(kBadArgument, root->delPrmFast(nullptr, 1));
    EXPECT_EQ(0u, root->finishBuild(1));
    EXPECT_EQ(kWrongState, root->delCollectionFast(ch, 1));
    EXPECT_EQ(kWrongState, root->delPrm("Gain", 5));
    EXPECT_EQ(3u, root->getTopCollection()->getPrmCount() + root->getTopCollection()->getCollectionCount());
}

TEST(RootBuildTest, SameUuidFromImageHeader)
{
    RootMemories m;
    auto root = MmsTest::makeStandardRoot(m);
    char uuid[36] = {};
    ASSERT_EQ(0u, root->getUuid(uuid));
    MMS::T_EXPORT_TAG header{};
    std::memcpy(header.magic, "MMS", 3);
    header.length = 88;
    std::memcpy(header.byteOrder, MMS::CollectionTagInfo::isHostBigEndian() ? "BIG" : "LIT", 3);
    std::memcpy(header.uuid, uuid, 36);
    EXPECT_EQ(1u, root->isSameUuid(&header, sizeof(header)));
    header.uuid[0] = header.uuid[0] == 'a' ? 'b' : 'a';
    EXPECT_EQ(0u, root->isSameUuid(&header, sizeof(header)));
    header.magic[0] = 'X';
    EXPECT_EQ(kBadArgument, root->isSameUuid(&header, sizeof(header)));
    EXPECT_EQ(kBadArgument, root->isSameUuid(nullptr, 88));
    EXPECT_EQ(kBadArgument, root->isSameUuid(&header, 0));
}

}  // namespace
