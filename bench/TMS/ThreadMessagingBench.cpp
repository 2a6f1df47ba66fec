// What the framework's threads cost: a message round trip between two framework threads (A sends
// "Ping", B answers "Re:Ping") and the wake-up of a thread by a user event, each beside the same
// exchange between two plain threads over std::mutex and std::condition_variable.
#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "TMS/AbstractThread.h"
#include "TMS/TMSystem.h"

namespace {

constexpr int kRoundTripsPerBatch = 100;

bool isCommand(const TMS::AbstractMessage& message, const char* name)
{
    const char* command = message.data("CommandName").toString();
    return command && std::strcmp(command, name) == 0;
}

// Waits on the benchmark's own thread for a counter to reach a value.
void spinUntil(const std::atomic<long>& counter, long value)
{
    while (counter.load(std::memory_order_acquire) < value) std::this_thread::yield();
}

// Answers every "Ping" with "Re:Ping" to the sender.
class Responder : public TMS::AbstractThread {
public:
    Responder() : AbstractThread(5) {}
    ~Responder() override { (void)release(); }

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        if (!isCommand(message, "Ping")) return JLIB::kOk;
        TMS::AbstractMessage answer;
        (void)answer.initialize(TMS::kMessageUser, 0);  // a known type never fails
        (void)answer.addData("CommandName", "Re:Ping");
        return answer.send(message.fromWhere());
    }
    JLIB::JResult onChangeStatus(uint32_t, const TMS::ArgumentMap&) override { return JLIB::kOk; }
};

// On "Go" plays a batch of round trips with the responder, then counts the batch.
class Initiator : public TMS::AbstractThread {
public:
    Initiator() : AbstractThread(5) {}
    ~Initiator() override { (void)release(); }
    std::atomic<long> batches{0};

protected:
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override
    {
        if (isCommand(message, "Go")) {
            m_left = kRoundTripsPerBatch;
            return ping();
        }
        if (!isCommand(message, "Re:Ping")) return JLIB::kOk;
        if (--m_left > 0) return ping();
        batches.fetch_add(1, std::memory_order_release);
        return JLIB::kOk;
    }
    JLIB::JResult onChangeStatus(uint32_t, const TMS::ArgumentMap&) override { return JLIB::kOk; }

private:
    JLIB::JResult ping()
    {
        TMS::AbstractMessage message;
        (void)message.initialize(TMS::kMessageUser, 0);  // a known type never fails
        (void)message.addData("CommandName", "Ping");
        return message.send("BenchB");
    }
    int m_left = 0;
};

// Counts its user events.
class Sleeper : public TMS::AbstractThread {
public:
    Sleeper() : AbstractThread(1) {}
    ~Sleeper() override { (void)release(); }
    std::atomic<long> events{0};

protected:
    JLIB::JResult onReceiveEvent(uint32_t) override
    {
        events.fetch_add(1, std::memory_order_release);
        return JLIB::kOk;
    }
    JLIB::JResult onChangeStatus(uint32_t, const TMS::ArgumentMap&) override { return JLIB::kOk; }
};

bool setUp(TMS::AbstractThread& thread, const char* name)
{
    if (thread.initialize(name, 0, 0, 20000, 20000, 100, 0, TMS::getNullDataMap()) != 0) return false;
    while (thread.getStatus() != TMS::kStatusStop) std::this_thread::yield();
    return thread.start(TMS::getNullDataMap()) == 0;
}

void reportPerRoundTrip(benchmark::State& state)
{
    const double roundTrips = static_cast<double>(state.iterations()) * kRoundTripsPerBatch;
    state.SetItemsProcessed(static_cast<int64_t>(roundTrips));
    state.counters["per_round_trip"] =
        benchmark::Counter(roundTrips, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FrameworkMessageRoundTrip(benchmark::State& state)
{
    TMS::TMSystem system;
    Initiator a;
    Responder b;
    if (!setUp(a, "BenchA") || !setUp(b, "BenchB")) {
        state.SkipWithError("threads cannot be set up");
        return;
    }
    TMS::AbstractMessage go;
    (void)go.initialize(TMS::kMessageUser, 0);  // a known type never fails
    (void)go.addData("CommandName", "Go");
    long done = 0;
    for (auto _ : state) {
        (void)go.sendWithWaiting(a);  // the initiator's queue is free between batches
        spinUntil(a.batches, ++done);
    }
    reportPerRoundTrip(state);
}

// Two plain threads handing a token back and forth under one mutex and two condition variables.
void BM_PlainMutexPingPong(benchmark::State& state)
{
    std::mutex mutex;
    std::condition_variable toB, toA, toMain;
    int token = 0;  // 0 idle, 1 ping waiting for B, 2 answer waiting for A
    bool go = false, stop = false;
    long batches = 0;
    std::thread b([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            toB.wait(lock, [&] { return token == 1 || stop; });
            if (stop) return;
            token = 2;
            toA.notify_one();
        }
    });
    std::thread a([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            toA.wait(lock, [&] { return go || stop; });
            if (stop) return;
            go = false;
            for (int i = 0; i < kRoundTripsPerBatch; ++i) {
                token = 1;
                toB.notify_one();
                toA.wait(lock, [&] { return token == 2; });
                token = 0;
            }
            ++batches;
            toMain.notify_one();
        }
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (auto _ : state) {
            const long target = batches + 1;
            go = true;
            toA.notify_one();
            toMain.wait(lock, [&] { return batches == target; });
        }
        stop = true;
    }
    toA.notify_all();
    toB.notify_all();
    a.join();
    b.join();
    reportPerRoundTrip(state);
}

void BM_FrameworkEventWakeup(benchmark::State& state)
{
    TMS::TMSystem system;
    Sleeper sleeper;
    if (!setUp(sleeper, "BenchEvent")) {
        state.SkipWithError("thread cannot be set up");
        return;
    }
    long sent = 0;
    for (auto _ : state) {
        (void)sleeper.sendEvent(1);  // a set-up thread takes every event number below 32
        spinUntil(sleeper.events, ++sent);
    }
}

void BM_PlainConditionWakeup(benchmark::State& state)
{
    std::mutex mutex;
    std::condition_variable wake;
    long pending = 0;
    bool stop = false;
    std::atomic<long> served{0};
    std::thread sleeper([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return pending > 0 || stop; });
            if (stop) return;
            pending = 0;
            served.fetch_add(1, std::memory_order_release);
        }
    });
    long sent = 0;
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++pending;
        }
        wake.notify_one();
        spinUntil(served, ++sent);
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    wake.notify_one();
    sleeper.join();
}

}  // namespace

BENCHMARK(BM_FrameworkMessageRoundTrip)->UseRealTime();
BENCHMARK(BM_PlainMutexPingPong)->UseRealTime();
BENCHMARK(BM_FrameworkEventWakeup)->UseRealTime();
BENCHMARK(BM_PlainConditionWakeup)->UseRealTime();
