#include "oswrap/oswrap_module.h"

#include <gtest/gtest.h>

#include "OswrapTestSupport.h"

TEST(oswrap_moduleTest, SecondInitIsRefusedAndLeavesObjectsWorking)
{
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    const T_OSW_CSEM csem{nullptr, 0, 1, "kept"};
    ASSERT_EQ(0u, oswrap_CreSem(7, &csem));
    const T_OSW_CFLG cflg{nullptr, 0, 0x3, "kept"};
    ASSERT_EQ(0u, oswrap_CreFlg(7, &cflg));

    EXPECT_EQ(0x80000008u, oswrap_init(nullptr, 0, 0));

    uint16_t id = 0;
    EXPECT_EQ(0u, oswrap_VinqSem(&id, "kept"));
    EXPECT_EQ(7u, id);
    EXPECT_EQ(0u, oswrap_WaiSem(7));
    EXPECT_EQ(0u, oswrap_SigSem(7));
    uint32_t pattern = 0xDEADBEEF;
    EXPECT_EQ(0u, oswrap_PolFlg(&pattern, 7, 0x3, OSWRAP::kWaitAnd));
    EXPECT_EQ(0x3u, pattern);
    EXPECT_EQ(0u, oswrap_exit());
}

TEST(oswrap_moduleTest, ExitWithoutInitIsRefusedAndRestartStartsClean)
{
    EXPECT_EQ(0x80000008u, oswrap_exit());
    EXPECT_EQ(0x80000002u, oswrap_os_start());

    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    const T_OSW_CSEM csem{nullptr, 0, 1, "old"};
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreSem(&id, &csem));
    const T_OSW_CMBX cmbx{nullptr, 0, "old"};
    ASSERT_EQ(0u, oswrap_CreMbx(3, &cmbx));
    ASSERT_EQ(0u, oswrap_exit());
    EXPECT_EQ(0x80000008u, oswrap_exit());

    // Objects of the earlier run are gone and their ids free again.
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    EXPECT_EQ(0x8000000Eu, oswrap_VinqSem(&id, "old"));
    EXPECT_EQ(0x8000000Eu, oswrap_VinqMbx(&id, "old"));
    EXPECT_EQ(0u, oswrap_CreMbx(3, &cmbx));
    EXPECT_EQ(0u, oswrap_exit());
}
