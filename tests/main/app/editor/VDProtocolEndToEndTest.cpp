// The editor link end to end: the test's editor listens, starts the real program with uid=dev01,
// a work folder of its own and its port, and talks to it over the accepted connection.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "main/app/editor/TestEditor.h"

using namespace std::chrono_literals;
using EngineTest::TestEditor;
using nlohmann::json;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly
const std::string kName = "AudioCompo/#0/OBA/Label/Name:0:0";
const std::string kZone = "AudioCompo/#0/OBA/Object/Zone:0:0";
const std::string kZoneColumn = "AudioCompo/#0/OBA/Object/Zone:-1:0";

std::string request(const std::string& cmd, const std::string& reqid, const json& cmdinfo)
{
    json body = {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
    if (!cmdinfo.is_null()) body["cmdinfo"] = cmdinfo;
    return json{{"request", body}}.dump();
}

std::string setValue(const std::string& reqid, const std::string& address, const json& value)
{
    return request("set_prm_val", reqid, {{"info", {{"prmAddr", address}, {"prmValue", value}}}});
}

std::string getValues(const std::string& reqid, const std::vector<std::string>& addresses)
{
    json list = json::array();
    for (const std::string& address : addresses) list.push_back({{"prmAddr", address}});
    return request("getData_prm_val", reqid, {{"list", list}});
}

// The next line as JSON (null when none comes or it does not parse).
json nextPacket(TestEditor& editor)
{
    const std::optional<std::string> line = editor.readLine(kLimit);
    if (!line) return json();
    return json::parse(*line, nullptr, false);
}

// The next reply, skipping notifications of other parameters; null when something else comes.
json nextReply(TestEditor& editor)
{
    for (int i = 0; i < 1000; ++i) {
        json packet = nextPacket(editor);
        if (packet.contains("reply")) return packet["reply"];
        if (!packet.contains("notify")) return json();
    }
    return json();
}

// The next notification of the address, skipping those of other parameters.
json nextNotifyOf(TestEditor& editor, const std::string& address)
{
    for (int i = 0; i < 1000; ++i) {
        json packet = nextPacket(editor);
        if (!packet.contains("notify")) return json();
        const json& item = packet["notify"]["cmdinfo"]["list"][0];
        if (item.value("prmAddr", "") == address) return packet["notify"];
    }
    return json();
}

// Accepts the engine and takes its connected line. Changes made while the device comes up (its
// memories restored) may be notified before it: the subscription starts with the databases.
void acceptEngine(TestEditor& editor)
{
    ASSERT_TRUE(editor.accept(kLimit)) << editor.engine().output();
    for (int i = 0; i < 100000; ++i) {
        const std::optional<std::string> line = editor.readLine(kLimit);
        ASSERT_TRUE(line) << editor.engine().output();
        if (line->rfind(R"({"notify":)", 0) == 0) continue;
        EXPECT_EQ(R"({"connected":{"from":"dev01"}})", *line);
        return;
    }
    FAIL() << "no connected line";
}

}  // namespace

