#pragma once
// A memory provider over one memfd mapped twice, at two different addresses, as two processes
// would see memory they share. The allocator's books live inside the memory itself (as offsets),
// so blocks taken through either view are known to both. A block is 16-byte aligned; giving back
// a block twice, or one this memory never gave, aborts the test program. Fresh blocks hold 0xEE.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "MMS/Common/mms_ISharedMemory.h"

namespace MmsTest {

class MemfdSharedMemory {
public:
    class View : public MMS::ISharedMemory {
    public:
        void* allocate(uint32_t size) override { return m_pOwner->allocate(m_index, size); }
        void deallocate(void* block) override { m_pOwner->deallocate(m_index, block); }

    private:
        friend class MemfdSharedMemory;
        MemfdSharedMemory* m_pOwner = nullptr;
        int m_index = 0;
    };

    explicit MemfdSharedMemory(uint32_t capacity = 1u << 20) : m_capacity(roundUp(capacity))
    {
        m_fd = memfd_create("mms-shared-test", MFD_CLOEXEC);
        if (m_fd < 0 || ftruncate(m_fd, static_cast<off_t>(m_capacity)) != 0) return;
        for (int i = 0; i < 2; ++i) {
            void* base = mmap(nullptr, m_capacity, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
            if (base == MAP_FAILED) return;
            m_base[i] = static_cast<unsigned char*>(base);
            m_views[i].m_pOwner = this;
            m_views[i].m_index = i;
        }
        auto* books = header();
        books->next = sizeof(Header);
        books->freeHead = 0;
        books->live = 0;
    }

    ~MemfdSharedMemory()
    {
        for (unsigned char* base : m_base) {
            if (base != nullptr) munmap(base, m_capacity);
        }
        if (m_fd >= 0) close(m_fd);
    }

    MemfdSharedMemory(const MemfdSharedMemory&) = delete;
    MemfdSharedMemory& operator=(const MemfdSharedMemory&) = delete;

    bool isValid() const { return m_base[0] != nullptr && m_base[1] != nullptr && m_base[0] != m_base[1]; }
    MMS::ISharedMemory* view(int index) { return &m_views[index]; }
    unsigned char* base(int index) const { return m_base[index]; }

    // The same byte seen through the other mapping.
    template <class T>
    T* inView(int index, T* address) const
    {
        if (address == nullptr) return nullptr;
        auto* bytes = reinterpret_cast<const unsigned char*>(address);
        const int from = contains(0, bytes) ? 0 : 1;
        if (!contains(from, bytes)) std::abort();
        return reinterpret_cast<T*>(m_base[index] + (bytes - m_base[from]));
    }

    bool contains(int index, const void* address) const
    {
        auto* bytes = static_cast<const unsigned char*>(address);
        return bytes >= m_base[index] && bytes < m_base[index] + m_capacity;
    }

    // Blocks given and not yet taken back, through either view.
    uint64_t liveBlocks() const { return header()->live; }
    // Lets the next allowed allocations succeed and refuses every one after them (-1: no limit).
    void refuseAfter(int allowed) { m_allowed = allowed; }
    int allocations() const { return m_allocations; }

private:
    struct Header {
        uint64_t next;      // first unused byte
        uint64_t freeHead;  // offset of the first free block's header, 0 for none
        uint64_t live;
        uint64_t pad;
    };
    struct BlockHeader {
        uint64_t size;  // payload bytes; top bit set while the block is free
        uint64_t nextFree;
    };
    static constexpr uint64_t kFree = 1ull << 63;

    static uint64_t roundUp(uint64_t size) { return (size + 15) / 16 * 16; }
    Header* header() const { return reinterpret_cast<Header*>(m_base[0]); }
    BlockHeader* blockAt(uint64_t offset) const { return reinterpret_cast<BlockHeader*>(m_base[0] + offset); }

    void* allocate(int index, uint32_t size)
    {
        ++m_allocations;
        if (m_allowed == 0) return nullptr;
        if (m_allowed > 0) --m_allowed;
        const uint64_t payload = roundUp(size == 0 ? 1 : size);
        Header* books = header();
        uint64_t* link = &books->freeHead;
        for (uint64_t at = *link; at != 0; at = *link) {
            BlockHeader* block = blockAt(at);
            if ((block->size & ~kFree) >= payload) {
                *link = block->nextFree;
                block->size &= ~kFree;
                block->nextFree = 0;
                ++books->live;
                return poisoned(m_base[index] + at + sizeof(BlockHeader), size);
            }
            link = &block->nextFree;
        }
        if (books->next + sizeof(BlockHeader) + payload > m_capacity) return nullptr;
        const uint64_t at = books->next;
        books->next += sizeof(BlockHeader) + payload;
        *blockAt(at) = BlockHeader{payload, 0};
        ++books->live;
        return poisoned(m_base[index] + at + sizeof(BlockHeader), size);
    }

    // Fresh blocks hold garbage, so a caller that forgets to clear one shows it.
    static void* poisoned(unsigned char* block, uint32_t size)
    {
        std::memset(block, 0xEE, size);
        return block;
    }

    void deallocate(int index, void* block)
    {
        if (block == nullptr) return;
        if (!contains(index, block)) std::abort();
        const uint64_t at = static_cast<uint64_t>(static_cast<unsigned char*>(block) - m_base[index]) -
                            sizeof(BlockHeader);
        BlockHeader* header_ = blockAt(at);
        if ((header_->size & kFree) != 0) std::abort();
        Header* books = header();
        header_->size |= kFree;
        header_->nextFree = books->freeHead;
        books->freeHead = at;
        --books->live;
    }

    uint64_t m_capacity;
    int m_fd = -1;
    unsigned char* m_base[2] = {nullptr, nullptr};
    View m_views[2];
    int m_allowed = -1;
    int m_allocations = 0;
};

}  // namespace MmsTest
