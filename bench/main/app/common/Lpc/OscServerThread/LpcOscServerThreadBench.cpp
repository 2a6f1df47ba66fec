// Round trip of a client's write through the thread "OSCServer" to another client: client A (keep-
// alive) sets "uz:OBA/Object/Fader/Level" to alternating values, client B (keep-alive) waits for
// the notification; on the real thread with the parameter space, the protocol memory and the
// shipped device database, over UDP on 127.0.0.1. Baseline: a bare UDP request and reply on the
// same loopback, answered by a thread of its own. A program of its own: the running thread would
// walk the database changes of other benchmarks.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../LpcBenchComponents.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoJSON.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "common/Lpc/LpcOscServerThread.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzParameterStrategy.h"
#include "common/Lpc/LpcUzProtoDeviceControlThread.h"
#include "jlib/JHeap.h"
#include "vsock/vsock.h"

namespace {

constexpr int kWaitMs = 2000;

struct Definition {
    uint32_t uid;
    const char* type;
};
const Definition kDefinitions[] = {
    {0, "uzCurrent"},     {1, "uzSetup"},        {2, "uzVolatile"},   {3, "uzSceneStatus"},
    {4, "uzSceneList"},   {5, "uzPresetStatus"}, {6, "uzPresetList"},
};

LPC::LpcUzParameterStrategyBase* strategyOf(const Definition& d)
{
    if (d.uid == 0) return &LPC::gUzParameterStrategyCurrent;
    if (d.uid == 1) return &LPC::gUzParameterStrategySetup;
    return nullptr;
}

bool addDefinition(const Definition& d)
{
    return LpcBench::addComponent(LPC::getLpcPDB(), d.uid, d.type, strategyOf(d));
}

int udpSocket(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return -1;
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(in);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(in.sin_port);
    return fd;
}

bool sendTo(int fd, uint16_t port, const std::vector<char>& data)
{
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::sendto(fd, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to)) ==
           static_cast<ssize_t>(data.size());
}

// One datagram within the wait, its text in received; false when none came.
bool receive(int fd, std::string& received)
{
    pollfd p = {fd, POLLIN, 0};
    if (::poll(&p, 1, kWaitMs) <= 0) return false;
    char buffer[2048];
    const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
    if (n <= 0) return false;
    received.assign(buffer, static_cast<size_t>(n));
    return true;
}

// Datagrams until one holds the word; false when none does within the wait of each.
bool receiveWith(int fd, const char* word)
{
    std::string received;
    while (receive(fd, received)) {
        if (received.find(word) != std::string::npos) return true;
    }
    return false;
}

void drain(int fd)
{
    char buffer[2048];
    while (::recv(fd, buffer, sizeof(buffer), MSG_DONTWAIT) > 0) {
    }
}

void pad(std::vector<char>& out)
{
    do out.push_back('\0');
    while (out.size() % 4 != 0);
}

// An OSC message with Int32 arguments only.
std::vector<char> oscMessage(const std::string& address, const std::vector<int32_t>& ints)
{
    std::vector<char> out(address.begin(), address.end());
    pad(out);
    std::string tags = "," + std::string(ints.size(), 'i');
    out.insert(out.end(), tags.begin(), tags.end());
    pad(out);
    for (int32_t v : ints) {
        const uint32_t n = htonl(static_cast<uint32_t>(v));
        const char* b = reinterpret_cast<const char*>(&n);
        out.insert(out.end(), b, b + 4);
    }
    return out;
}

