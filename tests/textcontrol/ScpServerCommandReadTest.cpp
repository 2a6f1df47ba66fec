#include "textcontrol/ScpServerCommandRead.h"

#include <gtest/gtest.h>

#include <functional>

#include "ScpModelTestSupport.h"
#include "ScpServerTestSupport.h"
#include "textcontrol/ScpServerCommandGET.h"
#include "textcontrol/ScpServerCommandGETN.h"
#include "textcontrol/ScpServerCommandGETT.h"

using namespace ScpTest;

namespace {

using Grid = GridParameters;

void addGridParameters(Grid& grid)
{
    static const std::string longUnit(65, 'u');  // the record borrows the text
    const std::string longName(60, 'L');  // its canonical form is longer than the fields
    grid.params = {
        {"Grid", 3, 2, Grid::kInt, -10, 10, JVariant(5), "dB", 0, 1, 0, 2},
        {"Row", 4, 1, Grid::kInt, 0, 127, JVariant(0), "Hz", 1, 5, 1, 0},
        {"Col", 1, 3},
        {"Long", 300, 1},
        {"Empty", 0, 0},
        {"Label", 2, 1, Grid::kText, 0, 0, JVariant("abc", 8), "", 3, 0, 2, 0},
        {"Float", 1, 1, Grid::kFloat, 0, 1, JVariant(0.5f)},
        {"Odd", 1, 1, Grid::kInt, 0, 1, JVariant(0), "x", 7, 6, 3, 0},
        {"NoUnit", 1, 1, Grid::kInt, 0, 1, JVariant(0), nullptr},
        {"LongUnit", 1, 1, Grid::kInt, 0, 1, JVariant(0), longUnit.c_str()},
        {longName, 1, 1},
    };
}

class ScpReadCommandsTest : public ServedClientTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startSocketLayers());
        addGridParameters(grid);
        serve(Models{&grid, nullptr});
    }
    // Changes the model on the server's thread.
    void steer(const std::function<void()>& change)
    {
        owner->call([&] {
            change();
            return 0;
        });
    }

    Grid grid;
};

struct Exchange {
    const char* request;
    std::string reply;
};

std::string numbers(int from, int to)
{
    std::string out;
    for (int i = from; i <= to; ++i) out += (i == from ? "" : " ") + std::to_string(i);
    return out;
}

