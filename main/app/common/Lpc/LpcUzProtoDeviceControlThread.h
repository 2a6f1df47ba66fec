#pragma once
// The thread "DeviceControlForUZ": brings the protocol memory to life when the system runs,
// publishes the object count and has "OSCServer" start its server; on every change of the rack
// connection (shared event 15) and of the database configuration (shared event 9) it writes the
// rack's title into the device and sends the whole memory to the rack, or asks the memory to take
// its values from the rack when "SyncFromPlugin" is on. It finalises the memory when it ends.
// Hooks run on the thread's own task.
#include <cstdint>

#include "common/KavoriAppThread.h"
#include "jlib/jlib_result.h"

namespace LPC {

class LpcUzProtoDeviceControlThread : public KAVORI::KavoriAppThread {
public:
    LpcUzProtoDeviceControlThread();
    // Releases a thread whose owner did not, while this object is still whole.
    ~LpcUzProtoDeviceControlThread() override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

    // Own task: while the rack is connected, its title into the device, then the memory to the
    // rack (or from it with "SyncFromPlugin"). 0.
    JLIB::JResult updatePlugin();

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    // "STOP" to "RUN": memory up, object count written, "ServerStart" to "OSCServer".
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    // "Scene"/"Recall"/"Start" and "Package"/"Load"/"End" (message id 0) take the memory from
    // the rack.
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;
    JLIB::JResult onChangePDBConfig() override;
    JLIB::JResult onRecalled() override;
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;
    JLIB::JResult onMurConnectStateChagned() override;
};

}  // namespace LPC
