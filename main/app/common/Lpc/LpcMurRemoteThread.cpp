#include "common/Lpc/LpcMurRemoteThread.h"

#include <cstdio>
#include <string>

#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "TMS/AbstractMessage.h"
#include "TMS/ThreadRepository.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcOscParameterItem.h"
#include "common/Lpc/LpcRecallStopwatch.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "dbgc/dbgc_stdapi.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_cfg.h"

namespace LPC {

namespace {

constexpr const char* kThreadName = "MURRemote";
constexpr const char* kDeviceControlForUZ = "DeviceControlForUZ";
constexpr const char* kOSCServer = "OSCServer";

constexpr uint32_t kDevicePDB = 10;
// "uzCurrent", "uzSetup" and "uzVolatile": the components that hold protocol parameters.
constexpr uint32_t kFirstNonProtocolComponent = 3;
// Writes of the rack bridge carry this change factor.
constexpr int32_t kRackFactor = 255;
constexpr int32_t kCurrentRack = 0;

// Server event types of the library.
constexpr int32_t kServerPackageLoaded = 0;
constexpr int32_t kServerRecallStarted = 7;
constexpr int32_t kServerRecallEnded = 8;
constexpr int32_t kServerSceneStored = 12;

void postToThread(uint32_t eventNumber)
{
    (void)TMS::getThreadByName(kThreadName).sendEvent(eventNumber);  // a thread already gone is not told
}

// Both receivers in this order; a receiver that stays busy logs its own line and is skipped.
void sendToReceivers(const TMS::AbstractMessage& message)
{
    (void)message.sendWithWaiting(kDeviceControlForUZ);
    (void)message.sendWithWaiting(kOSCServer);
}

}  // namespace

LpcMurRemoteThread::LpcMurRemoteThread() : KAVORI::KavoriAppThread(1) {}

LpcMurRemoteThread::~LpcMurRemoteThread()
{
    // Its finalisation unloads the library: it must run while this object is whole.
    if (getTaskId() != kNoId && !isCallerOwnTask()) (void)release();  // a failure is logged by the base
}

JLIB::JResult LpcMurRemoteThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    JLIB_RETURN_IF_FAILED(KavoriAppThread::onInitialize(arguments));
    const RemoteOperation operation{this, &callbackConnectError, &callbackRemoteServerEvent,
                                    &callbackRemoteChangePluginParameter};
    const JLIB::JResult loaded = LpcMurRemote::getInstance().initialize(operation);
    if (JLIB::isFailure(loaded)) {
        (void)outputLog("[W] LpcMurRemoteThread::onInitialize - Cannot load the rack library, running without the rack.\n");
        return loaded;
    }
    if (JLIB::isFailure(startConnect())) {
        (void)outputLog("[E] LpcMurRemoteThread::onInitialize - Cannot start the connect timer!\n");
    }
    return loaded;
}

JLIB::JResult LpcMurRemoteThread::startConnect()
{
    JLIB_RETURN_IF_FAILED(timers().addTimer(kConnectTimerId, kConnectPeriodMs, false, this));
    return timers().getTimer(kConnectTimerId).start();
}

JLIB::JResult LpcMurRemoteThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    if (status == TMS::kStatusRun && getStatus() == TMS::kStatusStop) {
        (void)registerSubscribeId(0, PDB::SubscribeAttr(1));  // always 0
    }
    return KavoriAppThread::onChangeStatus(status, arguments);
}

JLIB::JResult LpcMurRemoteThread::onChangeSystemInfo() { return KavoriAppThread::onChangeSystemInfo(); }

JLIB::JResult LpcMurRemoteThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    return KavoriAppThread::onReceiveMessage(message);
}

JLIB::JResult LpcMurRemoteThread::onTimer(uint32_t timerId, uint32_t count)
{
    const JLIB::JResult result = KavoriAppThread::onTimer(timerId, count);
    if (timerId == kConnectTimerId) connectStep();
    return result;
}

