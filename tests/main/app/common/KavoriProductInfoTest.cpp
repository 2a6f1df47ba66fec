#include "common/KavoriProductInfo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"
#include "common/KavoriResourcePath.h"

using KAVORI::KavoriProductInfo;

namespace {

// The settings file is looked up beside the program, below a root folder when one is given: a
// temporary root lets each test hand the reader a file of its own.
class KavoriProductInfoTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_root.path().empty());
        m_settings = m_root.path() + "/" + KAVORI::resourcePath("./SystemSetting.ini");
        std::filesystem::create_directories(std::filesystem::path(m_settings).parent_path());
    }

    void writeSettings(const std::string& content) const { std::ofstream(m_settings, std::ios::binary) << content; }

    static std::string captured()
    {
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    TMS::TMSystem m_system;  // the lock "ProductInfo" needs the framework
    TempFolder m_root;
    std::string m_settings;
};

size_t countLines(const std::string& text, const std::string& line)
{
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + line.size())) ++count;
    return count;
}

// What a reader without any key sees.
void expectDefaults(const KavoriProductInfo& info)
{
    EXPECT_EQ(".", info.systemDataPath());
    EXPECT_EQ(".", info.staticDataPath());
    EXPECT_EQ("./userdata", info.dataPath(KAVORI::kDataDirUser, false));
    EXPECT_EQ("./userdata/System", info.dataPath(KAVORI::kDataDirSystem, false));
    EXPECT_EQ("./FactoryPreset", info.dataPath(KAVORI::kDataDirUser, true));
    EXPECT_EQ("./FactoryPreset/Current", info.dataPath(KAVORI::kDataDirCurrent, true));
    EXPECT_EQ("./Descriptor", info.descriptorPath());
    EXPECT_EQ("./Component", info.configComponentPath());
    EXPECT_EQ("./Font", info.fontPath());
    EXPECT_EQ("./Opening", info.openingContentsPath());
    EXPECT_EQ("./Help", info.helpContentsPath());
    EXPECT_EQ("./Firmware", info.firmwarePath());
    EXPECT_EQ("./storage", info.storagePath());
    EXPECT_EQ("", info.dataPath(10, false));
    EXPECT_EQ("eth0", info.etherPort());
    EXPECT_EQ(0u, info.applicationType());
    EXPECT_EQ(0u, info.huiControlMode());
    EXPECT_EQ(0u, info.huiPort());
    EXPECT_EQ(115200u, info.huiBaudRate());
    EXPECT_EQ(1u, info.DIOPort());
    EXPECT_EQ(115200u, info.DIOBaudRate());
    EXPECT_EQ(1u, info.ExtCtrlPort());
    EXPECT_EQ(115200u, info.ExtCtrlBaudRate());
    EXPECT_EQ(2u, info.debugOutputLevel());
    EXPECT_FALSE(info.useMMSExplorer());
    EXPECT_FALSE(info.useDebugConsole());
    EXPECT_FALSE(info.isStartupDiag());
    EXPECT_FALSE(info.useCpuLoad());
    EXPECT_EQ(1u, info.productType(KAVORI::kProductTypeCurrent));
    EXPECT_EQ(1u, info.productType(KAVORI::kProductTypeStored));
    EXPECT_EQ(0u, info.productType(KAVORI::kProductTypeSuggestion));
    EXPECT_EQ("Vexalume", info.productName(KAVORI::kProductTypeCurrent));
    EXPECT_EQ("---", info.productName(KAVORI::kProductTypeSuggestion));
    EXPECT_EQ("02", info.sheetVersionString());
    std::string text;
    EXPECT_EQ(0u, info.versionString(KAVORI::kVersionProgram, text));
    EXPECT_EQ("R0.00", text);
    EXPECT_EQ(0u, info.versionString(KAVORI::kVersionBootLoader, text));
    EXPECT_EQ("V0.00", text);
    EXPECT_EQ(0u, info.versionString(KAVORI::kVersionKernel, text));
    EXPECT_EQ("V0.00", text);
    EXPECT_EQ(0x80000000u, info.versionString(8, text));
    EXPECT_EQ("------", text);
    EXPECT_EQ(0x80000000u, info.versionString(23, text));
    EXPECT_EQ("ERROR!", text);
}

}  // namespace

