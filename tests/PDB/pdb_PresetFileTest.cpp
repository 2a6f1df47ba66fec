#include "PDB/pdb_PresetFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_BackupFile.h"
#include "PDB/pdb_ParameterDB.h"
#include "pdb_StoredTestSetup.h"

namespace {

using PDB::PresetContentsList;
using PDB::PresetData;
using PDB::UniqId;
using storedtest::Databases;

constexpr uint32_t kAll = PDB::PresetContentsItem::kAllElements;

// Component 10 whole, and /U8 along X at y = 1 of component 10.
PresetContentsList componentAndRow()
{
    PresetContentsList list;
    EXPECT_EQ(0u, list.addComponent(Databases::audio(), UniqId(10)));
    EXPECT_EQ(0u, list.addParameter(Databases::audio(), UniqId(10), "/U8", kAll, 1));
    return list;
}

void initialize(PresetData& preset, const PresetContentsList& list, const std::string& folder,
                const char* product = "MUR-UZ")
{
    ASSERT_EQ(0u, preset.initialize(product, 0, 0, "Reverb", list, folder.c_str()));
}

TEST(PresetFileTest, StoreSaveLoadRecallOntoAnotherComponentAndDatabase)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    Databases::setText(Databases::audio(), 10, "/Str", "hello");
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    EXPECT_EQ("MUR-UZ", Databases::getText(preset.presetInfo(), 0, "/Info/ProductName"));
    EXPECT_EQ("Reverb", Databases::getText(preset.presetInfo(), 0, "/Info/PresetType"));
    Databases::setText(preset.presetInfo(), 0, "/Info/Title", "Hall");

    ASSERT_EQ(0u, preset.store(preset.presetInfo()));
    EXPECT_TRUE(preset.isCached());
    EXPECT_GE(Databases::get(preset.presetInfo(), 0, "/Info/TimeStamp/Year"), 2020u);
    const uint32_t month = Databases::get(preset.presetInfo(), 0, "/Info/TimeStamp/Month");
    EXPECT_TRUE(month >= 1 && month <= 12);
    ASSERT_EQ(0u, preset.saveAs("a.vexap"));
    EXPECT_EQ("a.vexap", preset.fileName());

    PresetData loaded;
    initialize(loaded, PresetContentsList(), d.folder);
    ASSERT_EQ(0u, loaded.load("a.vexap"));
    EXPECT_EQ("a.vexap", loaded.fileName());
    ASSERT_EQ(2u, loaded.contents().num());
    EXPECT_EQ(1u, loaded.contents().item(0).kind());
    EXPECT_EQ("AudioCompo", loaded.contents().item(0).dbName());
    EXPECT_EQ(10u, loaded.contents().item(0).uniqId().id());
    EXPECT_EQ("StoreT", loaded.contents().item(0).componentName());
    EXPECT_EQ(3u, loaded.contents().item(1).kind());
    EXPECT_EQ("/U8", loaded.contents().item(1).address());
    EXPECT_EQ(kAll, loaded.contents().item(1).x());
    EXPECT_EQ(1u, loaded.contents().item(1).y());
    EXPECT_EQ("Hall", Databases::getText(loaded.presetInfo(), 0, "/Info/Title"));

    // Onto another component of the registered database: the stored id is not consulted.
    ASSERT_EQ(0u, loaded.recall(Databases::audio(), UniqId(11)));
    EXPECT_TRUE(Databases::holds(Databases::audio(), 11, 100));
    EXPECT_EQ("hello", Databases::getText(Databases::audio(), 11, "/Str"));

    // Onto a database of a second set that no registry knows.
    PDB::SimpleReadWriteMutex lock;
    PDB::ParameterDB second;
    ASSERT_EQ(0u, second.initialize(15, "Elsewhere", &lock));
    ASSERT_EQ(0u, second.addComponent(UniqId(5), "StoreT", 1, 1, 1, 0));
    ASSERT_EQ(0u, loaded.recall(second, UniqId(5)));
    EXPECT_TRUE(Databases::holds(second, 5, 100));

    // A component of another type refuses every entry.
    EXPECT_EQ(0x80010000u, loaded.recall(Databases::audio(), UniqId(20)));
}

