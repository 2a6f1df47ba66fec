#include "common/Lpc/LpcPDBLinkOscillator.h"

#include <gtest/gtest.h>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kSetup;
using LpcTest::kVolatile;

constexpr const char* kSend = "/Oscillator/SendAssign/ToSpeaker";
constexpr const char* kMirror = "/Oscillator/SendAssign/ToSpeaker_Internal";

class PDBLinkOscillatorTest : public LpcTest::LinkTableFixture {};

TEST_F(PDBLinkOscillatorTest, SwitchBecomesTheSpeakersIndexOrMinusOne)
{
    ASSERT_EQ(0u, write(kSetup, kSend, 12, 0, {JVariant(1u)}, 9));
    EXPECT_EQ(1, get(kSetup, kSend, 12));
    EXPECT_EQ(9u, factorOf(kSetup, kSend, 12));
    EXPECT_EQ(12, get(kVolatile, kMirror, 12));
    EXPECT_EQ(255u, factorOf(kVolatile, kMirror, 12));
    ASSERT_EQ(0u, write(kSetup, kSend, 12, 0, {JVariant(0)}));
    EXPECT_EQ(-1, get(kVolatile, kMirror, 12));
    ASSERT_EQ(0u, write(kSetup, kSend, 0, 0, {JVariant(1)}));
    EXPECT_EQ(0, get(kVolatile, kMirror, 0));
    EXPECT_EQ(0x80000000u, write(kSetup, kSend, 0, 0, {}));
}

TEST_F(PDBLinkOscillatorTest, UpdateRewritesEveryMirrorOnlyWithAFactor)
{
    put(kSetup, kSend, 63, 0, JVariant(1));
    put(kVolatile, kMirror, 5, 0, JVariant(5));  // stale: speaker 5 is off
    const LPC::LinkEntry& entry = *links().find(LPC::CATEGORY_LINKPRM_OSCILLATOR_SENDASSIGN_TOSPEAKER);
    LPC::PDBLinkOscillator handler;
    EXPECT_EQ(0u,
              handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED));
    EXPECT_EQ(-1, get(kVolatile, kMirror, 63));
    EXPECT_EQ(0u, handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED));
    EXPECT_EQ(63, get(kVolatile, kMirror, 63));
    EXPECT_EQ(-1, get(kVolatile, kMirror, 5));
}

}  // namespace
