#pragma once
// Result codes shared by every module: 0 success, small positive values statuses, top bit failure.
#include <cstdint>

namespace JLIB {

using JResult = uint32_t;

constexpr JResult kOk = 0;
constexpr JResult kFailed = 0x80000000u;
constexpr JResult kInvalidArgument = 0x80000001u;
constexpr JResult kNotSupported = 0x80000002u;

// JVariant and JVariantArray speak their own family.
constexpr JResult kVariantOk = 0x10000u;
constexpr JResult kVariantRefused = 0x80010001u;
constexpr JResult kVariantNoHeap = 0x80010002u;

[[nodiscard]] constexpr bool isFailure(JResult r) { return (r & 0x80000000u) != 0; }
[[nodiscard]] constexpr bool isSuccess(JResult r) { return !isFailure(r); }

}  // namespace JLIB

#define JLIB_RETURN_IF_FAILED(expr) \
    do { const JLIB::JResult jr_ = (expr); if (JLIB::isFailure(jr_)) return jr_; } while (0)
