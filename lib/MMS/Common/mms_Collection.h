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

class JVariant;
class JVariantArray;

namespace MMS {

class IDirtyFlagHolder;
class ISetChecker;
class Parameter;
class SharedMemWrapper;
struct sharedRootInfo;
// Values, defaults and plug-in slots.
class ILinkPlugin;
class ProcessOption;
class SetOrderNotifyWrapper;
struct MMS_PLUGIN_STRUCT;
struct T_PRM_ATTRIB;

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

    // ---- Change and import flags, export and import (mms_CollectionFlags.cpp) ----
    // Bases: valueMemory points at the enclosing element of the parent (the root's value memory at
    // level 0) and moves by the value layout; dirtyBase and importBase are absolute bit numbers
    // that move by the dirty and import layouts; the dirty, searcher, flag and factor memories are
    // the root's origins (a factor byte sits at the position of its dirty bit); tagBase points at
    // the parent's tag block (the root's tag memory at level 0). Result bits: 0x100 a flag or
    // value changed, 0x200 an import flag was cleared, 0x1000 a summary bit above must stay,
    // 0x8000 a search found something.

    // Is the addressed parameter element or collection element changed; with clear, clear it (a
    // collection element is cleared whole). Summary bits above follow.
    [[nodiscard]] uint32_t isChanged(uint8_t* changed, const T_FAST_ADDRESS* address, uint32_t level, uint8_t clear,
                                     unsigned char* dirtyMemory, uint32_t dirtyBase) const;
    // changed = the bit; with clearCount above 0 and the bit set, clearCount bits from bit are cleared.
    [[nodiscard]] static uint32_t isChanged(uint8_t* changed, unsigned char* flagMemory, uint32_t bit,
                                            uint32_t clearCount);
    // 1 when a dirty bit of the element at dirtyBase (its summary bit) is still set other than its
    // own summary bit. The child just cleared (kind 0 parameter / 1 collection, listIndex,
    // arrayIndex) needs no special place: the element's bits are tested as one range.
    uint32_t isChildDirty(const unsigned char* dirtyMemory, uint32_t dirtyBase, uint32_t level, uint8_t kind,
                          uint32_t listIndex, uint32_t arrayIndex) const;
    // 1 when an element firstElement .. elementCount - 1 is flagged at base + its layout position.
    static uint32_t getChangedPrm(const unsigned char* flagMemory, uint32_t base, const T_ADDR_INFO& layout,
                                  uint32_t firstElement, uint32_t elementCount);
    // The next changed parameter element after startAddress in tree order (null or depth 0: from
    // the start): 0x8000 with the address in the outputs, 0 when none is left.
    [[nodiscard]] uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, uint32_t* nodeVector,
                                             uint32_t* indexVector, uint32_t* depth, uint32_t capacity,
                                             const T_FAST_ADDRESS* startAddress, uint32_t level, uint8_t clear,
                                             const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                             uint32_t dirtyBase, const unsigned char* factorMemory) const;
    // The next changed element along the address's node path, odometer order after the addressed
    // element. A collection element found answers an invalid value and its factor byte.
    [[nodiscard]] uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indexVector, uint32_t* depth,
                                           uint32_t capacity, const T_FAST_ADDRESS* address, uint32_t level,
                                           uint8_t clear, const unsigned char* valueMemory,
                                           unsigned char* dirtyMemory, uint32_t dirtyBase,
                                           const unsigned char* factorMemory) const;
    // The addressed collection element's import flag; with clear, that flag is cleared.
    [[nodiscard]] uint32_t isImported(uint8_t* imported, const T_FAST_ADDRESS* address, uint32_t level, uint8_t clear,
                                      unsigned char* searcherMemory, unsigned char* flagMemory,
                                      uint32_t importBase) const;
    // 1 when an element of a child collection of the element at importBase is flagged (a missing
    // child counts as flagged).
    uint32_t getChildImportFlag(const unsigned char* flagMemory, uint32_t importBase, uint32_t level) const;
    // The next imported collection element from startAddress; an element is reported before
    // anything imported below it. 0x8000 when found, 0 when none is left.
    [[nodiscard]] uint32_t getImportedCollectionAddr(uint32_t* nodeVector, uint32_t* indexVector, uint32_t* depth,
                                                     uint32_t capacity, const T_FAST_ADDRESS* startAddress,
                                                     uint32_t level, uint8_t clear, unsigned char* searcherMemory,
                                                     unsigned char* flagMemory, uint32_t importBase) const;

    // Sizes of an export of the addressed collection: its tag tree, plus the data of the range of
    // instances (last indexes 0xFFFFFFFF or none: to the end); 48 per ancestor with parents.
    [[nodiscard]] uint32_t getExportTagSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level,
                                            uint8_t withParents) const;
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, const T_FAST_ADDRESS* address,
                                             const uint32_t* lastIndexes, uint32_t level, uint32_t multiplier,
                                             uint8_t withParents) const;
    // Own tag size + count instances' bytes; 0x80000002 beyond 32 bits.
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, uint32_t count) const;
    // Writes the tag area and data area of an export image (host order) for a range of instances
    // of the addressed collection, within the capacities (0x80000002 when one is too small); the
    // factor bytes of the exported instances go to factorsOut (at most factorCapacity, may be
    // null). clearDirty / clearImport clear the exporting task's flags of what was written.
    [[nodiscard]] uint32_t exportData(unsigned char* tagOut, unsigned char* dataOut, uint32_t* tagSize,
                                      uint32_t* dataSize, unsigned char* factorsOut, uint32_t* factorCount,
                                      uint32_t factorCapacity, uint32_t tagCapacity, uint32_t dataCapacity,
                                      const T_FAST_ADDRESS* address, const uint32_t* lastIndexes, uint32_t level,
                                      uint32_t multiplier, uint8_t withParents, uint8_t clearDirty,
                                      uint8_t clearImport, const unsigned char* valueMemory,
                                      unsigned char* dirtyMemory, uint32_t dirtyBase, unsigned char* searcherMemory,
                                      unsigned char* flagMemory, uint32_t importBase,
                                      const unsigned char* factorMemory, const unsigned char* tagBase) const;
    [[nodiscard]] uint32_t exportDataLocal(unsigned char* tagOut, unsigned char* dataOut, uint32_t* tagSize,
                                           uint32_t* dataSize, unsigned char* factorsOut, uint32_t* factorCount,
                                           uint32_t factorCapacity, uint32_t tagCapacity, uint32_t dataCapacity,
                                           const T_FAST_ADDRESS* address, const uint32_t* lastIndexes, uint32_t level,
                                           uint8_t clearDirty, uint8_t clearImport, const unsigned char* valueMemory,
                                           unsigned char* dirtyMemory, uint32_t dirtyBase,
                                           unsigned char* searcherMemory, unsigned char* flagMemory,
                                           uint32_t importBase, const unsigned char* factorMemory,
                                           const unsigned char* tagBase) const;

    // Imports an image's tag tree and data (host order) into the addressed instance and the ones
    // after it: by direct comparison when sameDefinition (level 0 only), else by tags and names.
    // Every read of the image stays within imageTagSize / imageDataSize; a filter must be as large
    // as the area it mirrors (the value memory, or the image data with E_FILTER_STRUCTURE_IMAGE).
    // With a checker that refuses the stored factor nothing is imported (success). 0x100 when a
    // value changed; the imported instances then get their import flag and the factor.
    [[nodiscard]] uint32_t importData(uint8_t sameDefinition, const T_FAST_ADDRESS* address, uint32_t level,
                                      uint8_t factor, const unsigned char* imageTags, uint32_t imageTagSize,
                                      const unsigned char* imageData, uint32_t imageDataSize,
                                      const ISetChecker* checker, unsigned char* valueMemory,
                                      const unsigned char* filter, E_FILTER_STRUCTURE filterLayout,
                                      IDirtyFlagHolder* holder, uint32_t dirtyBase, uint32_t importBase,
                                      unsigned char* factorMemory, const unsigned char* tagBase) const;
    // Same-layout import of count instances (0: the count in the own head) starting at the
    // instance valueMemory / dirtyBase point at; tagBase points at this collection's own head.
    // Only differing, unfiltered elements are written, marked and given the factor.
    [[nodiscard]] uint32_t importCollectionData(uint32_t level, uint8_t factor, const unsigned char* imageData,
                                                uint32_t imageDataSize, unsigned char* valueMemory,
                                                const unsigned char* filter, IDirtyFlagHolder* holder,
                                                uint32_t dirtyBase, unsigned char* factorMemory,
                                                const unsigned char* tagBase, uint32_t count, uint32_t* countOut,
                                                uint32_t* tagBytesOut, uint32_t* dataBytesOut,
                                                uint32_t* dirtyBitsOut, uint32_t* factorSlotsOut) const;
    // An image tag tree of possibly another definition into the instances from firstIndex on
    // (bases at instance firstIndex, tagBase at the own head); *countOut instances were visited.
    [[nodiscard]] uint32_t importUnmatchedTags(uint32_t level, uint32_t firstIndex, uint8_t factor,
                                               const unsigned char* imageTags, uint32_t imageTagSize,
                                               const unsigned char* imageData, uint32_t imageDataSize,
                                               unsigned char* valueMemory, const unsigned char* filter,
                                               E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder,
                                               uint32_t dirtyBase, unsigned char* factorMemory,
                                               const unsigned char* tagBase, uint32_t* countOut) const;
    // The same for a child collection from its instance 0, bases at the parent's element.
    [[nodiscard]] uint32_t importDataEx(uint32_t level, uint8_t factor, const unsigned char* imageTags,
                                        uint32_t imageTagSize, const unsigned char* imageData, uint32_t imageDataSize,
                                        unsigned char* valueMemory, const unsigned char* filter,
                                        E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                        unsigned char* factorMemory, const unsigned char* tagBase) const;
    // Whether the image tag tree has the own shape (same size, equal after the heads).
    [[nodiscard]] uint32_t isSameCollectionTag(uint8_t* same, const unsigned char* imageTags, uint32_t imageTagSize,
                                               const unsigned char* tagBase) const;
    // One instance from an image instance of another shape (bases at the instance, tagBase at the
    // own head): parameters, then child collections by position and by name.
    [[nodiscard]] uint32_t importChildNodes(uint32_t level, uint8_t factor, const unsigned char* imageParamTags,
                                            uint32_t imageParamTagBytes, uint32_t imageChildTagBytes,
                                            const unsigned char* imageInstance, uint32_t imageInstanceBytes,
                                            unsigned char* valueMemory, const unsigned char* filter,
                                            E_FILTER_STRUCTURE filterLayout, IDirtyFlagHolder* holder,
                                            uint32_t dirtyBase, unsigned char* factorMemory,
                                            const unsigned char* tagBase) const;
    [[nodiscard]] uint32_t importChildPrms(uint8_t factor, const unsigned char* imageParamTags,
                                           uint32_t imageParamTagBytes, const unsigned char* imageInstance,
                                           uint32_t imageInstanceBytes, unsigned char* valueMemory,
                                           const unsigned char* filter, E_FILTER_STRUCTURE filterLayout,
                                           IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                                           const unsigned char* tagBase) const;
    // ---- end of change and import flags, export and import ----

    // ---- Values, defaults and plug-in slots (mms_CollectionValues.cpp, mms_CollectionPlugin.cpp) ----
    // Bases as above: valueMemory at the parent's enclosing element, dirtyBase and serialBase
    // absolute numbers, factorMemory the root's origin; pluginList points at the parent's slot
    // (the top collection's own slot at level 0) and moves by the collection numbers. Result
    // bits: 0x100 changed, 0x200 clamped or rounded, 0x800 a plug-in did the set, 0x1000 a
    // summary bit above must stay.

    // One element. With pluginFound a plug-in on the path only sets it to 1 (the old value is
    // then copied out); without it the plug-in's execute may take the set over (0x800; its
    // failure 0x80000001). 0x80000006 when level is not below the depth, 0x80000001 without both
    // vectors, 0x80000002 for an element outside its array.
    [[nodiscard]] uint32_t setPrm(uint8_t* pluginFound, JVariant* oldValue, const JVariant& newValue,
                                  const T_FAST_ADDRESS* address, uint32_t level, uint8_t factor, uint16_t setOptions,
                                  const ISetChecker* checker, unsigned char* valueMemory, IDirtyFlagHolder* holder,
                                  uint32_t dirtyBase, unsigned char* factorMemory, ProcessOption* pluginList,
                                  SetOrderNotifyWrapper* notifySetter, uint32_t serialBase);
    // The part after the plug-in step and the element move: bases already at this element, the
    // list at this collection's slot.
    [[nodiscard]] uint32_t setPrmLocal(uint8_t* pluginFound, JVariant* oldValue, const JVariant& newValue,
                                       const T_FAST_ADDRESS* address, uint32_t level, uint8_t factor,
                                       uint16_t setOptions, const ISetChecker* checker, unsigned char* valueMemory,
                                       IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                                       ProcessOption* pluginList, SetOrderNotifyWrapper* notifySetter,
                                       uint32_t serialBase);
    // A block: at every level the elements from the address's index to lastIndexes' (level 0: the
    // one element), deepest level fastest, values and factors taken at *position on (repeat: the
    // first value; singleFactor: the first factor). Elements past an array skip the values they
    // would have consumed. Plug-ins only set *pluginFound.
    [[nodiscard]] uint32_t setPrmArray(uint8_t* pluginFound, uint32_t* position, JVariantArray* oldValues,
                                       const JVariantArray& newValues, const T_FAST_ADDRESS* address,
                                       const uint32_t* lastIndexes, uint32_t level, const unsigned char* factors,
                                       uint8_t repeat, uint8_t singleFactor, uint16_t setOptions,
                                       const ISetChecker* checker, unsigned char* valueMemory,
                                       IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                                       ProcessOption* pluginList, SetOrderNotifyWrapper* notifySetter,
                                       uint32_t serialBase);
    // One element's part of setPrmArray (bases at the element, list at this collection's slot).
    [[nodiscard]] uint32_t setPrmArrayLocal(uint8_t* pluginFound, uint32_t* position, JVariantArray* oldValues,
                                            const JVariantArray& newValues, const T_FAST_ADDRESS* address,
                                            const uint32_t* lastIndexes, uint32_t level, const unsigned char* factors,
                                            uint8_t repeat, uint8_t singleFactor, uint16_t setOptions,
                                            const ISetChecker* checker, unsigned char* valueMemory,
                                            IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                            unsigned char* factorMemory, ProcessOption* pluginList,
                                            SetOrderNotifyWrapper* notifySetter, uint32_t serialBase);
    // Range and step rules of the addressed parameter applied to *value, nothing written.
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level,
                                    uint16_t setOptions) const;
    // One element and its factor; with clear its dirty bit in dirtyMemory is cleared (0x100 when it
    // was set) and the summary bits above follow.
    [[nodiscard]] uint32_t getPrm(JVariant* value, uint8_t* factor, const T_FAST_ADDRESS* address, uint32_t level,
                                  uint8_t clear, const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                  uint32_t dirtyBase, const unsigned char* factorMemory) const;
    [[nodiscard]] uint32_t getPrmLocal(JVariant* value, uint8_t* factor, const T_FAST_ADDRESS* address,
                                       uint32_t level, uint8_t clear, const unsigned char* valueMemory,
                                       unsigned char* dirtyMemory, uint32_t dirtyBase,
                                       const unsigned char* factorMemory) const;
    // A block read like setPrmArray walks it; factors and dirtyBits (a bit array) may be null.
    [[nodiscard]] uint32_t getPrmArray(uint32_t* position, JVariantArray* values, unsigned char* factors,
                                       unsigned char* dirtyBits, const T_FAST_ADDRESS* address,
                                       const uint32_t* lastIndexes, uint32_t level, uint8_t clear,
                                       const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                       uint32_t dirtyBase, const unsigned char* factorMemory) const;
    [[nodiscard]] uint32_t getPrmArrayLocal(uint32_t* position, JVariantArray* values, unsigned char* factors,
                                            unsigned char* dirtyBits, const T_FAST_ADDRESS* address,
                                            const uint32_t* lastIndexes, uint32_t level, uint8_t clear,
                                            const unsigned char* valueMemory, unsigned char* dirtyMemory,
                                            uint32_t dirtyBase, const unsigned char* factorMemory) const;
    // Sets every element of the addressed collection back to its defaults (resetFlag required,
    // else 0x8000000a; an address ending at a parameter 0x8000000a), marking what changed. A
    // parameter without default gives 0x80000005, with 0x100 when other values changed all the same.
    [[nodiscard]] uint32_t resetPrm(const T_FAST_ADDRESS* address, uint32_t level, uint8_t resetFlag,
                                    unsigned char* valueMemory, const char* stringPool, uint8_t factor,
                                    IDirtyFlagHolder* holder, uint32_t dirtyBase, unsigned char* factorMemory,
                                    const unsigned char* tagBase);
    // Building-time fill, no tracking: every default of the subtree, element 0 copied into the
    // others. 0x80000005 when a parameter has no default (the rest is filled all the same).
    [[nodiscard]] uint32_t setDefaultPrms(unsigned char* valueMemory, const char* stringPool, uint32_t level);
    // The same with tracking: only values that really change are marked and get the factor
    // (0x80000005 | 0x100 when a parameter had no default but something changed).
    [[nodiscard]] uint32_t setDefaultPrms(unsigned char* valueMemory, const char* stringPool, uint32_t level,
                                          uint8_t factor, IDirtyFlagHolder* holder, uint32_t dirtyBase,
                                          unsigned char* factorMemory, const unsigned char* tagBase);
    // Element 0's bytes into elements 1 .. N - 1 (nothing at level 0). 0x80000002 without memory.
    [[nodiscard]] uint32_t setLocalArrayCopy(unsigned char* valueMemory, uint32_t level) const;
    // The default of one element: from a plug-in on the path when its getDefault succeeds with a
    // non-zero answer (with pluginFound: only *pluginFound = 1), else the parameter's.
    [[nodiscard]] uint32_t getPrmDef(uint8_t* pluginFound, JVariant* value, const T_FAST_ADDRESS* address,
                                     uint32_t level, const char* stringPool, ProcessOption* pluginList) const;
    [[nodiscard]] uint32_t getPrmDefLocal(uint8_t* pluginFound, JVariant* value, const T_FAST_ADDRESS* address,
                                          uint32_t level, const char* stringPool, ProcessOption* pluginList) const;
    // All attributes of the addressed parameter; stops at the first failure.
    [[nodiscard]] uint32_t getPrmAttrib(T_PRM_ATTRIB* attributes, const T_FAST_ADDRESS* address, uint32_t level,
                                        const char* stringPool) const;
    // One attribute each, the parameter's answer unchanged.
    [[nodiscard]] uint32_t getPrmType(uint32_t* type, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmMin(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmMax(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmStep(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmNominal(JVariant* value, const T_FAST_ADDRESS* address, uint32_t level,
                                         const char* stringPool) const;
    [[nodiscard]] uint32_t getPrmUnitSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmUnit(char* text, const T_FAST_ADDRESS* address, uint32_t level,
                                      const char* stringPool) const;
    [[nodiscard]] uint32_t getPrmScaling(uint32_t* scaling, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmKind(uint32_t* kind, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmNameFormatSize(uint32_t* size, const T_FAST_ADDRESS* address, uint32_t level) const;
    [[nodiscard]] uint32_t getPrmNameFormat(char* text, const T_FAST_ADDRESS* address, uint32_t level,
                                            const char* stringPool) const;

    // Plug-in slots of the addressed collection (here when address is null or ends at level).
    // 0x80000001 without a list, 0x80000006 for an address through or at a parameter.
    // appendPlugin: 0x80000002 without plug-in, 0x80000009 for an occupied slot; a wrapper over this
    // collection is made and handed to attached; a refusal leaves the slot empty (0x80000002 when
    // it answered 0x80000004, else 0x80000009). The plug-in stays its owner's.
    [[nodiscard]] uint32_t appendPlugin(ILinkPlugin* plugin, const T_FAST_ADDRESS* address, uint32_t level,
                                        ProcessOption* pluginList, const char* stringPool);
    [[nodiscard]] uint32_t appendPlugin(ILinkPlugin* plugin, ProcessOption* slot, const char* stringPool);
    // Destroys the plug-in's wrapper and answers its detached (0 for an empty slot).
    [[nodiscard]] uint32_t removePlugin(const T_FAST_ADDRESS* address, uint32_t level, ProcessOption* pluginList);
    [[nodiscard]] static uint32_t removePlugin(ProcessOption* slot);
    [[nodiscard]] uint32_t getPlugin(ILinkPlugin** plugin, const T_FAST_ADDRESS* address, uint32_t level,
                                     ProcessOption* pluginList) const;
    [[nodiscard]] static uint32_t getPlugin(ILinkPlugin** plugin, ProcessOption* slot);
    // The bases of one instance of the collection that made the context (each output may be null;
    // factorMemory stays the origin since factor bytes follow the dirty base). 0x80000002 without a
    // context or for an instance outside the array; at level 0 only instance 0 (else 0x80000006).
    [[nodiscard]] uint32_t getOffsetPlugin(unsigned char** valueMemory, unsigned char** factorMemory,
                                           uint32_t* dirtyBase, uint32_t* serialBase, uint32_t instance,
                                           const MMS_PLUGIN_STRUCT* context) const;
    // ---- end of values, defaults and plug-in slots ----

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
