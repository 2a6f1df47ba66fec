#pragma once
// Shift_JIS (Windows code page 932) to and from Unicode, one character at a time. Any task.
#include <cstdint>

// Codes below 0x80 come back unchanged; a code outside the double-byte ranges gives U+FFFD.
uint16_t jlib_sjis2unicode(uint16_t code);
// The code page 932 code of a code point (single byte for ASCII and half-width katakana);
// 0 where there is none and above 0xFFFF.
uint16_t jlib_unicode2sjis(uint32_t codePoint);
