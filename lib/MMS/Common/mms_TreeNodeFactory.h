#pragma once
// The node factory of a root and the child lists of its collection nodes. Neither holds an
// absolute address inside a tree: list entries are offsets from the list itself and nodes made in
// a node area lie back to back in it, so a tree can be copied byte for byte or seen at another
// address. No locks: used under the locks of the field that owns the root.
#include <cstdint>
#include <new>

#include "mms_Result.h"
#include "mms_SharedMemWrapper.h"

class JVariant;

namespace MMS {

class Collection;
class Parameter;

// The child list of a collection node: a table of signed 64-bit offsets of the child nodes, the
// table itself also an offset, both counted from the list object. No virtual functions, embedded
// in the node; copying it elsewhere would break the offsets, so it is not copyable.
class NodeItemList {
public:
    NodeItemList() = default;
    NodeItemList(const NodeItemList&) = delete;
    NodeItemList& operator=(const NodeItemList&) = delete;

    // Grows the table by one entry through wrapper. 0x80000001 without wrapper, 0x80000002
    // without node or when the table cannot grow further, 0x80000003 without memory (the list is
    // then as it was).
    [[nodiscard]] uint32_t append(SharedMemWrapper* wrapper, void* node);
    uint32_t getNum() const { return m_count; }
    // The node at that position; null past the end or without a table.
    void* get(uint32_t index) const;
    // Frees the table through wrapper and empties the list; without wrapper nothing happens. 0.
    uint32_t clear(SharedMemWrapper* wrapper);

private:
    int64_t* table() const;

    uint32_t m_count = 0;
    int64_t m_table = 0;  // offset of the entry table from this object; 0: none
};

// The node factory of one root. Both maxima 0: every node is allocated by itself with its class
// allocator (heap mode). Otherwise the nodes are placed back to back, in creation order, in one
// cleared node area taken from the definition memory, so that the whole definition can be copied,
// restored or joined by another root. A joined area belongs to another root: no node is made in
// it and it is never freed here.
//
// The node classes are parameters so that the placement rules stand apart from the nodes:
// CollectionNode is constructed as (uint32_t* result, name, arraySize), ParameterNode as
// (uint32_t* result, name, arraySize, type, minimum, maximum, default, step, nominal, unitOffset,
// unitSize, scaling, kind, nameFormatOffset, nameFormatSize); a result with bit 31 set discards
// the node. Both give back what they hold outside their record with releaseItems(wrapper) and
// have class allocators that give null instead of throwing. A node record takes the class size
// rounded up to the stricter alignment of the two, so every record in the area is aligned.
template <class CollectionNode, class ParameterNode>
class BasicTreeNodeCollector {
public:
    BasicTreeNodeCollector() = default;
    // Frees nothing: the root gives an owned area back with destroy and its wrapper first.
    virtual ~BasicTreeNodeCollector() = default;

    BasicTreeNodeCollector(const BasicTreeNodeCollector&) = delete;
    BasicTreeNodeCollector& operator=(const BasicTreeNodeCollector&) = delete;

    static constexpr uint32_t recordAlignment()
    {
        return alignof(CollectionNode) > alignof(ParameterNode) ? alignof(CollectionNode) : alignof(ParameterNode);
    }
    static constexpr uint32_t collectionRecordSize() { return roundUp(sizeof(CollectionNode)); }
    static constexpr uint32_t parameterRecordSize() { return roundUp(sizeof(ParameterNode)); }

