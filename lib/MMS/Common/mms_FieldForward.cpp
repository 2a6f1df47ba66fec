#include "mms_Field.h"

#include "mms_MutexLock.h"

// Every operation of the field interface without logic of its own: the locks of its group around
// the core's operation of the same name. The group decides what may run beside the operation:
// queries ctrl, reads ctrl and get, writes ctrl and set.

namespace MMS {

uint32_t Field::getRootStatus(const char* root, uint8_t* status)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getRootStatus(root, status);
}

uint32_t Field::startBuild()
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.startBuild();
}

uint32_t Field::linkBuild(uint8_t option)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.linkBuild(option);
}

uint32_t Field::finishBuild(uint8_t option)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.finishBuild(option);
}

uint32_t Field::createRoot(const char* root, const char* topName, uint32_t maxCollections, uint32_t maxParameters,
    uint32_t stringPoolSize)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.createRoot(root, topName, maxCollections, maxParameters, stringPoolSize);
}

uint32_t Field::addRoot(const char* root, const sharedRootInfo& info)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.addRoot(root, info);
}

uint32_t Field::jointRoot(const char* root, const sharedRootInfo& info, uint8_t mode)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.jointRoot(root, info, mode);
}

uint32_t Field::recoveryRoot(const char* root, const sharedRootInfo& info, uint8_t mode)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.recoveryRoot(root, info, mode);
}

uint32_t Field::destroyRoot(const char* root)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.destroyRoot(root);
}

uint32_t Field::getBuildCount() const
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getBuildCount();
}

uint32_t Field::getRootAdditionFlag(const char* root, uint32_t taskId, uint8_t clear)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getRootAdditionFlag(root, taskId, clear);
}

uint32_t Field::unsubscribe(uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.unsubscribe(taskId);
}

uint32_t Field::attachOrderedNotify(const char* root, void* setter)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.attachOrderedNotify(root, setter);
}

uint32_t Field::setDescName(const char* root, const char* name)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.setDescName(root, name);
}

uint32_t Field::setDescVersion(const char* root, const char* version)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.setDescVersion(root, version);
}

uint32_t Field::addCollectionFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes,
    uint32_t parentDepth, const char* name, uint32_t arraySize)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.addCollectionFast(outIndex, root, parentNodes, parentDepth, name, arraySize);
}

uint32_t Field::addCollection(uint32_t* outIndex, const char* root, const char* parentAddress, uint32_t addressLength,
    const char* name, uint32_t arraySize)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.addCollection(outIndex, root, parentAddress, addressLength, name, arraySize);
}

uint32_t Field::addPrmFast(uint32_t* outIndex, const char* root, const uint32_t* parentNodes, uint32_t parentDepth,
    const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum, JVariant* defaultValue,
    JVariant* step, JVariant* nominal, const char* unit, uint32_t unitSize, uint32_t scaling, uint32_t kind,
    const char* nameFormat, uint32_t nameFormatSize)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.addPrmFast(outIndex, root, parentNodes, parentDepth, name, arraySize, type, minimum, maximum,
        defaultValue, step, nominal, unit, unitSize, scaling, kind, nameFormat, nameFormatSize);
}

uint32_t Field::addPrm(uint32_t* outIndex, const char* root, const char* parentAddress, uint32_t addressLength,
    const char* name, uint32_t arraySize, uint32_t type, JVariant* minimum, JVariant* maximum, JVariant* defaultValue,
    JVariant* step, JVariant* nominal, const char* unit, uint32_t unitSize, uint32_t scaling, uint32_t kind,
    const char* nameFormat, uint32_t nameFormatSize)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.addPrm(outIndex, root, parentAddress, addressLength, name, arraySize, type, minimum, maximum,
        defaultValue, step, nominal, unit, unitSize, scaling, kind, nameFormat, nameFormatSize);
}

uint32_t Field::delCollectionFast(const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.delCollectionFast(root, nodes, depth);
}

uint32_t Field::delCollection(const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.delCollection(root, address, length);
}

uint32_t Field::delPrmFast(const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.delPrmFast(root, nodes, depth);
}

uint32_t Field::delPrm(const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.delPrm(root, address, length);
}

