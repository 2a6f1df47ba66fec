#pragma once
// Presents a facade as a field, so that code written against MMS::IField can be handed a client's
// facade. What the facade offers is forwarded (the facade supplies the task id, never adds the
// root name to text addresses and writes without an external argument); building, structure,
// copies, plug-ins, sharing and the identity and count queries are refused with 0x80000000.
// Threading: none of its own; every call runs on the caller's task and the facade's field locks.
#include <cstdint>

#include "MMS/Common/mms_IField.h"

namespace DeviceControl {

class IFacade;

class IFieldWrapper : public MMS::IField {
public:
    static constexpr uint32_t kFailed = 0x80000000u;

    IFieldWrapper() = default;
    // Leaves the facade alone: its owner (normally the broker) deletes it.
    ~IFieldWrapper() override = default;

    IFieldWrapper(const IFieldWrapper&) = delete;
    IFieldWrapper& operator=(const IFieldWrapper&) = delete;

    // Points the wrapper at a facade, or at none (null); may be called again at any time. The
    // facade is borrowed: the caller keeps it alive while the wrapper points at it. Always 0.
    uint32_t initialize(IFacade* facade);

    // Without a facade: null from getEventTrigger and getMutex, 0 from getBuildCount and
    // getRootAdditionFlag, 0x80000000 from every other operation. The task id and withTopName
    // arguments are ignored; getStrAddrSize is forwarded like the other text-address operations.
    // getNodeDataSize and its Fast form go through this wrapper's own getNodeInfo forms.
    using MMS::IField::getPrmDef;
    using MMS::IField::getPrmDefFast;