    // Sizes the factory: both maxima 0 selects heap mode (*areaOut false, no area); otherwise
    // *areaOut is true and an area for the maxima is taken and cleared. 0x80000002 for a null
    // output, a joined factory or an area beyond 32 bits; else allocMemoryPool's result.
    [[nodiscard]] uint32_t createMemoryArea(bool* areaOut, SharedMemWrapper* wrapper, uint32_t maxCollections,
                                            uint32_t maxParameters)
    {
        if (areaOut == nullptr || m_owner == 0) return kMmsBadArgument;
        if (maxCollections == 0 && maxParameters == 0) {
            *areaOut = false;
            return kMmsOk;
        }
        const uint64_t size = static_cast<uint64_t>(maxCollections) * collectionRecordSize() +
                              static_cast<uint64_t>(maxParameters) * parameterRecordSize();
        if (size > 0xFFFFFFFFu) {
            *areaOut = false;
            return kMmsBadArgument;
        }
        *areaOut = true;
        const uint32_t result = allocMemoryPool(wrapper, static_cast<uint32_t>(size));
        if (mmsIsFailure(result)) return result;
        m_maxCollections = maxCollections;
        m_maxParameters = maxParameters;
        return kMmsOk;
    }

    // Takes a cleared area of size bytes. 0x80000009 when an area exists, 0x80000003 without
    // wrapper or memory.
    [[nodiscard]] uint32_t allocMemoryPool(SharedMemWrapper* wrapper, uint32_t size)
    {
        if (m_pArea != nullptr) return kMmsAlreadyPresent;
        if (wrapper == nullptr) return kMmsNoMemory;
        void* area = wrapper->malloc(size);
        if (area == nullptr) return kMmsNoMemory;
        (void)mmsMemset(area, 0, size);  // area and size are non-zero here
        m_pArea = static_cast<unsigned char*>(area);
        m_areaSize = size;
        return kMmsOk;
    }

    // An owned copy of a saved area. 0x80000002 for no image or size 0; else allocMemoryPool's.
    [[nodiscard]] uint32_t restore(SharedMemWrapper* wrapper, const unsigned char* image, uint32_t size)
    {
        if (image == nullptr || size == 0) return kMmsBadArgument;
        const uint32_t result = allocMemoryPool(wrapper, size);
        if (mmsIsFailure(result)) return result;
        (void)mmsMemcpy(m_pArea, image, size);  // both pointers are valid
        return kMmsOk;
    }

    // Adopts another root's area without owning it (kept alive by that root). 0x80000002 for no
    // area or size 0, 0x80000009 when an area exists.
    [[nodiscard]] uint32_t joint(const unsigned char* area, uint32_t size)
    {
        if (area == nullptr || size == 0) return kMmsBadArgument;
        if (m_pArea != nullptr) return kMmsAlreadyPresent;
        m_pArea = const_cast<unsigned char*>(area);
        m_areaSize = size;
        m_owner = 0;
        return kMmsOk;
    }

    // A new collection node, or null (joined area, exhausted area, no memory, refused by the node).
    CollectionNode* create(const char* name, uint32_t arraySize)
    {
        return makeNode<CollectionNode>(kCollection, name, arraySize);
    }

    // A new parameter node, or null as above.
    ParameterNode* create(const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum,
                          JVariant* defaultValue, JVariant* step, JVariant* nominal, uint32_t unitOffset,
                          uint32_t unitSize, uint32_t scaling, uint32_t kind, uint32_t nameFormatOffset,
                          uint32_t nameFormatSize)
    {
        return makeNode<ParameterNode>(kParameter, name, arraySize, type, minimum, maximum, defaultValue, step,
                                       nominal, unitOffset, unitSize, scaling, kind, nameFormatOffset,
                                       nameFormatSize);
    }

    // Undoes the last node made in the area, once: its items are given back through wrapper, its
    // record cleared and its count lowered. 0x8000 when there is none (heap mode included).
    uint32_t removeLastItem(SharedMemWrapper* wrapper)
    {
        if (m_pLastNode == nullptr) return kMmsFound;
        uint32_t recordSize = 0;
        if (m_lastKind == kParameter) {
            auto* node = static_cast<ParameterNode*>(m_pLastNode);
            (void)node->releaseItems(wrapper);  // a leaf holds nothing outside its record
            node->~ParameterNode();
            recordSize = parameterRecordSize();
            --m_parameters;
        } else if (m_lastKind == kCollection) {
            auto* node = static_cast<CollectionNode*>(m_pLastNode);
            (void)node->releaseItems(wrapper);  // gives its child lists back; nothing to undo on failure
            node->~CollectionNode();
            recordSize = collectionRecordSize();
            --m_collections;
        } else {
            return kMmsMissing;
        }
        (void)mmsMemset(m_pLastNode, 0, recordSize);  // a record is never empty
        m_pLastNode = nullptr;
        return kMmsOk;
    }

