#include "fsw/fsw_api.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fsw/TempFolder.h"

namespace {

class fsw_apiTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.ok()); }
    std::string path(const std::string& name) const { return m_dir.path(name); }

    TempFolder m_dir;
};

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(0, lstat(path.c_str(), &st));
    return st.st_mode;
}

bool exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace

TEST_F(fsw_apiTest, MapsErrnoByName)
{
    struct Case { int err; JLIB::JResult code; };
    const Case cases[] = {
        {0, 0},
        {ENOENT, 0x80000001},
        {EIO, 0x80001000},
        {ENOMEM, 0x80001001},
        {EEXIST, 0x80000002},
        {ENOTDIR, 0x80000003},
        {EISDIR, 0x80000003},
        {ELOOP, 0x80000003},
        {ESTALE, 0x80000003},
        {EINVAL, 0x8000F000},
        {EMFILE, 0x80000013},
        {ETXTBSY, 0x80000006},
        {EFBIG, 0x80000012},
        {ENOTSUP, 0x80000100},
        {ETIMEDOUT, 0x8000FFFF},
        {ENAMETOOLONG, 0x80000010},
        {ENOTEMPTY, 0x80000005},
        {EDQUOT, 0x80000014},
        {EACCES, 0x8000FFFF},
        {ENOSPC, 0x8000FFFF},
        {12345, 0x8000FFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        EXPECT_EQ(c.code, toFswError(c.err));
    }
}

TEST_F(fsw_apiTest, OpenBitsSelectTheStreamMode)
{
    // Each case opens a file holding "abc" (or none), writes "Z" and closes: the contents show
    // whether the mode truncated, appended, wrote in place or could not write at all.
    struct Case { uint32_t bits; bool exists; JLIB::JResult open; const char* after; };
    const Case cases[] = {
        {0x43, true, 0, "Z"},       // wb+
        {0x23, true, 0, "abcZ"},    // ab+
        {0x13, true, 0, "Zbc"},     // rb+
        {0x42, true, 0, "Z"},       // wb
        {0x22, true, 0, "abcZ"},    // ab
        {0x12, true, 0, "Zbc"},     // rb+
        {0x01, true, 0, "abc"},     // rb
        {0x41, true, 0, "abc"},     // read without write ignores the other bits: no truncation
        {0x11, true, 0, "abc"},
        {0x42, false, 0, "Z"},
        {0x22, false, 0, "Z"},
        {0x23, false, 0, "Z"},
        {0x12, false, 0x80000001, nullptr},
        {0x13, false, 0x80000001, nullptr},
        {0x01, false, 0x80000001, nullptr},
        {0x03, true, 0x8000F000, "abc"},
        {0x02, true, 0x8000F000, "abc"},
        {0x00, true, 0x8000F000, "abc"},
        {0x30, true, 0x8000F000, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bits 0x" << std::hex << c.bits << " exists " << c.exists);
        const std::string file = path("f");
        std::remove(file.c_str());
        if (c.exists) writeText(file, "abc");
        T_FSW_HANDLE handle = 0x5A5A;
        ASSERT_EQ(c.open, fsw_open(&handle, file.c_str(), c.bits));
        if (JLIB::isFailure(c.open)) {
            EXPECT_EQ(kFswInvalidHandle, handle);
        } else {
            uint32_t count = 0;
            (void)fsw_write("Z", &count, 1, &handle);  // fails on a read-only stream, as intended
            ASSERT_EQ(0u, fsw_close(&handle));
        }
        if (c.after) {
            EXPECT_EQ(c.after, readText(file));
        } else {
            EXPECT_FALSE(exists(file));
        }
    }
}

TEST_F(fsw_apiTest, NullArgumentsAndInvalidHandlesAreRefusedFirst)
{
    char buffer[8];
    uint32_t count = 0;
    T_FSW_HANDLE invalid = kFswInvalidHandle;
    T_FSW_HANDLE* none = nullptr;
    const std::pair<const char*, std::function<JLIB::JResult()>> calls[] = {
        {"open null handle", [&] { return fsw_open(nullptr, "x", 0x01); }},
        {"open null path", [&] { return fsw_open(&invalid, nullptr, 0x01); }},
        {"close invalid", [&] { return fsw_close(&invalid); }},
        {"close null", [&] { return fsw_close(none); }},
        {"read invalid", [&] { return fsw_read(buffer, &count, 1, &invalid); }},
        {"read null buffer", [&] { return fsw_read(nullptr, &count, 1, &invalid); }},
        {"write invalid", [&] { return fsw_write(buffer, &count, 1, &invalid); }},
        {"flush invalid", [&] { return fsw_flush(&invalid); }},
        {"fsync invalid", [&] { return fsw_fsync(&invalid); }},
        {"seek invalid", [&] { return fsw_seek(0, 0, &invalid); }},
        {"tell invalid", [&] { return fsw_tell(&count, &invalid); }},
        {"getSize null", [&] { return fsw_getSize(nullptr, "x"); }},
        {"getSize null path", [&] { return fsw_getSize(&count, nullptr); }},
        {"getAttribute null path", [&] { return fsw_getAttribute(&count, nullptr); }},
        {"setAttribute null path", [&] { return fsw_setAttribute(0, nullptr); }},
        {"getTimeStamp null", [&] { return fsw_getTimeStamp(nullptr, "x"); }},
        {"setDateTime null path", [&] { return fsw_setDateTime(nullptr, nullptr, nullptr, nullptr); }},
        {"removeFile null", [&] { return fsw_removeFile(nullptr); }},
        {"rename null", [&] { return fsw_rename("x", nullptr); }},
        {"copy null", [&] { return fsw_copy(nullptr, "x"); }},
        {"makeDir null", [&] { return fsw_makeDir(nullptr); }},
        {"copyDir null", [&] { return fsw_copyDir("x", nullptr); }},
        {"removeDir null", [&] { return fsw_removeDir(nullptr, true); }},
        {"openDir null", [&] { return fsw_openDir(nullptr, "x"); }},
        {"setCallback null", [&] { return fsw_setCallback(nullptr); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(0x8000F000u, call());
    }
    EXPECT_EQ(kFswInvalidHandle, invalid);
}

TEST_F(fsw_apiTest, ReadReportsEndOfFileWithTheCountRead)
{
    writeText(path("f"), "0123456789");
    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenRead));
    char buffer[16] = {};
    uint32_t count = 0xDEAD;
    EXPECT_EQ(0u, fsw_read(buffer, &count, 6, &handle));
    EXPECT_EQ(6u, count);
    count = 0xDEAD;
    EXPECT_EQ(0u, fsw_read(buffer, &count, 0, &handle));
    EXPECT_EQ(0u, count);
    count = 0xDEAD;
    EXPECT_EQ(1u, fsw_read(buffer, &count, 10, &handle));
    EXPECT_EQ(4u, count);
    EXPECT_EQ(std::string("6789"), std::string(buffer, 4));
    count = 0xDEAD;
    EXPECT_EQ(1u, fsw_read(buffer, &count, 10, &handle));
    EXPECT_EQ(0u, count);
    ASSERT_EQ(0u, fsw_close(&handle));
}

TEST_F(fsw_apiTest, WriteFailsUnlessEveryByteWasWritten)
{
    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenWrite | kFswOpenCreate));
    uint32_t count = 0xDEAD;
    EXPECT_EQ(0u, fsw_write("hello", &count, 5, &handle));
    EXPECT_EQ(5u, count);
    count = 0xDEAD;
    EXPECT_EQ(0u, fsw_write("x", &count, 0, &handle));
    EXPECT_EQ(0u, count);
    ASSERT_EQ(0u, fsw_close(&handle));
    EXPECT_EQ("hello", readText(path("f")));

    // A read-only stream takes nothing; the count stays untouched.
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenRead));
    count = 0xDEAD;
    EXPECT_TRUE(JLIB::isFailure(fsw_write("abc", &count, 3, &handle)));
    EXPECT_EQ(0xDEADu, count);
    ASSERT_EQ(0u, fsw_close(&handle));

    // A device that is always full takes a short part of a large write: that is a failure.
    if (access("/dev/full", W_OK) == 0) {
        ASSERT_EQ(0u, fsw_open(&handle, "/dev/full", kFswOpenWrite | kFswOpenCreate));
        const std::vector<char> big(1 << 16, 'x');
        count = 0xDEAD;
        EXPECT_EQ(0x8000FFFFu, fsw_write(big.data(), &count, static_cast<uint32_t>(big.size()), &handle));
        EXPECT_EQ(0xDEADu, count);
        (void)fsw_close(&handle);  // the flush of what is buffered fails too; the handle is gone anyway
        EXPECT_EQ(kFswInvalidHandle, handle);
    }
}

