#include "compiler/compiler_DspSystemDBConverter.h"

#include <gtest/gtest.h>

#include <string>

#include "CompilerTestDocuments.h"

namespace {

using CompilerTest::captureStdout;

struct Read {
    Compiler::DspSystemDBConverter converter;
    std::string out;
};

void read(Read& r, const std::string& text)
{
    r.out = captureStdout([&] { EXPECT_EQ(0u, r.converter.fromJsonString(text)); });
}

}  // namespace

TEST(DspSystemDBConverterTest, ReadsSystemsAndNumbersDspsAndCoresByPosition)
{
    Read r;
    read(r, R"({"dspSystemDB": {"dspSystems": [
      {"name": "OPV256-D", "fsHz": 96000, "numSamplePerFrame": 32, "dsps": [
        {"dspNo": 9, "name": "DSP-A", "cores": [
          {"coreNo": 7, "resources": [{"name": "step", "offset": 16, "size": 333333, "shared": true},
                                      {"name": "mem", "size": 8589934592}]},
          {"resources": []}]},
        {"name": "DSP-B"}]},
      {"name": "Other", "fsHz": "96000", "numSamplePerFrame": 64}
    ]}})");
    EXPECT_EQ("", r.out);
    const auto& systems = r.converter.getDspSystemDB();
    ASSERT_EQ(2u, systems.size());
    ASSERT_EQ(2u, systems[0].dsps.size());
    const auto& dspA = systems[0].dsps[0];
    EXPECT_EQ(0u, dspA.dspNo);  // the position, not the member
    EXPECT_EQ("DSP-A", dspA.name);
    ASSERT_EQ(2u, dspA.cores.size());
    EXPECT_EQ(0u, dspA.cores[0].coreNo);
    EXPECT_EQ(1u, dspA.cores[1].coreNo);
    const auto& step = dspA.cores[0].resources[0];
    EXPECT_EQ("step", step.name);
    EXPECT_EQ(16u, step.offset);
    EXPECT_EQ(333333u, step.size);
    EXPECT_TRUE(step.shared);
    const auto& mem = dspA.cores[0].resources[1];
    EXPECT_EQ(0u, mem.offset);               // absent
    EXPECT_EQ(8589934592ull, mem.size);      // 64-bit
    EXPECT_FALSE(mem.shared);
    EXPECT_EQ(1u, systems[0].dsps[1].dspNo);
    EXPECT_TRUE(systems[0].dsps[1].cores.empty());
    EXPECT_EQ(0u, systems[1].fsHz);  // a text is no number
    EXPECT_EQ(64u, systems[1].numSamplePerFrame);
}

TEST(DspSystemDBConverterTest, MembersOfTheWrongKindOrWidthTakeTheirDefaults)
{
    Read r;
    read(r, R"({"dspSystemDB": {"dspSystems": [{"name": "S", "dsps": [{"name": "D", "cores": [{"resources": [
      {"name": "step", "offset": 4294967296, "size": -5, "shared": 1},
      {"name": ["x"], "offset": 1.5, "size": 18446744073709551615, "shared": "true"}]}]}]}]}})");
    const auto& resources = r.converter.getDspSystemDB().at(0).dsps.at(0).cores.at(0).resources;
    ASSERT_EQ(2u, resources.size());
    EXPECT_EQ(0u, resources[0].offset);  // 32-bit field
    EXPECT_EQ(0u, resources[0].size);
    EXPECT_FALSE(resources[0].shared);   // 1 is no flag
    EXPECT_EQ("", resources[1].name);
    EXPECT_EQ(0u, resources[1].offset);
    EXPECT_EQ(UINT64_MAX, resources[1].size);
    EXPECT_FALSE(resources[1].shared);
}

TEST(DspSystemDBConverterTest, MissingPartsPrintTheirTag)
{
    struct Case { const char* text; const char* out; };
    const Case cases[] = {
        {"null", "JSON: 'dspSystemDB' tag not found.\n"},
        {R"({"dspSystems": []})", "JSON: 'dspSystemDB' tag not found.\n"},
        {R"({"dspSystemDB": {"systems": []}})", "JSON: 'dspSystems' tag not found.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Read r;
        read(r, c.text);
        EXPECT_EQ(c.out, r.out);
        EXPECT_TRUE(r.converter.getDspSystemDB().empty());
    }
    Read r;
    read(r, "[");
    EXPECT_EQ(0u, r.out.find("message: ")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("exception id: 101\n")) << r.out;
}
