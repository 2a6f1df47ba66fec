// The field core's forwarding to its roots: status rules per family, root lookup, notify modes,
// change events and results per family, plug-in presence and the core's copies.
#include "MMS/Common/mms_Base.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "BaseFixture.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "MmsTestHeap.h"
#include "RootTestDoubles.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsTest::FieldUnderTest;
using MmsTest::RecordingTrigger;
using MmsTest::TestBase;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kNotSupported = 0x8000000au;

struct StatusCase {
    const char* name;
    std::function<uint32_t(TestBase&)> call;
    uint32_t whileBuilding;
    uint32_t whileReady;
};

// One operation per family of the status table, called on the root "A" of a field that is
// building (A is ready from an earlier build) and of one that is ready.
std::vector<StatusCase> statusCases()
{
    static uint32_t index;
    static uint32_t count;
    static char text[64];
    return {
        {"setPrmFast", [](TestBase& f) { return MmsTest::setGain(f, "A", 1); }, kWrongState, 0x100},
        {"getRootNum", [](TestBase& f) { return f.getRootNum(&count); }, 0, 0},
        {"getRootStatus", [](TestBase& f) { uint8_t s; return f.getRootStatus("A", &s); }, 0, 0},
        {"getRootIdentifier", [](TestBase& f) { return f.getRootIdentifier(text, 0); }, 0, 0},
        {"delPrm", [](TestBase& f) { return f.delPrm("A", "Gain", 4); }, kNotSupported, kWrongState},
        {"delCollectionFast", [](TestBase& f) { return f.delCollectionFast("A", nullptr, 0); }, kNotSupported,
         kWrongState},
        {"delPrmFast unknown root", [](TestBase& f) { return f.delPrmFast("Nope", nullptr, 0); }, kNoSuchItem,
         kWrongState},
        // The root itself is ready, so it refuses the edit even while the field builds.
        {"addCollection", [](TestBase& f) { return f.addCollection(&index, "A", "", 0, "X", 1); }, kWrongState,
         kWrongState},
        {"setDescName", [](TestBase& f) { return f.setDescName("A", "Desc"); }, kWrongState, kWrongState},
        {"getPluginFast", [](TestBase& f) { MMS::ILinkPlugin* p; return f.getPluginFast(&p, "A", nullptr, 0); }, 0,
         0},
        {"removePluginFast", [](TestBase& f) { return f.removePluginFast("A", nullptr, 0); }, kWrongState,
         kWrongState},
        {"getDepth", [](TestBase& f) { return f.getDepth(&count, "A"); }, kWrongState, 0},
        {"cnvFastToStrAddr",
         [](TestBase& f) { return f.cnvFastToStrAddr(text, sizeof(text), "A", MmsTest::kGainNodes, 1, 1); },
         kWrongState, 0},
        {"subscribe", [](TestBase& f) { return f.subscribe(0, 5, 1, false); }, kWrongState, 0},
        {"exchangeSettingDirtyArea", [](TestBase& f) { return f.exchangeSettingDirtyArea(99); }, kWrongState,
         0x80000007u},
        {"getDumpSizeFast", [](TestBase& f) { return f.getDumpSizeFast(&count); }, kWrongState, 0},
        {"linkBuild", [](TestBase& f) { return f.linkBuild(1); }, 0, kWrongState},
        {"createRoot duplicate", [](TestBase& f) { return f.createRoot("A", "Top", 0, 0, 0); }, 0x80000009u,
         kWrongState},
    };
}

TEST(BaseTest, EachFamilyNeedsItsFieldStatus)
{
    for (const StatusCase& c : statusCases()) {
        SCOPED_TRACE(c.name);
        FieldUnderTest building;
        MmsTest::buildStandardField(building.field, {"A"});
        ASSERT_EQ(0u, building.field.startBuild());
        EXPECT_EQ(c.whileBuilding, c.call(building.field));

        FieldUnderTest ready;
        MmsTest::buildStandardField(ready.field, {"A"});
        EXPECT_EQ(c.whileReady, c.call(ready.field));
    }
}

