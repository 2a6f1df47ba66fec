// The rack link thread "MURRemote" under a small root, over the stand-in rack library.
#include "common/Lpc/LpcMurRemoteThread.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TMS/ThreadTestSupport.h"
#include "common/Lpc/IValueConverter.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcRecallStopwatch.h"
#include "common/Lpc/LpcUzProtoMemory.h"
#include "main/app/common/Lpc/LpcRackThreadsFixture.h"

using namespace std::chrono_literals;
using LPC::LpcMurRemote;
using LPC::LpcUzProtoMemory;
using LpcTest::kCurrent;
using LpcTest::kSetup;

namespace {

constexpr int32_t kAuxInLevelRow = 5;   // "/AuxIn/Fader/Level" in "uzSetup": one Int32 member
constexpr int32_t kAuxOutLevelRow = 10;  // "/AuxOut/Fader/Level" in "uzSetup": one Int32 member
constexpr const char* kAuxInLevel = "/AuxIn/Fader/Level";
constexpr const char* kAuxOutLevel = "/AuxOut/Fader/Level";
const std::string kStartLine = "[UZ][MUR Remote] start connect to MUR server (";
const std::string kFailedLine = "[UZ][MUR Remote] connect failed\n";
const std::string kConnectedLine = "[UZ][MUR Remote] connected\n";

LPC::MemoryIndex MI(int32_t row) { return static_cast<LPC::MemoryIndex>(row); }

const LPC::PluginSendInfoList& targets(int32_t row, uint32_t x)
{
    return LPC::g_PluginAddressListForAllItem.at(MI(row))[0].at({x, 0});
}

double normalized(int32_t row, const JVariant& value)
{
    const LPC::MemoryAttribute a = LpcUzProtoMemory::getInstance().getMemoryAttribute(MI(row), 0);
    return LPC::sMemoryItemTable[row].converter->normalize(value, a.min, a.max, a.scaling, nullptr);
}

using LpcTest::parseRecords;
using LpcTest::Record;

std::string scene(const char* operation, const char* status, int32_t index)
{
    return "Category=MUR CommandName=UZScene Factor=#255 Index=#" + std::to_string(index) + " Operation=" + operation +
           " Status=" + status;
}
const std::string kPackage = "CommandName=Package Factor=#255 Operation=Load Status=End";

class LpcMurRemoteThreadTest : public LpcTest::RackThreadsFixture {
protected:
    // A write through the link engine, as the OSC surface and the device logic write.
    static void writeLevel(const char* address, uint32_t x, int32_t value)
    {
        ASSERT_EQ(0u, write(kSetup, address, x, 0, {JVariant(value)}));
    }
};

}  // namespace

TEST_F(LpcMurRemoteThreadTest, WithoutALoadedLibraryNoConnectionIsTriedAndWalksStillRun)
{
    for (const char* variant : {static_cast<const char*>(nullptr), LpcTest::kStandInRackNullInit}) {
        SCOPED_TRACE(variant ? variant : "no library");
        startRoot(variant, "MURServerAddress=rack.test\n");
        EXPECT_TRUE(TmsTest::hasLogLine(
            *m_murRemote, "[W] LpcMurRemoteThread::onInitialize - Cannot load the rack library, running without the rack.\n"));
        // No retry timer exists, so no connection step can ever come.
        EXPECT_TRUE(m_murRemote->timers().getTimer(LPC::LpcMurRemoteThread::kConnectTimerId).isNull());
        const int walks = m_murRemote->walks.load();
        writeLevel(kAuxInLevel, 3, -600);
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_murRemote->walks.load() > walks; }, 10s));
        EXPECT_FALSE(LpcMurRemote::getInstance().isConnected());
        EXPECT_EQ(0u, printed().count(kStartLine));
        EXPECT_EQ(0u, m_oscServer->eventCount(15));
        if (m_hasRack) {
            EXPECT_TRUE(m_rack.lines("record").empty());  // loaded, but never connected
        }
        stopRoot();
    }
}

