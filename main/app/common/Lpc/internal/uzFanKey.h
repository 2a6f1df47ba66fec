#pragma once
// Where a boundary point lies in the fan of a horizontal converter, seen from the centre: from
// just above 0 at (0, -1) through 0.5 at (1, 0), 1.0 at (0, 1), 1.5 at (-1, 0) up to 2.0 back at
// (0, -1). A point on the centre itself gets 1.5.
#include "common/Lpc/AffineTransformer.h"

namespace uz::internal {

inline float FanKey(const Vector2& point, const Vector2& center)
{
    constexpr float kMinLength = 1.1754944e-38f;  // no direction below the smallest normal float
    const Vector2 down(0.0f, -1.0f);
    const Vector2 v = point - center;
    float length = Length(v);
    if (length <= kMinLength) length = kMinLength;
    const float q = DotProduct(down, v) / length;
    return CrossProduct(down, v) > 0.0f ? 0.5f - 0.5f * q : 1.5f + 0.5f * q;
}

}  // namespace uz::internal
