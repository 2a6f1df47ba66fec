#include "dravo/manager/dravo_MeterPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using DRAVO::MeterPool;
using PARRAY::ArrayInfo;

constexpr uint32_t kNumX = 4;
constexpr uint32_t kNumY = 2;
// A size word of numX elements (scale code 1, count 1).
constexpr uint32_t kPerX = 0x10000000u | 1u;

enum Meter : uint32_t { kLevel, kGR, kRaw, kOther, kByteLevel, kPaddedLevel, kMeterCount };

ArrayInfo info(uint32_t type, uint32_t sizeX, const char* kind)
{
    ArrayInfo a{};
    a.type = type;
    a.sizeX = sizeX;
    std::strncpy(a.extInfo, kind, sizeof a.extInfo);
    return a;
}

// The description table a library would hand over; it outlives every pool of the test.
const ArrayInfo* meterInfos()
{
    static const auto table = [] {
        std::vector<ArrayInfo> t = {
            info(PARRAY::kTypeFLOAT, kPerX, "level"),   // 4 floats
            info(PARRAY::kTypeFLOAT, kPerX, "gr"),      // 4 floats
            info(PARRAY::kTypeUINT32, 4, "raw"),        // 4 x 4 bytes
            info(PARRAY::kTypeFLOAT, 4, "pan"),         // any other kind
            info(PARRAY::kTypeUINT8, 4, "level"),       // a level meter that is not float
            info(PARRAY::kTypeFLOAT, 4, "level"),       // "level" with bytes after its end: no level
        };
        t[kPaddedLevel].extInfo[10] = 'x';
        return t;
    }();
    return table.data();
}

struct Bytes {
    uint8_t* data;
    uint32_t size;
};

Bytes arrayOf(const PARRAY::ArrayAccessorForServer& table, uint32_t id)
{
    void* data = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(0u, table.getArrayPointer(data, size, id));
    return {static_cast<uint8_t*>(data), size};
}

std::vector<uint8_t> bytesOf(const PARRAY::ArrayAccessorForServer& table, uint32_t id)
{
    const Bytes b = arrayOf(table, id);
    return std::vector<uint8_t>(b.data, b.data + b.size);
}

// A received piece holding exactly the bytes of the range, on the heap so that a read past its
// end is caught.
std::unique_ptr<uint8_t[]> blobOf(const std::vector<float>& values)
{
    auto blob = std::make_unique<uint8_t[]>(values.size() * sizeof(float));
    std::memcpy(blob.get(), values.data(), values.size() * sizeof(float));
    return blob;
}

class MeterPoolTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, pool.initialize(meterInfos(), kMeterCount, 77, kNumX, kNumY, -1, 1000));
    }

    MeterPool pool;
};

}  // namespace

TEST(MeterPoolEmptyTest, NoTableGivesAPoolWithoutMeters)
{
    MeterPool pool;
    EXPECT_EQ(0u, pool.initialize(nullptr, 3, 1, kNumX, kNumY, -1, 1000));
    EXPECT_FALSE(pool.hasMeters());
    EXPECT_EQ(0u, pool.initialize(meterInfos(), 0, 1, kNumX, kNumY, -1, 1000));
    EXPECT_FALSE(pool.hasMeters());
    EXPECT_EQ(0u, pool.clearAllData());
    EXPECT_EQ(0u, pool.rawMeterArrayAccessor().arrayIDNum());
    const float level = 0.5f;
    EXPECT_EQ(0x80000000u, pool.setRawMeterDataBinary(0, 0, 4, &level));
    EXPECT_EQ(0u, pool.finalize());
}

