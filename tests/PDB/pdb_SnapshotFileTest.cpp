#include "PDB/pdb_SnapshotFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PDB/pdb_LocalParameterDB.h"
#include "pdb_StoredTestSetup.h"

namespace {

using PDB::SnapshotContentsItem;
using PDB::SnapshotContentsList;
using PDB::SnapshotData;
using PDB::UniqId;
using storedtest::Databases;

constexpr uint32_t kAll = PDB::PresetContentsItem::kAllElements;

void initialize(SnapshotData& snapshot, const SnapshotContentsList& list, const char* folder,
                const char* product = "MUR-UZ", uint32_t version = 0, uint32_t word = 0)
{
    ASSERT_EQ(0u, snapshot.initialize(product, version, word, list, folder));
}

// The item image of an entry written from the live databases.
std::vector<uint8_t> imageOf(const SnapshotContentsItem& item, bool withValues = true)
{
    const uint32_t size = item.exportBinarySize(withValues);
    std::vector<uint8_t> bytes(JLIB::isFailure(size) ? 0 : size, 0xA5);
    EXPECT_EQ(0u, item.exportBinary(bytes.data(), size, 0, withValues));
    return bytes;
}

TEST(SnapshotFileTest, StoreSaveLoadRecallReturnsValuesToTheirOwnDatabases)
{
    Databases d;
    PDB::IParameterDB& device = Databases::db("VDeviceSetup");
    Databases::fill(Databases::audio(), 10, 100);
    Databases::fill(Databases::audio(), 11, 150);
    Databases::fill(device, 30, 60);
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    ASSERT_EQ(0u, list.addParameter(Databases::audio(), UniqId(11), "/U8", kAll, 0));
    ASSERT_EQ(0u, list.addParameterDB(device));
    SnapshotData scene;
    initialize(scene, list, d.folder.c_str());
    ASSERT_EQ(0u, scene.store(Databases::db("SnapshotInfo")));
    EXPECT_GE(Databases::get(scene.snapshotInfo(), 0, "/Info/TimeStamp/Year"), 2020u);
    ASSERT_EQ(0u, scene.saveAs("one.vexas"));

    Databases::fill(Databases::audio(), 10, 0);
    Databases::fill(Databases::audio(), 11, 0);
    Databases::fill(device, 30, 0);

    SnapshotData loaded;
    initialize(loaded, SnapshotContentsList(), d.folder.c_str());
    ASSERT_EQ(0u, loaded.load("one.vexas"));
    ASSERT_EQ(3u, loaded.contents().num());
    EXPECT_EQ(0u, loaded.contents().item(2).kind());
    EXPECT_EQ("VDeviceSetup", loaded.contents().item(2).dbName());
    EXPECT_EQ(11u, loaded.contents().item(1).uniqId().id());
    ASSERT_EQ(0u, loaded.recall());
    EXPECT_TRUE(Databases::holds(Databases::audio(), 10, 100));
    for (uint32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(150u + x * 10, Databases::get(Databases::audio(), 11, "/U8", x, 0));
        EXPECT_EQ(0u + x * 10 + 1, Databases::get(Databases::audio(), 11, "/U8", x, 1));  // not in the entry
    }
    EXPECT_TRUE(Databases::holds(device, 30, 60));
}

TEST(SnapshotFileTest, ItemImageCarriesItsOwnTagAndId)
{
    Databases d;
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addParameter(Databases::audio(), UniqId(11), "/U8", kAll, 0));
    const std::vector<uint8_t> bytes = imageOf(list.item(0));
    ASSERT_EQ(16u + 20u + 4u, bytes.size());  // names 10 + 6 + 3 = 19 padded; 3 values padded to 4
    EXPECT_EQ(0, std::memcmp(bytes.data(), "#SC1", 4));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 11}), std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 12));
    EXPECT_EQ(0xFF, bytes[12]);
    EXPECT_EQ(0xFF, bytes[13]);

    PDB::MBDFPDBSSBlock block;
    ASSERT_EQ(0u, block.initialize("", list.item(0), 0, true));
    EXPECT_TRUE(block.isValid());
    EXPECT_EQ("#PDB SS", block.blockTag());
    ASSERT_EQ(bytes.size(), block.dataSize(false));
    EXPECT_EQ(0, std::memcmp(block.data(), bytes.data(), bytes.size()));
}

