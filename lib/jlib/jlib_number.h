#pragma once
// Number parsing within a length: integers in bases 2 to 36, simple decimals, and numeric
// literals that become JVariant values. Result codes as in jlib_string.h. Stateless; any task.
#include "jlib/jlib_string.h"

#include <cstdint>

class JVariant;

// What a literal holds.
enum CATEGORY_JLIB_TYPE : int32_t {
    CATEGORY_JLIB_UNSIGNED = 0,  // octal, hexadecimal, or decimal without "-", fraction or exponent
    CATEGORY_JLIB_NEGATIVE = 1,  // decimal integer led by "-"
    CATEGORY_JLIB_FLOAT = 2,     // fraction digits or a non-zero exponent
};

// Skips blanks, tabs and one sign within *remaining characters, counting *remaining down and
// writing the position after them to *after. -1 for "-", 0 otherwise (also for a null argument,
// which leaves the outputs untouched).
int jlib_getsign(const char* text, const char** after, uint32_t* remaining);
// base 0 picks 16 for "0x", 8 for a leading "0", else 10. A text without digits gives 0 and
// success; *end (optional) is the first character not consumed.
// 0x80000002 overflow (0x7FFFFFFF), 0x80000003 underflow (-0x80000000), 0x80000001 for a null
// result or text or a base other than 0 and 2..36.
[[nodiscard]] uint32_t jlib_strntol(int32_t* result, const char* text, const char** end, int base, uint32_t length);
// Magnitude held at 0xFFFFFFFF with 0x80000002, negated modulo 2^32 after a "-".
[[nodiscard]] uint32_t jlib_strntoul(uint32_t* result, const char* text, const char** end, int base, uint32_t length);
// Digits with at most one fraction part; no exponent. 0x80000001 for a null result or text.
[[nodiscard]] uint32_t jlib_strntod(double* result, const char* text, const char** end, uint32_t length);
// Classifies and reads a literal ("42", "-42", "1.5f", "0x1F", "x1F", "017", "10ul", "2e3").
// *result (optional) receives the 32 bits: unsigned for category 0, signed for 1, a float's bits
// for 2. Returns 0 when a NUL lies within the length, 1 when not; 0x80000002 malformed;
// 0x80000001 for a null text or category or length 0.
[[nodiscard]] uint32_t jlib_str2value(uint32_t* result, CATEGORY_JLIB_TYPE* category, const char* text, uint64_t length);
// jlib_str2value into a JVariant: UInt32, Int32 or Float by category; failures leave it unchanged.
[[nodiscard]] uint32_t jlib_str2JVariant(JVariant* value, CATEGORY_JLIB_TYPE* category, const char* text, uint64_t length);
