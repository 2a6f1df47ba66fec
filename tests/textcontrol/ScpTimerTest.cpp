#include "textcontrol/ScpTimer.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"

using ScpTest::waitFor;

TEST(ScpTimerTest, RunsOutAndStaysRunOutUntilRestartedOrStopped)
{
    SCP::ScpTimer timer;
    EXPECT_FALSE(timer.isActive());
    EXPECT_FALSE(timer.isExpired());
    ASSERT_EQ(0u, timer.start(30));
    EXPECT_TRUE(timer.isActive());
    ASSERT_TRUE(waitFor([&] { return timer.isExpired(); }, std::chrono::seconds(2)));
    EXPECT_TRUE(timer.isExpired());
    EXPECT_TRUE(timer.isActive());
    SCP::ScpTimer copy(timer);
    EXPECT_TRUE(copy.isExpired()) << "a copy carries the record";
    ASSERT_EQ(0u, timer.start(60000));
    EXPECT_FALSE(timer.isExpired());
    ASSERT_EQ(0u, timer.stop());
    EXPECT_FALSE(timer.isActive());
}
