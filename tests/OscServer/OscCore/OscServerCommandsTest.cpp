#include "OscServer/OscCore/OscServerCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OscServer/OscCore/OscInfoAccessor.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscServerTestSupport.h"

using OscTest::describe;
using OscTest::Lines;

namespace {

constexpr JLIB::JResult kInvalid = 0x80000004u;
constexpr JLIB::JResult kUnknownAddress = 0x80000005u;

JVariant str(const char* text) { return JVariant(text, 1023u); }

// One command run against the recording providers and a session with room for both meters.
class OscServerCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OscTest::startOsLayer());
        ASSERT_EQ(0u, session.initialize(meters.getAddressNum()));
        session.setTxPort(4000);
    }

    struct Outcome {
        JLIB::JResult result;
        Lines reply;
    };

    Outcome run(const char* word, const std::string& address, const JOSC::JVariantList& arguments,
                const std::string& x = "", const std::string& y = "")
    {
        JOSC::OscServerCommand* command = find(word);
        EXPECT_NE(nullptr, command) << word;
        if (!command) return {0xDEADu, {}};
        JOSC::OscCommandData data;
        data.type = "req";
        data.command = word;
        data.address = address;
        data.x = x;
        data.y = y;
        JOSC::OscInfoAccessor accessor(device, parameters, meters, session);
        JOSC::JVariantList reply;
        const JLIB::JResult result = command->run(3, data, arguments, accessor, &reply);
        return {result, describe(reply)};
    }

    static JOSC::OscServerCommand* find(const char* word)
    {
        for (JOSC::OscServerCommand* command : JOSC::sServerCommmandTable) {
            if (std::string(command->getCommandName()) == word) return command;
        }
        return nullptr;
    }

    OscTest::TestDevice device;
    OscTest::TestParameter parameters;
    OscTest::TestMeter meters;
    JOSC::OscSessionData session;
};

}  // namespace

TEST_F(OscServerCommandsTest, TableListsTheThirtyThreeSingletonsInOrderWithTheirAnswers)
{
    const std::vector<std::pair<const char*, bool>> expected = {
        {"get", true},          {"getn", true},          {"gett", true},         {"set", false},
        {"setn", false},        {"setr", false},         {"sett", false},        {"prminfo", true},
        {"prmnum", true},       {"subscribe", false},    {"unsubscribe", false}, {"mtrinfo", true},
        {"mtrnum", true},       {"mtrstart", false},     {"mtrstop", false},     {"sscurrent_ex", true},
        {"sscurrentt_ex", true}, {"ssinfo_ex", true},    {"ssinfot_ex", true},   {"ssnum_ex", true},
        {"ssrecall_ex", false}, {"ssrecallt_ex", false}, {"ssupdate_ex", false}, {"ssupdatet_ex", false},
        {"devinfo", true},      {"devmode", false},      {"devstatus", true},    {"event", false},
        {"scpmode", false},     {"listitem", true},      {"listitemnum", true},  {"identify", false},
        {"keepalive", false},
    };
    ASSERT_EQ(expected.size(), JOSC::kServerCommandCount);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_STREQ(expected[i].first, JOSC::sServerCommmandTable[i]->getCommandName());
        EXPECT_EQ(expected[i].second, JOSC::sServerCommmandTable[i]->shouldReply());
    }
    EXPECT_EQ(&JOSC::commandGET, JOSC::sServerCommmandTable[0]);
    EXPECT_EQ(&JOSC::commandSSCURRENTT_EX, JOSC::sServerCommmandTable[16]);
    EXPECT_EQ(&JOSC::commandKEEPALIVE, JOSC::sServerCommmandTable[32]);
}

TEST_F(OscServerCommandsTest, ReadsLookUpTheAddressFirstAndReadTheIndexedElement)
{
    EXPECT_EQ((Lines{"i:32"}), run("get", "uz:AuxIn/Fader/Level", {}, "3", "2").reply);
    EXPECT_EQ((Lines{"i:0"}), run("get", "uz:AuxIn/Fader/Level", {}).reply) << "no index texts read element 0, 0";
    EXPECT_EQ((Lines{"u:320"}), run("getn", "uz:AuxIn/Fader/Level", {}, "3", "2").reply) << "resolution 1000";
    EXPECT_EQ((Lines{"s:t32"}), run("gett", "uz:AuxIn/Fader/Level", {}, "3", "2").reply);
    for (const char* word : {"get", "getn", "gett"}) {
        SCOPED_TRACE(word);
        const Outcome unknown = run(word, "uz:Nothing", {});
        EXPECT_EQ(kUnknownAddress, unknown.result) << "not the provider's own code";
        EXPECT_TRUE(unknown.reply.empty());
    }
}

