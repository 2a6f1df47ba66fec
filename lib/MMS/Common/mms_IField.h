#pragma once
// The field interface: a container of named roots, each an instance of a definition. Every user of
// the tree library builds a field, addresses its parameters, reads and writes values, tracks
// changes per subscribing task and moves values in and out as byte images through it. Declaration
// order is the slot order. Implemented by the field core (Base) and the thread-safe field.
//
// Conventions: every operation but getEventTrigger, getMutex and getBuildCount gives a result code
// (top bit set: failure); outputs go through pointers. A root name selects the root, null the
// first root; an unknown name gives 0x80000006. Fast forms take node-index vectors and a depth,
// string forms an address text with its length (and index vectors with their entry count).
#include <cstdint>

class JVariant;
class JVariantArray;

namespace MMS {

class ExternalSetArg;
class IChannelLinker;
class IEventFlagTrigger;
class ILinkPlugin;
class IMutex;
class ISetChecker;
struct T_PRM_ATTRIB;
struct sharedRootInfo;

class IField {
public:
    // ---- Field state and build ----
    virtual IEventFlagTrigger* getEventTrigger() const = 0;
    virtual IMutex* getMutex() const = 0;
    [[nodiscard]] virtual uint32_t getStatus(uint8_t* status) = 0;
    [[nodiscard]] virtual uint32_t getRootStatus(const char* root, uint8_t* status) = 0;
    [[nodiscard]] virtual uint32_t startBuild() = 0;
    // option non-zero: the roots write their default values when they lay out their memory.
    [[nodiscard]] virtual uint32_t linkBuild(uint8_t option) = 0;
    [[nodiscard]] virtual uint32_t finishBuild(uint8_t option) = 0;
    [[nodiscard]] virtual uint32_t createRoot(const char* root, const char* topName, uint32_t maxCollections,
                                              uint32_t maxParameters, uint32_t stringPoolSize) = 0;
    [[nodiscard]] virtual uint32_t addRoot(const char* root, const sharedRootInfo& info) = 0;
    [[nodiscard]] virtual uint32_t jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode) = 0;
    [[nodiscard]] virtual uint32_t recoveryRoot(const char* root, const sharedRootInfo& info, uint8_t mode) = 0;
    [[nodiscard]] virtual uint32_t destroyRoot(const char* root) = 0;
    virtual uint32_t getBuildCount() const = 0;
    [[nodiscard]] virtual uint32_t getRootAdditionFlag(const char* root, uint32_t taskId, uint8_t clear) = 0;

