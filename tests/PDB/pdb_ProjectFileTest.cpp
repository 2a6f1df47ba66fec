#include "PDB/pdb_ProjectFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "FileCache/fcache_BinaryAccessor.h"
#include "FileCache/fcache_MBDFFileBlock.h"
#include "PDB/pdb_BackupFile.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "jlib/JHeap.h"

namespace {

namespace fs = std::filesystem;
constexpr uint32_t kInfoId = 9;
const uint8_t kUuid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// The live "ProjectInfo" database with the ten information parameters in component 0.
class ProjectInfoDatabase {
public:
    ProjectInfoDatabase()
    {
        (void)JLIB::GetGlobalHeapManager();  // built before the repository, so destroyed after it
        PDB::ComponentInfo t;
        const PDB::ParamAttr attr('T', PDB::ParamAttr::kRecallable);
        EXPECT_EQ(0u, t.initialize("ProjInfo", 1, 1, 1, 1, 1, "x", "y", nullptr));
        for (const char* a : {"/Info/ProductName", "/Info/ProductSubName", "/Info/Comment", "/Info/OwnerName"}) {
            EXPECT_EQ(0u, t.addAddressSTRING(a, 1, 1, "", "", 32, "", attr, "", "", ""));
        }
        for (const char* a : {"/Info/TimeStamp/Year", "/Info/TimeStamp/Month", "/Info/TimeStamp/Day",
                              "/Info/TimeStamp/Hour", "/Info/TimeStamp/Minute", "/Info/TimeStamp/Second"}) {
            EXPECT_EQ(0u, t.addAddressUINT32(a, 1, 1, "", "", 0, 100000, 0, 0, 1, 1, attr, "", "", ""));
        }
        (void)PDB::getComponentInfoRepository().addComponentInfo(t);  // a repeated set-up finds it registered
        EXPECT_EQ(0u, PDB::createPDB(kInfoId, "ProjectInfo", nullptr, 0));
        EXPECT_EQ(0u, PDB::gPDBCollection.getPDB(kInfoId).addComponent(PDB::UniqId(0), "ProjInfo", 1, 1, 1, 0));
    }
    ~ProjectInfoDatabase() { EXPECT_EQ(0u, PDB::destroyPDB(kInfoId)); }
};

struct Recorder : FILECACHE::IMBDFObserver {
    uint32_t onMBDFProgressChanged(ProgressType type, uint32_t current, uint32_t total, const char*,
                                   const char* message, bool finished) override
    {
        if (type != PROGRESS_READ) return 0;  // the container's own writing reports
        progress.push_back(std::string(message) + " " + std::to_string(current) + "/" + std::to_string(total) +
                           (finished ? " done" : ""));
        if (stopAtFirstExtract && stop) *stop = true;
        return 0;
    }
    uint32_t onMBDFErrorOccurred(ProgressType, const char*, uint32_t error) override
    {
        errors.push_back(error);
        return 0;
    }
    std::vector<std::string> progress;
    std::vector<uint32_t> errors;
    bool stopAtFirstExtract = false;
    volatile bool* stop = nullptr;
};

// Item folders "A" and "B" with a few files each, and an empty "C".
PDB::ProjectFile::ItemMap makeItems(const TempFolder& t)
{
    for (const char* d : {"a", "b", "c"}) fs::create_directories(t.file(d));
    t.write("a/one.txt", "first file");
    t.write("a/two.bin", std::string(5000, 'x'));
    t.write("b/three.txt", "third");
    return {{"A", t.file("a")}, {"B", t.file("b")}, {"C", t.file("c")}};
}

std::string infoText(const PDB::ProjectFile& p, const char* address)
{
    const PDB::LocalParameterDB& info = p.projectInfo();
    JVariant v;
    const uint32_t ai = info.getAddressIndex(PDB::UniqId(0), address);
    if (JLIB::isFailure(info.getVariant(v, info.getComponentIndex(PDB::UniqId(0)), ai, 0, 0, nullptr))) return "?";
    return v.toString() ? v.toString() : "?";
}

}  // namespace

