// The multiplexer over real socket objects on 127.0.0.1, owned and delivered on the test owner's
// thread: against a scripted raw peer, and two multiplexers talking to each other.
#include "comctrl/Core/comctrl_ESP.h"

#include <netinet/in.h>
#include <netinet/tcp.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PortTestSupport.h"
#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_cnp.h"

using namespace comctrltest;
using namespace vcomtest;
using ComControl::ESP;
using OnReceive = ScriptedObserver::OnReceive;
using vsocktest::RawSocket;

namespace {

constexpr const char* kNames[] = {"E1", "M", "F2"};

// One end of a link: a multiplexer with three open ports on a socket object's connection.
struct LinkEnd {
    explicit LinkEnd(uint32_t capacity) : esp(3, capacity) {}
    // Owner thread.
    void attach(VCOM::IVCom* port)
    {
        (void)esp.setCorePort(port);
        for (uint32_t i = 0; i < 3; ++i) {
            (void)esp.registerVPortObserver(i, kNames[i], &observers[i]);
            (void)esp.openPort(i);
        }
    }
    ESP esp;
    ScriptedObserver observers[3];
    std::vector<JLIB::JResult> receivePasses;  // results of onReceived, owner thread
    bool ended = false;
};

class ESPLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startLayers());
        ASSERT_TRUE(m_listener.bindLoopback(0));
        ASSERT_EQ(0, ::listen(m_listener.fd(), 4));
    }

    // Connects a client socket object to the raw peer; its events drive the link end.
    void connect(uint32_t capacity)
    {
        m_end = std::make_unique<LinkEnd>(capacity);
        m_client.reset(m_owner.call([] { return new VCOM::VComTcpClientSocket(); }));
        m_owner.watch(*m_client);
        m_owner.setHook([this](const std::string& name, uint32_t, signed char) {
            if (name == "connected") m_end->attach(m_client.get());
            if (name == "received") m_end->receivePasses.push_back(m_end->esp.onReceived());
            if (name == "sent") (void)m_end->esp.onSent();
            if (name == "disconnected") {
                (void)m_end->esp.setCorePort(nullptr);
                m_end->ended = true;
            }
        });
        const JLIB::JResult r = m_owner.call([this] {
            (void)m_client->start(7, m_owner);
            return m_client->connect(loopbackAddress(), loopbackAddress(), m_listener.localPort());
        });
        ASSERT_TRUE(r == 0 || r == 1) << r;
        ASSERT_TRUE(m_owner.waitForEvent("connected u7 s0"));
        m_peer = std::make_unique<RawSocket>(RawSocket::Adopt{}, ::accept(m_listener.fd(), nullptr, nullptr));
        ASSERT_GE(m_peer->fd(), 0);
        const int one = 1;
        (void)::setsockopt(m_peer->fd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    }

    void TearDown() override
    {
        if (m_client) {
            m_owner.call([this] { (void)m_client->stop(); });
            m_owner.unwatchAll();
            m_owner.setHook(nullptr);
            m_owner.call([this] {
                m_client.reset();
                m_end.reset();
            });
        }
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    void peerSend(const std::string& bytes) { ASSERT_EQ(static_cast<ssize_t>(bytes.size()), ::send(m_peer->fd(), bytes.data(), bytes.size(), 0)); }
    std::string peerRead(size_t length)
    {
        std::string bytes(length, '\0');
        return readAll(m_peer->fd(), bytes.data(), length) ? bytes : std::string("(nothing)");
    }
    // What an observer has received, read on the owner thread.
    std::vector<std::string> receivedBy(int port)
    {
        return m_owner.call([this, port] { return m_end->observers[port].received; });
    }

    RawSocket m_listener{SOCK_STREAM};
    TestOwner m_owner;
    std::unique_ptr<VCOM::VComTcpClientSocket> m_client;
    std::unique_ptr<LinkEnd> m_end;  // owner thread
    std::unique_ptr<RawSocket> m_peer;
};

// An event-port command as a device would send it.
std::string command(uint32_t id, const char* argument)
{
    uint8_t buffer[64];
    uint32_t pos = 0;
    const uint32_t length = static_cast<uint32_t>(std::strlen(argument)) + 1;
    EXPECT_EQ(0u, ComControl::cnpMakeHeaderAndCommand(buffer, sizeof(buffer), &pos, id, 1));
    EXPECT_EQ(0u, ComControl::cnpMakeAddPrmTypeAndData(buffer, sizeof(buffer), &pos, ComControl::kCnpTypeText, argument, length));
    EXPECT_EQ(0u, ComControl::cnpMakeFinish(buffer, pos));
    return std::string(reinterpret_cast<const char*>(buffer), pos);
}

}  // namespace

TEST_F(ESPLinkTest, ScriptedPeerGoldenAndMalformedFrames)
{
    connect(64);
    m_owner.call([this] { m_end->observers[0].onReceive = OnReceive::Answer; });
    const std::string hello = command(0x030101, "hello");

    for (char c : frame("E1", hello)) peerSend(std::string(1, c));  // one byte per write
    EXPECT_EQ(frame("E1", "re:" + hello), peerRead(8 + 3 + hello.size()));

    peerSend(frame("M", "") + frame("E1", "two") + frame("ZZZZ", "dropped"));  // one write
    EXPECT_EQ(frame("E1", "re:two"), peerRead(8 + 6));
    ASSERT_TRUE(waitFor([&] { return receivedBy(1).size() == 1; }));
    EXPECT_EQ(std::vector<std::string>{""}, receivedBy(1));

    peerSend(frame("M", std::string(64, 'c')));  // exactly the capacity
    ASSERT_TRUE(waitFor([&] { return receivedBy(1).size() == 2; }));
    EXPECT_EQ(std::string(64, 'c'), receivedBy(1)[1]);

    peerSend(frame("M", std::string(65, 'd')));  // one byte more ends the link
    EXPECT_TRUE(seesClose(m_peer->fd()));
    ASSERT_TRUE(waitFor([&] { return m_owner.call([this] { return m_end->ended; }); }));
    EXPECT_EQ(2u, receivedBy(1).size());
    EXPECT_EQ(0u, m_owner.call([this] { return m_end->esp.queuedBytes(); }));
    EXPECT_FALSE(m_owner.call([this] { return m_end->esp.isPortOpened(0); }));
}

