#pragma once
// The socket layer: a table of 32 sockets served by one task, "VSOCK", that waits on all of them
// with a single poll and reports each completed operation to the socket's callback on that task.
// No call blocks on the network: an operation is checked, started and answered at once, as a rule
// with VSOCK_E_WBLK (accepted, the result follows by callback). Any task may call these functions,
// except from inside a socket callback (the table lock is held there and is not recursive).
//
// "checks" below: the layer running (else VSOCK_E_OBJ), the id in 0..31 (else VSOCK_E_PAR) and the
// entry in use (else VSOCK_E_NOEXS), in this order.
// Time-outs: -1 without limit; 0 times out at the first repeated call; n > 0 ms. A time-out is
// noticed only when the caller repeats the pending call with the same context (the data, buffer,
// peer-out or remote pointer): VSOCK_E_TIMEOUT and the operation is dropped, else VSOCK_E_WBLK.
#include "vsock/vsock_addr.h"
#include "vsock/vsock_types.h"

// Starts the layer and its task once: 0 (also at once when already started or starting);
// VSOCK_FAILED when the task or its locks cannot be made, the layer then stays stopped.
// Meant for the main program before the first socket is made.
[[nodiscard]] int32_t vsock_initModule();
// Ends the task and waits for it: 0, or VSOCK_E_OBJ when not running. Sockets still open are not closed.
[[nodiscard]] int32_t vsock_endModule();

// A socket id 0..31 (the lowest free), or VSOCK_E_PAR (null record, type not 0..2, family not 4 or
// 6, flag NETC_SOCK_OPT_CALLBACK missing or null callback), VSOCK_E_OBJ (not running), VSOCK_E_RES
// (no free entry or handle), or the system socket's failure. A UDP socket receives from the start.
[[nodiscard]] int32_t vsock_createSock(const netc_sock_create_prm* prm, const netc_sock_option* option);
// Checks; closes the socket. Pending operations are reported with VSOCK_E_NOEXS on the calling
// thread before this returns. A listener with accepted sockets still open answers VSOCK_E_OBJ and
// stays open. 0 or the close's failure (the entry is freed either way).
[[nodiscard]] int32_t vsock_deleteSock(int32_t sockId);
// VSOCK_E_PAR for a null record, a missing flag or a null callback; checks; replaces flags, user
// value and callback; 0.
[[nodiscard]] int32_t vsock_setSockOption(int32_t sockId, const netc_sock_option* option);
// VSOCK_E_PAR for a null pointer; checks; 0; writes nothing.
[[nodiscard]] int32_t vsock_getSockOption(int32_t sockId, netc_sock_option* option);
// Checks; 0; writes nothing.
[[nodiscard]] int32_t vsock_getSockStatus(int32_t sockId, int32_t* status);

// Listener only (else VSOCK_E_OBJ); arms the acceptance of one connection: VSOCK_E_WBLK. The report
// (NETC_SOCK_EV_ACCEPTED on the listener's id) carries the new socket's id, which takes the highest
// free entry, and the peer is written to *peer first; *peer must stay valid until then.
[[nodiscard]] int32_t vsock_accept(int32_t sockId, netc_endpoint* peer, int32_t timeoutMs);
// Connecting side only (else VSOCK_E_OBJ): 0 connected at once, VSOCK_E_WBLK in progress (report
// NETC_SOCK_EV_CONNECTED), or the failure. Once connected, a call answers the recorded result.
[[nodiscard]] int32_t vsock_connect(int32_t sockId, const netc_endpoint* remote, int32_t timeoutMs);
// Checks; 0; does nothing else.
[[nodiscard]] int32_t vsock_shutdown(int32_t sockId, int32_t how);
[[nodiscard]] int32_t vsock_abort(int32_t sockId);
// TCP only (else VSOCK_E_OBJ). Arms one receive of up to size bytes straight into buffer, which must
// stay valid until the report (NETC_SOCK_EV_TCP_RECEIVED; 0 bytes: the peer closed). VSOCK_E_WBLK.
[[nodiscard]] int32_t vsock_recvTcp(int32_t sockId, void* buffer, int32_t size, int32_t timeoutMs);
// TCP only (else VSOCK_E_OBJ). Writes once at once on the calling thread and the rest from the
// task; data must stay valid until the report (NETC_SOCK_EV_TCP_SENT with the bytes of the whole
// send). VSOCK_E_WBLK, or the first write's failure (then a repeated call with the same data
// answers the bytes written and frees the operation).
[[nodiscard]] int32_t vsock_sendTcp(int32_t sockId, const void* data, int32_t length, int32_t timeoutMs);
// The calling thread's own path, for an owner that moves its data itself while the kernel takes
// or holds it and falls back to the calls above only when it has to wait: nothing is left pending
// and nothing is reported. Checks as above; TCP only (else VSOCK_E_OBJ), and VSOCK_E_OBJ while a
// send (receive) of the socket is pending, which must come first; VSOCK_E_PAR for a null pointer
// or a length (size) of 0 or less.
// Send: the bytes the system took at once (0 when its buffer is full), or the write's failure.
[[nodiscard]] int32_t vsock_sendTcpNow(int32_t sockId, const void* data, int32_t length);
// Receive: the bytes read (0: the peer closed), VSOCK_E_WBLK when nothing has arrived, or the failure.
[[nodiscard]] int32_t vsock_recvTcpNow(int32_t sockId, void* buffer, int32_t size);
// Completes an armed receive (vsock_recvTcp) on the calling thread when the system answers it at
// once, instead of the task's report: true with *result what the report would have carried (the
// bytes now in the armed buffer, 0 peer closed, or the failure) and the receive no longer armed;
// false when nothing was armed or nothing has arrived (it stays armed), or a check failed.
[[nodiscard]] bool vsock_recvTcpTake(int32_t sockId, int32_t* result);
// VSOCK_E_PAR for null data or destination; UDP with no send pending (else VSOCK_E_OBJ). The
// datagram goes out with the socket's local address as source, at once on the calling thread when
// the system takes it, else from the task; data must stay valid until the report
// (NETC_SOCK_EV_UDP_SENT, always from the task). VSOCK_E_WBLK.
[[nodiscard]] int32_t vsock_sendUdp(int32_t sockId, const void* data, int32_t length, const netc_endpoint* to,
                                    int32_t timeoutMs);
