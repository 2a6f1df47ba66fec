#include "MMS/Common/mms_CollectionTagInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ExportImageBytes.h"
#include "MMS/Common/mms_SharedMemWrapper.h"
#include "MmsTestHeap.h"

namespace {

using MMS::CollectionTagInfo;
using MMS::SharedMemWrapper;
using MMS::T_COLLECTION_TAG;
using MMS::T_EXPORT_TAG;
using MMS::T_PARAMETER_TAG;
using MmsTest::ByteWriter;
using MmsTest::Bytes;
using MmsTest::ColTag;
using MmsTest::PrmTag;

const bool kHostBig = CollectionTagInfo::isHostBigEndian();
// The byte-order code that names the order the host does not use.
const uint8_t kOtherOrder = kHostBig ? 1 : 2;

// Top (one element of 27 bytes): Gain int16 x2, Mute bit x3, Level float x1, then Ch x2 at offset 9
// (elements of 9 bytes: Id uint32, Name string of 5).
ColTag sampleTree()
{
    ColTag ch{"Ch", 9, 9, 2, {{"Id", 2, 4, 1}, {"Name", 0, 5, 1}}, {}};
    return ColTag{"Top", 0, 27, 1, {{"Gain", 1, 2, 2}, {"Mute", 2, 0, 3}, {"Level", 3, 4, 1}}, {ch}};
}

Bytes sampleData(bool big)
{
    ByteWriter w(big);
    w.u16(0xFFFE);
    w.u16(0x1234);
    w.u8(0x05);  // bits 0 and 2
    w.f32(1.5f);
    w.u32(0x01020304);
    w.text("abc", 5);
    w.u32(0xA0B0C0D0);
    w.text("hello", 5);  // fills its slot: no terminator
    return w.bytes();
}

// The sample tags as the root writes them, in host order.
Bytes writeSampleTags()
{
    Bytes t(256, 0xCC);
    EXPECT_EQ(0u, CollectionTagInfo::appendCollectionTag(&t[0], "Top", 96, 112, 0, 27, 1));
    EXPECT_EQ(0u, CollectionTagInfo::appendParameterTag(&t[48], "Gain", 2, 2, 0x002));
    EXPECT_EQ(0u, CollectionTagInfo::appendParameterTag(&t[80], "Mute", 0, 3, 0x100));
    EXPECT_EQ(0u, CollectionTagInfo::appendParameterTag(&t[112], "Level", 4, 1, 0x304));
    EXPECT_EQ(0u, CollectionTagInfo::appendCollectionTag(&t[144], "Ch", 64, 0, 9, 9, 2));
    EXPECT_EQ(0u, CollectionTagInfo::appendParameterTag(&t[192], "Id", 4, 1, 0x104));
    EXPECT_EQ(0u, CollectionTagInfo::appendParameterTag(&t[224], "Name", 5, 1, 0x201));
    return t;
}

std::string md5Text(const Bytes& b)
{
    char out[32];
    EXPECT_EQ(0u, MMS::mmsCalcMD5(out, b.data(), static_cast<uint32_t>(b.size())));
    return std::string(out, 32);
}

Bytes imageOf(const ColTag& tree, const Bytes& data, bool big)
{
    const Bytes tags = MmsTest::encodeTags(tree, big);
    Bytes image = MmsTest::encodeHeader(big, "Desk", "V1.00", md5Text(tags), static_cast<uint32_t>(tags.size()),
                                        static_cast<uint32_t>(data.size()));
    image.insert(image.end(), tags.begin(), tags.end());
    image.insert(image.end(), data.begin(), data.end());
    return image;
}

Bytes slice(const unsigned char* p, size_t n) { return Bytes(p, p + n); }

// One root's tag area over heap 1.
class ExportImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        heap = &MmsTest::heap1();
        tags = writeSampleTags();
        ASSERT_EQ(0u, info.createMemoryArea(&wrapper, 256));
        std::memcpy(info.getTagInfoPointer(), tags.data(), tags.size());
        info.createMD5();
        info.setProjectName("Desk");
        info.setProjectVersion("V1.00");
    }
    void TearDown() override { EXPECT_EQ(0u, info.destroy(&wrapper)); }

    // What a root's export does: areas in place, converted, then the header.
    Bytes exportImage(uint8_t order)
    {
        const Bytes data = sampleData(kHostBig);
        Bytes image(88 + tags.size() + data.size());
        std::memcpy(&image[88], tags.data(), tags.size());
        std::memcpy(&image[88 + tags.size()], data.data(), data.size());
        EXPECT_EQ(0u, CollectionTagInfo::endianCnvOfExportData(&image[88], 256, &image[88 + 256], 27, order));
        EXPECT_EQ(0u, info.getExportTagInfo(image.data(), 256, 27, order));
        return image;
    }

    MmsTest::TestHeapManager* heap = nullptr;
    SharedMemWrapper wrapper{nullptr};
    CollectionTagInfo info;
    Bytes tags;
};

