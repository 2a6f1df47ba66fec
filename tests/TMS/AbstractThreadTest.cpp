#include "TMS/AbstractThread.h"

#include <gtest/gtest.h>

#include <thread>

#include "TMS/SystemInfo.h"
#include "TMS/SystemInfoNodeStruct.h"
#include "TMS/SystemMessage.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "ThreadTestSupport.h"
#include "oswrap/oswrap.h"

using namespace std::chrono_literals;
using TmsTest::RecordingThread;
using TmsTest::setUpThread;
using TmsTest::waitFor;

namespace {

class AbstractThreadTest : public testing::Test {
protected:
    // Declared first: the threads of a test go before the system does.
    TMS::TMSystem m_system;

    static TMS::AbstractMessage userMessage(uint32_t id)
    {
        TMS::AbstractMessage message;
        EXPECT_EQ(0u, message.initialize(TMS::kMessageUser, id));
        return message;
    }
    // Sends a user message and waits until the thread has handled it: everything sent before
    // has been served by then.
    static bool barrier(RecordingThread& thread, uint32_t id)
    {
        if (thread.sendMessageWithWaiting(userMessage(id)) != 0) return false;
        return waitFor([&] { return thread.count("msg:" + std::to_string(id)) == 1; }, 2s);
    }
};

}  // namespace

TEST_F(AbstractThreadTest, LifeCycleRunsTheHooksInOrderAndCanBeSetUpAgain)
{
    RecordingThread thread(5);
    EXPECT_EQ(TMS::kStatusUninitialized, thread.getStatus());
    ASSERT_TRUE(setUpThread(thread, "Worker"));
    EXPECT_TRUE(thread.isValid());
    EXPECT_EQ(&thread, &TMS::getThreadByName("Worker"));
    EXPECT_EQ(&thread, &TMS::getThreadByTaskId(thread.getTaskId()));

    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    EXPECT_EQ(0u, thread.start(none));
    EXPECT_EQ(TMS::kStatusRun, thread.getStatus());
    EXPECT_EQ(0u, thread.start(none));  // already running: no hook
    EXPECT_EQ(0u, thread.pause(none));
    EXPECT_EQ(0u, thread.start(none));
    EXPECT_EQ(0u, thread.stop(none));
    const uint16_t task = thread.getTaskId();
    EXPECT_EQ(0u, thread.release());

    const std::vector<std::string> expected = {
        "status:OPENING", "init", "status:STOP", "sys:0", "status:RUN", "sys:0", "sys:2", "status:PAUSE",
        "sys:0", "status:RUN", "sys:1", "status:STOP", "sys:3", "status:CLOSING", "final", "status:CLOSED",
    };
    EXPECT_EQ(expected, thread.records());
    EXPECT_EQ(TMS::kStatusUninitialized, thread.getStatus());
    EXPECT_EQ(TMS::AbstractThread::kNoId, thread.getTaskId());
    EXPECT_EQ(nullptr, thread.getThreadName());
    EXPECT_TRUE(TMS::getThreadByName("Worker").isNull());
    EXPECT_TRUE(TMS::getThreadByTaskId(task).isNull());

    thread.clearRecords();
    ASSERT_TRUE(setUpThread(thread, "Worker"));
    EXPECT_EQ(0u, thread.start(none));
    EXPECT_EQ(0u, thread.release());
    EXPECT_EQ(1u, thread.count("final"));
}

TEST_F(AbstractThreadTest, InitializeRefusesBadNamesAndASecondSetUp)
{
    RecordingThread thread(1);
    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    EXPECT_EQ(0x80000002u, thread.initialize("", 0, 0, 20000, 20000, 10, 0, none));
    EXPECT_EQ(0x80000002u, thread.initialize(nullptr, 0, 0, 20000, 20000, 10, 0, none));
    EXPECT_EQ(0x80000002u, thread.initialize(0xFFFF, "Fixed", 0, 0, 20000, 20000, 10, 0, none));
    EXPECT_EQ(0x80000000u, thread.sendEvent(1));  // no event flag yet
    EXPECT_EQ(0x80000000u, thread.sendMessage(userMessage(1)));  // no loop yet
    ASSERT_TRUE(setUpThread(thread, "Once"));
    EXPECT_EQ(1u, thread.initialize("Twice", 0, 0, 20000, 20000, 10, 0, none));
    EXPECT_STREQ("Once", thread.getThreadName());
    EXPECT_EQ(0x80000002u, thread.sendEvent(32));

    TMS::AbstractMessage none0;
    EXPECT_EQ(0x80000006u, thread.sendMessage(none0));
    EXPECT_EQ(0x80000006u, thread.sendMessage(TMS::SystemMessage(static_cast<TMS::SysMessageId>(4), none)));
}

