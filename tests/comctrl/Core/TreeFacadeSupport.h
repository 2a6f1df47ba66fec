#pragma once
// A parameter tree for the tree synchroniser's tests: a facade over a few roots, each with a
// hand-built export image (the tag header with "MMS", the byte order and the digest text, then
// the values as data), a transaction-dirty flag and a queue of changed parameters. Addresses
// convert to text as "/P<node>" per level. Every operation the synchroniser does not use refuses.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "devctrl/devctrl_IFacade.h"
#include "jlib/JVariant.h"

namespace comctrltest {

// Every operation refuses (0x80000000) or gives null.
class RefusingFacade : public DeviceControl::IFacade {
public:
    static constexpr uint32_t kRefused = 0x80000000u;
    MMS::IEventFlagTrigger* getEventTrigger() const override { return nullptr; }
    MMS::IMutex* getMutex() const override { return nullptr; }
    uint32_t getStatus(uint8_t* status) override { return kRefused; }
    uint32_t getRootStatus(const char* root, uint8_t* status) override { return kRefused; }
    uint32_t getBuildCount() const override { return kRefused; }
    uint32_t getRootAdditionFlag(const char* root, uint8_t clear) override { return kRefused; }
    uint32_t subscribe(uint32_t subscribeMode, uint32_t areaCount, bool raiseAll) override { return kRefused; }
    uint32_t unsubscribe() override { return kRefused; }
    uint32_t attachOrderedNotify(const char* root, OrderedNotify::ISetOrderedNotify* writer) override { return kRefused; }
    uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* text, uint32_t length) const override { return kRefused; }
    uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root, uint32_t scalar) const override { return kRefused; }
    uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, uint32_t prmIndex) const override { return kRefused; }
    uint32_t cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, uint32_t prmIndex) const override { return kRefused; }
    uint32_t exchangeSettingDirtyArea() override { return kRefused; }
    uint32_t exchangeGettingDirtyArea() override { return kRefused; }
    uint32_t swapAlternateField(bool backOnly) override { return kRefused; }
    uint32_t copyToAlternateField(uint8_t mode) override { return kRefused; }
    uint32_t createAlternateField() override { return kRefused; }
    uint32_t destroyAlternateField() override { return kRefused; }
    uint32_t importDataUsingMuchMemoryFast( const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t importDataUsingMuchMemory( const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize, uint8_t factor, uint8_t markOwn, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes, const uint32_t* indexes, uint32_t depth, uint8_t factor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrm(const JVariant& value, const char* root, const char* address, uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t factor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth, uint8_t factor, uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrmArray(const JVariantArray& values, const char* root, const char* address, uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount, uint8_t factor, uint8_t sameValue, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrmAndFactorArrayFast( const JVariantArray& values, const char* root, const uint32_t* nodes, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t depth, const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setPrmAndFactorArray( const JVariantArray& values, const char* root, const char* address, uint32_t addressLength, const uint32_t* startIndexes, const uint32_t* endIndexes, uint32_t indexCount, const uint8_t* factors, uint8_t sameValue, uint8_t sameFactor, uint8_t markOwn, uint16_t checkMode, uint8_t setOption, const MMS::ISetChecker* checker, uint32_t channelOption, uint32_t subscribeMode, const MMS::ExternalSetArg* externalArg) override { return kRefused; }
    uint32_t setDefaultPrms(const char* root, uint8_t factor, uint8_t markOwn) override { return kRefused; }
    uint32_t checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth, uint16_t checkMode) override { return kRefused; }
    uint32_t checkPrm(JVariant* value, const char* root, const char* address, uint32_t length, uint16_t checkMode) override { return kRefused; }
    uint32_t isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t isChanged(uint8_t* out, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t isImported(uint8_t* out, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getRootNum(uint32_t* count) const override { return kRefused; }
    uint32_t getRootIdentifier(char* out, uint32_t position) const override { return kRefused; }
    uint32_t getDescName(char* out, const char* root) override { return kRefused; }
    uint32_t getDepth(uint32_t* depth, const char* root) const override { return kRefused; }
    uint32_t getPrmNum(uint32_t* count, const char* root) const override { return kRefused; }
    uint32_t getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getTransactionDirty(uint8_t* flag, const char* root) const override { return kRefused; }
    uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth, uint8_t wholeLastLevel) const override { return kRefused; }
    uint32_t getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode) const override { return kRefused; }
    uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length, uint8_t wholeLastLevel) const override { return kRefused; }
    uint32_t getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode) const override { return kRefused; }
    uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut) override { return kRefused; }
    uint32_t exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount) override { return kRefused; }
    uint32_t exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut) override { return kRefused; }
    uint32_t exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount) override { return kRefused; }
    uint32_t getDumpSizeFast(uint32_t* size) const override { return kRefused; }
    uint32_t getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty, uint8_t byteOrder) override { return kRefused; }
    uint32_t getPrmFast(JVariant* value, uint8_t* state, const char* root, const uint32_t* nodes, const uint32_t* indexes, uint32_t depth, uint8_t option) override { return kRefused; }
    uint32_t getPrm(JVariant* value, uint8_t* state, const char* root, const char* address, uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t option) override { return kRefused; }
    uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, uint8_t* dirty, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, uint8_t* dirty, const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth, uint8_t clear) override { return kRefused; }
    uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear) override { return kRefused; }
    uint32_t getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getNumOfChildNodes(uint32_t* count, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getChildNodeName(char* out, const char* root, const char* address, uint32_t length, uint32_t childPosition) const override { return kRefused; }
    uint32_t getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getNodeArraySize(uint32_t* size, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getNodeCategory(uint8_t* category, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root, const uint32_t* nodes) const override { return kRefused; }
    uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount) const override { return kRefused; }
    uint32_t getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmNominal(JVariant* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmUnitSize(uint32_t* size, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmUnit(char* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmScaling(uint32_t* scaling, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmNameFormatSize(uint32_t* size, const char* root, const char* address, uint32_t length) const override { return kRefused; }
    uint32_t getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) const override { return kRefused; }
    uint32_t getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length) const override { return kRefused; }
};

// An export image: the 88-byte tag header, no tags, the data bytes.
inline std::vector<uint8_t> exportImage(const std::string& digestText, const std::string& data)
{
    std::vector<uint8_t> image(88, 0);
    std::memcpy(image.data(), "MMS", 3);
    image[3] = 88;
    uint32_t one = 1;
    uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    std::memcpy(image.data() + 4, first ? "LIT" : "BIG", 3);
    std::memcpy(image.data() + 8, "Tree", 4);
    std::memcpy(image.data() + 44, digestText.data(), std::min<size_t>(36, digestText.size()));
    const uint32_t tagSize = 0, dataSize = static_cast<uint32_t>(data.size());
    std::memcpy(image.data() + 80, &tagSize, 4);
    std::memcpy(image.data() + 84, &dataSize, 4);
    image.insert(image.end(), data.begin(), data.end());
    return image;
}

struct ChangedPrm {
    std::vector<uint32_t> nodes;
    std::vector<uint32_t> indexes;
    JVariant value;
    uint8_t factor = 0;
};

struct TreeRoot {
    std::string id;
    std::vector<uint8_t> image;
    bool transactionDirty = false;
    std::deque<ChangedPrm> changes;
    bool stickyDirty = false;  // an export leaves the transaction dirty
};

class TreeFacade : public RefusingFacade {
public:
    std::vector<TreeRoot> roots;
    // What the synchroniser asked for.
    std::vector<std::string> textConversions;  // cnvStrToFastAddr's texts
    int clearingExports = 0;                   // exports that took the changes with them
    ChangedPrm lastRead;

    TreeRoot* find(const char* root)
    {
        for (TreeRoot& r : roots) {
            if (root && r.id == std::string(root, strnlen(root, 24))) return &r;
        }
        return nullptr;
    }

    uint32_t getRootNum(uint32_t* count) const override
    {
        *count = static_cast<uint32_t>(roots.size());
        return 0;
    }
    uint32_t getRootIdentifier(char* out, uint32_t position) const override
    {
        if (position >= roots.size()) return kRefused;
        std::memset(out, 0, 24);
        std::memcpy(out, roots[position].id.data(), std::min<size_t>(24, roots[position].id.size()));
        return 0;
    }
    uint32_t getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                   uint8_t) const override
    {
        const TreeRoot* r = const_cast<TreeFacade*>(this)->find(root);
        if (!r || depth != 0) return kRefused;
        *size = static_cast<uint32_t>(r->image.size());
        return 0;
    }
    uint32_t getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t, uint8_t) const override
    {
        return address ? kRefused : getExportDataSizeFast(size, root, nullptr, 0, 0);
    }
    uint32_t exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                            const uint32_t*, const uint32_t*, uint32_t depth, uint8_t, uint8_t clearDirty, uint8_t,
                            uint8_t clearImport, uint8_t*) override
    {
        TreeRoot* r = find(root);
        if (!r || depth != 0 || bufferSize < r->image.size()) return kRefused;
        std::memcpy(buffer, r->image.data(), r->image.size());
        *written = static_cast<uint32_t>(r->image.size());
        if (clearDirty) r->changes.clear();
        if (clearImport && !r->stickyDirty) r->transactionDirty = false;
        if (clearDirty || clearImport) ++clearingExports;
        return 0;
    }
    uint32_t getTransactionDirty(uint8_t* flag, const char* root) const override
    {
        const TreeRoot* r = const_cast<TreeFacade*>(this)->find(root);
        if (!r) return kRefused;
        *flag = r->transactionDirty ? 1 : 0;
        return 0;
    }
    uint32_t getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                   const char* root, const uint32_t*, const uint32_t*, uint32_t,
                                   uint8_t clear) override
    {
        TreeRoot* r = find(root);
        if (!r || r->changes.empty()) return 0x80000007u;
        const ChangedPrm& c = r->changes.front();
        if (c.nodes.size() > capacity) return kRefused;
        std::copy(c.nodes.begin(), c.nodes.end(), nodesOut);
        std::copy(c.indexes.begin(), c.indexes.end(), indicesOut);
        *depthOut = static_cast<uint32_t>(c.nodes.size());
        lastRead = c;
        if (clear) r->changes.pop_front();
        return 0;
    }
    uint32_t getPrmFast(JVariant* value, uint8_t* state, const char* root, const uint32_t* nodes, const uint32_t*,
                        uint32_t depth, uint8_t) override
    {
        if (!find(root) || depth != lastRead.nodes.size() ||
            !std::equal(lastRead.nodes.begin(), lastRead.nodes.end(), nodes)) {
            return kRefused;
        }
        *value = lastRead.value;
        *state = lastRead.factor;
        return 0;
    }
    uint32_t cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
                              uint32_t depth) const override
    {
        if (!const_cast<TreeFacade*>(this)->find(root)) return kRefused;
        std::string text;
        for (uint32_t i = 0; i < depth; ++i) text += "/P" + std::to_string(nodes[i]);
        if (text.size() + 1 > size) return kRefused;
        std::memcpy(textOut, text.c_str(), text.size() + 1);
        return 0;
    }
    uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                              const char* text, uint32_t length) const override
    {
        auto* self = const_cast<TreeFacade*>(this);
        self->textConversions.emplace_back(text, length);
        if (!self->find(root)) return kRefused;
        uint32_t depth = 0;
        const std::string t(text, length);
        size_t at = 0;
        while (at < t.size()) {
            if (t.compare(at, 2, "/P") != 0 || depth == capacity) return kRefused;
            at += 2;
            size_t end = t.find('/', at);
            if (end == std::string::npos) end = t.size();
            if (end == at || end - at > 9) return kRefused;
            uint32_t node = 0;
            for (; at < end; ++at) {
                if (t[at] < '0' || t[at] > '9') return kRefused;
                node = node * 10 + static_cast<uint32_t>(t[at] - '0');
            }
            nodesOut[depth++] = node;
        }
        *depthOut = depth;
        return 0;
    }
};

// A root with a digest text made from n and its values.
inline TreeRoot treeRoot(const std::string& id, unsigned structure, const std::string& values)
{
    char digest[33];
    std::snprintf(digest, sizeof(digest), "%032X", structure);
    return TreeRoot{id, exportImage(digest, values), false, {}, false};
}

}  // namespace comctrltest
