#include "devctrl/devctrl_IFieldWrapper.h"

#include "devctrl/devctrl_IFacade.h"

namespace DeviceControl {

uint32_t IFieldWrapper::initialize(IFacade* facade)
{
    m_pFacade = facade;
    return 0;
}

// The operations a facade does not offer answer 0x80000000 whether or not a facade is set.

MMS::IEventFlagTrigger* IFieldWrapper::getEventTrigger() const
{
    if (!m_pFacade) return nullptr;
    return m_pFacade->getEventTrigger();
}

MMS::IMutex* IFieldWrapper::getMutex() const
{
    if (!m_pFacade) return nullptr;
    return m_pFacade->getMutex();
}

uint32_t IFieldWrapper::getStatus(uint8_t* status)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getStatus(status);
}

uint32_t IFieldWrapper::getRootStatus(const char* root, uint8_t* status)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getRootStatus(root, status);
}

uint32_t IFieldWrapper::startBuild()
{
    return kFailed;
}

uint32_t IFieldWrapper::linkBuild(uint8_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::finishBuild(uint8_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::createRoot(const char*, const char*, uint32_t, uint32_t, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::addRoot(const char*, const MMS::sharedRootInfo&)
{
    return kFailed;
}

uint32_t IFieldWrapper::jointRoot(const char*, const MMS::sharedRootInfo&, uint8_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::recoveryRoot(const char*, const MMS::sharedRootInfo&, uint8_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::destroyRoot(const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getBuildCount() const
{
    if (!m_pFacade) return 0;
    return m_pFacade->getBuildCount();
}

uint32_t IFieldWrapper::getRootAdditionFlag(const char* root, uint32_t /*taskId*/, uint8_t clear)
{
    if (!m_pFacade) return 0;
    return m_pFacade->getRootAdditionFlag(root, clear);
}

uint32_t IFieldWrapper::subscribe(uint32_t kindMask, uint32_t /*taskId*/, uint32_t areaCount, bool raiseAll)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->subscribe(kindMask, areaCount, raiseAll);
}

uint32_t IFieldWrapper::unsubscribe(uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->unsubscribe();
}

uint32_t IFieldWrapper::attachOrderedNotify(const char* root, void* setter)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->attachOrderedNotify(root, static_cast<OrderedNotify::ISetOrderedNotify*>(setter));
}

uint32_t IFieldWrapper::setDescName(const char*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::setDescVersion(const char*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::addCollectionFast(uint32_t*, const char*, const uint32_t*, uint32_t, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::addCollection(uint32_t*, const char*, const char*, uint32_t, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::addPrmFast(uint32_t*, const char*, const uint32_t*, uint32_t, const char*, uint32_t, uint32_t,
                                   JVariant*, JVariant*, JVariant*, JVariant*, JVariant*, const char*, uint32_t,
                                   uint32_t, uint32_t, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::addPrm(uint32_t*, const char*, const char*, uint32_t, const char*, uint32_t, uint32_t,
                               JVariant*, JVariant*, JVariant*, JVariant*, JVariant*, const char*, uint32_t, uint32_t,
                               uint32_t, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::delCollectionFast(const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::delCollection(const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::delPrmFast(const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::delPrm(const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::copyPrm(const char*, MMS::IField*, const char*, uint8_t, uint32_t, uint32_t, uint8_t, uint8_t,
                                uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::copyPrm(const char*, const char*, uint8_t, uint32_t, uint32_t, uint8_t, uint8_t, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                         const char* text, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvStrToFastAddr(nodesOut, depthOut, capacity, root, text, length);
}

uint32_t IFieldWrapper::cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
                                         uint32_t depth, uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvFastToStrAddr(textOut, size, root, nodes, depth);
}

uint32_t IFieldWrapper::cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                            uint32_t scalar)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvScalarToFastAddr(nodesOut, depthOut, capacity, root, scalar);
}

uint32_t IFieldWrapper::cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
                                            uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvFastToScalarAddr(scalarOut, root, nodes, depth);
}

uint32_t IFieldWrapper::cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                              uint32_t capacity, const char* root, uint32_t prmIndex)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvPrmIndexToFastAddr(nodesOut, indicesOut, depthOut, capacity, root, prmIndex);
}

uint32_t IFieldWrapper::cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
                                             uint32_t capacity, const char* root, uint32_t prmIndex,
                                             uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->cnvPrmIndexToStrAddr(textOut, size, indicesOut, depthOut, capacity, root, prmIndex);
}

uint32_t IFieldWrapper::exchangeSettingDirtyArea(uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exchangeSettingDirtyArea();
}

uint32_t IFieldWrapper::exchangeGettingDirtyArea(uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exchangeGettingDirtyArea();
}

uint32_t IFieldWrapper::importDataUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filter,
                                                      uint32_t filterSize, const char* root, const uint32_t* nodes,
                                                      const uint32_t* indices, uint32_t depth, uint8_t factor,
                                                      uint8_t includeOriginator, uint8_t notifyOptions,
                                                      uint32_t /*originatorId*/, const MMS::ISetChecker* checker,
                                                      uint32_t notifyMode, const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->importDataUsingMuchMemoryFast(image, imageSize, filter, filterSize, root, nodes, indices, depth,
                                                    factor, includeOriginator, notifyOptions, checker, notifyMode,
                                                    nullptr);
}

uint32_t IFieldWrapper::importDataUsingMuchMemory(const void* image, uint32_t imageSize, const void* filter,
                                                  uint32_t filterSize, const char* root, const char* address,
                                                  uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                                  uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                                  uint32_t /*originatorId*/, const MMS::ISetChecker* checker,
                                                  uint32_t notifyMode, const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->importDataUsingMuchMemory(image, imageSize, filter, filterSize, root, address, length, indices,
                                                indexCount, factor, includeOriginator, notifyOptions, checker,
                                                notifyMode, nullptr);
}

uint32_t IFieldWrapper::importDataFast(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                       const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                       uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                       uint32_t /*originatorId*/, const MMS::ISetChecker* checker, uint32_t notifyMode,
                                       const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->importDataFast(image, imageSize, filter, filterSize, root, nodes, indices, depth, factor,
                                     includeOriginator, notifyOptions, checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::importData(void* image, uint32_t imageSize, const void* filter, uint32_t filterSize,
                                   const char* root, const char* address, uint32_t length, const uint32_t* indices,
                                   uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
                                   uint8_t notifyOptions, uint32_t /*originatorId*/, const MMS::ISetChecker* checker,
                                   uint32_t notifyMode, const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->importData(image, imageSize, filter, filterSize, root, address, length, indices, indexCount,
                                 factor, includeOriginator, notifyOptions, checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setDumpUsingMuchMemoryFast(const void* image, uint32_t imageSize, const void* filterDump,
                                                   uint32_t filterSize, uint8_t factor, uint8_t includeOriginator,
                                                   uint8_t notifyOptions, uint32_t /*originatorId*/,
                                                   const MMS::ISetChecker* checker, uint32_t notifyMode,
                                                   const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setDumpUsingMuchMemoryFast(image, imageSize, filterDump, filterSize, factor, includeOriginator,
                                                 notifyOptions, checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setDumpFast(void* image, uint32_t imageSize, const void* filterDump, uint32_t filterSize,
                                    uint8_t factor, uint8_t includeOriginator, uint8_t notifyOptions,
                                    uint32_t /*originatorId*/, const MMS::ISetChecker* checker, uint32_t notifyMode,
                                    const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setDumpFast(image, imageSize, filterDump, filterSize, factor, includeOriginator, notifyOptions,
                                  checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setPrmFast(const JVariant& value, const char* root, const uint32_t* nodes,
                                   const uint32_t* indices, uint32_t depth, uint8_t factor, uint8_t includeOriginator,
                                   uint16_t setOptions, uint8_t notifyOptions, uint32_t /*originatorId*/,
                                   const MMS::ISetChecker* checker, uint32_t notifyMode,
                                   const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrmFast(value, root, nodes, indices, depth, factor, includeOriginator, setOptions,
                                 notifyOptions, checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setPrm(const JVariant& value, const char* root, const char* address, uint32_t length,
                               const uint32_t* indices, uint32_t indexCount, uint8_t factor, uint8_t includeOriginator,
                               uint16_t setOptions, uint8_t notifyOptions, uint32_t /*originatorId*/,
                               const MMS::ISetChecker* checker, uint32_t notifyMode,
                               const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrm(value, root, address, length, indices, indexCount, factor, includeOriginator, setOptions,
                             notifyOptions, checker, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setPrmArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                        const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t factor,
                                        uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions,
                                        uint8_t notifyOptions, uint32_t /*originatorId*/,
                                        const MMS::ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
                                        const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrmArrayFast(values, root, nodes, first, last, depth, factor, repeat, includeOriginator,
                                      setOptions, notifyOptions, checker, rootFlags, notifyMode, nullptr);
}

uint32_t IFieldWrapper::setPrmArray(const JVariantArray& values, const char* root, const char* address, uint32_t length,
                                    const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t factor,
                                    uint8_t repeat, uint8_t includeOriginator, uint16_t setOptions,
                                    uint8_t notifyOptions, uint32_t /*originatorId*/, const MMS::ISetChecker* checker,
                                    uint32_t rootFlags, uint32_t notifyMode, const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrmArray(values, root, address, length, first, last, indexCount, factor, repeat,
                                  includeOriginator, setOptions, notifyOptions, checker, rootFlags, notifyMode,
                                  nullptr);
}

uint32_t IFieldWrapper::setPrmAndFactorArrayFast(const JVariantArray& values, const char* root, const uint32_t* nodes,
                                                 const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                 const uint8_t* factors, uint8_t repeat, uint8_t singleFactor,
                                                 uint8_t includeOriginator, uint16_t setOptions, uint8_t notifyOptions,
                                                 uint32_t /*originatorId*/, const MMS::ISetChecker* checker,
                                                 uint32_t rootFlags, uint32_t notifyMode,
                                                 const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrmAndFactorArrayFast(values, root, nodes, first, last, depth, factors, repeat, singleFactor,
                                               includeOriginator, setOptions, notifyOptions, checker, rootFlags,
                                               notifyMode, nullptr);
}

uint32_t IFieldWrapper::setPrmAndFactorArray(const JVariantArray& values, const char* root, const char* address,
                                             uint32_t length, const uint32_t* first, const uint32_t* last,
                                             uint32_t indexCount, const uint8_t* factors, uint8_t repeat,
                                             uint8_t singleFactor, uint8_t includeOriginator, uint16_t setOptions,
                                             uint8_t notifyOptions, uint32_t /*originatorId*/,
                                             const MMS::ISetChecker* checker, uint32_t rootFlags, uint32_t notifyMode,
                                             const MMS::ExternalSetArg* /*externalArg*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setPrmAndFactorArray(values, root, address, length, first, last, indexCount, factors, repeat,
                                           singleFactor, includeOriginator, setOptions, notifyOptions, checker,
                                           rootFlags, notifyMode, nullptr);
}

uint32_t IFieldWrapper::resetPrmFast(const char*, const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t,
                                     uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::resetPrm(const char*, const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t,
                                 uint8_t, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::setDefaultPrms(const char* root, uint8_t factor, uint8_t includeOriginator,
                                       uint32_t /*originatorId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->setDefaultPrms(root, factor, includeOriginator);
}

uint32_t IFieldWrapper::checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
                                     uint16_t setOptions)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->checkPrmFast(value, root, nodes, depth, setOptions);
}

uint32_t IFieldWrapper::checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
                                 uint16_t setOptions)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->checkPrm(value, root, address, length, setOptions);
}

uint32_t IFieldWrapper::isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                                      uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->isChangedFast(out, root, nodes, indices, depth, clear);
}

uint32_t IFieldWrapper::isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->isChanged(out, root, address, length, indices, indexCount, clear);
}

uint32_t IFieldWrapper::isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                                       uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->isImportedFast(out, root, nodes, indices, depth, clear);
}

uint32_t IFieldWrapper::isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
                                   const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->isImported(out, root, address, length, indices, indexCount, clear);
}

uint32_t IFieldWrapper::appendPluginFast(MMS::ILinkPlugin*, const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::appendPlugin(MMS::ILinkPlugin*, const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::removePluginFast(const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::removePlugin(const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::isPluginFast(uint8_t*, const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::isPlugin(uint8_t*, const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getPluginFast(MMS::ILinkPlugin**, const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getPlugin(MMS::ILinkPlugin**, const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getRootNum(uint32_t* count)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getRootNum(count);
}

uint32_t IFieldWrapper::getRootIdentifier(char* out, uint32_t position)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getRootIdentifier(out, position);
}

uint32_t IFieldWrapper::getNodeAddrNum(uint32_t*, uint32_t*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getColAddrNum(uint32_t*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getPrmAddrNum(uint32_t*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getDescName(char* out, const char* root)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getDescName(out, root);
}

uint32_t IFieldWrapper::getDescVersion(char*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getDepth(uint32_t* depth, const char* root)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getDepth(depth, root);
}

uint32_t IFieldWrapper::getUuid(char*, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::isSameUuid(const void*, uint32_t, const char*)
{
    return kFailed;
}

uint32_t IFieldWrapper::getPrmNum(uint32_t* count, const char* root)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNum(count, root);
}

uint32_t IFieldWrapper::getStrAddrMaxSize(uint32_t*, const char*, uint8_t)
{
    return kFailed;
}

// Forwarded without the name in front, so the size fits the texts this wrapper hands out.
uint32_t IFieldWrapper::getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                       uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getStrAddrSize(size, root, nodes, depth);
}

uint32_t IFieldWrapper::getTransactionDirty(uint8_t* flag, const char* root, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getTransactionDirty(flag, root);
}

uint32_t IFieldWrapper::getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth,
                                              uint8_t wholeLastLevel)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
}

uint32_t IFieldWrapper::getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                               const uint32_t* first, const uint32_t* last, uint32_t depth,
                                               uint8_t rangeMode)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getExportArraySizeFast(size, root, nodes, first, last, depth, rangeMode);
}

uint32_t IFieldWrapper::getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                          uint8_t wholeLastLevel)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getExportDataSize(size, root, address, length, wholeLastLevel);
}

uint32_t IFieldWrapper::getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
                                           const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                           uint8_t rangeMode)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getExportArraySize(size, root, address, length, first, last, indexCount, rangeMode);
}

uint32_t IFieldWrapper::exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                       const uint32_t* nodes, const uint32_t* indices, uint32_t depth,
                                       uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder,
                                       uint32_t /*taskId*/, uint8_t clearImport, uint8_t* factorsOut)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel,
                                     clearDirty, byteOrder, clearImport, factorsOut);
}

uint32_t IFieldWrapper::exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                        const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
                                        uint32_t depth, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                        uint32_t /*taskId*/, uint8_t clearImport, uint8_t* factorsOut,
                                        uint32_t factorCount)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode,
                                      clearDirty, byteOrder, clearImport, factorsOut, factorCount);
}

uint32_t IFieldWrapper::exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                   const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
                                   uint8_t wholeLastLevel, uint8_t clearDirty, uint8_t byteOrder, uint32_t /*taskId*/,
                                   uint8_t clearImport, uint8_t* factorsOut)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exportData(buffer, written, bufferSize, root, address, length, indices, indexCount,
                                 wholeLastLevel, clearDirty, byteOrder, clearImport, factorsOut);
}

uint32_t IFieldWrapper::exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
                                    const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
                                    uint32_t indexCount, uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder,
                                    uint32_t /*taskId*/, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->exportArray(buffer, written, bufferSize, root, address, length, first, last, indexCount,
                                  rangeMode, clearDirty, byteOrder, clearImport, factorsOut, factorCount);
}

uint32_t IFieldWrapper::getDumpSizeFast(uint32_t* size)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getDumpSizeFast(size);
}

uint32_t IFieldWrapper::getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
                                    uint8_t byteOrder, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getDumpFast(buffer, written, bufferSize, clearDirty, byteOrder);
}

uint32_t IFieldWrapper::getPrmFast(JVariant* value, uint8_t* factor, const char* root, const uint32_t* nodes,
                                   const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmFast(value, factor, root, nodes, indices, depth, clear);
}

uint32_t IFieldWrapper::getPrm(JVariant* value, uint8_t* factor, const char* root, const char* address, uint32_t length,
                               const uint32_t* indices, uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrm(value, factor, root, address, length, indices, indexCount, clear);
}

uint32_t IFieldWrapper::getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                        const char* root, const uint32_t* nodes, const uint32_t* first,
                                        const uint32_t* last, uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmArrayFast(values, factors, expectedCount, root, nodes, first, last, depth, clear);
}

uint32_t IFieldWrapper::getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount, const char* root,
                                    const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
                                    uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmArray(values, factors, expectedCount, root, address, length, first, last, indexCount,
                                  clear);
}

uint32_t IFieldWrapper::getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                                uint8_t* dirty, const char* root, const uint32_t* nodes,
                                                const uint32_t* first, const uint32_t* last, uint32_t depth,
                                                uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmAndDirtyArrayFast(values, factors, expectedCount, dirty, root, nodes, first, last, depth,
                                              clear);
}

uint32_t IFieldWrapper::getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
                                            uint8_t* dirty, const char* root, const char* address, uint32_t length,
                                            const uint32_t* first, const uint32_t* last, uint32_t indexCount,
                                            uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmAndDirtyArray(values, factors, expectedCount, dirty, root, address, length, first, last,
                                          indexCount, clear);
}

uint32_t IFieldWrapper::getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
                                              uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                              const char* root, const uint32_t* startNodes,
                                              const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                              uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmAddrFast(value, factor, nodesOut, indicesOut, depthOut, capacity, root, startNodes,
                                            startIndices, startDepth, clear);
}

uint32_t IFieldWrapper::getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                              uint32_t capacity, const char* root, const uint32_t* startNodes,
                                              const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                              uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes, startIndices,
                                            startDepth, clear);
}

uint32_t IFieldWrapper::getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
                                          uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                          const char* startAddress, uint32_t length, const uint32_t* startIndices,
                                          uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/,
                                          uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmAddr(value, factor, textOut, textSize, indicesOut, depthOut, capacity, root,
                                        startAddress, length, startIndices, indexCount, clear);
}

