#include "comctrl/Core/comctrl_EventMessenger.h"

#include <gtest/gtest.h>

#include <string>

#include "CommandBytes.h"
#include "PortTestSupport.h"
#include "UnitTestSupport.h"
#include "comctrl/Core/comctrl_ESP.h"
#include "vsock/VsockTestSupport.h"

using namespace comctrltest;
using ComControl::ESP;
using ComControl::EventMessenger;

namespace {

constexpr uint32_t kCapacity = 2048;

// A messenger on port "EEVT" of a multiplexer over the fake core port, beside a scripted port
// "FILL" that can fill the send queue.
class EventMessengerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vsocktest::startOsLayer());
        ASSERT_EQ(0u, m_esp.setCorePort(&m_core));
        ASSERT_EQ(0u, m_messenger.initialize(false, nullptr));
        ASSERT_EQ(0u, m_messenger.setPortName("EEVT"));
        ASSERT_EQ(0u, m_messenger.setExecutor("Sync", m_executor, 5));
        ASSERT_EQ(0u, m_messenger.setPort(&m_esp));
        ASSERT_EQ(0u, m_esp.registerVPortObserver(0, "EEVT", &m_messenger));
        ASSERT_EQ(0u, m_esp.registerVPortObserver(1, "FILL", &m_filler));
        ASSERT_EQ(0u, m_esp.openPort(0));
        ASSERT_EQ(0u, m_esp.openPort(1));
    }

    // The socket takes nothing and the queue keeps only `left` bytes free.
    void fillQueue(uint32_t left)
    {
        m_core.room = 0;
        const uint32_t blank = kCapacity - m_esp.queuedBytes();
        m_filler.outbox.push_back(std::string(blank - ESP::kFrameHeaderSize - left, 'f'));
        (void)m_esp.writeRequest("FILL");  // 4: queued, the socket takes nothing now
        ASSERT_EQ(left, kCapacity - m_esp.queuedBytes());
    }
    // The socket drains everything again.
    void drain()
    {
        m_core.room = 1u << 30;
        (void)m_esp.onSent();
        m_core.sent.clear();
    }
    JLIB::JResult receive(const std::string& payload)
    {
        m_core.incoming.push_back(frame("EEVT", payload));
        return m_esp.onReceived();
    }

    FakeCorePort m_core;
    ESP m_esp{2, kCapacity};
    RecordingExecutor m_executor;
    EventMessenger m_messenger;
    ScriptedObserver m_filler;
};

}  // namespace

