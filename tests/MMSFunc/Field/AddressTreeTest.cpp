// Address trees over a real field built from the test definition: the mirror of the root, lookup
// by node vector, registration rules and notifications, with observers that change the list of
// the item being notified from inside their call.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FieldTestDefinition.h"
#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/mms_ParseHandler.h"
#include "MMSFunc/Field/mmsf_MMSAddressTree.h"

namespace {

using MMSFUNC::IModelObserver;
using MMSFUNC::MMSAddress;
using MMSFUNC::MMSAddressTree;
using MMSFUNC::MMSAddressTreeItem;

constexpr uint32_t ANY = MMSAddress::CH_ANY;
constexpr uint32_t kFailed = 0x80000000u;
constexpr char kRoot[] = "Mix";

std::string textOf(const MMSAddress& address)
{
    char text[64] = {};
    return address.getAddress(text, sizeof text) == 0 ? text : "?";
}

std::string channelsOf(const MMSAddress& address)
{
    std::string out;
    for (unsigned i = 0; i < address.vectorLen(); ++i) {
        if (i) out += ",";
        out += address.getCh(i) == ANY ? std::string("*") : std::to_string(address.getCh(i));
    }
    return out;
}

// Records every call as "name:path@channels" into a shared journal; may act on the tree first.
class Recorder : public IModelObserver {
public:
    Recorder(const char* name, std::vector<std::string>& journal) : m_name(name), m_journal(journal) {}
    void onChanged(const MMSAddress& address, bool changed) override
    {
        m_journal.push_back(m_name + ":" + textOf(address) + "@" + channelsOf(address) + (changed ? "" : "!"));
        if (action) action();
    }
    std::function<void()> action;

private:
    std::string m_name;
    std::vector<std::string>& m_journal;
};

class MMSAddressTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        (void)MmsTest::heap1();
        field = std::make_unique<MMS::Field>(nullptr, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(MMS::XmlParser::Parse(field.get(), "D", 2, kRoot, sizeof kRoot, FieldTestDefinition::kXml,
                                        sizeof FieldTestDefinition::kXml, MMS::BUILD_OPTION_FINISH, nullptr, 0),
                  0u);
        ASSERT_EQ(tree.initialize(field.get(), kRoot), 0u);
    }
    MMSAddress at(const char* path) { return MMSAddress(field.get(), kRoot, path); }

    std::unique_ptr<MMS::Field> field;
    MMSAddressTree tree;
    std::vector<std::string> journal;
};

TEST_F(MMSAddressTreeTest, MirrorsTheRootDepthFirstWithEveryLevelAnyChannel)
{
    const MMSAddressTreeItem& top = tree.tree();
    EXPECT_FALSE(top.addressCache().isValid());
    ASSERT_EQ(top.childNum(), 4u);
    EXPECT_EQ(top.child(4), nullptr);
    std::vector<std::string> seen;
    std::function<void(const MMSAddressTreeItem&)> walk = [&](const MMSAddressTreeItem& item) {
        for (unsigned i = 0; i < item.childNum(); ++i) {
            const MMSAddress& address = item.child(i)->addressCache();
            EXPECT_EQ(address.addrVector()[address.vectorLen() - 1], i);  // child i is node index i
            seen.push_back(textOf(address) + "@" + channelsOf(address));
            walk(*item.child(i));
        }
    };
    walk(top);
    EXPECT_EQ(seen, (std::vector<std::string>{"Volume@*", "Send@*", "Label@*", "Ch@*", "Ch/Band@*,*",
                                              "Ch/Band/Gain@*,*,*"}));

    struct Case {
        std::vector<unsigned> nodes;
        unsigned depth;
        const char* found;  // null: nothing found
    };
    const Case cases[] = {
        {{3, 0, 0}, 3, "Ch/Band/Gain"}, {{3}, 1, "Ch"}, {{1}, 1, "Send"},
        {{3, 0, 0}, 0, nullptr},        // depth 0 finds nothing, not the top
        {{4}, 1, nullptr},              // index equal to the number of children
        {{3, 1}, 2, nullptr},           {{0, 0}, 2, nullptr},  // below a parameter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.nodes[0] << " depth " << c.depth);
        const MMSAddressTreeItem* item = tree.find(c.nodes.data(), c.depth);
        if (!c.found) {
            EXPECT_EQ(item, nullptr);
            continue;
        }
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(textOf(item->addressCache()), c.found);
    }
    EXPECT_EQ(tree.find(nullptr, 1), nullptr);
}

