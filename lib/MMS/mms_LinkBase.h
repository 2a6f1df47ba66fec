#pragma once
// The field core that carries links: for every registered root an ordered list of links, each a
// set of parameter array elements that follow one another when one of them is set. Adds to the
// field core the link editing (guarded by a build handle), the propagation of sets to the other
// members, and change bits per subscriber slot for tasks that mirror the link structure. Takes no
// lock: the linked field runs every call under the field's locks, one task at a time.
#include <cstdint>

#include "MMS/Common/mms_Base.h"
#include "MMS/Common/mms_DirtyFlagList.h"
#include "MMS/mms_RootLinkList.h"

class JVariant;
class JVariantArray;

namespace MMS {

class SearchTree;
class SharedMemWrapper;

// The next number of a process-wide linear congruential generator (state 1 at program start):
// state = state * 1103515245 + 12345, result (state >> 16) & 0x7FFF. Any task may call it.
uint32_t localRandom();

// One 32-bit cell holding an Int32 (value kind 4) or a Float (value kind 0x304).
class LinkInfoPrivate {
public:
    LinkInfoPrivate() = default;
    int32_t asInt() const;
    float asFloat() const;
    uint32_t bits() const { return m_cell; }
    void setInt(int32_t value);
    void setFloat(float value);

    static constexpr uint32_t kKindInt = 4;
    static constexpr uint32_t kKindFloat = 0x304;

    // The value kind a parameter type links as: 4 for the integer types (bit parameters too),
    // 0x304 for Float, 0 for a type that cannot be linked.
    static uint32_t kindOf(uint32_t type);
    // The value in the cell form of that kind.
    static LinkInfoPrivate of(const JVariant& value, uint32_t kind);
    // Whether two cells hold the same value of that kind (a Float NaN never does).
    static bool same(const LinkInfoPrivate& a, const LinkInfoPrivate& b, uint32_t kind);

private:
    uint32_t m_cell = 0;
};

struct T_LINK_ITEM {
    T_LINK_ITEM* previous = nullptr;
    T_LINK_ITEM* next = nullptr;
    uint32_t nodeIndexes[5] = {};
    uint32_t arrayIndexes[5] = {};
    uint32_t depth = 0;  // 1 to 5
    LinkInfoPrivate value;     // the member's value as the link last saw it
    uint8_t* dirty = nullptr;  // item bit bytes, owned (mmsMalloc)
};

struct T_LINK_COLLECTION {
    T_LINK_ITEM* first = nullptr;  // members in address order
    uint32_t linkId = 0;
    uint32_t valueKind = 0;  // 0 without members, 4 integer, 0x304 float
    LinkInfoPrivate minimum;
    LinkInfoPrivate maximum;
    LinkInfoPrivate step;
    uint16_t linkType = 0;  // 0 offset, 1 toggle
    uint16_t onOff = 0;
    uint8_t* dirty = nullptr;  // collection bit bytes, owned (mmsMalloc)
};

// One linked array element of a parameter; the chain's head is the parameter's search-tree entry.
struct T_LINK_TREE_LIST {
    T_LINK_TREE_LIST* previous = nullptr;
    T_LINK_TREE_LIST* next = nullptr;
    uint32_t arrayIndexes[5] = {};
    T_LINK_COLLECTION* link = nullptr;  // not owned
};

// Editing operations take the mark-own-task flag and the id of the task making the change: the
// change bits of every other subscriber slot are marked, that task's own only with the flag.
class LinkBase : public Base {
public:
    static constexpr uint32_t kLinkTaskId = 0xFFFFFFFFu;  // the core's own change-tracking task

    // fieldTrigger and linkTrigger: the owner's, may be null. tree: the field's search tree, kept
    // alive by the owner for the core's life. tasks also backs the link subscriber list.
    LinkBase(IEventFlagTrigger* fieldTrigger, IEventFlagTrigger* linkTrigger, ISharedMemory* definition,
             ISharedMemory* values, ISharedMemory* tasks, SearchTree* tree);
    ~LinkBase() override;

