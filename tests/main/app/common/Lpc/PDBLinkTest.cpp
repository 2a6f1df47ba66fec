#include "common/Lpc/PDBLink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "TMS/TMSystem.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

using LPC::CATEGORY_OF_LinkPrm;
using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZSETUP;
using LPC::CATEGORY_PDBTYPE_UZVOLATILE;
using LPC::JVariantList;

constexpr const char* kFader = "/OBA/Object/Fader/Level";
constexpr const char* kZone = "/OBA/Object/Zone";
constexpr const char* kPositionX = "/OBA/Object/PhysicalPosition@xyz@x";
constexpr const char* kPositionY = "/OBA/Object/PhysicalPosition@xyz@y";
constexpr const char* kName = "/OBA/Label/Name";  // text of 16 bytes

CATEGORY_OF_LinkPrm cat(uint32_t n) { return static_cast<CATEGORY_OF_LinkPrm>(n); }

// Link entries on real addresses whose handlers record their calls as "<category>:<x>" and answer
// what the test sets; an entry's handler may also store a value of its own first.
class PDBLinkTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", m_databases.create()); }
    void TearDown() override
    {
        (void)LPC::pdb_setLink(nullptr);
        m_databases.destroy();
    }

    void addEntry(uint32_t category, int32_t component, const char* address, uint32_t answer, bool internal = false)
    {
        LPC::T_LINK_PRM entry;
        entry.internal = internal ? 1 : 0;
        entry.category = component;
        entry.address = address;
        entry.link = [this, answer](const LPC::LinkMap& links, const LPC::LinkEntry& self, const PDB::AddressId& id,
                                    uint32_t x, uint32_t, const JVariantList& values, uint8_t attr) {
            m_calls.push_back(std::to_string(self.first) + ":" + std::to_string(x));
            m_sawLockHeld.push_back(m_databases.lock().isHeldByCaller());
            EXPECT_TRUE(self.second.addressId.isSame(id));
            if ((answer & 1u) != 0) {
                // Taking over: the handler stores the written value itself, doubled.
                EXPECT_EQ(0u, LPC::setVariant(links, self.first, x, 0, JVariant(values[0].toInt32() * 2), attr));
            }
            return answer;
        };
        entry.update = [this, answer](const LPC::LinkMap&, const LPC::LinkEntry& self, const PDB::AddressId& id,
                                      LPC::CATEGORY_OF_LinkUpdateFactor factor) {
            m_updates.push_back(std::to_string(self.first) + ":" + std::to_string(factor));
            EXPECT_TRUE(self.second.addressId.isSame(id));
            return answer;
        };
        m_links[cat(category)] = entry;
    }

    void install()
    {
        ASSERT_EQ(0u, m_link.setLinks(m_links));
        ASSERT_EQ(0u, m_link.initialize());
        ASSERT_EQ(0u, LPC::pdb_setLink(&m_link));
    }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static PDB::AddressId id(uint32_t component, const char* address)
    {
        return LPC::pdb_resolveAddress(static_cast<LPC::CATEGORY_OF_PDBTYPE>(component), address);
    }
    static int32_t intAt(uint32_t component, const char* address, uint32_t x)
    {
        return db().getSInt32(component, db().getAddressIndex(PDB::UniqId(component), address), x, 0, nullptr);
    }

    LpcTest::ShippedDatabases m_databases;
    LPC::LinkMap m_links;
    LPC::PDBLink m_link;
    std::vector<std::string> m_calls;
    std::vector<bool> m_sawLockHeld;
    std::vector<std::string> m_updates;
};

TEST_F(PDBLinkTest, WithoutAnEngineValuesAreStoredAtConsecutiveAddresses)
{
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kPositionX), 4, 0,
                                            JVariantList{JVariant(10), JVariant(20), JVariant(30)}, 7));
    EXPECT_EQ(10, intAt(0, kPositionX, 4));
    EXPECT_EQ(20, intAt(0, kPositionY, 4));
    EXPECT_EQ(30, intAt(0, "/OBA/Object/PhysicalPosition@xyz@z", 4));
    EXPECT_EQ(7u, db().getFactor(0, db().getAddressIndex(PDB::UniqId(0), kPositionY), 4, 0));
    EXPECT_EQ(0x80000000u, LPC::pdb_setParamWithLinkWithPDB(nullptr, id(0, kFader), 0, 0, JVariant(1), 255));
}

