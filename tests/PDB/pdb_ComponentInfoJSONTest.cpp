#include "PDB/pdb_ComponentInfoJSON.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "PDB/pdb_ComponentInfoRepository.h"
#include "PDB/pdb_ParamRawArray.h"

namespace {

using PDB::ComponentInfo;
using nlohmann::json;

struct Parsed {
    ComponentInfo info;
    std::string log;
};

Parsed parse(const std::string& text)
{
    Parsed out;
    testing::internal::CaptureStdout();
    out.info = PDB::parseComponentInfoJSON(text.c_str());
    out.log = testing::internal::GetCapturedStdout();
    return out;
}

// A definition of component "Test" version 1, X 1..16 and Y 1..4, with the given parameters.
std::string withParameters(const std::string& parameters)
{
    return R"({"component": {"name": "Test", "majorVer": 1, "minX": 1, "maxX": 16, "minY": 1, "maxY": 4,
               "parameters": [)" +
           parameters + "]}}";
}

}  // namespace

TEST(ComponentInfoJSONTest, DecodesAFullDefinitionFile)
{
    const std::string text = R"({
      "component": {
        "name": "Profile", "majorVer": 3, "minX": 2, "minY": 1, "maxX": 8, "maxY": 2,
        "commentX": "channel", "commentY": "band",
        "parameters": [
          {"strAddress": "gain", "type": "SINT16", "patternX": "*1", "patternY": "2", "commentX": "ch",
           "commentY": "b", "min": "-100", "max": "100", "def": "-5", "nominal": "0", "step": "2",
           "scaling": 10, "unit": "dB", "kind": "Level", "defUI": "-5.0",
           "attr": {"recallable": false, "nonvolatile": 1, "syncable": true, "noeditflag": 0, "private": true}},
          {"strAddress": "name", "type": "STRING", "max": "16", "def": "abc"},
          {"strAddress": "on", "type": "BOOL", "min": "0", "max": "5", "def": "7"},
          {"strAddress": "freq", "type": "FLOAT", "min": "20", "max": "20000", "def": "1000.5", "step": "0.5"},
          {"strAddress": "blob", "type": "BINARY", "max": "9", "patternX": "/2"}
        ]
      }
    })";
    const Parsed p = parse(text);
    EXPECT_EQ("", p.log);
    const ComponentInfo& info = p.info;
    ASSERT_TRUE(info.isValid());
    EXPECT_EQ("Profile", info.componentName());
    EXPECT_EQ(3u, info.componentVersion());
    EXPECT_EQ(2u, info.minX());
    EXPECT_EQ(8u, info.maxX());
    EXPECT_EQ(2u, info.maxY());
    EXPECT_EQ("channel", info.commentX());
    EXPECT_EQ("band", info.commentY());
    EXPECT_EQ(nullptr, info.parameterStrategy());
    ASSERT_EQ(5u, info.addressNum());

    const PDB::ParameterInfo& gain = info.paramInfo(info.addressIndex("gain"));
    EXPECT_EQ(PDB::kTypeSInt16, gain.type);
    EXPECT_EQ(0x10000001u, gain.patternX);
    EXPECT_EQ(2u, gain.patternY);
    EXPECT_EQ(2u, gain.numX);
    EXPECT_EQ(2u, gain.numY);
    EXPECT_EQ(-100, gain.min.toInt32());
    EXPECT_EQ(100, gain.max.toInt32());
    EXPECT_EQ(-5, gain.def.toInt32());
    EXPECT_EQ(JVariant::kTypeInt32, gain.nominal.getType());
    EXPECT_EQ(0, gain.nominal.toInt32());
    EXPECT_EQ(2u, gain.step.toUInt32());
    EXPECT_EQ(10u, gain.scaling);
    EXPECT_EQ("ch", gain.commentX);
    EXPECT_EQ("b", gain.commentY);
    EXPECT_EQ("dB", gain.unit);
    EXPECT_EQ("Level", gain.kind);
    EXPECT_EQ("-5.0", gain.defUI);
    EXPECT_EQ(0, gain.attr.areaTag());
    EXPECT_EQ(PDB::ParamAttr::kNonVolatile | PDB::ParamAttr::kSyncable | PDB::ParamAttr::kPrivate, gain.attr.flags());

    const PDB::ParameterInfo& name = info.paramInfo(1);
    EXPECT_EQ(PDB::kTypeString, name.type);
    EXPECT_EQ(16u, name.itemSize);
    EXPECT_STREQ("abc", name.def.toString());
    EXPECT_EQ(0x0F, name.attr.flags());  // attribute defaults

    const PDB::ParameterInfo& on = info.paramInfo(2);
    EXPECT_EQ(0u, on.min.toUInt32());
    EXPECT_EQ(1u, on.max.toUInt32());
    EXPECT_EQ(1u, on.def.toUInt32());

    const PDB::ParameterInfo& freq = info.paramInfo(3);
    EXPECT_EQ(1000.5f, freq.def.toFloat());
    EXPECT_EQ(0.5f, freq.step.toFloat());
    EXPECT_FALSE(freq.nominal.isValid());

    const PDB::ParameterInfo& blob = info.paramInfo(4);
    EXPECT_EQ(9u, blob.itemSize);
    EXPECT_EQ(0x20000002u, blob.patternX);
    EXPECT_EQ(1u, blob.numX);  // 2 / 2
}