TEST_F(MMSAddressTreeTest, NotifyNarrowsToTheChannelsAndCallsOnlyThatItemsObservers)
{
    Recorder gain("gain", journal), band("band", journal), ch("ch", journal);
    ASSERT_EQ(tree.registerObserver(&gain, at("Ch/Band/Gain")), 0u);
    ASSERT_EQ(tree.registerObserver(&band, at("Ch/Band")), 0u);
    ASSERT_EQ(tree.registerObserver(&ch, at("Ch")), 0u);

    const unsigned gainNodes[3] = {3, 0, 0};
    const unsigned channels[3] = {1, 2, 0};
    EXPECT_EQ(tree.notify(gainNodes, channels, 3), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"gain:Ch/Band/Gain@1,2,0"}));

    // A channel beyond its level's count, or a node without item: nobody is called.
    journal.clear();
    const unsigned beyond[2] = {1, 3};
    EXPECT_EQ(tree.notify(gainNodes, beyond, 2), kFailed);
    const unsigned badBand[3] = {1, 3, 0};
    EXPECT_EQ(tree.notify(gainNodes, badBand, 3), kFailed);
    const unsigned nowhere[2] = {3, 1};
    EXPECT_EQ(tree.notify(nowhere, channels, 2), kFailed);
    EXPECT_TRUE(journal.empty());

    // The item's own address in the tree keeps every level any channel.
    EXPECT_EQ(channelsOf(tree.find(gainNodes, 3)->addressCache()), "*,*,*");
}

TEST_F(MMSAddressTreeTest, RegistrationRules)
{
    Recorder one("one", journal), two("two", journal);
    const MMSAddress volume = at("Volume");
    EXPECT_EQ(tree.registerObserver(&one, volume), 0u);
    EXPECT_EQ(tree.registerObserver(&one, volume), kFailed);  // already there
    EXPECT_EQ(tree.registerObserver(&one, at("Send")), 0u);    // another item is another list
    EXPECT_EQ(tree.registerObserver(nullptr, volume), kFailed);
    EXPECT_EQ(tree.registerObserver(&two, MMSAddress()), kFailed);  // no node
    EXPECT_EQ(tree.unregisterObserver(&two, volume), kFailed);
    EXPECT_EQ(tree.unregisterObserver(nullptr, volume), kFailed);
    EXPECT_EQ(tree.unregisterObserver(&one, volume), 0u);
    EXPECT_EQ(tree.unregisterObserver(&one, volume), kFailed);

    const unsigned send[1] = {1};
    const unsigned four[1] = {4};
    EXPECT_EQ(tree.notify(send, four, 1), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"one:Send@4"}));

    // Building again drops every registration.
    ASSERT_EQ(tree.initialize(field.get(), kRoot), 0u);
    journal.clear();
    EXPECT_EQ(tree.notify(send, four, 1), 0u);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(tree.clear(), 0u);
    EXPECT_EQ(tree.tree().childNum(), 0u);
}

TEST_F(MMSAddressTreeTest, ObserversMayChangeTheListWhileBeingNotified)
{
    const MMSAddress volume = at("Volume");
    Recorder leaver("leaver", journal), adder("adder", journal), plain("plain", journal), late("late", journal);
    leaver.action = [&] { EXPECT_EQ(tree.unregisterObserver(&leaver, volume), 0u); };
    adder.action = [&] { (void)tree.registerObserver(&late, volume); };  // refused once late is there
    for (Recorder* r : {&leaver, &adder, &plain}) ASSERT_EQ(tree.registerObserver(r, volume), 0u);

    const unsigned nodes[1] = {0};
    const unsigned channel[1] = {0};
    EXPECT_EQ(tree.notify(nodes, channel, 1), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"leaver:Volume@0", "adder:Volume@0", "plain:Volume@0",
                                                 "late:Volume@0"}));
    journal.clear();
    EXPECT_EQ(tree.notify(nodes, channel, 1), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"adder:Volume@0", "plain:Volume@0", "late:Volume@0"}));

    // An observer removed by an earlier one in the same notification is not called.
    adder.action = [&] { EXPECT_EQ(tree.unregisterObserver(&late, volume), 0u); };
    journal.clear();
    EXPECT_EQ(tree.notify(nodes, channel, 1), 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"adder:Volume@0", "plain:Volume@0"}));
}

}  // namespace
