// The client unit over real TCP: the test's editor listens on 127.0.0.1, the unit runs on an
// owner thread of the test that calls runCallback whenever the socket layer wakes it.
#include "editor/VDProtocolClientUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TMS/TMSystem.h"
#include "VUviRido/Socket/VComResult.h"
#include "editor/PacketConvcertor.h"
#include "main/app/editor/TestEditor.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using namespace std::string_literals;
using EngineTest::TestEditor;
using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;
using VDProtocol::VDProtocolClientUnit;

namespace {

constexpr auto kLimit = 10s;
constexpr JLIB::JResult kNotInitialized = 0x80000003u;
constexpr JLIB::JResult kRefused = 0x8000000Fu;

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit = kLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Owns the unit on its own thread: runs the test's steps there and, when the socket layer wakes
// it, the unit's runCallback. Records what the unit reports to its observer.
class UnitOwner : public VCOM::IVComWakeupFunction, public VDProtocol::IVDProtocolConnectObserver {
public:
    UnitOwner() : m_thread([this] { loop(); }) {}
    ~UnitOwner() override
    {
        call([this] { m_unit.reset(); });  // the socket goes on the thread that owns it
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

    // Runs fn on the owner thread and answers its result.
    template <typename F>
    auto call(F fn) -> decltype(fn())
    {
        using R = decltype(fn());
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(fn));
        std::future<R> done = task->get_future();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_steps.push_back([task] { (*task)(); });
        }
        m_cv.notify_all();
        if (done.wait_for(kLimit) != std::future_status::ready) {
            ADD_FAILURE() << "the owner thread did not run the step";
            std::abort();  // the step still refers to the caller's frame
        }
        return done.get();
    }

    // Makes and initialises the unit as the editor-link thread does, then connects it.
    JLIB::JResult open(uint16_t port)
    {
        return call([this, port] {
            m_unit = std::make_unique<VDProtocolClientUnit>();
            const VCOM::VComSocketAddress loopback(NETC_AF_INET, "127.0.0.1");
            JLIB_RETURN_IF_FAILED(m_unit->initialize("dev01", loopback, *this, *this));
            return m_unit->connect(loopback, port);
        });
    }
    JLIB::JResult send(const PacketContainer& packet)
    {
        return call([&] { return m_unit->send(packet); });
    }
    VDProtocolClientUnit& unit() { return *m_unit; }

    std::vector<std::string> events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    std::vector<PacketContainer> packets()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_packets;
    }
    bool waitForEvents(size_t count) { return waitFor([&] { return events().size() >= count; }); }
    bool waitForPackets(size_t count, std::chrono::milliseconds limit = kLimit)
    {
        return waitFor([&] { return packets().size() >= count; }, limit);
    }

    JLIB::JResult wakeup(uint16_t, VCOM::IVCom&) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_cv.notify_all();
        return 0;
    }
    void connected() override { record("connected"); }
    void connectFailed() override { record("connectFailed"); }
    void disconnected() override { record("disconnected"); }
    void received(const PacketContainer& packet) override
    {
        if (std::this_thread::get_id() != m_thread.get_id()) record("off the owner thread");
        std::lock_guard<std::mutex> lock(m_mutex);
        m_packets.push_back(packet);
    }

private:
    void record(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(std::this_thread::get_id() == m_thread.get_id() ? event : event + " off the owner thread");
    }

    void loop()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_cv.wait(lock, [this] { return m_quit || m_woken || !m_steps.empty(); });
            if (m_quit) return;
            std::deque<std::function<void()>> steps;
            steps.swap(m_steps);
            const bool woken = m_woken;
            m_woken = false;
            lock.unlock();
            for (auto& step : steps) step();
            if (woken && m_unit) (void)m_unit->runCallback();  // an idle socket has nothing to deliver
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_steps;
    bool m_woken = false;
    bool m_quit = false;
    std::vector<std::string> m_events;
    std::vector<PacketContainer> m_packets;
    std::unique_ptr<VDProtocolClientUnit> m_unit;  // owner thread only
    std::thread m_thread;
};

class VDProtocolClientUnitTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, vsock_initModule());
        ASSERT_TRUE(m_editor.listen());
        m_owner = std::make_unique<UnitOwner>();
    }
    void TearDown() override
    {
        m_owner.reset();
        EXPECT_EQ(0, vsock_endModule());
    }

    // Connects the unit to the test's editor.
    void connect()
    {
        ASSERT_EQ(0u, m_owner->open(m_editor.port()));
        ASSERT_TRUE(m_editor.accept(kLimit));
        ASSERT_TRUE(m_owner->waitForEvents(1));
        ASSERT_EQ(std::vector<std::string>{"connected"}, m_owner->events());
        EXPECT_TRUE(m_owner->call([this] { return m_owner->unit().isConnected(); }));
    }
    uint32_t pendingLine()
    {
        return m_owner->call([this] { return m_owner->unit().pendingLineLength(); });
    }
    uint32_t queued()
    {
        return m_owner->call([this] { return m_owner->unit().queuedLength(); });
    }

    TMS::TMSystem m_system;  // the OS layer under the socket layer
    TestEditor m_editor;
    std::unique_ptr<UnitOwner> m_owner;
};

// A packet whose line is about the given size: Base64 of a Binary under "d:data".
PacketContainer bulky(const char* requestId, size_t lineBytes)
{
    PacketContainer packet;
    (void)packet.initialize("notify", "getData_copy_paste", "dev01", nullptr, requestId);
    const std::vector<unsigned char> bytes(lineBytes / 4 * 3, static_cast<unsigned char>(requestId[0]));
    ArgumentMap info;
    (void)info.insertBinary("d:data", bytes.data(), static_cast<unsigned int>(bytes.size()));
    (void)packet.setCmndInfo(info);
    return packet;
}

std::string lineOf(const PacketContainer& packet)
{
    std::string text;
    EXPECT_EQ(0u, VDProtocol::PacketConvcertor::Encode_VDProtocol(text, packet));
    return text;
}

}  // namespace

