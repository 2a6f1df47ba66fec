#include "PDB/pdb_FlagArray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Expects the flags listed and no other, and a count that agrees.
void expectFlags(const PDB::IFlagArray& flags, const std::vector<unsigned>& set)
{
    EXPECT_EQ(set.size(), flags.flagCount());
    for (unsigned i = 0; i < flags.totalNum(); ++i) {
        bool expected = false;
        for (unsigned s : set) expected = expected || s == i;
        EXPECT_EQ(expected, flags.getFlag(i)) << "flag " << i;
    }
}

}  // namespace

TEST(FlagArrayTest, SetAllFillsWholeWordsMsbFirstAndKeepsTailClear)
{
    struct Case {
        unsigned total;
        std::vector<uint32_t> words;
    };
    const Case cases[] = {
        {1, {0x80000000u}},
        {32, {0xFFFFFFFFu}},
        {33, {0xFFFFFFFFu, 0x80000000u}},
        {40, {0xFFFFFFFFu, 0xFF000000u}},
        {63, {0xFFFFFFFFu, 0xFFFFFFFEu}},
        {64, {0xFFFFFFFFu, 0xFFFFFFFFu}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.total);
        PDB::FlagArray flags;
        ASSERT_EQ(0u, flags.initialize(c.total));
        ASSERT_EQ(0u, flags.setAllFlags());
        EXPECT_EQ(c.total, flags.flagCount());
        EXPECT_TRUE(flags.hasFlag());
        for (size_t w = 0; w < c.words.size(); ++w) EXPECT_EQ(c.words[w], flags.words()[w]) << "word " << w;
        ASSERT_EQ(0u, flags.clearAllFlags());
        EXPECT_EQ(0u, flags.flagCount());
        EXPECT_FALSE(flags.hasFlag());
        for (size_t w = 0; w < c.words.size(); ++w) EXPECT_EQ(0u, flags.words()[w]);
    }
}

TEST(FlagArrayTest, SingleFlagsKeepTheCountAndRefuseIndexesPastTheTotal)
{
    PDB::FlagArray flags;
    ASSERT_EQ(0u, flags.initialize(40));
    EXPECT_EQ(0u, flags.setFlag(0));
    EXPECT_EQ(0x80000000u, flags.words()[0]);
    EXPECT_EQ(0u, flags.setFlag(31));
    EXPECT_EQ(0x80000001u, flags.words()[0]);
    EXPECT_EQ(0u, flags.setFlag(39));
    EXPECT_EQ(0x01000000u, flags.words()[1]);
    EXPECT_EQ(0u, flags.setFlag(39));  // already set: count stays
    expectFlags(flags, {0, 31, 39});

    EXPECT_EQ(0u, flags.clearFlag(31));
    EXPECT_EQ(0u, flags.clearFlag(31));  // already clear: count stays
    EXPECT_EQ(0u, flags.clearFlag(5));
    expectFlags(flags, {0, 39});

    EXPECT_EQ(0x80000001u, flags.setFlag(40));
    EXPECT_EQ(0x80000001u, flags.clearFlag(40));
    EXPECT_EQ(0x80000001u, flags.setFlag(0xFFFFFFFFu));
    EXPECT_FALSE(flags.getFlag(40));
    EXPECT_EQ(2u, flags.flagCount());
}

