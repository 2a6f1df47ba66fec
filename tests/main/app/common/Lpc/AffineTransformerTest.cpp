#include "common/Lpc/AffineTransformer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using uz::AffineTransformer;
using uz::Triangle2D;
using uz::Vector2;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void expectNear(const Vector2& expected, const Vector2& actual, float tolerance = 1e-5f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
}

const Vector2& vertexOf(const Triangle2D& t, int n) { return n == 1 ? t.p1 : n == 2 ? t.p2 : t.p3; }

}  // namespace

TEST(AffineTransformerTest, NewTransformerIsTheIdentity)
{
    const AffineTransformer t;
    const Vector2 out = t.Transform(Vector2(3.5f, -2.25f));
    EXPECT_EQ(3.5f, out.x);
    EXPECT_EQ(-2.25f, out.y);
}

TEST(AffineTransformerTest, RegularMapSendsVerticesInOrderAndKeepsBarycentres)
{
    struct Case {
        const char* name;
        Triangle2D source;
        Triangle2D destination;
    };
    const Case cases[] = {
        {"unit to scaled", {{0, 0}, {1, 0}, {0, 1}}, {{1, 1}, {3, 1}, {1, 5}}},
        {"rotated and sheared", {{0.5f, 0.5f}, {1, 0}, {0.75f, 0}}, {{0, 0}, {4, -3}, {2.5f, -3.5f}}},
        {"mirror (negative determinant)", {{0, 0}, {0, 1}, {1, 0}}, {{2, 2}, {-1, 2}, {2, -4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AffineTransformer t;
        t.SetAffineTransformer(c.source, c.destination);
        for (int n = 1; n <= 3; ++n) expectNear(vertexOf(c.destination, n), t.Transform(vertexOf(c.source, n)));
        const auto centroid = [](const Triangle2D& tri) {
            return Vector2((tri.p1.x + tri.p2.x + tri.p3.x) / 3, (tri.p1.y + tri.p2.y + tri.p3.y) / 3);
        };
        expectNear(centroid(c.destination), t.Transform(centroid(c.source)));
        const Triangle2D area = t.GetActiveArea();
        EXPECT_EQ(c.source.p2.x, area.p2.x);
        EXPECT_EQ(c.source.p3.y, area.p3.y);
    }
}

TEST(AffineTransformerTest, FlatSourceFallsBackToItsLongestEdgeWithTiesInFixedOrder)
{
    const Triangle2D destination({10, 0}, {20, 0}, {30, 0});
    struct Case {
        const char* name;
        Triangle2D source;
        int start;
        int end;
    };
    const Case cases[] = {
        {"AB longest", {{0, 0}, {4, 0}, {1, 0}}, 1, 2},
        {"CA longest, AB above BC", {{0, 0}, {2, 0}, {3, 0}}, 3, 1},
        {"CA longest, AB below BC", {{0, 0}, {1, 0}, {4, 0}}, 3, 1},
        {"BC longest", {{1, 0}, {0, 0}, {4, 0}}, 2, 3},
        {"AB ties CA (B = C)", {{0, 0}, {1, 0}, {1, 0}}, 1, 2},
        {"AB ties BC (A = C)", {{0, 0}, {1, 0}, {0, 0}}, 1, 2},
        {"BC ties CA (A = B)", {{0, 0}, {0, 0}, {1, 0}}, 2, 3},
        {"vertical segment", {{0, 3}, {0, 1}, {0, 0}}, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AffineTransformer t;
        t.SetAffineTransformer(c.source, destination);
        const Vector2 start = vertexOf(c.source, c.start);
        const Vector2 end = vertexOf(c.source, c.end);
        expectNear(vertexOf(destination, c.start), t.Transform(start));
        expectNear(vertexOf(destination, c.end), t.Transform(end));
        // The ratio is an unsigned distance: as far before the start as behind it maps the same.
        const Vector2 along = end - start;
        const Vector2 before(start.x - along.x / 2, start.y - along.y / 2);
        const Vector2 behind(start.x + along.x / 2, start.y + along.y / 2);
        const Vector2 mid((vertexOf(destination, c.start).x + vertexOf(destination, c.end).x) / 2, 0);
        expectNear(mid, t.Transform(before));
        expectNear(mid, t.Transform(behind));
    }
}

TEST(AffineTransformerTest, CoincidentSourceVerticesMapEverythingOntoTheDestinationStart)
{
    AffineTransformer t;
    t.SetAffineTransformer(Triangle2D({1, 1}, {1, 1}, {1, 1}), Triangle2D({7, -2}, {8, 8}, {9, 9}));
    for (const Vector2& p : {Vector2(1, 1), Vector2(5, -3), Vector2(0, 0)}) {
        const Vector2 out = t.Transform(p);
        EXPECT_EQ(7.0f, out.x);
        EXPECT_EQ(-2.0f, out.y);
    }
}

TEST(AffineTransformerTest, FlatSourceAfterARegularOneUsesTheSegmentAndBack)
{
    AffineTransformer t;
    const Triangle2D regular({0, 0}, {1, 0}, {0, 1});
    const Triangle2D flat({0, 0}, {2, 0}, {1, 0});
    const Triangle2D destination({0, 0}, {10, 0}, {0, 10});
    t.SetAffineTransformer(regular, destination);
    expectNear(Vector2(0, 5), t.Transform(Vector2(0, 0.5f)));
    t.SetAffineTransformer(flat, destination);
    expectNear(Vector2(2.5f, 0), t.Transform(Vector2(0, 0.5f)));  // 0.5 of the way along 0..2 -> 0.25
    t.SetAffineTransformer(regular, destination);
    expectNear(Vector2(0, 5), t.Transform(Vector2(0, 0.5f)));
}

TEST(Triangle2DTest, IsInsideAngleAtTheFirstVertex)
{
    const Triangle2D right({0, 0}, {1, 0}, {0, 1});
    const Triangle2D narrow({1, 1}, {2, 1}, {2, 2});  // 45 degrees at (1, 1)
    struct Case {
        const char* name;
        const Triangle2D& triangle;
        Vector2 point;
        bool inside;
    };
    const Case cases[] = {
        {"interior", right, {0.25f, 0.25f}, true},
        {"apex", right, {0, 0}, true},
        {"on the first ray", right, {0.5f, 0}, true},
        {"on the second ray beyond the vertex", right, {0, 7}, true},
        {"beyond the opposite edge", right, {5, 5}, true},
        {"opposite angle", right, {-1, -1}, false},
        {"just below the first ray", right, {1, -1e-3f}, false},
        {"just left of the second ray", right, {-1e-3f, 1}, false},
        {"behind the apex on a ray line", right, {-1, 0}, false},
        {"NaN point", right, {kNaN, 0.5f}, false},
        {"narrow interior", narrow, {3, 2}, true},
        {"narrow on the bisector far out", narrow, {101, 42}, true},
        {"narrow outside the upper ray", narrow, {2, 3}, false},
        {"narrow opposite", narrow, {0, 0.5f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.inside, c.triangle.IsInsideAngle(c.point));
    }
}

TEST(Triangle2DTest, LegsTooShortForADirectionContainNothing)
{
    struct Case {
        const char* name;
        Triangle2D triangle;
    };
    const Case cases[] = {
        {"all at one point", {{0, 0}, {0, 0}, {0, 0}}},
        {"second vertex on the apex", {{1, 1}, {1, 1}, {2, 1}}},
        {"third vertex on the apex", {{1, 1}, {2, 1}, {1, 1}}},
        {"leg whose squared length underflows", {{0, 0}, {1e-30f, 0}, {0, 1}}},
        {"NaN vertex", {{0, 0}, {kNaN, 0}, {0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.triangle.IsInsideAngle(c.triangle.p1));
        EXPECT_FALSE(c.triangle.IsInsideAngle(Vector2(0.25f, 0.25f)));
    }
    // Just long enough: the direction exists again.
    EXPECT_TRUE(Triangle2D({0, 0}, {1e-6f, 0}, {0, 1e-6f}).IsInsideAngle(Vector2(0.25f, 0.25f)));
}

TEST(VectorTest, FreeFunctionsAndZeroConstants)
{
    EXPECT_EQ(5.0f, uz::Length(Vector2(3, -4)));
    EXPECT_EQ(-5.0f, uz::DotProduct(Vector2(1, 2), Vector2(-3, -1)));
    EXPECT_EQ(5.0f, uz::CrossProduct(Vector2(1, 2), Vector2(-3, -1)));   // 1·(-1) - 2·(-3)
    EXPECT_EQ(-5.0f, uz::CrossProduct(Vector2(-3, -1), Vector2(1, 2)));  // anti-symmetric
    const Vector2 d = Vector2(1.5f, 2) - Vector2(0.5f, 3);
    EXPECT_EQ(1.0f, d.x);
    EXPECT_EQ(-1.0f, d.y);
    EXPECT_EQ(0.0f, uz::kZeroVector2.x + uz::kZeroVector2.y);
    EXPECT_EQ(0.0f, uz::kZeroVector3.x + uz::kZeroVector3.y + uz::kZeroVector3.z);
    EXPECT_EQ(0.0f, uz::kZeroEulerAngles.x + uz::kZeroEulerAngles.y + uz::kZeroEulerAngles.z);
}
