// Parameter-database synchronisation between two synchronisers of one process on two databases,
// their ports joined by a pump that hands each command to the other side as the link would.
//   BM_GoOnline1MiB:      association with differing digests: digest, 1 MiB block, import.
//   BM_ExportImport1MiB:  baseline: the same image exported, digested and imported directly.
//   BM_Changes/N:         N elements written on one side until the peer has applied the flip.
// Read BM_Changes/10000 against 10x BM_Changes/1000 (goal: within 12x).
#include <benchmark/benchmark.h>

#include <cstring>
#include <deque>
#include <vector>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_IComponent.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "comctrl/Core/comctrl_IPort.h"
#include "comctrl/Core/comctrl_IPortObserver.h"
#include "comctrl/Core/comctrl_PdbSynchronizer.h"
#include "comctrl/Core/comctrl_PdbSynchronizerProtocol.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_md5.h"
#include "oswrap/oswrap.h"

namespace {

using namespace ComControl;
constexpr uint32_t kFollow = 0x10000000u | 1u;
constexpr uint32_t kSubscriber = 0x6001;

bool setUpOnce()
{
    static const bool ok = [] {
        (void)oswrap_init(nullptr, 0, 0);
        (void)dbgSetDbgMode(0);
        (void)JLIB::GetGlobalHeapManager();
        PDB::ComponentInfo t;
        const PDB::ParamAttr sync('T', PDB::ParamAttr::kRecallable | PDB::ParamAttr::kSyncable);
        bool good = JLIB::isSuccess(t.initialize("BenchSync", 1, 1, 1, 512, 512, "x", "y", nullptr)) &&
                    JLIB::isSuccess(t.addAddressUINT32("/Value", kFollow, kFollow, "", "", 0, 0xFFFFFFF, 0, 0, 1, 1,
                                                       sync, "", "", ""));
        return good && JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(t));
    }();
    return ok;
}

class Quiet : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override { return 0; }
};

struct Db {
    Db(uint32_t id, uint32_t x, uint32_t y) : id(id)
    {
        (void)db.initialize(id, "Bench", &lock);
        (void)db.addComponent(PDB::UniqId(0x100), "BenchSync", 1, x, y, 0);
        (void)db.addDirtyFlag(kSubscriber, &quiet, 0);
        (void)PDB::gPDBCollection.addPDB(db);
    }
    ~Db() { (void)PDB::gPDBCollection.removePDB(id); }
    uint32_t id;
    PDB::SimpleReadWriteMutex lock;
    PDB::ParameterDB db;
    Quiet quiet;
};

class Port : public IPort {
public:
    JLIB::JResult expandBufferSize(uint32_t) override { return 0; }
    JLIB::JResult writeRequest(const char*) override
    {
        ++requests;
        return 0;
    }
    int requests = 0;
};

struct End {
    PdbSynchronizer sync;
    Port port;
    std::deque<std::vector<uint8_t>> inbox;
    std::vector<uint8_t> buffer;
    uint32_t flips = 0;
};

void sendPending(End& me, End& peer)
{
    while (me.port.requests > 0) {
        --me.port.requests;
        bool more = true;
        while (more) {
            uint32_t produced = 0;
            more = false;
            if (JLIB::isFailure(me.sync.eventSend(me.buffer.data(), uint32_t(me.buffer.size()), &produced, &more))) {
                break;
            }
            if (produced > 0) peer.inbox.emplace_back(me.buffer.begin(), me.buffer.begin() + produced);
        }
    }
}

