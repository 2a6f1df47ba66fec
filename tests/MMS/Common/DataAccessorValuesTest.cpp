// Single values, node information, renaming, the tag walk and index vectors of images.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DataAccessorTestImages.h"
#include "MMS/Common/mms_DataAccessor.h"

namespace {

using MmsTest::Bytes;
using MmsTest::ImageRoot;
using MMS::DataAccessor;

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoItem = 0x80000006u;
constexpr uint32_t kNotFound = 0x80000007u;
constexpr uint32_t kLimit = 0x80000008u;

uint32_t sizeOf(const Bytes& b) { return static_cast<uint32_t>(b.size()); }
uint32_t len(const char* s) { return static_cast<uint32_t>(std::strlen(s)); }

TEST(DataAccessorValuesTest, ReadsGiveTheValuesTheFieldExported)
{
    ImageRoot root;
    ASSERT_EQ(0u, root.set(JVariant(-2), {0}, {1}));
    ASSERT_EQ(0u, root.set(JVariant(254u), {1}, {1}));
    ASSERT_EQ(0u, root.set(JVariant(65535u), {5}, {1}));
    ASSERT_EQ(0u, root.set(JVariant(-5), {6}, {0}));
    ASSERT_EQ(0u, root.set(JVariant(0xFFFFFFF0u), {7}, {0}));
    ASSERT_EQ(0u, root.set(JVariant(2.5f), {8}, {0}));
    ASSERT_EQ(0u, root.set(JVariant("abcd", 4), {9}, {0}));
    ASSERT_EQ(0u, root.set(JVariant(-300), {10, 0}, {3, 2}));
    const Bytes image = root.image();
    struct Case {
        const char* address;
        std::vector<uint32_t> indexes;
        int type;
        std::string expected;  // the value as text
    };
    const Case cases[] = {
        {"S8", {1}, JVariant::kTypeInt32, "-2"},          {"S8", {0}, JVariant::kTypeInt32, "0"},
        {"U8", {1}, JVariant::kTypeUInt32, "254"},        {"W16", {1}, JVariant::kTypeUInt32, "65535"},
        {"Word", {0}, JVariant::kTypeInt32, "-5"},        {"Big", {0}, JVariant::kTypeUInt32, "4294967280"},
        {"F", {0}, JVariant::kTypeFloat, "2.5"},          {"Txt", {0}, JVariant::kTypeString, "abcd"},
        {"Ch/Lvl", {3, 2}, JVariant::kTypeInt32, "-300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        JVariant value;
        ASSERT_EQ(0u, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, c.address, len(c.address),
                                           c.indexes.data(), static_cast<uint32_t>(c.indexes.size())));
        EXPECT_EQ(c.type, value.getType());
        std::string text;
        switch (value.getType()) {
        case JVariant::kTypeInt32: text = std::to_string(value.toInt32()); break;
        case JVariant::kTypeUInt32: text = std::to_string(value.toUInt32()); break;
        case JVariant::kTypeFloat: text = value.toFloat() == 2.5f ? "2.5" : "?"; break;
        case JVariant::kTypeString: text = value.toString(); break;
        default: break;
        }
        EXPECT_EQ(c.expected, text);
    }
    // A shorter text ends at its first zero byte.
    ASSERT_EQ(0u, root.set(JVariant("ab", 4), {9}, {0}));
    const Bytes shorter = root.image();
    JVariant text;
    ASSERT_EQ(0u, DataAccessor::getPrm(&text, shorter.data(), sizeOf(shorter), nullptr, "Txt", 3, nullptr, 0));
    EXPECT_STREQ("ab", text.toString());
}

// Class 2 of element size 6 is a Binary; class 3 of size 8 has no type.
TEST(DataAccessorValuesTest, OddElementSizesReadAsBinaryOrNotAtAll)
{
    const MmsTest::ColTag top{"T", 0, 14, 1, {{"Raw", 2, 6, 1}, {"Wide", 3, 8, 1}}, {}};
    Bytes tags = MmsTest::encodeTags(top, false);
    Bytes image = MmsTest::encodeHeader(false, "", "", "", sizeOf(tags), 14);
    image.insert(image.end(), tags.begin(), tags.end());
    const unsigned char data[14] = {1, 2, 3, 4, 5, 6, 9, 9, 9, 9, 9, 9, 9, 9};
    image.insert(image.end(), data, data + 14);

    JVariant value;
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, "Raw", 3, nullptr, 0));
    ASSERT_EQ(JVariant::kTypeBinary, value.getType());
    ASSERT_EQ(6u, value.getBinaryLength());
    EXPECT_EQ(0, std::memcmp(data, value.toBinary(), 6));
    EXPECT_EQ(kMissing, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, "Wide", 4, nullptr, 0));
    uint32_t type = 1;
    EXPECT_EQ(kNotFound, DataAccessor::getPrmType(&type, image.data(), sizeOf(image), nullptr, "Wide", 4));
    EXPECT_EQ(0u, DataAccessor::getPrmType(&type, image.data(), sizeOf(image), nullptr, "Raw", 3));
    EXPECT_EQ(0x101u, type);

    // A Binary write is all or nothing: 7 bytes do not fit, 4 bytes are zero-padded.
    const unsigned char seven[7] = {7, 7, 7, 7, 7, 7, 7};
    EXPECT_EQ(kMissing, DataAccessor::setPrm(JVariant(seven, 7), image.data(), sizeOf(image), nullptr, "Raw", 3,
                                             nullptr, 0, 0));
    EXPECT_EQ(0, std::memcmp(data, image.data() + image.size() - 14, 6));
    EXPECT_EQ(kMissing, DataAccessor::setPrm(JVariant(5u), image.data(), sizeOf(image), nullptr, "Raw", 3, nullptr,
                                             0, 0));
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant(seven, 4), image.data(), sizeOf(image), nullptr, "Raw", 3, nullptr,
                                       0, 0));
    const unsigned char padded[6] = {7, 7, 7, 7, 0, 0};
    EXPECT_EQ(0, std::memcmp(padded, image.data() + image.size() - 14, 6));
}

