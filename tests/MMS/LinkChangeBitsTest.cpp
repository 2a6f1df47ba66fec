#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "MMS/LinkFieldFixture.h"
#include "MMS/mms_LinkBase.h"

namespace {

using MmsTreeTest::kB;
using MmsTreeTest::kI;
using MmsTreeTest::LinkFieldTest;

constexpr uint32_t kZero[5] = {0, 0, 0, 0, 0};
constexpr uint32_t kOne[5] = {1, 0, 0, 0, 0};

class LinkChangeBitsTest : public LinkFieldTest {
public:
    // The answer of one text query: "-" for 0x80000002, else 0 or 1, with "+" when it cleared bits.
    std::string ask(uint32_t task, const char* text, std::vector<uint32_t> indices, uint8_t clear = 0,
                    const char* root = "R")
    {
        uint8_t changed = 0x5A;
        const uint32_t r = field->isLinkChanged(&changed, root, text, static_cast<uint32_t>(std::strlen(text)),
                                                indices.data(), static_cast<uint32_t>(indices.size()), clear, task);
        if (MMS::mmsIsFailure(r)) return r == 0x80000002u ? "-" : "?";
        return std::to_string(changed) + (r == 0x100u ? "+" : "");
    }
    // Without clearing: "Link", Create, Mode, Type of the link at that position, then per member
    // "Prm" and Prm/Create.
    std::string bits(uint32_t task, uint32_t members, uint32_t link = 0)
    {
        // One query after the other: a query of a part may drop the summary.
        std::string out = ask(task, "Link", {link});
        out += ask(task, "Link/Create", {link, 0});
        out += ask(task, "Link/Mode", {link, 1});
        out += ask(task, "Link/Type", {link, 2});
        for (uint32_t m = 0; m < members; ++m) {
            out += " " + ask(task, "Link/Prm", {link, m});
            out += ask(task, "Link/Prm/Create", {link, m, 0});
        }
        return out;
    }
    void clearAll(uint32_t task, uint32_t links = 1)
    {
        for (uint32_t l = 0; l < links; ++l) (void)ask(task, "Link", {l}, 1);
    }
};

TEST_F(LinkChangeBitsTest, SlotsAreTakenCountedFreedAndReused)
{
    open();
    const uint32_t id = makeLink({{kI, 0}});  // before any subscriber: its buffers come later
    EXPECT_EQ(0x80000002u, field->linkSubscribe(0, 0, false));
    EXPECT_EQ(0x80000002u, field->linkUnsubscribe(0));

    struct Step {
        uint32_t task;
        uint32_t slots, linkBytes, itemBytes;
    };
    const Step steps[] = {{5, 1, 1, 1}, {6, 2, 1, 1}, {7, 3, 2, 1}, {8, 4, 2, 1}, {9, 5, 3, 2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.task);
        ASSERT_EQ(0u, field->linkSubscribe(s.task, 0, false));
        EXPECT_EQ(s.slots, field->getSlotCount());
        EXPECT_EQ(s.task, field->getSlotTask(s.slots - 1));
        EXPECT_EQ(s.linkBytes, field->getCollectionBitBytes());
        EXPECT_EQ(s.itemBytes, field->getItemBitBytes());
    }
    // The grown buffers carry the bits of the last slot too.
    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 0, handle, 0, 5));
    EXPECT_EQ("1010 00", bits(9, 1));
    EXPECT_EQ("0000 00", bits(5, 1));  // the changing task, without mark-own-task

    // A second subscription only counts: two unsubscriptions free the slot.
    ASSERT_EQ(0u, field->linkSubscribe(6, 0, false));
    EXPECT_EQ(5u, field->getSlotCount());
    EXPECT_EQ("1010 00", bits(6, 1));
    ASSERT_EQ(0u, field->linkUnsubscribe(6));
    EXPECT_EQ(6u, field->getSlotTask(1));
    ASSERT_EQ(0u, field->linkUnsubscribe(6));
    EXPECT_EQ(0u, field->getSlotTask(1));
    EXPECT_EQ("-", ask(6, "Link", {0}));
    EXPECT_EQ(0u, field->linkUnsubscribe(6));  // no longer subscribed: nothing to do

    // A new task takes the free slot with the highest index, its bits cleared.
    ASSERT_EQ(0u, field->linkUnsubscribe(5));
    ASSERT_EQ(0u, field->linkSubscribe(10, 0, false));
    EXPECT_EQ(10u, field->getSlotTask(1));
    EXPECT_EQ("0000 00", bits(10, 1));
    // With raise it sees everything as changed, and only it is woken.
    linkTrigger.calls.clear();
    ASSERT_EQ(0u, field->linkSubscribe(11, 0, true));
    EXPECT_EQ(11u, field->getSlotTask(0));
    EXPECT_EQ(5u, field->getSlotCount());
    EXPECT_EQ("1111 11", bits(11, 1));
    ASSERT_EQ(1u, linkTrigger.calls.size());
    EXPECT_EQ(1, linkTrigger.calls[0].kind);
    EXPECT_EQ(0u, linkTrigger.calls[0].value);
    EXPECT_EQ(std::vector<uint32_t>{11}, linkTrigger.calls[0].tasks);
    EXPECT_EQ("0000 00", bits(10, 1));
}

