// The OSC server over real UDP on 127.0.0.1, hosted on a thread of the test and talked to by
// Debian's OSC clients: python3-liblo clients (each on a port of its own), oscsend and oscdump.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "OscPeer.h"
#include "OscServer/OscCore/OscSystem.h"
#include "OscServerHost.h"

using OscTest::ChildProcess;
using OscTest::LibloClients;
using OscTest::Lines;
using OscTest::OscServerHost;
using JOSC::internal::OscServerProbe;

namespace {

constexpr const char* kLevel = "/josc:req/get/uz:AuxIn/Fader/Level/3/2";
constexpr const char* kLevelReply = "/josc:ok/get/uz:AuxIn/Fader/Level/3/2 21";

std::atomic<int> s_changes{0};
std::atomic<uint32_t> s_changeTask{0};

uint32_t countChange(uint16_t taskId, uint8_t, uint32_t, uint32_t, uint32_t)
{
    ++s_changes;
    s_changeTask = taskId;
    return 0;
}

class OscServerUdpTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OscTest::startSocketLayer());
        rxPort = OscTest::pickUdpPort();
        ASSERT_NE(0, rxPort);
    }

    // The messages of a client after the first skip ones.
    static Lines after(const Lines& all, size_t skip) { return Lines(all.begin() + std::min(skip, all.size()), all.end()); }

    uint16_t rxPort = 0;
};

}  // namespace

TEST_F(OscServerUdpTest, QueriesAreAnsweredFromTheSlotSocketAndNothingElseWithoutKeepAlive)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort, countChange));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());

    ASSERT_TRUE(clients.send(0, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(0, 1));
    // The set is carried out but not answered, the malformed request is dropped, and the "get"
    // behind them is the next thing the client hears.
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/set/uz:AuxIn/Fader/Level/1", "i", {"5"}));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/bogus"));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/get/uz:AuxIn/Fader/Level/1"));
    ASSERT_TRUE(clients.waitForMessages(0, 2));
    EXPECT_EQ((Lines{kLevelReply, "/josc:ok/get/uz:AuxIn/Fader/Level/1 5"}), clients.received(0));
    for (uint16_t source : clients.sources(0)) EXPECT_NE(rxPort, source) << "replies leave from the slot's socket";
    EXPECT_EQ((Lines{"setValue o1 i0 x0 y0 [i:5]"}), host.call([&] { return host.parameters.calls; }));

    // Answered and idle: the slot is free again.
    EXPECT_TRUE(OscTest::waitFor([&] { return host.activeSlots() == 0; }));

    uint16_t hostTask = 0;
    ASSERT_EQ(0u, host.call([&] { return JOSC::OscGetTaskId(hostTask); }));
    s_changes = 0;
    EXPECT_EQ(0u, host.call([&] { return host.server().onParameterChanged(4, 1, 2, 3); }));
    EXPECT_EQ(1, s_changes.load());
    EXPECT_EQ(hostTask, s_changeTask.load()) << "the change function gets the task that created the server";
}

TEST_F(OscServerUdpTest, KeepAliveClientsGetErrorsAndOneAnothersChanges)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    for (int c : {0, 1}) {
        ASSERT_TRUE(clients.send(c, rxPort, "/josc:req/keepalive", "i", {"60000"}));
        ASSERT_TRUE(clients.waitForMessages(c, 1));
        const std::string reply = clients.received(c)[0];
        EXPECT_EQ(0u, reply.rfind("/josc:ok/keepalive 60000 " + std::to_string(clients.port(c)) + " ", 0)) << reply;
    }
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/bogus/uz:A"));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:ok/get/uz:AuxIn/Fader/Level"));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/get/uz:AuxIn/3/Fader/Level"));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/set/uz:AuxIn/Fader/Level/2", "i", {"9"}));
    ASSERT_TRUE(clients.send(0, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(0, 6));
    ASSERT_TRUE(clients.waitForMessages(1, 2));
    EXPECT_EQ((Lines{"/josc:error/unknown UnknownCommand", "/josc:error/unknown UnknownCommand",
                     "/josc:error/get UnknownAddress", "/josc:ok/set/uz:AuxIn/Fader/Level/2 9 t9", kLevelReply}),
              after(clients.received(0), 1))
        << "the writer is not told of its own change";
    EXPECT_EQ((Lines{"/josc:notify/set/uz:AuxIn/Fader/Level/2/1 9 t9"}), after(clients.received(1), 1));
}

