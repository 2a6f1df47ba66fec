#include "comctrl/Core/comctrl_ESP.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PortTestSupport.h"
#include "vsock/VsockTestSupport.h"

using namespace comctrltest;
using ComControl::ESP;
using OnReceive = ScriptedObserver::OnReceive;

namespace {

// A multiplexer over the fake core port with three open ports "E1", "M" and "F2".
class ESPTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vsocktest::startOsLayer()); }  // dbgPrintf's lock

    void build(uint32_t capacity)
    {
        m_esp = std::make_unique<ESP>(3, capacity);
        ASSERT_EQ(0u, m_esp->setCorePort(&m_core));
        const char* names[] = {"E1", "M", "F2"};
        for (uint32_t i = 0; i < 3; ++i) {
            ASSERT_EQ(0u, m_esp->registerVPortObserver(i, names[i], &m_observers[i]));
            ASSERT_EQ(0u, m_esp->openPort(i));
        }
    }

    // Receive passes until the fake has nothing more to read; the last result.
    JLIB::JResult receiveAll()
    {
        JLIB::JResult r = 0;
        do {
            r = m_esp->onReceived();
        } while (r == 0 && !m_core.incoming.empty());
        return r;
    }

    FakeCorePort m_core;
    ScriptedObserver m_observers[3];
    ScriptedObserver& e1() { return m_observers[0]; }
    ScriptedObserver& m() { return m_observers[1]; }
    ScriptedObserver& f2() { return m_observers[2]; }
    std::unique_ptr<ESP> m_esp;
};

template <typename F>
std::pair<JLIB::JResult, std::string> printed(F call)
{
    testing::internal::CaptureStdout();
    const JLIB::JResult r = call();
    return {r, testing::internal::GetCapturedStdout()};
}

}  // namespace

TEST_F(ESPTest, DeliversSplitJoinedAndEmptyFramesWholeAndInOrder)
{
    build(64);
    for (char c : frame("E1", "hello")) m_core.incoming.push_back(std::string(1, c));  // a byte per read
    m_core.incoming.push_back(frame("M", "") + frame("E1", "second") + frame("M\0\0\0", "third"));
    EXPECT_EQ(0u, receiveAll());
    EXPECT_EQ((std::vector<std::string>{"hello", "second"}), e1().received);
    EXPECT_EQ((std::vector<std::string>{"", "third"}), m().received);
    EXPECT_EQ(0, m_core.zeroLengthCalls);  // the empty payload is not read
    EXPECT_EQ(0, m_core.disconnects);
}

TEST_F(ESPTest, FrameOfCapacityIsTakenOneByteMoreEndsTheLink)
{
    build(64);
    m_core.incoming.push_back(frame("E1", std::string(64, 'a')));
    EXPECT_EQ(0u, receiveAll());
    ASSERT_EQ(1u, e1().received.size());
    EXPECT_EQ(std::string(64, 'a'), e1().received[0]);

    m_core.incoming.push_back(frame("E1", std::string(65, 'b')));
    EXPECT_EQ(0x80000000u, m_esp->onReceived());
    EXPECT_EQ(1, m_core.disconnects);
    EXPECT_EQ(1u, e1().received.size());
}

TEST_F(ESPTest, UnknownPortIsDroppedClosedPortEndsTheLink)
{
    build(64);
    m_core.incoming.push_back(frame("ZZ", "lost") + frame("E1", "kept"));
    EXPECT_EQ(0u, receiveAll());
    EXPECT_EQ(std::vector<std::string>{"kept"}, e1().received);
    EXPECT_EQ(0, m_core.disconnects);

    ASSERT_EQ(0u, m_esp->closePort(1));
    m_core.incoming.push_back(frame("M", "closed"));
    EXPECT_EQ(0x80000000u, m_esp->onReceived());
    EXPECT_EQ(1, m_core.disconnects);
    EXPECT_TRUE(m().received.empty());
}

TEST_F(ESPTest, AnswerTravelsUnderTheSamePortName)
{
    build(64);
    m().onReceive = OnReceive::Answer;
    m_core.incoming.push_back(frame("M", "ping"));
    EXPECT_EQ(0u, receiveAll());
    EXPECT_EQ(std::string("M\0\0\0\0\0\0\x07re:ping", 15), m_core.sent);
}

