#include "common/Lpc/LpcPDBLinkConverter.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/Lpc/LpcPDBLinkConverterList.h"
#include "jlib/JVariant.h"

using LPC::PDBLinkConverter;
using LPC::PDBLinkConverterList;
using uz::Vector2;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr float kPoison = -12345.0f;

// The fixed normalised outline: point i of a space stands for this point of the unit square.
const Vector2 kOutline[16] = {{0, 1},    {0.25f, 1}, {0.5f, 1}, {0.75f, 1}, {1, 1},    {1, 0.75f},
                              {1, 0.5f}, {1, 0.25f}, {1, 0},    {0.75f, 0}, {0.5f, 0}, {0.25f, 0},
                              {0, 0},    {0, 0.25f}, {0, 0.5f}, {0, 0.75f}};

// A 10 m by 6 m room around the origin, heights 0.5, 2.5 and 4.5 m, fed in centimetres.
void feedRoom(PDBLinkConverter& c)
{
    for (uint32_t i = 0; i < 16; ++i) {
        const int x = int(-500 + 1000 * kOutline[i].x);
        const int y = int(-300 + 600 * kOutline[i].y);
        ASSERT_EQ(0u, c.setPointWidth(i, JVariant(x), JVariant(y)));
    }
    ASSERT_EQ(0u, c.setPointCenter(JVariant(0), JVariant(0)));
    ASSERT_EQ(0u, c.setPointHeight(0, JVariant(50)));
    ASSERT_EQ(0u, c.setPointHeight(1, JVariant(250)));
    ASSERT_EQ(0u, c.setPointHeight(2, JVariant(450)));
}

void expectNothingConverts(const PDBLinkConverter& c)
{
    Vector2 out(kPoison, kPoison);
    float height = kPoison;
    EXPECT_EQ(kFailed, c.toPhysical_Horizontal(Vector2(0.5f, 0.5f), out));
    EXPECT_EQ(kFailed, c.toNormalized_Horizontal(Vector2(0, 0), out));
    EXPECT_EQ(kFailed, c.toPhysical_Vertical(0.5f, height));
    EXPECT_EQ(kFailed, c.toNormalized_Vertical(1.0f, height));
    EXPECT_EQ(kPoison, out.x);
    EXPECT_EQ(kPoison, height);
}

}  // namespace

TEST(PDBLinkConverterTest, ConverterNeverRebuiltConvertsNothing)
{
    PDBLinkConverter c;
    expectNothingConverts(c);
    feedRoom(c);
    EXPECT_EQ(kFailed, c.update());  // no converters to attach the outline to before clear
    expectNothingConverts(c);
}

TEST(PDBLinkConverterTest, RebuiltRoomConvertsBothWays)
{
    PDBLinkConverter c;
    ASSERT_EQ(0u, c.clear());
    feedRoom(c);
    ASSERT_EQ(0u, c.update());
    struct Case {
        Vector2 logical;
        Vector2 metres;
    };
    const Case cases[] = {
        {{0.5f, 0.5f}, {0, 0}},
        {{0, 1}, {-5, 3}},
        {{1, 0}, {5, -3}},
        {{0.25f, 0.75f}, {-2.5f, 1.5f}},
        {{0.9f, 0.1f}, {4, -2.4f}},
        {{1.5f, 0.5f}, {10, 0}},  // outside the outline: extrapolated
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.logical.x) + ", " + std::to_string(k.logical.y));
        Vector2 out(kPoison, kPoison);
        ASSERT_EQ(0u, c.toPhysical_Horizontal(k.logical, out));
        EXPECT_NEAR(k.metres.x, out.x, 1e-5f);
        EXPECT_NEAR(k.metres.y, out.y, 1e-5f);
        ASSERT_EQ(0u, c.toNormalized_Horizontal(k.metres, out));
        EXPECT_NEAR(k.logical.x, out.x, 1e-5f);
        EXPECT_NEAR(k.logical.y, out.y, 1e-5f);
    }
    // Heights 0.5 / 2.5 / 4.5 m at 0 / 0.5 / 1, clamped outside.
    const std::pair<float, float> heights[] = {{-1, 0.5f}, {0, 0.5f}, {0.25f, 1.5f},
                                               {0.5f, 2.5f}, {1, 4.5f}, {3, 4.5f}};
    for (const auto& [logical, metres] : heights) {
        SCOPED_TRACE(logical);
        float out = kPoison;
        ASSERT_EQ(0u, c.toPhysical_Vertical(logical, out));
        EXPECT_FLOAT_EQ(metres, out);
        ASSERT_EQ(0u, c.toNormalized_Vertical(metres, out));
        EXPECT_FLOAT_EQ(logical < 0 ? 0 : logical > 1 ? 1 : logical, out);
    }
}