TEST(MeterPoolEmptyTest, ZeroSizesAreRefusedAndLeaveThePoolAsItWas)
{
    MeterPool pool;
    EXPECT_EQ(0x80000000u, pool.initialize(meterInfos(), kMeterCount, 1, 0, kNumY, -1, 1000));
    EXPECT_EQ(0x80000000u, pool.initialize(meterInfos(), kMeterCount, 1, kNumX, 0, -1, 1000));
    EXPECT_FALSE(pool.hasMeters());

    ASSERT_EQ(0u, pool.initialize(meterInfos(), kMeterCount, 1, kNumX, kNumY, -1, 1000));
    EXPECT_EQ(0x80000000u, pool.initialize(meterInfos(), kMeterCount, 1, 0, 0, -1, 1000));
    EXPECT_TRUE(pool.hasMeters());
    EXPECT_EQ(kMeterCount, pool.normalMeterArrayAccessor().arrayIDNum());
}

TEST(MeterPoolEmptyTest, ATableThatCannotBeBuiltLeavesThePoolEmpty)
{
    const ArrayInfo bad[] = {info(PARRAY::kTypeFLOAT, 4, "level"), info(9, 4, "level")};  // type code 9
    MeterPool pool;
    EXPECT_EQ(0x80000000u, pool.initialize(bad, 2, 1, kNumX, kNumY, -1, 1000));
    EXPECT_FALSE(pool.hasMeters());
    EXPECT_EQ(0u, pool.rawMeterArrayAccessor().arrayIDNum());
}

TEST(MeterPoolEmptyTest, InitializingAgainReleasesTheEarlierTables)
{
    // The tables read their descriptions in place: under the address sanitizer a table that
    // outlived its descriptions would be caught when it is released.
    MeterPool pool;
    ASSERT_EQ(0u, pool.initialize(meterInfos(), kMeterCount, 1, kNumX, kNumY, -1, 1000));
    ASSERT_EQ(0u, pool.initialize(meterInfos(), 2, 1, kNumX, kNumY, -1, 1000));
    EXPECT_EQ(2u, pool.holdMeterArrayAccessor().arrayIDNum());
    EXPECT_EQ(0u, pool.initialize(nullptr, 0, 1, kNumX, kNumY, -1, 1000));
    EXPECT_FALSE(pool.hasMeters());
    EXPECT_EQ(0u, pool.holdMeterArrayAccessor().arrayIDNum());
    ASSERT_EQ(0u, pool.initialize(meterInfos(), kMeterCount, 1, kNumX, kNumY, -1, 1000));
}

TEST_F(MeterPoolTest, FloatLevelAndGainReductionMetersKeepOneBytePerElement)
{
    struct Case {
        Meter meter;
        uint32_t raw, normal, hold;  // byte sizes
    };
    const Case cases[] = {
        {kLevel, 16, 4, 4},       {kGR, 16, 4, 4},         {kRaw, 16, 16, 16},
        {kOther, 16, 16, 16},     {kByteLevel, 4, 4, 4},   {kPaddedLevel, 16, 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.meter);
        EXPECT_EQ(c.raw, arrayOf(pool.rawMeterArrayAccessor(), c.meter).size);
        EXPECT_EQ(c.normal, arrayOf(pool.normalMeterArrayAccessor(), c.meter).size);
        EXPECT_EQ(c.hold, arrayOf(pool.holdMeterArrayAccessor(), c.meter).size);
        EXPECT_EQ(meterInfos()[c.meter].type, pool.rawMeterArrayAccessor().arrayInfoTable()[c.meter].type);
    }
    EXPECT_EQ(PARRAY::kTypeUINT8, pool.normalMeterArrayAccessor().arrayInfoTable()[kLevel].type);
    EXPECT_EQ(PARRAY::kTypeFLOAT, pool.holdMeterArrayAccessor().arrayInfoTable()[kPaddedLevel].type);
    EXPECT_TRUE(MeterPool::isLittleEndian());
}

