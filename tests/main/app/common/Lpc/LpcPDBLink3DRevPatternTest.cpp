#include "common/Lpc/LpcPDBLink3DRevPattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kSetup;
using LpcTest::kVolatile;

constexpr const char* kPattern = "/3DRev/Pattern";
constexpr const char* kSrev = "/3DRev/SREV/IRNo";
constexpr const char* kFir = "/3DRev/FIR16x4/IRNo";

static_assert(LPC::Rev::IRNo[0][0] == 186 && LPC::Rev::IRNo[5][7] == 233);
static_assert(LPC::FIR::IRNo[0][0] == 121 && LPC::FIR::IRNo[5][6] == 162);

class PDBLink3DRevPatternTest : public LpcTest::LinkTableFixture {
protected:
    static JVariant text(const char* t) { return JVariant(t, static_cast<unsigned int>(std::strlen(t))); }
    // First and last number of each set.
    static void expectNumbers(int32_t srev, int32_t fir)
    {
        EXPECT_EQ(srev, get(kVolatile, kSrev, 0));
        EXPECT_EQ(srev + 7, get(kVolatile, kSrev, 7));
        EXPECT_EQ(fir, get(kVolatile, kFir, 0));
        EXPECT_EQ(fir + 6, get(kVolatile, kFir, 6));
        EXPECT_EQ(255u, factorOf(kVolatile, kSrev, 7));
    }
};

TEST_F(PDBLink3DRevPatternTest, RoomNameSelectsBothImpulseResponseSets)
{
    struct Case {
        const char* name;
        int32_t srev, fir;
    };
    const Case cases[] = {
        {"Concert Hall", 210, 142}, {"cONCERT hALL", 210, 142}, {"Cathedral", 226, 156},
        {"Small Hall", 194, 128},   {"Nowhere", 186, 121},      {"Room", 186, 121},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, write(kSetup, kPattern, 0, 0, {text(c.name)}));
        EXPECT_EQ(std::string(c.name), LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZSETUP, kPattern, 0, 0).toString());
        expectNumbers(c.srev, c.fir);
    }
    EXPECT_EQ(0x80000000u, write(kSetup, kPattern, 0, 0, {}));
}

TEST_F(PDBLink3DRevPatternTest, UpdateFollowsTheStoredPatternWhateverTheFactor)
{
    put(kSetup, kPattern, 0, 0, text("Symphony Hall"));
    refresh(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED);
    expectNumbers(218, 149);
}

}  // namespace