TEST_F(fsw_apiTest, ClosedHandleIsInvalidatedSoLaterUseFailsWithACode)
{
    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenWrite | kFswOpenCreate));
    ASSERT_EQ(0u, fsw_close(&handle));
    EXPECT_EQ(kFswInvalidHandle, handle);
    char buffer[4];
    uint32_t count = 0;
    EXPECT_EQ(0x8000F000u, fsw_read(buffer, &count, 4, &handle));
    EXPECT_EQ(0x8000F000u, fsw_write(buffer, &count, 4, &handle));
    EXPECT_EQ(0x8000F000u, fsw_seek(0, 0, &handle));
    EXPECT_EQ(0x8000F000u, fsw_close(&handle));
}

TEST_F(fsw_apiTest, SeekAndTellMoveThroughTheFile)
{
    writeText(path("f"), "0123456789");
    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenRead | kFswOpenWrite | kFswOpenExisting));
    struct Case { int32_t offset; int32_t origin; JLIB::JResult result; uint32_t position; };
    const Case cases[] = {
        {4, 0, 0, 4},
        {2, 1, 0, 6},
        {-1, 2, 0, 9},
        {5, 2, 0, 15},            // past the end is allowed
        {-100, 0, 0x8000F000, 15},  // before the start: EINVAL
        {0, 3, 0x8000F000, 15},
        {0, -1, 0x8000F000, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << " from " << c.origin);
        EXPECT_EQ(c.result, fsw_seek(c.offset, c.origin, &handle));
        uint32_t position = 0xDEAD;
        EXPECT_EQ(0u, fsw_tell(&position, &handle));
        EXPECT_EQ(c.position, position);
    }
    ASSERT_EQ(0u, fsw_close(&handle));
}

