// Each test runs in its own process (gtest_discover_tests): registrations and dbgFinalize last
// for the whole process, as they do in the engine.
#include "dbgc/dbgc_stdapi.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <thread>
#include <vector>

#include "DbgcTestSupport.h"

namespace {

using DbgcTest::MemoryLowIO;

uint32_t vprintVia(const char* format, ...) __attribute__((format(printf, 1, 2)));
uint32_t vprintVia(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const uint32_t length = dbgVPrintf(format, args);
    va_end(args);
    return length;
}

}  // namespace

TEST(dbgc_stdapiTest, PrintsToStandardOutputWithoutAnyOutputRegistered)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(12u, dbgPrintf("[i] x=%d %s\n", 42, "ok"));
    EXPECT_EQ(5u, vprintVia("%c%c%3u", 'a', 'b', 7u));
    EXPECT_EQ(2u, dbgPrintf("%f\n", 1.5));  // no floating point: the letter is printed
    EXPECT_EQ(0u, dbgPrintf(nullptr));
    EXPECT_EQ("[i] x=42 ok\nab  7f\n", testing::internal::GetCapturedStdout());
}

TEST(dbgc_stdapiTest, WritesEachOutputInOrderThenStandardOutput)
{
    MemoryLowIO first;
    MemoryLowIO second;
    MemoryLowIO third;
    ASSERT_EQ(0u, dbgAddLowIO(first));
    ASSERT_EQ(0u, dbgAddLowIO(second));
    EXPECT_EQ(0x80000000u, dbgAddLowIO(third));

    testing::internal::CaptureStdout();
    EXPECT_EQ(6u, dbgPrintf("trace\n"));
    EXPECT_EQ("trace\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("trace\n", first.takeSent());
    EXPECT_EQ("trace\n", second.takeSent());
    EXPECT_EQ("", third.takeSent());
    EXPECT_EQ(1, first.flushCalls);
}

TEST(dbgc_stdapiTest, CutsFormattedTextAt399ButWritesPlainTextWhole)
{
    MemoryLowIO out;
    ASSERT_EQ(0u, dbgAddLowIO(out));
    const std::string longText(500, 'a');

    testing::internal::CaptureStdout();
    EXPECT_EQ(399u, dbgPrintf("%s", longText.c_str()));
    EXPECT_EQ(longText.substr(0, 399), testing::internal::GetCapturedStdout());
    EXPECT_EQ(longText.substr(0, 399), out.takeSent());

    testing::internal::CaptureStdout();
    EXPECT_EQ(500u, dbgPrintStr(longText.c_str()));
    EXPECT_EQ(0u, dbgPrintStr(nullptr));
    EXPECT_EQ(longText, testing::internal::GetCapturedStdout());
    EXPECT_EQ(longText, out.takeSent());
}

TEST(dbgc_stdapiTest, ModeZeroWritesNothingAnywhereAndOnlyZeroOrOneAreAccepted)
{
    MemoryLowIO out;
    ASSERT_EQ(0u, dbgAddLowIO(out));
    EXPECT_EQ(1, dbgGetDbgMode());
    EXPECT_EQ(0x80000000u, dbgSetDbgMode(2));
    EXPECT_EQ(0x80000000u, dbgSetDbgMode(-1));
    EXPECT_EQ(1, dbgGetDbgMode());

    ASSERT_EQ(0u, dbgSetDbgMode(0));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dbgPrintf("hidden\n"));
    EXPECT_EQ(0u, dbgPrintStr("hidden\n"));
    EXPECT_EQ(0u, dbgPrintfRaw("hidden\n"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ("", out.takeSent());

    ASSERT_EQ(0u, dbgSetDbgMode(1));
    testing::internal::CaptureStdout();
    EXPECT_EQ(6u, dbgPrintf("shown\n"));
    EXPECT_EQ("shown\n", testing::internal::GetCapturedStdout());
}

TEST(dbgc_stdapiTest, FailingOutputDoesNotKeepTheTextFromTheOthers)
{
    MemoryLowIO failing;
    MemoryLowIO healthy;
    failing.sendResult = 0x80000003u;
    ASSERT_EQ(0u, dbgAddLowIO(failing));
    ASSERT_EQ(0u, dbgAddLowIO(healthy));

    testing::internal::CaptureStdout();
    EXPECT_EQ(4u, dbgPrintf("abc\n"));
    EXPECT_EQ("abc\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1, failing.sendCalls);
    EXPECT_EQ("abc\n", healthy.takeSent());

    // A failing flush ends the text for that output just the same.
    failing.sendResult = 0;
    failing.flushResult = 0x80000000u;
    failing.takeAtMost = 1;
    (void)failing.takeSent();
    testing::internal::CaptureStdout();
    EXPECT_EQ(4u, dbgPrintf("xyz\n"));
    EXPECT_EQ("xyz\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("x", failing.takeSent());
    EXPECT_EQ("xyz\n", healthy.takeSent());
}

TEST(dbgc_stdapiTest, RepeatsPartialSendsAndGivesUpOnAnOutputThatTakesNothing)
{
    MemoryLowIO partial;
    MemoryLowIO stalled;
    partial.takeAtMost = 3;
    stalled.takeAtMost = 0;  // reports success but never takes a byte
    ASSERT_EQ(0u, dbgAddLowIO(stalled));
    ASSERT_EQ(0u, dbgAddLowIO(partial));

    testing::internal::CaptureStdout();
    EXPECT_EQ(11u, dbgPrintf("0123456789\n"));
    EXPECT_EQ("0123456789\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(1, stalled.sendCalls);
    EXPECT_EQ("0123456789\n", partial.takeSent());
    EXPECT_EQ((std::vector<std::string>{"012", "345", "678", "9\n"}), partial.sends);
    EXPECT_EQ(4, partial.flushCalls);
}

TEST(dbgc_stdapiTest, FinalizeClosesTheLayerForGood)
{
    MemoryLowIO before;
    MemoryLowIO after;
    ASSERT_EQ(0u, dbgAddLowIO(before));
    ASSERT_EQ(0u, dbgFinalize());
    EXPECT_EQ(0x80000000u, dbgFinalize());  // no lock any more
    EXPECT_EQ(0u, dbgAddLowIO(after));      // accepted, but nothing is registered

    testing::internal::CaptureStdout();
    EXPECT_EQ(0u, dbgPrintf("gone\n"));
    EXPECT_EQ(0u, dbgPrintStr("gone\n"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(0, before.sendCalls);
    EXPECT_EQ(0, after.sendCalls);
}

TEST(dbgc_stdapiTest, FinalizeBeforeAnyLockChangesNothing)
{
    EXPECT_EQ(0x80000000u, dbgFinalize());
    testing::internal::CaptureStdout();
    EXPECT_EQ(6u, dbgPrintf("still\n"));
    EXPECT_EQ("still\n", testing::internal::GetCapturedStdout());
}

TEST(dbgc_stdapiTest, LockHoldersPrintWithTheRawForms)
{
    MemoryLowIO out;
    ASSERT_EQ(0u, dbgAddLowIO(out));
    ASSERT_EQ(0u, dbgEnterCriticalSection());
    testing::internal::CaptureStdout();
    EXPECT_EQ(8u, dbgPrintfRaw("raw %d\n", 123));
    EXPECT_EQ("raw 123\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(0u, dbgLeaveCriticalSection());
    EXPECT_EQ("raw 123\n", out.takeSent());
}

TEST(dbgc_stdapiTest, TextsOfConcurrentPrintersStayWhole)
{
    MemoryLowIO out;
    ASSERT_EQ(0u, dbgAddLowIO(out));
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    testing::internal::CaptureStdout();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i) (void)dbgPrintf("thread %d line %03d of the trace\n", t, i);
        });
    }
    for (std::thread& thread : threads) thread.join();
    const std::string printed = testing::internal::GetCapturedStdout();

    ASSERT_EQ(static_cast<size_t>(kThreads * kLines), out.sends.size());
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : out.sends) {
        int t = -1;
        int i = -1;
        ASSERT_EQ(2, std::sscanf(line.c_str(), "thread %d line %d of the trace\n", &t, &i)) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(next[t]++, i);  // each thread's lines arrive whole and in its order
    }
    EXPECT_EQ(out.takeSent(), printed);  // standard output saw the same order
}

TEST(dbgc_stdapiTest, ConvertersKeepTheirBaseAndLengthLimits)
{
    using Converter = uint32_t (*)(uint32_t*, const char*);
    struct Case { const char* name; Converter convert; const char* text; uint32_t result; uint32_t value; };
    const Case cases[] = {
        {"dec", dbgCnvDec2Bin, "12ab", 0, 12},
        {"dec", dbgCnvDec2Bin, "12345678901", 0, 1234567890},  // ten characters only
        {"dec", dbgCnvDec2Bin, "4294967296", 0x80000002u, 0xFFFFFFFFu},
        {"dec", dbgCnvDec2Bin, "", 0, 0},
        {"hex", dbgCnvHex2Bin, "deadBEEF7", 0, 0xDEADBEEFu},  // eight characters only
        {"hex", dbgCnvHex2Bin, "1g", 0, 1},
        {"bit", dbgCnvBit2Bin, "1012", 0, 5},
        {"bit", dbgCnvBit2Bin, "111111111111111111111111111111110", 0, 0xFFFFFFFFu},  // 32 characters
        {"dec", dbgCnvDec2Bin, nullptr, 0x80000001u, 0x5A5A5A5Au},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + (c.text ? c.text : "(null)"));
        uint32_t value = 0x5A5A5A5Au;
        EXPECT_EQ(c.result, c.convert(&value, c.text));
        EXPECT_EQ(c.value, value);
    }

    char text[] = "Mixed Case 42!";
    EXPECT_EQ(0u, dbgCnvChrSmall2Big(text));
    EXPECT_STREQ("MIXED CASE 42!", text);
    EXPECT_EQ(0u, dbgCnvChrBig2Small(text));
    EXPECT_STREQ("mixed case 42!", text);
    EXPECT_EQ(0u, dbgCnvChrBig2Small(nullptr));
}
