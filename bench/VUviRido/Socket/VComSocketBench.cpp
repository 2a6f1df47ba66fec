// Loopback exchanges through the socket objects beside the same exchange over plain blocking
// POSIX sockets; the ratio of each pair is the figure that matters.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "VUviRido/Socket/VComUdpSocket.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"

namespace {

constexpr size_t kTransfer = 1 << 20;  // bytes per TCP iteration
constexpr uint32_t kDatagram = 64;     // bytes per UDP request and reply

bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return (r == 0 || r == 0x80000008u) && vsock_initModule() == 0;
    }();
    return started;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return in;
}

uint16_t pickPort(int type)
{
    const int fd = ::socket(AF_INET, type, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

VCOM::VComSocketAddress loopbackAddress() { return VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"); }

// The benchmark thread is the owner: it waits for a wake-up and then delivers.
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

void BM_VComTcpThroughput(benchmark::State& state)
{
    if (!startLayers()) return state.SkipWithError("socket layer not started");
    BenchOwner owner;
    VCOM::VComTcpServerSocket server(1);
    VCOM::VComTcpClientSocket client;
    const uint16_t port = pickPort(SOCK_STREAM);
    (void)server.start(1, owner);
    (void)client.start(2, owner);
    if (server.listen(loopbackAddress(), port) != 1) return state.SkipWithError("listen failed");
    bool up = false;
    owner.connected = [&](uint32_t user, signed char) { up = up || user == 2; };
    (void)client.connect(loopbackAddress(), loopbackAddress(), port);
    while (!up || server.numOfConnection() == 0) {
        if (!owner.deliver({&server, &client})) return state.SkipWithError("connect timed out");
    }
    std::vector<uint8_t> chunk(15000, 0x5A);
    std::vector<uint8_t> sink(15000);
    size_t queued = 0, received = 0;
    auto pump = [&] {
        while (queued < kTransfer && client.getRemainSendBuff() > 0) {
            uint32_t count = 0;
            const uint32_t want = static_cast<uint32_t>(std::min(chunk.size(), kTransfer - queued));
            (void)client.send(chunk.data(), std::min(want, client.getRemainSendBuff()), count);
            queued += count;
        }
    };
    owner.sent = [&](uint32_t, signed char) { pump(); };
    owner.received = [&](uint32_t user, signed char session) {
        if (user != 1 || session != 1) return;
        uint32_t count = 0;
        (void)server.getSession(1)->receive(sink.data(), static_cast<uint32_t>(sink.size()), count);
        received += count;
    };
    for (auto _ : state) {
        queued = received = 0;
        pump();
        while (received < kTransfer) {
            if (!owner.deliver({&server, &client})) return state.SkipWithError("transfer stalled");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kTransfer));
    owner.sent = owner.received = owner.connected = nullptr;
    (void)client.stop();
    (void)server.stop();
}
BENCHMARK(BM_VComTcpThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PosixTcpThroughput(benchmark::State& state)
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
    std::vector<uint8_t> chunk(10000, 0x5A), sink(10000);
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
BENCHMARK(BM_PosixTcpThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VComUdpRequestReply(benchmark::State& state)
{
    if (!startLayers()) return state.SkipWithError("socket layer not started");
    BenchOwner owner;
    VCOM::VComUdpSocket requester, responder;
    const uint16_t requestPort = pickPort(SOCK_DGRAM), replyPort = pickPort(SOCK_DGRAM);
    (void)requester.start(1, owner);
    (void)responder.start(2, owner);
    if (requester.listen(loopbackAddress(), requestPort) != 0 || responder.listen(loopbackAddress(), replyPort) != 0) {
        return state.SkipWithError("listen failed");
    }
    (void)requester.sendTo(loopbackAddress(), replyPort);
    uint8_t buffer[kDatagram] = {};
    bool replied = false;
    owner.received = [&](uint32_t user, signed char) {
        VCOM::VComUdpSocket& socket = user == 1 ? requester : responder;
        uint32_t count = 0;
        while (socket.receive(buffer, sizeof(buffer), count) == 0 && count > 0) {
            if (user == 1) {
                replied = true;
                continue;
            }
            VCOM::VComSocketAddress from;
            uint16_t port = 0;
            (void)responder.receiveFrom(from, port);
            (void)responder.sendTo(from, port);
            (void)responder.send(buffer, count, count);
        }
    };
    for (auto _ : state) {
        replied = false;
        uint32_t count = 0;
        (void)requester.send(buffer, kDatagram, count);
        // One datagram in flight per socket: the exchange ends when both sends are reported too.
        while (!replied || requester.getRemainSendBuff() == 0 || responder.getRemainSendBuff() == 0) {
            if (!owner.deliver({&requester, &responder})) return state.SkipWithError("reply lost");
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    owner.received = nullptr;
    (void)requester.stop();
    (void)responder.stop();
}
BENCHMARK(BM_VComUdpRequestReply)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PosixUdpRequestReply(benchmark::State& state)
{
    const int requester = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int responder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof(in);
    (void)::bind(responder, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    (void)::getsockname(responder, reinterpret_cast<sockaddr*>(&in), &length);
    std::thread echo([&] {
        uint8_t buffer[kDatagram];
        sockaddr_in from = {};
        while (true) {
            socklen_t fromLength = sizeof(from);
            const ssize_t n = ::recvfrom(responder, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n <= 0) return;  // the zero-length datagram below ends the thread
            (void)::sendto(responder, buffer, static_cast<size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
        }
    });
    uint8_t buffer[kDatagram] = {};
    timeval tv = {1, 0};
    (void)::setsockopt(requester, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    for (auto _ : state) {
        (void)::sendto(requester, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&in), sizeof(in));
        if (::recv(requester, buffer, sizeof(buffer), 0) <= 0) {
            state.SkipWithError("reply lost");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    (void)::sendto(requester, buffer, 0, 0, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    echo.join();
    ::close(requester);
    ::close(responder);
}
BENCHMARK(BM_PosixUdpRequestReply)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
