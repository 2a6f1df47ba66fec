#include "FileCache/fcache_ArchiveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/fcache_BinaryAccessor.h"
#include "TempFolder.h"

using FILECACHE::ArchiveFile;
using FILECACHE::ArchiveReadHandle;
using FILECACHE::IMBDFObserver;
using FILECACHE::MBDF;
using FILECACHE::MBDFFileBlock;

namespace {

const uint8_t kUuid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

std::string sample(size_t n, unsigned seed = 0)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 13 + seed) % 251);
    return s;
}

struct Recorder : IMBDFObserver {
    uint32_t onMBDFProgressChanged(ProgressType type, uint32_t current, uint32_t total, const char* path,
                                   const char* message, bool finished) override
    {
        if (type != PROGRESS_WRITE || std::strncmp(message, "Writing", 7) == 0) return 0;  // the container's own
        progress.push_back(std::string(message) + " " + std::to_string(current) + "/" + std::to_string(total) +
                           (finished ? " done " : " ") + (path ? path : "(null)"));
        return 0;
    }
    uint32_t onMBDFErrorOccurred(ProgressType, const char* path, uint32_t error) override
    {
        errors.push_back(std::string(path ? path : "(null)") + " " + std::to_string(error));
        return 0;
    }
    std::vector<std::string> progress;
    std::vector<std::string> errors;
};

std::vector<std::string> itemNames(const ArchiveFile& archive)
{
    std::vector<std::string> names;
    for (const auto& item : archive) names.push_back(item.name + (item.folder ? "/" : ""));
    return names;
}

// A tree of folders and files with distinct content below root.
void makeTree(const TempFolder& t)
{
    std::filesystem::create_directories(t.file("root/a/deep"));
    t.write("root/a/x.txt", "x content");
    t.write("root/a/deep/y.bin", sample(5000, 3));
    t.write("root/b.txt", sample(1500));
    t.write("root/empty.txt", "");
}

}  // namespace

