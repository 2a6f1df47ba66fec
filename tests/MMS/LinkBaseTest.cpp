#include "MMS/mms_LinkBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "MMS/LinkFieldFixture.h"

namespace {

using MmsTreeTest::kB;
using MmsTreeTest::kC;
using MmsTreeTest::kF;
using MmsTreeTest::kI;
using MmsTreeTest::kJ;
using MmsTreeTest::kK;
using MmsTreeTest::kN;
using MmsTreeTest::kS;
using MmsTreeTest::LinkFieldTest;

constexpr uint32_t kZero[5] = {0, 0, 0, 0, 0};
constexpr uint32_t kOne[5] = {1, 0, 0, 0, 0};
constexpr uint32_t kTwo[5] = {2, 0, 0, 0, 0};
constexpr uint32_t kSeven[5] = {7, 0, 0, 0, 0};

uint32_t nextOf(uint32_t& state)
{
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFFu;
}

// Runs in a process of its own, so the generator starts from its initial state.
TEST(LocalRandomTest, HandsOutEveryNumberOfTheSequenceOnceAcrossTasks)
{
    uint32_t state = 1;
    std::vector<uint32_t> expected;
    constexpr int kThreads = 4;
    constexpr int kEach = 5000;
    for (int i = 0; i < kThreads * kEach; ++i) expected.push_back(nextOf(state));
    EXPECT_EQ(16838u, expected[0]);

    std::vector<std::vector<uint32_t>> got(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&got, t] {
            for (int i = 0; i < kEach; ++i) got[t].push_back(MMS::localRandom());
        });
    }
    for (auto& th : threads) th.join();
    std::vector<uint32_t> all;
    for (const auto& g : got) all.insert(all.end(), g.begin(), g.end());
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, all);  // no number lost or repeated by racing tasks
}

TEST_F(LinkFieldTest, TheFirstHandleOfAProcessIs16838AndOnlyOneIsOpen)
{
    uint32_t h = 0;
    ASSERT_EQ(0u, field->linkHndlOpen(&h));
    EXPECT_EQ(16838u, h);
    uint32_t second = 77;
    EXPECT_EQ(0x80000004u, field->linkHndlOpen(&second));
    EXPECT_EQ(0u, second);
    EXPECT_EQ(0x80000002u, field->linkHndlClose(h + 1));
    ASSERT_EQ(0u, field->linkHndlClose(h));
    EXPECT_EQ(0x8000000bu, field->linkHndlClose(h));
    EXPECT_EQ(0x80000002u, field->linkHndlOpen(nullptr));
}

// A description of the link structure and the search-tree entries, to show that a refused edit
// changed nothing.
std::string snapshot(MMS::LinkBase& field, MMS::SearchTree& tree)
{
    std::string out;
    uint32_t count = 0;
    if (field.getNumOfLink(&count, "R") != 0) return "unregistered";
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t id = 0;
        uint16_t onOff = 9;
        uint16_t type = 9;
        uint32_t n = 0;
        (void)field.cnvIndexToLinkID(&id, "R", i);
        (void)field.getLinkOnOff(&onOff, "R", id);
        (void)field.getLinkType(&type, "R", id);
        (void)field.getNumOfLinkPrm(&n, "R", id);
        out += "[" + std::to_string(id) + " " + std::to_string(onOff) + std::to_string(type) + " " +
               std::to_string(n) + "]";
    }
    for (const uint32_t* p : {kI, kB, kF, kS, kJ, kN}) {
        void* entry = nullptr;
        (void)tree.get(&entry, nullptr, "R", p, 1);
        out += entry != nullptr ? "x" : "-";
    }
    void* entry = nullptr;
    (void)tree.get(&entry, nullptr, "R", kK, 2);
    out += entry != nullptr ? "x" : "-";
    return out;
}

