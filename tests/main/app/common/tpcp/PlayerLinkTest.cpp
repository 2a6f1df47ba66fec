// The command stream against the stand-in player, a separate process on 127.0.0.1: commands go
// out through CommandSender on a real TCP client socket and the player prints what it decoded;
// the player's notifications come back through CommandStreamReader.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/tpcp/CommandSender.h"
#include "common/tpcp/CommandStreamReader.h"
#include "common/tpcp/NotificationCollection.h"
#include "OscServer/OscCore/OscPeer.h"
#include "TpcpTestSupport.h"
#include "VUviRido/Socket/VComTcpClientSocket.h"
#include "VUviRido/Socket/VComTestOwner.h"

using namespace tpcptest;
using Lines = OscTest::ChildProcess::Lines;

namespace {

std::string fnv(const Bytes& bytes)
{
    uint32_t h = 2166136261u;
    for (unsigned char b : bytes) h = (h ^ b) * 16777619u;
    char text[32];
    std::snprintf(text, sizeof(text), "%zu#%08x", bytes.size(), h);
    return text;
}

size_t countPrefix(const Lines& lines, const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

Lines withPrefix(const Lines& lines, const std::string& prefix)
{
    Lines found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
}

class PlayerLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vcomtest::startLayers());
        ASSERT_EQ(0u, m_handlers.createNotificationMap());
        m_port = vsocktest::pickPort(SOCK_STREAM);
        ASSERT_NE(0, m_port);
        m_player = std::make_unique<OscTest::ChildProcess>(
            std::vector<std::string>{UZ_STANDIN_PLAYER, std::to_string(m_port)}, true);
        ASSERT_TRUE(m_player->waitFor([](const Lines& l) { return countPrefix(l, "listening\t") == 1; }));
        m_client.reset(m_owner.call([] { return new VCOM::VComTcpClientSocket(); }));
        m_owner.watch(*m_client);
        m_owner.setHook([this](const std::string& name, uint32_t, signed char session) {
            if (name == "received") m_readResults.push_back(m_reader.onReceived(*m_client, session, m_handlers, m_processor));
            if (name == "connected") m_reader.reset();
        });
        connectToPlayer(1);
    }

    void TearDown() override
    {
        m_owner.call([this] {
            (void)m_sender.finalize();
            (void)m_client->stop();
        });
        m_owner.unwatchAll();
        m_owner.call([this] { m_client.reset(); });
        (void)m_player->writeLine("quit");
        EXPECT_EQ(0, m_player->finish());
        EXPECT_EQ(0, m_owner.offThreadEvents());
    }

    // Connects and waits for the player's greeting, the nth the test sees.
    void connectToPlayer(size_t greetings)
    {
        const JLIB::JResult r = m_owner.call([this] {
            (void)m_client->start(0, m_owner);
            return m_client->connect(vcomtest::loopbackAddress(), vcomtest::loopbackAddress(), m_port);
        });
        ASSERT_TRUE(r == 0 || r == 1) << std::hex << r;
        ASSERT_TRUE(m_owner.waitForEvent("connected u0 s0", static_cast<int>(greetings)));
        ASSERT_EQ(0u, m_owner.call([this] { return m_sender.initialize(m_client.get(), &m_owner); }));
        ASSERT_TRUE(vcomtest::waitFor([&] { return m_processor.calls().size() >= greetings; }));
        EXPECT_EQ("tcpconnected \"StandInPlayer\"", m_processor.calls().back());
    }

    bool command(const std::string& line)
    {
        const std::string name = line.substr(0, line.find('\t'));
        const size_t before = countPrefix(m_player->lines(), "done\t" + name);
        return m_player->writeLine(line) &&
               m_player->waitFor([&](const Lines& l) { return countPrefix(l, "done\t" + name) > before; });
    }

    Lines messages() const { return withPrefix(m_player->lines(), "msg\t"); }

    uint16_t m_port = 0;
    std::unique_ptr<OscTest::ChildProcess> m_player;
    vcomtest::TestOwner m_owner;
    std::unique_ptr<VCOM::VComTcpClientSocket> m_client;
    TPCP::NotificationCollection m_handlers;
    TPCP::CommandStreamReader m_reader;   // owner thread only
    TPCP::CommandSender m_sender;         // owner thread only
    RecordingProcessor m_processor;
    std::vector<JLIB::JResult> m_readResults;  // owner thread only
};

