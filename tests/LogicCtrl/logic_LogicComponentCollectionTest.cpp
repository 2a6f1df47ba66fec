#include "LogicCtrl/logic_LogicComponentCollection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LogicCtrl/LogicTestSupport.h"
#include "LogicCtrl/logic_AndComponent.h"
#include "oswrap/oswrap_semaphore.h"

using namespace LogicCtrl;
using LogicTest::setUp;

namespace {

// A source whose processing copies its level to its only output, and whose parameter 3
// concerns its logic.
class SourceComponent : public AbstractLogicComponent {
public:
    bool isParamForLogic(uint32_t paramIndex, uint32_t, uint32_t) override { return paramIndex == 3; }
    JLIB::JResult processLogic(uint32_t, RunState) override
    {
        ++processed;
        return setLogicOutNormValue(0, level);
    }
    float level = 1.0f;
    int processed = 0;
};

LogicComponentCollection& network() { return LogicComponentCollection::singleton(); }

class LogicComponentCollectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStdout();
        m_initialized = network().initialize();
        m_log = testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, m_initialized);
    }
    void TearDown() override { (void)network().finalize(); }  // already gone in some tests

    // Three sources linked into the inputs of an AND component, all registered.
    void buildAndNetwork()
    {
        ASSERT_EQ(0u, m_and.initialize(100, 0, 0));
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_TRUE(setUp(m_sources[i], 10 + i, 0, 1));
            ASSERT_EQ(0u, m_sources[i].connectLogicTo(0, &m_and, i));
            ASSERT_EQ(0u, network().addComponent(&m_sources[i]));
        }
        ASSERT_EQ(0u, network().addComponent(&m_and));
    }
    float andOutput() const { return m_and.getLogicOutValue(0).getNormValue(); }

    JLIB::JResult m_initialized = 0;
    std::string m_log;
    SourceComponent m_sources[3];
    AndComponent m_and;
};

}  // namespace

TEST(LogicComponentCollectionLockTest, EveryOperationNeedsTheLock)
{
    AbstractLogicComponent component;
    ASSERT_TRUE(setUp(component, 1, 1, 1));
    const LogicData data;
    const std::vector<std::pair<const char*, std::function<JLIB::JResult()>>> calls = {
        {"finalize", [] { return network().finalize(); }},
        {"clear", [] { return network().clear(); }},
        {"start", [] { return network().start(); }},
        {"stop", [] { return network().stop(); }},
        {"run", [] { return network().run(kRunTriggered); }},
        {"addComponent", [&] { return network().addComponent(&component); }},
        {"removeComponent", [&] { return network().removeComponent(&component); }},
        {"setLogicInTestValue", [&] { return network().setLogicInTestValue(1, 0, data); }},
        {"setLogicOutTestValue", [&] { return network().setLogicOutTestValue(1, 0, data); }},
        {"enterLogicTestMode one", [] { return network().enterLogicTestMode(1); }},
        {"enterLogicTestMode all", [] { return network().enterLogicTestMode(); }},
        {"exitLogicTestMode one", [] { return network().exitLogicTestMode(1); }},
        {"exitLogicTestMode all", [] { return network().exitLogicTestMode(); }},
        {"onFoundChangedParameter", [] { return network().onFoundChangedParameter(1, 0, 0, 0); }},
    };
    for (const char* phase : {"before initialize", "after finalize"}) {
        SCOPED_TRACE(phase);
        for (const auto& [label, call] : calls) {
            SCOPED_TRACE(label);
            EXPECT_EQ(0x80000000u, call());
        }
        testing::internal::CaptureStdout();
        ASSERT_EQ(0u, network().initialize());
        (void)testing::internal::GetCapturedStdout();
        ASSERT_EQ(0u, network().addComponent(&component));
        ASSERT_EQ(0u, network().finalize());
    }
    EXPECT_FALSE(component.isLogicTestMode());
}

