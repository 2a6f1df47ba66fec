#include "PDB/pdb_ParameterArray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "PDB/pdb_LocalParameterArray.h"
#include "pdb_TestFakes.h"

using pdbtest::DirtyReport;
using pdbtest::ErrorReport;
using pdbtest::makeInfo;

namespace {

constexpr uint32_t kAi = 3;
constexpr uint32_t kAll = 0xFFFFFFFFu;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// A live array wired to recording neighbours.
struct LiveArray {
    explicit LiveArray(const PDB::ParameterInfo& info)
    {
        EXPECT_EQ(0u, array.initialize(&db, 1, kAi, info, &callback, &strategy, 0));
    }
    uint32_t u32(uint32_t x, uint32_t y) const
    {
        JVariant v;
        EXPECT_FALSE(JLIB::isFailure(array.getVariant(v, x, y, nullptr)));
        return v.toUInt32();
    }

    pdbtest::FlagDB db;
    pdbtest::RecordingCallback callback;
    pdbtest::ScriptedStrategy strategy;
    PDB::ParameterArray array;
};

PDB::LocalParameterArray localOf(const PDB::ParameterInfo& info, const std::vector<uint32_t>& values)
{
    PDB::LocalParameterArray local;
    EXPECT_EQ(0u, local.initialize(info));
    for (uint32_t p = 0; p < values.size(); ++p) {
        uint32_t x = 0, y = 0;
        EXPECT_EQ(0u, local.posToXY(x, y, p));
        EXPECT_FALSE(JLIB::isFailure(local.setVariant(x, y, JVariant(values[p]), 0xFF)));
    }
    return local;
}

}  // namespace

TEST(ParameterArrayTest, InitializeStoresAdjustedDefaultsAndFreshFactors)
{
    pdbtest::FlagDB db;
    pdbtest::ScriptedStrategy strategy;
    strategy.defaults = [](uint32_t x, uint32_t y, JVariant& v) { v = v.toUInt32() + x * 10 + y; };
    PDB::ParameterArray array;
    EXPECT_FALSE(array.isValid());
    ASSERT_EQ(0u, array.initialize(&db, 0, 0, makeInfo(PDB::kTypeUInt8, 2, 3, 0u, 200u, 7u), nullptr, &strategy, 0));
    EXPECT_TRUE(array.isValid());
    EXPECT_EQ(8u, array.totalSize());  // 6 bytes padded to 4
    for (uint32_t x = 0; x < 2; ++x) {
        for (uint32_t y = 0; y < 3; ++y) {
            JVariant v;
            uint8_t factor = 0;
            EXPECT_EQ(0x10000u, array.getVariant(v, x, y, &factor));
            EXPECT_EQ(7u + x * 10 + y, v.toUInt32());
            EXPECT_EQ(0xFF, factor);
        }
    }
    EXPECT_EQ(0u, strategy.checkCalls);  // defaults bypass the write path

    PDB::ParameterInfo broken = makeInfo(PDB::kTypeUInt8, 2, 3);
    broken.numY = 0;
    EXPECT_EQ(0x80000001u, array.initialize(&db, 0, 0, broken, nullptr, nullptr, 0));
    EXPECT_FALSE(array.isValid());
    EXPECT_EQ(0u, array.paramInfo().numX);
}