TEST(PresetFileTest, StoreRefusesOrReportsWhatItCannotKeep)
{
    Databases d;
    PresetData preset;
    PresetContentsList missing = componentAndRow();
    PDB::PresetContentsItem ghost;
    (void)ghost.set(PDB::PresetContentsItem::KIND_COMPONENT, "NotRegistered", UniqId(1), "StoreT", nullptr, 0, 0);
    // The missing database sits in the middle: it and every later entry are left out.
    PresetContentsList withGhost;
    ASSERT_EQ(0u, withGhost.addItem(missing.item(0)));
    ASSERT_EQ(0u, withGhost.addItem(ghost));
    ASSERT_EQ(0u, withGhost.addItem(missing.item(1)));

    struct Case {
        const char* name;
        PresetContentsList list;
        bool otherInfo;
        JLIB::JResult result;
        uint32_t blocks;  // data blocks in the container afterwards
    };
    const Case cases[] = {
        {"empty contents", PresetContentsList(), false, 0x80080000u, 0},
        {"information of another name", componentAndRow(), true, 0x80080000u, 0},
        {"entry of a missing database", withGhost, false, PresetData::kEntryLeftOut, 2},
        {"complete", componentAndRow(), false, 0u, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        initialize(preset, c.list, d.folder);
        (void)preset.unCache();
        const PDB::IParameterDB& info = c.otherInfo ? Databases::audio() : preset.presetInfo();
        EXPECT_EQ(c.result, preset.store(info));
        std::vector<uint8_t> image(preset.exportBinarySize(), 0);
        if (c.blocks == 0) {
            EXPECT_FALSE(preset.isCached());
            continue;
        }
        // The item blocks that made it in, counted through the image of a reloaded copy.
        ASSERT_EQ(0u, preset.exportBinary(image.data(), uint32_t(image.size())));
        PresetData copy;
        initialize(copy, PresetContentsList(), d.folder);
        ASSERT_EQ(0u, copy.importBinary(image.data(), uint32_t(image.size())));
        EXPECT_EQ(c.blocks - 1, copy.contents().num());
    }
}

TEST(PresetFileTest, ProtectedPresetIsOverwrittenOnlyWithUnprotectedInformation)
{
    Databases d;
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    PDB::LocalParameterDB info(preset.presetInfo());
    Databases::set(info, 0, "/Info/Protect", 1);
    ASSERT_EQ(0u, preset.store(info));
    EXPECT_TRUE(preset.isProtected());

    Databases::setText(info, 0, "/Info/Title", "Changed");
    EXPECT_EQ(0x80000008u, preset.store(info));
    EXPECT_TRUE(preset.isProtected());
    EXPECT_EQ("", Databases::getText(preset.presetInfo(), 0, "/Info/Title"));

    Databases::set(info, 0, "/Info/Protect", 0);
    EXPECT_EQ(0u, preset.store(info));
    EXPECT_FALSE(preset.isProtected());
    EXPECT_EQ("Changed", Databases::getText(preset.presetInfo(), 0, "/Info/Title"));
}

TEST(PresetFileTest, RecallKeepsTheRecallSafeElements)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.store(preset.presetInfo()));

    Databases::fill(Databases::audio(), 11, 50);
    PresetContentsList safe;
    ASSERT_EQ(0u, safe.addParameter(Databases::audio(), UniqId(11), "/U8", 2, 0));
    ASSERT_EQ(0u, preset.recall(Databases::audio(), UniqId(11), safe));
    EXPECT_EQ(50u + 20u, Databases::get(Databases::audio(), 11, "/U8", 2, 0));
    EXPECT_EQ(100u + 21u, Databases::get(Databases::audio(), 11, "/U8", 2, 1));
    EXPECT_EQ(100u, Databases::get(Databases::audio(), 11, "/U8", 0, 0));
}

TEST(PresetFileTest, OperationsRefuseMissingInputs)
{
    Databases d;
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    EXPECT_EQ(0x80080000u, preset.recall(Databases::audio(), UniqId(11)));
    std::vector<uint8_t> buffer(64, 0);
    EXPECT_EQ(0x80080000u, preset.exportBinary(buffer.data(), uint32_t(buffer.size())));
    EXPECT_EQ(0x80080000u, preset.saveAs(nullptr));
    EXPECT_EQ(0x80000001u, preset.copyTo(nullptr));
    EXPECT_EQ(0x80000001u, preset.load(nullptr));
    EXPECT_EQ(0x80000001u, preset.importBinary(nullptr, 10));
    EXPECT_EQ(0x80000001u, preset.initialize(nullptr, 0, 0, nullptr, PresetContentsList(), nullptr));
    EXPECT_EQ(0x80000000u, preset.load("does-not-exist.vexap"));
    EXPECT_EQ(0x80000000u, preset.remove());  // no file name yet

    // A failed load leaves the contents empty; writers then have nothing to write.
    EXPECT_EQ(0u, preset.contents().num());
    EXPECT_EQ(0x80080000u, preset.copyTo("copy.vexap"));

    // A writer stores first when nothing is cached, so an initialised preset saves live values.
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.copyTo("copy.vexap"));
    EXPECT_EQ("", preset.fileName());
    ASSERT_EQ(0u, preset.save());
    EXPECT_EQ(36u, preset.fileName().size());
    EXPECT_EQ(0u, preset.remove());
    EXPECT_EQ(0x80000000u, preset.remove());
}

