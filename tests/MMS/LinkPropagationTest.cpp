#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "MMS/LinkFieldFixture.h"
#include "MMS/mms_LinkBase.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsTreeTest::kB;
using MmsTreeTest::kC;
using MmsTreeTest::kF;
using MmsTreeTest::kI;
using MmsTreeTest::kK;
using MmsTreeTest::LinkFieldTest;

// Links every write under collection C, when armed, to a node that does not exist, so the base
// stores the value and then reports the failure of the linked write.
class RefusingLinker : public MMS::IChannelLinker {
public:
    bool isRangeLinkable(const MMS::T_FAST_ADDRESS*, const uint32_t*) override { return false; }
    MMS::IChannelLink* getFirstLink(const MMS::T_FAST_ADDRESS* address, const uint32_t*, bool*) override
    {
        return armed && address->depth == 2 && address->nodes[0] == kC[0] ? &m_nowhere : nullptr;
    }
    MMS::IChannelLink* getNextLink(const MMS::T_FAST_ADDRESS*, MMS::IChannelLink*) override { return nullptr; }
    void notifyUnlinked(const MMS::T_FAST_ADDRESS*) override {}

    bool armed = false;

private:
    MmsTest::TestLink m_nowhere{{6, 9, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}};
};

struct Member {
    const uint32_t* nodes;
    uint32_t depth;
    uint32_t index;
};

class LinkPropagationTest : public LinkFieldTest {
public:
    static void indicesOf(const Member& m, uint32_t* indices)
    {
        for (uint32_t i = 0; i < 5; ++i) indices[i] = 0;
        indices[m.depth - 1] = m.index;
    }
    uint32_t set(const Member& m, const JVariant& v, uint8_t factor = 0, const MMS::ISetChecker* checker = nullptr)
    {
        uint32_t indices[5];
        indicesOf(m, indices);
        return field->setPrmFast(v, "R", m.nodes, indices, m.depth, factor, 0, 0, 0, 1, checker, 0, nullptr);
    }
    double valueOf(const Member& m)
    {
        const JVariant v = read(m.nodes, m.index, m.depth);
        return v.getType() == JVariant::kTypeFloat ? v.toFloat() : v.toInt32();
    }
    uint32_t link(const std::vector<Member>& members)
    {
        uint32_t id = 0;
        EXPECT_EQ(0u, field->createLink(&id, "R", handle, 1, 0));
        for (const Member& m : members) {
            uint32_t indices[5];
            indicesOf(m, indices);
            EXPECT_EQ(0u, field->addLinkPrm("R", id, m.nodes, indices, m.depth, handle, 1, 0));
        }
        return id;
    }
    RefusingLinker linker;

    std::vector<double> remembered(uint32_t id, size_t count)
    {
        std::vector<double> out;
        for (uint32_t pos = 0; pos < count; ++pos) {
            uint32_t nodes[5];
            uint32_t indices[5];
            uint32_t depth = 0;
            JVariant v;
            EXPECT_EQ(0u, field->getLinkItemInfo(nodes, indices, &depth, &v, 5, "R", id, pos));
            out.push_back(v.getType() == JVariant::kTypeFloat ? v.toFloat() : v.toInt32());
        }
        return out;
    }
};

const Member I0{kI, 1, 0};
const Member I1{kI, 1, 1};
const Member I2{kI, 1, 2};
const Member B0{kB, 1, 0};
const Member B1{kB, 1, 1};
const Member B2{kB, 1, 2};
const Member F0{kF, 1, 0};
const Member F1{kF, 1, 1};
const Member F2{kF, 1, 2};
const Member K0{kK, 2, 0};
const Member K1{kK, 2, 1};

