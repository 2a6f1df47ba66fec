#include "common/Lpc/LpcPDBLinkPair.h"

#include <gtest/gtest.h>

#include <string>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kAuxLevel;
using LpcTest::kCurrent;
using LpcTest::kPair;
using LpcTest::kPhysical;
using LpcTest::kSetup;
using LpcTest::kVolatile;
using LPC::JVariantList;

const JVariant kWithPartner(1u);
const JVariant kAlone(0u);

TEST(PDBLinkPairHelpersTest, PairValuesNamePartnerAndRelation)
{
    struct Case {
        uint32_t value;
        bool pair;
        uint32_t partnerOf10;
        uint32_t relation;
    };
    const Case cases[] = {
        {0, false, 0, 0}, {1, true, 9, 128}, {128, true, 11, 1}, {2, false, 0, 0}, {129, false, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.pair, LPC::isPair(c.value));
        EXPECT_EQ(c.partnerOf10, LPC::getPairCh(10, c.value));
        EXPECT_EQ(c.relation, LPC::getPairRelation(c.value));
    }
}

TEST(PDBLinkPairHelpersTest, ClipValueKeepsTheDistance)
{
    JVariant a(1500);
    JVariant b(500);
    LPC::clipValue(JVariant(1000), a, b);
    EXPECT_EQ(1000, a.toInt32());
    EXPECT_EQ(0, b.toInt32());
}

class PDBLinkPairTest : public LpcTest::LinkTableFixture {
protected:
    // Positions derived through Floats may land one centimetre off.
    static void expectCentimetres(const std::array<int32_t, 3>& expected, const std::array<int32_t, 3>& actual)
    {
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(expected[k], actual[k], 1) << "member " << k;
    }
};

TEST_F(PDBLinkPairTest, PairingWritesBothValuesAndCopiesTheSettingsList)
{
    // Object 4's settings; object 5 sits inside room 1 so its zone copy can recompute it.
    put(kVolatile, LpcTest::kObjectSolo, 4, 0, JVariant(1));
    put(kCurrent, "/OBA/Object/Fader/Level", 4, 0, JVariant(-500));
    put(kCurrent, "/OBA/Object/Fader/On", 4, 0, JVariant(0));
    put(kCurrent, "/OBA/Object/Visible", 4, 0, JVariant(0));
    put(kCurrent, "/OBA/Object/AuxSend/On", 4, 0, JVariant(1));
    put(kCurrent, "/OBA/Object/RevSend/On", 4, 0, JVariant(1));
    put(kSetup, "/OBA/Object/XYmode", 4, 0, JVariant(1));
    put(kCurrent, LpcTest::kZone, 4, 0, JVariant(2));
    const char* const safe[] = {"/OBA/Object/RecallSafe/On", "/OBA/Object/RecallSafe/Position",
                                "/OBA/Object/RecallSafe/Size", "/OBA/Object/RecallSafe/AuxSend",
                                "/OBA/Object/RecallSafe/RevSend"};
    for (const char* address : safe) put(kSetup, address, 4, 0, JVariant(1));
    // Not copied.
    put(kCurrent, kAuxLevel, 4, 0, JVariant(-300));
    put(kCurrent, kAuxLevel, 5, 0, JVariant(-700));
    put(kCurrent, "/OBA/Object/SizeH", 4, 0, JVariant(50));
    put(kCurrent, "/OBA/Object/SizeH", 5, 0, JVariant(20));
    putPhysical(5, 2050, 1050, 200);

    ASSERT_EQ(0u, write(kSetup, kPair, 4, 0, {JVariant(128)}, 7));
    EXPECT_EQ(128, get(kSetup, kPair, 4));
    EXPECT_EQ(7u, factorOf(kSetup, kPair, 4));
    EXPECT_EQ(1, get(kSetup, kPair, 5));
    EXPECT_EQ(255u, factorOf(kSetup, kPair, 5));

    EXPECT_EQ(1, get(kVolatile, LpcTest::kObjectSolo, 5));
    EXPECT_EQ(-500, get(kCurrent, "/OBA/Object/Fader/Level", 5));
    EXPECT_EQ(255u, factorOf(kCurrent, "/OBA/Object/Fader/Level", 5));
    EXPECT_EQ(0, get(kCurrent, "/OBA/Object/Fader/On", 5));
    EXPECT_EQ(0, get(kCurrent, "/OBA/Object/Visible", 5));
    EXPECT_EQ(1, get(kCurrent, "/OBA/Object/AuxSend/On", 5));
    EXPECT_EQ(1, get(kCurrent, "/OBA/Object/RevSend/On", 5));
    EXPECT_EQ(1, get(kSetup, "/OBA/Object/XYmode", 5));
    EXPECT_EQ(2, get(kCurrent, LpcTest::kZone, 5));
    for (const char* address : safe) EXPECT_EQ(1, get(kSetup, address, 5)) << address;
    EXPECT_EQ(-700, get(kCurrent, kAuxLevel, 5));
    EXPECT_EQ(20, get(kCurrent, "/OBA/Object/SizeH", 5));
    EXPECT_EQ((std::array<int32_t, 3>{2050, 1050, 200}), ints(kCurrent, kPhysical, 5));
    // The copied solo made both objects the only audible ones; the copied zone moved the partner's
    // logical position into room 1.
    EXPECT_EQ("4,5", audible(LpcTest::kObjectSoloMirror));
    expectNear(LpcTest::kRooms[1].logicalOf(2050, 1050, 200), floats(kCurrent, LpcTest::kLogical, 5));
}

