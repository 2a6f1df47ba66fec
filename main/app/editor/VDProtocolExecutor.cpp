#include "editor/VDProtocolExecutor.h"

#include <iterator>

#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_LocalParameterArray.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "PDB/pdb_ParameterInfo.h"
#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "editor/ParameterAddress.h"
#include "editor/ParameterConvertor.h"
#include "editor/VDProtocolClientUnit.h"
#include "editor/VDProtocolDefine.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;
using VDProtocol::ParameterAddress;

namespace {

constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
constexpr uint32_t kDone = PacketContainer::kMaxProgress;

// The parts of one element address.
struct ElementAddress {
    std::string dbName;
    uint32_t componentId = 0;
    std::string path;
    int32_t x = 0;
    int32_t y = 0;
};

// "prmAddr" of the map split; RESULT_FAILED when it is missing or no text.
JLIB::JResult readAddress(ElementAddress& address, std::string& text, const ArgumentMap& item)
{
    bool isText = false;
    const char* chars = item.toString(VDProtocol::KEY_PRM_ADDR, &isText);
    if (!isText || !chars) return RESULT_FAILED;
    text = chars;
    return ParameterAddress::divide(address.dbName, address.componentId, address.path, address.x, address.y, text);
}

PacketContainer replyOf(const PacketContainer& request, JLIB::JResult result)
{
    PacketContainer reply(request);
    (void)reply.setResult(result, kDone, "");  // always 0
    return reply;
}

}  // namespace

VDProtocolExecutor::VDProtocolExecutor(const std::string& deviceId, VDProtocol::VDProtocolClientUnit* unit)
    : m_deviceId(deviceId), m_pClientUnit(unit)
{
}

VDProtocolExecutor::~VDProtocolExecutor() = default;

// ---- dispatch