TEST_F(ExportImageTest, TagWritersMatchTheFormatByteForByte)
{
    EXPECT_EQ(MmsTest::encodeTags(sampleTree(), kHostBig), tags);
}

TEST_F(ExportImageTest, ExportWritesByteExactImagesInEitherOrder)
{
    struct Case {
        uint8_t order;
        bool big;
    };
    const Case cases[] = {{0, kHostBig}, {1, false}, {2, true}, {3, kHostBig}, {0xFF, kHostBig}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << int(c.order));
        EXPECT_EQ(imageOf(sampleTree(), sampleData(c.big), c.big), exportImage(c.order));
    }
    char own[36];
    ASSERT_EQ(0u, info.getUuid(own));
    EXPECT_EQ(md5Text(tags), std::string(own, 32));
    EXPECT_EQ(std::string(4, '\0'), std::string(own + 32, 4));
}

TEST_F(ExportImageTest, UuidNamesTheDefinitionAsStored)
{
    const Bytes host = exportImage(0);
    const Bytes again = exportImage(0);
    const Bytes other = exportImage(kOtherOrder);
    const char* hostUuid = reinterpret_cast<const char*>(&host[44]);
    EXPECT_EQ(0, std::memcmp(hostUuid, &again[44], 36));
    EXPECT_TRUE(info.isSameUuid(hostUuid));
    EXPECT_FALSE(info.isSameUuid(reinterpret_cast<const char*>(&other[44])));

    CollectionTagInfo sameDefinition;
    ASSERT_EQ(0u, sameDefinition.restore(&wrapper, tags.data(), 256));
    EXPECT_TRUE(sameDefinition.isSameUuid(hostUuid));
    EXPECT_EQ(0u, sameDefinition.destroy(&wrapper));

    const char empty[36] = {};
    EXPECT_FALSE(info.isSameUuid(empty));
    EXPECT_FALSE(info.isSameUuid(nullptr));
    CollectionTagInfo noTags;
    EXPECT_FALSE(noTags.isSameUuid(empty));  // two empty UUIDs never match
    EXPECT_FALSE(noTags.isSameUuid(hostUuid));
}

TEST_F(ExportImageTest, ImportReadsEitherOrderIntoHostOrder)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "BIG" : "LIT");
        Bytes image = imageOf(sampleTree(), sampleData(big), big);
        unsigned char same = 9;
        unsigned char order = 9;
        unsigned char* tagArea = nullptr;
        unsigned char* dataArea = nullptr;
        uint32_t tagSize = 0;
        uint32_t dataSize = 0;
        ASSERT_EQ(0u, info.readImportData(&same, &tagArea, &tagSize, &dataArea, &dataSize, &order, image.data(),
                                          static_cast<uint32_t>(image.size())));
        EXPECT_EQ(big == kHostBig ? 0 : (big ? 2 : 1), order);
        EXPECT_EQ(big == kHostBig ? 1 : 0, same);
        EXPECT_EQ(image.data() + 88, tagArea);
        EXPECT_EQ(256u, tagSize);
        EXPECT_EQ(image.data() + 88 + 256, dataArea);
        EXPECT_EQ(27u, dataSize);
        // The header now reads in host order.
        T_EXPORT_TAG header;
        std::memcpy(&header, image.data(), 88);
        EXPECT_EQ(256u, header.tagSize);
        EXPECT_EQ(27u, header.dataSize);
        EXPECT_STREQ(kHostBig ? "BIG" : "LIT", header.byteOrder);

        ASSERT_EQ(0u, CollectionTagInfo::endianCnvOfImportData(tagArea, tagSize, dataArea, dataSize, order));
        EXPECT_EQ(tags, slice(tagArea, tagSize));
        EXPECT_EQ(sampleData(kHostBig), slice(dataArea, dataSize));
    }
}

