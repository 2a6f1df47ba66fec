#include "PDB/pdb_BackupFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileCache/fcache_FileAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "jlib/JHeap.h"

namespace {

using PDB::UniqId;

// "BackupT" 1: /Keep UINT16 (non-volatile, so a restore writes it), /Lose UINT8 (recallable only).
void registerType()
{
    static const bool done = [] {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        PDB::ComponentInfo t;
        EXPECT_EQ(0u, t.initialize("BackupT", 1, 1, 1, 4, 4, "x", "y", nullptr));
        const PDB::ParamAttr keep('T', PDB::ParamAttr::kRecallable | PDB::ParamAttr::kNonVolatile);
        const PDB::ParamAttr lose('T', PDB::ParamAttr::kRecallable);
        EXPECT_EQ(0u, t.addAddressUINT16("/Keep", 1, 1, "", "", 0, 60000, 1, 1, 1, 1, keep, "", "", ""));
        EXPECT_EQ(0u, t.addAddressUINT8("/Lose", 1, 1, "", "", 0, 200, 2, 2, 1, 1, lose, "", "", ""));
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a repeated call finds it registered
        return true;
    }();
    (void)done;
}

const char* const kNames[] = {"Profile", "DeviceSetup", "LongerThanTwelve"};

// Databases 0 to 2 in the process-wide registry, each with component 1 of "BackupT", and a
// folder of the test's own.
struct Registered {
    Registered()
    {
        registerType();
        for (uint32_t id = 0; id < 3; ++id) {
            EXPECT_EQ(0u, PDB::createPDB(id, kNames[id], &lock, 0));
            EXPECT_EQ(0u, db(id).addComponent(UniqId(1), "BackupT", 1, 1, 1, 0));
        }
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = ::testing::TempDir() + "backup_" + test->name() + "/data";
    }
    ~Registered()
    {
        for (uint32_t id = 0; id < 3; ++id) (void)PDB::destroyPDB(id);
        (void)FILECACHE::FileAccessor::remove((folder + "/..").c_str(), true);  // best-effort clean-up
    }
    PDB::IParameterDB& db(uint32_t id) { return PDB::gPDBCollection.getPDB(id); }
    void set(uint32_t id, uint32_t keep, uint32_t lose)
    {
        PDB::IParameterDB& d = db(id);
        const uint32_t ci = d.getComponentIndex(UniqId(1));
        EXPECT_FALSE(JLIB::isFailure(d.setUInt32(ci, d.getAddressIndex(UniqId(1), "/Keep"), 0, 0, keep, 0xFF)));
        EXPECT_FALSE(JLIB::isFailure(d.setUInt32(ci, d.getAddressIndex(UniqId(1), "/Lose"), 0, 0, lose, 0xFF)));
    }
    uint32_t get(uint32_t id, const char* address)
    {
        PDB::IParameterDB& d = db(id);
        return d.getUInt32(d.getComponentIndex(UniqId(1)), d.getAddressIndex(UniqId(1), address), 0, 0, nullptr);
    }
    std::string path(const char* name) const { return folder + "/" + name; }

