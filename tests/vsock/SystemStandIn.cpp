#include "vsock/SystemStandIn.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr int kWatchMs = 2000;

std::atomic<int> s_resetError{0};
std::atomic<int> s_dropped{0};
std::atomic<int> s_wouldBlockFd{-1};
std::atomic<bool> s_wouldBlockTaken{false};

bool isReset(int fd)
{
    pollfd p = {fd, POLLIN, 0};
    (void)::poll(&p, 1, kWatchMs);  // data, an error or the bound: the error word tells
    int error = 0;
    socklen_t length = sizeof(error);
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == ECONNRESET;
}

}  // namespace

// The program's own definitions come before the C library's, so the socket layer calls these.
extern "C" int accept(int fd, sockaddr* address, socklen_t* length)
{
    const int taken = ::accept4(fd, address, length, 0);
    const int error = s_resetError.load();
    if (taken < 0 || error == 0 || !isReset(taken)) return taken;
    (void)::close(taken);  // dropped, as the system would have done
    ++s_dropped;
    errno = error;
    return -1;
}

extern "C" ssize_t recv(int fd, void* buffer, size_t size, int flags)
{
    int expected = fd;
    if (fd >= 0 && s_wouldBlockFd.compare_exchange_strong(expected, -1)) {
        s_wouldBlockTaken = true;
        errno = EAGAIN;
        return -1;
    }
    return ::recvfrom(fd, buffer, size, flags, nullptr, nullptr);
}

namespace vsocktest {

void failAcceptOfResetConnections(int error) { s_resetError = error; }

int droppedConnections() { return s_dropped.load(); }

void wouldBlockOnce(int fd)
{
    s_wouldBlockTaken = false;
    s_wouldBlockFd = fd;
}

bool wouldBlockTaken() { return s_wouldBlockTaken.load(); }

StandInReset::~StandInReset()
{
    s_resetError = 0;
    s_wouldBlockFd = -1;
}

}  // namespace vsocktest