uint32_t Field::cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
    const char* text, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvStrToFastAddr(nodesOut, depthOut, capacity, root, text, length);
}

uint32_t Field::cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes, uint32_t depth,
    uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvFastToStrAddr(textOut, size, root, nodes, depth, withTopName);
}

uint32_t Field::cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
    uint32_t scalar)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvScalarToFastAddr(nodesOut, depthOut, capacity, root, scalar);
}

uint32_t Field::cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvFastToScalarAddr(scalarOut, root, nodes, depth);
}

uint32_t Field::cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
    const char* root, uint32_t prmIndex)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvPrmIndexToFastAddr(nodesOut, indicesOut, depthOut, capacity, root, prmIndex);
}

uint32_t Field::cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, uint32_t prmIndex, uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.cnvPrmIndexToStrAddr(textOut, size, indicesOut, depthOut, capacity, root, prmIndex, withTopName);
}

uint32_t Field::exchangeSettingDirtyArea(uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exchangeSettingDirtyArea(taskId);
}

uint32_t Field::exchangeGettingDirtyArea(uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exchangeGettingDirtyArea(taskId);
}

uint32_t Field::importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
    uint32_t filterSize, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
    uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
    uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.importDataUsingMuchMemoryFast(image, imageSize, filter, filterSize, root, nodes, indices, depth,
        factor, includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
    uint32_t filterSize, const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
    const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.importDataUsingMuchMemory(image, imageSize, filter, filterSize, root, address, length, indices,
        indexCount, factor, includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
    const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t factor,
    uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
    uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor,
        includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize, const char* root,
    const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t factor,
    uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
    uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.importData(image, imageSize, filter, filterSize, root, address, length, indices, indexCount, factor,
        includeOriginator, notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
    uint32_t filterSize, uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId,
    const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setDumpUsingMuchMemoryFast(image, imageSize, filterDump, filterSize, factor, includeOriginator,
        notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
    uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker,
    uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setDumpFast(image, imageSize, filterDump, filterSize, factor, includeOriginator, notifyOptions,
        originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
    uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrmFast(value, root, nodes, indices, depth, factor, includeOriginator, setOptions, notifyOptions,
        originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator, uint16_t setOptions,
    uint8_t notifyOptions, uint32_t originatorId, const ISetChecker* checker, uint32_t notifyMode,
    const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrm(value, root, address, length, indices, indexCount, factor, includeOriginator, setOptions,
        notifyOptions, originatorId, checker, notifyMode, externalArg);
}

uint32_t Field::setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
    const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor, uint8_t repeat,
    uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
    const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrmArrayFast(values, root, nodes, first, last, depth, factor, repeat, includeOriginator,
        setOptions, notifyOptions, originatorId, checker, rootFlags, notifyMode, externalArg);
}

uint32_t Field::setPrmArray(const JVariantArray& values, const char* root, const char* address, uint32_t length,
    const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor, uint8_t repeat,
    uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
    const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrmArray(values, root, address, length, first, last, indexCount, factor, repeat, includeOriginator,
        setOptions, notifyOptions, originatorId, checker, rootFlags, notifyMode, externalArg);
}

uint32_t Field::setPrmAndFactorArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
    const uint32_t* first, const uint32_t* last, uint32_t depth, const uint8_t* factors, uint8_t repeat,
    uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions, uint32_t originatorId,
    const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode, const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrmAndFactorArrayFast(values, root, nodes, first, last, depth, factors, repeat, singleFactor,
        includeOriginator, setOptions, notifyOptions, originatorId, checker, rootFlags, notifyMode, externalArg);
}

uint32_t Field::setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
    uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, const uint8_t* factors,
    uint8_t repeat, uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
    uint32_t originatorId, const ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
    const ExternalSetArg* externalArg)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setPrmAndFactorArray(values, root, address, length, first, last, indexCount, factors, repeat,
        singleFactor, includeOriginator, setOptions, notifyOptions, originatorId, checker, rootFlags, notifyMode,
        externalArg);
}

uint32_t Field::resetPrmFast(const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
    uint8_t reset, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.resetPrmFast(root, nodes, indices, depth, reset, factor, includeOriginator, originatorId);
}

uint32_t Field::resetPrm(const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t reset, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.resetPrm(root, address, length, indices, indexCount, reset, factor, includeOriginator, originatorId);
}

uint32_t Field::setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator, uint32_t originatorId)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setDefaultPrms(root, factor, includeOriginator, originatorId);
}

