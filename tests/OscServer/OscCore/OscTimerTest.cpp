#include "OscServer/OscCore/OscTimer.h"

#include <gtest/gtest.h>

#include "OscTestSupport.h"

using OscTest::waitFor;

TEST(OscTimerTest, StartsStoppedAndRunsOutAfterItsDuration)
{
    JOSC::OscTimer timer;
    EXPECT_FALSE(timer.isActive());
    EXPECT_FALSE(timer.isExpired());

    ASSERT_EQ(0u, timer.start(30));
    EXPECT_TRUE(timer.isActive());
    ASSERT_TRUE(waitFor([&] { return timer.isExpired(); }, std::chrono::seconds(2)));
    EXPECT_TRUE(timer.isExpired()) << "a timer that ran out stays run out";
    EXPECT_TRUE(timer.isActive()) << "run out still counts as active";

    ASSERT_EQ(0u, timer.start(60000));
    EXPECT_FALSE(timer.isExpired()) << "a restart begins a new period";

    ASSERT_EQ(0u, timer.stop());
    EXPECT_FALSE(timer.isActive());
    EXPECT_FALSE(timer.isExpired());
}

TEST(OscTimerTest, DurationZeroRunsOutAtOnce)
{
    JOSC::OscTimer timer;
    ASSERT_EQ(0u, timer.start(0));
    EXPECT_TRUE(timer.isExpired());
}

TEST(OscTimerTest, CopyCarriesTheStateOfTheRecord)
{
    JOSC::OscTimer expired;
    ASSERT_EQ(0u, expired.start(0));
    ASSERT_TRUE(expired.isExpired());
    JOSC::OscTimer running;
    ASSERT_EQ(0u, running.start(60000));

    JOSC::OscTimer copyOfExpired(expired);
    JOSC::OscTimer copyOfRunning;
    copyOfRunning = running;
    JOSC::OscTimer copyOfStopped(JOSC::OscTimer{});

    EXPECT_TRUE(copyOfExpired.isExpired());
    EXPECT_TRUE(copyOfRunning.isActive());
    EXPECT_FALSE(copyOfRunning.isExpired());
    EXPECT_FALSE(copyOfStopped.isActive());
}