TEST_F(fsw_apiTest, FlushAndFsyncPutWrittenBytesIntoTheFile)
{
    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenWrite | kFswOpenCreate));
    uint32_t count = 0;
    ASSERT_EQ(0u, fsw_write("abcdef", &count, 6, &handle));
    uint32_t size = 0xDEAD;
    ASSERT_EQ(0u, fsw_getSize(&size, path("f").c_str()));
    EXPECT_EQ(0u, size);  // still in the stream's buffer
    EXPECT_EQ(0u, fsw_flush(&handle));
    EXPECT_EQ(0u, fsw_fsync(&handle));
    ASSERT_EQ(0u, fsw_getSize(&size, path("f").c_str()));
    EXPECT_EQ(6u, size);
    ASSERT_EQ(0u, fsw_close(&handle));
}

TEST_F(fsw_apiTest, GetSizeRefusesWhatItCannotReportWhole)
{
    uint32_t size = 0xDEAD;
    EXPECT_EQ(0x80000001u, fsw_getSize(&size, path("missing").c_str()));
    EXPECT_EQ(0u, size);

    // A sparse file beyond 4 GiB: a cut size would have callers read part of it as the whole.
    const std::string big = path("big");
    writeText(big, "");
    if (truncate(big.c_str(), 0x100000010LL) == 0) {
        size = 0xDEAD;
        EXPECT_EQ(0x80000012u, fsw_getSize(&size, big.c_str()));
        EXPECT_EQ(0u, size);
    }
}

TEST_F(fsw_apiTest, GetAttributeDescribesTypeAndPermissions)
{
    writeText(path("f"), "x");
    ASSERT_EQ(0, mkdir(path("d").c_str(), 0700));
    struct Case { const char* name; mode_t mode; uint32_t word; };
    const Case cases[] = {
        {"f", 0644, 0x1 | 0x4000000 | 0x2000000 | 0x400000 | 0x40000 | 0x10000000},
        {"d", 0555, 0x80 | 0x4000000 | 0x1000000 | 0x400000 | 0x100000 | 0x40000 | 0x10000 | 0x40 | 0x40000002},
        {"f", 0100, 0x1 | 0x1000000 | 0x40 | 0x40000002},
        {"f", 0777, 0x1 | 0x07770000 | 0x40},
        {"f", 0000, 0x1 | 0x40000002 | 0x10000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " mode " << std::oct << c.mode);
        ASSERT_EQ(0, chmod(path(c.name).c_str(), c.mode));
        uint32_t word = 0xDEADBEEF;
        EXPECT_EQ(0u, fsw_getAttribute(&word, path(c.name).c_str()));
        EXPECT_EQ(c.word, word);
    }
    uint32_t word = 0xDEADBEEF;
    EXPECT_EQ(0x80000001u, fsw_getAttribute(&word, path("missing").c_str()));
    EXPECT_EQ(0u, word);
}