TEST(ArchiveFileTest, ChoosesEntriesWithEachFolderBeforeItsContents)
{
    TempFolder t;
    makeTree(t);
    ArchiveFile archive;
    ASSERT_EQ(0u, archive.initialize(t.file("root").c_str()));
    ASSERT_EQ(0u, archive.addAllChildren());
    const auto names = itemNames(archive);
    ASSERT_EQ(6u, names.size());
    auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
    EXPECT_LT(at("a/"), at("a/x.txt"));
    EXPECT_LT(at("a/"), at("a/deep/"));
    EXPECT_LT(at("a/deep/"), at("a/deep/y.bin"));
    EXPECT_LT(at("b.txt"), 6);
    EXPECT_LT(at("empty.txt"), 6);
    EXPECT_TRUE(archive.isValid());

    struct Case { const char* path; uint32_t result; uint32_t count; };
    const Case cases[] = {
        {"b.txt", 0, 6},            // already present
        {"..", 0, 6},
        {"", 0x80000000u, 6},
        {nullptr, 0x80000000u, 6},
        {"missing.txt", 0x80000000u, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_EQ(c.result, archive.addItem(c.path, nullptr));
        EXPECT_EQ(c.count, archive.fileNum());
    }
    EXPECT_EQ(0u, archive.removeItem("b.txt"));
    EXPECT_EQ(0x80000000u, archive.removeItem("b.txt"));
    EXPECT_EQ(0x80000000u, archive.removeItem(nullptr));
    EXPECT_EQ(archive.end(), archive.find("b.txt"));
    EXPECT_EQ(5u, archive.fileNum());
}

TEST(ArchiveFileTest, PacksLoadsAndUnpacksATreeWithProgress)
{
    TempFolder t;
    makeTree(t);
    std::filesystem::create_directory(t.file("out"));
    {
        // The archive keeps its own copy of the root folder text.
        std::string root = t.file("root");
        ArchiveFile archive;
        ASSERT_EQ(0u, archive.initialize(root.c_str()));
        root.assign(root.size(), 'z');
        ASSERT_EQ(0u, archive.addAllChildren());
        ASSERT_EQ(0u, archive.pack(t.file("out").c_str(), "tree.arc", "Product", 4, 6, 0x5A, nullptr, nullptr));
    }
    EXPECT_TRUE(ArchiveFile::checkValidity(t.file("out").c_str(), "tree.arc"));

    ArchiveFile reader;
    ASSERT_EQ(0u, reader.initialize("shown"));
    ASSERT_EQ(0u, reader.load(t.file("out").c_str(), "tree.arc", "Product", 4));
    EXPECT_EQ("Archive", reader.fileType());
    EXPECT_EQ(4u, reader.productVersion());
    ASSERT_EQ(6u, reader.fileNum());
    Recorder recorder;
    ASSERT_EQ(0u, reader.unpack(t.file("copy").c_str(), nullptr, &recorder));
    EXPECT_EQ("x content", t.read("copy/a/x.txt"));
    EXPECT_EQ(sample(5000, 3), t.read("copy/a/deep/y.bin"));
    EXPECT_EQ(sample(1500), t.read("copy/b.txt"));
    EXPECT_TRUE(std::filesystem::is_regular_file(t.file("copy/empty.txt")));
    EXPECT_TRUE(recorder.errors.empty());
    ASSERT_EQ(7u, recorder.progress.size());
    EXPECT_EQ("Extracting files... 0/6 shown/" + reader.begin()->name, recorder.progress[0]);
    EXPECT_EQ("Finshed. 6/6 done (null)", recorder.progress[6]);
}

TEST(ArchiveFileTest, ReadsEntriesPieceByPieceAlsoPastTenMiB)
{
    TempFolder t;
    std::filesystem::create_directory(t.file("root"));
    const std::string big = sample(0xA00000 + 3001, 5);
    t.write("root/big.bin", big);
    t.write("root/small.txt", "small");
    for (int32_t level : {0, 6}) {
        SCOPED_TRACE(level);
        ArchiveFile archive;
        ASSERT_EQ(0u, archive.initialize(t.file("root").c_str()));
        ASSERT_EQ(0u, archive.addAllChildren());
        ASSERT_EQ(0u, archive.pack(t.path().c_str(), "big.arc", "P", 0, level, 0x21, nullptr, nullptr));

        ArchiveFile reader;
        ASSERT_EQ(0u, reader.load(t.path().c_str(), "big.arc", nullptr, 0));
        for (const char* name : {"big.bin", "small.txt"}) {
            SCOPED_TRACE(name);
            ArchiveReadHandle* handle = nullptr;
            ASSERT_EQ(0u, reader.fopen(&handle, name));
            std::string pieces;
            std::vector<char> buffer(4096);
            for (int guard = 0; guard < 10000; ++guard) {
                uint32_t count = 0xDEAD;
                const uint32_t r = reader.fread(buffer.data(), &count, static_cast<uint32_t>(buffer.size()), handle);
                ASSERT_FALSE(JLIB::isFailure(r)) << std::hex << r;
                if (count == 0) break;
                pieces.append(buffer.data(), count);
            }
            EXPECT_EQ(0u, reader.fclose(handle));
            EXPECT_TRUE(pieces == (std::string(name) == "big.bin" ? big : std::string("small")));
        }
        ASSERT_EQ(0u, reader.extract(t.file("x").c_str(), "big.bin", nullptr, 777));
        EXPECT_TRUE(t.read("x/big.bin") == big);
        std::filesystem::remove_all(t.file("x"));
    }
}

TEST(ArchiveFileTest, LoadRefusesAnotherTypeProductOrOlderVersion)
{
    TempFolder t;
    t.write("f.txt", "f");
    ArchiveFile archive;
    ASSERT_EQ(0u, archive.initialize(t.path().c_str()));
    ASSERT_EQ(0u, archive.addItem("f.txt", nullptr));
    ASSERT_EQ(0u, archive.pack(t.path().c_str(), "v2.arc", "Prod", 2, 6, 0, nullptr, nullptr));
    MBDF backup;
    ASSERT_EQ(0u, backup.initialize("Backup", "Prod", 9, kUuid, sizeof(kUuid)));
    ASSERT_EQ(0u, backup.writeFile(t.file("backup.arc").c_str(), nullptr, nullptr, false));

    struct Case { const char* file; const char* product; uint32_t lowest; uint32_t result; };
    const Case cases[] = {
        {"backup.arc", nullptr, 0, 0x80000000u},
        {"v2.arc", "Other", 0, 0x80000000u},
        {"v2.arc", "Prod", 3, 0x80000000u},
        {"missing.arc", nullptr, 0, 0x80000000u},
        {nullptr, nullptr, 0, 0x80000000u},
        {"v2.arc", "Prod", 2, 0u},
        {"v2.arc", nullptr, 7, 0u},  // the version is only checked with a product
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.file ? c.file : "(null)") << " " << (c.product ? c.product : "-"));
        ArchiveFile reader;
        ASSERT_EQ(0u, reader._addItem(false, "previous", nullptr));
        EXPECT_EQ(c.result, reader.load(t.path().c_str(), c.file, c.product, c.lowest));
        EXPECT_EQ(c.result == 0 ? std::vector<std::string>{"f.txt"} : std::vector<std::string>{"previous"},
                  itemNames(reader));
        EXPECT_EQ(c.result == 0, reader.container().isValid());
    }
}

