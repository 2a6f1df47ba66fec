#include "common/KavoriResourcePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(KavoriResourcePathTest, NamesAFileInTheRunningProgramsFolder)
{
    const std::string folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(folder, KAVORI::programFolder());
    EXPECT_EQ(folder + "/./SystemSetting.ini", KAVORI::resourcePath("./SystemSetting.ini"));
}

TEST(KavoriResourcePathTest, GivesNothingForANullNameOrAPathOver1023Bytes)
{
    const std::string folder = KAVORI::programFolder();
    ASSERT_LT(folder.size() + 1, 1023u);
    const std::string fits(1023 - folder.size() - 1, 'x');
    EXPECT_EQ(folder + "/" + fits, KAVORI::resourcePath(fits.c_str()));
    EXPECT_EQ("", KAVORI::resourcePath((fits + "x").c_str()));
    EXPECT_EQ("", KAVORI::resourcePath(nullptr));
}
