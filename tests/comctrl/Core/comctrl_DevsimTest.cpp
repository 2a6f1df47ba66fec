// The device simulator as a real process: a connecting unit of this process talks to it over
// 127.0.0.1 on the port it picked and printed.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;

namespace {

using Clock = std::chrono::steady_clock;

// uz_devsim with pipes on its standard input and output; always reaped.
class DevsimProcess {
public:
    ~DevsimProcess()
    {
        if (m_pid > 0) {
            (void)::kill(m_pid, SIGKILL);
            int status = 0;
            (void)::waitpid(m_pid, &status, 0);
        }
        closeStdin();
        if (m_reader.joinable()) m_reader.join();  // ends with the child's output
        if (m_stdout >= 0) ::close(m_stdout);
    }

    bool start(const std::vector<std::string>& options)
    {
#ifdef UZ_DEVSIM_PATH
        std::vector<std::string> args = {UZ_DEVSIM_PATH};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0) return false;
        if (::pipe2(out, O_CLOEXEC) != 0) return false;
        m_pid = ::fork();
        if (m_pid == 0) {
            (void)::dup2(in[0], STDIN_FILENO);
            (void)::dup2(out[1], STDOUT_FILENO);
            for (int fd = 3; fd < 1024; ++fd) (void)::close(fd);  // no socket of this process goes along
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_stdin = in[1];
        m_stdout = out[0];
        if (m_pid < 0) return false;
        m_reader = std::thread([this] {
            char bytes[512];
            ssize_t n = 0;
            while ((n = ::read(m_stdout, bytes, sizeof(bytes))) > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_output.append(bytes, static_cast<size_t>(n));
            }
        });
        return true;
#else
        return false;
#endif
    }

    // The port of the first line "LISTEN <port>"; 0 when it did not come within 10 s.
    uint16_t listenPort()
    {
        std::string first;
        if (!vsocktest::waitFor([&] {
                const std::string out = output();
                const size_t end = out.find('\n');
                if (end == std::string::npos) return false;
                first = out.substr(0, end);
                return true;
            }, std::chrono::seconds(10))) {
            return 0;
        }
        if (first.rfind("LISTEN ", 0) != 0) return 0;
        return static_cast<uint16_t>(std::stoul(first.substr(7)));
    }

    std::string output()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_output;
    }
    void closeStdin()
    {
        if (m_stdin >= 0) ::close(m_stdin);
        m_stdin = -1;
    }
    void terminate() { (void)::kill(m_pid, SIGTERM); }
    // The exit status; -1 when it did not end normally within the limit.
    int waitExit(std::chrono::seconds limit = std::chrono::seconds(10))
    {
        int status = 0;
        const bool ended = vsocktest::waitFor([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, limit);
        if (!ended) return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::string m_output;
};

class DevsimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef UZ_DEVSIM_PATH
        GTEST_SKIP() << "uz_devsim is not built";
#endif
        ASSERT_TRUE(vcomtest::startLayers());
    }
};

}  // namespace

TEST_F(DevsimTest, AnswersTheEngineRequestsAndKeepsTheLinkAlive)
{
    DevsimProcess simulator;
    ASSERT_TRUE(simulator.start({"--port", "0", "--hash", "00112233445566778899aabbccddeeff"}));
    const uint16_t port = simulator.listenPort();
    ASSERT_NE(0, port) << simulator.output();

    LinkOwner owner;
    RecordingExecutor executor;
    ComControl::ServerUnit unit;
    ASSERT_EQ(0u, unit.selectDatabse(1));
    ASSERT_EQ(0u, unit.initialize(0, 1, 11, 1, 3, vcomtest::loopbackAddress(), owner, &owner, 0x100000));
    nameLikeTheEngine(unit);
    ASSERT_EQ(0u, unit.registEventExecutor(0, "Sync", executor, 0));
    owner.onWake.push_back([&] { (void)unit.runCallback(); });
    owner.onTick.push_back([&] { (void)unit.periodicHandle(50); });
    ASSERT_EQ(0u, unit.connect(vcomtest::loopbackAddress(), port));
    ASSERT_TRUE(owner.pump([&] { return owner.logged("connected 0"); }));

    struct Case {
        const char* name;
        const char* text;
        const char* reply;
        const char* replyText;
    };
    const Case cases[] = {
        {"SetClientType", "TYPE:Editor SYNCDIR:1 PIN:12\\ 34 UDPPORT:0", "onSetClientType",
         "PIN:12\\ 34 HASH:00112233445566778899AABBCCDDEEFF"},
        {"ApplyConfig", "", "onApplyConfig", ""},
        {"AbortSynchronize", "", "onSyncAborted", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0u, unit.sendEvent(0, 0, c.name, c.text));
        ASSERT_TRUE(owner.pump([&] { return executor.count(c.reply) == 1; }));
        EXPECT_EQ((ExecutedEvent{0, c.reply, c.replyText}), executor.events.back());
    }
    const auto quietSince = Clock::now();
    ASSERT_TRUE(owner.pump([&] { return executor.count("KeepAlive") == 1; }));
    EXPECT_GE(Clock::now() - quietSince, std::chrono::milliseconds(900));
    EXPECT_EQ(4u, executor.events.size());

    simulator.closeStdin();
    EXPECT_EQ(0, simulator.waitExit());
    EXPECT_TRUE(owner.pump([&] { return owner.logged("disconnected 0"); }));
    owner.onWake.clear();
    owner.onTick.clear();
}

TEST_F(DevsimTest, EndsWithStatusZeroOnSigterm)
{
    DevsimProcess simulator;
    ASSERT_TRUE(simulator.start({"--port", "0"}));
    ASSERT_NE(0, simulator.listenPort()) << simulator.output();
    simulator.terminate();
    EXPECT_EQ(0, simulator.waitExit());
}

TEST_F(DevsimTest, RefusesOptionsItDoesNotKnow)
{
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--bogus", "1"}, {"--port", "70000"}, {"--hash", "ABC"}, {"--port"}}) {
        DevsimProcess simulator;
        ASSERT_TRUE(simulator.start(options));
        EXPECT_EQ(2, simulator.waitExit());
        EXPECT_EQ("", simulator.output());
    }
}
