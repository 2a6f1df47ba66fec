#include "vsock/vsock.h"

#include <poll.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <iterator>
#include <thread>
#include <vector>

#include "SystemStandIn.h"
#include "VsockSocketTest.h"
#include "VsockTestSupport.h"
#include "oswrap/oswrap.h"
#include "vsock/internal/vsock_sock.h"
#include "vsock/internal/vsock_wrap.h"

using namespace vsocktest;

namespace {

class vsockTest : public SocketTest {};

uint16_t vsockTaskId()
{
    uint16_t id = 0;
    if (JLIB::isFailure(oswrap_VinqTsk(&id, "VSOCK"))) return 0;
    return id;
}

}  // namespace

TEST(vsockModuleTest, StartsOnceEndsOnceAndStartsAgain)
{
    ASSERT_TRUE(startOsLayer());
    EXPECT_EQ(VSOCK_E_OBJ, vsock_endModule());
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
    const netc_sock_option option = recordingOption();
    EXPECT_EQ(VSOCK_E_OBJ, vsock_createSock(&prm, &option));
    netc_if_addr items[2];
    EXPECT_EQ(VSOCK_E_OBJ, vsock_getLocalAddr(0, 0, items, 2));
    netc_addr group = {};
    ASSERT_EQ(0, vsock_pton(NETC_AF_INET, "239.1.2.3", &group));
    EXPECT_EQ(VSOCK_E_OBJ, vsock_addMulticastAddr(0, &group));
    EXPECT_EQ(VSOCK_E_OBJ, vsock_setLocalAddr(0, nullptr));

    ASSERT_EQ(0, vsock_initModule());
    EXPECT_EQ(0, vsock_initModule());  // changes nothing
    const uint16_t task = vsockTaskId();
    ASSERT_NE(0, task);
    T_OSW_RTSK info = {};
    char name[16] = {};
    info.name = name;
    ASSERT_EQ(0u, oswrap_RefTsk(&info, task));
    EXPECT_EQ(14, info.itskpri);
    EXPECT_STREQ("VSOCK", name);

    EXPECT_EQ(0, vsock_createSock(&prm, &option));
    EXPECT_EQ(0, vsock_endModule());
    EXPECT_EQ(VSOCK_E_OBJ, vsock_endModule());
    EXPECT_EQ(VSOCK_E_OBJ, vsock_createSock(&prm, &option));

    // Started again, the layer serves sockets: a datagram to itself comes back as a report.
    Recorder::instance().clear();
    ASSERT_EQ(0, vsock_initModule());
    const uint16_t port = pickPort(SOCK_DGRAM);
    const netc_sock_create_prm bound = createPrm(NETC_SOCK_UDP, port);
    const int32_t id = vsock_createSock(&bound, &option);
    ASSERT_EQ(0, id);
    const netc_endpoint self = loopbackEndpoint(port);
    EXPECT_EQ(VSOCK_E_WBLK, vsock_sendUdp(id, "ping", 4, &self, -1));
    EXPECT_TRUE(Recorder::instance().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 1));
    EXPECT_EQ(0, vsock_deleteSock(id));
    EXPECT_EQ(0, vsock_endModule());
}

TEST(vsockModuleTest, AFailedTaskStartLeavesTheLayerStopped)
{
    ASSERT_TRUE(startOsLayer());
    // Every automatic task id taken: the layer's task cannot be made.
    T_OSW_CTSK dummy = {};
    dummy.task = [](void*) {};
    dummy.name = "dummy";
    std::vector<uint16_t> taken;
    for (;;) {
        uint16_t id = 0;
        if (JLIB::isFailure(oswrap_AcreTsk(&id, &dummy))) break;
        taken.push_back(id);
    }
    ASSERT_FALSE(taken.empty());

    EXPECT_EQ(VSOCK_FAILED, vsock_initModule());
    EXPECT_EQ(VSOCK_E_OBJ, vsock_endModule());
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
    const netc_sock_option option = recordingOption();
    EXPECT_EQ(VSOCK_E_OBJ, vsock_createSock(&prm, &option));

    ASSERT_EQ(0u, oswrap_DelTsk(taken.back()));
    taken.pop_back();
    EXPECT_EQ(0, vsock_initModule());
    EXPECT_EQ(0, vsock_endModule());
    for (const uint16_t id : taken) EXPECT_EQ(0u, oswrap_DelTsk(id));
}

