#include "dbgc/dbgc_DebugConsole.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DbgcTestSupport.h"
#include "dbgc/dbgc_ProductInfo.h"

namespace {

using DbgcTest::MemoryLowIO;

// What the handlers saw: "Module(count)token|token|...".
std::vector<std::string> gCalls;

void record(const char* module, uint32_t count, const DBGC::StringElement* tokens)
{
    std::string call = std::string(module) + "(" + std::to_string(count) + ")";
    for (uint32_t i = 0; i < count; ++i) call += (i ? "|" : "") + std::string(tokens[i].c_str());
    gCalls.push_back(call);
}

JLIB::JResult topModule(DBGC::DebugConsole&, uint32_t count, const DBGC::StringElement* tokens)
{
    record("Top", count, tokens);
    return 0;  // like the standard module, ignores what it does not know
}

JLIB::JResult threadModule(DBGC::DebugConsole& console, uint32_t count, const DBGC::StringElement* tokens)
{
    record("Thread", count, tokens);
    if (count == 0) return 0;
    if (tokens[0] == "fail") return 0x80000000u;
    if (tokens[0] == "tlist") {
        (void)console.startOutput();
        (void)console.output("line1\n");
        (void)console.output("line2\n");
        (void)console.endOutput();
    }
    if (tokens[0] == "long") (void)console.output("%s", std::string(300, 'x').c_str());
    return 0;
}

JLIB::JResult componentModule(DBGC::DebugConsole&, uint32_t count, const DBGC::StringElement* tokens)
{
    record("Component", count, tokens);
    return 0;
}

const DBGC::DBG_MODULE_INFO kTable[] = {
    {"Top", topModule, "standard"},
    {"Thread", threadModule, "threads"},
    {"Component", componentModule, "components"},
};

const char kUnsetBanner[] =
    "\n"
    "== JOVRIX --- Debug Monitor\n"
    "==\n"
    "== Boot Loader Version : ------\n"
    "== Kernel Version      : ------\n"
    "== Program Version     : ------\n"
    "==\n"
    "== [?]  Help Display\n"
    "\n";

struct Owner : DBGC::IDebugConsoleCallback {
    JLIB::JResult onDebugConsoleWakeup(DBGC::DebugConsole&) override
    {
        ++wakeups;
        return 0;
    }
    int wakeups = 0;
};

class DebugConsoleTest : public testing::Test {
protected:
    void SetUp() override
    {
        gCalls.clear();
        ASSERT_EQ(0u, console.initialize(&owner, io, kTable, 3));
    }

    // Delivers every waiting event, as the owning thread does after each wake-up.
    void pump()
    {
        for (int i = 0; i < 1000 && io.hasEvents(); ++i) (void)console.run();
    }

    std::string typed(const std::string& chunk)
    {
        io.type(chunk);
        pump();
        return io.takeSent();
    }

    Owner owner;
    MemoryLowIO io;
    DBGC::DebugConsole console;
};

struct Product : DBGC::IProductInfoSource {
    const char* productName(int32_t mode) const override { return mode == 0 ? "Vexalume" : "?"; }
    JLIB::JResult versionString(uint32_t kind, char* text, uint32_t size) const override
    {
        const char* versions[] = {"V1.20", "V0.03", "ERROR!"};
        std::snprintf(text, size, "%s", versions[kind]);
        return kind == 2 ? 0x80000000u : 0;
    }
};

}  // namespace

TEST_F(DebugConsoleTest, ConnectingWritesTheBannerOfTheInstalledProductThenThePrompt)
{
    io.connect();
    pump();
    EXPECT_EQ(std::string(kUnsetBanner) + "Top>", io.takeSent());

    Product product;
    DBGC::setProductInfoSource(&product);
    io.connect();
    pump();
    DBGC::setProductInfoSource(nullptr);
    EXPECT_EQ("\n== JOVRIX Vexalume Debug Monitor\n==\n"
              "== Boot Loader Version : V0.03\n"
              "== Kernel Version      : ERROR!\n"
              "== Program Version     : V1.20\n"
              "==\n== [?]  Help Display\n\nTop>",
              io.takeSent());
}

