#pragma once
// A list of at most `capacity` entries whose storage is drawn once from the SCP heap, so adding
// and removing allocate nothing. Node i always holds object i; entries keep insertion order and
// the lowest free node is reused first. Not locked: the server's thread only.
#include <cstdint>

#include "jlib/JHeap.h"
#include "jlib/jlib_result.h"
#include "textcontrol/ScpHeap.h"

namespace SCP {

template <typename T>
class ScpList {
public:
    // Free while its object is null.
    struct ScpListItem {
        T* object = nullptr;
        ScpListItem* next = nullptr;
    };

    // Dereferencing a node without object (the tail, a freed or a null node) yields the
    // iterator's own default T instead of touching storage.
    class iterator {
    public:
        iterator() = default;
        explicit iterator(ScpListItem* node) : m_pNode(node) {}
        iterator(const iterator& other) : m_pNode(other.m_pNode) {}
        iterator& operator=(const iterator& other)
        {
            m_pNode = other.m_pNode;
            return *this;
        }

        T& operator*() { return hasObject() ? *m_pNode->object : m_default; }
        T* operator->() { return &**this; }
        iterator& operator++()
        {
            if (m_pNode) m_pNode = m_pNode->next;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_pNode == other.m_pNode; }
        bool operator!=(const iterator& other) const { return m_pNode != other.m_pNode; }

        bool hasObject() const { return m_pNode && m_pNode->object; }
        ScpListItem* node() const { return m_pNode; }

    private:
        ScpListItem* m_pNode = nullptr;
        T m_default;
    };

    explicit ScpList(uint32_t capacity = 0)
    {
        m_head.next = &m_tail;
        if (capacity != 0) (void)initialize(capacity);  // a list without storage refuses every push_back
    }
    // Nodes point into the list itself: never copied.
    ScpList(const ScpList&) = delete;
    ScpList& operator=(const ScpList&) = delete;
    virtual ~ScpList()
    {
        if (m_pObjects) (void)JLIB::JDelete(m_pObjects);  // freed through the heap that gave it
        if (m_pListInfo) (void)JLIB::JDelete(m_pListInfo);
    }

    // 0x80000000 for a capacity of 0, a list already set up, or no memory (nothing kept).
    [[nodiscard]] JLIB::JResult initialize(uint32_t capacity)
    {
        if (m_pObjects || m_pListInfo || capacity == 0) return JLIB::kFailed;
        T* objects = JLIB::JNew<T>(getScpHeapId(), "ScpList<T>::m_pObjects", capacity);
        ScpListItem* nodes = JLIB::JNew<ScpListItem>(getScpHeapId(), "ScpList<T>::m_pListInfo", capacity);
        if (!objects || !nodes) {
            if (objects) (void)JLIB::JDelete(objects);
            if (nodes) (void)JLIB::JDelete(nodes);
            return JLIB::kFailed;
        }
        m_pObjects = objects;
        m_pListInfo = nodes;
        m_capacity = capacity;
        return JLIB::kOk;
    }

    uint32_t capacity() const { return m_capacity; }
    iterator begin() { return iterator(m_head.next); }
    iterator end() { return iterator(&m_tail); }

    // Copies the value into the first free node and links it last; end() when full or not set up.
    iterator push_back(const T& value)
    {
        if (!m_pObjects) return end();
        ScpListItem* last = &m_head;
        while (last->next != &m_tail) last = last->next;
        for (uint32_t i = 0; i < m_capacity; ++i) {
            ScpListItem& node = m_pListInfo[i];
            if (node.object) continue;
            m_pObjects[i] = value;
            node.object = &m_pObjects[i];
            node.next = &m_tail;
            last->next = &node;
            return iterator(&node);
        }
        return end();
    }

    // Unlinks and frees the entry; the iterator to the entry that followed, or a copy of the
    // given iterator when its entry is not in the list.
    iterator erase(iterator position)
    {
        if (!position.hasObject()) return position;
        for (ScpListItem* previous = &m_head; previous->next != &m_tail; previous = previous->next) {
            ScpListItem* node = previous->next;
            if (node->object != position.node()->object) continue;
            previous->next = node->next;
            node->object = nullptr;
            node->next = nullptr;
            return iterator(previous->next);
        }
        return position;
    }

private:
    T* m_pObjects = nullptr;
    ScpListItem* m_pListInfo = nullptr;
    uint32_t m_capacity = 0;
    ScpListItem m_head;
    ScpListItem m_tail;
};

}  // namespace SCP
