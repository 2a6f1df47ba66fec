#pragma once
// A socket line: the UDP socket of one discovery network entry with its receive line, its send line
// and its socket-event record pair. Owner task only: the discovery task, with the main lock held.
#include <cstdint>

#include "jsdp/JsdpList.h"
#include "jsdp/JsdpTxData.h"
#include "jsdp/jsdp_types.h"

namespace JSDP {

class JsdpCallbackDataSet;
class JsdpCallbackPair;

// Receive line: datagram notices not yet read and the buffer of the datagram being read.
struct T_JSDP_LINE_RX_INFO {
    int32_t pendingCount = 0;
    uint32_t currentLength = 0;
    uint8_t buffer[kReceiveMax + 2] = {};
    T_JSDP_SHARE_HOST_INFO view = {};

    void clear();
    // Reads at most one datagram from sockId (see JsdpComm::doReceive). 0, or 0x80000008 when the
    // socket failed.
    [[nodiscard]] JLIB::JResult action(int32_t sockId, const netc_addr& lineAddress, netc_endpoint* source,
                                       uint8_t* flags, _JSDP_HOST_INFO* host, uint8_t* more);
};

// Send line: a first-in first-out queue of send records and the state of the one at its head.
struct T_JSDP_LINE_TX_INFO {
    static constexpr uint32_t kIdle = 0;
    static constexpr uint32_t kReady = 1;
    static constexpr uint32_t kWaiting = 2;     // the socket layer completes the send later
    static constexpr uint32_t kCompleted = 3;
    static constexpr uint32_t kFinalized = 0xFFFFFFFFu;
    static constexpr uint32_t kStepsPerPass = 100;

    uint32_t state = kIdle;
    int32_t lastResult = 0;
    JsdpList<JsdpTxData> queue;

    // Every queued record becomes idle; state 0.
    void clear();
    [[nodiscard]] JLIB::JResult action(int32_t sockId, uint8_t* first, uint8_t* second);
    void complete(int32_t result);
};

class JsdpComm {
public:
    static constexpr uint32_t kNoSocketYet = 0;
    static constexpr uint32_t kActive = 1;
    static constexpr uint32_t kCreationFailed = 2;  // not retried until reset
    static constexpr uint32_t kInterfaceTable = 10;

    JsdpComm() = default;
    ~JsdpComm();
    JsdpComm(const JsdpComm&) = delete;
    JsdpComm& operator=(const JsdpComm&) = delete;

    // An empty line without socket, its send queue of the given capacity. 0, or the queue's failure.
    [[nodiscard]] JLIB::JResult initialize(uint16_t index, uint32_t queueCapacity);
    // pair is the manager's and outlives the line.
    void connectCallbackPair(JsdpCallbackPair* pair) { m_pPair = pair; }
    // Into the line and both records of its pair.
    void setSockId(int32_t sockId);

    // Status 0 only: creates the UDP socket on port, with lineAddress as its local address (the
    // socket layer binds the wildcard and sends from that address) and the event callback; sets
    // both out flags. Refused: status 2 and 0x80000001. Other statuses: nothing, 0.
    [[nodiscard]] JLIB::JResult doInterval(const netc_addr& lineAddress, uint16_t port, uint8_t* receive, uint8_t* send);
    // Joins group on the interface that holds the line address: the socket layer's result, or
    // 0x80000000 when no interface holds it.
    [[nodiscard]] JLIB::JResult addMulticast(const netc_addr& group);
    // Reads at most one datagram. An accepted one fills flags and host (else host stays cleared);
    // the line's own datagrams and rejected ones are dropped; more tells that notices remain.
    // 0x80000008 without a socket (the line unchanged) or when the socket failed (the line reset).
    [[nodiscard]] JLIB::JResult doReceive(const netc_addr& lineAddress, netc_endpoint* source, uint8_t* flags,
                                          _JSDP_HOST_INFO* host, uint8_t* more);
    // Runs the send line, at most 100 steps; second tells that more remains, first is always 0.
    // 0x80000008 without a socket, or when the socket layer refused a send as invalid (line reset).
    [[nodiscard]] JLIB::JResult doSend(uint8_t* first, uint8_t* second);
    // Applies the events that set's copyWorks took over for this line: notices add to the pending
    // count and set receive, a completion finishes the send and sets send. Flags are only set.
    void runSocketCallback(JsdpCallbackDataSet& set, uint8_t* receive, uint8_t* send);
    // Queues an idle record; 0x80000000 when it is not idle or the queue refuses it.
    [[nodiscard]] JLIB::JResult requestSend(JsdpTxData* record);
    // The same after giving an idle record its destination and data (borrowed).
    [[nodiscard]] JLIB::JResult requestSendWithSet(JsdpTxData* record, const netc_endpoint& destination,
                                                   const uint8_t* data, uint32_t size);
    // Takes a queued record out of the queue unless the socket layer is sending it; it is then
    // idle. For a registration that is cleared while its line stays.
    void withdrawSend(JsdpTxData* record);

    // Closes the socket, clears both lines, status 0.
    void reset();
    // Releases the send queue (send state -1), closes the socket, status 0.
    void finalize();

    uint32_t getStatus() const { return m_status; }
    int32_t getSockId() const { return m_sockId; }
    uint16_t getIndex() const { return m_index; }
    const netc_addr& getLineAddress() const { return m_lineAddress; }
    int32_t getPendingCount() const { return m_rx.pendingCount; }
    uint32_t getSendState() const { return m_tx.state; }
    uint32_t getQueuedCount() const { return m_tx.queue.size(); }

private:
    void closeSocket();

    int32_t m_sockId = -1;
    JsdpCallbackPair* m_pPair = nullptr;  // the manager's
    uint16_t m_index = 0;
    netc_addr m_lineAddress = {};
    netc_if_addr m_interfaces[kInterfaceTable] = {};
    T_JSDP_LINE_RX_INFO m_rx;
    T_JSDP_LINE_TX_INFO m_tx;
    uint32_t m_status = kNoSocketYet;
};

}  // namespace JSDP