TEST_F(VDProtocolClientUnitTest, SendsByteExactLinesAndDecodesTheEditorsRequests)
{
    connect();
    PacketContainer connected;
    ASSERT_EQ(0u, connected.setCategory("connected"));
    ASSERT_EQ(0u, connected.setFrom("dev01"));
    EXPECT_EQ(0u, m_owner->send(connected));

    PacketContainer reply;
    ASSERT_EQ(0u, reply.initialize("reply", "set_prm_val", "dev01", "ed", "17"));
    ArgumentMap info;
    ASSERT_EQ(0u, info.insertString("prmAddr", std::string("AudioCompo/#0/OBA/Object/Fader/Level:0:0")));
    ASSERT_EQ(0u, reply.setCmndInfo(info));
    ASSERT_EQ(0u, reply.setResult(0, 100, ""));
    EXPECT_EQ(0u, m_owner->send(reply));

    EXPECT_EQ("{\"connected\":{\"from\":\"dev01\"}}", m_editor.readLine().value_or("none"));
    EXPECT_EQ("{\"reply\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":{\"prmAddr\":"
              "\"AudioCompo/#0/OBA/Object/Fader/Level:0:0\"}},\"from\":\"dev01\",\"message\":\"\","
              "\"progress\":\"100\",\"reqid\":\"17\",\"result\":\"ok\",\"to\":\"ed\"}}",
              m_editor.readLine().value_or("none"));

    ASSERT_TRUE(m_editor.writeLine("{\"request\":{\"cmd\":\"set_prm_val\",\"from\":\"ed\",\"reqid\":\"18\","
                                   "\"to\":\"dev01\",\"cmdinfo\":{\"info\":{\"prmValue\":-3}}}}"));
    ASSERT_TRUE(m_owner->waitForPackets(1));
    const PacketContainer packet = m_owner->packets()[0];
    EXPECT_EQ("request", packet.category());
    EXPECT_EQ("set_prm_val", packet.command());
    EXPECT_EQ("18", packet.requestID());
    EXPECT_EQ(-3, packet.cmndInfo().toInt32("prmValue"));
    EXPECT_EQ(std::vector<std::string>{"connected"}, m_owner->events());  // every report on the owner thread
}

TEST_F(VDProtocolClientUnitTest, LineSplitOverReadsDecodesOnceAndTwoLinesInOneReadDecodeInOrder)
{
    connect();
    const std::string line = "{\"request\":{\"cmd\":\"get_dev_info\",\"reqid\":\"1\"}}";
    const std::string first = line.substr(0, 10);
    const std::string second = line.substr(10, 20);
    ASSERT_TRUE(m_editor.writeBytes(first));
    ASSERT_TRUE(waitFor([&] { return pendingLine() == first.size(); }));
    ASSERT_TRUE(m_editor.writeBytes(second));
    ASSERT_TRUE(waitFor([&] { return pendingLine() == first.size() + second.size(); }));
    EXPECT_TRUE(m_owner->packets().empty());
    ASSERT_TRUE(m_editor.writeBytes(line.substr(30) + "\n"));
    ASSERT_TRUE(m_owner->waitForPackets(1));
    EXPECT_EQ("1", m_owner->packets()[0].requestID());
    EXPECT_EQ(0u, pendingLine());

    // Two lines in one write (one read), a line ended by a carriage return too, a line cut at a
    // zero byte, and a line that is no JSON between them, dropped.
    ASSERT_TRUE(m_editor.writeBytes("{\"request\":{\"cmd\":\"set_a\",\"reqid\":\"2\"}}\r\n"
                                    "not json\n" +
                                    "{\"request\":{\"cmd\":\"set_b\",\"reqid\":\"3\"}}\0garbage\n"s +
                                    "{\"abort\":{\"reqid\":\"4\"}}\n"));
    ASSERT_TRUE(m_owner->waitForPackets(4));
    const std::vector<PacketContainer> packets = m_owner->packets();
    ASSERT_EQ(4u, packets.size());
    EXPECT_EQ("a", packets[1].commandName());
    EXPECT_EQ("b", packets[2].commandName());
    EXPECT_EQ("abort", packets[3].category());
    EXPECT_EQ("4", packets[3].requestID());
}

TEST_F(VDProtocolClientUnitTest, LineOfSixMebibytesWithoutLineFeedIsDroppedAndReadingGoesOn)
{
    connect();
    // Valid JSON up to the 6 MiB: a buffer that kept only its first 5 MiB would not decode it,
    // but one that ran past its end would be caught by the sanitizer build.
    const std::string head = "{\"request\":{\"cmd\":\"set_big\",\"reqid\":\"big\",\"cmdinfo\":{\"info\":{\"pad\":\"";
    const std::string big = head + std::string(6 * 1024 * 1024 - head.size(), 'x');
    ASSERT_TRUE(m_editor.writeBytes(big, 120s));
    ASSERT_TRUE(m_editor.writeBytes("\"}}}}\n{\"request\":{\"cmd\":\"set_after\",\"reqid\":\"5\"}}\n"));
    ASSERT_TRUE(m_owner->waitForPackets(1, 120s));
    EXPECT_EQ("after", m_owner->packets()[0].commandName());
    EXPECT_EQ(1u, m_owner->packets().size());
    EXPECT_EQ(0u, pendingLine());
    EXPECT_TRUE(m_owner->call([this] { return m_owner->unit().isConnected(); }));
}

TEST_F(VDProtocolClientUnitTest, LinesLeaveWholeInOrderAndOneThatDoesNotFitIsRefusedWhole)
{
    connect();
    const PacketContainer a = bulky("a", 4 * 1024 * 1024);
    const PacketContainer b = bulky("b", 2 * 1024 * 1024);
    const PacketContainer c = bulky("c", 100);
    // One step: no onSent can drain the queue between the sends.
    struct Results {
        JLIB::JResult a, b, c;
        uint32_t queuedBeforeB, queuedAfterB;
    };
    const Results r = m_owner->call([&] {
        VDProtocolClientUnit& unit = m_owner->unit();
        Results out{};
        out.a = unit.send(a);
        out.queuedBeforeB = unit.queuedLength();
        out.b = unit.send(b);
        out.queuedAfterB = unit.queuedLength();
        out.c = unit.send(c);
        return out;
    });
    EXPECT_EQ(0u, r.a);
    EXPECT_EQ(kRefused, r.b);
    EXPECT_EQ(r.queuedBeforeB, r.queuedAfterB);  // no part of the refused line was queued
    EXPECT_EQ(0u, r.c);
    // The first line left in chunks no larger than the socket's free stream space.
    EXPECT_GE(r.queuedBeforeB, lineOf(a).size() + 1 - 15000);

    EXPECT_EQ(lineOf(a), m_editor.readLine(30s).value_or("none"));
    EXPECT_EQ(lineOf(c), m_editor.readLine(30s).value_or("none"));
    EXPECT_TRUE(waitFor([&] { return queued() == 0; }));

    // Once drained, a line of that size fits again.
    EXPECT_EQ(0u, m_owner->send(b));
    EXPECT_EQ(lineOf(b), m_editor.readLine(30s).value_or("none"));
    // A line longer than the whole queue never fits.
    EXPECT_EQ(kRefused, m_owner->send(bulky("d", VDProtocolClientUnit::kSendQueueSize + 4)));
}

TEST_F(VDProtocolClientUnitTest, CommunicationFailureEmptiesTheQueue)
{
    connect();
    const PacketContainer a = bulky("a", 4 * 1024 * 1024);
    const uint32_t left = m_owner->call([&] {
        VDProtocolClientUnit& unit = m_owner->unit();
        (void)unit.send(a);
        const uint32_t before = unit.queuedLength();
        EXPECT_EQ(0u, unit.onCommunicationFailed(1, 0, VCOM::kSendFailed));
        EXPECT_GT(before, 0u);
        return unit.queuedLength();
    });
    EXPECT_EQ(0u, left);
    EXPECT_TRUE(m_owner->events() == std::vector<std::string>{"connected"});  // not reported
}

TEST_F(VDProtocolClientUnitTest, EditorClosingTheLinkIsReportedAsDisconnected)
{
    connect();
    m_editor.closeConnection();
    ASSERT_TRUE(m_owner->waitForEvents(2));
    EXPECT_EQ((std::vector<std::string>{"connected", "disconnected"}), m_owner->events());
}

TEST_F(VDProtocolClientUnitTest, RefusedConnectionReportsConnectFailedThenDisconnected)
{
    m_editor.stopListening();
    const JLIB::JResult result = m_owner->open(m_editor.port());
    if (JLIB::isFailure(result)) {
        // Refused at once: the answer says so and nothing is reported.
        EXPECT_EQ(kRefused, result);
        EXPECT_TRUE(m_owner->events().empty());
        return;
    }
    EXPECT_EQ(0u, result);
    ASSERT_TRUE(m_owner->waitForEvents(2));
    EXPECT_EQ((std::vector<std::string>{"connectFailed", "disconnected"}), m_owner->events());
}

TEST_F(VDProtocolClientUnitTest, EveryOperationNeedsAnInitializedUnitAndInitializeWorksOnce)
{
    UnitOwner& owner = *m_owner;
    owner.call([&] {
        VDProtocolClientUnit unit;
        const VCOM::VComSocketAddress loopback(NETC_AF_INET, "127.0.0.1");
        PacketContainer packet;
        EXPECT_EQ(kNotInitialized, unit.connect(loopback, 1));
        EXPECT_EQ(kNotInitialized, unit.disconnect());
        EXPECT_EQ(kNotInitialized, unit.runCallback());
        EXPECT_EQ(kNotInitialized, unit.send(packet));
        EXPECT_EQ(kNotInitialized, unit.writeToVCom());
        EXPECT_EQ(kNotInitialized, unit.onConnected(1, 0));
        EXPECT_EQ(kNotInitialized, unit.onReceived(1, 0));
        EXPECT_EQ(kNotInitialized, unit.onSent(1, 0));
        EXPECT_FALSE(unit.isConnected());
        EXPECT_EQ(0u, unit.initialize("dev01", loopback, owner, owner));
        EXPECT_EQ(kNotInitialized, unit.initialize("dev01", loopback, owner, owner));
        EXPECT_EQ("dev01", unit.identifier());
        // Not connected: the line is queued, then refused by the socket.
        EXPECT_EQ(0u, unit.send(packet));
    });
}

TEST(VDProtocolClientUnitMappingTest, SocketLayerCodesMapToUnitResults)
{
    struct Case {
        JLIB::JResult code;
        JLIB::JResult result;
    };
    const Case cases[] = {
        {0, 0},           {1, 0},           {2, 0},           {6, 0},
        {0x80000003u, 0x80000008u},         {0x80000004u, 0x80000008u},         {0x80000005u, 0x80000006u},
        {0x80000080u, 0x80000002u},         {0x80000081u, 0x80000007u},         {0x80000082u, 0x80000004u},
        {0x80000083u, 0x80000005u},         {0x80000001u, 0x8000000Fu},         {0x80000002u, 0x8000000Fu},
        {0x80000084u, 0x8000000Fu},         {0x80000085u, 0x8000000Fu},         {0x80000000u, 0x8000000Fu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.result, VDProtocolClientUnit::fromVComErr(c.code));
    }
}
