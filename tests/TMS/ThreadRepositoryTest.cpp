#include "TMS/ThreadRepository.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TMS/AbstractThread.h"
#include "TMS/NullThread.h"
#include "TMS/TMSystem.h"
#include "ThreadTestSupport.h"
#include "oswrap/oswrap.h"

using namespace std::chrono_literals;
using TmsTest::RecordingThread;
using TmsTest::setUpThread;
using TmsTest::waitFor;

TEST(ThreadRepositoryTest, WithoutRegistryLookupsGiveTheNullThread)
{
    ASSERT_EQ(0u, oswrap_init(nullptr, 0, 0));
    EXPECT_TRUE(TMS::getThreadByName("System").isNull());
    EXPECT_TRUE(TMS::getThreadByTaskId(1).isNull());
    EXPECT_TRUE(TMS::getCurrentThread().isNull());
    EXPECT_TRUE(TMS::threadMapBegin() == TMS::threadMapEnd());
    {
        RecordingThread thread(1);
        EXPECT_EQ(0x80000000u, TMS::addThreadToRepository(thread));
        EXPECT_EQ(0x80000000u, TMS::deleteThreadToRepository(thread));
    }
    EXPECT_EQ(0u, TMS::destroyThreadRepository());
    EXPECT_EQ(0u, oswrap_exit());
}

TEST(ThreadRepositoryTest, NullThreadDoesNothingAndAnswersZero)
{
    TMS::TMSystem system;
    TMS::AbstractThread& null = TMS::getCurrentThread();  // the test's main thread
    ASSERT_TRUE(null.isNull());
    EXPECT_EQ(&null, &TMS::getNullThread());
    EXPECT_STREQ("NullThread", null.getThreadName());
    EXPECT_EQ(TMS::AbstractThread::kNoId, null.getTaskId());
    EXPECT_EQ(TMS::kStatusUninitialized, null.getStatus());

    const TMS::ArgumentMap& none = TMS::getNullDataMap();
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    const JLIB::JResult results[] = {
        null.initialize("X", 0, 0, 1, 1, 1, 1, none), null.start(none), null.stop(none), null.pause(none),
        null.sendEvent(40), null.sendMessage(message), null.sendMessageWithWaiting(message), null.release(),
        null.waitStatus(TMS::kStatusRun), null.changeStatus(TMS::kStatusRun, none),
    };
    for (JLIB::JResult result : results) EXPECT_EQ(0u, result);
    EXPECT_EQ(TMS::kStatusUninitialized, null.getStatus());
    EXPECT_EQ(0x80000000u, null.timerTrigger(0));  // never valid
    EXPECT_EQ(0x80000003u, TMS::addThreadToRepository(null));
}

TEST(ThreadRepositoryTest, FindsThreadsByNameTaskIdAndFromTheirOwnTask)
{
    TMS::TMSystem system;
    RecordingThread beta(1);
    RecordingThread alpha(1);
    ASSERT_TRUE(setUpThread(beta, "Beta"));
    ASSERT_TRUE(setUpThread(alpha, "Alpha"));

    std::vector<std::string> names;
    for (auto it = TMS::threadMapBegin(); it != TMS::threadMapEnd(); ++it) names.push_back(it->first);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta"}), names);

    std::atomic<TMS::AbstractThread*> current{nullptr};
    beta.onUserMessage = [&](const TMS::AbstractMessage&) { current = &TMS::getCurrentThread(); };
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    ASSERT_EQ(0u, message.send("Beta"));
    ASSERT_TRUE(waitFor([&] { return current.load() != nullptr; }, 2s));
    EXPECT_EQ(&beta, current.load());
    EXPECT_EQ(&alpha, &TMS::getThreadByTaskId(alpha.getTaskId()));
    EXPECT_TRUE(TMS::getThreadByName("alpha").isNull());  // names compare by exact text
}

TEST(ThreadRepositoryTest, SecondThreadOfANameTakesTheNameEntryOnly)
{
    TMS::TMSystem system;
    static const char kFirstName[] = "Same";
    static const char kSecondName[] = "Same";
    RecordingThread first(1);
    RecordingThread second(1);
    ASSERT_TRUE(setUpThread(first, kFirstName));
    ASSERT_TRUE(setUpThread(second, kSecondName));
    EXPECT_EQ(&second, &TMS::getThreadByName("Same"));
    EXPECT_EQ(&first, &TMS::getThreadByTaskId(first.getTaskId()));
    EXPECT_EQ(&second, &TMS::getThreadByTaskId(second.getTaskId()));

    // Leaving by name takes the shared name entry and the first one's task entry.
    const uint16_t secondTask = second.getTaskId();
    ASSERT_EQ(0u, first.release());
    EXPECT_TRUE(TMS::getThreadByName("Same").isNull());
    EXPECT_EQ(0x80000003u, TMS::deleteThreadToRepository(second));
    EXPECT_EQ(&second, &TMS::getThreadByTaskId(secondTask));
    ASSERT_EQ(0u, TMS::addThreadToRepository(second));  // so its release finds it again
}
