#include "common/Lpc/LpcSendMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TMS/AbstractMessage.h"
#include "TMS/SystemThread.h"
#include "TMS/TMSystem.h"
#include "TMS/ThreadTestSupport.h"
#include "common/Lpc/LpcRecallStopwatch.h"
#include "jlib/JVariant.h"

namespace {

using namespace std::chrono_literals;
using TmsTest::waitFor;

// A running thread under a name the helpers address, keeping every user message it receives.
class Recorder : public TmsTest::Recording<TMS::AbstractThread> {
public:
    Recorder() : Recording(5)
    {
        onUserMessage = [this](const TMS::AbstractMessage& message) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.push_back(message);
        };
    }
    std::vector<TMS::AbstractMessage> received()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    void forget()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<TMS::AbstractMessage> m_received;
};

using Keys = std::vector<std::pair<const char*, JVariant>>;

JVariant str(const char* text)
{
    return JVariant(text, JVariant::kMaxStringLength);
}
JVariant u32(uint32_t value)
{
    return JVariant(value);
}
JVariant i32(int32_t value)
{
    return JVariant(value);
}

// Every key of the message with its type and value, and no other key.
void expectKeys(const TMS::AbstractMessage& message, const Keys& keys)
{
    EXPECT_EQ(TMS::kMessageUser, message.messageType());
    EXPECT_EQ(0u, message.messageId());
    EXPECT_EQ(keys.size(), message.arguments().size());
    for (const auto& [key, value] : keys) {
        SCOPED_TRACE(key);
        const JVariant& got = message.data(key);
        EXPECT_EQ(value.getType(), got.getType());
        EXPECT_TRUE(got == value);
    }
}

class LpcSendMessageTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (auto& [thread, name] : {std::pair<Recorder*, const char*>{&m_device, "DeviceControl"},
                                     {&m_osc, "OSCServer"},
                                     {&m_sync, "Sync"}}) {
            ASSERT_TRUE(TmsTest::setUpThread(*thread, name));
            ASSERT_EQ(0u, thread->start(TMS::getNullDataMap()));
        }
    }
    // Released here, while the recorders are whole: their loops still run their hooks.
    void TearDown() override
    {
        for (Recorder* thread : {&m_device, &m_osc, &m_sync}) EXPECT_EQ(0u, thread->release());
    }
    // The one message that reached the thread.
    static std::optional<TMS::AbstractMessage> only(Recorder& thread)
    {
        if (!waitFor([&] { return !thread.received().empty(); }, 10s)) return std::nullopt;
        const std::vector<TMS::AbstractMessage> got = thread.received();
        EXPECT_EQ(1u, got.size());
        thread.forget();
        return got.front();
    }

    TMS::TMSystem m_system;  // first: outlives the threads
    Recorder m_device;
    Recorder m_osc;
    Recorder m_sync;
};