uint32_t IFieldWrapper::getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
                                          uint32_t capacity, const char* root, const char* startAddress,
                                          uint32_t length, const uint32_t* startIndices, uint32_t indexCount,
                                          uint8_t clear, uint32_t /*taskId*/, uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmAddr(textOut, textSize, indicesOut, depthOut, capacity, root, startAddress, length,
                                        startIndices, indexCount, clear);
}

uint32_t IFieldWrapper::getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                                            uint32_t capacity, const char* root, const uint32_t* nodes,
                                            const uint32_t* indices, uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmChFast(value, factor, indicesOut, depthOut, capacity, root, nodes, indices, depth,
                                          clear);
}

uint32_t IFieldWrapper::getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
                                            const char* root, const uint32_t* nodes, const uint32_t* indices,
                                            uint32_t depth, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmChFast(indicesOut, depthOut, capacity, root, nodes, indices, depth, clear);
}

uint32_t IFieldWrapper::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
                                        uint32_t capacity, const char* root, const char* address, uint32_t length,
                                        const uint32_t* indices, uint32_t indexCount, uint8_t clear,
                                        uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmCh(value, factor, indicesOut, depthOut, capacity, root, address, length, indices,
                                      indexCount, clear);
}

uint32_t IFieldWrapper::getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
                                        const char* address, uint32_t length, const uint32_t* indices,
                                        uint32_t indexCount, uint8_t clear, uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChangedPrmCh(indicesOut, depthOut, capacity, root, address, length, indices, indexCount,
                                      clear);
}

