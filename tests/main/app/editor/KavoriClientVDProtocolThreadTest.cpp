// The editor-link thread in its place under the real root, its neighbours stand-ins, connected to
// the test's editor over loopback TCP.
#include "editor/KavoriClientVDProtocolThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/VDStartupOption.h"
#include "main/app/editor/StandInThread.h"
#include "main/app/editor/TestEditor.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;
using EngineTest::TestEditor;

namespace {

constexpr auto kLimit = 10s;

class TestRoot : public KAVORI::KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
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

bool sendCommand(const char* name, uint32_t id)
{
    TMS::AbstractMessage message;
    return message.initialize(TMS::kMessageUser, id) == 0 && message.addData("CommandName", name) == 0 &&
           message.sendWithWaiting("VDProtocol") == 0;
}

class KavoriClientVDProtocolThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        ASSERT_EQ(0, vsock_initModule());
        ASSERT_TRUE(m_editor.listen());
    }
    void TearDown() override
    {
        if (m_root) (void)m_root->release();
        m_root.reset();
        EXPECT_EQ(0, vsock_endModule());
        std::filesystem::current_path(m_previous);
    }

    // The options as the editor gives them, then the root with stand-ins around the real thread.
    void startWith(const std::vector<std::string>& options)
    {
        std::vector<const char*> argv = {"uzengine"};
        for (const std::string& option : options) argv.push_back(option.c_str());
        ASSERT_EQ(0u, VDevice::VDStartupOption::getInstance().set(int(argv.size()), argv.data()));
        for (const char* name : {"DeviceControl", "Compiler", "Sync"}) {
            m_standIns.push_back(std::make_unique<StandIn>(m_journal));
            ASSERT_EQ(0u, m_root->placeChild(name, *m_standIns.back()));
        }
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, kLimit));
    }
    StandIn& deviceControl() { return *m_standIns.front(); }
    StandIn& sync() { return *m_standIns.back(); }
    TMS::AbstractThread& link() { return TMS::getThreadByName("VDProtocol"); }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    TestEditor m_editor;
    Journal m_journal;
    std::vector<std::unique_ptr<StandIn>> m_standIns;  // outlive the root, which borrows them
    std::unique_ptr<TestRoot> m_root = std::make_unique<TestRoot>();
};

}  // namespace