TEST_F(vsockTest, RefusesBadRecordsAndGivesTheLowestFreeIds)
{
    netc_sock_option noFlag = recordingOption();
    noFlag.flags = 0x3F;
    netc_sock_option noCallback = recordingOption();
    noCallback.callback = nullptr;
    const netc_sock_option good = recordingOption();
    const netc_sock_create_prm udp = createPrm(NETC_SOCK_UDP, 0);
    netc_addr family0 = loopback();
    family0.family = static_cast<_E_NETC_AF>(0);
    const netc_sock_create_prm badFamily = createPrm(NETC_SOCK_UDP, 0, family0);
    const netc_sock_create_prm badType = createPrm(3, 0);
    struct Case {
        const char* name;
        const netc_sock_create_prm* prm;
        const netc_sock_option* option;
    };
    const Case cases[] = {
        {"null record", nullptr, &good},  {"null option", &udp, nullptr},     {"type 3", &badType, &good},
        {"family 0", &badFamily, &good},  {"flag missing", &udp, &noFlag},   {"no callback", &udp, &noCallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(VSOCK_E_PAR, vsock_createSock(c.prm, c.option));
    }

    for (int32_t i = 0; i < 32; ++i) ASSERT_EQ(i, create(NETC_SOCK_UDP, 0));
    EXPECT_EQ(VSOCK_E_RES, create(NETC_SOCK_UDP, 0));
    EXPECT_EQ(0, vsock_deleteSock(5));
    EXPECT_TRUE(vsock_sock_isFree(5));
    EXPECT_EQ(VSOCK_E_NOEXS, vsock_deleteSock(5));
    EXPECT_EQ(VSOCK_E_PAR, vsock_deleteSock(32));
    EXPECT_EQ(VSOCK_E_PAR, vsock_deleteSock(-1));
    EXPECT_EQ(5, create(NETC_SOCK_UDP, 0));
    // A system socket that cannot be made frees its entry again.
    netc_addr v6 = {};
    v6.family = NETC_AF_INET6;
    EXPECT_EQ(0, vsock_deleteSock(9));
    EXPECT_EQ(VSOCK_E_PAR, create(NETC_SOCK_UDP, 0, v6));
    EXPECT_EQ(9, create(NETC_SOCK_UDP, 0));
}

TEST_F(vsockTest, UdpSocketsShareAPortOnlyWhenEachAsksForIt)
{
    const netc_sock_option option = recordingOption();
    const uint16_t port = pickPort(SOCK_DGRAM);
    netc_sock_create_prm shared = createPrm(NETC_SOCK_UDP, port);
    shared.reserved = NETC_SOCK_CREATE_REUSEADDR;
    const int32_t first = vsock_createSock(&shared, &option);
    ASSERT_GE(first, 0);
    const int32_t second = vsock_createSock(&shared, &option);
    EXPECT_GE(second, 0);
    // A socket that did not ask for sharing is refused the taken port.
    const netc_sock_create_prm plain = createPrm(NETC_SOCK_UDP, port);
    EXPECT_LT(vsock_createSock(&plain, &option), 0);
}

TEST_F(vsockTest, QueuesDatagramsOldestFirstWithTheirSources)
{
    const uint16_t port = pickPort(SOCK_DGRAM);
    const int32_t id = create(NETC_SOCK_UDP, port);
    ASSERT_GE(id, 0);
    char buffer[4096];
    netc_endpoint from = {};
    EXPECT_EQ(VSOCK_E_NODATA, vsock_recvUdp(id, buffer, sizeof(buffer), &from, -1));

    RawSocket first(SOCK_DGRAM), second(SOCK_DGRAM);
    ASSERT_TRUE(first.bindLoopback(0));
    ASSERT_TRUE(second.bindLoopback(0));
    ASSERT_TRUE(first.sendTo(port, "one", 3));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 1));
    ASSERT_TRUE(second.sendTo(port, "three!", 6));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 2));
    EXPECT_EQ((std::vector<Event>{{id, 5, 3}, {id, 5, 6}}), rec().eventsOf(id, NETC_SOCK_EV_UDP_RECEIVED));
    const uint16_t vsockTask = vsockTaskId();
    for (const uint16_t task : rec().tasks()) EXPECT_EQ(vsockTask, task);  // reports run on the task

    EXPECT_EQ(VSOCK_E_BUFSZ, vsock_recvUdp(id, buffer, 2, &from, -1));  // stays queued
    ASSERT_EQ(3, vsock_recvUdp(id, buffer, sizeof(buffer), &from, -1));
    EXPECT_EQ(0, std::memcmp("one", buffer, 3));
    EXPECT_EQ(first.localPort(), from.port);
    EXPECT_EQ(NETC_AF_INET, from.addr.family);
    EXPECT_EQ(0, std::memcmp(loopback().addr, from.addr.addr, 4));
    ASSERT_EQ(6, vsock_recvUdp(id, buffer, 6, &from, -1));
    EXPECT_EQ(0, std::memcmp("three!", buffer, 6));
    EXPECT_EQ(second.localPort(), from.port);
    EXPECT_EQ(VSOCK_E_NODATA, vsock_recvUdp(id, buffer, sizeof(buffer), &from, -1));

    // An empty datagram is dropped without a report; a long one is cut to 2048 bytes.
    std::vector<uint8_t> big(3000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(first.sendTo(port, "", 0));
    ASSERT_TRUE(first.sendTo(port, big.data(), big.size()));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 3));
    EXPECT_EQ((Event{id, 5, 2048}), rec().eventsOf(id, NETC_SOCK_EV_UDP_RECEIVED).back());
    ASSERT_EQ(2048, vsock_recvUdp(id, buffer, sizeof(buffer), nullptr, -1));
    EXPECT_EQ(0, std::memcmp(big.data(), buffer, 2048));
    EXPECT_EQ(VSOCK_E_NODATA, vsock_recvUdp(id, buffer, sizeof(buffer), &from, -1));
    EXPECT_EQ(3u, rec().countOf(id, NETC_SOCK_EV_UDP_RECEIVED));
}

