#include "mms_Base.h"

#include <new>

#include "jlib/jlib_result.h"
#include "mms_CommonFunction.h"
#include "mms_IEventFlagTrigger.h"
#include "mms_Platform.h"
#include "mms_Result.h"
#include "mms_Root.h"
#include "mms_RootList.h"
#include "mms_sharedRootInfo.h"

namespace MMS {

Base::Base(IEventFlagTrigger* trigger, ISharedMemory* definition, ISharedMemory* values, ISharedMemory* tasks)
    : m_pTrigger(trigger)
{
    uint32_t result = kMmsMissing;
    m_pRootList = new RootList(&result, definition, values, tasks);  // the class allocator gives null, not throws
    if (m_pRootList != nullptr && mmsIsFailure(result)) {
        delete m_pRootList;
        m_pRootList = nullptr;
    }
    m_status = m_pRootList != nullptr ? kStatusReady : kStatusFailed;
}

Base::~Base()
{
    removeAllTaskInfo();
    forgetAllRegisteredRoots();
    delete m_pRootList;
}

IEventFlagTrigger* Base::getEventTrigger() const { return m_pTrigger; }

IMutex* Base::getMutex() const { return nullptr; }

uint32_t Base::getStatus(uint8_t* status)
{
    if (status == nullptr) return kMmsBadArgument;
    *status = m_status;
    return kMmsOk;
}

uint32_t Base::getBuildCount() const { return m_buildCount; }

Root* Base::searchedRootCollection(const char* root) const
{
    if (m_pRootList == nullptr) return nullptr;
    return root == nullptr ? m_pRootList->front() : m_pRootList->get(root);
}

uint32_t Base::readyRoot(Root** out, const char* root) const
{
    if (!isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    *out = searchedRootCollection(root);
    return *out != nullptr ? kMmsOk : kMmsNoSuchItem;
}

uint32_t Base::buildingRoot(Root** out, const char* root) const
{
    if (!isExecuting()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    *out = searchedRootCollection(root);
    return *out != nullptr ? kMmsOk : kMmsNoSuchItem;
}

uint32_t Base::setOption2notifyMode(uint32_t options, uint32_t mode)
{
    if (options & 0x01) mode |= 0x02;
    if (options & 0x04) mode |= 0x01;
    if (options & 0x20) mode |= 0x04;
    if (options & 0x80) mode |= 0x01;
    return mode;
}

uint32_t Base::sendEventTrigger(IEventFlagTrigger* trigger, uint8_t kind, uint32_t value, T_TASK_LIST* tasks)
{
    if (trigger == nullptr) return kMmsOk;
    return trigger->trigger(kind, value, tasks);
}

uint32_t Base::sendRootEvent(Root* root, uint8_t kind, uint32_t value)
{
    T_TASK_LIST tasks;
    if (root == nullptr || mmsIsFailure(root->getTaskList(&tasks))) return kMmsOk;
    return sendEventTrigger(m_pTrigger, kind, value, &tasks);
}

uint32_t Base::afterWrite(Root* root, uint32_t result, uint8_t includeOriginator, uint32_t originatorId)
{
    if (mmsIsSuccess(result) && (result & kMmsChanged) != 0) (void)sendRootEvent(root, includeOriginator, originatorId);
    return result;
}

uint32_t Base::afterImport(Root* root, uint32_t result, uint8_t includeOriginator, uint8_t notifyOptions,
                           uint32_t originatorId)
{
    if (mmsIsFailure(result)) return result;
    if ((result & kMmsChanged) != 0 && (notifyOptions & 0x02) == 0) {
        (void)sendRootEvent(root, includeOriginator, originatorId);
    }
    return kMmsOk;
}

uint8_t* Base::getTaskDirtyMem(const char* root, uint32_t taskId) const
{
    if (!isReady()) return nullptr;
    Root* found = searchedRootCollection(root);
    return found != nullptr ? found->getTaskDirtyMem(taskId) : nullptr;
}

bool Base::mayHaveChanges(const char* root, uint32_t taskId) const
{
    Root* r = nullptr;
    if (mmsIsFailure(readyRoot(&r, root)) || !r->isReady()) return true;
    // The top collection's own bit is the first bit: every mark below it sets it as well.
    const uint8_t* dirty = r->getTaskDirtyMem(taskId);
    return dirty == nullptr || CommonFunction::isDirty(dirty, 0);
}

// ---- Roots: status, descriptions, structure ----

uint32_t Base::getRootStatus(const char* root, uint8_t* status)
{
    if (!isExecuting() && !isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    Root* found = searchedRootCollection(root);
    if (found == nullptr) return kMmsNoSuchItem;
    return found->getStatus(status);
}

uint32_t Base::attachOrderedNotify(const char* root, void* setter)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->attachOrderedNotify(setter);
}

uint32_t Base::setDescName(const char* root, const char* name)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->setDescName(name);
}

uint32_t Base::setDescVersion(const char* root, const char* version)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->setDescVersion(version);
}

uint32_t Base::addCollectionFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
                                 uint32_t parentDepth, const char* name, uint32_t arraySize)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->addCollectionFast(outIndex, parentNodes, parentDepth, name, arraySize);
}

