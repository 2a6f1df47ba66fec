#include "common/OPVDspMeterThread.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "TMS/AbstractMessage.h"
#include "VUviRido/Socket/VComSocketAddress.h"
#include "VUviRido/Socket/VComUdpSocket.h"
#include "common/PlayerStatusDB.h"
#include "common/convJVariantToString.h"
#include "dbgc/dbgc_stdapi.h"
#include "dravo/common/dravo_IParamInfoFunction_V1.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "jlib/JVariant.h"
#include "parray/ArrayInfo.h"

namespace KAVORI {

namespace {

constexpr uint32_t kUserId = 0;

uint32_t keyOf(const TMS::AbstractMessage& message, const char* key) { return message.data(key).toUInt32(); }

}  // namespace

OPVDspMeterThread::OPVDspMeterThread(uint16_t meterPort) : KavoriAppThread(1), m_meterPort(meterPort) {}

OPVDspMeterThread::~OPVDspMeterThread() = default;

JLIB::JResult OPVDspMeterThread::processMeterNotification(uint32_t, uint32_t uniqID, uint32_t arrayNo,
                                                          uint32_t byteOffset, uint32_t byteCount,
                                                          const unsigned char* bytes)
{
    if (!bytes) return JLIB::kFailed;
    DRAVO::AudioComponent* component = DRAVO::AudioComponentCollection::singleton()->component(uniqID);
    if (!component) return JLIB::kFailed;
    const JLIB::JResult r = component->meterPool().setRawMeterDataBinary(arrayNo, byteOffset, byteCount, bytes);
    return JLIB::isFailure(r) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult OPVDspMeterThread::processPlayerStatusNotification(uint32_t, uint32_t word1, uint32_t word2,
                                                                 uint32_t firstCore, uint32_t coreCount,
                                                                 uint32_t byteCount, const TPCP::CoreInfo* cores)
{
    if (!cores) return JLIB::kFailed;
    // The player sends signed numbers: a negative one would index before the core table, and
    // count × 20 must not wrap to match a short blob.
    if (int32_t(firstCore) < 0 || int32_t(coreCount) < 0) return JLIB::kFailed;
    if (uint64_t(coreCount) * kCoreInfoSize != byteCount) return JLIB::kFailed;
    DRAVO::PlayerStatusDB& store = DRAVO::PlayerStatusDB::singleton();
    store.word1 = word1;
    store.word2 = word2;
    const uint32_t limit = std::min<uint32_t>(store.coreCount, DRAVO::PlayerStatusDB::kCoreNum);
    for (uint32_t k = 0; k < coreCount && firstCore + k < limit; ++k) store.cores[firstCore + k] = cores[k];
    return JLIB::kOk;
}

JLIB::JResult OPVDspMeterThread::wakeup(uint16_t, VCOM::IVCom& object)
{
    if (!m_pSocket || &object != static_cast<VCOM::IVCom*>(m_pSocket.get())) return JLIB::kFailed;
    return JLIB::isFailure(sendEvent(kEventSocket)) ? JLIB::kFailed : JLIB::kOk;
}

JLIB::JResult OPVDspMeterThread::onConnected(uint32_t, signed char) { return JLIB::kOk; }
JLIB::JResult OPVDspMeterThread::onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) { return JLIB::kOk; }
JLIB::JResult OPVDspMeterThread::onDisconnected(uint32_t, signed char) { return JLIB::kOk; }
JLIB::JResult OPVDspMeterThread::onAccepted(uint32_t, signed char, signed char) { return JLIB::kOk; }
JLIB::JResult OPVDspMeterThread::onSent(uint32_t, signed char) { return JLIB::kOk; }
JLIB::JResult OPVDspMeterThread::onCommunicationFailed(uint32_t, signed char, VCOM::CommError) { return JLIB::kOk; }

JLIB::JResult OPVDspMeterThread::onReceived(uint32_t userId, signed char)
{
    if (userId != kUserId) return JLIB::kOk;
    if (!m_pSocket) return JLIB::kFailed;
    return m_reader.onReceived(*m_pSocket, m_notifications, *this);
}

JLIB::JResult OPVDspMeterThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    (void)m_notifications.createMeterNotificationMap();  // always 0
    m_pSocket.reset(new (std::nothrow) VCOM::VComUdpSocket());
    if (!m_pSocket) return JLIB::kFailed;
    (void)m_pSocket->start(kUserId, *this);  // always 0
    return KavoriAppThread::onInitialize(arguments);
}

