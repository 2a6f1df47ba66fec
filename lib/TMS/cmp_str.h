#pragma once
// Key order of the framework's text-keyed maps: bounded signed-byte comparison, a null text
// counting as the empty one.
#include "jlib/jlib_string.h"

namespace TMS {

struct cmp_str {
    bool operator()(const char* a, const char* b) const
    {
        return jlib_strncmp(a ? a : "", b ? b : "", 0xFFFFFFFFu) == 2;  // 2: a is the smaller
    }
};

}  // namespace TMS
