#include "dravo/manager/dravo_parseAudioConfigJSON.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

#include "compiler/compiler_CompileResultConverter.h"

namespace {

using nlohmann::json;

struct Parsed {
    DRAVO::AudioConfig config;
    std::string out;
};

Parsed parse(const std::string& text)
{
    Parsed p;
    testing::internal::CaptureStdout();
    p.config = DRAVO::parseAudioConfigJSON(text);
    p.out = testing::internal::GetCapturedStdout();
    return p;
}

json fullDocument()
{
    return json::parse(R"({"compileResult": {
      "components": [{"majorVersion": 3, "name": "Mixer", "numX": 8, "numY": 2, "uniqID": 10},
                     {"majorVersion": 1, "name": "Gain", "numX": 2, "numY": 1, "uniqID": 20}],
      "connections": [{"fromPortNo": 1, "fromUniqID": 10, "toPortNo": 0, "toUniqID": 20}],
      "dspAssignments": [{"coreNo": 1, "dspNo": 2, "preUniqID": 0, "stepOffset": 8589934592, "stepSize": 100,
                          "uniqID": 10}],
      "dspSystem": {"delayCompensation": true, "fsHz": 96000, "name": "OPV256-D", "numSamplePerFrame": 32,
                    "renderSamples": 64, "result": 2147483651},
      "logicConnections": [{"fromPortNo": 2, "fromUniqID": 20, "toPortNo": 3, "toUniqID": 10}]}})");
}

}  // namespace

TEST(parseAudioConfigJSONTest, ReadsWhatTheCompilerWrites)
{
    Compiler::T_COMPILERESULT r;
    r.dspSystem = {"OPV256-D", 96000, 32, 64, true, 0x80000003u};
    r.components = {{10, "Mixer", 3, 8, 2}};
    r.connections = {{10, 1, 20, 0}};
    Compiler::T_COMPILERESULT_DSPASSIGNMENT a;
    a.dspNo = 2;
    a.coreNo = 1;
    a.uniqID = 10;
    a.preUniqID = 4;
    a.resources = {{"step", 8589934592ull, 100}};
    r.dspAssignments = {a};
    r.logicConnections = {{20, 2, 10, 3}};
    Compiler::CompileResultConverter writer;
    ASSERT_EQ(0u, writer.setCompileResult(r));
    std::string text;
    ASSERT_EQ(0u, writer.toJsonString(text));

    const Parsed p = parse(text);
    EXPECT_EQ("", p.out);
    const DRAVO::AudioConfig& c = p.config;
    EXPECT_EQ("OPV256-D", c.dspSystem.name);
    EXPECT_EQ(96000u, c.dspSystem.fsHz);
    EXPECT_EQ(32u, c.dspSystem.numSamplePerFrame);
    EXPECT_EQ(64u, c.dspSystem.renderSamples);
    EXPECT_TRUE(c.dspSystem.delayCompensation);
    EXPECT_EQ(0x80000003u, c.dspSystem.result);
    ASSERT_EQ(1u, c.components.size());
    EXPECT_EQ(10u, c.components[0].uniqID);
    EXPECT_EQ("Mixer", c.components[0].name);
    EXPECT_EQ(3u, c.components[0].majorVersion);
    EXPECT_EQ(8u, c.components[0].numX);
    EXPECT_EQ(2u, c.components[0].numY);
    EXPECT_EQ((std::vector<DRAVO::AudioConnection>{{10, 1, 20, 0}}), c.connections);
    ASSERT_EQ(1u, c.dspAssignments.size());
    const DRAVO::AudioConfigDspAssignment& d = c.dspAssignments[0];
    EXPECT_EQ(2u, d.dspNo);
    EXPECT_EQ(1u, d.coreNo);
    EXPECT_EQ(8589934592ull, d.stepOffset);  // kept 64-bit
    EXPECT_EQ(100u, d.stepSize);
    EXPECT_EQ(10u, d.uniqID);
    EXPECT_EQ(4u, d.preUniqID);
    EXPECT_EQ((std::vector<DRAVO::AudioConnection>{{20, 2, 10, 3}}), c.logicConnections);
}

