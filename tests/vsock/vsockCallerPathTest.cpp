// The calls an owner uses to move bytes on its own thread (vsock_sendTcpNow, vsock_recvTcpNow,
// vsock_recvTcpTake, vsock_sendUdpNow, vsock_recvUdpPoll) beside the task that carries what has to
// wait: no report for what they move, nothing lost, doubled or reordered between the two paths,
// and a delete that meets a caller inside a system call neither crashes nor hangs.
#include <poll.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "VsockSocketTest.h"
#include "VsockTestSupport.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"

using namespace vsocktest;

namespace {

class vsockCallerPathTest : public SocketTest {};

bool readable(int fd)
{
    pollfd p = {fd, POLLIN, 0};
    return ::poll(&p, 1, 5000) == 1;
}

uint8_t patternAt(size_t i, int salt) { return static_cast<uint8_t>(i * 7 + (i >> 9) + salt * 13); }

}  // namespace

TEST_F(vsockCallerPathTest, CallsAnswerByTheirChecksAndLeaveThePendingOperationsFirst)
{
    RawSocket listener(SOCK_STREAM);
    int peerFd = -1;
    const int32_t tcp = connectToRaw(listener, peerFd);
    ASSERT_GE(peerFd, 0);
    RawSocket peer(RawSocket::Adopt{}, peerFd);
    const int32_t udp = create(NETC_SOCK_UDP, pickPort(SOCK_DGRAM));
    ASSERT_GE(udp, 0);
    const int32_t freeId = 20;
    char buffer[16] = {};
    const netc_endpoint to = loopbackEndpoint(pickPort(SOCK_DGRAM));
    int32_t result = 0;

    struct Case {
        const char* what;
        int32_t got;
        int32_t expected;
    };
    const Case cases[] = {
        {"send: bad id", vsock_sendTcpNow(32, "x", 1), VSOCK_E_PAR},
        {"send: free id", vsock_sendTcpNow(freeId, "x", 1), VSOCK_E_NOEXS},
        {"send: a datagram socket", vsock_sendTcpNow(udp, "x", 1), VSOCK_E_OBJ},
        {"send: no data", vsock_sendTcpNow(tcp, nullptr, 1), VSOCK_E_PAR},
        {"send: nothing to send", vsock_sendTcpNow(tcp, "x", 0), VSOCK_E_PAR},
        {"receive: free id", vsock_recvTcpNow(freeId, buffer, 4), VSOCK_E_NOEXS},
        {"receive: a datagram socket", vsock_recvTcpNow(udp, buffer, 4), VSOCK_E_OBJ},
        {"receive: no room", vsock_recvTcpNow(tcp, buffer, 0), VSOCK_E_PAR},
        {"receive: nothing arrived", vsock_recvTcpNow(tcp, buffer, 4), VSOCK_E_WBLK},
        {"datagram: a stream socket", vsock_sendUdpNow(tcp, "x", 1, &to), VSOCK_E_OBJ},
        {"datagram: no destination", vsock_sendUdpNow(udp, "x", 1, nullptr), VSOCK_E_PAR},
        {"datagram: free id", vsock_sendUdpNow(freeId, "x", 1, &to), VSOCK_E_NOEXS},
        {"poll: a stream socket", vsock_recvUdpPoll(tcp), 0},
        {"poll: nothing arrived", vsock_recvUdpPoll(udp), 0},
        {"take: nothing armed", vsock_recvTcpTake(tcp, &result) ? 1 : 0, 0},
        {"take: a datagram socket", vsock_recvTcpTake(udp, &result) ? 1 : 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.got) << c.what;

    // An armed receive belongs to the task until taken; reading beside it would reorder the stream.
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(tcp, buffer, sizeof(buffer), -1));
    EXPECT_EQ(VSOCK_E_OBJ, vsock_recvTcpNow(tcp, buffer, 4));
    EXPECT_FALSE(vsock_recvTcpTake(tcp, &result));  // armed, nothing there: stays armed
    // A send the task still writes goes before anything written at once.
    std::vector<uint8_t> big(16 * 1024 * 1024, 0x11);
    ASSERT_EQ(VSOCK_E_WBLK, vsock_sendTcp(tcp, big.data(), static_cast<int32_t>(big.size()), -1));
    EXPECT_EQ(VSOCK_E_OBJ, vsock_sendTcpNow(tcp, "x", 1));
    // Delete while the big send is pending: it is reported ended, and the arm with it.
    ASSERT_EQ(0, vsock_deleteSock(tcp));
    EXPECT_EQ(VSOCK_E_NOEXS, rec().eventsOf(tcp, NETC_SOCK_EV_TCP_SENT).at(0).result);
    EXPECT_EQ(VSOCK_E_NOEXS, rec().eventsOf(tcp, NETC_SOCK_EV_TCP_RECEIVED).at(0).result);
}