TEST(BaseTest, FieldWithoutRootListRefusesEverythingStatusChecked)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    heap.refuse = true;  // the root list comes from the library heap
    RecordingTrigger trigger;
    TestBase field(&trigger, nullptr, nullptr, nullptr);
    heap.refuse = false;

    uint8_t status = 0;
    EXPECT_EQ(0u, field.getStatus(&status));
    EXPECT_EQ(3, status);
    EXPECT_EQ(&trigger, field.getEventTrigger());
    EXPECT_EQ(nullptr, field.getMutex());
    EXPECT_EQ(kBadArgument, field.getStatus(nullptr));
    uint32_t count = 0;
    uint8_t present = 0;
    EXPECT_EQ(kWrongState, field.startBuild());
    EXPECT_EQ(kWrongState, field.finishBuild(1));
    EXPECT_EQ(kWrongState, field.getRootNum(&count));
    EXPECT_EQ(kWrongState, field.subscribe(0, 5, 1, true));
    EXPECT_EQ(kWrongState, field.isPluginFast(&present, nullptr, nullptr, 0));
    EXPECT_EQ(kBadArgument, field.isPluginFast(nullptr, nullptr, nullptr, 0));  // checked before the status
    EXPECT_EQ(kWrongState, MmsTest::setGain(field, nullptr, 1));
    EXPECT_TRUE(trigger.events.empty());
}

TEST(BaseTest, RootsAreFoundByNameOrFirstForNull)
{
    FieldUnderTest f;
    EXPECT_EQ(kNoSuchItem, MmsTest::setGain(f.field, nullptr, 1));  // no roots yet
    MmsTest::buildStandardField(f.field, {"First", "Second"});
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "Second", 4));
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, nullptr, 5));

    EXPECT_EQ(5, MmsTest::gain(f.field, "First"));
    EXPECT_EQ(4, MmsTest::gain(f.field, "Second"));
    struct Case {
        const char* name;
        uint32_t result;
    };
    const Case cases[] = {
        {"Second", 0x100},
        {"Sec", kNoSuchItem},
        {"Second2", kNoSuchItem},
        {"second", kNoSuchItem},
        {"SecondSecondSecondSecondSecond", kNoSuchItem},  // longer than any name: 24 bytes compared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, MmsTest::setGain(f.field, c.name, 6));
    }

    char name[24];
    memset(name, 'x', sizeof(name));
    EXPECT_EQ(0u, f.field.getRootIdentifier(name, 1));
    EXPECT_EQ(0, memcmp(name, "Second\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24));
    EXPECT_EQ(kNoSuchItem, f.field.getRootIdentifier(name, 2));
    uint32_t count = 0;
    EXPECT_EQ(0u, f.field.getRootNum(&count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(kBadArgument, f.field.getRootNum(nullptr));
}

TEST(BaseTest, NotifyOptionsAddToTheBaseNotifyMode)
{
    struct Case {
        uint32_t options;
        uint32_t mode;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x00, 0x00, 0x00}, {0x01, 0x00, 0x02}, {0x04, 0x00, 0x01}, {0x20, 0x00, 0x04}, {0x80, 0x00, 0x01},
        {0xA5, 0x00, 0x07}, {0x02, 0x10, 0x10}, {0x5A, 0x08, 0x08}, {0x01, 0x40, 0x42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        EXPECT_EQ(c.expected, MMS::Base::setOption2notifyMode(c.options, c.mode));
    }

    // The mode reaches the root: a task whose kind mask shares a bit with it is not marked.
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    ASSERT_EQ(0u, f.field.subscribe(0x02, 11, 1, false));
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "A", 1, 0, 0x01));
    EXPECT_EQ(0, MmsTest::anyChanged(f.field, "A", 11));
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "A", 2, 0, 0x04));
    EXPECT_EQ(1, MmsTest::anyChanged(f.field, "A", 11));
}

// An export image of root A of a field with its Gain at value.
std::vector<unsigned char> gainImage(int value)
{
    FieldUnderTest source;
    MmsTest::buildStandardField(source.field, {"A"});
    EXPECT_EQ(0x100u, MmsTest::setGain(source.field, "A", value));
    std::vector<unsigned char> image(4096);
    uint32_t written = 0;
    EXPECT_EQ(0u, source.field.exportDataFast(image.data(), &written, static_cast<uint32_t>(image.size()), "A",
                                              nullptr, nullptr, 0, 1, 0, 0, 0, 0, nullptr));
    image.resize(written);
    return image;
}