TEST(PresetFileTest, LoadRefusesOtherFileTypesAndProducts)
{
    Databases d;
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.saveAs("mine.vexap"));

    PresetData other;
    initialize(other, componentAndRow(), d.folder, "Vexalume");
    EXPECT_EQ(0x80020000u, other.load("mine.vexap"));
    EXPECT_EQ(0u, other.contents().num());
    EXPECT_EQ("", other.fileName());

    FILECACHE::MBDF snapshotFile;
    uint8_t uuid[16] = {};
    ASSERT_EQ(0u, snapshotFile.initialize("Snapshot", "MUR-UZ", 0, uuid, 16));
    ASSERT_EQ(0u, snapshotFile.writeAll((d.folder + "/s.vexas").c_str(), nullptr, nullptr, false));
    EXPECT_EQ(0x80020000u, preset.load("s.vexas"));
    EXPECT_EQ("mine.vexap", preset.fileName());
}

TEST(PresetFileTest, LoadedInformationBlockIsADatabaseBlock)
{
    Databases d;
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.saveAs("db.vexap"));
    FILECACHE::MBDF file;
    ASSERT_EQ(0u, file.readAll((d.folder + "/db.vexap").c_str(), true, nullptr, nullptr, 0));
    PDB::MBDFPDBBlock* info = file.blockPtr<PDB::MBDFPDBBlock>(0u);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ("PresetInfo", info->instanceNameTag());
    EXPECT_NE(nullptr, file.blockPtr<PDB::MBDFPDBPSBlock>(1u));
}

TEST(PresetFileTest, ApplyPresetInfoReplacesOnlyTheInformation)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.saveAs("t.vexap"));

    // Never stored or loaded: only the information changes.
    PresetData fresh;
    initialize(fresh, componentAndRow(), d.folder);
    PDB::LocalParameterDB info(fresh.presetInfo());
    Databases::setText(info, 0, "/Info/Title", "New");
    EXPECT_EQ(0u, fresh.applyPresetInfo(info));
    EXPECT_FALSE(fresh.isCached());
    EXPECT_EQ("New", Databases::getText(fresh.presetInfo(), 0, "/Info/Title"));
    EXPECT_EQ(0x80080000u, fresh.applyPresetInfo(Databases::audio()));

    Databases::fill(Databases::audio(), 10, 0);
    ASSERT_EQ(0u, fresh.load("t.vexap"));
    Databases::setText(info, 0, "/Info/Title", "Renamed");
    ASSERT_EQ(0u, fresh.applyPresetInfo(info));
    ASSERT_EQ(0u, fresh.saveAs("t.vexap"));

    PresetData reread;
    initialize(reread, PresetContentsList(), d.folder);
    ASSERT_EQ(0u, reread.load("t.vexap"));
    EXPECT_EQ("Renamed", Databases::getText(reread.presetInfo(), 0, "/Info/Title"));
    ASSERT_EQ(0u, reread.recall(Databases::audio(), UniqId(11)));
    EXPECT_TRUE(Databases::holds(Databases::audio(), 11, 100));
}

TEST(PresetFileTest, ImageRoundTripsAndRefusesDamage)
{
    Databases d;
    Databases::fill(Databases::audio(), 10, 100);
    PresetData preset;
    initialize(preset, componentAndRow(), d.folder);
    ASSERT_EQ(0u, preset.update());
    const uint32_t size = preset.exportBinarySize();
    std::vector<uint8_t> image(size, 0);
    EXPECT_EQ(0x80000001u, preset.exportBinary(image.data(), size - 1));
    ASSERT_EQ(0u, preset.exportBinary(image.data(), size));

    PresetData same;
    initialize(same, PresetContentsList(), d.folder);
    ASSERT_EQ(0u, same.importBinary(image.data(), size));
    EXPECT_EQ(2u, same.contents().num());
    ASSERT_EQ(0u, same.recall(Databases::audio(), UniqId(11)));
    EXPECT_TRUE(Databases::holds(Databases::audio(), 11, 100));

    PresetData other;
    initialize(other, PresetContentsList(), d.folder, "Vexalume");
    EXPECT_EQ(0x80020000u, other.importBinary(image.data(), size));

    // Every cut and a flipped size field: a failure code, never a crash.
    for (uint32_t n = 0; n < size; n += 3) {
        const JLIB::JResult r = same.importBinary(image.data(), n);
        EXPECT_TRUE(JLIB::isFailure(r)) << n;
    }
    std::vector<uint8_t> broken = image;
    broken[28] = 0x7F;  // the top block's data size
    EXPECT_EQ(0x80000000u, same.importBinary(broken.data(), size));
}

TEST(PresetFileTest, MakeFileNameIsFreshHexWithDat)
{
    PresetData preset;
    std::set<std::string> names;
    for (int i = 0; i < 4; ++i) {
        std::string name = "poison";
        ASSERT_EQ(0u, preset.makeFileName(name));
        ASSERT_EQ(36u, name.size());
        EXPECT_EQ(".dat", name.substr(32));
        for (char c : name.substr(0, 32)) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << name;
        names.insert(name);
    }
    EXPECT_EQ(4u, names.size());
}

}  // namespace
