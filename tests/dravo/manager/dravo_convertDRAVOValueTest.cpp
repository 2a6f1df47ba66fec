#include "dravo/manager/dravo_convertDRAVOValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PDB/pdb_ParameterInfo.h"
#include "dravo/common/dravo_VariantType.h"
#include "jlib/JVariant.h"

using DRAVO::VariantType;

TEST(convertDRAVOValueTest, DatabaseValuesBecomeVariantValues)
{
    const unsigned char bytes[3] = {1, 0, 3};
    struct Case {
        const char* name;
        JVariant in;
        uint32_t memory;
        uint32_t result;
        uint32_t type;
    };
    const Case cases[] = {
        {"Int32", JVariant(-5), 0, 0, 3},
        {"UInt32", JVariant(7u), 0, 0, 1},
        {"Float", JVariant(1.5f), 0, 0, 5},
        {"String", JVariant("abc", 10), 4, 0, 7},
        {"Binary", JVariant(bytes, 3), 3, 0, 8},
        {"invalid", JVariant(), 8, 0x80000000u, 0},
        {"String without buffer", JVariant("abc", 10), 0, 0x80000000u, 0},
        {"String cut to the buffer", JVariant("abcdef", 10), 4, 0x80000000u, 7},
        {"Binary larger than the buffer", JVariant(bytes, 3), 2, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VariantType out(c.memory);
        (void)out.setUInt32(99);  // an older value that must not survive a failure
        EXPECT_EQ(c.result, DRAVO::convertPDBToDRAVOValue(c.in, out));
        EXPECT_EQ(c.type, out.type());
    }

    VariantType value(8);
    ASSERT_EQ(0u, DRAVO::convertPDBToDRAVOValue(JVariant(-5), value));
    EXPECT_EQ(-5, value.toInt32());
    ASSERT_EQ(0u, DRAVO::convertPDBToDRAVOValue(JVariant(0xFFFFFFFFu), value));
    EXPECT_EQ(0xFFFFFFFFu, value.toUInt32());
    ASSERT_EQ(0u, DRAVO::convertPDBToDRAVOValue(JVariant(-2.5f), value));
    EXPECT_EQ(-2.5f, value.toFloat());
    ASSERT_EQ(0u, DRAVO::convertPDBToDRAVOValue(JVariant("text", 10), value));
    EXPECT_STREQ("text", value.toString());
    ASSERT_EQ(0u, DRAVO::convertPDBToDRAVOValue(JVariant(bytes, 3), value));
    ASSERT_EQ(3u, value.getBinaryLength());
    EXPECT_EQ(0, std::memcmp(bytes, value.toBinary(), 3));
    EXPECT_EQ(0x80000000u, DRAVO::convertPDBToDRAVOValue(JVariant("abcdefghij", 20), value));
    EXPECT_STREQ("abcdefg", value.toString());
}

TEST(convertDRAVOValueTest, VariantValuesBecomeDatabaseValues)
{
    const uint8_t bytes[2] = {9, 8};
    VariantType text(8);
    ASSERT_EQ(0u, text.setString("abc"));
    VariantType binary(4);
    ASSERT_EQ(0u, binary.setBinary(bytes, 2));
    VariantType u32, s32, f32, invalid, u64, s64, f64, empty(4);
    (void)u32.setUInt32(0xFFFFFFFEu);
    (void)s32.setInt32(-9);
    (void)f32.setFloat(0.25f);
    (void)u64.setUInt64(1);
    (void)s64.setInt64(-1);
    (void)f64.setDouble(0.5);
    ASSERT_EQ(0u, empty.setBinary(bytes, 0));

    struct Case {
        const char* name;
        const VariantType& in;
        uint32_t result;
        int type;
    };
    const Case cases[] = {
        {"uint32", u32, 0, JVariant::kTypeUInt32},
        {"int32", s32, 0, JVariant::kTypeInt32},
        {"float", f32, 0, JVariant::kTypeFloat},
        {"text", text, 0, JVariant::kTypeString},
        {"bytes", binary, 0, JVariant::kTypeBinary},
        {"invalid", invalid, 0x80000000u, JVariant::kTypeInvalid},
        {"uint64", u64, 0x80000000u, JVariant::kTypeInvalid},
        {"int64", s64, 0x80000000u, JVariant::kTypeInvalid},
        {"double", f64, 0x80000000u, JVariant::kTypeInvalid},
        {"empty byte string", empty, 0x80000000u, JVariant::kTypeInvalid},  // the database holds none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JVariant out(12345u);
        EXPECT_EQ(c.result, DRAVO::convertDRAVOToPDBValue(c.in, out));
        EXPECT_EQ(c.type, out.getType());
    }

    JVariant out;
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(u32, out));
    EXPECT_EQ(0xFFFFFFFEu, out.toUInt32());
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(s32, out));
    EXPECT_EQ(-9, out.toInt32());
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(f32, out));
    EXPECT_EQ(0.25f, out.toFloat());
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(text, out));
    EXPECT_STREQ("abc", out.toString());
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(binary, out));
    ASSERT_EQ(2u, out.getBinaryLength());
    EXPECT_EQ(8, out.toBinary()[1]);
}

TEST(convertDRAVOValueTest, LongTextsUpToWhatTheDatabaseValueHolds)
{
    VariantType text(1100);
    ASSERT_EQ(0u, text.setString(std::string(1023, 'a').c_str()));
    JVariant out;
    ASSERT_EQ(0u, DRAVO::convertDRAVOToPDBValue(text, out));
    EXPECT_EQ(1023u, std::strlen(out.toString()));

    ASSERT_EQ(0u, text.setString(std::string(1024, 'a').c_str()));
    EXPECT_EQ(0x80000000u, DRAVO::convertDRAVOToPDBValue(text, out));
    EXPECT_FALSE(out.isValid());  // not the "ERROR:" stand-in
}

TEST(convertDRAVOValueTest, BufferSizeFollowsTheParameterType)
{
    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t size;
    };
    const Case cases[] = {
        {0x50, 32, 33}, {0x50, 1, 2}, {0x60, 8, 8}, {0x14, 4, 0}, {0x34, 4, 0}, {0x10, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        PDB::ParameterInfo info;
        info.type = c.type;
        info.itemSize = c.itemSize;
        EXPECT_EQ(c.size, DRAVO::calcDRAVOValueMemorySizeToAllocate(info));
    }
}
