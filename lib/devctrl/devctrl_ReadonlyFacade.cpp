#include "devctrl/devctrl_ReadonlyFacade.h"

#include <new>
#include <utility>

#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_IField.h"
#include "MMS/Common/mms_IMutex.h"
#include "MMS/Common/mms_sharedRootInfo.h"
#include "PDB/Expression/ILinkFramework.h"
#include "jlib/JVariant.h"

namespace DeviceControl {

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kBadArgument = 0x80000002u;
constexpr uint32_t kNoMemory = 0x80000003u;
constexpr uint32_t kWrongState = 0x80000004u;
constexpr uint32_t kNotPermitted = 0x8000000au;
// A framework result that means "not mine, ask the field".
constexpr uint32_t kFrameworkPasses = 4;
constexpr uint32_t kNothingToSwapBack = 4;
constexpr uint32_t kMaxDepth = 5;

bool isFailure(uint32_t r) { return (r & 0x80000000u) != 0; }

bool frameworkAnswered(uint32_t r) { return !isFailure(r) && r != kFrameworkPasses; }

// Copies the values of every root of source into the root of the same name of destination. The
// source task is 0, so no dirty flag of the source is read or cleared. A root that fails counts 0.
uint32_t copyValues(MMS::IField& source, MMS::IField& destination, uint32_t eventValue, uint8_t mode)
{
    uint32_t count = 0;
    const uint32_t r = source.getRootNum(&count);
    if (isFailure(r)) return r;
    uint32_t result = 0;
    for (uint32_t i = 0; i < count; ++i) {
        char name[ReadonlyFacade::kUnitNameSize] = {};
        // A null name addresses the first root; a root whose identifier cannot be read goes by "".
        const char* root = nullptr;
        if (i > 0) {
            if (isFailure(source.getRootIdentifier(name, i))) name[0] = '\0';
            root = name;
        }
        result = source.copyPrm(root, &destination, root, mode, eventValue, 0, 0, 0, 0);
        if (isFailure(result)) result = 0;
    }
    return result;
}

// Joins every root of source into destination (definitions shared, values own), fills the values
// and subscribes the task to the copy.
uint32_t buildCopy(MMS::IField& source, MMS::IField& destination, uint32_t taskId)
{
    uint32_t count = 0;
    uint32_t r = source.getRootNum(&count);
    if (isFailure(r)) return r;
    (void)destination.startBuild();  // a copy that did not start refuses the joins below
    MMS::IMutex* const sourceLock = source.getMutex();
    for (uint32_t i = 0; i < count; ++i) {
        char name[ReadonlyFacade::kUnitNameSize] = {};
        r = source.getRootIdentifier(name, i);
        if (isFailure(r)) return r;
        MMS::sharedRootInfo info;
        r = source.shareRootFast(&info, name, nullptr, nullptr, 0);
        if (isFailure(r)) return r;
        // The description points into the source's root: keep its structure still while joining.
        if (sourceLock) (void)sourceLock->ctrlLock();
        r = destination.jointRoot(name, info, 0);
        if (sourceLock) (void)sourceLock->ctrlUnlock();
        if (isFailure(r)) return r;
    }
    (void)destination.finishBuild(1);  // the joins succeeded; a failure here shows in the copy below
    (void)copyValues(source, destination, taskId, 0);  // the copy keeps its defaults where this fails
    r = destination.subscribe(0, taskId, 1, false);
    if (isFailure(r)) return r;
    return 0;
}

}  // namespace

ReadonlyFacade::ReadonlyFacade() = default;

ReadonlyFacade::ReadonlyFacade(MMS::IField* field, uint32_t taskId) : m_pWorking(field), m_taskId(taskId) {}

ReadonlyFacade::ReadonlyFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework)
    : m_pWorking(field), m_taskId(taskId), m_pLinkFramework(framework)
{
}

ReadonlyFacade::ReadonlyFacade(MMS::IField* field, uint32_t taskId, ParameterProc::ILinkFramework* framework,
    const char* name, uint32_t length)
    : m_pWorking(field), m_taskId(taskId), m_pLinkFramework(framework)
{
    if (!name || length >= kUnitNameSize) return;
    for (uint32_t i = 0; i < length && name[i] != '\0'; ++i) m_unitName[i] = name[i];
}

