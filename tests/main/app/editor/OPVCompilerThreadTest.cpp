#include "editor/OPVCompilerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "FileCache/TempFolder.h"
#include "LogicCtrl/logic_ILogicComponent.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/KavoriProductInfo.h"
#include "common/KavoriSystemInfo.h"
#include "dravo/manager/AudioComponentTestSupport.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "dravo/manager/dravo_parseAudioConfigJSON.h"
#include "editor/OPVCompilerAPI.h"

namespace {

using namespace std::chrono_literals;
using TmsTest::waitFor;

namespace fs = std::filesystem;

DRAVO::AudioComponentCollection& collection() { return *DRAVO::AudioComponentCollection::singleton(); }

// One message a requester received.
struct Answer {
    std::string name;
    int type = JVariant::kTypeInvalid;  // of "Result"
    uint32_t result = 0xDEADu;
    bool hasUniqId = false;
    uint32_t uniqId = 0;
};

// An application thread (so it has a component view of its own) that sends requests to
// "Compiler" from its own task (so it is the sender) with sendMessageWithWaiting, keeps every
// answer it receives, and runs other work on its own task.
class Requester : public TmsTest::Recording<KAVORI::KavoriAppThread> {
public:
    using Fill = std::function<JLIB::JResult(TMS::AbstractMessage&)>;
    static constexpr uint32_t kJobId = 77;

    Requester() : Recording(8)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            if (message.messageId() == kJobId && message.fromWhere() == std::string("NullThread")) {
                runJob();
                return;
            }
            keep(message);
        };
    }

    // Queues a request for this thread to send; returns once it is queued, not sent.
    bool post(uint32_t id, Fill fill) { return queue({id, std::move(fill), nullptr}); }
    bool post(const char* commandName) { return post(0, named(commandName)); }
    static Fill named(const char* commandName)
    {
        return [commandName](TMS::AbstractMessage& m) { return m.addData("CommandName", commandName); };
    }

    // Runs the work on this thread's own task; true once it has run.
    bool run(std::function<void()> work)
    {
        const uint32_t before = m_worked.load();
        return queue({0, nullptr, std::move(work)}) && waitFor([&] { return m_worked.load() != before; }, 10s);
    }

    uint32_t sendsStarted() const { return m_started.load(); }
    uint32_t sendsDone() const { return m_done.load(); }
    JLIB::JResult lastSendResult() const { return m_lastSend.load(); }
    std::vector<Answer> answers() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_answers;
    }
    bool waitAnswers(size_t count, std::chrono::milliseconds limit = 10s) const
    {
        return waitFor([&] { return answers().size() >= count; }, limit);
    }

private:
    struct Job {
        uint32_t id;
        Fill fill;
        std::function<void()> work;  // instead of a request
    };

    bool queue(Job job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        TMS::AbstractMessage message;
        return message.initialize(TMS::kMessageUser, kJobId) == 0 && message.sendWithWaiting(*this) == 0;
    }

    void runJob()
    {
        Job job;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_jobs.empty()) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (job.work) {
            job.work();
            m_worked.fetch_add(1);
            return;
        }
        m_started.fetch_add(1);
        TMS::AbstractMessage request;
        JLIB::JResult result = request.initialize(TMS::kMessageUser, job.id);
        if (result == 0) result = job.fill(request);
        if (result == 0) result = request.sendWithWaiting("Compiler");
        m_lastSend.store(result);
        m_done.fetch_add(1);
    }

    void keep(const TMS::AbstractMessage& message)
    {
        Answer answer;
        const JVariant& name = message.data("CommandName");
        answer.name = name.getType() == JVariant::kTypeString ? name.toString() : "?";
        answer.type = message.data("Result").getType();
        answer.result = message.data("Result").toUInt32();
        answer.hasUniqId = message.data("UniqId").isValid();
        answer.uniqId = message.data("UniqId").toUInt32();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.push_back(answer);
    }

    mutable std::mutex m_mutex;
    std::deque<Job> m_jobs;
    std::vector<Answer> m_answers;
    std::atomic<uint32_t> m_started{0};
    std::atomic<uint32_t> m_done{0};
    std::atomic<uint32_t> m_worked{0};
    std::atomic<JLIB::JResult> m_lastSend{0xDEADu};
};

