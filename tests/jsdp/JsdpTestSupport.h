#pragma once
// Shared by the discovery tests: the layers started once per process, bounded waits, the manager
// attached with real locks, a plain UDP socket of the test and a writer of crafted datagrams.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "jsdp/jsdp_manage.h"
#include "jsdp/jsdp_types.h"
#include "oswrap/oswrap.h"
#include "vsock/vsock.h"

namespace jsdptest {

inline bool startLayers()
{
    static const bool started = [] {
        const JLIB::JResult r = oswrap_init(nullptr, 0, 0);
        return (r == 0 || r == OSWRAP::kWrongState) && vsock_initModule() == 0;
    }();
    return started;
}

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

inline netc_addr ipv4(const char* text)
{
    netc_addr a = {};
    (void)vsock_pton(NETC_AF_INET, text, &a);  // the tests pass literal addresses
    return a;
}

inline netc_endpoint endpoint(const char* text, uint16_t port)
{
    netc_endpoint e = {};
    e.port = port;
    e.addr = ipv4(text);
    return e;
}

inline sockaddr_in sockaddrOf(const char* address, uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    (void)::inet_pton(AF_INET, address, &in.sin_addr);
    return in;
}

// A UDP port on 127.0.0.1 that the system just handed out.
inline uint16_t pickPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return 0;
    sockaddr_in in = sockaddrOf("127.0.0.1", 0);
    socklen_t length = sizeof(in);
    uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof(in)) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) == 0) {
        port = ntohs(in.sin_port);
    }
    ::close(fd);
    return port;
}

// Locks as the service would make them, and a notify function that counts the socket events.
struct Locks {
    uint16_t main = 0;
    uint16_t socket = 0;
};

inline std::atomic<int>& notifications()
{
    static std::atomic<int> count{0};
    return count;
}

inline JLIB::JResult countingNotify(uint32_t event)
{
    if (event == JSDP::kEventSocket) ++notifications();
    return 0;
}

inline JLIB::JResult lockSem(uint16_t id) { return oswrap_WaiSem(id); }
inline JLIB::JResult unlockSem(uint16_t id) { return oswrap_SigSem(id); }

inline Locks makeLocks()
{
    Locks locks;
    T_OSW_CSEM mainRecord{nullptr, 0, 1, "JSDPMAIN"};
    T_OSW_CSEM socketRecord{nullptr, 0, 1, "JSDPVSOCK"};
    (void)oswrap_AcreSem(&locks.main, &mainRecord);  // a zero id shows in the set-up check
    (void)oswrap_AcreSem(&locks.socket, &socketRecord);
    return locks;
}

// The manager attached as the service task would attach it (state 2).
inline bool attachManager(const Locks& locks, JSDP::JsdpEventFunction event = &countingNotify)
{
    const JSDP::_T_JSDP_LOCAL_SETUP record = {event, &lockSem, &unlockSem, locks.main, locks.socket};
    return JSDP::gl_manage.initialize(&lockSem, &unlockSem, locks.main, locks.socket) == 0 &&
           JSDP::gl_manage.setup(&record) == 0;
}

// A registration request with literal addresses; name and extension point into the strings.
struct Request {
    std::string name;
    std::vector<uint8_t> extension;
    JSDP::_T_JSDP_NETWORK_SETUP_PROPERTY property = {};

    Request(uint8_t role, const char* local, uint16_t port, const std::string& serviceName,
            const char* group = "239.192.0.64", uint32_t intervalMs = 5000)
        : name(serviceName)
    {
        property.role = role;
        const uint8_t mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
        std::memcpy(property.mac, mac, sizeof(mac));
        property.reserved = 4;
        property.localAddress = ipv4(local);
        property.subnetMask = ipv4("255.255.255.0");
        property.port = port;
        property.groupAddress = group ? ipv4(group) : netc_addr{};
        property.intervalMs = intervalMs;
        sync();
    }
    // Points the request at its own strings again (after a copy or a change).
    JSDP::_T_JSDP_NETWORK_SETUP_PROPERTY& sync()
    {
        property.nameLength = static_cast<uint8_t>(name.size());
        property.name = reinterpret_cast<const uint8_t*>(name.data());
        property.extensionLength = static_cast<uint16_t>(extension.size());
        property.extension = extension.data();
        return property;
    }
};

