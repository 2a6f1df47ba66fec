// The linked field: the thread-safe field's lock table over a link core, the link operations under
// their locks (also through MMS::ILink), the search tree it fills at the end of each build, and the
// copies into another field.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MMS/Common/FieldTestSupport.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/mms_LinkField.h"
#include "jlib/JVariant.h"

namespace MmsTreeTest {
namespace {

using FieldTest::getGain;
using FieldTest::kGainNode;
using FieldTest::lockJournal;
using FieldTest::RecordingMutex;
using FieldTest::setGain;

constexpr uint8_t kCtrl = 1;
constexpr uint8_t kRead = 3;
constexpr uint8_t kWrite = 5;

// Roots /<root>/Gain[kGainCount], int32 -1000000 .. 1000000 in steps of 1 (a link needs the step).
void buildRoots(MMS::IField& field, std::initializer_list<const char*> roots)
{
    ASSERT_EQ(0u, field.startBuild());
    for (const char* name : roots) {
        ASSERT_EQ(0u, field.createRoot(name, "Top", 0, 0, 64)) << name;
        JVariant minimum(-1000000);
        JVariant maximum(1000000);
        JVariant def(0);
        JVariant step(1);
        uint32_t index = 99;
        ASSERT_EQ(0u, field.addPrmFast(&index, name, nullptr, 0, "Gain", FieldTest::kGainCount, MMS::kMmsTypeInt32,
                                       &minimum, &maximum, &def, &step, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    }
    ASSERT_EQ(0u, field.finishBuild(1));
}

// Links Gain[0] and Gain[1] of the root into a new offset link; the link's id.
uint32_t linkGains(MMS::LinkField& f, const char* root, uint32_t handle)
{
    uint32_t id = 0;
    EXPECT_EQ(0u, f.createLink(&id, root, handle, 1, 0));
    for (uint32_t e : {0u, 1u}) {
        const uint32_t at[1] = {e};
        EXPECT_EQ(0u, f.addLinkPrm(root, id, kGainNode, at, 1, handle, 1, 0));
    }
    return id;
}

class LinkFieldLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        buildRoots(field, {"A", "B"});
        ASSERT_EQ(0u, field.linkHndlOpen(&handle));
        linkGains(field, "A", handle);
        journal.clear();
    }

    bool heapReady = (MmsTest::heap1(), true);  // before any field takes memory
    std::vector<std::string> journal;
    RecordingMutex mutex{&journal, "m"};
    MMS::LinkField field{nullptr, nullptr, &mutex, nullptr, nullptr, nullptr};
    uint32_t handle = 0;
};

TEST_F(LinkFieldLockTest, EveryOperationTakesTheLocksOfItsGroup)
{
    MMS::IField* f = &field;
    MMS::ILink* l = &field;
    const uint32_t zero[5] = {};
    const uint32_t codes[1] = {0};
    struct Row {
        const char* name;
        std::function<uint32_t()> call;
        uint8_t flags;
    };
    std::vector<uint8_t> buffer(4096);
    uint32_t written = 0;
    uint32_t value = 0;
    uint16_t small = 0;
    uint8_t byte = 0;
    JVariant v;
    const Row rows[] = {
        {"setPrmFast", [&] { return setGain(*f, "A", 0, 5); }, kWrite},
        {"getPrmFast", [&] { return f->getPrmFast(&v, nullptr, "A", kGainNode, zero, 1, 0, 0); }, kRead},
        {"getRootNum", [&] { return f->getRootNum(&value); }, kCtrl},
        {"getExportArraySize",
         [&] { return f->getExportArraySize(&value, "A", "Gain", 4, zero, zero, 1, 0); }, kCtrl},
        {"exportArrayFast",
         [&] {
             return f->exportArrayFast(buffer.data(), &written, 4096, "A", nullptr, zero, zero, 0, 0, 0, 0, 0, 0,
                                       nullptr, 0);
         },
         kRead},
        {"importDataFast",
         [&] {
             return f->importDataFast(buffer.data(), written, nullptr, 0, "B", nullptr, nullptr, 0, 0, 1, 0, 0,
                                      nullptr, 0, nullptr);
         },
         kWrite},
        {"subscribe", [&] { return f->subscribe(0, 7, 1, false); }, kWrite},
        {"finishBuild", [&] { return f->finishBuild(1); }, kWrite},
        {"getPrmDefFast short form", [&] { return f->getPrmDefFast(&v, "A", kGainNode, 1); }, kCtrl},
        {"linkSubscribe", [&] { return l->linkSubscribe(7, 0, false); }, kWrite},
        {"createLink", [&] { return l->createLink(&value, "B", handle, 1, 0); }, kWrite},
        {"setLinkOnOff", [&] { return l->setLinkOnOff("A", 1, 0, handle, 1, 0); }, kWrite},
        {"removeLinkPrm", [&] { return l->removeLinkPrm("A", 1, kGainNode, zero, 1, handle, 1, 0); }, kWrite},
        {"getLinkOnOff", [&] { return l->getLinkOnOff(&small, "A", 1); }, kRead},
        {"getNumOfLink", [&] { return l->getNumOfLink(&value, "A"); }, kRead},
        {"getLinkItemInfo",
         [&] {
             uint32_t n[5];
             uint32_t i[5];
             return l->getLinkItemInfo(n, i, &value, &v, 5, "A", 1, 0);
         },
         kRead},
        {"isLinkChangedFast", [&] { return l->isLinkChangedFast(&byte, "A", codes, zero, 1, 0, 7); }, kRead},
        {"linkHndlClose", [&] { return l->linkHndlClose(handle); }, kWrite},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        journal.clear();
        (void)row.call();  // the result is the core's; only the locks are looked at here
        EXPECT_EQ(lockJournal("m", row.flags), journal);
    }
    journal.clear();
    uint8_t status = 0;
    EXPECT_EQ(0u, field.getStatus(&status));
    EXPECT_EQ(&mutex, field.getMutex());
    EXPECT_TRUE(journal.empty());
}

TEST_F(LinkFieldLockTest, SubscribingTheLinkTaskGivesTheCoresAlreadyPresent)
{
    EXPECT_EQ(0x80000009u, field.subscribe(0, 0xFFFFFFFFu, 1, false));
    EXPECT_EQ(0u, field.subscribe(0, 7, 1, false));
}

TEST(LinkedFieldTest, WorksWithoutALockObjectAndPropagatesSets)
{
    (void)MmsTest::heap1();
    MMS::LinkField field(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A"});
    uint32_t handle = 0;
    ASSERT_EQ(0u, field.linkHndlOpen(&handle));
    linkGains(field, "A", handle);
    ASSERT_FALSE(MMS::mmsIsFailure(setGain(field, "A", 0, 40)));
    EXPECT_EQ(40, getGain(field, "A", 1));
    EXPECT_EQ(0, getGain(field, "A", 2));
}

// Builds one more root C with Gain[kGainCount] and ends the build with that option.
uint32_t addRootC(MMS::LinkField& field, bool withDefault)
{
    EXPECT_EQ(0u, field.startBuild());
    EXPECT_EQ(0u, field.createRoot("C", "Top", 0, 0, 64));
    JVariant minimum(-1000);
    JVariant maximum(1000);
    JVariant def(0);
    JVariant step(1);
    uint32_t index = 0;
    EXPECT_EQ(0u, field.addPrmFast(&index, "C", nullptr, 0, "Gain", FieldTest::kGainCount, MMS::kMmsTypeInt32,
                                   &minimum, &maximum, withDefault ? &def : nullptr, &step, nullptr, nullptr, 0, 1,
                                   0, nullptr, 0));
    return field.finishBuild(1);
}

TEST(LinkedFieldTest, EachFinishedBuildIndexesItsNewRootsAndKeepsTheOld)
{
    for (bool withDefault : {true, false}) {
        SCOPED_TRACE(withDefault);
        (void)MmsTest::heap1();
        MMS::LinkField field(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        buildRoots(field, {"A"});
        uint32_t handle = 0;
        ASSERT_EQ(0u, field.linkHndlOpen(&handle));
        linkGains(field, "A", handle);
        EXPECT_EQ(withDefault ? 0u : 0x80000005u, addRootC(field, withDefault));
        linkGains(field, "C", handle);
        for (const char* root : {"A", "C"}) {
            ASSERT_FALSE(MMS::mmsIsFailure(setGain(field, root, 0, 33))) << root;
            EXPECT_EQ(33, getGain(field, root, 1)) << root;
        }
    }
}

TEST(LinkedFieldTest, RootMadeAgainUnderItsNameGetsTheIndexOfItsNewShape)
{
    (void)MmsTest::heap1();
    MMS::LinkField field(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    buildRoots(field, {"A", "C"});
    uint32_t handle = 0;
    ASSERT_EQ(0u, field.linkHndlOpen(&handle));
    linkGains(field, "C", handle);
    ASSERT_EQ(0u, field.startBuild());
    ASSERT_EQ(0u, field.destroyRoot("C"));  // its links go with it

    // C again, with its Gain one level down: /C/Ch[2]/Gain[4].
    ASSERT_EQ(0u, field.startBuild());
    ASSERT_EQ(0u, field.createRoot("C", "Top", 0, 0, 64));
    uint32_t index = 0;
    ASSERT_EQ(0u, field.addCollectionFast(&index, "C", nullptr, 0, "Ch", 2));
    JVariant minimum(-1000);
    JVariant maximum(1000);
    JVariant def(0);
    const uint32_t ch[1] = {0};
    JVariant step(1);
    ASSERT_EQ(0u, field.addPrmFast(&index, "C", ch, 1, "Gain", 4, MMS::kMmsTypeInt32, &minimum, &maximum, &def,
                                   &step, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, field.finishBuild(1));

    uint32_t count = 9;
    ASSERT_EQ(0u, field.getNumOfLink(&count, "C"));
    EXPECT_EQ(0u, count);
    uint32_t id = 0;
    ASSERT_EQ(0u, field.createLink(&id, "C", handle, 1, 0));
    const uint32_t gain[2] = {0, 0};
    for (uint32_t e : {0u, 3u}) {
        const uint32_t at[2] = {1, e};
        EXPECT_EQ(0u, field.addLinkPrm("C", id, gain, at, 2, handle, 1, 0)) << e;
    }
    const uint32_t at[2] = {1, 0};
    ASSERT_FALSE(MMS::mmsIsFailure(field.setPrmFast(JVariant(12), "C", gain, at, 2, 0, 0, 0, 0, 1, nullptr, 0,
                                                    nullptr)));
    JVariant moved;
    const uint32_t other[2] = {1, 3};
    ASSERT_EQ(0u, field.getPrmFast(&moved, nullptr, "C", gain, other, 2, 0, 0));
    EXPECT_EQ(12, moved.toInt32());
}

TEST(LinkedFieldTest, DestroyingAFieldThatHoldsLinksGivesEverythingBack)
{
    const int atStart = MmsTest::heap1().live;
    {
        auto field = std::make_unique<MMS::LinkField>(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        buildRoots(*field, {"A", "B"});
        uint32_t handle = 0;
        ASSERT_EQ(0u, field->linkHndlOpen(&handle));
        linkGains(*field, "A", handle);
        linkGains(*field, "B", handle);
        ASSERT_EQ(0u, field->linkSubscribe(7, 0, true));
    }
    EXPECT_EQ(atStart, MmsTest::heap1().live);  // and the sanitizers see the rest
}

// ---- Copies ----

class LinkFieldCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        buildRoots(source, {"A", "B"});
        buildRoots(linked, {"A"});
        buildRoots(plain, {"A"});
        ASSERT_EQ(0u, source.subscribe(0, 7, 1, false));
        for (uint32_t e = 0; e < 3; ++e) ASSERT_FALSE(MMS::mmsIsFailure(setGain(source, "A", e, 100 + int(e))));
        journal.clear();
    }
    bool heapReady = (MmsTest::heap1(), true);  // before any field takes memory
    std::vector<std::string> journal;
    RecordingMutex sourceMutex{&journal, "src"};
    RecordingMutex linkedMutex{&journal, "dst"};
    RecordingMutex plainMutex{&journal, "dst"};
    MMS::LinkField source{nullptr, nullptr, &sourceMutex, nullptr, nullptr, nullptr};
    MMS::LinkField linked{nullptr, nullptr, &linkedMutex, nullptr, nullptr, nullptr};
    MMS::Field plain{nullptr, &plainMutex, nullptr, nullptr, nullptr};
};

TEST_F(LinkFieldCopyTest, CopiesIntoTheDestinationsOwnCopyUnderBothCtrlLocksInAddressOrder)
{
    struct Case {
        const char* name;
        MMS::IField* dst;
        MMS::IMutex* dstMutex;
    };
    const Case cases[] = {{"linked field", &linked, &linkedMutex}, {"thread-safe field", &plain, &plainMutex}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        EXPECT_EQ(0u, source.copyPrm("A", c.dst, "A", 0, 0, 7, 1, 0, 0) & 0x80000000u);
        const std::vector<std::string> taken = journal;
        for (uint32_t e = 0; e < 3; ++e) EXPECT_EQ(100 + int(e), getGain(*c.dst, "A", e));
        const bool sourceFirst = std::less<MMS::IMutex*>()(&sourceMutex, c.dstMutex);
        const std::string first = sourceFirst ? "src" : "dst";
        const std::string second = sourceFirst ? "dst" : "src";
        const std::vector<std::string> expected = {
            first + ".ctrlLock", second + ".ctrlLock", "src.getPrmLock",  "dst.ctrlLock",     "dst.setPrmLock",
            "dst.setPrmUnlock", "dst.ctrlUnlock",  "src.getPrmUnlock", second + ".ctrlUnlock", first + ".ctrlUnlock"};
        EXPECT_EQ(expected, taken);
        // The source flags of task 7 were taken and cleared.
        EXPECT_EQ(0, FieldTest::isGainChanged(source, "A", 0, 7));
    }
}

TEST_F(LinkFieldCopyTest, CopiesThatCouldNeverTakeTheirLocksAreRefused)
{
    MMS::LinkField sharing{nullptr, nullptr, &sourceMutex, nullptr, nullptr, nullptr};
    buildRoots(sharing, {"A"});
    journal.clear();
    struct Case {
        const char* name;
        MMS::IField* dst;
    };
    const Case cases[] = {{"null destination", nullptr}, {"this field", &source}, {"same lock object", &sharing}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(0x80000002u, source.copyPrm("A", c.dst, "B", 0, 0, 7, 0, 0, 0));
    }
    EXPECT_EQ(0, getGain(sharing, "A", 0));
    // Within one field: both names null, or the same root.
    EXPECT_EQ(0x80000002u, source.copyPrm(nullptr, nullptr, 0, 0, 7, 0, 0, 0));
    EXPECT_EQ(0x80000002u, source.copyPrm("A", "A", 0, 0, 7, 0, 0, 0));
    EXPECT_EQ(0, getGain(source, "B", 0));
    EXPECT_EQ(0u, source.copyPrm("A", "B", 0, 0, 7, 0, 0, 0) & 0x80000000u);
    EXPECT_EQ(101, getGain(source, "B", 1));
}

}  // namespace
}  // namespace MmsTreeTest
