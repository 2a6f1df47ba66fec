#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_BasedPlugin.h"
#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_PluginStruct.h"
#include "MMS/Common/mms_PrmAttrib.h"
#include "ValueTree.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsValues::ValueTree;
using MMS::T_FAST_ADDRESS;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoDefault = 0x80000005u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kNotSupported = 0x8000000au;
constexpr uint32_t kChanged = 0x100;
constexpr uint32_t kHandled = 0x800;
constexpr uint32_t kStillDirty = 0x1000;

// A plug-in on Ch that answers execute and getDefault as told and records what it was given.
class ScriptedPlugin : public MMS::BasedPlugin {
public:
    uint32_t getAddrTable(MMS::PLUGIN_ADDR_INFO** table, uint32_t* count) override
    {
        *table = m_table;
        *count = 1;
        return 0;
    }
    uint32_t execute(const JVariant& newValue, const JVariant* oldValue, uint32_t instance, const uint32_t* nodes,
                     const uint32_t*, uint32_t depth, MMS::ILinkReason&, MMS::MMS_PLUGIN_STRUCT* context) override
    {
        ++calls;
        seenValue = newValue.toUInt32();
        seenOld = oldValue != nullptr ? oldValue->toUInt32() : 0xFFFFFFFFu;
        seenInstance = instance;
        seenFirstNode = depth > 0 ? nodes[0] : 0xFFFFFFFFu;
        seenDepth = depth;
        seenLevel = context->level;
        return answer;
    }
    uint32_t getDefault(JVariant* value, uint32_t, const uint32_t*, const uint32_t*, uint32_t,
                        MMS::MMS_PLUGIN_STRUCT*) const override
    {
        *value = JVariant(defaultValue);
        return defaultAnswer;
    }

    uint32_t answer = 0;
    uint32_t defaultAnswer = 0;
    uint32_t defaultValue = 0;
    int calls = 0;
    uint32_t seenValue = 0, seenOld = 0, seenInstance = 0, seenFirstNode = 0, seenDepth = 0, seenLevel = 0;

private:
    MMS::PLUGIN_ADDR_INFO m_table[1] = {{"Gain", {}, 0, 0}};
};

TEST(CollectionValuesTest, SetMarksItsPathOnlyWhenTheValueChanges)
{
    ValueTree tree;
    EXPECT_EQ(kChanged, tree.set({2, 0}, {2, 1}, 33));
    EXPECT_EQ(33u, tree.get({2, 0}, {2, 1}));
    EXPECT_EQ(10u, tree.get({2, 0}, {2, 0}));  // the neighbour keeps its default
    EXPECT_TRUE(tree.dirty(0));
    EXPECT_TRUE(tree.dirty(tree.chElement(2)));
    EXPECT_TRUE(tree.dirty(tree.gainBit(2, 1)));
    EXPECT_EQ(3, tree.dirtyCount());
    EXPECT_EQ(9, tree.factorMemory[tree.gainBit(2, 1)]);

    tree.clearDirty();
    EXPECT_EQ(0u, tree.set({2, 0}, {2, 1}, 33));
    EXPECT_EQ(0, tree.dirtyCount());
}

TEST(CollectionValuesTest, SetRefusesBadAddresses)
{
    ValueTree tree;
    const uint32_t nodes[] = {2, 0};
    const uint32_t indexes[] = {4, 0};
    struct Case {
        const char* name;
        T_FAST_ADDRESS address;
        uint32_t level;
        uint32_t result;
    };
    const Case cases[] = {
        {"level not below depth", {nodes, indexes, 2}, 2, kNoSuchItem},
        {"no index vector", {nodes, nullptr, 2}, 0, kMissing},
        {"element past the array", {nodes, indexes, 2}, 0, kBadArgument},
        {"ends at a collection", {nodes, indexes, 1}, 0, kNoSuchItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, tree.top->setPrm(nullptr, nullptr, JVariant(1u), &c.address, c.level, 0, 0, nullptr,
                                             tree.valueMemory.data(), &tree.holder, 0, tree.factorMemory.data(),
                                             tree.plugins.data(), nullptr, 0));
    }
    EXPECT_EQ(0, tree.dirtyCount());
}

