#include "vsock/internal/vsock_wrap.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct HandleEntry {
    // Claimed and freed by any task; fd and owner are read by the socket task while a creating
    // task fills a freshly claimed entry, hence atomic too.
    std::atomic<int32_t> inUse{0};
    std::atomic<int> fd{-1};
    std::atomic<VsockSockManage*> owner{nullptr};  // the socket table outlives every handle it owns
    std::atomic<int32_t> ownerId{-1};
    netc_addr local = {};
    netc_addr spare[10] = {};
};

constexpr int kWakeSlot = kVsockHandleCount;
constexpr size_t kWakeBufferSize = 1500;

struct PollSlots {
    pollfd fds[kVsockHandleCount + 1] = {};
    std::atomic<int> wakeWrite{-1};
    int wakeRead = -1;
    // Set by the wake-up that writes to the pair, cleared when the task starts building its next
    // poll set: every wake-up in between finds the task's coming set already taking it in, so it
    // writes nothing.
    std::atomic<bool> wakePending{false};
    // The events of each handle in the set being built or polled, readable by any task.
    std::atomic<int16_t> watched[kVsockHandleCount] = {};
};

HandleEntry gl_handle[kVsockHandleCount];
PollSlots gl_socketApiWrapper;
uint8_t gl_wakeBuffer[kWakeBufferSize];

#define VSOCK_RETURN_IF_FAILED(expr) \
    do { const int32_t vr_ = (expr); if (vr_ < 0) return vr_; } while (0)

// ---- errno conversion, one table per system call ----

struct ErrnoCode {
    int error;
    int32_t code;
};

