// The executor's component and connection commands: each request item becomes one message to
// "DeviceControl"; the answers complete the registered request and ask "Compiler" for the
// resource usage the editor is then notified of.
#include <string>
#include <vector>

#include "PDB/pdb_IParameterDB.h"
#include "TMS/AbstractMessage.h"
#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "editor/ParameterAddress.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"
#include "jlib/jlib_number.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;

namespace {

constexpr uint32_t kNoIndex = 0xFFFFFFFFu;
constexpr const char* kDeviceControl = "DeviceControl";
constexpr const char* kCompiler = "Compiler";

std::vector<std::string> splitDroppingEmpty(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// A whole unsigned literal; RESULT_FAILED for a negative or fractional one, else the parser's
// failure code.
JLIB::JResult readUnsigned(uint32_t& value, const std::string& text)
{
    uint32_t parsed = 0;
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
    const JLIB::JResult result = jlib_str2value(&parsed, &category, text.c_str(), text.size());
    if (JLIB::isFailure(result)) return result;
    if (category != CATEGORY_JLIB_UNSIGNED) return RESULT_FAILED;
    value = parsed;
    return JLIB::kOk;
}

// The text of a key that must hold one; RESULT_FAILED when it is missing or holds another type.
JLIB::JResult readText(std::string& text, const ArgumentMap& item, const char* key)
{
    if (item.getType(key) != JVariant::kTypeString) return RESULT_FAILED;
    const char* chars = item.toString(key);
    if (!chars) return RESULT_FAILED;
    text = chars;
    return JLIB::kOk;
}

JLIB::JResult readComponentId(uint32_t& componentId, std::string& dbName, const ArgumentMap& item, const char* key)
{
    std::string text;
    JLIB_RETURN_IF_FAILED(readText(text, item, key));
    return VDProtocol::ParameterAddress::divide(dbName, componentId, text);
}

// The port number after the first ":", or the whole text without one.
JLIB::JResult readPort(uint32_t& port, const ArgumentMap& item, const char* key)
{
    std::string text;
    JLIB_RETURN_IF_FAILED(readText(text, item, key));
    const size_t colon = text.find(':');
    return readUnsigned(port, colon == std::string::npos ? text : text.substr(colon + 1));
}

// A type name becomes a folder name under the project: it may not leave that folder.
bool isSafeTypeName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

std::string connectionName(uint32_t toId, uint32_t toPort, uint32_t fromId, uint32_t fromPort)
{
    return std::to_string(toId) + ":" + std::to_string(toPort) + "/" + std::to_string(fromId) + ":" +
           std::to_string(fromPort);
}

TMS::AbstractMessage command(const char* commandName)
{
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);     // a user message of id 0 always initialises
    (void)message.addData("CommandName", commandName);  // a short text always fits
    return message;
}

// The target by name; a thread not in the tree is a failed send, so the request is answered now
// instead of waiting for an answer that cannot come.
JLIB::JResult sendTo(const TMS::AbstractMessage& message, const char* threadName)
{
    TMS::AbstractThread& thread = TMS::getThreadByName(threadName);
    if (thread.isNull()) return RESULT_FAILED;
    return message.sendWithWaiting(thread);
}

JLIB::JResult sendOrFail(const TMS::AbstractMessage& message, const char* threadName)
{
    return JLIB::isFailure(sendTo(message, threadName)) ? RESULT_FAILED : JLIB::kOk;
}

JLIB::JResult addComponentKeys(TMS::AbstractMessage& message, uint32_t componentId, const std::string& typeName,
                               uint32_t majorVersion, uint32_t numX, uint32_t numY)
{
    JLIB::JResult result = message.addData("UniqID", componentId);
    result |= message.addData("ComponentName", typeName.c_str());
    result |= message.addData("MajorVersion", majorVersion);
    result |= message.addData("NumX", numX);
    result |= message.addData("NumY", numY);
    return result;
}

JLIB::JResult addConnectionKeys(TMS::AbstractMessage& message, uint32_t toId, uint32_t toPort, uint32_t fromId,
                                uint32_t fromPort)
{
    JLIB::JResult result = message.addData("fromUniqId", fromId);
    result |= message.addData("fromPortNo", fromPort);
    result |= message.addData("toUniqId", toId);
    result |= message.addData("toPortNo", toPort);
    return result;
}

}  // namespace

// ---- names and paths

