#include "VUviRido/Socket/VComTcpClientSocket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <numeric>
#include <vector>

#include "VComTestOwner.h"
#include "vsock/SystemStandIn.h"

using namespace vcomtest;
using vsocktest::RawSocket;
using VCOM::VComTcpClientSocket;

namespace {

class VComTcpClientSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startLayers());
        ASSERT_TRUE(m_listener.bindLoopback(0));
        ASSERT_EQ(0, ::listen(m_listener.fd(), 4));
    }

    // Connects the client (made on the owner thread) and accepts the peer end.
    void connectClient()
    {
        m_client.reset(m_owner.call([] { return new VComTcpClientSocket(); }));
        m_owner.watch(*m_client);
        const JLIB::JResult r = m_owner.call([this] {
            (void)m_client->start(7, m_owner);
            return m_client->connect(loopbackAddress(), loopbackAddress(), m_listener.localPort());
        });
        ASSERT_TRUE(r == 0 || r == 1) << r;
        ASSERT_TRUE(m_owner.waitForEvent("connected u7 s0"));
        m_peer = std::make_unique<RawSocket>(RawSocket::Adopt{}, ::accept(m_listener.fd(), nullptr, nullptr));
        ASSERT_GE(m_peer->fd(), 0);
    }

    void TearDown() override
    {
        if (m_client) {
            m_owner.call([this] { (void)m_client->stop(); });
            m_owner.unwatchAll();
            m_owner.call([this] { m_client.reset(); });
        }
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    RawSocket m_listener{SOCK_STREAM};
    TestOwner m_owner;
    std::unique_ptr<VComTcpClientSocket> m_client;
    std::unique_ptr<RawSocket> m_peer;
};

TEST_F(VComTcpClientSocketTest, ConnectsExchangesDataAndDeliversOnTheOwnerThread)
{
    connectClient();
    EXPECT_EQ(6u, m_owner.call([this] { return m_client->connect(loopbackAddress(), loopbackAddress(), 1); }));
    EXPECT_TRUE(m_owner.call([this] { return m_client->isConnected(); }));

    uint32_t count = 99;
    EXPECT_EQ(1u, m_owner.call([&] { return m_client->send("hello", 5, count); }));
    EXPECT_EQ(5u, count);
    char text[6] = {};
    ASSERT_TRUE(readAll(m_peer->fd(), text, 5));
    EXPECT_STREQ("hello", text);
    EXPECT_TRUE(m_owner.waitForEvent("sent u7 s0"));

    ASSERT_EQ(3, ::send(m_peer->fd(), "abc", 3, 0));
    ASSERT_TRUE(m_owner.waitForEvent("received u7 s0"));
    char in[16] = {};
    count = 99;
    EXPECT_EQ(0u, m_owner.call([&] { return m_client->receive(in, sizeof(in), count); }));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(0, std::memcmp("abc", in, 3));

    VCOM::VComSocketAddress peer;
    uint16_t port = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_client->getDestination(peer, port); }));
    EXPECT_EQ(m_listener.localPort(), port);
    EXPECT_EQ(127, peer.address().addr[0]);
}

TEST_F(VComTcpClientSocketTest, ConnectWhileConnectingAnswersPending)
{
    m_client.reset(m_owner.call([] { return new VComTcpClientSocket(); }));
    m_owner.watch(*m_client);
    // Both calls in one step: the connect event cannot be delivered in between.
    const auto answers = m_owner.call([this] {
        (void)m_client->start(1, m_owner);
        const JLIB::JResult first = m_client->connect(loopbackAddress(), loopbackAddress(), m_listener.localPort());
        return std::make_pair(first, m_client->connect(loopbackAddress(), loopbackAddress(), m_listener.localPort()));
    });
    EXPECT_TRUE(answers.first == 0 || answers.first == 1) << answers.first;
    EXPECT_EQ(1u, answers.second);
    EXPECT_TRUE(m_owner.waitForEvent("connected u1 s0"));
}

TEST_F(VComTcpClientSocketTest, RefusedConnectLeavesAnIdleObjectThatConnectsAgain)
{
    m_client.reset(m_owner.call([] { return new VComTcpClientSocket(); }));
    m_owner.watch(*m_client);
    const uint16_t closedPort = vsocktest::pickPort(SOCK_STREAM);
    const JLIB::JResult r = m_owner.call([&] {
        (void)m_client->start(3, m_owner);
        return m_client->connect(loopbackAddress(), loopbackAddress(), closedPort);
    });
    if (r == 1) {
        EXPECT_TRUE(m_owner.waitForEvent("connectionFailed 0 u3 s0"));
    } else {
        EXPECT_TRUE(JLIB::isFailure(r)) << r;  // refused at once: no event
    }
    ASSERT_TRUE(waitFor([&] { return m_owner.call([&] { return m_client->getSocketStatus(); }) == 0; }));
    EXPECT_EQ(-1, m_owner.call([&] { return m_client->getSocketId(); }));

    const JLIB::JResult again =
        m_owner.call([&] { return m_client->connect(loopbackAddress(), loopbackAddress(), m_listener.localPort()); });
    EXPECT_TRUE(again == 0 || again == 1) << again;
    EXPECT_TRUE(m_owner.waitForEvent("connected u3 s0"));
}

