// The device-control thread inside the real engine program, run as a process with a work folder
// and a device identifier in a temporary folder.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "main/app/editor/EngineProcess.h"

namespace {

using namespace std::chrono_literals;
using EngineTest::EngineProcess;

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly
const char* const kReady = "KavoriDeviceControlThread::refresh leave\n";
const char* const kNoFile = "[E] OPVBackupFunc::restore - Cannot restore memories from backup file[";
const char* const kRestored = "[i] OPVBackupFunc::restore - Memories were restored from backup file[";
const char* const kBackups[][2] = {{"Current", "CurrentBackupFile.bup"},
                                   {"CurrentList", "CurrentListBackupFile.bup"},
                                   {"CurrentUnloadable", "CurrentUnloadableBackupFile.bup"},
                                   {"System", "SystemBackupFile.bup"}};

class KavoriDeviceControlProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_program = EngineProcess::install(m_folder.path(), true);
        std::filesystem::create_directories(m_folder.file("work"));
    }
    std::string device() const { return m_folder.file("work/dev01"); }
    std::string backup(const char* folder, const char* name, const char* suffix = "") const
    {
        return device() + "/" + folder + "/" + name + suffix;
    }
    // Runs the engine until its memories are restored, ends it with SIGTERM; its output.
    std::string runOnce()
    {
        EngineProcess engine;
        EXPECT_TRUE(engine.start(m_program, {"uid=dev01", "work=" + m_folder.file("work")}));
        EXPECT_TRUE(engine.waitForOutput(kReady, kLimit)) << engine.output();
        EXPECT_TRUE(engine.signal(SIGTERM));
        EXPECT_EQ(0, engine.waitForExit(kLimit));
        return engine.output();
    }
    static size_t count(const std::string& text, const std::string& line)
    {
        size_t n = 0;
        for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
        return n;
    }

    TempFolder m_folder;
    std::string m_program;
};

TEST_F(KavoriDeviceControlProgramTest, BackupsAreWrittenOnTheFirstRunAndRestoredOnTheNext)
{
    std::string out = runOnce();
    EXPECT_EQ(4u, count(out, kNoFile)) << out;
    EXPECT_EQ(0u, count(out, "Cannot read '")) << out;
    EXPECT_EQ(1u, count(out, "[i] \"" + device() + "/Backup\" directory force created\n")) << out;
    for (const auto& b : kBackups) {
        SCOPED_TRACE(b[1]);
        EXPECT_TRUE(std::filesystem::is_regular_file(backup(b[0], b[1])));
        EXPECT_TRUE(std::filesystem::is_regular_file(backup(b[0], b[1], ".old")));
        // Written twice at the end as well.
        EXPECT_LE(2u, count(out, std::string("[i] OPVBackupFunc::backup - memory backuped. [") + b[1] + "]\n"));
    }

    out = runOnce();
    EXPECT_EQ(0u, count(out, kNoFile)) << out;
    for (const auto& b : kBackups) {
        // The construct step restores all four, the refresh the first two once more.
        const bool twice = std::string(b[0]) == "Current" || std::string(b[0]) == "CurrentList";
        EXPECT_EQ(twice ? 2u : 1u, count(out, std::string(kRestored) + b[1] + "].\n")) << b[1];
    }
}

TEST_F(KavoriDeviceControlProgramTest, DamagedBackupsFallBackToTheOldCopyOrAreKeptAside)
{
    (void)runOnce();
    // The current backup damaged with a good old copy; the system backup and its copy both damaged.
    m_folder.write("work/dev01/Current/CurrentBackupFile.bup", "torn at power-off");
    m_folder.write("work/dev01/System/SystemBackupFile.bup", "torn");
    m_folder.write("work/dev01/System/SystemBackupFile.bup.old", "torn too");

    const std::string out = runOnce();
    EXPECT_EQ(1u, count(out, "[i] OPVBackupFunc::restore - Backup file was corruped when previous power-off. "
                             "Memories were restored from old backup file[CurrentBackupFile.bup.old].\n"))
        << out;
    EXPECT_EQ(1u, count(out, "[E] OPVBackupFunc::restore - Cannot restore memories from backup "
                             "file[SystemBackupFile.bup.old].\n"))
        << out;
    EXPECT_EQ("torn", m_folder.read("work/dev01/System/SystemBackupFile.bup.damaged"));
    EXPECT_FALSE(std::filesystem::exists(backup("Current", "CurrentBackupFile.bup", ".damaged")));
    EXPECT_EQ(0u, count(out, "\n[E] ") - count(out, "\n[E] OPVBackupFunc::restore - Cannot restore")) << out;
}

TEST_F(KavoriDeviceControlProgramTest, AMissingDefinitionFileIsNamed)
{
    ASSERT_TRUE(std::filesystem::remove(m_folder.file("Descriptor/uzSetup_1.json")));
    const std::string out = runOnce();
    EXPECT_EQ(1u, count(out, "[E] KavoriDeviceControlThread::onInitialize - Cannot read '")) << out;
    EXPECT_EQ(1u, count(out, "/Descriptor/uzSetup_1.json'.\n")) << out;
}

}  // namespace
