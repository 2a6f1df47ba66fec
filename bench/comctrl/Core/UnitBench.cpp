// Round trip of a "KeepAlive" event and its answer between a connecting unit and a client unit of
// a listening service on loopback, beside a 16-byte echo over plain blocking POSIX TCP and the
// same echo through the socket objects alone, in the same run. The unit figure is read against
// both echoes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTcpServerSocket.h"
#include "comctrl/Core/comctrl_ClientUnit.h"
#include "comctrl/Core/comctrl_IEventExecutor.h"
#include "comctrl/Core/comctrl_IUnitConnectObserver.h"
#include "comctrl/Core/comctrl_ServerService.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "dbgc/dbgc_stdapi.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"
#include "LinkBenchSupport.h"

namespace {

using linkbench::loopback;
using linkbench::pickPort;
using linkbench::startLayers;

constexpr size_t kEcho = 16;

VCOM::VComSocketAddress loopbackAddress() { return VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"); }

void BM_PosixEcho16(benchmark::State& state) { linkbench::posixRequestReply(state, kEcho, kEcho); }
BENCHMARK(BM_PosixEcho16)->Unit(benchmark::kMicrosecond)->UseRealTime();

constexpr uint32_t kServerUser = 1;
constexpr uint32_t kClientUser = 2;

// The benchmark thread owns every socket object and unit: it waits for a wake-up, then delivers.
class Owner : public VCOM::IVComWakeupFunction, public VCOM::IVComCallback {
public:
    std::vector<std::function<void()>> deliverers;
    std::function<void(uint32_t user, signed char session)> received;
    bool connectedClient = false;

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_one();
        return 0;
    }
    // One delivery after a wake-up; false when none came within the wait.
    bool deliver(std::chrono::milliseconds wait = std::chrono::seconds(1))
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_cv.wait_for(lock, wait, [this] { return m_woken; })) return false;
            m_woken = false;
        }
        for (auto& d : deliverers) d();
        return true;
    }

    JLIB::JResult onConnected(uint32_t user, signed char) override
    {
        connectedClient = connectedClient || user == kClientUser;  // sessions report their start too
        return 0;
    }
    JLIB::JResult onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) override { return 0; }
    JLIB::JResult onDisconnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onAccepted(uint32_t, signed char, signed char) override { return 0; }
    JLIB::JResult onReceived(uint32_t u, signed char s) override
    {
        if (received) received(u, s);
        return 0;
    }
    JLIB::JResult onSent(uint32_t, signed char) override { return 0; }
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return 0; }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
};

void BM_SocketObjectsEcho16(benchmark::State& state)
{
    if (!startLayers()) return state.SkipWithError("layers not started");
    Owner owner;
    VCOM::VComTcpServerSocket server(1);
    VCOM::VComTcpClientSocket client;
    owner.deliverers = {[&] { (void)server.runCallback(owner); }, [&] { (void)client.runCallback(owner); }};
    const uint16_t port = pickPort();
    (void)server.start(kServerUser, owner);
    (void)client.start(kClientUser, owner);
    if (server.listen(loopbackAddress(), port) != 1) return state.SkipWithError("listen failed");
    (void)client.connect(loopbackAddress(), loopbackAddress(), port);
    while (!owner.connectedClient || server.numOfConnection() == 0) {
        if (!owner.deliver()) return state.SkipWithError("connect failed");
    }
    size_t echoed = 0;
    uint8_t bytes[64];
    owner.received = [&](uint32_t user, signed char session) {
        uint32_t count = 0;
        if (user == kServerUser && session == 1) {
            VCOM::IVCom* s = server.getSession(1);
            (void)s->receive(bytes, sizeof(bytes), count);
            uint32_t sent = 0;
            if (count > 0) (void)s->send(bytes, count, sent);
        } else if (user == kClientUser) {
            (void)client.receive(bytes, sizeof(bytes), count);
            echoed += count;
        }
    };
    const uint8_t out[kEcho] = {1, 2, 3};
    for (auto _ : state) {
        const size_t target = echoed + kEcho;
        uint32_t sent = 0;
        (void)client.send(out, kEcho, sent);
        while (echoed < target) {
            if (!owner.deliver()) return state.SkipWithError("echo stalled");
        }
    }
    owner.received = nullptr;
    (void)client.stop();
    (void)server.stop();
}
BENCHMARK(BM_SocketObjectsEcho16)->Unit(benchmark::kMicrosecond)->UseRealTime();

class AcceptAll : public ComControl::IEventExecutor {
public:
    uint32_t execute(uint32_t, const char*, const char*) override { return 0; }
};

class QuietObserver : public ComControl::IUnitConnectObserver {
public:
    bool up = false;
    void connected(int32_t) override { up = true; }
    void connectFailed(int32_t) override {}
    void disconnected(int32_t) override { up = false; }
    void unitStateChanged(int32_t) override {}
};

// Counts the first receive after each event sent: the answer, which the multiplexer reads whole
// in that one pass.
class CountingServerUnit : public ComControl::ServerUnit {
public:
    bool awaiting = false;
    uint64_t answers = 0;
    JLIB::JResult onReceived(uint32_t user, signed char session) override
    {
        const JLIB::JResult r = ServerUnit::onReceived(user, session);
        if (awaiting) {
            awaiting = false;
            ++answers;
        }
        return r;
    }
};

void BM_UnitKeepAliveRoundTrip(benchmark::State& state)
{
    if (!startLayers()) return state.SkipWithError("layers not started");
    Owner owner;
    QuietObserver observer;
    AcceptAll executor;
    ComControl::ClientUnit client;
    ComControl::ServerService service;
    CountingServerUnit unit;
    constexpr uint32_t kBuffer = 0x100000;  // the engine's size
    if (client.initialize(0, 1, 0, 0, 0, &observer, kBuffer) != 0 || client.setEventPortName(0, "EVT") != 0 ||
        client.registEventExecutor(0, "Bench", executor, 0) != 0 ||
        unit.initialize(1, 1, 0, 0, 0, loopbackAddress(), owner, &observer, kBuffer) != 0 ||
        unit.setEventPortName(0, "EVT") != 0 || unit.registEventExecutor(0, "Bench", executor, 0) != 0 ||
        service.initialize(&client, 1, owner) != 0) {
        return state.SkipWithError("set-up failed");
    }
    owner.deliverers = {[&] { (void)service.runCallback(); }, [&] { (void)unit.runCallback(); }};
    const uint16_t port = pickPort();
    if (service.listen("127.0.0.1", port) != 0 || unit.connect(loopbackAddress(), port) != 0) {
        return state.SkipWithError("connect failed");
    }
    while (!unit.isConnected() || !client.isValidSession()) {
        if (!owner.deliver()) return state.SkipWithError("connect stalled");
    }
    for (auto _ : state) {
        const uint64_t target = unit.answers + 1;
        unit.awaiting = true;
        if (unit.sendEvent(0, 0, "KeepAlive", "") != 0) return state.SkipWithError("send refused");
        while (unit.answers < target) {
            if (!owner.deliver()) return state.SkipWithError("round trip stalled");
        }
    }
    (void)unit.disconnect();
}
BENCHMARK(BM_UnitKeepAliveRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