uint32_t Base::addCollection(uint32_t* outIndex, const char* root, const char* parentAddress, uint32_t addressLength,
                             const char* name, uint32_t arraySize)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->addCollection(outIndex, parentAddress, addressLength, name, arraySize);
}

uint32_t Base::addPrmFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes, uint32_t parentDepth,
                          const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum,
                          JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit,
                          uint32_t unitSize, uint32_t scaling, uint32_t kind, const char* nameFormat,
                          uint32_t nameFormatSize)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->addPrmFast(outIndex, parentNodes, parentDepth, name, arraySize, type, minimum, maximum, defaultValue,
                         step, nominal, unit, unitSize, scaling, kind, nameFormat, nameFormatSize);
}

uint32_t Base::addPrm(uint32_t* outIndex, const char* root, const char* parentAddress, uint32_t addressLength,
                      const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum,
                      JVariant* defaultValue, JVariant* step, JVariant* nominal, const char* unit, uint32_t unitSize,
                      uint32_t scaling, uint32_t kind, const char* nameFormat, uint32_t nameFormatSize)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->addPrm(outIndex, parentAddress, addressLength, name, arraySize, type, minimum, maximum, defaultValue,
                     step, nominal, unit, unitSize, scaling, kind, nameFormat, nameFormatSize);
}

// Deleting nodes is not supported: a known root answers 0x8000000a.
uint32_t Base::delCollectionFast(const char* root, const uint32_t*, uint32_t)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return kMmsNotSupported;
}

uint32_t Base::delCollection(const char* root, const char*, uint32_t)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return kMmsNotSupported;
}

uint32_t Base::delPrmFast(const char* root, const uint32_t*, uint32_t)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return kMmsNotSupported;
}

uint32_t Base::delPrm(const char* root, const char*, uint32_t)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return kMmsNotSupported;
}

// ---- Copies ----

// Copies need both roots' memories at once; the thread-safe field does them under its locks.
uint32_t Base::copyPrm(const char*, IField*, const char*, uint8_t, uint32_t, uint32_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsMissing;
}

uint32_t Base::copyPrm(const char*, const char*, uint8_t, uint32_t, uint32_t, uint8_t, uint8_t, uint32_t)
{
    return kMmsMissing;
}

uint32_t Base::copyPrm(sharedRootInfo* out, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    if (out == nullptr) return kMmsBadArgument;
    (void)mmsMemset(out, 0, sizeof(sharedRootInfo));  // out is not null and the size is not 0
    return r->copySrcPrm(out);
}

uint32_t Base::copyDstPrm(const char* root, const sharedRootInfo& source, uint8_t copyFlags, uint8_t notifyOptions,
                          uint32_t notifyMode, uint32_t originatorId, const void* dirty)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->copyDstPrm(source, copyFlags, setOption2notifyMode(notifyOptions, notifyMode), dirty);
    if (mmsIsSuccess(result) && (result & kMmsChanged) != 0 && (notifyOptions & 0x02) == 0) {
        (void)sendRootEvent(r, 1, originatorId);
    }
    return result;
}

uint32_t Base::clearDirtyFlag(const char* root, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->clearDirtyFlag(taskId);
}

// ---- Address conversion ----

uint32_t Base::cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                const char* text, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvStrToFastAddr(nodesOut, depthOut, capacity, text, length);
}

