#include "common/Lpc/LpcOscMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "TMS/TMSystem.h"
#include "common/Lpc/LpcMurRemote.h"
#include "common/Lpc/LpcPluginSendInfo.h"
#include "common/Lpc/internal/LpcOscMeterLevels.h"
#include "common/Lpc/internal/LpcUzProtoMemoryTargets.h"
#include "main/app/common/Lpc/LpcStandInRack.h"
#include "oswrap/oswrap_time.h"

using LPC::LpcOscMeter;

namespace {

constexpr uint32_t kSurround = 3;
constexpr uint32_t kReverb = 5;
constexpr uint32_t kObaInput = 6;
constexpr uint32_t kDirectOut = 7;

// The normalised value whose level byte is b (1 to 126): b - 126 dB relative to 1/1024.
double levelFor(uint8_t b) { return std::pow(10.0, (static_cast<int>(b) - 126) / 20.0) / 1024.0; }

std::vector<uint8_t> bytesOf(const uint8_t* bytes, uint32_t count)
{
    return bytes ? std::vector<uint8_t>(bytes, bytes + count) : std::vector<uint8_t>();
}

}  // namespace

TEST(LpcOscMeterTest, LevelBytesCountDecibelsAboveTheFloor)
{
    struct Case {
        double x;
        uint8_t level;
    };
    const double edge = std::pow(10.0, 0.5 / 20.0) / 1024.0;  // c = 0.5 rounds up to 1
    const Case cases[] = {
        {1.0, 127},
        {1.0 / 1024.0, 126},
        {0.5 / 1024.0, 120},
        {1e-9, 6},
        {edge * 1.0001, 127},
        {edge * 0.9999, 126},
        {std::pow(10.0, -125.4 / 20.0) / 1024.0, 1},  // -125
        {std::pow(10.0, -125.6 / 20.0) / 1024.0, 0},  // -126
        {1e-300, 0},
        {0.0, 0},
        {-0.5, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::infinity(), 127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(c.level, LPC::convertToLevelMeterValue(c.x, false));
        EXPECT_EQ(c.level | 0x80, LPC::convertToLevelMeterValue(c.x, true));
    }
}

TEST(LpcOscMeterTest, AddressesAndAttributesFollowTheTable)
{
    LpcOscMeter meter;
    EXPECT_EQ(10u, meter.getAddressNum());
    struct Case {
        const char* address;
        uint32_t index;
        uint32_t count;
    };
    const Case cases[] = {
        {"uz:Current/AuxIn/InputLevel", 0, 96},         {"uz:Current/AuxOut/OutputLevel", 1, 1},
        {"uz:Current/Binaural/OutputLevel", 2, 2},      {"uz:Current/Binaural/SurroundLevel", 3, 12},
        {"uz:Current/Binaural/ExternalInLevel", 4, 128}, {"uz:Current/Binaural/ReverbLevel", 5, 1},
        {"uz:Current/OBA/InputLevel", 6, 128},          {"uz:Current/OBA/DirectOutLevel", 7, 64},
        {"uz:Current/OBA/RecOutLevel", 8, 64},          {"uz:Current/ToSpeaker/OutputLevel", 9, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        uint32_t index = 77;
        EXPECT_EQ(0u, meter.getIndexFromAddress(index, c.address));
        EXPECT_EQ(c.index, index);
        std::string address = "stale";
        EXPECT_EQ(0u, meter.getAddress(address, c.index));
        EXPECT_EQ(c.address, address);
        JOSC::OscMeterAttrib attrib;
        EXPECT_EQ(0u, meter.getAttrib(attrib, c.index));
        EXPECT_EQ(c.address, attrib.address);
        EXPECT_EQ(c.count, attrib.count);
        EXPECT_EQ(JOSC::OscMeterAttrib::kTypeLevel, attrib.type);
        ASSERT_NE(nullptr, LPC::getMeterItem(c.index));
    }
    EXPECT_EQ(nullptr, LPC::getMeterItem(10));

    for (const char* unknown : {"uz:Current/OBA/InputLevel/", "uz:current/OBA/InputLevel", ""}) {
        SCOPED_TRACE(unknown);
        uint32_t index = 77;
        EXPECT_EQ(0x80000005u, meter.getIndexFromAddress(index, unknown));
        EXPECT_EQ(0u, index);
    }
    std::string address = "stale";
    EXPECT_EQ(0x80000005u, meter.getAddress(address, 10));
    EXPECT_EQ("", address);
    JOSC::OscMeterAttrib attrib;
    attrib.address = "stale";
    attrib.count = 9;
    EXPECT_EQ(0x80000005u, meter.getAttrib(attrib, 10));
    EXPECT_EQ("", attrib.address);
    EXPECT_EQ(0u, attrib.count);
}

TEST(LpcOscMeterTest, EveryRowsChannelsHaveTargetsInItsCatalogueEntry)
{
    for (uint32_t row = 0; row < 10; ++row) {
        SCOPED_TRACE(row);
        const LPC::MeterItem& item = *LPC::getMeterItem(row);
        EXPECT_LE(item.meterNum, 128u);
        EXPECT_EQ(item.isMaximum ? 1u : item.channelNum, item.meterNum);
        if (item.pluginParams.empty()) {
            EXPECT_EQ(kDirectOut, row);
            continue;
        }
        for (uint32_t c = 0; c < item.channelNum; ++c) {
            LPC::PluginSendInfoList targets;
            ASSERT_EQ(0u, LPC::listUpPluginSendInfo(item.pluginParams[0], c, targets)) << "channel " << c;
            EXPECT_EQ(1u, targets.size()) << "channel " << c;  // one byte per channel
        }
    }
}

TEST(LpcOscMeterTest, LevelsNeverRunPastTheBuffer)
{
    // Two channels of 100 targets each: more bytes than a buffer of 128 holds. Without the rack
    // library every level reads 0.0, which is byte 0.
    LPC::internal::MeterTargetMap channels;
    for (uint64_t c = 0; c < 2; ++c) {
        channels[{c, 0}] = LPC::PluginSendInfoList(100, LPC::PluginSendInfo("guid", 1, "//o/X/#0", false));
    }
    std::vector<uint8_t> buffer(129, 0xEE);  // one guard byte
    uint32_t written = 7;
    EXPECT_EQ(0x80000000u, LPC::internal::readMeterLevels(channels, 2, buffer.data(), 128, written));
    EXPECT_EQ(128u, written);
    EXPECT_EQ(0xEE, buffer[128]);
    EXPECT_EQ(0, buffer[127]);

    EXPECT_EQ(0u, LPC::internal::readMeterLevels(channels, 1, buffer.data(), 128, written));
    EXPECT_EQ(100u, written);
    std::vector<uint8_t> large(1000);
    EXPECT_EQ(0x80000000u, LPC::internal::readMeterLevels(channels, 3, large.data(), 1000, written));  // no channel 2
    EXPECT_EQ(200u, written);
}

TEST(LpcOscMeterTest, MeterTargetsAreKeptApartFromTheProtocolMemorysList)
{
    ASSERT_TRUE(LPC::g_PluginAddressListForAllItem.empty());  // the protocol memory is not set up here
    {
        LpcOscMeter meter;
        ASSERT_EQ(0u, meter.initialize());
        EXPECT_TRUE(LPC::g_PluginAddressListForAllItem.empty());
    }
    EXPECT_TRUE(LPC::g_PluginAddressListForAllItem.empty());
}

namespace {

// The rack library's stand-in loaded (not connected unless a test connects it).
class LpcOscMeterRackTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<LpcTest::StandInRackFolder>(LpcTest::kStandInRack);
        ASSERT_EQ(0u, rack().initialize(LpcTest::operationWith(nullptr)));
        ASSERT_TRUE(m_folder->controls(m_rack));
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, rack().finalize());
        m_folder.reset();
        (void)LpcTest::rackCallbacks().take();
    }
    static LPC::LpcMurRemote& rack() { return LPC::LpcMurRemote::getInstance(); }
    // The rack targets of channel c of the row, listed afresh from the catalogue.
    static LPC::PluginSendInfo target(uint32_t row, uint32_t c)
    {
        LPC::PluginSendInfoList targets;
        EXPECT_EQ(0u, LPC::listUpPluginSendInfo(LPC::getMeterItem(row)->pluginParams[0], c, targets));
        return targets.at(0);
    }
    void setLevel(uint32_t row, uint32_t c, double value)
    {
        const LPC::PluginSendInfo t = target(row, c);
        m_rack.setValue(t.guid, static_cast<int32_t>(t.paramNo), value);
    }

    TMS::TMSystem m_system;
    std::unique_ptr<LpcTest::StandInRackFolder> m_folder;
    LpcTest::StandInControls m_rack;
};

}  // namespace