// Builds a datagram byte by byte, so that tests can also write what no sender would.
class DatagramWriter {
public:
    DatagramWriter(const std::string& name, const std::vector<uint8_t>& extension = {}, uint8_t flags = 0x80,
                   uint8_t family = 4, const std::vector<uint8_t>& address = {192, 168, 1, 20})
    {
        const uint32_t l = 27 + static_cast<uint32_t>(name.size() + extension.size());
        append({'J', 'S', 'D', 'P', uint8_t(l >> 8), uint8_t(l), flags, family});
        std::vector<uint8_t> field(16, 0);
        std::copy(address.begin(), address.end(), field.begin());
        append(field);
        append({0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, static_cast<uint8_t>(name.size())});
        append(std::vector<uint8_t>(name.begin(), name.end()));
        append({uint8_t(extension.size() >> 8), uint8_t(extension.size())});
        append(extension);
    }
    DatagramWriter& append(const std::vector<uint8_t>& data)
    {
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        return *this;
    }
    DatagramWriter& set(size_t at, uint8_t value)
    {
        m_bytes.at(at) = value;
        return *this;
    }
    DatagramWriter& setLength(uint16_t l) { return set(4, uint8_t(l >> 8)).set(5, uint8_t(l)); }
    std::vector<uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// The socket layer binds its UDP sockets without address reuse, so no test socket could share the
// port of a discovery line to hear its announcements. This turns reuse on for the line's socket
// (the one bound to the wildcard address on port) after the fact; a test socket with reuse may then
// bind the group or broadcast address of that port. False when no such socket is open.
inline bool shareLinePort(uint16_t port)
{
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(fds)) {
        const int fd = std::atoi(entry->d_name);
        if (fd <= 2 || fd == ::dirfd(fds)) continue;
        int type = 0;
        socklen_t typeLength = sizeof(type);
        sockaddr_in in = {};
        socklen_t length = sizeof(in);
        if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLength) != 0 || type != SOCK_DGRAM) continue;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length) != 0 || in.sin_family != AF_INET) continue;
        if (ntohs(in.sin_port) != port || in.sin_addr.s_addr != htonl(INADDR_ANY)) continue;
        const int on = 1;
        found = ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) == 0;
    }
    ::closedir(fds);
    return found;
}

// A group of its own per port, so that memberships of tests running side by side never mix.
inline std::string groupFor(uint16_t port)
{
    return "239.192." + std::to_string(port >> 8) + "." + std::to_string(port & 0xFF);
}

// A plain UDP socket of the test, bound where the test says, with address reuse so that it can
// share a port with a socket bound to the wildcard. Its receive waits at most 2 s.
class RawUdp {
public:
    RawUdp() : m_fd(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        const timeval limit = {2, 0};
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
        const int on = 1;
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    }
    ~RawUdp() { ::close(m_fd); }
    RawUdp(const RawUdp&) = delete;
    RawUdp& operator=(const RawUdp&) = delete;

    bool bind(const char* address, uint16_t port)
    {
        const sockaddr_in in = sockaddrOf(address, port);
        return ::bind(m_fd, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) == 0;
    }
    uint16_t port() const
    {
        sockaddr_in in = {};
        socklen_t length = sizeof(in);
        if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
        return ntohs(in.sin_port);
    }
    // Joins the group on the loopback interface and sends group datagrams through it.
    bool joinOnLoopback(const char* group)
    {
        ip_mreq request = {};
        (void)::inet_pton(AF_INET, group, &request.imr_multiaddr);
        request.imr_interface.s_addr = htonl(INADDR_LOOPBACK);
        if (::setsockopt(m_fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof(request)) != 0) return false;
        return ::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_IF, &request.imr_interface, sizeof(in_addr)) == 0;
    }
    // Sends group datagrams out of the loopback without joining the group.
    bool sendThroughLoopback()
    {
        in_addr loopback = {};
        loopback.s_addr = htonl(INADDR_LOOPBACK);
        return ::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_IF, &loopback, sizeof(loopback)) == 0;
    }
    // Waits at most ms for a datagram.
    void setReceiveLimit(int ms)
    {
        const timeval limit = {ms / 1000, (ms % 1000) * 1000};
        (void)::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    }
    bool sendTo(const char* address, uint16_t port, const std::vector<uint8_t>& bytes)
    {
        const sockaddr_in in = sockaddrOf(address, port);
        return ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) ==
               static_cast<ssize_t>(bytes.size());
    }
    // One datagram and its source address, empty after 2 s without one.
    std::vector<uint8_t> receive(std::string* from = nullptr)
    {
        std::vector<uint8_t> bytes(4096);
        sockaddr_in in = {};
        socklen_t length = sizeof(in);
        const ssize_t n = ::recvfrom(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&in), &length);
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        if (from) {
            char text[INET_ADDRSTRLEN] = {};
            (void)::inet_ntop(AF_INET, &in.sin_addr, text, sizeof(text));
            *from = text;
        }
        return bytes;
    }

private:
    int m_fd;
};

}  // namespace jsdptest
