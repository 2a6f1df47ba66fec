#include "FileCache/fcache_MBDFFileBlock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/fcache_BinaryAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "TempFolder.h"

using FILECACHE::FileAccessor;
using FILECACHE::MBDF;
using FILECACHE::MBDFFileBlock;
using FILECACHE::StreamHandle;

namespace {

const uint8_t kUuid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// Compressible but not trivial, so deflate runs over several 1024-byte pieces.
std::string sample(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 13) % 251);
    return s;
}

struct StringSink : MBDFFileBlock::IFileWriteStrategy {
    uint32_t write(const void* bytes, uint32_t count, uint32_t* written) override
    {
        text.append(static_cast<const char*>(bytes), count);
        *written = count;
        return 0;
    }
    std::string text;
};

uint32_t writeContainer(const std::string& path, const MBDFFileBlock& block)
{
    MBDF m;
    EXPECT_EQ(0u, m.initialize("Test", "Product", 1, kUuid, sizeof(kUuid)));
    EXPECT_EQ(0u, m.addBlock(block));
    return m.writeFile(path.c_str(), nullptr, nullptr, false);
}

// A "#FILE" block image as a crafted file would hold it: option of optionSize bytes with the
// given name length field, name bytes and flags, then the stored content.
std::string craftImage(const std::string& name, uint32_t flags, const std::string& content, uint32_t nameLengthField,
                       uint32_t optionSize)
{
    std::string option(optionSize, '\0');
    if (optionSize >= 2) FILECACHE::BinaryAccessor::setUInt(option.data(), 2, nameLengthField, true);
    if (optionSize >= 8) FILECACHE::BinaryAccessor::setUInt(option.data() + 4, 4, flags, true);
    if (optionSize > 8) option.replace(8, std::min<size_t>(name.size(), optionSize - 8), name.substr(0, optionSize - 8));
    std::string image(36, '\0');
    std::memcpy(image.data(), "#FILE", 5);
    FILECACHE::BinaryAccessor::setUInt(image.data() + 24, 4, optionSize, true);
    FILECACHE::BinaryAccessor::setUInt(image.data() + 28, 4, static_cast<uint32_t>(content.size()), true);
    image += option + std::string(FILECACHE::BinaryAccessor::getPaddingSize(optionSize), '\0');
    image += content + std::string(FILECACHE::BinaryAccessor::getPaddingSize(content.size()), '\0');
    return image;
}

