#include "oswrap/oswrap_task.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <mutex>
#include <thread>
#include <vector>

#include "OswrapTestSupport.h"

using oswraptest::ModuleScope;
using oswraptest::waitFor;

namespace {

// What a test task saw, written by the task and read by the test.
struct Probe {
    std::atomic<long> tid{0};
    std::atomic<uint16_t> id{0};
    std::atomic<uint32_t> idResult{0xFFFFFFFF};
    std::atomic<uint32_t> waitResult{0xFFFFFFFF};
    std::atomic<uint32_t> pattern{0xA5A5A5A5};
    std::atomic<uint32_t> checkBefore{0xFFFFFFFF};
    std::atomic<uint32_t> checkAfter{0xFFFFFFFF};
    std::atomic<uint32_t> pollResult{0xFFFFFFFF};
    std::atomic<int> runs{0};
    std::atomic<bool> done{false};
    char osName[32] = {};
    uint32_t waitPattern = 0;
};

// Reports its id and thread name, then ends through oswrap_ExtTsk.
void reportAndExit(void* arg)
{
    Probe* p = static_cast<Probe*>(arg);
    uint16_t id = 0;
    p->idResult = oswrap_GetTskId(&id);
    p->id = id;
    (void)pthread_getname_np(pthread_self(), p->osName, sizeof(p->osName));
    ++p->runs;
    p->done = true;
    (void)oswrap_ExtTsk();
}

// Waits once on its task flag word for p->waitPattern, then ends.
void waitOnceAndExit(void* arg)
{
    Probe* p = static_cast<Probe*>(arg);
    p->checkBefore = oswrap_CheckReqTerminate();
    uint32_t polled = 0xA5A5A5A5;
    p->pollResult = oswrap_VtwaiTfl(&polled, p->waitPattern, 0);
    p->tid = oswraptest::currentTid();
    uint32_t pattern = 0xA5A5A5A5;
    p->waitResult = oswrap_VtwaiTfl(&pattern, p->waitPattern, OSWRAP::kForever);
    p->pattern = pattern;
    p->checkAfter = oswrap_CheckReqTerminate();
    p->done = true;
    (void)oswrap_ExtTsk();
}

// Returns without oswrap_ExtTsk.
void justReturn(void* arg) { static_cast<Probe*>(arg)->done = true; }

// Serves its word until asked to end, as a framework loop does.
void serveUntilTerminated(void* arg)
{
    Probe* p = static_cast<Probe*>(arg);
    p->tid = oswraptest::currentTid();
    for (;;) {
        uint32_t pattern = 0;
        const JLIB::JResult r = oswrap_VtwaiTfl(&pattern, 0x7E0000, OSWRAP::kForever);
        if (r == OSWRAP::kTerminateRequested) break;
        if (r == 0) ++p->runs;
    }
    p->done = true;
    (void)oswrap_ExtTsk();
}

T_OSW_CTSK makeTask(T_OSW_TASKFUNC entry, const char* name)
{
    return T_OSW_CTSK{nullptr, 0, entry, 5, 0, 20000, nullptr, name};
}

}  // namespace

