#include "common/Lpc/AffineTransformer.h"

#include <cmath>

namespace uz {

namespace {

// The smallest positive normal float: legs this short give no usable direction.
constexpr float kMinLength = 1.1754944e-38f;

enum SegmentIndex { kSrcStartX, kSrcEndX, kSrcStartY, kSrcEndY, kDstStartX, kDstEndX, kDstStartY, kDstEndY };

}  // namespace

float Length(const Vector2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

float DotProduct(const Vector2& a, const Vector2& b) { return a.x * b.x + a.y * b.y; }

float CrossProduct(const Vector2& a, const Vector2& b) { return a.x * b.y - a.y * b.x; }

Triangle2D::Triangle2D(const Vector2& first, const Vector2& second, const Vector2& third)
    : p1(first), p2(second), p3(third)
{
}

bool Triangle2D::IsInsideAngle(const Vector2& point) const
{
    const Vector2 u = p2 - p1;
    const Vector2 v = p3 - p1;
    const float lu = Length(u);
    const float lv = Length(v);
    if (lu <= kMinLength || lv <= kMinLength) return false;
    const Vector2 w = point - p1;
    const Vector2 bisector(u.x / lu + v.x / lv, u.y / lu + v.y / lv);
    // Same side as the bisector: excludes the opposite angle, which the second test lets through.
    if (!(DotProduct(w, bisector) >= 0.0f)) return false;
    const float towardU = u.x * w.y - u.y * w.x;
    const float towardV = w.x * v.y - w.y * v.x;
    return towardU * towardV >= 0.0f;
}

void AffineTransformer::SetAffineTransformer(const Triangle2D& source, const Triangle2D& destination)
{
    m_activeArea = source;
    const float x1 = source.p1.x, y1 = source.p1.y;
    const float x2 = source.p2.x, y2 = source.p2.y;
    const float x3 = source.p3.x, y3 = source.p3.y;
    const float det = x1 * (y3 - y2) + x2 * (y1 - y3) + x3 * (y2 - y1);
    if (det != 0.0f) {  // a NaN determinant takes this branch too
        const auto rowOf = [&](float v1, float v2, float v3, float& p, float& q, float& r) {
            p = (v1 * (y3 - y2) + v2 * (y1 - y3) + v3 * (y2 - y1)) / det;
            q = -(v1 * (x3 - x2) + v2 * (x1 - x3) + v3 * (x2 - x1)) / det;
            r = (v1 * (x3 * y2 - x2 * y3) + v2 * (x1 * y3 - x3 * y1) + v3 * (x2 * y1 - x1 * y2)) / det;
        };
        rowOf(destination.p1.x, destination.p2.x, destination.p3.x, m_a, m_b, m_c);
        rowOf(destination.p1.y, destination.p2.y, destination.p3.y, m_d, m_e, m_f);
        m_degenerate = false;
        return;
    }

    // Flat source: fall back to its longest edge; ties keep the first edge in this order.
    const float ab = (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
    const float bc = (x2 - x3) * (x2 - x3) + (y2 - y3) * (y2 - y3);
    const float ca = (x3 - x1) * (x3 - x1) + (y3 - y1) * (y3 - y1);
    int start = 3;
    int end = 1;
    if (ab >= bc && ab >= ca) {
        start = 1;
        end = 2;
    } else if (ab >= bc) {
        start = 3;
        end = 1;
    } else if (bc >= ca) {
        start = 2;
        end = 3;
    }
    const auto vertex = [](const Triangle2D& t, int n) -> const Vector2& {
        return n == 1 ? t.p1 : n == 2 ? t.p2 : t.p3;
    };
    m_segment[kSrcStartX] = vertex(source, start).x;
    m_segment[kSrcEndX] = vertex(source, end).x;
    m_segment[kSrcStartY] = vertex(source, start).y;
    m_segment[kSrcEndY] = vertex(source, end).y;
    m_segment[kDstStartX] = vertex(destination, start).x;
    m_segment[kDstEndX] = vertex(destination, end).x;
    m_segment[kDstStartY] = vertex(destination, start).y;
    m_segment[kDstEndY] = vertex(destination, end).y;
    m_degenerate = true;
}

Vector2 AffineTransformer::Transform(const Vector2& point) const
{
    if (!m_degenerate) {
        return Vector2(m_a * point.x + m_b * point.y + m_c, m_d * point.x + m_e * point.y + m_f);
    }
    const float* s = m_segment;
    const float dx = point.x - s[kSrcStartX];
    const float dy = point.y - s[kSrcStartY];
    const float sx = s[kSrcEndX] - s[kSrcStartX];
    const float sy = s[kSrcEndY] - s[kSrcStartY];
    const float lengthSquared = sx * sx + sy * sy;
    // Three coincident source vertices leave no segment: the destination start point instead of 0 / 0.
    const float r = lengthSquared == 0.0f ? 0.0f : std::sqrt((dx * dx + dy * dy) / lengthSquared);
    return Vector2(r * (s[kDstEndX] - s[kDstStartX]) + s[kDstStartX],
                   r * (s[kDstEndY] - s[kDstStartY]) + s[kDstStartY]);
}

}  // namespace uz
