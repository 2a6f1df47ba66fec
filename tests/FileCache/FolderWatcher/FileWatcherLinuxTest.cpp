#include "FileCache/FolderWatcher/fw_FileWatcherLinux.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileCache/FolderWatcher/RecordingListener.h"
#include "FileCache/TempFolder.h"

using FW::Actions::Action;

namespace {

void setModified(const std::string& path, time_t seconds, long nanoseconds = 0)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, nanoseconds}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
}

// A watcher with one watch on a temp folder, checked through its change source.
class FileWatcherLinuxTest : public testing::Test {
protected:
    void watch() { ASSERT_EQ(1u, m_watcher.addWatch(m_dir.path(), &m_listener)); }
    std::vector<Report> check()
    {
        m_listener.reports.clear();
        m_watcher.serviceEvents();
        m_watcher.update();
        return m_listener.reports;
    }
    Report report(const std::string& name, Action action) const { return {1, m_dir.path(), name, action}; }

    TempFolder m_dir;
    RecordingListener m_listener;
    FW::FileWatcherLinux m_watcher;
};

}  // namespace

TEST_F(FileWatcherLinuxTest, ReportsDeletionsFirstThenAdditionsAndModificationsInKeyOrder)
{
    for (const char* name : {"a.txt", "c.txt", "e.txt", "g.txt"}) m_dir.write(name, "x");
    setModified(m_dir.file("c.txt"), 1000);
    setModified(m_dir.file("e.txt"), 1000);
    watch();

    std::filesystem::remove(m_dir.file("g.txt"));
    std::filesystem::remove(m_dir.file("a.txt"));
    m_dir.write("f.txt", "new");
    m_dir.write("b.txt", "new");
    setModified(m_dir.file("e.txt"), 2000);
    setModified(m_dir.file("c.txt"), 1000, 1);  // a nanosecond later still counts

    const std::vector<Report> expected = {
        report("a.txt", FW::Actions::Delete), report("g.txt", FW::Actions::Delete),
        report("b.txt", FW::Actions::Add),    report("c.txt", FW::Actions::Modified),
        report("e.txt", FW::Actions::Modified), report("f.txt", FW::Actions::Add),
    };
    EXPECT_EQ(expected, check());
    // The snapshot has caught up: nothing more to tell.
    setModified(m_dir.file("b.txt"), 1);  // an earlier time is not a change
    EXPECT_TRUE(check().empty());
}

TEST_F(FileWatcherLinuxTest, OnlyALaterModificationTimeCounts)
{
    m_dir.write("a.txt", "short");
    setModified(m_dir.file("a.txt"), 5000);
    watch();

    // Same time, other size and mode: no report.
    m_dir.write("a.txt", "much longer content");
    ASSERT_EQ(0, chmod(m_dir.file("a.txt").c_str(), 0600));
    setModified(m_dir.file("a.txt"), 5000);
    EXPECT_TRUE(check().empty());

    // Replaced by another file of that name with a later time: modified, not deleted and added.
    std::filesystem::remove(m_dir.file("a.txt"));
    m_dir.write("a.txt", "again");
    setModified(m_dir.file("a.txt"), 6000);
    EXPECT_EQ(std::vector<Report>{report("a.txt", FW::Actions::Modified)}, check());
}

TEST_F(FileWatcherLinuxTest, WalksSubFoldersAndKeysByRelativePath)
{
    std::filesystem::create_directories(m_dir.file("old/deep"));
    m_dir.write("old/deep/x", "1");
    m_dir.write("old/y", "1");
    m_dir.write(".hidden", "1");
    watch();

    std::filesystem::create_directory(m_dir.file("sub"));
    EXPECT_TRUE(check().empty());  // an empty folder is no file

    m_dir.write("sub/a.txt", "1");  // the change source watches new folders after a walk
    std::filesystem::remove_all(m_dir.file("old"));
    std::filesystem::remove(m_dir.file(".hidden"));
    const std::vector<Report> expected = {
        report(".hidden", FW::Actions::Delete), report("old/deep/x", FW::Actions::Delete),
        report("old/y", FW::Actions::Delete), report("sub/a.txt", FW::Actions::Add)};
    EXPECT_EQ(expected, check());
}

TEST_F(FileWatcherLinuxTest, AVanishedFolderReportsEveryFileDeleted)
{
    m_dir.write("b", "1");
    m_dir.write("a", "1");
    const std::string folder = m_dir.path() + "/w";
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/z") << "1";
    std::ofstream(folder + "/m") << "1";
    ASSERT_EQ(1u, m_watcher.addWatch(folder, &m_listener));
    std::filesystem::remove_all(folder);
    m_watcher.serviceEvents();
    m_watcher.update();
    const std::vector<Report> expected = {{1, folder, "m", FW::Actions::Delete},
                                          {1, folder, "z", FW::Actions::Delete}};
    EXPECT_EQ(expected, m_listener.reports);
}

TEST_F(FileWatcherLinuxTest, AListenerMayRemoveItsWatchWhileHearing)
{
    m_dir.write("a", "1");
    m_dir.write("b", "1");
    struct Remover : FW::FileWatchListener {
        FW::FileWatcherLinux* watcher = nullptr;
        int heard = 0;
        void handleFileAction(FW::WatchID id, const std::string&, const std::string&, Action) override
        {
            ++heard;
            watcher->removeWatch(id);
        }
    } remover;
    remover.watcher = &m_watcher;
    ASSERT_EQ(1u, m_watcher.addWatch(m_dir.path(), &remover));
    std::filesystem::remove(m_dir.file("a"));
    std::filesystem::remove(m_dir.file("b"));
    m_watcher.serviceEvents();
    m_watcher.update();
    EXPECT_EQ(1, remover.heard);
    EXPECT_EQ(2u, m_watcher.addWatch(m_dir.path(), nullptr));  // the turn moved on
}

TEST(FileWatcherLinuxHelpersTest, ComparesTimesAndJoinsNames)
{
    struct Case { struct timespec a, b; int sign; };
    const Case cases[] = {
        {{1, 0}, {2, 0}, -1},
        {{2, 0}, {1, 999999999}, 1},
        {{-1, 0}, {0, 0}, -1},  // seconds compare signed
        {{3, 5}, {3, 5}, 0},
        {{3, 7}, {3, 5}, 1},
        {{3, 5}, {3, 7}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.tv_sec << "." << c.a.tv_nsec << " vs " << c.b.tv_sec);
        const int32_t r = FW::_timespec_compare(c.a, c.b);
        EXPECT_EQ(c.sign, (r > 0) - (r < 0));
    }
    EXPECT_EQ(2, FW::_timespec_compare({3, 7}, {3, 5}));
    EXPECT_EQ("", FW::connectName("dir", nullptr));
    EXPECT_EQ("a", FW::connectName("", "a"));
    EXPECT_EQ("dir/a", FW::connectName("dir", "a"));
}
