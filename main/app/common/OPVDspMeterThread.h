#pragma once
// The DSP meter thread ("DSPMeter"): receives what the DSP players report unasked on the meter
// channel (UDP) and writes meter data into the components' meter pools and the players' status
// into DRAVO::PlayerStatusDB. Every hook, the processor and the socket callbacks run on the
// thread's own task.
#include <cstdint>
#include <memory>
#include <vector>

#include "common/KavoriAppThread.h"
#include "common/tpcp/IMeterNotificationProcessor.h"
#include "common/tpcp/MeterChannelReader.h"
#include "common/tpcp/MeterNotificationCollection.h"
#include "common/tpcp/tpcp_constants.h"
#include "VUviRido/Socket/IVComCallback.h"
#include "VUviRido/Socket/IVComWakeupFunction.h"

namespace VCOM {
class VComUdpSocket;
}

namespace KAVORI {

class OPVDspMeterThread : public KavoriAppThread,
                          public TPCP::IMeterNotificationProcessor,
                          public VCOM::IVComWakeupFunction,
                          public VCOM::IVComCallback {
public:
    static constexpr uint32_t kBindTimerId = 1;
    static constexpr uint32_t kBindTimerMs = 1000;
    static constexpr uint32_t kEventSocket = 16;
    static constexpr uint32_t kCoreInfoSize = sizeof(TPCP::CoreInfo);

    // The meter channel is bound at 127.0.0.1 on meterPort.
    explicit OPVDspMeterThread(uint16_t meterPort = TPCP::kDefaultMeterPort);
    ~OPVDspMeterThread() override;

    // Own task. Hands the bytes to the meter pool of the component the thread's view holds;
    // 0x80000000 without bytes, for a component not held, or when the pool refuses.
    JLIB::JResult processMeterNotification(uint32_t first, uint32_t uniqID, uint32_t arrayNo, uint32_t byteOffset,
                                           uint32_t byteCount, const unsigned char* bytes) override;
    // Own task. Stores the words and the records from core firstCore on, dropping those past the
    // store's cores; 0x80000000 and nothing stored without records, when byteCount is not
    // coreCount records, or when firstCore or coreCount reads as negative.
    JLIB::JResult processPlayerStatusNotification(uint32_t first, uint32_t word1, uint32_t word2, uint32_t firstCore,
                                                  uint32_t coreCount, uint32_t byteCount,
                                                  const TPCP::CoreInfo* cores) override;

    // Any task: posts event 16 for the meter socket; 0x80000000 for another object or a failed post.
    JLIB::JResult wakeup(uint16_t ownerTaskId, VCOM::IVCom& object) override;

    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    // Reads every waiting datagram; 0x80000000 on a read failure or without socket.
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

    JLIB::JResult onTimer(uint32_t timerId, uint32_t count) override;

protected:
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override;
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;
    JLIB::JResult onFinalize() override;

private:
    void bindChannel();
    void printRawMeter(uint32_t uniqID, uint32_t meterID, uint32_t pos1, uint32_t pos2, uint32_t pos3);

    uint16_t m_meterPort;
    TPCP::MeterNotificationCollection m_notifications;
    std::unique_ptr<VCOM::VComUdpSocket> m_pSocket;
    TPCP::MeterChannelReader m_reader;  // holds the datagram buffer
};

}  // namespace KAVORI
