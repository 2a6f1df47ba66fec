#include "editor/KavoriClientSyncThread.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "PDB/pdb_IParameterDB.h"
#include "TMS/AbstractMessage.h"
#include "TMS/SystemInfoLocalData.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "comctrl/Core/comctrl_DirectorySynchronizer.h"
#include "comctrl/Core/comctrl_ServerUnit.h"
#include "common/KavoriPDBConfig.h"
#include "common/KavoriProductInfo.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "editor/KavoriEventExecutor.h"
#include "editor/KavoriEventMaker.h"
#include "editor/VDStartupOption.h"
#include "jlib/jlib_cfg.h"
#include "ossupport/ossupport_Network.h"

namespace KAVORI {

const DirSyncInfo gpDirSyncInfo[kDirSyncNum] = {
    {0, "P_S", "Preset/3DRev", "vexap", 128},
    {1, "S_S", "Snapshot", "vexas", 2000},
    {2, "L_D", "DCP", "dcpl", 50},
};

const FileSyncInfo gpFileSyncInfo[kFileSyncNum] = {{0, "C_R", "Config", 1}};

namespace {

constexpr uint32_t kPathLimit = 256;
constexpr char kSeparator = '/';
constexpr uint32_t kPdbSynchronized = 2;
constexpr uint32_t kDirectionFromServer = 2;
constexpr uint32_t kMaxPort = 0xFFFF;
constexpr uint8_t kLoopbackNet = 127;

const char* const kStatusLogs[] = {
    nullptr,
    nullptr,
    nullptr,
    "[i] Synchronizing Temporarily\n",
    "[i] Synchronized Temporarily\n",
    "[i] Preparing to Synchronize Memories\n",
    "[i] Synchronizing Send Config file\n",
    "[i] Synchronizing Apply Config\n",
    "[i] Synchronizing Memories\n",
    "[i] Synchronizing Directory\n",
    "[i] Synchronized\n",
};

TMS::AbstractMessage command(const char* name)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);  // a user message of id 0 always initialises
    (void)message.addData("CommandName", name);      // a short text always fits
    return message;
}

std::string userFolder() { return KavoriProductInfo::getInstance().dataPath(kDataDirUser, false); }

// The name of the loopback interface; empty when the machine lists none.
std::string loopbackInterface()
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::string name;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET && (entry->ifa_flags & IFF_LOOPBACK) &&
            entry->ifa_name) {
            name = entry->ifa_name;
            break;
        }
    }
    ::freeifaddrs(list);
    return name;
}

}  // namespace

KavoriClientSyncThread::KavoriClientSyncThread()
    : KavoriAppThread(kQueueCapacity), m_meterClient(JMDP::kDefaultGroupAddress, JMDP::kDefaultPort)
{
    // The thread's own log ring starts with its task, so these lines go to the program's log.
    // Without a user folder there is nowhere to keep files: never fall back to the file system's root.
    const std::string user = userFolder();
    const bool haveUser = !user.empty();

    m_pFileSyncObjects.reset(new (std::nothrow) FileSyncObject[kFileSyncNum]);
    if (!m_pFileSyncObjects) {
        JLIB_LOG("[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot create m_pFileSyncObjects!\n");
    } else {
        const std::string config = KavoriProductInfo::getInstance().dataPath(kDataDirConfig, false);
        std::error_code error;
        if (haveUser) std::filesystem::create_directories(config, error);
        if (!haveUser || error ||
            JLIB::isFailure(m_pFileSyncObjects[0].fileAccessor.initialize(1, config.c_str(), kPathLimit, kSeparator,
                                                                          nullptr))) {
            JLIB_LOG(
                "[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot initialize m_pFileSyncObjects!\n");
        }
    }

    m_pDirSyncObjects.reset(new (std::nothrow) DirSyncObject[kDirSyncNum]);
    m_pFileInfoCaches.reset(new (std::nothrow) ComControl::FileInfoCache[kDirSyncNum]);
    if (!m_pDirSyncObjects || !m_pFileInfoCaches) {
        JLIB_LOG("[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot create m_pDirSyncObjects!\n");
    } else {
        for (const DirSyncInfo& row : gpDirSyncInfo) {
            const std::string root = user + "/" + row.folder;
            if (!haveUser || JLIB::isFailure(m_pDirSyncObjects[row.index].fileAccessor.initialize(
                                 1, root.c_str(), kPathLimit, kSeparator, nullptr))) {
                JLIB_LOG(
                    "[E] KavoriClientSyncThread::KavoriClientSyncThread() - cannot initialize m_pDirSyncObjects!\n");
            }
        }
    }
    m_interfaceName = KavoriProductInfo::getInstance().etherPort();
    (void)m_handDown.initialize(&m_handDownLock);  // always 0
}