TEST(ProjectFileTest, PacksAndUnpacksTheItemFoldersWithTheInformation)
{
    ProjectInfoDatabase db;
    TempFolder t;
    const auto items = makeItems(t);
    PDB::ProjectFile writer;
    ASSERT_EQ(0u, writer.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    ASSERT_EQ(0u, writer.pack(t.file("p.prj").c_str(), "my comment", "owner", nullptr, nullptr, 0, 0));
    EXPECT_EQ(t.file("p.prj"), writer.currentProjectPath());

    // Layout: the information block, then the files item by item in name order.
    FILECACHE::MBDF m;
    ASSERT_EQ(0u, m.readFile(t.file("p.prj").c_str(), false, nullptr, nullptr, true, 0));
    EXPECT_EQ("ProjectFile", m.fileType());
    EXPECT_EQ("MUR-UZ", m.productName());
    ASSERT_EQ(4u, m.blockNum());
    ASSERT_NE(nullptr, m.blockPtr<PDB::MBDFPDBBlock>(0u));
    EXPECT_EQ("ProjectInfo", m.blockPtr<PDB::MBDFPDBBlock>(0u)->instanceNameTag());
    std::vector<std::string> entries;
    for (uint32_t i = 1; i < 4; ++i) {
        const auto* b = m.blockPtr<FILECACHE::MBDFFileBlock>(i);
        ASSERT_NE(nullptr, b);
        entries.push_back(b->blockSubTag() + ":" + b->fileName() + (b->isCompressed() ? "" : " stored"));
    }
    EXPECT_EQ((std::vector<std::string>{"A:one.txt", "A:two.bin", "B:three.txt"}), entries);

    // Unpacking replaces what the folders hold now, including the empty item's folder.
    t.write("a/one.txt", "changed");
    t.write("a/stray.txt", "stray");
    t.write("c/stray.txt", "stray");
    fs::remove(t.file("b/three.txt"));
    PDB::ProjectFile reader;
    ASSERT_EQ(0u, reader.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    Recorder recorder;
    ASSERT_EQ(0u, reader.unpack(t.file("p.prj").c_str(), nullptr, &recorder, nullptr, 0));
    EXPECT_EQ("first file", t.read("a/one.txt"));
    EXPECT_EQ(std::string(5000, 'x'), t.read("a/two.bin"));
    EXPECT_EQ("third", t.read("b/three.txt"));
    EXPECT_FALSE(fs::exists(t.file("a/stray.txt")));
    EXPECT_FALSE(fs::exists(t.file("c/stray.txt")));
    EXPECT_EQ((std::vector<std::string>{"Extracting files... 1/4", "Extracting files... 2/4",
                                        "Extracting files... 3/4", "Finshed. 4/4 done"}),
              recorder.progress);
    EXPECT_EQ("my comment", infoText(reader, "/Info/Comment"));
    EXPECT_EQ("owner", infoText(reader, "/Info/OwnerName"));
    EXPECT_EQ("MUR-UZ", infoText(reader, "/Info/ProductName"));

    // Blocks of an item the reader does not know are passed over but counted.
    PDB::ProjectFile onlyB;
    ASSERT_EQ(0u, onlyB.initialize("MUR-UZ", 0, 0, {{"B", t.file("b")}}, nullptr, false));
    Recorder skipped;
    ASSERT_EQ(0u, onlyB.unpack(t.file("p.prj").c_str(), nullptr, &skipped, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"Extracting files... 3/4", "Finshed. 4/4 done"}), skipped.progress);
}

TEST(ProjectFileTest, RefusesAnotherProductBeforeTouchingAnyFolder)
{
    ProjectInfoDatabase db;
    TempFolder t;
    const auto items = makeItems(t);
    PDB::ProjectFile writer;
    ASSERT_EQ(0u, writer.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    ASSERT_EQ(0u, writer.pack(t.file("p.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    t.write("a/stray.txt", "stray");

    PDB::ProjectFile other;
    ASSERT_EQ(0u, other.initialize("Other", 0, 0, items, nullptr, false));
    Recorder recorder;
    EXPECT_EQ(0x80000000u, other.unpack(t.file("p.prj").c_str(), nullptr, &recorder, nullptr, 0));
    EXPECT_EQ(std::vector<uint32_t>{0x80000003u}, recorder.errors);
    EXPECT_TRUE(fs::exists(t.file("a/stray.txt")));
    EXPECT_EQ(0x80000000u, other.unpack(t.file("missing.prj").c_str(), nullptr, &recorder, nullptr, 0));
    EXPECT_EQ(0x80000004u, recorder.errors.back());

    PDB::ProjectFile unprepared;  // never initialised: no project information
    EXPECT_EQ(0x80000000u, unprepared.unpack(t.file("p.prj").c_str(), nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(0x80000001u, unprepared.initialize(nullptr, 0, 0, items, nullptr, false));
}

TEST(ProjectFileTest, AFailedPackKeepsThePreviousProject)
{
    ProjectInfoDatabase db;
    TempFolder t;
    const auto items = makeItems(t);
    PDB::ProjectFile p;
    ASSERT_EQ(0u, p.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    ASSERT_EQ(0u, p.pack(t.file("p.prj").c_str(), "kept", "", nullptr, nullptr, 0, 0));

    // A sub-folder cannot be packed: the pack fails and the current project stays readable.
    fs::create_directory(t.file("a/sub"));
    t.write("a/one.txt", "newer");
    EXPECT_EQ(0x80000000u, p.pack(t.file("p.prj").c_str(), "failed", "", nullptr, nullptr, 0, 0));
    EXPECT_EQ(t.file("p.prj"), p.currentProjectPath());
    EXPECT_EQ("kept", infoText(p, "/Info/Comment"));  // read again from the previous project
    fs::remove(t.file("a/sub"));
    ASSERT_EQ(0u, p.unpack(t.file("p.prj").c_str(), nullptr, nullptr, nullptr, 0));
    EXPECT_EQ("first file", t.read("a/one.txt"));

    // A missing item folder fails the pack and writes nothing at a new path.
    PDB::ProjectFile missing;
    ASSERT_EQ(0u, missing.initialize("MUR-UZ", 0, 0, {{"A", t.file("a")}, {"X", t.file("none")}}, nullptr, false));
    EXPECT_EQ(0x80000000u, missing.pack(t.file("q.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    EXPECT_FALSE(fs::exists(t.file("q.prj")));
    EXPECT_EQ(0x80000000u, missing.pack(nullptr, "", "", nullptr, nullptr, 0, 0));

    // With the remove-previous flag a pack to another path removes the previous project.
    PDB::ProjectFile moving;
    ASSERT_EQ(0u, moving.initialize("MUR-UZ", 0, 0, items, nullptr, true));
    ASSERT_EQ(0u, moving.pack(t.file("one.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    ASSERT_EQ(0u, moving.pack(t.file("two.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    EXPECT_FALSE(fs::exists(t.file("one.prj")));
    EXPECT_TRUE(fs::exists(t.file("two.prj")));
}

TEST(ProjectFileTest, RefusesCraftedNamesBeforeEmptyingAnyFolder)
{
    ProjectInfoDatabase db;
    TempFolder t;
    const auto items = makeItems(t);
    (void)FILECACHE::MBDFFileBlock::useThisBlock();  // always 0
    FILECACHE::MBDF crafted;
    ASSERT_EQ(0u, crafted.initialize("ProjectFile", "MUR-UZ", 0, kUuid, sizeof(kUuid)));
    for (const std::string& name : {std::string("fine.txt"), std::string("../evil")}) {
        std::string image(36, '\0');
        std::memcpy(image.data(), "#FILE", 5);
        image[12] = 'A';
        const auto n = static_cast<uint32_t>(name.size());
        FILECACHE::BinaryAccessor::setUInt(image.data() + 24, 4, n + 8, true);
        FILECACHE::BinaryAccessor::setUInt(image.data() + 28, 4, 4, true);
        std::string option(8, '\0');
        FILECACHE::BinaryAccessor::setUInt(option.data(), 2, n, true);
        image += option + name + std::string(FILECACHE::BinaryAccessor::getPaddingSize(n), '\0') + "evil";
        FILECACHE::MBDFFileBlock block;
        unsigned consumed = 0;
        ASSERT_EQ(0u, block.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
        ASSERT_EQ(0u, crafted.addBlock(block));
    }
    ASSERT_EQ(0u, crafted.writeFile(t.file("evil.prj").c_str(), nullptr, nullptr, false));

    PDB::ProjectFile p;
    ASSERT_EQ(0u, p.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    Recorder recorder;
    EXPECT_EQ(0x80000000u, p.unpack(t.file("evil.prj").c_str(), nullptr, &recorder, nullptr, 0));
    EXPECT_EQ(std::vector<uint32_t>{0x80000003u}, recorder.errors);
    EXPECT_FALSE(fs::exists(t.file("evil")));
    EXPECT_FALSE(fs::exists(t.file("a/fine.txt")));
    EXPECT_EQ("first file", t.read("a/one.txt"));  // nothing was emptied
}

TEST(ProjectFileTest, UnpacksFilesLargerThanABlockHeldInMemory)
{
    ProjectInfoDatabase db;
    TempFolder t;
    fs::create_directory(t.file("a"));
    // Noise that deflate cannot shrink below the 10 MiB a block may hold in memory.
    std::string big(0xA00000 + 4096, '\0');
    uint32_t state = 12345;
    for (char& c : big) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    t.write("a/big.bin", big);
    PDB::ProjectFile p;
    ASSERT_EQ(0u, p.initialize("MUR-UZ", 0, 0, {{"A", t.file("a")}}, nullptr, false));
    ASSERT_EQ(0u, p.pack(t.file("p.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    fs::remove(t.file("a/big.bin"));
    ASSERT_EQ(0u, p.unpack(t.file("p.prj").c_str(), nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(t.read("a/big.bin") == big);
}

TEST(ProjectFileTest, StopDuringExtractionAnswersZeroWithFoldersPartlyFilled)
{
    ProjectInfoDatabase db;
    TempFolder t;
    const auto items = makeItems(t);
    PDB::ProjectFile p;
    ASSERT_EQ(0u, p.initialize("MUR-UZ", 0, 0, items, nullptr, false));
    ASSERT_EQ(0u, p.pack(t.file("p.prj").c_str(), "", "", nullptr, nullptr, 0, 0));
    volatile bool stop = false;
    Recorder recorder;
    recorder.stopAtFirstExtract = true;
    recorder.stop = &stop;
    EXPECT_EQ(0u, p.unpack(t.file("p.prj").c_str(), &stop, &recorder, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"Extracting files... 1/4", "Aborted. 2/4 done"}), recorder.progress);
    EXPECT_EQ("first file", t.read("a/one.txt"));
    EXPECT_FALSE(fs::exists(t.file("a/two.bin")));
}
