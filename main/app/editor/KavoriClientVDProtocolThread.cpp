#include "editor/KavoriClientVDProtocolThread.h"

#include <new>
#include <string>

#include "TMS/AbstractMessage.h"
#include "TMS/ThreadRepository.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "editor/VDMeterContainer.h"
#include "editor/VDProtocolClientUnit.h"
#include "editor/VDProtocolExecutor.h"
#include "editor/VDStartupOption.h"
#include "jlib/jlib_number.h"

namespace KAVORI {

namespace {

constexpr const char* kEditorAddress = "127.0.0.1";
constexpr uint32_t kReady = 1;
constexpr uint32_t kMaxPort = 0xFFFF;

}  // namespace

KavoriClientVDProtocolThread::KavoriClientVDProtocolThread() : KavoriAppThread(kQueueCapacity) {}

KavoriClientVDProtocolThread::~KavoriClientVDProtocolThread()
{
    m_pClientUnit.reset();
    m_pExecutor.reset();
}

JLIB::JResult KavoriClientVDProtocolThread::setThreadStatusForNormal()
{
    if (JLIB::isFailure(setSysParam("VDPState", 0, JVariant(kReady))) || JLIB::isFailure(flushSysParam())) {
        (void)outputLog("[E] KavoriClientVDProtocolThread::setThreadStatusForNormal - Cannot publish \"VDPState\"!\n");
        return JLIB::kFailed;
    }
    return JLIB::kOk;
}

void KavoriClientVDProtocolThread::releaseSystem()
{
    // From a thread of the tree the root only starts its staged release and returns at once.
    (void)TMS::getThreadByName("System").release();
}

void KavoriClientVDProtocolThread::connected() { (void)setThreadStatusForNormal(); }  // a failure is logged

void KavoriClientVDProtocolThread::connectFailed() { disconnected(); }

void KavoriClientVDProtocolThread::disconnected() { releaseSystem(); }

void KavoriClientVDProtocolThread::received(const VDProtocol::PacketContainer& packet)
{
    if (m_pExecutor) (void)m_pExecutor->received(packet);  // always 0
}

JLIB::JResult KavoriClientVDProtocolThread::wakeup(uint16_t, VCOM::IVCom&)
{
    return sendEvent(kEventSocket);
}

JLIB::JResult KavoriClientVDProtocolThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    const uint32_t previous = getStatus();  // the hook runs before the new status is stored
    const JLIB::JResult result = KavoriAppThread::onChangeStatus(status, arguments);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (previous == TMS::kStatusStop && status == TMS::kStatusRun) return openLink();
    return result;
}

JLIB::JResult KavoriClientVDProtocolThread::failLink(const char* why)
{
    (void)outputLog("[E] KavoriClientVDProtocolThread::onChangeStatus - %s: the engine ends.\n", why);
    releaseSystem();
    return JLIB::kFailed;
}

JLIB::JResult KavoriClientVDProtocolThread::openLink()
{
    const VDevice::VDStartupOption& options = VDevice::VDStartupOption::getInstance();
    const JVariant uid = options.deviceUID();
    const JVariant port = options.port();
    if (!uid.isValid() || !port.isValid()) {
        (void)setThreadStatusForNormal();  // a failure is logged
        return JLIB::kOk;
    }

    const char* portText = port.toString();
    const char* end = nullptr;
    int32_t portNumber = 0;
    const uint32_t length = port.getStringLength() > 0 ? port.getStringLength() - 1 : 0;
    const JLIB::JResult parsed = jlib_strntol(&portNumber, portText, &end, 10, length);
    if (length == 0 || JLIB::isFailure(parsed) || end != portText + length || portNumber < 0 ||
        uint32_t(portNumber) > kMaxPort) {
        return failLink("Cannot read the editor's port");
    }

    VCOM::VComSocketAddress address;
    if (JLIB::isFailure(address.set(NETC_AF_INET, kEditorAddress))) return failLink("Cannot make the editor's address");
    const std::string identifier = uid.toString() ? uid.toString() : "";
    auto unit = std::unique_ptr<VDProtocol::VDProtocolClientUnit>(new (std::nothrow) VDProtocol::VDProtocolClientUnit);
    if (!unit) return failLink("Cannot create the client unit");
    if (JLIB::isFailure(unit->initialize(identifier, address, *this, *this))) {
        return failLink("Cannot set up the client unit");
    }
    auto executor =
        std::unique_ptr<VDevice::VDProtocolExecutor>(new (std::nothrow) VDevice::VDProtocolExecutor(identifier, unit.get()));
    if (!executor) return failLink("Cannot create the executor");
    m_pClientUnit = std::move(unit);
    m_pExecutor = std::move(executor);
    if (JLIB::isFailure(m_pClientUnit->connect(address, static_cast<uint16_t>(portNumber)))) {
        return failLink("Cannot connect to the editor");
    }
    return JLIB::kOk;
}