TEST_F(PDBLinkTest, HandlersDecideWhetherThePlainWriteFollows)
{
    addEntry(2, CATEGORY_PDBTYPE_UZCURRENT, kFader, 1);           // takes over
    addEntry(3, CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/Fader/On", 0x80000000u);  // fails
    addEntry(5, CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/Fader/On", 1);  // never reached after the failure
    addEntry(6, CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Object/SizeH", 0);  // adjusts nothing
    install();

    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kFader), 1, 0, JVariantList{JVariant(-100)}, 4));
    EXPECT_EQ(-200, intAt(0, kFader, 1));  // the handler's value, nothing stored after it

    const JLIB::JResult failed = LPC::pdb_setParamWithLink(id(0, "/OBA/Object/Fader/On"), 2, 0, JVariantList{JVariant(0)}, 4);
    EXPECT_EQ(0x80000000u, failed);
    EXPECT_EQ(1, intAt(0, "/OBA/Object/Fader/On", 2));  // the default stays

    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, "/OBA/Object/SizeH"), 3, 0, JVariantList{JVariant(250)}, 4));
    EXPECT_EQ(250, intAt(0, "/OBA/Object/SizeH", 3));

    EXPECT_EQ((std::vector<std::string>{"2:1", "3:2", "6:3"}), m_calls);
    EXPECT_EQ((std::vector<bool>{true, true, true}), m_sawLockHeld);
}

TEST_F(PDBLinkTest, EveryEntryOfAnAddressIsOfferedTheWriteInCategoryOrder)
{
    addEntry(31, CATEGORY_PDBTYPE_UZCURRENT, kZone, 0);
    addEntry(10, CATEGORY_PDBTYPE_UZCURRENT, kZone, 1);  // takes over; 31 is still offered the write
    addEntry(11, CATEGORY_PDBTYPE_UZCURRENT, kPositionX, 0);
    addEntry(13, CATEGORY_PDBTYPE_UZVOLATILE, "/OBA/Object/LogicalPosition_Internal@xyz@x", 1, true);
    install();

    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kZone), 6, 0, JVariantList{JVariant(3)}, 255));
    EXPECT_EQ(6, intAt(0, kZone, 6));
    // Only the registered member reaches a handler; internal entries never do.
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kPositionY), 6, 0, JVariantList{JVariant(70)}, 255));
    EXPECT_EQ(70, intAt(0, kPositionY, 6));
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(2, "/OBA/Object/LogicalPosition_Internal@xyz@x"), 6, 0,
                                            JVariantList{JVariant(0.25f)}, 255));
    EXPECT_EQ((std::vector<std::string>{"10:6", "31:6"}), m_calls);
    // Internal entries are resolved all the same.
    EXPECT_TRUE(m_link.links().at(cat(13)).addressId.isCached());
}

TEST_F(PDBLinkTest, TextsAreCutAtWholeCharactersAndOtherValuesSkipped)
{
    // 15 letters and a two-byte character: 17 bytes for 16.
    const std::string text = std::string(15, 'a') + "\xC3\xA9";
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kName), 0, 0, JVariantList{JVariant(text.c_str(), 17)}, 255));
    EXPECT_STREQ(std::string(15, 'a').c_str(), LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kName, 0, 0).toString());
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kName), 1, 0,
                                            JVariantList{JVariant("Lead", 4), JVariant(2.5f), JVariant("Bass", 4)}, 255));
    EXPECT_STREQ("Lead", LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kName, 1, 0).toString());
    EXPECT_STREQ("", LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Color", 1, 0).toString());
    EXPECT_STREQ("Bass", LPC::pdb_getParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, "/OBA/Label/Icon", 1, 0).toString());
}

TEST_F(PDBLinkTest, UpdatePassRunsEveryUpdateHandlerAndTellsWhetherOneActed)
{
    addEntry(0, CATEGORY_PDBTYPE_UZSETUP, "/OBA/Object/Pair", 0x80000000u);
    addEntry(21, CATEGORY_PDBTYPE_UZVOLATILE, "/AuxIn/Solo/On", 1);
    addEntry(22, CATEGORY_PDBTYPE_UZVOLATILE, "/AuxIn/Solo/On_Internal", 1, true);
    addEntry(41, CATEGORY_PDBTYPE_UZSETUP, "/3DRev/Pattern", 0);
    install();

    testing::internal::CaptureStdout();
    const uint32_t acted = m_link.update(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(1u, acted);  // although the first one failed
    EXPECT_EQ((std::vector<std::string>{"0:1", "21:1", "41:1"}), m_updates);
    EXPECT_EQ(0u, log.rfind("[###]link update time ", 0)) << log;
    EXPECT_EQ("[ms]\n", log.substr(log.size() - 5));

    m_links.erase(cat(21));
    LPC::PDBLink quiet;
    ASSERT_EQ(0u, quiet.setLinks(m_links));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, quiet.update(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED));
    (void)testing::internal::GetCapturedStdout();
}

