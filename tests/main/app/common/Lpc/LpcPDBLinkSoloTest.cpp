#include "common/Lpc/LpcPDBLinkSolo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Lpc/LpcSoloClear.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kAuxInSolo;
using LpcTest::kAuxInSoloMirror;
using LpcTest::kObjectSolo;
using LpcTest::kObjectSoloMirror;
using LpcTest::kShow;
using LpcTest::kSpeakerSolo;
using LpcTest::kSpeakerSoloMirror;
using LpcTest::kVolatile;

const JVariant kAlone(0u);

class PDBLinkSoloTest : public LpcTest::LinkTableFixture {
protected:
    // A solo write the way every writer sends it: object solos carry the pair flag.
    static JLIB::JResult solo(const char* address, uint32_t channel, int32_t on)
    {
        if (std::string(address) == kObjectSolo) return write(kVolatile, address, channel, 0, {JVariant(on), kAlone});
        return write(kVolatile, address, channel, 0, {JVariant(on)});
    }
};

TEST_F(PDBLinkSoloTest, MirrorHoldsEveryChannelWithoutSoloElseExactlyTheSoloedOnes)
{
    struct Group {
        const char* solo;
        const char* mirror;
    };
    const Group groups[] = {{kAuxInSolo, kAuxInSoloMirror}, {kObjectSolo, kObjectSoloMirror},
                            {kSpeakerSolo, kSpeakerSoloMirror}};
    for (const Group& g : groups) {
        SCOPED_TRACE(g.solo);
        EXPECT_EQ("all", audible(g.mirror));
        ASSERT_EQ(0u, solo(g.solo, 3, 1));
        EXPECT_EQ("3", audible(g.mirror));
        ASSERT_EQ(0u, solo(g.solo, 7, 1));
        EXPECT_EQ("3,7", audible(g.mirror));
        EXPECT_EQ(255u, factorOf(kVolatile, g.mirror, 0));
        ASSERT_EQ(0u, solo(g.solo, 3, 0));
        EXPECT_EQ("7", audible(g.mirror));
        ASSERT_EQ(0u, solo(g.solo, 7, 0));
        EXPECT_EQ("all", audible(g.mirror));
    }
}

TEST_F(PDBLinkSoloTest, GroupsDoNotInfluenceEachOther)
{
    ASSERT_EQ(0u, solo(kSpeakerSolo, 1, 1));
    EXPECT_EQ("1", audible(kSpeakerSoloMirror));
    EXPECT_EQ("all", audible(kAuxInSoloMirror));
    EXPECT_EQ("all", audible(kObjectSoloMirror));
}

TEST_F(PDBLinkSoloTest, SoloUnderShowModeIsRefusedAndNothingIsStored)
{
    put(kVolatile, kShow, 0, 0, JVariant(1));
    for (const char* address : {kAuxInSolo, kObjectSolo, kSpeakerSolo}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(0x80000000u, solo(address, 2, 1));
        EXPECT_EQ(0, get(kVolatile, address, 2));
    }
    EXPECT_EQ("all", audible(kAuxInSoloMirror));
    EXPECT_EQ("all", audible(kObjectSoloMirror));
    EXPECT_EQ("all", audible(kSpeakerSoloMirror));
}

TEST_F(PDBLinkSoloTest, ShowModeWriteEitherWayClearsEverySolo)
{
    for (int32_t show : {1, 0}) {
        SCOPED_TRACE(show);
        put(kVolatile, kShow, 0, 0, JVariant(1 - show));
        put(kVolatile, kAuxInSolo, 4, 0, JVariant(1));
        put(kVolatile, kObjectSolo, 5, 0, JVariant(1));
        put(kVolatile, kSpeakerSoloMirror, 6, 0, JVariant(0));  // a stale mirror is made whole as well
        ASSERT_EQ(0u, write(kVolatile, kShow, 0, 0, {JVariant(show)}, 9));
        EXPECT_EQ(show, get(kVolatile, kShow, 0));
        EXPECT_EQ(9u, factorOf(kVolatile, kShow, 0));
        EXPECT_EQ(0, get(kVolatile, kAuxInSolo, 4));
        EXPECT_EQ(0, get(kVolatile, kObjectSolo, 5));
        EXPECT_EQ("all", audible(kAuxInSoloMirror));
        EXPECT_EQ("all", audible(kObjectSoloMirror));
        EXPECT_EQ("all", audible(kSpeakerSoloMirror));
    }
}

