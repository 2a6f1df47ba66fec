#include "jsdp/JsdpComm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/JsdpCallbackDataSet.h"
#include "jsdp/jsdp_address.h"

using namespace JSDP;
using jsdptest::DatagramWriter;
using jsdptest::endpoint;
using jsdptest::ipv4;
using jsdptest::RawUdp;
using jsdptest::waitFor;

namespace {

constexpr const char* kGroup = "239.192.0.64";

// A line on 127.0.0.1 whose socket events arrive through the manager's record set, as they do in
// the service.
class JsdpCommTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(jsdptest::startLayers());
        static const jsdptest::Locks locks = jsdptest::makeLocks();
        ASSERT_NE(0, locks.main);
        ASSERT_NE(0, locks.socket);
        ASSERT_TRUE(jsdptest::attachManager(locks));
        ASSERT_EQ(0u, m_line.initialize(0, T_JSDP_MANAGE::kSendQueueCapacity));
        m_line.connectCallbackPair(gl_manage.callbackSet().getPair(0));
        m_port = jsdptest::pickPort();
        ASSERT_NE(0, m_port);
    }
    void TearDown() override
    {
        m_line.finalize();
        gl_manage.finalize();
    }

    void open(const char* address = "127.0.0.1")
    {
        uint8_t receive = 0;
        uint8_t send = 0;
        ASSERT_EQ(0u, m_line.doInterval(ipv4(address), m_port, &receive, &send));
        EXPECT_EQ(1, receive);
        EXPECT_EQ(1, send);
        ASSERT_EQ(JsdpComm::kActive, m_line.getStatus());
    }
    // A closed socket leaves its port only once the socket layer's task has woken from its poll, so
    // a new one on the same port is tried until that happened.
    void reopen()
    {
        ASSERT_TRUE(waitFor([&] {
            m_line.reset();
            uint8_t receive = 0;
            uint8_t send = 0;
            return m_line.doInterval(ipv4("127.0.0.1"), m_port, &receive, &send) == 0;
        }));
        ASSERT_EQ(JsdpComm::kActive, m_line.getStatus());
    }
    // Takes over the socket events, as the socket-event pass does, until the condition holds.
    template <typename Predicate>
    bool pump(Predicate done)
    {
        return waitFor([&] {
            gl_manage.callbackSet().copyWorks();
            uint8_t receive = 0;
            uint8_t send = 0;
            m_line.runSocketCallback(gl_manage.callbackSet(), &receive, &send);
            return done();
        });
    }
    struct Read {
        JLIB::JResult result = 0;
        netc_endpoint source = {};
        uint8_t flags = 0;
        _JSDP_HOST_INFO host = {};
        uint8_t more = 0xFF;
    };
    Read receive(const char* lineAddress = "127.0.0.1")
    {
        Read r;
        r.result = m_line.doReceive(ipv4(lineAddress), &r.source, &r.flags, &r.host, &r.more);
        return r;
    }
    // One pass of the send line, then the completion it waits for.
    void sendOne()
    {
        uint8_t first = 0xFF;
        uint8_t second = 0xFF;
        ASSERT_EQ(0u, m_line.doSend(&first, &second));
        EXPECT_EQ(0, first);
        EXPECT_EQ(0, second);
        ASSERT_EQ(T_JSDP_LINE_TX_INFO::kWaiting, m_line.getSendState());
        ASSERT_TRUE(pump([&] { return m_line.getSendState() == T_JSDP_LINE_TX_INFO::kCompleted; }));
    }

    JsdpComm m_line;
    uint16_t m_port = 0;
};

}  // namespace

TEST_F(JsdpCommTest, ReadsOneDatagramPerCallAndReportsWhatIsPending)
{
    open();
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc", {1, 2}, 0x81).bytes()));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc").set(0, 'X').bytes()));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc").setLength(29).bytes()));
    ASSERT_TRUE(pump([&] { return m_line.getPendingCount() == 3; }));

    Read accepted = receive();
    EXPECT_EQ(0u, accepted.result);
    EXPECT_EQ(1, accepted.more);
    EXPECT_EQ(0x81, accepted.flags);
    EXPECT_EQ(peer.port(), accepted.source.port);
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("127.0.0.2"), accepted.source.addr));
    EXPECT_EQ(1, accepted.host.role);
    EXPECT_EQ(1, accepted.host.status);
    EXPECT_EQ(3, accepted.host.nameLength);
    EXPECT_EQ(0, std::memcmp("svc", accepted.host.name, 3));
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("127.0.0.2"), accepted.host.sourceAddress));
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("127.0.0.1"), accepted.host.receivingAddress));
    EXPECT_TRUE(compareVSOCK_ADDR(ipv4("192.168.1.20"), accepted.host.address));

    Read rejected = receive();
    EXPECT_EQ(0u, rejected.result);
    EXPECT_EQ(1, rejected.more);
    EXPECT_EQ(0, rejected.host.nameLength);  // no record from a datagram that fails the checks

    Read unaccounted = receive();
    EXPECT_EQ(0u, unaccounted.result);
    EXPECT_EQ(0, unaccounted.more);
    EXPECT_EQ(0, unaccounted.host.nameLength);
    EXPECT_EQ(0, m_line.getPendingCount());
    EXPECT_EQ(JsdpComm::kActive, m_line.getStatus());
}