const ErrnoCode kSocketErrors[] = {
    {EINVAL, VSOCK_E_PAR}, {EPROTONOSUPPORT, VSOCK_E_PAR}, {EAFNOSUPPORT, VSOCK_E_PAR}, {EACCES, VSOCK_E_OBJ},
    {ENOMEM, VSOCK_E_RES}, {ENFILE, VSOCK_E_RES}, {EMFILE, VSOCK_E_RES}, {ENOBUFS, VSOCK_E_RES},
};
const ErrnoCode kFcntlErrors[] = {
    {EPERM, VSOCK_E_PAR}, {EBADF, VSOCK_E_PAR}, {EFAULT, VSOCK_E_PAR}, {EINVAL, VSOCK_E_PAR},
    {EINTR, VSOCK_E_OBJ}, {EDEADLK, VSOCK_E_OBJ}, {EACCES, VSOCK_E_OBJ}, {EAGAIN, VSOCK_E_OBJ},
    {EMFILE, VSOCK_E_RES}, {ENOLCK, VSOCK_E_RES},
};
const ErrnoCode kSockOptErrors[] = {
    {EBADF, VSOCK_E_PAR}, {EFAULT, VSOCK_E_PAR}, {EINVAL, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR},
    {ENOPROTOOPT, VSOCK_E_PAR},
};
const ErrnoCode kCloseErrors[] = {
    {EBADF, VSOCK_E_PAR}, {EINTR, VSOCK_E_OBJ}, {EIO, VSOCK_E_OBJ},
};
const ErrnoCode kBindErrors[] = {
    {ENOENT, VSOCK_E_PAR}, {EBADF, VSOCK_E_PAR}, {EFAULT, VSOCK_E_PAR}, {ENOTDIR, VSOCK_E_PAR},
    {ENOTSOCK, VSOCK_E_PAR}, {EADDRNOTAVAIL, VSOCK_E_PAR}, {ENAMETOOLONG, VSOCK_E_PAR}, {EACCES, VSOCK_E_OBJ},
    {EINVAL, VSOCK_E_OBJ}, {EROFS, VSOCK_E_OBJ}, {EADDRINUSE, VSOCK_E_OBJ}, {ELOOP, VSOCK_E_OBJ},
    {ENOMEM, VSOCK_E_RES},
};
const ErrnoCode kListenErrors[] = {
    {EBADF, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR}, {EADDRINUSE, VSOCK_E_OBJ}, {EOPNOTSUPP, VSOCK_E_OBJ},
};
// A connection that was aborted, refused by a firewall or interrupted, and the connection's own
// network errors that Linux passes up through accept, concern that connection only: like an empty
// queue they leave nothing taken, and the listener waits for the next one.
const ErrnoCode kAcceptErrors[] = {
    {EBADF, VSOCK_E_PAR}, {EFAULT, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR}, {EINVAL, VSOCK_E_OBJ},
    {ENOMEM, VSOCK_E_RES}, {ENFILE, VSOCK_E_RES}, {EMFILE, VSOCK_E_RES}, {ENOBUFS, VSOCK_E_RES},
    {EAGAIN, VSOCK_E_WBLK}, {EINTR, VSOCK_E_WBLK}, {ECONNABORTED, VSOCK_E_WBLK}, {EPROTO, VSOCK_E_WBLK},
    {EPERM, VSOCK_E_WBLK}, {ENETDOWN, VSOCK_E_WBLK}, {ENOPROTOOPT, VSOCK_E_WBLK}, {EHOSTDOWN, VSOCK_E_WBLK},
    {ENONET, VSOCK_E_WBLK}, {EHOSTUNREACH, VSOCK_E_WBLK}, {EOPNOTSUPP, VSOCK_E_WBLK}, {ENETUNREACH, VSOCK_E_WBLK},
};
const ErrnoCode kConnectErrors[] = {
    {0, 0}, {EBADF, VSOCK_E_PAR}, {EFAULT, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR},
    {EAFNOSUPPORT, VSOCK_E_PAR}, {ENETUNREACH, VSOCK_E_PAR}, {EPERM, VSOCK_E_OBJ}, {EACCES, VSOCK_E_OBJ},
    {EALREADY, VSOCK_E_OBJ}, {EADDRINUSE, VSOCK_E_OBJ}, {EISCONN, VSOCK_E_OBJ}, {ECONNREFUSED, VSOCK_E_OBJ},
    {EAGAIN, VSOCK_E_RES}, {EINPROGRESS, VSOCK_E_WBLK}, {ETIMEDOUT, VSOCK_E_TIMEOUT},
};
const ErrnoCode kSendErrors[] = {
    {EBADF, VSOCK_E_PAR}, {EINVAL, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR}, {EMSGSIZE, VSOCK_E_PAR},
    {EOPNOTSUPP, VSOCK_E_PAR}, {EINTR, VSOCK_E_OBJ}, {EACCES, VSOCK_E_OBJ}, {EFAULT, VSOCK_E_OBJ},
    {EPIPE, VSOCK_E_OBJ}, {ECONNRESET, VSOCK_E_OBJ}, {EISCONN, VSOCK_E_OBJ}, {ENOTCONN, VSOCK_E_OBJ},
    {ENOMEM, VSOCK_E_RES}, {ENOBUFS, VSOCK_E_RES}, {EAGAIN, VSOCK_E_WBLK},
};
const ErrnoCode kRecvErrors[] = {
    {EBADF, VSOCK_E_PAR}, {EINVAL, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR}, {EINTR, VSOCK_E_OBJ},
    {EFAULT, VSOCK_E_OBJ}, {ENOTCONN, VSOCK_E_OBJ}, {ECONNREFUSED, VSOCK_E_OBJ}, {ENOMEM, VSOCK_E_RES},
    {EAGAIN, VSOCK_E_WBLK},
};
const ErrnoCode kShutdownErrors[] = {
    {EBADF, VSOCK_E_PAR}, {ENOTSOCK, VSOCK_E_PAR}, {ENOTCONN, VSOCK_E_OBJ},
};

