#include "arena/mspace.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <algorithm>
#include <vector>

namespace {

constexpr size_t kUnit = 0x10000;

bool aligned(const void* p, size_t a) { return (reinterpret_cast<uintptr_t>(p) & (a - 1)) == 0; }

size_t pageSize() { return size_t(sysconf(_SC_PAGESIZE)); }

// Owns an arena for one test.
struct Arena {
    explicit Arena(size_t capacity = 20000) : msp(create_mspace(capacity, 0)) {}
    ~Arena()
    {
        if (msp) (void)destroy_mspace(msp);
    }
    mspace msp;
};

}  // namespace

TEST(mspaceTest, CreateMapsCapacityPlusBookkeepingInWholeUnits)
{
    struct Case { size_t capacity; size_t mapped; };
    const Case cases[] = {{0, 65536}, {20000, 65536}, {64496, 65536}, {64497, 131072}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        mspace m = create_mspace(c.capacity, 1);
        ASSERT_NE(nullptr, m);
        EXPECT_EQ(c.mapped, mspace_footprint(m));
        EXPECT_EQ(c.mapped, mspace_max_footprint(m));
        EXPECT_EQ(c.mapped, destroy_mspace(m));
    }
    EXPECT_EQ(nullptr, create_mspace(SIZE_MAX - 1040 - pageSize(), 0));
}

TEST(mspaceTest, FreshArenaStatisticsAccountForBookkeeping)
{
    Arena a;
    const mspace_mallinfo_record r = mspace_mallinfo(a.msp);
    EXPECT_EQ(65536u, r.arena);
    EXPECT_EQ(1u, r.ordblks);
    EXPECT_EQ(0u, r.hblkhd);
    EXPECT_EQ(65536u, r.usmblks);
    EXPECT_EQ(960u, r.uordblks);
    EXPECT_EQ(65536u - 960u, r.fordblks);
    EXPECT_EQ(65536u - 1040u, r.keepcost);
    EXPECT_EQ(0u, r.smblks + r.hblks + r.fsmblks);
}

TEST(mspaceTest, BlocksAreAlignedWithFixedUsableSizes)
{
    Arena a;
    struct Case { size_t request; size_t usable; };
    const Case cases[] = {{0, 16}, {1, 16}, {14, 16}, {15, 16}, {16, 16}, {17, 32}, {100, 112}, {224, 224}, {1000, 1008}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        void* p = mspace_malloc(a.msp, c.request);
        ASSERT_NE(nullptr, p);
        EXPECT_TRUE(aligned(p, 16));
        EXPECT_EQ(c.usable, mspace_usable_size(p));
        mspace_free(a.msp, p);
    }
    EXPECT_EQ(0u, mspace_usable_size(nullptr));
}

TEST(mspaceTest, MemalignRaisesAlignmentToAPowerOfTwo)
{
    Arena a;
    struct Case { size_t alignment; size_t expected; };
    const Case cases[] = {{8, 16}, {16, 16}, {48, 64}, {64, 64}, {4096, 4096}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alignment);
        std::vector<void*> blocks;
        for (int i = 0; i < 5; ++i) {  // a few in a row so the start position varies
            void* p = mspace_memalign(a.msp, c.alignment, 40 + i * 24);
            ASSERT_NE(nullptr, p);
            EXPECT_TRUE(aligned(p, c.expected));
            EXPECT_GE(mspace_usable_size(p), size_t(40 + i * 24));
            memset(p, 0xA5, 40 + i * 24);
            blocks.push_back(p);
        }
        for (void* p : blocks) mspace_free(a.msp, p);
    }
    const mspace_mallinfo_record r = mspace_mallinfo(a.msp);
    EXPECT_EQ(960u, r.uordblks);  // leaders and trailers went back too
}

