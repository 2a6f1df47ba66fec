#include "common/OPVDspThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DspThreadTestSupport.h"
#include "OscServer/OscCore/OscPeer.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "dravo/manager/dravo_AudioComponent.h"
#include "vsock/VsockTestSupport.h"

namespace {

using namespace dsptest;
using Lines = OscTest::ChildProcess::Lines;
using DspThread = Driven<KAVORI::OPVDspThread>;

// Above the uniqIDs of the shipped components of database 10.
constexpr uint32_t kUniqID = 105;

// The player's message lines as "address arguments..." (space separated), in order received.
Lines commandsOf(const Lines& lines)
{
    Lines commands;
    for (const std::string& line : lines) {
        if (line.rfind("msg\t", 0) != 0) continue;
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t at = line.find('\t'); at != std::string::npos; at = line.find('\t', start)) {
            fields.push_back(line.substr(start, at - start));
            start = at + 1;
        }
        fields.push_back(line.substr(start));
        std::string text = fields[2];
        for (size_t i = 4; i < fields.size(); ++i) text += " " + fields[i];
        commands.push_back(text);
    }
    return commands;
}

size_t countOf(const Lines& lines, const std::string& text)
{
    size_t n = 0;
    for (const std::string& line : lines) n += line == text ? 1 : 0;
    return n;
}

// Little-endian floats as the player prints a blob.
std::string coefHex(const std::vector<float>& values)
{
    std::string text;
    char two[3];
    for (float v : values) {
        unsigned char bytes[4];
        std::memcpy(bytes, &v, 4);
        for (unsigned char b : bytes) {
            std::snprintf(two, sizeof(two), "%02x", b);
            text += two;
        }
    }
    return text;
}

// What the players receive from being connected to being configured, with component 105 (two
// channels of the stand-in) and the configuration of the fixture.
Lines connectedThenConfigured()
{
    return {
        "/DRAVO/muteon",  // connected
        "/DRAVO/muteon",  // configuring
        "/DRAVO/muteon",
        "/DRAVO/stopmeter",
        "/DRAVO/stopprocessing",
        "/DRAVO/beginconfig",
        "/DRAVO/clearconfig 64",
        "/DRAVO/setupbuffer 128",
        "/DRAVO/setcoremap 0,1,2,3,4,5,6 7",
        "/DRAVO/addcomponent StandIn 1 105 2 1",
        "/DRAVO/addtoplaylist 2 105 0",
        "/DRAVO/connect 105 0 105 1",
        "/DRAVO/endconfig",
        "/DRAVO/setcoef 1 105 0 0 " + coefHex({0.5f, 0, 0, 0, 0.5f, 0, 0, 0}),
        "/DRAVO/changefs 48000",
        "/DRAVO/startprocessing",
        "/DRAVO/startmeter 20",
        "/DRAVO/muteoff",
    };
}

