#include "common/OPVDspThread.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "LogicCtrl/logic_LogicComponentCollection.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/AbstractMessage.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "common/convJVariantToString.h"
#include "dbgc/dbgc_stdapi.h"
#include "dravo/common/dravo_ICalcCoefFunction_V1.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_AudioConfigDB.h"
#include "jlib/JVariant.h"
#include "parray/ArrayInfo.h"

namespace KAVORI {

namespace {

constexpr uint32_t kUserId = 0;
constexpr uint32_t kMeterIntervalCount = 20;  // the players' meter reports, one per this many frames
constexpr uint32_t kDeviceSettingPDB = 5;
constexpr uint32_t kComponentPDB = 10;
constexpr const char* kPeakHoldAddress = "/Meter/PeakHold/On";
constexpr const char* kCoreMap = "0,1,2,3,4,5,6";
constexpr const char* kCoreMapSpare = "7";

// "DRAVOpState"
constexpr uint32_t kPBooting = 0;
constexpr uint32_t kPBooted = 1;
constexpr uint32_t kPConnected = 2;
constexpr uint32_t kPConfiguring = 3;
constexpr uint32_t kPProcessing = 4;
constexpr uint32_t kPProcessing2 = 5;
// "DRAVOmState"
constexpr uint32_t kMRegistering = 3;
constexpr uint32_t kMOperable = 4;
constexpr uint32_t kMAborted = 5;

DRAVO::AudioComponentCollection& collection() { return *DRAVO::AudioComponentCollection::singleton(); }
LogicCtrl::LogicComponentCollection& logicNetwork() { return LogicCtrl::LogicComponentCollection::singleton(); }

uint32_t keyOf(const TMS::AbstractMessage& message, const char* key) { return message.data(key).toUInt32(); }

}  // namespace

OPVDspThread::OPVDspThread(uint16_t commandPort) : KavoriAppThread(1), m_commandPort(commandPort) {}

OPVDspThread::~OPVDspThread() = default;

bool OPVDspThread::isPlayerConnected() const { return m_pSocket && m_pSocket->isConnected(); }

uint32_t OPVDspThread::readSysParam(const char* name) const
{
    JVariant value;
    (void)getSysParam(value, name, 0);  // an undeclared parameter reads as 0
    return value.toUInt32();
}

void OPVDspThread::writePState(uint32_t state)
{
    if (JLIB::isFailure(setSysParam("DRAVOpState", 0, JVariant(state))) || JLIB::isFailure(flushSysParam())) {
        (void)outputLog("[E] OPVDspThread - Cannot set DRAVOpState to %u!\n", unsigned(state));
    }
}

// ---- notifications and player strategy ----

JLIB::JResult OPVDspThread::processTCPConnectedNotification(const char* text)
{
    (void)outputLog("[i] OPVDspThread::processTCPConnectedNotification - \"%s\"\n", text ? text : "");
    return JLIB::kOk;
}

JLIB::JResult OPVDspThread::processErrorNotification(const char* text1, const char* text2)
{
    (void)outputLog("[i] OPVDspThread::processErrorNotification - \"%s\" \"%s\"\n", text1 ? text1 : "",
                    text2 ? text2 : "");
    return JLIB::kOk;
}

uint32_t OPVDspThread::sendStart(uint32_t) { return JLIB::kOk; }
uint32_t OPVDspThread::sendEnd() { return JLIB::kOk; }

uint32_t OPVDspThread::sendCoef(uint32_t uniqID, uint32_t arrayID, uint32_t offset, const void* bytes, uint32_t size)
{
    if (!isPlayerConnected()) return JLIB::kOk;
    const auto* data = static_cast<const unsigned char*>(bytes);
    uint32_t sent = 0;
    do {
        const uint32_t remaining = size - sent;
        const uint32_t piece = std::min(remaining, kCoefPieceSize);
        const uint32_t last = remaining <= kCoefPieceSize ? 1 : 0;
        if (JLIB::isFailure(m_sender.setCoef(last, uniqID, arrayID, offset + sent, data ? data + sent : nullptr, piece))) {
            return JLIB::kFailed;
        }
        sent += piece;
    } while (sent < size);
    return JLIB::kOk;
}

uint32_t OPVDspThread::sendAddComponentCommand(const char* name, uint32_t majorVersion, uint32_t uniqID,
                                               uint32_t numX, uint32_t numY)
{
    if (!isPlayerConnected()) return JLIB::kOk;
    return m_sender.addComponent(name, majorVersion, uniqID, numX, numY);
}

// ---- socket ----

JLIB::JResult OPVDspThread::wakeup(uint16_t, VCOM::IVCom& object)
{
    if (!m_pSocket || &object != static_cast<VCOM::IVCom*>(m_pSocket.get())) return JLIB::kFailed;
    return JLIB::isFailure(sendEvent(kEventSocket)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult OPVDspThread::onConnected(uint32_t, signed char)
{
    m_reader.reset();  // a frame of an earlier connection never completes
    return JLIB::kOk;
}

JLIB::JResult OPVDspThread::onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError)
{
    // A refused connection mostly fails here, after connect had answered pending.
    logConnectionFailed();
    return JLIB::kOk;
}

void OPVDspThread::logConnectionFailed()
{
    (void)outputLog("[E] OPVDspThread::onTimer - Connection to DRAVO player was failed.\n");
}

JLIB::JResult OPVDspThread::onDisconnected(uint32_t, signed char)
{
    m_reader.reset();
    // Without this the supervision never connects again and every later command fails.
    const uint32_t state = readSysParam("DRAVOpState");
    if (m_playerStatus.booted && state != kPBooting && state != kPBooted) writePState(kPBooted);
    return JLIB::kOk;
}

JLIB::JResult OPVDspThread::onAccepted(uint32_t, signed char, signed char) { return JLIB::kOk; }

JLIB::JResult OPVDspThread::onReceived(uint32_t userId, signed char sessionId)
{
    if (userId != kUserId || !m_pSocket) return JLIB::kOk;
    return m_reader.onReceived(*m_pSocket, sessionId, m_notifications, *this);
}

JLIB::JResult OPVDspThread::onSent(uint32_t, signed char) { return JLIB::kOk; }
JLIB::JResult OPVDspThread::onCommunicationFailed(uint32_t, signed char, VCOM::CommError) { return JLIB::kOk; }

// ---- life cycle ----

JLIB::JResult OPVDspThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    (void)m_notifications.createNotificationMap();  // always 0
    m_pSocket.reset(new (std::nothrow) VCOM::VComTcpClientSocket());
    if (!m_pSocket) return JLIB::kFailed;
    (void)m_pSocket->start(kUserId, *this);  // always 0; the reader holds the frame buffer
    (void)m_sender.initialize(m_pSocket.get(), this);  // always 0
    return KavoriAppThread::onInitialize(arguments);
}

JLIB::JResult OPVDspThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    // Not the application base's hook: this thread registers as the DSP thread itself.
    if (status == TMS::kStatusRun) {
        if (JLIB::isSuccess(timers().addTimer(kSupervisionTimerId, kSupervisionTimerMs, false, this))) {
            (void)timers().getTimer(kSupervisionTimerId).start();  // a listed timer always starts
        }
    }
    if (status == TMS::kStatusClosing) {
        (void)timers().getTimer(kSupervisionTimerId).stop();  // the null timer when none
        stopComponentTimers();
        (void)logicNetwork().stop();     // stopped already, or not set up: nothing to stop
        (void)collection().endByThread();  // not set up: nothing to end
    }
    return TMS::AbstractThread::onChangeStatus(status, arguments);
}