template <size_t N>
int32_t convert(const ErrnoCode (&table)[N], int error)
{
    if (error == EWOULDBLOCK) error = EAGAIN;  // one and the same condition
    for (const ErrnoCode& e : table) {
        if (e.error == error) return e.code;
    }
    return VSOCK_E_SYS;
}

// ---- small owners ----

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0) (void)::close(m_fd);  // a failure path: nothing to report the close to
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0) (void)::close(m_fd);  // see the destructor
        m_fd = fd;
    }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

void freeHandle(int32_t handle)
{
    HandleEntry& e = gl_handle[handle];
    e.fd = -1;
    e.owner = nullptr;
    e.ownerId = -1;
    e.inUse.exchange(0);
}

// A claimed handle entry that goes back unless committed.
class HandleClaim {
public:
    explicit HandleClaim(int32_t handle) : m_handle(handle) {}
    ~HandleClaim()
    {
        if (m_handle >= 0) freeHandle(m_handle);
    }
    HandleClaim(const HandleClaim&) = delete;
    HandleClaim& operator=(const HandleClaim&) = delete;
    int32_t commit()
    {
        const int32_t handle = m_handle;
        m_handle = -1;
        return handle;
    }

private:
    int32_t m_handle;
};

int32_t getFreeHandle(int32_t* handle)
{
    for (int32_t i = 0; i < kVsockHandleCount; ++i) {
        int32_t expected = 0;
        if (gl_handle[i].inUse.compare_exchange_strong(expected, 1)) {
            *handle = i;
            return 0;
        }
    }
    return VSOCK_E_RES;
}

// ---- address conversion ----

int32_t fromSockaddr(const sockaddr_storage& ss, netc_endpoint* ep)
{
    netc_endpoint result = {};
    if (ss.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&ss);
        result.port = ntohs(in->sin_port);
        result.addr.family = NETC_AF_INET;
        std::memcpy(result.addr.addr, &in->sin_addr, 4);
    } else if (ss.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&ss);
        result.port = ntohs(in6->sin6_port);
        result.addr.family = NETC_AF_INET6;
        std::memcpy(result.addr.addr, &in6->sin6_addr, 16);
        result.addr.scope_id = htonl(in6->sin6_scope_id);
    } else {
        return VSOCK_E_PAR;
    }
    *ep = result;
    return 0;
}

int32_t toSockaddr(const netc_endpoint& ep, sockaddr_storage* ss, socklen_t* length)
{
    std::memset(ss, 0, sizeof(*ss));
    if (ep.addr.family == NETC_AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(ss);
        in->sin_family = AF_INET;
        in->sin_port = htons(ep.port);
        std::memcpy(&in->sin_addr, ep.addr.addr, 4);
        *length = sizeof(sockaddr_in);
        return 0;
    }
    if (ep.addr.family == NETC_AF_INET6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(ss);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(ep.port);
        std::memcpy(&in6->sin6_addr, ep.addr.addr, 16);
        in6->sin6_scope_id = ntohl(ep.addr.scope_id);
        *length = sizeof(sockaddr_in6);
        return 0;
    }
    return VSOCK_E_PAR;
}

// ---- socket set-up steps ----

int32_t makeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return convert(kFcntlErrors, errno);
    return 0;
}

int32_t setOption(int fd, int level, int name)
{
    const int on = 1;
    if (::setsockopt(fd, level, name, &on, sizeof(on)) < 0) return convert(kSockOptErrors, errno);
    return 0;
}

int32_t openSocket(int type, Descriptor& out)
{
    const int fd = ::socket(AF_INET, type, 0);
    if (fd < 0) return convert(kSocketErrors, errno);
    out.reset(fd);
    return makeNonBlocking(fd);
}

int32_t bindIpv4(int fd, const uint8_t* address, uint16_t port)
{
    sockaddr_in in = {};
    in.sin_family = AF_INET;
    in.sin_port = htons(port);
    std::memcpy(&in.sin_addr, address, 4);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&in), sizeof(in)) < 0) return convert(kBindErrors, errno);
    return 0;
}

