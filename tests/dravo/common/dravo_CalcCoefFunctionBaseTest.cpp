#include "dravo/common/dravo_CalcCoefFunctionBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

using DRAVO::VariantType;
using dravotest::FakeCalcCoef;

// What RecordingAccessor answers for these arguments.
double code(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0)
{
    return 0x100 + a * 1000 + b * 100 + c * 10 + d;
}

struct Row {
    const char* call;  // as the accessor records it; empty when no accessor is asked
    std::function<double(const FakeCalcCoef&)> run;
    double result;
};

const uint8_t kBytes[2] = {1, 2};

}  // namespace

TEST(CalcCoefFunctionBaseTest, HelpersWithoutAccessorAnswerNeutralValues)
{
    const Row rows[] = {
        {"", [](const FakeCalcCoef& f) { return double(f.getParamUInt32(1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getParamSInt32(1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getParamFloat(1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getParamBool(1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { char b[4]; return double(f.getParamString(1, 2, 3, b, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { uint8_t b[4]; return double(f.getParamBinary(1, 2, 3, b, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.getParamNumX(1)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getParamNumY(1)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.setCoefUInt32(0, 1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setCoefSInt32(0, 1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setCoefFloat(0, 1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setCoefDouble(0, 1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.getMeterUInt32(0, 1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getMeterSInt32(0, 1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.getMeterFloat(0, 1, 2, 3)); }, 0},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamUInt32(1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamSInt32(1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamFloat(1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamBool(1, 2, 3, 4)); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamString(1, 2, 3, "abc")); }, 0x80000000u},
        {"", [](const FakeCalcCoef& f) { return double(f.setParamBinary(1, 2, 3, kBytes, 2)); }, 0x80000000u},
    };
    const FakeCalcCoef f;
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].result, rows[i].run(f));
    }

    using LimitReader = uint32_t (FakeCalcCoef::*)(uint32_t, VariantType&) const;
    for (LimitReader read : {&FakeCalcCoef::getParamMin, &FakeCalcCoef::getParamMax, &FakeCalcCoef::getParamDefault,
                             &FakeCalcCoef::getParamNominal, &FakeCalcCoef::getParamStep}) {
        VariantType value;
        (void)value.setUInt32(5);  // must not pass for a limit
        EXPECT_EQ(0x80000000u, (f.*read)(1, value));
        EXPECT_EQ(VariantType::kTypeInvalid, value.type());
    }
}

TEST(CalcCoefFunctionBaseTest, HelpersForwardToTheAccessorHandedToInitialize)
{
    const Row rows[] = {
        {"getParamUInt32 1 2 3 0", [](const FakeCalcCoef& f) { return double(f.getParamUInt32(1, 2, 3)); }, code(1, 2, 3)},
        {"getParamSInt32 1 2 3 0", [](const FakeCalcCoef& f) { return double(f.getParamSInt32(1, 2, 3)); },
         -code(1, 2, 3)},
        {"getParamFloat 1 2 3 0", [](const FakeCalcCoef& f) { return double(f.getParamFloat(1, 2, 3)); },
         code(1, 2, 3) / 2},
        {"getParamBool 1 2 3 0", [](const FakeCalcCoef& f) { return double(f.getParamBool(1, 2, 3)); }, 1},
        {"getParamString 1 2 3 4", [](const FakeCalcCoef& f) { char b[4]; return double(f.getParamString(1, 2, 3, b, 4)); },
         code(1, 2, 3, 4)},
        {"getParamBinary 1 2 3 4",
         [](const FakeCalcCoef& f) { uint8_t b[4]; return double(f.getParamBinary(1, 2, 3, b, 4)); }, code(1, 2, 3, 4)},
        {"getParamNumX 6 0 0 0", [](const FakeCalcCoef& f) { return double(f.getParamNumX(6)); }, code(6)},
        {"getParamNumY 7 0 0 0", [](const FakeCalcCoef& f) { return double(f.getParamNumY(7)); }, code(7)},
        {"getParamMin 1 0 0 0", [](const FakeCalcCoef& f) { VariantType v; return double(f.getParamMin(1, v)); }, code(1)},
        {"getParamMax 2 0 0 0", [](const FakeCalcCoef& f) { VariantType v; return double(f.getParamMax(2, v)); }, code(2)},
        {"getParamDefault 3 0 0 0", [](const FakeCalcCoef& f) { VariantType v; return double(f.getParamDefault(3, v)); },
         code(3)},
        {"getParamNominal 4 0 0 0", [](const FakeCalcCoef& f) { VariantType v; return double(f.getParamNominal(4, v)); },
         code(4)},
        {"getParamStep 5 0 0 0", [](const FakeCalcCoef& f) { VariantType v; return double(f.getParamStep(5, v)); },
         code(5)},
        {"setCoefUInt32 0 1 2 7", [](const FakeCalcCoef& f) { return double(f.setCoefUInt32(0, 1, 2, 3, 4)); },
         code(0, 1, 2, 7)},
        {"setCoefSInt32 0 1 2 7", [](const FakeCalcCoef& f) { return double(f.setCoefSInt32(0, 1, 2, 3, 4)); },
         code(0, 1, 2, 7)},
        {"setCoefFloat 0 1 2 7", [](const FakeCalcCoef& f) { return double(f.setCoefFloat(0, 1, 2, 3, 4)); },
         code(0, 1, 2, 7)},
        {"setCoefDouble 0 1 2 7", [](const FakeCalcCoef& f) { return double(f.setCoefDouble(0, 1, 2, 3, 4)); },
         code(0, 1, 2, 7)},
        {"getMeterUInt32 0 1 2 3", [](const FakeCalcCoef& f) { return double(f.getMeterUInt32(0, 1, 2, 3)); },
         code(0, 1, 2, 3)},
        {"getMeterSInt32 0 1 2 3", [](const FakeCalcCoef& f) { return double(f.getMeterSInt32(0, 1, 2, 3)); },
         -code(0, 1, 2, 3)},
        {"getMeterFloat 0 1 2 3", [](const FakeCalcCoef& f) { return double(f.getMeterFloat(0, 1, 2, 3)); },
         code(0, 1, 2, 3) / 2},
        {"setParamUInt32 1 2 3 4", [](const FakeCalcCoef& f) { return double(f.setParamUInt32(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamSInt32 1 2 3 4", [](const FakeCalcCoef& f) { return double(f.setParamSInt32(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamFloat 1 2 3 4", [](const FakeCalcCoef& f) { return double(f.setParamFloat(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamBool 1 2 3 4", [](const FakeCalcCoef& f) { return double(f.setParamBool(1, 2, 3, 4)); },
         code(1, 2, 3, 4)},
        {"setParamString 1 2 3 3", [](const FakeCalcCoef& f) { return double(f.setParamString(1, 2, 3, "abc")); },
         code(1, 2, 3, 3)},
        {"setParamBinary 1 2 3 2", [](const FakeCalcCoef& f) { return double(f.setParamBinary(1, 2, 3, kBytes, 2)); },
         code(1, 2, 3, 2)},
    };
    dravotest::FakeDescription description;
    dravotest::RecordingAccessor accessor;
    FakeCalcCoef f(&description);
    ASSERT_EQ(0u, f.initialize(&accessor, 1, 1, 1, 0, 0, 32, 96000));
    EXPECT_EQ(&accessor, f.managerAccessor());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        accessor.last.clear();
        EXPECT_EQ(row.result, row.run(f));
        EXPECT_EQ(row.call, accessor.last);
    }
    VariantType limit;
    ASSERT_EQ(code(2), f.getParamMax(2, limit));
    EXPECT_EQ(42u, limit.toUInt32());  // the accessor's value reaches the library
}