ReadonlyFacade::~ReadonlyFacade()
{
    // Results do not matter here: each step is refused when there is nothing to undo.
    (void)swapAlternateField(true);
    (void)destroyAlternateField();
    if (m_subscribed) (void)unsubscribe();
}

uint32_t ReadonlyFacade::readDescName(char (&out)[kUnitNameSize], const char* root) const
{
    for (char& c : out) c = '\0';
    return m_pWorking->getDescName(out, root);
}

template <typename AskFramework, typename AskField>
uint32_t ReadonlyFacade::readThroughFramework(const char* root, AskFramework askFramework, AskField askField) const
{
    if (m_pLinkFramework) {
        char descName[kUnitNameSize];
        // A framework that fails is not the reader's problem: the field answers instead.
        if (!isFailure(readDescName(descName, root)) && frameworkAnswered(askFramework(descName))) return 0;
    }
    return askField();
}

template <typename ReadFast, typename ReadText>
uint32_t ReadonlyFacade::readTextAddress(const char* root, const char* address, uint32_t length, ReadFast readFast,
    ReadText readText) const
{
    if (!m_pLinkFramework) return readText();
    uint32_t nodes[kMaxDepth] = {};
    uint32_t depth = 0;
    if (isFailure(m_pWorking->cnvStrToFastAddr(nodes, &depth, kMaxDepth, root, address, length))) return readText();
    return readFast(static_cast<const uint32_t*>(nodes), depth);
}

// ---- Field state ----

MMS::IEventFlagTrigger* ReadonlyFacade::getEventTrigger() const
{
    return m_pWorking ? m_pWorking->getEventTrigger() : nullptr;
}

MMS::IMutex* ReadonlyFacade::getMutex() const { return m_pWorking ? m_pWorking->getMutex() : nullptr; }

// ---- Subscriptions ----

uint32_t ReadonlyFacade::subscribe(uint32_t subscribeMode, uint32_t areaCount, bool raiseAll)
{
    if (!m_pWorking) return kWrongState;
    const uint32_t r = m_pWorking->subscribe(subscribeMode, m_taskId, areaCount, raiseAll);
    if (!isFailure(r)) m_subscribed = true;
    return r;
}

uint32_t ReadonlyFacade::unsubscribe()
{
    if (!m_pWorking) return kWrongState;
    const uint32_t r = m_pWorking->unsubscribe(m_taskId);
    if (!isFailure(r)) m_subscribed = false;
    return r;
}

// ---- Alternate field ----

uint32_t ReadonlyFacade::swapAlternateField(bool backOnly)
{
    if (!m_pWorking || !m_pStandby) return kWrongState;
    if (backOnly && !m_swapped) return kNothingToSwapBack;
    std::swap(m_pWorking, m_pStandby);
    m_swapped = !m_swapped;
    return 0;
}

uint32_t ReadonlyFacade::copyToAlternateField(uint8_t mode)
{
    if (m_swapped || !m_pWorking || !m_pStandby) return kWrongState;
    return copyValues(*m_pStandby, *m_pWorking, m_taskId, mode);
}

uint32_t ReadonlyFacade::createAlternateField()
{
    // Without a field the copy would become the working field with no standby, and nothing would
    // ever delete it again.
    if (m_pStandby || !m_pWorking) return kWrongState;
    MMS::Field* copy = new (std::nothrow) MMS::Field(m_pWorking->getEventTrigger(), nullptr, nullptr, nullptr, nullptr);
    if (!copy) return kNoMemory;
    m_pStandby = m_pWorking;
    m_pWorking = copy;
    if (isFailure(buildCopy(*m_pStandby, *copy, m_taskId))) {
        (void)destroyAlternateField();  // cannot be refused: not swapped, both fields present
        return kFailed;
    }
    return 0;
}

uint32_t ReadonlyFacade::destroyAlternateField()
{
    if (m_swapped || !m_pWorking || !m_pStandby) return kWrongState;
    delete m_pWorking;
    m_pWorking = m_pStandby;
    m_pStandby = nullptr;
    return 0;
}

// ---- Writes: refused ----

