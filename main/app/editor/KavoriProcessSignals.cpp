#include "editor/KavoriProcessSignals.h"

#include <pthread.h>

#include <ctime>

namespace KAVORI {

KavoriProcessSignals::KavoriProcessSignals()
{
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_signals, &m_previous);
}

int KavoriProcessSignals::wait(unsigned int milliseconds)
{
    const timespec limit = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    const int signal = sigtimedwait(&m_signals, nullptr, &limit);
    return signal > 0 ? signal : 0;  // a time-out or an interruption by another signal
}

void KavoriProcessSignals::restore()
{
    const timespec now = {0, 0};
    while (sigtimedwait(&m_signals, nullptr, &now) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

}  // namespace KAVORI
