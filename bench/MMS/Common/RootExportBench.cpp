// Cost of exporting a whole root of 1 MB of int32 values and of importing an image of the same
// definition into another root, against plain memory work on 1 MB in the same run: memcpy for a
// host-order export, a 4-byte swap loop for an export in the other order, and memcmp plus memcpy
// for an import in which 1 % of the values differ.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_Parameter.h"
#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

constexpr uint32_t kSide = 512;  // 512 x 512 int32 = 1 MB
constexpr uint32_t kBytes = kSide * kSide * 4;

void registerHeap()
{
    static JLIB::GlobalHeapManagerBase manager;
    static const bool registered = JLIB::SubscribeHeapId(1, manager) == 0;
    (void)registered;
}

uint8_t otherOrder() { return MMS::CollectionTagInfo::isHostBigEndian() ? 1 : 2; }

// /Big/Ch[512]/Val[512]: int32 without limits, one subscriber.
struct BigRoot {
    BigRoot()
    {
        registerHeap();
        uint32_t result = 0;
        root = new MMS::Root(&result, &definition, &valueMemory, &taskMemory, "Big", 0, 0, 64);
        uint32_t index = 0;
        (void)root->addCollectionFast(&index, nullptr, 0, "Ch", kSide);
        const uint32_t ch[1] = {0};
        (void)root->addPrmFast(&index, ch, 1, "Val", kSide, MMS::kMmsTypeInt32, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, 0, 0, 0, nullptr, 0);
        (void)root->finishBuild(0);
        (void)root->subscribe(0, 1, 1, 0, 0);
        (void)root->getExportDataSizeFast(&imageSize, nullptr, 0, 0);
    }
    ~BigRoot() { delete root; }
    BigRoot(const BigRoot&) = delete;
    BigRoot& operator=(const BigRoot&) = delete;

    std::vector<unsigned char> exportImage(uint8_t order)
    {
        std::vector<unsigned char> image(imageSize);
        uint32_t written = 0;
        (void)root->exportDataFast(image.data(), &written, nullptr, imageSize, nullptr, nullptr, 0, 0, 0, 0, order, 1);
        return image;
    }
    // Writes v + element number into every element whose number is a multiple of every.
    void fill(int v, uint32_t every)
    {
        const uint32_t nodes[2] = {0, 0};
        for (uint32_t n = 0; n < kSide * kSide; n += every) {
            const uint32_t indices[2] = {n / kSide, n % kSide};
            (void)root->setPrmFast(JVariant(static_cast<int>(v + n)), nodes, indices, 2, 1, 0, 0, 0, 2, nullptr, 0,
                                   nullptr);
        }
    }

    MMS::SharedMemWrapper definition;
    MMS::SharedMemWrapper valueMemory;
    MMS::SharedMemWrapper taskMemory;
    MMS::Root* root = nullptr;
    uint32_t imageSize = 0;
};

void BM_MemcpyBaseline(benchmark::State& state)
{
    std::vector<unsigned char> from(kBytes, 1);
    std::vector<unsigned char> to(kBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

void BM_SwapLoopBaseline(benchmark::State& state)
{
    std::vector<uint32_t> from(kBytes / 4, 0x01020304u);
    std::vector<uint32_t> to(kBytes / 4);
    for (auto _ : state) {
        for (size_t i = 0; i < from.size(); ++i) to[i] = __builtin_bswap32(from[i]);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

void BM_MemcmpMemcpyBaseline(benchmark::State& state)
{
    std::vector<unsigned char> from(kBytes, 1);
    std::vector<unsigned char> to(kBytes, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memcmp(to.data(), from.data(), kBytes));
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

void exportBench(benchmark::State& state, uint8_t order)
{
    BigRoot big;
    big.fill(1, 1);
    std::vector<unsigned char> image(big.imageSize);
    uint32_t size = 0;
    if (big.root->exportDataFast(image.data(), &size, nullptr, big.imageSize, nullptr, nullptr, 0, 0, 0, 0, order, 1) != 0) {
        state.SkipWithError("export refused");
        return;
    }
    for (auto _ : state) {
        uint32_t written = 0;
        benchmark::DoNotOptimize(big.root->exportDataFast(image.data(), &written, nullptr, big.imageSize, nullptr,
                                                          nullptr, 0, 0, 0, 0, order, 1));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

void BM_RootExportHostOrder(benchmark::State& state) { exportBench(state, 0); }
void BM_RootExportOtherOrder(benchmark::State& state) { exportBench(state, otherOrder()); }

// Two images that differ in 1 % of the values, imported in turn: every import changes 1 %.
void BM_RootImportOnePercentChanged(benchmark::State& state)
{
    BigRoot source;
    source.fill(1, 1);
    const std::vector<unsigned char> a = source.exportImage(0);
    source.fill(5, 100);
    const std::vector<unsigned char> b = source.exportImage(0);
    BigRoot target;
    std::vector<unsigned char> image = a;
    if (target.root->importDataFast(image.data(), static_cast<uint32_t>(image.size()), nullptr, 0, nullptr, nullptr, 0,
                                    1, 0, 0, 2, nullptr, 0, nullptr) != 0x100) {
        state.SkipWithError("import refused");
        return;
    }
    bool useA = true;
    for (auto _ : state) {
        state.PauseTiming();
        image = useA ? a : b;
        useA = !useA;
        state.ResumeTiming();
        benchmark::DoNotOptimize(target.root->importDataFast(image.data(), static_cast<uint32_t>(image.size()),
                                                             nullptr, 0, nullptr, nullptr, 0, 1, 0, 0, 2, nullptr, 0,
                                                             nullptr));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

}  // namespace

BENCHMARK(BM_MemcpyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SwapLoopBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcmpMemcpyBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RootExportHostOrder)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RootExportOtherOrder)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RootImportOnePercentChanged)->Unit(benchmark::kMicrosecond);