TEST(ComponentInfoJSONTest, ParameterKeysTakeTheirDefaults)
{
    const Parsed p = parse(withParameters(
        R"({"strAddress": "p", "type": "UINT32", "min": 5, "patternX": 3, "scaling": "7", "unit": 1})"));
    EXPECT_EQ("", p.log);
    ASSERT_EQ(1u, p.info.addressNum());
    const PDB::ParameterInfo& info = p.info.paramInfo(0);
    EXPECT_EQ(1u, info.patternX);  // a number where a text belongs is ignored
    EXPECT_EQ(1u, info.patternY);
    EXPECT_EQ(JVariant::kTypeUInt32, info.min.getType());
    EXPECT_EQ(0u, info.min.toUInt32());
    EXPECT_EQ(0u, info.max.toUInt32());
    EXPECT_EQ(0u, info.def.toUInt32());
    EXPECT_FALSE(info.nominal.isValid());  // the "min" text stands in, so it equals the minimum
    EXPECT_EQ(1u, info.step.toUInt32());
    EXPECT_EQ(1u, info.scaling);
    EXPECT_EQ("", info.unit);
    EXPECT_EQ("", info.commentX);
    EXPECT_EQ(0x0F, info.attr.flags());
}

TEST(ComponentInfoJSONTest, NumberTextsAreCutToTheTypeWidth)
{
    struct Case {
        const char* type;
        const char* min;
        const char* max;
        const char* nominal;
        uint32_t minBits;
        uint32_t maxBits;
        bool hasNominal;
    };
    const Case cases[] = {
        {"UINT16", "0", "70000", "", 0, 4464, false},
        {"UINT8", "  +7", "300", "7", 7, 44, false},
        {"UINT32", "-1", "4294967296", "5", 0xFFFFFFFF, 0, true},
        {"SINT8", "-129", "128", "-129", 127, 0xFFFFFF80u, false},
        {"SINT16", "-32769", "12abc", "3", 32767, 12, true},
        {"SINT32", "-2147483649", "2147483648", "", 0x7FFFFFFF, 0x80000000u, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string param = std::string(R"({"strAddress": "v", "type": ")") + c.type + R"(", "min": ")" + c.min +
                                  R"(", "max": ")" + c.max + R"(", "nominal": ")" + c.nominal + R"("})";
        const Parsed p = parse(withParameters(param));
        EXPECT_EQ("", p.log);
        ASSERT_EQ(1u, p.info.addressNum());
        const PDB::ParameterInfo& info = p.info.paramInfo(0);
        EXPECT_EQ(c.minBits, info.min.toUInt32());
        EXPECT_EQ(c.maxBits, info.max.toUInt32());
        EXPECT_EQ(c.hasNominal, info.nominal.isValid());
    }
}

