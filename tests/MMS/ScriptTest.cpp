// Numeric texts of the definition readers: literals, integer expressions with macros, the lexer's
// rules, the parser's stack limits, the name rule and the realloc shim.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "MMS/Common/MmsTestHeap.h"
#include "MMS/mms_Script.h"
#include "jlib/JVariant.h"

namespace {

const T_MMS_SCRIPT_MACRO kMacros[] = {{"CH", 8}, {"CH2", 5}, {"Big", INT_MAX}, {"_n1", -4}, {nullptr, 99}};
constexpr uint32_t kMacroCount = 5;

struct Reading {
    int type;
    int32_t bits;  // the 32 bits of an integer reading
    float real;
    unsigned kind;
};

Reading readScript(const std::string& text, uint32_t length = UINT32_MAX)
{
    JVariant value;
    unsigned kind = 99;
    const uint32_t len = length == UINT32_MAX ? static_cast<uint32_t>(text.size()) : length;
    EXPECT_LE(MMS::cnvScriptToNum(text.data(), len, &value, &kind, kMacros, kMacroCount), 1u) << text;
    Reading r{value.getType(), 0, 0.0f, kind};
    if (r.type == JVariant::kTypeFloat) r.real = value.toFloat();
    else r.bits = value.toInt32();
    return r;
}

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override { (void)MmsTest::heap1(); }
};

struct ExprCase {
    const char* text;
    int32_t value;
    unsigned kind;
};

// Expressions and literals that do not read as one literal: Int32 values.
TEST_F(ScriptTest, ExpressionTable)
{
    const ExprCase cases[] = {
        // precedence and associativity
        {"1+2*3", 7, 1}, {"(1+2)*3", 9, 1}, {"8-2-1", 5, 1}, {"8/2/2", 2, 1}, {"2*7%3", 2, 1},
        {"7%3*2", 2, 1}, {"2-3*4", -10, 0}, {"2-3", -1, 0}, {"1-1", 0, 0}, {"100/10*3", 30, 1},
        {"2*(3+4)*5", 70, 1}, {"((((2))))", 2, 1}, {" 1 +\t2 ", 3, 1}, {"17%5+1", 3, 1},
        // division: truncation toward zero, sign of the dividend, divisor 0
        {"7/0", 0, 0}, {"7%0", 0, 0}, {"0-7/2", -3, 0}, {"0-7%2", -1, 0}, {"7%(0-2)", 1, 1},
        {"(0-7)%2", -1, 0}, {"(0-7)/2", -3, 0},
        // no unary minus
        {"-7/2", 0, 0}, {"1+-2", 0, 0}, {"1*-2", 0, 0}, {"-(1)", 0, 0},
        // wrapping 32-bit arithmetic
        {"2147483647+1", INT_MIN, 0}, {"65536*65536", 0, 0}, {"0-2147483647-2", INT_MAX, 1},
        {"$Big*2", -2, 0}, {"$Big+$Big+2", 0, 0},
        // the least value by -1 neither traps nor overflows
        {"(0-2147483647-1)/(0-1)", INT_MIN, 0}, {"(0-2147483647-1)%(0-1)", 0, 0},
        // macros: exact and case-sensitive, unknown is 0
        {"$CH*2", 16, 1}, {"$ch", 0, 0}, {"$", 0, 0}, {"$CH2", 5, 1}, {"$CH2-$CH", -3, 0},
        {"$CHX", 0, 0}, {"$C", 0, 0}, {"$2X", 0, 0}, {"$_n1+5", 1, 1}, {"$CH+$", 8, 1},
        // end characters
        {"1+2>junk", 3, 1}, {"1+2\n3", 3, 1}, {"1+2\n", 3, 1}, {"2*3 ", 6, 1}, {"2*3\t\r\n", 6, 1}, {"1+2\r*9", 3, 1}, {"4*2<x", 8, 1}, {"1+", 0, 0},
        // numbers inside expressions: longest accepted prefix
        {"1+0x10", 0, 0}, {"010+1", 9, 1}, {"1+1.5", 1, 1}, {"0x", 0, 0}, {"1+x", 0, 0},
        // syntax errors read as 0
        {"", 0, 0}, {"()", 0, 0}, {"(1", 0, 0}, {"1)", 0, 0}, {"1 2", 0, 0}, {"1++2", 0, 0}, {"abc", 0, 0},
        {"-5+1", 0, 0}, {" -5", 0, 0},
    };
    for (const ExprCase& c : cases) {
        const Reading r = readScript(c.text);
        EXPECT_EQ(r.type, JVariant::kTypeInt32) << c.text;
        EXPECT_EQ(r.bits, c.value) << c.text;
        EXPECT_EQ(r.kind, c.kind) << c.text;
    }
}

