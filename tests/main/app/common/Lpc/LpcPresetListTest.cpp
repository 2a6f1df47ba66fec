#include "common/Lpc/LpcPresetList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_PresetFile.h"
#include "PDB/pdb_PresetItem.h"
#include "common/Lpc/LpcLibraryDef.h"
#include "common/Lpc/LpcPDB.h"
#include "jlib/JVariant.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

using LPC::CATEGORY_PDBTYPE_UZCURRENT;
using LPC::CATEGORY_PDBTYPE_UZPRESETLIST;
using LPC::CATEGORY_PDBTYPE_UZPRESETSTATUS;
using LPC::CATEGORY_PDBTYPE_UZSETUP;

constexpr JLIB::JResult kFailed = 0x80000000u;
constexpr const char* kDecay = "/3DRev/Decay";
constexpr const char* kPeqG = "/3DRev/PEQ/G";
constexpr const char* kFileName = "/PresetList/3DRev/Info/FileName";
constexpr const char* kTitle = "/PresetStatus/3DRev/Info/Title";
constexpr const char* kProtect = "/PresetStatus/3DRev/Info/Protect";

std::string captured()
{
    return testing::internal::GetCapturedStdout();
}

TEST(LpcLibraryDefTest, OneTypeNamedExactlyWithItsAddressSet)
{
    EXPECT_EQ(1u, LPC::LibraryDef::numOfPresetType());
    EXPECT_STREQ("3DRev", LPC::LibraryDef::presetTypeStr(0));
    EXPECT_STREQ("", LPC::LibraryDef::presetTypeStr(1));
    struct Case {
        const char* text;
        uint32_t index;
    };
    const Case cases[] = {{"3DRev", 0},           {"3DRev ", 0xFFFFFFFFu}, {"3DRe", 0xFFFFFFFFu},
                          {"3drev", 0xFFFFFFFFu}, {"", 0xFFFFFFFFu},       {nullptr, 0xFFFFFFFFu}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(c.index, LPC::LibraryDef::presetTypeEnum(c.text));
    }
    EXPECT_EQ(0u, LPC::LibraryDef::getAccessor(1).getNum());
    EXPECT_EQ(0u, LPC::LibraryDef::getAccessor(1).getParamNum());
}

class PresetListTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        ASSERT_EQ(0u, m_list.initialize(0, 0, presetFolder().c_str()));
    }

    std::string presetFolder() const { return m_user.file("Preset"); }
    std::string typeFolder() const { return presetFolder() + "/3DRev"; }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(typeFolder())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    static int32_t setup(const char* address, uint32_t x = 0)
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZSETUP, address, x, 0, value))) << address;
        return value.toInt32();
    }
    static void setSetup(const char* address, int32_t value, uint32_t x = 0)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParam(CATEGORY_PDBTYPE_UZSETUP, address, x, 0, JVariant(value), 255)));
    }
    static std::string text(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t slot)
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(category, address, slot, 0, value))) << address;
        return value.toString() ? value.toString() : "<none>";
    }
    static void setText(LPC::CATEGORY_OF_PDBTYPE category, const char* address, uint32_t slot, const std::string& value)
    {
        ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParamT<const char*>(category, address, slot, 0, value.c_str())));
    }
    static std::string fileOf(uint32_t slot) { return text(CATEGORY_PDBTYPE_UZPRESETLIST, kFileName, slot); }
    static std::string titleOf(uint32_t slot) { return text(CATEGORY_PDBTYPE_UZPRESETSTATUS, kTitle, slot); }
    static uint32_t protectOf(uint32_t slot)
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZPRESETSTATUS, kProtect, slot, 0, value)));
        return value.toUInt32();
    }
    static uint32_t current()
    {
        JVariant value;
        EXPECT_TRUE(JLIB::isSuccess(LPC::pdb_getParam(CATEGORY_PDBTYPE_UZCURRENT, "/3DRev/Preset", 0, 0, value)));
        return value.toUInt32();
    }
    void store(uint32_t number, const char* title = "t")
    {
        ASSERT_EQ(0u, m_list.store("3DRev", number, title, false)) << number;
    }
    // The protect mark and type kept inside a preset file.
    std::string infoInFile(const std::string& name, const char* address)
    {
        PDB::PresetData preset;
        EXPECT_EQ(0u, preset.initialize("MUR-UZ", 0, 0, "3DRev", PDB::PresetContentsList(), typeFolder().c_str()));
        if (preset.load(name.c_str()) != 0) return "<unreadable>";
        PDB::IParameterDB& info = preset.presetInfo();
        JVariant value;
        (void)info.getVariant(value, info.getAddressId(PDB::UniqId(0), address), 0, 0, nullptr);
        if (value.toString()) return value.toString();
        return std::to_string(value.toUInt32());
    }

    TempFolder m_user;
    LpcTest::ShippedDatabases m_databases;
    LPC::PresetList m_list;  // after the databases: gone before them
};

