#include "OscServer/OscCore/OscSystem.h"

#include <gtest/gtest.h>

#include <thread>

#include "oswrap/oswrap_task.h"
#include "oswrap/oswrap_time.h"

TEST(OscSystemTest, TaskIdAndMillisecondCountComeFromTheOsLayer)
{
    uint16_t expected = 0;
    ASSERT_EQ(0u, oswrap_GetTskId(&expected));
    uint16_t id = 0;
    EXPECT_EQ(0u, JOSC::OscGetTaskId(id));
    EXPECT_EQ(expected, id);

    uint16_t otherId = 0;
    std::thread([&] { (void)JOSC::OscGetTaskId(otherId); }).join();  // checked below
    EXPECT_NE(0, otherId);
    EXPECT_NE(id, otherId) << "each task has its own id";

    uint32_t before = 0;
    ASSERT_EQ(0u, oswrap_Get1msCount(&before));
    uint32_t count = 0;
    EXPECT_EQ(0u, JOSC::OscGet1msCount(count));
    EXPECT_LT(count - before, 1000u) << "the same clock, read moments apart";
}

TEST(OscSystemTest, OscHeapIsTheGlobalHeapUntilOneIsRecorded)
{
    EXPECT_EQ(0, JOSC::getOscHeapId().id());
    JOSC::setOscHeapId(5);
    EXPECT_EQ(5, JOSC::getOscHeapId().id());
    JOSC::setOscHeapId(0);
}
