#include "textcontrol/ScpMeterSetting.h"

#include <gtest/gtest.h>

#include "ScpTestSupport.h"

using ScpTest::waitFor;

TEST(ScpMeterSettingTest, StartsAtOnceAndRefusesNoAddress)
{
    SCP::ScpMeterSetting none;
    EXPECT_EQ(0xFFFFFFFFu, none.getAddressIndex());
    EXPECT_FALSE(none.checkInterval());
    EXPECT_FALSE(none.checkTimeout());

    SCP::ScpMeterSetting setting(4, 100000);
    EXPECT_EQ(4u, setting.getAddressIndex());
    EXPECT_EQ(0x80000000u, setting.start(0xFFFFFFFFu, 0));
    EXPECT_EQ(4u, setting.getAddressIndex());
    EXPECT_FALSE(setting.checkInterval());
    EXPECT_EQ(0u, setting.stop());
    EXPECT_EQ(0xFFFFFFFFu, setting.getAddressIndex());
    EXPECT_EQ(0u, setting.getMinInterval());
}

TEST(ScpMeterSettingTest, RenewalKeepsTheRhythmAndDueRestartsTheInterval)
{
    SCP::ScpMeterSetting setting(1, 80);
    EXPECT_FALSE(setting.checkInterval());
    ASSERT_EQ(0u, setting.start(1, 0));
    EXPECT_EQ(0u, setting.getMinInterval());
    EXPECT_FALSE(setting.checkInterval()) << "the running 80 ms interval is not restarted";
    ASSERT_TRUE(waitFor([&] { return setting.checkInterval(); }, std::chrono::seconds(2)));
    EXPECT_TRUE(setting.checkInterval()) << "from then on the new interval 0 applies";

    SCP::ScpMeterSetting slow(2, 60000);
    ASSERT_EQ(0u, slow.start(2, 0));
    EXPECT_FALSE(slow.checkInterval()) << "a renewal never makes a subscription due early";
}
