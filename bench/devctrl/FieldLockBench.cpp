// What the device-control locks cost a field against a plain std::shared_mutex, and how long a
// writer of the fast lock waits among four busy readers.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_Parameter.h"
#include "devctrl/devctrl_MMSMutex.h"
#include "devctrl/jlib_JFastLock.h"
#include "jlib/JHeap.h"
#include "jlib/JVariant.h"
#include "oswrap/oswrap_time.h"

namespace {

const uint32_t kGainNode[1] = {0};
const uint32_t kElement[1] = {3};

void registerHeap()
{
    static JLIB::GlobalHeapManagerBase manager;
    static const bool registered = JLIB::SubscribeHeapId(1, manager) == 0;
    (void)registered;
}

// A ready field with root "A" holding Gain[8], int32.
std::unique_ptr<MMS::Field> makeField(MMS::IMutex* mutex)
{
    registerHeap();
    auto field = std::make_unique<MMS::Field>(nullptr, mutex, nullptr, nullptr, nullptr);
    JVariant minimum(-1000000);
    JVariant maximum(1000000);
    JVariant def(0);
    uint32_t index = 0;
    bool ok = field->startBuild() == 0;
    ok = ok && field->createRoot("A", "Top", 0, 0, 64) == 0;
    ok = ok && field->addPrmFast(&index, "A", nullptr, 0, "Gain", 8, MMS::kMmsTypeInt32, &minimum, &maximum, &def,
                                 nullptr, nullptr, nullptr, 0, 1, 0, nullptr, 0) == 0;
    ok = ok && field->linkBuild(1) == 0 && field->finishBuild(1) == 0;
    return ok ? std::move(field) : nullptr;
}

uint32_t setAndGet(MMS::Field& field, int value)
{
    JVariant out;
    const uint32_t set = field.setPrmFast(JVariant(value), "A", kGainNode, kElement, 1, 1, 0, 0, 0, 99, nullptr, 0,
                                          nullptr);
    const uint32_t get = field.getPrmFast(&out, nullptr, "A", kGainNode, kElement, 1, 0, 0);
    return set | get;
}

void BM_FieldSetGet_MMSMutex(benchmark::State& state)
{
    DeviceControl::MMSMutex mutex;
    auto field = makeField(&mutex);
    if (!field) return state.SkipWithError("field not built");
    int value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(setAndGet(*field, ++value & 0xFFFF));
}
BENCHMARK(BM_FieldSetGet_MMSMutex);

// Baseline: the same calls on a field without lock object, each behind one std::shared_mutex.
void BM_FieldSetGet_SharedMutexBaseline(benchmark::State& state)
{
    auto field = makeField(nullptr);
    if (!field) return state.SkipWithError("field not built");
    std::shared_mutex lock;
    int value = 0;
    JVariant out;
    for (auto _ : state) {
        ++value;
        uint32_t r = 0;
        {
            std::unique_lock<std::shared_mutex> writer(lock);
            r |= field->setPrmFast(JVariant(value & 0xFFFF), "A", kGainNode, kElement, 1, 1, 0, 0, 0, 99, nullptr,
                                   0, nullptr);
        }
        {
            std::shared_lock<std::shared_mutex> reader(lock);
            r |= field->getPrmFast(&out, nullptr, "A", kGainNode, kElement, 1, 0, 0);
        }
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FieldSetGet_SharedMutexBaseline);

void BM_FastLockReadLockUnlock(benchmark::State& state)
{
    JLIB::JFastLock lock;
    uint64_t task = 0;
    (void)JLIB::JFastLock::getTaskId(&task);
    for (auto _ : state) {
        benchmark::DoNotOptimize(lock.ReadLock(task));
        benchmark::DoNotOptimize(lock.ReadUnlock(task));
    }
}
BENCHMARK(BM_FastLockReadLockUnlock);

void BM_SharedMutexLockSharedBaseline(benchmark::State& state)
{
    std::shared_mutex lock;
    for (auto _ : state) {
        lock.lock_shared();
        benchmark::ClobberMemory();
        lock.unlock_shared();
    }
}
BENCHMARK(BM_SharedMutexLockSharedBaseline);

// Four reader threads that hold the read side about half of the time, and a writer that polls
// every millisecond like WriteLock (it has no priority over arriving readers). The counters give
// the writer's refused tries and its wait per lock; a writer refused 5000 times in a row gives up
// and counts as starved, so the run always ends.
void spinFor(std::chrono::nanoseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) benchmark::ClobberMemory();
}

void BM_FastLockWriterAmongFourReaders(benchmark::State& state)
{
    JLIB::JFastLock lock;
    std::atomic<bool> stop{false};
    std::atomic<int> running{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&lock, &stop, &running] {
            uint64_t task = 0;
            (void)JLIB::JFastLock::getTaskId(&task);
            ++running;
            while (!stop.load(std::memory_order_relaxed)) {
                (void)lock.ReadLock(task);
                spinFor(std::chrono::microseconds(2));
                (void)lock.ReadUnlock(task);
                spinFor(std::chrono::microseconds(2));
            }
        });
    }
    while (running.load() < 4) std::this_thread::yield();
    uint64_t writer = 0;
    (void)JLIB::JFastLock::getTaskId(&writer);
    uint64_t refusals = 0;
    uint64_t starved = 0;
    double waitedMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        uint32_t tries = 0;
        while (lock.tryWriteLock(writer) != 0 && ++tries < 5000) (void)oswrap_WaiTsk(1);
        waitedMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        refusals += tries;
        if (tries >= 5000) {
            ++starved;
            continue;
        }
        (void)lock.WriteUnlock(writer);
    }
    stop = true;
    for (std::thread& t : readers) t.join();
    const double n = static_cast<double>(state.iterations());
    state.counters["refusals_per_lock"] = benchmark::Counter(static_cast<double>(refusals) / n);
    state.counters["wait_ms_per_lock"] = benchmark::Counter(waitedMs / n);
    state.counters["starved"] = benchmark::Counter(static_cast<double>(starved));
}
BENCHMARK(BM_FastLockWriterAmongFourReaders)->Iterations(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
