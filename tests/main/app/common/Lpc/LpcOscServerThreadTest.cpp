// The thread "OSCServer" under a small root with the real "DeviceControlForUZ" (which brings up the
// protocol memory and asks for the server), over the shipped databases with the link table, in a
// working folder whose "SystemSetting.ini" names the receive port; real OSC clients (python3-liblo)
// on 127.0.0.1. "DeviceControl" and "Sync" are recorders of the commands that reach them.
#include "common/Lpc/LpcOscServerThread.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscPeer.h"
#include "TMS/AbstractMessage.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "TMS/TmsTestSupport.h"
#include "common/KavoriSystemInfo.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoDeviceControlThread.h"
#include "main/app/common/Lpc/LpcLinkTableFixture.h"
#include "main/app/common/Lpc/LpcOscTestSupport.h"
#include "main/app/common/Lpc/LpcStandInRack.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using LpcOscTest::MessageRecorder;
using OscTest::LibloClients;
using Lines = std::vector<std::string>;

namespace {

constexpr auto kLimit = 10s;

bool sendCommand(const char* threadName, const char* command, uint32_t value = 0)
{
    TMS::AbstractMessage message;
    return JLIB::isSuccess(message.initialize(TMS::kMessageUser, 0)) &&
           JLIB::isSuccess(message.addData("CommandName", command)) &&
           JLIB::isSuccess(message.addData("Value", value)) && JLIB::isSuccess(message.sendWithWaiting(threadName));
}

// A root with the shared system parameters of the application; "SetProductState" publishes one.
class Root : public TMS::SystemThread {
public:
    Root() : TMS::SystemThread(1) {}
    ~Root() override
    {
        if (getTaskId() != kNoId) (void)release();
    }

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override
    {
        if (JLIB::isFailure(KAVORI::registSystemInfo(*this))) return JLIB::kFailed;
        return TMS::SystemThread::onInitialize(arguments);
    }
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const JLIB::JResult result = TMS::SystemThread::onReceiveMessage(message);
        if (message.messageId() == 0 && message.data("CommandName") == JVariant("SetProductState", 15)) {
            EXPECT_EQ(0u, setSysParam("ProductState", 0, JVariant(message.data("Value").toUInt32())));
            EXPECT_EQ(0u, flushSysParam());
        }
        return result;
    }
};

// The thread with the results of its "ServerStart" messages kept.
class ObservedOscServerThread : public LPC::LpcOscServerThread {
public:
    ~ObservedOscServerThread() override
    {
        if (getTaskId() != kNoId) (void)release();
    }
    std::vector<JLIB::JResult> startResults() const
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_startResults;
    }

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        const JLIB::JResult result = LpcOscServerThread::onReceiveMessage(message);
        if (message.messageId() == 0 && message.data("CommandName") == JVariant("ServerStart", 11)) {
            std::lock_guard<std::mutex> hold(m_lock);
            m_startResults.push_back(result);
        }
        return result;
    }

private:
    mutable std::mutex m_lock;
    std::vector<JLIB::JResult> m_startResults;
};