class OPVDspThreadTest : public DspEnvironment {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DspEnvironment::SetUp());
        DRAVO::AudioConfig config;
        config.dspSystem.fsHz = 48000;
        config.dspSystem.numSamplePerFrame = 64;
        config.dspSystem.renderSamples = 128;
        DRAVO::AudioConfigDspAssignment assignment;
        assignment.coreNo = 2;
        assignment.uniqID = kUniqID;
        config.dspAssignments.push_back(assignment);
        config.connections.push_back({kUniqID, 0, kUniqID, 1});
        ASSERT_EQ(0u, DRAVO::AudioConfigDB::singleton().setAudioConfig(config));
        ASSERT_EQ(0u, collection().addComponent("StandIn", 1, kUniqID, 2, 1));
        ASSERT_NE(0, m_port);
    }

    void startPlayer()
    {
        m_player = std::make_unique<OscTest::ChildProcess>(
            std::vector<std::string>{UZ_STANDIN_PLAYER, std::to_string(m_port)}, true);
        ASSERT_TRUE(m_player->waitFor([](const Lines& l) { return !l.empty() && l[0].rfind("listening\t", 0) == 0; }));
    }
    void startThread() { ASSERT_TRUE(start({{&m_dsp, "DSP"}})); }
    bool waitCommands(size_t count, std::chrono::milliseconds limit = 10s)
    {
        const bool done = m_player->waitFor([&](const Lines& l) { return commandsOf(l).size() >= count; }, limit);
        if (!done) {
            for (const std::string& line : m_player->lines()) std::printf("player: %.120s\n", line.c_str());
        }
        return done;
    }

    // Brings the players to "DRAVOpState" 4 with the components operable; the commands so far.
    void configure()
    {
        ASSERT_NO_FATAL_FAILURE(startPlayer());
        ASSERT_NO_FATAL_FAILURE(startThread());
        ASSERT_TRUE(m_dsp.publish("DRAVOmState", 4));
        ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 4));
        ASSERT_TRUE(waitCommands(connectedThenConfigured().size()));
    }
    // A debug request as the debug console sends it: message id 0, its keys added by fill.
    bool request(const char* command, const std::function<bool(TMS::AbstractMessage&)>& fill = nullptr)
    {
        TMS::AbstractMessage message;
        if (message.initialize(TMS::kMessageUser, 0) != 0 || message.addData("CommandName", command) != 0) return false;
        if (fill && !fill(message)) return false;
        return message.sendWithWaiting(m_dsp) == 0;
    }

    uint16_t m_port = vsocktest::pickPort(SOCK_STREAM);
    DspThread m_dsp{m_port};
    std::unique_ptr<OscTest::ChildProcess> m_player;
};

TEST_F(OPVDspThreadTest, PlayersConnectedFirstAreConfiguredWhenTheComponentsBecomeOperable)
{
    ASSERT_NO_FATAL_FAILURE(startPlayer());
    ASSERT_NO_FATAL_FAILURE(startThread());
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 2));
    ASSERT_TRUE(waitCommands(1));
    ASSERT_TRUE(m_dsp.publish("DRAVOmState", 4));
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 4));
    const Lines expected = connectedThenConfigured();
    ASSERT_TRUE(waitCommands(expected.size()));
    EXPECT_EQ(expected, commandsOf(m_player->lines()));
}

TEST_F(OPVDspThreadTest, OperableComponentsFirstAreConfiguredAsSoonAsThePlayersConnect)
{
    ASSERT_NO_FATAL_FAILURE(startThread());
    ASSERT_TRUE(m_dsp.publish("DRAVOmState", 4));
    // No player yet: the supervision keeps trying, each failed attempt logged.
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 1));
    ASSERT_TRUE(waitFor([&] { return TmsTest::hasLogLine(m_dsp, "[E] OPVDspThread::onTimer - Connection to DRAVO player was failed.\n"); }, 5s));
    ASSERT_NO_FATAL_FAILURE(startPlayer());
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 4));
    const Lines expected = connectedThenConfigured();
    ASSERT_TRUE(waitCommands(expected.size()));
    EXPECT_EQ(expected, commandsOf(m_player->lines()));
}

TEST_F(OPVDspThreadTest, ALostConnectionIsMadeAgainAndThePlayersAreConfiguredAgain)
{
    ASSERT_NO_FATAL_FAILURE(configure());
    ASSERT_TRUE(m_player->writeLine("close"));
    ASSERT_TRUE(m_player->waitFor([](const Lines& l) { return countOf(l, "connected") == 2; }));
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 4));
    Lines twice = connectedThenConfigured();
    const Lines again = connectedThenConfigured();
    twice.insert(twice.end(), again.begin(), again.end());
    ASSERT_TRUE(waitCommands(twice.size()));
    EXPECT_EQ(twice, commandsOf(m_player->lines()));
    // Commands work again on the new connection.
    ASSERT_TRUE(request("[Debug]muteon"));
    ASSERT_TRUE(waitCommands(twice.size() + 1));
    EXPECT_EQ("/DRAVO/muteon", commandsOf(m_player->lines()).back());
}

std::string hexOf(const std::vector<unsigned char>& bytes, size_t size)
{
    std::string text;
    char two[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof(two), "%02x", bytes[i]);
        text += two;
    }
    return text;
}

std::string fnv(const std::vector<unsigned char>& bytes, size_t first, size_t size)
{
    uint32_t h = 2166136261u;
    for (size_t i = first; i < first + size; ++i) h = (h ^ bytes[i]) * 16777619u;
    char text[32];
    std::snprintf(text, sizeof(text), "%zu#%08x", size, h);
    return text;
}