TEST_F(vsockTest, DropsDatagramsWhileTheRingIsFullAndKeepsReceiving)
{
    const uint16_t port = pickPort(SOCK_DGRAM);
    const int32_t id = create(NETC_SOCK_UDP, port);
    ASSERT_GE(id, 0);
    RawSocket sender(SOCK_DGRAM);
    // A record of 1400 bytes takes 358 words: 45 of them fit in 16383 free words.
    constexpr size_t kLength = 1400;
    auto sendBatch = [&](int firstIndex, int count) {
        std::vector<uint8_t> data(kLength);
        for (int i = firstIndex; i < firstIndex + count; ++i) {
            std::fill(data.begin(), data.end(), static_cast<uint8_t>(i));
            data[0] = static_cast<uint8_t>(i >> 8);
            if (!sender.sendTo(port, data.data(), data.size())) return false;
        }
        return true;
    };
    auto takeBatch = [&](int firstIndex, int count) {
        uint8_t buffer[kLength];
        for (int i = firstIndex; i < firstIndex + count; ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(static_cast<int32_t>(kLength), vsock_recvUdp(id, buffer, sizeof(buffer), nullptr, -1));
            EXPECT_EQ(static_cast<uint8_t>(i >> 8), buffer[0]);
            EXPECT_EQ(static_cast<uint8_t>(i), buffer[1]);
            EXPECT_EQ(static_cast<uint8_t>(i), buffer[kLength - 1]);
        }
    };

    ASSERT_TRUE(sendBatch(0, 50));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 50));
    size_t dropped = 0;
    for (const Event& e : rec().eventsOf(id, NETC_SOCK_EV_UDP_RECEIVED)) {
        if (e.result == VSOCK_E_RES) {
            ++dropped;
        } else {
            EXPECT_EQ(static_cast<int32_t>(kLength), e.result);
        }
    }
    EXPECT_EQ(5u, dropped);
    takeBatch(0, 45);
    uint8_t buffer[kLength];
    EXPECT_EQ(VSOCK_E_NODATA, vsock_recvUdp(id, buffer, sizeof(buffer), nullptr, -1));

    // The next records run over the end of the ring and come out whole.
    ASSERT_TRUE(sendBatch(300, 45));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 95));
    takeBatch(300, 45);
}

TEST_F(vsockTest, SendsOneDatagramAtATimeAndReportsItsLength)
{
    RawSocket receiver(SOCK_DGRAM);
    ASSERT_TRUE(receiver.bindLoopback(0));
    const int32_t id = create(NETC_SOCK_UDP, 0);
    ASSERT_GE(id, 0);
    const netc_endpoint to = loopbackEndpoint(receiver.localPort());
    EXPECT_EQ(VSOCK_E_PAR, vsock_sendUdp(id, nullptr, 5, &to, -1));
    EXPECT_EQ(VSOCK_E_PAR, vsock_sendUdp(id, "hello", 5, nullptr, -1));
    EXPECT_EQ(VSOCK_E_PAR, vsock_sendUdp(32, "hello", 5, &to, -1));

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(VSOCK_E_WBLK, vsock_sendUdp(id, "hello", 5, &to, -1));
        ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_SENT, static_cast<size_t>(round)));
        EXPECT_EQ(5, rec().eventsOf(id, NETC_SOCK_EV_UDP_SENT).back().result);
        char buffer[8] = {};
        sockaddr_in from = {};
        socklen_t length = sizeof(from);
        ASSERT_EQ(5, ::recvfrom(receiver.fd(), buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length));
        EXPECT_STREQ("hello", buffer);
        EXPECT_EQ(htonl(INADDR_LOOPBACK), from.sin_addr.s_addr);
    }

    const int32_t tcp = create(NETC_SOCK_TCP_ACTIVE, 0);
    EXPECT_EQ(VSOCK_E_OBJ, vsock_sendUdp(tcp, "hello", 5, &to, -1));
    char buffer[8];
    EXPECT_EQ(VSOCK_E_OBJ, vsock_recvUdp(tcp, buffer, sizeof(buffer), nullptr, -1));
}

