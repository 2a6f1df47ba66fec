// Copy and paste through the running program: the test's editor listens on 127.0.0.1, starts the
// real program with its port and carries the copied image back as Base64 text.
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
const std::string kFader3 = "AudioCompo/#0/OBA/Object/Fader/Level:3:0";
const std::string kName3 = "AudioCompo/#0/OBA/Label/Name:3:0";

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

// The reply of that request id, skipping the notifications between.
json replyOf(TestEditor& editor, const std::string& reqid)
{
    for (int i = 0; i < 100000; ++i) {
        const std::optional<std::string> line = editor.readLine(kLimit);
        if (!line) return json();
        json packet = json::parse(*line, nullptr, false);
        if (packet.contains("reply") && packet["reply"].value("reqid", "") == reqid) return packet["reply"];
        if (!packet.contains("notify") && !packet.contains("connected") && !packet.contains("reply")) return json();
    }
    return json();
}

json readValues(TestEditor& editor, const std::string& reqid)
{
    const json list = json::array({{{"prmAddr", kFader3}}, {{"prmAddr", kName3}}});
    if (!editor.writeLine(request("getData_prm_val", reqid, {{"list", list}}))) return json();
    return replyOf(editor, reqid);
}

}  // namespace

TEST(VDProtocolCopyPasteEndToEndTest, CopyChangePasteRestoresTheComponentAndRangeQueryAnswers)
{
    TestEditor editor;
    ASSERT_TRUE(editor.listen());
    ASSERT_TRUE(editor.startEngine("dev01"));
    ASSERT_TRUE(editor.accept(kLimit)) << editor.engine().output();
    // The device comes up before it announces itself: wait for that, so its defaults are in.
    bool connected = false;
    for (int i = 0; i < 100000 && !connected; ++i) {
        const std::optional<std::string> line = editor.readLine(kLimit);
        ASSERT_TRUE(line) << editor.engine().output();
        connected = line->rfind(R"({"connected":)", 0) == 0;
    }
    ASSERT_TRUE(connected);

    ASSERT_TRUE(editor.writeLine(setValue("1", kFader3, -1500)));
    EXPECT_EQ("ok", replyOf(editor, "1").value("result", ""));
    ASSERT_TRUE(editor.writeLine(setValue("2", kName3, "Lead")));
    EXPECT_EQ("ok", replyOf(editor, "2").value("result", ""));

    const json copyList = json::array({{{"type", "currentCpt"}, {"prmAddr", "AudioCompo/#0"}}});
    ASSERT_TRUE(editor.writeLine(request("getData_copy_paste", "3", {{"list", copyList}})));
    json reply = replyOf(editor, "3");
    ASSERT_EQ("ok", reply.value("result", "")) << reply;
    ASSERT_EQ(1u, reply["cmdinfo"]["list"].size()) << reply;
    const json copied = reply["cmdinfo"]["list"][0];
    EXPECT_EQ("currentCpt", copied.value("type", ""));
    EXPECT_EQ("AudioCompo/#0", copied.value("prmAddr", ""));
    ASSERT_FALSE(copied.value("d:data", "").empty()) << copied;

    ASSERT_TRUE(editor.writeLine(setValue("4", kFader3, 0)));
    EXPECT_EQ("ok", replyOf(editor, "4").value("result", ""));
    ASSERT_TRUE(editor.writeLine(setValue("5", kName3, "Changed")));
    EXPECT_EQ("ok", replyOf(editor, "5").value("result", ""));

    ASSERT_TRUE(editor.writeLine(request("setData_copy_paste", "6", {{"list", json::array({copied})}})));
    reply = replyOf(editor, "6");
    EXPECT_EQ("ok", reply.value("result", "")) << reply;
    reply = readValues(editor, "7");
    ASSERT_EQ(2u, reply["cmdinfo"]["list"].size()) << reply;
    EXPECT_EQ(-1500, reply["cmdinfo"]["list"][0].value("prmValue", 0));
    EXPECT_EQ("Lead", reply["cmdinfo"]["list"][1].value("prmValue", ""));

    // A damaged image is refused and writes nothing.
    json damaged = copied;
    damaged["d:data"] = "QUJDRA==";
    ASSERT_TRUE(editor.writeLine(setValue("8", kFader3, 11)));
    EXPECT_EQ("ok", replyOf(editor, "8").value("result", ""));
    ASSERT_TRUE(editor.writeLine(request("setData_copy_paste", "9", {{"list", json::array({damaged})}})));
    EXPECT_EQ("ng", replyOf(editor, "9").value("result", ""));
    reply = readValues(editor, "10");
    EXPECT_EQ(11, reply["cmdinfo"]["list"][0].value("prmValue", 0)) << reply;

    const json range = {{"prmAddr", kFader3}, {"startX", 0}, {"startY", 0}, {"endX", 3}, {"endY", 0}};
    ASSERT_TRUE(editor.writeLine(request("get_range_prm", "11", {{"info", range}})));
    EXPECT_EQ("ok", replyOf(editor, "11").value("result", ""));
    json partial = range;
    partial.erase("endY");
    ASSERT_TRUE(editor.writeLine(request("get_range_prm", "12", {{"info", partial}})));
    EXPECT_EQ("ng", replyOf(editor, "12").value("result", ""));

    editor.closeConnection();
    EXPECT_EQ(0, editor.engine().waitForExit(kLimit)) << editor.engine().output();
}