TEST_F(fsw_apiTest, SetAttributeBuildsThePermissionMode)
{
    writeText(path("f"), "x");
    struct Case { uint32_t word; mode_t mode; };
    const Case cases[] = {
        {0x0, 0644},
        {0x2, 0444},
        {0x8, 0644},                          // hidden is ignored
        {0x40, 0755},
        {0x80, 0755},
        {0x40 | 0x2, 0555},
        {0x4000000 | 0x2000000 | 0x80, 0600}, // the directory's execute goes again without 0x40
        {0x4000000 | 0x400000 | 0x40000000, 0662},
        {0x4000000 | 0x1000000 | 0x40, 0500},
        {0x4000000 | 0x40 | 0x10000000, 0511},
        {0x07770000 | 0x40 | 0x2, 0555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "word 0x" << std::hex << c.word);
        EXPECT_EQ(0u, fsw_setAttribute(c.word, path("f").c_str()));
        EXPECT_EQ(c.mode, modeOf(path("f")) & 07777);
    }
    EXPECT_EQ(0x80000001u, fsw_setAttribute(0, path("missing").c_str()));
}

TEST_F(fsw_apiTest, TimesAreSetAsLocalAndReadAsUtc)
{
    const ScopedTimeZone zone("JST-9");  // nine hours ahead of UTC, no daylight saving
    writeText(path("f"), "x");
    const T_FSW_DATETIME local{2024, 5, 6, 12, 34, 56};
    ASSERT_EQ(0u, fsw_setTimeStamp(&local, path("f").c_str()));
    T_FSW_DATETIME utc{};
    ASSERT_EQ(0u, fsw_getTimeStamp(&utc, path("f").c_str()));
    EXPECT_EQ(2024, utc.year);
    EXPECT_EQ(5, utc.month);
    EXPECT_EQ(6, utc.day);
    EXPECT_EQ(3, utc.hour);
    EXPECT_EQ(34, utc.minute);
    EXPECT_EQ(56, utc.second);

    // Only a modification record: the access time goes to the start of the epoch.
    const T_FSW_DATETIME modified{2001, 2, 3, 9, 5, 6};
    ASSERT_EQ(0u, fsw_setDateTime(nullptr, nullptr, &modified, path("f").c_str()));
    T_FSW_DATETIME changed{}, accessed{}, mtime{};
    ASSERT_EQ(0u, fsw_getDateTime(&changed, &accessed, &mtime, path("f").c_str()));
    EXPECT_EQ(1970, accessed.year);
    EXPECT_EQ(1, accessed.month);
    EXPECT_EQ(1, accessed.day);
    EXPECT_EQ(0, accessed.hour);
    EXPECT_EQ(0, accessed.second);
    EXPECT_EQ(2001, mtime.year);
    EXPECT_EQ(3, mtime.day);
    EXPECT_EQ(0, mtime.hour);
    EXPECT_EQ(5, mtime.minute);
    EXPECT_GE(changed.year, 2024);
    EXPECT_EQ(0u, fsw_getDateTime(nullptr, nullptr, nullptr, path("f").c_str()));
    EXPECT_EQ(0x80000001u, fsw_getDateTime(&changed, nullptr, nullptr, path("missing").c_str()));
    EXPECT_EQ(0x80000001u, fsw_setTimeStamp(&local, path("missing").c_str()));
}

TEST_F(fsw_apiTest, InvalidDateTimeRecordsAreRefusedWithoutChangingTheFile)
{
    writeText(path("f"), "x");
    const T_FSW_DATETIME good{2020, 1, 1, 0, 0, 0};
    ASSERT_EQ(0u, fsw_setDateTime(nullptr, &good, &good, path("f").c_str()));
    struct stat before {};
    ASSERT_EQ(0, stat(path("f").c_str(), &before));
    const T_FSW_DATETIME bad[] = {
        {2020, 13, 1, 0, 0, 0}, {2020, 0, 1, 0, 0, 0}, {2020, 1, 0, 0, 0, 0}, {2020, 1, 32, 0, 0, 0},
        {1899, 1, 1, 0, 0, 0},  {2020, 1, 1, 24, 0, 0}, {2020, 1, 1, 0, 60, 0}, {2020, 1, 1, 0, 0, 62},
    };
    for (const T_FSW_DATETIME& r : bad) {
        SCOPED_TRACE(testing::Message() << r.year << "-" << int(r.month) << "-" << int(r.day) << " "
                                        << int(r.hour) << ":" << int(r.minute) << ":" << int(r.second));
        EXPECT_EQ(0x8000F000u, fsw_setTimeStamp(&r, path("f").c_str()));
        EXPECT_EQ(0x8000F000u, fsw_setDateTime(nullptr, &good, &r, path("f").c_str()));
        EXPECT_EQ(0x8000F000u, fsw_setDateTime(nullptr, &r, &good, path("f").c_str()));
    }
    struct stat after {};
    ASSERT_EQ(0, stat(path("f").c_str(), &after));
    EXPECT_EQ(before.st_mtime, after.st_mtime);
    EXPECT_EQ(before.st_atime, after.st_atime);
}

