#pragma once
// Roots built over three memfd-backed memories (definition, values, task bookkeeping), so the
// tests can see which memory every block came from and that all of them come back. The standard
// tree (node indexes in brackets; parameters are numbered before collections):
//   Top
//     Gain [0]  Int32 x2, -10..10, default 3, unit "dB", name format "Gain%d"
//     Name [1]  String, 16 bytes, default "abc"
//     Ch   [2]  collection x4
//       Level [0]  UInt8, 0..100, default 50
//       Eq    [1]  collection x3
//         Freq [0]  Float, 20..20000, default 1000
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MemfdSharedMemory.h"
#include "MmsTestHeap.h"
#include "jlib/JVariant.h"

namespace MmsTest {

struct RootMemories {
    RootMemories() : heapLiveAtStart(heap1().live) {}

    uint64_t liveBlocks() const { return definition.liveBlocks() + values.liveBlocks() + tasks.liveBlocks(); }
    // Blocks of the library heap (nodes made one by one, plug-in list, dummy areas) not given back.
    int heapBlocks() const { return heap1().live - heapLiveAtStart; }

    int heapLiveAtStart;
    MemfdSharedMemory definition;
    MemfdSharedMemory values;
    MemfdSharedMemory tasks;
    MMS::SharedMemWrapper definitionMemory{definition.view(0)};
    MMS::SharedMemWrapper valueMemory{values.view(0)};
    MMS::SharedMemWrapper taskMemory{tasks.view(0)};
};

// Node counts of the standard tree, the top included.
constexpr uint32_t kStandardCollections = 3;
constexpr uint32_t kStandardParameters = 4;

// A root in building status over the memories; null when the constructor failed (result kept).
inline std::unique_ptr<MMS::Root> makeRoot(RootMemories& m, uint32_t* result, uint32_t maxCollections = 0,
                                           uint32_t maxParameters = 0, uint32_t stringPool = 256,
                                           const char* topName = "Top")
{
    std::unique_ptr<MMS::Root> root(new MMS::Root(result, &m.definitionMemory, &m.valueMemory, &m.taskMemory,
                                                  topName, maxCollections, maxParameters, stringPool));
    return root;
}

// Adds the standard tree to a building root.
inline void addStandardTree(MMS::Root& root)
{
    uint32_t index = 99;
    JVariant gainMin(-10);
    JVariant gainMax(10);
    JVariant gainDef(3);
    ASSERT_EQ(0u, root.addPrmFast(&index, nullptr, 0, "Gain", 2, MMS::kMmsTypeInt32, &gainMin, &gainMax, &gainDef,
                                  nullptr, nullptr, "dB", 3, 1, 0, "Gain%d", 7));
    ASSERT_EQ(0u, index);
    JVariant nameMax(16u);
    JVariant nameDef("abc", 16);
    ASSERT_EQ(0u, root.addPrm(&index, "", 1, "Name", 1, MMS::kMmsTypeString, nullptr, &nameMax, &nameDef, nullptr,
                              nullptr, nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(1u, index);
    ASSERT_EQ(0u, root.addCollectionFast(&index, nullptr, 0, "Ch", 4));
    ASSERT_EQ(2u, index);
    JVariant levelMin(0u);
    JVariant levelMax(100u);
    JVariant levelDef(50u);
    ASSERT_EQ(0u, root.addPrm(&index, "/Top/Ch", 8, "Level", 1, MMS::kMmsTypeUInt8, &levelMin, &levelMax, &levelDef,
                              nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, index);
    ASSERT_EQ(0u, root.addCollection(&index, "Ch", 3, "Eq", 3));
    ASSERT_EQ(1u, index);
    const uint32_t eq[] = {2, 1};
    JVariant freqMin(20.0f);
    JVariant freqMax(20000.0f);
    JVariant freqDef(1000.0f);
    ASSERT_EQ(0u, root.addPrmFast(&index, eq, 2, "Freq", 1, MMS::kMmsTypeFloat, &freqMin, &freqMax, &freqDef,
                                  nullptr, nullptr, "Hz", 3, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, index);
}

// A ready root with the standard tree and its defaults written.
inline std::unique_ptr<MMS::Root> makeStandardRoot(RootMemories& m, uint32_t maxCollections = 0,
                                                   uint32_t maxParameters = 0)
{
    uint32_t result = 1;
    auto root = makeRoot(m, &result, maxCollections, maxParameters);
    EXPECT_EQ(0u, result);
    addStandardTree(*root);
    EXPECT_EQ(0u, root->finishBuild(1));
    return root;
}

}  // namespace MmsTest