TEST_F(PresetListTest, TheAddressSetResolvesAndInitializeMakesTheTypeFolder)
{
    const LPC::PresetPDBAddressIds& ids = LPC::LibraryDef::getAccessor(0);
    EXPECT_EQ(23u, ids.getNum());
    EXPECT_EQ(20u, ids.getParamNum());
    for (uint32_t k = 0; k < 23; ++k) EXPECT_EQ(0u, LPC::pdb_addressCheck(ids.addressId(k))) << k;
    EXPECT_STREQ("/PresetList/3DRev/Info/FileName", ids.addressId(22).strAddress());
    EXPECT_EQ(nullptr, ids.addressId(23).strAddress());
    EXPECT_TRUE(std::filesystem::is_directory(typeFolder()));
    EXPECT_EQ(typeFolder(), m_list.typeFolder());
    EXPECT_EQ(kFailed, LPC::PresetList().initialize(0, 0, nullptr));
}

TEST_F(PresetListTest, StoreMakesAFileRecallBringsTheReverbBackAndAnOverwriteKeepsTheFile)
{
    setSetup(kDecay, 120);
    setSetup(kPeqG, -600, 4);
    store(5, "Hall");
    const std::vector<std::string> made = files();
    ASSERT_EQ(1u, made.size());
    EXPECT_TRUE(std::regex_match(made[0], std::regex("[0-9A-F]{32}\\.vexap"))) << made[0];
    EXPECT_EQ(made[0], fileOf(4));
    EXPECT_EQ("Hall", titleOf(4));
    EXPECT_EQ("0", infoInFile(made[0], "/Info/Protect"));
    EXPECT_EQ("3DRev", infoInFile(made[0], "/Info/PresetType"));

    setSetup(kDecay, 900);
    setSetup(kPeqG, 0, 4);
    ASSERT_EQ(0u, m_list.recall("3DRev", 5, false));
    EXPECT_EQ(120, setup(kDecay));
    EXPECT_EQ(-600, setup(kPeqG, 4));
    EXPECT_EQ(5u, current());
    EXPECT_FALSE(m_databases.lock().isHeldByCaller());

    setSetup(kDecay, 700);
    store(5, "Hall 2");
    EXPECT_EQ(made, files());
    EXPECT_EQ("Hall 2", titleOf(4));
    setSetup(kDecay, 1);
    ASSERT_EQ(0u, m_list.recall("3DRev", 5, false));
    EXPECT_EQ(700, setup(kDecay));
}