TEST_F(LinkFieldTest, RefusedEditsChangeNothing)
{
    const uint32_t h = open();
    const uint32_t intLink = makeLink({{kI, 0}});
    const uint32_t boolLink = makeLink({{kB, 0}});
    const uint32_t empty = makeLink({});
    const uint32_t other = h + 1;
    uint32_t id = 0;
    struct Case {
        const char* what;
        std::function<uint32_t()> call;
        uint32_t result;
    };
    const Case cases[] = {
        {"create: other handle", [&] { return field->createLink(&id, "R", other, 1, 0); }, 0x80000002u},
        {"create: null output", [&] { return field->createLink(nullptr, "R", h, 1, 0); }, 0x80000002u},
        {"create: unregistered root", [&] { return field->createLink(&id, "X", h, 1, 0); }, 0x80000002u},
        {"create: null root", [&] { return field->createLink(&id, nullptr, h, 1, 0); }, 0x80000002u},
        {"create: fixed id in use", [&] { return field->_createLinkFixedLinkID("R", intLink, 1, 0); }, 0x80000009u},
        {"create: fixed id 0", [&] { return field->_createLinkFixedLinkID("R", 0, 1, 0); }, 0x80000002u},
        {"delete: other handle", [&] { return field->deleteLink("R", intLink, other, 1, 0); }, 0x80000002u},
        {"delete: unregistered root", [&] { return field->deleteLink("X", intLink, h, 1, 0); }, 0x80000002u},
        {"add: other handle", [&] { return field->addLinkPrm("R", intLink, kI, kOne, 1, other, 1, 0); },
         0x80000002u},
        {"add: a collection", [&] { return field->addLinkPrm("R", intLink, kC, kZero, 1, h, 1, 0); }, 0x80000002u},
        {"add: no such node", [&] { return field->addLinkPrm("R", intLink, kTwo, kZero, 2, h, 1, 0); },
         0x80000002u},
        {"add: root not indexed", [&] { return field->addLinkPrm("X", intLink, kI, kOne, 1, h, 1, 0); },
         0x80000002u},
        {"add: null array indexes", [&] { return field->addLinkPrm("R", intLink, kI, nullptr, 1, h, 1, 0); },
         0x80000002u},
        {"add: unknown link", [&] { return field->addLinkPrm("R", 99, kI, kOne, 1, h, 1, 0); }, 0x80000002u},
        {"add: element in a link", [&] { return field->addLinkPrm("R", empty, kI, kZero, 1, h, 1, 0); },
         0x80000002u},
        {"add: element twice", [&] { return field->addLinkPrm("R", intLink, kI, kZero, 1, h, 1, 0); },
         0x80000002u},
        {"add: a string", [&] { return field->addLinkPrm("R", empty, kS, kZero, 1, h, 1, 0); }, 0x80000006u},
        {"add: float to integers", [&] { return field->addLinkPrm("R", intLink, kF, kZero, 1, h, 1, 0); },
         0x80000002u},
        {"add: other range", [&] { return field->addLinkPrm("R", intLink, kJ, kZero, 1, h, 1, 0); }, 0x80000002u},
        {"add: 0/1 to integers", [&] { return field->addLinkPrm("R", intLink, kB, kOne, 1, h, 1, 0); },
         0x80000002u},
        {"add: no step", [&] { return field->addLinkPrm("R", empty, kN, kZero, 1, h, 1, 0); }, 0x80000006u},
        {"add: array index out of range", [&] { return field->addLinkPrm("R", empty, kI, kSeven, 1, h, 1, 0); },
         0x80000006u},
        {"remove: other handle", [&] { return field->removeLinkPrm("R", intLink, kI, kZero, 1, other, 1, 0); },
         0x80000002u},
        {"remove: not linked", [&] { return field->removeLinkPrm("R", intLink, kI, kTwo, 1, h, 1, 0); },
         0x80000002u},
        {"remove: a collection", [&] { return field->removeLinkPrm("R", intLink, kC, kZero, 1, h, 1, 0); },
         0x80000002u},
        {"on/off: other handle", [&] { return field->setLinkOnOff("R", intLink, 0, other, 1, 0); }, 0x80000002u},
        {"on/off: empty link", [&] { return field->setLinkOnOff("R", empty, 0, h, 1, 0); }, 0x80000002u},
        {"on/off: unknown link", [&] { return field->setLinkOnOff("R", 99, 0, h, 1, 0); }, 0x80000002u},
        {"type: other handle", [&] { return field->setLinkType("R", boolLink, 0, other, 1, 0); }, 0x80000002u},
        {"type: offset on 0/1", [&] { return field->setLinkType("R", boolLink, 0, h, 1, 0); }, 0x80000002u},
        {"type: toggle on integers", [&] { return field->setLinkType("R", intLink, 1, h, 1, 0); }, 0x80000002u},
        {"type: unknown value", [&] { return field->setLinkType("R", intLink, 7, h, 1, 0); }, 0x80000002u},
        {"type: empty link", [&] { return field->setLinkType("R", empty, 0, h, 1, 0); }, 0x80000002u},
    };
    const std::string before = snapshot(*field, tree);
    const size_t events = linkTrigger.calls.size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, c.call());
        EXPECT_EQ(before, snapshot(*field, tree));
    }
    EXPECT_EQ(events, linkTrigger.calls.size());  // a refusal sends no event

    // Without an open handle the structure edits are refused, on/off and type are free.
    ASSERT_EQ(0u, field->linkHndlClose(h));
    EXPECT_EQ(0x8000000bu, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(0x8000000bu, field->deleteLink("R", intLink, h, 1, 0));
    EXPECT_EQ(0x8000000bu, field->addLinkPrm("R", intLink, kI, kOne, 1, h, 1, 0));
    EXPECT_EQ(0x8000000bu, field->removeLinkPrm("R", intLink, kI, kZero, 1, h, 1, 0));
    EXPECT_EQ(before, snapshot(*field, tree));
    EXPECT_EQ(0u, field->setLinkOnOff("R", intLink, 0, 12345, 1, 0));
    EXPECT_EQ(0u, field->setLinkType("R", boolLink, 1, 12345, 1, 0));

    // A field that is building refuses every edit.
    ASSERT_EQ(0u, field->startBuild());
    EXPECT_EQ(0x80000004u, field->linkHndlOpen(&id));
    EXPECT_EQ(0x80000004u, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(0x80000004u, field->setLinkOnOff("R", intLink, 1, h, 1, 0));
    EXPECT_EQ(0x80000004u, field->linkSubscribe(5, 0, false));
}

TEST_F(LinkFieldTest, IdsAreTheSmallestFreeOnesAndLinksStayInIdOrder)
{
    const uint32_t h = open();
    uint32_t ids[3] = {};
    for (uint32_t& id : ids) ASSERT_EQ(0u, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(1u, ids[0]);
    EXPECT_EQ(3u, ids[2]);
    ASSERT_EQ(0u, field->deleteLink("R", 1, h, 1, 0));
    EXPECT_EQ(0u, field->deleteLink("R", 42, h, 1, 0));  // unknown id: nothing to do
    uint32_t id = 0;
    ASSERT_EQ(0u, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(1u, id);
    ASSERT_EQ(0u, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(4u, id);
    ASSERT_EQ(0u, field->_createLinkFixedLinkID("R", 9, 1, 0));
    ASSERT_EQ(0u, field->_createLinkFixedLinkID("R", 6, 1, 0));

    const uint32_t order[] = {1, 2, 3, 4, 6, 9};
    uint32_t count = 0;
    ASSERT_EQ(0u, field->getNumOfLink(&count, "R"));
    ASSERT_EQ(6u, count);
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(0u, field->cnvIndexToLinkID(&id, "R", i));
        EXPECT_EQ(order[i], id);
    }
    EXPECT_EQ(0x80000007u, field->cnvIndexToLinkID(&id, "R", 6));
    EXPECT_EQ(0x80000002u, field->cnvIndexToLinkID(nullptr, "R", 0));
    EXPECT_EQ(0x80000002u, field->getNumOfLink(&count, "X"));
    ASSERT_EQ(0u, field->createLink(&id, "R", h, 1, 0));
    EXPECT_EQ(5u, id);
}

TEST_F(LinkFieldTest, MembersKeepAddressOrderAndTheFirstOneShapesTheLink)
{
    open();
    put(kI, 2, JVariant(-7));
    put(kK, 1, JVariant(33), 2);
    uint32_t id = 0;
    ASSERT_EQ(0u, field->createLink(&id, "R", handle, 1, 0));
    uint32_t k1[5] = {0, 1};
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kK, k1, 2, handle, 1, 0));
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kI, kTwo, 1, handle, 1, 0));
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kI, kZero, 1, handle, 1, 0));
    // Depth first, then node and array index level by level.
    EXPECT_EQ("0.0=10 0.2=-7 6.0/0.1=33", members(id));
    uint16_t type = 9;
    ASSERT_EQ(0u, field->getLinkType(&type, "R", id));
    EXPECT_EQ(0, type);

    uint32_t nodes[5] = {};
    uint32_t indices[5] = {};
    uint32_t depth = 0;
    JVariant value;
    EXPECT_EQ(0x80000002u, field->getLinkItemInfo(nodes, indices, &depth, &value, 1, "R", id, 2));  // depth 2
    EXPECT_EQ(0x80000002u, field->getLinkItemInfo(nullptr, nullptr, &depth, &value, 0, "R", id, 0));
    EXPECT_EQ(0x80000002u, field->getLinkItemInfo(nodes, indices, nullptr, &value, 5, "R", id, 0));
    EXPECT_EQ(0x80000007u, field->getLinkItemInfo(nodes, indices, &depth, &value, 5, "R", id, 3));

    // The element belongs to one link; removing it by any link id takes it from its own.
    uint32_t second = 0;
    ASSERT_EQ(0u, field->createLink(&second, "R", handle, 1, 0));
    ASSERT_EQ(0u, field->removeLinkPrm("R", second, kI, kTwo, 1, handle, 1, 0));
    EXPECT_EQ("0.0=10 6.0/0.1=33", members(id));
    ASSERT_EQ(0u, field->addLinkPrm("R", second, kI, kTwo, 1, handle, 1, 0));
    EXPECT_EQ("0.2=-7", members(second));
}