KavoriClientSyncThread::~KavoriClientSyncThread()
{
    m_pUnit.reset();  // normally gone already: stopClient runs in onFinalize
    m_pDirSyncObjects.reset();
    m_pFileSyncObjects.reset();
    m_pFileInfoCaches.reset();
}

uint32_t KavoriClientSyncThread::getSubscribeID(uint16_t userId) const
{
    return (static_cast<uint32_t>(getTaskId()) << 16) | userId;
}

uint16_t KavoriClientSyncThread::consolePort() const
{
    // Tests put a device on 127.0.0.1 at a port of their own.
    const JVariant option = VDevice::VDStartupOption::getInstance().argumentValue("syncport");
    const char* text = option.toString();
    if (!text || !*text) return kConsolePort;
    char* end = nullptr;
    const unsigned long port = std::strtoul(text, &end, 10);
    if (*end != '\0' || port == 0 || port > kMaxPort) return kConsolePort;
    return static_cast<uint16_t>(port);
}

JLIB::JResult KavoriClientSyncThread::startClient(const OSSUPPORT::IPv4Address& local)
{
    std::vector<OSSUPPORT::NetworkInterface> interfaces;
    (void)OSSUPPORT::GetNetworkInterfaces(interfaces);  // unreadable: no interface, refused below
    m_interfaceName.clear();
    OSSUPPORT::IPv4Address address;
    if (local[0] == kLoopbackNet) {
        // A device on this machine: the loopback, which the interface list leaves out.
        m_interfaceName = loopbackInterface();
        address = local;
    } else {
        if (interfaces.size() == 1) m_interfaceName = interfaces.front().name;
        for (const OSSUPPORT::NetworkInterface& entry : interfaces) {
            bool dhcp = false;
            OSSUPPORT::IPv4Address mask;
            OSSUPPORT::IPv4Address gateway;
            (void)OSSUPPORT::GetIPSettings(entry.name.c_str(), dhcp, address, mask, gateway, false);  // cleared when unreadable
            if (address.rawData() == local.rawData()) {
                m_interfaceName = entry.name;
                break;
            }
        }
    }
    if (m_interfaceName.empty()) return JLIB::kFailed;

    VCOM::VComSocketAddress localAddress;
    if (JLIB::isFailure(localAddress.set(NETC_AF_INET, address.get().c_str()))) return JLIB::kFailed;

    m_pdbBound = false;
    m_pUnit.reset(new (std::nothrow) ComControl::ServerUnit);
    if (!m_pUnit) {
        (void)outputLog("[E] KavoriClientSyncThread::startClient - cannot create ServerUnit!\n");
        (void)stopClient();
        return JLIB::kFailed;
    }
    JLIB::JResult result = m_pUnit->selectDatabse(ComControl::AbstractUnit::kValidPdb);
    result |= m_pUnit->initialize(0, 1, kPDBConfigNum, kFileSyncNum, kDirSyncNum, localAddress, *this, this,
                                  kBufferSize);
    result |= m_pUnit->setEventPortName(0, "EVT");
    result |= m_pUnit->registEventExecutor(0, "Event", *this, kUnitFactor);
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        result |= m_pUnit->setPdbPortName(i, getPDBConfig(i)->portName);
        (void)registPdb();  // ports without a database stay unbound
    }
    FileSyncObject* file = m_pFileSyncObjects ? &m_pFileSyncObjects[0] : nullptr;
    result |= m_pUnit->setFilePortName(0, gpFileSyncInfo[0].portName);
    result |= m_pUnit->registFileAccessor(0, gpFileSyncInfo[0].folder, file ? &file->fileAccessor : nullptr,
                                          kUnitFactor);
    result |= m_pUnit->registFileMonitor(0, this);
    const std::string user = userFolder();
    for (const DirSyncInfo& row : gpDirSyncInfo) {
        if (!m_pDirSyncObjects) {
            result |= JLIB::kFailed;
            break;
        }
        DirSyncObject& object = m_pDirSyncObjects[row.index];
        (void)object.strategy.set(&object.fileAccessor, row.extension);  // always 0
        result |= m_pUnit->setDirectoryPortName(row.index, row.portName);
        ComControl::T_DIRECTORY_INITIALIZE_OPTION option;
        option.mapStrategy = true;
        option.strategy = &object.strategy;
        const std::string path = user + "/" + row.folder;
        result |= m_pUnit->registDirectory(row.index, row.folder, path.c_str(), row.maxFiles, object.fileAccessor,
                                           kUnitFactor, &option);
    }
    if (JLIB::isFailure(result)) {
        (void)outputLog("[E] KavoriClientSyncThread::startClient - cannot initialize ServerUnit!\n");
        (void)stopClient();
        return JLIB::kFailed;
    }
    stopTimer(kLinkTimerId, true);
    stopTimer(kMeterTimerId, true);
    if (JLIB::isSuccess(timers().addTimer(kLinkTimerId, kLinkTimerMs, false, this))) {
        (void)timers().getTimer(kLinkTimerId).start();  // a listed timer always starts
    }
    (void)timers().addTimer(kMeterTimerId, kMeterTimerMs, false, this);  // started once synchronised
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::connect(const char* address)
{
    if (!m_pUnit || m_connectStatus != kEditorNotLinked || !address) return JLIB::kFailed;
    VCOM::VComSocketAddress device;
    const OSSUPPORT::IPv4Address octets(address);
    if (JLIB::isFailure(device.set(NETC_AF_INET, address)) || octets.get() != address ||
        JLIB::isFailure(m_pUnit->connect(device, consolePort()))) {
        (void)outputLog("[E] KavoriClientSyncThread::connect - cannot connect to %s\n", address);
        return JLIB::kFailed;
    }
    (void)changeConnectStatus(kEditorConnecting);  // a unit exists and 2 is in range
    uint8_t a = 0, b = 0, c = 0, d = 0;
    octets.get(a, b, c, d);
    m_productId = JMDP::SendProductId(a, b, c, d, 0, 0, 0, 0);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::stopClient(bool)
{
    stopTimer(kLinkTimerId, false);
    if (!m_pUnit) return JLIB::kOk;
    if (m_pUnit->isConnected()) {
        // Releasing a link that is going down anyway: refusals change nothing.
        for (uint32_t i = 0; i < getPDBConfigNum(); ++i) (void)m_pUnit->asynchronizePdb(i);
        for (uint32_t i = 0; i < kDirSyncNum; ++i) (void)m_pUnit->stopVDirSync(i);
        (void)m_pUnit->disconnect();
    }
    if (m_connectStatus != kEditorNotLinked) (void)changeConnectStatus(kEditorNotLinked);
    m_pUnit.reset();
    m_pdbBound = false;
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::disconnect()
{
    if (m_connectStatus == kEditorNotLinked) return JLIB::kOk;
    (void)changeConnectStatus(kEditorDisconnecting);  // the status is not 0, so a unit exists
    if (m_pUnit && m_pUnit->isConnected()) return stopClient();
    disconnected(0);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::changeConnectStatus(EDITORSTAT status)
{
    if (!m_pUnit || status > kEditorSynchronized) return JLIB::kFailed;
    if (status == m_connectStatus) return JLIB::kOk;
    // The shared parameter's declared range ends below 10; its set path does not clamp.
    if (JLIB::isFailure(setSysParam("EditorState", 0, JVariant(static_cast<int>(status)))) ||
        JLIB::isFailure(flushSysParam())) {
        (void)outputLog("[E] KavoriClientSyncThread::changeConnectStatus - Cannot publish \"EditorState\"!\n");
    }
    m_connectStatus = status;
    // The editor link reads this thread's copy to judge the editor's requests, and may hear of the
    // new value before this thread's next pass takes it from the root: the copy takes it now.
    m_statePublished = true;
    TMS::SystemInfoLocalData own;
    if (JLIB::isSuccess(own.setParam("EditorState", 0, JVariant(static_cast<int>(status))))) {
        (void)KavoriAppThread::setSystemInfo(own);  // an undeclared name changes nothing
    }
    enterStatus(status);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::setSystemInfo(const TMS::SystemInfo& table)
{
    if (!m_statePublished) return KavoriAppThread::setSystemInfo(table);
    const JLIB::JResult merged = m_handDown.overwrite(table);
    TMS::SystemInfoLocalData own;
    if (JLIB::isFailure(merged) ||
        JLIB::isFailure(own.setParam("EditorState", 0, JVariant(static_cast<int>(m_connectStatus)))) ||
        JLIB::isFailure(m_handDown.overwrite(own))) {
        return KavoriAppThread::setSystemInfo(table);
    }
    return KavoriAppThread::setSystemInfo(m_handDown);
}

void KavoriClientSyncThread::enterStatus(EDITORSTAT status)
{
    if (kStatusLogs[status]) (void)outputLog("%s", kStatusLogs[status]);
    if (status == kEditorConnected) {
        sendToDeviceControl("Synchronize", "Connected", "Client");
        synchronizeClassOne();
    } else if (status == kEditorTemporarilySynchronized) {
        m_adminPin = JVariant("", 1);
        sendToDeviceControl("PrepareToSync", nullptr, nullptr);
    } else if (status == kEditorPreparing) {
        (void)seqSendDevStateMessage();  // a failure has aborted and been reported
    } else if (status == kEditorSendingConfig) {
        (void)seqSendConfigFile();  // as above
    } else if (status == kEditorApplyingConfig) {
        (void)seqApplyConfig();  // as above
    } else if (status == kEditorSynchronizingMemories) {
        (void)seqPDBSynchronize();  // as above
    } else if (status == kEditorSynchronizingDirectories) {
        (void)seqDirectorySynchronize();  // as above
    } else if (status == kEditorSynchronized) {
        (void)seqSynchronized();  // a capacity failure has taken the device offline and been reported
    }
}

void KavoriClientSyncThread::synchronizeClassOne()
{
    // Unbound ports would start an association without a database and never finish it.
    if (!m_pdbBound) return;
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        if (getPDBConfig(i)->syncClass != 1) continue;
        uint32_t status = 0;
        if (JLIB::isSuccess(m_pUnit->pdbSyncStatus(i, &status)) && status == kPdbSynchronized) continue;
        // A port that cannot start now is asked again by the link timer.
        (void)m_pUnit->synchronizePdb(i, kDirectionFromServer);  // a refusal leaves the sequence waiting in 3
    }
}

void KavoriClientSyncThread::sendToDeviceControl(const char* name, const char* status, const char* type)
{
    TMS::AbstractMessage message = command(name);
    if (status) (void)message.addData("Status", status);  // short texts always fit
    if (type) (void)message.addData("Type", type);
    (void)message.sendWithWaiting("DeviceControl");  // a missing thread drops it
}

JLIB::JResult KavoriClientSyncThread::registPdb()
{
    JVariant state;
    (void)getSysParam(state, "PDBState", 0);  // undeclared: invalid, 0
    if (state.toUInt32() != 1 || !m_pUnit) return JLIB::kFailed;
    m_pdbBound = true;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) result |= m_pUnit->registPdb(i, getSubscribeID(0), kUnitFactor);
    return result;
}

bool KavoriClientSyncThread::isClassSynchronized(uint32_t syncClass) const
{
    if (!m_pUnit) return false;
    for (uint32_t i = 0; i < getPDBConfigNum(); ++i) {
        if (getPDBConfig(i)->syncClass != syncClass) continue;
        uint32_t status = 0;
        if (JLIB::isFailure(m_pUnit->pdbSyncStatus(i, &status)) || status != kPdbSynchronized) return false;
    }
    return true;
}

JLIB::JResult KavoriClientSyncThread::runSyncOperation()
{
    if (!m_pUnit) return JLIB::kFailed;
    if (m_connectStatus == kEditorConnected && isClassSynchronized(1)) {
        return changeConnectStatus(kEditorTemporarilySynchronized);
    }
    if (m_connectStatus == kEditorPreparing) return sendMessageReSynchronize(1);
    if (m_connectStatus == kEditorSynchronizingMemories && isPDBSynchronized(false)) return resultPDBSynchronize();
    if (m_connectStatus == kEditorSynchronizingDirectories && isDirectorySynchronized()) {
        return resultDirectorySynchronize();
    }
    // A folder the device refused to start is idle and nothing would start it again.
    if (m_connectStatus == kEditorSynchronizingDirectories && isDirectoryRefused()) return failStep();
    return JLIB::kOk;
}

void KavoriClientSyncThread::stopTimer(uint32_t timerId, bool remove)
{
    (void)timers().getTimer(timerId).stop();              // the null timer when none
    if (remove) (void)timers().deleteTimer(timerId, false);  // none listed: nothing to delete
}

JLIB::JResult KavoriClientSyncThread::sendKeepAlive()
{
    std::string key;
    std::string value;
    JLIB_RETURN_IF_FAILED(KavoriEventMaker::keepAliveEvent(key, value));
    return m_pUnit->sendEvent(0, 0, key.c_str(), value.c_str());
}

JLIB::JResult KavoriClientSyncThread::onTimer(uint32_t timerId, uint32_t count)
{
    const JLIB::JResult result = KavoriAppThread::onTimer(timerId, count);
    if (timerId == kMeterTimerId) {
        (void)meterRequest();  // always 0
        return result;
    }
    if (timerId != kLinkTimerId || !m_pUnit) return result;
    (void)m_pUnit->periodicHandle(kLinkTimerMs);  // a port's failure is its own
    // A refused folder start reports no change of state: look at the folders here as well.
    if (m_connectStatus == kEditorSynchronizingDirectories) (void)runSyncOperation();  // a failure is reported
    if (m_pUnit->isConnected()) {
        const uint32_t now = get1msCount();
        if (now - m_pUnit->lastReceivedTime() >= kSilenceLimitMs) {
            (void)disconnect();  // always 0
            return result;
        }
        if (now - m_pUnit->lastSentTime() >= kKeepAliveMs) (void)sendKeepAlive();  // a refused one: next run
    }
    (void)refreshFileSyncStatus();  // a unit exists: 0
    return result;
}

void KavoriClientSyncThread::connected(int32_t)
{
    if (!m_pUnit) return;
    (void)changeConnectStatus(kEditorConnected);  // a unit exists and 3 is in range
}

void KavoriClientSyncThread::connectFailed(int32_t unitId)
{
    (void)outputLog("[i] connectFailed - UnitId = %d\n", unitId);
    disconnected(unitId);
}

void KavoriClientSyncThread::clearMeterStores()
{
    DRAVO::AudioComponentCollection* collection = DRAVO::AudioComponentCollection::singleton();
    if (!collection) return;
    for (DRAVO::AudioComponent* component : collection->componentList()) {
        (void)component->meterPool().clearAllData();  // a store without tables has nothing to clear
    }
}

void KavoriClientSyncThread::disconnected(int32_t unitId)
{
    (void)outputLog("[i] disconnected - UnitId = %d\n", unitId);
    stopTimer(kMeterTimerId, false);
    (void)m_meterClient.finalize();  // 0x80000000 only when it never ran
    clearMeterStores();
    (void)changeConnectStatus(kEditorNotLinked);  // no unit: nothing to publish
    m_direction = 0;
    const SyncStatusInfo zero;
    const uint32_t x = unitId < 0 ? 0 : static_cast<uint32_t>(unitId);
    (void)zero.setToPDB(x, false);  // always 0
    (void)zero.setToPDB(x, true);
    m_dirSyncStatus = SyncStatusInfo();
}

void KavoriClientSyncThread::unitStateChanged(int32_t) { (void)sendEvent(kEventUnitState); }

uint32_t KavoriClientSyncThread::execute(uint32_t factor, const char* name, const char* text)
{
    if (!name) return JLIB::kFailed;
    if (std::strcmp(name, "KeepAlive") == 0) return KavoriEventExecutor::keepAlive(factor, text);
    if (std::strcmp(name, "onSetClientType") == 0) {
        return resultSendDevStateMessage(factor, text);
    }
    if (std::strcmp(name, "onSyncAborted") == 0) return resultSyncAbort();
    if (std::strcmp(name, "onApplyConfig") == 0) return resultApplyConfig(factor, text);
    if (std::strcmp(name, "NotifyDirSyncStatus") == 0) return KavoriEventExecutor::notifyDirSyncStatus(factor, text);
    if (std::strcmp(name, "onSetWarningMessage") == 0) return KavoriEventExecutor::onSetWarningMessage(factor, text);
    return JLIB::kFailed;
}

uint32_t KavoriClientSyncThread::start(const char*, ComControl::FileTransStatus, uint32_t) { return JLIB::kOk; }

uint32_t KavoriClientSyncThread::cancel(const char*, ComControl::FileTransStatus, uint32_t) { return JLIB::kOk; }

uint32_t KavoriClientSyncThread::update(const char* fileName, ComControl::FileTransStatus status, uint32_t,
                                        const uint8_t*, uint32_t, bool last)
{
    if (!fileName || std::strncmp(fileName, "CompileResult.json", kPathLimit) != 0) return JLIB::kFailed;
    if (m_connectStatus != kEditorSendingConfig) return JLIB::kFailed;
    if (status == ComControl::FILETRANS_SENDING && last) return sendEvent(kEventConfigSent);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::wakeup(uint16_t, VCOM::IVCom&) { return sendEvent(kEventSocket); }

JLIB::JResult KavoriClientSyncThread::onReceivedMeterPacket(JMDP::JMDPClient&) { return sendEvent(kEventMeterPacket); }

JLIB::JResult KavoriClientSyncThread::sendMessageReSynchronize(uint32_t result)
{
    // Progress by the status at the moment of sending; below 4 (no step reached) it is 0, not a
    // wrapped number.
    const uint32_t progress = result == 0 ? 100u
                              : m_connectStatus >= kEditorTemporarilySynchronized
                                  ? (6u - (kEditorSynchronized - m_connectStatus)) * (100u / 6u)
                                  : 0u;
    TMS::AbstractMessage report = command("Re:Synchronize");
    (void)report.addData("Result", result);
    (void)report.addData("Progress", progress);
    return report.sendWithWaiting("VDProtocol");
}

JLIB::JResult KavoriClientSyncThread::handleNetworkInfo(const TMS::AbstractMessage& message)
{
    (void)stopClient();
    const char* from = message.data("FromIPAddress").toString();
    // A failed start leaves no unit, and connect then refuses: both are logged where they fail.
    (void)startClient(OSSUPPORT::IPv4Address(from ? from : ""));
    (void)connect(message.data("ToIPAddress").toString());
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::handleDisconnect()
{
    const bool inSequence = m_connectStatus >= kEditorPreparing && m_connectStatus <= kEditorSynchronizingDirectories;
    const JLIB::JResult result = inSequence ? JLIB::kFailed : disconnect();
    TMS::AbstractMessage reply = command("Re:Disconnect");
    (void)reply.addData("Result", static_cast<uint32_t>(result));
    (void)reply.addData("Progress", static_cast<uint32_t>(100));
    (void)reply.sendWithWaiting("VDProtocol");  // a missing thread drops it
    return result;
}

JLIB::JResult KavoriClientSyncThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    JVariant runMode;
    (void)getSysParam(runMode, "RunMode", 0);  // undeclared: invalid, 0
    if (runMode.toUInt32() != 0 || message.messageId() != 0) return result;
    const char* name = message.data("CommandName").toString();
    if (!name) return result;
    const std::string command(name);
    if (command == "SetNetworkInfo") {
        (void)handleNetworkInfo(message);
    } else if (command == "SetNetworkInfo&Sync") {
        const char* direction = message.data("Direction").toString();
        m_direction = direction && std::strcmp(direction, "ClientToServer") == 0 ? 1 : 2;
        (void)handleNetworkInfo(message);
    } else if (command == "Asynchronous") {
        (void)seqOffline();  // outside 10 nothing, still answered
        TMS::AbstractMessage reply = KAVORI::command("Re:Asynchronous");
        (void)reply.addData("Result", static_cast<int32_t>(0));
        (void)reply.addData("Progress", static_cast<int32_t>(100));
        (void)reply.sendWithWaiting("VDProtocol");  // a missing thread drops it
    } else if (command == "Disconnect") {
        return handleDisconnect();
    } else if (command == "abort") {
        (void)seqSyncAbort();  // always 0
    } else if (command == "Re:PrepareToSync") {
        (void)resultStartDeviceSync();  // without a direction the link rests at 4
    } else if (command == "Re:isSameConfig") {
        (void)resultMatchedConfig(message.data("isSameConfig").toString());  // failures are reported
    } else if (command == "Synchronize") {
        // The editor's online request: a link resting at 4 starts the sequence in the requested
        // direction, and a running sequence's reports answer it. Outside those (the link moved on
        // between the editor link's check and this message) nothing would ever answer the
        // waiting request: it fails now.
        if (m_connectStatus == kEditorTemporarilySynchronized) {
            const char* direction = message.data("Direction").toString();
            m_direction = direction && std::strcmp(direction, "ClientToServer") == 0 ? 1 : 2;
            (void)resultStartDeviceSync();  // an unconnected unit is reported as failed
        } else if (m_connectStatus < kEditorTemporarilySynchronized || m_connectStatus == kEditorSynchronized) {
            (void)sendMessageReSynchronize(0x80000000u);  // a missing "VDProtocol" drops it
        }
    }
    return result;
}

JLIB::JResult KavoriClientSyncThread::onFinalize()
{
    const JLIB::JResult result = KavoriAppThread::onFinalize();
    (void)stopClient();  // always 0
    return result;
}

JLIB::JResult KavoriClientSyncThread::onChangeRunMode(RUNMODE runMode)
{
    const JLIB::JResult result = KavoriAppThread::onChangeRunMode(runMode);
    if (runMode != 0) (void)stopClient();  // always 0
    return result;
}

JLIB::JResult KavoriClientSyncThread::onChangePDBStatus(PDBSTAT state)
{
    const JLIB::JResult result = KavoriAppThread::onChangePDBStatus(state);
    if (state != 1) return result;
    (void)registerSubscribeId(0, PDB::SubscribeAttr(0));  // always 0
    // A link started before the databases were ready has its database ports still unbound and
    // has not asked for them yet: bind them and ask now.
    if (!m_pUnit) return JLIB::kOk;
    (void)registPdb();  // ports whose database is missing stay unbound
    if (m_connectStatus == kEditorConnected) synchronizeClassOne();
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::onChangePDBParam()
{
    // The unit's synchronisers walk this thread's dirty flags themselves.
    if (m_pUnit) (void)m_pUnit->notifyPrmChanged();  // a port not associated has nothing to send
    return JLIB::kOk;
}

JLIB::JResult KavoriClientSyncThread::onReceiveLocalEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveLocalEvent(eventNumber);
    switch (eventNumber) {
    case kEventSocket:
        if (m_pUnit) return m_pUnit->runCallback();
        break;
    case kEventUnitState:
        return runSyncOperation();
    case kEventConfigSent:
        if (m_connectStatus == kEditorSendingConfig) return changeConnectStatus(kEditorApplyingConfig);
        break;
    default:  // 17 and the meter packets of 18 are not acted on
        break;
    }
    return result;
}

}  // namespace KAVORI
