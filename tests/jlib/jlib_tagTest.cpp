#include "jlib/jlib_tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Record A (3 bytes "xyz"), record B (one 4-byte element), then the end record.
std::vector<unsigned char> makeImage()
{
    std::vector<unsigned char> image(256, 0xEE);
    unsigned char* next = nullptr;
    T_JLIB_FILETAG tag;
    EXPECT_EQ(0u, jlib_fileTagMake(&tag, "A", 0x11223344u, 7, 3, 1));
    EXPECT_EQ(0u, jlib_fileTagWrite(&next, image.data(), &tag));
    std::memcpy(next, "xyz", 3);
    EXPECT_EQ(0u, jlib_fileTagMake(&tag, "B", 0, 0, 1, 4));
    EXPECT_EQ(0u, jlib_fileTagWrite(&next, next + 3, &tag));
    std::memcpy(next, "abcd", 4);
    EXPECT_EQ(0u, jlib_fileTagWrite(&next, next + 4, nullptr));
    image.resize(static_cast<size_t>(next - image.data()));
    return image;
}

}  // namespace

TEST(jlib_tagTest, WritesBigEndianRecordsAndFindsThem)
{
    std::vector<unsigned char> image = makeImage();
    ASSERT_EQ(128u, image.size());  // 40 + 3 -> 44, 40 + 4 -> 88, 40 for the end record
    const unsigned char wordsOfA[16] = {0x11, 0x22, 0x33, 0x44, 0, 0, 0, 7, 0, 0, 0, 3, 0, 0, 0, 1};
    EXPECT_EQ(0, std::memcmp(wordsOfA, image.data() + 24, 16));
    EXPECT_STREQ("END TAG", reinterpret_cast<const char*>(image.data() + 88));
    EXPECT_STREQ("END TAG", gl_strNameOfEndTag);

    const unsigned char* begin = image.data();
    const unsigned char* end = begin + image.size();
    const unsigned char* data = nullptr;
    T_JLIB_FILETAG copy;
    ASSERT_EQ(0u, jlib_fileTagFind(&data, begin, end, "B", &copy));
    EXPECT_EQ(begin + 44 + 40, data);
    EXPECT_EQ(1u, copy.elementCount);
    EXPECT_EQ(4u, copy.elementSize);
    ASSERT_EQ(0u, jlib_fileTagFind(&data, begin, end, "A", &copy));
    EXPECT_EQ(0x11223344u, copy.userWord1);
    EXPECT_EQ(7u, copy.userWord2);

    EXPECT_EQ(0x80000003u, jlib_fileTagFind(&data, begin, end, "Z", &copy));
    EXPECT_EQ(0x80000003u, jlib_fileTagFind(&data, begin, end, "END TAG", &copy));
    // Without the end record the walk runs into the image end.
    EXPECT_EQ(0x80000002u, jlib_fileTagFind(&data, begin, begin + 88, "Z", &copy));
}

TEST(jlib_tagTest, CopiesOneElementOrTheWholeArea)
{
    std::vector<unsigned char> image = makeImage();
    const unsigned char* begin = image.data();
    const unsigned char* end = begin + image.size();

    struct Case { uint32_t index; uint32_t size; const char* expected; };
    const Case cases[] = {{1, 8, "y"}, {0, 8, "x"}, {3, 8, "xyz"}, {99, 8, "xyz"}, {3, 2, "xy"}, {3, 0, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        char out[9] = {};
        EXPECT_EQ(0u, jlib_fileTagFindData(begin, end, "A", c.index, out, c.size));
        EXPECT_STREQ(c.expected, out);
    }
    char out[4];
    EXPECT_EQ(0x80000003u, jlib_fileTagFindData(begin, end, "Q", 0, out, sizeof out));
    EXPECT_EQ(0x80000001u, jlib_fileTagFindData(begin, end, "A", 0, nullptr, 4));

    EXPECT_EQ(0u, jlib_fileTagWriteData(image.data(), image.data() + image.size(), "A", 2, "Q!", 2));
    EXPECT_EQ(0u, jlib_fileTagWriteData(image.data(), image.data() + image.size(), "B", 5, "wxyz++", 6));
    EXPECT_EQ(0, std::memcmp("xyQ", image.data() + 40, 3));
    EXPECT_EQ(0, std::memcmp("wxyz", image.data() + 84, 4));
    EXPECT_EQ(0, std::memcmp("END TAG", image.data() + 88, 8));  // the cut kept the next record whole
}

TEST(jlib_tagTest, BrokenImagesEndTheWalkWithoutReadingPastTheEnd)
{
    // Exact-size heap copies so that the sanitizer sees any read past the end.
    const std::vector<unsigned char> good = makeImage();
    T_JLIB_FILETAG huge;
    ASSERT_EQ(0u, jlib_fileTagMake(&huge, "H", 0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu));
    std::vector<unsigned char> hugeImage(64, 0);
    unsigned char* next = nullptr;
    ASSERT_EQ(0u, jlib_fileTagWrite(&next, hugeImage.data(), &huge));

    struct Case { const char* what; std::vector<unsigned char> image; const char* name; };
    const Case cases[] = {
        {"header cut", std::vector<unsigned char>(good.begin(), good.begin() + 20), "A"},
        {"second header cut", std::vector<unsigned char>(good.begin(), good.begin() + 60), "B"},
        {"data cut", std::vector<unsigned char>(good.begin(), good.begin() + 42), "A"},
        {"size overflows 32 bits, skipped", hugeImage, "Z"},
        {"size overflows 32 bits, found", hugeImage, "H"},
        {"empty", std::vector<unsigned char>(1, 0), "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<unsigned char> image = c.image;
        const unsigned char* begin = image.data();
        const unsigned char* data = nullptr;
        T_JLIB_FILETAG copy;
        EXPECT_EQ(0x80000002u, jlib_fileTagFind(&data, begin, begin + image.size(), c.name, &copy));
        char out[8];
        EXPECT_EQ(0x80000002u, jlib_fileTagFindData(begin, begin + image.size(), c.name, 0, out, sizeof out));
    }
}

TEST(jlib_tagTest, MakeAndWriteRefuseWhatCannotBeStored)
{
    T_JLIB_FILETAG tag;
    EXPECT_EQ(0x80000001u, jlib_fileTagMake(nullptr, "A", 0, 0, 0, 0));
    EXPECT_EQ(0x80000001u, jlib_fileTagMake(&tag, nullptr, 0, 0, 0, 0));

    ASSERT_EQ(0u, jlib_fileTagMake(&tag, "a-name-of-thirty-characters!!!", 1, 2, 3, 4));
    EXPECT_STREQ("a-name-of-thirty-charac", tag.name);  // cut to 23
    EXPECT_EQ(3u, tag.elementCount);

    alignas(4) unsigned char image[96] = {};
    unsigned char* next = nullptr;
    ASSERT_EQ(0u, jlib_fileTagWrite(&next, image + 1, &tag));  // aligned up to 4
    EXPECT_EQ(image + 44, next);
    EXPECT_EQ('a', image[4]);

    std::memset(tag.name, 'n', sizeof tag.name);  // no terminator within 24 bytes
    next = nullptr;
    EXPECT_EQ(0x80000001u, jlib_fileTagWrite(&next, image, &tag));
    EXPECT_EQ(nullptr, next);
    EXPECT_EQ(0x80000001u, jlib_fileTagWrite(&next, nullptr, nullptr));
    EXPECT_EQ(0x80000001u, jlib_fileTagWrite(nullptr, image, nullptr));
}
