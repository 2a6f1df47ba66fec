// Partial export, import between images and re-rooting.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DataAccessorTestImages.h"
#include "MMS/Common/mms_DataAccessor.h"

namespace {

using MmsTest::Bytes;
using MmsTest::ImageRoot;
using MmsTest::u32At;
using MMS::DataAccessor;

constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoItem = 0x80000006u;
constexpr uint32_t kNotSupported = 0x8000000au;

uint32_t sizeOf(const Bytes& b) { return static_cast<uint32_t>(b.size()); }
uint32_t len(const char* s) { return static_cast<uint32_t>(std::strlen(s)); }

// Ch[c]/Lvl[k] = -(100 c + k) - 1, Ch[c]/Eq[e]/Q[q] = 10 c + 2 e + q.
class DataAccessorExportTest : public ::testing::Test {
protected:
    DataAccessorExportTest()
    {
        EXPECT_EQ(0u, root.set(JVariant(-2), {0}, {1}));
        EXPECT_EQ(0u, root.set(JVariant(254u), {1}, {1}));
        EXPECT_EQ(0u, root.set(JVariant(1u), {3}, {4}));
        for (uint32_t c = 0; c < 4; ++c) {
            for (uint32_t k = 0; k < 3; ++k) {
                EXPECT_EQ(0u, root.set(JVariant(-static_cast<int>(100 * c + k) - 1), {10, 0}, {c, k}));
            }
            for (uint32_t e = 0; e < 2; ++e) {
                for (uint32_t q = 0; q < 2; ++q) EXPECT_EQ(0u, root.set(JVariant(10 * c + 2 * e + q), {10, 1, 0}, {c, e, q}));
            }
        }
        image = root.image();
        data = MmsTest::dataStartOf(image);
    }
    ImageRoot root;
    Bytes image;
    uint32_t data = 0;
};

TEST_F(DataAccessorExportTest, PartialExportsHoldTheInstancesAndHeadsAsked)
{
    struct Case {
        uint8_t whole, parents;
        uint32_t index;
        uint32_t size;
        uint32_t firstInstance, instances;  // of Ch, in the exported data
    };
    const Case cases[] = {
        {0, 1, 2, 88 + 48 + 160 + 10, 2, 1},
        {0, 0, 2, 88 + 160 + 10, 2, 1},
        {0, 1, 0, 88 + 48 + 160 + 10, 0, 1},
        // All instances from instance 0, whatever instance the address names.
        {1, 0, 2, 88 + 160 + 40, 0, 4},
        {1, 1, 3, 88 + 48 + 160 + 40, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.whole) << int(c.parents) << c.index);
        uint32_t size = 0;
        ASSERT_EQ(0u, DataAccessor::getExportDataSize(&size, image.data(), sizeOf(image), nullptr, "Ch", 2, c.whole,
                                                      c.parents));
        EXPECT_EQ(c.size, size);
        Bytes out(size + 8, 0xEE);
        uint32_t written = 0;
        const uint32_t nodes[] = {10};
        ASSERT_EQ(0u, DataAccessor::exportDataFast(out.data(), &written, size, image.data(), sizeOf(image), nullptr,
                                                   nodes, &c.index, 1, c.whole, c.parents));
        EXPECT_EQ(size, written);
        EXPECT_EQ(Bytes(8, 0xEE), Bytes(out.begin() + size, out.end()));
        out.resize(size);

        const uint32_t tagBytes = (c.parents ? 48 : 0) + 160;
        EXPECT_EQ(tagBytes, u32At(out, 80));
        EXPECT_EQ(10 * c.instances, u32At(out, 84));
        EXPECT_EQ(Bytes(36, 0), Bytes(out.begin() + 44, out.begin() + 80));
        const size_t node = 88 + (c.parents ? 48 : 0);
        EXPECT_EQ(0u, u32At(out, node + 36));
        EXPECT_EQ(c.instances, u32At(out, node + 44));
        if (c.parents) {
            EXPECT_EQ(0, std::memcmp("Dev", out.data() + 92, 4));
            EXPECT_EQ((std::vector<uint32_t>{0, 160, 0, 10 * c.instances, 1}),
                      (std::vector<uint32_t>{u32At(out, 88 + 28), u32At(out, 88 + 32), u32At(out, 88 + 36),
                                             u32At(out, 88 + 40), u32At(out, 88 + 44)}));
        }
        const uint32_t from = data + 26 + 10 * c.firstInstance;
        EXPECT_EQ(Bytes(image.begin() + from, image.begin() + from + 10 * c.instances),
                  Bytes(out.begin() + 88 + tagBytes, out.end()));
        // The part reads back like the root it came from.
        JVariant value;
        const uint32_t withParents[] = {0, 1};
        const uint32_t alone = 1;
        ASSERT_EQ(0u, c.parents ? DataAccessor::getPrm(&value, out.data(), size, nullptr, "Ch/Lvl", 6, withParents, 2)
                                : DataAccessor::getPrm(&value, out.data(), size, nullptr, "Lvl", 3, &alone, 1));
        EXPECT_EQ(-static_cast<int>(100 * c.firstInstance + 1) - 1, value.toInt32());
    }
}

