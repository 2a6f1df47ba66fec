#pragma once
// Bounded waits for the lock tests: a condition polled against a deadline, and a check that a
// blocked thread stays blocked for a while.
#include <chrono>
#include <thread>

namespace DevctrlTest {

using namespace std::chrono_literals;

template <typename Pred>
bool waitFor(Pred pred, std::chrono::milliseconds limit = 5s)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(200us);
    }
    return true;
}

// True when pred stays false for the whole period: a waiter that polls every millisecond has had
// many chances to get through a lock it must not have.
template <typename Pred>
bool staysFalse(Pred pred, std::chrono::milliseconds period = 30ms)
{
    const auto end = std::chrono::steady_clock::now() + period;
    while (std::chrono::steady_clock::now() < end) {
        if (pred()) return false;
        std::this_thread::sleep_for(200us);
    }
    return !pred();
}

}  // namespace DevctrlTest
