// Writes and reads of a root: marks per subscriber, set factors, checkers, linked channels, ranges.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "MMS/Common/mms_ExternalSetArg.h"
#include "MMS/Common/mms_Root.h"
#include "RootTestDoubles.h"
#include "RootValueFixture.h"

namespace {

using MmsTest::IntArray;
using MmsTest::ValueRoot;
using MmsTest::Vec;
constexpr const uint32_t* kCh = ValueRoot::kCh;

class RootValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.ready();
        // Task 1 wants every change, task 2 not those of mode 1, the writer 99 is subscribed too.
        ASSERT_EQ(0u, r.root->subscribe(0, 1, 1, 0, 0));
        ASSERT_EQ(0u, r.root->subscribe(1, 2, 1, 0, 0));
        ASSERT_EQ(0u, r.root->subscribe(0, 99, 1, 0, 0));
    }
    ValueRoot r;
};

TEST_F(RootValuesTest, WriteMarksSubscribersByModeAndStoresTheFactor)
{
    EXPECT_EQ(0x100u, r.set(5, kCh, 1, 2, 7, 99, 1));
    uint8_t factor = 0;
    EXPECT_EQ(5, r.get(kCh, 1, 2, &factor));
    EXPECT_EQ(7, factor);
    EXPECT_EQ(1, r.changed(1, kCh, 1, 2));
    const uint32_t ch1[1] = {1};
    uint8_t out = 0;
    const uint32_t chNode[1] = {0};
    EXPECT_EQ(0u, r.root->isChangedFast(&out, chNode, ch1, 1, 0, 1));
    EXPECT_EQ(1, out);                       // the collection instance too
    EXPECT_EQ(0, r.changed(2, kCh, 1, 2));   // its mode shares a bit with the write's
    EXPECT_EQ(0, r.changed(99, kCh, 1, 2));  // the writer itself
    EXPECT_EQ(0, r.changed(1, kCh, 1, 1));   // a neighbour

    // The same value again changes and marks nothing.
    EXPECT_EQ(1, r.changed(1, kCh, 1, 2, 1));
    EXPECT_EQ(0u, r.set(5, kCh, 1, 2, 8, 99));
    EXPECT_EQ(0, r.changed(1, kCh, 1, 2));
    EXPECT_EQ(5, r.get(kCh, 1, 2, &factor));
    EXPECT_EQ(7, factor);

    // markOwnTask marks the writer as well.
    EXPECT_EQ(0x100u, r.set(6, kCh, 1, 2, 7, 99, 0, 1));
    EXPECT_EQ(1, r.changed(99, kCh, 1, 2));
}

TEST_F(RootValuesTest, CheckerKeepsElementAndFactor)
{
    ASSERT_EQ(0x100u, r.set(10, kCh, 0, 0, 7));
    const MmsTest::FactorChecker checker(7, 8);
    const uint32_t blocked = r.set(500, kCh, 0, 0, 8, 99, 0, 0, &checker);
    EXPECT_EQ(0u, blocked & 0x80000100u);
    uint8_t factor = 0;
    EXPECT_EQ(10, r.get(kCh, 0, 0, &factor));
    EXPECT_EQ(7, factor);
    EXPECT_GT(checker.questions, 0);
    // Another writer passes and is clamped.
    EXPECT_EQ(0x300u, r.set(500, kCh, 0, 0, 9, 99, 0, 0, &checker));
    EXPECT_EQ(100, r.get(kCh, 0, 0, &factor));
    EXPECT_EQ(9, factor);
}

