#pragma once
// Shared by the socket layer tests: ports picked on 127.0.0.1, bounded waits and a recorder of
// the layer's callback reports.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "oswrap/oswrap.h"
#include "vsock/internal/vsock_wrap.h"
#include "vsock/vsock_types.h"

namespace vsocktest {

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline netc_addr loopback()
{
    netc_addr a = {};
    a.family = NETC_AF_INET;
    a.addr[0] = 127;
    a.addr[3] = 1;
    return a;
}

inline netc_endpoint loopbackEndpoint(uint16_t port) { return netc_endpoint{port, loopback()}; }

inline sockaddr_in loopbackSockaddr(uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return in;
}

// A port on 127.0.0.1 that the system just handed out for the given socket type.
inline uint16_t pickPort(int type)
{
    const int fd = ::socket(AF_INET, type, 0);
    if (fd < 0) return 0;
    sockaddr_in in = loopbackSockaddr(0);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

// A plain blocking socket of the test, closed at scope end.
class RawSocket {
public:
    explicit RawSocket(int type) : m_fd(::socket(AF_INET, type, 0)) {}
    // Takes over a descriptor the test got elsewhere (an accepted connection).
    struct Adopt {};
    RawSocket(Adopt, int fd) : m_fd(fd) {}
    ~RawSocket()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;
    int fd() const { return m_fd; }
    bool bindLoopback(uint16_t port)
    {
        const sockaddr_in in = loopbackSockaddr(port);
        return ::bind(m_fd, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) == 0;
    }
    bool connectLoopback(uint16_t port)
    {
        const sockaddr_in in = loopbackSockaddr(port);
        return ::connect(m_fd, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) == 0;
    }
    bool sendTo(uint16_t port, const void* data, size_t length)
    {
        const sockaddr_in in = loopbackSockaddr(port);
        return ::sendto(m_fd, data, length, 0, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) ==
               static_cast<ssize_t>(length);
    }
    uint16_t localPort() const
    {
        sockaddr_in in = {};
        socklen_t length = sizeof(in);
        if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
        return ntohs(in.sin_port);
    }

private:
    int m_fd;
};

// A client that connects and at once resets the connection: its close sends a reset instead of
// the normal end. The connect waits at most 5 s (a full listen queue drops connects).
inline bool connectAndReset(uint16_t port)
{
    RawSocket client(SOCK_STREAM);
    const timeval limit = {5, 0};
    const linger abort = {1, 0};
    return ::setsockopt(client.fd(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit)) == 0 &&
           ::setsockopt(client.fd(), SOL_SOCKET, SO_LINGER, &abort, sizeof(abort)) == 0 && client.connectLoopback(port);
}

// The system descriptor under a socket id of the layer, -1 none.
inline int descriptorOf(int32_t sockId)
{
    for (int32_t handle = 0; handle < kVsockHandleCount; ++handle) {
        VsockSockManage* table = nullptr;
        int32_t owner = -1;
        if (vsock_wrapGetOwnerSocketInfo(handle, &table, &owner) == 0 && table && owner == sockId) {
            return vsock_wrapGetDescriptor(handle);
        }
    }
    return -1;
}

struct Event {
    int32_t sockId;
    int32_t type;
    int32_t result;
    bool operator==(const Event& o) const { return sockId == o.sockId && type == o.type && result == o.result; }
};

inline std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{id " << e.sockId << ", type " << e.type << ", result 0x" << std::hex << e.result << std::dec << "}";
}

// Collects every report of the layer; the callback is a plain function, hence process-wide.
class Recorder {
public:
    static Recorder& instance()
    {
        static Recorder recorder;
        return recorder;
    }
    static int32_t callback(int32_t sockId, netc_sock_cb_prm* prm)
    {
        Recorder& r = instance();
        std::lock_guard<std::mutex> guard(r.m_mutex);
        r.m_events.push_back(Event{sockId, prm->type, prm->result});
        uint16_t task = 0;
        (void)oswrap_GetTskId(&task);  // 0 stays when the caller has no id
        r.m_tasks.push_back(task);
        return 0;
    }
    std::vector<Event> events()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_events;
    }
    std::vector<uint16_t> tasks()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_tasks;
    }
    std::vector<Event> eventsOf(int32_t sockId, int32_t type)
    {
        std::vector<Event> found;
        for (const Event& e : events()) {
            if (e.sockId == sockId && e.type == type) found.push_back(e);
        }
        return found;
    }
    size_t countOf(int32_t sockId, int32_t type) { return eventsOf(sockId, type).size(); }
    bool waitForCount(int32_t sockId, int32_t type, size_t count)
    {
        return waitFor([&] { return countOf(sockId, type) >= count; });
    }
    void clear()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_events.clear();
        m_tasks.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<Event> m_events;
    std::vector<uint16_t> m_tasks;
};

// The OS layer once per process; later tests of the same process find it started.
inline bool startOsLayer()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return r == 0 || r == OSWRAP::kWrongState;
    }();
    return started;
}

inline netc_sock_option recordingOption()
{
    netc_sock_option option = {};
    option.flags = NETC_SOCK_OPT_CALLBACK;
    option.callback = &Recorder::callback;
    return option;
}

inline netc_sock_create_prm createPrm(int32_t type, uint16_t port, const netc_addr& local = loopback())
{
    netc_sock_create_prm prm = {};
    prm.type = type;
    prm.port = port;
    prm.local = local;
    return prm;
}

}  // namespace vsocktest
