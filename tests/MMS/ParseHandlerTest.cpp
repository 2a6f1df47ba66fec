// XML definition files read into a recording field (the elements and attributes each build
// operation receives, the lenient skipping, the build options and the result codes) and into a
// real field (what the built root then answers).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/Common/mms_Field.h"
#include "MMS/Common/mms_PrmAttrib.h"
#include "MMS/mms_ParseHandler.h"
#include "RecordingField.h"

namespace {

using MMS::BUILD_OPTION;
using MMS::XmlParser;
using MmsTreeTest::AddedNode;
using MmsTreeTest::RecordingField;

const T_MMS_SCRIPT_MACRO kMacros[] = {{"N", 3}, {"CH", 8}};

uint32_t parse(RecordingField& field, const std::string& xml, BUILD_OPTION option = MMS::BUILD_OPTION_FINISH,
               const T_MMS_SCRIPT_MACRO* macros = kMacros, uint32_t count = 2)
{
    return XmlParser::Parse(&field, "Desc", 4, "Root", 4, xml.data(), static_cast<uint32_t>(xml.size()), option,
                            macros, count);
}

// One parameter of the given type with the given attribute elements, in the top collection.
std::string oneParameter(const std::string& type, const std::string& body)
{
    return "<function name=\"Top\"><collections><parameter name=\"p\" type=\"" + type + "\">" + body +
           "</parameter></collections></function>";
}

class ParseHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { (void)MmsTest::heap1(); }
};

TEST_F(ParseHandlerTest, BuildsTheWholeDefinition)
{
    RecordingField field;
    const std::string xml =
        "<?xml version=\"1.0\"?>\n"
        "<function name=\" Top\t\" collections=\"3\" parameters=\"$N\" stringsize=\"0x20\" datasize=\"9\""
        " version=\"  01.02.03 A trailing\">\n"
        " <collections>\n"
        "  <parameter name=\"gain\" type=\"int16_t\" arraysize=\"$CH\">\n"
        "   <minimum>-5</minimum><maximum>$CH*100</maximum><default>0</default><step>1</step>\n"
        "   <unit>dB</unit><scaling>10</scaling><kind>2</kind><nameformat>Gain %d</nameformat>\n"
        "  </parameter>\n"
        "  <collection name=\"Ch\" arraysize=\"2\">\n"
        "   <collection name=\"Eq\"><parameter name=\"freq\" type=\"float\"><default>1.5</default></parameter></collection>\n"
        "   <parameter name=\"label\" type=\"string\"><maximum>8</maximum><default>abc</default></parameter>\n"
        "  </collection>\n"
        " </collections>\n"
        "</function>\n";
    EXPECT_EQ(parse(field, xml), 0u);
    EXPECT_EQ(field.calls.front(), "startBuild");
    EXPECT_EQ(field.calls.back(), "finishBuild");
    EXPECT_EQ(field.rootName, "Root");
    EXPECT_EQ(field.topName, "Top");
    EXPECT_EQ(field.descName, "Desc");
    EXPECT_EQ(field.version, "01.02.03 A");
    EXPECT_EQ(field.counts[0], 3u);
    EXPECT_EQ(field.counts[1], 3u);
    EXPECT_EQ(field.counts[2], 32u);

    ASSERT_EQ(field.nodes.size(), 5u);
    const AddedNode* gain = field.node("gain");
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->depth, 0u);
    EXPECT_EQ(gain->arraySize, 8u);
    EXPECT_EQ(gain->type, 0x002u);
    for (bool has : gain->has) (void)has;
    EXPECT_TRUE(gain->has[0] && gain->has[1] && gain->has[2] && gain->has[3]);
    EXPECT_FALSE(gain->has[4]);
    EXPECT_EQ(gain->values[0].toInt32(), -5);
    EXPECT_EQ(gain->values[1].toInt32(), 800);
    EXPECT_EQ(gain->unit, "dB");
    EXPECT_EQ(gain->unitSize, 3u);
    EXPECT_EQ(gain->scaling, 10u);
    EXPECT_EQ(gain->kind, 2u);
    EXPECT_EQ(gain->nameFormat, "Gain %d");
    EXPECT_EQ(gain->nameFormatSize, 8u);

    // Node paths: Ch at depth 0 got index 1, Eq under it at depth 1 got index 2.
    const AddedNode* eq = field.node("Eq");
    ASSERT_NE(eq, nullptr);
    EXPECT_EQ(eq->depth, 1u);
    EXPECT_EQ(eq->path, (std::vector<unsigned>{1}));
    const AddedNode* freq = field.node("freq");
    ASSERT_NE(freq, nullptr);
    EXPECT_EQ(freq->depth, 2u);
    EXPECT_EQ(freq->path, (std::vector<unsigned>{1, 2}));
    EXPECT_FLOAT_EQ(freq->values[2].toFloat(), 1.5f);
    EXPECT_EQ(freq->unit, "(null)");
    EXPECT_EQ(freq->unitSize, 0u);
    EXPECT_EQ(freq->scaling, 1u);
    const AddedNode* label = field.node("label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->depth, 1u);  // back under Ch after Eq closed
    EXPECT_EQ(label->values[1].toUInt32(), 8u);
    EXPECT_STREQ(label->values[2].toString(), "abc");
}

