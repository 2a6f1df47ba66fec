#pragma once
// The DSP engine thread ("DSP"): brings the DSP players into service over their command stream,
// sends them the compiled audio configuration once both they and the component manager are
// ready, forwards coefficient changes, and drives the components' timers and the logic network.
// Every hook, the player strategy and the socket callbacks run on the thread's own task.
#include <cstdint>
#include <memory>
#include <vector>

#include "PDB/pdb_AddressId.h"
#include "common/KavoriAppThread.h"
#include "common/tpcp/CommandSender.h"
#include "common/tpcp/CommandStreamReader.h"
#include "common/tpcp/INotificationProcessor.h"
#include "common/tpcp/NotificationCollection.h"
#include "common/tpcp/tpcp_constants.h"
#include "dravo/manager/dravo_IPlayerCommunicationStrategy.h"
#include "ossupport/ossupport_Process.h"
#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"

namespace VCOM {
class VComTcpClientSocket;
}

namespace KAVORI {

class OPVDspThread : public KavoriAppThread,
                     public TPCP::INotificationProcessor,
                     public DRAVO::IPlayerCommunicationStrategy,
                     public VCOM::IVComWakeupFunction,
                     public VCOM::IVComCallback {
public:
    struct PlayerStatus {
        bool booted = false;  // the supervision has reported the players booted
    };

    static constexpr uint32_t kComponentTimerId = 0;
    static constexpr uint32_t kSupervisionTimerId = 1;
    static constexpr uint32_t kLogicTimerId = 2;
    static constexpr uint32_t kComponentTimerMs = 20;
    static constexpr uint32_t kSupervisionTimerMs = 1000;
    static constexpr uint32_t kLogicTimerMs = 200;
    static constexpr uint32_t kEventConfigure = 16;
    static constexpr uint32_t kEventSocket = 17;
    static constexpr uint32_t kEventLogicTrigger = 18;
    // A coefficient array goes out in pieces of at most this many bytes.
    static constexpr uint32_t kCoefPieceSize = 65536;

    // The players' command stream is taken at 127.0.0.1 on commandPort.
    explicit OPVDspThread(uint16_t commandPort = TPCP::kDefaultCommandPort);
    ~OPVDspThread() override;

    // Notification processor (own task): log the notification; 0.
    JLIB::JResult processTCPConnectedNotification(const char* text) override;
    JLIB::JResult processErrorNotification(const char* text1, const char* text2) override;

    // Player strategy (own task). sendCoef: nothing and 0 while not connected; 0x80000000 when a
    // piece fails (the rest is not sent).
    uint32_t sendStart(uint32_t sendType) override;
    uint32_t sendCoef(uint32_t uniqID, uint32_t arrayID, uint32_t offset, const void* bytes, uint32_t size) override;
    uint32_t sendEnd() override;
    uint32_t sendAddComponentCommand(const char* name, uint32_t majorVersion, uint32_t uniqID, uint32_t numX,
                                     uint32_t numY) override;

    // Any task: posts event 17 for the command socket; 0x80000000 for another object or a failed post.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

    // Socket callbacks (own task, through event 17).
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    // Logs the failed attempt; the next supervision tick tries again.
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    // The players are gone: back to "DRAVOpState" 1, so the supervision connects and configures again.
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeSystemInfo() override;
    JLIB::JResult onChangePDBStatus(PDBSTAT state) override;
    JLIB::JResult onChangeAudioComponentConfig() override;
    JLIB::JResult onFoundChangedParameter(PDB::IParameterDB& db, uint32_t componentIndex, uint32_t addressIndex,
                                          uint32_t x, uint32_t y, uint32_t subscriptionId) override;
    JLIB::JResult didOnFoundChangedParameter() override;
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;

    // Own task: the command socket is up.
    bool isPlayerConnected() const;

private:
    void handleDebugMessage(const TMS::AbstractMessage& message, const char* command);
    void runConfiguration();
    void supervisePlayers();
    void logConnectionFailed();
    void startComponentTimers();
    void stopComponentTimers();
    // Registers as the DSP thread of the component collection.
    void beginDSPUse();
    void readPeakHold();
    void updatePeakHold();
    void printCoef(uint32_t uniqID, uint32_t coefID, uint32_t pos1, uint32_t pos2, uint32_t pos3);
    uint32_t readSysParam(const char* name) const;
    void writePState(uint32_t state);

    uint16_t m_commandPort;
    PlayerStatus m_playerStatus;
    OSSUPPORT::Process m_playerProcess;
    TPCP::NotificationCollection m_notifications;
    std::unique_ptr<VCOM::VComTcpClientSocket> m_pSocket;
    TPCP::CommandStreamReader m_reader;  // holds the frame under way
    TPCP::CommandSender m_sender;
    PDB::AddressId m_peakHoldAddress;
    bool m_peakHold = false;
    uint32_t m_seenMState = 0;  // the values last acted upon
    uint32_t m_seenPState = 0;
};

}  // namespace KAVORI