    using Base::getPrmDef;
    using Base::getPrmDefFast;

    // ---- Root registration: the base's operation, then the root is registered for links ----
    [[nodiscard]] uint32_t createRoot(const char* root, const char* topName, uint32_t maxCollections,
                                      uint32_t maxParameters, uint32_t stringPoolSize) override;
    [[nodiscard]] uint32_t addRoot(const char* root, const sharedRootInfo& info) override;
    [[nodiscard]] uint32_t jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode) override;
    // Clears the root's links whatever the base answered; the base's result.
    [[nodiscard]] uint32_t destroyRoot(const char* root) override;

    // ---- Sets that propagate: the base's failure unchanged, else the propagation's result ----
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                                      const uint32_t* indices, uint32_t depth, uint8_t factor,
                                      uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                      uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
                                      const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                  uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                  uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
                                  const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                           const uint32_t* first, const uint32_t* last, uint32_t depth,
                                           uint8_t factor, uint8_t repeat, uint8_t includeOriginator,
                                           uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                                           const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
                                           const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
                                       uint32_t length, const uint32_t* first, const uint32_t* last,
                                       uint32_t indexCount, uint8_t factor, uint8_t repeat,
                                       uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                       uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                                       uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
                                                    const uint32_t* nodes, const uint32_t* first,
                                                    const uint32_t* last, uint32_t depth, const uint8_t* factors,
                                                    uint8_t repeat, uint8_t singleFactor, uint8_t includeOriginator,
                                                    uint16_t setOptions, uint8_t notifyOptions,
                                                    uint32_t originatorId, const ISetChecker* checker,
                                                    uint32_t rootFlags, uint32_t notifyMode,
                                                    const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
                                                uint32_t length, const uint32_t* first, const uint32_t* last,
                                                uint32_t indexCount, const uint8_t* factors, uint8_t repeat,
                                                uint8_t singleFactor, uint8_t includeOriginator,
                                                uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                                                const ISetChecker* checker, uint32_t rootFlags,
                                                uint32_t notifyMode, const ExternalSetArg* externalArg) override;

    // ---- Export and import: a whole root (depth 0) carries its link image behind its export
    // image; a partial import propagates its changed values through the links instead ----
    [[nodiscard]] uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                 uint32_t depth, uint8_t wholeLastLevel) override;
    [[nodiscard]] uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                  const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                  uint8_t rangeMode) override;
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                             uint8_t wholeLastLevel) override;
    // Sizes for indexCount levels of the address (0x80000002 above 5), whatever depth it has.
    [[nodiscard]] uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address,
                                              uint32_t length, const uint32_t* first, const uint32_t* last,
                                              uint32_t indexCount, uint8_t rangeMode) override;
    [[nodiscard]] uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                          const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                          uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder,
                                          uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                           const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                           uint32_t depth, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                           uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
                                           uint32_t factorCount) override;
    [[nodiscard]] uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                      const char* address, uint32_t length, const uint32_t* indices,
                                      uint32_t indexCount, uint8_t wholeLastLevel, uint8_t clearDirty,
                                      uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                                      uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                       const char* address, uint32_t length, const uint32_t* first,
                                       const uint32_t* last, uint32_t indexCount, uint8_t rangeMode,
                                       uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                                       uint8_t* factorsOut, uint32_t factorCount) override;
    // The link part of a whole-root import never changes the import's result.
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                          const char* root, const uint32_t* nodes, const uint32_t* indices,
                                          uint32_t depth, uint8_t factor, uint8_t includeOriginator,
                                          uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                                          uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                      const char* root, const char* address, uint32_t length,
                                      const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                      uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                                      const ISetChecker* checker, uint32_t notifyMode,
                                      const ExternalSetArg* externalArg) override;

    // ---- Link operations. Preconditions: field ready (0x80000004); build handle: one is open
    // (0x8000000b) and it is the one given (0x80000002); edit handle: none open, or the one given ----
    // Ready. Task id 0 refused; a second subscription of a task only counts. raise: the new
    // subscriber sees every link and member as changed and is woken alone.
    [[nodiscard]] virtual uint32_t linkSubscribe(uint32_t taskId, uint32_t unused, bool raise);
    [[nodiscard]] virtual uint32_t linkUnsubscribe(uint32_t taskId);
    // Ready; 0x80000004 while a handle is open (*handle then 0).
    [[nodiscard]] virtual uint32_t linkHndlOpen(uint32_t* handle);
    [[nodiscard]] virtual uint32_t linkHndlClose(uint32_t handle);
    // Build handle. The smallest free id from 1.
    [[nodiscard]] virtual uint32_t createLink(uint32_t* linkId, const char* root, uint32_t handle, uint8_t markOwn,
                                              uint32_t taskId);
    // Build handle. An unknown id gives 0. Marks nothing and sends no event.
    [[nodiscard]] virtual uint32_t deleteLink(const char* root, uint32_t linkId, uint32_t handle, uint8_t markOwn,
                                              uint32_t taskId);
    [[nodiscard]] virtual uint32_t getNumOfLink(uint32_t* count, const char* root);
    // 0x80000007 past the last link.
    [[nodiscard]] virtual uint32_t cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position);
    // Edit handle. Switching on re-reads every member's value.
    [[nodiscard]] virtual uint32_t setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint32_t handle,
                                                uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId);
    // Edit handle. A 0/1 integer link takes only type 1, every other link only type 0.
    [[nodiscard]] virtual uint32_t setLinkType(const char* root, uint32_t linkId, uint16_t linkType,
                                               uint32_t handle, uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getLinkType(uint16_t* linkType, const char* root, uint32_t linkId);
    // Build handle. One element of a parameter of the search tree's root, not yet in any link,
    // with the link's kind, minimum, maximum and step. A refusal leaves link and tree as they were.
    [[nodiscard]] virtual uint32_t addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                              const uint32_t* indices, uint32_t depth, uint32_t handle,
                                              uint8_t markOwn, uint32_t taskId);
    // Build handle. Removes the element from whichever link holds it (the id is not consulted).
    [[nodiscard]] virtual uint32_t removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth, uint32_t handle,
                                                 uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId);
    // The member at that position in address order: depth levels of both index vectors (capacity
    // at least its depth), its depth and its remembered value. 0x80000007 past the last member.
    [[nodiscard]] virtual uint32_t getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                   JVariant* value, uint32_t capacity, const char* root,
                                                   uint32_t linkId, uint32_t position);
    // Ready. "Link" [/ "Create" | "Mode" | "Type" | "Prm" [/ "Create"]], one index per level.
    [[nodiscard]] virtual uint32_t isLinkChanged(uint8_t* changed, const char* root, const char* address,
                                                 uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                                 uint8_t clear, uint32_t taskId);
    [[nodiscard]] virtual uint32_t isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                                     const uint32_t* indices, uint32_t levels, uint8_t clear,
                                                     uint32_t taskId);

    // ---- Steps: each public operation checks its precondition, then calls its step ----
    [[nodiscard]] virtual uint32_t _linkSubscribe(uint32_t taskId, bool raise);
    [[nodiscard]] virtual uint32_t _linkUnsubscribe(uint32_t taskId);
    [[nodiscard]] virtual uint32_t _linkHndlOpen(uint32_t* handle);
    [[nodiscard]] virtual uint32_t _linkHndlClose();
    [[nodiscard]] virtual uint32_t _createLink(uint32_t* linkId, const char* root, uint8_t markOwn, uint32_t taskId);
    // 0x80000009 for an id already used.
    [[nodiscard]] virtual uint32_t _createLinkFixedLinkID(const char* root, uint32_t linkId, uint8_t markOwn,
                                                          uint32_t taskId);
    virtual uint32_t initLinkCollectionDirty(uint8_t* bits, uint8_t markOwn, uint32_t taskId);
    // bit: 0 summary, 1 Create, 2 Mode, 3 Type (0x80000002 above 3); a part also marks the summary.
    [[nodiscard]] virtual uint32_t setLinkCollectionDirty(uint8_t* bits, uint32_t bit, uint8_t markOwn,
                                                          uint32_t taskId);
    // bit: 0 summary, 1 Create (0x80000002 above 1).
    [[nodiscard]] virtual uint32_t setLinkItemDirty(uint8_t* bits, uint32_t bit, uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t _deleteLink(const char* root, uint32_t linkId, uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t _getNumOfLink(uint32_t* count, const char* root);
    [[nodiscard]] virtual uint32_t _cnvIndexToLinkID(uint32_t* linkId, const char* root, uint32_t position);
    [[nodiscard]] virtual uint32_t _setLinkOnOff(const char* root, uint32_t linkId, uint16_t onOff, uint8_t markOwn,
                                                 uint32_t taskId);
    [[nodiscard]] virtual uint32_t _getLinkOnOff(uint16_t* onOff, const char* root, uint32_t linkId);
    [[nodiscard]] virtual uint32_t _setLinkType(const char* root, uint32_t linkId, uint16_t linkType,
                                                uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t _getLinkType(uint16_t* linkType, const char* root, uint32_t linkId);
    [[nodiscard]] virtual uint32_t _addLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                               const uint32_t* indices, uint32_t depth, uint8_t markOwn,
                                               uint32_t taskId);
    [[nodiscard]] virtual uint32_t _removeLinkPrm(const char* root, uint32_t linkId, const uint32_t* nodes,
                                                  const uint32_t* indices, uint32_t depth, uint8_t markOwn,
                                                  uint32_t taskId);
    [[nodiscard]] virtual uint32_t _getNumOfLinkPrm(uint32_t* count, const char* root, uint32_t linkId);
    [[nodiscard]] virtual uint32_t _getLinkItemInfo(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                    JVariant* value, uint32_t capacity, const char* root,
                                                    uint32_t linkId, uint32_t position);
    [[nodiscard]] virtual uint32_t _isLinkChanged(uint8_t* changed, const char* root, const char* address,
                                                  uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                                  uint8_t clear, uint32_t taskId);
    [[nodiscard]] virtual uint32_t _isLinkChangedFast(uint8_t* changed, const char* root, const uint32_t* codes,
                                                      const uint32_t* indices, uint32_t levels, uint8_t clear,
                                                      uint32_t taskId);
    // ---- Export and import steps ----
    [[nodiscard]] virtual uint32_t _importDataFast(void* image, uint32_t imageSize, const void* filter,
                                                   uint32_t filterSize, const char* root, const uint32_t* nodes,
                                                   const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                   uint8_t includeOriginator, uint8_t notifyOptions,
                                                   uint32_t originatorId, const ISetChecker* checker,
                                                   uint32_t notifyMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t _getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                          uint32_t depth, uint8_t wholeLastLevel);
    [[nodiscard]] virtual uint32_t _getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                           const uint32_t* first, const uint32_t* last,
                                                           uint32_t depth, uint8_t rangeMode);
    [[nodiscard]] virtual uint32_t _exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                   const char* root, const uint32_t* nodes, const uint32_t* indices,
                                                   uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
                                                   uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                                                   uint8_t* factorsOut);
    [[nodiscard]] virtual uint32_t _exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                    const char* root, const uint32_t* nodes, const uint32_t* first,
                                                    const uint32_t* last, uint32_t depth, uint8_t rangeMode,
                                                    uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                                                    uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount);
    // Takes over the links of the image behind the export image; 0 whatever the merge met
    // (0x80000002 only for a null image or length 0).
    [[nodiscard]] virtual uint32_t _importLinkData(void* image, uint32_t length, const char* root, uint8_t markOwn,
                                                   uint32_t taskId);
    // 0x80000001 for a root never registered for links.
    [[nodiscard]] virtual uint32_t _getExportLinkDataSize(uint32_t* size, const char* root);
    // Nothing written (and *written untouched) for a root without links.
    [[nodiscard]] virtual uint32_t _exportLinkData(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                   const char* root, uint8_t byteOrder);
    // Makes the root's links those of the image: links merged by id, members by address, member
    // addresses translated by name when the image's definition differs. The merge's status.
    [[nodiscard]] virtual uint32_t importLinkData(void* image, uint32_t length, const char* root, uint8_t markOwn,
                                                  uint32_t taskId);
    [[nodiscard]] virtual uint32_t importLinkHeaderCheck(const unsigned char** body, uint32_t* bodyLength,
                                                         uint32_t* slots, uint8_t* same, uint8_t* convert,
                                                         const char* root, const void* image, uint32_t length);
    // 0 keep and merge the existing link, 1 remove it, 2 create the image's link.
    [[nodiscard]] virtual uint32_t getProcessStatus(uint32_t* status, const T_LINK_LIST* existing,
                                                    const T_LINK_COLLECTION* imageLink) const;
    // 0 same member, 1 remove the existing one, 2 add the image's.
    [[nodiscard]] virtual uint32_t getItemStatus(uint32_t* status, const T_LINK_ITEM* existing,
                                                 const T_LINK_ITEM* imageMember) const;
    [[nodiscard]] virtual uint32_t isSameParamterInfo(uint8_t* same, const char* root, const void* image,
                                                      uint32_t length, const unsigned char* items,
                                                      uint32_t itemLength, const T_LINK_COLLECTION* link,
                                                      uint32_t slots, uint8_t sameDefinition, uint8_t convert);
    [[nodiscard]] virtual uint32_t importCollectionData(T_LINK_LIST* head, const char* root, uint32_t linkId,
                                                        const unsigned char* items, uint32_t itemLength,
                                                        const void* image, uint32_t length, uint32_t slots,
                                                        uint8_t sameDefinition, uint8_t convert, uint8_t markOwn,
                                                        uint32_t taskId);
    [[nodiscard]] virtual uint32_t sameCollectionData(const char* root, T_LINK_COLLECTION* link, const void* image,
                                                      uint32_t length, const unsigned char* items,
                                                      uint32_t itemLength, uint32_t slots, uint8_t sameDefinition,
                                                      uint8_t convert, uint8_t markOwn, uint32_t taskId);
    // Adds an image member to the link (taking it out of any link that holds its element).
    [[nodiscard]] virtual uint32_t importLinkItem(T_LINK_COLLECTION* link, const char* root,
                                                  const T_LINK_ITEM* member, uint8_t markOwn, uint32_t taskId);
    [[nodiscard]] virtual uint32_t importLinkItemRebuildAddr(T_LINK_COLLECTION* link, const T_LINK_ITEM* member,
                                                             const char* root, const void* image, uint32_t length,
                                                             uint8_t markOwn, uint32_t taskId);
    // The member's node indexes in the current definition, found by the names the export image
    // gives them; 0x80000006 when they do not lead to a parameter of the same depth.
    [[nodiscard]] virtual uint32_t rebuildNewAddress(uint32_t* nodesOut, const char* root, const T_LINK_ITEM* member,
                                                     const void* image, uint32_t length);
    [[nodiscard]] virtual uint32_t getLinkDataSize(uint32_t* size, const T_LINK_LIST* firstNode) const;
    [[nodiscard]] virtual uint32_t exportLinkData(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                  const T_LINK_LIST* firstNode, uint8_t byteOrder) const;
    // Deletes every link of every root of the base; the status of the last root-name lookup.
    virtual uint32_t clearAllLink();
    // Deletes every link of the root; 0, also for an unregistered root.
    virtual uint32_t clearRootLink(const char* root);
    // Sets (value 1) or clears (0) the bits of one slot in every link and member.
    virtual uint32_t initSubscribeDirtyMemory(uint32_t slot, uint8_t value);
    // Grows every link and member buffer for n slots; 0x80000003 leaves the sizes as they were.
    [[nodiscard]] virtual uint32_t extendDirtyMemory(uint32_t slots);
    [[nodiscard]] virtual uint32_t localSizeCheck(uint32_t bytes, uint32_t bits) const;
    // The smallest free id from 1 along a chain sorted by id; 0x80000008 when none is left.
    [[nodiscard]] virtual uint32_t getNewLinkID(uint32_t* linkId, const T_LINK_LIST* firstNode);
    // Unhooks and releases every member of the link; 0x80000001 when a member's element was lost.
    [[nodiscard]] virtual uint32_t removeLinkCollection(const char* root, T_LINK_COLLECTION* link);
    [[nodiscard]] virtual uint32_t setLinkCptInfo(T_LINK_COLLECTION* link, uint32_t type, const JVariant& minimum,
                                                  const JVariant& maximum, const JVariant& step);
    [[nodiscard]] virtual uint32_t createLinkItem(T_LINK_TREE_LIST* chain, T_LINK_COLLECTION* link,
                                                  const char* root, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, const LinkInfoPrivate& value, uint8_t markOwn,
                                                  uint32_t taskId);
    // Propagates every element of the root marked for taskId.
    [[nodiscard]] virtual uint32_t execChangedPrmLink(const char* root, uint8_t factor, uint8_t markOwn,
                                                      uint16_t setOptions, uint8_t notifyOptions, uint32_t taskId,
                                                      uint32_t notifyMode, const ExternalSetArg* externalArg);
    // Propagates the change of one element; 0x80000002 when the search tree does not index it.
    [[nodiscard]] virtual uint32_t execParameterLink(const char* root, const uint32_t* nodes,
                                                     const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                     uint8_t markOwn, uint16_t setOptions, uint8_t notifyOptions,
                                                     uint32_t taskId, uint32_t notifyMode,
                                                     const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t setLinkPrmSub(T_LINK_COLLECTION* link, T_LINK_ITEM* member,
                                                 const JVariant& value, const char* root, uint8_t factor,
                                                 uint8_t markOwn, uint16_t setOptions, uint8_t notifyOptions,
                                                 uint32_t taskId, uint32_t notifyMode,
                                                 const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t getNewValue(JVariant& result, const T_LINK_COLLECTION* link,
                                               const LinkInfoPrivate& offset, const LinkInfoPrivate& member) const;
    [[nodiscard]] virtual uint32_t cnvStrFromFastLink1(uint32_t* code, uint32_t* consumed, const char* text,
                                                       uint32_t length);
    [[nodiscard]] virtual uint32_t cnvStrFromFastLink2(uint32_t* code, uint32_t* consumed, const char* text,
                                                       uint32_t length);
    [[nodiscard]] virtual uint32_t cnvStrFromFastLink3(uint32_t* code, uint32_t* consumed, const char* text,
                                                       uint32_t length);
    [[nodiscard]] virtual uint32_t isLinkChangedOptions(uint8_t* changed, T_LINK_COLLECTION* link,
                                                        const uint32_t* codes, const uint32_t* indices,
                                                        uint32_t levels, uint8_t clear, uint32_t collectionBit,
                                                        uint32_t itemBit);
    [[nodiscard]] virtual uint32_t isChangedItemOptions(uint8_t* changed, T_LINK_ITEM* member, const uint32_t* codes,
                                                        const uint32_t* indices, uint32_t levels, uint8_t clear,
                                                        uint32_t itemBit);
    [[nodiscard]] virtual uint32_t isChangedCollection(uint8_t* changed, T_LINK_COLLECTION* link, uint8_t clear,
                                                       uint32_t collectionBit, uint32_t itemBit, uint32_t sub);
    [[nodiscard]] virtual uint32_t isChangedParameter(uint8_t* changed, T_LINK_ITEM* member, uint8_t clear,
                                                      uint32_t itemBit, uint32_t sub);
    virtual bool isChildCollectionDirty(const T_LINK_COLLECTION* link, uint32_t collectionBit,
                                        uint32_t itemBit) const;
    virtual bool isChildPrmDirty(const T_LINK_ITEM* member, uint32_t itemBit) const;
    // -1, 0 or 1: depth first, then level by level the node index and the array index.
    virtual int8_t addressCompare(const T_LINK_ITEM* a, const T_LINK_ITEM* b) const;
    virtual bool isBaseStatus();
    virtual bool isLinkOpen() const;
    [[nodiscard]] virtual uint32_t isBuildLink(uint32_t handle);
    [[nodiscard]] virtual uint32_t isEditLink(uint32_t handle);
    virtual uint16_t isLinkOnOffCheck(const T_LINK_COLLECTION* link) const;
    // A cleared buffer of newSize bytes holding the old bytes; the old one is released. Null when
    // it cannot be had (the old buffer is then left as it was).
    virtual uint8_t* reallocDirtyMemory(uint8_t* old, uint32_t oldSize, uint32_t newSize) const;
    virtual uint32_t getCollectionDirtyBitSize() const { return 4; }
    virtual uint32_t getItemDirtyBitSize() const { return 2; }
    // The parameter's link-tree chain (null when no element is linked); 0x80000002 when the
    // address is not a parameter of an indexed root.
    [[nodiscard]] virtual uint32_t getSearchTreeList(T_LINK_TREE_LIST** chain, const char* root,
                                                     const uint32_t* nodes, uint32_t depth) const;
    virtual T_LINK_TREE_LIST* srchChannelAddr(T_LINK_TREE_LIST* chain, const uint32_t* indices,
                                              uint32_t depth) const;
    virtual T_LINK_LIST* srchLinkIDList(T_LINK_LIST* firstNode, uint32_t linkId) const;
    virtual T_LINK_COLLECTION* srchLinkCollection(const char* root, uint32_t linkId) const;
    virtual T_LINK_COLLECTION* srchLinkCollection(T_LINK_LIST* firstNode, uint32_t linkId) const;
    virtual T_LINK_ITEM* srchLinkItem(const T_LINK_COLLECTION* link, const uint32_t* nodes, const uint32_t* indices,
                                      uint32_t depth) const;
    virtual uint32_t sendEventTriggerLocal(uint8_t markOwn, uint32_t taskId);

    // For tests and the linked field: the subscriber slots and buffer sizes.
    uint32_t getSlotCount() const { return m_slotCount; }
    uint32_t getSlotTask(uint32_t slot) const { return slot < m_slotCount ? m_pSlots[slot] : 0; }
    uint32_t getCollectionBitBytes() const { return m_collectionBitBytes; }
    uint32_t getItemBitBytes() const { return m_itemBitBytes; }
    const TaskItemList& getLinkSubscriberList() const { return m_subscribers; }

private:
    T_LINK_LIST* chainHead(const char* root) const;
    // Marks the slots that a change of taskId reaches: every slot but the task's own, and that
    // one too with markOwn.
    bool isMarkedSlot(uint32_t slot, uint8_t markOwn, uint32_t taskId) const;
    // Takes the element out of its parameter's chain; 0x80000001 when the tree refuses the new head.
    uint32_t unhookElement(const char* root, const uint32_t* nodes, uint32_t depth, T_LINK_TREE_LIST* chain,
                           T_LINK_TREE_LIST* element);
    static void releaseMember(T_LINK_ITEM* member);
    static void releaseLink(T_LINK_COLLECTION* link);
    uint32_t findSlot(uint32_t taskId) const;  // m_slotCount when absent

    IEventFlagTrigger* m_pLinkTrigger;  // the owner's, may be null
    SearchTree* m_pSearchTree;          // the owner's
    RootLinkList* m_pRootLinks = nullptr;  // owned
    uint32_t m_linkHandle = 0;
    SharedMemWrapper* m_pMemory = nullptr;  // owned
    TaskItemList m_subscribers;
    uint32_t* m_pSlots = nullptr;  // owned, mmsMalloc
    uint32_t m_slotCount = 0;
    uint32_t m_collectionBitBytes = 0;
    uint32_t m_itemBitBytes = 0;
    // While a whole-root import runs: whether its link image is in the other byte order. The base's
    // import turns the export image to host order in place, so its header no longer tells.
    int8_t m_importConvert = -1;  // -1: read it from the export header
    // Set by a propagation that found nothing of the root marked for the link task and marked
    // nothing itself: the change walk after a single-value set would find nothing. A replaced step
    // leaves it clear, and the walk runs.
    bool m_walkNeedless = false;
};

}  // namespace MMS