TEST(ComponentInfoJSONTest, NumPatternTextsBecomePatternWords)
{
    struct Case {
        const char* text;
        bool ok;
        uint32_t word;
    };
    const Case cases[] = {
        {"", true, 1},
        {"5", true, 5},
        {"0", true, 1},
        {" 12", true, 12},
        {"65535", true, 0xFFFF},
        {"*0", true, 0x10000001},
        {"*3", true, 0x10000003},
        {"/4", true, 0x20000004},
        {"/0", true, 0x20000001},
        {"4x", true, 4},
        {"*", false, 0},
        {"/", false, 0},
        {"*x", false, 0},
        {"x", false, 0},
        {"65536", false, 0},   // N would spill into the rule
        {"*-1", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        bool ok = !c.ok;
        EXPECT_EQ(c.word, PDB::getNumPattern(c.text, &ok));
        EXPECT_EQ(c.ok, ok);
    }
    EXPECT_EQ(0x20000004u, PDB::getNumPattern("/4"));
}

TEST(ComponentInfoJSONTest, PatternWordsSizeTheParameters)
{
    const std::string text = R"({"component": {"name": "P", "minX": 10, "maxX": 10, "minY": 2, "maxY": 2,
        "parameters": [{"strAddress": "a", "type": "UINT8", "patternX": "/4", "patternY": "*3"},
                       {"strAddress": "b", "type": "UINT8", "patternX": ""}]}})";
    const Parsed p = parse(text);
    EXPECT_EQ("", p.log);
    ASSERT_EQ(2u, p.info.addressNum());
    EXPECT_EQ(3u, p.info.paramInfo(0).numX);
    EXPECT_EQ(6u, p.info.paramInfo(0).numY);
    EXPECT_EQ(1u, p.info.paramInfo(1).numX);
    EXPECT_EQ(1u, p.info.paramInfo(1).numY);
}

