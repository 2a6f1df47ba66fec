#include "TMS/ThreadLogger.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "TMS/TMSMutex.h"
#include "jlib/jlib_cfg.h"

namespace {

struct Logger {
    TMS::TMSMutex lock{"TMSThread"};
    TMS::ThreadLogger log;
};

}  // namespace

TEST(ThreadLoggerTest, KeepsTheNewestLinesOldestFirst)
{
    Logger l;
    ASSERT_EQ(0u, l.log.initialize(&l.lock, "Worker", 3));
    EXPECT_EQ(1u, l.log.initialize(&l.lock, "Again", 3));
    EXPECT_STREQ("Worker", l.log.threadName());
    testing::internal::CaptureStdout();
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(0u, l.log.add("line %d\n", i));
    EXPECT_EQ("line 1\nline 2\nline 3\nline 4\nline 5\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(3u, l.log.size());

    struct Case { uint32_t index; uint32_t result; const char* text; };
    const Case cases[] = {{0, 0, "line 3\n"}, {2, 0, "line 5\n"}, {3, 0x80000007u, ""}, {99, 0x80000007u, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        char buffer[32];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(c.result, l.log.get(c.index, buffer, sizeof buffer));
        EXPECT_STREQ(c.text, buffer);
    }
    char small[4];
    EXPECT_EQ(0u, l.log.get(0, small, sizeof small));
    EXPECT_STREQ("lin", small);

    EXPECT_EQ(0u, l.log.clear());
    EXPECT_EQ(0u, l.log.size());
}

TEST(ThreadLoggerTest, LongLinesAreCutAndPercentSignsPassUnchanged)
{
    Logger l;
    ASSERT_EQ(0u, l.log.initialize(&l.lock, "Worker", 2));
    const std::string longLine(300, 'a');
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, l.log.add("%s", longLine.c_str()));
    EXPECT_EQ(0u, l.log.add("%s", "100%d done %s"));
    EXPECT_EQ(longLine.substr(0, 255) + "100%d done %s", testing::internal::GetCapturedStdout());
    EXPECT_STREQ("ThreadLogger", jlib_cfg_lastFileName());
    EXPECT_EQ(107, jlib_cfg_lastLineNum());
    char buffer[300];
    ASSERT_EQ(0u, l.log.get(0, buffer, sizeof buffer));
    EXPECT_EQ(longLine.substr(0, 255), buffer);
}

TEST(ThreadLoggerTest, RefusesWorkWithoutLockOrRing)
{
    TMS::ThreadLogger log;
    char buffer[8] = "x";
    EXPECT_EQ(0x80000004u, log.initialize(nullptr, "Worker", 3));
    EXPECT_EQ(0x80000004u, log.add("x"));
    EXPECT_EQ(0x80000004u, log.clear());
    EXPECT_EQ(0x80000004u, log.release());
    EXPECT_EQ(0x80000004u, log.get(0, buffer, sizeof buffer));
    EXPECT_EQ(0x80000002u, log.get(0, nullptr, 8));  // checked before the lock
    EXPECT_EQ(0x80000002u, log.get(0, buffer, 0));
    EXPECT_EQ(0u, log.size());
    EXPECT_STREQ("", log.threadName());

    TMS::TMSMutex lock;
    EXPECT_EQ(0x80000000u, log.initialize(&lock, "Worker", 0));
    EXPECT_STREQ("", log.threadName());
    EXPECT_EQ(0x80000000u, log.add("x"));
    EXPECT_EQ(0x80000000u, log.clear());
    EXPECT_EQ(0x80000000u, log.get(0, buffer, sizeof buffer));

    ASSERT_EQ(0u, log.initialize(&lock, "Worker", 1));
    EXPECT_EQ(0u, log.release());
    EXPECT_STREQ("", log.threadName());
    EXPECT_EQ(0x80000000u, log.add("x"));
    EXPECT_EQ(0u, log.initialize(&lock, "Again", 1));  // made afresh after release
    EXPECT_STREQ("Again", log.threadName());
}

TEST(ThreadLoggerTest, LinesFromSeveralTasksStayWhole)
{
    Logger l;
    ASSERT_EQ(0u, l.log.initialize(&l.lock, "Worker", 1000));
    testing::internal::CaptureStdout();
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&l, t] {
            for (int i = 0; i < 200; ++i) (void)l.log.add("writer %d line %d\n", t, i);
        });
    }
    for (std::thread& w : writers) w.join();
    (void)testing::internal::GetCapturedStdout();
    ASSERT_EQ(800u, l.log.size());
    int next[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < 800; ++i) {
        char line[64];
        ASSERT_EQ(0u, l.log.get(i, line, sizeof line));
        int t = -1;
        int n = -1;
        ASSERT_EQ(2, sscanf(line, "writer %d line %d\n", &t, &n)) << line;
        ASSERT_TRUE(t >= 0 && t < 4);
        EXPECT_EQ(next[t]++, n);  // each writer's lines in its own order
    }
}
