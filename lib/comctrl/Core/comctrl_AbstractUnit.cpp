#include "comctrl_AbstractUnit.h"

#include <cstring>
#include <new>

#include "comctrl_DirectorySynchronizer.h"
#include "comctrl_ESP.h"
#include "comctrl_EventMessenger.h"
#include "comctrl_FileTransferer.h"
#include "comctrl_IUnitConnectObserver.h"
#include "comctrl_MmsSynchronizer.h"
#include "comctrl_PdbSynchronizer.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/jlib_printf.h"
#include "oswrap/oswrap_time.h"

namespace ComControl {

namespace {

// Directory indexes print as two hexadecimal digits in their transferers' port names.
constexpr uint32_t kMaxDirectoryIndex = 0xFF;

// count default-constructed components, or none for count 0; false when the heap refuses.
template <typename T>
bool makeArray(std::unique_ptr<T[]>& array, uint32_t count)
{
    array.reset();
    if (count == 0) return true;
    array.reset(new (std::nothrow) T[count]);
    return array != nullptr;
}

template <typename T>
bool holds(const std::unique_ptr<T[]>& array, uint32_t count, const UnitComponent& component)
{
    for (uint32_t i = 0; i < count; ++i) {
        if (static_cast<const UnitComponent*>(&array[i]) == &component) return true;
    }
    return false;
}

// Keeps the first failure of a walk that goes on.
void keepFirstFailure(JLIB::JResult& kept, JLIB::JResult r)
{
    if (JLIB::isSuccess(kept) && JLIB::isFailure(r)) kept = r;
}

}  // namespace

AbstractUnit::AbstractUnit() = default;
AbstractUnit::~AbstractUnit() = default;

JLIB::JResult AbstractUnit::fromUnitComponentErr(JLIB::JResult componentResult)
{
    if (JLIB::isSuccess(componentResult)) return JLIB::kOk;
    switch (componentResult & 0x7FFFFFFFu) {
    case 1: return 0x80000002u;
    case 2: return 0x80000005u;
    case 3: return 0x80000008u;
    case 5: return 0x80000007u;
    case 6: return 0x80000009u;
    default: return 0x8000000Fu;
    }
}

JLIB::JResult AbstractUnit::fromVComErr(JLIB::JResult socketResult)
{
    if (JLIB::isSuccess(socketResult)) return JLIB::kOk;
    switch (socketResult & 0x7FFFFFFFu) {
    case 3:
    case 4: return 0x80000008u;
    case 5: return 0x80000006u;
    case 0x80: return 0x80000002u;
    case 0x81: return 0x80000007u;
    case 0x82: return 0x80000004u;
    case 0x83: return 0x80000005u;
    default: return 0x8000000Fu;
    }
}

void AbstractUnit::notify(UnitComponent& component)
{
    if (isSynchronizer(component)) {
        (void)dbgPrintf("--------------------------------%s\n", component.portname());  // a trace only
    } else if (!isDirectory(component)) {
        return;
    }
    if (m_pConnectObserver) m_pConnectObserver->unitStateChanged(m_unitId);
}

bool AbstractUnit::isSynchronizer(const UnitComponent& component) const
{
    return holds(m_pMms, m_pMms ? m_mmsCount : 0, component) || holds(m_pPdb, m_pPdb ? m_pdbCount : 0, component);
}

bool AbstractUnit::isDirectory(const UnitComponent& component) const
{
    return holds(m_pDirectories, m_pDirectories ? m_directoryCount : 0, component);
}

JLIB::JResult AbstractUnit::selectDatabse(uint32_t kind)
{
    if (m_initialized) return kNotInitialized;
    if (kind > kValidPdb) return 1;
    m_validDatabase = static_cast<VALID_DATABASE>(kind);
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::initialize(int32_t unitId, uint32_t eventCount, uint32_t syncCount, uint32_t fileCount,
                                       uint32_t directoryCount, IUnitConnectObserver* observer, uint32_t bufferSize)
{
    if (m_initialized) return kAlreadyInitialized;
    if (unitId < 0) return kBadArgument;
    const uint64_t total = uint64_t{eventCount} + syncCount + fileCount + 2 * uint64_t{directoryCount};
    if (total > UINT32_MAX) return kBadArgument;

    m_unitId = unitId;
    m_eventCount = eventCount;
    m_mmsCount = m_validDatabase == kValidMms ? syncCount : 0;
    m_pdbCount = m_validDatabase == kValidPdb ? syncCount : 0;
    m_fileCount = fileCount;
    m_directoryCount = directoryCount;
    m_totalCount = static_cast<uint32_t>(total);

    m_pEsp.reset(new (std::nothrow) ESP(m_totalCount, bufferSize));
    if (!m_pEsp || m_pEsp->getPortCount() != m_totalCount) return kNoMemory;
    if (!makeArray(m_pEvents, m_eventCount) || !makeArray(m_pMms, m_mmsCount) || !makeArray(m_pPdb, m_pdbCount) ||
        !makeArray(m_pFiles, m_fileCount) || !makeArray(m_pDirectories, m_directoryCount)) {
        return kNoMemory;
    }

    const bool notServerUnit = !isServerUnit();
    // The first four kinds only store their arguments: always 0.
    for (uint32_t i = 0; i < m_eventCount; ++i) (void)m_pEvents[i].initialize(notServerUnit, this);
    for (uint32_t i = 0; i < m_mmsCount; ++i) (void)m_pMms[i].initialize(notServerUnit, this);
    for (uint32_t i = 0; i < m_pdbCount; ++i) (void)m_pPdb[i].initialize(notServerUnit, this);
    for (uint32_t i = 0; i < m_fileCount; ++i) (void)m_pFiles[i].initialize(notServerUnit, this, m_unitId);
    for (uint32_t i = 0; i < m_directoryCount; ++i) {
        // One file transferer each: the port order reserves one port for it.
        if (JLIB::isFailure(m_pDirectories[i].initialize(notServerUnit, this, m_unitId, 1))) return kNoMemory;
    }
    m_pConnectObserver = observer;
    m_initialized = true;
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::notifyPrmChanged()
{
    if (!m_initialized) return kNotInitialized;
    JLIB::JResult first = JLIB::kOk;
    for (uint32_t i = 0; i < m_mmsCount; ++i) {
        // A tree port never registered has no tree whose changes it could send.
        if (m_pMms[i].getFacade()) keepFirstFailure(first, m_pMms[i].notify());
    }
    for (uint32_t i = 0; i < m_pdbCount; ++i) keepFirstFailure(first, m_pPdb[i].notify());
    return fromUnitComponentErr(first);
}

JLIB::JResult AbstractUnit::periodicHandle(uint32_t elapsedMs)
{
    if (!m_initialized) return kNotInitialized;
    JLIB::JResult first = JLIB::kOk;
    for (uint32_t i = 0; i < m_eventCount; ++i) keepFirstFailure(first, m_pEvents[i].periodicHandle(elapsedMs));
    for (uint32_t i = 0; i < m_fileCount; ++i) keepFirstFailure(first, m_pFiles[i].periodicHandle(elapsedMs));
    for (uint32_t i = 0; i < m_directoryCount; ++i) {
        // A directory never registered is a port without a folder: it has nothing to tick.
        if (m_pDirectories[i].isInitialized()) keepFirstFailure(first, m_pDirectories[i].periodicHandle(elapsedMs));
    }
    // A change batch that found no room goes on here; the association has no time-out.
    for (uint32_t i = 0; i < m_mmsCount; ++i) (void)m_pMms[i].retrySend();
    for (uint32_t i = 0; i < m_pdbCount; ++i) (void)m_pPdb[i].retrySend();
    return fromUnitComponentErr(first);
}

JLIB::JResult AbstractUnit::registMms(uint32_t index, const char* name, DeviceControl::IFacade* facade,
                                      const void* filter, uint32_t filterSize, uint32_t factor)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount) return kBadArgument;
    return fromUnitComponentErr(m_pMms[index].setFacade(name, facade, filter, filterSize, factor));
}

DeviceControl::IFacade* AbstractUnit::getMms(uint32_t index)
{
    if (!m_initialized || index >= m_mmsCount) return nullptr;
    return m_pMms[index].getFacade();
}

JLIB::JResult AbstractUnit::synchronizeMms(uint32_t index, uint32_t direction)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount || (direction != 1 && direction != 2)) return kBadArgument;
    const bool fromTarget = (direction == 2) == isServerUnit();
    return fromUnitComponentErr(m_pMms[index].synchronize(fromTarget));
}

