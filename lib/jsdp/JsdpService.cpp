#include "jsdp/JsdpService.h"

#include <cstring>

#include "jsdp/JsdpComm.h"
#include "jsdp/jsdp_address.h"
#include "oswrap/oswrap_time.h"

namespace JSDP {

namespace {

constexpr uint32_t kFamilyOffset = 7;
constexpr uint32_t kAddressOffset = 8;
constexpr uint32_t kAddressField = 16;
constexpr uint32_t kMacOffset = 24;
constexpr uint32_t kNameLengthOffset = 30;
constexpr uint32_t kNameOffset = 31;
constexpr uint32_t kLengthBase = 27;  // L without name and extension
constexpr uint8_t kFamilyIpv4 = 4;
constexpr uint8_t kFamilyIpv6 = 6;

void putBig16(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

}  // namespace

JLIB::JResult JsdpService::initialize(int32_t id)
{
    if (id < 0) return kJsdpFailed;
    m_id = id;
    refresh();
    return JLIB::kOk;
}

void JsdpService::refresh()
{
    m_role = 0;
    m_kind = 0;
    m_status = 0;
    m_flagsPosition = 0;
    m_joinsGroup = false;
    m_destination = netc_addr{};
    m_nameLength = 0;
    m_extensionLength = 0;
    m_datagramSize = 0;
    m_intervalMs = 0;
    m_active = false;
    (void)oswrap_svcStopTimerMs(&m_sendTimer);  // the record is present
}

void JsdpService::finalize()
{
    refresh();
    m_id = -1;
}

JLIB::JResult JsdpService::setupData(uint8_t role, const _T_JSDP_NETWORK_SETUP_PROPERTY& request)
{
    const uint16_t extensionLength = request.extensionLength <= kExtensionMax ? request.extensionLength : 0;
    m_nameLength = request.name ? request.nameLength : 0;
    if (m_nameLength != 0) std::memcpy(m_name, request.name, m_nameLength);
    m_extensionLength = request.extension ? extensionLength : 0;
    if (m_extensionLength != 0) std::memcpy(m_extension, request.extension, m_extensionLength);
    m_role = role;
    if (isZeroAddress(request.groupAddress)) {
        m_joinsGroup = false;
        m_destination = request.localAddress;
        for (int i = 0; i < 4; ++i) {
            m_destination.addr[i] = static_cast<uint8_t>(m_destination.addr[i] | ~request.subnetMask.addr[i]);
        }
    } else {
        m_joinsGroup = true;
        m_destination = request.groupAddress;
    }
    m_intervalMs = (role == kRoleListener || role == kRoleBoth) ? request.intervalMs : 0;
    return createData(request.localAddress, request.port, request.mac);
}

JLIB::JResult JsdpService::createData(const netc_addr& localAddress, uint16_t port, const uint8_t* mac)
{
    const uint32_t l = kLengthBase + m_nameLength + m_extensionLength;
    if (kFlagsPosition + l > kReceiveMax) return kJsdpExhausted;
    uint8_t* p = m_packet;
    std::memcpy(p, "JSDP", 4);
    putBig16(p + 4, l);
    m_flagsPosition = kFlagsPosition;
    const uint8_t direction = (m_role & kRoleListener) != 0 ? 0x00 : kFlagResponse;
    p[kFlagsPosition] = static_cast<uint8_t>(direction | ((m_kind & 7) << 4) | (m_status & kFlagStatusMask));
    const bool ipv4 = localAddress.family == NETC_AF_INET;
    p[kFamilyOffset] = ipv4 ? kFamilyIpv4 : kFamilyIpv6;
    std::memset(p + kAddressOffset, 0, kAddressField);
    std::memcpy(p + kAddressOffset, localAddress.addr, ipv4 ? 4 : kAddressField);
    if (mac) std::memcpy(p + kMacOffset, mac, kMacSize); else std::memset(p + kMacOffset, 0, kMacSize);
    p[kNameLengthOffset] = m_nameLength;
    std::memcpy(p + kNameOffset, m_name, m_nameLength);
    putBig16(p + kNameOffset + m_nameLength, m_extensionLength);
    std::memcpy(p + kFixedSize + m_nameLength, m_extension, m_extensionLength);
    m_datagramSize = kFlagsPosition + l;
    netc_endpoint destination = {};
    destination.port = port;
    destination.addr = m_destination;
    m_txData.setup(destination, m_packet, m_datagramSize);
    return JLIB::kOk;
}

JLIB::JResult JsdpService::setStatus(uint8_t status)
{
    if (m_flagsPosition == 0 || status > kFlagStatusMask) return kJsdpBadArgument;
    uint8_t& flags = m_packet[m_flagsPosition];
    flags = static_cast<uint8_t>((flags & ~kFlagStatusMask) | status);
    m_status = status;
    return JLIB::kOk;
}

bool JsdpService::compareName(uint8_t length, const uint8_t* name) const
{
    if (length == 0 || length != m_nameLength || !name) return false;
    return std::memcmp(m_name, name, length) == 0;
}

void JsdpService::getShareData(const uint8_t** data, uint32_t* size) const
{
    if (data) *data = m_packet;
    if (size) *size = m_datagramSize;
}

void JsdpService::changeInterval(uint32_t intervalMs)
{
    if (m_role == kRoleListener || m_role == kRoleBoth) m_intervalMs = intervalMs;
}

JLIB::JResult JsdpService::getMulticastAddr(netc_addr* group) const
{
    if (!m_joinsGroup || m_role == kRoleListener || !group) return kJsdpFailed;
    *group = m_destination;
    return JLIB::kOk;
}

void JsdpService::restartTimer()
{
    (void)oswrap_svcStartOneshotTimerMs(&m_sendTimer, m_intervalMs);  // a one-shot record
}

void JsdpService::runCommActive(JsdpComm& comm, uint8_t* send)
{
    if (isProcessResponse() && JLIB::isSuccess(comm.requestSend(&m_txData))) {
        restartTimer();
        *send = 1;
    }
    m_active = true;
}

void JsdpService::runInterval(JsdpComm& comm, uint8_t* send)
{
    if (!isProcessResponse()) return;
    if (oswrap_svcCheckOneshotTimerMs(&m_sendTimer) != OSWRAP::kTimerExpired) return;
    if (JLIB::isFailure(comm.requestSend(&m_txData))) return;  // still queued from before
    restartTimer();
    *send = 1;
}

}  // namespace JSDP
