#include "common/KavoriAppThread.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/KavoriSystemInfo.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace {

using namespace std::chrono_literals;
using TmsTest::waitFor;

// An application thread that records every hook it is given, and runs jobs on its own task.
class TestAppThread : public TmsTest::Recording<KAVORI::KavoriAppThread> {
public:
    TestAppThread() : Recording(1)
    {
        onUserMessage = [this](const TMS::AbstractMessage&) {
            std::function<void(TestAppThread&)> job;
            {
                std::lock_guard<std::mutex> lock(m_jobMutex);
                job.swap(m_job);
            }
            if (job) job(*this);
            m_jobsDone.fetch_add(1);
        };
    }

    bool run(std::function<void(TestAppThread&)> job)
    {
        {
            std::lock_guard<std::mutex> lock(m_jobMutex);
            m_job = std::move(job);
        }
        const uint32_t before = m_jobsDone.load();
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 7) != 0 || message.sendWithWaiting(*this) != 0) return false;
        return waitFor([&] { return m_jobsDone.load() != before; }, 10s);
    }
    bool subscribe(uint16_t userId)
    {
        return run([userId](TestAppThread& self) { EXPECT_EQ(0u, self.registerSubscribeId(userId, 0)); });
    }
    bool publish(const char* name, uint32_t value)
    {
        std::atomic<bool> ok{false};
        const bool ran = run([&](TestAppThread& self) {
            ok = self.setSysParam(name, 0, JVariant(value)) == 0 && self.flushSysParam() == 0;
        });
        return ran && ok.load();
    }
    // The hook of event 10, called on the thread's own task by a hook of the test.
    void changeAudioConfigNow() { (void)onChangeAudioComponentConfig(); }
    uint32_t subscriptionId(uint16_t userId) const { return (uint32_t(getTaskId()) << 16) | userId; }
    // The records that begin with the prefix.
    std::vector<std::string> with(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& r : records()) {
            if (r.compare(0, prefix.size(), prefix) == 0) out.push_back(r);
        }
        return out;
    }
    bool waitRecord(const std::string& record) const
    {
        return waitFor([&] { return count(record) > 0; }, 5s);
    }

protected:
    JLIB::JResult onChangeRunMode(KAVORI::RUNMODE mode) override { return note("runmode:" + std::to_string(mode)); }
    JLIB::JResult onChangePDBConfig() override { return note("pdbconfig"); }
    JLIB::JResult onChangePDBStatus(KAVORI::PDBSTAT state) override { return note("pdbstatus:" + std::to_string(state)); }
    JLIB::JResult onChangeAudioComponentConfig() override
    {
        (void)KavoriAppThread::onChangeAudioComponentConfig();
        return note(std::string("audio:") + getStatusString(getStatus()));
    }
    JLIB::JResult onRecalled() override { return note("recalled"); }
    JLIB::JResult onParamSetListChanged() override { return note("paramsetlist"); }
    JLIB::JResult onLibraryListChanged() override { return note("librarylist"); }
    JLIB::JResult onFileListChanged() override { return note("filelist"); }
    JLIB::JResult onProjectChanged() override { return note("project"); }
    JLIB::JResult onMemoryInitialized() override { return note("memory"); }
    JLIB::JResult onIPAddressChanged() override { return note("ipaddress"); }
    JLIB::JResult onUserLevelChanged() override { return note("userlevel"); }
    JLIB::JResult onReceiveLocalEvent(uint32_t n) override { return note("local:" + std::to_string(n)); }
    JLIB::JResult onMurParameterChanged() override { return note("murparam"); }
    JLIB::JResult onMurConnectStateChagned() override { return note("murconnect"); }
    JLIB::JResult willOnFoundChangedParameter() override { return note("will"); }
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t ci, uint32_t ai, uint32_t x, uint32_t y,
                                          uint32_t id) override
    {
        return note("found:" + std::to_string(db.instanceId()) + "/" + std::to_string(ci) + "/" + std::to_string(ai) +
                    "/" + std::to_string(x) + "/" + std::to_string(y) + "/" + std::to_string(id));
    }
    JLIB::JResult didOnFoundChangedParameter() override { return note("did"); }
    JLIB::JResult onChangeSystemInfo() override
    {
        const JLIB::JResult result = Recording::onChangeSystemInfo();
        JVariant marker;
        (void)getSysParam(marker, "DebugState", 0);
        record("sysinfo:" + std::to_string(marker.toUInt32()));  // seen once the hooks above ran
        return result;
    }

private:
    JLIB::JResult note(const std::string& text)
    {
        record(text);
        return 0;
    }

    std::mutex m_jobMutex;
    std::function<void(TestAppThread&)> m_job;
    std::atomic<uint32_t> m_jobsDone{0};
};

