#include "compiler/compiler_ComponentDBConverter.h"

#include <gtest/gtest.h>

#include <string>

#include "CompilerTestDocuments.h"

namespace {

using CompilerTest::captureStdout;

struct Read {
    Compiler::ComponentDBConverter converter;
    std::string out;
};

void read(Read& r, const std::string& text)
{
    r.out = captureStdout([&] { EXPECT_EQ(0u, r.converter.fromJsonString(text)); });
}

const char* kFullText = R"({"componentDB": {"components": [
  {"name": "Mixer", "majorVersion": 2, "numX": 8, "numY": 2, "numInPort": 8, "numOutPort": 2, "extra": 1,
   "dspResources": [
     {"dspName": "DSP-A", "fsHz": 96000, "numSamplePerFrame": 32, "fixedDelay": 5,
      "resources": [{"name": "step", "size": 120}, {"name": "mem", "size": 4096}]},
     {"dspName": "DSP-B", "fsHz": 48000, "numSamplePerFrame": 64, "fixedDelay": 0, "resources": []}]},
  {"name": "Mixer", "majorVersion": 2, "numX": 8, "numY": 2}
]}})";

}  // namespace

TEST(ComponentDBConverterTest, ReadsEveryTypeInDocumentOrderWithDuplicates)
{
    Read r;
    read(r, kFullText);
    EXPECT_EQ("", r.out);
    const auto& types = r.converter.getComponentDB();
    ASSERT_EQ(2u, types.size());
    const Compiler::T_COMPONENTDB_COMPONENT& m = types[0];
    EXPECT_EQ("Mixer", m.name);
    EXPECT_EQ(2u, m.majorVersion);
    EXPECT_EQ(8u, m.numX);
    EXPECT_EQ(2u, m.numY);
    EXPECT_EQ(8u, m.numInPort);
    EXPECT_EQ(2u, m.numOutPort);
    ASSERT_EQ(2u, m.dspResources.size());
    EXPECT_EQ("DSP-A", m.dspResources[0].dspName);
    EXPECT_EQ(96000u, m.dspResources[0].fsHz);
    EXPECT_EQ(32u, m.dspResources[0].numSamplePerFrame);
    EXPECT_EQ(5u, m.dspResources[0].fixedDelay);
    ASSERT_EQ(2u, m.dspResources[0].resources.size());
    EXPECT_EQ("mem", m.dspResources[0].resources[1].name);
    EXPECT_EQ(4096u, m.dspResources[0].resources[1].size);
    EXPECT_EQ("DSP-B", m.dspResources[1].dspName);
    EXPECT_TRUE(m.dspResources[1].resources.empty());
    EXPECT_TRUE(types[1].dspResources.empty());  // the duplicate stays, its missing lists are empty
}

TEST(ComponentDBConverterTest, MissingPartsPrintTheirTagAndLeaveTheRecordEmpty)
{
    struct Case { const char* text; const char* out; };
    const Case cases[] = {
        {"null", "JSON: 'componentDB' tag not found.\n"},
        {"42", "JSON: 'componentDB' tag not found.\n"},
        {"[1, 2]", "JSON: 'componentDB' tag not found.\n"},
        {R"({"componentDB": {}})", "JSON: 'components' tag not found.\n"},
        {R"({"componentDB": 7})", "JSON: 'components' tag not found.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Read r;
        read(r, kFullText);
        read(r, c.text);  // replaces the full record
        EXPECT_EQ(c.out, r.out);
        EXPECT_TRUE(r.converter.getComponentDB().empty());
    }
}

TEST(ComponentDBConverterTest, TextTheLibraryRefusesPrintsItsMessageAndGivesAnEmptyRecord)
{
    for (const char* text : {"", "{", "{\"componentDB\": {\"components\": [}}", "not json", "{} x"}) {
        SCOPED_TRACE(text);
        Read r;
        read(r, kFullText);
        read(r, text);
        EXPECT_EQ(0u, r.out.find("message: [json.exception.parse_error.101]")) << r.out;
        EXPECT_NE(std::string::npos, r.out.find("\nexception id: 101\n")) << r.out;
        EXPECT_TRUE(r.converter.getComponentDB().empty());
    }
}

TEST(ComponentDBConverterTest, ListThatIsNoListReadsAsManyDefaultEntriesAsItsSize)
{
    struct Case { const char* components; size_t count; };
    const Case cases[] = {
        {R"("text")", 1}, {"5", 1}, {"true", 1}, {R"({"a": 1, "b": 2})", 2}, {"[]", 0}, {"{}", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.components);
        Read r;
        read(r, std::string(R"({"componentDB": {"components": )") + c.components + "}}");
        EXPECT_EQ("", r.out);
        const auto& types = r.converter.getComponentDB();
        ASSERT_EQ(c.count, types.size());
        for (const auto& t : types) {
            EXPECT_EQ("", t.name);
            EXPECT_EQ(0u, t.majorVersion);
            EXPECT_TRUE(t.dspResources.empty());
        }
    }
}

// Every reader shares these conversions; a plain cast would wrap negatives and make a large
// float undefined.
TEST(ComponentDBConverterTest, NumbersThatDoNotFitTheFieldTakeTheDefault)
{
    struct Case { const char* value; uint32_t numX; };
    const Case cases[] = {
        {"5", 5},           {"0", 0},          {"4294967295", 4294967295u}, {"4294967296", 0},
        {"-1", 0},          {"-0", 0},         {"2.5", 0},                  {"3.0", 3},
        {"1e3", 1000},      {"1e300", 0},      {"-1e300", 0},               {"4294967295.0", 4294967295u},
        {"4294967296.0", 0}, {"true", 1},      {"false", 0},                {"\"7\"", 0},
        {"null", 0},        {"[1]", 0},        {"{}", 0},                   {"18446744073709551615", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Read r;
        read(r, std::string(R"({"componentDB": {"components": [{"name": 5, "numX": )") + c.value + "}]}}");
        ASSERT_EQ(1u, r.converter.getComponentDB().size());
        EXPECT_EQ(c.numX, r.converter.getComponentDB()[0].numX);
        EXPECT_EQ("", r.converter.getComponentDB()[0].name);  // a number is no text
    }
}
