#include "common/Lpc/LpcThreadCommon.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"

using LPC::LpcThreadCommon;

namespace {

// The settings are read from the working folder: each test works in a fresh one.
class LpcThreadCommonTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }

    void writeSettings(const std::string& content) const { m_folder.write("SystemSetting.ini", content); }

    TMS::TMSystem m_system;  // the lock "LpcThreadCommon" needs the framework
    TempFolder m_folder;
    std::filesystem::path m_previous;
};

void expectDefaults(const LpcThreadCommon& settings)
{
    EXPECT_EQ("localhost", settings.murServerAddress());
    EXPECT_EQ("eth0", settings.etherInterfaceName());
    EXPECT_EQ(0u, settings.oscTxPort());
    EXPECT_EQ(49900u, settings.oscRxPort());
    EXPECT_EQ(".", settings.dataPath());
    EXPECT_FALSE(settings.IsSyncFromPlugin());
    EXPECT_FALSE(settings.debugOutLink());
    EXPECT_FALSE(settings.emitAllJOSCNotify());
    EXPECT_EQ(128u, settings.obaNum());
    EXPECT_FALSE(settings.JOSCWritable());
}

}  // namespace

TEST_F(LpcThreadCommonTest, AKeyMissingFromTheFileTakesItsDefault)
{
    writeSettings("[Setting]\nOSCRxPort = 50000\n");
    LpcThreadCommon settings;
    ASSERT_EQ(0u, settings.initialize());
    EXPECT_EQ(50000u, settings.oscRxPort());
    EXPECT_EQ(0u, settings.oscTxPort());
    EXPECT_EQ(128u, settings.obaNum());
    EXPECT_EQ("localhost", settings.murServerAddress());
    EXPECT_FALSE(settings.IsSyncFromPlugin());
    EXPECT_FALSE(settings.JOSCWritable());
}

TEST_F(LpcThreadCommonTest, MissingOrUnreadableFileGivesEveryDefault)
{
    // Before the mend such a file left the receive port and the object count at 0.
    struct Case {
        const char* label;
        const char* content;  // null: no file; "/": a folder of that name
    };
    const Case cases[] = {
        {"no file", nullptr},
        {"a folder", "/"},
        {"malformed after good keys", "[Setting]\nOSCRxPort = 1\nOBANum = 2\n[S]x\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all("SystemSetting.ini");
        if (c.content && std::string(c.content) == "/") {
            std::filesystem::create_directory("SystemSetting.ini");
        } else if (c.content) {
            writeSettings(c.content);
        }
        LpcThreadCommon settings;
        ASSERT_EQ(0u, settings.initialize());
        expectDefaults(settings);
        if (!c.content) {
            EXPECT_FALSE(std::filesystem::exists("SystemSetting.ini"));  // nothing is made here
        }
    }
}

TEST_F(LpcThreadCommonTest, FlagsAreOnlyOneOrLowerCaseOn)
{
    struct Case {
        const char* text;
        bool on;
    };
    const Case cases[] = {{"1", true}, {"on", true}, {"ON", false}, {"true", false}, {"On", false},
                          {"0", false}, {"01", false}, {"yes", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string value = c.text;
        writeSettings("[Setting]\nSyncFromPlugin = " + value + "\nDebugOutLink = " + value +
                      "\nEmitAllJOSCNotify = " + value + "\nJOSCWritable = " + value + "\n");
        LpcThreadCommon settings;
        ASSERT_EQ(0u, settings.initialize());
        EXPECT_EQ(c.on, settings.IsSyncFromPlugin());
        EXPECT_EQ(c.on, settings.debugOutLink());
        EXPECT_EQ(c.on, settings.emitAllJOSCNotify());
        EXPECT_EQ(c.on, settings.JOSCWritable());
    }
}

TEST_F(LpcThreadCommonTest, NumbersAndTextsAreReadAsWritten)
{
    struct Case {
        const char* text;
        uint32_t value;
    };
    const Case cases[] = {{"64abc", 64}, {"abc", 0}, {"+12", 12}, {"-1", 0xFFFFFFFFu}, {"99999999999", 0xFFFFFFFFu}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeSettings(std::string("[Setting]\nOBANum = ") + c.text + "\nOSCTxPort = " + c.text +
                      "\nMURServerAddress = rack.local\nEtherPort = en0\nDataPath = /data\n");
        LpcThreadCommon settings;
        ASSERT_EQ(0u, settings.initialize());
        EXPECT_EQ(c.value, settings.obaNum());
        EXPECT_EQ(c.value, settings.oscTxPort());
        EXPECT_EQ("rack.local", settings.murServerAddress());
        EXPECT_EQ("en0", settings.etherInterfaceName());
        EXPECT_EQ("/data", settings.dataPath());
    }
}

TEST_F(LpcThreadCommonTest, SecondInitializeDoesNotReadAgain)
{
    writeSettings("[Setting]\nOBANum = 64\n");
    LpcThreadCommon settings;
    ASSERT_EQ(0u, settings.initialize());
    writeSettings("[Setting]\nOBANum = 32\n");
    EXPECT_EQ(0u, settings.initialize());
    EXPECT_EQ(64u, settings.obaNum());
    EXPECT_EQ(0u, settings.finalize());
    EXPECT_EQ(0u, settings.initialize());  // a fresh lock reads again
    EXPECT_EQ(32u, settings.obaNum());
}

TEST(LpcThreadCommonConversionTest, PresetNumbersAndSceneIndexes)
{
    struct Case {
        int n;
        int index;
    };
    const Case cases[] = {{-5, 1}, {-1, 1}, {0, 1}, {1, 2}, {48, 49}, {49, 50}, {50, 50}, {INT_MAX, 1}, {INT_MIN, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(c.index, LpcThreadCommon::presetNoToSnapshotIndex(c.n));
    }
    EXPECT_EQ(4, LpcThreadCommon::snapshotIndexToPresetNo(5));
    EXPECT_EQ(0, LpcThreadCommon::snapshotIndexToPresetNo(0));
    EXPECT_EQ(0, LpcThreadCommon::snapshotIndexToPresetNo(-3));
    int presetNo = 77;
    EXPECT_EQ(0u, LpcThreadCommon::snapshotIndexToPresetNo(5, &presetNo));
    EXPECT_EQ(4, presetNo);
    presetNo = 77;
    EXPECT_EQ(0x80000000u, LpcThreadCommon::snapshotIndexToPresetNo(0, &presetNo));
    EXPECT_EQ(0, presetNo);
    EXPECT_EQ(0x80000000u, LpcThreadCommon::snapshotIndexToPresetNo(5, nullptr));
}
