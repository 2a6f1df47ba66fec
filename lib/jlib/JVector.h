#pragma once
// Vector whose capacity is reserved once at construction and is then a hard limit: an append
// beyond it is refused, never answered by growing. Holds no lock: the owner serialises access.
#include <cstdint>
#include <iterator>
#include <new>
#include <utility>

#include "jlib/JAllocator.h"
#include "jlib/jlib_cfg.h"
#include "jlib/jlib_result.h"

namespace JLIB {

template <typename T>
class JVector {
public:
    using value_type = T;
    using allocator_type = JAllocator<T>;
    using iterator = T*;
    using const_iterator = const T*;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    static constexpr JResult kFull = 0x80000001u;      // push_back at capacity; clear failed to reserve
    static constexpr JResult kEmpty = 0x80000004u;     // erase on an empty vector
    static constexpr JResult kBadIndex = 0x80000005u;  // get beyond the held elements

    // A reservation the heap cannot serve leaves the vector without storage and capacity 0.
    JVector(uint32_t capacity, const JAllocator<T>& allocator) : m_allocator(allocator)
    {
        if (reserve(capacity)) m_fixedCapacity = m_storageCapacity;
    }

    JVector(const JVector& other) : m_allocator(other.m_allocator)
    {
        if (!reserve(other.m_storageCapacity)) return;
        for (const_iterator it = other.begin(); it != other.end(); ++it) {
            if (m_count >= m_storageCapacity) return; // cannot happen for a sound source
            appendCopy(*it);
        }
        m_fixedCapacity = m_storageCapacity;
    }

    // Keeps this vector's capacity and allocator: a larger source is cut to fit, without a report.
    JVector& operator=(const JVector& other)
    {
        if (this == &other) return *this;
        (void)clear(); // a failed re-reservation leaves capacity 0, so nothing below is taken
        for (const_iterator it = other.begin(); it != other.end(); ++it) {
            if (isFailure(push_back(*it))) break;
        }
        return *this;
    }

    virtual ~JVector()
    {
        destroyAll();
        if (m_pData) m_allocator.deallocate(m_pData, m_storageCapacity);
        m_pData = nullptr;
    }

    [[nodiscard]] JResult push_back(const T& element)
    {
        if (m_count >= m_fixedCapacity) return kFull;
        appendCopy(element);
        return kOk;
    }

    // Destroys every element and keeps the storage.
    virtual JResult clear()
    {
        destroyAll();
        if (m_storageCapacity < m_fixedCapacity && !reserve(m_fixedCapacity)) {
            m_fixedCapacity = 0;
            return kFull;
        }
        return kOk;
    }

    [[nodiscard]] JResult get(T& out, uint32_t index) const
    {
        if (index >= m_count) return kBadIndex;
        out = m_pData[index];
        return kOk;
    }

    // `position` must denote an element of this vector; `next` receives the position of the
    // element that followed it.
    [[nodiscard]] JResult erase(iterator position, iterator& next)
    {
        if (m_count == 0) return kEmpty;
        JLIB_ASSERT(position >= m_pData && position < m_pData + m_count);
        for (iterator it = position; it + 1 < m_pData + m_count; ++it) *it = std::move(*(it + 1));
        --m_count;
        m_allocator.destroy(m_pData + m_count);
        next = position;
        return kOk;
    }

    uint32_t size() const { return m_count; }
    uint32_t capacity() const { return m_storageCapacity; }
    JAllocator<T> get_allocator() const { return m_allocator; }

    virtual iterator begin() { return m_pData; }
    virtual const_iterator begin() const { return m_pData; }
    virtual iterator end() { return m_pData + m_count; }
    virtual const_iterator end() const { return m_pData + m_count; }
    virtual reverse_iterator rbegin() { return reverse_iterator(end()); }
    virtual const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    virtual reverse_iterator rend() { return reverse_iterator(begin()); }
    virtual const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

private:
    // Takes storage for `capacity` elements once; false when the heap refuses it.
    bool reserve(uint32_t capacity)
    {
        if (capacity <= m_storageCapacity) return true;
        if (capacity > m_allocator.max_size()) return false;
        T* data = m_allocator.allocate(capacity);
        if (!data) return false;
        for (uint32_t i = 0; i < m_count; ++i) {
            ::new (static_cast<void*>(data + i)) T(std::move(m_pData[i]));
            m_allocator.destroy(m_pData + i);
        }
        if (m_pData) m_allocator.deallocate(m_pData, m_storageCapacity);
        m_pData = data;
        m_storageCapacity = capacity;
        return true;
    }

    void appendCopy(const T& element)
    {
        m_allocator.construct(m_pData + m_count, element);
        ++m_count;
    }

    void destroyAll()
    {
        while (m_count > 0) {
            --m_count;
            m_allocator.destroy(m_pData + m_count);
        }
    }

    JAllocator<T> m_allocator;
    T* m_pData = nullptr;
    uint32_t m_count = 0;
    uint32_t m_storageCapacity = 0;
    uint32_t m_fixedCapacity = 0;
};

}  // namespace JLIB
