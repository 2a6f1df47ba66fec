#include "VUviRido/Socket/VComUdpSocket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "VComTestOwner.h"

using namespace vcomtest;
using vsocktest::RawSocket;
using VCOM::VComUdpSocket;

namespace {

class VComUdpSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startLayers());
        ASSERT_TRUE(m_peer.bindLoopback(0));
        m_udp.reset(m_owner.call([] { return new VComUdpSocket(); }));
        m_owner.watch(*m_udp);
        m_port = vsocktest::pickPort(SOCK_DGRAM);
        ASSERT_EQ(0u, m_owner.call([this] {
            (void)m_udp->start(9, m_owner);
            return m_udp->listen(loopbackAddress(), m_port);
        }));
    }

    void TearDown() override
    {
        m_owner.call([this] { (void)m_udp->stop(); });
        m_owner.unwatchAll();
        m_owner.call([this] { m_udp.reset(); });
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    RawSocket m_peer{SOCK_DGRAM};
    TestOwner m_owner;
    std::unique_ptr<VComUdpSocket> m_udp;
    uint16_t m_port = 0;
};

TEST_F(VComUdpSocketTest, ReceivesWithSourceAndRepliesOneDatagramAtATime)
{
    ASSERT_TRUE(m_peer.sendTo(m_port, "request", 7));
    ASSERT_TRUE(m_owner.waitForEvent("received u9 s0"));
    char in[64] = {};
    uint32_t count = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->receive(in, sizeof(in), count); }));
    EXPECT_EQ(7u, count);
    EXPECT_EQ(0, std::memcmp("request", in, 7));
    VCOM::VComSocketAddress source;
    uint16_t sourcePort = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->receiveFrom(source, sourcePort); }));
    EXPECT_EQ(m_peer.localPort(), sourcePort);

    // A second send before onSent and an oversized one are refused; one in flight at a time.
    const auto answers = m_owner.call([&] {
        uint32_t c1 = 0, c2 = 0, c3 = 0;
        std::vector<char> big(1473, 'b');
        const JLIB::JResult sendTo = m_udp->sendTo(source, sourcePort);
        const JLIB::JResult first = m_udp->send("reply", 5, c1);
        const JLIB::JResult second = m_udp->send("again", 5, c2);
        const uint32_t remain = m_udp->getRemainSendBuff();
        return std::vector<uint32_t>{sendTo, first, c1, second, c2, m_udp->send(big.data(), 1473, c3), c3, remain};
    });
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 5, 0x80000003u, 0, 0x80000003u, 0, 0}), answers);
    char reply[8] = {};
    ASSERT_EQ(5, ::recv(m_peer.fd(), reply, sizeof(reply), 0));
    EXPECT_STREQ("reply", reply);
    ASSERT_TRUE(m_owner.waitForEvent("sent u9 s0"));
    EXPECT_EQ(1472u, m_owner.call([&] { return m_udp->getRemainSendBuff(); }));
}

TEST_F(VComUdpSocketTest, ReceiveWithNothingWaitingClearsTheSource)
{
    ASSERT_TRUE(m_peer.sendTo(m_port, "x", 1));
    ASSERT_TRUE(m_owner.waitForEvent("received u9 s0"));
    char in[8];
    uint32_t count = 0;
    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->receive(in, sizeof(in), count); }));
    count = 0x5A5A5A5A;
    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->receive(in, sizeof(in), count); }));
    EXPECT_EQ(0u, count);
    VCOM::VComSocketAddress source(NETC_AF_INET, "10.1.2.3");
    uint16_t port = 77;
    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->receiveFrom(source, port); }));
    EXPECT_EQ(0, port);
    EXPECT_EQ(0, source.address().addr[0]);

    EXPECT_EQ(0u, m_owner.call([&] { return m_udp->disconnect(); }));  // changes nothing
    EXPECT_TRUE(m_owner.call([&] { return m_udp->isConnected(); }));
}

// A peer that sends a datagram longer than the owner's buffer must not block those behind it.
TEST_F(VComUdpSocketTest, OversizedDatagramIsDiscardedOnceAndReceivingGoesOn)
{
    std::vector<char> big(200, 'B');
    ASSERT_TRUE(m_peer.sendTo(m_port, big.data(), big.size()));
    ASSERT_TRUE(m_peer.sendTo(m_port, "small", 5));
    ASSERT_TRUE(m_owner.waitForEvent("received u9 s0"));
    char in[100] = {};
    uint32_t count = 0;
    const JLIB::JResult first = m_owner.call([&] {
        JLIB::JResult r = 0;
        // Both datagrams may not be queued yet; the long one comes first.
        for (int i = 0; i < 1000 && r == 0 && count == 0; ++i) r = m_udp->receive(in, sizeof(in), count);
        return r;
    });
    EXPECT_EQ(0x80000084u, first);
    EXPECT_EQ(0u, count);
    ASSERT_TRUE(waitFor([&] {
        return m_owner.call([&] { return m_udp->receive(in, sizeof(in), count); }) == 0 && count == 5;
    }));
    EXPECT_EQ(0, std::memcmp("small", in, 5));
}

TEST_F(VComUdpSocketTest, RefusesWrongStateAndIpv6Listen)
{
    VComUdpSocket idle;
    uint32_t count = 0x5A5A5A5A;
    char buffer[4] = {};
    EXPECT_EQ(0x80000081u, idle.send(buffer, 4, count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0x80000081u, idle.receive(buffer, 4, count));
    EXPECT_EQ(0x80000081u, idle.sendTo(loopbackAddress(), 1));
    EXPECT_EQ(0x80000080u, idle.send(nullptr, 4, count));
    EXPECT_EQ(0x80000080u, idle.listen(VCOM::VComSocketAddress(NETC_AF_INET6, "::1"), 0));
    EXPECT_EQ(0, idle.getSocketStatus());
    EXPECT_EQ(0x80000081u, m_owner.call([&] { return m_udp->listen(loopbackAddress(), m_port); }));
}

}  // namespace