// The compile thread with two places a test can hold it: before it builds the databases of a
// compile (only as many compiles pass as allowed), and at each progress report. It can also be
// given databases that cannot be printed.
class HeldCompilerThread : public KAVORI::OPVCompilerThread {
public:
    ~HeldCompilerThread() override
    {
        if (getTaskId() != kNoId) (void)release();  // before the hooks below go
    }

    std::atomic<uint32_t> compilesAllowed{1000};
    TmsTest::Gate progressGate;
    std::atomic<bool> unprintable{false};
    std::atomic<uint32_t> compilesBegun{0};

    uint32_t onCompileProgress(bool& cancel) override
    {
        progressGate.pass();
        return OPVCompilerThread::onCompileProgress(cancel);
    }

protected:
    JLIB::JResult buildDatabaseTexts(std::string& componentDB, std::string& connectionDB,
                                     std::string& dspSystemDB) override
    {
        const uint32_t number = compilesBegun.fetch_add(1) + 1;
        // Bounded, longer than a waiting send, so a broken test cannot hang the run.
        (void)waitFor([&] { return number <= compilesAllowed.load(); }, 20s);
        if (unprintable) {
            // What a component name that is not UTF-8 does to the real builders.
            std::string text;
            return OPVCompilerAPI::printJsonText(nlohmann::json{{"name", "Gain\xC3("}}, text);
        }
        return OPVCompilerThread::buildDatabaseTexts(componentDB, connectionDB, dspSystemDB);
    }
};

const char kEmptyComponentDB[] = R"({
  "componentDB": {
    "components": []
  }
})";

const char kEmptyConnectionDB[] = R"({
  "connectionDB": {
    "components": [],
    "connections": [],
    "dspSystem": {
      "delayCompensation": false,
      "fsHz": 96000,
      "name": "OPV256-D",
      "numSamplePerFrame": 32,
      "renderSamples": 32
    },
    "logicConnections": []
  }
})";

const char kCore[] = R"(
              {
                "resources": [
                  {
                    "name": "step",
                    "offset": 0,
                    "shared": false,
                    "size": 333333
                  }
                ]
              })";

const std::string kDspSystemDB = std::string(R"({
  "dspSystemDB": {
    "dspSystems": [
      {
        "dsps": [
          {
            "cores": [)") + kCore + "," + kCore + "," + kCore + "," + kCore + R"(
            ],
            "name": "OPV-D CPU"
          }
        ],
        "fsHz": 96000,
        "name": "OPV256-D",
        "numSamplePerFrame": 32
      }
    ]
  }
})";

const char kEmptyCompileResult[] = R"({
  "compileResult": {
    "components": [],
    "connections": [],
    "dspAssignments": [],
    "dspSystem": {
      "delayCompensation": false,
      "fsHz": 96000,
      "name": "OPV256-D",
      "numSamplePerFrame": 32,
      "renderSamples": 32,
      "result": 0
    },
    "logicConnections": []
  }
})";

// The component database entry of the stand-in type at that size, as printed inside the list.
std::string standInTypeEntry(uint32_t numX)
{
    const std::string n = std::to_string(numX);
    return R"(
      {
        "dspResources": [
          {
            "dspName": "OPV-D CPU",
            "fixedDelay": 8,
            "fsHz": 96000,
            "numSamplePerFrame": 32,
            "resources": [
              {
                "name": "step",
                "size": )" + std::to_string(100 * numX) + R"(
              }
            ]
          }
        ],
        "majorVersion": 1,
        "name": "StandIn",
        "numInPort": )" + n + R"(,
        "numOutPort": )" + n + R"(,
        "numX": )" + n + R"(,
        "numY": 1
      })";
}

std::string standInInstance(uint32_t uniqID, uint32_t numX)
{
    return R"(
      {
        "majorVersion": 1,
        "name": "StandIn",
        "numX": )" + std::to_string(numX) + R"(,
        "numY": 1,
        "uniqID": )" + std::to_string(uniqID) + R"(
      })";
}

