#pragma once
// Bounded printf of the system: conversions d u x X c s and %%, flags + - 0 and a width;
// no precision, no length modifier, no floating point. Never writes past the buffer,
// always terminates it; truncation is still a success. Stateless: any task may call.
#include "jlib/jlib_result.h"

#include <cstdarg>
#include <cstdint>

// 0 on success, with *length (when given) the characters written, at most size - 1;
// 0x80000000 for a null buffer or format or size 0 (nothing written, *length untouched).
// Any other character after the flags and width is printed as text and takes no argument.
[[nodiscard]] JLIB::JResult jlib_snprintf(char* buffer, uint32_t size, uint32_t* length, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
[[nodiscard]] JLIB::JResult jlib_vsnprintf(char* buffer, uint32_t size, uint32_t* length, const char* format,
                                           va_list args) __attribute__((format(printf, 4, 0)));

// The same over wchar_t; %c takes a 32-bit character and %s a wide text.
[[nodiscard]] JLIB::JResult jlib_wsnprintf(wchar_t* buffer, uint32_t size, uint32_t* length, const wchar_t* format,
                                           ...);
[[nodiscard]] JLIB::JResult jlib_wvsnprintf(wchar_t* buffer, uint32_t size, uint32_t* length,
                                            const wchar_t* format, va_list args);
