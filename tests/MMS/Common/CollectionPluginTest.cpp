#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "MMS/Common/mms_BasedPlugin.h"
#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_CollectionWrapper.h"
#include "MMS/Common/mms_ILinkReason.h"
#include "MMS/Common/mms_PluginStruct.h"
#include "ValueTree.h"
#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsValues::ValueTree;
using MMS::T_FAST_ADDRESS;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNoSuchItem = 0x80000006u;
constexpr uint32_t kAlreadyPresent = 0x80000009u;
constexpr uint32_t kChanged = 0x100;
constexpr uint32_t kHandled = 0x800;

// A plug-in as an owner writes one: a table of addresses below its collection, and an execute that
// may mirror the set through its wrapper. Every call lands in the shared log.
class OwnerPlugin : public MMS::BasedPlugin {
public:
    OwnerPlugin(std::vector<std::string>* log, std::string name, std::vector<const char*> addresses)
        : m_log(log), m_name(std::move(name))
    {
        for (const char* a : addresses) table.push_back({a, {}, 0, 0});
    }
    uint32_t getAddrTable(MMS::PLUGIN_ADDR_INFO** out, uint32_t* count) override
    {
        *out = table.empty() ? nullptr : table.data();
        *count = static_cast<uint32_t>(table.size());
        return 0;
    }
    uint32_t execute(const JVariant& newValue, const JVariant*, uint32_t instance, const uint32_t* nodes,
                     const uint32_t* indexes, uint32_t depth, MMS::ILinkReason&,
                     MMS::MMS_PLUGIN_STRUCT* context) override
    {
        if (m_log != nullptr) m_log->push_back(m_name + ".execute");
        if (!mirror) return 0;
        // Writes the value to the other Gain element as well and takes the set over.
        uint32_t other[] = {indexes[0] == 0 ? 1u : 0u};
        const uint32_t own = m_pWrapper->setPrm(newValue, instance, nodes, indexes, depth, context);
        const uint32_t twin = m_pWrapper->setPrm(newValue, instance, nodes, other, depth, context);
        lastResults = {own, twin};
        return 1;
    }
    uint32_t detached() override
    {
        if (m_log != nullptr) m_log->push_back(m_name + ".detached");
        (void)BasedPlugin::detached();  // always 0
        return detachAnswer;
    }

