#pragma once
// Plane geometry of object positions: vectors, triangles and the affine map of one triangle onto
// another. Plain single-precision arithmetic on memory; no locks, one user at a time.

namespace uz {

class Vector2 {
public:
    constexpr Vector2() : x(0.0f), y(0.0f) {}
    constexpr Vector2(float px, float py) : x(px), y(py) {}
    constexpr Vector2(const Vector2& other) : x(other.x), y(other.y) {}
    constexpr Vector2& operator=(const Vector2& other)
    {
        x = other.x;
        y = other.y;
        return *this;
    }
    constexpr Vector2 operator-(const Vector2& other) const { return Vector2(x - other.x, y - other.y); }

    float x;
    float y;
};

class Vector3 {
public:
    constexpr Vector3(float px, float py, float pz) : x(px), y(py), z(pz) {}

    float x;
    float y;
    float z;
};

// Rotations about the x, y and z axes.
class EulerAngles {
public:
    constexpr EulerAngles(float px, float py, float pz) : x(px), y(py), z(pz) {}

    float x;
    float y;
    float z;
};

// One copy in every source file that includes this header.
static constexpr Vector2 kZeroVector2(0.0f, 0.0f);
static constexpr Vector3 kZeroVector3(0.0f, 0.0f, 0.0f);
static constexpr EulerAngles kZeroEulerAngles(0.0f, 0.0f, 0.0f);

float Length(const Vector2& v);
float DotProduct(const Vector2& a, const Vector2& b);
// The z component of the three-dimensional cross product.
float CrossProduct(const Vector2& a, const Vector2& b);

// Three vertices in order; the first is the apex of the angle the triangle spans.
class Triangle2D {
public:
    Triangle2D() = default;
    Triangle2D(const Vector2& first, const Vector2& second, const Vector2& third);
    Triangle2D(const Triangle2D& other) = default;
    Triangle2D& operator=(const Triangle2D& other) = default;

    // True when the point lies inside or on the rays of the angle at the first vertex (beyond the
    // opposite edge included). False when either leg is no longer than the smallest normal float
    // and whenever a NaN takes part.
    bool IsInsideAngle(const Vector2& point) const;

    Vector2 p1;
    Vector2 p2;
    Vector2 p3;
};

// The affine map that sends a source triangle's vertices onto a destination triangle's, or, for a
// flat source triangle, the map of its longest edge onto the matching destination edge.
class AffineTransformer {
public:
    AffineTransformer() = default;

    // Stores the source as the active area and computes the map.
    void SetAffineTransformer(const Triangle2D& source, const Triangle2D& destination);
    void SetActiveArea(const Triangle2D& area) { m_activeArea = area; }
    Triangle2D GetActiveArea() const { return m_activeArea; }
    // On the segment fall-back the point maps by its unsigned distance from the segment start;
    // a zero-length segment maps everything onto the destination start point.
    Vector2 Transform(const Vector2& point) const;

private:
    Triangle2D m_activeArea;
    // X = a·x + b·y + c, Y = d·x + e·y + f
    float m_a = 1.0f;
    float m_b = 0.0f;
    float m_c = 0.0f;
    float m_d = 0.0f;
    float m_e = 1.0f;
    float m_f = 0.0f;
    // Source start x, end x, start y, end y, then the same for the destination.
    float m_segment[8] = {};
    bool m_degenerate = false;
};

}  // namespace uz
