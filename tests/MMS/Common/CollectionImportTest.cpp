#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CollectionTreeBuilder.h"
#include "ExportImageBytes.h"
#include "MMS/Common/mms_Collection.h"
#include "MMS/Common/mms_CollectionTagInfo.h"
#include "MMS/Common/mms_CommonFunction.h"
#include "MMS/Common/mms_ISetChecker.h"

namespace {

using MMS::T_FAST_ADDRESS;
using MmsTest::Bytes;
using MmsTest::TreeBuilder;
using MmsTest::Vec;

constexpr uint32_t kChanged = 0x100;
constexpr uint32_t kImportCleared = 0x200;
constexpr uint32_t kStillSet = 0x1000;
constexpr uint32_t kBadArgument = 0x80000002u;

uint32_t load32(const unsigned char* at)
{
    uint32_t v = 0;
    std::memcpy(&v, at, 4);
    return v;
}

// Mix: Lvl (1 byte), Ch[6] { Gain (2 bytes) }.
void buildSix(TreeBuilder& t)
{
    t.prm({}, "Lvl", 1);
    t.coll({}, "Ch", 6);
    t.prm({1}, "Gain", 2);
    t.finish();
}

// Mix: Lvl, Ch[3] { Gain (2 bytes), On (3 bits), Pan (2 bits) }, optionally with a 16-bit Extra
// after Gain.
void buildBits(TreeBuilder& t, bool extra = false)
{
    t.prm({}, "Lvl", 1);
    t.coll({}, "Ch", 3);
    t.prm({1}, "Gain", 2);
    if (extra) t.prm({1}, "Extra", 1, MMS::kMmsTypeUInt16);
    t.prm({1}, "On", 3, MMS::kMmsTypeBit);
    t.prm({1}, "Pan", 2, MMS::kMmsTypeBit);
    t.finish();
}

struct Image {
    Bytes tags;
    Bytes data;
    std::vector<unsigned char> factors;
    uint32_t tagSize = 0;
    uint32_t dataSize = 0;
    uint32_t factorCount = 0;
    uint32_t result = 0;
};

// Exports what the address names into buffers of exactly the capacities given.
Image exportImage(TreeBuilder& t, const Vec& nodes, const Vec& indexes, const uint32_t* last, uint8_t withParents,
                  uint8_t clearDirty = 0, uint8_t clearImport = 0, uint32_t tagCapacity = 4096,
                  uint32_t dataCapacity = 4096, uint32_t factorCapacity = 64)
{
    Image image;
    image.tags.assign(tagCapacity, 0xCD);
    image.data.assign(dataCapacity, 0xCD);
    image.factors.assign(factorCapacity, 0);
    const T_FAST_ADDRESS address{nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size())};
    image.result = t.top->exportData(image.tags.data(), image.data.data(), &image.tagSize, &image.dataSize,
                                     image.factors.data(), &image.factorCount, factorCapacity, tagCapacity,
                                     dataCapacity, &address, last, 0, 1, withParents, clearDirty, clearImport,
                                     t.values.data(), t.dirty.data(), 0, t.searcher.data(), t.flags.data(), 0,
                                     t.factors.data(), t.tags.data());
    if (MMS::mmsIsSuccess(image.result)) {
        image.tags.resize(image.tagSize);
        image.data.resize(image.dataSize);
    }
    return image;
}

Image exportRoot(TreeBuilder& t) { return exportImage(t, {}, {}, nullptr, 0); }

class FactorChecker : public MMS::ISetChecker {
public:
    bool isBlocked(uint8_t storedFactor, uint8_t) const override { return storedFactor == 3; }
    bool isImportBlocked(const char*, const char*) const override { return false; }
};

uint32_t importImage(TreeBuilder& t, const Bytes& tags, const Bytes& data, uint8_t same, uint8_t factor = 4,
                     const unsigned char* filter = nullptr,
                     MMS::E_FILTER_STRUCTURE layout = MMS::E_FILTER_STRUCTURE_VALUES,
                     const MMS::ISetChecker* checker = nullptr, const Vec& nodes = {}, const Vec& indexes = {})
{
    MmsTest::BitHolder holder(t);
    const T_FAST_ADDRESS address{nodes.data(), indexes.data(), static_cast<uint32_t>(nodes.size())};
    return t.top->importData(same, &address, 0, factor, tags.data(), static_cast<uint32_t>(tags.size()), data.data(),
                             static_cast<uint32_t>(data.size()), checker, t.values.data(), filter, layout, &holder, 0,
                             0, t.factors.data(), t.tags.data());
}