TEST(LogicComponentCollectionLockTest, InitializeFailsWhenTheLockCannotBeMade)
{
    auto taken = LogicTest::takeEverySemaphore();
    ASSERT_FALSE(taken.empty());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80040000u, network().initialize());
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[E] LogicComponentCollection::initialize - cannot create the lock.\n"))
        << log;
    EXPECT_EQ(0x80000000u, network().start());
    taken.clear();
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, network().initialize());
    (void)testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, network().finalize());
}

TEST_F(LogicComponentCollectionTest, InitializeLogsCreatesTheLockOnceAndFinalizeDeletesIt)
{
    EXPECT_EQ("[i] LogicComponentCollection::initialize - LOGICCOMPO_DB() initialized.\n", m_log);
    uint16_t id = 0;
    EXPECT_EQ(0u, oswrap_VinqSem(&id, "LogicCol"));
    EXPECT_EQ(0x80080000u, network().initialize());
    ASSERT_EQ(0u, network().finalize());
    EXPECT_EQ(0x8000000Eu, oswrap_VinqSem(&id, "LogicCol"));
}

TEST_F(LogicComponentCollectionTest, AddAndRemoveFollowTheResultTable)
{
    AbstractLogicComponent first, sameId, other;
    ASSERT_TRUE(setUp(first, 5, 1, 1));
    ASSERT_TRUE(setUp(sameId, 5, 1, 1));
    ASSERT_TRUE(setUp(other, 6, 1, 1));
    EXPECT_EQ(0x80000001u, network().addComponent(nullptr));
    EXPECT_EQ(0x80000001u, network().removeComponent(nullptr));
    EXPECT_EQ(0u, network().addComponent(&first));
    EXPECT_EQ(0x80100000u, network().addComponent(&sameId));
    EXPECT_EQ(0x80000001u, network().removeComponent(&sameId));  // its id belongs to another
    EXPECT_EQ(0x80000001u, network().removeComponent(&other));

    ASSERT_EQ(0u, network().start());
    EXPECT_EQ(0x80080000u, network().addComponent(&other));
    EXPECT_EQ(0x80080000u, network().removeComponent(&first));
    EXPECT_EQ(0x80080000u, network().clear());
    ASSERT_EQ(0u, network().stop());

    EXPECT_EQ(0u, network().removeComponent(&first));
    EXPECT_EQ(0x80000001u, network().removeComponent(&first));
    EXPECT_EQ(0u, network().addComponent(&sameId));
    EXPECT_EQ(0u, network().clear());
    EXPECT_EQ(0x80000001u, network().enterLogicTestMode(5));
    EXPECT_EQ(5u, sameId.uniqID());  // clearing does not touch the components
}

TEST_F(LogicComponentCollectionTest, AndNetworkSettlesThroughStartAndTriggeredPasses)
{
    buildAndNetwork();
    // Stopped: passes do nothing.
    ASSERT_EQ(0u, network().run(kRunInitial));
    EXPECT_EQ(0, m_sources[0].processed);

    // The AND output follows in the start pass or, when the map visits it before its sources,
    // in the next triggered pass.
    ASSERT_EQ(0u, network().start());
    for (const SourceComponent& source : m_sources) EXPECT_EQ(1, source.processed);
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(1.0f, andOutput());

    // A parameter change of the second source brings its new level through.
    m_sources[1].level = 0.3f;
    ASSERT_EQ(0u, network().onFoundChangedParameter(11, 3, 0, 0));
    ASSERT_EQ(0u, network().run(kRunTriggered));
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(0.0f, andOutput());
    EXPECT_EQ(2, m_sources[1].processed);
    EXPECT_EQ(1, m_sources[0].processed);  // untriggered components rest

    m_sources[1].level = 0.5f;
    ASSERT_EQ(0u, network().onFoundChangedParameter(11, 3, 0, 0));
    ASSERT_EQ(0u, network().run(kRunPeriodic));  // periodic passes also serve triggers
    ASSERT_EQ(0u, network().run(kRunPeriodic));
    EXPECT_EQ(1.0f, andOutput());

    // Further passes change nothing: the network has settled.
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(3, m_sources[1].processed);
    ASSERT_EQ(0u, network().stop());
    ASSERT_EQ(0u, network().start());
    EXPECT_EQ(4, m_sources[1].processed);
}