TEST(oswrap_taskTest, CreatesUnderCheckedIdsAndPicksAutomaticIdsFromTheTop)
{
    ModuleScope module;
    const T_OSW_CTSK ctsk = makeTask(justReturn, "task");
    uint16_t id = 0xA5A5;
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
    EXPECT_EQ(100u, id);
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
    EXPECT_EQ(99u, id);

    struct Case { uint16_t id; uint32_t result; };
    const Case creates[] = {{1, 0}, {49, 0}, {49, 0x80000008}, {50, 0x80000005}, {0, 0x80000005}};
    for (const Case& c : creates) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.result, oswrap_CreTsk(c.id, &ctsk));
    }
    const T_OSW_CTSK noEntry = makeTask(nullptr, "task");
    EXPECT_EQ(0x80000005u, oswrap_CreTsk(2, &noEntry));
    EXPECT_EQ(0x80000005u, oswrap_CreTsk(2, nullptr));
    EXPECT_EQ(0x80000005u, oswrap_AcreTsk(nullptr, &ctsk));

    // Per id: delete, start, terminate, suspend, resume, set/clear word, load.
    struct UseCase { uint16_t id; uint32_t del, sta, ter, sus, tfl, isr; };
    const UseCase uses[] = {
        {2, 0x80000007, 0x80000007, 0x80000007, 0x80000007, 0x80000007, 0},
        {0, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
        {101, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005, 0x80000005},
        // Created but never started; the start comes after the delete.
        {1, 0, 0x80000007, 0x80000008, 0x80000002, 0, 0},
    };
    for (const UseCase& c : uses) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.ter, oswrap_TerTsk(c.id));
        EXPECT_EQ(c.sus, oswrap_SusTsk(c.id));
        EXPECT_EQ(c.sus, oswrap_RsmTsk(c.id));
        EXPECT_EQ(c.sus, oswrap_RsmTskFromISR(c.id));
        EXPECT_EQ(c.tfl, oswrap_VsetTfl(c.id, 0x20000));
        EXPECT_EQ(c.tfl, oswrap_VclrTfl(c.id, 0));
        EXPECT_EQ(c.isr, oswrap_VsetTflFromISR(c.id, 0x20000));
        EXPECT_EQ(c.del, oswrap_DelTsk(c.id));
        EXPECT_EQ(c.sta, oswrap_StaTsk(c.id, nullptr));
    }
    uint16_t load = 0xA5A5;
    EXPECT_EQ(0x80000002u, oswrap_GetTskLoad(&load, 100));
    EXPECT_EQ(0u, load);
    load = 0xA5A5;
    EXPECT_EQ(0x80000002u, oswrap_GetProcessLoad(&load));
    EXPECT_EQ(0u, load);
    EXPECT_EQ(0x80000005u, oswrap_GetTskLoad(nullptr, 100));
    EXPECT_EQ(0x80000005u, oswrap_GetProcessLoad(nullptr));
}

TEST(oswrap_taskTest, TaskRunsAsNamedThreadKnowsItsIdAndCanBeStartedAgainAfterExit)
{
    ModuleScope module;
    Probe probe;
    const T_OSW_CTSK ctsk = makeTask(reportAndExit, "TimerThread");
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));

    uint16_t found = 0;
    EXPECT_EQ(0u, oswrap_VinqTsk(&found, "TimerThre"));
    EXPECT_EQ(id, found);
    EXPECT_EQ(0x8000000Eu, oswrap_VinqTsk(&found, "NoSuchTask"));

    ASSERT_EQ(0u, oswrap_StaTsk(id, &probe));
    ASSERT_TRUE(waitFor([&] { return probe.done.load(); }));
    EXPECT_EQ(0u, probe.idResult.load());
    EXPECT_EQ(id, probe.id.load());
    EXPECT_STREQ("TimerThre", probe.osName);

    // oswrap_ExtTsk made the task dormant again.
    T_OSW_RTSK ref{};
    ref.name = nullptr;
    ASSERT_TRUE(waitFor([&] { return oswrap_RefTsk(&ref, id) == 0 && ref.tskstat == OSWRAP::kTaskDormant; }));
    probe.done = false;
    ASSERT_EQ(0u, oswrap_StaTsk(id, &probe));
    ASSERT_TRUE(waitFor([&] { return probe.done.load(); }));
    EXPECT_EQ(2, probe.runs.load());
    EXPECT_EQ(id, probe.id.load());
}

