#include "jsdp/JsdpComm.h"

#include <cstring>

#include "jlib/jlib_cfg.h"
#include "jsdp/JsdpCallbackDataSet.h"
#include "jsdp/jsdp_address.h"
#include "jsdp/jsdp_manage.h"
#include "jsdp/jsdp_packet.h"
#include "vsock/vsock.h"

namespace JSDP {

namespace {

constexpr int32_t kNoSocket = -1;
constexpr int32_t kNoWait = -1;  // the read never waits whatever it is given
// Interfaces are numbered from 0 without gaps; far more than any host has.
constexpr int32_t kInterfaceLimit = 256;
// A datagram the receive buffer cannot take is read here to be dropped. Larger than any UDP payload.
uint8_t s_discard[65536];

}  // namespace

void T_JSDP_LINE_RX_INFO::clear()
{
    pendingCount = 0;
    currentLength = 0;
    view = T_JSDP_SHARE_HOST_INFO{};
}

JLIB::JResult T_JSDP_LINE_RX_INFO::action(int32_t sockId, const netc_addr& lineAddress, netc_endpoint* source,
                                          uint8_t* flags, _JSDP_HOST_INFO* host, uint8_t* more)
{
    *more = 0;
    std::memset(host, 0, sizeof(*host));
    JLIB::JResult result = JLIB::kOk;
    if (currentLength == 0 && pendingCount > 0) {
        int32_t n = vsock_recvUdp(sockId, buffer, static_cast<int32_t>(kReceiveMax), source, kNoWait);
        if (n == VSOCK_E_BUFSZ) {
            // Longer than any datagram of this protocol: drop it rather than lose the socket, which
            // any host on the network could otherwise keep closing.
            n = vsock_recvUdp(sockId, s_discard, static_cast<int32_t>(sizeof(s_discard)), source, kNoWait);
            if (n >= 0) {
                JLIB_LOG("[W] JsdpComm::doReceive - datagram of %d bytes dropped\n", n);
                --pendingCount;
                *source = netc_endpoint{};
                currentLength = 0;
                if (pendingCount > 0) *more = 1;
                return JLIB::kOk;
            }
        }
        if (n < 0) {
            *source = netc_endpoint{};
            pendingCount = 0;
            if (n != VSOCK_E_NODATA) {
                JLIB_LOG("[E] JsdpComm::doReceive - read failed (0x%08x)\n", static_cast<unsigned>(n));
                result = kJsdpSocketFailed;
            }
        } else {
            --pendingCount;
            currentLength = static_cast<uint32_t>(n);
            if (currentLength == 0) {
                // consumed, nothing to look at
            } else if (compareVSOCK_ADDR(source->addr, lineAddress)) {
                *source = netc_endpoint{};  // the line's own datagram
            } else if (JLIB::isSuccess(convertPacket2ShareHostInfo(&view, buffer, currentLength))) {
                *flags = view.flags;
                (void)convertShareHostInfo2HostInfo(host, &view, &source->addr, &lineAddress);  // all present
            }
            currentLength = 0;
        }
    }
    if (currentLength == 0 && pendingCount > 0) *more = 1;
    return result;
}

void T_JSDP_LINE_TX_INFO::clear()
{
    for (JsdpTxData* record : queue) {
        record->idle();
        (void)queue.remove(record);  // present: it is the one being visited
    }
    state = kIdle;
    lastResult = 0;
}

JLIB::JResult T_JSDP_LINE_TX_INFO::action(int32_t sockId, uint8_t* first, uint8_t* second)
{
    *first = 0;
    *second = 0;
    for (uint32_t step = 0; step < kStepsPerPass; ++step) {
        const uint32_t before = state;
        switch (state) {
        case kIdle:
            if (queue.front()) state = kReady;
            break;
        case kReady: {
            JsdpTxData* head = queue.front();
            if (!head) {
                state = kIdle;
                break;
            }
            state = kWaiting;
            const int32_t r = vsock_sendUdp(sockId, head->getData(), static_cast<int32_t>(head->getSize()),
                                            &head->getDestination(), kNoWait);
            if (r != VSOCK_E_WBLK) {
                lastResult = r;
                state = kCompleted;
            }
            break;
        }
        case kWaiting:
            break;  // the completion arrives as a socket event
        case kCompleted: {
            if (lastResult == VSOCK_E_PAR) {
                JLIB_LOG("[E] JsdpComm::doSend - send refused as invalid (0x%08x)\n", static_cast<unsigned>(lastResult));
                return kJsdpSocketFailed;  // the head stays queued; the caller's reset makes it idle
            }
            JsdpTxData* head = queue.front();
            if (head) {
                (void)head->done();  // queued records only
                (void)queue.pop();   // it is the head
                head->idle();
            }
            state = kIdle;
            break;
        }
        default:
            return JLIB::kOk;  // finalised: nothing to send
        }
        if (state == before) return JLIB::kOk;
    }
    *second = 1;
    return JLIB::kOk;
}

void T_JSDP_LINE_TX_INFO::complete(int32_t result)
{
    lastResult = result;
    state = kCompleted;
}

JsdpComm::~JsdpComm() { closeSocket(); }

JLIB::JResult JsdpComm::initialize(uint16_t index, uint32_t queueCapacity)
{
    closeSocket();
    m_index = index;
    m_lineAddress = netc_addr{};
    m_rx.clear();
    m_tx.state = T_JSDP_LINE_TX_INFO::kIdle;
    m_tx.lastResult = 0;
    m_status = kNoSocketYet;
    return m_tx.queue.initialize(queueCapacity);
}

void JsdpComm::setSockId(int32_t sockId)
{
    m_sockId = sockId;
    if (m_pPair) m_pPair->setSockId(sockId);
}

JLIB::JResult JsdpComm::doInterval(const netc_addr& lineAddress, uint16_t port, uint8_t* receive, uint8_t* send)
{
    if (m_status != kNoSocketYet) return JLIB::kOk;
    // Shared, so several programs on one host (and tests) can use the discovery port.
    const netc_sock_create_prm create = {NETC_SOCK_UDP, port, lineAddress, NETC_SOCK_CREATE_REUSEADDR};
    const netc_sock_option option = {NETC_SOCK_OPT_CALLBACK, 0, &vsockCallback};
    const int32_t sockId = vsock_createSock(&create, &option);
    if (sockId < 0) {
        JLIB_LOG("[E] JsdpComm::doInterval - no socket on port %u (0x%08x)\n", static_cast<unsigned>(port),
                 static_cast<unsigned>(sockId));
        m_status = kCreationFailed;
        return kJsdpLockFailed;
    }
    setSockId(sockId);
    *receive = 1;
    *send = 1;
    m_lineAddress = lineAddress;
    m_status = kActive;
    return JLIB::kOk;
}

JLIB::JResult JsdpComm::addMulticast(const netc_addr& group)
{
    for (int32_t ifNo = 0; ifNo < kInterfaceLimit; ++ifNo) {
        const int32_t count = vsock_getLocalAddr(ifNo, m_lineAddress.family, m_interfaces, kInterfaceTable);
        if (count <= 0) break;
        for (int32_t i = 0; i < count && i < static_cast<int32_t>(kInterfaceTable); ++i) {
            if (compareVSOCK_ADDR(m_interfaces[i].addr, m_lineAddress)) {
                return static_cast<JLIB::JResult>(vsock_addMulticastAddr(ifNo, &group));
            }
        }
    }
    return kJsdpFailed;
}

JLIB::JResult JsdpComm::doReceive(const netc_addr& lineAddress, netc_endpoint* source, uint8_t* flags,
                                  _JSDP_HOST_INFO* host, uint8_t* more)
{
    if (!source || !flags || !host || !more) return kJsdpBadArgument;
    if (m_sockId == kNoSocket) {
        *more = 0;
        return kJsdpSocketFailed;
    }
    const JLIB::JResult r = m_rx.action(m_sockId, lineAddress, source, flags, host, more);
    if (JLIB::isFailure(r)) {
        reset();
        *more = 0;
    }
    return r;
}

JLIB::JResult JsdpComm::doSend(uint8_t* first, uint8_t* second)
{
    if (!first || !second) return kJsdpBadArgument;
    *first = 0;
    *second = 0;
    if (m_sockId == kNoSocket) return kJsdpSocketFailed;
    const JLIB::JResult r = m_tx.action(m_sockId, first, second);
    if (JLIB::isFailure(r)) reset();
    return r;
}

void JsdpComm::runSocketCallback(JsdpCallbackDataSet& set, uint8_t* receive, uint8_t* send)
{
    T_JSDP_VSOCK_CALLBACK_DATA* work = set.getWork(m_index);
    if (!work || m_sockId == kNoSocket || work->sockId != m_sockId) return;
    if (work->receiveCount > 0) {
        m_rx.pendingCount += work->receiveCount;
        if (receive) *receive = 1;
    }
    if ((work->flags & kCallbackSent) != 0) {
        m_tx.complete(work->sendResult);
        if (send) *send = 1;
    }
    work->clearEvents();  // applied once, even if the pass runs again before the next take-over
}

JLIB::JResult JsdpComm::requestSend(JsdpTxData* record)
{
    if (!record) return kJsdpFailed;
    JLIB_RETURN_IF_FAILED(record->request());
    if (JLIB::isFailure(m_tx.queue.push(record))) {
        record->idle();
        return kJsdpFailed;
    }
    return JLIB::kOk;
}

JLIB::JResult JsdpComm::requestSendWithSet(JsdpTxData* record, const netc_endpoint& destination, const uint8_t* data,
                                           uint32_t size)
{
    if (!record || !record->IsIdle()) return kJsdpFailed;
    record->setup(destination, data, size);
    return requestSend(record);
}

void JsdpComm::withdrawSend(JsdpTxData* record)
{
    if (!record || !m_tx.queue.contains(record)) return;
    // The head may be in the socket layer's hands; its completion frees it.
    if (m_tx.queue.front() == record && m_tx.state != T_JSDP_LINE_TX_INFO::kIdle) return;
    (void)m_tx.queue.remove(record);  // contained
    record->idle();
}

void JsdpComm::closeSocket()
{
    if (m_sockId == kNoSocket) return;
    (void)vsock_deleteSock(m_sockId);  // the entry is freed whatever the close answers
    setSockId(kNoSocket);
}

void JsdpComm::reset()
{
    closeSocket();
    m_rx.clear();
    m_tx.clear();
    m_status = kNoSocketYet;
}

void JsdpComm::finalize()
{
    m_tx.clear();
    m_tx.queue.release();
    m_tx.state = T_JSDP_LINE_TX_INFO::kFinalized;
    closeSocket();
    m_rx.clear();
    m_status = kNoSocketYet;
}

}  // namespace JSDP
