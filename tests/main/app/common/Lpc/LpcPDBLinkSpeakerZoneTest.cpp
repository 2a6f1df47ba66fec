#include "common/Lpc/LpcPDBLinkSpeakerZone.h"

#include <gtest/gtest.h>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kSetup;
using LpcTest::kVolatile;

constexpr const char* kZoneSwitch = "/OBA/Speaker/Zone";
constexpr const char* kLayer1 = "/OBA/Speaker/Zone/Layer1";
constexpr const char* kLayer2 = "/OBA/Speaker/Zone/Layer2";

class PDBLinkSpeakerZoneTest : public LpcTest::LinkTableFixture {};

TEST_F(PDBLinkSpeakerZoneTest, ZoneSwitchesPackIntoTheTwoLayerMasks)
{
    for (uint32_t zone : {0u, 3u, 17u}) ASSERT_EQ(0u, write(kSetup, kZoneSwitch, 5, zone, {JVariant(1)}));
    EXPECT_EQ(9, get(kVolatile, kLayer1, 5));
    EXPECT_EQ(2, get(kVolatile, kLayer2, 5));
    EXPECT_EQ(255u, factorOf(kVolatile, kLayer1, 5));
    ASSERT_EQ(0u, write(kSetup, kZoneSwitch, 5, 31, {JVariant(1)}));
    ASSERT_EQ(0u, write(kSetup, kZoneSwitch, 5, 15, {JVariant(1)}));
    ASSERT_EQ(0u, write(kSetup, kZoneSwitch, 5, 0, {JVariant(0)}));
    EXPECT_EQ(0x8008, get(kVolatile, kLayer1, 5));
    EXPECT_EQ(0x8002, get(kVolatile, kLayer2, 5));
    EXPECT_EQ(0, get(kVolatile, kLayer1, 4));
}

TEST_F(PDBLinkSpeakerZoneTest, RefusesAMissingValueAndAZoneBeyondTheLayers)
{
    EXPECT_EQ(0x80000000u, write(kSetup, kZoneSwitch, 5, 0, {}));
    EXPECT_TRUE(JLIB::isFailure(write(kSetup, kZoneSwitch, 5, 32, {JVariant(1)})));
    EXPECT_EQ(0, get(kVolatile, kLayer1, 5));
    EXPECT_EQ(0, get(kVolatile, kLayer2, 5));
}

TEST_F(PDBLinkSpeakerZoneTest, UpdateRebuildsEverySpeakerOnlyWithAFactor)
{
    put(kSetup, kZoneSwitch, 63, 16, JVariant(1));
    put(kSetup, kZoneSwitch, 0, 1, JVariant(1));
    const LPC::LinkEntry& entry = *links().find(LPC::CATEGORY_LINKPRM_OBA_SPEAKER_ZONE);
    LPC::PDBLinkSpeakerZone handler;
    EXPECT_EQ(0u,
              handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED));
    EXPECT_EQ(0, get(kVolatile, kLayer2, 63));
    EXPECT_EQ(1u, handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED));
    EXPECT_EQ(1, get(kVolatile, kLayer2, 63));
    EXPECT_EQ(2, get(kVolatile, kLayer1, 0));
}

}  // namespace