JLIB::JResult AbstractUnit::synchronizeMmsWithoutDump(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount) return kBadArgument;
    return fromUnitComponentErr(m_pMms[index].synchronizeWithoutDump());
}

JLIB::JResult AbstractUnit::asynchronizeMms(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount) return kBadArgument;
    return fromUnitComponentErr(m_pMms[index].asynchronize());
}

JLIB::JResult AbstractUnit::analyzeMms(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount) return kBadArgument;
    return fromUnitComponentErr(m_pMms[index].analyze());
}

JLIB::JResult AbstractUnit::transferAllParamMms(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount) return kBadArgument;
    return fromUnitComponentErr(m_pMms[index].transferAllParam());
}

bool AbstractUnit::isSynchronizedMms(uint32_t index)
{
    return m_initialized && index < m_mmsCount && m_pMms[index].syncStatus() == kPdbSyncAssociated;
}

JLIB::JResult AbstractUnit::mmsSyncStatus(uint32_t index, uint32_t* status)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_mmsCount || !status) return kBadArgument;
    *status = m_pMms[index].syncStatus();
    return JLIB::kOk;
}

bool AbstractUnit::isMmsMatched(uint32_t index)
{
    return m_initialized && index < m_mmsCount && m_pMms[index].isTargetMatched();
}