TEST(VDProtocolEndToEndTest, EditorWritesReadsIsNotifiedAndFindsItsValueAfterARestart)
{
    TestEditor editor;
    ASSERT_TRUE(editor.listen());
    ASSERT_TRUE(editor.startEngine("dev01"));
    acceptEngine(editor);

    // A text and a number, each answered and then notified, the editor's own writes included.
    ASSERT_TRUE(editor.writeLine(setValue("1", kName, "Vocal")));
    json reply = nextReply(editor);
    EXPECT_EQ("ok", reply.value("result", "")) << reply;
    EXPECT_EQ("dev01", reply.value("from", ""));
    EXPECT_EQ("ed", reply.value("to", ""));
    EXPECT_EQ("1", reply.value("reqid", ""));
    EXPECT_EQ("set_prm_val", reply.value("cmd", ""));
    json notify = nextNotifyOf(editor, kName);
    ASSERT_FALSE(notify.is_null());
    EXPECT_EQ("dev01", notify.value("from", ""));
    EXPECT_FALSE(notify.contains("to"));
    EXPECT_EQ("prm_val", notify.value("cmd", ""));
    EXPECT_EQ("Vocal", notify["cmdinfo"]["list"][0].value("prmValue", ""));

    ASSERT_TRUE(editor.writeLine(setValue("2", kZone, 3)));
    reply = nextReply(editor);
    EXPECT_EQ("ok", reply.value("result", "")) << reply;
    notify = nextNotifyOf(editor, kZone);
    ASSERT_FALSE(notify.is_null());
    EXPECT_EQ(3, notify["cmdinfo"]["list"][0].value("prmValue", 0));
    EXPECT_EQ("3", notify["cmdinfo"]["list"][0].value("prmStr", ""));

    // An ignored request gets nothing: the next line answers the read after it.
    ASSERT_TRUE(editor.writeLine(request("set_identify", "3", json())));
    ASSERT_TRUE(editor.writeLine(getValues("4", {kName, kZone})));
    reply = nextReply(editor);
    EXPECT_EQ("4", reply.value("reqid", "")) << reply;
    EXPECT_EQ("ok", reply.value("result", ""));
    const json& items = reply["cmdinfo"]["list"];
    ASSERT_EQ(2u, items.size()) << reply;
    EXPECT_EQ("Vocal", items[0].value("prmValue", ""));
    EXPECT_EQ(kName, items[0].value("prmAddr", ""));
    EXPECT_EQ(0u, items[0].value("cptName", "").rfind("uzCurrent:1:", 0)) << items[0];
    EXPECT_EQ(3, items[1].value("prmValue", 0));

    // A wildcard read: one item per element in order, each with the request's address.
    ASSERT_TRUE(editor.writeLine(getValues("5", {kZoneColumn})));
    reply = nextReply(editor);
    EXPECT_EQ("ok", reply.value("result", "")) << reply;
    const json& column = reply["cmdinfo"]["list"];
    ASSERT_EQ(128u, column.size());
    EXPECT_EQ(3, column[0].value("prmValue", 0));
    EXPECT_EQ(1, column[1].value("prmValue", 0));  // the default, untouched
    EXPECT_EQ(kZoneColumn, column[127].value("prmAddr", ""));

    // Database names are exact.
    ASSERT_TRUE(editor.writeLine(getValues("6", {"audiocompo/#0/OBA/Object/Zone:0:0"})));
    reply = nextReply(editor);
    EXPECT_EQ("ng", reply.value("result", "")) << reply;
    EXPECT_TRUE(reply["cmdinfo"]["list"].empty()) << reply;

    // The editor leaves: the engine ends in order and keeps its memories.
    editor.closeConnection();
    EXPECT_EQ(0, editor.engine().waitForExit(kLimit)) << editor.engine().output();
    const std::string current = editor.workFolder() + "/dev01/Current/CurrentBackupFile.bup";
    EXPECT_TRUE(std::filesystem::is_regular_file(current));
    EXPECT_TRUE(std::filesystem::is_regular_file(current + ".old"));

    // A second start over the same folder reads the values back.
    ASSERT_TRUE(editor.startEngine("dev01"));
    acceptEngine(editor);
    ASSERT_TRUE(editor.writeLine(getValues("7", {kName, kZone})));
    reply = nextReply(editor);
    ASSERT_EQ(2u, reply["cmdinfo"]["list"].size()) << reply;
    EXPECT_EQ("Vocal", reply["cmdinfo"]["list"][0].value("prmValue", ""));
    EXPECT_EQ(3, reply["cmdinfo"]["list"][1].value("prmValue", 0));
    editor.closeConnection();
    EXPECT_EQ(0, editor.engine().waitForExit(kLimit)) << editor.engine().output();
}

TEST(VDProtocolEndToEndTest, EngineEndsWhenTheEditorIsNotThereOrThePortIsUnreadable)
{
    for (const char* port : {"refused", "12ab"}) {
        SCOPED_TRACE(port);
        TestEditor editor;
        ASSERT_TRUE(editor.listen());
        std::string portOption = std::string("port=") + port;
        if (std::string(port) == "refused") {
            editor.stopListening();  // its port now refuses
            portOption = "port=" + std::to_string(editor.port());
        }
        const std::string program = EngineTest::EngineProcess::install(editor.folder().path(), true);
        std::filesystem::create_directories(editor.workFolder());
        ASSERT_TRUE(editor.engine().start(program, {"uid=dev01", "work=" + editor.workFolder(), portOption}));
        EXPECT_EQ(0, editor.engine().waitForExit(kLimit)) << editor.engine().output();
        if (std::string(port) == "12ab") {
            EXPECT_EQ(1u, editor.engine().count("[E] KavoriClientVDProtocolThread::onChangeStatus - Cannot read the "
                                                "editor's port: the engine ends.\n"))
                << editor.engine().output();
        }
    }
}
