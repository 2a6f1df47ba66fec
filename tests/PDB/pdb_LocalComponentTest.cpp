#include "PDB/pdb_LocalComponent.h"

#include <gtest/gtest.h>

#include <vector>

#include "PDB/pdb_Component.h"
#include "PDB/pdb_ComponentNULL.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "pdb_ComponentTestTypes.h"

namespace {

constexpr uint32_t kA = 0, kB = 1;

}  // namespace

TEST(LocalComponentTest, InitializeGivesZeroedArraysAndRefusesInvalidDefinitions)
{
    PDB::LocalComponent local;
    EXPECT_FALSE(local.isValid());
    EXPECT_EQ(0x80000001u, local.initialize(PDB::ComponentInfo()));
    EXPECT_FALSE(local.isValid());
    ASSERT_EQ(0u, local.initialize(pdbtest::mixedType()));
    EXPECT_EQ(4u, local.addressNum());
    EXPECT_EQ(0u, local.getUInt32(kB, 0, 0, nullptr));  // no defaults applied
    EXPECT_EQ(0u, local.setUInt32(kB, 0, 0, 250, 1));   // no clamp either
    uint8_t f = 0;
    EXPECT_EQ(250u, local.getUInt32(kB, 0, 0, &f));
    EXPECT_EQ(0xFF, f);
    EXPECT_EQ(0x80000040u, local.setDefault(kB, 1));  // the local arrays offer no defaults
    EXPECT_EQ(0x80000040u, local.setDefault(1));
    EXPECT_EQ(0u, local.callbackOnSetParam());
    EXPECT_FALSE(local.recallSafeFlags(kA).hasFlag());

    EXPECT_EQ(0u, local.clear());
    EXPECT_EQ(&PDB::ParameterArrayNULL::getNullObject(), &local.paramArray(kA));
    EXPECT_TRUE(local.componentInfo().isValid());  // the definition stays
    EXPECT_EQ(0x80000001u, local.recreate(PDB::ParameterDBNULL::getNullObject(), 0, pdbtest::mixedType(), 1));
    EXPECT_EQ(0u, local.recreate(PDB::ParameterDBNULL::getNullObject(), 0, pdbtest::mixedType(), 0));
    EXPECT_TRUE(local.paramArray(kA).isValid());
}

TEST(LocalComponentTest, CopiesDefinitionAndValuesOfAnyComponent)
{
    PDB::Component live;
    ASSERT_EQ(0u, live.initialize(&PDB::ParameterDBNULL::getNullObject(), 0, pdbtest::mixedType(), nullptr, 0));
    ASSERT_EQ(0u, live.setUInt32(kA, 1, 2, 66, 3));
    ASSERT_EQ(0u, live.setUserName("Left"));

    PDB::LocalComponent local(live);
    EXPECT_EQ(66u, local.getUInt32(kA, 1, 2, nullptr));
    EXPECT_EQ(9u, local.getUInt32(kB, 0, 0, nullptr));  // the live default came along
    EXPECT_EQ("Left", local.componentInfo().userName());

    PDB::LocalComponent copy(local);
    ASSERT_EQ(0u, copy.setUInt32(kA, 1, 2, 1, 0));
    EXPECT_EQ(66u, local.getUInt32(kA, 1, 2, nullptr));

    copy = PDB::ComponentNULL::getNullObject();  // an invalid source changes nothing
    EXPECT_EQ(1u, copy.getUInt32(kA, 1, 2, nullptr));

    std::vector<uint8_t> image(local.exportSize());
    ASSERT_EQ(0u, local.exportBinary(image.data(), uint32_t(image.size())));
    PDB::LocalComponent fromImage;
    ASSERT_EQ(0u, fromImage.initialize(pdbtest::mixedType()));
    EXPECT_EQ(0u, fromImage.importBinary(PDB::ParameterDBNULL::getNullObject(), 0, image.data(),
                                         uint32_t(image.size()), PDB::ImportAttr(0), 0xFF, 0));
    EXPECT_EQ(66u, fromImage.getUInt32(kA, 1, 2, nullptr));
    EXPECT_EQ(9u, fromImage.getUInt32(kB, 0, 0, nullptr));
}

TEST(LocalComponentTest, ResizeReshapesTheArraysButNotTheDefinition)
{
    PDB::LocalComponent local;
    ASSERT_EQ(0u, local.initialize(pdbtest::gridType()));
    ASSERT_EQ(0u, local.setUInt32(0, 0, 0, 12, 0));
    EXPECT_EQ(0u, local.resizeComponent(3, 2, true, 0));
    EXPECT_EQ(3u, local.paramInfo(0).numX);
    EXPECT_EQ(2u, local.paramInfo(0).numY);
    EXPECT_EQ(12u, local.getUInt32(0, 0, 0, nullptr));
    EXPECT_EQ(1u, local.componentInfo().numX());
}