TEST_F(LpcOscMeterRackTest, WithoutBufferOrAddressARequestFails)
{
    LpcOscMeter meter;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&meter);
    uint32_t count = 99;
    EXPECT_EQ(0x80000000u, meter.getMeters(bytes, count, 0));  // never initialised
    EXPECT_EQ(nullptr, bytes);
    EXPECT_EQ(0u, count);

    ASSERT_EQ(0u, meter.initialize());
    bytes = reinterpret_cast<const uint8_t*>(&meter);
    count = 99;
    EXPECT_EQ(0x80000005u, meter.getMeters(bytes, count, 10));
    EXPECT_EQ(nullptr, bytes);
    EXPECT_EQ(0u, count);
}

TEST_F(LpcOscMeterRackTest, WithoutTheRackEveryMeterShowsTheMovingPattern)
{
    LpcOscMeter meter;
    ASSERT_EQ(0u, meter.initialize());
    ASSERT_EQ(0u, meter.initialize());  // a second set-up keeps working
    for (uint32_t index : {kSurround, kReverb, kObaInput, kDirectOut}) {
        SCOPED_TRACE(index);
        uint32_t before = 0;
        uint32_t after = 0;
        const uint8_t* bytes = nullptr;
        uint32_t count = 0;
        ASSERT_EQ(0u, oswrap_Get1msCount(&before));
        ASSERT_EQ(0u, meter.getMeters(bytes, count, index));
        ASSERT_EQ(0u, oswrap_Get1msCount(&after));
        ASSERT_NE(nullptr, bytes);
        ASSERT_EQ(LPC::getMeterItem(index)->meterNum, count);
        // Byte 0 is the count of 64 ms steps at the call, so it lies between the two readings.
        bool inWindow = false;
        for (uint32_t step = before / 64; step <= after / 64; ++step) inWindow |= bytes[0] == static_cast<uint8_t>(step);
        EXPECT_TRUE(inWindow) << int(bytes[0]) << " for " << before << ".." << after;
        for (uint32_t k = 1; k < count; ++k) EXPECT_EQ(static_cast<uint8_t>(bytes[0] + 10 * k), bytes[k]) << k;
    }
    EXPECT_TRUE(m_rack.lines("getModulePluginParam").empty());  // not asked while not connected
}