TEST(mspaceTest, FreeFindsTheOwnerThroughTheBlock)
{
    Arena a;
    Arena b;
    const uint64_t inUseA = mspace_mallinfo(a.msp).uordblks;
    const uint64_t inUseB = mspace_mallinfo(b.msp).uordblks;
    void* p = mspace_malloc(a.msp, 500);
    ASSERT_NE(nullptr, p);
    EXPECT_GT(mspace_mallinfo(a.msp).uordblks, inUseA);
    mspace_free(b.msp, p);
    EXPECT_EQ(inUseA, mspace_mallinfo(a.msp).uordblks);
    EXPECT_EQ(inUseB, mspace_mallinfo(b.msp).uordblks);
    mspace_free(a.msp, nullptr);
    EXPECT_EQ(inUseA, mspace_mallinfo(a.msp).uordblks);
}

TEST(mspaceTest, LargeBlockHasAMappingOfItsOwn)
{
    Arena a;
    const size_t before = mspace_footprint(a.msp);
    void* p = mspace_malloc(a.msp, 300 * 1024);
    ASSERT_NE(nullptr, p);
    const size_t grown = mspace_footprint(a.msp) - before;
    EXPECT_EQ(0u, grown % pageSize());
    EXPECT_GE(grown, size_t(300 * 1024));
    EXPECT_LT(grown, size_t(300 * 1024) + 2 * pageSize());
    EXPECT_GE(mspace_usable_size(p), size_t(300 * 1024));
    EXPECT_EQ(grown, mspace_mallinfo(a.msp).hblkhd);
    memset(p, 0x5A, 300 * 1024);
    mspace_free(a.msp, p);
    EXPECT_EQ(before, mspace_footprint(a.msp));
    EXPECT_EQ(before + grown, mspace_max_footprint(a.msp));
}

TEST(mspaceTest, TrackingLargeChunksKeepsThemInSegments)
{
    Arena a;
    EXPECT_EQ(0, mspace_track_large_chunks(a.msp, 1));
    EXPECT_EQ(1, mspace_track_large_chunks(a.msp, 1));
    void* p = mspace_malloc(a.msp, 300 * 1024);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0u, mspace_footprint(a.msp) % kUnit);
    const size_t footprint = mspace_footprint(a.msp);
    EXPECT_EQ(footprint, destroy_mspace(a.msp));  // the large block went with its segment
    a.msp = nullptr;
}

TEST(mspaceTest, FootprintLimitIsRoundedAndStopsGrowth)
{
    Arena a;
    EXPECT_EQ(SIZE_MAX, mspace_footprint_limit(a.msp));
    struct Case { size_t bytes; size_t stored; size_t reported; };
    const Case cases[] = {
        {100000, 131072, 131072}, {65536, 65536, 65536}, {0, 0, SIZE_MAX}, {SIZE_MAX, 0, SIZE_MAX}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(c.stored, mspace_set_footprint_limit(a.msp, c.bytes));
        EXPECT_EQ(c.reported, mspace_footprint_limit(a.msp));
    }
    (void)mspace_set_footprint_limit(a.msp, 65536);
    EXPECT_EQ(nullptr, mspace_malloc(a.msp, 100000));  // needs a new segment
    EXPECT_EQ(nullptr, mspace_malloc(a.msp, 300000));  // needs a mapping of its own
    EXPECT_EQ(65536u, mspace_footprint(a.msp));
    void* p = mspace_malloc(a.msp, 1000);  // still served from the segment
    EXPECT_NE(nullptr, p);
    (void)mspace_set_footprint_limit(a.msp, SIZE_MAX);
    void* q = mspace_malloc(a.msp, 100000);
    EXPECT_NE(nullptr, q);
    mspace_free(a.msp, q);
    mspace_free(a.msp, p);
}