// Linux has no SO_NOSIGPIPE: every send passes MSG_NOSIGNAL instead.
int32_t createUdp(const netc_sock_create_prm& prm, Descriptor& fd)
{
    if (prm.local.family != NETC_AF_INET) return VSOCK_E_PAR;
    VSOCK_RETURN_IF_FAILED(openSocket(SOCK_DGRAM, fd));
    // Before the bind: the port may already be taken by a socket that also asked for sharing.
    if ((prm.reserved & NETC_SOCK_CREATE_REUSEADDR) != 0) {
        VSOCK_RETURN_IF_FAILED(setOption(fd.get(), SOL_SOCKET, SO_REUSEADDR));
    }
    if (prm.port != 0) {
        // The wildcard address, so datagrams to any local address of the port arrive.
        const uint8_t any[4] = {};
        VSOCK_RETURN_IF_FAILED(bindIpv4(fd.get(), any, prm.port));
    }
    VSOCK_RETURN_IF_FAILED(setOption(fd.get(), SOL_SOCKET, SO_BROADCAST));
    return setOption(fd.get(), IPPROTO_IP, IP_PKTINFO);
}

int32_t createPassiveTcp(const netc_sock_create_prm& prm, Descriptor& fd)
{
    if (prm.local.family != NETC_AF_INET) return VSOCK_E_PAR;
    VSOCK_RETURN_IF_FAILED(openSocket(SOCK_STREAM, fd));
    VSOCK_RETURN_IF_FAILED(setOption(fd.get(), SOL_SOCKET, SO_REUSEADDR));
    VSOCK_RETURN_IF_FAILED(bindIpv4(fd.get(), prm.local.addr, prm.port));
    if (::listen(fd.get(), 0) < 0) return convert(kListenErrors, errno);
    return 0;
}

int32_t createActiveTcp(Descriptor& fd)
{
    VSOCK_RETURN_IF_FAILED(openSocket(SOCK_STREAM, fd));
    return setOption(fd.get(), IPPROTO_TCP, TCP_NODELAY);
}

int32_t setMembership(int32_t handle, const netc_addr* local, const netc_addr* group, int option)
{
    if (!local || !group) return VSOCK_E_PAR;
    if (local->family != NETC_AF_INET || group->family != NETC_AF_INET) return 0;
    ip_mreq request = {};
    std::memcpy(&request.imr_multiaddr, group->addr, 4);
    std::memcpy(&request.imr_interface, local->addr, 4);
    if (::setsockopt(gl_handle[handle].fd, IPPROTO_IP, option, &request, sizeof(request)) < 0) {
        return convert(kSockOptErrors, errno);
    }
    return 0;
}

// ---- interfaces ----

bool isUp(const ifaddrs* ifa) { return (ifa->ifa_flags & IFF_UP) != 0; }

// Name of interface number ifNo, or VSOCK_E_NOEXS / VSOCK_FAILED.
int32_t findInterfaceName(const ifaddrs* list, int32_t ifNo, const char** name)
{
    if (ifNo == 0) {
        for (const ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
            if (isUp(ifa) && (ifa->ifa_flags & IFF_LOOPBACK) != 0) {
                *name = ifa->ifa_name;
                return 0;
            }
        }
        return VSOCK_E_NOEXS;
    }
    std::vector<const char*> names;
    try {
        for (const ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
            if (!isUp(ifa) || (ifa->ifa_flags & IFF_LOOPBACK) != 0) continue;
            bool known = false;
            for (const char* n : names) known = known || std::strcmp(n, ifa->ifa_name) == 0;
            if (known) continue;
            if (names.size() == names.capacity()) names.reserve(names.capacity() + 16);
            names.push_back(ifa->ifa_name);
        }
    } catch (const std::bad_alloc&) {
        return VSOCK_FAILED;
    }
    if (static_cast<size_t>(ifNo) > names.size()) return VSOCK_E_NOEXS;
    *name = names[static_cast<size_t>(ifNo) - 1];
    return 0;
}

