#include "common/Lpc/LpcPDBLinkJustCopy.h"

#include <gtest/gtest.h>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kSetup;
using LpcTest::kVolatile;

class PDBLinkJustCopyTest : public LpcTest::LinkTableFixture {};

TEST_F(PDBLinkJustCopyTest, MasterFaderValuesAreStoredAsInt32AndCopiedToTheirMirrors)
{
    ASSERT_EQ(0u, write(kSetup, "/OBA/MasterFader/Level", 0, 0, {JVariant(-1000)}, 9));
    EXPECT_EQ(-1000, get(kSetup, "/OBA/MasterFader/Level", 0));
    EXPECT_EQ(9u, factorOf(kSetup, "/OBA/MasterFader/Level", 0));
    EXPECT_EQ(-1000, get(kVolatile, "/OBA/MasterFader/Level_Internal", 0));
    EXPECT_EQ(255u, factorOf(kVolatile, "/OBA/MasterFader/Level_Internal", 0));
    ASSERT_EQ(0u, write(kSetup, "/OBA/MasterFader/On", 0, 0, {JVariant(0u)}));
    EXPECT_EQ(0, get(kVolatile, "/OBA/MasterFader/On_Internal", 0));
    EXPECT_EQ(0x80000000u, write(kSetup, "/OBA/MasterFader/On", 0, 0, {}));
}

TEST_F(PDBLinkJustCopyTest, MissingMirrorFailsTheCopy)
{
    LPC::LinkMap withoutMirror = links();
    withoutMirror.erase(LPC::CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL_INTERNAL);
    EXPECT_EQ(0x80000000u,
              LPC::PDBLinkJustCopy::linkPrmInternal(withoutMirror, LPC::CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL, 0, 5));
}

TEST_F(PDBLinkJustCopyTest, UpdateCopiesOnlyWithAFactor)
{
    put(kSetup, "/OBA/MasterFader/Level", 0, 0, JVariant(-2500));
    const LPC::LinkEntry& entry = *links().find(LPC::CATEGORY_LINKPRM_OBA_MASTERFADER_LEVEL);
    LPC::PDBLinkJustCopy handler;
    EXPECT_EQ(0u,
              handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED));
    EXPECT_EQ(0, get(kVolatile, "/OBA/MasterFader/Level_Internal", 0));
    EXPECT_EQ(0u, handler.update(links(), entry, entry.second.addressId, LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED));
    EXPECT_EQ(-2500, get(kVolatile, "/OBA/MasterFader/Level_Internal", 0));
}

}  // namespace
