#pragma once
// One raw block drawn once from the manager of a heap number and held until destruction.
// The content is not initialised. Holds no lock: the owner serialises access.
#include <cstdint>
#include <type_traits>

#include "jlib/JHeap.h"

namespace JLIB {

template <typename T>
class JBuffer {
    static_assert(std::is_trivial_v<T>, "JBuffer hands out uninitialised raw storage");

public:
    // Stays empty (null, size 0) when the heap number has no manager or the block is refused.
    // `tag` is borrowed and may be null. `size` counts elements.
    JBuffer(HeapId heap, uint32_t size, const char* tag) : m_heap(heap), m_pTag(tag)
    {
        IHeapManager* manager = GetHeapManager(m_heap);
        if (!manager || size == 0) return;
        const uint64_t bytes = uint64_t{size} * sizeof(T);
        if (bytes > 0xFFFFFFFFull) return; // the manager takes a 32-bit size; never hand out less
        void* block = manager->allocateMemory(static_cast<uint32_t>(bytes), GetHeapDebugOutputMode(m_heap), m_pTag);
        if (!block) return;
        m_pBlock = static_cast<T*>(block);
        m_size = size;
    }

    virtual ~JBuffer()
    {
        if (!m_pBlock) return;
        IHeapManager* manager = GetHeapManager(m_heap);
        if (manager) (void)manager->freeMemory(m_pBlock, GetHeapDebugOutputMode(m_heap)); // nothing to do on refusal
        m_pBlock = nullptr;
        m_size = 0;
    }

    JBuffer(const JBuffer&) = delete;
    JBuffer& operator=(const JBuffer&) = delete;

    T* pointer() const { return m_pBlock; }
    uint32_t size() const { return m_size; }
    bool isValid() const { return m_pBlock != nullptr; }

private:
    HeapId m_heap;
    const char* m_pTag;
    T* m_pBlock = nullptr;
    uint32_t m_size = 0;
};

}  // namespace JLIB