uint32_t ReadonlyFacade::importDataUsingMuchMemoryFast(const void*, uint32_t, const void*, uint32_t, const char*,
    const uint32_t*, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::importDataUsingMuchMemory(const void*, uint32_t, const void*, uint32_t, const char*,
    const char*, uint32_t, const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::importDataFast(void*, uint32_t, const void*, uint32_t, const char*, const uint32_t*,
    const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::importData(void*, uint32_t, const void*, uint32_t, const char*, const char*, uint32_t,
    const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setDumpUsingMuchMemoryFast(const void*, uint32_t, const void*, uint32_t, uint8_t, uint8_t,
    uint8_t, const MMS::ISetChecker*, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setDumpFast(void*, uint32_t, const void*, uint32_t, uint8_t, uint8_t, uint8_t,
    const MMS::ISetChecker*, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrmFast(const JVariant&, const char*, const uint32_t*, const uint32_t*, uint32_t, uint8_t,
    uint8_t, uint16_t, uint8_t, const MMS::ISetChecker*, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrm(const JVariant&, const char*, const char*, uint32_t, const uint32_t*, uint32_t,
    uint8_t, uint8_t, uint16_t, uint8_t, const MMS::ISetChecker*, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrmArrayFast(const JVariantArray&, const char*, const uint32_t*, const uint32_t*,
    const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint16_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrmArray(const JVariantArray&, const char*, const char*, uint32_t, const uint32_t*,
    const uint32_t*, uint32_t, uint8_t, uint8_t, uint8_t, uint16_t, uint8_t, const MMS::ISetChecker*, uint32_t,
    uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrmAndFactorArrayFast(const JVariantArray&, const char*, const uint32_t*, const uint32_t*,
    const uint32_t*, uint32_t, const uint8_t*, uint8_t, uint8_t, uint8_t, uint16_t, uint8_t, const MMS::ISetChecker*,
    uint32_t, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setPrmAndFactorArray(const JVariantArray&, const char*, const char*, uint32_t,
    const uint32_t*, const uint32_t*, uint32_t, const uint8_t*, uint8_t, uint8_t, uint8_t, uint16_t, uint8_t,
    const MMS::ISetChecker*, uint32_t, uint32_t, const MMS::ExternalSetArg*)
{
    return kNotPermitted;
}

uint32_t ReadonlyFacade::setDefaultPrms(const char*, uint8_t, uint8_t)
{
    return kNotPermitted;
}

// ---- Reads through the link framework ----

uint32_t ReadonlyFacade::getPrmFast(JVariant* value, uint8_t* state, const char* root, const uint32_t* nodes,
    const uint32_t* indexes, uint32_t depth, uint8_t option)
{
    if (!m_pWorking) return kWrongState;
    return readThroughFramework(
        root,
        [&](const char* descName) {
            return m_pLinkFramework->getLinkedPrm(value, state, m_unitName, descName, root, nodes, indexes, depth,
                                                  option, m_taskId);
        },
        [&] { return m_pWorking->getPrmFast(value, state, root, nodes, indexes, depth, option, m_taskId); });
}

uint32_t ReadonlyFacade::getPrm(JVariant* value, uint8_t* state, const char* root, const char* address,
    uint32_t addressLength, const uint32_t* indexes, uint32_t indexCount, uint8_t option)
{
    if (!m_pWorking) return kWrongState;
    return readTextAddress(
        root, address, addressLength,
        [&](const uint32_t* nodes, uint32_t depth) {
            // The converted address is read with the caller's indexes, one per level.
            if (indexCount < depth) return kBadArgument;
            return getPrmFast(value, state, root, nodes, indexes, depth, option);
        },
        [&] {
            return m_pWorking->getPrm(value, state, root, address, addressLength, indexes, indexCount, option,
                                      m_taskId);
        });
}

uint32_t ReadonlyFacade::getPrmMinFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return readThroughFramework(
        root,
        [&](const char* descName) {
            return m_pLinkFramework->getLinkedPrmMin(out, m_unitName, descName, root, nodes, depth);
        },
        [&] { return m_pWorking->getPrmMinFast(out, root, nodes, depth); });
}

uint32_t ReadonlyFacade::getPrmMin(JVariant* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return readTextAddress(
        root, address, length,
        [&](const uint32_t* nodes, uint32_t depth) { return getPrmMinFast(out, root, nodes, depth); },
        [&] { return m_pWorking->getPrmMin(out, root, address, length); });
}

uint32_t ReadonlyFacade::getPrmMaxFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return readThroughFramework(
        root,
        [&](const char* descName) {
            return m_pLinkFramework->getLinkedPrmMax(out, m_unitName, descName, root, nodes, depth);
        },
        [&] { return m_pWorking->getPrmMaxFast(out, root, nodes, depth); });
}

uint32_t ReadonlyFacade::getPrmMax(JVariant* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return readTextAddress(
        root, address, length,
        [&](const uint32_t* nodes, uint32_t depth) { return getPrmMaxFast(out, root, nodes, depth); },
        [&] { return m_pWorking->getPrmMax(out, root, address, length); });
}

// ---- Forwarded to the working field ----

uint32_t ReadonlyFacade::getStatus(uint8_t* status)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getStatus(status);
}

uint32_t ReadonlyFacade::getRootStatus(const char* root, uint8_t* status)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getRootStatus(root, status);
}

uint32_t ReadonlyFacade::getBuildCount() const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getBuildCount();
}

uint32_t ReadonlyFacade::getRootAdditionFlag(const char* root, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getRootAdditionFlag(root, m_taskId, clear);
}

uint32_t ReadonlyFacade::attachOrderedNotify(const char* root, OrderedNotify::ISetOrderedNotify* writer)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->attachOrderedNotify(root, static_cast<void*>(writer));
}

uint32_t ReadonlyFacade::cnvStrToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity, const char* root,
    const char* text, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvStrToFastAddr(nodesOut, depthOut, capacity, root, text, length);
}

uint32_t ReadonlyFacade::cnvFastToStrAddr(char* textOut, uint32_t size, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvFastToStrAddr(textOut, size, root, nodes, depth, 0);
}

uint32_t ReadonlyFacade::cnvScalarToFastAddr(uint32_t* nodesOut, uint32_t* depthOut, uint32_t capacity,
    const char* root, uint32_t scalar) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvScalarToFastAddr(nodesOut, depthOut, capacity, root, scalar);
}

uint32_t ReadonlyFacade::cnvFastToScalarAddr(uint32_t* scalarOut, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvFastToScalarAddr(scalarOut, root, nodes, depth);
}

uint32_t ReadonlyFacade::cnvPrmIndexToFastAddr(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, uint32_t prmIndex) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvPrmIndexToFastAddr(nodesOut, indicesOut, depthOut, capacity, root, prmIndex);
}

uint32_t ReadonlyFacade::cnvPrmIndexToStrAddr(char* textOut, uint32_t size, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, uint32_t prmIndex) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->cnvPrmIndexToStrAddr(textOut, size, indicesOut, depthOut, capacity, root, prmIndex, 0);
}

uint32_t ReadonlyFacade::exchangeSettingDirtyArea()
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exchangeSettingDirtyArea(m_taskId);
}

