#include "VUviRido/Socket/VComSocketAddress.h"

#include <gtest/gtest.h>

#include <cstring>

#include "VUviRido/Socket/VComAbstractSocket.h"
#include "vsock/vsock.h"

using VCOM::VComAbstractSocket;
using VCOM::VComSocketAddress;

namespace {

TEST(VComSocketAddressTest, ParsesAndWritesTextOrKeepsTheAddress)
{
    VComSocketAddress address(NETC_AF_INET, "192.168.0.10");
    char text[64] = {};
    _E_NETC_AF family = NETC_AF_INET6;
    ASSERT_EQ(0u, address.get(family, text, sizeof(text)));
    EXPECT_EQ(NETC_AF_INET, family);
    EXPECT_STREQ("192.168.0.10", text);

    EXPECT_EQ(0x80000000u, address.set(NETC_AF_INET, "300.1.1.1"));
    ASSERT_EQ(0u, address.get(family, text, sizeof(text)));
    EXPECT_STREQ("192.168.0.10", text);  // unchanged
    EXPECT_EQ(0x80000000u, address.get(family, text, 4));  // does not fit

    ASSERT_EQ(0u, address.set(NETC_AF_INET6, "fe80::1"));
    ASSERT_EQ(0u, address.get(family, text, sizeof(text)));
    EXPECT_EQ(NETC_AF_INET6, family);
    EXPECT_STREQ("FE80::1", text);  // the socket layer writes upper case

    EXPECT_EQ(0u, address.initialize());
    EXPECT_EQ(0x80000000u, address.get(family, text, sizeof(text)));  // family 0
}

TEST(VComSocketAddressTest, WritesAddressBytesIntoBuffersThatFit)
{
    struct Case {
        _E_NETC_AF family;
        const char* text;
        uint32_t size;
        JLIB::JResult result;
        uint8_t first;
        uint8_t last;  // byte size - 1
    };
    const Case cases[] = {
        {NETC_AF_INET, "10.0.0.7", 4, 0, 10, 7},
        {NETC_AF_INET, "10.0.0.7", 16, 0, 10, 0},
        {NETC_AF_INET, "10.0.0.7", 3, 0x80000000u, 0, 0},
        {NETC_AF_INET6, "2001:db8::9", 16, 0, 0x20, 9},
        {NETC_AF_INET6, "2001:db8::9", 8, 0x80000000u, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SCOPED_TRACE(c.size);
        const VComSocketAddress address(c.family, c.text);
        uint8_t bytes[16];
        std::memset(bytes, 0xA5, sizeof(bytes));
        EXPECT_EQ(c.result, address.get(bytes, c.size));
        EXPECT_EQ(c.first, bytes[0]);
        EXPECT_EQ(c.last, bytes[c.size - 1]);
    }
    EXPECT_EQ(0x80000000u, VComSocketAddress().get(nullptr, 4));
}

TEST(VComAbstractSocketTest, ConvertsSocketLayerCodesByOperationKind)
{
    struct Case {
        int32_t code;
        VComAbstractSocket::SockErrType kind;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {0, VComAbstractSocket::kErrSend, 0},
        {VSOCK_E_NODATA, VComAbstractSocket::kErrUdpReceive, 0},
        {VSOCK_E_WBLK, VComAbstractSocket::kErrConnect, 1},
        {VSOCK_E_PAR, VComAbstractSocket::kErrCreate, 0x80000080u},
        {VSOCK_E_NOEXS, VComAbstractSocket::kErrClose, 0x80000081u},
        {VSOCK_E_OBJ, VComAbstractSocket::kErrAccept, 0x80000082u},
        {VSOCK_E_RES, VComAbstractSocket::kErrUdpReceive, 0x80000004u},
        {VSOCK_E_RES, VComAbstractSocket::kErrCreate, 0x80000083u},
        {VSOCK_E_TIMEOUT, VComAbstractSocket::kErrTcpReceive, 0x80000005u},
        {VSOCK_E_BUFSZ, VComAbstractSocket::kErrUdpReceive, 0x80000084u},
        {VSOCK_FAILED, VComAbstractSocket::kErrSend, 0x80000084u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.result, VComAbstractSocket::errorOccurred(c.code, c.kind));
    }
}

}  // namespace