uint32_t Base::cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
                                uint32_t depth, uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvFastToStrAddr(textOut, size, nodes, depth, withTopName);
}

uint32_t Base::cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                   uint32_t scalar)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvScalarToFastAddr(nodesOut, depthOut, capacity, scalar);
}

uint32_t Base::cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvFastToScalarAddr(scalarOut, nodes, depth);
}

uint32_t Base::cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                     const char* root, uint32_t prmIndex)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvPrmIndexToFastAddr(nodesOut, indicesOut, depthOut, capacity, prmIndex);
}

uint32_t Base::cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
                                    uint32_t capacity, const char* root, uint32_t prmIndex, uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->cnvPrmIndexToStrAddr(textOut, size, indicesOut, depthOut, capacity, prmIndex, withTopName);
}

// ---- Imports ----

uint32_t Base::importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
                                             uint32_t filterSize, const char* root, const uint32_t* nodes,
                                             const uint32_t* indices, uint32_t depth, uint8_t factor,
                                             uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                                             const ISetChecker* checker, uint32_t notifyMode,
                                             const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->importDataUsingMuchMemoryFast(
        image, imageSize, filter, filterSize, nodes, indices, depth, factor, includeOriginator, notifyOptions,
        originatorId, checker, setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterImport(r, result, includeOriginator, notifyOptions, originatorId);
}

uint32_t Base::importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
                                         uint32_t filterSize, const char* root, const char* address, uint32_t length,
                                         const uint32_t* indices, uint32_t indexCount, uint8_t factor,
                                         uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                                         const ISetChecker* checker, uint32_t notifyMode,
                                         const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->importDataUsingMuchMemory(
        image, imageSize, filter, filterSize, address, length, indices, indexCount, factor, includeOriginator,
        notifyOptions, originatorId, checker, setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterImport(r, result, includeOriginator, notifyOptions, originatorId);
}

uint32_t Base::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                              const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                              uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                              const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result =
        r->importDataFast(image, imageSize, filter, filterSize, nodes, indices, depth, factor, includeOriginator,
                          notifyOptions, originatorId, checker, setOption2notifyMode(notifyOptions, notifyMode),
                          externalArg);
    return afterImport(r, result, includeOriginator, notifyOptions, originatorId);
}

uint32_t Base::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
                          const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                          uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
                          const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->importData(image, imageSize, filter, filterSize, address, length, indices, indexCount,
                                          factor, includeOriginator, notifyOptions, originatorId, checker,
                                          setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterImport(r, result, includeOriginator, notifyOptions, originatorId);
}

// ---- Value writes ----

uint32_t Base::setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes, const uint32_t* indices,
                          uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
                          uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                          uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result =
        r->setPrmFast(value, nodes, indices, depth, factor, includeOriginator, setOptions, notifyOptions,
                      originatorId, checker, setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterWrite(r, result, includeOriginator, originatorId);
}

uint32_t Base::setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
                      const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
                      uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
                      uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result =
        r->setPrm(value, address, length, indices, indexCount, factor, includeOriginator, setOptions, notifyOptions,
                  originatorId, checker, setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterWrite(r, result, includeOriginator, originatorId);
}

uint32_t Base::setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                               const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor,
                               uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                               uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                               uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    return setPrmAndFactorArrayFast(values, root, nodes, first, last, depth, &factor, repeat, 1, includeOriginator,
                                    setOptions, notifyOptions, originatorId, checker, rootFlags, notifyMode,
                                    externalArg);
}

uint32_t Base::setPrmArray(const JVariantArray& values, const char* root, const char* address, uint32_t length,
                           const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor,
                           uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                           uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                           uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint8_t factors[1] = {factor};
    const uint32_t result = r->setPrmArray(values, address, length, first, last, indexCount, factors, repeat, 1,
                                           includeOriginator, setOptions, notifyOptions, originatorId, checker,
                                           rootFlags, setOption2notifyMode(notifyOptions, notifyMode), externalArg);
    return afterWrite(r, result, includeOriginator, originatorId);
}

uint32_t Base::setPrmAndFactorArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                        const uint32_t* first, const uint32_t* last, uint32_t depth,
                                        const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
                                        uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                        uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                                        uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->setPrmArrayFast(values, nodes, first, last, depth, factors, repeat, singleFactor,
                                               includeOriginator, setOptions, notifyOptions, originatorId, checker,
                                               rootFlags, setOption2notifyMode(notifyOptions, notifyMode),
                                               externalArg);
    return afterWrite(r, result, includeOriginator, originatorId);
}