TEST_F(fsw_apiTest, MakeFileCreatesButNeverEmpties)
{
    EXPECT_EQ(0u, fsw_makeFile(path("new").c_str()));
    EXPECT_TRUE(exists(path("new")));
    writeText(path("old"), "keep");
    EXPECT_EQ(0u, fsw_makeFile(path("old").c_str()));
    EXPECT_EQ("keep", readText(path("old")));
    EXPECT_EQ(0x80000001u, fsw_makeFile(path("no/such").c_str()));
}

TEST_F(fsw_apiTest, RemoveAndRenameMapFailures)
{
    writeText(path("a"), "1");
    EXPECT_EQ(0u, fsw_rename(path("a").c_str(), path("b").c_str()));
    EXPECT_FALSE(exists(path("a")));
    EXPECT_EQ("1", readText(path("b")));
    EXPECT_EQ(0x80000001u, fsw_rename(path("a").c_str(), path("c").c_str()));
    EXPECT_EQ(0u, fsw_removeFile(path("b").c_str()));
    EXPECT_FALSE(exists(path("b")));
    EXPECT_EQ(0x80000001u, fsw_removeFile(path("b").c_str()));
    ASSERT_EQ(0, mkdir(path("d").c_str(), 0700));
    writeText(path("d/x"), "");
    EXPECT_EQ(0x80000005u, fsw_removeFile(path("d").c_str()));
}

TEST_F(fsw_apiTest, CopyCopiesContentsOrReportsWhyNot)
{
    std::string data;
    for (int i = 0; i < 1000; ++i) data.push_back(static_cast<char>(i * 7));
    writeText(path("src"), data);
    writeText(path("dst"), "much longer old contents that must go away entirely ..............");
    EXPECT_EQ(0u, fsw_copy(path("src").c_str(), path("dst").c_str()));
    EXPECT_EQ(data, readText(path("dst")));

    writeText(path("empty"), "");
    EXPECT_EQ(0u, fsw_copy(path("empty").c_str(), path("dst").c_str()));
    EXPECT_EQ("", readText(path("dst")));

    EXPECT_EQ(0x80000001u, fsw_copy(path("missing").c_str(), path("dst2").c_str()));
    EXPECT_FALSE(exists(path("dst2")));
    EXPECT_EQ(0x80000001u, fsw_copy(path("src").c_str(), path("no/such").c_str()));

    // The last block is written when the copy is closed: losing it must not look like success.
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_TRUE(JLIB::isFailure(fsw_copy(path("src").c_str(), "/dev/full")));
    }
}

TEST_F(fsw_apiTest, MakeDirCreatesMissingParents)
{
    ASSERT_EQ(0, mkdir(path("a").c_str(), 0700));
    EXPECT_EQ(0u, fsw_makeDir(path("a/b/c").c_str()));
    EXPECT_TRUE(S_ISDIR(modeOf(path("a/b/c"))));
    EXPECT_EQ(0u, fsw_makeDir(path("a/b/c").c_str()));
    EXPECT_EQ(0u, fsw_makeDir(path("x//y/").c_str()));
    EXPECT_TRUE(S_ISDIR(modeOf(path("x/y"))));

    // A file where a folder should be is a failure, also as the last level.
    writeText(path("file"), "");
    EXPECT_EQ(0x80000004u, fsw_makeDir(path("file").c_str()));
    EXPECT_EQ(0x80000004u, fsw_makeDir(path("file/sub").c_str()));

    // Too long for the prefix buffer: refused before anything is made, never cut.
    const std::string longPath = path(std::string(1100, 'n'));
    EXPECT_EQ(0x80000010u, fsw_makeDir(longPath.c_str()));
    std::string nested = path("");
    while (nested.size() < 1023) nested += "/abcdefgh";
    EXPECT_EQ(0x80000010u, fsw_makeDir(nested.c_str()));
    EXPECT_FALSE(exists(path("abcdefgh")));
}