// What each attribute element gives, by parameter type.
// The same kind of definition built for real: the root answers with what the file says.
TEST_F(ParseHandlerTest, BuildsARootThatAnswersForTheDefinition)
{
    MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
    const std::string xml =
        "<function name=\"Top\" stringsize=\"64\" version=\"01.02.03 A\">\n"
        " <collections>\n"
        "  <parameter name=\"gain\" type=\"int16_t\" arraysize=\"$N\">\n"
        "   <minimum>-5</minimum><maximum>$CH*100</maximum><default>7</default><step>1</step>\n"
        "   <unit>dB</unit><scaling>10</scaling><kind>2</kind><default>9</default>\n"
        "  </parameter>\n"
        "  <parameter name=\"bad\" type=\"int\"/>\n"
        "  <collection name=\"Ch\" arraysize=\"2\">\n"
        "   <collection name=\"Eq\"><parameter name=\"freq\" type=\"float\"><minimum>0.0</minimum>"
        "<maximum>2.0</maximum><default>1.5</default></parameter></collection>\n"
        "   <parameter name=\"label\" type=\"string\"><maximum>8</maximum><default>abc</default></parameter>\n"
        "  </collection>\n"
        " </collections>\n"
        "</function>\n";
    // Units and string values live in the root's string memory, sized by stringsize.
    ASSERT_EQ(XmlParser::Parse(&field, "Desc", 5, "Template", 9, xml.data(), static_cast<uint32_t>(xml.size()),
                               MMS::BUILD_OPTION_FINISH, kMacros, 2),
              0u);
    uint8_t status = 0;
    ASSERT_EQ(field.getStatus(&status), 0u);
    EXPECT_EQ(status, 2u);
    char text[24] = {};
    ASSERT_EQ(field.getDescName(text, "Template"), 0u);
    EXPECT_STREQ(text, "Desc");
    ASSERT_EQ(field.getDescVersion(text, "Template"), 0u);
    EXPECT_STREQ(text, "01.02.03 A");
    uint32_t collections = 0, parameters = 0;
    ASSERT_EQ(field.getNodeAddrNum(&collections, &parameters, "Template"), 0u);
    EXPECT_EQ(collections, 3u);  // the top, Ch and Eq
    EXPECT_EQ(parameters, 3u);   // "bad" was skipped

    MMS::T_PRM_ATTRIB gain;
    ASSERT_EQ(field.getPrmAttrib(&gain, "Template", "gain", 5), 0u);
    EXPECT_EQ(gain.type, 0x002u);
    EXPECT_EQ(gain.minimum.toInt32(), -5);
    EXPECT_EQ(gain.maximum.toInt32(), 800);
    EXPECT_EQ(gain.defaultValue.toInt32(), 7);  // the first default counts
    EXPECT_EQ(gain.scaling, 10u);
    EXPECT_EQ(gain.kind, 2u);
    EXPECT_STREQ(gain.unit, "dB");
    uint32_t size = 0;
    ASSERT_EQ(field.getNodeArraySize(&size, "Template", "gain", 5), 0u);
    EXPECT_EQ(size, 3u);
    ASSERT_EQ(field.getNodeArraySize(&size, "Template", "Ch", 3), 0u);
    EXPECT_EQ(size, 2u);

    // The defaults are written when the build finishes: every element reads its default.
    JVariant value;
    const uint32_t second[3] = {1, 0, 0};
    ASSERT_EQ(field.getPrm(&value, nullptr, "Template", "Ch/Eq/freq", 11, second, 3, 0, 0), 0u);
    EXPECT_FLOAT_EQ(value.toFloat(), 1.5f);
    ASSERT_EQ(field.getPrm(&value, nullptr, "Template", "Ch/label", 9, second, 2, 0, 0), 0u);
    EXPECT_STREQ(value.toString(), "abc");
}