TEST_F(OscServerCommandsTest, WritesCheckAddressThenArgumentsAndReadTheElementBack)
{
    EXPECT_EQ(kUnknownAddress, run("set", "uz:Nothing", {}).result) << "the address is checked first";
    EXPECT_EQ(kInvalid, run("set", "uz:AuxIn/Fader/Level", {}).result);
    EXPECT_TRUE(parameters.calls.empty());

    const Outcome set = run("set", "uz:AuxIn/Fader/Level", {JVariant(77)}, "1", "0");
    EXPECT_EQ(0u, set.result);
    EXPECT_EQ((Lines{"i:77", "s:t77"}), set.reply);
    const Outcome setr = run("setr", "uz:AuxIn/Fader/Level", {JVariant(-2)}, "1", "-1");
    EXPECT_EQ((Lines{"i:-2", "s:t-2"}), setr.reply);
    const Outcome sett = run("sett", "uz:Obj/Name", {str("Drums")});
    EXPECT_EQ((Lines{"s:t100"}), sett.reply) << "text only";
    EXPECT_EQ((Lines{"setValue o3 i0 x1 y0 [i:77]", "incDec o3 i0 x1 y4294967295 [i:-2] 0,0",
                     "setText o3 i1 x0 y0 [s:Drums]"}),
              parameters.calls);

    parameters.writeResult = 0x80000006u;
    const Outcome refused = run("set", "uz:AuxIn/Fader/Level", {JVariant(1)});
    EXPECT_EQ(0x80000006u, refused.result);
    EXPECT_TRUE(refused.reply.empty()) << "a failed write appends nothing";
}

TEST_F(OscServerCommandsTest, SetnClipsToTheResolutionAndReportsTheClip)
{
    const Outcome clipped = run("setn", "uz:AuxIn/Fader/Level", {JVariant(-5), JVariant(1000), JVariant(500)}, "2");
    EXPECT_EQ(1u, clipped.result);
    EXPECT_EQ("setRatio o3 i0 x2 y0 [u:0 u:999 u:500] r1000", parameters.calls.back());
    EXPECT_EQ((Lines{"u:0", "s:t0"}), clipped.reply) << "read back in the session's resolution";

    const Outcome fromFloat = run("setn", "uz:AuxIn/Fader/Level", {JVariant(0.7f)});
    EXPECT_EQ(0u, fromFloat.result) << "a Float writes ratio 0 without counting as a clip";
    EXPECT_EQ("setRatio o3 i0 x0 y0 [u:0] r1000", parameters.calls.back());

    ASSERT_EQ(0u, session.setResolution(100));
    EXPECT_EQ(1u, run("setn", "uz:AuxIn/Fader/Level", {JVariant(100)}).result);
    EXPECT_EQ("setRatio o3 i0 x0 y0 [u:99] r100", parameters.calls.back());
    EXPECT_EQ(0u, run("setn", "uz:AuxIn/Fader/Level", {JVariant(99)}).result);

    parameters.writeResult = 0x80000006u;
    EXPECT_EQ(0x80000006u, run("setn", "uz:AuxIn/Fader/Level", {JVariant(-1)}).result) << "a failure beats the clip";
}

TEST_F(OscServerCommandsTest, ParameterInformationGivesTwelveArgumentsPerRecord)
{
    const Outcome first = run("prminfo", "ignored", {JVariant(0)}, "5");
    EXPECT_EQ(0u, first.result);
    EXPECT_EQ((Lines{"i:0", "s:uz:AuxIn/Fader/Level", "i:8", "i:2", "i:-10", "i:100", "i:0", "s:dB", "s:integer",
                     "s:fader", "s:r", "i:3"}),
              first.reply);
    EXPECT_EQ(first.reply, run("prminfo", "", {str("7")}).reply) << "a String counts as parameter 0";
    const Outcome three = run("prminfo", "", {JVariant(2)});
    ASSERT_EQ(36u, three.reply.size());
    EXPECT_EQ("i:102", three.reply[24 + 5]) << "records in the provider's order";
    EXPECT_EQ(OscTest::TestParameter::kLookupFailure, run("prminfo", "", {JVariant(9)}).result);
    EXPECT_EQ(kInvalid, run("prminfo", "", {}).result);
    EXPECT_EQ((Lines{"i:3"}), run("prmnum", "", {}).reply);
}

