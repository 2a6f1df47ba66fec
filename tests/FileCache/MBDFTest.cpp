#include "FileCache/fcache_MBDF.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FileCache/fcache_BinaryAccessor.h"
#include "TempFolder.h"

using FILECACHE::FileAccessor;
using FILECACHE::IMBDFObserver;
using FILECACHE::MBDF;
using FILECACHE::MBDFAbstractBlock;

namespace {

const uint8_t kUuid[16] = {0xA0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF};

// A block type of the test's own, registered under its tag.
class TestBlock : public MBDFAbstractBlock {
public:
    uint32_t blockTagLength() const override { return 12; }
    static const char* constBlockTag() { return "#TESTBLOCK"; }
    static uint32_t useThisBlock() { return FILECACHE::useBlockType<TestBlock>(); }
};

class OtherBlock : public MBDFAbstractBlock {
public:
    static const char* constBlockTag() { return "#OTHER"; }
};

struct Recorder : IMBDFObserver {
    uint32_t onMBDFProgressChanged(ProgressType, uint32_t current, uint32_t total, const char*, const char* message,
                                   bool finished) override
    {
        messages.push_back(message);
        lastCurrent = current;
        lastTotal = total;
        lastFinished = finished;
        return 0;
    }
    uint32_t onMBDFErrorOccurred(ProgressType, const char*, uint32_t error) override
    {
        errors.push_back(error);
        return 0;
    }
    std::vector<std::string> messages;
    std::vector<uint32_t> errors;
    uint32_t lastCurrent = 0, lastTotal = 0;
    bool lastFinished = false;
};

MBDFAbstractBlock makeBlock(const char* tag, const std::string& data)
{
    MBDFAbstractBlock b;
    (void)b.setBlockTag(tag);
    EXPECT_EQ(0u, b.setData(data.data(), static_cast<unsigned>(data.size())));
    return b;
}

void initialize(MBDF& c)
{
    ASSERT_EQ(0u, c.initialize("Backup", "Vexalume", 3, kUuid, 16));
}

}  // namespace

TEST(MBDFTest, EmptyContainerIs108BytesAndReadsBackWithReports)
{
    TempFolder dir;
    MBDF c;
    initialize(c);
    EXPECT_EQ(108u, c.size());
    ASSERT_EQ(0u, c.writeFile(dir.file("e.bup").c_str(), nullptr, nullptr, false));
    EXPECT_EQ(108u, dir.read("e.bup").size());

    MBDF back;
    Recorder rec;
    ASSERT_EQ(0u, back.readFile(dir.file("e.bup").c_str(), true, nullptr, &rec, false, 0));
    EXPECT_EQ((std::vector<std::string>{"Reading top block...", "Reading data blocks...", "Reading end block...",
                                        "Finished."}),
              rec.messages);
    EXPECT_EQ(108u, rec.lastCurrent);
    EXPECT_TRUE(rec.lastFinished);
    EXPECT_TRUE(back.isValid());
    EXPECT_EQ("Vexalume", back.productName());
    EXPECT_TRUE(back.isSameUUID(kUuid, 16));
    EXPECT_TRUE(MBDF::checkValidity(dir.file("e.bup").c_str()));
}

