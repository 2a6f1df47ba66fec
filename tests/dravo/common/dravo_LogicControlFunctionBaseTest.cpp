#include "dravo/common/dravo_LogicControlFunctionBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

using DRAVO::VariantType;
using dravotest::FakeLogicControl;

double code(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0)
{
    return 0x100 + a * 1000 + b * 100 + c * 10 + d;
}

struct Row {
    const char* call;
    std::function<double(const FakeLogicControl&)> run;
    double result;
};

const uint8_t kBytes[2] = {1, 2};

}  // namespace

TEST(LogicControlFunctionBaseTest, InitializeStoresWhatItIsGivenWithoutChecks)
{
    dravotest::RecordingAccessor accessor;
    FakeLogicControl f;
    EXPECT_EQ(0u, f.getUniqID() | f.getNumX() | f.getNumY());
    EXPECT_EQ(0u, f.initialize(&accessor, 9, 0, 99));  // sizes no component has pass
    EXPECT_EQ(9u, f.getUniqID());
    EXPECT_EQ(0u, f.getNumX());
    EXPECT_EQ(99u, f.getNumY());
    EXPECT_EQ(static_cast<DRAVO::ILogicComponentAccessor_V1*>(&accessor), f.logicAccessor());
    EXPECT_EQ("", accessor.last);  // nothing is asked of the accessor
}

