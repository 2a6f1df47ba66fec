#include "FileCache/fcache_VDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FileCache/TempFolder.h"

using FILECACHE::IVDirTreeCallback;
using FILECACHE::VDir;

namespace {

// Every callback call, reason and name ("(null)" for none).
class RecordingCallback : public IVDirTreeCallback {
public:
    JLIB::JResult onDirStatusChanged(ChangeReason reason, const char* name) override
    {
        calls.emplace_back(static_cast<int>(reason), name ? name : "(null)");
        return 0;
    }
    std::vector<std::pair<int, std::string>> calls;
};

// The listed names with "/" appended to folders, in list order.
std::vector<std::string> listed(const VDir& dir)
{
    std::vector<std::string> out;
    for (auto it = dir.begin(); it != dir.end(); ++it) {
        out.push_back(std::string((*it)->name()) + ((*it)->isDir() ? "/" : ""));
    }
    return out;
}

std::set<std::string> listedSet(const VDir& dir)
{
    const std::vector<std::string> names = listed(dir);
    return std::set<std::string>(names.begin(), names.end());
}

void touch(const TempFolder& folder, std::initializer_list<const char*> names)
{
    for (const char* name : names) folder.write(name, "x");
}

}  // namespace

TEST(VDirTest, FormatPathDropsEmptyAndDotParts)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"/a//b/./c/", "/a/b/c"}, {"a/./b/", "a/b"}, {"/", ""}, {".", ""}, {"", ""},
        {"a/../b", "a/../b"},     {"//x", "/x"},     {"./x/.", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string path = c.in;
        EXPECT_EQ(0u, VDir::formatPath(path));
        EXPECT_EQ(c.out, path);
    }
}

TEST(VDirTest, WildCardMatchingIsByteExactWithStarAndQuestionMark)
{
    struct Case { const char* name; const char* pattern; bool match; };
    const Case cases[] = {
        {"abc", "a*", true},     {"abc", "*c", true},       {"abc", "a?c", true},   {"", "*", true},
        {"abc", "A*", false},    {"abc", "", false},        {"", "", true},         {"ab", "a?c", false},
        {"sub/a.txt", "*.txt", true}, {"abc", "*b*", true}, {"abc", "a*b*c*", true}, {"abc", "abc?", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*a*c", false},
        {"x", nullptr, false},   {nullptr, "*", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.name ? c.name : "(null)") << " ~ " << (c.pattern ? c.pattern : "(null)"));
        EXPECT_EQ(c.match, VDir::wildCardMatching(c.name, c.pattern));
    }
    struct Ext { const char* name; const char* extension; };
    const Ext extensions[] = {{"a.txt", "txt"}, {"sub.d/a", "d/a"}, {".rc", ""}, {"none", ""}, {nullptr, ""}};
    for (const Ext& e : extensions) EXPECT_EQ(e.extension, VDir::getExtention(e.name));
}

TEST(VDirTest, SortsFilesByStemThenFullName)
{
    TempFolder folder;
    touch(folder, {"b.txt", "a.txt", "a-b.txt"});
    std::filesystem::create_directory(folder.file("a"));
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 10, false));
    EXPECT_EQ(0u, dir.sort(true));
    EXPECT_EQ((std::vector<std::string>{"a/", "a.txt", "a-b.txt", "b.txt"}), listed(dir));
    EXPECT_EQ(0u, dir.sort(false));
    EXPECT_EQ((std::vector<std::string>{"b.txt", "a-b.txt", "a.txt", "a/"}), listed(dir));
}

TEST(VDirTest, BasePathBoundsTheItemCount)
{
    TempFolder folder;
    VDir dir(false);
    EXPECT_EQ(0x80000000u, dir.setBasePath(folder.path().c_str(), 0, true));
    EXPECT_STREQ("", dir.currentDir());
    EXPECT_EQ(0x80000000u, dir.setBasePath("/", 5, false));  // normalises to nothing

    const std::string base = folder.path() + "//made/./here/";
    ASSERT_EQ(0u, dir.setBasePath(base.c_str(), 128, true));
    EXPECT_EQ(folder.path() + "/made/here", dir.currentDir());
    for (int i = 0; i < 130; ++i) ASSERT_EQ(0u, dir.makeFile(("f" + std::to_string(i)).c_str(), false));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, dir.makeFile("one-more", false));
    EXPECT_EQ(0x80000000u, dir.makeDir("one-more", false));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, log.find("[E] VDir::makeFile - too many files and directories!\n"));
    EXPECT_NE(std::string::npos, log.find("[E] VDir::makeDir - too many files and directories!\n"));
    EXPECT_EQ(130u, dir.itemNum());

    // A scan stops at the first entry over the limit.
    VDir small(false);
    touch(folder, {"a", "b", "c", "d"});
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, small.setBasePath(folder.path().c_str(), 1, false));  // entered, though listed short
    (void)testing::internal::GetCapturedStdout();
    EXPECT_EQ(3u, small.itemNum());
    EXPECT_EQ(0x80000000u, small.refresh(false));
}