    // ---- Subscriptions and descriptions ----
    [[nodiscard]] virtual uint32_t subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount,
                                             bool raiseAll) = 0;
    [[nodiscard]] virtual uint32_t unsubscribe(uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t attachOrderedNotify(const char* root, void* setter) = 0;
    [[nodiscard]] virtual uint32_t setDescName(const char* root, const char* name) = 0;
    [[nodiscard]] virtual uint32_t setDescVersion(const char* root, const char* version) = 0;

    // ---- Structure edits and copies ----
    [[nodiscard]] virtual uint32_t addCollectionFast(uint32_t* outIndex, const char* root,
                                                     const uint32_t* parentNodes, uint32_t parentDepth,
                                                     const char* name, uint32_t arraySize) = 0;
    [[nodiscard]] virtual uint32_t addCollection(uint32_t* outIndex, const char* root, const char* parentAddress,
                                                 uint32_t addressLength, const char* name, uint32_t arraySize) = 0;
    [[nodiscard]] virtual uint32_t addPrmFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
                                              uint32_t parentDepth, const char* name, uint32_t arraySize,
                                              uint32_t type, JVariant* minimum, JVariant* maximum,
                                              JVariant* defaultValue, JVariant* step, JVariant* nominal,
                                              const char* unit, uint32_t unitSize, uint32_t scaling, uint32_t kind,
                                              const char* nameFormat, uint32_t nameFormatSize) = 0;
    [[nodiscard]] virtual uint32_t addPrm(uint32_t* outIndex, const char* root, const char* parentAddress,
                                          uint32_t addressLength, const char* name, uint32_t arraySize,
                                          uint32_t type, JVariant* minimum, JVariant* maximum,
                                          JVariant* defaultValue, JVariant* step, JVariant* nominal,
                                          const char* unit, uint32_t unitSize, uint32_t scaling, uint32_t kind,
                                          const char* nameFormat, uint32_t nameFormatSize) = 0;
    [[nodiscard]] virtual uint32_t delCollectionFast(const char* root, const uint32_t* nodes, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t delCollection(const char* root, const char* address, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t delPrmFast(const char* root, const uint32_t* nodes, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t delPrm(const char* root, const char* address, uint32_t length) = 0;
    // Copies the values of srcRoot into dstRoot of dst. taskId names the task whose dirty flags in
    // the source select what is copied; clear clears them afterwards.
    [[nodiscard]] virtual uint32_t copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
                                           uint32_t originatorId, uint32_t taskId, uint8_t clear,
                                           uint8_t notifyOptions, uint32_t notifyMode) = 0;
    // The same between two roots of this field.
    [[nodiscard]] virtual uint32_t copyPrm(const char* srcRoot, const char* dstRoot, uint8_t copyFlags,
                                           uint32_t originatorId, uint32_t taskId, uint8_t clear,
                                           uint8_t notifyOptions, uint32_t notifyMode) = 0;

    // ---- Address conversion ----
    [[nodiscard]] virtual uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                    const char* root, const char* text, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root,
                                                    const uint32_t* nodes, uint32_t depth, uint8_t withTopName) = 0;
    [[nodiscard]] virtual uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                       const char* root, uint32_t scalar) = 0;
    [[nodiscard]] virtual uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
                                                       uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut,
                                                         uint32_t* depthOut, uint32_t capacity, const char* root,
                                                         uint32_t prmIndex) = 0;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut,
                                                        uint32_t* depthOut, uint32_t capacity, const char* root,
                                                        uint32_t prmIndex, uint8_t withTopName) = 0;

    // ---- Dirty areas ----
    [[nodiscard]] virtual uint32_t exchangeSettingDirtyArea(uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t exchangeGettingDirtyArea(uint32_t taskId) = 0;

    // ---- Import and dump ----
    // The copying forms leave the caller's image untouched; the others convert it in place.
    // A null address (nodes or text) with depth 0 imports the whole root.
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemoryFast(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
        const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator,
        uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemory(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
        const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor,
        uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
        uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter,
                                                  uint32_t filterSize, const char* root, const uint32_t* nodes,
                                                  const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                  uint8_t includeOriginator, uint8_t notifyOptions,
                                                  uint32_t originatorId, const ISetChecker* checker,
                                                  uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                              const char* root, const char* address, uint32_t length,
                                              const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                              uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                                              const ISetChecker* checker, uint32_t notifyMode,
                                              const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize,
                                                              const void* filterDump, uint32_t filterSize,
                                                              uint8_t factor, uint8_t includeOriginator,
                                                              uint8_t notifyOptions, uint32_t originatorId,
                                                              const ISetChecker* checker, uint32_t notifyMode,
                                                              const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump,
                                               uint32_t filterSize, uint8_t factor, uint8_t includeOriginator,
                                               uint8_t notifyOptions, uint32_t originatorId,
                                               const ISetChecker* checker, uint32_t notifyMode,
                                               const ExternalSetArg* externalArg) = 0;

    // ---- Value writes ----
    [[nodiscard]] virtual uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                                              const uint32_t* indices, uint32_t depth, uint8_t factor,
                                              uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                              uint32_t originatorId, const ISetChecker* checker,
                                              uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrm(const JVariant& value, const char* root, const char* address,
                                          uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                          uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
                                          uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                                          uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    // repeat non-zero: the values repeat over the range; zero: their number must equal the range's.
    // rootFlags bit 0 bypasses the root's channel linker.
    [[nodiscard]] virtual uint32_t setPrmArrayFast(const JVariantArray& values, const char* root,
                                                   const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                                   uint32_t depth, uint8_t factor, uint8_t repeat,
                                                   uint8_t includeOriginator, uint16_t setOptions,
                                                   uint8_t notifyOptions, uint32_t originatorId,
                                                   const ISetChecker* checker, uint32_t rootFlags,
                                                   uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
                                               uint32_t length, const uint32_t* first, const uint32_t* last,
                                               uint32_t indexCount, uint8_t factor, uint8_t repeat,
                                               uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                               uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                                               uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    // singleFactor non-zero: the first factor serves every element.
    [[nodiscard]] virtual uint32_t setPrmAndFactorArrayFast(
        const JVariantArray& values, const char* root, const uint32_t* nodes, const uint32_t* first,
        const uint32_t* last, uint32_t depth, const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
        uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmAndFactorArray(
        const JVariantArray& values, const char* root, const char* address, uint32_t length, const uint32_t* first,
        const uint32_t* last, uint32_t indexCount, const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
        uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg) = 0;
    // Null vectors or depth 0 address the whole root; reset 0 gives 0x8000000a from the root.
    [[nodiscard]] virtual uint32_t resetPrmFast(const char* root, const uint32_t* nodes, const uint32_t* indices,
                                                uint32_t depth, uint8_t reset, uint8_t factor,
                                                uint8_t includeOriginator, uint32_t originatorId) = 0;
    [[nodiscard]] virtual uint32_t resetPrm(const char* root, const char* address, uint32_t length,
                                            const uint32_t* indices, uint32_t indexCount, uint8_t reset,
                                            uint8_t factor, uint8_t includeOriginator, uint32_t originatorId) = 0;
    [[nodiscard]] virtual uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator,
                                                  uint32_t originatorId) = 0;
    [[nodiscard]] virtual uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes,
                                                uint32_t depth, uint16_t setOptions) = 0;
    [[nodiscard]] virtual uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
                                            uint16_t setOptions) = 0;

    // ---- Change and import queries ----
    [[nodiscard]] virtual uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth, uint8_t clear,
                                                 uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                             uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                                  const uint32_t* indices, uint32_t depth, uint8_t clear,
                                                  uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
                                              const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                              uint32_t taskId) = 0;

    // ---- Plug-ins ----
    [[nodiscard]] virtual uint32_t appendPluginFast(ILinkPlugin* plugin, const char* root, const uint32_t* nodes,
                                                    uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t appendPlugin(ILinkPlugin* plugin, const char* root, const char* address,
                                                uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t removePluginFast(const char* root, const uint32_t* nodes, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t removePlugin(const char* root, const char* address, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                                uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t isPlugin(uint8_t* out, const char* root, const char* address, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPluginFast(ILinkPlugin** out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPlugin(ILinkPlugin** out, const char* root, const char* address,
                                             uint32_t length) = 0;

    // ---- Counts and identity ----
    [[nodiscard]] virtual uint32_t getRootNum(uint32_t* count) = 0;
    // out: 24 bytes.
    [[nodiscard]] virtual uint32_t getRootIdentifier(char* out, uint32_t position) = 0;
    [[nodiscard]] virtual uint32_t getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount,
                                                  const char* root) = 0;
    [[nodiscard]] virtual uint32_t getColAddrNum(uint32_t* count, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getPrmAddrNum(uint32_t* count, const char* root) = 0;
    // out: 24 and 12 bytes.
    [[nodiscard]] virtual uint32_t getDescName(char* out, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getDescVersion(char* out, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getDepth(uint32_t* depth, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getUuid(char* out, const char* root) = 0;
    [[nodiscard]] virtual uint32_t isSameUuid(const void* image, uint32_t size, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getPrmNum(uint32_t* count, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getStrAddrMaxSize(uint32_t* size, const char* root, uint8_t withTopName) = 0;
    [[nodiscard]] virtual uint32_t getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes,
                                                  uint32_t depth, uint8_t withTopName) = 0;
    [[nodiscard]] virtual uint32_t getTransactionDirty(uint8_t* flag, const char* root, uint32_t taskId) = 0;

    // ---- Export ----
    [[nodiscard]] virtual uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                         uint32_t depth, uint8_t wholeLastLevel) = 0;
    [[nodiscard]] virtual uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                          const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                          uint8_t rangeMode) = 0;
    [[nodiscard]] virtual uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address,
                                                     uint32_t length, uint8_t wholeLastLevel) = 0;
    [[nodiscard]] virtual uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address,
                                                      uint32_t length, const uint32_t* first, const uint32_t* last,
                                                      uint32_t indexCount, uint8_t rangeMode) = 0;
    // factorsOut (may be null): the set factors of the exported elements.
    [[nodiscard]] virtual uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                  const char* root, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
                                                  uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                                                  uint8_t* factorsOut) = 0;
    [[nodiscard]] virtual uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                   const char* root, const uint32_t* nodes, const uint32_t* first,
                                                   const uint32_t* last, uint32_t depth, uint8_t rangeMode,
                                                   uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                                                   uint8_t clearImport, uint8_t* factorsOut,
                                                   uint32_t factorCount) = 0;
    [[nodiscard]] virtual uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                              const char* address, uint32_t length, const uint32_t* indices,
                                              uint32_t indexCount, uint8_t wholeLastLevel, uint8_t clearDirty,
                                              uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                                              uint8_t* factorsOut) = 0;
    [[nodiscard]] virtual uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize,
                                               const char* root, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                               uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
                                               uint32_t factorCount) = 0;
    [[nodiscard]] virtual uint32_t getDumpSizeFast(uint32_t* size) = 0;
    [[nodiscard]] virtual uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                               uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId) = 0;

    // ---- Value reads ----
    [[nodiscard]] virtual uint32_t getPrmFast(JVariant* value, uint8_t* factor, const char* root,
                                              const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                              uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address,
                                          uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                          uint8_t clear, uint32_t taskId) = 0;
    // expectedCount 0: not checked.
    [[nodiscard]] virtual uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                                   const char* root, const uint32_t* nodes, const uint32_t* first,
                                                   const uint32_t* last, uint32_t depth, uint8_t clear,
                                                   uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                               const char* root, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors,
                                                           uint32_t expectedCount, uint8_t* dirty, const char* root,
                                                           const uint32_t* nodes, const uint32_t* first,
                                                           const uint32_t* last, uint32_t depth, uint8_t clear,
                                                           uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors,
                                                       uint32_t expectedCount, uint8_t* dirty, const char* root,
                                                       const char* address, uint32_t length, const uint32_t* first,
                                                       const uint32_t* last, uint32_t indexCount, uint8_t clear,
                                                       uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
                                                         uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                         const char* root, const uint32_t* startNodes,
                                                         const uint32_t* startIndices, uint32_t startDepth,
                                                         uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
                                                         uint32_t* depthOut, uint32_t capacity, const char* root,
                                                         const uint32_t* startNodes, const uint32_t* startIndices,
                                                         uint32_t startDepth, uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut,
                                                     uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                                     uint32_t capacity, const char* root, const char* startAddress,
                                                     uint32_t length, const uint32_t* startIndices,
                                                     uint32_t indexCount, uint8_t clear, uint32_t taskId,
                                                     uint8_t withTopName) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                     uint32_t* depthOut, uint32_t capacity, const char* root,
                                                     const char* startAddress, uint32_t length,
                                                     const uint32_t* startIndices, uint32_t indexCount,
                                                     uint8_t clear, uint32_t taskId, uint8_t withTopName) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                       uint32_t* depthOut, uint32_t capacity, const char* root,
                                                       const uint32_t* nodes, const uint32_t* indices,
                                                       uint32_t depth, uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                       const char* root, const uint32_t* nodes,
                                                       const uint32_t* indices, uint32_t depth, uint8_t clear,
                                                       uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                   uint32_t* depthOut, uint32_t capacity, const char* root,
                                                   const char* address, uint32_t length, const uint32_t* indices,
                                                   uint32_t indexCount, uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                   const char* root, const char* address, uint32_t length,
                                                   const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                                   uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
                                                                 uint32_t* depthOut, uint32_t capacity,
                                                                 const char* root, const uint32_t* startNodes,
                                                                 const uint32_t* startIndices, uint32_t startDepth,
                                                                 uint8_t clear, uint32_t taskId) = 0;
    [[nodiscard]] virtual uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                             uint32_t* depthOut, uint32_t capacity, const char* root,
                                                             const char* startAddress, uint32_t length,
                                                             const uint32_t* startIndices, uint32_t indexCount,
                                                             uint8_t clear, uint32_t taskId,
                                                             uint8_t withTopName) = 0;

    // ---- Node information ----
    [[nodiscard]] virtual uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                          uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
                                                      uint32_t length) = 0;
    // out: 24 bytes.
    [[nodiscard]] virtual uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes,
                                                   uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getChildNodeName(char* out, const char* root, const char* address,
                                                    uint32_t length, uint32_t childPosition) = 0;
    [[nodiscard]] virtual uint32_t getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                        uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNodeArraySize(uint32_t* size, const char* root, const char* address,
                                                    uint32_t length) = 0;
    // 0 collection, 1 parameter.
    [[nodiscard]] virtual uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes,
                                                       uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNodeCategory(uint8_t* category, const char* root, const char* address,
                                                   uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getNodePrmNumFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                     uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNodePrmNum(uint32_t* count, const char* root, const char* address,
                                                 uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getNodeDirtyBitNumFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                          uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNodeDirtyBitNum(uint32_t* count, const char* root, const char* address,
                                                      uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getNodeDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                       uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getNodeDataSize(uint32_t* size, const char* root, const char* address,
                                                   uint32_t length) = 0;
    // Each output may be null; maxIndices receives per level the node's array size minus 1.
    [[nodiscard]] virtual uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                                   uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                                   uint32_t depth, const char* root, const uint32_t* nodes) = 0;
    [[nodiscard]] virtual uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                               uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                               uint32_t capacity, const char* root, const char* address,
                                               uint32_t length) = 0;

    // ---- Parameter attributes ----
    [[nodiscard]] virtual uint32_t getPrmAttribFast(T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
                                                    uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmAttrib(T_PRM_ATTRIB* out, const char* root, const char* address,
                                                uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmType(uint32_t* type, const char* root, const char* address,
                                              uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmMin(JVariant* out, const char* root, const char* address,
                                             uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmMax(JVariant* out, const char* root, const char* address,
                                             uint32_t length) = 0;
    // Defaults may differ per element.
    [[nodiscard]] virtual uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount) = 0;
    // The first element's default: the forms above with an all-zero index vector of five entries.
    [[nodiscard]] virtual uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth);
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmStep(JVariant* out, const char* root, const char* address,
                                              uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                     uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmNominal(JVariant* out, const char* root, const char* address,
                                                 uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                      uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address,
                                                  uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmUnit(char* out, const char* root, const char* address, uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
                                                     uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address,
                                                 uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address,
                                              uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                            uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
                                                        uint32_t length) = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
                                                        uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormat(char* out, const char* root, const char* address,
                                                    uint32_t length) = 0;

    // ---- Sharing and channel linker ----
    [[nodiscard]] virtual uint32_t shareRootFast(sharedRootInfo* out, const char* root, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth) = 0;
    [[nodiscard]] virtual uint32_t shareRoot(sharedRootInfo* out, const char* root, const char* address,
                                             uint32_t length, const uint32_t* indices, uint32_t indexCount) = 0;
    [[nodiscard]] virtual uint32_t setChannelLinker(const char* root, IChannelLinker* linker) = 0;

    virtual ~IField() {}
};

inline uint32_t IField::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const uint32_t firstElement[5] = {};
    return getPrmDefFast(out, root, nodes, firstElement, depth);
}

inline uint32_t IField::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length)
{
    const uint32_t firstElement[5] = {};
    return getPrmDef(out, root, address, length, firstElement, 5);
}

}  // namespace MMS