TEST(parseAudioConfigJSONTest, MissingPartKeepsThePartsReadBeforeIt)
{
    struct Case {
        const char* erase;  // member of "compileResult" to remove, or "" for the root
        const char* out;
        bool dspSystem;
        size_t components, connections, assignments, logic;
    };
    const Case cases[] = {
        {"", "JSON: 'compileResult' tag not found.\n", false, 0, 0, 0, 0},
        {"dspSystem", "JSON: 'dspSystem' tag not found.\n", false, 0, 0, 0, 0},
        {"components", "JSON: 'components' tag not found.\n", true, 0, 0, 0, 0},
        {"connections", "JSON: 'connections' tag not found.\n", true, 2, 0, 0, 0},
        {"dspAssignments", "JSON: 'dspAssignments' tag not found.\n", true, 2, 1, 0, 0},
        {"logicConnections", "JSON: 'logicConnections' tag not found.\n", true, 2, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        json doc = fullDocument();
        if (*c.erase) {
            doc["compileResult"].erase(c.erase);
        } else {
            doc = json{{"compile", doc["compileResult"]}};
        }
        const Parsed p = parse(doc.dump());
        EXPECT_EQ(c.out, p.out);
        EXPECT_EQ(c.dspSystem ? "OPV256-D" : "", p.config.dspSystem.name);
        EXPECT_EQ(c.dspSystem ? 0x80000003u : 0x80000000u, p.config.dspSystem.result);
        EXPECT_EQ(c.components, p.config.components.size());
        EXPECT_EQ(c.connections, p.config.connections.size());
        EXPECT_EQ(c.assignments, p.config.dspAssignments.size());
        EXPECT_EQ(c.logic, p.config.logicConnections.size());
    }
}

TEST(parseAudioConfigJSONTest, MembersThatDoNotConvertTakeTheirDefaults)
{
    struct Case { const char* member; const char* value; std::function<void(const DRAVO::AudioConfig&)> check; };
    const Case cases[] = {
        {"result", nullptr, [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0x80000000u, c.dspSystem.result); }},
        {"result", "-1", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0x80000000u, c.dspSystem.result); }},
        {"result", "0", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0u, c.dspSystem.result); }},
        {"result", "4294967296", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0x80000000u, c.dspSystem.result); }},
        {"delayCompensation", "1", [](const DRAVO::AudioConfig& c) { EXPECT_FALSE(c.dspSystem.delayCompensation); }},
        {"fsHz", "\"96000\"", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0u, c.dspSystem.fsHz); }},
        {"fsHz", "96000.5", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0u, c.dspSystem.fsHz); }},
        {"fsHz", "-96000", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0u, c.dspSystem.fsHz); }},
        {"fsHz", "1e300", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(0u, c.dspSystem.fsHz); }},
        {"fsHz", "48000.0", [](const DRAVO::AudioConfig& c) { EXPECT_EQ(48000u, c.dspSystem.fsHz); }},
        {"name", "7", [](const DRAVO::AudioConfig& c) { EXPECT_EQ("", c.dspSystem.name); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + (c.value ? c.value : "absent"));
        json doc = fullDocument();
        json& dsp = doc["compileResult"]["dspSystem"];
        if (c.value) {
            dsp[c.member] = json::parse(c.value);
        } else {
            dsp.erase(c.member);
        }
        const Parsed p = parse(doc.dump());
        EXPECT_EQ("", p.out);
        c.check(p.config);
        EXPECT_EQ(2u, p.config.components.size());  // the rest is read all the same
    }

    json doc = fullDocument();
    doc["compileResult"]["components"] = {{"a", 1}, {"b", 2}, {"c", 3}};
    doc["compileResult"]["dspAssignments"][0]["stepOffset"] = -1;
    doc["compileResult"]["dspAssignments"][0]["stepSize"] = 4294967296ull;
    doc["compileResult"]["connections"] = "one";
    const Parsed p = parse(doc.dump());
    ASSERT_EQ(3u, p.config.components.size());
    for (const auto& c : p.config.components) {
        EXPECT_EQ(0u, c.uniqID);
        EXPECT_EQ("", c.name);
    }
    EXPECT_EQ((std::vector<DRAVO::AudioConnection>{{0, 0, 0, 0}}), p.config.connections);
    EXPECT_EQ(0u, p.config.dspAssignments.at(0).stepOffset);
    EXPECT_EQ(0u, p.config.dspAssignments.at(0).stepSize);
}

TEST(parseAudioConfigJSONTest, TextThatIsNotJsonGivesAClearedConfiguration)
{
    for (const char* text : {"{", "", "{\"compileResult\": }", "[1,]"}) {
        SCOPED_TRACE(text);
        const Parsed p = parse(text);
        EXPECT_EQ(0u, p.out.find("message: [json.exception.parse_error.101]")) << p.out;
        EXPECT_NE(std::string::npos, p.out.find("\nexception id: 101\n")) << p.out;
        EXPECT_EQ("", p.config.dspSystem.name);
        EXPECT_EQ(0x80000000u, p.config.dspSystem.result);
        EXPECT_TRUE(p.config.components.empty());
    }
}
