#include "LogicCtrl/logic_AbstractLogicComponent.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LogicCtrl/LogicTestSupport.h"
#include "LogicCtrl/logic_Result.h"

using namespace LogicCtrl;
using LogicTest::setUp;

namespace {

using Component = AbstractLogicComponent;

// Counts its processing and may act while it processes.
class CountingComponent : public AbstractLogicComponent {
public:
    JLIB::JResult processLogic(uint32_t timeMs, RunState state) override
    {
        ++processed;
        if (whileProcessing) whileProcessing(*this);
        return AbstractLogicComponent::processLogic(timeMs, state);
    }
    int processed = 0;
    std::function<void(CountingComponent&)> whileProcessing;
};

std::vector<Connection> targetsOf(const ILogicComponent& component, uint32_t port)
{
    return component.nextLogicComponents(port);
}

LogicData normalised(float value)
{
    LogicData data(kLogicDataNormalized, nullptr);
    EXPECT_EQ(0u, data.setNormValue(value));
    return data;
}

}  // namespace

TEST(AbstractLogicComponentTest, InitializeBuildsThePortsOnceAndFinalizeForgetsThem)
{
    Component component;
    EXPECT_EQ(0xFFFFFFFFu, component.uniqID());
    std::vector<LogicPortInfo> inputs = {LogicPortInfo("gain", kLogicDataSInt, "Level"),
                                         LogicPortInfo(nullptr, 9, nullptr)};
    inputs[0].m_minimum = -10;
    inputs[0].m_maximum = 10;
    const std::vector<LogicPortInfo> outputs = {LogicPortInfo("trig", kLogicDataEvent, nullptr)};

    EXPECT_EQ(0x80100000u, component.initialize(0xFFFFFFFFu, inputs, outputs, 0));
    EXPECT_EQ(0xFFFFFFFFu, component.uniqID());
    ASSERT_EQ(0u, component.initialize(42, inputs, outputs, 100));
    EXPECT_EQ(0x80000001u, component.initialize(43, {}, {}, 0));
    EXPECT_EQ(42u, component.uniqID());
    ASSERT_EQ(2u, component.logicInputPortNum());
    ASSERT_EQ(1u, component.logicOutputPortNum());
    EXPECT_EQ("gain", component.logicInputPortInfo(0).m_name);
    EXPECT_EQ("Level", component.logicInputPortInfo(0).m_expressionName);
    EXPECT_EQ("", component.logicInputPortInfo(1).m_name);
    EXPECT_EQ(kLogicDataSInt, component.getLogicInValue(0).type());
    EXPECT_EQ(kLogicDataNone, component.getLogicInValue(1).type());  // kind 9 leaves the port without data
    EXPECT_EQ(kLogicDataEvent, component.getLogicOutValue(0).type());
    // The range came along: 50 is clipped to 10.
    EXPECT_EQ(10, component.getLogicInValue(0).clipValue(JVariant(50)).toInt32());

    EXPECT_EQ(0u, component.finalize());
    EXPECT_EQ(0xFFFFFFFFu, component.uniqID());
    EXPECT_EQ(0u, component.logicInputPortNum());
    EXPECT_EQ(0u, component.logicOutputPortNum());
    EXPECT_EQ(0u, component.initialize(43, {}, {}, 0));
}

TEST(AbstractLogicComponentTest, ReadsBeyondTheCountGiveSharedEmptyObjects)
{
    Component component;
    ASSERT_TRUE(setUp(component, 1, 2, 1));
    // Port 1 exists as an input but not as an output.
    const LogicData& beyond = component.getLogicOutValue(1);
    EXPECT_EQ(kLogicDataNone, beyond.type());
    EXPECT_EQ(&beyond, &component.getLogicInValue(2));
    EXPECT_EQ(kLogicDataNormalized, component.getLogicInValue(1).type());
    EXPECT_EQ("", component.logicInputPortInfo(2).m_name);
    EXPECT_EQ(kLogicDataNone, component.logicOutputPortInfo(1).m_type);
    EXPECT_FALSE(component.prevLogicComponent(2).isConnected());
    EXPECT_TRUE(component.nextLogicComponents(1).empty());
    EXPECT_FALSE(component.isLogicInTestMode(2));
    EXPECT_FALSE(component.isLogicOutTestMode(1));
}

