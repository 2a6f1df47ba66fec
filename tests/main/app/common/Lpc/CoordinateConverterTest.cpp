#include "common/Lpc/CoordinateConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/Lpc/internal/uzFanKey.h"

using uz::HorizontalConvertPair;
using uz::HorizontalConverter;
using uz::Triangle2D;
using uz::Vector2;
using uz::VerticalConvertPair;
using uz::VerticalConverter;

namespace {

constexpr float kPoison = -12345.0f;

// The affine map of one triangle onto another, worked out apart in double through barycentric
// coordinates.
Vector2 mapThrough(const Triangle2D& from, const Triangle2D& to, const Vector2& p)
{
    const double x1 = from.p1.x, y1 = from.p1.y, x2 = from.p2.x, y2 = from.p2.y, x3 = from.p3.x, y3 = from.p3.y;
    const double det = (y2 - y3) * (x1 - x3) + (x3 - x2) * (y1 - y3);
    const double l1 = ((y2 - y3) * (p.x - x3) + (x3 - x2) * (p.y - y3)) / det;
    const double l2 = ((y3 - y1) * (p.x - x3) + (x1 - x3) * (p.y - y3)) / det;
    const double l3 = 1.0 - l1 - l2;
    return Vector2(float(l1 * to.p1.x + l2 * to.p2.x + l3 * to.p3.x),
                   float(l1 * to.p1.y + l2 * to.p2.y + l3 * to.p3.y));
}

void expectNear(const Vector2& expected, const Vector2& actual, float tolerance = 1e-4f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
}

// The device's outline: sixteen points around the unit square, walking from (0, 1) clockwise.
const Vector2 kOutline[16] = {{0, 1},     {0.25f, 1}, {0.5f, 1},  {0.75f, 1},  {1, 1},  {1, 0.75f},
                              {1, 0.5f},  {1, 0.25f}, {1, 0},     {0.75f, 0},  {0.5f, 0}, {0.25f, 0},
                              {0, 0},     {0, 0.25f}, {0, 0.5f},  {0, 0.75f}};

// A room that is star-shaped around its centre but not an affine image of the square: every
// boundary point lies in its own direction at its own distance.
struct Room {
    Room()
    {
        center.normalized = Vector2(0.5f, 0.5f);
        center.physical = Vector2(5, 3);
        for (int i = 0; i < 16; ++i) {
            const Vector2 d = kOutline[i] - center.normalized;
            const float scale = 8.0f + float(i);
            pairs[i].normalized = kOutline[i];
            pairs[i].physical = Vector2(center.physical.x + d.x * scale, center.physical.y + d.y * scale);
        }
        // Scrambled, so the fan order is the converter's own work.
        for (int k = 0; k < 16; ++k) EXPECT_TRUE(converter.AddConvertPair(&pairs[(k * 7) % 16]));
        converter.SetCenter(center);
        converter.WantUpdate();
        EXPECT_TRUE(converter.Update(false));
    }
    Triangle2D normalizedSector(int i) const
    {
        return Triangle2D(center.normalized, pairs[i].normalized, pairs[(i + 1) % 16].normalized);
    }
    Triangle2D physicalSector(int i) const
    {
        return Triangle2D(center.physical, pairs[i].physical, pairs[(i + 1) % 16].physical);
    }

    HorizontalConvertPair pairs[16];
    HorizontalConvertPair center;
    HorizontalConverter converter;
};

}  // namespace

TEST(HorizontalConverterTest, EverySectorOfTheFanMapsByItsOwnTriangleBothWays)
{
    Room room;
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE("sector " + std::to_string(i));
        const Triangle2D n = room.normalizedSector(i);
        const Vector2 inside(n.p1.x + 0.3f * (n.p2.x - n.p1.x) + 0.3f * (n.p3.x - n.p1.x),
                             n.p1.y + 0.3f * (n.p2.y - n.p1.y) + 0.3f * (n.p3.y - n.p1.y));
        const Vector2 expected = mapThrough(n, room.physicalSector(i), inside);
        Vector2 physical(kPoison, kPoison);
        ASSERT_TRUE(room.converter.ConvertToPhysical(inside, physical));
        expectNear(expected, physical);
        Vector2 back(kPoison, kPoison);
        ASSERT_TRUE(room.converter.ConvertToNormalized(physical, back));
        expectNear(inside, back);
    }
}