uint32_t IFieldWrapper::getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
                                                      uint32_t capacity, const char* root, const uint32_t* startNodes,
                                                      const uint32_t* startIndices, uint32_t startDepth, uint8_t clear,
                                                      uint32_t /*taskId*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getImportedCollectionAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes,
                                                    startIndices, startDepth, clear);
}

uint32_t IFieldWrapper::getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
                                                  uint32_t* depthOut, uint32_t capacity, const char* root,
                                                  const char* startAddress, uint32_t length,
                                                  const uint32_t* startIndices, uint32_t indexCount, uint8_t clear,
                                                  uint32_t /*taskId*/, uint8_t /*withTopName*/)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getImportedCollectionAddr(textOut, textSize, indicesOut, depthOut, capacity, root, startAddress,
                                                length, startIndices, indexCount, clear);
}

uint32_t IFieldWrapper::getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNumOfChildNodesFast(count, root, nodes, depth);
}

uint32_t IFieldWrapper::getNumOfChildNodes(uint32_t* count, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNumOfChildNodes(count, root, address, length);
}

uint32_t IFieldWrapper::getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeNameFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
                                         uint32_t childPosition)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getChildNodeName(out, root, address, length, childPosition);
}

uint32_t IFieldWrapper::getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeArraySizeFast(size, root, nodes, depth);
}

