#include "PDB/pdb_LocalParameterArray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pdb_TestFakes.h"

using pdbtest::makeInfo;

namespace {

uint32_t u32(const PDB::IParameterArray& array, uint32_t x, uint32_t y)
{
    JVariant v;
    EXPECT_FALSE(JLIB::isFailure(array.getVariant(v, x, y, nullptr)));
    return v.toUInt32();
}

PDB::LocalParameterArray filled(const PDB::ParameterInfo& info, const std::vector<uint32_t>& values)
{
    PDB::LocalParameterArray local;
    EXPECT_EQ(0u, local.initialize(info));
    for (uint32_t p = 0; p < values.size(); ++p) {
        EXPECT_EQ(0u, local.setVariant(p / info.numY, p % info.numY, JVariant(values[p]), 0));
    }
    return local;
}

}  // namespace

TEST(LocalParameterArrayTest, StartsZeroedAndStoresWithoutClampOrFactor)
{
    PDB::LocalParameterArray local;
    EXPECT_FALSE(local.isValid());
    ASSERT_EQ(0u, local.initialize(makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 7u)));
    for (uint32_t p = 0; p < 4; ++p) EXPECT_EQ(0u, u32(local, p / 2, p % 2));
    EXPECT_EQ(0u, local.setVariant(1, 1, JVariant(200u), 3));
    EXPECT_EQ(200u, u32(local, 1, 1));
    uint8_t factor = 0;
    JVariant v;
    EXPECT_EQ(0x10000u, local.getVariant(v, 1, 1, &factor));
    EXPECT_EQ(0xFF, factor);
    factor = 0;
    EXPECT_EQ(0x80000001u, local.getVariant(v, 2, 0, &factor));
    EXPECT_EQ(0xFF, factor);
    EXPECT_EQ(0x80000001u, local.setVariant(0, 2, JVariant(1u), 0));
    EXPECT_EQ(0xFF, local.getFactor(1, 1));
    EXPECT_EQ(&PDB::ParameterStrategy::getNullObject(), &local.paramStrategy());
    // Without callback, strategy or factors these are not offered.
    EXPECT_EQ(0x80080000u, local.setDirty(0, 0, 1));
    EXPECT_EQ(0x80080000u, local.setDefault(0, 0, 1));
    EXPECT_EQ(0x80080000u, local.getDefault(v, 0, 0));

    PDB::LocalParameterArray text;
    ASSERT_EQ(0u, text.initialize(makeInfo(PDB::kTypeString, 1, 1, JVariant(), JVariant(), JVariant(), 4)));
    EXPECT_EQ(0x40u, text.setVariant(0, 0, JVariant("abcdef", 100), 0));
    EXPECT_EQ(0u, text.getVariant(v, 0, 0, nullptr));
    EXPECT_STREQ("abcd", v.toString());

    PDB::ParameterInfo broken = makeInfo(PDB::kTypeUInt8, 1, 1);
    broken.itemSize = 2;
    EXPECT_EQ(0x80000001u, local.initialize(broken));
    EXPECT_FALSE(local.isValid());
}

TEST(LocalParameterArrayTest, CopiesTakeDefinitionAndValuesFromAnyArray)
{
    pdbtest::FlagDB db;
    PDB::ParameterArray live;
    ASSERT_EQ(0u, live.initialize(&db, 0, 0, makeInfo(PDB::kTypeUInt16, 1, 3, 0u, 1000u, 0u), nullptr, nullptr, 0));
    ASSERT_EQ(0u, live.setVariant(0, 2, JVariant(321u), 4));

    const PDB::LocalParameterArray fromLive(live);
    EXPECT_EQ(3u, fromLive.paramInfo().numY);
    EXPECT_EQ(321u, u32(fromLive, 0, 2));

    PDB::LocalParameterArray copy(fromLive);
    EXPECT_EQ(321u, u32(copy, 0, 2));
    EXPECT_EQ(0u, copy.setVariant(0, 2, JVariant(1u), 0));
    EXPECT_EQ(321u, u32(fromLive, 0, 2));  // an own copy of the values

    PDB::LocalParameterArray assigned = filled(makeInfo(PDB::kTypeUInt8, 1, 1), {9});
    assigned = copy;
    EXPECT_EQ(PDB::kTypeUInt16, assigned.paramInfo().type);
    EXPECT_EQ(1u, u32(assigned, 0, 2));

    PDB::LocalParameterArray back;
    EXPECT_EQ(0u, live.getVariants(back));
    EXPECT_EQ(0u, copy.getVariants(back));
    EXPECT_EQ(1u, u32(back, 0, 2));
}