TEST(ParameterArrayTest, SetVariantClampsByKindAndStoresAsTheElementType)
{
    struct Case {
        const char* what;
        PDB::ParameterInfo info;
        JVariant initial;
        JVariant written;
        JLIB::JResult result;
        JVariant stored;
    };
    const Case cases[] = {
        {"uint8 above max", makeInfo(PDB::kTypeUInt8, 1, 1, 0u, 100u, 0u), JVariant(0u), JVariant(150u), 0x20, JVariant(100u)},
        {"sint16 below min", makeInfo(PDB::kTypeSInt16, 1, 1, -10, 10, 0), JVariant(0), JVariant(-20), 0x20, JVariant(-10)},
        {"sint16 0xFFFFFFFF is -1", makeInfo(PDB::kTypeSInt16, 1, 1, -10, 10, 0), JVariant(0), JVariant(0xFFFFFFFFu), 0, JVariant(-1)},
        {"float above max", makeInfo(PDB::kTypeFloat, 1, 1, 0.0f, 1.0f, 0.0f), JVariant(0.0f), JVariant(2.5f), 0x20, JVariant(1.0f)},
        {"bool above max", makeInfo(PDB::kTypeBool, 1, 1, 0u, 1u, 0u), JVariant(0u), JVariant(5u), 0x20, JVariant(1u)},
        {"sint32 float has no integer form", makeInfo(PDB::kTypeSInt32, 1, 1, -100, 100, 0), JVariant(5), JVariant(6.0f), 0, JVariant(0)},
        {"uint32 within range", makeInfo(PDB::kTypeUInt32, 1, 1, 0u, 1000u, 0u), JVariant(0u), JVariant(999u), 0, JVariant(999u)},
        {"string cut silently", makeInfo(PDB::kTypeString, 1, 1, JVariant(), JVariant(), JVariant("", 0), 4), JVariant("", 0), JVariant("abcdef", 100), 0, JVariant("abcd", 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveArray live(c.info);
        (void)live.array.setVariant(0, 0, c.initial, 1);
        live.callback.dirty.clear();
        EXPECT_EQ(c.result, live.array.setVariant(0, 0, c.written, 9));
        JVariant stored;
        uint8_t factor = 0;
        EXPECT_FALSE(JLIB::isFailure(live.array.getVariant(stored, 0, 0, &factor)));
        EXPECT_TRUE(stored == c.stored);
        EXPECT_EQ(9, factor);
        EXPECT_EQ((std::vector<DirtyReport>{{kAi, 0, false}}), live.callback.dirty);
    }
}

TEST(ParameterArrayTest, UnchangedValuesReachNoHookAndKeepTheirFactor)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 2, 0u, 100u, 0u));
    EXPECT_EQ(0xFF, live.array.getFactor(0, 1));
    EXPECT_EQ(0u, live.array.setVariant(0, 1, JVariant(42u), 3));
    EXPECT_EQ(3, live.array.getFactor(0, 1));
    EXPECT_EQ(0u, live.array.setVariant(0, 1, JVariant(42u), 4));     // same value
    EXPECT_EQ(0x20u, live.array.setVariant(0, 0, JVariant(150u), 5));  // stores 100
    EXPECT_EQ(0x20u, live.array.setVariant(0, 0, JVariant(150u), 6));  // 100 again: no change
    EXPECT_EQ(3, live.array.getFactor(0, 1));
    EXPECT_EQ(5, live.array.getFactor(0, 0));
    EXPECT_EQ(2, live.strategy.checkCalls);
    EXPECT_EQ(2, live.strategy.linkCalls);
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, 1, false}, {kAi, 0, false}}), live.callback.dirty);
}

TEST(ParameterArrayTest, NaNIsNeverClampedAndAlwaysCountsAsAChange)
{
    LiveArray live(makeInfo(PDB::kTypeFloat, 1, 1, 0.0f, 1.0f, 0.5f));
    EXPECT_EQ(0u, live.array.setVariant(0, 0, JVariant(kNaN), 0xFF));
    EXPECT_EQ(0u, live.array.setVariant(0, 0, JVariant(kNaN), 0xFF));
    JVariant v;
    EXPECT_EQ(0x10000u, live.array.getVariant(v, 0, 0, nullptr));
    EXPECT_TRUE(std::isnan(v.toFloat()));
    EXPECT_EQ(2u, live.callback.dirty.size());
}