TEST_F(vsockTest, AcceptsOneConnectionPerArmingAndCarriesData)
{
    const uint16_t port = pickPort(SOCK_STREAM);
    const int32_t listener = create(NETC_SOCK_TCP_PASSIVE, port);
    ASSERT_EQ(0, listener);
    netc_endpoint peer = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(listener, &peer, -1));
    EXPECT_EQ(VSOCK_E_WBLK, vsock_accept(listener, &peer, -1));  // still the one arming

    const int32_t client = create(NETC_SOCK_TCP_ACTIVE, 0);
    ASSERT_EQ(1, client);
    const netc_endpoint remote = loopbackEndpoint(port);
    const int32_t r = vsock_connect(client, &remote, -1);
    ASSERT_TRUE(r == 0 || r == VSOCK_E_WBLK) << r;
    ASSERT_TRUE(rec().waitForCount(listener, NETC_SOCK_EV_ACCEPTED, 1));
    EXPECT_EQ((Event{listener, 0, 31}), rec().eventsOf(listener, NETC_SOCK_EV_ACCEPTED)[0]);  // the highest id
    if (r == VSOCK_E_WBLK) {
        ASSERT_TRUE(rec().waitForCount(client, NETC_SOCK_EV_CONNECTED, 1));
        EXPECT_EQ(0, rec().eventsOf(client, NETC_SOCK_EV_CONNECTED)[0].result);
    }
    EXPECT_EQ(0, vsock_connect(client, &remote, -1));  // connected: the recorded result
    EXPECT_EQ(NETC_AF_INET, peer.addr.family);
    EXPECT_EQ(0, std::memcmp(loopback().addr, peer.addr.addr, 4));
    EXPECT_NE(0, peer.port);
    const int32_t child = 31;

    char received[16] = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(child, received, sizeof(received), -1));
    ASSERT_EQ(VSOCK_E_WBLK, vsock_sendTcp(client, "hello", 5, -1));
    ASSERT_TRUE(rec().waitForCount(client, NETC_SOCK_EV_TCP_SENT, 1));
    EXPECT_EQ(5, rec().eventsOf(client, NETC_SOCK_EV_TCP_SENT)[0].result);
    ASSERT_TRUE(rec().waitForCount(child, NETC_SOCK_EV_TCP_RECEIVED, 1));
    EXPECT_EQ(5, rec().eventsOf(child, NETC_SOCK_EV_TCP_RECEIVED)[0].result);
    EXPECT_STREQ("hello", received);

    // A second client waits in the system's queue until the listener is armed again.
    const int32_t client2 = create(NETC_SOCK_TCP_ACTIVE, 0);
    ASSERT_EQ(2, client2);
    const int32_t r2 = vsock_connect(client2, &remote, -1);
    if (r2 == VSOCK_E_WBLK) {
        ASSERT_TRUE(rec().waitForCount(client2, NETC_SOCK_EV_CONNECTED, 1));
    }
    EXPECT_EQ(1u, rec().countOf(listener, NETC_SOCK_EV_ACCEPTED));
    netc_endpoint peer2 = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(listener, &peer2, -1));
    ASSERT_TRUE(rec().waitForCount(listener, NETC_SOCK_EV_ACCEPTED, 2));
    EXPECT_EQ((Event{listener, 0, 30}), rec().eventsOf(listener, NETC_SOCK_EV_ACCEPTED)[1]);

    // A listener with accepted sockets open stays.
    EXPECT_EQ(VSOCK_E_OBJ, vsock_deleteSock(listener));

    // The peer closing ends the next receive with 0 bytes.
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(child, received, sizeof(received), -1));
    ASSERT_EQ(0, vsock_deleteSock(client));
    ASSERT_TRUE(rec().waitForCount(child, NETC_SOCK_EV_TCP_RECEIVED, 2));
    EXPECT_EQ(0, rec().eventsOf(child, NETC_SOCK_EV_TCP_RECEIVED)[1].result);

    // Deleting ends an armed receive with a report before the call returns.
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(30, received, sizeof(received), -1));
    ASSERT_EQ(0, vsock_deleteSock(30));
    EXPECT_EQ((std::vector<Event>{{30, 3, VSOCK_E_NOEXS}}), rec().eventsOf(30, NETC_SOCK_EV_TCP_RECEIVED));

    EXPECT_EQ(0, vsock_deleteSock(child));
    EXPECT_EQ(0, vsock_deleteSock(listener));
    EXPECT_EQ(VSOCK_E_OBJ, vsock_accept(client2, &peer2, -1));  // not a listener
    EXPECT_EQ(VSOCK_E_OBJ, vsock_connect(create(NETC_SOCK_UDP, 0), &remote, -1));
}

