#include "dbgc/dbgc_DebugConsoleThread.h"

#include "dbgc/dbgc_DataLogger.h"
#include "dbgc/dbgc_stdapi.h"

namespace DBGC {

namespace {

constexpr JLIB::HeapId kLoggerHeap = 0;
constexpr uint32_t kLoggerCategory0Records = 300;
constexpr uint32_t kLoggerAllRecords = 1000;

}  // namespace

DebugConsoleThread::DebugConsoleThread(const DBG_MODULE_INFO* table, uint32_t rows, uint16_t port)
    : TMS::AbstractThread(kQueueCapacity), m_pModuleTable(table), m_moduleCount(rows), m_etherServer(port)
{
    // A ring that cannot be made leaves the logger failing its pushes: nothing fills it as built.
    (void)DataLogger::getInstance().initialize(kLoggerHeap, kLoggerCategory0Records, kLoggerAllRecords);
    // A third output is refused; the console then only misses the trace.
    (void)dbgAddLowIO(m_etherServer);
}

DebugConsoleThread::~DebugConsoleThread()
{
    // The transport leaves the output list before it is destroyed.
    (void)dbgFinalize();  // a missing lock only means nothing was printed
    (void)DataLogger::getInstance().finalize();  // not set up: nothing to close
}

JLIB::JResult DebugConsoleThread::initialize(const char* name, int16_t priority, uint8_t startOrder,
                                             uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                             uint32_t timerPeriodMs, const TMS::ArgumentMap& arguments)
{
    const JLIB::JResult result = TMS::AbstractThread::initialize(name, priority, startOrder, stackSize, heapSize,
                                                                 logLines, timerPeriodMs, arguments);
    return JLIB::isFailure(result) ? result : JLIB::kOk;
}

JLIB::JResult DebugConsoleThread::onDebugConsoleWakeup(DebugConsole& console)
{
    // A thread not (or no longer) running refuses the event; the events stay with the socket.
    if (&console == &m_localConsole) (void)sendEvent(kLocalConsoleEvent);
    else if (&console == &m_etherConsole) (void)sendEvent(kEtherConsoleEvent);
    return JLIB::kOk;
}

JLIB::JResult DebugConsoleThread::onReceiveEvent(uint32_t eventNumber)
{
    // A shell without a transport refuses to run; that is no failure of the thread.
    if (eventNumber == kLocalConsoleEvent) (void)m_localConsole.run();
    else if (eventNumber == kEtherConsoleEvent) (void)m_etherConsole.run();
    return JLIB::kOk;
}

JLIB::JResult DebugConsoleThread::onFinalize()
{
    // Nobody serves the TCP user once the loop has ended, and the socket layer's task must not call
    // into this object while its owner destroys it: the connection and the port close here. A
    // console that was not open has nothing to close.
    (void)m_etherConsole.finalize();
    return TMS::AbstractThread::onFinalize();
}

JLIB::JResult DebugConsoleThread::startEtherConsole()
{
    const JLIB::JResult result = m_etherConsole.initialize(this, m_etherServer, m_pModuleTable, m_moduleCount);
    if (JLIB::isFailure(result)) {
        (void)outputLog("[E] DebugConsoleThread::startEtherConsole - Cannot initialize 'DebugConsole for TCP Server'!\n");
        return JLIB::kFailed;
    }
    return result;
}

JLIB::JResult DebugConsoleThread::stopEtherConsole()
{
    const JLIB::JResult result = m_etherConsole.finalize();
    if (JLIB::isFailure(result)) {
        (void)outputLog("[E] DebugConsoleThread::stopEtherConsole - Cannot finalize 'DebugConsole for TCP Server'!\n");
        return JLIB::kFailed;
    }
    return result;
}

}  // namespace DBGC