void LpcMurRemoteThread::connectStep()
{
    LpcMurRemote& rack = LpcMurRemote::getInstance();
    if (rack.isConnected()) {
        (void)dbgPrintf("[UZ][MUR Remote] connected\n");
        (void)timers().getTimer(kConnectTimerId).stop();  // a listed timer always stops
        return;
    }
    const std::string address = LpcThreadCommon::getInstance().murServerAddress();
    (void)dbgPrintf("[UZ][MUR Remote] start connect to MUR server (%s)\n", address.c_str());
    if (JLIB::isFailure(rack.connect(address.c_str()))) {
        (void)dbgPrintf("[UZ][MUR Remote] connect failed\n");
        return;  // the timer runs on: the next attempt comes a period later
    }
    // The timer still runs: its next step finds the connection and stops it.
    sendEventCore(kEventMurConnectStateChanged);
}

void LpcMurRemoteThread::sendEventCore(uint32_t eventNumber)
{
    JLIB_ASSERT(eventNumber == kEventMurParameterChanged || eventNumber == kEventMurConnectStateChanged);
    (void)TMS::getThreadByName(kDeviceControlForUZ).sendEvent(eventNumber);  // a thread not in this build is not told
    (void)TMS::getThreadByName(kOSCServer).sendEvent(eventNumber);           // as above
}

JLIB::JResult LpcMurRemoteThread::onReceiveLocalEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveLocalEvent(eventNumber);
    LpcMurRemote& rack = LpcMurRemote::getInstance();
    switch (eventNumber) {
    case kEventReconnect:
        (void)rack.disconnect();  // refused only without a library, which never posts this
        if (JLIB::isFailure(startConnect())) {
            (void)outputLog("[E] LpcMurRemoteThread::onReceiveLocalEvent - Cannot restart the connect timer!\n");
        }
        sendEventCore(kEventMurConnectStateChanged);
        break;
    case kEventParameterChanged: sendEventCore(kEventMurParameterChanged); break;
    case kEventPackageLoaded: sendPackageMessage(); break;
    case kEventRecallStarted: (void)rack.setRecallState(RECALL_STATE_RECALLING); break;  // always 0
    case kEventRecallEnded: (void)rack.setRecallState(RECALL_STATE_NONE); break;         // as above
    case kEventSceneRecalled: sendSceneMessage("Recall", "Start"); break;
    case kEventSceneStored: sendSceneMessage("Store", "End"); break;
    case kEventCurrentChanged: sendSceneMessage("Current", "Changed"); break;
    default: break;
    }
    return result;
}

void LpcMurRemoteThread::sendPackageMessage()
{
    TMS::AbstractMessage message;
    const bool built = JLIB::isSuccess(message.initialize(TMS::kMessageUser, 0)) &&
                       JLIB::isSuccess(message.addData("CommandName", "Package")) &&
                       JLIB::isSuccess(message.addData("Operation", "Load")) &&
                       JLIB::isSuccess(message.addData("Status", "End")) &&
                       JLIB::isSuccess(message.addData("Factor", kRackFactor));
    if (built) sendToReceivers(message);
}

void LpcMurRemoteThread::sendSceneMessage(const char* operation, const char* status)
{
    // Read now, not when the server reported the event: the receivers want the rack as it is.
    const int32_t index =
        LpcThreadCommon::presetNoToSnapshotIndex(LpcMurRemote::getInstance().getCurrentPresetNum(kCurrentRack));
    TMS::AbstractMessage message;
    // "UZScene" for every operation: the name the OSC server acts on.
    const bool built = JLIB::isSuccess(message.initialize(TMS::kMessageUser, 0)) &&
                       JLIB::isSuccess(message.addData("CommandName", "UZScene")) &&
                       JLIB::isSuccess(message.addData("Operation", operation)) &&
                       JLIB::isSuccess(message.addData("Status", status)) &&
                       JLIB::isSuccess(message.addData("Factor", kRackFactor)) &&
                       JLIB::isSuccess(message.addData("Category", "MUR")) &&
                       JLIB::isSuccess(message.addData("Index", index));
    if (built) sendToReceivers(message);
}