JLIB::JResult VDProtocolExecutor::received(const PacketContainer& packet)
{
    if (packet.category() == VDProtocol::COM_ABORT) return abort(packet);
    if (packet.category() != VDProtocol::COM_REQUEST) return JLIB::kOk;
    const std::string& type = packet.commandType();
    if (type == VDProtocol::CMDTYPE_ADD) return add(packet);
    if (type == VDProtocol::CMDTYPE_DEL) return del(packet);
    if (type == VDProtocol::CMDTYPE_SET) return set(packet);
    if (type == VDProtocol::CMDTYPE_GET) return get(packet);
    if (type == VDProtocol::CMDTYPE_SETDATA) return setData(packet);
    if (type == VDProtocol::CMDTYPE_GETDATA) return getData(packet);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::dispatch(const Route* routes, size_t count, const PacketContainer& packet)
{
    for (size_t i = 0; i < count; ++i) {
        if (packet.commandName() == routes[i].name) {
            (void)(this->*routes[i].handler)(packet);  // the command has answered; its send's code is its own
            break;
        }
    }
    return JLIB::kOk;
}

// The names each type carries out; every other name, recognised or not, goes unanswered.
JLIB::JResult VDProtocolExecutor::add(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_COMPONENT_INFO, &VDProtocolExecutor::execAddComponent},
        {VDProtocol::CMDNAME_COMPONENT_CONNECT, &VDProtocolExecutor::execAddComponentConnect},
        {VDProtocol::CMDNAME_REGIST_PARAMETER, &VDProtocolExecutor::execAddRagistParameter},
        {VDProtocol::CMDNAME_PARAMSET, &VDProtocolExecutor::execAddParameterSet},
        {VDProtocol::CMDNAME_PARAMSET_DUPLICATE, &VDProtocolExecutor::execAddParameterSetDuplicate},
        {VDProtocol::CMDNAME_PARAMSET_ASSIGN, &VDProtocolExecutor::execAddParameterSetAssign},
        {VDProtocol::CMDNAME_COMPONENT_METER, &VDProtocolExecutor::execAddComponentMeter},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::del(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_MODIFIED, &VDProtocolExecutor::execDelModifyFlag},
        {VDProtocol::CMDNAME_COMPONENT_INFO, &VDProtocolExecutor::execDelComponent},
        {VDProtocol::CMDNAME_COMPONENT_CONNECT, &VDProtocolExecutor::execDelComponentConnect},
        {VDProtocol::CMDNAME_REGIST_PARAMETER, &VDProtocolExecutor::execDelRagistParameter},
        {VDProtocol::CMDNAME_PARAMSET, &VDProtocolExecutor::execDelParameterSet},
        {VDProtocol::CMDNAME_PARAMSET_ASSIGN, &VDProtocolExecutor::execDelParameterSetAssign},
        {VDProtocol::CMDNAME_NETWORK_INFO, &VDProtocolExecutor::execDelNetworkInfo},
        {VDProtocol::CMDNAME_COMPONENT_METER, &VDProtocolExecutor::execDelComponentMeter},
        {VDProtocol::CMDNAME_PEAK_HOLD, &VDProtocolExecutor::execDelPeakHold},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::get(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_DEVICE_INFO, &VDProtocolExecutor::execGetDeviceInfo},
        {VDProtocol::CMDNAME_PARAMETER_RANGE, &VDProtocolExecutor::execGetRangePrmValue},
        {VDProtocol::CMDNAME_SYNC_DEVICE, &VDProtocolExecutor::execSyncOnlineFromDevice},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::set(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_SETUP, &VDProtocolExecutor::execSetup},
        {VDProtocol::CMDNAME_ACTIVE, &VDProtocolExecutor::execActive},
        {VDProtocol::CMDNAME_SAVE, &VDProtocolExecutor::execSaveProject},
        {VDProtocol::CMDNAME_LOAD, &VDProtocolExecutor::execLoadProject},
        {VDProtocol::CMDNAME_DEVICE_LABEL, &VDProtocolExecutor::execSetDeviceLabel},
        {VDProtocol::CMDNAME_VDEVICE_ID, &VDProtocolExecutor::execSetDeviceUnitID},
        {VDProtocol::CMDNAME_DEVICE_CAPACITY, &VDProtocolExecutor::execSetDeviceCapacity},
        {VDProtocol::CMDNAME_DEVICE_FS, &VDProtocolExecutor::execSetDeviceFs},
        {VDProtocol::CMDNAME_COMPONENT_CHANGE, &VDProtocolExecutor::execChangeComponent},
        {VDProtocol::CMDNAME_SECURITY_CHECK, &VDProtocolExecutor::execCompareSecurity},
        {VDProtocol::CMDNAME_PARAMETER_VAL, &VDProtocolExecutor::execSetPrmValue},
        {VDProtocol::CMDNAME_COMPILE, &VDProtocolExecutor::execStartCompile},
        {VDProtocol::CMDNAME_PARAMSET, &VDProtocolExecutor::execSetParameterSet},
        {VDProtocol::CMDNAME_SYNC_DEVICE, &VDProtocolExecutor::execSyncOnlineToDevice},
        {VDProtocol::CMDNAME_SYNC_OFFLINE, &VDProtocolExecutor::execSyncOffline},
        {VDProtocol::CMDNAME_NETWORK_INFO, &VDProtocolExecutor::execSetNetworkInfo},
        {VDProtocol::CMDNAME_METER_INFO, &VDProtocolExecutor::execSetMeterInfo},
        {VDProtocol::CMDNAME_PEAK_HOLD, &VDProtocolExecutor::execSetPeakHold},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::setData(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_PARAMETER_VAL, &VDProtocolExecutor::execSetDataPrmValue},
        {VDProtocol::CMDNAME_COPY_PASTE, &VDProtocolExecutor::execSetDataCopyPaste},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::getData(const PacketContainer& packet)
{
    static const Route routes[] = {
        {VDProtocol::CMDNAME_PARAMETER_INFO, &VDProtocolExecutor::execGetDataPrmInfo},
        {VDProtocol::CMDNAME_PARAMETER_VAL, &VDProtocolExecutor::execGetDataPrmValue},
        {VDProtocol::CMDNAME_PARAMSET, &VDProtocolExecutor::execGetDataParameterSet},
        {VDProtocol::CMDNAME_PARAMSET_ASSIGN, &VDProtocolExecutor::execGetDataParameterSetAssign},
        {VDProtocol::CMDNAME_COPY_PASTE, &VDProtocolExecutor::execGetDataCopyPaste},
        {VDProtocol::CMDNAME_COMPONENT_METER, &VDProtocolExecutor::execGetDataComponentMeter},
    };
    return dispatch(routes, std::size(routes), packet);
}

JLIB::JResult VDProtocolExecutor::abort(const PacketContainer& packet)
{
    uint32_t id = 0;
    std::string commandName;
    if (JLIB::isFailure(m_commands.getRequestCommand(id, commandName, packet.requestID()))) return JLIB::kOk;
    if (commandName == VDProtocol::CMDNAME_COMPILE) return abortCompile();
    if (commandName == VDProtocol::CMDNAME_SYNC_DEVICE) return abortSyncDevice();
    return JLIB::kOk;
}

// ---- sending

JLIB::JResult VDProtocolExecutor::transmit(const PacketContainer& packet)
{
    if (!m_pClientUnit) return RESULT_FAILED;
    return m_pClientUnit->send(packet);
}

JLIB::JResult VDProtocolExecutor::sendReply(const PacketContainer& packet)
{
    PacketContainer reply(packet);
    // Plain text setters: always 0.
    (void)reply.setCategory(VDProtocol::COM_REPLY);
    (void)reply.setFrom(packet.to());
    (void)reply.setTo(packet.from());
    return transmit(reply);
}

JLIB::JResult VDProtocolExecutor::sendNotify(const PacketContainer& packet)
{
    PacketContainer notify(packet);
    (void)notify.setCategory(VDProtocol::COM_NOTIFY);  // as above
    (void)notify.setFrom(m_deviceId);
    return transmit(notify);
}

JLIB::JResult VDProtocolExecutor::sendConnected()
{
    PacketContainer connected;
    (void)connected.setCategory(VDProtocol::COM_CONNECTED);  // as above
    (void)connected.setFrom(m_deviceId);
    return transmit(connected);
}

JLIB::JResult VDProtocolExecutor::sendNotifyForParameterValue(PDB::IParameterDB& db, uint32_t componentIndex,
                                                              uint32_t addressIndex, uint32_t x, uint32_t y)
{
    PDB::ParameterInfo info;
    uint32_t componentId = 0;
    std::string componentName;
    {
        // The definition is a reference into the component: copied while nobody can remove it.
        PDB::MutexReadLocker hold(db);
        info = db.paramInfo(componentIndex, addressIndex);
        componentId = db.uniqId(componentIndex).id();
        componentName = createComponentName(db, componentIndex);
    }
    JVariant value;
    JLIB_RETURN_IF_FAILED(db.getVariant(value, componentIndex, addressIndex, x, y, nullptr));
    ArgumentMap item;
    JLIB_RETURN_IF_FAILED(VDProtocol::ParameterConvertor::Decode_ParameterInfo(item, info, value));
    const JVariant text = m_expressions.toText(info, value);
    const char* chars = text.toString();
    (void)item.insertString(VDProtocol::KEY_PRM_STR, std::string(chars ? chars : ""));  // always 0
    std::string address;
    JLIB_RETURN_IF_FAILED(ParameterAddress::join(address, db.name(), componentId, info.strAddress, x, y));
    (void)item.insertString(VDProtocol::KEY_PRM_ADDR, address);     // as above
    (void)item.insertString(VDProtocol::KEY_CPT_NAME, componentName);  // as above
    PacketContainer notify;
    (void)notify.setCommandName(VDProtocol::CMDNAME_PARAMETER_VAL);  // plain setters: 0
    (void)notify.addCmndListItem(item);
    return sendNotify(notify);
}

// ---- device status

uint32_t VDProtocolExecutor::deviceStatus(uint32_t editorState)
{
    switch (editorState) {
    case 0:
    case 1:
    case 2:
    case 3: return 0;
    case 4:
    case 5:
    case 8:
    case 9: return kStatusOffline;
    case 10: return kStatusOnline;
    default: return kStatusUnknown;
    }
}

uint32_t VDProtocolExecutor::deviceStatus() const
{
    JVariant state;
    if (JLIB::isFailure(TMS::getThreadByName("Sync").getSysParam(state, "EditorState", 0))) return kStatusUnknown;
    bool isNumber = false;
    const uint32_t value = state.toUInt32(&isNumber);
    return isNumber ? deviceStatus(value) : kStatusUnknown;
}

// ---- value helpers

PDB::IParameterDB* VDProtocolExecutor::parameterDB(const std::string& name) const
{
    for (uint32_t id = kFirstDatabaseId; id <= kLastDatabaseId; ++id) {
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(id);
        if (db.isValid() && name == db.name()) return &db;
    }
    return nullptr;
}

PDB::ParameterInfo VDProtocolExecutor::getParameterInfo(const std::string& dbName, uint32_t componentId,
                                                        const std::string& path) const
{
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return PDB::ParameterInfo();
    PDB::MutexReadLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(componentId), path.c_str());
    return db->paramInfo(ci, ai);
}