uint32_t Base::setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
                                    uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                    const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
                                    uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                    uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags,
                                    uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->setPrmArray(values, address, length, first, last, indexCount, factors, repeat,
                                           singleFactor, includeOriginator, setOptions, notifyOptions, originatorId,
                                           checker, rootFlags, setOption2notifyMode(notifyOptions, notifyMode),
                                           externalArg);
    return afterWrite(r, result, includeOriginator, originatorId);
}

// A root without defaults (0x80000005) is not a failure of a reset: what has a default was written.
static uint32_t resetResult(uint32_t result)
{
    return (mmsIsFailure(result) && (result & 0xFF) == 0x05) ? kMmsOk : result;
}

uint32_t Base::resetPrmFast(const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                            uint8_t reset, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result = r->resetPrmFast(nodes, indices, depth, reset, factor, includeOriginator, originatorId);
    return resetResult(afterWrite(r, result, includeOriginator, originatorId));
}

uint32_t Base::resetPrm(const char* root, const char* address, uint32_t length, const uint32_t* indices,
                        uint32_t indexCount, uint8_t reset, uint8_t factor, uint8_t includeOriginator,
                        uint32_t originatorId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    const uint32_t result =
        r->resetPrm(address, length, indices, indexCount, reset, factor, includeOriginator, originatorId);
    return resetResult(afterWrite(r, result, includeOriginator, originatorId));
}

uint32_t Base::setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId)
{
    return resetPrmFast(root, nullptr, nullptr, 0, 1, factor, includeOriginator, originatorId);
}

uint32_t Base::checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
                            uint16_t setOptions)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->checkPrmFast(value, nodes, depth, setOptions);
}

uint32_t Base::checkPrm(JVariant* value, const char* root, const char* address, uint32_t length, uint16_t setOptions)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->checkPrm(value, address, length, setOptions);
}

// ---- Change and import queries ----

uint32_t Base::isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                             uint32_t depth, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->isChangedFast(out, nodes, indices, depth, clear, taskId);
}

uint32_t Base::isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
                         const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->isChanged(out, address, length, indices, indexCount, clear, taskId);
}

uint32_t Base::isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                              uint32_t depth, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->isImportedFast(out, nodes, indices, depth, clear, taskId);
}

uint32_t Base::isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
                          const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->isImported(out, address, length, indices, indexCount, clear, taskId);
}

// ---- Plug-ins ----

uint32_t Base::appendPluginFast(ILinkPlugin* plugin, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->appendPluginFast(plugin, nodes, depth);
}

uint32_t Base::appendPlugin(ILinkPlugin* plugin, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->appendPlugin(plugin, address, length);
}

uint32_t Base::removePluginFast(const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->removePluginFast(nodes, depth);
}

uint32_t Base::removePlugin(const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(buildingRoot(&r, root));
    return r->removePlugin(address, length);
}

uint32_t Base::isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (out == nullptr) return kMmsBadArgument;
    ILinkPlugin* plugin = nullptr;
    const uint32_t result = getPluginFast(&plugin, root, nodes, depth);
    if (mmsIsSuccess(result)) *out = plugin != nullptr ? 1 : 0;
    return result;
}

uint32_t Base::isPlugin(uint8_t* out, const char* root, const char* address, uint32_t length)
{
    if (out == nullptr) return kMmsBadArgument;
    ILinkPlugin* plugin = nullptr;
    const uint32_t result = getPlugin(&plugin, root, address, length);
    if (mmsIsSuccess(result)) *out = plugin != nullptr ? 1 : 0;
    return result;
}

uint32_t Base::getPluginFast(ILinkPlugin** out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!isExecuting() && !isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    Root* r = searchedRootCollection(root);
    if (r == nullptr) return kMmsNoSuchItem;
    return r->getPluginFast(out, nodes, depth);
}