TEST(CollectionValuesTest, PluginAnswerDecidesWhetherTheSetWritesLocally)
{
    struct Case {
        const char* name;
        uint32_t answer;
        uint32_t result;
        uint32_t stored;
    };
    const Case cases[] = {
        {"plug-in did the set", 1, kHandled, 10},
        {"plug-in lets the collection write", 0, kChanged, 44},
        {"plug-in fails", 0x80000002u, kMissing, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlugin plugin;
        ValueTree tree;
        plugin.answer = c.answer;
        const uint32_t ch[] = {2};
        const T_FAST_ADDRESS toCh{ch, nullptr, 1};
        ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &toCh, 0, tree.plugins.data(), ValueTree::kPool));
        JVariant old(77u);
        EXPECT_EQ(c.result, tree.set({2, 0}, {3, 1}, 44, nullptr, &old));
        EXPECT_EQ(c.stored, tree.get({2, 0}, {3, 1}));
        EXPECT_EQ(1, plugin.calls);
        EXPECT_EQ(44u, plugin.seenValue);
        EXPECT_EQ(77u, plugin.seenOld);
        EXPECT_EQ(3u, plugin.seenInstance);
        EXPECT_EQ(0u, plugin.seenFirstNode);  // Gain, below Ch
        EXPECT_EQ(1u, plugin.seenDepth);
        EXPECT_EQ(1u, plugin.seenLevel);
        EXPECT_EQ(c.stored != 10, tree.dirty(tree.gainBit(3, 1)));
    }
}

TEST(CollectionValuesTest, FirstPassReportsThePluginAndWritesWithTheOldValue)
{
    ScriptedPlugin plugin;
    ValueTree tree;
    plugin.answer = 1;
    const uint32_t ch[] = {2};
    const T_FAST_ADDRESS toCh{ch, nullptr, 1};
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &toCh, 0, tree.plugins.data(), ValueTree::kPool));
    uint8_t found = 0;
    JVariant old;
    EXPECT_EQ(kChanged, tree.set({2, 0}, {1, 0}, 55, &found, &old));
    EXPECT_EQ(1, found);
    EXPECT_EQ(10u, old.toUInt32());
    EXPECT_EQ(55u, tree.get({2, 0}, {1, 0}));
    EXPECT_EQ(0, plugin.calls);
}