class LpcOscServerThreadTest : public LpcTest::LinkTableFixture {
protected:
    void SetUp() override
    {
        LinkTableFixture::SetUp();
        ASSERT_EQ(0, vsock_initModule());
        m_rxPort = OscTest::pickUdpPort();
        ASSERT_NE(0, m_rxPort);
        if (occupyPort()) ASSERT_TRUE(bindAnyAddress(m_rxPort));
        m_folder = std::make_unique<LpcTest::StandInRackFolder>(nullptr);  // no rack: meters show the test pattern
        std::ofstream(m_folder->folder().file("SystemSetting.ini"))
            << "[Setting]\nOSCRxPort = " << m_rxPort << "\nOSCTxPort = 0\n";
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        ASSERT_EQ(0u, LPC::LpcThreadCommon::getInstance().initialize());
        ASSERT_TRUE(m_deviceControl.run("DeviceControl"));
        ASSERT_TRUE(m_sync.run("Sync"));

        ASSERT_EQ(0u, m_root.initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root.getStatus() == TMS::kStatusStop; }, kLimit));
        ASSERT_EQ(0u, m_forUZ.initialize("DeviceControlForUZ", 0, 2, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_osc.initialize("OSCServer", 0, 4, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_osc.getStatus() == TMS::kStatusStop; }, kLimit));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_forUZ.getStatus() == TMS::kStatusStop; }, kLimit));
        ASSERT_EQ(0u, m_root.addThread(m_forUZ));
        ASSERT_EQ(0u, m_root.addThread(m_osc));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_root.getPhase() == TMS::SystemThread::kPhaseAllStarted; }, kLimit));
        ASSERT_TRUE(TmsTest::waitFor([&] { return !m_osc.startResults().empty(); }, kLimit));
        if (!occupyPort()) ASSERT_EQ(std::vector<JLIB::JResult>{0u}, m_osc.startResults());
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, m_root.release());
        (void)m_osc.release();  // released with the root already: then refused
        EXPECT_EQ(0, vsock_endModule());
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        m_folder.reset();
        if (m_occupier >= 0) ::close(m_occupier);
        LinkTableFixture::TearDown();
    }

    // Whether another socket holds the receive port before the server comes.
    virtual bool occupyPort() const { return false; }
    bool bindAnyAddress(uint16_t port)
    {
        m_occupier = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in in = {};
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        in.sin_addr.s_addr = htonl(INADDR_ANY);
        return m_occupier >= 0 && ::bind(m_occupier, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0;
    }

    // Keep-alive on for each client, its first reply taken.
    void keepAlive(LibloClients& clients, std::initializer_list<int> which)
    {
        for (int c : which) {
            ASSERT_TRUE(clients.send(c, m_rxPort, "/josc:req/keepalive", "i", {"60000"}));
            ASSERT_TRUE(clients.waitForMessages(c, 1, kLimit));
        }
    }
    // What a client received after the first skip messages.
    static Lines after(const LibloClients& clients, int c, size_t skip)
    {
        const Lines all = clients.received(c);
        return Lines(all.begin() + static_cast<std::ptrdiff_t>(std::min(skip, all.size())), all.end());
    }

    TMS::TMSystem m_system;
    std::unique_ptr<LpcTest::StandInRackFolder> m_folder;
    uint16_t m_rxPort = 0;
    int m_occupier = -1;
    MessageRecorder m_deviceControl;
    MessageRecorder m_sync;
    Root m_root;
    LPC::LpcUzProtoDeviceControlThread m_forUZ;
    ObservedOscServerThread m_osc;
};

class LpcOscServerThreadBusyPortTest : public LpcOscServerThreadTest {
protected:
    bool occupyPort() const override { return true; }
};

}  // namespace

TEST_F(LpcOscServerThreadTest, QueriesAreAnsweredWithoutKeepAliveAndTheRunModeFollowsTheProductState)
{
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/devinfo", "s", {"productname"}));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/devinfo", "s", {"Version"}));  // an error: not answered
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/prmnum"));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/mtrnum"));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/devstatus", "s", {"runmode"}));
    ASSERT_TRUE(clients.waitForMessages(0, 4, kLimit));
    EXPECT_EQ((Lines{"/josc:ok/devinfo productname UZ", "/josc:ok/prmnum 145", "/josc:ok/mtrnum 10",
                     "/josc:ok/devstatus runmode booting"}),
              clients.received(0));

    ASSERT_TRUE(sendCommand("System", "SetProductState", 1));
    ASSERT_TRUE(TmsTest::waitFor(
        [&] {
            if (!clients.send(0, m_rxPort, "/josc:req/devstatus", "s", {"runmode"})) return false;
            const size_t before = clients.received(0).size();
            if (!clients.waitForMessages(0, before + 1, kLimit)) return false;
            return clients.received(0).back() == "/josc:ok/devstatus runmode normal";
        },
        kLimit));
}