std::string linkEntry(uint32_t fromUniqID, uint32_t fromPortNo, uint32_t toUniqID, uint32_t toPortNo)
{
    return R"(
      {
        "fromPortNo": )" + std::to_string(fromPortNo) + R"(,
        "fromUniqID": )" + std::to_string(fromUniqID) + R"(,
        "toPortNo": )" + std::to_string(toPortNo) + R"(,
        "toUniqID": )" + std::to_string(toUniqID) + R"(
      })";
}

// The framework, a user folder of its own, the component neighbours with the stand-in library
// in the component folder, and a root "System" whose children are the compile thread and three
// requesters. The root goes first, taking its children down with it.
class OPVCompilerThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        KAVORI::KavoriProductInfo::getInstance().setUserFolder(m_user.path());
        ASSERT_NO_FATAL_FAILURE(m_dravo.setUp());
        const std::string components = m_dravo.makeComponentFolder({"StandIn"});
        ASSERT_EQ(0u, collection().initialize(components.c_str(), 16));
        (void)OPVCompilerAPI::clearCompileCancelRequest();

        ASSERT_TRUE(TmsTest::setUpThread(m_compiler, "Compiler", 5, 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_a, "RequesterA", 1));
        ASSERT_TRUE(TmsTest::setUpThread(m_b, "RequesterB", 1));
        ASSERT_TRUE(TmsTest::setUpThread(m_c, "RequesterC", 1));
        m_root.onInit = [this] {
            EXPECT_EQ(0u, m_root.addSystemInfo(KAVORI::gSysInfoNodeTable, KAVORI::kSysInfoNodeNum));
            for (TMS::AbstractThread* child : {static_cast<TMS::AbstractThread*>(&m_compiler),
                                               static_cast<TMS::AbstractThread*>(&m_a),
                                               static_cast<TMS::AbstractThread*>(&m_b),
                                               static_cast<TMS::AbstractThread*>(&m_c)}) {
                EXPECT_EQ(0u, m_root.addThread(*child));
            }
        };
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor(
            [&] {
                return m_compiler.getStatus() == TMS::kStatusRun && m_a.getStatus() == TMS::kStatusRun &&
                       m_b.getStatus() == TMS::kStatusRun && m_c.getStatus() == TMS::kStatusRun;
            },
            10s));
    }
    void TearDown() override
    {
        m_compiler.compilesAllowed = 1000;
        m_compiler.progressGate.open();
        (void)m_root.release();
        (void)collection().finalize();
        m_dravo.tearDown();
    }

    std::string configFile(const std::string& name) const { return m_user.path() + "/Config/" + name; }
    std::string readConfigFile(const std::string& name) const { return m_user.read("Config/" + name); }
    void writeConfigFile(const std::string& name, const std::string& text) const
    {
        fs::create_directories(m_user.path() + "/Config");
        m_user.write("Config/" + name, text);
    }
    std::vector<std::string> configFolderEntries() const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(m_user.path() + "/Config", ignored)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Asks for a compile from requester A and waits for both of its answers; the notified code.
    uint32_t compile()
    {
        const size_t before = m_a.answers().size();
        EXPECT_TRUE(m_a.post("startCompile"));
        EXPECT_TRUE(m_a.waitAnswers(before + 2));
        const std::vector<Answer> answers = m_a.answers();
        if (answers.size() < before + 2) return 0xDEADu;
        EXPECT_EQ("Re:startCompile", answers[before].name);
        EXPECT_EQ(JVariant::kTypeInt32, answers[before].type);
        EXPECT_EQ(0u, answers[before].result);
        EXPECT_EQ("Notify:compileResult", answers[before + 1].name);
        EXPECT_EQ(JVariant::kTypeUInt32, answers[before + 1].type);
        return answers[before + 1].result;
    }

    // From requester B: components 9 and 5 of one size and 7 of another, audio connections
    // 5:0 -> 9:1 and 9:1 -> 7:2 (the second one added twice), logic links 5:0 -> 9:0 -> 7:0.
    void placeComponents()
    {
        ASSERT_TRUE(m_b.run([] {
            DRAVO::AudioComponentCollection& c = collection();
            EXPECT_EQ(0u, c.addComponent("StandIn", 1, 9, 2, 1));
            EXPECT_EQ(0u, c.addComponent("StandIn", 1, 5, 2, 1));
            EXPECT_EQ(0u, c.addComponent("StandIn", 1, 7, 3, 1));
            EXPECT_EQ(0u, c.addConnection(5, 0, 9, 1));
            EXPECT_EQ(0u, c.addConnection(9, 1, 7, 2));
            EXPECT_EQ(0u, c.addConnection(9, 1, 7, 2));
            LogicCtrl::ILogicComponent& five = c.component(5)->logicComponent();
            LogicCtrl::ILogicComponent& nine = c.component(9)->logicComponent();
            LogicCtrl::ILogicComponent& seven = c.component(7)->logicComponent();
            EXPECT_EQ(0u, five.connectLogicTo(0, &nine, 0));
            EXPECT_EQ(0u, nine.connectLogicTo(0, &seven, 0));
        }));
    }
    // Asks requester A and waits for the answer.
    Answer ask(Requester::Fill fill)
    {
        const size_t before = m_a.answers().size();
        EXPECT_TRUE(m_a.post(0, std::move(fill)));
        EXPECT_TRUE(m_a.waitAnswers(before + 1));
        const std::vector<Answer> answers = m_a.answers();
        return answers.size() > before ? answers[before] : Answer();
    }

    // A configuration the store holds before a test, to see whether a compile replaced it.
    static void storeMarkerConfig()
    {
        DRAVO::AudioConfig marker;
        marker.dspSystem.name = "marker";
        marker.dspSystem.fsHz = 44100;
        ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().setAudioConfig(marker));
    }
    static DRAVO::AudioConfig storedConfig()
    {
        DRAVO::AudioConfig config;
        EXPECT_EQ(0u, DRAVO::AudioConfigDB::singleton().getAudioConfig(config));
        return config;
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    TempFolder m_user;
    dravotest::DravoEnvironment m_dravo;
    HeldCompilerThread m_compiler;
    Requester m_a;
    Requester m_b;
    Requester m_c;
    TmsTest::Recording<TMS::SystemThread> m_root{1};
};

}  // namespace