TEST_F(DataAccessorExportTest, PartialExportOfADeeperCollectionAndItsFailures)
{
    const uint32_t indexes[] = {3, 1};
    uint32_t size = 0;
    ASSERT_EQ(0u, DataAccessor::getExportDataSize(&size, image.data(), sizeOf(image), nullptr, "Ch/Eq", 5, 0, 1));
    EXPECT_EQ(88u + 48 + 48 + 80 + 2, size);
    Bytes out(size);
    uint32_t written = 0;
    ASSERT_EQ(0u, DataAccessor::exportData(out.data(), &written, size, image.data(), sizeOf(image), nullptr, "Ch/Eq",
                                           5, indexes, 2, 0, 1));
    const uint32_t zeros[] = {0, 0, 0};
    JVariant value;
    ASSERT_EQ(0u, DataAccessor::getPrm(&value, out.data(), size, nullptr, "Ch/Eq/Q", 7, zeros, 3));
    EXPECT_EQ(32u, value.toUInt32());
    // Ch's head holds one Eq instance of 2 bytes below it, the top one Ch.
    EXPECT_EQ(80u, u32At(out, 136 + 32));
    EXPECT_EQ(128u, u32At(out, 88 + 32));
    EXPECT_EQ(2u, u32At(out, 136 + 40));

    // Too small a destination: the size needed and nothing written.
    Bytes small(size - 1, 0xEE);
    written = 0;
    EXPECT_EQ(kBad, DataAccessor::exportData(small.data(), &written, size - 1, image.data(), sizeOf(image), nullptr,
                                             "Ch/Eq", 5, indexes, 2, 0, 1));
    EXPECT_EQ(size, written);
    EXPECT_EQ(Bytes(size - 1, 0xEE), small);
    EXPECT_EQ(kNoItem, DataAccessor::getExportDataSize(&size, image.data(), sizeOf(image), nullptr, "S8", 2, 0, 0));
    EXPECT_EQ(kBad, DataAccessor::exportData(out.data(), &written, size, image.data(), sizeOf(image), nullptr, "S8",
                                             2, zeros, 1, 0, 0));
    EXPECT_EQ(kBad, DataAccessor::getExportDataSize(nullptr, image.data(), sizeOf(image), nullptr, "Ch", 2, 0, 0));
}

TEST_F(DataAccessorExportTest, ImportOfTheSameShapeCopiesTheInstances)
{
    ImageRoot empty;
    Bytes target = empty.image();
    ASSERT_EQ(0u, DataAccessor::importData(target.data(), sizeOf(target), image.data(), sizeOf(image), nullptr, "", 0,
                                           nullptr, 0));
    EXPECT_EQ(Bytes(image.begin() + data, image.end()), Bytes(target.begin() + data, target.end()));

    // Ch[1] exported alone goes into instance 3 of another image; nothing else changes.
    Bytes part(88 + 160 + 10);
    uint32_t written = 0;
    const uint32_t one = 1, three = 3;
    ASSERT_EQ(0u, DataAccessor::exportData(part.data(), &written, sizeOf(part), image.data(), sizeOf(image),
                                           nullptr, "Ch", 2, &one, 1, 0, 0));
    target = empty.image();
    const Bytes before = target;
    ASSERT_EQ(0u, DataAccessor::importData(target.data(), sizeOf(target), part.data(), written, nullptr, "Ch", 2,
                                           &three, 1));
    for (uint32_t i = 0; i < 66; ++i) {
        const uint8_t expected = i >= 56 ? image[data + 26 + 10 + (i - 56)] : before[data + i];
        EXPECT_EQ(expected, target[data + i]) << i;
    }
}

