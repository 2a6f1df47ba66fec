#pragma once
// Words shared by the text control protocol's decoders, elements, sessions and models: the
// session forms, the reply character sets, how changes are reported, and the text type.
#include <cstdint>

#include "jlib/JString.h"
#include "jlib/JUnicode.h"

namespace SCP {

using ScpString = JLIB::JString<JLIB::JUnicode>;

// 2 only before a session made its first decoder.
enum ScpFormat : uint32_t {
    kScpFormatRaw = 0,
    kScpFormatJson = 1,
    kScpFormatNone = 2,
};

enum ScpEncoding : uint32_t {
    kScpEncodingAscii = 0,
    kScpEncodingUtf8 = 1,
};

enum ScpValueType : uint32_t {
    kScpValueTypeRaw = 0,
    kScpValueTypeNormalized = 1,
};

}  // namespace SCP