TEST_F(OPVCompilerThreadTest, EmptyConfigurationCompilesStoresFourFilesAndBecomesCurrent)
{
    ASSERT_NO_FATAL_FAILURE(storeMarkerConfig());
    // A stale result from before is replaced whole.
    writeConfigFile("CompileResult.json", std::string(4096, 'x'));

    EXPECT_EQ(0u, compile());

    EXPECT_EQ(kEmptyComponentDB, readConfigFile("ComponentDB.json"));
    EXPECT_EQ(kEmptyConnectionDB, readConfigFile("ConnectionDB.json"));
    EXPECT_EQ(kDspSystemDB, readConfigFile("DspSystemDB.json"));
    EXPECT_EQ(kEmptyCompileResult, readConfigFile("CompileResult.json"));
    // No temporary file is left behind.
    const std::vector<std::string> files = {"CompileResult.json", "ComponentDB.json", "ConnectionDB.json",
                                            "DspSystemDB.json"};
    EXPECT_EQ(files, configFolderEntries());

    const DRAVO::AudioConfig config = storedConfig();
    EXPECT_EQ("OPV256-D", config.dspSystem.name);
    EXPECT_EQ(96000u, config.dspSystem.fsHz);
    EXPECT_EQ(32u, config.dspSystem.numSamplePerFrame);
    EXPECT_EQ(32u, config.dspSystem.renderSamples);
    EXPECT_EQ(0u, config.dspSystem.result);
    EXPECT_TRUE(config.components.empty());
    EXPECT_TRUE(TmsTest::hasLogLine(m_compiler, "[i] CompilerThread - compile result = 0x00000000\n"));
}