TEST_F(vsockTest, ListenerKeepsAcceptingAfterRefusingAConnection)
{
    const uint16_t port = pickPort(SOCK_STREAM);
    ASSERT_EQ(0, create(NETC_SOCK_TCP_PASSIVE, port));
    for (int32_t id = 1; id < 32; ++id) ASSERT_EQ(id, create(NETC_SOCK_UDP, 0));

    // Every entry taken: the connection is closed again and reported as refused.
    netc_endpoint peer = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(0, &peer, -1));
    RawSocket first(SOCK_STREAM);
    ASSERT_TRUE(first.connectLoopback(port));
    ASSERT_TRUE(rec().waitForCount(0, NETC_SOCK_EV_ACCEPTED, 1));
    EXPECT_EQ((Event{0, 0, VSOCK_E_RES}), rec().eventsOf(0, NETC_SOCK_EV_ACCEPTED)[0]);
    pollfd p = {first.fd(), POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, 5000));
    char byte = 0;
    EXPECT_GE(0, ::recv(first.fd(), &byte, 1, 0));  // end of stream or reset

    // The listener is idle, not broken: armed again it takes the next connection.
    ASSERT_EQ(0, vsock_deleteSock(31));
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(0, &peer, -1));
    RawSocket second(SOCK_STREAM);
    ASSERT_TRUE(second.connectLoopback(port));
    ASSERT_TRUE(rec().waitForCount(0, NETC_SOCK_EV_ACCEPTED, 2));
    EXPECT_EQ((Event{0, 0, 31}), rec().eventsOf(0, NETC_SOCK_EV_ACCEPTED)[1]);
    EXPECT_EQ(second.localPort(), peer.port);
}

// A connection that fails before it is taken concerns only itself: the listener stays armed,
// reports nothing for it and takes the next connection.
TEST_F(vsockTest, ListenerKeepsWaitingWhenAConnectionFailsBeforeItIsTaken)
{
    StandInReset standIns;
    const uint16_t port = pickPort(SOCK_STREAM);
    const int32_t listener = create(NETC_SOCK_TCP_PASSIVE, port);
    ASSERT_EQ(0, listener);
    // Aborted, interrupted, refused by a firewall, or a network error of the connection that
    // Linux passes up through accept.
    const int errors[] = {ECONNABORTED, EPROTO, EINTR, EPERM, ENETDOWN, ENOPROTOOPT,
                          EHOSTDOWN, ENONET, EHOSTUNREACH, EOPNOTSUPP, ENETUNREACH};
    const int droppedBefore = droppedConnections();
    for (size_t i = 0; i < std::size(errors); ++i) {
        SCOPED_TRACE(errors[i]);
        failAcceptOfResetConnections(errors[i]);
        netc_endpoint peer = {};
        ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(listener, &peer, -1));
        ASSERT_TRUE(connectAndReset(port));
        ASSERT_TRUE(waitFor([&] { return droppedConnections() == droppedBefore + static_cast<int>(i) + 1; }));
        EXPECT_EQ(i, rec().countOf(listener, NETC_SOCK_EV_ACCEPTED));  // nothing reported for it

        RawSocket client(SOCK_STREAM);
        ASSERT_TRUE(client.connectLoopback(port));
        ASSERT_EQ(1, ::send(client.fd(), "x", 1, 0));  // live at once for the stand-in
        ASSERT_TRUE(rec().waitForCount(listener, NETC_SOCK_EV_ACCEPTED, i + 1));
        EXPECT_EQ((Event{listener, 0, 31}), rec().eventsOf(listener, NETC_SOCK_EV_ACCEPTED).back());
        EXPECT_EQ(client.localPort(), peer.port);
        ASSERT_EQ(0, vsock_deleteSock(31));
    }
}

