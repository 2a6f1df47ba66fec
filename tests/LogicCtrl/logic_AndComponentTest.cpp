#include "LogicCtrl/logic_AndComponent.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace LogicCtrl;

TEST(AndComponentTest, HasThreeNormalisedInputsAndOneOutputAndProcessesOnlyWhenTriggered)
{
    AndComponent component;
    ASSERT_EQ(0u, component.initialize(7, 123, 456));
    EXPECT_EQ(7u, component.uniqID());
    ASSERT_EQ(3u, component.logicInputPortNum());
    ASSERT_EQ(1u, component.logicOutputPortNum());
    const char* names[] = {"in1", "in2", "in3"};
    for (uint32_t port = 0; port < 3; ++port) {
        EXPECT_EQ(names[port], component.logicInputPortInfo(port).m_name);
        EXPECT_EQ(kLogicDataNormalized, component.logicInputPortInfo(port).m_type);
        EXPECT_EQ("", component.logicInputPortInfo(port).m_expressionName);
    }
    EXPECT_EQ("out", component.logicOutputPortInfo(0).m_name);
    EXPECT_EQ(kLogicDataNormalized, component.getLogicOutValue(0).type());
    EXPECT_FALSE(component.shouldProcessLogic(1000000, kRunPeriodic));  // interval 0
    EXPECT_EQ(0x80000001u, component.initialize(8, 0, 0));
}

TEST(AndComponentTest, OutputIsOneOnlyWhenEveryInputIsAtLeastHalf)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* label;
        float in[3];
        float out;
    };
    const Case cases[] = {
        {"all one", {1.0f, 1.0f, 1.0f}, 1.0f},
        {"all exactly half", {0.5f, 0.5f, 0.5f}, 1.0f},
        {"one just below half", {1.0f, 0.49f, 1.0f}, 0.0f},
        {"last zero", {1.0f, 1.0f, 0.0f}, 0.0f},
        {"not a number", {1.0f, nan, 1.0f}, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        AndComponent component;
        ASSERT_EQ(0u, component.initialize(1, 0, 0));
        for (uint32_t port = 0; port < 3; ++port) {
            // A value forced in test mode, so that NaN reaches the input unchanged.
            const LogicData forced(kLogicDataNormalized, JVariant(c.in[port]), nullptr, JVariant(), JVariant());
            ASSERT_EQ(0u, component.setLogicInTestValue(port, forced));
        }
        ASSERT_EQ(0u, component.processLogic(0, kRunTriggered));
        EXPECT_EQ(c.out, component.getLogicOutValue(0).getNormValue());
        EXPECT_EQ(c.out, component.getLogicOutValue(0).getValue().toFloat());
    }
}

TEST(AndComponentTest, AnUnwrittenOrNonNumericInputCountsAsFalse)
{
    AndComponent component;
    ASSERT_EQ(0u, component.initialize(1, 0, 0));
    const LogicData one(kLogicDataNormalized, JVariant(1.0f), nullptr, JVariant(), JVariant());
    ASSERT_EQ(0u, component.sendLogicData(0, one));
    ASSERT_EQ(0u, component.sendLogicData(1, one));
    ASSERT_EQ(0u, component.processLogic(0, kRunTriggered));
    EXPECT_EQ(0.0f, component.getLogicOutValue(0).getNormValue());  // in3 still holds its initial 0.0

    LogicData text(kLogicDataString, nullptr);
    ASSERT_EQ(0u, text.setString("1"));
    ASSERT_EQ(0u, component.sendLogicData(2, one));
    ASSERT_EQ(0u, component.processLogic(0, kRunTriggered));
    EXPECT_EQ(1.0f, component.getLogicOutValue(0).getNormValue());
    ASSERT_EQ(0u, component.setLogicInTestValue(2, text));
    ASSERT_EQ(0u, component.processLogic(0, kRunTriggered));
    EXPECT_EQ(0.0f, component.getLogicOutValue(0).getNormValue());
}
