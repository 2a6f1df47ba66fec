// 16 MiB as 1 MiB messages through two port multiplexers over the socket objects on loopback,
// beside the same bytes through the socket objects alone and over plain blocking POSIX TCP.
// The figure that matters is the multiplexers' rate against the socket objects alone.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "comctrl/Core/comctrl_ESP.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"
#include "LinkBenchSupport.h"

namespace {

using linkbench::loopback;
using linkbench::pickPort;
using linkbench::startLayers;

constexpr size_t kMessage = 1 << 20;
constexpr size_t kTransfer = 16 * kMessage;

VCOM::VComSocketAddress loopbackAddress() { return VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"); }

// The benchmark thread owns both socket objects: it waits for a wake-up and then delivers.
class BenchOwner : public VCOM::IVComWakeupFunction, public VCOM::IVComCallback {
public:
    using Hook = std::function<void(uint32_t user, signed char session)>;

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_one();
        return 0;
    }
    // False when no wake-up came within a second.
    bool deliver(std::initializer_list<VCOM::IVCom*> objects)
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_cv.wait_for(lock, std::chrono::seconds(1), [this] { return m_woken; })) return false;
            m_woken = false;
        }
        for (VCOM::IVCom* object : objects) (void)object->runCallback(*this);
        return true;
    }

    Hook connected, received, sent;

    JLIB::JResult onConnected(uint32_t u, signed char s) override { return call(connected, u, s); }
    JLIB::JResult onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) override { return 0; }
    JLIB::JResult onDisconnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onAccepted(uint32_t, signed char, signed char) override { return 0; }
    JLIB::JResult onReceived(uint32_t u, signed char s) override { return call(received, u, s); }
    JLIB::JResult onSent(uint32_t u, signed char s) override { return call(sent, u, s); }
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return 0; }

private:
    static JLIB::JResult call(const Hook& hook, uint32_t u, signed char s)
    {
        if (hook) hook(u, s);
        return 0;
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
};

// A connected client (user 2) and server session (user 1) on loopback.
struct SocketPair {
    BenchOwner owner;
    VCOM::VComTcpServerSocket server{1};
    VCOM::VComTcpClientSocket client;

    bool connect()
    {
        if (!startLayers()) return false;
        const uint16_t port = pickPort();
        (void)server.start(1, owner);
        (void)client.start(2, owner);
        if (server.listen(loopbackAddress(), port) != 1) return false;
        bool up = false;
        owner.connected = [&](uint32_t user, signed char) { up = up || user == 2; };
        (void)client.connect(loopbackAddress(), loopbackAddress(), port);
        while (!up || server.numOfConnection() == 0) {
            if (!owner.deliver({&server, &client})) return false;
        }
        owner.connected = nullptr;
        return true;
    }
    bool deliver() { return owner.deliver({&server, &client}); }
    ~SocketPair()
    {
        owner.sent = owner.received = owner.connected = nullptr;
        (void)client.stop();
        (void)server.stop();
    }
};

