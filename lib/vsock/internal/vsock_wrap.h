#pragma once
// The system socket wrapper under the socket table: 32 handle entries over BSD socket descriptors
// (all non-blocking), the poll slots of the "VSOCK" task with its wake socket pair, and the
// conversion of each call's errno into the layer's codes. Only the socket table calls these.
// Handle numbers are 0..31 and are not range-checked unless said.
#include <cstdint>

#include "vsock/vsock_types.h"

struct VsockSockManage;  // the socket table that owns a handle (vsock.cpp)

constexpr int32_t kVsockHandleCount = 32;

// Takes a handle entry and creates the system socket for *prm; on success *handle is its number,
// on failure the entry is free again, *handle is -1 and the code is the answer.
[[nodiscard]] int32_t vsock_wrapCreateSock(const netc_sock_create_prm* prm, int32_t* handle);
// Closes the descriptor and frees the entry (the owner is cleared too); the close's code.
[[nodiscard]] int32_t vsock_wrapDeleteSock(int32_t handle);
// One connection from a listening handle into a new handle entry (*newHandle, -1 on failure).
// VSOCK_E_WBLK when none was taken: none waiting, or the waiting one failed on its own (aborted,
// refused, a network error of that connection); the listener is fine either way.
[[nodiscard]] int32_t vsock_wrapAccept(int32_t handle, netc_endpoint* peer, int32_t* newHandle);
// 0 connected, VSOCK_E_WBLK in progress, or the code.
[[nodiscard]] int32_t vsock_wrapConnect(int32_t handle, const netc_endpoint* remote);
// The pending error of a connecting socket, converted like a connect error (0 for success).
[[nodiscard]] int32_t vsock_wrapGetConnectResult(int32_t handle);
// One send or recv; *count gets the bytes (0 on failure); 0 or the code.
[[nodiscard]] int32_t vsock_wrapSendTcp(int32_t handle, const void* data, int32_t length, int32_t* count);
[[nodiscard]] int32_t vsock_wrapRecvTcp(int32_t handle, void* buffer, int32_t size, int32_t* count);
// One datagram to *to with the handle's local IPv4 address as source; the byte count (also in
// *count) or the code.
[[nodiscard]] int32_t vsock_wrapSendUdp(int32_t handle, const void* data, int32_t length, const netc_endpoint* to,
                                        int32_t* count);
// One recvfrom; *from is the source (all zero on failure), *count the bytes; 0 or the code.
[[nodiscard]] int32_t vsock_wrapRecvUdp(int32_t handle, void* buffer, int32_t size, netc_endpoint* from, int32_t* count);
// how 1 shuts sending down, 2 both directions, anything else VSOCK_E_PAR.
[[nodiscard]] int32_t vsock_wrapShutdown(int32_t handle, int32_t how);
// Join or leave an IPv4 group on the interface with address *local (0 = the system's choice);
// another family of either address does nothing and answers 0.
[[nodiscard]] int32_t vsock_wrapAddMulticast(int32_t handle, const netc_addr* local, const netc_addr* group);
[[nodiscard]] int32_t vsock_wrapDelMulticast(int32_t handle, const netc_addr* local, const netc_addr* group);
// Addresses of interface number ifNo (0 loopback, n the n-th up non-loopback interface) of family
// 0 (both), 4 or 6: the number of items written, VSOCK_E_PAR, VSOCK_E_NOEXS or VSOCK_FAILED.
[[nodiscard]] int32_t vsock_wrapGetLocalAddr(int32_t ifNo, int32_t family, netc_if_addr* list, int32_t capacity);
// Owner of a handle; VSOCK_E_PAR for a handle outside 0..31, a null pointer or (set) owner id -1.
[[nodiscard]] int32_t vsock_wrapSetOwnerSocketInfo(int32_t handle, VsockSockManage* table, int32_t ownerId);
[[nodiscard]] int32_t vsock_wrapGetOwnerSocketInfo(int32_t handle, VsockSockManage** table, int32_t* ownerId);
// The descriptor of a handle, -1 none (tests and diagnostics).
int vsock_wrapGetDescriptor(int32_t handle);

// Poll slots of the "VSOCK" task, used only by that task except SetEvent.
void vsock_socketApiWrapperResetWaitEvent();
// Slot of the handle watches its descriptor for events (POLLIN/POLLOUT/POLLPRI); no events: unwatched.
void vsock_socketApiWrapperAddWaitEvent(int32_t handle, int16_t events);
// Whether the slot of the handle watches all of these events in the set last begun. Under the
// socket table's lock, which the set is built under, the answer holds for the poll that follows.
bool vsock_socketApiWrapperWatches(int32_t handle, int16_t events);
// One poll over all slots without time-out; drains the wake socket when it is readable. The poll's
// answer.
int vsock_socketApiWrapperWaitEvent();
// What the last poll found for the handle, as read, write and exception flags.
void vsock_socketApiWrapperGetEvent(int32_t handle, bool* read, bool* write, bool* except);
// Wakes the task; any task may call. Writes to the wake socket only when no wake-up written since
// the task last began its set (ResetWaitEvent) is still on its way.
void vsock_socketApiWrapperSetEvent();

// Task start: frees every handle entry, unwatches every slot and makes the wake socket pair.
// VSOCK_E_RES when the pair cannot be made.
[[nodiscard]] int32_t vsock_wrap_startup();
// Task end: nothing (callers may still wake a task that is gone).
void vsock_wrap_cleanup();