TEST_F(ScriptTest, WholeLiteralsKeepTheirKind)
{
    struct LiteralCase {
        const char* text;
        int type;
        int64_t value;
        unsigned kind;
    };
    const LiteralCase cases[] = {
        {"0x10", JVariant::kTypeUInt32, 16, 1}, {"010", JVariant::kTypeUInt32, 8, 1},
        {"42", JVariant::kTypeUInt32, 42, 1},   {"-5", JVariant::kTypeInt32, -5, 0},
        {"4294967295", JVariant::kTypeUInt32, 4294967295LL, 1},
    };
    for (const LiteralCase& c : cases) {
        JVariant value;
        unsigned kind = 99;
        EXPECT_EQ(MMS::cnvStrToNum(c.text, static_cast<uint32_t>(std::strlen(c.text)), &value, &kind), 1u) << c.text;
        EXPECT_EQ(MMS::cnvStrToNum(c.text, 64, &value, &kind), 0u) << c.text;  // the NUL within the length
        EXPECT_EQ(value.getType(), c.type) << c.text;
        EXPECT_EQ(kind, c.kind) << c.text;
        if (c.type == JVariant::kTypeUInt32) {
            EXPECT_EQ(value.toUInt32(), static_cast<uint32_t>(c.value)) << c.text;
        } else {
            EXPECT_EQ(value.toInt32(), static_cast<int32_t>(c.value)) << c.text;
        }
        const Reading r = readScript(c.text);
        EXPECT_EQ(r.type, c.type) << c.text;
        EXPECT_EQ(r.kind, c.kind) << c.text;
    }
    const Reading real = readScript("1.5");
    EXPECT_EQ(real.type, JVariant::kTypeFloat);
    EXPECT_FLOAT_EQ(real.real, 1.5f);
    EXPECT_EQ(real.kind, 3u);
}

TEST_F(ScriptTest, LiteralReaderCodes)
{
    JVariant value;
    unsigned kind = 0;
    EXPECT_EQ(MMS::cnvStrToNum("1", 1, &value, nullptr), 0x80010000u);
    EXPECT_EQ(MMS::cnvStrToNum(nullptr, 1, &value, &kind), 0x80010000u);
    EXPECT_EQ(MMS::cnvStrToNum("1+2", 3, &value, &kind), 0x80010012u);
    EXPECT_EQ(MMS::cnvStrToNum("abc", 3, &value, &kind), 0x80010012u);
    // The length bounds the text: only "12" is read.
    ASSERT_EQ(MMS::cnvStrToNum("123", 2, &value, &kind), 1u);
    EXPECT_EQ(value.toUInt32(), 12u);
}

