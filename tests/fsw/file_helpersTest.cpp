#include "fsw/file_helpers.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fsw/internal/file_uuid.h"
#include "ossupport/ossupport_Network.h"

namespace {

JLIB::JResult fixedMac(uint8_t* buffer, uint32_t size)
{
    const uint8_t mac[6] = {0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
    std::memcpy(buffer, mac, sizeof(mac));
    return 0;
}

JLIB::JResult noMac(uint8_t* buffer, uint32_t size)
{
    std::memset(buffer, 0, size);
    return 0x80000000;
}

uint32_t littleEndian(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

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

TEST(file_helpersTest, UuidLaysOutMacTimeAndTwoGeneratorSteps)
{
    uint32_t generator = fsw_internal::kUuidGeneratorStart;
    uint8_t id[20];
    std::memset(id, 0xEE, sizeof(id));
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    ASSERT_EQ(0u, fsw_internal::makeUuid(id, sizeof(id), fixedMac, generator));
    const uint32_t after = static_cast<uint32_t>(time(nullptr));

    const uint8_t mac[6] = {0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
    EXPECT_EQ(0, std::memcmp(mac, id, 6));
    EXPECT_GE(littleEndian(id + 6, 4), before);
    EXPECT_LE(littleEndian(id + 6, 4), after);
    // The first id of a process: fixed by the generator's start value.
    const uint8_t first[6] = {0xC3, 0x9E, 0xB4, 0x7A, 0x8E, 0x88};
    EXPECT_EQ(0, std::memcmp(first, id + 10, 6));
    EXPECT_EQ(0xEE, id[16]);  // only 16 bytes are written

    ASSERT_EQ(0u, fsw_internal::makeUuid(id, 16, fixedMac, generator));
    EXPECT_EQ(fsw_internal::nextUuidValue(0x888E7A), littleEndian(id + 10, 3));
    EXPECT_EQ(fsw_internal::nextUuidValue(littleEndian(id + 10, 3)), littleEndian(id + 13, 3));
}

TEST(file_helpersTest, UuidFallsBackToRandomNodeBytesWithoutAMacAddress)
{
    uint32_t generator = fsw_internal::kUuidGeneratorStart;
    uint8_t a[16] = {};
    uint8_t b[16] = {};
    ASSERT_EQ(0u, fsw_internal::makeUuid(a, 16, noMac, generator));
    ASSERT_EQ(0u, fsw_internal::makeUuid(b, 16, noMac, generator));
    const uint8_t zero[6] = {};
    EXPECT_NE(0, std::memcmp(zero, a, 6));
    EXPECT_EQ(0x01, a[0] & 0x01);  // multicast bit: never a real interface's address
    EXPECT_EQ(0, std::memcmp(a, b, 6));  // the node stays the same within the process
    EXPECT_NE(0, std::memcmp(a + 10, b + 10, 6));
}

TEST(file_helpersTest, UuidRefusesASmallOrMissingBuffer)
{
    uint8_t id[16];
    std::memset(id, 0xEE, sizeof(id));
    EXPECT_EQ(0x80000000u, file_getUuid(id, 15));
    EXPECT_EQ(0x80000000u, file_getUuid(nullptr, 16));
    for (uint8_t b : id) EXPECT_EQ(0xEE, b);
}

TEST(file_helpersTest, SuccessiveUuidsDiffer)
{
    uint8_t a[16] = {};
    uint8_t b[16] = {};
    ASSERT_EQ(0u, file_getUuid(a, 16));
    ASSERT_EQ(0u, file_getUuid(b, 16));
    EXPECT_NE(0, std::memcmp(a, b, 16));
    EXPECT_EQ(0, std::memcmp(a, b, 6));  // same node
    uint8_t mac[16];
    if (JLIB::isSuccess(file_ReadMacAdrs(mac, sizeof(mac)))) {
        EXPECT_EQ(0, std::memcmp(mac, a, 6));
    }
    EXPECT_EQ(fsw_internal::nextUuidValue(littleEndian(a + 13, 3)), littleEndian(b + 10, 3));
}

TEST(file_helpersTest, ReadMacAdrsGivesTheFirstInterfacesAddressOrZeroes)
{
    std::vector<OSSUPPORT::NetworkInterface> interfaces;
    ASSERT_EQ(0u, OSSUPPORT::GetNetworkInterfaces(interfaces));
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof(buffer));
    const JLIB::JResult r = file_ReadMacAdrs(buffer, sizeof(buffer));
    uint8_t expected[6];
    if (!interfaces.empty() && sysfsMac(interfaces.front().name, expected) && JLIB::isSuccess(r)) {
        EXPECT_EQ(0, std::memcmp(expected, buffer, 6));
        for (int i = 6; i < 16; ++i) EXPECT_EQ(0, buffer[i]);
    } else {
        EXPECT_EQ(0x80000000u, r);
        for (uint8_t b : buffer) EXPECT_EQ(0, b);
    }

    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(0x80000000u, file_ReadMacAdrs(buffer, 5));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0, buffer[i]);
    EXPECT_EQ(0xEE, buffer[5]);
}

TEST(file_helpersTest, CompareDataReportsEqualityOrRefuses)
{
    const char a[] = "abcdef";
    const char b[] = "abcxef";
    struct Case { const void* first; const void* second; uint32_t count; JLIB::JResult result; uint32_t equal; };
    const Case cases[] = {
        {a, b, 3, 0, 1},
        {a, b, 4, 0, 0},
        {a, a, 6, 0, 1},
        {a, b, 0, 0x80000000, 0xDEAD},
        {nullptr, b, 3, 0x80000000, 0xDEAD},
        {a, nullptr, 3, 0x80000000, 0xDEAD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        uint32_t equal = 0xDEAD;
        EXPECT_EQ(c.result, file_compareData(c.first, c.second, c.count, &equal));
        EXPECT_EQ(c.equal, equal);
    }
    EXPECT_EQ(0x80000000u, file_compareData(a, b, 3, nullptr));
}

TEST(file_helpersTest, SystemTimeIsSecondsSinceTheEpoch)
{
    uint32_t seconds = 0;
    const uint32_t before = static_cast<uint32_t>(time(nullptr));
    ASSERT_EQ(0u, file_GetSystemTime(&seconds));
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, before + 2);
    EXPECT_EQ(0x80000000u, file_GetSystemTime(nullptr));
}