TEST_F(KavoriProductInfoTest, MissingSettingsFileIsCreatedAndEveryKeyTakesItsDefault)
{
    KavoriProductInfo info;
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, info.initialize(m_root.path()));
    EXPECT_EQ("", captured());
    EXPECT_TRUE(std::filesystem::is_regular_file(m_settings));
    expectDefaults(info);
    EXPECT_EQ(0x80000000u, info.initialize(m_root.path()));  // a second set-up reads nothing
}

TEST_F(KavoriProductInfoTest, UnreadableSettingsFileIsLoggedAndEveryKeyTakesItsDefault)
{
    // What was decoded before the fault (the user folder here) is not kept either.
    const std::string cases[] = {"[Setting]\nUserDataPath = /elsewhere\nSystemDataPath = /\n[S]x\n", "directory"};
    for (const std::string& content : cases) {
        SCOPED_TRACE(content);
        std::filesystem::remove_all(m_settings);
        if (content == "directory") {
            std::filesystem::create_directories(m_settings);
        } else {
            writeSettings(content);
        }
        KavoriProductInfo info;
        testing::internal::CaptureStdout();
        EXPECT_EQ(0u, info.initialize(m_root.path()));
        EXPECT_EQ(0x80000000u, info.load(m_root.path()));
        EXPECT_EQ(2u, countLines(captured(), "[E] KavoriProductInfo::load() - Cannot load \"SystemSetting.ini\".\n"));
        expectDefaults(info);
    }
}

TEST_F(KavoriProductInfoTest, ReadsTheKeysOfBothSections)
{
    writeSettings(
        "[ProductInfo]\nApplicationType = editor\n"
        "[Setting]\nSystemDataPath = /opt/uz\nUserDataPath = /data/user/\nFirmwarePath = ./fw/\nStoragePath = st\n"
        "UseHUI = TRUE\nHUIPort = 7\nHUIBaudRate = fast\nDIOPort = x\nDIOBaudRate = 9600\nExtCtrlPort = 3abc\n"
        "EtherPort = en1\nUseMMSExplorer = true\nUseDebugConsole = On\nStartupDiag = no\nUseCpuLoad = 1\n");
    KavoriProductInfo info;
    ASSERT_EQ(0u, info.initialize(m_root.path()));
    EXPECT_EQ(3u, info.applicationType());
    EXPECT_EQ("/opt/uz", info.systemDataPath());
    EXPECT_EQ("/opt/uz/Descriptor", info.descriptorPath());
    EXPECT_EQ("/opt/uz/FactoryPreset/Editor", info.dataPath(KAVORI::kDataDirEditor, true));
    EXPECT_EQ("/data/user", info.dataPath(KAVORI::kDataDirUser, false));
    EXPECT_EQ("/data/user/Config", info.dataPath(KAVORI::kDataDirConfig, false));
    EXPECT_EQ("./fw", info.firmwarePath());
    EXPECT_EQ("st", info.storagePath());
    EXPECT_EQ(2u, info.huiControlMode());
    EXPECT_EQ(7u, info.huiPort());
    EXPECT_EQ(115200u, info.huiBaudRate());
    EXPECT_EQ(0u, info.DIOPort());
    EXPECT_EQ(9600u, info.DIOBaudRate());
    EXPECT_EQ(3u, info.ExtCtrlPort());
    EXPECT_EQ("en1", info.etherPort());
    EXPECT_TRUE(info.useMMSExplorer());
    EXPECT_TRUE(info.useDebugConsole());
    EXPECT_FALSE(info.isStartupDiag());
    EXPECT_TRUE(info.useCpuLoad());
}

TEST_F(KavoriProductInfoTest, ReadsDebugOutputLevelAndHeadAmpModeWords)
{
    struct Case {
        const char* applicationType;
        const char* useHUI;
        const char* level;
        uint32_t applicationCode;
        uint32_t mode;
        uint32_t levelCode;
    };
    const Case cases[] = {
        {"FIRMWARE", "true", "0", 1, 1, 0},   {"firmware", "1", "off", 1, 1, 0},
        {"EDITOR", "True", "on", 3, 2, 1},    {"Fader_IQC", "ON", "ErrorOnly", 2, 2, 1},
        {"other", "on", "1", 0, 2, 1},        {"FIRMWARE", "yes", "all", 1, 0, 2},
        {"FIRMWARE", "0", "2", 1, 0, 2},      {"EDITOR", "false", "verbose", 3, 0, 2},
    };
    KavoriProductInfo info;
    ASSERT_EQ(0u, info.initialize(m_root.path()));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.applicationType) + " " + c.useHUI + " " + c.level);
        writeSettings(std::string("[ProductInfo]\nApplicationType = ") + c.applicationType +
                      "\n[Setting]\nUseHUI = " + c.useHUI + "\nDebugOutputLevel = " + c.level + "\n");
        ASSERT_EQ(0u, info.load(m_root.path()));
        EXPECT_EQ(c.applicationCode, info.applicationType());
        EXPECT_EQ(c.mode, info.huiControlMode());
        EXPECT_EQ(c.levelCode, info.debugOutputLevel());
    }
}

