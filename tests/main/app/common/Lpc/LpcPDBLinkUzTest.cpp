#include "common/Lpc/LpcPDBLinkUz.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kCurrent;
using LpcTest::kSetup;
using LpcTest::kVolatile;
using LPC::JVariantList;

class PDBLinkUzTest : public LpcTest::LinkTableFixture {};

struct Row {
    uint32_t category;
    int32_t internal;
    int32_t component;
    const char* address;
};

// The table as the rest of the device logic relies on it: numbers, mirrors, components.
constexpr Row kRows[] = {
    {0, 0, 1, "/OBA/Object/Pair"},
    {1, 0, 2, "/OBA/Solo/On"},
    {2, 0, 0, "/OBA/Object/Fader/Level"},
    {3, 0, 0, "/OBA/Object/Fader/On"},
    {4, 0, 0, "/OBA/Object/Visible"},
    {5, 0, 0, "/OBA/Object/AuxSend/On"},
    {6, 0, 0, "/OBA/Object/AuxSend/Level"},
    {7, 0, 0, "/OBA/Object/RevSend/On"},
    {8, 0, 0, "/OBA/Object/RevSend/Level"},
    {9, 0, 1, "/OBA/Object/XYmode"},
    {10, 0, 0, "/OBA/Object/Zone"},
    {11, 0, 0, "/OBA/Object/PhysicalPosition@xyz@x"},
    {12, 0, 0, "/OBA/Object/LogicalPosition@xyz@x"},
    {13, 1, 2, "/OBA/Object/LogicalPosition_Internal@xyz@x"},
    {14, 0, 0, "/OBA/Object/SizeH"},
    {15, 0, 0, "/OBA/Object/SizeV"},
    {16, 0, 1, "/OBA/Object/RecallSafe/On"},
    {17, 0, 1, "/OBA/Object/RecallSafe/Position"},
    {18, 0, 1, "/OBA/Object/RecallSafe/Size"},
    {19, 0, 1, "/OBA/Object/RecallSafe/AuxSend"},
    {20, 0, 1, "/OBA/Object/RecallSafe/RevSend"},
    {21, 0, 2, "/AuxIn/Solo/On"},
    {22, 1, 2, "/AuxIn/Solo/On_Internal"},
    {23, 0, 2, "/OBA/Solo/On"},
    {24, 1, 2, "/OBA/Solo/On_Internal"},
    {25, 0, 2, "/ToSpeaker/Solo/On"},
    {26, 1, 2, "/ToSpeaker/Solo/On_Internal"},
    {27, 0, 2, "/Show/On"},
    {28, 0, 1, "/OBA/Space/Position@xy@x"},
    {29, 0, 1, "/OBA/Space/Center@xy@x"},
    {30, 0, 1, "/OBA/Space/Height@LMH@L"},
    {31, 0, 0, "/OBA/Object/Zone"},
    {32, 0, 1, "/Binaural/Source"},
    {33, 0, 1, "/OBA/Speaker/Position@xyz@x"},
    {34, 0, 0, "/OBA/Object/PhysicalPosition@xyz@x"},
    {35, 1, 2, "/BinauralControl/Position@xyz@x"},
    {36, 0, 1, "/OBA/Speaker/Zone"},
    {37, 1, 2, "/OBA/Speaker/Zone/Layer1"},
    {38, 1, 2, "/OBA/Speaker/Zone/Layer2"},
    {39, 0, 1, "/Oscillator/SendAssign/ToSpeaker"},
    {40, 1, 2, "/Oscillator/SendAssign/ToSpeaker_Internal"},
    {41, 0, 1, "/3DRev/Pattern"},
    {42, 1, 2, "/3DRev/FIR16x4/IRNo"},
    {43, 1, 2, "/3DRev/SREV/IRNo"},
    {44, 0, 1, "/OBA/MasterFader/Level"},
    {45, 1, 2, "/OBA/MasterFader/Level_Internal"},
    {46, 0, 1, "/OBA/MasterFader/On"},
    {47, 1, 2, "/OBA/MasterFader/On_Internal"},
};

TEST_F(PDBLinkUzTest, HoldsTheFortyEightEntriesResolvedWithHandlersOnlyOnWritableOnes)
{
    const std::set<uint32_t> updated = {0, 21, 23, 25, 28, 32, 36, 39, 41, 44, 46};
    ASSERT_EQ(std::size(kRows), links().size());
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.address);
        const auto it = links().find(static_cast<LPC::CATEGORY_OF_LinkPrm>(row.category));
        ASSERT_NE(links().end(), it);
        const LPC::T_LINK_PRM& entry = it->second;
        EXPECT_EQ(row.internal, entry.internal);
        EXPECT_EQ(row.component, entry.category);
        EXPECT_STREQ(row.address, entry.address);
        EXPECT_TRUE(entry.addressId.isCached());
        EXPECT_EQ(static_cast<uint32_t>(row.component), entry.addressId.componentIndex());
        EXPECT_EQ(row.internal == 0, static_cast<bool>(entry.link));
        EXPECT_EQ(updated.count(row.category) == 1, static_cast<bool>(entry.update));
        // Only a solo switch names its mirror, the entry right after it.
        const bool solo = row.category == 21 || row.category == 23 || row.category == 25;
        if (solo) {
            ASSERT_EQ(1u, entry.dependents.size());
            EXPECT_EQ(row.category + 1, static_cast<uint32_t>(entry.dependents[0]));
        } else {
            EXPECT_TRUE(entry.dependents.empty());
        }
    }
}