TEST(AbstractLogicComponentTest, PortNumbersBeyondTheCountAndMissingComponentsAreRefused)
{
    Component component;
    Component other;
    ASSERT_TRUE(setUp(component, 1, 2, 1));
    ASSERT_TRUE(setUp(other, 2, 1, 1));
    const LogicData data = normalised(0.5f);
    const std::vector<std::pair<const char*, std::function<JLIB::JResult()>>> calls = {
        {"connectLogicTo", [&] { return component.connectLogicTo(1, &other, 0); }},
        {"connectLogicFrom", [&] { return component.connectLogicFrom(2, &other, 0); }},
        {"connectLogicTo none", [&] { return component.connectLogicTo(0, nullptr, 0); }},
        {"connectLogicFrom none", [&] { return component.connectLogicFrom(0, nullptr, 0); }},
        {"disconnectLogicFrom", [&] { return component.disconnectLogicFrom(2); }},
        {"disconnectLogicTo all", [&] { return component.disconnectLogicTo(1); }},
        {"disconnectLogicTo one", [&] { return component.disconnectLogicTo(1, &other, 0); }},
        {"sendLogicData", [&] { return component.sendLogicData(2, data); }},
        {"setLogicOutNormValue", [&] { return component.setLogicOutNormValue(1, 0.5f); }},
        {"setLogicOutValue unsigned", [&] { return component.setLogicOutValue(1, 1u); }},
        {"setLogicOutValue signed", [&] { return component.setLogicOutValue(1, 1); }},
        {"setLogicOutValue float", [&] { return component.setLogicOutValue(1, 1.0f); }},
        {"setLogicOutString", [&] { return component.setLogicOutString(1, "x"); }},
        {"setLogicOutEvent", [&] { return component.setLogicOutEvent(1); }},
        {"setLogicInTestValue", [&] { return component.setLogicInTestValue(2, data); }},
        {"setLogicOutTestValue", [&] { return component.setLogicOutTestValue(1, data); }},
    };
    for (const auto& [label, call] : calls) {
        SCOPED_TRACE(label);
        EXPECT_EQ(0x80000001u, call());
    }
    EXPECT_TRUE(component.nextLogicComponents(0).empty());
    EXPECT_FALSE(component.prevLogicComponent(0).isConnected());
    EXPECT_FALSE(component.isLogicTestMode());
}

TEST(AbstractLogicComponentTest, LinkingFromEitherSideGivesTheSameStateOnBothSides)
{
    for (bool fromSource : {true, false}) {
        SCOPED_TRACE(fromSource ? "from the source" : "from the target");
        Component a;
        Component b;
        ASSERT_TRUE(setUp(a, 1, 0, 2));
        ASSERT_TRUE(setUp(b, 2, 3, 0));
        for (int twice = 0; twice < 2; ++twice) {
            ASSERT_EQ(0u, fromSource ? a.connectLogicTo(0, &b, 2) : b.connectLogicFrom(2, &a, 0));
        }
        EXPECT_EQ(std::vector<Connection>{Connection(&b, 2)}, targetsOf(a, 0));
        EXPECT_TRUE(b.prevLogicComponent(2) == Connection(&a, 0));
        EXPECT_FALSE(b.prevLogicComponent(0).isConnected());
        EXPECT_TRUE(a.nextLogicComponents(1).empty());

        // Unlinking from the other side than the linking.
        ASSERT_EQ(0u, fromSource ? b.disconnectLogicFrom(2) : a.disconnectLogicTo(0, &b, 2));
        EXPECT_TRUE(a.nextLogicComponents(0).empty());
        EXPECT_FALSE(b.prevLogicComponent(2).isConnected());
        EXPECT_EQ(0u, a.disconnectLogicTo(0, &b, 2));  // nothing left: nothing happens
        EXPECT_EQ(0u, b.disconnectLogicFrom(2));
    }
}