TEST_F(OscServerUdpTest, KeepaliveNamesAnotherReplyPortForTheRestOfTheSession)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    const std::string other = std::to_string(clients.port(1));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/keepalive", "ii", {"5000", other}));
    ASSERT_TRUE(clients.send(0, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(1, 2));
    const Lines replies = clients.received(1);
    EXPECT_EQ(0u, replies[0].rfind("/josc:ok/keepalive 5000 " + other + " ", 0)) << replies[0];
    EXPECT_EQ(kLevelReply, replies[1]);
    EXPECT_TRUE(clients.received(0).empty());
    EXPECT_EQ(1u, host.activeSlots()) << "still known by the port it sends from";
}

TEST_F(OscServerUdpTest, EleventhClientIsAnsweredOnlyOnceASlotIsReleased)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(11);
    ASSERT_TRUE(clients.start());
    for (int c = 0; c < 10; ++c) ASSERT_TRUE(clients.send(c, rxPort, "/josc:req/keepalive", "i", {"60000"}));
    for (int c = 0; c < 10; ++c) ASSERT_TRUE(clients.waitForMessages(c, 1)) << c;
    EXPECT_EQ(10u, host.activeSlots());

    // Dropped without an answer: the request of client 0 sent after it is answered, it is not.
    ASSERT_TRUE(clients.send(10, rxPort, kLevel));
    ASSERT_TRUE(clients.send(0, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(0, 2));
    EXPECT_TRUE(clients.received(10).empty());

    // Keep-alive 0 ends at the next timer pass; the slot goes once its reply has left.
    ASSERT_TRUE(clients.send(3, rxPort, "/josc:req/keepalive", "i", {"0"}));
    ASSERT_TRUE(OscTest::waitFor([&] { return host.activeSlots() == 9; }));
    ASSERT_TRUE(clients.send(10, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(10, 1));
    EXPECT_EQ((Lines{kLevelReply}), clients.received(10));
}

TEST_F(OscServerUdpTest, FixedReplyPortSharesOneSlotBetweenControllersOfOneHost)
{
    const uint16_t dumpPort = OscTest::pickUdpPort();
    ChildProcess dump({"/usr/bin/oscdump", "-L", std::to_string(dumpPort)}, false);
    ASSERT_TRUE(dump.running());
    // oscdump is listening once one of our probes shows up; each probe is sent only after the
    // previous one had a bounded chance to appear.
    bool listening = false;
    for (int attempt = 0; attempt < 50 && !listening; ++attempt) {
        ChildProcess probe({"/usr/bin/oscsend", "localhost", std::to_string(dumpPort), "/probe"}, false);
        (void)probe.finish();
        listening = dump.waitFor([](const Lines& l) { return !l.empty(); }, std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(listening);

    OscServerHost host;
    ASSERT_EQ(0u, host.start(dumpPort, rxPort));
    const auto oscsend = [&](const std::vector<std::string>& request) {
        std::vector<std::string> argv = {"/usr/bin/oscsend", "localhost", std::to_string(rxPort)};
        argv.insert(argv.end(), request.begin(), request.end());
        ChildProcess sender(argv, false);
        return sender.finish();  // reaped: the datagram has left
    };
    const auto dumped = [&] {
        Lines messages;
        for (const std::string& line : dump.lines()) {
            const size_t at = line.find(' ');  // after the time tag
            if (line.find("/josc:") != std::string::npos) messages.push_back(line.substr(at + 1));
        }
        return messages;
    };
    EXPECT_EQ(0, oscsend({"/josc:req/keepalive", "i", "60000"}));
    ASSERT_TRUE(dump.waitFor([&](const Lines&) { return dumped().size() == 1; }));
    EXPECT_EQ(0, oscsend({kLevel}));  // another controller: another source port
    EXPECT_EQ(0, oscsend({"/josc:req/keepalive", "i", "60000"}));
    ASSERT_TRUE(dump.waitFor([&](const Lines&) { return dumped().size() == 3; }));
    const Lines replies = dumped();
    const std::string keepalive = "/josc:ok/keepalive iii 60000 " + std::to_string(dumpPort) + " ";
    EXPECT_EQ(0u, replies[0].rfind(keepalive, 0)) << replies[0];
    EXPECT_EQ("/josc:ok/get/uz:AuxIn/Fader/Level/3/2 i 21", replies[1]);
    EXPECT_EQ(replies[0], replies[2]) << "one session, one session number";
    EXPECT_EQ(1u, host.activeSlots());
}

TEST_F(OscServerUdpTest, CapOfFiveDatagramsPerSecondSendsTheRestInLaterBundles)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/keepalive", "i", {"60000"}));
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/scpmode", "si", {"maxmsg", "5"}));
    ASSERT_TRUE(clients.waitForMessages(0, 2));

    // Changes made elsewhere: 150 notifications, far more than 5 datagrams can carry one by one.
    host.call([&] {
        for (uint32_t i = 0; i < 150; ++i) (void)host.server().onFoundDirty(99, 0, i % 8, i % 2);  // always 0
    });
    ASSERT_TRUE(clients.waitForMessages(0, 152, std::chrono::seconds(10)));
    const auto datagrams = clients.datagrams(0);
    std::vector<double> times;
    size_t messages = 0;
    for (const auto& d : datagrams) {
        times.push_back(d.seconds);
        messages += d.messages;
    }
    EXPECT_EQ(152u, messages);
    ASSERT_GT(times.size(), 7u) << "the cap must have held some back";
    EXPECT_LT(times.size(), 30u) << "the rest travels in bundles";
    // The two replies took two of the first second's five datagrams; any six in a row span a
    // second (less a margin for the arrival clock).
    for (size_t i = 0; i + 5 < times.size(); ++i) EXPECT_GE(times[i + 5] - times[i], 0.95) << i;
}

TEST_F(OscServerUdpTest, OversizedDatagramIsSkippedAndTheOthersAreHandled)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    testing::internal::CaptureStdout();
    // The host holds still until all three have arrived, so that one receive pass reads them.
    const int before = host.wakeups();
    const bool arrived = host.call([&] {
        const bool sent = clients.send(0, rxPort, kLevel) &&
                          clients.send(0, rxPort, "/josc:req/event", "sb", {"uz:Command/Big", std::string(3000, 'a')}) &&
                          clients.send(0, rxPort, "/josc:req/get/uz:AuxIn/Fader/Level/1");
        return sent && OscTest::waitFor([&] { return host.wakeups() >= before + 3; });
    });
    const bool answered = arrived && clients.waitForMessages(0, 2);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(answered);
    EXPECT_EQ((Lines{kLevelReply, "/josc:ok/get/uz:AuxIn/Fader/Level/1 0"}), clients.received(0));
    EXPECT_TRUE(host.call([&] { return host.device.calls.empty(); }));
    EXPECT_NE(std::string::npos, log.find("[W] VComUdpSocket::receive - datagram longer than 1472 bytes")) << log;
}

TEST_F(OscServerUdpTest, ReceivePassTakesThreeHundredAndComesBackForTheRest)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    // All 310 wait in the socket before the first pass; nothing else arrives afterwards. Sent in
    // steps of 10, each once the last has reached the socket layer, so that the kernel's buffer
    // never overflows on a busy machine.
    const int before = host.wakeups();
    const bool arrived = host.call([&] {
        bool ok = true;
        for (int sent = 10; sent <= 310 && ok; sent += 10) {
            for (int i = 0; i < 10 && ok; ++i) ok = clients.send(0, rxPort, kLevel);
            ok = ok && OscTest::waitFor([&] { return host.wakeups() >= before + sent; });
        }
        return ok;
    });
    ASSERT_TRUE(arrived);
    ASSERT_TRUE(clients.waitForMessages(0, 310));
    EXPECT_EQ(Lines(310, kLevelReply), clients.received(0));
}