TEST_F(LinkFieldTest, AZeroOneIntegerLinkIsAToggleAndAnEmptiedLinkStartsOver)
{
    open();
    const uint32_t id = makeLink({{kB, 0}, {kB, 2}});
    uint16_t type = 9;
    ASSERT_EQ(0u, field->getLinkType(&type, "R", id));
    EXPECT_EQ(1, type);
    const size_t events = linkTrigger.calls.size();
    EXPECT_EQ(0u, field->setLinkType("R", id, 1, handle, 1, 0));  // what it has: nothing happens
    EXPECT_EQ(events, linkTrigger.calls.size());
    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 0, handle, 1, 0));

    ASSERT_EQ(0u, field->removeLinkPrm("R", id, kB, kZero, 1, handle, 1, 0));
    ASSERT_EQ(0u, field->removeLinkPrm("R", id, kB, kTwo, 1, handle, 1, 0));
    uint32_t count = 9;
    ASSERT_EQ(0u, field->getNumOfLinkPrm(&count, "R", id));
    EXPECT_EQ(0u, count);
    uint16_t onOff = 9;
    EXPECT_EQ(0x80000002u, field->getLinkOnOff(&onOff, "R", id));
    // Reset to kind 0: a float parameter may now start the link, switched on, as an offset link.
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kF, kZero, 1, handle, 1, 0));
    ASSERT_EQ(0u, field->getLinkOnOff(&onOff, "R", id));
    EXPECT_EQ(1, onOff);
    ASSERT_EQ(0u, field->getLinkType(&type, "R", id));
    EXPECT_EQ(0, type);
    EXPECT_EQ("2.0=1.500000", members(id));
}

