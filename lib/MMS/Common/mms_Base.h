#pragma once
// The field core: carries out every operation of the field interface over the field's list of
// roots. It keeps the field's status and build count, adds and removes roots, keeps the list of
// subscribing tasks and registers them on every root, rotates their dirty areas, writes and reads
// dump images and sends the change events. It takes no lock: the thread-safe field runs each call
// under the field's locks, and change events go out synchronously on the calling task.
#include <cstdint>

#include "mms_DirtyFlagList.h"
#include "mms_IField.h"

namespace MMS {

class ISharedMemory;
class Root;
class RootList;

class Base : public IField {
public:
    // Field status values.
    static constexpr uint8_t kStatusBuilding = 1;
    static constexpr uint8_t kStatusReady = 2;
    static constexpr uint8_t kStatusFailed = 3;

    // One subscribing task, in order of subscription; taken with the non-throwing global new.
    struct T_SUBSCRIBE_LIST {
        T_SUBSCRIBE_LIST* previous;
        T_SUBSCRIBE_LIST* next;
        uint32_t taskId;     // non-zero
        uint32_t areaCount;  // rotating dirty areas per root
        uint32_t kindMask;
        uint32_t settingIndex;
        uint32_t gettingIndex;
    };

    // trigger: borrowed, kept alive by the owner for the field's life; may be null (no events).
    // The providers (definition, value and task-bookkeeping memory; null: the library heap) are
    // handed to the root list. Status 2, or 3 when the root list could not be made.
    Base(IEventFlagTrigger* trigger, ISharedMemory* definition, ISharedMemory* values, ISharedMemory* tasks);
    // Frees every subscription record, then the root list with its roots.
    ~Base() override;

    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // The interface's own first-element forms of getPrmDefFast and getPrmDef stay visible.
    using IField::getPrmDef;
    using IField::getPrmDefFast;