TEST_F(LpcOscServerThreadTest, AWriteIsNotifiedToTheOtherKeepAliveClientsAsTheirSubscriptionsAllow)
{
    LibloClients clients(3);
    ASSERT_TRUE(clients.start());
    keepAlive(clients, {0, 1, 2});
    // Client 2 listens to the AuxIn levels only.
    ASSERT_TRUE(clients.send(2, m_rxPort, "/josc:req/subscribe/uz:AuxIn/Fader/Level"));
    ASSERT_TRUE(clients.waitForMessages(2, 2, kLimit));

    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/set/uz:OBA/Object/Fader/Level/3", "i", {"-1000"}));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/set/uz:AuxIn/Fader/Level/2", "i", {"-500"}));
    ASSERT_TRUE(clients.waitForMessages(0, 3, kLimit));
    ASSERT_TRUE(clients.waitForMessages(1, 3, kLimit));
    ASSERT_TRUE(clients.waitForMessages(2, 3, kLimit));
    const Lines a = after(clients, 0, 1);
    ASSERT_EQ(2u, a.size());
    EXPECT_EQ(0u, a[0].rfind("/josc:ok/set/uz:OBA/Object/Fader/Level/3 -1000", 0)) << a[0];
    EXPECT_EQ(0u, a[1].rfind("/josc:ok/set/uz:AuxIn/Fader/Level/2 -500", 0)) << a[1];
    const Lines b = after(clients, 1, 1);
    ASSERT_EQ(2u, b.size());
    EXPECT_EQ(0u, b[0].rfind("/josc:notify/set/uz:OBA/Object/Fader/Level/3", 0)) << b[0];
    EXPECT_NE(std::string::npos, b[0].find(" -1000")) << b[0];
    EXPECT_EQ(0u, b[1].rfind("/josc:notify/set/uz:AuxIn/Fader/Level/2", 0)) << b[1];
    const Lines c = after(clients, 2, 2);
    ASSERT_EQ(1u, c.size()) << "the object level is not subscribed";
    EXPECT_EQ(0u, c[0].rfind("/josc:notify/set/uz:AuxIn/Fader/Level/2", 0)) << c[0];
    EXPECT_EQ(-1000, get(LpcTest::kCurrent, "/OBA/Object/Fader/Level", 2));

    // A write of the device itself reaches every keep-alive client, the last writer included.
    ASSERT_TRUE(JLIB::isSuccess(write(LpcTest::kCurrent, "/OBA/Object/Fader/Level", 2, 0, {JVariant(-2000)}, 255)));
    ASSERT_TRUE(clients.waitForMessages(0, 4, kLimit));
    ASSERT_TRUE(clients.waitForMessages(1, 4, kLimit));
    EXPECT_EQ(0u, clients.received(0).back().rfind("/josc:notify/set/uz:OBA/Object/Fader/Level/3", 0));
    EXPECT_NE(std::string::npos, clients.received(1).back().find(" -2000")) << clients.received(1).back();
}

TEST_F(LpcOscServerThreadTest, AMultiValueWriteIsAnnouncedOnceAndAsTheDevicesWhenAMemberIsTheDevices)
{
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    keepAlive(clients, {0, 1});
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/set/uz:Binaural/Listener/Position", "iii", {"100", "200", "0"}));
    ASSERT_TRUE(clients.waitForMessages(0, 2, kLimit));
    ASSERT_TRUE(clients.waitForMessages(1, 2, kLimit));
    EXPECT_EQ(0u, clients.received(1)[1].rfind("/josc:notify/set/uz:Binaural/Listener/Position", 0))
        << clients.received(1)[1];

    // Member x written as client 0's, member z as the device's: client 0 is told as well, once
    // the change is the device's (in one walk or in two).
    const uint32_t x = ai(LpcTest::kSetup, "/Binaural/Listener/Position@xyz@x");
    const JLIB::JResult xWrite = db().setVariant(LpcTest::kSetup, x, 0, 0, JVariant(125), 1);
    ASSERT_FALSE(JLIB::isFailure(xWrite)) << std::hex << xWrite;
    const JLIB::JResult zWrite = db().setVariant(LpcTest::kSetup, x + 2, 0, 0, JVariant(375), 255);
    ASSERT_FALSE(JLIB::isFailure(zWrite)) << std::hex << zWrite;
    ASSERT_TRUE(clients.waitForMessages(0, 3, kLimit)) << "member z is the device's";
    EXPECT_EQ(0u, clients.received(0)[2].rfind("/josc:notify/set/uz:Binaural/Listener/Position", 0))
        << clients.received(0)[2];
    ASSERT_TRUE(clients.waitForMessages(1, 3, kLimit));
    for (const std::string& line : after(clients, 1, 1)) {
        EXPECT_EQ(0u, line.rfind("/josc:notify/set/uz:Binaural/Listener/Position/1/1 ", 0))
            << "members are announced together: " << line;
    }
}