TEST(ParameterArrayTest, PositionsOutsideTheArrayAreRefusedBeforeAnyHook)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 3, 0u, 100u, 0u));
    EXPECT_EQ(0x80000001u, live.array.setVariant(2, 0, JVariant(1u), 1));
    EXPECT_EQ(0x80000001u, live.array.setVariant(0, 3, JVariant(1u), 1));
    EXPECT_EQ(0x80000001u, live.array.setDefault(2, 0, 1));
    EXPECT_EQ(0x80000001u, live.array.setDirty(0, 3, 1));
    EXPECT_EQ(0, live.strategy.checkCalls);
    EXPECT_TRUE(live.callback.dirty.empty());

    JVariant v(5u);
    uint8_t factor = 0;
    EXPECT_EQ(0x80000001u, live.array.getVariant(v, 2, 0, &factor));
    EXPECT_EQ(0xFF, factor);
    EXPECT_EQ(0xFF, live.array.getFactor(0, 3));
    EXPECT_FALSE(live.array.checkPosRange(2, 0));
    EXPECT_TRUE(live.array.checkPosRange(1, 2));
    EXPECT_EQ(5u, live.array.XYToPos(1, 2));

    struct Case {
        uint32_t pos;
        JLIB::JResult result;
        uint32_t x, y;
    };
    const Case cases[] = {{0, 0, 0, 0}, {4, 0, 1, 1}, {5, 0, 1, 2}, {6, 0x80000001u, 0, 0}, {kAll, 0x80000001u, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        uint32_t x = 77, y = 77;
        EXPECT_EQ(c.result, live.array.posToXY(x, y, c.pos));
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }
}

TEST(ParameterArrayTest, RefusedWriteGoesToOnErrorOccuredAndStillAnswersZero)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 0u));
    EXPECT_EQ(0u, live.array.setVariant(1, 0, JVariant(10u), 2));
    live.callback.dirty.clear();
    live.strategy.refuse = true;
    EXPECT_EQ(0u, live.array.setVariant(1, 0, JVariant(20u), 7));
    EXPECT_EQ(0x20u, live.array.setVariant(1, 0, JVariant(200u), 7));  // a clamp still shows
    EXPECT_EQ(10u, live.u32(1, 0));
    EXPECT_EQ(2, live.array.getFactor(1, 0));
    EXPECT_EQ((std::pair<uint8_t, uint8_t>{7, 2}), live.strategy.lastFactors);
    EXPECT_EQ((std::vector<ErrorReport>{{kAi, 1, 0, 0x80000004u}, {kAi, 1, 0, 0x80000004u}}), live.callback.errors);
    EXPECT_EQ(1, live.strategy.linkCalls);  // only the first, allowed write
    EXPECT_TRUE(live.callback.dirty.empty());
}

TEST(ParameterArrayTest, LinkHookWritesRunWithoutALinkStepOfTheirOwn)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 2, 0u, 100u, 0u));
    live.strategy.link = [&](uint32_t, uint32_t y) {
        if (y == 0) {
            EXPECT_EQ(0u, live.array.setVariant(0, 1, JVariant(99u), 0x11));
        }
    };
    EXPECT_EQ(0u, live.array.setVariant(0, 0, JVariant(1u), 0x10));
    EXPECT_EQ(99u, live.u32(0, 1));
    EXPECT_EQ(0x11, live.array.getFactor(0, 1));
    EXPECT_EQ(1, live.strategy.linkCalls);
    EXPECT_TRUE(live.strategy.suppressedDuringLink);
    EXPECT_FALSE(live.db.suppressed);
    EXPECT_EQ(2, live.strategy.checkCalls);
    // The linked write reports first: it happens inside the first write's link step.
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, 1, false}, {kAi, 0, false}}), live.callback.dirty);
}

TEST(ParameterArrayTest, ReadsPassTheProxyAndReportStatusByType)
{
    LiveArray live(makeInfo(PDB::kTypeUInt16, 1, 1, 0u, 1000u, 5u));
    live.strategy.proxy = [](uint32_t, uint32_t, JVariant& v) { v = v.toUInt32() * 2; };
    JVariant v;
    EXPECT_EQ(0x10000u, live.array.getVariant(v, 0, 0, nullptr));
    EXPECT_EQ(10u, v.toUInt32());

    LiveArray text(makeInfo(PDB::kTypeString, 1, 1, JVariant(), JVariant(), JVariant("hi", 10), 8));
    EXPECT_EQ(0u, text.array.getVariant(v, 0, 0, nullptr));
    EXPECT_STREQ("hi", v.toString());

    JVariant def;
    EXPECT_EQ(0u, live.array.getDefault(def, 9, 9));  // the position is not checked
    EXPECT_EQ(5u, def.toUInt32());
}

