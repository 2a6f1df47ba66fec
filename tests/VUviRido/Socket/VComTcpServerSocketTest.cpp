#include "VUviRido/Socket/VComTcpServerSocket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "VComTestOwner.h"
#include "vsock/SystemStandIn.h"

using namespace vcomtest;
using vsocktest::RawSocket;
using VCOM::VComTcpServerSocket;

namespace {

class VComTcpServerSocketTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(startLayers()); }

    void listen(uint32_t capacity)
    {
        m_server.reset(m_owner.call([capacity] { return new VComTcpServerSocket(capacity); }));
        m_owner.watch(*m_server);
        m_port = vsocktest::pickPort(SOCK_STREAM);
        EXPECT_EQ(1u, m_owner.call([this] {
            (void)m_server->start(5, m_owner);
            return m_server->listen(loopbackAddress(), m_port);
        }));
    }

    std::unique_ptr<RawSocket> connectClient()
    {
        auto client = std::make_unique<RawSocket>(SOCK_STREAM);
        EXPECT_TRUE(client->connectLoopback(m_port));
        return client;
    }

    // Owner thread: the session whose peer is the client, 0 none.
    signed char sessionOf(const RawSocket& client)
    {
        for (signed char s = 1; s <= static_cast<signed char>(m_server->capacityOfConnection()); ++s) {
            VCOM::VComSocketAddress address;
            uint16_t port = 0;
            if (m_server->getChildDestination(s, address, port) == 0 && port == client.localPort()) return s;
        }
        return 0;
    }

    int acceptedCount()
    {
        int n = 0;
        for (const std::string& e : m_owner.events()) n += e.rfind("accepted ", 0) == 0 ? 1 : 0;
        return n;
    }

    void stopServer()
    {
        if (!m_server) return;
        m_owner.call([this] { (void)m_server->stop(); });
        m_owner.unwatchAll();
        m_owner.call([this] { m_server.reset(); });
        m_owner.clearEvents();
    }

    void TearDown() override
    {
        stopServer();
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    TestOwner m_owner;
    std::unique_ptr<VComTcpServerSocket> m_server;
    uint16_t m_port = 0;
};

TEST_F(VComTcpServerSocketTest, GivesLowestFreeSessionAndClosesConnectionsBeyondCapacity)
{
    listen(2);
    auto first = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s1"));
    auto second = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s2"));
    const std::vector<std::string> expected = {"accepted 1 u5 s0", "connected u5 s1", "accepted 2 u5 s0",
                                               "connected u5 s2"};
    EXPECT_EQ(expected, m_owner.events());

    auto third = connectClient();
    EXPECT_TRUE(seesClose(third->fd()));
    EXPECT_EQ(2u, m_owner.call([this] { return m_server->numOfConnection(); }));

    m_owner.clearEvents();
    first.reset();
    ASSERT_TRUE(m_owner.waitForEvent("disconnected u5 s1"));
    EXPECT_EQ(nullptr, m_owner.call([this] { return m_server->getSession(1); }));
    auto fourth = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s1"));
    EXPECT_EQ(1, m_owner.count("accepted 1 u5 s0"));
    EXPECT_EQ(0, m_owner.count("accepted 3 u5 s0"));
}

TEST_F(VComTcpServerSocketTest, SessionsExchangeDataUnderTheirSessionIds)
{
    listen(2);
    auto client = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s1"));
    ASSERT_EQ(4, ::send(client->fd(), "ping", 4, 0));
    ASSERT_TRUE(m_owner.waitForEvent("received u5 s1"));
    char in[8] = {};
    uint32_t count = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_server->getSession(1)->receive(in, sizeof(in), count); }));
    EXPECT_EQ(4u, count);
    EXPECT_EQ(1u, m_owner.call([&] { return m_server->getSession(1)->send("pong", 4, count); }));
    char out[5] = {};
    ASSERT_TRUE(readAll(client->fd(), out, 4));
    EXPECT_STREQ("pong", out);
    EXPECT_TRUE(m_owner.waitForEvent("sent u5 s1"));

    VCOM::VComSocketAddress address;
    uint16_t port = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_server->getChildDestination(1, address, port); }));
    EXPECT_EQ(client->localPort(), port);
    port = 77;
    EXPECT_EQ(0x80000080u, m_owner.call([&] { return m_server->getChildDestination(2, address, port); }));
    EXPECT_EQ(0, port);
}

TEST_F(VComTcpServerSocketTest, DisconnectZeroClosesSessionsAndListener)
{
    listen(2);
    auto a = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s1"));
    auto b = connectClient();
    ASSERT_TRUE(m_owner.waitForEvent("connected u5 s2"));
    m_owner.clearEvents();
    EXPECT_EQ(0u, m_owner.call([this] { return m_server->disconnect(0); }));
    ASSERT_TRUE(m_owner.waitForEvent("disconnected u5 s0"));
    const std::vector<std::string> expected = {"disconnected u5 s1", "disconnected u5 s2", "disconnected u5 s0"};
    EXPECT_EQ(expected, m_owner.events());
    EXPECT_EQ(-1, m_owner.call([this] { return m_server->getSocketId(); }));
    EXPECT_EQ(0u, m_owner.call([this] { return m_server->numOfConnection(); }));
    EXPECT_TRUE(seesClose(a->fd()));
    EXPECT_TRUE(seesClose(b->fd()));
    // The listener is gone: a new listen on the same port works.
    EXPECT_EQ(1u, m_owner.call([this] { return m_server->listen(loopbackAddress(), m_port); }));
}

