// The synchronisation sequence of the "Sync" thread: the steps entered with statuses 5 to 10,
// the results that move it on, and the two ways back (abort and offline). All on the own task.
#include <cstring>
#include <string>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/AbstractMessage.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "common/KavoriPDBConfig.h"
#include "common/Lpc/LpcSendMessage.h"
#include "editor/KavoriClientSyncThread.h"
#include "editor/KavoriEventExecutor.h"
#include "editor/KavoriEventMaker.h"
#include "ossupport/ossupport_Network.h"

namespace KAVORI {

namespace {

constexpr uint32_t kResultFinished = 0;
constexpr uint32_t kResultExecuting = 1;
constexpr uint32_t kResultAborted = 2;
constexpr uint32_t kResultFailed = 0x80000000u;
constexpr uint32_t kResultUnmatchedConfig = 0x8000000Bu;
constexpr uint32_t kResultCapacityOver = 0x8000000Cu;
constexpr uint32_t kClientTypeEditor = 0;
constexpr uint32_t kDirectionToServer = 1;
constexpr uint32_t kDirectionFromServer = 2;
constexpr uint32_t kSynchronized = 2;
constexpr uint32_t kProfileDb = 0;
constexpr uint32_t kVDeviceSetupDb = 4;
const char* const kConfigFile = "CompileResult.json";
const char* const kMeterName = "PRCS";

// The direction each synchronisation class is taken in; 0 for the classes left alone.
uint32_t classDirection(uint32_t syncClass, uint32_t requested)
{
    switch (syncClass) {
    case 2: return requested;
    case 3: return kDirectionFromServer;
    case 4: return kDirectionToServer;
    default: return 0;
    }
}

bool isSequenceClass(uint32_t syncClass) { return syncClass >= 2 && syncClass <= 4; }

// "/OPV/Capacity" of the database's first component; 0 when it cannot be read.
uint32_t capacityOf(PDB::IParameterDB& db)
{
    PDB::MutexReadLocker hold(db);
    JVariant value;
    const uint32_t ai = db.getAddressIndex(PDB::UniqId(0), "/OPV/Capacity");
    if (JLIB::isFailure(db.getVariant(value, 0, ai, 0, 0, nullptr))) return 0;
    return value.toUInt32();
}

}  // namespace

JLIB::JResult KavoriClientSyncThread::sendUnitEvent(const std::string& key, const std::string& value, uint32_t id)
{
    if (!m_pUnit) return JLIB::kFailed;
    return m_pUnit->sendEvent(0, id, key.c_str(), value.c_str());
}

JLIB::JResult KavoriClientSyncThread::failStep()
{
    (void)seqSyncAbort();  // always 0
    (void)sendMessageReSynchronize(kResultFailed);  // a missing "VDProtocol" drops it
    return JLIB::kFailed;
}

// ---- steps

JLIB::JResult KavoriClientSyncThread::seqSendDevStateMessage()
{
    std::string key;
    std::string value;
    const char* pin = m_adminPin.toString();
    JLIB::JResult result = KavoriEventMaker::setClientTypeEvent(key, value, kClientTypeEditor, m_direction,
                                                                 pin ? pin : "", createUDPServer());
    if (JLIB::isSuccess(result)) result = sendUnitEvent(key, value, kUnitFactor);
    if (JLIB::isFailure(result)) return failStep();
    return sendMessageReSynchronize(kResultExecuting);
}

JLIB::JResult KavoriClientSyncThread::seqSendConfigFile()
{
    if (!m_pUnit || JLIB::isFailure(m_pUnit->startFileTransfer(0, false, kConfigFile))) return failStep();
    return sendMessageReSynchronize(kResultExecuting);
}

JLIB::JResult KavoriClientSyncThread::seqApplyConfig()
{
    std::string key;
    std::string value;
    JLIB::JResult result = KavoriEventMaker::applyConfigEvent(key, value);
    if (JLIB::isSuccess(result)) result = sendUnitEvent(key, value, 0);
    if (JLIB::isFailure(result)) return failStep();
    return sendMessageReSynchronize(kResultExecuting);
}

JLIB::JResult KavoriClientSyncThread::seqPDBSynchronize()
{
    if (!m_pUnit) return failStep();
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        const uint32_t direction = classDirection(getPDBConfig(i)->syncClass, m_direction);
        // A port that refuses stays unsynchronised, which holds the sequence here until an abort.
        if (direction != 0) (void)m_pUnit->synchronizePdb(i, direction);
    }
    // Ports already in step report no change of state: look once now as well.
    (void)sendEvent(kEventUnitState);  // a full event set already holds the look
    return sendMessageReSynchronize(kResultExecuting);
}

