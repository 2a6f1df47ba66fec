#pragma once
// File helpers: 16-byte unique ids, byte-range comparison, the machine's MAC address and the
// current time. Any task may call.
#include <cstdint>

#include "jlib/jlib_result.h"

constexpr uint32_t kFileUuidSize = 16;

// Bytes 0-5 the MAC address of the first interface that is up, not loopback and has an IPv4
// address (random node bytes, multicast bit set, where there is none); 6-9 the time in seconds,
// least significant byte first; 10-12 and 13-15 two steps of a 24-bit generator.
// kFailed for a null buffer or a size below 16; a failure of the time is returned unchanged
// and the buffer is then untouched.
[[nodiscard]] JLIB::JResult file_getUuid(uint8_t* buffer, uint32_t size);
// *equal is 1 when the bytes agree, else 0. kFailed for a null pointer or a count of 0.
[[nodiscard]] JLIB::JResult file_compareData(const void* first, const void* second, uint32_t count,
                                             uint32_t* equal);
// The MAC address of the first listed interface in the first 6 bytes; on failure the whole
// buffer is zeroed.
[[nodiscard]] JLIB::JResult file_ReadMacAdrs(uint8_t* buffer, uint32_t size);
// Seconds since 1970-01-01 UTC cut to 32 bits. kFailed for null.
[[nodiscard]] JLIB::JResult file_GetSystemTime(uint32_t* seconds);