TEST(ParameterArrayTest, DefaultsAndDirtyMarksPassTheWritePath)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 1, 0u, 100u, 150u));  // default beyond max
    live.db.recalling = true;
    EXPECT_EQ(0x20u, live.array.setDefault(0, 0, 4));
    EXPECT_EQ(100u, live.u32(0, 0));
    EXPECT_EQ(0u, live.array.setDirty(0, 0, 8));
    EXPECT_EQ(100u, live.u32(0, 0));
    EXPECT_EQ(8, live.array.getFactor(0, 0));
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, 0, true}, {kAi, 0, true}}), live.callback.dirty);
}

TEST(ParameterArrayTest, RecallFilterFollowsTheAttributesAndTheDefinition)
{
    struct Case {
        const char* what;
        uint8_t attrFlags;
        uint8_t importAttr;
        bool copies;
    };
    const Case cases[] = {
        {"forced into not recallable", 0, 0x08, true},
        {"no attributes ignore the definition", 0, 0x00, true},
        {"dirty into not recallable", 0, 0x02, false},
        {"restore into volatile", PDB::ParamAttr::kRecallable, 0x18, false},
        {"restore into nonvolatile", PDB::ParamAttr::kNonVolatile, 0x10, true},
        {"dirty into recallable", PDB::ParamAttr::kRecallable, 0x02, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 2, 0u, 100u, 0u, 0, c.attrFlags));
        const PDB::LocalParameterArray source = localOf(makeInfo(PDB::kTypeUInt8, 1, 2), {11, 12});
        EXPECT_EQ(0u, live.array.recall(source, PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(c.importAttr), 6));
        EXPECT_EQ(c.copies ? 11u : 0u, live.u32(0, 0));
        EXPECT_EQ(c.copies ? 12u : 0u, live.u32(0, 1));
        EXPECT_EQ(c.copies ? 6 : 0xFF, live.array.getFactor(0, 1));
    }
}

TEST(ParameterArrayTest, RecallWithFlagsLeavesFlaggedElementsAndSkipsTheWritePath)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 1u));
    PDB::FlagArray flags;
    ASSERT_EQ(0u, flags.initialize(4));
    ASSERT_EQ(0u, flags.setFlag(live.array.XYToPos(1, 0)));
    const PDB::LocalParameterArray source = localOf(makeInfo(PDB::kTypeUInt8, 2, 2), {200, 201, 202, 203});
    EXPECT_EQ(0u, live.array.recall(source, flags, PDB::ImportAttr(0), 5));
    EXPECT_EQ(200u, live.u32(0, 0));  // no clamp
    EXPECT_EQ(201u, live.u32(0, 1));
    EXPECT_EQ(1u, live.u32(1, 0));
    EXPECT_EQ(203u, live.u32(1, 1));
    EXPECT_EQ(5, live.array.getFactor(0, 0));
    EXPECT_EQ(0xFF, live.array.getFactor(1, 0));
    EXPECT_TRUE(live.callback.dirty.empty());
    EXPECT_EQ(0, live.strategy.checkCalls);
}