TEST_F(VComTcpServerSocketTest, MapsSessionIdsAndRefusesBadOnes)
{
    listen(2);
    struct Case {
        int session;
        int32_t child;
        JLIB::JResult disconnect;
    };
    const Case cases[] = {{1, 0, 0x80000080u}, {2, 1, 0x80000080u}, {3, -1, 0x80000080u}, {-1, -1, 0x80000080u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.session);
        const signed char s = static_cast<signed char>(c.session);
        EXPECT_EQ(c.child, m_server->SessionIdToChildId(s));
        EXPECT_EQ(c.disconnect, m_owner.call([&] { return m_server->disconnect(s); }));  // no session holds a socket
    }
    EXPECT_EQ(3, VComTcpServerSocket::ChildIdToSessionId(2));
    EXPECT_EQ(2u, m_server->capacityOfConnection());
    EXPECT_EQ(m_server.get(), m_owner.call([this] { return m_server->getSession(0); }));
    EXPECT_EQ(0x80000081u, m_owner.call([this] { return m_server->listen(loopbackAddress(), m_port); }));
}

// A connection the socket layer refuses for want of a table entry must not leave the server deaf.
TEST_F(VComTcpServerSocketTest, KeepsAcceptingAfterTheSocketTableWasFull)
{
    listen(2);
    std::vector<int32_t> fillers;
    netc_sock_create_prm prm = {};
    prm.type = NETC_SOCK_UDP;
    prm.local = vsocktest::loopback();
    const netc_sock_option option = vsocktest::recordingOption();
    for (int32_t id = 0; id >= 0;) {
        id = vsock_createSock(&prm, &option);
        if (id >= 0) fillers.push_back(id);
    }
    ASSERT_FALSE(fillers.empty());
    auto refused = connectClient();
    EXPECT_TRUE(seesClose(refused->fd()));
    EXPECT_EQ(0, vsock_deleteSock(fillers.back()));
    fillers.pop_back();
    auto accepted = connectClient();
    EXPECT_TRUE(m_owner.waitForEvent("connected u5 s1"));
    for (int32_t id : fillers) EXPECT_EQ(0, vsock_deleteSock(id));
}

// Clients that reset their connection before the server takes it concern only themselves,
// whether the system hands such a connection over dead (Linux) or fails the accept (BSD).
TEST_F(VComTcpServerSocketTest, KeepsAcceptingAndServingAfterClientsResetTheirConnections)
{
    vsocktest::StandInReset standIns;
    struct Case {
        const char* label;
        int acceptError;
    };
    const Case cases[] = {{"handed over dead", 0}, {"accept fails", ECONNABORTED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        vsocktest::failAcceptOfResetConnections(c.acceptError);
        const int droppedBefore = vsocktest::droppedConnections();
        listen(2);
        for (int i = 1; i <= 5; ++i) {
            ASSERT_TRUE(vsocktest::connectAndReset(m_port));
            // Taken and done with before the next client, so none waits in the listen queue.
            if (c.acceptError != 0) {
                ASSERT_TRUE(waitFor([&] { return vsocktest::droppedConnections() == droppedBefore + i; }));
            } else {
                ASSERT_TRUE(waitFor([&] {
                    return acceptedCount() == i && m_owner.call([this] { return m_server->numOfConnection(); }) == 0;
                }));
            }
        }

        auto client = connectClient();
        ASSERT_EQ(4, ::send(client->fd(), "ping", 4, 0));
        signed char session = 0;
        ASSERT_TRUE(waitFor([&] { return (session = m_owner.call([&] { return sessionOf(*client); })) != 0; }));
        ASSERT_TRUE(m_owner.waitForEvent("received u5 s" + std::to_string(session)));
        char in[8] = {};
        uint32_t count = 0;
        EXPECT_EQ(0u, m_owner.call([&] { return m_server->getSession(session)->receive(in, sizeof(in), count); }));
        EXPECT_EQ(0, std::memcmp("ping", in, 4));
        EXPECT_EQ(1u, m_owner.call([&] { return m_server->getSession(session)->send("pong", 4, count); }));
        char out[5] = {};
        ASSERT_TRUE(readAll(client->fd(), out, 4));
        EXPECT_STREQ("pong", out);
        stopServer();
    }
}

TEST_F(VComTcpServerSocketTest, ServerWithoutSessionsAnswersOtherFailure)
{
    for (uint32_t capacity : {0u, 128u}) {
        SCOPED_TRACE(capacity);
        VComTcpServerSocket server(capacity);
        EXPECT_EQ(0x80000084u, server.runCallback(m_owner));
        EXPECT_EQ(0x80000084u, server.disconnect());
        EXPECT_EQ(0x80000084u, server.disconnect(1));
        EXPECT_EQ(-1, server.SessionIdToChildId(1));
    }
}

}  // namespace
