#include "PDB/pdb_ParameterAttr.h"

#include <gtest/gtest.h>

TEST(ParamAttrTest, FlagBitsReadTheirOwnBit)
{
    struct Case {
        uint8_t flags;
        bool recallable, nonVolatile, syncable, noEdit, isPrivate;
    };
    const Case cases[] = {
        {0x00, false, false, false, false, false}, {0x01, true, false, false, false, false},
        {0x02, false, true, false, false, false},  {0x04, false, false, true, false, false},
        {0x08, false, false, false, true, false},  {0x10, false, false, false, false, true},
        {0xE0, false, false, false, false, false}, {0x1F, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.flags));
        const PDB::ParamAttr attr('A', c.flags);
        EXPECT_EQ('A', attr.areaTag());
        EXPECT_EQ(c.flags, attr.flags());
        EXPECT_EQ(c.recallable, attr.isRecallable());
        EXPECT_EQ(c.nonVolatile, attr.isNonVolatile());
        EXPECT_EQ(c.syncable, attr.isSyncable());
        EXPECT_EQ(c.noEdit, attr.hasNoEditMFlag());
        EXPECT_EQ(c.isPrivate, attr.isPrivate());
    }
}

TEST(ParamAttrTest, ImageIsTagThenFlagsAndRefusesMissingRoom)
{
    PDB::ParamAttr attr('Z', 0x05);
    uint8_t image[3] = {0xAA, 0xAA, 0xAA};
    EXPECT_EQ(0u, attr.exportData(image, 2));
    EXPECT_EQ('Z', image[0]);
    EXPECT_EQ(0x05, image[1]);
    EXPECT_EQ(0xAA, image[2]);

    uint8_t untouched[2] = {0x11, 0x11};
    EXPECT_EQ(0x80000000u, attr.exportData(untouched, 1));
    EXPECT_EQ(0x80000000u, attr.exportData(nullptr, 2));
    EXPECT_EQ(0x11, untouched[0]);

    const PDB::ParamAttr fromImage(image);
    EXPECT_EQ('Z', fromImage.areaTag());
    EXPECT_EQ(0x05, fromImage.flags());
    const PDB::ParamAttr fromNull(static_cast<const uint8_t*>(nullptr));
    EXPECT_EQ(0, fromNull.areaTag());
    EXPECT_EQ(0, fromNull.flags());

    EXPECT_EQ(0x80000000u, attr.importData(nullptr));
    EXPECT_EQ(0u, attr.clear());
    EXPECT_EQ(0, attr.areaTag());
    EXPECT_EQ(0, attr.flags());
    EXPECT_EQ(0u, attr.set('q', 0x12));
    EXPECT_EQ('q', attr.areaTag());
}

TEST(SubscribeAttrTest, IsDirtyWhenRecalledOnlyForExactlyOne)
{
    EXPECT_FALSE(PDB::SubscribeAttr().dirtyWhenRecall());
    EXPECT_TRUE(PDB::SubscribeAttr(1).dirtyWhenRecall());
    EXPECT_FALSE(PDB::SubscribeAttr(3).dirtyWhenRecall());
    EXPECT_FALSE(PDB::SubscribeAttr(0x81).dirtyWhenRecall());

    PDB::SubscribeAttr attr(0);
    EXPECT_EQ(0u, attr.add(0x81));
    EXPECT_EQ(0u, attr.remove(0x80));
    EXPECT_TRUE(attr.dirtyWhenRecall());
    EXPECT_EQ(0u, attr.set(3));
    EXPECT_EQ(3, attr.value());
    EXPECT_EQ(0u, attr.clear());
    EXPECT_EQ(0, attr.value());
}
