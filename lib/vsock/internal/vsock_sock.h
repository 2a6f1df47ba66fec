#pragma once
// Internals of the socket table kept for tests and diagnostics; nothing outside the layer calls them.
#include <cstdint>

#include "vsock/vsock_types.h"

// Entry of the "VSOCK" task.
void vsock_sockTskMain(void* arg);
// The socket id whose entry uses the handle, -1 none.
[[nodiscard]] int32_t vsock_sockManageToSelfId(int32_t handle);
// Whether the socket entry is free (false for an id outside 0..31).
[[nodiscard]] bool vsock_sock_isFree(int32_t sockId);
// The entry's callback when its flag NETC_SOCK_OPT_CALLBACK is set, else null.
[[nodiscard]] netc_sock_callback vsock_sock_getCallback(int32_t sockId);
// The internal 2048-byte receive block of a TCP entry and its size; VSOCK_E_PAR / VSOCK_E_OBJ.
[[nodiscard]] int32_t vsock_sock_core_getRxBuf(int32_t sockId, void** buffer, int32_t* size);
// Closes every entry, highest id first, without reports.
void vsock_sockManageReset();
