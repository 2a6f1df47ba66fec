#include "FileCache/fcache_MBDFFirmwareBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "FileCache/fcache_BinaryAccessor.h"
#include "FileCache/fcache_MBDF.h"
#include "TempFolder.h"

using FILECACHE::MBDF;
using FILECACHE::MBDFFileBlock;
using FILECACHE::MBDFFirmwareBlock;
using Options = FILECACHE::MBDFFirmwareBlock::FirmwareExtraOptions;

namespace {

const uint8_t kUuid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

struct StringSink : MBDFFileBlock::IFileWriteStrategy {
    uint32_t write(const void* bytes, uint32_t count, uint32_t* written) override
    {
        text.append(static_cast<const char*>(bytes), count);
        *written = count;
        return 0;
    }
    std::string text;
};

}  // namespace

TEST(MBDFFirmwareBlockTest, LaysOutNameTargetAndVersionAndReadsThemBack)
{
    ASSERT_EQ(0u, MBDFFirmwareBlock::useThisBlock());
    TempFolder t;
    const std::string content(3000, 'q');
    t.write("fw.bin", content);
    const Options options{"DSP", "1.2.3"};
    for (uint8_t key : {uint8_t{0}, uint8_t{0x5A}}) {
        SCOPED_TRACE(int(key));
        MBDFFirmwareBlock b;
        ASSERT_EQ(0u, b.initialize("Sub", false, t.path().c_str(), "fw.bin", false, 6, key, &options));
        EXPECT_EQ("#FIRMWARE", b.blockTag());
        EXPECT_EQ("Sub", b.blockSubTag());
        ASSERT_EQ(6u + 3u + 5u + 11u, b.optionSize(false));
        const uint8_t* o = b.option();
        EXPECT_EQ(6u, FILECACHE::BinaryAccessor::getUInt(o, 2, true));
        EXPECT_EQ(key, o[3]);
        EXPECT_EQ(0x08u, FILECACHE::BinaryAccessor::getUInt(o + 4, 4, true));
        EXPECT_EQ('f' ^ key, o[8]);
        EXPECT_EQ(0u, o[14]);
        EXPECT_EQ('D' ^ key, o[15]);
        EXPECT_EQ(0u, o[18]);
        EXPECT_EQ('1' ^ key, o[19]);
        EXPECT_EQ(0u, o[24]);
        EXPECT_EQ("fw.bin", b.fileName());
        EXPECT_EQ("DSP", b.target());
        EXPECT_EQ("1.2.3", b.version());

        MBDF m;
        ASSERT_EQ(0u, m.initialize("Archive", "P", 0, kUuid, sizeof(kUuid)));
        ASSERT_EQ(0u, m.addBlock(b));
        ASSERT_EQ(0u, m.writeFile(t.file("fw.mbdf").c_str(), nullptr, nullptr, false));
        MBDF r;
        ASSERT_EQ(0u, r.readFile(t.file("fw.mbdf").c_str(), true, nullptr, nullptr, true, 0));
        const MBDFFirmwareBlock* read = r.blockPtr<MBDFFirmwareBlock>(0u);
        ASSERT_NE(nullptr, read);
        EXPECT_EQ("DSP", read->target());
        EXPECT_EQ("1.2.3", read->version());
        StringSink sink;
        ASSERT_EQ(0u, read->outputData(sink));
        EXPECT_EQ(content, sink.text);
    }
}

TEST(MBDFFirmwareBlockTest, FolderBecomesAPlainFileBlock)
{
    TempFolder t;
    std::filesystem::create_directory(t.file("d"));
    MBDFFirmwareBlock b;
    ASSERT_EQ(0u, b.initialize(nullptr, true, t.path().c_str(), "d", false, 6, 0, nullptr));
    EXPECT_EQ("#FILE", b.blockTag());
    EXPECT_TRUE(b.isValid());
    EXPECT_TRUE(b.isDir());
    EXPECT_EQ("", b.target());
    EXPECT_EQ("", b.version());
}

TEST(MBDFFirmwareBlockTest, RefusesBadArguments)
{
    TempFolder t;
    t.write("fw.bin", "x");
    std::filesystem::create_directory(t.file("d"));
    const Options good{"T", "V"};
    const Options noTarget{"", "V"};
    const Options noVersion{"T", ""};
    struct Case { const char* what; const char* name; const Options* options; int32_t level; uint32_t result; };
    const Case cases[] = {
        {"null options", "fw.bin", nullptr, 6, 0x80000001u},
        {"empty target", "fw.bin", &noTarget, 6, 0x80000001u},
        {"empty version", "fw.bin", &noVersion, 6, 0x80000001u},
        {"level 11", "fw.bin", &good, 11, 0x80000001u},
        {"null name", nullptr, &good, 6, 0x80000001u},
        {"folder given as file", "d", &good, 6, 0x80000004u},
        {"missing", "none.bin", &good, 6, 0x80000004u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MBDFFirmwareBlock b;
        EXPECT_EQ(c.result, b.initialize(nullptr, false, t.path().c_str(), c.name, false, c.level, 0, c.options));
        EXPECT_FALSE(b.isValid());
    }
}

TEST(MBDFFirmwareBlockTest, TextsStopAtZeroBytesAndTheOptionEnd)
{
    TempFolder t;
    t.write("fw.bin", "x");
    // A text byte equal to the key is stored as zero and cuts the text there.
    const Options options{"xAy", "1"};
    MBDFFirmwareBlock b;
    ASSERT_EQ(0u, b.initialize(nullptr, false, t.path().c_str(), "fw.bin", false, 0, 'A', &options));
    EXPECT_EQ("x", b.target());

    // A crafted block whose option ends right after the name has no texts.
    std::string image(36, '\0');
    std::memcpy(image.data(), "#FIRMWARE", 9);
    FILECACHE::BinaryAccessor::setUInt(image.data() + 24, 4, 12, true);
    std::string option(8, '\0');
    FILECACHE::BinaryAccessor::setUInt(option.data(), 2, 4, true);
    image += option + "abcd";
    MBDFFirmwareBlock crafted;
    unsigned consumed = 0;
    ASSERT_EQ(0u, crafted.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
    EXPECT_TRUE(crafted.isValid());
    EXPECT_EQ("abcd", crafted.fileName());
    EXPECT_EQ("", crafted.target());
    EXPECT_EQ("", crafted.version());
}