JLIB::JResult KavoriClientSyncThread::seqDirectorySynchronize()
{
    if (!m_pUnit) return failStep();
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < kDirSyncNum; ++i) result |= m_pUnit->startVDirSync(i, m_direction);
    if (JLIB::isFailure(result)) return failStep();
    (void)sendEvent(kEventUnitState);  // as above
    return sendMessageReSynchronize(kResultExecuting);
}

JLIB::JResult KavoriClientSyncThread::seqSynchronized()
{
    if (deviceCapacitySizeCheack() < 0) {
        (void)seqOffline();  // always 0
        (void)sendMessageReSynchronize(kResultCapacityOver);
        return JLIB::kFailed;
    }
    if (m_direction == kDirectionFromServer) (void)LPC::sendMessageSyncReceiveFinished();  // a refresh request only
    bool dhcp = false;
    OSSUPPORT::IPv4Address local;
    OSSUPPORT::IPv4Address mask;
    OSSUPPORT::IPv4Address gateway;
    // Unreadable settings leave the address cleared.
    (void)OSSUPPORT::GetIPSettings(m_interfaceName.c_str(), dhcp, local, mask, gateway, false);
    const std::string address = local.get();
    (void)m_meterClient.initialize(this, this, address.c_str(), m_productId, kMeterName);  // no meters is no failure
    (void)meterRequest();
    (void)timers().getTimer(kMeterTimerId).start();  // listed by startClient
    (void)sendMessageReSynchronize(kResultFinished);
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    (void)message.addData("CommandName", "Synchronize");  // short texts always fit
    (void)message.addData("Status", "Synchronized");
    (void)message.addData("Type", "Client");
    return message.sendWithWaiting("DeviceControl");
}

uint16_t KavoriClientSyncThread::createUDPServer() const { return JMDP::kDefaultPort; }

// ---- results

JLIB::JResult KavoriClientSyncThread::resultStartDeviceSync()
{
    if (m_direction != kDirectionToServer && m_direction != kDirectionFromServer) return JLIB::kFailed;
    if (m_pUnit && m_pUnit->isConnected()) return changeConnectStatus(kEditorPreparing);
    (void)sendMessageReSynchronize(kResultFailed);
    return JLIB::kFailed;
}

JLIB::JResult KavoriClientSyncThread::resultSendDevStateMessage(uint32_t factor, const char* value)
{
    if (m_connectStatus != kEditorPreparing) return JLIB::kFailed;
    const JLIB::JResult result = KavoriEventExecutor::resultClientType(factor, value);
    if (JLIB::isFailure(result)) {
        (void)seqSyncAbort();
        (void)sendMessageReSynchronize(kResultFailed);
    }
    return result;
}

JLIB::JResult KavoriClientSyncThread::resultMatchedConfig(const char* answer)
{
    if (m_connectStatus != kEditorPreparing) return JLIB::kFailed;
    if (answer && std::strcmp(answer, "Same") == 0) return changeConnectStatus(kEditorSynchronizingMemories);
    if (m_direction == kDirectionToServer) return changeConnectStatus(kEditorSendingConfig);
    // The device's configuration cannot be taken over.
    (void)seqSyncAbort();
    (void)sendMessageReSynchronize(kResultUnmatchedConfig);
    return JLIB::kFailed;
}

JLIB::JResult KavoriClientSyncThread::resultApplyConfig(uint32_t factor, const char* value)
{
    if (m_connectStatus != kEditorApplyingConfig) return JLIB::kFailed;
    const JLIB::JResult result = KavoriEventExecutor::onApplyConfig(factor, value);
    if (JLIB::isFailure(result)) {
        (void)seqSyncAbort();
        (void)sendMessageReSynchronize(kResultFailed);
        return result;
    }
    return changeConnectStatus(kEditorSynchronizingMemories);
}

JLIB::JResult KavoriClientSyncThread::resultPDBSynchronize()
{
    if (m_connectStatus != kEditorSynchronizingMemories) return JLIB::kFailed;
    return changeConnectStatus(kEditorSynchronizingDirectories);
}

JLIB::JResult KavoriClientSyncThread::resultDirectorySynchronize()
{
    if (m_connectStatus != kEditorSynchronizingDirectories) return JLIB::kFailed;
    const JLIB::JResult result = changeConnectStatus(kEditorSynchronized);
    (void)refreshFileSyncStatus();  // always 0 with a unit
    return result;
}

JLIB::JResult KavoriClientSyncThread::resultSyncAbort() { return sendMessageReSynchronize(kResultAborted); }

// ---- ways back

