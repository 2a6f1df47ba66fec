#include <gtest/gtest.h>

#include <vector>

#include "CollectionTreeBuilder.h"
#include "MMS/Common/mms_Collection.h"
#include "jlib/JVariant.h"

namespace {

using MMS::T_FAST_ADDRESS;
using MmsTest::TreeBuilder;
using MmsTest::Vec;

constexpr uint32_t kFound = 0x8000;
constexpr uint32_t kChanged = 0x100;
constexpr uint32_t kStillSet = 0x1000;

// Mix: Lvl (1 byte), Ch[3] { Gain (2 bytes), On (3 bits), Pan (2 bits), Sub[2] { X (int16) } }.
// Node indexes: Lvl 0, Ch 1; in Ch: Gain 0, On 1, Pan 2, Sub 3; in Sub: X 0.
void buildMix(TreeBuilder& t)
{
    t.prm({}, "Lvl", 1);
    t.coll({}, "Ch", 3);
    t.prm({1}, "Gain", 2);
    t.prm({1}, "On", 3, MMS::kMmsTypeBit);
    t.prm({1}, "Pan", 2, MMS::kMmsTypeBit);
    t.coll({1}, "Sub", 2);
    t.prm({1, 3}, "X", 1, MMS::kMmsTypeInt16);
    t.finish();
}

uint32_t isChanged(TreeBuilder& t, const Vec& nodes, const Vec& indexes, uint8_t clear, uint8_t* changed)
{
    const T_FAST_ADDRESS address{nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size())};
    return t.top->isChanged(changed, &address, 0, clear, t.dirty.data(), 0);
}

TEST(CollectionFlagsTest, ReadingOneOfTwoChangedParametersKeepsTheSummaryBit)
{
    TreeBuilder t;
    buildMix(t);
    t.markChanged({1}, {1}, 0, 0);  // Ch[1] Gain[0]
    t.markChanged({1}, {1}, 1, 2);  // Ch[1] On[2]
    const uint32_t chSummary = t.place({1}, {1}).dirtyBase;

    uint8_t changed = 0;
    EXPECT_EQ(kChanged | kStillSet, isChanged(t, {1, 0}, {1, 0}, 1, &changed));
    EXPECT_EQ(1, changed);
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, chSummary));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, 0));

    EXPECT_EQ(kChanged, isChanged(t, {1, 1}, {1, 2}, 1, &changed));
    EXPECT_EQ(1, changed);
    EXPECT_TRUE(TreeBuilder::allClear(t.dirty));

    // Nothing left: the answer is 0 and nothing changes.
    EXPECT_EQ(0u, isChanged(t, {1, 1}, {1, 2}, 1, &changed));
    EXPECT_EQ(0, changed);
}

TEST(CollectionFlagsTest, AChangeElsewhereKeepsEverySummaryBitAbove)
{
    TreeBuilder t;
    buildMix(t);
    t.markChanged({1, 3}, {2, 1}, 0, 0);  // Ch[2] Sub[1] X
    t.markChanged({}, {}, 0, 0);          // Lvl
    uint8_t changed = 0;
    // Sub[1] and Ch[2] become clean, the top keeps its bit for Lvl.
    EXPECT_EQ(kChanged | kStillSet, isChanged(t, {1, 3, 0}, {2, 1, 0}, 1, &changed));
    EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.place({1, 3}, {2, 1}).dirtyBase));
    EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.place({1}, {2}).dirtyBase));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, 0));
}

TEST(CollectionFlagsTest, ClearingACollectionElementClearsEverythingInside)
{
    TreeBuilder t;
    buildMix(t);
    t.markChanged({1}, {2}, 0, 1);
    t.markChanged({1, 3}, {2, 1}, 0, 0);
    t.markChanged({1}, {0}, 2, 1);
    uint8_t changed = 0;
    EXPECT_EQ(kChanged | kStillSet, isChanged(t, {1}, {2}, 1, &changed));
    EXPECT_EQ(1, changed);
    const TreeBuilder::Place ch2 = t.place({1}, {2});
    for (uint32_t bit = 0; bit < ch2.collection->getDirtyInfo().unit; ++bit) {
        EXPECT_FALSE(TreeBuilder::isSet(t.dirty, ch2.dirtyBase + bit)) << bit;
    }
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {0}, 2, 1)));

    // A question without clear changes nothing; a parameter on the path is refused further down.
    EXPECT_EQ(0u, isChanged(t, {1}, {0}, 0, &changed));
    EXPECT_EQ(1, changed);
    EXPECT_EQ(0x80000006u, isChanged(t, {0, 0}, {0, 0}, 0, &changed));
    EXPECT_EQ(0x80000002u, isChanged(t, {1}, {3}, 0, &changed));
}