TEST_F(OPVCompilerThreadTest, ServesOnlyTheFourRequestsByTheirExactNames)
{
    using Fill = Requester::Fill;
    struct Case {
        const char* what;
        uint32_t id;
        Fill fill;
        const char* answer;  // null: no answer
        uint32_t result;
        bool hasUniqId;
        uint32_t uniqId;
    };
    const Case cases[] = {
        {"capacity", 0, Requester::named("getTotalProcessingResourceCapacity"),
         "Re:getTotalProcessingResourceCapacity", 4 * 333333, false, 0},
        {"total usage", 0, Requester::named("getTotalProcessingResourceUsage"), "Re:getTotalProcessingResourceUsage",
         0, false, 0},
        {"usage of an id the view lacks", 0,
         Fill([](TMS::AbstractMessage& m) -> JLIB::JResult {
             JLIB_RETURN_IF_FAILED(m.addData("CommandName", "getProcessingResourceUsage"));
             return m.addData("UniqId", uint32_t(4711));
         }),
         "Re:getProcessingResourceUsage", 0, true, 4711},
        {"usage without an id", 0, Requester::named("getProcessingResourceUsage"), "Re:getProcessingResourceUsage", 0,
         true, 0},
        {"usage with a text id", 0,
         Fill([](TMS::AbstractMessage& m) -> JLIB::JResult {
             JLIB_RETURN_IF_FAILED(m.addData("CommandName", "getProcessingResourceUsage"));
             return m.addData("UniqId", "12");
         }),
         "Re:getProcessingResourceUsage", 0, true, 0},
        {"message id 1", 1, Requester::named("getTotalProcessingResourceCapacity"), nullptr, 0, false, 0},
        {"a number as name", 0,
         Fill([](TMS::AbstractMessage& m) { return m.addData("CommandName", int32_t(0)); }), nullptr, 0, false,
         0},
        {"no name", 0, Fill([](TMS::AbstractMessage& m) { return m.addData("Other", "startCompile"); }), nullptr,
         0, false, 0},
        {"other case", 0, Requester::named("startcompile"), nullptr, 0, false, 0},
        {"longer name", 0, Requester::named("startCompile "), nullptr, 0, false, 0},
        {"shorter name", 0, Requester::named("getTotalProcessingResource"), nullptr, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = m_a.answers().size();
        ASSERT_TRUE(m_a.post(c.id, c.fill));
        // Requests are served in order: the marker's answer comes after any answer to the case.
        ASSERT_TRUE(m_a.post("getTotalProcessingResourceCapacity"));
        ASSERT_TRUE(m_a.waitAnswers(before + (c.answer ? 2 : 1)));
        const std::vector<Answer> answers = m_a.answers();
        if (!c.answer) {
            ASSERT_EQ(before + 1, answers.size());
            EXPECT_EQ("Re:getTotalProcessingResourceCapacity", answers.back().name);
            continue;
        }
        const Answer& a = answers[before];
        EXPECT_EQ(c.answer, a.name);
        EXPECT_EQ(JVariant::kTypeUInt32, a.type);
        EXPECT_EQ(c.result, a.result);
        EXPECT_EQ(c.hasUniqId, a.hasUniqId);
        if (c.hasUniqId) {
            EXPECT_EQ(c.uniqId, a.uniqId);
        }
    }
    EXPECT_EQ(0u, m_compiler.compilesBegun.load());
}

TEST_F(OPVCompilerThreadTest, RequestDuringACompileWaitsAndIsServedAfterIt)
{
    m_compiler.compilesAllowed = 0;
    ASSERT_TRUE(m_a.post("startCompile"));
    ASSERT_TRUE(m_a.waitAnswers(1));  // answered at once, before the compile
    ASSERT_TRUE(waitFor([&] { return m_compiler.compilesBegun.load() == 1; }, 10s));
    // The queue takes one more request; the next sender finds it full and keeps retrying.
    ASSERT_TRUE(m_b.post("startCompile"));
    ASSERT_TRUE(waitFor([&] { return m_b.sendsDone() == 1; }, 10s));
    EXPECT_EQ(0u, m_b.lastSendResult());
    ASSERT_TRUE(m_c.post("getTotalProcessingResourceCapacity"));
    ASSERT_TRUE(waitFor([&] { return m_c.sendsStarted() == 1; }, 10s));
    EXPECT_EQ(0u, m_c.sendsDone());
    EXPECT_TRUE(m_b.answers().empty());

    // A's compile ends; B's begins and holds C's request in the queue behind it.
    m_compiler.compilesAllowed = 1;
    ASSERT_TRUE(m_a.waitAnswers(2));
    EXPECT_EQ("Notify:compileResult", m_a.answers()[1].name);
    EXPECT_EQ(0u, m_a.answers()[1].result);
    ASSERT_TRUE(waitFor([&] { return m_compiler.compilesBegun.load() == 2; }, 10s));
    ASSERT_TRUE(m_b.waitAnswers(1));
    EXPECT_EQ("Re:startCompile", m_b.answers()[0].name);
    ASSERT_TRUE(waitFor([&] { return m_c.sendsDone() == 1; }, 10s));
    EXPECT_EQ(0u, m_c.lastSendResult());
    EXPECT_TRUE(m_c.answers().empty());

    m_compiler.compilesAllowed = 2;
    ASSERT_TRUE(m_b.waitAnswers(2));
    EXPECT_EQ("Notify:compileResult", m_b.answers()[1].name);
    EXPECT_EQ(0u, m_b.answers()[1].result);
    ASSERT_TRUE(m_c.waitAnswers(1));
    EXPECT_EQ("Re:getTotalProcessingResourceCapacity", m_c.answers()[0].name);
    EXPECT_EQ(2u, m_compiler.compilesBegun.load());
}

TEST_F(OPVCompilerThreadTest, FolderThatCannotBeWrittenFailsTheCompileAndKeepsTheConfiguration)
{
    ASSERT_NO_FATAL_FAILURE(storeMarkerConfig());
    // A file where the configuration folder belongs: neither it nor anything in it can be made.
    m_user.write("Config", "not a folder");

    EXPECT_EQ(0x80000000u, compile());

    EXPECT_EQ("not a folder", m_user.read("Config"));
    EXPECT_EQ("marker", storedConfig().dspSystem.name);
    // The compile itself ran and succeeded; only its result could not be stored.
    EXPECT_TRUE(TmsTest::hasLogLine(m_compiler, "[i] CompilerThread - compile result = 0x00000000\n"));
}

TEST_F(OPVCompilerThreadTest, InterruptedResultWriteLeavesThePreviousResultWhole)
{
    ASSERT_NO_FATAL_FAILURE(storeMarkerConfig());
    writeConfigFile("CompileResult.json", "previous result");
    // Every byte written where the new result goes is refused by the device: the write fails.
    fs::create_symlink("/dev/full", configFile("CompileResult.json.tmp"));

    EXPECT_EQ(0x80000000u, compile());

    EXPECT_EQ("previous result", readConfigFile("CompileResult.json"));
    EXPECT_EQ("marker", storedConfig().dspSystem.name);
    EXPECT_FALSE(fs::is_symlink(configFile("CompileResult.json.tmp")));
    // The databases were stored all the same.
    EXPECT_EQ(kEmptyComponentDB, readConfigFile("ComponentDB.json"));
}

TEST_F(OPVCompilerThreadTest, UnprintableDatabasesEndTheCompileInOrder)
{
    ASSERT_NO_FATAL_FAILURE(storeMarkerConfig());
    writeConfigFile("CompileResult.json", "previous result");
    m_compiler.unprintable = true;

    EXPECT_EQ(0x80000000u, compile());

    EXPECT_EQ("previous result", readConfigFile("CompileResult.json"));
    EXPECT_EQ(std::vector<std::string>{"CompileResult.json"}, configFolderEntries());
    EXPECT_EQ("marker", storedConfig().dspSystem.name);
    EXPECT_TRUE(TmsTest::hasLogLine(m_compiler, "[E] CompilerThread - the compile databases cannot be built.\n"));
    // The thread goes on serving.
    m_compiler.unprintable = false;
    EXPECT_EQ(0u, compile());
    EXPECT_EQ(kEmptyCompileResult, readConfigFile("CompileResult.json"));
}

TEST_F(OPVCompilerThreadTest, PlacedComponentsGiveTheirDatabasesFiguresAndTheCurrentConfiguration)
{
    ASSERT_NO_FATAL_FAILURE(placeComponents());

    const Answer total = ask(Requester::named("getTotalProcessingResourceUsage"));
    EXPECT_EQ(200u + 200u + 300u, total.result);
    const Answer seven = ask([](TMS::AbstractMessage& m) -> JLIB::JResult {
        JLIB_RETURN_IF_FAILED(m.addData("CommandName", "getProcessingResourceUsage"));
        return m.addData("UniqId", int32_t(7));
    });
    EXPECT_EQ(300u, seven.result);
    EXPECT_EQ(7u, seven.uniqId);

    EXPECT_EQ(0u, compile());

    // Components 9 and 5 share one entry; 7 differs only in numX.
    EXPECT_EQ("{\n  \"componentDB\": {\n    \"components\": [" + standInTypeEntry(2) + "," + standInTypeEntry(3) +
                  "\n    ]\n  }\n}",
              readConfigFile("ComponentDB.json"));
    const std::string expectedConnections = "{\n  \"connectionDB\": {\n    \"components\": [" +
                                            standInInstance(5, 2) + "," + standInInstance(7, 3) + "," +
                                            standInInstance(9, 2) + "\n    ],\n    \"connections\": [" +
                                            linkEntry(5, 0, 9, 1) + "," + linkEntry(9, 1, 7, 2) + R"(
    ],
    "dspSystem": {
      "delayCompensation": false,
      "fsHz": 96000,
      "name": "OPV256-D",
      "numSamplePerFrame": 32,
      "renderSamples": 32
    },
    "logicConnections": [)" + linkEntry(5, 0, 9, 0) + "," + linkEntry(9, 0, 7, 0) +
                                            "\n    ]\n  }\n}";
    EXPECT_EQ(expectedConnections, readConfigFile("ConnectionDB.json"));
    EXPECT_EQ(kDspSystemDB, readConfigFile("DspSystemDB.json"));

    // What was stored is what is in force.
    const DRAVO::AudioConfig stored = DRAVO::parseAudioConfigJSON(readConfigFile("CompileResult.json"));
    const DRAVO::AudioConfig current = storedConfig();
    EXPECT_EQ(0u, stored.dspSystem.result);
    EXPECT_EQ("OPV256-D", current.dspSystem.name);
    ASSERT_EQ(3u, current.components.size());
    EXPECT_EQ(3u, current.dspAssignments.size());
    for (size_t i = 0; i < current.components.size(); ++i) {
        EXPECT_EQ(stored.components[i].uniqID, current.components[i].uniqID);
    }
    const std::vector<DRAVO::AudioConnection> audio = {{5, 0, 9, 1}, {9, 1, 7, 2}};
    EXPECT_EQ(audio, current.connections);
    const std::vector<DRAVO::AudioConnection> logic = {{5, 0, 9, 0}, {9, 0, 7, 0}};
    EXPECT_EQ(logic, current.logicConnections);
    std::vector<DRAVO::AudioConnection> actual;
    EXPECT_EQ(0u, collection().getActualConnections(actual));
    EXPECT_EQ(audio, actual);
}

