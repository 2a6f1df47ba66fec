#pragma once
// What the console-link benchmarks share: the layers they start once, loopback addresses and
// the bare POSIX request/reply baseline every link figure is measured against.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "dbgc/dbgc_stdapi.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"

namespace linkbench {

inline bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        (void)dbgSetDbgMode(0);  // connection lines would interleave with the report
        return (r == 0 || r == 0x80000008u) && vsock_initModule() == 0;
    }();
    return started;
}

inline sockaddr_in loopback(uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return in;
}

inline uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

inline bool readWhole(int fd, uint8_t* buffer, size_t length)
{
    size_t got = 0;
    while (got < length) {
        const ssize_t n = ::recv(fd, buffer + got, length - got, 0);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

// Blocking sockets with TCP_NODELAY: each iteration sends `request` bytes and waits for `reply`
// bytes the peer thread sends back once the whole request arrived.
inline void posixRequestReply(benchmark::State& state, size_t request, size_t reply)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = loopback(0);
    socklen_t length = sizeof(in);
    (void)::bind(listener, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    (void)::getsockname(listener, reinterpret_cast<sockaddr*>(&in), &length);
    (void)::listen(listener, 1);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    (void)::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    (void)::connect(client, reinterpret_cast<sockaddr*>(&in), sizeof(in));
    const int server = ::accept(listener, nullptr, nullptr);
    (void)::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    std::thread echo([server, request, reply] {
        std::vector<uint8_t> bytes(request > reply ? request : reply);
        while (readWhole(server, bytes.data(), request)) {
            if (::send(server, bytes.data(), reply, MSG_NOSIGNAL) != static_cast<ssize_t>(reply)) return;
        }
    });
    std::vector<uint8_t> out(request, 0);
    out[0] = 1;
    std::vector<uint8_t> back(reply);
    for (auto _ : state) {
        if (::send(client, out.data(), request, MSG_NOSIGNAL) != static_cast<ssize_t>(request) ||
            !readWhole(client, back.data(), reply)) {
            state.SkipWithError("echo failed");
            break;
        }
    }
    ::shutdown(client, SHUT_RDWR);
    echo.join();
    ::close(server);
    ::close(client);
    ::close(listener);
}

}  // namespace linkbench