struct Found {
    Vec nodes;
    Vec indexes;
};

TEST(CollectionFlagsTest, ChangedParametersComeInTreeOrderNeverTwice)
{
    TreeBuilder t;
    buildMix(t);
    t.markChanged({}, {}, 0, 0);          // Lvl
    t.markChanged({1}, {0}, 0, 1);        // Ch[0] Gain[1]
    t.markChanged({1, 3}, {2, 1}, 0, 0);  // Ch[2] Sub[1] X
    t.markChanged({1}, {2}, 2, 1);        // Ch[2] Pan[1]
    t.markChanged({1}, {2}, 1, 0);        // Ch[2] On[0]
    t.values[t.valueOffset({1}, {0}, 0, 1)] = 42;
    t.factors[t.dirtyBit({1}, {0}, 0, 1)] = 9;
    const std::vector<Found> expected = {
        {{0}, {0}}, {{1, 0}, {0, 1}}, {{1, 1}, {2, 0}}, {{1, 2}, {2, 1}}, {{1, 3, 0}, {2, 1, 0}},
    };

    for (uint8_t clear : {0, 1}) {
        SCOPED_TRACE(clear);
        Found start;  // empty: from the beginning
        for (const Found& want : expected) {
            uint32_t nodes[5] = {};
            uint32_t indexes[5] = {};
            uint32_t depth = 99;
            JVariant value;
            uint8_t factor = 0;
            // Without clear the previous find is the start; with clear every search starts at the top.
            const T_FAST_ADDRESS from{start.nodes.data(), start.indexes.data(),
                                      clear != 0 ? 0u : static_cast<uint32_t>(start.nodes.size())};
            const uint32_t r = t.top->getChangedPrmAddr(&value, &factor, nodes, indexes, &depth, 5, &from, 0, clear,
                                                        t.values.data(), t.dirty.data(), 0, t.factors.data());
            ASSERT_NE(0u, r & kFound);
            ASSERT_EQ(want.nodes.size(), depth);
            EXPECT_EQ(want.nodes, Vec(nodes, nodes + depth));
            EXPECT_EQ(want.indexes, Vec(indexes, indexes + depth));
            if (want.nodes == Vec{1, 0}) {
                EXPECT_EQ(42u, value.toUInt32());
                EXPECT_EQ(9, factor);
            }
            start = want;
        }
        uint32_t nodes[5] = {};
        uint32_t indexes[5] = {};
        uint32_t depth = 0;
        const T_FAST_ADDRESS from{start.nodes.data(), start.indexes.data(),
                                  clear != 0 ? 0u : static_cast<uint32_t>(start.nodes.size())};
        EXPECT_EQ(0u, t.top->getChangedPrmAddr(nullptr, nullptr, nodes, indexes, &depth, 5, &from, 0, clear,
                                               t.values.data(), t.dirty.data(), 0, t.factors.data()));
    }
    EXPECT_TRUE(TreeBuilder::allClear(t.dirty));
}