uint32_t IFieldWrapper::getNodeArraySize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeArraySize(size, root, address, length);
}

uint32_t IFieldWrapper::getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeCategoryFast(category, root, nodes, depth);
}

uint32_t IFieldWrapper::getNodeCategory(uint8_t* category, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeCategory(category, root, address, length);
}

uint32_t IFieldWrapper::getNodePrmNumFast(uint32_t*, const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getNodePrmNum(uint32_t*, const char*, const char*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getNodeDirtyBitNumFast(uint32_t*, const char*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::getNodeDirtyBitNum(uint32_t*, const char*, const char*, uint32_t)
{
    return kFailed;
}

// Through the wrapper's own node query, so the size comes from where the node information comes from.
uint32_t IFieldWrapper::getNodeDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    return getNodeInfoFast(nullptr, nullptr, size, nullptr, nullptr, nullptr, depth, root, nodes);
}

// Capacity 0: it bounds only the maxIndices output, which is not asked for.
uint32_t IFieldWrapper::getNodeDataSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    return getNodeInfo(nullptr, nullptr, size, nullptr, nullptr, nullptr, 0, root, address, length);
}

uint32_t IFieldWrapper::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                        uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root,
                                        const uint32_t* nodes)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, root, nodes);
}

uint32_t IFieldWrapper::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
                                    uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root,
                                    const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getNodeInfo(category, type, dataSize, arraySize, maxIndices, depthOut, capacity, root, address,
                                  length);
}