TEST(AbstractLogicComponentTest, AnOutputFeedsTargetsInLinkOrderUntilUnlinkedAtOnce)
{
    Component source;
    Component b, c, d;
    ASSERT_TRUE(setUp(source, 1, 0, 1));
    uint32_t id = 2;
    for (Component* target : {&b, &c, &d}) ASSERT_TRUE(setUp(*target, id++, 3, 0));
    ASSERT_EQ(0u, source.connectLogicTo(0, &c, 1));
    ASSERT_EQ(0u, b.connectLogicFrom(0, &source, 0));
    ASSERT_EQ(0u, source.connectLogicTo(0, &d, 2));
    const std::vector<Connection> expected = {Connection(&c, 1), Connection(&b, 0), Connection(&d, 2)};
    EXPECT_EQ(expected, targetsOf(source, 0));

    ASSERT_EQ(0u, source.disconnectLogicTo(0));
    EXPECT_TRUE(source.nextLogicComponents(0).empty());
    EXPECT_FALSE(c.prevLogicComponent(1).isConnected());
    EXPECT_FALSE(b.prevLogicComponent(0).isConnected());
    EXPECT_FALSE(d.prevLogicComponent(2).isConnected());
}

TEST(AbstractLogicComponentTest, RelinkingAnInputUnlinksItsFormerSource)
{
    Component a, c;
    auto b = std::make_unique<Component>();
    ASSERT_TRUE(setUp(a, 1, 0, 1));
    ASSERT_TRUE(setUp(*b, 2, 1, 0));
    ASSERT_TRUE(setUp(c, 3, 0, 1));
    ASSERT_EQ(0u, a.connectLogicTo(0, b.get(), 0));
    ASSERT_EQ(0u, b->connectLogicFrom(0, &c, 0));
    EXPECT_TRUE(a.nextLogicComponents(0).empty());
    EXPECT_EQ(std::vector<Connection>{Connection(b.get(), 0)}, targetsOf(c, 0));
    EXPECT_TRUE(b->prevLogicComponent(0) == Connection(&c, 0));

    // The same from the new source's side.
    ASSERT_EQ(0u, a.connectLogicTo(0, b.get(), 0));
    EXPECT_TRUE(c.nextLogicComponents(0).empty());
    EXPECT_TRUE(b->prevLogicComponent(0) == Connection(&a, 0));

    // The former source no longer delivers into the target, even once it is gone.
    ASSERT_EQ(0u, c.setLogicOutNormValue(0, 1.0f));
    ASSERT_EQ(0u, c.postProcessLogic(0, kRunTriggered));
    EXPECT_EQ(0.0f, b->getLogicInValue(0).getNormValue());
    b.reset();
    EXPECT_TRUE(a.nextLogicComponents(0).empty());
    ASSERT_EQ(0u, c.setLogicOutNormValue(0, 0.0f));
    EXPECT_EQ(0u, c.postProcessLogic(0, kRunInitial));
}

TEST(AbstractLogicComponentTest, ATargetThatRefusesThePortStaysListedAndRefusesDeliveries)
{
    Component a, b;
    ASSERT_TRUE(setUp(a, 1, 0, 1));
    ASSERT_TRUE(setUp(b, 2, 3, 0));
    ASSERT_EQ(0u, a.connectLogicTo(0, &b, 5));
    EXPECT_EQ(std::vector<Connection>{Connection(&b, 5)}, targetsOf(a, 0));
    for (uint32_t port = 0; port < 3; ++port) EXPECT_FALSE(b.prevLogicComponent(port).isConnected());
    EXPECT_EQ(0x80000001u, b.sendLogicData(5, a.getLogicOutValue(0)));
    ASSERT_EQ(0u, a.postProcessLogic(0, kRunInitial));  // the refusal does not stop the pass
    ASSERT_EQ(0u, a.disconnectLogicTo(0));
    EXPECT_TRUE(a.nextLogicComponents(0).empty());
}

