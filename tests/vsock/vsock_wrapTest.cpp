#include "vsock/internal/vsock_wrap.h"

#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>

#include <gtest/gtest.h>

#include "VsockTestSupport.h"

using namespace vsocktest;

namespace {

class vsock_wrapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, vsock_wrap_startup()); }
    void TearDown() override
    {
        for (int32_t h = 0; h < kVsockHandleCount; ++h) {
            if (vsock_wrapGetDescriptor(h) >= 0) (void)vsock_wrapDeleteSock(h);
        }
    }
};

bool isNonBlocking(int fd) { return (::fcntl(fd, F_GETFL, 0) & O_NONBLOCK) != 0; }

int intOption(int fd, int level, int name)
{
    int value = -1;
    socklen_t length = sizeof(value);
    if (::getsockopt(fd, level, name, &value, &length) != 0) return -1;
    return value;
}

bool waitWritable(int fd)
{
    pollfd p = {fd, POLLOUT, 0};
    return ::poll(&p, 1, 5000) == 1;
}

}  // namespace

TEST_F(vsock_wrapTest, CreatesNonBlockingSocketsByTypeAndRefusesOthers)
{
    netc_addr v6 = {};
    v6.family = NETC_AF_INET6;
    const uint16_t udpPort = pickPort(SOCK_DGRAM);
    const uint16_t tcpPort = pickPort(SOCK_STREAM);
    struct Case {
        const char* name;
        netc_sock_create_prm prm;
        int32_t result;
    };
    const Case cases[] = {
        {"udp bound", createPrm(NETC_SOCK_UDP, udpPort), 0},
        {"udp unbound", createPrm(NETC_SOCK_UDP, 0), 0},
        {"listener", createPrm(NETC_SOCK_TCP_PASSIVE, tcpPort), 0},
        {"active", createPrm(NETC_SOCK_TCP_ACTIVE, 0), 0},
        {"udp ipv6", createPrm(NETC_SOCK_UDP, udpPort, v6), VSOCK_E_PAR},
        {"listener ipv6", createPrm(NETC_SOCK_TCP_PASSIVE, tcpPort, v6), VSOCK_E_PAR},
        {"type 3", createPrm(3, 0), VSOCK_E_PAR},
        {"type -1", createPrm(-1, 0), VSOCK_E_PAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t handle = 77;
        ASSERT_EQ(c.result, vsock_wrapCreateSock(&c.prm, &handle));
        if (c.result != 0) {
            EXPECT_EQ(-1, handle);
            continue;
        }
        const int fd = vsock_wrapGetDescriptor(handle);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(isNonBlocking(fd));
        switch (c.prm.type) {
        case NETC_SOCK_UDP:
            EXPECT_EQ(1, intOption(fd, SOL_SOCKET, SO_BROADCAST));
            EXPECT_EQ(1, intOption(fd, IPPROTO_IP, IP_PKTINFO));
            if (c.prm.port != 0) {
                sockaddr_in in = {};
                socklen_t length = sizeof(in);
                ASSERT_EQ(0, ::getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length));
                EXPECT_EQ(c.prm.port, ntohs(in.sin_port));
                EXPECT_EQ(htonl(INADDR_ANY), in.sin_addr.s_addr);  // the wildcard, not the local address
            }
            break;
        case NETC_SOCK_TCP_PASSIVE: EXPECT_EQ(1, intOption(fd, SOL_SOCKET, SO_ACCEPTCONN)); break;
        default: EXPECT_EQ(1, intOption(fd, IPPROTO_TCP, TCP_NODELAY)); break;
        }
        EXPECT_EQ(0, vsock_wrapDeleteSock(handle));
        EXPECT_EQ(-1, vsock_wrapGetDescriptor(handle));
    }
    // Failed creations gave their handle entries back.
    for (int32_t i = 0; i < kVsockHandleCount; ++i) {
        const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
        int32_t handle = -1;
        ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
    }
}

