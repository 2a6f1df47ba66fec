#include "PDB/pdb_LocalParameterDB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_ComponentNULL.h"
#include "PDB/pdb_ParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "pdb_ComponentTestTypes.h"

namespace {

constexpr uint32_t kA = 0, kB = 1;  // Mixed: /A 2 x 3, /B 1 x 1 (default 9)
constexpr uint32_t kNone = 0xFFFFFFFFu;

uint32_t be32(const std::vector<uint8_t>& image, size_t at)
{
    return uint32_t(image[at]) << 24 | uint32_t(image[at + 1]) << 16 | uint32_t(image[at + 2]) << 8 | image[at + 3];
}

void putBe32(std::vector<uint8_t>& image, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) image[at + i] = uint8_t(v >> (24 - 8 * i));
}

std::vector<uint8_t> exportOf(const PDB::IParameterDB& db, uint32_t dbWord = 0)
{
    std::vector<uint8_t> image(db.exportBinarySize());
    EXPECT_EQ(0u, db.exportBinary(image.data(), uint32_t(image.size()), dbWord));
    return image;
}

// Slots 0..2 hold UniqIds 30 (Mixed), 10 (Grid), 20 (Mixed); /A(1,2) of 30 is 66, of 20 is 77.
void fill(PDB::LocalParameterDB& db)
{
    (void)pdbtest::mixedType();  // registers the types in this process
    (void)pdbtest::gridType();
    ASSERT_EQ(0u, db.initialize(4, "Local"));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(30), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(10), "Grid", 2, 2, 2, 0));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(20), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, db.setUInt32(0, kA, 1, 2, 66, 0));
    ASSERT_EQ(0u, db.setUInt32(2, kA, 1, 2, 77, 0));
}

// Byte-wise view of the whole database: equal images mean equal slots, definitions and values.
bool sameImage(const PDB::IParameterDB& a, const PDB::IParameterDB& b) { return exportOf(a) == exportOf(b); }

}  // namespace

TEST(LocalParameterDBTest, AddsWithDefaultsReusesSlotsAndRefusesBadAdditions)
{
    (void)pdbtest::mixedType();
    (void)pdbtest::gridType();
    PDB::LocalParameterDB db;
    fill(db);
    EXPECT_EQ(9u, db.getUInt32(0, kB, 0, 0, nullptr));  // the definition's default
    EXPECT_EQ(5u, db.getUInt32(2, kA, 0, 0, nullptr));
    EXPECT_EQ(1u, db.getUInt32(1, 0, 1, 1, nullptr));
    EXPECT_EQ(2u, db.componentInfo(1).numX());

    struct Case { const char* what; PDB::UniqId id; const char* type; int16_t generation; uint32_t result; };
    const Case cases[] = {
        {"identifier present", PDB::UniqId(20), "Mixed", 0, 0x80000001u},
        {"null type name", PDB::UniqId(40), nullptr, 0, 0x80000001u},
        {"negative generation", PDB::UniqId(40), "Mixed", -1, 0x80000001u},
        {"type not registered", PDB::UniqId(40), "Nope", 0, 0x80200000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, db.addComponent(c.id, c.type, 1, 0, 0, c.generation));
        EXPECT_EQ(3u, db.componentNum());
    }
    EXPECT_EQ(0x80000001u, db.addComponent(PDB::UniqId(40), PDB::ComponentInfo()));
    EXPECT_EQ(0x80000001u, db.removeComponent(PDB::UniqId(40)));

    ASSERT_EQ(0u, db.removeComponent(PDB::UniqId(10)));
    EXPECT_EQ(3u, db.componentIndexNum());
    EXPECT_EQ(2u, db.componentNum());
    EXPECT_EQ(kNone, db.getComponentIndex(PDB::UniqId(10)));
    EXPECT_FALSE(db.componentInfo(1).isValid());
    EXPECT_EQ(0u, db.addComponent(PDB::UniqId(50), pdbtest::gridType()));
    EXPECT_EQ(1u, db.getComponentIndex(PDB::UniqId(50)));  // the emptied slot
    EXPECT_EQ(1u, db.componentInfo(1).numX());              // minimum sizes

    uint8_t f = 0;
    JVariant value;
    EXPECT_EQ(0u, db.setUInt32(0, kB, 0, 0, 250, 3));  // no clamp
    EXPECT_TRUE(JLIB::isSuccess(db.getVariant(value, 0, kB, 0, 0, &f)));
    EXPECT_EQ(250u, value.toUInt32());
    EXPECT_EQ(0xFF, f);

    EXPECT_EQ(0u, db.clear());
    EXPECT_EQ(3u, db.componentIndexNum());
    EXPECT_EQ(0u, db.componentNum());
    EXPECT_EQ(PDB::ComponentNULL::kNullComponent, db.setUInt32(0, kB, 0, 0, 1, 0));
    EXPECT_EQ(&PDB::ComponentNULL::getNullObject(), &db._getComponent(0));
    EXPECT_TRUE(db.isValid());
    EXPECT_STREQ("Local", db.name());
}