JLIB::JResult OPVDspThread::onFinalize()
{
    const JLIB::JResult result = KavoriAppThread::onFinalize();
    (void)m_sender.finalize();  // always 0
    if (m_pSocket) {
        (void)m_pSocket->disconnect();  // not connected: nothing to close
        (void)m_pSocket->stop();
        m_pSocket.reset();
    }
    (void)m_notifications.freeNotificationMap();  // always 0
    (void)m_playerProcess.stop();                 // none running: nothing to stop
    return result;
}

void OPVDspThread::startComponentTimers()
{
    for (const auto& [id, ms] : {std::pair{kComponentTimerId, kComponentTimerMs}, std::pair{kLogicTimerId, kLogicTimerMs}}) {
        if (JLIB::isFailure(timers().addTimer(id, ms, false, this)) || JLIB::isFailure(timers().getTimer(id).start())) {
            (void)outputLog("[E] OPVDspThread - Cannot start timer %u!\n", unsigned(id));
        }
    }
}

void OPVDspThread::stopComponentTimers()
{
    for (const uint32_t id : {kComponentTimerId, kLogicTimerId}) {
        (void)timers().getTimer(id).stop();     // the null timer when none
        (void)timers().deleteTimer(id, false);  // none listed: nothing to delete
    }
}