struct WriteCase {
    const char* name;
    const char* address;
    std::vector<uint32_t> indexes;
    JVariant value;
    uint8_t setType;
    uint32_t result;
    std::vector<uint32_t> nodes;  // where the field reads the outcome
    JVariant expected;            // what the field reads there afterwards
};

TEST(DataAccessorValuesTest, WritesAreWhatTheFieldReadsAfterImportingTheImage)
{
    const WriteCase cases[] = {
        {"float into int32 writes 0", "Word", {0}, JVariant(2.5f), 0, 0, {6}, JVariant(0)},
        {"300 into 8 bits writes 44", "U8", {0}, JVariant(300u), 0, 0, {1}, JVariant(44u)},
        {"-1 into 16 bits", "W16", {1}, JVariant(-1), 0, 0, {5}, JVariant(65535u)},
        {"int8 truncates", "S8", {1}, JVariant(0x17F), 0, 0, {0}, JVariant(127)},
        {"text too long", "Txt", {0}, JVariant("abcdef", 6), 0, kMissing, {9}, JVariant("xy", 4)},
        {"text fits", "Txt", {0}, JVariant("ab", 4), 0, 0, {9}, JVariant("ab", 4)},
        {"number into text", "Txt", {0}, JVariant(5), 0, kMissing, {9}, JVariant("xy", 4)},
        {"fill with the low byte", "Big", {0}, JVariant(0x1234u), 1, 0, {7}, JVariant(0x34343434u)},
        {"flag mode", "Word", {0}, JVariant(9u), 2, 0, {6}, JVariant(-1)},
        {"set type 3", "Word", {0}, JVariant(9u), 3, kBad, {6}, JVariant(123)},
        {"bit set", "More", {4}, JVariant(1u), 0, 0, {3}, JVariant(1u)},
        {"bit fill refused", "More", {4}, JVariant(1u), 1, kBad, {3}, JVariant(0u)},
        {"bit flag clear", "Flags", {1}, JVariant(0u), 2, 0, {2}, JVariant(0u)},
        {"nested", "Ch/Eq/Q", {2, 1, 1}, JVariant(200u), 0, 0, {10, 1, 0}, JVariant(200u)},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImageRoot source;
        ASSERT_EQ(0u, source.set(JVariant("xy", 4), {9}, {0}));
        ASSERT_EQ(0u, source.set(JVariant(123), {6}, {0}));
        ASSERT_EQ(0u, source.set(JVariant(1u), {2}, {1}));
        Bytes image = source.image();
        EXPECT_EQ(c.result, DataAccessor::setPrm(c.value, image.data(), sizeOf(image), nullptr, c.address,
                                                 len(c.address), c.indexes.data(),
                                                 static_cast<uint32_t>(c.indexes.size()), c.setType));
        ImageRoot field;
        ASSERT_EQ(0u, field.load(image));
        const JVariant read = field.get(c.nodes, c.indexes);
        EXPECT_TRUE(read == c.expected) << read.toInt32();
        EXPECT_EQ(c.expected.getType(), read.getType());
    }
}

