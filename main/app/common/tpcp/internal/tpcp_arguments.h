#pragma once
// Reading notification arguments: numbers through the JVariant conversions (other types read 0),
// texts only from String values, blobs only from Binary values. Used by the handlers only.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jlib/JVariant.h"

namespace TPCP::internal {

inline constexpr JLIB::JResult kFailed = 0x80000000u;

inline bool hasArguments(const void* processor, const std::vector<JVariant>* arguments, size_t count)
{
    return processor && arguments && arguments->size() == count;
}

inline const char* textOf(const JVariant& value)
{
    return value.getType() == JVariant::kTypeString ? value.toString() : nullptr;
}

struct BlobView {
    uint32_t count = 0;
    const unsigned char* bytes = nullptr;
};

inline BlobView blobOf(const JVariant& value)
{
    BlobView view;
    if (value.getType() != JVariant::kTypeBinary || !value.toBinary()) return view;
    view.count = value.getBinaryLength();
    view.bytes = value.toBinary();
    return view;
}

// The handlers' answer: the processor's top bit alone.
inline JLIB::JResult reduced(JLIB::JResult result) { return result & 0x80000000u; }

}  // namespace TPCP::internal
