#pragma once
// CRC-32 of IEEE 802.3 (reflected polynomial 0xEDB88320, the value zlib's crc32 gives).
// Stateless: any task may call.
#include <cstddef>
#include <cstdint>

// CRC-32 of the bytes; 0 for null data or length 0.
uint32_t jlib_getCRC32(const void* data, size_t length);

// Continues a CRC over more bytes, so pieces chain to the CRC of the whole;
// the previous value comes back unchanged for null data or length 0.
uint32_t jlib_updateCRC32(uint32_t previous, const void* data, size_t length);