TEST(LocalParameterDBTest, CopyTakesSlotsIdentityAndValuesAndThenLivesOnItsOwn)
{
    (void)pdbtest::mixedType();
    (void)pdbtest::gridType();
    PDB::ParameterDB live;
    ASSERT_EQ(0u, live.initialize(6, "Status", nullptr));
    ASSERT_EQ(0u, live.addComponent(PDB::UniqId(30), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, live.addComponent(PDB::UniqId(10), "Grid", 2, 0, 0, 0));
    ASSERT_EQ(0u, live.addComponent(PDB::UniqId(20), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, live.setUInt32(2, kA, 1, 2, 77, 3));
    ASSERT_EQ(0u, live.setUserName(2, "Right"));

    PDB::LocalParameterDB copy(live);
    EXPECT_EQ(6u, copy.instanceId());
    EXPECT_STREQ("Status", copy.name());
    EXPECT_EQ(3u, copy.componentIndexNum());
    EXPECT_EQ(77u, copy.getUInt32(2, kA, 1, 2, nullptr));
    EXPECT_STREQ("Right", copy.userName(2));
    EXPECT_TRUE(sameImage(live, copy));

    ASSERT_EQ(0u, live.setUInt32(2, kA, 1, 2, 1, 3));
    EXPECT_EQ(77u, copy.getUInt32(2, kA, 1, 2, nullptr));  // no link back to the source

    // An empty slot in the source stays empty in the copy and out of its image.
    PDB::LocalParameterDB holey(copy);
    ASSERT_EQ(0u, holey.removeComponent(PDB::UniqId(20)));
    ASSERT_EQ(0u, holey.removeComponent(PDB::UniqId(10)));
    ASSERT_EQ(0u, holey.addComponent(PDB::UniqId(20), "Mixed", 1, 0, 0, 0));  // back in slot 1, slot 2 empty
    PDB::LocalParameterDB second(holey);
    EXPECT_EQ(3u, second.componentIndexNum());
    EXPECT_EQ(2u, second.componentNum());
    EXPECT_EQ(&PDB::ComponentNULL::getNullObject(), &second._getComponent(2));
    const std::vector<uint8_t> image = exportOf(second);
    EXPECT_EQ(2u, be32(image, 8));

    // A source without slots gives an invalid copy; assigned, it empties but keeps the identity.
    PDB::LocalParameterDB fromEmpty(PDB::ParameterDBNULL::getNullObject());
    EXPECT_FALSE(fromEmpty.isValid());
    EXPECT_EQ(0xFFFFFFFFu, fromEmpty.instanceId());
    EXPECT_STREQ("", fromEmpty.name());
    second = PDB::LocalParameterDB();
    EXPECT_EQ(0u, second.componentNum());
    EXPECT_EQ(3u, second.componentIndexNum());
    EXPECT_EQ(6u, second.instanceId());
    EXPECT_STREQ("Status", second.name());
}

TEST(LocalParameterDBTest, ImageListsComponentsByAscendingIdentifierAndRoundTrips)
{
    PDB::LocalParameterDB db;
    fill(db);
    const std::vector<uint8_t> image = exportOf(db, 0x01020304u);
    const uint32_t mixed = db._getComponent(0).exportSize(), grid = db._getComponent(1).exportSize();
    ASSERT_EQ(12u + 12u + 2 * mixed + grid, image.size());
    EXPECT_EQ(0, std::memcmp(image.data(), "#CT1", 4));
    EXPECT_EQ(0x01020304u, be32(image, 4));
    EXPECT_EQ(3u, be32(image, 8));
    EXPECT_EQ((std::vector<uint32_t>{24, 24 + grid, 24 + grid + mixed}),
              (std::vector<uint32_t>{be32(image, 12), be32(image, 16), be32(image, 20)}));
    EXPECT_EQ(10u, be32(image, 24 + 4));  // UniqId of the first component image

    PDB::LocalParameterDB empty;
    ASSERT_EQ(0u, empty.initialize(1, "E"));
    EXPECT_EQ((std::vector<uint8_t>{'#', 'C', 'T', '1', 0, 0, 0, 7, 0, 0, 0, 0}), exportOf(empty, 7));

    PDB::LocalParameterDB restored;
    ASSERT_EQ(0u, restored.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(0x01), 255));
    EXPECT_EQ(3u, restored.componentNum());
    EXPECT_EQ(kNone, restored.instanceId());                    // the image carries no identity
    EXPECT_EQ(0u, restored.getComponentIndex(PDB::UniqId(10)));  // slots follow the table order
    EXPECT_EQ(66u, restored.getUInt32(restored.getComponentIndex(PDB::UniqId(30)), kA, 1, 2, nullptr));
    EXPECT_EQ(77u, restored.getUInt32(restored.getComponentIndex(PDB::UniqId(20)), kA, 1, 2, nullptr));

    // An identifier listed twice is added once; the second entry is skipped.
    const PDB::UniqIdList twice{PDB::UniqId(20), PDB::UniqId(20)};
    std::vector<uint8_t> doubled(std::max(db.exportBinarySize(twice), db.exportBinarySize()));
    ASSERT_EQ(0u, db.exportBinary(doubled.data(), uint32_t(doubled.size()), 0, twice));
    doubled.resize(db.exportBinarySize(twice));
    ASSERT_EQ(0u, restored.importBinary(doubled.data(), uint32_t(doubled.size()), PDB::ImportAttr(0x01), 255));
    EXPECT_EQ(1u, restored.componentNum());
    EXPECT_EQ(77u, restored.getUInt32(0, kA, 1, 2, nullptr));

    // Without configuration, values go to present identifiers only; absent ones are skipped.
    PDB::LocalParameterDB partial;
    ASSERT_EQ(0u, partial.initialize(2, "P"));
    ASSERT_EQ(0u, partial.addComponent(PDB::UniqId(20), "Mixed", 1, 0, 0, 0));
    EXPECT_EQ(0u, partial.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(0), 255));
    EXPECT_EQ(1u, partial.componentNum());
    EXPECT_EQ(77u, partial.getUInt32(0, kA, 1, 2, nullptr));
}

