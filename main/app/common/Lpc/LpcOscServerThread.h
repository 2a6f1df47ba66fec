#pragma once
// The thread "OSCServer": hosts the OSC control surface. It owns the device controller, the
// parameter space and the meter space, creates the OSC server on "ServerStart", runs the server's
// timer pass every 30 ms and its socket pass when the socket layer wakes it, turns the device
// parameter changes of its subscription into client notifications and the scene and package
// messages of the other threads into snapshot notifications. Everything runs on the thread's own
// task except wakeup and oscServerWakeupFunction, which only raise an event on it.
#include <cstdint>

#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "common/KavoriAppThread.h"
#include "common/Lpc/LpcOscDeviceController.h"
#include "common/Lpc/LpcOscMeter.h"
#include "common/Lpc/LpcOscParameter.h"
#include "jlib/jlib_result.h"

namespace JOSC {
class IOscServer;
}

namespace LPC {

class LpcOscServerThread : public KAVORI::KavoriAppThread, public VCOM::IVComWakeupFunction {
public:
    static constexpr uint32_t kServerTimerId = 0;
    static constexpr uint32_t kServerTimerPeriodMs = 30;
    static constexpr uint8_t kClientSlotNum = 10;
    // Local events: a socket of the server has events; a client's write was accepted.
    static constexpr uint32_t kEventSocket = 16;
    static constexpr uint32_t kEventParameterWritten = 17;

    LpcOscServerThread();
    // Releases a thread whose owner did not, then destroys the server.
    ~LpcOscServerThread() override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

    // Own task. Creates the server, binds it to "0.0.0.0" at "OSCRxPort" (replies towards
    // "OSCTxPort", 0: each client's own port) with 10 client slots, and starts the 30 ms timer.
    // 0; 0x80000000 when the server cannot be created or one exists already (a second server
    // would be left bound beside the first); else the failure of the server's initialize (the
    // server is kept, without timer).
    JLIB::JResult startServer();
    // Whether a server exists; own task.
    bool hasServer() const { return m_pServer != nullptr; }

    // The socket layer's task: raises event 16 on the thread of ownerTaskId. 0.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    // "STOP" to "RUN": subscribes (user id 0, attribute 1) to every database.
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    // Message id 0: "ServerStart"; "UZScene" "Recall"/"Start", "Current"/"Changed",
    // "Store"/"End" and "Package" "Load"/"End" as snapshot changes (reasons 0, 1, 2 and 4) when
    // "Category" is a text. The result of startServer or of the server's snapshot change, else
    // the base's.
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;
    JLIB::JResult onChangeRunMode(KAVORI::RUNMODE runMode) override;
    // 16: the server's socket pass; others nothing.
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;
    // A change on the rack: raises event 17 on the thread itself. 0.
    JLIB::JResult onMurParameterChanged() override;
    // One changed element: announced to the clients once per parameter (at member 0, with
    // factor 255 when any member was last written by the device), and a client's write of a
    // scene slot's title or comment stores the scene. 0, or the failure of the address parse.
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                          uint32_t x, uint32_t y, uint32_t subscriptionId) override;

private:
    JLIB::JResult snapshotChanged(const TMS::AbstractMessage& message, uint32_t reason);

    // Owned; null until "ServerStart". Used on the thread's own task only.
    JOSC::IOscServer* m_pServer = nullptr;
    LpcOscDeviceController m_deviceController;
    LpcOscParameter m_parameters;
    LpcOscMeter m_meters;
};

// The change function given to the server: raises event 17 on the thread of taskId. 0.
uint32_t oscServerWakeupFunction(uint16_t taskId, uint8_t origin, uint32_t index, uint32_t x, uint32_t y);

}  // namespace LPC
