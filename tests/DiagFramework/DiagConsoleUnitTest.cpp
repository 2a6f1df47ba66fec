#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DiagFramework/diagfrwk_DiagConsole.h"
#include "DiagFramework/diagfrwk_DiagLogger.h"
#include "TMS/TMSystem.h"
#include "dbgc/DbgcTestSupport.h"

namespace {

// The console without a thread tree: every send goes to the null thread.
TEST(DiagConsoleUnitTest, NothingRunsBeforeATransportIsOpen)
{
    TMS::TMSystem system;
    ASSERT_EQ(0u, DiagFramework::DiagLogger::getInstance().initialize());
    DiagFramework::DiagConsole console;
    EXPECT_EQ(0x80000000u, console.onReceiveRequest("RTC", 0, nullptr));
    EXPECT_EQ(0x80000000u, console.onReceiveReply("RTC", 0, DiagFramework::DiagResult::kOk, ""));
    EXPECT_EQ(0x80000000u, console.run());

    DbgcTest::MemoryLowIO failing;
    failing.initializeResult = 0x80000000u;
    EXPECT_EQ(0x80000000u, console.initialize(nullptr, failing));
    EXPECT_EQ(0x80000000u, console.onReceiveRequest("RTC", 0, nullptr));

    DbgcTest::MemoryLowIO lowIO;
    ASSERT_EQ(0u, console.initialize(nullptr, lowIO));
    const std::vector<std::string> names(console.clientThreadNames().begin(), console.clientThreadNames().end());
    EXPECT_EQ((std::vector<std::string>{"DeviceControl", "GUIBridge", "HUI", "DSP", "SlotControl", "MIDI", "RecPlay"}),
              names);
    EXPECT_EQ(0u, console.onReceiveRequest("RTC", 0, "Asker"));
    EXPECT_EQ("Asker", console.requester());
    ASSERT_NE(nullptr, console.currentCommand());
    EXPECT_EQ(10, console.currentCommand()->commandId());
    // A transport that takes nothing does not hold the console in a loop.
    lowIO.takeAtMost = 0;
    EXPECT_EQ(0x80000000u, console.output("stuck"));
    (void)DiagFramework::DiagLogger::getInstance().finalize();
}

}  // namespace