TEST(PDBLinkUzStandaloneTest, InitializeFailsWithoutTheDeviceDatabase)
{
    LPC::PDBLinkUz table;
    EXPECT_EQ(48u, table.links().size());
    EXPECT_EQ(0x80000000u, table.initialize());
}

TEST_F(PDBLinkUzTest, OutsideWriteOfAnInternalEntryIsStoredPlainly)
{
    ASSERT_EQ(0u, write(kVolatile, LpcTest::kAuxInSoloMirror, 5, 0, {JVariant(0)}, 9));
    EXPECT_EQ(0, get(kVolatile, LpcTest::kAuxInSoloMirror, 5));
    EXPECT_EQ(9u, factorOf(kVolatile, LpcTest::kAuxInSoloMirror, 5));
    // No solo handler recomputed the group from the switches (which would restore 1).
    EXPECT_EQ(1, get(kVolatile, LpcTest::kAuxInSoloMirror, 4));
    EXPECT_EQ(0, get(kVolatile, LpcTest::kAuxInSolo, 5));
}

TEST_F(PDBLinkUzTest, ZoneWriteReachesThePairHandlerThenTheCoordinateHandler)
{
    // Objects 6 and 7 paired, both inside room 1 (zone 2) while still in zone 1.
    putPair(6);
    putPhysical(6, 1900, 900, 150);
    putPhysical(7, 2100, 1100, 300);
    ASSERT_EQ(0u, write(kCurrent, LpcTest::kZone, 6, 0, {JVariant(2), JVariant(1u)}));
    EXPECT_EQ(2, get(kCurrent, LpcTest::kZone, 6));
    EXPECT_EQ(2, get(kCurrent, LpcTest::kZone, 7));
    EXPECT_EQ(255u, factorOf(kCurrent, LpcTest::kZone, 7));
    // The pair handler recomputes the partner, the coordinate handler the object itself.
    expectNear(LpcTest::kRooms[1].logicalOf(1900, 900, 150), floats(kCurrent, LpcTest::kLogical, 6));
    expectNear(LpcTest::kRooms[1].logicalOf(2100, 1100, 300), floats(kCurrent, LpcTest::kLogical, 7));
    // The pair flag is not stored anywhere past the zone.
    EXPECT_EQ(1, get(kCurrent, LpcTest::kZone, 8));
}

TEST_F(PDBLinkUzTest, UpdatePassRebuildsDerivedValuesAndTheFactorSelectsWhich)
{
    // Switches and user values changed past the engine, derived values left stale.
    put(kVolatile, LpcTest::kObjectSolo, 3, 0, JVariant(1));
    put(kSetup, "/OBA/Speaker/Zone", 5, 17, JVariant(1));
    put(kSetup, "/Oscillator/SendAssign/ToSpeaker", 12, 0, JVariant(1));
    put(kSetup, "/OBA/MasterFader/Level", 0, 0, JVariant(-1000));
    put(kSetup, "/3DRev/Pattern", 0, 0, JVariant("Theatre", 7));
    put(kCurrent, LpcTest::kPhysical, 9, 0, JVariant(123), 0);

    // Factor 0 (a 3D-reverb preset recall): only binaural control and impulse responses follow.
    refresh(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED);
    EXPECT_EQ(123, get(kVolatile, LpcTest::kBinauralControl, 64 + 9));
    EXPECT_EQ(186 + 16, get(kVolatile, "/3DRev/SREV/IRNo", 0));
    EXPECT_EQ(121 + 14 + 6, get(kVolatile, "/3DRev/FIR16x4/IRNo", 6));
    EXPECT_EQ("all", audible(LpcTest::kObjectSoloMirror));
    EXPECT_EQ(0, get(kVolatile, "/OBA/Speaker/Zone/Layer2", 5));
    EXPECT_EQ(-1, get(kVolatile, "/Oscillator/SendAssign/ToSpeaker_Internal", 12));
    EXPECT_EQ(0, get(kVolatile, "/OBA/MasterFader/Level_Internal", 0));

    refresh(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
    EXPECT_EQ("3", audible(LpcTest::kObjectSoloMirror));
    EXPECT_EQ("all", audible(LpcTest::kAuxInSoloMirror));
    EXPECT_EQ(2, get(kVolatile, "/OBA/Speaker/Zone/Layer2", 5));
    EXPECT_EQ(12, get(kVolatile, "/Oscillator/SendAssign/ToSpeaker_Internal", 12));
    EXPECT_EQ(-1000, get(kVolatile, "/OBA/MasterFader/Level_Internal", 0));
}

}  // namespace