TEST_F(LinkFieldTest, SwitchingOnReReadsEveryMemberAndAnEqualValueIsNoChange)
{
    open();
    const uint32_t id = makeLink({{kI, 0}, {kI, 1}});
    EXPECT_EQ("0.0=10 0.1=10", members(id));
    size_t events = linkTrigger.calls.size();
    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 1, handle, 1, 0));  // already on
    EXPECT_EQ(events, linkTrigger.calls.size());

    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 0, handle, 1, 0));
    put(kI, 0, JVariant(40));
    put(kI, 1, JVariant(-3));
    EXPECT_EQ("0.0=10 0.1=10", members(id));  // off: stale
    events = linkTrigger.calls.size();
    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 2, handle, 1, 0));  // stored as on
    EXPECT_EQ(events + 1, linkTrigger.calls.size());
    uint16_t onOff = 0;
    ASSERT_EQ(0u, field->getLinkOnOff(&onOff, "R", id));
    EXPECT_EQ(1, onOff);
    EXPECT_EQ("0.0=40 0.1=-3", members(id));
    // The re-read took the link task's marks: nothing is propagated from before.
    ASSERT_EQ(0u, field->execChangedPrmLink("R", 0, 0, 0, 0, MMS::LinkBase::kLinkTaskId, 0, nullptr));
    EXPECT_EQ(40, readInt(kI, 0));
    EXPECT_EQ(-3, readInt(kI, 1));
}

TEST_F(LinkFieldTest, DeletingFreesTheElementsQuietly)
{
    open();
    const uint32_t id = makeLink({{kI, 0}, {kI, 3}});
    const uint32_t k1[5] = {0, 1};
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kK, k1, 2, handle, 1, 0));
    const size_t events = linkTrigger.calls.size();
    ASSERT_EQ(0u, field->deleteLink("R", id, handle, 1, 0));
    EXPECT_EQ(events, linkTrigger.calls.size());
    void* entry = &entry;
    ASSERT_EQ(0u, tree.get(&entry, nullptr, "R", kI, 1));
    EXPECT_EQ(nullptr, entry);
    // The elements are free for another link.
    const uint32_t again = makeLink({{kI, 3}, {kI, 0}});
    EXPECT_EQ("0.0=10 0.3=10", members(again));
}