TEST_F(PDBLinkPairTest, UnpairingWritesZeroToBoth)
{
    putPair(10);
    ASSERT_EQ(0u, write(kSetup, kPair, 11, 0, {JVariant(0)}));
    EXPECT_EQ(0, get(kSetup, kPair, 10));
    EXPECT_EQ(0, get(kSetup, kPair, 11));
}

TEST_F(PDBLinkPairTest, RefusesEveryOtherPairingChangeAndWritesNothing)
{
    putPair(10);
    const uint32_t last = db().paramInfo(kSetup, ai(kSetup, kPair)).numX - 1;
    struct Case {
        const char* what;
        uint32_t object;
        JVariantList values;
        bool exactCode;  // 0x80000000 itself, else the failed read's code
    };
    const Case cases[] = {
        {"pair to the other pair value", 11, {JVariant(128)}, true},
        {"pair to the same pair value", 10, {JVariant(128)}, true},
        {"none to none", 3, {JVariant(0)}, true},
        {"partner already paired", 9, {JVariant(128)}, true},
        {"object already paired", 12, {JVariant(1)}, true},
        {"first object with the previous", 0, {JVariant(1)}, false},
        {"last object with the next", last, {JVariant(128)}, false},
        {"two values", 3, {JVariant(128), JVariant(0)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const JLIB::JResult result = write(kSetup, kPair, c.object, 0, c.values);
        EXPECT_TRUE(JLIB::isFailure(result));
        if (c.exactCode) {
            EXPECT_EQ(0x80000000u, result);
        }
        EXPECT_EQ(128, get(kSetup, kPair, 10));
        EXPECT_EQ(1, get(kSetup, kPair, 11));
        for (uint32_t x : {0u, 1u, 3u, 4u, 9u, 12u, 13u, last - 1, last}) EXPECT_EQ(0, get(kSetup, kPair, x)) << x;
    }
}

TEST_F(PDBLinkPairTest, SameChangeMovesThePartnerAndClipsBothKeepingTheirDistance)
{
    struct Case {
        const char* address;
        int32_t object, partner, written;
        JVariant flag;
        int32_t objectAfter, partnerAfter;
    };
    const Case cases[] = {
        {kAuxLevel, -1000, -2000, 500, kWithPartner, 500, -500},
        {kAuxLevel, -1000, -2000, 1500, kWithPartner, 1000, 0},             // the object clips at the maximum
        {kAuxLevel, -2000, -1000, 500, kWithPartner, 0, 1000},              // the partner clips at the maximum
        {kAuxLevel, -13000, -13500, -13600, kWithPartner, -13300, -13800},  // the partner clips at the minimum
        {kAuxLevel, -1000, -2000, 500, kAlone, 500, -2000},
        {"/OBA/Object/RevSend/Level", -1000, -2000, -1500, kWithPartner, -1500, -2500},
        {"/OBA/Object/SizeH", 100, 300, 9900, kWithPartner, 9800, 10000},
        {"/OBA/Object/SizeV", 300, 100, 50, kWithPartner, 200, 0},
    };
    putPair(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.written));
        put(kCurrent, c.address, 2, 0, JVariant(c.object));
        put(kCurrent, c.address, 3, 0, JVariant(c.partner));
        ASSERT_EQ(0u, write(kCurrent, c.address, 2, 0, {JVariant(c.written), c.flag}, 7));
        EXPECT_EQ(c.objectAfter, get(kCurrent, c.address, 2));
        EXPECT_EQ(c.partnerAfter, get(kCurrent, c.address, 3));
        EXPECT_EQ(7u, factorOf(kCurrent, c.address, 2));
        if (c.partnerAfter != c.partner) {
            EXPECT_EQ(255u, factorOf(kCurrent, c.address, 3));
        }
    }
}