uint32_t prefixLength(const uint8_t* mask)
{
    uint32_t bits = 0;
    int i = 0;
    for (; i < 16 && mask[i] == 0xFF; ++i) bits += 8;
    if (i < 16) {
        for (uint8_t b = mask[i]; b & 0x80; b = static_cast<uint8_t>(b << 1)) ++bits;
    }
    return bits;
}

bool isLinkLocal(const uint8_t* a) { return a[0] == 0xFE && a[1] >= 0x80 && a[1] <= 0xBF; }

class InterfaceList {
public:
    ~InterfaceList()
    {
        if (m_list) ::freeifaddrs(m_list);
    }
    bool load() { return ::getifaddrs(&m_list) == 0; }
    const ifaddrs* get() const { return m_list; }

private:
    ifaddrs* m_list = nullptr;
};

}  // namespace

// ---- handles ----

int32_t vsock_wrapCreateSock(const netc_sock_create_prm* prm, int32_t* handle)
{
    if (!prm || !handle) return VSOCK_E_PAR;
    *handle = -1;
    int32_t claimed = -1;
    VSOCK_RETURN_IF_FAILED(getFreeHandle(&claimed));
    HandleClaim claim(claimed);
    Descriptor fd;
    int32_t r = VSOCK_E_PAR;
    switch (prm->type) {
    case NETC_SOCK_UDP: r = createUdp(*prm, fd); break;
    case NETC_SOCK_TCP_PASSIVE: r = createPassiveTcp(*prm, fd); break;
    case NETC_SOCK_TCP_ACTIVE: r = createActiveTcp(fd); break;
    default: break;
    }
    if (r != 0) return r;
    HandleEntry& e = gl_handle[claimed];
    e.local = prm->local;
    e.fd = fd.release();
    *handle = claim.commit();
    return 0;
}

int32_t vsock_wrapDeleteSock(int32_t handle)
{
    const int fd = gl_handle[handle].fd;
    freeHandle(handle);
    // The descriptor is gone even when close reports an error.
    if (::close(fd) < 0) return convert(kCloseErrors, errno);
    return 0;
}

int32_t vsock_wrapAccept(int32_t handle, netc_endpoint* peer, int32_t* newHandle)
{
    if (!peer || !newHandle) return VSOCK_E_PAR;
    *newHandle = -1;
    sockaddr_storage ss = {};
    socklen_t length = sizeof(ss);
    const int accepted = ::accept(gl_handle[handle].fd, reinterpret_cast<sockaddr*>(&ss), &length);
    if (accepted < 0) return convert(kAcceptErrors, errno);
    Descriptor fd(accepted);
    int32_t claimed = -1;
    VSOCK_RETURN_IF_FAILED(getFreeHandle(&claimed));
    HandleClaim claim(claimed);
    VSOCK_RETURN_IF_FAILED(makeNonBlocking(fd.get()));
    VSOCK_RETURN_IF_FAILED(setOption(fd.get(), IPPROTO_TCP, TCP_NODELAY));
    VSOCK_RETURN_IF_FAILED(fromSockaddr(ss, peer));
    HandleEntry& e = gl_handle[claimed];
    e.local = netc_addr_any;
    e.fd = fd.release();
    *newHandle = claim.commit();
    return 0;
}

int32_t vsock_wrapConnect(int32_t handle, const netc_endpoint* remote)
{
    if (!remote) return VSOCK_E_PAR;
    sockaddr_storage ss;
    socklen_t length = 0;
    VSOCK_RETURN_IF_FAILED(toSockaddr(*remote, &ss, &length));
    if (::connect(gl_handle[handle].fd, reinterpret_cast<const sockaddr*>(&ss), length) < 0) {
        return convert(kConnectErrors, errno);
    }
    return 0;
}