TEST_F(OscServerUdpTest, DatagramsSentToASlotSocketAreReadAndDropped)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/keepalive", "i", {"60000"}));
    ASSERT_TRUE(clients.waitForMessages(0, 1));
    const uint16_t slotPort = clients.sources(0)[0];
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(clients.send(0, slotPort, kLevel));
    // Two round trips later the strays have reached the slot's socket.
    for (size_t n : {2u, 3u}) {
        ASSERT_TRUE(clients.send(0, rxPort, kLevel));
        ASSERT_TRUE(clients.waitForMessages(0, n));
    }
    EXPECT_EQ((Lines{kLevelReply, kLevelReply}), after(clients.received(0), 1)) << "strays are not requests";
    const uint32_t left = host.call([&] {
        (void)host.server().runSocketCallback();  // delivers what is still pending
        unsigned char buffer[1472];
        uint32_t count = 0;
        (void)OscServerProbe::slot(host.server(), 0).socket.receive(buffer, sizeof(buffer), count);
        return count;
    });
    EXPECT_EQ(0u, left);
}

TEST_F(OscServerUdpTest, SlotWhoseSocketClosedIsClearedBeforeTheNextClientTakesIt)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/keepalive", "i", {"60000"}));
    ASSERT_TRUE(clients.waitForMessages(0, 1));
    // The socket layer closes the slot's socket (as after a receive error): the slot leaves the
    // active list with client 0's keep-alive still in its session.
    host.call([&] { (void)OscServerProbe::slot(host.server(), 0).socket.runDisconnect(); });
    ASSERT_TRUE(OscTest::waitFor([&] { return host.activeSlots() == 0; }));

    // Client 1 takes that slot: its "set" must not be answered as if keep-alive were on.
    ASSERT_TRUE(clients.send(1, rxPort, "/josc:req/set/uz:AuxIn/Fader/Level/1", "i", {"5"}));
    ASSERT_TRUE(clients.send(1, rxPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(1, 1));
    EXPECT_EQ((Lines{kLevelReply}), clients.received(1));
}