TEST(AbstractLogicComponentTest, FinalizeAndDestructionUnlinkEveryNeighbour)
{
    Component a, c;
    auto b = std::make_unique<Component>();
    ASSERT_TRUE(setUp(a, 1, 0, 1));
    ASSERT_TRUE(setUp(*b, 2, 1, 1));
    ASSERT_TRUE(setUp(c, 3, 1, 0));
    ASSERT_EQ(0u, a.connectLogicTo(0, b.get(), 0));
    ASSERT_EQ(0u, b->connectLogicTo(0, &c, 0));

    // A copy names the same neighbours, who do not list it; its end must not cut their links.
    {
        Component copy;
        copy = *b;
        EXPECT_EQ(2u, copy.uniqID());
        EXPECT_TRUE(copy.prevLogicComponent(0) == Connection(&a, 0));
        EXPECT_TRUE(copy.getLogicInValue(0).isDirty());
    }
    EXPECT_EQ(std::vector<Connection>{Connection(b.get(), 0)}, targetsOf(a, 0));
    EXPECT_TRUE(c.prevLogicComponent(0) == Connection(b.get(), 0));

    b.reset();
    EXPECT_TRUE(a.nextLogicComponents(0).empty());
    EXPECT_FALSE(c.prevLogicComponent(0).isConnected());
}

