#include "PDB/pdb_ParameterDBCollection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentNULL.h"
#include "PDB/pdb_LocalParameterArray.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "pdb_ComponentTestTypes.h"
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

namespace {

// Eleven unlocked databases named like the device's, instance ids 0 to 10.
struct ElevenDatabases {
    ElevenDatabases()
    {
        static const char* const names[] = {"Profile",      "DeviceSetup", "StaticSetup", "LocalSetup",
                                            "VDeviceSetup", "CommonSetup", "Status",      "SnapshotInfo",
                                            "PresetInfo",   "ProjectInfo", "AudioCompo"};
        for (uint32_t id = 0; id < 11; ++id) {
            EXPECT_EQ(0u, dbs[id].initialize(id, names[id]));
            EXPECT_EQ(0u, registry.addPDB(dbs[id]));
        }
    }
    PDB::LocalParameterDB dbs[11];
    PDB::ParameterDBCollection registry;
};

}  // namespace

TEST(ParameterDBCollectionTest, FindsByInstanceIdOrExactNameAndOtherwiseTheNullDatabase)
{
    ElevenDatabases set;
    PDB::ParameterDBCollection& registry = set.registry;
    const PDB::IParameterDB* null = &PDB::ParameterDBNULL::getNullObject();
    EXPECT_EQ(11u, registry.numOfPDB());
    EXPECT_EQ(&set.dbs[6], &registry.getPDB(6u));
    EXPECT_EQ(null, &registry.getPDB(11u));
    EXPECT_EQ(null, &registry.getPDB(0xFFFFFFFFu));

    struct Case { const char* name; uint32_t instanceId; };
    const Case cases[] = {
        {"Status", 6}, {"AudioCompo", 10}, {"status", 0xFFFFFFFFu}, {"Stat", 0xFFFFFFFFu},
        {"StatusX", 0xFFFFFFFFu}, {"", 0xFFFFFFFFu}, {nullptr, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.instanceId, registry._instanceId(c.name));
        const PDB::IParameterDB* expected = c.instanceId == 0xFFFFFFFFu ? null : &set.dbs[c.instanceId];
        EXPECT_EQ(expected, &registry.getPDB(c.name));
        EXPECT_EQ(expected, &static_cast<const PDB::ParameterDBCollection&>(registry).getPDB(c.name));
    }

    EXPECT_EQ(0u, registry.removePDB(3));
    EXPECT_EQ(11u, registry.numOfPDB());
    EXPECT_EQ(null, &registry.getPDB(3u));
    EXPECT_EQ(3u, registry._instanceId("(dummy)"));  // an empty slot answers with the null name
    EXPECT_EQ(null, &registry.getPDB("(dummy)"));
    EXPECT_EQ(0u, registry.addPDB(set.dbs[3]));
    EXPECT_EQ(&set.dbs[3], &registry.getPDB(3u));

    PDB::ParameterDBCollection sparse;
    PDB::LocalParameterDB fifteen;
    ASSERT_EQ(0u, fifteen.initialize(15, "Fifteen"));
    EXPECT_EQ(0u, sparse.addPDB(fifteen));
    EXPECT_EQ(16u, sparse.numOfPDB());
    for (uint32_t id = 0; id < 15; ++id) EXPECT_EQ(null, &sparse.getPDB(id));
    EXPECT_EQ(0u, sparse.removePDB(15));
}