TEST(LocalParameterDBTest, ExportRefusesBuffersSmallerThanWhatItWouldWrite)
{
    PDB::LocalParameterDB db;
    fill(db);
    const uint32_t whole = db.exportBinarySize();
    const uint32_t one = db.exportBinarySize(PDB::UniqIdList{PDB::UniqId(30)});
    EXPECT_EQ(12u + 4u + db._getComponent(0).exportSize(), one);
    const PDB::UniqIdList repeated{PDB::UniqId(30), PDB::UniqId(30), PDB::UniqId(30), PDB::UniqId(30)};
    ASSERT_GT(db.exportBinarySize(repeated), whole);

    struct Case { const char* what; uint32_t size; bool nullBuffer; PDB::UniqIdList ids; uint32_t result; };
    const Case cases[] = {
        {"null buffer", whole, true, {}, 0x80000001u},
        {"one byte short of the whole", whole - 1, false, {}, 0x80000001u},
        {"list of one in its own size", one, false, {PDB::UniqId(30)}, 0x80000001u},
        {"list longer than the database", whole, false, repeated, 0x80000001u},
        {"list in the whole size", whole, false, {PDB::UniqId(30), PDB::UniqId(99)}, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> buffer(std::max(c.size, db.exportBinarySize(repeated)), 0xA5);
        const JLIB::JResult result =
            c.ids.empty() ? db.exportBinary(c.nullBuffer ? nullptr : buffer.data(), c.size, 0)
                          : db.exportBinary(buffer.data(), c.size, 0, c.ids);
        EXPECT_EQ(c.result, result);
        if (JLIB::isFailure(c.result)) {
            EXPECT_EQ(std::vector<uint8_t>(buffer.size(), 0xA5), buffer);
        }
    }
    // An identifier without component has an empty image: its offset equals the end.
    std::vector<uint8_t> buffer(whole);
    ASSERT_EQ(0u, db.exportBinary(buffer.data(), whole, 0, PDB::UniqIdList{PDB::UniqId(30), PDB::UniqId(99)}));
    EXPECT_EQ(20u, be32(buffer, 12));
    EXPECT_EQ(20u + db._getComponent(0).exportSize(), be32(buffer, 16));
}

TEST(LocalParameterDBTest, RefusedImportsLeaveTheDatabaseUnchanged)
{
    PDB::LocalParameterDB source;
    fill(source);
    const std::vector<uint8_t> good = exportOf(source);
    const uint32_t second = be32(good, 16), third = be32(good, 20);

    struct Case { const char* what; std::function<void(std::vector<uint8_t>&)> spoil; uint32_t size; uint32_t result; };
    const uint32_t full = uint32_t(good.size());
    const Case cases[] = {
        {"size below the header", [](auto&) {}, 11, 0x80000001u},
        {"wrong magic", [](auto& i) { i[3] = '2'; }, full, 0x80010000u},
        {"table larger than the image", [](auto& i) { putBe32(i, 8, 0x40000000u); }, full, 0x80000001u},
        {"table that wraps in 32 bits", [](auto& i) { putBe32(i, 8, 0xC0000000u); }, full, 0x80000001u},
        {"misaligned third offset", [&](auto& i) { putBe32(i, 20, third + 2); }, full, 0x80010000u},
        {"offset beyond the image", [](auto& i) { putBe32(i, 20, 0xFFFFFFFCu); }, full, 0x80010000u},
        {"offset without room for a definition", [&](auto& i) { putBe32(i, 20, full - 88); }, full, 0x80010000u},
        {"definition without its magic", [&](auto& i) { i[second] = 'X'; }, full, 0x80010000u},
        {"record without its magic", [&](auto& i) { i[third + 92] = 'X'; }, full, 0x80010000u},
    };
    for (const bool withConfig : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            SCOPED_TRACE(withConfig ? "with configuration" : "values only");
            PDB::LocalParameterDB target(source);
            ASSERT_EQ(0u, target.setUInt32(0, kA, 0, 0, 42, 0));
            const std::vector<uint8_t> before = exportOf(target);
            std::vector<uint8_t> image = good;
            c.spoil(image);
            EXPECT_EQ(c.result, target.importBinary(image.data(), c.size, PDB::ImportAttr(withConfig ? 1 : 0), 255));
            EXPECT_EQ(before, exportOf(target));
        }
    }
    PDB::LocalParameterDB target(source);
    EXPECT_EQ(0x80000001u, target.importBinary(nullptr, full, PDB::ImportAttr(1), 255));
    EXPECT_EQ(3u, target.componentNum());
}