TEST_F(ExportImageTest, ImageInTheOtherOrderNeverCountsAsTheSameDefinition)
{
    Bytes image = imageOf(sampleTree(), sampleData(!kHostBig), !kHostBig);
    char own[36];
    ASSERT_EQ(0u, info.getUuid(own));
    std::memcpy(&image[44], own, 36);  // even a header that claims this root's UUID
    unsigned char same = 9;
    unsigned char order = 0;
    unsigned char* tagArea = nullptr;
    unsigned char* dataArea = nullptr;
    uint32_t tagSize = 0;
    uint32_t dataSize = 0;
    ASSERT_EQ(0u, info.readImportData(&same, &tagArea, &tagSize, &dataArea, &dataSize, &order, image.data(),
                                      static_cast<uint32_t>(image.size())));
    EXPECT_EQ(kOtherOrder, order);
    EXPECT_EQ(0, same);
}

TEST_F(ExportImageTest, HeaderReaderConvertsTheSizesAndReportsTheOrder)
{
    struct Case {
        const char* name;
        bool big;
        uint8_t lengthByte;
        uint32_t length;  // 0: the whole image
        uint32_t result;
    };
    const Case cases[] = {
        {"little", false, 88, 0, 0},
        {"big", true, 88, 0, 0},
        {"longer header length", true, 100, 0, 0},
        {"image of 3 bytes", false, 88, 3, 0x80000002u},
        {"image of 2 bytes", false, 88, 2, 0x80000002u},
        {"length byte 0", false, 0, 0, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = imageOf(sampleTree(), sampleData(c.big), c.big);
        image[3] = c.lengthByte;
        T_EXPORT_TAG header;
        std::memset(&header, 0x5A, sizeof(header));
        unsigned char order = 9;
        const uint32_t length = c.length ? c.length : static_cast<uint32_t>(image.size());
        EXPECT_EQ(c.result, CollectionTagInfo::readExportTagHeader(&header, &order, image.data(), length));
        if (c.result != 0) continue;
        EXPECT_EQ(c.big == kHostBig ? 0 : (c.big ? 2 : 1), order);
        EXPECT_EQ(256u, header.tagSize);
        EXPECT_EQ(27u, header.dataSize);
        EXPECT_STREQ(kHostBig ? "BIG" : "LIT", header.byteOrder);
        EXPECT_STREQ("Desk", header.projectName);
    }
    Bytes image = imageOf(sampleTree(), sampleData(false), false);
    T_EXPORT_TAG header;
    unsigned char order = 0;
    std::memcpy(&image[4], "MID", 4);
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readExportTagHeader(&header, &order, image.data(), 200));
    image[0] = 'X';
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readExportTagHeader(&header, &order, image.data(), 200));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readExportTagHeader(nullptr, &order, image.data(), 200));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readExportTagHeader(&header, nullptr, image.data(), 200));
}