TEST(oswrap_taskTest, StartingARunningTaskIsRefused)
{
    ModuleScope module;
    Probe probe;
    probe.waitPattern = 0x20000;
    const T_OSW_CTSK ctsk = makeTask(waitOnceAndExit, "waiter");
    ASSERT_EQ(0u, oswrap_CreTsk(3, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(3, &probe));
    EXPECT_EQ(0x80000008u, oswrap_StaTsk(3, &probe));
    ASSERT_TRUE(oswraptest::waitUntilBlocked(probe.tid));
    ASSERT_EQ(0u, oswrap_VsetTfl(3, 0x20000));
    ASSERT_TRUE(waitFor([&] { return probe.done.load(); }));
    EXPECT_EQ(0u, probe.waitResult.load());
    EXPECT_EQ(0x20000u, probe.pattern.load());
}

TEST(oswrap_taskTest, TerminationRequestWakesTheTaskWithTheOtherBitsItSaw)
{
    ModuleScope module;
    Probe probe;
    probe.waitPattern = 0x40000;
    const T_OSW_CTSK ctsk = makeTask(waitOnceAndExit, "term");
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(id, &probe));
    ASSERT_TRUE(oswraptest::waitUntilBlocked(probe.tid));
    EXPECT_EQ(0x80000008u, probe.checkBefore.load());
    EXPECT_EQ(0x8000000Cu, probe.pollResult.load());

    // A bit outside the wait pattern wakes the task only to block again.
    ASSERT_EQ(0u, oswrap_VsetTfl(id, 0x80000));
    ASSERT_TRUE(oswraptest::waitUntilBlocked(probe.tid));
    EXPECT_FALSE(probe.done.load());

    EXPECT_EQ(0u, oswrap_TerTsk(id));
    ASSERT_TRUE(waitFor([&] { return probe.done.load(); }));
    EXPECT_EQ(0x80000011u, probe.waitResult.load());
    EXPECT_EQ(0x80000u, probe.pattern.load());
    EXPECT_EQ(0u, probe.checkAfter.load());

    T_OSW_RTSK ref{};
    char name[10];
    ref.name = name;
    ASSERT_EQ(0u, oswrap_RefTsk(&ref, id));
    EXPECT_EQ(0, ref.flgptn) << "both bits were cleared";
    EXPECT_EQ(OSWRAP::kTaskDormant, ref.tskstat);
}

TEST(oswrap_taskTest, ReferenceReportsTheRecordAndZeroesForUnknownTasks)
{
    ModuleScope module;
    int stackArea = 0;
    T_OSW_CTSK ctsk = makeTask(justReturn, "ReferenceTask");
    ctsk.itskpri = 14;
    ctsk.reserved = 7;
    ctsk.stk = &stackArea;
    ctsk.exinf = &ctsk;
    ASSERT_EQ(0u, oswrap_CreTsk(4, &ctsk));
    ASSERT_EQ(0u, oswrap_VsetTfl(4, 0x80000001));

    T_OSW_RTSK ref;
    std::memset(&ref, 0xA5, sizeof(ref));
    char name[10];
    std::memset(name, 'x', sizeof(name));
    ref.name = name;
    ASSERT_EQ(0u, oswrap_RefTsk(&ref, 4));
    EXPECT_EQ(&ctsk, ref.exinf);
    EXPECT_EQ(0u, ref.tskpri);
    EXPECT_EQ(OSWRAP::kTaskDormant, ref.tskstat);
    EXPECT_EQ(0u, ref.tskwait);
    EXPECT_EQ(0u, ref.lefttmo);
    EXPECT_EQ(-0x7FFFFFFF, ref.flgptn) << "widened with its sign";
    EXPECT_EQ(&justReturn, ref.task);
    EXPECT_EQ(14u, ref.itskpri);
    EXPECT_EQ(7u, ref.reserved);
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&stackArea)), ref.stk);
    EXPECT_STREQ("Reference", name);

    // All bits set asks for no name.
    std::memset(name, 'x', sizeof(name));
    ref.name = reinterpret_cast<char*>(UINTPTR_MAX);
    ASSERT_EQ(0u, oswrap_RefTsk(&ref, 4));
    EXPECT_EQ('x', name[0]);

    std::memset(&ref, 0xA5, sizeof(ref));
    EXPECT_EQ(0x80000007u, oswrap_RefTsk(&ref, 5));
    const T_OSW_RTSK zero{};
    EXPECT_EQ(0, std::memcmp(&zero, &ref, sizeof(ref)));
    EXPECT_EQ(0x80000005u, oswrap_RefTsk(nullptr, 4));
    EXPECT_EQ(0x80000005u, oswrap_RefTsk(&ref, 101));
}

TEST(oswrap_taskTest, TaskFlagCallsFromAThreadThatIsNoTaskAreRefused)
{
    ModuleScope module;
    uint32_t pattern = 0xA5A5A5A5;
    EXPECT_EQ(0x80000007u, oswrap_VtwaiTfl(&pattern, 0x20000, 0));
    EXPECT_EQ(0u, pattern);
    EXPECT_EQ(0x80000005u, oswrap_VtwaiTfl(nullptr, 0x20000, 0));
    EXPECT_EQ(0x80000007u, oswrap_CheckReqTerminate());
    EXPECT_EQ(0x80000007u, oswrap_ExtTsk());
}

