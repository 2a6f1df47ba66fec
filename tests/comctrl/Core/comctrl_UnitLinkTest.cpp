// Connecting units against a listening service with two client units, over real TCP on
// 127.0.0.1 in one process; the test thread owns everything (runCallback on wake-up,
// periodicHandle(50) every 50 ms).
#include "comctrl/Core/comctrl_ServerService.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "oswrap/oswrap_time.h"

using namespace comctrltest;
using ComControl::ClientUnit;
using ComControl::ServerService;
using ComControl::ServerUnit;

namespace {

constexpr uint32_t kBufferSize = 0x10000;

std::string ipOf(const VCOM::VComSocketAddress& address)
{
    _E_NETC_AF family{};
    char text[64] = "";
    return JLIB::isSuccess(address.get(family, text, sizeof(text))) ? text : "(none)";
}

class UnitLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        m_port = vsocktest::pickPort(SOCK_STREAM);
        ASSERT_NE(0, m_port);
        for (uint32_t i = 0; i < 2; ++i) {
            ClientUnit& unit = m_clients[i];
            ASSERT_EQ(0u, unit.selectDatabse(1));
            ASSERT_EQ(0u, unit.initialize(static_cast<int32_t>(i), 1, 11, 1, 3, &m_owner, kBufferSize));
            nameLikeTheEngine(unit);
            ASSERT_EQ(0u, unit.registEventExecutor(0, "Console", m_clientExecutors[i], 100 + i));
        }
    }
    void TearDown() override
    {
        m_owner.onWake.clear();
        m_owner.onTick.clear();
    }

    // The service with the given table (null: both client units in order), listening.
    void listen(ClientUnit** table = nullptr)
    {
        ASSERT_EQ(0u, table ? m_service.initialize(table, 2, m_owner) : m_service.initialize(m_clients, 2, m_owner));
        ASSERT_EQ(0u, m_service.listen("127.0.0.1", m_port));
        m_owner.onWake.push_back([this] { (void)m_service.runCallback(); });
        m_owner.onTick.push_back([this] { (void)m_service.periodicHandle(50); });
    }

    // A connecting unit with the engine's ports and its own id as the executor's user value.
    ServerUnit& connectUnit(int32_t id)
    {
        auto unit = std::make_unique<ServerUnit>();
        ServerUnit* u = unit.get();
        m_servers.push_back(std::move(unit));
        EXPECT_EQ(0u, u->selectDatabse(1));
        EXPECT_EQ(0u, u->initialize(id, 1, 11, 1, 3, vcomtest::loopbackAddress(), m_owner, &m_owner, kBufferSize));
        nameLikeTheEngine(*u);
        EXPECT_EQ(0u, u->registEventExecutor(0, "Sync", m_serverExecutor, static_cast<uint32_t>(id)));
        m_owner.onWake.push_back([u] { (void)u->runCallback(); });
        m_owner.onTick.push_back([u] { (void)u->periodicHandle(50); });
        EXPECT_EQ(0u, u->connect(vcomtest::loopbackAddress(), m_port));
        return *u;
    }

    bool pumpUntil(std::initializer_list<std::string> entries)
    {
        const std::vector<std::string> wanted(entries);
        return m_owner.pump([&] {
            for (const std::string& e : wanted) {
                if (!m_owner.logged(e)) return false;
            }
            return true;
        });
    }

    uint16_t m_port = 0;
    LinkOwner m_owner;  // outlives every socket below
    RecordingExecutor m_serverExecutor;
    RecordingExecutor m_clientExecutors[2];
    ClientUnit m_clients[2];
    ServerService m_service;
    std::vector<std::unique_ptr<ServerUnit>> m_servers;
};

}  // namespace

