#include "MMS/Common/mms_SharedMemWrapper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "MmsTestHeap.h"

namespace {

using MMS::SharedMemWrapper;

// A provider over malloc that records its calls and can refuse blocks.
class RecordingProvider : public MMS::ISharedMemory {
public:
    void* allocate(uint32_t size) override
    {
        sizes.push_back(size);
        if (refuse) return nullptr;
        return std::malloc(size);
    }
    void deallocate(void* block) override
    {
        freed.push_back(block);
        std::free(block);
    }
    bool refuse = false;
    std::vector<uint32_t> sizes;
    std::vector<void*> freed;
};

TEST(SharedMemWrapperTest, RoutesToTheProviderOrToHeapOne)
{
    RecordingProvider provider;
    SharedMemWrapper withProvider(&provider);
    void* block = withProvider.malloc(32);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(std::vector<uint32_t>{32}, provider.sizes);
    EXPECT_EQ(0u, withProvider.free(block));
    EXPECT_EQ(std::vector<void*>{block}, provider.freed);

    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    const int live = heap.live;
    SharedMemWrapper onHeap(nullptr);
    block = onHeap.malloc(16);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    EXPECT_EQ(live + 1, heap.live);
    EXPECT_EQ(0u, onHeap.free(block));
    EXPECT_EQ(live, heap.live);
    EXPECT_EQ(0u, onHeap.free(nullptr));
}

TEST(SharedMemWrapperTest, ReallocClearsTheNewBlockAndKeepsAtMostItsSize)
{
    RecordingProvider provider;
    SharedMemWrapper wrapper(&provider);
    struct Case {
        uint32_t oldSize;
        uint32_t newSize;
        uint32_t kept;
    };
    const Case cases[] = {
        {0, 8, 0},
        {4, 8, 4},
        {8, 8, 8},
        {16, 8, 8},  // shrinking copies only what the new block holds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldSize << " -> " << c.newSize);
        unsigned char* old = nullptr;
        if (c.oldSize != 0) {
            old = static_cast<unsigned char*>(wrapper.malloc(c.oldSize));
            ASSERT_NE(nullptr, old);
            for (uint32_t i = 0; i < c.oldSize; ++i) old[i] = static_cast<unsigned char>(0xA0 + i);
        }
        provider.freed.clear();
        auto* grown = static_cast<unsigned char*>(wrapper.realloc(old, c.oldSize, c.newSize));
        ASSERT_NE(nullptr, grown);
        for (uint32_t i = 0; i < c.newSize; ++i) {
            EXPECT_EQ(i < c.kept ? 0xA0 + i : 0u, grown[i]) << "byte " << i;
        }
        EXPECT_EQ(old ? std::vector<void*>{old} : std::vector<void*>{}, provider.freed);
        EXPECT_EQ(0u, wrapper.free(grown));
    }
}

TEST(SharedMemWrapperTest, ReallocToZeroFreesAndFailureKeepsTheOldBlock)
{
    RecordingProvider provider;
    SharedMemWrapper wrapper(&provider);
    auto* block = static_cast<unsigned char*>(wrapper.malloc(4));
    ASSERT_NE(nullptr, block);
    std::memcpy(block, "abcd", 4);

    provider.refuse = true;
    EXPECT_EQ(nullptr, wrapper.realloc(block, 4, 64));
    EXPECT_TRUE(provider.freed.empty());
    EXPECT_EQ(0, std::memcmp(block, "abcd", 4));  // still the caller's, untouched
    provider.refuse = false;

    EXPECT_EQ(nullptr, wrapper.realloc(block, 4, 0));
    EXPECT_EQ(std::vector<void*>{block}, provider.freed);
    EXPECT_EQ(nullptr, wrapper.realloc(nullptr, 0, 0));
}

TEST(SharedMemWrapperTest, IsMadeOnHeapOneAndGivesNullWhenItIsExhausted)
{
    MmsTest::TestHeapManager& heap = MmsTest::heap1();
    SharedMemWrapper* wrapper = new SharedMemWrapper(nullptr);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ("MMS Wrap", heap.lastTag);
    delete wrapper;
    heap.refuse = true;
    EXPECT_EQ(nullptr, new SharedMemWrapper(nullptr));
    EXPECT_EQ(nullptr, new (std::nothrow) SharedMemWrapper(nullptr));
}

}  // namespace
