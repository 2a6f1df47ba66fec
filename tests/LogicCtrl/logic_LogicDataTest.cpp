#include "LogicCtrl/logic_LogicData.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "LogicCtrl/logic_Result.h"
#include "PDB/Expression/DefaultExpression.h"
#include "PDB/Expression/PrmAttribute.h"

using namespace LogicCtrl;

namespace {

// Type and value must both match; the expected value sits on the left so its type decides.
::testing::AssertionResult sameVariant(const JVariant& expected, const JVariant& actual)
{
    if (expected.getType() == actual.getType() && expected == actual) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "type " << actual.getType() << " (expected " << expected.getType()
                                         << "), double " << actual.toDouble() << " (expected " << expected.toDouble()
                                         << ")";
}

constexpr float kNoCheck = -1.0f;  // a normalised value the row does not check

LogicData port(LogicDataType type, const JVariant& minimum, const JVariant& maximum)
{
    LogicData data;
    EXPECT_EQ(0u, data.initialize(type, nullptr, minimum, maximum));
    return data;
}

}  // namespace

TEST(LogicDataTest, DefaultDataHasNoKindAndRefusesEveryWrite)
{
    LogicData data;
    EXPECT_FALSE(data.isValid());
    EXPECT_EQ(kLogicDataNone, data.type());
    EXPECT_FALSE(data.getValue().isValid());
    EXPECT_EQ(0.0f, data.getNormValue());
    EXPECT_FALSE(data.isDirty());
    EXPECT_EQ(0x80080000u, data.setValue(JVariant(1)));
    EXPECT_EQ(0x80080000u, data.setNormValue(0.5f));
    EXPECT_EQ(0x80080000u, data.setString("1"));
    EXPECT_EQ(0x80080000u, data.setEvent());
    EXPECT_EQ(0x80080000u, data.dataConsumed());
    EXPECT_FALSE(data.isDirty());

    EXPECT_EQ(0x80000001u, data.initialize(0, nullptr, JVariant(0), JVariant(1)));
    EXPECT_EQ(0x80000001u, data.initialize(9, nullptr, JVariant(0), JVariant(1)));
    EXPECT_FALSE(data.isValid());
}

