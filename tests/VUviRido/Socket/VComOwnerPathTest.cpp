// Socket objects whose owner moves the bytes on its own thread while the kernel takes or holds
// them, the socket task carrying only what has to wait: under load from several owners at once
// every byte and datagram arrives once and in order, every callback runs on its owner's thread,
// each block or datagram written gets its onSent, and a close follows the data before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "VComTestOwner.h"
#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "VUviRido/Socket/VComUdpSocket.h"

using namespace vcomtest;
using vsocktest::RawSocket;

namespace {

constexpr uint32_t kServerUser = 1;
constexpr uint32_t kClientUser = 2;

uint8_t patternAt(size_t i, int salt) { return static_cast<uint8_t>(i * 13 + (i >> 10) + salt); }

// Queues the next part of a patterned transfer until the send stream refuses more; onSent
// brings room for the rest.
void pump(VCOM::IVCom& socket, size_t& queued, size_t total, int salt)
{
    uint8_t chunk[4000];
    while (queued < total) {
        const size_t n = std::min(sizeof(chunk), total - queued);
        for (size_t i = 0; i < n; ++i) chunk[i] = patternAt(queued + i, salt);
        uint32_t count = 0;
        const JLIB::JResult r = socket.send(chunk, static_cast<uint32_t>(n), count);
        queued += count;
        if (count < n || JLIB::isFailure(r)) return;
    }
}

void drain(VCOM::IVCom& socket, std::vector<uint8_t>& got)
{
    uint8_t buffer[3000];
    for (;;) {
        uint32_t count = 0;
        (void)socket.receive(buffer, sizeof(buffer), count);  // 2: more waits, read on
        got.insert(got.end(), buffer, buffer + count);
        if (count == 0) return;
    }
}

bool matches(const std::vector<uint8_t>& got, size_t total, int salt)
{
    if (got.size() != total) return false;
    for (size_t i = 0; i < total; ++i) {
        if (got[i] != patternAt(i, salt)) return false;
    }
    return true;
}

// One owner thread with a listening server and a client connected to it.
struct StreamPair {
    TestOwner owner;
    std::unique_ptr<VCOM::VComTcpServerSocket> server;
    std::unique_ptr<VCOM::VComTcpClientSocket> client;
    size_t queuedUp = 0, queuedDown = 0;
    std::vector<uint8_t> gotUp, gotDown;  // at the server's session, at the client

    bool open()
    {
        const uint16_t port = vsocktest::pickPort(SOCK_STREAM);
        const bool listening = owner.call([&] {
            server.reset(new VCOM::VComTcpServerSocket(1));
            client.reset(new VCOM::VComTcpClientSocket());
            (void)server->start(kServerUser, owner);
            (void)client->start(kClientUser, owner);
            return server->listen(loopbackAddress(), port) == 1;
        });
        if (!listening) return false;
        owner.watch(*server);
        owner.watch(*client);
        const JLIB::JResult r = owner.call([&] { return client->connect(loopbackAddress(), loopbackAddress(), port); });
        if (r != 0 && r != 1) return false;
        return owner.waitForEvent("connected u2 s0") && owner.waitForEvent("accepted 1 u1 s0");
    }
    void close()
    {
        owner.call([&] {
            if (client) (void)client->stop();
            if (server) (void)server->stop();
        });
        owner.unwatchAll();
        owner.call([&] {
            client.reset();
            server.reset();
        });
    }
};

}  // namespace