TEST_F(ESPTest, HeldFrameBlocksReadingUntilASendPassDeliversIt)
{
    build(64);
    e1().onReceive = OnReceive::Hold;
    e1().reactions = 1;
    m_core.incoming.push_back(frame("E1", "one") + frame("E1", "two"));  // read together
    EXPECT_EQ(1u, m_esp->onReceived());
    m_core.incoming.push_back(frame("E1", "three"));
    EXPECT_EQ(1u, m_esp->onReceived());  // nothing read or delivered while held
    EXPECT_EQ(std::vector<std::string>{"one"}, e1().received);
    EXPECT_EQ(1u, m_core.incoming.size());

    EXPECT_EQ(0u, m_esp->onSent());  // delivers the held frame, then the rest in order
    EXPECT_EQ((std::vector<std::string>{"one", "one", "two", "three"}), e1().received);
    EXPECT_EQ(frame("E1", "re:one") + frame("E1", "re:two") + frame("E1", "re:three"), m_core.sent);
}

TEST_F(ESPTest, NoRoomForAnAnswerHoldsTheFrameAndLosesNothing)
{
    build(64);
    m_core.room = 0;  // the socket takes nothing: the ring keeps what is framed
    f2().outbox.push_back(std::string(50, 'f'));
    EXPECT_EQ(4u, m_esp->writeRequest("F2"));  // queued, waiting for the socket
    m().onReceive = OnReceive::Answer;
    m_core.incoming.push_back(frame("M", "ask"));
    EXPECT_EQ(1u, m_esp->onReceived());
    EXPECT_EQ(std::vector<std::string>{"ask"}, m().received);

    m_core.room = 1u << 20;
    EXPECT_EQ(0u, m_esp->onSent());
    EXPECT_EQ((std::vector<std::string>{"ask", "ask"}), m().received);
    EXPECT_EQ(frame("F2", std::string(50, 'f')) + frame("M", "re:ask"), m_core.sent);
}

TEST_F(ESPTest, WriteRequestResults)
{
    build(64);
    e1().outbox = {"a", "bb", "ccc"};  // the more flag drains all three in one request
    EXPECT_EQ(0u, m_esp->writeRequest("E1"));
    EXPECT_EQ(frame("E1", "a") + frame("E1", "bb") + frame("E1", "ccc"), m_core.sent);
    EXPECT_EQ(0u, m_esp->writeRequest("nope"));
    EXPECT_EQ(0u, m_esp->writeRequest(nullptr));

    m().outbox = {std::string(57, 'x')};  // more than the 56 bytes offered
    EXPECT_EQ(2u, m_esp->writeRequest("M"));
    EXPECT_EQ(1u, m().outbox.size());  // kept by the component
    EXPECT_EQ(0, m_core.disconnects);

    ASSERT_EQ(0u, m_esp->registerVPortObserver(1, "M", nullptr));
    const auto [internal, line] = printed([&] { return m_esp->writeRequest("M"); });
    EXPECT_EQ(0x80000003u, internal);
    EXPECT_EQ("ESP::writeRequest sendEvent Internal error\n", line);
    EXPECT_EQ(0, m_core.disconnects);

    f2().sendResult = 0x80000005u;
    EXPECT_EQ(0x80000000u, m_esp->writeRequest("F2"));
    EXPECT_EQ(1, m_core.disconnects);

    ASSERT_EQ(0u, m_esp->closePort(0));
    EXPECT_EQ(0x80000000u, m_esp->writeRequest("E1"));
    EXPECT_EQ(2, m_core.disconnects);
}

TEST_F(ESPTest, ReceiveInternalErrorsPrintTheirLineAndKeepTheLink)
{
    build(64);
    ASSERT_EQ(0u, m_esp->registerVPortObserver(1, "M", nullptr));
    m_core.incoming.push_back(frame("M", "x"));
    const auto [received, line] = printed([&] { return m_esp->onReceived(); });
    EXPECT_EQ(0x80000003u, received);
    EXPECT_EQ("ESP::onReceived recvEvent Internal error\n", line);
    const auto [sent, sentLine] = printed([&] { return m_esp->onSent(); });
    EXPECT_EQ(0x80000003u, sent);
    EXPECT_EQ("ESP::onSent recvEvent Internal error\n", sentLine);
    EXPECT_EQ(0, m_core.disconnects);

    ESP unconnected(1, 64);
    EXPECT_EQ(0x80000003u, unconnected.onReceived());
    EXPECT_EQ(0x80000003u, unconnected.onSent());
}

TEST_F(ESPTest, FailingComponentEndsTheLinkAndKeepsTheFrame)
{
    build(64);
    e1().onReceive = OnReceive::Fail;
    m_core.incoming.push_back(frame("E1", "bad"));
    EXPECT_EQ(0x80000000u, m_esp->onReceived());
    EXPECT_EQ(1, m_core.disconnects);
}