void fillPattern(TreeBuilder& t)
{
    for (size_t i = 0; i < t.values.size(); ++i) t.values[i] = static_cast<unsigned char>(i + 1);
}

TEST(CollectionExportTest, WritesARangeOfInstancesWithAndWithoutParents)
{
    TreeBuilder t;
    buildSix(t);
    fillPattern(t);
    const uint32_t chTree = 48 + 32;
    const uint32_t chUnit = 2;
    const uint32_t chOffset = t.place({1}, {0}).valueOffset;
    struct Case {
        uint32_t first;
        uint32_t last;
        uint8_t withParents;
        uint32_t count;
    };
    const Case cases[] = {{2, 4, 0, 3}, {2, 4, 1, 3}, {2, 0xFFFFFFFFu, 0, 4}, {5, 5, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first * 100 + c.withParents);
        const Vec nodes = {1};
        const Vec indexes = {c.first};
        const uint32_t last[] = {c.last};
        const Image image = exportImage(t, nodes, indexes, last, c.withParents);
        ASSERT_EQ(0u, image.result);
        const uint32_t head = c.withParents != 0 ? 48 : 0;
        EXPECT_EQ(head + chTree, image.tagSize);
        EXPECT_EQ(c.count * chUnit, image.dataSize);
        const T_FAST_ADDRESS address{nodes.data(), indexes.data(), 1};
        uint32_t size = 0;
        EXPECT_EQ(0u, t.top->getExportDataSize(&size, &address, last, 0, 1, c.withParents));
        EXPECT_EQ(image.tagSize + image.dataSize, size);
        EXPECT_EQ(0u, t.top->getExportTagSize(&size, &address, 0, c.withParents));
        EXPECT_EQ(image.tagSize, size);
        if (c.withParents != 0) {
            // The top's head: no parameter tags, the tree below, one instance of all the data.
            EXPECT_EQ(0, std::memcmp(image.tags.data(), "COL", 3));
            EXPECT_EQ(0, std::memcmp(image.tags.data() + 4, "Mix", 4));
            EXPECT_EQ(0u, load32(&image.tags[28]));
            EXPECT_EQ(chTree, load32(&image.tags[32]));
            EXPECT_EQ(0u, load32(&image.tags[36]));
            EXPECT_EQ(c.count * chUnit, load32(&image.tags[40]));
            EXPECT_EQ(1u, load32(&image.tags[44]));
        }
        const unsigned char* ch = image.tags.data() + head;
        EXPECT_EQ(0, std::memcmp(ch + 4, "Ch", 3));
        EXPECT_EQ(0u, load32(ch + 36));
        EXPECT_EQ(chUnit, load32(ch + 40));
        EXPECT_EQ(c.count, load32(ch + 44));
        EXPECT_EQ(0, std::memcmp(ch + 48, t.tags.data() + t.top->getCollectionItem(0)->getTagInfo().offset + 48, 32));
        EXPECT_EQ(Bytes(t.values.begin() + chOffset + c.first * chUnit,
                        t.values.begin() + chOffset + (c.first + c.count) * chUnit),
                  image.data);
    }
}

TEST(CollectionExportTest, ClearsExactlyTheExportedFlagsAndCopiesTheirFactors)
{
    TreeBuilder t;
    buildSix(t);
    t.markChanged({1}, {0}, 0, 0);
    t.markChanged({1}, {3}, 0, 1);
    for (uint32_t i = 0; i < 6; ++i) t.factors[t.place({1}, {i}).dirtyBase] = static_cast<unsigned char>(10 + i);
    TreeBuilder::setBit(t.flags, t.place({1}, {3}).importBase);
    TreeBuilder::setBit(t.searcher, 0);

    const uint32_t last[] = {4};
    Image image = exportImage(t, {1}, {2}, last, 0, 1, 1, 4096, 4096, 2);
    // Ch[3] was dirty and imported; Ch[0] still holds the top's summary bit.
    EXPECT_EQ(kChanged | kImportCleared | kStillSet, image.result);
    EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {3}, 0, 1)));
    EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.place({1}, {3}).dirtyBase));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {0}, 0, 0)));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, 0));
    EXPECT_TRUE(TreeBuilder::allClear(t.flags));
    EXPECT_TRUE(TreeBuilder::allClear(t.searcher));
    EXPECT_EQ(2u, image.factorCount);
    EXPECT_EQ(12, image.factors[0]);
    EXPECT_EQ(13, image.factors[1]);

    const uint32_t first[] = {0};
    image = exportImage(t, {1}, {0}, first, 0, 1, 0);
    EXPECT_EQ(kChanged, image.result);
    EXPECT_TRUE(TreeBuilder::allClear(t.dirty));
}

