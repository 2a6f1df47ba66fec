// Roots of export and dump images, and address resolution along an image's tags.
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

constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoItem = 0x80000006u;
constexpr uint32_t kNotFound = 0x80000007u;
constexpr uint32_t kLimit = 0x80000008u;

uint32_t sizeOf(const Bytes& b) { return static_cast<uint32_t>(b.size()); }

class DataAccessorDumpTest : public ::testing::Test {
protected:
    DataAccessorDumpTest()
    {
        first = a.image();
        second = b.image();
        third = c.image();
        dump = MmsTest::makeDump({{"One", first}, {"Two", second}, {"Three", third}});
    }
    ImageRoot a{MmsTest::standardTree("A")};
    ImageRoot b{MmsTest::standardTree("B")};
    ImageRoot c{MmsTest::standardTree("C")};
    Bytes first, second, third, dump;
};

TEST_F(DataAccessorDumpTest, RootsAreCountedAndFoundByPositionAndName)
{
    const Bytes zeros(200, 0);
    EXPECT_EQ(3u, DataAccessor::getRootNum(dump.data(), sizeOf(dump)));
    EXPECT_EQ(1u, DataAccessor::getRootNum(first.data(), sizeOf(first)));
    EXPECT_EQ(0u, DataAccessor::getRootNum(zeros.data(), sizeOf(zeros)));
    EXPECT_EQ(0u, DataAccessor::getRootNum(nullptr, 10));
    EXPECT_EQ(0u, DataAccessor::getRootNum(dump.data(), 0));

    // Each root of the dump: its image behind its 32-byte header, its size and its name.
    const Bytes* images[] = {&first, &second, &third};
    const char* names[] = {"One", "Two", "Three"};
    size_t at = 48;
    for (uint32_t i = 0; i < 3; ++i) {
        const void* image = nullptr;
        uint32_t size = 0;
        const char* id = nullptr;
        ASSERT_EQ(0u, DataAccessor::getExportData(&image, &size, &id, dump.data(), sizeOf(dump), i));
        EXPECT_EQ(dump.data() + at + 32, image);
        EXPECT_EQ(images[i]->size(), size);
        EXPECT_STREQ(names[i], id);
        const void* byName = nullptr;
        uint32_t byNameSize = 0;
        ASSERT_EQ(0u, DataAccessor::searchExportData(&byName, &byNameSize, dump.data(), sizeOf(dump), names[i]));
        EXPECT_EQ(image, byName);
        EXPECT_EQ(size, byNameSize);
        at += 32 + size;
    }
    const void* image = nullptr;
    uint32_t size = 0;
    const char* id = "x";
    EXPECT_EQ(kNotFound, DataAccessor::getExportData(&image, &size, &id, dump.data(), sizeOf(dump), 3));
    EXPECT_EQ(kNotFound, DataAccessor::searchExportData(&image, &size, dump.data(), sizeOf(dump), "Four"));
    ASSERT_EQ(0u, DataAccessor::searchExportData(&image, &size, dump.data(), sizeOf(dump), nullptr));
    EXPECT_EQ(dump.data() + 80, image);
    EXPECT_EQ(0u, DataAccessor::getRootId(&id, dump.data(), sizeOf(dump), 1));
    EXPECT_STREQ("Two", id);

    // A single export image: the whole buffer at position 0, no name, any name matches it.
    ASSERT_EQ(0u, DataAccessor::getExportData(&image, &size, &id, first.data(), sizeOf(first), 0));
    EXPECT_EQ(first.data(), image);
    EXPECT_EQ(first.size(), size);
    EXPECT_EQ(nullptr, id);
    EXPECT_EQ(kNotFound, DataAccessor::getExportData(&image, &size, &id, first.data(), sizeOf(first), 1));
    ASSERT_EQ(0u, DataAccessor::searchExportData(&image, &size, first.data(), sizeOf(first), "Any"));
    EXPECT_EQ(first.data(), image);

    EXPECT_EQ(kBad, DataAccessor::getExportData(&image, &size, &id, nullptr, 100, 0));
    EXPECT_EQ(kBad, DataAccessor::getExportData(&image, &size, &id, dump.data(), 0, 0));
    EXPECT_EQ(kBad, DataAccessor::searchExportData(nullptr, &size, dump.data(), sizeOf(dump), "One"));
}

