#include "LogicCtrl/logic_Trigger.h"

#include <gtest/gtest.h>

#include <atomic>

#include "LogicCtrl/LogicTestSupport.h"
#include "LogicCtrl/logic_AndComponent.h"
#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "TMS/ThreadTestSupport.h"

using namespace std::chrono_literals;
using namespace LogicCtrl;
using TmsTest::setUpThread;
using TmsTest::waitFor;

namespace {

// Stands in for the DSP engine thread: answers user event 18 with a triggered pass and then
// publishes the AND output, which only this thread reads while the network is started.
class EngineThread : public TmsTest::RecordingThread {
public:
    EngineThread() : TmsTest::RecordingThread(1) {}
    ~EngineThread() override
    {
        if (getTaskId() != kNoId) (void)release();  // before the hooks go
    }
    const AndComponent* watched = nullptr;  // kept alive by the test
    std::atomic<float> andOutput{-1.0f};
    std::atomic<int> passes{0};

protected:
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        if (eventNumber == 18 && watched) {
            (void)LogicComponentCollection::singleton().run(kRunTriggered);  // the test checks its effect
            andOutput = watched->getLogicOutValue(0).getNormValue();
            ++passes;
        }
        return TmsTest::RecordingThread::onReceiveEvent(eventNumber);
    }
};

// A source whose processing copies a level the test sets, and whose every parameter concerns
// its logic.
class LevelSource : public AbstractLogicComponent {
public:
    bool isParamForLogic(uint32_t, uint32_t, uint32_t) override { return true; }
    JLIB::JResult processLogic(uint32_t, RunState) override { return setLogicOutNormValue(0, level.load()); }
    std::atomic<float> level{1.0f};
};

}  // namespace

TEST(LogicTriggerTest, PostsUserEvent18ToTheThreadNamedDSP)
{
    TMS::TMSystem system;
    TmsTest::RecordingThread engine(1);
    TmsTest::RecordingThread other(1);
    ASSERT_TRUE(setUpThread(engine, "DSP"));
    ASSERT_TRUE(setUpThread(other, "DSPMeter"));
    ASSERT_EQ(0u, engine.start(TMS::getNullDataMap()));
    ASSERT_EQ(0u, other.start(TMS::getNullDataMap()));

    AbstractLogicComponent component;
    ASSERT_TRUE(LogicTest::setUp(component, 1, 1, 1));
    EXPECT_EQ(0u, logic_Trigger(&component));
    ASSERT_TRUE(waitFor([&] { return engine.count("event:18") == 1; }, 2s));
    EXPECT_EQ(0u, component.triggerLogic());
    ASSERT_TRUE(waitFor([&] { return engine.count("event:18") == 2; }, 2s));
    EXPECT_EQ(0u, other.count("event:18"));
    EXPECT_EQ(0u, other.release());
    EXPECT_EQ(0u, engine.release());
}

TEST(LogicTriggerTest, WithoutAThreadNamedDSPNothingHappens)
{
    EXPECT_EQ(0u, logic_Trigger(nullptr));  // no thread registry at all
    TMS::TMSystem system;
    ASSERT_TRUE(TMS::getThreadByName("DSP").isNull());
    EXPECT_EQ(0u, logic_Trigger(nullptr));
}

TEST(LogicTriggerTest, TheEngineThreadRunsTheTriggeredPassesOfAnAndNetwork)
{
    TMS::TMSystem system;  // first: outlives the thread
    LevelSource sources[3];
    AndComponent gate;
    EngineThread engine;
    LogicComponentCollection& network = LogicComponentCollection::singleton();
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, network.initialize());
    (void)testing::internal::GetCapturedStdout();

    ASSERT_EQ(0u, gate.initialize(100, 0, 0));
    ASSERT_EQ(0u, network.addComponent(&gate));
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(LogicTest::setUp(sources[i], 10 + i, 0, 1));
        ASSERT_EQ(0u, sources[i].connectLogicTo(0, &gate, i));
        ASSERT_EQ(0u, network.addComponent(&sources[i]));
    }
    engine.watched = &gate;
    ASSERT_TRUE(setUpThread(engine, "DSP"));
    ASSERT_EQ(0u, engine.start(TMS::getNullDataMap()));

    // The start pass delivers every source into the gate, whose trigger reaches the engine.
    ASSERT_EQ(0u, network.start());
    EXPECT_TRUE(waitFor([&] { return engine.andOutput.load() == 1.0f; }, 2s)) << engine.andOutput.load();

    // A parameter change on this thread triggers the source; the engine runs the rest.
    sources[2].level = 0.2f;
    ASSERT_EQ(0u, network.onFoundChangedParameter(12, 0, 0, 0));
    EXPECT_TRUE(waitFor([&] { return engine.andOutput.load() == 0.0f; }, 2s)) << engine.andOutput.load();
    sources[2].level = 0.9f;
    ASSERT_EQ(0u, network.onFoundChangedParameter(12, 0, 0, 0));
    EXPECT_TRUE(waitFor([&] { return engine.andOutput.load() == 1.0f; }, 2s)) << engine.andOutput.load();
    EXPECT_GE(engine.passes.load(), 2);

    ASSERT_EQ(0u, network.stop());  // waits for a pass in progress
    EXPECT_EQ(0u, engine.release());
    EXPECT_EQ(0u, network.finalize());
}