TEST(LocalParameterArrayTest, RecallAndImportFollowFlagsAndShapes)
{
    const PDB::ParameterInfo own = makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 0u, 0, 0);  // not recallable
    const PDB::LocalParameterArray source = filled(makeInfo(PDB::kTypeUInt8, 2, 3), {1, 2, 3, 4, 5, 6});
    PDB::FlagArray flags;
    ASSERT_EQ(0u, flags.initialize(4));
    ASSERT_EQ(0u, flags.setFlag(1));

    struct Case {
        const char* what;
        const PDB::IFlagArray* flags;
        uint8_t attr;
        uint32_t values[4];
    };
    const Case cases[] = {
        {"overlap of other shape", &PDB::DummyFlagArray::getInstance(), 0, {1, 2, 4, 5}},
        {"flagged element kept", &flags, 0, {1, 0, 4, 5}},
        {"filtered out", &PDB::DummyFlagArray::getInstance(), 0x02, {0, 0, 0, 0}},
        {"forced", &PDB::DummyFlagArray::getInstance(), 0x08, {1, 2, 4, 5}},
    };
    const uint8_t data[] = {1, 2, 3, 4, 5, 6, 0, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::LocalParameterArray byRecall;
        ASSERT_EQ(0u, byRecall.initialize(own));
        EXPECT_EQ(0u, byRecall.recall(source, *c.flags, PDB::ImportAttr(c.attr), 0));
        PDB::LocalParameterArray byImport;
        ASSERT_EQ(0u, byImport.initialize(own));
        EXPECT_EQ(0u, byImport.importData(source.paramInfo(), data, sizeof data, *c.flags, PDB::ImportAttr(c.attr), 0));
        for (uint32_t p = 0; p < 4; ++p) {
            EXPECT_EQ(c.values[p], u32(byRecall, p / 2, p % 2)) << "recall pos " << p;
            EXPECT_EQ(c.values[p], u32(byImport, p / 2, p % 2)) << "import pos " << p;
        }
    }

    PDB::LocalParameterArray target;
    ASSERT_EQ(0u, target.initialize(own));
    EXPECT_EQ(0x80020000u, target.importData(makeInfo(PDB::kTypeSInt8, 2, 2), data, 4,
                                             PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 0));
    EXPECT_EQ(0x80010000u, target.importData(makeInfo(PDB::kTypeUInt8, 40000, 40000), data, sizeof data,
                                             PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 0));
    for (uint32_t p = 0; p < 4; ++p) EXPECT_EQ(0u, u32(target, p / 2, p % 2));
}

TEST(LocalParameterArrayTest, ResizeKeepsTheOverlapOrRestoresOnFailure)
{
    PDB::LocalParameterArray local = filled(makeInfo(PDB::kTypeUInt8, 2, 2), {1, 2, 3, 4});
    EXPECT_EQ(0u, local.resize(3, 1, true, 0));
    EXPECT_EQ(3u, local.paramInfo().numX);
    EXPECT_EQ(1u, u32(local, 0, 0));
    EXPECT_EQ(3u, u32(local, 1, 0));
    EXPECT_EQ(0u, u32(local, 2, 0));

    EXPECT_EQ(0x80000001u, local.resize(0xFFFFFFFFu, 0xFFFFFFFFu, true, 0));
    EXPECT_EQ(3u, local.paramInfo().numX);
    EXPECT_EQ(1u, local.paramInfo().numY);
    EXPECT_EQ(3u, u32(local, 1, 0));

    EXPECT_EQ(0u, local.resize(1, 2, false, 0));
    EXPECT_EQ(0u, u32(local, 0, 0));
    uint8_t buffer[4] = {9, 9, 9, 9};
    uint32_t written = 0;
    EXPECT_EQ(0u, local.exportData(buffer, sizeof buffer, written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ(0, buffer[3]);
}