TEST(CollectionValuesTest, ArraySetConsumesValuesInOdometerOrderAndSkipsMissingElements)
{
    struct Case {
        const char* name;
        std::vector<uint32_t> nodes;
        std::vector<uint32_t> first;
        std::vector<uint32_t> last;
        uint32_t position;
        // (ch, sub or gain element, value) written
        std::vector<std::vector<uint32_t>> written;
    };
    const Case cases[] = {
        {"Ch 0..5 of 4, two Gain values each", {2, 0}, {0, 0}, {5, 1}, 12,
         {{0, 0, 20}, {0, 1, 21}, {1, 0, 22}, {3, 1, 27}}},
        {"Sub 1..2 of 2 inside Ch 0..1", {2, 1, 0}, {0, 1, 0}, {1, 2, 0}, 4, {{0, 1, 20}, {1, 1, 22}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ValueTree tree;
        JVariantArray values(JVariant::kTypeUInt32, 4, 16);
        for (uint32_t i = 0; i < 16; ++i) ASSERT_EQ(0x10000u, values.setValue(i, JVariant(20 + i)));
        const T_FAST_ADDRESS address{c.nodes.data(), c.first.data(), static_cast<uint32_t>(c.nodes.size())};
        uint32_t position = 0;
        const uint8_t factor = 4;
        EXPECT_EQ(kChanged, tree.top->setPrmArray(nullptr, &position, nullptr, values, &address, c.last.data(), 0,
                                                  &factor, 0, 1, 0, nullptr, tree.valueMemory.data(), &tree.holder, 0,
                                                  tree.factorMemory.data(), tree.plugins.data(), nullptr, 0));
        EXPECT_EQ(c.position, position);
        for (const auto& w : c.written) {
            if (c.nodes.size() == 2) {
                EXPECT_EQ(w[2], tree.get({2, 0}, {w[0], w[1]})) << w[0] << "/" << w[1];
                EXPECT_TRUE(tree.dirty(tree.gainBit(w[0], w[1])));
            } else {
                EXPECT_EQ(w[2], tree.get({2, 1, 0}, {w[0], w[1], 0})) << w[0] << "/" << w[1];
                EXPECT_TRUE(tree.dirty(tree.subElement(w[0], w[1])));
            }
            EXPECT_TRUE(tree.dirty(tree.chElement(w[0])));
        }
        EXPECT_TRUE(tree.dirty(0));
    }
}

TEST(CollectionValuesTest, ArraySetReportsAPluginOnThePathWithoutCallingIt)
{
    ScriptedPlugin plugin;
    ValueTree tree;
    const uint32_t ch[] = {2};
    const T_FAST_ADDRESS toCh{ch, nullptr, 1};
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &toCh, 0, tree.plugins.data(), ValueTree::kPool));
    JVariantArray values(JVariant::kTypeUInt32, 4, 1);
    ASSERT_EQ(0x10000u, values.setValue(0, JVariant(3u)));
    const uint32_t nodes[] = {2, 0};
    const uint32_t first[] = {0, 0};
    const uint32_t last[] = {3, 1};
    const T_FAST_ADDRESS address{nodes, first, 2};
    uint32_t position = 0;
    uint8_t found = 0;
    const uint8_t factor = 1;
    EXPECT_EQ(kChanged, tree.top->setPrmArray(&found, &position, nullptr, values, &address, last, 0, &factor, 1, 1, 0,
                                              nullptr, tree.valueMemory.data(), &tree.holder, 0,
                                              tree.factorMemory.data(), tree.plugins.data(), nullptr, 0));
    EXPECT_EQ(1, found);
    EXPECT_EQ(0, plugin.calls);
    EXPECT_EQ(3u, tree.get({2, 0}, {3, 1}));  // repeat: every element got the first value
}