TEST_F(LpcMurRemoteThreadTest, RefusingServerIsTriedOnceASecondAndNobodyIsTold)
{
    // The stand-in's log file outlives the library, which the release below unloads.
    const std::string logFile = std::filesystem::temp_directory_path() / ("rack-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(logFile);
    ASSERT_EQ(0, ::setenv("UZ_RACK_STANDIN_LOG", logFile.c_str(), 1));
    startRoot(LpcTest::kStandInRack, "MURServerAddress=rack.test\n", [&] { m_rack.setConnectResult(false); });
    ASSERT_EQ(0, ::unsetenv("UZ_RACK_STANDIN_LOG"));
    ASSERT_TRUE(m_hasRack);
    ASSERT_TRUE(waitForRackLines("connectServer", 1));
    const auto first = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForRackLines("connectServer", 3));
    EXPECT_GE(std::chrono::steady_clock::now() - first, 1500ms);  // two periods, less what seeing the first took
    stopRoot();  // no step can come between the counts below

    std::vector<std::string> attempts;
    {
        std::ifstream in(logFile);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("connectServer", 0) == 0) attempts.push_back(line);
        }
    }
    std::filesystem::remove(logFile);
    ASSERT_GE(attempts.size(), 3u);
    for (const std::string& line : attempts) EXPECT_EQ("connectServer rack.test", line);
    EXPECT_EQ(attempts.size(), printed().count(kStartLine + "rack.test)\n"));
    EXPECT_EQ(attempts.size(), printed().count(kFailedLine));
    EXPECT_EQ(0u, printed().count(kConnectedLine));
}

TEST_F(LpcMurRemoteThreadTest, FirstSuccessTellsBothThreadsOnceAndStopsTheAttempts)
{
    startConnected();
    EXPECT_EQ(1u, m_rack.lines("connectServer").size());
    EXPECT_EQ("connectServer localhost", m_rack.lines("connectServer")[0]);  // the default address
    EXPECT_EQ(1u, printed().count(kStartLine + "localhost)\n"));
    EXPECT_EQ(0u, printed().count(kFailedLine));
    EXPECT_FALSE(m_murRemote->timers().getTimer(LPC::LpcMurRemoteThread::kConnectTimerId).isRunning());
    EXPECT_EQ(1u, m_oscServer->eventCount(15));
    EXPECT_EQ(1, m_deviceControlForUZ->connectStateChanges.load());
}

TEST_F(LpcMurRemoteThreadTest, ConnectionErrorDisconnectsRetriesAndResynchronises)
{
    startConnected();
    ASSERT_TRUE(waitForPrint("[UZ] restorePluginFromMemory\n", 1));
    ASSERT_TRUE(waitForRackLines("setParameters", 1));
    m_rack.setConnectResult(false);
    m_rack.fireConnectError();
    // Told at once, found disconnected: nothing is sent; the attempts start again.
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->connectStateChanges.load() == 2; }, 10s));
    EXPECT_EQ(1u, printed().count("[UZ][MUR callback] Connect Error\n"));
    EXPECT_EQ(1u, m_rack.lines("disconnectServer").size());
    EXPECT_FALSE(LpcMurRemote::getInstance().isConnected());
    ASSERT_TRUE(waitForPrint(kFailedLine, 1));
    EXPECT_EQ(1u, printed().count("[UZ] restorePluginFromMemory\n"));

    m_rack.setConnectResult(true);
    ASSERT_TRUE(waitForPrint(kConnectedLine, 2));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_deviceControlForUZ->connectStateChanges.load() == 3; }, 10s));
    EXPECT_EQ(3u, m_oscServer->eventCount(15));
    EXPECT_EQ(2u, printed().count("[UZ] restorePluginFromMemory\n"));
    EXPECT_EQ(2u * wholeMemoryRecords(), loggedRecords());
    // The log in order: connect, the batch, disconnect, a refused try, connect, the second batch.
    const std::vector<std::string> calls = m_rack.lines("disconnectServer");
    EXPECT_EQ(1u, calls.size());
    const std::string log = m_rack.log();
    const size_t disconnect = log.find("disconnectServer\n");
    EXPECT_LT(log.find("setParameters "), disconnect);
    EXPECT_NE(std::string::npos, log.find("setParameters ", disconnect));
    EXPECT_GE(m_rack.lines("connectServer").size(), 3u);
}