TEST_F(ExportImageTest, ImportReaderRefusesBadImagesAndLeavesThemUnchanged)
{
    struct Case {
        const char* name;
        std::function<void(Bytes&)> spoil;
        int lengthDelta;
    };
    const Case cases[] = {
        {"shorter than its header says", [](Bytes&) {}, -1},
        {"header length below 88", [](Bytes& b) { b[3] = 80; }, 0},
        {"unknown order mark", [](Bytes& b) { std::memcpy(&b[4], "MID", 4); }, 0},
        {"tag area larger than the image", [](Bytes& b) { b[kHostBig ? 80 : 83] ^= 0x10; }, 0},
        // Only the other order is converted, so its areas are checked before the header is rewritten.
        {"data area too small for the top collection", [](Bytes& b) { b[kHostBig ? 84 : 87] = 26; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes image = imageOf(sampleTree(), sampleData(!kHostBig), !kHostBig);
        c.spoil(image);
        const Bytes before = image;
        unsigned char same = 9;
        unsigned char order = 9;
        unsigned char* tagArea = nullptr;
        unsigned char* dataArea = nullptr;
        uint32_t tagSize = 7;
        uint32_t dataSize = 7;
        EXPECT_EQ(0x80000002u,
                  info.readImportData(&same, &tagArea, &tagSize, &dataArea, &dataSize, &order, image.data(),
                                      static_cast<uint32_t>(image.size() + c.lengthDelta)));
        EXPECT_EQ(before, image);
        EXPECT_EQ(nullptr, tagArea);
        EXPECT_EQ(7u, tagSize);
    }
    Bytes image = imageOf(sampleTree(), sampleData(kHostBig), kHostBig);
    unsigned char same = 0;
    unsigned char order = 0;
    unsigned char* tagArea = nullptr;
    unsigned char* dataArea = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0x80000002u, info.readImportData(nullptr, &tagArea, &size, &dataArea, &size, &order, image.data(), 371));
    EXPECT_EQ(0x80000002u, info.readImportData(&same, &tagArea, &size, &dataArea, &size, nullptr, image.data(), 371));
    EXPECT_EQ(0x80000002u, info.readImportData(&same, &tagArea, &size, &dataArea, &size, &order, nullptr, 371));
}

// A spoilt image: changes to the tree before encoding, or to the encoded tags, or a shorter tag area.
struct Spoil {
    const char* name;
    std::function<void(ColTag&)> tree;
    std::function<void(Bytes&)> tagBytes;
    uint32_t tagSizeCut;
    uint32_t importResult;
    uint32_t exportResult;
};

TEST_F(ExportImageTest, ConversionsCheckTheWholeImageBeforeChangingAnyOfIt)
{
    const auto none = [](ColTag&) {};
    const auto same = [](Bytes&) {};
    const Spoil cases[] = {
        {"child elements pass the parent element", [](ColTag& t) { t.children[0].arraySize = 3; }, same, 0,
         0x80000002u, 0x80000002u},
        {"child offset needs more than 32 bits", [](ColTag& t) { t.children[0].dataOffset = 0xFFFFFFFFu; }, same,
         0, 0x80000002u, 0x80000002u},
        {"element product wraps 32 bits", [](ColTag& t) { t.children[0].elementSize = 0x80000000u; }, same, 0,
         0x80000002u, 0x80000002u},
        {"parameters pass their element", [](ColTag& t) { t.children[0].parameters[0].arraySize = 3; }, same, 0,
         0x80000002u, 0x80000002u},
        {"top passes the data area", [](ColTag& t) { t.arraySize = 2; }, same, 0, 0x80000002u, 0x80000002u},
        {"collection tag shorter than its fields", none, [](Bytes& b) { b[144 + 3] = 40; }, 0, 0x80000002u,
         0x80000002u},
        {"collection tag length 0", none, [](Bytes& b) { b[144 + 3] = 0; }, 0, 0x80000002u, 0x80000002u},
        {"parameter tag length 0", none, [](Bytes& b) { b[80 + 2] = 0; }, 0, 0x80000002u, 0x80000002u},
        {"parameter tag missing", none, [](Bytes& b) { b[80] = 'X'; }, 0, 0x80000002u, 0x80000001u},
        {"child tag missing", none, [](Bytes& b) { b[144] = 'X'; }, 0, 0x80000002u, 0x80000001u},
        {"tags pass the tag area", none, same, 1, 0x80000002u, 0x80000002u},
        {"tag area of 47 bytes", none, same, 256 - 47, 0x80000002u, 0x80000001u},
        {"tag area of 3 bytes", none, same, 253, 0x80000002u, 0x80000001u},
    };
    for (const Spoil& c : cases) {
        SCOPED_TRACE(c.name);
        ColTag tree = sampleTree();
        c.tree(tree);
        for (bool toHost : {true, false}) {
            SCOPED_TRACE(toHost ? "import" : "export");
            const bool big = toHost ? !kHostBig : kHostBig;
            Bytes tagArea = MmsTest::encodeTags(tree, big);
            c.tagBytes(tagArea);
            Bytes data = sampleData(big);
            const Bytes tagsBefore = tagArea;
            const Bytes dataBefore = data;
            const uint32_t tagSize = static_cast<uint32_t>(tagArea.size()) - c.tagSizeCut;
            const uint32_t result =
                toHost ? CollectionTagInfo::endianCnvOfImportData(tagArea.data(), tagSize, data.data(), 27, kOtherOrder)
                       : CollectionTagInfo::endianCnvOfExportData(tagArea.data(), tagSize, data.data(), 27, kOtherOrder);
            EXPECT_EQ(toHost ? c.importResult : c.exportResult, result);
            EXPECT_EQ(tagsBefore, tagArea);
            EXPECT_EQ(dataBefore, data);
        }
    }
}

// A chain of collections, each with one uint16 parameter and the next level as its only child.
ColTag chain(int levels)
{
    ColTag deepest{"L" + std::to_string(levels), 2, 2, 1, {{"V", 1, 2, 1}}, {}};
    for (int level = levels - 1; level >= 1; --level) {
        ColTag up{"L" + std::to_string(level), 2, 2 + deepest.elementSize, 1, {{"V", 1, 2, 1}}, {deepest}};
        deepest = up;
    }
    deepest.dataOffset = 0;
    return deepest;
}

Bytes chainData(int levels, bool big)
{
    ByteWriter w(big);
    for (int i = 0; i < levels; ++i) w.u16(static_cast<uint16_t>(0x0100 + i));
    return w.bytes();
}

TEST(ExportImageConversionTest, NestingOfSixLevelsConvertsAndSevenIsRefused)
{
    for (int levels : {1, 6, 7}) {
        SCOPED_TRACE(levels);
        const uint8_t other = kOtherOrder;
        Bytes tagArea = MmsTest::encodeTags(chain(levels), !kHostBig);
        Bytes data = chainData(levels, !kHostBig);
        const Bytes tagsBefore = tagArea;
        const Bytes dataBefore = data;
        const uint32_t result = CollectionTagInfo::endianCnvOfImportData(
            tagArea.data(), static_cast<uint32_t>(tagArea.size()), data.data(), static_cast<uint32_t>(data.size()),
            other);
        if (levels <= 6) {
            EXPECT_EQ(0u, result);
            EXPECT_EQ(MmsTest::encodeTags(chain(levels), kHostBig), tagArea);
            EXPECT_EQ(chainData(levels, kHostBig), data);
        } else {
            EXPECT_EQ(0x80000002u, result);
            EXPECT_EQ(tagsBefore, tagArea);
            EXPECT_EQ(dataBefore, data);
        }
    }
}

TEST(ExportImageConversionTest, ElementSizeZeroVisitsNoData)
{
    ColTag tree = sampleTree();
    tree.children[0].elementSize = 0;
    tree.children[0].arraySize = 0xFFFFFFFFu;  // would walk far past the data otherwise
    Bytes tagArea = MmsTest::encodeTags(tree, !kHostBig);
    Bytes data = sampleData(!kHostBig);
    ASSERT_EQ(0u, CollectionTagInfo::endianCnvOfImportData(tagArea.data(), static_cast<uint32_t>(tagArea.size()),
                                                           data.data(), 27, kOtherOrder));
    EXPECT_EQ(MmsTest::encodeTags(tree, kHostBig), tagArea);
    const Bytes host = sampleData(kHostBig);
    const Bytes other = sampleData(!kHostBig);
    EXPECT_EQ(slice(host.data(), 9), slice(data.data(), 9));             // the top's own values
    EXPECT_EQ(slice(other.data() + 9, 18), slice(data.data() + 9, 18));  // the child's stay as they were

    tree = sampleTree();
    tree.elementSize = 0;  // nothing of the top is visited, however its children are described
    tagArea = MmsTest::encodeTags(tree, !kHostBig);
    data = other;
    ASSERT_EQ(0u, CollectionTagInfo::endianCnvOfImportData(tagArea.data(), static_cast<uint32_t>(tagArea.size()),
                                                           data.data(), 27, kOtherOrder));
    EXPECT_EQ(other, data);
}

TEST(ExportImageConversionTest, LongerTagsAreReadInPartAndSteppedOverByTheirLength)
{
    ColTag tree = sampleTree();
    tree.parameters[0].length = 40;
    tree.children[0].length = 56;
    Bytes tagArea = MmsTest::encodeTags(tree, !kHostBig);
    Bytes data = sampleData(!kHostBig);
    ASSERT_EQ(0u, CollectionTagInfo::endianCnvOfImportData(tagArea.data(), static_cast<uint32_t>(tagArea.size()),
                                                           data.data(), 27, kOtherOrder));
    EXPECT_EQ(MmsTest::encodeTags(tree, kHostBig), tagArea);
    EXPECT_EQ(sampleData(kHostBig), data);
    ASSERT_EQ(0u, CollectionTagInfo::endianCnvOfExportData(tagArea.data(), static_cast<uint32_t>(tagArea.size()),
                                                           data.data(), 27, kOtherOrder));
    EXPECT_EQ(MmsTest::encodeTags(tree, !kHostBig), tagArea);
    EXPECT_EQ(sampleData(!kHostBig), data);

    T_PARAMETER_TAG prm;
    std::memset(&prm, 0x5A, sizeof(prm));
    ASSERT_EQ(0u, CollectionTagInfo::readPrmTagInfo(&prm, &tagArea[48], 40, true));
    EXPECT_EQ(40, prm.length);
    EXPECT_EQ(2, prm.elementSize);
    EXPECT_EQ(2, prm.arraySize);
    EXPECT_STREQ("Gain", prm.name);
}

TEST(ExportImageConversionTest, TagReadersCopyAtMostTheirRecordWithinTheGivenLength)
{
    const Bytes host = MmsTest::encodeTags(sampleTree(), kHostBig);
    const Bytes other = MmsTest::encodeTags(sampleTree(), !kHostBig);
    struct Case {
        const char* name;
        const Bytes* bytes;
        uint32_t position;
        uint32_t length;
        bool convert;
        uint32_t result;
    };
    const Case cases[] = {
        {"host order", &host, 144, 112, false, 0},
        {"other order converted", &other, 144, 48, true, 0},
        {"no length byte", &host, 144, 3, false, 0x80000002u},
        {"tag passes the length", &host, 144, 47, false, 0x80000002u},
        {"wrong magic", &host, 48, 100, false, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        T_COLLECTION_TAG tag;
        std::memset(&tag, 0x5A, sizeof(tag));
        EXPECT_EQ(c.result, CollectionTagInfo::readCollTagInfo(&tag, c.bytes->data() + c.position, c.length, c.convert));
        if (c.result != 0) continue;
        EXPECT_STREQ("Ch", tag.name);
        EXPECT_EQ(64u, tag.parameterTagsSize);
        EXPECT_EQ(0u, tag.childTagsSize);
        EXPECT_EQ(9u, tag.dataOffset);
        EXPECT_EQ(9u, tag.elementDataSize);
        EXPECT_EQ(2u, tag.arraySize);
    }
    Bytes shortTag = host;
    shortTag[144 + 3] = 20;  // a short tag is copied as far as it goes
    T_COLLECTION_TAG tag;
    ASSERT_EQ(0u, CollectionTagInfo::readCollTagInfo(&tag, &shortTag[144], 112, false));
    EXPECT_EQ(0u, tag.parameterTagsSize);
    shortTag[144 + 3] = 0;
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readCollTagInfo(&tag, &shortTag[144], 112, false));

    T_PARAMETER_TAG prm;
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readPrmTagInfo(&prm, &host[48], 2, false));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readPrmTagInfo(&prm, &host[48], 31, false));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readPrmTagInfo(&prm, &host[0], 32, false));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::readPrmTagInfo(nullptr, &host[48], 32, false));
    ASSERT_EQ(0u, CollectionTagInfo::readPrmTagInfo(&prm, &other[80], 32, true));
    EXPECT_EQ(2, prm.dataClass);
    EXPECT_EQ(0, prm.elementSize);
    EXPECT_EQ(3, prm.arraySize);
}

