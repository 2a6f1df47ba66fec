#include "FileCache/FolderWatcher/fw_FileWatcher.h"

#include <gtest/gtest.h>

#include <vector>

#include "FileCache/FolderWatcher/RecordingListener.h"
#include "FileCache/TempFolder.h"

TEST(FileWatcherTest, HandsOutIdsInTurnAndAllOnesWhenFull)
{
    TempFolder dir;
    FW::FileWatcher watcher;
    RecordingListener listener;
    for (FW::WatchID expected = 1; expected <= 20; ++expected) {
        EXPECT_EQ(expected, watcher.addWatch(dir.path(), &listener));
    }
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, watcher.addWatch(dir.path(), &listener));

    // A full table: the freed slot is the only one, so it comes back at once.
    watcher.removeWatch(FW::WatchID{7});
    EXPECT_EQ(7u, watcher.addWatch(dir.path(), &listener));
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, watcher.addWatch(dir.path(), &listener));
}

TEST(FileWatcherTest, ReusesAFreedSlotOnlyWhenItsTurnComes)
{
    TempFolder dir;
    FW::FileWatcher watcher;
    EXPECT_EQ(1u, watcher.addWatch(dir.path(), nullptr));
    EXPECT_EQ(2u, watcher.addWatch(dir.path(), nullptr));
    EXPECT_EQ(3u, watcher.addWatch(dir.path(), nullptr));
    watcher.removeWatch(FW::WatchID{1});
    EXPECT_EQ(4u, watcher.addWatch(dir.path(), nullptr));

    // One watch at a time, as a listing holds: ids run 1..20 and wrap to 1.
    FW::FileWatcher single;
    std::vector<FW::WatchID> ids;
    for (int i = 0; i < 21; ++i) {
        const FW::WatchID id = single.addWatch(dir.path(), nullptr);
        ids.push_back(id);
        single.removeWatch(id);
    }
    EXPECT_EQ(1u, ids.front());
    EXPECT_EQ(20u, ids[19]);
    EXPECT_EQ(1u, ids[20]);
}

TEST(FileWatcherTest, RemovingAnUnknownWatchChangesNothing)
{
    TempFolder dir;
    FW::FileWatcher watcher;
    EXPECT_EQ(1u, watcher.addWatch(dir.path(), nullptr));
    watcher.removeWatch(FW::WatchID{5});
    watcher.removeWatch(FW::kInvalidWatchID);
    watcher.removeWatch(dir.path() + "/");  // folder texts are compared exactly
    watcher.removeWatch(std::string("/nowhere"));
    EXPECT_EQ(2u, watcher.addWatch(dir.path(), nullptr));

    // By folder: the first in id order goes, so slot 1 is free when the turn wraps round.
    watcher.removeWatch(dir.path());
    for (FW::WatchID expected = 3; expected <= 20; ++expected) EXPECT_EQ(expected, watcher.addWatch("x", nullptr));
    EXPECT_EQ(1u, watcher.addWatch("x", nullptr));
}

TEST(FileWatcherTest, UpdateReportsNothingWhileNoWatchIsMarked)
{
    TempFolder dir;
    dir.write("a.txt", "1");
    FW::FileWatcher watcher;
    RecordingListener listener;
    ASSERT_EQ(1u, watcher.addWatch(dir.path(), &listener));
    dir.write("b.txt", "2");
    std::filesystem::remove(dir.file("a.txt"));
    watcher.update();
    EXPECT_TRUE(listener.reports.empty());
}
