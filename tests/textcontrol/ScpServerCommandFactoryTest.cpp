#include "textcontrol/ScpServerCommandFactory.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "ScpTestSupport.h"

namespace {

// The whole keyword table, in the order the server walks it; each factory makes its own command
// on the SCP heap, tagged with the class, and releases it.
TEST(ScpServerCommandFactoryTest, TableHoldsEveryKeywordInOrderAndMakesItsCommand)
{
    const std::vector<std::string> keywords = {
        "set",          "setn",        "setr",        "sett",      "get",         "getn",     "gett",
        "prminfo",      "prmnum",      "mtrstart",    "mtrstop",   "mtrinfo",     "mtrnum",   "sscurrent",
        "ssrecall",     "ssupdate",    "ssinfo",      "ssnum",     "sscurrent_ex", "ssrecall_ex", "ssupdate_ex",
        "ssinfo_ex",    "ssnum_ex",    "event",       "devstatus", "devinfo",     "devmode",  "scpmode",
        "LISTITEMNUM",  "LISTITEM",    "identify"};
    ScpTest::RecordingHeapManager& heap = ScpTest::useTestHeap();
    std::vector<std::string> table;
    for (SCP::IScpServerCommandFactory* const* f = SCP::pCommandFactoryTable; *f; ++f) {
        const std::string name = (*f)->getCommandName();
        SCOPED_TRACE(name);
        table.push_back(name);
        SCP::ScpServerCommand* command = (*f)->create();
        ASSERT_NE(nullptr, command);
        EXPECT_EQ(name, command->getCommandName());
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(1, heap.liveTagCounts()["ScpServerCommand" + upper]);
        (*f)->destroy(command);
        EXPECT_EQ(nullptr, command);
        EXPECT_EQ(0, heap.liveTagCounts()["ScpServerCommand" + upper]);
    }
    EXPECT_EQ(keywords, table);
    SCP::gScpHeapId = 0;
}

}  // namespace