TEST(SnapshotFileTest, EntriesRefuseWhatTheyCannotReach)
{
    Databases d;
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    const SnapshotContentsItem& component = list.item(0);
    const std::vector<uint8_t> image = imageOf(component);
    ASSERT_FALSE(image.empty());

    PDB::ParameterDBCollection none;  // no database at all
    PDB::ParameterDBCollection scratch(PDB::gPDBCollection);
    auto& local = dynamic_cast<PDB::LocalParameterDB&>(scratch.getPDB("AudioCompo"));
    ASSERT_EQ(0u, local.removeComponent(UniqId(10)));
    std::vector<uint8_t> retargeted = image;  // the stored id chooses the component: 20 is "StoreOtherT"
    retargeted[11] = 20;
    std::vector<uint8_t> otherTag = image;
    otherTag[2] = 'P';

    struct Case {
        const char* name;
        const std::vector<uint8_t>* bytes;
        uint32_t size;
        PDB::ParameterDBCollection* registry;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"no database of the name", &image, uint32_t(image.size()), &none, 0x80000002u},
        {"component gone", &image, uint32_t(image.size()), &scratch, 0x80000001u},
        {"component of another type", &retargeted, uint32_t(image.size()), &PDB::gPDBCollection, 0x80010000u},
        {"not a snapshot image", &otherTag, uint32_t(image.size()), &PDB::gPDBCollection, 0x80010000u},
        {"shorter than a header", &image, 15, &PDB::gPDBCollection, 0x80000001u},
        {"values cut off", &image, 16 + 16, &PDB::gPDBCollection, 0x80010000u},
        {"readable", &image, uint32_t(image.size()), &PDB::gPDBCollection, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SnapshotContentsItem entry;
        EXPECT_EQ(c.result, entry.importBinary(c.bytes->data(), c.size, true, *c.registry));
    }

    std::vector<uint8_t> buffer(image.size(), 0);
    EXPECT_EQ(0x80000002u, component.exportBinary(buffer.data(), uint32_t(buffer.size()), 0, true, none));
    EXPECT_EQ(0u, component.exportBinarySize(true, none));
    EXPECT_EQ(0x80000001u, component.exportBinary(nullptr, uint32_t(buffer.size()), 0, true));
    EXPECT_EQ(0x80000001u, component.exportBinary(buffer.data(), uint32_t(buffer.size()) - 1, 0, true));
    PDB::MBDFPDBSSBlock block;
    EXPECT_EQ(0x80000001u, block.initialize("", component, 0, true, none));
    const PDB::LocalParameterDB unnamed;
    EXPECT_EQ(0x80000001u, list.addParameterDB(unnamed));
    EXPECT_EQ(1u, list.num());
}

TEST(SnapshotFileTest, RecallPassesOverNotRecallableAndRecallSafeElements)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    Databases::set(Databases::audio(), 10, "/Fixed", 40);
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    ASSERT_EQ(0u, list.addParameter(Databases::audio(), UniqId(10), "/Fixed", 0, 0));
    ASSERT_EQ(0u, list.addParameterArray(Databases::audio(), UniqId(10), "/Fixed"));
    SnapshotData scene;
    initialize(scene, list, nullptr);
    ASSERT_EQ(0u, scene.store(Databases::db("SnapshotInfo")));

    // Without a list: everything recallable returns.
    Databases::fill(Databases::audio(), 10, 0);
    Databases::set(Databases::audio(), 10, "/Fixed", 60);
    ASSERT_EQ(0u, scene.recall());
    EXPECT_TRUE(Databases::holds(Databases::audio(), 10, 100));
    EXPECT_EQ(60u, Databases::get(Databases::audio(), 10, "/Fixed"));

    // With a list: the listed element keeps its live value as well.
    Databases::fill(Databases::audio(), 10, 0);
    SnapshotContentsList safe;
    ASSERT_EQ(0u, safe.addParameter(Databases::audio(), UniqId(10), "/U8", 1, 1));
    ASSERT_EQ(0u, scene.recall(safe));
    EXPECT_EQ(11u, Databases::get(Databases::audio(), 10, "/U8", 1, 1));
    EXPECT_EQ(121u, Databases::get(Databases::audio(), 10, "/U8", 2, 1));
    EXPECT_EQ(100u, Databases::get(Databases::audio(), 10, "/U8", 0, 0));
    EXPECT_EQ(60u, Databases::get(Databases::audio(), 10, "/Fixed"));
}

