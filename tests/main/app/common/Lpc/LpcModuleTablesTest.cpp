#include "common/Lpc/LpcModuleTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Table {
    const char* name;
    const LPC::Module* rows;
    size_t count;
};

std::vector<Table> allTables()
{
    return {
        {"iPT::modules1", LPC::iPT::modules1, std::size(LPC::iPT::modules1)},
        {"iPT::modules2", LPC::iPT::modules2, std::size(LPC::iPT::modules2)},
        {"aVL2::modules", LPC::aVL2::modules, std::size(LPC::aVL2::modules)},
        {"oVL1::modules", LPC::oVL1::modules, std::size(LPC::oVL1::modules)},
        {"oVL4::modules", LPC::oVL4::modules, std::size(LPC::oVL4::modules)},
        {"aIB2::modules", LPC::aIB2::modules, std::size(LPC::aIB2::modules)},
        {"LFESel::modules", LPC::LFESel::modules, std::size(LPC::LFESel::modules)},
        {"BiSel::modules", LPC::BiSel::modules, std::size(LPC::BiSel::modules)},
        {"o3IB::modules", LPC::o3IB::modules, std::size(LPC::o3IB::modules)},
        {"LFEHPF::modules", LPC::LFEHPF::modules, std::size(LPC::LFEHPF::modules)},
        {"LFELPF::modules", LPC::LFELPF::modules, std::size(LPC::LFELPF::modules)},
        {"ThreeDRevPEQ::modules", LPC::ThreeDRevPEQ::modules, std::size(LPC::ThreeDRevPEQ::modules)},
        {"BiBi::modules4_48", LPC::BiBi::modules4_48, std::size(LPC::BiBi::modules4_48)},
        {"BiBi::modules", LPC::BiBi::modules, std::size(LPC::BiBi::modules)},
        {"BiIB::modules4", LPC::BiIB::modules4, std::size(LPC::BiIB::modules4)},
        {"BiIB::modules0_3", LPC::BiIB::modules0_3, std::size(LPC::BiIB::modules0_3)},
        {"EIB::modules", LPC::EIB::modules, std::size(LPC::EIB::modules)},
        {"oIB2::modules", LPC::oIB2::modules, std::size(LPC::oIB2::modules)},
        {"oIB3::modules", LPC::oIB3::modules, std::size(LPC::oIB3::modules)},
        {"LFEIB::modules", LPC::LFEIB::modules, std::size(LPC::LFEIB::modules)},
        {"ThreeDVL1::modules", LPC::ThreeDVL1::modules, std::size(LPC::ThreeDVL1::modules)},
        {"ThreeDVL2::modules", LPC::ThreeDVL2::modules, std::size(LPC::ThreeDVL2::modules)},
        {"oOBA::modules", LPC::oOBA::modules, std::size(LPC::oOBA::modules)},
        {"ThreeDErMtx::modules", LPC::ThreeDErMtx::modules, std::size(LPC::ThreeDErMtx::modules)},
        {"ThreeDSpMapper::modules", LPC::ThreeDSpMapper::modules, std::size(LPC::ThreeDSpMapper::modules)},
        {"ThreeDSpWeighter::modules", LPC::ThreeDSpWeighter::modules, std::size(LPC::ThreeDSpWeighter::modules)},
        {"ThreeDObjMapper::modules", LPC::ThreeDObjMapper::modules, std::size(LPC::ThreeDObjMapper::modules)},
        {"ThreeDFIR16kx4::modules", LPC::ThreeDFIR16kx4::modules, std::size(LPC::ThreeDFIR16kx4::modules)},
        {"ThreeDSREV::modules", LPC::ThreeDSREV::modules, std::size(LPC::ThreeDSREV::modules)},
        {"ThreeDIB0::modules", LPC::ThreeDIB0::modules, std::size(LPC::ThreeDIB0::modules)},
        {"ThreeDIB1::modules", LPC::ThreeDIB1::modules, std::size(LPC::ThreeDIB1::modules)},
        {"oVL3::modules", LPC::oVL3::modules, std::size(LPC::oVL3::modules)},
        {"o3VL::modules", LPC::o3VL::modules, std::size(LPC::o3VL::modules)},
        {"oSW64::modules", LPC::oSW64::modules, std::size(LPC::oSW64::modules)},
        {"oIB4::modules", LPC::oIB4::modules, std::size(LPC::oIB4::modules)},
        {"obWG::modules", LPC::obWG::modules, std::size(LPC::obWG::modules)},
        {"oscPT::modules", LPC::oscPT::modules, std::size(LPC::oscPT::modules)},
        {"o2PT::modules", LPC::o2PT::modules, std::size(LPC::o2PT::modules)},
    };
}