TEST(ExportImageConversionTest, TagWritersRefuseWhatTheyCannotDescribe)
{
    unsigned char area[48];
    std::memset(area, 0xCC, sizeof(area));
    const unsigned char* const untouched = area;
    struct Case {
        const char* name;
        std::function<uint32_t()> write;
        uint32_t result;
    };
    const Case cases[] = {
        {"null destination", [] { return CollectionTagInfo::appendCollectionTag(nullptr, "A", 0, 0, 0, 0, 1); },
         0x80000001u},
        {"null parameter destination", [] { return CollectionTagInfo::appendParameterTag(nullptr, "A", 1, 1, 0x101); },
         0x80000001u},
        {"empty name", [&] { return CollectionTagInfo::appendCollectionTag(area, "", 0, 0, 0, 0, 1); }, 0x80000002u},
        {"name of 24 characters",
         [&] { return CollectionTagInfo::appendParameterTag(area, "abcdefghijklmnopqrstuvwx", 1, 1, 0x101); },
         0x80000002u},
        {"string of 65536 bytes", [&] { return CollectionTagInfo::appendParameterTag(area, "S", 65536, 1, 0x201); },
         0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.write());
        for (unsigned i = 0; i < sizeof(area); ++i) ASSERT_EQ(0xCC, untouched[i]);
    }
    const uint32_t classes[][2] = {{0x001, 1}, {0x002, 1}, {0x004, 1}, {0x100, 2}, {0x101, 2}, {0x102, 2},
                                   {0x104, 2}, {0x304, 3}, {0x201, 0}, {0x103, 0}, {0x008, 0}, {0, 0}};
    for (const auto& c : classes) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(c[1], CollectionTagInfo::dataTypeConverter(c[0]));
        T_PARAMETER_TAG tag{};
        tag.dataClass = static_cast<uint8_t>(c[1]);
        EXPECT_TRUE(CollectionTagInfo::isSameImportDataType(tag, c[0]));
    }
}

