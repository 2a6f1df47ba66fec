#pragma once
// Conversions from double that never reach an undefined float-to-integer conversion: NaN gives 0,
// values beyond the target type stop at its ends. Private to the expression module.
#include <cmath>
#include <cstdint>
#include <limits>

namespace Expression::internal {

template <typename T>
T cutToward0(double x)
{
    if (std::isnan(x)) return 0;
    if (x <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (x >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(x);
}

template <typename T>
T clampTo(int64_t x)
{
    if (x < static_cast<int64_t>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (x > static_cast<int64_t>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(x);
}

}  // namespace Expression::internal
