#pragma once
// Sender of meter data packets: collects the meters its owner started, each at its own interval,
// through the owner's accessor into a ring of ten packets and sends them as UDP datagrams to one
// destination. The owner calls every operation from one thread; the socket layer's task only
// reports send completions (onSent, which tells the accessor's meterSent).
#include <cstdint>
#include <map>

#include "JMDP/jmdp_MeterBuffer.h"
#include "JMDP/jmdp_Packet.h"
#include "jlib/jlib_result.h"
#include "vsock/vsock_types.h"

namespace JMDP {

class IServerMeterDataAccessor;

// Flags of JMDPServer::run.
constexpr uint32_t kRunReleaseSent = 0x1;  // the packet in flight has left: free its buffer
constexpr uint32_t kRunCollect = 0x2;      // collect the meters that are due

// Results of adding a meter to the packet being collected.
constexpr JLIB::JResult kMeterBufferBusy = 0x80000001u;   // the packet is being sent
constexpr JLIB::JResult kMeterFillFailed = 0x80000002u;   // the accessor failed
constexpr JLIB::JResult kMeterBufferFull = 0x80000008u;   // retried in the next packet
constexpr JLIB::JResult kMeterTooLarge = 0x80000010u;     // does not fit an empty packet
// Answer of a send while the previous datagram has not been released.
constexpr JLIB::JResult kSendBlocked = 4;

class JMDPServer {
public:
    static constexpr uint32_t kBufferCount = 10;
    static constexpr uint32_t kNoExpiry = 0xFFFFFFFFu;
    // From this many seconds on a meter never expires.
    static constexpr uint32_t kNoExpirySeconds = 4294967u;

    // One requested meter; all zero and inactive when constructed or stopped.
    struct MeterInfo {
        MeterId meterId;
        uint32_t startPos = 0;
        uint32_t dataNum = 0;          // 0: nothing to collect
        uint32_t startTime = 0;        // millisecond counter values
        uint32_t lastCollectTime = 0;
        uint32_t interval = 0;         // ms
        bool retry = false;
        bool active = false;
    };

    JMDPServer();
    virtual ~JMDPServer();
    JMDPServer(const JMDPServer&) = delete;
    JMDPServer& operator=(const JMDPServer&) = delete;

    // Finalizes first when initialised; opens a UDP socket on localAddress (any port), prepares
    // the ten packets with productId and name and sends to destination (IPv4 text; one that does
    // not convert is not reported) and destinationPort. Meters expire lifetimeSeconds after their
    // start (never from kNoExpirySeconds on). accessor is the owner's. 0x80000000 for a null
    // address or name, a lifetime of 0, a name of more than 4 characters, an address that does
    // not convert or a socket or packet that cannot be made.
    [[nodiscard]] JLIB::JResult initialize(IServerMeterDataAccessor* accessor, const char* localAddress,
                                           const SendProductId& productId, const char* name,
                                           const char* destination, uint16_t destinationPort,
                                           uint32_t lifetimeSeconds);
    // Closes the socket and blocks sending; the packets keep their content. 0x80000000 before any
    // initialize; 0 otherwise, also when repeated.
    JLIB::JResult finalize();
    // Starts or restarts a meter (collected at the next run). 0x80000000 before initialize.
    [[nodiscard]] JLIB::JResult startMeter(MeterId meterId, uint32_t intervalMs, uint32_t startPos, uint32_t dataNum);
    // Stops one meter (an unknown id changes nothing) or all of them. 0x80000000 before initialize.
    JLIB::JResult stopMeter(MeterId meterId);
    JLIB::JResult stopMeter();
    // The owner's periodic call, flags kRunReleaseSent and kRunCollect; then sends the packet at
    // the send position unless the previous one is still blocking. Pass kRunReleaseSent only once
    // the accessor's meterSent told that the packet left: the socket layer reads it until then.
    // 0, or 0x80000000 before initialize.
    JLIB::JResult run(uint32_t flags);

    // Socket layer's task: tells the accessor meterSent(0). 0, or 0x80000000 for a failed send.
    JLIB::JResult onSent(int32_t result);
    // 0.
    JLIB::JResult onReceived(int32_t result);

protected:
    // The millisecond counter; replaceable so that a test can drive the clock.
    virtual uint32_t currentTime() const;

    // Adds one meter to the packet at the write position: 0, 0x80000000 (data count 0),
    // kMeterBufferBusy, kMeterFillFailed, kMeterBufferFull, kMeterTooLarge.
    [[nodiscard]] JLIB::JResult addMeter(MeterInfo& meter);
    // Moves the write position on; with fullTest, moving onto the send position is refused with
    // kMeterBufferBusy.
    [[nodiscard]] JLIB::JResult incWritePointer(bool fullTest);
    // Sends the packet at the send position: kSendBlocked while blocked, 0 when there is nothing to
    // send or it was sent or queued, 0x80000000 when the send failed (its blocks are dropped).
    [[nodiscard]] JLIB::JResult sendMeter(uint32_t now);

    // For inspection by derived classes.
    const MeterInfo* findMeter(MeterId meterId) const;
    const MeterBuffer& meterBuffer(uint32_t index) const { return m_buffers[index % kBufferCount]; }
    uint32_t writeIndex() const { return m_writeIndex; }
    uint32_t sendIndex() const { return m_sendIndex; }
    bool isSendBlocked() const { return m_sendBlocked; }
    uint32_t meterLifetime() const { return m_lifetime; }

private:
    void collect(uint32_t now);

    bool m_initialized = false;
    IServerMeterDataAccessor* m_pAccessor = nullptr;  // the owner's
    netc_endpoint m_destination = {};
    int32_t m_socketId = -1;
    uint32_t m_lifetime = kNoExpiry;  // ms
    std::map<uint32_t, MeterInfo> m_meters;  // by the meter id's value, ascending
    MeterBuffer m_buffers[kBufferCount];
    uint32_t m_writeIndex = 0;
    uint32_t m_sendIndex = 0;
    bool m_sendBlocked = true;
};

}  // namespace JMDP
