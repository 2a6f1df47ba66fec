// Range reads and writes over images.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "DataAccessorTestImages.h"
#include "MMS/Common/mms_DataAccessor.h"
#include "jlib/JVariantArray.h"

namespace {

using MmsTest::Bytes;
using MmsTest::ImageRoot;
using MMS::DataAccessor;

constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoItem = 0x80000006u;
constexpr uint32_t kLimit = 0x80000008u;

uint32_t sizeOf(const Bytes& b) { return static_cast<uint32_t>(b.size()); }
uint32_t len(const char* s) { return static_cast<uint32_t>(std::strlen(s)); }

// Arr: Eight [0] Int16 x8, Bits [1] bit x10, Grp [2] x2 { V [0] Int32 x3, Sub [1] x2 { W [0] UInt8 x2 } }.
MmsTest::TreeSpec arrayTree()
{
    return MmsTest::TreeSpec{"Arr",
                             {{{}, "Eight", 8, 0x002}, {{}, "Bits", 10, 0x100}},
                             {{{}, "Grp", 2}, {{2}, "Sub", 2}},
                             {{{2}, "V", 3, 0x004}, {{2, 1}, "W", 2, 0x101}}};
}

class DataAccessorArrayTest : public ::testing::Test {
protected:
    DataAccessorArrayTest()
    {
        for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(0u, root.set(JVariant(static_cast<int>(10 * k)), {0}, {k}));
        for (uint32_t g = 0; g < 2; ++g) {
            for (uint32_t k = 0; k < 3; ++k) {
                EXPECT_EQ(0u, root.set(JVariant(static_cast<int>(10 * g + k)), {2, 0}, {g, k}));
            }
            for (uint32_t s = 0; s < 2; ++s) {
                for (uint32_t k = 0; k < 2; ++k) {
                    EXPECT_EQ(0u, root.set(JVariant(100 * g + 10 * s + k), {2, 1, 0}, {g, s, k}));
                }
            }
        }
        image = root.image();
    }

    // An Int32 array preset to -1.
    static std::unique_ptr<JVariantArray> ints(uint32_t count)
    {
        auto a = std::make_unique<JVariantArray>(JVariant::kTypeInt32, 4, count);
        for (uint32_t i = 0; i < count; ++i) EXPECT_EQ(JVariant::kOk, a->setValue(i, JVariant(-1)));
        return a;
    }
    static std::vector<int> values(const JVariantArray& a)
    {
        std::vector<int> out;
        for (uint32_t i = 0; i < a.getLength(); ++i) out.push_back(a.toInt32(i));
        return out;
    }

    ImageRoot root{arrayTree()};
    Bytes image;
};

TEST_F(DataAccessorArrayTest, RangesAreReadLastLevelFastest)
{
    struct Case {
        const char* address;
        std::vector<uint32_t> nodes, first, last;
        uint32_t arrayLength;
        uint32_t result;
        std::vector<int> expected;
    };
    const Case cases[] = {
        // A last position past the count counts as count - 1; the rest of the array stays.
        {"Eight", {0}, {2}, {100}, 8, 0, {20, 30, 40, 50, 60, 70, -1, -1}},
        {"Grp/V", {2, 0}, {0, 0}, {1, 2}, 6, 0, {0, 1, 2, 10, 11, 12}},
        {"Grp/V", {2, 0}, {1, 1}, {1, 2}, 3, 0, {11, 12, -1}},
        {"Grp/Sub/W", {2, 1, 0}, {0, 0, 0}, {1, 1, 1}, 8, 0, {0, 1, 10, 11, 100, 101, 110, 111}},
        {"Grp/Sub/W", {2, 1, 0}, {0, 1, 1}, {1, 1, 1}, 2, 0, {11, 111}},
        // The array runs out: what was read stays.
        {"Eight", {0}, {0}, {7}, 3, kLimit, {0, 10, 20}},
        {"Eight", {0}, {8}, {9}, 1, kNoItem, {-1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const auto depth = static_cast<uint32_t>(c.first.size());
        auto byName = ints(c.arrayLength);
        EXPECT_EQ(c.result, DataAccessor::getPrmArray(byName.get(), image.data(), sizeOf(image), nullptr, c.address,
                                                      len(c.address), c.first.data(), c.last.data(), depth));
        EXPECT_EQ(c.expected, values(*byName));
        auto fast = ints(c.arrayLength);
        EXPECT_EQ(c.result, DataAccessor::getPrmArrayFast(fast.get(), image.data(), sizeOf(image), nullptr,
                                                          c.nodes.data(), c.first.data(), c.last.data(), depth));
        EXPECT_EQ(c.expected, values(*fast));
    }
    const uint32_t first[6] = {};
    auto a = ints(1);
    EXPECT_EQ(kLimit, DataAccessor::getPrmArrayFast(a.get(), image.data(), sizeOf(image), nullptr, first, first, first,
                                                    6));
    EXPECT_EQ(kBad, DataAccessor::getPrmArray(nullptr, image.data(), sizeOf(image), nullptr, "Eight", 5, first, first,
                                              1));
}

TEST_F(DataAccessorArrayTest, BitRangesAreReadAndWrittenBitByBit)
{
    const uint32_t first = 2, last = 8;
    JVariantArray one(JVariant::kTypeUInt32, 4, 1);
    ASSERT_EQ(JVariant::kOk, one.setValue(0, JVariant(1u)));
    ASSERT_EQ(0u, DataAccessor::setPrmArray(one, image.data(), sizeOf(image), nullptr, "Bits", 4, &first, &last, 1, 1, 2));
    ImageRoot field(arrayTree());
    ASSERT_EQ(0u, field.load(image));
    for (uint32_t k = 0; k < 10; ++k) EXPECT_EQ(k >= 2 && k <= 8 ? 1u : 0u, field.get({1}, {k}).toUInt32()) << k;
    auto read = ints(10);
    const uint32_t all = 0, end = 9;
    ASSERT_EQ(0u, DataAccessor::getPrmArray(read.get(), image.data(), sizeOf(image), nullptr, "Bits", 4, &all, &end, 1));
    EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 1, 1, 1, 1, 1, 0}), values(*read));
    // Cleared again with the same value 0 in flag mode.
    ASSERT_EQ(JVariant::kOk, one.setValue(0, JVariant(0u)));
    ASSERT_EQ(0u, DataAccessor::setPrmArray(one, image.data(), sizeOf(image), nullptr, "Bits", 4, &all, &end, 1, 1, 2));
    ASSERT_EQ(0u, DataAccessor::getPrmArray(read.get(), image.data(), sizeOf(image), nullptr, "Bits", 4, &all, &end, 1));
    EXPECT_EQ(std::vector<int>(10, 0), values(*read));
}

