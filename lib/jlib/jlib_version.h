#pragma once
// Packed version words: byte 3 'V' (kind 1) or 'R' (kind 0), byte 2 major,
// byte 1 minor * 10 + sub, byte 0 the letter 'a'..'z' as 0..25. Stateless: any task may call.
#include "jlib/jlib_result.h"

#include <cstdint>

// 0, or 0x80000000 with *word set to 0 for a kind of 2 or more, a major outside 0..255,
// minor or sub outside 0..9, or a letter that is not 'a'..'z' after lower-casing.
// word must not be null.
[[nodiscard]] JLIB::JResult jlib_encodeVersion(uint32_t* word, uint32_t kind, int major, int minor, int sub,
                                               int letter);

// Every out-pointer is optional. 0x80000000 for a word whose top byte is not 'V' or 'R',
// whose byte 1 is 100 or more or whose byte 0 is 26 or more (nothing written then).
[[nodiscard]] JLIB::JResult jlib_decodeVersion(uint32_t* kind, int* major, int* minor, int* sub, char* letter,
                                               uint32_t word);

// "V1.23" / "R1.23", the letter appended when it is not 'a' ("V1.23c"); a word that does
// not decode gives the text "V?.???" and 0x80000000. The text is cut at the buffer size.
[[nodiscard]] JLIB::JResult jlib_makeVersionString(char* buffer, uint32_t size, uint32_t word);