TEST_F(PDBLinkSoloTest, WritesWithoutAValueAreRefused)
{
    put(kVolatile, kAuxInSolo, 4, 0, JVariant(1));
    EXPECT_EQ(0x80000000u, write(kVolatile, kShow, 0, 0, {}));
    EXPECT_EQ(0x80000000u, write(kVolatile, kAuxInSolo, 5, 0, {}));
    EXPECT_EQ(1, get(kVolatile, kAuxInSolo, 4));  // a refused show write clears nothing
    EXPECT_EQ(0, get(kVolatile, kShow, 0));
}

TEST_F(PDBLinkSoloTest, SoloClearSetsEverySwitchOffAndEveryMirrorOnWithoutHandlers)
{
    for (const char* address : {kAuxInSolo, kObjectSolo, kSpeakerSolo}) {
        for (uint32_t x : {0u, 11u, 63u}) put(kVolatile, address, x, 0, JVariant(1));
    }
    put(kVolatile, kObjectSoloMirror, 2, 0, JVariant(0));
    put(kVolatile, kShow, 0, 0, JVariant(1));  // a handler would refuse under show mode; this is no handler
    EXPECT_TRUE(JLIB::isSuccess(LPC::soloClear()));
    for (const char* address : {kAuxInSolo, kObjectSolo, kSpeakerSolo}) {
        SCOPED_TRACE(address);
        const uint32_t n = db().paramInfo(kVolatile, ai(kVolatile, address)).numX;
        for (uint32_t x = 0; x < n; ++x) ASSERT_EQ(0, get(kVolatile, address, x)) << x;
    }
    EXPECT_EQ("all", audible(kAuxInSoloMirror));
    EXPECT_EQ("all", audible(kObjectSoloMirror));
    EXPECT_EQ("all", audible(kSpeakerSoloMirror));
    EXPECT_EQ(255u, factorOf(kVolatile, kObjectSolo, 11));
}

TEST_F(PDBLinkSoloTest, UpdateWithFactorRecomputesMirrorsAndFactorZeroLeavesThem)
{
    put(kVolatile, kSpeakerSolo, 9, 0, JVariant(1));
    const LPC::LinkEntry& entry = *links().find(LPC::CATEGORY_LINKPRM_TOSPEAKER_SOLO_ON);
    LPC::PDBLinkSolo handler;
    EXPECT_EQ(0u,
              handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED));
    EXPECT_EQ("all", audible(kSpeakerSoloMirror));
    EXPECT_EQ(1u, handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED));
    EXPECT_EQ("9", audible(kSpeakerSoloMirror));
}

TEST_F(PDBLinkSoloTest, SoloEntryWithoutExactlyOneMirrorIsRefused)
{
    LPC::LinkEntry entry = *links().find(LPC::CATEGORY_LINKPRM_AUXIN_SOLO_ON);
    entry.second.dependents.clear();
    LPC::PDBLinkSolo handler;
    EXPECT_EQ(0x80000000u,
              handler.linkPrm(links(), entry, entry.second.addressId, 1, 0, {JVariant(1)}, 7));
    EXPECT_EQ(0x80000000u, handler.linkPrm(links(), *links().find(LPC::CATEGORY_LINKPRM_AUXIN_SOLO_ON),
                                           entry.second.addressId, 1, 0, {}, 7));
    EXPECT_EQ(0, get(kVolatile, kAuxInSolo, 1));
}

TEST_F(PDBLinkSoloTest, ChannelListStopsAtTheFirstWhenAsked)
{
    put(kVolatile, kAuxInSolo, 8, 0, JVariant(1));
    put(kVolatile, kAuxInSolo, 90, 0, JVariant(1));
    const PDB::AddressId id = LPC::pdb_resolveAddress(LPC::CATEGORY_PDBTYPE_UZVOLATILE, kAuxInSolo);
    std::vector<uint32_t> channels;
    EXPECT_EQ(0u, LPC::makeChListWhenValueIsNot0(id, 0, channels, false));
    EXPECT_EQ((std::vector<uint32_t>{8, 90}), channels);
    channels.clear();
    EXPECT_EQ(1u, LPC::makeChListWhenValueIsNot0(id, 0, channels, true));
    EXPECT_TRUE(channels.empty());
    EXPECT_EQ(0x80000000u, LPC::makeChListWhenValueIsNot0(PDB::AddressId(), 0, channels, false));
    EXPECT_TRUE(LPC::isAnySolo(links()));
    EXPECT_FALSE(LPC::isAnySoloInternal(links(), LPC::CATEGORY_LINKPRM_OBA_SOLO_ON));
    EXPECT_FALSE(LPC::isAnySoloInternal(LPC::LinkMap{}, LPC::CATEGORY_LINKPRM_AUXIN_SOLO_ON));
}

}  // namespace
