#include "editor/PacketConvcertor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "TMS/TMSystem.h"
#include "editor/VDProtocolDefine.h"

using VDProtocol::ArgumentMap;
using VDProtocol::PacketContainer;
using VDProtocol::PacketConvcertor;

namespace {

constexpr JLIB::JResult kFailed = 0x80000000u;
const char* const kCommandInfoError = "JSON: 'commandInfo' decode error.\n";
const char* const kTagNotFound = "JSON: 'component' tag not found.\n";
const char* const kUnknownException = "JSON: unknown exception occurred.\n";

std::string encode(const PacketContainer& packet)
{
    std::string text = "poison";
    EXPECT_EQ(0u, PacketConvcertor::Encode_VDProtocol(text, packet));
    return text;
}

// The debug print writes to standard output; its lock needs the framework.
class PacketConvcertorTest : public testing::Test {
protected:
    // Decodes the line into a poisoned packet; the result and what the debug print wrote.
    JLIB::JResult decode(const std::string& line, PacketContainer& packet, std::string& printed)
    {
        (void)packet.initialize("poison", "poison_poison", "poison", "poison", "poison");
        testing::internal::CaptureStdout();
        const JLIB::JResult result = PacketConvcertor::Decode_VDProtocol(packet, line);
        printed = testing::internal::GetCapturedStdout();
        return result;
    }

    TMS::TMSystem m_system;
};

}  // namespace

