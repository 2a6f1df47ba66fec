#include "dravo/manager/dravo_timeMs.h"

#include <gtest/gtest.h>

TEST(timeMsTest, DifferenceAndOffsetWrapModulo32Bits)
{
    struct Case {
        uint32_t now;
        uint32_t before;
        uint32_t diff;
    };
    const Case cases[] = {
        {1500, 500, 1000},
        {5, 0xFFFFFFFBu, 10},  // the counter wrapped once in between
        {0, 0xFFFFFFFFu, 1},
        {7, 7, 0},
        {500, 1500, 0xFFFFFC18u},  // before lies ahead: a huge elapsed time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.now << " - " << c.before);
        EXPECT_EQ(c.diff, DRAVO::diffTimeMs(c.now, c.before));
    }
    EXPECT_EQ(1100u, DRAVO::offsetTimeMs(1000, 100));
    EXPECT_EQ(900u, DRAVO::offsetTimeMs(1000, -100));
    EXPECT_EQ(4u, DRAVO::offsetTimeMs(0xFFFFFFFBu, 9));
    EXPECT_EQ(0xFFFFFFFBu, DRAVO::offsetTimeMs(4, -9));
}