TEST(mspaceTest, MalloptChangesProcessWideParameters)
{
    struct Case { int param; int value; int result; };
    const Case cases[] = {
        {M_ARENA_GRANULARITY, 1000, 0},  {M_ARENA_GRANULARITY, 3 * 65536, 0},
        {M_ARENA_GRANULARITY, -1, 0},    {-4, 1, 0},
        {M_ARENA_TRIM_THRESHOLD, -1, 1}, {M_ARENA_MMAP_THRESHOLD, 0x40000, 1},
        {M_ARENA_GRANULARITY, 131072, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.param << " " << c.value);
        EXPECT_EQ(c.result, mspace_mallopt(c.param, c.value));
    }
    mspace m = create_mspace(0, 0);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(131072u, mspace_footprint(m));
    void* p = mspace_malloc(m, 200000);  // below the mapping threshold: a new segment
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0u, mspace_footprint(m) % 131072);
    EXPECT_GT(mspace_footprint(m), 131072u);
    mspace_free(m, p);
    (void)destroy_mspace(m);
    EXPECT_EQ(1, mspace_mallopt(M_ARENA_GRANULARITY, 65536));
    EXPECT_EQ(1, mspace_mallopt(M_ARENA_TRIM_THRESHOLD, 0x200000));
}

TEST(mspaceTest, ReallocGrowsInPlaceOrMovesTheContents)
{
    Arena a;
    void* p = mspace_realloc(a.msp, nullptr, 100);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(112u, mspace_usable_size(p));
    memset(p, 0x11, 100);
    void* grown = mspace_realloc(a.msp, p, 4000);  // next chunk is the top
    EXPECT_EQ(p, grown);
    EXPECT_GE(mspace_usable_size(grown), 4000u);
    EXPECT_EQ(0x11, static_cast<unsigned char*>(grown)[99]);

    void* blocker = mspace_malloc(a.msp, 16);
    memset(grown, 0x22, 4000);
    void* moved = mspace_realloc(a.msp, grown, 8000);
    ASSERT_NE(nullptr, moved);
    EXPECT_NE(grown, moved);
    for (size_t i = 0; i < 4000; ++i) ASSERT_EQ(0x22, static_cast<unsigned char*>(moved)[i]) << i;

    void* shrunk = mspace_realloc(a.msp, moved, 0);  // a minimum chunk, not a free
    EXPECT_EQ(moved, shrunk);
    EXPECT_EQ(16u, mspace_usable_size(shrunk));

    errno = 0;
    EXPECT_EQ(nullptr, mspace_realloc(a.msp, shrunk, SIZE_MAX - 100));
    EXPECT_EQ(ENOMEM, errno);
    EXPECT_EQ(16u, mspace_usable_size(shrunk));  // the old block stays
    mspace_free(a.msp, shrunk);
    mspace_free(a.msp, blocker);
    EXPECT_EQ(960u, mspace_mallinfo(a.msp).uordblks);
}

TEST(mspaceTest, ReallocInPlaceNeverMoves)
{
    Arena a;
    void* p = mspace_malloc(a.msp, 200);
    void* neighbour = mspace_malloc(a.msp, 200);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(nullptr, mspace_realloc_in_place(a.msp, p, 1000));  // neighbour in use
    EXPECT_EQ(p, mspace_realloc_in_place(a.msp, p, 50));
    EXPECT_EQ(64u, mspace_usable_size(p));
    mspace_free(a.msp, neighbour);
    EXPECT_EQ(p, mspace_realloc_in_place(a.msp, p, 1000));  // neighbour merged with the top
    EXPECT_EQ(nullptr, mspace_realloc_in_place(a.msp, nullptr, 10));
    mspace_free(a.msp, p);
}

TEST(mspaceTest, CallocZeroesAndGuardsTheProduct)
{
    Arena a;
    void* dirty = mspace_malloc(a.msp, 1000);
    memset(dirty, 0xFF, 1000);
    mspace_free(a.msp, dirty);
    unsigned char* p = static_cast<unsigned char*>(mspace_calloc(a.msp, 250, 4));
    ASSERT_NE(nullptr, p);
    for (size_t i = 0; i < 1000; ++i) ASSERT_EQ(0, p[i]) << i;
    mspace_free(a.msp, p);
    EXPECT_EQ(nullptr, mspace_calloc(a.msp, SIZE_MAX / 2, 4));
    EXPECT_EQ(nullptr, mspace_calloc(a.msp, size_t(1) << 33, size_t(1) << 33));
}