    // ---- Field state and build ----
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
    [[nodiscard]] uint32_t subscribe(uint32_t kindMask, uint32_t taskId, uint32_t areaCount,
        bool raiseAll) override;
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
        uint32_t parentDepth, const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum,
        JVariant* maximum, JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
        uint32_t unitSize, uint32_t scaling, uint32_t kind, const char* nameFormat,
        uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t addPrm(uint32_t* outIndex, const char* root, const char* parentAddress,
        uint32_t addressLength, const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum,
        JVariant* maximum, JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
        uint32_t unitSize, uint32_t scaling, uint32_t kind, const char* nameFormat,
        uint32_t nameFormatSize) override;
    [[nodiscard]] uint32_t delCollectionFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delCollection(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t delPrmFast(const char* root, const uint32_t* nodes, uint32_t depth) override;
    [[nodiscard]] uint32_t delPrm(const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, IField* dst, const char* dstRoot, uint8_t copyFlags,
        uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode) override;
    [[nodiscard]] uint32_t copyPrm(const char* srcRoot, const char* dstRoot, uint8_t copyFlags,
        uint32_t originatorId, uint32_t taskId, uint8_t clear, uint8_t notifyOptions, uint32_t notifyMode) override;
    // ---- Address conversion ----
    [[nodiscard]] uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, const char* text, uint32_t length) override;
    [[nodiscard]] uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
        uint32_t depth, uint8_t withTopName) override;
    [[nodiscard]] uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, uint32_t scalar) override;
    [[nodiscard]] uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
        uint32_t capacity, const char* root, uint32_t prmIndex) override;
    [[nodiscard]] uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, uint32_t prmIndex, uint8_t withTopName) override;
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
        uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
        uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
        const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
        uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
        uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
        const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
        uint32_t filterSize, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
        uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
        uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    // ---- Value writes ----
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
        uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
        uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
        uint32_t notifyMode, const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
        const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor, uint8_t repeat,
        uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
        const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
        const ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
        uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor,
        uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
        uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
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
        uint32_t indexCount, uint8_t reset, uint8_t factor, uint8_t includeOriginator,
        uint32_t originatorId) override;
    [[nodiscard]] uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator,
        uint32_t originatorId) override;
    [[nodiscard]] uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
        uint16_t setOptions) override;
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
        uint16_t setOptions) override;
    // ---- Change and import queries ----
    [[nodiscard]] uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId) override;
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
    [[nodiscard]] uint32_t isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
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
    [[nodiscard]] uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address,
        uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
        uint8_t rangeMode) override;
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
    [[nodiscard]] uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
        const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
        uint8_t withTopName) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices,
        uint32_t depth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear,
        uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
        const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
        uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes,
        const uint32_t* startIndices, uint32_t startDepth, uint8_t clear, uint32_t taskId) override;
    [[nodiscard]] uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
        uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
        const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
        uint8_t withTopName) override;
    // ---- Node information ----
    [[nodiscard]] uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
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
    [[nodiscard]] uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize,
        uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
        const uint32_t* nodes) override;
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
    [[nodiscard]] uint32_t getPrmType(uint32_t* type, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmMin(JVariant* out, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmMax(JVariant* out, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount) override;
    [[nodiscard]] uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmStep(JVariant* out, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNominal(JVariant* out, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmUnit(char* out, const char* root, const char* address, uint32_t length) override;
    [[nodiscard]] uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
        uint32_t length) override;
    [[nodiscard]] uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
        uint32_t depth) override;
    [[nodiscard]] uint32_t getPrmNameFormat(char* out, const char* root, const char* address,
        uint32_t length) override;
    // ---- Sharing and channel linker ----
    [[nodiscard]] uint32_t shareRootFast(sharedRootInfo* out, const char* root, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth) override;
    [[nodiscard]] uint32_t shareRoot(sharedRootInfo* out, const char* root, const char* address, uint32_t length,
        const uint32_t* indices, uint32_t indexCount) override;
    [[nodiscard]] uint32_t setChannelLinker(const char* root, IChannelLinker* linker) override;

    // ---- The core's own operations ----
    // Zero-fills out, then the root describes its definition and value memory as a copy source.
    [[nodiscard]] virtual uint32_t copyPrm(sharedRootInfo* out, const char* root);
    // Copies the described source into the root (dirty: the source task's dirty bitmap, used with
    // copy flag 0x04); a change sends the event (include 1, originatorId) unless notify option 0x02.
    [[nodiscard]] virtual uint32_t copyDstPrm(const char* root, const sharedRootInfo& source, uint8_t copyFlags,
                                              uint8_t notifyOptions, uint32_t notifyMode, uint32_t originatorId,
                                              const void* dirty);
    // Clears every dirty flag of the task in the root.
    [[nodiscard]] virtual uint32_t clearDirtyFlag(const char* root, uint32_t taskId);

    // The task's current getting dirty area of the root; null when not ready, the root is unknown or
    // the task is not subscribed there.
    uint8_t* getTaskDirtyMem(const char* root, uint32_t taskId) const;

    // The notify mode of a write: mode plus 0x02 for option 0x01, 0x01 for 0x04, 0x04 for 0x20 and
    // 0x01 for 0x80.
    static uint32_t setOption2notifyMode(uint32_t options, uint32_t mode);
    // Calls trigger's operation with kind, value and tasks; 0 without a trigger.
    static uint32_t sendEventTrigger(IEventFlagTrigger* trigger, uint8_t kind, uint32_t value, T_TASK_LIST* tasks);

protected:
    bool isExecuting() const { return m_status == kStatusBuilding; }
    bool isReady() const { return m_status == kStatusReady; }
    // Null when there is no root list.
    RootList* getRootList() const { return m_pRootList; }
    // The root of that name (compared over at most 24 bytes), the first root for null, or null.
    Root* searchedRootCollection(const char* root) const;
    // Sends the field's change event with the root's task list; nothing when the list cannot be had.
    uint32_t sendRootEvent(Root* root, uint8_t kind, uint32_t value);
    const T_SUBSCRIBE_LIST* getSubscribeList() const { return m_pSubscribeHead; }
    // False only when the root is ready and its top summary bit for the task is clear, so that a
    // search for the task's changes from the root's start would find nothing; true when unsure.
    bool mayHaveChanges(const char* root, uint32_t taskId) const;

private:
    // One root that received the subscriptions when it was added over shared memory; finishBuild
    // does not register it a second time (a root counts references per task id, so unsubscribe
    // would leave the task registered there).
    struct T_REGISTERED_ROOT {
        T_REGISTERED_ROOT* next;
        Root* root;
    };

    // Forwarding helpers: the status check, then the root lookup (0x80000006 when unknown).
    [[nodiscard]] uint32_t readyRoot(Root** out, const char* root) const;
    [[nodiscard]] uint32_t buildingRoot(Root** out, const char* root) const;
    // Subscribes every record on the root and sets its addition flag for each; the first failure
    // stops and is returned.
    [[nodiscard]] uint32_t registSubscribeID(Root* root);
    // Removes every record's subscription from the root. 0.
    uint32_t unregistSubscribeID(Root* root);
    // 0 and the record, or 0x80000007.
    [[nodiscard]] uint32_t searchedSubscribeInfo(T_SUBSCRIBE_LIST** out, uint32_t taskId) const;
    [[nodiscard]] uint32_t createSubscribeInfo(uint32_t kindMask, uint32_t taskId, uint32_t areaCount);
    void removeTaskInfo(T_SUBSCRIBE_LIST* record);
    void removeAllTaskInfo();
    // addRoot, jointRoot and recoveryRoot after the root list appended the root.
    [[nodiscard]] uint32_t registerAddedRoot(const char* root);
    bool isRegisteredRoot(const Root* root) const;
    void forgetRegisteredRoot(const Root* root);
    void forgetAllRegisteredRoots();
    // The set and import families: the root's result and, on a change, the event.
    uint32_t afterWrite(Root* root, uint32_t result, uint8_t includeOriginator, uint32_t originatorId);
    uint32_t afterImport(Root* root, uint32_t result, uint8_t includeOriginator, uint8_t notifyOptions,
                         uint32_t originatorId);
    // Advances a subscription's area index and moves every root's area to it.
    [[nodiscard]] uint32_t exchangeDirtyArea(uint32_t taskId, bool setting);

    uint8_t m_status = kStatusFailed;
    uint32_t m_buildCount = 0;
    RootList* m_pRootList = nullptr;               // owned
    IEventFlagTrigger* m_pTrigger = nullptr;       // the owner's
    T_SUBSCRIBE_LIST* m_pSubscribeHead = nullptr;  // owned records
    T_SUBSCRIBE_LIST* m_pSubscribeTail = nullptr;
    T_REGISTERED_ROOT* m_pRegisteredRoots = nullptr;  // owned entries; the roots are the list's
};

}  // namespace MMS
