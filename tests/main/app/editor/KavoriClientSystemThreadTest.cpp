#include "editor/KavoriClientSystemThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/ThreadRepository.h"
#include "TMS/TMSystem.h"
#include "common/KavoriSystemInfo.h"
#include "main/app/editor/StandInThread.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;
using KAVORI::KavoriClientSystemThread;

namespace {

class TestRoot : public KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
};

class FailingDeclarationRoot : public TestRoot {
protected:
    JLIB::JResult declareSystemInfo() override { return 0x80000002u; }
};

size_t countLogLines(TMS::AbstractThread& thread, const std::string& line)
{
    char buffer[TMS::ThreadLogger::kLineSize];
    size_t count = 0;
    for (uint32_t i = 0; i < thread.logger().size(); ++i) {
        if (thread.logger().get(i, buffer, sizeof(buffer)) == 0 && line == buffer) ++count;
    }
    return count;
}

std::string missingLine(const std::string& name)
{
    return "[W] KavoriClientSystemThread::onInitialize - '" + name + "' is not in this build, starting without it.\n";
}

JLIB::JResult sendToRoot(uint32_t id, const JVariant& commandName)
{
    TMS::AbstractMessage message;
    JLIB_RETURN_IF_FAILED(message.initialize(TMS::kMessageUser, id));
    if (commandName.getType() == JVariant::kTypeString) {
        JLIB_RETURN_IF_FAILED(message.addData("CommandName", commandName.toString()));
    } else {
        JLIB_RETURN_IF_FAILED(message.addData("CommandName", commandName.toInt32()));
    }
    return message.sendWithWaiting("System");
}

// The framework, a working folder of its own for the settings the root reads, and the root's
// children as stand-ins; the root is released before the stand-ins go.
class KavoriClientSystemThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
    }
    void TearDown() override
    {
        if (m_root) (void)m_root->release();
        m_root.reset();
        std::filesystem::current_path(m_previous);
    }

    StandIn& standIn(const char* name)
    {
        m_standIns.push_back(std::make_unique<StandIn>(m_journal));
        EXPECT_EQ(0u, m_root->placeChild(name, *m_standIns.back()));
        return *m_standIns.back();
    }

    // Starts the root and waits until every child runs.
    void startRoot()
    {
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor(
            [&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, 10s));
        EXPECT_EQ(0u, m_root->initializationResult());
    }

    // Every change flushed before has been handed round once a later one reaches a child.
    void settle(StandIn& child)
    {
        ++m_settles;
        ASSERT_TRUE(child.publish("RunMode", m_settles));
        ASSERT_TRUE(TmsTest::waitFor([&] { return child.sysParam("RunMode") == m_settles; }, 10s));
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    Journal m_journal;
    std::vector<std::unique_ptr<StandIn>> m_standIns;  // outlive the root, which borrows them
    std::unique_ptr<TestRoot> m_root = std::make_unique<TestRoot>();
    uint32_t m_settles = 0;
};

}  // namespace

TEST_F(KavoriClientSystemThreadTest, InitialisesStartsAndReleasesChildrenInTheirOrders)
{
    // Placed in the order the children are constructed, which is not their initialisation order.
    for (const char* name : {"DebugConsole", "DeviceControl", "Sync", "VDProtocol", "Compiler", "MURRemote",
                             "OSCServer", "DeviceControlForUZ"}) {
        (void)standIn(name);
    }
    startRoot();
    const std::vector<std::string> initialised = {"DebugConsole", "DeviceControl", "VDProtocol", "Sync",
                                                  "Compiler", "DeviceControlForUZ", "OSCServer", "MURRemote"};
    EXPECT_EQ(initialised, m_journal.with("init:"));
    const std::vector<std::string> started = {"DebugConsole", "DeviceControl", "DeviceControlForUZ", "VDProtocol",
                                              "Sync", "OSCServer", "Compiler", "MURRemote"};
    EXPECT_EQ(started, m_journal.with("+"));
    const std::map<std::string, uint8_t> stages = {{"DebugConsole", 1}, {"DeviceControl", 2}, {"VDProtocol", 3},
                                                   {"Sync", 4}, {"Compiler", 5}, {"DeviceControlForUZ", 2},
                                                   {"OSCServer", 4}, {"MURRemote", 5}};
    for (const auto& child : m_standIns) {
        EXPECT_EQ(stages.at(child->getThreadName()), child->getStartOrder()) << child->getThreadName();
    }
    for (const std::string& name : initialised) EXPECT_EQ(0u, countLogLines(*m_root, missingLine(name))) << name;

    ASSERT_EQ(0u, sendToRoot(0, JVariant("Close", 5)));
    EXPECT_EQ(0u, m_root->waitForRelease());
    const std::vector<std::string> released = {"MURRemote", "Compiler", "OSCServer", "Sync", "VDProtocol",
                                               "DeviceControlForUZ", "DeviceControl", "DebugConsole"};
    EXPECT_EQ(released, m_journal.with("-"));
}

TEST_F(KavoriClientSystemThreadTest, ChildrenNotInTheBuildAreSkippedWithOneLineEach)
{
    StandIn& deviceControl = standIn("DeviceControl");
    StandIn& vdProtocol = standIn("VDProtocol");
    EXPECT_EQ(0x80000000u, m_root->placeChild("Elsewhere", deviceControl));
    startRoot();
    EXPECT_EQ(TMS::kStatusRun, deviceControl.getStatus());
    EXPECT_EQ(TMS::kStatusRun, vdProtocol.getStatus());
    for (const char* name : {"DebugConsole", "Sync", "Compiler", "DeviceControlForUZ", "MURRemote", "OSCServer"}) {  // the root builds them itself
        EXPECT_EQ(0u, countLogLines(*m_root, missingLine(name))) << name;
    }
    EXPECT_EQ(0u, countLogLines(*m_root, missingLine("DeviceControl")));
    EXPECT_EQ(0u, countLogLines(*m_root, missingLine("VDProtocol")));
}

