#pragma once
// One root of a field: one instance of a definition. The root owns (or, when it shares another
// root's memories, borrows) the tree of collections and parameters, its tag area and string pool,
// the value block, the per-task change tracking, the set factors and the plug-in slots; it checks
// its status and arguments and hands the right memories to the top collection, which walks the
// tree. No locks of its own: every operation runs under the locks of the field that owns it.
#include <cstdint>

#include "mms_CollectionTagInfo.h"
#include "mms_DirtyFlagList.h"
#include "mms_Platform.h"
#include "mms_Result.h"
#include "mms_SetOrderNotifyWrapper.h"
#include "mms_StringMemoryFactory.h"
#include "mms_TreeNodeFactory.h"
#include "mms_Types.h"

class JVariant;
class JVariantArray;

namespace MMS {

class Collection;
class ExternalSetArg;
class IChannelLinker;
class ILinkPlugin;
class ISetChecker;
class Parameter;
class ProcessOption;
class SharedMemWrapper;
struct T_PRM_ATTRIB;
struct sharedRootInfo;

class Root {
public:
    MMS_CLASS_ALLOCATORS

    // Status values.
    static constexpr uint8_t kStatusNotBuilt = 0;
    static constexpr uint8_t kStatusBuilding = 1;
    static constexpr uint8_t kStatusLaidOut = 2;
    static constexpr uint8_t kStatusReady = 3;
    // Ownership flags: a set bit means the part is borrowed from another root and is never freed,
    // released or cleared here (0x80: the nodes live in the node factory's area).
    static constexpr uint8_t kOwnValues = 0x01;
    static constexpr uint8_t kOwnPlugins = 0x02;
    static constexpr uint8_t kOwnDefinition = 0x04;
    static constexpr uint8_t kOwnTaskList = 0x10;
    static constexpr uint8_t kOwnNodePool = 0x80;

