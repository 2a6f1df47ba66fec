// The instance broker's item tree: path splitting, child lookup, adding and removing by path,
// the leaf's counters, the composite's link framework and the item type helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "comctrl/TCM/CommandRepository.h"
#include "devctrl/FacadeTestSupport.h"
#include "devctrl/devctrl_CompositeMmsItem.h"
#include "devctrl/devctrl_InstanceBroker.h"
#include "devctrl/devctrl_LeafMmsItem.h"
#include "devctrl/devctrl_MmsItemFactory.h"

using namespace DeviceControl;

namespace {

using Broker = MMSInstanceBroker;

// A factory that can be told to run out of memory after some items.
class LimitedFactory : public MmsItemFactory {
public:
    BaseMmsItem* create(BaseItem::NODE_TYPE type) override
    {
        if (left == 0) return nullptr;
        --left;
        return MmsItemFactory::create(type);
    }
    int left = 100;
};

BaseMmsItem* find(CompositeMmsItem& root, const char* name)
{
    return dynamic_cast<BaseMmsItem*>(root.item(name, 0));
}

}  // namespace

TEST(InstanceBrokerItemTest, SplitsPathsAtTheFirstRunOfSeparators)
{
    struct Case {
        const char* path;
        uint32_t length;
        uint32_t first;
        const char* rest;  // "(null)" for a null rest
        uint32_t restLength;
    };
    const Case cases[] = {
        {"Unit/Field", 0, 4, "Field", 0},
        {"Unit///Field/X", 0, 4, "Field/X", 0},
        {"Unit", 0, 4, "", 0},
        {"Unit/", 0, 4, "", 0},
        {"/Field", 0, 0, "Field", 0},
        {"Unit/Field", 10, 4, "Field", 5},
        {"Unit/Field", 4, 4, "(null)", 0},  // the length ends the scan
        {"Unit/Field", 5, 4, "(null)", 0},
        {"Unit/Field", 2, 2, "(null)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.length));
        uint32_t restLength = 99;
        const char* rest = "poison";
        uint32_t first = 99;
        ASSERT_EQ(0u, CompositeMmsItem::getGrandChildName(&restLength, &rest, &first, c.path, c.length));
        EXPECT_EQ(c.first, first);
        EXPECT_STREQ(c.rest, rest ? rest : "(null)");
        EXPECT_EQ(c.restLength, restLength);
    }
    uint32_t n = 0;
    const char* rest = nullptr;
    EXPECT_EQ(0x80000002u, CompositeMmsItem::getGrandChildName(nullptr, &rest, &n, "A", 0));
    EXPECT_EQ(0x80000002u, CompositeMmsItem::getGrandChildName(&n, nullptr, &n, "A", 0));
    EXPECT_EQ(0x80000002u, CompositeMmsItem::getGrandChildName(&n, &rest, nullptr, "A", 0));
    EXPECT_EQ(0x80000002u, CompositeMmsItem::getGrandChildName(&n, &rest, &n, nullptr, 0));
}

TEST(InstanceBrokerItemTest, FindsChildrenByWholeSegmentsOnly)
{
    CompositeMmsItem root;
    ASSERT_EQ(0u, root.add("AB", 0, BaseItem::NODE_LEAF));
    ASSERT_EQ(0u, root.add("A", 0, BaseItem::NODE_COMPOSITE));
    ASSERT_EQ(0u, root.add("A/Inner", 0, BaseItem::NODE_LEAF));
    EXPECT_EQ(2u, root.childNum());

    BaseItem* ab = root.item("AB", 0);
    BaseItem* a = root.item("A", 0);
    ASSERT_NE(nullptr, ab);
    ASSERT_NE(nullptr, a);
    EXPECT_NE(ab, a);
    EXPECT_EQ(BaseItem::NODE_LEAF, ab->nodeType());
    EXPECT_EQ(BaseItem::NODE_COMPOSITE, a->nodeType());
    EXPECT_EQ(a, root.item("ABC", 1));  // the length bounds the name
    EXPECT_EQ(a->item("Inner", 0), root.item("A//Inner", 0));
    EXPECT_NE(nullptr, root.item("A/Inner", 0));
    EXPECT_EQ(nullptr, root.item("a", 0));  // case matters
    EXPECT_EQ(nullptr, root.item("AB/Below", 0));  // a leaf has no children
    EXPECT_EQ(nullptr, root.item(nullptr, 0));
    EXPECT_EQ(nullptr, root.item("", 0));
    const CompositeMmsItem& constRoot = root;
    EXPECT_EQ(ab, constRoot.item("AB", 0));
}

TEST(InstanceBrokerItemTest, AddsAndRemovesByPathWithTheResultCodesOfEachFault)
{
    CompositeMmsItem root;
    LimitedFactory factory;
    struct Case {
        const char* name;
        uint32_t type;
        uint32_t result;
    };
    const std::string long24(24, 'L');
    const Case cases[] = {
        {"Leaf", 0, 0},
        {"Leaf", 1, 0x80000008u},
        {"Leaf/Below", 0, 0x8000000au},
        {"Group/Sub/Leaf", 0, 0},
        {"Bad", 2, 0x80000002u},
        {nullptr, 0, 0x80000002u},
        {long24.c_str(), 0, 0x80000006u},
        {"", 1, 0x80000006u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.result, root.add(c.name, 0, static_cast<BaseItem::NODE_TYPE>(c.type), factory));
    }
    EXPECT_EQ(BaseItem::NODE_COMPOSITE, root.item("Group/Sub", 0)->nodeType());
    EXPECT_EQ(0u, dynamic_cast<BaseMmsItem*>(root.item("Group", 0))->owner());

    // Out of memory: nothing is added at that level, a group made on the way stays.
    factory.left = 0;
    EXPECT_EQ(0x80000003u, root.add("Late", 0, BaseItem::NODE_LEAF, factory));
    EXPECT_EQ(nullptr, root.item("Late", 0));
    EXPECT_EQ(0x80000003u, root.add("NoGroup/Leaf", 0, BaseItem::NODE_LEAF, factory));
    EXPECT_EQ(nullptr, root.item("NoGroup", 0));
    factory.left = 100;
    const std::string deep = "NewGroup/" + long24;
    EXPECT_EQ(0x80000006u, root.add(deep.c_str(), 0, BaseItem::NODE_LEAF, factory));
    EXPECT_NE(nullptr, root.item("NewGroup", 0));

    EXPECT_EQ(0x80000006u, root.remove("Missing", 0));
    EXPECT_EQ(0x8000000au, root.remove("Leaf/Below", 0));
    EXPECT_EQ(0x80000002u, root.remove(nullptr, 0));
    EXPECT_EQ(0u, root.remove("Group/Sub/Leaf", 0));
    EXPECT_EQ(nullptr, root.item("Group/Sub/Leaf", 0));
    EXPECT_EQ(0u, root.remove("Group", 0));  // the rest of the subtree goes with it
    EXPECT_EQ(nullptr, root.item("Group/Sub", 0));
    EXPECT_EQ(2u, root.childNum());  // Leaf and NewGroup
}

TEST(InstanceBrokerItemTest, AddingAnEntryChecksItsName)
{
    CompositeMmsItem root;
    MmsItemFactory factory;
    auto make = [&] { return static_cast<BaseItem*>(factory.create(BaseItem::NODE_LEAF)); };
    char unterminated[24];
    memset(unterminated, 'U', sizeof unterminated);
    BaseItem* kept = make();
    EXPECT_EQ(0u, root.add("Entry", 0, kept));
    struct Case {
        const char* name;
        uint32_t length;
        uint32_t result;
    };
    const Case cases[] = {
        {"Entry", 0, 0x80000008u},
        {nullptr, 0, 0x80000002u},
        {"Long", 24, 0x80000002u},
        {unterminated, 0, 0x80000002u},
        {"Entry2", 5, 0x80000008u},  // the first five characters are "Entry"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        std::unique_ptr<BaseItem> refused(make());
        EXPECT_EQ(c.result, root.add(c.name, c.length, refused.get()));
    }
    EXPECT_EQ(0x80000002u, root.add("NoItem", 0, static_cast<BaseItem*>(nullptr)));
    EXPECT_EQ(kept, root.item("Entry", 0));
    EXPECT_EQ(1u, root.childNum());
}

TEST(InstanceBrokerItemTest, LeavesCountReferencesWithinTheirLimits)
{
    LeafMmsItem leaf;
    EXPECT_EQ(0, leaf.state());
    EXPECT_EQ(0u, leaf.ref());
    EXPECT_EQ(0x80000007u, leaf.release());
    EXPECT_EQ(0u, leaf.addRef());
    EXPECT_EQ(0u, leaf.addRef());
    EXPECT_EQ(2u, leaf.ref());
    EXPECT_EQ(0u, leaf.release());
    EXPECT_EQ(1u, leaf.ref());
    // The registry calls of a leaf store their values; the link framework is a composite's.
    EXPECT_EQ(0u, leaf.setState(2));
    EXPECT_EQ(0u, leaf.setPermission(1));
    EXPECT_EQ(0u, leaf.setSetter(0x8003));
    EXPECT_EQ(2, leaf.state());
    EXPECT_EQ(1, leaf.permission());
    EXPECT_EQ(0x8003u, leaf.setter());
    FacadeTest::RecordingLinkFramework framework;
    EXPECT_EQ(0x8000000au, leaf.setLinkFramework(&framework));
    EXPECT_EQ(nullptr, leaf.linkFramework());
    EXPECT_EQ(0x8000000au, leaf.add("X", 0, BaseItem::NODE_LEAF));
}

TEST(InstanceBrokerItemTest, CompositesHoldOneFrameworkAndRefuseRegistryCalls)
{
    CompositeMmsItem unit;
    FacadeTest::RecordingLinkFramework first;
    FacadeTest::RecordingLinkFramework second;
    EXPECT_EQ(0u, unit.setLinkFramework(&first));
    EXPECT_EQ(0x80000004u, unit.setLinkFramework(&second));
    EXPECT_EQ(&first, unit.linkFramework());
    EXPECT_EQ(0u, unit.setLinkFramework(nullptr));
    EXPECT_EQ(0u, unit.setLinkFramework(&second));
    EXPECT_EQ(&second, unit.linkFramework());

    EXPECT_EQ(0x8000000au, unit.setField(nullptr));
    EXPECT_EQ(0x8000000au, unit.setState(1));
    EXPECT_EQ(0x8000000au, unit.addRef());
    EXPECT_EQ(0x8000000au, unit.release());
    EXPECT_EQ(-1, unit.state());
    EXPECT_EQ(-1, unit.permission());
    EXPECT_EQ(0u, unit.ref());
    EXPECT_EQ(0u, unit.setter());
}

TEST(InstanceBrokerItemTest, ItemTypesFollowWhatTheItemHolds)
{
    MmsItemFactory factory;
    EXPECT_EQ(nullptr, factory.create(static_cast<BaseItem::NODE_TYPE>(2)));

    (void)MmsTest::heap1();
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    TCM::CommandRepository commands;
    LeafMmsItem empty;
    LeafMmsItem withField;
    ASSERT_EQ(0u, withField.setField(&field));
    LeafMmsItem withRepository;
    ASSERT_EQ(0u, withRepository.setCommandRepository(&commands));
    CompositeMmsItem unit;
    EXPECT_EQ(Broker::ITEM_TYPE_UNKNOWN, getItemType(nullptr));
    EXPECT_EQ(Broker::ITEM_TYPE_UNKNOWN, getItemType(&empty));
    EXPECT_EQ(Broker::ITEM_TYPE_FIELD, getItemType(&withField));
    EXPECT_EQ(Broker::ITEM_TYPE_REPOSITORY, getItemType(&withRepository));
    EXPECT_EQ(Broker::ITEM_TYPE_UNIT, getItemType(&unit));

    EXPECT_EQ(BaseItem::NODE_LEAF, cnvItemType2NodeType(Broker::ITEM_TYPE_FIELD));
    EXPECT_EQ(BaseItem::NODE_LEAF, cnvItemType2NodeType(Broker::ITEM_TYPE_REPOSITORY));
    EXPECT_EQ(BaseItem::NODE_COMPOSITE, cnvItemType2NodeType(Broker::ITEM_TYPE_UNIT));
    EXPECT_EQ(2u, static_cast<uint32_t>(cnvItemType2NodeType(Broker::ITEM_TYPE_UNKNOWN)));

    CompositeMmsItem root;
    ASSERT_EQ(0u, root.add("Unit/Leaf", 0, BaseItem::NODE_LEAF));
    EXPECT_EQ(Broker::ITEM_TYPE_UNIT, getItemType(find(root, "Unit")));
    EXPECT_EQ(Broker::ITEM_TYPE_UNKNOWN, getItemType(find(root, "Unit/Leaf")));
}