JLIB::JResult VDProtocolExecutor::decodeComponentName(std::string& typeName, uint32_t& majorVersion, uint32_t& numX,
                                                      uint32_t& numY, const std::string& text)
{
    const std::vector<std::string> pieces = splitDroppingEmpty(text, ':');
    if (pieces.size() < 3) return RESULT_FAILED;
    const std::vector<std::string> sizes = splitDroppingEmpty(pieces[2], 'x');
    if (sizes.size() < 2 || !isSafeTypeName(pieces[0])) return RESULT_FAILED;
    uint32_t version = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    if (JLIB::isFailure(readUnsigned(version, pieces[1])) || JLIB::isFailure(readUnsigned(x, sizes[0])) ||
        JLIB::isFailure(readUnsigned(y, sizes[1]))) {
        return RESULT_FAILED;
    }
    typeName = pieces[0];
    majorVersion = version;
    numX = x;
    numY = y;
    return JLIB::kOk;
}

std::string VDProtocolExecutor::createComponentStylePath(const std::string& typeName) const
{
    return m_projectPath + "/component/" + typeName + "/UserDefault.pst";
}

// ---- messages

JLIB::JResult VDProtocolExecutor::sendMessageAddComponent(const std::string&, uint32_t componentId,
                                                          const std::string& typeName, uint32_t majorVersion,
                                                          uint32_t numX, uint32_t numY)
{
    TMS::AbstractMessage message = command("addComponent");
    JLIB::JResult result = addComponentKeys(message, componentId, typeName, majorVersion, numX, numY);
    // Without a project the defaults have no folder: the component is made as defined.
    if (!m_projectPath.empty()) {
        result |= message.addData("ComponentDefaultPath", createComponentStylePath(typeName).c_str());
    }
    if (JLIB::isFailure(result)) return RESULT_FAILED;
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageDelComponent(const std::string&, uint32_t componentId)
{
    TMS::AbstractMessage message = command("removeComponent");
    if (JLIB::isFailure(message.addData("UniqID", componentId))) return RESULT_FAILED;
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageChangeComponent(const std::string&, uint32_t componentId,
                                                             const std::string& typeName, uint32_t majorVersion,
                                                             uint32_t numX, uint32_t numY)
{
    TMS::AbstractMessage message = command("changeComponentType");
    if (JLIB::isFailure(addComponentKeys(message, componentId, typeName, majorVersion, numX, numY))) {
        return RESULT_FAILED;
    }
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageAddConnect(uint32_t toId, uint32_t toPort, uint32_t fromId,
                                                        uint32_t fromPort)
{
    TMS::AbstractMessage message = command("addConnection");
    if (JLIB::isFailure(addConnectionKeys(message, toId, toPort, fromId, fromPort))) return RESULT_FAILED;
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageDelConnect(uint32_t toId, uint32_t toPort, uint32_t fromId,
                                                        uint32_t fromPort)
{
    TMS::AbstractMessage message = command("removeConnection");
    if (JLIB::isFailure(addConnectionKeys(message, toId, toPort, fromId, fromPort))) return RESULT_FAILED;
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageRegistParameter(uint32_t componentId, const std::string& typeName,
                                                             bool regist)
{
    TMS::AbstractMessage message = command(regist ? "setComponentDefault" : "removeComponentDefault");
    JLIB::JResult result = message.addData("UniqID", componentId);
    result |= message.addData("ComponentName", typeName.c_str());
    result |= message.addData("ComponentDefaultPath", createComponentStylePath(typeName).c_str());
    if (JLIB::isFailure(result)) return RESULT_FAILED;
    return sendOrFail(message, kDeviceControl);
}

JLIB::JResult VDProtocolExecutor::sendMessageGetComponentResource()
{
    return sendOrFail(command("getTotalProcessingResourceUsage"), kCompiler);
}

// ---- requests

JLIB::JResult VDProtocolExecutor::failRegistered(uint32_t id, const PacketContainer& request, JLIB::JResult code)
{
    (void)m_commands.takeCommand(id);  // always 0
    return replyResult(request, code);
}

JLIB::JResult VDProtocolExecutor::sendComponentItem(std::string& subItem, const ArgumentMap& item, bool add)
{
    std::string dbName;
    uint32_t componentId = 0;
    JLIB_RETURN_IF_FAILED(readComponentId(componentId, dbName, item, VDProtocol::KEY_PRM_ADDR));
    if (add) {
        std::string name;
        JLIB_RETURN_IF_FAILED(readText(name, item, VDProtocol::KEY_CPT_NAME));
        std::string typeName;
        uint32_t version = 0;
        uint32_t numX = 0;
        uint32_t numY = 0;
        JLIB_RETURN_IF_FAILED(decodeComponentName(typeName, version, numX, numY, name));
        JLIB_RETURN_IF_FAILED(sendMessageAddComponent(dbName, componentId, typeName, version, numX, numY));
    } else {
        JLIB_RETURN_IF_FAILED(sendMessageDelComponent(dbName, componentId));
    }
    subItem = std::to_string(componentId);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::sendConnectItem(std::string& subItem, const ArgumentMap& item, bool add)
{
    for (const char* key : {VDProtocol::KEY_RX_CPT, VDProtocol::KEY_RX_CPT_PORT, VDProtocol::KEY_TX_CPT,
                            VDProtocol::KEY_TX_CPT_PORT}) {
        if (!item.hasKey(key)) return RESULT_FAILED;
    }
    std::string dbName;
    uint32_t rxId = 0;
    uint32_t rxPort = 0;
    uint32_t txId = 0;
    uint32_t txPort = 0;
    JLIB_RETURN_IF_FAILED(readComponentId(rxId, dbName, item, VDProtocol::KEY_RX_CPT));
    JLIB_RETURN_IF_FAILED(readPort(rxPort, item, VDProtocol::KEY_RX_CPT_PORT));
    JLIB_RETURN_IF_FAILED(readComponentId(txId, dbName, item, VDProtocol::KEY_TX_CPT));
    JLIB_RETURN_IF_FAILED(readPort(txPort, item, VDProtocol::KEY_TX_CPT_PORT));
    JLIB_RETURN_IF_FAILED(add ? sendMessageAddConnect(rxId, rxPort, txId, txPort)
                              : sendMessageDelConnect(rxId, rxPort, txId, txPort));
    subItem = connectionName(rxId, rxPort, txId, txPort);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::runRegisteredWalk(const PacketContainer& request, ItemSender sender, bool add)
{
    // Nothing to wait for: an answer would never come to complete the registration.
    if (request.cmndListNum() == 0) return replyResult(request, RESULT_OK);
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.addCommand(id, request))) return replyResult(request, RESULT_FAILED);
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        std::string subItem;
        const JLIB::JResult result = (this->*sender)(subItem, request.cmndListItem(i), add);
        if (JLIB::isFailure(result)) return failRegistered(id, request, result);
        (void)m_commands.addSubItem(id, subItem);  // the id was registered above
    }
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execAddComponent(const PacketContainer& request)
{
    return runRegisteredWalk(request, &VDProtocolExecutor::sendComponentItem, true);
}

JLIB::JResult VDProtocolExecutor::execDelComponent(const PacketContainer& request)
{
    return runRegisteredWalk(request, &VDProtocolExecutor::sendComponentItem, false);
}

JLIB::JResult VDProtocolExecutor::execAddComponentConnect(const PacketContainer& request)
{
    return runRegisteredWalk(request, &VDProtocolExecutor::sendConnectItem, true);
}

JLIB::JResult VDProtocolExecutor::execChangeComponent(const PacketContainer& request)
{
    const ArgumentMap& info = request.cmndInfo();
    std::string dbName;
    uint32_t componentId = 0;
    std::string name;
    std::string typeName;
    uint32_t version = 0;
    uint32_t numX = 0;
    uint32_t numY = 0;
    JLIB::JResult result = readComponentId(componentId, dbName, info, VDProtocol::KEY_PRM_ADDR);
    if (JLIB::isSuccess(result)) result = readText(name, info, VDProtocol::KEY_CPT_NAME);
    if (JLIB::isSuccess(result)) result = decodeComponentName(typeName, version, numX, numY, name);
    if (JLIB::isFailure(result)) return replyResult(request, result);
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.addCommand(id, request))) return replyResult(request, RESULT_FAILED);
    result = sendMessageChangeComponent(dbName, componentId, typeName, version, numX, numY);
    if (JLIB::isFailure(result)) return failRegistered(id, request, result);
    (void)m_commands.addSubItem(id, std::to_string(componentId));  // registered above
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::execDelComponentConnect(const PacketContainer& request)
{
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        std::string subItem;
        result = sendConnectItem(subItem, request.cmndListItem(i), false);
        if (JLIB::isFailure(result)) break;  // the messages sent so far stay sent
    }
    return replyResult(request, result);
}

JLIB::JResult VDProtocolExecutor::sendRegistItem(const ArgumentMap& item, bool regist)
{
    std::string dbName;
    uint32_t componentId = 0;
    JLIB_RETURN_IF_FAILED(readComponentId(componentId, dbName, item, VDProtocol::KEY_PRM_ADDR));
    PDB::IParameterDB* db = parameterDB(dbName);
    if (!db) return RESULT_FAILED;
    std::string typeName;
    {
        PDB::MutexReadLocker hold(*db);
        const uint32_t ci = db->getComponentIndex(PDB::UniqId(componentId));
        if (ci == kNoIndex) return RESULT_FAILED;
        const char* name = db->componentName(ci);
        typeName = name ? name : "";
    }
    if (!isSafeTypeName(typeName)) return RESULT_FAILED;
    return sendMessageRegistParameter(componentId, typeName, regist);
}

JLIB::JResult VDProtocolExecutor::execRagistParameter(const PacketContainer& request, bool regist)
{
    // Without a project the style path would name a folder at the root of the file system.
    if (m_projectPath.empty()) return replyResult(request, RESULT_FAILED);
    JLIB::JResult result = JLIB::kOk;
    for (size_t i = 0; i < request.cmndListNum(); ++i) {
        result = sendRegistItem(request.cmndListItem(i), regist);
        if (JLIB::isFailure(result)) break;  // as above
    }
    return replyResult(request, result);
}

JLIB::JResult VDProtocolExecutor::execAddRagistParameter(const PacketContainer& request)
{
    return execRagistParameter(request, true);
}

JLIB::JResult VDProtocolExecutor::execDelRagistParameter(const PacketContainer& request)
{
    return execRagistParameter(request, false);
}

// ---- answers

JLIB::JResult VDProtocolExecutor::completeSubItem(const char* commandName, const std::string& subItem,
                                                  uint32_t result, bool askResource)
{
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.findCommand(id, commandName, subItem))) return RESULT_FAILED;
    const JLIB::JResult lookup = m_commands.setSubItemStatus(id, subItem, static_cast<int32_t>(result));
    if (m_commands.isCommandExec(id)) return lookup;
    const PacketContainer request = m_commands.getPacketContainer(id);
    (void)m_commands.takeCommand(id);  // always 0
    const JLIB::JResult sent = replyResult(request, result);
    if (askResource && JLIB::isSuccess(sent)) {
        // The editor learns the new usage from the notification; no answer means no notification.
        (void)sendMessageGetComponentResource();
    }
    return sent;
}

JLIB::JResult VDProtocolExecutor::replyAddComponent(uint32_t result, uint32_t componentId)
{
    return completeSubItem(VDProtocol::CMDNAME_COMPONENT_INFO, std::to_string(componentId), result, true);
}

JLIB::JResult VDProtocolExecutor::replyChangeComponent(uint32_t result, uint32_t componentId)
{
    return completeSubItem(VDProtocol::CMDNAME_COMPONENT_CHANGE, std::to_string(componentId), result, true);
}

JLIB::JResult VDProtocolExecutor::replyAddConnect(uint32_t result, uint32_t toId, uint32_t toPort, uint32_t fromId,
                                                  uint32_t fromPort)
{
    return completeSubItem(VDProtocol::CMDNAME_COMPONENT_CONNECT, connectionName(toId, toPort, fromId, fromPort),
                           result, false);
}

JLIB::JResult VDProtocolExecutor::replyGetComponentResource(uint32_t usage)
{
    JVariant capacity;
    if (JLIB::isFailure(getParameterValue(capacity, "VDeviceCapacity"))) return RESULT_FAILED;
    ArgumentMap info;
    (void)info.insertJVariant(VDProtocol::KEY_CAPACITY, capacity);  // a non-empty key: 0
    (void)info.insert(VDProtocol::KEY_RESOURCE, usage / 100);       // as above
    PacketContainer notify;
    (void)notify.setCommandName(VDProtocol::CMDNAME_COMPONENT_RESOURCE);  // plain setters: 0
    (void)notify.setCmndInfo(info);
    return sendNotify(notify);
}

}  // namespace VDevice
