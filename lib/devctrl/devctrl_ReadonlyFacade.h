#pragma once
// The facade handed to a task that may only read a field: every write is refused with 0x8000000a,
// everything else goes to the working field with the facade's task id. Value, minimum and maximum
// reads ask the unit's link framework first. Base of the read-write facade.
// Threading: one client task; no lock of its own (the field locks itself).
#include <cstdint>

#include "devctrl/devctrl_IFacade.h"

namespace MMS {
class IField;
}

namespace ParameterProc {
class ILinkFramework;
}

namespace DeviceControl {

class ReadonlyFacade : public IFacade {
public:
    static constexpr uint32_t kUnitNameSize = 24;

    // No field: every forwarding operation answers 0x80000004.
    ReadonlyFacade();
    // field and framework are borrowed: the broker keeps them alive while the facade exists.
    ReadonlyFacade(MMS::IField* field, uint32_t taskId);
    ReadonlyFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework);
    // The unit name is the first length characters of name (up to its NUL) when name is given and
    // length is below 24; otherwise it stays empty.
    ReadonlyFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework, const char* name,
                   uint32_t length);
    // Swaps back, destroys the alternate copy and unsubscribes when subscribed; the registered
    // field is left alive.
    ~ReadonlyFacade() override;

    ReadonlyFacade(const ReadonlyFacade&) = delete;
    ReadonlyFacade& operator=(const ReadonlyFacade&) = delete;

    using IFacade::getPrmDef;
    using IFacade::getPrmDefFast;

    // ---- Field state, subscriptions, addresses, change tracking ----
    // getEventTrigger and getMutex give null without a working field; the rest 0x80000004.

    MMS::IEventFlagTrigger* getEventTrigger() const override;
    MMS::IMutex* getMutex() const override;
    [[nodiscard]] uint32_t getStatus(uint8_t* status) override;
    [[nodiscard]] uint32_t getRootStatus(const char* root, uint8_t* status) override;
    uint32_t getBuildCount() const override;
    [[nodiscard]] uint32_t getRootAdditionFlag(const char* root, uint8_t clear) override;
    [[nodiscard]] uint32_t subscribe(uint32_t subscribeMode, uint32_t areaCount, bool raiseAll) override;
    [[nodiscard]] uint32_t unsubscribe() override;
    [[nodiscard]] uint32_t attachOrderedNotify(const char* root, OrderedNotify::ISetOrderedNotify* writer) override;
    [[nodiscard]] uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
            const char* root, const char* text, uint32_t length) const override;
    [[nodiscard]] uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
            const char* root, uint32_t scalar) const override;
    [[nodiscard]] uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
            uint32_t capacity, const char* root, uint32_t prmIndex) const override;
    [[nodiscard]] uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut,
            uint32_t* depthOut, uint32_t capacity, const char* root, uint32_t prmIndex) const override;
    [[nodiscard]] uint32_t exchangeSettingDirtyArea() override;
    [[nodiscard]] uint32_t exchangeGettingDirtyArea() override;

    // ---- Alternate field ----
    // 0x80000004 without a working and a standby field; backOnly in the unswapped state: 4.

    [[nodiscard]] uint32_t swapAlternateField(bool backOnly) override;
    // Refreshes the copy from the registered field; refused while swapped.
    [[nodiscard]] uint32_t copyToAlternateField(uint8_t mode) override;
    // Puts a copy that shares the roots' definitions in front of the registered field; 0x80000004
    // when a copy exists or there is no field, 0x80000003 when the copy cannot be allocated,
    // 0x80000000 when it cannot be built (the registered field is the working field again).
    [[nodiscard]] uint32_t createAlternateField() override;
    // Deletes the copy; refused while swapped.
    [[nodiscard]] uint32_t destroyAlternateField() override;

    // ---- Writes: always 0x8000000a here ----

    [[nodiscard]] uint32_t importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
            uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
            uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices,
            uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
            const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
            uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
            const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
            uint32_t filterSize, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
            uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker,
            uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
            const uint32_t* indexes, uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrm(const JVariant& value, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t factor, uint8_t markOwn,
            uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
            const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth, uint8_t factor,
            uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
            const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
            uint8_t factor, uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption,
            const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArrayFast(const JVariantArray& values, const char* root,
            const uint32_t* nodes, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth,
            const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount,
            const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode,
            uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode,
            const MMS::ExternalSetArg* externalArg) override;
    [[nodiscard]] uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t markOwn) override;

    // ---- Reads and queries ----
    // Value, minimum and maximum reads ask the link framework first (with the root's description
    // name); the text forms convert the address first and refuse an index count below the
    // converted depth with 0x80000002.

    [[nodiscard]] uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
            uint16_t checkMode) override;
    [[nodiscard]] uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
            uint16_t checkMode) override;
    [[nodiscard]] uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes,
            const uint32_t* indices, uint32_t depth, uint8_t clear) override;
    [[nodiscard]] uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
            const uint32_t* indices, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
            const uint32_t* indices, uint32_t depth, uint8_t clear) override;
    [[nodiscard]] uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
            const uint32_t* indices, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getRootNum(uint32_t* count) const override;
    [[nodiscard]] uint32_t getRootIdentifier(char* out, uint32_t position) const override;
    [[nodiscard]] uint32_t getDescName(char* out, const char* root) override;
    [[nodiscard]] uint32_t getDepth(uint32_t* depth, const char* root) const override;
    [[nodiscard]] uint32_t getPrmNum(uint32_t* count, const char* root) const override;
    [[nodiscard]] uint32_t getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getTransactionDirty(uint8_t* flag, const char* root) const override;
    [[nodiscard]] uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
            uint32_t depth, uint8_t wholeLastLevel) const override;
    [[nodiscard]] uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
            const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode) const override;
    [[nodiscard]] uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
            uint8_t wholeLastLevel) const override;
    [[nodiscard]] uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
            const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode) const override;
    [[nodiscard]] uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
            const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel,
            uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
            const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode,
            uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut,
            uint32_t factorCount) override;
    [[nodiscard]] uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
            const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
            uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport,
            uint8_t* factorsOut) override;
    [[nodiscard]] uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
            const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
            uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut,
            uint32_t factorCount) override;
    [[nodiscard]] uint32_t getDumpSizeFast(uint32_t* size) const override;
    [[nodiscard]] uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
            uint8_t byteOrder) override;
    [[nodiscard]] uint32_t getPrmFast(JVariant* value, uint8_t* state, const char* root, const uint32_t* nodes,
            const uint32_t* indexes, uint32_t depth, uint8_t option) override;
    [[nodiscard]] uint32_t getPrm(JVariant* value, uint8_t* state, const char* root, const char* address,
            uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t option) override;
    [[nodiscard]] uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
            const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
            uint8_t clear) override;
    [[nodiscard]] uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
            const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
            uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
            uint8_t* dirty, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
            uint32_t depth, uint8_t clear) override;
    [[nodiscard]] uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
            uint8_t* dirty, const char* root, const char* address, uint32_t length, const uint32_t* first,
            const uint32_t* last, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
            uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes,
            const uint32_t* startIndices, uint32_t startDepth, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
            uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
            uint32_t startDepth, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
            uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress,
            uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
            uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
            const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
            uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices,
            uint32_t depth, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
            const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
            uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices,
            uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
            const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
            uint8_t clear) override;
    [[nodiscard]] uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
            uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
            uint32_t startDepth, uint8_t clear) override;
    [[nodiscard]] uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
            uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
            const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override;
    [[nodiscard]] uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
            uint32_t childPosition) const override;
    [[nodiscard]] uint32_t getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getNodeArraySize(uint32_t* size, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getNodeCategory(uint8_t* category, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
            uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
            const uint32_t* nodes) const override;
    [[nodiscard]] uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
            uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmType(uint32_t* type, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmMin(JVariant* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmMax(JVariant* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
            const uint32_t* indices, uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
            const uint32_t* indices, uint32_t indexCount) const override;
    [[nodiscard]] uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmStep(JVariant* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmNominal(JVariant* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmUnit(char* out, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
            uint32_t length) const override;
    [[nodiscard]] uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
            uint32_t depth) const override;
    [[nodiscard]] uint32_t getPrmNameFormat(char* out, const char* root, const char* address,
            uint32_t length) const override;


protected:
    // The field every operation addresses: the registered field, or the alternate copy.
    MMS::IField* workingField() const { return m_pWorking; }
    uint32_t taskId() const { return m_taskId; }
    ParameterProc::ILinkFramework* linkFramework() const { return m_pLinkFramework; }
    const char* unitName() const { return m_unitName; }
    // Fills the 24-byte buffer with the root's description name; the field's result.
    [[nodiscard]] uint32_t readDescName(char (&out)[kUnitNameSize], const char* root) const;

private:
    template <typename AskFramework, typename AskField>
    uint32_t readThroughFramework(const char* root, AskFramework askFramework, AskField askField) const;
    template <typename ReadFast, typename ReadText>
    uint32_t readTextAddress(const char* root, const char* address, uint32_t length, ReadFast readFast,
                             ReadText readText) const;

    MMS::IField* m_pWorking = nullptr;  // registered field (borrowed) or the owned copy
    MMS::IField* m_pStandby = nullptr;  // the other field of an alternate pair, or null
    bool m_swapped = false;
    uint32_t m_taskId = 0;
    bool m_subscribed = false;
    ParameterProc::ILinkFramework* m_pLinkFramework = nullptr;  // the unit's; the broker keeps it
    char m_unitName[kUnitNameSize] = {};
};

}  // namespace DeviceControl
