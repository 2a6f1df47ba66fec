#include "TMS/SystemInfoLocalData.h"

#include <gtest/gtest.h>

#include <string>

#include "jlib/JVariantArray.h"

TEST(SystemInfoLocalDataTest, KeepsOneValuePerNameAndIndexInFirstOrder)
{
    TMS::SystemInfoLocalData pending;
    const std::string sameText = "A";  // another pointer, same text
    ASSERT_EQ(0u, pending.setParam("A", 0, JVariant(1)));
    ASSERT_EQ(0u, pending.setParam("B", 0, "text"));
    ASSERT_EQ(0u, pending.setParam("A", 1, JVariant(2)));
    ASSERT_EQ(0u, pending.setParam(sameText.c_str(), 0, JVariant(3)));
    EXPECT_EQ(0x80000002u, pending.setParam(nullptr, 0, JVariant(1)));
    ASSERT_EQ(3u, pending.getParamNum());

    struct Case { uint32_t position; const char* name; uint32_t index; };
    const Case cases[] = {{0, "A", 0}, {1, "B", 0}, {2, "A", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        const TMS::SystemInfoLocalItem* item = pending.getParam(c.position);
        ASSERT_NE(nullptr, item);
        EXPECT_STREQ(c.name, item->name());
        EXPECT_EQ(c.index, item->index());
    }
    EXPECT_EQ(nullptr, pending.getParam(3u));

    JVariant value(99);
    ASSERT_EQ(0u, pending.getParam(value, "A", 0));
    EXPECT_EQ(3, value.toInt32());  // the later value
    ASSERT_EQ(0u, pending.getParam(value, "B", 0));
    EXPECT_STREQ("text", value.toString());
    EXPECT_EQ(0x80000009u, pending.getParam(value, "C", 0));
    EXPECT_FALSE(value.isValid());

    const JVariant values[] = {JVariant(7), JVariant(8)};
    EXPECT_EQ(0u, pending.setParamArray("C", 4, values, 2));
    EXPECT_EQ(0x80000002u, pending.setParamArray(nullptr, 0, values, 2));
    EXPECT_EQ(0x80000002u, pending.setParamArray("C", 0, nullptr, 2));
    JVariantArray array(JVariant::kTypeInt32, 4, 2);
    ASSERT_TRUE(JLIB::isSuccess(array.setValue(1, JVariant(9))));
    EXPECT_EQ(0u, pending.setParamArray("C", 4, array));
    ASSERT_EQ(0u, pending.getParam(value, "C", 5));
    EXPECT_EQ(9, value.toInt32());
    EXPECT_EQ(5u, pending.getParamNum());
    EXPECT_EQ(0u, pending.clear());
    EXPECT_EQ(0u, pending.getParamNum());
}