TEST_F(vsockCallerPathTest, StreamBytesMovedOnTheCallersThreadAreNotReported)
{
    RawSocket listener(SOCK_STREAM);
    int peerFd = -1;
    const int32_t id = connectToRaw(listener, peerFd);
    ASSERT_GE(peerFd, 0);
    RawSocket peer(RawSocket::Adopt{}, peerFd);

    EXPECT_EQ(5, vsock_sendTcpNow(id, "hello", 5));
    char got[8] = {};
    ASSERT_TRUE(readable(peerFd));
    ASSERT_EQ(5, ::recv(peerFd, got, sizeof(got), 0));
    EXPECT_STREQ("hello", got);

    ASSERT_EQ(3, ::send(peerFd, "abc", 3, 0));
    char buffer[8] = {};
    int32_t n = VSOCK_E_WBLK;
    ASSERT_TRUE(waitFor([&] { return (n = vsock_recvTcpNow(id, buffer, sizeof(buffer))) != VSOCK_E_WBLK; }));
    EXPECT_EQ(3, n);
    EXPECT_EQ(0, std::memcmp(buffer, "abc", 3));

    // An armed receive completed by the caller: the bytes in the armed buffer, no report.
    char armed[8] = {};
    ASSERT_EQ(VSOCK_E_WBLK, vsock_recvTcp(id, armed, sizeof(armed), -1));
    ASSERT_EQ(2, ::send(peerFd, "xy", 2, 0));
    int32_t result = 0;
    bool taken = false;
    ASSERT_TRUE(waitFor([&] {
        taken = vsock_recvTcpTake(id, &result);
        return taken || rec().countOf(id, NETC_SOCK_EV_TCP_RECEIVED) > 0;
    }));
    if (taken) {
        EXPECT_EQ(2, result);
        EXPECT_EQ(0u, rec().countOf(id, NETC_SOCK_EV_TCP_RECEIVED));
    } else {
        EXPECT_EQ(2, rec().eventsOf(id, NETC_SOCK_EV_TCP_RECEIVED).at(0).result);  // the task was first
    }
    EXPECT_EQ(0, std::memcmp(armed, "xy", 2));

    // The peer's close reaches the caller's read as 0, as the task's report would carry it.
    ::shutdown(peerFd, SHUT_WR);
    ASSERT_TRUE(waitFor([&] { return (n = vsock_recvTcpNow(id, buffer, sizeof(buffer))) != VSOCK_E_WBLK; }));
    EXPECT_EQ(0, n);
    EXPECT_EQ(0u, rec().countOf(id, NETC_SOCK_EV_TCP_SENT));
}

TEST_F(vsockCallerPathTest, DatagramsPolledOrReportedArriveOnceInOrder)
{
    const uint16_t port = pickPort(SOCK_DGRAM);
    const int32_t id = create(NETC_SOCK_UDP, port);
    ASSERT_GE(id, 0);
    const uint16_t senderPort = pickPort(SOCK_DGRAM);
    const int32_t sender = create(NETC_SOCK_UDP, senderPort);
    ASSERT_GE(sender, 0);
    const netc_endpoint to = loopbackEndpoint(port);

    constexpr int kDatagrams = 200;
    int32_t polled = 0;
    std::vector<int> order;
    for (int i = 0; i < kDatagrams; ++i) {
        const uint32_t word = static_cast<uint32_t>(i);
        // Written at once without a report; the system takes a datagram this small.
        ASSERT_EQ(4, vsock_sendUdpNow(sender, &word, sizeof(word), &to)) << i;
        if (i % 2 == 0) {
            const int32_t r = vsock_recvUdpPoll(id);
            ASSERT_GE(r, 0);
            polled += r;
        }
        if (i % 7 == 0) {
            uint32_t got = 0;
            netc_endpoint from = {};
            while (vsock_recvUdp(id, &got, sizeof(got), &from, -1) == 4) {
                order.push_back(static_cast<int>(got));
                EXPECT_EQ(senderPort, from.port);
            }
        }
    }
    ASSERT_TRUE(waitFor([&] {
        const int32_t r = vsock_recvUdpPoll(id);
        polled += r > 0 ? r : 0;
        uint32_t got = 0;
        while (vsock_recvUdp(id, &got, sizeof(got), nullptr, -1) == 4) order.push_back(static_cast<int>(got));
        return order.size() >= static_cast<size_t>(kDatagrams);
    }));
    ASSERT_EQ(static_cast<size_t>(kDatagrams), order.size());
    for (int i = 0; i < kDatagrams; ++i) EXPECT_EQ(i, order[static_cast<size_t>(i)]);
    // Each datagram was queued once: either polled here or reported by the task.
    EXPECT_EQ(static_cast<size_t>(kDatagrams), static_cast<size_t>(polled) + rec().countOf(id, NETC_SOCK_EV_UDP_RECEIVED));
    EXPECT_EQ(0u, rec().countOf(sender, NETC_SOCK_EV_UDP_SENT));
}