TEST(HorizontalConverterTest, CentreBoundaryPointsAndOutsidePointsConvert)
{
    Room room;
    Vector2 out;
    ASSERT_TRUE(room.converter.ConvertToPhysical(Vector2(0.5f, 0.5f), out));
    expectNear(room.center.physical, out);
    ASSERT_TRUE(room.converter.ConvertToNormalized(room.center.physical, out));
    expectNear(Vector2(0.5f, 0.5f), out);
    for (int i = 0; i < 16; ++i) {  // on a ray shared by two sectors, which agree there
        SCOPED_TRACE("boundary point " + std::to_string(i));
        ASSERT_TRUE(room.converter.ConvertToPhysical(room.pairs[i].normalized, out));
        expectNear(room.pairs[i].physical, out);
    }
    // Outside the unit square the sector holding the direction extrapolates: (1, 0.1) from the
    // centre lies between boundary points 5 and 6.
    const Vector2 outside(1.5f, 0.6f);
    ASSERT_TRUE(room.converter.ConvertToPhysical(outside, out));
    expectNear(mapThrough(room.normalizedSector(5), room.physicalSector(5), outside), out);
}

TEST(HorizontalConverterTest, ConvertsWithTheOutlineOfTheLastRebuildOnly)
{
    Room room;
    const Vector2 probe(0.8f, 0.9f);
    Vector2 before;
    ASSERT_TRUE(room.converter.ConvertToPhysical(probe, before));
    // The room doubles in size: the pairs are borrowed, the centre is copied in again.
    for (HorizontalConvertPair& p : room.pairs) p.physical = Vector2(p.physical.x * 2, p.physical.y * 2);
    room.center.physical = Vector2(room.center.physical.x * 2, room.center.physical.y * 2);
    room.converter.SetCenter(room.center);
    Vector2 out;
    ASSERT_TRUE(room.converter.ConvertToPhysical(probe, out));
    EXPECT_EQ(before.x, out.x);
    EXPECT_EQ(before.y, out.y);
    EXPECT_FALSE(room.converter.Update(false));  // nothing asked for a rebuild
    ASSERT_TRUE(room.converter.ConvertToPhysical(probe, out));
    EXPECT_EQ(before.x, out.x);
    EXPECT_TRUE(room.converter.Update(true));
    ASSERT_TRUE(room.converter.ConvertToPhysical(probe, out));
    expectNear(Vector2(before.x * 2, before.y * 2), out);
}

TEST(HorizontalConverterTest, WhereSectorsOverlapTheLastTriangleInFanOrderDecides)
{
    // Normalised directions 0, 90 and 225 degrees give the fan order A, B, C; the physical points
    // at 0, 150 and 100 degrees fold the fan, so the sector B-C lies inside A-B, and C-A overlaps A-B.
    const auto polar = [](float degrees) {
        const float r = degrees * 3.14159265f / 180.0f;
        return Vector2(std::cos(r), std::sin(r));
    };
    HorizontalConvertPair center{{0, 0}, {0, 0}};
    HorizontalConvertPair a{{1, 0}, polar(0)};
    HorizontalConvertPair b{{0, 1}, polar(150)};
    HorizontalConvertPair c{{-1, -1}, polar(100)};
    HorizontalConverter converter;
    ASSERT_TRUE(converter.AddConvertPair(&c));  // any order: the fan is sorted
    ASSERT_TRUE(converter.AddConvertPair(&a));
    ASSERT_TRUE(converter.AddConvertPair(&b));
    converter.SetCenter(center);
    ASSERT_TRUE(converter.Update(true));

    const Triangle2D nBC(center.normalized, b.normalized, c.normalized);
    const Triangle2D nCA(center.normalized, c.normalized, a.normalized);
    const Triangle2D pBC(center.physical, b.physical, c.physical);
    const Triangle2D pCA(center.physical, c.physical, a.physical);
    struct Case {
        float degrees;
        const Triangle2D& from;
        const Triangle2D& to;
    };
    const Case cases[] = {
        {120, pBC, nBC},  // in A-B and B-C
        {50, pCA, nCA},   // in A-B and C-A
        {140, pBC, nBC},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.degrees);
        const Vector2 p = polar(k.degrees);
        Vector2 out(kPoison, kPoison);
        ASSERT_TRUE(converter.ConvertToNormalized(Vector2(p.x * 0.5f, p.y * 0.5f), out));
        expectNear(mapThrough(k.from, k.to, Vector2(p.x * 0.5f, p.y * 0.5f)), out);
    }
    // 200 degrees lies in no physical sector: refused, output untouched.
    Vector2 out(kPoison, kPoison);
    EXPECT_FALSE(converter.ConvertToNormalized(polar(200), out));
    EXPECT_EQ(kPoison, out.x);
    EXPECT_EQ(kPoison, out.y);
}