TEST_F(PlayerLinkTest, ThePlayerReadsEveryCommandWithItsTagsAndArguments)
{
    Bytes coef(65536);
    for (size_t i = 0; i < coef.size(); ++i) coef[i] = static_cast<unsigned char>(i * 31 + 7);
    const std::string longName(300, 'n');
    const std::vector<JLIB::JResult> results = m_owner.call([&] {
        TPCP::CommandSender& s = m_sender;
        return std::vector<JLIB::JResult>{
            s.beginConfig(), s.clearConfig(256), s.setCoreMap("0,1,2,3,4,5,6", "7"),
            s.addComponent(longName.c_str(), 1, 1001, 2, 3), s.addToPlayList(4, 1001, 0xFFFFFFFFu),
            s.connect(1001, 0, 1002, 1), s.setCoef(1, 1001, 2, 0, coef.data(), 65536), s.setCoef(0, 1001, 3, 8, coef.data(), 3),
            s.endConfig(), s.changeFs(48000), s.setupBuffer(64), s.muteOn(), s.muteOff(), s.startProcessing(),
            s.startMeter(20), s.stopMeter(), s.resetCpuInfo(), s.stopProcessing(), s.shutdown()};
    });
    for (JLIB::JResult r : results) EXPECT_FALSE(JLIB::isFailure(r)) << std::hex << r;
    const Lines expected = {
        "msg\t24\t/DRAVO/beginconfig\t,",
        "msg\t28\t/DRAVO/clearconfig\t,i\t256",
        "msg\t44\t/DRAVO/setcoremap\t,ss\t0,1,2,3,4,5,6\t7",
        "msg\t300\t/DRAVO/addcomponent\t,siiii\t" + longName.substr(0, 255) + "\t1\t1001\t2\t3",
        "msg\t44\t/DRAVO/addtoplaylist\t,iii\t4\t1001\t-1",
        "msg\t40\t/DRAVO/connect\t,iiii\t1001\t0\t1002\t1",
        "msg\t65580\t/DRAVO/setcoef\t,iiiib\t1\t1001\t2\t0\t" + fnv(coef),
        "msg\t48\t/DRAVO/setcoef\t,iiiib\t0\t1001\t3\t8\t" + hexOf(Bytes(coef.begin(), coef.begin() + 3)),
        "msg\t24\t/DRAVO/endconfig\t,",
        "msg\t24\t/DRAVO/changefs\t,i\t48000",
        "msg\t28\t/DRAVO/setupbuffer\t,i\t64",
        "msg\t20\t/DRAVO/muteon\t,",
        "msg\t20\t/DRAVO/muteoff\t,",
        "msg\t28\t/DRAVO/startprocessing\t,",
        "msg\t28\t/DRAVO/startmeter\t,i\t20",
        "msg\t24\t/DRAVO/stopmeter\t,",
        "msg\t24\t/DRAVO/resetcpuinfo\t,",
        "msg\t28\t/DRAVO/stopprocessing\t,",
        "msg\t20\t/DRAVO/shutdown\t,",
    };
    ASSERT_TRUE(m_player->waitFor([&](const Lines& l) { return countPrefix(l, "msg\t") >= expected.size(); }));
    EXPECT_EQ(expected, messages());
}

