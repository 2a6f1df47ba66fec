// The "Sync" thread in its place under the real root, its neighbours stand-ins, linked over
// loopback TCP to the device simulator uz_devsim running as a real process. Both sides hold the
// device-dependent databases of the shipped definitions.
#include "editor/KavoriClientSyncThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PdbLayout.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "comctrl/Core/DevsimProcess.h"
#include "common/KavoriProductInfo.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/VDStartupOption.h"
#include "main/app/editor/StandInThread.h"
#include "ossupport/ossupport_Network.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;

namespace {

constexpr auto kLimit = 10s;

class TestRoot : public KAVORI::KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
};

// The real thread, with one test command that puts it in a status on its own task.
class TestSync : public KAVORI::KavoriClientSyncThread {
public:
    uint32_t sysParam(const char* name) const
    {
        JVariant value;
        return getSysParam(value, name, 0) == 0 ? value.toUInt32() : 0xDEADu;
    }

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const char* name = message.data("CommandName").toString();
        if (name && std::string(name) == "TestStatus") {
            return changeConnectStatus(KAVORI::EDITORSTAT(message.data("Status").toUInt32()));
        }
        return KavoriClientSyncThread::onReceiveMessage(message);
    }
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

// "Name key=value ..." of the keys a synchronisation message may carry; numbers tagged i or u.
std::string describe(const TMS::AbstractMessage& message)
{
    const char* name = message.data("CommandName").toString();
    std::string text = name ? name : "?";
    for (const char* key : {"Status", "Type", "Result", "Progress", "UnitId"}) {
        const JVariant& value = message.data(key);
        if (!value.isValid()) continue;
        text += std::string(" ") + key + "=";
        if (value.getType() == JVariant::kTypeString) text += value.toString();
        if (value.getType() == JVariant::kTypeInt32) text += "i" + std::to_string(value.toInt32());
        if (value.getType() == JVariant::kTypeUInt32) text += "u" + std::to_string(value.toUInt32());
    }
    return text;
}

class KavoriClientSyncThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
#if !defined(UZ_DEVSIM_PATH) || !defined(UZ_DESCRIPTOR_DIR)
        GTEST_SKIP() << "no device simulator in this build";
#else
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        ASSERT_EQ(0, vsock_initModule());
        m_vsock = true;
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(m_folder.path() + "/user");
        const std::string layout = writeLayout();
        std::string error;
        ASSERT_EQ(0u, m_layout.load(layout, error)) << error;
        ASSERT_TRUE(m_device.start({"--port", "0", "--layout", layout}));
        m_port = m_device.listenPort();
        ASSERT_NE(0, m_port) << m_device.output();