TEST_F(MeterPoolTest, ClearingPutsTheCleared254IntoGainReductionBytesOnly)
{
    for (uint32_t i = 0; i < kMeterCount; ++i) {
        for (const PARRAY::ArrayAccessorForServer* t :
             {&pool.rawMeterArrayAccessor(), &pool.normalMeterArrayAccessor(), &pool.holdMeterArrayAccessor()}) {
            const Bytes b = arrayOf(*t, i);
            std::memset(b.data, 0x33, b.size);
        }
    }
    EXPECT_EQ(0u, pool.clearAllData());
    for (uint32_t i = 0; i < kMeterCount; ++i) {
        SCOPED_TRACE(i);
        const std::vector<uint8_t> normal = bytesOf(pool.normalMeterArrayAccessor(), i);
        EXPECT_EQ(std::vector<uint8_t>(normal.size(), i == kGR ? 254 : 0), normal);
        const std::vector<uint8_t> raw = bytesOf(pool.rawMeterArrayAccessor(), i);
        EXPECT_EQ(std::vector<uint8_t>(raw.size(), 0), raw);
        const std::vector<uint8_t> hold = bytesOf(pool.holdMeterArrayAccessor(), i);
        EXPECT_EQ(std::vector<uint8_t>(hold.size(), 0), hold);
    }
}

TEST_F(MeterPoolTest, NormalByteJumpsUpAndFallsOneBytePerUpdate)
{
    uint8_t normal[1] = {100};
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 120, 0, normal, nullptr, nullptr));
    EXPECT_EQ(120, normal[0]);  // rises at once
    for (int update = 1; update <= 20; ++update) {
        ASSERT_EQ(0u, pool.setSCPMeterData(0, 100, 0, normal, nullptr, nullptr));
        EXPECT_EQ(120 - update, normal[0]);
    }
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 100, 0, normal, nullptr, nullptr));
    EXPECT_EQ(100, normal[0]);  // settled
    EXPECT_EQ(0x80000000u, pool.setSCPMeterData(0, 100, 0, nullptr, nullptr, nullptr));
}

TEST_F(MeterPoolTest, ComparisonWithTheReleaseStepIsSigned)
{
    // From the cleared gain-reduction byte 254 a lower byte is approached one step at a time;
    // an unsigned difference would have jumped straight to it.
    uint8_t normal[1] = {254};
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 0, 0, normal, nullptr, nullptr));
    EXPECT_EQ(253, normal[0]);

    MeterPool faster;
    ASSERT_EQ(0u, faster.initialize(meterInfos(), kMeterCount, 1, kNumX, kNumY, -3, 1000));
    normal[0] = 120;
    const uint8_t expected[] = {117, 114, 111, 110, 110};  // within 3 of the target it is taken
    for (uint8_t e : expected) {
        ASSERT_EQ(0u, faster.setSCPMeterData(0, 110, 0, normal, nullptr, nullptr));
        EXPECT_EQ(e, normal[0]);
    }
}

TEST_F(MeterPoolTest, HoldByteStaysForTheHoldTimeThenFollows)
{
    uint8_t normal[1] = {0};
    uint8_t hold[1] = {0};
    uint32_t times[1] = {0};
    struct Step {
        uint32_t nowMs;
        uint8_t data;
        uint8_t normal, hold;
        uint32_t time;
    };
    const Step steps[] = {
        {10, 120, 120, 120, 10},    // a peak is held at once
        {510, 100, 119, 120, 10},
        {1010, 100, 118, 120, 10},  // exactly the hold time: still held
        {1011, 100, 117, 117, 1011},  // more than the hold time: follows the normal byte
        {1500, 100, 116, 117, 1011},
        {1600, 125, 125, 125, 1600},  // a higher normal byte is taken at once
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.nowMs);
        ASSERT_EQ(0u, pool.setSCPMeterData(0, s.data, s.nowMs, normal, hold, times));
        EXPECT_EQ(s.normal, normal[0]);
        EXPECT_EQ(s.hold, hold[0]);
        EXPECT_EQ(s.time, times[0]);
    }
}

TEST_F(MeterPoolTest, HoldTimeCountsAcrossTheCounterWrap)
{
    uint8_t normal[1] = {0};
    uint8_t hold[1] = {0};
    uint32_t times[1] = {0};
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 120, 0xFFFFFF00u, normal, hold, times));
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 100, 0x100u, normal, hold, times));  // 512 ms later
    EXPECT_EQ(120, hold[0]);
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 100, 0x2F0u, normal, hold, times));  // 1008 ms later
    EXPECT_EQ(118, hold[0]);
}

