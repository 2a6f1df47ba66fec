#pragma once
// Records, limits and result codes of the discovery protocol, shared by the datagram reader, the
// socket lines and the manager. Plain data without locks.
#include <cstdint>

#include "jlib/jlib_result.h"
#include "vsock/vsock_types.h"

namespace JSDP {

// Result codes of the discovery protocol.
constexpr JLIB::JResult kJsdpFailed = 0x80000000u;          // a record or queue refused the step
constexpr JLIB::JResult kJsdpLockFailed = 0x80000001u;      // lock, task or socket creation
constexpr JLIB::JResult kJsdpBadArgument = 0x80000002u;
constexpr JLIB::JResult kJsdpWrongFamily = 0x80000003u;     // also: busy, cleared, no event function
constexpr JLIB::JResult kJsdpNotRunning = 0x80000004u;
constexpr JLIB::JResult kJsdpConflict = 0x80000005u;
constexpr JLIB::JResult kJsdpMalformed = 0x80000006u;
constexpr JLIB::JResult kJsdpExhausted = 0x80000007u;
constexpr JLIB::JResult kJsdpSocketFailed = 0x80000008u;
constexpr JLIB::JResult kJsdpNoLock = 4;                     // a status: no lock configured

// Datagram limits. A datagram is 33 fixed bytes plus name and extension.
constexpr uint32_t kFixedSize = 33;
constexpr uint32_t kNameMax = 255;
constexpr uint32_t kExtensionMax = 1024;
constexpr uint32_t kLengthMin = 28;       // L counts the bytes after the length field
constexpr uint32_t kLengthMax = 1306;
constexpr uint32_t kDatagramMin = 34;
constexpr uint32_t kDatagramMax = 1312;
constexpr uint32_t kPacketBufferSize = 1482;  // a registration's datagram buffer
constexpr uint32_t kReceiveMax = 1480;        // what a line reads and what a build may fill
constexpr uint32_t kMacSize = 6;
constexpr uint32_t kFlagsPosition = 6;

// Flags byte.
constexpr uint8_t kFlagResponse = 0x80;
constexpr uint8_t kFlagKindMask = 0x70;
constexpr uint8_t kFlagStatusMask = 0x0F;

// Registration roles; any other requested value is taken as kRoleResponder.
constexpr uint8_t kRoleResponder = 1;  // answers requests
constexpr uint8_t kRoleListener = 2;   // sends requests, takes responses
constexpr uint8_t kRoleBoth = 3;       // sends requests, takes both, answers nothing

// Event numbers the manager posts to the service task.
constexpr uint32_t kEventNotify = 0;
constexpr uint32_t kEventSetup = 1;
constexpr uint32_t kEventSocket = 2;

// Lock functions take a lock id; the event function an event number. Both answer result codes.
using JsdpLockFunction = JLIB::JResult (*)(uint16_t lockId);
using JsdpEventFunction = JLIB::JResult (*)(uint32_t event);

// Parse view of a checked datagram; every pointer points into the receive buffer and is valid only
// while the buffer holds the datagram.
struct T_JSDP_SHARE_HOST_INFO {
    const uint8_t* identifier;
    uint8_t flags;
    uint8_t family;
    const uint8_t* address;  // 16 bytes
    const uint8_t* mac;      // 6 bytes
    uint8_t nameLength;
    const uint8_t* name;
    uint16_t extensionLength;
    const uint8_t* extension;
};

// A host as one accepted datagram describes it.
struct _JSDP_HOST_INFO {
    uint8_t role;    // 1 the datagram was a response, 2 a request
    uint8_t kind;    // flags bits 4 to 6
    uint8_t status;  // flags bits 0 to 3
    netc_addr address;  // advertised by the sender
    uint8_t mac[kMacSize];
    uint8_t nameLength;
    uint8_t name[kNameMax];  // zero beyond nameLength
    uint16_t extensionLength;
    uint8_t extension[kExtensionMax];  // zero beyond extensionLength
    netc_addr receivingAddress;  // local address of the line that read it
    netc_addr sourceAddress;     // where the datagram came from
    uint8_t identifier[4];
    uint8_t rawFlags;
    uint8_t rawFamily;
};

// One registration as the owner requests it. The name and extension are the caller's and are
// copied during the registration call.
struct _T_JSDP_NETWORK_SETUP_PROPERTY {
    uint8_t role;  // 1, 2 or 3; anything else is 1
    uint8_t mac[kMacSize];
    uint8_t reserved;  // not read
    netc_addr localAddress;
    netc_addr subnetMask;  // its four address bytes are used
    uint16_t port;
    netc_addr groupAddress;  // all zero: the subnet's directed broadcast
    uint8_t nameLength;
    const uint8_t* name;
    uint32_t intervalMs;  // required for roles 2 and 3
    uint16_t extensionLength;
    const uint8_t* extension;
};

// What the service task hands the manager when it attaches itself.
struct _T_JSDP_LOCAL_SETUP {
    JsdpEventFunction eventFunction;
    JsdpLockFunction lockFunction;
    JsdpLockFunction unlockFunction;
    uint16_t mainLockId;
    uint16_t socketLockId;
};

}  // namespace JSDP