JLIB::JResult VDProtocolExecutor::getParameterValue(JVariant& value, const std::string& dbName, uint32_t componentId,
                                                    const std::string& path, uint32_t x, uint32_t y) const
{
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    PDB::MutexReadLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
    if (ci == kNoIndex) return RESULT_FAILED;
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(componentId), path.c_str());
    return db->getVariant(value, ci, ai, x, y, nullptr);
}

JLIB::JResult VDProtocolExecutor::prepareValue(JVariant& out, const PDB::ParameterInfo& info,
                                               const JVariant& value) const
{
    if (value.getType() == JVariant::kTypeString) return m_expressions.fromText(out, info, value);
    out = VDProtocol::ExpressionAdapter::fitNumber(info, value);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::setParameterValue(const std::string& dbName, uint32_t componentId,
                                                    const std::string& path, uint32_t x, uint32_t y,
                                                    const JVariant& value)
{
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    if (db->getComponentIndex(PDB::UniqId(componentId)) == kNoIndex) return RESULT_FAILED;
    // Converted before the write lock, against a copy of the definition.
    JVariant converted;
    JLIB_RETURN_IF_FAILED(prepareValue(converted, getParameterInfo(dbName, componentId, path), value));
    PDB::MutexWriteLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
    if (ci == kNoIndex) return RESULT_FAILED;
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(componentId), path.c_str());
    return db->setVariant(ci, ai, x, y, converted, kWriteAttribute);
}

