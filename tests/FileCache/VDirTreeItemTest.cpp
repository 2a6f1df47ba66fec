#include "FileCache/fcache_VDirTreeItem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileCache/TempFolder.h"
#include "FileCache/fcache_VDirTreeItemAutoOpenCloser.h"

using FILECACHE::FileAccessor;
using FILECACHE::VDirTreeItem;

TEST(VDirTreeItemTest, InitializeRefusesBadNamesAndCreatesWhatIsMissing)
{
    TempFolder folder;
    struct Case {
        const char* name;
        VDirTreeItem::ItemType type;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {"a.txt", VDirTreeItem::ITEM_FILE, 0},
        {"sub/deep/b.txt", VDirTreeItem::ITEM_FILE, 0},
        {"newdir", VDirTreeItem::ITEM_DIR, 0},
        {"..", VDirTreeItem::ITEM_DIR, 0},
        {"", VDirTreeItem::ITEM_FILE, 0x80000000u},
        {"a:b", VDirTreeItem::ITEM_FILE, 0x80000000u},
        {"a?b", VDirTreeItem::ITEM_FILE, 0x80000000u},
        {nullptr, VDirTreeItem::ITEM_DIR, 0x80000000u},
        {"x", static_cast<VDirTreeItem::ItemType>(3), 0x80000000u},
        {"../escape", VDirTreeItem::ITEM_FILE, 0x80000000u},
        {"sub/../../escape", VDirTreeItem::ITEM_DIR, 0x80000000u},
        {"/etc/escape", VDirTreeItem::ITEM_FILE, 0x80000000u},
        {"a\\b", VDirTreeItem::ITEM_FILE, 0x80000000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        VDirTreeItem item;
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.result, item.initialize(folder.path().c_str(), c.type, c.name, true));
        (void)testing::internal::GetCapturedStdout();
        EXPECT_EQ(JLIB::isFailure(c.result), item.isNull());
        if (JLIB::isFailure(c.result)) continue;
        std::string full;
        EXPECT_EQ(0u, item.pathAndName(full));
        EXPECT_EQ(folder.path() + "/" + c.name, full);
        EXPECT_EQ(c.type == VDirTreeItem::ITEM_DIR, std::filesystem::is_directory(full));
        EXPECT_EQ(c.type == VDirTreeItem::ITEM_FILE, std::filesystem::is_regular_file(full));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/../escape"));
}

TEST(VDirTreeItemTest, FileOperationsNeedAFileItem)
{
    TempFolder folder;
    folder.write("f.bin", "hello");
    VDirTreeItem file;
    ASSERT_EQ(0u, file.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, "./f.bin", false));
    std::string full;
    ASSERT_EQ(0u, file.pathAndName(full));
    EXPECT_EQ(folder.file("f.bin"), full);  // "./" is dropped
    EXPECT_EQ(5u, file.size());
    ASSERT_EQ(0u, file.open(FileAccessor::OPEN_READ));
    EXPECT_TRUE(file.isOpened());
    char buffer[8] = {};
    uint32_t done = 99;
    EXPECT_EQ(0u, file.seek(FileAccessor::ORIGIN_BEGIN, 1));
    EXPECT_EQ(0u, file.read(buffer, 4, &done));
    EXPECT_EQ(4u, done);
    EXPECT_STREQ("ello", buffer);
    EXPECT_EQ(5u, file.tell());
    EXPECT_EQ(0u, file.close());

    VDirTreeItem dir;
    ASSERT_EQ(0u, dir.initialize(folder.path().c_str(), VDirTreeItem::ITEM_DIR, "d", true));
    EXPECT_EQ(0x80000000u, dir.open(FileAccessor::OPEN_READ));
    EXPECT_EQ(0x80000000u, dir.read(buffer, 1, &done));
    EXPECT_EQ(0x80000000u, dir.write(buffer, 1, &done));
    EXPECT_EQ(0x80000000u, dir.seek(FileAccessor::ORIGIN_BEGIN, 0));
    EXPECT_EQ(0x80000000u, dir.tell());
    EXPECT_EQ(0x80000000u, dir.close());
    EXPECT_FALSE(dir.isOpened());

    VDirTreeItem null;
    EXPECT_EQ(0u, null.size());
    EXPECT_TRUE(null.isReadOnly());
    EXPECT_FALSE(null.isHidden());
    EXPECT_EQ(0x80000000u, null.remove(false));
    EXPECT_EQ(0x80000000u, null.rename("x"));
    EXPECT_EQ(0x80000000u, null.copy("x"));
    FileAccessor::DateTime when;
    EXPECT_EQ(0x80000000u, null.dateTime(FileAccessor::DATETIME_MODIFIED, when, false));
}