TEST_F(PDBLinkPairTest, SameValueFollowsOnlyWithThePairFlagAndAPartner)
{
    putPair(2);
    ASSERT_EQ(0u, write(kCurrent, "/OBA/Object/Fader/Level", 3, 0, {JVariant(-600), kWithPartner}));
    EXPECT_EQ(-600, get(kCurrent, "/OBA/Object/Fader/Level", 2));
    EXPECT_EQ(-600, get(kCurrent, "/OBA/Object/Fader/Level", 3));
    ASSERT_EQ(0u, write(kCurrent, "/OBA/Object/Fader/Level", 3, 0, {JVariant(-900), kAlone}));
    EXPECT_EQ(-600, get(kCurrent, "/OBA/Object/Fader/Level", 2));
    EXPECT_EQ(-900, get(kCurrent, "/OBA/Object/Fader/Level", 3));
    // An unpaired object with the flag is written alone.
    ASSERT_EQ(0u, write(kCurrent, "/OBA/Object/Fader/Level", 20, 0, {JVariant(-100), kWithPartner}));
    EXPECT_EQ(-100, get(kCurrent, "/OBA/Object/Fader/Level", 20));
    EXPECT_EQ(0, get(kCurrent, "/OBA/Object/Fader/Level", 21));
}

TEST_F(PDBLinkPairTest, PairedWritesWithTheWrongValueCountAreRefused)
{
    putPair(2);
    put(kCurrent, kAuxLevel, 2, 0, JVariant(-1000));
    struct Case {
        const char* address;
        JVariantList values;
    };
    const Case cases[] = {
        {kAuxLevel, {JVariant(5), JVariant(6), kWithPartner}},
        {kPhysical, {JVariant(5), JVariant(6), kWithPartner}},
        {kPhysical, {JVariant(5), JVariant(6), JVariant(7), JVariant(8), kWithPartner}},
        {kAuxLevel, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.values.size()));
        EXPECT_EQ(0x80000000u, write(kCurrent, c.address, 2, 0, c.values));
    }
    EXPECT_EQ(-1000, get(kCurrent, kAuxLevel, 2));
    EXPECT_EQ(0, get(kCurrent, kPhysical, 2));
}

TEST_F(PDBLinkPairTest, PairedPhysicalMoveMovesMirrorsAndRecomputesBoth)
{
    putPair(6);
    putPhysical(6, 0, 0, 100);
    putPhysical(7, 100, 100, 100);
    ASSERT_EQ(0u, write(kCurrent, kPhysical, 6, 0, {JVariant(50), JVariant(-50), JVariant(150), kWithPartner}));
    EXPECT_EQ((std::array<int32_t, 3>{50, -50, 150}), ints(kCurrent, kPhysical, 6));
    EXPECT_EQ((std::array<int32_t, 3>{150, 50, 150}), ints(kCurrent, kPhysical, 7));
    EXPECT_EQ((std::array<int32_t, 3>{50, -50, 150}), ints(kVolatile, LpcTest::kBinauralControl, 64 + 6));
    EXPECT_EQ((std::array<int32_t, 3>{150, 50, 150}), ints(kVolatile, LpcTest::kBinauralControl, 64 + 7));
    expectNear(LpcTest::kRooms[0].logicalOf(50, -50, 150), floats(kCurrent, LpcTest::kLogical, 6));
    expectNear(LpcTest::kRooms[0].logicalOf(150, 50, 150), floats(kCurrent, LpcTest::kLogical, 7));
}