TEST(oswrap_taskTest, ThreadsThatAreNoTaskGetLastingIdsAndFreeThemWhenTheyEnd)
{
    ModuleScope module;
    uint16_t first = 0;
    uint16_t again = 0;
    ASSERT_EQ(0u, oswrap_GetTskId(&first));
    ASSERT_EQ(0u, oswrap_GetTskId(&again));
    EXPECT_GE(first, 0x8000u);
    EXPECT_EQ(first, again);
    EXPECT_EQ(0x80000005u, oswrap_GetTskId(nullptr));

    // More threads than slots over the run of the process, each one ending before the next.
    std::set<uint16_t> seen;
    for (int i = 0; i < 150; ++i) {
        uint32_t result = 0xFFFFFFFF;
        uint16_t id = 0;
        uint16_t repeat = 0;
        std::thread([&] {
            result = oswrap_GetTskId(&id);
            (void)oswrap_GetTskId(&repeat);
        }).join();
        ASSERT_EQ(0u, result) << i;
        ASSERT_GE(id, 0x8000u);
        ASSERT_LT(id, 0x8000u + 100u);
        ASSERT_NE(first, id);
        ASSERT_EQ(id, repeat);
        seen.insert(id);
    }
    EXPECT_LT(seen.size(), 100u);
}

TEST(oswrap_taskTest, HundredLiveThreadsTakeEverySlotAndTheNextGetsStatusNine)
{
    ModuleScope module;
    uint16_t mainId = 0;
    ASSERT_EQ(0u, oswrap_GetTskId(&mainId));

    std::atomic<int> ready{0};
    std::atomic<bool> release{false};
    std::vector<std::thread> holders;
    std::set<uint16_t> ids;
    std::mutex idsMutex;
    for (int i = 0; i < 99; ++i) {
        holders.emplace_back([&] {
            uint16_t id = 0;
            EXPECT_EQ(0u, oswrap_GetTskId(&id));
            {
                std::lock_guard<std::mutex> guard(idsMutex);
                ids.insert(id);
            }
            ++ready;
            while (!release.load()) std::this_thread::yield();
        });
    }
    EXPECT_TRUE(waitFor([&] { return ready.load() == 99; }));
    uint32_t result = 0;
    uint16_t id = 0xA5A5;
    std::thread([&] { result = oswrap_GetTskId(&id); }).join();
    release = true;
    for (std::thread& t : holders) t.join();
    EXPECT_EQ(9u, result);
    EXPECT_EQ(0u, id);
    EXPECT_EQ(99u, ids.size());
    EXPECT_EQ(0u, ids.count(mainId));
}

TEST(oswrap_taskTest, ExitEndsTasksThatServeTheirWord)
{
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    Probe probes[3];
    for (Probe& p : probes) {
        const T_OSW_CTSK ctsk = makeTask(serveUntilTerminated, "loop");
        uint16_t id = 0;
        ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
        ASSERT_EQ(0u, oswrap_StaTsk(id, &p));
        ASSERT_TRUE(oswraptest::waitUntilBlocked(p.tid));
        ASSERT_EQ(0u, oswrap_VsetTfl(id, 0x200000));
        ASSERT_TRUE(waitFor([&] { return p.runs.load() == 1; }));
    }
    EXPECT_EQ(0u, oswrap_exit());
    for (const Probe& p : probes) EXPECT_TRUE(p.done.load());
}

TEST(oswrap_taskTest, TerminatingATaskWhoseEntryReturnedTimesOutAfterFiveSeconds)
{
    ModuleScope module;
    Probe probe;
    const T_OSW_CTSK ctsk = makeTask(justReturn, "returns");
    ASSERT_EQ(0u, oswrap_CreTsk(6, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(6, &probe));
    ASSERT_TRUE(waitFor([&] { return probe.done.load(); }));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(0x8000000Cu, oswrap_TerTsk(6));
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(4990));
    EXPECT_LT(waited, std::chrono::milliseconds(7000));
    // Still running as far as the table knows, so it cannot be started again.
    EXPECT_EQ(0x80000008u, oswrap_StaTsk(6, &probe));
    EXPECT_EQ(0u, oswrap_DelTsk(6));
}

