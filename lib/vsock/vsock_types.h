#pragma once
// Address records, records of the socket table's interface and the socket layer's result codes.
// Plain data shared by the socket layer, the socket objects and the protocols that call the layer.
#include <cstdint>

// Address family; 0 occurs only in netc_addr_any.
enum _E_NETC_AF : int32_t {
    NETC_AF_INET = 4,
    NETC_AF_INET6 = 6,
};

// An IPv4 address uses the first 4 bytes of addr. scope_id is the IPv6 scope id in network byte
// order (the system's value byte-swapped); 0 for IPv4 and for addresses read from text.
struct netc_addr {
    _E_NETC_AF family;
    uint8_t addr[16];  // network byte order
    uint32_t scope_id;
};

// Every field zero.
extern const netc_addr netc_addr_any;

struct netc_endpoint {
    uint16_t port;  // host byte order
    netc_addr addr;
};

// One item of an interface address list. IPv4: mask holds the netmask as 4 address bytes in network
// order. IPv6: mask holds the prefix length in bits.
struct netc_if_addr {
    netc_addr addr;
    uint32_t mask;
};

// Creation types of netc_sock_create_prm::type.
constexpr int32_t NETC_SOCK_UDP = 0;
constexpr int32_t NETC_SOCK_TCP_PASSIVE = 1;  // listener
constexpr int32_t NETC_SOCK_TCP_ACTIVE = 2;   // connecting side

struct netc_sock_create_prm {
    int32_t type;
    uint16_t port;    // host byte order; 0 = none (UDP not bound, a listener gets a system port)
    netc_addr local;  // family 4 or 6
    int32_t reserved; // callers set 0, or NETC_SOCK_CREATE_REUSEADDR for a UDP socket
};

// In netc_sock_create_prm::reserved: a UDP socket shares its port with other sockets of this host
// (several programs, or tests, on one discovery port).
constexpr int32_t NETC_SOCK_CREATE_REUSEADDR = 0x1;

// Event types of netc_sock_cb_prm::type.
constexpr int32_t NETC_SOCK_EV_ACCEPTED = 0;      // result: new socket id or a code
constexpr int32_t NETC_SOCK_EV_CONNECTED = 1;     // result: 0 or the connect failure
constexpr int32_t NETC_SOCK_EV_TCP_SENT = 2;      // result: bytes written by the whole send
constexpr int32_t NETC_SOCK_EV_TCP_RECEIVED = 3;  // result: bytes received, 0 = peer closed
constexpr int32_t NETC_SOCK_EV_UDP_SENT = 4;      // result: bytes written
constexpr int32_t NETC_SOCK_EV_UDP_RECEIVED = 5;  // result: length of the datagram queued

struct netc_sock_cb_prm {
    int32_t type;
    int32_t result;  // a count when non-negative, else a VSOCK_E_ code
};

// Event callback: runs on the "VSOCK" task with the socket table lock held (or on the thread that
// deletes the socket), so it must not call back into the layer. Its result is not looked at.
using netc_sock_callback = int32_t (*)(int32_t sockId, netc_sock_cb_prm* prm);

// Bit of netc_sock_option::flags that marks the callback valid; creation requires it.
constexpr uint32_t NETC_SOCK_OPT_CALLBACK = 0x40;

struct netc_sock_option {
    uint32_t flags;
    uint64_t user;  // copied, not used by the layer
    netc_sock_callback callback;
};

// State callback of vsock_setStateCallback; stored and never called.
using netc_state_callback = void (*)(int32_t state);

// Result codes of the socket layer: negative as signed numbers, callers test the sign.
constexpr int32_t VSOCK_E_SYS = static_cast<int32_t>(0xface0000u);
constexpr int32_t VSOCK_E_PAR = static_cast<int32_t>(0xface0001u);
constexpr int32_t VSOCK_E_NOEXS = static_cast<int32_t>(0xface0002u);
constexpr int32_t VSOCK_E_OBJ = static_cast<int32_t>(0xface0003u);
constexpr int32_t VSOCK_E_RES = static_cast<int32_t>(0xface0004u);
constexpr int32_t VSOCK_E_WBLK = static_cast<int32_t>(0xface0005u);  // pending: the result follows
constexpr int32_t VSOCK_E_TIMEOUT = static_cast<int32_t>(0xface0006u);
constexpr int32_t VSOCK_E_BUFSZ = static_cast<int32_t>(0xface0007u);
constexpr int32_t VSOCK_E_NODATA = static_cast<int32_t>(0xface0008u);
// The general failure a few functions answer (interface list, text conversion, unsupported calls).
constexpr int32_t VSOCK_FAILED = static_cast<int32_t>(0x80000000u);