TEST_F(ParseHandlerTest, AttributeReadingsByType)
{
    struct Case {
        const char* type;
        const char* body;
        int category;   // attribute checked
        bool stored;
        double value;   // numeric value when stored (ignored for strings)
    };
    const Case cases[] = {
        {"int16_t", "<minimum>-5</minimum>", 0, true, -5},
        {"uint16_t", "<minimum>-5</minimum>", 0, false, 0},
        {"int16_t", "<minimum> -5</minimum>", 0, true, 0},   // a blank makes it an expression: 0
        {"uint16_t", "<minimum> -5</minimum>", 0, false, 0},
        {"int16_t", "<minimum>\n5</minimum>", 0, true, 0},   // so does a leading line break
        {"int16_t", "<step>-1</step>", 3, false, 0},
        {"int16_t", "<step>0-1</step>", 3, false, 0},
        {"uint8_t", "<step>2</step>", 3, true, 2},
        {"int32_t", "<minimum>1.5</minimum>", 0, false, 0},
        {"float", "<default>1.5</default>", 2, true, 1.5},
        {"double", "<default>2.0</default>", 2, true, 2.0},
        {"float", "<default>2</default>", 2, false, 0},
        {"float", "<default>1+1</default>", 2, false, 0},
        {"float", "<step>-0.5</step>", 3, false, 0},
        {"float", "<step>0.0</step>", 3, true, 0.0},
        {"bit", "<maximum>1</maximum>", 1, true, 1},
        {"bit", "<maximum>-1</maximum>", 1, false, 0},
        {"uint32_t", "<nominal>$N*2</nominal>", 4, true, 6},
        {"int8_t", "<default>7</default><default>9</default>", 2, true, 7},   // first occurrence only
        {"uint8_t", "<default>x</default><default>9</default>", 2, true, 9},  // a dropped one does not count
        {"int8_t", "<default>x</default><default>9</default>", 2, true, 0},   // a failed expression is a signed 0
        {"string", "<minimum>3</minimum>", 0, false, 0},
        {"string", "<step>3</step>", 3, false, 0},
        {"string", "<maximum>-3</maximum>", 1, false, 0},
        {"string", "<maximum>12</maximum>", 1, true, 12},
    };
    for (const Case& c : cases) {
        RecordingField field;
        EXPECT_EQ(parse(field, oneParameter(c.type, c.body)), 0u) << c.type << " " << c.body;
        const AddedNode* p = field.node("p");
        ASSERT_NE(p, nullptr) << c.type << " " << c.body;
        EXPECT_EQ(p->has[c.category], c.stored) << c.type << " " << c.body;
        if (c.stored && c.value != 0) {
            EXPECT_DOUBLE_EQ(p->values[c.category].toDouble(), c.value) << c.type << " " << c.body;
        }
        if (c.stored && c.value == 0) {
            EXPECT_EQ(p->values[c.category].toDouble(), 0.0) << c.type << " " << c.body;
        }
    }
}

