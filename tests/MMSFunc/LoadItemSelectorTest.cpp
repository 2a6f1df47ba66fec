#include "MMSFunc/mmsf_LoadItemSelector.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TMS/AbstractMessage.h"

using MMSFUNC::LoadItemSelector;

namespace {

std::vector<bool> flags(const LoadItemSelector& s, uint32_t n)
{
    std::vector<bool> out;
    for (uint32_t i = 0; i < n; ++i) out.push_back(s.isSelected(i));
    return out;
}

LoadItemSelector makeSelection(std::vector<bool> on, bool overwrite)
{
    LoadItemSelector s(static_cast<uint32_t>(on.size()));
    for (uint32_t i = 0; i < on.size(); ++i) EXPECT_EQ(0u, s.setSelector(i, on[i]));
    EXPECT_EQ(0u, s.setOverwriteProtectedItems(overwrite));
    return s;
}

TMS::AbstractMessage userMessage()
{
    TMS::AbstractMessage m;
    EXPECT_EQ(0u, m.initialize(TMS::kMessageUser, 1));
    return m;
}

}  // namespace

TEST(LoadItemSelectorTest, SelectionWithoutFlagsSelectsNothing)
{
    LoadItemSelector s;
    EXPECT_FALSE(s.isValid());
    EXPECT_TRUE(s.overwritesProtectedItems());
    EXPECT_EQ(0u, s.setSelector(0, true));
    EXPECT_FALSE(s.isSelected(0));
    TMS::AbstractMessage m = userMessage();
    EXPECT_EQ(0x80000000u, s.toMessage(m));
    EXPECT_FALSE(m.data("overrides").isValid());
}

TEST(LoadItemSelectorTest, AllocatesOnceAndBoundsIndexes)
{
    LoadItemSelector s;
    EXPECT_EQ(0x80000000u, s.allocateSelectors(0));
    EXPECT_EQ(0u, s.allocateSelectors(3));
    EXPECT_EQ(0x80000000u, s.allocateSelectors(5));
    EXPECT_EQ(3u, s.count());
    EXPECT_EQ(0x80000000u, s.setSelector(3, true));
    EXPECT_EQ(0u, s.setSelector(1, true));
    EXPECT_EQ((std::vector<bool>{false, true, false, false}), flags(s, 4));
    EXPECT_EQ(0u, s.setSelector(1, false));
    EXPECT_FALSE(s.isSelected(1));
}

TEST(LoadItemSelectorTest, CopiesOnlyBetweenEqualCounts)
{
    const LoadItemSelector source = makeSelection({true, false, true}, false);

    const LoadItemSelector copied(source);
    EXPECT_EQ((std::vector<bool>{true, false, true}), flags(copied, 3));
    EXPECT_FALSE(copied.overwritesProtectedItems());
    const LoadItemSelector copiedEmpty{LoadItemSelector()};
    EXPECT_FALSE(copiedEmpty.isValid());
    EXPECT_TRUE(copiedEmpty.overwritesProtectedItems());

    LoadItemSelector fresh;
    fresh = source;
    EXPECT_EQ((std::vector<bool>{true, false, true}), flags(fresh, 3));
    EXPECT_FALSE(fresh.overwritesProtectedItems());

    LoadItemSelector other = makeSelection({false, true}, true);
    other = source;
    EXPECT_EQ((std::vector<bool>{false, true}), flags(other, 2));
    EXPECT_TRUE(other.overwritesProtectedItems());
}

TEST(LoadItemSelectorTest, TravelsThroughAMessage)
{
    const LoadItemSelector source = makeSelection({true, false, true, true}, false);
    TMS::AbstractMessage m = userMessage();
    ASSERT_EQ(0u, source.toMessage(m));
    EXPECT_EQ(0, m.data("overrides").toInt32());
    EXPECT_EQ(4u, m.data("selectors").getBinaryLength());

    const LoadItemSelector received(m);
    EXPECT_EQ((std::vector<bool>{true, false, true, true}), flags(received, 4));
    EXPECT_FALSE(received.overwritesProtectedItems());
}

TEST(LoadItemSelectorTest, FromMessageRefusesWhatDoesNotFit)
{
    const uint8_t three[3] = {1, 0, 1};
    const uint8_t two[2] = {0, 1};
    struct Case {
        const char* what;
        bool withOverrides;
        bool overridesAsText;
        uint32_t overrides;
        const uint8_t* bytes;
        uint32_t length;
        uint32_t result;
        bool overwriteAfter;
    };
    const Case cases[] = {
        {"fits", true, false, 1, three, 3, 0u, true},
        {"only the low 8 bits count", true, false, 256, three, 3, 0u, false},
        {"no overrides", false, false, 0, three, 3, 0x80000000u, false},
        {"overrides not a number", true, true, 0, three, 3, 0x80000000u, false},
        {"no selectors", true, false, 1, nullptr, 0, 0x80000000u, false},
        {"count differs", true, false, 1, two, 2, 0x80000000u, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMS::AbstractMessage m = userMessage();
        if (c.withOverrides && c.overridesAsText) ASSERT_EQ(0u, m.addData("overrides", "1"));
        if (c.withOverrides && !c.overridesAsText) ASSERT_EQ(0u, m.addData("overrides", c.overrides));
        if (c.bytes) ASSERT_EQ(0u, m.addData("selectors", c.bytes, c.length));

        LoadItemSelector s = makeSelection({false, true, false}, false);
        EXPECT_EQ(c.result, s.fromMessage(m));
        EXPECT_EQ(c.overwriteAfter, s.overwritesProtectedItems());
        const std::vector<bool> expected =
            c.result == 0 ? std::vector<bool>{true, false, true} : std::vector<bool>{false, true, false};
        EXPECT_EQ(expected, flags(s, 3));
    }

    // A selection without flags takes the message's count.
    TMS::AbstractMessage m = userMessage();
    ASSERT_EQ(0u, m.addData("overrides", int32_t{0}));
    ASSERT_EQ(0u, m.addData("selectors", two, 2));
    LoadItemSelector empty;
    EXPECT_EQ(0u, empty.fromMessage(m));
    EXPECT_EQ(2u, empty.count());
    EXPECT_EQ((std::vector<bool>{false, true}), flags(empty, 2));
}
