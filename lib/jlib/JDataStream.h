#pragma once
// Bounded first-in first-out store over a circular array taken once by initialize().
// A full stream refuses pushes, never overwrites. Holds no lock: the owner serialises access.
#include <cstdint>

#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace JLIB {

template <typename T>
class JDataStream {
public:
    static constexpr JResult kFull = 0x80000001u;          // push (one), pushAll without room
    static constexpr JResult kBadArgument = 0x80000002u;   // null array, initialize with capacity 0
    static constexpr JResult kNoStorage = 0x80000003u;     // initialize could not get storage

    JDataStream() = default;
    virtual ~JDataStream() { (void)deleteIntBuffer(); } // always 0

    JDataStream(const JDataStream&) = delete;
    JDataStream& operator=(const JDataStream&) = delete;

    // Drops any earlier storage and content, then takes `capacity` places from `heap`.
    [[nodiscard]] JResult initialize(HeapId heap, uint32_t capacity)
    {
        (void)deleteIntBuffer(); // always 0; leaves the stream without storage
        m_heap = heap;
        if (capacity == 0) return kBadArgument;
        T* storage = JNew<T>(heap, "JLIB::JDataStream", capacity);
        if (!storage) return kNoStorage;
        m_pStorage = storage;
        m_capacity = capacity;
        m_state = kStateOwned;
        return kOk;
    }

    [[nodiscard]] JResult push(const T& element)
    {
        if (isFull()) return kFull;
        m_pStorage[m_write] = element;
        ++m_count;
        advance(m_write);
        return kOk;
    }

    // All or nothing: stores every element or, when they do not all fit, none.
    [[nodiscard]] JResult pushAll(const T* elements, uint32_t count)
    {
        if (!elements) return kBadArgument;
        if (count > getRemainSize()) return kFull;
        for (uint32_t i = 0; i < count; ++i) storeOne(elements[i]);
        return kOk;
    }

    // Stores as many as fit; 0 also when fewer or none were stored (see *stored).
    [[nodiscard]] JResult push(const T* elements, uint32_t count, uint32_t* stored = nullptr)
    {
        if (stored) *stored = 0;
        if (!elements) return kBadArgument;
        const uint32_t n = count < getRemainSize() ? count : getRemainSize();
        for (uint32_t i = 0; i < n; ++i) storeOne(elements[i]);
        if (stored) *stored = n;
        return kOk;
    }

    // On an empty stream answers 0 and leaves `out` untouched.
    [[nodiscard]] JResult pop(T& out)
    {
        if (isEmpty()) return kOk;
        out = m_pStorage[m_read];
        --m_count;
        advance(m_read);
        return kOk;
    }

    [[nodiscard]] JResult pop(T* out, uint32_t count, uint32_t* taken = nullptr)
    {
        if (taken) *taken = 0;
        if (!out) return kBadArgument;
        uint32_t n = 0;
        while (n < count && !isEmpty()) {
            out[n++] = m_pStorage[m_read];
            --m_count;
            advance(m_read);
        }
        if (taken) *taken = n;
        return kOk;
    }

    bool isEmpty() const { return m_count == 0; }
    // A stream without storage is empty and full at once.
    bool isFull() const { return m_count == m_capacity; }
    uint32_t getRemainSize() const { return m_capacity - m_count; }
    uint32_t getDataSize() const { return m_count; }
    // Start of the storage: after clear() pushes fill it contiguously from here.
    T* getPointer() const { return m_pStorage; }

    // Resets the counters only; earlier elements stay in their places until overwritten.
    JResult clear()
    {
        m_count = 0;
        m_write = 0;
        m_read = 0;
        return kOk;
    }

    // Releases storage made by initialize() and leaves the stream without storage, so a
    // second call or a later push cannot touch the freed block.
    JResult deleteIntBuffer()
    {
        if (m_state == kStateOwned && m_pStorage) (void)JDelete(m_pStorage); // only fails for a foreign block
        m_pStorage = nullptr;
        m_capacity = 0;
        m_count = 0;
        m_write = 0;
        m_read = 0;
        m_state = kStateNone;
        return kOk;
    }

private:
    static constexpr uint32_t kStateNone = 1;
    static constexpr uint32_t kStateOwned = 3;

    void storeOne(const T& element)
    {
        m_pStorage[m_write] = element;
        ++m_count;
        advance(m_write);
    }

    void advance(uint32_t& position) const
    {
        ++position;
        if (position >= m_capacity) position = 0;
    }

    T* m_pStorage = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint32_t m_write = 0;
    uint32_t m_read = 0;
    uint32_t m_state = kStateNone;
    HeapId m_heap = 0;
};

}  // namespace JLIB
