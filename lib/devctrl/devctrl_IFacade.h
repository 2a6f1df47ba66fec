#pragma once
// One client's handle on a field registered with the instance broker. It mirrors the field's
// operations less the caller's task id (the facade carries its client's id and passes it itself)
// and less the building, structure, copy, plug-in and sharing operations. Text addresses obtained
// through a facade never carry the root name. Declaration order is the slot order.
// Threading: one client task; the facade itself takes no lock, the field locks itself.
#include <cstdint>

class JVariant;
class JVariantArray;

namespace MMS {
class ExternalSetArg;
class IEventFlagTrigger;
class IMutex;
class ISetChecker;
struct T_PRM_ATTRIB;
}  // namespace MMS

namespace OrderedNotify {
class ISetOrderedNotify;
}

namespace DeviceControl {

class IFacade {
public:
    // ---- Field state ----
    virtual MMS::IEventFlagTrigger* getEventTrigger() const = 0;
    virtual MMS::IMutex* getMutex() const = 0;
    [[nodiscard]] virtual uint32_t getStatus(uint8_t* status) = 0;
    [[nodiscard]] virtual uint32_t getRootStatus(const char* root, uint8_t* status) = 0;
    virtual uint32_t getBuildCount() const = 0;
    [[nodiscard]] virtual uint32_t getRootAdditionFlag(const char* root, uint8_t clear) = 0;

    // ---- Subscriptions ----
    [[nodiscard]] virtual uint32_t subscribe(uint32_t subscribeMode, uint32_t areaCount, bool raiseAll) = 0;
    [[nodiscard]] virtual uint32_t unsubscribe() = 0;
    [[nodiscard]] virtual uint32_t attachOrderedNotify(const char* root, OrderedNotify::ISetOrderedNotify* writer) = 0;