TEST_F(LpcOscServerThreadTest, MetersStreamTheTestPatternWhileNoRackIsConnected)
{
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/mtrstart/uz:Current/Binaural/OutputLevel", "i", {"50"}));
    ASSERT_TRUE(clients.waitForMessages(0, 4, kLimit));
    const Lines got = clients.received(0);
    std::vector<std::string> blobs;
    for (const std::string& line : got) {
        ASSERT_EQ(0u, line.rfind("/josc:notify/mtr/uz:Current/Binaural/OutputLevel ", 0)) << line;
        blobs.push_back(line.substr(line.rfind(' ') + 1));
        EXPECT_EQ(4u, blobs.back().size()) << "two level bytes: " << line;
    }
    EXPECT_GT(std::set<std::string>(blobs.begin(), blobs.end()).size(), 1u) << "the pattern moves";
}

TEST_F(LpcOscServerThreadTest, EventsAreRefusedForAWrongIdCountOrPathAndCarriedOutOtherwise)
{
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    keepAlive(clients, {0});
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/event", "s", {"uz:Command/scene/Recall"}));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/event", "ss", {"uz:Command/Project/Save", "../outside.uzp"}));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/event", "sss", {"uz:Command/Project/Save", "a", "b"}));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/event", "ss", {"uz:Command/Scene/Recall", "3"}));
    ASSERT_TRUE(clients.waitForMessages(0, 5, kLimit));
    const Lines got = after(clients, 0, 1);
    ASSERT_EQ(4u, got.size());
    EXPECT_EQ(0u, got[0].rfind("/josc:error/event UnknownEventID", 0)) << got[0];
    EXPECT_EQ(0u, got[1].rfind("/josc:error/event InternalError", 0)) << got[1];
    EXPECT_EQ(0u, got[2].rfind("/josc:error/event InvalidArgument", 0)) << got[2];
    EXPECT_EQ("/josc:ok/event uz:Command/Scene/Recall 3", got[3]);
    // Only the recall was posted, recorded as client 1's.
    ASSERT_TRUE(m_deviceControl.waitForMessages(1));
    const Lines posted = m_deviceControl.messages();
    ASSERT_EQ(1u, posted.size());
    EXPECT_NE(std::string::npos, posted[0].find("Operation=Recall")) << posted[0];
    EXPECT_NE(std::string::npos, posted[0].find("Factor=#1")) << posted[0];
    EXPECT_FALSE(std::filesystem::exists(m_folder->folder().file("../outside.uzp")));
}

TEST_F(LpcOscServerThreadTest, AClientsTitleWriteStoresTheSlotsSceneAndADeviceWriteDoesNot)
{
    for (uint32_t slot : {3u, 4u}) {
        const std::string number = std::to_string(10 + slot);
        ASSERT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZSCENELIST, "/SceneList/Bank/Info/SceneNumber", slot, 0,
                                        JVariant(number.c_str(), static_cast<unsigned int>(number.size())), 255));
        ASSERT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Comment", slot, 0,
                                        JVariant("kept", 4), 255));
    }
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    keepAlive(clients, {0});
    ASSERT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZSCENESTATUS, "/SceneStatus/Bank/Info/Title", 3, 0,
                                    JVariant("by device", 9), 255));
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/set/uz:SceneStatus/Bank/Info/Title/5", "s", {"by client"}));
    ASSERT_TRUE(m_deviceControl.waitForMessages(1));
    const Lines posted = m_deviceControl.messages();
    ASSERT_EQ(1u, posted.size()) << "slot 3's walk came first and stored nothing";
    for (const char* pair : {"Operation=Store", "Index=14", "Title=by client", "Comment=kept", "Factor=#1"}) {
        EXPECT_NE(std::string::npos, posted[0].find(pair)) << posted[0] << " lacks " << pair;
    }
}

TEST_F(LpcOscServerThreadTest, ASecondServerStartIsRefusedAndTheFirstServerKeepsServing)
{
    TMS::AbstractMessage start;
    ASSERT_EQ(0u, start.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, start.addData("CommandName", "ServerStart"));
    ASSERT_EQ(0u, start.sendWithWaiting("OSCServer"));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_osc.startResults().size() == 2; }, kLimit));
    EXPECT_EQ((std::vector<JLIB::JResult>{0u, 0x80000000u}), m_osc.startResults());
    EXPECT_TRUE(TmsTest::hasLogLine(
        m_osc, "[W] LpcOscServerThread::startServer - The OSC server exists already, a second one is refused.\n"));

    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, m_rxPort, "/josc:req/prmnum"));
    ASSERT_TRUE(clients.waitForMessages(0, 1, kLimit));
    EXPECT_EQ(Lines{"/josc:ok/prmnum 145"}, clients.received(0));
}

