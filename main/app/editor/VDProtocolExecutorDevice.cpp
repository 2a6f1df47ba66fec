// The executor's device information and device settings commands.
#include <string>

#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_ParameterInfo.h"
#include "common/KavoriProductInfo.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "ossupport/ossupport_IPv4Address.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;

namespace {

constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
constexpr uint32_t kRealSmaller = 0x80000001u;
constexpr uint32_t kRealLarger = 0x80000002u;

// The reads "dev_info" needs, in the order they are made.
enum DeviceInfoRead {
    kFirmwareVersion,
    kSerialNo,
    kRealSyncVersion,
    kRealDeviceLabel,
    kRealUnitID,
    kOPVCapacity,
    kIPMode,
    kStaticIPAddress,
    kStaticSubnetMask,
    kStaticGateway,
    kCurrentIPAddress,
    kCurrentSubnetMask,
    kCurrentGateway,
    kVirtualDeviceLabel,
    kVirtualUnitID,
    kVirtualSyncVersion,
    kVDeviceCapacity,
    kDeviceInfoReadNum,
};

const char* const kDeviceInfoKeys[kDeviceInfoReadNum] = {
    "FirmwareVersion",  "SerialNo",          "RealSyncVersion",  "RealDeviceLabel",    "RealUnitID",
    "OPVCapacity",      "IPMode",            "StaticIPAddress",  "StaticSubnetMask",   "StaticGateway",
    "CurrentIPAddress", "CurrentSubnetMask", "CurrentGateway",   "VirtualDeviceLabel", "VirtualUnitID",
    "VirtualSyncVersion", "VDeviceCapacity",
};

std::string textOf(const JVariant& value)
{
    const char* chars = value.toString();
    return chars ? chars : "";
}

std::string dotted(const JVariant& value)
{
    OSSUPPORT::IPv4Address address;
    (void)address.set(value.toUInt32());  // any 32-bit value is an address
    return address.get();
}

}  // namespace

const PRM_ADDR_INFO& VDProtocolExecutor::prmAddrInfo(const std::string& key)
{
    for (const PRM_ADDR_INFO& entry : PRM_ADDR_INFO_TABLE) {
        if (key == entry.key) return entry;
    }
    return PRM_ADDR_INFO_TABLE[0];
}

JLIB::JResult VDProtocolExecutor::getParameterValue(JVariant& value, const std::string& key) const
{
    const PRM_ADDR_INFO& entry = prmAddrInfo(key);
    if (entry.dbName[0] == '\0') return RESULT_FAILED;
    return getParameterValue(value, entry.dbName, entry.componentId, entry.path, entry.x, entry.y);
}

JLIB::JResult VDProtocolExecutor::setParameterValue(const std::string& key, const JVariant& value)
{
    const PRM_ADDR_INFO& entry = prmAddrInfo(key);
    if (entry.dbName[0] == '\0') return RESULT_FAILED;
    return setParameterValue(entry.dbName, entry.componentId, entry.path, entry.x, entry.y, value);
}

JLIB::JResult VDProtocolExecutor::getParameterInfo(const PRM_ADDR_INFO& entry, JVariant& value,
                                                   PDB::ParameterInfo& info) const
{
    PDB::IParameterDB* db = parameterDB(entry.dbName);
    if (!db) return RESULT_FAILED;
    PDB::MutexReadLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(entry.componentId));
    if (ci == kNoIndex) return RESULT_FAILED;
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(entry.componentId), entry.path);
    info = db->paramInfo(ci, ai);
    return db->getVariant(value, ci, ai, entry.x, entry.y, nullptr);
}

uint32_t VDProtocolExecutor::compareCapacity(uint32_t real, uint32_t virtualCapacity)
{
    if (real == virtualCapacity) return JLIB::kOk;
    return real < virtualCapacity ? kRealSmaller : kRealLarger;
}

