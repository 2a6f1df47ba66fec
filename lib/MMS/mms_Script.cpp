// The expression reader of the definition files: a lexer over the caller's text in place and a
// shift-reduce parser with explicit state and value stacks. Grammar:
//   input: expr;  expr: VALUE | expr + expr | expr - expr | expr * expr | expr / expr
//                       | expr % expr | ( expr )
// with * / % above + -, all left-associative, no unary minus.
#include "mms_Script.h"

#include <climits>

#include "MMS/Common/mms_Platform.h"
#include "jlib/JVariant.h"
#include "jlib/jlib_number.h"

std::atomic<int> mms_yynerrs{0};

// ---- shims ----------------------------------------------------------------------------------

uint32_t mmsPureMemset(void* p, unsigned char value, uint32_t n) { return MMS::mmsMemset(p, value, n); }
uint32_t mmsPureMemcmp(const void* a, const void* b, uint32_t n) { return MMS::mmsMemcmp(a, b, n); }
uint32_t mmsPureMemcpy(void* dst, const void* src, uint32_t n) { return MMS::mmsMemcpy(dst, src, n); }
uint32_t mmsPureStrnlen(const char* s, uint32_t n) { return MMS::mmsStrnlen(s, n); }
uint32_t mmsPureStrncmp(const char* a, const char* b, uint32_t n) { return MMS::mmsStrncmp(a, b, n); }
uint32_t mmsPureStrncpy(char* dst, const char* src, uint32_t n) { return MMS::mmsStrncpy(dst, src, n); }
void* mmsPureMalloc(uint32_t size) { return MMS::mmsMalloc(size); }
uint32_t mmsPureFree(void* block) { return MMS::mmsFree(block); }

void* mmsPureRealloc(void* block, uint32_t oldSize, uint32_t newSize)
{
    if (block && oldSize >= newSize) return block;
    void* fresh = newSize ? mmsPureMalloc(newSize) : nullptr;
    if (fresh && block && oldSize) (void)mmsPureMemcpy(fresh, block, oldSize);
    (void)mmsPureFree(block);
    return fresh;
}

// ---- context --------------------------------------------------------------------------------

uint32_t mms_yylex_init(T_MMS_SCRIPT_CONTEXT** context)
{
    if (!context) return 0;
    auto* fresh = static_cast<T_MMS_SCRIPT_CONTEXT*>(mmsPureMalloc(sizeof(T_MMS_SCRIPT_CONTEXT)));
    if (fresh) (void)mmsPureMemset(fresh, 0, sizeof(T_MMS_SCRIPT_CONTEXT));
    *context = fresh;
    return 0;
}

uint32_t mms_setScriptMacros(const T_MMS_SCRIPT_MACRO* macros, uint32_t count, T_MMS_SCRIPT_CONTEXT* context)
{
    if (!context) return 0x80000000u;
    context->macros = macros;
    context->macroCount = macros ? count : 0;
    return 0;
}

uint32_t mms_initializeLexicalAnalyzer(const char* text, uint32_t length, T_MMS_SCRIPT_CONTEXT* context)
{
    if (!context) return 0x80000000u;
    context->text = text;
    context->length = text ? length : 0;
    context->position = 0;
    return 0;
}

int32_t mms_getScriptParseResult(const T_MMS_SCRIPT_CONTEXT* context) { return context ? context->result : 0; }

uint32_t mms_yylex_destroy(T_MMS_SCRIPT_CONTEXT* context)
{
    (void)mmsPureFree(context);
    return 0;
}

void mms_yyerror(T_MMS_SCRIPT_CONTEXT* context, const char* message)
{
    (void)message;  // nothing is printed
    if (context) context->result = 0;
}

int mms_yywrap() { return 1; }

// ---- lexer ----------------------------------------------------------------------------------

namespace {

bool isIgnorableCharacter(char c) { return c == ' ' || c == '\t'; }

bool isEndCharacter(char c) { return c == '\0' || c == '\n' || c == '\r' || c == '<' || c == '>'; }

bool isOperatorCharacter(char c)
{
    return c == '%' || c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/';
}

bool isSuitableMacroName(char c, bool first)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return true;
    return !first && c >= '0' && c <= '9';
}

bool isSuitableValue(const char* text, uint32_t length)
{
    uint32_t bits = 0;
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
    return (jlib_str2value(&bits, &category, text, length) & 0x80000000u) == 0;
}

// The value of the first entry whose name is exactly these characters; 0 when none.
int32_t search(const T_MMS_SCRIPT_CONTEXT* context, const char* name, uint32_t length)
{
    if (length == 0 || !context->macros) return 0;
    for (uint32_t i = 0; i < context->macroCount; ++i) {
        const char* entry = context->macros[i].name;
        if (!entry) continue;
        uint32_t n = 0;
        while (n < length && entry[n] == name[n]) ++n;
        if (n == length && entry[n] == '\0') return context->macros[i].value;
    }
    return 0;
}

}  // namespace