TEST_F(KavoriProductInfoTest, WorkFolderAndDeviceReRootTheFolders)
{
    KavoriProductInfo info;
    ASSERT_EQ(0u, info.initialize(m_root.path()));
    info.setSystemDataPath("");
    info.setUserFolder("/w/dev01");
    EXPECT_EQ("/w/dev01", info.dataPath(KAVORI::kDataDirUser, false));
    EXPECT_EQ("/w/dev01/Snapshot", info.dataPath(KAVORI::kDataDirSnapshot, false));
    EXPECT_EQ("/Descriptor", info.descriptorPath());
    EXPECT_EQ("/FactoryPreset/Current", info.dataPath(KAVORI::kDataDirCurrent, true));
    info.setSystemDataPath("/opt/prog");
    EXPECT_EQ("/opt/prog/Descriptor", info.descriptorPath());
    EXPECT_EQ("/opt/prog/FactoryPreset/DCP", info.dataPath(KAVORI::kDataDirDCP, true));
}

TEST_F(KavoriProductInfoTest, FinalizeRemovesTheUserFolderOnlyForEndStatusOne)
{
    for (const uint32_t endStatus : {0u, 2u, 1u}) {
        SCOPED_TRACE(endStatus);
        const std::string user = m_root.file("work/dev01");
        std::filesystem::create_directories(user + "/Snapshot");
        std::ofstream(user + "/Snapshot/scene.vexas") << "scene";
        KavoriProductInfo info;
        ASSERT_EQ(0u, info.initialize(m_root.path()));
        info.setUserFolder(user);
        EXPECT_EQ(0u, info.finalize(endStatus));
        EXPECT_EQ(endStatus != 1, std::filesystem::exists(user + "/Snapshot/scene.vexas"));
        EXPECT_TRUE(std::filesystem::exists(m_root.file("work")));
        EXPECT_EQ(0u, info.initialize(m_root.path()));  // the lock went with finalize
    }
}

TEST_F(KavoriProductInfoTest, ProductTypeAndDebugLevelArePersistedWhereAsked)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(m_root.path());
    KavoriProductInfo info;
    ASSERT_EQ(0u, info.initialize(m_root.path()));
    EXPECT_EQ(0x80000000u, info.setProductType(2, false));
    EXPECT_EQ(0x80000000u, info.setProductTypeSuggestion(2));
    EXPECT_EQ(0u, info.setProductTypeSuggestion(1));
    EXPECT_EQ("Vexalume", info.productName(KAVORI::kProductTypeSuggestion));
    EXPECT_EQ("Vexalume", info.productName(7));  // any other mode: the current type

    EXPECT_EQ(0u, info.setProductType(0, true));
    EXPECT_EQ("---", info.productName(KAVORI::kProductTypeCurrent));
    EXPECT_EQ(0u, info.productType(KAVORI::kProductTypeStored));
    EXPECT_FALSE(std::filesystem::exists("OPV-D.model"));
    EXPECT_EQ(0u, info.setProductType(1, true));
    EXPECT_EQ(1u, info.productType(KAVORI::kProductTypeStored));
    EXPECT_EQ("Vexalume", m_root.read("OPV-D.model"));
    EXPECT_EQ(0u, info.setProductType(0, true));
    EXPECT_FALSE(std::filesystem::exists("OPV-D.model"));

    EXPECT_EQ(0u, info.setDebugOutputLevel(1));
    EXPECT_EQ(1u, info.debugOutputLevel());
    KavoriProductInfo again;
    ASSERT_EQ(0u, again.initialize(m_root.path()));
    EXPECT_EQ(1u, again.debugOutputLevel());
    std::filesystem::current_path(previous);
}
