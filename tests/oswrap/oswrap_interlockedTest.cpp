#include "oswrap/oswrap_interlocked.h"

#include <gtest/gtest.h>

#include <climits>
#include <thread>
#include <vector>

TEST(oswrap_interlockedTest, EachOperationReturnsTheOldValue)
{
    struct Case { const char* op; int32_t start, arg, comparand, returned, after; };
    const Case cases[] = {
        {"inc", 5, 0, 0, 5, 6},
        {"inc", INT32_MAX, 0, 0, INT32_MAX, INT32_MIN},
        {"dec", 5, 0, 0, 5, 4},
        {"dec", 0, 0, 0, 0, -1},
        {"xchg", 5, 9, 0, 5, 9},
        {"cmpxchg", 5, 9, 5, 5, 9},
        {"cmpxchg", 5, 9, 4, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        volatile int32_t value = c.start;
        int32_t returned = 0;
        const std::string op = c.op;
        if (op == "inc") returned = oswrap_InterlockedIncrement(&value);
        if (op == "dec") returned = oswrap_InterlockedDecrement(&value);
        if (op == "xchg") returned = oswrap_InterlockedExchange(&value, c.arg);
        if (op == "cmpxchg") returned = oswrap_InterlockedCompareExchange(&value, c.arg, c.comparand);
        EXPECT_EQ(c.returned, returned);
        EXPECT_EQ(c.after, value);
    }
}

TEST(oswrap_interlockedTest, IncrementsFromManyThreadsAreNotLost)
{
    volatile int32_t value = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) (void)oswrap_InterlockedIncrement(&value);
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(40000, value);
}
