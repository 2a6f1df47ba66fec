#include "common/Lpc/LpcPDBLinkBinaural.h"

#include <gtest/gtest.h>

#include <array>

#include "main/app/common/Lpc/LpcLinkTableFixture.h"

namespace {

using LpcTest::kBinauralControl;
using LpcTest::kBinauralSource;
using LpcTest::kCurrent;
using LpcTest::kPhysical;
using LpcTest::kSetup;
using LpcTest::kSpeakerPosition;
using LpcTest::kVolatile;
using Position = std::array<int32_t, 3>;

class PDBLinkBinauralTest : public LpcTest::LinkTableFixture {
protected:
    static void putSpeaker(uint32_t speaker, int32_t x, int32_t y, int32_t z)
    {
        put(kSetup, kSpeakerPosition, speaker, 0, JVariant(x), 0);
        put(kSetup, kSpeakerPosition, speaker, 0, JVariant(y), 1);
        put(kSetup, kSpeakerPosition, speaker, 0, JVariant(z), 2);
    }
    static Position control(uint32_t index) { return ints(kVolatile, kBinauralControl, index); }
};

TEST_F(PDBLinkBinauralTest, ObjectPositionReachesTheUpperHalfWhileTheSourceIsObjects)
{
    ASSERT_EQ(0u, write(kCurrent, kPhysical, 3, 0, {JVariant(10), JVariant(20), JVariant(30), JVariant(0u)}));
    EXPECT_EQ((Position{10, 20, 30}), control(67));
    EXPECT_EQ((Position{0, 0, 0}), control(3));
    EXPECT_EQ(255u, factorOf(kVolatile, kBinauralControl, 67));
}

TEST_F(PDBLinkBinauralTest, SpeakerPositionIsStoredAndReachesBothHalvesWhileTheSourceIsSpeakers)
{
    ASSERT_EQ(0u, write(kSetup, kBinauralSource, 0, 0, {JVariant(1)}));
    ASSERT_EQ(0u, write(kSetup, kSpeakerPosition, 3, 0, {JVariant(-40), JVariant(50), JVariant(60)}, 9));
    EXPECT_EQ((Position{-40, 50, 60}), ints(kSetup, kSpeakerPosition, 3));
    EXPECT_EQ(9u, factorOf(kSetup, kSpeakerPosition, 3));
    EXPECT_EQ((Position{-40, 50, 60}), control(3));
    EXPECT_EQ((Position{-40, 50, 60}), control(67));
    // While the source is speakers an object write is stored and mirrored nowhere.
    ASSERT_EQ(0u, write(kCurrent, kPhysical, 3, 0, {JVariant(1), JVariant(2), JVariant(3), JVariant(0u)}));
    EXPECT_EQ((Position{1, 2, 3}), ints(kCurrent, kPhysical, 3));
    EXPECT_EQ((Position{-40, 50, 60}), control(67));
}

TEST_F(PDBLinkBinauralTest, SpeakerPositionWhileTheSourceIsObjectsIsStoredPlainly)
{
    ASSERT_EQ(0u, write(kSetup, kSpeakerPosition, 3, 0, {JVariant(-40), JVariant(50), JVariant(60)}));
    EXPECT_EQ((Position{-40, 50, 60}), ints(kSetup, kSpeakerPosition, 3));
    EXPECT_EQ((Position{0, 0, 0}), control(3));
    EXPECT_EQ((Position{0, 0, 0}), control(67));
}

TEST_F(PDBLinkBinauralTest, SourceSwitchRewritesTheHalvesItFollows)
{
    const uint32_t speakers = db().paramInfo(kSetup, ai(kSetup, kSpeakerPosition)).numX;
    putSpeaker(0, 1, 2, 3);
    putSpeaker(speakers - 1, 4, 5, 6);
    putPhysical(0, 7, 8, 9);
    ASSERT_EQ(0u, write(kSetup, kBinauralSource, 0, 0, {JVariant(1)}));
    EXPECT_EQ((Position{1, 2, 3}), control(0));
    EXPECT_EQ((Position{1, 2, 3}), control(64));
    EXPECT_EQ((Position{4, 5, 6}), control(speakers - 1));
    EXPECT_EQ((Position{4, 5, 6}), control(64 + speakers - 1));
    ASSERT_EQ(0u, write(kSetup, kBinauralSource, 0, 0, {JVariant(0)}));
    EXPECT_EQ((Position{7, 8, 9}), control(64));
    EXPECT_EQ((Position{1, 2, 3}), control(0));  // the lower half stays as the speakers left it
}

TEST_F(PDBLinkBinauralTest, SourceBeyondItsRangeIsHeldToTheRangeAndCopiesGoOn)
{
    putSpeaker(2, 11, 12, 13);
    ASSERT_EQ(0u, write(kSetup, kBinauralSource, 0, 0, {JVariant(2)}));
    EXPECT_EQ(1, get(kSetup, kBinauralSource, 0));
    EXPECT_EQ((Position{11, 12, 13}), control(66));
    EXPECT_FALSE(JLIB::isFailure(LPC::copyParamsToBinauralControl(links())));
    EXPECT_EQ(0x80000000u,
              LPC::copyParamsToBinauralControlInternal(LPC::LinkMap{}, LPC::CATEGORY_LINKPRM_OBA_SPEAKER_POSITION,
                                                       LPC::CATEGORY_LINKPRM_BINAURAL_CONTROL_POSITION, 0));
}

TEST_F(PDBLinkBinauralTest, ShortPositionsAreRefused)
{
    EXPECT_EQ(0x80000000u, write(kSetup, kSpeakerPosition, 3, 0, {JVariant(1), JVariant(2)}));
    EXPECT_EQ(0x80000000u, write(kSetup, kBinauralSource, 0, 0, {}));
}

}  // namespace
