#pragma once
// Heap numbers, heap managers and the JNew/JDelete array templates.
// The registry is set up on first use and only read afterwards; any task may allocate.
#include <cstddef>
#include <cstdint>
#include <new>

namespace JLIB {

// A heap number 0..31; larger numbers are accepted and simply have no manager.
class HeapId {
public:
    constexpr HeapId(unsigned char id = 0) : m_id(id) {}
    constexpr operator unsigned char() const { return m_id; }
    constexpr unsigned char id() const { return m_id; }

private:
    unsigned char m_id;
};

class IHeapManager {
public:
    IHeapManager() = default;
    virtual const char* getName() const = 0;
    virtual uint32_t getMaxBlock() const = 0;
    virtual void* allocateMemory(uint32_t size, bool debug, const char* tag) = 0;
    virtual uint32_t freeMemory(void* block, bool debug) = 0;
    virtual ~IHeapManager() = 0;
};

// The manager of heap number 0, over malloc and free.
class GlobalHeapManagerBase : public IHeapManager {
public:
    const char* getName() const override;
    uint32_t getMaxBlock() const override;
    void* allocateMemory(uint32_t size, bool debug, const char* tag) override;
    uint32_t freeMemory(void* block, bool debug) override;
    ~GlobalHeapManagerBase() override;
    // Trace sink; ignores its arguments here, a derived manager overrides it to show them.
    virtual int debugOutput(const char* format, ...) __attribute__((format(printf, 2, 3)));

    int debugOutputOnAllocate(void* block, uint32_t size, bool debug, const char* tag);
    int debugOutputOnFree(void* block, bool debug);
};

constexpr unsigned kHeapSlots = 32;
constexpr uint32_t kMaxJNewCount = 0xFFFFFF;
constexpr uint32_t kHeapHeaderSize = 8;

[[nodiscard]] uint32_t SubscribeHeapId(HeapId id, IHeapManager& manager);
IHeapManager* GetHeapManager(HeapId id);
uint32_t SetHeapDebugOutput(HeapId id, bool on);
bool GetHeapDebugOutputMode(HeapId id);
IHeapManager* GetGlobalHeapManager();

namespace detail {
// Draws a block with its header written; null when the heap, count or size is refused.
void* allocateWithHeader(HeapId id, const char* tag, uint32_t count, size_t elementSize);
// Reads a header: the heap number and element count of a JNew pointer.
void readHeader(const void* elements, unsigned char* heap, uint32_t* count);
uint32_t freeWithHeader(void* elements);
}  // namespace detail

template <typename T>
T* JNew(HeapId id, const char* tag, uint32_t count)
{
    static_assert(alignof(T) <= 8, "JNew places elements 8 bytes past a 16-byte aligned block");
    void* mem = detail::allocateWithHeader(id, tag, count, sizeof(T));
    if (!mem) return nullptr;
    T* first = static_cast<T*>(mem);
    for (uint32_t i = 0; i < count; ++i) new (first + i) T();
    return first;
}

template <typename T>
T* JNew(HeapId id, const char* tag, uint32_t count, const T& initial)
{
    static_assert(alignof(T) <= 8, "JNew places elements 8 bytes past a 16-byte aligned block");
    void* mem = detail::allocateWithHeader(id, tag, count, sizeof(T));
    if (!mem) return nullptr;
    T* first = static_cast<T*>(mem);
    for (uint32_t i = 0; i < count; ++i) new (first + i) T(initial);
    return first;
}

// Destroys element 0 first, then hands the block back to the manager named in its header.
template <typename T>
uint32_t JDelete(T* elements)
{
    if (!elements) return 0x80000000u;
    unsigned char heap = 0;
    uint32_t count = 0;
    detail::readHeader(elements, &heap, &count);
    if (!GetHeapManager(heap)) return 0x80000000u;
    for (uint32_t i = 0; i < count; ++i) elements[i].~T();
    return detail::freeWithHeader(const_cast<void*>(static_cast<const void*>(elements)));
}

}  // namespace JLIB
