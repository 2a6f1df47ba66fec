// A raw "set" round trip through the text control server over loopback, beside an owner on the
// same socket classes that answers the same line without decoding it; and a pipelined burst.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "oswrap/oswrap.h"
#include "textcontrol/ScpServer.h"
#include "vsock/vsock.h"

namespace {

const char kRequest[] = "set Fader 0 0 1\n";
const char kReply[] = "OK set MIXER:Fader 0 0 1 \"v\"\n";

bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return (r == 0 || r == 0x80000008u) && vsock_initModule() == 0;
    }();
    return started;
}

uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

class BenchParameters : public SCP::ScpParameter {
public:
    int32_t value = 0;
    uint32_t getAddress(SCP::ScpString& address, uint32_t) override { return address.fromLatin1("MIXER:Fader", 64); }
    uint32_t setValue(uint8_t, uint32_t, uint32_t, uint32_t, const JVariant& v) override
    {
        value = v.toInt32();
        return 0;
    }
    uint32_t getValue(JVariant& v, uint8_t, uint32_t, uint32_t, uint32_t) override { return v.setInt32(value) ? 0 : 0; }
    uint32_t getText(SCP::ScpString& text, uint8_t, uint32_t, uint32_t, uint32_t) override
    {
        return text.fromLatin1("v", 8);
    }
};

// Answers every line with kReply, reading the bytes the same way the server does.
class EchoOwner : public VCOM::IVComCallback {
public:
    VCOM::IVCom* socket = nullptr;
    JLIB::JResult onConnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) override { return 0; }
    JLIB::JResult onDisconnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onAccepted(uint32_t, signed char, signed char) override { return 0; }
    JLIB::JResult onSent(uint32_t, signed char) override { return 0; }
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return 0; }
    JLIB::JResult onReceived(uint32_t, signed char session) override
    {
        VCOM::IVCom* connection = socket->getSession(session);
        if (!connection) return 0;
        unsigned char buffer[1500];
        while (true) {
            uint32_t count = 0;
            const JLIB::JResult r = connection->receive(buffer, sizeof buffer, count);
            for (uint32_t i = 0; i < count; ++i) {
                if (buffer[i] != '\n') continue;
                uint32_t sent = 0;
                if (connection->getRemainSendBuff() >= sizeof kReply - 1) {
                    (void)connection->send(kReply, sizeof kReply - 1, sent);
                }
            }
            if (r != 2) return 0;
        }
    }
};

// The listening socket and its callback on one owner thread, with onTimer for the server.
class Owner : public VCOM::IVComWakeupFunction {
public:
    Owner(VCOM::IVComCallback* callback, SCP::IScpServer* server) : m_callback(callback), m_server(server)
    {
        port = pickPort();
        m_thread = std::thread([this] { loop(); });
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_ready; });
    }
    ~Owner() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_all();
        return 0;
    }
    uint16_t port = 0;
    bool listening = false;

private:
    void loop()
    {
        VCOM::VComTcpServerSocket socket(2);
        SCP::ScpDeviceController controller;
        BenchParameters parameters;
        SCP::ScpMeter meters;
        if (m_server) (void)m_server->initialize(nullptr, socket, controller, parameters, meters);
        if (auto* echo = dynamic_cast<EchoOwner*>(m_callback)) echo->socket = &socket;
        (void)socket.start(1, *this);
        listening = socket.listen(VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"), port) == 1;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ready = true;
        m_cv.notify_all();
        auto nextTimer = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (!m_quit) {
            m_cv.wait_until(lock, nextTimer, [this] { return m_quit || m_woken; });
            const bool woken = m_woken;
            m_woken = false;
            lock.unlock();
            if (woken) (void)socket.runCallback(*m_callback);
            if (m_server && std::chrono::steady_clock::now() >= nextTimer) {
                nextTimer += std::chrono::milliseconds(100);
                (void)m_server->onTimer();
            }
            lock.lock();
        }
        lock.unlock();
        (void)socket.stop();
    }

    VCOM::IVComCallback* m_callback;
    SCP::IScpServer* m_server;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
    bool m_quit = false;
    bool m_ready = false;
    std::thread m_thread;
};

int connectTo(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int one = 1;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval tv = {5, 0};
    (void)::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads until `lines` line feeds arrived; false on a timeout or close.
bool readLines(int fd, int lines)
{
    char buffer[65536];
    while (lines > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        for (ssize_t i = 0; i < n; ++i) lines -= buffer[i] == '\n' ? 1 : 0;
    }
    return true;
}

void roundTrips(benchmark::State& state, VCOM::IVComCallback* callback, SCP::IScpServer* server, int pipelined)
{
    if (!startLayers()) return state.SkipWithError("socket layer not started");
    Owner owner(callback, server);
    if (!owner.listening) return state.SkipWithError("listen failed");
    const int fd = connectTo(owner.port);
    if (fd < 0) return state.SkipWithError("connect failed");
    std::string burst;
    for (int i = 0; i < pipelined; ++i) burst += kRequest;
    for (auto _ : state) {
        if (::send(fd, burst.data(), burst.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(burst.size()) ||
            !readLines(fd, pipelined)) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * pipelined);
    ::close(fd);
}

void BM_ScpServerSetRoundTrip(benchmark::State& state)
{
    SCP::IScpServer* server = SCP::createScpServer(0);
    roundTrips(state, server, server, 1);
    (void)SCP::destroyScpServer(server);
}
BENCHMARK(BM_ScpServerSetRoundTrip)->UseRealTime();

void BM_EchoOwnerRoundTrip(benchmark::State& state)
{
    EchoOwner echo;
    roundTrips(state, &echo, nullptr, 1);
}
BENCHMARK(BM_EchoOwnerRoundTrip)->UseRealTime();

void BM_ScpServerPipelinedSet(benchmark::State& state)
{
    SCP::IScpServer* server = SCP::createScpServer(0);
    roundTrips(state, server, server, 1000);
    (void)SCP::destroyScpServer(server);
}
BENCHMARK(BM_ScpServerPipelinedSet)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