JLIB::JResult KavoriClientVDProtocolThread::onChangeRunMode(RUNMODE runMode)
{
    const JLIB::JResult result = KavoriAppThread::onChangeRunMode(runMode);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (runMode == 0 && m_pClientUnit && m_pExecutor && m_pClientUnit->isConnected()) {
        return m_pExecutor->sendConnected();
    }
    return result;
}

JLIB::JResult KavoriClientVDProtocolThread::onChangePDBStatus(PDBSTAT state)
{
    const JLIB::JResult result = KavoriAppThread::onChangePDBStatus(state);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (state == kReady) return registerSubscribeId(0, PDB::SubscribeAttr(0));
    return result;
}

JLIB::JResult KavoriClientVDProtocolThread::onChangeSystemInfo()
{
    const JLIB::JResult result = KavoriAppThread::onChangeSystemInfo();
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (isSysParamChanged("EditorState", 0, true)) return onChangeSyncState();
    return result;
}

// The editor's meter interval, read anew at each arming so a change applies from the next pass.
uint32_t KavoriClientVDProtocolThread::meterIntervalMs()
{
    return static_cast<uint32_t>(VDevice::VDMeterContainer::getInstance().getIntervalTime());  // 60 or more
}

JLIB::JResult KavoriClientVDProtocolThread::onChangeSyncState()
{
    JVariant state;
    if (JLIB::isFailure(getSysParam(state, "EditorState", 0))) return JLIB::kFailed;
    if (!m_pExecutor) return JLIB::kOk;
    const uint32_t editorState = state.toUInt32();
    (void)m_pExecutor->changeSyncStatus(editorState);  // its reply failure is its own
    if (VDevice::VDProtocolExecutor::deviceStatus(editorState) == VDevice::VDProtocolExecutor::kStatusOnline) {
        if (JLIB::isSuccess(timers().addTimer(kMeterTimerId, meterIntervalMs(), false, this))) {
            (void)timers().getTimer(kMeterTimerId).start();  // a listed timer always starts
        }
    } else {
        (void)timers().getTimer(kMeterTimerId).stop();     // the null timer when none
        (void)timers().deleteTimer(kMeterTimerId, false);  // none listed: nothing to delete
    }
    return JLIB::kOk;
}

void KavoriClientVDProtocolThread::rearmMeterTimer()
{
    (void)timers().getTimer(kMeterTimerId).stop();     // as above
    (void)timers().deleteTimer(kMeterTimerId, false);  // as above
    if (!m_pExecutor || m_pExecutor->deviceStatus() != VDevice::VDProtocolExecutor::kStatusOnline) return;
    // One shot: the next pass comes one whole interval after this one has returned.
    if (JLIB::isSuccess(timers().addTimer(kMeterTimerId, meterIntervalMs(), true, this))) {
        (void)timers().getTimer(kMeterTimerId).start();  // as above
    }
}