TEST_F(ExportImageTest, CollectionTagsAreFoundSizedCopiedAndCompared)
{
    const unsigned char* own = info.getTagInfoPointer();
    EXPECT_EQ(own + 144, CollectionTagInfo::getCollectionTag(own, 144));
    EXPECT_EQ(nullptr, CollectionTagInfo::getCollectionTag(own, 48));
    EXPECT_EQ(own + 48, CollectionTagInfo::getParameterTag(own, 48));
    EXPECT_EQ(nullptr, CollectionTagInfo::getParameterTag(own, 144));

    uint32_t size = 0;
    EXPECT_EQ(0u, CollectionTagInfo::getCollectionTagSize(&size, own, 0));
    EXPECT_EQ(256u, size);
    EXPECT_EQ(0u, CollectionTagInfo::getCollectionTagSize(&size, own, 144));
    EXPECT_EQ(112u, size);
    EXPECT_EQ(0x80000001u, CollectionTagInfo::getCollectionTagSize(&size, own, 48));
    EXPECT_EQ(0x80000002u, CollectionTagInfo::getCollectionTagSize(nullptr, own, 0));

    Bytes copy(112);
    ASSERT_EQ(0u, CollectionTagInfo::getCollectionTags(copy.data(), own, 144, 5));
    ColTag ch = sampleTree().children[0];
    ch.dataOffset = 0;
    ch.arraySize = 5;
    EXPECT_EQ(MmsTest::encodeTags(ch, kHostBig), copy);
    ASSERT_EQ(0u, CollectionTagInfo::getCollectionTags(copy.data(), own, 144, 0));
    ch.arraySize = 2;
    EXPECT_EQ(MmsTest::encodeTags(ch, kHostBig), copy);
    EXPECT_EQ(0x80000002u, CollectionTagInfo::getCollectionTags(nullptr, own, 144, 0));

    EXPECT_TRUE(CollectionTagInfo::isChildTagMemcmp(own, 144, copy.data(), 112));
    EXPECT_TRUE(CollectionTagInfo::isChildPrmTagMemcmp(own, 0, own + 48, 96));
    copy[100] ^= 1;
    EXPECT_FALSE(CollectionTagInfo::isChildTagMemcmp(own, 144, copy.data(), 112));
    copy[100] ^= 1;
    copy[10] ^= 1;  // the heads themselves are not compared
    EXPECT_TRUE(CollectionTagInfo::isChildTagMemcmp(own, 144, copy.data(), 112));
    EXPECT_FALSE(CollectionTagInfo::isChildTagMemcmp(own, 144, copy.data(), 47));
    EXPECT_FALSE(CollectionTagInfo::isChildPrmTagMemcmp(own, 0, nullptr, 96));
}