TEST_F(MeterPoolTest, PeakHoldKeepsTheHoldByteUntilExceeded)
{
    EXPECT_EQ(0u, pool.setPeakHold(true));
    uint8_t normal[1] = {0};
    uint8_t hold[1] = {0};
    uint32_t times[1] = {0};
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 120, 0, normal, hold, times));
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 10, 50000, normal, hold, times));
    EXPECT_EQ(120, hold[0]);
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 121, 60000, normal, hold, times));
    EXPECT_EQ(121, hold[0]);
    EXPECT_EQ(60000u, times[0]);

    EXPECT_EQ(0u, pool.setPeakHold(false));
    ASSERT_EQ(0u, pool.setSCPMeterData(0, 10, 70000, normal, hold, times));
    EXPECT_EQ(120, hold[0]);  // follows the falling normal byte again
}

// The one sender, the DSP meter thread, hands over a blob holding just the range's bytes. Taking
// them from data + offset read past the blob's end and stored someone else's memory.
TEST_F(MeterPoolTest, RawPieceIsTakenFromTheStartOfTheDataAndStoredAtTheOffset)
{
    const std::vector<float> piece = {1.0f, 0.5f};
    const auto blob = blobOf(piece);
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(kLevel, 8, 8, blob.get()));

    const Bytes raw = arrayOf(pool.rawMeterArrayAccessor(), kLevel);
    EXPECT_EQ(0, std::memcmp(raw.data + 8, blob.get(), 8));
    EXPECT_EQ((std::vector<uint8_t>(8, 0)), std::vector<uint8_t>(raw.data, raw.data + 8));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 126, 120}), bytesOf(pool.normalMeterArrayAccessor(), kLevel));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 126, 120}), bytesOf(pool.holdMeterArrayAccessor(), kLevel));

    const auto raw32 = std::make_unique<uint32_t[]>(1);
    raw32[0] = 0xA1B2C3D4u;
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(kRaw, 12, 4, raw32.get()));
    EXPECT_EQ(0xA1B2C3D4u, pool.normalMeterArrayAccessor().getParam<uint32_t>(kRaw, 3, 0, 0));
}

TEST_F(MeterPoolTest, GainReductionMeterGetsNoHold)
{
    const std::vector<float> piece = {0.5f, 0.5f, 0.5f, 0.5f};
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(kGR, 0, 16, blobOf(piece).get()));
    EXPECT_EQ((std::vector<uint8_t>{253, 253, 253, 253}), bytesOf(pool.normalMeterArrayAccessor(), kGR));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), bytesOf(pool.holdMeterArrayAccessor(), kGR));
}

TEST_F(MeterPoolTest, OtherKindsOnlyStoreTheRawBytes)
{
    for (Meter m : {kOther, kByteLevel, kPaddedLevel}) {
        SCOPED_TRACE(m);
        const uint32_t bytes[1] = {0x3F000000u};  // 0.5f
        ASSERT_EQ(0u, pool.setRawMeterDataBinary(m, 0, 4, bytes));
        EXPECT_EQ(0, std::memcmp(arrayOf(pool.rawMeterArrayAccessor(), m).data, bytes, 4));
        const std::vector<uint8_t> normal = bytesOf(pool.normalMeterArrayAccessor(), m);
        EXPECT_EQ(std::vector<uint8_t>(normal.size(), 0), normal);
    }
}

