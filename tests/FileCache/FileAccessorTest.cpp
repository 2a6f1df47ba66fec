#include "FileCache/fcache_FileAccessor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

using FILECACHE::FileAccessor;

namespace {

// A fresh folder per test, removed afterwards.
class FileAccessorTest : public testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/uz_fa_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(templ));
        m_dir = templ;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string path(const char* name) const { return m_dir + "/" + name; }
    void writeFile(const char* name, const std::string& content) const
    {
        std::ofstream(path(name), std::ios::binary) << content;
    }

    std::string m_dir;
};

}  // namespace

TEST_F(FileAccessorTest, OpenModesCreateEmptyOrRequireTheFile)
{
    FileAccessor fa;
    EXPECT_EQ(0x80000001u, fa.open(path("missing").c_str(), FileAccessor::OPEN_READ));
    EXPECT_FALSE(fa.isOpened());
    EXPECT_EQ(0x80000001u, fa.open(path("missing").c_str(), FileAccessor::OPEN_UPDATE));
    EXPECT_EQ(0x8000F000u, fa.open(nullptr, FileAccessor::OPEN_READ));
    EXPECT_EQ(0x8000F000u, fa.open(path("x").c_str(), static_cast<FileAccessor::OpenMode>(4)));

    ASSERT_EQ(0u, fa.open(path("append").c_str(), FileAccessor::OPEN_APPEND));
    EXPECT_EQ(0x80000003u, fa.open(path("other").c_str(), FileAccessor::OPEN_CREATE));
    EXPECT_TRUE(fa.isOpened());
    uint32_t written = 99;
    EXPECT_EQ(0u, fa.write("ab", 2, &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ(0u, fa.close());
    EXPECT_EQ(0x80000003u, fa.close());
    EXPECT_EQ(2u, FileAccessor::size(path("append").c_str()));

    ASSERT_EQ(0u, fa.open(path("append").c_str(), FileAccessor::OPEN_CREATE));
    EXPECT_EQ(0u, fa.close());
    EXPECT_EQ(0u, FileAccessor::size(path("append").c_str()));
}

TEST_F(FileAccessorTest, ReadReportsEndOfFileWithCount)
{
    writeFile("four", "1234");
    FileAccessor fa;
    ASSERT_EQ(0u, fa.open(path("four").c_str(), FileAccessor::OPEN_READ));
    char buf[10];
    uint32_t got = 77;
    EXPECT_EQ(1u, fa.read(buf, 10, &got));
    EXPECT_EQ(4u, got);
    EXPECT_EQ(0, std::memcmp(buf, "1234", 4));
    EXPECT_EQ(1u, fa.read(buf, 10, &got));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(0u, fa.seek(FileAccessor::ORIGIN_BEGIN, 1));
    EXPECT_EQ(1u, fa.tell());
    EXPECT_EQ(0u, fa.read(buf, 2, &got));
    EXPECT_EQ(2u, got);
    EXPECT_EQ(0x8000F000u, fa.seek(static_cast<FileAccessor::SeekOrigin>(3), 0));

    FileAccessor closed;
    EXPECT_EQ(0u, closed.tell());
    EXPECT_EQ(0x80000003u, closed.read(buf, 1, &got));
    EXPECT_EQ(0x80000003u, closed.seek(FileAccessor::ORIGIN_BEGIN, 0));
    EXPECT_EQ(0x80000003u, closed.fsync());
}

TEST(FileAccessorNameTest, ValidNames)
{
    struct Case { const char* name; bool valid; };
    const Case cases[] = {
        {nullptr, false}, {"", false}, {"a:b", false}, {"a\tb", false}, {"a\"b", false},
        {"a*b", false},   {"a<b", false}, {"a>b", false}, {"a?b", false}, {"a|b", false},
        {"dir/file", true}, {"dir\\file", true}, {"caf\xC3\xA9.dat", true}, {"plain.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(c.valid, FileAccessor::isFileNameValid(c.name));
    }
}

TEST(FileAccessorDateTimeTest, ClampsAndCompares)
{
    FileAccessor::DateTime def;
    FileAccessor::DateTime y2000;
    y2000.year = 2000;
    EXPECT_TRUE(def == y2000);

    FileAccessor::DateTime a, b;
    a.year = 2020; a.month = 5; a.day = 1;
    b.year = 2019; b.month = 12; b.day = 31; b.hour = 23; b.minute = 59; b.second = 59;
    EXPECT_TRUE(a > b);
    EXPECT_FALSE(b > a);
    EXPECT_FALSE(a > a);
    EXPECT_TRUE(a >= a);

    const T_FSW_DATETIME bad = {1999, 13, 0, 24, 60, 62};
    FileAccessor::DateTime c;
    c.year = 2500;
    EXPECT_EQ(0u, c.fromFSWDateTime(bad));
    EXPECT_TRUE(c == def);
}

TEST_F(FileAccessorTest, AttributesTimesAndRemoval)
{
    bool ro = true, hi = true, ex = true, fo = true;
    EXPECT_TRUE(JLIB::isFailure(FileAccessor::getAttribute(path("none").c_str(), &ro, &hi, &ex, &fo)));
    EXPECT_FALSE(ro || hi || ex || fo);

    writeFile("f", "x");
    EXPECT_TRUE(FileAccessor::isExist(path("f").c_str()));
    EXPECT_FALSE(FileAccessor::isDir(path("f").c_str()));
    EXPECT_TRUE(FileAccessor::isDir(m_dir.c_str()));
    EXPECT_FALSE(FileAccessor::isHidden(path("f").c_str()));

    FileAccessor::DateTime stamp;
    EXPECT_EQ(0x8000F000u,
              FileAccessor::dateTime(path("f").c_str(), static_cast<FileAccessor::DateTimeType>(3), stamp, false));
    EXPECT_EQ(0u, FileAccessor::dateTime(path("f").c_str(), FileAccessor::DATETIME_MODIFIED, stamp, false));
    EXPECT_GE(stamp.year, 2020);

    ASSERT_EQ(0u, FileAccessor::makeDir(path("d/e/f").c_str()));
    writeFile("d/e/f/g", "y");
    EXPECT_TRUE(JLIB::isFailure(FileAccessor::remove(path("d").c_str(), false)));
    EXPECT_TRUE(FileAccessor::isExist(path("d/e/f/g").c_str()));
    EXPECT_EQ(0u, FileAccessor::remove(path("d").c_str(), true));
    EXPECT_FALSE(FileAccessor::isExist(path("d").c_str()));
    EXPECT_EQ(0x80000001u, FileAccessor::remove(path("d").c_str(), false));
}
