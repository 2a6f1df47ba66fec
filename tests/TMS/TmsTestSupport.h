#pragma once
// Shared helpers of the thread framework tests.
#include <chrono>
#include <functional>
#include <thread>

namespace TmsTest {

// Polls the predicate until it holds or the deadline passes.
inline bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace TmsTest
