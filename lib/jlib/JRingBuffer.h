#pragma once
// Ring of records over storage taken once by initialize(); when full, a push drops the oldest
// record to take the new one. Holds no lock: the owner serialises access.
#include <cstdint>

#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace JLIB {

template <typename T>
class JRingBuffer {
public:
    static constexpr JResult kBadIndex = 0x80000001u;      // also initialize with capacity 0
    static constexpr JResult kNoStorage = 0x80000002u;     // initialize could not get storage
    static constexpr JResult kNotInitialized = 0x80000003u;

    JRingBuffer() = default;
    virtual ~JRingBuffer() { (void)finalize(); } // always 0

    JRingBuffer(const JRingBuffer&) = delete;
    JRingBuffer& operator=(const JRingBuffer&) = delete;

    // Drops any earlier storage and records, then takes `capacity` places from `heap`.
    [[nodiscard]] JResult initialize(HeapId heap, uint32_t capacity)
    {
        (void)finalize(); // always 0
        if (capacity == 0) return kBadIndex;
        m_heap = heap;
        T* storage = JNew<T>(heap, "JLIB::JRingBuffer", capacity);
        if (!storage) return kNoStorage;
        m_pStorage = storage;
        m_capacity = capacity;
        m_state = kStateOwned;
        return kOk;
    }

    // Releases storage made by initialize(); the heap number stays.
    JResult finalize()
    {
        if (m_state == kStateOwned && m_pStorage) (void)JDelete(m_pStorage); // only fails for a foreign block
        m_pStorage = nullptr;
        m_capacity = 0;
        m_count = 0;
        m_write = 0;
        m_oldest = 0;
        m_state = kStateNone;
        return kOk;
    }

    [[nodiscard]] JResult push(T record)
    {
        if (!m_pStorage) return kNotInitialized;
        if (isFull()) {
            incPtr(m_oldest);
            --m_count;
        }
        m_pStorage[m_write] = record;
        incPtr(m_write);
        ++m_count;
        return kOk;
    }

    // Index 0 is the oldest record, size() - 1 the newest. An index without a counted record
    // (not below size()) yields a default record with kBadIndex rather than a stale place.
    [[nodiscard]] JResult at(uint32_t index, T& out) const
    {
        if (!m_pStorage) {
            out = T();
            return kNotInitialized;
        }
        if (index >= m_count) {
            out = T();
            return kBadIndex;
        }
        uint32_t place = m_oldest + index;
        if (place >= m_capacity) place -= m_capacity;
        out = m_pStorage[place];
        return kOk;
    }

    uint32_t size() const { return m_count; }
    uint32_t capacity() const { return m_capacity; }
    bool isFull() const { return m_count == m_capacity; }

    // Resets the counters only; the storage and the old copies in it stay.
    JResult clear()
    {
        m_count = 0;
        m_write = 0;
        m_oldest = 0;
        return kOk;
    }

    void incPtr(uint32_t& position) const
    {
        ++position;
        if (position >= m_capacity) position = 0;
    }

private:
    static constexpr uint32_t kStateNone = 0;
    static constexpr uint32_t kStateOwned = 2;

    T* m_pStorage = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_count = 0;
    uint32_t m_write = 0;
    uint32_t m_oldest = 0;
    uint32_t m_state = kStateNone;
    HeapId m_heap = 0;
};

}  // namespace JLIB