JLIB::JResult VDProtocolExecutor::getParameterValueBundle(PDB::LocalParameterArray& values, const std::string& dbName,
                                                          uint32_t componentId, const std::string& path) const
{
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    PDB::MutexReadLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(componentId), path.c_str());
    return db->getVariants(values, ci, ai);
}

JLIB::JResult VDProtocolExecutor::setParameterValueBundle(const std::string& dbName, uint32_t componentId,
                                                          const std::string& path,
                                                          const PDB::LocalParameterArray& values)
{
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    PDB::MutexWriteLocker hold(*db);
    const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
    if (ci == kNoIndex) return RESULT_FAILED;
    const uint32_t ai = db->getAddressIndex(PDB::UniqId(componentId), path.c_str());
    return db->setVariants(ci, ai, values, kWriteAttribute);
}

JLIB::JResult VDProtocolExecutor::createSameValueList(PDB::LocalParameterArray& values, const PDB::ParameterInfo& info,
                                                      int32_t x, int32_t y, const JVariant& value) const
{
    JVariant converted;
    JLIB_RETURN_IF_FAILED(prepareValue(converted, info, value));
    const uint32_t firstX = x < 0 ? 0 : uint32_t(x);
    const uint32_t endX = x < 0 ? info.numX : uint32_t(x) + 1;
    const uint32_t firstY = y < 0 ? 0 : uint32_t(y);
    const uint32_t endY = y < 0 ? info.numY : uint32_t(y) + 1;
    JLIB::JResult result = JLIB::kOk;
    for (uint32_t i = firstX; i < endX; ++i) {
        for (uint32_t j = firstY; j < endY; ++j) {
            result = values.setVariant(i, j, converted, kWriteAttribute);
            if (JLIB::isFailure(result)) break;  // the rest of this row
        }
    }
    return result;
}

std::string VDProtocolExecutor::createComponentName(const PDB::IParameterDB& db, uint32_t componentIndex)
{
    const PDB::ComponentInfo& info = db.componentInfo(componentIndex);
    return std::string(db.componentName(componentIndex)) + ":" + std::to_string(db.componentVersion(componentIndex)) +
           ":" + std::to_string(info.numX()) + "x" + std::to_string(info.numY());
}

// ---- parameter value commands

JLIB::JResult VDProtocolExecutor::writeWildcard(const std::string& dbName, uint32_t componentId,
                                                const std::string& path, int32_t x, int32_t y, const JVariant& value)
{
    const PDB::ParameterInfo info = getParameterInfo(dbName, componentId, path);
    if (info.strAddress.empty() || !info.isValid()) return RESULT_FAILED;
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    JVariant converted;
    JLIB_RETURN_IF_FAILED(prepareValue(converted, info, value));
    PDB::LocalParameterArray values;
    JLIB_RETURN_IF_FAILED(values.initialize(info));
    // Held from the read to the write-back, so a change another thread makes in between is not
    // overwritten with the values read before it.
    PDB::MutexWriteLocker hold(*db);
    JLIB_RETURN_IF_FAILED(getParameterValueBundle(values, dbName, componentId, path));
    JLIB_RETURN_IF_FAILED(createSameValueList(values, info, x, y, converted));
    return setParameterValueBundle(dbName, componentId, path, values);
}

