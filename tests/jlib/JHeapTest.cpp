#include "jlib/JHeap.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Counts calls and keeps the trace lines, to see what JNew hands the manager.
class RecordingHeap : public JLIB::GlobalHeapManagerBase {
public:
    const char* getName() const override { return "Recording"; }
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override
    {
        ++allocations;
        lastSize = size;
        return GlobalHeapManagerBase::allocateMemory(size, debug, tag);
    }
    int debugOutput(const char* format, ...) override
    {
        lines.emplace_back(format);
        return 0;
    }
    int allocations = 0;
    uint32_t lastSize = 0;
    std::vector<std::string> lines;
};

// Prints its trace lines into a list, as a manager that makes the trace visible would.
class PrintingHeap : public JLIB::GlobalHeapManagerBase {
public:
    const char* getName() const override { return "Printing"; }
    int debugOutput(const char* format, ...) override
    {
        char line[160];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        lines.emplace_back(line);
        return 0;
    }
    std::vector<std::string> lines;
};

// Takes blocks but reports every give-back as failed (and still frees, to stay leak-free).
class RefusingFreeHeap : public JLIB::GlobalHeapManagerBase {
public:
    uint32_t freeMemory(void* block, bool debug) override
    {
        (void)GlobalHeapManagerBase::freeMemory(block, debug);  // the block goes back; the answer is the point
        return 0x80000013u;
    }
};

std::vector<int>* gOrder = nullptr;

struct Tracked {
    Tracked() : id(next++) {}
    ~Tracked() { gOrder->push_back(id); }
    int id;
    static int next;
};
int Tracked::next = 0;

}  // namespace

TEST(JHeapTest, JNewWritesHeaderAndZeroFills)
{
    unsigned char* p = JLIB::JNew<unsigned char>(0, "t", 3);
    ASSERT_NE(nullptr, p);
    const unsigned char expected[8] = {0, 0, 0, 3, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(expected, p - 8, 8));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, p[i]);
    EXPECT_EQ(0u, JLIB::JDelete(p));

    bool* flags = JLIB::JNew<bool>(0, "t", 4, true);
    ASSERT_NE(nullptr, flags);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(flags[i]);
    EXPECT_EQ(0u, JLIB::JDelete(flags));

    char* text = JLIB::JNew<char>(0, "t", 5);
    ASSERT_NE(nullptr, text);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0, text[i]);
    EXPECT_EQ(0u, JLIB::JDelete(text));
}

TEST(JHeapTest, RefusesBadCountsHeapsAndOversizedTotals)
{
    EXPECT_EQ(nullptr, JLIB::JNew<char>(0, "t", 0));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(0, "t", 0x1000000));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(1, "t", 1));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(31, "t", 1));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(200, "t", 1));
    EXPECT_EQ(nullptr, JLIB::GetHeapManager(200));
    // 0xFFFFFF elements of 512 bytes exceed a 32-bit size: refused, not wrapped.
    struct Big { char b[512]; };
    EXPECT_EQ(nullptr, JLIB::JNew<Big>(0, "t", 0xFFFFFF));
    EXPECT_EQ(0x80000000u, JLIB::JDelete<char>(nullptr));
}

TEST(JHeapTest, MaximumCountHeaderBytes)
{
    unsigned char* p = JLIB::JNew<unsigned char>(0, "t", 0xFFFFFF);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0xFF, p[-7]);
    EXPECT_EQ(0xFF, p[-6]);
    EXPECT_EQ(0xFF, p[-5]);
    EXPECT_EQ(0u, JLIB::JDelete(p));
}

TEST(JHeapTest, DeleteDestroysInAscendingOrder)
{
    std::vector<int> order;
    gOrder = &order;
    Tracked::next = 0;
    Tracked* t = JLIB::JNew<Tracked>(0, "t", 3);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0u, JLIB::JDelete(t));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), order);
}

