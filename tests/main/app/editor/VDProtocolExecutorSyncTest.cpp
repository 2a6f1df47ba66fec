// The editor's synchronisation, detection and network information commands: the real editor-link
// thread under the real root, talking to the test's editor over loopback TCP, with a stand-in in
// the place of "Sync" that keeps every message it receives and sends the reports of a real one.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "FileCache/TempFolder.h"
#include "PDB/pdb_ComponentInfo.h"
#include "PDB/pdb_IParameterDB.h"
#include "PDB/pdb_Mutex.h"
#include "PDB/pdb_ParameterDBCollection.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadRepository.h"
#include "editor/KavoriClientSystemThread.h"
#include "editor/KavoriClientVDProtocolThread.h"
#include "editor/VDProtocolExecutor.h"
#include "editor/VDStartupOption.h"
#include "main/app/editor/StandInThread.h"
#include "main/app/editor/TestEditor.h"
#include "vsock/vsock.h"

using namespace std::chrono_literals;
using EngineTest::Journal;
using EngineTest::StandIn;
using EngineTest::TestEditor;
using nlohmann::json;
using VDevice::VDProtocolExecutor;

namespace {

constexpr auto kLimit = 10s;
constexpr uint32_t kFailed = 0x80000000u;

// ---- texts and numbers

TEST(VDProtocolSyncTextTest, SplitKeepsOrSkipsEmptyPieces)
{
    struct Case {
        const char* text;
        const char* separator;
        bool skipEmpty;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"a.b.c", ".", true, {"a", "b", "c"}},
        {"a..b.", ".", false, {"a", "", "b", ""}},
        {"a..b.", ".", true, {"a", "b"}},
        {".a", ".", false, {"", "a"}},
        {"", ".", false, {""}},
        {"", ".", true, {}},
        {"a--b", "--", true, {"a", "b"}},
        {"abc", "", true, {"abc"}},  // no separator: no endless search
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.separator);
        std::vector<std::string> out = {"kept"};
        EXPECT_EQ(0u, VDevice::split(out, c.text, c.separator, c.skipEmpty));
        std::vector<std::string> expected = {"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(expected, out);
    }
}

TEST(VDProtocolSyncTextTest, VersionTextsCompareByMajorThenMinorAsDecimalNumbers)
{
    struct Case {
        const char* first;
        const char* second;
        uint32_t result;
    };
    const Case cases[] = {
        {"V1.10", "V1.09", 0x80000002u},  // "09" is nine, not a broken octal number
        {"V1.09", "V1.10", 0x80000001u},
        {"V2.00", "V10.0", 0x80000001u},
        {"V1.08", "V1.08", 0},
        {"V01.8", "V1.08", 0},  // different texts, equal numbers
        {"V1.2", "V1.20", kFailed},  // four characters
        {"V1.20", "V1.200", kFailed},
        {"X1.00", "V1.00", kFailed},
        {"V1.00", "V1-00", kFailed},
        {"V1.0x", "V1.00", kFailed},
        {"V1..0", "V1.00", 0},  // empty pieces are skipped: 1 and 0 on both sides
        {"V.1.0", "V1.00", 0},
        {"V1.2.", "V1.20", 0x80000001u},  // the empty end piece is skipped: minor 2
        {"V1.2.3", "V1.20", kFailed},  // six characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " against " + c.second);
        EXPECT_EQ(c.result, VDProtocolExecutor::compareSyncVersion(std::string(c.first), std::string(c.second)));
    }
    uint32_t major = 7;
    uint32_t minor = 7;
    EXPECT_EQ(0u, VDProtocolExecutor::divisionSyncVersion(major, minor, "V3.09"));
    EXPECT_EQ(3u, major);
    EXPECT_EQ(9u, minor);
    EXPECT_EQ(kFailed, VDProtocolExecutor::divisionSyncVersion(major, minor, "V-1.2"));
    EXPECT_EQ(3u, major);  // untouched on failure
}