// The framework, the shipped databases, the audio component collection and a root "System" that
// declares the shared parameters and takes the application thread as its child. The root goes
// first, taking the child down with it.
class KavoriAppThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        // An empty component folder: the collection needs one it can list.
        ASSERT_EQ(0u, DRAVO::AudioComponentCollection::singleton()->initialize((m_components.path() + "/").c_str(), 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_app, "App", 0, 10));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            EXPECT_EQ(0u, m_root.addThread(m_app));
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
    }
    void TearDown() override
    {
        (void)m_root.release();
        (void)DRAVO::AudioComponentCollection::singleton()->finalize();
    }
    void start()
    {
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor([&] { return m_app.getStatus() == TMS::kStatusRun; }, 5s));
    }
    // Waits until the hook of a later change has run, so every earlier change was served; each
    // marker is used once.
    void settle(uint32_t marker)
    {
        ASSERT_TRUE(m_app.publish("DebugState", marker));
        ASSERT_TRUE(m_app.waitRecord("sysinfo:" + std::to_string(marker)));
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    TempFolder m_components;
    LpcTest::ShippedDatabases m_databases;
    TestAppThread m_app;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
};

TEST_F(KavoriAppThreadTest, SharedEventsReachTheirHooks)
{
    start();
    struct Case {
        uint32_t event;
        const char* hook;
    };
    const Case cases[] = {
        {1, "recalled"},   {2, "paramsetlist"}, {3, "librarylist"}, {4, "filelist"},     {5, "project"},
        {6, "memory"},     {7, "ipaddress"},    {8, "userlevel"},   {9, "pdbconfig"},    {14, "murparam"},
        {15, "murconnect"}, {16, "local:16"},   {31, "local:31"},   {0, "did"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hook);
        ASSERT_EQ(0u, m_app.sendEvent(c.event));
        EXPECT_TRUE(m_app.waitRecord(c.hook));
    }
}

