#pragma once
// The interrupt and termination signals of the process, taken synchronously by the main
// thread: made first, it blocks them for itself and for every task started later, so no handler
// runs on an arbitrary task. Main thread only.
#include <csignal>

namespace KAVORI {

class KavoriProcessSignals {
public:
    // Blocks SIGINT and SIGTERM, keeping the previous mask.
    KavoriProcessSignals();
    KavoriProcessSignals(const KavoriProcessSignals&) = delete;
    KavoriProcessSignals& operator=(const KavoriProcessSignals&) = delete;

    // Waits up to the time for one of them: its number, or 0 when none came.
    int wait(unsigned int milliseconds);
    // Drops the ones pending and gives back the previous mask, so a program started next does
    // not inherit them blocked.
    void restore();

private:
    sigset_t m_signals;
    sigset_t m_previous;
};

}  // namespace KAVORI
