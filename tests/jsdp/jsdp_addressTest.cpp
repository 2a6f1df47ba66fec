#include "jsdp/jsdp_address.h"

#include <gtest/gtest.h>

#include "JsdpTestSupport.h"

using namespace JSDP;
using jsdptest::ipv4;

TEST(JsdpAddressTest, ComparesByFamily)
{
    netc_addr v4a = ipv4("10.0.0.1");
    netc_addr v4b = v4a;
    v4b.addr[7] = 9;  // beyond the four bytes IPv4 uses
    v4b.scope_id = 3;
    netc_addr v6a = {};
    v6a.family = NETC_AF_INET6;
    v6a.addr[15] = 1;
    netc_addr v6OtherScope = v6a;
    v6OtherScope.scope_id = 2;
    netc_addr v6OtherTail = v6a;
    v6OtherTail.addr[15] = 2;
    netc_addr odd = {};
    odd.family = static_cast<_E_NETC_AF>(5);
    odd.addr[10] = 1;
    netc_addr oddOtherScope = odd;
    oddOtherScope.scope_id = 1;
    struct Case {
        const char* what;
        netc_addr a, b;
        bool equal;
    };
    const Case cases[] = {
        {"IPv4 four bytes", v4a, v4b, true},
        {"IPv4 differs", v4a, ipv4("10.0.0.2"), false},
        {"families differ", v4a, v6a, false},
        {"IPv6 equal", v6a, v6a, true},
        {"IPv6 scope", v6a, v6OtherScope, false},
        {"IPv6 last byte", v6a, v6OtherTail, false},
        {"other family all bytes", odd, odd, true},
        {"other family scope", odd, oddOtherScope, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.equal, compareVSOCK_ADDR(c.a, c.b));
        EXPECT_EQ(c.equal, compareVSOCK_ADDR(c.b, c.a));
    }
}

TEST(JsdpAddressTest, ZeroAddressIsFamilyFourOrNoneWithZeroBytes)
{
    EXPECT_TRUE(isZeroAddress(netc_addr_any));
    EXPECT_TRUE(isZeroAddress(ipv4("0.0.0.0")));
    EXPECT_FALSE(isZeroAddress(ipv4("0.0.0.1")));
    netc_addr v6 = {};
    v6.family = NETC_AF_INET6;
    EXPECT_FALSE(isZeroAddress(v6));
}
