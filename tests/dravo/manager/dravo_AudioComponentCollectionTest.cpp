#include "dravo/manager/dravo_AudioComponentCollection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dravo/manager/dravo_IAudioComponentCallback.h"

namespace DRAVO {

// Stands in for the collection's own add and removal requests: places a component as adding one
// does (owned, pending for the other threads, taken in by the caller at once) and requests the
// removal of one the caller holds.
struct AudioComponentCollectionProbe {
    static void add(AudioComponentCollection& c, AudioComponent* component, void (*deleter)(AudioComponent*))
    {
        DRAVOMutexAutoReleaser hold(c.m_pLock.get());
        c.m_components.emplace_back(component, deleter);
        c.m_pendingAdd.push_back(component);
        (void)c.updateByThread();
        c.notify();
    }
    static void requestRemoval(AudioComponentCollection& c, AudioComponent* component)
    {
        DRAVOMutexAutoReleaser hold(c.m_pLock.get());
        c.m_pendingRemove.push_back(component);
        (void)c.updateByThread();
        c.notify();
    }
    static size_t pendingAdd(AudioComponentCollection& c)
    {
        DRAVOMutexAutoReleaser hold(c.m_pLock.get());
        return c.m_pendingAdd.size();
    }
    static size_t componentNum(AudioComponentCollection& c)
    {
        DRAVOMutexAutoReleaser hold(c.m_pLock.get());
        return c.m_components.size();
    }
    // The registry outlives the tests of one process: each test starts without thread entries.
    static void forgetThreads(AudioComponentCollection& c) { c.m_threads.clear(); }
};

}  // namespace DRAVO

namespace {

using namespace std::chrono_literals;
using DRAVO::AudioComponent;
using DRAVO::AudioComponentCollection;
using Probe = DRAVO::AudioComponentCollectionProbe;

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Components are never looked into by the registry: distinct addresses stand in for them, and
// their deleter records each destruction.
char gSlots[8];
std::mutex gDestroyedMutex;
std::vector<AudioComponent*> gDestroyed;

AudioComponent* fake(int n) { return reinterpret_cast<AudioComponent*>(&gSlots[n]); }
void recordDestroyed(AudioComponent* component)
{
    std::lock_guard<std::mutex> lock(gDestroyedMutex);
    gDestroyed.push_back(component);
}
bool isDestroyed(AudioComponent* component)
{
    std::lock_guard<std::mutex> lock(gDestroyedMutex);
    return std::count(gDestroyed.begin(), gDestroyed.end(), component) == 1;
}

// One OS thread that runs jobs in order: the registry tells threads apart by their identity.
class Worker : public DRAVO::IAudioComponentCallback {
public:
    Worker() : m_thread([this] { loop(); }) {}
    ~Worker() override
    {
        post([this] { m_stop = true; });
        m_thread.join();
    }

    // Runs the job on this thread and gives its result (bounded wait).
    template <typename Job>
    auto run(Job job) -> decltype(job())
    {
        auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
        auto result = task->get_future();
        post([task] { (*task)(); });
        EXPECT_EQ(std::future_status::ready, result.wait_for(5s));
        return result.get();
    }
    JLIB::JResult begin() { return run([this] { return AudioComponentCollection::singleton()->beginByThread(this); }); }
    JLIB::JResult update() { return run([] { return AudioComponentCollection::singleton()->updateByThread(); }); }
    JLIB::JResult end() { return run([] { return AudioComponentCollection::singleton()->endByThread(); }); }
    AudioComponentCollection::AudioComponentList view()
    {
        return run([] { return AudioComponentCollection::singleton()->componentList(); });
    }
    bool holds(AudioComponent* component)
    {
        const AudioComponentCollection::AudioComponentList list = view();
        return std::find(list.begin(), list.end(), component) != list.end();
    }

    // Called with the registry's lock held: only queues an update, as an application thread does.
    uint32_t rawCallbackChangeAudioComponentConfig() override
    {
        m_notified.fetch_add(1);
        if (m_updateOnNotify) post([] { (void)AudioComponentCollection::singleton()->updateByThread(); });
        return 0;
    }

    std::atomic<int> m_notified{0};
    std::atomic<bool> m_updateOnNotify{false};

private:
    void post(std::function<void()> job)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
        m_wake.notify_one();
    }
    void loop()
    {
        while (!m_stop) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_jobs.empty(); });
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;  // this thread's own
    std::thread m_thread;
};

class AudioComponentCollectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, collection().initialize("/nonexistent/", 100));
        std::lock_guard<std::mutex> lock(gDestroyedMutex);
        gDestroyed.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, collection().finalize());
        Probe::forgetThreads(collection());
    }
    static AudioComponentCollection& collection() { return *AudioComponentCollection::singleton(); }
};

TEST(AudioComponentCollectionNoLockTest, EveryOperationIsRefusedBeforeInitialisation)
{
    AudioComponentCollection& c = *AudioComponentCollection::singleton();
    EXPECT_EQ(0x80000000u, c.beginByThread(nullptr));
    EXPECT_EQ(0x80000000u, c.updateByThread());
    EXPECT_EQ(0x80000000u, c.endByThread());
    EXPECT_EQ(0x80000000u, c.reqRemoveComponent());
    EXPECT_EQ(0x80000000u, c.finalize());
    EXPECT_TRUE(c.componentList().empty());
    ASSERT_EQ(0u, c.initialize("/nonexistent/", 1));
    EXPECT_EQ(0x80000000u, c.initialize("/nonexistent/", 1));  // once
    EXPECT_EQ(0u, c.finalize());
}

