#include "PDB/pdb_ParamRawArrayBool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> bytesOf(const PDB::IRawArray& storage)
{
    const auto* p = static_cast<const uint8_t*>(storage.dataPtr(0));
    return std::vector<uint8_t>(p, p + storage.totalSize());
}

}  // namespace

TEST(RawArrayBoolTest, PacksMostSignificantBitFirstAndPadsToFour)
{
    PDB::RawArrayBool flags(9);
    EXPECT_EQ(4u, flags.totalSize());
    EXPECT_EQ(PDB::kTypeBool, flags.type());
    EXPECT_EQ(0u, flags.setUInt32(0, 1));
    EXPECT_EQ(0u, flags.setUInt32(8, 1));
    EXPECT_EQ((std::vector<uint8_t>{0x80, 0x80, 0, 0}), bytesOf(flags));

    EXPECT_EQ(0u, flags.setBool(7, true));
    EXPECT_EQ(0u, flags.setBool(1, true));
    EXPECT_EQ(0u, flags.setBool(0, false));  // other bits of the byte keep their values
    EXPECT_EQ((std::vector<uint8_t>{0x41, 0x80, 0, 0}), bytesOf(flags));
    EXPECT_EQ(flags.dataPtr(0), flags.dataPtr(7));
    EXPECT_EQ(static_cast<uint8_t*>(flags.dataPtr(0)) + 1, flags.dataPtr(8));

    JVariant value;
    EXPECT_EQ(0x10000u, flags.getVariant(value, 7));
    EXPECT_EQ(JVariant::kTypeUInt32, value.getType());
    EXPECT_EQ(1u, value.toUInt32());
    EXPECT_EQ(0x10000u, flags.getVariant(value, 2));
    EXPECT_EQ(0u, value.toUInt32());

    EXPECT_EQ(8u, PDB::RawArrayBool(33).totalSize());
    EXPECT_EQ(4u, PDB::RawArrayBool(32).totalSize());
}

TEST(RawArrayBoolTest, RecallCopiesBitsOfTheRangeOnly)
{
    struct Case {
        const char* what;
        uint32_t start, count;
        uint32_t result;
        uint32_t first, last;  // copied elements first .. last - 1
    };
    const Case cases[] = {
        {"whole", 0, 0xFFFFFFFFu, 0, 0, 20},     {"unaligned start", 3, 10, 0, 3, 13},
        {"aligned start", 8, 9, 0, 8, 17},       {"shortened", 18, 100, 0, 18, 20},
        {"start at length", 20, 1, 0x80000001u, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PDB::RawArrayBool source(20);
        for (uint32_t i = 0; i < 20; ++i) ASSERT_EQ(0u, source.setBool(i, true));
        PDB::RawArrayBool own(20);
        EXPECT_EQ(c.result, own.recall(source, c.start, c.count));
        for (uint32_t i = 0; i < 20; ++i) EXPECT_EQ(i >= c.first && i < c.last, own.getBool(i)) << i;
        EXPECT_EQ(0, static_cast<const uint8_t*>(own.dataPtr(0))[3]);  // padding stays zero
    }
}

TEST(RawArrayBoolTest, RecallFromStoredBytesCountsEightElementsPerByte)
{
    const uint8_t stored[2] = {0xA5, 0xFF};  // 1010 0101 1111 1111
    PDB::RawArrayBool own(12);
    EXPECT_EQ(0u, own.recall(stored, 1, PDB::kTypeBool, 1));  // one byte holds eight elements
    const bool expected[12] = {true, false, true, false, false, true, false, true, false, false, false, false};
    for (uint32_t i = 0; i < 12; ++i) EXPECT_EQ(expected[i], own.getBool(i)) << i;

    EXPECT_EQ(0u, own.recall(stored, 2, PDB::kTypeBool, 1, 6, 100));
    for (uint32_t i = 6; i < 12; ++i) EXPECT_EQ(i == 6 ? false : true, own.getBool(i)) << i;
    EXPECT_EQ(0, static_cast<const uint8_t*>(own.dataPtr(0))[1] & 0x0F);  // bits past the last element

    EXPECT_EQ(0x80000001u, own.recall(stored, 1, PDB::kTypeBool, 1, 8, 1));
    EXPECT_EQ(0x80020000u, own.recall(stored, 2, PDB::kTypeUInt8, 1));
    EXPECT_EQ(0x80000001u, own.recall(nullptr, 2, PDB::kTypeBool, 1));
    PDB::RawArrayBool empty;
    EXPECT_EQ(0x80008000u, empty.recall(stored, 2, PDB::kTypeBool, 1));
}

TEST(RawArrayBoolTest, DuplicateCopyAndMoveKeepEveryBit)
{
    PDB::RawArrayBool source(11);
    for (uint32_t i : {0u, 5u, 10u}) ASSERT_EQ(0u, source.setBool(i, true));

    PDB::RawArrayBool dup(3);
    EXPECT_EQ(0u, dup.duplicate(source, 0));
    EXPECT_EQ(11u, dup.totalNum());
    PDB::RawArrayBool copy(source);
    PDB::RawArrayBool assigned;
    assigned = source;
    for (const PDB::RawArrayBool* a : {&dup, &copy, &assigned}) {
        for (uint32_t i = 0; i < 11; ++i) EXPECT_EQ(i == 0 || i == 5 || i == 10, a->getBool(i)) << i;
    }
    EXPECT_EQ(0x80080000u, dup.duplicate(source, 40));
    PDB::RawArray<uint8_t> numbers(11);
    EXPECT_EQ(0x80020000u, dup.duplicate(numbers, 0));

    PDB::RawArrayBool moved(std::move(source));
    EXPECT_TRUE(moved.getBool(10));
    EXPECT_FALSE(source.isValid());
    EXPECT_EQ(0u, source.totalNum());
}

TEST(RawArrayBoolTest, RefusesTextAndBytes)
{
    PDB::RawArrayBool flags(4);
    char text[3] = {'a', 'b', 'c'};
    EXPECT_EQ(0x80080000u, flags.getString(0, text, 3));
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ(0x80080000u, flags.setString(0, "1"));
    const uint8_t one = 1;
    EXPECT_EQ(0x80080000u, flags.setBinary(0, &one, 1));
    EXPECT_FALSE(flags.getBool(0));
}
