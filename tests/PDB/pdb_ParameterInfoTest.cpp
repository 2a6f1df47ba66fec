#include "PDB/pdb_ParameterInfo.h"

#include <gtest/gtest.h>

#include "PDB/pdb_ParamRawArray.h"

TEST(ParameterInfoTest, FreshAndClearedDefinitionsHoldTheInitialValues)
{
    PDB::ParameterInfo info;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ("<unknown>", info.strAddress);
        EXPECT_EQ(0, info.type);
        EXPECT_EQ(0, info.attr.areaTag());
        EXPECT_EQ(0, info.attr.flags());
        EXPECT_EQ(0u, info.itemSize);
        EXPECT_EQ(1u, info.patternX);
        EXPECT_EQ(1u, info.patternY);
        EXPECT_EQ(0u, info.numX);
        EXPECT_EQ(0u, info.numY);
        EXPECT_FALSE(info.min.isValid());
        EXPECT_FALSE(info.def.isValid());
        EXPECT_FALSE(info.step.isValid());
        EXPECT_EQ(1u, info.scaling);
        EXPECT_TRUE(info.unit.empty());
        EXPECT_FALSE(info.isValid());

        info.strAddress = "Gain";
        info.type = PDB::kTypeFloat;
        info.itemSize = 4;
        info.numX = info.numY = 2;
        info.def = JVariant(1.5f);
        info.unit = "dB";
        info.attr.set('a', 3);
        EXPECT_TRUE(info.isValid());
        EXPECT_EQ(0u, info.clear());
    }
}

TEST(ParameterInfoTest, CopiesAreDeep)
{
    PDB::ParameterInfo info;
    info.strAddress = "Name";
    info.def = JVariant("hello", 100);
    PDB::ParameterInfo copy = info;
    info.def = JVariant("other", 100);
    info.strAddress = "X";
    EXPECT_STREQ("hello", copy.def.toString());
    EXPECT_EQ("Name", copy.strAddress);
}

TEST(ParameterInfoTest, ValidityNeedsKnownKindMatchingSizeAndShape)
{
    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t numX, numY;
        bool valid;
    };
    const Case cases[] = {
        {0x14, 4, 1, 1, true},   {0x14, 2, 1, 1, false},  {0x11, 1, 3, 2, true},  {0x41, 1, 1, 1, true},
        {0x50, 16, 1, 1, true},  {0x50, 0, 1, 1, false},  {0x60, 3, 1, 1, true},  {0x70, 4, 1, 1, false},
        {0x04, 4, 1, 1, false},  {0x00, 0, 1, 1, false},  {0x14, 4, 0, 1, false}, {0x14, 4, 1, 0, false},
        // 65535 * 65535 elements of 4 bytes cannot be stored in a 32-bit size
        {0x14, 4, 65535, 65535, false}, {0x11, 1, 65535, 65535, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.type) << " " << c.itemSize << " " << c.numX << "x"
                                        << c.numY);
        PDB::ParameterInfo info;
        info.type = c.type;
        info.itemSize = c.itemSize;
        info.numX = c.numX;
        info.numY = c.numY;
        EXPECT_EQ(c.valid, info.isValid());
    }
}

TEST(ParameterInfoTest, RefreshAppliesSizePatterns)
{
    struct Case {
        uint32_t patternX, patternY;
        uint32_t componentX, componentY;
        uint32_t result;
        uint32_t numX, numY;
    };
    const Case cases[] = {
        {0x10000002, 1, 5, 9, 0, 10, 1},       // multiple
        {0x20000002, 1, 5, 9, 0, 3, 1},        // fraction, rounded up
        {0x20000002, 1, 4, 9, 0, 2, 1},
        {0x00000004, 1, 5, 9, 0, 4, 1},        // fixed, whatever the component size
        {0x00000004, 1, 60000, 9, 0, 4, 1},
        {0x30000007, 1, 5, 9, 0, 7, 1},        // any other rule is fixed
        {1, 0x10000003, 5, 9, 0, 1, 27},
        {0x10000000, 1, 5, 9, 0x80000001, 0, 0},  // N of 0 fails
        {1, 0x20000000, 5, 9, 0x80000001, 0, 0},
        {0x2000FFFF, 0x1000FFFF, 65535, 65535, 0, 1, 65535u * 65535u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.patternX << " " << c.patternY);
        PDB::ParameterInfo info;
        info.type = PDB::kTypeUInt8;
        info.itemSize = 1;
        info.patternX = c.patternX;
        info.patternY = c.patternY;
        info.numX = info.numY = 77;  // shows that a failure clears them
        EXPECT_EQ(c.result, info.refreshXY(c.componentX, c.componentY));
        EXPECT_EQ(c.numX, info.numX);
        EXPECT_EQ(c.numY, info.numY);
        EXPECT_EQ(c.numX * c.numY, info.totalNum());
    }
}

TEST(ParameterInfoTest, RefreshRefusesShapesWhoseStorageWouldWrap)
{
    PDB::ParameterInfo info;
    info.type = PDB::kTypeUInt32;
    info.itemSize = 4;
    info.patternX = 0x1000FFFF;
    info.patternY = 0x1000FFFF;
    EXPECT_EQ(0x80000001u, info.refreshXY(2, 2));  // 131070 x 131070 elements
    EXPECT_EQ(0u, info.numX);
    EXPECT_EQ(0u, info.numY);
    EXPECT_EQ(0x80000001u, info.refreshXY(65535, 65535));  // x alone past 32 bits
    EXPECT_FALSE(info.isValid());

    info.patternX = 0x1000FFFF;
    info.patternY = 0x00000001;
    EXPECT_EQ(0x80000001u, info.refreshXY(65535, 1));  // 65535^2 elements * 4 bytes
    EXPECT_EQ(0u, info.dataSize());

    info.patternX = 0x00000400;
    info.patternY = 0x00000400;
    EXPECT_EQ(0u, info.refreshXY(1, 1));
    EXPECT_EQ(4u * 1024u * 1024u, info.dataSize());
}

TEST(ParameterInfoTest, DataSizeFollowsTheStorageLayout)
{
    struct Case {
        uint8_t type;
        uint32_t itemSize;
        uint32_t numX, numY;
        uint32_t size;
    };
    const Case cases[] = {
        {0x11, 1, 3, 1, 4},  {0x12, 2, 3, 1, 8},   {0x14, 4, 3, 1, 12}, {0x21, 1, 5, 1, 8},
        {0x22, 2, 1, 1, 4},  {0x24, 4, 2, 2, 16},  {0x34, 4, 1, 3, 12}, {0x41, 1, 3, 11, 8},
        {0x41, 1, 1, 32, 4}, {0x50, 10, 3, 1, 36}, {0x60, 4, 2, 1, 8},  {0x60, 5, 2, 1, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.type));
        PDB::ParameterInfo info;
        info.type = c.type;
        info.itemSize = c.itemSize;
        info.numX = c.numX;
        info.numY = c.numY;
        EXPECT_EQ(c.size, info.dataSize());
    }
}
