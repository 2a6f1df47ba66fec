// The executor's compile and parameter-set commands. Parameter sets are not kept: their commands
// are acknowledged, their lists answered with fixed sample items.
#include <string>

#include "TMS/AbstractMessage.h"
#include "TMS/AbstractThread.h"
#include "TMS/ThreadRepository.h"
#include "editor/VDProtocolDefine.h"
#include "editor/VDProtocolExecutor.h"

namespace VDevice {

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;

namespace {

ArgumentMap parameterSetItem(const char* guid, int32_t id, const char* label)
{
    ArgumentMap item;
    // Inserts under non-empty keys answer 0.
    (void)item.insertString(VDProtocol::KEY_PARAMSET_GUID, std::string(guid));
    (void)item.insert(VDProtocol::KEY_PARAMSET_ID, id);
    (void)item.insertString(VDProtocol::KEY_LABEL, std::string(label));
    (void)item.insert(VDProtocol::KEY_PROTECT, int32_t(0));
    return item;
}

}  // namespace

JLIB::JResult VDProtocolExecutor::execStartCompile(const PacketContainer& request)
{
    // Registered first, so a result can never arrive before its request is pending.
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.addCommand(id, request))) return replyResult(request, RESULT_FAILED);
    TMS::AbstractMessage message;
    (void)message.initialize(TMS::kMessageUser, 0);       // a user message of id 0 always initialises
    (void)message.addData("CommandName", "startCompile");  // a short text always fits
    TMS::AbstractThread& compiler = TMS::getThreadByName("Compiler");
    // A compiler not in the tree would never answer: a failed send.
    const JLIB::JResult sent = compiler.isNull() ? RESULT_FAILED : message.sendWithWaiting(compiler);
    if (JLIB::isFailure(sent)) return failRegistered(id, request, sent);
    return JLIB::kOk;
}

JLIB::JResult VDProtocolExecutor::replyCompile(uint32_t result)
{
    uint32_t id = 0;
    if (JLIB::isFailure(m_commands.findCommand(id, VDProtocol::CMDNAME_COMPILE))) return RESULT_FAILED;
    JVariant capacity;
    if (JLIB::isFailure(getParameterValue(capacity, "VDeviceCapacity"))) return RESULT_FAILED;
    PacketContainer reply = m_commands.getPacketContainer(id);
    // An interim result keeps the compile pending for its final one.
    if (result != RESULT_EXCUTING) (void)m_commands.takeCommand(id);  // always 0
    ArgumentMap info;
    (void)info.insertJVariant(VDProtocol::KEY_CAPACITY, capacity);  // a non-empty key: 0
    (void)reply.setCmndInfo(info);                                  // plain setter: 0
    return replyResult(reply, result);
}

JLIB::JResult VDProtocolExecutor::abortCompile() { return JLIB::kOk; }

JLIB::JResult VDProtocolExecutor::execAddParameterSet(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execAddParameterSetDuplicate(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execAddParameterSetAssign(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execDelParameterSet(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execDelParameterSetAssign(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execSetParameterSet(const PacketContainer& request)
{
    return replyResult(request, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execGetDataParameterSet(const PacketContainer& request)
{
    PacketContainer reply(request);
    // List appends always answer 0.
    (void)reply.addCmndListItem(parameterSetItem("{GUID}", 1, "Param. Set"));
    (void)reply.addCmndListItem(parameterSetItem("{GUID2}", 2, "Param. Set(2)"));
    (void)reply.addCmndListItem(parameterSetItem("{GUID3}", 3, "Param. Set(3)"));
    return replyResult(reply, RESULT_OK);
}

JLIB::JResult VDProtocolExecutor::execGetDataParameterSetAssign(const PacketContainer& request)
{
    ArgumentMap item;
    (void)item.insertString(VDProtocol::KEY_ASSIGN_TYPE, std::string(VDProtocol::ASSIGN_TYPE_PARAMETER));  // 0
    (void)item.insertString(VDProtocol::KEY_PRM_ADDR, std::string("AudioCompo/#30000/Lebel:0:0"));       // 0
    PacketContainer reply(request);
    (void)reply.addCmndListItem(item);  // always 0
    return replyResult(reply, RESULT_OK);
}

}  // namespace VDevice