TEST(MBDFTest, KnownAndUnknownBlocksRoundTripByteForByte)
{
    (void)TestBlock::useThisBlock();
    TempFolder dir;
    MBDF c;
    initialize(c);
    TestBlock typed;
    (void)typed.setBlockTag(TestBlock::constBlockTag());
    (void)typed.setBlockSubTag("sub");
    ASSERT_EQ(0u, typed.setData("typed", 5));
    ASSERT_EQ(0u, c.addBlock(typed));
    ASSERT_EQ(0u, c.addBlock(makeBlock("#NOBODYKNOWS", "raw bytes")));
    ASSERT_EQ(0u, c.addBlock(0, makeBlock("#FIRST", "1")));
    ASSERT_EQ(0u, c.addBlock(7, makeBlock("#LAST", "9")));
    EXPECT_EQ("#FIRST", c.block(0u).blockTag());
    EXPECT_EQ("#LAST", c.block(3u).blockTag());
    EXPECT_EQ(72u, c.offset(c.begin()));
    ASSERT_EQ(0u, c.writeFile(dir.file("a").c_str(), nullptr, nullptr, true));
    const std::string first = dir.read("a");

    MBDF back;
    ASSERT_EQ(0u, back.readFile(dir.file("a").c_str(), true, nullptr, nullptr, false, 0));
    ASSERT_EQ(4u, back.blockNum());
    ASSERT_NE(nullptr, back.blockPtr<TestBlock>(1u));
    EXPECT_EQ("sub", back.blockPtr<TestBlock>(1u)->blockSubTag());
    EXPECT_EQ(nullptr, back.blockPtr<TestBlock>(2u));
    EXPECT_EQ(nullptr, back.blockPtr<OtherBlock>(1u));
    EXPECT_TRUE(back.block(9u).isNull());
    ASSERT_EQ(0u, back.writeFile(dir.file("b").c_str(), nullptr, nullptr, false));
    EXPECT_EQ(first, dir.read("b"));
    // The structural check knows only registered tags.
    EXPECT_FALSE(MBDF::checkValidity(dir.file("a").c_str()));
}

TEST(MBDFTest, ReadWithoutDataThenCacheBlockByBlock)
{
    TempFolder dir;
    MBDF c;
    initialize(c);
    ASSERT_EQ(0u, c.addBlock(makeBlock("#A", "first data")));
    ASSERT_EQ(0u, c.addBlock(makeBlock("#B", "second")));
    ASSERT_EQ(0u, c.writeFile(dir.file("c").c_str(), nullptr, nullptr, false));

    MBDF back;
    Recorder rec;
    ASSERT_EQ(0u, back.readAll(dir.file("c").c_str(), false, nullptr, &rec, 0));
    EXPECT_FALSE(back.isDataCached());
    for (auto it = back.begin(); it != back.end(); ++it) ASSERT_EQ(0u, back.cacheBlock(it, nullptr));
    EXPECT_TRUE(back.isDataCached());
    EXPECT_EQ(0, std::memcmp(back.block(1u).data(), "second", 6));
    EXPECT_EQ(0x80000003u, back.cacheBlock(back.end(), nullptr));

    FileAccessor fa;
    ASSERT_EQ(0u, back.blockAccessor(&fa, back.blockIt(1)));
    EXPECT_EQ(back.offset(back.blockIt(1)), fa.tell());
    EXPECT_EQ(0x80000001u, back.blockAccessor(nullptr, back.begin()));

    MBDF fresh;
    EXPECT_EQ(0x80000004u, fresh.cacheBlock(fresh.begin(), nullptr));
}

TEST(MBDFTest, BrokenFilesAreRefused)
{
    TempFolder dir;
    MBDF c;
    initialize(c);
    ASSERT_EQ(0u, c.addBlock(makeBlock("#A", "x")));
    ASSERT_EQ(0u, c.writeFile(dir.file("ok").c_str(), nullptr, nullptr, false));
    const std::string good = dir.read("ok");

    struct Case { const char* name; std::string bytes; uint32_t result; };
    const Case cases[] = {
        {"end block missing", good.substr(0, good.size() - 36), 0x80000003u},
        {"cut inside a block", good.substr(0, 90), 0x80000003u},
        {"not a container", std::string(200, 'z'), 0x80000003u},
        {"empty file", std::string(), 0x80000003u},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        dir.write("bad", k.bytes);
        MBDF back;
        Recorder rec;
        EXPECT_EQ(k.result, back.readAll(dir.file("bad").c_str(), true, nullptr, &rec, 0));
        EXPECT_EQ(1u, rec.errors.size());
        EXPECT_FALSE(MBDF::checkValidity(dir.file("bad").c_str()));
    }
    MBDF back;
    EXPECT_EQ(0x80000004u, back.readFile(dir.file("missing").c_str(), true, nullptr, nullptr, false, 0));
    EXPECT_EQ(0x80000000u, back.readFile(nullptr, true, nullptr, nullptr, false, 0));
}

