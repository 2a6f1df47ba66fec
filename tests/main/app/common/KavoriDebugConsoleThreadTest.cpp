#include "common/KavoriDebugConsoleThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "TMS/TMSystem.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "main/app/common/KavoriTreeTestSupport.h"
#include "vsock/vsock.h"

namespace {

using namespace std::chrono_literals;
using DbgcTest::TcpClient;
using DbgcTest::waitUntil;

// The console thread, counting the system-information events it has served.
class CountingConsole : public KAVORI::KavoriDebugConsoleThread {
public:
    using KavoriDebugConsoleThread::KavoriDebugConsoleThread;
    std::atomic<uint32_t> served{0};

protected:
    JLIB::JResult onChangeSystemInfo() override
    {
        const JLIB::JResult result = KavoriDebugConsoleThread::onChangeSystemInfo();
        served.fetch_add(1);
        return result;
    }
};

TEST(KavoriDebugConsoleThreadPortTest, TakesTheOptionOnlyWhenItIsAPortNumber)
{
    struct Case {
        JVariant option;
        uint16_t port;
    };
    const Case cases[] = {
        {JVariant("50123", 5), 50123}, {JVariant("1", 1), 1},       {JVariant("65535", 5), 65535},
        {JVariant("65536", 5), 50002}, {JVariant("0", 1), 50002},   {JVariant("", 0), 50002},
        {JVariant("12ab", 4), 50002},  {JVariant("-5", 2), 50002},  {JVariant(" 80", 3), 50002},
        {JVariant("99999999999999999999", 20), 50002},              {JVariant(50123u), 50002},
        {JVariant(), 50002},
    };
    for (const Case& c : cases) {
        const bool text = c.option.getType() == JVariant::kTypeString;
        SCOPED_TRACE(text ? c.option.toString() : "not a text");
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.port, KAVORI::KavoriDebugConsoleThread::portOfOption(c.option));
        const std::string out = testing::internal::GetCapturedStdout();
        // A text that is no port is reported; an option not given is not.
        if (text && c.port == 50002) {
            EXPECT_EQ("[W] KavoriDebugConsoleThread::portOfOption - \"dbgport\" is not a port number: '" +
                          std::string(c.option.toString()) + "', using 50002.\n",
                      out);
        } else {
            EXPECT_EQ("", out);
        }
    }
    KAVORI::KavoriDebugConsoleThread defaulted;
    EXPECT_EQ(50002, defaulted.etherPort());
}

// A tree of the test: the root, the console thread on a port of the test and a thread that writes
// and flushes the shared parameters as the device-control thread does.
class KavoriDebugConsoleThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_port = m_portHold.port();
        ASSERT_NE(0, m_port);
        m_console = std::make_unique<CountingConsole>(m_port);
        EXPECT_EQ(m_port, m_console->etherPort());
        ASSERT_TRUE(TmsTest::setUpThread(*m_console, "DebugConsole", 1, 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_writer, "Writer", 2));
        m_root.adopt(*m_console);
        m_root.adopt(m_writer);
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitUntil([&] {
            return m_console->getStatus() == TMS::kStatusRun && m_writer.getStatus() == TMS::kStatusRun;
        }));
    }
    void TearDown() override
    {
        (void)m_root.release();
        m_console.reset();
        EXPECT_EQ(0, vsock_endModule());
    }

    // Flushes the values together with a new "GUIState" marker, so the console thread sees an
    // event even when "DebugState" keeps its value; waits until it has served it.
    void flush(std::initializer_list<std::pair<const char*, uint32_t>> values)
    {
        const uint32_t before = m_console->served.load();
        std::vector<std::pair<const char*, uint32_t>> all(values);
        m_marker ^= 1;
        all.emplace_back("GUIState", m_marker);
        bool ok = false;
        ok = m_writer.run([&](KavoriTreeTest::JobThread& self) {
            bool stored = true;
            for (const auto& [name, value] : all) stored = stored && self.setSysParam(name, 0, JVariant(value)) == 0;
            EXPECT_TRUE(stored);
            EXPECT_EQ(0u, self.flushSysParam());
        });
        ASSERT_TRUE(ok);
        ASSERT_TRUE(waitUntil([&] { return m_console->served.load() != before; }));
    }
    ::testing::AssertionResult served(TcpClient& client)
    {
        const bool connected = waitUntil([&] {
            if (!client.connect(m_port)) return false;
            if (client.waitFor("Top>", 1s)) return true;
            (void)client.take();
            return false;
        });
        if (!connected) return ::testing::AssertionFailure() << "no console on port " << m_port;
        (void)client.take();
        return ::testing::AssertionSuccess();
    }
    bool refused()
    {
        TcpClient client;
        return !client.connect(m_port);
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    DbgcTest::PortHold m_portHold;
    uint16_t m_port = 0;
    std::unique_ptr<CountingConsole> m_console;
    KavoriTreeTest::JobThread m_writer;
    KavoriTreeTest::Root m_root;
    uint32_t m_marker = 0;
};

TEST_F(KavoriDebugConsoleThreadTest, DebugStateOpensAndClosesTheTcpConsole)
{
    EXPECT_TRUE(refused()) << "open before any system-information event";

    flush({{"DebugState", 0}});
    TcpClient user;
    ASSERT_TRUE(served(user));

    // The same side again: the console is not reopened, so the user stays connected.
    flush({{"DebugState", 0}});
    EXPECT_EQ("", user.command(""));

    flush({{"DebugState", 1}});
    EXPECT_TRUE(user.waitClosed());
    EXPECT_TRUE(waitUntil([&] { return refused(); }));
    flush({{"DebugState", 1}});
    EXPECT_TRUE(refused());

    flush({{"DebugState", 2}});
    TcpClient next;
    EXPECT_TRUE(served(next));
}

TEST_F(KavoriDebugConsoleThreadTest, FirstEventAfterStartOpensTheConsoleWithTheCopiedValue)
{
    EXPECT_TRUE(refused());
    // The child's copy of the table arrived with every value marked: the declared 0 of
    // "DebugState" counts as a change at the first event, whatever parameter it carries.
    flush({});
    TcpClient user;
    EXPECT_TRUE(served(user));
}

TEST_F(KavoriDebugConsoleThreadTest, ConsoleThatCannotOpenIsLoggedAndNotRetriedForTheSameSide)
{
    // Someone else holds the port: the start fails and is logged on the thread.
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(holder, 0);
    int yes = 1;
    (void)::setsockopt(holder, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in in = DbgcTest::loopback(m_port);
    in.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(0, ::bind(holder, reinterpret_cast<sockaddr*>(&in), sizeof in));
    ASSERT_EQ(0, ::listen(holder, 1));
    testing::internal::CaptureStdout();
    flush({{"DebugState", 0}});
    flush({{"DebugState", 0}});
    const std::string out = testing::internal::GetCapturedStdout();
    ::close(holder);
    const std::string failed =
        "[E] DebugConsoleThread::startEtherConsole - Cannot initialize 'DebugConsole for TCP Server'!\n";
    size_t count = 0;
    for (size_t at = out.find(failed); at != std::string::npos; at = out.find(failed, at + 1)) ++count;
    EXPECT_EQ(1u, count) << out;
    EXPECT_TRUE(TmsTest::hasLogLine(*m_console, failed));

    // Off and on again tries anew, now that the port is free.
    testing::internal::CaptureStdout();
    flush({{"DebugState", 1}});
    flush({{"DebugState", 0}});
    (void)testing::internal::GetCapturedStdout();
    TcpClient user;
    EXPECT_TRUE(served(user));
}

}  // namespace