JLIB::JResult VDProtocolExecutor::writeItem(const ArgumentMap& item)
{
    if (!item.hasKey(VDProtocol::KEY_PRM_VAL)) return RESULT_FAILED;
    ElementAddress address;
    std::string text;
    JLIB_RETURN_IF_FAILED(readAddress(address, text, item));
    const JVariant value = item.toJVariant(VDProtocol::KEY_PRM_VAL);
    if (address.x >= 0 && address.y >= 0) {
        return setParameterValue(address.dbName, address.componentId, address.path, uint32_t(address.x),
                                 uint32_t(address.y), value);
    }
    return writeWildcard(address.dbName, address.componentId, address.path, address.x, address.y, value);
}

JLIB::JResult VDProtocolExecutor::execSetPrmValue(const PacketContainer& request)
{
    return sendReply(replyOf(request, writeItem(request.cmndInfo())));
}

JLIB::JResult VDProtocolExecutor::execSetDataPrmValue(const PacketContainer& request)
{
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        result = writeItem(request.cmndListItem(i));
        if (JLIB::isFailure(result)) break;  // earlier writes stay
    }
    PacketContainer reply = replyOf(request, result);
    (void)reply.clearCmndList();  // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::appendReadItem(PacketContainer& reply, const PDB::ParameterInfo& info,
                                                 const JVariant& value, const std::string& address,
                                                 const std::string& componentName) const
{
    ArgumentMap item;
    JLIB_RETURN_IF_FAILED(VDProtocol::ParameterConvertor::Decode_ParameterInfo(item, info, value));
    const JVariant text = m_expressions.toText(info, value);
    const char* chars = text.toString();
    // Text inserts always answer 0.
    (void)item.insertString(VDProtocol::KEY_PRM_STR, std::string(chars ? chars : ""));
    (void)item.insertString(VDProtocol::KEY_PRM_ADDR, address);
    (void)item.insertString(VDProtocol::KEY_CPT_NAME, componentName);
    return reply.addCmndListItem(item);
}

JLIB::JResult VDProtocolExecutor::readItem(PacketContainer& reply, const ArgumentMap& item) const
{
    ElementAddress address;
    std::string text;
    JLIB_RETURN_IF_FAILED(readAddress(address, text, item));
    const PDB::ParameterInfo info = getParameterInfo(address.dbName, address.componentId, address.path);
    if (info.strAddress.empty()) return RESULT_FAILED;
    PDB::IParameterDB* db = parameterDB(address.dbName);
    if (!db) return RESULT_FAILED;
    std::string componentName;
    {
        PDB::MutexReadLocker hold(*db);
        componentName = createComponentName(*db, db->getComponentIndex(PDB::UniqId(address.componentId)));
    }

    if (address.x >= 0 && address.y >= 0) {
        JVariant value;
        JLIB_RETURN_IF_FAILED(getParameterValue(value, address.dbName, address.componentId, address.path,
                                                uint32_t(address.x), uint32_t(address.y)));
        return appendReadItem(reply, info, value, text, componentName);
    }
    if (!info.isValid() || address.x < -1 || address.y < -1) return RESULT_FAILED;
    PDB::LocalParameterArray values;
    JLIB_RETURN_IF_FAILED(values.initialize(info));
    JLIB_RETURN_IF_FAILED(getParameterValueBundle(values, address.dbName, address.componentId, address.path));
    const uint32_t firstX = address.x < 0 ? 0 : uint32_t(address.x);
    const uint32_t endX = address.x < 0 ? info.numX : uint32_t(address.x) + 1;
    const uint32_t firstY = address.y < 0 ? 0 : uint32_t(address.y);
    const uint32_t endY = address.y < 0 ? info.numY : uint32_t(address.y) + 1;
    for (uint32_t i = firstX; i < endX; ++i) {
        for (uint32_t j = firstY; j < endY; ++j) {
            JVariant value;
            JLIB_RETURN_IF_FAILED(values.getVariant(value, i, j, nullptr));
            JLIB_RETURN_IF_FAILED(appendReadItem(reply, info, value, text, componentName));
        }
    }
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execGetDataPrmValue(const PacketContainer& request)
{
    PacketContainer reply(request);
    (void)reply.clearCmndList();  // always 0
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        result = readItem(reply, request.cmndListItem(i));
        if (JLIB::isFailure(result)) break;  // the items read so far stay
    }
    (void)reply.setResult(result, kDone, "");  // always 0
    return sendReply(reply);
}

JLIB::JResult VDProtocolExecutor::execGetDataPrmInfo(const PacketContainer& request)
{
    return execGetDataPrmValue(request);
}

}  // namespace VDevice
