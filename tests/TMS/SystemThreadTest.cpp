#include "TMS/SystemThread.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "TMS/SystemInfoNodeStruct.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "ThreadTestSupport.h"

using namespace std::chrono_literals;
using TmsTest::RecordingThread;
using TmsTest::setUpThread;
using TmsTest::waitFor;

namespace {

using RecordingSystemThread = TmsTest::Recording<TMS::SystemThread>;

// The order in which several threads changed status, as one list.
class Journal {
public:
    void add(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_back(entry);
    }
    std::vector<std::string> entries() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

class Child : public RecordingThread {
public:
    Child(Journal& journal) : RecordingThread(1), m_journal(journal) {}

protected:
    JLIB::JResult onChangeStatus(uint32_t status, const TMS::ArgumentMap& arguments) override
    {
        if (status == TMS::kStatusRun) m_journal.add(std::string("+") + getThreadName());
        if (status == TMS::kStatusClosing) m_journal.add(std::string("-") + getThreadName());
        return RecordingThread::onChangeStatus(status, arguments);
    }

private:
    Journal& m_journal;
};

class SystemThreadTest : public testing::Test {
protected:
    TMS::TMSystem m_system;  // first: outlives the threads
};

}  // namespace

TEST_F(SystemThreadTest, AddThreadTakesOnlySetUpThreadsOnce)
{
    RecordingSystemThread root(1);
    ASSERT_TRUE(setUpThread(root, "Root"));
    RecordingThread unset(1);
    RecordingThread child(1);
    ASSERT_TRUE(setUpThread(child, "Child", 1));
    EXPECT_EQ(0x80000000u, root.addThread(unset));
    EXPECT_EQ(0x80000000u, root.addThread(TMS::getNullThread()));
    EXPECT_EQ(0u, root.addThread(child));
    EXPECT_EQ(0x80000003u, root.addThread(child));
    EXPECT_TRUE(root.isChildThreadsStarted(3));  // a stage without children counts as started
    EXPECT_FALSE(root.isAllChildThreadsReleased());  // the child may already run (staged start in STOP)
    EXPECT_EQ(0u, root.release());
    EXPECT_EQ(TMS::kStatusUninitialized, child.getStatus());
}

TEST_F(SystemThreadTest, StartsStagesUpwardAndReleasesThemDownward)
{
    Journal journal;
    RecordingSystemThread root(1);
    Child c1(journal), c2a(journal), c2b(journal), c4(journal);
    ASSERT_TRUE(setUpThread(c1, "C1", 1));
    ASSERT_TRUE(setUpThread(c2a, "C2a", 2));
    ASSERT_TRUE(setUpThread(c2b, "C2b", 2));
    ASSERT_TRUE(setUpThread(c4, "C4", 4));
    // Children join during the parent's set-up, as the system does, before its loop runs.
    root.onInit = [&] {
        for (TMS::AbstractThread* child : {&c1, &c2a, &c2b, &c4}) EXPECT_EQ(0u, root.addThread(*child));
    };
    ASSERT_TRUE(setUpThread(root, "Root"));
    ASSERT_EQ(0u, root.start(TMS::getNullDataMap()));
    ASSERT_TRUE(waitFor([&] { return root.getPhase() == TMS::SystemThread::kPhaseAllStarted; }, 5s));
    EXPECT_TRUE(root.isAllChildThreadsStarted());

    ASSERT_EQ(0u, root.release());  // the test's main thread waits for the whole release
    const std::vector<std::string> expected = {"+C1", "+C2a", "+C2b", "+C4", "-C4", "-C2b", "-C2a", "-C1"};
    EXPECT_EQ(expected, journal.entries());
    EXPECT_EQ(TMS::kStatusUninitialized, root.getStatus());
    EXPECT_EQ(TMS::SystemThread::kPhaseReleased, root.getPhase());
    for (TMS::AbstractThread* child : {&c1, &c2a, &c2b, &c4}) {
        EXPECT_EQ(TMS::kStatusUninitialized, child->getStatus());
        EXPECT_EQ(TMS::AbstractThread::kNoId, child->getTaskId());
    }
    EXPECT_TRUE(TMS::getThreadByName("C1").isNull());
    EXPECT_EQ(1u, root.count("final"));
    EXPECT_EQ(0u, root.release());  // released already: nothing to do
}

TEST_F(SystemThreadTest, StageLinesNameEveryStageWorkedOn)
{
    RecordingSystemThread root(1);
    RecordingThread c1(1), c3(1);
    ASSERT_TRUE(setUpThread(c1, "C1", 1));
    ASSERT_TRUE(setUpThread(c3, "C3", 3));
    root.onInit = [&] {
        EXPECT_EQ(0u, root.addThread(c1));
        EXPECT_EQ(0u, root.addThread(c3));
    };
    ASSERT_TRUE(setUpThread(root, "Root"));
    ASSERT_EQ(0u, root.start(TMS::getNullDataMap()));
    ASSERT_TRUE(waitFor([&] { return root.getPhase() == TMS::SystemThread::kPhaseAllStarted; }, 5s));
    // Log lines are kept until the ring is taken apart: look before the release.
    for (const char* line : {"[i] SystemThread[Root]::startChildThreads - (stage = 1)\n",
                             "[i] SystemThread[Root]::startChildThreads - C1\n",
                             "[i] SystemThread[Root]::startChildThreads - (stage = 3)\n",
                             "[i] SystemThread[Root]::startChildThreads - C3\n"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(TmsTest::hasLogLine(root, line));
    }
    EXPECT_FALSE(TmsTest::hasLogLine(root, "[i] SystemThread[Root]::startChildThreads - (stage = 2)\n"));

    // A framework thread asking for the root's release gets 0 at once; the root ends on its own.
    std::atomic<JLIB::JResult> asked{0xFFFFFFFFu};
    c1.onUserMessage = [&](const TMS::AbstractMessage&) { asked = root.release(); };
    TMS::AbstractMessage message;
    ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 1));
    ASSERT_EQ(0u, message.send("C1"));
    EXPECT_EQ(0u, root.waitForRelease());
    EXPECT_EQ(0u, asked.load());
    EXPECT_EQ(TMS::kStatusUninitialized, c1.getStatus());
    EXPECT_EQ(TMS::kStatusUninitialized, c3.getStatus());
}

