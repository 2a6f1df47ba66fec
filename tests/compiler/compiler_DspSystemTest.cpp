#include "compiler/compiler_DspSystem.h"

#include <gtest/gtest.h>

namespace {

using namespace Compiler;

// One DSP "A" with two cores and one DSP "B" with one core; every core has "step" (base offset
// 10 on core A/1) and "mem".
T_DSPSYSTEMDB_DSPSYSTEM entry(uint32_t fsHz = 96000, uint32_t frame = 32)
{
    T_DSPSYSTEMDB_DSPSYSTEM e;
    e.name = "Sys";
    e.fsHz = fsHz;
    e.numSamplePerFrame = frame;
    T_DSPSYSTEMDB_CORE c0{0, {{"step", 0, 300, false}, {"mem", 0, 1000, true}}};
    T_DSPSYSTEMDB_CORE c1{1, {{"step", 10, 300, false}, {"mem", 0, 1000, true}}};
    e.dsps = {{0, "A", {c0, c1}}, {1, "B", {c0}}};
    return e;
}

T_COMPONENT component(uint32_t step, uint32_t mem, const std::string& dsp = "A")
{
    T_COMPONENT c;
    c.uniqID = 1;
    c.dspResources = {{dsp, 96000, 32, {{"step", step}, {"mem", mem}}}};
    return c;
}

DspSystem initialized()
{
    DspSystem s;
    EXPECT_EQ(0u, s.initialize(entry(), 1, 1, 64, true));
    return s;
}

}  // namespace

TEST(DspSystemTest, InitializeCopiesTheEntryOrRefusesZeroRates)
{
    DspSystem s;
    EXPECT_FALSE(s.isValid());
    EXPECT_EQ(nullptr, s.getDspSystemName());
    EXPECT_EQ(0u, s.getDspNum());
    EXPECT_EQ(0x80000000u, s.increaseAllStepResources());

    s = initialized();
    EXPECT_TRUE(s.isValid());
    EXPECT_STREQ("Sys", s.getDspSystemName());
    EXPECT_EQ(96000u, s.getDspSystemFsHz());  // the entry's, not the arguments'
    EXPECT_EQ(32u, s.getDspSystemNumSamplePerFrame());
    EXPECT_EQ(64u, s.getDspSystemRenderSamples());
    EXPECT_TRUE(s.getDelayCompensation());
    EXPECT_EQ(2u, s.getDspNum());
    EXPECT_EQ(2u, s.getDspCoreNum(0));
    EXPECT_EQ(0u, s.getDspCoreNum(2));
    EXPECT_STREQ("B", s.getDspName(1));
    EXPECT_EQ(nullptr, s.getDspName(2));

    for (auto [fs, frame] : {std::pair{0u, 32u}, std::pair{96000u, 0u}}) {
        DspSystem bad = initialized();
        EXPECT_EQ(0x80000000u, bad.initialize(entry(fs, frame), fs, frame, 0, false));
        EXPECT_FALSE(bad.isValid());
        EXPECT_EQ(0u, bad.getDspNum());
    }
}

TEST(DspSystemTest, AssignTakesResourcesAndRecordsThePlacement)
{
    DspSystem s = initialized();
    T_COMPILERESULT_DSPASSIGNMENT a;
    ASSERT_EQ(0u, s.assignComponentDspResource(0, 1, 5, component(100, 40).dspResources[0], a, 20));
    EXPECT_EQ(0u, a.dspNo);
    EXPECT_EQ(1u, a.coreNo);
    EXPECT_EQ(5u, a.uniqID);
    EXPECT_EQ(0u, a.preUniqID);
    ASSERT_EQ(2u, a.resources.size());
    EXPECT_EQ(30u, a.resources[0].offset);  // base 10 + step 20
    EXPECT_EQ(100u, a.resources[0].size);
    EXPECT_EQ(0u, a.resources[1].offset);
    EXPECT_EQ(120u, s.getUsedResourceSize(0, 1, "step", 0));  // step + size, no base
    EXPECT_EQ(40u, s.getUsedResourceSize(0, 1, "mem", 0));

    T_COMPILERESULT_DSPASSIGNMENT b;
    ASSERT_EQ(0u, s.assignComponentDspResource(0, 1, 6, component(50, 60).dspResources[0], b, 120));
    EXPECT_EQ(5u, b.preUniqID);
    EXPECT_EQ(130u, b.resources[0].offset);
    EXPECT_EQ(40u, b.resources[1].offset);  // after what was taken
    EXPECT_EQ(100u, s.getUsedResourceSize(0, 1, "mem", 0));

    T_COMPILERESULT_DSPASSIGNMENT c;
    c.resources = {{"old", 1, 1}};
    EXPECT_EQ(0x80000001u, s.assignComponentDspResource(0, 1, 7, component(10, 901).dspResources[0], c, 170));
    EXPECT_TRUE(c.resources.empty());
    EXPECT_EQ(170u, s.getUsedResourceSize(0, 1, "step", 0));  // nothing changed
    EXPECT_EQ(0x80000000u, s.assignComponentDspResource(0, 2, 7, component(1, 1).dspResources[0], c, 0));
    EXPECT_EQ(0x80000000u, s.assignComponentDspResource(2, 0, 7, component(1, 1).dspResources[0], c, 0));
}

