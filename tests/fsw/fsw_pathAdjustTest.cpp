#include "fsw/fsw_pathAdjust.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace {

struct Case { const char* path; JLIB::JResult result; const char* out; };

const Case kCases[] = {
    {"/a/b/../c", 0, "/a/c"},
    {"\\a\\b\\..\\c", 0, "/a/c"},
    {"a//b/./c/", 0, "a/b/c"},
    {"a/../b", 0, "b"},
    {"../a", 0x80000000, ""},
    {"/", 0, "/"},
    {"///", 0, "/"},
    {".", 0, ""},
    {"a/..", 0, ""},
    {"", 0, ""},
    {"./a/./b/.", 0, "a/b"},
    {".name/...", 0, ".name/..."},
    {"a/..b/c..", 0, "a/..b/c.."},
    {"//srv//share/", 0, "/srv/share"},
    {"/./a", 0, "/a"},
    {"ab/cd/../../ef", 0, "ef"},
    {"a/b/../../..", 0x80000000, ""},
    // An absolute path keeps its root: ".." stops at it and climbing past it fails.
    {"/a/../b", 0, "/b"},
    {"/a/..", 0, "/"},
    {"/..", 0x80000000, ""},
};

}  // namespace

TEST(fsw_pathAdjustTest, NormalisesPaths)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path);
        char out[64];
        std::memset(out, 'X', sizeof(out));
        EXPECT_EQ(c.result, fsw_pathAdjust(out, c.path));
        EXPECT_STREQ(c.out, out);
        EXPECT_LE(std::strlen(out), std::strlen(c.path));  // the documented room is enough
    }
}

TEST(fsw_pathAdjustTest, NormalisesSixteenBitPathsAlike)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path);
        std::u16string wide(c.path, c.path + std::strlen(c.path));
        uint16_t out[64];
        std::fill(std::begin(out), std::end(out), 0x5858);
        EXPECT_EQ(c.result, fsw_pathAdjustUtf16(out, reinterpret_cast<const uint16_t*>(wide.c_str())));
        std::string narrow;
        for (const uint16_t* p = out; *p; ++p) narrow.push_back(static_cast<char>(*p));
        EXPECT_EQ(c.out, narrow);
    }
}

TEST(fsw_pathAdjustTest, RefusesNullArguments)
{
    char out[4] = "abc";
    EXPECT_EQ(0x80000000u, fsw_pathAdjust(out, nullptr));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0x80000000u, fsw_pathAdjust(nullptr, "a"));
    EXPECT_EQ(0x80000000u, fsw_pathAdjustUtf16(nullptr, nullptr));
}