TEST_F(fsw_apiTest, RemoveDirRemovesEmptyFoldersOrWholeTrees)
{
    ASSERT_EQ(0, mkdir(path("empty").c_str(), 0700));
    EXPECT_EQ(0u, fsw_removeDir(path("empty").c_str(), false));
    EXPECT_FALSE(exists(path("empty")));

    ASSERT_EQ(0u, fsw_makeDir(path("t/a/b").c_str()));
    writeText(path("t/f1"), "1");
    writeText(path("t/a/f2"), "2");
    writeText(path("t/a/b/f3"), "3");
    EXPECT_EQ(0x80000005u, fsw_removeDir(path("t").c_str(), false));
    EXPECT_TRUE(exists(path("t/a/b/f3")));
    EXPECT_EQ(0u, fsw_removeDir(path("t").c_str(), true));
    EXPECT_FALSE(exists(path("t")));

    EXPECT_EQ(0x80000001u, fsw_removeDir(path("missing").c_str(), true));
    EXPECT_EQ(0x80000001u, fsw_removeDir(path("missing").c_str(), false));
}

TEST_F(fsw_apiTest, RecursiveRemovalNeverFollowsSymbolicLinks)
{
    ASSERT_EQ(0u, fsw_makeDir(path("outside").c_str()));
    writeText(path("outside/keep"), "precious");
    ASSERT_EQ(0u, fsw_makeDir(path("tree/sub").c_str()));
    ASSERT_EQ(0, symlink(path("outside").c_str(), path("tree/sub/dirlink").c_str()));
    ASSERT_EQ(0, symlink(path("outside/keep").c_str(), path("tree/filelink").c_str()));
    ASSERT_EQ(0, symlink("..", path("tree/sub/loop").c_str()));
    ASSERT_EQ(0, symlink(path("nothing").c_str(), path("tree/dangling").c_str()));
    EXPECT_EQ(0u, fsw_removeDir(path("tree").c_str(), true));
    EXPECT_FALSE(exists(path("tree")));
    EXPECT_EQ("precious", readText(path("outside/keep")));

    // Named directly, a link to a folder is removed as a link.
    ASSERT_EQ(0, symlink(path("outside").c_str(), path("toplink").c_str()));
    EXPECT_EQ(0u, fsw_removeDir(path("toplink").c_str(), true));
    EXPECT_FALSE(exists(path("toplink")));
    EXPECT_EQ("precious", readText(path("outside/keep")));
}

TEST_F(fsw_apiTest, RecursiveRemovalStopsAtAnEntryItCannotRemove)
{
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    ASSERT_EQ(0u, fsw_makeDir(path("t/locked").c_str()));
    writeText(path("t/locked/f"), "x");
    ASSERT_EQ(0, chmod(path("t/locked").c_str(), 0500));
    EXPECT_EQ(0x80000004u, fsw_removeDir(path("t").c_str(), true));
    EXPECT_TRUE(exists(path("t/locked/f")));
    ASSERT_EQ(0, chmod(path("t/locked").c_str(), 0700));
}

TEST_F(fsw_apiTest, CopyDirCopiesTheTreeWithoutFollowingLinks)
{
    ASSERT_EQ(0u, fsw_makeDir(path("outside").c_str()));
    writeText(path("outside/secret"), "s");
    ASSERT_EQ(0u, fsw_makeDir(path("src/a/b").c_str()));
    ASSERT_EQ(0u, fsw_makeDir(path("src/emptydir").c_str()));
    writeText(path("src/f1"), "one");
    writeText(path("src/a/f2"), "two");
    writeText(path("src/a/b/f3"), std::string(700, 'z'));
    ASSERT_EQ(0, symlink(path("outside").c_str(), path("src/a/dirlink").c_str()));
    ASSERT_EQ(0, symlink("..", path("src/a/b/loop").c_str()));

    EXPECT_EQ(0u, fsw_copyDir(path("src").c_str(), path("dst/deep").c_str()));
    EXPECT_EQ("one", readText(path("dst/deep/f1")));
    EXPECT_EQ("two", readText(path("dst/deep/a/f2")));
    EXPECT_EQ(std::string(700, 'z'), readText(path("dst/deep/a/b/f3")));
    EXPECT_TRUE(S_ISDIR(modeOf(path("dst/deep/emptydir"))));
    // Links arrive as links; nothing was copied from where they point.
    EXPECT_TRUE(S_ISLNK(modeOf(path("dst/deep/a/dirlink"))));
    EXPECT_TRUE(S_ISLNK(modeOf(path("dst/deep/a/b/loop"))));
    char target[512] = {};
    ASSERT_GT(readlink(path("dst/deep/a/dirlink").c_str(), target, sizeof(target) - 1), 0);
    EXPECT_EQ(path("outside"), std::string(target));

    EXPECT_EQ(0x80000001u, fsw_copyDir(path("missing").c_str(), path("dst2").c_str()));
    writeText(path("blocker"), "");
    EXPECT_EQ(0x80000001u, fsw_copyDir(path("src").c_str(), path("blocker").c_str()));
}