TEST(BaseTest, ChangeEventsAndResultsFollowTheFamily)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    ASSERT_EQ(0u, f.field.subscribe(0, 21, 1, false));
    f.trigger.events.clear();

    // A set returns the root's result with its flags and sends the event, option 0x02 or not.
    EXPECT_EQ(0x100u, MmsTest::setGain(f.field, "A", 1, 0, 0x02, 7, 1));
    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(1, f.trigger.events[0].kind);
    EXPECT_EQ(7u, f.trigger.events[0].value);
    EXPECT_EQ(std::vector<uint32_t>{21}, f.trigger.events[0].tasks);
    EXPECT_EQ(0u, MmsTest::setGain(f.field, "A", 1));  // no change, no event
    EXPECT_EQ(1u, f.trigger.events.size());

    // An import that changed values returns 0; option 0x02 holds its event back.
    struct ImportCase {
        int value;
        uint8_t options;
        size_t events;
    };
    const ImportCase imports[] = {{-4, 0x00, 2}, {-5, 0x02, 2}, {-5, 0x00, 2}};
    for (const ImportCase& c : imports) {
        SCOPED_TRACE(c.value);
        std::vector<unsigned char> image = gainImage(c.value);
        EXPECT_EQ(0u, f.field.importDataFast(image.data(), static_cast<uint32_t>(image.size()), nullptr, 0, "A",
                                             nullptr, nullptr, 0, 1, 0, c.options, 9, nullptr, 0, nullptr));
        EXPECT_EQ(c.value, MmsTest::gain(f.field, "A"));
        EXPECT_EQ(c.events, f.trigger.events.size());
    }
    EXPECT_EQ(9u, f.trigger.events[1].value);
    EXPECT_EQ(0x80000002u, f.field.importDataFast(nullptr, 0, nullptr, 0, "A", nullptr, nullptr, 0, 1, 0, 0, 9,
                                                  nullptr, 0, nullptr));

    // The copying form leaves the caller's image as it was.
    const std::vector<unsigned char> image = gainImage(6);
    const std::vector<unsigned char> before = image;
    EXPECT_EQ(0u, f.field.importDataUsingMuchMemoryFast(image.data(), static_cast<uint32_t>(image.size()), nullptr,
                                                        0, "A", nullptr, nullptr, 0, 1, 0, 0, 9, nullptr, 0,
                                                        nullptr));
    EXPECT_EQ(before, image);
    EXPECT_EQ(6, MmsTest::gain(f.field, "A"));
}

TEST(BaseTest, ResetWritesDefaultsAndTakesMissingDefaultsAsSuccess)
{
    FieldUnderTest f;
    ASSERT_EQ(0u, f.field.startBuild());
    MmsTest::createStandardRoot(f.field, "A");
    MmsTest::createStandardRoot(f.field, "NoDefault", false);
    ASSERT_EQ(0x80000005u, f.field.finishBuild(1));
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "A", 9));
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "NoDefault", 9));
    f.trigger.events.clear();

    EXPECT_EQ(0x100u, f.field.setDefaultPrms("A", 2, 1, 17));
    EXPECT_EQ(3, MmsTest::gain(f.field, "A"));
    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(17u, f.trigger.events[0].value);

    EXPECT_EQ(0u, f.field.setDefaultPrms("NoDefault", 2, 1, 17));
    EXPECT_EQ(9, MmsTest::gain(f.field, "NoDefault"));
    EXPECT_EQ(kNotSupported, f.field.resetPrmFast("A", nullptr, nullptr, 0, 0, 2, 1, 17));
}

TEST(BaseTest, ArraySetsHandTheRootOneFactorForEveryElement)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    uint32_t raw[4] = {};
    JVariantArray values(raw, JVariant::kTypeUInt32, 1, 4);
    for (uint32_t i = 0; i < 4; ++i) ASSERT_EQ(0x10000u, values.setValue(i, JVariant(10u + i)));
    const uint32_t first[2] = {0, 0};
    const uint32_t last[2] = {3, 0};
    EXPECT_EQ(0x100u, f.field.setPrmArrayFast(values, "A", MmsTest::kLevelNodes, first, last, 2, 42, 0, 0, 0, 0, 7,
                                              nullptr, 0, 0, nullptr));
    for (uint32_t ch = 0; ch < 4; ++ch) {
        SCOPED_TRACE(ch);
        const uint32_t indices[2] = {ch, 0};
        JVariant out;
        uint8_t factor = 0;
        EXPECT_EQ(0u, f.field.getPrmFast(&out, &factor, "A", MmsTest::kLevelNodes, indices, 2, 0, 0));
        EXPECT_EQ(10u + ch, out.toUInt32());
        EXPECT_EQ(42, factor);
    }
    EXPECT_EQ(2u, f.trigger.events.size());  // the build's event, then the set's
}

TEST(BaseTest, ChangeWalkChecksItsCapacityBeforeTheRoot)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    uint32_t indices[5] = {};
    uint32_t depth = 0;
    const uint32_t start[2] = {0, 0};
    EXPECT_EQ(kBadArgument,
              f.field.getChangedPrmChFast(indices, &depth, 1, "Nope", MmsTest::kLevelNodes, start, 2, 0, 0));
    EXPECT_EQ(kNoSuchItem,
              f.field.getChangedPrmChFast(indices, &depth, 5, "Nope", MmsTest::kLevelNodes, start, 2, 0, 0));
}