JLIB::JResult KavoriClientVDProtocolThread::onReceiveLocalEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveLocalEvent(eventNumber);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (eventNumber == kEventSocket && m_pClientUnit) return m_pClientUnit->runCallback();
    if (eventNumber == kEventRearmMeter) rearmMeterTimer();
    return result;
}

JLIB::JResult KavoriClientVDProtocolThread::onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex,
                                                                    uint32_t addressIndex, uint32_t x, uint32_t y,
                                                                    uint32_t subscriptionId)
{
    const JLIB::JResult result =
        KavoriAppThread::onFoundChangedParameter(db, componentIndex, addressIndex, x, y, subscriptionId);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    // A parameter the editor cannot be told of (a BINARY one) or a full send queue loses only
    // this notification.
    if (m_pExecutor) (void)m_pExecutor->sendNotifyForParameterValue(db, componentIndex, addressIndex, x, y);
    return JLIB::kOk;
}

JLIB::JResult KavoriClientVDProtocolThread::onTimer(uint32_t timerId, uint32_t count)
{
    const JLIB::JResult result = KavoriAppThread::onTimer(timerId, count);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (!m_pExecutor) return result;
    if (timerId == kDetectTimerId) return m_pExecutor->detectDevice();
    if (timerId == kMeterTimerId) {
        (void)m_pExecutor->getMeter();  // the pass's failures are its own
        return sendEvent(kEventRearmMeter);
    }
    return result;
}

JLIB::JResult KavoriClientVDProtocolThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    JVariant runMode;
    (void)getSysParam(runMode, "RunMode", 0);  // an undeclared parameter reads as invalid, 0
    if (runMode.toUInt32() != 0 || message.messageId() != 0) return result;
    const JVariant& name = message.data("CommandName");
    const char* text = name.toString();
    if (!text) return result;
    const std::string command(text);
    if (command == "DetectStart") {
        if (JLIB::isSuccess(timers().addTimer(kDetectTimerId, kDetectIntervalMs, false, this))) {
            (void)timers().getTimer(kDetectTimerId).start();  // a listed timer always starts
        }
    } else if (command == "DetectStop") {
        (void)timers().getTimer(kDetectTimerId).stop();     // the null timer when none
        (void)timers().deleteTimer(kDetectTimerId, false);  // none listed: nothing to delete
    } else if (m_pExecutor) {
        routeAnswer(command, message);
    }
    return result;
}

void KavoriClientVDProtocolThread::routeAnswer(const std::string& command, const TMS::AbstractMessage& message)
{
    const auto number = [&message](const char* key) { return message.data(key).toUInt32(); };
    // Each answer's own failure (no pending request, a failed send) is the executor's to judge.
    if (command == "Re:addComponent" || command == "Re:removeComponent") {
        (void)m_pExecutor->replyAddComponent(number("Result"), number("UniqID"));
    } else if (command == "Re:changeComponentType") {
        (void)m_pExecutor->replyChangeComponent(number("Result"), number("UniqID"));
    } else if (command == "Re:addConnection") {
        (void)m_pExecutor->replyAddConnect(number("Result"), number("toUniqId"), number("toPortNo"),
                                           number("fromUniqId"), number("fromPortNo"));
    } else if (command == "Notify:compileResult") {
        (void)m_pExecutor->replyCompile(number("Result"));
    } else if (command == "Re:getTotalProcessingResourceUsage") {
        (void)m_pExecutor->replyGetComponentResource(number("Result"));
    } else if (command == "Re:Synchronize") {
        (void)m_pExecutor->replySynchronize(number("Result"), number("Progress"));
    } else if (command == "Re:Asynchronous") {
        (void)m_pExecutor->replyAsynchronous(number("Result"), number("Progress"));
    } else if (command == "Re:Disconnect") {
        (void)m_pExecutor->replyDisconnect(number("Result"));
    }
}

}  // namespace KAVORI