TEST_F(PDBLinkTest, AnUndeclaredAddressStopsInitialisationWithoutEndingTheProcess)
{
    addEntry(1, CATEGORY_PDBTYPE_UZCURRENT, kFader, 0);
    addEntry(2, CATEGORY_PDBTYPE_UZSETUP, kFader, 0);  // not in "uzSetup"
    addEntry(3, CATEGORY_PDBTYPE_UZCURRENT, kZone, 0);
    ASSERT_EQ(0u, m_link.setLinks(m_links));
    testing::internal::CaptureStdout();
    const JLIB::JResult result = m_link.initialize();
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0x80000000u, result);
    EXPECT_NE(std::string::npos, log.find("[E] LPC::pdb_addressCheck - unresolved address \"/OBA/Object/Fader/Level\"\n"));
    EXPECT_TRUE(m_link.links().at(cat(1)).addressId.isCached());
    EXPECT_FALSE(m_link.links().at(cat(3)).addressId.isCached());
}

// "DebugOutLink" is read once by initialize; the settings are put back for later tests.
TEST_F(PDBLinkTest, WalkDurationIsPrintedOnlyWithDebugOutLink)
{
    TMS::TMSystem system;  // the settings lock needs the framework
    TempFolder folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    auto readSettings = [&](const char* debug) {
        folder.write("SystemSetting.ini", std::string("[Setting]\nDebugOutLink = ") + debug + "\n");
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        ASSERT_EQ(0u, LPC::LpcThreadCommon::getInstance().initialize());
    };

    addEntry(2, CATEGORY_PDBTYPE_UZCURRENT, kFader, 0);
    readSettings("1");
    install();
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kFader), 0, 0, JVariantList{JVariant(5)}, 255));
    const std::string on = testing::internal::GetCapturedStdout();

    readSettings("0");
    LPC::PDBLink quiet;
    ASSERT_EQ(0u, quiet.setLinks(m_links));
    ASSERT_EQ(0u, quiet.initialize());
    ASSERT_EQ(0u, LPC::pdb_setLink(&quiet));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, LPC::pdb_setParamWithLink(id(0, kFader), 0, 0, JVariantList{JVariant(6)}, 255));
    const std::string off = testing::internal::GetCapturedStdout();
    (void)LPC::LpcThreadCommon::getInstance().finalize();  // the lock goes before the framework
    std::filesystem::current_path(previous);

    EXPECT_EQ(0u, on.rfind("[###]link prm time ", 0)) << on;
    EXPECT_EQ("", off);
}

TEST_F(PDBLinkTest, EntryAccessReadsAndWritesMembersPastTheEngine)
{
    addEntry(11, CATEGORY_PDBTYPE_UZCURRENT, kPositionX, 0x80000000u);  // would refuse any linked write
    install();
    EXPECT_EQ(0u, LPC::setVariantList(m_link.links(), cat(11), 2, 0, JVariantList{JVariant(1), JVariant(2), JVariant(3)}, 255));
    JVariant z;
    EXPECT_TRUE(JLIB::isSuccess(LPC::getVariant(m_link.links(), cat(11), 2, 0, z, 2)));
    EXPECT_EQ(3, z.toInt32());
    EXPECT_EQ(0u, LPC::setVariant(m_link.links(), cat(11), 2, 0, JVariant(-9), 255));
    EXPECT_EQ(-9, intAt(0, kPositionX, 2));
    EXPECT_TRUE(m_calls.empty());

    // An absent category touches nothing and answers 0.
    JVariant untouched(42);
    EXPECT_EQ(0u, LPC::getVariant(m_link.links(), cat(47), 2, 0, untouched, 0));
    EXPECT_EQ(42, untouched.toInt32());
    EXPECT_EQ(0u, LPC::setVariant(m_link.links(), cat(47), 2, 0, JVariant(1), 255));
    EXPECT_EQ(0u, LPC::setVariantList(m_link.links(), cat(11), 2, 0, JVariantList{}, 255));
}

}  // namespace