TEST_F(KavoriAppThreadTest, TheComponentViewIsKeptOnlyWhileRunning)
{
    testing::internal::CaptureStdout();
    const bool started = m_root.start(TMS::getNullDataMap()) == 0 &&
                         waitFor([&] { return m_app.getStatus() == TMS::kStatusRun; }, 5s);
    const bool running = started && m_app.sendEvent(KAVORI::KavoriAppThread::kEventAudioComponentConfig) == 0 &&
                         m_app.waitRecord("audio:RUN");
    // The framework holds events back while a thread stops or pauses; a thread still opening is
    // not running either.
    TestAppThread opening;
    opening.onInit = [&opening] { opening.changeAudioConfigNow(); };
    const bool notRunning = TmsTest::setUpThread(opening, "Opening") && opening.waitRecord("audio:OPENING");
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(started);
    ASSERT_TRUE(running);
    ASSERT_TRUE(notRunning) << log;

    auto countOf = [&log](const std::string& text) {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(1u, countOf("begins using AudioComponents."));
    // One update at the registration, one for the event while running; none while opening.
    EXPECT_EQ(2u, countOf("is updating own AudioComponent list."));
}

TEST_F(KavoriAppThreadTest, SubscriptionsNameTheTaskAndReachOnlyTheDatabasesThatExist)
{
    start();
    ASSERT_EQ(0u, PDB::destroyPDB(9));
    ASSERT_TRUE(m_app.subscribe(2));
    ASSERT_TRUE(m_app.subscribe(1));
    ASSERT_TRUE(m_app.subscribe(2));  // again: nothing changes
    ASSERT_EQ(0u, PDB::createPDB(9, "ProjectInfo", &m_databases.lock(), 0));

    for (uint32_t id : {0u, 7u, 10u}) {
        SCOPED_TRACE(id);
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(id);
        EXPECT_EQ(0, db.getDirtyFlagSet(m_app.subscriptionId(2)));
        EXPECT_EQ(1, db.getDirtyFlagSet(m_app.subscriptionId(1)));
        EXPECT_EQ(-1, db.getDirtyFlagSet(m_app.subscriptionId(3)));
    }
    EXPECT_EQ(-1, PDB::gPDBCollection.getPDB(9).getDirtyFlagSet(m_app.subscriptionId(2)));  // made later
}

TEST_F(KavoriAppThreadTest, TheWalkReportsPlainChangesFirstAndEachChangedGroupOnce)
{
    start();
    ASSERT_TRUE(m_app.subscribe(2));
    ASSERT_TRUE(m_app.subscribe(1));
    ASSERT_EQ(0u, m_app.sendEvent(0));  // nothing changed yet: an empty walk
    ASSERT_TRUE(m_app.waitRecord("did"));
    m_app.clearRecords();

    PDB::IParameterDB& info = PDB::gPDBCollection.getPDB(7);
    PDB::IParameterDB& device = PDB::gPDBCollection.getPDB(10);
    const uint32_t title = info.getAddressIndex(PDB::UniqId(0), "/Info/Title");
    const uint32_t fader = device.getAddressIndex(PDB::UniqId(0), "/OBA/Object/Fader/Level");
    const uint32_t px = device.getAddressIndex(PDB::UniqId(0), "/OBA/Object/PhysicalPosition@xyz@x");
    const uint32_t solo = device.getAddressIndex(PDB::UniqId(2), "/OBA/Solo/On");
    {
        // All changes are made before the thread may look: it waits for the lock.
        PDB::MutexWriteLocker hold(m_databases.lock());
        ASSERT_FALSE(JLIB::isFailure(device.setVariant(0, px + 2, 3, 0, JVariant(500), 255)));  // z of object 3
        ASSERT_FALSE(JLIB::isFailure(device.setVariant(0, px, 3, 0, JVariant(600), 255)));      // x of object 3
        ASSERT_FALSE(JLIB::isFailure(device.setVariant(2, solo, 0, 0, JVariant(1), 255)));
        ASSERT_FALSE(JLIB::isFailure(device.setVariant(0, px + 1, 1, 0, JVariant(700), 255)));  // y of object 1
        ASSERT_FALSE(JLIB::isFailure(device.setVariant(0, fader, 5, 0, JVariant(-100), 255)));
        ASSERT_FALSE(JLIB::isFailure(info.setVariant(0, title, 0, 0, JVariant("Live", 4), 255)));
    }

    const std::string s2 = std::to_string(m_app.subscriptionId(2));
    const std::string s1 = std::to_string(m_app.subscriptionId(1));
    const auto in10 = [&](const std::string& sub) {
        return std::vector<std::string>{
            "found:10/0/" + std::to_string(fader) + "/5/0/" + sub,
            "found:10/2/" + std::to_string(solo) + "/0/0/" + sub,
            "found:10/0/" + std::to_string(px) + "/1/0/" + sub,  // groups last, in key order
            "found:10/0/" + std::to_string(px) + "/3/0/" + sub,
        };
    };
    std::vector<std::string> expected = {"found:7/0/" + std::to_string(title) + "/0/0/" + s2,
                                         "found:7/0/" + std::to_string(title) + "/0/0/" + s1};
    for (const std::string& sub : {s2, s1}) {
        for (const std::string& f : in10(sub)) expected.push_back(f);
    }
    ASSERT_TRUE(waitFor([&] { return m_app.with("found:").size() >= expected.size(); }, 5s));
    ASSERT_TRUE(m_app.waitRecord("did"));
    EXPECT_EQ(expected, m_app.with("found:"));
    const std::vector<std::string> walk = m_app.with("");
    std::vector<std::string> bracket;
    for (const std::string& r : walk) {
        if (r == "will" || r == "did" || r.rfind("found:", 0) == 0) bracket.push_back(r);
    }
    ASSERT_GE(bracket.size(), expected.size() + 2);
    EXPECT_EQ("will", bracket.front());
    EXPECT_EQ("did", bracket[expected.size() + 1]);
}

TEST_F(KavoriAppThreadTest, StateHooksFireOnlyOnNewValues)
{
    start();
    ASSERT_TRUE(m_app.publish("PDBState", 1));
    ASSERT_TRUE(m_app.waitRecord("pdbstatus:1"));
    ASSERT_TRUE(m_app.publish("PDBState", 1));  // the current value again
    settle(11);
    ASSERT_TRUE(m_app.publish("PDBState", 2));
    ASSERT_TRUE(m_app.waitRecord("pdbstatus:2"));
    EXPECT_EQ((std::vector<std::string>{"pdbstatus:1", "pdbstatus:2"}), m_app.with("pdbstatus:"));

    ASSERT_TRUE(m_app.publish("RunMode", 1));  // while "ProductState" is 0: cached, no hook
    settle(12);
    ASSERT_TRUE(m_app.publish("ProductState", 1));
    ASSERT_TRUE(m_app.waitRecord("runmode:1"));
    ASSERT_TRUE(m_app.publish("ProductState", 1));  // a flush without a new value
    settle(13);
    ASSERT_TRUE(m_app.publish("RunMode", 2));
    ASSERT_TRUE(m_app.waitRecord("runmode:2"));
    ASSERT_TRUE(m_app.publish("ProductState", 2));
    ASSERT_TRUE(m_app.publish("RunMode", 3));
    settle(14);
    EXPECT_EQ((std::vector<std::string>{"runmode:1", "runmode:2"}), m_app.with("runmode:"));
}

// Nothing posts 11 to 13: one that arrives is logged and ends the process.
TEST(KavoriAppThreadDeathTest, UnassignedSharedEventsEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (uint32_t event : {11u, 12u, 13u}) {
        SCOPED_TRACE(event);
        EXPECT_DEATH(
            {
                (void)dup2(STDERR_FILENO, STDOUT_FILENO);  // the log line goes to standard output
                TMS::TMSystem system;
                TestAppThread app;
                if (TmsTest::setUpThread(app, "App") && app.start(TMS::getNullDataMap()) == 0) {
                    (void)app.sendEvent(event);
                    (void)waitFor([] { return false; }, 10s);
                }
            },
            "\\[E\\] KavoraAppThread::onReceiveEvent - unknown event ID = " + std::to_string(event));
    }
}

}  // namespace
