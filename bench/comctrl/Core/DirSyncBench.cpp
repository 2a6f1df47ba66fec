// A push of 200 small files between two directory synchronisers joined in one process, ticks run
// back to back, beside copying the same files with the file system in the same run. The push
// reports the ticks it needed: the link moves one file per tick, so on a real link (a tick every
// 50 ms) the push takes ticks x 50 ms, whatever the processor time here.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_FileAccessor.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/jlib_cfg.h"
#include "oswrap/oswrap.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 200;
constexpr size_t kFileSize = 300;
constexpr uint32_t kCapacity = 0x10000;

bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        (void)dbgSetDbgMode(0);
        return r == 0 || r == 0x80000008u;
    }();
    return started;
}

struct Folders {
    fs::path top;
    Folders()
    {
        char templ[] = "/tmp/uz_bench_ds_XXXXXX";
        if (!mkdtemp(templ)) std::abort();
        top = templ;
        fs::create_directories(top / "source");
        for (int i = 0; i < kFiles; ++i)
            std::ofstream(top / "source" / ("f" + std::to_string(i) + ".vexas")) << std::string(kFileSize, 'a' + i % 26);
    }
    ~Folders()
    {
        std::error_code e;
        fs::remove_all(top, e);
    }
    fs::path freshTarget() const
    {
        std::error_code e;
        fs::remove_all(top / "target", e);
        fs::create_directories(top / "target");
        return top / "target";
    }
};

// Two synchronisers and their transferers joined by port name; commands go out at once and are
// delivered in order by pump.
class Pair {
public:
    Pair(const fs::path& source, const fs::path& target) : m_endA(*this, true), m_endB(*this, false)
    {
        setUp(m_a, m_filesA, source, false);
        setUp(m_b, m_filesB, target, true);
    }
    ~Pair()
    {
        for (ComControl::UnitComponent* c : components(true)) (void)c->setPort(nullptr);
        for (ComControl::UnitComponent* c : components(false)) (void)c->setPort(nullptr);
    }
    bool ok() const { return m_ok; }
    // Ticks until both ends are synchronised; the tick count, or -1 beyond the limit.
    int push()
    {
        if (JLIB::isFailure(m_a.start(false))) return -1;
        pump();
        for (int ticks = 1; ticks < 10 * kFiles; ++ticks) {
            (void)m_a.periodicHandle(50);
            (void)m_b.periodicHandle(50);
            pump();
            if (m_a.state() == ComControl::DirectorySynchronizer::SYNC_SYNCHRONIZED &&
                m_b.state() == ComControl::DirectorySynchronizer::SYNC_SYNCHRONIZED)
                return ticks;
        }
        return -1;
    }

private:
    struct Item {
        bool toB;
        std::string port;
        std::string bytes;
    };
    class End : public ComControl::IPort {
    public:
        End(Pair& pair, bool a) : m_pair(pair), m_isA(a) {}
        JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
        JLIB::JResult writeRequest(const char* name) override
        {
            m_pair.sendNow(m_isA, name);
            return 0;
        }

    private:
        Pair& m_pair;
        bool m_isA;
    };

    void setUp(ComControl::DirectorySynchronizer& d, ComControl::FileAccessor& files, const fs::path& folder,
               bool notServer)
    {
        m_ok = m_ok && d.initialize(notServer, nullptr, 0, 1) == 0 && d.setPortName("DS_S") == 0 &&
               d.transferer(0)->setPortName("d010") == 0 &&
               files.initialize(1, folder.c_str(), 256, '/', nullptr) == 0 &&
               d.registDirectory("Snapshot", folder.c_str(), 2000, 240, true, nullptr) == 0 &&
               d.transferer(0)->setAccessor("Snapshot", &files, 240) == 0;
        for (ComControl::UnitComponent* c : components(!notServer)) (void)c->setPort(notServer ? &m_endB : &m_endA);
    }
    std::vector<ComControl::UnitComponent*> components(bool a)
    {
        ComControl::DirectorySynchronizer& d = a ? m_a : m_b;
        return {&d, d.transferer(0)};
    }
    ComControl::UnitComponent* find(bool a, const std::string& port)
    {
        for (ComControl::UnitComponent* c : components(a))
            if (port == c->portname()) return c;
        return nullptr;
    }
    void sendNow(bool fromA, const char* port)
    {
        ComControl::UnitComponent* c = find(fromA, port);
        bool more = c != nullptr;
        while (more) {
            uint32_t produced = 0;
            more = false;
            if (JLIB::isFailure(c->eventSend(m_buffer.data(), kCapacity, &produced, &more)) || produced == 0) return;
            m_queue.push_back(Item{fromA, port, std::string(reinterpret_cast<const char*>(m_buffer.data()), produced)});
        }
    }
    void pump()
    {
        while (!m_queue.empty()) {
            const Item item = m_queue.front();
            m_queue.pop_front();
            ComControl::UnitComponent* c = find(!item.toB, item.port);
            if (!c) continue;
            uint32_t produced = 0;
            uint8_t flags = 0;
            (void)c->eventReceived(m_buffer.data(), kCapacity, &produced,
                                   reinterpret_cast<const uint8_t*>(item.bytes.data()),
                                   static_cast<uint32_t>(item.bytes.size()), &flags);
            if (produced)
                m_queue.push_back(
                    Item{!item.toB, item.port, std::string(reinterpret_cast<const char*>(m_buffer.data()), produced)});
        }
    }

    ComControl::DirectorySynchronizer m_a;
    ComControl::DirectorySynchronizer m_b;
    ComControl::FileAccessor m_filesA;
    ComControl::FileAccessor m_filesB;
    End m_endA;
    End m_endB;
    std::deque<Item> m_queue;
    std::vector<uint8_t> m_buffer = std::vector<uint8_t>(kCapacity);
    bool m_ok = true;
};

void BM_CopyFolderWithTheFileSystem(benchmark::State& state)
{
    Folders folders;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path target = folders.freshTarget();
        state.ResumeTiming();
        for (const auto& e : fs::directory_iterator(folders.top / "source"))
            fs::copy_file(e.path(), target / e.path().filename());
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_CopyFolderWithTheFileSystem)->Unit(benchmark::kMillisecond);

void BM_PushFolderOfSmallFiles(benchmark::State& state)
{
    if (!startLayers()) {
        state.SkipWithError("OS layer not started");
        return;
    }
    Folders folders;
    int ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path target = folders.freshTarget();
        auto pair = std::make_unique<Pair>(folders.top / "source", target);
        state.ResumeTiming();
        ticks = pair->ok() ? pair->push() : -1;
        state.PauseTiming();
        pair.reset();
        state.ResumeTiming();
        if (ticks < 0) {
            state.SkipWithError("push did not complete");
            break;
        }
    }
    state.counters["files"] = kFiles;
    state.counters["ticks"] = ticks;
    state.counters["seconds_at_50ms_ticks"] = ticks * 0.05;
}
BENCHMARK(BM_PushFolderOfSmallFiles)->Unit(benchmark::kMillisecond);

}  // namespace
