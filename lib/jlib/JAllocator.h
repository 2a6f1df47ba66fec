#pragma once
// Allocator for standard-library containers that draws from the manager of a heap number and
// labels every block with a tag. Never throws: a refused block is answered with null.
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "jlib/JHeap.h"

namespace JLIB {

template <typename T>
class JAllocator {
public:
    using value_type = T;
    using pointer = T*;
    using const_pointer = const T*;
    using reference = T&;
    using const_reference = const T&;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;

    template <typename U>
    struct rebind {
        using other = JAllocator<U>;
    };

    // `tag` is borrowed and must outlive every allocation; null stands for "JAllocator".
    explicit JAllocator(HeapId heap = 0, const char* tag = nullptr) : m_pTag(tag), m_heap(heap) {}

    template <typename U>
    JAllocator(const JAllocator<U>& other) : m_pTag(other.getObjectName()), m_heap(other.getHeapId())
    {
    }

    const char* getObjectName() const { return m_pTag; }
    HeapId getHeapId() const { return m_heap; }

    // Falls back to the global heap manager when the heap number has none.
    IHeapManager* getHeapManager() const
    {
        IHeapManager* manager = GetHeapManager(m_heap);
        return manager ? manager : GetGlobalHeapManager();
    }

    // A byte total that does not fit the manager's 32-bit size is refused, never cut short.
    T* allocate(size_type count, const void* hint = nullptr)
    {
        (void)hint;
        const uint64_t bytes = uint64_t{count} * sizeof(T);
        if (count > 0xFFFFFFFFu || bytes > 0xFFFFFFFFull) return nullptr;
        void* block = getHeapManager()->allocateMemory(static_cast<uint32_t>(bytes), GetHeapDebugOutputMode(m_heap),
                                                       m_pTag ? m_pTag : "JAllocator");
        return static_cast<T*>(block);
    }

    void deallocate(T* block, size_type count)
    {
        (void)count;
        if (!block) return;
        (void)getHeapManager()->freeMemory(block, GetHeapDebugOutputMode(m_heap)); // nothing to do on refusal
    }

    void construct(T* place, const T& value) { ::new (static_cast<void*>(place)) T(value); }
    void destroy(T* place) { place->~T(); }

    size_type max_size() const { return getHeapManager()->getMaxBlock() / sizeof(T); }

private:
    const char* m_pTag;
    HeapId m_heap;
};

// Blocks of one heap number may be released by any allocator of that number.
template <typename T, typename U>
bool operator==(const JAllocator<T>& a, const JAllocator<U>& b)
{
    return a.getHeapId().id() == b.getHeapId().id();
}

template <typename T, typename U>
bool operator!=(const JAllocator<T>& a, const JAllocator<U>& b)
{
    return !(a == b);
}

}  // namespace JLIB
