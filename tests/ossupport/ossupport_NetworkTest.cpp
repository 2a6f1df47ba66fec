#include "ossupport/ossupport_Network.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ossupport/ossupport_IPAddressWatcher.h"

using namespace OSSUPPORT;

namespace {

// The MAC address as the kernel shows it, independent of the code under test.
bool sysfsMac(const std::string& name, uint8_t out[6])
{
    std::ifstream in("/sys/class/net/" + name + "/address");
    std::string text;
    if (!(in >> text)) return false;
    unsigned v[6];
    if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 6) return false;
    for (int i = 0; i < 6; ++i) out[i] = static_cast<uint8_t>(v[i]);
    return true;
}

}  // namespace

TEST(ossupport_NetworkTest, ListsUpNonLoopbackIPv4InterfacesAppending)
{
    std::vector<NetworkInterface> interfaces{{"kept", "x"}};
    ASSERT_EQ(0u, GetNetworkInterfaces(interfaces));
    ASSERT_GE(interfaces.size(), 1u);
    EXPECT_EQ("kept", interfaces[0].name);
    for (size_t i = 1; i < interfaces.size(); ++i) {
        SCOPED_TRACE(interfaces[i].name);
        EXPECT_NE("lo", interfaces[i].name);
        EXPECT_TRUE(interfaces[i].description.empty());
        bool dhcp = true;
        IPv4Address address, mask, gateway(1, 2, 3, 4);
        EXPECT_EQ(0u, GetIPSettings(interfaces[i].name.c_str(), dhcp, address, mask, gateway, false));
        EXPECT_TRUE(address.isSet());
        EXPECT_NE(127, address[0]);
    }
}

TEST(ossupport_NetworkTest, ReadsAddressAndMaskOfAnInterface)
{
    // The loopback is left out of the listing but has settings like any other interface.
    bool dhcp = true;
    IPv4Address address(9, 9, 9, 9), mask(9, 9, 9, 9), gateway(9, 9, 9, 9);
    ASSERT_EQ(0u, GetIPSettings("lo", dhcp, address, mask, gateway, true));
    EXPECT_FALSE(dhcp);
    EXPECT_EQ("127.0.0.1", address.get());
    EXPECT_EQ("255.0.0.0", mask.get());
    EXPECT_FALSE(gateway.isSet());

    const char* missing[] = {"no-such-if0", "l", "lo0", nullptr};
    for (const char* name : missing) {
        SCOPED_TRACE(name ? name : "(null)");
        dhcp = true;
        address = 1u;
        mask = 1u;
        gateway = 1u;
        EXPECT_EQ(0x80000000u, GetIPSettings(name, dhcp, address, mask, gateway, false));
        EXPECT_FALSE(dhcp);
        EXPECT_FALSE(address.isSet());
        EXPECT_FALSE(mask.isSet());
        EXPECT_FALSE(gateway.isSet());
    }
}

TEST(ossupport_NetworkTest, ReadsTheEthernetAddressOfAnInterface)
{
    std::vector<NetworkInterface> interfaces;
    ASSERT_EQ(0u, GetNetworkInterfaces(interfaces));
    uint8_t expected[6];
    if (interfaces.empty() || !sysfsMac(interfaces[0].name, expected)) {
        GTEST_SKIP() << "no non-loopback IPv4 interface with a link-level address";
    }
    uint8_t buffer[10];
    std::memset(buffer, 0xEE, sizeof(buffer));
    ASSERT_EQ(0u, GetMacAddress(interfaces[0].name.c_str(), buffer, sizeof(buffer)));
    EXPECT_EQ(0, std::memcmp(expected, buffer, 6));
    EXPECT_EQ(0, buffer[6]);
    EXPECT_EQ(0, buffer[9]);
}

TEST(ossupport_NetworkTest, MacAddressFailsWithoutAnEthernetAddress)
{
    uint8_t buffer[8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000000u, GetMacAddress("lo", buffer, 5));
    for (uint8_t b : buffer) EXPECT_EQ(0xEE, b);  // refused before anything is written
    EXPECT_EQ(0x80000000u, GetMacAddress(nullptr, buffer, 8));
    EXPECT_EQ(0x80000000u, GetMacAddress("lo", nullptr, 8));

    // The loopback's link-level address is not of Ethernet type.
    EXPECT_EQ(0x80000000u, GetMacAddress("lo", buffer, 8));
    for (uint8_t b : buffer) EXPECT_EQ(0, b);
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000000u, GetMacAddress("no-such-if0", buffer, 8));
    for (uint8_t b : buffer) EXPECT_EQ(0, b);
}

TEST(ossupport_NetworkTest, SettersAndWatcherAreFixedStubs)
{
    const IPv4Address a(10, 0, 0, 1), m(255, 0, 0, 0), g;
    const uint8_t mac[6] = {};
    EXPECT_EQ(0u, SetStaticIPTemporarily("eth0", a, m, g));
    EXPECT_EQ(0u, SetStaticIPConfig("eth0", a, m, g, true, false));
    EXPECT_EQ(0u, SetDHCPConfig("eth0", true));
    EXPECT_EQ(0u, RestoreIPConfig("eth0"));
    EXPECT_EQ(0u, SetMacAddressTemporarily("eth0", mac, 6));

    IPAddressWatcher watcher;
    EXPECT_EQ(0u, watcher.setObserver(nullptr));
    EXPECT_EQ(0u, watcher.start());
    EXPECT_TRUE(watcher.isLinkUp("no-such-if0"));
    EXPECT_EQ(0u, watcher.stop());
}
