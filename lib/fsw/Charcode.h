#pragma once
// Converters between UTF-8 and UTF-16 text. Any task may call them.
// The result is the number of destination units used, terminating zero included, or 0 when
// the text did not fit (or was refused). A destination length of 0 asks for the size needed.
// The source ends at its length or its first zero.
#include <cstdint>

// Values UTF-16 cannot carry (above U+10FFFF) become U+FFFD.
uint32_t Charcode_Utf8toUtf16(const char* source, uint32_t sourceLength, uint16_t* destination,
                              uint32_t destinationLength);
// A high surrogate without its low one fails the whole conversion (0); a lone low one is skipped.
uint32_t Charcode_Utf16toUtf8(const uint16_t* source, uint32_t sourceLength, char* destination,
                              uint32_t destinationLength);
