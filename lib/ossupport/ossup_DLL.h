#pragma once
// Shared libraries: open, look up a symbol, close. Plain functions over the dynamic loader;
// any task may call; the caller owns a handle from ossup_DLLOpen to ossup_DLLClose.
#include <cstdint>

#include "jlib/jlib_result.h"

constexpr JLIB::JResult kOssupDllBadArgument = 0x80000001u;
constexpr JLIB::JResult kOssupDllUnavailable = 0x80000002u;

// Lazy binding. When loading fails *handle is null, the loader's message is copied (cut) into
// errorText when one is given, and the result is kOssupDllUnavailable.
[[nodiscard]] JLIB::JResult ossup_DLLOpen(void** handle, char* errorText, uint32_t errorSize, const char* path);
// *function is the symbol's address, null with kOssupDllUnavailable when missing.
[[nodiscard]] JLIB::JResult ossup_GetDLLFunction(void** function, void* handle, const char* symbol);
// kOssupDllBadArgument for null, 0x80000000 when the loader refuses.
[[nodiscard]] JLIB::JResult ossup_DLLClose(void* handle);