TEST_F(LpcMurRemoteThreadTest, ServerEventsBecomeMessagesWithTheRackPresetAsSceneIndex)
{
    struct Case {
        bool flag;
        int32_t type;
        int32_t preset;
        std::vector<std::string> messages;
        bool recalling;
    };
    const Case cases[] = {
        {false, 8, 3, {scene("Recall", "Start", 4), scene("Current", "Changed", 4)}, false},
        {true, 8, 3, {scene("Current", "Changed", 4)}, false},
        {false, 8, 70, {scene("Recall", "Start", 50), scene("Current", "Changed", 50)}, false},
        {false, 8, -5, {scene("Recall", "Start", 1), scene("Current", "Changed", 1)}, false},
        {false, 0, 0, {kPackage, scene("Current", "Changed", 1)}, false},
        {true, 0, 2, {scene("Current", "Changed", 3)}, false},
        {false, 12, 5, {scene("Store", "End", 6), scene("Current", "Changed", 6)}, false},
        {true, 12, 5, {scene("Current", "Changed", 6)}, false},
        {false, 7, 0, {}, true},
        {true, 7, 0, {}, true},
        {false, 1, 0, {}, false},
        {true, 6, 0, {}, false},
        {false, 9, 0, {}, false},
        {false, 11, 0, {}, false},
        {false, 13, 0, {}, false},
        {false, -1, 0, {}, false},
    };
    startConnected();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.flag) + " " + std::to_string(c.type) + " preset " + std::to_string(c.preset));
        (void)LpcMurRemote::getInstance().setRecallState(c.recalling ? LPC::RECALL_STATE_NONE : LPC::RECALL_STATE_RECALLING);
        m_rack.setCurrentPreset(c.preset);
        m_oscServer->clear();
        m_rack.fireServerEvent(c.flag, c.type);
        std::vector<std::string> expected = c.messages;
        if (c.messages.empty()) {
            // Nothing of its own to wait for: a flagged store afterwards shows the case is served.
            ASSERT_TRUE(m_rack.waitIdle(5000));
            m_rack.fireServerEvent(true, 12);
            expected.push_back(scene("Current", "Changed", LPC::LpcThreadCommon::presetNoToSnapshotIndex(c.preset)));
        }
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_oscServer->messageCount() >= expected.size(); }, 10s));
        EXPECT_EQ(expected, m_oscServer->messages());
        if (c.type == 7 || c.type == 8) {
            EXPECT_EQ(c.recalling, LpcMurRemote::getInstance().isRecalling());
        }
    }
    // 18 is posted by nobody; served, it tells both threads of a changed rack parameter.
    ASSERT_EQ(0u, m_murRemote->sendEvent(LPC::LpcMurRemoteThread::kEventParameterChanged));
    EXPECT_TRUE(TmsTest::waitFor([&] { return m_oscServer->eventCount(14) == 1; }, 10s));
}

TEST_F(LpcMurRemoteThreadTest, ProtocolChangesOfTheFirstThreeComponentsReachTheRackAtTheFlush)
{
    startConnected();
    ASSERT_TRUE(waitForRackLines("setParameters", 1));  // the whole-memory batch
    m_rack.clearLog();
    const int walks = m_murRemote->walks.load();
    writeLevel(kAuxInLevel, 3, -600);
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_murRemote->walks.load() > walks; }, 10s));
    const std::vector<Record> records = parseRecords(m_rack.lines("record"));
    const LPC::PluginSendInfoList& expected = targets(kAuxInLevelRow, 3);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(expected.size(), records.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].guid, records[i].guid);
        EXPECT_EQ(static_cast<int32_t>(expected[i].paramNo), records[i].paramNo);
        EXPECT_DOUBLE_EQ(normalized(kAuxInLevelRow, JVariant(-600)), records[i].value);
    }
    EXPECT_EQ(1u, m_rack.lines("setParameters").size());  // one call for the whole walk

    // Changes elsewhere: a scene status, a status database; each walk flushes its empty batch.
    struct Elsewhere {
        uint32_t db;
        uint32_t uid;
        const char* address;
    };
    const Elsewhere elsewhere[] = {{10, 3, "/SceneStatus/Bank/Info/DataType"}, {6, 0, "/Status/Battery"}};
    for (const Elsewhere& e : elsewhere) {
        SCOPED_TRACE(e.address);
        m_rack.clearLog();
        PDB::IParameterDB& db = PDB::gPDBCollection.getPDB(e.db);
        const uint32_t ci = db.getComponentIndex(PDB::UniqId(e.uid));
        const uint32_t ai = db.getAddressIndex(PDB::UniqId(e.uid), e.address);
        const int before = m_murRemote->walks.load();
        ASSERT_EQ(0u, db.setUInt32(ci, ai, 0, 0, 7, 255) & 0x80000000u);
        ASSERT_TRUE(TmsTest::waitFor([&] { return m_murRemote->walks.load() > before; }, 10s));
        EXPECT_EQ(std::vector<std::string>{"setParameters 0"}, m_rack.lines("setParameters"));
    }
}