TEST_F(ParseHandlerTest, TextsAreCut)
{
    RecordingField field;
    const std::string unit(30, 'u');
    const std::string format(80, 'f');
    const std::string text(300, 't');
    EXPECT_EQ(parse(field, oneParameter("string", "<unit>" + unit + "</unit><nameformat>" + format +
                                                      "</nameformat><default>" + text + "</default><nominal>ab<x>cd</x>ef</nominal>")),
              0u);
    const AddedNode* p = field.node("p");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->unit, std::string(23, 'u'));
    EXPECT_EQ(p->unitSize, 24u);
    EXPECT_EQ(p->nameFormat, std::string(64, 'f'));
    EXPECT_EQ(p->nameFormatSize, 65u);
    EXPECT_EQ(std::string(p->values[2].toString()), std::string(255, 't'));
    EXPECT_STREQ(p->values[4].toString(), "abef");  // text of a skipped inner element is not collected
}

TEST_F(ParseHandlerTest, ArraySizes)
{
    const char* cases[][2] = {{"0", "1"}, {"-2", "1"}, {"$NOPE", "1"}, {"1.5", "1"}, {"$N+1", "4"}, {"", "1"}, {"5", "5"}};
    for (const auto& c : cases) {
        RecordingField field;
        const std::string xml = std::string("<function name=\"T\"><collections><collection name=\"c\" arraysize=\"") + c[0] +
                                "\"><parameter name=\"p\" type=\"bit\" arraysize=\"" + c[0] +
                                "\"/></collection></collections></function>";
        EXPECT_EQ(parse(field, xml), 0u) << c[0];
        ASSERT_NE(field.node("c"), nullptr) << c[0];
        ASSERT_NE(field.node("p"), nullptr) << c[0];
        EXPECT_EQ(field.node("c")->arraySize, std::stoul(c[1])) << c[0];
        EXPECT_EQ(field.node("p")->arraySize, std::stoul(c[1])) << c[0];
    }
}

TEST_F(ParseHandlerTest, FaultyElementsAreSkipped)
{
    RecordingField field;
    field.refuseNode = "refusedC";
    const std::string xml =
        "<function name=\"T\"><collections>"
        "<collection name=\"c1\"><collection name=\"c2\"><collection name=\"c3\"><collection name=\"c4\">"
        "<parameter name=\"deep4\" type=\"bit\"/>"
        "<collection name=\"c5\"><parameter name=\"deep5\" type=\"bit\"/></collection>"
        "</collection></collection></collection></collection>"
        "<parameter name=\"badType\" type=\"int\"><default>1</default></parameter>"
        "<parameter name=\"noType\"/>"
        "<parameter name=\"a/b\" type=\"bit\"/>"
        "<parameter name=\"averyveryverylongname_24\" type=\"bit\"/>"
        "<collection name=\"bad name\"><parameter name=\"inBad\" type=\"bit\"/></collection>"
        "<collection name=\"refusedC\"><parameter name=\"inRefused\" type=\"bit\"/></collection>"
        "<unknown><parameter name=\"inUnknown\" type=\"bit\"/></unknown>"
        "<parameter name=\"last\" type=\"bit\"><other>1</other><default>1</default></parameter>"
        "</collections></function>";
    EXPECT_EQ(parse(field, xml), 0u);
    for (const char* built : {"c1", "c2", "c3", "c4", "deep4", "last"}) EXPECT_NE(field.node(built), nullptr) << built;
    for (const char* skipped : {"c5", "deep5", "badType", "noType", "a/b", "inBad", "inRefused", "inUnknown",
                                "averyveryverylongname_24"})
        EXPECT_EQ(field.node(skipped), nullptr) << skipped;
    EXPECT_EQ(field.node("deep4")->depth, 4u);
    EXPECT_EQ(field.node("last")->depth, 0u);
    EXPECT_TRUE(field.node("last")->has[2]);
}

