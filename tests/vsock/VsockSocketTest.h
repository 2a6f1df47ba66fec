#pragma once
// The fixture shared by the socket layer tests that drive sockets through the layer's calls.
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "VsockTestSupport.h"
#include "vsock/vsock.h"

namespace vsocktest {

// The fixture of the tests that drive sockets through the layer: the layer started over a clear
// recorder, and every socket and the layer itself gone afterwards.
class SocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startOsLayer());
        Recorder::instance().clear();
        ASSERT_EQ(0, vsock_initModule());
    }
    void TearDown() override
    {
        // Accepted sockets hold the highest ids and must go before their listener.
        for (int32_t id = 31; id >= 0; --id) (void)vsock_deleteSock(id);  // free ids answer VSOCK_E_NOEXS
        EXPECT_EQ(0, vsock_endModule());
    }

    static int32_t create(int32_t type, uint16_t port, const netc_addr& local = loopback())
    {
        const netc_sock_create_prm prm = createPrm(type, port, local);
        const netc_sock_option option = recordingOption();
        return vsock_createSock(&prm, &option);
    }

    Recorder& rec() { return Recorder::instance(); }

    // A connected active socket (id) and the test's accepted end of it.
    int32_t connectToRaw(RawSocket& listener, int& peerFd)
    {
        EXPECT_TRUE(listener.bindLoopback(0));
        EXPECT_EQ(0, ::listen(listener.fd(), 8));
        const int32_t id = create(NETC_SOCK_TCP_ACTIVE, 0);
        EXPECT_GE(id, 0);
        const netc_endpoint remote = loopbackEndpoint(listener.localPort());
        const int32_t r = vsock_connect(id, &remote, -1);
        if (r == VSOCK_E_WBLK) {
            EXPECT_TRUE(rec().waitForCount(id, NETC_SOCK_EV_CONNECTED, 1));
            EXPECT_EQ(0, rec().eventsOf(id, NETC_SOCK_EV_CONNECTED).at(0).result);
        } else {
            EXPECT_EQ(0, r);
        }
        pollfd p = {listener.fd(), POLLIN, 0};
        EXPECT_EQ(1, ::poll(&p, 1, 5000));
        peerFd = ::accept(listener.fd(), nullptr, nullptr);
        EXPECT_GE(peerFd, 0);
        return id;
    }
};


}  // namespace vsocktest
