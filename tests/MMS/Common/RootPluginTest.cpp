// Plug-in slots of a root and the plug-in passes after single writes, range writes and imports.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "RootTestDoubles.h"
#include "RootValueFixture.h"

namespace {

using MmsTest::IntArray;
using MmsTest::RecordingPlugin;
using MmsTest::ValueRoot;
using MmsTest::Vec;
constexpr const uint32_t* kCh = ValueRoot::kCh;
const uint32_t kChNode[1] = {0};
const uint32_t kBusNode[1] = {1};

TEST(RootPluginTest, SlotsChangeOnlyWhileLaidOut)
{
    RecordingPlugin first;
    RecordingPlugin second;
    ValueRoot r;
    MMS::ILinkPlugin* out = nullptr;
    EXPECT_EQ(0x80000002u, r.root->appendPluginFast(&first, nullptr, 1));
    EXPECT_EQ(0u, r.root->appendPluginFast(&first, nullptr, 0));  // the top collection: slot 0
    EXPECT_EQ(0x80000009u, r.root->appendPluginFast(&second, nullptr, 0));
    EXPECT_EQ(0u, r.root->getPluginFast(&out, nullptr, 0));
    EXPECT_EQ(&first, out);
    EXPECT_EQ(1u, r.root->getPluginCount());
    EXPECT_EQ(0u, r.root->appendPlugin(&second, "/Mix/Bus", 8));
    EXPECT_EQ(0x80000006u, r.root->appendPluginFast(&second, kCh, 2));  // a parameter has no slot
    EXPECT_EQ(2u, r.root->getPluginCount());
    EXPECT_EQ(1, second.attaches);
    EXPECT_NE(nullptr, second.getCollWrapper());

    // An empty slot: 0 and the count stays.
    EXPECT_EQ(0u, r.root->removePluginFast(kChNode, 1));
    EXPECT_EQ(2u, r.root->getPluginCount());
    EXPECT_EQ(0u, r.root->removePlugin("Bus", 3));
    EXPECT_EQ(1, second.detaches);
    EXPECT_EQ(1u, r.root->getPluginCount());
    EXPECT_EQ(0u, r.root->getPlugin(&out, "Bus", 3));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0u, r.root->removePlugin("Bus", 3));
    EXPECT_EQ(1u, r.root->getPluginCount());

    r.ready();
    EXPECT_EQ(0x80000004u, r.root->appendPluginFast(&second, kBusNode, 1));
    EXPECT_EQ(0x80000004u, r.root->removePluginFast(nullptr, 0));
    EXPECT_EQ(0u, r.root->getPluginFast(&out, nullptr, 0));  // still readable when ready
    EXPECT_EQ(&first, out);
    EXPECT_EQ(0x80000002u, r.root->getPluginFast(nullptr, nullptr, 0));
    EXPECT_EQ(1u, r.root->getPluginCount());
    EXPECT_EQ(0, first.detaches);
}

TEST(RootPluginTest, SingleWriteRunsThePluginAfterTheChange)
{
    struct Case {
        uint32_t answer;
        uint32_t result;
    };
    for (const Case c : {Case{0, 0x100u}, Case{1, 0x900u}}) {
        SCOPED_TRACE(c.answer);
        RecordingPlugin plugin;
        plugin.answer = c.answer;
        ValueRoot r;
        ASSERT_EQ(0u, r.root->appendPluginFast(&plugin, kChNode, 1));
        r.ready();
        ASSERT_EQ(0u, r.root->subscribe(1, 5, 1, 0, 0));  // does not want mode-1 marks
        EXPECT_EQ(c.result, r.set(4, kCh, 2, 1));
        ASSERT_EQ(1u, plugin.calls.size());
        EXPECT_EQ(4, plugin.calls[0].newValue);
        EXPECT_TRUE(plugin.calls[0].hadOld);
        EXPECT_EQ(0, plugin.calls[0].oldValue);
        EXPECT_EQ(2u, plugin.calls[0].instance);
        EXPECT_EQ(4, r.get(kCh, 2, 1));
        EXPECT_EQ(1, r.changed(5, kCh, 2, 1));  // the write itself was marked before the pass

        // An unchanged value does not reach the plug-in; another collection never does.
        EXPECT_EQ(0u, r.set(4, kCh, 2, 1));
        EXPECT_EQ(0x100u, r.set(4, ValueRoot::kBus, 0, 0));
        EXPECT_EQ(1u, plugin.calls.size());
    }
}

