#include "common/Lpc/LpcUzProtoDeviceControlThread.h"

#include <cstdio>
#include <string>

#include "TMS/AbstractMessage.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcThreadCommon.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "jlib/JVariant.h"

namespace LPC {

namespace {

constexpr const char* kOSCServer = "OSCServer";

// The message's value on the left: only a text equal to the name matches, a missing key never.
bool isText(const TMS::AbstractMessage& message, const char* key, const char* text)
{
    return message.data(key) == JVariant(text, static_cast<unsigned int>(std::char_traits<char>::length(text)));
}

}  // namespace

LpcUzProtoDeviceControlThread::LpcUzProtoDeviceControlThread() : KAVORI::KavoriAppThread(1) {}

LpcUzProtoDeviceControlThread::~LpcUzProtoDeviceControlThread()
{
    // Its finalisation takes the protocol memory down: it must run while this object is whole.
    if (getTaskId() != kNoId && !isCallerOwnTask()) (void)release();  // a failure is logged by the base
}

JLIB::JResult LpcUzProtoDeviceControlThread::onTimer(uint32_t timerId, uint32_t count)
{
    return KavoriAppThread::onTimer(timerId, count);
}

JLIB::JResult LpcUzProtoDeviceControlThread::onInitialize(const TMS::ArgumentMap& arguments)
{
    return KavoriAppThread::onInitialize(arguments);
}

JLIB::JResult LpcUzProtoDeviceControlThread::onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments)
{
    const uint32_t previous = getStatus();  // the new status is stored after the hooks
    const JLIB::JResult result = KavoriAppThread::onChangeStatus(status, arguments);
    if (status != TMS::kStatusRun || previous != TMS::kStatusStop) return result;

    LpcUzProtoMemory& memory = LpcUzProtoMemory::getInstance();
    // A memory that cannot come up behaves as not initialised; the count and the server go on.
    (void)memory.initialize();
    (void)memory.setOBANum(LpcThreadCommon::getInstance().obaNum());  // always 0
    TMS::AbstractMessage message;
    if (JLIB::isSuccess(message.initialize(TMS::kMessageUser, 0)) &&
        JLIB::isSuccess(message.addData("CommandName", "ServerStart"))) {
        (void)message.sendWithWaiting(kOSCServer);  // a receiver that stays busy logs its own line
    }
    return result;
}

JLIB::JResult LpcUzProtoDeviceControlThread::onChangeSystemInfo() { return KavoriAppThread::onChangeSystemInfo(); }

JLIB::JResult LpcUzProtoDeviceControlThread::onReceiveMessage(const TMS::AbstractMessage& message)
{
    const JLIB::JResult result = KavoriAppThread::onReceiveMessage(message);
    if (message.messageId() != 0) return result;
    bool fromRack = false;
    if (isText(message, "CommandName", "Scene")) {
        fromRack = isText(message, "Operation", "Recall") && isText(message, "Status", "Start");
    } else if (isText(message, "CommandName", "Package")) {
        fromRack = isText(message, "Operation", "Load") && isText(message, "Status", "End");
    }
    if (fromRack) (void)LpcUzProtoMemory::getInstance().restoreMemoryFromPlugin();  // changes nothing, whatever it answers
    return result;
}

JLIB::JResult LpcUzProtoDeviceControlThread::onFinalize()
{
    const JLIB::JResult result = KavoriAppThread::onFinalize();
    (void)LpcUzProtoMemory::getInstance().finalize();  // always 0
    return result;
}

JLIB::JResult LpcUzProtoDeviceControlThread::onChangePDBConfig()
{
    std::printf("LpcUzProtoDeviceControlThread::onChangePDBConfig()\n");
    (void)std::fflush(stdout);  // debug output: nothing to do when it cannot be flushed
    return updatePlugin();
}

JLIB::JResult LpcUzProtoDeviceControlThread::onRecalled() { return KavoriAppThread::onRecalled(); }

JLIB::JResult LpcUzProtoDeviceControlThread::onReceiveLocalEvent(uint32_t eventNumber)
{
    return KavoriAppThread::onReceiveLocalEvent(eventNumber);
}

JLIB::JResult LpcUzProtoDeviceControlThread::onMurConnectStateChagned()
{
    (void)KavoriAppThread::onMurConnectStateChagned();  // always 0
    return updatePlugin();
}

JLIB::JResult LpcUzProtoDeviceControlThread::updatePlugin()
{
    LpcMurRemote& rack = LpcMurRemote::getInstance();
    if (!rack.isConnected()) return JLIB::kOk;
    LpcUzProtoMemory& memory = LpcUzProtoMemory::getInstance();
    // The title first: an object count it names is in place before the memory is sent.
    (void)memory.setSystemName(rack.getRackTitle());  // a failed write logs its own line
    if (LpcThreadCommon::getInstance().IsSyncFromPlugin()) {
        (void)memory.restoreMemoryFromPlugin();  // changes nothing, whatever it answers
    } else {
        (void)memory.restorePluginFromMemory();  // refused only before the memory is up or without the rack
    }
    return JLIB::kOk;
}

}  // namespace LPC