TEST_F(vsock_wrapTest, ClaimsAtMost32HandlesAndReusesFreedOnes)
{
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
    for (int32_t i = 0; i < kVsockHandleCount; ++i) {
        int32_t handle = -1;
        ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
        EXPECT_EQ(i, handle);
    }
    int32_t handle = 77;
    EXPECT_EQ(VSOCK_E_RES, vsock_wrapCreateSock(&prm, &handle));
    EXPECT_EQ(-1, handle);
    ASSERT_EQ(0, vsock_wrapDeleteSock(7));
    EXPECT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
    EXPECT_EQ(7, handle);
}

TEST_F(vsock_wrapTest, ConvertsBindAndConnectErrorsByTheirTables)
{
    RawSocket holder(SOCK_STREAM);
    ASSERT_TRUE(holder.bindLoopback(0));
    ASSERT_EQ(0, ::listen(holder.fd(), 1));
    const netc_sock_create_prm taken = createPrm(NETC_SOCK_TCP_PASSIVE, holder.localPort());
    int32_t handle = -1;
    EXPECT_EQ(VSOCK_E_OBJ, vsock_wrapCreateSock(&taken, &handle));  // EADDRINUSE

    const netc_sock_create_prm active = createPrm(NETC_SOCK_TCP_ACTIVE, 0);
    ASSERT_EQ(0, vsock_wrapCreateSock(&active, &handle));
    netc_endpoint badFamily = loopbackEndpoint(1);
    badFamily.addr.family = static_cast<_E_NETC_AF>(0);
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapConnect(handle, &badFamily));
    netc_endpoint v6 = loopbackEndpoint(1);
    v6.addr.family = NETC_AF_INET6;
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapConnect(handle, &v6));  // EAFNOSUPPORT on an IPv4 socket

    // Nobody listens on a port just given back.
    const netc_endpoint closed = loopbackEndpoint(pickPort(SOCK_STREAM));
    const int32_t r = vsock_wrapConnect(handle, &closed);
    if (r == VSOCK_E_WBLK) {
        ASSERT_TRUE(waitWritable(vsock_wrapGetDescriptor(handle)));
        EXPECT_EQ(VSOCK_E_OBJ, vsock_wrapGetConnectResult(handle));  // ECONNREFUSED
    } else {
        EXPECT_EQ(VSOCK_E_OBJ, r);
    }
}

TEST_F(vsock_wrapTest, AcceptsOneWaitingConnectionIntoANewHandle)
{
    const uint16_t port = pickPort(SOCK_STREAM);
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_TCP_PASSIVE, port);
    int32_t listener = -1;
    ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &listener));
    netc_endpoint peer = {};
    int32_t child = 77;
    EXPECT_EQ(VSOCK_E_WBLK, vsock_wrapAccept(listener, &peer, &child));
    EXPECT_EQ(-1, child);

    RawSocket client(SOCK_STREAM);
    ASSERT_TRUE(client.connectLoopback(port));
    pollfd p = {vsock_wrapGetDescriptor(listener), POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, 5000));
    ASSERT_EQ(0, vsock_wrapAccept(listener, &peer, &child));
    ASSERT_GE(child, 0);
    EXPECT_NE(listener, child);
    EXPECT_EQ(client.localPort(), peer.port);
    EXPECT_EQ(0, std::memcmp(loopback().addr, peer.addr.addr, 4));
    EXPECT_EQ(NETC_AF_INET, peer.addr.family);
    const int fd = vsock_wrapGetDescriptor(child);
    EXPECT_TRUE(isNonBlocking(fd));
    EXPECT_EQ(1, intOption(fd, IPPROTO_TCP, TCP_NODELAY));

    const char text[] = "abc";
    int32_t count = -1;
    ASSERT_EQ(0, vsock_wrapSendTcp(child, text, 3, &count));
    EXPECT_EQ(3, count);
    char got[4] = {};
    ASSERT_EQ(3, ::recv(client.fd(), got, 3, MSG_WAITALL));
    EXPECT_STREQ("abc", got);
    EXPECT_EQ(VSOCK_E_WBLK, vsock_wrapRecvTcp(child, got, sizeof(got), &count));
    EXPECT_EQ(0, count);

    EXPECT_EQ(0, vsock_wrapShutdown(child, 1));
    EXPECT_EQ(0, ::recv(client.fd(), got, 1, 0));  // the client sees the end of the stream
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapShutdown(child, 0));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapShutdown(child, 3));
}

