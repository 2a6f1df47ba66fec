// Cost of one debug print of a 60-character trace line with no console output registered, beside
// the plain way of doing the same: snprintf into a 400-byte buffer and fputs to standard output.
// Then the same print with a user connected to the TCP debug console who reads everything, beside
// snprintf, fputs and a blocking send of the text on a plain loopback socket with such a reader.
// Everything writes to the same standard output, sent to /dev/null; the results go to the
// original one. The console benchmarks run last: once the console exists, every print reaches it.
#include <benchmark/benchmark.h>
#include <ext/stdio_filebuf.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "TMS/TMSystem.h"
#include "dbgc/dbgc_DebugConsoleThread.h"
#include "dbgc/dbgc_stdapi.h"
#include "vsock/vsock.h"

namespace {

// 60 characters once formatted.
constexpr const char* kFormat = "[i] DeviceControl::onTimer - tick %5d of thread %s done\n";
constexpr const char* kThread = "Sync";

void BM_dbgPrintf(benchmark::State& state)
{
    int tick = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dbgPrintf(kFormat, tick++ & 0x3FFF, kThread));
    }
}

void BM_SnprintfFputs(benchmark::State& state)
{
    int tick = 0;
    char buffer[400];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, kFormat, tick++ & 0x3FFF, kThread));
        benchmark::DoNotOptimize(std::fputs(buffer, stdout));
    }
}

// Reads and drops everything that arrives on a connected socket until the connection ends.
class Reader {
public:
    explicit Reader(int fd) : m_fd(fd), m_thread([this] {
        char buffer[65536];
        for (ssize_t n = 0; (n = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0;) m_bytes += static_cast<uint64_t>(n);
    })
    {
    }
    ~Reader()
    {
        ::shutdown(m_fd, SHUT_RDWR);
        m_thread.join();
        ::close(m_fd);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    uint64_t bytes() const { return m_bytes.load(); }

private:
    int m_fd;
    std::atomic<uint64_t> m_bytes{0};
    std::thread m_thread;
};

// Reads from the socket until the text has arrived; bounded.
bool waitForText(int fd, const std::string& text)
{
    std::string got;
    char buffer[512];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
        else std::this_thread::yield();
    }
    return got.find(text) != std::string::npos;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return in;
}

int connectTo(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in in = loopback(port);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&in), sizeof in) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof in;
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

JLIB::JResult ignoreAll(DBGC::DebugConsole&, uint32_t, const DBGC::StringElement*) { return 0; }
const DBGC::DBG_MODULE_INFO kTable[] = {{"Top", ignoreAll, "standard"}};

// Opens its TCP console on its own task when asked.
class BenchConsoleThread : public DBGC::DebugConsoleThread {
public:
    using DBGC::DebugConsoleThread::DebugConsoleThread;
    std::atomic<int> started{0};

protected:
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        if (eventNumber == 20) started = JLIB::isSuccess(startEtherConsole()) ? 1 : -1;
        return DBGC::DebugConsoleThread::onReceiveEvent(eventNumber);
    }
};

// The console with a connected user who reads everything; made on first use, taken down by main.
struct Console {
    TMS::TMSystem system;
    std::unique_ptr<BenchConsoleThread> thread;
    std::unique_ptr<Reader> user;
    bool ready = false;

    Console()
    {
        if (vsock_initModule() != 0) return;
        const uint16_t port = pickPort();
        thread = std::make_unique<BenchConsoleThread>(kTable, 1, port);
        if (thread->initialize("DebugConsole", 0, 1, 20000, 20000, 100, 100, TMS::getNullDataMap()) != 0) return;
        if (!waitUntil([&] { return thread->getStatus() == TMS::kStatusStop; })) return;
        if (thread->start(TMS::getNullDataMap()) != 0 || thread->sendEvent(20) != 0) return;
        if (!waitUntil([&] { return thread->started.load() != 0; }) || thread->started.load() != 1) return;
        const int fd = connectTo(port);
        if (fd < 0) return;
        const bool banner = waitForText(fd, "Top>");
        user = std::make_unique<Reader>(fd);
        ready = banner;
    }
    ~Console()
    {
        user.reset();
        if (thread) (void)thread->release();
        thread.reset();
        (void)vsock_endModule();
    }
    template <typename Done>
    static bool waitUntil(Done done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }
};

std::unique_ptr<Console> gConsole;

void BM_dbgPrintfToConnectedConsole(benchmark::State& state)
{
    if (!gConsole) gConsole = std::make_unique<Console>();
    if (!gConsole->ready) {
        state.SkipWithError("the console did not open");
        return;
    }
    const uint64_t before = gConsole->user->bytes();
    uint64_t printed = 0;
    int tick = 0;
    for (auto _ : state) {
        printed += dbgPrintf(kFormat, tick++ & 0x3FFF, kThread);
    }
    // The share of the printed bytes the user has read by now (the last few may still travel).
    state.counters["delivered"] = printed ? static_cast<double>(gConsole->user->bytes() - before) / printed : 0.0;
}

// A loopback connection whose far end reads everything.
struct PlainConnection {
    int sender = -1;
    std::unique_ptr<Reader> reader;

    PlainConnection()
    {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in in = loopback(0);
        socklen_t length = sizeof in;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0 || ::listen(listener, 1) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&in), &length) != 0) {
            ::close(listener);
            return;
        }
        sender = connectTo(ntohs(in.sin_port));
        const int accepted = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        if (accepted >= 0) reader = std::make_unique<Reader>(accepted);
    }
    ~PlainConnection()
    {
        if (sender >= 0) ::close(sender);
    }
};

void BM_SnprintfFputsSendLoopback(benchmark::State& state)
{
    PlainConnection connection;
    if (connection.sender < 0 || !connection.reader) {
        state.SkipWithError("no loopback connection");
        return;
    }
    int tick = 0;
    char buffer[400];
    for (auto _ : state) {
        const int length = std::snprintf(buffer, sizeof buffer, kFormat, tick++ & 0x3FFF, kThread);
        benchmark::DoNotOptimize(std::fputs(buffer, stdout));
        benchmark::DoNotOptimize(::send(connection.sender, buffer, static_cast<size_t>(length), MSG_NOSIGNAL));
    }
}

}  // namespace

BENCHMARK(BM_dbgPrintf)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_SnprintfFputs)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_SnprintfFputsSendLoopback)->UseRealTime();
BENCHMARK(BM_dbgPrintfToConnectedConsole)->UseRealTime();

int main(int argc, char** argv)
{
    // Keep the results on the original standard output and discard what the prints write.
    const int results = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    if (results < 0 || devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) return 1;
    close(devNull);
    __gnu_cxx::stdio_filebuf<char> resultBuffer(results, std::ios::out);
    std::ostream resultStream(&resultBuffer);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::ConsoleReporter reporter(isatty(results) ? benchmark::ConsoleReporter::OO_Defaults
                                                        : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&resultStream);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    gConsole.reset();  // its threads end before the process's static objects go
    return 0;
}