TEST(SnapshotFileTest, EditorImageTravelsAsExactlyItsSize)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    SnapshotContentsList copy;
    ASSERT_EQ(0u, copy.addParameter(Databases::audio(), UniqId(10), "/U8", kAll, 0));
    SnapshotData source;
    initialize(source, copy, nullptr, "OPV_SNAPSHOT", 1, 1);
    ASSERT_EQ(0u, source.update());
    const uint32_t size = source.exportBinarySize();
    std::vector<uint8_t> image(size, 0);
    EXPECT_EQ(0x80000001u, source.exportBinary(image.data(), size - 1));
    ASSERT_EQ(0u, source.exportBinary(image.data(), size));
    EXPECT_EQ(0, std::memcmp(image.data(), "#JOVRIX MBDF", 12));
    EXPECT_EQ(0, std::memcmp(image.data() + size - 36, "#END", 4));

    Databases::fill(Databases::audio(), 10, 0);
    SnapshotData paste;
    initialize(paste, SnapshotContentsList(), nullptr, "OPV_SNAPSHOT", 1, 1);
    ASSERT_EQ(0u, paste.importBinary(image.data(), size));
    ASSERT_EQ(1u, paste.contents().num());
    ASSERT_EQ(0u, paste.recall());
    for (uint32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(100u + x * 10, Databases::get(Databases::audio(), 10, "/U8", x, 0));
        EXPECT_EQ(0u + x * 10 + 1, Databases::get(Databases::audio(), 10, "/U8", x, 1));
    }

    SnapshotData scene;
    initialize(scene, SnapshotContentsList(), nullptr, "MUR-UZ");
    EXPECT_EQ(0x80020000u, scene.importBinary(image.data(), size));

    // Bytes from the editor are untrusted: every cut answers a failure.
    for (uint32_t n = 0; n < size; ++n) EXPECT_TRUE(JLIB::isFailure(paste.importBinary(image.data(), n))) << n;
    std::vector<uint8_t> broken = image;
    broken[size - 36 - 4] ^= 0xFF;  // inside the item image's values: still a readable container
    EXPECT_EQ(0u, paste.importBinary(broken.data(), size));
    EXPECT_EQ(0x80000001u, paste.importBinary(nullptr, size));
}

TEST(SnapshotFileTest, ProtectIsReadAsABool)
{
    Databases d;
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    SnapshotData scene;
    initialize(scene, list, nullptr);
    PDB::LocalParameterDB info(Databases::db("SnapshotInfo"));
    const uint32_t ci = info.getComponentIndex(UniqId(0));
    const uint32_t ai = info.getAddressIndex(UniqId(0), "/Info/Protect");
    ASSERT_EQ(0u, info.setBool(ci, ai, 0, 0, true, 0xFF));
    ASSERT_EQ(0u, scene.store(info));
    EXPECT_TRUE(scene.isProtected());
    EXPECT_EQ(0x80000008u, scene.store(info));
    ASSERT_EQ(0u, info.setBool(ci, ai, 0, 0, false, 0xFF));
    EXPECT_EQ(0u, scene.store(info));
    EXPECT_FALSE(scene.isProtected());
    EXPECT_EQ(0x80080000u, scene.store(Databases::audio()));
}

TEST(SnapshotFileTest, ClearKeepsTheSettingsAndMakeFileNameEndsInPst)
{
    Databases d;
    SnapshotContentsList list;
    ASSERT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    SnapshotData source;
    initialize(source, list, nullptr, "OPV_SNAPSHOT", 1, 1);
    ASSERT_EQ(0u, source.update());
    std::vector<uint8_t> image(source.exportBinarySize(), 0);
    ASSERT_EQ(0u, source.exportBinary(image.data(), uint32_t(image.size())));

    EXPECT_EQ(0u, source.clear());
    EXPECT_FALSE(source.isCached());
    EXPECT_EQ(0u, source.contents().num());
    EXPECT_EQ(0x80080000u, source.recall());
    EXPECT_EQ(0u, source.importBinary(image.data(), uint32_t(image.size())));  // the product name stayed

    std::string name = "poison";
    ASSERT_EQ(0u, source.makeFileName(name));
    ASSERT_EQ(36u, name.size());
    EXPECT_EQ(".pst", name.substr(32));
    EXPECT_EQ(std::string::npos, name.substr(0, 32).find_first_not_of("0123456789ABCDEF"));
}

}  // namespace
