#include "textcontrol/ScpUnicodeStringTable.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"

using ScpTest::fromUtf8;
using ScpTest::toUtf8;

TEST(ScpUnicodeStringTableTest, AppendCutsAtCapacityAndRefusesWhenFull)
{
    SCP::ScpUnicodeStringTable table;
    EXPECT_EQ(0x80000002u, table.append(fromUtf8("x"))) << "never set up";
    EXPECT_EQ(nullptr, table.at(0));
    EXPECT_EQ(nullptr, table.begin());
    EXPECT_EQ(0x80000003u, table.initialize(0, 8));
    ASSERT_EQ(0u, table.initialize(2, 4));
    EXPECT_EQ(0u, table.append(fromUtf8("abcdef")));
    EXPECT_EQ(0u, table.append(fromUtf8("xy")));
    EXPECT_EQ(0x80000002u, table.append(fromUtf8("z")));
    ASSERT_EQ(2u, table.size());
    EXPECT_EQ("abcd", toUtf8(*table[0]));
    EXPECT_EQ("xy", toUtf8(*table.at(1)));
    EXPECT_EQ(nullptr, table.at(2));
    EXPECT_EQ(table.begin() + 2, table.end());
    ASSERT_EQ(0u, table.clear());
    EXPECT_EQ(0u, table.size());
    EXPECT_EQ(0u, table.append(fromUtf8("q")));
    EXPECT_EQ("q", toUtf8(*table.at(0)));
}

TEST(ScpUnicodeStringTableTest, FindMatchesContainedRunsCaseSensitively)
{
    SCP::ScpUnicodeStringTable table;
    ASSERT_EQ(0u, table.initialize(4, 20));
    for (const char* entry : {"\"subcommand\"", "\"command\"", "\"Address\""}) ASSERT_EQ(0u, table.append(fromUtf8(entry)));

    struct Case {
        const char* key;
        uint32_t pos;
    };
    const Case cases[] = {
        {"command", 0},       // the first entry that contains it, even as part of a longer word
        {"\"command\"", 1},
        {"address", 0xFFFFFFFFu},
        {"Address", 2},
        {"", 0xFFFFFFFFu},
        {nullptr, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key ? c.key : "(null)");
        EXPECT_EQ(c.pos, table.findPos(c.key));
        const SCP::ScpString* found = table.find(c.key);
        EXPECT_EQ(c.pos == 0xFFFFFFFFu ? nullptr : table.at(c.pos), found);
    }
}

TEST(ScpUnicodeStringTableTest, FindUsesOnlyAsManyKeyCharactersAsAnEntryHolds)
{
    SCP::ScpUnicodeStringTable table;
    ASSERT_EQ(0u, table.initialize(1, 3));
    ASSERT_EQ(0u, table.append(fromUtf8("abc")));
    EXPECT_EQ(0u, table.findPos("abcdef"));
    SCP::ScpUnicodeStringTable never;
    EXPECT_EQ(0xFFFFFFFFu, never.findPos("a"));
}

TEST(ScpUnicodeStringTableTest, RefusedStorageLeavesAnEmptyTable)
{
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    {
        SCP::ScpUnicodeStringTable table;
        heap.refuseAllocation = 1;
        EXPECT_EQ(0x80000001u, table.initialize(4, 8));
        EXPECT_EQ(0x80000002u, table.append(fromUtf8("x")));
        heap.refuseAllocation = 0;
        ASSERT_EQ(0u, table.initialize(4, 8));
        EXPECT_EQ(1, heap.liveTagCounts()["ScpUnicodeStringTable::m_pTable"]);
    }
    EXPECT_EQ(0, heap.liveTagCounts()["ScpUnicodeStringTable::m_pTable"]);
    SCP::gScpHeapId = 0;
}
