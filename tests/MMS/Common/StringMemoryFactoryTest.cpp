#include "MMS/Common/mms_StringMemoryFactory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "MMS/Common/mms_ISharedMemory.h"
#include "MMS/Common/mms_SharedMemWrapper.h"

using MMS::StringMemoryFactory;

namespace {

constexpr uint32_t kMissing = 0x80000001u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;

// A provider over malloc that fills its blocks with garbage, remembers what it handed out and can
// refuse.
class FakeMemory : public MMS::ISharedMemory {
public:
    ~FakeMemory() { EXPECT_TRUE(live.empty()) << live.size() << " blocks never given back"; }
    void* allocate(uint32_t size) override
    {
        if (refuse) return nullptr;
        void* block = std::malloc(size);
        std::memset(block, 0xEE, size);
        live.insert(block);
        return block;
    }
    void deallocate(void* block) override
    {
        EXPECT_EQ(1u, live.erase(block)) << "a block this provider did not give";
        std::free(block);
    }

    bool refuse = false;
    std::set<void*> live;
};

}  // namespace

TEST(StringMemoryFactoryTest, AllocatesZeroFilledOwnedPoolOnce)
{
    FakeMemory provider;
    MMS::SharedMemWrapper memory(&provider);
    StringMemoryFactory pool;
    ASSERT_EQ(0u, pool.createMemoryArea(&memory, 16));
    ASSERT_NE(nullptr, pool.getPoolPointer());
    EXPECT_EQ(16u, pool.getPoolSize());
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(0, pool.getPoolPointer()[i]);
    char* first = pool.getPoolPointer();
    EXPECT_EQ(kBadArgument, pool.allocMemoryPool(&memory, 8));  // a pool is present
    EXPECT_EQ(first, pool.getPoolPointer());
    EXPECT_EQ(0u, pool.destroy(&memory));
    EXPECT_EQ(nullptr, pool.getPoolPointer());
    EXPECT_EQ(0u, pool.getPoolSize());
    EXPECT_TRUE(provider.live.empty());
}

TEST(StringMemoryFactoryTest, AllocationRefusals)
{
    FakeMemory provider;
    MMS::SharedMemWrapper memory(&provider);
    StringMemoryFactory pool;
    EXPECT_EQ(kMissing, pool.allocMemoryPool(nullptr, 8));
    EXPECT_EQ(0u, pool.allocMemoryPool(&memory, 0));  // size 0: no pool, no block
    EXPECT_EQ(nullptr, pool.getPoolPointer());
    EXPECT_TRUE(provider.live.empty());
    uint32_t offset = 7;
    uint32_t length = 7;
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, &length, "a", 4, false));
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, &length, nullptr, 1, false));
    EXPECT_EQ(0u, pool.createStringPool(&offset, &length, "a", 0, false));  // length 0 needs no room
    EXPECT_EQ(0u, offset);
    EXPECT_EQ(0u, length);
    provider.refuse = true;
    EXPECT_EQ(kNoMemory, pool.allocMemoryPool(&memory, 8));
    EXPECT_EQ(nullptr, pool.getPoolPointer());
}

TEST(StringMemoryFactoryTest, CreateStringPoolStoresTerminatorWhenItFits)
{
    struct Case { const char* text; uint32_t length; bool skipEmpty; uint32_t stored; const char* bytes; };
    const Case cases[] = {
        {"abc", 10, false, 4, "abc\0"},
        {"abcdef", 3, false, 3, "abc"},   // cut to the length, no terminator
        {"abc", 3, false, 3, "abc"},
        {"abc", 4, false, 4, "abc\0"},
        {"", 5, false, 1, "\0"},
        {"", 5, true, 0, ""},             // skipped
        {"ab", 5, true, 3, "ab\0"},
        {nullptr, 6, false, 6, "\0\0\0\0\0\0"},  // reservation
        {nullptr, 6, true, 6, "\0\0\0\0\0\0"},
        {"abc", 0, false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text == nullptr ? "<null>" : c.text) + " length " + std::to_string(c.length));
        FakeMemory provider;
        MMS::SharedMemWrapper memory(&provider);
        StringMemoryFactory pool;
        ASSERT_EQ(0u, pool.allocMemoryPool(&memory, 32));
        uint32_t offset = 99;
        uint32_t stored = 99;
        ASSERT_EQ(0u, pool.createStringPool(&offset, &stored, "x", 2, false));  // something before it
        ASSERT_EQ(0u, pool.createStringPool(&offset, &stored, c.text, c.length, c.skipEmpty));
        EXPECT_EQ(c.stored, stored);
        EXPECT_EQ(c.stored == 0 ? 0u : 2u, offset);
        EXPECT_EQ(0, std::memcmp(c.bytes, pool.getPoolPointer() + 2, c.stored));
        // The next string goes right behind it.
        ASSERT_EQ(0u, pool.createStringPool(&offset, &stored, "z", 2, false));
        EXPECT_EQ(2u + c.stored, offset);
        (void)pool.destroy(&memory);
    }
}

