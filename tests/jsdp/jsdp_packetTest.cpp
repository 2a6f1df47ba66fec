#include "jsdp/jsdp_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JsdpTestSupport.h"
#include "jsdp/jsdp_address.h"

using namespace JSDP;
using jsdptest::DatagramWriter;
using jsdptest::ipv4;

namespace {

std::vector<uint8_t> bytesOf(size_t count, uint8_t first = 1)
{
    std::vector<uint8_t> v(count);
    for (size_t i = 0; i < count; ++i) v[i] = static_cast<uint8_t>(first + i);
    return v;
}

}  // namespace

TEST(JsdpPacketTest, AcceptsOnlyDatagramsThatPassEveryCheck)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        JLIB::JResult result;
    };
    const std::string n255(255, 'n');
    std::vector<uint8_t> short33 = DatagramWriter("a").bytes();  // 34 bytes
    short33.pop_back();
    std::vector<Case> cases = {
        {"one-byte name", DatagramWriter("a").bytes(), 0},
        {"largest", DatagramWriter(n255, bytesOf(1024)).bytes(), 0},
        {"appended bytes ignored", DatagramWriter("svc").append({9, 9, 9}).bytes(), 0},
        {"33 bytes", short33, 0x80000006u},
        {"identifier", DatagramWriter("svc").set(3, 'X').bytes(), 0x80000006u},
        {"L below 28", DatagramWriter("a").setLength(27).bytes(), 0x80000006u},
        {"L above 1306", DatagramWriter(n255, bytesOf(1024)).append({0}).setLength(1307).bytes(), 0x80000006u},
        {"L past the datagram", DatagramWriter("svc").setLength(31).bytes(), 0x80000006u},
        {"name length 0", DatagramWriter("svc").set(30, 0).bytes(), 0x80000006u},
        {"name past L", DatagramWriter("svc").set(30, 200).bytes(), 0x80000006u},
        {"extension 1025", DatagramWriter("a", bytesOf(1025)).bytes(), 0x80000006u},
        {"bytes unaccounted for", DatagramWriter("svc").append({0, 0}).setLength(32).bytes(), 0x80000006u},
        {"extension past L", DatagramWriter("svc", bytesOf(4)).setLength(32).bytes(), 0x80000006u},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        T_JSDP_SHARE_HOST_INFO view;
        std::memset(&view, 0x5A, sizeof(view));
        EXPECT_EQ(c.result, convertPacket2ShareHostInfo(&view, c.bytes.data(), static_cast<uint32_t>(c.bytes.size())));
        if (c.result == 0) {
            EXPECT_EQ(c.bytes.data(), view.identifier);
            EXPECT_EQ(c.bytes[30], view.nameLength);
            EXPECT_EQ(c.bytes.data() + 31, view.name);
            EXPECT_EQ(c.bytes.data() + 33 + view.nameLength, view.extension);
        } else if (c.bytes.size() >= kDatagramMin) {
            EXPECT_EQ(nullptr, view.identifier);  // cleared before the checks
        }
    }
}

TEST(JsdpPacketTest, RefusesMissingArguments)
{
    std::vector<uint8_t> bytes = DatagramWriter("svc").bytes();
    T_JSDP_SHARE_HOST_INFO view = {};
    EXPECT_EQ(0x80000002u, convertPacket2ShareHostInfo(nullptr, bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(0x80000002u, convertPacket2ShareHostInfo(&view, nullptr, 40));
    _JSDP_HOST_INFO host = {};
    const netc_addr a = ipv4("127.0.0.2");
    EXPECT_EQ(0x80000002u, convertShareHostInfo2HostInfo(nullptr, &view, &a, &a));
    EXPECT_EQ(0x80000002u, convertShareHostInfo2HostInfo(&host, nullptr, &a, &a));
    EXPECT_EQ(0x80000002u, convertShareHostInfo2HostInfo(&host, &view, nullptr, &a));
    EXPECT_EQ(0x80000002u, convertShareHostInfo2HostInfo(&host, &view, &a, nullptr));
    // A view that never passed the checks has nothing to copy from.
    EXPECT_EQ(0x80000002u, convertShareHostInfo2HostInfo(&host, &view, &a, &a));
}

TEST(JsdpPacketTest, ConvertsToHostRecordByTheFamilyRule)
{
    struct Case {
        uint8_t flags;
        uint8_t family;
        uint8_t role, kind, status;
        _E_NETC_AF expectedFamily;
        size_t addressBytes;
    };
    const Case cases[] = {
        {0x80, 4, 1, 0, 0, NETC_AF_INET, 4},
        {0x35, 6, 2, 3, 5, NETC_AF_INET6, 16},
        {0xFF, 5, 1, 7, 15, NETC_AF_INET, 4},
        {0x01, 0, 2, 0, 1, NETC_AF_INET, 4},
    };
    const std::vector<uint8_t> address = bytesOf(16, 0x10);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.family));
        std::vector<uint8_t> bytes = DatagramWriter("svc", {7, 8}, c.flags, c.family, address).bytes();
        T_JSDP_SHARE_HOST_INFO view;
        ASSERT_EQ(0u, convertPacket2ShareHostInfo(&view, bytes.data(), static_cast<uint32_t>(bytes.size())));
        _JSDP_HOST_INFO host;
        std::memset(&host, 0x5A, sizeof(host));
        const netc_addr source = ipv4("127.0.0.2");
        const netc_addr receiving = ipv4("127.0.0.1");
        ASSERT_EQ(0u, convertShareHostInfo2HostInfo(&host, &view, &source, &receiving));
        EXPECT_EQ(c.role, host.role);
        EXPECT_EQ(c.kind, host.kind);
        EXPECT_EQ(c.status, host.status);
        EXPECT_EQ(c.flags, host.rawFlags);
        EXPECT_EQ(c.family, host.rawFamily);
        EXPECT_EQ(0, std::memcmp(host.identifier, "JSDP", 4));
        EXPECT_EQ(c.expectedFamily, host.address.family);
        for (size_t i = 0; i < 16; ++i) EXPECT_EQ(i < c.addressBytes ? address[i] : 0, host.address.addr[i]) << i;
        EXPECT_EQ(0xA0, host.mac[0]);
        EXPECT_EQ(3, host.nameLength);
        EXPECT_EQ(0, std::memcmp(host.name, "svc", 3));
        EXPECT_EQ(0, host.name[3]);  // cleared beyond the name
        EXPECT_EQ(2, host.extensionLength);
        EXPECT_EQ(8, host.extension[1]);
        EXPECT_EQ(0, host.extension[2]);
        EXPECT_TRUE(compareVSOCK_ADDR(source, host.sourceAddress));
        EXPECT_TRUE(compareVSOCK_ADDR(receiving, host.receivingAddress));
    }
}
