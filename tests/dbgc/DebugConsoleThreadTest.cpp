#include "dbgc/dbgc_DebugConsoleThread.h"

#include <gtest/gtest.h>

#include <string>

#include "DbgcConsoleTestSupport.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "TMS/ThreadTestSupport.h"
#include "dbgc/dbgc_DataLogger.h"
#include "dbgc/dbgc_stdapi.h"
#include "vsock/vsock.h"

namespace {

using namespace DbgcTest;

JLIB::JResult topModule(DBGC::DebugConsole& console, uint32_t count, const DBGC::StringElement* tokens)
{
    if (count == 0) return 0x80000000u;
    if (tokens[0] == "where") (void)console.output("on %s\n", TMS::getCurrentThread().getThreadName());
    return 0;
}

JLIB::JResult probeModule(DBGC::DebugConsole&, uint32_t, const DBGC::StringElement*) { return 0; }

const DBGC::DBG_MODULE_INFO kTable[] = {
    {"Top", topModule, "standard"},
    {"Probe", probeModule, "probe"},
};

const char kBanner[] =
    "\n"
    "== JOVRIX --- Debug Monitor\n"
    "==\n"
    "== Boot Loader Version : ------\n"
    "== Kernel Version      : ------\n"
    "== Program Version     : ------\n"
    "==\n"
    "== [?]  Help Display\n"
    "\n";

const char kStartFailed[] = "[E] DebugConsoleThread::startEtherConsole - Cannot initialize 'DebugConsole for TCP Server'!\n";
const char kStopFailed[] = "[E] DebugConsoleThread::stopEtherConsole - Cannot finalize 'DebugConsole for TCP Server'!\n";

TEST(DebugConsoleThreadConstructionTest, SetsUpTheLoggerAndTheOutputUntilDestroyed)
{
    TMS::TMSystem system;
    DBGC::DataLogger& logger = DBGC::DataLogger::getInstance();
    {
        DBGC::DebugConsoleThread thread(kTable, 2);
        EXPECT_EQ(50002, thread.etherPort());
        EXPECT_EQ(300u, logger.capacity(0));
        EXPECT_EQ(1000u, logger.capacity(1));
        EXPECT_EQ(0u, logger.size(0));
        EXPECT_EQ(0u, logger.size(1));
        // Registered, but nobody is connected: the text reaches standard output only.
        testing::internal::CaptureStdout();
        EXPECT_EQ(6u, dbgPrintf("alone\n"));
        EXPECT_EQ("alone\n", testing::internal::GetCapturedStdout());
    }
    EXPECT_EQ(0u, logger.capacity(0));
    EXPECT_EQ(0x80000000u, logger.push(0, 1, "t", 2, "m"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dbgPrintf("closed\n"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
}

class DebugConsoleThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_port = m_portHold.port();
        ASSERT_NE(0, m_port);
        m_thread = std::make_unique<ConsoleThread>(kTable, 2, m_port);
        ASSERT_TRUE(TmsTest::setUpThread(*m_thread, "DebugConsole", 1, 100));
        ASSERT_EQ(0u, m_thread->start(TMS::getNullDataMap()));
    }
    void TearDown() override
    {
        if (m_thread) {
            EXPECT_EQ(0u, m_thread->release());
        }
        m_thread.reset();
        EXPECT_EQ(0, vsock_endModule());
    }

    // Connects a user and reads the banner and the prompt of the current module.
    ::testing::AssertionResult connectUser(TcpClient& client, const std::string& prompt = "Top>")
    {
        // A user that arrives while the previous one is still being let go is turned away: retry.
        const bool connected = waitUntil([&] {
            if (!client.connect(m_port)) return false;
            if (client.waitFor(prompt, 1s)) return true;
            (void)client.take();
            return false;
        });
        if (!connected) return ::testing::AssertionFailure() << "no banner on port " << m_port;
        const std::string got = client.take();
        if (got != kBanner + prompt) return ::testing::AssertionFailure() << "got [" << got << "]";
        return ::testing::AssertionSuccess();
    }

    TMS::TMSystem m_system;  // the OS layer and the thread registry, before and after everything else
    PortHold m_portHold;
    uint16_t m_port = 0;
    std::unique_ptr<ConsoleThread> m_thread;
};

TEST_F(DebugConsoleThreadTest, UserGetsBannerAndPromptAndCommandsRunOnTheThread)
{
    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient client;
    ASSERT_TRUE(connectUser(client));
    // The local shell has no transport: its event changes nothing.
    ASSERT_EQ(0u, m_thread->sendEvent(DBGC::DebugConsoleThread::kLocalConsoleEvent));
    EXPECT_EQ("on DebugConsole\n", client.command("where"));
    EXPECT_EQ("", client.command("Probe", "Probe>"));
}

TEST_F(DebugConsoleThreadTest, DebugPrintOfAnyThreadReachesTheUserAndStandardOutput)
{
    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient client;
    ASSERT_TRUE(connectUser(client));
    testing::internal::CaptureStdout();
    EXPECT_EQ(12u, dbgPrintf("hello %s\n", "there"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ("hello there\n", out);
    ASSERT_TRUE(client.waitFor("hello there\n"));
    EXPECT_EQ("hello there\n", client.take());
}

TEST_F(DebugConsoleThreadTest, StopAndTheEndOfTheLoopCloseUserAndPortAndStartOpensThemAgain)
{
    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient client;
    ASSERT_TRUE(connectUser(client));
    ASSERT_EQ(0u, m_thread->stopConsole());
    EXPECT_TRUE(client.waitClosed());
    TcpClient refused;
    EXPECT_TRUE(waitUntil([&] { return !refused.connect(m_port); }));

    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient again;
    EXPECT_TRUE(connectUser(again));
    EXPECT_FALSE(TmsTest::hasLogLine(*m_thread, kStartFailed));
    EXPECT_FALSE(TmsTest::hasLogLine(*m_thread, kStopFailed));

    // The end of the loop closes them too, while the object still stands: the socket layer must not
    // call into the thread while its owner destroys it.
    ASSERT_EQ(0u, m_thread->release());
    EXPECT_TRUE(again.waitClosed());
    EXPECT_TRUE(waitUntil([&] { return !refused.connect(m_port); }));
    m_thread.reset();
}

TEST_F(DebugConsoleThreadTest, RefusedStartAndStopAreLoggedAndFail)
{
    EXPECT_EQ(0x80000000u, m_thread->stopConsole());
    EXPECT_TRUE(TmsTest::hasLogLine(*m_thread, kStopFailed));
    ASSERT_EQ(0u, m_thread->startConsole());
    EXPECT_EQ(0x80000000u, m_thread->startConsole());
    EXPECT_TRUE(TmsTest::hasLogLine(*m_thread, kStartFailed));
    TcpClient client;
    EXPECT_TRUE(connectUser(client));  // the first start still serves
}

TEST_F(DebugConsoleThreadTest, PortInUseFailsTheStartUntilStopped)
{
    // Shares the port as the test's hold does, and listens: the console cannot open it.
    const int blocker = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ASSERT_EQ(0, ::setsockopt(blocker, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes));
    sockaddr_in any = loopback(m_port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(0, ::bind(blocker, reinterpret_cast<sockaddr*>(&any), sizeof any));
    ASSERT_EQ(0, ::listen(blocker, 1));

    EXPECT_EQ(0x80000000u, m_thread->startConsole());
    EXPECT_TRUE(TmsTest::hasLogLine(*m_thread, kStartFailed));
    // The shell keeps the transport of the failed start: a new start is refused until a stop.
    EXPECT_EQ(0x80000000u, m_thread->startConsole());
    ::close(blocker);
    EXPECT_EQ(0u, m_thread->stopConsole());
    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient client;
    EXPECT_TRUE(connectUser(client));
}

TEST_F(DebugConsoleThreadTest, NextUserGetsTheBannerAndTheModuleOfThePreviousOne)
{
    ASSERT_EQ(0u, m_thread->startConsole());
    {
        TcpClient first;
        ASSERT_TRUE(connectUser(first));
        EXPECT_EQ("", first.command("probe", "Probe>"));
    }
    TcpClient second;
    EXPECT_TRUE(connectUser(second, "Probe>"));
    EXPECT_EQ("", second.command("..", "Top>"));
}

TEST_F(DebugConsoleThreadTest, SecondUserIsTurnedAwayWhileOneIsConnected)
{
    ASSERT_EQ(0u, m_thread->startConsole());
    TcpClient first;
    ASSERT_TRUE(connectUser(first));
    TcpClient second;
    ASSERT_TRUE(second.connect(m_port));  // the system accepts; the console closes it
    EXPECT_TRUE(second.waitClosed());
    EXPECT_EQ("", second.received());
    EXPECT_EQ("on DebugConsole\n", first.command("where"));
}

}  // namespace
