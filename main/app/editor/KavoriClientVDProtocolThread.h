#pragma once
// The editor-link thread "VDProtocol": connects to the editor on 127.0.0.1 at the "port" option,
// carries out its requests through the executor, turns every changed parameter element into a
// notification, sends the connected announcement once the system is ready, and releases "System"
// when the link cannot be made or is lost. Everything runs on its own task except wakeup, which
// the socket layer calls and which only posts event 16.
#include <cstdint>
#include <memory>
#include <string>

#include "VUviRido/Socket/IVComWakeupFunction.h"
#include "common/KavoriAppThread.h"
#include "editor/IVDProtocolConnectObserver.h"

namespace VDProtocol {
class VDProtocolClientUnit;
}
namespace VDevice {
class VDProtocolExecutor;
}

namespace KAVORI {

class KavoriClientVDProtocolThread : public KavoriAppThread,
                                     public VCOM::IVComWakeupFunction,
                                     public VDProtocol::IVDProtocolConnectObserver {
public:
    static constexpr uint32_t kQueueCapacity = 5;
    static constexpr uint32_t kEventSocket = 16;
    static constexpr uint32_t kEventRearmMeter = 17;
    static constexpr uint32_t kDetectTimerId = 0;
    static constexpr uint32_t kMeterTimerId = 1;
    static constexpr uint32_t kDetectIntervalMs = 5000;
    // The meter timer's period: the meter registry's interval (60 ms unless the editor set one).
    static uint32_t meterIntervalMs();

    KavoriClientVDProtocolThread();
    // Deletes the client unit, then the executor.
    ~KavoriClientVDProtocolThread() override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

    // Own task: "VDPState" 1, flushed.
    JLIB::JResult setThreadStatusForNormal();

    // The connection's events, on the own task inside the unit's runCallback.
    void connected() override;
    void connectFailed() override;
    // Releases "System": the engine ends without its editor.
    void disconnected() override;
    void received(const VDProtocol::PacketContainer& packet) override;
    // Socket task: posts event 16.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

protected:
    // On the change from "STOP" to "RUN": opens the link (or, without "uid" or "port", reports
    // the thread ready at once). A link that cannot be opened releases "System".
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    // "DetectStart", "DetectStop" and the answers to the executor, with message id 0 while "RunMode" is 0.
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onChangeRunMode(RUNMODE runMode) override;
    JLIB::JResult onChangePDBStatus(PDBSTAT state) override;
    JLIB::JResult onReceiveLocalEvent(uint32_t eventNumber) override;
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                          uint32_t x, uint32_t y, uint32_t subscriptionId) override;

private:
    JLIB::JResult openLink();
    // Logs why the link cannot be made and ends the engine; 0x80000000.
    JLIB::JResult failLink(const char* why);
    JLIB::JResult onChangeSyncState();
    // The answers of other threads to the executor's requests, handed to its reply operations.
    void routeAnswer(const std::string& command, const TMS::AbstractMessage& message);
    void rearmMeterTimer();
    void releaseSystem();

    std::unique_ptr<VDProtocol::VDProtocolClientUnit> m_pClientUnit;
    std::unique_ptr<VDevice::VDProtocolExecutor> m_pExecutor;
};

}  // namespace KAVORI