TEST(CollectionExportTest, RefusesBuffersTooSmallForTheTagsOrTheData)
{
    TreeBuilder t;
    buildSix(t);
    const uint32_t last[] = {4};
    struct Case {
        uint8_t withParents;
        uint32_t tagCapacity;
        uint32_t dataCapacity;
        uint32_t result;
    };
    const Case cases[] = {
        {0, 80, 6, 0}, {0, 79, 6, kBadArgument}, {0, 80, 5, kBadArgument},
        {1, 128, 6, 0}, {1, 127, 6, kBadArgument}, {1, 47, 6, kBadArgument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tagCapacity * 10 + c.dataCapacity);
        EXPECT_EQ(c.result, exportImage(t, {1}, {2}, last, c.withParents, 0, 0, c.tagCapacity, c.dataCapacity).result);
    }
    const uint32_t pastEnd[] = {6};
    EXPECT_EQ(0x80000006u, exportImage(t, {1}, {2}, pastEnd, 0).result);
    const uint32_t beforeFirst[] = {1};
    EXPECT_EQ(kBadArgument, exportImage(t, {1}, {2}, beforeFirst, 0).result);
    EXPECT_EQ(0x80000006u, exportImage(t, {0}, {0}, nullptr, 0).result);
}

TEST(CollectionImportTest, AnImageEqualToTheValuesChangesNothing)
{
    for (uint8_t same : {1, 0}) {
        SCOPED_TRACE(same);
        TreeBuilder t;
        buildBits(t);
        fillPattern(t);
        const Image image = exportRoot(t);
        ASSERT_EQ(0u, image.result);
        const Bytes before = t.values;
        EXPECT_EQ(0u, importImage(t, image.tags, image.data, same));
        EXPECT_EQ(before, t.values);
        EXPECT_TRUE(TreeBuilder::allClear(t.dirty));
        EXPECT_TRUE(TreeBuilder::allClear(t.flags));
        EXPECT_TRUE(TreeBuilder::allClear(t.searcher));
    }
}

TEST(CollectionImportTest, MarksOnlyTheChangedElementAndStoresTheFactor)
{
    for (uint8_t same : {1, 0}) {
        SCOPED_TRACE(same);
        TreeBuilder t;
        buildBits(t);
        Image image = exportRoot(t);
        image.data[t.valueOffset({1}, {1}, 0, 1)] = 77;
        EXPECT_EQ(kChanged, importImage(t, image.tags, image.data, same, 4));
        EXPECT_EQ(77, t.values[t.valueOffset({1}, {1}, 0, 1)]);
        const uint32_t bit = t.dirtyBit({1}, {1}, 0, 1);
        std::vector<uint32_t> set;
        for (uint32_t b = 0; b < t.dirtyBits; ++b) {
            if (TreeBuilder::isSet(t.dirty, b)) set.push_back(b);
        }
        EXPECT_EQ((std::vector<uint32_t>{0, t.place({1}, {1}).dirtyBase, bit}), set);
        EXPECT_EQ(4, t.factors[bit]);
        EXPECT_EQ(4, t.factors[0]);
        EXPECT_TRUE(TreeBuilder::isSet(t.flags, 0));
    }
}

TEST(CollectionImportTest, TheCheckerCanRefuseTheWholeImport)
{
    TreeBuilder t;
    buildBits(t);
    Image image = exportRoot(t);
    image.data[t.valueOffset({}, {}, 0, 0)] = 5;
    const FactorChecker checker;
    t.factors[0] = 3;
    EXPECT_EQ(0u, importImage(t, image.tags, image.data, 1, 4, nullptr, MMS::E_FILTER_STRUCTURE_VALUES, &checker));
    EXPECT_EQ(0, t.values[0]);
    EXPECT_TRUE(TreeBuilder::allClear(t.dirty));
    t.factors[0] = 2;
    EXPECT_EQ(kChanged,
              importImage(t, image.tags, image.data, 1, 4, nullptr, MMS::E_FILTER_STRUCTURE_VALUES, &checker));
    EXPECT_EQ(5, t.values[0]);
}