TEST_F(ExportImageTest, FilterReaderChecksTheDefinitionWhenNoTagsAreAsked)
{
    Bytes filter = exportImage(0);
    const Bytes otherOrder = exportImage(kOtherOrder);
    Bytes otherDefinition = filter;
    otherDefinition[44] ^= 1;  // another UUID
    struct Case {
        const char* name;
        const Bytes* image;
        bool askTags;
        uint32_t result;
    };
    const Case cases[] = {
        {"own definition", &filter, false, 0},
        {"own definition, tags asked", &filter, true, 0},
        {"other definition", &otherDefinition, false, 0x80000002u},
        {"other definition, tags asked", &otherDefinition, true, 0},
        {"other order", &otherOrder, false, 0x80000002u},
        {"other order, tags asked", &otherOrder, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned char* data = reinterpret_cast<const unsigned char*>(0x1);
        uint32_t dataSize = 99;
        const unsigned char* tagArea = nullptr;
        uint32_t tagSize = 0;
        unsigned char order = 9;
        const uint32_t result =
            info.readImportFilterData(c.askTags ? &tagArea : nullptr, c.askTags ? &tagSize : nullptr, &data, &dataSize,
                                      c.askTags ? &order : nullptr, c.image->data(), static_cast<uint32_t>(c.image->size()));
        EXPECT_EQ(c.result, result);
        if (result != 0) {
            EXPECT_EQ(nullptr, data);
            EXPECT_EQ(0u, dataSize);
            continue;
        }
        EXPECT_EQ(c.image->data() + 88 + 256, data);
        EXPECT_EQ(27u, dataSize);
        if (c.askTags) {
            EXPECT_EQ(c.image->data() + 88, tagArea);
            EXPECT_EQ(256u, tagSize);
            EXPECT_EQ(c.image == &otherOrder ? kOtherOrder : 0, order);
        }
    }

    const unsigned char* data = reinterpret_cast<const unsigned char*>(0x1);
    uint32_t dataSize = 99;
    EXPECT_EQ(0u, info.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, nullptr, 0));
    EXPECT_EQ(nullptr, data);  // no filter
    EXPECT_EQ(0u, dataSize);
    EXPECT_EQ(0x80000002u, info.readImportFilterData(nullptr, nullptr, nullptr, &dataSize, nullptr, filter.data(), 371));
    EXPECT_EQ(0x80000002u, info.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, filter.data(), 370));

    // A root without a UUID accepts a filter of its tag-area size.
    CollectionTagInfo noUuid;
    EXPECT_EQ(0x80000002u, noUuid.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, filter.data(), 371));
    ASSERT_EQ(0u, noUuid.createMemoryArea(&wrapper, 256));
    EXPECT_EQ(0u, noUuid.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, filter.data(), 371));
    ASSERT_EQ(0u, noUuid.createMemoryArea(&wrapper, 128));
    EXPECT_EQ(0x80000002u, noUuid.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, filter.data(), 371));
    std::memset(&filter[44], 0, 36);  // a filter without UUID belongs to no definition
    ASSERT_EQ(0u, noUuid.createMemoryArea(&wrapper, 256));
    EXPECT_EQ(0x80000002u, noUuid.readImportFilterData(nullptr, nullptr, &data, &dataSize, nullptr, filter.data(), 371));
    EXPECT_EQ(0u, noUuid.destroy(&wrapper));
}