TEST_F(EventMessengerTest, AnswersOnlyTheEventsTheExecutorAccepts)
{
    const CommandBytes event = CommandBytes(0x030101, 4).param(0x14, 1).be32(0).param(0x14, 1).be32(0x1234)
                                   .param(0x31, 14).raw({'S', 'e', 't', 'C', 'l', 'i', 'e', 'n', 't', 'T', 'y', 'p', 'e', 0})
                                   .param(0x31, 6).raw({'P', 'I', 'N', ':', '1', 0}).finish();
    const std::string payload(reinterpret_cast<const char*>(event.data()), event.size());
    struct Case {
        uint32_t result;
        std::string sent;
    };
    const Case cases[] = {
        {0, frame("EEVT", answerCommand(0x1234, "SetClientType", "PIN:1", 0))},
        {0x80000001u, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        m_executor.events.clear();
        m_core.sent.clear();
        m_executor.result = c.result;
        EXPECT_EQ(0u, receive(payload));
        EXPECT_EQ((std::vector<ExecutedEvent>{{5, "SetClientType", "PIN:1"}}), m_executor.events);
        EXPECT_EQ(c.sent, m_core.sent);
    }
    // Answers from the peer are read and dropped.
    m_executor.events.clear();
    m_core.sent.clear();
    EXPECT_EQ(0u, receive(answerCommand(0, "KeepAlive", "")));
    EXPECT_TRUE(m_executor.events.empty());
    EXPECT_EQ("", m_core.sent);
}

TEST_F(EventMessengerTest, AnEventRunsOnceWhenThereIsRoomForItsAnswer)
{
    const std::string event = eventCommand("ApplyConfig", "");
    const uint32_t answerSize = static_cast<uint32_t>(answerCommand(0, "ApplyConfig", "").size());
    fillQueue(answerSize + ESP::kFrameHeaderSize - 1);
    EXPECT_EQ(ESP::kHeld, receive(event));
    EXPECT_TRUE(m_executor.events.empty());

    m_core.room = 1u << 30;
    EXPECT_EQ(0u, m_esp.onSent());
    EXPECT_EQ(1u, m_executor.events.size());
    EXPECT_EQ(frame("EEVT", answerCommand(0, "ApplyConfig", "")), m_core.sent.substr(m_core.sent.size() - answerSize - 8));
}

// An event that found no room waits, copied, also without items; a second one is refused; the
// periodic tick sends the waiting one once the queue drained.
TEST_F(EventMessengerTest, AWaitingEventGoesOutOnThePeriodicTick)
{
    fillQueue(20);
    std::string name = "ApplyConfig";
    EXPECT_EQ(0u, m_messenger.send(0, name.c_str(), ""));
    name = "overwritten";  // the messenger keeps its own copy
    EXPECT_TRUE(m_messenger.hasPendingEvent());
    EXPECT_EQ(0x80000005u, m_messenger.send(0, "KeepAlive", ""));

    drain();
    EXPECT_TRUE(m_messenger.hasPendingEvent());  // nothing asked the messenger yet
    EXPECT_EQ(0u, m_messenger.periodicHandle(50));
    EXPECT_FALSE(m_messenger.hasPendingEvent());
    EXPECT_EQ(frame("EEVT", eventCommand("ApplyConfig", "")), m_core.sent);

    m_core.sent.clear();
    EXPECT_EQ(0u, m_messenger.send(0, "KeepAlive", ""));
    EXPECT_EQ(frame("EEVT", eventCommand("KeepAlive", "")), m_core.sent);
}

// An event the executor sends while it runs would take the room checked for the answer; it
// follows the answer instead, so the received event still runs once.
TEST_F(EventMessengerTest, AnEventSentByTheExecutorFollowsTheAnswer)
{
    m_executor.inside = [this](const ExecutedEvent&) { EXPECT_EQ(0u, m_messenger.send(0, "onApplyConfig", "A:1")); };
    EXPECT_EQ(0u, receive(eventCommand("ApplyConfig", "")));
    EXPECT_EQ(frame("EEVT", answerCommand(0, "ApplyConfig", "")) + frame("EEVT", eventCommand("onApplyConfig", "A:1")),
              m_core.sent);

    // Room for the answer only (an event shorter than the answer would fit in it): the event
    // waits for the tick, the received one ran once.
    m_core.sent.clear();
    m_executor.events.clear();
    m_executor.inside = [this](const ExecutedEvent&) { EXPECT_EQ(0u, m_messenger.send(0, "K", "")); };
    const uint32_t answerSize = static_cast<uint32_t>(answerCommand(0, "ApplyConfig", "").size());
    fillQueue(answerSize + ESP::kFrameHeaderSize);
    EXPECT_EQ(0u, receive(eventCommand("ApplyConfig", "")));
    EXPECT_EQ(1u, m_executor.events.size());
    EXPECT_TRUE(m_messenger.hasPendingEvent());
    m_executor.inside = nullptr;
    drain();
    EXPECT_EQ(0u, m_messenger.periodicHandle(50));
    EXPECT_EQ(frame("EEVT", eventCommand("K", "")), m_core.sent);
    EXPECT_EQ(1u, m_executor.events.size());
}

TEST_F(EventMessengerTest, DetachingDropsTheWaitingEvent)
{
    fillQueue(20);
    ASSERT_EQ(0u, m_messenger.send(0, "KeepAlive", ""));
    EXPECT_EQ(0u, m_messenger.setPort(nullptr));
    EXPECT_FALSE(m_messenger.hasPendingEvent());
    EXPECT_EQ(0x80000005u, m_messenger.send(0, "KeepAlive", ""));  // no port
    EXPECT_EQ(0u, m_messenger.setPort(&m_esp));
    drain();
    EXPECT_EQ(0u, m_messenger.periodicHandle(50));
    EXPECT_EQ("", m_core.sent);
}

// Names above 23 or texts above 1023 characters would need more room than the answer check
// reserves: they are dropped before they run, and the next event is served normally.
TEST_F(EventMessengerTest, OverlongReceivedEventsAreDroppedUnexecuted)
{
    const std::string longName(30, 'n');
    const std::string longText(1500, 't');
    for (const auto& [name, text] : {std::pair{longName, std::string("A:1")}, std::pair{std::string("X"), longText}}) {
        CommandBytes c(0x030101, 4);
        c.param(0x14, 1).be32(0).param(0x14, 1).be32(0).param(0x31, static_cast<uint32_t>(name.size() + 1));
        c.bytes.insert(c.bytes.end(), name.begin(), name.end());
        c.u8(0).param(0x31, static_cast<uint32_t>(text.size() + 1));
        c.bytes.insert(c.bytes.end(), text.begin(), text.end());
        c.u8(0).finish();
        EXPECT_EQ(0u, receive(std::string(reinterpret_cast<const char*>(c.data()), c.size())));
    }
    EXPECT_TRUE(m_executor.events.empty());
    EXPECT_EQ("", m_core.sent);
    EXPECT_EQ(0u, receive(eventCommand("KeepAlive", "")));
    EXPECT_EQ(1u, m_executor.events.size());
}

TEST_F(EventMessengerTest, SendAndSetExecutorRefuseBadArguments)
{
    const std::string name24(24, 'n');
    const std::string text1024(1024, 't');
    EXPECT_EQ(0x80000001u, m_messenger.send(0, nullptr, ""));
    EXPECT_EQ(0x80000001u, m_messenger.send(0, "KeepAlive", nullptr));
    EXPECT_EQ(0x80000001u, m_messenger.send(0, name24.c_str(), ""));
    EXPECT_EQ(0x80000001u, m_messenger.send(0, "KeepAlive", text1024.c_str()));
    EXPECT_EQ("", m_core.sent);

    RecordingExecutor other;
    EXPECT_EQ(0x80000001u, m_messenger.setExecutor(nullptr, other, 0));
    EXPECT_EQ(0x80000001u, m_messenger.setExecutor((name24 + "x").c_str(), other, 0));
    EXPECT_EQ(&m_executor, m_messenger.getExecutor());
    EXPECT_EQ(0u, m_messenger.setExecutor(name24.c_str(), other, 0));
    EXPECT_EQ(std::string(23, 'n'), m_messenger.executorName());
    EXPECT_EQ(&other, m_messenger.getExecutor());
}

TEST_F(EventMessengerTest, AttachingGrowsThePortForTheLargestEvent)
{
    ESP small(1, 64);
    EventMessenger messenger;
    ASSERT_EQ(0u, messenger.setExecutor("Sync", m_executor, 0));  // before a port: only remembered
    EXPECT_EQ(64u + 8, small.getBufferSize());
    ASSERT_EQ(0u, messenger.setPort(&small));
    EXPECT_EQ(1085u + 8, small.getBufferSize());
}