TEST_F(ESPLinkTest, HeldFrameWaitsForTheNextSendPass)
{
    connect(256);
    m_owner.call([this] {
        m_end->observers[0].onReceive = OnReceive::Hold;
        m_end->observers[0].reactions = 1;
    });
    peerSend(frame("E1", "one") + frame("E1", "two"));
    ASSERT_TRUE(waitFor([&] {
        return m_owner.call([this] { return !m_end->receivePasses.empty() && m_end->receivePasses.back() == 1; });
    }));
    EXPECT_EQ(std::vector<std::string>{"one"}, receivedBy(0));

    // Sending on another port makes the socket report a send, whose pass delivers the held frame.
    EXPECT_EQ(0u, m_owner.call([this] {
        m_end->observers[2].outbox.push_back("go");
        return m_end->esp.writeRequest("F2");
    }));
    EXPECT_EQ(frame("F2", "go") + frame("E1", "re:one") + frame("E1", "re:two"), peerRead(10 + 14 + 14));
    EXPECT_EQ((std::vector<std::string>{"one", "one", "two"}), receivedBy(0));
}

TEST_F(ESPLinkTest, FailingComponentEndsTheLink)
{
    connect(64);
    m_owner.call([this] { m_end->observers[1].onReceive = OnReceive::Fail; });
    peerSend(frame("M", "x"));
    EXPECT_TRUE(seesClose(m_peer->fd()));
    ASSERT_TRUE(waitFor([&] { return m_owner.call([this] { return m_end->ended; }); }));
}

// Two multiplexers over a client and a server socket object: large messages both ways, the
// sender asking again after each send pass while its component still holds data.
TEST(ESPPairTest, TwoMultiplexersExchangeLargeMessagesOverSocketObjects)
{
    ASSERT_TRUE(startLayers());
    TestOwner owner;
    const uint16_t port = vsocktest::pickPort(SOCK_STREAM);
    auto client = std::make_unique<LinkEnd>(0x100000);
    auto server = std::make_unique<LinkEnd>(0x100000);
    std::unique_ptr<VCOM::VComTcpClientSocket> clientSocket(owner.call([] { return new VCOM::VComTcpClientSocket(); }));
    std::unique_ptr<VCOM::VComTcpServerSocket> serverSocket(owner.call([] { return new VCOM::VComTcpServerSocket(1); }));
    owner.watch(*clientSocket);
    owner.watch(*serverSocket);
    owner.setHook([&](const std::string& name, uint32_t user, signed char session) {
        LinkEnd& end = user == 1 ? *client : *server;
        if (name == "connected") client->attach(clientSocket.get());
        if (name == "accepted 1") server->attach(serverSocket->getSession(1));
        if (user == 2 && session == 0) return;
        if (name == "received") end.receivePasses.push_back(end.esp.onReceived());
        if (name == "sent") {
            (void)end.esp.onSent();
            if (!end.observers[2].outbox.empty()) (void)end.esp.writeRequest("F2");
        }
    });
    ASSERT_EQ(1u, owner.call([&] {
        (void)serverSocket->start(2, owner);
        return serverSocket->listen(loopbackAddress(), port);
    }));
    const JLIB::JResult r = owner.call([&] {
        (void)clientSocket->start(1, owner);
        return clientSocket->connect(loopbackAddress(), loopbackAddress(), port);
    });
    ASSERT_TRUE(r == 0 || r == 1) << r;
    ASSERT_TRUE(owner.waitForEvent("connected u1 s0"));
    ASSERT_TRUE(owner.waitForEvent("accepted 1 u2 s0"));

    std::vector<std::string> messages;
    for (int i = 0; i < 6; ++i) {
        std::string m(200000 + i, '\0');
        for (size_t k = 0; k < m.size(); ++k) m[k] = static_cast<char>('a' + (k * 7 + i) % 26);
        messages.push_back(m);
    }
    owner.call([&] {
        server->observers[2].onReceive = OnReceive::Answer;
        for (const std::string& m : messages) client->observers[2].outbox.push_back(m);
        return client->esp.writeRequest("F2");
    });
    ASSERT_TRUE(waitFor([&] { return owner.call([&] { return client->observers[2].received.size(); }) == messages.size(); },
                        std::chrono::seconds(20)));
    owner.call([&] {
        EXPECT_EQ(messages, server->observers[2].received);
        for (size_t i = 0; i < messages.size(); ++i) EXPECT_EQ("re:" + messages[i], client->observers[2].received[i]);
    });

    owner.call([&] {
        (void)clientSocket->stop();
        (void)serverSocket->stop();
    });
    owner.unwatchAll();
    owner.setHook(nullptr);
    owner.call([&] {
        clientSocket.reset();
        serverSocket.reset();
        client.reset();
        server.reset();
    });
    EXPECT_EQ(0, owner.offThreadEvents());
}