TEST_F(LpcSendMessageTest, EachCommandReachesItsThreadWithItsKeysInTheirTypes)
{
    const JVariant cat = str("PROC:ParamSet/Vexalume");
    struct Case {
        const char* what;
        std::function<JLIB::JResult()> call;
        const char* target;
        Keys keys;
    };
    const Case cases[] = {
        {"connect",
         [] { return LPC::sendMessageConnect("10.0.0.1", "10.0.0.2", "To"); },
         "Sync",
         {{"CommandName", str("SetNetworkInfo&Sync")},
          {"FromIPAddress", str("10.0.0.1")},
          {"ToIPAddress", str("10.0.0.2")},
          {"Direction", str("To")}}},
        {"offline", [] { return LPC::sendMessageSyncOffline(); }, "Sync", {{"CommandName", str("Disconnect")}}},
        {"store",
         [] { return LPC::sendMessageStore("1.0", "T", "C", 3); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("Store")},
          {"Status", str("Start")},
          {"Index", str("1.0")},
          {"Category", cat},
          {"Title", str("T")},
          {"Comment", str("C")},
          {"Factor", i32(3)}}},
        {"speed test",
         [] { return LPC::sendMessageTestRecallSpeed(5, 1); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("TestRecallSpeed")},
          {"Status", str("Start")},
          {"TestNum", u32(5)},
          {"WithRecallSafe", u32(1)}}},
        {"all scenes",
         [] { return LPC::sendMessageCreateAllScene(); },
         "DeviceControl",
         {{"CommandName", str("UZScene")}, {"Operation", str("CreateAllScene")}}},
        {"full presets",
         [] { return LPC::sendMessageCreateAllPreset(); },
         "DeviceControl",
         {{"CommandName", str("UZPreset")},
          {"Operation", str("CreateFullNumber")},
          {"Status", str("Do")},
          {"PresetType", str("3DRev")}}},
        {"delete",
         [] { return LPC::sendMessageDelete("2", 4); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("Delete")},
          {"Status", str("Do")},
          {"SnapshotNo", str("2")},
          {"Factor", i32(4)}}},
        {"duplicate",
         [] { return LPC::sendMessageDuplicate("1", "2", "T", "C", 5); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("Duplicate")},
          {"Status", str("Do")},
          {"Src", str("1")},
          {"Dest", str("2")},
          {"Title", str("T")},
          {"Comment", str("C")},
          {"Factor", i32(5)}}},
        {"recall undo",
         [] { return LPC::sendMessageRecallUndo(6); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("RecallUndo")},
          {"Status", str("Do")},
          {"Factor", i32(6)}}},
        {"file undo",
         [] { return LPC::sendMessageFileUndo(255); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("FileUndo")},
          {"Status", str("Do")},
          {"Factor", i32(255)}}},
        {"protect",
         [] { return LPC::sendMessageProtect("3", 1, 7); },
         "DeviceControl",
         {{"CommandName", str("UZScene")},
          {"Operation", str("Protect")},
          {"Status", str("Do")},
          {"SnapshotNo", str("3")},
          {"OnOff", u32(1)},
          {"Factor", i32(7)}}},
        {"preset store",
         [] { return LPC::sendMessagePresetStore("3DRev", 12, "Hall", 8); },
         "DeviceControl",
         {{"CommandName", str("UZPreset")},
          {"Operation", str("Store")},
          {"Status", str("Do")},
          {"PresetType", str("3DRev")},
          {"PresetNo", u32(12)},
          {"Title", str("Hall")},
          {"Factor", i32(8)}}},
        {"preset recall",
         [] { return LPC::sendMessagePresetRecall("3DRev", 13, 9); },
         "DeviceControl",
         {{"CommandName", str("UZPreset")},
          {"Operation", str("Recall")},
          {"Status", str("Do")},
          {"PresetType", str("3DRev")},
          {"PresetNo", u32(13)},
          {"Factor", i32(9)}}},
        {"preset protect",
         [] { return LPC::sendMessagePresetProtect("3DRev", 1, 1, 10); },
         "DeviceControl",
         {{"CommandName", str("UZPreset")},
          {"Operation", str("Protect")},
          {"Status", str("Do")},
          {"PresetType", str("3DRev")},
          {"PresetNo", u32(1)},
          {"OnOff", u32(1)},
          {"Factor", i32(10)}}},
        {"speaker import",
         [] { return LPC::sendMessageSpeakerPositionImport("sp.txt", 2); },
         "DeviceControl",
         {{"CommandName", str("UZSpeakerPosition")},
          {"Operation", str("Import")},
          {"Status", str("Do")},
          {"FilePath", str("sp.txt")},
          {"Factor", i32(2)}}},
        {"speaker export: no factor",
         [] { return LPC::sendMessageSpeakerPositionExport("sp.txt", 2); },
         "DeviceControl",
         {{"CommandName", str("UZSpeakerPosition")},
          {"Operation", str("Export")},
          {"Status", str("Do")},
          {"FilePath", str("sp.txt")}}},
        {"project save",
         [] { return LPC::sendMessageProjectSave("show", 1); },
         "DeviceControl",
         {{"CommandName", str("UZProject")},
          {"Operation", str("Save")},
          {"Status", str("Do")},
          {"FilePath", str("show")},
          {"Factor", i32(1)}}},
        {"project load",
         [] { return LPC::sendMessageProjectLoad("show.vexaprj", 1); },
         "DeviceControl",
         {{"CommandName", str("UZProject")},
          {"Operation", str("Load")},
          {"Status", str("Do")},
          {"FilePath", str("show.vexaprj")},
          {"Factor", i32(1)}}},
        {"sync received",
         [] { return LPC::sendMessageSyncReceiveFinished(); },
         "DeviceControl",
         {{"CommandName", str("UZSync")}, {"Operation", str("Receive")}, {"Status", str("End")}}},
        {"dump",
         [] { return LPC::sendMessageShowAllValues("dump.txt"); },
         "DeviceControl",
         {{"CommandName", str("UZShowAllValues")}, {"FilePath", str("dump.txt")}}},
        {"minimum",
         [] { return LPC::sendMessageSetMinValue(11); },
         "DeviceControl",
         {{"CommandName", str("UZSetMinValue")}, {"Factor", i32(11)}}},
        {"maximum",
         [] { return LPC::sendMessageSetMaxValue(12); },
         "DeviceControl",
         {{"CommandName", str("UZSetMaxValue")}, {"Factor", i32(12)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0u, c.call());
        const std::optional<TMS::AbstractMessage> got = only(std::string(c.target) == "Sync" ? m_sync : m_device);
        ASSERT_TRUE(got.has_value());
        expectKeys(*got, c.keys);
        EXPECT_TRUE(m_osc.received().empty());
    }
}