TEST(ParameterArrayTest, RecallCopiesTheOverlapOfDifferentShapes)
{
    LiveArray live(makeInfo(PDB::kTypeUInt16, 2, 2, 0u, 1000u, 0u));
    const PDB::LocalParameterArray source = localOf(makeInfo(PDB::kTypeUInt16, 2, 3), {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(0u, live.array.recall(source, PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 2));
    EXPECT_EQ(1u, live.u32(0, 0));
    EXPECT_EQ(2u, live.u32(0, 1));
    EXPECT_EQ(4u, live.u32(1, 0));
    EXPECT_EQ(5u, live.u32(1, 1));
    EXPECT_EQ(2, live.array.getFactor(1, 1));

    const PDB::LocalParameterArray otherType = localOf(makeInfo(PDB::kTypeUInt8, 2, 2), {9, 9, 9, 9});
    EXPECT_EQ(0x80020000u, live.array.recall(otherType, PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 2));
    EXPECT_EQ(1u, live.u32(0, 0));
}

TEST(ParameterArrayTest, RecallWithDirtyMarkingWritesThroughSetVariant)
{
    struct Case {
        uint8_t attr;
        int linkCalls;
    };
    for (const Case& c : {Case{0x02, 0}, Case{0x04, 1}}) {
        SCOPED_TRACE(int(c.attr));
        LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 3, 0u, 100u, 0u));
        PDB::FlagArray flags;
        ASSERT_EQ(0u, flags.initialize(3));
        ASSERT_EQ(0u, flags.setFlag(2));
        const PDB::LocalParameterArray source = localOf(makeInfo(PDB::kTypeUInt8, 1, 3), {0, 150, 7});
        EXPECT_EQ(0u, live.array.recall(source, flags, PDB::ImportAttr(c.attr), 3));
        EXPECT_EQ(100u, live.u32(0, 1));  // clamped
        EXPECT_EQ(0u, live.u32(0, 2));    // flagged
        EXPECT_EQ(c.linkCalls, live.strategy.linkCalls);
        EXPECT_FALSE(live.db.suppressed);
        EXPECT_EQ((std::vector<DirtyReport>{{kAi, 1, false}}), live.callback.dirty);
    }
}

TEST(ParameterArrayTest, ExportPadsToFourAndRefusesSmallBuffers)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 3, 0u, 255u, 0u));
    for (uint32_t y = 0; y < 3; ++y) ASSERT_EQ(0u, live.array.setVariant(0, y, JVariant(0xA0u + y), 1));
    uint8_t buffer[8];
    std::memset(buffer, 0x5A, sizeof buffer);
    uint32_t written = 77;
    EXPECT_EQ(0x80000001u, live.array.exportData(buffer, 3, written));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(0x5A, buffer[0]);
    EXPECT_EQ(0u, live.array.exportData(buffer, sizeof buffer, written));
    EXPECT_EQ(4u, written);
    const uint8_t expected[] = {0xA0, 0xA1, 0xA2, 0x00, 0x5A};
    EXPECT_EQ(0, std::memcmp(expected, buffer, sizeof expected));
}

TEST(ParameterArrayTest, ImportTakesStoredValuesAndRefusesBadRecords)
{
    const PDB::ParameterInfo own = makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 0u);
    const uint8_t data[] = {1, 2, 3, 4, 5, 6, 0, 0};
    struct Case {
        const char* what;
        PDB::ParameterInfo stored;
        uint32_t length;
        uint8_t attr;
        JLIB::JResult result;
        uint32_t values[4];
    };
    PDB::ParameterInfo otherType = makeInfo(PDB::kTypeSInt8, 2, 2);
    const Case cases[] = {
        {"same shape in one block", makeInfo(PDB::kTypeUInt8, 2, 2), 4, 0, 0, {1, 2, 3, 4}},
        {"wider stored shape", makeInfo(PDB::kTypeUInt8, 2, 3), 8, 0, 0, {1, 2, 4, 5}},
        {"narrower stored shape", makeInfo(PDB::kTypeUInt8, 1, 2), 4, 0, 0, {1, 2, 0, 0}},
        {"with dirty marking", makeInfo(PDB::kTypeUInt8, 2, 2), 4, 0x02, 0, {1, 2, 3, 4}},
        {"other type", otherType, 4, 0, 0x80020000u, {0, 0, 0, 0}},
        {"data shorter than the shape", makeInfo(PDB::kTypeUInt8, 2, 3), 4, 0, 0x80010000u, {0, 0, 0, 0}},
        {"crafted huge shape", makeInfo(PDB::kTypeUInt8, 65535, 65535), 8, 0x02, 0x80010000u, {0, 0, 0, 0}},
        {"empty stored shape", makeInfo(PDB::kTypeUInt8, 0, 2), 8, 0, 0x80010000u, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveArray live(own);
        EXPECT_EQ(c.result, live.array.importData(c.stored, data, c.length, PDB::DummyFlagArray::getInstance(),
                                                  PDB::ImportAttr(c.attr), 9));
        for (uint32_t p = 0; p < 4; ++p) EXPECT_EQ(c.values[p], live.u32(p / 2, p % 2)) << "pos " << p;
        EXPECT_EQ(JLIB::isFailure(c.result) ? 0xFF : 9, live.array.getFactor(0, 0));
    }
    LiveArray live(own);
    EXPECT_EQ(0x80010000u, live.array.importData(makeInfo(PDB::kTypeUInt8, 2, 2), nullptr, 4,
                                                 PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 9));
}