    MMS::IEventFlagTrigger* getEventTrigger() const override;
    MMS::IMutex* getMutex() const override;
    [[nodiscard]] uint32_t getStatus(uint8_t* status) override;
    [[nodiscard]] uint32_t getRootStatus(const char* root, uint8_t* status) override;
    [[nodiscard]] uint32_t startBuild() override;
    [[nodiscard]] uint32_t linkBuild(uint8_t option) override;
    [[nodiscard]] uint32_t finishBuild(uint8_t option) override;
    [[nodiscard]] uint32_t createRoot(const char* root, const char* topName, uint32_t maxCollections,
                                      uint32_t maxParameters, uint32_t stringPoolSize) override;
    [[nodiscard]] uint32_t addRoot(const char* root, const MMS::sharedRootInfo& info) override;
    [[nodiscard]] uint32_t jointRoot(const char* root, const MMS::sharedRootInfo& info, uint8_t mode) override;
    [[nodiscard]] uint32_t recoveryRoot(const char* root, const MMS::sharedRootInfo& info, uint8_t mode) override;
    [[nodiscard]] uint32_t destroyRoot(const char* root) override;
    uint32_t getBuildCount() const override;
    [[nodiscard]] uint32_t getRootAdditionFlag(const char* root, uint32_t taskId, uint8_t clear) override;
    [[nodiscard]] uint32_t subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll) override;
    [[nodiscard]] uint32_t unsubscribe(uint32_t taskId) override;
    [[nodiscard]] uint32_t attachOrderedNotify(const char* root, void* setter) override;
    [[nodiscard]] uint32_t setDescName(const char* root, const char* name) override;
    [[nodiscard]] uint32_t setDescVersion(const char* root, const char* version) override;
    [[nodiscard]] uint32_t addCollectionFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
                                             uint32_t parentDepth, const char* name, uint32_t arraySize) override;
    [[nodiscard]] uint32_t addCollection(uint32_t* outIndex, const char* root, const char* parentAddress,
                                         uint32_t addressLength, const char* name, uint32_t arraySize) override;
    [[nodiscard]] uint32_t addPrmFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
                                      uint32_t parentDepth, const char* name, uint32_t arraySize, uint32_t type,
                                      JVariant* minimum, JVariant* maximum, JVariant* defaultValue, JVariant* step,
                                      JVariant* nominal, const char* unit, uint32_t unitSize, uint32_t scaling,
                                      uint32_t kind, const char* nameFormat, uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t addPrm(uint32_t* outIndex, const char* root, const char* parentAddress,
                                  uint32_t addressLength, const char* name, uint32_t arraySize, uint32_t type,
                                  JVariant* minimum, JVariant* maximum, JVariant* defaultValue, JVariant* step,
                                  JVariant* nominal, const char* unit, uint32_t unitSize, uint32_t scaling,
                                  uint32_t kind, const char* nameFormat, uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t delCollectionFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delCollection(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t delPrmFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delPrm(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, MMS::IField* dst, const char* dstRoot, uint8_t copyFlags,
                                   uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions,
                                   uint32_t notifyMode) override;
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, const char* dstRoot, uint8_t copyFlags, uint32_t originatorId,
                                   uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode) override;
    [[nodiscard]] uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                            const char* text, uint32_t length) override;
    [[nodiscard]] uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
                                            uint32_t depth, uint8_t withTopName) override;
    [[nodiscard]] uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                               const char* root, uint32_t scalar) override;
    [[nodiscard]] uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
                                               uint32_t depth) override;
    [[nodiscard]] uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                 uint32_t capacity, const char* root, uint32_t prmIndex) override;
    [[nodiscard]] uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
                                                uint32_t capacity, const char* root, uint32_t prmIndex,
                                                uint8_t withTopName) override;
    [[nodiscard]] uint32_t exchangeSettingDirtyArea(uint32_t taskId) override;
    [[nodiscard]] uint32_t exchangeGettingDirtyArea(uint32_t taskId) override;
    [[nodiscard]] uint32_t importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
                                                         uint32_t filterSize, const char* root, const uint32_t* nodes,
                                                         const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                         uint8_t includeOriginator, uint8_t notifyOptions,
                                                         uint32_t originatorId, const MMS::ISetChecker* checker,
                                                         uint32_t notifyMode,
                                                         const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
                                                     uint32_t filterSize, const char* root, const char* address,
                                                     uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                                     uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                                     uint32_t originatorId, const MMS::ISetChecker* checker,
                                                     uint32_t notifyMode,
                                                     const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                          const char* root, const uint32_t* nodes, const uint32_t* indices,
                                          uint32_t depth, uint8_t factor, uint8_t includeOriginator,
                                          uint8_t notifyOptions, uint32_t originatorId, const MMS::ISetChecker* checker,
                                          uint32_t notifyMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                      const char* root, const char* address, uint32_t length, const uint32_t* indices,
                                      uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
                                      uint8_t notifyOptions, uint32_t originatorId, const MMS::ISetChecker* checker,
                                      uint32_t notifyMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
                                                      uint32_t filterSize, uint8_t factor, uint8_t includeOriginator,
                                                      uint8_t notifyOptions, uint32_t originatorId,
                                                      const MMS::ISetChecker* checker, uint32_t notifyMode,
                                                      const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
                                       uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                       uint32_t originatorId, const MMS::ISetChecker* checker, uint32_t notifyMode,
                                       const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                                      const uint32_t* indices, uint32_t depth, uint8_t factor,
                                      uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                      uint32_t originatorId, const MMS::ISetChecker* checker, uint32_t notifyMode,
                                      const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                  uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                  uint32_t originatorId, const MMS::ISetChecker* checker, uint32_t notifyMode,
                                  const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                           const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor,
                                           uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions,
                                           uint8_t notifyOptions, uint32_t originatorId,
                                           const MMS::ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
                                           const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
                                       uint32_t length, const uint32_t* first, const uint32_t* last,
                                       uint32_t indexCount, uint8_t factor, uint8_t repeat, uint8_t includeOriginator,
                                       uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                                       const MMS::ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
                                       const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
                                                    const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                                    uint32_t depth, const uint8_t* factors, uint8_t repeat,
                                                    uint8_t singleFactor, uint8_t includeOriginator,
                                                    uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
                                                    const MMS::ISetChecker* checker, uint32_t rootFlags,
                                                    uint32_t notifyMode,
                                                    const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
                                                uint32_t length, const uint32_t* first, const uint32_t* last,
                                                uint32_t indexCount, const uint8_t* factors, uint8_t repeat,
                                                uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions,
                                                uint8_t notifyOptions, uint32_t originatorId,
                                                const MMS::ISetChecker* checker, uint32_t rootFlags,
                                                uint32_t notifyMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t resetPrmFast(const char* root, const uint32_t* nodes, const uint32_t* indices,
                                        uint32_t depth, uint8_t reset, uint8_t factor, uint8_t includeOriginator,
                                        uint32_t originatorId) override;
    [[nodiscard]] uint32_t resetPrm(const char* root, const char* address, uint32_t length, const uint32_t* indices,
                                    uint32_t indexCount, uint8_t reset, uint8_t factor, uint8_t includeOriginator,
                                    uint32_t originatorId) override;
    [[nodiscard]] uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator,
                                          uint32_t originatorId) override;
    [[nodiscard]] uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
                                        uint16_t setOptions) override;
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
                                    uint16_t setOptions) override;
    [[nodiscard]] uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                                         uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
                                     const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                     uint32_t taskId) override;
    [[nodiscard]] uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
                                          const uint32_t* indices, uint32_t depth, uint8_t clear,
                                          uint32_t taskId) override;
    [[nodiscard]] uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
                                      const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                      uint32_t taskId) override;
    [[nodiscard]] uint32_t appendPluginFast(MMS::ILinkPlugin* plugin, const char* root, const uint32_t* nodes,
                                            uint32_t depth) override;
    [[nodiscard]] uint32_t appendPlugin(MMS::ILinkPlugin* plugin, const char* root, const char* address,
                                        uint32_t length) override;
    [[nodiscard]] uint32_t removePluginFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t removePlugin(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t isPlugin(uint8_t* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPluginFast(MMS::ILinkPlugin** out, const char* root, const uint32_t* nodes,
                                         uint32_t depth) override;
    [[nodiscard]] uint32_t getPlugin(MMS::ILinkPlugin** out, const char* root, const char* address,
                                     uint32_t length) override;
    [[nodiscard]] uint32_t getRootNum(uint32_t* count) override;
    [[nodiscard]] uint32_t getRootIdentifier(char* out, uint32_t position) override;
    [[nodiscard]] uint32_t getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount,
                                          const char* root) override;
    [[nodiscard]] uint32_t getColAddrNum(uint32_t* count, const char* root) override;
    [[nodiscard]] uint32_t getPrmAddrNum(uint32_t* count, const char* root) override;
    [[nodiscard]] uint32_t getDescName(char* out, const char* root) override;
    [[nodiscard]] uint32_t getDescVersion(char* out, const char* root) override;
    [[nodiscard]] uint32_t getDepth(uint32_t* depth, const char* root) override;
    [[nodiscard]] uint32_t getUuid(char* out, const char* root) override;
    [[nodiscard]] uint32_t isSameUuid(const void* image, uint32_t size, const char* root) override;
    [[nodiscard]] uint32_t getPrmNum(uint32_t* count, const char* root) override;
    [[nodiscard]] uint32_t getStrAddrMaxSize(uint32_t* size, const char* root, uint8_t withTopName) override;
    [[nodiscard]] uint32_t getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                          uint8_t withTopName) override;
    [[nodiscard]] uint32_t getTransactionDirty(uint8_t* flag, const char* root, uint32_t taskId) override;
    [[nodiscard]] uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                 uint32_t depth, uint8_t wholeLastLevel) override;
    [[nodiscard]] uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                  const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                  uint8_t rangeMode) override;
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                             uint8_t wholeLastLevel) override;
    [[nodiscard]] uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                              const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                              uint8_t rangeMode) override;
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
                                       const uint32_t* last, uint32_t indexCount, uint8_t rangeMode, uint8_t clearDirty,
                                       uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
                                       uint32_t factorCount) override;
    [[nodiscard]] uint32_t getDumpSizeFast(uint32_t* size) override;
    [[nodiscard]] uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
                                       uint8_t byteOrder, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmFast(JVariant* value, uint8_t* factor, const char* root, const uint32_t* nodes,
                                      const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address,
                                  uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                  uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                           const char* root, const uint32_t* nodes, const uint32_t* first,
                                           const uint32_t* last, uint32_t depth, uint8_t clear,
                                           uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                       const char* root, const char* address, uint32_t length, const uint32_t* first,
                                       const uint32_t* last, uint32_t indexCount, uint8_t clear,
                                       uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                                   uint8_t* dirty, const char* root, const uint32_t* nodes,
                                                   const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                   uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                               uint8_t* dirty, const char* root, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
                                                 uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                 const char* root, const uint32_t* startNodes,
                                                 const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                                 uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                 uint32_t capacity, const char* root, const uint32_t* startNodes,
                                                 const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                                 uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
                                             uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                             const char* root, const char* startAddress, uint32_t length,
                                             const uint32_t* startIndices, uint32_t indexCount, uint8_t clear,
                                             uint32_t taskId, uint8_t withTopName) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                             uint32_t capacity, const char* root, const char* startAddress,
                                             uint32_t length, const uint32_t* startIndices, uint32_t indexCount,
                                             uint8_t clear, uint32_t taskId, uint8_t withTopName) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                               uint32_t* depthOut, uint32_t capacity, const char* root,
                                               const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                               uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                               const char* root, const uint32_t* nodes, const uint32_t* indices,
                                               uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                                           uint32_t capacity, const char* root, const char* address, uint32_t length,
                                           const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                           uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                           const char* root, const char* address, uint32_t length,
                                           const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                           uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                         uint32_t capacity, const char* root,
                                                         const uint32_t* startNodes, const uint32_t* startIndices,
                                                         uint32_t startDepth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                     uint32_t* depthOut, uint32_t capacity, const char* root,
                                                     const char* startAddress, uint32_t length,
                                                     const uint32_t* startIndices, uint32_t indexCount, uint8_t clear,
                                                     uint32_t taskId, uint8_t withTopName) override;
    [[nodiscard]] uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) override;
    [[nodiscard]] uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
                                              uint32_t length) override;
    [[nodiscard]] uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
                                            uint32_t childPosition) override;
    [[nodiscard]] uint32_t getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                uint32_t depth) override;
    [[nodiscard]] uint32_t getNodeArraySize(uint32_t* size, const char* root, const char* address,
                                            uint32_t length) override;
    [[nodiscard]] uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes,
                                               uint32_t depth) override;
    [[nodiscard]] uint32_t getNodeCategory(uint8_t* category, const char* root, const char* address,
                                           uint32_t length) override;
    [[nodiscard]] uint32_t getNodePrmNumFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                             uint32_t depth) override;
    [[nodiscard]] uint32_t getNodePrmNum(uint32_t* count, const char* root, const char* address,
                                         uint32_t length) override;
    [[nodiscard]] uint32_t getNodeDirtyBitNumFast(uint32_t* count, const char* root, const uint32_t* nodes,
                                                  uint32_t depth) override;
    [[nodiscard]] uint32_t getNodeDirtyBitNum(uint32_t* count, const char* root, const char* address,
                                              uint32_t length) override;
    [[nodiscard]] uint32_t getNodeDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                               uint32_t depth) override;
    [[nodiscard]] uint32_t getNodeDataSize(uint32_t* size, const char* root, const char* address,
                                           uint32_t length) override;
    [[nodiscard]] uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                           uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
                                           const uint32_t* nodes) override;
    [[nodiscard]] uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                       uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root,
                                       const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
                                            uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address,
                                        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes,
                                          uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes,
                                         uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes,
                                         uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
                                         const uint32_t* indices, uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
                                     const uint32_t* indices, uint32_t indexCount) override;
    [[nodiscard]] uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes,
                                          uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
                                             uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNominal(JVariant* out, const char* root, const char* address,
                                         uint32_t length) override;
    [[nodiscard]] uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                              uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address,
                                          uint32_t length) override;
    [[nodiscard]] uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmUnit(char* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
                                             uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address,
                                         uint32_t length) override;
    [[nodiscard]] uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes,
                                          uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                    uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
                                                uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
                                                uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t shareRootFast(MMS::sharedRootInfo* out, const char* root, const uint32_t* nodes,
                                         const uint32_t* indices, uint32_t depth) override;
    [[nodiscard]] uint32_t shareRoot(MMS::sharedRootInfo* out, const char* root, const char* address, uint32_t length,
                                     const uint32_t* indices, uint32_t indexCount) override;
    [[nodiscard]] uint32_t setChannelLinker(const char* root, MMS::IChannelLinker* linker) override;

private:
    IFacade* m_pFacade = nullptr;  // borrowed; see initialize
};

}  // namespace DeviceControl
