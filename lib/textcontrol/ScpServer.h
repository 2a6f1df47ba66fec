#pragma once
// The text control server: sessions over a borrowed TCP server socket, dispatch of each decoded
// command, replies held back whole when the send space is short, and the notifications the
// models trigger. Everything but onParameterChanged runs on the owner's thread; no lock.
#include <cstdint>

#include "jlib/JDataStream.h"
#include "textcontrol/IScpServer.h"
#include "textcontrol/ScpServerCommand.h"
#include "textcontrol/ScpServerNotificationMTR.h"
#include "textcontrol/ScpServerNotificationSET.h"
#include "textcontrol/ScpServerNotificationSETN.h"

namespace SCP {

class ScpServer : public IScpServer {
public:
    // The port an owner listens on unless it is told another; the server itself only borrows the socket.
    static constexpr uint16_t kDefaultPort = 50100;
    static constexpr uint32_t kReceiveSize = 1500;
    static constexpr uint32_t kComposeSize = 1000;
    static constexpr JLIB::JResult kNotEnabled = 5;
    static constexpr JLIB::JResult kNoDecoder = 2;
    static constexpr JLIB::JResult kNoConnection = 0x80000005u;
    static constexpr JLIB::JResult kSendSpaceShort = 0x80000007u;
    static constexpr JLIB::JResult kSendFailed = 0x80000008u;
    static constexpr JLIB::JResult kNotifyFailed = 0x80000009u;

    struct PendingInfo {
        unsigned char input[kReceiveSize] = {};
        uint32_t inputLength = 0;
        bool pending = false;
        // The reply composed when it did not fit: sent as it is, so the command runs once.
        unsigned char reply[kComposeSize] = {};
        uint32_t replyLength = 0;
    };

    ScpServer();
    ~ScpServer() override;

    uint32_t initialize(ScpNotifyFunction notify, VCOM::IVCom& socket, ScpDeviceController& controller,
                        ScpParameter& parameters, ScpMeter& meters) override;
    uint32_t onTimer() override;

    JLIB::JResult onConnected(uint32_t, signed char) override { return 0; }
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return 0; }

    uint32_t onParameterChanged(uint8_t session, uint32_t index, uint32_t x, uint32_t y) override;
    uint32_t onFoundDirty(uint8_t session, uint32_t index, uint32_t x, uint32_t y) override;
    uint32_t onFoundDirtyWithTarget(uint8_t session, uint32_t index, uint32_t x, uint32_t y) override;
    uint32_t onSnapshotChanged(uint8_t session, const ScpString& category, uint32_t snapshotIndex,
                               SSChangeReason reason) override;
    uint32_t onDeviceStatusChanged(const wchar_t* tag, const wchar_t* data) override;

    uint32_t getChildIdMax() const { return m_childCount; }
    ScpSessionData* getChildSessionData(signed char sessionId);
    ScpSessionData* getChildSessionDataByIndex(uint32_t index);
    PendingInfo* getPendingInfo(signed char sessionId);

    // Feeds received bytes to the session's decoder, running each complete command.
    JLIB::JResult execute(const unsigned char* bytes, uint32_t length, signed char sessionId);
    JLIB::JResult retryToSend(signed char sessionId);
    JLIB::JResult sendToClient(uint8_t index, const unsigned char* bytes, uint32_t count);
    JLIB::JResult checkMeter(uint8_t index);

private:
    JLIB::JResult decode(uint8_t index, const unsigned char* bytes, uint32_t length, uint32_t& consumed);
    JLIB::JResult run(uint8_t index);
    JLIB::JResult sendStream(uint8_t index);
    // The compose stream's message to one session, as a notification status (0, 4, 5, 6).
    uint32_t notifyStatus(uint8_t index);
    uint32_t notifyParameter(uint8_t index, uint32_t address, uint32_t x, uint32_t y);
    bool ready() const { return m_pSocket && m_pParameters; }

    ScpNotifyFunction m_notify = nullptr;
    uint16_t m_taskId = 0;
    VCOM::IVCom* m_pSocket = nullptr;
    ScpDeviceController* m_pController = nullptr;
    ScpParameter* m_pParameters = nullptr;
    ScpMeter* m_pMeters = nullptr;
    uint32_t m_childCount = 0;
    ScpSessionData* m_pChildSessionData = nullptr;
    unsigned char* m_pReceiveBuff = nullptr;
    JLIB::JDataStream<unsigned char> m_stream;
    // The frequent notifications, kept for reuse.
    ScpServerNotificationMTR m_notificationMTR;
    ScpServerNotificationSET m_notificationSET;
    ScpServerNotificationSETN m_notificationSETN;
    PendingInfo* m_pPendingInfo = nullptr;
};

}  // namespace SCP