TEST(CollectionFlagsTest, ChangedElementsOfOnePathAdvanceLikeAnOdometer)
{
    TreeBuilder t;
    buildMix(t);
    t.markChanged({1}, {0}, 0, 1);  // Ch[0] Gain[1]
    t.markChanged({1}, {1}, 0, 0);  // Ch[1] Gain[0]
    t.markChanged({1}, {1}, 1, 0);  // Ch[1] On[0]: another path
    Vec at = {0, 0};
    const std::vector<Vec> expected = {{0, 1}, {1, 0}};
    for (const Vec& want : expected) {
        const Vec nodes = {1, 0};
        const T_FAST_ADDRESS address{nodes.data(), at.data(), 2};
        uint32_t indexes[5] = {};
        uint32_t depth = 0;
        const uint32_t r = t.top->getChangedPrmCh(nullptr, nullptr, indexes, &depth, 5, &address, 0, 0,
                                                  t.values.data(), t.dirty.data(), 0, t.factors.data());
        ASSERT_NE(0u, r & kFound);
        ASSERT_EQ(2u, depth);
        EXPECT_EQ(want, Vec(indexes, indexes + 2));
        at = want;
    }
    const Vec nodes = {1, 0};
    const T_FAST_ADDRESS last{nodes.data(), at.data(), 2};
    uint32_t indexes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(0u, t.top->getChangedPrmCh(nullptr, nullptr, indexes, &depth, 5, &last, 0, 0, t.values.data(),
                                         t.dirty.data(), 0, t.factors.data()));

    // Ending at the collection: the next changed element after Ch[0], invalid value, its factor;
    // Ch[0] keeps the top's summary bit.
    t.factors[t.place({1}, {1}).dirtyBase] = 7;
    const Vec chNode = {1};
    const Vec ch0 = {0};
    const T_FAST_ADDRESS ch{chNode.data(), ch0.data(), 1};
    JVariant value(5u);
    uint8_t factor = 0;
    EXPECT_EQ(kFound | kChanged | kStillSet, t.top->getChangedPrmCh(&value, &factor, indexes, &depth, 5, &ch, 0, 1,
                                                        t.values.data(), t.dirty.data(), 0, t.factors.data()));
    EXPECT_EQ(1u, depth);
    EXPECT_EQ(1u, indexes[0]);
    EXPECT_FALSE(value.isValid());
    EXPECT_EQ(7, factor);
    EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {1}, 1, 0)));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {0}, 0, 1)));
}

TEST(CollectionFlagsTest, AnImportedElementIsReportedBeforeWhatWasImportedInsideIt)
{
    TreeBuilder t;
    buildMix(t);
    TreeBuilder::setBit(t.flags, t.place({1}, {1}).importBase);
    TreeBuilder::setBit(t.flags, t.place({1, 3}, {1, 0}).importBase);
    TreeBuilder::setBit(t.searcher, 0);
    TreeBuilder::setBit(t.searcher, t.place({1}, {1}).importBase);

    const std::vector<Found> expected = {{{1}, {1}}, {{1, 3}, {1, 0}}};
    for (const Found& want : expected) {
        uint32_t nodes[5] = {};
        uint32_t indexes[5] = {};
        uint32_t depth = 99;
        const T_FAST_ADDRESS top{nullptr, nullptr, 0};
        const uint32_t r = t.top->getImportedCollectionAddr(nodes, indexes, &depth, 5, &top, 0, 1, t.searcher.data(),
                                                            t.flags.data(), 0);
        ASSERT_NE(0u, r & kFound);
        ASSERT_EQ(want.nodes.size(), depth);
        EXPECT_EQ(want.nodes, Vec(nodes, nodes + depth));
        EXPECT_EQ(want.indexes, Vec(indexes, indexes + depth));
    }
    uint32_t nodes[5] = {};
    uint32_t indexes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(0u, t.top->getImportedCollectionAddr(nodes, indexes, &depth, 5, nullptr, 0, 1, t.searcher.data(),
                                                   t.flags.data(), 0));
    EXPECT_TRUE(TreeBuilder::allClear(t.flags));
    EXPECT_TRUE(TreeBuilder::allClear(t.searcher));
}

TEST(CollectionFlagsTest, IsImportedAnswersForCollectionElementsOnly)
{
    TreeBuilder t;
    buildMix(t);
    TreeBuilder::setBit(t.flags, t.place({1}, {2}).importBase);
    TreeBuilder::setBit(t.searcher, 0);
    const Vec nodes = {1, 0};
    const Vec indexes = {2, 0};
    uint8_t imported = 0;
    const T_FAST_ADDRESS atParameter{nodes.data(), indexes.data(), 2};
    EXPECT_EQ(0x80000006u, t.top->isImported(&imported, &atParameter, 0, 1, t.searcher.data(), t.flags.data(), 0));

    const T_FAST_ADDRESS atCh{nodes.data(), indexes.data(), 1};
    EXPECT_EQ(0u, t.top->isImported(&imported, &atCh, 0, 0, t.searcher.data(), t.flags.data(), 0));
    EXPECT_EQ(1, imported);
    // Clearing the last flag below the top also takes the top's searcher bit.
    EXPECT_EQ(kChanged, t.top->isImported(&imported, &atCh, 0, 1, t.searcher.data(), t.flags.data(), 0));
    EXPECT_TRUE(TreeBuilder::allClear(t.flags));
    EXPECT_TRUE(TreeBuilder::allClear(t.searcher));
}

}  // namespace
