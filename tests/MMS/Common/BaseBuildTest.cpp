// The field core's build phases, root additions and removals, subscriptions and rotating dirty
// areas.
#include "MMS/Common/mms_Base.h"

#include <gtest/gtest.h>

#include <vector>

#include "BaseFixture.h"
#include "MMS/Common/mms_sharedRootInfo.h"

namespace {

using MmsTest::FieldUnderTest;
using MmsTest::TestBase;

constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoDefault = 0x80000005u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kNotFound = 0x80000007u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;

uint8_t status(TestBase& field)
{
    uint8_t out = 0;
    EXPECT_EQ(0u, field.getStatus(&out));
    return out;
}

int referenceCount(TestBase& field, const char* root, uint32_t task)
{
    return field.root(root)->getTaskItemList().getReferenceCount(task);
}

TEST(BaseBuildTest, BuildPhasesMoveTheStatusAndCountBuilds)
{
    FieldUnderTest f;
    EXPECT_EQ(2, status(f.field));
    EXPECT_EQ(0u, f.field.finishBuild(1));  // ready: nothing to do
    EXPECT_EQ(kWrongState, f.field.linkBuild(1));
    EXPECT_EQ(0u, f.field.startBuild());
    EXPECT_EQ(0u, f.field.startBuild());
    EXPECT_EQ(1u, f.field.getBuildCount());
    EXPECT_EQ(1, status(f.field));
    EXPECT_EQ(0u, f.field.finishBuild(1));  // no roots
    EXPECT_EQ(2, status(f.field));
    EXPECT_TRUE(f.trigger.events.empty());
}

TEST(BaseBuildTest, SecondBuildRegistersAndAnnouncesOnlyItsNewRoots)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    ASSERT_EQ(0u, f.field.subscribe(0, 51, 1, false));
    f.trigger.events.clear();

    ASSERT_EQ(0u, f.field.startBuild());
    MmsTest::createStandardRoot(f.field, "B");
    EXPECT_EQ(0u, f.field.linkBuild(1));  // A, finished earlier, is passed over
    uint8_t rootStatus = 0;
    EXPECT_EQ(0u, f.field.getRootStatus("B", &rootStatus));
    EXPECT_EQ(2, rootStatus);
    EXPECT_EQ(0u, f.field.finishBuild(1));
    EXPECT_EQ(2u, f.field.getBuildCount());

    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(1, f.trigger.events[0].kind);
    EXPECT_EQ(0u, f.trigger.events[0].value);
    EXPECT_EQ(std::vector<uint32_t>{51}, f.trigger.events[0].tasks);
    EXPECT_EQ(1, referenceCount(f.field, "A", 51));
    EXPECT_EQ(1, referenceCount(f.field, "B", 51));

    // The addition flag tells the task about the new root until it is cleared.
    EXPECT_EQ(0u, f.field.getRootAdditionFlag("A", 51, 0));
    EXPECT_EQ(1u, f.field.getRootAdditionFlag("B", 51, 1));
    EXPECT_EQ(0u, f.field.getRootAdditionFlag("B", 51, 0));
    EXPECT_EQ(kNotFound, f.field.getRootAdditionFlag("B", 52, 1));
    EXPECT_EQ(kNoSuchItem, f.field.getRootAdditionFlag("C", 51, 1));
}

TEST(BaseBuildTest, MissingDefaultsAreLoggedOncePerRootAndTheBuildCompletes)
{
    MmsTest::DebugText& log = MmsTest::debugText();
    FieldUnderTest f;
    ASSERT_EQ(0u, f.field.startBuild());
    MmsTest::createStandardRoot(f.field, "A");
    MmsTest::createStandardRoot(f.field, "NoDefault", false);
    // Linked roots wrote their defaults at linkBuild, which reports the gap without a log line;
    // finishing them is then plain success.
    EXPECT_EQ(kNoDefault, f.field.linkBuild(1));
    EXPECT_EQ(0u, f.field.finishBuild(1));
    EXPECT_EQ(2, status(f.field));
    EXPECT_EQ("", log.text);

    FieldUnderTest g;
    ASSERT_EQ(0u, g.field.startBuild());
    MmsTest::createStandardRoot(g.field, "A");
    MmsTest::createStandardRoot(g.field, "NoDefault", false);
    MmsTest::createStandardRoot(g.field, "AlsoNone", false);
    EXPECT_EQ(kNoDefault, g.field.finishBuild(1));
    EXPECT_EQ(2, status(g.field));
    EXPECT_EQ(
        "[ MMS::DEFAULT ] Parameters without default value found.\n"
        "[ MMS::DEFAULT ] Parameters without default value found.\n",
        log.text);
    EXPECT_EQ(3u, g.trigger.events.size());  // every root is announced
    EXPECT_EQ(3, MmsTest::gain(g.field, "A"));
}