TEST_F(vsockTest, ReportsARefusedConnect)
{
    const int32_t id = create(NETC_SOCK_TCP_ACTIVE, 0);
    ASSERT_GE(id, 0);
    const netc_endpoint closed = loopbackEndpoint(pickPort(SOCK_STREAM));
    const int32_t r = vsock_connect(id, &closed, -1);
    if (r == VSOCK_E_WBLK) {
        ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_CONNECTED, 1));
        EXPECT_EQ(VSOCK_E_OBJ, rec().eventsOf(id, NETC_SOCK_EV_CONNECTED)[0].result);
    } else {
        EXPECT_EQ(VSOCK_E_OBJ, r);
    }
}

TEST_F(vsockTest, WritesALargeSendInPartsAndReportsTheWhole)
{
    RawSocket listener(SOCK_STREAM);
    int peerFd = -1;
    const int32_t id = connectToRaw(listener, peerFd);
    ASSERT_GE(peerFd, 0);
    RawSocket peer(RawSocket::Adopt{}, peerFd);

    // More than the socket buffers hold, so the task has to write the rest.
    std::vector<uint8_t> data(8 * 1024 * 1024);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
    std::vector<uint8_t> got(data.size());
    std::atomic<size_t> total{0};
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (total.load() < got.size() && std::chrono::steady_clock::now() < deadline) {
            pollfd p = {peerFd, POLLIN, 0};
            if (::poll(&p, 1, 100) != 1) continue;
            const ssize_t n = ::recv(peerFd, got.data() + total.load(), got.size() - total.load(), 0);
            if (n <= 0) break;
            total += static_cast<size_t>(n);
        }
    });
    const int32_t r = vsock_sendTcp(id, data.data(), static_cast<int32_t>(data.size()), -1);
    EXPECT_EQ(VSOCK_E_WBLK, r);
    EXPECT_EQ(VSOCK_E_WBLK, vsock_sendTcp(id, data.data(), static_cast<int32_t>(data.size()), -1));  // pending
    const bool reported = rec().waitForCount(id, NETC_SOCK_EV_TCP_SENT, 1);
    reader.join();
    ASSERT_TRUE(reported);
    EXPECT_EQ((std::vector<Event>{{id, 2, static_cast<int32_t>(data.size())}}), rec().eventsOf(id, NETC_SOCK_EV_TCP_SENT));
    ASSERT_EQ(data.size(), total.load());
    EXPECT_TRUE(data == got);
}

TEST_F(vsockTest, TimesOutOnlyWhenTheCallerRepeatsTheCall)
{
    RawSocket listener(SOCK_STREAM);
    int peerFd = -1;
    const int32_t id = connectToRaw(listener, peerFd);
    ASSERT_GE(peerFd, 0);
    RawSocket peer(RawSocket::Adopt{}, peerFd);

    char buffer[8] = {};
    char other[8] = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, buffer, sizeof(buffer), 0));
    EXPECT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, other, sizeof(other), 0));  // another context: no time-out test
    EXPECT_EQ(VSOCK_E_TIMEOUT, vsock_recvTcp(id, buffer, sizeof(buffer), 0));
    // Dropped: the next call arms afresh.
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, buffer, sizeof(buffer), 60000));
    EXPECT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, buffer, sizeof(buffer), 60000));  // not yet run out
    EXPECT_EQ(VSOCK_E_PAR, vsock_recvTcp(id, nullptr, 8, -1));

    ASSERT_EQ(1, ::send(peerFd, "x", 1, 0));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_TCP_RECEIVED, 1));
    EXPECT_EQ(1, rec().eventsOf(id, NETC_SOCK_EV_TCP_RECEIVED)[0].result);
    EXPECT_EQ('x', buffer[0]);

    const int32_t server = create(NETC_SOCK_TCP_PASSIVE, pickPort(SOCK_STREAM));
    ASSERT_GE(server, 0);
    netc_endpoint peerOut = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(server, &peerOut, 0));
    EXPECT_EQ(VSOCK_E_TIMEOUT, vsock_accept(server, &peerOut, 0));
    ASSERT_EQ(VSOCK_E_WBLK, vsock_accept(server, &peerOut, -1));
    EXPECT_EQ(VSOCK_E_WBLK, vsock_accept(server, &peerOut, -1));  // without limit
}

