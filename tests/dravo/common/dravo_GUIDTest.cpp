#include "dravo/common/dravo_GUID.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using DRAVO::GUID;

// The usual text form: the three numbers, then the eight bytes in storage order.
std::string text(const GUID& g)
{
    char out[37];
    (void)std::snprintf(out, sizeof out, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", g.data1, g.data2, g.data3,
                        g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return out;
}

}  // namespace

TEST(GUIDTest, InterfaceIdentifiersHaveTheirPublishedValues)
{
    struct Case {
        const char* name;
        const GUID& id;
        const char* text;
    };
    const Case cases[] = {
        {"IUnknown", DRAVO::IID_IUnknown, "CF13D66E-92B0-4B2E-A55E-D0FC85F77F52"},
        {"IParamInfoFunction_V1", DRAVO::IID_IParamInfoFunction_V1, "6AE6A549-3E9A-42E9-AEF4-6C8C9E8C6766"},
        {"ICalcCoefFunction_V1", DRAVO::IID_ICalcCoefFunction_V1, "6CFA38C4-23D2-4869-84F6-288D420AE462"},
        {"IAudioProcessFunction_V1", DRAVO::IID_IAudioProcessFunction_V1, "EAD6E579-E865-463E-8A71-D2F1F701D483"},
        {"ILogicControlFunction_V1", DRAVO::IID_ILogicControlFunction_V1, "2DDDAE60-C316-44F8-BC36-2707B35FB2D9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, text(c.id));
        for (const Case& other : cases) EXPECT_EQ(&c.id == &other.id, c.id == other.id) << other.name;
    }
}

TEST(GUIDTest, NumericPartsAreStoredInHostByteOrder)
{
    // What a little-endian host (every host the engine is built for) keeps in memory.
    const uint8_t expected[16] = {0x6E, 0xD6, 0x13, 0xCF, 0xB0, 0x92, 0x2E, 0x4B,
                                  0xA5, 0x5E, 0xD0, 0xFC, 0x85, 0xF7, 0x7F, 0x52};
    uint8_t stored[16];
    static_assert(sizeof(GUID) == sizeof stored);
    std::memcpy(stored, &DRAVO::IID_IUnknown, sizeof stored);
    EXPECT_EQ(0, std::memcmp(expected, stored, sizeof stored));
}

TEST(GUIDTest, EqualOnlyWhenEveryPartIsEqual)
{
    const GUID base = DRAVO::IID_ICalcCoefFunction_V1;
    GUID first = base;
    first.data1 ^= 0x80000000u;
    GUID second = base;
    second.data2 ^= 1;
    GUID third = base;
    third.data3 ^= 0x100;
    GUID lastByte = base;
    lastByte.data4[7] ^= 1;
    GUID firstByte = base;
    firstByte.data4[0] ^= 0x80;
    for (const GUID& changed : {first, second, third, lastByte, firstByte}) {
        SCOPED_TRACE(text(changed));
        EXPECT_FALSE(base == changed);
        EXPECT_FALSE(changed == base);
    }
    const GUID copy = base;
    EXPECT_TRUE(copy == base);
}
