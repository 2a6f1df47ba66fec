// Images, import and recall of the live database.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "PDB/pdb_ComponentNULL.h"
#include "PDB/pdb_LocalParameterDB.h"
#include "PDB/pdb_ParameterDB.h"
#include "pdb_ComponentTestTypes.h"

namespace {

constexpr uint32_t kA = 0;  // Mixed /A: UINT8 2 x 3, 0..100, default 5

class ConfigCounter : public PDB::IParameterDBCallback {
public:
    uint32_t rawCallbackChangePDBConfig() override
    {
        ++configChanges;
        return 0;
    }
    uint32_t rawCallbackSetPDBParameter() override { return 0; }
    int configChanges = 0;
};

uint32_t be32(const std::vector<uint8_t>& image, size_t at)
{
    return uint32_t(image[at]) << 24 | uint32_t(image[at + 1]) << 16 | uint32_t(image[at + 2]) << 8 | image[at + 3];
}

std::vector<uint8_t> exportOf(const PDB::IParameterDB& db)
{
    std::vector<uint8_t> image(db.exportBinarySize());
    EXPECT_EQ(0u, db.exportBinary(image.data(), uint32_t(image.size()), 0));
    return image;
}

// Slots 0..2 hold UniqIds 30 (Mixed), 10 (Grid), 20 (Mixed).
void fill(PDB::ParameterDB& db, uint32_t instanceId, const char* name)
{
    (void)pdbtest::mixedType();
    (void)pdbtest::gridType();
    ASSERT_EQ(0u, db.initialize(instanceId, name, nullptr));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(30), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(10), "Grid", 2, 2, 2, 0));
    ASSERT_EQ(0u, db.addComponent(PDB::UniqId(20), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, db.setUInt32(0, kA, 1, 2, 66, 1));
    ASSERT_EQ(0u, db.setUInt32(2, kA, 1, 2, 77, 1));
}

// Number of elements the walk of the slot finds changed since its last capture.
int dirtyCount(PDB::ParameterDB& db, int32_t slot)
{
    EXPECT_EQ(0u, db.captureDirtyFlag(slot));
    int count = 0;
    uint32_t ci = 0, ai = 0, x = 0, y = 0;
    while (db.checkNextDirty(slot, ci, ai, x, y, false) == 0 && count < 1000) ++count;
    return count;
}

}  // namespace

TEST(ParameterDBImageTest, ImageRoundTripsAndAnnouncesOneConfigurationChange)
{
    PDB::ParameterDB source;
    fill(source, 1, "Source");
    const std::vector<uint8_t> image = exportOf(source);
    const uint32_t mixed = source._getComponent(0).exportSize(), grid = source._getComponent(1).exportSize();
    ASSERT_EQ(24u + 2 * mixed + grid, image.size());
    EXPECT_EQ(0, std::memcmp(image.data(), "#CT1", 4));
    EXPECT_EQ((std::vector<uint32_t>{24, 24 + grid, 24 + grid + mixed}),
              (std::vector<uint32_t>{be32(image, 12), be32(image, 16), be32(image, 20)}));
    EXPECT_EQ(image, exportOf(PDB::LocalParameterDB(source)));  // one format for both databases

    PDB::ParameterDB target;
    ASSERT_EQ(0u, target.initialize(2, "Target", nullptr));
    ASSERT_EQ(0u, target.addComponent(PDB::UniqId(99), "Mixed", 1, 0, 0, 0));
    ConfigCounter subscriber;
    ASSERT_EQ(0u, target.addDirtyFlag(7, &subscriber, PDB::SubscribeAttr(0)));
    EXPECT_EQ(0u, target.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(1), 255));
    EXPECT_EQ(1, subscriber.configChanges);
    EXPECT_EQ(image, exportOf(target));
    EXPECT_EQ(0, target.getDirtyFlagSet(7));  // the subscription stayed
    PDB::UniqIdList added;
    ASSERT_EQ(0u, target.newComponentList(added));
    EXPECT_EQ((PDB::UniqIdList{PDB::UniqId(10), PDB::UniqId(20), PDB::UniqId(30)}), added);
    uint8_t f = 0xA5;
    EXPECT_EQ(66u, target.getUInt32(target.getComponentIndex(PDB::UniqId(30)), kA, 1, 2, &f));
    EXPECT_EQ(0, f);  // imported elements carry factor 0

    // Values only, into present identifiers; then an image of no entries: one notice each.
    ASSERT_EQ(0u, source.setUInt32(2, kA, 0, 0, 12, 1));
    const std::vector<uint8_t> changed = exportOf(source);
    EXPECT_EQ(0u, target.importBinary(changed.data(), uint32_t(changed.size()), PDB::ImportAttr(0), 255));
    EXPECT_EQ(12u, target.getUInt32(target.getComponentIndex(PDB::UniqId(20)), kA, 0, 0, nullptr));
    PDB::ParameterDB empty;
    ASSERT_EQ(0u, empty.initialize(3, "Empty", nullptr));
    const std::vector<uint8_t> none = exportOf(empty);
    EXPECT_EQ(12u, none.size());
    EXPECT_EQ(0u, target.importBinary(none.data(), uint32_t(none.size()), PDB::ImportAttr(0), 255));
    EXPECT_EQ(3, subscriber.configChanges);
    EXPECT_EQ(0u, target.importBinary(none.data(), uint32_t(none.size()), PDB::ImportAttr(1), 255));
    EXPECT_EQ(0u, target.componentNum());
}