TEST(LogicControlFunctionBaseTest, HelpersWithoutAccessorAnswerNeutralValues)
{
    const FakeLogicControl f;
    EXPECT_EQ(254, f.getGRMeter(0, 0, 0, 0));
    EXPECT_EQ(0, f.getLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(0, f.getHoldLevelMeter(0, 0, 0, 0));
    EXPECT_EQ(0x80000000u, f.setLogicOutEvent(0));
    EXPECT_EQ(0x80000000u, f.setLogicOutNormValue(0, 0.5f));
    EXPECT_EQ(0x80000000u, f.setLogicOutUInt(0, 1));
    EXPECT_EQ(0x80000000u, f.setLogicOutSInt(0, -1));
    EXPECT_EQ(0x80000000u, f.setLogicOutFloat(0, 1.5f));
    EXPECT_EQ(0x80000000u, f.setLogicOutString(0, "on"));
    EXPECT_EQ(0x80000000u, f.triggerLogic());
    EXPECT_EQ(0u, f.getParamUInt32(1, 0, 0));
    EXPECT_EQ(0, f.getParamSInt32(1, 0, 0));
    EXPECT_EQ(0.0f, f.getParamFloat(1, 0, 0));
    EXPECT_FALSE(f.getParamBool(1, 0, 0));
    char text[4];
    EXPECT_EQ(0x80000000u, f.getParamString(1, 0, 0, text, sizeof text));
    uint8_t bytes[4];
    EXPECT_EQ(0x80000000u, f.getParamBinary(1, 0, 0, bytes, sizeof bytes));
    EXPECT_EQ(0u, f.getParamNumX(1) | f.getParamNumY(1));
    EXPECT_EQ(0x80000000u, f.setParamUInt32(1, 0, 0, 1));
    EXPECT_EQ(0x80000000u, f.setParamBinary(1, 0, 0, kBytes, 2));

    using ValueReader = uint32_t (FakeLogicControl::*)(uint32_t, uint32_t&, VariantType&, float&, uint32_t&) const;
    for (ValueReader read : {&FakeLogicControl::getLogicInValue, &FakeLogicControl::getLogicOutValue}) {
        uint32_t type = 5;
        VariantType value;
        (void)value.setFloat(1.0f);  // poisoned outputs
        float normalized = 0.75f;
        uint32_t dirty = 1;
        EXPECT_EQ(0x80000000u, (f.*read)(0, type, value, normalized, dirty));
        EXPECT_EQ(0u, type);
        EXPECT_EQ(VariantType::kTypeInvalid, value.type());
        EXPECT_EQ(0.0f, normalized);
        EXPECT_EQ(0u, dirty);
    }
    VariantType limit;
    (void)limit.setUInt32(5);
    EXPECT_EQ(0x80000000u, f.getParamStep(1, limit));
    EXPECT_EQ(VariantType::kTypeInvalid, limit.type());
}

TEST(LogicControlFunctionBaseTest, HelpersForwardToTheLogicAccessor)
{
    const Row rows[] = {
        {"setLogicOutNormValue 1 5 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutNormValue(1, 0.5f)); },
         code(1, 5)},
        {"setLogicOutUInt 1 6 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutUInt(1, 6)); }, code(1, 6)},
        {"setLogicOutSInt 1 6 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutSInt(1, -6)); },
         code(1, 6)},
        {"setLogicOutFloat 1 7 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutFloat(1, 0.7f)); },
         code(1, 7)},
        {"setLogicOutString 1 2 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutString(1, "on")); },
         code(1, 2)},
        {"setLogicOutEvent 2 0 0 0", [](const FakeLogicControl& f) { return double(f.setLogicOutEvent(2)); }, code(2)},
        {"triggerLogic 0 0 0 0", [](const FakeLogicControl& f) { return double(f.triggerLogic()); }, code(0)},
        {"getParamUInt32 1 2 3 0", [](const FakeLogicControl& f) { return double(f.getParamUInt32(1, 2, 3)); },
         code(1, 2, 3)},
        {"getParamSInt32 1 2 3 0", [](const FakeLogicControl& f) { return double(f.getParamSInt32(1, 2, 3)); },
         -code(1, 2, 3)},
        {"getParamFloat 1 2 3 0", [](const FakeLogicControl& f) { return double(f.getParamFloat(1, 2, 3)); },
         code(1, 2, 3) / 2},
        {"getParamBool 1 2 3 0", [](const FakeLogicControl& f) { return double(f.getParamBool(1, 2, 3)); }, 1},
        {"getParamString 1 2 3 4",
         [](const FakeLogicControl& f) { char b[4]; return double(f.getParamString(1, 2, 3, b, 4)); }, code(1, 2, 3, 4)},
        {"getParamBinary 1 2 3 4",
         [](const FakeLogicControl& f) { uint8_t b[4]; return double(f.getParamBinary(1, 2, 3, b, 4)); },
         code(1, 2, 3, 4)},
        {"getParamNumX 6 0 0 0", [](const FakeLogicControl& f) { return double(f.getParamNumX(6)); }, code(6)},
        {"getParamNumY 7 0 0 0", [](const FakeLogicControl& f) { return double(f.getParamNumY(7)); }, code(7)},
        {"getParamMin 1 0 0 0", [](const FakeLogicControl& f) { VariantType v; return double(f.getParamMin(1, v)); },
         code(1)},
        {"getParamMax 2 0 0 0", [](const FakeLogicControl& f) { VariantType v; return double(f.getParamMax(2, v)); },
         code(2)},
        {"getParamDefault 3 0 0 0",
         [](const FakeLogicControl& f) { VariantType v; return double(f.getParamDefault(3, v)); }, code(3)},
        {"getParamNominal 4 0 0 0",
         [](const FakeLogicControl& f) { VariantType v; return double(f.getParamNominal(4, v)); }, code(4)},
        {"getParamStep 5 0 0 0", [](const FakeLogicControl& f) { VariantType v; return double(f.getParamStep(5, v)); },
         code(5)},
        {"getLevelMeter 0 1 0 1", [](const FakeLogicControl& f) { return double(f.getLevelMeter(0, 1, 0, 1)); },
         double(uint8_t(uint32_t(code(0, 1, 0, 1))))},
        {"getHoldLevelMeter 0 1 0 2", [](const FakeLogicControl& f) { return double(f.getHoldLevelMeter(0, 1, 0, 2)); },
         double(uint8_t(uint32_t(code(0, 1, 0, 2))))},
        {"getGRMeter 0 1 0 3", [](const FakeLogicControl& f) { return double(f.getGRMeter(0, 1, 0, 3)); },
         double(uint8_t(uint32_t(code(0, 1, 0, 3))))},
        {"setParamUInt32 1 2 3 4", [](const FakeLogicControl& f) { return double(f.setParamUInt32(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamSInt32 1 2 3 4", [](const FakeLogicControl& f) { return double(f.setParamSInt32(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamFloat 1 2 3 4", [](const FakeLogicControl& f) { return double(f.setParamFloat(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamBool 1 2 3 4", [](const FakeLogicControl& f) { return double(f.setParamBool(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamString 1 2 3 3", [](const FakeLogicControl& f) { return double(f.setParamString(1, 2, 3, "abc")); },
         code(1, 2, 3, 3)},
        {"setParamBinary 1 2 3 2",
         [](const FakeLogicControl& f) { return double(f.setParamBinary(1, 2, 3, kBytes, 2)); }, code(1, 2, 3, 2)},
    };
    dravotest::RecordingAccessor accessor;
    FakeLogicControl f;
    ASSERT_EQ(0u, f.initialize(&accessor, 1, 1, 1));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        accessor.last.clear();
        EXPECT_EQ(row.result, row.run(f));
        EXPECT_EQ(row.call, accessor.last);
    }

    uint32_t type = 0;
    VariantType value;
    float normalized = 0.0f;
    uint32_t dirty = 0;
    EXPECT_EQ(code(3), f.getLogicOutValue(3, type, value, normalized, dirty));
    EXPECT_EQ("getLogicOutValue 3 0 0 0", accessor.last);
    EXPECT_EQ(code(2), f.getLogicInValue(2, type, value, normalized, dirty));
    EXPECT_EQ("getLogicInValue 2 0 0 0", accessor.last);
    EXPECT_EQ(4u, type);
    EXPECT_EQ(2.5f, value.toFloat());
    EXPECT_EQ(0.25f, normalized);
    EXPECT_EQ(1u, dirty);
}