TEST(LocalParameterDBTest, ImportSkipsUnknownTypesAndRefusesAnotherTypeUnderAnIdentifier)
{
    PDB::LocalParameterDB source;
    fill(source);
    std::vector<uint8_t> image = exportOf(source);
    const uint32_t grid = be32(image, 12);
    std::memcpy(&image[grid + 8], "Nope", 5);  // the Grid entry names a type nobody registered

    PDB::LocalParameterDB restored;
    EXPECT_EQ(0u, restored.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(1), 255));
    EXPECT_EQ(2u, restored.componentNum());
    EXPECT_EQ(kNone, restored.getComponentIndex(PDB::UniqId(10)));
    EXPECT_EQ(66u, restored.getUInt32(restored.getComponentIndex(PDB::UniqId(30)), kA, 1, 2, nullptr));

    // Values only: identifier 20 is a Grid here, the image holds a Mixed under it.
    PDB::LocalParameterDB other;
    ASSERT_EQ(0u, other.initialize(1, "O"));
    ASSERT_EQ(0u, other.addComponent(PDB::UniqId(30), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, other.addComponent(PDB::UniqId(20), "Grid", 2, 0, 0, 0));
    const std::vector<uint8_t> before = exportOf(other);
    const std::vector<uint8_t> good = exportOf(source);
    EXPECT_EQ(0x80020000u, other.importBinary(good.data(), uint32_t(good.size()), PDB::ImportAttr(0), 255));
    EXPECT_EQ(before, exportOf(other));  // not even identifier 30, which comes first
}

