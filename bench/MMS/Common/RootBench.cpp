// Cost of writing, reading and walking the changes of a root of 10 000 int16 elements (a collection
// of 100 holding a parameter of 100), against the same work on flat arrays: a JVariant in and out,
// clamp and step, the store, a factor byte, one bit per subscriber plus the summary bits, and a
// byte-skipping bitmap scan that reads each set element.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_Root.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"

namespace {

constexpr uint32_t kSide = 100;
constexpr uint32_t kElements = kSide * kSide;
constexpr uint32_t kWriter = 1000;  // the writing task; subscribers are 1 .. n

// The tree library takes its blocks from heap 1.
void registerHeap()
{
    static JLIB::GlobalHeapManagerBase manager;
    static const bool registered = JLIB::SubscribeHeapId(1, manager) == 0;
    (void)registered;
}

// /Bench/Ch[100]/Gain[100]: int16 -1000 .. 1000 in steps of 1.
struct BenchRoot {
    explicit BenchRoot(uint32_t subscribers)
    {
        registerHeap();
        uint32_t result = 0;
        root = new MMS::Root(&result, &definition, &valueMemory, &taskMemory, "Bench", 0, 0, 64);
        uint32_t index = 0;
        (void)root->addCollectionFast(&index, nullptr, 0, "Ch", kSide);
        const uint32_t ch[1] = {0};
        JVariant minimum(-1000);
        JVariant maximum(1000);
        JVariant def(0);
        JVariant step(1);
        JVariant nominal(0);
        (void)root->addPrmFast(&index, ch, 1, "Gain", kSide, 0x002, &minimum, &maximum, &def, &step, &nominal,
                               nullptr, 0, 0, 0, nullptr, 0);
        (void)root->finishBuild(1);
        for (uint32_t t = 1; t <= subscribers; ++t) (void)root->subscribe(0, t, 2, 0, 0);
        (void)root->subscribe(0, kWriter, 1, 0, 0);
    }
    ~BenchRoot() { delete root; }
    BenchRoot(const BenchRoot&) = delete;
    BenchRoot& operator=(const BenchRoot&) = delete;

    MMS::SharedMemWrapper definition;
    MMS::SharedMemWrapper valueMemory;
    MMS::SharedMemWrapper taskMemory;
    MMS::Root* root = nullptr;
};

constexpr uint32_t kNodes[2] = {0, 0};

void BM_RootSetPrmFast(benchmark::State& state)
{
    BenchRoot bench(static_cast<uint32_t>(state.range(0)));
    uint32_t indices[2] = {37, 42};
    int v = 0;
    for (auto _ : state) {
        v = v == 0 ? 5 : 0;  // every write changes the element
        benchmark::DoNotOptimize(bench.root->setPrmFast(JVariant(v), kNodes, indices, 2, 3, 0, 0, 0, kWriter,
                                                        nullptr, 0, nullptr));
    }
}

void BM_RootGetPrmFast(benchmark::State& state)
{
    BenchRoot bench(static_cast<uint32_t>(state.range(0)));
    uint32_t indices[2] = {37, 42};
    (void)bench.root->setPrmFast(JVariant(7), kNodes, indices, 2, 3, 0, 0, 0, kWriter, nullptr, 0, nullptr);
    for (auto _ : state) {
        JVariant out;
        uint8_t factor = 0;
        benchmark::DoNotOptimize(bench.root->getPrmFast(&out, &factor, kNodes, indices, 2, 1, 1));
        benchmark::DoNotOptimize(out.toInt32());
    }
}

// Walks every changed element of subscriber 1 with clear; the marks are put back between rounds.
void BM_RootChangedWalk(benchmark::State& state)
{
    const uint32_t changed = static_cast<uint32_t>(state.range(0));
    BenchRoot bench(1);
    const uint32_t stride = kElements / changed;
    for (uint32_t e = 0; e < kElements; e += stride) {
        const uint32_t indices[2] = {e / kSide, e % kSide};
        (void)bench.root->setPrmFast(JVariant(9), kNodes, indices, 2, 3, 0, 0, 0, kWriter, nullptr, 0, nullptr);
    }
    auto* area = static_cast<unsigned char*>(bench.root->getTaskDirtyMem(1));
    const uint32_t areaSize = (kElements + kSide + 1 + 7) / 8;
    const std::vector<unsigned char> marks(area, area + areaSize);
    uint32_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(area, marks.data(), areaSize);
        state.ResumeTiming();
        uint32_t nodes[5] = {};
        uint32_t indexes[5] = {};
        uint32_t depth = 0;
        for (;;) {
            JVariant value;
            uint8_t factor = 0;
            if (bench.root->getChangedPrmAddrFast(&value, &factor, nodes, indexes, &depth, 5, nodes, indexes, depth,
                                                  1, 1) != 0) {
                break;
            }
            benchmark::DoNotOptimize(value.toInt32());
            ++found;
        }
    }
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}

// ---- the baseline: the same work on flat arrays ----

