#include "jlib/jlib_cfg.h"

#include <gtest/gtest.h>

TEST(jlib_cfgTest, DeviceLogPrintsExactlyWhatItIsGiven)
{
    testing::internal::CaptureStdout();
    JLIB_LOG("[i] Test::run - %d%s", 42, "x");
    (void)jlib_cfg_devicelog_head("a/b.cpp", 1);
    (void)jlib_cfg_devicelog_msg("plain\n");
    (void)jlib_cfg_harderror_head("x.cpp", 2);
    (void)jlib_cfg_harderror_msg("never %d\n", 1);
    EXPECT_EQ("[i] Test::run - 42xplain\n", testing::internal::GetCapturedStdout());
}

TEST(jlib_cfgTest, HeadRecordsBaseName)
{
    struct Case { const char* path; const char* base; };
    const Case cases[] = {{"/src/lib/jlib/x.cpp", "x.cpp"}, {"y.cpp", "y.cpp"}, {"dir/", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(0, jlib_cfg_devicelog_head(c.path, 77));
        (void)jlib_cfg_devicelog_msg("%s", "");
        EXPECT_STREQ(c.base, jlib_cfg_lastFileName());
        EXPECT_EQ(77, jlib_cfg_lastLineNum());
    }
}

TEST(jlib_cfgTest, DbgbrkEndsTheProcess)
{
    // The standard assertion report names the stop itself, not the caller's place.
    EXPECT_DEATH(jlib_cfg_dbgbrk("any.cpp", 5), "jlib_cfg.*jlib_cfg_dbgbrk.*Assertion .0. failed");
    EXPECT_DEATH(JLIB_ASSERT(1 + 1 == 3), "Assertion .0. failed");
}
