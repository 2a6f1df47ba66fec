#include "DiagFramework/diagfrwk_DiagLogger.h"

#include <gtest/gtest.h>

#include <string>

#include "TMS/TMSystem.h"
#include "fsw/TempFolder.h"

namespace {

using DiagFramework::DiagLogger;

class DiagLoggerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, m_log.initialize());
        ASSERT_EQ(0u, m_log.clear());
    }
    void TearDown() override { (void)m_log.finalize(); }

    TMS::TMSystem m_system;
    DiagLogger& m_log = DiagLogger::getInstance();
};

TEST_F(DiagLoggerTest, KeepsTheNewest4096CharactersAndCopiesTheNewestPart)
{
    EXPECT_EQ(1u, m_log.getLogSize());
    char buffer[5000];
    EXPECT_EQ(1u, m_log.getAll(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);

    std::string all;
    for (int i = 0; i < 500; ++i) all += "line " + std::to_string(i) + "\n";
    ASSERT_GT(all.size(), 4096u);
    ASSERT_EQ(0u, m_log.add(all.substr(0, 1000).c_str()));
    ASSERT_EQ(0u, m_log.add(all.substr(1000).c_str()));
    EXPECT_EQ(4097u, m_log.getLogSize());
    EXPECT_EQ(4097u, m_log.getAll(buffer, sizeof buffer));
    EXPECT_EQ(all.substr(all.size() - 4096), buffer);
    // A small buffer takes the newest characters.
    EXPECT_EQ(8u, m_log.getAll(buffer, 8));
    EXPECT_EQ(all.substr(all.size() - 7), buffer);
    EXPECT_EQ(0u, m_log.getAll(buffer, 0));
    EXPECT_EQ(0u, m_log.getAll(nullptr, 8));
    EXPECT_EQ(0x80000000u, m_log.add(nullptr));

    TempFolder folder;
    ASSERT_TRUE(folder.ok());
    ASSERT_EQ(0u, m_log.exportToFile(folder.path("log.txt").c_str()));
    EXPECT_EQ(all.substr(all.size() - 4096), readText(folder.path("log.txt")));
    EXPECT_EQ(0x80000000u, m_log.exportToFile(nullptr));
    EXPECT_EQ(0x80000000u, m_log.exportToFile(folder.path("missing/log.txt").c_str()));

    ASSERT_EQ(0u, m_log.clear());
    ASSERT_EQ(0u, m_log.exportToFile(folder.path("log.txt").c_str()));
    EXPECT_EQ("", readText(folder.path("log.txt")));  // truncated
}

TEST_F(DiagLoggerTest, WithoutItsLockNothingIsTouched)
{
    ASSERT_EQ(0u, m_log.add("kept"));
    ASSERT_EQ(0u, m_log.finalize());
    char buffer[16];
    EXPECT_EQ(0x80000000u, m_log.add("lost"));
    EXPECT_EQ(0u, m_log.getAll(buffer, sizeof buffer));
    ASSERT_EQ(0u, m_log.initialize());
    EXPECT_EQ(5u, m_log.getAll(buffer, sizeof buffer));
    EXPECT_STREQ("kept", buffer);
}

}  // namespace
