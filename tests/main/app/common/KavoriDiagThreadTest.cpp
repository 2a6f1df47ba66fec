#include "common/KavoriDiagThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FileCache/TempFolder.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "dbgc/DbgcConsoleTestSupport.h"
#include "main/app/common/KavoriTreeTestSupport.h"
#include "vsock/vsock.h"

namespace {

using namespace std::chrono_literals;
using DbgcTest::TcpClient;
using DbgcTest::waitUntil;

// The diagnostics thread, counting the system-information events it has served.
class CountingDiag : public KAVORI::KavoriDiagThread {
public:
    using KavoriDiagThread::KavoriDiagThread;
    std::atomic<uint32_t> served{0};

protected:
    JLIB::JResult onChangeSystemInfo() override
    {
        const JLIB::JResult result = KavoriDiagThread::onChangeSystemInfo();
        served.fetch_add(1);
        return result;
    }
};

// A tree of the test with the diagnostics thread on ports of the test and a thread that writes
// "ProductState" and "RunMode".
class KavoriDiagThreadTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_diagPort = DbgcTest::pickPort();
        m_macBarPort = DbgcTest::pickPort();
        ASSERT_NE(0, m_diagPort);
        ASSERT_NE(0, m_macBarPort);
        ASSERT_NE(m_diagPort, m_macBarPort);
        m_diag = std::make_unique<CountingDiag>(m_diagPort, m_macBarPort);
        ASSERT_TRUE(TmsTest::setUpThread(*m_diag, "Diag", 1, 100));
        ASSERT_TRUE(TmsTest::setUpThread(m_writer, "Writer", 1));
        m_root.adopt(*m_diag);
        m_root.adopt(m_writer);
        ASSERT_TRUE(TmsTest::setUpThread(m_root, "System"));
        ASSERT_EQ(0u, m_root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitUntil([&] { return m_diag->getStatus() == TMS::kStatusRun; }));
    }
    void TearDown() override
    {
        (void)m_root.release();
        m_diag.reset();
        EXPECT_EQ(0, vsock_endModule());
    }

    void publish(uint32_t productState, uint32_t runMode)
    {
        const uint32_t before = m_diag->served.load();
        ASSERT_TRUE(m_writer.publish({{"ProductState", productState}, {"RunMode", runMode}}));
        ASSERT_TRUE(waitUntil([&] { return m_diag->served.load() != before; }));
    }
    bool writerRuns() const { return !TMS::getThreadByName("MacBarServer").isNull(); }
    bool writerServes()
    {
        TcpClient client;
        return client.connect(m_macBarPort);
    }
    static std::string read(const std::string& path)
    {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    uint16_t m_diagPort = 0;
    uint16_t m_macBarPort = 0;
    std::unique_ptr<CountingDiag> m_diag;
    KavoriTreeTest::JobThread m_writer;
    KavoriTreeTest::Root m_root;
};

TEST_F(KavoriDiagThreadTest, WriterRunsOnlyWhileTheProductRunsInModeTwo)
{
    publish(0, 2);  // product not running: nothing, and run mode 2 is not remembered
    EXPECT_FALSE(writerRuns());
    publish(1, 2);
    EXPECT_TRUE(writerRuns());
    EXPECT_TRUE(waitUntil([&] { return writerServes(); }));
    publish(1, 2);  // the same again: still the one writer
    EXPECT_TRUE(writerRuns());

    publish(1, 3);
    EXPECT_FALSE(writerRuns());
    // The socket layer's task drops the listener once its poll wakes: until then the kernel still
    // completes connections to it.
    EXPECT_TRUE(waitUntil([&] { return !writerServes(); }));
    publish(1, 0);
    EXPECT_FALSE(writerRuns());

    publish(1, 2);  // back in mode 2: a new writer
    EXPECT_TRUE(writerRuns());
    publish(0, 0);  // the product stopped: the rule does not act
    EXPECT_TRUE(writerRuns());
}

TEST_F(KavoriDiagThreadTest, ConsoleServesTcpAndTheLogIsSavedOnRequest)
{
    TcpClient user;
    ASSERT_TRUE(waitUntil([&] { return user.connect(m_diagPort) && user.waitFor("Diagnostics", 2s); }));

    TMS::AbstractMessage output;
    ASSERT_EQ(0u, output.initialize(TMS::kMessageUser, 0x10000001));
    ASSERT_EQ(0u, output.addData("Message", "hello from a worker\n"));
    ASSERT_EQ(0u, output.sendWithWaiting(*m_diag));
    EXPECT_TRUE(user.waitFor("hello from a worker\n"));

    TempFolder folder;
    const std::string path = folder.path() + "/diag.log";
    TMS::AbstractMessage save;
    ASSERT_EQ(0u, save.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, save.addData("CommandName", "SaveDiagLog"));
    ASSERT_EQ(0u, save.addData("Path", path.c_str()));
    ASSERT_EQ(0u, save.sendWithWaiting(*m_diag));
    EXPECT_TRUE(waitUntil([&] { return read(path).find("hello from a worker") != std::string::npos; })) << read(path);

    // Another command of message 0 does nothing.
    TMS::AbstractMessage other;
    ASSERT_EQ(0u, other.initialize(TMS::kMessageUser, 0));
    ASSERT_EQ(0u, other.addData("CommandName", "SaveDiagLogs"));
    ASSERT_EQ(0u, other.addData("Path", (folder.path() + "/other.log").c_str()));
    ASSERT_EQ(0u, other.sendWithWaiting(*m_diag));
    ASSERT_EQ(0u, output.sendWithWaiting(*m_diag));  // handled after the one before
    EXPECT_TRUE(user.waitFor("hello from a worker\n", 5s, 2));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/other.log"));
}

TEST(KavoriDiagThreadConsoleTest, ConsoleThatCannotOpenIsLoggedAndTheThreadRuns)
{
    TMS::TMSystem system;
    ASSERT_EQ(0, vsock_initModule());
    const uint16_t port = DbgcTest::pickPort();
    const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in = DbgcTest::loopback(port);
    in.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(0, ::bind(holder, reinterpret_cast<sockaddr*>(&in), sizeof in));
    ASSERT_EQ(0, ::listen(holder, 1));
    {
        testing::internal::CaptureStdout();
        KAVORI::KavoriDiagThread diag(port, DbgcTest::pickPort());
        ASSERT_TRUE(TmsTest::setUpThread(diag, "Diag"));
        EXPECT_TRUE(TmsTest::hasLogLine(diag, "[E] DiagThread::initialize - Cannot initialize 'DiagConsole for TCP Server'!\n"));
        EXPECT_EQ(0u, diag.start(TMS::getNullDataMap()));
        EXPECT_EQ(TMS::kStatusRun, diag.getStatus());
        EXPECT_EQ(0u, diag.release());
        (void)testing::internal::GetCapturedStdout();
    }
    ::close(holder);
    EXPECT_EQ(0, vsock_endModule());
}

}  // namespace
