#include "dravo/manager/dravo_AudioComponentCollection.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LogicCtrl/logic_Result.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_UniqId.h"
#include "dravo/manager/AudioComponentTestSupport.h"
#include "dravo/manager/dravo_AudioComponent.h"
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
    static JLIB::JResult checkRemove(AudioComponentCollection& c, AudioComponent* component)
    {
        DRAVOMutexAutoReleaser hold(c.m_pLock.get());
        return c._checkRemoveComponent(component);
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

// An empty component folder for the life of the object; its text ends in "/".
class ScopedFolder {
public:
    ScopedFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "uz-compocol-XXXXXX").string();
        EXPECT_NE(nullptr, mkdtemp(pattern.data()));
        m_path = pattern + "/";
    }
    ~ScopedFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScopedFolder(const ScopedFolder&) = delete;
    ScopedFolder& operator=(const ScopedFolder&) = delete;
    const char* c_str() const { return m_path.c_str(); }

private:
    std::string m_path;
};

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
        ASSERT_EQ(0u, collection().initialize(m_folder.c_str(), 100));
        std::lock_guard<std::mutex> lock(gDestroyedMutex);
        gDestroyed.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, collection().finalize());
        Probe::forgetThreads(collection());
    }
    static AudioComponentCollection& collection() { return *AudioComponentCollection::singleton(); }

    ScopedFolder m_folder;
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
    dravotest::RecordingStrategy strategy;
    EXPECT_EQ(0x80000000u, c.beginByDSPThread(nullptr, &strategy));
    EXPECT_EQ(0x80000000u, c.addComponent("StandIn", 1, 1, 1, 1));
    EXPECT_EQ(0x80000000u, c.reqRemoveComponent(1));
    EXPECT_EQ(nullptr, c.component(1));
    std::vector<DRAVO::AudioConnection> connections;
    EXPECT_EQ(0x80000000u, c.clearConnections());
    EXPECT_EQ(0x80000000u, c.addConnection(1, 0, 2, 0));
    EXPECT_EQ(0x80000000u, c.removeConnection(1, 0, 2, 0));
    EXPECT_EQ(0x80000000u, c.getOriginalConnections(connections));
    EXPECT_EQ(0x80000000u, c.setActualConnections(connections));
    EXPECT_EQ(0x80000000u, c.getActualConnections(connections));

    // A component folder that cannot be listed: the lock stays with no room for a thread.
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, c.initialize("/nonexistent/", 100));
    EXPECT_EQ(0x80000000u, c.beginByThread(nullptr));
    EXPECT_EQ(
        "[E] AudioComponentDLLRepository::initialize - OpenDir failed. (/nonexistent/)\n"
        "[E] AudioComponentCollection::beginByThread() - Couldn't add a thread entry!\n",
        testing::internal::GetCapturedStdout());
    EXPECT_EQ(0x80000000u, c.initialize("/nonexistent/", 100));
    EXPECT_EQ(0u, c.finalize());

    const ScopedFolder folder;
    ASSERT_EQ(0u, c.initialize(folder.c_str(), 1));
    EXPECT_EQ(0x80000000u, c.initialize(folder.c_str(), 1));  // once
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
    ASSERT_EQ(0u, collection().initialize(m_folder.c_str(), 2));
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
    ASSERT_EQ(0u, collection().initialize(m_folder.c_str(), 100));  // for the fixture's finalize
}


// Components made by the real repository from stand-in libraries in a temporary component folder,
// into database 10, seen from worker threads.
class AudioComponentCollectionWithLibrariesTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_env.setUp();
        m_folder = m_env.makeComponentFolder({"StandIn"});
        testing::internal::CaptureStdout();
        const JLIB::JResult initialized = collection().initialize(m_folder.c_str(), 100);
        const std::string log = testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, initialized);
        EXPECT_EQ(
            "[i] AudioComponentDLLRepository::initialize - DRAVO Component[StandIn ver:1] found.\n"
            "[i] AudioComponentCollection::initialize - AUDIOCOMPO_DB() initialized.\n",
            log);
        m_live = m_env.liveObjectCounter(m_folder + "StandIn_1.so");
        ASSERT_NE(nullptr, m_live);
    }
    void TearDown() override
    {
        (void)collection().finalize();  // done already by tests that finalize themselves
        Probe::forgetThreads(collection());
        m_env.tearDown();
    }
    static AudioComponentCollection& collection() { return *AudioComponentCollection::singleton(); }

    // A stand-in of numX channels added by the worker; the result of addComponent.
    static JLIB::JResult add(Worker& w, uint32_t uid, uint32_t numX = 2, const char* type = "StandIn")
    {
        return w.run([=] { return collection().addComponent(type, 1, uid, numX, 1); });
    }
    static JLIB::JResult remove(Worker& w, uint32_t uid)
    {
        return w.run([=] { return collection().reqRemoveComponent(uid); });
    }
    static AudioComponent* find(Worker& w, uint32_t uid)
    {
        return w.run([=] { return collection().component(uid); });
    }
    static int threadId(Worker& w)
    {
        return w.run([] { return static_cast<int>(DRAVO::getCurrentThreadId()); });
    }
    // Function objects of the stand-in per component.
    static constexpr uint32_t kPerComponent = 4;

    dravotest::DravoEnvironment m_env;
    std::string m_folder;
    uint32_t (*m_live)() = nullptr;  // the repository's own object counts one
};