uint32_t IFieldWrapper::getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
                                         uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmAttribFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmAttrib(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmTypeFast(type, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmType(type, root, address, length);
}

uint32_t IFieldWrapper::getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmMinFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmMin(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmMaxFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmMax(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
                                      uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmDefFast(out, root, nodes, indices, depth);
}

uint32_t IFieldWrapper::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
                                  const uint32_t* indices, uint32_t indexCount)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmDef(out, root, address, length, indices, indexCount);
}

uint32_t IFieldWrapper::getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmStepFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmStep(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNominalFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmNominal(JVariant* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNominal(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmUnitSizeFast(size, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmUnitSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmUnitSize(size, root, address, length);
}

uint32_t IFieldWrapper::getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmUnitFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmUnit(char* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmUnit(out, root, address, length);
}

uint32_t IFieldWrapper::getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmScalingFast(scaling, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmScaling(uint32_t* scaling, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmScaling(scaling, root, address, length);
}

uint32_t IFieldWrapper::getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmKindFast(kind, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmKind(kind, root, address, length);
}

uint32_t IFieldWrapper::getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
                                                 uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNameFormatSizeFast(size, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmNameFormatSize(uint32_t* size, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNameFormatSize(size, root, address, length);
}

uint32_t IFieldWrapper::getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNameFormatFast(out, root, nodes, depth);
}

uint32_t IFieldWrapper::getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length)
{
    if (!m_pFacade) return kFailed;
    return m_pFacade->getPrmNameFormat(out, root, address, length);
}

uint32_t IFieldWrapper::shareRootFast(MMS::sharedRootInfo*, const char*, const uint32_t*, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::shareRoot(MMS::sharedRootInfo*, const char*, const char*, uint32_t, const uint32_t*, uint32_t)
{
    return kFailed;
}

uint32_t IFieldWrapper::setChannelLinker(const char*, MMS::IChannelLinker*)
{
    return kFailed;
}

}  // namespace DeviceControl