JLIB::JResult AbstractUnit::registPdb(uint32_t index, uint32_t subscriberId, uint32_t factor)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_pdbCount) return kBadArgument;
    return fromUnitComponentErr(m_pPdb[index].setFacade(index, subscriberId, factor));
}

JLIB::JResult AbstractUnit::synchronizePdb(uint32_t index, uint32_t direction)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_pdbCount || (direction != 1 && direction != 2)) return kBadArgument;
    JLIB_RETURN_IF_FAILED(fromUnitComponentErr(m_pPdb[index].extendBufferSize()));
    // Direction 2 lets the device's data win: the connecting unit takes it from its target.
    const bool fromTarget = (direction == 2) == isServerUnit();
    return fromUnitComponentErr(m_pPdb[index].synchronize(fromTarget));
}

JLIB::JResult AbstractUnit::asynchronizePdb(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_pdbCount) return kBadArgument;
    return fromUnitComponentErr(m_pPdb[index].asynchronize());
}

JLIB::JResult AbstractUnit::pdbSyncStatus(uint32_t index, uint32_t* status)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_pdbCount || !status) return kBadArgument;
    *status = m_pPdb[index].syncStatus();
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::extendBufferSize(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_pdbCount) return kBadArgument;
    return fromUnitComponentErr(m_pPdb[index].extendBufferSize());
}