TEST_F(OscServerCommandsTest, SubscriptionsTakeOneAddressOrAGroup)
{
    EXPECT_EQ(0u, run("subscribe", "uz:Obj/Name", {}).result);
    EXPECT_EQ(0u, run("subscribe", "uz:@Group", {}).result);
    EXPECT_EQ((JOSC::OscIndexList{0, 1, 2}), session.getSubscribeList());
    EXPECT_EQ(kUnknownAddress, run("subscribe", "uz:@Nothing", {}).result);
    EXPECT_EQ(0u, run("unsubscribe", "uz:@Group", {}).result);
    EXPECT_EQ(0u, run("unsubscribe", "uz:Obj/Mode", {}).result) << "never subscribed: nothing changes";
    EXPECT_EQ((JOSC::OscIndexList{1}), session.getSubscribeList());
    EXPECT_TRUE(run("subscribe", "uz:Obj/Name", {}).reply.empty());
}

TEST_F(OscServerCommandsTest, MetersCheckTheNumberArgumentBeforeTheAddress)
{
    EXPECT_EQ(kInvalid, run("mtrinfo", "", {JVariant(1.0f)}).result);
    const Outcome info = run("mtrinfo", "", {JVariant(1)});
    EXPECT_EQ(0u, info.result);
    EXPECT_EQ((Lines{"i:1", "s:uz:Current/Meter/B", "i:3", "s:hold"}), info.reply);
    const Outcome missing = run("mtrinfo", "", {JVariant(2u)});
    EXPECT_EQ(0x80000078u, missing.result) << "the provider's code";
    EXPECT_EQ((Lines{"u:2", "s:", "i:0", "s:level"}), missing.reply) << "echoed as received, record cleared";
    EXPECT_EQ((Lines{"i:2"}), run("mtrnum", "", {}).reply);

    EXPECT_EQ(kInvalid, run("mtrstart", "uz:Nothing", {}).result) << "arguments first";
    EXPECT_EQ(kInvalid, run("mtrstart", "uz:Current/Meter/A", {str("100")}).result);
    EXPECT_EQ(kUnknownAddress, run("mtrstart", "uz:Nothing", {JVariant(100)}).result);
    EXPECT_FALSE(session.isMeterEnable());
    EXPECT_EQ(0u, run("mtrstart", "uz:Current/Meter/B", {JVariant(100)}).result);
    EXPECT_TRUE(session.isMeterEnable());
    EXPECT_EQ(kUnknownAddress, run("mtrstop", "uz:Nothing", {}).result);
    EXPECT_EQ(0u, run("mtrstop", "uz:Current/Meter/B", {}).result);
    EXPECT_FALSE(session.isMeterEnable());
}

