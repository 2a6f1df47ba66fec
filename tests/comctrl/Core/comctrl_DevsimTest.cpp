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

#include "DevsimProcess.h"
#include "UnitTestSupport.h"
#include "VUviRido/Socket/VComTestOwner.h"
#include "comctrl/Core/comctrl_ServerUnit.h"

using namespace comctrltest;

namespace {

using Clock = std::chrono::steady_clock;

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
