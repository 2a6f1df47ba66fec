#include "ossupport/ossupport_Process.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "oswrap/oswrap_module.h"
#include "oswrap/oswrap_task.h"

using namespace OSSUPPORT;

TEST(ossupport_ProcessTest, NothingIsLaunchedOrStored)
{
    Process process;
    EXPECT_FALSE(process.isRunning());
    EXPECT_EQ(0x80000000u, process.restart());
    EXPECT_EQ(0u, process.start("/bin/true", "-x", PROC_PRIORITY_HIGH));
    EXPECT_FALSE(process.isRunning());
    EXPECT_EQ(0x80000000u, process.restart());  // start stored nothing
    EXPECT_EQ(0u, process.stop());
}

TEST(ossupport_ProcessTest, NullProgramPathIsAProgrammingError)
{
    Process process;
    EXPECT_DEATH((void)process.start(nullptr, nullptr, PROC_PRIORITY_NORMAL), "");
}

TEST(ossupport_ProcessTest, WaitLoopEntryEndsItsTask)
{
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    Process process;
    T_OSW_CTSK create{};
    create.task = Process::launchWaitLoop;
    create.stksz = 4096;
    create.name = "PROCWAIT";
    uint16_t id = 0;
    ASSERT_EQ(0u, oswrap_AcreTsk(&id, &create));
    ASSERT_EQ(0u, oswrap_StaTsk(id, &process));
    // The entry ends its task through the wrapper, which leaves the task dormant.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    uintptr_t state = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        T_OSW_RTSK info{};
        info.name = reinterpret_cast<char*>(~uintptr_t{0});
        ASSERT_EQ(0u, oswrap_RefTsk(&info, id));
        state = info.tskstat;
        if (state == OSWRAP::kTaskDormant) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(OSWRAP::kTaskDormant, state);

    Process::launchWaitLoop(&process);  // a thread that is no task: the entry just returns
    EXPECT_EQ(0u, oswrap_DelTsk(id));
    EXPECT_EQ(0u, oswrap_exit());
}
