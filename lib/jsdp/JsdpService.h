#pragma once
// One registration: a service that a program announces or listens for on one network entry, with
// its datagram and the send record that carries it. A slot of the manager's pool; used on the
// caller's task under the main lock.
#include <cstdint>

#include "jsdp/JsdpTxData.h"
#include "jsdp/jsdp_types.h"
#include "oswrap/oswrap_types.h"

namespace JSDP {

class JsdpComm;

class JsdpService {
public:
    // Gives the slot its id and empties it; 0x80000000 for a negative id.
    [[nodiscard]] JLIB::JResult initialize(int32_t id);
    // Copies name, extension and role from the request, chooses the destination (the group, or the
    // local address ORed with the inverted mask when the group is all zero), takes the interval for
    // roles 2 and 3 and builds the datagram. role is already 1, 2 or 3.
    [[nodiscard]] JLIB::JResult setupData(uint8_t role, const _T_JSDP_NETWORK_SETUP_PROPERTY& request);
    // Builds the datagram into the buffer and prepares the send record for port and the
    // destination. 0, or 0x80000007 when it would exceed 1480 bytes (nothing written then).
    [[nodiscard]] JLIB::JResult createData(const netc_addr& localAddress, uint16_t port, const uint8_t* mac);
    // Rewrites the status bits of the built datagram; 0x80000002 before a build or above 15.
    [[nodiscard]] JLIB::JResult setStatus(uint8_t status);
    // Back to empty; the id stays and the send timer stops.
    void refresh();
    // Id -1 and not active: the slot is out of use.
    void finalize();

    // A registration of this role conflicts with this one (same role, or this one is role 3).
    bool checkType(uint8_t role) const { return m_role == role || m_role == kRoleBoth; }
    // Equal, non-zero name length and equal bytes.
    bool compareName(uint8_t length, const uint8_t* name) const;
    bool isProcessRequest() const { return m_role == kRoleResponder || m_role == kRoleBoth; }
    bool isProcessResponse() const { return m_role == kRoleListener || m_role == kRoleBoth; }
    bool needResponse() const { return m_role == kRoleResponder; }
    void getShareData(const uint8_t** data, uint32_t* size) const;
    // Roles 2 and 3 take the interval; role 1 keeps 0.
    void changeInterval(uint32_t intervalMs);

    // The group to join: 0 with *group when the registration joins one and is not a listener,
    // else 0x80000000.
    [[nodiscard]] JLIB::JResult getMulticastAddr(netc_addr* group) const;
    // First pass on an active line: roles 2 and 3 queue their datagram and, when it was queued,
    // start the send timer and set *send; the registration becomes active whatever its role.
    void runCommActive(JsdpComm& comm, uint8_t* send);
    // Roles 2 and 3: an expired send timer queues the datagram; when queued the timer restarts and
    // *send is set, else the timer stays expired for the next pass.
    void runInterval(JsdpComm& comm, uint8_t* send);
    void restartTimer();
    bool isNormal() const { return m_active; }

    int32_t getId() const { return m_id; }
    uint8_t getRole() const { return m_role; }
    uint8_t getStatus() const { return m_status; }
    bool isBuilt() const { return m_flagsPosition != 0; }
    bool joinsGroup() const { return m_joinsGroup; }
    const netc_addr& getDestination() const { return m_destination; }
    uint32_t getInterval() const { return m_intervalMs; }
    uint32_t getDatagramSize() const { return m_datagramSize; }
    const uint8_t* getDatagram() const { return m_packet; }
    JsdpTxData& getTxData() { return m_txData; }
    T_OSW_TIMER& getSendTimer() { return m_sendTimer; }
    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

private:
    int32_t m_id = -1;
    uint8_t m_role = 0;
    uint8_t m_kind = 0;
    uint8_t m_status = 0;
    uint32_t m_flagsPosition = 0;
    bool m_joinsGroup = false;
    netc_addr m_destination = {};
    uint8_t m_nameLength = 0;
    uint8_t m_name[kNameMax] = {};
    uint16_t m_extensionLength = 0;
    uint8_t m_extension[kExtensionMax] = {};
    uint8_t m_packet[kPacketBufferSize] = {};
    uint32_t m_datagramSize = 0;
    JsdpTxData m_txData;
    uint32_t m_intervalMs = 0;
    T_OSW_TIMER m_sendTimer = {};
    bool m_active = false;
};

}  // namespace JSDP
