#pragma once
// The log of the scene and preset lists, shared by both: each log line is switched on its own.
#include <cstdarg>

#include "dbgc/dbgc_stdapi.h"

namespace LPC::internal {

// printf arguments must never be null.
inline const char* text(const char* s) { return s ? s : ""; }

inline void uzLog(bool on, const char* format, ...) __attribute__((format(printf, 2, 3)));
inline void uzLog(bool on, const char* format, ...)
{
    if (!on) return;
    va_list args;
    va_start(args, format);
    (void)dbgVPrintf(format, args);  // the debug print may be off
    va_end(args);
}

}  // namespace LPC::internal