TEST(DataAccessorValuesTest, CollectionInstancesAreFilledWholeOrNotAtAll)
{
    ImageRoot root;
    Bytes image = root.image();
    const uint32_t start = MmsTest::dataStartOf(image);
    EXPECT_EQ(kMissing, DataAccessor::setPrm(JVariant(1u), image.data(), sizeOf(image), nullptr, "", 0, nullptr, 0, 0));
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant(1u), image.data(), sizeOf(image), nullptr, "", 0, nullptr, 0, 2));
    EXPECT_EQ(Bytes(66, 0xFF), Bytes(image.begin() + start, image.end()));
    // Ch[1] is bytes 36 .. 45 of the top instance (Ch at 26, 10 bytes each).
    const uint32_t one = 1;
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant(0xABu), image.data(), sizeOf(image), nullptr, "Ch", 2, &one, 1, 1));
    for (uint32_t i = 0; i < 66; ++i) EXPECT_EQ(i >= 36 && i < 46 ? 0xAB : 0xFF, image[start + i]) << i;
    const uint32_t nodes[] = {10};
    ASSERT_EQ(0u, DataAccessor::setPrmFast(JVariant(0u), image.data(), sizeOf(image), nullptr, nodes, &one, 1, 2));
    for (uint32_t i = 36; i < 46; ++i) EXPECT_EQ(0, image[start + i]) << i;
}