TEST_F(DataAccessorExportTest, ImportBetweenDefinitionsConvertsByNameAndSkipsTheRest)
{
    const MmsTest::TreeSpec other{"Dev",
                                  {{{}, "Only", 1, 0x004}, {{}, "S8", 2, 0x304}, {{}, "U8", 3, 0x102}},
                                  {{{}, "Ch", 2}, {{3}, "Eq", 3}},
                                  {{{3}, "Lvl", 2, 0x004}, {{3, 1}, "Q", 2, 0x101}}};
    ImageRoot target(other);
    ASSERT_EQ(0u, target.set(JVariant(5), {0}, {0}));
    ASSERT_EQ(0u, target.set(JVariant(9u), {2}, {2}));
    Bytes bytes = target.image();
    ASSERT_EQ(0u, DataAccessor::importData(bytes.data(), sizeOf(bytes), image.data(), sizeOf(image), nullptr, "", 0,
                                           nullptr, 0));
    ImageRoot field(other);
    ASSERT_EQ(0u, field.load(bytes));
    EXPECT_EQ(5, field.get({0}, {0}).toInt32());
    EXPECT_EQ(-2.0f, field.get({1}, {1}).toFloat());
    EXPECT_EQ(254u, field.get({2}, {1}).toUInt32());
    EXPECT_EQ(9u, field.get({2}, {2}).toUInt32());
    EXPECT_EQ(-102, field.get({3, 0}, {1, 1}).toInt32());
    EXPECT_EQ(-1, field.get({3, 0}, {0, 0}).toInt32());
    // Eq has the same layout on both sides: its instances are copied whole inside each Ch; the
    // third instance, which the source lacks, stays.
    ASSERT_EQ(0u, target.set(JVariant(99u), {3, 1, 0}, {1, 2, 1}));
    bytes = target.image();
    ASSERT_EQ(0u, DataAccessor::importData(bytes.data(), sizeOf(bytes), image.data(), sizeOf(image), nullptr, "", 0,
                                           nullptr, 0));
    ImageRoot nested(other);
    ASSERT_EQ(0u, nested.load(bytes));
    for (uint32_t c = 0; c < 2; ++c) {
        for (uint32_t e = 0; e < 2; ++e) {
            for (uint32_t q = 0; q < 2; ++q) EXPECT_EQ(10 * c + 2 * e + q, nested.get({3, 1, 0}, {c, e, q}).toUInt32());
        }
    }
    EXPECT_EQ(99u, nested.get({3, 1, 0}, {1, 2, 1}).toUInt32());

    // Into a parameter, or from something that is no export image: refused.
    const uint32_t zero = 0;
    EXPECT_EQ(kBad, DataAccessor::importData(bytes.data(), sizeOf(bytes), image.data(), sizeOf(image), nullptr, "U8",
                                             2, &zero, 1));
    const Bytes dump = MmsTest::makeDump({{"R", image}});
    EXPECT_EQ(kBad, DataAccessor::importData(bytes.data(), sizeOf(bytes), dump.data(), sizeOf(dump), nullptr, "", 0,
                                             nullptr, 0));
}

TEST_F(DataAccessorExportTest, ReRootingPutsTheImageUnderNewAncestors)
{
    const uint32_t oldTags = MmsTest::tagSizeOf(image);
    uint32_t size = 0;
    ASSERT_EQ(0u, DataAccessor::getTopAddrChangedSize(&size, "/A//B/", 6, image.data(), sizeOf(image)));
    EXPECT_EQ(image.size() + 96, size);
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        Bytes out(size);
        Bytes source = image;
        uint32_t written = 0;
        if (inPlace) {
            source.resize(size);
            ASSERT_EQ(0u, DataAccessor::getTopAddrChangedData(source.data(), &written, size, "A/B", 3, source.data(),
                                                              sizeOf(image), "New"));
            out = source;
        } else {
            ASSERT_EQ(0u, DataAccessor::getTopAddrChangedData(out.data(), &written, size, "A/B", 3, source.data(),
                                                              sizeOf(source), "New"));
        }
        EXPECT_EQ(size, written);
        EXPECT_EQ(oldTags + 96, u32At(out, 80));
        EXPECT_EQ(Bytes(36, 0), Bytes(out.begin() + 44, out.begin() + 80));
        EXPECT_EQ(0, std::memcmp("COL0A\0", out.data() + 88, 6));
        EXPECT_EQ((std::vector<uint32_t>{0, oldTags + 48, 0, 66, 1}),
                  (std::vector<uint32_t>{u32At(out, 88 + 28), u32At(out, 88 + 32), u32At(out, 88 + 36),
                                         u32At(out, 88 + 40), u32At(out, 88 + 44)}));
        EXPECT_EQ(oldTags, u32At(out, 136 + 32));
        EXPECT_EQ(Bytes(image.begin() + data, image.end()), Bytes(out.end() - 66, out.end()));
        const uint32_t indexes[] = {0, 0, 1};
        JVariant value;
        ASSERT_EQ(0u, DataAccessor::getPrm(&value, out.data(), size, nullptr, "/A/B/New/S8", 11, indexes, 3));
        EXPECT_EQ(-2, value.toInt32());
    }

    Bytes out(size + 48);
    uint32_t written = 0;
    Bytes notAnImage = image;
    notAnImage[0] = 'X';
    struct Case {
        const char* name;
        const char* address;
        const Bytes* source;
        uint32_t sourceSize;
        uint32_t capacity;
        uint32_t result;
    };
    const std::string tooLong(24, 'n');
    const Case cases[] = {
        {"no image", "A", &notAnImage, sizeOf(image), size, kNotSupported},
        {"empty address", "", &image, sizeOf(image), size, kBad},
        {"separators only", "///", &image, sizeOf(image), size, kBad},
        {"shorter than announced", "A", &image, sizeOf(image) - 1, size, kBad},
        {"too small", "A/B", &image, sizeOf(image), size - 1, kBad},
        {"name too long", tooLong.c_str(), &image, sizeOf(image), size + 48, kBad},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, DataAccessor::getTopAddrChangedData(out.data(), &written, c.capacity, c.address,
                                                                len(c.address), c.source->data(), c.sourceSize,
                                                                nullptr));
    }
    EXPECT_EQ(kBad, DataAccessor::getTopAddrChangedSize(nullptr, "A", 1, image.data(), sizeOf(image)));
    EXPECT_EQ(kBad, DataAccessor::getTopAddrChangedData(out.data(), &written, size, "A", 1, nullptr, 100, nullptr));
}

}  // namespace