TEST_F(AbstractThreadTest, ThreadOnAFixedTaskIdRuns)
{
    RecordingThread thread(1);
    ASSERT_EQ(0u, thread.initialize(7, "Fixed", 0, 0, 20000, 20000, 10, 0, TMS::getNullDataMap()));
    ASSERT_TRUE(waitFor([&] { return thread.getStatus() == TMS::kStatusStop; }, 2s));
    EXPECT_EQ(7u, thread.getTaskId());
    EXPECT_EQ(0u, thread.release());
}

TEST_F(AbstractThreadTest, EventsCollapseAndArriveLowestFirst)
{
    RecordingThread thread(5);
    ASSERT_TRUE(setUpThread(thread, "Events"));
    ASSERT_EQ(0u, thread.start(TMS::getNullDataMap()));

    // Hold the loop inside a message so that every event lands before its next pass.
    thread.messageGate.close();
    ASSERT_EQ(0u, thread.sendMessage(userMessage(1)));
    ASSERT_TRUE(waitFor([&] { return thread.messageGate.isWaiting(); }, 2s));
    for (int i = 0; i < 5; ++i) ASSERT_EQ(0u, thread.sendEvent(3));
    ASSERT_EQ(0u, thread.sendEvent(5));
    ASSERT_EQ(0u, thread.sendEvent(0));
    ASSERT_EQ(0u, thread.sendEvent(31));
    thread.messageGate.open();
    ASSERT_TRUE(waitFor([&] { return thread.count("event:31") == 1; }, 2s));

    std::vector<std::string> events;
    for (const std::string& r : thread.records()) {
        if (r.rfind("event:", 0) == 0) events.push_back(r);
    }
    const std::vector<std::string> expected = {"event:0", "event:3", "event:5", "event:31"};
    EXPECT_EQ(expected, events);
}

TEST_F(AbstractThreadTest, StoppedThreadServesMessagesAndKeepsEventsForLater)
{
    RecordingThread thread(5);
    ASSERT_TRUE(setUpThread(thread, "Stopped"));
    ASSERT_EQ(0u, thread.sendEvent(2));
    ASSERT_TRUE(barrier(thread, 1));  // user messages are served in STOP
    EXPECT_EQ(0u, thread.count("event:2"));

    ASSERT_EQ(0u, thread.start(TMS::getNullDataMap()));
    ASSERT_EQ(0u, thread.sendEvent(2));  // collapses with the deferred one
    ASSERT_TRUE(waitFor([&] { return thread.count("event:2") >= 1; }, 2s));
    ASSERT_TRUE(barrier(thread, 2));
    EXPECT_EQ(1u, thread.count("event:2"));
}

TEST_F(AbstractThreadTest, PausedThreadDropsUserMessagesAndServesRequests)
{
    RecordingThread thread(5);
    ASSERT_TRUE(setUpThread(thread, "Paused"));
    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    EXPECT_EQ(0x80000008u, thread.pause(none));  // a stopped thread would never pause
    EXPECT_EQ(TMS::kStatusStop, thread.getStatus());

    ASSERT_EQ(0u, thread.start(none));
    ASSERT_EQ(0u, thread.pause(none));
    ASSERT_EQ(0u, thread.sendMessage(userMessage(1)));
    ASSERT_EQ(0u, thread.start(none));  // queued behind the dropped message
    ASSERT_TRUE(barrier(thread, 2));
    EXPECT_EQ(0u, thread.count("msg:1"));
}

TEST_F(AbstractThreadTest, ChildStatusChangeMetInAPausedMessagePassIsNotLost)
{
    RecordingThread thread(5);
    ASSERT_TRUE(setUpThread(thread, "Parent"));
    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    ASSERT_EQ(0u, thread.start(none));

    // Hold the loop while it enters PAUSE, so that a message and a child status change wait
    // for the same pass.
    thread.statusGate.close();
    std::thread requester([&] { EXPECT_EQ(0u, thread.pause(none)); });
    ASSERT_TRUE(waitFor([&] { return thread.statusGate.isWaiting(); }, 2s));
    TMS::AbstractMessage ignored;  // a system request nobody knows: handled, changes nothing
    ASSERT_EQ(0u, ignored.initialize(TMS::kMessageSystem, 9));
    ASSERT_EQ(0u, thread.sendMessage(ignored));
    ASSERT_EQ(0u, thread.sendThreadStatus(true));
    thread.recordWakeups = true;
    thread.statusGate.open();
    requester.join();

    ASSERT_TRUE(waitFor([&] { return thread.count("child") == 1; }, 2s));
    const std::vector<std::string> records = thread.records();
    const auto sys9 = std::find(records.begin(), records.end(), "sys:9");
    const auto child = std::find(records.begin(), records.end(), "child");
    ASSERT_NE(records.end(), sys9);
    EXPECT_LT(sys9, child);
    // The message's own pass ends with the message: no wake-up between the two.
    EXPECT_EQ(child, sys9 + 1);
    EXPECT_EQ(TMS::kStatusPause, thread.getStatus());
}