TEST_F(RootValuesTest, ArgumentAndStateChecks)
{
    const uint32_t idx[2] = {0, 0};
    EXPECT_EQ(0x80000006u, r.root->setPrmFast(JVariant(1), nullptr, idx, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    EXPECT_EQ(0x80000006u, r.root->setPrmFast(JVariant(1), kCh, nullptr, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    EXPECT_EQ(0x80000006u, r.root->setPrmFast(JVariant(1), kCh, idx, 0, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    JVariant out;
    EXPECT_EQ(0x80000006u, r.root->getPrmFast(&out, nullptr, kCh, idx, 0, 0, 1));
    const uint32_t outside[2] = {4, 0};
    EXPECT_TRUE(r.root->setPrmFast(JVariant(1), kCh, outside, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr) & 0x80000000u);
    // Text form with a wrong root name, and a root that is only laid out.
    EXPECT_EQ(0x80000006u, r.root->setPrm(JVariant(1), "/Other/Ch/Gain", 14, idx, 2, 0, 0, 0, 0, 1, nullptr, 0,
                                          nullptr));
    EXPECT_EQ(0x100u, r.root->setPrm(JVariant(3), "/Mix/Ch/Gain", 12, idx, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    EXPECT_EQ(3, r.get(kCh, 0, 0));
    ValueRoot laidOut;
    EXPECT_EQ(0x80000004u, laidOut.root->setPrmFast(JVariant(1), kCh, idx, 2, 0, 0, 0, 0, 1, nullptr, 0, nullptr));
    EXPECT_EQ(0x80000004u, laidOut.root->getPrmFast(&out, nullptr, kCh, idx, 2, 0, 1));
    EXPECT_EQ(0x80000004u, laidOut.root->setChannelLinker(nullptr));
}

TEST_F(RootValuesTest, LinkedWriteReachesEveryLinkWithModeOne)
{
    MmsTest::RecordingLinker linker;
    linker.add({0, 0}, {1, 0}, {}, true, 10, 1);  // first link converts, and converts the source by +1
    linker.add({1, 0}, {1, 1});                   // Bus/Level[1][1], unconverted
    ASSERT_EQ(0u, r.root->setChannelLinker(&linker));
    const MmsTest::RecordingModifier modifier;
    const MMS::ExternalSetArg external(const_cast<MmsTest::RecordingModifier*>(&modifier));

    EXPECT_EQ(0x100u, r.set(5, kCh, 0, 0, 3, 99, 0, 0, nullptr, &external));
    uint8_t factor = 0;
    EXPECT_EQ(6, r.get(kCh, 0, 0, &factor));  // the source got the converted value
    EXPECT_EQ(3, factor);
    EXPECT_EQ(16, r.get(kCh, 1, 0, &factor));  // converted from the converted source value
    EXPECT_EQ(0x43, factor);
    EXPECT_EQ(6, r.get(ValueRoot::kBus, 1, 1, &factor));
    EXPECT_EQ(0x43, factor);
    EXPECT_EQ((std::vector<uint32_t>{1, 1}), modifier.modes);
    EXPECT_EQ(1, linker.links[0]->sourceConverts);
    // Links are written with subscribe mode 1: task 2 sees only the source.
    EXPECT_EQ(1, r.changed(2, kCh, 0, 0));
    EXPECT_EQ(0, r.changed(2, kCh, 1, 0));
    EXPECT_EQ(0, r.changed(2, ValueRoot::kBus, 1, 1));
    EXPECT_EQ(1, r.changed(1, ValueRoot::kBus, 1, 1));
    // getNextLink is asked from the address as it stands: the previous link's.
    EXPECT_EQ((std::vector<Vec>{{1, 0}, {1, 1}}), linker.nextAsked);
    ASSERT_EQ(0u, r.root->setChannelLinker(nullptr));
}

TEST_F(RootValuesTest, FailingLinkEndsTheWriteAndKeepsEarlierWrites)
{
    MmsTest::RecordingLinker linker;
    linker.add({0, 0}, {1, 0});
    linker.add({0, 0}, {9, 0});  // no such element
    linker.add({0, 0}, {2, 0});
    ASSERT_EQ(0u, r.root->setChannelLinker(&linker));
    EXPECT_TRUE(r.set(4, kCh, 0, 0) & 0x80000000u);
    EXPECT_EQ(4, r.get(kCh, 0, 0));
    EXPECT_EQ(4, r.get(kCh, 1, 0));
    EXPECT_EQ(0, r.get(kCh, 2, 0));
    ASSERT_EQ(0u, r.root->setChannelLinker(nullptr));
}

TEST_F(RootValuesTest, RangeWritesLastIndexFastestThroughBothPaths)
{
    struct Case {
        const char* name;
        bool linker;
        bool linkable;
    };
    for (const Case c : {Case{"plain", false, true}, Case{"element by element", true, false}}) {
        SCOPED_TRACE(c.name);
        ValueRoot fresh;
        fresh.ready();
        MmsTest::RecordingLinker linker;
        linker.rangeLinkable = c.linkable;
        if (c.linker) ASSERT_EQ(0u, fresh.root->setChannelLinker(&linker));
        IntArray values({1, 2, 3, 4});
        const uint32_t first[2] = {0, 1};
        const uint32_t last[2] = {1, 2};
        EXPECT_EQ(0x100u, fresh.root->setPrmArrayFast(*values.array, kCh, first, last, 2, nullptr, 0, 0, 0, 0, 0, 1,
                                                      nullptr, 0, 0, nullptr));
        EXPECT_EQ(1, fresh.get(kCh, 0, 1));
        EXPECT_EQ(2, fresh.get(kCh, 0, 2));
        EXPECT_EQ(3, fresh.get(kCh, 1, 1));
        EXPECT_EQ(4, fresh.get(kCh, 1, 2));
        EXPECT_EQ(0, fresh.get(kCh, 0, 0));
        if (c.linker) {
            EXPECT_EQ((std::vector<Vec>{{0, 1}, {0, 2}, {1, 1}, {1, 2}}), linker.firstAsked);
            EXPECT_EQ((std::vector<bool>{false, false, false, false}), linker.firstWithLast);
        }
    }
}

TEST_F(RootValuesTest, RangeCountIsCheckedBeforeAnythingIsWritten)
{
    MmsTest::RecordingLinker linker;
    ASSERT_EQ(0u, r.root->setChannelLinker(&linker));
    const uint32_t first[2] = {0, 0};
    const uint32_t last[2] = {1, 1};
    IntArray empty({});
    IntArray three({1, 2, 3});
    IntArray four({1, 2, 3, 4});
    // oneValue with an empty array, a length that is not the count, a level whose last is below
    // its first, and a count beyond 32 bits.
    EXPECT_EQ(0x80000002u, r.root->setPrmArrayFast(*empty.array, kCh, first, last, 2, nullptr, 1, 0, 0, 0, 0, 1,
                                                   nullptr, 0, 0, nullptr));
    EXPECT_EQ(0x80000002u, r.root->setPrmArrayFast(*three.array, kCh, first, last, 2, nullptr, 0, 0, 0, 0, 0, 1,
                                                   nullptr, 0, 0, nullptr));
    const uint32_t backwards[2] = {2, 0};
    EXPECT_EQ(0x80000006u, r.root->setPrmArrayFast(*four.array, kCh, backwards, last, 2, nullptr, 0, 0, 0, 0, 0, 1,
                                                   nullptr, 0, 0, nullptr));
    EXPECT_EQ(0, linker.rangeQuestions);
    EXPECT_TRUE(linker.firstAsked.empty());
    EXPECT_EQ(0, r.get(kCh, 0, 0));
    EXPECT_EQ(0, r.changed(1, kCh, 0, 0));
    ASSERT_EQ(0u, r.root->setChannelLinker(nullptr));

    uint32_t count = 0;
    const uint32_t wideFirst[5] = {0, 0, 0, 0, 0};
    const uint32_t wideLast[5] = {65534, 65534, 65534, 0, 0};
    EXPECT_EQ(0x80000002u, r.root->getChannelArrayNum(&count, wideFirst, wideLast, 3));
    const uint32_t fits[5] = {65534, 65534, 0, 0, 0};
    EXPECT_EQ(0u, r.root->getChannelArrayNum(&count, wideFirst, fits, 5));
    EXPECT_EQ(65535u * 65535u, count);
    EXPECT_EQ(0x80000006u, r.root->getChannelArrayNum(&count, wideFirst, fits, 0));
    EXPECT_EQ(0x80000001u, r.root->getChannelArrayNum(nullptr, wideFirst, fits, 1));
}

TEST_F(RootValuesTest, LinkFactorsAreMadeOncePerOperation)
{
    struct Case {
        uint8_t oneFactor;
        std::vector<uint32_t> modes;
        uint8_t linkFactor0;
        uint8_t linkFactor1;
    };
    for (const Case& c : {Case{1, {1}, 0x45, 0x45}, Case{0, {1, 1}, 0x45, 0x46}}) {
        SCOPED_TRACE(c.oneFactor);
        ValueRoot fresh;
        fresh.ready();
        MmsTest::RecordingLinker linker;
        linker.add({0, 0}, {2, 0}, {2, 1});
        linker.add({0, 0}, {3, 0}, {3, 1});
        ASSERT_EQ(0u, fresh.root->setChannelLinker(&linker));
        const MmsTest::RecordingModifier modifier;
        const MMS::ExternalSetArg external(const_cast<MmsTest::RecordingModifier*>(&modifier));
        IntArray values({11, 12});
        const unsigned char factors[2] = {5, 6};
        const uint32_t first[2] = {0, 0};
        const uint32_t last[2] = {0, 1};
        EXPECT_EQ(0x100u, fresh.root->setPrmArrayFast(*values.array, kCh, first, last, 2, factors, 0, c.oneFactor,
                                                      0, 0, 0, 1, nullptr, 0, 0, &external));
        EXPECT_EQ(c.modes, modifier.modes);
        uint8_t factor = 0;
        EXPECT_EQ(11, fresh.get(kCh, 0, 0, &factor));
        EXPECT_EQ(5, factor);
        for (uint32_t ch : {2u, 3u}) {
            EXPECT_EQ(11, fresh.get(kCh, ch, 0, &factor));
            EXPECT_EQ(c.linkFactor0, factor);
            EXPECT_EQ(12, fresh.get(kCh, ch, 1, &factor));
            EXPECT_EQ(c.linkFactor1, factor);
        }
        EXPECT_EQ((std::vector<bool>{true}), linker.firstWithLast);
        // Options bit 0: links are not followed.
        IntArray again({21, 22});
        EXPECT_EQ(0x100u, fresh.root->setPrmArrayFast(*again.array, kCh, first, last, 2, factors, 0, c.oneFactor, 0,
                                                      0, 0, 1, nullptr, 1, 0, &external));
        EXPECT_EQ(11, fresh.get(kCh, 2, 0));
    }
}

TEST_F(RootValuesTest, RangeReadChecksKindSizeAndCount)
{
    IntArray values({7, -8});
    const uint32_t first[2] = {2, 1};
    const uint32_t last[2] = {2, 2};
    ASSERT_EQ(0x100u, r.root->setPrmArrayFast(*values.array, kCh, first, last, 2, nullptr, 0, 0, 0, 0, 0, 1, nullptr,
                                              0, 0, nullptr));
    int16_t memory[2] = {};
    JVariantArray int16s(memory, JVariant::kTypeInt32, 2, 2);
    unsigned char factors[2] = {};
    unsigned char dirty[1] = {};
    EXPECT_EQ(0x80000002u, r.root->getPrmArrayFast(nullptr, nullptr, 0, nullptr, kCh, first, last, 2, 0, 1));
    EXPECT_FALSE(r.root->getPrmArrayFast(&int16s, factors, 2, dirty, kCh, first, last, 2, 1, 1) & 0x80000000u);
    EXPECT_EQ(7, int16s.toInt32(0));
    EXPECT_EQ(-8, int16s.toInt32(1));
    EXPECT_EQ(0, r.changed(1, kCh, 2, 1));  // read with clear

    int8_t small[2] = {};
    uint16_t unsigned16[2] = {};
    JVariantArray int8s(small, JVariant::kTypeInt32, 1, 2);
    JVariantArray uint16s(unsigned16, JVariant::kTypeUInt32, 2, 2);
    JVariantArray one(memory, JVariant::kTypeInt32, 2, 1);
    EXPECT_EQ(0x80000002u, r.root->getPrmArrayFast(&int8s, nullptr, 0, nullptr, kCh, first, last, 2, 0, 1));
    EXPECT_EQ(0x80000002u, r.root->getPrmArrayFast(&uint16s, nullptr, 0, nullptr, kCh, first, last, 2, 0, 1));
    EXPECT_EQ(0x80000002u, r.root->getPrmArrayFast(&one, nullptr, 0, nullptr, kCh, first, last, 2, 0, 1));
    EXPECT_EQ(0x80000002u, r.root->getPrmArrayFast(&int16s, factors, 3, nullptr, kCh, first, last, 2, 0, 1));
}

TEST_F(RootValuesTest, ResetAndCheck)
{
    ASSERT_EQ(0x100u, r.set(9, kCh, 1, 0));
    ASSERT_EQ(0x100u, r.set(9, ValueRoot::kBus, 0, 1));
    const uint32_t chNode[1] = {0};
    const uint32_t one[1] = {1};
    EXPECT_EQ(0x8000000au, r.root->resetPrmFast(chNode, one, 1, 0, 2, 0, 99));
    EXPECT_EQ(9, r.get(kCh, 1, 0));
    EXPECT_EQ(0x8000000au, r.root->resetPrmFast(kCh, one, 2, 1, 2, 0, 99));  // ends at a parameter
    EXPECT_EQ(0x100u, r.root->resetPrmFast(chNode, one, 1, 1, 2, 0, 99));
    EXPECT_EQ(0, r.get(kCh, 1, 0));
    EXPECT_EQ(9, r.get(ValueRoot::kBus, 0, 1));
    EXPECT_EQ(0x100u, r.root->resetPrmFast(nullptr, nullptr, 0, 1, 2, 0, 99));  // the whole root
    EXPECT_EQ(0, r.get(ValueRoot::kBus, 0, 1));

    JVariant value(250);
    EXPECT_FALSE(r.root->checkPrmFast(&value, kCh, 2, 0) & 0x80000000u);
    EXPECT_EQ(100, value.toInt32());
    EXPECT_EQ(0x80000006u, r.root->checkPrmFast(&value, kCh, 0, 0));
}

}  // namespace
