#include "OscServer/OscCore/OscMeterSetting.h"

#include <gtest/gtest.h>

#include "OscTestSupport.h"

using OscTest::waitFor;

TEST(OscMeterSettingTest, DefaultHasNoMeterAndNothingRuns)
{
    JOSC::OscMeterSetting setting;
    EXPECT_EQ(0xFFFFFFFFu, setting.getAddressIndex());
    EXPECT_EQ(0u, setting.getMinInterval());
    EXPECT_FALSE(setting.checkInterval());
    EXPECT_FALSE(setting.checkTimeout());
}

TEST(OscMeterSettingTest, StartRefusesNoMeterAndChangesNothing)
{
    JOSC::OscMeterSetting setting(4, 100000);
    EXPECT_EQ(0x80000000u, setting.start(0xFFFFFFFFu, 0));
    EXPECT_EQ(4u, setting.getAddressIndex());
    EXPECT_EQ(100000u, setting.getMinInterval());
    EXPECT_FALSE(setting.checkInterval()) << "the refused start must not restart the interval with 0";
}

TEST(OscMeterSettingTest, IntervalZeroIsDueAtEveryCheck)
{
    JOSC::OscMeterSetting setting(3, 0);
    EXPECT_EQ(3u, setting.getAddressIndex());
    EXPECT_TRUE(setting.checkInterval());
    EXPECT_TRUE(setting.checkInterval());
    EXPECT_FALSE(setting.checkTimeout());
}

TEST(OscMeterSettingTest, DueOnceAfterTheIntervalThenRestarted)
{
    JOSC::OscMeterSetting setting(1, 80);
    EXPECT_FALSE(setting.checkInterval());
    ASSERT_TRUE(waitFor([&] { return setting.checkInterval(); }, std::chrono::seconds(2)));
    EXPECT_FALSE(setting.checkInterval()) << "a due check restarts the interval";
}

TEST(OscMeterSettingTest, RenewalKeepsARunningIntervalButTakesTheNewValue)
{
    JOSC::OscMeterSetting setting(1, 80);
    ASSERT_EQ(0u, setting.start(1, 0));
    EXPECT_EQ(0u, setting.getMinInterval());
    EXPECT_FALSE(setting.checkInterval()) << "the 80 ms interval keeps running";
    ASSERT_TRUE(waitFor([&] { return setting.checkInterval(); }, std::chrono::seconds(2)));
    EXPECT_TRUE(setting.checkInterval()) << "from then on the new interval 0 applies";
}

TEST(OscMeterSettingTest, StopClearsAndCopiesCarryTimerStates)
{
    JOSC::OscMeterSetting due(2, 0);
    JOSC::OscMeterSetting waiting(2, 100000);
    JOSC::OscMeterSetting dueCopy(due);
    JOSC::OscMeterSetting waitingCopy;
    waitingCopy = waiting;
    EXPECT_TRUE(dueCopy.checkInterval());
    EXPECT_FALSE(waitingCopy.checkInterval());
    EXPECT_EQ(2u, waitingCopy.getAddressIndex());

    due.stop();
    EXPECT_EQ(0xFFFFFFFFu, due.getAddressIndex());
    EXPECT_EQ(0u, due.getMinInterval());
    EXPECT_FALSE(due.checkInterval());
    EXPECT_FALSE(due.checkTimeout());
}