TEST_F(ScriptTest, LengthAndNulBoundTheExpression)
{
    EXPECT_EQ(readScript("1+2*3", 3).bits, 3);
    EXPECT_EQ(readScript(std::string("2*3\0*100", 8)).bits, 6);
    // Null kind: every text goes to the expression reader, so a lone literal is still read
    // (an expression of one VALUE) and stored as Int32.
    JVariant value;
    EXPECT_EQ(MMS::cnvScriptToNum("0x10", 4, &value, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(value.getType(), JVariant::kTypeInt32);
    EXPECT_EQ(value.toInt32(), 0);  // "0x10" is no single token inside an expression
    EXPECT_EQ(MMS::cnvScriptToNum("$CH", 3, &value, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(value.toInt32(), 0);  // no table
    unsigned kind = 7;
    EXPECT_EQ(MMS::cnvScriptToNum("1+1", 3, nullptr, &kind, kMacros, kMacroCount), 0u);
    EXPECT_EQ(kind, 1u);
}

TEST_F(ScriptTest, LongNumberTokensAreCut)
{
    // A digit run longer than a token may be: the first 64 digits are one token, the rest a
    // second VALUE, so the input is rejected; it costs a bounded scan, not one per length.
    const std::string digits(100000, '1');
    EXPECT_EQ(readScript("1+" + digits).bits, 0);
    EXPECT_EQ(readScript("1+" + std::string(63, '0') + "7").bits, 8);  // 64 characters still fit
}

TEST_F(ScriptTest, StackGrowsToTenThousandEntries)
{
    auto nested = [](int depth) { return std::string(depth, '(') + "7" + std::string(depth, ')'); };
    EXPECT_EQ(readScript(nested(150)).bits, 7);   // within the first 200 entries
    EXPECT_EQ(readScript(nested(9000)).bits, 7);  // grown by doubling
    EXPECT_EQ(readScript(nested(10000)).bits, 0);  // base entry + 10000 + value: overflow
    // Failed stack allocation rejects the input the same way.
    MmsTest::heap1().refuse = true;
    JVariant value;
    unsigned kind = 9;
    EXPECT_EQ(MMS::cnvScriptToNum("1+2", 3, &value, &kind, nullptr, 0), 0u);
    EXPECT_EQ(value.toInt32(), 0);
    EXPECT_EQ(kind, 0u);
    MmsTest::heap1().refuse = false;
}

TEST_F(ScriptTest, ParserMachinery)
{
    T_MMS_SCRIPT_CONTEXT* context = nullptr;
    ASSERT_EQ(mms_yylex_init(&context), 0u);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(mms_setScriptMacros(kMacros, kMacroCount, context), 0u);
    EXPECT_EQ(mms_initializeLexicalAnalyzer("2*(", 3, context), 0u);
    EXPECT_EQ(mms_yyparse(context), 1);
    EXPECT_EQ(mms_yynerrs.load(), 1);
    EXPECT_EQ(mms_getScriptParseResult(context), 0);
    EXPECT_EQ(mms_initializeLexicalAnalyzer("$CH-1", 5, context), 0u);
    EXPECT_EQ(mms_yyparse(context), 0);
    EXPECT_EQ(mms_yynerrs.load(), 0);
    EXPECT_EQ(mms_getScriptParseResult(context), 7);
    EXPECT_EQ(mms_yylex_destroy(context), 0u);

    EXPECT_EQ(mms_setScriptMacros(kMacros, 1, nullptr), 0x80000000u);
    EXPECT_EQ(mms_initializeLexicalAnalyzer("1", 1, nullptr), 0x80000000u);
    EXPECT_EQ(mms_yylex(nullptr, nullptr), 0);
    EXPECT_EQ(mms_yyparse(nullptr), 1);
    EXPECT_EQ(mms_getScriptParseResult(nullptr), 0);
    EXPECT_EQ(mms_yywrap(), 1);

    // Lexer tokens one by one: blanks skipped, operators, a number that stops at "<".
    ASSERT_EQ(mms_yylex_init(&context), 0u);
    EXPECT_EQ(mms_initializeLexicalAnalyzer(" \t12 +(x", 8, context), 0u);
    int32_t v = -1;
    EXPECT_EQ(mms_yylex(&v, context), kMmsTokenValue);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(mms_yylex(&v, context), '+');
    EXPECT_EQ(mms_yylex(&v, context), '(');
    EXPECT_EQ(mms_yylex(&v, context), kMmsTokenValue);  // "x" alone is no number: empty token
    EXPECT_EQ(v, 0);
    EXPECT_EQ(context->position, 7u);
    (void)mms_yylex_destroy(context);
}

TEST_F(ScriptTest, FailedContextAllocationReadsZero)
{
    MmsTest::heap1().refuse = true;
    T_MMS_SCRIPT_CONTEXT* context = reinterpret_cast<T_MMS_SCRIPT_CONTEXT*>(1);
    EXPECT_EQ(mms_yylex_init(&context), 0u);
    EXPECT_EQ(context, nullptr);
    MmsTest::heap1().refuse = false;
}

TEST_F(ScriptTest, NameRule)
{
    struct NameCase {
        const char* text;
        uint32_t length;
        uint32_t expected;
    };
    const NameCase cases[] = {
        {"abc", 3, 0},          {"a/b", 3, 0x80010012u}, {"a b", 3, 0x80010012u}, {"a\tb", 3, 0x80010012u},
        {"abc\0zz/", 7, 0},     {"\0abc", 4, 0x80010012u}, {"", 0, 0x80010000u},   {nullptr, 3, 0x80010000u},
        {"ab/", 2, 0},  // the length bounds the scan
    };
    for (const NameCase& c : cases) EXPECT_EQ(MMS::isIllegalName(c.text, c.length), c.expected) << (c.text ? c.text : "(null)");
}

TEST_F(ScriptTest, ReallocShim)
{
    auto& heap = MmsTest::heap1();
    const int liveBefore = heap.live;
    char* block = static_cast<char*>(mmsPureMalloc(8));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abcdefg", 8);
    EXPECT_EQ(mmsPureRealloc(block, 8, 4), block);  // big enough: unchanged
    char* grown = static_cast<char*>(mmsPureRealloc(block, 8, 16));
    ASSERT_NE(grown, nullptr);
    EXPECT_STREQ(grown, "abcdefg");
    EXPECT_EQ(mmsPureRealloc(grown, 16, 0), grown);  // old size covers it
    heap.refuse = true;
    EXPECT_EQ(mmsPureRealloc(grown, 16, 32), nullptr);  // old block freed even so
    heap.refuse = false;
    EXPECT_EQ(heap.live, liveBefore);
    EXPECT_EQ(mmsPureRealloc(nullptr, 0, 0), nullptr);
}

}  // namespace
