#pragma once
// Tag records: 40-byte named headers laid out in a memory image, each followed by its data
// (count x size bytes) and the next record at the next 4-byte boundary; a list ends with
// the record "END TAG" of element size 0. Words are big-endian in the image and host order
// for callers. Stateless apart from the byte-order probe: any task may call.
#include "jlib/jlib_result.h"

#include <cstdint>

struct T_JLIB_FILETAG {
    char name[24];          // up to 23 characters, NUL-terminated, zero-filled
    uint32_t userWord1;     // meaning set by the caller
    uint32_t userWord2;     // meaning set by the caller
    uint32_t elementCount;  // elements of the data behind the record
    uint32_t elementSize;   // bytes per element
};
static_assert(sizeof(T_JLIB_FILETAG) == 40, "the record is stored as 40 bytes");

extern const char gl_strNameOfEndTag[];

// Zeroes the record, copies at most 23 characters of the name, keeps the words in host order.
// 0x80000001 for a null record or name.
[[nodiscard]] JLIB::JResult jlib_fileTagMake(T_JLIB_FILETAG* tag, const char* name, uint32_t userWord1,
                                             uint32_t userWord2, uint32_t elementCount, uint32_t elementSize);

// Writes the record (the end record when tag is null) at destination aligned up to 4 and
// sets *next behind it, where the caller puts the record's data. The caller guarantees room
// for 3 + 40 bytes. 0x80000001 when nothing could be written (null pointers, a name not
// terminated within 24 bytes).
[[nodiscard]] JLIB::JResult jlib_fileTagWrite(unsigned char** next, unsigned char* destination,
                                              const T_JLIB_FILETAG* tag);

// Walks the records from start (aligned up to 4) while they lie before end.
// 0: found, *copy (optional) in host order and *data (optional) at the record's data;
// 0x80000003: the end record came first; 0x80000002: the image end was reached, or a record
// or its data does not fit before end (logged). 0x80000001 for null arguments.
[[nodiscard]] JLIB::JResult jlib_fileTagFind(const unsigned char** data, const unsigned char* start,
                                             const unsigned char* end, const char* name, T_JLIB_FILETAG* copy);

// Copy out of / into the data of a named record: an index below the count selects that one
// element, any other index the whole area; the copy is cut to the caller's size.
// Result as jlib_fileTagFind (0x80000001 also for a null destination or source with a size).
[[nodiscard]] JLIB::JResult jlib_fileTagFindData(const unsigned char* start, const unsigned char* end,
                                                 const char* name, uint32_t index, void* destination,
                                                 uint32_t size);
[[nodiscard]] JLIB::JResult jlib_fileTagWriteData(unsigned char* start, unsigned char* end, const char* name,
                                                  uint32_t index, const void* source, uint32_t size);
