#include "FileCache/fcache_MBDFAbstractBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "FileCache/fcache_BinaryAccessor.h"
#include "TempFolder.h"

using FILECACHE::BinaryAccessor;
using FILECACHE::FileAccessor;
using FILECACHE::MBDFAbstractBlock;
using FILECACHE::MBDFEndBlock;
using FILECACHE::MBDFTopBlock;

namespace {

std::string bytesOf(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

std::string writeBlock(const TempFolder& dir, MBDFAbstractBlock& block)
{
    FileAccessor fa;
    EXPECT_EQ(0u, fa.open(dir.file("b").c_str(), FileAccessor::OPEN_CREATE));
    EXPECT_EQ(0u, block.writeToFile(fa));
    EXPECT_EQ(0u, fa.close());
    return dir.read("b");
}

// A header with the given tag and sizes, followed by `extra` bytes of content.
std::string rawBlock(const char* tag, uint32_t option, uint32_t data, size_t extra)
{
    std::string s(36, '\0');
    std::memcpy(&s[0], tag, std::strlen(tag));
    (void)BinaryAccessor::setUInt(&s[24], 4, option, true);
    (void)BinaryAccessor::setUInt(&s[28], 4, data, true);
    return s + std::string(extra, 'x');
}

}  // namespace

TEST(MBDFAbstractBlockTest, LayoutPadsOptionAndDataWithZeros)
{
    TempFolder dir;
    MBDFAbstractBlock block;
    ASSERT_EQ(0u, block.setBlockTag("#TEST"));
    ASSERT_EQ(0u, block.setOption("ab", 2));
    ASSERT_EQ(0u, block.setData("12345", 5));
    EXPECT_EQ(48u, block.size());
    const std::string file = writeBlock(dir, block);
    ASSERT_EQ(48u, file.size());
    EXPECT_EQ(std::string("#TEST") + std::string(19, '\0'), file.substr(0, 24));
    EXPECT_EQ(std::string("\0\0\0\x02\0\0\0\x05\0\0\0\0", 12), file.substr(24, 12));
    EXPECT_EQ(std::string("ab\0\0", 4), file.substr(36, 4));
    EXPECT_EQ(std::string("12345\0\0\0", 8), file.substr(40, 8));

    MBDFAbstractBlock empty;
    ASSERT_EQ(0u, empty.setBlockTag("#E"));
    EXPECT_EQ(36u, writeBlock(dir, empty).size());
}

TEST(MBDFAbstractBlockTest, TopAndEndBlocksAreByteExact)
{
    TempFolder dir;
    MBDFEndBlock end;
    ASSERT_EQ(0u, end.initialize());
    EXPECT_EQ(std::string("#END") + std::string(32, '\0'), writeBlock(dir, end));

    const uint8_t uuid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    MBDFTopBlock top;
    ASSERT_EQ(0u, top.initialize("ProjectFile", "ABCDEFGHIJKLMNOPQRS", 0x01020304, uuid, 16));
    const std::string file = writeBlock(dir, top);
    ASSERT_EQ(72u, file.size());
    EXPECT_EQ(std::string("#JOVRIX MBDFProjectFile\0", 24), file.substr(0, 24));
    EXPECT_EQ("ABCDEFGHIJKLMNOP", file.substr(36, 16));
    EXPECT_EQ(std::string("\x01\x02\x03\x04", 4), file.substr(52, 4));
    EXPECT_EQ(bytesOf(uuid, 16), file.substr(56, 16));
    EXPECT_EQ("ABCDEFGHIJKLMNOP", top.productName());
    EXPECT_EQ("ProjectFile", top.fileType());
    EXPECT_EQ(0x01020304u, top.productVersion());

    uint8_t long17[17] = {};
    EXPECT_EQ(0x80000001u, top.initialize("Backup", "p", 1, long17, 17));
    EXPECT_EQ(0x80000001u, top.initialize("Backup", "p", 1, uuid, 0));
    EXPECT_EQ(0x80000001u, end.setBlockSubTag("x"));
}

TEST(MBDFAbstractBlockTest, ReadEnforcesSizeLimitAndStructure)
{
    TempFolder dir;
    struct Case { const char* name; std::string bytes; bool withData; uint32_t result; };
    const Case cases[] = {
        {"option above limit, with data", rawBlock("#T", 0xA00001, 0, 0), true, 0x80000003u},
        {"option above limit, without data", rawBlock("#T", 0xA00001, 0, 0), false, 0x80000003u},
        {"option plus data above limit", rawBlock("#T", 16, 0xA00000, 16), true, 0x80000003u},
        {"data skipped without data", rawBlock("#T", 16, 0xA00000, 16), false, 0u},
        {"short header", std::string(20, 'x'), true, 0x80000003u},
        {"short option", rawBlock("#T", 8, 0, 4), true, 0x80000003u},
        {"first byte zero", rawBlock("", 0, 0, 0), true, 0x80000003u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write("b", c.bytes);
        FileAccessor fa;
        ASSERT_EQ(0u, fa.open(dir.file("b").c_str(), FileAccessor::OPEN_READ));
        MBDFAbstractBlock block;
        EXPECT_EQ(c.result, block.readFromFile(fa, c.withData, nullptr));
    }

    FileAccessor closed;
    MBDFAbstractBlock block;
    EXPECT_EQ(0x80000004u, block.readFromFile(closed, true, nullptr));
    volatile bool stop = true;
    dir.write("b", rawBlock("#T", 0, 0, 0));
    FileAccessor fa;
    ASSERT_EQ(0u, fa.open(dir.file("b").c_str(), FileAccessor::OPEN_READ));
    EXPECT_EQ(0x8000000Au, block.readFromFile(fa, true, &stop));
}

TEST(MBDFAbstractBlockTest, MemoryImageAndCachingRoundTrip)
{
    const std::string image = rawBlock("#T", 2, 5, 0) + std::string("ab\0\0", 4) + std::string("12345\0\0\0", 8);
    MBDFAbstractBlock block;
    unsigned consumed = 0;
    ASSERT_EQ(0u, block.initialize(image.data(), static_cast<unsigned>(image.size()), consumed));
    EXPECT_EQ(48u, consumed);
    EXPECT_EQ(0, std::memcmp(block.data(), "12345", 5));
    EXPECT_TRUE(block.isDataCached());
    EXPECT_EQ(0u, block.uncache());
    EXPECT_FALSE(block.isDataCached());

    MBDFAbstractBlock copy(block);
    EXPECT_EQ(nullptr, copy.data());
    EXPECT_EQ(5u, copy.dataSize(false));

    EXPECT_EQ(0x80000003u, block.initialize(image.data(), 44, consumed));
    EXPECT_EQ(0u, consumed);
    EXPECT_FALSE(block.isValid());
    EXPECT_EQ(0x80000001u, block.initialize(nullptr, 10, consumed));
    EXPECT_EQ(0x80000003u, block.initialize(image.data(), 35, consumed));
}

TEST(BinaryAccessorTest, FieldsAndNumbers)
{
    const uint32_t pads[] = {0, 3, 2, 1, 0};
    for (uint32_t n = 0; n < 5; ++n) EXPECT_EQ(pads[n], BinaryAccessor::getPaddingSize(n));

    uint8_t field[6];
    EXPECT_EQ(0u, BinaryAccessor::setString(field, 6, "abc"));
    EXPECT_EQ(bytesOf("abc\0\0\0", 6), bytesOf(field, 6));
    EXPECT_TRUE(BinaryAccessor::isSameString(field, 6, "abc"));
    EXPECT_FALSE(BinaryAccessor::isSameString(field, 6, "ab"));
    EXPECT_EQ(0u, BinaryAccessor::setString(field, 4, "abcdef"));
    EXPECT_EQ(bytesOf("abcd", 4), bytesOf(field, 4));
    EXPECT_EQ(0x80000000u, BinaryAccessor::setBinary(field, 4, "abcde", 5));

    uint8_t num[4];
    EXPECT_EQ(0u, BinaryAccessor::setUInt(num, 4, 0x11223344, true));
    EXPECT_EQ(0x11223344u, BinaryAccessor::getUInt(num, 4, true));
    EXPECT_EQ(0x44332211u, BinaryAccessor::getUInt(num, 4, false));
    EXPECT_EQ(0u, BinaryAccessor::setInt(num, 2, -2, true));
    EXPECT_EQ(-2, BinaryAccessor::getInt(num, 2, true));

    uint8_t data[3] = {1, 2, 3};
    EXPECT_EQ(0u, BinaryAccessor::scrambleData(data, 3, 0x5A));
    EXPECT_EQ(0u, BinaryAccessor::unscrambleData(data, 3, 0x5A));
    EXPECT_EQ(bytesOf("\x01\x02\x03", 3), bytesOf(data, 3));
    EXPECT_EQ(0x80000000u, BinaryAccessor::scrambleData(nullptr, 3, 1));

    char text[4];
    EXPECT_EQ(0u, BinaryAccessor::getString(text, 4, "abcdef", 6));
    EXPECT_STREQ("abc", text);
}
