#pragma once
// Bounded text helpers: explicit bounds, null pointers answered with a code instead of a crash.
// A "bound" counts characters without the terminator; a "size" is a buffer size that must hold
// the terminator too. Stateless; any task.
#include <cstdint>

// Result codes of the text, memory and number helpers.
constexpr uint32_t JLIB_STR_OK = 0u;
constexpr uint32_t JLIB_STR_REFUSED = 0x80000001u;      // refused argument (parsers, byte swaps)
constexpr uint32_t JLIB_STR_OVERFLOW = 0x80000002u;     // integer overflow, or malformed literal
constexpr uint32_t JLIB_STR_NULL = 0x80000003u;         // null pointer or zero length; underflow
constexpr uint32_t JLIB_STR_NOT_FOUND = 0x80000004u;    // nothing within the bound
constexpr uint32_t JLIB_STR_CUT = 0x80000005u;          // text cut to fit
constexpr uint32_t JLIB_STR_BOUND_REACHED = 5u;         // jlib_strncpy: bound characters copied
// Comparison answers.
constexpr uint32_t JLIB_CMP_EQUAL = 0u;
constexpr uint32_t JLIB_CMP_GREATER = 1u;  // first greater
constexpr uint32_t JLIB_CMP_SMALLER = 2u;  // first smaller

// The length before the first NUL, at most bound; 0 for a null text. Returns the length itself.
uint32_t jlib_strlen(const char* text, uint32_t bound);
// Looks for the NUL at positions 0..bound (the text must be readable there or end earlier):
// 0 and its position, or 0x80000004 with *length = bound; 0x80000003 for a null length pointer
// (nothing written) or a null text (*length = 0).
[[nodiscard]] uint32_t jlib_strnlen(const char* text, uint32_t bound, uint32_t* length);
// As jlib_strnlen over positions 0..bound-1: the bound is the size of the buffer.
[[nodiscard]] uint32_t jlib_strnlen_s(const char* text, uint32_t bound, uint32_t* length);
// Signed 8-bit comparison of at most bound characters, stopping after a common NUL:
// 0 equal, 1 first greater, 2 first smaller; 0x80000003 for a null text or bound 0.
[[nodiscard]] uint32_t jlib_strncmp(const char* first, const char* second, uint32_t bound);
// Copies at most size-1 characters and always terminates: 0 whole, 0x80000005 cut,
// 0x80000003 for a null pointer or size 0.
[[nodiscard]] uint32_t jlib_strcpy(char* destination, uint32_t size, const char* source);
[[nodiscard]] uint32_t jlib_strcpy_s(char* destination, uint32_t size, const char* source);
// Copies up to the source's NUL or bound characters, then a NUL (destination holds bound + 1):
// 0 when the NUL came within the bound, 5 when bound characters were copied;
// 0x80000003 for a null pointer or bound 0.
[[nodiscard]] uint32_t jlib_strncpy(char* destination, const char* source, uint32_t bound);
// Looks for the character at positions 0..bound, stopping at the text's NUL (NUL itself is found
// there): 0 and its position, or 0x80000004 and null; 0x80000003 for a null position pointer
// (nothing written), a null text or bound 0 (null position).
[[nodiscard]] uint32_t jlib_strnchr(const char* text, char character, uint32_t bound, const char** found);
