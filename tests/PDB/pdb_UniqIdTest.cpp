#include "PDB/pdb_UniqId.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(UniqIdTest, OnlyAllOnesIsInvalid)
{
    EXPECT_FALSE(PDB::UniqId().isValid());
    EXPECT_EQ(0xFFFFFFFFu, PDB::UniqId().id());
    EXPECT_TRUE(PDB::UniqId(0).isValid());
    EXPECT_TRUE(PDB::UniqId(0x7FFFFFFF).isValid());
    EXPECT_FALSE(PDB::UniqId(0xFFFFFFFF).isValid());

    PDB::UniqId cleared(5);
    EXPECT_EQ(0u, cleared.clear());
    EXPECT_FALSE(cleared.isValid());

    const uint8_t allOnes[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(PDB::UniqId(allOnes, 4).isValid());
}

TEST(UniqIdTest, OrdersAsUnsignedAndComparesByValue)
{
    EXPECT_TRUE(PDB::UniqId(0x7FFFFFFF) < PDB::UniqId(0x80000000));
    EXPECT_FALSE(PDB::UniqId(0x80000000) < PDB::UniqId(0x7FFFFFFF));
    EXPECT_TRUE(PDB::UniqId(7) == PDB::UniqId(7));
    EXPECT_TRUE(PDB::UniqId(7).isSame(PDB::UniqId(7)));
    EXPECT_TRUE(PDB::UniqId(7) != PDB::UniqId(8));
}

TEST(UniqIdTest, ByteImageIsBigEndianAndShortImagesAreRefused)
{
    uint8_t bytes[5] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(0u, PDB::UniqId(258).exportData(bytes, 4));
    const uint8_t expected[5] = {0x00, 0x00, 0x01, 0x02, 0xAA};
    EXPECT_EQ(0, memcmp(expected, bytes, 5));

    PDB::UniqId id(9);
    EXPECT_EQ(0u, id.importData(bytes, 4));
    EXPECT_EQ(258u, id.id());
    EXPECT_EQ(258u, PDB::UniqId(bytes, 4).id());

    EXPECT_EQ(0x80000001u, id.importData(bytes, 3));
    EXPECT_EQ(0x80000001u, id.importData(nullptr, 4));
    EXPECT_EQ(258u, id.id());

    uint8_t small[3] = {0x55, 0x55, 0x55};
    EXPECT_EQ(0x80000001u, id.exportData(small, 3));
    EXPECT_EQ(0x80000001u, id.exportData(nullptr, 4));
    EXPECT_EQ(0x55, small[0]);
}
