// Setting, clearing and merging the flags of filter images.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DataAccessorTestImages.h"
#include "MMS/Common/mms_FilterDataModifier.h"

namespace {

using MmsTest::Bytes;
using MmsTest::ImageRoot;
using MMS::FilterDataModifier;

constexpr uint32_t kBad = 0x80000002u;
constexpr uint32_t kNoItem = 0x80000006u;
constexpr uint32_t kNotFound = 0x80000007u;

uint32_t sizeOf(const Bytes& b) { return static_cast<uint32_t>(b.size()); }

// Flt: B [0] bit x3, H [1] Int16 x2, G [2] x2 { V [0] UInt8 x2 }: 1 + 4 + 4 data bytes.
MmsTest::TreeSpec filterTree(const char* top = "Flt", const char* h = "H")
{
    return MmsTest::TreeSpec{top, {{{}, "B", 3, 0x100}, {{}, h, 2, 0x002}}, {{{}, "G", 2}}, {{{2}, "V", 2, 0x101}}};
}

Bytes dataOf(const Bytes& image) { return Bytes(image.begin() + MmsTest::dataStartOf(image), image.end()); }

TEST(FilterDataModifierTest, FlagsAreSetAndClearedElementByElement)
{
    ImageRoot root(filterTree());
    Bytes filter = root.image();
    ASSERT_EQ(9u, dataOf(filter).size());
    ASSERT_EQ(0u, FilterDataModifier::allSet(filter.data(), sizeOf(filter), nullptr));
    EXPECT_EQ(Bytes(9, 0xFF), dataOf(filter));  // the spare bits of the bit byte included
    ASSERT_EQ(0u, FilterDataModifier::allClear(filter.data(), sizeOf(filter), nullptr));
    EXPECT_EQ(Bytes(9, 0), dataOf(filter));

    const uint32_t one = 1, two = 2, g1[] = {1, 0}, g1last[] = {1, 1};
    const uint32_t hNode[] = {1}, vNodes[] = {2, 0};
    ASSERT_EQ(0u, FilterDataModifier::set(filter.data(), sizeOf(filter), "H", 1, &one, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::set(filter.data(), sizeOf(filter), "B", 1, &two, 1, nullptr));
    EXPECT_EQ((Bytes{0x04, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}), dataOf(filter));
    ASSERT_EQ(0u, FilterDataModifier::setArrayFast(filter.data(), sizeOf(filter), vNodes, g1, g1last, 2, nullptr));
    EXPECT_EQ((Bytes{0x04, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF}), dataOf(filter));
    ASSERT_EQ(0u, FilterDataModifier::clearFast(filter.data(), sizeOf(filter), hNode, &one, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::clearArray(filter.data(), sizeOf(filter), "G/V", 3, g1, g1, 2, nullptr));
    EXPECT_EQ((Bytes{0x04, 0, 0, 0, 0, 0, 0, 0, 0xFF}), dataOf(filter));
    // A whole collection instance, and bit ranges.
    const uint32_t first = 0, last = 1, gNode[] = {2};
    ASSERT_EQ(0u, FilterDataModifier::setFast(filter.data(), sizeOf(filter), gNode, &first, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::setArray(filter.data(), sizeOf(filter), "B", 1, &first, &last, 1, nullptr));
    EXPECT_EQ((Bytes{0x07, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0xFF}), dataOf(filter));
    ASSERT_EQ(0u, FilterDataModifier::clearArrayFast(filter.data(), sizeOf(filter), gNode, &first, &last, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::clear(filter.data(), sizeOf(filter), "B", 1, &two, 1, nullptr));
    EXPECT_EQ((Bytes{0x03, 0, 0, 0, 0, 0, 0, 0, 0}), dataOf(filter));

    // The writes' failures come back as they are.
    const Bytes before = filter;
    EXPECT_EQ(kNoItem, FilterDataModifier::set(filter.data(), sizeOf(filter), "X", 1, &one, 1, nullptr));
    EXPECT_EQ(kNoItem, FilterDataModifier::set(filter.data(), sizeOf(filter), "H", 1, &two, 1, nullptr));
    Bytes dump = MmsTest::makeDump({{"R", filter}});
    EXPECT_EQ(kNotFound, FilterDataModifier::allSet(dump.data(), sizeOf(dump), "Q"));
    EXPECT_EQ(kBad, FilterDataModifier::allSet(nullptr, 10, nullptr));
    EXPECT_EQ(before, filter);
    ASSERT_EQ(0u, FilterDataModifier::allSet(dump.data(), sizeOf(dump), "R"));
    EXPECT_EQ(Bytes(9, 0xFF), Bytes(dump.end() - 9, dump.end()));
}

TEST(FilterDataModifierTest, MergesCombineEveryRootOfTheSameDefinition)
{
    ImageRoot a(filterTree("A"));
    ImageRoot b(filterTree("B"));
    const uint32_t zero = 0, one = 1;

    // Two single filters: OR, and addition carrying from bit 0 into bit 1.
    Bytes left = a.image();
    Bytes right = a.image();
    ASSERT_EQ(0u, FilterDataModifier::set(left.data(), sizeOf(left), "B", 1, &zero, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::set(right.data(), sizeOf(right), "B", 1, &zero, 1, nullptr));
    ASSERT_EQ(0u, FilterDataModifier::set(right.data(), sizeOf(right), "H", 1, &one, 1, nullptr));
    Bytes ored = left;
    EXPECT_EQ(0u, FilterDataModifier::orFilters(ored.data(), sizeOf(ored), right.data(), sizeOf(right)));
    EXPECT_EQ((Bytes{0x01, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}), dataOf(ored));
    Bytes added = left;
    EXPECT_EQ(0u, FilterDataModifier::addFilters(added.data(), sizeOf(added), right.data(), sizeOf(right)));
    EXPECT_EQ((Bytes{0x02, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}), dataOf(added));

    // A dump with a root the source lacks: 0x200, that root unchanged, the other merged.
    Bytes second = b.image();
    Bytes dump = MmsTest::makeDump({{"One", left}, {"Two", second}});
    const Bytes source = MmsTest::makeDump({{"One", right}});
    const Bytes untouched(dump.end() - sizeOf(second), dump.end());
    EXPECT_EQ(0x200u, FilterDataModifier::orFilters(dump.data(), sizeOf(dump), source.data(), sizeOf(source)));
    EXPECT_EQ(untouched, Bytes(dump.end() - sizeOf(second), dump.end()));
    const Bytes firstRoot(dump.begin() + 80, dump.begin() + 80 + sizeOf(left));
    EXPECT_EQ(dataOf(ored), dataOf(firstRoot));
    // A single image as the source stands for every root of the dump.
    EXPECT_EQ(0u, FilterDataModifier::orFilters(dump.data(), sizeOf(dump), right.data(), sizeOf(right)));

    // Definitions that differ in one parameter name: 0x100 and nothing changes.
    ImageRoot renamed(filterTree("A", "K"));
    Bytes foreign = renamed.image();
    ASSERT_EQ(0u, FilterDataModifier::allSet(foreign.data(), sizeOf(foreign), nullptr));
    const Bytes before = left;
    EXPECT_EQ(0x100u, FilterDataModifier::orFilters(left.data(), sizeOf(left), foreign.data(), sizeOf(foreign)));
    EXPECT_EQ(before, left);
    EXPECT_EQ(kBad, FilterDataModifier::mergeFilters(left.data(), sizeOf(left), foreign.data(), sizeOf(foreign),
                                                     nullptr, MMS::OrCommand()));
    // Both flags at once, and never an error for unreadable input.
    Bytes both = MmsTest::makeDump({{"One", left}, {"Two", second}});
    const Bytes foreignDump = MmsTest::makeDump({{"One", foreign}});
    EXPECT_EQ(0x300u, FilterDataModifier::addFilters(both.data(), sizeOf(both), foreignDump.data(), sizeOf(foreignDump)));
    const Bytes junk(10, 0);
    EXPECT_EQ(0x100u, FilterDataModifier::orFilters(left.data(), sizeOf(left), junk.data(), sizeOf(junk)));
    EXPECT_EQ(0x100u, FilterDataModifier::orFilters(left.data(), sizeOf(left) - 1, right.data(), sizeOf(right)));
}

}  // namespace
