// The entry's sequence run in this process around a root whose children are stand-ins: the
// ways a run ends that a real process cannot be driven to yet.
#include "editor/KavoriMain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/ThreadRepository.h"
#include "main/app/editor/StandInThread.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;
using KAVORI::KavoriClientSystemThread;

namespace {

constexpr auto kLimit = 30s;

// A child that, once running, asks for a restart with initialisation as the device logic will:
// the root's end status 1, then its release.
class RestartingChild : public StandIn {
public:
    using StandIn::StandIn;

protected:
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override
    {
        const JLIB::JResult result = StandIn::onChangeStatus(status, arguments);
        if (status == TMS::kStatusRun) {
            TMS::AbstractThread& root = TMS::getThreadByName("System");
            (void)root.setEndStatus(1);
            (void)root.release();  // from inside the tree: returns at once
        }
        return result;
    }
};

class RestartingRoot : public KavoriClientSystemThread {
public:
    RestartingRoot() : m_child(m_journal) { (void)placeChild("VDProtocol", m_child); }
    ~RestartingRoot() override { (void)release(); }  // before the child goes

private:
    Journal m_journal;
    RestartingChild m_child;
};

class NotInitialisingRoot : public KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::initialize;
    JLIB::JResult initialize(const char*, int16_t, uint8_t, uint32_t, uint32_t, uint32_t, uint32_t,
                             const TMS::ArgumentMap&) override
    {
        return 0x80000000u;
    }
};

class NotStartingRoot : public KavoriClientSystemThread {
public:
    JLIB::JResult start(const TMS::ArgumentMap&) override { return 0x80000003u; }
};

class NotDeclaringRoot : public KavoriClientSystemThread {
protected:
    JLIB::JResult declareSystemInfo() override { return 0x80000002u; }
};

// Runs the process steps on a thread of their own so a run that never ends fails the test
// instead of hanging it.
template <class Root>
std::optional<int> runBounded(std::vector<std::string> args)
{
    auto done = std::make_shared<std::promise<int>>();
    std::future<int> result = done->get_future();
    std::thread([done, args]() mutable {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        done->set_value(KAVORI::runProcess<Root>(static_cast<int>(args.size()), argv.data()));
    }).detach();
    if (result.wait_for(kLimit) != std::future_status::ready) {
        ADD_FAILURE() << "the run did not end";
        std::fflush(stdout);
        std::_Exit(1);  // a run still holding the process cannot be taken apart
    }
    return result.get();
}

void writeRestartScript(const std::string& folder)
{
    std::filesystem::create_directories(folder);
    const std::string script = folder + "/restart";
    // Records its argument and whether the user folder was still there when it ran.
    std::ofstream(script) << "#!/bin/sh\n"
                             "dir=$(dirname \"$0\")\n"
                             "if [ -e \"$USER_FOLDER\" ]; then state=present; else state=gone; fi\n"
                             "printf '%s|%s' \"$1\" \"$state\" > \"$dir/record.tmp\"\n"
                             "mv \"$dir/record.tmp\" \"$dir/record\"\n";
    ASSERT_EQ(0, chmod(script.c_str(), 0755));
}

// The settings the root reads lie in the working folder: each test works in a fresh one.
class KavoriMainTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::create_directories(m_temp.file("cwd"));
        std::filesystem::current_path(m_temp.file("cwd"));
    }
    void TearDown() override { std::filesystem::current_path(m_previous); }

    static std::string captured()
    {
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    TempFolder m_temp;
    std::filesystem::path m_previous;
};

}  // namespace

TEST_F(KavoriMainTest, EndStatusOneRemovesTheUserFolderThenRunsTheRestartScript)
{
    const std::string programFolder = m_temp.file("program's dir");
    writeRestartScript(programFolder);
    const std::string user = m_temp.file("work/dev01");
    std::filesystem::create_directories(user + "/Snapshot");
    std::ofstream(user + "/Snapshot/scene.vexas") << "scene";
    ASSERT_EQ(0, setenv("USER_FOLDER", user.c_str(), 1));
    const std::string program = programFolder + "/uzengine";

    EXPECT_EQ(0, runBounded<RestartingRoot>({program, "uid=dev01", "work=" + m_temp.file("work")}));
    EXPECT_FALSE(std::filesystem::exists(user));
    EXPECT_TRUE(std::filesystem::exists(m_temp.file("work")));
    ASSERT_TRUE(TmsTest::waitFor([&] { return std::filesystem::exists(programFolder + "/record"); }, kLimit));
    EXPECT_EQ(program + "|gone", m_temp.read("program's dir/record"));
}

TEST_F(KavoriMainTest, RefusedDeviceIdentifierNeverLetsARestartRemoveTheWorkFolder)
{
    const std::string programFolder = m_temp.file("program");
    const std::string work = m_temp.file("work");
    std::filesystem::create_directories(work + "/dev01");
    m_temp.write("keep", "keep");
    for (const char* uid : {"..", ".", "../work", "dev01/.."}) {
        SCOPED_TRACE(uid);
        std::filesystem::remove(programFolder + "/record");
        writeRestartScript(programFolder);
        testing::internal::CaptureStdout();
        const std::optional<int> result =
            runBounded<RestartingRoot>({programFolder + "/uzengine", std::string("uid=") + uid, "work=" + work});
        const std::string out = captured();
        EXPECT_EQ(0, result);
        EXPECT_NE(std::string::npos, out.find("[E] mainInternal - The device identifier \"" + std::string(uid) +
                                              "\" names no folder inside \"" + work + "\""))
            << out;
        EXPECT_TRUE(std::filesystem::exists(work + "/dev01"));
        EXPECT_EQ("keep", m_temp.read("keep"));
        ASSERT_TRUE(TmsTest::waitFor([&] { return std::filesystem::exists(programFolder + "/record"); }, kLimit));
    }
}

TEST_F(KavoriMainTest, RootThatCannotComeUpIsReleasedAndTheRunEndsWithOne)
{
    struct Case {
        const char* line;
        std::function<std::optional<int>()> run;
    };
    const std::vector<std::string> args = {m_temp.file("uzengine")};
    const Case cases[] = {
        {"[E] mainInternal - Cannot initialize the root thread \"System\"!\n",
         [&] { return runBounded<NotInitialisingRoot>(args); }},
        {"[E] mainInternal - Cannot start the root thread \"System\"!\n",
         [&] { return runBounded<NotStartingRoot>(args); }},
        {"[E] mainInternal - The root thread \"System\" cannot declare the system parameters!\n",
         [&] { return runBounded<NotDeclaringRoot>(args); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        testing::internal::CaptureStdout();
        const std::optional<int> result = c.run();
        const std::string out = captured();
        EXPECT_EQ(1, result);
        EXPECT_NE(std::string::npos, out.find(c.line)) << out;
    }
}
