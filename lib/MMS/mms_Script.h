#pragma once
// Numbers of the definition readers: one literal (cnvStrToNum), or a literal or a small integer
// expression with + - * / %, parentheses and "$NAME" macros (cnvScriptToNum); the tree's name
// rule; and the memory and string shims the expression reader runs on. Re-entrant: each
// expression has its own context and stacks, created and freed within one call.
#include <atomic>
#include <cstdint>

class JVariant;

// One macro of a caller's table: a NUL-terminated name and its value. The table is only read.
struct T_MMS_SCRIPT_MACRO {
    const char* name;
    int32_t value;
};

// The state of one expression: result, macro table, text, read position.
struct T_MMS_SCRIPT_CONTEXT {
    int32_t result;
    const T_MMS_SCRIPT_MACRO* macros;
    uint32_t macroCount;
    const char* text;
    uint32_t length;
    uint32_t position;
};

namespace MMS {

// Result codes of the definition readers.
constexpr uint32_t kMmspMissingArgument = 0x80010000u;
constexpr uint32_t kMmspReadFailed = 0x80010010u;
constexpr uint32_t kMmspFieldRefused = 0x80010011u;
constexpr uint32_t kMmspUnacceptable = 0x80010012u;
constexpr uint32_t kMmspOpenFailed = 0x80010020u;
constexpr uint32_t kMmspNoMemory = 0x80010080u;

// Reading kinds.
constexpr unsigned kReadingSigned = 0;
constexpr unsigned kReadingUnsigned = 1;
constexpr unsigned kReadingReal = 3;

// One literal within length (it may end earlier at a NUL): UInt32 with kind 1, Int32 with kind 0,
// Float with kind 3. On success the reader's code: 0 when a NUL ended the text within length, 1
// when not; 0x80010000 for a null kind or value or text, or length 0;
// 0x80010012 for a text that is not a number; 0x80000000 for any other failure.
[[nodiscard]] uint32_t cnvStrToNum(const char* text, uint32_t length, JVariant* value, unsigned* kind);

// A literal as cnvStrToNum, else an integer expression stored as Int32 (when value is given) with
// kind 1 above 0 and kind 0 otherwise (when kind is given), result 0. Never fails: a text that is neither
// reads as 0 with kind 0 and result 0. A null kind sends every text to the expression reader.
uint32_t cnvScriptToNum(const char* text, uint32_t length, JVariant* value, unsigned* kind,
                        const T_MMS_SCRIPT_MACRO* macros, uint32_t macroCount);

// The tree's name rule within length: 0 acceptable; 0x80010000 for a null text or length 0;
// 0x80010012 for "/", a blank or a tab, or a NUL in the first place.
[[nodiscard]] uint32_t isIllegalName(const char* text, uint32_t length);

}  // namespace MMS

// Token codes of the expression lexer: 0 end of input, the operator characters as themselves.
constexpr int kMmsTokenEnd = 0;
constexpr int kMmsTokenValue = 258;

// Parser stacks: 200 entries at first, doubled on growth, never more than 10000.
constexpr uint32_t kMmsStackInitial = 200;
constexpr uint32_t kMmsStackMax = 10000;
// A number token is at most this long: the prefix scan stops there.
constexpr uint32_t kMmsMaxNumberToken = 64;

// Syntax errors of the latest parse; every parse writes it, so it is atomic.
extern std::atomic<int> mms_yynerrs;

// Out context, zero-filled (null when it cannot be allocated); always 0.
uint32_t mms_yylex_init(T_MMS_SCRIPT_CONTEXT** context);
// 0, or 0x80000000 for a null context.
uint32_t mms_setScriptMacros(const T_MMS_SCRIPT_MACRO* macros, uint32_t count, T_MMS_SCRIPT_CONTEXT* context);
uint32_t mms_initializeLexicalAnalyzer(const char* text, uint32_t length, T_MMS_SCRIPT_CONTEXT* context);
// 0 when the input was accepted, 1 when it was rejected.
int mms_yyparse(T_MMS_SCRIPT_CONTEXT* context);
// The context's result; 0 for a null context.
int32_t mms_getScriptParseResult(const T_MMS_SCRIPT_CONTEXT* context);
uint32_t mms_yylex_destroy(T_MMS_SCRIPT_CONTEXT* context);
// The next token; its value goes to *value for a VALUE token.
int mms_yylex(int32_t* value, T_MMS_SCRIPT_CONTEXT* context);
// Sets the context's result to 0; prints nothing.
void mms_yyerror(T_MMS_SCRIPT_CONTEXT* context, const char* message);
int mms_yywrap();

// The tree library's memory and string functions, one to one.
uint32_t mmsPureMemset(void* p, unsigned char value, uint32_t n);
uint32_t mmsPureMemcmp(const void* a, const void* b, uint32_t n);
uint32_t mmsPureMemcpy(void* dst, const void* src, uint32_t n);
uint32_t mmsPureStrnlen(const char* s, uint32_t n);
uint32_t mmsPureStrncmp(const char* a, const char* b, uint32_t n);
uint32_t mmsPureStrncpy(char* dst, const char* src, uint32_t n);
void* mmsPureMalloc(uint32_t size);
uint32_t mmsPureFree(void* block);
// The block itself when it exists and oldSize >= newSize; otherwise a new block of newSize (none
// for 0) holding the old bytes, the old block freed (also when the allocation failed).
void* mmsPureRealloc(void* block, uint32_t oldSize, uint32_t newSize);