TEST(mspaceTest, IndependentAllocationsAreSeparateBlocks)
{
    Arena a;
    void* dirty = mspace_malloc(a.msp, 2000);
    memset(dirty, 0xFF, 2000);
    mspace_free(a.msp, dirty);

    void** zeroed = mspace_independent_calloc(a.msp, 5, 100, nullptr);
    ASSERT_NE(nullptr, zeroed);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(nullptr, zeroed[i]);
        EXPECT_TRUE(aligned(zeroed[i], 16));
        EXPECT_GE(mspace_usable_size(zeroed[i]), 100u);
        for (int k = 0; k < 100; ++k) ASSERT_EQ(0, static_cast<unsigned char*>(zeroed[i])[k]);
        if (i > 0) {
            EXPECT_EQ(static_cast<char*>(zeroed[i - 1]) + 128, zeroed[i]);
        }
    }

    size_t sizes[] = {10, 300, 40};
    void* given[3] = {};
    EXPECT_EQ(given, mspace_independent_comalloc(a.msp, 3, sizes, given));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(nullptr, given[i]);
        EXPECT_GE(mspace_usable_size(given[i]), sizes[i]);
        memset(given[i], i, sizes[i]);
    }
    for (int i = 0; i < 5; ++i) mspace_free(a.msp, zeroed[i]);
    mspace_free(a.msp, zeroed);
    for (void* p : given) mspace_free(a.msp, p);
    EXPECT_EQ(960u, mspace_mallinfo(a.msp).uordblks);
}

TEST(mspaceTest, BulkFreeSkipsBlocksOfOtherArenas)
{
    Arena a;
    Arena b;
    void* blocks[6] = {mspace_malloc(a.msp, 64), mspace_malloc(a.msp, 64), mspace_malloc(b.msp, 64),
                       nullptr, mspace_malloc(a.msp, 500), mspace_malloc(a.msp, 300 * 1024)};
    void* foreign = blocks[2];
    EXPECT_EQ(1u, mspace_bulk_free(a.msp, blocks, 6));
    EXPECT_EQ(nullptr, blocks[0]);
    EXPECT_EQ(nullptr, blocks[1]);
    EXPECT_EQ(foreign, blocks[2]);
    EXPECT_EQ(nullptr, blocks[4]);
    EXPECT_EQ(nullptr, blocks[5]);
    EXPECT_EQ(960u, mspace_mallinfo(a.msp).uordblks);
    EXPECT_EQ(65536u, mspace_footprint(a.msp));
    mspace_free(b.msp, foreign);
}

TEST(mspaceTest, FreedSegmentsGoBackToTheSystem)
{
    // Caller memory first, so every later segment is one the arena mapped itself.
    alignas(16) static unsigned char buffer[8192];
    mspace m = create_mspace_with_base(buffer, sizeof buffer, 0);
    ASSERT_NE(nullptr, m);
    std::vector<void*> blocks;
    while (mspace_footprint(m) < 8 * kUnit) {
        void* p = mspace_malloc(m, 20000);
        ASSERT_NE(nullptr, p);
        memset(p, 0x33, 20000);
        blocks.push_back(p);
    }
    const size_t peak = mspace_footprint(m);
    for (void* p : blocks) mspace_free(m, p);
    EXPECT_EQ(1, mspace_trim(m, 0));
    EXPECT_LE(mspace_footprint(m), sizeof buffer + kUnit);  // at most one unit of top kept
    EXPECT_EQ(peak, mspace_max_footprint(m));
    EXPECT_EQ(0, mspace_trim(m, 0));  // nothing left to give back
    for (int i = 0; i < 3; ++i) {      // and it is still an arena
        void* p = mspace_malloc(m, 20000);
        ASSERT_NE(nullptr, p);
        memset(p, 0x44, 20000);
        mspace_free(m, p);
    }
    const size_t footprint = mspace_footprint(m);
    EXPECT_EQ(footprint - sizeof buffer, destroy_mspace(m));
}