int32_t vsock_wrapGetConnectResult(int32_t handle)
{
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(gl_handle[handle].fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0) {
        return convert(kSockOptErrors, errno);
    }
    return convert(kConnectErrors, error);
}

int32_t vsock_wrapSendTcp(int32_t handle, const void* data, int32_t length, int32_t* count)
{
    if (!count || length < 0) return VSOCK_E_PAR;
    *count = 0;
    const ssize_t sent = ::send(gl_handle[handle].fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (sent < 0) return convert(kSendErrors, errno);
    *count = static_cast<int32_t>(sent);
    return 0;
}

int32_t vsock_wrapRecvTcp(int32_t handle, void* buffer, int32_t size, int32_t* count)
{
    if (!count || size < 0) return VSOCK_E_PAR;
    *count = 0;
    const ssize_t received = ::recv(gl_handle[handle].fd, buffer, static_cast<size_t>(size), 0);
    if (received < 0) return convert(kRecvErrors, errno);
    *count = static_cast<int32_t>(received);
    return 0;
}

int32_t vsock_wrapSendUdp(int32_t handle, const void* data, int32_t length, const netc_endpoint* to, int32_t* count)
{
    if (!to || !count || length < 0) return VSOCK_E_PAR;
    *count = 0;
    sockaddr_storage ss;
    socklen_t ssLength = 0;
    VSOCK_RETURN_IF_FAILED(toSockaddr(*to, &ss, &ssLength));

    iovec iov = {const_cast<void*>(data), static_cast<size_t>(length)};
    alignas(cmsghdr) uint8_t control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg = {};
    msg.msg_name = &ss;
    msg.msg_namelen = ssLength;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
    cmsg->cmsg_level = IPPROTO_IP;
    cmsg->cmsg_type = IP_PKTINFO;
    cmsg->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info = {};
    info.ipi_ifindex = 0;
    // The socket's local address is the datagram's source.
    std::memcpy(&info.ipi_spec_dst, gl_handle[handle].local.addr, 4);
    std::memcpy(CMSG_DATA(cmsg), &info, sizeof(info));

    const ssize_t sent = ::sendmsg(gl_handle[handle].fd, &msg, MSG_NOSIGNAL);
    if (sent < 0) return convert(kSendErrors, errno);
    *count = static_cast<int32_t>(sent);
    return *count;
}

int32_t vsock_wrapRecvUdp(int32_t handle, void* buffer, int32_t size, netc_endpoint* from, int32_t* count)
{
    if (!from || !count || size < 0) return VSOCK_E_PAR;
    *from = netc_endpoint{};
    *count = 0;
    sockaddr_storage ss = {};
    socklen_t length = sizeof(ss);
    const ssize_t received = ::recvfrom(gl_handle[handle].fd, buffer, static_cast<size_t>(size), 0,
                                        reinterpret_cast<sockaddr*>(&ss), &length);
    if (received < 0) return convert(kRecvErrors, errno);
    VSOCK_RETURN_IF_FAILED(fromSockaddr(ss, from));
    *count = static_cast<int32_t>(received);
    return 0;
}

int32_t vsock_wrapShutdown(int32_t handle, int32_t how)
{
    int sysHow = 0;
    if (how == 1) {
        sysHow = SHUT_WR;
    } else if (how == 2) {
        sysHow = SHUT_RDWR;
    } else {
        return VSOCK_E_PAR;
    }
    if (::shutdown(gl_handle[handle].fd, sysHow) < 0) return convert(kShutdownErrors, errno);
    return 0;
}

int32_t vsock_wrapAddMulticast(int32_t handle, const netc_addr* local, const netc_addr* group)
{
    return setMembership(handle, local, group, IP_ADD_MEMBERSHIP);
}

int32_t vsock_wrapDelMulticast(int32_t handle, const netc_addr* local, const netc_addr* group)
{
    return setMembership(handle, local, group, IP_DROP_MEMBERSHIP);
}

int32_t vsock_wrapGetLocalAddr(int32_t ifNo, int32_t family, netc_if_addr* list, int32_t capacity)
{
    if ((family != 0 && family != NETC_AF_INET && family != NETC_AF_INET6) || !list || capacity <= 0 || ifNo < 0) {
        return VSOCK_E_PAR;
    }
    InterfaceList system;
    if (!system.load()) return VSOCK_FAILED;
    const char* name = nullptr;
    VSOCK_RETURN_IF_FAILED(findInterfaceName(system.get(), ifNo, &name));

    int32_t written = 0;
    const int passes[2] = {AF_INET, AF_INET6};
    for (const int pass : passes) {
        if (family != 0 && family != (pass == AF_INET ? NETC_AF_INET : NETC_AF_INET6)) continue;
        for (const ifaddrs* ifa = system.get(); ifa && written < capacity; ifa = ifa->ifa_next) {
            if (!isUp(ifa) || !ifa->ifa_addr || ifa->ifa_addr->sa_family != pass) continue;
            if (std::strcmp(ifa->ifa_name, name) != 0) continue;
            netc_if_addr& item = list[written++];
            if (pass == AF_INET) {
                item.addr.family = NETC_AF_INET;
                std::memcpy(item.addr.addr, &reinterpret_cast<const sockaddr_in*>(ifa->ifa_addr)->sin_addr, 4);
                item.mask = 0;
                if (ifa->ifa_netmask) {
                    std::memcpy(&item.mask, &reinterpret_cast<const sockaddr_in*>(ifa->ifa_netmask)->sin_addr, 4);
                }
            } else {
                const auto* in6 = reinterpret_cast<const sockaddr_in6*>(ifa->ifa_addr);
                item.addr.family = NETC_AF_INET6;
                std::memcpy(item.addr.addr, &in6->sin6_addr, 16);
                item.addr.scope_id = isLinkLocal(item.addr.addr) ? htonl(in6->sin6_scope_id) : 0;
                item.mask = 0;
                if (ifa->ifa_netmask) {
                    const auto* mask6 = reinterpret_cast<const sockaddr_in6*>(ifa->ifa_netmask);
                    item.mask = prefixLength(mask6->sin6_addr.s6_addr);
                }
            }
        }
    }
    return written;
}

int32_t vsock_wrapSetOwnerSocketInfo(int32_t handle, VsockSockManage* table, int32_t ownerId)
{
    if (handle < 0 || handle >= kVsockHandleCount || !table || ownerId == -1) return VSOCK_E_PAR;
    gl_handle[handle].owner = table;
    gl_handle[handle].ownerId = ownerId;
    return 0;
}

int32_t vsock_wrapGetOwnerSocketInfo(int32_t handle, VsockSockManage** table, int32_t* ownerId)
{
    if (handle < 0 || handle >= kVsockHandleCount || !table || !ownerId) return VSOCK_E_PAR;
    *table = gl_handle[handle].owner;
    *ownerId = gl_handle[handle].ownerId;
    return 0;
}

int vsock_wrapGetDescriptor(int32_t handle)
{
    if (handle < 0 || handle >= kVsockHandleCount) return -1;
    return gl_handle[handle].fd;
}

// ---- poll slots ----

void vsock_socketApiWrapperResetWaitEvent()
{
    // Before the set is built: a change made from here on either shows in the set or wakes anew.
    gl_socketApiWrapper.wakePending.store(false);
    for (int i = 0; i < kVsockHandleCount; ++i) {
        gl_socketApiWrapper.fds[i] = pollfd{-1, 0, 0};
        gl_socketApiWrapper.watched[i].store(0);
    }
}

void vsock_socketApiWrapperAddWaitEvent(int32_t handle, int16_t events)
{
    // An unwatched slot gets -1 rather than a negated descriptor, which would be 0 for descriptor 0.
    const int fd = events != 0 ? gl_handle[handle].fd.load() : -1;
    gl_socketApiWrapper.fds[handle] = pollfd{fd, events, 0};
    gl_socketApiWrapper.watched[handle].store(fd >= 0 ? events : 0);
}

bool vsock_socketApiWrapperWatches(int32_t handle, int16_t events)
{
    if (handle < 0 || handle >= kVsockHandleCount) return false;
    return (gl_socketApiWrapper.watched[handle].load() & events) == events;
}

int vsock_socketApiWrapperWaitEvent()
{
    gl_socketApiWrapper.fds[kWakeSlot] = pollfd{gl_socketApiWrapper.wakeRead, POLLIN, 0};
    const int n = ::poll(gl_socketApiWrapper.fds, kVsockHandleCount + 1, -1);
    if (n > 0 && (gl_socketApiWrapper.fds[kWakeSlot].revents & POLLIN) != 0) {
        // Drain every wake-up, so a burst of them costs one pass and none is left to spin on.
        while (::recv(gl_socketApiWrapper.wakeRead, gl_wakeBuffer, sizeof(gl_wakeBuffer), MSG_DONTWAIT) >= 0) {
        }
    }
    return n;
}

void vsock_socketApiWrapperGetEvent(int32_t handle, bool* read, bool* write, bool* except)
{
    *read = *write = *except = false;
    const pollfd& slot = gl_socketApiWrapper.fds[handle];
    if (gl_handle[handle].fd == -1 || slot.fd < 0 || slot.fd != gl_handle[handle].fd) return;
    short fired = slot.revents;
    // An error or hang-up alone would make every poll return at once without a handler ever
    // running; the handlers of the wanted events pick the error up from their system call.
    if ((fired & (POLLERR | POLLHUP)) != 0) fired = static_cast<short>(fired | slot.events);
    *read = (fired & POLLIN) != 0;
    *write = (fired & POLLOUT) != 0;
    *except = (fired & POLLPRI) != 0;
}

void vsock_socketApiWrapperSetEvent()
{
    const int fd = gl_socketApiWrapper.wakeWrite.load();
    if (fd < 0) return;
    if (gl_socketApiWrapper.wakePending.exchange(true)) return;  // one is on its way already
    const uint32_t token = 0;
    // A full pair already holds a wake-up; nothing is lost when this one is dropped. Any other
    // failure leaves nothing on its way, so the next wake-up must write again.
    if (::send(fd, &token, sizeof(token), MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        gl_socketApiWrapper.wakePending.store(false);
    }
}

int32_t vsock_wrap_startup()
{
    for (int32_t i = 0; i < kVsockHandleCount; ++i) {
        HandleEntry& e = gl_handle[i];
        e.fd = -1;
        e.owner = nullptr;
        e.ownerId = -1;
        e.local = netc_addr_any;
        for (netc_addr& a : e.spare) a = netc_addr_any;
        e.inUse.store(0);
    }
    vsock_socketApiWrapperResetWaitEvent();
    // A pair left by an earlier run of the task.
    const int oldWrite = gl_socketApiWrapper.wakeWrite.exchange(-1);
    if (oldWrite >= 0) (void)::close(oldWrite);  // nothing to do about a failed close of an idle pair
    if (gl_socketApiWrapper.wakeRead >= 0) (void)::close(gl_socketApiWrapper.wakeRead);
    gl_socketApiWrapper.wakeRead = -1;

    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) < 0) return VSOCK_E_RES;
    gl_socketApiWrapper.wakeRead = pair[1];
    gl_socketApiWrapper.wakeWrite.store(pair[0]);
    return 0;
}

void vsock_wrap_cleanup() {}