TEST_F(vsock_wrapTest, SendsDatagramsFromTheLocalAddress)
{
    RawSocket receiver(SOCK_DGRAM);
    ASSERT_TRUE(receiver.bindLoopback(0));
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
    int32_t handle = -1;
    ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
    const netc_endpoint to = loopbackEndpoint(receiver.localPort());
    int32_t count = -1;
    EXPECT_EQ(5, vsock_wrapSendUdp(handle, "hello", 5, &to, &count));
    EXPECT_EQ(5, count);

    char buffer[16] = {};
    sockaddr_in from = {};
    socklen_t length = sizeof(from);
    ASSERT_EQ(5, ::recvfrom(receiver.fd(), buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length));
    EXPECT_STREQ("hello", buffer);
    EXPECT_EQ(htonl(INADDR_LOOPBACK), from.sin_addr.s_addr);

    // And the reply comes back with its source as an endpoint.
    ASSERT_EQ(2, ::sendto(receiver.fd(), "hi", 2, 0, reinterpret_cast<sockaddr*>(&from), length));
    pollfd p = {vsock_wrapGetDescriptor(handle), POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, 5000));
    netc_endpoint source = {};
    ASSERT_EQ(0, vsock_wrapRecvUdp(handle, buffer, sizeof(buffer), &source, &count));
    EXPECT_EQ(2, count);
    EXPECT_EQ(receiver.localPort(), source.port);
    EXPECT_EQ(0, std::memcmp(loopback().addr, source.addr.addr, 4));

    netc_endpoint poisoned;
    std::memset(&poisoned, 0xA5, sizeof(poisoned));
    EXPECT_EQ(VSOCK_E_WBLK, vsock_wrapRecvUdp(handle, buffer, sizeof(buffer), &poisoned, &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, poisoned.port);  // all zero on failure
    EXPECT_EQ(0, poisoned.addr.family);
}

TEST_F(vsock_wrapTest, NumbersInterfacesFromLoopback)
{
    netc_if_addr items[8];
    std::memset(items, 0xA5, sizeof(items));
    const int32_t n = vsock_wrapGetLocalAddr(0, NETC_AF_INET, items, 8);
    ASSERT_GE(n, 1);
    EXPECT_EQ(NETC_AF_INET, items[0].addr.family);
    EXPECT_EQ(0, std::memcmp(loopback().addr, items[0].addr.addr, 4));
    const uint8_t mask[4] = {255, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(mask, &items[0].mask, 4));
    EXPECT_EQ(0xA5, items[0].addr.addr[4]);  // only the first 4 address bytes of an IPv4 item

    // IPv4 items come before IPv6 ones, and the capacity bounds the list.
    std::memset(items, 0, sizeof(items));
    const int32_t both = vsock_wrapGetLocalAddr(0, 0, items, 8);
    ASSERT_GE(both, n);
    EXPECT_EQ(NETC_AF_INET, items[0].addr.family);
    for (int32_t i = n; i < both; ++i) {
        EXPECT_EQ(NETC_AF_INET6, items[i].addr.family);
        EXPECT_EQ(128u, items[i].mask);  // ::1/128
        EXPECT_EQ(0u, items[i].addr.scope_id);
    }
    EXPECT_EQ(1, vsock_wrapGetLocalAddr(0, 0, items, 1));

    struct Case {
        int32_t ifNo;
        int32_t family;
        bool withList;
        int32_t capacity;
        int32_t result;
    };
    const Case cases[] = {
        {1000, 0, true, 8, VSOCK_E_NOEXS},
        {-1, 0, true, 8, VSOCK_E_PAR},
        {0, 5, true, 8, VSOCK_E_PAR},
        {0, 0, false, 8, VSOCK_E_PAR},
        {0, 0, true, 0, VSOCK_E_PAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ifNo);
        EXPECT_EQ(c.result, vsock_wrapGetLocalAddr(c.ifNo, c.family, c.withList ? items : nullptr, c.capacity));
    }
}