uint32_t Base::getPlugin(ILinkPlugin** out, const char* root, const char* address, uint32_t length)
{
    if (!isExecuting() && !isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    Root* r = searchedRootCollection(root);
    if (r == nullptr) return kMmsNoSuchItem;
    return r->getPlugin(out, address, length);
}

// ---- Counts and identity ----

uint32_t Base::getRootNum(uint32_t* count)
{
    if (!isExecuting() && !isReady()) return kMmsWrongState;
    if (count == nullptr) return kMmsBadArgument;
    if (m_pRootList == nullptr) return kMmsMissing;
    *count = m_pRootList->getNum();
    return kMmsOk;
}

uint32_t Base::getRootIdentifier(char* out, uint32_t position)
{
    if (!isExecuting() && !isReady()) return kMmsWrongState;
    if (m_pRootList == nullptr) return kMmsMissing;
    return m_pRootList->getIdentifier(out, position);
}

uint32_t Base::getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeAddrNum(collectionCount, parameterCount);
}

uint32_t Base::getColAddrNum(uint32_t* count, const char* root) { return getNodeAddrNum(count, nullptr, root); }

uint32_t Base::getPrmAddrNum(uint32_t* count, const char* root) { return getNodeAddrNum(nullptr, count, root); }

uint32_t Base::getDescName(char* out, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getDescName(out);
}

uint32_t Base::getDescVersion(char* out, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getDescVersion(out);
}

uint32_t Base::getDepth(uint32_t* depth, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getDepth(depth);
}

uint32_t Base::getUuid(char* out, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getUuid(out);
}

uint32_t Base::isSameUuid(const void* image, uint32_t size, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->isSameUuid(image, size);
}

uint32_t Base::getPrmNum(uint32_t* count, const char* root)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNum(count);
}

uint32_t Base::getStrAddrMaxSize(uint32_t* size, const char* root, uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getStrAddrMaxSize(size, withTopName);
}

uint32_t Base::getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                              uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getStrAddrSize(size, nodes, depth, withTopName);
}

uint32_t Base::getTransactionDirty(uint8_t* flag, const char* root, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getTransactionDirty(flag, taskId);
}

// ---- Export ----

uint32_t Base::getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                     uint8_t wholeLastLevel)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getExportDataSizeFast(size, nodes, depth, wholeLastLevel);
}

uint32_t Base::getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, const uint32_t* first,
                                      const uint32_t* last, uint32_t depth, uint8_t rangeMode)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getExportArraySizeFast(size, nodes, first, last, depth, rangeMode);
}

uint32_t Base::getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                 uint8_t wholeLastLevel)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getExportDataSize(size, address, length, wholeLastLevel);
}

uint32_t Base::getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                  const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getExportArraySize(size, address, length, first, last, indexCount, rangeMode);
}

uint32_t Base::exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                              const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel,
                              uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport,
                              uint8_t* factorsOut)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->exportDataFast(buffer, written, factorsOut, bufferSize, nodes, indices, depth, wholeLastLevel,
                             clearDirty, clearImport, byteOrder, taskId);
}

uint32_t Base::exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                               const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
                               uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                               uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->exportArrayFast(buffer, written, factorsOut, factorCount, bufferSize, nodes, first, last, depth,
                              rangeMode, clearDirty, clearImport, byteOrder, taskId);
}

uint32_t Base::exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                          const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                          uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId,
                          uint8_t clearImport, uint8_t* factorsOut)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->exportData(buffer, written, factorsOut, bufferSize, address, length, indices, indexCount,
                         wholeLastLevel, clearDirty, clearImport, byteOrder, taskId);
}

uint32_t Base::exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                           const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
                           uint32_t indexCount, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                           uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->exportArray(buffer, written, factorsOut, factorCount, bufferSize, address, length, first, last,
                          indexCount, rangeMode, clearDirty, clearImport, byteOrder, taskId);
}

// ---- Value reads ----

uint32_t Base::getPrmFast(JVariant* value, uint8_t* factor, const char* root, const uint32_t* nodes,
                          const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmFast(value, factor, nodes, indices, depth, clear, taskId);
}

uint32_t Base::getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address, uint32_t length,
                      const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrm(value, factor, address, length, indices, indexCount, clear, taskId);
}

uint32_t Base::getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root,
                               const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
                               uint8_t clear, uint32_t taskId)
{
    return getPrmAndDirtyArrayFast(values, factors, expectedCount, nullptr, root, nodes, first, last, depth, clear,
                                   taskId);
}

