#pragma once
// The thread-safe field: every operation of the field interface carried out by the field core
// while the field holds the locks of its lock object that the operation needs (ctrl for queries,
// ctrl and get for reads, ctrl and set for writes and structure changes). Any task may call any
// operation; without a lock object nothing is locked and the user serialises the calls.
#include <cstdint>
#include <optional>

#include "mms_Base.h"
#include "mms_IField.h"
#include "mms_Platform.h"

namespace MMS {

class IEventFlagTrigger;
class IMutex;
class ISharedMemory;

class Field : public IField {
public:
    MMS_CLASS_ALLOCATORS

    // trigger and the providers go to the core (any may be null); mutex is the owner's, may be
    // null, must outlive the field and may be shared with other fields. The core's status tells
    // whether making it worked (getStatus: 2 ready, 3 failed).
    Field(IEventFlagTrigger* trigger, IMutex* mutex, ISharedMemory* definition, ISharedMemory* values,
          ISharedMemory* tasks);
    // Destroys the core; the lock object is left to its owner.
    ~Field() override;

    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    // The interface's own first-element forms of getPrmDefFast and getPrmDef stay visible; they call
    // the full forms below and so run under the same lock.
    using IField::getPrmDef;
    using IField::getPrmDefFast;

    // ---- Field state and build ----
    // No lock: the core's trigger, the field's lock object and the core's status.
    IEventFlagTrigger* getEventTrigger() const override;
    IMutex* getMutex() const override;
    [[nodiscard]] uint32_t getStatus(uint8_t* status) override;
    [[nodiscard]] uint32_t getRootStatus(const char* root, uint8_t* status) override;
    [[nodiscard]] uint32_t startBuild() override;
    [[nodiscard]] uint32_t linkBuild(uint8_t option) override;
    [[nodiscard]] uint32_t finishBuild(uint8_t option) override;
    [[nodiscard]] uint32_t createRoot(const char* root, const char* topName, uint32_t maxCollections,
        uint32_t maxParameters, uint32_t stringPoolSize) override;
    [[nodiscard]] uint32_t addRoot(const char* root, const sharedRootInfo& info) override;
    [[nodiscard]] uint32_t jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode) override;
    [[nodiscard]] uint32_t recoveryRoot(const char* root, const sharedRootInfo& info, uint8_t mode) override;
    [[nodiscard]] uint32_t destroyRoot(const char* root) override;
    uint32_t getBuildCount() const override;
    [[nodiscard]] uint32_t getRootAdditionFlag(const char* root, uint32_t taskId, uint8_t clear) override;
    // ---- Subscriptions and descriptions ----
    // Refuses the linked field's own task id 0xFFFFFFFF with 0x80000002 without asking the core.
    [[nodiscard]] uint32_t subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount, bool raiseAll) override;
    [[nodiscard]] uint32_t unsubscribe(uint32_t taskId) override;
    [[nodiscard]] uint32_t attachOrderedNotify(const char* root, void* setter) override;
    [[nodiscard]] uint32_t setDescName(const char* root, const char* name) override;
    [[nodiscard]] uint32_t setDescVersion(const char* root, const char* version) override;
    // ---- Structure edits and copies ----
    [[nodiscard]] uint32_t addCollectionFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
        uint32_t parentDepth, const char* name, uint32_t arraySize) override;
    [[nodiscard]] uint32_t addCollection(uint32_t* outIndex, const char* root, const char* parentAddress,
        uint32_t addressLength, const char* name, uint32_t arraySize) override;
    [[nodiscard]] uint32_t addPrmFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
        uint32_t parentDepth, const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum,
        JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit, uint32_t unitSize,
        uint32_t scaling, uint32_t kind, const char* nameFormat, uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t addPrm(uint32_t* outIndex, const char* root, const char* parentAddress,
        uint32_t addressLength, const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum,
        JVariant* maximum, JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
        uint32_t unitSize, uint32_t scaling, uint32_t kind, const char* nameFormat, uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t delCollectionFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delCollection(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t delPrmFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delPrm(const char* root, const char* address, uint32_t length) override;
    // Copies srcRoot of this field into dstRoot of dst under the locks of both fields. dst must be a
    // Field (anything else: 0x80000002). The source flags are taskId's getting area in srcRoot.
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
        uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode) override;
    // Between two roots of this field under ctrl and get; both names null, or equal over 24
    // characters, give 0x80000002.
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, const char* dstRoot, uint8_t copyFlags, uint32_t originatorId,
        uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode) override;
    // ---- Address conversion ----
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
        uint32_t capacity, const char* root, uint32_t prmIndex, uint8_t withTopName) override;
    // ---- Dirty areas ----
    [[nodiscard]] uint32_t exchangeSettingDirtyArea(uint32_t taskId) override;
    [[nodiscard]] uint32_t exchangeGettingDirtyArea(uint32_t taskId) override;
    // ---- Import and dump ----
    [[nodiscard]] uint32_t importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
        uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
        uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices,
        uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
        const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
        uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
        uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
        const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
        uint32_t filterSize, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    // ---- Value writes ----
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
        uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
        uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
        const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor, uint8_t repeat,
        uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
        uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor,
        uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
        const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, const uint8_t* factors,
        uint8_t repeat, uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
        uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
        uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, const uint8_t* factors,
        uint8_t repeat, uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
        uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t resetPrmFast(const char* root, const uint32_t* nodes, const uint32_t* indices,
        uint32_t depth, uint8_t reset, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId) override;
    [[nodiscard]] uint32_t resetPrm(const char* root, const char* address, uint32_t length, const uint32_t* indices,
        uint32_t indexCount, uint8_t reset, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId) override;
    [[nodiscard]] uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator,
        uint32_t originatorId) override;
    [[nodiscard]] uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
        uint16_t setOptions) override;
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
        uint16_t setOptions) override;
    // ---- Change and import queries ----
    [[nodiscard]] uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
        uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    // ---- Plug-ins ----
    [[nodiscard]] uint32_t appendPluginFast(ILinkPlugin* plugin, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t appendPlugin(ILinkPlugin* plugin, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t removePluginFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t removePlugin(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t isPlugin(uint8_t* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPluginFast(ILinkPlugin** out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPlugin(ILinkPlugin** out, const char* root, const char* address,
        uint32_t length) override;
    // ---- Counts and identity ----
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
    // ---- Export ----
    [[nodiscard]] uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
        uint32_t depth, uint8_t wholeLastLevel) override;
    [[nodiscard]] uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
        const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode) override;
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
        uint8_t wholeLastLevel) override;
    [[nodiscard]] uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
        const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode) override;
    [[nodiscard]] uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
        const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
        uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
        const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode,
        uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
        uint32_t factorCount) override;
    [[nodiscard]] uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
        const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t wholeLastLevel,
        uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
        const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
        uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
        uint8_t* factorsOut, uint32_t factorCount) override;
    [[nodiscard]] uint32_t getDumpSizeFast(uint32_t* size) override;
    [[nodiscard]] uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
        uint8_t byteOrder, uint32_t taskId) override;
    // ---- Value reads ----
    [[nodiscard]] uint32_t getPrmFast(JVariant* value, uint8_t* factor, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address,
        uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
        const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
        uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
        const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
        uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
        uint8_t* dirty, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
        uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
        uint8_t* dirty, const char* root, const char* address, uint32_t length, const uint32_t* first,
        const uint32_t* last, uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
        uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes,
        const uint32_t* startIndices, uint32_t startDepth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
        uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
        uint32_t startDepth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
        uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress,
        uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
        uint8_t withTopName) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
        uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices,
        uint32_t indexCount, uint8_t clear, uint32_t taskId, uint8_t withTopName) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices,
        uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear,
        uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
        uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices,
        uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
        uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
        uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
        uint32_t startDepth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
        const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
        uint8_t withTopName) override;
    // ---- Node information ----
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
        uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root, const uint32_t* nodes) override;
    [[nodiscard]] uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
        uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address,
        uint32_t length) override;
    // ---- Parameter attributes ----
    [[nodiscard]] uint32_t getPrmAttribFast(T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmAttrib(T_PRM_ATTRIB* out, const char* root, const char* address,
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
    // ---- Sharing and channel linker ----
    [[nodiscard]] uint32_t shareRootFast(sharedRootInfo* out, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth) override;
    [[nodiscard]] uint32_t shareRoot(sharedRootInfo* out, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount) override;
    [[nodiscard]] uint32_t setChannelLinker(const char* root, IChannelLinker* linker) override;

    // ---- The field's own operations ----
    // Under ctrl and set: the core takes a copy described by another root (a linked field's copy
    // calls this on its destination).
    [[nodiscard]] virtual uint32_t copyDstPrm(const char* dstRoot, const sharedRootInfo& description,
        uint8_t copyOptions, uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue,
        const void* sourceFlags);
    // The body of the two-field copy; takes no lock (its caller holds both fields' locks).
    [[nodiscard]] virtual uint32_t _copyPrm(const char* srcRoot, IField* dstField, const char* dstRoot,
        uint8_t copyOptions, uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId,
        uint8_t clearSourceFlags);

protected:
    // For a field whose core is a derived core it owns itself (the linked field): every
    // operation of the table below runs on that core. core is borrowed and must outlive every call;
    // it may be bound before it is constructed, as long as nothing is called until it is.
    Field(Base& core, IMutex* mutex);

private:
    // Lock flag bytes of the scoped lock: 1 ctrl, 2 get, 4 set.
    static constexpr uint8_t kCtrlLocks = 0x01;
    static constexpr uint8_t kReadLocks = 0x03;
    static constexpr uint8_t kWriteLocks = 0x05;
    static constexpr uint8_t kAllLocks = 0x07;

    // Describes srcRoot of this core, lets dstCore take the copy and clears the source flags when
    // asked, whatever the copy gave.
    [[nodiscard]] uint32_t copyRootInto(Base& dstCore, const char* srcRoot, const char* dstRoot, uint8_t copyOptions,
        uint8_t notifyOptions, uint32_t notifyMode, uint32_t eventValue, uint32_t taskId, uint8_t clearSourceFlags);

    std::optional<Base> m_ownCore;  // empty when a derived field brings its core
    Base& m_core;                   // m_ownCore's, or the derived field's
    IMutex* m_pMutex;               // the owner's; may be null
};

}  // namespace MMS
