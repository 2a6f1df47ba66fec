// Describing a root for another root, restoring and joining roots from such descriptions, and
// copying values between roots of the same definition.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "RootFixture.h"

namespace {

using MmsTest::RootMemories;

const uint32_t kGain[1] = {0};      // Top/Gain[2]
const uint32_t kLevel[2] = {2, 0};  // Top/Ch[4]/Level
const uint32_t kCh[1] = {2};

// A ready standard root whose nodes live in a node pool.
std::unique_ptr<MMS::Root> pooledRoot(RootMemories& m) { return MmsTest::makeStandardRoot(m, 3, 4); }

int level(MMS::Root& root, uint32_t ch)
{
    const uint32_t indices[2] = {ch, 0};
    JVariant out;
    EXPECT_EQ(0u, root.getPrmFast(&out, nullptr, kLevel, indices, 2, 0, 0));
    return out.toInt32();
}

uint32_t setLevel(MMS::Root& root, int value, uint32_t ch, uint32_t task = 99)
{
    const uint32_t indices[2] = {ch, 0};
    return root.setPrmFast(JVariant(static_cast<uint32_t>(value)), kLevel, indices, 2, 1, 0, 0, 0, task, nullptr, 0,
                           nullptr);
}

int changed(MMS::Root& root, uint32_t task, uint32_t ch)
{
    const uint32_t indices[2] = {ch, 0};
    uint8_t out = 9;
    EXPECT_EQ(0u, root.isChangedFast(&out, kLevel, indices, 2, 0, task) & 0x80000000u);
    return out;
}

std::unique_ptr<MMS::Root> jointRoot(RootMemories& m, const MMS::sharedRootInfo& info, uint8_t mode,
                                     uint32_t* result, bool recover = false)
{
    std::unique_ptr<MMS::Root> root(new MMS::Root(result, &m.definitionMemory, &m.valueMemory, &m.taskMemory, info,
                                                  mode, recover));
    return root;
}

TEST(RootShareTest, OnlyTreesInAnOwnNodePoolAreShared)
{
    RootMemories m;
    MMS::sharedRootInfo info;
    auto heapRoot = MmsTest::makeStandardRoot(m);  // maxima 0 and 0: nodes made one by one
    EXPECT_EQ(0x80000002u, heapRoot->shareRootFast(&info, nullptr, nullptr, 0));

    RootMemories p;
    auto root = pooledRoot(p);
    EXPECT_EQ(0x80000002u, root->shareRootFast(&info, kCh, nullptr, 1));
    EXPECT_EQ(0x80000002u, root->shareRootFast(nullptr, nullptr, nullptr, 0));
    ASSERT_EQ(0u, root->shareRootFast(&info, nullptr, nullptr, 0));
    EXPECT_EQ(sizeof(MMS::sharedRootInfo), info.recordSize);
    EXPECT_EQ(root->getTopCollection(), info.topNode);
    EXPECT_EQ(root->getValueMemory(), info.values);
    EXPECT_EQ(root->getValueSize(), info.valueSize);
    EXPECT_EQ(root->getFactorMemory(), info.factors);
    EXPECT_EQ(root->getTaskItemList().getListOrigin(), info.taskListOrigin);
    EXPECT_EQ(root->getTagInfo().getTagInfoSize(), info.tagAreaSize);
    EXPECT_NE(0u, info.nodeMemorySize);
    MMS::sharedRootInfo copy;
    ASSERT_EQ(0u, root->copySrcPrm(&copy));
    EXPECT_EQ(0, std::memcmp(&copy, &info, sizeof(info)));

    // A root that borrows its definition cannot hand it on.
    uint32_t result = 1;
    auto joined = jointRoot(p, info, 0x01, &result);
    ASSERT_EQ(0u, result);
    ASSERT_EQ(0u, joined->finishBuild(0));
    EXPECT_EQ(0x80000002u, joined->shareRootFast(&copy, nullptr, nullptr, 0));
    joined.reset();

    uint32_t building = 1;
    auto notReady = MmsTest::makeRoot(p, &building, 3, 4, 256, "Other");
    EXPECT_EQ(0x80000004u, notReady->shareRootFast(&copy, nullptr, nullptr, 0));
}

TEST(RootShareTest, SubTreeDescriptionMakesARootWithItsOwnValues)
{
    RootMemories m;
    auto root = pooledRoot(m);
    ASSERT_FALSE(setLevel(*root, 77, 1) & 0x80000000u);
    MMS::sharedRootInfo info;
    const uint32_t one[1] = {1};
    ASSERT_EQ(0u, root->shareRootFast(&info, kCh, one, 1));
    EXPECT_EQ(nullptr, info.values);
    EXPECT_EQ(nullptr, info.factors);
    EXPECT_EQ(nullptr, info.taskListOrigin);
    EXPECT_EQ(root->getTopCollection()->getCollectionItem(0), info.topNode);
    EXPECT_LT(info.valueSize, root->getValueSize());
    const uint32_t outside[1] = {4};
    EXPECT_EQ(0x80000002u, root->shareRootFast(&info, kCh, outside, 1));
    const uint32_t zero[1] = {0};
    EXPECT_EQ(0x80000006u, root->shareRootFast(&info, kGain, zero, 1));

    ASSERT_EQ(0u, root->shareRootFast(&info, kCh, one, 1));
    uint32_t result = 1;
    auto sub = jointRoot(m, info, 0, &result);
    ASSERT_EQ(0u, result);
    ASSERT_EQ(0u, sub->finishBuild(0));
    EXPECT_EQ(info.valueSize, sub->getValueSize());
    EXPECT_NE(root->getValueMemory(), sub->getValueMemory());
    JVariant out;
    const uint32_t levelOnly[1] = {0};
    const uint32_t index[1] = {0};
    ASSERT_EQ(0u, sub->getPrmFast(&out, nullptr, levelOnly, index, 1, 0, 0));
    EXPECT_EQ(0, out.toInt32());  // cleared, not the described 77
    sub.reset();
    EXPECT_EQ(77, level(*root, 1));
}

TEST(RootShareTest, JointRootsShareWhatTheirModeBorrows)
{
    RootMemories m;
    auto root = pooledRoot(m);
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, root->shareRootFast(&info, nullptr, nullptr, 0));