TEST_F(AudioComponentCollectionTest, AddedComponentsReachEachThreadAtItsOwnUpdate)
{
    Worker a, b;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, b.begin());
    a.run([] { Probe::add(collection(), fake(0), recordDestroyed); });
    EXPECT_TRUE(a.holds(fake(0)));   // the adder at once
    EXPECT_FALSE(b.holds(fake(0)));  // the other at its next update
    EXPECT_EQ(1, b.m_notified.load());
    EXPECT_EQ(1u, Probe::pendingAdd(collection()));
    ASSERT_EQ(0u, b.update());
    EXPECT_TRUE(b.holds(fake(0)));
    EXPECT_EQ(0u, Probe::pendingAdd(collection()));

    Worker late;  // registers afterwards: sees every component at once
    ASSERT_EQ(0u, late.begin());
    EXPECT_TRUE(late.holds(fake(0)));
    EXPECT_TRUE(Worker().view().empty());  // a thread without an entry sees nothing

    for (Worker* w : {&a, &b, &late}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionTest, ARemovedComponentLivesUntilTheLastThreadDropsIt)
{
    Worker a, b;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, b.begin());
    a.run([] { Probe::add(collection(), fake(1), recordDestroyed); });
    ASSERT_EQ(0u, b.update());

    a.run([] { Probe::requestRemoval(collection(), fake(1)); });
    EXPECT_FALSE(a.holds(fake(1)));
    EXPECT_TRUE(b.holds(fake(1)));  // still valid for b
    EXPECT_FALSE(isDestroyed(fake(1)));
    ASSERT_EQ(0u, b.update());
    EXPECT_TRUE(isDestroyed(fake(1)));
    EXPECT_EQ(0u, Probe::componentNum(collection()));
    for (Worker* w : {&a, &b}) EXPECT_EQ(0u, w->end());
}

// Removed before every thread had taken it in: once destroyed it must not be handed out again.
TEST_F(AudioComponentCollectionTest, AComponentDestroyedWhilePendingAddIsNeverHandedOut)
{
    Worker a, b;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, b.begin());
    a.run([] { Probe::add(collection(), fake(2), recordDestroyed); });
    a.run([] { Probe::requestRemoval(collection(), fake(2)); });
    EXPECT_TRUE(isDestroyed(fake(2)));  // nobody held it any more
    EXPECT_EQ(0u, Probe::pendingAdd(collection()));
    ASSERT_EQ(0u, b.update());
    EXPECT_TRUE(b.view().empty());
    Worker c;
    ASSERT_EQ(0u, c.begin());
    EXPECT_TRUE(c.view().empty());
    for (Worker* w : {&a, &b, &c}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionTest, AnEndedThreadHoldsNothingAndIsNotToldAnyMore)
{
    Worker a, b;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, b.begin());
    a.run([] { Probe::add(collection(), fake(3), recordDestroyed); });
    ASSERT_EQ(0u, b.update());
    a.run([] { Probe::requestRemoval(collection(), fake(3)); });
    EXPECT_FALSE(isDestroyed(fake(3)));
    ASSERT_EQ(0u, b.end());  // b was the last holder
    EXPECT_TRUE(isDestroyed(fake(3)));
    EXPECT_TRUE(b.view().empty());

    const int told = b.m_notified.load();
    a.run([] { Probe::add(collection(), fake(4), recordDestroyed); });
    EXPECT_EQ(told, b.m_notified.load());
    ASSERT_EQ(0u, a.update());
    EXPECT_TRUE(b.view().empty());
    EXPECT_EQ(1u, Probe::pendingAdd(collection()));  // the ended entry never took it in

    ASSERT_EQ(0u, b.begin());  // the same thread again: its entry is reused
    EXPECT_TRUE(b.holds(fake(4)));
    EXPECT_EQ(0u, Probe::pendingAdd(collection()));
    for (Worker* w : {&a, &b}) EXPECT_EQ(0u, w->end());
    EXPECT_FALSE(isDestroyed(fake(4)));  // finalize removes it
}

TEST_F(AudioComponentCollectionTest, ThreadsBeyondTheLimitAreRefused)
{
    ASSERT_EQ(0u, collection().finalize());
    ASSERT_EQ(0u, collection().initialize("/nonexistent/", 2));
    Worker a, b, c;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, b.begin());
    testing::internal::CaptureStdout();
    const JLIB::JResult third = c.begin();
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0x80000000u, third);
    EXPECT_EQ("[E] AudioComponentCollection::beginByThread() - Couldn't add a thread entry!\n", log);
    EXPECT_EQ(0u, a.begin());  // a thread registering again takes no new entry
    a.run([] { Probe::add(collection(), fake(5), recordDestroyed); });
    EXPECT_EQ(0, c.m_notified.load());
    EXPECT_EQ(0u, c.update());  // works on the shared empty list
    for (Worker* w : {&a, &b}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionTest, FinalizeWaitsUntilEveryThreadHasDroppedItsComponents)
{
    Worker a;
    a.m_updateOnNotify = true;
    ASSERT_EQ(0u, a.begin());
    a.run([] { Probe::add(collection(), fake(6), recordDestroyed); });
    ASSERT_TRUE(a.holds(fake(6)));
    const int before = a.m_notified.load();

    EXPECT_EQ(0u, collection().finalize());  // a drops it on being told, on its own thread
    EXPECT_TRUE(isDestroyed(fake(6)));
    EXPECT_GT(a.m_notified.load(), before);
    EXPECT_EQ(0x80000000u, a.update());  // no lock any more
    ASSERT_EQ(0u, collection().initialize("/nonexistent/", 100));  // for the fixture's finalize
}

}  // namespace