TEST_F(DataAccessorDumpTest, RootThatRunsPastTheBufferIsRefused)
{
    // The buffer ends inside the third root: the first two are still found.
    const uint32_t cut = sizeOf(dump) - 10;
    const void* image = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, DataAccessor::getExportData(&image, &size, nullptr, dump.data(), cut, 1));
    EXPECT_EQ(kLimit, DataAccessor::getExportData(&image, &size, nullptr, dump.data(), cut, 2));
    EXPECT_EQ(kLimit, DataAccessor::searchExportData(&image, &size, dump.data(), cut, "Three"));
    // A root count above the roots present does not walk past the buffer either.
    Bytes more = dump;
    const uint32_t count = 1000;
    std::memcpy(more.data() + 44, &count, 4);
    EXPECT_EQ(1000u, DataAccessor::getRootNum(more.data(), sizeOf(more)));
    EXPECT_EQ(kLimit, DataAccessor::getExportData(&image, &size, nullptr, more.data(), sizeOf(more), 3));
    EXPECT_EQ(kLimit, DataAccessor::searchExportData(&image, &size, more.data(), sizeOf(more), "None"));
}

TEST_F(DataAccessorDumpTest, DumpOfManySmallRootsIsWalkedOnce)
{
    // A crafted dump of very many empty roots ahead of a real one: a search that walked the dump
    // from its start for every root would take billions of steps here.
    constexpr uint32_t kEmpty = 200000;
    std::vector<std::pair<std::string, Bytes>> roots(kEmpty, {"E", Bytes()});
    roots.emplace_back("Last", second);
    const Bytes many = MmsTest::makeDump(roots);
    const void* image = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(kNotFound, DataAccessor::searchExportData(&image, &size, many.data(), sizeOf(many), "None"));
    ASSERT_EQ(0u, DataAccessor::searchExportData(&image, &size, many.data(), sizeOf(many), "Last"));
    EXPECT_EQ(many.data() + many.size() - second.size(), image);
    EXPECT_EQ(second.size(), size);
    const char* name = nullptr;
    ASSERT_EQ(0u, DataAccessor::getRootName(&name, many.data(), sizeOf(many), "Last"));
    EXPECT_STREQ("B", name);
    const char* id = nullptr;
    ASSERT_EQ(0u, DataAccessor::getExportData(&image, &size, &id, many.data(), sizeOf(many), kEmpty));
    EXPECT_STREQ("Last", id);
    EXPECT_EQ(kNotFound, DataAccessor::getExportData(&image, &size, &id, many.data(), sizeOf(many), kEmpty + 1));
    // A root count beyond the roots present is answered before any walk.
    Bytes cut = dump;
    const uint32_t count = 1000;
    std::memcpy(cut.data() + 44, &count, 4);
    EXPECT_EQ(kNotFound, DataAccessor::getExportData(&image, &size, nullptr, cut.data(), sizeOf(cut) - 10, 1000));
}

TEST_F(DataAccessorDumpTest, RootNameAndDataAreaOfTheChosenRoot)
{
    const char* name = nullptr;
    ASSERT_EQ(0u, DataAccessor::getRootName(&name, dump.data(), sizeOf(dump), "Two"));
    EXPECT_STREQ("B", name);
    const void* data = nullptr;
    const MMS::T_COLLECTION_TAG* head = nullptr;
    ASSERT_EQ(0u, DataAccessor::getPrmArea(&data, &head, dump.data(), sizeOf(dump), "Three"));
    const unsigned char* thirdImage = dump.data() + dump.size() - third.size();
    EXPECT_EQ(thirdImage + 88, reinterpret_cast<const unsigned char*>(head));
    EXPECT_EQ(thirdImage + MmsTest::dataStartOf(third), data);
    EXPECT_EQ(kNotFound, DataAccessor::getPrmArea(&data, &head, dump.data(), sizeOf(dump), "Four"));
    EXPECT_EQ(kBad, DataAccessor::getRootName(nullptr, dump.data(), sizeOf(dump), "Two"));
}

// The standard root with distinct values, and its image.
class DataAccessorStandardImageTest : public ::testing::Test {
protected:
    DataAccessorStandardImageTest()
    {
        EXPECT_EQ(0u, root.set(JVariant(-2), {0}, {1}));
        EXPECT_EQ(0u, root.set(JVariant(254u), {1}, {1}));
        EXPECT_EQ(0u, root.set(JVariant(1u), {2}, {2}));
        EXPECT_EQ(0u, root.set(JVariant(1u), {3}, {5}));
        EXPECT_EQ(0u, root.set(JVariant(1u), {4}, {1}));
        for (uint32_t ch = 0; ch < 4; ++ch) {
            for (uint32_t k = 0; k < 3; ++k) {
                EXPECT_EQ(0u, root.set(JVariant(static_cast<int>(-100 * ch - k)), {10, 0}, {ch, k}));
            }
        }
        EXPECT_EQ(0u, root.set(JVariant(7u), {10, 1, 0}, {3, 1, 0}));
        image = root.image();
    }
    ImageRoot root;
    Bytes image;
};

