#include "MMS/Common/mms_JVariantWrapper.h"

#include <gtest/gtest.h>

#include "jlib/JVariant.h"
#include "jlib/JVariantArray.h"

namespace {

using MMS::JVariantWrapper;

TEST(JVariantWrapperTest, WritesAndReadsWhicheverTargetItHas)
{
    JVariant single;
    JVariantWrapper toSingle(&single);
    toSingle = static_cast<signed char>(-3);
    EXPECT_EQ(JVariant::kTypeInt32, single.getType());
    EXPECT_EQ(-3, toSingle.toInt32());
    toSingle = static_cast<unsigned short>(65535);
    EXPECT_EQ(JVariant::kTypeUInt32, single.getType());
    EXPECT_EQ(0u, toSingle.setString("abcdef", 3));
    EXPECT_STREQ("abc", single.toString());

    JVariantArray array(JVariant::kTypeString, 4, 3);
    JVariantWrapper toElement(&array, 1);
    EXPECT_EQ(JVariant::kTypeString, toElement.getType());
    EXPECT_EQ(0u, toElement.setString("longer than the slot", 20));  // cut to the slot
    JVariant read;
    ASSERT_EQ(JVariant::kOk, array.getValue(&read, 1));
    EXPECT_STREQ("long", read.toString());
    JVariantWrapper beyond(&array, 3);
    EXPECT_EQ(0x80000002u, beyond.setString("a", 1));

    JVariantWrapper nothing;
    bool ok = true;
    EXPECT_EQ(JVariant::kTypeInvalid, nothing.getType());
    EXPECT_EQ(0, nothing.toInt32(&ok));
    EXPECT_FALSE(ok);
    nothing = 5;  // ignored
    EXPECT_EQ(0x80000002u, nothing.setString("a", 1));
}

}  // namespace