    // Each constructor reports 0 or 0x80000001 through result; a failed root stays in status 0 and
    // its owner deletes it. A null result only initialises the members (status 0). The memories
    // are the field's and are borrowed for the root's life.
    // Build: an empty tree under a top collection of that name (array size 1); status 1. Maxima 0
    // and 0 allocate every node by itself, otherwise the nodes come from a node pool.
    Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
         const char* topName, uint32_t maxCollections, uint32_t maxParameters, uint32_t stringPoolSize);
    // Restore: copies of the described definition; status 2.
    Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
         const sharedRootInfo& info);
    // Joint: borrows parts of the described root (mode); recover restores the definition; status 2.
    Root(uint32_t* result, SharedMemWrapper* definition, SharedMemWrapper* values, SharedMemWrapper* tasks,
         const sharedRootInfo& info, uint8_t mode, bool recover);

    Root(const Root&) = delete;
    Root& operator=(const Root&) = delete;

    // ---- Virtual operations, in slot order ----
    virtual ~Root();
    [[nodiscard]] virtual uint32_t getStatus(uint8_t* out) const;
    [[nodiscard]] virtual uint32_t linkBuild(uint8_t writeDefaults);
    [[nodiscard]] virtual uint32_t finishBuild(uint8_t writeDefaults);
    [[nodiscard]] virtual uint32_t attachOrderedNotify(void* writer);
    [[nodiscard]] virtual uint32_t setDescName(const char* name);
    [[nodiscard]] virtual uint32_t getDescName(char* out) const;
    [[nodiscard]] virtual uint32_t setDescVersion(const char* version);
    [[nodiscard]] virtual uint32_t getDescVersion(char* out) const;
    [[nodiscard]] virtual uint32_t setAdditionFlag(uint8_t flag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getAdditionFlag(uint32_t taskId) const;
    [[nodiscard]] virtual uint32_t subscribe(uint32_t subscribeMode, uint32_t taskId, uint32_t areaCount,
                                             uint32_t settingIndex, uint32_t gettingIndex);
    [[nodiscard]] virtual uint32_t unsubscribe(uint32_t taskId);
    [[nodiscard]] virtual uint32_t addCollectionFast(uint32_t* outIndex, const uint32_t* parentNodes,
                                                     uint32_t parentDepth, const char* name, uint32_t arraySize);
    [[nodiscard]] virtual uint32_t addCollection(uint32_t* outIndex, const char* parentAddress,
                                                 uint32_t addressLength, const char* name, uint32_t arraySize);
    [[nodiscard]] virtual uint32_t addPrmFast(uint32_t* outIndex, const uint32_t* parentNodes, uint32_t parentDepth,
                                              const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum,
                                              JVariant* maximum, JVariant* defaultValue, JVariant* step,
                                              JVariant* nominal, const char* unit, uint32_t unitLength,
                                              uint32_t scaling, uint32_t kind, const char* nameFormat,
                                              uint32_t nameFormatLength);
    [[nodiscard]] virtual uint32_t addPrm(uint32_t* outIndex, const char* parentAddress, uint32_t addressLength,
                                          const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum,
                                          JVariant* maximum, JVariant* defaultValue, JVariant* step,
                                          JVariant* nominal, const char* unit, uint32_t unitLength, uint32_t scaling,
                                          uint32_t kind, const char* nameFormat, uint32_t nameFormatLength);
    [[nodiscard]] virtual uint32_t delCollectionFast(const uint32_t* nodes, uint32_t depth);
    [[nodiscard]] virtual uint32_t delCollection(const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t delPrmFast(const uint32_t* nodes, uint32_t depth);
    [[nodiscard]] virtual uint32_t delPrm(const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t copySrcPrm(sharedRootInfo* out);
    [[nodiscard]] virtual uint32_t copyDstPrm(const sharedRootInfo& source, uint8_t flags, uint32_t subscribeMode,
                                              const void* sourceDirty);
    [[nodiscard]] virtual uint32_t setChannelLinker(IChannelLinker* linker);
    [[nodiscard]] virtual uint32_t cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                    const char* text, uint32_t length) const;
    [[nodiscard]] virtual uint32_t cnvFastToStrAddr(char* buffer, uint32_t size, const uint32_t* nodes,
                                                    uint32_t depth, uint8_t withRootName) const;
    [[nodiscard]] virtual uint32_t cnvFastToScalarAddr(uint32_t* scalarOut, const uint32_t* nodes,
                                                       uint32_t depth) const;
    [[nodiscard]] virtual uint32_t cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
                                                       uint32_t scalar) const;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut,
                                                         uint32_t* depthOut, uint32_t capacity,
                                                         uint32_t prmIndex) const;
    [[nodiscard]] virtual uint32_t cnvPrmIndexToStrAddr(char* buffer, uint32_t size, uint32_t* indicesOut,
                                                        uint32_t* depthOut, uint32_t capacity, uint32_t prmIndex,
                                                        uint8_t withRootName) const;
    [[nodiscard]] virtual uint32_t setSettingDirtyArea(uint32_t taskId, uint32_t index);
    [[nodiscard]] virtual uint32_t setGettingDirtyArea(uint32_t taskId, uint32_t index);
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemoryFast(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const uint32_t* nodes,
        const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t markOwnTask, uint8_t options,
        uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t importDataUsingMuchMemory(
        const void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* address,
        uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t markOwnTask,
        uint8_t options, uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode,
        const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t importDataFast(void* image, uint32_t imageSize, const void* filter,
                                                  uint32_t filterSize, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, uint8_t factor, uint8_t markOwnTask, uint8_t options,
                                                  uint32_t taskId, const ISetChecker* checker, uint32_t subscribeMode,
                                                  const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                              const char* address, uint32_t length, const uint32_t* indices,
                                              uint32_t indexCount, uint8_t factor, uint8_t markOwnTask,
                                              uint8_t options, uint32_t taskId, const ISetChecker* checker,
                                              uint32_t subscribeMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t setPrmFast(const JVariant& value, const uint32_t* nodes, const uint32_t* indices,
                                              uint32_t depth, uint8_t factor, uint8_t markOwnTask, uint16_t checkMode,
                                              uint8_t setOption, uint32_t taskId, const ISetChecker* checker,
                                              uint32_t subscribeMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t setPrm(const JVariant& value, const char* address, uint32_t length,
                                          const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                          uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption, uint32_t taskId,
                                          const ISetChecker* checker, uint32_t subscribeMode,
                                          const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t setPrmArrayFast(const JVariantArray& values, const uint32_t* nodes,
                                                   const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                   const uint8_t* factors, uint8_t oneValue, uint8_t oneFactor,
                                                   uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption,
                                                   uint32_t taskId, const ISetChecker* checker, uint32_t options,
                                                   uint32_t subscribeMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t setPrmArray(const JVariantArray& values, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               const uint8_t* factors, uint8_t oneValue, uint8_t oneFactor,
                                               uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption,
                                               uint32_t taskId, const ISetChecker* checker, uint32_t options,
                                               uint32_t subscribeMode, const ExternalSetArg* externalArg);
    [[nodiscard]] virtual uint32_t resetPrmFast(const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                                uint8_t apply, uint8_t factor, uint8_t markOwnTask, uint32_t taskId);
    [[nodiscard]] virtual uint32_t resetPrm(const char* address, uint32_t length, const uint32_t* indices,
                                            uint32_t indexCount, uint8_t apply, uint8_t factor, uint8_t markOwnTask,
                                            uint32_t taskId);
    [[nodiscard]] virtual uint32_t checkPrmFast(JVariant* value, const uint32_t* nodes, uint32_t depth,
                                                uint16_t checkMode) const;
    [[nodiscard]] virtual uint32_t checkPrm(JVariant* value, const char* address, uint32_t length,
                                            uint16_t checkMode) const;
    [[nodiscard]] virtual uint32_t isChangedFast(uint8_t* out, const uint32_t* nodes, const uint32_t* indices,
                                                 uint32_t depth, uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t isChanged(uint8_t* out, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount, uint8_t clearFlag,
                                             uint32_t taskId);
    [[nodiscard]] virtual uint32_t isImportedFast(uint8_t* out, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t isImported(uint8_t* out, const char* address, uint32_t length,
                                              const uint32_t* indices, uint32_t indexCount, uint8_t clearFlag,
                                              uint32_t taskId);
    [[nodiscard]] virtual uint32_t appendPluginFast(ILinkPlugin* plugin, const uint32_t* nodes, uint32_t depth);
    [[nodiscard]] virtual uint32_t appendPlugin(ILinkPlugin* plugin, const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t removePluginFast(const uint32_t* nodes, uint32_t depth);
    [[nodiscard]] virtual uint32_t removePlugin(const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t getPluginFast(ILinkPlugin** out, const uint32_t* nodes, uint32_t depth);
    [[nodiscard]] virtual uint32_t getPlugin(ILinkPlugin** out, const char* address, uint32_t length);
    [[nodiscard]] virtual uint32_t getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount) const;
    [[nodiscard]] virtual uint32_t getDepth(uint32_t* out) const;
    [[nodiscard]] virtual uint32_t getUuid(char* out) const;
    [[nodiscard]] virtual uint32_t isSameUuid(const void* image, uint32_t size) const;
    [[nodiscard]] virtual uint32_t getPrmNum(uint32_t* out) const;
    [[nodiscard]] virtual uint32_t getTaskList(T_TASK_LIST* out) const;
    virtual uint8_t* getTaskDirtyMem(uint32_t taskId) const;
    [[nodiscard]] virtual uint32_t getStrAddrMaxSize(uint32_t* out, uint8_t withRootName) const;
    [[nodiscard]] virtual uint32_t getStrAddrSize(uint32_t* out, const uint32_t* nodes, uint32_t depth,
                                                  uint8_t withRootName) const;
    [[nodiscard]] virtual uint32_t getTransactionDirty(uint8_t* out, uint32_t taskId) const;
    [[nodiscard]] virtual uint32_t getExportDataSizeFast(uint32_t* sizeOut, const uint32_t* nodes, uint32_t depth,
                                                         uint8_t allOfLast) const;
    [[nodiscard]] virtual uint32_t getExportArraySizeFast(uint32_t* sizeOut, const uint32_t* nodes,
                                                          const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                          uint8_t withPath) const;
    [[nodiscard]] virtual uint32_t getExportDataSize(uint32_t* sizeOut, const char* address, uint32_t length,
                                                     uint8_t allOfLast) const;
    [[nodiscard]] virtual uint32_t getExportArraySize(uint32_t* sizeOut, const char* address, uint32_t length,
                                                      const uint32_t* first, const uint32_t* last,
                                                      uint32_t indexCount, uint8_t withPath) const;
    [[nodiscard]] virtual uint32_t exportDataFast(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut,
                                                  uint32_t capacity, const uint32_t* nodes, const uint32_t* indices,
                                                  uint32_t depth, uint8_t allOfLast, uint8_t clearDirty,
                                                  uint8_t clearImport, uint8_t byteOrder, uint32_t taskId);
    [[nodiscard]] virtual uint32_t exportArrayFast(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut,
                                                   uint32_t factorCount, uint32_t capacity, const uint32_t* nodes,
                                                   const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                   uint8_t withPath, uint8_t clearDirty, uint8_t clearImport,
                                                   uint8_t byteOrder, uint32_t taskId);
    [[nodiscard]] virtual uint32_t exportData(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut, uint32_t capacity,
                                              const char* address, uint32_t length, const uint32_t* indices,
                                              uint32_t indexCount, uint8_t allOfLast, uint8_t clearDirty,
                                              uint8_t clearImport, uint8_t byteOrder, uint32_t taskId);
    [[nodiscard]] virtual uint32_t exportArray(void* buffer, uint32_t* sizeOut, uint8_t* factorsOut,
                                               uint32_t factorCount, uint32_t capacity, const char* address,
                                               uint32_t length, const uint32_t* first, const uint32_t* last,
                                               uint32_t indexCount, uint8_t withPath, uint8_t clearDirty,
                                               uint8_t clearImport, uint8_t byteOrder, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getPrmFast(JVariant* value, uint8_t* factorOut, const uint32_t* nodes,
                                              const uint32_t* indices, uint32_t depth, uint8_t clearFlag,
                                              uint32_t taskId);
    [[nodiscard]] virtual uint32_t getPrm(JVariant* value, uint8_t* factorOut, const char* address, uint32_t length,
                                          const uint32_t* indices, uint32_t indexCount, uint8_t clearFlag,
                                          uint32_t taskId);
    [[nodiscard]] virtual uint32_t getPrmArrayFast(JVariantArray* values, uint8_t* factorsOut, uint32_t factorCount,
                                                   uint8_t* dirtyOut, const uint32_t* nodes, const uint32_t* first,
                                                   const uint32_t* last, uint32_t depth, uint8_t clearFlag,
                                                   uint32_t taskId);
    [[nodiscard]] virtual uint32_t getPrmArray(JVariantArray* values, uint8_t* factorsOut, uint32_t factorCount,
                                               uint8_t* dirtyOut, const char* address, uint32_t length,
                                               const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                               uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
                                                         uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                                         const uint32_t* startNodes, const uint32_t* startIndices,
                                                         uint32_t startDepth, uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut,
                                                     uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                                     uint32_t capacity, const char* startAddress, uint32_t length,
                                                     const uint32_t* startIndices, uint32_t indexCount,
                                                     uint8_t clearFlag, uint32_t taskId, uint8_t withRootName);
    [[nodiscard]] virtual uint32_t getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                       uint32_t* depthOut, uint32_t capacity, const uint32_t* nodes,
                                                       const uint32_t* startIndices, uint32_t depth, uint8_t clearFlag,
                                                       uint32_t taskId);
    [[nodiscard]] virtual uint32_t getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
                                                   uint32_t* depthOut, uint32_t capacity, const char* address,
                                                   uint32_t length, const uint32_t* startIndices, uint32_t indexCount,
                                                   uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut,
                                                                 uint32_t* depthOut, uint32_t capacity,
                                                                 const uint32_t* startNodes,
                                                                 const uint32_t* startIndices, uint32_t startDepth,
                                                                 uint8_t clearFlag, uint32_t taskId);
    [[nodiscard]] virtual uint32_t getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                             uint32_t* depthOut, uint32_t capacity,
                                                             const char* startAddress, uint32_t length,
                                                             const uint32_t* startIndices, uint32_t indexCount,
                                                             uint8_t clearFlag, uint32_t taskId, uint8_t withRootName);
    [[nodiscard]] virtual uint32_t raiseDirtyFlag(uint32_t taskId);
    [[nodiscard]] virtual uint32_t clearDirtyFlag(uint32_t taskId);
    [[nodiscard]] virtual uint32_t getNumOfChildNodesFast(uint32_t* count, const uint32_t* nodes,
                                                          uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getNumOfChildNodes(uint32_t* count, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getNodeNameFast(char* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getChildNodeNameFast(char* out, const uint32_t* nodes, uint32_t depth,
                                                        uint32_t childIndex) const;
    [[nodiscard]] virtual uint32_t getChildNodeName(char* out, const char* address, uint32_t length,
                                                    uint32_t childIndex) const;
    [[nodiscard]] virtual uint32_t getNodePrmNumFast(uint32_t* count, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getNodePrmNum(uint32_t* count, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getNodeDirtyBitNumFast(uint32_t* count, const uint32_t* nodes,
                                                          uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getNodeDirtyBitNum(uint32_t* count, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                                   uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                                   uint32_t depth, const uint32_t* nodes) const;
    [[nodiscard]] virtual uint32_t getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize,
                                               uint32_t* arraySize, uint32_t* maxIndices, uint32_t* depthOut,
                                               uint32_t capacity, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmAttribFast(T_PRM_ATTRIB* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmAttrib(T_PRM_ATTRIB* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmTypeFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmType(uint32_t* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmMinFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmMin(JVariant* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmMaxFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmMax(JVariant* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmDefFast(JVariant* out, const uint32_t* nodes, const uint32_t* indices,
                                                 uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmDef(JVariant* out, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount) const;
    [[nodiscard]] virtual uint32_t getPrmStepFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmStep(JVariant* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmNominalFast(JVariant* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmNominal(JVariant* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmUnitSizeFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmUnitSize(uint32_t* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmUnitFast(char* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmUnit(char* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmScalingFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmScaling(uint32_t* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmKindFast(uint32_t* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmKind(uint32_t* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSizeFast(uint32_t* out, const uint32_t* nodes,
                                                            uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmNameFormatSize(uint32_t* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t getPrmNameFormatFast(char* out, const uint32_t* nodes, uint32_t depth) const;
    [[nodiscard]] virtual uint32_t getPrmNameFormat(char* out, const char* address, uint32_t length) const;
    [[nodiscard]] virtual uint32_t shareRootFast(sharedRootInfo* out, const uint32_t* nodes, const uint32_t* indices,
                                                 uint32_t depth);
    [[nodiscard]] virtual uint32_t shareRoot(sharedRootInfo* out, const char* address, uint32_t length,
                                             const uint32_t* indices, uint32_t indexCount);
    [[nodiscard]] virtual uint32_t restoreRoot(const sharedRootInfo& info);
    [[nodiscard]] virtual uint32_t jointRoot(const sharedRootInfo& info, uint8_t mode);
    [[nodiscard]] virtual uint32_t setPrmRepeatFast(const JVariantArray& values, const uint32_t* nodes,
                                                    const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                    const uint8_t* factors, uint8_t oneValue, uint8_t oneFactor,
                                                    uint8_t markOwnTask, uint16_t checkMode, uint8_t setOption,
                                                    uint32_t taskId, const ISetChecker* checker,
                                                    uint32_t subscribeMode, const ExternalSetArg* externalArg);
    // ---- end of virtual operations ----

    bool isExecuting() const { return m_status == kStatusBuilding; }
    bool isLinkMode() const { return m_status == kStatusLaidOut; }
    bool isReady() const { return m_status == kStatusReady; }

    // Read access for the field and the tests.
    uint8_t getOwnershipFlags() const { return m_ownership; }
    Collection* getTopCollection() const { return m_pTop; }
    const unsigned char* getValueMemory() const { return m_pValues; }
    uint32_t getValueSize() const { return m_valueSize; }
    const unsigned char* getFactorMemory() const { return m_pFactors; }
    uint32_t getFactorSize() const { return m_factorSize; }
    const ProcessOption* getPluginList() const { return m_pPlugins; }
    uint32_t getPluginCount() const { return m_pluginCount; }
    const TaskItemList& getTaskItemList() const { return m_taskList; }
    const CollectionTagInfo& getTagInfo() const { return m_tagInfo; }
    const StringMemoryFactory& getStringPool() const { return m_stringPool; }

    // Address helpers used by every string form. convertAddress: 0x80000002 for null outputs,
    // 0x80000004 without a top collection, the root-name check, then depth 0 for an empty path or
    // the top collection's conversion into five entries. The form with indexCount also refuses a
    // depth beyond indexCount with 0x80000006.
    [[nodiscard]] uint32_t convertAddress(uint32_t* nodesOut, uint32_t* depthOut, const char* text,
                                          uint32_t length) const;
    [[nodiscard]] uint32_t convertAddress(uint32_t* nodesOut, uint32_t* depthOut, const char* text, uint32_t length,
                                          uint32_t indexCount) const;
    // Splits off a leading root name, which must be the top collection's name; gives the rest.
    [[nodiscard]] uint32_t rootAddressChecker(const char** rest, uint32_t* restLength, const char* text,
                                              uint32_t length) const;
    // 0 when name (length bytes) is the top collection's name, 0x80000006 otherwise, 0x80000001
    // without a top collection.
    [[nodiscard]] uint32_t isSameRootName(const char* name, uint32_t length) const;

private:
    // Building and memory (mms_Root.cpp).
    [[nodiscard]] uint32_t createTopCollection(const char* name);
    [[nodiscard]] uint32_t createCollection(Collection** out, const char* name, uint32_t arraySize);
    [[nodiscard]] uint32_t createParameter(Parameter** out, const char* name, uint32_t arraySize, uint32_t type,
                                           JVariant* minimum, JVariant* maximum, JVariant* defaultValue,
                                           JVariant* step, JVariant* nominal, uint32_t unitOffset, uint32_t unitSize,
                                           uint32_t scaling, uint32_t kind, uint32_t nameFormatOffset,
                                           uint32_t nameFormatSize);
    [[nodiscard]] uint32_t convertStringOffset(JVariant* out, const JVariant* text, const JVariant* maximum);
    [[nodiscard]] uint32_t memoryBuilder(uint8_t writeDefaults);
    [[nodiscard]] uint32_t createMainMemoryPool(uint32_t valueSize, uint32_t dirtySize, uint32_t importFlagSize,
                                                uint32_t factorSize);
    [[nodiscard]] uint32_t createPluginList(uint32_t collectionCount, uint32_t parameterCount);
    // Gives back the node just made when it could not be added.
    void undoNode(Collection* collection, Parameter* parameter);
    // Node queries: the status and vector checks shared by the Fast forms.
    [[nodiscard]] uint32_t queryCheck(const uint32_t* nodes, uint32_t depth) const;

public:
    // ---- Values, links, set factors, change queries and plug-ins (added by their own files) ----
    // The number of elements from first to last over depth levels.
    [[nodiscard]] uint32_t getChannelArrayNum(uint32_t* count, const uint32_t* first, const uint32_t* last,
                                              uint32_t depth) const;
    [[nodiscard]] uint32_t pluginDriver(IDirtyFlagHolder* holder, uint8_t factor, void* marks);
    [[nodiscard]] uint32_t pluginDriver(IDirtyFlagHolder* holder, const JVariantArray* oldValues,
                                        const JVariantArray& values, const uint32_t* nodes, const uint32_t* first,
                                        const uint32_t* last, uint32_t depth, const uint8_t* factors,
                                        uint8_t oneValue, uint8_t oneFactor, uint16_t checkMode,
                                        const ISetChecker* checker);
    // BEGIN values/changes/plug-ins helpers: further non-virtual helpers of those files go here.
    // END values/changes/plug-ins helpers

    // ---- Sharing, restoring and copying (mms_RootShare.cpp) ----
    [[nodiscard]] uint32_t setSharedInfoDef(sharedRootInfo* out) const;

private:
    // 0 when the described tag area equals this root's in size and every byte, else 0x80000002.
    [[nodiscard]] uint32_t copyInfoCheck(const sharedRootInfo& source) const;
    [[nodiscard]] uint32_t memoryPoolCopy(const sharedRootInfo& source, uint8_t flags, uint32_t subscribeMode);
    [[nodiscard]] uint32_t importCopyPrm(const sharedRootInfo& source, uint32_t subscribeMode);
    [[nodiscard]] uint32_t jointPrmMemory(const sharedRootInfo& info);
    [[nodiscard]] uint32_t jointPrmMemoryOnly(const sharedRootInfo& info);
    // Gives back what a failed joint took, freeing nothing borrowed.
    void undoJoint();

public:

private:
    uint8_t m_ownership = 0;
    uint8_t m_status = kStatusNotBuilt;
    SharedMemWrapper* m_pDefinitionMemory = nullptr;  // the field's
    SharedMemWrapper* m_pValueMemory = nullptr;       // the field's
    SharedMemWrapper* m_pTaskMemory = nullptr;        // the field's
    Collection* m_pTop = nullptr;
    uint32_t m_depth = 0;
    CollectionTagInfo m_tagInfo;
    StringMemoryFactory m_stringPool;
    TreeNodeCollector m_nodeFactory;
    SetOrderNotifyWrapper m_orderNotify;
    unsigned char* m_pValues = nullptr;
    uint32_t m_valueSize = 0;
    TaskItemList m_taskList;
    unsigned char* m_pFactors = nullptr;
    uint32_t m_factorSize = 0;
    ProcessOption* m_pPlugins = nullptr;
    uint32_t m_pluginCount = 0;
    IChannelLinker* m_pChannelLinker = nullptr;  // not owned
    // The tree's nodes and child lists belong to the described root (a restored root): only the
    // node pool copy, tag area and string pool made here are given back.
    bool m_treeBorrowed = false;
};

}  // namespace MMS