// poll may call a socket readable and the read then find nothing; the receive waits on.
TEST_F(vsockTest, AReceiveStaysArmedWhenAWakeUpFindsNothingToRead)
{
    StandInReset standIns;
    RawSocket listener(SOCK_STREAM);
    int peerFd = -1;
    const int32_t id = connectToRaw(listener, peerFd);
    ASSERT_GE(peerFd, 0);
    RawSocket peer(RawSocket::Adopt{}, peerFd);

    char buffer[8] = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, buffer, sizeof(buffer), -1));
    wouldBlockOnce(descriptorOf(id));
    ASSERT_EQ(1, ::send(peerFd, "x", 1, 0));
    ASSERT_TRUE(waitFor(wouldBlockTaken));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_TCP_RECEIVED, 1));
    EXPECT_EQ((std::vector<Event>{{id, 3, 1}}), rec().eventsOf(id, NETC_SOCK_EV_TCP_RECEIVED));
    EXPECT_EQ('x', buffer[0]);
}

TEST_F(vsockTest, DeletingAUdpSocketEndsItsReceiving)
{
    const int32_t id = create(NETC_SOCK_UDP, 0);
    ASSERT_GE(id, 0);
    ASSERT_EQ(0, vsock_deleteSock(id));
    EXPECT_EQ((std::vector<Event>{{id, 5, VSOCK_E_NOEXS}}), rec().events());
}

TEST_F(vsockTest, JoinsAndLeavesGroupsOnTheSocketsOfAnInterface)
{
    netc_addr group = {};
    ASSERT_EQ(0, vsock_pton(NETC_AF_INET, "239.1.2.3", &group));
    netc_addr group6 = {};
    ASSERT_EQ(0, vsock_pton(NETC_AF_INET6, "ff02::1", &group6));
    EXPECT_EQ(VSOCK_E_PAR, vsock_addMulticastAddr(0, &group6));
    EXPECT_EQ(VSOCK_E_PAR, vsock_addMulticastAddr(0, nullptr));
    EXPECT_EQ(VSOCK_E_PAR, vsock_delMulticastAddr(0, &group6));
    EXPECT_EQ(VSOCK_E_NOEXS, vsock_addMulticastAddr(1000, &group));
    EXPECT_EQ(VSOCK_E_PAR, vsock_addMulticastAddr(-1, &group));

    const uint16_t port = pickPort(SOCK_DGRAM);
    const int32_t id = create(NETC_SOCK_UDP, port);
    ASSERT_GE(id, 0);
    ASSERT_EQ(0, vsock_addMulticastAddr(0, &group));
    EXPECT_EQ(VSOCK_E_SYS, vsock_addMulticastAddr(0, &group));  // already a member

    // The group's datagrams sent out of the loopback interface now arrive.
    RawSocket sender(SOCK_DGRAM);
    in_addr outgoing = {};
    outgoing.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::setsockopt(sender.fd(), IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof(outgoing)));
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    std::memcpy(&to.sin_addr, group.addr, 4);
    ASSERT_EQ(4, ::sendto(sender.fd(), "mcst", 4, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)));
    ASSERT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_UDP_RECEIVED, 1));
    EXPECT_EQ(4, rec().eventsOf(id, NETC_SOCK_EV_UDP_RECEIVED)[0].result);

    EXPECT_EQ(0, vsock_delMulticastAddr(0, &group));
    EXPECT_EQ(0, vsock_delMulticastAddr(0, &group));  // failures of leaving are not answered
    EXPECT_EQ(0, vsock_addMulticastAddr(0, &group));  // the leave took effect: a member again
}

TEST_F(vsockTest, ListsLocalAddressesWhileRunning)
{
    netc_if_addr items[4] = {};
    const int32_t n = vsock_getLocalAddr(0, NETC_AF_INET, items, 4);
    ASSERT_GE(n, 1);
    EXPECT_EQ(0, std::memcmp(loopback().addr, items[0].addr.addr, 4));
    EXPECT_EQ(VSOCK_E_NOEXS, vsock_getLocalAddr(1000, 0, items, 4));
    EXPECT_EQ(VSOCK_E_PAR, vsock_getLocalAddr(0, 5, items, 4));
}

