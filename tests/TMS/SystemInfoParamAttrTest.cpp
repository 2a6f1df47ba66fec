#include "TMS/SystemInfoParamAttr.h"

#include <gtest/gtest.h>

#include <string>

#include "TMS/SystemInfoNodeStruct.h"

TEST(SystemInfoParamAttrTest, BuildsValuesByType)
{
    struct Case { TMS::SystemInfoNodeStruct row; uint32_t result; int type; int64_t min; int64_t max; const char* def; };
    const Case cases[] = {
        {{"S", 1, 0, 1, "-0x10", "077", "12"}, 0, JVariant::kTypeInt32, -16, 63, "12"},
        {{"U", 1, 0, 2, "0", "0xFFFFFFFF", "0x20"}, 0, JVariant::kTypeUInt32, 0, 0xFFFFFFFFll, "32"},
        {{"T", 1, 0, 3, "ignored", "3", "abcdef"}, 0, JVariant::kTypeString, 0, 3, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row.name);
        TMS::SystemInfoParamAttr attr;
        ASSERT_EQ(c.result, attr.set(c.row));
        EXPECT_EQ(c.row.name, attr.name());
        EXPECT_EQ(c.row.type, attr.type());
        EXPECT_EQ(c.type, attr.defaultValue().getType());
        if (c.type == JVariant::kTypeString) {
            EXPECT_STREQ(c.def, attr.defaultValue().toString());
            EXPECT_EQ(JVariant::kTypeInt32, attr.minimum().getType());
            EXPECT_EQ(JVariant::kTypeUInt32, attr.maximum().getType());
        } else if (c.type == JVariant::kTypeInt32) {
            EXPECT_EQ(c.min, attr.minimum().toInt32());
            EXPECT_EQ(c.max, attr.maximum().toInt32());
            EXPECT_EQ(std::stoi(c.def), attr.defaultValue().toInt32());
        } else {
            EXPECT_EQ(c.min, attr.minimum().toUInt32());
            EXPECT_EQ(c.max, attr.maximum().toUInt32());
            EXPECT_EQ(std::stoul(c.def), attr.defaultValue().toUInt32());
        }
    }
}

TEST(SystemInfoParamAttrTest, RefusedRowsAndEquality)
{
    const TMS::SystemInfoNodeStruct good = {"P", 1, 0, 1, "0", "4", "0"};
    TMS::SystemInfoParamAttr attr;
    ASSERT_EQ(0u, attr.set(good));
    const TMS::SystemInfoNodeStruct typeZero = {"Z", 2, 0, 0, "0", "4", "0"};
    EXPECT_EQ(0x80000002u, attr.set(typeZero));
    EXPECT_STREQ("P", attr.name());  // left as it was
    const TMS::SystemInfoNodeStruct typeNine = {"N", 1, 0, 9, "0", "4", "0"};
    EXPECT_EQ(0x80000002u, attr.set(typeNine));
    EXPECT_EQ(nullptr, attr.name());  // cleared
    EXPECT_EQ(0u, attr.type());
    EXPECT_FALSE(attr.defaultValue().isValid());

    const std::string sameName = "P";
    struct Case { TMS::SystemInfoNodeStruct row; bool equal; };
    const Case cases[] = {
        {{sameName.c_str(), 1, 0, 1, "0", "4", "0"}, true},
        {{"Q", 1, 0, 1, "0", "4", "0"}, false},
        {{"P", 2, 0, 1, "0", "4", "0"}, false},
        {{"P", 1, 1, 1, "0", "4", "0"}, false},
        {{"P", 1, 0, 2, "0", "4", "0"}, false},
        {{"P", 1, 0, 1, "1", "4", "0"}, false},
        {{"P", 1, 0, 1, "0", "5", "0"}, false},
        {{"P", 1, 0, 1, "0", "4", "2"}, false},
    };
    TMS::SystemInfoParamAttr base;
    ASSERT_EQ(0u, base.set(good));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row.name << c.row.num << c.row.reserved << c.row.type << c.row.min
                                        << c.row.max << c.row.def);
        TMS::SystemInfoParamAttr other;
        ASSERT_EQ(0u, other.set(c.row));
        EXPECT_EQ(c.equal, base == other);
    }
}
