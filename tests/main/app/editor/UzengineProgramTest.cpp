// The engine program itself, run as a process in a temporary folder.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "main/app/editor/EngineProcess.h"

using namespace std::chrono_literals;
using EngineTest::EngineProcess;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly
const char* const kRunning = "[i] AbstractThread[System] - onChangeStatus(RUN)\n";
const char* const kLoadError = "[E] KavoriProductInfo::load() - Cannot load \"SystemSetting.ini\".\n";
// Every child is in the build: none is reported missing.
const char* const kChildren[] = {"DebugConsole", "DeviceControl", "VDProtocol", "Sync",
                                 "Compiler", "DeviceControlForUZ", "OSCServer", "MURRemote"};
// A fresh user folder has no memories to restore: the only error lines expected.
const char* const kNoBackupYet = "[E] OPVBackupFunc::restore - Cannot restore memories from backup file[";

std::string missingLine(const std::string& name)
{
    return "[W] KavoriClientSystemThread::onInitialize - '" + name + "' is not in this build, starting without it.\n";
}

std::string uidError(const std::string& uid)
{
    return "[E] mainInternal - The device identifier \"" + uid + "\" names no folder inside";
}

// Runs the program until it runs, then ends it with the signal; its exit code.
std::optional<int> runAndEnd(EngineProcess& engine, const std::string& program, const std::vector<std::string>& args,
                             int signal = SIGTERM)
{
    if (!engine.start(program, args)) return std::nullopt;
    EXPECT_TRUE(engine.waitForOutput(kRunning, kLimit)) << engine.output();
    EXPECT_TRUE(engine.signal(signal));
    return engine.waitForExit(kLimit);
}

}  // namespace

TEST(UzengineProgramTest, ShippedDefaultsStartCleanlyAndEitherSignalEndsLikeClose)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        TempFolder folder;
        const std::string program = EngineProcess::install(folder.path(), true);
        const std::string shipped = folder.read("SystemSetting.ini");
        EngineProcess engine;
        EXPECT_EQ(0, runAndEnd(engine, program, {}, signal));
        const std::string& out = engine.output();
        for (const char* name : kChildren) EXPECT_EQ(0u, engine.count(missingLine(name))) << name;
        // As many as were restored before the signal came, at most one per backup.
        EXPECT_GE(4u, engine.count(kNoBackupYet)) << out;
        EXPECT_EQ(engine.count(kNoBackupYet), engine.count("[E] ")) << out;  // no other error of any kind
        EXPECT_EQ(1u, engine.count("[i] mainInternal - Signal " + std::to_string(signal) + ": closing \"System\".\n"));
        EXPECT_EQ(1u, engine.count("[i] AbstractThread[System] - onReceiveMessage(USER:0)\n"));
        EXPECT_EQ(1u, engine.count("[i] AbstractThread[System] - onFinalize\n"));
        EXPECT_EQ(shipped, folder.read("SystemSetting.ini"));
    }
}

TEST(UzengineProgramTest, MissingSettingsFileIsMadeAndAnUnreadableOneIsReported)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), false);
    {
        EngineProcess engine;
        EXPECT_EQ(0, runAndEnd(engine, program, {}));
        EXPECT_EQ(0u, engine.count(kLoadError)) << engine.output();
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.file("SystemSetting.ini")));
    }
    std::filesystem::remove(folder.file("SystemSetting.ini"));
    std::filesystem::create_directory(folder.file("SystemSetting.ini"));
    {
        EngineProcess engine;
        EXPECT_EQ(0, runAndEnd(engine, program, {}));
        EXPECT_EQ(1u, engine.count(kLoadError)) << engine.output();
    }
}

TEST(UzengineProgramTest, DeviceIdentifierMustNameOneFolderInsideTheWorkFolder)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    const std::string work = folder.file("work");
    std::filesystem::create_directories(work);
    struct Case {
        const char* uid;
        bool refused;
    };
    const Case cases[] = {{"dev01", false}, {"..", true}, {".", true}, {"../work", true}, {"a\\b", true},
                          {"...", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uid);
        EngineProcess engine;
        EXPECT_EQ(0, runAndEnd(engine, program, {"uid=" + std::string(c.uid), "work=" + work, "port=1"}));
        EXPECT_EQ(c.refused ? 1u : 0u, engine.count(uidError(c.uid))) << engine.output();
        EXPECT_TRUE(std::filesystem::exists(work));
    }
}

TEST(UzengineProgramTest, DelayedStartWaitsASecondAndKeepsTheOptionsAfterIt)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    EngineProcess engine;
    ASSERT_TRUE(engine.start(program, {"delayedStart", "uid=..", "work=" + folder.path()}));
    ASSERT_TRUE(engine.waitForOutput(kRunning, kLimit)) << engine.output();
    EXPECT_GE(std::chrono::steady_clock::now() - engine.startedAt(), 1s);
    // A refused identifier shows that the options after the first word were stored.
    EXPECT_EQ(1u, engine.count(uidError(".."))) << engine.output();
    EXPECT_TRUE(engine.signal(SIGTERM));
    EXPECT_EQ(0, engine.waitForExit(kLimit));
}