TEST(ParameterDBCollectionTest, CopyOwnsDeepCopiesAndKeepsEmptySlotsEmpty)
{
    (void)pdbtest::mixedType();
    PDB::LocalParameterDB first, third;
    ASSERT_EQ(0u, first.initialize(0, "First"));
    ASSERT_EQ(0u, first.addComponent(PDB::UniqId(1), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, first.setUInt32(0, 0, 1, 1, 42, 0));
    ASSERT_EQ(0u, third.initialize(2, "Third"));
    PDB::ParameterDBCollection registry;
    ASSERT_EQ(0u, registry.addPDB(first));
    ASSERT_EQ(0u, registry.addPDB(third));

    PDB::ParameterDBCollection copy(registry);
    EXPECT_EQ(3u, copy.numOfPDB());
    EXPECT_EQ(&PDB::ParameterDBNULL::getNullObject(), &copy.getPDB(1u));
    PDB::IParameterDB& copied = copy.getPDB("First");
    EXPECT_NE(&first, &copied);
    EXPECT_EQ(0u, copied.instanceId());
    EXPECT_EQ(42u, copied.getUInt32(0, 0, 1, 1, nullptr));
    ASSERT_EQ(0u, first.setUInt32(0, 0, 1, 1, 7, 0));
    EXPECT_EQ(42u, copied.getUInt32(0, 0, 1, 1, nullptr));  // a copy, not a view
    // A database without slots copies as an empty, invalid one: its name does not come along.
    EXPECT_FALSE(copy.getPDB(2u).isValid());
    EXPECT_NE(&PDB::ParameterDBNULL::getNullObject(), &copy.getPDB(2u));
    EXPECT_EQ(0xFFFFFFFFu, copy._instanceId("Third"));

    EXPECT_EQ(0u, registry.import(copy));  // the interface's assignment moves nothing
    EXPECT_EQ(7u, first.getUInt32(0, 0, 1, 1, nullptr));

    EXPECT_DEATH((void)copy.addPDB(first), "");
    EXPECT_DEATH((void)copy.removePDB(0), "");
}

TEST(ParameterDBCollectionTest, RegistrationMistakesStopAtTheAssertion)
{
    PDB::ParameterDBCollection registry;
    PDB::LocalParameterDB one, again, twenty;
    ASSERT_EQ(0u, one.initialize(1, "One"));
    ASSERT_EQ(0u, again.initialize(1, "Again"));
    ASSERT_EQ(0u, twenty.initialize(20, "Twenty"));
    ASSERT_EQ(0u, registry.addPDB(one));
    EXPECT_DEATH((void)registry.addPDB(again), "");
    EXPECT_DEATH((void)registry.addPDB(twenty), "");
    EXPECT_DEATH((void)registry.removePDB(2), "");
    EXPECT_DEATH((void)PDB::destroyPDB(5), "");
    EXPECT_EQ(0u, registry.removePDB(1));
}

TEST(ParameterDBCollectionTest, CreateRegistersOnlyDatabasesThatInitialized)
{
    PDB::SimpleReadWriteMutex lock;
    ASSERT_EQ(0u, PDB::createPDB(6, "Status", &lock, 0));
    ASSERT_EQ(0u, PDB::createPDB(2, "StaticSetup", nullptr, 0));
    EXPECT_EQ(7u, PDB::gPDBCollection.numOfPDB());
    PDB::IParameterDB& status = PDB::gPDBCollection.getPDB("Status");
    EXPECT_TRUE(status.isValid());
    EXPECT_EQ(6u, status.instanceId());
    EXPECT_EQ(&status, &PDB::gPDBCollection.getPDB(6u));
    EXPECT_TRUE(PDB::gPDBCollection.getPDB(2u).isValid());

    // A name the live database refuses: nothing may be registered under id 9.
    EXPECT_EQ(0x80000001u, PDB::createPDB(9, "AVeryLongDatabaseName", &lock, 0));
    EXPECT_EQ(7u, PDB::gPDBCollection.numOfPDB());
    EXPECT_EQ(&PDB::ParameterDBNULL::getNullObject(), &PDB::gPDBCollection.getPDB(9u));

    EXPECT_EQ(0u, PDB::destroyPDB(6));
    EXPECT_EQ(7u, PDB::gPDBCollection.numOfPDB());
    EXPECT_EQ(&PDB::ParameterDBNULL::getNullObject(), &PDB::gPDBCollection.getPDB(6u));
    EXPECT_EQ(0u, PDB::createPDB(6, "Status", &lock, 0));  // the slot takes a new database
    EXPECT_TRUE(PDB::gPDBCollection.getPDB(6u).isValid());
    EXPECT_DEATH((void)PDB::createPDB(6, "Twice", &lock, 0), "");
    EXPECT_EQ(0u, PDB::destroyPDB(6));
    EXPECT_EQ(0u, PDB::destroyPDB(2));
}