TEST(ArchiveFileTest, PackWritesTheRestWhenAnItemVanished)
{
    TempFolder t;
    t.write("keep.txt", "keep");
    t.write("gone.txt", "gone");
    ArchiveFile archive;
    ASSERT_EQ(0u, archive.initialize(t.path().c_str()));
    ASSERT_EQ(0u, archive.addItem("keep.txt", nullptr));
    ASSERT_EQ(0u, archive.addItem("gone.txt", nullptr));
    std::filesystem::remove(t.file("gone.txt"));
    EXPECT_EQ(0x80000000u, archive.pack(t.path().c_str(), nullptr, "P", 0, 6, 0, nullptr, nullptr));
    EXPECT_EQ(0x80000000u, archive.pack(t.path().c_str(), "a.arc", "P", 0, 6, 0, nullptr, nullptr));

    ArchiveFile reader;
    ASSERT_EQ(0u, reader.load(t.path().c_str(), "a.arc", nullptr, 0));
    EXPECT_EQ(std::vector<std::string>{"keep.txt"}, itemNames(reader));
}

TEST(ArchiveFileTest, UnpackWithStopSetWritesNothing)
{
    TempFolder t;
    makeTree(t);
    ArchiveFile archive;
    ASSERT_EQ(0u, archive.initialize(t.file("root").c_str()));
    ASSERT_EQ(0u, archive.addAllChildren());
    ASSERT_EQ(0u, archive.pack(t.path().c_str(), "a.arc", "P", 0, 6, 0, nullptr, nullptr));
    ArchiveFile reader;
    ASSERT_EQ(0u, reader.load(t.path().c_str(), "a.arc", nullptr, 0));
    volatile bool stop = true;
    Recorder recorder;
    EXPECT_EQ(0u, reader.unpack(t.file("out").c_str(), &stop, &recorder));
    ASSERT_EQ(1u, recorder.progress.size());
    EXPECT_EQ("Aborted. 0/6 done " + reader.begin()->name, recorder.progress[0]);
    EXPECT_FALSE(std::filesystem::exists(t.file("out")));
    ArchiveFile empty;
    EXPECT_EQ(0x80000000u, empty.unpack(t.file("out").c_str(), nullptr, nullptr));
}

