#pragma once
// Typed array table block: "#Ar1", a 32-bit array count N, then N 8-byte slots each holding the
// address of an IArray (8 + 8 * N bytes, host byte order). The block owns its arrays; each array
// owns its element memory outside the block. Array IDs are slot indexes.
// No lock: a block is touched only by the tasks its owner lets in.
// Every function here takes a null block, or one that does not begin with "#Ar1", as no table.
// Results: 0 success, 0x80000000 failure; nothing is logged.
#include <cstdint>

#include "parray/ArrayInfo.h"

namespace PARRAY {

class IArray;

inline constexpr char gPArrayDataHeaderV1[4] = {'#', 'A', 'r', '1'};

// Builds a block with one array per description, sizes decoded against numX and numY (both must
// be non-zero, used or not). Refused: no descriptions, a type code of 8 or more, an X word of 0,
// a size word with a scale code above 4 or a granule code above 6, a count or byte size beyond
// 32 bits, no memory. A refusal leaves nothing allocated and block null, length 0.
// The description table is not copied: destroyArrayTable needs the same one.
[[nodiscard]] uint32_t createArrayTable(void*& block, uint32_t& length, const ArrayInfo* infos, uint32_t count,
                                        uint32_t numX, uint32_t numY);
// Releases every array and the block, clearing the header first so a stale address no longer
// carries the magic. infos must be the table the block was built from. Refused with nothing
// released: infos shorter than the block's count, a type code of 8 or more, an X word of 0, an
// empty slot.
[[nodiscard]] uint32_t destroyArrayTable(void* block, const ArrayInfo* infos, uint32_t count);

uint32_t getPArrayDataHeaderSize();
// 0 when the X word is 0, else 1 to 3: the first zero word ends the dimensions.
uint32_t _decodeArrayDimension(const ArrayInfo& info);
// Element count of a size word; 0 for a word that cannot be decoded (a scale code above 4, a
// granule code above 6, or a count beyond 32 bits).
uint32_t _decodeArraySize(uint32_t word, uint32_t numX, uint32_t numY);
// value raised to a multiple of granule; value for granule 0, 0 when the result exceeds 32 bits.
uint32_t _AlignSize(uint32_t value, uint32_t granule);

// Address of array ID's slot; null for no table or an ID not below N.
IArray** _getArrayPointer(void* block, uint32_t id);
IArray* const* _getArrayPointer(const void* block, uint32_t id);
// Address of slot 0 (block + 8); null for no table.
IArray** _getArrayTablePointer(void* block);
IArray* const* _getArrayTablePointer(const void* block);
// N; 0 for no table.
uint32_t _getArrayIDNum(const void* block);

// Client side, for a component library working on a block it was handed.
// Copies length bytes to the array's element memory at offset; refused for no table, an ID not
// below N, an empty slot, a range past the array's totalSize, a null source or an array without
// element memory.
[[nodiscard]] uint32_t importArrayTable(void* block, uint32_t id, uint32_t offset, const void* source,
                                        uint32_t length);
// Copies each source array into the destination array of the same ID (raw bytes, the smaller
// size), for the IDs both blocks hold; empty slots are skipped. Refused when either block is no
// table or holds no array.
[[nodiscard]] uint32_t copyArrayTable(void* destination, const void* source);
// The array's element memory and its byte size; null and 0 on failure (set before anything else).
[[nodiscard]] uint32_t getArrayPointer(const void*& data, uint32_t& size, const void* block, uint32_t id);

}  // namespace PARRAY