TEST_F(LinkChangeBitsTest, AFailedGrowthLeavesSlotsBuffersAndCountsAsTheyWere)
{
    open();
    makeLink({{kI, 0}, {kI, 1}});
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, true));
    MmsTest::heap1().refuse = true;
    EXPECT_EQ(0x80000003u, field->linkSubscribe(6, 0, false));
    MmsTest::heap1().refuse = false;
    EXPECT_EQ(1u, field->getSlotCount());
    EXPECT_EQ(1u, field->getCollectionBitBytes());
    EXPECT_EQ(1u, field->getItemBitBytes());
    EXPECT_EQ(0, field->getLinkSubscriberList().getReferenceCount(6));
    EXPECT_EQ("-", ask(6, "Link", {0}));
    EXPECT_EQ("1111 11 11", bits(5, 2));
    ASSERT_EQ(0u, field->linkSubscribe(6, 0, false));
    EXPECT_EQ(2u, field->getSlotCount());
}

TEST_F(LinkChangeBitsTest, EachChangeMarksItsBitsForTheOtherSlots)
{
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, false));
    ASSERT_EQ(0u, field->linkSubscribe(6, 0, false));
    open();
    uint32_t first = 0;
    ASSERT_EQ(0u, field->createLink(&first, "R", handle, 0, 5));
    uint32_t toggle = 0;
    struct Case {
        const char* what;
        std::function<uint32_t()> change;
        uint32_t members;
        uint32_t link;
        const char* other;  // what task 6 sees
        const char* own;    // what task 5, which made the change, sees
    };
    const Case cases[] = {
        {"link created", [] { return 0u; }, 0, 0, "1111", "0000"},
        {"member added", [&] { return field->addLinkPrm("R", first, kI, kZero, 1, handle, 0, 5); }, 1, 0,
         "1000 11", "0000 00"},
        {"member added, own task marked", [&] { return field->addLinkPrm("R", first, kI, kOne, 1, handle, 1, 5); },
         2, 0, "1000 00 11", "1000 00 11"},
        {"on/off", [&] { return field->setLinkOnOff("R", first, 0, handle, 0, 5); }, 2, 0, "1010 00 00",
         "0000 00 00"},
        {"link type",
         [&] { return field->setLinkCollectionDirty(field->srchLinkCollection("R", first)->dirty, 3, 0, 5); }, 2, 0,
         "1001 00 00", "0000 00 00"},
        {"member removed", [&] { return field->removeLinkPrm("R", first, kI, kZero, 1, handle, 0, 5); }, 1, 0,
         "1000 00", "0000 00"},
        {"second link created", [&] { return field->createLink(&toggle, "R", handle, 1, 5); }, 0, 1, "1111",
         "1111"},
        {"toggle member added", [&] { return field->addLinkPrm("R", toggle, kB, kZero, 1, handle, 0, 5); }, 1, 1,
         "1000 11", "0000 00"},
        {"link deleted: nothing is left to mark", [&] { return field->deleteLink("R", first, handle, 0, 5); }, 1, 0,
         "0000 00", "0000 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0u, c.change());
        EXPECT_EQ(c.other, bits(6, c.members, c.link));
        EXPECT_EQ(c.own, bits(5, c.members, c.link));
        clearAll(5, 2);
        clearAll(6, 2);
    }
    EXPECT_EQ(0x80000002u, field->setLinkCollectionDirty(nullptr, 4, 0, 5));
    EXPECT_EQ(0x80000002u, field->setLinkItemDirty(nullptr, 2, 0, 5));
}