TEST_F(PacketConvcertorTest, ReplyAndConnectedLinesAreByteExact)
{
    PacketContainer request;
    ASSERT_EQ(0u, request.initialize("request", "set_prm_val", "ed", "dev01", "17"));
    ArgumentMap info;
    ASSERT_EQ(0u, info.insertString("prmAddr", std::string("AudioCompo/#0/OBA/Object/Fader/Level:0:0")));
    ASSERT_EQ(0u, request.setCmndInfo(info));

    // A reply is the request with its result set, category "reply", from and to swapped.
    PacketContainer reply = request;
    ASSERT_EQ(0u, reply.setResult(VDevice::RESULT_OK, 100, ""));
    ASSERT_EQ(0u, reply.setCategory("reply"));
    ASSERT_EQ(0u, reply.setFrom(request.to()));
    ASSERT_EQ(0u, reply.setTo(request.from()));
    EXPECT_EQ("{\"reply\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":{\"prmAddr\":"
              "\"AudioCompo/#0/OBA/Object/Fader/Level:0:0\"}},\"from\":\"dev01\",\"message\":\"\","
              "\"progress\":\"100\",\"reqid\":\"17\",\"result\":\"ok\",\"to\":\"ed\"}}",
              encode(reply));

    PacketContainer connected;
    ASSERT_EQ(0u, connected.setCategory("connected"));
    ASSERT_EQ(0u, connected.setFrom("dev01"));
    EXPECT_EQ("{\"connected\":{\"from\":\"dev01\"}}", encode(connected));
}

TEST_F(PacketConvcertorTest, EncodesOnlyWhatThePacketHolds)
{
    using Build = std::function<void(PacketContainer&)>;
    struct Case {
        const char* name;
        Build build;
        const char* line;
    };
    const Case cases[] = {
        {"empty packet", [](PacketContainer&) {}, "{\"\":{\"from\":\"\"}}"},
        {"notify with a list, no type",
         [](PacketContainer& p) {
             (void)p.setCategory("notify");
             (void)p.setFrom("dev01");
             (void)p.setCommandName("prm_val");
             ArgumentMap item;
             (void)item.insertString("prmAddr", std::string("a"));
             (void)item.insert("prmValue", -5);
             (void)p.addCmndListItem(item);
             (void)p.addCmndListItem(ArgumentMap());
         },
         "{\"notify\":{\"cmd\":\"prm_val\",\"cmdinfo\":{\"list\":[{\"prmAddr\":\"a\",\"prmValue\":-5},{}]},"
         "\"from\":\"dev01\"}}"},
        {"type without name writes no cmd",
         [](PacketContainer& p) {
             (void)p.setCategory("reply");
             (void)p.setCommandType("set");
         },
         "{\"reply\":{\"from\":\"\"}}"},
        {"failure result with message",
         [](PacketContainer& p) {
             (void)p.setCategory("reply");
             (void)p.setResult(VDevice::RESULT_FAILED_CAPACITY_OVER, 0, "too many");
         },
         "{\"reply\":{\"from\":\"\",\"message\":\"too many\",\"progress\":\"0\",\"result\":\"ng/capacity_over\"}}"},
        {"value kinds",
         [](PacketContainer& p) {
             (void)p.setCategory("notify");
             ArgumentMap info;
             const unsigned char bytes[] = {1, 2, 3};
             (void)info.insert("f", 0.5f);
             (void)info.insert("u", 4000000000u);
             (void)info.insertBinary("bin", bytes, 3);   // Binary under another key: left out
             (void)info.insertBinary("d:data", bytes, 3);
             (void)info.insertJVariant("none", JVariant());  // invalid: left out
             (void)info.insertString("text", std::string("caf\xC3\xA9"));
             (void)p.setCmndInfo(info);
         },
         "{\"notify\":{\"cmdinfo\":{\"info\":{\"d:data\":\"AQID\",\"f\":0.5,\"text\":\"caf\xC3\xA9\","
         "\"u\":4000000000}},\"from\":\"\"}}"},
        {"d:data without a Binary is an empty text",
         [](PacketContainer& p) {
             (void)p.setCategory("reply");
             ArgumentMap info;
             (void)info.insert("d:data", 1);
             (void)p.setCmndInfo(info);
         },
         "{\"reply\":{\"cmdinfo\":{\"info\":{\"d:data\":\"\"}},\"from\":\"\"}}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PacketContainer packet;
        c.build(packet);
        EXPECT_EQ(c.line, encode(packet));
    }
}

TEST_F(PacketConvcertorTest, TextThatIsNotUtf8RefusesThePacket)
{
    struct Case {
        const char* name;
        std::function<void(PacketContainer&)> spoil;
    };
    const Case cases[] = {
        {"from", [](PacketContainer& p) { (void)p.setFrom("\xFF"); }},
        {"message", [](PacketContainer& p) { (void)p.setResult(0, 100, "\xC3"); }},
        {"info value",
         [](PacketContainer& p) {
             ArgumentMap info;
             (void)info.insertString("k", std::string("\xE2\x82"));
             (void)p.setCmndInfo(info);
         }},
        {"list key",
         [](PacketContainer& p) {
             ArgumentMap item;
             (void)item.insert("\x80", 1);
             (void)p.addCmndListItem(item);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PacketContainer packet;
        (void)packet.setCategory("reply");
        c.spoil(packet);
        std::string text = "poison";
        EXPECT_EQ(kFailed, PacketConvcertor::Encode_VDProtocol(text, packet));
        EXPECT_EQ("", text);
    }
}

TEST_F(PacketConvcertorTest, DecodesARequestAndTheCategoryRules)
{
    struct Case {
        const char* line;
        const char* category;
        const char* type;
        const char* name;
        const char* from;
        const char* to;
        const char* requestId;
        const char* printed;
    };
    const Case cases[] = {
        {"{\"request\":{\"cmd\":\"get_dev_info\",\"reqid\":\"5\",\"from\":\"ed\"}}", "request", "get", "dev_info",
         "ed", "", "5", ""},
        {"{\"request\":{\"cmd\":\"compile\",\"reqid\":\"5\",\"from\":\"ed\",\"to\":\"dev01\"}}", "request", "", "",
         "ed", "dev01", "5", kCommandInfoError},
        {"{\"abort\":{\"reqid\":\"9\"}}", "abort", "", "", "", "", "9", ""},
        {"{\"abort\":{\"reqid\":\"9\",\"from\":\"ed\",\"cmd\":\"set_x\"}}", "abort", "", "", "", "", "9", ""},
        {"{\"abort\":null}", "", "", "", "", "", "", kTagNotFound},
        {"{\"abort\":{\"reqid\":\"9\"},\"request\":{\"cmd\":\"set_prm_val\"}}", "request", "set", "prm_val", "", "",
         "", ""},
        {"{\"reply\":{\"cmd\":\"set_prm_val\",\"reqid\":\"1\"}}", "", "", "", "", "", "", kTagNotFound},
        {"{\"request\":{\"cmd\":\"set_prm_val\",\"reqid\":17,\"from\":true,\"to\":[\"x\"]}}", "request", "set",
         "prm_val", "", "", "", ""},
        {"{\"request\":null,\"abort\":{\"reqid\":\"3\"}}", "abort", "", "", "", "", "3", ""},
        {"{\"request\":{\"cmd\":5}}", "request", "", "", "", "", "", kCommandInfoError},
        {" \t{\"request\":{\"cmd\":\"set_a\"}}\r\n", "request", "set", "a", "", "", "", ""},
        {"[1,2]", "", "", "", "", "", "", kTagNotFound},
        {"17", "", "", "", "", "", "", kTagNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        PacketContainer packet;
        std::string printed;
        EXPECT_EQ(0u, decode(c.line, packet, printed));
        EXPECT_EQ(c.category, packet.category());
        EXPECT_EQ(c.type, packet.commandType());
        EXPECT_EQ(c.name, packet.commandName());
        EXPECT_EQ(c.from, packet.from());
        EXPECT_EQ(c.to, packet.to());
        EXPECT_EQ(c.requestId, packet.requestID());
        EXPECT_EQ(c.printed, printed);
        EXPECT_EQ(0u, packet.cmndInfoNum());
        EXPECT_EQ(0u, packet.cmndListNum());
        EXPECT_FALSE(packet.isResult());
    }
}

TEST_F(PacketConvcertorTest, LinesThatCannotBeDecodedLeaveThePacketAlone)
{
    struct Case {
        const char* line;
        const char* printed;
    };
    const Case cases[] = {
        {"", ""},
        {"{\"request\":", ""},
        {"{\"request\":{}} trailing", ""},
        {"\xFF", ""},
        {"{\"request\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":\"abc\"}}}", kUnknownException},
        {"{\"request\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":5}}}", kUnknownException},
        {"{\"request\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":[1]}}}", kUnknownException},
        {"{\"request\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"list\":[{},\"x\"]}}}", kUnknownException},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        PacketContainer packet;
        std::string printed;
        EXPECT_EQ(kFailed, decode(c.line, packet, printed));
        EXPECT_EQ("poison", packet.category());
        EXPECT_EQ("poison", packet.requestID());
        EXPECT_EQ(c.printed, printed);
    }
}

TEST_F(PacketConvcertorTest, InfoValuesTakeTheirKindsAndOthersAreSkipped)
{
    const std::string line =
        "{\"request\":{\"cmd\":\"set_prm_val\",\"cmdinfo\":{\"info\":{"
        "\"u\":5,\"i\":-5,\"f\":5.0,\"e\":1e2,\"t\":true,\"n\":false,\"s\":\"abc\",\"a\":[1],\"o\":{},\"z\":null,"
        "\"big\":4294967301,\"neg\":-4294967297,\"huge\":1e300,\"\":1,\"long\":\"" +
        std::string(1024, 'x') +
        "\",\"d:data\":\"AQID\"}}}}";
    PacketContainer packet;
    std::string printed;
    ASSERT_EQ(0u, decode(line, packet, printed));
    const ArgumentMap& info = packet.cmndInfo();
    struct Case {
        const char* key;
        int type;
        double value;
    };
    const Case cases[] = {
        {"u", JVariant::kTypeUInt32, 5},      {"i", JVariant::kTypeInt32, -5},  {"f", JVariant::kTypeFloat, 5},
        {"e", JVariant::kTypeFloat, 100},     {"t", JVariant::kTypeInt32, 1},   {"n", JVariant::kTypeInt32, 0},
        {"big", JVariant::kTypeUInt32, 5},    {"neg", JVariant::kTypeInt32, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_EQ(c.type, info.getType(c.key));
        bool ok = false;
        double value = 0;
        if (c.type == JVariant::kTypeFloat) value = info.toFloat(c.key, &ok);
        if (c.type == JVariant::kTypeInt32) value = info.toInt32(c.key, &ok);
        if (c.type == JVariant::kTypeUInt32) value = info.toUInt32(c.key, &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(c.value, value);
    }
    EXPECT_TRUE(std::isinf(info.toFloat("huge")));
    EXPECT_STREQ("abc", info.toString("s"));
    EXPECT_STREQ("ERROR:", info.toString("long"));
    EXPECT_EQ(3u, info.getBinaryLength("d:data"));
    for (const char* skipped : {"a", "o", "z", ""}) EXPECT_FALSE(info.hasKey(skipped)) << skipped;
    EXPECT_EQ(12u, info.size());
    EXPECT_EQ("", printed);
}

TEST_F(PacketConvcertorTest, DataIsBase64DecodedOrLeftOut)
{
    struct Case {
        const char* text;
        size_t bytes;  // 0: left out
    };
    const Case cases[] = {{"AQID", 3}, {"AQI", 2}, {"AQI=", 2}, {"AQ==", 1}, {"A*ID", 0}, {"", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PacketContainer packet;
        std::string printed;
        ASSERT_EQ(0u, decode(std::string("{\"request\":{\"cmd\":\"setData_copy_paste\",\"cmdinfo\":{\"info\":{"
                                         "\"type\":\"currentCpt\",\"d:data\":\"") +
                                 c.text + "\"}}}}",
                             packet, printed));
        EXPECT_EQ(c.bytes, packet.cmndInfo().getBinaryLength("d:data"));
        EXPECT_EQ(c.bytes != 0, packet.cmndInfo().hasKey("d:data"));
        EXPECT_STREQ("currentCpt", packet.cmndInfo().toString("type"));
    }
}

TEST_F(PacketConvcertorTest, ListElementsBecomeMapsInOrder)
{
    PacketContainer packet;
    std::string printed;
    ASSERT_EQ(0u, decode("{\"request\":{\"cmd\":\"getData_prm_val\",\"reqid\":\"4\",\"cmdinfo\":{"
                         "\"info\":{\"x\":1},\"list\":[{\"prmAddr\":\"a\"},null,{\"prmAddr\":\"c\"}]}}}",
                         packet, printed));
    EXPECT_EQ(1u, packet.cmndInfoNum());
    ASSERT_EQ(3u, packet.cmndListNum());
    EXPECT_STREQ("a", packet.cmndListItem(0).toString("prmAddr"));
    EXPECT_EQ(0u, packet.cmndListItem(1).size());
    EXPECT_STREQ("c", packet.cmndListItem(2).toString("prmAddr"));

    // Encoded again, the information and the list come back in order; null elements as {}.
    PacketContainer reply = packet;
    ASSERT_EQ(0u, reply.setResult(0, 100, ""));
    const std::string line = encode(reply);
    EXPECT_EQ("{\"request\":{\"cmd\":\"getData_prm_val\",\"cmdinfo\":{\"info\":{\"x\":1},\"list\":[{\"prmAddr\":"
              "\"a\"},{},{\"prmAddr\":\"c\"}]},\"from\":\"\",\"message\":\"\",\"progress\":\"100\",\"reqid\":\"4\","
              "\"result\":\"ok\"}}",
              line);
}