TEST_F(LpcMurRemoteThreadTest, RackChangeIsWrittenWithFactor255AndSentBackToEveryTarget)
{
    startConnected();
    ASSERT_TRUE(waitForRackLines("setParameters", 1));
    const LPC::PluginSendInfo& in = targets(kAuxInLevelRow, 3)[0];
    const LPC::PluginSendInfo& out = targets(kAuxOutLevelRow, 0)[0];
    m_rack.setValue(in.guid, static_cast<int32_t>(in.paramNo), normalized(kAuxInLevelRow, JVariant(-600)));
    m_rack.setValue(out.guid, static_cast<int32_t>(out.paramNo), normalized(kAuxOutLevelRow, JVariant(-600)));
    const int32_t outBefore = get(kSetup, kAuxOutLevel, 0);
    ASSERT_NE(-600, outBefore);
    m_rack.clearLog();

    // The flagged change comes first and is ignored; the plain one is written at once.
    m_rack.firePluginParameterChanged(true, out.guid, static_cast<int32_t>(out.paramNo));
    m_rack.firePluginParameterChanged(false, in.guid, static_cast<int32_t>(in.paramNo));
    ASSERT_TRUE(m_rack.waitIdle(5000));
    EXPECT_EQ(-600, get(kSetup, kAuxInLevel, 3));
    EXPECT_EQ(255u, factorOf(kSetup, kAuxInLevel, 3));
    EXPECT_EQ(outBefore, get(kSetup, kAuxOutLevel, 0));

    // The walk of that write sends the value to every target, the reporting plug-in included.
    ASSERT_TRUE(TmsTest::waitFor([&] { return loggedRecords() >= targets(kAuxInLevelRow, 3).size(); }, 10s));
    const std::vector<Record> records = parseRecords(m_rack.lines("record"));
    ASSERT_EQ(targets(kAuxInLevelRow, 3).size(), records.size());
    EXPECT_EQ(in.guid, records[0].guid);
}

TEST_F(LpcMurRemoteThreadTest, TheFlushEndsARunningRecallStopwatch)
{
    startRoot(nullptr, "");
    testing::internal::CaptureStdout();
    int walks = m_murRemote->walks.load();
    writeLevel(kAuxInLevel, 3, -500);
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_murRemote->walks.load() > walks; }, 10s));
    LPC::dbg_startRecall();
    walks = m_murRemote->walks.load();
    writeLevel(kAuxInLevel, 3, -400);
    const bool ended = TmsTest::waitFor([&] { return !LPC::dbg_isRecalling() && m_murRemote->walks.load() > walks; }, 10s);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ended);
    const size_t time = out.find("recall time ");
    ASSERT_NE(std::string::npos, time) << out;
    const size_t finished = out.find("********* onChangePDBParamFinished\n");
    EXPECT_LT(time, finished);
    EXPECT_NE(std::string::npos, finished);
    EXPECT_EQ(std::string::npos, out.find("********* onChangePDBParamFinished\n", finished + 1));  // the walk before printed none
}

TEST_F(LpcMurRemoteThreadTest, ChangedGroupIsSentWithEveryMemberOnce)
{
    // The first row of several integer members with plug-in lists.
    int32_t row = -1;
    for (const LPC::MemoryItem& item : LPC::sMemoryItemTable) {
        if (item.argNum > 1 && !item.pluginParams.empty() && item.converter) {
            row = item.index;
            break;
        }
    }
    ASSERT_GE(row, 0);
    startConnected();
    ASSERT_TRUE(waitForRackLines("setParameters", 1));
    const LPC::MemoryItem& item = LPC::sMemoryItemTable[row];
    ASSERT_LT(static_cast<uint32_t>(item.category), 3u);
    const std::string base = LPC::getPdbAddressFromMemoryIndex(item.index);
    const std::string first = LPC::getPdbAddressWithPostFix(base.c_str(), item.postFix, 0);
    LPC::JVariantList values;
    std::set<std::pair<std::string, int32_t>> expected;
    for (uint32_t k = 0; k < item.argNum; ++k) {
        const LPC::MemoryAttribute a = LpcUzProtoMemory::getInstance().getMemoryAttribute(item.index, k);
        ASSERT_EQ(LPC::kLPCValueTypeInteger, a.valueType);
        values.push_back(JVariant(a.min + (a.max - a.min) / (3 + int32_t(k))));
        for (const LPC::PluginSendInfo& t : LPC::g_PluginAddressListForAllItem.at(item.index)[k].at({0, 0})) {
            expected.insert({t.guid, static_cast<int32_t>(t.paramNo)});
        }
    }
    ASSERT_FALSE(expected.empty());
    m_rack.clearLog();
    const int walks = m_murRemote->walks.load();
    ASSERT_FALSE(JLIB::isFailure(write(item.category, first.c_str(), 0, 0, values)));
    ASSERT_TRUE(TmsTest::waitFor([&] { return m_murRemote->walks.load() > walks; }, 10s));
    std::map<std::pair<std::string, int32_t>, int> seen;
    for (const Record& r : parseRecords(m_rack.lines("record"))) ++seen[{r.guid, r.paramNo}];
    // Every member's targets, each once: the group is reported once however many members changed.
    for (const auto& target : expected) EXPECT_EQ(1, seen[target]) << target.first << " " << target.second;
}