int mms_yylex(int32_t* value, T_MMS_SCRIPT_CONTEXT* context)
{
    if (!context || !context->text) return kMmsTokenEnd;
    const char* text = context->text;
    const uint32_t length = context->length;
    uint32_t& pos = context->position;
    int32_t scratch = 0;
    int32_t& out = value ? *value : scratch;

    while (pos < length && isIgnorableCharacter(text[pos])) ++pos;
    if (pos >= length) return kMmsTokenEnd;
    const char c = text[pos];
    if (isEndCharacter(c)) {
        ++pos;
        return kMmsTokenEnd;
    }
    if (isOperatorCharacter(c)) {
        ++pos;
        return c;
    }
    if (c == '$') {
        ++pos;
        const uint32_t start = pos;
        while (pos < length && isSuitableMacroName(text[pos], pos == start)) ++pos;
        out = search(context, text + start, pos - start);
        return kMmsTokenValue;
    }
    // A number: the longest accepted prefix, at most kMmsMaxNumberToken characters, so a long
    // text costs a bounded scan instead of one reading per prefix length.
    const uint32_t rest = length - pos;
    const uint32_t limit = rest < kMmsMaxNumberToken ? rest : kMmsMaxNumberToken;
    uint32_t token = 0;
    for (uint32_t n = 1; n <= limit && isSuitableValue(text + pos, n); ++n) token = n;
    out = 0;
    if (token > 0) {
        uint32_t bits = 0;
        CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
        const uint32_t r = jlib_str2value(&bits, &category, text + pos, token);
        if ((r & 0x80000000u) == 0 && (category == CATEGORY_JLIB_UNSIGNED || category == CATEGORY_JLIB_NEGATIVE))
            out = static_cast<int32_t>(bits);
    }
    pos += token;
    return kMmsTokenValue;
}

// ---- parser ---------------------------------------------------------------------------------

namespace {

// Stack symbols besides the operator and "(" characters.
constexpr int16_t kSymBase = 1;
constexpr int16_t kSymExpr = 2;

int precedence(int op) { return (op == '*' || op == '/' || op == '%') ? 2 : 1; }

bool isBinaryOperator(int t) { return t == '+' || t == '-' || t == '*' || t == '/' || t == '%'; }

// Wrapping 32-bit arithmetic; a divisor of 0 gives 0, and the least value by -1 gives itself
// (quotient) or 0 (remainder) instead of trapping.
int32_t apply(int op, int32_t a, int32_t b)
{
    const uint32_t ua = static_cast<uint32_t>(a);
    const uint32_t ub = static_cast<uint32_t>(b);
    switch (op) {
    case '+': return static_cast<int32_t>(ua + ub);
    case '-': return static_cast<int32_t>(ua - ub);
    case '*': return static_cast<int32_t>(ua * ub);
    case '/':
        if (b == 0) return 0;
        if (a == INT32_MIN && b == -1) return INT32_MIN;
        return a / b;
    default:
        if (b == 0) return 0;
        if (a == INT32_MIN && b == -1) return 0;
        return a % b;
    }
}

class Stacks {
public:
    ~Stacks()
    {
        (void)mmsPureFree(m_states);
        (void)mmsPureFree(m_values);
    }
    bool push(int16_t state, int32_t value)
    {
        if (m_depth == m_capacity && !grow()) return false;
        m_states[m_depth] = state;
        m_values[m_depth] = value;
        ++m_depth;
        return true;
    }
    void pop(uint32_t n) { m_depth -= n; }
    uint32_t depth() const { return m_depth; }
    int16_t state(uint32_t fromTop) const { return m_states[m_depth - 1 - fromTop]; }
    int32_t value(uint32_t fromTop) const { return m_values[m_depth - 1 - fromTop]; }

    // Reduces "expr op expr" on top while the operator binds at least as tightly as minPrecedence.
    void reduce(int minPrecedence)
    {
        while (m_depth >= 4 && state(0) == kSymExpr && isBinaryOperator(state(1)) && state(2) == kSymExpr &&
               precedence(state(1)) >= minPrecedence) {
            const int32_t r = apply(state(1), value(2), value(0));
            pop(3);
            (void)push(kSymExpr, r);  // room is there: three entries were just popped
        }
    }

private:
    bool grow()
    {
        if (m_capacity >= kMmsStackMax) return false;
        uint32_t next = m_capacity ? m_capacity * 2 : kMmsStackInitial;
        if (next > kMmsStackMax) next = kMmsStackMax;
        m_states = static_cast<int16_t*>(mmsPureRealloc(m_states, m_capacity * sizeof(int16_t), next * sizeof(int16_t)));
        m_values = static_cast<int32_t*>(mmsPureRealloc(m_values, m_capacity * sizeof(int32_t), next * sizeof(int32_t)));
        if (!m_states || !m_values) {
            m_capacity = 0;
            m_depth = 0;
            return false;
        }
        m_capacity = next;
        return true;
    }

