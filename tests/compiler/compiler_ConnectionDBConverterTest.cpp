#include "compiler/compiler_ConnectionDBConverter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "CompilerTestDocuments.h"

namespace {

using CompilerTest::captureStdout;

struct Read {
    Compiler::ConnectionDBConverter converter;
    std::string out;
};

void read(Read& r, const std::string& text)
{
    r.out = captureStdout([&] { EXPECT_EQ(0u, r.converter.fromJsonString(text)); });
}

using Conn = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

std::vector<Conn> tuples(const std::vector<Compiler::T_CONNECTIONDB_CONNECTION>& list)
{
    std::vector<Conn> out;
    for (const auto& c : list) out.emplace_back(c.fromUniqID, c.fromPortNo, c.toUniqID, c.toPortNo);
    return out;
}

const char* kDspSystem =
    R"("dspSystem": {"name": "OPV256-D", "fsHz": 96000, "numSamplePerFrame": 32, "renderSamples": 64,
                     "delayCompensation": true})";

}  // namespace

TEST(ConnectionDBConverterTest, SortsEveryListAndKeepsEachEntryOnce)
{
    Read r;
    read(r, std::string(R"({"connectionDB": {)") + kDspSystem + R"(,
      "components": [
        {"uniqID": 7, "name": "Mixer", "majorVersion": 1, "numX": 2, "numY": 1},
        {"uniqID": 3, "name": "Mixer", "majorVersion": 1, "numX": 2, "numY": 1},
        {"uniqID": 7, "name": "Mixer", "majorVersion": 1, "numX": 2, "numY": 1},
        {"uniqID": 5, "name": "b", "majorVersion": 1, "numX": 1, "numY": 1},
        {"uniqID": 5, "name": "B", "majorVersion": 1, "numX": 1, "numY": 1},
        {"uniqID": 5, "name": "\u00e9", "majorVersion": 1, "numX": 1, "numY": 1}],
      "connections": [
        {"fromUniqID": 7, "fromPortNo": 1, "toUniqID": 3, "toPortNo": 0},
        {"fromUniqID": 3, "fromPortNo": 0, "toUniqID": 7, "toPortNo": 1},
        {"fromUniqID": 7, "fromPortNo": 1, "toUniqID": 3, "toPortNo": 0},
        {"fromUniqID": 3, "fromPortNo": 0, "toUniqID": 5, "toPortNo": 0}],
      "logicConnections": [
        {"fromUniqID": 9, "fromPortNo": 0, "toUniqID": 1, "toPortNo": 0},
        {"fromUniqID": 1, "fromPortNo": 2, "toUniqID": 9, "toPortNo": 0}]}})");
    EXPECT_EQ("", r.out);
    const Compiler::T_CONNECTIONDB& db = r.converter.getConnectionDB();
    EXPECT_EQ("OPV256-D", db.dspSystem.name);
    EXPECT_EQ(96000u, db.dspSystem.fsHz);
    EXPECT_EQ(32u, db.dspSystem.numSamplePerFrame);
    EXPECT_EQ(64u, db.dspSystem.renderSamples);
    EXPECT_TRUE(db.dspSystem.delayCompensation);

    std::vector<std::pair<uint32_t, std::string>> components;
    for (const auto& c : db.components) components.emplace_back(c.uniqID, c.name);
    // Names compare byte-wise: upper case before lower case before UTF-8 lead bytes.
    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {3, "Mixer"}, {5, "B"}, {5, "b"}, {5, "\xC3\xA9"}, {7, "Mixer"}};
    EXPECT_EQ(expected, components);
    EXPECT_EQ((std::vector<Conn>{{3, 0, 5, 0}, {3, 0, 7, 1}, {7, 1, 3, 0}}), tuples(db.connections));
    EXPECT_EQ((std::vector<Conn>{{1, 2, 9, 0}, {9, 0, 1, 0}}), tuples(db.logicConnections));
}

TEST(ConnectionDBConverterTest, MissingListLeavesAllListsEmptyButKeepsTheDspSystem)
{
    const std::string components = R"("components": [{"uniqID": 1, "name": "A"}])";
    const std::string connections = R"("connections": [{"fromUniqID": 1, "toUniqID": 2}])";
    const std::string logic = R"("logicConnections": [{"fromUniqID": 1, "toUniqID": 2}])";
    struct Case { std::string members; const char* out; };
    const Case cases[] = {
        {components + "," + connections, "JSON: 'logicConnections' tag not found.\n"},
        {components + "," + logic, "JSON: 'connections' tag not found.\n"},
        {connections + "," + logic, "JSON: 'components' tag not found.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        Read r;
        read(r, std::string(R"({"connectionDB": {)") + kDspSystem + "," + c.members + "}}");
        EXPECT_EQ(c.out, r.out);
        const Compiler::T_CONNECTIONDB& db = r.converter.getConnectionDB();
        EXPECT_EQ("OPV256-D", db.dspSystem.name);
        EXPECT_EQ(64u, db.dspSystem.renderSamples);
        EXPECT_TRUE(db.components.empty());
        EXPECT_TRUE(db.connections.empty());
        EXPECT_TRUE(db.logicConnections.empty());
    }
}

TEST(ConnectionDBConverterTest, MissingRootOrDspSystemStopsBeforeAnything)
{
    struct Case { const char* text; const char* out; };
    const Case cases[] = {
        {"\"connectionDB\"", "JSON: 'connectionDB' tag not found.\n"},
        {R"({"connectionDB": {"components": []}})", "JSON: 'dspSystem' tag not found.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Read r;
        read(r, c.text);
        EXPECT_EQ(c.out, r.out);
        EXPECT_EQ("", r.converter.getConnectionDB().dspSystem.name);
        EXPECT_TRUE(r.converter.getConnectionDB().components.empty());
    }
}

TEST(ConnectionDBConverterTest, UnreadableTextGivesAnEmptyRecord)
{
    Read r;
    read(r, std::string(R"({"connectionDB": {)") + kDspSystem + "}}");
    read(r, "{\"connectionDB\": ");
    EXPECT_EQ(0u, r.out.find("message: [json.exception.parse_error.101]")) << r.out;
    EXPECT_EQ("", r.converter.getConnectionDB().dspSystem.name);
    EXPECT_FALSE(r.converter.getConnectionDB().dspSystem.delayCompensation);
}