// The instance number a row's name should carry where it simply counts the rows.
size_t expectedInstance(const std::string& table, size_t row)
{
    if (table == "iPT::modules2") return 1;
    if (table == "BiSel::modules") return row + 2;
    if (table.rfind("BiBi::", 0) == 0) return row % 16;  // each group of 16 starts again at #0
    return row;
}

}  // namespace

TEST(LpcModuleTablesTest, HoldsTheTablesRowsAndDistinctGuids)
{
    const std::regex guidForm("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}");
    const std::regex nameForm("(\\d{3}:)?//([A-Za-z0-9]+/)?[A-Za-z0-9]+/#(\\d+)");
    const std::vector<Table> tables = allTables();
    size_t rows = 0;
    std::set<std::string> guids;
    for (const Table& t : tables) {
        for (size_t i = 0; i < t.count; ++i) {
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(i));
            const LPC::Module& row = t.rows[i];
            ASSERT_NE(nullptr, row.guid);
            ASSERT_NE(nullptr, row.name);
            EXPECT_TRUE(std::regex_match(row.guid, guidForm)) << row.guid;
            std::cmatch name;
            ASSERT_TRUE(std::regex_match(row.name, name, nameForm)) << row.name;
            EXPECT_EQ(std::to_string(expectedInstance(t.name, i)), name[3].str());
            guids.insert(row.guid);
            ++rows;
        }
    }
    EXPECT_EQ(38u, tables.size());
    EXPECT_EQ(236u, rows);
    EXPECT_EQ(188u, guids.size());
}

TEST(LpcModuleTablesTest, TheFortyEightRowTableIsTheStartOfTheBinauralTable)
{
    ASSERT_EQ(48u, std::size(LPC::BiBi::modules4_48));
    ASSERT_EQ(51u, std::size(LPC::BiBi::modules));
    for (size_t i = 0; i < 48; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(LPC::BiBi::modules[i].guid, LPC::BiBi::modules4_48[i].guid);
        EXPECT_STREQ(LPC::BiBi::modules[i].name, LPC::BiBi::modules4_48[i].name);
    }
}

TEST(LpcModuleTablesTest, KeepsTheNamesAndGuidsAsTheRackKnowsThem)
{
    struct Case {
        const LPC::Module& row;
        const char* guid;
        const char* name;
    };
    const Case cases[] = {
        {LPC::iPT::modules1[0], "c1089e5e-01cf-4989-ae51-1b2aa180fc3a", "//i/PT/#0"},
        {LPC::iPT::modules2[0], "bdd715b7-f806-44cb-a13c-2c6e3dd3bed1", "//i/PT/#1"},
        {LPC::BiSel::modules[0], "e64b32d8-8c6d-4b69-86ef-8033a1a6be27", "//Bi/Sel/#2"},
        {LPC::BiSel::modules[1], "1fe44f7f-6854-4da5-b8c9-c0adace606fa", "//Bi/Sel/#3"},
        {LPC::BiBi::modules[0], "c8026cb9-ff5c-454e-beab-735bbdfd1492", "731://Bi/Bi3DREV/#0"},
        {LPC::BiBi::modules[32], "efee150d-8035-4a60-bcc1-e7dbeb57fdbf", "057://Bi/BiEx/#0"},
        {LPC::BiBi::modules[47], "d5e311ec-3878-4fb3-a554-b3e2f990654f", "458://Bi/BiEx/#15"},
        {LPC::BiBi::modules[48], "55d7e706-8e4f-4802-9ca1-3ef605e6a80a", "304://Bi/BiSur/#0"},
        {LPC::BiBi::modules[50], "0712db16-1d1b-4247-bf5c-bec20f7eef08", "423://Bi/BiSur/#2"},
        {LPC::ThreeDVL2::modules[15], "7b451578-29cc-4d9f-bab3-7e5365df780d", "//3D/VL2/#15"},
        {LPC::obWG::modules[0], "c5fdc807-5c31-4daa-ad4f-c634589c28fd", "//obWG/#0"},
        {LPC::o2PT::modules[0], "cd4b2ebf-d4e1-4274-b4c9-53445c1e9be4", "//o2/PT/#0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.guid, c.row.guid);
        EXPECT_STREQ(c.name, c.row.name);
    }
}
