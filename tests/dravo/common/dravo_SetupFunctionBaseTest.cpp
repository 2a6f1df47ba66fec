#include "dravo/common/dravo_SetupFunctionBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "dravo/common/DravoFunctionTestSupport.h"

namespace {

using dravotest::FakeDescription;

// The coefficient and the audio processing base share the set-up; both are run through it.
template <class T>
class SetupFunctionBaseTest : public testing::Test {};
using SetupBases = testing::Types<dravotest::FakeCalcCoef, dravotest::FakeAudioProcess>;
struct SetupBaseNames {
    template <class T>
    static std::string GetName(int)
    {
        return std::is_same_v<T, dravotest::FakeCalcCoef> ? "CalcCoef" : "AudioProcess";
    }
};
TYPED_TEST_SUITE(SetupFunctionBaseTest, SetupBases, SetupBaseNames);

struct Setup {
    uint32_t uniqID, numX, numY, dspType, sampleType, numSamplePerFrame, fsHz;
};

template <class F>
Setup storedSetup(F& f)
{
    return {f.getUniqID(), f.getNumX(), f.getNumY(), f.getDSPType(), f.getSampleType(), f.getNumSamplePerFrame(),
            f.getFsHz()};
}

template <class F>
uint32_t initialize(F& f, const Setup& s)
{
    return f.initialize(nullptr, s.uniqID, s.numX, s.numY, s.dspType, s.sampleType, s.numSamplePerFrame, s.fsHz);
}

bool operator==(const Setup& a, const Setup& b)
{
    return a.uniqID == b.uniqID && a.numX == b.numX && a.numY == b.numY && a.dspType == b.dspType &&
           a.sampleType == b.sampleType && a.numSamplePerFrame == b.numSamplePerFrame && a.fsHz == b.fsHz;
}

}  // namespace

TYPED_TEST(SetupFunctionBaseTest, InitializeStoresOnlyASetupItAccepts)
{
    struct Case {
        const char* name;
        Setup setup;
        bool accepted;
    };
    const Case cases[] = {
        {"valid", {12, 2, 1, 0, 0, 32, 96000}, true},
        {"frame of 0 samples", {12, 2, 1, 0, 0, 0, 96000}, true},
        {"frame of 8 samples", {12, 4, 2, 0, 0, 8, 48000}, true},
        {"sizes the description refuses", {12, 5, 1, 0, 0, 32, 96000}, false},
        {"numY of 0", {12, 2, 0, 0, 0, 32, 96000}, false},
        {"DSP type 1", {12, 2, 1, 1, 0, 32, 96000}, false},
        {"sample type 1", {12, 2, 1, 0, 1, 32, 96000}, false},
        {"frame of 36 samples", {12, 2, 1, 0, 0, 36, 96000}, false},
        {"frame of 4 samples", {12, 2, 1, 0, 0, 4, 96000}, false},
        {"rate of 0", {12, 2, 1, 0, 0, 32, 0}, false},
    };
    FakeDescription description;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TypeParam f(&description);
        f.initializeResult = 0x1234;  // the library's answer is the answer
        EXPECT_EQ(c.accepted ? 0x1234u : 0x80000000u, initialize(f, c.setup));
        EXPECT_EQ(c.accepted ? 1 : 0, f.onInitializeCalls);
        const Setup expected = c.accepted ? c.setup : Setup{};
        EXPECT_TRUE(expected == storedSetup(f));
    }
}

TYPED_TEST(SetupFunctionBaseTest, ARefusedInitializeKeepsTheFormerSetup)
{
    FakeDescription description;
    TypeParam f(&description);
    const Setup first{3, 2, 1, 0, 0, 32, 96000};
    ASSERT_EQ(0u, initialize(f, first));
    EXPECT_EQ(0x80000000u, initialize(f, Setup{4, 3, 1, 0, 0, 36, 48000}));
    EXPECT_TRUE(first == storedSetup(f));
}

TYPED_TEST(SetupFunctionBaseTest, ChangeFsHzRefusesZeroAndKeepsTheRate)
{
    FakeDescription description;
    TypeParam f(&description);
    ASSERT_EQ(0u, initialize(f, Setup{3, 2, 1, 0, 0, 32, 96000}));
    EXPECT_EQ(0x80000000u, f.changeFsHz(0));
    EXPECT_EQ(96000u, f.getFsHz());
    EXPECT_EQ(0, f.onChangeFsHzCalls);

    f.changeFsHzResult = 0x55;
    EXPECT_EQ(0x55u, f.changeFsHz(48000));
    EXPECT_EQ(48000u, f.getFsHz());
    EXPECT_EQ(1, f.onChangeFsHzCalls);
    EXPECT_EQ(32u, f.getNumSamplePerFrame());  // only the rate changes
}

TYPED_TEST(SetupFunctionBaseTest, PortAndResourceQueriesUseTheStoredSetup)
{
    FakeDescription description;
    TypeParam f(&description);
    ASSERT_EQ(0u, initialize(f, Setup{3, 2, 1, 0, 0, 32, 96000}));
    EXPECT_EQ(1321u, f.getNumInPort());
    EXPECT_EQ(2321u, f.getNumOutPort());
    EXPECT_EQ(3321u, f.getNumInPortForAudioProcess());
    EXPECT_EQ(4321u, f.getNumOutPortForAudioProcess());
    char name[32] = {};
    EXPECT_EQ(32u, f.getFixedInPortName(5, name, sizeof name));
    EXPECT_STREQ("in 3 2 1 5", name);
    EXPECT_EQ(32u, f.getFixedOutPortName(6, name, sizeof name));
    EXPECT_STREQ("out 3 2 1 6", name);
    EXPECT_EQ(5321u, f.getResourceUsage("OPV-D CPU", 96000, 32, "fixedDelay"));
    EXPECT_EQ("OPV-D CPU 96000 32 fixedDelay", description.lastResourceQuery);
}
