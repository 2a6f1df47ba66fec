// The "Sync" thread's meter block decoder against stand-in components of the real component
// registry, called on the test's own thread (registered with the registry) as the meter client
// would call it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "JMDP/jmdp_Packet.h"
#include "TMS/TMSystem.h"
#include "editor/KavoriClientSyncThread.h"
#include "main/app/editor/MeterComponents.h"

using metertest::MeterComponents;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr uint32_t kUid = 0x0102;  // id bytes 0x02 (low), 0x01 (high)
constexpr uint8_t kLittle = 0x20;

// The 8 header bytes: flags, id low, id high, array, start (big-endian), count (not read here).
JMDP::MeterDataBlockHeaderEx header(uint8_t flags, uint8_t idLow, uint8_t idHigh, uint8_t array, uint16_t start)
{
    const uint8_t bytes[8] = {flags, idLow, idHigh, array, uint8_t(start >> 8), uint8_t(start), 0, 0};
    JMDP::MeterDataBlockHeaderEx out;
    uint32_t used = 0;
    EXPECT_EQ(0u, out.setBinaryEx(bytes, sizeof bytes, used));
    return out;
}

class KavoriClientSyncMeterTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_components.setUp();
        MeterComponents::add(kUid, 4);  // a level and a gain-reduction meter of 4 bytes each
    }
    void TearDown() override { m_components.tearDown(); }

    // Every table the decoder may write: normal arrays 0 and 1, then peak-hold arrays 0 and 1.
    static std::vector<std::vector<uint8_t>> tables()
    {
        return {MeterComponents::bytes(kUid, 0), MeterComponents::bytes(kUid, 1),
                MeterComponents::bytes(kUid, 0, true), MeterComponents::bytes(kUid, 1, true)};
    }

    TMS::TMSystem m_system;
    MeterComponents m_components;
    KAVORI::KavoriClientSyncThread m_sync;
};

}  // namespace

TEST_F(KavoriClientSyncMeterTest, BlocksLandInTheTableTheirFormatSelectsOrAreDropped)
{
    const std::vector<uint8_t> level = {0, 0, 0, 0};
    const std::vector<uint8_t> gr = {254, 254, 254, 254};  // the cleared gain-reduction bytes
    const uint8_t data[] = {0x11, 0x22, 0x33, 0x44, 0x55};
    struct Case {
        const char* name;
        uint8_t flags;
        uint8_t idLow;
        uint8_t idHigh;
        uint8_t array;
        uint16_t start;
        uint32_t size;
        uint32_t result;
        std::vector<std::vector<uint8_t>> after;  // empty: nothing changed
    };
    const Case cases[] = {
        {"format 0", kLittle | 0, 0x02, 0x01, 0, 0, 4, 0, {{0x11, 0x22, 0x33, 0x44}, gr, level, level}},
        {"format 2, second array", kLittle | 2, 0x02, 0x01, 1, 2, 2, 0, {level, {254, 254, 0x11, 0x22}, level, level}},
        {"format 5", kLittle | 5, 0x02, 0x01, 0, 1, 1, 0, {{0, 0x11, 0, 0}, gr, level, level}},
        {"format 1 to peak hold", kLittle | 1, 0x02, 0x01, 1, 0, 3, 0, {level, gr, level, {0x11, 0x22, 0x33, 0}}},
        {"format 3 taken, not copied", kLittle | 3, 0x02, 0x01, 0, 0, 4, 0, {}},
        {"format 4 taken, not copied", kLittle | 4, 0x02, 0x01, 0, 0, 4, 0, {}},
        {"format 6 taken, not copied", kLittle | 6, 0x02, 0x01, 0, 0, 4, 0, {}},
        {"format 31 with the next-block bit", 0xBF, 0x02, 0x01, 0, 0, 4, 0, {}},
        {"big-endian", 0, 0x02, 0x01, 0, 0, 4, kFailed, {}},
        {"id bytes the other way round", kLittle, 0x01, 0x02, 0, 0, 4, kFailed, {}},
        {"array beyond the table", kLittle, 0x02, 0x01, 2, 0, 1, kFailed, {}},
        {"array beyond, format 1", kLittle | 1, 0x02, 0x01, 255, 0, 1, kFailed, {}},
        {"ends exactly at the end", kLittle, 0x02, 0x01, 1, 3, 1, 0, {level, {254, 254, 254, 0x11}, level, level}},
        {"one byte past the end", kLittle, 0x02, 0x01, 1, 3, 2, kFailed, {}},
        {"start past the end", kLittle, 0x02, 0x01, 0, 0xFFFF, 1, kFailed, {}},
        {"a count that wraps 32 bits", kLittle, 0x02, 0x01, 0, 1, 0xFFFFFFFFu, kFailed, {}},
        {"nothing to copy", kLittle, 0x02, 0x01, 0, 4, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeterComponents::clear(kUid);
        const std::vector<std::vector<uint8_t>> before = tables();
        const JMDP::MeterDataBlockHeaderEx block = header(c.flags, c.idLow, c.idHigh, c.array, c.start);
        EXPECT_EQ(c.result, m_sync.decodeMeterPacket(block, data, c.size));
        EXPECT_EQ(c.after.empty() ? before : c.after, tables());
    }
}
