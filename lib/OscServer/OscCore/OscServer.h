#pragma once
// The OSC control server: one UDP port for requests, a fixed number of client slots, each with its
// own socket, session and queue of replies and notifications, sent as single messages or bundles
// under the session's cap on datagrams per second. Everything runs on the host thread that
// created it ("owner task only"); the socket task only calls the host's wake-up function.
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "OscServer/OscCore/IOscServer.h"
#include "OscServer/OscCore/OscCommandData.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscServer/OscCore/OscTypes.h"
#include "VUviRido/Socket/VComUdpSocket.h"
#include "jlib/JHeap.h"

namespace osc {
class OutboundPacketStream;
class ReceivedBundle;
class ReceivedMessage;
}  // namespace osc

namespace JOSC {

class OscServerCommand;
class OscServerNotification;

namespace internal {
class OscServerProbe;
}

class OscServer : public IOscServer {
public:
    static constexpr uint32_t kReceiveBufferCount = 300;
    // One datagram: what the socket layer sends and what a receive buffer holds.
    static constexpr uint32_t kDatagramSize = 1472;
    static constexpr uint32_t kMaxQueuedMessages = 3000;

    // One datagram of a receive pass; the buffer is one of the server's.
    struct ReceiveData {
        unsigned char* buffer = nullptr;
        uint32_t length = 0;
        VCOM::VComSocketAddress address;
        uint16_t port = 0;
    };

    // A message waiting to be sent, kept structured until it is encoded.
    struct OscMessageData {
        std::string address;
        JVariantList arguments;

        // The bytes the message takes in a packet; arguments of types that are not sent count nothing.
        uint32_t size() const;
        static uint32_t roundUp4(uint32_t count) { return (count + 3u) & ~3u; }
    };

    // One client slot: free while its socket is closed, active while listed in activeSlots.
    struct SendSocketData {
        VCOM::VComUdpSocket socket;  // user id = slot number + 1; destination = the client
        VCOM::VComSocketAddress address;
        uint16_t clientPort = 0;  // by which the client is recognised
        uint16_t replyPort = 0;   // where the socket currently sends
        OscSessionData session;
        std::deque<OscMessageData> queue;
        std::vector<uint32_t> sendTimes;  // one per datagram of the last 1000 ms

        // Socket stopped, address and ports reset, session stopped, queue and send times emptied.
        void clear();
    };

    // Records the calling task and allocates the receive and send buffers from the OSC heap; a
    // server whose buffers are missing refuses initialize (createOscServer gives null instead).
    OscServer();
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;
    ~OscServer() override;

    bool hasBuffers() const { return m_pReceiveBuffers && m_pSendBuffer; }

    // Owner task only. 0x80000000 with nothing changed for no slots, no wake-up or no change
    // function; 0x80000000 when the listening socket, the slots or a provider cannot be set up.
    // A second call replaces the slots, closing the sockets of the old ones.
    [[nodiscard]] JLIB::JResult initialize(uint8_t slotCount, const VCOM::VComSocketAddress& bindAddress,
                                           uint16_t txPort, uint16_t rxPort, VCOM::IVComWakeupFunction* wakeupFunction,
                                           OscChangeFunction changeFunction, OscDeviceController& deviceController,
                                           OscParameter& parameters, OscMeter& meters,
                                           NetworkOrigin networkOrigin) override;
    // Owner task only, periodically: keep-alive expiry, meters, sending, releasing idle slots. 0.
    JLIB::JResult onTimer() override;
    // Owner task only, after the wake-up function was called: delivers the sockets' events.
    JLIB::JResult runSocketCallback() override;

