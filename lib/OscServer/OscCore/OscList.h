#pragma once
// A list of at most `capacity` elements whose storage is drawn once from the OSC heap, so that
// adding and removing afterwards allocates nothing. Elements keep insertion order; a freed slot
// is reused, the lowest first. Not locked: one owner task.
#include <cstdint>

#include "OscServer/OscCore/OscSystem.h"
#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"

namespace JOSC {

template <typename T>
class OscList {
public:
    // One link per slot; a slot is in use exactly while its link has an object.
    struct OscListItem {
        T* object = nullptr;
        OscListItem* next = nullptr;
    };

    // A link and an element of its own, which stands in wherever the link has none (the end), so
    // that dereferencing the end never touches storage.
    class iterator {
    public:
        iterator() = default;
        explicit iterator(OscListItem* link) : m_pLink(link) {}

        T& operator*() { return (m_pLink && m_pLink->object) ? *m_pLink->object : m_default; }
        T* operator->() { return &**this; }
        iterator& operator++()
        {
            if (m_pLink) m_pLink = m_pLink->next;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_pLink == other.m_pLink; }
        bool operator!=(const iterator& other) const { return m_pLink != other.m_pLink; }

        OscListItem* link() const { return m_pLink; }

    private:
        OscListItem* m_pLink = nullptr;
        T m_default;
    };

    class const_iterator {
    public:
        const_iterator() = default;
        explicit const_iterator(const OscListItem* link) : m_pLink(link) {}
        const_iterator(const iterator& other) : m_pLink(other.link()) {}

        const T& operator*() const { return (m_pLink && m_pLink->object) ? *m_pLink->object : m_default; }
        const T* operator->() const { return &**this; }
        const_iterator& operator++()
        {
            if (m_pLink) m_pLink = m_pLink->next;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_pLink == other.m_pLink; }
        bool operator!=(const const_iterator& other) const { return m_pLink != other.m_pLink; }

    private:
        const OscListItem* m_pLink = nullptr;
        T m_default;
    };

    // Empty; then initialize(capacity), whose result is not kept: 0 leaves the list without storage.
    explicit OscList(uint32_t capacity = 0)
    {
        head.next = &tail;
        (void)initialize(capacity);  // a list without storage refuses every push_back
    }
    // The chain points into the list itself and into its one allocation: never copied or moved.
    OscList(const OscList&) = delete;
    OscList& operator=(const OscList&) = delete;
    virtual ~OscList()
    {
        if (m_pObjects) (void)JLIB::JDelete(m_pObjects);  // freed through the heap that gave it
        if (m_pListInfo) (void)JLIB::JDelete(m_pListInfo);
    }

    // Draws n elements and n links from the OSC heap. 0x80000000 when storage exists already, n
    // is 0 or either allocation fails (then nothing stays allocated).
    [[nodiscard]] JLIB::JResult initialize(uint32_t n)
    {
        if (m_pObjects || m_pListInfo || n == 0) return JLIB::kFailed;
        T* objects = JLIB::JNew<T>(getOscHeapId(), "OscList<T>::m_pObjects", n);
        OscListItem* links = JLIB::JNew<OscListItem>(getOscHeapId(), "OscList<T>::m_pListInfo", n);
        if (!objects || !links) {
            if (objects) (void)JLIB::JDelete(objects);
            if (links) (void)JLIB::JDelete(links);
            return JLIB::kFailed;
        }
        m_pObjects = objects;
        m_pListInfo = links;
        m_capacity = n;
        return JLIB::kOk;
    }

    // Copies the element into the lowest free slot and links it last. The end when there is no
    // storage or no free slot; nothing is stored then.
    iterator push_back(const T& element)
    {
        if (!m_pObjects) return end();
        OscListItem* last = &head;
        while (last->next != &tail) last = last->next;
        for (uint32_t slot = 0; slot < m_capacity; ++slot) {
            OscListItem& link = m_pListInfo[slot];
            if (link.object) continue;
            m_pObjects[slot] = element;
            link.object = &m_pObjects[slot];
            link.next = &tail;
            last->next = &link;
            return iterator(&link);
        }
        return end();
    }

    // Unlinks the element at the position and frees its slot; returns the position after it. A
    // position that is not in the chain (the end among them) comes back unchanged.
    iterator erase(iterator position)
    {
        for (OscListItem* previous = &head; previous->next != &tail; previous = previous->next) {
            OscListItem* link = previous->next;
            if (link != position.link()) continue;
            previous->next = link->next;
            link->object = nullptr;
            link->next = nullptr;
            return iterator(previous->next);
        }
        return position;
    }

    iterator begin() { return iterator(head.next); }
    iterator end() { return iterator(&tail); }
    const_iterator begin() const { return const_iterator(head.next); }
    const_iterator end() const { return const_iterator(&tail); }
    // Number of slots; 0 while there is no storage.
    uint32_t capacity() const { return m_capacity; }

private:
    T* m_pObjects = nullptr;
    OscListItem* m_pListInfo = nullptr;
    uint32_t m_capacity = 0;
    OscListItem head;
    OscListItem tail;
};

}  // namespace JOSC
