#include "common/Lpc/LpcRecallStopwatch.h"

#include <atomic>
#include <chrono>
#include <cstdio>

namespace LPC {

namespace {

// Microseconds of the system clock; each field is written whole, so a reader on another thread
// sees an old or a new time, never a torn one.
std::atomic<int64_t> s_startUs{0};
std::atomic<int64_t> s_endUs{0};
std::atomic<bool> s_recalling{false};

int64_t nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double toMs(int64_t us)
{
    return static_cast<double>(us) / 1000.0;
}

}  // namespace

void dbg_startRecall()
{
    s_startUs.store(nowUs());
    s_recalling.store(true);
}

void dbg_lapRecall(int32_t mark, bool print)
{
    if (!print) return;
    std::printf("lap time[%d] %lf[ms]\n", static_cast<int>(mark), toMs(nowUs() - s_startUs.load()));
    (void)std::fflush(stdout);  // debug output: nothing to do when it cannot be flushed
}

void dbg_endRecall()
{
    s_recalling.store(false);
    s_endUs.store(nowUs());
    std::printf("recall time %lf[ms]\n", toMs(s_endUs.load() - s_startUs.load()));
    (void)std::fflush(stdout);  // as above
}

bool dbg_isRecalling()
{
    return s_recalling.load();
}

}  // namespace LPC