TEST(DataAccessorValuesTest, NodeInformationDescribesTheNodeAndItsPath)
{
    ImageRoot root;
    const Bytes image = root.image();
    struct Case {
        const char* address;
        std::vector<uint32_t> nodes;
        uint8_t category;
        uint32_t type, dataSize, arraySize;
        std::vector<uint32_t> maxIndexes;
    };
    const Case cases[] = {
        {"", {}, 0, 0, 66, 1, {}},
        {"S8", {0}, 1, 0x001, 1, 2, {1}},
        {"More", {3}, 1, 0x100, 0, 6, {5}},
        {"Txt", {9}, 1, 0x201, 4, 1, {0}},
        {"Ch", {10}, 0, 0, 10, 4, {3}},
        {"Ch/Eq/Q", {10, 1, 0}, 1, 0x101, 1, 2, {3, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const auto depth = static_cast<uint32_t>(c.nodes.size());
        for (bool fast : {false, true}) {
            uint8_t category = 9;
            uint32_t type = 9, dataSize = 9, arraySize = 9, depthOut = 9;
            uint32_t maxIndexes[5] = {77, 77, 77, 77, 77};
            const uint32_t r =
                fast ? DataAccessor::getNodeInfoFast(&category, &type, &dataSize, &arraySize, maxIndexes, &depthOut,
                                                     depth, image.data(), sizeOf(image), nullptr, c.nodes.data())
                     : DataAccessor::getNodeInfo(&category, &type, &dataSize, &arraySize, maxIndexes, &depthOut, 5,
                                                 image.data(), sizeOf(image), nullptr, c.address, len(c.address));
            ASSERT_EQ(0u, r);
            EXPECT_EQ(c.category, category);
            EXPECT_EQ(c.type, type);
            EXPECT_EQ(c.dataSize, dataSize);
            EXPECT_EQ(c.arraySize, arraySize);
            EXPECT_EQ(depth, depthOut);
            EXPECT_EQ(c.maxIndexes, std::vector<uint32_t>(maxIndexes, maxIndexes + depth));
        }
    }
    // Too small a capacity leaves the indexes alone; each single getter needs its output.
    uint32_t maxIndexes[3] = {77, 77, 77};
    ASSERT_EQ(0u, DataAccessor::getNodeInfo(nullptr, nullptr, nullptr, nullptr, maxIndexes, nullptr, 2, image.data(),
                                            sizeOf(image), nullptr, "Ch/Eq/Q", 7));
    EXPECT_EQ(77u, maxIndexes[0]);
    uint32_t value = 0;
    uint8_t category = 0;
    const uint32_t q[] = {10, 1, 0};
    EXPECT_EQ(kNotFound, DataAccessor::getPrmType(&value, image.data(), sizeOf(image), nullptr, "Ch", 2));
    EXPECT_EQ(kBad, DataAccessor::getPrmTypeFast(nullptr, image.data(), sizeOf(image), nullptr, q, 3));
    EXPECT_EQ(kBad, DataAccessor::getNodeDataSize(nullptr, image.data(), sizeOf(image), nullptr, "S8", 2));
    EXPECT_EQ(kBad, DataAccessor::getNodeCategoryFast(nullptr, image.data(), sizeOf(image), nullptr, q, 3));
    EXPECT_EQ(0u, DataAccessor::getNodeArraySizeFast(&value, image.data(), sizeOf(image), nullptr, q, 3));
    EXPECT_EQ(2u, value);
    EXPECT_EQ(0u, DataAccessor::getNodeDataSizeFast(&value, image.data(), sizeOf(image), nullptr, q, 2));
    EXPECT_EQ(2u, value);
    EXPECT_EQ(0u, DataAccessor::getNodeCategory(&category, image.data(), sizeOf(image), nullptr, "Ch/Eq", 5));
    EXPECT_EQ(0u, category);
    EXPECT_EQ(kNoItem, DataAccessor::getNodeArraySize(&value, image.data(), sizeOf(image), nullptr, "Ch/X", 4));
}

TEST(DataAccessorValuesTest, RenamingClearsTheDigestAndLimitsTheName)
{
    ImageRoot root;
    Bytes image = root.image();
    ASSERT_NE(Bytes(36, 0), Bytes(image.begin() + 44, image.begin() + 80));
    const Bytes before = image;
    EXPECT_EQ(kLimit, DataAccessor::changeNodeName("ABCDEFGHIJKLMNOPQRSTUVWX", image.data(), sizeOf(image), nullptr,
                                                   "Ch/Lvl", 6));
    EXPECT_EQ(kBad, DataAccessor::changeNodeName(nullptr, image.data(), sizeOf(image), nullptr, "Ch/Lvl", 6));
    EXPECT_EQ(kNoItem, DataAccessor::changeNodeName("X", image.data(), sizeOf(image), nullptr, "Ch/No", 5));
    EXPECT_EQ(before, image);

    ASSERT_EQ(0u, DataAccessor::changeNodeName("ABCDEFGHIJKLMNOPQRSTUVW", image.data(), sizeOf(image), nullptr,
                                               "Ch/Lvl", 6));
    EXPECT_EQ(Bytes(36, 0), Bytes(image.begin() + 44, image.begin() + 80));
    uint8_t category = 9;
    EXPECT_EQ(kNoItem, DataAccessor::getNodeCategory(&category, image.data(), sizeOf(image), nullptr, "Ch/Lvl", 6));
    EXPECT_EQ(0u, DataAccessor::getNodeCategory(&category, image.data(), sizeOf(image), nullptr,
                                                "Ch/ABCDEFGHIJKLMNOPQRSTUVW", 26));
    // Renaming to a shorter name leaves no rest of the old one; the top is renamed through "".
    const uint32_t nodes[] = {10, 0};
    ASSERT_EQ(0u, DataAccessor::changeNodeNameFast("Lv", image.data(), sizeOf(image), nullptr, nodes, 2));
    EXPECT_EQ(0u, DataAccessor::getNodeCategory(&category, image.data(), sizeOf(image), nullptr, "Ch/Lv", 5));
    ASSERT_EQ(0u, DataAccessor::changeNodeName("Top", image.data(), sizeOf(image), nullptr, "", 0));
    const char* name = nullptr;
    ASSERT_EQ(0u, DataAccessor::getRootName(&name, image.data(), sizeOf(image), nullptr));
    EXPECT_STREQ("Top", name);
}

class StopAtParameter : public MMS::IPeekCommand {
public:
    bool isCollectionSkippable() const override { return false; }
    bool isParameterSkippable() const override { return false; }
    bool peekCollection(const MMS::T_COLLECTION_TAG& tag) const override
    {
        seen += std::string("C:") + tag.name + " ";
        return false;
    }
    bool peekParameter(const MMS::T_PARAMETER_TAG& tag) const override
    {
        seen += std::string("P:") + std::string(tag.name, strnlen(tag.name, 24)) + " ";
        return std::string(tag.name) == stopAt;
    }
    std::string stopAt;
    mutable std::string seen;
};

TEST(DataAccessorValuesTest, TagWalkVisitsEveryRootInOrder)
{
    ImageRoot a;
    ImageRoot b(MmsTest::TreeSpec{"B", {{{}, "N", 1, 0x004}}, {}, {}});
    const Bytes image = a.image();
    const Bytes dump = MmsTest::makeDump({{"A", image}, {"B", b.image()}});
    uint32_t collections = 0, parameters = 0;
    ASSERT_EQ(0u, DataAccessor::countNodeTags(&collections, &parameters, image.data(), sizeOf(image)));
    EXPECT_EQ(3u, collections);
    EXPECT_EQ(12u, parameters);
    ASSERT_EQ(0u, DataAccessor::countNodeTags(&collections, nullptr, dump.data(), sizeOf(dump)));
    EXPECT_EQ(4u, collections);
    EXPECT_TRUE(DataAccessor::containsBitParameter(dump.data(), sizeOf(dump)));
    const Bytes noBits = b.image();
    EXPECT_FALSE(DataAccessor::containsBitParameter(noBits.data(), sizeOf(noBits)));

    StopAtParameter stop;
    stop.stopAt = "Lvl";
    ASSERT_EQ(0u, DataAccessor::peekData(dump.data(), sizeOf(dump), stop));
    EXPECT_EQ("C:Dev P:S8 P:U8 P:Flags P:More P:Pair P:W16 P:Word P:Big P:F P:Txt C:Ch P:Lvl ", stop.seen);
    EXPECT_EQ(kBad, DataAccessor::peekData(nullptr, 10, stop));
    // A root whose areas run past its image is refused.
    Bytes cut(image.begin(), image.end() - 1);
    EXPECT_EQ(kMissing, DataAccessor::countNodeTags(nullptr, nullptr, cut.data(), sizeOf(cut)));
}

TEST(DataAccessorValuesTest, IndexVectorsStepLikeAnOdometer)
{
    const uint32_t first[] = {0, 0};
    const uint32_t last[] = {1, 2};
    struct Case {
        std::vector<uint32_t> current;
        uint32_t result;
        std::vector<uint32_t> after;
    };
    const Case cases[] = {
        {{0, 0}, 0, {0, 1}}, {{0, 2}, 0, {1, 0}}, {{1, 2}, kLimit, {0, 0}}, {{2, 0}, kNoItem, {2, 0}},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> current = c.current;
        EXPECT_EQ(c.result, DataAccessor::incrementVector(current.data(), first, last, 2));
        EXPECT_EQ(c.after, current);
    }
    uint32_t current[] = {0, 0};
    const uint32_t inverted[] = {2, 0};  // first above last
    EXPECT_EQ(kBad, DataAccessor::incrementVector(current, inverted, last, 2));
    EXPECT_EQ(kBad, DataAccessor::incrementVector(nullptr, first, last, 2));

    const unsigned char bytes[4] = {};
    const unsigned char* cursor = bytes;
    uint32_t remaining = 4;
    EXPECT_EQ(0u, MMS::skip(&cursor, &remaining, 3));
    EXPECT_EQ(bytes + 3, cursor);
    EXPECT_EQ(1u, remaining);
    EXPECT_EQ(0x80000000u, MMS::skip(&cursor, &remaining, 2));
    EXPECT_EQ(bytes + 3, cursor);
    EXPECT_EQ(0x80000000u, MMS::skip(nullptr, &remaining, 0));
}

}  // namespace
