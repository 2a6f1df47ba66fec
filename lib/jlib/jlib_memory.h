#pragma once
// Bounded memory helpers with result codes (see jlib_string.h). Stateless; any task.
#include "jlib/jlib_string.h"

#include <cstdint>

// Fills size bytes with the low 8 bits of value; 0x80000003 for a null pointer or size 0.
[[nodiscard]] uint32_t jlib_memset(void* memory, int value, uint32_t size);
// Fills size / 4 words; 0x80000003 for a null pointer, size 0, a pointer not aligned to 4 or a
// size not a multiple of 4 (nothing written then).
[[nodiscard]] uint32_t jlib_memsetlong(void* memory, uint32_t value, uint32_t size);
// Copies non-overlapping areas; size 0 copies nothing; 0x80000003 for a null pointer.
[[nodiscard]] uint32_t jlib_memcpy(void* destination, const void* source, uint32_t size);
[[nodiscard]] uint32_t jlib_memncpy(void* destination, const void* source, uint32_t size);
// Unsigned byte comparison: 0 equal, 1 first greater, 2 first smaller; 0x80000003 for a null
// pointer, even with size 0.
[[nodiscard]] uint32_t jlib_memcmp(const void* first, const void* second, uint32_t size);
[[nodiscard]] uint32_t jlib_memncmp(const void* first, const void* second, uint32_t size);