TEST(ParameterArrayTest, ResizeKeepsTheOverlapOrRestoresOnFailure)
{
    for (bool keep : {true, false}) {
        SCOPED_TRACE(keep);
        LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 7u));
        live.array = live.array;  // self-assignment changes nothing
        ASSERT_EQ(0u, live.array.setVariant(0, 0, JVariant(10u), 1));
        ASSERT_EQ(0u, live.array.setVariant(1, 0, JVariant(11u), 1));
        ASSERT_EQ(0u, live.array.setVariant(1, 1, JVariant(12u), 1));
        live.callback.dirty.clear();
        // The Y axis follows the component size with N 1: a component of 3 x 1 gives 3 x 1.
        EXPECT_EQ(0u, live.array.resize(3, 1, keep, 0x42));
        EXPECT_EQ(3u, live.array.paramInfo().numX);
        EXPECT_EQ(1u, live.array.paramInfo().numY);
        EXPECT_EQ(keep ? 10u : 7u, live.u32(0, 0));
        EXPECT_EQ(keep ? 11u : 7u, live.u32(1, 0));
        EXPECT_EQ(7u, live.u32(2, 0));
        for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(0x42, live.array.getFactor(x, 0));
        EXPECT_EQ((std::vector<DirtyReport>{{kAi, kAll, false}}), live.callback.dirty);  // the copy, once
    }

    LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 2, 0u, 100u, 7u));
    ASSERT_EQ(0u, live.array.setVariant(1, 1, JVariant(12u), 1));
    EXPECT_EQ(0x80000001u, live.array.resize(0xFFFFFFFFu, 0xFFFFFFFFu, true, 0x33));  // shape past 32 bits
    EXPECT_EQ(2u, live.array.paramInfo().numX);
    EXPECT_EQ(2u, live.array.paramInfo().numY);
    EXPECT_EQ(12u, live.u32(1, 1));
    EXPECT_EQ(0x33, live.array.getFactor(1, 1));
}

TEST(ParameterArrayTest, CopiesReportTheWholeArrayAndCarryDefinitionAndValues)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 1, 2, 0u, 100u, 3u));
    ASSERT_EQ(0u, live.array.setVariant(0, 1, JVariant(44u), 1));
    live.callback.dirty.clear();

    const PDB::ParameterArray copy(live.array);  // shares the callback
    EXPECT_EQ(44u, [&] { JVariant v; (void)copy.getVariant(v, 0, 1, nullptr); return v.toUInt32(); }());
    EXPECT_EQ(0xFF, copy.getFactor(0, 1));
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, kAll, false}}), live.callback.dirty);

    PDB::LocalParameterArray local;
    EXPECT_EQ(0u, live.array.getVariants(local));
    EXPECT_EQ(2u, local.paramInfo().numY);
    JVariant v;
    EXPECT_EQ(0x10000u, local.getVariant(v, 0, 1, nullptr));
    EXPECT_EQ(44u, v.toUInt32());

    const PDB::LocalParameterArray wider = localOf(makeInfo(PDB::kTypeUInt8, 1, 3), {5, 6, 7});
    live.callback.dirty.clear();
    live.array = wider;  // takes the source's definition
    EXPECT_EQ(3u, live.array.paramInfo().numY);
    EXPECT_EQ(7u, live.u32(0, 2));
    EXPECT_EQ(kAi, live.array.addressIndex());
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, kAll, false}}), live.callback.dirty);

    EXPECT_EQ(0x80000001u, live.array.duplicate(PDB::ParameterArrayNULL::getNullObject(), 1, 0));  // empty values
    EXPECT_EQ(0x80080000u, live.array.duplicate(wider, 1, 40));  // heap number out of range
}