TEST(ParameterDBImageTest, RefusedImportsLeaveTheDatabaseAndItsSubscribersAlone)
{
    PDB::ParameterDB source;
    fill(source, 1, "Source");
    const std::vector<uint8_t> good = exportOf(source);
    const uint32_t third = be32(good, 20);

    PDB::ParameterDB target;
    fill(target, 2, "Target");
    ASSERT_EQ(0u, target.setUInt32(0, kA, 0, 0, 42, 1));
    ConfigCounter subscriber;
    ASSERT_EQ(0u, target.addDirtyFlag(7, &subscriber, PDB::SubscribeAttr(0)));
    const std::vector<uint8_t> before = exportOf(target);

    struct Case { const char* what; std::function<void(std::vector<uint8_t>&)> spoil; uint8_t attr; uint32_t result; };
    const Case cases[] = {
        {"wrong magic, with configuration", [](auto& i) { i[0] = '!'; }, 1, 0x80010000u},
        {"table larger than the image", [](auto& i) { i[8] = 0x10; }, 1, 0x80000001u},
        {"misaligned third offset", [&](auto& i) { i[23] = uint8_t(third + 1); }, 1, 0x80010000u},
        {"misaligned third offset, values only", [&](auto& i) { i[23] = uint8_t(third + 1); }, 0, 0x80010000u},
        {"offset beyond the image", [](auto& i) { i[20] = 0x7F; }, 1, 0x80010000u},
        {"record without its magic", [&](auto& i) { i[third + 92] = 'X'; }, 1, 0x80010000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> image = good;
        c.spoil(image);
        EXPECT_EQ(c.result, target.importBinary(image.data(), uint32_t(image.size()), PDB::ImportAttr(c.attr), 255));
        EXPECT_EQ(before, exportOf(target));
        EXPECT_EQ(0, subscriber.configChanges);
        EXPECT_EQ(0, target.getDirtyFlagSet(7));
    }
    EXPECT_EQ(0x80000001u, target.importBinary(nullptr, 100, PDB::ImportAttr(1), 255));
    EXPECT_EQ(0x80000001u, target.importBinary(good.data(), 11, PDB::ImportAttr(1), 255));

    // Values only: identifier 20 is a Grid here, the image has a Mixed under it.
    PDB::ParameterDB other;
    ASSERT_EQ(0u, other.initialize(3, "Other", nullptr));
    ASSERT_EQ(0u, other.addComponent(PDB::UniqId(30), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, other.addComponent(PDB::UniqId(20), "Grid", 2, 0, 0, 0));
    const std::vector<uint8_t> otherBefore = exportOf(other);
    EXPECT_EQ(0x80020000u, other.importBinary(good.data(), uint32_t(good.size()), PDB::ImportAttr(0), 255));
    EXPECT_EQ(otherBefore, exportOf(other));

    // A list export checks its buffer against what it writes.
    std::vector<uint8_t> buffer(before.size() * 2, 0xA5);
    const PDB::ComponentIndexList repeated{2, 2, 2, 2, 2};
    ASSERT_GT(target.exportBinarySize(repeated), uint32_t(before.size()));
    EXPECT_EQ(0x80000001u, target.exportBinary(buffer.data(), uint32_t(before.size()), 0, repeated));
    EXPECT_EQ(0x80000001u, target.exportBinary(buffer.data(), uint32_t(before.size()) - 1, 0));
    EXPECT_EQ(std::vector<uint8_t>(buffer.size(), 0xA5), buffer);

    ASSERT_EQ(0u, target.useComponent(PDB::UniqId(30)));
    EXPECT_EQ(0x80000004u, target.importBinary(good.data(), uint32_t(good.size()), PDB::ImportAttr(1), 255));
    EXPECT_EQ(before, exportOf(target));
}

TEST(ParameterDBImageTest, RecallPairsSlotsAndMarksDirtyByAttributesAndBracket)
{
    PDB::ParameterDB live;
    fill(live, 1, "Live");
    ASSERT_EQ(0u, live.addDirtyFlag(1, nullptr, PDB::SubscribeAttr(1)));
    ASSERT_EQ(0u, live.addDirtyFlag(2, nullptr, PDB::SubscribeAttr(0)));
    const int32_t recallSlot = live.getDirtyFlagSet(1), plainSlot = live.getDirtyFlagSet(2);
    (void)dirtyCount(live, recallSlot);
    (void)dirtyCount(live, plainSlot);

    PDB::LocalParameterDB copy(live);
    ASSERT_EQ(0u, copy.setUInt32(0, kA, 0, 0, 50, 0));

    struct Case { const char* what; uint8_t attr; bool bracket; int recallDirty; int plainDirty; };
    const Case cases[] = {
        {"no attribute: plain copy", 0x00, false, 0, 0},
        {"dirty marking", 0x02, false, 1, 1},
        {"dirty marking inside a bracket", 0x02, true, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0u, live.setUInt32(0, kA, 0, 0, 5, 1));
        (void)dirtyCount(live, recallSlot);
        (void)dirtyCount(live, plainSlot);
        if (c.bracket) EXPECT_EQ(0u, live._BeginRecall());
        EXPECT_EQ(0u, live.recall(copy, PDB::ImportAttr(c.attr), 0));
        if (c.bracket) EXPECT_EQ(0u, live._EndRecall());
        EXPECT_FALSE(live._IsRecalling());
        EXPECT_EQ(50u, live.getUInt32(0, kA, 0, 0, nullptr));
        EXPECT_EQ(c.recallDirty, dirtyCount(live, recallSlot));
        EXPECT_EQ(c.plainDirty, dirtyCount(live, plainSlot));
    }

    // Single address, by index and by an address cached against the live database.
    ASSERT_EQ(0u, copy.setUInt32(2, kA, 1, 1, 61, 0));
    EXPECT_EQ(0u, live.recall(2, kA, copy, PDB::ImportAttr(0), 0));
    EXPECT_EQ(61u, live.getUInt32(2, kA, 1, 1, nullptr));
    ASSERT_EQ(0u, copy.setUInt32(2, kA, 1, 0, 62, 0));
    const PDB::AddressId address = live.getAddressId(PDB::UniqId(20), "/A");
    EXPECT_EQ(0u, live.recall(address, copy, PDB::ImportAttr(0), 0));
    EXPECT_EQ(62u, live.getUInt32(2, kA, 1, 0, nullptr));

    // A source with a slot this database lacks stops there; earlier slots are recalled, and a
    // source with fewer slots leaves the rest alone.
    PDB::LocalParameterDB wider(copy);
    ASSERT_EQ(0u, wider.addComponent(PDB::UniqId(40), "Mixed", 1, 0, 0, 0));
    ASSERT_EQ(0u, wider.setUInt32(0, kA, 0, 1, 70, 0));
    EXPECT_EQ(PDB::ComponentNULL::kNullComponent, live.recall(wider, PDB::ImportAttr(0), 0));
    EXPECT_EQ(70u, live.getUInt32(0, kA, 0, 1, nullptr));
    PDB::LocalParameterDB narrower(copy);
    ASSERT_EQ(0u, narrower.removeComponent(PDB::UniqId(20)));
    ASSERT_EQ(0u, live.setUInt32(2, kA, 0, 0, 3, 1));
    EXPECT_EQ(0u, live.recall(narrower, PDB::ImportAttr(0), 0));
    EXPECT_EQ(3u, live.getUInt32(2, kA, 0, 0, nullptr));
}
