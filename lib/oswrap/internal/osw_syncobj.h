#pragma once
// Wait object: a local datagram socket connected to itself. It is signalled while one byte waits in
// it, so a task can block on it with a millisecond time-out. At most one byte is ever pending.
#include <sys/un.h>

#include <mutex>

#include "oswrap/oswrap_types.h"

namespace OSWRAP::detail {

struct SyncObj {
    int fd = -1;              // -1 while not made
    sockaddr_un address{};
    std::mutex mutex;         // guards signalled and the pending byte, never held while waiting
    uint8_t signalled = 0;
};

// 0x80000005 null, 0x80000008 already made, 0x80000013 when a system call fails.
[[nodiscard]] JLIB::JResult initSyncObj(SyncObj* obj);
// Writes the byte unless one is pending: 0, 0x80000000 when it could not be written,
// 0x80000005 null, 0x80000008 not made.
[[nodiscard]] JLIB::JResult setSyncObj(SyncObj* obj);
// Waits until readable: timeoutMs -1 without limit. Returns the readiness count (positive when
// signalled), 0 on time-out, -1 on failure or when not made. With consume, takes the pending byte.
[[nodiscard]] int waitSyncObj(SyncObj* obj, int32_t timeoutMs, bool consume);
// Takes a pending byte: 0, 0x80000005 null, 0x80000008 not made.
[[nodiscard]] JLIB::JResult clearSyncObj(SyncObj* obj);
// Closes the socket: 0, 0x80000013 when close fails, 0x80000005 null, 0x80000008 not made.
[[nodiscard]] JLIB::JResult destroySyncObj(SyncObj* obj);

}  // namespace OSWRAP::detail
