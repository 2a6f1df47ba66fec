#include "common/Lpc/LpcOscServerThread.h"

#include <string>

#include "OscServer/OscCore/IOscParameterCallback.h"
#include "OscServer/OscCore/OscServer.h"
#include "PDB/pdb_AddressId.h"
#include "PDB/pdb_IParameterDB.h"
#include "TMS/AbstractMessage.h"
#include "TMS/ThreadRepository.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzPDBParamOscEvent.h"
#include "common/Lpc/LpcValueHelper.h"
#include "jlib/JVariant.h"

namespace LPC {

namespace {

// Writes of the device logic and the rack bridge carry this factor; clients have 1 to 10.
constexpr uint8_t kDeviceFactor = 255;
constexpr uint8_t kFirstClientFactor = 1;
constexpr uint8_t kLastClientFactor = 10;
// The reason of a loaded package: the server tells no client of it.
constexpr uint32_t kReasonPackageLoaded = 4;

// The message's value on the left: only a text equal to the name matches, a missing key never.
bool isText(const TMS::AbstractMessage& message, const char* key, const char* text)
{
    return message.data(key) == JVariant(text, static_cast<unsigned int>(std::char_traits<char>::length(text)));
}

struct SnapshotRow {
    const char* commandName;
    const char* operation;
    const char* status;
    uint32_t reason;
};

const SnapshotRow kSnapshotRows[] = {
    {"UZScene", "Recall", "Start", JOSC::IOscParameterCallback::kSSChangeRecall},
    {"UZScene", "Current", "Changed", JOSC::IOscParameterCallback::kSSChangeCurrent},
    {"UZScene", "Store", "End", JOSC::IOscParameterCallback::kSSChangeUpdate},
    {"Package", "Load", "End", kReasonPackageLoaded},
};

}  // namespace

LpcOscServerThread::LpcOscServerThread() : KAVORI::KavoriAppThread(1) {}

LpcOscServerThread::~LpcOscServerThread()
{
    // The server is driven from the thread's task: that task must have ended before it goes.
    if (getTaskId() != kNoId && !isCallerOwnTask()) (void)release();  // a failure is logged by the base
    JOSC::destroyOscServer(m_pServer);
    m_pServer = nullptr;
}

JLIB::JResult LpcOscServerThread::startServer()
{
    if (m_pServer) {
        (void)outputLog("[W] LpcOscServerThread::startServer - The OSC server exists already, a second one is refused.\n");
        return JLIB::kFailed;
    }
    m_pServer = JOSC::createOscServer(0);
    if (!m_pServer) {
        (void)outputLog("[E] LpcOscServerThread::startServer - Cannot create the OSC server!\n");
        return JLIB::kFailed;
    }
    const LpcThreadCommon& settings = LpcThreadCommon::getInstance();
    const auto txPort = static_cast<uint16_t>(settings.oscTxPort() & 0xFFFFu);
    const auto rxPort = static_cast<uint16_t>(settings.oscRxPort() & 0xFFFFu);
    const VCOM::VComSocketAddress anyAddress(NETC_AF_INET, "0.0.0.0");
    const JLIB::JResult result =
        m_pServer->initialize(kClientSlotNum, anyAddress, txPort, rxPort, this, &oscServerWakeupFunction,
                              m_deviceController, m_parameters, m_meters, JOSC::kNetworkOrigin1);
    if (JLIB::isFailure(result)) return result;  // the server has logged why; it stays, without timer
    JLIB_RETURN_IF_FAILED(timers().addTimer(kServerTimerId, kServerTimerPeriodMs, false, this));
    JLIB_RETURN_IF_FAILED(timers().getTimer(kServerTimerId).start());
    return result;
}

JLIB::JResult LpcOscServerThread::wakeup(uint16_t ownerTaskId, VCOM::IVCom&)
{
    (void)TMS::getThreadByTaskId(ownerTaskId).sendEvent(kEventSocket);  // a thread gone has no server to run
    return JLIB::kOk;
}

uint32_t oscServerWakeupFunction(uint16_t taskId, uint8_t, uint32_t, uint32_t, uint32_t)
{
    (void)TMS::getThreadByTaskId(taskId).sendEvent(LpcOscServerThread::kEventParameterWritten);  // as above
    return JLIB::kOk;
}

JLIB::JResult LpcOscServerThread::onTimer(uint32_t timerId, uint32_t count)
{
    const JLIB::JResult result = KavoriAppThread::onTimer(timerId, count);
    if (timerId == kServerTimerId && m_pServer) (void)m_pServer->onTimer();  // always 0
    return result;
}

JLIB::JResult LpcOscServerThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    return KavoriAppThread::onInitialize(arguments);
}