TEST(CollectionValuesTest, GetWithClearKeepsTheSummaryChainRight)
{
    struct Case {
        const char* name;
        std::vector<std::vector<uint32_t>> alsoDirty;  // further X elements set: (ch, sub)
        uint32_t result;
        bool subStays, chStays, topStays;
    };
    const Case cases[] = {
        {"last dirty element clears every summary bit up to the top", {}, kChanged, false, false, false},
        {"sibling element of Sub still dirty", {{1, 1}}, kChanged | kStillDirty, false, true, true},
        {"other Ch element still dirty", {{3, 0}}, kChanged | kStillDirty, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ValueTree tree;
        ASSERT_EQ(kChanged, tree.set({2, 1, 0}, {1, 0, 0}, 1));
        for (const auto& d : c.alsoDirty) ASSERT_EQ(kChanged, tree.set({2, 1, 0}, {d[0], d[1], 0}, 1));
        uint32_t result = 0;
        EXPECT_EQ(1u, tree.get({2, 1, 0}, {1, 0, 0}, 1, &result));
        EXPECT_EQ(c.result, result);
        EXPECT_FALSE(tree.dirty(tree.xBit(1, 0)));
        EXPECT_EQ(c.subStays, tree.dirty(tree.subElement(1, 0)));
        EXPECT_EQ(c.chStays, tree.dirty(tree.chElement(1)));
        EXPECT_EQ(c.topStays, tree.dirty(0));
    }
}

TEST(CollectionValuesTest, ArrayGetWithClearKeepsTheSummaryChainRight)
{
    ValueTree tree;
    ASSERT_EQ(kChanged, tree.set({2, 0}, {1, 0}, 1));
    ASSERT_EQ(kChanged, tree.set({2, 0}, {2, 1}, 2));
    const uint32_t nodes[] = {2, 0};
    const uint32_t first[] = {1, 0};
    const uint32_t last[] = {1, 1};
    const T_FAST_ADDRESS address{nodes, first, 2};
    JVariantArray values(JVariant::kTypeUInt32, 4, 2);
    unsigned char dirtyOut[1] = {};
    uint32_t position = 0;
    EXPECT_EQ(kChanged | kStillDirty,
              tree.top->getPrmArray(&position, &values, nullptr, dirtyOut, &address, last, 0, 1,
                                    tree.valueMemory.data(), tree.dirtyMemory.data(), 0, tree.factorMemory.data()));
    EXPECT_EQ(2u, position);
    EXPECT_EQ(1u, values.toUInt32(0));
    EXPECT_EQ(10u, values.toUInt32(1));
    EXPECT_EQ(0x80, dirtyOut[0]);  // element 0 was dirty, element 1 not
    EXPECT_FALSE(tree.dirty(tree.chElement(1)));
    EXPECT_TRUE(tree.dirty(tree.chElement(2)));
    EXPECT_TRUE(tree.dirty(0));
}

TEST(CollectionValuesTest, ResetBringsTheWholeCollectionBackAndMarksOnlyChanges)
{
    ValueTree tree;
    ASSERT_EQ(kChanged, tree.set({2, 0}, {0, 1}, 50));
    ASSERT_EQ(kChanged, tree.set({2, 1, 0}, {3, 1, 0}, 60));
    ASSERT_EQ(kChanged, tree.set({0}, {0}, 70));
    tree.clearDirty();
    const uint32_t nodes[] = {2};
    const uint32_t indexes[] = {1};  // any element: the whole collection is reset
    const T_FAST_ADDRESS address{nodes, indexes, 1};
    EXPECT_EQ(kChanged, tree.top->resetPrm(&address, 0, 1, tree.valueMemory.data(), ValueTree::kPool, 6, &tree.holder,
                                           0, tree.factorMemory.data(), tree.tagMemory.data()));
    EXPECT_EQ(10u, tree.get({2, 0}, {0, 1}));
    EXPECT_EQ(7u, tree.get({2, 1, 0}, {3, 1, 0}));
    EXPECT_EQ(70u, tree.get({0}, {0}));  // outside the reset collection
    EXPECT_TRUE(tree.dirty(tree.gainBit(0, 1)));
    EXPECT_TRUE(tree.dirty(tree.xBit(3, 1)));
    EXPECT_TRUE(tree.dirty(tree.chElement(0)));
    EXPECT_TRUE(tree.dirty(tree.chElement(3)));
    EXPECT_TRUE(tree.dirty(tree.subElement(3, 1)));
    EXPECT_TRUE(tree.dirty(0));
    EXPECT_EQ(6, tree.dirtyCount());
    EXPECT_EQ(6, tree.factorMemory[tree.xBit(3, 1)]);

    tree.clearDirty();
    EXPECT_EQ(0u, tree.top->resetPrm(&address, 0, 1, tree.valueMemory.data(), ValueTree::kPool, 6, &tree.holder, 0,
                                     tree.factorMemory.data(), tree.tagMemory.data()));
    EXPECT_EQ(0, tree.dirtyCount());
}

TEST(CollectionValuesTest, ResetOverAParameterWithoutDefaultStillMarksWhatChanged)
{
    ValueTree tree(true);
    ASSERT_EQ(kChanged, tree.set({2, 1, 0}, {1, 0, 0}, 50));
    ASSERT_EQ(kChanged, tree.set({2, 1, 1}, {1, 0, 0}, 3));
    tree.clearDirty();
    const uint32_t nodes[] = {2};
    const uint32_t indexes[] = {0};
    const T_FAST_ADDRESS address{nodes, indexes, 1};
    EXPECT_EQ(kNoDefault | kChanged,
              tree.top->resetPrm(&address, 0, 1, tree.valueMemory.data(), ValueTree::kPool, 6, &tree.holder, 0,
                                 tree.factorMemory.data(), tree.tagMemory.data()));
    EXPECT_EQ(7u, tree.get({2, 1, 0}, {1, 0, 0}));
    EXPECT_TRUE(tree.dirty(tree.xBit(1, 0)));
    EXPECT_TRUE(tree.dirty(tree.subElement(1, 0)));
    EXPECT_TRUE(tree.dirty(tree.chElement(1)));
    EXPECT_TRUE(tree.dirty(0));
}

TEST(CollectionValuesTest, ResetRefusesWithoutFlagOrAtAParameter)
{
    ValueTree tree;
    const uint32_t ch[] = {2};
    const uint32_t gain[] = {2, 0};
    const uint32_t indexes[] = {0, 0};
    struct Case {
        const char* name;
        T_FAST_ADDRESS address;
        uint8_t flag;
        uint32_t result;
    };
    const Case cases[] = {
        {"reset flag 0", {ch, indexes, 1}, 0, kNotSupported},
        {"address ends at a parameter", {gain, indexes, 2}, 1, kNotSupported},
        {"unknown node", {indexes, indexes, 1}, 1, kNotSupported},  // node 0 is Lvl, a parameter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, tree.top->resetPrm(&c.address, 0, c.flag, tree.valueMemory.data(), ValueTree::kPool, 0,
                                               &tree.holder, 0, tree.factorMemory.data(), tree.tagMemory.data()));
    }
    const uint32_t far[] = {9};
    const T_FAST_ADDRESS unknown{far, indexes, 1};
    EXPECT_EQ(kNoSuchItem, tree.top->resetPrm(&unknown, 0, 1, tree.valueMemory.data(), ValueTree::kPool, 0,
                                              &tree.holder, 0, tree.factorMemory.data(), tree.tagMemory.data()));
}