    uint32_t result = 1;
    auto all = jointRoot(m, info, 0x01, &result);
    ASSERT_EQ(0u, result);
    EXPECT_EQ(0x15, all->getOwnershipFlags() & 0x15);
    ASSERT_EQ(0u, all->finishBuild(0));
    ASSERT_EQ(0u, all->subscribe(0, 5, 1, 0, 0));
    EXPECT_NE(nullptr, root->getTaskItemList().find(5));  // listed by the other root too
    ASSERT_FALSE(setLevel(*root, 42, 2) & 0x80000000u);
    EXPECT_EQ(42, level(*all, 2));
    EXPECT_EQ(1, changed(*all, 5, 2));

    auto valuesOnly = jointRoot(m, info, 0x04, &result);
    ASSERT_EQ(0u, result);
    EXPECT_EQ(0x05, valuesOnly->getOwnershipFlags() & 0x15);
    ASSERT_EQ(0u, valuesOnly->finishBuild(0));
    EXPECT_EQ(42, level(*valuesOnly, 2));
    EXPECT_NE(root->getFactorMemory(), valuesOnly->getFactorMemory());
    ASSERT_EQ(0u, valuesOnly->subscribe(0, 6, 1, 0, 0));
    EXPECT_EQ(nullptr, root->getTaskItemList().find(6));  // its own subscribers

    valuesOnly.reset();
    ASSERT_EQ(0u, all->unsubscribe(5));
    all.reset();
    // The described root is whole: it still writes, reads and marks.
    ASSERT_EQ(0u, root->subscribe(0, 7, 1, 0, 0));
    ASSERT_FALSE(setLevel(*root, 43, 2) & 0x80000000u);
    EXPECT_EQ(1, changed(*root, 7, 2));
}