TEST_F(AbstractThreadTest, ThreadAskingItselfGetsAnAnswerAtOnce)
{
    RecordingThread thread(5);
    ASSERT_TRUE(setUpThread(thread, "Self"));
    std::vector<JLIB::JResult> results;
    thread.onUserMessage = [&](const TMS::AbstractMessage& message) {
        if (message.messageId() != 1) return;
        const TMS::ArgumentMap& none = TMS::getNullDataMap();
        results = {thread.start(none), thread.stop(none), thread.pause(none), thread.release(),
                   thread.waitForRelease()};
        TMS::AbstractMessage inner;
        (void)inner.initialize(TMS::kMessageUser, 99);
        results.push_back(thread.sendMessage(inner));  // handled before sendMessage returns
        results.push_back(static_cast<JLIB::JResult>(thread.count("msg:99")));
        results.push_back(thread.sendMessage(TMS::SystemMessage(TMS::kSysStart, none)));
        results.push_back(thread.getStatus());  // the self-sent request went to onReceiveMessage
    };
    ASSERT_TRUE(barrier(thread, 1));
    const std::vector<JLIB::JResult> expected = {0x80000003u, 0x80000003u, 0x80000003u, 0x80000003u, 0x80000003u,
                                                 0u, 1u, 0u, TMS::kStatusStop};
    EXPECT_EQ(expected, results);
    EXPECT_EQ(1u, thread.count("selfsys:0"));
    EXPECT_EQ(0u, thread.count("sys:0"));
}

TEST_F(AbstractThreadTest, FullQueueAnswersBusyAndWaitingSendGetsThrough)
{
    RecordingThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Busy"));
    thread.messageGate.close();
    ASSERT_EQ(0u, thread.sendMessage(userMessage(1)));
    ASSERT_TRUE(waitFor([&] { return thread.messageGate.isWaiting(); }, 2s));
    ASSERT_EQ(0u, thread.sendMessage(userMessage(2)));  // fills the one place
    EXPECT_EQ(0x80000008u, thread.sendMessage(userMessage(3)));
    EXPECT_TRUE(TmsTest::hasLogLine(thread, "[i] AbstractThread[Busy]::sendMessage (call from [NullThread]) - Busy!\n"));

    std::atomic<JLIB::JResult> waited{0xFFFFFFFFu};
    std::thread sender([&] { waited = thread.sendMessageWithWaiting(userMessage(3)); });
    thread.messageGate.open();
    sender.join();
    EXPECT_EQ(0u, waited.load());
    ASSERT_TRUE(waitFor([&] { return thread.count("msg:3") == 1; }, 2s));
    const std::vector<std::string> expected = {"msg:1", "msg:2", "msg:3"};
    std::vector<std::string> messages;
    for (const std::string& r : thread.records()) {
        if (r.rfind("msg:", 0) == 0) messages.push_back(r);
    }
    EXPECT_EQ(expected, messages);
}

TEST_F(AbstractThreadTest, WaitingSendGivesUpAfterAHundredBusyTries)
{
    RecordingThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Stuck"));
    thread.messageGate.close();
    ASSERT_EQ(0u, thread.sendMessage(userMessage(1)));
    ASSERT_TRUE(waitFor([&] { return thread.messageGate.isWaiting(); }, 2s));
    ASSERT_EQ(0u, thread.sendMessage(userMessage(2)));

    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(0x80000003u, thread.sendMessageWithWaiting(userMessage(3)));
    const auto took = std::chrono::steady_clock::now() - begin;
    thread.messageGate.open();
    EXPECT_GE(took, 9s);
    EXPECT_TRUE(TmsTest::hasLogLine(
        thread, "[E] AbstractThread[Stuck]::sendMessageWithWaiting (call from [NullThread]) - Busy Timeout!\n"));
}