TEST(ComponentInfoJSONTest, ProblemsAreLoggedAsTheFileFormatSays)
{
    struct Case {
        const char* what;
        std::string text;
        const char* log;
        bool initialized;
        uint32_t addresses;
    };
    const Case cases[] = {
        {"no component", R"({"other": {}})", "[E] JSON: 'component' tag not found.\n", false, 0},
        {"null component", R"({"component": null})", "[E] JSON: 'component' tag not found.\n", false, 0},
        {"top level not an object", R"([{"component": {}}])", "[E] JSON: 'component' tag not found.\n", false, 0},
        {"limits refused", R"({"component": {"name": "X", "maxX": 0, "parameters": []}})",
         "[E] JSON: 'componentInfo' decode error.\n", false, 0},
        {"maximum below minimum", R"({"component": {"name": "X", "minY": 3, "maxY": 2, "parameters": []}})",
         "[E] JSON: 'componentInfo' decode error.\n", false, 0},
        {"no parameters", R"({"component": {"name": "X"}})", "[E] JSON: 'parameters' tag not found.\n", true, 0},
        {"component not an object", R"({"component": 5})", "[E] JSON: 'parameters' tag not found.\n", true, 0},
        {"empty parameters", R"({"component": {"name": "X", "parameters": []}})", "", true, 0},
        {"unknown type, later ones added",
         withParameters(R"({"strAddress": "a", "type": "UINT64"}, {"strAddress": "b", "type": "uint8"},
                           {"strAddress": "c", "type": "UINT8"})"),
         "[E] JSON: couldn't add the address [a]. err=80020000\n"
         "[E] JSON: couldn't add the address [b]. err=80020000\n",
         true, 1},
        {"parameters as an object count their members",
         R"({"component": {"name": "X", "parameters": {"a": {"strAddress": "a", "type": "UINT8"}, "b": 1}}})",
         "[E] JSON: couldn't add the address []. err=80020000\n"
         "[E] JSON: couldn't add the address []. err=80020000\n",
         true, 0},
        {"bad number text stops the decoding",
         withParameters(R"({"strAddress": "a", "type": "UINT8"}, {"strAddress": "b", "type": "SINT8", "min": "x1"},
                           {"strAddress": "c", "type": "UINT8"})"),
         "[E] JSON: unknown exception occurred.\n", true, 1},
        {"out of range number text stops the decoding",
         withParameters(R"({"strAddress": "a", "type": "UINT32", "step": "18446744073709551616"})"),
         "[E] JSON: unknown exception occurred.\n", true, 0},
        {"bad float text stops the decoding",
         withParameters(R"({"strAddress": "a", "type": "FLOAT", "def": "1e99"})"),
         "[E] JSON: unknown exception occurred.\n", true, 0},
        {"bad pattern stops the decoding",
         withParameters(R"({"strAddress": "a", "type": "BOOL", "patternY": "*"})"),
         "[E] JSON: unknown exception occurred.\n", true, 0},
        {"texts a type does not use are not converted",
         withParameters(R"({"strAddress": "a", "type": "BOOL", "step": "x"},
                           {"strAddress": "b", "type": "STRING", "min": "x", "def": "x"})"),
         "", true, 2},
        {"size beyond 32 bits",
         withParameters(R"({"strAddress": "a", "type": "STRING", "max": "4294967296"},
                           {"strAddress": "b", "type": "UINT8"})"),
         "[E] JSON: couldn't add the address [a]. err=80000001\n", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Parsed p = parse(c.text);
        EXPECT_EQ(c.log, p.log);
        EXPECT_EQ(c.initialized ? 0 : -1, p.info.generation());
        EXPECT_EQ(c.addresses, p.info.addressNum());
    }
}

TEST(ComponentInfoJSONTest, ElementSizesThatOverflowTheDataSizeAreRefused)
{
    const Parsed p = parse(withParameters(
        R"({"strAddress": "s", "type": "STRING", "max": "4294967295"},
           {"strAddress": "b", "type": "BINARY", "max": "1073741824", "patternX": "*4"},
           {"strAddress": "ok", "type": "BINARY", "max": "4"})"));
    EXPECT_NE(std::string::npos, p.log.find("[E] JSON: couldn't add the address [s]. err=80000001\n")) << p.log;
    EXPECT_NE(std::string::npos, p.log.find("[E] JSON: couldn't add the address [b]. err=80000001\n")) << p.log;
    ASSERT_EQ(1u, p.info.addressNum());
    EXPECT_EQ("ok", p.info.paramInfo(0).strAddress);
}

TEST(ComponentInfoJSONTest, TextThatIsNotJsonGivesAnEmptyDefinition)
{
    for (const char* text : {"", "{", "{\"component\": {} // comment\n}", "{'component': 1}", "\xff"}) {
        SCOPED_TRACE(text);
        const Parsed p = parse(text);
        EXPECT_FALSE(p.info.isValid());
        EXPECT_EQ(-1, p.info.generation());
        EXPECT_EQ(0u, p.log.rfind("message: [json.exception.parse_error.", 0)) << p.log;
        EXPECT_NE(std::string::npos, p.log.find("\nexception id: 101\n")) << p.log;
    }
    testing::internal::CaptureStdout();
    const ComponentInfo none = PDB::parseComponentInfoJSON(nullptr);
    EXPECT_EQ("[E] JSON: unknown exception occurred.\n", testing::internal::GetCapturedStdout());
    EXPECT_FALSE(none.isValid());
}

TEST(ComponentInfoJSONTest, NumberKeysCheckTypeAndRange)
{
    struct Case {
        const char* what;
        json value;
        JLIB::JResult result;
        uint32_t out;
        bool logged;
    };
    const Case cases[] = {
        {"unsigned", json(7u), 0, 7, false},
        {"largest", json(4294967295u), 0, 0xFFFFFFFF, false},
        {"whole float", json(3.0), 0, 3, false},
        {"true", json(true), 0, 1, false},
        {"false", json(false), 0, 0, false},
        {"too large", json(4294967296u), 0x80000000, 99, true},
        {"negative", json(-1), 0x80000000, 99, true},
        {"fraction", json(2.5), 0x80000000, 99, true},
        {"negative float", json(-1.0), 0x80000000, 99, true},
        {"huge float", json(1e300), 0x80000000, 99, true},
        {"text", json("5"), 0x80000000, 99, false},
        {"null", json(nullptr), 0x80000000, 99, false},
        {"object", json::object(), 0x80000000, 99, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const json holder = {{"k", c.value}};
        uint32_t out = 0xA5A5A5A5;
        testing::internal::CaptureStdout();
        EXPECT_EQ(c.result, PDB::getJsonValue(holder, "k", out, 99u));
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.out, out);
        EXPECT_EQ(c.logged, log.rfind("[E] JSON: 'k' ", 0) == 0) << log;
    }
    uint32_t out = 0xA5A5A5A5;
    EXPECT_EQ(0x80000000u, PDB::getJsonValue(json::array({1}), "k", out, 4u));
    EXPECT_EQ(4u, out);
}

TEST(ComponentInfoJSONTest, ComponentNumbersOutOfRangeFallBackToDefaults)
{
    const Parsed p = parse(R"({"component": {"name": "N", "majorVer": -2, "minX": 2.5, "maxX": 4294967297,
                                "maxY": true, "parameters": [{"strAddress": "a", "type": "UINT8"}]}})");
    EXPECT_NE(std::string::npos, p.log.find("[E] JSON: 'majorVer' ")) << p.log;
    EXPECT_NE(std::string::npos, p.log.find("[E] JSON: 'minX' ")) << p.log;
    EXPECT_NE(std::string::npos, p.log.find("[E] JSON: 'maxX' ")) << p.log;
    ASSERT_TRUE(p.info.isValid());
    EXPECT_EQ(0u, p.info.componentVersion());
    EXPECT_EQ(1u, p.info.minX());
    EXPECT_EQ(1u, p.info.maxX());
    EXPECT_EQ(1u, p.info.maxY());

    const Parsed textVersion = parse(R"({"component": {"name": "N", "majorVer": "3", "parameters": []}})");
    EXPECT_EQ("", textVersion.log);
    EXPECT_EQ(0u, textVersion.info.componentVersion());
}