TEST(BaseBuildTest, DestroyingARootAnnouncesItAndEndsTheBuild)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A", "B"});
    ASSERT_EQ(0u, f.field.subscribe(0, 61, 1, false));
    f.trigger.events.clear();

    EXPECT_EQ(kWrongState, f.field.destroyRoot("A"));
    ASSERT_EQ(0u, f.field.startBuild());
    EXPECT_EQ(kNoSuchItem, f.field.destroyRoot("Nope"));
    EXPECT_EQ(2, status(f.field));

    ASSERT_EQ(0u, f.field.startBuild());
    EXPECT_EQ(0u, f.field.destroyRoot(nullptr));  // the first root
    EXPECT_EQ(2, status(f.field));
    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(std::vector<uint32_t>{61}, f.trigger.events[0].tasks);
    uint32_t count = 0;
    EXPECT_EQ(0u, f.field.getRootNum(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(nullptr, f.field.root("A"));
    EXPECT_EQ(0x100u, MmsTest::setGain(f.field, "B", 1));
}

TEST(BaseBuildTest, SubscriptionsAreRefusedOrUndoneWhole)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A", "B"});
    EXPECT_EQ(kBadArgument, f.field.subscribe(0, 0, 1, false));

    ASSERT_EQ(0u, f.field.subscribe(0, 71, 2, false));
    f.trigger.events.clear();
    EXPECT_EQ(kAlreadyPresent, f.field.subscribe(0, 71, 1, true));
    EXPECT_EQ(1, referenceCount(f.field, "A", 71));
    EXPECT_TRUE(f.trigger.events.empty());
    EXPECT_EQ(0, MmsTest::anyChanged(f.field, "A", 71));
    // The first subscription keeps its two areas.
    EXPECT_EQ(0u, f.field.exchangeSettingDirtyArea(71));
    const auto* item = f.field.root("B")->getTaskItemList().find(71);
    ASSERT_NE(nullptr, item);
    EXPECT_NE(item->dirtyMemory, item->settingArea);

    // A root refusing (no areas) leaves the task in no root and no record behind.
    EXPECT_EQ(kBadArgument, f.field.subscribe(0, 72, 0, false));
    EXPECT_EQ(0, referenceCount(f.field, "A", 72));
    EXPECT_EQ(0, referenceCount(f.field, "B", 72));
    EXPECT_EQ(kNotFound, f.field.exchangeSettingDirtyArea(72));
    EXPECT_EQ(0u, f.field.subscribe(0, 72, 1, false));
}

TEST(BaseBuildTest, RaiseAllWakesOnlyTheNewTask)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A", "B"});
    ASSERT_EQ(0u, f.field.subscribe(0, 81, 1, false));
    f.trigger.events.clear();
    ASSERT_EQ(0u, f.field.subscribe(0, 82, 1, true));

    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(1, f.trigger.events[0].kind);
    EXPECT_EQ(0u, f.trigger.events[0].value);
    EXPECT_EQ(std::vector<uint32_t>{82}, f.trigger.events[0].tasks);
    EXPECT_EQ(1, MmsTest::anyChanged(f.field, "A", 82));
    EXPECT_EQ(1, MmsTest::anyChanged(f.field, "B", 82));
    EXPECT_EQ(0, MmsTest::anyChanged(f.field, "A", 81));
}

TEST(BaseBuildTest, UnsubscribeRemovesTheTaskFromEveryRoot)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A", "B"});
    EXPECT_EQ(0u, f.field.unsubscribe(91));  // unknown: nothing to do
    ASSERT_EQ(0u, f.field.subscribe(0, 91, 1, false));
    ASSERT_EQ(0u, f.field.subscribe(0, 92, 1, false));
    EXPECT_EQ(0u, f.field.unsubscribe(91));
    EXPECT_EQ(0, referenceCount(f.field, "A", 91));
    EXPECT_EQ(0, referenceCount(f.field, "B", 91));
    EXPECT_EQ(1, referenceCount(f.field, "B", 92));
    EXPECT_EQ(0u, f.field.subscribe(0, 91, 1, false));  // the record went too
}

