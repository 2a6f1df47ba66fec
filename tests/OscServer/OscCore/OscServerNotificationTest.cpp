#include "OscServer/OscCore/OscServerNotification.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "OscServer/OscCore/OscMeter.h"
#include "OscServer/OscCore/OscParameter.h"
#include "OscServer/OscCore/OscSessionData.h"
#include "OscTestSupport.h"

using OscTest::describe;

namespace {

using Lines = std::vector<std::string>;

// A parameter provider whose every read can be made to fail; each read appends before it answers,
// so that a failure shows how far the notification got. The address is written before a failure.
class ScriptedParameter : public JOSC::OscParameter {
public:
    JLIB::JResult addressResult = 0;
    JLIB::JResult valueResult = 0;
    JLIB::JResult ratioResult = 0;
    JLIB::JResult textResult = 0;
    std::vector<uint8_t> origins;

    JLIB::JResult getAddress(std::string& address, uint32_t index) override
    {
        address = "uz:Obj/" + std::to_string(index);
        return addressResult;
    }
    JLIB::JResult getValue(JOSC::JVariantList& values, uint8_t origin, uint32_t index, uint32_t x,
                           uint32_t y) override
    {
        origins.push_back(origin);
        values.emplace_back(static_cast<int>(index * 100 + x * 10 + y));
        return valueResult;
    }
    JLIB::JResult getRatio(JOSC::JVariantList& values, uint32_t resolution, uint8_t origin, uint32_t, uint32_t,
                           uint32_t) override
    {
        origins.push_back(origin);
        values.emplace_back(static_cast<int>(resolution / 2));
        return ratioResult;
    }
    JLIB::JResult getText(JOSC::JVariantList& texts, uint8_t origin, uint32_t, uint32_t, uint32_t) override
    {
        origins.push_back(origin);
        texts.emplace_back("-6.00", 32u);
        return textResult;
    }
};

class ScriptedMeter : public JOSC::OscMeter {
public:
    JLIB::JResult addressResult = 0;
    JLIB::JResult attribResult = 0;
    JLIB::JResult metersResult = 0;
    int32_t type = JOSC::OscMeterAttrib::kTypeGainReduction;
    std::vector<uint8_t> bytes{0x01, 0x02, 0xFF};

    JLIB::JResult getAddress(std::string& address, uint32_t index) override
    {
        address = "uz:Meter/" + std::to_string(index);
        return addressResult;
    }
    JLIB::JResult getAttrib(JOSC::OscMeterAttrib& attrib, uint32_t) override
    {
        attrib.type = JOSC::OscMeterAttrib::Type(type);
        return attribResult;
    }
    JLIB::JResult getMeters(const uint8_t*& out, uint32_t& count, uint32_t) override
    {
        out = bytes.empty() ? nullptr : bytes.data();
        count = static_cast<uint32_t>(bytes.size());
        return metersResult;
    }
};

// type/command/address/x/y in one text.
std::string head(const JOSC::OscServerNotification& n)
{
    JOSC::OscCommandData c;
    (void)n.makeNotification(&c, nullptr);  // always 0
    return c.type + "|" + c.command + "|" + c.address + "|" + c.x + "|" + c.y;
}

Lines arguments(const JOSC::OscServerNotification& n)
{
    JOSC::JVariantList args;
    (void)n.makeNotification(nullptr, &args);  // always 0
    return describe(args);
}

}  // namespace