TEST_F(OPVCompilerThreadTest, CancelledCompileStoresItsResultButChangesNothingInForce)
{
    ASSERT_NO_FATAL_FAILURE(placeComponents());
    ASSERT_NO_FATAL_FAILURE(storeMarkerConfig());
    const std::vector<DRAVO::AudioConnection> marker = {{1, 2, 3, 4}};
    ASSERT_EQ(0u, collection().setActualConnections(marker));
    // A flag left set before the compile is cleared by it: only one set during it cancels.
    ASSERT_EQ(0u, OPVCompilerAPI::setCompileCancelRequest());

    m_compiler.progressGate.close();
    ASSERT_TRUE(m_a.post("startCompile"));
    ASSERT_TRUE(waitFor([&] { return m_compiler.progressGate.isWaiting(); }, 10s));
    EXPECT_FALSE(OPVCompilerAPI::isCompileCancelRequest());
    ASSERT_EQ(0u, OPVCompilerAPI::setCompileCancelRequest());
    m_compiler.progressGate.open();
    ASSERT_TRUE(m_a.waitAnswers(2));
    EXPECT_EQ("Notify:compileResult", m_a.answers()[1].name);
    EXPECT_EQ(0x80000002u, m_a.answers()[1].result);

    // The record of the compile is complete; nothing of it is applied.
    const std::string result = readConfigFile("CompileResult.json");
    EXPECT_NE(std::string::npos, result.find("\"result\": 2147483650")) << result;
    EXPECT_EQ(0x80000002u, DRAVO::parseAudioConfigJSON(result).dspSystem.result);
    EXPECT_EQ("marker", storedConfig().dspSystem.name);
    std::vector<DRAVO::AudioConnection> actual;
    EXPECT_EQ(0u, collection().getActualConnections(actual));
    EXPECT_EQ(marker, actual);
}