TEST_F(OscServerUdpTest, SecondInitializeClosesTheOldSlotsAndServesTheNewPort)
{
    OscServerHost host;
    ASSERT_EQ(0u, host.start(0, rxPort));
    LibloClients clients(1);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, rxPort, "/josc:req/keepalive", "i", {"60000"}));
    ASSERT_TRUE(clients.waitForMessages(0, 1));
    EXPECT_EQ(1u, host.activeSlots());

    const uint16_t newPort = OscTest::pickUdpPort();
    EXPECT_EQ(0u, host.call([&] {
        return host.server().initialize(10, VCOM::VComSocketAddress(NETC_AF_INET, "127.0.0.1"), 0, newPort, &host,
                                        OscTest::ignoreChange, host.device, host.parameters, host.meters,
                                        JOSC::kNetworkOrigin1);
    }));
    EXPECT_EQ(0u, host.activeSlots()) << "no slot of the replaced array stays listed";
    ASSERT_TRUE(clients.send(0, newPort, kLevel));
    ASSERT_TRUE(clients.waitForMessages(0, 2));
    EXPECT_EQ(kLevelReply, clients.received(0)[1]) << "a new session: no keep-alive, still answered";
}

TEST_F(OscServerUdpTest, InitializeFailsWhenTheReceivePortIsTaken)
{
    OscServerHost first;
    ASSERT_EQ(0u, first.start(0, rxPort));
    OscServerHost second;
    EXPECT_EQ(0x80000000u, second.start(0, rxPort));
}

// The clients are the judges of every test above: what one sends, another reads back whole, a
// blob with zero bytes included (the meters carry them).
TEST_F(OscServerUdpTest, TheClientsReadEveryArgumentBackWholeFromAnother)
{
    LibloClients clients(2);
    ASSERT_TRUE(clients.start());
    ASSERT_TRUE(clients.send(0, clients.port(1), "/peer/check", "ihfsb", {"-7", "4294967296", "1.5", "two words", "00ff0000"}));
    ASSERT_TRUE(clients.send(0, clients.port(1), "/peer/empty"));
    ASSERT_TRUE(clients.waitForMessages(1, 2));
    EXPECT_EQ((Lines{"/peer/check -7 4294967296 1.5 two words 00ff0000", "/peer/empty"}), clients.received(1));
    EXPECT_EQ((std::vector<uint16_t>{clients.port(0), clients.port(0)}), clients.sources(1));
}
