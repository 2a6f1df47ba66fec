#include "common/Lpc/LpcUzParameterStrategy.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/Lpc/LpcPDB.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

// The shipped definitions with both strategies resolved, defaulted as the device-control thread does.
class LpcUzParameterStrategyTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", m_databases.create()); }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static uint32_t ai(uint32_t uid, const char* address) { return db().getAddressIndex(PDB::UniqId(uid), address); }

    LpcTest::ShippedDatabases m_databases;
};

TEST_F(LpcUzParameterStrategyTest, NamesAreNumberedPerChannel)
{
    struct Case {
        uint32_t uid;
        const char* address;
        uint32_t x;
        const char* name;
    };
    const Case cases[] = {
        {0, "/OBA/Label/Name", 0, "Obj 001"},
        {0, "/OBA/Label/Name", 127, "Obj 128"},
        {1, "/OBA/Zone/Label/Name", 9, "Zone 10"},
        {1, "/OBA/Zone/Label/Name", 31, "Zone 32"},
        {1, "/AuxIn/Label/Name", 95, "AUX 096"},
        {1, "/Binaural/ExternalIn/Label/Name", 0, "ExtObj 001"},
        {1, "/OBA/DirectOut/Label/Name", 63, "DirOut 064"},
        {1, "/OBA/RecOut/Label/Name", 1, "RecOut 002"},
        {1, "/ToSpeaker/Label/Name", 41, "Sp 042"},
        {0, "/OBA/Label/Color", 3, ""},  // no procedure: the definition's default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.x));
        JVariant value;
        ASSERT_EQ(0u, db().getVariant(value, c.uid, ai(c.uid, c.address), c.x, 0, nullptr));
        EXPECT_STREQ(c.name, value.toString());
    }
}

TEST_F(LpcUzParameterStrategyTest, SpacesStartAsTheSameSquareAndTheEqualiserAtItsBands)
{
    const int32_t xs[] = {-2000, -1000, 0, 1000, 2000, 2000, 2000, 2000, 2000, 1000, 0, -1000, -2000, -2000, -2000, -2000};
    const int32_t ys[] = {2000, 2000, 2000, 2000, 2000, 1000, 0, -1000, -2000, -2000, -2000, -2000, -2000, -1000, 0, 1000};
    const uint32_t px = ai(1, "/OBA/Space/Position@xy@x");
    const uint32_t py = ai(1, "/OBA/Space/Position@xy@y");
    for (uint32_t space : {0u, 17u, 31u}) {
        for (uint32_t y = 0; y < 16; ++y) {
            SCOPED_TRACE(std::to_string(space) + "/" + std::to_string(y));
            EXPECT_EQ(xs[y], db().getSInt32(1, px, space, y, nullptr));
            EXPECT_EQ(ys[y], db().getSInt32(1, py, space, y, nullptr));
        }
    }
    const uint32_t f = ai(1, "/3DRev/PEQ/F");
    const int32_t bands[] = {800, 1250, 10000, 40000, 100000};
    for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(bands[x], db().getSInt32(1, f, x, 0, nullptr)) << x;
}

TEST_F(LpcUzParameterStrategyTest, IndexesOutsideTheTablesKeepTheDefinitionsDefault)
{
    struct Case {
        const char* address;
        uint32_t x;
        uint32_t y;
    };
    const Case cases[] = {
        {"/OBA/Space/Position@xy@x", 0, 16},
        {"/OBA/Space/Position@xy@y", 5, 16},
        {"/3DRev/PEQ/F", 5, 0},
        {"/3DRev/PEQ/F", 0, 1},
    };
    LPC::LpcUzParameterStrategySetup& strategy = LPC::gUzParameterStrategySetup;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.x) + "/" + std::to_string(c.y));
        const uint32_t a = ai(1, c.address);
        const PDB::ParameterInfo& info = db().paramInfo(1, a);
        JVariant value = info.def;
        EXPECT_EQ(0x80000000u, strategy.getDefaultValueProc(db(), 1, a, c.x, c.y, info, value));
        EXPECT_EQ(info.def.toInt32(), value.toInt32());
    }
    // A parameter without a row: 0, untouched.
    JVariant value(-7);
    EXPECT_EQ(0u, strategy.getDefaultValueProc(db(), 1, ai(1, "/3DRev/PEQ/Q"), 0, 0, db().paramInfo(1, 0), value));
    EXPECT_EQ(-7, value.toInt32());
    // The same address index in another component is another parameter.
    EXPECT_EQ(0u, strategy.getDefaultValueProc(db(), 0, ai(1, "/3DRev/PEQ/F"), 2, 0, db().paramInfo(1, 0), value));
    EXPECT_EQ(-7, value.toInt32());
}

TEST_F(LpcUzParameterStrategyTest, AnUndeclaredTableAddressStopsResolutionAfterTheRowsBefore)
{
    static const LPC::T_DEFAULT_VALUE_PROC table[] = {
        {"/OBA/Zone/Label/Name", LPC::getDefaultValueProc_OBAZoneLabelName},
        {"/OBA/Zone/Label/Nam", LPC::getDefaultValueProc_OBAZoneLabelName},
        {"/ToSpeaker/Label/Name", LPC::getDefaultValueProc_ToSpeakerLabelName},
    };
    LPC::LpcUzParameterStrategyBase strategy(PDB::UniqId(1), table, 3);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, strategy.initialize(db()));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("unresolved address \"/OBA/Zone/Label/Nam\""));
    const PDB::ParameterInfo& info = db().paramInfo(1, 0);
    JVariant zone, speaker(5);
    EXPECT_EQ(0u, strategy.getDefaultValueProc(db(), 1, ai(1, "/OBA/Zone/Label/Name"), 2, 0, info, zone));
    EXPECT_STREQ("Zone 03", zone.toString());
    EXPECT_EQ(0u, strategy.getDefaultValueProc(db(), 1, ai(1, "/ToSpeaker/Label/Name"), 2, 0, info, speaker));
    EXPECT_EQ(5, speaker.toInt32());

    LPC::LpcUzParameterStrategyBase none(PDB::UniqId(1), nullptr, 3);
    EXPECT_EQ(0x80000000u, none.initialize(db()));
}

}  // namespace