TEST_F(LpcSendMessageTest, RecallGoesToDeviceControlThenOscServerAndStartsTheStopwatch)
{
    LPC::dbg_endRecall();
    ASSERT_EQ(0u, LPC::sendMessageRecall("4.5", 9));
    EXPECT_TRUE(LPC::dbg_isRecalling());
    const Keys keys = {{"CommandName", str("UZScene")},
                       {"Operation", str("Recall")},
                       {"Status", str("Start")},
                       {"Index", str("4.5")},
                       {"Category", str("PROC:ParamSet/Vexalume")},
                       {"Factor", i32(9)}};
    for (Recorder* thread : {&m_device, &m_osc}) {
        const std::optional<TMS::AbstractMessage> got = only(*thread);
        ASSERT_TRUE(got.has_value());
        expectKeys(*got, keys);
    }
    LPC::dbg_endRecall();
    // The debug fills start it too.
    ASSERT_EQ(0u, LPC::sendMessageSetMaxValue(1));
    EXPECT_TRUE(LPC::dbg_isRecalling());
    LPC::dbg_endRecall();
}

TEST_F(LpcSendMessageTest, NullTextsAndFileNamesOutsideTheUserFolderSendNothing)
{
    const std::vector<std::function<JLIB::JResult()>> refused = {
        [] { return LPC::sendMessageConnect("a", nullptr, "To"); },
        [] { return LPC::sendMessageStore("1", nullptr, "C", 1); },
        [] { return LPC::sendMessageStore(nullptr, "T", "C", 1); },
        [] { return LPC::sendMessageRecall(nullptr, 1); },
        [] { return LPC::sendMessageDelete(nullptr, 1); },
        [] { return LPC::sendMessageDuplicate("1", "2", "T", nullptr, 1); },
        [] { return LPC::sendMessageProtect(nullptr, 1, 1); },
        [] { return LPC::sendMessagePresetStore("3DRev", 1, nullptr, 1); },
        [] { return LPC::sendMessagePresetRecall(nullptr, 1, 1); },
        [] { return LPC::sendMessagePresetCreateFullNumber(nullptr); },
        [] { return LPC::sendMessageSpeakerPositionImport(nullptr, 1); },
        [] { return LPC::sendMessageSpeakerPositionImport("../sp.txt", 1); },
        [] { return LPC::sendMessageSpeakerPositionExport("/tmp/sp.txt", 1); },
        [] { return LPC::sendMessageProjectSave("", 1); },
        [] { return LPC::sendMessageProjectSave("..", 1); },
        [] { return LPC::sendMessageProjectLoad("a\\b", 1); },
        [] { return LPC::sendMessageProjectLoad(".", 1); },
        [] { return LPC::sendMessageShowAllValues("x/dump.txt"); },
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0x80000000u, refused[i]());
    }
    // A later message is the first one that arrives.
    ASSERT_EQ(0u, LPC::sendMessageSyncReceiveFinished());
    const std::optional<TMS::AbstractMessage> got = only(m_device);
    ASSERT_TRUE(got.has_value());
    EXPECT_STREQ("UZSync", got->data("CommandName").toString());
    EXPECT_TRUE(m_osc.received().empty());
    EXPECT_TRUE(m_sync.received().empty());
}

TEST(LpcSendMessageCategoryTest, OnlyTheCategoryTextItselfIsAcceptable)
{
    EXPECT_TRUE(LPC::acceptableCategory("PROC:ParamSet/Vexalume"));
    for (const char* other : {"", "PROC:ParamSet/Vexalume ", "PROC:ParamSet/vexalume", "PROC:ParamSet"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(LPC::acceptableCategory(other));
    }
    EXPECT_FALSE(LPC::acceptableCategory(nullptr));
}

// As in the system, a child of "System" (here "OSCServer") asks for the end: the call returns at
// once and the tree is released stage by stage; only the restart leaves end status 1.
TEST(LpcSendMessageShutdownTest, ShutdownAndRestartReleaseTheTreeOnlyRestartSetsEndStatusOne)
{
    TMS::TMSystem system;
    EXPECT_EQ(0x80000000u, LPC::sendMessageShutdown(1));  // no "System" yet
    for (const bool restart : {false, true}) {
        SCOPED_TRACE(restart);
        TmsTest::Recording<TMS::SystemThread> root(1);
        Recorder child;
        std::atomic<uint32_t> answer{0xFFFFFFFFu};
        child.onUserMessage = [&](const TMS::AbstractMessage&) {
            answer = restart ? LPC::sendMessageRestartWithInitialize(0) : LPC::sendMessageShutdown(0);
        };
        root.onInit = [&] { EXPECT_EQ(0u, root.addThread(child)); };
        ASSERT_TRUE(TmsTest::setUpThread(child, "OSCServer", 1));
        ASSERT_TRUE(TmsTest::setUpThread(root, "System", 0, 100));
        ASSERT_EQ(0u, root.start(TMS::getNullDataMap()));
        ASSERT_TRUE(waitFor([&] { return child.getStatus() == TMS::kStatusRun; }, 10s));
        TMS::AbstractMessage go;
        ASSERT_EQ(0u, go.initialize(TMS::kMessageUser, 0));
        ASSERT_EQ(0u, go.sendWithWaiting(child));
        EXPECT_EQ(restart ? 1u : 0u, root.waitForRelease());
        EXPECT_EQ(0u, answer.load());
        EXPECT_NE(TMS::kStatusRun, child.getStatus());
    }
}

}  // namespace