uint32_t Field::checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
    uint16_t setOptions)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.checkPrmFast(value, root, nodes, depth, setOptions);
}

uint32_t Field::checkPrm(JVariant* value, const char* root, const char* address, uint32_t length, uint16_t setOptions)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.checkPrm(value, root, address, length, setOptions);
}

uint32_t Field::isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.isChangedFast(out, root, nodes, indices, depth, clear, taskId);
}

uint32_t Field::isChanged(uint8_t* out, const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.isChanged(out, root, address, length, indices, indexCount, clear, taskId);
}

uint32_t Field::isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.isImportedFast(out, root, nodes, indices, depth, clear, taskId);
}

uint32_t Field::isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.isImported(out, root, address, length, indices, indexCount, clear, taskId);
}

uint32_t Field::appendPluginFast(ILinkPlugin* plugin, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.appendPluginFast(plugin, root, nodes, depth);
}

uint32_t Field::appendPlugin(ILinkPlugin* plugin, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.appendPlugin(plugin, root, address, length);
}

uint32_t Field::removePluginFast(const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.removePluginFast(root, nodes, depth);
}

uint32_t Field::removePlugin(const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.removePlugin(root, address, length);
}

uint32_t Field::isPluginFast(uint8_t* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.isPluginFast(out, root, nodes, depth);
}

uint32_t Field::isPlugin(uint8_t* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.isPlugin(out, root, address, length);
}

uint32_t Field::getPluginFast(ILinkPlugin** out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPluginFast(out, root, nodes, depth);
}

uint32_t Field::getPlugin(ILinkPlugin** out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPlugin(out, root, address, length);
}

uint32_t Field::getRootNum(uint32_t* count)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getRootNum(count);
}

uint32_t Field::getRootIdentifier(char* out, uint32_t position)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getRootIdentifier(out, position);
}

uint32_t Field::getNodeAddrNum(uint32_t* collectionCount, uint32_t* parameterCount, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeAddrNum(collectionCount, parameterCount, root);
}

uint32_t Field::getColAddrNum(uint32_t* count, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getColAddrNum(count, root);
}

uint32_t Field::getPrmAddrNum(uint32_t* count, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmAddrNum(count, root);
}

uint32_t Field::getDescName(char* out, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getDescName(out, root);
}

uint32_t Field::getDescVersion(char* out, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getDescVersion(out, root);
}

uint32_t Field::getDepth(uint32_t* depth, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getDepth(depth, root);
}

uint32_t Field::getUuid(char* out, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getUuid(out, root);
}

uint32_t Field::isSameUuid(const void* image, uint32_t size, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.isSameUuid(image, size, root);
}

uint32_t Field::getPrmNum(uint32_t* count, const char* root)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNum(count, root);
}

uint32_t Field::getStrAddrMaxSize(uint32_t* size, const char* root, uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getStrAddrMaxSize(size, root, withTopName);
}

uint32_t Field::getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
    uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getStrAddrSize(size, root, nodes, depth, withTopName);
}

uint32_t Field::getTransactionDirty(uint8_t* flag, const char* root, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getTransactionDirty(flag, root, taskId);
}

uint32_t Field::getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
    uint8_t wholeLastLevel)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
}

uint32_t Field::getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, const uint32_t* first,
    const uint32_t* last, uint32_t depth, uint8_t rangeMode)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getExportArraySizeFast(size, root, nodes, first, last, depth, rangeMode);
}

uint32_t Field::getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
    uint8_t wholeLastLevel)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getExportDataSize(size, root, address, length, wholeLastLevel);
}

uint32_t Field::getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
    const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getExportArraySize(size, root, address, length, first, last, indexCount, rangeMode);
}

uint32_t Field::exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
    uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel, clearDirty,
        byteOrder, taskId, clearImport, factorsOut);
}

uint32_t Field::exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode,
    uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
    uint32_t factorCount)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode, clearDirty,
        byteOrder, taskId, clearImport, factorsOut, factorCount);
}

