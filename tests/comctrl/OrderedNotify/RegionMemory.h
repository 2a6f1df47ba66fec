#pragma once
// A memory provider that hands out 16-byte aligned blocks of one region, as a block shared between
// processes would, and counts what is still out. allocate fails from a chosen call on.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "MMS/Common/mms_ISharedMemory.h"

namespace orderednotifytest {

class RegionMemory : public MMS::ISharedMemory {
public:
    static constexpr size_t kSize = 16 * 1024;

    RegionMemory() { std::memset(m_region, 0xA5, sizeof(m_region)); }  // shows what was not cleared
    RegionMemory(const RegionMemory&) = delete;
    RegionMemory& operator=(const RegionMemory&) = delete;
    ~RegionMemory() = default;

    void* allocate(uint32_t size) override
    {
        if (m_calls++ >= m_failFrom) return nullptr;
        const size_t start = (m_used + 15) & ~size_t{15};
        if (size == 0 || start + size > kSize) return nullptr;
        m_used = start + size;
        m_blocks.push_back(Block{start, true});
        return m_region + start;
    }

    void deallocate(void* block) override
    {
        for (Block& b : m_blocks) {
            if (m_region + b.start == block && b.live) {
                b.live = false;
                return;
            }
        }
        ADD_FAILURE() << "deallocate of a block that is not out";
    }

    // Calls of allocate from this one on (counting from 0) give null.
    void failFrom(size_t call) { m_failFrom = call; }
    uint8_t* base() { return m_region; }
    // The block of the n-th successful allocation.
    uint8_t* block(size_t n) { return m_region + m_blocks.at(n).start; }
    size_t liveBlocks() const
    {
        size_t n = 0;
        for (const Block& b : m_blocks) n += b.live ? 1 : 0;
        return n;
    }

private:
    struct Block {
        size_t start;
        bool live;
    };
    alignas(16) uint8_t m_region[kSize];
    size_t m_used = 0;
    size_t m_calls = 0;
    size_t m_failFrom = SIZE_MAX;
    std::vector<Block> m_blocks;
};

}  // namespace orderednotifytest