TEST_F(UnitLinkTest, ConnectionsTakeTheLowestFreeUnit)
{
    listen();
    testing::internal::CaptureStdout();
    ServerUnit& first = connectUnit(7);
    const bool up = pumpUntil({"connected 7", "connected 0"});
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(up);
    EXPECT_NE(std::string::npos, printed.find("ServerUnit::onConnected unitId = 7\n"));
    EXPECT_NE(std::string::npos, printed.find("ServerService::socketAccepted portId = 0, newSessionId = 1\n"));
    EXPECT_NE(std::string::npos,
              printed.find("ClientUnit::socketAccepted unitId = 0, portId = 0, sessionId = 1, ip = 7f000001\n"));
    EXPECT_EQ("127.0.0.1", ipOf(m_clients[0].getDestination()));
    EXPECT_EQ("127.0.0.1", ipOf(first.getDestination()));
    EXPECT_TRUE(first.isConnected());

    connectUnit(8);
    ASSERT_TRUE(pumpUntil({"connected 8", "connected 1"}));
    EXPECT_EQ(2, m_clients[1].sessionId());

    // Both sessions busy: the server socket turns the third connection away.
    connectUnit(9);
    ASSERT_TRUE(pumpUntil({"disconnected 9"}));
    EXPECT_EQ(1, m_clients[0].sessionId());
    EXPECT_EQ(2, m_clients[1].sessionId());

    ASSERT_EQ(0u, first.disconnect());
    ASSERT_TRUE(pumpUntil({"disconnected 7", "disconnected 0"}));
    EXPECT_FALSE(m_clients[0].isValidSession());
    EXPECT_EQ("(none)", ipOf(first.getDestination()));  // emptied

    connectUnit(10);
    ASSERT_TRUE(pumpUntil({"connected 10"}));
    ASSERT_TRUE(m_owner.pump([&] { return m_owner.logged("connected 0", 2); }));
    EXPECT_TRUE(m_clients[0].isValidSession());
    EXPECT_EQ(2, m_clients[1].sessionId());

    // The service ends every session it holds.
    ASSERT_EQ(0u, m_service.disconnect());
    ASSERT_TRUE(pumpUntil({"disconnected 8", "disconnected 10", "disconnected 1"}));
    ASSERT_TRUE(m_owner.pump([&] { return m_owner.logged("disconnected 0", 2); }));
    EXPECT_FALSE(m_clients[0].isValidSession());
    EXPECT_FALSE(m_clients[1].isValidSession());
}

// A table entry without unit: the server socket has a session for the connection, but nobody
// serves it, so it is closed rather than left hanging.
TEST_F(UnitLinkTest, AConnectionNoUnitTakesIsClosed)
{
    ClientUnit* table[2] = {&m_clients[0], nullptr};
    listen(table);
    connectUnit(7);
    ASSERT_TRUE(pumpUntil({"connected 7", "connected 0"}));
    connectUnit(8);
    ASSERT_TRUE(pumpUntil({"connected 8", "disconnected 8"}));
    EXPECT_FALSE(m_clients[1].isValidSession());
    EXPECT_EQ(1, m_clients[0].sessionId());
    EXPECT_FALSE(m_owner.logged("disconnected 0"));
}

TEST_F(UnitLinkTest, EventsTravelBothWaysAndRegistrationsSurviveAReconnect)
{
    listen();
    ServerUnit& unit = connectUnit(7);
    ASSERT_TRUE(pumpUntil({"connected 7", "connected 0"}));

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const size_t before = m_clientExecutors[0].events.size();
        ASSERT_EQ(0u, unit.sendEvent(0, 0, "SetClientType", "TYPE:Editor PIN:1"));
        ASSERT_TRUE(m_owner.pump([&] { return m_clientExecutors[0].events.size() == before + 1; }));
        EXPECT_EQ((ExecutedEvent{100, "SetClientType", "TYPE:Editor PIN:1"}), m_clientExecutors[0].events.back());
        ASSERT_EQ(0u, m_clients[0].sendEvent(0, 0, "onSetClientType", "PIN:1 HASH:0AFF"));
        ASSERT_TRUE(m_owner.pump([&] { return m_serverExecutor.events.size() == before + 1; }));
        EXPECT_EQ((ExecutedEvent{7, "onSetClientType", "PIN:1 HASH:0AFF"}), m_serverExecutor.events.back());

        ASSERT_EQ(0u, unit.disconnect());
        ASSERT_TRUE(m_owner.pump([&] {
            return m_owner.logged("disconnected 7", round + 1) && m_owner.logged("disconnected 0", round + 1);
        }));
        EXPECT_EQ(0x80000007u, unit.sendEvent(0, 0, "KeepAlive", ""));
        ASSERT_EQ(0u, unit.connect(vcomtest::loopbackAddress(), m_port));
        ASSERT_TRUE(m_owner.pump([&] {
            return m_owner.logged("connected 7", round + 2) && m_owner.logged("connected 0", round + 2);
        }));
    }
    EXPECT_TRUE(m_clientExecutors[1].events.empty());
}