TEST(CollectionValuesTest, BuildingTimeFillReachesEveryElement)
{
    ValueTree tree;  // filled by the building-time form
    for (uint32_t ch = 0; ch < 4; ++ch) {
        for (uint32_t e = 0; e < 2; ++e) EXPECT_EQ(10u, tree.get({2, 0}, {ch, e}));
        for (uint32_t s = 0; s < 2; ++s) EXPECT_EQ(7u, tree.get({2, 1, 0}, {ch, s, 0}));
    }
    EXPECT_EQ(5u, tree.get({0}, {0}));
    EXPECT_EQ(0, tree.dirtyCount());
}

TEST(CollectionValuesTest, BuildingTimeFillWithoutADefaultStillFillsTheRest)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    (void)heap;
    MMS::TreeNodeCollector factory;
    MMS::SharedMemWrapper wrapper;
    MMS::Collection* top = factory.create("Top", 1);
    ASSERT_NE(nullptr, top);
    JVariant def(4u);
    uint32_t index = 0;
    ASSERT_EQ(0u, top->addPrm(&index, &wrapper,
                              factory.create("NoDef", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, 0, 0, 1, 0, 0, 0)));
    ASSERT_EQ(0u, top->addPrm(&index, &wrapper,
                              factory.create("Def", 1, MMS::kMmsTypeUInt8, nullptr, nullptr, &def, nullptr, nullptr,
                                             0, 0, 1, 0, 0, 0)));
    uint32_t v = 0, d = 0, i = 0, s = 0, t = 0, sc = 0;
    ASSERT_EQ(0u, top->setMemAddrInfo(&v, &d, &i, &s, &t, &sc, 0, 0, 0, 0, 0, 0));
    std::vector<unsigned char> values(v, 0xEE);
    EXPECT_EQ(kNoDefault, top->setDefaultPrms(values.data(), nullptr, 0));
    EXPECT_EQ(0xEE, values[0]);
    EXPECT_EQ(4, values[1]);
    (void)top->release(&wrapper);
}

TEST(CollectionValuesTest, DefaultComesFromThePluginOnlyWhenItAnswersPositively)
{
    struct Case {
        const char* name;
        uint32_t answer;
        uint32_t value;
    };
    const Case cases[] = {
        {"plug-in supplies the default", 1, 42},
        {"plug-in declines", 0, 10},
        {"plug-in fails", 0x80000001u, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPlugin plugin;
        ValueTree tree;
        plugin.defaultAnswer = c.answer;
        plugin.defaultValue = 42;
        const uint32_t ch[] = {2};
        const T_FAST_ADDRESS toCh{ch, nullptr, 1};
        ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &toCh, 0, tree.plugins.data(), ValueTree::kPool));
        const uint32_t nodes[] = {2, 0};
        const uint32_t indexes[] = {1, 1};
        const T_FAST_ADDRESS address{nodes, indexes, 2};
        JVariant value;
        EXPECT_EQ(0u, tree.top->getPrmDef(nullptr, &value, &address, 0, ValueTree::kPool, tree.plugins.data()));
        EXPECT_EQ(c.value, value.toUInt32());
        uint8_t found = 0;
        EXPECT_EQ(0u, tree.top->getPrmDef(&found, &value, &address, 0, ValueTree::kPool, tree.plugins.data()));
        EXPECT_EQ(1, found);
        EXPECT_EQ(10u, value.toUInt32());
    }
}