JLIB::JResult LpcMurRemoteThread::willOnFoundChangedParameter()
{
    // Before the protocol memory is up nothing is opened; the walk then queues nothing either.
    (void)LpcUzProtoMemory::getInstance().setParametersInitialize(kBatchCapacity);
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemoteThread::onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                          uint32_t addressIndex, uint32_t x, uint32_t y, uint32_t)
{
    if (db.instanceId() != kDevicePDB || db.uniqId(componentIndex).id() >= kFirstNonProtocolComponent) {
        return JLIB::kOk;
    }
    const PDB::AddressId id = db.getAddressId(componentIndex, addressIndex);
    if (!id.strAddress()) return JLIB::kFailed;
    const std::string address = pdbToOsc(id.strAddress());
    MemoryIndex index = MEMORY_INDEX_NUM;
    JLIB_RETURN_IF_FAILED(getMemoryIndexFromOscAddress(index, address.c_str()));

    LpcUzProtoMemory& memory = LpcUzProtoMemory::getInstance();
    const MemoryAttribute attribute = memory.getMemoryAttribute(index, 0);
    JVariantList values;
    uint8_t tag = 0;
    uint32_t subIndex = 0;
    if (attribute.argNum == 1) {
        JVariant value;
        (void)db.getVariant(value, componentIndex, addressIndex, x, y, &tag);  // an unread value stays invalid and is refused
        values.push_back(value);
        subIndex = y;
    } else {
        // The members lie at consecutive addresses; each is read at sub-index 0.
        for (uint32_t i = 0; i < attribute.argNum; ++i) {
            JVariant value;
            (void)db.getVariant(value, componentIndex, addressIndex + i, x, 0, i == 0 ? &tag : nullptr);  // as above
            values.push_back(value);
        }
    }
    (void)memory.setValuesFromPDB(tag, index, address, x, subIndex, values);  // a refused value is not sent
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemoteThread::didOnFoundChangedParameter()
{
    LpcMurRemote::getInstance().setParametersFlush();
    // A timed recall ends with the walk that hands its values to the rack.
    if (dbg_isRecalling()) {
        dbg_endRecall();
        std::printf("********* onChangePDBParamFinished\n");
        (void)std::fflush(stdout);  // debug output: nothing to do when it cannot be flushed
    }
    return JLIB::kOk;
}

JLIB::JResult LpcMurRemoteThread::onFinalize()
{
    const JLIB::JResult result = KavoriAppThread::onFinalize();
    (void)timers().getTimer(kConnectTimerId).stop();  // the null timer when the library never loaded
    (void)LpcMurRemote::getInstance().finalize();     // always 0
    return result;
}

void callbackConnectError(void*)
{
    postToThread(LpcMurRemoteThread::kEventReconnect);
    (void)dbgPrintf("[UZ][MUR callback] Connect Error\n");
}

void callbackRemoteServerEvent(bool flag, int32_t eventType, void*)
{
    switch (eventType) {
    case kServerPackageLoaded:
        if (!flag) postToThread(LpcMurRemoteThread::kEventPackageLoaded);
        postToThread(LpcMurRemoteThread::kEventCurrentChanged);
        break;
    case kServerRecallStarted: postToThread(LpcMurRemoteThread::kEventRecallStarted); break;
    case kServerRecallEnded:
        postToThread(LpcMurRemoteThread::kEventRecallEnded);
        if (!flag) postToThread(LpcMurRemoteThread::kEventSceneRecalled);
        postToThread(LpcMurRemoteThread::kEventCurrentChanged);
        break;
    case kServerSceneStored:
        if (!flag) postToThread(LpcMurRemoteThread::kEventSceneStored);
        postToThread(LpcMurRemoteThread::kEventCurrentChanged);
        break;
    default: break;
    }
}

void callbackRemoteChangePluginParameter(bool flag, const char* moduleId, int32_t paramNo, void*)
{
    if (flag) return;
    // On the library's thread, at once: the write it makes reaches every subscriber as a change.
    (void)LpcUzProtoMemory::getInstance().updateMemory(static_cast<uint8_t>(kRackFactor), moduleId, paramNo);
}

}  // namespace LPC