TEST_F(PresetListTest, NumbersOutsideOneTo128AndOtherTypesAreRefusedWithTheirLines)
{
    struct Case {
        std::function<JLIB::JResult()> call;
        std::string line;
    };
    const Case cases[] = {
        {[&] { return m_list.store("3DRev", 0, "t", false); }, "[UZ] ... error invalid presetNo [3DRev][0]\n"},
        {[&] { return m_list.store("3DRev", 129, "t", false); }, "[UZ] ... error invalid presetNo [3DRev][129]\n"},
        {[&] { return m_list.recall("3DRev", 0, false); }, "[UZ] ... error no preset [3DRev][0]\n"},
        {[&] { return m_list.recall("3DRev", 129, false); }, "[UZ] ... error no preset [3DRev][129]\n"},
        {[&] { return m_list.recall("3DRev", 7, false); }, "[UZ] ... error no preset [3DRev][7]\n"},
        {[&] { return m_list.remove("3DRev", 129, false); }, "[UZ] ... error no preset [3DRev][129]\n"},
        {[&] { return m_list.setProtect("3DRev", 0, 1, false); }, "[UZ] ... error no preset [3DRev][0]\n"},
        {[&] { return m_list.store("3DRev ", 1, "t", false); }, "[UZ] ... error invalid PresetType [3DRev ][1]\n"},
        {[&] { return m_list.recall("Other", 1, false); }, "[UZ] ... error invalid PresetType [Other][1]\n"},
        {[&] { return m_list.store(nullptr, 1, "t", false); }, ""},
        {[&] { return m_list.remove(nullptr, 1, false); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(JLIB::isFailure(c.call()));
        EXPECT_EQ(c.line, captured());
    }
    EXPECT_TRUE(files().empty());
    // 128 is the last number.
    store(128);
    EXPECT_EQ(1u, files().size());
}

TEST_F(PresetListTest, AProtectedPresetRefusesStoreAndRemoveAndTheMarkIsInItsFile)
{
    store(1, "a");
    const std::string name = fileOf(0);
    ASSERT_EQ(0u, m_list.setProtect("3DRev", 1, 1, false));
    EXPECT_EQ(1u, protectOf(0));
    EXPECT_EQ("1", infoInFile(name, "/Info/Protect"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.store("3DRev", 1, "b", false));
    EXPECT_EQ(kFailed, m_list.remove("3DRev", 1, false));
    EXPECT_EQ("[UZ] ... error can't update, Preset is protected\n[UZ] ... error can't delete, Preset is protected\n",
              captured());
    EXPECT_EQ("a", titleOf(0));
    EXPECT_TRUE(std::filesystem::exists(typeFolder() + "/" + name));

    ASSERT_EQ(0u, m_list.setProtect("3DRev", 1, 0, false));
    EXPECT_EQ("0", infoInFile(name, "/Info/Protect"));
    ASSERT_EQ(0u, m_list.recall("3DRev", 1, false));
    ASSERT_EQ(0u, m_list.remove("3DRev", 1, false));
    EXPECT_TRUE(files().empty());
    EXPECT_EQ("", fileOf(0));
    EXPECT_EQ("", titleOf(0));
    EXPECT_EQ(1u, current());  // the removed preset stays named
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.recall("3DRev", 1, false));
    EXPECT_EQ("[UZ] ... error no preset [3DRev][1]\n", captured());
}

TEST_F(PresetListTest, RefreshCopiesFileInformationAndSkipsOtherTypesAndMissingFiles)
{
    store(1, "one");
    store(2, "two");
    ASSERT_EQ(0u, m_list.setProtect("3DRev", 2, 1, false));
    // A preset file of another type, listed in slot 2.
    PDB::PresetData other;
    PDB::PresetContentsList contents;
    ASSERT_EQ(0u, contents.addParameterArray(LPC::LibraryDef::getAccessor(0).addressId(0)));
    ASSERT_EQ(0u, other.initialize("MUR-UZ", 0, 0, "Other", contents, typeFolder().c_str()));
    ASSERT_EQ(0u, other.store(other.presetInfo()));
    ASSERT_EQ(0u, other.saveAs("OTHER.vexap"));
    setText(CATEGORY_PDBTYPE_UZPRESETLIST, kFileName, 2, "OTHER.vexap");
    setText(CATEGORY_PDBTYPE_UZPRESETSTATUS, kTitle, 2, "kept");
    setText(CATEGORY_PDBTYPE_UZPRESETLIST, kFileName, 3, "MISSING.vexap");
    setText(CATEGORY_PDBTYPE_UZPRESETSTATUS, kTitle, 3, "kept too");
    setText(CATEGORY_PDBTYPE_UZPRESETSTATUS, kTitle, 0, "stale");
    ASSERT_TRUE(JLIB::isSuccess(LPC::pdb_setParamT<unsigned int>(CATEGORY_PDBTYPE_UZPRESETSTATUS, kProtect, 1, 0, 0)));

    testing::internal::CaptureStdout();
    (void)m_list.refreshPresetStatus(true);
    const std::string out = captured();
    EXPECT_NE(std::string::npos, out.find("Load Preset[0] Type[3DRev] File[" + fileOf(0) + "]\n"));
    EXPECT_NE(std::string::npos, out.find("\t\"/PresetStatus/3DRev/Info/Title\" [one] (0x0)\n"));
    EXPECT_EQ(std::string::npos, out.find("OTHER"));
    EXPECT_EQ("one", titleOf(0));
    EXPECT_EQ(1u, protectOf(1));
    EXPECT_EQ("kept", titleOf(2));
    EXPECT_EQ("kept too", titleOf(3));
    // The other type is not recalled either, and says nothing.
    testing::internal::CaptureStdout();
    EXPECT_EQ(kFailed, m_list.recall("3DRev", 3, false));
    EXPECT_EQ("", captured());
    // The foreign file's single array does not narrow the next store.
    store(5);
    PDB::PresetData stored;
    ASSERT_EQ(0u, stored.initialize("MUR-UZ", 0, 0, "3DRev", PDB::PresetContentsList(), typeFolder().c_str()));
    ASSERT_EQ(0u, stored.load(fileOf(4).c_str()));
    EXPECT_EQ(20u, stored.contents().num());
}

// The list can be written by the editor and by a synchronised device: a name that would leave
// the type folder is no preset.
TEST_F(PresetListTest, AListedFileNameOutsideTheTypeFolderIsNeverLoadedSavedOverOrRemoved)
{
    store(1, "inside");
    const std::string victim = presetFolder() + "/victim.vexap";
    std::filesystem::copy_file(typeFolder() + "/" + fileOf(0), victim);
    const std::string bytes = m_user.read("Preset/victim.vexap");
    for (const char* name : {"../victim.vexap", "a/b.vexap", "a\\b.vexap", "..", "."}) {
        SCOPED_TRACE(name);
        setText(CATEGORY_PDBTYPE_UZPRESETLIST, kFileName, 9, name);
        setText(CATEGORY_PDBTYPE_UZPRESETSTATUS, kTitle, 9, "status");
        testing::internal::CaptureStdout();
        EXPECT_EQ(kFailed, m_list.recall("3DRev", 10, false));
        EXPECT_EQ(kFailed, m_list.remove("3DRev", 10, false));
        EXPECT_EQ(kFailed, m_list.setProtect("3DRev", 10, 1, false));
        const std::string out = captured();
        EXPECT_EQ(std::string("[UZ] ... error no preset [3DRev][10]\n") + "[UZ] ... error no preset [3DRev][10]\n" +
                      "[UZ] ... error no preset [3DRev][10]\n",
                  out);
        (void)m_list.refresh();
        EXPECT_EQ("status", titleOf(9));
        EXPECT_EQ(bytes, m_user.read("Preset/victim.vexap"));
    }
    // A store takes the slot with a fresh file of the type folder.
    store(10, "fresh");
    EXPECT_TRUE(std::regex_match(fileOf(9), std::regex("[0-9A-F]{32}\\.vexap")));
    EXPECT_EQ(2u, files().size());
    EXPECT_EQ(bytes, m_user.read("Preset/victim.vexap"));
}

TEST_F(PresetListTest, LogLinesComeOnlyWithLog)
{
    testing::internal::CaptureStdout();
    store(3, "x");
    EXPECT_EQ("", captured());
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, m_list.store("3DRev", 3, "y", true));
    ASSERT_EQ(0u, m_list.recall("3DRev", 3, true));
    ASSERT_EQ(0u, m_list.setProtect("3DRev", 3, 0, true));
    ASSERT_EQ(0u, m_list.remove("3DRev", 3, true));
    const std::string name = files().empty() ? std::string() : files()[0];
    const std::string out = captured();
    EXPECT_TRUE(
        std::regex_match(out, std::regex("\\[UZ\\] PresetStore \\[3DRev\\]\\[3\\] \\[y\\]\n"
                                         "\\[UZ\\] Preset stored to \\[2\\] filename \\[([0-9A-F]{32}\\.vexap)\\] "
                                         "errcode\\(0x00000000\\)\n"
                                         "\\[UZ\\] PresetRecall \\[3DRev\\]\\[3\\]\n"
                                         "\\[UZ\\] recall file \\[\\1\\]\n"
                                         "\\[UZ\\] PresetProtect \\[3DRev\\]\\[3\\] \\[0\\]\n"
                                         "\\[UZ\\] PresetRemove\\(deletePreset\\) \\[3DRev\\]\\[3\\]\n"
                                         "\\[UZ\\] remove file \\[\\1\\]\n")))
        << out;
}

}  // namespace