TEST(JHeapTest, RegistryRulesAndTrace)
{
    RecordingHeap heap;
    EXPECT_EQ(0x80000001u, JLIB::SubscribeHeapId(0, heap));
    EXPECT_EQ(0x80000000u, JLIB::SubscribeHeapId(32, heap));
    EXPECT_EQ(0x80000000u, JLIB::SetHeapDebugOutput(5, true));
    EXPECT_FALSE(JLIB::GetHeapDebugOutputMode(5));
    EXPECT_EQ(0xFFFFFFFFu, JLIB::GetGlobalHeapManager()->getMaxBlock());
    EXPECT_STREQ("GlobalHeapManager", JLIB::GetHeapManager(0)->getName());

    ASSERT_EQ(0u, JLIB::SubscribeHeapId(1, heap));
    ASSERT_EQ(0u, JLIB::SetHeapDebugOutput(1, true));
    char* c = JLIB::JNew<char>(1, nullptr, 10);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(1, heap.allocations);
    EXPECT_EQ(18u, heap.lastSize);
    EXPECT_EQ(0u, JLIB::JDelete(c));
    ASSERT_EQ(2u, heap.lines.size());
    EXPECT_EQ("     %s::new    > 0x%08X (%12d) = %s\n", heap.lines[0]);
    EXPECT_EQ("     %s::delete > 0x%08X\n", heap.lines[1]);
    EXPECT_EQ(0x80000000u, heap.freeMemory(nullptr, true));
}

TEST(JHeapTest, RefusedCountsNeverReachTheManager)
{
    RecordingHeap heap;
    ASSERT_EQ(0u, JLIB::SubscribeHeapId(3, heap));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(3, "t", 0));
    EXPECT_EQ(nullptr, JLIB::JNew<char>(3, "t", 0x1000000));
    struct Big { char b[512]; };
    EXPECT_EQ(nullptr, JLIB::JNew<Big>(3, "t", 0xFFFFFF));  // total above 32 bits
    EXPECT_EQ(0, heap.allocations);
    uint64_t* p = JLIB::JNew<uint64_t>(3, "t", 2, 7);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(1, heap.allocations);
    EXPECT_EQ(24u, heap.lastSize);
    EXPECT_EQ(7u, p[1]);
    EXPECT_EQ(0u, JLIB::JDelete(p));
}

TEST(JHeapTest, TraceLinesShowNameBlockSizeAndTag)
{
    PrintingHeap heap;
    (void)heap.debugOutputOnAllocate(nullptr, 5, false, "x");  // tracing off: nothing
    (void)heap.debugOutputOnFree(nullptr, false);
    EXPECT_TRUE(heap.lines.empty());

    (void)heap.debugOutputOnAllocate(nullptr, 5, true, nullptr);
    (void)heap.debugOutputOnFree(nullptr, true);
    void* block = heap.allocateMemory(16, true, "Tag::m_p");
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0u, heap.freeMemory(block, true));

    char address[16];
    std::snprintf(address, sizeof address, "0x%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(block)));
    const std::vector<std::string> expected = {
        "[NG] Printing::new    > NULL       (           5) = ????\n",
        "[NG] Printing::delete > NULL\n",
        std::string("     Printing::new    > ") + address + " (          16) = Tag::m_p\n",
        std::string("     Printing::delete > ") + address + "\n",
    };
    EXPECT_EQ(expected, heap.lines);
}

TEST(JHeapTest, DeleteReportsAFailedGiveBackAfterDestroying)
{
    RefusingFreeHeap heap;
    ASSERT_EQ(0u, JLIB::SubscribeHeapId(2, heap));
    std::vector<int> order;
    gOrder = &order;
    Tracked::next = 0;
    Tracked* t = JLIB::JNew<Tracked>(2, "t", 2);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0x80000000u, JLIB::JDelete(t));
    EXPECT_EQ((std::vector<int>{0, 1}), order);
}

namespace {

// Built before the first allocation, so destroyed after any function-local static made later.
struct FreesAtExit {
    ~FreesAtExit() { (void)JLIB::JDelete(block); }
    char* block = nullptr;
};

}  // namespace

TEST(JHeapTest, StaticObjectsMayFreeTheirBlocksAtExit)
{
    EXPECT_EXIT(
        {
            static FreesAtExit holder;
            holder.block = JLIB::JNew<char>(0, "t", 4);
            std::exit(holder.block ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
