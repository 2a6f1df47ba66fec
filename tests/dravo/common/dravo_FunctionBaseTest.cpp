#include "dravo/common/dravo_FunctionBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

using dravotest::FakeDescription;

// The four bases through the library objects a test derives from them, with their own identifier.
template <class Fake, const DRAVO::GUID& kIid, class Interface>
struct Base {
    using Object = Fake;
    using Named = Interface;
    using Asked = Interface;
    static const DRAVO::GUID& iid() { return kIid; }
};

using Bases = testing::Types<
    Base<dravotest::FakeParamInfo, DRAVO::IID_IParamInfoFunction_V1, DRAVO::IParamInfoFunction_V1>,
    Base<dravotest::FakeCalcCoef, DRAVO::IID_ICalcCoefFunction_V1, DRAVO::ICalcCoefFunction_V1>,
    Base<dravotest::FakeAudioProcess, DRAVO::IID_IAudioProcessFunction_V1, DRAVO::IAudioProcessFunction_V1>,
    Base<dravotest::FakeLogicControl, DRAVO::IID_ILogicControlFunction_V1, DRAVO::ILogicControlFunction_V1>>;

// Test names carry the base's name.
struct BaseNames {
    template <class T>
    static std::string GetName(int)
    {
        if constexpr (std::is_same_v<typename T::Named, DRAVO::IParamInfoFunction_V1>) return "ParamInfo";
        if constexpr (std::is_same_v<typename T::Named, DRAVO::ICalcCoefFunction_V1>) return "CalcCoef";
        if constexpr (std::is_same_v<typename T::Named, DRAVO::IAudioProcessFunction_V1>) return "AudioProcess";
        return "LogicControl";
    }
};

template <class T>
class FunctionBaseTest : public testing::Test {};
TYPED_TEST_SUITE(FunctionBaseTest, Bases, BaseNames);

const DRAVO::GUID* const kAllIids[] = {&DRAVO::IID_IUnknown, &DRAVO::IID_IParamInfoFunction_V1,
                                       &DRAVO::IID_ICalcCoefFunction_V1, &DRAVO::IID_IAudioProcessFunction_V1,
                                       &DRAVO::IID_ILogicControlFunction_V1};

}  // namespace

TYPED_TEST(FunctionBaseTest, AnswersItsOwnInterfacesAndIsGoneAfterTheLastRelease)
{
    bool destroyed = false;
    auto* object = new typename TypeParam::Object(nullptr, &destroyed);
    EXPECT_EQ(1u, object->refCount());

    for (const DRAVO::GUID* iid : kAllIids) {
        const bool own = *iid == DRAVO::IID_IUnknown || *iid == TypeParam::iid();
        const uint32_t before = object->refCount();
        void* asked = object->queryInterface(*iid);
        if (own) {
            EXPECT_EQ(before + 1, object->refCount());
        } else {
            EXPECT_EQ(nullptr, asked);
            EXPECT_EQ(before, object->refCount());  // no reference taken for a refusal
        }
    }
    // Both answers are the same object, reachable through the asked type.
    EXPECT_EQ(static_cast<DRAVO::IUnknown*>(object), object->queryInterface(DRAVO::IID_IUnknown));
    EXPECT_EQ(static_cast<typename TypeParam::Asked*>(object), object->queryInterface(TypeParam::iid()));
    ASSERT_EQ(5u, object->refCount());

    EXPECT_EQ(6u, object->addRef());
    for (uint32_t left = 5; left > 0; --left) EXPECT_EQ(left, object->release());
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(0u, object->release());
    EXPECT_TRUE(destroyed);
}

TYPED_TEST(FunctionBaseTest, DescriptiveQueriesAnswerFromTheDescription)
{
    FakeDescription description;
    typename TypeParam::Object object(&description);
    EXPECT_EQ(7u, object.getRequiredSystemVersion());
    EXPECT_STREQ("Fake", object.getComponentName());
    EXPECT_EQ(3u, object.getComponentMajorVersion());
    EXPECT_EQ(4u, object.getComponentMinorVersion());
    EXPECT_EQ(5u, object.getComponentRevision());
    EXPECT_EQ(1u, object.getMinX());
    EXPECT_EQ(1u, object.getMinY());
    EXPECT_EQ(4u, object.getMaxX());
    EXPECT_EQ(2u, object.getMaxY());
    EXPECT_TRUE(object.isNumXYValid(4, 2));
    EXPECT_FALSE(object.isNumXYValid(5, 1));

    const PARRAY::ArrayInfo* table = nullptr;
    uint32_t count = 0;
    description.tableResult = 0x80000000u;  // the description's own answer comes through
    EXPECT_EQ(0x80000000u, object.getCoefArrayInfoTable(table, count));
    EXPECT_EQ(description.coefTable, table);
    EXPECT_EQ(1u, count);
    description.tableResult = 0;
    EXPECT_EQ(0u, object.getMeterArrayInfoTable(table, count));
    EXPECT_EQ(description.meterTable, table);
    EXPECT_EQ(2u, count);

    EXPECT_EQ(1321u, object.calcNumInPort(3, 2, 1));
    EXPECT_EQ(2321u, object.calcNumOutPort(3, 2, 1));
    EXPECT_EQ(3321u, object.calcNumInPortForAudioProcess(3, 2, 1));
    EXPECT_EQ(4321u, object.calcNumOutPortForAudioProcess(3, 2, 1));
    char name[32] = {};
    EXPECT_EQ(32u, object.calcFixedInPortName(3, 2, 1, 6, name, sizeof name));
    EXPECT_STREQ("in 3 2 1 6", name);
    EXPECT_EQ(32u, object.calcFixedOutPortName(3, 2, 1, 7, name, sizeof name));
    EXPECT_STREQ("out 3 2 1 7", name);
    EXPECT_EQ(5321u, object.calcResourceUsage(3, 2, 1, "OPV-D CPU", 96000, 32, "step"));
    EXPECT_EQ("OPV-D CPU 96000 32 step", description.lastResourceQuery);

    description.name = nullptr;
    EXPECT_STREQ("", object.getComponentName());
}

TYPED_TEST(FunctionBaseTest, WithoutDescriptionTheQueriesAnswerNeutralValues)
{
    typename TypeParam::Object object(nullptr);
    EXPECT_STREQ("", object.getComponentName());
    EXPECT_EQ(0u, object.getComponentMajorVersion() | object.getMaxX() | object.getRequiredSystemVersion());
    EXPECT_FALSE(object.isNumXYValid(1, 1));
    const PARRAY::ArrayInfo dummy[1] = {};
    const PARRAY::ArrayInfo* table = dummy;
    uint32_t count = 9;
    EXPECT_EQ(0x80000000u, object.getCoefArrayInfoTable(table, count));
    EXPECT_EQ(nullptr, table);
    EXPECT_EQ(0u, count);
    char name[8] = "x";
    EXPECT_EQ(0x80000000u, object.calcFixedInPortName(1, 1, 1, 0, name, sizeof name));
    EXPECT_STREQ("x", name);
    EXPECT_EQ(0u, object.calcResourceUsage(1, 1, 1, "OPV-D CPU", 96000, 32, "step"));
}