    // ---- Address conversion ----
    [[nodiscard]] virtual uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                    const char* root, const char* text, uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root,
                                                    const uint32_t* nodes, uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                       const char* root, uint32_t scalar) const = 0;
    [[nodiscard]] virtual uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
                                                       uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut,
                                                         uint32_t* depthOut, uint32_t capacity, const char* root,
                                                         uint32_t prmIndex) const = 0;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut,
                                                        uint32_t* depthOut, uint32_t capacity, const char* root,
                                                        uint32_t prmIndex) const = 0;

    // ---- Change tracking ----
    [[nodiscard]] virtual uint32_t exchangeSettingDirtyArea() = 0;
    [[nodiscard]] virtual uint32_t exchangeGettingDirtyArea() = 0;

    // ---- Alternate field: a private copy of the field put in front of it ----
    [[nodiscard]] virtual uint32_t swapAlternateField(bool backOnly) = 0;
    [[nodiscard]] virtual uint32_t copyToAlternateField(uint8_t mode) = 0;
    [[nodiscard]] virtual uint32_t createAlternateField() = 0;
    [[nodiscard]] virtual uint32_t destroyAlternateField() = 0;

    // ---- Import and dump writes ----
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemoryFast(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
        const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t markOwn,
        uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
        const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemory(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
        const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor,
        uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
        const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter,
                                                  uint32_t filterSize, const char* root, const uint32_t* nodes,
                                                  const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                  uint8_t markOwn, uint8_t setOption,
                                                  const MMS::ISetChecker* checker, uint32_t subscribeMode,
                                                  const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                              const char* root, const char* address, uint32_t length,
                                              const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                              uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
                                              uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize,
                                                              const void* filterDump, uint32_t filterSize,
                                                              uint8_t factor, uint8_t markOwn, uint8_t setOption,
                                                              const MMS::ISetChecker* checker,
                                                              uint32_t subscribeMode,
                                                              const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump,
                                               uint32_t filterSize, uint8_t factor, uint8_t markOwn,
                                               uint8_t setOption, const MMS::ISetChecker* checker,
                                               uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) = 0;

    // ---- Value writes ----
    [[nodiscard]] virtual uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                                              const uint32_t* indexes, uint32_t depth, uint8_t factor,
                                              uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
                                              const MMS::ISetChecker* checker, uint32_t subscribeMode,
                                              const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrm(const JVariant& value, const char* root, const char* address,
                                          uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount,
                                          uint8_t factor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
                                          const MMS::ISetChecker* checker, uint32_t subscribeMode,
                                          const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmArrayFast(const JVariantArray& values, const char* root,
                                                   const uint32_t* nodes, const uint32_t* startIndexes,
                                                   const uint32_t* endIndexes, uint32_t depth, uint8_t factor,
                                                   uint8_t sameValue, uint8_t markOwn, uint16_t checkMode,
                                                   uint8_t setOption, const MMS::ISetChecker* checker,
                                                   uint32_t channelOption, uint32_t subscribeMode,
                                                   const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
                                               uint32_t addressLength, const uint32_t* startIndexes,
                                               const uint32_t* endIndexes, uint32_t indexCount, uint8_t factor,
                                               uint8_t sameValue, uint8_t markOwn, uint16_t checkMode,
                                               uint8_t setOption, const MMS::ISetChecker* checker,
                                               uint32_t channelOption, uint32_t subscribeMode,
                                               const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmAndFactorArrayFast(
        const JVariantArray& values, const char* root, const uint32_t* nodes, const uint32_t* startIndexes,
        const uint32_t* endIndexes, uint32_t depth, const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor,
        uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker,
        uint32_t channelOption, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setPrmAndFactorArray(
        const JVariantArray& values, const char* root, const char* address, uint32_t addressLength,
        const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount, const uint8_t* factors,
        uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
        const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
        const MMS::ExternalSetArg* externalArg) = 0;
    [[nodiscard]] virtual uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t markOwn) = 0;

    // ---- Checks and change queries ----
    [[nodiscard]] virtual uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes,
                                                uint32_t depth, uint16_t checkMode) = 0;
    [[nodiscard]] virtual uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
                                            uint16_t checkMode) = 0;
    [[nodiscard]] virtual uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                                  const uint32_t* indices, uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
                                              const uint32_t* indices, uint32_t indexCount, uint8_t clear) = 0;

    // ---- Root information ----
    [[nodiscard]] virtual uint32_t getRootNum(uint32_t* count) const = 0;
    // out: 24 bytes.
    [[nodiscard]] virtual uint32_t getRootIdentifier(char* out, uint32_t position) const = 0;
    [[nodiscard]] virtual uint32_t getDescName(char* out, const char* root) = 0;
    [[nodiscard]] virtual uint32_t getDepth(uint32_t* depth, const char* root) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNum(uint32_t* count, const char* root) const = 0;
    [[nodiscard]] virtual uint32_t getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getTransactionDirty(uint8_t* flag, const char* root) const = 0;

    // ---- Export and dump reads ----
    [[nodiscard]] virtual uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                         uint32_t depth, uint8_t wholeLastLevel) const = 0;
    [[nodiscard]] virtual uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                          const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                          uint8_t rangeMode) const = 0;
    [[nodiscard]] virtual uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address,
                                                     uint32_t length, uint8_t wholeLastLevel) const = 0;
    [[nodiscard]] virtual uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address,
                                                      uint32_t length, const uint32_t* first, const uint32_t* last,
                                                      uint32_t indexCount, uint8_t rangeMode) const = 0;
    [[nodiscard]] virtual uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                  const char* root, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
                                                  uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut) = 0;
    [[nodiscard]] virtual uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                                   const char* root, const uint32_t* nodes, const uint32_t* first,
                                                   const uint32_t* last, uint32_t depth, uint8_t rangeMode,
                                                   uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport,
                                                   uint8_t* factorsOut, uint32_t factorCount) = 0;
    [[nodiscard]] virtual uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                              const char* address, uint32_t length, const uint32_t* indices,
                                              uint32_t indexCount, uint8_t wholeLastLevel, uint8_t clearDirty,
                                              uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut) = 0;
    [[nodiscard]] virtual uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize,
                                               const char* root, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                               uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount) = 0;
    [[nodiscard]] virtual uint32_t getDumpSizeFast(uint32_t* size) const = 0;
    [[nodiscard]] virtual uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize,
                                               uint8_t clearDirty, uint8_t byteOrder) = 0;

    // ---- Value reads ----
    [[nodiscard]] virtual uint32_t getPrmFast(JVariant* value, uint8_t* state, const char* root,
                                              const uint32_t* nodes, const uint32_t* indexes, uint32_t depth,
                                              uint8_t option) = 0;
    [[nodiscard]] virtual uint32_t getPrm(JVariant* value, uint8_t* state, const char* root, const char* address,
                                          uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount,
                                          uint8_t option) = 0;
    [[nodiscard]] virtual uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                                   const char* root, const uint32_t* nodes, const uint32_t* first,
                                                   const uint32_t* last, uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                               const char* root, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors,
                                                           uint32_t expectedCount, uint8_t* dirty, const char* root,
                                                           const uint32_t* nodes, const uint32_t* first,
                                                           const uint32_t* last, uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors,
                                                       uint32_t expectedCount, uint8_t* dirty, const char* root,
                                                       const char* address, uint32_t length, const uint32_t* first,
                                                       const uint32_t* last, uint32_t indexCount, uint8_t clear) = 0;

    // ---- Change walks ----
    [[nodiscard]] virtual uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
                                                         uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                         const char* root, const uint32_t* startNodes,
                                                         const uint32_t* startIndices, uint32_t startDepth,
                                                         uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
                                                         uint32_t* depthOut, uint32_t capacity, const char* root,
                                                         const uint32_t* startNodes, const uint32_t* startIndices,
                                                         uint32_t startDepth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut,
                                                     uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                                     uint32_t capacity, const char* root, const char* startAddress,
                                                     uint32_t length, const uint32_t* startIndices,
                                                     uint32_t indexCount, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                     uint32_t* depthOut, uint32_t capacity, const char* root,
                                                     const char* startAddress, uint32_t length,
                                                     const uint32_t* startIndices, uint32_t indexCount,
                                                     uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                       uint32_t* depthOut, uint32_t capacity, const char* root,
                                                       const uint32_t* nodes, const uint32_t* indices,
                                                       uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                       const char* root, const uint32_t* nodes,
                                                       const uint32_t* indices, uint32_t depth, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                   uint32_t* depthOut, uint32_t capacity, const char* root,
                                                   const char* address, uint32_t length, const uint32_t* indices,
                                                   uint32_t indexCount, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                   const char* root, const char* address, uint32_t length,
                                                   const uint32_t* indices, uint32_t indexCount, uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
                                                                 uint32_t* depthOut, uint32_t capacity,
                                                                 const char* root, const uint32_t* startNodes,
                                                                 const uint32_t* startIndices, uint32_t startDepth,
                                                                 uint8_t clear) = 0;
    [[nodiscard]] virtual uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                             uint32_t* depthOut, uint32_t capacity, const char* root,
                                                             const char* startAddress, uint32_t length,
                                                             const uint32_t* startIndices, uint32_t indexCount,
                                                             uint8_t clear) = 0;

    // ---- Node information ----
    [[nodiscard]] virtual uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                          uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
                                                      uint32_t length) const = 0;
    // out: 24 bytes.
    [[nodiscard]] virtual uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes,
                                                   uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getChildNodeName(char* out, const char* root, const char* address,
                                                    uint32_t length, uint32_t childPosition) const = 0;
    [[nodiscard]] virtual uint32_t getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                        uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getNodeArraySize(uint32_t* size, const char* root, const char* address,
                                                    uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes,
                                                       uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getNodeCategory(uint8_t* category, const char* root, const char* address,
                                                   uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                                   uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                                   uint32_t depth, const char* root,
                                                   const uint32_t* nodes) const = 0;
    [[nodiscard]] virtual uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                               uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                               uint32_t capacity, const char* root, const char* address,
                                               uint32_t length) const = 0;

    // ---- Parameter attributes ----
    [[nodiscard]] virtual uint32_t getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
                                                    uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address,
                                                uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmType(uint32_t* type, const char* root, const char* address,
                                              uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmMin(JVariant* out, const char* root, const char* address,
                                             uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmMax(JVariant* out, const char* root, const char* address,
                                             uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 const uint32_t* indices, uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount) const = 0;
    // The first element's default: the forms above with an all-zero index vector of five entries.
    [[nodiscard]] virtual uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                 uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* out, const char* root, const char* address,
                                             uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmStep(JVariant* out, const char* root, const char* address,
                                              uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
                                                     uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNominal(JVariant* out, const char* root, const char* address,
                                                 uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                      uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address,
                                                  uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmUnit(char* out, const char* root, const char* address,
                                              uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
                                                     uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address,
                                                 uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address,
                                              uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                            uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
                                                        uint32_t length) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
                                                        uint32_t depth) const = 0;
    [[nodiscard]] virtual uint32_t getPrmNameFormat(char* out, const char* root, const char* address,
                                                    uint32_t length) const = 0;

    virtual ~IFacade() {}
};

inline uint32_t IFacade::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    const uint32_t firstElement[5] = {};
    return getPrmDefFast(out, root, nodes, firstElement, depth);
}

inline uint32_t IFacade::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length) const
{
    const uint32_t firstElement[5] = {};
    return getPrmDef(out, root, address, length, firstElement, 5);
}

}  // namespace DeviceControl
