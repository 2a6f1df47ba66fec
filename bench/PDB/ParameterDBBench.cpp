// Cost of one value write into a live database by index and by address as the number of
// subscribers grows (each on its own thread, so each write marks and wakes all of them), and of a
// subscriber's capture and walk over 10 000 elements with few or all of them changed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <thread>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParameterDB.h"
#include "jlib/JHeap.h"

namespace {

constexpr uint32_t kFollow = 0x10000000u | 1u;  // size pattern: the component's size times 1
constexpr uint32_t kSide = 100;                 // 100 x 100 = 10 000 elements

// "Bench" 1: /Level UINT32 following the component size (up to 100 x 100).
void registerBenchType()
{
    static const bool registered = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        PDB::ComponentInfo t;
        if (JLIB::isFailure(t.initialize("Bench", 1, 1, 1, kSide, kSide, "x", "y", nullptr))) return false;
        if (JLIB::isFailure(t.addAddressUINT32("/Level", kFollow, kFollow, "", "", 0, 1000000, 0, 0, 1, 1,
                                               PDB::ParamAttr('B', PDB::ParamAttr::kRecallable), "", "", ""))) {
            return false;
        }
        return JLIB::isSuccess(PDB::getComponentInfoRepository().addComponentInfo(t));
    }();
    (void)registered;  // a failure shows as writes to the null component in the figures
}

class NullSubscriber : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override { return 0; }
    uint32_t rawCallbackSetPDBParameter() override
    {
        benchmark::DoNotOptimize(++m_calls);
        return 0;
    }

private:
    long m_calls = 0;
};

struct BenchDB {
    BenchDB(int subscribers, uint32_t sizeX, uint32_t sizeY)
    {
        registerBenchType();
        (void)db.initialize(0, "Bench", &lock);  // a short constant name: cannot fail
        (void)db.addComponent(PDB::UniqId(1), "Bench", 1, sizeX, sizeY, 0);  // failure: see registerBenchType
        for (int i = 0; i < subscribers; ++i) {
            // One thread per subscriber: each gets its own thread record and wake-up.
            std::thread([&, i] { (void)db.addDirtyFlag(uint32_t(i), &callbacks[i], 0); }).join();
        }
    }
    PDB::SimpleReadWriteMutex lock;
    NullSubscriber callbacks[16];
    PDB::ParameterDB db;
};

void BM_SetVariantByIndex(benchmark::State& state)
{
    BenchDB bench(int(state.range(0)), 1, 1);
    uint32_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.db.setVariant(0, 0, 0, 0, JVariant(++value), 0xFF));
    }
}
BENCHMARK(BM_SetVariantByIndex)->Arg(0)->Arg(1)->Arg(9);

void BM_SetVariantByAddress(benchmark::State& state)
{
    BenchDB bench(int(state.range(0)), 1, 1);
    const PDB::AddressId level = bench.db.getAddressId(PDB::UniqId(1), "/Level");
    uint32_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.db.setVariant(level, 0, 0, JVariant(++value), 0xFF));
    }
}
BENCHMARK(BM_SetVariantByAddress)->Arg(0)->Arg(1)->Arg(9);

// Capture and walk of one subscriber; the marks are made outside the timing, spread evenly.
void BM_CheckNextDirtyWalk(benchmark::State& state)
{
    BenchDB bench(1, kSide, kSide);
    const uint32_t changed = uint32_t(state.range(0));
    const uint32_t stride = (kSide * kSide) / changed;
    for (auto _ : state) {
        state.PauseTiming();
        for (uint32_t n = 0; n < changed; ++n) {
            const uint32_t pos = n * stride;
            (void)bench.db.setDirty(0, 0, pos / kSide, pos % kSide, 0xFF);  // in range by construction
        }
        state.ResumeTiming();
        (void)bench.db.captureDirtyFlag(0);  // slot 0 exists
        uint32_t ci = 0, ai = 0, x = 0, y = 0;
        uint32_t found = 0;
        while (bench.db.checkNextDirty(0, ci, ai, x, y, false) == 0u) ++found;
        if (found != changed) state.SkipWithError("walk missed changes");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * changed);
}
BENCHMARK(BM_CheckNextDirtyWalk)->Arg(10)->Arg(10000);

}  // namespace
