#include "PDB/pdb_AddressId.h"

#include <gtest/gtest.h>

#include <cstring>

#include "jlib/jlib_crc32.h"

TEST(AddressIdTest, StartsEmptyAndCachesOnlyResolvedPositions)
{
    const PDB::AddressId empty;
    EXPECT_FALSE(empty.isCached());
    EXPECT_EQ(0xFFFFFFFFu, empty.pdbInstanceId());
    EXPECT_EQ(0xFFFFFFFFu, empty.componentIndex());
    EXPECT_EQ(0xFFFFFFFFu, empty.addressIndex());
    EXPECT_EQ(-1, empty.generation());
    EXPECT_EQ(0u, empty.fingerprint());

    struct Case {
        uint32_t instance, ci;
        int32_t generation;
        uint32_t ai;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {1, 2, -1, 3, 0x80000000u}, {0xFFFFFFFFu, 2, 0, 3, 0x80000000u}, {1, 0xFFFFFFFFu, 0, 3, 0x80000000u},
        {1, 2, 0, 0xFFFFFFFFu, 0x80000000u}, {1, 2, 0, 3, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.generation);
        const PDB::AddressId address("Profile", PDB::UniqId(0x01020304), "/A/B");
        EXPECT_EQ(c.result, address.updateCache(c.instance, c.ci, c.generation, c.ai));
        EXPECT_EQ(c.result == 0, address.isCached());
        EXPECT_EQ(c.result == 0 ? c.ci : 0xFFFFFFFFu, address.componentIndex());
    }
}

TEST(AddressIdTest, FingerprintCoversNameIdAddressAndGeneration)
{
    const PDB::AddressId a("Profile", PDB::UniqId(7), "/A");
    const PDB::AddressId b("Profile", PDB::UniqId(7), "/A");
    const PDB::AddressId c("Profile", PDB::UniqId(7), "/A");
    ASSERT_EQ(0u, a.updateCache(1, 2, 0, 3));
    ASSERT_EQ(0u, b.updateCache(4, 5, 0, 6));
    ASSERT_EQ(0u, c.updateCache(1, 2, 1, 3));
    EXPECT_TRUE(a.isSame(b));
    EXPECT_FALSE(a.isSame(c));

    uint32_t crc = jlib_updateCRC32(0, "Profile", 7);
    const uint32_t id = 7;
    const int32_t generation = 0;
    crc = jlib_updateCRC32(crc, &id, 4);
    crc = jlib_updateCRC32(crc, "/A", 2);
    crc = jlib_updateCRC32(crc, &generation, 4);
    EXPECT_EQ(crc, a.fingerprint());

    PDB::AddressId copy = a;
    EXPECT_TRUE(copy.isCached());
    EXPECT_EQ(a.fingerprint(), copy.fingerprint());
    EXPECT_EQ(0u, copy.set("Profile", PDB::UniqId(7), "/A"));
    EXPECT_FALSE(copy.isCached());
    EXPECT_EQ(0x80080000u, copy.set(nullptr, PDB::UniqId(7), "/A"));
    EXPECT_EQ(0x80080000u, copy.set("Profile", PDB::UniqId(7), nullptr));
    EXPECT_STREQ("Profile", copy.pdbName());
    EXPECT_EQ(0u, copy.clear());
    EXPECT_EQ(nullptr, copy.strAddress());
    EXPECT_FALSE(copy.uniqId().isValid());
}
