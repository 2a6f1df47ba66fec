#pragma once
// The inner node of a root's parameter tree: an array of identical elements, each holding the
// same parameter leaves and child collections. A collection lays out the memories of its root
// (values, dirty, import and serial numbers, tags, scalar numbers) and walks Fast addresses down
// the tree. It holds no pointer: both child lists keep offsets, so a finished tree can be copied
// byte for byte into a node area. No locks: used under the locks of the field that owns the root.
#include <cstdint>

#include "mms_Platform.h"
#include "mms_Result.h"
#include "mms_TreeNodeFactory.h"
#include "mms_Types.h"

namespace MMS {

class Parameter;
class SharedMemWrapper;
struct sharedRootInfo;

class Collection {
public:
    MMS_CLASS_ALLOCATORS

    // *result is 0 only for a name of 1 to 23 characters and an array size of 1 to 65535, else
    // 0x80000001 (the node factory then discards the node). result must not be null.
    Collection(uint32_t* result, const char* name, uint32_t arraySize);

    // Frees nothing: a tree goes away with release or releaseItems.
    ~Collection() = default;
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;

    // A tree whose nodes were allocated one by one: releases every parameter, then every child
    // collection, gives the child lists back through wrapper (the one they were grown through;
    // null keeps them) and frees this node. Always 0.
    uint32_t release(SharedMemWrapper* wrapper);
    // A tree in a node area: gives back the child lists of the subtree through wrapper, nodes stay
    // where they are. Always 0.
    uint32_t releaseItems(SharedMemWrapper* wrapper);

    // Append a built node here; *index receives its node index (parameters are numbered before
    // collections, so a new parameter moves the collections' indexes up by one). 0x80000002 for a
    // missing index or node, 0x80000009 for a name a child of either kind already has, the list's
    // failure (0x80000003 when it cannot grow).
    [[nodiscard]] uint32_t addCollection(uint32_t* index, SharedMemWrapper* wrapper, Collection* child);
    [[nodiscard]] uint32_t addPrm(uint32_t* index, SharedMemWrapper* wrapper, Parameter* parameter);
    // The same under the collection the address names (here when address is null or ends at
    // level). 0x80000008 as soon as the walk reaches level 5; 0x80000006 through a parameter or an
    // unknown node index; 0x80000001 for a missing node vector.
    [[nodiscard]] uint32_t addCollection(uint32_t* index, SharedMemWrapper* wrapper, Collection* child,
                                         const T_FAST_ADDRESS* address, uint32_t level);
    [[nodiscard]] uint32_t addPrm(uint32_t* index, SharedMemWrapper* wrapper, Parameter* parameter,
                                  const T_FAST_ADDRESS* address, uint32_t level);
    // Nodes are never removed from a tree: 0x8000000a.
    [[nodiscard]] uint32_t delCollection(const T_FAST_ADDRESS* address, uint32_t level);
    [[nodiscard]] uint32_t delPrm(const T_FAST_ADDRESS* address, uint32_t level);

    // Lays out the subtree at the given starts (relative to the enclosing parent element) and
    // gives the space the whole array takes: values, dirty, import and serial counts are per
    // element times the array size; tag bytes and scalar numbers describe the definition and are
    // not multiplied. 0x80000002 for a null output or a count beyond 32 bits; a parameter's or
    // child's failure as it is.
    [[nodiscard]] uint32_t setMemAddrInfo(uint32_t* dataSize, uint32_t* dirtyBits, uint32_t* importBits,
                                          uint32_t* serialCount, uint32_t* tagSize, uint32_t* scalarCount,
                                          uint32_t dataStart, uint32_t dirtyStart, uint32_t importStart,
                                          uint32_t serialStart, uint32_t tagStart, uint32_t scalarStart);
    // Counts the collections (this one included) and parameter nodes of the subtree; with assign
    // each collection stores its number relative to its parent (this one: number), so that the
    // sums along a path number the collections in pre-order. 0x80000002 for a null output.
    [[nodiscard]] uint32_t getCollNodeNum(uint32_t* collections, uint32_t* parameters, uint32_t number,
                                          uint32_t ignored, uint8_t assign);
    // Collection levels of the subtree, this one counted as 1.
    uint32_t getDepth() const;
    // Writes the "COL" and "PR" tags of the subtree into a root's tag memory (after the layout).
    // 0x80000001 without a tag base or before the layout; a tag writer's failure as it is.
    [[nodiscard]] uint32_t setImportTags(unsigned char* tagBase, uint32_t level) const;