TEST(CollectionImportTest, AnOlderDefinitionImportsTheCommonParametersByName)
{
    // The older Ch had Gain and Extra; the current one has Fresh and Gain.
    TreeBuilder old;
    old.prm({}, "Lvl", 1);
    old.coll({}, "Ch", 3);
    old.prm({1}, "Gain", 2);
    old.prm({1}, "Extra", 1);
    old.finish();
    fillPattern(old);
    const Image image = exportRoot(old);
    ASSERT_EQ(0u, image.result);

    TreeBuilder t;
    t.prm({}, "Lvl", 1);
    t.coll({}, "Ch", 3);
    t.prm({1}, "Fresh", 1, MMS::kMmsTypeUInt16);
    t.prm({1}, "Gain", 2);
    t.finish();
    for (uint32_t i = 0; i < 3; ++i) {
        const uint16_t fresh = 0x1234;
        std::memcpy(&t.values[t.valueOffset({1}, {i}, 0, 0)], &fresh, 2);
    }
    EXPECT_EQ(kChanged, importImage(t, image.tags, image.data, 0));
    EXPECT_EQ(old.values[0], t.values[0]);
    for (uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        for (uint32_t e = 0; e < 2; ++e) {
            EXPECT_EQ(old.values[old.valueOffset({1}, {i}, 0, e)], t.values[t.valueOffset({1}, {i}, 1, e)]);
            EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {i}, 1, e)));
        }
        uint16_t fresh = 0;
        std::memcpy(&fresh, &t.values[t.valueOffset({1}, {i}, 0, 0)], 2);
        EXPECT_EQ(0x1234, fresh);
        EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {i}, 0, 0)));
    }
}

TEST(CollectionImportTest, ANonZeroFilterByteProtectsItsElement)
{
    struct Case {
        uint8_t same;
        MMS::E_FILTER_STRUCTURE layout;
    };
    const Case cases[] = {{1, MMS::E_FILTER_STRUCTURE_VALUES},
                          {0, MMS::E_FILTER_STRUCTURE_VALUES},
                          {0, MMS::E_FILTER_STRUCTURE_IMAGE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.same * 10 + c.layout);
        TreeBuilder t;
        buildBits(t);
        Image image = exportRoot(t);
        const uint32_t g0 = t.valueOffset({1}, {1}, 0, 0);
        const uint32_t g1 = t.valueOffset({1}, {1}, 0, 1);
        image.data[g0] = 11;
        image.data[g1] = 12;
        // A whole-root image lays its data out like the value memory.
        Bytes filter(t.valueBytes, 0);
        filter[g0] = 0x40;
        EXPECT_EQ(kChanged, importImage(t, image.tags, image.data, c.same, 4, filter.data(), c.layout));
        EXPECT_EQ(0, t.values[g0]);
        EXPECT_EQ(12, t.values[g1]);
        EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {1}, 0, 0)));
        EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {1}, 0, 1)));
    }
}

TEST(CollectionImportTest, OfTwoBitParametersSharingAByteOnlyTheChangedOneIsMarked)
{
    for (bool otherDefinition : {false, true}) {
        SCOPED_TRACE(otherDefinition);
        TreeBuilder source;
        buildBits(source, otherDefinition);
        TreeBuilder t;
        buildBits(t);
        // Pan[1] set in Ch[2] of the image; On and Pan share one byte.
        const MMS::Parameter* pan = source.place({1}, {2}).collection->getPrmItem(otherDefinition ? 3 : 2);
        const uint32_t panByte = source.place({1}, {2}).valueOffset + pan->getParamAddrInfo().offset;
        source.values[panByte] = static_cast<unsigned char>(1u << (pan->getBitOffset() + 1));
        const Image image = exportRoot(source);
        ASSERT_EQ(0u, image.result);

        EXPECT_EQ(kChanged, importImage(t, image.tags, image.data, otherDefinition ? 0 : 1));
        for (uint32_t e = 0; e < 3; ++e) EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {2}, 1, e))) << e;
        EXPECT_FALSE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {2}, 2, 0)));
        EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({1}, {2}, 2, 1)));
        const MMS::Parameter* ownPan = t.place({1}, {2}).collection->getPrmItem(2);
        EXPECT_EQ(1u << (ownPan->getBitOffset() + 1),
                  t.values[t.place({1}, {2}).valueOffset + ownPan->getParamAddrInfo().offset]);
    }
}