TEST(FlagArrayTest, FindNextFlagIncludesTheStartAndReportsEndOrRange)
{
    PDB::FlagArray flags;
    ASSERT_EQ(0u, flags.initialize(64));

    unsigned pos = 100;  // with no flag set even a position past the total answers "none"
    EXPECT_EQ(0x200000u, flags.findNextFlag(pos));
    EXPECT_EQ(100u, pos);

    ASSERT_EQ(0u, flags.setFlag(5));
    ASSERT_EQ(0u, flags.setFlag(40));
    struct Case {
        unsigned from;
        uint32_t result;
        unsigned position;
    };
    const Case cases[] = {
        {0, 0, 5}, {5, 0, 5}, {6, 0, 40}, {32, 0, 40}, {40, 0, 40}, {41, 0x200000u, 64}, {64, 0x80200001u, 64},
        {1000, 0x80200001u, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        pos = c.from;
        EXPECT_EQ(c.result, flags.findNextFlag(pos));
        EXPECT_EQ(c.position, pos);
    }

    ASSERT_EQ(0u, flags.clearFlag(5));
    pos = 0;
    EXPECT_EQ(0u, flags.findNextFlag(pos));
    EXPECT_EQ(40u, pos);
}

TEST(FlagArrayTest, FindNextFlagWalksEveryFlagOfAPartialLastWord)
{
    PDB::FlagArray flags;
    ASSERT_EQ(0u, flags.initialize(70));
    const std::vector<unsigned> set = {0, 31, 32, 33, 63, 64, 69};
    for (unsigned i : set) ASSERT_EQ(0u, flags.setFlag(i));
    std::vector<unsigned> found;
    unsigned pos = 0;
    while (flags.findNextFlag(pos) == 0) {
        found.push_back(pos);
        ++pos;
        if (pos >= flags.totalNum()) break;
    }
    EXPECT_EQ(set, found);
}

TEST(FlagArrayTest, EmptyArraysRefuseAndCountAndResizeDiscardFlags)
{
    PDB::FlagArray flags;
    EXPECT_EQ(0u, flags.totalNum());
    EXPECT_EQ(nullptr, flags.words());
    EXPECT_EQ(0x80000003u, flags.setAllFlags());
    EXPECT_EQ(0x80000003u, flags.clearAllFlags());
    EXPECT_EQ(0x80000001u, flags.setFlag(0));
    EXPECT_FALSE(flags.getFlag(0));
    unsigned pos = 0;
    EXPECT_EQ(0x200000u, flags.findNextFlag(pos));

    EXPECT_EQ(0x80000001u, flags.initialize(0));
    EXPECT_EQ(0u, flags.totalNum());

    ASSERT_EQ(0u, flags.initialize(10));
    ASSERT_EQ(0u, flags.setFlag(3));
    ASSERT_EQ(0u, flags.resize(20));  // resizing does not keep flags
    EXPECT_EQ(20u, flags.totalNum());
    expectFlags(flags, {});
    ASSERT_EQ(0u, flags.setFlag(19));
    ASSERT_EQ(0u, flags.initialize(20));  // nor does initialize
    expectFlags(flags, {});

    EXPECT_EQ(0u, flags.resize(0));
    EXPECT_EQ(0u, flags.totalNum());
    EXPECT_EQ(0u, flags.flagCount());
    EXPECT_EQ(nullptr, flags.words());
}

TEST(FlagArrayTest, CopiesAreDeepAndIndependent)
{
    PDB::FlagArray source;
    ASSERT_EQ(0u, source.initialize(100));
    for (unsigned i : {0u, 17u, 64u, 99u}) ASSERT_EQ(0u, source.setFlag(i));

    PDB::FlagArray copy(source);
    EXPECT_EQ(100u, copy.totalNum());
    expectFlags(copy, {0, 17, 64, 99});
    ASSERT_EQ(0u, copy.clearFlag(17));
    EXPECT_TRUE(source.getFlag(17));

    PDB::FlagArray assigned;
    ASSERT_EQ(0u, assigned.initialize(3));
    assigned = source;
    expectFlags(assigned, {0, 17, 64, 99});
    assigned = assigned;
    expectFlags(assigned, {0, 17, 64, 99});

    assigned = PDB::FlagArray();  // an empty source leaves an empty copy
    EXPECT_EQ(0u, assigned.totalNum());
    EXPECT_EQ(nullptr, assigned.words());
}

TEST(FlagArrayTest, DummyArrayNeverHoldsAFlag)
{
    PDB::DummyFlagArray& dummy = PDB::DummyFlagArray::getInstance();
    EXPECT_EQ(&dummy, &PDB::DummyFlagArray::getInstance());
    EXPECT_EQ(0u, dummy.setFlag(7));
    EXPECT_FALSE(dummy.getFlag(7));
    EXPECT_EQ(0u, dummy.setAllFlags());
    EXPECT_EQ(0u, dummy.clearFlag(7));
    EXPECT_EQ(0u, dummy.clearAllFlags());
    EXPECT_FALSE(dummy.hasFlag());
    EXPECT_EQ(0u, dummy.flagCount());
    EXPECT_EQ(0u, dummy.totalNum());
    unsigned pos = 3;
    EXPECT_EQ(0x200000u, dummy.findNextFlag(pos));
    EXPECT_EQ(3u, pos);
}

TEST(ImportAttrTest, BitTestsAndChanges)
{
    struct Case {
        uint8_t value;
        bool any, config, dirty, link, force, restore;
    };
    const Case cases[] = {
        {0x00, false, false, false, false, false, false}, {0x01, true, true, false, false, false, false},
        {0x02, true, false, true, false, false, false},   {0x04, true, false, true, true, false, false},
        {0x08, true, false, false, false, true, false},   {0x10, true, false, false, false, true, true},
        {0x18, true, false, false, false, true, true},    {0x20, true, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.value));
        const PDB::ImportAttr attr(c.value);
        EXPECT_EQ(c.any, attr.hasFlags());
        EXPECT_EQ(c.config, attr.withConfig());
        EXPECT_EQ(c.dirty, attr.withDirty());
        EXPECT_EQ(c.link, attr.withLink());
        EXPECT_EQ(c.force, attr.isForceRecall());
        EXPECT_EQ(c.restore, attr.whenRestore());
    }

    PDB::ImportAttr attr(0x18);
    EXPECT_EQ(0u, attr.remove(0x08));
    EXPECT_EQ(0x10, attr.value());
    EXPECT_EQ(0u, attr.add(0x01));
    EXPECT_EQ(0x11, attr.value());
    const PDB::ImportAttr copy = attr;
    EXPECT_EQ(0u, attr.clear());
    EXPECT_EQ(0x11, copy.value());
    EXPECT_EQ(0u, attr.set(0x04));
    EXPECT_EQ(0x04, attr.value());
}