TEST(VComOwnerPathTest, ManyOwnersStreamBothWaysWithEveryByteInOrder)
{
    ASSERT_TRUE(startLayers());
    constexpr int kOwners = 4;
    constexpr size_t kBytes = 400 * 1000;
    std::vector<std::unique_ptr<StreamPair>> pairs;
    for (int p = 0; p < kOwners; ++p) {
        pairs.push_back(std::make_unique<StreamPair>());
        ASSERT_TRUE(pairs.back()->open()) << p;
    }
    for (int p = 0; p < kOwners; ++p) {
        StreamPair& s = *pairs[static_cast<size_t>(p)];
        s.owner.setHook([&s, p](const std::string& name, uint32_t user, signed char session) {
            VCOM::IVCom& socket = user == kClientUser ? static_cast<VCOM::IVCom&>(*s.client) : *s.server->getSession(1);
            if (user == kServerUser && session != 1) return;
            if (name == "sent") {
                if (user == kClientUser) pump(socket, s.queuedUp, kBytes, p);
                else pump(socket, s.queuedDown, kBytes, p + 100);
            } else if (name == "received") {
                drain(socket, user == kClientUser ? s.gotDown : s.gotUp);
            }
        });
        // Both ends start at once, each from the owner's thread.
        s.owner.call([&s, p] {
            pump(*s.client, s.queuedUp, kBytes, p);
            pump(*s.server->getSession(1), s.queuedDown, kBytes, p + 100);
        });
    }
    for (int p = 0; p < kOwners; ++p) {
        SCOPED_TRACE(p);
        StreamPair& s = *pairs[static_cast<size_t>(p)];
        EXPECT_TRUE(waitFor(
            [&] { return s.owner.call([&] { return s.gotUp.size() >= kBytes && s.gotDown.size() >= kBytes; }); },
            std::chrono::seconds(60)));
        s.owner.setHook(nullptr);
        EXPECT_TRUE(s.owner.call([&] { return matches(s.gotUp, kBytes, p); }));
        EXPECT_TRUE(s.owner.call([&] { return matches(s.gotDown, kBytes, p + 100); }));
        // Every block written, by the owner or the task, had its onSent: the streams end empty.
        EXPECT_TRUE(waitFor([&] {
            return s.owner.call([&] {
                return s.client->getRemainSendBuff() == VCOM::VComAbstractTcpSocket::kStreamSize &&
                       s.server->getSession(1)->getRemainSendBuff() == VCOM::VComAbstractTcpSocket::kStreamSize;
            });
        }));
        EXPECT_EQ(0, s.owner.count("disconnected u2 s0"));
        EXPECT_EQ(0, s.owner.offThreadEvents());
        s.close();
    }
}