struct ResolveCase {
    const char* address;
    std::vector<uint32_t> nodes;  // empty: no Fast form of the row
    std::vector<uint32_t> indexes;
    bool noIndexVector;
    uint32_t depth;
    uint32_t result;
    int value;
};

TEST_F(DataAccessorStandardImageTest, AddressesResolveByNameAndByNodeNumber)
{
    const ResolveCase cases[] = {
        {"S8", {0}, {1}, false, 1, 0, -2},
        {"/Dev/S8", {}, {1}, false, 1, 0, -2},
        {"/Other/S8", {}, {1}, false, 1, kBad, 0},
        {"Ch/Lvl", {10, 0}, {2, 1}, false, 2, 0, -201},
        {"Ch//Lvl/", {}, {2, 1}, false, 2, 0, -201},
        {"/Dev/Ch/Eq/Q", {10, 1, 0}, {3, 1, 0}, false, 3, 0, 7},
        {"Ch/Lvl", {}, {}, true, 0, 0, 0},
        {"Ch/Lvl", {10, 0}, {4, 0}, false, 2, kNoItem, 0},
        {"Ch/Lvl", {10, 0}, {0, 3}, false, 2, kNoItem, 0},
        {"S8/Lvl", {0, 0}, {0, 0}, false, 2, kNoItem, 0},
        {"Ch/Lvl", {}, {2}, false, 1, kNoItem, 0},
        {"Ch", {}, {2, 1}, false, 2, kNoItem, 0},
        {"Nope", {11}, {0}, false, 1, kNoItem, 0},
        {"S", {}, {0}, false, 1, kNoItem, 0},
        {"Ch/Lvl", {}, {}, true, 2, kBad, 0},
        {"Ch", {10}, {1}, false, 1, kBad, 0},  // a collection is no value
    };
    for (const ResolveCase& c : cases) {
        SCOPED_TRACE(c.address);
        const uint32_t* indexes = c.noIndexVector ? nullptr : c.indexes.data();
        JVariant value;
        EXPECT_EQ(c.result, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, c.address,
                                                 static_cast<uint32_t>(std::strlen(c.address)), indexes, c.depth));
        if (c.result == 0) {
            EXPECT_EQ(c.value, value.toInt32());
        }
        if (c.nodes.empty()) continue;
        JVariant fast;
        EXPECT_EQ(c.result, DataAccessor::getPrmFast(&fast, image.data(), sizeOf(image), nullptr, c.nodes.data(),
                                                     indexes, static_cast<uint32_t>(c.nodes.size())));
        if (c.result == 0) {
            EXPECT_EQ(c.value, fast.toInt32());
        }
    }
}

TEST_F(DataAccessorStandardImageTest, BitParametersShareBytesAndTheNextParameterStartsOnAWholeByte)
{
    // Flags[2] is bit 2 of byte 4; More[5] bit 0 of byte 5 (3 + 5 = 8); Pair[1] bit 2 of byte 5.
    const unsigned char* data = image.data() + MmsTest::dataStartOf(image);
    EXPECT_EQ(0x04, data[4]);
    EXPECT_EQ(0x05, data[5]);
    const std::pair<const char*, uint32_t> bitsSet[] = {{"Flags", 2}, {"More", 5}, {"Pair", 1}};
    for (const char* name : {"Flags", "More", "Pair"}) {
        const uint32_t count = std::string(name) == "More" ? 6 : (std::string(name) == "Flags" ? 3 : 2);
        for (uint32_t k = 0; k < count; ++k) {
            bool expected = false;
            for (const auto& s : bitsSet) expected |= std::string(s.first) == name && s.second == k;
            JVariant value;
            ASSERT_EQ(0u, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, name,
                                               static_cast<uint32_t>(std::strlen(name)), &k, 1));
            EXPECT_EQ(JVariant::kTypeUInt32, value.getType());
            EXPECT_EQ(expected ? 1u : 0u, value.toUInt32()) << name << k;
        }
    }
    // W16 follows the partly filled byte 5 at byte 6.
    const uint32_t one = 1;
    ASSERT_EQ(0u, DataAccessor::setPrm(JVariant(0xBEEFu), image.data(), sizeOf(image), nullptr, "W16", 3, &one, 1, 0));
    uint16_t w = 0;
    std::memcpy(&w, data + 8, 2);
    EXPECT_EQ(0xBEEF, w);
}