TEST(RootPluginTest, RangeDriverRunsOnlyWhereTheValueChanged)
{
    RecordingPlugin plugin;
    RecordingPlugin other;
    ValueRoot r;
    ASSERT_EQ(0u, r.root->appendPluginFast(&plugin, kChNode, 1));
    ASSERT_EQ(0u, r.root->appendPluginFast(&other, kBusNode, 1));
    ASSERT_EQ(0u, r.root->removePluginFast(kBusNode, 1));  // the drivers keep running for Ch
    r.ready();
    ASSERT_EQ(0x100u, r.set(20, kCh, 1, 1));
    plugin.calls.clear();

    // Three elements; the middle one keeps its value, the last is clamped to its old value.
    ASSERT_EQ(0x100u, r.set(100, kCh, 1, 2));
    plugin.calls.clear();
    IntArray values({7, 20, 500});
    const uint32_t first[2] = {1, 0};
    const uint32_t last[2] = {1, 2};
    const uint32_t result = r.root->setPrmArrayFast(*values.array, kCh, first, last, 2, nullptr, 0, 0, 0, 0, 0, 99,
                                                    nullptr, 0, 0, nullptr);
    EXPECT_EQ(0x100u, result & 0x80000100u);
    ASSERT_EQ(1u, plugin.calls.size());
    EXPECT_EQ(7, plugin.calls[0].newValue);
    EXPECT_EQ(0, plugin.calls[0].oldValue);
    EXPECT_EQ((Vec{0}), plugin.calls[0].indexes);

    // Plug-in takes the writes over: the driver reports it.
    plugin.calls.clear();
    plugin.answer = 1;
    IntArray next({8, 9, 10});
    EXPECT_EQ(0x900u, r.root->setPrmArrayFast(*next.array, kCh, first, last, 2, nullptr, 0, 0, 0, 0, 0, 99, nullptr,
                                              0, 0, nullptr) & 0x80000900u);
    EXPECT_EQ(3u, plugin.calls.size());
}