// The receive time-out of the owner starts with the first data: until then the last-received
// time is the current count.
TEST_F(UnitLinkTest, ReceiveTimeFollowsTheClockUntilDataCame)
{
    listen();
    ServerUnit& unit = connectUnit(7);
    ASSERT_TRUE(pumpUntil({"connected 7", "connected 0"}));
    const uint32_t start = get1msCount();
    m_owner.runFor(std::chrono::milliseconds(150));
    EXPECT_GE(unit.lastReceivedTime() - start, 150u);
    EXPECT_GE(unit.lastSentTime() - start, 150u);

    ASSERT_EQ(0u, m_clients[0].sendEvent(0, 0, "KeepAlive", ""));
    ASSERT_TRUE(m_owner.pump([&] { return m_serverExecutor.count("KeepAlive") == 1; }));
    const uint32_t received = unit.lastReceivedTime();
    m_owner.runFor(std::chrono::milliseconds(120));
    // Stopped following the clock (a late notification of the same data may move it a little).
    EXPECT_LT(unit.lastReceivedTime() - received, 60u);
}

TEST_F(UnitLinkTest, ASocketFailureReportsConnectFailedThenDisconnected)
{
    testing::internal::CaptureStdout();
    ServerUnit& unit = connectUnit(7);  // nothing listens yet
    const bool ended = pumpUntil({"disconnected 7"});
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ended);
    EXPECT_EQ((std::vector<std::string>{"connectFailed 7", "disconnected 7"}), m_owner.log);
    const size_t failed = printed.find("ServerUnit::onConnectionFailed unitId = 7, err = 0x0\n");
    EXPECT_NE(std::string::npos, failed);
    EXPECT_LT(failed, printed.find("ServerUnit::onDisconnected unitId = 7\n"));

    listen();
    ASSERT_EQ(0u, unit.connect(vcomtest::loopbackAddress(), m_port));
    ASSERT_TRUE(pumpUntil({"connected 7", "connected 0"}));
}

TEST(ServerServiceTest, CodesBeforeAndAfterInitialize)
{
    ASSERT_TRUE(vcomtest::startLayers());
    LinkOwner owner;
    ClientUnit units[2];  // outlive the service, which disconnects them when it ends
    ServerService service;
    EXPECT_EQ(0x80000008u, service.listen("127.0.0.1", 1));
    EXPECT_EQ(0x80000008u, service.runCallback());
    EXPECT_EQ(0x80000008u, service.periodicHandle(50));
    EXPECT_EQ(0x80000008u, service.notifyPrmChanged());
    EXPECT_EQ(0x80000008u, service.disconnect());
    EXPECT_EQ(0x80000008u, service.onReceived(0, 1));
    EXPECT_EQ(0x80000002u, service.initialize(0u, owner));
    EXPECT_EQ(0x80000002u, service.initialize(128u, owner));
    EXPECT_EQ(0x80000002u, service.initialize(static_cast<ClientUnit**>(nullptr), 2, owner));
    EXPECT_EQ(0x80000002u, service.initialize(static_cast<ClientUnit*>(nullptr), 2, owner));

    for (int i = 0; i < 2; ++i) ASSERT_EQ(0u, units[i].initialize(i, 1, 0, 0, 0, &owner, 256));
    ASSERT_EQ(0u, service.initialize(units, 2, owner));
    EXPECT_EQ(1u, service.initialize(units, 2, owner));
    EXPECT_EQ(&units[1], service.unit(1));
    EXPECT_EQ(nullptr, service.unit(2));
    // Events of sessions no unit holds touch no unit.
    EXPECT_EQ(0x80000007u, service.onReceived(0, 1));
    EXPECT_EQ(0x80000007u, service.onDisconnected(0, 3));
    EXPECT_EQ(0x80000007u, service.onCommunicationFailed(0, 1, VCOM::kSendFailed));
    EXPECT_TRUE(owner.log.empty());
    EXPECT_EQ(0x80000006u, service.listen("not an address", 1));
    EXPECT_EQ(0u, service.periodicHandle(50));
    EXPECT_EQ(0u, service.notifyPrmChanged());
}
