#include "MacBarServer/macbar_ServerThread.h"

#include "jlib/jlib_cfg.h"

namespace MACBAR {

MacBarServerThread::MacBarServerThread(uint16_t port) : TMS::AbstractThread(kQueueCapacity), m_etherServer(port) {}

MacBarServerThread::~MacBarServerThread()
{
    // The hooks below must not run on a task while the members go.
    if (getTaskId() != kNoId) (void)release();  // a thread that ends badly has nothing left to give back
}

JLIB::JResult MacBarServerThread::initialize(const char* name, int16_t priority, uint8_t startOrder,
                                             uint32_t stackSize, uint32_t heapSize, uint32_t logLines,
                                             uint32_t timerPeriodMs, const TMS::ArgumentMap& arguments)
{
    JLIB::JResult result = JLIB::kOk;
    if (JLIB::isFailure(TMS::AbstractThread::initialize(name, priority, startOrder, stackSize, heapSize, logLines,
                                                        timerPeriodMs, arguments))) {
        JLIB_LOG("[E] MacBarServerThread::initialize - Cannot initialize 'MACBAR Server Thread'!\n");
        result = JLIB::kFailed;
    }
    if (JLIB::isFailure(m_server.initialize(this, m_etherServer))) {
        (void)outputLog("[E] MacBarServerThread::initialize - Cannot initialize 'MACBAR Server for TCP'!\n");
        result = JLIB::kFailed;
    }
    return result;
}

JLIB::JResult MacBarServerThread::onMacBarServerWakeup(MacBarServer& server)
{
    // A thread not (or no longer) running refuses the event; the events stay with the socket.
    if (&server == &m_server) (void)sendEvent(kServerEvent);
    return JLIB::kOk;
}

JLIB::JResult MacBarServerThread::onReceiveEvent(uint32_t eventNumber)
{
    // A server whose transport failed has nothing to deliver; the thread goes on.
    if (eventNumber == kServerEvent) (void)m_server.run();
    return JLIB::kOk;
}

}  // namespace MACBAR