TEST(LocalParameterDBTest, RecallPairsSlotsByNumber)
{
    PDB::LocalParameterDB source;
    fill(source);
    PDB::LocalParameterDB target(source);
    ASSERT_EQ(0u, source.setUInt32(0, kA, 0, 0, 11, 0));
    ASSERT_EQ(0u, source.setUInt32(2, kA, 0, 0, 22, 0));

    EXPECT_EQ(0u, target.recall(2, kA, source, PDB::ImportAttr(0), 0));
    EXPECT_EQ(22u, target.getUInt32(2, kA, 0, 0, nullptr));
    EXPECT_EQ(5u, target.getUInt32(0, kA, 0, 0, nullptr));
    EXPECT_EQ(0u, target.recall(source, PDB::ImportAttr(0), 0));
    EXPECT_EQ(11u, target.getUInt32(0, kA, 0, 0, nullptr));

    // An address cached against the source selects the same numbers here.
    const PDB::AddressId address = source.getAddressId(PDB::UniqId(20), "/A");
    ASSERT_TRUE(address.isCached());
    ASSERT_EQ(0u, source.setUInt32(address, 1, 1, 33, 0));
    EXPECT_EQ(0u, target.recall(address, source, PDB::ImportAttr(0), 0));
    EXPECT_EQ(33u, target.getUInt32(address, 1, 1, nullptr));

    // A target with fewer slots: the first extra source slot with a component stops the recall.
    PDB::LocalParameterDB shorter(source);
    ASSERT_EQ(0u, shorter.removeComponent(PDB::UniqId(20)));
    ASSERT_EQ(0u, source.setUInt32(0, kA, 0, 0, 44, 0));
    EXPECT_EQ(PDB::ComponentNULL::kNullComponent, shorter.recall(source, PDB::ImportAttr(0), 0));
    EXPECT_EQ(44u, shorter.getUInt32(0, kA, 0, 0, nullptr));  // slots before it were recalled
}

TEST(LocalParameterDBTest, ResizeRefillsDefaultsAndKeepsTheOverlapOnRequest)
{
    PDB::LocalParameterDB db;
    fill(db);
    ASSERT_EQ(0u, db.setUInt32(1, 0, 0, 0, 500, 0));
    ASSERT_EQ(0u, db.setUInt32(1, 0, 1, 1, 600, 0));
    EXPECT_EQ(0u, db.resizeComponent(1, 3, 3, true, 0));
    EXPECT_EQ(500u, db.getUInt32(1, 0, 0, 0, nullptr));
    EXPECT_EQ(600u, db.getUInt32(1, 0, 1, 1, nullptr));
    EXPECT_EQ(1u, db.getUInt32(1, 0, 2, 2, nullptr));  // new elements get the default
    EXPECT_EQ(0u, db.resizeComponent(1, 3, 3, false, 0));
    EXPECT_EQ(1u, db.getUInt32(1, 0, 0, 0, nullptr));
    EXPECT_EQ(0u, db.resizeComponent(7, 1, 1, false, 0));  // the null component's answer
    EXPECT_EQ(3u, db.componentIndexNum());
}

TEST(LocalParameterDBTest, OperationsItDoesNotOfferStopAtTheAssertion)
{
    PDB::LocalParameterDB db;
    fill(db);
    EXPECT_DEATH((void)db.useComponent(PDB::UniqId(30)), "");
    EXPECT_DEATH((void)db.getFactor(0, kA, 0, 0), "");
    EXPECT_DEATH((void)db.addDirtyFlag(1, nullptr, PDB::SubscribeAttr(1)), "");
}