    PDB::SimpleReadWriteMutex lock;  // declared first: it outlives the databases
    std::string folder;
};

PDB::PDBTable tableOf(Registered& r, std::initializer_list<uint32_t> ids, uint32_t word = 0)
{
    PDB::PDBTable table;
    for (uint32_t id : ids) table.emplace_back(&r.db(id), word);
    return table;
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

TEST(BackupFileTest, DatabaseBlockCarriesTheImageUnderTheCutName)
{
    Registered r;
    r.set(2, 777, 7);
    PDB::MBDFPDBBlock block;
    ASSERT_EQ(0u, block.initialize(r.db(2).name(), r.db(2), 0x01020304u));
    EXPECT_TRUE(block.isValid());
    EXPECT_EQ("#PDB DB", block.blockTag());
    EXPECT_EQ("LongerThanTw", block.instanceNameTag());
    const uint8_t* header = block.fixedHeader();
    EXPECT_EQ(0, std::memcmp(header, "#PDB DB\0\0\0\0\0LongerThanTw", 24));
    EXPECT_EQ(0u, block.optionSize(false));

    std::vector<uint8_t> image(r.db(2).exportBinarySize());
    ASSERT_EQ(0u, r.db(2).exportBinary(image.data(), uint32_t(image.size()), 0x01020304u));
    ASSERT_EQ(image.size(), block.dataSize(false));
    EXPECT_EQ(0, std::memcmp(image.data(), block.data(), image.size()));

    PDB::MBDFPDBBlock copy;
    copy = block;
    EXPECT_TRUE(copy.isValid());
    EXPECT_EQ(0, std::memcmp(copy.fixedHeader(), header, FILECACHE::MBDFAbstractBlock::kHeaderSize));
    EXPECT_EQ(0, std::memcmp(image.data(), copy.data(), image.size()));

    // The null database has no image: no block is made.
    PDB::MBDFPDBBlock empty;
    EXPECT_EQ(0x80000001u, empty.initialize("Status", PDB::ParameterDBNULL::getNullObject(), 0));
    EXPECT_FALSE(empty.isValid());
}

TEST(BackupFileTest, RestoresListedDatabasesFromTheirBlocks)
{
    Registered r;
    PDB::BackupFile backup;
    ASSERT_EQ(0u, backup.initialize("Vexalume", 0, tableOf(r, {0, 1}, 5), r.folder.c_str()));
    r.set(0, 1000, 100);
    r.set(1, 2000, 150);
    ASSERT_EQ(0u, backup.exportToFile("CurrentBackupFile.bup"));
    ASSERT_TRUE(exists(r.path("CurrentBackupFile.bup")));

    r.set(0, 1, 1);
    r.set(1, 2, 2);
    EXPECT_EQ(0u, backup.importFromFile("CurrentBackupFile.bup"));
    EXPECT_EQ(1000u, r.get(0, "/Keep"));
    EXPECT_EQ(2000u, r.get(1, "/Keep"));
    EXPECT_EQ(1u, r.get(0, "/Lose"));  // a restore writes non-volatile parameters only
    EXPECT_EQ(2u, r.get(1, "/Lose"));

    // A registered database that this backup does not list keeps its values, block or not.
    PDB::BackupFile narrower;
    ASSERT_EQ(0u, narrower.initialize("Vexalume", 3, tableOf(r, {1}), r.folder.c_str()));
    r.set(0, 3, 3);
    r.set(1, 4, 4);
    EXPECT_EQ(0u, narrower.importFromFile("CurrentBackupFile.bup"));  // the version is not compared
    EXPECT_EQ(3u, r.get(0, "/Keep"));
    EXPECT_EQ(2000u, r.get(1, "/Keep"));
}

TEST(BackupFileTest, RefusesFilesItCannotTrustBeforeTouchingAnything)
{
    Registered r;
    PDB::BackupFile backup;
    ASSERT_EQ(0u, backup.initialize("Vexalume", 0, tableOf(r, {0}), r.folder.c_str()));
    r.set(0, 500, 50);
    ASSERT_EQ(0u, backup.exportToFile("good.bup"));

    (void)PDB::MBDFPDBBlock::useThisBlock();  // always 0
    PDB::MBDFPDBBlock block;
    ASSERT_EQ(0u, block.initialize("Profile", r.db(0), 0));
    PDB::MBDFPDBBlock garbage;  // a database block whose data is no database image
    (void)garbage.setBlockTag(PDB::MBDFPDBBlock::constBlockTag());  // fixed field: always 0
    (void)garbage.setBlockSubTag("Profile");
    ASSERT_EQ(0u, garbage.setData("XXXXXXXX", 8));
    auto writeContainer = [&](const char* name, const char* type, const char* product,
                              const PDB::MBDFPDBBlock& content) {
        FILECACHE::MBDF mbdf;
        const uint8_t uuid[16] = {};
        ASSERT_EQ(0u, mbdf.initialize(type, product, 0, uuid, sizeof(uuid)));
        ASSERT_EQ(0u, mbdf.addBlock(content));
        ASSERT_EQ(0u, mbdf.writeAll(r.path(name).c_str(), nullptr, nullptr, false));
    };
    writeContainer("preset.bup", "Preset", "Vexalume", block);
    writeContainer("other.bup", "Backup", "MUR-UZ", block);
    writeContainer("lower.bup", "Backup", "vexalume", block);
    writeContainer("garbage.bup", "Backup", "Vexalume", garbage);
    {
        // A database block without an image, slipped in before the 36-byte end block (the
        // container writer refuses to make one); the container reader refuses it in turn.
        std::ifstream in(r.path("good.bup"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 36u);
        std::string hollow(36, '\0');
        std::memcpy(hollow.data(), "#PDB DB\0\0\0\0\0Profile", 19);
        bytes.insert(bytes.size() - 36, hollow);
        std::ofstream(r.path("hollow.bup"), std::ios::binary) << bytes;
        std::ofstream(r.path("junk.bup"), std::ios::binary) << "#JOVRIX MBDF but nothing after it";
    }

    struct Case {
        const char* file;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"preset.bup", 0x80020000u}, {"other.bup", 0x80020000u}, {"lower.bup", 0x80020000u},
        {"hollow.bup", 0x80000000u}, {"junk.bup", 0x80000000u},  {"missing.bup", 0x80000000u},
        {"garbage.bup", 0x80010000u},
    };
    r.set(0, 9, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(c.result, backup.importFromFile(c.file));
        EXPECT_EQ(9u, r.get(0, "/Keep"));
    }
    EXPECT_EQ(0x80000001u, backup.importFromFile(nullptr));
    EXPECT_EQ(0u, backup.importFromFile("good.bup"));
    EXPECT_EQ(500u, r.get(0, "/Keep"));
}

TEST(BackupFileTest, EntryWithoutImageLeavesItAndLaterOnesOut)
{
    Registered r;
    PDB::PDBTable table = tableOf(r, {0});
    table.emplace_back(&PDB::ParameterDBNULL::getNullObject(), 0);
    table.emplace_back(&r.db(1), 0);
    PDB::BackupFile backup;
    ASSERT_EQ(0u, backup.initialize("Vexalume", 0, table, r.folder.c_str()));
    r.set(0, 600, 60);
    r.set(1, 700, 70);

    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000080u, backup.exportToFile("partial.bup"));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[E] BackupFile::exportToFile - cannot add [(dummy)] block!\n"));
    EXPECT_NE(std::string::npos, log.find("[E] BackupFile::exportToFile - cannot add [DeviceSetup] block!\n"));
    EXPECT_NE(std::string::npos, log.find("[E] BackupFile::exportToFile 2\n"));

    // The file holds the block written before the failure, and only that one.
    FILECACHE::MBDF mbdf;
    ASSERT_EQ(0u, mbdf.readAll(r.path("partial.bup").c_str(), true, nullptr, nullptr, 0));
    EXPECT_EQ(1u, mbdf.blockNum());
    r.set(0, 1, 1);
    r.set(1, 2, 2);
    EXPECT_EQ(0u, backup.importFromFile("partial.bup"));
    EXPECT_EQ(600u, r.get(0, "/Keep"));
    EXPECT_EQ(2u, r.get(1, "/Keep"));

    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000001u, backup.exportToFile(nullptr));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("[E] BackupFile::exportToFile 1\n"));
}