TEST(LogicDataTest, InitializeSetsTheRangeOfEachKind)
{
    struct Case {
        LogicDataType type;
        bool valueValid;   // kind 1 starts at Float 0.0, the others without a value
        JVariant clipped;  // 9 clipped to the range 2..4 given
    };
    const Case cases[] = {
        {1, true, JVariant(1.0f)},  // kind 1 ignores the range given: always 0.0..1.0
        {2, false, JVariant(4u)},  {3, false, JVariant(4)}, {4, false, JVariant(4.0f)},
        {5, false, JVariant(4u)},  {6, false, JVariant(4u)}, {7, false, JVariant(9)},
        {8, false, JVariant(9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        LogicData data;
        ASSERT_EQ(0u, data.initialize(c.type, "", JVariant(2), JVariant(4)));
        EXPECT_TRUE(data.isValid());
        EXPECT_EQ(c.type, data.type());
        EXPECT_FALSE(data.isDirty());
        EXPECT_FALSE(data.getPrevValue().isValid());
        EXPECT_EQ(c.valueValid, data.getValue().isValid());
        EXPECT_TRUE(sameVariant(c.clipped, data.clipValue(JVariant(9))));
    }
}

TEST(LogicDataTest, SetValueConvertsToTheKindAndClipsInEitherRangeOrder)
{
    struct Case {
        const char* label;
        LogicDataType type;
        JVariant minimum, maximum, input, expected;
        float norm;
        bool dirty = true;  // a kind-1 port starts at 0.0, so writing 0.0 changes nothing
    };
    const Case cases[] = {
        {"unsigned below", 2, JVariant(10u), JVariant(100u), JVariant(5u), JVariant(10u), 5.0f / 999.0f},
        {"unsigned takes -3 as 4294967293", 2, JVariant(10u), JVariant(100u), JVariant(-3), JVariant(100u), kNoCheck},
        {"unsigned counts a float as 0", 2, JVariant(10u), JVariant(100u), JVariant(50.0f), JVariant(10u), 0.0f},
        {"unsigned inside", 2, JVariant(10u), JVariant(100u), JVariant(50u), JVariant(50u), 50.0f / 999.0f},
        // The normalised value comes from the value as passed, on the fixed 0..999 scale.
        {"unsigned norm before clipping", 2, JVariant(10u), JVariant(100u), JVariant(500u), JVariant(100u),
         500.0f / 999.0f},
        {"kind 5 as kind 2", 5, JVariant(10u), JVariant(100u), JVariant(5u), JVariant(10u), kNoCheck},
        {"kind 6 as kind 2", 6, JVariant(10u), JVariant(100u), JVariant(-3), JVariant(100u), kNoCheck},
        {"signed, min above max, low", 3, JVariant(100), JVariant(10), JVariant(5), JVariant(10), kNoCheck},
        {"signed, min above max, high", 3, JVariant(100), JVariant(10), JVariant(200), JVariant(100), kNoCheck},
        {"signed, min above max, inside", 3, JVariant(100), JVariant(10), JVariant(50), JVariant(50), kNoCheck},
        {"signed from unsigned bits", 3, JVariant(-10), JVariant(10), JVariant(0xFFFFFFFBu), JVariant(-5), kNoCheck},
        {"float above", 4, JVariant(-1.0f), JVariant(1.0f), JVariant(2.5f), JVariant(1.0f), kNoCheck},
        {"float from int", 4, JVariant(-1.0f), JVariant(1.0f), JVariant(-3), JVariant(-1.0f), kNoCheck},
        {"float, min above max", 4, JVariant(3.0f), JVariant(-3.0f), JVariant(5.0f), JVariant(3.0f), kNoCheck},
        {"normalised above", 1, JVariant(), JVariant(), JVariant(1.7f), JVariant(1.0f), 1.0f},
        {"normalised below", 1, JVariant(), JVariant(), JVariant(-2), JVariant(0.0f), 0.0f, false},
        {"normalised inside", 1, JVariant(), JVariant(), JVariant(0.25f), JVariant(0.25f), 0.25f},
        {"normalised from a text", 1, JVariant(), JVariant(), JVariant("0.7", 3), JVariant(0.0f), 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        LogicData data = port(c.type, c.minimum, c.maximum);
        ASSERT_EQ(0u, data.setValue(c.input));
        EXPECT_TRUE(sameVariant(c.expected, data.getValue()));
        if (c.norm != kNoCheck) {
            EXPECT_FLOAT_EQ(c.norm, data.getNormValue());
        }
        EXPECT_EQ(c.dirty, data.isDirty());
    }
}

TEST(LogicDataTest, DirtyComparesWithTheNewValueOnTheLeft)
{
    LogicData data = port(kLogicDataUInt, JVariant(0u), JVariant(100u));
    ASSERT_EQ(0u, data.setValue(JVariant(7u)));
    EXPECT_TRUE(data.isDirty());  // the first value always differs from the invalid one
    ASSERT_EQ(0u, data.setValue(JVariant(7u)));
    EXPECT_FALSE(data.isDirty());
    ASSERT_EQ(0u, data.setValue(JVariant(8u)));
    EXPECT_TRUE(data.isDirty());
    EXPECT_TRUE(sameVariant(JVariant(7u), data.getPrevValue()));

    // A float port takes the expression's Int32 from a text unconverted; a later Float 0.0
    // equals that Int32 0 only when the Float is the left operand.
    LogicData mixed = port(kLogicDataFloat, JVariant(-1.0f), JVariant(1.0f));
    ASSERT_EQ(0u, mixed.setString("0"));
    ASSERT_TRUE(sameVariant(JVariant(0), mixed.getValue()));
    ASSERT_EQ(0u, mixed.setValue(JVariant(0.0f)));
    EXPECT_TRUE(sameVariant(JVariant(0.0f), mixed.getValue()));
    EXPECT_FALSE(mixed.isDirty());
}

TEST(LogicDataTest, EveryCopyAndMoveIsDirty)
{
    LogicData source = port(kLogicDataSInt, JVariant(0), JVariant(10));
    ASSERT_EQ(0u, source.setValue(JVariant(4)));
    ASSERT_EQ(0u, source.dataConsumed());
    ASSERT_FALSE(source.isDirty());

    LogicData copied(source);
    LogicData assigned;
    assigned = source;
    LogicData movedFrom(source);
    LogicData moved(std::move(movedFrom));
    LogicData moveAssigned;
    LogicData moveSource(source);
    moveAssigned = std::move(moveSource);
    for (const LogicData* data : {&copied, &assigned, &moved, &moveAssigned}) {
        EXPECT_TRUE(data->isDirty());
        EXPECT_EQ(kLogicDataSInt, data->type());
        EXPECT_TRUE(sameVariant(JVariant(4), data->getValue()));
    }
    LogicData& self = copied;
    ASSERT_EQ(0u, copied.dataConsumed());
    copied = self;
    EXPECT_TRUE(copied.isDirty());
    EXPECT_TRUE(sameVariant(JVariant(4), copied.getValue()));
}

TEST(LogicDataTest, SetNormValueLimitsTheArgumentAndConvertsThroughTheExpression)
{
    struct Case {
        const char* label;
        LogicDataType type;
        JVariant minimum, maximum;
        float input;
        JVariant expected;
        float norm;
    };
    const Case cases[] = {
        {"normalised below", 1, JVariant(), JVariant(), -0.2f, JVariant(0.0f), 0.0f},
        {"normalised above", 1, JVariant(), JVariant(), 1.5f, JVariant(1.0f), 1.0f},
        {"normalised not a number", 1, JVariant(), JVariant(), std::numeric_limits<float>::quiet_NaN(),
         JVariant(0.0f), 0.0f},
        // 0.5 x 999 = 499.5, truncated to ratio 499 of 1000 steps over 0..998.
        {"signed half", 3, JVariant(0), JVariant(998), 0.5f, JVariant(499), 0.5f},
        {"unsigned top", 2, JVariant(0u), JVariant(100u), 1.0f, JVariant(100u), 1.0f},
        {"unsigned bottom", 5, JVariant(20u), JVariant(100u), 0.0f, JVariant(20u), 0.0f},
        // Float ranges cross the expression in thousandths: ratio 499 of 0..2000 is 999.
        {"float half", 4, JVariant(0.0f), JVariant(2.0f), 0.5f, JVariant(999.0f / 1000.0f), 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        LogicData data = port(c.type, c.minimum, c.maximum);
        ASSERT_EQ(0u, data.setNormValue(c.input));
        EXPECT_TRUE(sameVariant(c.expected, data.getValue()));
        EXPECT_EQ(c.norm, data.getNormValue());  // the limited argument, not recomputed
    }
    LogicData text(kLogicDataString, nullptr);
    LogicData event(kLogicDataEvent, nullptr);
    EXPECT_EQ(0x80080000u, text.setNormValue(0.5f));
    EXPECT_EQ(0x80080000u, event.setNormValue(0.5f));
    EXPECT_EQ(0x80080000u, text.setValue(JVariant(1)));
    EXPECT_EQ(0x80080000u, event.setValue(JVariant(1)));
}

TEST(LogicDataTest, SetStringKeepsTheValueWhenTheExpressionFails)
{
    LogicData data = port(kLogicDataUInt, JVariant(10u), JVariant(100u));
    ASSERT_EQ(0u, data.setValue(JVariant(20u)));
    ASSERT_EQ(0u, data.setValue(JVariant(50u)));
    ASSERT_TRUE(data.isDirty());
    const float norm = data.getNormValue();
    // The expression reads the text times the scaling word, which the port leaves at 0: 0 lies
    // below the minimum 10, so it fails with its own code.
    EXPECT_EQ(0x80000005u, data.setString("50"));
    EXPECT_TRUE(sameVariant(JVariant(50u), data.getValue()));
    EXPECT_TRUE(sameVariant(JVariant(50u), data.getPrevValue()));  // moved before the failure
    EXPECT_EQ(norm, data.getNormValue());
    EXPECT_TRUE(data.isDirty());
    EXPECT_EQ(0x80000003u, data.setString(nullptr));  // the expression's answer for no text

    LogicData text(kLogicDataString, nullptr);
    ASSERT_EQ(0u, text.setString("hello"));
    EXPECT_TRUE(sameVariant(JVariant("hello", 5), text.getValue()));
    EXPECT_EQ(0.0f, text.getNormValue());
    EXPECT_TRUE(text.isDirty());
    ASSERT_EQ(0u, text.setString("hello"));
    EXPECT_FALSE(text.isDirty());

    LogicData event(kLogicDataEvent, nullptr);
    EXPECT_EQ(0x80080000u, event.setString("1"));
}

TEST(LogicDataTest, EventsCountUntilConsumedAndReadOnlyAsACount)
{
    LogicData event(kLogicDataEvent, nullptr);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0u, event.setEvent());
    EXPECT_EQ(3u, event.getEventCount());
    EXPECT_TRUE(event.isDirty());
    EXPECT_FALSE(event.getValue().isValid());  // the shared invalid value, not the count
    ASSERT_EQ(0u, event.dataConsumed());
    EXPECT_EQ(0u, event.getEventCount());
    EXPECT_TRUE(sameVariant(JVariant(3u), event.getPrevValue()));
    EXPECT_FALSE(event.isDirty());

    // Other kinds only mark themselves dirty.
    LogicData number = port(kLogicDataSInt, JVariant(0), JVariant(10));
    ASSERT_EQ(0u, number.setValue(JVariant(4)));
    ASSERT_EQ(0u, number.dataConsumed());
    ASSERT_EQ(0u, number.setEvent());
    EXPECT_TRUE(number.isDirty());
    EXPECT_TRUE(sameVariant(JVariant(4), number.getValue()));
    EXPECT_EQ(0u, number.getEventCount());
}

TEST(LogicDataTest, ReceiveConvertsTheOtherPortsValueToThisKind)
{
    LogicData half = port(kLogicDataNormalized, JVariant(), JVariant());
    ASSERT_EQ(0u, half.setNormValue(0.5f));
    LogicData wide = port(kLogicDataUInt, JVariant(0u), JVariant(1000u));
    ASSERT_EQ(0u, wide.setValue(JVariant(500u)));
    LogicData negative = port(kLogicDataSInt, JVariant(-10), JVariant(10));
    ASSERT_EQ(0u, negative.setValue(JVariant(-5)));
    // setValue keeps NaN, and with it the normalised value.
    LogicData notANumber = port(kLogicDataNormalized, JVariant(), JVariant());
    ASSERT_EQ(0u, notANumber.setValue(JVariant(std::numeric_limits<float>::quiet_NaN())));
    LogicData events(kLogicDataEvent, nullptr);
    ASSERT_EQ(0u, events.setEvent());
    ASSERT_EQ(0u, events.setEvent());

    struct Case {
        const char* label;
        LogicData target;
        const LogicData& source;
        JVariant expected;
        float norm;
        bool dirty;
    };
    LogicData text(kLogicDataString, nullptr);
    EXPECT_EQ(0u, text.setString("abc"));
    const Case cases[] = {
        // From a normalised port through the expression: ratio 499 over 0..998.
        {"normalised into signed", port(kLogicDataSInt, JVariant(0), JVariant(998)), half, JVariant(499), 0.5f,
         true},
        // A string port keeps its value and takes only the normalised value.
        {"not a number into signed: ratio 0", port(kLogicDataSInt, JVariant(-4), JVariant(998)), notANumber,
         JVariant(-4), kNoCheck, true},
        {"normalised into string", text, half, JVariant("abc", 3), 0.5f, false},
        {"unsigned into normalised", port(kLogicDataNormalized, JVariant(), JVariant()), wide, JVariant(1.0f), 1.0f,
         true},
        {"signed -5 into unsigned 0..100", port(kLogicDataUInt, JVariant(0u), JVariant(100u)), negative,
         JVariant(100u), kNoCheck, true},
        {"unsigned into string, unchanged", LogicData(kLogicDataString, nullptr), wide, JVariant(500u), kNoCheck,
         true},
        {"event count into event", LogicData(kLogicDataEvent, nullptr), events, JVariant(2u), 0.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        LogicData target = c.target;
        ASSERT_EQ(0u, target.dataConsumed());
        EXPECT_EQ(0u, target.receive(c.source));
        EXPECT_TRUE(sameVariant(c.expected, target.type() == kLogicDataEvent ? JVariant(target.getEventCount())
                                                                              : target.getValue()));
        if (c.norm != kNoCheck) {
            EXPECT_FLOAT_EQ(c.norm, target.getNormValue());
        }
        EXPECT_EQ(c.dirty, target.isDirty());
    }
}

TEST(LogicDataTest, ConstructorsInitialiseAndSetTheFirstValue)
{
    const LogicData clipped(kLogicDataUInt, JVariant(500u), nullptr, JVariant(0u), JVariant(100u));
    EXPECT_TRUE(sameVariant(JVariant(100u), clipped.getValue()));
    EXPECT_TRUE(clipped.isDirty());
    const LogicData text(kLogicDataString, JVariant(5u), nullptr, JVariant(), JVariant());
    EXPECT_FALSE(text.getValue().isValid());  // a string port takes no number
    const LogicData unknown(12, JVariant(5u), nullptr, JVariant(0u), JVariant(9u));
    EXPECT_FALSE(unknown.isValid());
    const LogicData event(kLogicDataEvent, "SomeKind");
    EXPECT_EQ(kLogicDataEvent, event.type());
    EXPECT_TRUE(event.isSameType(LogicData(kLogicDataEvent, nullptr)));
    EXPECT_FALSE(event.isSameType(clipped));
}

TEST(LogicDataTest, EveryNameConvertsThroughTheSharedDefaultExpression)
{
    Expression::IExpression& none = logic_GetExpression(nullptr);
    EXPECT_EQ(&none, &logic_GetExpression(""));
    EXPECT_EQ(&none, &logic_GetExpression("Level"));
    ASSERT_NE(nullptr, dynamic_cast<Expression::DefaultExpression*>(&none));
    // The knob range 30..330 shows through the degree conversion.
    Expression::PrmAttribute attr;
    attr.m_Minimum = 0;
    attr.m_Maximum = 100;
    uint32_t degree = 0;
    ASSERT_EQ(0u, none.toDegree(degree, JVariant(100), attr));
    EXPECT_EQ(330u, degree);
}