TEST_F(AudioComponentCollectionWithLibrariesTest, AnAddedComponentIsTheAddersAtOnceAndTheOthersAtTheirUpdate)
{
    Worker a, b, c;
    for (Worker* w : {&a, &b, &c}) ASSERT_EQ(0u, w->begin());

    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, add(a, 1, 3));
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string id = std::to_string(threadId(a));
    EXPECT_EQ("[i] AudioComponentCollection::updateByThread - Thread[id:" + id +
                  "] is updating own AudioComponent list.\n"
                  "[i] AudioComponentCollection::addComponent - Thread[id:" + id +
                  "] requested to add AudioComponent[uid:1].\n",
              log);
    EXPECT_EQ(1u + kPerComponent, m_live());
    for (Worker* w : {&a, &b, &c}) EXPECT_EQ(1, w->m_notified.load());  // the adder too

    AudioComponent* added = find(a, 1);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(3u, added->numX());
    EXPECT_EQ(nullptr, find(b, 1));
    EXPECT_EQ(1u, Probe::pendingAdd(collection()));
    ASSERT_EQ(0u, b.update());
    EXPECT_EQ(added, find(b, 1));
    EXPECT_EQ(1u, Probe::pendingAdd(collection()));  // c has not taken it in yet
    ASSERT_EQ(0u, c.update());
    EXPECT_EQ(0u, Probe::pendingAdd(collection()));

    // Refused, nothing changed: a uniqID held (also by a thread that has not seen it), an
    // unknown type.
    EXPECT_EQ(0x80000000u, add(b, 1));
    EXPECT_EQ(0x80000000u, add(a, 2, 2, "Mixer"));
    EXPECT_EQ(1u, Probe::componentNum(collection()));
    EXPECT_EQ(1u + kPerComponent, m_live());
    EXPECT_EQ(1, a.m_notified.load());
    for (Worker* w : {&a, &b, &c}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, ARemovedComponentIsDestroyedByTheLastThreadsUpdate)
{
    Worker a, b, c;
    for (Worker* w : {&a, &b, &c}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 1));
    ASSERT_EQ(0u, b.update());
    EXPECT_EQ(0x80000000u, remove(c, 1));  // c has not taken it in: not its to remove

    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, remove(a, 1));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[i] AudioComponentCollection::reqRemoveComponent - Thread[id:" +
                                          std::to_string(threadId(a)) + "] requested to remove AudioComponent[uid:1].\n"))
        << log;
    EXPECT_EQ(nullptr, find(a, 1));
    AudioComponent* held = find(b, 1);
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(1u, b.run([held] { return held->uniqID(); }));  // still whole for b
    EXPECT_EQ(1u + kPerComponent, m_live());

    // c never held it; b is the last holder.
    ASSERT_EQ(0u, c.update());
    EXPECT_EQ(1u + kPerComponent, m_live());
    ASSERT_EQ(0u, b.update());
    EXPECT_EQ(nullptr, find(b, 1));
    EXPECT_EQ(1u, m_live());
    EXPECT_EQ(0u, Probe::componentNum(collection()));
    EXPECT_EQ(LogicCtrl::kInvalidArgument, LogicCtrl::LogicComponentCollection::singleton().exitLogicTestMode(1));
    for (Worker* w : {&a, &b, &c}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, AComponentRemovedWhilePendingAddIsNeverTakenInAfterItIsGone)
{
    Worker a, b;
    for (Worker* w : {&a, &b}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 2));
    ASSERT_EQ(0u, remove(a, 2));  // b never took it in: nobody holds it
    EXPECT_EQ(1u, m_live());
    EXPECT_EQ(0u, Probe::pendingAdd(collection()));
    ASSERT_EQ(0u, b.update());
    EXPECT_EQ(nullptr, find(b, 2));
    EXPECT_TRUE(b.view().empty());
    for (Worker* w : {&a, &b}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, EndingTheLastHolderDestroysTheComponent)
{
    Worker a, b;
    for (Worker* w : {&a, &b}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 3));
    ASSERT_EQ(0u, b.update());
    ASSERT_EQ(0u, remove(a, 3));
    EXPECT_EQ(1u + kPerComponent, m_live());
    ASSERT_EQ(0u, b.end());
    EXPECT_EQ(1u, m_live());
    EXPECT_EQ(0u, a.end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, FinalizeWaitsForAThreadThatHasNotUpdatedYet)
{
    Worker a, b;
    a.m_updateOnNotify = true;  // a serves its notifications, b does not yet
    for (Worker* w : {&a, &b}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 4));
    ASSERT_EQ(0u, b.update());
    const int told = b.m_notified.load();

    std::future<JLIB::JResult> finalized = std::async(std::launch::async, [] { return collection().finalize(); });
    // b is told again at every step while it still holds the component.
    EXPECT_TRUE(waitFor([&] { return b.m_notified.load() >= told + 3; }, 5s));
    EXPECT_EQ(std::future_status::timeout, finalized.wait_for(0ms));
    EXPECT_EQ(1u + kPerComponent, m_live());
    EXPECT_TRUE(a.view().empty());

    b.m_updateOnNotify = true;  // from here on nothing holds finalize up
    EXPECT_EQ(0u, b.update());
    ASSERT_EQ(std::future_status::ready, finalized.wait_for(5s));
    EXPECT_EQ(0u, finalized.get());
    EXPECT_EQ(0u, m_live());  // the libraries were released after the components
    EXPECT_EQ(0x80000000u, a.update());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, TheDSPThreadUsesWhatItHoldsAndEndsTheUseOfWhatItDrops)
{
    Worker a, dsp;
    dravotest::RecordingStrategy strategy;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, add(a, 1, 3));

    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, dsp.run([&] { return collection().beginByDSPThread(&dsp, &strategy); }));
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[i] AudioComponent::beginUseByDSPThread - AudioComponent[uid:1].\n"));
    AudioComponent* first = find(dsp, 1);
    ASSERT_NE(nullptr, first);
    EXPECT_TRUE(dsp.run([first] { return first->isInDSPUse(); }));
    EXPECT_TRUE(m_env.db().isComponentUsed(PDB::UniqId(1)));

    // The coefficients the library wrote when the use began go out through the strategy.
    EXPECT_EQ(0u, dsp.run([first] { return first->sendChangedCoefs(); }));
    EXPECT_EQ((std::vector<std::string>{"start 1", "coef 1 0 0 48", "end"}), strategy.calls());

    // A component added later is in use only once the DSP thread has updated.
    ASSERT_EQ(0u, add(a, 2));
    AudioComponent* second = find(a, 2);
    ASSERT_NE(nullptr, second);
    EXPECT_FALSE(a.run([second] { return second->isInDSPUse(); }));
    ASSERT_EQ(0u, dsp.update());
    EXPECT_TRUE(dsp.run([second] { return second->isInDSPUse(); }));

    // Removal: the DSP thread ends the use as it drops the component, which then goes.
    ASSERT_EQ(0u, remove(a, 1));
    EXPECT_EQ(1u + 2 * kPerComponent, m_live());
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, dsp.update());
    log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[i] AudioComponent::endUseByDSPThread - AudioComponent[uid:1].\n"));
    EXPECT_EQ(1u + kPerComponent, m_live());
    EXPECT_FALSE(m_env.db().isComponentUsed(PDB::UniqId(1)));

    // Ending the DSP thread ends the use of what it held.
    ASSERT_EQ(0u, dsp.end());
    EXPECT_FALSE(a.run([second] { return second->isInDSPUse(); }));
    EXPECT_FALSE(m_env.db().isComponentUsed(PDB::UniqId(2)));
    EXPECT_EQ(0u, a.end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, ANewRunDoesNotInheritTheDSPThreadOfTheLastOne)
{
    Worker a, dsp;
    dravotest::RecordingStrategy strategy;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, dsp.run([&] { return collection().beginByDSPThread(&dsp, &strategy); }));
    ASSERT_EQ(0u, dsp.end());
    ASSERT_EQ(0u, a.end());
    ASSERT_EQ(0u, collection().finalize());

    // The strategy may be gone by now: the same thread registering plainly is no DSP thread.
    ASSERT_EQ(0u, collection().initialize(m_folder.c_str(), 100));
    for (Worker* w : {&a, &dsp}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 1));
    ASSERT_EQ(0u, dsp.update());
    AudioComponent* component = find(dsp, 1);
    ASSERT_NE(nullptr, component);
    EXPECT_FALSE(dsp.run([component] { return component->isInDSPUse(); }));
    for (Worker* w : {&a, &dsp}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, ConnectionsJoinPortsTheComponentsHaveAndGoWithTheirComponents)
{
    Worker a, b;
    for (Worker* w : {&a, &b}) ASSERT_EQ(0u, w->begin());
    ASSERT_EQ(0u, add(a, 1, 2));  // two inputs, two outputs
    ASSERT_EQ(0u, add(a, 2, 3));  // three of each
    ASSERT_EQ(0u, add(a, 3, 1));

    using Connections = std::vector<DRAVO::AudioConnection>;
    struct Case {
        uint32_t from, fromPort, to, toPort;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {1, 1, 2, 2, 0},
        {1, 2, 2, 0, 0x80000000u},  // the source has two outputs
        {1, 0, 2, 3, 0x80000000u},  // the target has three inputs
        {9, 0, 2, 0, 0x80000000u},
        {1, 0, 9, 0, 0x80000000u},
        {1, 1, 2, 2, 0},  // held already: kept once
        {2, 0, 3, 0, 0},
        {3, 0, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + ":" + std::to_string(c.fromPort) + " -> " + std::to_string(c.to) + ":" +
                     std::to_string(c.toPort));
        EXPECT_EQ(c.result, a.run([&] { return collection().addConnection(c.from, c.fromPort, c.to, c.toPort); }));
    }
    // b does not hold the components yet: it cannot connect them.
    EXPECT_EQ(0x80000000u, b.run([] { return collection().addConnection(1, 0, 2, 0); }));

    const auto original = [] {
        Connections connections;
        EXPECT_EQ(0u, collection().getOriginalConnections(connections));
        return connections;
    };
    const auto actual = [] {
        Connections connections;
        EXPECT_EQ(0u, collection().getActualConnections(connections));
        return connections;
    };
    const Connections made = {{1, 1, 2, 2}, {2, 0, 3, 0}, {3, 0, 1, 1}};
    EXPECT_EQ(made, original());
    EXPECT_EQ(made, actual());

    // A compiled set replaces the actual one until the original changes again.
    ASSERT_EQ(0u, collection().setActualConnections({{7, 7, 8, 8}}));
    EXPECT_EQ(Connections({{7, 7, 8, 8}}), actual());
    EXPECT_EQ(made, original());
    EXPECT_EQ(0u, collection().removeConnection(5, 5, 6, 6));  // not held: nothing changes but the copy
    EXPECT_EQ(made, actual());

    // Removing a component takes every connection from and to it out of both sets.
    ASSERT_EQ(0u, remove(a, 1));
    EXPECT_EQ(Connections({{2, 0, 3, 0}}), original());
    EXPECT_EQ(Connections({{2, 0, 3, 0}}), actual());
    EXPECT_EQ(0u, collection().removeConnection(2, 0, 3, 0));
    EXPECT_TRUE(original().empty());
    ASSERT_EQ(0u, a.run([] { return collection().addConnection(2, 2, 3, 0); }));
    EXPECT_EQ(0u, collection().clearConnections());
    EXPECT_TRUE(original().empty());
    EXPECT_TRUE(actual().empty());
    for (Worker* w : {&a, &b}) EXPECT_EQ(0u, w->end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, ACallerWithoutEntryHasAnEmptyListOfItsOwn)
{
    Worker a, outsider1, outsider2;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, add(a, 1));  // pending for nobody else
    const auto* list1 = outsider1.run([] { return &collection().componentList(); });
    const auto* list2 = outsider2.run([] { return &collection().componentList(); });
    EXPECT_NE(list1, list2);
    // An update takes the pending component into the outsider's list, which is emptied again when
    // it is handed out; the other outsider's list is not touched meanwhile.
    EXPECT_EQ(0u, outsider1.update());
    EXPECT_TRUE(outsider2.run([list2] { return list2->empty(); }));
    EXPECT_TRUE(outsider1.view().empty());
    EXPECT_EQ(nullptr, find(outsider1, 1));
    EXPECT_EQ(0u, a.end());
}

TEST_F(AudioComponentCollectionWithLibrariesTest, TheCheckAndRemoveStepDestroysOnlyWhatNoThreadHolds)
{
    Worker a;
    ASSERT_EQ(0u, a.begin());
    ASSERT_EQ(0u, add(a, 6));
    AudioComponent* component = find(a, 6);
    ASSERT_NE(nullptr, component);
    EXPECT_EQ(0x80000000u, Probe::checkRemove(collection(), component));
    EXPECT_EQ(1u + kPerComponent, m_live());

    ASSERT_EQ(0u, a.end());  // drops nothing: no removal was requested
    EXPECT_EQ(1u + kPerComponent, m_live());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, Probe::checkRemove(collection(), component));
    EXPECT_EQ("[i] AudioComponentCollection::_checkRemoveComponent - AudioComponent[uid:6] removed.\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ(1u, m_live());
    EXPECT_EQ(0u, Probe::componentNum(collection()));
}

}  // namespace