void BM_PosixTcp(benchmark::State& state)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof(in);
    (void)::bind(listener, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    (void)::getsockname(listener, reinterpret_cast<sockaddr*>(&in), &length);
    (void)::listen(listener, 1);
    const int writer = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    (void)::setsockopt(writer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    (void)::connect(writer, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    const int reader = ::accept(listener, nullptr, nullptr);
    std::vector<uint8_t> chunk(15000, 0x5A), sink(15000);
    for (auto _ : state) {
        std::thread send([&] {
            size_t sent = 0;
            while (sent < kTransfer) {
                const ssize_t n = ::send(writer, chunk.data(), std::min(chunk.size(), kTransfer - sent), MSG_NOSIGNAL);
                if (n <= 0) return;
                sent += static_cast<size_t>(n);
            }
        });
        size_t got = 0;
        while (got < kTransfer) {
            const ssize_t n = ::recv(reader, sink.data(), sink.size(), 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        send.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTransfer));
    ::close(reader);
    ::close(writer);
    ::close(listener);
}
BENCHMARK(BM_PosixTcp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SocketObjects(benchmark::State& state)
{
    SocketPair pair;
    if (!pair.connect()) return state.SkipWithError("connect failed");
    std::vector<uint8_t> chunk(15000, 0x5A);
    std::vector<uint8_t> sink(15000);
    size_t queued = 0, received = 0;
    auto pump = [&] {
        while (queued < kTransfer && pair.client.getRemainSendBuff() > 0) {
            uint32_t count = 0;
            const uint32_t want = static_cast<uint32_t>(std::min(chunk.size(), kTransfer - queued));
            (void)pair.client.send(chunk.data(), std::min(want, pair.client.getRemainSendBuff()), count);
            queued += count;
        }
    };
    pair.owner.sent = [&](uint32_t, signed char) { pump(); };
    pair.owner.received = [&](uint32_t user, signed char session) {
        if (user != 1 || session != 1) return;
        uint32_t count = 0;
        do {
            (void)pair.server.getSession(1)->receive(sink.data(), static_cast<uint32_t>(sink.size()), count);
            received += count;
        } while (count > 0);
    };
    for (auto _ : state) {
        queued = received = 0;
        pump();
        while (received < kTransfer) {
            if (!pair.deliver()) return state.SkipWithError("transfer stalled");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTransfer));
}
BENCHMARK(BM_SocketObjects)->Unit(benchmark::kMillisecond)->UseRealTime();

// Sends `remaining` messages of kMessage bytes, built in place in the staging block.
class Sender : public ComControl::IPortObserver {
public:
    size_t remaining = 0;
    std::vector<uint8_t> source = std::vector<uint8_t>(kMessage, 0x5A);

    JLIB::JResult event(uint8_t* output, uint32_t capacity, uint32_t* produced, const uint8_t*, uint32_t,
                        uint8_t* flags) override
    {
        *produced = 0;
        if (remaining == 0) return 0;
        if (!output || capacity < kMessage) return 0x80000001u;  // no room now
        std::memcpy(output, source.data(), kMessage);
        *produced = static_cast<uint32_t>(kMessage);
        if (--remaining > 0) *flags |= kFlagMore;
        return 0;
    }
};

class Receiver : public ComControl::IPortObserver {
public:
    size_t bytes = 0;
    JLIB::JResult event(uint8_t*, uint32_t, uint32_t* produced, const uint8_t*, uint32_t length, uint8_t*) override
    {
        *produced = 0;
        bytes += length;
        return 0;
    }
};

void BM_TwoMultiplexers(benchmark::State& state)
{
    SocketPair pair;
    if (!pair.connect()) return state.SkipWithError("connect failed");
    constexpr uint32_t kCapacity = 2 * kMessage;  // a whole message and its header fit the ring
    ComControl::ESP sending(1, kCapacity);
    ComControl::ESP receiving(1, kCapacity);
    Sender sender;
    Receiver receiver;
    (void)sending.setCorePort(&pair.client);
    (void)receiving.setCorePort(pair.server.getSession(1));
    (void)sending.registerVPortObserver(0, "F00", &sender);
    (void)receiving.registerVPortObserver(0, "F00", &receiver);
    (void)sending.openPort(0);
    (void)receiving.openPort(0);
    pair.owner.sent = [&](uint32_t user, signed char) {
        if (user != 2) return;
        (void)sending.onSent();
        if (sender.remaining > 0) (void)sending.writeRequest("F00");
    };
    pair.owner.received = [&](uint32_t user, signed char session) {
        if (user == 1 && session == 1) (void)receiving.onReceived();
    };
    for (auto _ : state) {
        receiver.bytes = 0;
        sender.remaining = kTransfer / kMessage;
        (void)sending.writeRequest("F00");
        while (receiver.bytes < kTransfer) {
            if (!pair.deliver()) return state.SkipWithError("transfer stalled");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTransfer));
    (void)sending.setCorePort(nullptr);
    (void)receiving.setCorePort(nullptr);
}
BENCHMARK(BM_TwoMultiplexers)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
