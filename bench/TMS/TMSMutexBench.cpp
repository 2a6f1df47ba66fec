// Lock/unlock cost of the framework's recursive lock beside the standard recursive mutex, alone
// and with several threads fighting over one lock.
#include <benchmark/benchmark.h>

#include <mutex>

#include "TMS/TMSMutex.h"

namespace {

TMS::TMSMutex& sharedTmsMutex()
{
    static TMS::TMSMutex mutex("Bench");
    return mutex;
}

std::recursive_mutex& sharedStdMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

void BM_TMSMutex(benchmark::State& state)
{
    const TMS::TMSMutex& mutex = sharedTmsMutex();
    long counter = 0;
    for (auto _ : state) {
        (void)mutex.begin();  // a valid lock never fails
        ++counter;
        (void)mutex.end();
    }
    benchmark::DoNotOptimize(counter);
}

void BM_StdRecursiveMutex(benchmark::State& state)
{
    std::recursive_mutex& mutex = sharedStdMutex();
    long counter = 0;
    for (auto _ : state) {
        mutex.lock();
        ++counter;
        mutex.unlock();
    }
    benchmark::DoNotOptimize(counter);
}

void BM_TMSMutexNested(benchmark::State& state)
{
    const TMS::TMSMutex& mutex = sharedTmsMutex();
    for (auto _ : state) {
        TMS::TMSMutexAutoReleaser outer(mutex);
        TMS::TMSMutexAutoReleaser inner(mutex);
    }
}

void BM_StdRecursiveMutexNested(benchmark::State& state)
{
    std::recursive_mutex& mutex = sharedStdMutex();
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> outer(mutex);
        std::lock_guard<std::recursive_mutex> inner(mutex);
    }
}

}  // namespace

BENCHMARK(BM_TMSMutex)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_StdRecursiveMutex)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_TMSMutexNested)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_StdRecursiveMutexNested)->Threads(1)->Threads(4)->UseRealTime();