TEST_F(LpcOscServerThreadTest, SceneMessagesBecomeSnapshotNotificationsForTheirReasonsOnly)
{
    ASSERT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZSCENELIST, "/SceneList/Bank/Info/SceneNumber", 4, 0,
                                    JVariant("14", 2), 255));
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    keepAlive(clients, {0, 1});

    struct Post {
        uint32_t id;
        const char* command;
        const char* operation;
        const char* status;
        JVariant factor;
        const char* category;  // null: no "Category"
        JVariant index;
    };
    const char* const device = "PROC:ParamSet/Vexalume";
    const Post posts[] = {
        {0, "UZScene", "Recall", "End", JVariant(255), device, JVariant("14", 2)},
        {0, "Package", "Load", "End", JVariant(255), device, JVariant("14", 2)},  // reason 4: nobody told
        {0, "Package", "Load", "End", JVariant(255), nullptr, JVariant()},
        {0, "UZScene", "Recall", "Start", JVariant(255), "MUR", JVariant(5)},
        {0, "UZScene", "Recall", "Start", JVariant(255), nullptr, JVariant("14", 2)},
        {1, "UZScene", "Recall", "Start", JVariant(255), device, JVariant("14", 2)},  // not a command message
        {0, "UZScene", "Store", "End", JVariant(0x101u), device, JVariant("14", 2)},  // client 0's: it is not told
        {0, "UZScene", "Current", "Changed", JVariant(255), device, JVariant("14", 2)},
    };
    for (const Post& p : posts) {
        TMS::AbstractMessage message;
        ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, p.id));
        ASSERT_EQ(0u, message.addData("CommandName", p.command));
        ASSERT_EQ(0u, message.addData("Operation", p.operation));
        ASSERT_EQ(0u, message.addData("Status", p.status));
        if (p.factor.getType() == JVariant::kTypeInt32) ASSERT_EQ(0u, message.addData("Factor", p.factor.toInt32()));
        if (p.factor.getType() == JVariant::kTypeUInt32) ASSERT_EQ(0u, message.addData("Factor", p.factor.toUInt32()));
        if (p.category) ASSERT_EQ(0u, message.addData("Category", p.category));
        if (p.index.getType() == JVariant::kTypeString) ASSERT_EQ(0u, message.addData("Index", p.index.toString()));
        if (p.index.getType() == JVariant::kTypeInt32) ASSERT_EQ(0u, message.addData("Index", p.index.toInt32()));
        ASSERT_EQ(0u, message.sendWithWaiting("OSCServer"));
    }
    ASSERT_TRUE(clients.waitForMessages(0, 2, kLimit));
    ASSERT_TRUE(clients.waitForMessages(1, 3, kLimit));
    const Lines a = after(clients, 0, 1);
    const Lines b = after(clients, 1, 1);
    ASSERT_EQ(1u, a.size());
    ASSERT_EQ(2u, b.size());
    // Scene "14" is the first (number 0) of the device's snapshots.
    EXPECT_EQ("/josc:notify/ssupdate_ex PROC:ParamSet/Vexalume 0", b[0]);
    EXPECT_EQ("/josc:notify/sscurrent_ex PROC:ParamSet/Vexalume 0 unmodified", b[1]);
    EXPECT_EQ(b[1], a[0]);
}

TEST_F(LpcOscServerThreadBusyPortTest, AServerThatCannotBindStaysWithoutTimerAndIsNotReplaced)
{
    EXPECT_EQ(std::vector<JLIB::JResult>{0x80000000u}, m_osc.startResults());
    TMS::AbstractMessage start;
    ASSERT_EQ(0u, start.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, start.addData("CommandName", "ServerStart"));
    ASSERT_EQ(0u, start.sendWithWaiting("OSCServer"));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_osc.startResults().size() == 2; }, kLimit));
    EXPECT_EQ(0x80000000u, m_osc.startResults()[1]);
    EXPECT_TRUE(TmsTest::hasLogLine(
        m_osc, "[W] LpcOscServerThread::startServer - The OSC server exists already, a second one is refused.\n"));
    EXPECT_TRUE(m_osc.timers().getTimer(LPC::LpcOscServerThread::kServerTimerId).isNull()) << "no timer pass";
}
