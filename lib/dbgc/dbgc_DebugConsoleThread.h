#pragma once
// Thread base that owns the debug consoles: a local shell (no transport of its own) and a TCP shell
// behind a LowIOEtherServer. The transports' wake-ups become the thread's private events 16 and 17,
// and the shells then work on the thread's own task. Constructing it makes every later dbgPrintf
// of the process reach the TCP console's user; destroying it closes the debug print for good.
#include <cstdint>

#include "TMS/AbstractThread.h"
#include "dbgc/dbgc_DebugConsole.h"
#include "dbgc/dbgc_LowIOEtherServer.h"

namespace DBGC {

class DebugConsoleThread : public TMS::AbstractThread, public IDebugConsoleCallback {
public:
    static constexpr uint16_t kDefaultPort = 50002;
    static constexpr uint32_t kLocalConsoleEvent = 16;
    static constexpr uint32_t kEtherConsoleEvent = 17;
    static constexpr uint32_t kQueueCapacity = 1;

    // The module table lives above this library (it reaches the database and other threads), so the
    // owner hands it in; it is borrowed for the thread's lifetime (static in practice). Sets up the
    // data logger (heap 0, 300 and 1000 records) and registers the transport with the debug print.
    DebugConsoleThread(const DBG_MODULE_INFO* table, uint32_t rows, uint16_t port = kDefaultPort);
    // Closes the debug print and the data logger, then the transport. The owner releases the thread
    // first, as for every thread.
    ~DebugConsoleThread() override;

    using TMS::AbstractThread::initialize;
    // Any task. The base's result, with statuses turned into 0.
    [[nodiscard]] JLIB::JResult initialize(const char* name, int16_t priority, uint8_t startOrder,
                                           uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                           uint32_t timerPeriodMs, const TMS::ArgumentMap& arguments) override;

    // Socket layer's task: posts event 16 or 17 for the shell that has events; others are ignored.
    JLIB::JResult onDebugConsoleWakeup(DebugConsole& console) override;

    // Own task only. Opens the TCP console; 0x80000000 (and a log line) when the shell refuses or
    // the port cannot be opened; the shell then keeps the transport until stopEtherConsole.
    JLIB::JResult startEtherConsole();
    // Own task only. Closes the TCP console; 0x80000000 (and a log line) when it was not open.
    JLIB::JResult stopEtherConsole();

    uint16_t etherPort() const { return m_etherServer.port(); }

protected:
    // 16 runs the local shell, 17 the TCP shell; other events are ignored. Always 0.
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;
    // Closes the TCP console with the loop, then the base's.
    JLIB::JResult onFinalize() override;

private:
    const DBG_MODULE_INFO* m_pModuleTable;  // the owner's, static in practice
    uint32_t m_moduleCount;
    DebugConsole m_localConsole;
    DebugConsole m_etherConsole;
    // Declared last: destroyed first, while the shells it calls back still exist.
    LowIOEtherServer m_etherServer;
};

}  // namespace DBGC
