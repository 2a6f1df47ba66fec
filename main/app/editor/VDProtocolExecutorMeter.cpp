// The executor's meter commands and the meter notifications of the editor-link thread's meter
// tick: the editor registers components in the meter registry and gets one "meter" notification
// per registered component at each interval while the device is online.
#include <cstring>
#include <string>

#include "TMS/AbstractMessage.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "dravo/manager/dravo_AudioComponentCollection.h"
#include "dravo/manager/dravo_MeterPool.h"
#include "editor/ParameterAddress.h"
#include "editor/VDMeterContainer.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;

namespace {

// The text of a key holding a text; false for a missing key or a value of another type, which
// must not be read as a registration.
bool textOf(std::string& out, const ArgumentMap& map, const char* key)
{
    if (map.getType(key) != JVariant::kTypeString) return false;
    const char* chars = map.toString(key);
    out = chars ? chars : "";
    return true;
}

// The two upper-case hexadecimal digits of a meter byte.
std::string hexByte(uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

// ---- requests

JLIB::JResult VDProtocolExecutor::walkMeterList(const PacketContainer& request, bool regist)
{
    std::string meterId;
    if (!textOf(meterId, request.cmndInfo(), VDProtocol::KEY_METER_ID)) return RESULT_FAILED;
    VDMeterContainer& meters = VDMeterContainer::getInstance();
    if (!regist && meterId == VDProtocol::ALL_METER_ID) {
        (void)meters.clear();  // always true
        return JLIB::kOk;
    }
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        MeterInfo info{meterId, ""};
        if (!textOf(info.componentAddress, request.cmndListItem(i), VDProtocol::KEY_PRM_ADDR)) return RESULT_FAILED;
        // An empty text, or a registration that does not exist, is passed over.
        if (regist) {
            (void)meters.regist(info);
        } else {
            (void)meters.unregist(info);
        }
    }
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execAddComponentMeter(const PacketContainer& request)
{
    JLIB::JResult result = walkMeterList(request, true);
    if (JLIB::isSuccess(result)) result = sendMessageMeterListChange();
    return replyResult(request, result);
}

JLIB::JResult VDProtocolExecutor::execDelComponentMeter(const PacketContainer& request)
{
    JLIB::JResult result = walkMeterList(request, false);
    if (JLIB::isSuccess(result)) result = sendMessageMeterListChange();
    return replyResult(request, result);
}

JLIB::JResult VDProtocolExecutor::execGetDataComponentMeter(const PacketContainer& request)
{
    PacketContainer reply(request);
    for (const std::string& address : VDMeterContainer::getInstance().componentAddrList()) {
        ArgumentMap item;
        (void)item.insertString(VDProtocol::KEY_PRM_ADDR, address);  // a fresh key: 0
        (void)reply.addCmndListItem(item);                           // always 0
    }
    return replyResult(reply, JLIB::kOk);
}

JLIB::JResult VDProtocolExecutor::execSetMeterInfo(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    if (!info.hasKey(VDProtocol::KEY_METER_TIME)) return replyResult(request, RESULT_FAILED);
    const int type = info.getType(VDProtocol::KEY_METER_TIME);
    const bool isInteger = type == JVariant::kTypeInt32 || type == JVariant::kTypeUInt32;
    const int32_t interval = isInteger ? static_cast<int32_t>(info.toUInt32(VDProtocol::KEY_METER_TIME)) : 0;
    // The registry refuses a short interval and keeps its own; the editor is not told.
    (void)VDMeterContainer::getInstance().setIntervalTime(interval);
    return replyResult(request, JLIB::kOk);
}

JLIB::JResult VDProtocolExecutor::execSetPeakHold(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    if (!info.hasKey(VDProtocol::KEY_PEAK_HOLD_ON)) return replyResult(request, RESULT_FAILED);
    return replyResult(request, setParameterValue("MeterPeakHold", info.toJVariant(VDProtocol::KEY_PEAK_HOLD_ON)));
}

JLIB::JResult VDProtocolExecutor::execDelPeakHold(const PacketContainer& request)
{
    return replyResult(request, JLIB::kOk);
}

JLIB::JResult VDProtocolExecutor::sendMessageMeterListChange()
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);   // a user message of id 0 always initialises
    (void)message.addData("CommandName", "MeterList");  // a short text always fits
    return JLIB::isFailure(message.sendWithWaiting("Sync")) ? RESULT_FAILED : JLIB::kOk;
}