    std::vector<MMS::PLUGIN_ADDR_INFO> table;
    bool mirror = false;
    uint32_t detachAnswer = 0;
    std::vector<uint32_t> lastResults;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// Keeps the default getAddrTable: cannot be attached.
class TablelessPlugin : public MMS::BasedPlugin {};

const uint32_t kCh[] = {2};
const uint32_t kSub[] = {2, 1};
const T_FAST_ADDRESS kToCh{kCh, nullptr, 1};
const T_FAST_ADDRESS kToSub{kSub, nullptr, 2};

TEST(CollectionPluginTest, AppendFillsAnEmptySlotOnlyWithAWillingPlugin)
{
    std::vector<std::string> log;
    OwnerPlugin first(&log, "first", {"Gain"});
    OwnerPlugin second(&log, "second", {"Gain"});
    OwnerPlugin noValid(&log, "noValid", {"Nope", "Sub/Nope"});
    TablelessPlugin tableless;
    OwnerPlugin taken(&log, "taken", {"Gain"});
    ValueTree tree;
    MMS::CollectionWrapper elsewhere(tree.top->getCollectionItem(0), ValueTree::kPool);
    ASSERT_EQ(0u, taken.attached(&elsewhere));

    ASSERT_EQ(0u, tree.top->appendPlugin(&first, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    struct Case {
        const char* name;
        MMS::ILinkPlugin* plugin;
        const T_FAST_ADDRESS* address;
        MMS::ProcessOption* list;
        uint32_t result;
    };
    const uint32_t gain[] = {2, 0};
    const T_FAST_ADDRESS toGain{gain, nullptr, 2};
    const Case cases[] = {
        {"no plug-in", nullptr, &kToSub, tree.plugins.data(), kBadArgument},
        {"occupied slot", &second, &kToCh, tree.plugins.data(), kAlreadyPresent},
        {"no address converts", &noValid, &kToSub, tree.plugins.data(), kAlreadyPresent},
        {"no address table", &tableless, &kToSub, tree.plugins.data(), kAlreadyPresent},
        {"plug-in holds a wrapper already", &taken, &kToSub, tree.plugins.data(), kBadArgument},
        {"a parameter has no slot", &second, &toGain, tree.plugins.data(), kNoSuchItem},
        {"no plug-in list", &second, &kToSub, nullptr, kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, tree.top->appendPlugin(c.plugin, c.address, 0, c.list, ValueTree::kPool));
        MMS::ILinkPlugin* inSub = reinterpret_cast<MMS::ILinkPlugin*>(&log);
        EXPECT_EQ(0u, tree.top->getPlugin(&inSub, &kToSub, 0, tree.plugins.data()));
        EXPECT_EQ(nullptr, inSub);
    }
    MMS::ILinkPlugin* inCh = nullptr;
    EXPECT_EQ(0u, tree.top->getPlugin(&inCh, &kToCh, 0, tree.plugins.data()));
    EXPECT_EQ(&first, inCh);
    EXPECT_EQ(nullptr, second.getCollWrapper());
    EXPECT_EQ(nullptr, noValid.getCollWrapper());
    EXPECT_EQ(nullptr, tableless.getCollWrapper());
    (void)taken.detached();  // always 0
}

TEST(CollectionPluginTest, AttachConvertsTheAddressTable)
{
    // Only 120 characters are read: the third address ends at "X", before the unknown rest.
    const std::string longAddress = "Sub" + std::string(116, '/') + "X" + "Nope";
    OwnerPlugin plugin(nullptr, "p", {"Sub/X", "Nope", longAddress.c_str()});
    ValueTree tree;
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    EXPECT_EQ(1, plugin.table[2].valid);
    EXPECT_EQ(2u, plugin.table[2].depth);
    EXPECT_EQ(1, plugin.table[0].valid);
    EXPECT_EQ(2u, plugin.table[0].depth);
    EXPECT_EQ(1u, plugin.table[0].nodes[0]);  // Sub follows the parameter Gain
    EXPECT_EQ(0u, plugin.table[0].nodes[1]);
    EXPECT_EQ(0, plugin.table[1].valid);
    EXPECT_EQ(0u, plugin.table[1].depth);

    MMS::CollectionWrapper* held = plugin.getCollWrapper();
    ASSERT_NE(nullptr, held);
    MMS::CollectionWrapper other(nullptr, nullptr);
    EXPECT_EQ(kWrongState, plugin.attached(&other));
    EXPECT_EQ(held, plugin.getCollWrapper());
    EXPECT_EQ(kBadArgument, plugin.attached(nullptr));
}

TEST(CollectionPluginTest, RemoveDestroysTheWrapperAndReturnsDetached)
{
    std::vector<std::string> log;
    OwnerPlugin plugin(&log, "p", {"Gain"});
    ValueTree tree;
    plugin.detachAnswer = 0x5;
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    EXPECT_EQ(0x5u, tree.top->removePlugin(&kToCh, 0, tree.plugins.data()));
    EXPECT_EQ(nullptr, plugin.getCollWrapper());
    EXPECT_EQ(std::vector<std::string>{"p.detached"}, log);
    EXPECT_EQ(0u, tree.top->removePlugin(&kToCh, 0, tree.plugins.data()));  // empty slot
    EXPECT_EQ(1u, log.size());
    // The plug-in is still its owner's and can be attached again.
    EXPECT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
}

TEST(CollectionPluginTest, OuterPluginSeesTheSetFirst)
{
    std::vector<std::string> log;
    OwnerPlugin outer(&log, "Ch", {"Gain"});
    OwnerPlugin inner(&log, "Sub", {"X"});
    ValueTree tree;
    ASSERT_EQ(0u, tree.top->appendPlugin(&outer, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    ASSERT_EQ(0u, tree.top->appendPlugin(&inner, &kToSub, 0, tree.plugins.data(), ValueTree::kPool));
    EXPECT_EQ(kChanged, tree.set({2, 1, 0}, {1, 1, 0}, 3));
    EXPECT_EQ((std::vector<std::string>{"Ch.execute", "Sub.execute"}), log);
    EXPECT_EQ(3u, tree.get({2, 1, 0}, {1, 1, 0}));
}

TEST(CollectionPluginTest, WrapperWritesLocallyAndCollectsResultsInTheContext)
{
    std::vector<std::string> log;
    OwnerPlugin plugin(&log, "p", {"Gain"});
    ValueTree tree;
    plugin.mirror = true;
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    EXPECT_EQ(kHandled, tree.set({2, 0}, {3, 0}, 61));
    EXPECT_EQ(1u, log.size());  // the wrapper's own writes did not call the plug-in again
    ASSERT_EQ(2u, plugin.lastResults.size());
    EXPECT_EQ(kChanged, plugin.lastResults[0]);
    EXPECT_EQ(kChanged, plugin.lastResults[1]);
    EXPECT_EQ(61u, tree.get({2, 0}, {3, 0}));
    EXPECT_EQ(61u, tree.get({2, 0}, {3, 1}));
    EXPECT_EQ(10u, tree.get({2, 0}, {2, 0}));
    EXPECT_TRUE(tree.dirty(tree.gainBit(3, 0)));
    EXPECT_TRUE(tree.dirty(tree.gainBit(3, 1)));
    EXPECT_TRUE(tree.dirty(tree.chElement(3)));
    EXPECT_EQ(9, tree.factorMemory[tree.gainBit(3, 1)]);
}

TEST(CollectionPluginTest, WrapperRefusesWithoutContextOrCollection)
{
    OwnerPlugin plugin(nullptr, "p", {"Gain"});
    ValueTree tree;
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    MMS::CollectionWrapper* wrapper = plugin.getCollWrapper();
    MMS::CollectionWrapper empty(nullptr, nullptr);
    MMS::MMS_PLUGIN_STRUCT context;
    context.level = 1;
    context.valueMemory = tree.valueMemory.data();
    context.factorMemory = tree.factorMemory.data();
    context.pluginList = &tree.plugins[1];
    const uint32_t gain[] = {0};
    const uint32_t element[] = {1};
    JVariant value;
    struct Case {
        const char* name;
        MMS::CollectionWrapper* wrapper;
        MMS::MMS_PLUGIN_STRUCT* context;
        uint32_t instance;
        uint32_t result;
    };
    const Case cases[] = {
        {"no context", wrapper, nullptr, 0, kBadArgument},
        {"no collection", &empty, &context, 0, kWrongState},
        {"instance outside the array", wrapper, &context, 4, kBadArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.wrapper->setPrm(JVariant(50u), c.instance, gain, element, 1, c.context));
        EXPECT_EQ(c.result, c.wrapper->getPrm(&value, c.instance, gain, element, 1, c.context));
    }
    EXPECT_EQ(0u, context.resultFlags);
    for (uint32_t ch = 0; ch < 4; ++ch) EXPECT_EQ(10u, tree.get({2, 0}, {ch, 1}));
    EXPECT_EQ(0, tree.dirtyCount());
    EXPECT_EQ(kWrongState, empty.getPrmMin(&value, gain, 1, &context));
    EXPECT_EQ(kWrongState, empty.cnvStrToFastAddr(nullptr, nullptr, 0, "Gain", 4));
}

TEST(CollectionPluginTest, WrapperReadsAndConvertsBelowItsCollection)
{
    OwnerPlugin plugin(nullptr, "p", {"Gain"});
    ValueTree tree;
    ASSERT_EQ(0u, tree.top->appendPlugin(&plugin, &kToCh, 0, tree.plugins.data(), ValueTree::kPool));
    MMS::CollectionWrapper* wrapper = plugin.getCollWrapper();
    ASSERT_EQ(kChanged, tree.set({2, 1, 0}, {2, 1, 0}, 8));
    MMS::MMS_PLUGIN_STRUCT context;
    context.level = 1;
    context.valueMemory = tree.valueMemory.data();
    context.factorMemory = tree.factorMemory.data();
    context.pluginList = &tree.plugins[1];

    char name[24] = {};
    EXPECT_EQ(0u, wrapper->getNodeName(name, nullptr, 0, &context));
    EXPECT_STREQ("Ch", name);
    const uint32_t subX[] = {1, 0};
    EXPECT_EQ(0u, wrapper->getNodeName(name, subX, 2, &context));
    EXPECT_STREQ("X", name);
    uint32_t size = 0;
    EXPECT_EQ(0u, wrapper->getNodeArraySize(&size, nullptr, 0, &context));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0u, wrapper->getNodeArraySize(&size, subX, 1, &context));
    EXPECT_EQ(2u, size);

    char text[32];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(0u, wrapper->cnvFastToStrAddr(text, sizeof text, subX, 2, &context));
    EXPECT_STREQ("Sub/X", text);
    uint32_t nodes[5] = {};
    uint32_t depth = 0;
    EXPECT_EQ(0u, wrapper->cnvStrToFastAddr(nodes, &depth, 5, "Sub/X", 5));
    EXPECT_EQ(2u, depth);
    EXPECT_EQ(1u, nodes[0]);

    JVariant value;
    const uint32_t subIndexes[] = {1, 0};
    EXPECT_EQ(0u, wrapper->getPrm(&value, 2, subX, subIndexes, 2, &context));
    EXPECT_EQ(8u, value.toUInt32());
    EXPECT_EQ(0u, wrapper->getPrmDef(&value, subX, subIndexes, 2, &context));
    EXPECT_EQ(7u, value.toUInt32());
    const uint32_t gain[] = {0};
    EXPECT_EQ(0u, wrapper->getPrmMax(&value, gain, 1, nullptr));
    EXPECT_EQ(100u, value.toUInt32());
    uint32_t scaling = 0;
    EXPECT_EQ(0u, wrapper->getPrmScaling(&scaling, gain, 1, nullptr));
    EXPECT_EQ(3u, scaling);

    JVariantArray values(JVariant::kTypeUInt32, 4, 2);
    ASSERT_EQ(0x10000u, values.setValue(0, JVariant(30u)));
    const uint32_t first[] = {0};
    const uint32_t last[] = {1};
    EXPECT_EQ(kChanged, wrapper->setPrmArray(values, 1, gain, first, last, 1, 1, &context));
    EXPECT_EQ(kChanged, context.resultFlags);
    JVariantArray read(JVariant::kTypeUInt32, 4, 2);
    EXPECT_EQ(0u, wrapper->getPrmArray(&read, 1, gain, first, last, 1, &context));
    EXPECT_EQ(30u, read.toUInt32(0));
    EXPECT_EQ(30u, read.toUInt32(1));
}

TEST(CollectionPluginTest, OffsetPluginMovesToTheAskedInstance)
{
    ValueTree tree;
    const MMS::Collection* ch = tree.top->getCollectionItem(0);
    MMS::MMS_PLUGIN_STRUCT top;
    top.valueMemory = tree.valueMemory.data();
    top.dirtyBase = 0;
    MMS::MMS_PLUGIN_STRUCT inner = top;
    inner.level = 1;
    struct Case {
        const char* name;
        const MMS::Collection* collection;
        const MMS::MMS_PLUGIN_STRUCT* context;
        uint32_t instance;
        uint32_t result;
        uint32_t dirty;
    };
    const Case cases[] = {
        {"level 0, instance 0", tree.top, &top, 0, 0, 0},
        {"level 0, instance 1", tree.top, &top, 1, kNoSuchItem, 0},
        {"below the top, instance 2", ch, &inner, 2, 0, tree.chElement(2)},
        {"below the top, instance past the array", ch, &inner, 4, kBadArgument, 0},
        {"no context", ch, nullptr, 0, kBadArgument, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t dirty = 0xA5A5A5A5u;
        unsigned char* values = nullptr;
        EXPECT_EQ(c.result, c.collection->getOffsetPlugin(&values, nullptr, &dirty, nullptr, c.instance, c.context));
        if (c.result == 0) {
            EXPECT_EQ(c.dirty, dirty);
        }
    }
}

}  // namespace
