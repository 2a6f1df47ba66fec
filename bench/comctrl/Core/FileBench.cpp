// A 1 MiB file from a connecting unit to a client unit of a listening service on loopback, one
// 2048-byte chunk per round trip, beside a bare POSIX TCP echo of one chunk (2048 bytes out, a
// 64-byte acknowledgement back) in the same run. Read the file figure against chunk count x echo.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "comctrl/Core/comctrl_ClientUnit.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_IProgressMonitor.h"
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

constexpr size_t kChunk = 2048;
constexpr size_t kAck = 64;
constexpr size_t kFileSize = 1u << 20;

void BM_PosixChunkEcho(benchmark::State& state) { linkbench::posixRequestReply(state, kChunk, kAck); }
BENCHMARK(BM_PosixChunkEcho)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The benchmark thread owns both units and delivers their socket events after each wake-up.
class Owner : public VCOM::IVComWakeupFunction, public ComControl::IUnitConnectObserver {
public:
    bool connectedServer = false;
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
    bool waitWake(std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const bool woken = m_cv.wait_for(lock, limit, [this] { return m_woken; });
        m_woken = false;
        return woken;
    }
    void connected(int32_t id) override { (id == 7 ? connectedServer : connectedClient) = true; }
    void connectFailed(int32_t) override {}
    void disconnected(int32_t) override {}
    void unitStateChanged(int32_t) override {}

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_woken = false;
};

class DoneMonitor : public ComControl::IProgressMonitor {
public:
    bool done = false;
    uint32_t start(const char*, ComControl::FileTransStatus, uint32_t) override { return 0; }
    uint32_t update(const char*, ComControl::FileTransStatus, uint32_t, const uint8_t*, uint32_t, bool last) override
    {
        done = done || last;
        return 0;
    }
    uint32_t cancel(const char*, ComControl::FileTransStatus, uint32_t) override
    {
        done = true;
        return 0;
    }
};

void BM_FileOverLink1MiB(benchmark::State& state)
{
    if (!startLayers()) {
        state.SkipWithError("layers did not start");
        return;
    }
    char templ[] = "/tmp/uz_bench_file_XXXXXX";
    if (!mkdtemp(templ)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string top = templ;
    std::filesystem::create_directories(top + "/from");
    std::filesystem::create_directories(top + "/to");
    {
        std::string content(kFileSize, '\0');
        for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 31);
        std::ofstream(top + "/from/big.bin", std::ios::binary) << content;
    }
    {
        Owner owner;
        DoneMonitor monitor;
        ComControl::FileAccessor from;
        ComControl::FileAccessor to;
        ComControl::ClientUnit client;
        ComControl::ServerService service;
        ComControl::ServerUnit server;
        const uint16_t port = pickPort();
        const VCOM::VComSocketAddress address(NETC_AF_INET, "127.0.0.1");
        bool ok = from.initialize(1, (top + "/from").c_str(), 256, '/', nullptr) == 0 &&
                  to.initialize(1, (top + "/to").c_str(), 256, '/', nullptr) == 0 &&
                  client.initialize(0, 1, 0, 1, 0, &owner, 0x10000) == 0 && client.setFilePortName(0, "C_R") == 0 &&
                  client.registFileAccessor(0, "Config", &to, 240) == 0 &&
                  client.registFileMonitor(0, &monitor) == 0;
        ComControl::ClientUnit* table[] = {&client};
        ok = ok && service.initialize(table, 1, owner) == 0 && service.listen("127.0.0.1", port) == 0 &&
             server.initialize(7, 1, 0, 1, 0, address, owner, &owner, 0x10000) == 0 &&
             server.setFilePortName(0, "C_R") == 0 && server.registFileAccessor(0, "Config", &from, 240) == 0 &&
             server.connect(address, port) == 0;
        auto deliver = [&] {
            (void)owner.waitWake(std::chrono::milliseconds(50));
            (void)service.runCallback();
            (void)server.runCallback();
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ok && !(owner.connectedServer && owner.connectedClient)) {
            if (std::chrono::steady_clock::now() > deadline) ok = false;
            deliver();
        }
        if (!ok) state.SkipWithError("the link did not come up");
        for (auto _ : state) {
            if (!ok) break;
            monitor.done = false;
            if (server.startFileTransfer(0, false, "big.bin") != 0) {
                state.SkipWithError("transfer refused");
                break;
            }
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!monitor.done && std::chrono::steady_clock::now() < limit) deliver();
            if (!monitor.done) {
                state.SkipWithError("transfer did not end");
                break;
            }
        }
        state.counters["chunks"] = static_cast<double>(kFileSize / kChunk + 1);
        (void)server.disconnect();
        (void)service.disconnect();
    }
    std::error_code ignored;
    std::filesystem::remove_all(top, ignored);
}
BENCHMARK(BM_FileOverLink1MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