TEST_F(KavoriClientSystemThreadTest, ChildrenStartWithTheDeclaredParameters)
{
    StandIn& child = standIn("Sync");
    (void)standIn("DeviceControl");  // the real one would publish its readiness at once
    startRoot();
    for (const TMS::SystemInfoNodeStruct& row : KAVORI::gSysInfoNodeTable) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(std::string(row.name) == "CurrentFs" ? 96000u : 0u, child.sysParam(row.name));
    }
}

TEST_F(KavoriClientSystemThreadTest, ProductStateWaitsForDatabasesEditorLinkAndRestoredMemories)
{
    StandIn& deviceControl = standIn("DeviceControl");
    StandIn& vdProtocol = standIn("VDProtocol");
    startRoot();
    // The device-control thread runs: databases made, memories being restored.
    ASSERT_TRUE(deviceControl.publish("PDBState", 1));
    ASSERT_TRUE(deviceControl.publish("DRAVOmState", 2));
    settle(deviceControl);
    EXPECT_EQ(0u, vdProtocol.sysParam("ProductState"));
    ASSERT_TRUE(vdProtocol.publish("VDPState", 1));
    settle(vdProtocol);
    // Before the mend this was the moment: the editor would read values about to be replaced.
    EXPECT_EQ(0u, vdProtocol.sysParam("ProductState"));
    ASSERT_TRUE(deviceControl.publish("DRAVOmState", 3));
    EXPECT_TRUE(TmsTest::waitFor([&] { return vdProtocol.sysParam("ProductState") == 1; }, 10s));
    EXPECT_EQ(1u, deviceControl.sysParam("ProductState"));
}

TEST_F(KavoriClientSystemThreadTest, ProductStateIsRaisedOnlyFromZero)
{
    StandIn& deviceControl = standIn("DeviceControl");
    startRoot();
    ASSERT_TRUE(deviceControl.publish("ProductState", 2));
    ASSERT_TRUE(deviceControl.publish("PDBState", 1));
    ASSERT_TRUE(deviceControl.publish("VDPState", 1));
    ASSERT_TRUE(deviceControl.publish("DRAVOmState", 3));
    settle(deviceControl);
    EXPECT_EQ(2u, deviceControl.sysParam("ProductState"));
    // Ready values written in another order raise it from 0 at the last one.
    ASSERT_TRUE(deviceControl.publish("PDBState", 0));
    settle(deviceControl);
    ASSERT_TRUE(deviceControl.publish("ProductState", 0));
    settle(deviceControl);
    EXPECT_EQ(0u, deviceControl.sysParam("ProductState"));
    ASSERT_TRUE(deviceControl.publish("PDBState", 1));
    EXPECT_TRUE(TmsTest::waitFor([&] { return deviceControl.sysParam("ProductState") == 1; }, 10s));
}

TEST_F(KavoriClientSystemThreadTest, OnlyACloseTextWithMessageIdZeroEndsTheTree)
{
    StandIn& child = standIn("DeviceControl");
    startRoot();
    ASSERT_EQ(0u, sendToRoot(1, JVariant("Close", 5)));
    ASSERT_EQ(0u, sendToRoot(0, JVariant(5)));
    ASSERT_EQ(0u, sendToRoot(0, JVariant("close", 5)));
    ASSERT_EQ(0u, sendToRoot(0, JVariant("Close ", 6)));
    // Messages are handled one after another: once the last is logged the others are done.
    ASSERT_EQ(0u, sendToRoot(2, JVariant("Close", 5)));
    ASSERT_TRUE(TmsTest::waitFor(
        [&] { return countLogLines(*m_root, "[i] AbstractThread[System] - onReceiveMessage(USER:2)\n") == 1; }, 10s));
    ASSERT_EQ(0u, sendToRoot(3, JVariant("Close", 5)));
    ASSERT_TRUE(TmsTest::waitFor(
        [&] { return countLogLines(*m_root, "[i] AbstractThread[System] - onReceiveMessage(USER:3)\n") == 1; }, 10s));
    EXPECT_EQ(TMS::SystemThread::kPhaseAllStarted, m_root->getPhase());
    EXPECT_EQ(TMS::kStatusRun, child.getStatus());

    ASSERT_EQ(0u, sendToRoot(0, JVariant("Close", 5)));
    EXPECT_EQ(0u, m_root->waitForRelease());  // end status 0: no restart
    EXPECT_EQ(TMS::kStatusUninitialized, child.getStatus());
}

TEST_F(KavoriClientSystemThreadTest, RootThatCannotDeclareItsParametersInitialisesNoChild)
{
    m_root = std::make_unique<FailingDeclarationRoot>();
    StandIn& child = standIn("DebugConsole");
    ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_root->getStatus() == TMS::kStatusStop; }, 10s));
    EXPECT_EQ(0x80000000u, m_root->initializationResult());
    EXPECT_EQ(TMS::kStatusUninitialized, child.getStatus());
    EXPECT_TRUE(m_journal.with("init:").empty());
    EXPECT_EQ(1u, countLogLines(*m_root,
                                "[E] KavoriClientSystemThread::onInitialize - Cannot declare the system parameters!\n"));
}
