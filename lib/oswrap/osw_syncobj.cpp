#include "oswrap/internal/osw_syncobj.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

template <typename Call>
auto retryOnEintr(Call call)
{
    for (;;) {
        const auto result = call();
        if (result == -1 && errno == EINTR) continue;
        return result;
    }
}

int closeWithRetry(int fd) { return retryOnEintr([&] { return ::close(fd); }); }

// MSG_NOSIGNAL: a write must never raise SIGPIPE.
ssize_t writeWithRetry(int fd, const void* data, size_t size)
{
    return retryOnEintr([&] { return ::send(fd, data, size, MSG_NOSIGNAL); });
}

ssize_t readWithRetry(int fd, void* data, size_t size)
{
    return retryOnEintr([&] { return ::read(fd, data, size); });
}

// poll instead of select: select cannot watch descriptors at or above FD_SETSIZE.
int pollWithRetry(int fd, int32_t timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    return retryOnEintr([&] { return ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs); });
}

int connectWithRetry(int fd, const sockaddr* address, socklen_t size)
{
    return retryOnEintr([&] { return ::connect(fd, address, size); });
}

// Takes the pending byte; the caller holds obj.mutex.
void consumeLocked(OSWRAP::detail::SyncObj& obj)
{
    if (obj.signalled == 0) return;
    uint8_t byte = 0;
    if (obj.fd >= 0) (void)readWithRetry(obj.fd, &byte, 1);
    obj.signalled = 0;
}

// Makes the socket; returns the descriptor or -1. Closes it again on any failure.
int makeSocket(sockaddr_un& address)
{
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    if (fd < 0) return -1;
    const int flags = ::fcntl(fd, F_GETFL);
    bool ok = flags != -1 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != -1;
    if (ok) {
        std::memset(&address, 0, sizeof(address));
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof(address.sun_path), "/tmp/Jovrix_PID%d_FD%d.sock",
                      static_cast<int>(::getpid()), fd);
        const auto* sa = reinterpret_cast<const sockaddr*>(&address);
        ok = ::bind(fd, sa, sizeof(address)) == 0;
        if (ok) {
            ok = connectWithRetry(fd, sa, sizeof(address)) == 0;
            // The bound socket stays usable without its path; never leave files behind.
            (void)::remove(address.sun_path);
        }
    }
    if (!ok) {
        (void)closeWithRetry(fd);
        return -1;
    }
    return fd;
}

}  // namespace

namespace OSWRAP::detail {

JLIB::JResult initSyncObj(SyncObj* obj)
{
    if (!obj) return kBadArgument;
    std::lock_guard<std::mutex> guard(obj->mutex);
    if (obj->fd >= 0) return kWrongState;
    const int fd = makeSocket(obj->address);
    if (fd < 0) return kSystemCallFailed;
    obj->fd = fd;
    obj->signalled = 0;
    return kOk;
}

JLIB::JResult setSyncObj(SyncObj* obj)
{
    if (!obj) return kBadArgument;
    std::lock_guard<std::mutex> guard(obj->mutex);
    if (obj->fd < 0) return kWrongState;
    if (obj->signalled != 0) return kOk;
    const uint8_t byte = 0xFF;
    if (writeWithRetry(obj->fd, &byte, 1) != 1) return kFailed;
    obj->signalled = 1;
    return kOk;
}

int waitSyncObj(SyncObj* obj, int32_t timeoutMs, bool consume)
{
    if (!obj || timeoutMs < kForever) return -1;
    int fd = -1;
    {
        std::lock_guard<std::mutex> guard(obj->mutex);
        fd = obj->fd;
    }
    if (fd < 0) return -1;
    const int ready = pollWithRetry(fd, timeoutMs);
    if (ready <= 0) return ready;
    if (consume) {
        std::lock_guard<std::mutex> guard(obj->mutex);
        consumeLocked(*obj);
    }
    return ready;
}

JLIB::JResult clearSyncObj(SyncObj* obj)
{
    if (!obj) return kBadArgument;
    std::lock_guard<std::mutex> guard(obj->mutex);
    if (obj->fd < 0) return kWrongState;
    consumeLocked(*obj);
    return kOk;
}

JLIB::JResult destroySyncObj(SyncObj* obj)
{
    if (!obj) return kBadArgument;
    std::lock_guard<std::mutex> guard(obj->mutex);
    if (obj->fd < 0) return kWrongState;
    const int result = closeWithRetry(obj->fd);
    obj->fd = -1;
    obj->signalled = 0;
    return result == 0 ? kOk : kSystemCallFailed;
}

}  // namespace OSWRAP::detail