namespace {

// Counts every bit it is woken for, one counter per bit 0..3 of the owner's range.
struct Counter {
    std::atomic<uint32_t> seen[4] = {};
    std::atomic<bool> done{false};
};

void countUntilTerminated(void* arg)
{
    Counter* c = static_cast<Counter*>(arg);
    for (;;) {
        uint32_t pattern = 0;
        const JLIB::JResult r = oswrap_VtwaiTfl(&pattern, 0x1E0000, OSWRAP::kForever);
        for (int bit = 0; bit < 4; ++bit) {
            if (pattern & (0x20000u << bit)) ++c->seen[bit];
        }
        if (r == OSWRAP::kTerminateRequested) break;
    }
    c->done = true;
    (void)oswrap_ExtTsk();
}

// Reports its id, then waits until the test lets it ask again and reports once more.
struct TwoAsks {
    std::atomic<uint16_t> first{0};
    std::atomic<uint16_t> second{0};
    std::atomic<bool> askAgain{false};
    std::atomic<bool> done{false};
};

void askTwice(void* arg)
{
    TwoAsks* t = static_cast<TwoAsks*>(arg);
    uint16_t id = 0;
    EXPECT_EQ(0u, oswrap_GetTskId(&id));
    t->first = id;
    EXPECT_TRUE(waitFor([&] { return t->askAgain.load(); }));
    EXPECT_EQ(0u, oswrap_GetTskId(&id));
    t->second = id;
    t->done = true;
    (void)oswrap_ExtTsk();  // the old thread is no task any more: it just returns
}

}  // namespace

TEST(oswrap_taskTest, ManySettersWakeOneTaskWithoutLosingABit)
{
    // Each setter raises its bit and waits until the task has seen it before raising it again,
    // so every raise must end in exactly one wake-up that reports it.
    ModuleScope module;
    Counter counter;
    const T_OSW_CTSK ctsk = makeTask(countUntilTerminated, "counter");
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(id, &counter));
    constexpr uint32_t kRounds = 2000;
    std::vector<std::thread> setters;
    std::atomic<int> stalled{0};
    for (int bit = 0; bit < 4; ++bit) {
        setters.emplace_back([&, bit] {
            for (uint32_t i = 0; i < kRounds; ++i) {
                EXPECT_EQ(0u, oswrap_VsetTfl(id, 0x20000u << bit));
                if (!waitFor([&] { return counter.seen[bit].load() == i + 1; }, std::chrono::seconds(10))) {
                    ++stalled;
                    return;
                }
            }
        });
    }
    for (std::thread& t : setters) t.join();
    EXPECT_EQ(0, stalled.load());
    for (int bit = 0; bit < 4; ++bit) EXPECT_EQ(kRounds, counter.seen[bit].load()) << bit;
    EXPECT_EQ(0u, oswrap_TerTsk(id));
    EXPECT_TRUE(counter.done.load());
}

TEST(oswrap_taskTest, AThreadStopsBeingTheTaskOnceItsEntryIsStartedAgain)
{
    // The entry is deleted, created and started anew while its first thread still runs: from
    // then on the id belongs to the new thread, and the old one is a thread like any other.
    ModuleScope module;
    TwoAsks oldThread;
    TwoAsks newThread;
    const T_OSW_CTSK ctsk = makeTask(askTwice, "again");
    ASSERT_EQ(0u, oswrap_CreTsk(7, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(7, &oldThread));
    ASSERT_TRUE(waitFor([&] { return oldThread.first.load() != 0; }));
    EXPECT_EQ(7u, oldThread.first.load());

    ASSERT_EQ(0u, oswrap_DelTsk(7));
    ASSERT_EQ(0u, oswrap_CreTsk(7, &ctsk));
    ASSERT_EQ(0u, oswrap_StaTsk(7, &newThread));
    ASSERT_TRUE(waitFor([&] { return newThread.first.load() != 0; }));
    EXPECT_EQ(7u, newThread.first.load());

    oldThread.askAgain = true;
    newThread.askAgain = true;
    ASSERT_TRUE(waitFor([&] { return oldThread.done.load() && newThread.done.load(); }));
    EXPECT_GE(oldThread.second.load(), OSWRAP::kUnmanagedIdBase);
    EXPECT_EQ(7u, newThread.second.load());
}