TEST_F(LinkChangeBitsTest, QueriesReadTheirOwnLanguageOnly)
{
    open();
    makeLink({{kI, 0}, {kI, 1}});
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, true));
    struct Case {
        const char* text;
        std::vector<uint32_t> indices;
        uint32_t task;
        const char* root;
        const char* answer;
    };
    const Case cases[] = {
        {"Link", {0}, 5, "R", "1"},
        {"Link/Create", {0, 0}, 5, "R", "1"},
        {"Link/Prm/Create", {0, 1, 0}, 5, "R", "1"},
        {"Link/", {0}, 5, "R", "1"},
        {"link", {0}, 5, "R", "-"},
        {"Link/mode", {0, 0}, 5, "R", "-"},
        {"LinkX", {0}, 5, "R", "-"},
        {"Link/Prm/Mode", {0, 0, 0}, 5, "R", "-"},
        {"Link/Create/Create", {0, 0, 0}, 5, "R", "-"},
        {"Link/Prm/Create/Create", {0, 0, 0, 0}, 5, "R", "-"},
        {"Link/Mode", {0}, 5, "R", "-"},  // one index for two levels
        {"Link", {0, 0}, 5, "R", "-"},
        {"Link", {1}, 5, "R", "-"},        // past the last link
        {"Link/Prm", {0, 2}, 5, "R", "-"},  // past the last member
        {"Link", {0}, 5, "X", "-"},
        {"Link", {0}, 7, "R", "-"},  // never subscribed
        {"", {0}, 5, "R", "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.answer, ask(c.task, c.text, c.indices, 0, c.root));
    }
    uint8_t changed = 0;
    const uint32_t link[1] = {0};
    const uint32_t mode[2] = {0, 2};
    const uint32_t codes[2] = {1, 0};
    EXPECT_EQ(0x80000002u, field->isLinkChangedFast(&changed, "R", codes, link, 1, 0, 5));
    EXPECT_EQ(0x80000002u, field->isLinkChangedFast(nullptr, "R", mode, link, 1, 0, 5));
    EXPECT_EQ(0x80000002u, field->isLinkChangedFast(&changed, "R", mode, link, 0, 0, 5));
    const uint32_t modeIndexes[2] = {0, 0};
    changed = 0;
    ASSERT_EQ(0u, field->isLinkChangedFast(&changed, "R", mode, modeIndexes, 2, 0, 5));
    EXPECT_EQ(1, changed);
}

TEST_F(LinkChangeBitsTest, TheSummaryLastsOnlyWhileSomethingHasNews)
{
    ASSERT_EQ(0u, field->linkSubscribe(5, 0, false));
    open();
    const uint32_t id = makeLink({{kI, 0}, {kI, 1}});
    clearAll(5);
    EXPECT_EQ("0000 00 00", bits(5, 2));

    // Mode with clear takes the mode bit and then the summary.
    ASSERT_EQ(0u, field->setLinkOnOff("R", id, 0, handle, 0, 6));
    EXPECT_EQ("1+", ask(5, "Link/Mode", {0, 0}, 1));
    EXPECT_EQ("0", ask(5, "Link", {0}));

    // A removed member leaves only the summary: a query of another part drops it, even
    // without clear.
    ASSERT_EQ(0u, field->removeLinkPrm("R", id, kI, kOne, 1, handle, 0, 6));
    EXPECT_EQ("1", ask(5, "Link", {0}));
    EXPECT_EQ("0", ask(5, "Link/Type", {0, 0}));
    EXPECT_EQ("0", ask(5, "Link", {0}));

    // A member's Create with clear drops its summary; the link's stays while its Create has news.
    ASSERT_EQ(0u, field->linkSubscribe(8, 0, true));
    EXPECT_EQ("1+", ask(8, "Link/Prm/Create", {0, 0, 0}, 1));
    EXPECT_EQ("1111 00", bits(8, 1));
    // "Link" with clear takes every news of the link and its members.
    EXPECT_EQ("1+", ask(8, "Link", {0}, 1));
    EXPECT_EQ("0000 00", bits(8, 1));
    EXPECT_EQ("0", ask(8, "Link", {0}, 1));
}

}  // namespace