TEST_F(LinkPropagationTest, ASetMovesTheOtherMembersOfItsLink)
{
    using Action = std::function<uint32_t(LinkPropagationTest&)>;
    struct Case {
        const char* what;
        std::vector<Member> members;  // in address order
        std::vector<double> start;
        bool off;
        Action action;
        uint32_t result;
        std::vector<double> values;      // afterwards, per member
        std::vector<double> remembered;  // what the link remembers, per member
    };
    auto setTo = [](Member m, JVariant v) { return [m, v](LinkPropagationTest& t) { return t.set(m, v); }; };
    const Case cases[] = {
        {"offset", {I0, I1, I2}, {10, 20, 30}, false, setTo(I0, JVariant(15)), 0, {15, 25, 35}, {15, 25, 35}},
        {"offset across levels", {I0, K1}, {10, 20}, false, setTo(K1, JVariant(12)), 0, {2, 12}, {2, 12}},
        {"offset of zero", {I0, I1}, {10, 20}, false, setTo(I0, JVariant(10)), 0, {10, 20}, {10, 20}},
        {"toggle from all 0", {B0, B1, B2}, {0, 0, 0}, false, setTo(B0, JVariant(1u)), 0, {1, 1, 1}, {1, 1, 1}},
        {"toggle flips each", {B0, B1, B2}, {0, 1, 0}, false, setTo(B0, JVariant(1u)), 0, {1, 0, 1}, {1, 0, 1}},
        {"float", {F0, F1, F2}, {1.5, 2.5, -3}, false, setTo(F0, JVariant(2.0f)), 0, {2, 3, -2.5}, {2, 3, -2.5}},
        // The base clamps 105 to 100; the link remembers what it computed.
        {"clamped", {I0, I1}, {10, 95}, false, setTo(I0, JVariant(20)), 0, {20, 100}, {20, 105}},
        {"switched off", {I0, I1}, {10, 20}, true, setTo(I0, JVariant(15)), 0, {15, 20}, {10, 20}},
        // The base stores K0 and then fails: the walk stops there with that failure, I2 stays
        // set, K1 is not reached, and K0 keeps its old remembered value.
        {"refused",
         {I0, I2, K0, K1},
         {10, 30, 20, 20},
         false,
         [](LinkPropagationTest& t) {
             EXPECT_EQ(0u, t.field->setChannelLinker("R", &t.linker));
             t.linker.armed = true;
             return t.set(I0, JVariant(15));
         },
         0x80000006u,
         {15, 35, 25, 20},
         {15, 35, 20, 20}},
        // Two members changed in one batch: the first found moves the third; the second keeps
        // the value the batch gave it, becomes its own base, and its change is not propagated.
        {"same batch",
         {I0, I1, I2},
         {10, 20, 30},
         false,
         [](LinkPropagationTest& t) {
             JVariantArray values(JVariant::kTypeInt32, 4, 2);
             EXPECT_EQ(0x10000u, values.setPrimitiveValue(0, 15));
             EXPECT_EQ(0x10000u, values.setPrimitiveValue(1, 40));
             const uint32_t first[5] = {0};
             const uint32_t last[5] = {1};
             return t.field->setPrmArrayFast(values, "R", kI, first, last, 1, 0, 0, 0, 0, 0, 1, nullptr, 0, 0,
                                             nullptr);
         },
         0,
         {15, 40, 35},
         {15, 40, 35}},
        // A member changed earlier and not yet propagated keeps that value, at the top level and
        // in a child collection alike; the rest of the link still moves.
        {"member pending",
         {I0, I1, I2},
         {10, 20, 30},
         false,
         [](LinkPropagationTest& t) {
             t.put(kI, 1, JVariant(50), 1, 0, true);
             return t.set(I0, JVariant(15));
         },
         0,
         {15, 50, 35},
         {15, 50, 35}},
        {"member pending in a child collection",
         {I0, K1},
         {10, 20},
         false,
         [](LinkPropagationTest& t) {
             t.put(kK, 1, JVariant(40), 2, 0, true);
             return t.set(I0, JVariant(15));
         },
         0,
         {15, 40},
         {15, 40}},
        // A pending change outside the link is taken by the same set's walk, not left behind.
        {"pending elsewhere",
         {I0, I1},
         {10, 20},
         false,
         [](LinkPropagationTest& t) {
             t.put(kI, 2, JVariant(7), 1, 0, true);
             return t.set(I0, JVariant(15));
         },
         0,
         {15, 25},
         {15, 25}},
        // With its own task marked, every member set marks the link task and is read back.
        {"marking its own task",
         {I0, I1, I2},
         {10, 20, 30},
         false,
         [](LinkPropagationTest& t) {
             const uint32_t indices[5] = {0};
             return t.field->setPrmFast(JVariant(15), "R", kI, indices, 1, 0, 1, 0, 0, 1, nullptr, 0, nullptr);
         },
         0,
         {15, 25, 35},
         {15, 25, 35}},
        {"text address",
         {I0, I1},
         {10, 20},
         false,
         [](LinkPropagationTest& t) {
             const uint32_t indices[1] = {1};
             return t.field->setPrm(JVariant(25), "R", "I", 1, indices, 1, 0, 0, 0, 0, 1, nullptr, 0, nullptr);
         },
         0,
         {15, 25},
         {15, 25}},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!first) {  // a fresh field per row
            TearDown();
            (void)tree.finalize();
            SetUp();
        }
        first = false;
        open();
        for (size_t i = 0; i < c.members.size(); ++i) {
            const Member& m = c.members[i];
            put(m.nodes, m.index, m.nodes == kF ? JVariant(static_cast<float>(c.start[i]))
                                  : m.nodes == kB ? JVariant(static_cast<unsigned>(c.start[i]))
                                                  : JVariant(static_cast<int>(c.start[i])),
                m.depth);
        }
        const uint32_t id = link(c.members);
        if (c.off) {
            ASSERT_EQ(0u, field->setLinkOnOff("R", id, 0, handle, 1, 0));
        }
        EXPECT_EQ(c.result, c.action(*this));
        for (size_t i = 0; i < c.members.size(); ++i) EXPECT_EQ(c.values[i], valueOf(c.members[i])) << i;
        EXPECT_EQ(c.remembered, remembered(id, c.members.size()));
        linker.armed = false;
        // Nothing is left marked for the link task, anywhere in the root.
        for (uint32_t e = 0; e < 4; ++e) {
            for (const Member& m : {Member{kI, 1, e}, Member{kK, 2, e % 2}}) {
                uint32_t indices[5];
                indicesOf(m, indices);
                uint8_t marked = 1;
                ASSERT_FALSE(MMS::mmsIsFailure(
                    field->isChangedFast(&marked, "R", m.nodes, indices, m.depth, 0, MMS::LinkBase::kLinkTaskId)));
                EXPECT_EQ(0, marked) << "depth " << m.depth << " element " << e;
            }
        }
        // A later walk sets nothing.
        EXPECT_EQ(0u, field->execChangedPrmLink("R", 0, 0, 0, 0, MMS::LinkBase::kLinkTaskId, 0, nullptr));
        for (size_t i = 0; i < c.members.size(); ++i) EXPECT_EQ(c.values[i], valueOf(c.members[i])) << i;
    }
}