// Several threads each take an armed receive or its report, whichever comes first, while their
// peers write: every byte arrives once and in order.
TEST_F(vsockCallerPathTest, ManyThreadsTakingBesideTheTaskLoseAndReorderNothing)
{
    constexpr int kThreads = 6;
    constexpr size_t kBytes = 48 * 1024;
    std::vector<std::unique_ptr<RawSocket>> listeners, peers;
    int32_t ids[kThreads];
    for (int t = 0; t < kThreads; ++t) {
        listeners.push_back(std::make_unique<RawSocket>(SOCK_STREAM));
        int peerFd = -1;
        ids[t] = connectToRaw(*listeners.back(), peerFd);
        ASSERT_GE(peerFd, 0);
        peers.push_back(std::make_unique<RawSocket>(RawSocket::Adopt{}, peerFd));
    }
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {  // the peer's writer
            const int fd = peers[static_cast<size_t>(t)]->fd();
            std::vector<uint8_t> data(kBytes);
            for (size_t i = 0; i < kBytes; ++i) data[i] = patternAt(i, t);
            size_t sent = 0;
            while (sent < kBytes) {
                const ssize_t n = ::send(fd, data.data() + sent, std::min<size_t>(700, kBytes - sent), MSG_NOSIGNAL);
                if (n <= 0) {
                    ++failures;
                    return;
                }
                sent += static_cast<size_t>(n);
            }
        });
        threads.emplace_back([&, t] {  // the owner
            const int32_t id = ids[t];
            std::vector<uint8_t> got;
            size_t reports = 0;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            uint8_t buffer[1000];
            while (got.size() < kBytes && std::chrono::steady_clock::now() < deadline) {
                if (vsock_recvTcp(id, buffer, sizeof(buffer), -1) != VSOCK_E_WBLK) break;
                int32_t result = 0;
                bool done = false;
                while (!done && std::chrono::steady_clock::now() < deadline) {
                    if (vsock_recvTcpTake(id, &result)) {
                        done = true;
                    } else if (rec().countOf(id, NETC_SOCK_EV_TCP_RECEIVED) > reports) {
                        result = rec().eventsOf(id, NETC_SOCK_EV_TCP_RECEIVED)[reports++].result;
                        done = true;
                    } else {
                        std::this_thread::yield();
                    }
                }
                if (!done || result <= 0) break;
                got.insert(got.end(), buffer, buffer + result);
            }
            bool same = got.size() == kBytes;
            for (size_t i = 0; same && i < kBytes; ++i) same = got[i] == patternAt(i, t);
            if (!same) ++failures;
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(0, failures.load());
}

// A delete waits for callers inside a system call on the socket, and they then find it gone.
TEST_F(vsockCallerPathTest, DeletingWhileOtherThreadsUseTheSocketNeitherCrashesNorHangs)
{
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        RawSocket listener(SOCK_STREAM);
        int peerFd = -1;
        const int32_t tcp = connectToRaw(listener, peerFd);
        ASSERT_GE(peerFd, 0);
        RawSocket peer(RawSocket::Adopt{}, peerFd);
        const uint16_t port = pickPort(SOCK_DGRAM);
        const int32_t udp = create(NETC_SOCK_UDP, port);
        ASSERT_GE(udp, 0);
        const netc_endpoint to = loopbackEndpoint(port);

        std::atomic<int> calls{0};
        std::atomic<bool> stop{false};
        std::vector<std::thread> users;
        users.emplace_back([&] {  // writes at once into a peer that never reads
            std::vector<uint8_t> data(4000, 0x5A);
            while (!stop.load()) {
                const int32_t r = vsock_sendTcpNow(tcp, data.data(), static_cast<int32_t>(data.size()));
                ++calls;
                if (r < 0) return;
            }
        });
        users.emplace_back([&] {  // arms and takes
            uint8_t buffer[64];
            while (!stop.load()) {
                int32_t result = 0;
                const int32_t r = vsock_recvTcp(tcp, buffer, sizeof(buffer), -1);
                ++calls;
                if (r != VSOCK_E_WBLK) return;
                (void)vsock_recvTcpTake(tcp, &result);
            }
        });
        users.emplace_back([&] {  // sends itself datagrams and polls them in
            uint32_t word = 0;
            while (!stop.load()) {
                if (vsock_sendUdpNow(udp, &word, sizeof(word), &to) == VSOCK_E_NOEXS) return;
                (void)vsock_recvUdpPoll(udp);
                uint32_t sink = 0;
                (void)vsock_recvUdp(udp, &sink, sizeof(sink), nullptr, -1);
                ++word;
                ++calls;
            }
        });
        EXPECT_TRUE(waitFor([&] { return calls.load() > 300; }));
        EXPECT_EQ(0, vsock_deleteSock(tcp));
        EXPECT_EQ(0, vsock_deleteSock(udp));
        stop = true;
        for (std::thread& u : users) u.join();
        EXPECT_EQ(VSOCK_E_NOEXS, vsock_sendTcpNow(tcp, "x", 1));
        EXPECT_EQ(0, vsock_recvUdpPoll(udp));
    }
}