TEST(VDProtocolSyncTextTest, NumbersAndAddresses)
{
    EXPECT_EQ(0u, VDProtocolExecutor::compareSyncVersion(5u, 5u));
    EXPECT_EQ(0x80000001u, VDProtocolExecutor::compareSyncVersion(3u, 4u));
    EXPECT_EQ(0x80000002u, VDProtocolExecutor::compareSyncVersion(0xFFFFFFFFu, 1u));
    EXPECT_EQ("192.168.0.1", VDProtocolExecutor::ipAddressString(0xC0A80001u));
    EXPECT_EQ("0.0.0.0", VDProtocolExecutor::ipAddressString(0));
    EXPECT_EQ("255.255.255.255", VDProtocolExecutor::ipAddressString(0xFFFFFFFFu));
}

// ---- the commands on the editor link

class TestRoot : public KAVORI::KavoriClientSystemThread {
public:
    using KavoriClientSystemThread::placeChild;
};

// A stand-in that also keeps the user messages of id 0 it receives.
class RecordingStandIn : public StandIn {
public:
    explicit RecordingStandIn(Journal& journal) : StandIn(journal)
    {
        auto jobs = onUserMessage;
        onUserMessage = [this, jobs](const TMS::AbstractMessage& message) {
            if (message.messageId() == 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_messages.push_back(message);
            }
            jobs(message);
        };
    }
    std::vector<TMS::AbstractMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }
    // The command names received so far.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const TMS::AbstractMessage& m : messages()) {
            const char* text = m.data("CommandName").toString();
            out.push_back(text ? text : "<none>");
        }
        return out;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_messages;
};

std::string textOf(const TMS::AbstractMessage& message, const char* key)
{
    const char* text = message.data(key).toString();
    return text ? text : "<none>";
}

PDB::ComponentInfo versionComponent(const char* type)
{
    PDB::ComponentInfo info;
    const PDB::ParamAttr attr;
    EXPECT_EQ(0u, info.initialize(type, 1, 1, 1, 1, 1, "", "", nullptr));
    EXPECT_EQ(0u, info.addAddressUINT32("/Specification/SyncVersion", 1, 1, "", "", 0, 0xFFFFFFFFu, 0, 0, 1, 1, attr,
                                        "", "", ""));
    return info;
}

class VDProtocolExecutorSyncTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.path());
        ASSERT_EQ(0, vsock_initModule());
        ASSERT_TRUE(m_editor.listen());
        for (const auto& [id, name] : {std::pair<uint32_t, const char*>{0, "Profile"}, {4, "VDeviceSetup"}}) {
            ASSERT_EQ(0u, PDB::createPDB(id, name, &PDB::NullMutex::getNullObject(), 0));
            m_dbs.push_back(id);
            ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(id).addComponent(PDB::UniqId(0), versionComponent(name)));
        }
        setVersions(5, 5);

        const std::string port = "port=" + std::to_string(m_editor.port());
        const char* argv[] = {"uzengine", "uid=dev01", port.c_str()};
        ASSERT_EQ(0u, VDevice::VDStartupOption::getInstance().set(3, argv));
        for (const char* name : {"DeviceControl", "Compiler", "Sync"}) {
            m_standIns.push_back(std::make_unique<RecordingStandIn>(m_journal));
            ASSERT_EQ(0u, m_root->placeChild(name, *m_standIns.back()));
        }
        ASSERT_EQ(0u, m_root->initialize("System", 0, 0, 20000, 20000, 100, 100, TMS::getNullDataMap()));
        ASSERT_EQ(0u, m_root->start(TMS::getNullDataMap()));
        ASSERT_TRUE(
            TmsTest::waitFor([&] { return m_root->getPhase() == TMS::SystemThread::kPhaseAllStarted; }, kLimit));
        ASSERT_TRUE(m_editor.accept(kLimit));
        ASSERT_TRUE(deviceControl().publish("PDBState", 1));
        ASSERT_TRUE(deviceControl().publish("DRAVOmState", 3));
        const std::optional<std::string> connected = m_editor.readLine(kLimit);
        ASSERT_TRUE(connected);
    }
    void TearDown() override
    {
        if (m_root) (void)m_root->release();
        m_root.reset();
        for (uint32_t id : m_dbs) (void)PDB::destroyPDB(id);
        EXPECT_EQ(0, vsock_endModule());
        std::filesystem::current_path(m_previous);
    }

    RecordingStandIn& deviceControl() { return *m_standIns[0]; }
    RecordingStandIn& sync() { return *m_standIns[2]; }

    void setVersions(uint32_t real, uint32_t virtualVersion)
    {
        JVariant value(real);
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(0u).setVariant(0, 0, 0, 0, value, 255));
        value = JVariant(virtualVersion);
        ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(4u).setVariant(0, 0, 0, 0, value, 255));
    }

    // "EditorState" as the real "Sync" publishes it; the "dev_status" it may cause is read by the caller.
    // The executor's gates read the publisher's own copy, which the root hands down after the
    // editor-link thread may already have reported the change: wait for that copy too.
    void publishState(uint32_t state)
    {
        ASSERT_TRUE(sync().publish("EditorState", state));
        ASSERT_TRUE(TmsTest::waitFor([&] { return sync().sysParam("EditorState") == state; }, kLimit));
    }

    bool request(const std::string& cmd, const std::string& reqid, const json& info = json())
    {
        json packet = {{"request", {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}}}};
        if (!info.is_null()) packet["request"]["cmdinfo"]["info"] = info;
        return m_editor.writeLine(packet.dump());
    }
    bool abort(const std::string& reqid)
    {
        const json body = {{"cmd", "set_sync_device"}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
        const json packet = {{"abort", body}};
        return m_editor.writeLine(packet.dump());
    }
    // The next line from the engine as an object; null when none comes within the limit.
    // Parameter notifications of the version writes are passed over.
    json next(std::chrono::milliseconds limit = kLimit)
    {
        for (;;) {
            const std::optional<std::string> line = m_editor.readLine(limit);
            if (!line) return json();
            json packet = json::parse(*line);
            if (!packet.contains("notify") || packet["notify"].value("cmd", "") != "prm_val") return packet;
        }
    }
    // The next reply or notification, skipping the other category.
    json nextOf(const char* category)
    {
        for (json packet = next(); !packet.is_null(); packet = next()) {
            if (packet.contains(category)) return packet[category];
        }
        return json();
    }
    // The stand-in sends the engine's editor link one report, as the real "Sync" does.
    void report(const char* command, uint32_t result, uint32_t progress, bool asSigned = false)
    {
        TMS::AbstractMessage message;
        ASSERT_EQ(0u, message.initialize(TMS::kMessageUser, 0));
        ASSERT_EQ(0u, message.addData("CommandName", command));
        if (asSigned) {
            ASSERT_EQ(0u, message.addData("Result", int32_t(result)));
            ASSERT_EQ(0u, message.addData("Progress", int32_t(progress)));
        } else {
            ASSERT_EQ(0u, message.addData("Result", result));
            ASSERT_EQ(0u, message.addData("Progress", progress));
        }
        ASSERT_TRUE(sync().run([&](StandIn&) { EXPECT_EQ(0u, message.sendWithWaiting("VDProtocol")); }));
    }
    bool detecting()
    {
        return TMS::getThreadByName("VDProtocol")
                   .timers()
                   .getTimer(KAVORI::KavoriClientVDProtocolThread::kDetectTimerId)
                   .getTimerId() == KAVORI::KavoriClientVDProtocolThread::kDetectTimerId;
    }
    bool syncReceived(size_t count)
    {
        return TmsTest::waitFor([&] { return sync().names().size() >= count; }, kLimit);
    }

    TMS::TMSystem m_system;
    TempFolder m_folder;
    std::filesystem::path m_previous;
    TestEditor m_editor;
    Journal m_journal;
    std::vector<uint32_t> m_dbs;
    std::vector<std::unique_ptr<RecordingStandIn>> m_standIns;  // outlive the root, which borrows them
    std::unique_ptr<TestRoot> m_root = std::make_unique<TestRoot>();
};

