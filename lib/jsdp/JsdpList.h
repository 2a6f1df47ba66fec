#pragma once
// A list of borrowed objects with a capacity fixed when it is built: its elements come from a pool
// allocated once, so pushing and removing never allocate. Iteration runs in insertion order and
// the loop body may remove the current object. Not locked: the manager's main lock guards it.
#include <cstdint>
#include <memory>
#include <new>

#include "jsdp/jsdp_types.h"

namespace JSDP {

template <typename T>
struct JsdpListElement {
    T* object = nullptr;
    JsdpListElement* next = nullptr;
};

// Has fetched the next element before the current one is looked at, so removing the current
// object leaves it in line with the shortened list.
template <typename T>
class JsdpIterator {
public:
    explicit JsdpIterator(JsdpListElement<T>* at) : m_current(at), m_next(at ? at->next : nullptr) {}
    T* operator*() const { return m_current->object; }
    JsdpIterator& operator++()
    {
        m_current = m_next;
        m_next = m_current ? m_current->next : nullptr;
        return *this;
    }
    bool operator!=(const JsdpIterator& other) const { return m_current != other.m_current; }

private:
    JsdpListElement<T>* m_current;
    JsdpListElement<T>* m_next;
};

template <typename T>
class JsdpList {
public:
    JsdpList() = default;
    JsdpList(const JsdpList&) = delete;
    JsdpList& operator=(const JsdpList&) = delete;

    // Builds an empty list of the given capacity, dropping what it held. 0, 0x80000002 for a
    // capacity of 0, 0x80000001 when the pool cannot be allocated.
    [[nodiscard]] JLIB::JResult initialize(uint32_t capacity)
    {
        release();
        if (capacity == 0) return kJsdpBadArgument;
        m_pool.reset(new (std::nothrow) JsdpListElement<T>[capacity]);
        if (!m_pool) return kJsdpLockFailed;
        m_capacity = capacity;
        for (uint32_t i = 0; i + 1 < capacity; ++i) m_pool[i].next = &m_pool[i + 1];
        m_spare = &m_pool[0];
        return JLIB::kOk;
    }
    // Builds the list full of objects[0], objects[1], ... in index order.
    [[nodiscard]] JLIB::JResult initializeFull(T* objects, uint32_t count)
    {
        JLIB_RETURN_IF_FAILED(initialize(count));
        for (uint32_t i = 0; i < count; ++i) (void)push(&objects[i]);  // the capacity is count
        return JLIB::kOk;
    }
    void release()
    {
        m_pool.reset();
        m_capacity = 0;
        m_size = 0;
        m_head = m_tail = m_spare = nullptr;
    }
    bool exists() const { return m_pool != nullptr; }

    // Appends at the tail; 0x80000000 when full or not built.
    [[nodiscard]] JLIB::JResult push(T* object)
    {
        if (!m_spare) return kJsdpFailed;
        JsdpListElement<T>* element = m_spare;
        m_spare = element->next;
        element->object = object;
        element->next = nullptr;
        if (m_tail) m_tail->next = element; else m_head = element;
        m_tail = element;
        ++m_size;
        return JLIB::kOk;
    }
    // Removes the head; 0x80000000 when empty.
    [[nodiscard]] JLIB::JResult pop()
    {
        if (!m_head) return kJsdpFailed;
        unlink(nullptr, m_head);
        return JLIB::kOk;
    }
    // The head object; null when empty.
    T* front() const { return m_head ? m_head->object : nullptr; }
    // Unlinks the first occurrence; 0x80000000 when absent.
    [[nodiscard]] JLIB::JResult remove(const T* object)
    {
        JsdpListElement<T>* previous = nullptr;
        for (JsdpListElement<T>* e = m_head; e; previous = e, e = e->next) {
            if (e->object == object) {
                unlink(previous, e);
                return JLIB::kOk;
            }
        }
        return kJsdpFailed;
    }
    bool contains(const T* object) const
    {
        for (JsdpListElement<T>* e = m_head; e; e = e->next) {
            if (e->object == object) return true;
        }
        return false;
    }
    uint32_t size() const { return m_size; }
    uint32_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }

    JsdpIterator<T> begin() const { return JsdpIterator<T>(m_head); }
    JsdpIterator<T> end() const { return JsdpIterator<T>(nullptr); }

private:
    // The element goes back to the spare chain at once: an iterator standing on it holds its
    // successor in its own member already.
    void unlink(JsdpListElement<T>* previous, JsdpListElement<T>* element)
    {
        JsdpListElement<T>* following = element->next;
        if (previous) previous->next = following; else m_head = following;
        if (m_tail == element) m_tail = previous;
        element->object = nullptr;
        --m_size;
        element->next = m_spare;
        m_spare = element;
    }

    std::unique_ptr<JsdpListElement<T>[]> m_pool;
    uint32_t m_capacity = 0;
    uint32_t m_size = 0;
    JsdpListElement<T>* m_head = nullptr;
    JsdpListElement<T>* m_tail = nullptr;
    JsdpListElement<T>* m_spare = nullptr;
};

}  // namespace JSDP
