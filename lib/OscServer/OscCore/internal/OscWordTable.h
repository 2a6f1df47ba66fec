#pragma once
// Word tables of the attribute records: a value is the index of its word.
#include <cstdint>
#include <cstring>

#include "jlib/jlib_result.h"

namespace JOSC::internal {

template <size_t N>
const char* wordOf(const char* const (&words)[N], int32_t value)
{
    if (value < 0 || static_cast<size_t>(value) >= N) return "?";
    return words[value];
}

// Exact comparison, case included; no match sets 0.
template <typename E, size_t N>
JLIB::JResult valueOf(const char* const (&words)[N], E& value, const char* text)
{
    for (size_t i = 0; text && i < N; ++i) {
        if (std::strcmp(words[i], text) == 0) {
            value = static_cast<E>(i);
            return JLIB::kOk;
        }
    }
    value = static_cast<E>(0);
    return JLIB::kFailed;
}

}  // namespace JOSC::internal
