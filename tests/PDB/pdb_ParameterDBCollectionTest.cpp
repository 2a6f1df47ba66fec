#include "PDB/pdb_ParameterDBCollection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentNULL.h"
#include "PDB/pdb_LocalParameterArray.h"
#include "pdb_TestFakes.h"

TEST(ParameterDBNULLTest, IdentifiesItselfAsTheInvalidDummy)
{
    PDB::IParameterDB& db = PDB::ParameterDBNULL::getNullObject();
    EXPECT_EQ(&db, &PDB::ParameterDBNULL::getNullObject());
    EXPECT_FALSE(db.isValid());
    EXPECT_EQ(0u, db.instanceId());
    EXPECT_STREQ("(dummy)", db.name());
    EXPECT_STREQ("(dummy component)", db.componentName(0));
    EXPECT_STREQ("", db.userName(0));
    EXPECT_EQ(0, db.generation(0));
    EXPECT_FALSE(db.uniqId(0).isValid());
    EXPECT_FALSE(db.makeNewId().isValid());
    EXPECT_FALSE(db.componentInfo(0).isValid());
    EXPECT_EQ(&PDB::ComponentNULL::getNullObject(), &db._getComponent(0));
    EXPECT_EQ(&PDB::ComponentNULL::getNullObject(),
              &static_cast<const PDB::IParameterDB&>(db)._getComponent(0xFFFFFFFFu));
}

TEST(ParameterDBNULLTest, LookupsFindNothingAndWalksEndAtOnce)
{
    PDB::IParameterDB& db = PDB::ParameterDBNULL::getNullObject();
    EXPECT_EQ(-1, db.getDirtyFlagSet(5));
    EXPECT_EQ(0xFFFFFFFFu, db.getComponentIndex(PDB::UniqId(1)));
    EXPECT_EQ(0xFFFFFFFFu, db.getAddressIndex(PDB::UniqId(1), "/A"));
    EXPECT_EQ(0u, db.componentNum());
    EXPECT_EQ(0u, db.componentIndexNum());
    uint32_t ci = 7, ai = 7, x = 7, y = 7;
    EXPECT_EQ(0x200000u, db.checkNextDirty(0, ci, ai, x, y, false));
    EXPECT_EQ((std::vector<uint32_t>{7, 7, 7, 7}), (std::vector<uint32_t>{ci, ai, x, y}));  // not written
    PDB::UniqIdList list{PDB::UniqId(1), PDB::UniqId(2)};
    EXPECT_EQ(0u, db.newComponentList(list));
    EXPECT_TRUE(list.empty());
    list.push_back(PDB::UniqId(3));
    EXPECT_EQ(0u, db.removingComponentList(list));
    EXPECT_TRUE(list.empty());
    const PDB::AddressId address = db.getAddressId(PDB::UniqId(1), "/A");
    EXPECT_FALSE(address.isCached());
    EXPECT_EQ(nullptr, address.pdbName());
    EXPECT_FALSE(db.getAddressId(0, 0).isCached());
}

TEST(ParameterDBNULLTest, ValueOperationsDoNothing)
{
    PDB::IParameterDB& db = PDB::ParameterDBNULL::getNullObject();
    const PDB::AddressId address("DB", PDB::UniqId(1), "/A");
    EXPECT_EQ(0u, db.setVariant(0, 0, 0, 0, JVariant(1u), 0));
    EXPECT_EQ(0u, db.setUInt32(address, 0, 0, 1, 0));
    EXPECT_EQ(0u, db.setDefault(0, 0xFF));
    EXPECT_EQ(0u, db.addComponent(PDB::UniqId(1), "Type", 1, 1, 1, 0));
    EXPECT_EQ(0u, db.componentNum());

    JVariant v(5u);
    uint8_t factor = 0x5A;
    EXPECT_EQ(0u, db.getVariant(v, 0, 0, 0, 0, &factor));
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(0x5A, factor);
    v = 5u;
    EXPECT_EQ(0u, db.getVariant(v, address, 0, 0, &factor));
    EXPECT_FALSE(v.isValid());
    v = 5u;
    EXPECT_EQ(0u, db.getDefault(v, address, 0, 0));
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(0u, db.getUInt32(0, 0, 0, 0, &factor));
    EXPECT_EQ(0.0f, db.getFloat(address, 0, 0, &factor));
    EXPECT_FALSE(db.getBool(0, 0, 0, 0, &factor));
    EXPECT_EQ(0x5A, factor);
    EXPECT_EQ(255, db.getFactor(0, 0, 0, 0));
    EXPECT_EQ(255, db.getFactor(address, 0, 0));
    EXPECT_FALSE(db.checkPosRange(0, 0, 0, 0));
    EXPECT_FALSE(db.getDirty(0, address, 0, 0));

    PDB::LocalParameterArray target;
    ASSERT_EQ(0u, target.initialize(pdbtest::makeInfo(PDB::kTypeUInt8, 1, 1)));
    EXPECT_EQ(0u, db.getVariants(target, 0, 0));
    EXPECT_TRUE(target.isValid());

    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(0u, db.exportBinarySize());
    EXPECT_EQ(0u, db.exportBinary(buffer, sizeof buffer, 0));
    EXPECT_EQ(1, buffer[0]);
    EXPECT_EQ(0u, db.importBinary(nullptr, 100, PDB::ImportAttr(1), 0));
    EXPECT_EQ(0u, db.recall(db, PDB::ImportAttr(0), 0));
    EXPECT_EQ(0u, db._SuppressLink());
    EXPECT_FALSE(db._IsLinkSuppressed());
    EXPECT_EQ(0u, db._BeginRecall());
    EXPECT_FALSE(db._IsRecalling());
}