TEST(BaseBuildTest, DirtyAreasRotateModuloTheirCount)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    ASSERT_EQ(0u, f.field.subscribe(0, 41, 3, false));
    ASSERT_EQ(0u, f.field.subscribe(0, 42, 1, false));
    const auto areaIndex = [&](uint32_t task, bool setting) {
        const auto& list = f.field.root("A")->getTaskItemList();
        const auto* item = list.find(task);
        return ((setting ? item->settingArea : item->gettingArea) - item->dirtyMemory) / list.getDirtyMemSize();
    };
    for (int i = 0; i < 4; ++i) ASSERT_EQ(0u, f.field.exchangeSettingDirtyArea(41));
    EXPECT_EQ(1, areaIndex(41, true));
    EXPECT_EQ(0, areaIndex(41, false));
    ASSERT_EQ(0u, f.field.exchangeGettingDirtyArea(41));
    ASSERT_EQ(0u, f.field.exchangeGettingDirtyArea(41));
    EXPECT_EQ(2, areaIndex(41, false));

    EXPECT_EQ(0u, f.field.exchangeSettingDirtyArea(42));
    EXPECT_EQ(0u, f.field.exchangeGettingDirtyArea(42));
    EXPECT_EQ(0, areaIndex(42, true));
    EXPECT_EQ(kNotFound, f.field.exchangeGettingDirtyArea(43));

    // A root added later gets the task at its current indexes.
    ASSERT_EQ(0u, f.field.startBuild());
    MmsTest::createStandardRoot(f.field, "B");
    ASSERT_EQ(0u, f.field.finishBuild(1));
    const auto& list = f.field.root("B")->getTaskItemList();
    const auto* item = list.find(41);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(1, (item->settingArea - item->dirtyMemory) / list.getDirtyMemSize());
    EXPECT_EQ(2, (item->gettingArea - item->dirtyMemory) / list.getDirtyMemSize());
}

TEST(BaseBuildTest, RootAddedOverSharedMemoryIsRegisteredOnce)
{
    FieldUnderTest source;
    ASSERT_EQ(0u, source.field.startBuild());
    ASSERT_EQ(0u, source.field.createRoot("A", "Top", MmsTest::kStandardCollections,
                                          MmsTest::kStandardParameters, 256));
    MmsTest::addStandardTree(*source.field.root("A"));
    ASSERT_EQ(0u, source.field.finishBuild(1));
    MMS::sharedRootInfo info;
    ASSERT_EQ(0u, source.field.shareRootFast(&info, "A", nullptr, nullptr, 0));

    struct Case {
        const char* name;
        uint32_t (*add)(TestBase&, const MMS::sharedRootInfo&);
    };
    const Case cases[] = {
        {"addRoot", [](TestBase& f, const MMS::sharedRootInfo& i) { return f.addRoot("Copy", i); }},
        {"jointRoot", [](TestBase& f, const MMS::sharedRootInfo& i) { return f.jointRoot("Copy", i, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FieldUnderTest f;
        ASSERT_EQ(0u, f.field.subscribe(0, 31, 1, false));
        EXPECT_EQ(kWrongState, c.add(f.field, info));
        ASSERT_EQ(0u, f.field.startBuild());
        ASSERT_EQ(0u, c.add(f.field, info));
        EXPECT_EQ(1, referenceCount(f.field, "Copy", 31));
        EXPECT_EQ(kAlreadyPresent, c.add(f.field, info));
        ASSERT_EQ(0u, f.field.finishBuild(1));
        EXPECT_EQ(1, referenceCount(f.field, "Copy", 31));
        EXPECT_EQ(1u, f.field.getRootAdditionFlag("Copy", 31, 1));
        EXPECT_EQ(0x100u, MmsTest::setGain(f.field, "Copy", 4));
        EXPECT_EQ(1, MmsTest::anyChanged(f.field, "Copy", 31));

        EXPECT_EQ(0u, f.field.unsubscribe(31));
        EXPECT_EQ(0, referenceCount(f.field, "Copy", 31));
    }
}

}  // namespace