// A component that sends through writeRequest from inside its own call: its answer must neither
// be overwritten by the inner message nor dropped when the inner message took the ring's room.
TEST_F(ESPTest, WriteRequestFromInsideAComponentCallKeepsTheOuterAnswer)
{
    struct Case { const char* name; uint32_t capacity; bool heldFirst; };
    const Case cases[] = {{"both fit", 256, false}, {"inner takes the room", 64, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_core = FakeCorePort{};
        m_core.room = 0;
        for (ScriptedObserver& o : m_observers) o = ScriptedObserver{};
        build(c.capacity);
        e1().onReceive = OnReceive::Answer;
        f2().outbox.push_back(std::string(40, 'i'));
        e1().inside = [this] { (void)m_esp->writeRequest("F2"); };  // its answer is already written
        m_core.incoming.push_back(frame("E1", "question"));  // answer 11 bytes: 19 framed, 16 left
        EXPECT_EQ(c.heldFirst ? 1u : 0u, m_esp->onReceived());

        m_core.room = 1u << 20;
        EXPECT_EQ(0u, m_esp->onSent());
        EXPECT_EQ(frame("F2", std::string(40, 'i')) + frame("E1", "re:question"), m_core.sent);
        EXPECT_EQ(c.heldFirst ? 2u : 1u, e1().received.size());
        EXPECT_EQ(0, m_core.disconnects);
    }
}

TEST_F(ESPTest, FullSocketIsNeverAskedForZeroBytesAndDrainsInChunks)
{
    build(0x10000);
    m_core.room = 0;
    const std::string big(40000, 'z');
    e1().outbox.push_back(big);
    EXPECT_EQ(4u, m_esp->writeRequest("E1"));
    EXPECT_EQ(0, m_core.sendCalls);
    EXPECT_EQ(4u, m_esp->onSent());
    EXPECT_EQ(0, m_core.sendCalls);

    m_core.room = 1u << 20;
    EXPECT_EQ(4u, m_esp->onSent());
    EXPECT_EQ(15000u, m_core.sent.size());
    EXPECT_EQ(4u, m_esp->onSent());
    EXPECT_EQ(0u, m_esp->onSent());
    EXPECT_EQ(0u, m_esp->onSent());  // empty ring: nothing handed over
    EXPECT_EQ(3, m_core.sendCalls);
    EXPECT_EQ(frame("E1", big), m_core.sent);
    EXPECT_EQ(0, m_core.zeroLengthCalls);
}

TEST_F(ESPTest, SocketTakingFewerBytesEndsTheLink)
{
    build(64);
    m_core.acceptLimit = 5;
    e1().outbox.push_back("message");
    EXPECT_EQ(0x80000000u, m_esp->writeRequest("E1"));
    EXPECT_EQ(1, m_core.disconnects);
}

TEST_F(ESPTest, GrowingKeepsQueuedFramesAndThePartialFrame)
{
    build(64);
    EXPECT_EQ(72u, m_esp->getBufferSize());
    m_core.room = 0;
    e1().outbox = {"first", "second"};
    EXPECT_EQ(4u, m_esp->writeRequest("E1"));
    const std::string incoming = frame("M", std::string(60, 'p'));
    m_core.incoming.push_back(incoming.substr(0, 20));
    EXPECT_EQ(0u, m_esp->onReceived());

    EXPECT_EQ(0u, m_esp->expandBufferSize(32));  // never shrinks
    EXPECT_EQ(0u, m_esp->expandBufferSize(64));
    EXPECT_EQ(72u, m_esp->getBufferSize());
    EXPECT_EQ(0x80000001u, m_esp->expandBufferSize(0x1000001));
    EXPECT_EQ(0u, m_esp->expandBufferSize(1024));
    EXPECT_EQ(1032u, m_esp->getBufferSize());

    // Not while a component runs: its buffers would be freed under it.
    JLIB::JResult inside = 0;
    m().inside = [&] { inside = m_esp->expandBufferSize(4096); };
    m_core.incoming.push_back(incoming.substr(20));
    EXPECT_EQ(0u, m_esp->onReceived());
    EXPECT_EQ(0x80000001u, inside);
    EXPECT_EQ(1032u, m_esp->getBufferSize());
    EXPECT_EQ(std::vector<std::string>{std::string(60, 'p')}, m().received);
    m_core.room = 1u << 20;
    EXPECT_EQ(0u, m_esp->onSent());
    EXPECT_EQ(frame("E1", "first") + frame("E1", "second"), m_core.sent);
}

// The multiplexer takes all the socket holds: frames read behind a held one wait in order, also
// across growing the buffers, and a frame cut at the end of a read is completed by the next.
TEST_F(ESPTest, FramesReadBehindTheCurrentOneWaitInOrder)
{
    build(64);
    e1().onReceive = OnReceive::Hold;
    e1().reactions = 1;
    const std::string last = frame("F2", std::string(20, 'y'));
    m_core.incoming.push_back(frame("E1", "a") + frame("M", std::string(30, 'x')) + last.substr(0, 5));
    EXPECT_EQ(1u, m_esp->onReceived());
    EXPECT_TRUE(m().received.empty());
    EXPECT_EQ(0u, m_esp->expandBufferSize(256));

    EXPECT_EQ(0u, m_esp->onSent());
    EXPECT_EQ((std::vector<std::string>{"a", "a"}), e1().received);
    EXPECT_EQ(std::vector<std::string>{std::string(30, 'x')}, m().received);
    EXPECT_TRUE(f2().received.empty());
    m_core.incoming.push_back(last.substr(5));
    EXPECT_EQ(0u, m_esp->onReceived());
    EXPECT_EQ(std::vector<std::string>{std::string(20, 'y')}, f2().received);
    EXPECT_EQ(frame("E1", "re:a"), m_core.sent);
    EXPECT_EQ(0, m_core.zeroLengthCalls);
}

TEST_F(ESPTest, NullCorePortDiscardsQueuedAndPartialDataAndClosesPorts)
{
    build(64);
    m_core.room = 0;
    e1().outbox = {"queued"};
    EXPECT_EQ(4u, m_esp->writeRequest("E1"));
    m_core.incoming.push_back(frame("M", "partial").substr(0, 6));
    EXPECT_EQ(0u, m_esp->onReceived());

    ASSERT_EQ(0u, m_esp->setCorePort(nullptr));
    EXPECT_EQ(0u, m_esp->queuedBytes());
    for (uint32_t i = 0; i < 3; ++i) EXPECT_FALSE(m_esp->isPortOpened(i));
    EXPECT_EQ(0x80000003u, m_esp->onReceived());

    FakeCorePort next;
    ASSERT_EQ(0u, m_esp->setCorePort(&next));
    ASSERT_EQ(0u, m_esp->openPort(1));
    next.incoming.push_back(frame("M", "clean"));
    EXPECT_EQ(0u, m_esp->onReceived());
    EXPECT_EQ(std::vector<std::string>{"clean"}, m().received);  // observers stayed registered
    EXPECT_TRUE(next.sent.empty());
}

TEST_F(ESPTest, PortTableRefusesBadArguments)
{
    ESP esp(2, 64);
    ScriptedObserver observer;
    EXPECT_EQ(0x80000002u, esp.registerVPortObserver(2, "E1", &observer));
    EXPECT_EQ(0x80000002u, esp.registerVPortObserver(0, nullptr, &observer));
    EXPECT_EQ(0u, esp.registerVPortObserver(1, "ABCDEF", &observer));
    EXPECT_EQ(0x80000002u, esp.openPort(2));
    EXPECT_EQ(0x80000002u, esp.closePort(2));
    EXPECT_FALSE(esp.isPortOpened(2));
    EXPECT_EQ(0u, esp.openPort(1));
    EXPECT_TRUE(esp.isPortOpened(1));

    struct Case { uint32_t index; uint32_t size; JLIB::JResult result; const char* name; };
    const Case cases[] = {
        {1, 8, 0, "ABCD"}, {1, 3, 0, "AB"}, {1, 1, 0, ""}, {0, 8, 0, ""},
        {1, 0, 0x80000002u, nullptr}, {2, 8, 0x80000002u, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[8] = "poison";
        EXPECT_EQ(c.result, esp.getPortName(c.index, buffer, c.size));
        if (c.name) {
            EXPECT_STREQ(c.name, buffer);
        }
    }
    EXPECT_EQ(0x80000002u, esp.getPortName(1, nullptr, 8));

    // A received name matches over its first 4 characters.
    FakeCorePort core;
    ASSERT_EQ(0u, esp.setCorePort(&core));
    ASSERT_EQ(0u, esp.openPort(1));
    core.incoming.push_back(frame("ABCD", "four"));
    EXPECT_EQ(0u, esp.onReceived());
    EXPECT_EQ(std::vector<std::string>{"four"}, observer.received);
}