uint32_t ReadonlyFacade::exchangeGettingDirtyArea()
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exchangeGettingDirtyArea(m_taskId);
}

uint32_t ReadonlyFacade::checkPrmFast(JVariant* value, const char* root, const uint32_t* nodes, uint32_t depth,
    uint16_t checkMode)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->checkPrmFast(value, root, nodes, depth, checkMode);
}

uint32_t ReadonlyFacade::checkPrm(JVariant* value, const char* root, const char* address, uint32_t length,
    uint16_t checkMode)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->checkPrm(value, root, address, length, checkMode);
}

uint32_t ReadonlyFacade::isChangedFast(uint8_t* out, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->isChangedFast(out, root, nodes, indices, depth, clear, m_taskId);
}

uint32_t ReadonlyFacade::isChanged(uint8_t* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->isChanged(out, root, address, length, indices, indexCount, clear, m_taskId);
}

uint32_t ReadonlyFacade::isImportedFast(uint8_t* out, const char* root, const uint32_t* nodes,
    const uint32_t* indices, uint32_t depth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->isImportedFast(out, root, nodes, indices, depth, clear, m_taskId);
}

uint32_t ReadonlyFacade::isImported(uint8_t* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->isImported(out, root, address, length, indices, indexCount, clear, m_taskId);
}