TEST_F(ScpReadCommandsTest, AnswersRawReadsOfAnElementARowAndAColumn)
{
    const std::string longAddress = "GRID:" + std::string(59, 'L');  // cut to the field's 64 characters
    const std::string longGet = "get " + std::string(60, 'L') + " 0 0";
    const Exchange table[] = {
        {"get Grid 2 1", "OK get GRID:Grid 2 1 102"},
        {"GET Grid 1 0", "OK get GRID:Grid 1 0 1"},
        {"get Row all 0", "OK get GRID:Row all 0 0 1 2 3"},
        {"get Grid all 1", "OK get GRID:Grid all 1 100 101 102"},
        {"get Grid 2 ALL", "OK get GRID:Grid 2 all 2 102"},
        {"get Col 0 all", "OK get GRID:Col 0 all 0 100 200"},
        {"get Grid 7 9", "OK get GRID:Grid 7 9 907"},  // outside the record: the model decides
        {"get Grid all all", "ERROR get InvalidArgument"},
        {"get Grid -1 0", "ERROR get InvalidArgument"},
        {"get Grid 0 -1", "ERROR get InvalidArgument"},
        {"get Grid -1 all", "ERROR get InvalidArgument"},
        {"get Nope -1 all", "ERROR get UnknownAddress"},
        {"get Nope all all", "ERROR get UnknownAddress"},
        {"get Grid 0", "ERROR get WrongFormat"},
        {"get Grid 0 x", "ERROR get WrongFormat"},
        {"get Empty all 0", "ERROR get WrongFormat"},  // nothing listed
        {"get Label all 0", "OK get GRID:Label all 0 \"s0.0\" \"s1.0\""},
        {"get Float 0 0", "ERROR get WrongFormat"},  // a value the reply cannot print
        {"get Long all 0", "OK get GRID:Long all 0 " + numbers(0, 199)},
        {longGet.c_str(), "OK get " + longAddress + " 0 0 0"},
        {"getn Row all 0", "OK getn GRID:Row all 0 1000 1001 1002 1003"},
        {"scpmode resolution 100", "OK scpmode resolution 100"},
        {"getn Grid 2 all", "OK getn GRID:Grid 2 all 102 102"},
        {"getn Grid all all", "ERROR getn InvalidArgument"},
        {"getn Nope 0 0", "ERROR getn UnknownAddress"},
        {"gett Grid all 1", "OK gett GRID:Grid all 1 \"t0.1\" \"t1.1\" \"t2.1\""},
        {"gett Col 0 all", "OK gett GRID:Col 0 all \"t0.0\" \"t0.1\" \"t0.2\""},
        {"gett Empty 0 all", "ERROR gett WrongFormat"},
        {"gett Grid 0 -2", "ERROR gett InvalidArgument"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, client->ask(e.request)) << e.request;
    EXPECT_EQ(100u, grid.lastResolution);
}

TEST_F(ScpReadCommandsTest, AnswersJsonReadsWithListsAndEchoesAll)
{
    ASSERT_EQ(R"({"report":"OK","command":"scpmode","tag":"format","data":"json"})",
              client->ask("scpmode format json"));
    const Exchange table[] = {
        {R"({"command":"get","address":"Row","x":all,"y":0})",
         R"({"report":"OK","command":"get","address":"GRID:Row","x":"all","y":0,"param":[0,1,2,3]})"},
        {R"({"command":"get","address":"Grid","x":1,"y":1})",
         R"({"report":"OK","command":"get","address":"GRID:Grid","x":1,"y":1,"param":[101]})"},
        {R"({"command":"get","address":"Label","x":all,"y":0})",
         R"({"report":"OK","command":"get","address":"GRID:Label","x":"all","y":0,"param":["s0.0","s1.0"]})"},
        {R"({"command":"get","address":"Grid","x":all,"y":ALL})",
         R"({"report":"ERROR","command":"get","errorid":"InvalidArgument"})"},
        {R"({"command":"get","address":"Grid","x":"all","y":0})",
         R"({"report":"ERROR","command":"get","errorid":"WrongFormat"})"},
        {R"({"command":"get","address":"Nope","x":0,"y":0})",
         R"({"report":"ERROR","command":"get","errorid":"UnknownAddress"})"},
        {R"({"command":"getn","address":"Grid","x":2,"y":all})",
         R"({"report":"OK","command":"getn","address":"GRID:Grid","x":2,"y":"all","nparam":[1002,1002]})"},
        {R"({"command":"gett","y":0,"address":"Row","x":all})",
         R"({"report":"OK","command":"gett","address":"GRID:Row","x":"all","y":0,)"
         R"("text":["t0.0","t1.0","t2.0","t3.0"]})"},
        {R"({"command":"gett","address":"Empty","x":all,"y":0})",
         R"({"report":"ERROR","command":"gett","errorid":"WrongFormat"})"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, client->ask(e.request)) << e.request;
}

TEST_F(ScpReadCommandsTest, AFailedReadEndsItsRowAndTheLastFailureAnswers)
{
    using Reads = std::vector<std::pair<uint32_t, uint32_t>>;
    struct Case {
        const char* request;
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> codes;
        std::string reply;
        Reads reads;
    };
    const Case cases[] = {
        // The second of three rows fails: all three are read, the error answers.
        {"get Col 0 all", {{{0, 1}, 0x80000009u}}, "ERROR get ReadOnly", {{0, 0}, {0, 1}, {0, 2}}},
        // Along a row the scan ends at the failure.
        {"get Row all 0", {{{2, 0}, 0x80000008u}}, "ERROR get AccessDenied", {{0, 0}, {1, 0}, {2, 0}}},
        // The later failure answers, even with a lower-ranked name.
        {"get Col 0 all", {{{0, 0}, 0x80000004u}, {{0, 2}, 0x8000000Au}}, "ERROR get NoPermission",
         {{0, 0}, {0, 1}, {0, 2}}},
        // A success after a failure does not undo it.
        {"gett Col 0 all", {{{0, 1}, 0x8000000Bu}, {{0, 2}, 2}}, "ERROR gett Overload", {{0, 0}, {0, 1}, {0, 2}}},
        // Successes answer the largest code: 1 and 2 both mark the reply.
        {"get Row all 0", {{{1, 0}, 2}, {{3, 0}, 1}}, "OKm get GRID:Row all 0 0 1 2 3",
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"getn Grid 0 0", {{{0, 0}, 1}}, "OKm getn GRID:Grid 0 0 1000", {{0, 0}}},
        {"get Grid 0 0", {{{0, 0}, 7}}, "OK get GRID:Grid 0 0 0", {{0, 0}}},
        {"get Grid 0 0", {{{0, 0}, 0x80000010u}}, "ERROR get InternalError", {{0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        steer([&] {
            grid.readCodes = c.codes;
            grid.reads.clear();
        });
        EXPECT_EQ(c.reply, client->ask(c.request));
        EXPECT_EQ(c.reads, owner->call([&] { return grid.reads; }));
    }
}

TEST_F(ScpReadCommandsTest, ReadsPastTheTwoHundredListedValues)
{
    std::string expected = "OK get GRID:Long all 0 " + numbers(0, 199);
    EXPECT_EQ(expected, client->ask("get Long all 0"));
    EXPECT_EQ(300u, owner->call([&] { return grid.reads.size(); }));
    // A failure among the unlisted values still answers.
    steer([&] {
        grid.readCodes = {{{250, 0}, 0x80000009u}};
        grid.reads.clear();
    });
    EXPECT_EQ("ERROR get ReadOnly", client->ask("get Long all 0"));
    EXPECT_EQ(251u, owner->call([&] { return grid.reads.size(); }));
}

TEST_F(ScpReadCommandsTest, DisplayTextsAreCutAtThirtyThreeCharacters)
{
    steer([&] { grid.displayText = std::string(40, 'd'); });
    EXPECT_EQ("OK gett GRID:Grid 0 0 \"" + std::string(33, 'd') + "\"", client->ask("gett Grid 0 0"));
}

TEST_F(ScpReadCommandsTest, DescribesParametersWithWordsAndRefusesWhatItCannotPrint)
{
    const std::string longAddress = "\"GRID:" + std::string(59, 'L') + "\"";
    const Exchange table[] = {
        {"prminfo 0", "OK prminfo 0 \"GRID:Grid\" 3 2 -10 10 5 \"dB\" integer fader rw 2"},
        {"PRMINFO 1", "OK prminfo 1 \"GRID:Row\" 4 1 0 127 0 \"Hz\" freq knob r 0"},
        {"prminfo 5", "OK prminfo 5 \"GRID:Label\" 2 1 0 0 \"abc\" \"\" string any w 0"},
        {"prminfo 7", "OK prminfo 7 \"GRID:Odd\" 1 1 0 1 0 \"x\" ? ? ? 0"},
        {"prminfo 10", "OK prminfo 10 " + longAddress + " 1 1 0 100 0 \"dB\" integer any rw 0"},
        {"prminfo 6", "ERROR prminfo WrongFormat"},  // a Float default
        {"prminfo 8", "ERROR prminfo WrongFormat"},  // no unit
        {"prminfo 9", "ERROR prminfo WrongFormat"},  // a unit longer than the field
        {"prminfo 99", "ERROR prminfo UnknownAddress"},  // no upper bound: the model's answer
        {"prminfo -1", "ERROR prminfo InvalidArgument"},
        {"prminfo", "ERROR prminfo WrongFormat"},
        {"prmnum", "OK prmnum 11"},
        {"prmnum 5", "OK prmnum 11"},
    };
    for (const Exchange& e : table) EXPECT_EQ(e.reply, client->ask(e.request)) << e.request;

    ASSERT_EQ(R"({"report":"OK","command":"scpmode","tag":"format","data":"json"})",
              client->ask("scpmode format json"));
    EXPECT_EQ(R"({"report":"OK","command":"prminfo","index":0,"address":"GRID:Grid","xnum":3,"ynum":2,"min":-10,)"
              R"("max":10,"default":5,"unit":"dB","type":"integer","ui":"fader","attrib":"rw","scaling":2})",
              client->ask(R"({"command":"prminfo","index":0})"));
    EXPECT_EQ(R"({"report":"OK","command":"prmnum","number":11})", client->ask(R"({"command":"prmnum"})"));
    steer([&] { grid.params.clear(); });
    EXPECT_EQ(R"({"report":"OK","command":"prmnum","number":0})", client->ask(R"({"command":"prmnum"})"));
}

// The typed entry points of the reads, for an owner without a text line.
TEST(ScpReadEntryPointsTest, ReadOneElementWithoutALine)
{
    Grid grid;
    addGridParameters(grid);
    SCP::ScpDeviceController device;
    SCP::ScpMeter meters;
    SCP::ScpSessionData session;
    ASSERT_EQ(0u, session.initialize(1));
    SCP::ScpInfoAccessor accessor(device, grid, meters, session);
    JLIB::JDataStream<unsigned char> stream;
    ASSERT_EQ(0u, stream.initialize(0, 1000));
    auto reply = [&](SCP::ScpServerCommand& command, JLIB::JResult result) {
        if (JLIB::isFailure(result)) return "error " + std::to_string(result & 0xFF);
        if (JLIB::isFailure(command.makeReply(SCP::kScpFormatRaw, SCP::kScpEncodingAscii, stream, result))) {
            return std::string("no reply");
        }
        return streamText(stream);
    };
    SCP::ScpServerCommandGET get;
    EXPECT_EQ("OK get GRID:Grid 2 1 102\n", reply(get, get.run(0, accessor, "Grid", 2, 1)));
    EXPECT_EQ("error 5", reply(get, get.run(0, accessor, "Nope", 0, 0)));
    EXPECT_EQ("error 4", reply(get, get.run(0, accessor, "Grid", 0x80000000u, 0)));  // too large is negative
    EXPECT_EQ("error 3", reply(get, get.run(0, accessor, nullptr, 0, 0)));
    SCP::ScpServerCommandGETN getn;
    EXPECT_EQ("OK getn GRID:Row 3 0 1003\n", reply(getn, getn.run(0, accessor, "Row", 3, 0)));
    EXPECT_EQ(1000u, grid.lastResolution);
    SCP::ScpServerCommandGETT gett;
    EXPECT_EQ("OK gett GRID:Col 0 2 \"t0.2\"\n", reply(gett, gett.run(0, accessor, "Col", 0, 2)));
    // A second run starts from an empty list.
    EXPECT_EQ("OK gett GRID:Col 0 1 \"t0.1\"\n", reply(gett, gett.run(0, accessor, "Col", 0, 1)));
}

}  // namespace