TEST(BackupFileTest, EdgeTablesAndNamesRoundTripAsTheyShould)
{
    Registered r;
    // An empty table: a container with top and end block only, restoring nothing.
    PDB::BackupFile empty;
    ASSERT_EQ(0u, empty.initialize("Vexalume", 0, {}, r.folder.c_str()));
    ASSERT_EQ(0u, empty.exportToFile("empty.bup"));
    FILECACHE::MBDF mbdf;
    ASSERT_EQ(0u, mbdf.readAll(r.path("empty.bup").c_str(), true, nullptr, nullptr, 0));
    EXPECT_EQ(0u, mbdf.blockNum());
    EXPECT_EQ("Backup", mbdf.fileType());
    EXPECT_EQ(0u, empty.importFromFile("empty.bup"));

    // A name cut to 12 bytes no longer names its database: stored, never restored.
    PDB::BackupFile longName;
    ASSERT_EQ(0u, longName.initialize("Vexalume", 0, tableOf(r, {2}), r.folder.c_str()));
    r.set(2, 4000, 40);
    ASSERT_EQ(0u, longName.exportToFile("long.bup"));
    r.set(2, 5, 5);
    EXPECT_EQ(0u, longName.importFromFile("long.bup"));
    EXPECT_EQ(5u, r.get(2, "/Keep"));
}

TEST(BackupFileTest, SettingsFoldersAndRemoval)
{
    Registered r;
    PDB::BackupFile backup;
    ASSERT_EQ(0u, backup.initialize("Vexalume", 7, tableOf(r, {0}), r.folder.c_str()));
    EXPECT_TRUE(FILECACHE::FileAccessor::isExist(r.folder.c_str()));  // made with its parents

    EXPECT_EQ(0x80000001u, backup.initialize(nullptr, 1, {}, nullptr));
    EXPECT_EQ("Vexalume", backup.productName());  // nothing changed
    EXPECT_EQ(7u, backup.productVersion());
    EXPECT_EQ(1u, backup.table().size());
    EXPECT_EQ(r.folder, backup.folder());

    ASSERT_EQ(0u, backup.exportToFile("gone.bup"));
    EXPECT_EQ(0u, backup.removeFile("gone.bup"));
    EXPECT_FALSE(exists(r.path("gone.bup")));
    EXPECT_EQ(0x80000000u, backup.removeFile("gone.bup"));
    EXPECT_EQ(0x80000001u, backup.removeFile(nullptr));

    // A folder that cannot hold the file: the write fails and says so.
    PDB::BackupFile blocked;
    const std::string plainFile = r.path("plain");
    std::ofstream(plainFile) << "x";
    ASSERT_EQ(0u, blocked.initialize("Vexalume", 0, tableOf(r, {0}), plainFile.c_str()));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000080u, blocked.exportToFile("x.bup"));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("[E] BackupFile::exportToFile 2\n"));
}

}  // namespace