struct FlatRoot {
    explicit FlatRoot(uint32_t subscribers)
        : values(kElements, 0), factors(kElements, 0), bitmaps(subscribers, std::vector<unsigned char>(kBytes, 0))
    {
    }
    // Bit 0 the root, bits 1 .. 100 the collection elements, then the elements.
    static constexpr uint32_t kBits = 1 + kSide + kElements;
    static constexpr uint32_t kBytes = (kBits + 7) / 8;
    static void mark(std::vector<unsigned char>& bitmap, uint32_t bit)
    {
        bitmap[bit / 8] |= static_cast<unsigned char>(0x80u >> (bit % 8));
    }

    // The old value goes out as a JVariant, as the root keeps it for the plug-ins.
    uint32_t set(JVariant* oldOut, const JVariant& value, uint32_t ch, uint32_t element, uint8_t factor)
    {
        int v = value.toInt32();
        uint32_t result = 0;
        if (v > maximum) v = maximum, result |= 0x200;
        if (v < minimum) v = minimum, result |= 0x200;
        const int rounded = (v - minimum) / step * step + minimum;
        if (rounded != v) v = rounded, result |= 0x200;
        const uint32_t e = ch * kSide + element;
        *oldOut = JVariant(static_cast<int>(values[e]));
        if (values[e] == static_cast<int16_t>(v)) return result;
        values[e] = static_cast<int16_t>(v);
        factors[e] = factor;
        for (auto& bitmap : bitmaps) {
            mark(bitmap, 0);
            mark(bitmap, 1 + ch);
            mark(bitmap, 1 + kSide + e);
        }
        return result | 0x100;
    }
    uint32_t get(JVariant* out, uint8_t* factor, uint32_t ch, uint32_t element, uint32_t subscriber)
    {
        const uint32_t e = ch * kSide + element;
        *out = JVariant(static_cast<int>(values[e]));
        *factor = factors[e];
        auto& bitmap = bitmaps[subscriber];
        const uint32_t bit = 1 + kSide + e;
        bitmap[bit / 8] &= static_cast<unsigned char>(~(0x80u >> (bit % 8)));
        return 0;
    }

    // Limits read at run time, as a parameter's are.
    int minimum = -1000;
    int maximum = 1000;
    int step = 1;
    std::vector<int16_t> values;
    std::vector<uint8_t> factors;
    std::vector<std::vector<unsigned char>> bitmaps;
};

void BM_FlatSet(benchmark::State& state)
{
    FlatRoot flat(static_cast<uint32_t>(state.range(0)));
    benchmark::DoNotOptimize(flat.step);
    int v = 0;
    for (auto _ : state) {
        v = v == 0 ? 5 : 0;
        JVariant old;
        benchmark::DoNotOptimize(flat.set(&old, JVariant(v), 37, 42, 3));
        benchmark::DoNotOptimize(old.toInt32());
    }
}

void BM_FlatGet(benchmark::State& state)
{
    FlatRoot flat(static_cast<uint32_t>(state.range(0)));
    JVariant old;
    (void)flat.set(&old, JVariant(7), 37, 42, 3);
    for (auto _ : state) {
        JVariant out;
        uint8_t factor = 0;
        benchmark::DoNotOptimize(flat.get(&out, &factor, 37, 42, 0));
        benchmark::DoNotOptimize(out.toInt32());
    }
}

void BM_FlatChangedWalk(benchmark::State& state)
{
    const uint32_t changed = static_cast<uint32_t>(state.range(0));
    FlatRoot flat(1);
    const uint32_t stride = kElements / changed;
    JVariant old;
    for (uint32_t e = 0; e < kElements; e += stride) (void)flat.set(&old, JVariant(9), e / kSide, e % kSide, 3);
    auto& bitmap = flat.bitmaps[0];
    const std::vector<unsigned char> marks = bitmap;
    uint32_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bitmap = marks;
        state.ResumeTiming();
        // Element bits start after the summary bits; whole zero bytes are skipped.
        for (uint32_t byte = 0; byte < FlatRoot::kBytes; ++byte) {
            if (bitmap[byte] == 0) continue;
            for (uint32_t b = 0; b < 8; ++b) {
                const uint32_t bit = byte * 8 + b;
                if ((bitmap[byte] & (0x80u >> b)) == 0 || bit < 1 + kSide) continue;
                const uint32_t e = bit - 1 - kSide;
                JVariant value(static_cast<int>(flat.values[e]));
                benchmark::DoNotOptimize(value.toInt32());
                benchmark::DoNotOptimize(flat.factors[e]);
                bitmap[byte] &= static_cast<unsigned char>(~(0x80u >> b));
                ++found;
            }
        }
    }
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_FlatSet)->Arg(1)->Arg(8);
BENCHMARK(BM_RootSetPrmFast)->Arg(1)->Arg(8);
BENCHMARK(BM_FlatGet)->Arg(1)->Arg(8);
BENCHMARK(BM_RootGetPrmFast)->Arg(1)->Arg(8);
BENCHMARK(BM_FlatChangedWalk)->Arg(10)->Arg(10000);
BENCHMARK(BM_RootChangedWalk)->Arg(10)->Arg(10000);
