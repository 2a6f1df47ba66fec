#include "common/Lpc/LpcRestart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "FileCache/TempFolder.h"
#include "TMS/TmsTestSupport.h"

using namespace std::chrono_literals;

TEST(LpcRestartTest, RunsTheRestartScriptBesideTheProgramWithThePathAsOneWord)
{
    TempFolder temp;
    // Blanks and a quote in the folder would split or end an unquoted word.
    const std::string folder = temp.file("my engine's dir");
    std::filesystem::create_directories(folder);
    const std::string script = folder + "/restart";
    std::ofstream(script) << "#!/bin/sh\n"
                             "dir=$(dirname \"$0\")\n"
                             "printf '%s|%s|%s' \"$#\" \"$1\" \"$UZ_ENGINE_PID\" > \"$dir/record.tmp\"\n"
                             "mv \"$dir/record.tmp\" \"$dir/record\"\n";
    ASSERT_EQ(0, chmod(script.c_str(), 0755));
    const std::string program = folder + "/uz engine";

    EXPECT_EQ(0u, LPC::restart(program.c_str()));
    ASSERT_TRUE(TmsTest::waitFor([&] { return std::filesystem::exists(folder + "/record"); }, 10s));
    EXPECT_EQ("1|" + program + "|" + std::to_string(getpid()), temp.read("my engine's dir/record"));
}

TEST(LpcRestartTest, NullPathIsRefused) { EXPECT_EQ(0x80000000u, LPC::restart(nullptr)); }
