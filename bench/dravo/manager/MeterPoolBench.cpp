// Cost of one 256-element float "level" meter block through the meter pool (raw copy, meter byte
// conversion with the polynomial approximations, fall and hold update) against a baseline that
// converts the same values with the library's log10f and stores the bytes. Target: at most 1.5x.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dravo/manager/dravo_MeterPool.h"
#include "parray/ArrayInfo.h"

namespace {

constexpr uint32_t kElements = 256;

// Two blocks of levels from -130 dB to +2 dB, alternated so that bytes rise and fall.
std::vector<float> levels(int phase)
{
    std::vector<float> v(kElements);
    for (uint32_t i = 0; i < kElements; ++i) {
        const double db = -130.0 + 132.0 * double((i * 37 + phase * 101) % kElements) / kElements;
        v[i] = float(std::pow(10.0, db / 20.0));
    }
    return v;
}

void BM_MeterPoolLevelBlock(benchmark::State& state)
{
    PARRAY::ArrayInfo info{};
    info.type = PARRAY::kTypeFLOAT;
    info.sizeX = kElements;
    std::strcpy(info.extInfo, "level");
    DRAVO::MeterPool pool;
    if (JLIB::isFailure(pool.initialize(&info, 1, 1, 1, 1, -1, 1000))) {
        state.SkipWithError("meter pool not built");
        return;
    }
    const std::vector<float> blocks[2] = {levels(0), levels(1)};
    int phase = 0;
    for (auto _ : state) {
        const JLIB::JResult result =
            pool.setRawMeterDataBinary(0, 0, kElements * sizeof(float), blocks[phase].data());
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
        phase ^= 1;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kElements);
}
BENCHMARK(BM_MeterPoolLevelBlock);

void BM_Log10fBaseline(benchmark::State& state)
{
    const std::vector<float> blocks[2] = {levels(0), levels(1)};
    std::vector<uint8_t> bytes(kElements);
    int phase = 0;
    for (auto _ : state) {
        const float* values = blocks[phase].data();
        for (uint32_t i = 0; i < kElements; ++i) {
            const float x = values[i];
            uint8_t b = 0;
            if (x > 1.0f) {
                b = 127;
            } else if (x > 5.0118e-7f) {
                const int n = int(20.0f * log10f(x) - 0.0001f);
                b = n <= -126 ? 0 : uint8_t(n + 126);
            }
            bytes[i] = b;
        }
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
        phase ^= 1;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kElements);
}
BENCHMARK(BM_Log10fBaseline);

}  // namespace
