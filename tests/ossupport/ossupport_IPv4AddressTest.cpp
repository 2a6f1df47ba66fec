#include "ossupport/ossupport_IPv4Address.h"

#include <gtest/gtest.h>

using OSSUPPORT::IPv4Address;

TEST(ossupport_IPv4AddressTest, ParsesDottedTextOrClears)
{
    struct Case { const char* text; JLIB::JResult result; uint32_t value; };
    const Case cases[] = {
        {"192.168.0.1", 0, 0xC0A80001},
        {"10.0.0.1x", 0, 0x0A000001},      // characters after the fourth part are ignored
        {"255.255.255.255", 0, 0xFFFFFFFF},
        {" 1. 2.+3.4", 0, 0x01020304},    // blanks and a plus sign are taken by the number parser
        {"1..2.3", 0, 0x01000203},         // an empty part reads as 0
        {"192.168.0", 0x80000000, 0},
        {"256.1.1.1", 0x80000000, 0},
        {"1.2.3.256", 0x80000000, 0},
        {"-1.0.0.0", 0x80000000, 0},
        {"99999999999.0.0.0", 0x80000000, 0},
        {"1,2.3.4", 0x80000000, 0},
        {"", 0x80000000, 0},
        {nullptr, 0x80000000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        IPv4Address address(9, 9, 9, 9);
        EXPECT_EQ(c.result, address.set(c.text));
        EXPECT_EQ(c.value, address.rawData());
        EXPECT_EQ(c.value != 0, address.isSet());
        EXPECT_EQ(c.value, IPv4Address(c.text).rawData());
    }
}

TEST(ossupport_IPv4AddressTest, GivesTextAndOctetsMostSignificantFirst)
{
    const IPv4Address loopback(127, 0, 0, 1);
    EXPECT_EQ(0x7F000001u, static_cast<unsigned int>(loopback));
    EXPECT_EQ("127.0.0.1", loopback.get());
    EXPECT_EQ("255.255.255.255", IPv4Address(255, 255, 255, 255).get());
    EXPECT_EQ("0.0.0.0", IPv4Address().get());
    uint8_t a = 0, b = 0, c = 0, d = 0;
    IPv4Address("192.168.1.20").get(a, b, c, d);
    EXPECT_EQ(192, a);
    EXPECT_EQ(168, b);
    EXPECT_EQ(1, c);
    EXPECT_EQ(20, d);
    struct Case { int index; uint8_t octet; };
    const Case cases[] = {{0, 127}, {1, 0}, {3, 1}, {4, 0}, {-1, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.index);
        EXPECT_EQ(k.octet, loopback[k.index]);
    }
}

TEST(ossupport_IPv4AddressTest, AssignsAndClears)
{
    IPv4Address address;
    EXPECT_FALSE(address.isSet());
    address = 0x0A000002u;
    EXPECT_EQ("10.0.0.2", address.get());
    EXPECT_EQ(0u, address.set(0xC0000201u));
    EXPECT_EQ(0xC0000201u, address.rawData());
    address.clear();
    EXPECT_FALSE(address.isSet());
}

TEST(ossupport_IPv4AddressTest, MakesMasksNetworksAndBroadcasts)
{
    struct Case { uint32_t prefix; JLIB::JResult result; uint32_t value; };
    const Case cases[] = {
        {1, 0, 0x80000000}, {8, 0, 0xFF000000}, {24, 0, 0xFFFFFF00}, {30, 0, 0xFFFFFFFC},
        {0, 0x80000000, 0x12345678}, {31, 0x80000000, 0x12345678}, {32, 0x80000000, 0x12345678},
        {33, 0x80000000, 0x12345678},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        IPv4Address mask;
        mask = 0x12345678u;
        EXPECT_EQ(c.result, mask.makeNetworkMask(c.prefix));
        EXPECT_EQ(c.value, mask.rawData());
    }
    const IPv4Address host("192.168.1.20");
    const IPv4Address mask("255.255.255.0");
    IPv4Address result;
    EXPECT_EQ(0u, result.makeBroadcastAddress(host, mask));
    EXPECT_EQ("192.168.1.255", result.get());
    EXPECT_EQ(0u, result.makeNetworkAddress(host, mask));
    EXPECT_EQ("192.168.1.0", result.get());
}