TEST(mspaceTest, FreedMemoryIsReusedBeforeGrowing)
{
    Arena a;
    std::vector<void*> blocks;
    for (int i = 0; i < 40; ++i) blocks.push_back(mspace_malloc(a.msp, 20000));
    const size_t grown = mspace_footprint(a.msp);
    for (void* p : blocks) mspace_free(a.msp, p);
    const mspace_mallinfo_record r = mspace_mallinfo(a.msp);
    EXPECT_EQ(960u + (mspace_footprint(a.msp) - r.arena), r.uordblks);  // bookkeeping only
    blocks.clear();
    for (int i = 0; i < 40; ++i) blocks.push_back(mspace_malloc(a.msp, 20000));
    EXPECT_LE(mspace_footprint(a.msp), grown);
    for (void* p : blocks) mspace_free(a.msp, p);
}

TEST(mspaceTest, LargeTopIsTrimmedAfterFree)
{
    // Caller memory first: the big segment cannot be merged in front of the state record and
    // so ends up as the top.
    alignas(16) static unsigned char buffer[8192];
    mspace m = create_mspace_with_base(buffer, sizeof buffer, 0);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(0, mspace_track_large_chunks(m, 1));  // keep big blocks in segments
    void* p = mspace_malloc(m, 3 * 1024 * 1024);
    ASSERT_NE(nullptr, p);
    const size_t peak = mspace_footprint(m);
    mspace_free(m, p);
    EXPECT_LT(mspace_footprint(m), peak);
    EXPECT_LE(mspace_footprint(m), sizeof buffer + kUnit);  // all but one unit went back
    EXPECT_LE(mspace_mallinfo(m).keepcost, size_t(0x200000));
    void* again = mspace_malloc(m, 1000);  // the arena stays usable
    EXPECT_NE(nullptr, again);
    mspace_free(m, again);
    (void)destroy_mspace(m);
}

TEST(mspaceTest, ArenaInCallerMemoryIsNeverUnmapped)
{
    alignas(16) static unsigned char buffer[32768];
    EXPECT_EQ(nullptr, create_mspace_with_base(buffer, 1040, 0));
    mspace m = create_mspace_with_base(buffer, sizeof buffer, 0);
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(sizeof buffer, mspace_footprint(m));
    void* inside = mspace_malloc(m, 1000);
    EXPECT_GE(static_cast<unsigned char*>(inside), buffer);
    EXPECT_LT(static_cast<unsigned char*>(inside), buffer + sizeof buffer);
    void* outside = mspace_malloc(m, 40000);  // grows by a mapping of its own
    ASSERT_NE(nullptr, outside);
    memset(outside, 1, 40000);
    EXPECT_GT(mspace_footprint(m), sizeof buffer);
    EXPECT_EQ(mspace_footprint(m) - sizeof buffer, destroy_mspace(m));
    buffer[0] = 1;  // still ours
}

TEST(mspaceTest, StatsPrintThreeLines)
{
    Arena a;
    testing::internal::CaptureStderr();
    mspace_malloc_stats(a.msp);
    EXPECT_EQ("max system bytes =      65536\n"
              "system bytes     =      65536\n"
              "in use bytes     =        960\n",
              testing::internal::GetCapturedStderr());
}

struct Block { unsigned char* p; size_t size; unsigned char fill; };