TEST_F(AbstractThreadTest, TimersRunOnTheTickOnlyWhileRunning)
{
    RecordingThread ticking(5);
    RecordingThread silent(5);
    ASSERT_TRUE(setUpThread(ticking, "Ticking", 0, 10));
    ASSERT_TRUE(setUpThread(silent, "Silent", 0, 0));
    for (RecordingThread* thread : {&ticking, &silent}) {
        ASSERT_EQ(0u, thread->timers().addTimer(1, 20, false, thread));
        ASSERT_EQ(0u, thread->timers().getTimer(1).start());
    }
    ASSERT_TRUE(barrier(ticking, 1));
    EXPECT_EQ(0u, ticking.count("timer:1"));  // stopped: the tick is deferred

    ASSERT_EQ(0u, ticking.start(TMS::getNullDataMap()));
    ASSERT_EQ(0u, silent.start(TMS::getNullDataMap()));
    ASSERT_TRUE(waitFor([&] { return ticking.count("timer:1") >= 3; }, 2s));
    EXPECT_EQ(0u, silent.count("timer:1"));

    RecordingThread unset(1);
    EXPECT_EQ(0x80000000u, unset.timerTrigger(100));
    EXPECT_EQ(0u, silent.timerTrigger(TMS::AbstractThread::get1msCount()));
}

TEST_F(AbstractThreadTest, EndedThreadAnswersRequestsInsteadOfHanging)
{
    RecordingThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Ended"));
    EXPECT_EQ(0u, thread.setEndStatus(5));
    ASSERT_EQ(0u, oswrap_TerTsk(thread.getTaskId()));  // the OS wrapper ends the loop
    ASSERT_TRUE(waitFor([&] { return thread.getStatus() == TMS::kStatusDestroy; }, 2s));
    EXPECT_EQ(1u, thread.count("final"));
    EXPECT_EQ(5u, thread.waitForRelease());
    EXPECT_EQ(0x80000003u, thread.start(TMS::getNullDataMap()));
    EXPECT_EQ(0u, thread.release());
    EXPECT_EQ(TMS::AbstractThread::kNoId, thread.getTaskId());
}

TEST_F(AbstractThreadTest, WaitForReleaseReturnsTheEndStatus)
{
    RecordingThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Waited"));
    EXPECT_EQ(0u, thread.setEndStatus(1));
    std::thread releaser([&] { EXPECT_EQ(0u, thread.release()); });
    EXPECT_EQ(1u, thread.waitForRelease());
    releaser.join();
}

TEST_F(AbstractThreadTest, StatusNamesCoverEveryValue)
{
    const char* const names[] = {"UNINITIALIZED", "OPENING", "STOP", "RUN", "PAUSE", "CLOSING", "CLOSED", "DESTROY"};
    for (uint32_t status = 0; status < 8; ++status) EXPECT_STREQ(names[status], TMS::AbstractThread::getStatusString(status));
    EXPECT_STREQ("??", TMS::AbstractThread::getStatusString(8));
    EXPECT_STREQ("??", TMS::AbstractThread::getStatusString(9));
}

TEST_F(AbstractThreadTest, DefaultHooksWriteTheirLinesIntoTheRing)
{
    TMS::AbstractThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Plain"));
    ASSERT_EQ(0u, thread.start(TMS::getNullDataMap()));
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 12));
    ASSERT_EQ(0u, thread.sendMessageWithWaiting(message));
    ASSERT_TRUE(waitFor([&] { return TmsTest::hasLogLine(thread, "[i] AbstractThread[Plain] - onReceiveMessage(USER:12)\n"); }, 2s));
    for (const char* line : {"[i] AbstractThread[Plain] - onInitialize\n", "[i] AbstractThread[Plain] - onChangeStatus(OPENING)\n",
                             "[i] AbstractThread[Plain] - onChangeStatus(RUN)\n"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(TmsTest::hasLogLine(thread, line));
    }
    EXPECT_EQ(0u, thread.release());
}

TEST_F(AbstractThreadTest, TableWrittenOnAThreadsTaskLogsIntoThatThreadsRing)
{
    RecordingThread thread(1);
    ASSERT_TRUE(setUpThread(thread, "Writer"));
    static const TMS::SystemInfoNodeStruct row = {"Level", 1, 0, 1, "0", "9", "0"};
    thread.onUserMessage = [](const TMS::AbstractMessage&) {
        TMS::TMSMutex lock("Table");
        TMS::SystemInfo table;
        (void)table.initialize(&lock);  // always 0
        EXPECT_EQ(0u, table.addParams(&row, 1));
        EXPECT_EQ(0u, table.setParam("Level", 0, JVariant(3)));
        EXPECT_EQ(0u, table.output(true));
        EXPECT_EQ(0u, table.release());
    };
    ASSERT_TRUE(barrier(thread, 1));
    EXPECT_TRUE(TmsTest::hasLogLine(thread, "    [Level] = 3*\n"));
}