TEST_F(LogicComponentCollectionTest, ParameterChangesTriggerOnlyWhileStartedAndWhenTheyConcernTheLogic)
{
    SourceComponent source;
    ASSERT_TRUE(setUp(source, 20, 0, 1));
    ASSERT_EQ(0u, network().addComponent(&source));
    EXPECT_EQ(0u, network().onFoundChangedParameter(20, 3, 0, 0));
    EXPECT_FALSE(source.shouldProcessLogic(0, kRunTriggered));  // stopped: not triggered
    ASSERT_EQ(0u, network().start());
    EXPECT_EQ(1, source.processed);
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(1, source.processed);

    struct Case {
        uint32_t id;
        uint32_t param;
        int processed;
    };
    const Case cases[] = {{20, 4, 1}, {21, 3, 1}, {20, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + "/" + std::to_string(c.param));
        EXPECT_EQ(0u, network().onFoundChangedParameter(c.id, c.param, 0, 0));
        ASSERT_EQ(0u, network().run(kRunTriggered));
        EXPECT_EQ(c.processed, source.processed);
    }
}

TEST_F(LogicComponentCollectionTest, TestModeOperationsReachTheComponentAndLeavingRunsAnInitialPass)
{
    buildAndNetwork();
    const LogicData half(kLogicDataNormalized, JVariant(0.5f), nullptr, JVariant(), JVariant());
    EXPECT_EQ(0x80000001u, network().setLogicInTestValue(99, 0, half));
    EXPECT_EQ(0x80000001u, network().setLogicOutTestValue(99, 0, half));
    EXPECT_EQ(0x80000001u, network().enterLogicTestMode(99));
    EXPECT_EQ(0x80000001u, network().exitLogicTestMode(99));
    EXPECT_EQ(0x80000001u, network().setLogicInTestValue(100, 7, half));  // the component's own answer

    ASSERT_EQ(0u, network().setLogicOutTestValue(10, 0, half));
    EXPECT_TRUE(m_sources[0].isLogicOutTestMode(0));
    ASSERT_EQ(0u, network().enterLogicTestMode(100));
    EXPECT_TRUE(m_and.isLogicInTestMode(2));
    // Stopped: the flags go, no pass runs.
    ASSERT_EQ(0u, network().exitLogicTestMode(100));
    EXPECT_FALSE(m_and.isLogicTestMode());
    EXPECT_EQ(0, m_sources[0].processed);

    ASSERT_EQ(0u, network().enterLogicTestMode());
    ASSERT_EQ(0u, network().start());
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(0.0f, andOutput());  // the test inputs kept their 0.0
    ASSERT_EQ(0u, network().exitLogicTestMode());
    for (const SourceComponent& source : m_sources) EXPECT_FALSE(source.isLogicTestMode());
    EXPECT_EQ(2, m_sources[2].processed);  // the initial pass after leaving
    ASSERT_EQ(0u, network().run(kRunTriggered));
    EXPECT_EQ(1.0f, andOutput());
}

TEST_F(LogicComponentCollectionTest, FinalizeStopsAndForgetsTheComponentsWithoutTouchingThem)
{
    buildAndNetwork();
    ASSERT_EQ(0u, network().start());
    ASSERT_EQ(0u, network().finalize());
    EXPECT_EQ(0x80000000u, network().removeComponent(&m_and));
    EXPECT_EQ(100u, m_and.uniqID());
    EXPECT_TRUE(m_and.prevLogicComponent(0) == Connection(&m_sources[0], 0));

    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, network().initialize());
    (void)testing::internal::GetCapturedStdout();
    ASSERT_EQ(0u, network().start());  // an empty network: no component processes
    EXPECT_EQ(1, m_sources[0].processed);
    EXPECT_EQ(0x80080000u, network().addComponent(&m_and));
}