TEST_F(LinkPropagationTest, ANegativeZeroOffsetIsAChange)
{
    open();
    put(kF, 0, JVariant(0.0f));
    put(kF, 1, JVariant(5.0f));
    const uint32_t id = link({F0, F1});
    put(kF, 1, JVariant(7.0f), 1, 0, true);  // marked for the link task, not yet propagated
    ASSERT_EQ(0u, set(F0, JVariant(-0.0f)));
    // The -0.0 offset walked the link and took F1 as it stands; F1's change is not propagated.
    EXPECT_EQ((std::vector<double>{0.0, 7.0}), remembered(id, 2));
    EXPECT_EQ(0.0, valueOf(F0));
    EXPECT_TRUE(std::signbit(read(kF, 0).toFloat()));
}

TEST_F(LinkPropagationTest, PropagatedSetsCarryTheFactorButNoChecker)
{
    uint32_t one[5] = {1, 0, 0, 0, 0};
    put(kI, 1, JVariant(20), 1, 9);
    open();
    link({I0, I1});
    // The caller's checker refuses writers of factor 5 over elements written with factor 9: it
    // guards the caller's own element, not the ones the link moves.
    MmsTest::FactorChecker checker(9, 5);
    ASSERT_EQ(0u, set(I0, JVariant(13), 5, &checker));
    EXPECT_EQ(23, readInt(kI, 1));
    uint8_t factor = 0;
    JVariant v;
    ASSERT_FALSE(MMS::mmsIsFailure(field->getPrmFast(&v, &factor, "R", kI, one, 1, 0, 0)));
    EXPECT_EQ(5, factor);
    // The same checker on a direct write of I1 refuses it.
    put(kI, 1, JVariant(30), 1, 9);
    (void)set(I1, JVariant(40), 5, &checker);
    EXPECT_EQ(30, readInt(kI, 1));
}