TEST_F(JsdpCommTest, DropsItsOwnDatagrams)
{
    open();
    RawUdp self;
    ASSERT_TRUE(self.bind("127.0.0.1", 0));  // the line's own address
    ASSERT_TRUE(self.sendTo("127.0.0.1", m_port, DatagramWriter("svc").bytes()));
    ASSERT_TRUE(pump([&] { return m_line.getPendingCount() == 1; }));
    Read r = receive();
    EXPECT_EQ(0u, r.result);
    EXPECT_EQ(0, r.host.nameLength);
    EXPECT_EQ(0, r.source.port);  // cleared
}

TEST_F(JsdpCommTest, OversizedDatagramIsDroppedAndTheSocketStays)
{
    open();
    const int32_t socket = m_line.getSockId();
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    std::vector<uint8_t> exact = DatagramWriter("svc").bytes();
    exact.resize(kReceiveMax, 0xEE);  // bytes after 6 + L are ignored
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, std::vector<uint8_t>(kReceiveMax + 1, 0xEE)));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, exact));
    ASSERT_TRUE(pump([&] { return m_line.getPendingCount() == 2; }));

    Read dropped = receive();
    EXPECT_EQ(0u, dropped.result);
    EXPECT_EQ(1, dropped.more);
    EXPECT_EQ(0, dropped.host.nameLength);
    EXPECT_EQ(JsdpComm::kActive, m_line.getStatus());
    EXPECT_EQ(socket, m_line.getSockId());

    Read read = receive();
    EXPECT_EQ(0u, read.result);
    EXPECT_EQ(3, read.host.nameLength);
    EXPECT_EQ(0, read.more);
}

TEST_F(JsdpCommTest, NoticesWithoutDatagramsEndInNothingPending)
{
    open();
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc").bytes()));
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc").bytes()));
    ASSERT_TRUE(pump([&] { return m_line.getPendingCount() == 2; }));
    uint8_t buffer[kReceiveMax];
    ASSERT_GT(vsock_recvUdp(m_line.getSockId(), buffer, sizeof(buffer), nullptr, -1), 0);  // taken behind its back
    ASSERT_GT(vsock_recvUdp(m_line.getSockId(), buffer, sizeof(buffer), nullptr, -1), 0);
    Read r = receive();
    EXPECT_EQ(0u, r.result);
    EXPECT_EQ(0, r.more);
    EXPECT_EQ(0, m_line.getPendingCount());
    EXPECT_EQ(JsdpComm::kActive, m_line.getStatus());
}

TEST_F(JsdpCommTest, SendsQueuedRecordsOneAfterAnother)
{
    open();
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    const std::vector<uint8_t> one = DatagramWriter("one").bytes();
    const std::vector<uint8_t> two = DatagramWriter("two").bytes();
    JsdpTxData first;
    JsdpTxData second;
    const netc_endpoint to = endpoint("127.0.0.2", peer.port());
    ASSERT_EQ(0u, m_line.requestSendWithSet(&first, to, one.data(), static_cast<uint32_t>(one.size())));
    ASSERT_EQ(0u, m_line.requestSendWithSet(&second, to, two.data(), static_cast<uint32_t>(two.size())));
    EXPECT_EQ(0x80000000u, m_line.requestSend(&first));  // still queued
    EXPECT_EQ(0x80000000u, m_line.requestSendWithSet(&first, to, two.data(), 3));
    EXPECT_EQ(2u, m_line.getQueuedCount());
    EXPECT_EQ(one.data(), first.getData());

    sendOne();
    EXPECT_TRUE(second.IsSending());
    sendOne();
    uint8_t a = 0;
    uint8_t b = 0;
    ASSERT_EQ(0u, m_line.doSend(&a, &b));
    EXPECT_EQ(T_JSDP_LINE_TX_INFO::kIdle, m_line.getSendState());
    EXPECT_TRUE(first.IsIdle());
    EXPECT_TRUE(second.IsIdle());
    EXPECT_EQ(0u, m_line.getQueuedCount());

    std::string from;
    EXPECT_EQ(one, peer.receive(&from));
    EXPECT_EQ("127.0.0.1", from);  // sent from the line's address
    EXPECT_EQ(two, peer.receive());
}