uint32_t ReadonlyFacade::getRootNum(uint32_t* count) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getRootNum(count);
}

uint32_t ReadonlyFacade::getRootIdentifier(char* out, uint32_t position) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getRootIdentifier(out, position);
}

uint32_t ReadonlyFacade::getDescName(char* out, const char* root)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getDescName(out, root);
}

uint32_t ReadonlyFacade::getDepth(uint32_t* depth, const char* root) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getDepth(depth, root);
}

uint32_t ReadonlyFacade::getPrmNum(uint32_t* count, const char* root) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNum(count, root);
}

uint32_t ReadonlyFacade::getStrAddrSize(uint32_t* size, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getStrAddrSize(size, root, nodes, depth, 0);
}

uint32_t ReadonlyFacade::getTransactionDirty(uint8_t* flag, const char* root) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getTransactionDirty(flag, root, m_taskId);
}

uint32_t ReadonlyFacade::getExportDataSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
    uint32_t depth, uint8_t wholeLastLevel) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getExportDataSizeFast(size, root, nodes, depth, wholeLastLevel);
}

uint32_t ReadonlyFacade::getExportArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
    const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getExportArraySizeFast(size, root, nodes, first, last, depth, rangeMode);
}

uint32_t ReadonlyFacade::getExportDataSize(uint32_t* size, const char* root, const char* address, uint32_t length,
    uint8_t wholeLastLevel) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getExportDataSize(size, root, address, length, wholeLastLevel);
}

uint32_t ReadonlyFacade::getExportArraySize(uint32_t* size, const char* root, const char* address, uint32_t length,
    const uint32_t* first, const uint32_t* last, uint32_t indexCount, uint8_t rangeMode) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getExportArraySize(size, root, address, length, first, last, indexCount, rangeMode);
}

uint32_t ReadonlyFacade::exportDataFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t wholeLastLevel, uint8_t clearDirty,
    uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exportDataFast(buffer, written, bufferSize, root, nodes, indices, depth, wholeLastLevel,
        clearDirty, byteOrder, m_taskId, clearImport, factorsOut);
}

uint32_t ReadonlyFacade::exportArrayFast(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth, uint8_t rangeMode,
    uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut, uint32_t factorCount)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exportArrayFast(buffer, written, bufferSize, root, nodes, first, last, depth, rangeMode,
        clearDirty, byteOrder, m_taskId, clearImport, factorsOut, factorCount);
}

uint32_t ReadonlyFacade::exportData(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount, uint8_t wholeLastLevel,
    uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exportData(buffer, written, bufferSize, root, address, length, indices, indexCount,
        wholeLastLevel, clearDirty, byteOrder, m_taskId, clearImport, factorsOut);
}

uint32_t ReadonlyFacade::exportArray(void* buffer, uint32_t* written, uint32_t bufferSize, const char* root,
    const char* address, uint32_t length, const uint32_t* first, const uint32_t* last, uint32_t indexCount,
    uint8_t rangeMode, uint8_t clearDirty, uint8_t byteOrder, uint8_t clearImport, uint8_t* factorsOut,
    uint32_t factorCount)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->exportArray(buffer, written, bufferSize, root, address, length, first, last, indexCount,
        rangeMode, clearDirty, byteOrder, m_taskId, clearImport, factorsOut, factorCount);
}

uint32_t ReadonlyFacade::getDumpSizeFast(uint32_t* size) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getDumpSizeFast(size);
}

uint32_t ReadonlyFacade::getDumpFast(void* buffer, uint32_t* written, uint32_t bufferSize, uint8_t clearDirty,
    uint8_t byteOrder)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getDumpFast(buffer, written, bufferSize, clearDirty, byteOrder, m_taskId);
}

uint32_t ReadonlyFacade::getPrmArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
    const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last, uint32_t depth,
    uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmArrayFast(values, factors, expectedCount, root, nodes, first, last, depth, clear,
        m_taskId);
}

uint32_t ReadonlyFacade::getPrmArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
    const char* root, const char* address, uint32_t length, const uint32_t* first, const uint32_t* last,
    uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmArray(values, factors, expectedCount, root, address, length, first, last, indexCount,
        clear, m_taskId);
}