TEST(ArchiveFileTest, ExtractAndReadHandlesRefuseMisuse)
{
    TempFolder t;
    t.write("Name.txt", "content");
    ArchiveFile archive;
    ASSERT_EQ(0u, archive.initialize(t.path().c_str()));
    ArchiveReadHandle* handle = nullptr;
    EXPECT_EQ(0x80000000u, archive.fopen(&handle, "Name.txt"));  // nothing loaded
    ASSERT_EQ(0u, archive.addItem("Name.txt", nullptr));
    ASSERT_EQ(0u, archive.pack(t.path().c_str(), "a.arc", "P", 0, 6, 0, nullptr, nullptr));

    ArchiveFile reader, other;
    ASSERT_EQ(0u, reader.load(t.path().c_str(), "a.arc", nullptr, 0));
    ASSERT_EQ(0u, other.load(t.path().c_str(), "a.arc", nullptr, 0));
    EXPECT_EQ(0x80000007u, reader.extract(t.file("out").c_str(), "name.txt", nullptr, 1024));  // case-sensitive
    EXPECT_EQ(0x80000001u, reader.extract(t.file("out").c_str(), nullptr, nullptr, 1024));
    EXPECT_EQ(0x80000007u, reader.fopen(&handle, "missing"));
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ(0x80000001u, reader.fopen(&handle, nullptr));
    EXPECT_EQ(0x80000001u, reader.fopen(nullptr, "Name.txt"));

    ASSERT_EQ(0u, reader.fopen(&handle, "Name.txt"));
    ArchiveReadHandle* kept = handle;
    EXPECT_EQ(0x80000001u, reader.fopen(&handle, "Name.txt"));
    EXPECT_EQ(kept, handle);
    char buffer[16];
    uint32_t count = 0;
    EXPECT_EQ(0x80000001u, other.fread(buffer, &count, sizeof(buffer), handle));
    EXPECT_EQ(0x80000001u, other.fclose(handle));
    EXPECT_EQ(0x80000001u, reader.fread(buffer, &count, sizeof(buffer), nullptr));
    EXPECT_EQ(0u, reader.fread(buffer, &count, sizeof(buffer), handle));
    EXPECT_EQ("content", std::string(buffer, count));
    EXPECT_EQ(0u, reader.fclose(handle));
}

TEST(ArchiveFileTest, RefusesStoredNamesThatLeaveTheTargetFolder)
{
    TempFolder t;
    // A crafted archive whose entries name paths outside any target.
    MBDF crafted;
    ASSERT_EQ(0u, crafted.initialize("Archive", "P", 0, kUuid, sizeof(kUuid)));
    for (const std::string& name : {std::string("../evil"), t.file("abs"), std::string("fine.txt")}) {
        std::string image(36, '\0');
        std::memcpy(image.data(), "#FILE", 5);
        const auto n = static_cast<uint32_t>(name.size());
        FILECACHE::BinaryAccessor::setUInt(image.data() + 24, 4, n + 8, true);
        FILECACHE::BinaryAccessor::setUInt(image.data() + 28, 4, 4, true);
        std::string option(8, '\0');
        FILECACHE::BinaryAccessor::setUInt(option.data(), 2, n, true);
        image += option + name + std::string(FILECACHE::BinaryAccessor::getPaddingSize(n), '\0') + "evil";
        MBDFFileBlock block;
        unsigned consumed = 0;
        ASSERT_EQ(0u, block.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
        ASSERT_EQ(0u, crafted.addBlock(block));
    }
    ASSERT_EQ(0u, crafted.writeFile(t.file("evil.arc").c_str(), nullptr, nullptr, false));

    std::filesystem::create_directory(t.file("out"));
    ArchiveFile reader;
    ASSERT_EQ(0u, reader.load(t.path().c_str(), "evil.arc", nullptr, 0));
    Recorder recorder;
    EXPECT_EQ(0x80000000u, reader.unpack(t.file("out/inner").c_str(), nullptr, &recorder));
    EXPECT_EQ(2u, recorder.errors.size());
    EXPECT_EQ(0x80000003u, reader.extract(t.file("out/inner").c_str(), "../evil", nullptr, 1024));
    EXPECT_FALSE(std::filesystem::exists(t.file("out/evil")));
    EXPECT_FALSE(std::filesystem::exists(t.file("abs")));
    EXPECT_EQ("evil", t.read("out/inner/fine.txt"));
}