TEST(AbstractLogicComponentTest, DueTableFollowsTheRunStateAcrossTheCounterWrap)
{
    struct Case {
        const char* label;
        uint32_t interval;
        uint32_t last;  // time of the last processing
        bool triggered;
        uint32_t now;
        RunState state;
        bool due;
    };
    const Case cases[] = {
        {"initial", 0, 0, false, 5, kRunInitial, true},
        {"triggered pass, no trigger", 0, 0, false, 5, kRunTriggered, false},
        {"triggered pass, trigger", 0, 0, true, 5, kRunTriggered, true},
        {"triggered pass ignores the interval", 100, 0, true, 5, kRunTriggered, true},
        {"periodic without interval, trigger", 0, 0, true, 5, kRunPeriodic, true},
        {"periodic without interval, no trigger", 0, 0, false, 5000, kRunPeriodic, false},
        {"periodic, interval not yet passed", 100, 1000, false, 1099, kRunPeriodic, false},
        {"periodic, interval passed", 100, 1000, false, 1100, kRunPeriodic, true},
        {"periodic, one short across the wrap", 100, 4294967290u, false, 93, kRunPeriodic, false},
        {"periodic, due across the wrap", 100, 4294967290u, false, 94, kRunPeriodic, true},
        {"periodic does not consult the trigger", 100, 4294967290u, true, 50, kRunPeriodic, false},
        {"unknown state", 0, 0, true, 5, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Component component;
        ASSERT_TRUE(setUp(component, 1, 1, 1, c.interval));
        ASSERT_TRUE(component.shouldProcessLogic(c.last, kRunInitial));  // takes c.last as its time
        if (c.triggered) {
            ASSERT_EQ(0u, component.triggerLogic());
        }
        EXPECT_EQ(c.due, component.shouldProcessLogic(c.now, c.state));
        // When due, the trigger is cleared and the time taken.
        EXPECT_EQ(c.triggered && !c.due, component.shouldProcessLogic(c.now, kRunTriggered));
        if (c.due && c.interval > 0) {
            EXPECT_FALSE(component.shouldProcessLogic(c.now + c.interval - 1, kRunPeriodic));
            EXPECT_TRUE(component.shouldProcessLogic(c.now + c.interval, kRunPeriodic));
        }
    }
}

TEST(AbstractLogicComponentTest, ATriggerRaisedWhileProcessingAsksForALaterPass)
{
    CountingComponent component;
    ASSERT_TRUE(setUp(component, 1, 1, 1));
    component.whileProcessing = [](CountingComponent& self) { (void)self.triggerLogic(); };
    ASSERT_EQ(0u, component.triggerLogic());
    ASSERT_EQ(0u, component.runLogic(10, kRunTriggered));
    EXPECT_EQ(1, component.processed);
    component.whileProcessing = nullptr;
    ASSERT_EQ(0u, component.runLogic(20, kRunTriggered));
    EXPECT_EQ(2, component.processed);
    ASSERT_EQ(0u, component.runLogic(30, kRunTriggered));
    EXPECT_EQ(2, component.processed);
}

TEST(AbstractLogicComponentTest, PostProcessPassesDirtyOutputsOnAndEveryOutputInTheInitialPass)
{
    CountingComponent source;
    Component target;
    ASSERT_TRUE(setUp(source, 1, 1, 2));
    ASSERT_TRUE(setUp(target, 2, 2, 0));
    ASSERT_EQ(0u, source.connectLogicTo(0, &target, 0));
    ASSERT_EQ(0u, source.connectLogicTo(1, &target, 1));
    ASSERT_EQ(0u, target.sendLogicData(1, normalised(0.9f)));
    ASSERT_TRUE(target.shouldProcessLogic(1, kRunTriggered));  // a dirty delivery triggers
    ASSERT_EQ(0u, target.postProcessLogic(1, kRunTriggered));
    ASSERT_EQ(0u, source.sendLogicData(0, normalised(0.3f)));

    // Output writes do not trigger.
    ASSERT_EQ(0u, source.runLogic(2, kRunTriggered));  // consumes the trigger of the delivery
    ASSERT_EQ(0u, source.setLogicOutNormValue(0, 0.7f));
    EXPECT_FALSE(source.shouldProcessLogic(3, kRunTriggered));

    ASSERT_EQ(0u, source.postProcessLogic(3, kRunTriggered));
    EXPECT_FLOAT_EQ(0.7f, target.getLogicInValue(0).getNormValue());
    EXPECT_FLOAT_EQ(0.9f, target.getLogicInValue(1).getNormValue());  // the clean output was skipped
    EXPECT_FALSE(source.getLogicOutValue(0).isDirty());
    EXPECT_FALSE(source.getLogicInValue(0).isDirty());
    EXPECT_TRUE(target.shouldProcessLogic(3, kRunTriggered));

    ASSERT_EQ(0u, source.postProcessLogic(4, kRunInitial));
    EXPECT_FLOAT_EQ(0.0f, target.getLogicInValue(1).getNormValue());  // passed on though clean
    // A delivery that changes nothing does not trigger.
    ASSERT_EQ(0u, target.runLogic(4, kRunTriggered));
    ASSERT_EQ(0u, source.postProcessLogic(5, kRunInitial));
    EXPECT_FALSE(target.getLogicInValue(0).isDirty());
    EXPECT_FALSE(target.shouldProcessLogic(5, kRunTriggered));
}

TEST(AbstractLogicComponentTest, AnEventOutputDeliversItsCountBeforeItIsConsumed)
{
    Component source, target;
    ASSERT_TRUE(setUp(source, 1, 0, 1, 0, kLogicDataEvent));
    ASSERT_TRUE(setUp(target, 2, 1, 0, 0, kLogicDataEvent));
    ASSERT_EQ(0u, source.connectLogicTo(0, &target, 0));
    ASSERT_EQ(0u, source.setLogicOutEvent(0));
    ASSERT_EQ(0u, source.setLogicOutEvent(0));
    ASSERT_EQ(0u, source.postProcessLogic(1, kRunTriggered));
    EXPECT_EQ(2u, target.getLogicInValue(0).getEventCount());
    EXPECT_TRUE(target.getLogicInValue(0).isDirty());
    EXPECT_TRUE(target.shouldProcessLogic(1, kRunTriggered));
    EXPECT_EQ(0u, source.getLogicOutValue(0).getEventCount());
    EXPECT_EQ(2u, source.getLogicOutValue(0).getPrevValue().toUInt32());
}

TEST(AbstractLogicComponentTest, OutputWritesAnswerWithTheValuesOwnResult)
{
    struct Case {
        const char* label;
        LogicDataType type;
        std::function<JLIB::JResult(Component&)> write;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"unsigned on unsigned", kLogicDataUInt, [](Component& c) { return c.setLogicOutValue(0, 5u); }, 0},
        {"signed on float", kLogicDataFloat, [](Component& c) { return c.setLogicOutValue(0, -5); }, 0},
        {"float on string", kLogicDataString, [](Component& c) { return c.setLogicOutValue(0, 1.0f); },
         0x80080000u},
        {"text on event", kLogicDataEvent, [](Component& c) { return c.setLogicOutString(0, "1"); }, 0x80080000u},
        {"norm on string", kLogicDataString, [](Component& c) { return c.setLogicOutNormValue(0, 0.5f); },
         0x80080000u},
        {"event on none", kLogicDataNone, [](Component& c) { return c.setLogicOutEvent(0); }, 0x80080000u},
        {"text on string", kLogicDataString, [](Component& c) { return c.setLogicOutString(0, "on"); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Component component;
        ASSERT_TRUE(setUp(component, 1, 0, 1, 0, c.type));
        EXPECT_EQ(c.result, c.write(component));
        EXPECT_EQ(JLIB::isSuccess(c.result), component.getLogicOutValue(0).isDirty());
    }
}

TEST(AbstractLogicComponentTest, TestModeKeepsForcedValuesButStillPassesOutputsOn)
{
    CountingComponent component;
    Component target;
    ASSERT_TRUE(setUp(component, 1, 2, 1));
    ASSERT_TRUE(setUp(target, 2, 1, 0));
    ASSERT_EQ(0u, component.connectLogicTo(0, &target, 0));

    ASSERT_EQ(0u, component.setLogicInTestValue(0, normalised(0.8f)));
    EXPECT_TRUE(component.isLogicInTestMode(0));
    EXPECT_FALSE(component.isLogicInTestMode(1));
    EXPECT_TRUE(component.isLogicTestMode());
    EXPECT_TRUE(component.getLogicInValue(0).isDirty());  // a copy
    EXPECT_TRUE(component.shouldProcessLogic(1, kRunTriggered));  // forcing triggers
    EXPECT_EQ(0u, component.sendLogicData(0, normalised(0.1f)));
    EXPECT_FLOAT_EQ(0.8f, component.getLogicInValue(0).getNormValue());
    EXPECT_FALSE(component.shouldProcessLogic(2, kRunTriggered));  // an ignored delivery does not

    ASSERT_EQ(0u, component.setLogicOutTestValue(0, normalised(0.6f)));
    EXPECT_EQ(0u, component.setLogicOutNormValue(0, 0.1f));
    EXPECT_FLOAT_EQ(0.6f, component.getLogicOutValue(0).getNormValue());
    ASSERT_EQ(0u, component.runLogic(3, kRunTriggered));
    EXPECT_EQ(1, component.processed);
    EXPECT_FLOAT_EQ(0.6f, target.getLogicInValue(0).getNormValue());
    EXPECT_FALSE(component.getLogicOutValue(0).isDirty());

    ASSERT_EQ(0u, component.exitLogicTestMode());
    EXPECT_FALSE(component.isLogicTestMode());
    ASSERT_EQ(0u, component.enterLogicTestMode());
    EXPECT_TRUE(component.isLogicInTestMode(1));
    EXPECT_TRUE(component.isLogicOutTestMode(0));
    EXPECT_FALSE(component.shouldProcessLogic(4, kRunTriggered));  // neither switch triggers
    ASSERT_EQ(0u, component.exitLogicTestMode());
    EXPECT_EQ(0u, component.sendLogicData(0, normalised(0.1f)));
    EXPECT_FLOAT_EQ(0.1f, component.getLogicInValue(0).getNormValue());
}

TEST(AbstractLogicComponentTest, NoParameterConcernsTheBase)
{
    Component component;
    ASSERT_TRUE(setUp(component, 1, 1, 1));
    EXPECT_FALSE(component.isParamForLogic(0, 0, 0));
    EXPECT_EQ(0u, component.processLogic(0, kRunInitial));
}
