#include "common/Lpc/LpcExpression.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(LpcExpressionTest, SwitchesReadAndWriteExactlyOffAndOn)
{
    char buffer[8];
    struct Out {
        JVariant value;
        uint32_t size;
        JLIB::JResult result;
        const char* text;
    };
    const Out outs[] = {
        {JVariant(0), 8, 0, "OFF"}, {JVariant(1u), 8, 0, "ON"}, {JVariant(1), 3, 0, "ON"},
        {JVariant(0), 3, 0, "OF"},  // cut, still 0
        {JVariant(2), 8, 0x80000000u, "#"}, {JVariant(-1), 8, 0x80000000u, "#"},
        {JVariant(1.0f), 8, 0, "OFF"},  // a Float counts as 0
    };
    for (const Out& o : outs) {
        SCOPED_TRACE(o.text);
        std::strcpy(buffer, "#");
        EXPECT_EQ(o.result, LPC::uzExpression_OnOff.toText(buffer, o.size, o.value));
        EXPECT_STREQ(o.text, buffer);
    }
    EXPECT_EQ(0x80000000u, LPC::uzExpression_OnOff.toText(nullptr, 8, JVariant(0)));

    struct In {
        const char* text;
        JLIB::JResult result;
        int32_t value;
    };
    const In ins[] = {{"OFF", 0, 0}, {"ON", 0, 1}, {"on", 0x80000000u, 99}, {"ON ", 0x80000000u, 99}, {"", 0x80000000u, 99}};
    for (const In& i : ins) {
        SCOPED_TRACE(i.text);
        JVariant value(99);
        EXPECT_EQ(i.result, LPC::uzExpression_OnOff.fromText(&value, i.text));
        EXPECT_EQ(JVariant::kTypeInt32, value.getType());
        EXPECT_EQ(i.value, value.toInt32());
    }
    JVariant value;
    EXPECT_EQ(0x80000000u, LPC::uzExpression_OnOff.fromText(&value, nullptr));
    EXPECT_EQ(0x80000000u, LPC::uzExpression_OnOff.fromText(nullptr, "ON"));
}

TEST(LpcExpressionTest, LevelsAndDelaysPrintTwoDecimalsWithinTheBuffer)
{
    struct Case {
        const LPC::IExpression& expression;
        int32_t value;
        uint32_t size;
        JLIB::JResult result;
        const char* text;
    };
    const Case cases[] = {
        {LPC::uzExpression_Level, -1234, 16, 0, "-12.34"},
        {LPC::uzExpression_Level, -13800, 16, 0, "-138.00"},
        {LPC::uzExpression_Level, 5, 16, 0, "0.05"},
        {LPC::uzExpression_Level, -1234, 6, 0, "-12.3"},  // cut to the buffer
        {LPC::uzExpression_Level, 0, 5, 0x80000000u, "#####"},
        {LPC::uzExpression_DelayTime, 1500, 16, 0, "1.50"},
        {LPC::uzExpression_DelayTime, -2147483647 - 1, 16, 0, "-2147483.65"},
        {LPC::uzExpression_DelayTime, 1500, 5, 0x80000000u, "#####"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[17];
        std::memset(buffer, '#', sizeof(buffer));
        buffer[16] = '\0';
        const JLIB::JResult result = c.expression.toText(buffer, c.size, JVariant(c.value));
        EXPECT_EQ(c.result, result);
        if (JLIB::isSuccess(result)) {
            EXPECT_STREQ(c.text, buffer);
            if (c.size < 16) {
                EXPECT_EQ('#', buffer[c.size]);  // nothing past the size
            }
        } else {
            EXPECT_EQ(std::string(16, '#'), std::string(buffer));
        }
    }
    EXPECT_EQ(0x80000000u, LPC::uzExpression_Level.toText(nullptr, 16, JVariant(1)));
}

TEST(LpcExpressionTest, TextInputTakesWholeUnits)
{
    struct Case {
        const LPC::IExpression& expression;
        const char* text;
        JLIB::JResult result;
        int32_t value;
    };
    const Case cases[] = {
        {LPC::uzExpression_Level, "-12.75", 0, -1200},
        {LPC::uzExpression_Level, "  +7dB", 0, 700},
        {LPC::uzExpression_Level, "abc", 0, 0},
        {LPC::uzExpression_Level, "-21474836", 0, -2147483600},
        {LPC::uzExpression_Level, "21474837", 0x80000000u, 99},  // would not fit
        {LPC::uzExpression_Level, "99999999999999999999", 0x80000000u, 99},
        {LPC::uzExpression_DelayTime, "2", 0, 2000},
        {LPC::uzExpression_DelayTime, "\t-3.9", 0, -3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        JVariant value(99);
        EXPECT_EQ(c.result, c.expression.fromText(&value, c.text));
        EXPECT_EQ(c.value, value.toInt32());
    }
    JVariant value;
    EXPECT_EQ(0x80000000u, LPC::uzExpression_DelayTime.fromText(&value, nullptr));
    EXPECT_EQ(0x80000000u, LPC::uzExpression_DelayTime.fromText(nullptr, "1"));
}

}  // namespace
