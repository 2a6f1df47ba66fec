#pragma once
// The meter byte conversion and the logarithm it uses, inline so that the meter pool's per-element
// loop runs without calls. Only the meter pool, mtrp_aprx and the meter byte functions include it.
#include <cmath>
#include <cstdint>
#include <cstring>

namespace DRAVO::internal {

// ln(1 + f) for 0 <= f < 1 (Abramowitz and Stegun 4.1.44), c1 to c8.
inline constexpr float fCoefLog[8] = {0.999996424f, 0.499874115f, 0.33179903f,   0.240733802f,
                                      0.167654067f, 0.095329389f, 0.0360884927f, 0.00645354437f};
inline constexpr float kLn2 = 0.693147182f;
inline constexpr float kLog10E = 0.434294492f;
inline constexpr float kLnOfZero = -87.3365021f;  // what a zero or denormal argument gives

inline float aprxLn(float x)
{
    if (x < 0.0f) return 0.0f;
    uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int32_t exponent = int32_t((bits >> 23) & 0xFFu);
    const uint32_t fraction = bits & 0x7FFFFFu;
    if (exponent == 0) return kLnOfZero;
    if (exponent == 255) return 0.0f;

    // The powers and the two brackets in a fixed order, so every build gives the same bits.
    const float f = float(fraction) * (1.0f / 8388608.0f);
    const float f2 = f * f;
    const float f3 = f2 * f;
    const float f4 = f3 * f;
    const float f5 = f4 * f;
    const float f6 = f5 * f;
    const float f7 = f6 * f;
    const float f8 = f7 * f;
    const float odd = fCoefLog[6] * f7 + fCoefLog[4] * f5 + fCoefLog[2] * f3 + fCoefLog[0] * f;
    const float even = fCoefLog[7] * f8 + fCoefLog[5] * f6 + fCoefLog[3] * f4 + fCoefLog[1] * f2;
    return float(exponent - 127) * kLn2 + (odd - even);
}

inline constexpr float kMinimumLevel = 5.0118e-7f;  // -126 dB
// Keeps a level that lands exactly on a whole dB value (0.1 is -20 dB after rounding) from being
// truncated to the dB above it.
inline constexpr float kTruncationBias = 0.0001f;
inline constexpr int32_t kLowestDB = -126;

inline uint8_t linearToMeterByte(float linear, float offsetDB)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &linear, sizeof bits);
    if (bits == 0) return 0;
    // Before any comparison: every comparison is false for it, and its logarithm reads as 0 dB.
    if (std::isnan(linear)) return 0;
    if (linear > 1.0f) return 127;
    if (linear == 1.0f) return 126;
    if (linear < kMinimumLevel) return 0;

    const float db = 20.0f * (aprxLn(linear) * kLog10E) + offsetDB - kTruncationBias;
    if (!(db > float(kLowestDB))) return 0;  // also a not-a-number offset
    // Truncation of a float beyond the 32-bit range is undefined: a huge offset saturates.
    const int32_t n = db < 2147483520.0f ? int32_t(db) : INT32_MAX;
    return uint8_t(uint32_t(n) + 126u);
}

}  // namespace DRAVO::internal