TEST_F(PDBLinkPairTest, PhysicalWriteWithoutThePairFlagMovesAndMirrorsTheObjectAtOnce)
{
    putPair(6);
    putPhysical(7, 100, 100, 100);
    ASSERT_EQ(0u, write(kCurrent, kPhysical, 6, 0, {JVariant(10), JVariant(20), JVariant(30), kAlone}));
    EXPECT_EQ((std::array<int32_t, 3>{10, 20, 30}), ints(kCurrent, kPhysical, 6));
    EXPECT_EQ((std::array<int32_t, 3>{100, 100, 100}), ints(kCurrent, kPhysical, 7));
    EXPECT_EQ((std::array<int32_t, 3>{10, 20, 30}), ints(kVolatile, LpcTest::kBinauralControl, 64 + 6));
    expectNear(LpcTest::kRooms[0].logicalOf(10, 20, 30), floats(kCurrent, LpcTest::kLogical, 6));
}

TEST_F(PDBLinkPairTest, PairedLogicalWriteKeepsThePartnersLogicalOffset)
{
    putPair(6);
    putPhysical(6, 0, 0, 100);
    putPhysical(7, 200, -100, 300);
    refresh(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
    const auto object = floats(kVolatile, LpcTest::kLogicalInternal, 6);
    const auto partner = floats(kVolatile, LpcTest::kLogicalInternal, 7);
    ASSERT_EQ(0u, write(kCurrent, LpcTest::kLogical, 6, 0,
                        {JVariant(0.4f), JVariant(0.45f), JVariant(0.5f), kWithPartner}));
    expectNear({0.4f, 0.45f, 0.5f}, floats(kVolatile, LpcTest::kLogicalInternal, 6));
    expectNear({0.4f + partner[0] - object[0], 0.45f + partner[1] - object[1], 0.5f + partner[2] - object[2]},
               floats(kVolatile, LpcTest::kLogicalInternal, 7));
    expectCentimetres({-100, -30, 250}, ints(kCurrent, kPhysical, 6));
    expectCentimetres({100, -130, 450}, ints(kCurrent, kPhysical, 7));
}

TEST_F(PDBLinkPairTest, LogicalWriteOfAnObjectAloneDerivesItsPhysicalPosition)
{
    ASSERT_EQ(0u,
              write(kCurrent, LpcTest::kLogical, 20, 0, {JVariant(0.25f), JVariant(0.5f), JVariant(1.0f), kAlone}, 7));
    expectNear({0.25f, 0.5f, 1.0f}, floats(kCurrent, LpcTest::kLogical, 20));
    expectNear({0.25f, 0.5f, 1.0f}, floats(kVolatile, LpcTest::kLogicalInternal, 20));
    expectCentimetres({-250, 0, 500}, ints(kCurrent, kPhysical, 20));
    EXPECT_EQ(7u, factorOf(kCurrent, LpcTest::kLogical, 20));
    EXPECT_EQ(255u, factorOf(kCurrent, kPhysical, 20));
    expectCentimetres({-250, 0, 500}, ints(kVolatile, LpcTest::kBinauralControl, 64 + 20));
}

TEST_F(PDBLinkPairTest, ObjectSoloUnderShowModeIsRefusedAndNothingIsStored)
{
    putPair(2);
    put(kVolatile, LpcTest::kShow, 0, 0, JVariant(1));
    EXPECT_EQ(0x80000000u, write(kVolatile, LpcTest::kObjectSolo, 2, 0, {JVariant(1), kWithPartner}));
    EXPECT_EQ(0x80000000u, write(kVolatile, LpcTest::kObjectSolo, 9, 0, {JVariant(1), kAlone}));
    EXPECT_EQ(0, get(kVolatile, LpcTest::kObjectSolo, 2));
    EXPECT_EQ(0, get(kVolatile, LpcTest::kObjectSolo, 3));
    EXPECT_EQ(0, get(kVolatile, LpcTest::kObjectSolo, 9));
    EXPECT_EQ("all", audible(LpcTest::kObjectSoloMirror));
}

TEST_F(PDBLinkPairTest, PairedObjectSoloSolosBothAndRecomputesTheMirror)
{
    putPair(2);
    ASSERT_EQ(0u, write(kVolatile, LpcTest::kObjectSolo, 2, 0, {JVariant(1), kWithPartner}));
    EXPECT_EQ("2,3", audible(LpcTest::kObjectSoloMirror));
}

TEST_F(PDBLinkPairTest, IsPairChTreatsAnUnreadableValueAsPaired)
{
    putPair(2);
    EXPECT_TRUE(LPC::isPairCh(links(), 2));
    EXPECT_TRUE(LPC::isPairCh(links(), 3));
    EXPECT_FALSE(LPC::isPairCh(links(), 4));
    EXPECT_TRUE(LPC::isPairCh(links(), 100000));
}

}  // namespace
