#include "common/Lpc/LpcPDBLinkCoordinateTransformation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/Lpc/LpcPDBLinkCoordinateTransformationFunc.h"
#include "main/app/common/Lpc/LpcPositionLinkFixture.h"

using LPC::JVariantList;
using namespace LpcTest;

namespace {

constexpr uint32_t kFailed = 0x80000000u;
constexpr float kPoison = 0.0125f;  // a logical value no recomputation in these rooms gives

class PDBLinkCoordinateTransformationTest : public PositionLinkFixture {
protected:
    // Objects 0 and 1 in zone 1, 2 in zone 2, 3 in zone 3.
    void placeObjects()
    {
        putPhysical(0, 400, 200, 100);
        putPhysical(1, -300, -100, 400);
        put(0, kZone, 0, 2, 0, JVariant(2));
        putPhysical(2, 2100, 900, 300);
        put(0, kZone, 0, 3, 0, JVariant(3));
        putPhysical(3, -1200, 50, 450);
    }
    static void poison(uint32_t object) { putLogical(object, kPoison, kPoison, kPoison); }
    static bool isPoisoned(uint32_t object)
    {
        return logical(object)[0] == kPoison && logicalInternal(object)[0] == kPoison;
    }
    uint32_t updatePass(LPC::CATEGORY_OF_LinkUpdateFactor factor, LPC::PDBLinkCoordinateTransformation& handler)
    {
        const LPC::LinkEntry& entry = *links().find(linkCat(28));
        return handler.update(links(), entry, entry.second.addressId, factor);
    }
    static JLIB::JResult writeSpace(const char* base, const char* letters, uint32_t space, uint32_t y,
                                    const JVariantList& values, uint8_t attr = 9)
    {
        return LPC::pdb_setParams(LPC::CATEGORY_PDBTYPE_UZSETUP, base, letters, uint32_t(values.size()), space, y,
                                  values, attr);
    }
};

}  // namespace

TEST_F(PDBLinkCoordinateTransformationTest, UpdateWithFactorZeroLeavesEverythingAndAnyOtherRebuildsEverything)
{
    placeObjects();
    for (uint32_t object : {0u, 1u, 2u, 3u, 127u}) poison(object);

    EXPECT_EQ(0u, updatePass(LPC::CATEGORY_LINK_UPDATE_3DREV_PRESET_RECALLED, *m_handler));
    for (uint32_t object : {0u, 1u, 2u, 3u, 127u}) EXPECT_TRUE(isPoisoned(object)) << object;
    JVariantList out;
    const JVariantList centre = {JVariant(0.5f), JVariant(0.5f), JVariant(0.5f)};
    EXPECT_EQ(kFailed, LPC::toPhysical(&m_converters, links(), centre, out, 0));

    (void)updatePass(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED, *m_handler);
    expectNear(kRooms[0].logicalOf(400, 200, 100), logicalInternal(0));
    expectNear(kRooms[0].logicalOf(-300, -100, 400), logicalInternal(1));
    expectNear(kRooms[1].logicalOf(2100, 900, 300), logicalInternal(2));
    expectNear(kRooms[2].logicalOf(-1200, 50, 450), logicalInternal(3));
    expectNear({0.5f, 0.5f, 0.0f}, logicalInternal(127));  // the default place, the room's centre on the floor
    for (uint32_t object : {0u, 1u, 2u, 3u, 127u}) expectNear(logicalInternal(object), logical(object));
    EXPECT_EQ((std::array<int32_t, 3>{400, 200, 100}), physical(0));  // the physical position is the master
    EXPECT_EQ(255, factorOf(0, kLogical, 0, 2));
    EXPECT_EQ(255, factorOf(2, kLogicalInternal, 2, 2));

    // Without converters the first space already fails and nothing is recomputed.
    poison(0);
    LPC::PDBLinkCoordinateTransformation orphan(nullptr);
    EXPECT_EQ(kFailed, updatePass(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED, orphan));
    EXPECT_TRUE(isPoisoned(0));
}

TEST_F(PDBLinkCoordinateTransformationTest, SpaceWriteRecomputesExactlyTheObjectsOfThatSpace)
{
    placeObjects();
    refresh();
    for (uint32_t object : {0u, 1u, 2u, 3u}) poison(object);

    // Boundary point 5 of space 0, (500, 150) cm, moves to (500, 200).
    EXPECT_EQ(0u, writeSpace("/OBA/Space/Position", "xy", 0, 5, {JVariant(500), JVariant(200)}));
    EXPECT_EQ(500, ints(1, kSpacePosition, 0, 5)[0]);
    EXPECT_EQ(200, ints(1, kSpacePosition, 0, 5)[1]);
    EXPECT_EQ(9, db().getFactor(1, ai(1, kSpacePosition) + 1, 0, 5));

    // Object 0 at (4, 2) m lies in the sector of points 4 and 5: it follows the new outline.
    const std::array<float, 3> moved = logicalInternal(0);
    EXPECT_NEAR(0.9f, moved[0], 1e-4f);
    EXPECT_NEAR(0.8f, moved[1], 1e-4f);  // 0.8333 with the old point
    EXPECT_NEAR(0.2f, moved[2], 1e-4f);
    expectNear(kRooms[0].logicalOf(-300, -100, 400), logicalInternal(1));  // recomputed, elsewhere in the room
    EXPECT_TRUE(isPoisoned(2));
    EXPECT_TRUE(isPoisoned(3));
    EXPECT_EQ((std::array<int32_t, 3>{400, 200, 100}), physical(0));
    EXPECT_EQ((std::array<int32_t, 3>{2100, 900, 300}), physical(2));
}

