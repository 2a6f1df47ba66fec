#pragma once
// A ready link core over memfd-backed memories with one root, indexed by its search tree, and a
// recorder of both event triggers. The root "R" (node indexes in brackets):
//   Top
//     I  [0] Int32 x4, -100..100, step 1, default 10
//     B  [1] UInt8 x3, 0..1, step 1, default 0           (a 0/1 parameter: toggle links)
//     F  [2] Float x3, -1000..1000, step 0.5, default 1.5
//     S  [3] String, 8 bytes
//     J  [4] Int32 x2, -50..50, step 1, default 0        (other range than I)
//     N  [5] Int32 x2, -100..100, no step                (its step cannot be read)
//     C  [6] collection x2
//       K [0] Int32 x2, -100..100, step 1, default 20    (same attributes as I, one level down)
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MMS/Common/MemfdSharedMemory.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/RootTestDoubles.h"
#include "MMS/Common/mms_IEventFlagTrigger.h"
#include "MMS/Common/mms_MutexLock.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/mms_LinkBase.h"
#include "MMS/mms_SearchTree.h"
#include "jlib/JVariant.h"

namespace MmsTreeTest {

struct TriggerCall {
    uint8_t kind;
    uint32_t value;
    std::vector<uint32_t> tasks;
};

class RecordingTrigger : public MMS::IEventFlagTrigger {
public:
    uint32_t trigger(uint8_t kind, uint32_t value, MMS::T_TASK_LIST* tasks) override
    {
        TriggerCall call{kind, value, {}};
        while (const MMS::T_TASK_ITEM* item = MMS::getTaskItem(tasks)) call.tasks.push_back(item->taskId);
        calls.push_back(call);
        return 0;
    }
    std::vector<TriggerCall> calls;
};

// Node addresses of the standard root.
constexpr uint32_t kI[] = {0};
constexpr uint32_t kB[] = {1};
constexpr uint32_t kF[] = {2};
constexpr uint32_t kS[] = {3};
constexpr uint32_t kJ[] = {4};
constexpr uint32_t kN[] = {5};
constexpr uint32_t kC[] = {6};
constexpr uint32_t kK[] = {6, 0};

class LinkFieldTest : public ::testing::Test {
public:  // open to the table rows, which are lambdas
    void SetUp() override
    {
        heapAtStart = MmsTest::heap1().live;
        field = std::make_unique<MMS::LinkBase>(&fieldTrigger, &linkTrigger, definition.view(0), values.view(0),
                                                tasks.view(0), &tree);
        ASSERT_EQ(0u, field->startBuild());
        ASSERT_EQ(0u, field->createRoot("R", "Top", 0, 0, 256));
        addInt("I", nullptr, 0, 4, -100, 100, 1, 10);
        addUInt8("B", 3);
        addFloat("F", 3);
        uint32_t index = 0;
        JVariant stringMax(8u);
        JVariant stringDef("abc", 8);
        ASSERT_EQ(0u, field->addPrmFast(&index, "R", nullptr, 0, "S", 1, MMS::kMmsTypeString, nullptr, &stringMax,
                                        &stringDef, nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
        addInt("J", nullptr, 0, 2, -50, 50, 1, 0);
        addInt("N", nullptr, 0, 2, -100, 100, 0, 0);
        ASSERT_EQ(0u, field->addCollectionFast(&index, "R", nullptr, 0, "C", 2));
        addInt("K", kC, 1, 2, -100, 100, 1, 20);
        ASSERT_EQ(0u, field->finishBuild(1));
        ASSERT_EQ(0u, tree.initialize(field.get()));
        fieldTrigger.calls.clear();
    }

    void TearDown() override
    {
        field.reset();
        EXPECT_EQ(0u, definition.liveBlocks() + values.liveBlocks() + tasks.liveBlocks());
        EXPECT_EQ(heapAtStart, MmsTest::heap1().live);  // bit buffers and slots came back
    }

    void addInt(const char* name, const uint32_t* parent, uint32_t depth, uint32_t size, int min, int max, int step,
                int def)
    {
        uint32_t index = 0;
        JVariant vMin(min);
        JVariant vMax(max);
        JVariant vStep(step);
        JVariant vDef(def);
        ASSERT_EQ(0u, field->addPrmFast(&index, "R", parent, depth, name, size, MMS::kMmsTypeInt32, &vMin, &vMax,
                                        &vDef, step != 0 ? &vStep : nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    }
    void addUInt8(const char* name, uint32_t size)
    {
        uint32_t index = 0;
        JVariant vMin(0u);
        JVariant vMax(1u);
        JVariant vStep(1u);
        JVariant vDef(0u);
        ASSERT_EQ(0u, field->addPrmFast(&index, "R", nullptr, 0, name, size, MMS::kMmsTypeUInt8, &vMin, &vMax, &vDef,
                                        &vStep, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    }
    void addFloat(const char* name, uint32_t size)
    {
        uint32_t index = 0;
        JVariant vMin(-1000.0f);
        JVariant vMax(1000.0f);
        JVariant vStep(0.5f);
        JVariant vDef(1.5f);
        ASSERT_EQ(0u, field->addPrmFast(&index, "R", nullptr, 0, name, size, MMS::kMmsTypeFloat, &vMin, &vMax, &vDef,
                                        &vStep, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    }

    // Opens the build handle.
    uint32_t open()
    {
        uint32_t h = 0;
        EXPECT_EQ(0u, field->linkHndlOpen(&h));
        handle = h;
        return h;
    }
    // A new link of root R with the given members (each {node address, array index}).
    uint32_t makeLink(const std::vector<std::pair<const uint32_t*, uint32_t>>& members, uint32_t depth = 1)
    {
        uint32_t id = 0;
        EXPECT_EQ(0u, field->createLink(&id, "R", handle, 1, 0));
        for (const auto& m : members) {
            uint32_t indices[5] = {0, 0, 0, 0, 0};
            indices[depth - 1] = m.second;
            EXPECT_EQ(0u, field->addLinkPrm("R", id, m.first, indices, depth, handle, 1, 0));
        }
        return id;
    }

    // A value through the base alone: the link never sees it, unless keepMark leaves the change
    // marked for the link task, as a change not yet propagated.
    void put(const uint32_t* nodes, uint32_t index, const JVariant& v, uint32_t depth = 1, uint8_t factor = 0,
             bool keepMark = false)
    {
        uint32_t indices[5] = {0, 0, 0, 0, 0};
        indices[depth - 1] = index;
        ASSERT_FALSE(MMS::mmsIsFailure(field->MMS::Base::setPrmFast(v, "R", nodes, indices, depth, factor, 0, 0, 0,
                                                                    1, nullptr, 0, nullptr)));
        if (keepMark) return;
        JVariant ignored;
        ASSERT_FALSE(MMS::mmsIsFailure(field->MMS::Base::getPrmFast(&ignored, nullptr, "R", nodes, indices, depth, 1,
                                                                    MMS::LinkBase::kLinkTaskId)));
    }
    JVariant read(const uint32_t* nodes, uint32_t index, uint32_t depth = 1)
    {
        uint32_t indices[5] = {0, 0, 0, 0, 0};
        indices[depth - 1] = index;
        JVariant v;
        EXPECT_FALSE(MMS::mmsIsFailure(field->getPrmFast(&v, nullptr, "R", nodes, indices, depth, 0, 0)));
        return v;
    }
    int readInt(const uint32_t* nodes, uint32_t index, uint32_t depth = 1)
    {
        return read(nodes, index, depth).toInt32();
    }
    // The link's members as "node.index=remembered" joined by spaces (depth-1 members).
    std::string members(uint32_t linkId, const char* root = "R")
    {
        std::string out;
        for (uint32_t pos = 0;; ++pos) {
            uint32_t nodes[5] = {};
            uint32_t indices[5] = {};
            uint32_t depth = 0;
            JVariant value;
            if (field->getLinkItemInfo(nodes, indices, &depth, &value, 5, root, linkId, pos) != 0) break;
            if (!out.empty()) out += ' ';
            for (uint32_t d = 0; d < depth; ++d) {
                out += std::to_string(nodes[d]) + "." + std::to_string(indices[d]) + (d + 1 < depth ? "/" : "");
            }
            out += "=" + (value.getType() == JVariant::kTypeFloat ? std::to_string(value.toFloat())
                                                                   : std::to_string(value.toInt32()));
        }
        return out;
    }

    MmsTest::MemfdSharedMemory definition;
    MmsTest::MemfdSharedMemory values;
    MmsTest::MemfdSharedMemory tasks;
    RecordingTrigger fieldTrigger;
    RecordingTrigger linkTrigger;
    MMS::SearchTree tree;  // outlives the core, as the linked field keeps it
    std::unique_ptr<MMS::LinkBase> field;
    uint32_t handle = 0;
    int heapAtStart = 0;
};

}  // namespace MmsTreeTest