TEST_F(MeterPoolTest, RawRangeChecksRefuse)
{
    const auto blob = blobOf({0.5f, 0.5f, 0.5f, 0.5f});
    struct Case {
        const char* name;
        uint32_t meter, offset, length;
        const void* data;
        bool rawWritten;
    };
    const Case cases[] = {
        {"meter out of range", kMeterCount, 0, 4, blob.get(), false},
        {"no data", kLevel, 0, 4, nullptr, false},
        {"past the raw array", kLevel, 8, 12, blob.get(), false},
        {"offset + length wraps in 32 bits", kLevel, 0xFFFFFFFCu, 8, blob.get(), false},
        {"float level not on 4 bytes", kLevel, 2, 4, blob.get(), true},
        {"float level length not on 4 bytes", kLevel, 0, 6, blob.get(), true},
        {"float gr not on 4 bytes", kGR, 2, 4, blob.get(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, pool.clearAllData());
        EXPECT_EQ(0x80000000u, pool.setRawMeterDataBinary(c.meter, c.offset, c.length, c.data));
        if (c.meter >= kMeterCount) continue;
        const std::vector<uint8_t> raw = bytesOf(pool.rawMeterArrayAccessor(), c.meter);
        EXPECT_EQ(c.rawWritten, raw != std::vector<uint8_t>(raw.size(), 0));
        const std::vector<uint8_t> normal = bytesOf(pool.normalMeterArrayAccessor(), c.meter);
        EXPECT_EQ(std::vector<uint8_t>(normal.size(), c.meter == kGR ? 254 : 0), normal);
    }
}

TEST_F(MeterPoolTest, LinearArrayRangeIsCheckedAgainstEveryArrayItWrites)
{
    const float values[16] = {0.5f};
    EXPECT_EQ(0x80000000u, pool.setFloatLinearMeterDataArray(kLevel, 0, 1, nullptr, true, 0.0f));
    EXPECT_EQ(0x80000000u, pool.setFloatLinearMeterDataArray(kLevel, 3, 2, values, true, 0.0f));
    EXPECT_EQ(0x80000000u, pool.setFloatLinearMeterDataArray(kLevel, 0xFFFFFFFFu, 2, values, true, 0.0f));
    EXPECT_EQ(0x80000000u, pool.setFloatLinearMeterDataArray(kMeterCount, 0, 1, values, true, 0.0f));
    // The "raw" meter's normal and hold arrays hold 16 bytes, its hold times only 4 elements.
    EXPECT_EQ(0x80000000u, pool.setFloatLinearMeterDataArray(kRaw, 0, 16, values, true, 0.0f));
    EXPECT_EQ(std::vector<uint8_t>(16, 0), bytesOf(pool.normalMeterArrayAccessor(), kRaw));
    EXPECT_EQ(0u, pool.setFloatLinearMeterDataArray(kRaw, 0, 16, values, false, 0.0f));
    EXPECT_EQ(120, bytesOf(pool.normalMeterArrayAccessor(), kRaw)[0]);

    ASSERT_EQ(0u, pool.setFloatLinearMeterDataArray(kLevel, 3, 1, values, true, 6.0f));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 126}), bytesOf(pool.normalMeterArrayAccessor(), kLevel));
}

TEST_F(MeterPoolTest, CopyBuildsTablesOfItsOwn)
{
    ASSERT_EQ(0u, pool.setPeakHold(true));
    ASSERT_EQ(0u, pool.setRawMeterDataBinary(kLevel, 0, 4, blobOf({0.5f}).get()));
    auto source = std::make_unique<MeterPool>(pool);
    MeterPool copy;
    copy = *source;
    source.reset();  // the copy must not read anything of it any more

    EXPECT_TRUE(copy.hasMeters());
    EXPECT_TRUE(copy.isPeakHold());
    EXPECT_EQ((std::vector<uint8_t>{120, 0, 0, 0}), bytesOf(copy.normalMeterArrayAccessor(), kLevel));
    EXPECT_EQ(254, bytesOf(copy.normalMeterArrayAccessor(), kGR)[0]);
    ASSERT_EQ(0u, copy.setRawMeterDataBinary(kLevel, 4, 4, blobOf({1.0f}).get()));
    EXPECT_EQ((std::vector<uint8_t>{120, 126, 0, 0}), bytesOf(copy.normalMeterArrayAccessor(), kLevel));
    EXPECT_EQ((std::vector<uint8_t>{120, 0, 0, 0}), bytesOf(pool.normalMeterArrayAccessor(), kLevel));

    copy = MeterPool();  // how the shared null component is reset
    EXPECT_FALSE(copy.hasMeters());
    EXPECT_FALSE(copy.isPeakHold());
}