    // Frees an owned area through wrapper and returns to the empty state; a joined area is only
    // forgotten. 0x80000001 for an owned area without wrapper (everything kept).
    [[nodiscard]] uint32_t releaseMemoryArea(SharedMemWrapper* wrapper)
    {
        if (m_pArea != nullptr && m_owner != 0) {
            if (wrapper == nullptr) return kMmsMissing;
            (void)wrapper->free(m_pArea);  // always 0
        }
        m_owner = 1;
        m_maxCollections = 0;
        m_maxParameters = 0;
        m_collections = 0;
        m_parameters = 0;
        m_pLastNode = nullptr;
        m_lastKind = kCollection;
        m_pArea = nullptr;
        m_areaSize = 0;
        return kMmsOk;
    }

    // releaseMemoryArea; always 0.
    uint32_t destroy(SharedMemWrapper* wrapper)
    {
        (void)releaseMemoryArea(wrapper);  // without wrapper an owned area stays with the factory
        return kMmsOk;
    }

    const unsigned char* getNodeListPointer() const { return m_pArea; }
    // The area's size: the maxima's records, a restored image's size or a joined area's size.
    uint32_t getNodeListSize() const { return m_areaSize; }
    uint32_t getMaxCollNodeNum() const { return m_maxCollections; }
    uint32_t getMaxPrmNodeNum() const { return m_maxParameters; }

private:
    static constexpr uint8_t kCollection = 0;
    static constexpr uint8_t kParameter = 1;

    static constexpr uint32_t roundUp(std::size_t size)
    {
        return static_cast<uint32_t>((size + recordAlignment() - 1) / recordAlignment() * recordAlignment());
    }

    template <class Node, class... Args>
    Node* makeNode(uint8_t kind, Args... args)
    {
        if (m_owner == 0) return nullptr;
        uint32_t result = kMmsMissing;
        if (m_maxCollections == 0 && m_maxParameters == 0) {
            Node* node = new (std::nothrow) Node(&result, args...);
            if (node == nullptr) return nullptr;
            if (mmsIsFailure(result)) {
                delete node;
                return nullptr;
            }
            return node;
        }
        if (m_pArea == nullptr) return nullptr;
        const bool collection = kind == kCollection;
        if (collection ? m_collections >= m_maxCollections : m_parameters >= m_maxParameters) return nullptr;
        // Fits: the area was sized for the maxima.
        unsigned char* slot = m_pArea + m_collections * collectionRecordSize() + m_parameters * parameterRecordSize();
        Node* node = ::new (static_cast<void*>(slot)) Node(&result, args...);
        if (mmsIsFailure(result)) {
            // Leaves no trace: the record is cleared as it was before.
            node->~Node();
            (void)mmsMemset(slot, 0, collection ? collectionRecordSize() : parameterRecordSize());
            return nullptr;
        }
        m_pLastNode = node;
        m_lastKind = kind;
        if (collection) {
            ++m_collections;
        } else {
            ++m_parameters;
        }
        return node;
    }

    uint8_t m_owner = 1;
    uint32_t m_maxCollections = 0;
    uint32_t m_maxParameters = 0;
    uint32_t m_collections = 0;
    uint32_t m_parameters = 0;
    void* m_pLastNode = nullptr;  // only nodes in the area
    uint8_t m_lastKind = kCollection;
    unsigned char* m_pArea = nullptr;  // owned, or another root's when m_owner is 0
    uint32_t m_areaSize = 0;
};

// The node factory of a root. The node classes need only be complete where the factory is sized
// or a node is made or undone (createMemoryArea, create, removeLastItem, the record sizes).
using TreeNodeCollector = BasicTreeNodeCollector<Collection, Parameter>;

}  // namespace MMS