TEST_F(KavoriClientVDProtocolThreadTest, ConnectsThenAnnouncesItselfOnceTheSystemIsReady)
{
    startWith({"uid=dev01", "port=" + std::to_string(m_editor.port())});
    ASSERT_TRUE(m_editor.accept(kLimit));
    ASSERT_TRUE(TmsTest::waitFor([&] { return deviceControl().sysParam("VDPState") == 1; }, kLimit));
    EXPECT_EQ(0u, deviceControl().sysParam("ProductState"));
    EXPECT_FALSE(m_editor.readLine(10ms));  // nothing before the system is ready

    ASSERT_TRUE(deviceControl().publish("PDBState", 1));
    ASSERT_TRUE(deviceControl().publish("DRAVOmState", 3));
    const std::optional<std::string> connected = m_editor.readLine(kLimit);
    ASSERT_TRUE(connected);
    EXPECT_EQ(R"({"connected":{"from":"dev01"}})", *connected);

    // Requests are carried out on the thread: an ignored one gets nothing, the next one its reply.
    ASSERT_TRUE(m_editor.writeLine(R"({"request":{"cmd":"set_reboot","from":"ed","to":"dev01","reqid":"1"}})"));
    ASSERT_TRUE(m_editor.writeLine(R"({"request":{"cmd":"getData_prm_val","from":"ed","to":"dev01","reqid":"2",)"
                                   R"("cmdinfo":{"list":[{"prmAddr":"Nowhere/#0/A:0:0"}]}}})"));
    const std::optional<std::string> reply = m_editor.readLine(kLimit);
    ASSERT_TRUE(reply);
    EXPECT_EQ(R"({"reply":{"cmd":"getData_prm_val","from":"dev01","message":"","progress":"100","reqid":"2",)"
              R"("result":"ng","to":"ed"}})",
              *reply);
}

TEST_F(KavoriClientVDProtocolThreadTest, DetectionTimerFollowsDetectStartAndStopWithMessageIdZeroOnly)
{
    startWith({"uid=dev01", "port=" + std::to_string(m_editor.port())});
    ASSERT_TRUE(m_editor.accept(kLimit));
    const auto detecting = [&] {
        return link().timers().getTimer(KAVORI::KavoriClientVDProtocolThread::kDetectTimerId).getTimerId() ==
               KAVORI::KavoriClientVDProtocolThread::kDetectTimerId;
    };
    ASSERT_TRUE(sendCommand("DetectStart", 1));
    ASSERT_TRUE(TmsTest::waitFor(
        [&] { return countLogLines(link(), "[i] AbstractThread[VDProtocol] - onReceiveMessage(USER:1)\n") == 1; },
        kLimit));
    EXPECT_FALSE(detecting());
    ASSERT_TRUE(sendCommand("DetectStart", 0));
    ASSERT_TRUE(sendCommand("DetectStart", 0));  // the same timer set up again
    ASSERT_TRUE(TmsTest::waitFor(detecting, kLimit));
    ASSERT_TRUE(sendCommand("DetectStop", 0));
    ASSERT_TRUE(TmsTest::waitFor([&] { return !detecting(); }, kLimit));
}

TEST_F(KavoriClientVDProtocolThreadTest, EditorLeavingReleasesTheWholeTree)
{
    startWith({"uid=dev01", "port=" + std::to_string(m_editor.port())});
    ASSERT_TRUE(m_editor.accept(kLimit));
    ASSERT_TRUE(TmsTest::waitFor([&] { return deviceControl().sysParam("VDPState") == 1; }, kLimit));
    m_editor.closeConnection();
    EXPECT_TRUE(TmsTest::waitFor([&] { return m_root->getStatus() == TMS::kStatusDestroy; }, kLimit));
    EXPECT_EQ((std::vector<std::string>{"DeviceControl", "Sync", "Compiler"}), m_journal.with("+"));
}

TEST_F(KavoriClientVDProtocolThreadTest, WithoutPortItIsReadyAtOnceAndConnectsNowhere)
{
    startWith({"uid=dev01"});
    ASSERT_TRUE(TmsTest::waitFor([&] { return deviceControl().sysParam("VDPState") == 1; }, kLimit));
    EXPECT_FALSE(m_editor.accept(100ms));
    EXPECT_EQ(TMS::kStatusRun, m_root->getStatus());
}

// The meter timer runs while the device is online (device status 2); any other state stops it.
TEST_F(KavoriClientVDProtocolThreadTest, MeterTimerRunsOnlyWhileTheDeviceIsOnline)
{
    startWith({"uid=dev01", "port=" + std::to_string(m_editor.port())});
    ASSERT_TRUE(m_editor.accept(kLimit));
    const auto metering = [&] {
        return link().timers().getTimer(KAVORI::KavoriClientVDProtocolThread::kMeterTimerId).getTimerId() ==
               KAVORI::KavoriClientVDProtocolThread::kMeterTimerId;
    };
    ASSERT_TRUE(sync().publish("EditorState", 10));
    ASSERT_TRUE(TmsTest::waitFor(metering, kLimit));
    ASSERT_TRUE(sync().publish("EditorState", 4));
    ASSERT_TRUE(TmsTest::waitFor([&] { return !metering(); }, kLimit));
    ASSERT_TRUE(sync().publish("EditorState", 7));
    ASSERT_TRUE(sync().publish("EditorState", 10));
    ASSERT_TRUE(TmsTest::waitFor(metering, kLimit));
}