uint32_t ReadonlyFacade::getPrmAndDirtyArrayFast(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
    uint8_t* dirty, const char* root, const uint32_t* nodes, const uint32_t* first, const uint32_t* last,
    uint32_t depth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmAndDirtyArrayFast(values, factors, expectedCount, dirty, root, nodes, first, last, depth,
        clear, m_taskId);
}

uint32_t ReadonlyFacade::getPrmAndDirtyArray(JVariantArray* values, uint8_t* factors, uint32_t expectedCount,
    uint8_t* dirty, const char* root, const char* address, uint32_t length, const uint32_t* first,
    const uint32_t* last, uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmAndDirtyArray(values, factors, expectedCount, dirty, root, address, length, first, last,
        indexCount, clear, m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmAddrFast(JVariant* value, uint8_t* factor, uint32_t* nodesOut,
    uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* startNodes,
    const uint32_t* startIndices, uint32_t startDepth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmAddrFast(value, factor, nodesOut, indicesOut, depthOut, capacity, root,
        startNodes, startIndices, startDepth, clear, m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
    uint32_t startDepth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes, startIndices,
        startDepth, clear, m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmAddr(JVariant* value, uint8_t* factor, char* textOut, uint32_t textSize,
    uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress,
    uint32_t length, const uint32_t* startIndices, uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmAddr(value, factor, textOut, textSize, indicesOut, depthOut, capacity, root,
        startAddress, length, startIndices, indexCount, clear, m_taskId, 0);
}

uint32_t ReadonlyFacade::getChangedPrmAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const char* startAddress, uint32_t length, const uint32_t* startIndices,
    uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmAddr(textOut, textSize, indicesOut, depthOut, capacity, root, startAddress,
        length, startIndices, indexCount, clear, m_taskId, 0);
}

uint32_t ReadonlyFacade::getChangedPrmChFast(JVariant* value, uint8_t* factor, uint32_t* indicesOut,
    uint32_t* depthOut, uint32_t capacity, const char* root, const uint32_t* nodes, const uint32_t* indices,
    uint32_t depth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmChFast(value, factor, indicesOut, depthOut, capacity, root, nodes, indices, depth,
        clear, m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmChFast(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
    const char* root, const uint32_t* nodes, const uint32_t* indices, uint32_t depth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmChFast(indicesOut, depthOut, capacity, root, nodes, indices, depth, clear,
        m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmCh(JVariant* value, uint8_t* factor, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const char* address, uint32_t length, const uint32_t* indices,
    uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmCh(value, factor, indicesOut, depthOut, capacity, root, address, length, indices,
        indexCount, clear, m_taskId);
}

uint32_t ReadonlyFacade::getChangedPrmCh(uint32_t* indicesOut, uint32_t* depthOut, uint32_t capacity,
    const char* root, const char* address, uint32_t length, const uint32_t* indices, uint32_t indexCount,
    uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChangedPrmCh(indicesOut, depthOut, capacity, root, address, length, indices, indexCount,
        clear, m_taskId);
}

uint32_t ReadonlyFacade::getImportedCollectionAddrFast(uint32_t* nodesOut, uint32_t* indicesOut, uint32_t* depthOut,
    uint32_t capacity, const char* root, const uint32_t* startNodes, const uint32_t* startIndices,
    uint32_t startDepth, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getImportedCollectionAddrFast(nodesOut, indicesOut, depthOut, capacity, root, startNodes,
        startIndices, startDepth, clear, m_taskId);
}

uint32_t ReadonlyFacade::getImportedCollectionAddr(char* textOut, uint32_t textSize, uint32_t* indicesOut,
    uint32_t* depthOut, uint32_t capacity, const char* root, const char* startAddress, uint32_t length,
    const uint32_t* startIndices, uint32_t indexCount, uint8_t clear)
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getImportedCollectionAddr(textOut, textSize, indicesOut, depthOut, capacity, root,
        startAddress, length, startIndices, indexCount, clear, m_taskId, 0);
}

uint32_t ReadonlyFacade::getNumOfChildNodesFast(uint32_t* count, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNumOfChildNodesFast(count, root, nodes, depth);
}

uint32_t ReadonlyFacade::getNumOfChildNodes(uint32_t* count, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNumOfChildNodes(count, root, address, length);
}

uint32_t ReadonlyFacade::getNodeNameFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeNameFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getChildNodeName(char* out, const char* root, const char* address, uint32_t length,
    uint32_t childPosition) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getChildNodeName(out, root, address, length, childPosition);
}

uint32_t ReadonlyFacade::getNodeArraySizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeArraySizeFast(size, root, nodes, depth);
}

uint32_t ReadonlyFacade::getNodeArraySize(uint32_t* size, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeArraySize(size, root, address, length);
}

uint32_t ReadonlyFacade::getNodeCategoryFast(uint8_t* category, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeCategoryFast(category, root, nodes, depth);
}

uint32_t ReadonlyFacade::getNodeCategory(uint8_t* category, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeCategory(category, root, address, length);
}

uint32_t ReadonlyFacade::getNodeInfoFast(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
    uint32_t* maxIndices, uint32_t* depthOut, uint32_t depth, const char* root, const uint32_t* nodes) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeInfoFast(category, type, dataSize, arraySize, maxIndices, depthOut, depth, root, nodes);
}

uint32_t ReadonlyFacade::getNodeInfo(uint8_t* category, uint32_t* type, uint32_t* dataSize, uint32_t* arraySize,
    uint32_t* maxIndices, uint32_t* depthOut, uint32_t capacity, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getNodeInfo(category, type, dataSize, arraySize, maxIndices, depthOut, capacity, root, address,
        length);
}

uint32_t ReadonlyFacade::getPrmAttribFast(MMS::T_PRM_ATTRIB* out, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmAttribFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmAttrib(MMS::T_PRM_ATTRIB* out, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmAttrib(out, root, address, length);
}

uint32_t ReadonlyFacade::getPrmTypeFast(uint32_t* type, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmTypeFast(type, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmType(uint32_t* type, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmType(type, root, address, length);
}

uint32_t ReadonlyFacade::getPrmDefFast(JVariant* out, const char* root, const uint32_t* nodes,
    const uint32_t* indices, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmDefFast(out, root, nodes, indices, depth);
}

uint32_t ReadonlyFacade::getPrmDef(JVariant* out, const char* root, const char* address, uint32_t length,
    const uint32_t* indices, uint32_t indexCount) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmDef(out, root, address, length, indices, indexCount);
}

uint32_t ReadonlyFacade::getPrmStepFast(JVariant* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmStepFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmStep(JVariant* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmStep(out, root, address, length);
}

uint32_t ReadonlyFacade::getPrmNominalFast(JVariant* out, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNominalFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmNominal(JVariant* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNominal(out, root, address, length);
}

uint32_t ReadonlyFacade::getPrmUnitSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmUnitSizeFast(size, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmUnitSize(uint32_t* size, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmUnitSize(size, root, address, length);
}

uint32_t ReadonlyFacade::getPrmUnitFast(char* out, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmUnitFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmUnit(char* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmUnit(out, root, address, length);
}

uint32_t ReadonlyFacade::getPrmScalingFast(uint32_t* scaling, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmScalingFast(scaling, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmScaling(uint32_t* scaling, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmScaling(scaling, root, address, length);
}

uint32_t ReadonlyFacade::getPrmKindFast(uint32_t* kind, const char* root, const uint32_t* nodes, uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmKindFast(kind, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmKind(uint32_t* kind, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmKind(kind, root, address, length);
}

uint32_t ReadonlyFacade::getPrmNameFormatSizeFast(uint32_t* size, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNameFormatSizeFast(size, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmNameFormatSize(uint32_t* size, const char* root, const char* address,
    uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNameFormatSize(size, root, address, length);
}

uint32_t ReadonlyFacade::getPrmNameFormatFast(char* out, const char* root, const uint32_t* nodes,
    uint32_t depth) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNameFormatFast(out, root, nodes, depth);
}

uint32_t ReadonlyFacade::getPrmNameFormat(char* out, const char* root, const char* address, uint32_t length) const
{
    if (!m_pWorking) return kWrongState;
    return m_pWorking->getPrmNameFormat(out, root, address, length);
}

}  // namespace DeviceControl
