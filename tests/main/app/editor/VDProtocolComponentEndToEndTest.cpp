// The editor builds a configuration in the real program: it sets the device up, adds two stand-in
// components, connects them and compiles; the real device-control and compile threads answer.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "main/app/editor/TestEditor.h"

using namespace std::chrono_literals;
using EngineTest::TestEditor;
using nlohmann::json;

namespace {

constexpr auto kLimit = 30s;  // generous: the sanitizer build starts slowly

std::string request(const std::string& cmd, const std::string& reqid, const json& cmdinfo)
{
    json body = {{"cmd", cmd}, {"from", "ed"}, {"to", "dev01"}, {"reqid", reqid}};
    if (!cmdinfo.is_null()) body["cmdinfo"] = cmdinfo;
    return json{{"request", body}}.dump();
}

// Lines up to the reply of the request id; the "cpt_resource" notifications met on the way (and,
// when asked for, after it) are counted. Null when the reply does not come.
json replyTo(TestEditor& editor, const std::string& reqid, int* resources = nullptr, bool awaitResource = false)
{
    json reply;
    for (int i = 0; i < 100000; ++i) {
        if (!reply.is_null() && (!awaitResource || (resources && *resources > 0))) return reply;
        const std::optional<std::string> line = editor.readLine(kLimit);
        if (!line) return json();
        const json packet = json::parse(*line, nullptr, false);
        if (packet.contains("reply") && packet["reply"].value("reqid", "") == reqid) reply = packet["reply"];
        if (resources && packet.contains("notify") && packet["notify"].value("cmd", "") == "cpt_resource") {
            const json& info = packet["notify"]["cmdinfo"]["info"];
            EXPECT_EQ(128u, info.value("capacity", 0u)) << packet;
            EXPECT_TRUE(info.contains("resource")) << packet;
            ++*resources;
        }
    }
    return json();
}

}  // namespace

TEST(VDProtocolComponentEndToEndTest, EditorAddsConnectsAndCompilesStandInComponents)
{
    TestEditor editor;
    ASSERT_TRUE(editor.listen());
    ASSERT_TRUE(editor.startEngine("dev01"));
    ASSERT_TRUE(editor.accept(kLimit)) << editor.engine().output();
    for (int i = 0; i < 100000; ++i) {
        const std::optional<std::string> line = editor.readLine(kLimit);
        ASSERT_TRUE(line) << editor.engine().output();
        if (line->rfind(R"({"connected":)", 0) == 0) break;
    }

    const std::string project = editor.workFolder() + "/project";
    ASSERT_TRUE(editor.writeLine(
        request("set_setup", "1", {{"info", {{"localLabel", "Stage"}, {"path", project}, {"capacity", 128}}}})));
    json reply = replyTo(editor, "1");
    EXPECT_EQ("ok", reply.value("result", "")) << reply << editor.engine().output();

    ASSERT_TRUE(editor.writeLine(request("get_dev_info", "2", json())));
    reply = replyTo(editor, "2");
    EXPECT_EQ("ok", reply.value("result", "")) << reply;
    EXPECT_EQ("dev01", reply["cmdinfo"]["info"].value("deviceGUID", "")) << reply;
    EXPECT_EQ("Stage", reply["cmdinfo"]["info"].value("localLabel", "")) << reply;

    int resources = 0;
    const json components = {{"list",
                              {{{"prmAddr", "AudioCompo/#100"}, {"cptName", "StandIn:1:2x1"}},
                               {{"prmAddr", "AudioCompo/#101"}, {"cptName", "StandIn:1:2x1"}}}}};
    ASSERT_TRUE(editor.writeLine(request("add_cpt_info", "3", components)));
    reply = replyTo(editor, "3", &resources, true);
    EXPECT_EQ("ok", reply.value("result", "")) << reply << editor.engine().output();
    EXPECT_EQ(1, resources);

    const json connection = {{"list",
                              {{{"rx_cpt", "AudioCompo/#101"},
                                {"rx_cpt_port", "in:1"},
                                {"tx_cpt", "AudioCompo/#100"},
                                {"tx_cpt_port", "out:0"}}}}};
    ASSERT_TRUE(editor.writeLine(request("add_cpt_connect", "4", connection)));
    reply = replyTo(editor, "4");
    EXPECT_EQ("ok", reply.value("result", "")) << reply << editor.engine().output();

    ASSERT_TRUE(editor.writeLine(request("set_compile", "5", json())));
    reply = replyTo(editor, "5");
    EXPECT_EQ("ok", reply.value("result", "")) << reply << editor.engine().output();
    EXPECT_EQ(128u, reply["cmdinfo"]["info"].value("capacity", 0u)) << reply;

    // The device keeps a component's type: the change is refused, and the usage still follows.
    resources = 0;
    ASSERT_TRUE(editor.writeLine(request(
        "set_cpt_change", "6", {{"info", {{"prmAddr", "AudioCompo/#100"}, {"cptName", "StandIn:1:2x1"}}}})));
    reply = replyTo(editor, "6", &resources, true);
    EXPECT_EQ("ng", reply.value("result", "")) << reply;
    EXPECT_EQ(1, resources);

    resources = 0;
    ASSERT_TRUE(editor.writeLine(request("del_cpt_info", "7", {{"list", {{{"prmAddr", "AudioCompo/#101"}}}}})));
    reply = replyTo(editor, "7", &resources, true);
    EXPECT_EQ("ok", reply.value("result", "")) << reply << editor.engine().output();
    EXPECT_EQ(1, resources);

    editor.closeConnection();
    EXPECT_EQ(0, editor.engine().waitForExit(kLimit)) << editor.engine().output();
}
