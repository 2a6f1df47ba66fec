#pragma once
// The thread of the factory address and serial writer: owns the server and its TCP transport;
// the transport's wake-ups become the thread's private event 16, on which the server reads its
// input on the thread's own task.
#include <cstdint>

#include "MacBarServer/macbar_Server.h"
#include "TMS/AbstractThread.h"
#include "dbgc/dbgc_LowIOEtherServer.h"

namespace MACBAR {

class MacBarServerThread : public TMS::AbstractThread, public IMacBarServerCallback {
public:
    static constexpr uint16_t kDefaultPort = 50003;
    static constexpr uint32_t kServerEvent = 16;
    static constexpr uint32_t kQueueCapacity = 1;

    // Needs the OS layer (the transport makes its lock). No socket yet.
    explicit MacBarServerThread(uint16_t port = kDefaultPort);
    // The owner releases the thread first; a thread still set up is released here as a safety
    // net, before the server and the transport go.
    ~MacBarServerThread() override;
    MacBarServerThread(const MacBarServerThread&) = delete;
    MacBarServerThread& operator=(const MacBarServerThread&) = delete;

    using TMS::AbstractThread::initialize;
    // Any task. Sets up the thread, then opens the server on its port. 0x80000000 (with a log
    // line) when either step failed, else 0.
    [[nodiscard]] JLIB::JResult initialize(const char* name, int16_t priority, uint8_t startOrder,
                                           uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                           uint32_t timerPeriodMs, const TMS::ArgumentMap& arguments) override;

    // Transport's task: posts event 16 when the server is this thread's own.
    JLIB::JResult onMacBarServerWakeup(MacBarServer& server) override;

    uint16_t port() const { return m_etherServer.port(); }

protected:
    // 16 runs the server; others are ignored. Always 0.
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override;

private:
    MacBarServer m_server;
    // Declared last: destroyed first, while the server it calls back still exists.
    DBGC::LowIOEtherServer m_etherServer;
};

}  // namespace MACBAR
