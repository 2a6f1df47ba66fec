#pragma once
// A framework thread that serves the factory diagnostics console on TCP, saves the diagnostics log
// on request and, while the product runs in mode 2, runs the factory address and serial writer
// ("MacBarServer") as a thread of its own. Hooks run on its own task; the console's wake-up comes
// from the socket layer's task and only posts event 16.
#include <cstdint>
#include <memory>

#include "DiagFramework/diagfrwk_DiagConsole.h"
#include "TMS/AbstractThread.h"
#include "dbgc/dbgc_LowIOEtherServer.h"

namespace MACBAR {
class MacBarServerThread;
}

namespace KAVORI {

class KavoriDiagThread : public TMS::AbstractThread, public DiagFramework::IDiagConsoleCallback {
public:
    static constexpr uint16_t kDefaultDiagPort = 50001;
    static constexpr uint16_t kDefaultMacBarPort = 50003;
    static constexpr uint32_t kConsoleEvent = 16;

    // Initialises the process-wide diagnostics log.
    explicit KavoriDiagThread(uint16_t diagPort = kDefaultDiagPort, uint16_t macBarPort = kDefaultMacBarPort);
    // Deletes a running writer thread and finalises the diagnostics log; the owner releases this
    // thread first.
    ~KavoriDiagThread() override;

    // Socket layer's task: posts event 16.
    JLIB::JResult onDiagConsoleWakeup(DiagFramework::DiagConsole& console) override;

protected:
    // The framework's, then the console on its TCP server; logged when either fails. The OR of both.
    JLIB::JResult onInitialize(const TMS::ArgumentMap& arguments) override;
    // The run mode rule: with "ProductState" 1, "RunMode" 2 starts the writer thread and leaving
    // 2 deletes it and restores the interface's IP configuration. The framework's result.
    JLIB::JResult onChangeSystemInfo() override;
    // Event 16 runs the console; 0.
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;
    // The diagnostics protocol's messages and "SaveDiagLog"; others are ignored; 0.
    JLIB::JResult onReceiveMessage(const TMS::AbstractMessage& message) override;

private:
    void startWriter();
    void stopWriter();

    DiagFramework::DiagConsole m_console;
    DBGC::LowIOEtherServer m_server;
    std::unique_ptr<MACBAR::MacBarServerThread> m_pWriter;  // null while none runs
    uint32_t m_previousRunMode;
    const uint16_t m_macBarPort;
};

}  // namespace KAVORI