// ---- the meter tick

JLIB::JResult VDProtocolExecutor::getMeter()
{
    if (!isOnline()) return JLIB::kOk;
    // A component that fails (removed while registered) costs only its own notification: the
    // others are still sent, and the first failure is what the tick returns.
    JLIB::JResult first = JLIB::kOk;
    JLIB::JResult last = JLIB::kOk;
    for (const std::string& address : VDMeterContainer::getInstance().componentAddrList()) {
        last = sendNotifyForMeterValue(address, false);
        if (JLIB::isFailure(last) && JLIB::isSuccess(first)) first = last;
    }
    return JLIB::isFailure(first) ? first : last;
}

JLIB::JResult VDProtocolExecutor::buildMeterNotify(PacketContainer& notify, const std::string& address,
                                                   const PARRAY::ArrayAccessorForServer& table)
{
    const PARRAY::ArrayInfo* infos = table.arrayInfoTable();
    if (!infos || table.arrayIDNum() == 0) return RESULT_FAILED;
    ArgumentMap info;
    // Fresh keys and short texts: 0. The name field need not end within its 16 bytes.
    (void)info.insertString(VDProtocol::KEY_PRM_ADDR, address);
    (void)info.insertString(VDProtocol::KEY_METER_TYPE,
                            std::string(infos[0].extInfo, strnlen(infos[0].extInfo, sizeof infos[0].extInfo)));
    // Built in place: the packet holds a list item per meter byte, and copying it costs as much
    // as building it.
    notify.clear();
    (void)notify.setCommandName(VDProtocol::CMDNAME_METER);  // plain setters: 0
    (void)notify.setCmndInfo(info);
    for (uint32_t id = 0; id < table.arrayIDNum(); ++id) {
        void* data = nullptr;
        uint32_t size = 0;
        const JLIB::JResult read = table.getArrayPointer(data, size, id);
        if (JLIB::isFailure(read)) {
            notify.clear();
            return read;
        }
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        for (uint32_t i = 0; i < size; ++i) {
            ArgumentMap item;
            (void)item.insert(VDProtocol::KEY_METER_INDEX, i);  // as above
            (void)item.insertString(VDProtocol::KEY_METER_VAL, hexByte(bytes[i]));
            (void)notify.addCmndListItem(item);  // always 0
        }
    }
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::sendNotifyForMeterValue(const std::string& address, bool peakHold)
{
    std::string dbName;
    uint32_t componentId = 0;
    JLIB_RETURN_IF_FAILED(VDProtocol::ParameterAddress::divide(dbName, componentId, address));
    DRAVO::AudioComponentCollection* collection = DRAVO::AudioComponentCollection::singleton();
    DRAVO::AudioComponent* component = collection ? collection->component(componentId) : nullptr;
    if (!component) return RESULT_FAILED;
    const DRAVO::MeterPool& pool = component->meterPool();
    PacketContainer notify;
    JLIB_RETURN_IF_FAILED(
        buildMeterNotify(notify, address, peakHold ? pool.holdMeterArrayAccessor() : pool.normalMeterArrayAccessor()));
    // What sendNotify does, without its copy of the whole list.
    (void)notify.setCategory(VDProtocol::COM_NOTIFY);  // plain setters: 0
    (void)notify.setFrom(deviceId());
    return transmit(notify);
}

}  // namespace VDevice