#endif
    }
    void TearDown() override
    {
        if (m_root) (void)m_root->release();
        m_root.reset();
        if (m_vsock) {
            EXPECT_EQ(0, vsock_endModule());
        }
        if (!m_previous.empty()) std::filesystem::current_path(m_previous);
    }

    // The device-dependent databases from the shipped definitions, for both sides.
    std::string writeLayout()
    {
        const std::filesystem::path folder = m_folder.path() + "/layout";
        std::filesystem::create_directories(folder / "defs");
        std::string databases;
        const struct {
            uint32_t id;
            const char* name;
        } rows[] = {{0, "Profile"}, {1, "DeviceSetup"}, {2, "StaticSetup"}, {6, "Status"}};
        for (const auto& row : rows) {
            const std::string file = std::string(row.name) + "_1.json";
            std::filesystem::copy_file(std::string(UZ_DESCRIPTOR_DIR) + "/" + file, folder / "defs" / file);
            if (!databases.empty()) databases += ",";
            databases += "{\"id\":" + std::to_string(row.id) + ",\"name\":\"" + row.name +
                         "\",\"components\":[{\"uniqId\":0,\"type\":\"" + row.name + "\",\"version\":1,\"numX\":0,\"numY\":0}]}";
        }
        std::ofstream(folder / "layout.json") << "{\"definitions\":\"defs\",\"databases\":[" << databases << "]}";
        return (folder / "layout.json").string();
    }

    // The root with the real "Sync" and recording stand-ins, databases announced as ready.
    void startTree(bool publishDatabases = true)
    {
        m_portOption = "syncport=" + std::to_string(m_port);
        std::vector<const char*> argv = {"uzengine", m_portOption.c_str()};
        ASSERT_EQ(0u, VDevice::VDStartupOption::getInstance().set(int(argv.size()), argv.data()));
        for (const char* name : {"DeviceControl", "VDProtocol", "Compiler", "DeviceControlForUZ", "MURRemote", "OSCServer"}) {
            m_standIns.push_back(std::make_unique<StandIn>(m_journal));
            StandIn& standIn = *m_standIns.back();
            auto jobs = standIn.onUserMessage;
            const std::string prefix = std::string(name) + ":";
            standIn.onUserMessage = [this, jobs, prefix](const TMS::AbstractMessage& message) {
                if (message.messageId() == 0) m_journal.add(prefix + describe(message));
                jobs(message);
            };
            ASSERT_EQ(0u, m_root->placeChild(name, standIn));
        }
        ASSERT_EQ(0u, m_root->placeChild("Sync", *m_sync));
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, kLimit));
        if (!publishDatabases) return;
        ASSERT_TRUE(deviceControl().publish("PDBState", 1));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_sync->sysParam("PDBState") == 1; }, kLimit));
    }
    StandIn& deviceControl() { return *m_standIns[0]; }
    StandIn& vdProtocol() { return *m_standIns[1]; }
    uint32_t editorState() { return deviceControl().sysParam("EditorState"); }
    bool waitForState(uint32_t state) { return TmsTest::waitFor([&] { return editorState() == state; }, kLimit); }

    bool send(const char* command, uint32_t id = 0)
    {
        TMS::AbstractMessage message;
        return message.initialize(TMS::kMessageUser, id) == 0 && message.addData("CommandName", command) == 0 &&
               message.sendWithWaiting("Sync") == 0;
    }
    bool forceStatus(uint32_t status)
    {
        TMS::AbstractMessage message;
        return message.initialize(TMS::kMessageUser, 0) == 0 && message.addData("CommandName", "TestStatus") == 0 &&
               message.addData("Status", status) == 0 && message.sendWithWaiting("Sync") == 0;
    }
    bool linkTo(const char* from)
    {
        TMS::AbstractMessage message;
        return message.initialize(TMS::kMessageUser, 0) == 0 && message.addData("CommandName", "SetNetworkInfo") == 0 &&
               message.addData("FromIPAddress", from) == 0 && message.addData("ToIPAddress", "127.0.0.1") == 0 &&
               message.sendWithWaiting("Sync") == 0;
    }
    size_t journalCount(const std::string& entry) const
    {
        size_t n = 0;
        for (const std::string& e : m_journal.entries()) n += e == entry ? 1 : 0;
        return n;
    }
    bool waitForEntry(const std::string& entry, size_t times = 1)
    {
        return TmsTest::waitFor([&] { return journalCount(entry) >= times; }, kLimit);
    }
    bool deviceSaw(const std::string& line)
    {
        return TmsTest::waitFor([&] { return m_device.output().find(line) != std::string::npos; }, kLimit);
    }
    uint32_t status(const char* address, uint32_t x)
    {
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(6u);
        JVariant value;
        if (JLIB::isFailure(db.getVariant(value, 0, db.getAddressIndex(PDB::UniqId(0), address), x, 0, nullptr))) {
            return 0xDEADu;
        }
        return value.toUInt32();
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    bool m_vsock = false;
    devsim::PdbLayout m_layout;
    comctrltest::DevsimProcess m_device;
    uint16_t m_port = 0;
    std::string m_portOption;
    Journal m_journal;
    std::vector<std::unique_ptr<StandIn>> m_standIns;  // outlive the root, which borrows them
    std::unique_ptr<TestSync> m_sync = std::make_unique<TestSync>();
    std::unique_ptr<TestRoot> m_root = std::make_unique<TestRoot>();
};

}  // namespace