// What the peer sent before it closed is all delivered before the close.
TEST(VComOwnerPathTest, DataBeforeAPeerCloseIsDeliveredBeforeDisconnected)
{
    ASSERT_TRUE(startLayers());
    constexpr size_t kBytes = 150 * 1000;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        RawSocket listener(SOCK_STREAM);
        ASSERT_TRUE(listener.bindLoopback(0));
        ASSERT_EQ(0, ::listen(listener.fd(), 1));
        TestOwner owner;
        std::unique_ptr<VCOM::VComTcpClientSocket> client(owner.call([] { return new VCOM::VComTcpClientSocket(); }));
        owner.watch(*client);
        const JLIB::JResult r = owner.call([&] {
            (void)client->start(kClientUser, owner);
            return client->connect(loopbackAddress(), loopbackAddress(), listener.localPort());
        });
        ASSERT_TRUE(r == 0 || r == 1) << r;
        ASSERT_TRUE(owner.waitForEvent("connected u2 s0"));
        RawSocket peer(RawSocket::Adopt{}, ::accept(listener.fd(), nullptr, nullptr));
        ASSERT_GE(peer.fd(), 0);

        std::vector<uint8_t> got;
        size_t atClose = 0;
        owner.setHook([&](const std::string& name, uint32_t, signed char) {
            if (name == "received") drain(*client, got);
            if (name == "disconnected") atClose = got.size();
        });
        std::vector<uint8_t> data(kBytes);
        for (size_t i = 0; i < kBytes; ++i) data[i] = patternAt(i, round);
        std::thread writer([&] {
            size_t sent = 0;
            while (sent < kBytes) {
                const ssize_t n = ::send(peer.fd(), data.data() + sent, std::min<size_t>(5000, kBytes - sent), MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            ::shutdown(peer.fd(), SHUT_WR);
        });
        const bool closed = owner.waitForEvent("disconnected u2 s0");
        writer.join();
        EXPECT_TRUE(closed);
        EXPECT_EQ(kBytes, owner.call([&] { return atClose; }));
        EXPECT_TRUE(owner.call([&] { return matches(got, kBytes, round); }));
        EXPECT_EQ(0, owner.count("connectionFailed 0 u2 s0"));
        owner.setHook(nullptr);
        owner.call([&] { (void)client->stop(); });
        owner.unwatchAll();
        owner.call([&] { client.reset(); });
        EXPECT_EQ(0, owner.offThreadEvents());
    }
}

// Request and reply between two datagram sockets of one owner, several owners at once: each
// datagram arrives once and in order, each gets its onSent, and only one is in flight per socket
// (the reply to a request that arrives with the previous reply's onSent still finds room).
TEST(VComOwnerPathTest, ManyOwnersExchangeDatagramsInOrderWithOneInFlight)
{
    ASSERT_TRUE(startLayers());
    constexpr int kOwners = 4;
    constexpr uint32_t kRounds = 300;
    struct Exchange {
        TestOwner owner;
        std::unique_ptr<VCOM::VComUdpSocket> requester, responder;
        std::vector<uint32_t> replies;
        uint32_t next = 0;
        bool refusedSecond = false;
    };
    std::vector<std::unique_ptr<Exchange>> exchanges;
    for (int p = 0; p < kOwners; ++p) {
        exchanges.push_back(std::make_unique<Exchange>());
        Exchange& x = *exchanges.back();
        const uint16_t requestPort = vsocktest::pickPort(SOCK_DGRAM), replyPort = vsocktest::pickPort(SOCK_DGRAM);
        ASSERT_TRUE(x.owner.call([&] {
            x.requester.reset(new VCOM::VComUdpSocket());
            x.responder.reset(new VCOM::VComUdpSocket());
            (void)x.requester->start(kServerUser, x.owner);
            (void)x.responder->start(kClientUser, x.owner);
            return x.requester->listen(loopbackAddress(), requestPort) == 0 &&
                   x.responder->listen(loopbackAddress(), replyPort) == 0 &&
                   x.requester->sendTo(loopbackAddress(), replyPort) == 0;
        }));
        x.owner.watch(*x.requester);
        x.owner.watch(*x.responder);
        x.owner.setHook([&x](const std::string& name, uint32_t user, signed char) {
            uint32_t count = 0;
            if (name == "received" && user == kClientUser) {
                uint32_t word = 0;
                while (x.responder->receive(&word, sizeof(word), count) == 0 && count > 0) {
                    VCOM::VComSocketAddress from;
                    uint16_t port = 0;
                    (void)x.responder->receiveFrom(from, port);
                    (void)x.responder->sendTo(from, port);
                    (void)x.responder->send(&word, sizeof(word), count);
                }
            } else if (name == "received" && user == kServerUser) {
                uint32_t word = 0;
                while (x.requester->receive(&word, sizeof(word), count) == 0 && count > 0) x.replies.push_back(word);
                if (x.next < kRounds && x.replies.size() == x.next) {
                    const uint32_t request = x.next++;
                    (void)x.requester->send(&request, sizeof(request), count);
                }
            }
        });
    }
    for (auto& x : exchanges) {
        x->owner.call([&x] {
            const uint32_t word = x->next++;
            uint32_t count = 0;
            (void)x->requester->send(&word, sizeof(word), count);
            x->refusedSecond = x->requester->send(&word, sizeof(word), count) == 0x80000003u;  // still in flight
        });
    }
    for (int p = 0; p < kOwners; ++p) {
        SCOPED_TRACE(p);
        Exchange& x = *exchanges[static_cast<size_t>(p)];
        EXPECT_TRUE(waitFor([&] { return x.owner.call([&] { return x.replies.size() >= kRounds; }); },
                            std::chrono::seconds(60)));
        x.owner.setHook(nullptr);
        EXPECT_TRUE(x.owner.call([&] { return x.refusedSecond; }));
        std::vector<uint32_t> expected(kRounds);
        for (uint32_t i = 0; i < kRounds; ++i) expected[i] = i;
        EXPECT_EQ(expected, x.owner.call([&] { return x.replies; }));
        EXPECT_TRUE(waitFor([&] { return x.owner.count("sent u1 s0") >= static_cast<int>(kRounds); }));
        EXPECT_TRUE(waitFor([&] { return x.owner.count("sent u2 s0") >= static_cast<int>(kRounds); }));
        EXPECT_EQ(static_cast<int>(kRounds), x.owner.count("sent u1 s0"));
        EXPECT_EQ(0, x.owner.offThreadEvents());
        x.owner.call([&] {
            (void)x.requester->stop();
            (void)x.responder->stop();
        });
        x.owner.unwatchAll();
        x.owner.call([&] {
            x.requester.reset();
            x.responder.reset();
        });
    }
}