// No two live blocks share a byte, their footers included.
bool disjoint(const std::vector<Block>& live)
{
    std::vector<std::pair<uintptr_t, size_t>> spans;
    for (const Block& b : live) spans.push_back({reinterpret_cast<uintptr_t>(b.p), mspace_usable_size(b.p)});
    std::sort(spans.begin(), spans.end());
    for (size_t k = 1; k < spans.size(); ++k) {
        if (spans[k - 1].first + spans[k - 1].second + 16 > spans[k].first) return false;
    }
    return true;
}

TEST(mspaceTest, RandomWorkloadKeepsContentsAndAccounts)
{
    Arena a;
    std::vector<Block> live;
    std::mt19937 rng(7);
    const size_t sizes[] = {1, 24, 100, 240, 256, 1000, 5000, 70000, 270000};
    for (int step = 0; step < 4000; ++step) {
        ASSERT_TRUE(disjoint(live)) << step;
        const unsigned op = rng() % 10;
        if (op < 5 || live.empty()) {
            const size_t size = sizes[rng() % 9] + rng() % 64;
            auto* p = static_cast<unsigned char*>(mspace_malloc(a.msp, size));
            ASSERT_NE(nullptr, p);
            ASSERT_TRUE(aligned(p, 16));
            const unsigned char fill = static_cast<unsigned char>(rng());
            memset(p, fill, size);
            live.push_back({p, size, fill});
        } else {
            const size_t i = rng() % live.size();
            Block& b = live[i];
            for (size_t k = 0; k < b.size; k += 7) ASSERT_EQ(b.fill, b.p[k]) << step;
            ASSERT_EQ(b.fill, b.p[b.size - 1]);
            if (op < 8) {
                mspace_free(a.msp, b.p);
                live.erase(live.begin() + long(i));
            } else {
                const size_t size = sizes[rng() % 9] + rng() % 64;
                auto* q = static_cast<unsigned char*>(mspace_realloc(a.msp, b.p, size));
                ASSERT_NE(nullptr, q);
                const size_t kept = size < b.size ? size : b.size;
                for (size_t k = 0; k < kept; k += 5) ASSERT_EQ(b.fill, q[k]) << step;
                memset(q, b.fill, size);
                b = {q, size, b.fill};
            }
        }
    }
    const mspace_mallinfo_record r = mspace_mallinfo(a.msp);
    EXPECT_EQ(mspace_footprint(a.msp), r.arena + r.hblkhd);
    EXPECT_EQ(mspace_footprint(a.msp), r.uordblks + r.fordblks);
    ASSERT_TRUE(disjoint(live));
    for (const Block& b : live) {
        for (size_t k = 0; k < b.size; ++k) ASSERT_EQ(b.fill, b.p[k]);
        mspace_free(a.msp, b.p);  // a broken neighbour record would abort here
    }
    EXPECT_EQ(960u + (mspace_footprint(a.msp) - mspace_mallinfo(a.msp).arena),
              mspace_mallinfo(a.msp).uordblks);
}

TEST(mspaceTest, BrokenRecordsEndTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            mspace m = create_mspace(0, 0);
            void* p = mspace_malloc(m, 64);
            mspace_free(m, p);
            mspace_free(m, p);  // twice
        },
        "");
    EXPECT_DEATH(
        {
            mspace m = create_mspace(0, 0);
            auto* p = static_cast<unsigned char*>(mspace_malloc(m, 64));
            p[mspace_usable_size(p) + 0] ^= 0x10;  // footer no longer names the arena
            mspace_free(m, p);
        },
        "");
    EXPECT_DEATH(
        {
            alignas(16) static unsigned char notAnArena[1024];
            (void)mspace_malloc(notAnArena, 64);
        },
        "");
    EXPECT_DEATH(
        {
            mspace m = create_mspace(0, 0);
            void* p = mspace_malloc(m, 64);
            void* q = mspace_malloc(m, 64);
            mspace_free(m, p);
            static_cast<void**>(p)[0] = q;  // a broken free-list link
            (void)mspace_malloc(m, 64);
            (void)mspace_malloc(m, 64);
        },
        "");
}