uint32_t Field::exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const char* address,
    uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t wholeLastLevel, uint8_t clearDirty,
    uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exportData(buffer, written, bufferSize, root, address, length, indices, indexCount, wholeLastLevel,
        clearDirty, byteOrder, taskId, clearImport, factorsOut);
}

uint32_t Field::exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root, const char* address,
    uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode,
    uint8_t clearDirty, uint8_t byteOrder, uint32_t taskId, uint8_t clearImport, uint8_t* factorsOut,
    uint32_t factorCount)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.exportArray(buffer, written, bufferSize, root, address, length, first, last, indexCount, rangeMode,
        clearDirty, byteOrder, taskId, clearImport, factorsOut, factorCount);
}

uint32_t Field::getDumpSizeFast(uint32_t* size)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getDumpSizeFast(size);
}

uint32_t Field::getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty, uint8_t byteOrder,
    uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getDumpFast(buffer, written, bufferSize, clearDirty, byteOrder, taskId);
}

uint32_t Field::getPrmFast(JVariant* value, uint8_t* factor, const char* root, const uint32_t* nodes,
    const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrmFast(value, factor, root, nodes, indices, depth, clear, taskId);
}

uint32_t Field::getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrm(value, factor, root, address, length, indices, indexCount, clear, taskId);
}

uint32_t Field::getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root,
    const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrmArrayFast(values, factors, expectedCount, root, nodes, first, last, depth, clear, taskId);
}

uint32_t Field::getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root,
    const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
    uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrmArray(values, factors, expectedCount, root, address, length, first, last, indexCount, clear,
        taskId);
}

uint32_t Field::getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, uint8_t* dirty,
    const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t clear,
    uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrmAndDirtyArrayFast(values, factors, expectedCount, dirty, root, nodes, first, last, depth, clear,
        taskId);
}

uint32_t Field::getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, uint8_t* dirty,
    const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
    uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getPrmAndDirtyArray(values, factors, expectedCount, dirty, root, address, length, first, last,
        indexCount, clear, taskId);
}

uint32_t Field::getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut, uint32_t* indicesOut,
    uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
    uint32_t startDepth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmAddrFast(value, factor, nodesOut, indicesOut, depthOut, capacity, root, startNodes,
        startIndices, startDepth, clear, taskId);
}

uint32_t Field::getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
    const char* root, const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
    uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes, startIndices,
        startDepth, clear, taskId);
}

uint32_t Field::getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
    uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress,
    uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear, uint32_t taskId,
    uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmAddr(value, factor, textOut, textSize, indicesOut, depthOut, capacity, root,
        startAddress, length, startIndices, indexCount, clear, taskId, withTopName);
}

uint32_t Field::getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices,
    uint32_t indexCount, uint8_t clear, uint32_t taskId, uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmAddr(textOut, textSize, indicesOut, depthOut, capacity, root, startAddress, length,
        startIndices, indexCount, clear, taskId, withTopName);
}

uint32_t Field::getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear,
    uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmChFast(value, factor, indicesOut, depthOut, capacity, root, nodes, indices, depth, clear,
        taskId);
}

uint32_t Field::getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
    const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmChFast(indicesOut, depthOut, capacity, root, nodes, indices, depth, clear, taskId);
}

uint32_t Field::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmCh(value, factor, indicesOut, depthOut, capacity, root, address, length, indices,
        indexCount, clear, taskId);
}

uint32_t Field::getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
    const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getChangedPrmCh(indicesOut, depthOut, capacity, root, address, length, indices, indexCount, clear,
        taskId);
}

uint32_t Field::getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices, uint32_t startDepth,
    uint8_t clear, uint32_t taskId)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getImportedCollectionAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes,
        startIndices, startDepth, clear, taskId);
}

uint32_t Field::getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices,
    uint32_t indexCount, uint8_t clear, uint32_t taskId, uint8_t withTopName)
{
    const MutexLock lock(m_pMutex, kReadLocks);
    return m_core.getImportedCollectionAddr(textOut, textSize, indicesOut, depthOut, capacity, root, startAddress,
        length, startIndices, indexCount, clear, taskId, withTopName);
}

uint32_t Field::getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNumOfChildNodesFast(count, root, nodes, depth);
}