TEST_F(OscServerCommandsTest, SnapshotCommandsCheckCountCategoryAndSecondArgument)
{
    struct Case {
        const char* word;
        JOSC::JVariantList arguments;
        JLIB::JResult result;
        Lines reply;
    };
    const Case cases[] = {
        {"ssnum_ex", {str("scene")}, 0, {"s:scene", "i:3"}},
        {"ssnum_ex", {}, kInvalid, {}},
        {"ssnum_ex", {JVariant(1)}, kInvalid, {}},
        {"ssinfo_ex", {str("scene"), JVariant(1u)}, 0,
         {"s:scene", "i:1", "s:S1", "s:Title1", "s:Comment", "s:user"}},
        {"ssinfo_ex", {str("scene")}, kInvalid, {}},
        {"ssinfo_ex", {str("scene"), JVariant(1.0f)}, kInvalid, {}},
        {"ssinfo_ex", {str("scene"), JVariant(7)}, OscTest::TestParameter::kLookupFailure,
         {"s:scene", "i:7", "s:", "s:", "s:", "s:empty"}},
        {"ssinfot_ex", {str("scene"), str("S2")}, 0, {"s:scene", "s:S2", "s:S2", "s:ByName", "s:", "s:empty"}},
        {"ssinfot_ex", {str("scene"), JVariant(2)}, kInvalid, {}},
        {"sscurrent_ex", {str("scene")}, 0, {"s:scene", "i:2", "s:modified"}},
        {"sscurrentt_ex", {str("scene")}, 0, {"s:scene", "s:S2", "s:unmodified"}},
        {"ssrecall_ex", {str("scene"), JVariant(1)}, 0, {"s:scene", "i:1"}},
        {"ssrecallt_ex", {str("scene"), str("S1")}, 0, {"s:scene", "s:S1"}},
        {"ssupdate_ex", {str("scene"), JVariant(2u)}, 0, {"s:scene", "u:2"}},
        {"ssupdatet_ex", {str("scene"), str("S0")}, 0, {"s:scene", "s:S0"}},
        {"ssupdatet_ex", {JVariant(1), str("S0")}, kInvalid, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + OscTest::joinLines(describe(c.arguments)));
        const Outcome outcome = run(c.word, "", c.arguments);
        EXPECT_EQ(c.result, outcome.result);
        EXPECT_EQ(c.reply, outcome.reply);
    }
    const Lines writes = {"recall o3 scene 1", "recall o3 scene S1", "update o3 scene 2", "update o3 scene S0"};
    Lines seen;
    for (const std::string& call : parameters.calls) {
        if (call.rfind("recall", 0) == 0 || call.rfind("update", 0) == 0) seen.push_back(call);
    }
    EXPECT_EQ(writes, seen) << "with the requesting client as origin";
}

TEST_F(OscServerCommandsTest, DeviceCommandsMapProviderFailuresAsThePartSays)
{
    struct Case {
        const char* word;
        JOSC::JVariantList arguments;
        JLIB::JResult result;
        Lines reply;
    };
    const Case cases[] = {
        {"devinfo", {str("name")}, 0, {"s:name", "s:UZ"}},
        {"devinfo", {str("serial")}, kInvalid, {"s:serial", "s:"}},  // whatever the provider said
        {"devinfo", {JVariant(1)}, kInvalid, {}},
        {"devstatus", {str("runmode")}, 0, {"s:runmode", "s:normal"}},
        {"devstatus", {str("other")}, kInvalid, {"s:other", "s:"}},
        {"devmode", {str("normal")}, 0, {"s:normal"}},
        {"devmode", {str("service")}, kInvalid, {"s:service"}},
        {"devmode", {}, kInvalid, {}},
        {"event", {str("uz:Command/Store")}, 0, {"s:uz:Command/Store"}},
        {"event", {str("uz:Command/Go"), JVariant(4), str("x")}, 0, {"s:uz:Command/Go", "i:4", "s:x"}},
        {"event", {JVariant(4)}, kInvalid, {}},
        {"listitem", {str("scenes"), JVariant(3)}, 0, {"s:scenes", "i:3", "i:6"}},
        {"listitem", {str("scenes"), str("3")}, 0, {"s:scenes", "i:0", "i:0"}},  // not a number: item 0
        {"listitem", {str("scenes")}, kInvalid, {}},
        {"listitemnum", {str("scenes")}, 0, {"s:scenes", "i:4", "i:1", "i:4"}},
        {"identify", {JVariant(100)}, 1, {"i:60"}},
        {"identify", {JVariant(60)}, 0, {"i:60"}},
        {"identify", {JVariant(-5)}, 0, {"i:-5"}},
        {"identify", {}, kInvalid, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + OscTest::joinLines(describe(c.arguments)));
        const Outcome outcome = run(c.word, "", c.arguments);
        EXPECT_EQ(c.result, outcome.result);
        EXPECT_EQ(c.reply, outcome.reply);
    }
    Lines events;
    for (const std::string& call : device.calls) {
        if (call.rfind("event", 0) == 0) events.push_back(call);
    }
    EXPECT_EQ((Lines{"event o3 uz:Command/Store []", "event o3 uz:Command/Go [i:4 s:x]"}), events);
    EXPECT_EQ("identify 4294967291", device.calls.back()) << "no lower bound: -5 as unsigned";
    EXPECT_EQ("identify 60", device.calls[device.calls.size() - 3]);
}