TEST_F(LinkFieldTest, LinkEventsGoToTheLinkSubscribers)
{
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, false));
    ASSERT_EQ(0u, field->linkSubscribe(6, 0, false));
    open();
    linkTrigger.calls.clear();
    uint32_t id = 0;
    ASSERT_EQ(0u, field->createLink(&id, "R", handle, 0, 5));
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kI, kZero, 1, handle, 1, 6));
    ASSERT_EQ(2u, linkTrigger.calls.size());
    EXPECT_EQ(0, linkTrigger.calls[0].kind);  // the mark-own-task flag
    EXPECT_EQ(5u, linkTrigger.calls[0].value);
    std::vector<uint32_t> tasks = linkTrigger.calls[0].tasks;
    std::sort(tasks.begin(), tasks.end());
    EXPECT_EQ((std::vector<uint32_t>{5, 6}), tasks);
    EXPECT_EQ(1, linkTrigger.calls[1].kind);
    EXPECT_EQ(6u, linkTrigger.calls[1].value);
    EXPECT_TRUE(fieldTrigger.calls.empty());  // the field's own trigger is not the link's
}

TEST_F(LinkFieldTest, DestroyingARootClearsItsLinksEvenWhenTheBaseRefuses)
{
    open();
    makeLink({{kI, 0}, {kI, 1}});
    // Ready, not building: the base refuses, the links go all the same.
    EXPECT_EQ(0x80000004u, field->destroyRoot("R"));
    uint32_t count = 0;
    EXPECT_EQ(0x80000002u, field->getNumOfLink(&count, "R"));
    void* entry = &entry;
    ASSERT_EQ(0u, tree.get(&entry, nullptr, "R", kI, 1));
    EXPECT_EQ(nullptr, entry);  // no element left behind in the tree
}

TEST_F(LinkFieldTest, RootsCreatedLaterAreRegisteredForLinks)
{
    ASSERT_EQ(0u, field->startBuild());
    ASSERT_EQ(0u, field->createRoot("Q", "Top", 0, 0, 64));
    EXPECT_EQ(0x80000009u, field->createRoot("Q", "Top", 0, 0, 64));  // the base's refusal, unchanged
    uint32_t index = 0;
    JVariant one(1);
    ASSERT_EQ(0u, field->addPrmFast(&index, "Q", nullptr, 0, "P", 1, MMS::kMmsTypeInt32, nullptr, nullptr, &one,
                                    nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0));
    ASSERT_EQ(0u, field->finishBuild(1));
    open();
    uint32_t id = 0;
    ASSERT_EQ(0u, field->createLink(&id, "Q", handle, 1, 0));
    EXPECT_EQ(1u, id);
    ASSERT_EQ(0u, field->startBuild());
    ASSERT_EQ(0u, field->destroyRoot("Q"));
    ASSERT_EQ(0u, field->finishBuild(1));
    EXPECT_EQ(0x80000002u, field->createLink(&id, "Q", handle, 1, 0));
}

TEST_F(LinkFieldTest, AFailedAdditionLeavesTheLinkAndTheTreeAsTheyWere)
{
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, false));  // so every new member needs a bit buffer
    open();
    uint32_t id = 0;
    ASSERT_EQ(0u, field->createLink(&id, "R", handle, 1, 0));
    const std::string before = snapshot(*field, tree);
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(0x80000003u, field->addLinkPrm("R", id, kB, kZero, 1, handle, 1, 0));
    uint32_t second = 0;
    EXPECT_EQ(0x80000003u, field->createLink(&second, "R", handle, 1, 0));
    MmsTest::heap1().refuse = false;
    EXPECT_EQ(before, snapshot(*field, tree));
    // The link was not shaped by the refused member: an integer one may still start it.
    ASSERT_EQ(0u, field->addLinkPrm("R", id, kI, kZero, 1, handle, 1, 0));
    uint16_t type = 9;
    ASSERT_EQ(0u, field->getLinkType(&type, "R", id));
    EXPECT_EQ(0, type);
}

TEST_F(LinkFieldTest, TheSearchTreeIndexesTheFieldsOwnRoot)
{
    const struct {
        const uint32_t* path;
        uint32_t depth;
        uint8_t category;
    } nodes[] = {{nullptr, 0, 0}, {kI, 1, 1}, {kS, 1, 1}, {kN, 1, 1}, {kC, 1, 0}, {kK, 2, 1}};
    for (const auto& n : nodes) {
        uint8_t category = 0x5A;
        ASSERT_EQ(0u, tree.get(nullptr, &category, "R", n.path, n.depth));
        EXPECT_EQ(n.category, category);
    }
    const uint32_t past[] = {7};
    EXPECT_EQ(0x80000006u, tree.get(nullptr, nullptr, "R", past, 1));
    EXPECT_EQ(0x80000009u, tree.initialize(field.get()));
}

}  // namespace