TEST(CollectionTagInfoTest, ProjectNameAndVersionAreCutAndPadded)
{
    CollectionTagInfo info;
    info.setProjectName("abcdefghijklmnopqrstuvwxyz0123");  // 30 characters
    info.setProjectVersion("V1.00-build-1234");
    char name[24];
    char version[12];
    ASSERT_EQ(0u, info.getProjectName(name));
    ASSERT_EQ(0u, info.getProjectVersion(version));
    EXPECT_EQ(std::string("abcdefghijklmnopqrstuvw") + '\0', std::string(name, 24));
    EXPECT_EQ(std::string("V1.00-build") + '\0', std::string(version, 12));
    info.setProjectName("Desk");
    ASSERT_EQ(0u, info.getProjectName(name));
    EXPECT_EQ(std::string("Desk") + std::string(20, '\0'), std::string(name, 24));
    info.setProjectName(nullptr);
    ASSERT_EQ(0u, info.getProjectName(name));
    EXPECT_EQ(std::string(24, '\0'), std::string(name, 24));
    EXPECT_EQ(0x80000002u, info.getProjectName(nullptr));
    EXPECT_EQ(0x80000002u, info.getProjectVersion(nullptr));
    EXPECT_EQ(0x80000002u, info.getUuid(nullptr));
}

TEST(CollectionTagInfoTest, TagAreaIsOwnedJoinedAndReleasedThroughItsWrapper)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    SharedMemWrapper wrapper(nullptr);
    CollectionTagInfo info;
    EXPECT_EQ(0x80000001u, info.createMemoryArea(&wrapper, 0));
    EXPECT_EQ(0x80000001u, info.createMemoryArea(nullptr, 16));
    heap.refuse = true;
    EXPECT_EQ(0x80000003u, info.createMemoryArea(&wrapper, 16));
    heap.refuse = false;

    const unsigned char foreign[4] = {1, 2, 3, 4};
    EXPECT_EQ(0x80000002u, info.restore(&wrapper, nullptr, 4));
    EXPECT_EQ(0x80000002u, info.joint(foreign, 0));
    ASSERT_EQ(0u, info.restore(&wrapper, foreign, 4));
    EXPECT_TRUE(info.isOwner());
    EXPECT_EQ(live + 1, heap.live);
    EXPECT_NE(foreign, info.getTagInfoPointer());
    char uuid[36];
    ASSERT_EQ(0u, info.getUuid(uuid));
    EXPECT_EQ(md5Text(Bytes(foreign, foreign + 4)), std::string(uuid, 32));

    EXPECT_EQ(0x80000001u, info.joint(foreign, 4));  // the owned area could not be freed
    EXPECT_EQ(0x80000001u, info.releaseMemoryPool(nullptr));
    EXPECT_EQ(4u, info.getTagInfoSize());
    EXPECT_EQ(0u, info.releaseMemoryPool(&wrapper));
    EXPECT_EQ(live, heap.live);
    EXPECT_EQ(nullptr, info.getTagInfoPointer());
    EXPECT_FALSE(info.isSameUuid(uuid));

    ASSERT_EQ(0u, info.joint(foreign, 4));
    EXPECT_FALSE(info.isOwner());
    EXPECT_EQ(foreign, info.getTagInfoPointer());
    EXPECT_TRUE(info.isSameUuid(uuid));
    EXPECT_EQ(0u, info.destroy(nullptr));  // a joined area is only forgotten
    EXPECT_EQ(nullptr, info.getTagInfoPointer());
    EXPECT_EQ(live, heap.live);

    heap.refuse = true;
    EXPECT_EQ(nullptr, new CollectionTagInfo);
}

}  // namespace
