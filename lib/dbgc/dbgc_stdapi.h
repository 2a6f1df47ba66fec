#pragma once
// The program-wide debug print: every trace text is formatted once and written to each registered
// console output, then to standard output. Any task may print; one plain lock "DBGC" serialises
// the shared buffer and the writes. dbgFinalize closes the layer for the rest of the process.
#include <cstdarg>
#include <cstdint>

#include "dbgc/dbgc_IDebugConsoleLowIO.h"

extern "C" {

// Registers an output (borrowed; it must stay alive until dbgFinalize). 0, also when the layer is
// closed (then nothing is registered); 0x80000000 when two outputs are registered already.
uint32_t dbgAddLowIO(DBGC::IDebugConsoleLowIO& lowIO);
// Closes the layer for good: 0, or 0x80000000 without a lock or when it cannot be deleted
// (the layer is closed all the same).
uint32_t dbgFinalize();

// The output lock. A holder must not call dbgPrintf, dbgVPrintf or dbgPrintStr (the lock is not
// recursive); it prints with dbgPrintfRaw or dbgVPrintfRaw.
uint32_t dbgEnterCriticalSection();
uint32_t dbgLeaveCriticalSection();

// 0 off, 1 on (the start value); any other mode gives 0x80000000 and changes nothing.
uint32_t dbgSetDbgMode(int32_t mode);
int32_t dbgGetDbgMode();

// Formats with jlib_vsnprintf (no floating point; cut at 399 characters) and writes the text.
// Returns its length, or 0 when nothing was written (mode 0, closed layer, null format).
uint32_t dbgPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
uint32_t dbgVPrintf(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
// Writes an already formatted text whole, without the 399-character cut.
uint32_t dbgPrintStr(const char* text);
// For holders of the output lock: test only the mode, then format and write without the lock.
uint32_t dbgPrintfRaw(const char* format, ...) __attribute__((format(printf, 1, 2)));
uint32_t dbgVPrintfRaw(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Unsigned numbers in base 16 (at most 8 characters), 10 (at most 10) and 2 (at most 32);
// the result is jlib_strntoul's.
uint32_t dbgCnvHex2Bin(uint32_t* value, const char* text);
uint32_t dbgCnvDec2Bin(uint32_t* value, const char* text);
uint32_t dbgCnvBit2Bin(uint32_t* value, const char* text);
// ASCII case of a writable NUL-terminated text, in place; always 0 (a null text is left alone).
uint32_t dbgCnvChrBig2Small(char* text);
uint32_t dbgCnvChrSmall2Big(char* text);

}  // extern "C"