TEST_F(DebugConsoleTest, EchoesAndEditsWhatIsTyped)
{
    const std::string longLine(85, 'w');
    struct Case { std::string input; std::string sent; std::vector<std::string> calls; };
    const Case cases[] = {
        {"help\r\n", "help\r\nTop>\nTop>", {"Top(1)help"}},  // CR runs the line, LF ends an empty one
        {"\bab\x7f" "c\n", "ab\b \bc\nTop>", {"Top(1)ac"}},  // nothing to erase: no echo
        {"a\x01\xff\tb\n", "a\x01\xff\tb\nTop>", {"Top(1)ab"}},  // echoed, not kept
        {longLine + "\n", longLine + "\nTop>", {"Top(1)" + longLine.substr(0, 79)}},
        {"\n", "\nTop>", {}},
        {"   \n", "   \nTop>", {}},
        {"/\n", "/\nTop>", {}},
        {"#x y\n", "#x y\nTop>", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        gCalls.clear();
        EXPECT_EQ(c.sent, typed(c.input));
        EXPECT_EQ(c.calls, gCalls);
    }
}

TEST_F(DebugConsoleTest, EmptyLineLeavesTheRestForTheNextReceivedEvent)
{
    io.type("\nhelp\n");
    ASSERT_EQ(0u, console.run());
    EXPECT_EQ("\nTop>", io.takeSent());
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(5u, io.unread());
    EXPECT_TRUE(io.hasEvents());

    ASSERT_EQ(0u, console.run());
    EXPECT_EQ("help\nTop>", io.takeSent());
    EXPECT_EQ(std::vector<std::string>{"Top(1)help"}, gCalls);
    EXPECT_GE(owner.wakeups, 2);
}

TEST_F(DebugConsoleTest, SplitsLinesIntoTokens)
{
    std::string nineteen;
    std::string nineteenCall = "Top(19)";
    for (int i = 0; i < 19; ++i) {
        nineteen += "w" + std::to_string(i) + " ";
        nineteenCall += (i ? "|w" : "w") + std::to_string(i);
    }
    struct Case { std::string line; std::vector<std::string> calls; std::string answer; };
    const Case cases[] = {
        {"say \"a b\"  c", {"Top(3)say|a b|c"}, ""},
        {"a#b c", {"Top(2)a#b|c"}, ""},  // inside a token a comment character is just a character
        {"x #comment y", {"Top(1)x"}, ""},
        {"x ;y", {"Top(1)x"}, ""},
        {"x :y", {"Top(1)x"}, ""},
        {"x \"#q\" y", {"Top(1)x"}, ""},  // a quoted text starting with one is a comment too
        {"\"\" x", {"Top(1)x"}, ""},
        {nineteen, {nineteenCall}, ""},
        {nineteen + "w19", {}, "Error: too many parameters\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        gCalls.clear();
        EXPECT_EQ(c.line + "\n" + c.answer + "Top>", typed(c.line + "\n"));
        EXPECT_EQ(c.calls, gCalls);
    }
}

TEST_F(DebugConsoleTest, RunsBuiltInsAndSelectsModulesIgnoringCase)
{
    struct Step { std::string line; std::string answerAndPrompt; std::vector<std::string> calls; };
    const Step steps[] = {
        {"  Thread  ", "Thread>", {}},
        {"tlist", "line1\nline2\nThread>", {"Thread(1)tlist"}},
        {"fail now", "Error: Module=Thread, ResultCode=-2147483648(0x80000000)\nThread>", {"Thread(2)fail|now"}},
        {"..", "Top>", {}},
        {"/thread tlist", "line1\nline2\nTop>", {"Thread(1)tlist"}},  // current module unchanged
        {"/THREAD fail", "Error: Module=THREAD, ResultCode=-2147483648(0x80000000)\nTop>", {"Thread(1)fail"}},
        {"/thread", "Top>", {"Thread(0)"}},
        {"/nosuch x", "Error: command not found!\nTop>", {}},
        {"unknown word", "Top>", {"Top(2)unknown|word"}},
        {"COMPONENT", "Component>", {}},
        {"add 1", "Component>", {"Component(2)add|1"}},
        {"TOP", "Top>", {}},
        {"component", "Component>", {}},
        {"RESTART", "Top>", {}},
        {"log", "Top>", {}},
        {"Log x", "Error: argument\nTop>", {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.line);
        gCalls.clear();
        EXPECT_EQ(s.line + "\n" + s.answerAndPrompt, typed(s.line + "\n"));
        EXPECT_EQ(s.calls, gCalls);
    }
}

TEST_F(DebugConsoleTest, RecallsTheLastLineWithoutRunningIt)
{
    EXPECT_EQ("/thread tlist\nline1\nline2\nTop>", typed("/thread tlist\n"));
    gCalls.clear();
    EXPECT_EQ("!!\nTop>/thread tlist", typed("!!\n"));
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ("\nline1\nline2\nTop>", typed("\n"));
    EXPECT_EQ(std::vector<std::string>{"Thread(1)tlist"}, gCalls);

    // The recalled line can be edited before it runs.
    gCalls.clear();
    EXPECT_EQ("!!\nTop>/thread tlist", typed("!!\n"));
    EXPECT_EQ("\b \b\b \b\b \b\b \b\b \bfail\nError: Module=thread, ResultCode=-2147483648(0x80000000)\nTop>",
              typed("\b\b\b\b\bfail\n"));
    EXPECT_EQ(std::vector<std::string>{"Thread(1)fail"}, gCalls);

    // restart forgets the history.
    (void)typed("restart\n");
    EXPECT_EQ("!!\nTop>", typed("!!\n"));
    EXPECT_EQ("\nTop>", typed("\n"));
}

TEST_F(DebugConsoleTest, CutsAnAnswerAt255Characters)
{
    EXPECT_EQ("/thread long\n" + std::string(255, 'x') + "Top>", typed("/thread long\n"));
}

TEST_F(DebugConsoleTest, OutputGivesUpOnATransportThatTakesNothing)
{
    io.takeAtMost = 0;  // "success" without taking a byte
    EXPECT_EQ(0x80000000u, console.output("hello %d\n", 1));
    EXPECT_EQ(1, io.sendCalls);

    io.takeAtMost = 2;
    EXPECT_EQ(0u, console.output("hello %d\n", 2));
    EXPECT_EQ("hello 2\n", io.takeSent());

    io.takeAtMost = 0xFFFFFFFFu;
    io.flushResult = 0x80000003u;
    EXPECT_EQ(0x80000003u, console.output("x"));
}

TEST_F(DebugConsoleTest, FinalizeClosesTheTransportAndStartsOver)
{
    (void)typed("thread\n");
    EXPECT_STREQ("Thread", console.currentModuleName());
    ASSERT_EQ(0u, console.finalize());
    EXPECT_EQ(1, io.finalizeCalls);
    EXPECT_STREQ("Top", console.currentModuleName());

    EXPECT_EQ(0x80000000u, console.finalize());
    EXPECT_EQ(0x80000000u, console.run());
    EXPECT_EQ(0x80000000u, console.parse());
    EXPECT_EQ(0x80000000u, console.output("x"));

    ASSERT_EQ(0u, console.initialize(&owner, io, kTable, 3));
    io.connect();
    pump();
    EXPECT_EQ(std::string(kUnsetBanner) + "Top>", io.takeSent());
}

TEST(DebugConsoleLifeTest, InitializeRefusesBadArgumentsAndKeepsAFailedTransport)
{
    DBGC::DebugConsole console;
    MemoryLowIO io;
    EXPECT_EQ(0x80000000u, console.initialize(nullptr, io, nullptr, 3));
    EXPECT_EQ(0x80000000u, console.initialize(nullptr, io, kTable, 0));
    EXPECT_EQ(0, io.initializeCalls);

    MemoryLowIO broken;
    broken.initializeResult = 0x80000000u;
    testing::internal::CaptureStdout();
    EXPECT_EQ(0x80000000u, console.initialize(nullptr, broken, kTable, 3));
    EXPECT_EQ("[E] DebugConsole::initialize - Cannot initialize 'Low-level I/O'!\n",
              testing::internal::GetCapturedStdout());
    EXPECT_EQ(0x80000000u, console.initialize(nullptr, io, kTable, 3));  // still holds the broken one
    EXPECT_EQ(0, io.initializeCalls);
    ASSERT_EQ(0u, console.finalize());
    EXPECT_EQ(1, broken.finalizeCalls);

    // Without an owner the shell still works; a failing transport fails the run.
    ASSERT_EQ(0u, console.initialize(nullptr, io, kTable, 3));
    io.type("x\n");
    io.runCallbackResult = 0x80000005u;
    EXPECT_EQ(0x80000000u, console.run());
    io.runCallbackResult = 0;
    EXPECT_EQ(0u, console.run());
    EXPECT_EQ("x\nTop>", io.takeSent());
}

TEST(StringElementTest, ConvertsNumbersInTheGivenBase)
{
    struct Case { const char* text; int base; uint32_t uResult; uint32_t uValue; uint32_t sResult; int32_t sValue; };
    const Case cases[] = {
        {"42", 10, 0, 42, 0, 42},
        {"ff", 16, 0, 255, 0, 255},
        {"0x1F", 0, 0, 31, 0, 31},
        {"101", 2, 0, 5, 0, 5},
        {"-5", 10, 0, 0xFFFFFFFBu, 0, -5},
        {"12ab", 10, 0, 12, 0, 12},
        {"99999999999", 10, 0x80000000u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFF},
        {"abc", 10, 0, 0, 0, 0},
        {nullptr, 10, 0x80000000u, 0, 0x80000000u, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(none)");
        const DBGC::StringElement token(c.text);
        uint32_t u = 0x5A5A5A5Au;
        int32_t s = 0x5A5A5A5A;
        EXPECT_EQ(c.uResult, token.toUInt(c.base, &u));
        EXPECT_EQ(c.uValue, u);
        EXPECT_EQ(c.sResult, token.toInt(c.base, &s));
        EXPECT_EQ(c.sValue, s);
    }

    const DBGC::StringElement hex("7fffffff");
    EXPECT_EQ(0x7FFFFFFFu, hex.hex2UInt());
    EXPECT_EQ(0x7FFFFFFF, hex.hex2Int());
    const DBGC::StringElement dec("4294967296");
    EXPECT_EQ(0xFFFFFFFFu, dec.dec2UInt());  // the value whatever the result
    uint32_t value = 0;
    EXPECT_EQ(0x80000000u, dec.dec2UInt(&value));
    EXPECT_EQ(-12, DBGC::StringElement("-12").dec2Int());
    EXPECT_EQ(6u, DBGC::StringElement("110").bit2UInt());
    EXPECT_EQ(-6, DBGC::StringElement("-110").bit2Int());
}

TEST(StringElementTest, ComparesWholeTextsWithOrWithoutCase)
{
    struct Case { const char* token; const char* text; bool exact; bool ignoringCase; };
    const Case cases[] = {
        {"Thread", "Thread", true, true},
        {"Thread", "tHREAD", false, true},
        {"Thread", "Threads", false, false},
        {"Threads", "Thread", false, false},
        {"", "", true, true},
        {nullptr, "x", false, false},
        {"x", nullptr, false, false},
        {nullptr, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.token ? c.token : "(none)") + " / " + (c.text ? c.text : "(none)"));
        const DBGC::StringElement token(c.token);
        EXPECT_EQ(c.exact, token.isEqual(c.text, true));
        EXPECT_EQ(c.ignoringCase, token.isEqual(c.text, false));
        EXPECT_EQ(c.ignoringCase, token == c.text);
        EXPECT_EQ(!c.ignoringCase, token != c.text);
    }

    DBGC::StringElement none;
    EXPECT_EQ(0u, none.length());
    EXPECT_EQ('\0', *none);
    EXPECT_EQ(nullptr, none.c_str());
    const char text[] = "tlist";
    none = text;
    const DBGC::StringElement copy(none);
    EXPECT_EQ(text, copy.c_str());  // the pointer, not a copy of the text
    EXPECT_EQ(5u, copy.length());
    EXPECT_EQ('t', *copy);
}