TEST_F(fsw_apiTest, CopyDirReportsAnIncompleteCopy)
{
    ASSERT_EQ(0u, fsw_makeDir(path("src/sub").c_str()));
    writeText(path("src/sub/f"), "x");
    // A folder stands where the copy has to write a file.
    ASSERT_EQ(0u, fsw_makeDir(path("dst/sub/g").c_str()));
    writeText(path("src/sub/g"), "y");
    EXPECT_EQ(0x80000004u, fsw_copyDir(path("src").c_str(), path("dst").c_str()));
}

TEST_F(fsw_apiTest, ListingReturnsEveryNameThenTheEnd)
{
    writeText(path("alpha"), "");
    writeText(path("beta"), "");
    ASSERT_EQ(0, mkdir(path("gamma").c_str(), 0700));
    T_FSW_DIR* dir = nullptr;
    ASSERT_EQ(0u, fsw_openDir(&dir, m_dir.path().c_str()));
    ASSERT_NE(nullptr, dir);
    uint32_t size = 0;
    EXPECT_EQ(0u, fsw_readDirSize(dir, &size));
    EXPECT_EQ(256u, size);
    char name[256];
    EXPECT_EQ(0x8000F000u, fsw_readDir(dir, name, 0));
    EXPECT_EQ(0x8000F000u, fsw_readDir(dir, nullptr, 256));
    std::multiset<std::string> names;
    JLIB::JResult r = 0;
    while ((r = fsw_readDir(dir, name, sizeof(name))) == 0) names.insert(name);
    EXPECT_EQ(0x80000001u, r);
    EXPECT_STREQ("", name);
    EXPECT_EQ((std::multiset<std::string>{".", "..", "alpha", "beta", "gamma"}), names);
    EXPECT_EQ(0u, fsw_closeDir(dir));

    // A name is cut to the buffer and always terminated.
    ASSERT_EQ(0u, fsw_openDir(&dir, m_dir.path().c_str()));
    std::set<std::string> cut;
    char small[3];
    while (fsw_readDir(dir, small, sizeof(small)) == 0) cut.insert(small);
    EXPECT_EQ((std::set<std::string>{".", "..", "al", "be", "ga"}), cut);
    EXPECT_EQ(0u, fsw_closeDir(dir));

    T_FSW_DIR* failed = reinterpret_cast<T_FSW_DIR*>(0x1);
    EXPECT_EQ(0x80000001u, fsw_openDir(&failed, path("missing").c_str()));
    EXPECT_EQ(nullptr, failed);
    EXPECT_EQ(0x80000003u, fsw_openDir(&failed, path("alpha").c_str()));
    EXPECT_EQ(0x80000003u, fsw_readDirSize(nullptr, &size));
    EXPECT_EQ(0x80000003u, fsw_readDir(nullptr, name, sizeof(name)));
    EXPECT_EQ(0x80000003u, fsw_closeDir(nullptr));
}

TEST_F(fsw_apiTest, SearchWalksTheFolderAndClosesItsHandle)
{
    writeText(path("only"), "");
    T_FSW_FIND find = nullptr;
    char name[64];
    std::set<std::string> names;
    ASSERT_EQ(0u, fsw_findFirst(&find, name, sizeof(name), m_dir.path().c_str()));
    ASSERT_NE(nullptr, find);
    names.insert(name);
    JLIB::JResult r = 0;
    while ((r = fsw_findNext(&find, name, sizeof(name))) == 0) names.insert(name);
    EXPECT_EQ(0x80000000u, r);
    EXPECT_EQ((std::set<std::string>{".", "..", "only"}), names);
    EXPECT_EQ(0u, fsw_closeFindEntry(&find));
    EXPECT_EQ(nullptr, find);
    EXPECT_EQ(0x8000F000u, fsw_closeFindEntry(&find));
    EXPECT_EQ(0x8000F000u, fsw_findNext(&find, name, sizeof(name)));

    EXPECT_EQ(0x80000000u, fsw_findFirst(&find, name, sizeof(name), path("missing").c_str()));
    EXPECT_EQ(nullptr, find);
    EXPECT_EQ(0x8000F000u, fsw_findFirst(&find, name, 0, m_dir.path().c_str()));
}