TEST(VDirTest, ChDirMovesWithinTheBaseFolder)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.file("sub/inner"));
    std::filesystem::create_directories(folder.file("outside"));
    touch(folder, {"top.txt", "sub/s.txt", "sub/inner/i.txt"});
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 20, false));
    RecordingCallback callback;
    ASSERT_EQ(0u, dir.startWatching(&callback, false));

    struct Case { const char* target; JLIB::JResult result; const char* current; std::set<std::string> items; };
    const std::string base = folder.path();
    const Case cases[] = {
        {"..", 0x80000000u, "", {"outside/", "sub/", "top.txt"}},
        {"top.txt", 0x80000000u, "", {"outside/", "sub/", "top.txt"}},
        {"missing", 0x80000000u, "", {"outside/", "sub/", "top.txt"}},
        {"../outside", 0x80000000u, "", {"outside/", "sub/", "top.txt"}},
        {"sub/../../x", 0x80000000u, "", {"outside/", "sub/", "top.txt"}},
        {"/sub", 0, "/sub", {"inner/", "s.txt"}},
        {"inner", 0, "/sub/inner", {"i.txt"}},
        {"/sub/../..", 0x80000000u, "/sub/inner", {"i.txt"}},
        {"..", 0, "/sub", {"inner/", "s.txt"}},
        {"/", 0, "", {"outside/", "sub/", "top.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.result, dir.chDir(false, c.target, false));
        (void)testing::internal::GetCapturedStdout();
        EXPECT_EQ(base + c.current, dir.currentDir());
        EXPECT_EQ(c.items, listedSet(dir));
        EXPECT_TRUE(dir.isWatching());
    }
    // Each entered folder told the callback once, with no name.
    EXPECT_EQ(4u, callback.calls.size());
    for (const auto& call : callback.calls) EXPECT_EQ(std::make_pair(4, std::string("(null)")), call);

    // Already in the base: no relisting, no callback unless forced.
    ASSERT_EQ(0u, dir.deleteEntry("top.txt"));
    EXPECT_EQ(0u, dir.chDir(false, nullptr, false));
    EXPECT_EQ(2u, dir.itemNum());
    EXPECT_EQ(4u, callback.calls.size());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dir.chDir(false, nullptr, true));
    (void)testing::internal::GetCapturedStdout();
    EXPECT_EQ(3u, dir.itemNum());
    EXPECT_EQ(5u, callback.calls.size());

    VDir unset(false);
    EXPECT_EQ(0x80000000u, unset.chDir(false, "/tmp", true));
    EXPECT_STREQ("", unset.currentDir());
}

TEST(VDirTest, FolderDetectionDotEntriesAndDepths)
{
    TempFolder folder;
    std::filesystem::create_directories(folder.file("d1"));
    std::filesystem::create_directories(folder.file("d2/deep"));
    touch(folder, {"f.txt", "d1/x", "d2/y", "d2/deep/z", "bad:name"});

    struct Case {
        const char* label;
        bool dots, detect, recursive;
        int32_t depth;
        JLIB::JResult result;
        std::set<std::string> items;
    };
    const Case cases[] = {
        {"plain", false, true, false, -1, 0, {"d1/", "d2/", "f.txt", ""}},
        {"dot entries", true, true, false, -1, 0, {"./", "../", "d1/", "d2/", "f.txt", ""}},
        {"no detection", false, false, false, -1, 0, {"d1", "d2", "f.txt", ""}},
        {"recursive", false, true, true, -1, 0,
         {"d1/", "d1/x", "d2/", "d2/y", "d2/deep/", "d2/deep/z", "f.txt", ""}},
        {"depth 0", false, true, true, 0, 0, {"d1", "d2", "f.txt", ""}},
        {"depth 1", false, true, false, 1, 0, {"d1/", "d2/", "f.txt/", "bad:name/"}},
        {"depth 1 recursive", false, true, true, 1, 0,
         {"d1/", "d1/x", "d2/", "d2/y", "d2/deep", "f.txt/", "bad:name/"}},
        {"depth 2", false, true, false, 2, 0x80000000u, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        VDir dir(c.dots, c.detect, c.recursive);
        EXPECT_EQ(0u, dir.setFixedSubDirDepth(c.depth));
        testing::internal::CaptureStdout();
        ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 50, false));
        EXPECT_EQ(c.result, dir.refresh(false));
        (void)testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.items, listedSet(dir));
    }
}