JLIB::JResult LpcOscServerThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    if (status == TMS::kStatusRun && getStatus() == TMS::kStatusStop) {
        (void)registerSubscribeId(0, PDB::SubscribeAttr(1));  // always 0
    }
    return KavoriAppThread::onChangeStatus(status, arguments);
}

JLIB::JResult LpcOscServerThread::onChangeSystemInfo() { return KavoriAppThread::onChangeSystemInfo(); }

JLIB::JResult LpcOscServerThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    if (message.messageId() != 0) return result;
    if (isText(message, "CommandName", "ServerStart")) return startServer();
    for (const SnapshotRow& row : kSnapshotRows) {
        if (isText(message, "CommandName", row.commandName) && isText(message, "Operation", row.operation) &&
            isText(message, "Status", row.status)) {
            return snapshotChanged(message, row.reason);
        }
    }
    return result;
}

JLIB::JResult LpcOscServerThread::snapshotChanged(const TMS::AbstractMessage& message, uint32_t reason)
{
    const JVariant& category = message.data("Category");
    if (!m_pServer || category.getType() != JVariant::kTypeString) return JLIB::kOk;
    const auto origin = static_cast<uint8_t>(message.data("Factor").toUInt32() & 0xFFu);
    const std::string name = toStr(message.data("Index"));
    return m_pServer->onSnapshotChanged(origin, category.toString(), name,
                                        static_cast<JOSC::IOscParameterCallback::SSChangeReason>(reason));
}

JLIB::JResult LpcOscServerThread::onFinalize() { return KavoriAppThread::onFinalize(); }

JLIB::JResult LpcOscServerThread::onChangeRunMode(KAVORI::RUNMODE) { return JLIB::kOk; }

JLIB::JResult LpcOscServerThread::onReceiveLocalEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveLocalEvent(eventNumber);
    if (eventNumber == kEventSocket && m_pServer) (void)m_pServer->runSocketCallback();  // failures are the server's
    return result;
}

JLIB::JResult LpcOscServerThread::onMurParameterChanged()
{
    (void)sendEvent(kEventParameterWritten);  // to itself: nothing to do when the queue refuses
    return JLIB::kOk;
}

JLIB::JResult LpcOscServerThread::onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                          uint32_t addressIndex, uint32_t x, uint32_t y, uint32_t)
{
    JVariant value;
    uint8_t factor = 0;
    (void)db.getVariant(value, componentIndex, addressIndex, x, y, &factor);  // an unread element counts as factor 0
    const PDB::AddressId id = db.getAddressId(componentIndex, addressIndex);
    const char* address = id.strAddress();
    uint32_t member = 0;
    uint32_t count = 0;
    JLIB_RETURN_IF_FAILED(getArgNoFromPdbAddressWithPostFix(address, member, count));
    const std::string pdbAddress(address);

    if (member == 0) {
        // The members lie at consecutive addresses; one written by the device makes the whole
        // change the device's, so every client is told, the writer of another member included.
        if (count > 1) {
            for (uint32_t i = 0; i < count; ++i) {
                uint8_t memberFactor = 0;
                (void)db.getVariant(value, componentIndex, addressIndex + i, x, y, &memberFactor);  // as above
                if (memberFactor == kDeviceFactor) {
                    factor = kDeviceFactor;
                    break;
                }
            }
        }
        (void)m_parameters.parameterChanged(pdbAddress, x, y, factor);  // an address without a row is no OSC parameter  // an address without a row is no OSC parameter
    }

    if (factor >= kFirstClientFactor && factor <= kLastClientFactor) {
        std::string event;
        JOSC::JVariantList arguments;
        const LpcUzPDBParamOscEvent associated;
        if (JLIB::isSuccess(associated.getAssociatedOscEvent(pdbAddress, x, y, factor, value, event, arguments)) &&
            !event.empty() && event.find("Scene/Store") != std::string::npos && arguments.size() == 3) {
            (void)m_deviceController.runEvent(factor, event, arguments);  // the store logs its own failures
        }
    }
    return JLIB::kOk;
}

}  // namespace LPC