void pump(End& a, End& b)
{
    End* ends[2] = {&a, &b};
    for (bool busy = true; busy;) {
        busy = false;
        for (int i = 0; i < 2; ++i) {
            End& me = *ends[i];
            End& peer = *ends[1 - i];
            sendPending(me, peer);
            while (!me.inbox.empty()) {
                std::vector<uint8_t> command = std::move(me.inbox.front());
                me.inbox.pop_front();
                if (command.size() >= 8 && command[5] == 0x01 && command[6] == 0x19) ++me.flips;
                uint32_t produced = 0;
                uint8_t flags = 0;
                (void)me.sync.eventReceived(me.buffer.data(), uint32_t(me.buffer.size()), &produced, command.data(),
                                            uint32_t(command.size()), &flags);
                if (produced > 0) peer.inbox.emplace_back(me.buffer.begin(), me.buffer.begin() + produced);
                if (flags & IPortObserver::kFlagMore) ++me.port.requests;
                sendPending(me, peer);
                busy = true;
            }
        }
    }
}

struct Pair {
    Pair(uint32_t x, uint32_t y) : left(11, x, y), right(12, x, y)
    {
        for (auto [end, id, isServer] : {std::tuple{&l, 11u, false}, std::tuple{&r, 12u, true}}) {
            (void)end->sync.initialize(isServer, nullptr);
            (void)end->sync.setPort(&end->port);
            (void)end->sync.setFacade(id, kSubscriber, isServer ? 0x10 : 0xF0);
            end->buffer.resize(PdbSynchronizerProtocol::getMaxBufferSize(id));
        }
    }
    Db left;
    Db right;
    End l;
    End r;
};

void BM_GoOnline1MiB(benchmark::State& state)
{
    if (!setUpOnce()) return state.SkipWithError("set-up failed");
    Pair p(512, 512);  // 262144 values of 4 bytes
    uint32_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const uint32_t x = n % 512;
        ++n;
        (void)p.right.db.setUInt32(0, 0, x, 0, n, 0x01);  // digests differ every round
        (void)p.l.sync.asynchronize();
        pump(p.l, p.r);
        state.ResumeTiming();
        (void)p.l.sync.synchronize(true);
        pump(p.l, p.r);
    }
    if (p.l.sync.syncStatus() != kPdbSyncAssociated || p.left.db.getUInt32(0, 0, (n - 1) % 512, 0, nullptr) != n) {
        state.SkipWithError("not synchronised");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * p.right.db.exportBinarySize());
}
BENCHMARK(BM_GoOnline1MiB)->Unit(benchmark::kMillisecond);

void BM_ExportImport1MiB(benchmark::State& state)
{
    if (!setUpOnce()) return state.SkipWithError("set-up failed");
    Db source(13, 512, 512), target(14, 512, 512);
    std::vector<uint8_t> image(source.db.exportBinarySize());
    for (auto _ : state) {
        (void)source.db.exportBinary(image.data(), uint32_t(image.size()), 0);
        T_JLIB_MD5_CTX context;
        uint8_t digest[16];
        jlib_MD5Init(&context);
        jlib_MD5Update(&context, image.data(), image.size());
        jlib_MD5Final(digest, &context);
        PDB::LocalParameterDB copy(target.db);
        (void)copy.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(0x08), JLIB::HeapId{});
        (void)target.db.recall(copy, PDB::ImportAttr(0x08), 0xF0);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.size()));
}
BENCHMARK(BM_ExportImport1MiB)->Unit(benchmark::kMillisecond);

void BM_Changes(benchmark::State& state)
{
    if (!setUpOnce()) return state.SkipWithError("set-up failed");
    const uint32_t count = uint32_t(state.range(0));
    Pair p(128, 128);  // 16384 elements
    (void)p.l.sync.synchronize(true);
    pump(p.l, p.r);
    uint32_t round = 0;
    for (auto _ : state) {
        ++round;
        for (uint32_t i = 0; i < count; ++i) (void)p.left.db.setUInt32(0, 0, i / 128, i % 128, round * 100000 + i, 0x01);
        const uint32_t flipsBefore = p.r.flips;
        (void)p.l.sync.notify();
        pump(p.l, p.r);
        if (p.r.flips != flipsBefore + 1) state.SkipWithError("no flip");
    }
    if (p.right.db.getUInt32(0, 0, (count - 1) / 128, (count - 1) % 128, nullptr) != round * 100000 + count - 1) {
        state.SkipWithError("changes lost");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}
BENCHMARK(BM_Changes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