TEST(VDirTest, AnInvalidFileNameIsListedAsANullItem)
{
    TempFolder folder;
    touch(folder, {"ok", "bad:name", "other"});
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 1, false));
    EXPECT_EQ(3u, dir.itemNum());
    EXPECT_EQ(dir.end(), dir.find(VDir::FIND_ANY, "bad*"));
    EXPECT_NE(dir.end(), dir.find(VDir::FIND_ANY, "*"));
    const auto second = dir.findNext(VDir::FIND_ANY, "*", dir.find(VDir::FIND_ANY, "*"));
    EXPECT_NE(dir.end(), second);
    EXPECT_EQ(dir.end(), dir.findNext(VDir::FIND_ANY, "*", second));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, dir.makeFile("more", false));  // the null item takes a place
    (void)testing::internal::GetCapturedStdout();
}

TEST(VDirTest, FindsByModeAndPattern)
{
    TempFolder folder;
    touch(folder, {"abc", "abd.txt"});
    std::filesystem::create_directory(folder.file("abx"));
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 10, false));
    ASSERT_EQ(0u, dir.sort(true));
    const VDir& constDir = dir;
    struct Case { VDir::FindMode mode; const char* pattern; std::vector<std::string> hits; };
    const Case cases[] = {
        {VDir::FIND_ANY, "ab?", {"abc", "abx"}},
        {VDir::FIND_FILE, "ab*", {"abc", "abd.txt"}},
        {VDir::FIND_DIR, "*", {"abx"}},
        {static_cast<VDir::FindMode>(3), "*", {}},
        {VDir::FIND_ANY, nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern ? c.pattern : "(null)");
        std::vector<std::string> hits;
        for (auto it = dir.find(c.mode, c.pattern); it != dir.end(); it = dir.findNext(c.mode, c.pattern, it))
            hits.push_back((*it)->name());
        EXPECT_EQ(c.hits, hits);
        std::vector<std::string> constHits;
        for (auto it = constDir.find(c.mode, c.pattern); it != constDir.end();
             it = constDir.findNext(c.mode, c.pattern, it))
            constHits.push_back((*it)->name());
        EXPECT_EQ(c.hits, constHits);
    }
    EXPECT_EQ(dir.end(), dir.findNext(VDir::FIND_ANY, "*", dir.end()));
}

TEST(VDirTest, RemoveRenameCopyChangeDiskAndListing)
{
    TempFolder folder;
    touch(folder, {"abc", "keep.txt"});
    std::filesystem::create_directories(folder.file("tree/inner"));
    touch(folder, {"tree/inner/f"});
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 10, false));

    EXPECT_EQ(0x80000000u, dir.remove(nullptr, false));
    EXPECT_EQ(0x80000000u, dir.remove("missing", false));
    EXPECT_NE(JLIB::kOk, dir.remove("tree", false) & 0x80000000u);  // not empty: stays listed
    EXPECT_TRUE(std::filesystem::exists(folder.file("tree")));
    EXPECT_EQ(3u, dir.itemNum());
    EXPECT_EQ(0u, dir.remove("tree", true));
    EXPECT_FALSE(std::filesystem::exists(folder.file("tree")));

    EXPECT_EQ(0u, dir.remove("a?c", false));  // names are patterns
    EXPECT_FALSE(std::filesystem::exists(folder.file("abc")));

    EXPECT_EQ(0u, dir.copy("keep.txt", "copy.txt"));
    EXPECT_EQ("x", folder.read("copy.txt"));
    EXPECT_NE(dir.end(), dir.find(VDir::FIND_FILE, "copy.txt"));
    EXPECT_EQ(0u, dir.rename("copy.txt", "moved.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.file("moved.txt")));
    EXPECT_EQ(listedSet(dir), (std::set<std::string>{"keep.txt", "moved.txt"}));
    EXPECT_EQ(0x80000000u, dir.rename("nothing", "x"));
    EXPECT_EQ(0x80000000u, dir.copy("nothing", "x"));
    EXPECT_EQ(0x80000000u, dir.rename(nullptr, "x"));

    EXPECT_EQ(0u, dir.deleteEntry("keep.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.file("keep.txt")));
    EXPECT_EQ(0x80000000u, dir.deleteEntry("keep.txt"));

    EXPECT_EQ(0u, dir.removeAll(false));
    EXPECT_EQ(0u, dir.itemNum());
    EXPECT_FALSE(std::filesystem::exists(folder.file("moved.txt")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("keep.txt")));
}

TEST(VDirTest, WatchingStartsOnceAndLogs)
{
    TempFolder folder;
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 10, false));
    RecordingCallback first;
    RecordingCallback second;
    EXPECT_EQ(0x80000000u, dir.stopWatching());
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dir.startWatching(&first, true));
    EXPECT_EQ(0u, dir.startWatching(&second, false));
    const std::string started = testing::internal::GetCapturedStdout();
    EXPECT_EQ("[i] VDir::startWatching - start to watch changes of \"" + folder.path() + "\".\n", started);
    EXPECT_TRUE(dir.isWatching());

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dir.chDir(false, nullptr, true));
    (void)testing::internal::GetCapturedStdout();
    EXPECT_EQ(1u, first.calls.size());  // the first callback stays
    EXPECT_TRUE(second.calls.empty());

    // Nothing marks a watch: a change on disk shows only after a refresh.
    folder.write("new.txt", "x");
    EXPECT_EQ(0u, dir.checkModification());
    EXPECT_EQ(0u, dir.itemNum());
    EXPECT_EQ(1u, first.calls.size());
    EXPECT_EQ(0u, dir.refresh(false));
    EXPECT_EQ(1u, dir.itemNum());

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dir.stopWatching());
    EXPECT_EQ("[i] VDir::stopWatching - stop to watch changes of \"" + folder.path() + "\".\n",
              testing::internal::GetCapturedStdout());
    EXPECT_FALSE(dir.isWatching());
    EXPECT_EQ(0x80000000u, dir.stopWatching());

    // Stopping and starting over and over never fills the watcher.
    testing::internal::CaptureStdout();
    for (int i = 0; i < 45; ++i) {
        ASSERT_EQ(0u, dir.startWatching(nullptr, false));
        ASSERT_EQ(0u, dir.stopWatching());
    }
    (void)testing::internal::GetCapturedStdout();
}