TEST_F(KavoriClientSyncThreadTest, LinksToTheDeviceTakesItsDatabasesAndKeepsTheLinkAlive)
{
    startTree();
    EXPECT_EQ(0u, editorState());
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();

    EXPECT_EQ("lo", m_sync->interfaceName());
    EXPECT_EQ(JMDP::SendProductId(127, 0, 0, 1, 0, 0, 0, 0), m_sync->productId());
    EXPECT_EQ(1u, countLogLines(*m_sync, "[i] Synchronizing Temporarily\n"));
    EXPECT_EQ(1u, countLogLines(*m_sync, "[i] Synchronized Temporarily\n"));
    ASSERT_TRUE(waitForEntry("DeviceControl:PrepareToSync"));
    EXPECT_EQ(m_journal.with("DeviceControl:"),
              (std::vector<std::string>{"Synchronize Status=Connected Type=Client", "PrepareToSync"}));
    // The class-1 databases now follow the device. Its end of the association completes one hop
    // after this one; a change it makes before then waits for its next change.
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_device.askFor("pdbsync 0 0", "PDBSYNC") == "PDBSYNC 0 2"; }, kLimit))
        << m_device.output();
    EXPECT_EQ("OK", m_device.askFor("set 0 0 /OPV/Capacity 0 0 77", "OK"));
    ASSERT_TRUE(TmsTest::waitFor([&] {
        PDB::IParameterDB& profile = PDB::gPDBCollection.getPDB(0u);
        JVariant value;
        return JLIB::isSuccess(profile.getVariant(value, 0, profile.getAddressIndex(PDB::UniqId(0), "/OPV/Capacity"), 0, 0,
                                                  nullptr)) &&
               value.toUInt32() == 77;
    }, kLimit));

    // A device that sends nothing of its own gets keep-alives from this side, and stays linked.
    ASSERT_EQ("KEEPALIVE off", m_device.askFor("keepalive off", "KEEPALIVE"));
    const size_t before = m_device.output().size();
    ASSERT_TRUE(TmsTest::waitFor([&] {
        const std::string out = m_device.output();
        const size_t first = out.find("EVENT KeepAlive \n", before);
        return first != std::string::npos && out.find("EVENT KeepAlive \n", first + 1) != std::string::npos;
    }, kLimit)) << m_device.output();
    EXPECT_EQ(4u, editorState());

    ASSERT_TRUE(send("Disconnect"));
    ASSERT_TRUE(waitForEntry("VDProtocol:Re:Disconnect Result=u0 Progress=u100"));
    EXPECT_TRUE(waitForState(0));
}

TEST_F(KavoriClientSyncThreadTest, DropsADeviceThatFallsSilentForTenSeconds)
{
    startTree();
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
    ASSERT_EQ("SILENT on", m_device.askFor("silent on", "SILENT"));
    const auto quiet = std::chrono::steady_clock::now();
    ASSERT_TRUE(TmsTest::waitFor([&] { return editorState() == 0; }, 20s));
    EXPECT_GE(std::chrono::steady_clock::now() - quiet, 9s);
    EXPECT_EQ(0u, m_journal.with("VDProtocol:").size());  // nobody asked: nothing answered
}

TEST_F(KavoriClientSyncThreadTest, RefusesDisconnectWhileTheSequenceRunsAndAnswersEachRequest)
{
    startTree();
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
    // 5 waits for the configuration comparison, which this stand-in never answers.
    ASSERT_TRUE(forceStatus(5));
    ASSERT_TRUE(send("Disconnect"));
    ASSERT_TRUE(waitForEntry("VDProtocol:Re:Disconnect Result=u2147483648 Progress=u100"));
    EXPECT_TRUE(waitForState(5));  // the shared parameter reaches the neighbours after the answer
    EXPECT_EQ(1u, countLogLines(*m_sync, "[i] Preparing to Synchronize Memories\n"));

    // Messages that change nothing; one with another id or in another run mode is not looked at.
    for (const char* command : {"Synchronize", "Scene", "MeterList"}) ASSERT_TRUE(send(command));
    ASSERT_TRUE(send("Asynchronous", 1));
    ASSERT_TRUE(send("Asynchronous"));
    ASSERT_TRUE(waitForEntry("VDProtocol:Re:Asynchronous Result=i0 Progress=i100"));
    EXPECT_EQ(1u, journalCount("VDProtocol:Re:Asynchronous Result=i0 Progress=i100"));
    // Besides the comparison the device's answer asks for.
    const std::vector<std::string> toDeviceControl = m_journal.with("DeviceControl:");
    EXPECT_EQ(2, std::count_if(toDeviceControl.begin(), toDeviceControl.end(),
                               [](const std::string& e) { return e.rfind("isSameConfig", 0) != 0; }));
    EXPECT_EQ(5u, editorState());

    ASSERT_TRUE(forceStatus(10));
    ASSERT_TRUE(send("Disconnect"));
    ASSERT_TRUE(waitForEntry("VDProtocol:Re:Disconnect Result=u0 Progress=u100"));
    EXPECT_TRUE(waitForState(0));
}

TEST_F(KavoriClientSyncThreadTest, ASecondNetworkRequestTearsTheLinkDownFirst)
{
    startTree();
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForEntry("DeviceControl:PrepareToSync", 2));
    EXPECT_TRUE(waitForState(4));  // the shared parameter reaches the neighbours after the request
    EXPECT_EQ(2u, journalCount("DeviceControl:Synchronize Status=Connected Type=Client"));
}