TEST_F(VComTcpClientSocketTest, RefusesOperationsOutsideTheOpenState)
{
    m_client.reset(m_owner.call([] { return new VComTcpClientSocket(); }));
    struct Case {
        const char* name;
        bool nullBuffer;
        uint32_t length;
        JLIB::JResult send;
        JLIB::JResult receive;
    };
    const Case cases[] = {
        {"idle", false, 4, 0x80000081u, 0x80000081u},
        {"null data", true, 4, 0x80000080u, 0x80000080u},
        {"zero length", false, 0, 0x80000080u, 0x80000081u},
    };
    char buffer[4] = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char* p = c.nullBuffer ? nullptr : buffer;
        uint32_t count = 0x5A5A5A5A;
        EXPECT_EQ(c.send, m_owner.call([&] { return m_client->send(p, c.length, count); }));
        EXPECT_EQ(0u, count);
        count = 0x5A5A5A5A;
        EXPECT_EQ(c.receive, m_owner.call([&] { return m_client->receive(p, c.length, count); }));
        EXPECT_EQ(0u, count);
    }
    VCOM::VComSocketAddress address;
    uint16_t port = 0;
    EXPECT_EQ(0x80000081u, m_owner.call([&] { return m_client->getDestination(address, port); }));
    EXPECT_EQ(0x80000081u, m_owner.call([&] { return m_client->runCallback(m_owner); }));
}

TEST_F(VComTcpClientSocketTest, TakesWhatFitsAndSendsItInBlocksOf10000)
{
    connectClient();
    std::vector<uint8_t> data(25000);
    std::iota(data.begin(), data.end(), 0);
    uint32_t count = 0;
    EXPECT_EQ(0x80000003u, m_owner.call([&] { return m_client->send(data.data(), 25000, count); }));
    EXPECT_EQ(15000u, count);

    std::vector<uint8_t> got(15000);
    ASSERT_TRUE(readAll(m_peer->fd(), got.data(), got.size()));
    EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
    ASSERT_TRUE(m_owner.waitForEvent("sent u7 s0", 2));
    EXPECT_EQ(15000u, m_owner.call([&] { return m_client->getRemainSendBuff(); }));
    EXPECT_EQ(2, m_owner.count("sent u7 s0"));
}

TEST_F(VComTcpClientSocketTest, ReceiveAnswers2WhileMoreDataWaits)
{
    connectClient();
    std::vector<int> answers;
    uint32_t total = 0;
    m_owner.setHook([&](const std::string& name, uint32_t, signed char) {
        if (name != "received") return;
        char buffer[100];
        uint32_t count = 0;
        answers.push_back(static_cast<int>(m_client->receive(buffer, sizeof(buffer), count)));
        total += count;
    });
    std::vector<char> data(300, 'x');
    ASSERT_EQ(300, ::send(m_peer->fd(), data.data(), data.size(), 0));
    ASSERT_TRUE(waitFor([&] { return m_owner.call([&] { return total; }) == 300; }));
    const std::vector<int> seen = m_owner.call([&] { return answers; });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(2, seen.front());
    EXPECT_EQ(0, seen.back());
    m_owner.setHook(nullptr);
}

// A stream that stays full holds the received block back; nothing is lost.
TEST_F(VComTcpClientSocketTest, SlowReaderGetsEveryByteInOrder)
{
    connectClient();
    std::vector<uint8_t> got;
    m_owner.setHook([&](const std::string& name, uint32_t, signed char) {
        if (name != "received") return;
        uint8_t buffer[1000];
        uint32_t count = 0;
        (void)m_client->receive(buffer, sizeof(buffer), count); // 2 means another onReceived follows
        got.insert(got.end(), buffer, buffer + count);
    });
    std::vector<uint8_t> data(60000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 256);
    std::thread writer([&] { (void)::send(m_peer->fd(), data.data(), data.size(), 0); });
    const bool all = waitFor([&] { return m_owner.call([&] { return got.size(); }) >= data.size(); });
    writer.join();
    ASSERT_TRUE(all);
    EXPECT_TRUE(m_owner.call([&] { return got == data; }));
    m_owner.setHook(nullptr);
}

// poll may call the socket readable and the read then find nothing; the connection hears on.
TEST_F(VComTcpClientSocketTest, KeepsReceivingAfterAWakeUpThatFindsNothing)
{
    vsocktest::StandInReset standIns;
    connectClient();
    vsocktest::wouldBlockOnce(vsocktest::descriptorOf(m_owner.call([this] { return m_client->getSocketId(); })));
    ASSERT_EQ(3, ::send(m_peer->fd(), "abc", 3, 0));
    ASSERT_TRUE(waitFor(vsocktest::wouldBlockTaken));
    ASSERT_TRUE(m_owner.waitForEvent("received u7 s0"));
    char in[8] = {};
    uint32_t count = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_client->receive(in, sizeof(in), count); }));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(0, std::memcmp("abc", in, 3));
}

TEST_F(VComTcpClientSocketTest, PeerCloseGivesDisconnectedAndAnIdleObject)
{
    connectClient();
    m_peer.reset();
    ASSERT_TRUE(m_owner.waitForEvent("disconnected u7 s0"));
    EXPECT_EQ(0, m_owner.call([&] { return m_client->getSocketStatus(); }));
    EXPECT_FALSE(m_owner.call([&] { return m_client->isConnected(); }));
    EXPECT_EQ(7u, m_owner.call([&] { return m_client->getUserId(); }));  // kept over a close
}

TEST_F(VComTcpClientSocketTest, DisconnectClosesInTheNextRunCallback)
{
    connectClient();
    EXPECT_EQ(0u, m_owner.call([&] { return m_client->disconnect(); }));
    ASSERT_TRUE(m_owner.waitForEvent("disconnected u7 s0"));
    EXPECT_EQ(-1, m_owner.call([&] { return m_client->getSocketId(); }));
    EXPECT_TRUE(seesClose(m_peer->fd()));
}

}  // namespace