TEST_F(vsockTest, OptionAndStubCallsAnswerByTheirChecks)
{
    const int32_t id = create(NETC_SOCK_UDP, 0);
    ASSERT_EQ(0, id);
    netc_sock_option option = {};
    EXPECT_EQ(VSOCK_E_PAR, vsock_getSockOption(id, nullptr));
    EXPECT_EQ(0, vsock_getSockOption(id, &option));
    EXPECT_EQ(nullptr, option.callback);  // writes nothing
    struct Case {
        const char* name;
        int32_t (*call)(int32_t);
    };
    static int32_t s_status = -5;
    const Case cases[] = {
        {"getSockStatus", [](int32_t i) { return vsock_getSockStatus(i, &s_status); }},
        {"shutdown", [](int32_t i) { return vsock_shutdown(i, 2); }},
        {"abort", [](int32_t i) { return vsock_abort(i); }},
        {"recvUdpWithBuf", [](int32_t i) { return vsock_recvUdpWithBuf(i, nullptr, 0, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(0, c.call(id));
        EXPECT_EQ(VSOCK_E_NOEXS, c.call(7));
        EXPECT_EQ(VSOCK_E_PAR, c.call(32));
    }
    EXPECT_EQ(-5, s_status);  // writes nothing

    netc_sock_option bad = recordingOption();
    bad.flags = 0;
    EXPECT_EQ(VSOCK_E_PAR, vsock_setSockOption(id, &bad));
    EXPECT_EQ(VSOCK_E_PAR, vsock_setSockOption(id, nullptr));
    static std::atomic<int> s_other{0};
    netc_sock_option other = recordingOption();
    other.callback = [](int32_t, netc_sock_cb_prm*) -> int32_t {
        ++s_other;
        return 0;
    };
    ASSERT_EQ(0, vsock_setSockOption(id, &other));
    EXPECT_EQ(other.callback, vsock_sock_getCallback(id));
    EXPECT_EQ(0, vsock_deleteSock(id));
    EXPECT_EQ(1, s_other.load());  // the closing report went to the new callback
    EXPECT_TRUE(rec().events().empty());

    EXPECT_EQ(0, vsock_setLocalAddr(0, nullptr));
    EXPECT_EQ(0, vsock_getDnsServAddr(nullptr, 0));
    EXPECT_EQ(0, vsock_setDnsServAddr(nullptr, 0));
    EXPECT_EQ(0, vsock_getDefaultGwAddr(nullptr));
    EXPECT_EQ(0, vsock_setDefaultGwAddr(nullptr));
    EXPECT_EQ(0, vsock_rslvHostAddr("host", nullptr));
    EXPECT_EQ(VSOCK_E_SYS, vsock_addLocalAddr(0));
    EXPECT_EQ(VSOCK_E_SYS, vsock_delLocalAddr(0));
    EXPECT_EQ(VSOCK_FAILED, vsock_sendGARP(0));
    EXPECT_TRUE(vsock_canSendMulticast());
    EXPECT_EQ(0, vsock_setStateCallback(nullptr));
}

// Several tasks start operations at once, while the socket task is busy, looking for more or
// asleep: every start must reach it, so every datagram is sent, reported and received.
TEST_F(vsockTest, ManyTasksStartingOperationsAtOnceLoseNoWakeUp)
{
    constexpr int kSockets = 6;
    constexpr size_t kRounds = 200;
    int32_t ids[kSockets];
    netc_endpoint endpoints[kSockets];
    for (int i = 0; i < kSockets; ++i) {
        const uint16_t port = pickPort(SOCK_DGRAM);
        ids[i] = create(NETC_SOCK_UDP, port);
        ASSERT_GE(ids[i], 0);
        endpoints[i] = loopbackEndpoint(port);
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kSockets; ++i) {
        threads.emplace_back([&, i] {
            const char data[8] = {'r', 'o', 'u', 'n', 'd', 0, 0, static_cast<char>(i)};
            char buffer[16];
            size_t taken = 0;
            for (size_t round = 1; round <= kRounds; ++round) {
                if (vsock_sendUdp(ids[i], data, sizeof(data), &endpoints[(i + 1) % kSockets], -1) != VSOCK_E_WBLK ||
                    !rec().waitForCount(ids[i], NETC_SOCK_EV_UDP_SENT, round)) {
                    ++failures;
                    return;
                }
                // Takes what arrived meanwhile, so the table lock is fought over as well.
                while (vsock_recvUdp(ids[i], buffer, sizeof(buffer), nullptr, -1) == static_cast<int32_t>(sizeof(data))) {
                    ++taken;
                }
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(0, failures.load());
    for (int i = 0; i < kSockets; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(rec().waitForCount(ids[i], NETC_SOCK_EV_UDP_RECEIVED, kRounds));
        for (const Event& e : rec().eventsOf(ids[i], NETC_SOCK_EV_UDP_SENT)) EXPECT_EQ(8, e.result);
    }
}
