#include "oswrap/internal/osw_syncobj.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>

TEST(osw_syncobjTest, KeepsOneBytePendingHoweverOftenSignalled)
{
    OSWRAP::detail::SyncObj obj;
    ASSERT_EQ(0u, OSWRAP::detail::initSyncObj(&obj));
    EXPECT_EQ(0u, OSWRAP::detail::setSyncObj(&obj));
    EXPECT_EQ(0u, OSWRAP::detail::setSyncObj(&obj));
    EXPECT_GT(OSWRAP::detail::waitSyncObj(&obj, 1000, true), 0);

    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(0, OSWRAP::detail::waitSyncObj(&obj, 30, true));
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(30));

    // A wait without consuming leaves the byte for the next wait.
    EXPECT_EQ(0u, OSWRAP::detail::setSyncObj(&obj));
    EXPECT_GT(OSWRAP::detail::waitSyncObj(&obj, 0, false), 0);
    EXPECT_GT(OSWRAP::detail::waitSyncObj(&obj, 0, false), 0);
    EXPECT_EQ(0u, OSWRAP::detail::clearSyncObj(&obj));
    EXPECT_EQ(0, OSWRAP::detail::waitSyncObj(&obj, 0, false));
    EXPECT_EQ(0u, OSWRAP::detail::destroySyncObj(&obj));
}

TEST(osw_syncobjTest, RemovesItsPathAndChecksItsState)
{
    OSWRAP::detail::SyncObj obj;
    EXPECT_EQ(0x80000008u, OSWRAP::detail::setSyncObj(&obj));
    EXPECT_EQ(0x80000008u, OSWRAP::detail::clearSyncObj(&obj));
    EXPECT_EQ(0x80000008u, OSWRAP::detail::destroySyncObj(&obj));
    EXPECT_EQ(-1, OSWRAP::detail::waitSyncObj(&obj, 0, true));

    ASSERT_EQ(0u, OSWRAP::detail::initSyncObj(&obj));
    EXPECT_EQ(0x80000008u, OSWRAP::detail::initSyncObj(&obj));
    char expected[108];
    std::snprintf(expected, sizeof(expected), "/tmp/Jovrix_PID%d_FD%d.sock", static_cast<int>(getpid()), obj.fd);
    EXPECT_STREQ(expected, obj.address.sun_path);
    struct stat st;
    EXPECT_NE(0, stat(expected, &st)) << "the path stays behind";
    EXPECT_EQ(-1, OSWRAP::detail::waitSyncObj(&obj, -2, true));
    EXPECT_EQ(0u, OSWRAP::detail::destroySyncObj(&obj));
    EXPECT_EQ(-1, obj.fd);
    EXPECT_EQ(0x80000008u, OSWRAP::detail::destroySyncObj(&obj));

    EXPECT_EQ(0x80000005u, OSWRAP::detail::initSyncObj(nullptr));
    EXPECT_EQ(0x80000005u, OSWRAP::detail::setSyncObj(nullptr));
    EXPECT_EQ(0x80000005u, OSWRAP::detail::clearSyncObj(nullptr));
    EXPECT_EQ(0x80000005u, OSWRAP::detail::destroySyncObj(nullptr));
    EXPECT_EQ(-1, OSWRAP::detail::waitSyncObj(nullptr, 0, true));
}

TEST(osw_syncobjTest, MakingFailsWhenThePathIsTaken)
{
    // The next socket gets the lowest free descriptor; a file under that name makes bind fail.
    const int probe = dup(0);
    ASSERT_GE(probe, 0);
    char path[108];
    std::snprintf(path, sizeof(path), "/tmp/Jovrix_PID%d_FD%d.sock", static_cast<int>(getpid()), probe);
    close(probe);
    FILE* f = std::fopen(path, "w");
    ASSERT_NE(nullptr, f);
    std::fclose(f);

    OSWRAP::detail::SyncObj obj;
    EXPECT_EQ(0x80000013u, OSWRAP::detail::initSyncObj(&obj));
    EXPECT_EQ(-1, obj.fd);
    std::remove(path);
    EXPECT_EQ(0u, OSWRAP::detail::initSyncObj(&obj));
    EXPECT_EQ(0u, OSWRAP::detail::destroySyncObj(&obj));
}