TEST_F(PDBLinkCoordinateTransformationTest, OutlinePointsThatWouldCoincideAreRefusedAndNothingChanges)
{
    const auto p = [](uint32_t i) {
        return JVariantList{JVariant(kRooms[0].point(i)[0]), JVariant(kRooms[0].point(i)[1])};
    };
    struct Case {
        const char* name;
        const char* base;
        const char* letters;
        uint32_t y;
        JVariantList values;
        bool refused;
    };
    const Case cases[] = {
        {"point 3 onto point 7", "/OBA/Space/Position", "xy", 3, p(7), true},
        {"point 3 onto the centre", "/OBA/Space/Position", "xy", 3, {JVariant(0), JVariant(0)}, true},
        {"point 3 onto itself", "/OBA/Space/Position", "xy", 3, p(3), true},
        {"centre onto point 0", "/OBA/Space/Center", "xy", 0, p(0), true},
        {"point 3 with another x on the same line", "/OBA/Space/Position", "xy", 3, {JVariant(260), p(3)[1]}, false},
        {"point 3 with only an x", "/OBA/Space/Position", "xy", 3, {p(7)[0]}, false},
        {"centre elsewhere", "/OBA/Space/Center", "xy", 0, {JVariant(10), JVariant(20)}, false},
        {"all heights equal", "/OBA/Space/Height", "LMH", 0, {JVariant(100), JVariant(100), JVariant(100)}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeRoom(0, kRooms[0]);
        putPhysical(0, 400, 200, 100);
        refresh();
        poison(0);
        const std::string member0 = std::string(c.base) + "@" + c.letters + "@" + c.letters[0];
        const size_t members = std::strlen(c.letters);  // the third of a pair is another parameter
        const std::array<int32_t, 3> before = ints(1, member0.c_str(), 0, c.y);
        const JLIB::JResult result = writeSpace(c.base, c.letters, 0, c.y, c.values);
        const std::array<int32_t, 3> after = ints(1, member0.c_str(), 0, c.y);
        if (c.refused) {
            EXPECT_EQ(kFailed, result);
            for (size_t k = 0; k < members; ++k) EXPECT_EQ(before[k], after[k]) << k;
            EXPECT_TRUE(isPoisoned(0));  // the space was not rebuilt, nothing recomputed
        } else {
            EXPECT_EQ(0u, result);
            for (size_t k = 0; k < c.values.size(); ++k) EXPECT_EQ(c.values[k].toInt32(), after[k]) << k;
            EXPECT_FALSE(isPoisoned(0));
        }
    }
}

TEST_F(PDBLinkCoordinateTransformationTest, ZoneWriteKeepsThePhysicalPlaceInTheNewSpace)
{
    putPhysical(5, 100, 0, 50);
    refresh();
    const std::array<float, 3> inZone1 = logicalInternal(5);

    EXPECT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kZone, 5, 0, JVariant(3), 7));
    EXPECT_EQ(3, db().getSInt32(0, ai(0, kZone), 5, 0, nullptr));
    EXPECT_EQ(7, factorOf(0, kZone, 0, 5));
    EXPECT_EQ((std::array<int32_t, 3>{100, 0, 50}), physical(5));
    // Space 2 spans -14 to -6 m: the place lies outside, so only the unclipped copy keeps it.
    const std::array<float, 3> expected = kRooms[2].logicalOf(100, 0, 50);
    EXPECT_NEAR(1.875f, expected[0], 1e-6f);
    expectNear(expected, logicalInternal(5));
    expectNear({1.0f, expected[1], expected[2]}, logical(5));
    EXPECT_EQ(255, factorOf(2, kLogicalInternal, 0, 5));

    // Zone 0 is stored, then the recomputation fails and the logical position stays.
    EXPECT_EQ(kFailed, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kZone, 5, 0, JVariant(0), 7));
    EXPECT_EQ(0, db().getSInt32(0, ai(0, kZone), 5, 0, nullptr));
    expectNear(expected, logicalInternal(5));

    // And back into zone 1.
    EXPECT_EQ(0u, LPC::pdb_setParam(LPC::CATEGORY_PDBTYPE_UZCURRENT, kZone, 5, 0, JVariant(1), 7));
    expectNear(inZone1, logicalInternal(5));
}

TEST_F(PDBLinkCoordinateTransformationTest, RebuildOfASpaceBeyondTheThirtySecondFails)
{
    EXPECT_EQ(0u, m_handler->linkPrmSpaceInternal(links(), 31));
    EXPECT_EQ(kFailed, m_handler->linkPrmSpaceInternal(links(), 32));
    LPC::PDBLinkCoordinateTransformation orphan(nullptr);
    EXPECT_EQ(kFailed, orphan.linkPrmSpaceInternal(links(), 0));
    // A zone write without a value is refused before anything is stored.
    const LPC::LinkEntry& zone = *links().find(linkCat(31));
    EXPECT_EQ(kFailed, m_handler->linkPrmZone(links(), zone, zone.second.addressId, 0, 0, {}, 7));
}