    int16_t* m_states = nullptr;
    int32_t* m_values = nullptr;
    uint32_t m_capacity = 0;
    uint32_t m_depth = 0;
};

int syntaxError(T_MMS_SCRIPT_CONTEXT* context)
{
    mms_yyerror(context, "syntax error");
    mms_yynerrs.fetch_add(1, std::memory_order_relaxed);
    return 1;
}

int overflow(T_MMS_SCRIPT_CONTEXT* context)
{
    mms_yyerror(context, "yacc stack overflow");
    return 1;
}

}  // namespace

int mms_yyparse(T_MMS_SCRIPT_CONTEXT* context)
{
    mms_yynerrs.store(0, std::memory_order_relaxed);
    Stacks stacks;
    if (!stacks.push(kSymBase, 0)) return overflow(context);
    bool expectOperand = true;
    for (;;) {
        int32_t value = 0;
        const int token = mms_yylex(&value, context);
        if (expectOperand) {
            if (token == kMmsTokenValue) {
                if (!stacks.push(kSymExpr, value)) return overflow(context);
                expectOperand = false;
            } else if (token == '(') {
                if (!stacks.push('(', 0)) return overflow(context);
            } else {
                return syntaxError(context);
            }
            continue;
        }
        if (isBinaryOperator(token)) {
            stacks.reduce(precedence(token));  // left-associative: equal precedence reduces first
            if (!stacks.push(static_cast<int16_t>(token), 0)) return overflow(context);
            expectOperand = true;
        } else if (token == ')') {
            stacks.reduce(0);
            if (stacks.depth() < 3 || stacks.state(1) != '(') return syntaxError(context);
            const int32_t inner = stacks.value(0);
            stacks.pop(2);
            (void)stacks.push(kSymExpr, inner);
        } else if (token == kMmsTokenEnd) {
            stacks.reduce(0);
            if (stacks.depth() != 2 || stacks.state(0) != kSymExpr) return syntaxError(context);
            if (context) context->result = stacks.value(0);
            return 0;
        } else {
            return syntaxError(context);
        }
    }
}

// ---- readers --------------------------------------------------------------------------------

namespace MMS {

uint32_t cnvStrToNum(const char* text, uint32_t length, JVariant* value, unsigned* kind)
{
    if (!kind) return kMmspMissingArgument;
    CATEGORY_JLIB_TYPE category = CATEGORY_JLIB_UNSIGNED;
    const uint32_t r = jlib_str2JVariant(value, &category, text, length);
    if (r & 0x80000000u) {
        if (r == JLIB_STR_REFUSED) return kMmspMissingArgument;
        if (r == JLIB_STR_OVERFLOW) return kMmspUnacceptable;
        return 0x80000000u;
    }
    // The reader's own success code passes through: 1 tells that no NUL came within the length.
    switch (category) {
    case CATEGORY_JLIB_UNSIGNED: *kind = kReadingUnsigned; return r;
    case CATEGORY_JLIB_NEGATIVE: *kind = kReadingSigned; return r;
    case CATEGORY_JLIB_FLOAT: *kind = kReadingReal; return r;
    default: return kMmspUnacceptable;
    }
}

uint32_t cnvScriptToNum(const char* text, uint32_t length, JVariant* value, unsigned* kind,
                        const T_MMS_SCRIPT_MACRO* macros, uint32_t macroCount)
{
    const uint32_t literal = cnvStrToNum(text, length, value, kind);
    if ((literal & 0x80000000u) == 0) return literal;
    T_MMS_SCRIPT_CONTEXT* context = nullptr;
    (void)mms_yylex_init(&context);
    (void)mms_setScriptMacros(macros, macroCount, context);
    (void)mms_initializeLexicalAnalyzer(text, length, context);
    (void)mms_yyparse(context);
    const int32_t result = mms_getScriptParseResult(context);
    (void)mms_yylex_destroy(context);
    if (value) (void)value->setInt32(result);
    if (kind) *kind = result > 0 ? kReadingUnsigned : kReadingSigned;
    return 0;
}

uint32_t isIllegalName(const char* text, uint32_t length)
{
    if (!text || length == 0) return kMmspMissingArgument;
    for (uint32_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '\0') return i > 0 ? 0 : kMmspUnacceptable;
        if (c == '/' || c == ' ' || c == '\t') return kMmspUnacceptable;
    }
    return 0;
}

}  // namespace MMS
