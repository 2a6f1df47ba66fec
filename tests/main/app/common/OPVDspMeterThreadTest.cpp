#include "common/OPVDspMeterThread.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DspThreadTestSupport.h"
#include "OscServer/OscCore/OscPeer.h"
#include "common/PlayerStatusDB.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "vsock/VsockTestSupport.h"

namespace {

using namespace dsptest;
using MeterThread = Driven<KAVORI::OPVDspMeterThread>;

constexpr uint32_t kUniqID = 105;  // above the uniqIDs of the shipped components of database 10

// Every core record filled with the core's own index, words 0; so a write shows where it went.
void resetStore()
{
    DRAVO::PlayerStatusDB& store = DRAVO::PlayerStatusDB::singleton();
    store.word1 = 0;
    store.word2 = 0;
    for (uint32_t i = 0; i < DRAVO::PlayerStatusDB::kCoreNum; ++i) std::memset(store.cores[i].bytes, int(i), 20);
}

// The first byte of each core record.
std::vector<int> coreMarks()
{
    std::vector<int> marks;
    for (const TPCP::CoreInfo& core : DRAVO::PlayerStatusDB::singleton().cores) marks.push_back(core.bytes[0]);
    return marks;
}

std::vector<int> identity()
{
    std::vector<int> marks;
    for (int i = 0; i < int(DRAVO::PlayerStatusDB::kCoreNum); ++i) marks.push_back(i);
    return marks;
}

TEST(OPVDspMeterThreadStatusTest, StoresRecordsWithinTheCoreTableAndDropsMismatchedCounts)
{
    // Records of 0xA0 + k; the status is stored only when the count matches the bytes given.
    std::vector<TPCP::CoreInfo> records(4);
    for (size_t k = 0; k < records.size(); ++k) std::memset(records[k].bytes, int(0xA0 + k), 20);
    struct Case {
        const char* name;
        uint32_t firstCore, coreCount, byteCount;
        bool hasRecords;
        uint32_t result;
        std::vector<std::pair<int, int>> changed;  // core, mark
    };
    const Case cases[] = {
        {"cores 4 and 5", 4, 2, 40, true, 0, {{4, 0xA0}, {5, 0xA1}}},
        {"core 31, the second dropped", 31, 2, 40, true, 0, {{31, 0xA0}}},
        {"first core past the table", 32, 1, 20, true, 0, {}},
        {"one byte short", 0, 2, 39, true, 0x80000000u, {}},
        {"no records", 0, 0, 0, false, 0x80000000u, {}},
        {"negative first core", 0xFFFFFFFFu, 1, 20, true, 0x80000000u, {}},
        {"negative count", 0, 0x80000001u, 20, true, 0x80000000u, {}},
        // 0x0CCCCCCD × 20 is 4 in 32 bits.
        {"count that wraps", 0, 0x0CCCCCCDu, 4, true, 0x80000000u, {}},
    };
    KAVORI::OPVDspMeterThread thread(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetStore();
        EXPECT_EQ(c.result, thread.processPlayerStatusNotification(9, 11, 12, c.firstCore, c.coreCount, c.byteCount,
                                                                    c.hasRecords ? records.data() : nullptr));
        std::vector<int> expected = identity();
        for (const auto& [core, mark] : c.changed) expected[size_t(core)] = mark;
        EXPECT_EQ(expected, coreMarks());
        const bool stored = c.result == 0;
        EXPECT_EQ(stored ? 11u : 0u, DRAVO::PlayerStatusDB::singleton().word1);
        EXPECT_EQ(stored ? 12u : 0u, DRAVO::PlayerStatusDB::singleton().word2);
    }
}

TEST(OPVDspMeterThreadStatusTest, MeterDataWithoutBytesOrComponentIsRefused)
{
    KAVORI::OPVDspMeterThread thread(0);
    const unsigned char bytes[4] = {};
    EXPECT_EQ(0x80000000u, thread.processMeterNotification(0, kUniqID, 0, 0, 0, nullptr));
    EXPECT_EQ(0x80000000u, thread.processMeterNotification(0, kUniqID, 0, 0, 4, bytes));  // no such component
}

std::string hexOf(const void* data, size_t size)
{
    std::string text;
    char two[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof(two), "%02x", static_cast<const unsigned char*>(data)[i]);
        text += two;
    }
    return text;
}

class OPVDspMeterThreadTest : public DspEnvironment {
protected:
    uint16_t m_port = vsocktest::pickPort(SOCK_DGRAM);
    MeterThread m_meter{m_port};
};

TEST_F(OPVDspMeterThreadTest, DatagramsReachTheMeterPoolsAndTheStatusStore)
{
    resetStore();
    ASSERT_NE(0, m_port);
    ASSERT_TRUE(start({{&m_meter, "DSPMeter"}}));
    // The view follows the component set through event 10.
    ASSERT_EQ(0u, collection().addComponent("StandIn", 1, kUniqID, 2, 1));
    const auto rawMeters = [&] {
        std::vector<float> values;
        EXPECT_TRUE(m_meter.run([&](MeterThread&) {
            if (DRAVO::AudioComponent* c = collection().component(kUniqID)) {
                for (uint32_t x = 0; x < 2; ++x) values.push_back(c->meterPool().rawMeterArrayAccessor().getParam<float>(0, x, 0, 0));
            }
        }));
        return values;
    };
    ASSERT_TRUE(waitFor([&] { return rawMeters().size() == 2; }, 5s));

    OscTest::LibloClients python(1);
    ASSERT_TRUE(python.start());
    const float levels[2] = {0.25f, 0.5f};
    const std::string cores = std::string(40, 'b') + std::string(40, 'c');  // records of 0xbb and 0xcc
    // The channel is bound within a tick of running: datagrams before it are lost, so send until seen.
    ASSERT_TRUE(waitFor(
        [&] {
            (void)python.send(0, m_port, "/DRAVO/meter", "iiiib", {"0", "999", "0", "0", hexOf(levels, 8)});
            (void)python.send(0, m_port, "/DRAVO/meter", "iiiib", {"0", std::to_string(kUniqID), "0", "0", hexOf(levels, 8)});
            (void)python.send(0, m_port, "/DRAVO/playerstatus", "iiiiib", {"0", "7", "8", "30", "2", cores});
            return rawMeters() == std::vector<float>({0.25f, 0.5f}) && DRAVO::PlayerStatusDB::singleton().word1 == 7;
        },
        5s));
    std::vector<int> expected = identity();
    expected[30] = 0xbb;
    expected[31] = 0xcc;
    EXPECT_EQ(expected, coreMarks());
    EXPECT_EQ(8u, DRAVO::PlayerStatusDB::singleton().word2);
}

}  // namespace
