#include "dravo/common/dravo_LogicPortInfo_V1.h"

#include <gtest/gtest.h>

#include <utility>

using DRAVO::VariantType;

TEST(LogicPortInfo_V1Test, StartsWithEmptyTextsInTheirBuffersAndNoLimits)
{
    DRAVO::LogicPortInfo_V1 port;
    EXPECT_EQ(49u, port.name.getAllocatedMemorySize());
    EXPECT_STREQ("", port.name.toString());
    EXPECT_EQ(0u, port.type);
    EXPECT_EQ(17u, port.expressionName.getAllocatedMemorySize());
    EXPECT_STREQ("", port.expressionName.toString());
    EXPECT_EQ(VariantType::kTypeInvalid, port.min.type());
    EXPECT_EQ(0u, port.min.getAllocatedMemorySize());
    EXPECT_EQ(VariantType::kTypeInvalid, port.max.type());

    // A name longer than the record holds is cut to 48 characters.
    EXPECT_EQ(0x80000000u, port.name.setString(std::string(60, 'n').c_str()));
    EXPECT_EQ(std::string(48, 'n'), port.name.toString());
}