TEST_F(VDProtocolExecutorSyncTest, NetworkInformationNeedsBothAddressesAsNonEmptyTexts)
{
    const json refused[] = {
        {{"pcIpAddr", "127.0.0.1"}},
        {{"pcIpAddr", ""}, {"devIpAddr", "127.0.0.2"}},
        {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", 2130706434}},  // a number is no address text
    };
    for (const json& info : refused) {
        SCOPED_TRACE(info.dump());
        ASSERT_TRUE(request("set_net_info", "n1", info));
        const json reply = nextOf("reply");
        EXPECT_EQ("ng", reply.value("result", ""));
        EXPECT_EQ("100", reply.value("progress", ""));
    }
    EXPECT_FALSE(detecting());

    // A MAC that is no text is stored as an empty text, never taken from the value.
    ASSERT_TRUE(
        request("set_net_info", "n2", {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", "127.0.0.2"}, {"devMacAddr", 7}}));
    EXPECT_EQ("ok", nextOf("reply").value("result", ""));
    ASSERT_TRUE(syncReceived(1));
    const TMS::AbstractMessage connect = sync().messages().front();
    EXPECT_EQ("SetNetworkInfo", textOf(connect, "CommandName"));
    EXPECT_EQ("127.0.0.1", textOf(connect, "FromIPAddress"));
    EXPECT_EQ("127.0.0.2", textOf(connect, "ToIPAddress"));
    EXPECT_EQ(std::vector<std::string>{"SetNetworkInfo"}, sync().names());  // the refused ones sent nothing
    EXPECT_TRUE(TmsTest::waitFor([&] { return detecting(); }, kLimit));

    // The stored texts go out with the next device status.
    publishState(4);
    const json status = nextOf("notify");
    EXPECT_EQ("dev_status", status.value("cmd", ""));
    EXPECT_EQ(1, status["cmdinfo"]["info"].value("deviceStatus", 99));
    EXPECT_EQ("127.0.0.2", status["cmdinfo"]["info"].value("devIpAddr", "<none>"));
    EXPECT_EQ("", status["cmdinfo"]["info"].value("devMacAddr", "<none>"));
}

TEST_F(VDProtocolExecutorSyncTest, RemovingTheInformationStopsDetectionDisconnectsAndReportsIt)
{
    ASSERT_TRUE(request("set_net_info", "n1",
                        {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", "127.0.0.2"}, {"devMacAddr", "00:11:22:33:44:55"}}));
    EXPECT_EQ("ok", nextOf("reply").value("result", ""));
    ASSERT_TRUE(TmsTest::waitFor([&] { return detecting(); }, kLimit));
    publishState(10);
    json status = nextOf("notify");
    EXPECT_EQ(2, status["cmdinfo"]["info"].value("deviceStatus", 99));
    EXPECT_EQ("00:11:22:33:44:55", status["cmdinfo"]["info"].value("devMacAddr", "<none>"));

    ASSERT_TRUE(request("del_net_info", "n2"));
    EXPECT_EQ("ok", nextOf("reply").value("result", ""));
    ASSERT_TRUE(syncReceived(2));
    EXPECT_EQ((std::vector<std::string>{"SetNetworkInfo", "Disconnect"}), sync().names());
    EXPECT_TRUE(TmsTest::waitFor([&] { return !detecting(); }, kLimit));

    // The answers of a real "Sync": the disconnection, then the status falling to 0.
    report("Re:Disconnect", 0, 100);
    const json disconnect = nextOf("notify");
    EXPECT_EQ("Disconnect", disconnect.value("cmd", ""));
    EXPECT_EQ("ok", disconnect.value("result", ""));
    EXPECT_EQ("100", disconnect.value("progress", ""));
    EXPECT_EQ("dev01", disconnect.value("from", ""));
    publishState(1);
    status = nextOf("notify");
    EXPECT_EQ(0, status["cmdinfo"]["info"].value("deviceStatus", 99));
    EXPECT_EQ("", status["cmdinfo"]["info"].value("devIpAddr", "<none>"));  // cleared with the information
    publishState(0);  // the same device status: nothing
    report("Re:Disconnect", kFailed, 100);  // a refusal still becomes the notification
    const json refused = next();
    EXPECT_EQ("Disconnect", refused["notify"].value("cmd", ""));
    EXPECT_EQ("ng", refused["notify"].value("result", ""));
}

TEST_F(VDProtocolExecutorSyncTest, DeviceStatusIsSentOnEachChangeUnknownStatesAsMinusOne)
{
    const std::pair<uint32_t, int> steps[] = {{4, 1}, {5, 1}, {6, -1}, {7, -1}, {8, 1}, {10, 2}, {3, 0}};
    int last = 0;
    for (const auto& [state, expected] : steps) {
        SCOPED_TRACE(state);
        publishState(state);
        if (expected == last) continue;
        const json status = nextOf("notify");
        EXPECT_EQ("dev_status", status.value("cmd", ""));
        EXPECT_EQ(expected, status["cmdinfo"]["info"].value("deviceStatus", 99));
        last = expected;
    }
    EXPECT_TRUE(next(200ms).is_null());  // nothing for the unchanged ones
}

TEST_F(VDProtocolExecutorSyncTest, OnlineRequestsWaitForTheReportsOfTheSynchronisation)
{
    // Not linked, synchronised, or different versions: "ng" at once, nothing to "Sync".
    ASSERT_TRUE(request("set_sync_device", "s0"));
    EXPECT_EQ("ng", nextOf("reply").value("result", ""));
    publishState(10);
    (void)nextOf("notify");
    ASSERT_TRUE(request("get_sync_device", "s1"));
    EXPECT_EQ("ng", nextOf("reply").value("result", ""));
    publishState(4);
    (void)nextOf("notify");
    setVersions(3, 4);
    ASSERT_TRUE(request("set_sync_device", "s2"));
    EXPECT_EQ("ng", nextOf("reply").value("result", ""));
    EXPECT_TRUE(sync().names().empty());

    // Accepted: "Synchronize" goes to "Sync" and the request waits.
    setVersions(4, 4);
    ASSERT_TRUE(request("set_sync_device", "s3"));
    ASSERT_TRUE(syncReceived(1));
    const TMS::AbstractMessage online = sync().messages().back();
    EXPECT_EQ("Synchronize", textOf(online, "CommandName"));
    EXPECT_EQ("ClientToServer", textOf(online, "Direction"));
    EXPECT_EQ("0000", textOf(online, "Password"));
    const json early = next(200ms);
    EXPECT_TRUE(early.is_null()) << early.dump();

    // Progress keeps it; the final report ends it; a later report finds nothing.
    for (const uint32_t progress : {16u, 64u, 80u}) {
        report("Re:Synchronize", 1, progress);
        const json reply = nextOf("reply");
        EXPECT_EQ("s3", reply.value("reqid", ""));
        EXPECT_EQ("excuting", reply.value("result", ""));
        EXPECT_EQ(std::to_string(progress), reply.value("progress", ""));
        EXPECT_EQ("set_sync_device", reply.value("cmd", ""));
        EXPECT_EQ("dev01", reply.value("from", ""));
        EXPECT_EQ("ed", reply.value("to", ""));
    }
    report("Re:Synchronize", 0, 100);
    EXPECT_EQ("ok", nextOf("reply").value("result", ""));
    report("Re:Synchronize", 1, 16);
    EXPECT_TRUE(next(200ms).is_null());

    // The other direction; the oldest pending request is answered first.
    ASSERT_TRUE(request("get_sync_device", "s4"));
    ASSERT_TRUE(request("set_sync_device", "s5"));
    ASSERT_TRUE(syncReceived(3));
    EXPECT_EQ("ServerToClient", textOf(sync().messages()[1], "Direction"));
    report("Re:Synchronize", 0x8000000Bu, 0);
    json reply = nextOf("reply");
    EXPECT_EQ("s4", reply.value("reqid", ""));
    EXPECT_EQ("ng/unmatched_config", reply.value("result", ""));
    EXPECT_EQ("0", reply.value("progress", ""));
    // "Re:Asynchronous" (Int32 values) answers it the same way.
    report("Re:Asynchronous", 0, 100, true);
    reply = nextOf("reply");
    EXPECT_EQ("s5", reply.value("reqid", ""));
    EXPECT_EQ("ok", reply.value("result", ""));
}

TEST_F(VDProtocolExecutorSyncTest, MissingVersionsAndAFullRegistryAnswerAtOnce)
{
    publishState(4);
    (void)nextOf("notify");
    // Without the real device's version nothing says they match.
    ASSERT_EQ(0u, PDB::destroyPDB(0));
    m_dbs.erase(m_dbs.begin());
    ASSERT_TRUE(request("set_sync_device", "s1"));
    EXPECT_EQ("ng", nextOf("reply").value("result", ""));
    ASSERT_EQ(0u, PDB::createPDB(0, "Profile", &PDB::NullMutex::getNullObject(), 0));
    m_dbs.push_back(0);
    ASSERT_EQ(0u, PDB::gPDBCollection.getPDB(0u).addComponent(PDB::UniqId(0), versionComponent("Profile")));
    setVersions(5, 5);

    // A request the registry cannot hold would never be answered.
    ASSERT_TRUE(request("set_sync_device", ""));
    const json reply = nextOf("reply");
    EXPECT_EQ("ng", reply.value("result", ""));
    EXPECT_EQ("100", reply.value("progress", ""));
    EXPECT_TRUE(syncReceived(1));  // the message itself had gone
}

TEST_F(VDProtocolExecutorSyncTest, AbortAndOfflineReachSyncWithoutReplies)
{
    publishState(4);
    (void)nextOf("notify");
    ASSERT_TRUE(request("set_sync_device", "s1"));
    ASSERT_TRUE(syncReceived(1));
    ASSERT_TRUE(abort("other"));  // names nothing pending
    ASSERT_TRUE(abort("s1"));
    ASSERT_TRUE(syncReceived(2));
    EXPECT_EQ((std::vector<std::string>{"Synchronize", "abort"}), sync().names());
    report("Re:Synchronize", 2, 0);
    EXPECT_EQ("aborted", nextOf("reply").value("result", ""));

    ASSERT_TRUE(request("set_sync_offline", "o1"));  // linked but not synchronised
    EXPECT_EQ("ng", nextOf("reply").value("result", ""));
    publishState(10);
    (void)nextOf("notify");
    ASSERT_TRUE(request("set_sync_offline", "o2"));
    ASSERT_TRUE(syncReceived(3));
    EXPECT_EQ("Asynchronous", sync().names().back());
    EXPECT_TRUE(next(200ms).is_null());
    report("Re:Asynchronous", 0, 100, true);  // nothing pending: dropped
    publishState(4);
    EXPECT_EQ(1, nextOf("notify")["cmdinfo"]["info"].value("deviceStatus", 99));
}

TEST_F(VDProtocolExecutorSyncTest, DetectionRelinksOnlyWhileTheDeviceIsLost)
{
    ASSERT_TRUE(request("set_net_info", "n1", {{"pcIpAddr", "127.0.0.1"}, {"devIpAddr", "127.0.0.2"}}));
    EXPECT_EQ("ok", nextOf("reply").value("result", ""));
    ASSERT_TRUE(syncReceived(1));
    publishState(3);  // connected but not yet temporarily synchronised: still lost
    // The tick comes every five seconds.
    ASSERT_TRUE(TmsTest::waitFor([&] { return sync().names().size() >= 2; }, 15s));
    EXPECT_EQ("SetNetworkInfo", sync().names()[1]);
    EXPECT_EQ("127.0.0.2", textOf(sync().messages()[1], "ToIPAddress"));
    publishState(4);
    const size_t linked = sync().names().size();
    EXPECT_FALSE(TmsTest::waitFor([&] { return sync().names().size() > linked; }, 6s));
}

}  // namespace