TEST(CollectionValuesTest, AttributeRecordFollowsTheParameterKind)
{
    ValueTree tree;
    const uint32_t name[] = {1};
    const uint32_t gain[] = {2, 0};
    const T_FAST_ADDRESS toName{name, nullptr, 1};
    const T_FAST_ADDRESS toGain{gain, nullptr, 2};

    MMS::T_PRM_ATTRIB a;
    a.unit[0] = 'Z';
    a.unitSize = 99;
    ASSERT_EQ(0u, tree.top->getPrmAttrib(&a, &toName, 0, ValueTree::kPool));
    EXPECT_EQ(MMS::kMmsTypeString, a.type);
    EXPECT_FALSE(a.minimum.isValid());
    EXPECT_FALSE(a.step.isValid());
    EXPECT_EQ(8u, a.maximum.toUInt32());
    EXPECT_STREQ("abc", a.defaultValue.toString());
    EXPECT_EQ(0u, a.unitSize);
    EXPECT_EQ(0, std::memcmp(a.unit, "\0\0\0\0", 4));
    EXPECT_EQ(0u, a.nameFormatSize);

    MMS::T_PRM_ATTRIB b;
    ASSERT_EQ(0u, tree.top->getPrmAttrib(&b, &toGain, 0, ValueTree::kPool));
    EXPECT_EQ(MMS::kMmsTypeUInt8, b.type);
    EXPECT_EQ(0u, b.minimum.toUInt32());  // the type's own minimum
    EXPECT_EQ(100u, b.maximum.toUInt32());
    EXPECT_EQ(10u, b.defaultValue.toUInt32());
    EXPECT_FALSE(b.nominal.isValid());
    EXPECT_EQ(2u, b.unitSize);
    EXPECT_STREQ("dB", b.unit);
    EXPECT_EQ(3u, b.scaling);
    EXPECT_EQ(4u, b.kind);
    EXPECT_EQ(7u, b.nameFormatSize);  // too long for the record: the text stays empty
    EXPECT_EQ(0, std::memcmp(b.nameFormat, "\0\0\0\0", 4));

    const uint32_t ch[] = {2};
    const T_FAST_ADDRESS toCh{ch, nullptr, 1};
    EXPECT_EQ(kNoSuchItem, tree.top->getPrmAttrib(&b, &toCh, 0, ValueTree::kPool));
    uint32_t kind = 0;
    EXPECT_EQ(0u, tree.top->getPrmKind(&kind, &toGain, 0));
    EXPECT_EQ(4u, kind);
    JVariant step;
    EXPECT_EQ(kBadArgument, tree.top->getPrmStep(&step, &toName, 0));  // the parameter's own answer
}

TEST(CollectionValuesTest, CheckAppliesTheParameterRulesWithoutWriting)
{
    ValueTree tree;
    const uint32_t gain[] = {2, 0};
    const T_FAST_ADDRESS toGain{gain, nullptr, 2};
    JVariant value(250u);
    EXPECT_EQ(0x200u, tree.top->checkPrm(&value, &toGain, 0, 0));
    EXPECT_EQ(100u, value.toUInt32());
    EXPECT_EQ(10u, tree.get({2, 0}, {0, 0}));
    const uint32_t ch[] = {2};
    const T_FAST_ADDRESS toCh{ch, nullptr, 1};
    EXPECT_EQ(kNoSuchItem, tree.top->checkPrm(&value, &toCh, 0, 0));
}

}  // namespace
