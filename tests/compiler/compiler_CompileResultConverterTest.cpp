#include "compiler/compiler_CompileResultConverter.h"

#include <gtest/gtest.h>

#include <string>

#include "CompilerTestDocuments.h"

namespace {

using Compiler::T_COMPILERESULT;
using Compiler::T_COMPILERESULT_DSPASSIGNMENT;

T_COMPILERESULT_DSPASSIGNMENT assignment(uint32_t core, uint64_t offset, uint32_t size, uint32_t uid, uint32_t pre)
{
    T_COMPILERESULT_DSPASSIGNMENT a;
    a.dspNo = 0;
    a.coreNo = core;
    a.uniqID = uid;
    a.preUniqID = pre;
    a.resources = {{"mem", 77, 8}, {"step", offset, size}, {"step", 999, 999}};
    return a;
}

std::string write(const T_COMPILERESULT& result, uint32_t expected)
{
    Compiler::CompileResultConverter converter;
    EXPECT_EQ(0u, converter.setCompileResult(result));
    std::string text = "stale";
    std::string out = CompilerTest::captureStdout([&] { EXPECT_EQ(expected, converter.toJsonString(text)); });
    (void)out;
    return text;
}

}  // namespace

TEST(CompileResultConverterTest, WritesTheDocumentSortedWithIndentTwoAndNoFinalLineFeed)
{
    T_COMPILERESULT r;
    r.dspSystem = {"OPV256-D", 96000, 32, 64, true, 0x80000002u};
    r.components = {{20, "Gain", 1, 2, 1}, {10, "Mixer", 3, 8, 2}, {20, "Gain", 1, 2, 1}};
    r.connections = {{20, 0, 30, 1}, {10, 1, 20, 0}};
    r.dspAssignments = {assignment(0, 100, 50, 20, 10), assignment(0, 0, 100, 10, 0)};
    T_COMPILERESULT_DSPASSIGNMENT noStep;
    noStep.dspNo = 1;
    noStep.uniqID = 30;
    noStep.resources = {{"Step", 5, 5}};  // names match exactly
    r.dspAssignments.push_back(noStep);
    r.logicConnections = {{30, 0, 10, 0}};

    const std::string expected = R"({
  "compileResult": {
    "components": [
      {
        "majorVersion": 3,
        "name": "Mixer",
        "numX": 8,
        "numY": 2,
        "uniqID": 10
      },
      {
        "majorVersion": 1,
        "name": "Gain",
        "numX": 2,
        "numY": 1,
        "uniqID": 20
      }
    ],
    "connections": [
      {
        "fromPortNo": 1,
        "fromUniqID": 10,
        "toPortNo": 0,
        "toUniqID": 20
      },
      {
        "fromPortNo": 0,
        "fromUniqID": 20,
        "toPortNo": 1,
        "toUniqID": 30
      }
    ],
    "dspAssignments": [
      {
        "coreNo": 0,
        "dspNo": 0,
        "preUniqID": 0,
        "stepOffset": 0,
        "stepSize": 100,
        "uniqID": 10
      },
      {
        "coreNo": 0,
        "dspNo": 0,
        "preUniqID": 10,
        "stepOffset": 100,
        "stepSize": 50,
        "uniqID": 20
      },
      {
        "coreNo": 0,
        "dspNo": 1,
        "preUniqID": 0,
        "stepOffset": 0,
        "stepSize": 0,
        "uniqID": 30
      }
    ],
    "dspSystem": {
      "delayCompensation": true,
      "fsHz": 96000,
      "name": "OPV256-D",
      "numSamplePerFrame": 32,
      "renderSamples": 64,
      "result": 2147483650
    },
    "logicConnections": [
      {
        "fromPortNo": 0,
        "fromUniqID": 30,
        "toPortNo": 0,
        "toUniqID": 10
      }
    ]
  }
})";
    EXPECT_EQ(expected, write(r, 0));
}

TEST(CompileResultConverterTest, EmptyListsAreWrittenAndLargeValuesStayWhole)
{
    T_COMPILERESULT r;
    r.dspSystem = {"S \xC3\xA9", 0, 0, 0, false, 0x80000000u};  // written as it is, not escaped
    T_COMPILERESULT_DSPASSIGNMENT a;
    a.resources = {{"step", 0x100000000ull, 0xFFFFFFFFu}};
    const std::string empty = R"({
  "compileResult": {
    "components": [],
    "connections": [],
    "dspAssignments": [],
    "dspSystem": {
      "delayCompensation": false,
      "fsHz": 0,
      "name": "S é",
      "numSamplePerFrame": 0,
      "renderSamples": 0,
      "result": 2147483648
    },
    "logicConnections": []
  }
})";
    EXPECT_EQ(empty, write(r, 0));

    r.dspAssignments = {a};
    const std::string text = write(r, 0);
    EXPECT_NE(std::string::npos, text.find(R"("stepOffset": 4294967296,)")) << text;
    EXPECT_NE(std::string::npos, text.find(R"("stepSize": 4294967295,)")) << text;
}

TEST(CompileResultConverterTest, UnwritableResultAnswersFailureWithAnEmptyText)
{
    struct Case { const char* what; T_COMPILERESULT result; };
    T_COMPILERESULT noName;
    noName.components = {{1, "A", 1, 1, 1}};
    T_COMPILERESULT badSystemName;
    badSystemName.dspSystem.name = "\xFF\xFE";
    T_COMPILERESULT badComponentName;
    badComponentName.dspSystem.name = "OPV256-D";
    badComponentName.components = {{1, "A\xC3", 1, 1, 1}};  // cut in the middle of a character
    const Case cases[] = {
        {"empty system name", noName},
        {"system name not UTF-8", badSystemName},
        {"component name not UTF-8", badComponentName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ("", write(c.result, 0x80000000u));
    }
}