TEST(HorizontalConverterTest, FanRunsClockwiseFromJustPastStraightDown)
{
    // The device's sixteen points around the centre (0.5, 0.5), in the order the fan takes them.
    struct Case {
        Vector2 point;
        float key;
    };
    const Case fan[] = {
        {{0.75f, 0}, 0.0527864f}, {{1, 0}, 0.1464466f},    {{1, 0.25f}, 0.2763932f}, {{1, 0.5f}, 0.5f},
        {{1, 0.75f}, 0.7236068f}, {{1, 1}, 0.8535534f},    {{0.75f, 1}, 0.9472136f}, {{0.5f, 1}, 1.0f},
        {{0.25f, 1}, 1.0527864f}, {{0, 1}, 1.1464466f},    {{0, 0.75f}, 1.2763932f}, {{0, 0.5f}, 1.5f},
        {{0, 0.25f}, 1.7236068f}, {{0, 0}, 1.8535534f},    {{0.25f, 0}, 1.9472136f}, {{0.5f, 0}, 2.0f},
    };
    const Vector2 center(0.5f, 0.5f);
    float previous = 0.0f;
    for (const Case& c : fan) {
        SCOPED_TRACE(std::to_string(c.point.x) + ", " + std::to_string(c.point.y));
        const float key = uz::internal::FanKey(c.point, center);
        EXPECT_NEAR(c.key, key, 1e-6f);
        EXPECT_GT(key, previous);
        previous = key;
    }
    EXPECT_EQ(2.0f, uz::internal::FanKey(Vector2(0.5f, 0), center));  // straight down closes the fan
    EXPECT_EQ(1.5f, uz::internal::FanKey(center, center));             // no direction at all
}

TEST(HorizontalConverterTest, PairsWithEqualKeysKeepTheOrderTheyWereAddedIn)
{
    // Two pairs on the same normalised point: the later one closes the fan towards the first pair,
    // so on their ray its physical point decides.
    HorizontalConvertPair center{{0.5f, 0.5f}, {0, 0}};
    HorizontalConvertPair first{{0.75f, 0}, {1, -2}};
    HorizontalConvertPair second{{1, 1}, {2, 2}};
    HorizontalConvertPair leftNear{{0, 0.5f}, {-1, 0}};
    HorizontalConvertPair leftFar{{0, 0.5f}, {-2, 0}};
    for (const bool nearFirst : {true, false}) {
        SCOPED_TRACE(nearFirst ? "near added first" : "far added first");
        HorizontalConverter converter;
        HorizontalConvertPair* earlier = nearFirst ? &leftNear : &leftFar;
        HorizontalConvertPair* later = nearFirst ? &leftFar : &leftNear;
        for (HorizontalConvertPair* p : {&first, &second, earlier, later}) ASSERT_TRUE(converter.AddConvertPair(p));
        converter.SetCenter(center);
        ASSERT_TRUE(converter.Update(true));
        Vector2 out;
        ASSERT_TRUE(converter.ConvertToPhysical(Vector2(0.25f, 0.5f), out));  // halfway out on the shared ray
        expectNear(nearFirst ? Vector2(-1, 0) : Vector2(-0.5f, 0), out);
    }
}

TEST(HorizontalConverterTest, TwoPairsOrFewerConvertNothing)
{
    HorizontalConvertPair center{{0.5f, 0.5f}, {0, 0}};
    HorizontalConvertPair pairs[2] = {{{0, 0}, {-1, -1}}, {{1, 0}, {1, -1}}};
    for (int n = 0; n <= 2; ++n) {
        SCOPED_TRACE(n);
        HorizontalConverter converter;
        for (int i = 0; i < n; ++i) ASSERT_TRUE(converter.AddConvertPair(&pairs[i]));
        converter.SetCenter(center);
        EXPECT_TRUE(converter.Update(true));
        Vector2 out(kPoison, kPoison);
        EXPECT_FALSE(converter.ConvertToPhysical(Vector2(0.5f, 0.25f), out));
        EXPECT_FALSE(converter.ConvertToNormalized(Vector2(0, -0.5f), out));
        EXPECT_EQ(kPoison, out.x);
        EXPECT_EQ(kPoison, out.y);
    }
}

TEST(HorizontalConverterTest, PairsAreHeldOncePerAddress)
{
    HorizontalConvertPair p;
    HorizontalConvertPair twin;  // same coordinates, another pair
    HorizontalConverter converter;
    EXPECT_TRUE(converter.AddConvertPair(&p));
    EXPECT_FALSE(converter.AddConvertPair(&p));
    EXPECT_TRUE(converter.AddConvertPair(&twin));
    EXPECT_TRUE(converter.RemoveConvertPair(&p));
    EXPECT_FALSE(converter.RemoveConvertPair(&p));
    EXPECT_TRUE(converter.AddConvertPair(&p));
}

