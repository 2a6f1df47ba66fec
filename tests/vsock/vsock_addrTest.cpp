#include "vsock/vsock_addr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

netc_addr poisoned()
{
    netc_addr a;
    std::memset(&a, 0xA5, sizeof(a));
    return a;
}

netc_addr ipv6(const uint16_t (&groups)[8])
{
    netc_addr a = {};
    a.family = NETC_AF_INET6;
    for (int i = 0; i < 8; ++i) {
        a.addr[2 * i] = static_cast<uint8_t>(groups[i] >> 8);
        a.addr[2 * i + 1] = static_cast<uint8_t>(groups[i]);
    }
    return a;
}

}  // namespace

TEST(vsock_addrTest, ReadsIpv4TextsByItsPartRules)
{
    struct Case {
        const char* text;
        int32_t result;
        uint8_t bytes[4];
    };
    const Case cases[] = {
        {"0.0.0.0", 0, {0, 0, 0, 0}},
        {"255.255.255.255", 0, {255, 255, 255, 255}},
        {"192.168.0.10", 0, {192, 168, 0, 10}},
        {"1.2.3.4x", 0, {1, 2, 3, 4}},        // trailing characters of the last part are skipped
        {"1x.2.3.4", 0, {1, 2, 3, 4}},        // inside a part that began with a digit 1-9 too
        {"1.2.3.4.", 0, {1, 2, 3, 4}},        // a "." in the last part is skipped
        {"1.2.3.4.5", VSOCK_FAILED, {}},      // but not a fifth part
        {"256.1.1.1", VSOCK_FAILED, {}},
        {"1.2.3.256", VSOCK_FAILED, {}},
        {"01.2.3.4", VSOCK_FAILED, {}},
        {"1.2.3", VSOCK_FAILED, {}},
        {"1.2.3.", VSOCK_FAILED, {}},
        {"1..2.3", VSOCK_FAILED, {}},
        {".1.2.3", VSOCK_FAILED, {}},
        {"", VSOCK_FAILED, {}},
        {"a.b.c.d", VSOCK_FAILED, {}},
        {"1.2.3.0", 0, {1, 2, 3, 0}},
        {"1.2.3.0x", VSOCK_E_SYS, {}},        // anything after a last part "0"
        {"1.2.3.00", VSOCK_E_SYS, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        netc_addr a = poisoned();
        const netc_addr before = a;
        ASSERT_EQ(c.result, vsock_pton(NETC_AF_INET, c.text, &a));
        if (c.result != 0) {
            EXPECT_EQ(0, std::memcmp(&before, &a, sizeof(a)));  // untouched on failure
            continue;
        }
        EXPECT_EQ(NETC_AF_INET, a.family);
        EXPECT_EQ(0, std::memcmp(c.bytes, a.addr, 4));
        for (int i = 4; i < 16; ++i) EXPECT_EQ(0, a.addr[i]);
        EXPECT_EQ(0u, a.scope_id);
    }
}

TEST(vsock_addrTest, ReadsIpv6TextsWithOneGapAndIpv4Tails)
{
    struct Case {
        const char* text;
        int32_t result;
        uint16_t groups[8];
    };
    const Case cases[] = {
        {"::", 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"::1", 0, {0, 0, 0, 0, 0, 0, 0, 1}},
        {"1::", 0, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"fe80::1", 0, {0xFE80, 0, 0, 0, 0, 0, 0, 1}},
        {"2001:db8:0:1::5", 0, {0x2001, 0xDB8, 0, 1, 0, 0, 0, 5}},
        {"1:2:3:4:5:6:7:8", 0, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"ABCD:ef01:0:0:0:0:0:00000FFFF", 0, {0xABCD, 0xEF01, 0, 0, 0, 0, 0, 0xFFFF}},
        {"::ffff:10.0.0.1", 0, {0, 0, 0, 0, 0, 0xFFFF, 0x0A00, 0x0001}},
        {"::1.2.3.4", 0, {0, 0, 0, 0, 0, 0, 0x0102, 0x0304}},
        {"0:0:0:0:0:ffff:1.2.3.4", 0, {0, 0, 0, 0, 0, 0xFFFF, 0x0102, 0x0304}},
        {"1:2:3:4:5:6:1.2.3.4", VSOCK_FAILED, {}},
        {"::1:1.2.3.4", VSOCK_FAILED, {}},
        {"1::2::3", VSOCK_FAILED, {}},
        {"1:2:3:4:5:6:7", VSOCK_FAILED, {}},
        {"1:2:3:4:5:6:7:8:9", VSOCK_FAILED, {}},
        {"1:2:3:4::5:6:7:8", VSOCK_FAILED, {}},
        {"10000::", VSOCK_FAILED, {}},
        {":1::", VSOCK_FAILED, {}},
        {"1::2:", VSOCK_FAILED, {}},
        {":::", VSOCK_FAILED, {}},
        {"fe80::1%eth0", VSOCK_FAILED, {}},
        {"1:g::", VSOCK_FAILED, {}},
        {"", VSOCK_FAILED, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        netc_addr a = poisoned();
        const netc_addr before = a;
        ASSERT_EQ(c.result, vsock_pton(NETC_AF_INET6, c.text, &a));
        if (c.result != 0) {
            EXPECT_EQ(0, std::memcmp(&before, &a, sizeof(a)));
            continue;
        }
        const netc_addr expected = ipv6(c.groups);
        EXPECT_EQ(NETC_AF_INET6, a.family);
        EXPECT_EQ(0, std::memcmp(expected.addr, a.addr, 16));
        EXPECT_EQ(0u, a.scope_id);
    }
}

TEST(vsock_addrTest, PtonRefusesNullsAndOtherFamilies)
{
    netc_addr a = {};
    EXPECT_EQ(VSOCK_E_PAR, vsock_pton(NETC_AF_INET, nullptr, &a));
    EXPECT_EQ(VSOCK_E_PAR, vsock_pton(NETC_AF_INET, "1.2.3.4", nullptr));
    EXPECT_EQ(VSOCK_E_PAR, vsock_pton(static_cast<_E_NETC_AF>(5), "1.2.3.4", &a));
    EXPECT_EQ(VSOCK_E_PAR, vsock_pton(static_cast<_E_NETC_AF>(0), "1.2.3.4", &a));
}

TEST(vsock_addrTest, WritesCompressedUpperCaseIpv6AndDottedIpv4)
{
    struct Case {
        uint16_t groups[8];
        const char* text;
    };
    const Case cases[] = {
        {{0xFE80, 0, 0, 0, 0, 0, 0, 1}, "FE80::1"},
        {{0, 0, 0, 0, 0, 0, 0, 1}, "::1"},
        {{1, 0, 0, 0, 0, 0, 0, 0}, "1::"},
        {{0, 0, 0, 0, 0, 0, 0, 0}, "::"},
        {{0x2001, 0xDB8, 0, 1, 0, 0, 0, 5}, "2001:DB8:0:1::5"},
        {{1, 0, 0, 2, 0, 0, 0, 3}, "1:0:0:2::3"},
        {{1, 0, 0, 2, 0, 0, 3, 4}, "1::2:0:0:3:4"},   // of equally long runs the first
        {{0, 0, 0, 0, 0, 0xFFFF, 0xC0A8, 1}, "::FFFF:192.168.0.1"},
        {{1, 2, 3, 4, 5, 6, 7, 0}, "1:2:3:4:5:6:7:0"},  // a single zero group stays
        {{0xABCD, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
         "ABCD:FFFF:FFFF:FFFF:FFFF:FFFF:FFFF:FFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const netc_addr a = ipv6(c.groups);
        char text[64];
        std::memset(text, 'x', sizeof(text));
        ASSERT_EQ(0, vsock_ntop(&a, text, sizeof(text)));
        EXPECT_STREQ(c.text, text);
        // What is written reads back as the same address.
        netc_addr back = {};
        ASSERT_EQ(0, vsock_pton(NETC_AF_INET6, text, &back));
        EXPECT_EQ(0, std::memcmp(a.addr, back.addr, 16));
    }

    netc_addr v4 = {};
    v4.family = NETC_AF_INET;
    const uint8_t bytes[4] = {192, 168, 0, 10};
    std::memcpy(v4.addr, bytes, 4);
    char text[16];
    ASSERT_EQ(0, vsock_ntop(&v4, text, sizeof(text)));
    EXPECT_STREQ("192.168.0.10", text);
}

TEST(vsock_addrTest, NtopNeedsRoomForTextAndTerminator)
{
    netc_addr loopback = {};
    ASSERT_EQ(0, vsock_pton(NETC_AF_INET, "127.0.0.1", &loopback));
    struct Case {
        const netc_addr* addr;
        bool withBuffer;
        int32_t size;
        int32_t result;
    };
    netc_addr badFamily = loopback;
    badFamily.family = static_cast<_E_NETC_AF>(5);
    const Case cases[] = {
        {&loopback, true, 9, VSOCK_FAILED},
        {&loopback, true, 10, 0},
        {&loopback, true, 0, VSOCK_E_PAR},
        {&loopback, true, -1, VSOCK_E_PAR},
        {&loopback, false, 10, VSOCK_E_PAR},
        {nullptr, true, 10, VSOCK_E_PAR},
        {&badFamily, true, 10, VSOCK_E_PAR},
        {&netc_addr_any, true, 10, VSOCK_E_PAR},  // family 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char text[16];
        std::memset(text, 'x', sizeof(text));
        ASSERT_EQ(c.result, vsock_ntop(c.addr, c.withBuffer ? text : nullptr, c.size));
        if (c.result == 0) {
            EXPECT_STREQ("127.0.0.1", text);
        } else {
            EXPECT_EQ('x', text[0]);  // nothing written
        }
    }
}