TEST(ComponentInfoJSONTest, AttributeValuesKeepTheirLowEightBits)
{
    struct Case {
        const char* attr;
        uint8_t flags;
    };
    const Case cases[] = {
        {R"({})", 0x0F},
        {R"(5)", 0x0F},
        {R"({"recallable": 256, "nonvolatile": 257, "syncable": -256, "noeditflag": 0.0, "private": 512})", 0x02},
        {R"({"recallable": false, "nonvolatile": false, "syncable": false, "noeditflag": false, "private": 2})", 0x10},
        {R"({"recallable": "0", "private": null})", 0x0F},
        {R"({"private": 3.5, "recallable": 1e20})", 0x0F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attr);
        const std::string param = std::string(R"({"strAddress": "a", "type": "UINT8", "attr": )") + c.attr + "}";
        const Parsed p = parse(withParameters(param));
        ASSERT_EQ(1u, p.info.addressNum());
        EXPECT_EQ(c.flags, p.info.paramInfo(0).attr.flags());
    }
}

TEST(ComponentInfoJSONTest, JsonObjectLookupsYieldTheSharedNullValue)
{
    const json value = json::parse(R"({"a": [10, 20], "b": null})");
    EXPECT_EQ(json(20), PDB::getJsonObject(PDB::getJsonObject(value, "a"), 1u));
    const json& missing = PDB::getJsonObject(value, "z");
    EXPECT_TRUE(missing.is_null());
    EXPECT_EQ(&missing, &PDB::getJsonObject(PDB::getJsonObject(value, "a"), 2u));
    EXPECT_EQ(&missing, &PDB::getJsonObject(value, 0u));
    EXPECT_EQ(&missing, &PDB::getJsonObject(json(3), "a"));
    EXPECT_EQ(&missing, &PDB::getJsonObject(value, nullptr));

    std::string text = "poison";
    EXPECT_EQ(0x80000000u, PDB::getJsonValue(value, "a", text, "dflt"));
    EXPECT_EQ("dflt", text);
}

TEST(ComponentInfoJSONTest, DefinitionFilesRegisterAndNameTheirImages)
{
    char folder[] = "/tmp/uz_compdefs_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string path = std::string(folder) + "/Profile_1.json";
    {
        std::ofstream file(path);
        file << R"({"component": {"name": "FileProfile", "majorVer": 1, "minX": 1, "maxX": 4,
                   "parameters": [{"strAddress": "level", "type": "UINT16", "patternX": "*1", "max": "1000"}]}})";
    }
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    ComponentInfo info = PDB::parseComponentInfoJSON(text.str().c_str());
    EXPECT_EQ(0, std::remove(path.c_str()));
    EXPECT_EQ(0, std::remove(folder));

    ASSERT_EQ(0u, PDB::getComponentInfoRepository().addComponentInfo(info));
    ASSERT_EQ(0u, info.resize(3, 1, 0));
    ASSERT_EQ(0u, info.setUniqId(PDB::UniqId(9)));
    uint8_t image[92];
    ASSERT_EQ(0u, info.exportBinary(image, sizeof(image)));
    ComponentInfo back;
    uint32_t records = 0;
    ASSERT_EQ(0u, back.importBinary(image, sizeof(image), records));
    EXPECT_EQ(1u, records);
    EXPECT_EQ(3u, back.paramInfo(back.addressIndex("level")).numX);
    EXPECT_EQ(9u, back.uniqId().id());
}
