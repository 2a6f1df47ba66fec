#include "dravo/manager/dravo_FunctionInstance.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

using DRAVO::ICalcCoefFunction_V1;
using DRAVO::IParamInfoFunction_V1;
using DRAVO::IUnknown;

// What the factories below made and what became of it; reset by each test.
bool g_destroyed = false;
dravotest::FakeCalcCoef* g_made = nullptr;

IUnknown* makeCalcCoef()
{
    g_made = new dravotest::FakeCalcCoef(nullptr, &g_destroyed);
    return g_made;
}

IUnknown* makeNothing()
{
    return nullptr;
}

class FunctionInstanceTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_destroyed = false;
        g_made = nullptr;
    }
};

}  // namespace

TEST_F(FunctionInstanceTest, CreateLeavesTwoReferencesAndDeleteGivesBothBack)
{
    ICalcCoefFunction_V1* function =
        DRAVO::createFunctionInstance<ICalcCoefFunction_V1>(makeCalcCoef, DRAVO::IID_ICalcCoefFunction_V1);
    ASSERT_NE(nullptr, function);
    EXPECT_EQ(static_cast<ICalcCoefFunction_V1*>(g_made), function);
    EXPECT_EQ(2u, g_made->refCount());

    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(function));
    EXPECT_EQ(nullptr, function);
    EXPECT_TRUE(g_destroyed);
    EXPECT_EQ(0u, DRAVO::deleteFunctionInstance(function));  // a cleared pointer is left alone
}

TEST_F(FunctionInstanceTest, NoFactoryOrNoObjectGivesNothing)
{
    EXPECT_EQ(nullptr, DRAVO::createFunctionInstance<ICalcCoefFunction_V1>(nullptr, DRAVO::IID_ICalcCoefFunction_V1));
    EXPECT_EQ(nullptr,
              DRAVO::createFunctionInstance<ICalcCoefFunction_V1>(makeNothing, DRAVO::IID_ICalcCoefFunction_V1));
}

TEST_F(FunctionInstanceTest, AnObjectWithoutTheAskedInterfaceIsReleasedAtOnce)
{
    // A factory exported under the wrong name: its object must not be left behind unowned.
    EXPECT_EQ(nullptr,
              DRAVO::createFunctionInstance<IParamInfoFunction_V1>(makeCalcCoef, DRAVO::IID_IParamInfoFunction_V1));
    EXPECT_TRUE(g_destroyed);
}
