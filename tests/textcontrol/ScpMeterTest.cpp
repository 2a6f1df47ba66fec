#include "textcontrol/ScpMeter.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"

using ScpTest::fromUtf8;

TEST(ScpMeterTest, DefaultModelLeavesOutputsAlone)
{
    SCP::ScpMeter meter;
    EXPECT_EQ(0u, meter.initialize());
    EXPECT_EQ(0u, meter.getAddressNum());
    uint32_t index = 42;
    EXPECT_EQ(0u, meter.getIndexFromAddress(index, fromUtf8("m")));
    EXPECT_EQ(42u, index);
}
