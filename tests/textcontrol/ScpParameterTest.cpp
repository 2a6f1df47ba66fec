#include "textcontrol/ScpParameter.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"
#include "textcontrol/ScpAddressAttrib.h"

using ScpTest::fromUtf8;
using ScpTest::toUtf8;

TEST(ScpParameterTest, DefaultModelAnswersIndexZeroAndEmptyValues)
{
    SCP::ScpParameter model;
    EXPECT_EQ(0u, model.initialize(nullptr));
    uint32_t index = 77;
    EXPECT_EQ(0u, model.getIndexFromAddress(index, fromUtf8("any/address")));
    EXPECT_EQ(0u, index);
    EXPECT_EQ(0u, model.getAddressNum());
    JVariant value("text", 10);
    EXPECT_EQ(0u, model.getValue(value, 0, 0, 0, 0));
    EXPECT_EQ(JVariant::kTypeInt32, value.getType());
    EXPECT_EQ(0, value.toInt32());
    SCP::ScpString text = fromUtf8("stale", 33);
    EXPECT_EQ(0u, model.getText(text, 0, 0, 0, 0));
    EXPECT_EQ("", toUtf8(text));
    uint32_t ratio = 5;
    EXPECT_EQ(0u, model.getRatio(ratio, 1000, 0, 0, 0, 0));
    EXPECT_EQ(0u, ratio);

    SCP::ScpAddressAttrib attrib;
    attrib.xnum = 4;
    attrib.type = SCP::ScpAddressAttrib::kTypeString;
    EXPECT_EQ(0u, model.getAttrib(attrib, 0));
    EXPECT_EQ(0u, attrib.xnum);
    EXPECT_EQ(SCP::ScpAddressAttrib::kTypeInteger, attrib.type);
    EXPECT_FALSE(attrib.def.isValid());

    uint32_t snapshot = 9;
    bool modified = true;
    EXPECT_EQ(0u, model.getCurrentSnapshot(snapshot, modified, fromUtf8("")));
    EXPECT_EQ(0u, snapshot);
    EXPECT_FALSE(modified);
}