TEST(RootPluginTest, RangeOfMoreElementsThanAnOwnedArrayKeepsEveryOldValue)
{
    // 100 x 100 elements below a plug-in: the old values of one range write outgrow any owned
    // JVariantArray, and each element still reaches the plug-in with its own old value.
    (void)MmsTest::heap1();
    MMS::SharedMemWrapper definition;
    MMS::SharedMemWrapper values;
    MMS::SharedMemWrapper tasks;
    uint32_t result = 1;
    auto root = std::make_unique<MMS::Root>(&result, &definition, &values, &tasks, "Big", 0, 0, 16);
    ASSERT_EQ(0u, result);
    uint32_t index = 0;
    ASSERT_EQ(0u, root->addCollectionFast(&index, nullptr, 0, "Ch", 100));
    JVariant minimum(0);
    JVariant maximum(1000);
    JVariant def(0);
    ASSERT_EQ(0u, root->addPrmFast(&index, kChNode, 1, "Gain", 100, 0x002, &minimum, &maximum, &def, nullptr,
                                   nullptr, nullptr, 0, 0, 0, nullptr, 0));
    ASSERT_EQ(0u, root->linkBuild(1));
    RecordingPlugin plugin;
    ASSERT_EQ(0u, root->appendPluginFast(&plugin, kChNode, 1));
    ASSERT_EQ(0u, root->finishBuild(1));
    const uint32_t cell[2] = {99, 98};
    ASSERT_EQ(0x100u, root->setPrmFast(JVariant(5), kCh, cell, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    plugin.calls.clear();

    IntArray five({5});
    const uint32_t first[2] = {0, 0};
    const uint32_t last[2] = {99, 99};
    EXPECT_EQ(0x100u, root->setPrmArrayFast(*five.array, kCh, first, last, 2, nullptr, 1, 0, 0, 0, 0, 1, nullptr, 0,
                                            0, nullptr) &
                          0x80000100u);
    EXPECT_EQ(9999u, plugin.calls.size());  // the element that held 5 already is passed over
    for (const auto& call : plugin.calls) {
        ASSERT_EQ(5, call.newValue);
        ASSERT_EQ(0, call.oldValue);
    }
    root.reset();
}

TEST(RootPluginTest, DriversDoNothingWithoutPlugins)
{
    ValueRoot r;
    r.ready();
    ASSERT_EQ(0u, r.root->subscribe(0, 1, 1, 0, 0));
    MMS::DirtyFlagHolder holder(nullptr, 0, 0);
    std::vector<uint8_t> marks(64, 0xFF);
    IntArray values({1});
    const uint32_t first[2] = {0, 0};
    EXPECT_EQ(0x80000002u, r.root->pluginDriver(nullptr, 0, marks.data()));
    EXPECT_EQ(0x80000002u, r.root->pluginDriver(&holder, 0, nullptr));
    EXPECT_EQ(0u, r.root->pluginDriver(&holder, 0, marks.data()));
    EXPECT_EQ(0xFF, marks[0]);
    EXPECT_EQ(0x80000002u, r.root->pluginDriver(&holder, nullptr, *values.array, kCh, first, first, 6, nullptr, 0, 0,
                                                0, nullptr));
    EXPECT_EQ(0u, r.root->pluginDriver(&holder, nullptr, *values.array, kCh, first, first, 2, nullptr, 0, 0, 0,
                                       nullptr));
}

TEST(RootPluginTest, ImportDriverRunsEveryMarkedElementOnce)
{
    RecordingPlugin plugin;
    ValueRoot r;
    ASSERT_EQ(0u, r.root->appendPluginFast(&plugin, kChNode, 1));
    r.ready();
    ASSERT_EQ(0u, r.root->subscribe(0, 1, 1, 0, 0));
    ASSERT_EQ(0x100u, r.set(3, kCh, 0, 2));
    ASSERT_EQ(0x100u, r.set(-4, kCh, 3, 0));
    ASSERT_EQ(0x100u, r.set(5, ValueRoot::kBus, 1, 1));  // no plug-in above it
    // The subscriber's marks stand in for the marks an import leaves.
    const uint8_t* area = r.root->getTaskDirtyMem(1);
    const uint32_t size = r.root->getTaskItemList().getDirtyMemSize();
    std::vector<uint8_t> marks(area, area + size);
    plugin.calls.clear();
    plugin.answer = 1;
    MMS::DirtyFlagHolder holder(nullptr, 0, 0);
    EXPECT_EQ(0x800u, r.root->pluginDriver(&holder, 6, marks.data()));
    ASSERT_EQ(2u, plugin.calls.size());
    EXPECT_EQ(3, plugin.calls[0].newValue);
    EXPECT_EQ(3, plugin.calls[0].oldValue);
    EXPECT_EQ(0u, plugin.calls[0].instance);
    EXPECT_EQ(-4, plugin.calls[1].newValue);
    EXPECT_EQ(3u, plugin.calls[1].instance);
    EXPECT_EQ(std::vector<uint8_t>(size, 0), marks);  // every mark was taken
    plugin.answer = 0;
    plugin.calls.clear();
    std::vector<uint8_t> again(area, area + size);
    EXPECT_EQ(0u, r.root->pluginDriver(&holder, 6, again.data()));  // declined everywhere
    EXPECT_EQ(2u, plugin.calls.size());
}

}  // namespace