TEST_F(OPVDspThreadTest, CoefficientArraysGoOutInPiecesOfAtMost64KiBOnlyWhileConnected)
{
    std::vector<unsigned char> bytes(2 * 65536 + 100);
    uint32_t seed = 1;
    for (unsigned char& b : bytes) b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
    ASSERT_NO_FATAL_FAILURE(startThread());
    uint32_t result = 0x5A5A5A5A;
    ASSERT_TRUE(m_dsp.run([&](DspThread& t) { result = t.sendCoef(9, 3, 10, bytes.data(), 100); }));
    EXPECT_EQ(0u, result);  // not connected: nothing sent, no failure

    ASSERT_NO_FATAL_FAILURE(startPlayer());
    ASSERT_TRUE(m_dsp.waitSysParam("DRAVOpState", 2));
    ASSERT_TRUE(waitCommands(1));  // muteOn of the connection
    ASSERT_TRUE(m_dsp.run([&](DspThread& t) {
        result = t.sendCoef(9, 3, 10, bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(0u, t.sendCoef(9, 4, 0, bytes.data(), 65536));
        EXPECT_EQ(0u, t.sendCoef(9, 5, 0, bytes.data(), 3));
    }));
    EXPECT_EQ(0u, result);
    const Lines expected = {
        "/DRAVO/muteon",
        "/DRAVO/setcoef 0 9 3 10 " + fnv(bytes, 0, 65536),
        "/DRAVO/setcoef 0 9 3 65546 " + fnv(bytes, 65536, 65536),
        "/DRAVO/setcoef 1 9 3 131082 " + fnv(bytes, 131072, 100),
        "/DRAVO/setcoef 1 9 4 0 " + fnv(bytes, 0, 65536),
        "/DRAVO/setcoef 1 9 5 0 " + hexOf(bytes, 3),
    };
    ASSERT_TRUE(waitCommands(expected.size()));
    EXPECT_EQ(expected, commandsOf(m_player->lines()));
}

TEST_F(OPVDspThreadTest, DebugRequestsSendTheirCommandsOnlyInRunModeZero)
{
    ASSERT_NO_FATAL_FAILURE(configure());
    size_t seen = commandsOf(m_player->lines()).size();
    const auto setup = [](TMS::AbstractMessage& m) {
        return m.addData("RenderSamples", 256u) == 0 && m.addData("FsHz", 44100u) == 0;
    };
    ASSERT_TRUE(request("[Debug]setupProcessing", setup));  // no driver: nothing
    ASSERT_TRUE(request("[Debug]connect", [](TMS::AbstractMessage& m) {
        return m.addData("FromUniqID", 1u) == 0 && m.addData("FromOutputPortNo", 2u) == 0 &&
               m.addData("ToUniqID", 3u) == 0 && m.addData("ToInputPortNo", 4u) == 0;
    }));
    ASSERT_TRUE(request("[Debug]setupProcessing", [&](TMS::AbstractMessage& m) {
        return setup(m) && m.addData("DriverName", "ALSA") == 0;
    }));
    ASSERT_TRUE(request("[Debug]unknown"));
    ASSERT_TRUE(request("[Debug]addToPlayList", [](TMS::AbstractMessage& m) {
        return m.addData("PlayListNo", 1u) == 0 && m.addData("UniqID", 5u) == 0 && m.addData("PreUniqID", 0u) == 0;
    }));
    testing::internal::CaptureStdout();
    const auto printCoef = [](uint32_t coefID, uint32_t pos1) {
        return [=](TMS::AbstractMessage& m) {
            return m.addData("UniqID", kUniqID) == 0 && m.addData("CoefID", coefID) == 0 && m.addData("Pos1", pos1) == 0 &&
                   m.addData("Pos2", 0u) == 0 && m.addData("Pos3", 0u) == 0;
        };
    };
    const bool printed = request("[Debug]printCoef", printCoef(0, 4)) && request("[Debug]printCoef", printCoef(1, 0)) &&
                         request("[Debug]stopProcessing");
    const Lines expected = {"/DRAVO/connect 1 2 3 4", "/DRAVO/setupbuffer 256", "/DRAVO/changefs 44100",
                            "/DRAVO/addtoplaylist 1 5 0", "/DRAVO/stopprocessing"};
    // The thread takes its messages in order: once the last one's command reached the player, both prints are done.
    const bool handled = printed && waitCommands(seen + expected.size());
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(handled);
    EXPECT_NE(std::string::npos, out.find("get coef value: UniqID:105 CoefID:0 pos1:4 pos2:0 pos3:0 value:[0.500000]\n"));
    EXPECT_EQ(std::string::npos, out.find("CoefID:1 "));  // no such array: nothing
    const Lines all = commandsOf(m_player->lines());
    EXPECT_EQ(expected, Lines(all.begin() + static_cast<long>(seen), all.end()));
}

TEST_F(OPVDspThreadTest, ParameterChangesReachMeterPoolsAndCoefficients)
{
    ASSERT_EQ(0u, collection().addComponent("StandIn", 1, 106, 1, 1));
    ASSERT_NO_FATAL_FAILURE(configure());
    ASSERT_TRUE(m_dsp.publish("PDBState", 1));
    const auto peakHolds = [&] {
        std::vector<bool> flags;
        EXPECT_TRUE(m_dsp.run([&](DspThread&) {
            for (DRAVO::AudioComponent* c : collection().componentList()) flags.push_back(c->meterPool().isPeakHold());
        }));
        return flags;
    };
    EXPECT_EQ(std::vector<bool>({false, false}), peakHolds());

    PDB::IParameterDB& common = PDB::gPDBCollection.getPDB(5);
    const uint32_t ci = common.getComponentIndex(PDB::UniqId(0));
    const uint32_t ai = common.getAddressId(PDB::UniqId(0), "/Meter/PeakHold/On").addressIndex();
    ASSERT_EQ(0u, common.setVariant(ci, ai, 0, 0, JVariant(1u), 0));
    EXPECT_TRUE(waitFor([&] { return peakHolds() == std::vector<bool>({true, true}); }, 5s));

    // A gain of component 105, channel 1, goes out as its changed coefficient array after the walk.
    const size_t seen = commandsOf(m_player->lines()).size();
    PDB::IParameterDB& components = PDB::gPDBCollection.getPDB(10);
    ASSERT_EQ(0u, components.setFloat(components.getComponentIndex(PDB::UniqId(kUniqID)), 0, 1, 0, 0.25f, 0));
    const std::string changed = "/DRAVO/setcoef 1 105 0 0 " + coefHex({0.5f, 0, 0, 0, 0.25f, 0, 0, 0});
    EXPECT_TRUE(m_player->waitFor([&](const Lines& l) {
        const Lines all = commandsOf(l);
        return std::find(all.begin() + static_cast<long>(std::min(seen, all.size())), all.end(), changed) != all.end();
    }));
}

TEST_F(OPVDspThreadTest, AbortingTakesTheComponentsOutOfUse)
{
    ASSERT_NO_FATAL_FAILURE(configure());
    const auto inUse = [&] {
        bool used = false;
        EXPECT_TRUE(m_dsp.run([&](DspThread&) {
            for (DRAVO::AudioComponent* c : collection().componentList()) used = used || c->isInDSPUse();
        }));
        return used;
    };
    EXPECT_TRUE(inUse());
    ASSERT_TRUE(m_dsp.publish("DRAVOmState", 5));
    EXPECT_TRUE(waitFor([&] { return TmsTest::hasLogLine(m_dsp, "[E] OPVDspThread::onChangeSystemInfo - Aborting to configure!\n"); }, 5s));
    EXPECT_TRUE(waitFor([&] { return !inUse(); }, 5s));
    // Operable again: the connected players are configured once more.
    const size_t seen = commandsOf(m_player->lines()).size();
    ASSERT_TRUE(m_dsp.publish("DRAVOmState", 4));
    ASSERT_TRUE(waitCommands(seen + connectedThenConfigured().size() - 1));
    EXPECT_EQ("/DRAVO/muteoff", commandsOf(m_player->lines()).back());
    EXPECT_TRUE(inUse());
}

}  // namespace
