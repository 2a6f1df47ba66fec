#pragma once
// Path normaliser: one leading slash at most, no empty, "." or ".." components, and
// back-slashes read as slashes. Any task may call it.
#include <cstdint>

#include "jlib/jlib_result.h"

// The result is never longer than the path, so `out` needs room for the path and its
// terminator. kFswFailed (out empty) for a null argument or a ".." that climbs above the start.
// A ".." never removes the root of an absolute path: /a/../b gives /b.
[[nodiscard]] JLIB::JResult fsw_pathAdjust(char* out, const char* path);
[[nodiscard]] JLIB::JResult fsw_pathAdjustUtf16(uint16_t* out, const uint16_t* path);