TEST_F(vsock_wrapTest, RecordsOwnersOnlyForValidHandles)
{
    auto* table = reinterpret_cast<VsockSockManage*>(0x1000);
    EXPECT_EQ(0, vsock_wrapSetOwnerSocketInfo(3, table, 5));
    VsockSockManage* got = nullptr;
    int32_t id = -7;
    ASSERT_EQ(0, vsock_wrapGetOwnerSocketInfo(3, &got, &id));
    EXPECT_EQ(table, got);
    EXPECT_EQ(5, id);

    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapSetOwnerSocketInfo(-1, table, 5));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapSetOwnerSocketInfo(32, table, 5));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapSetOwnerSocketInfo(3, nullptr, 5));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapSetOwnerSocketInfo(3, table, -1));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapGetOwnerSocketInfo(32, &got, &id));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapGetOwnerSocketInfo(3, nullptr, &id));
    EXPECT_EQ(VSOCK_E_PAR, vsock_wrapGetOwnerSocketInfo(3, &got, nullptr));
}

TEST_F(vsock_wrapTest, WakeUpsNeverBlockAndAreDrainedInOnePass)
{
    // Far more wake-ups than the pair can hold: none of them may block the caller.
    for (int i = 0; i < 10000; ++i) vsock_socketApiWrapperSetEvent();

    const uint16_t port = pickPort(SOCK_DGRAM);
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, port);
    int32_t handle = -1;
    ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
    vsock_socketApiWrapperResetWaitEvent();
    ASSERT_GE(vsock_socketApiWrapperWaitEvent(), 1);  // the wake socket, drained

    // Only the datagram is left: had wake-ups been left behind, two slots would answer.
    RawSocket sender(SOCK_DGRAM);
    ASSERT_TRUE(sender.sendTo(port, "y", 1));
    vsock_socketApiWrapperAddWaitEvent(handle, POLLIN);
    EXPECT_EQ(1, vsock_socketApiWrapperWaitEvent());
    bool read = false, write = true, except = true;
    vsock_socketApiWrapperGetEvent(handle, &read, &write, &except);
    EXPECT_TRUE(read);
    EXPECT_FALSE(write);
    EXPECT_FALSE(except);
}

TEST_F(vsock_wrapTest, AnErrorAloneFiresTheWantedEvents)
{
    const netc_sock_create_prm prm = createPrm(NETC_SOCK_UDP, 0);
    int32_t handle = -1;
    ASSERT_EQ(0, vsock_wrapCreateSock(&prm, &handle));
    // A connected datagram socket learns of the closed port from the ICMP answer and then polls
    // with POLLERR alone.
    const int fd = vsock_wrapGetDescriptor(handle);
    const sockaddr_in closed = loopbackSockaddr(pickPort(SOCK_DGRAM));
    ASSERT_EQ(0, ::connect(fd, reinterpret_cast<const sockaddr*>(&closed), sizeof(closed)));
    ASSERT_EQ(1, ::send(fd, "x", 1, 0));
    pollfd p = {fd, POLLIN, 0};
    ASSERT_EQ(1, ::poll(&p, 1, 5000));
    ASSERT_EQ(POLLERR, p.revents);

    vsock_socketApiWrapperResetWaitEvent();
    vsock_socketApiWrapperAddWaitEvent(handle, POLLIN);
    ASSERT_GE(vsock_socketApiWrapperWaitEvent(), 1);
    bool read = false, write = true, except = true;
    vsock_socketApiWrapperGetEvent(handle, &read, &write, &except);
    EXPECT_TRUE(read);
    EXPECT_FALSE(write);
    EXPECT_FALSE(except);
    // The read handler's call takes the error, so the next poll has nothing to say.
    char buffer[4];
    netc_endpoint from = {};
    int32_t count = 0;
    EXPECT_EQ(VSOCK_E_OBJ, vsock_wrapRecvUdp(handle, buffer, sizeof(buffer), &from, &count));  // ECONNREFUSED
    p.revents = 0;
    EXPECT_EQ(0, ::poll(&p, 1, 0));
}