TEST(CollectionImportTest, ImportsAPartialImageIntoTheAddressedInstances)
{
    TreeBuilder source;
    buildSix(source);
    fillPattern(source);
    const uint32_t last[] = {3};
    const Image image = exportImage(source, {1}, {2}, last, 0);
    ASSERT_EQ(0u, image.result);

    TreeBuilder t;
    buildSix(t);
    EXPECT_EQ(kChanged, importImage(t, image.tags, image.data, 0, 6, nullptr, MMS::E_FILTER_STRUCTURE_VALUES,
                                    nullptr, {1}, {4}));
    const uint32_t chOffset = t.place({1}, {0}).valueOffset;
    const Bytes expected = {0, 0, 0, 0, 0, 0, 0, 0, image.data[0], image.data[1], image.data[2], image.data[3]};
    EXPECT_EQ(expected, Bytes(t.values.begin() + chOffset, t.values.end()));
    // Ch[4] and Ch[5] are imported; the search bit above them is set.
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(i >= 4, TreeBuilder::isSet(t.flags, t.place({1}, {i}).importBase)) << i;
    }
    EXPECT_TRUE(TreeBuilder::isSet(t.searcher, 0));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, 0));
    EXPECT_EQ(6, t.factors[t.place({1}, {5}).dirtyBase]);
}

TEST(CollectionImportTest, OffsetsAndSizesOfACraftedImageAreCheckedAgainstItsData)
{
    const bool big = MMS::CommonFunction::isBigEndian();
    using MmsTest::ColTag;
    using MmsTest::PrmTag;
    struct Case {
        const char* what;
        ColTag tags;
        Bytes data;
        uint32_t result;
        unsigned char lvl;  // expected values afterwards
        unsigned char gain0;
    };
    const Case cases[] = {
        {"child tree beyond the instance",
         {"Mix", 0, 3, 1, {{"Lvl", 2, 1, 1}}, {{"Ch", 1, 2, 200, {{"Gain", 2, 1, 2}}, {}}}},
         {7, 8, 9},
         kChanged,
         7,
         0},
        {"child offset beyond the instance",
         {"Mix", 0, 3, 1, {{"Lvl", 2, 1, 1}}, {{"Ch", 0xFFFFFFF0u, 2, 1, {{"Gain", 2, 1, 2}}, {}}}},
         {7, 8, 9},
         kChanged,
         7,
         0},
        {"parameter block beyond the instance",
         {"Mix", 0, 3, 1, {{"Lvl", 2, 1, 50}}, {{"Ch", 1, 2, 1, {{"Gain", 2, 1, 2}}, {}}}},
         {7, 8, 9},
         kChanged,
         0,
         8},
        {"instance beyond the data",
         {"Mix", 0, 3, 1, {{"Lvl", 2, 1, 1}}, {}},
         {7, 8},
         0,
         0,
         0},
        {"instance bytes beyond 32 bits",
         {"Mix", 0, 0x80000000u, 3, {{"Lvl", 2, 1, 1}}, {}},
         {7, 8},
         0,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TreeBuilder t;
        buildSix(t);
        // Exact-size copies: a read past either area is a sanitizer failure.
        const Bytes tags = MmsTest::encodeTags(c.tags, big);
        const Bytes data = c.data;
        EXPECT_EQ(c.result, importImage(t, tags, data, 0));
        EXPECT_EQ(c.lvl, t.values[0]);
        EXPECT_EQ(c.gain0, t.values[t.valueOffset({1}, {0}, 0, 0)]);
    }

    // Tag sizes the tag area does not hold refuse the image.
    TreeBuilder t;
    buildSix(t);
    Bytes tags = MmsTest::encodeTags({"Mix", 0, 1, 1, {{"Lvl", 2, 1, 1}}, {}}, big);
    const uint32_t huge = 0x7FFFFFFFu;
    std::memcpy(&tags[28], &huge, 4);
    EXPECT_EQ(kBadArgument, importImage(t, tags, Bytes{7}, 0));
    EXPECT_EQ(0, t.values[0]);
}

TEST(CollectionImportTest, WhatWasImportedBeforeABadParameterTagStaysMarked)
{
    const bool big = MMS::CommonFunction::isBigEndian();
    TreeBuilder t;
    buildSix(t);
    Bytes tags = MmsTest::encodeTags({"Mix", 0, 2, 1, {{"Lvl", 2, 1, 1}, {"Next", 2, 1, 1}}, {}}, big);
    tags[48 + 32] = 'X';  // the second tag is no "PR" tag
    EXPECT_EQ(kChanged, importImage(t, tags, Bytes{7, 8}, 0));
    EXPECT_EQ(7, t.values[0]);
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, t.dirtyBit({}, {}, 0, 0)));
    EXPECT_TRUE(TreeBuilder::isSet(t.dirty, 0));
    EXPECT_TRUE(TreeBuilder::isSet(t.flags, 0));
}

}  // namespace