void OPVDspThread::beginDSPUse()
{
    // Refused only while the collection is not set up or full; the thread then has no view.
    (void)collection().beginByDSPThread(this, this);
}

// ---- system parameters ----

JLIB::JResult OPVDspThread::onChangeSystemInfo()
{
    const JLIB::JResult result = KavoriAppThread::onChangeSystemInfo();
    // A flush marks every parameter it carries, changed or not: only a new value counts.
    const uint32_t mState = readSysParam("DRAVOmState");
    if (isSysParamChanged("DRAVOmState", 0, true) && mState != m_seenMState) {
        m_seenMState = mState;
        switch (mState) {
        case kMRegistering:
            (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - Started to register all components.\n");
            break;
        case kMOperable: {
            (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - All components became operatable.\n");
            beginDSPUse();
            updatePeakHold();
            (void)logicNetwork().start();  // started already: the network says so and runs on
            startComponentTimers();
            const uint32_t p = readSysParam("DRAVOpState");
            if (m_playerStatus.booted && p != kPBooting && p != kPBooted) writePState(kPConfiguring);
            break;
        }
        case kMAborted:
            (void)outputLog("[E] OPVDspThread::onChangeSystemInfo - Aborting to configure!\n");
            stopComponentTimers();
            (void)logicNetwork().stop();       // as at closing
            (void)collection().endByThread();  // as at closing
            break;
        default: break;
        }
    }
    const uint32_t pState = readSysParam("DRAVOpState");
    if (isSysParamChanged("DRAVOpState", 0, true) && pState != m_seenPState) {
        m_seenPState = pState;
        switch (pState) {
        case kPBooting:
            (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - Booting DRAVO players.\n");
            (void)m_playerProcess.restart();  // no player program given: nothing to restart
            break;
        case kPBooted: (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - DRAVO players booted.\n"); break;
        case kPConnected:
            (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - DRAVO players connected.\n");
            (void)m_sender.muteOn();  // a failure shows as a lost connection
            if (readSysParam("DRAVOmState") == kMOperable) writePState(kPConfiguring);
            break;
        case kPConfiguring:
            (void)outputLog("[i] OPVDspThread::onChangeSystemInfo - Started to configure DRAVO players.\n");
            (void)m_sender.muteOn();  // as above
            (void)sendEvent(kEventConfigure);  // own queue: fails only while closing
            break;
        case kPProcessing:
        case kPProcessing2: (void)m_sender.muteOff(); break;  // as above
        default: break;
        }
    }
    return result;
}

// ---- timers and events ----

JLIB::JResult OPVDspThread::onTimer(uint32_t timerId, uint32_t count)
{
    (void)KavoriAppThread::onTimer(timerId, count);  // does nothing
    switch (timerId) {
    case kSupervisionTimerId: supervisePlayers(); break;
    case kComponentTimerId: {
        const uint32_t now = get1msCount();
        for (DRAVO::AudioComponent* c : collection().componentList()) (void)c->timerRun(now);  // out of use: skipped
        break;
    }
    case kLogicTimerId: (void)logicNetwork().run(LogicCtrl::kRunPeriodic); break;  // stopped: nothing runs
    default: break;
    }
    return JLIB::kOk;
}

void OPVDspThread::supervisePlayers()
{
    if (!m_playerStatus.booted) {
        m_playerStatus.booted = true;
        writePState(kPBooted);
        return;
    }
    if (readSysParam("DRAVOpState") != kPBooted || !m_pSocket) return;
    if (m_pSocket->isConnected()) {
        writePState(kPConnected);
        return;
    }
    VCOM::VComSocketAddress local;
    VCOM::VComSocketAddress remote;
    const bool addressed = JLIB::isSuccess(local.set(NETC_AF_INET, TPCP::kDefaultPlayerAddress)) &&
                           JLIB::isSuccess(remote.set(NETC_AF_INET, TPCP::kDefaultPlayerAddress));
    if (!addressed || JLIB::isFailure(m_pSocket->connect(local, remote, m_commandPort))) logConnectionFailed();
}

JLIB::JResult OPVDspThread::onReceiveEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveEvent(eventNumber);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    switch (eventNumber) {
    case kEventConfigure:
        if (readSysParam("DRAVOpState") == kPConfiguring) runConfiguration();
        break;
    case kEventSocket:
        if (m_pSocket) (void)m_pSocket->runCallback(*this);  // the callbacks report for themselves
        break;
    case kEventLogicTrigger: (void)logicNetwork().run(LogicCtrl::kRunTriggered); break;  // stopped: nothing runs
    default: break;
    }
    return result;
}

void OPVDspThread::runConfiguration()
{
    DRAVO::AudioConfig config;
    (void)DRAVO::AudioConfigDB::singleton().getAudioConfig(config);  // none stored: an empty configuration
    // Each command's failure shows as a lost connection; the sequence runs to its end regardless.
    (void)m_sender.muteOn();
    (void)m_sender.stopMeter();
    (void)m_sender.stopProcessing();
    (void)m_sender.beginConfig();
    (void)m_sender.clearConfig(config.dspSystem.numSamplePerFrame);
    (void)m_sender.setupBuffer(config.dspSystem.renderSamples);
    (void)m_sender.setCoreMap(kCoreMap, kCoreMapSpare);
    for (DRAVO::AudioComponent* c : collection().componentList()) (void)c->sendAddComponentCommand();
    for (const DRAVO::AudioConfigDspAssignment& a : config.dspAssignments) {
        (void)m_sender.addToPlayList(a.coreNo, a.uniqID, a.preUniqID);
    }
    for (const DRAVO::AudioConnection& c : config.connections) {
        (void)m_sender.connect(c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo);
    }
    (void)m_sender.endConfig();
    for (DRAVO::AudioComponent* c : collection().componentList()) (void)c->sendAllCoefs();
    (void)m_sender.changeFs(config.dspSystem.fsHz);
    (void)m_sender.startProcessing();
    (void)m_sender.startMeter(kMeterIntervalCount);
    // A connection lost on the way leaves the players unconfigured: connect and configure again.
    writePState(isPlayerConnected() ? kPProcessing : kPBooted);
}

// ---- parameters and components ----

JLIB::JResult OPVDspThread::onChangeAudioComponentConfig()
{
    const uint32_t m = readSysParam("DRAVOmState");
    if (m >= kMRegistering && m <= kMAborted) (void)collection().updateByThread();  // 0 once set up
    return JLIB::kOk;
}

JLIB::JResult OPVDspThread::onChangePDBStatus(PDBSTAT state)
{
    if (state != 1) return JLIB::kOk;
    (void)registerSubscribeId(0, PDB::SubscribeAttr(0));  // always 0
    m_peakHoldAddress = PDB::gPDBCollection.getPDB(kDeviceSettingPDB).getAddressId(PDB::UniqId(0), kPeakHoldAddress);
    readPeakHold();
    updatePeakHold();
    return JLIB::kOk;
}

void OPVDspThread::readPeakHold()
{
    if (m_peakHoldAddress.addressIndex() == PDB::AddressId::kNone) return;
    JVariant value;
    const PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(kDeviceSettingPDB);
    if (JLIB::isSuccess(db.getVariant(value, 0, m_peakHoldAddress.addressIndex(), 0, 0, nullptr))) {
        m_peakHold = value.toUInt32() != 0;
    }
}

void OPVDspThread::updatePeakHold()
{
    for (DRAVO::AudioComponent* c : collection().componentList()) (void)c->meterPool().setPeakHold(m_peakHold);  // always 0
}

JLIB::JResult OPVDspThread::onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                    uint32_t addressIndex, uint32_t x, uint32_t y, uint32_t)
{
    if (db.instanceId() == kDeviceSettingPDB) {
        if (m_peakHoldAddress.addressIndex() != PDB::AddressId::kNone && addressIndex == m_peakHoldAddress.addressIndex()) {
            readPeakHold();
            updatePeakHold();
        }
        return JLIB::kOk;
    }
    if (db.instanceId() != kComponentPDB) return JLIB::kOk;
    const uint32_t uniqID = db.uniqId(componentIndex).id();
    if (DRAVO::AudioComponent* c = collection().component(uniqID)) (void)c->onParamChange(addressIndex, x, y);  // the library's answer
    (void)logicNetwork().onFoundChangedParameter(uniqID, addressIndex, x, y);  // not started: nothing triggered
    return JLIB::kOk;
}

JLIB::JResult OPVDspThread::didOnFoundChangedParameter()
{
    for (DRAVO::AudioComponent* c : collection().componentList()) (void)c->sendChangedCoefs();  // always 0
    return JLIB::kOk;
}

// ---- debug messages ----

JLIB::JResult OPVDspThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    if (message.messageType() != TMS::kMessageUser || message.messageId() != 0) return result;
    if (readSysParam("RunMode") != 0) return result;
    const char* command = message.data("CommandName").toString();
    if (command) handleDebugMessage(message, command);
    return result;
}

void OPVDspThread::handleDebugMessage(const TMS::AbstractMessage& m, const char* command)
{
    const std::string name = command;
    if (name == "[Debug]setupProcessing") {
        if (!m.data("DriverName").toString()) return;
        (void)m_sender.setupBuffer(keyOf(m, "RenderSamples"));  // debug request: the player shows it
        (void)m_sender.changeFs(keyOf(m, "FsHz"));
    } else if (name == "[Debug]addComponent") {
        beginDSPUse();
        updatePeakHold();
        if (DRAVO::AudioComponent* c = collection().component(keyOf(m, "UniqID"))) {
            (void)c->sendAddComponentCommand();  // always 0
            (void)c->sendAllCoefs();             // always 0
        }
    } else if (name == "[Debug]addToPlayList") {
        (void)m_sender.addToPlayList(keyOf(m, "PlayListNo"), keyOf(m, "UniqID"), keyOf(m, "PreUniqID"));
    } else if (name == "[Debug]connect") {
        (void)m_sender.connect(keyOf(m, "FromUniqID"), keyOf(m, "FromOutputPortNo"), keyOf(m, "ToUniqID"),
                               keyOf(m, "ToInputPortNo"));
    } else if (name == "[Debug]startProcessing") {
        (void)m_sender.startProcessing();
    } else if (name == "[Debug]stopProcessing") {
        (void)m_sender.stopProcessing();
    } else if (name == "[Debug]resetCpuInfo") {
        (void)m_sender.resetCpuInfo();
    } else if (name == "[Debug]shutdown") {
        (void)m_sender.shutdown();
    } else if (name == "[Debug]beginconfig") {
        (void)m_sender.beginConfig();
    } else if (name == "[Debug]endconfig") {
        (void)m_sender.endConfig();
    } else if (name == "[Debug]muteon") {
        (void)m_sender.muteOn();
    } else if (name == "[Debug]muteoff") {
        (void)m_sender.muteOff();
    } else if (name == "[Debug]printCoef") {
        printCoef(keyOf(m, "UniqID"), keyOf(m, "CoefID"), keyOf(m, "Pos1"), keyOf(m, "Pos2"), keyOf(m, "Pos3"));
    }
}

void OPVDspThread::printCoef(uint32_t uniqID, uint32_t coefID, uint32_t pos1, uint32_t pos2, uint32_t pos3)
{
    DRAVO::AudioComponent* c = collection().component(uniqID);
    if (!c || !c->calcCoefFunction()) return;
    const PARRAY::ArrayInfo* infos = nullptr;
    uint32_t count = 0;
    if (JLIB::isFailure(c->calcCoefFunction()->getCoefArrayInfoTable(infos, count)) || !infos || coefID >= count) return;
    const PARRAY::ArrayAccessorForServer& table = c->coefArrayAccessor();
    JVariant value;
    switch (infos[coefID].type) {
    case PARRAY::kTypeUINT32: value = JVariant(table.getParam<uint32_t>(coefID, pos1, pos2, pos3)); break;
    case PARRAY::kTypeSINT32: value = JVariant(table.getParam<int32_t>(coefID, pos1, pos2, pos3)); break;
    case PARRAY::kTypeFLOAT: value = JVariant(table.getParam<float>(coefID, pos1, pos2, pos3)); break;
    default: return;
    }
    std::string text;
    (void)convJVariantToString(value, text);  // always 0
    (void)dbgPrintf("get coef value: UniqID:%d CoefID:%d pos1:%d pos2:%d pos3:%d value:[%s]\n", int(uniqID),
                    int(coefID), int(pos1), int(pos2), int(pos3), text.c_str());
}

}  // namespace KAVORI
