#pragma once
// Byte-order swaps in place. Result codes as in jlib_string.h. Stateless; any task.
#include "jlib/jlib_string.h"

#include <cstdint>

// Reverses one value of 1, 2, 4 or 8 bytes; 0x80000001 for another size or a null pointer.
[[nodiscard]] uint32_t jlib_swapEndian(void* value, uint16_t size);
// Reverses each element of size 1, 2, 4 or 8 over count bytes; a short tail is reversed among
// itself. 0x80000001 for another size or a null pointer.
[[nodiscard]] uint32_t jlib_swapEndianArray(void* memory, uint32_t count, uint16_t elementSize);