TEST(ParameterArrayTest, SetVariantsWritesTheOverlapThroughTheWritePath)
{
    LiveArray live(makeInfo(PDB::kTypeUInt8, 2, 1, 0u, 100u, 0u));
    const PDB::LocalParameterArray source = localOf(makeInfo(PDB::kTypeUInt8, 3, 1), {0, 250, 9});
    EXPECT_EQ(0x20u, live.array.setVariants(source, 5));
    EXPECT_EQ(0u, live.u32(0, 0));
    EXPECT_EQ(100u, live.u32(1, 0));
    EXPECT_EQ((std::vector<DirtyReport>{{kAi, 1, false}}), live.callback.dirty);
}

TEST(ParameterArrayNULLTest, AnswersWithoutEffect)
{
    PDB::ParameterArrayNULL& null = PDB::ParameterArrayNULL::getNullObject();
    EXPECT_EQ(&null, &PDB::ParameterArrayNULL::getNullObject());
    EXPECT_FALSE(null.isValid());
    EXPECT_EQ(0u, null.totalSize());
    EXPECT_EQ(0u, null.paramInfo().type);
    EXPECT_FALSE(null.params().isValid());
    EXPECT_EQ(&PDB::ParameterStrategy::getNullObject(), &null.paramStrategy());
    const PDB::LocalParameterArray other = localOf(makeInfo(PDB::kTypeUInt8, 1, 1), {1});
    EXPECT_EQ(0x80080000u, null.resize(1, 1, true, 0));
    EXPECT_EQ(0x80000002u, null.setVariant(0, 0, JVariant(1u), 0));
    EXPECT_EQ(0x80000002u, null.setDefault(0, 0, 0));
    EXPECT_EQ(0x80000002u, null.setDirty(0, 0, 0));
    EXPECT_EQ(0x80000002u, null.setVariants(other, 0));
    PDB::LocalParameterArray target;
    EXPECT_EQ(0x80000002u, null.getVariants(target));
    EXPECT_EQ(0x80000002u, null.duplicate(other, 0, 0));
    EXPECT_EQ(0x80000002u, null.recall(other, PDB::DummyFlagArray::getInstance(), PDB::ImportAttr(0), 0));
    const uint8_t data[4] = {};
    EXPECT_EQ(0x80000002u, null.importData(other.paramInfo(), data, 4, PDB::DummyFlagArray::getInstance(),
                                           PDB::ImportAttr(0), 0));
    uint32_t written = 9;
    uint8_t buffer[4];
    EXPECT_EQ(0x80000002u, null.exportData(buffer, 4, written));
    EXPECT_EQ(0u, written);
    JVariant v(3u);
    uint8_t factor = 0;
    EXPECT_EQ(0u, null.getVariant(v, 0, 0, &factor));
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(0xFF, factor);
    v = 3u;
    EXPECT_EQ(0u, null.getDefault(v, 0, 0));
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(0xFF, null.getFactor(0, 0));
    EXPECT_FALSE(null.checkPosRange(0, 0));
    EXPECT_EQ(0u, null.XYToPos(1, 1));
    uint32_t x = 5, y = 5;
    EXPECT_EQ(0x80000002u, null.posToXY(x, y, 0));
    EXPECT_EQ(0u, x);
    EXPECT_EQ(0u, y);
    null = other;
    EXPECT_FALSE(null.isValid());
}