TEST_F(PlayerLinkTest, NotificationsReachTheProcessorOnceEachAndInOrder)
{
    // A wrong argument count is dropped; a frame cut into pieces (the length word among the cuts)
    // is decoded once; a bundle frame gives both of its messages.
    const Bytes bundle = frameOf(oscPacket([](osc::OutboundPacketStream& s) {
        s << osc::BeginBundle(1) << osc::BeginMessage("/DRAVO/error") << "b1" << "x" << osc::EndMessage
          << osc::BeginMessage("/DRAVO/unknown") << osc::EndMessage << osc::BeginMessage("/DRAVO/error") << "b2"
          << "y" << osc::EndMessage << osc::EndBundle;
    }));
    ASSERT_TRUE(command("errorone\tlonely"));
    ASSERT_TRUE(command("error\tdisk\tfull"));
    ASSERT_TRUE(command("cut\t5"));
    ASSERT_TRUE(command("raw\t" + hexOf(bundle)));
    const std::vector<std::string> expected = {"tcpconnected \"StandInPlayer\"", "error \"disk\" \"full\"",
                                               "error \"cut\" \"frame\"", "error \"b1\" \"x\"", "error \"b2\" \"y\""};
    ASSERT_TRUE(vcomtest::waitFor([&] { return m_processor.calls().size() >= expected.size(); }));
    EXPECT_EQ(expected, m_processor.calls());
    EXPECT_GE(m_owner.call([this] { return m_readResults.size(); }), 6u);  // the cut frame took several callbacks
    for (JLIB::JResult r : m_owner.call([this] { return m_readResults; })) EXPECT_EQ(0u, r);
}

TEST_F(PlayerLinkTest, AnOversizedFrameClosesTheConnectionAndANewOneStartsInStep)
{
    ASSERT_TRUE(command("oversized"));
    ASSERT_TRUE(m_player->waitFor([](const Lines& l) { return countPrefix(l, "closed\t") == 1; }));
    EXPECT_EQ(0x80000000u, m_owner.call([this] { return m_readResults.back(); }));
    EXPECT_EQ(1u, m_processor.calls().size());

    connectToPlayer(2);
    ASSERT_TRUE(command("error\tagain\tfine"));
    ASSERT_TRUE(vcomtest::waitFor([&] { return m_processor.calls().size() == 3; }));
    EXPECT_EQ("error \"again\" \"fine\"", m_processor.calls().back());
}

// A player that stops reading fills the socket's room. The frame under way is not cut short
// into a stream that goes on: the connection is closed, and every frame the player did get is
// whole.
TEST_F(PlayerLinkTest, AStalledPlayerLosesTheConnectionRatherThanItsFraming)
{
    ASSERT_TRUE(command("pause"));
    const Bytes coef(65536, 0x5C);
    const std::pair<size_t, JLIB::JResult> stalled = m_owner.call([&] {
        for (uint32_t i = 0; i < 2000; ++i) {
            const JLIB::JResult r = m_sender.setCoef(1, i, 0, 0, coef.data(), static_cast<uint32_t>(coef.size()));
            if (JLIB::isFailure(r)) return std::make_pair(size_t(i), r);
        }
        return std::make_pair(size_t(2000), JLIB::JResult(0));
    });
    ASSERT_LT(stalled.first, 2000u);
    EXPECT_EQ(0x80000000u, stalled.second);
    EXPECT_EQ(0x80000000u, m_owner.call([this] { return m_sender.muteOn(); }));

    ASSERT_TRUE(command("resume"));
    ASSERT_TRUE(m_player->waitFor([](const Lines& l) { return countPrefix(l, "closed\t") == 1; }, std::chrono::seconds(10)));
    const Lines got = messages();
    EXPECT_LE(got.size(), stalled.first);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ("msg\t65580\t/DRAVO/setcoef\t,iiiib\t1\t" + std::to_string(i) + "\t0\t0\t" + fnv(coef), got[i]);
    }
    EXPECT_EQ(0u, countPrefix(m_player->lines(), "invalid"));
    EXPECT_EQ(0u, countPrefix(m_player->lines(), "oversized"));
}

}  // namespace