TEST_F(ParseHandlerTest, FunctionFaultsStopTheParse)
{
    {
        RecordingField field;
        EXPECT_EQ(parse(field, "<function><collections><parameter name=\"p\" type=\"bit\"/></collections></function>"), 0x80010010u);
        EXPECT_FALSE(field.called("startBuild"));
        EXPECT_FALSE(field.called("createRoot"));
        EXPECT_TRUE(field.nodes.empty());
    }
    {
        RecordingField field;
        EXPECT_EQ(parse(field, "<function name=\"a b\"/>"), 0x80010010u);
    }
    {
        RecordingField field;
        field.createResult = 0x80000006u;
        EXPECT_EQ(parse(field, oneParameter("bit", "")), 0x80010010u);
        EXPECT_TRUE(field.nodes.empty());
    }
    {
        RecordingField field;
        field.startResult = 0x80000004u;
        field.status = 3;
        EXPECT_EQ(parse(field, oneParameter("bit", "")), 0x80010010u);
        EXPECT_FALSE(field.called("createRoot"));
    }
}

TEST_F(ParseHandlerTest, DocumentsThatBuildNothing)
{
    RecordingField field;
    EXPECT_EQ(parse(field, "<other name=\"x\"><function name=\"T\"/></other>"), 0u);
    EXPECT_FALSE(field.called("createRoot"));
    RecordingField broken;
    EXPECT_EQ(parse(broken, "<function name=\"T\"><collections></function>"), 0x80010010u);
    RecordingField cut;
    const std::string withNul = oneParameter("bit", "") + std::string("\0<junk", 6);
    EXPECT_EQ(parse(cut, withNul), 0u);
    EXPECT_NE(cut.node("p"), nullptr);
    RecordingField unfinished;
    const std::string early = std::string("<function name=\"T\"><collec\0tions/></function>", 45);
    EXPECT_EQ(parse(unfinished, early), 0x80010010u);
}

TEST_F(ParseHandlerTest, BuildOptionsAndTheEnd)
{
    struct Case {
        BUILD_OPTION option;
        uint32_t endResult;
        unsigned char statusAtEnd;  // set before the parse; startBuild moves 2 to 1
        uint32_t expected;
        const char* lastCall;
    };
    const Case cases[] = {
        {MMS::BUILD_OPTION_FINISH, 0, 2, 0, "finishBuild"},
        {MMS::BUILD_OPTION_FINISH, 0x80000005u, 2, 0, "finishBuild"},  // missing defaults are fine
        {MMS::BUILD_OPTION_FINISH, 0x80000004u, 2, 0x80010011u, "finishBuild"},
        {MMS::BUILD_OPTION_FINISH, 0x80000003u, 2, 0x80010080u, "finishBuild"},
        {MMS::BUILD_OPTION_LINK, 0x80000005u, 2, 0, "linkBuild"},
        {MMS::BUILD_OPTION_LINK, 0x80000002u, 2, 0x80010000u, "linkBuild"},
        {MMS::BUILD_OPTION_START, 0x80000004u, 2, 0, "addPrm p"},
        {MMS::BUILD_OPTION_NONE, 0x80000004u, 1, 0, "addPrm p"},
    };
    for (const Case& c : cases) {
        RecordingField field;
        field.endResult = c.endResult;
        field.status = c.statusAtEnd;
        EXPECT_EQ(parse(field, oneParameter("bit", ""), c.option), c.expected) << c.option << " " << c.endResult;
        EXPECT_EQ(field.calls.back(), c.lastCall) << c.option;
        EXPECT_EQ(field.called("startBuild"), c.option != MMS::BUILD_OPTION_NONE);
    }
    // A field that cannot tell its status, or has failed, is in no state to finish.
    RecordingField failed;
    failed.statusResult = 0x80000002u;
    EXPECT_EQ(parse(failed, oneParameter("bit", "")), 0x80010011u);
    EXPECT_FALSE(failed.called("finishBuild"));
}

