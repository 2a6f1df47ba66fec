#include "dravo/manager/mtrp_aprx.h"

#include <cmath>
#include <cstdint>

#include "dravo/manager/internal/dravo_meterByteInline.h"

namespace {

// sqrt(10^f) - 1 for 0 <= f < 1 (Abramowitz and Stegun 4.2.47), p1 to p7.
constexpr float fCoefPow10[7] = {1.1512928f,    0.662730873f,  0.254393578f,   0.0729517341f,
                                 0.0174211208f, 0.00255491794f, 0.000932642666f};

// 10^9 is the largest power of ten a 32-bit integer holds.
constexpr uint32_t kIntegerPowerLimit = 10;
// 10^39 exceeds the float range: from here the whole part alone overflows.
constexpr float kFloatPowerLimit = 39.0f;

}  // namespace

float mtrp_aprx_ln(float x)
{
    return DRAVO::internal::aprxLn(x);
}

float mtrp_aprx_log10(float x)
{
    return DRAVO::internal::aprxLn(x) * DRAVO::internal::kLog10E;
}

float mtrp_aprx_pow10(float x)
{
    if (x == 0.0f) return 1.0f;
    if (std::isnan(x)) return x;
    const float a = std::fabs(x);

    float whole = 0.0f;  // 10^n
    float f = 0.0f;
    if (a < float(kIntegerPowerLimit)) {
        const uint32_t n = uint32_t(a);
        f = a - float(n);
        uint32_t p = 1;
        for (uint32_t i = 0; i < n; ++i) p *= 10;
        whole = float(p);
    } else if (a < kFloatPowerLimit) {
        // A 32-bit integer would overflow here; a double holds every power up to 10^22 exactly.
        const uint32_t n = uint32_t(a);
        f = a - float(n);
        double p = 1.0;
        for (uint32_t i = 0; i < n; ++i) p *= 10.0;
        whole = float(p);
    } else {
        whole = INFINITY;  // also keeps an infinite argument out of the integer conversion
    }

    const float f2 = f * f;
    const float f3 = f2 * f;
    const float f4 = f3 * f;
    const float f5 = f4 * f;
    const float f6 = f5 * f;
    const float f7 = f6 * f;
    const float g = fCoefPow10[6] * f7 + fCoefPow10[5] * f6 + fCoefPow10[4] * f5 + fCoefPow10[3] * f4 +
                    fCoefPow10[2] * f3 + fCoefPow10[1] * f2 + fCoefPow10[0] * f;
    const float tenToF = g * g + 2.0f * g + 1.0f;
    const float r = whole * tenToF;
    return x < 0.0f ? 1.0f / r : r;
}

float mtrp_aprx_pow(float a, float b)
{
    if (a <= 0.0f) return 0.0f;
    if (b == 0.0f) return 1.0f;
    return mtrp_aprx_pow10(b * mtrp_aprx_log10(a));
}

float mtrp_aprx_exp(float x)
{
    if (x == 0.0f) return 1.0f;
    return mtrp_aprx_pow10(float(double(x) * 0.4342944819032518));
}
