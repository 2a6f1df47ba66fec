#include "dbgc/dbgc_DataLogger.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "ossupport/ossupport_DateTime.h"

namespace {

// The logger is process-wide: every test sets it up as the console thread does and closes it.
class DataLoggerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, logger.initialize(0, 300, 1000)); }
    void TearDown() override { (void)logger.finalize(); }  // a test may have closed it already

    DBGC::DataLogger& logger = DBGC::DataLogger::getInstance();
};

}  // namespace

TEST_F(DataLoggerTest, StartsEmptyWithTheGivenCapacities)
{
    EXPECT_EQ(300u, logger.capacity(0));
    EXPECT_EQ(1000u, logger.capacity(1));
    for (DBGC::LogCategory category : {0, 1}) {
        EXPECT_EQ(0u, logger.size(category));
        EXPECT_EQ(0u, logger.logCount(category));
    }
    EXPECT_EQ(0u, logger.capacity(2));
    EXPECT_EQ(0u, logger.capacity(-1));
}

TEST_F(DataLoggerTest, CategoryZeroGoesToBothRingsAndOneOnlyToTheSecond)
{
    ASSERT_EQ(0u, logger.push(0, 7, "zero", 8, "value %d", 1));
    ASSERT_EQ(0u, logger.push(1, 9, nullptr, 10, "value %s", "two"));
    EXPECT_EQ(0x80000000u, logger.push(2, 0, "bad", 0, "x"));
    EXPECT_EQ(0x80000000u, logger.push(-1, 0, "bad", 0, "x"));
    EXPECT_EQ(0x80000000u, logger.push(0, 0, "bad", 0, nullptr));

    EXPECT_EQ(1u, logger.size(0));
    EXPECT_EQ(2u, logger.size(1));
    EXPECT_EQ(1u, logger.logCount(0));
    EXPECT_EQ(2u, logger.logCount(1));

    uint32_t year = 0;
    (void)OSSUPPORT::GetLocalDateTime(&year, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);  // always 0
    DBGC::LogRecord record;
    ASSERT_EQ(0u, logger.at(0, 0, record));
    EXPECT_EQ(0, record.category);
    EXPECT_EQ(7u, record.firstNumber);
    EXPECT_EQ("zero", record.text);
    EXPECT_EQ(8u, record.secondNumber);
    EXPECT_EQ("value 1", record.message);
    EXPECT_EQ(static_cast<int32_t>(year), record.year);
    EXPECT_TRUE(record.month >= 1 && record.month <= 12);
    EXPECT_TRUE(record.day >= 1 && record.day <= 31);

    ASSERT_EQ(0u, logger.at(1, 1, record));
    EXPECT_EQ(1, record.category);
    EXPECT_EQ("", record.text);
    EXPECT_EQ("value two", record.message);

    EXPECT_EQ(0x80000001u, logger.at(0, 1, record));  // the ring holds one record
    EXPECT_EQ(0x80000000u, logger.at(2, 0, record));
}

TEST_F(DataLoggerTest, KeepsTheNewestRecordsAndCountsEveryPush)
{
    const std::string longText(300, 'm');
    for (int i = 1; i <= 301; ++i) ASSERT_EQ(0u, logger.push(0, static_cast<uint32_t>(i), "", 0, "%d", i));
    ASSERT_EQ(0u, logger.push(0, 0, "", 0, "%s", longText.c_str()));
    EXPECT_EQ(300u, logger.size(0));
    EXPECT_EQ(302u, logger.logCount(0));
    EXPECT_EQ(302u, logger.size(1));

    DBGC::LogRecord record;
    ASSERT_EQ(0u, logger.at(0, 0, record));
    EXPECT_EQ(3u, record.firstNumber);  // records 1 and 2 were dropped
    ASSERT_EQ(0u, logger.at(0, 299, record));
    EXPECT_EQ(longText.substr(0, 255), record.message);

    ASSERT_EQ(0u, logger.clear());
    EXPECT_EQ(0u, logger.size(0));
    EXPECT_EQ(0u, logger.size(1));
    EXPECT_EQ(302u, logger.logCount(0));  // clear keeps the counters
    EXPECT_EQ(302u, logger.logCount(1));
}

TEST_F(DataLoggerTest, FinalizeClosesUntilTheNextInitialize)
{
    ASSERT_EQ(0u, logger.push(1, 0, "", 0, "x"));
    ASSERT_EQ(0u, logger.finalize());
    DBGC::LogRecord record;
    EXPECT_EQ(0x80000000u, logger.finalize());
    EXPECT_EQ(0x80000000u, logger.clear());
    EXPECT_EQ(0x80000000u, logger.push(0, 0, "", 0, "x"));
    EXPECT_EQ(0x80000000u, logger.at(1, 0, record));
    EXPECT_EQ(0u, logger.size(1));
    EXPECT_EQ(0u, logger.capacity(1));
    EXPECT_EQ(0u, logger.logCount(1));

    ASSERT_EQ(0u, logger.initialize(0, 2, 3));
    EXPECT_EQ(0u, logger.logCount(1));
    EXPECT_EQ(3u, logger.capacity(1));
}

TEST_F(DataLoggerTest, ConcurrentPushesAreAllCounted)
{
    ASSERT_EQ(0u, logger.initialize(0, 50, 100));
    constexpr int kThreads = 4;
    constexpr int kPushes = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kPushes; ++i) (void)logger.push(t % 2, static_cast<uint32_t>(t), "w", 0, "%d", i);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(static_cast<uint32_t>(kThreads / 2 * kPushes), logger.logCount(0));
    EXPECT_EQ(static_cast<uint32_t>(kThreads * kPushes), logger.logCount(1));
    EXPECT_EQ(50u, logger.size(0));
    EXPECT_EQ(100u, logger.size(1));
    ASSERT_EQ(0u, logger.beginMutex());
    ASSERT_EQ(0u, logger.endMutex());
}