TEST_F(DataAccessorStandardImageTest, TopCollectionAndEmptyCollectionsAsPathNodes)
{
    uint8_t category = 9;
    uint32_t dataSize = 0;
    ASSERT_EQ(0u, DataAccessor::getNodeInfo(&category, nullptr, &dataSize, nullptr, nullptr, nullptr, 0,
                                            image.data(), sizeOf(image), nullptr, "", 0));
    EXPECT_EQ(MMS::kMmsNodeCollection, category);
    EXPECT_EQ(66u, dataSize);
    // A collection with nothing below its head can neither be addressed nor passed through.
    MmsTest::ColTag top{"T", 0, 4, 1, {}, {MmsTest::ColTag{"Empty", 0, 0, 1, {}, {}}}};
    top.parameters.push_back({"P", 1, 4, 1});
    Bytes tags = MmsTest::encodeTags(top, false);
    Bytes crafted = MmsTest::encodeHeader(false, "", "", "", sizeOf(tags), 4);
    crafted.insert(crafted.end(), tags.begin(), tags.end());
    crafted.resize(crafted.size() + 4, 0);
    const uint32_t zero = 0;
    EXPECT_EQ(kBad, DataAccessor::getNodeCategory(&category, crafted.data(), sizeOf(crafted), nullptr, "Empty", 5));
    EXPECT_EQ(kBad, DataAccessor::setPrm(JVariant(1), crafted.data(), sizeOf(crafted), nullptr, "Empty", 5, &zero,
                                         1, 2));
    EXPECT_EQ(0u, DataAccessor::getNodeCategory(&category, crafted.data(), sizeOf(crafted), nullptr, "P", 1));
}

TEST(DataAccessorImageTest, PathsDeeperThanFiveLevelsAreRefusedByWholePathOperations)
{
    // Six nested collections below the top, the last with a parameter: an image no root makes.
    MmsTest::ColTag level{"L6", 0, 4, 1, {{"P", 1, 4, 1}}, {}};
    for (const char* name : {"L5", "L4", "L3", "L2", "L1"}) level = MmsTest::ColTag{name, 0, 4, 1, {}, {level}};
    const MmsTest::ColTag top{"T", 0, 4, 1, {}, {level}};
    Bytes tags = MmsTest::encodeTags(top, false);
    Bytes image = MmsTest::encodeHeader(false, "", "", "", sizeOf(tags), 4);
    image.insert(image.end(), tags.begin(), tags.end());
    const int32_t stored = 77;
    image.insert(image.end(), reinterpret_cast<const unsigned char*>(&stored),
                 reinterpret_cast<const unsigned char*>(&stored) + 4);
    const char* path = "L1/L2/L3/L4/L5/L6/P";
    const auto length = static_cast<uint32_t>(std::strlen(path));
    JVariant value;
    EXPECT_EQ(0u, DataAccessor::getPrm(&value, image.data(), sizeOf(image), nullptr, path, length, nullptr, 0));
    EXPECT_EQ(77, value.toInt32());
    uint32_t type = 0;
    EXPECT_EQ(kLimit, DataAccessor::getPrmType(&type, image.data(), sizeOf(image), nullptr, path, length));
    EXPECT_EQ(kLimit, DataAccessor::changeNodeName("X", image.data(), sizeOf(image), nullptr, path, length));
    uint8_t category = 9;
    EXPECT_EQ(0u, DataAccessor::getNodeCategory(&category, image.data(), sizeOf(image), nullptr, "L1/L2/L3/L4/L5", 14));
    EXPECT_EQ(MMS::kMmsNodeCollection, category);
}

TEST(DataAccessorImageTest, VisitorsKeepTheLastTagOrTheWholePath)
{
    unsigned char tags[8][48] = {};
    MMS::GetTagVisitorFor1Param one;
    EXPECT_EQ(0u, one.tagNum());
    EXPECT_EQ(nullptr, one.tagInfo(0));
    one.outputTagInfo(reinterpret_cast<const MMS::T_COLLECTION_TAG*>(tags[0]));
    one.outputTagInfo(reinterpret_cast<const MMS::T_PARAMETER_TAG*>(tags[1]));
    EXPECT_EQ(1u, one.tagNum());
    EXPECT_EQ(tags[1], one.tagInfo(5)->tag);
    EXPECT_EQ(MMS::kMmsNodeParameter, one.tagInfo(0)->category);

    MMS::GetTagVisitorForArray path;
    for (int i = 0; i < 6; ++i) path.outputTagInfo(reinterpret_cast<const MMS::T_COLLECTION_TAG*>(tags[i]));
    EXPECT_FALSE(path.overflowed());
    path.outputTagInfo(reinterpret_cast<const MMS::T_PARAMETER_TAG*>(tags[6]));
    EXPECT_TRUE(path.overflowed());
    EXPECT_EQ(6u, path.tagNum());
    EXPECT_EQ(tags[5], path.tagInfo(5)->tag);
    EXPECT_EQ(nullptr, path.tagInfo(6));
}

}  // namespace