std::string craftImage(const std::string& name, const std::string& content)
{
    const auto n = static_cast<uint32_t>(name.size());
    return craftImage(name, 0, content, n, n + 8);
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

TEST(MBDFFileBlockTest, RoundTripsContentThroughEveryWayInAndOut)
{
    ASSERT_EQ(0u, MBDFFileBlock::useThisBlock());
    struct Case { int32_t level; uint8_t key; size_t size; };
    const Case cases[] = {
        {0, 0x00, 5000}, {0, 0x5A, 1}, {6, 0x00, 5000}, {6, 0x5A, 3000}, {10, 0x00, 5000}, {10, 0x5A, 4096}, {1, 0x5A, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " key " << int(c.key) << " size " << c.size);
        TempFolder t;
        std::filesystem::create_directory(t.file("src"));
        const std::string content = sample(c.size);
        t.write("src/data.bin", content);

        MBDFFileBlock deferred;
        ASSERT_EQ(0u, deferred.initialize("Item", false, t.file("src").c_str(), "data.bin", false, c.level, c.key,
                                          nullptr));
        EXPECT_EQ(c.size, deferred.dataSize(false));  // the source size until written
        EXPECT_EQ(nullptr, deferred.data());
        ASSERT_EQ(0u, writeContainer(t.file("a.mbdf"), deferred));

        // Read with data: the block, its name and its restored content.
        MBDF m;
        ASSERT_EQ(0u, m.readFile(t.file("a.mbdf").c_str(), true, nullptr, nullptr, true, 0));
        MBDFFileBlock* b = m.blockPtr<MBDFFileBlock>(0u);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ("Item", b->blockSubTag());
        EXPECT_EQ("data.bin", b->fileName());
        EXPECT_EQ(c.key, b->scrambleMask());
        EXPECT_EQ(c.level > 0, b->isCompressed());
        if (c.level == 0 && c.size > 0) {
            std::string stored(reinterpret_cast<const char*>(b->data()), b->dataSize(false));
            for (char& ch : stored) ch = static_cast<char>(ch ^ c.key);
            EXPECT_EQ(content, stored);
        }
        ASSERT_EQ(0u, b->exportFile(t.file("out1").c_str(), nullptr));
        EXPECT_EQ(content, t.read("out1/data.bin"));

        // Imported at once: the same content held in memory.
        MBDFFileBlock imported;
        ASSERT_EQ(0u, imported.initialize(nullptr, false, t.file("src").c_str(), "data.bin", true, c.level, c.key,
                                          nullptr));
        StringSink sink;
        ASSERT_EQ(0u, imported.outputData(sink));
        EXPECT_EQ(content, sink.text);

        // Read without data: streamed export and streamed reading from the container file.
        MBDF headers;
        ASSERT_EQ(0u, headers.readFile(t.file("a.mbdf").c_str(), false, nullptr, nullptr, false, 0));
        MBDFFileBlock* h = headers.blockPtr<MBDFFileBlock>(0u);
        ASSERT_NE(nullptr, h);
        FileAccessor acc;
        ASSERT_EQ(0u, headers.blockAccessor(&acc, headers.blockIt(0u)));
        ASSERT_EQ(0u, h->streamExportFile(t.file("out2").c_str(), acc, 1024));
        EXPECT_EQ(content, t.read("out2/data.bin"));

        ASSERT_EQ(0u, headers.blockAccessor(&acc, headers.blockIt(0u)));
        StreamHandle* stream = nullptr;
        ASSERT_EQ(0u, h->streamOpenFile(&stream, acc));
        std::string pieces;
        for (int guard = 0; guard < 100; ++guard) {
            char buffer[700];
            uint32_t count = 0xDEAD;
            const uint32_t r = h->streamReadFile(buffer, &count, sizeof(buffer), acc, stream);
            ASSERT_FALSE(JLIB::isFailure(r)) << std::hex << r;
            if (count == 0) break;
            pieces.append(buffer, count);
        }
        EXPECT_EQ(content, pieces);
        ASSERT_EQ(0u, h->streamCloseFile(stream, acc));
        EXPECT_EQ(headers.offset(headers.blockIt(0u)) + h->size(), acc.tell());
    }
}

TEST(MBDFFileBlockTest, StoresNameKeyAndFlagsInTheOptionArea)
{
    TempFolder t;
    std::filesystem::create_directories(t.file("sub/dir"));
    t.write("sub/readme.txt", "hello");
    t.write("empty", "");
    chmod(t.file("sub/readme.txt").c_str(), 0755);

    MBDFFileBlock file;
    ASSERT_EQ(0u, file.initialize("Sub", false, t.path().c_str(), "sub/readme.txt", true, 6, 0x5A, nullptr));
    ASSERT_EQ(8u + 14u, file.optionSize(false));
    const uint8_t* o = file.option();
    EXPECT_EQ(14u, FILECACHE::BinaryAccessor::getUInt(o, 2, true));
    EXPECT_EQ(0u, o[2]);
    EXPECT_EQ(0x5Au, o[3]);
    EXPECT_EQ(0x0Cu, FILECACHE::BinaryAccessor::getUInt(o + 4, 4, true));  // executable, compressed
    EXPECT_EQ('s' ^ 0x5A, o[8]);
    EXPECT_EQ("sub/readme.txt", file.fileName());
    EXPECT_EQ(t.path(), file.baseFolder());

    MBDFFileBlock folder;
    ASSERT_EQ(0u, folder.initialize(nullptr, true, t.path().c_str(), "sub/dir", false, 6, 0, nullptr));
    EXPECT_EQ(0x84u, folder.attribute());
    EXPECT_EQ(7u + 8u, folder.optionSize(false));
    EXPECT_EQ(0u, folder.dataSize(false));
    EXPECT_EQ("", folder.blockSubTag());

    MBDFFileBlock empty;
    ASSERT_EQ(0u, empty.initialize(nullptr, false, t.path().c_str(), "empty", true, 6, 0, nullptr));
    EXPECT_EQ(0x08u, empty.attribute());
    EXPECT_EQ(0u, empty.dataSize(false));
    ASSERT_EQ(0u, empty.exportFile(t.file("out").c_str(), nullptr));
    EXPECT_TRUE(exists(t.file("out/empty")));
    EXPECT_EQ("", t.read("out/empty"));

    // A long sub-tag is cut to the 12 bytes the tag layout leaves.
    MBDFFileBlock tagged;
    ASSERT_EQ(0u, tagged.initialize("Preset:3DRevLong", false, t.path().c_str(), "empty", false, 0, 0, nullptr));
    EXPECT_EQ("Preset:3DRev", tagged.blockSubTag());
}

TEST(MBDFFileBlockTest, RefusesBadArgumentsAndLeavesTheBlockCleared)
{
    TempFolder t;
    t.write("f.txt", "x");
    std::filesystem::create_directory(t.file("d"));
    struct Case { const char* what; const char* name; bool folder; int32_t level; uint32_t result; };
    const Case cases[] = {
        {"level -1", "f.txt", false, -1, 0x80000001u},
        {"level 11", "f.txt", false, 11, 0x80000001u},
        {"null name", nullptr, false, 6, 0x80000001u},
        {"empty name is the folder itself", "", true, 6, 0x80000001u},
        {"file given as folder", "f.txt", true, 6, 0x80000004u},
        {"folder given as file", "d", false, 6, 0x80000004u},
        {"missing entry", "none.txt", false, 6, 0x80000004u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MBDFFileBlock b;
        ASSERT_EQ(0u, b.initialize(nullptr, false, t.path().c_str(), "f.txt", true, 0, 0, nullptr));
        EXPECT_EQ(c.result, b.initialize(nullptr, c.folder, t.path().c_str(), c.name, false, c.level, 0, nullptr));
        EXPECT_FALSE(b.isValid());
        EXPECT_EQ(nullptr, b.data());
        EXPECT_EQ(6, b.compressionLevel());
    }
}

TEST(MBDFFileBlockTest, DeferredBlockPacksItsSourceAtEachWrite)
{
    ASSERT_EQ(0u, MBDFFileBlock::useThisBlock());
    TempFolder t;
    t.write("f.txt", "first version");
    MBDFFileBlock b;
    ASSERT_EQ(0u, b.initialize(nullptr, false, t.path().c_str(), "f.txt", false, 6, 0x11, nullptr));
    ASSERT_EQ(0u, writeContainer(t.file("a.mbdf"), b));
    t.write("f.txt", sample(3000));
    ASSERT_EQ(0u, writeContainer(t.file("b.mbdf"), b));

    for (const char* name : {"a.mbdf", "b.mbdf"}) {
        SCOPED_TRACE(name);
        MBDF m;
        ASSERT_EQ(0u, m.readFile(t.file(name).c_str(), true, nullptr, nullptr, true, 0));
        ASSERT_NE(nullptr, m.blockPtr<MBDFFileBlock>(0u));
        StringSink sink;
        ASSERT_EQ(0u, m.blockPtr<MBDFFileBlock>(0u)->outputData(sink));
        EXPECT_EQ(std::string(name) == "a.mbdf" ? std::string("first version") : sample(3000), sink.text);
    }
}

TEST(MBDFFileBlockTest, RefusesStoredNamesThatLeaveTheTargetFolder)
{
    TempFolder t;
    std::filesystem::create_directories(t.file("out/inner"));
    const std::string target = t.file("out/inner");
    struct Case { std::string name; uint32_t result; std::string mustNotExist; };
    const Case cases[] = {
        {"../evil", 0x80000001u, t.file("out/evil")},
        {"sub/../../evil2", 0x80000001u, t.file("out/evil2")},
        {"..", 0x80000001u, ""},
        {t.file("abs"), 0x80000001u, t.file("abs")},
        {"..\\evil3", 0x80000001u, t.file("out/inner/..\\evil3")},
        {std::string("..\0x", 4), 0x80000001u, ""},
        {"ok.txt", 0u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string image = craftImage(c.name, "payload");
        MBDFFileBlock held;
        unsigned consumed = 0;
        ASSERT_EQ(0u, held.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
        ASSERT_TRUE(held.isValid());
        EXPECT_EQ(c.result, held.exportFile(target.c_str(), nullptr));

        // The same block streamed out of a file that holds it.
        t.write("crafted.bin", image);
        FileAccessor acc;
        ASSERT_EQ(0u, acc.open(t.file("crafted.bin").c_str(), FileAccessor::OPEN_READ));
        MBDFFileBlock streamed;
        EXPECT_EQ(c.result, streamed.streamExportFile(target.c_str(), acc, 1024));
        if (!c.mustNotExist.empty()) EXPECT_FALSE(exists(c.mustNotExist));
    }
    EXPECT_EQ("payload", t.read("out/inner/ok.txt"));
    // Nothing else appeared beside the target folder.
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(t.file("out"))) entries.push_back(e.path().filename());
    EXPECT_EQ(std::vector<std::string>{"inner"}, entries);
}

TEST(MBDFFileBlockTest, BoundsNameLengthAndFlagsByTheOptionSize)
{
    struct Case { const char* what; uint32_t nameLength; uint32_t optionSize; bool valid; };
    const Case cases[] = {
        {"option shorter than its fixed fields", 1, 4, false},
        {"name length past the option", 100, 12, false},
        {"name length 65535 in a short option", 65535, 12, false},
        {"name that fits", 4, 12, true},
    };
    TempFolder t;
    ASSERT_EQ(0u, MBDFFileBlock::useThisBlock());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string image = craftImage("abcd", 0x84, "", c.nameLength, c.optionSize);
        MBDFFileBlock b;
        unsigned consumed = 0;
        ASSERT_EQ(0u, b.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
        EXPECT_EQ(c.valid, b.isValid());
        EXPECT_EQ(c.valid ? "abcd" : "", b.fileName());
        EXPECT_EQ(c.valid ? 0x84u : 0u, b.attribute());

        // In a container file the malformed block makes the read fail with a code.
        MBDF m;
        ASSERT_EQ(0u, m.initialize("Test", "Product", 1, kUuid, sizeof(kUuid)));
        ASSERT_EQ(0u, m.writeFile(t.file("c.mbdf").c_str(), nullptr, nullptr, false));
        std::string bytes = t.read("c.mbdf");
        bytes.insert(72, image);
        t.write("c.mbdf", bytes);
        EXPECT_EQ(c.valid ? 0u : 0x80000003u, m.readFile(t.file("c.mbdf").c_str(), true, nullptr, nullptr, false, 0));
    }
}

TEST(MBDFFileBlockTest, RefusesToRewriteABlockReadWithoutItsData)
{
    ASSERT_EQ(0u, MBDFFileBlock::useThisBlock());
    TempFolder t;
    t.write("f.txt", sample(2000));
    MBDFFileBlock source;
    ASSERT_EQ(0u, source.initialize(nullptr, false, t.path().c_str(), "f.txt", false, 6, 0, nullptr));
    ASSERT_EQ(0u, writeContainer(t.file("a.mbdf"), source));

    MBDF m;
    ASSERT_EQ(0u, m.readFile(t.file("a.mbdf").c_str(), false, nullptr, nullptr, true, 0));
    MBDFFileBlock* b = m.blockPtr<MBDFFileBlock>(0u);
    ASSERT_NE(nullptr, b);
    FileAccessor out;
    ASSERT_EQ(0u, out.open(t.file("b.bin").c_str(), FileAccessor::OPEN_CREATE));
    EXPECT_EQ(0x80000006u, b->writeToFile(out));
    EXPECT_EQ(0x80000006u, b->exportFile(t.file("out").c_str(), nullptr));
    StringSink sink;
    EXPECT_EQ(0x80000006u, b->outputData(sink));
    // A copy keeps the distinction: only a block made deferred packs its source.
    MBDFFileBlock copy = *b;
    EXPECT_EQ(0x80000006u, copy.writeToFile(out));
    MBDFFileBlock deferredCopy = source;
    EXPECT_EQ(0u, deferredCopy.writeToFile(out));
}

TEST(MBDFFileBlockTest, ExportMakesOnlyTheTargetFolderAndKeepsReadOnlyFiles)
{
    TempFolder t;
    std::filesystem::create_directories(t.file("src/sub"));
    t.write("src/sub/readme.txt", "new");
    MBDFFileBlock nested;
    ASSERT_EQ(0u, nested.initialize(nullptr, false, t.file("src").c_str(), "sub/readme.txt", true, 6, 0, nullptr));
    EXPECT_EQ(0x80000003u, nested.exportFile(t.file("a").c_str(), nullptr));  // a/sub is not made

    MBDFFileBlock folder;
    ASSERT_EQ(0u, folder.initialize(nullptr, true, t.file("src").c_str(), "sub", false, 6, 0, nullptr));
    ASSERT_EQ(0u, folder.exportFile(t.file("a").c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(t.file("a/sub")));
    EXPECT_EQ(0u, nested.exportFile(t.file("a").c_str(), nullptr));
    EXPECT_EQ("new", t.read("a/sub/readme.txt"));

    std::filesystem::create_directories(t.file("b/sub"));
    t.write("b/sub/readme.txt", "old");
    chmod(t.file("b/sub/readme.txt").c_str(), 0444);
    EXPECT_EQ(0u, nested.exportFile(t.file("b").c_str(), nullptr));
    EXPECT_EQ("old", t.read("b/sub/readme.txt"));

    // A caller-given name replaces the stored one.
    EXPECT_EQ(0u, nested.exportFile(t.file("c").c_str(), "renamed.txt"));
    EXPECT_EQ("new", t.read("c/renamed.txt"));
}

TEST(MBDFFileBlockTest, OutputAndStreamOperationsRefuseMisuse)
{
    TempFolder t;
    std::filesystem::create_directory(t.file("d"));
    t.write("f.txt", "abc");
    MBDFFileBlock file;
    ASSERT_EQ(0u, file.initialize(nullptr, false, t.path().c_str(), "f.txt", true, 0, 0x33, nullptr));
    StringSink twice;
    EXPECT_EQ(0u, file.outputData(twice));
    EXPECT_EQ(0u, file.outputData(twice));
    EXPECT_EQ("abcabc", twice.text);  // the stored bytes stay scrambled

    MBDFFileBlock folder;
    ASSERT_EQ(0u, folder.initialize(nullptr, true, t.path().c_str(), "d", false, 6, 0, nullptr));
    EXPECT_EQ(0x80000007u, folder.outputData(twice));
    MBDFFileBlock invalid;
    EXPECT_EQ(0x80000002u, invalid.outputData(twice));
    EXPECT_EQ(0x80000002u, invalid.exportFile(t.path().c_str(), nullptr));

    FileAccessor acc;
    StreamHandle* stream = nullptr;
    EXPECT_EQ(0x80000001u, file.streamOpenFile(nullptr, acc));
    EXPECT_EQ(0x80000002u, invalid.streamOpenFile(&stream, acc));
    EXPECT_EQ(0x80000004u, folder.streamOpenFile(&stream, acc));
    EXPECT_EQ(nullptr, stream);

    const std::string image = craftImage("f.txt", "xyz");
    t.write("c.bin", image);
    ASSERT_EQ(0u, acc.open(t.file("c.bin").c_str(), FileAccessor::OPEN_READ));
    MBDFFileBlock reader;
    ASSERT_EQ(0u, reader.initialize(nullptr, false, t.path().c_str(), "f.txt", false, 0, 0, nullptr));
    ASSERT_EQ(0u, reader.streamOpenFile(&stream, acc));
    StreamHandle* again = stream;
    EXPECT_EQ(0x80000001u, reader.streamOpenFile(&again, acc));
    char buffer[8];
    uint32_t count = 0;
    EXPECT_EQ(0x80000001u, file.streamReadFile(buffer, &count, sizeof(buffer), acc, stream));  // another block
    EXPECT_EQ(0x80000001u, reader.streamReadFile(nullptr, &count, sizeof(buffer), acc, stream));
    EXPECT_EQ(0x80000001u, file.streamCloseFile(stream, acc));
    EXPECT_EQ(0u, reader.streamReadFile(buffer, &count, sizeof(buffer), acc, stream));
    EXPECT_EQ("xyz", std::string(buffer, count));
    EXPECT_EQ(0u, reader.streamCloseFile(stream, acc));
    EXPECT_EQ(image.size(), acc.tell());
}

TEST(MBDFFileBlockTest, PathHelpers)
{
    EXPECT_EQ("", MBDFFileBlock::makeFullPath("dir", nullptr));
    EXPECT_EQ("n", MBDFFileBlock::makeFullPath(nullptr, "n"));
    EXPECT_EQ("n", MBDFFileBlock::makeFullPath("", "n"));
    EXPECT_EQ("dir/n", MBDFFileBlock::makeFullPath("dir", "n"));

    struct Case { std::string name; bool safe; };
    const Case cases[] = {
        {"a.txt", true}, {"sub/a.txt", true}, {"..a/b..", true}, {"./a", true},
        {"", false}, {"..", false}, {"../a", false}, {"a/..", false}, {"a/../b", false},
        {"/etc/passwd", false}, {"a\\b", false}, {std::string("a\0b", 3), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.safe, MBDFFileBlock::isSafeEntryName(c.name));
    }

    TempFolder t;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(t.path());
    EXPECT_EQ(0x80000003u, MBDFFileBlock::createSubDirectories("a/../b/c.txt"));
    EXPECT_TRUE(std::filesystem::is_directory("a"));
    EXPECT_FALSE(exists("b"));
    EXPECT_EQ(0u, MBDFFileBlock::createSubDirectories("/x/y/z.txt"));
    EXPECT_TRUE(std::filesystem::is_directory("x/y"));
    EXPECT_FALSE(exists("x/y/z.txt"));
    EXPECT_EQ(0u, MBDFFileBlock::createSubDirectories("bare.txt"));
    EXPECT_FALSE(exists("bare.txt"));
    std::filesystem::current_path(previous);
}