    // Socket events, delivered by runSocketCallback. onReceived of the listening socket (user id
    // 0) reads and handles a pass of datagrams: 0x80000000 without a parameter provider or when a
    // read fails. Datagrams reaching a slot's socket are read and dropped.
    JLIB::JResult onConnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onConnectionFailed(uint32_t userId, signed char sessionId, VCOM::ConnectionError error) override;
    JLIB::JResult onDisconnected(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onAccepted(uint32_t userId, signed char sessionId, signed char newSessionId) override;
    JLIB::JResult onReceived(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onSent(uint32_t userId, signed char sessionId) override;
    JLIB::JResult onCommunicationFailed(uint32_t userId, signed char sessionId, VCOM::CommError error) override;

    // Provider callbacks, owner task only. origin is the slot id whose request made the change;
    // that client is not notified.
    uint32_t onParameterChanged(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override;
    uint32_t onFoundDirty(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override;
    // Not supported: always 0x80000000.
    uint32_t onFoundDirtyWithTarget(uint8_t origin, uint32_t index, uint32_t x, uint32_t y) override;
    uint32_t onSnapshotChanged(uint8_t origin, const std::string& category, uint32_t number,
                               SSChangeReason reason) override;
    uint32_t onSnapshotChanged(uint8_t origin, const std::string& category, const std::string& name,
                               SSChangeReason reason) override;
    uint32_t onDeviceStatusChanged(const char* key, const char* value) override;

private:
    friend class internal::OscServerProbe;

    // Set-up steps of initialize that need no socket.
    void registerCommands();
    [[nodiscard]] JLIB::JResult createSlots(uint8_t slotCount);
    void closeSlots();
    [[nodiscard]] JLIB::JResult initializeProviders(OscDeviceController& deviceController, OscParameter& parameters,
                                                    OscMeter& meters);

    // Receiving.
    JLIB::JResult receivePass();
    void discardDatagrams(SendSocketData& slot);
    void handleReceiveData(const ReceiveData& data);
    // One datagram for a slot: walked first to make sure the OSC reader stays inside it, then
    // its bundles and messages handled and the replies queued. A malformed packet is skipped
    // whole; nothing the OSC reader throws leaves it.
    void handlePacket(const char* data, uint32_t length, SendSocketData& slot);
    void bundleHandler(const osc::ReceivedBundle& bundle, SendSocketData& slot);
    JLIB::JResult messageHandler(const osc::ReceivedMessage& message, SendSocketData& slot);
    JLIB::JResult receivedMessageToData(const osc::ReceivedMessage& message, std::string& address,
                                        JVariantList& arguments) const;
    // Fills the record from an address; 0x80000000 with the error code set on failure.
    JLIB::JResult addressPatternToCommand(const std::string& address, OscCommandData& command, uint32_t& error) const;
    void queueReply(SendSocketData& slot, const OscCommandData& request, JLIB::JResult result,
                    const JVariantList& arguments);

    // Slots.
    SendSocketData* getSendSocketData(const VCOM::VComSocketAddress& address, uint16_t clientPort);
    SendSocketData* registerSendSocketData(const VCOM::VComSocketAddress& address, uint16_t clientPort);
    SendSocketData* slotOfUserId(uint32_t userId);
    // Free: its socket is not open.
    static bool checkUnusedSendSocketData(SendSocketData& slot) { return !slot.socket.isConnected(); }
    bool canReleaseSendSocketData(SendSocketData& slot);
    void releaseSlots();

    // Sending.
    void commandToMessage(const OscCommandData& command, const JVariantList& arguments, OscMessageData& message) const;
    void pushMessage(const OscMessageData& message, SendSocketData& slot);
    JLIB::JResult sendToClient(SendSocketData& slot);
    // Encodes the next datagram from the queue into the send buffer and removes what it took;
    // false when nothing is left to send.
    bool encodeDatagram(SendSocketData& slot, uint32_t& length);
    static void addMessageToPacket(osc::OutboundPacketStream& packet, const OscMessageData& message);

    // Fan-out.
    void checkMeter(SendSocketData& slot);
    std::vector<SendSocketData*> findSocketsToNotify(uint8_t origin) const;
    bool shouldNotifyRaw(SendSocketData& slot, OscParameter& parameters, uint32_t index);
    uint32_t onSnapshotChangedCore(uint8_t origin, const std::string& category, uint32_t number,
                                   const std::string& name, SSChangeReason reason);
    void queueNotification(const OscServerNotification& notification, SendSocketData& slot);

    uint16_t m_taskId = 0;
    unsigned char* m_pReceiveBuffers = nullptr;  // kReceiveBufferCount * kDatagramSize, JNew block
    std::array<ReceiveData, kReceiveBufferCount> m_received;
    uint32_t m_receivedCount = 0;
    VCOM::VComUdpSocket m_listenSocket;  // user id 0
    char* m_pSendBuffer = nullptr;  // kDatagramSize, JNew block
    std::vector<SendSocketData*> activeSlots;  // in the order they were taken
    std::unique_ptr<SendSocketData[]> slots;
    uint8_t m_slotCount = 0;
    VCOM::VComSocketAddress m_bindAddress;
    uint16_t txPort = 0;  // 0: reply to the port a request came from
    uint16_t m_rxPort = 0;
    VCOM::IVComWakeupFunction* m_pWakeup = nullptr;  // the host's, alive while the server is
    OscChangeFunction changeFunction = nullptr;
    NetworkOrigin networkOrigin = kNetworkOrigin1;
    // The host's providers; null until initialize.
    OscDeviceController* m_pDeviceController = nullptr;
    OscParameter* m_pParameters = nullptr;
    OscMeter* m_pMeters = nullptr;
    std::map<std::string, OscServerCommand*> commands;
};

// Records heapId as the framework's heap and creates a server; null when it or one of its buffers
// cannot be allocated. Any task; the creating task becomes the server's owner.
IOscServer* createOscServer(JLIB::HeapId heapId);
// Destroys a server made by createOscServer, on its owner task; null is accepted.
void destroyOscServer(IOscServer* server);

}  // namespace JOSC