uint32_t Field::getNumOfChildNodes(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNumOfChildNodes(count, root, address, length);
}

uint32_t Field::getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeNameFast(out, root, nodes, depth);
}

uint32_t Field::getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
    uint32_t childPosition)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getChildNodeName(out, root, address, length, childPosition);
}

uint32_t Field::getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeArraySizeFast(size, root, nodes, depth);
}

uint32_t Field::getNodeArraySize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeArraySize(size, root, address, length);
}

uint32_t Field::getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeCategoryFast(category, root, nodes, depth);
}

uint32_t Field::getNodeCategory(uint8_t* category, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeCategory(category, root, address, length);
}

uint32_t Field::getNodePrmNumFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodePrmNumFast(count, root, nodes, depth);
}

uint32_t Field::getNodePrmNum(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodePrmNum(count, root, address, length);
}

uint32_t Field::getNodeDirtyBitNumFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeDirtyBitNumFast(count, root, nodes, depth);
}

uint32_t Field::getNodeDirtyBitNum(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeDirtyBitNum(count, root, address, length);
}

uint32_t Field::getNodeDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeDataSizeFast(size, root, nodes, depth);
}

uint32_t Field::getNodeDataSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeDataSize(size, root, address, length);
}

uint32_t Field::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
    uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root, const uint32_t* nodes)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, root, nodes);
}

uint32_t Field::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
    uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getNodeInfo(category, type, dataSize, arraySize, maxIndices, depthOut, capacity, root, address,
        length);
}

uint32_t Field::getPrmAttribFast(T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmAttribFast(out, root, nodes, depth);
}

uint32_t Field::getPrmAttrib(T_PRM_ATTRIB* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmAttrib(out, root, address, length);
}

uint32_t Field::getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmTypeFast(type, root, nodes, depth);
}

uint32_t Field::getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmType(type, root, address, length);
}

uint32_t Field::getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmMinFast(out, root, nodes, depth);
}

uint32_t Field::getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmMin(out, root, address, length);
}

uint32_t Field::getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmMaxFast(out, root, nodes, depth);
}

uint32_t Field::getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmMax(out, root, address, length);
}

uint32_t Field::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmDefFast(out, root, nodes, indices, depth);
}

uint32_t Field::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmDef(out, root, address, length, indices, indexCount);
}

uint32_t Field::getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmStepFast(out, root, nodes, depth);
}

uint32_t Field::getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmStep(out, root, address, length);
}

uint32_t Field::getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNominalFast(out, root, nodes, depth);
}

uint32_t Field::getPrmNominal(JVariant* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNominal(out, root, address, length);
}

uint32_t Field::getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmUnitSizeFast(size, root, nodes, depth);
}

uint32_t Field::getPrmUnitSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmUnitSize(size, root, address, length);
}

uint32_t Field::getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmUnitFast(out, root, nodes, depth);
}

uint32_t Field::getPrmUnit(char* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmUnit(out, root, address, length);
}

uint32_t Field::getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmScalingFast(scaling, root, nodes, depth);
}

uint32_t Field::getPrmScaling(uint32_t* scaling, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmScaling(scaling, root, address, length);
}

uint32_t Field::getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmKindFast(kind, root, nodes, depth);
}

uint32_t Field::getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmKind(kind, root, address, length);
}

uint32_t Field::getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNameFormatSizeFast(size, root, nodes, depth);
}

uint32_t Field::getPrmNameFormatSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNameFormatSize(size, root, address, length);
}

uint32_t Field::getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNameFormatFast(out, root, nodes, depth);
}

uint32_t Field::getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.getPrmNameFormat(out, root, address, length);
}

uint32_t Field::shareRootFast(sharedRootInfo* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.shareRootFast(out, root, nodes, indices, depth);
}

uint32_t Field::shareRoot(sharedRootInfo* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount)
{
    const MutexLock lock(m_pMutex, kCtrlLocks);
    return m_core.shareRoot(out, root, address, length, indices, indexCount);
}

uint32_t Field::setChannelLinker(const char* root, IChannelLinker* linker)
{
    const MutexLock lock(m_pMutex, kWriteLocks);
    return m_core.setChannelLinker(root, linker);
}

}  // namespace MMS