JLIB::JResult KavoriClientSyncThread::asynchronous()
{
    if (!m_pUnit || m_connectStatus == kEditorNotLinked) return JLIB::kFailed;
    stopTimer(kMeterTimerId, false);
    (void)m_meterClient.finalize();  // 0x80000000 only when it never ran
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        // An unbound port has nothing to release.
        if (isSequenceClass(getPDBConfig(i)->syncClass)) (void)m_pUnit->asynchronizePdb(i);
    }
    for (uint32_t i = 0; i < kDirSyncNum; ++i) (void)m_pUnit->stopVDirSync(i);  // as above
    // Back at 4 the device-control thread is asked to prepare again; without a direction its
    // answer leaves the link resting there instead of starting the sequence over.
    m_direction = 0;
    return changeConnectStatus(kEditorTemporarilySynchronized);
}

JLIB::JResult KavoriClientSyncThread::seqSyncAbort()
{
    if (m_connectStatus < kEditorTemporarilySynchronized || m_connectStatus > kEditorSynchronizingDirectories) {
        return JLIB::kOk;
    }
    (void)asynchronous();  // a unit exists at 4 and above
    std::string key;
    std::string value;
    if (JLIB::isSuccess(KavoriEventMaker::abortSynchronize(key, value))) (void)sendUnitEvent(key, value, 0);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::seqOffline()
{
    if (m_connectStatus != kEditorSynchronized) return JLIB::kOk;
    (void)asynchronous();  // as above
    std::string key;
    std::string value;
    if (JLIB::isSuccess(KavoriEventMaker::clearClientTypeEvent(key, value))) (void)sendUnitEvent(key, value, 0);
    return JLIB::kOk;
}

// ---- checks

bool KavoriClientSyncThread::isPDBSynchronized(bool classOne) const
{
    if (!m_pUnit) return false;
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        const uint32_t syncClass = getPDBConfig(i)->syncClass;
        if (classOne ? syncClass != 1 : !isSequenceClass(syncClass)) continue;
        uint32_t status = 0;
        if (JLIB::isFailure(m_pUnit->pdbSyncStatus(i, &status)) || status != kSynchronized) return false;
    }
    return true;
}

bool KavoriClientSyncThread::isDirectorySynchronized() const
{
    if (!m_pUnit) return false;
    for (uint32_t i = 0; i < kDirSyncNum; ++i) {
        ComControl::DirSyncStatus status = ComControl::DIRSYNC_IDLE;
        if (JLIB::isFailure(m_pUnit->getVDirSyncStatus(&status, i)) || status != ComControl::DIRSYNC_SYNCHRONIZED) {
            return false;
        }
    }
    return true;
}

bool KavoriClientSyncThread::isDirectoryRefused() const
{
    if (!m_pUnit) return false;
    for (uint32_t i = 0; i < kDirSyncNum; ++i) {
        ComControl::DirSyncStatus status = ComControl::DIRSYNC_IDLE;
        if (JLIB::isSuccess(m_pUnit->getVDirSyncStatus(&status, i)) && status == ComControl::DIRSYNC_IDLE) return true;
    }
    return false;
}

int32_t KavoriClientSyncThread::deviceCapacitySizeCheack() const
{
    PDB::IParameterDB& real = PDB::gPDBCollection.getPDB(kProfileDb);
    PDB::IParameterDB& own = PDB::gPDBCollection.getPDB(kVDeviceSetupDb);
    if (!real.isValid() || !own.isValid()) return -1;
    return static_cast<int32_t>(capacityOf(own) - capacityOf(real));
}

JLIB::JResult KavoriClientSyncThread::refreshFileSyncStatus()
{
    if (!m_pUnit) return JLIB::kFailed;
    SyncStatusInfo fresh;
    DirSyncStatusInfo* pairs[] = {&fresh.parameterSet, &fresh.snapshot};  // folders 0 and 1
    for (uint32_t i = 0; i < 2; ++i) {
        uint32_t listing = 0;
        uint32_t changes = 0;
        if (JLIB::isFailure(m_pUnit->getVDirSyncRequestedFileNum(&listing, &changes, i))) listing = changes = 0;
        pairs[i]->initSyncNum = listing;
        pairs[i]->requestedNum = changes;
    }
    if (fresh == m_dirSyncStatus) return JLIB::kOk;
    m_dirSyncStatus = fresh;
    (void)fresh.setToPDB(0, false);  // always 0
    std::string key;
    std::string value;
    if (JLIB::isSuccess(KavoriEventMaker::notifyDirSyncStatus(key, value, fresh))) (void)sendUnitEvent(key, value, 0);
    return JLIB::kOk;
}

}  // namespace KAVORI