TEST(BaseTest, PluginPresenceReadsThroughGetPlugin)
{
    MmsTest::RecordingPlugin plugin;  // outlives the field, which detaches it
    FieldUnderTest f;
    ASSERT_EQ(0u, f.field.startBuild());
    MmsTest::createStandardRoot(f.field, "A");
    ASSERT_EQ(0u, f.field.linkBuild(1));
    const uint32_t ch[1] = {2};
    ASSERT_EQ(0u, f.field.appendPluginFast(&plugin, "A", ch, 1));
    uint8_t present = 9;
    EXPECT_EQ(0u, f.field.isPluginFast(&present, "A", ch, 1));
    EXPECT_EQ(1, present);
    ASSERT_EQ(0u, f.field.finishBuild(1));

    present = 9;
    EXPECT_EQ(0u, f.field.isPlugin(&present, "A", "Ch", 2));
    EXPECT_EQ(1, present);
    EXPECT_EQ(0u, f.field.isPluginFast(&present, "A", nullptr, 0));
    EXPECT_EQ(0, present);
    EXPECT_EQ(kBadArgument, f.field.isPlugin(nullptr, "A", "Ch", 2));
    present = 9;
    EXPECT_EQ(kNoSuchItem, f.field.isPlugin(&present, "Nope", "Ch", 2));
    EXPECT_EQ(9, present);
    EXPECT_EQ(kWrongState, f.field.appendPluginFast(&plugin, "A", nullptr, 0));
}

TEST(BaseTest, CoreCopiesDescribeTheSourceAndSendOneEvent)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"Src", "Dst"});
    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "Src", -7));
    f.trigger.events.clear();

    EXPECT_EQ(kMissing, f.field.copyPrm("Src", "Dst", 0, 5, 0, 0, 0, 0));
    EXPECT_EQ(kMissing, f.field.copyPrm("Src", &f.field, "Dst", 0, 5, 0, 0, 0, 0));

    MMS::sharedRootInfo info;
    info.valueSize = 12345;
    ASSERT_EQ(0u, f.field.copyPrm(&info, "Src"));
    EXPECT_NE(12345u, info.valueSize);
    EXPECT_EQ(kNoSuchItem, f.field.copyPrm(&info, "Nope"));

    EXPECT_EQ(0x100u, f.field.copyDstPrm("Dst", info, 0x01, 0x02, 0, 5, nullptr));
    EXPECT_EQ(-7, MmsTest::gain(f.field, "Dst"));
    EXPECT_TRUE(f.trigger.events.empty());  // held back by option 0x02

    ASSERT_EQ(0x100u, MmsTest::setGain(f.field, "Src", 8));
    f.trigger.events.clear();
    EXPECT_EQ(0x100u, f.field.copyDstPrm("Dst", info, 0x01, 0, 0, 5, nullptr));
    ASSERT_EQ(1u, f.trigger.events.size());
    EXPECT_EQ(1, f.trigger.events[0].kind);
    EXPECT_EQ(5u, f.trigger.events[0].value);
    EXPECT_EQ(8, MmsTest::gain(f.field, "Dst"));
    EXPECT_EQ(0u, f.field.copyDstPrm("Dst", info, 0x01, 0, 0, 5, nullptr));  // nothing left to change
    EXPECT_EQ(1u, f.trigger.events.size());
}

TEST(BaseTest, ShortDefaultFormsReadTheFirstElement)
{
    FieldUnderTest f;
    MmsTest::buildStandardField(f.field, {"A"});
    MMS::IField& field = f.field;
    JVariant out;
    EXPECT_EQ(0u, field.getPrmDefFast(&out, "A", MmsTest::kGainNodes, 1));
    EXPECT_EQ(3, out.toInt32());
    out = JVariant();
    EXPECT_EQ(0u, field.getPrmDef(&out, "A", "Ch/Level", 8));
    EXPECT_EQ(50u, out.toUInt32());
    uint32_t size = 0;
    EXPECT_EQ(0u, field.getNodeArraySizeFast(&size, "A", MmsTest::kGainNodes, 1));
    EXPECT_EQ(2u, size);
    uint8_t category = 9;
    EXPECT_EQ(0u, field.getNodeCategory(&category, "A", "Ch", 2));
    EXPECT_EQ(0, category);
    uint32_t collections = 0;
    EXPECT_EQ(0u, field.getColAddrNum(&collections, "A"));
    EXPECT_EQ(3u, collections);
}

}  // namespace
