// The running engine serves its debug console on the port of the start-up option "dbgport".
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "FileCache/TempFolder.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "main/app/editor/EngineProcess.h"

using namespace std::chrono_literals;
using EngineTest::EngineProcess;

TEST(UzengineDebugConsoleTest, ConsoleIsServedOnTheDbgportOptionOnceTheDeviceRuns)
{
    TempFolder folder;
    const std::string program = EngineProcess::install(folder.path(), true);
    const uint16_t port = vsocktest::pickPort(SOCK_STREAM);
    ASSERT_NE(0, port);
    EngineProcess engine;
    ASSERT_TRUE(engine.start(program, {"dbgport=" + std::to_string(port)}));
    ASSERT_TRUE(engine.waitForOutput("[i] AbstractThread[System] - onChangeStatus(RUN)\n", 30s)) << engine.output();

    // The device-control thread's "DebugState" 0 opens the console; a user gets the banner and
    // the prompt of the first module and the console answers a command.
    DbgcTest::TcpClient user;
    const bool served = DbgcTest::waitUntil(
        [&] {
            if (!user.connect(port)) return false;
            if (user.waitFor("Top>", 1s)) return true;
            (void)user.take();
            return false;
        },
        30s);
    ASSERT_TRUE(served) << engine.output();
    const std::string banner = user.take();
    EXPECT_NE(std::string::npos, banner.find("Debug Monitor\n")) << banner;
    EXPECT_NE("<timeout>", user.command(""));
    user.close();

    EXPECT_TRUE(engine.signal(SIGTERM));
    EXPECT_EQ(0, engine.waitForExit(30s)) << engine.output();
    EXPECT_EQ(std::string::npos, engine.output().find("[E] DebugConsoleThread::")) << engine.output();
}