TEST_F(JsdpCommTest, DirectedBroadcastReachesASocketBoundToIt)
{
    open();
    RawUdp listener;
    const uint16_t port = jsdptest::pickPort();
    ASSERT_TRUE(listener.bind("127.255.255.255", port));
    const std::vector<uint8_t> datagram = DatagramWriter("svc").bytes();
    JsdpTxData record;
    ASSERT_EQ(0u, m_line.requestSendWithSet(&record, endpoint("127.255.255.255", port), datagram.data(),
                                            static_cast<uint32_t>(datagram.size())));
    sendOne();
    EXPECT_EQ(datagram, listener.receive());
}

TEST_F(JsdpCommTest, JoinsAGroupOnTheLoopbackAndSendsAndReceivesThroughIt)
{
    open();
    ASSERT_EQ(0u, m_line.addMulticast(ipv4(kGroup)));
    RawUdp member;
    const uint16_t port = jsdptest::pickPort();
    ASSERT_TRUE(member.bind(kGroup, port));
    if (!member.joinOnLoopback(kGroup)) GTEST_SKIP() << "this machine refuses group membership on the loopback";

    const std::vector<uint8_t> datagram = DatagramWriter("svc").bytes();
    JsdpTxData record;
    ASSERT_EQ(0u, m_line.requestSendWithSet(&record, endpoint(kGroup, port), datagram.data(),
                                            static_cast<uint32_t>(datagram.size())));
    sendOne();
    EXPECT_EQ(datagram, member.receive());

    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    ASSERT_TRUE(peer.joinOnLoopback(kGroup));
    ASSERT_TRUE(peer.sendTo(kGroup, m_port, DatagramWriter("grp").bytes()));
    ASSERT_TRUE(pump([&] { return m_line.getPendingCount() == 1; }));
    EXPECT_EQ(3, receive().host.nameLength);
}

TEST_F(JsdpCommTest, GroupJoinNeedsAnInterfaceHoldingTheLineAddress)
{
    open("127.0.0.2");  // inside the loopback's network, but no interface lists it
    EXPECT_EQ(0x80000000u, m_line.addMulticast(ipv4(kGroup)));
}

TEST_F(JsdpCommTest, InvalidSendResetsTheLineAndFreesEveryRecord)
{
    open();
    const std::vector<uint8_t> datagram = DatagramWriter("svc").bytes();
    JsdpTxData invalid;
    JsdpTxData behind;
    const netc_endpoint to = endpoint("127.0.0.2", 9);
    ASSERT_EQ(0u, m_line.requestSendWithSet(&invalid, to, nullptr, 0));  // the socket layer refuses null data
    ASSERT_EQ(0u, m_line.requestSendWithSet(&behind, to, datagram.data(), static_cast<uint32_t>(datagram.size())));
    uint8_t first = 0;
    uint8_t second = 0;
    EXPECT_EQ(0x80000008u, m_line.doSend(&first, &second));
    EXPECT_EQ(JsdpComm::kNoSocketYet, m_line.getStatus());
    EXPECT_EQ(-1, m_line.getSockId());
    EXPECT_TRUE(invalid.IsIdle());
    EXPECT_TRUE(behind.IsIdle());
    EXPECT_EQ(0u, m_line.getQueuedCount());
    EXPECT_EQ(0x80000008u, m_line.doSend(&first, &second));  // no socket now
    Read r = receive();
    EXPECT_EQ(0x80000008u, r.result);
    reopen();  // the next interval pass makes a new one
}

TEST_F(JsdpCommTest, RefusedSocketIsNotRetriedUntilReset)
{
    netc_addr v6 = {};
    v6.family = NETC_AF_INET6;
    v6.addr[15] = 1;
    uint8_t receive = 0;
    uint8_t send = 0;
    EXPECT_EQ(0x80000001u, m_line.doInterval(v6, m_port, &receive, &send));
    EXPECT_EQ(JsdpComm::kCreationFailed, m_line.getStatus());
    EXPECT_EQ(0u, m_line.doInterval(ipv4("127.0.0.1"), m_port, &receive, &send));
    EXPECT_EQ(JsdpComm::kCreationFailed, m_line.getStatus());
    EXPECT_EQ(0, receive);
    EXPECT_EQ(-1, m_line.getSockId());
    reopen();
}

TEST_F(JsdpCommTest, EventsOfAFormerSocketNeverReachTheNewOne)
{
    open();
    RawUdp peer;
    ASSERT_TRUE(peer.bind("127.0.0.2", 0));
    const int before = jsdptest::notifications().load();
    ASSERT_TRUE(peer.sendTo("127.0.0.1", m_port, DatagramWriter("svc").bytes()));
    ASSERT_TRUE(waitFor([&] { return jsdptest::notifications().load() > before; }));  // recorded, not taken over
    reopen();  // the socket layer hands out the lowest free id: most likely the same one
    gl_manage.callbackSet().copyWorks();
    uint8_t receive = 0;
    uint8_t send = 0;
    m_line.runSocketCallback(gl_manage.callbackSet(), &receive, &send);
    EXPECT_EQ(0, receive);
    EXPECT_EQ(0, m_line.getPendingCount());
}