// As vsock_sendUdp, but only at once on the calling thread and without any report: the bytes
// written, VSOCK_E_WBLK when the system cannot take the datagram now (nothing is left pending),
// or the failure. VSOCK_E_OBJ also while a send of vsock_sendUdp is pending.
[[nodiscard]] int32_t vsock_sendUdpNow(int32_t sockId, const void* data, int32_t length, const netc_endpoint* to);
// Queues on the calling thread, without reports, the datagrams the system holds for a UDP socket,
// as the task would (vsock_recvUdp takes them in arrival order): the number queued, 0 when none
// was (nothing there, the queue full, or a check failed), or the read's failure as the task would
// have reported it (reading stops there).
[[nodiscard]] int32_t vsock_recvUdpPoll(int32_t sockId);
// UDP only (else VSOCK_E_OBJ). Takes the oldest queued datagram: its length with the data and its
// source (from may be null) copied out; VSOCK_E_NODATA when none waits; VSOCK_E_BUFSZ when it is
// longer than size (it stays queued). The time-out is not used.
[[nodiscard]] int32_t vsock_recvUdp(int32_t sockId, void* buffer, int32_t size, netc_endpoint* from, int32_t timeoutMs);
// Checks; 0; does nothing else.
[[nodiscard]] int32_t vsock_recvUdpWithBuf(int32_t sockId, void* buffer, int32_t size, netc_endpoint* from);

// VSOCK_E_OBJ when not running; else the addresses of interface number ifNo (0 loopback, n the n-th
// up non-loopback interface) of family 0 (both), 4 or 6: the number of items written, VSOCK_E_PAR,
// VSOCK_E_NOEXS (no such interface) or VSOCK_FAILED (interface list unavailable).
[[nodiscard]] int32_t vsock_getLocalAddr(int32_t ifNo, int32_t family, netc_if_addr* list, int32_t capacity);
// Joins (leaves) an IPv4 group on every UDP socket whose local address is 0 or an address of
// interface number ifNo. VSOCK_E_OBJ not running, VSOCK_E_PAR for a null or non-IPv4 group, the
// interface lookup's failure, or (join) the first failing socket's code. Leaving answers 0.
[[nodiscard]] int32_t vsock_addMulticastAddr(int32_t ifNo, const netc_addr* group);
[[nodiscard]] int32_t vsock_delMulticastAddr(int32_t ifNo, const netc_addr* group);

// 0 when running, VSOCK_E_OBJ otherwise; they change and fill nothing.
[[nodiscard]] int32_t vsock_setLocalAddr(int32_t ifNo, const netc_if_addr* address);
[[nodiscard]] int32_t vsock_getDnsServAddr(netc_addr* address, int32_t capacity);
[[nodiscard]] int32_t vsock_setDnsServAddr(const netc_addr* address, int32_t count);
[[nodiscard]] int32_t vsock_getDefaultGwAddr(netc_addr* address);
[[nodiscard]] int32_t vsock_setDefaultGwAddr(const netc_addr* address);
[[nodiscard]] int32_t vsock_rslvHostAddr(const char* hostName, netc_addr* address);
// Always VSOCK_E_SYS.
[[nodiscard]] int32_t vsock_addLocalAddr(uint32_t value);
[[nodiscard]] int32_t vsock_delLocalAddr(uint32_t value);
// Always VSOCK_FAILED.
[[nodiscard]] int32_t vsock_sendGARP(uint32_t value);
// Whether multicast datagrams can be sent on this platform: true on Linux.
[[nodiscard]] bool vsock_canSendMulticast();
// Stores the callback, which the layer never calls; 0.
int32_t vsock_setStateCallback(netc_state_callback callback);