TEST(DspSystemTest, RemainingSizeNeverWrapsAndCountsFromTheGivenStep)
{
    DspSystem s = initialized();
    EXPECT_EQ(300u, s.getRemainingResourceSize(0, 0, "step", 0));
    EXPECT_EQ(100u, s.getRemainingResourceSize(0, 0, "step", 200));  // a component placed at 200 ends by 300
    EXPECT_EQ(0u, s.getRemainingResourceSize(0, 0, "step", 400));
    EXPECT_EQ(1000u, s.getRemainingResourceSize(0, 0, "mem", 400));  // other resources ignore the step
    EXPECT_EQ(0u, s.getRemainingResourceSize(0, 0, "absent", 0));
    EXPECT_EQ(0u, s.getRemainingResourceSize(5, 0, "step", 0));
    T_COMPILERESULT_DSPASSIGNMENT a;
    ASSERT_EQ(0u, s.assignComponentDspResource(0, 0, 1, component(300, 0).dspResources[0], a, 0));
    EXPECT_EQ(0u, s.getRemainingResourceSize(0, 0, "step", 0));  // exactly full
}

TEST(DspSystemTest, AssignableCoresFollowBusyShortAndMissingCases)
{
    struct Case {
        const char* what;
        uint64_t fillStep0, fillStep1;  // step fill of the two cores of DSP "A"
        T_COMPONENT component;
        uint64_t currentStep;
        JLIB::JResult code;
        std::vector<DspCore> cores;
        uint64_t nextStep;
    };
    const Case cases[] = {
        {"both free", 0, 0, component(100, 10), 0, 0, {{0, 0}, {0, 1}}, UINT64_MAX},
        {"first busy", 50, 0, component(100, 10), 0, 0, {{0, 1}}, 50},
        {"both busy", 80, 50, component(100, 10), 0, 0x80000001u, {}, 50},
        {"busy until the step", 80, 50, component(100, 10), 80, 0, {{0, 0}, {0, 1}}, UINT64_MAX},
        {"a busy core beats a short one", 250, 60, component(100, 10), 0, 0x80000001u, {}, 60},
        {"a core both busy and short is short", 250, 250, component(100, 10), 0, 0x80000002u, {}, UINT64_MAX},
        {"need equal to the rest", 200, 200, component(100, 10), 200, 0, {{0, 0}, {0, 1}}, UINT64_MAX},
        {"other need short", 0, 0, component(1, 1001), 0, 0x80000000u, {}, UINT64_MAX},
        {"no such DSP", 0, 0, component(1, 1, "C"), 0, 0x80000000u, {}, UINT64_MAX},
        {"other DSP", 0, 0, component(1, 1, "B"), 0, 0, {{1, 0}}, UINT64_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DspSystem s = initialized();
        T_COMPILERESULT_DSPASSIGNMENT a;
        ASSERT_EQ(0u, s.assignComponentDspResource(0, 0, 8, component(c.fillStep0, 0).dspResources[0], a, 0));
        ASSERT_EQ(0u, s.assignComponentDspResource(0, 1, 9, component(c.fillStep1, 0).dspResources[0], a, 0));
        std::vector<DspCore> cores = {{9, 9}};
        uint64_t next = 0;
        EXPECT_EQ(c.code, s.getAssignableDspCoreVector(c.component, cores, c.currentStep, next));
        EXPECT_EQ(c.cores, cores);
        EXPECT_EQ(c.nextStep, next);
    }
}

TEST(DspSystemTest, EveryDspResourceOfTheDspsNameCounts)
{
    DspSystem s = initialized();
    T_COMPONENT c = component(400, 1);             // too large for a step of 300
    c.dspResources.push_back(component(10, 1).dspResources[0]);  // a second entry for "A" that fits
    std::vector<DspCore> cores;
    uint64_t next = 0;
    EXPECT_EQ(0u, s.getAssignableDspCoreVector(c, cores, 0, next));
    EXPECT_EQ((std::vector<DspCore>{{0, 0}, {0, 1}}), cores);
}

TEST(DspSystemTest, EnlargingMakesEveryStepNeedFitAndCopiesKeepFillLevels)
{
    DspSystem s = initialized();
    T_COMPILERESULT_DSPASSIGNMENT a;
    ASSERT_EQ(0u, s.assignComponentDspResource(0, 0, 1, component(300, 0).dspResources[0], a, 0));
    const DspSystem copy = s;
    EXPECT_EQ(300u, copy.getUsedResourceSize(0, 0, "step", 0));
    ASSERT_EQ(0u, s.increaseAllStepResources());
    std::vector<DspCore> cores;
    uint64_t next = 0;
    EXPECT_EQ(0u, s.getAssignableDspCoreVector(component(0xFFFFFFFFu, 0), cores, 300, next));
    EXPECT_EQ(0x7FFFFFFFFFFFFFFFull - 300, s.getRemainingResourceSize(0, 0, "step", 0));
    EXPECT_EQ(0x80000002u, copy.getAssignableDspCoreVector(component(0xFFFFFFFFu, 0), cores, 300, next));
}