TEST(PDBLinkConverterTest, CentimetreValuesBecomeMetresThroughTheirInt32Reading)
{
    struct Case {
        const char* name;
        JVariant value;
        float metres;
    };
    const Case cases[] = {
        {"positive", JVariant(150), 1.5f},
        {"negative", JVariant(-75), -0.75f},
        {"unsigned", JVariant(250u), 2.5f},
        {"float counts as 0", JVariant(1.5f), 0.0f},
        {"text counts as 0", JVariant("150", 3), 0.0f},
        {"range end", JVariant(50000), 500.0f},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        PDBLinkConverter c;
        ASSERT_EQ(0u, c.clear());
        feedRoom(c);
        // The low height is the first key of the vertical converter: it comes back as stored.
        ASSERT_EQ(0u, c.setPointHeight(0, k.value));
        ASSERT_EQ(0u, c.setPointHeight(1, JVariant(60000)));
        ASSERT_EQ(0u, c.setPointHeight(2, JVariant(70000)));
        // Boundary point 4 stands for (1, 1).
        ASSERT_EQ(0u, c.setPointWidth(4, k.value, k.value));
        ASSERT_EQ(0u, c.update());
        float height = kPoison;
        ASSERT_EQ(0u, c.toPhysical_Vertical(0.0f, height));
        EXPECT_EQ(k.metres, height);
        Vector2 out;
        ASSERT_EQ(0u, c.toPhysical_Horizontal(Vector2(1, 1), out));
        EXPECT_NEAR(k.metres, out.x, 1e-4f);
        EXPECT_NEAR(k.metres, out.y, 1e-4f);
    }
}

TEST(PDBLinkConverterTest, IndexesBeyondTheOutlineAndHeightsAreRefused)
{
    PDBLinkConverter c;
    EXPECT_EQ(0u, c.setPointWidth(15, JVariant(1), JVariant(1)));
    EXPECT_EQ(kFailed, c.setPointWidth(16, JVariant(1), JVariant(1)));
    EXPECT_EQ(kFailed, c.setPointWidth(0xFFFFFFFFu, JVariant(1), JVariant(1)));
    EXPECT_EQ(0u, c.setPointHeight(2, JVariant(1)));
    EXPECT_EQ(kFailed, c.setPointHeight(3, JVariant(1)));
}

TEST(PDBLinkConverterTest, ClearStartsEmptyConvertersAndKeepsThePoints)
{
    PDBLinkConverter c;
    ASSERT_EQ(0u, c.clear());
    feedRoom(c);
    ASSERT_EQ(0u, c.update());
    ASSERT_EQ(0u, c.clear());
    expectNothingConverts(c);
    ASSERT_EQ(0u, c.update());  // the pairs kept their centimetres
    Vector2 out;
    ASSERT_EQ(0u, c.toPhysical_Horizontal(Vector2(0.25f, 0.75f), out));
    EXPECT_NEAR(-2.5f, out.x, 1e-5f);
    EXPECT_NEAR(1.5f, out.y, 1e-5f);
    // A second update without clear adds no pair twice and converts the same.
    ASSERT_EQ(0u, c.update());
    Vector2 again;
    ASSERT_EQ(0u, c.toPhysical_Horizontal(Vector2(0.25f, 0.75f), again));
    EXPECT_EQ(out.x, again.x);
    EXPECT_EQ(out.y, again.y);
}

TEST(PDBLinkConverterListTest, ThirtyTwoSpacesEachWithItsOwnConverter)
{
    PDBLinkConverterList list;
    std::set<PDBLinkConverter*> seen;
    for (uint32_t s = 0; s < 32; ++s) {
        PDBLinkConverter* c = list.getConverter(s);
        ASSERT_NE(nullptr, c) << s;
        seen.insert(c);
    }
    EXPECT_EQ(32u, seen.size());
    EXPECT_EQ(nullptr, list.getConverter(32));
    EXPECT_EQ(nullptr, list.getConverter(0xFFFFFFFFu));
}