JLIB::JResult OPVDspMeterThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    const JLIB::JResult result = KavoriAppThread::onChangeStatus(status, arguments);
    if (status == TMS::kStatusRun && JLIB::isSuccess(timers().addTimer(kBindTimerId, kBindTimerMs, false, this))) {
        (void)timers().getTimer(kBindTimerId).start();  // a listed timer always starts
        bindChannel();  // the first tick is a second away: bind at once
    }
    if (status == TMS::kStatusClosing) (void)timers().getTimer(kBindTimerId).stop();  // the null timer when none
    return result;
}

JLIB::JResult OPVDspMeterThread::onTimer(uint32_t timerId, uint32_t count)
{
    (void)KavoriAppThread::onTimer(timerId, count);  // does nothing
    if (timerId == kBindTimerId) bindChannel();
    return JLIB::kOk;
}

void OPVDspMeterThread::bindChannel()
{
    if (!m_pSocket || m_pSocket->isConnected()) return;
    VCOM::VComSocketAddress local;
    if (JLIB::isFailure(local.set(NETC_AF_INET, TPCP::kDefaultPlayerAddress))) return;
    (void)m_pSocket->listen(local, m_meterPort);  // a port in use is tried again on the next tick
}

JLIB::JResult OPVDspMeterThread::onReceiveEvent(uint32_t eventNumber)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveEvent(eventNumber);
    if (JLIB::isFailure(result)) return JLIB::kFailed;
    if (eventNumber == kEventSocket && m_pSocket) (void)m_pSocket->runCallback(*this);  // callbacks report for themselves
    return result;
}

JLIB::JResult OPVDspMeterThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    if (message.messageType() != TMS::kMessageUser || message.messageId() != 0) return result;
    JVariant runMode;
    (void)getSysParam(runMode, "RunMode", 0);  // undeclared: 0
    if (runMode.toUInt32() != 0) return result;
    const char* command = message.data("CommandName").toString();
    if (command && std::strcmp(command, "[Debug]printRawMeter") == 0) {
        printRawMeter(keyOf(message, "UniqID"), keyOf(message, "MeterID"), keyOf(message, "Pos1"),
                      keyOf(message, "Pos2"), keyOf(message, "Pos3"));
    }
    return result;
}

void OPVDspMeterThread::printRawMeter(uint32_t uniqID, uint32_t meterID, uint32_t pos1, uint32_t pos2, uint32_t pos3)
{
    DRAVO::AudioComponent* c = DRAVO::AudioComponentCollection::singleton()->component(uniqID);
    if (!c || !c->paramInfoFunction()) return;
    const PARRAY::ArrayInfo* infos = nullptr;
    uint32_t count = 0;
    if (JLIB::isFailure(c->paramInfoFunction()->getMeterArrayInfoTable(infos, count)) || !infos || meterID >= count) {
        return;
    }
    const PARRAY::ArrayAccessorForServer& table = c->meterPool().rawMeterArrayAccessor();
    JVariant value;
    switch (infos[meterID].type) {
    case PARRAY::kTypeUINT32: value = JVariant(table.getParam<uint32_t>(meterID, pos1, pos2, pos3)); break;
    case PARRAY::kTypeSINT32: value = JVariant(table.getParam<int32_t>(meterID, pos1, pos2, pos3)); break;
    case PARRAY::kTypeFLOAT: value = JVariant(table.getParam<float>(meterID, pos1, pos2, pos3)); break;
    default: return;
    }
    std::string text;
    (void)convJVariantToString(value, text);  // always 0
    (void)dbgPrintf("get raw meter value: UniqID:%d MeterID:%d pos1:%d pos2:%d pos3:%d value:[%s]\n", int(uniqID),
                    int(meterID), int(pos1), int(pos2), int(pos3), text.c_str());
}

JLIB::JResult OPVDspMeterThread::onFinalize()
{
    const JLIB::JResult result = KavoriAppThread::onFinalize();
    if (m_pSocket) {
        (void)m_pSocket->disconnect();  // UDP: nothing to close
        (void)m_pSocket->stop();
        m_pSocket.reset();
    }
    (void)m_notifications.freeMeterNotificationMap();  // always 0
    return result;
}

}  // namespace KAVORI