namespace {

struct VerticalCase {
    float in;
    float out;
};

void expectVertical(const VerticalConverter& converter, const std::vector<VerticalCase>& toPhysical,
                    const std::vector<VerticalCase>& toNormalized)
{
    for (const VerticalCase& c : toPhysical) {
        SCOPED_TRACE("to physical " + std::to_string(c.in));
        float out = kPoison;
        ASSERT_TRUE(converter.ConvertToPhysical(c.in, out));
        EXPECT_FLOAT_EQ(c.out, out);
    }
    for (const VerticalCase& c : toNormalized) {
        SCOPED_TRACE("to normalised " + std::to_string(c.in));
        float out = kPoison;
        ASSERT_TRUE(converter.ConvertToNormalized(c.in, out));
        EXPECT_FLOAT_EQ(c.out, out);
    }
}

}  // namespace

TEST(VerticalConverterTest, InterpolatesBetweenHeightsAndClampsAtBothEnds)
{
    VerticalConvertPair low{0.0f, 1.0f}, middle{0.5f, 2.0f}, high{1.0f, 4.0f};
    VerticalConverter converter;
    ASSERT_TRUE(converter.AddConvertPair(&high));  // sorted by the rebuild
    ASSERT_TRUE(converter.AddConvertPair(&low));
    ASSERT_TRUE(converter.AddConvertPair(&middle));
    converter.WantUpdate();
    ASSERT_TRUE(converter.Update(false));
    const float inf = std::numeric_limits<float>::infinity();
    expectVertical(converter,
                   {{-1, 1}, {-inf, 1}, {0, 1}, {0.25f, 1.5f}, {0.5f, 2}, {0.75f, 3}, {1, 4}, {7, 4}, {inf, 4}},
                   {{-5, 0}, {1, 0}, {1.5f, 0.25f}, {2, 0.5f}, {3, 0.75f}, {4, 1}, {10, 1}});
}

TEST(VerticalConverterTest, SameNormalisedHeightsSortByPhysicalHeight)
{
    VerticalConvertPair a{0.5f, 3.0f}, b{0.0f, 1.0f}, c{1.0f, 4.0f}, d{0.5f, 2.0f};
    VerticalConverter converter;
    for (VerticalConvertPair* p : {&a, &b, &c, &d}) ASSERT_TRUE(converter.AddConvertPair(p));
    ASSERT_TRUE(converter.Update(true));
    // Sorted (0, 1), (0.5, 2), (0.5, 3), (1, 4): an input at the shared key starts the interval of
    // the later pair, an input below it ends in the earlier one.
    expectVertical(converter, {{0.25f, 1.5f}, {0.5f, 3}, {0.75f, 3.5f}}, {{1.5f, 0.25f}, {2.5f, 0.5f}, {3.5f, 0.75f}});
}

TEST(VerticalConverterTest, SortsOnlyWhenWantedOrForcedAndRoundTripsItsExample)
{
    VerticalConvertPair high{1.0f, 3.0f}, low{0.0f, 0.0f}, middle{0.5f, 1.5f};
    VerticalConverter converter;
    for (VerticalConvertPair* p : {&high, &low, &middle}) ASSERT_TRUE(converter.AddConvertPair(p));
    EXPECT_FALSE(converter.Update(false));  // adding pairs does not ask for a rebuild
    float out = kPoison;
    ASSERT_TRUE(converter.ConvertToPhysical(0.25f, out));
    EXPECT_FLOAT_EQ(3.0f, out);  // unsorted: the first pair (1, 3) is above the input and clamps
    converter.WantUpdate();
    EXPECT_TRUE(converter.Update(false));
    EXPECT_FALSE(converter.Update(false));
    expectVertical(converter, {{0.25f, 0.75f}}, {{0.75f, 0.25f}});
}

TEST(VerticalConverterTest, WithoutPairsNothingConverts)
{
    VerticalConverter converter;
    EXPECT_TRUE(converter.Update(true));
    float out = kPoison;
    EXPECT_FALSE(converter.ConvertToPhysical(0.5f, out));
    EXPECT_FALSE(converter.ConvertToNormalized(0.5f, out));
    EXPECT_EQ(kPoison, out);
}

TEST(VerticalConverterTest, NotANumberStaysNotANumber)
{
    VerticalConvertPair low{0.0f, 0.0f}, high{1.0f, 5.0f};
    VerticalConverter converter;
    ASSERT_TRUE(converter.AddConvertPair(&low));
    ASSERT_TRUE(converter.AddConvertPair(&high));
    ASSERT_TRUE(converter.Update(true));
    float out = kPoison;
    ASSERT_TRUE(converter.ConvertToPhysical(std::numeric_limits<float>::quiet_NaN(), out));
    EXPECT_TRUE(std::isnan(out));
}