TEST_F(OscServerCommandsTest, ListItemAndIdentifyResultsFollowFlagAndProvider)
{
    device.listFlag = true;
    device.listResult = 0x80000000u;
    device.listItemValid = false;
    const Outcome flagged = run("listitem", "", {str("scenes"), JVariant(9)});
    EXPECT_EQ(1u, flagged.result) << "the flag wins over the provider's failure";
    EXPECT_EQ((Lines{"s:scenes", "i:9", "-"}), flagged.reply) << "the item as the provider left it";

    device.identifyResult = 0x80000002u;
    const Outcome identify = run("identify", "", {JVariant(90)});
    EXPECT_EQ(0x80000002u, identify.result) << "a failure also after a clip";
    EXPECT_EQ((Lines{"i:60"}), identify.reply);
}

TEST_F(OscServerCommandsTest, ScpmodeComparesKeysAndValuesExactly)
{
    struct Case {
        JOSC::JVariantList arguments;
        JLIB::JResult result;
        Lines reply;
    };
    const Case cases[] = {
        {{str("valuetype"), str("normalized")}, 0, {"s:valuetype", "s:normalized"}},
        {{str("valuetype"), str("Raw")}, kInvalid, {}},
        {{str("valuetype")}, kInvalid, {}},
        {{str("sstype"), str("text")}, 0, {"s:sstype", "s:text"}},
        {{str("sstype"), JVariant(1)}, kInvalid, {}},
        {{str("resolution"), JVariant(99)}, kInvalid, {}},
        {{str("resolution"), JVariant(100)}, 0, {"s:resolution", "i:100"}},
        {{str("resolution"), JVariant(0x80000000u)}, kInvalid, {}},  // negative as signed
        {{str("maxmsg"), JVariant(0)}, kInvalid, {}},
        {{str("maxmsg"), JVariant(5)}, 0, {"s:maxmsg", "i:5"}},
        {{str("maxmsg"), str("5")}, kInvalid, {}},
        {{str("format"), JVariant(2)}, kInvalid, {}},
        {{str("encoding"), JVariant(0)}, kInvalid, {}},
        {{str("keepalive"), JVariant(1000)}, kInvalid, {}},
        {{str("ValueType"), str("raw")}, kInvalid, {}},
        {{JVariant(1), str("raw")}, kInvalid, {}},
        {{}, kInvalid, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(OscTest::joinLines(describe(c.arguments)));
        const Outcome outcome = run("scpmode", "", c.arguments);
        EXPECT_EQ(c.result, outcome.result);
        EXPECT_EQ(c.reply, outcome.reply);
    }
    EXPECT_EQ(JOSC::kOscValueTypeNormalized, session.getValueType());
    EXPECT_EQ(JOSC::kOscSnapshotTypeText, session.getSnapshotType());
    EXPECT_EQ(100u, session.getResolution()) << "99 was refused and changed nothing";
    EXPECT_EQ(5u, session.getMaxMessageNum());
    EXPECT_EQ(0u, run("scpmode", "", {str("maxmsg")}).result);
    EXPECT_EQ(0xFFFFFFFFu, session.getMaxMessageNum()) << "no value: no cap";
}

TEST_F(OscServerCommandsTest, KeepaliveAnswersIntervalReplyPortAndOneSessionNumber)
{
    const Outcome negative = run("keepalive", "", {JVariant(-1)});
    EXPECT_EQ(1u, negative.result) << "a negative interval becomes 0";
    EXPECT_TRUE(session.isKeepAliveActive()) << "on even with interval 0";
    ASSERT_EQ(3u, negative.reply.size());
    EXPECT_EQ("i:0", negative.reply[0]);
    EXPECT_EQ("i:4000", negative.reply[1]) << "the port the client is known by";
    const std::string number = negative.reply[2];
    EXPECT_NE("i:0", number);

    const Outcome withPort = run("keepalive", "", {JVariant(5000), JVariant(9001)});
    EXPECT_EQ(0u, withPort.result);
    EXPECT_EQ((Lines{"i:5000", "i:9001", number}), withPort.reply) << "the session keeps its number";
    EXPECT_EQ(9001, session.getTxPort());
    EXPECT_EQ((Lines{"i:5000", "i:9029", number}), run("keepalive", "", {JVariant(5000), JVariant(0x72345u)}).reply)
        << "the low 16 bits of the port";
    EXPECT_EQ(kInvalid, run("keepalive", "", {}).result);
}