JLIB::JResult VDProtocolExecutor::replyResult(const PacketContainer& request, JLIB::JResult result)
{
    PacketContainer reply(request);
    (void)reply.setResult(result, PacketContainer::kMaxProgress, "");  // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::execGetDeviceInfo(const PacketContainer& request)
{
    JVariant values[kDeviceInfoReadNum];
    for (int i = 0; i < kDeviceInfoReadNum; ++i) {
        const JLIB::JResult result = getParameterValue(values[i], kDeviceInfoKeys[i]);
        if (JLIB::isFailure(result)) {
            // Half an identity would read as a device that has one: the code and no information.
            PacketContainer reply(request);
            (void)reply.setCmndInfo(ArgumentMap());  // plain setter: 0
            return replyResult(reply, result);
        }
    }
    ArgumentMap info;
    // Text inserts always answer 0, number inserts under a non-empty key as well.
    (void)info.insertString(VDProtocol::KEY_PROJECT_VERSION, std::string("1.00"));
    (void)info.insertString(VDProtocol::KEY_DEVICE_GUID, deviceId());
    (void)info.insertString(VDProtocol::KEY_MODEL_NAME, KAVORI::KavoriProductInfo::getInstance().productName(0));
    (void)info.insertString(VDProtocol::KEY_SERIES, std::string("OPV"));
    (void)info.insertString(VDProtocol::KEY_CATEGORY, std::string("processor"));
    (void)info.insertString(VDProtocol::KEY_LOCAL_LABEL, textOf(values[kVirtualDeviceLabel]));
    (void)info.insert(VDProtocol::KEY_DEVICE_UNITID, values[kVirtualUnitID].toUInt32());
    const uint32_t status = deviceStatus();
    if (status == kStatusOffline || status == kStatusOnline) {
        (void)info.insertString(VDProtocol::KEY_LABEL, textOf(values[kRealDeviceLabel]));
        (void)info.insertString(VDProtocol::KEY_VERSION, textOf(values[kFirmwareVersion]));
        (void)info.insertString(VDProtocol::KEY_SERIAL_NO, textOf(values[kSerialNo]));
        (void)info.insert(VDProtocol::KEY_IP_MODE, values[kIPMode].toUInt32());
        (void)info.insertString(VDProtocol::KEY_STATIC_IP_ADDR, dotted(values[kStaticIPAddress]));
        (void)info.insertString(VDProtocol::KEY_STATIC_NETMASK, dotted(values[kStaticSubnetMask]));
        (void)info.insertString(VDProtocol::KEY_STATIC_GATEWAY, dotted(values[kStaticGateway]));
        (void)info.insertString(VDProtocol::KEY_CURRENT_IP_ADDR, dotted(values[kCurrentIPAddress]));
        (void)info.insertString(VDProtocol::KEY_CURRENT_NETMASK, dotted(values[kCurrentSubnetMask]));
        (void)info.insertString(VDProtocol::KEY_CURRENT_GATEWAY, dotted(values[kCurrentGateway]));
        const uint32_t realSync = values[kRealSyncVersion].toUInt32();
        const uint32_t localSync = values[kVirtualSyncVersion].toUInt32();
        (void)info.insertString(VDProtocol::KEY_SYNC_VERSION, std::to_string(realSync));
        (void)info.insertString(VDProtocol::KEY_LOCAL_SYNC_VERSION, std::to_string(localSync));
        (void)info.insert(VDProtocol::KEY_SYNC_STATUS, compareCapacity(realSync, localSync));
        (void)info.insert(VDProtocol::KEY_CAPACITY_STATUS,
                          compareCapacity(values[kOPVCapacity].toUInt32(), values[kVDeviceCapacity].toUInt32()));
    }
    PacketContainer reply(request);
    (void)reply.setCmndInfo(info);  // plain setter: 0
    return replyResult(reply, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::writeSetting(const ArgumentMap& info, const char* infoKey, const char* entryKey,
                                               bool asUnsigned)
{
    if (!info.hasKey(infoKey)) return RESULT_FAILED;
    JVariant value = info.toJVariant(infoKey);
    if (asUnsigned) value = JVariant(value.getType() == JVariant::kTypeString ? 0u : value.toUInt32());
    return setParameterValue(entryKey, value);
}

JLIB::JResult VDProtocolExecutor::execSetup(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    struct Step {
        const char* infoKey;
        const char* entryKey;  // null: the project path
        bool asUnsigned;
    };
    static const Step steps[] = {
        {VDProtocol::KEY_LOCAL_LABEL, "VirtualDeviceLabel", false},
        {VDProtocol::KEY_DEVICE_UNITID, "VirtualUnitID", true},
        {VDProtocol::KEY_PATH, nullptr, false},
        {VDProtocol::KEY_CAPACITY, "VDeviceCapacity", false},
        {VDProtocol::KEY_FS, "FS", false},
    };
    for (const Step& step : steps) {
        if (!info.hasKey(step.infoKey)) continue;
        if (!step.entryKey) {
            const char* path = info.getType(step.infoKey) == JVariant::kTypeString ? info.toString(step.infoKey)
                                                                                   : nullptr;
            if (path) m_projectPath = path;  // a path of another type is passed over
            continue;
        }
        const JLIB::JResult result = writeSetting(info, step.infoKey, step.entryKey, step.asUnsigned);
        if (JLIB::isFailure(result)) return replyResult(request, result);  // the later keys stay unapplied
    }
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execActive(const PacketContainer& request)
{
    // A failed read is answered with its code: writing the value of no type it left would put
    // nothing meaningful into the virtual capacity.
    JVariant capacity;
    return replyResult(request, getParameterValue(capacity, "OPVCapacity"));
}

JLIB::JResult VDProtocolExecutor::execSetDeviceLabel(const PacketContainer& request)
{
    return replyResult(request, writeSetting(request.cmndInfo(), VDProtocol::KEY_LOCAL_LABEL, "VirtualDeviceLabel",
                                             false));
}

JLIB::JResult VDProtocolExecutor::execSetDeviceUnitID(const PacketContainer& request)
{
    return replyResult(request, writeSetting(request.cmndInfo(), VDProtocol::KEY_DEVICE_UNITID, "VirtualUnitID", true));
}

JLIB::JResult VDProtocolExecutor::execSetDeviceCapacity(const PacketContainer& request)
{
    return replyResult(request, writeSetting(request.cmndInfo(), VDProtocol::KEY_CAPACITY, "VirtualCapacity", false));
}

JLIB::JResult VDProtocolExecutor::execSetDeviceFs(const PacketContainer& request)
{
    return replyResult(request, writeSetting(request.cmndInfo(), VDProtocol::KEY_FS, "FS", false));
}

JLIB::JResult VDProtocolExecutor::execSaveProject(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execLoadProject(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execCompareSecurity(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execDelModifyFlag(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

}  // namespace VDevice
