#pragma once
// Event text items: a key of letters and digits, a colon and a value, items separated by blanks.
// Values are written with backslash escapes (gl_escCnvTbl), as decimal numbers or as upper-case
// hexadecimal byte streams. Stateless; any task. The writers never write a terminating zero and
// report in *length (optional) how many bytes they wrote, also on failure.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace ComControl {

constexpr JLIB::JResult kEvtpBadArgument = 0x80000001u;  // null buffer or input, capacity 0
constexpr JLIB::JResult kEvtpSyntax = 0x80000002u;       // no item here (also: the end of the items)
constexpr JLIB::JResult kEvtpNoRoom = 0x80000003u;
constexpr JLIB::JResult kEvtpIllegal = 0x80000004u;      // bad key, or a value ending in a lone backslash

// A character and what follows the backslash when it is written escaped.
struct T_ESC_CNV {
    char plain;
    char written;
};
constexpr uint32_t kEscCnvCount = 6;
extern const T_ESC_CNV gl_escCnvTbl[kEscCnvCount];

// 0 for a key of the letters A-Z, a-z and the digits 0-9 only; 0x80000004 otherwise (an empty key
// included); 0x80000001 for null.
[[nodiscard]] JLIB::JResult checkIllegalKey(const char* key);

// The key and ':'; they must fit in capacity - 1 bytes.
[[nodiscard]] JLIB::JResult evtpEncodeKey(char* buffer, uint32_t capacity, uint32_t* length, const char* key);
// The value (valueLength characters, 0: up to its terminating zero) with escapes applied. The
// output must stay below capacity: a full buffer is 0x80000003 even when the value ends there.
[[nodiscard]] JLIB::JResult evtpAttachEscapeSequence(char* buffer, uint32_t capacity, uint32_t* length,
                                                     const char* value, uint32_t valueLength);
// The items below succeed only when the whole item is shorter than capacity - 1.
[[nodiscard]] JLIB::JResult evtpEncodeStringEx(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                               const char* value, uint32_t valueLength);
[[nodiscard]] JLIB::JResult evtpEncodeString(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                             const char* value);
// "%d": 32-bit values above 0x7FFFFFFF appear negative.
[[nodiscard]] JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                             int32_t number);
[[nodiscard]] JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                             uint32_t number);
[[nodiscard]] JLIB::JResult evtpEncodeNumber(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                             uint16_t number);
// Two upper-case hexadecimal digits per byte; bytes may be null only when count is 0.
[[nodiscard]] JLIB::JResult evtpEncodeStream(char* buffer, uint32_t capacity, uint32_t* length, const char* key,
                                             const uint8_t* bytes, uint32_t count);

// The next item of text (textLength characters, 0: up to its terminating zero): the key, the value
// with its escapes still in place, and in *consumed the characters up to the next item (also on
// failure). Every output is required. 0; 0x80000002 where no key and colon are found (an empty
// text, a blank in the key, a colon right at the length limit); 0x80000003 when only blanks lie
// before the length limit; 0x80000004 for a value that ends in an unpaired backslash.
[[nodiscard]] JLIB::JResult evtpParseCommand(const char* text, uint32_t textLength, const char** key,
                                             uint32_t* keyLength, const char** value, uint32_t* valueLength,
                                             uint32_t* consumed);
// The plain value of an escaped one (escapedLength characters, 0: up to its terminating zero): 't',
// 'n' and 'r' after a backslash give tab, line feed and carriage return, any other character
// itself; a lone trailing backslash is dropped. Like the writers, the output must stay below
// capacity (0x80000003).
[[nodiscard]] JLIB::JResult evtpRemoveEscapeSequence(char* buffer, uint32_t capacity, uint32_t* length,
                                                     const char* escaped, uint32_t escapedLength);

}  // namespace ComControl