TEST_F(LpcOscMeterRackTest, ConnectedMetersReadOneLevelPerChannelFromTheRack)
{
    LpcOscMeter meter;
    ASSERT_EQ(0u, meter.initialize());
    ASSERT_EQ(0u, rack().connect("localhost"));

    // Channel c of the object inputs at level byte c % 126 + 1; the last one never set (0.0).
    for (uint32_t c = 0; c < 127; ++c) setLevel(kObaInput, c, levelFor(static_cast<uint8_t>(c % 126 + 1)));
    m_rack.clearLog();
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(0u, meter.getMeters(bytes, count, kObaInput));
    std::vector<uint8_t> expected;
    for (uint32_t c = 0; c < 127; ++c) expected.push_back(static_cast<uint8_t>(c % 126 + 1));
    expected.push_back(0);
    EXPECT_EQ(expected, bytesOf(bytes, count));
    const std::vector<std::string> reads = m_rack.lines("getModulePluginParam");
    ASSERT_EQ(128u, reads.size());  // one read per channel, in channel order
    for (uint32_t c = 0; c < 128; c += 37) {
        const LPC::PluginSendInfo t = target(kObaInput, c);
        EXPECT_EQ("getModulePluginParam " + std::string(t.guid) + " " + std::to_string(t.paramNo), reads[c]);
    }

    // The reverb meter reads its 64 channels and reports the largest as one byte.
    for (uint32_t c = 0; c < 64; ++c) setLevel(kReverb, c, levelFor(10));
    setLevel(kReverb, 41, levelFor(99));
    setLevel(kReverb, 63, levelFor(98));
    m_rack.clearLog();
    ASSERT_EQ(0u, meter.getMeters(bytes, count, kReverb));
    EXPECT_EQ(std::vector<uint8_t>{99}, bytesOf(bytes, count));
    EXPECT_EQ(64u, m_rack.lines("getModulePluginParam").size());

    // The direct outputs have no level source while the rack is there.
    bytes = reinterpret_cast<const uint8_t*>(&meter);
    count = 5;
    EXPECT_EQ(0x80000000u, meter.getMeters(bytes, count, kDirectOut));
    EXPECT_EQ(nullptr, bytes);
    EXPECT_EQ(0u, count);

    // Disconnected again, the pattern is back.
    ASSERT_EQ(0u, rack().disconnect());
    m_rack.clearLog();
    ASSERT_EQ(0u, meter.getMeters(bytes, count, kDirectOut));
    EXPECT_EQ(64u, count);
    EXPECT_TRUE(m_rack.lines("getModulePluginParam").empty());
}