JLIB::JResult AbstractUnit::checkName(uint32_t index, uint32_t count, char kind, const char* name,
                                      char (&fullName)[5]) const
{
    if (!m_initialized) return kNotInitialized;
    if (index >= count || !name || strnlen(name, kMaxPortNameLength + 1) > kMaxPortNameLength) return kBadArgument;
    std::memset(fullName, 0, sizeof(fullName));
    fullName[0] = kind;
    std::strncpy(fullName + 1, name, kMaxPortNameLength);
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::setEventPortName(uint32_t index, const char* name)
{
    char full[5];
    JLIB_RETURN_IF_FAILED(checkName(index, m_eventCount, 'E', name, full));
    return m_pEvents[index].setPortName(full);
}

JLIB::JResult AbstractUnit::setMmsPortName(uint32_t index, const char* name)
{
    char full[5];
    JLIB_RETURN_IF_FAILED(checkName(index, m_mmsCount, 'M', name, full));
    return m_pMms[index].setPortName(full);
}

JLIB::JResult AbstractUnit::setPdbPortName(uint32_t index, const char* name)
{
    char full[5];
    JLIB_RETURN_IF_FAILED(checkName(index, m_pdbCount, 'M', name, full));
    return m_pPdb[index].setPortName(full);
}

JLIB::JResult AbstractUnit::setFilePortName(uint32_t index, const char* name)
{
    char full[5];
    JLIB_RETURN_IF_FAILED(checkName(index, m_fileCount, 'F', name, full));
    return m_pFiles[index].setPortName(full);
}

JLIB::JResult AbstractUnit::setDirectoryPortName(uint32_t index, const char* name)
{
    char full[5];
    JLIB_RETURN_IF_FAILED(checkName(index, m_directoryCount, 'D', name, full));
    if (index > kMaxDirectoryIndex) return kBadArgument;
    DirectorySynchronizer& directory = m_pDirectories[index];
    JLIB_RETURN_IF_FAILED(directory.setPortName(full));
    for (uint32_t t = 0; t < directory.transfererCount(); ++t) {
        char transfererName[8];
        (void)jlib_snprintf(transfererName, sizeof(transfererName), nullptr, "d%02X%01X", static_cast<unsigned>(index),
                            static_cast<unsigned>(t));  // 4 characters: index below 256, t below 16
        JLIB_RETURN_IF_FAILED(directory.transferer(t)->setPortName(transfererName));
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::registEventExecutor(uint32_t index, const char* executorName, IEventExecutor& executor,
                                                uint32_t userValue)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_eventCount) return kBadArgument;
    return fromUnitComponentErr(m_pEvents[index].setExecutor(executorName, executor, userValue));
}

IEventExecutor* AbstractUnit::getEventExecutor(uint32_t index)
{
    if (!m_initialized || index >= m_eventCount) return nullptr;
    return m_pEvents[index].getExecutor();
}

JLIB::JResult AbstractUnit::sendEvent(uint32_t index, uint32_t id, const char* name, const char* text)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_eventCount) return kBadArgument;
    return fromUnitComponentErr(m_pEvents[index].send(id, name, text));
}

JLIB::JResult AbstractUnit::registFileAccessor(uint32_t index, const char* accessorName, IFileAccessor* accessor,
                                               uint32_t userValue)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount) return kBadArgument;
    return fromUnitComponentErr(m_pFiles[index].setAccessor(accessorName, accessor, userValue));
}

JLIB::JResult AbstractUnit::registFileMonitor(uint32_t index, IProgressMonitor* monitor)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount) return kBadArgument;
    return fromUnitComponentErr(m_pFiles[index].setProgressMonitor(monitor));
}

JLIB::JResult AbstractUnit::startFileTransfer(uint32_t index, bool fromPeer, const char* fileName)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount) return kBadArgument;
    return fromUnitComponentErr(m_pFiles[index].transfer(fromPeer, fileName));
}

JLIB::JResult AbstractUnit::getFileStatus(uint32_t index, uint32_t* status)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount || !status) return kBadArgument;
    *status = m_pFiles[index].getStatus();
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::getFileProgress(uint32_t index, bool* receiving, uint32_t* transferred,
                                            uint32_t* fileSize)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount) return kBadArgument;
    return m_pFiles[index].getProgress(receiving, transferred, fileSize);
}

JLIB::JResult AbstractUnit::cancelFileTransfer(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_fileCount) return kBadArgument;
    return fromUnitComponentErr(m_pFiles[index].cancel());
}

JLIB::JResult AbstractUnit::registDirectory(uint32_t index, const char* directoryName, const char* path,
                                            uint32_t maxFiles, IFileAccessor& accessor, uint32_t userValue,
                                            const T_DIRECTORY_INITIALIZE_OPTION* option)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount) return kBadArgument;
    const T_DIRECTORY_INITIALIZE_OPTION none;
    const T_DIRECTORY_INITIALIZE_OPTION& o = option ? *option : none;
    DirectorySynchronizer& directory = m_pDirectories[index];
    JLIB_RETURN_IF_FAILED(fromUnitComponentErr(
        directory.registDirectory(directoryName, path, maxFiles, userValue, o.mapStrategy, o.strategy)));
    for (uint32_t t = 0; t < directory.transfererCount(); ++t) {
        JLIB_RETURN_IF_FAILED(
            fromUnitComponentErr(directory.transferer(t)->setAccessor(directoryName, &accessor, userValue)));
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::startVDirSync(uint32_t index, uint32_t direction)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount || (direction != 1 && direction != 2)) return kBadArgument;
    // Direction 2 makes the server's folder the source: the connecting unit takes it from its peer.
    const bool fromPeer = (direction == 2) == isServerUnit();
    return fromUnitComponentErr(m_pDirectories[index].start(fromPeer));
}