// The engine's side in this process: a root with "DeviceControlForUZ" (protocol memory up,
// "ServerStart" posted) and "OSCServer", reading its settings from a fresh working folder.
struct Engine {
    Engine()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        char folderTemplate[] = "/tmp/uz_osc_bench_XXXXXX";
        ok = mkdtemp(folderTemplate) != nullptr && vsock_initModule() == 0;
        folder = folderTemplate;
        if (ok && !LPC::getLpcPDB().isValid()) ok = PDB::createPDB(10, "AudioCompo", &lock, 0) == 0;
        for (const Definition& d : kDefinitions) ok = ok && addDefinition(d);
        int probe = udpSocket(rxPort);
        ok = ok && probe >= 0;
        if (probe >= 0) ::close(probe);
        if (!ok) return;
        std::ofstream(folder + "/SystemSetting.ini") << "[Setting]\nOSCRxPort = " << rxPort << "\nOSCTxPort = 0\n";
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        (void)LPC::LpcThreadCommon::getInstance().finalize();
        ok = LPC::LpcThreadCommon::getInstance().initialize() == 0 &&
             root.initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()) == 0 &&
             waitForStatus(root, TMS::kStatusStop) &&
             forUZ.initialize("DeviceControlForUZ", 0, 2, 20000, 20000, 100, 100, TMS::getNullDataMap()) == 0 &&
             osc.initialize("OSCServer", 0, 4, 20000, 20000, 100, 100, TMS::getNullDataMap()) == 0 &&
             waitForStatus(forUZ, TMS::kStatusStop) && waitForStatus(osc, TMS::kStatusStop) &&
             root.addThread(forUZ) == 0 && root.addThread(osc) == 0 && root.start(TMS::getNullDataMap()) == 0;
        // The change walks come once the thread runs and has subscribed.
        ok = ok && waitForStatus(osc, TMS::kStatusRun) && serverAnswers();
    }

    static bool waitForStatus(const TMS::AbstractThread& thread, uint32_t status)
    {
        for (int i = 0; i < 2000 && thread.getStatus() != status; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return thread.getStatus() == status;
    }
    // Asks until the server is bound and answers.
    bool serverAnswers()
    {
        uint16_t port = 0;
        const int fd = udpSocket(port);
        bool answered = false;
        for (int i = 0; fd >= 0 && i < 50 && !answered; ++i) {
            std::string reply;
            answered = sendTo(fd, rxPort, oscMessage("/josc:req/prmnum", {})) && receive(fd, reply);
        }
        if (fd >= 0) ::close(fd);
        return answered;
    }

    TMS::TMSystem system;
    PDB::SimpleReadWriteMutex lock;
    std::string folder;
    std::filesystem::path previous;
    uint16_t rxPort = 0;
    TMS::SystemThread root{1};
    LPC::LpcUzProtoDeviceControlThread forUZ;
    LPC::LpcOscServerThread osc;
    bool ok = false;
};

struct Client {
    Client() { fd = udpSocket(port); }
    ~Client()
    {
        if (fd >= 0) ::close(fd);
    }
    bool keepAlive(uint16_t rxPort)
    {
        drain(fd);  // what the last run left
        return sendTo(fd, rxPort, oscMessage("/josc:req/keepalive", {60000})) && receiveWith(fd, "keepalive");
    }
    int fd = -1;
    uint16_t port = 0;
};

void BM_OscWriteNotifiedToAnotherClient(benchmark::State& state)
{
    // One engine side for the process, never taken down: the databases keep its threads as
    // subscribers, and a second tree could not subscribe under a task id the first one had.
    static Engine& e = *new Engine;
    if (!e.ok) {
        state.SkipWithError("the engine side could not be started");
        return;
    }
    // The same two clients for every run: each new one would take one of the ten client slots.
    static Client a;
    static Client b;
    if (a.fd < 0 || b.fd < 0 || !a.keepAlive(e.rxPort) || !b.keepAlive(e.rxPort)) {
        state.SkipWithError("the clients could not start their sessions");
        return;
    }
    // A value equal to the stored one changes nothing and is not notified: the alternation goes
    // on across the runs of this benchmark.
    static int32_t value = -1000;
    for (auto _ : state) {
        value = value == -1000 ? -2000 : -1000;
        if (!sendTo(a.fd, e.rxPort, oscMessage("/josc:req/set/uz:OBA/Object/Fader/Level/1", {value})) ||
            !receiveWith(b.fd, "notify")) {
            state.SkipWithError("a write was not notified");
            break;
        }
        drain(a.fd);  // the writer's own "ok"
    }
}

void BM_BareUdpRequestAndReply(benchmark::State& state)
{
    Client client;
    uint16_t echoPort = 0;
    const int echo = udpSocket(echoPort);
    if (client.fd < 0 || echo < 0) {
        state.SkipWithError("no sockets");
        return;
    }
    std::atomic<bool> stop{false};
    std::thread answering([&] {
        char buffer[2048];
        while (!stop.load()) {
            pollfd p = {echo, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            sockaddr_in from = {};
            socklen_t length = sizeof(from);
            const ssize_t n = ::recvfrom(echo, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (n > 0) (void)::sendto(echo, buffer, static_cast<size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), length);
        }
    });
    const std::vector<char> request = oscMessage("/josc:req/set/uz:OBA/Object/Fader/Level/1", {-1000});
    for (auto _ : state) {
        std::string reply;
        if (!sendTo(client.fd, echoPort, request) || !receive(client.fd, reply)) {
            state.SkipWithError("no reply");
            break;
        }
    }
    stop = true;
    answering.join();
    ::close(echo);
}

}  // namespace

BENCHMARK(BM_BareUdpRequestAndReply)->UseRealTime();
BENCHMARK(BM_OscWriteNotifiedToAnotherClient)->UseRealTime();