TEST(RootShareTest, FailedJointFreesNothingBorrowed)
{
    RootMemories m;
    auto root = pooledRoot(m);
    ASSERT_EQ(0u, root->subscribe(0, 3, 1, 0, 0));
    const uint64_t blocks = m.liveBlocks();
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, root->shareRootFast(&info, nullptr, nullptr, 0));
    struct Case {
        const char* what;
        uint8_t mode;
        void (*spoil)(MMS::sharedRootInfo&);
        uint32_t result;
    };
    const Case cases[] = {
        {"no task list to join", 0x01, [](MMS::sharedRootInfo& i) { i.taskListOrigin = nullptr; }, 0x80000002u},
        {"no values to borrow", 0x04, [](MMS::sharedRootInfo& i) { i.values = nullptr; }, 0x80000002u},
        {"no tag area", 0x01, [](MMS::sharedRootInfo& i) { i.tagArea = nullptr; }, 0x80000002u},
        {"no node memory", 0x00, [](MMS::sharedRootInfo& i) { i.nodeMemorySize = 0; }, 0x80000002u},
        {"no factor size", 0x00, [](MMS::sharedRootInfo& i) { i.factorSize = 0; }, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MMS::sharedRootInfo spoiled = info;
        c.spoil(spoiled);
        uint32_t result = 0;
        auto joined = jointRoot(m, spoiled, c.mode, &result);
        EXPECT_EQ(0x80000001u, result);  // the constructor's own report
        EXPECT_EQ(nullptr, joined->getTopCollection());
        EXPECT_EQ(0, joined->getOwnershipFlags() & 0x17);
        EXPECT_EQ(c.result, joined->jointRoot(spoiled, c.mode));
        joined.reset();
        EXPECT_EQ(blocks, m.liveBlocks());
        EXPECT_NE(nullptr, root->getTaskItemList().find(3));
    }
    ASSERT_FALSE(setLevel(*root, 11, 0) & 0x80000000u);
    EXPECT_EQ(1, changed(*root, 3, 0));
}

// A restored root gives back only what it made: the described tree stays the described root's.
TEST(RootShareTest, RestoredRootReleasesOnlyItsOwnCopies)
{
    RootMemories m;
    auto root = pooledRoot(m);
    ASSERT_FALSE(setLevel(*root, 60, 3) & 0x80000000u);
    const uint64_t blocks = m.liveBlocks();
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, root->shareRootFast(&info, nullptr, nullptr, 0));
    std::memcpy(info.descName, "Restored-Name-Of-24-char", 24);  // no NUL
    uint32_t result = 1;
    auto restored = std::make_unique<MMS::Root>(&result, &m.definitionMemory, &m.valueMemory, &m.taskMemory, info);
    ASSERT_EQ(0u, result);
    EXPECT_EQ(0x80, restored->getOwnershipFlags());
    ASSERT_EQ(0u, restored->finishBuild(0));
    EXPECT_EQ(0, level(*restored, 3));  // values start cleared
    EXPECT_NE(root->getTagInfo().getTagInfoPointer(), restored->getTagInfo().getTagInfoPointer());
    char uuidA[36];
    char uuidB[36];
    ASSERT_EQ(0u, root->getUuid(uuidA));
    ASSERT_EQ(0u, restored->getUuid(uuidB));
    EXPECT_EQ(0, std::memcmp(uuidA, uuidB, 36));
    char name[24];
    ASSERT_EQ(0u, restored->getDescName(name));
    EXPECT_EQ(std::string("Restored-Name-Of-24-cha"), std::string(name, strnlen(name, 24)));
    restored.reset();  // a double free here aborts the memory provider
    EXPECT_EQ(blocks, m.liveBlocks());
    EXPECT_EQ(60, level(*root, 3));
    ASSERT_FALSE(setLevel(*root, 61, 3) & 0x80000000u);

    MMS::sharedRootInfo bad = info;
    bad.importFlagSize = 0;
    auto refused = std::make_unique<MMS::Root>(&result, &m.definitionMemory, &m.valueMemory, &m.taskMemory, bad);
    EXPECT_EQ(0x80000001u, result);
    refused.reset();
    root.reset();
    EXPECT_EQ(0u, m.liveBlocks());
}