TEST(MBDFTest, StopsLeaveThePreviousFileAndContainerAlone)
{
    TempFolder dir;
    MBDF c;
    initialize(c);
    ASSERT_EQ(0u, c.writeFile(dir.file("f").c_str(), nullptr, nullptr, false));
    const std::string before = dir.read("f");

    volatile bool stop = true;
    Recorder rec;
    ASSERT_EQ(0u, c.addBlock(makeBlock("#A", "new content")));
    EXPECT_EQ(0u, c.writeFile(dir.file("f").c_str(), &stop, &rec, false));
    EXPECT_EQ((std::vector<std::string>{"Aborted."}), rec.messages);
    EXPECT_EQ(before, dir.read("f"));
    EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(dir.path()), {}));

    Recorder readRec;
    EXPECT_EQ(0u, c.readFile(dir.file("f").c_str(), true, &stop, &readRec, false, 0));
    EXPECT_EQ((std::vector<std::string>{"Aborted."}), readRec.messages);
    EXPECT_EQ(1u, c.blockNum());

    Recorder writeRec;
    ASSERT_EQ(0u, c.writeFile(dir.file("f").c_str(), nullptr, &writeRec, false));
    EXPECT_EQ("Finshed.", writeRec.messages.back());
    EXPECT_EQ(3u, writeRec.lastTotal);
}

TEST(MBDFTest, InvalidContainerIsNotWritten)
{
    TempFolder dir;
    dir.write("keep", "old");
    MBDF c;
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, c.writeFile(dir.file("keep").c_str(), nullptr, nullptr, false));
    EXPECT_EQ("[E] MBDF::writeFile 1\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("old", dir.read("keep"));
    EXPECT_EQ(0u, c.size());
}

TEST(MBDFTest, BlockLimitAndMemoryImage)
{
    TempFolder dir;
    MBDF c;
    initialize(c);
    ASSERT_EQ(0u, c.addBlock(makeBlock("#A", "1")));
    ASSERT_EQ(0u, c.addBlock(makeBlock("#B", "2")));
    ASSERT_EQ(0u, c.writeFile(dir.file("f").c_str(), nullptr, nullptr, false));

    MBDF limited;
    ASSERT_EQ(0u, limited.readFile(dir.file("f").c_str(), true, nullptr, nullptr, false, 1));
    EXPECT_EQ(1u, limited.blockNum());
    EXPECT_TRUE(limited.isBlockSearchAborted());
    EXPECT_FALSE(limited.isValid());

    const std::string image = dir.read("f");
    MBDF mem;
    ASSERT_EQ(0u, mem.readBynaryData(image.data(), static_cast<uint32_t>(image.size())));
    EXPECT_EQ(4u, mem.blockNum());  // top and end become list entries here
    EXPECT_EQ(0u, mem.readBynaryData(image.data(), 80));  // a tail shorter than a header ends the walk
    EXPECT_EQ(0x80000000u, mem.readBynaryData(image.data(), 108));  // a header whose areas are cut off
}

TEST(MBDFTest, PathAndSplitHelpers)
{
    EXPECT_EQ("a/b", MBDF::makeFullPath("a", "b"));
    EXPECT_EQ("b", MBDF::makeFullPath("", "b"));
    EXPECT_EQ("b", MBDF::makeFullPath(nullptr, "b"));
    EXPECT_EQ("", MBDF::makeFullPath("a", nullptr));

    std::vector<std::string> pieces{"kept"};
    EXPECT_EQ(0u, FILECACHE::splitString(pieces, "/a//b/", "/"));
    EXPECT_EQ((std::vector<std::string>{"kept", "", "a", "", "b", ""}), pieces);
    pieces.clear();
    EXPECT_EQ(0u, FILECACHE::splitString(pieces, "", "/"));
    EXPECT_EQ((std::vector<std::string>{""}), pieces);
}