    // Node information of this collection. Each gives 0x80000002 for a null output.
    [[nodiscard]] uint32_t getNodeName(char* buffer) const;
    // The name of the child with that node index; 0x80000001 when there is none.
    [[nodiscard]] uint32_t getChildNodeName(char* buffer, uint32_t nodeIndex) const;
    [[nodiscard]] uint32_t getNumOfChildNodes(uint32_t* count) const;
    // 1 at level 0, whatever the array size.
    [[nodiscard]] uint32_t getNodeArraySize(uint32_t* count, uint32_t level) const;
    // 0 for a collection (a parameter answers 1).
    [[nodiscard]] uint32_t getNodeCategory(uint32_t* category) const;
    // Parameter elements (serial numbers) in one element, descendants included.
    [[nodiscard]] uint32_t getNodePrmNum(uint32_t* count) const;
    [[nodiscard]] uint32_t getNodeDirtyBitNum(uint32_t* count) const;
    // Bytes of one element's values.
    [[nodiscard]] uint32_t getNodeDataSize(uint32_t* size) const;
    // *count becomes *count elements' bytes; 0x80000002 beyond 32 bits (unchanged then).
    [[nodiscard]] uint32_t getDataSize(uint32_t* count) const;

    // The same at the node an address names (this collection when address is null or ends at
    // level); 0x80000006 for an unknown node index or an address going on past a parameter,
    // 0x80000001 for a missing node vector.
    [[nodiscard]] uint32_t getNodeNameFast(char* buffer, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getChildNodeNameFast(char* buffer, uint32_t nodeIndex, const T_FAST_ADDRESS* address,
                                                uint32_t level) const;
    [[nodiscard]] uint32_t getNumOfChildNodesFast(uint32_t* count, const T_FAST_ADDRESS* address,
                                                  uint32_t level) const;
    [[nodiscard]] uint32_t getNodeArraySizeFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getNodeCategoryFast(uint32_t* category, const T_FAST_ADDRESS* address,
                                               uint32_t level) const;
    [[nodiscard]] uint32_t getNodePrmNumFast(uint32_t* count, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getNodeDirtyBitNumFast(uint32_t* count, const T_FAST_ADDRESS* address,
                                                  uint32_t level) const;
    [[nodiscard]] uint32_t getNodeDataSizeFast(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const;

    // Text below this collection ("Ch/Gain"; separator runs count as one, text after a parameter
    // name is ignored) to node indexes appended from entry *depth on. Length 0 is success with
    // nothing appended. 0x80000002 for null arguments or no room, 0x80000006 for an unknown name.
    [[nodiscard]] uint32_t cnvStrToFastAddr(uint32_t* nodeVector, uint32_t* depth, uint32_t capacity,
                                            const char* text, uint32_t length) const;
    // Reads the first name of text and finds that child: kind 0 parameter, 1 collection, its
    // position in its list and the text after the name and its separators. 0x80000002 for null
    // arguments or length 0, 0x80000007 when no child has that name.
    [[nodiscard]] uint32_t stringAddressReader(uint8_t* kind, uint32_t* listIndex, const char** rest,
                                               uint32_t* restLength, const char* text, uint32_t length) const;
    // The child whose name is exactly those nameLength characters, parameters first.
    // 0x80000002 for a null argument, 0x80000007 when there is none.
    [[nodiscard]] uint32_t searchedChildNode(uint8_t* kind, uint32_t* listIndex, const char* name,
                                             uint32_t nameLength) const;
    // Appends the names along the address to the text in buffer (not terminated here; the caller
    // clears the buffer first); with topName the top collection's name leads with "/".
    // 0x80000002 for a null buffer or a name that does not fit.
    [[nodiscard]] uint32_t cnvFastToStrAddr(char* buffer, uint32_t size, const T_FAST_ADDRESS* address,
                                            uint32_t level, uint8_t topName) const;
    // Adds to *size the characters cnvFastToStrAddr would append (no terminator).
    [[nodiscard]] uint32_t getStrAddrSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level,
                                          uint8_t topName) const;

    // Scalar number of the addressed node: base + the scalar starts along the path.
    [[nodiscard]] uint32_t cnvFastToScalarAddr(uint32_t* scalar, uint32_t base, const T_FAST_ADDRESS* address,
                                               uint32_t level) const;
    // Node indexes of the node with that scalar number (no array indexes). 0x80000002 for null
    // outputs or fewer than level + 1 entries, 0x80000007 for a number inside no node.
    [[nodiscard]] uint32_t cnvScalarToFastAddr(uint32_t* nodeVector, uint32_t* depth, uint32_t capacity,
                                               uint32_t scalar, uint32_t level) const;
    // 1 when the number lies below this collection's scalar range, 0 inside, 2 above.
    uint32_t isScalarRange(uint32_t scalar, uint32_t level) const;

    // Node and array indexes of the parameter element with that serial number. 0x80000002 for
    // null outputs or fewer than level + 1 entries, 0x80000007 for a number inside no element.
    [[nodiscard]] uint32_t cnvPrmIndexToFastAddr(uint32_t* nodeVector, uint32_t* indexVector, uint32_t* depth,
                                                 uint32_t capacity, uint32_t prmIndex, uint32_t level) const;
    // 1 when the number lies below the serial numbers of this collection's array, 0 inside, 2 above.
    uint32_t isPrmIndexRange(uint32_t prmIndex, uint32_t level) const;

    // Elements from the first index of this level to its last index (0xFFFFFFFF or no vector: to
    // the end of the array); 1 at level 0, when last is below first or first is past the end.
    uint32_t getChannelSize(const uint32_t* firstIndexes, const uint32_t* lastIndexes, uint32_t level) const;
    // 0 when index is below the element count of the level (1 at level 0), else 0x80000006.
    [[nodiscard]] uint32_t isChannelSize(uint32_t index, uint32_t level) const;

    // Moves a description of the whole root (filled by the root) to the addressed collection
    // element: pointers advance along the path; at the addressed collection below level 0 the
    // value, factor and task-list pointers are cleared and the sizes become one element's.
    // 0x80000002 for no record or an element outside its array, 0x80000006 through a parameter
    // or at a parameter, 0x80000001 for a missing vector.
    [[nodiscard]] uint32_t shareRoot(sharedRootInfo* info, const T_FAST_ADDRESS* address, uint32_t level) const;

    // The layouts recorded by setMemAddrInfo and getCollNodeNum, and the child lists.
    const char* getName() const { return m_name; }
    uint32_t getArraySize() const { return m_arraySize; }
    const T_ADDR_INFO& getDataInfo() const { return m_dataInfo; }
    const T_ADDR_INFO& getSerialInfo() const { return m_serialInfo; }
    const T_ADDR_INFO& getDirtyInfo() const { return m_dirtyInfo; }
    const T_ADDR_INFO& getImportInfo() const { return m_importInfo; }
    const T_ADDR_INFO& getTagInfo() const { return m_tagInfo; }
    const T_ADDR_INFO& getCollNumInfo() const { return m_collNumInfo; }
    const T_ADDR_INFO& getScalarInfo() const { return m_scalarInfo; }
    uint32_t getPrmCount() const { return m_parameters.getNum(); }
    uint32_t getCollectionCount() const { return m_collections.getNum(); }
    Parameter* getPrmItem(uint32_t listIndex) const;
    Collection* getCollectionItem(uint32_t listIndex) const;

    // One step of every Fast walk at this collection (level): *endsHere when the address is
    // missing or its depth is level; else the child named at entry level of the node vector, a
    // collection or a parameter. 0x80000001 for a missing node vector or list entry, 0x80000006
    // for a node index past the children.
    [[nodiscard]] uint32_t nextNode(bool* endsHere, Collection** collection, Parameter** parameter,
                                    const T_FAST_ADDRESS* address, uint32_t level) const;
    // Element of this collection that a memory-touching walk applies at level (0 at level 0).
    // 0x80000001 without an array-index vector, 0x80000002 for an index outside the array.
    [[nodiscard]] uint32_t elementIndex(uint32_t* element, const T_FAST_ADDRESS* address, uint32_t level) const;

private:
    template <class Node>
    [[nodiscard]] uint32_t appendNode(uint32_t* index, SharedMemWrapper* wrapper, NodeItemList& list, Node* node);
    [[nodiscard]] uint32_t findScalarAddr(uint32_t* listIndex, uint8_t kind, uint32_t scalar, uint32_t level) const;
    [[nodiscard]] uint32_t findPrmIndex(uint32_t* listIndex, uint8_t kind, uint32_t prmIndex, uint32_t level) const;

    char m_name[24];
    uint32_t m_arraySize;
    T_ADDR_INFO m_dataInfo;
    T_ADDR_INFO m_serialInfo;
    T_ADDR_INFO m_dirtyInfo;
    T_ADDR_INFO m_importInfo;
    T_ADDR_INFO m_tagInfo;
    T_ADDR_INFO m_collNumInfo;
    T_ADDR_INFO m_scalarInfo;
    NodeItemList m_collections;
    NodeItemList m_parameters;
};

}  // namespace MMS
