// A framework thread as the owner: wakeup sends the thread a user event, and the events of the
// socket are delivered inside the thread's own event hook.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#include "TMS/AbstractThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "VComTestOwner.h"
#include "VUviRido/Socket/VComUdpSocket.h"

using namespace vcomtest;

namespace {

constexpr uint32_t kSocketEvent = 4;

class SocketThread : public TmsTest::RecordingThread, public VCOM::IVComWakeupFunction, public VCOM::IVComCallback {
public:
    SocketThread() : TmsTest::RecordingThread(50) {}
    ~SocketThread() override { (void)release(); } // before the socket members go

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override { return sendEvent(kSocketEvent); }

    JLIB::JResult onConnected(uint32_t, signed char) override { return note("connected"); }
    JLIB::JResult onConnectionFailed(uint32_t, signed char, VCOM::ConnectionError) override { return note("failed"); }
    JLIB::JResult onDisconnected(uint32_t, signed char) override { return note("disconnected"); }
    JLIB::JResult onAccepted(uint32_t, signed char, signed char) override { return note("accepted"); }
    JLIB::JResult onReceived(uint32_t, signed char) override
    {
        char buffer[64] = {};
        uint32_t count = 0;
        while (socket->receive(buffer, sizeof(buffer) - 1, count) == 0 && count > 0) {
            (void)note(std::string("data:") + buffer);
            std::memset(buffer, 0, sizeof(buffer));
        }
        return 0;
    }
    JLIB::JResult onSent(uint32_t, signed char) override { return note("sent"); }
    JLIB::JResult onCommunicationFailed(uint32_t, signed char, VCOM::CommError) override { return note("commFailed"); }

    std::unique_ptr<VCOM::VComUdpSocket> socket;  // made and used on the thread's task
    uint16_t port = 0;
    std::atomic<int> offTask{0};
    std::atomic<JLIB::JResult> listenResult{0xFFFFFFFFu};

protected:
    JLIB::JResult onReceiveEvent(uint32_t eventNumber) override
    {
        if (eventNumber == kSocketEvent && socket) (void)socket->runCallback(*this); // idle: 0x80000081
        return TmsTest::RecordingThread::onReceiveEvent(eventNumber);
    }
    JLIB::JResult onFinalize() override
    {
        socket.reset();
        return TmsTest::RecordingThread::onFinalize();
    }

private:
    JLIB::JResult note(const std::string& text)
    {
        uint16_t task = 0;
        if (oswrap_GetTskId(&task) != 0 || task != getTaskId()) ++offTask;
        record(text);
        return 0;
    }
};

TEST(VComThreadOwnerTest, FrameworkThreadReceivesItsSocketEventsOnItsOwnTask)
{
    ASSERT_TRUE(startLayers());
    TMS::TMSystem system;
    SocketThread thread;
    thread.port = vsocktest::pickPort(SOCK_DGRAM);
    thread.onInit = [&thread] {
        thread.socket = std::make_unique<VCOM::VComUdpSocket>();
        (void)thread.socket->start(21, thread);
        thread.listenResult = thread.socket->listen(loopbackAddress(), thread.port);
    };
    ASSERT_TRUE(TmsTest::setUpThread(thread, "SockOwner"));
    ASSERT_EQ(0u, thread.start(TMS::getNullDataMap()));
    ASSERT_EQ(0u, thread.listenResult.load());

    vsocktest::RawSocket peer(SOCK_DGRAM);
    ASSERT_TRUE(peer.sendTo(thread.port, "one", 3));
    ASSERT_TRUE(peer.sendTo(thread.port, "two", 3));
    ASSERT_TRUE(waitFor([&] { return thread.count("data:two") == 1; }));
    EXPECT_EQ(1u, thread.count("data:one"));
    EXPECT_EQ(0, thread.offTask.load());
    EXPECT_EQ(0u, thread.release());
    // The system's end stops every task; the socket task ends on its own request, not by waiting.
    EXPECT_EQ(0, vsock_endModule());
}

}  // namespace
