#pragma once
// The thread "DebugConsole": the debug console thread with the console's command modules, whose
// TCP console follows the shared parameter "DebugState" (1 closes it, any other value opens it).
// Hooks run on its own task.
#include <cstdint>

#include "dbgc/dbgc_DebugConsoleThread.h"
#include "jlib/JVariant.h"

namespace KAVORI {

class KavoriDebugConsoleThread : public DBGC::DebugConsoleThread {
public:
    // The TCP console's port unless the start-up option "dbgport" names another.
    static constexpr uint16_t kDefaultPort = DBGC::DebugConsoleThread::kDefaultPort;

    explicit KavoriDebugConsoleThread(uint16_t port = kDefaultPort);
    ~KavoriDebugConsoleThread() override;

    // The port a start-up option value asks for: a text of decimal digits from 1 to 65535;
    // anything else (no value, another type, a bad text) gives kDefaultPort. Any task.
    static uint16_t portOfOption(const JVariant& option);

    // Own task only: whether the last rule decision opened the TCP console.
    bool isConsoleOn() const { return m_consoleOn; }

protected:
    // The base's, then the "DebugState" rule; the base's result.
    JLIB::JResult onChangeSystemInfo() override;

private:
    bool m_consoleOn;
};

}  // namespace KAVORI