uint32_t Base::getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root,
                           const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
                           uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    return getPrmAndDirtyArray(values, factors, expectedCount, nullptr, root, address, length, first, last,
                               indexCount, clear, taskId);
}

uint32_t Base::getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                       uint8_t* dirty, const char* root, const uint32_t* nodes, const uint32_t* first,
                                       const uint32_t* last, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmArrayFast(values, factors, expectedCount, dirty, nodes, first, last, depth, clear, taskId);
}

uint32_t Base::getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, uint8_t* dirty,
                                   const char* root, const char* address, uint32_t length, const uint32_t* first,
                                   const uint32_t* last, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmArray(values, factors, expectedCount, dirty, address, length, first, last, indexCount, clear,
                          taskId);
}

uint32_t Base::getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut, uint32_t* indicesOut,
                                     uint32_t* depthOut, uint32_t capacity, const char* root,
                                     const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth,
                                     uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getChangedPrmAddrFast(value, factor, nodesOut, indicesOut, depthOut, capacity, startNodes,
                                    startIndices, startDepth, clear, taskId);
}

uint32_t Base::getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                     const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
                                     uint32_t startDepth, uint8_t clear, uint32_t taskId)
{
    return getChangedPrmAddrFast(nullptr, nullptr, nodesOut, indicesOut, depthOut, capacity, root, startNodes,
                                 startIndices, startDepth, clear, taskId);
}

uint32_t Base::getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
                                 uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                 const char* startAddress, uint32_t length, const uint32_t* startIndices,
                                 uint32_t indexCount, uint8_t clear, uint32_t taskId, uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getChangedPrmAddr(value, factor, textOut, textSize, indicesOut, depthOut, capacity, startAddress, length,
                                startIndices, indexCount, clear, taskId, withTopName);
}

uint32_t Base::getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                 uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
                                 const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
                                 uint8_t withTopName)
{
    return getChangedPrmAddr(nullptr, nullptr, textOut, textSize, indicesOut, depthOut, capacity, root, startAddress,
                             length, startIndices, indexCount, clear, taskId, withTopName);
}

uint32_t Base::getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                                   uint32_t capacity, const char* root, const uint32_t* nodes,
                                   const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    if (!isReady()) return kMmsWrongState;
    if (capacity < depth) return kMmsBadArgument;
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getChangedPrmChFast(value, factor, indicesOut, depthOut, capacity, nodes, indices, depth, clear,
                                  taskId);
}

uint32_t Base::getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                   const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear,
                                   uint32_t taskId)
{
    return getChangedPrmChFast(nullptr, nullptr, indicesOut, depthOut, capacity, root, nodes, indices, depth, clear,
                               taskId);
}

uint32_t Base::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                               uint32_t capacity, const char* root, const char* address, uint32_t length,
                               const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getChangedPrmCh(value, factor, indicesOut, depthOut, capacity, address, length, indices, indexCount,
                              clear, taskId);
}

uint32_t Base::getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                               const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                               uint8_t clear, uint32_t taskId)
{
    return getChangedPrmCh(nullptr, nullptr, indicesOut, depthOut, capacity, root, address, length, indices,
                           indexCount, clear, taskId);
}

uint32_t Base::getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                             uint32_t capacity, const char* root, const uint32_t* startNodes,
                                             const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                             uint32_t taskId)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getImportedCollectionAddrFast(nodesOut, indicesOut, depthOut, capacity, startNodes, startIndices,
                                            startDepth, clear, taskId);
}

uint32_t Base::getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                         uint32_t capacity, const char* root, const char* startAddress,
                                         uint32_t length, const uint32_t* startIndices, uint32_t indexCount,
                                         uint8_t clear, uint32_t taskId, uint8_t withTopName)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getImportedCollectionAddr(textOut, textSize, indicesOut, depthOut, capacity, startAddress, length,
                                        startIndices, indexCount, clear, taskId, withTopName);
}

// ---- Node information ----

uint32_t Base::getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNumOfChildNodesFast(count, nodes, depth);
}

uint32_t Base::getNumOfChildNodes(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNumOfChildNodes(count, address, length);
}

uint32_t Base::getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeNameFast(out, nodes, depth);
}

uint32_t Base::getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
                                uint32_t childPosition)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getChildNodeName(out, address, length, childPosition);
}

