#pragma once
// Double to integer conversions of the value converters. Values from the rack may be NaN,
// infinite or huge, and a plain cast of those is undefined: NaN gives 0, the rest saturates at
// the signed 32-bit range. Within the range the result is the plain conversion.
#include <cmath>
#include <cstdint>
#include <limits>

namespace LPC::internal {

// Toward zero.
inline int32_t truncateToInt32(double x)
{
    if (std::isnan(x)) return 0;
    if (x >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483649.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

// Halves away from zero: the largest double below 0.5, added with the value's sign before the
// cut, keeps 0.49999999999999994 itself from rounding up.
inline int32_t roundToInt32(double x)
{
    constexpr double kHalf = 0.49999999999999994;
    return truncateToInt32(x < 0.0 ? x - kHalf : x + kHalf);
}

inline int32_t saturateToInt32(int64_t x)
{
    if (x > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (x < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

}  // namespace LPC::internal
