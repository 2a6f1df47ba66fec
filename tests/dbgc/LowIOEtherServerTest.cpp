#include "dbgc/dbgc_LowIOEtherServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DbgcConsoleTestSupport.h"
#include "TMS/TMSystem.h"
#include "dbgc/dbgc_stdapi.h"
#include "vsock/vsock.h"

namespace {

using namespace DbgcTest;

// Stands in for a shell: records the events and what it read. The answer hook runs in
// onLowIOReceived after the bytes were read, on the owner's thread.
class RecordingShell : public DBGC::IDebugConsoleLowIOCallback {
public:
    JLIB::JResult onLowIOWakeup(DBGC::IDebugConsoleLowIO&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_wakeups;
        }
        m_wake.notify_all();
        return 0;
    }
    JLIB::JResult onLowIOPrepared(DBGC::IDebugConsoleLowIO&) override
    {
        note("prepared");
        return 0;
    }
    JLIB::JResult onLowIOReceived(DBGC::IDebugConsoleLowIO& lowIO) override
    {
        std::string bytes;
        char buffer[64];
        uint32_t count = 0;
        while (lowIO.receive(buffer, sizeof buffer, &count) == 0 && count > 0) bytes.append(buffer, count);
        note("received:" + bytes);
        if (onReceived) onReceived(lowIO);
        return 0;
    }

    // Owner side: waits (bounded) for a wake-up not handled yet.
    bool waitWakeup(uint64_t& handled, std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_wake.wait_for(lock, limit, [&] { return m_wakeups != handled; })) return false;
        handled = m_wakeups;
        return true;
    }
    std::vector<std::string> events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    std::string readBytes()
    {
        std::string all;
        for (const std::string& e : events()) {
            if (e.rfind("received:", 0) == 0) all += e.substr(9);
        }
        return all;
    }

    std::function<void(DBGC::IDebugConsoleLowIO&)> onReceived;

private:
    void note(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(event);
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    uint64_t m_wakeups = 0;
    std::vector<std::string> m_events;
};

// The owner's task: runs runCallback after each wake-up until stopped.
class Owner {
public:
    Owner(DBGC::LowIOEtherServer& server, RecordingShell& shell)
        : m_thread([this, &server, &shell] {
              uint64_t handled = 0;
              while (!m_stop) {
                  if (shell.waitWakeup(handled, 5ms)) (void)server.runCallback();
              }
          })
    {
    }
    ~Owner()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class LowIOEtherServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        m_port = m_portHold.port();
        ASSERT_NE(0, m_port);
        m_server = std::make_unique<DBGC::LowIOEtherServer>(m_port);
    }
    void TearDown() override
    {
        m_server.reset();
        EXPECT_EQ(0, vsock_endModule());
    }
    bool connectClient(TcpClient& client)
    {
        return waitUntil([&] { return client.connect(m_port); });
    }

    TMS::TMSystem m_system;
    PortHold m_portHold;
    uint16_t m_port = 0;
    RecordingShell m_shell;
    std::unique_ptr<DBGC::LowIOEtherServer> m_server;
};

TEST_F(LowIOEtherServerTest, RefusesWithoutDataSocketOrConnection)
{
    const char text[] = "abc";
    char buffer[8];
    struct Case {
        const char* name;
        const void* data;
        uint32_t size;
    };
    const Case cases[] = {{"text", text, 3}, {"null data", nullptr, 3}, {"size 0", text, 0}};
    for (int stage = 0; stage < 2; ++stage) {
        SCOPED_TRACE(stage == 0 ? "before initialize" : "listening, nobody connected");
        if (stage == 1) {
            ASSERT_EQ(0u, m_server->initialize(m_shell));
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            uint32_t sent = 0x5A5A5A5A;
            EXPECT_EQ(0x80000000u, m_server->send(c.data, c.size, &sent));
            EXPECT_EQ(0u, sent);
        }
        uint32_t received = 0x5A5A5A5A;
        EXPECT_EQ(0x80000000u, m_server->receive(buffer, sizeof buffer, &received));
        EXPECT_EQ(0u, received);
        received = 0x5A5A5A5A;
        EXPECT_EQ(0x80000000u, m_server->receive(nullptr, sizeof buffer, &received));
        EXPECT_EQ(0u, received);
        EXPECT_EQ(0u, m_server->runCallback());
        EXPECT_EQ(0u, m_server->flush());
        EXPECT_EQ(0u, m_server->pollChar());
    }
    EXPECT_EQ(0u, m_server->finalize());
    EXPECT_EQ(0u, m_server->finalize());
}

