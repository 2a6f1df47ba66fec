#pragma once
// Lookups in the word tables of the attribute records.
#include <cstdint>

#include "jlib/jlib_result.h"

namespace SCP::internal {

// The word at `value`, or "?" outside the table.
const char* scp_wordOf(const char* const* words, uint32_t count, int32_t value);
// The index of the word equal to the text (exact), 0; else index 0 and 0x80000000.
JLIB::JResult scp_indexOf(const char* const* words, uint32_t count, const char* text, int32_t& index);

}  // namespace SCP::internal