TEST(VDirTreeItemTest, SplitsExtensionsAfterTheLastDot)
{
    struct Case {
        const char* name;
        const char* extension;
        const char* stem;
    };
    const Case cases[] = {
        {"a.txt", "txt", "a"},      {"a.b.c", "c", "a.b"},        {"noext", "", "noext"},
        {".hidden", "", ".hidden"}, {"dir.x/name", "x/name", "dir"}, {"trail.", "", "trail"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VDirTreeItem item;
        ASSERT_EQ(0u, item.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, c.name, false));
        EXPECT_EQ(c.extension, item.extention());
        EXPECT_EQ(c.stem, item.nameWithoutExtention());
        VDirTreeItem dir;
        ASSERT_EQ(0u, dir.initialize(folder.path().c_str(), VDirTreeItem::ITEM_DIR, c.name, false));
        EXPECT_EQ("", dir.extention());
        EXPECT_EQ("", dir.nameWithoutExtention());
    }
}

TEST(VDirTreeItemTest, RenameAndCopyStayInTheFolder)
{
    TempFolder folder;
    folder.write("a.txt", "A");
    VDirTreeItem item;
    ASSERT_EQ(0u, item.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, "a.txt", false));
    EXPECT_EQ(0u, item.copy("c.txt"));
    EXPECT_STREQ("a.txt", item.name());
    EXPECT_EQ("A", folder.read("c.txt"));
    EXPECT_EQ(0u, item.rename("b.txt"));
    EXPECT_STREQ("b.txt", item.name());
    EXPECT_TRUE(std::filesystem::exists(folder.file("b.txt")));
    EXPECT_EQ(0x80000000u, item.rename("missing/x.txt"));  // the name stays
    EXPECT_STREQ("b.txt", item.name());

    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, item.rename("../out.txt"));
    EXPECT_EQ(0x80000000u, item.copy("/tmp/out.txt"));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("[E] VDirTreeItem::rename"));
    EXPECT_STREQ("b.txt", item.name());
    EXPECT_TRUE(std::filesystem::exists(folder.file("b.txt")));
}

TEST(VDirTreeItemAutoOpenCloserTest, OpensAndClosesOnlyWhatItOpened)
{
    TempFolder folder;
    folder.write("f", "x");
    VDirTreeItem file;
    ASSERT_EQ(0u, file.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, "f", false));
    {
        FILECACHE::VDirTreeItemAutoOpenCloser closer(&file, FileAccessor::OPEN_READ);
        EXPECT_EQ(0u, closer.errCode());
        EXPECT_TRUE(file.isOpened());
    }
    EXPECT_FALSE(file.isOpened());

    ASSERT_EQ(0u, file.open(FileAccessor::OPEN_READ));
    {
        FILECACHE::VDirTreeItemAutoOpenCloser closer(&file, FileAccessor::OPEN_CREATE);
        EXPECT_EQ(0u, closer.errCode());
    }
    EXPECT_TRUE(file.isOpened());  // it was open before: left open
    EXPECT_EQ("x", folder.read("f"));  // and not reopened for writing
    EXPECT_EQ(0u, file.close());

    VDirTreeItem dir;
    ASSERT_EQ(0u, dir.initialize(folder.path().c_str(), VDirTreeItem::ITEM_DIR, "d", true));
    FILECACHE::VDirTreeItemAutoOpenCloser onDir(&dir, FileAccessor::OPEN_READ);
    EXPECT_EQ(0x80000000u, onDir.errCode());
    FILECACHE::VDirTreeItemAutoOpenCloser onNull(nullptr, FileAccessor::OPEN_READ);
    EXPECT_EQ(0u, onNull.errCode());
}

TEST(VDirTreeItemTest, AssignmentNeverSharesAnOpenFile)
{
    TempFolder folder;
    folder.write("a", "A");
    folder.write("b", "B");
    VDirTreeItem a;
    VDirTreeItem b;
    ASSERT_EQ(0u, a.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, "a", false));
    ASSERT_EQ(0u, b.initialize(folder.path().c_str(), VDirTreeItem::ITEM_FILE, "b", false));
    ASSERT_EQ(0u, a.open(FileAccessor::OPEN_READ));
    ASSERT_EQ(0u, b.open(FileAccessor::OPEN_READ));
    b = a;  // b's own file is closed; a's stays a's alone
    EXPECT_STREQ("a", b.name());
    EXPECT_TRUE(b.isFile());
    EXPECT_FALSE(b.isOpened());
    EXPECT_TRUE(a.isOpened());
    ASSERT_EQ(0u, b.open(FileAccessor::OPEN_READ));
    char byte = 0;
    uint32_t done = 0;
    EXPECT_EQ(0u, b.read(&byte, 1, &done));
    EXPECT_EQ('A', byte);
    b = VDirTreeItem();
    EXPECT_TRUE(b.isNull());
    EXPECT_FALSE(b.isOpened());
}   // both destructors close only their own files: no double close under the sanitizers