TEST_F(LowIOEtherServerTest, NewUserIsPreparedBeforeTheBytesTypedAtOnce)
{
    ASSERT_EQ(0u, m_server->initialize(m_shell));
    Owner owner(*m_server, m_shell);
    TcpClient client;
    ASSERT_TRUE(connectClient(client));
    ASSERT_TRUE(client.type("abc"));
    ASSERT_TRUE(waitUntil([&] { return m_shell.readBytes() == "abc"; }));
    const std::vector<std::string> events = m_shell.events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ("prepared", events.front());
    EXPECT_EQ(1, std::count(events.begin(), events.end(), "prepared"));
}

TEST_F(LowIOEtherServerTest, SendTakesWholeTextsOrNothing)
{
    ASSERT_EQ(0u, m_server->initialize(m_shell));
    TcpClient client;
    {
        Owner owner(*m_server, m_shell);
        ASSERT_TRUE(connectClient(client));
        ASSERT_TRUE(waitUntil([&] { return !m_shell.events().empty(); }));
    }
    // Without the owner only the kernel takes texts on, and the client reads nothing: once the
    // kernel's buffers are full, the texts pile up in the send buffer until one does not fit.
    const std::string big(16000, 'B');  // more than the whole send buffer
    uint32_t sent = 0x5A5A5A5A;
    EXPECT_EQ(0x80000000u, m_server->send(big.data(), static_cast<uint32_t>(big.size()), &sent));
    EXPECT_EQ(0u, sent);

    constexpr int kChunks = 64000;  // far beyond what loopback buffers hold
    std::string accepted;
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        std::string text(1000, static_cast<char>('a' + chunk % 26));
        text.replace(0, 4, std::to_string(1000 + chunk));
        sent = 0x5A5A5A5A;
        const JLIB::JResult result = m_server->send(text.data(), static_cast<uint32_t>(text.size()), &sent);
        if (result != 0) {
            EXPECT_EQ(0x80000000u, result);
            EXPECT_EQ(0u, sent);
            break;
        }
        EXPECT_EQ(1000u, sent);
        accepted += text;
    }
    EXPECT_GE(accepted.size(), 15000u);
    EXPECT_LT(accepted.size(), kChunks * 1000u);

    Owner owner(*m_server, m_shell);
    // Read by count: the buffers may have taken megabytes, too many to search for a text.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (client.total() < accepted.size() && std::chrono::steady_clock::now() < deadline) {
        if (!client.pump(100ms)) break;
    }
    EXPECT_TRUE(client.received() == accepted) << client.received().size() << " of " << accepted.size() << " bytes";
}

TEST_F(LowIOEtherServerTest, AnsweringUnderTheOutputLockDoesNotDeadlockWithAPrinter)
{
    // The shell answers under "DBGC" as a multi-line answer does; a printer holds "DBGC" when it
    // sends. Delivering the events while holding the transport's lock would deadlock the two.
    std::atomic<int> answers{0};
    m_shell.onReceived = [&](DBGC::IDebugConsoleLowIO& lowIO) {
        (void)dbgEnterCriticalSection();
        uint32_t sent = 0;
        (void)lowIO.send("ok\n", 3, &sent);
        (void)dbgLeaveCriticalSection();
        ++answers;
    };
    ASSERT_EQ(0u, dbgAddLowIO(*m_server));
    ASSERT_EQ(0u, m_server->initialize(m_shell));
    Owner owner(*m_server, m_shell);
    TcpClient client;
    ASSERT_TRUE(connectClient(client));

    StdoutSilencer silence;  // the printer's flood
    std::atomic<bool> stop{false};
    std::thread printer([&] {
        while (!stop) (void)dbgPrintf("p\n");
    });
    bool stuck = false;
    for (int i = 1; i <= 100 && !stuck; ++i) {
        ASSERT_TRUE(client.type("x"));
        stuck = !waitUntil(
            [&] {
                (void)client.pump(1ms);
                return answers.load() >= i;
            },
            10s);
    }
    stop = true;
    if (stuck) {
        silence.restore();
        ADD_FAILURE() << "the owner and the printer are deadlocked";
        std::abort();  // the threads cannot be joined
    }
    printer.join();
    EXPECT_EQ(0u, dbgFinalize());  // the transport leaves the output list before it goes
}

}  // namespace