JLIB::JResult AbstractUnit::getVDirSyncStatus(DirSyncStatus* status, uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount || !status) return kBadArgument;
    *status = m_pDirectories[index].getStatus();
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::getVDirSyncRequestedFileNum(uint32_t* listing, uint32_t* changes, uint32_t index)
{
    if (listing) *listing = 0;
    if (changes) *changes = 0;
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount || !listing || !changes) return kBadArgument;
    *listing = m_pDirectories[index].getRequestedFileNum(true);
    *changes = m_pDirectories[index].getRequestedFileNum(false);
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::getVDirSyncFileProgress(T_PROGRESS_VALUE* progress, uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount || !progress) return kBadArgument;
    bool receiving = false;
    JLIB_RETURN_IF_FAILED(fromUnitComponentErr(m_pDirectories[index].getTransferringFileInfo(
        &progress->fileName, &receiving, &progress->transferred, &progress->fileSize)));
    // The connecting side receives what flows from the server (2); the listening side the reverse.
    progress->direction = receiving == isServerUnit() ? 2 : 1;
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::stopVDirSync(uint32_t index)
{
    if (!m_initialized) return kNotInitialized;
    if (index >= m_directoryCount) return kBadArgument;
    return fromUnitComponentErr(m_pDirectories[index].stop());
}

DirectorySynchronizer* AbstractUnit::directory(uint32_t index)
{
    return m_initialized && index < m_directoryCount ? &m_pDirectories[index] : nullptr;
}

UnitComponent* AbstractUnit::component(uint32_t portIndex)
{
    if (!m_initialized) return nullptr;
    uint32_t i = portIndex;
    if (i < m_eventCount) return &m_pEvents[i];
    i -= m_eventCount;
    if (i < m_mmsCount) return &m_pMms[i];
    if (i < m_pdbCount) return &m_pPdb[i];
    i -= m_mmsCount + m_pdbCount;
    if (i < m_fileCount) return &m_pFiles[i];
    i -= m_fileCount;
    if (i / 2 < m_directoryCount) {
        DirectorySynchronizer& directory = m_pDirectories[i / 2];
        return i % 2 == 0 ? static_cast<UnitComponent*>(&directory) : directory.transferer(0);
    }
    return nullptr;
}

JLIB::JResult AbstractUnit::connectedAction()
{
    for (uint32_t i = 0; i < m_totalCount; ++i) {
        UnitComponent* c = component(i);
        if (!c) continue;
        (void)c->setPort(m_pEsp.get());  // always 0
        if (JLIB::isFailure(m_pEsp->registerVPortObserver(i, c->portname(), c)) ||
            JLIB::isFailure(m_pEsp->openPort(i))) {
            return kPortFailed;
        }
    }
    return JLIB::kOk;
}

JLIB::JResult AbstractUnit::disconnectedAction()
{
    JLIB::JResult r = JLIB::kOk;
    for (uint32_t i = 0; i < m_totalCount; ++i) {
        UnitComponent* c = component(i);
        if (!c) continue;
        if (JLIB::isFailure(m_pEsp->closePort(i)) ||
            JLIB::isFailure(m_pEsp->registerVPortObserver(i, c->portname(), nullptr))) {
            r = kPortFailed;
            break;
        }
        (void)c->setPort(nullptr);  // always 0
    }
    (void)m_pEsp->setCorePort(nullptr);  // always 0
    return r;
}

void AbstractUnit::clearTimes()
{
    m_lastReceivedValid = false;
    m_lastReceivedTick = 0;
    m_lastSentValid = false;
    m_lastSentTick = 0;
}

void AbstractUnit::markReceived()
{
    m_lastReceivedValid = true;
    m_lastReceivedTick = get1msCount();
}

void AbstractUnit::markSent()
{
    m_lastSentValid = true;
    m_lastSentTick = get1msCount();
}

void AbstractUnit::clearDestination() { (void)m_destination.initialize(); }  // always 0

uint32_t AbstractUnit::lastReceivedTime() const { return m_lastReceivedValid ? m_lastReceivedTick : get1msCount(); }

uint32_t AbstractUnit::lastSentTime() const { return m_lastSentValid ? m_lastSentTick : get1msCount(); }

}  // namespace ComControl
