#pragma once
// Shared by the OS wrapper tests: module start/end around one test and bounded waits.
#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "oswrap/oswrap.h"

namespace oswraptest {

// Starts the module for one test and ends it afterwards, so tests also pass in one process.
class ModuleScope {
public:
    ModuleScope() { EXPECT_EQ(0u, oswrap_init(nullptr, 0, 0)); }
    ~ModuleScope() { EXPECT_EQ(0u, oswrap_exit()); }
    ModuleScope(const ModuleScope&) = delete;
    ModuleScope& operator=(const ModuleScope&) = delete;
};

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline long currentTid() { return static_cast<long>(::syscall(SYS_gettid)); }

// True while the thread sleeps in the kernel (state S), e.g. blocked in a wait.
inline bool isThreadSleeping(long tid)
{
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    char line[512] = {};
    const bool read = std::fgets(line, sizeof(line), f) != nullptr;
    std::fclose(f);
    if (!read) return false;
    // The state follows the parenthesised command name.
    const char* close = std::strrchr(line, ')');
    return close && close[1] == ' ' && close[2] == 'S';
}

// Waits until the thread whose id lands in `tid` is blocked.
inline bool waitUntilBlocked(const std::atomic<long>& tid)
{
    return waitFor([&] { return tid.load() != 0 && isThreadSleeping(tid.load()); });
}

}  // namespace oswraptest