TEST(OscServerNotificationTest, SetCarriesValuesThenTextsAndStopsAtAFailingRead)
{
    struct Case {
        const char* name;
        JLIB::JResult addressResult, valueResult, textResult;
        JLIB::JResult result;
        std::string head;
        Lines args;
    };
    const std::string full = "notify|set|uz:Obj/4|2|0";
    const Case cases[] = {
        {"all read", 0, 0, 0, 0, full, {"i:420", "s:-6.00"}},
        {"text status passed on", 0, 0, 1, 1, full, {"i:420", "s:-6.00"}},
        {"address fails", 0x80000005, 0, 0, 0x80000005, "||||", {}},
        {"value fails", 0, 0x80000009, 0, 0x80000009, full, {"i:420"}},
        {"text fails", 0, 0, 0x80000000, 0x80000000, full, {"i:420", "s:-6.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedParameter p;
        p.addressResult = c.addressResult;
        p.valueResult = c.valueResult;
        p.textResult = c.textResult;
        JOSC::OscServerNotificationSET n;
        EXPECT_EQ(c.result, n.set(3, p, 4, 2, 0));
        EXPECT_EQ(c.head, head(n));
        EXPECT_EQ(c.args, arguments(n));
        for (uint8_t origin : p.origins) EXPECT_EQ(3, origin);
    }
    EXPECT_STREQ("set", JOSC::OscServerNotificationSET().getCommandName());
}

TEST(OscServerNotificationTest, SetnUsesTheReceivingSessionsResolution)
{
    struct Case {
        const char* name;
        uint32_t resolution;
        JLIB::JResult addressResult, ratioResult, textResult;
        JLIB::JResult result;
        std::string head;
        Lines args;
    };
    const std::string full = "notify|setn|uz:Obj/7|0|5";
    const Case cases[] = {
        {"resolution 1000", 1000, 0, 0, 0, 0, full, {"i:500", "s:-6.00"}},
        {"resolution 100", 100, 0, 0, 0, 0, full, {"i:50", "s:-6.00"}},
        {"text status ends as 0", 1000, 0, 0, 1, 0, full, {"i:500", "s:-6.00"}},
        {"address fails", 1000, 0x80000000, 0, 0, 0x80000000, "||||", {}},
        {"ratio fails", 1000, 0, 0x80000004, 0, 0x80000004, full, {"i:500"}},
        {"text fails", 1000, 0, 0, 0x80000003, 0x80000003, full, {"i:500", "s:-6.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JOSC::OscSessionData session;
        ASSERT_EQ(0u, session.initialize(1));
        ASSERT_EQ(0u, session.setResolution(c.resolution));
        ScriptedParameter p;
        p.addressResult = c.addressResult;
        p.ratioResult = c.ratioResult;
        p.textResult = c.textResult;
        JOSC::OscServerNotificationSETN n;
        EXPECT_EQ(c.result, n.set(9, p, session, 7, 0, 5));
        EXPECT_EQ(c.head, head(n));
        EXPECT_EQ(c.args, arguments(n));
        for (uint8_t origin : p.origins) EXPECT_EQ(9, origin);
    }
}

TEST(OscServerNotificationTest, MtrCarriesTheTypeWordAndACopyOfTheBytes)
{
    struct Case {
        const char* name;
        std::function<void(ScriptedMeter&)> script;
        JLIB::JResult result;
        std::string head;
        Lines args;
    };
    const Case cases[] = {
        {"all read", [](ScriptedMeter&) {}, 0, "notify|mtr|uz:Meter/6||", {"s:gr", "b:0102ff"}},
        {"level", [](ScriptedMeter& m) { m.type = 0; }, 0, "notify|mtr|uz:Meter/6||", {"s:level", "b:0102ff"}},
        {"type outside the table", [](ScriptedMeter& m) { m.type = 4; }, 0, "notify|mtr|uz:Meter/6||",
         {"s:?", "b:0102ff"}},
        {"no bytes", [](ScriptedMeter& m) { m.bytes.clear(); }, 0, "notify|mtr|uz:Meter/6||", {"s:gr", "-"}},
        {"address fails", [](ScriptedMeter& m) { m.addressResult = 0x80000005; }, 0x80000005, "notify|mtr|||", {}},
        {"attribute fails", [](ScriptedMeter& m) { m.attribResult = 0x80000001; }, 0x80000001,
         "notify|mtr|uz:Meter/6||", {}},
        {"bytes fail", [](ScriptedMeter& m) { m.metersResult = 0x80000002; }, 0x80000002, "notify|mtr|uz:Meter/6||",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMeter m;
        c.script(m);
        JOSC::OscServerNotificationMTR n;
        EXPECT_EQ(c.result, n.set(m, 6));
        EXPECT_EQ(c.head, head(n));
        EXPECT_EQ(c.args, arguments(n));
        if (!m.bytes.empty()) m.bytes[0] = 0xEE;  // the provider refreshes its bytes
        EXPECT_EQ(c.args, arguments(n)) << "the notification keeps its own copy";
    }
}

TEST(OscServerNotificationTest, DevstatusCutsKeyAndValueTo32AndRefusesNull)
{
    const std::string forty(40, 'v');
    const std::string thirtyTwo(32, 'v');
    struct Case {
        const char* name;
        const char* key;
        const char* value;
        JLIB::JResult result;
        std::string head;
        Lines args;
    };
    const Case cases[] = {
        {"plain", "Status", "Online", 0, "notify|devstatus|||", {"s:Status", "s:Online"}},
        {"empty texts", "", "", 0, "notify|devstatus|||", {"s:", "s:"}},
        {"long value", "Status", forty.c_str(), 0, "notify|devstatus|||", {"s:Status", "s:" + thirtyTwo}},
        {"long key", forty.c_str(), "x", 0, "notify|devstatus|||", {"s:" + thirtyTwo, "s:x"}},
        {"null key", nullptr, "Online", 0x80000004, "||||", {}},
        {"null value", "Status", nullptr, 0x80000004, "||||", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JOSC::OscServerNotificationDEVSTATUS n;
        EXPECT_EQ(c.result, n.set(c.key, c.value));
        EXPECT_EQ(c.head, head(n));
        EXPECT_EQ(c.args, arguments(n));
    }
}

TEST(OscServerNotificationTest, SnapshotFormsAndTheCurrentOnesEndUnmodified)
{
    const JVariant category("PROC:ParamSet/Vexalume", 1023);
    const JVariant text("12", 1023);
    const std::string cat = "s:PROC:ParamSet/Vexalume";
    std::vector<std::unique_ptr<JOSC::OscServerNotification>> keep;
    const auto byNumber = [&](auto* n) {
        keep.emplace_back(n);
        return n->set(category, 0x80000001u);
    };
    const auto byText = [&](auto* n) {
        keep.emplace_back(n);
        return n->set(category, text);
    };
    struct Row {
        std::string word;
        std::function<JLIB::JResult()> set;
        Lines args;
    };
    const Row rows[] = {
        {"ssrecall_ex", [&] { return byNumber(new JOSC::OscServerNotificationSSRECALL_EX); },
         {cat, "i:-2147483647"}},
        {"sscurrent_ex", [&] { return byNumber(new JOSC::OscServerNotificationSSCURRENT_EX); },
         {cat, "i:-2147483647", "s:unmodified"}},
        {"ssupdate_ex", [&] { return byNumber(new JOSC::OscServerNotificationSSUPDATE_EX); },
         {cat, "i:-2147483647"}},
        {"ssrecallt_ex", [&] { return byText(new JOSC::OscServerNotificationSSRECALLT_EX); }, {cat, "s:12"}},
        {"sscurrentt_ex", [&] { return byText(new JOSC::OscServerNotificationSSCURRENTT_EX); },
         {cat, "s:12", "s:unmodified"}},
        {"ssupdatet_ex", [&] { return byText(new JOSC::OscServerNotificationSSUPDATET_EX); }, {cat, "s:12"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.word);
        EXPECT_EQ(0u, row.set());
        const JOSC::OscServerNotification& n = *keep.back();
        EXPECT_EQ("notify|" + row.word + "|||", head(n));
        EXPECT_EQ(row.args, arguments(n));
    }

    JOSC::OscServerNotificationSSRECALL_EX invalidCategory;
    EXPECT_EQ(0u, invalidCategory.set(JVariant(), 3));
    EXPECT_EQ((Lines{"-", "i:3"}), arguments(invalidCategory)) << "the category goes as given";
}

TEST(OscServerNotificationTest, MakeNotificationFillsOnlyTheGivenTargets)
{
    JOSC::OscServerNotificationDEVSTATUS n;
    ASSERT_EQ(0u, n.set("Key", "Value"));

    JOSC::OscCommandData command;
    command.address = "untouched";
    JOSC::JVariantList args;
    EXPECT_EQ(0u, n.makeNotification(nullptr, &args));
    EXPECT_EQ((Lines{"s:Key", "s:Value"}), describe(args));
    EXPECT_EQ("untouched", command.address);

    args.clear();
    EXPECT_EQ(0u, n.makeNotification(&command, nullptr));
    EXPECT_EQ("devstatus", command.command);
    EXPECT_EQ("", command.address);
    EXPECT_TRUE(args.empty());

    EXPECT_EQ(0u, n.makeNotification(nullptr, nullptr));
    EXPECT_EQ(0u, n.makeNotification(&command, &args));
    EXPECT_EQ(2u, args.size()) << "the notification keeps its content for every reader";
    EXPECT_EQ(0u, n.makeNotification(nullptr, &args));
    EXPECT_EQ(2u, args.size()) << "the list is replaced, not appended to";
}