TEST(RootShareTest, CopyDstPrmCopiesValuesOfTheSameDefinition)
{
    struct Case {
        const char* what;
        uint8_t flags;
        bool differ;
        uint32_t result;
        int marked;  // of the differing element, for task 1
    };
    const Case cases[] = {
        {"through the importer, one element differs", 0x01, true, 0x100, 1},
        {"through the importer, nothing differs", 0x01, false, 0, 0},
        {"byte copy", 0x00, true, 0, 0},
        {"byte copy with factors", 0x02, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RootMemories ms;
        RootMemories md;
        auto source = pooledRoot(ms);
        auto target = pooledRoot(md);
        ASSERT_EQ(0u, target->subscribe(0, 1, 1, 0, 0));
        ASSERT_EQ(0u, target->subscribe(2, 2, 1, 0, 0));  // shares bit 2 with the copy's mode
        if (c.differ) {
            ASSERT_FALSE(setLevel(*source, 33, 1, 1) & 0x80000000u);
        }
        MMS::sharedRootInfo info;
        ASSERT_EQ(0u, source->copySrcPrm(&info));
        EXPECT_EQ(c.result, target->copyDstPrm(info, c.flags, 2, nullptr));
        EXPECT_EQ(c.differ ? 33 : 50, level(*target, 1));
        EXPECT_EQ(c.marked, changed(*target, 1, 1));
        EXPECT_EQ(0, changed(*target, 1, 0));
        EXPECT_EQ(0, changed(*target, 2, 1));
        const bool factorsEqual = std::memcmp(source->getFactorMemory(), target->getFactorMemory(),
                                              source->getFactorSize()) == 0;
        EXPECT_EQ(c.differ ? (c.flags & 0x02) != 0 : true, factorsEqual);
    }
}

TEST(RootShareTest, CopyDstPrmRefusesOtherDefinitionsAndCarriesDirtyBits)
{
    RootMemories ms;
    RootMemories md;
    auto source = pooledRoot(ms);
    auto target = pooledRoot(md);
    ASSERT_EQ(0u, target->subscribe(0, 1, 1, 0, 0));
    ASSERT_FALSE(setLevel(*source, 20, 2) & 0x80000000u);
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, source->copySrcPrm(&info));

    MMS::sharedRootInfo other = info;
    std::vector<unsigned char> tags(info.tagArea, info.tagArea + info.tagAreaSize);
    tags[5] ^= 1;
    other.tagArea = tags.data();
    EXPECT_EQ(0x80000002u, target->copyDstPrm(other, 0, 0, nullptr));
    other = info;
    other.tagAreaSize -= 1;
    EXPECT_EQ(0x80000002u, target->copyDstPrm(other, 0, 0, nullptr));
    EXPECT_EQ(50, level(*target, 2));

    // The source's dirty bits of its subscribed task travel with a byte copy.
    ASSERT_EQ(0u, source->subscribe(0, 9, 1, 0, 0));
    ASSERT_FALSE(setLevel(*source, 21, 2) & 0x80000000u);
    EXPECT_EQ(0u, target->copyDstPrm(info, 0x04, 0, source->getTaskDirtyMem(9)));
    EXPECT_EQ(21, level(*target, 2));
    EXPECT_EQ(1, changed(*target, 1, 2));
    EXPECT_EQ(0, changed(*target, 1, 1));
}

// Two processes over one MAP_SHARED memfd: the child joins the parent's root and writes; the
// parent sees the value and the mark of a task it subscribed.
TEST(RootShareTest, ForkedChildJoinsOverSharedMemory)
{
    RootMemories m;
    ASSERT_TRUE(m.values.isValid() && m.tasks.isValid() && m.definition.isValid());
    auto root = pooledRoot(m);
    ASSERT_EQ(0u, root->subscribe(0, 4, 1, 0, 0));
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, root->shareRootFast(&info, nullptr, nullptr, 0));
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        uint32_t result = 1;
        auto* joined = new MMS::Root(&result, &m.definitionMemory, &m.valueMemory, &m.taskMemory, info, 0x01, false);
        int code = result == 0 ? 0 : 10;
        if (code == 0 && joined->finishBuild(0) != 0) code = 11;
        if (code == 0 && (setLevel(*joined, 88, 3, 1234) & 0x80000000u) != 0) code = 12;
        _exit(code);  // nothing of the parent's is given back from here
    }
    int status = -1;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(0, WEXITSTATUS(status));
    EXPECT_EQ(88, level(*root, 3));
    EXPECT_EQ(1, changed(*root, 4, 3));
    EXPECT_EQ(0, changed(*root, 4, 2));
}

}  // namespace