uint32_t Base::getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfoFast(nullptr, nullptr, nullptr, size, nullptr, nullptr, depth, nodes);
}

uint32_t Base::getNodeArraySize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfo(nullptr, nullptr, nullptr, size, nullptr, nullptr, 0, address, length);
}

uint32_t Base::getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfoFast(category, nullptr, nullptr, nullptr, nullptr, nullptr, depth, nodes);
}

uint32_t Base::getNodeCategory(uint8_t* category, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfo(category, nullptr, nullptr, nullptr, nullptr, nullptr, 0, address, length);
}

uint32_t Base::getNodePrmNumFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodePrmNumFast(count, nodes, depth);
}

uint32_t Base::getNodePrmNum(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodePrmNum(count, address, length);
}

uint32_t Base::getNodeDirtyBitNumFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeDirtyBitNumFast(count, nodes, depth);
}

uint32_t Base::getNodeDirtyBitNum(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeDirtyBitNum(count, address, length);
}

uint32_t Base::getNodeDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfoFast(nullptr, nullptr, size, nullptr, nullptr, nullptr, depth, nodes);
}

uint32_t Base::getNodeDataSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfo(nullptr, nullptr, size, nullptr, nullptr, nullptr, 0, address, length);
}

uint32_t Base::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                               uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
                               const uint32_t* nodes)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, nodes);
}

uint32_t Base::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                           uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root,
                           const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getNodeInfo(category, type, dataSize, arraySize, maxIndices, depthOut, capacity, address, length);
}

// ---- Parameter attributes ----

uint32_t Base::getPrmAttribFast(T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmAttribFast(out, nodes, depth);
}

uint32_t Base::getPrmAttrib(T_PRM_ATTRIB* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmAttrib(out, address, length);
}

uint32_t Base::getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmTypeFast(type, nodes, depth);
}

uint32_t Base::getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmType(type, address, length);
}

uint32_t Base::getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmMinFast(out, nodes, depth);
}

uint32_t Base::getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmMin(out, address, length);
}

uint32_t Base::getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmMaxFast(out, nodes, depth);
}

uint32_t Base::getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmMax(out, address, length);
}

uint32_t Base::getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmStepFast(out, nodes, depth);
}

uint32_t Base::getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmStep(out, address, length);
}

uint32_t Base::getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNominalFast(out, nodes, depth);
}

uint32_t Base::getPrmNominal(JVariant* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNominal(out, address, length);
}

uint32_t Base::getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmUnitSizeFast(size, nodes, depth);
}

uint32_t Base::getPrmUnitSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmUnitSize(size, address, length);
}

uint32_t Base::getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmUnitFast(out, nodes, depth);
}

uint32_t Base::getPrmUnit(char* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmUnit(out, address, length);
}

uint32_t Base::getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmScalingFast(scaling, nodes, depth);
}

uint32_t Base::getPrmScaling(uint32_t* scaling, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmScaling(scaling, address, length);
}

uint32_t Base::getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmKindFast(kind, nodes, depth);
}

uint32_t Base::getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmKind(kind, address, length);
}

uint32_t Base::getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNameFormatSizeFast(size, nodes, depth);
}

uint32_t Base::getPrmNameFormatSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNameFormatSize(size, address, length);
}

uint32_t Base::getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNameFormatFast(out, nodes, depth);
}

uint32_t Base::getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmNameFormat(out, address, length);
}

uint32_t Base::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                             uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmDefFast(out, nodes, indices, depth);
}

uint32_t Base::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
                         const uint32_t* indices, uint32_t indexCount)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->getPrmDef(out, address, length, indices, indexCount);
}

// ---- Sharing and channel linker ----

uint32_t Base::shareRootFast(sharedRootInfo* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                             uint32_t depth)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->shareRootFast(out, nodes, indices, depth);
}

uint32_t Base::shareRoot(sharedRootInfo* out, const char* root, const char* address, uint32_t length,
                         const uint32_t* indices, uint32_t indexCount)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->shareRoot(out, address, length, indices, indexCount);
}

uint32_t Base::setChannelLinker(const char* root, IChannelLinker* linker)
{
    Root* r = nullptr;
    JLIB_RETURN_IF_FAILED(readyRoot(&r, root));
    return r->setChannelLinker(linker);
}

}  // namespace MMS