TEST(StringMemoryFactoryTest, FillingExactlyToTheSizeSucceedsOneByteMoreFails)
{
    FakeMemory provider;
    MMS::SharedMemWrapper memory(&provider);
    StringMemoryFactory pool;
    ASSERT_EQ(0u, pool.allocMemoryPool(&memory, 8));
    uint32_t offset = 0;
    uint32_t stored = 0;
    ASSERT_EQ(0u, pool.createStringPool(&offset, &stored, "abcd", 8, false));  // 5 bytes
    ASSERT_EQ(0u, pool.createStringPool(&offset, &stored, "ef", 8, false));    // 3 bytes: exactly full
    EXPECT_EQ(5u, offset);
    EXPECT_EQ(0, std::memcmp("abcd\0ef\0", pool.getPoolPointer(), 8));
    offset = 42;
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, &stored, "g", 2, false));
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, &stored, nullptr, 1, false));
    EXPECT_EQ(42u, offset);
    EXPECT_EQ(0u, pool.createStringPool(&offset, &stored, "", 4, true));  // skipped, still fine
    EXPECT_EQ(kBadArgument, pool.createStringPool(nullptr, &stored, "a", 2, false));
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, nullptr, "a", 2, false));
    (void)pool.destroy(&memory);
}

TEST(StringMemoryFactoryTest, RestoreCopiesAWholeSavedPool)
{
    FakeMemory provider;
    MMS::SharedMemWrapper memory(&provider);
    StringMemoryFactory pool;
    const char saved[6] = {'d', 'B', '\0', 'H', 'z', '\0'};
    EXPECT_EQ(0u, pool.restore(&memory, nullptr, 6));
    EXPECT_EQ(0u, pool.restore(&memory, saved, 0));
    EXPECT_EQ(nullptr, pool.getPoolPointer());
    ASSERT_EQ(0u, pool.restore(&memory, saved, sizeof saved));
    EXPECT_EQ(0, std::memcmp(saved, pool.getPoolPointer(), sizeof saved));
    uint32_t offset = 0;
    uint32_t stored = 0;
    EXPECT_EQ(kBadArgument, pool.createStringPool(&offset, &stored, "a", 2, false));  // restored pools are full
    EXPECT_EQ(kBadArgument, pool.restore(&memory, saved, sizeof saved));  // a pool is present
    EXPECT_EQ(kMissing, StringMemoryFactory().restore(nullptr, saved, sizeof saved));
    (void)pool.destroy(&memory);
}

TEST(StringMemoryFactoryTest, JointAdoptsWithoutOwningAndReleasesOnlyWhatItOwns)
{
    FakeMemory provider;
    MMS::SharedMemWrapper memory(&provider);
    const char foreign[4] = {'k', 'H', 'z', '\0'};

    StringMemoryFactory shared;
    ASSERT_EQ(0u, shared.joint(foreign, sizeof foreign));
    EXPECT_EQ(foreign, shared.getPoolPointer());
    EXPECT_EQ(4u, shared.getPoolSize());
    uint32_t offset = 0;
    uint32_t stored = 0;
    EXPECT_EQ(kBadArgument, shared.createStringPool(&offset, &stored, "a", 2, false));  // never written
    EXPECT_EQ(0u, shared.releaseMemoryPool(nullptr));  // not owned: only forgotten
    EXPECT_EQ(nullptr, shared.getPoolPointer());

    StringMemoryFactory owner;
    ASSERT_EQ(0u, owner.allocMemoryPool(&memory, 8));
    char* own = owner.getPoolPointer();
    EXPECT_EQ(kMissing, owner.joint(foreign, sizeof foreign));  // the owned pool cannot be freed here
    EXPECT_EQ(own, owner.getPoolPointer());
    EXPECT_EQ(8u, owner.getPoolSize());
    EXPECT_EQ(kMissing, owner.releaseMemoryPool(nullptr));
    EXPECT_EQ(own, owner.getPoolPointer());
    EXPECT_EQ(0u, owner.destroy(nullptr));  // always 0, and still nothing lost
    EXPECT_EQ(own, owner.getPoolPointer());
    EXPECT_EQ(1u, provider.live.size());

    EXPECT_EQ(0u, owner.releaseMemoryPool(&memory));
    EXPECT_TRUE(provider.live.empty());
    ASSERT_EQ(0u, owner.joint(foreign, sizeof foreign));  // after the release a joint works
    EXPECT_EQ(0u, owner.joint(nullptr, 4));
    EXPECT_EQ(foreign, owner.getPoolPointer());
    EXPECT_EQ(kBadArgument, owner.allocMemoryPool(&memory, 4));  // a joined pool is present
    EXPECT_EQ(0u, owner.destroy(&memory));
    EXPECT_TRUE(provider.live.empty());
}