TEST_F(SystemThreadTest, ParentWithoutChildrenClosesWhenReleased)
{
    RecordingSystemThread root(1);
    ASSERT_TRUE(setUpThread(root, "Alone"));
    EXPECT_TRUE(root.isAllChildThreadsReleased());
    EXPECT_EQ(0u, root.release());
    EXPECT_EQ(TMS::kStatusUninitialized, root.getStatus());
    const std::vector<std::string> expected = {"status:OPENING", "init", "status:STOP", "final", "status:CLOSED"};
    EXPECT_EQ(expected, root.records());  // closes without a CLOSING hook
}

TEST_F(SystemThreadTest, FlushedParametersReachTheRootAndEveryChild)
{
    static const TMS::SystemInfoNodeStruct rows[] = {
        {"PDBState", 1, 0, 1, "0", "4", "0"},
        {"VDPState", 1, 0, 2, "0", "10", "0"},
    };
    RecordingSystemThread root(1);
    RecordingThread writer(1), reader(1);
    // A tick wakes them for the changes deferred while they were stopped.
    ASSERT_TRUE(setUpThread(writer, "Writer", 0, 10));
    ASSERT_TRUE(setUpThread(reader, "Reader", 0, 10));
    // The root declares the rows, then takes its children, all during its own set-up.
    root.onInit = [&] {
        EXPECT_EQ(0u, root.addSystemInfo(rows, 2));
        EXPECT_EQ(0u, root.addThread(writer));
        EXPECT_EQ(0u, root.addThread(reader));
    };
    ASSERT_TRUE(setUpThread(root, "Root"));

    // Each child reports what its hook sees of "PDBState": changed or not, and the value.
    std::mutex seenMutex;
    std::vector<std::string> seenByReader, seenByWriter, seenByRoot;
    auto watch = [&](TMS::AbstractThread& thread, std::vector<std::string>& seen) {
        return [&thread, &seen, &seenMutex] {
            JVariant value;
            (void)thread.getSysParam(value, "PDBState", 0);  // read after the change test below
            const bool changed = thread.isSysParamChanged("PDBState", 0, true);
            (void)thread.getSysParam(value, "PDBState", 0);
            std::lock_guard<std::mutex> lock(seenMutex);
            seen.push_back((changed ? "*" : "") + std::to_string(value.toInt32()));
        };
    };
    reader.onSystemInfo = watch(reader, seenByReader);
    writer.onSystemInfo = watch(writer, seenByWriter);
    root.onSystemInfo = watch(root, seenByRoot);
    auto seen = [&](std::vector<std::string>& list) {
        std::lock_guard<std::mutex> lock(seenMutex);
        return list;
    };

    ASSERT_EQ(0u, root.start(TMS::getNullDataMap()));  // children of stage 0 start with it
    ASSERT_TRUE(waitFor([&] { return !seen(seenByReader).empty() && !seen(seenByWriter).empty(); }, 2s));
    EXPECT_EQ("*0", seen(seenByReader).front());  // a new child takes the whole table, all marked

    // The writer records twice and flushes once, then flushes a value outside the range.
    std::atomic<int> ownValueAfterFlush{-1};
    writer.onUserMessage = [&](const TMS::AbstractMessage& message) {
        if (message.messageId() == 1) {
            EXPECT_EQ(0u, writer.setSysParam("PDBState", 0, JVariant(2)));
            EXPECT_EQ(0u, writer.setSysParam("PDBState", 0, JVariant(1)));
            EXPECT_EQ(0u, writer.flushSysParam());
            JVariant value;
            (void)writer.getSysParam(value, "PDBState", 0);
            ownValueAfterFlush = value.toInt32();
        } else if (message.messageId() == 2) {
            EXPECT_EQ(0u, writer.setSysParam("PDBState", 0, JVariant(7)));
            EXPECT_EQ(0u, writer.flushSysParam());
        } else {
            EXPECT_EQ(0u, writer.setSysParam("PDBState", 0, JVariant(7)));  // the same value again
            EXPECT_EQ(0u, writer.flushSysParam());
            EXPECT_EQ(0u, writer.setSysParam("Unknown", 0, JVariant(1)));
            EXPECT_EQ(0x80000000u, writer.flushSysParam());  // skipped at the merge
        }
    };
    for (uint32_t id = 1; id <= 3; ++id) {
        SCOPED_TRACE(id);
        const size_t before = seen(seenByReader).size();
        TMS::AbstractMessage message;
        ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, id));
        ASSERT_EQ(0u, message.send("Writer"));
        ASSERT_TRUE(waitFor([&] { return seen(seenByReader).size() > before; }, 2s));
    }
    EXPECT_EQ(0, ownValueAfterFlush.load());  // the own table changes only on the hand-down
    ASSERT_TRUE(waitFor([&] { return seen(seenByReader).size() >= 4 && seen(seenByWriter).size() >= 4; }, 2s));

    const std::vector<std::string> byReader = seen(seenByReader);
    const std::vector<std::string> reader4(byReader.begin(), byReader.begin() + 4);
    EXPECT_EQ((std::vector<std::string>{"*0", "*1", "*7", "7"}), reader4);  // 2 never travelled; 7 is not clamped
    EXPECT_EQ("*1", seen(seenByWriter)[1]);
    const std::vector<std::string> byRoot = seen(seenByRoot);
    ASSERT_GE(byRoot.size(), 2u);
    EXPECT_EQ("*1", byRoot[0]);  // the root's hook was watched only from the first flush on
    EXPECT_EQ("*7", byRoot[1]);
    EXPECT_TRUE(TmsTest::hasLogLine(root, "    [PDBState] = 1*\n"));
    EXPECT_EQ(0u, root.release());
}