TEST_F(LinkPropagationTest, TheFactorArrayGivesItsFirstFactor)
{
    open();
    link({I0, I1});
    JVariantArray values(JVariant::kTypeInt32, 4, 1);
    ASSERT_EQ(0x10000u, values.setPrimitiveValue(0, 12));
    const uint32_t first[5] = {0};
    const uint8_t factors[1] = {7};
    ASSERT_EQ(0u, field->setPrmAndFactorArrayFast(values, "R", kI, first, first, 1, factors, 0, 1, 0, 0, 0, 1,
                                                  nullptr, 0, 0, nullptr));
    const uint32_t one[5] = {1};
    uint8_t factor = 0;
    JVariant v;
    ASSERT_FALSE(MMS::mmsIsFailure(field->getPrmFast(&v, &factor, "R", kI, one, 1, 0, 0)));
    EXPECT_EQ(12, v.toInt32());
    EXPECT_EQ(7, factor);
}

TEST_F(LinkPropagationTest, ASetOutsideTheIndexStoresTheValueAndSaysLinksWereNotFollowed)
{
    ASSERT_EQ(0u, tree.deleteRoot("R"));  // as before the linked field has indexed its roots
    EXPECT_EQ(0x80000002u, set(I0, JVariant(15)));
    EXPECT_EQ(15, readInt(kI, 0));
    // The base's own failures come back unchanged, before any propagation.
    const uint32_t seven[5] = {7};
    EXPECT_EQ(0x80000006u, field->setPrmFast(JVariant(1), "X", kI, seven, 1, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    ASSERT_EQ(0u, tree.initialize(field.get()));
}

TEST_F(LinkPropagationTest, ASetOfAnUnlinkedElementChangesNothingElse)
{
    open();
    link({I0, I1});
    ASSERT_EQ(0u, set(I2, JVariant(-5)));
    EXPECT_EQ(-5, readInt(kI, 2));
    EXPECT_EQ(10, readInt(kI, 0));
    EXPECT_EQ(10, readInt(kI, 1));
}

TEST(LinkNewValueTest, OffsetsWrapTogglesFlipAndFloatsAddInSinglePrecision)
{
    struct Case {
        const char* what;
        uint32_t kind;
        uint16_t type;
        int32_t offset;
        int32_t member;
        uint32_t result;
        int32_t expected;
    };
    const Case cases[] = {
        {"offset", 4, 0, 5, 10, 0, 15},
        {"offset wraps", 4, 0, 1, INT_MAX, 0, INT_MIN},
        {"toggle from 0", 4, 1, 7, 0, 0, 1},
        {"toggle from other", 4, 1, 0, 5, 0, 0},
        {"other link type", 4, 2, 1, 1, 0x80000001u, 0},
    };
    MmsTest::heap1();
    MMS::SearchTree tree;
    MMS::LinkBase core(nullptr, nullptr, nullptr, nullptr, nullptr, &tree);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MMS::T_LINK_COLLECTION link;
        link.valueKind = c.kind;
        link.linkType = c.type;
        MMS::LinkInfoPrivate offset;
        MMS::LinkInfoPrivate member;
        offset.setInt(c.offset);
        member.setInt(c.member);
        JVariant out(-99);
        EXPECT_EQ(c.result, core.getNewValue(out, &link, offset, member));
        EXPECT_EQ(c.result == 0 ? c.expected : -99, out.toInt32());
    }
    MMS::T_LINK_COLLECTION link;
    link.valueKind = 0x304;
    MMS::LinkInfoPrivate offset;
    MMS::LinkInfoPrivate member;
    offset.setFloat(1e-8f);
    member.setFloat(1.0f);
    JVariant out;
    ASSERT_EQ(0u, core.getNewValue(out, &link, offset, member));
    EXPECT_EQ(JVariant::kTypeFloat, out.getType());
    EXPECT_EQ(1.0f, out.toFloat());  // 1 + 1e-8 is 1 in single precision
}

}  // namespace