TEST(VDirTest, WatcherReportsUpdateTheListingAndReachTheCallback)
{
    TempFolder folder;
    touch(folder, {"old.txt", "mod.txt"});
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 3, false));
    RecordingCallback callback;
    testing::internal::CaptureStdout();
    ASSERT_EQ(0u, dir.startWatching(&callback, false));
    (void)testing::internal::GetCapturedStdout();
    const std::string current = dir.currentDir();
    touch(folder, {"new.txt", "late.txt"});

    struct Case { const char* name; int action; int reason; std::set<std::string> items; };
    const Case cases[] = {
        {"new.txt", 1, 1, {"old.txt", "mod.txt", "new.txt"}},
        {"old.txt", 2, 2, {"mod.txt", "new.txt"}},
        {"mod.txt", 4, 3, {"mod.txt", "new.txt"}},
        {"late.txt", 4, 3, {"mod.txt", "new.txt", "late.txt"}},
        {"gone.txt", 3, 0, {"mod.txt", "new.txt", "late.txt"}},
        {"full.txt", 1, 1, {"mod.txt", "new.txt", "late.txt", "full.txt"}},
        {"more.txt", 1, 1, {"mod.txt", "new.txt", "late.txt", "full.txt", "more.txt"}},
        {"over.txt", 1, 1, {"mod.txt", "new.txt", "late.txt", "full.txt", "more.txt"}},  // limit 5: dropped
        {"", 2, -1, {"mod.txt", "new.txt", "late.txt", "full.txt", "more.txt"}},          // ignored
        {"", 8, 5, {"mod.txt", "new.txt", "late.txt"}},                                   // relisted from disk
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " action " << c.action);
        callback.calls.clear();
        if (std::string(c.name) == "full.txt" || std::string(c.name) == "more.txt") touch(folder, {c.name});
        if (c.action == 8) {
            for (const char* name : {"old.txt", "full.txt", "more.txt"}) std::filesystem::remove(folder.file(name));
        }
        dir.handleFileAction(1, current, c.name, static_cast<FW::Actions::Action>(c.action));
        EXPECT_EQ(c.items, listedSet(dir));
        if (c.reason < 0) {
            EXPECT_TRUE(callback.calls.empty());
        } else {
            ASSERT_EQ(1u, callback.calls.size());
            EXPECT_EQ(std::make_pair(c.reason, std::string(c.name)), callback.calls[0]);
        }
    }
}

TEST(VDirTest, DumpPrintsFoldersInBrackets)
{
    TempFolder folder;
    touch(folder, {"f"});
    std::filesystem::create_directory(folder.file("d"));
    VDir dir(false);
    ASSERT_EQ(0u, dir.setBasePath(folder.path().c_str(), 10, false));
    ASSERT_EQ(0u, dir.sort(true));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dir.dump());
    EXPECT_EQ("----------------------------\nPATH: " + folder.path() + "\n  [d]\n  f\n----------------------------\n",
              testing::internal::GetCapturedStdout());
}
