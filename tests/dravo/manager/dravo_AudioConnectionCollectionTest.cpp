#include "dravo/manager/dravo_AudioConnectionCollection.h"

#include <gtest/gtest.h>

namespace {

using DRAVO::AudioConnection;
using List = std::vector<AudioConnection>;

List connections(const DRAVO::AudioConnectionCollection& set)
{
    List out = {{9, 9, 9, 9}};  // shows whether the call wrote it
    EXPECT_EQ(0u, set.getConnections(out));
    return out;
}

}  // namespace

TEST(AudioConnectionCollectionTest, KeepsInsertionOrderAndEachConnectionOnce)
{
    DRAVO::AudioConnectionCollection set;
    EXPECT_EQ(0u, set.initialize());
    EXPECT_EQ(0u, set.addConnection(3, 0, 4, 0));
    EXPECT_EQ(0u, set.addConnection(1, 0, 2, 0));
    EXPECT_EQ(0u, set.addConnection(1, 0, 2, 0));
    EXPECT_EQ(0u, set.addConnection(1, 0, 2, 1));  // another port is another connection
    EXPECT_EQ((List{{3, 0, 4, 0}, {1, 0, 2, 0}, {1, 0, 2, 1}}), connections(set));

    EXPECT_EQ(0u, set.removeConnection(7, 0, 8, 0));  // absent: nothing happens
    EXPECT_EQ(0u, set.removeConnection(1, 0, 2, 0));
    EXPECT_EQ((List{{3, 0, 4, 0}, {1, 0, 2, 1}}), connections(set));

    DRAVO::AudioConnectionCollection copy;
    copy = set;
    EXPECT_EQ(0u, set.clearConnections());
    EXPECT_EQ(List{}, connections(set));
    EXPECT_EQ((List{{3, 0, 4, 0}, {1, 0, 2, 1}}), connections(copy));
    EXPECT_EQ(0u, copy.finalize());
    EXPECT_EQ(List{}, connections(copy));
}

TEST(AudioConnectionCollectionTest, RemovesEveryConnectionRelatedToAComponent)
{
    struct Case { List before; uint32_t uniqID; List after; };
    const Case cases[] = {
        {{{1, 0, 2, 0}, {2, 0, 3, 1}, {3, 0, 4, 0}}, 2, {{3, 0, 4, 0}}},
        {{{2, 0, 2, 0}, {5, 1, 6, 0}, {2, 1, 7, 0}, {8, 0, 2, 3}}, 2, {{5, 1, 6, 0}}},
        {{{1, 0, 2, 0}, {3, 0, 4, 0}}, 9, {{1, 0, 2, 0}, {3, 0, 4, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uniqID);
        DRAVO::AudioConnectionCollection set;
        EXPECT_EQ(0u, set.setConnections(c.before));
        EXPECT_EQ(0u, set.removeConnectionsRelatedTo(c.uniqID));
        EXPECT_EQ(c.after, connections(set));
    }
}