TEST_F(ParseHandlerTest, ArgumentsAndMacroTables)
{
    RecordingField field;
    const char xml[] = "<function name=\"T\"/>";
    EXPECT_EQ(XmlParser::Parse(nullptr, "D", 1, "R", 1, xml, sizeof xml - 1, MMS::BUILD_OPTION_FINISH, nullptr, 0), 0x80010000u);
    EXPECT_EQ(XmlParser::Parse(&field, "D", 1, nullptr, 1, xml, sizeof xml - 1, MMS::BUILD_OPTION_FINISH, nullptr, 0), 0x80010000u);
    EXPECT_EQ(XmlParser::Parse(&field, "D", 1, "R", 0, xml, sizeof xml - 1, MMS::BUILD_OPTION_FINISH, nullptr, 0), 0x80010000u);
    EXPECT_EQ(XmlParser::Parse(&field, "D", 1, "R", 1, xml, 0, MMS::BUILD_OPTION_FINISH, nullptr, 0), 0x80010000u);
    EXPECT_TRUE(field.calls.empty());
    // Names are cut at their length and at 23 characters.
    EXPECT_EQ(XmlParser::Parse(&field, "Description_longer_than_24", 100, "Rooted", 4, xml, sizeof xml - 1,
                               MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0u);
    EXPECT_EQ(field.rootName, "Root");
    EXPECT_EQ(field.descName, "Description_longer_than");

    EXPECT_EQ(XmlParser::setScriptMacros(nullptr, 2), 0x80010000u);
    const T_MMS_SCRIPT_MACRO defaults[] = {{"N", 11}};
    ASSERT_EQ(XmlParser::setScriptMacros(defaults, 1), 0u);
    RecordingField withDefault;
    EXPECT_EQ(parse(withDefault, oneParameter("uint8_t", "<default>$N</default>"), MMS::BUILD_OPTION_FINISH, nullptr, 0), 0u);
    EXPECT_EQ(withDefault.node("p")->values[2].toInt32(), 11);
    RecordingField withOwn;
    EXPECT_EQ(parse(withOwn, oneParameter("uint8_t", "<default>$N</default>")), 0u);
    EXPECT_EQ(withOwn.node("p")->values[2].toInt32(), 3);
    ASSERT_EQ(XmlParser::setScriptMacros(nullptr, 0), 0u);
}

TEST_F(ParseHandlerTest, FileForm)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mms_tree_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // Long enough for several slices, one slice boundary inside an attribute text.
    std::string body;
    for (int i = 0; i < 40; ++i) body += "<parameter name=\"p" + std::to_string(i) + "\" type=\"uint8_t\"><default>" + std::to_string(i) + "</default></parameter>\n";
    const std::string xml = "<function name=\"T\" parameters=\"40\"><collections>" + body + "</collections></function>";
    { std::ofstream(dir / "def.xml", std::ios::binary) << xml; }
    // Exactly two slices: the last read gives 0 bytes.
    std::string exact = "<function name=\"T\"/>";
    exact.append(512 - exact.size(), ' ');
    { std::ofstream(dir / "exact.xml", std::ios::binary) << exact; }
    const std::string d = dir.string();

    RecordingField field;
    EXPECT_EQ(XmlParser::Parse(&field, "D", 1, "R", 1, d.c_str(), static_cast<uint32_t>(d.size()), "def.xml", 7,
                               MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0u);
    ASSERT_EQ(field.nodes.size(), 40u);
    EXPECT_EQ(field.node("p39")->values[2].toUInt32(), 39u);

    RecordingField exactField;
    EXPECT_EQ(XmlParser::Parse(&exactField, "D", 1, "R", 1, d.c_str(), static_cast<uint32_t>(d.size()), "exact.xml", 99,
                               MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0u);
    EXPECT_TRUE(exactField.called("createRoot"));

    RecordingField missing;
    EXPECT_EQ(XmlParser::Parse(&missing, "D", 1, "R", 1, d.c_str(), static_cast<uint32_t>(d.size()), "none.xml", 8,
                               MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0x80010020u);
    EXPECT_TRUE(missing.calls.empty());
    EXPECT_EQ(XmlParser::Parse(&missing, "D", 1, "R", 1, d.c_str(), 0, "def.xml", 7, MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0x80010000u);
    EXPECT_EQ(XmlParser::Parse(&missing, "D", 1, "R", 1, d.c_str(), static_cast<uint32_t>(d.size()), nullptr, 7,
                               MMS::BUILD_OPTION_FINISH, nullptr, 0),
              0x80010000u);
    std::filesystem::remove_all(dir);
}

// Node counts read from a file size the root's node areas; counts whose areas would not fit in
// 32 bits are refused by the root, so the parse fails and the field keeps no root.
TEST_F(ParseHandlerTest, CountsBeyondTheNodeAreasAreRefused)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mms_tree_counts_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string d = dir.string();
    const char* counts[] = {
        "collections=\"0xFFFFFFFF\" parameters=\"0xFFFFFFFF\" stringsize=\"0xFFFFFFFF\"",
        "collections=\"2\" parameters=\"0x40000000\"",
        "collections=\"0x7FFFFFFF\" parameters=\"3\"",
    };
    for (const char* c : counts) {
        SCOPED_TRACE(c);
        { std::ofstream(dir / "big.xml", std::ios::binary) << "<function name=\"T\" " << c << "><collections>"
                                                           "<parameter name=\"p\" type=\"bit\"/></collections></function>"; }
        MMS::Field field(nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(XmlParser::Parse(&field, "D", 1, "Template", 9, d.c_str(), static_cast<uint32_t>(d.size()), "big.xml", 8,
                                   MMS::BUILD_OPTION_FINISH, nullptr, 0),
                  0x80010010u);
        uint32_t roots = 99;
        ASSERT_EQ(field.getRootNum(&roots), 0u);
        EXPECT_EQ(roots, 0u);
    }
    std::filesystem::remove_all(dir);
}

TEST_F(ParseHandlerTest, NameVersionAndCodeRules)
{
    struct NameCase {
        const char* text;
        uint32_t expected;
        const char* name;
    };
    const NameCase names[] = {{" \tab \t", 0, "ab"}, {"abcdefghijklmnopqrstuvw", 0, "abcdefghijklmnopqrstuvw"},
                              {"abcdefghijklmnopqrstuvwx", 0x80010012u, ""}, {"  ", 0x80010012u, ""},
                              {"a b", 0x80010012u, ""}, {"a/b", 0x80010012u, ""}, {nullptr, 0x80010000u, ""}};
    for (const NameCase& c : names) {
        char out[24] = {};
        EXPECT_EQ(MMS::Parser::extractName(out, 24, c.text), c.expected) << (c.text ? c.text : "(null)");
        if (c.expected == 0) {
            EXPECT_STREQ(out, c.name);
        }
    }
    struct VersionCase {
        const char* text;
        bool ok;
        const char* version;
    };
    const VersionCase versions[] = {{"01.02.03", true, "01.02.03"}, {"\t 01.02.03 A", true, "01.02.03 A"},
                                    {"01.02.03 zzz", true, "01.02.03 z"}, {"01.02.03 1", false, ""},
                                    {"01.02.03x", false, ""}, {"1.02.03", false, ""}, {"01-02-03", false, ""},
                                    {"01.02.0", false, ""}, {"01.02.03 ", false, ""}, {"", false, ""}};
    for (const VersionCase& c : versions) {
        char out[12];
        std::memset(out, 'X', sizeof out);
        EXPECT_EQ(MMS::Parser::extractVersion(out, c.text), c.ok ? 0u : 0x80010012u) << c.text;
        if (c.ok) {
            EXPECT_STREQ(out, c.version);
            EXPECT_EQ(out[11], '\0');
        }
    }
    const uint32_t codes[][2] = {{0, 0}, {0x8100, 0}, {0x80000002u, 0x80010000u}, {0x80000003u, 0x80010080u},
                                 {0x80000006u, 0x80010011u}, {0x80010002u, 0x80010000u}, {0x80000000u, 0x80010011u}};
    for (const auto& c : codes) EXPECT_EQ(MMS::Parser::cnvMmsErr2ParserErr(c[0]), c[1]) << std::hex << c[0];
}

}  // namespace