TEST_F(KavoriClientSyncThreadTest, ClearsTheFolderStatusWhenTheDeviceGoes)
{
    startTree();
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
    // As a device's "NotifyDirSyncStatus" would have left them.
    PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(6u);
    for (const char* address : {"/DirSyncFrom/Snapshot/InitSyncNum", "/DirSyncTo/ParameterSet/RequestedNum"}) {
        ASSERT_FALSE(JLIB::isFailure(db.setVariant(0, db.getAddressIndex(PDB::UniqId(0), address), 0, 0, JVariant(5u), 1)));
    }
    m_device.closeStdin();
    ASSERT_EQ(0, m_device.waitExit());
    ASSERT_TRUE(waitForState(0));
    EXPECT_EQ(0u, status("/DirSyncFrom/Snapshot/InitSyncNum", 0));
    EXPECT_EQ(0u, status("/DirSyncTo/ParameterSet/RequestedNum", 0));
    // A lost link may also come as a failure before the disconnection: either way it ends at 0.
    EXPECT_LE(1u, countLogLines(*m_sync, "[i] disconnected - UnitId = 0\n"));

    // The unit stays: a new request starts over, and a device that is gone fails the connection.
    const size_t failures = countLogLines(*m_sync, "[i] connectFailed - UnitId = 0\n");
    ASSERT_TRUE(linkTo("127.0.0.1"));
    EXPECT_TRUE(TmsTest::waitFor([&] { return countLogLines(*m_sync, "[i] connectFailed - UnitId = 0\n") == failures + 1; },
                                 kLimit));
    EXPECT_TRUE(waitForState(0));
}

TEST_F(KavoriClientSyncThreadTest, StartsOnTheOnlyInterfaceOrStaysDormantForAnAddressNoneCarries)
{
    std::vector<OSSUPPORT::NetworkInterface> interfaces;
    (void)OSSUPPORT::GetNetworkInterfaces(interfaces);
    startTree();
    ASSERT_TRUE(linkTo("203.0.113.9"));
    ASSERT_TRUE(send("Asynchronous"));  // answered once the request before it has been handled
    ASSERT_TRUE(waitForEntry("VDProtocol:Re:Asynchronous Result=i0 Progress=i100"));
    if (interfaces.size() == 1) {
        EXPECT_EQ(interfaces.front().name, m_sync->interfaceName());
        EXPECT_TRUE(TmsTest::waitFor([&] { return editorState() != 0; }, kLimit));
    } else {
        EXPECT_EQ(0u, editorState());
        EXPECT_EQ(0u, m_journal.with("DeviceControl:").size());
    }
}

TEST_F(KavoriClientSyncThreadTest, TakesTheDatabasesOfALinkStartedBeforeTheyWereReady)
{
    startTree(false);
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(3));
    ASSERT_TRUE(deviceControl().publish("PDBState", 1));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
}

TEST(KavoriClientSyncThreadBuildTest, WithoutAUserFolderTheFileObjectsAreLoggedAndNothingIsMadeAtTheRoot)
{
    TMS::TMSystem system;
    KAVORI::KavoriProductInfo::getInstance().setUserFolder("");
    testing::internal::CaptureStdout();
    KAVORI::KavoriClientSyncThread thread;
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    const auto count = [&out](const std::string& line) {
        size_t n = 0;
        for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(1u, count("[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot initialize m_pFileSyncObjects!\n"));
    EXPECT_EQ(3u, count("[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot initialize m_pDirSyncObjects!\n"));
    EXPECT_EQ(0u, thread.connectStatus());
    EXPECT_EQ(KAVORI::KavoriProductInfo::getInstance().etherPort(), thread.interfaceName());
}

TEST_F(KavoriClientSyncThreadTest, ABadDeviceAddressIsLoggedAndLeavesTheThreadNotLinked)
{
    startTree();
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, message.addData("CommandName", "SetNetworkInfo"));
    ASSERT_EQ(0u, message.addData("FromIPAddress", "127.0.0.1"));
    ASSERT_EQ(0u, message.addData("ToIPAddress", "300.1.2.3"));
    ASSERT_EQ(0u, message.sendWithWaiting("Sync"));
    ASSERT_TRUE(TmsTest::waitFor([&] {
        return countLogLines(*m_sync, "[E] KavoriClientSyncThread::connect - cannot connect to 300.1.2.3\n") == 1;
    }, kLimit));
    EXPECT_EQ(0u, editorState());
    // The unit stays: the next request starts over and links.
    ASSERT_TRUE(linkTo("127.0.0.1"));
    ASSERT_TRUE(waitForState(4)) << m_device.output();
}