TEST_F(fsw_apiTest, UnsupportedOperationsAnswerTheirCodes)
{
    EXPECT_EQ(0x8000FFFFu, fsw_format("/"));
    EXPECT_EQ(0x80000100u, fsw_setSemId(1));
    EXPECT_EQ(0u, fsw_sync());
}

namespace {

std::vector<std::string> g_calls;
uint32_t g_askPost = 1;
JLIB::JResult g_preResult = 0;

JLIB::JResult prePath(uint32_t* postFlag, const char* path)
{
    g_calls.push_back(std::string("pre ") + (path ? "path" : "null"));
    *postFlag = g_askPost;
    return g_preResult;
}
void postHandle(T_FSW_HANDLE* handle)
{
    g_calls.push_back(std::string("post ") + (handle && *handle != kFswInvalidHandle ? "handle" : "null"));
}
JLIB::JResult preHandle(uint32_t* postFlag, T_FSW_HANDLE*)
{
    g_calls.push_back("pre handle");
    *postFlag = g_askPost;
    return g_preResult;
}
void postPath(const char*) { g_calls.push_back("post path"); }
JLIB::JResult prePath2(uint32_t* postFlag, const char*, const char*)
{
    g_calls.push_back("pre path2");
    *postFlag = g_askPost;
    return g_preResult;
}
void postPath2(const char*, const char*) { g_calls.push_back("post path2"); }
void notify(uint32_t) { g_calls.push_back("notify"); }

// A table of null slots behaves as the defaults do: nothing runs around the operations.
struct HookTableReset {
    ~HookTableReset()
    {
        const T_FSW_CALLBACK none{};
        EXPECT_EQ(0u, fsw_setCallback(&none));
    }
};

}  // namespace

TEST_F(fsw_apiTest, HooksRunAroundOperationsAsTheirPreHookAsks)
{
    const HookTableReset reset;
    T_FSW_CALLBACK table{};
    for (auto& n : table.notify) n = notify;
    table.open = {prePath, postHandle};
    table.close = {preHandle, postHandle};
    table.getSize = {prePath, postPath};
    table.rename = {prePath2, postPath2};
    ASSERT_EQ(0u, fsw_setCallback(&table));

    T_FSW_HANDLE handle = kFswInvalidHandle;
    ASSERT_EQ(0u, fsw_open(&handle, path("f").c_str(), kFswOpenWrite | kFswOpenCreate));
    ASSERT_EQ(0u, fsw_close(&handle));
    EXPECT_EQ(0x80000001u, fsw_open(&handle, path("missing").c_str(), kFswOpenRead));
    uint32_t size = 0;
    ASSERT_EQ(0u, fsw_getSize(&size, path("f").c_str()));
    ASSERT_EQ(0u, fsw_rename(path("f").c_str(), path("g").c_str()));
    EXPECT_EQ((std::vector<std::string>{"pre path", "post handle", "pre handle", "post null", "pre path",
                                        "post null", "pre path", "post path", "pre path2", "post path2"}),
              g_calls);

    // A pre hook that asks for no post hook gets none.
    g_calls.clear();
    g_askPost = 0;
    ASSERT_EQ(0u, fsw_getSize(&size, path("g").c_str()));
    EXPECT_EQ((std::vector<std::string>{"pre path"}), g_calls);

    // Only open heeds a refusing pre hook: nothing is opened.
    g_calls.clear();
    g_preResult = 0x80000777;
    EXPECT_EQ(0x80000777u, fsw_open(&handle, path("g").c_str(), kFswOpenRead));
    EXPECT_EQ(kFswInvalidHandle, handle);
    size = 0xDEAD;
    EXPECT_EQ(0u, fsw_getSize(&size, path("g").c_str()));
    EXPECT_EQ(0u, size);
    g_preResult = 0;
    g_askPost = 1;
}