TEST_F(DataAccessorArrayTest, WritesStopWhenTheValuesRunOutKeepingWhatWasWritten)
{
    struct Case {
        const char* name;
        std::vector<int> given;
        uint8_t sameValue;
        uint32_t result;
        std::vector<int> expected;  // Grp[g]/V[k] for (0,1) (0,2) (1,1) (1,2) afterwards
    };
    const Case cases[] = {
        {"three values, four positions", {7, 8, 9}, 0, kLimit, {7, 8, 9, 12}},
        {"four values", {7, 8, 9, 6}, 0, 0, {7, 8, 9, 6}},
        {"same value", {5, 99}, 1, 0, {5, 5, 5, 5}},
        {"no value", {}, 0, kLimit, {1, 2, 11, 12}},
        {"no value to repeat", {}, 1, kLimit, {1, 2, 11, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes copy = image;
        std::vector<int32_t> memory(c.given.empty() ? 1 : c.given.size());
        JVariantArray given(memory.data(), JVariant::kTypeInt32, 4, static_cast<uint32_t>(c.given.size()));
        for (uint32_t i = 0; i < c.given.size(); ++i) ASSERT_EQ(JVariant::kOk, given.setValue(i, JVariant(c.given[i])));
        const uint32_t first[] = {0, 1}, last[] = {1, 2}, nodes[] = {2, 0};
        EXPECT_EQ(c.result, DataAccessor::setPrmArrayFast(given, copy.data(), sizeOf(copy), nullptr, nodes, first,
                                                          last, 2, c.sameValue, 0));
        ImageRoot field(arrayTree());
        ASSERT_EQ(0u, field.load(copy));
        const std::vector<int> after = {field.get({2, 0}, {0, 1}).toInt32(), field.get({2, 0}, {0, 2}).toInt32(),
                                        field.get({2, 0}, {1, 1}).toInt32(), field.get({2, 0}, {1, 2}).toInt32()};
        EXPECT_EQ(c.expected, after);
        EXPECT_EQ(0, field.get({2, 0}, {0, 0}).toInt32());
        EXPECT_EQ(10, field.get({2, 0}, {1, 0}).toInt32());
    }
}

TEST_F(DataAccessorArrayTest, CollectionRangesAreFilledInstanceByInstance)
{
    const uint32_t start = MmsTest::dataStartOf(image);
    // Eight 16 bytes, Bits 2 bytes, then Grp x2 of V (12) + Sub (2 x 2): 16 bytes each.
    const uint32_t grp = start + 18;
    ASSERT_EQ(grp + 32, image.size());
    const Bytes before = image;
    JVariantArray flag(JVariant::kTypeInt32, 4, 1);
    ASSERT_EQ(JVariant::kOk, flag.setValue(0, JVariant(1)));
    const uint32_t first = 1, last = 5;
    ASSERT_EQ(0u, DataAccessor::setPrmArray(flag, image.data(), sizeOf(image), nullptr, "Grp", 3, &first, &last, 1, 1, 2));
    EXPECT_EQ(Bytes(before.begin(), before.begin() + grp + 16), Bytes(image.begin(), image.begin() + grp + 16));
    EXPECT_EQ(Bytes(16, 0xFF), Bytes(image.begin() + grp + 16, image.end()));
}

}  // namespace
