#pragma once
// Database 10 from the shipped definition files with a link engine whose map holds only the
// entries the position links read and write (11 to 13, 28 to 35), the coordinate transformation
// handler on 28 to 31, and three rectangular rooms in spaces 0 to 2 written past the engine.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkConverterList.h"
#include "common/Lpc/LpcPDBLinkCoordinateTransformation.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/PDBLink.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace LpcTest {

constexpr const char* kPhysical = "/OBA/Object/PhysicalPosition@xyz@x";
constexpr const char* kLogical = "/OBA/Object/LogicalPosition@xyz@x";
constexpr const char* kLogicalInternal = "/OBA/Object/LogicalPosition_Internal@xyz@x";
constexpr const char* kSpacePosition = "/OBA/Space/Position@xy@x";
constexpr const char* kSpaceCenter = "/OBA/Space/Center@xy@x";
constexpr const char* kSpaceHeight = "/OBA/Space/Height@LMH@L";
constexpr const char* kZone = "/OBA/Object/Zone";
constexpr const char* kBinauralSource = "/Binaural/Source";
constexpr const char* kSpeakerPosition = "/OBA/Speaker/Position@xyz@x";
constexpr const char* kBinauralControl = "/BinauralControl/Position@xyz@x";

inline LPC::CATEGORY_OF_LinkPrm linkCat(uint32_t n) { return static_cast<LPC::CATEGORY_OF_LinkPrm>(n); }

// Point i of every space stands for this point of the unit square.
inline const float kOutline[16][2] = {{0, 1},    {0.25f, 1}, {0.5f, 1}, {0.75f, 1}, {1, 1},    {1, 0.75f},
                                      {1, 0.5f}, {1, 0.25f}, {1, 0},    {0.75f, 0}, {0.5f, 0}, {0.25f, 0},
                                      {0, 0},    {0, 0.25f}, {0, 0.5f}, {0, 0.75f}};

// A rectangular room in centimetres: a centre, a width and depth, three heights.
struct Room {
    int32_t cx, cy, width, depth, low, middle, high;

    std::array<int32_t, 2> point(uint32_t i) const
    {
        return {int32_t(cx - width / 2 + width * kOutline[i][0]), int32_t(cy - depth / 2 + depth * kOutline[i][1])};
    }
    // Where a physical place (centimetres) lies in the room, worked out apart from the converters.
    std::array<float, 3> logicalOf(double x, double y, double z) const
    {
        const double u = (x - (cx - width / 2.0)) / width;
        const double v = (y - (cy - depth / 2.0)) / depth;
        double w = 0;
        if (z <= low) w = 0;
        else if (z >= high) w = 1;
        else if (z < middle) w = 0.5 * (z - low) / (middle - low);
        else w = 0.5 + 0.5 * (z - middle) / (high - middle);
        return {float(u), float(v), float(w)};
    }
};

inline const Room kRooms[3] = {
    {0, 0, 1000, 600, 0, 250, 500},        // space 0, zone 1
    {2000, 1000, 400, 400, 100, 200, 400},  // space 1, zone 2
    {-1000, 0, 800, 200, 0, 300, 600},      // space 2, zone 3
};

class PositionLinkFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        m_handler = std::make_unique<LPC::PDBLinkCoordinateTransformation>(&m_converters);
        LPC::PDBLinkCoordinateTransformation* h = m_handler.get();
        using namespace std::placeholders;
        const auto space =
            std::bind(&LPC::PDBLinkCoordinateTransformation::linkPrmSpace, h, _1, _2, _3, _4, _5, _6, _7);
        add(11, 0, kPhysical);
        add(12, 0, kLogical);
        addInternal(13, 2, kLogicalInternal);
        add(28, 1, kSpacePosition, space, std::bind(&LPC::PDBLinkCoordinateTransformation::update, h, _1, _2, _3, _4));
        add(29, 1, kSpaceCenter, space);
        add(30, 1, kSpaceHeight, space);
        add(31, 0, kZone, std::bind(&LPC::PDBLinkCoordinateTransformation::linkPrmZone, h, _1, _2, _3, _4, _5, _6, _7));
        add(32, 1, kBinauralSource);
        add(33, 1, kSpeakerPosition);
        add(34, 0, kPhysical);
        addInternal(35, 2, kBinauralControl);
        ASSERT_EQ(0u, m_link.setLinks(m_map));
        ASSERT_EQ(0u, m_link.initialize());
        ASSERT_EQ(0u, LPC::pdb_setLink(&m_link));
        for (uint32_t s = 0; s < 3; ++s) writeRoom(s, kRooms[s]);
    }
    void TearDown() override
    {
        (void)LPC::pdb_setLink(nullptr);
        m_databases.destroy();
    }

    // The update pass of a refreshed device state: rebuilds every space and every logical position.
    void refresh()
    {
        testing::internal::CaptureStdout();  // the pass prints its duration
        (void)m_link.update(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
        (void)testing::internal::GetCapturedStdout();
    }

    const LPC::LinkMap& links() const { return m_link.links(); }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static uint32_t ai(uint32_t component, const char* address)
    {
        return db().getAddressIndex(PDB::UniqId(component), address);
    }
    // Past the engine, as a restored backup would leave the values.
    static void put(uint32_t component, const char* address, uint32_t member, uint32_t x, uint32_t y,
                    const JVariant& value)
    {
        ASSERT_FALSE(JLIB::isFailure(db().setVariant(component, ai(component, address) + member, x, y, value, 255)))
            << address << " member " << member;
    }
    static void writeRoom(uint32_t space, const Room& room)
    {
        for (uint32_t i = 0; i < 16; ++i) {
            const auto p = room.point(i);
            put(1, kSpacePosition, 0, space, i, JVariant(p[0]));
            put(1, kSpacePosition, 1, space, i, JVariant(p[1]));
        }
        put(1, kSpaceCenter, 0, space, 0, JVariant(room.cx));
        put(1, kSpaceCenter, 1, space, 0, JVariant(room.cy));
        put(1, kSpaceHeight, 0, space, 0, JVariant(room.low));
        put(1, kSpaceHeight, 1, space, 0, JVariant(room.middle));
        put(1, kSpaceHeight, 2, space, 0, JVariant(room.high));
    }
    static void putPhysical(uint32_t object, int32_t x, int32_t y, int32_t z)
    {
        put(0, kPhysical, 0, object, 0, JVariant(x));
        put(0, kPhysical, 1, object, 0, JVariant(y));
        put(0, kPhysical, 2, object, 0, JVariant(z));
    }
    // Both logical copies at once.
    static void putLogical(uint32_t object, float x, float y, float z)
    {
        for (const auto& [component, address] : {std::pair{0u, kLogical}, std::pair{2u, kLogicalInternal}}) {
            put(component, address, 0, object, 0, JVariant(x));
            put(component, address, 1, object, 0, JVariant(y));
            put(component, address, 2, object, 0, JVariant(z));
        }
    }
    static std::array<int32_t, 3> ints(uint32_t component, const char* address, uint32_t x, uint32_t y = 0)
    {
        const uint32_t a = ai(component, address);
        return {db().getSInt32(component, a, x, y, nullptr), db().getSInt32(component, a + 1, x, y, nullptr),
                db().getSInt32(component, a + 2, x, y, nullptr)};
    }
    static std::array<float, 3> floats(uint32_t component, const char* address, uint32_t x)
    {
        const uint32_t a = ai(component, address);
        return {db().getFloat(component, a, x, 0, nullptr), db().getFloat(component, a + 1, x, 0, nullptr),
                db().getFloat(component, a + 2, x, 0, nullptr)};
    }
    static std::array<int32_t, 3> physical(uint32_t object) { return ints(0, kPhysical, object); }
    static std::array<float, 3> logical(uint32_t object) { return floats(0, kLogical, object); }
    static std::array<float, 3> logicalInternal(uint32_t object) { return floats(2, kLogicalInternal, object); }
    static std::array<int32_t, 3> binauralControl(uint32_t index) { return ints(2, kBinauralControl, index); }
    static uint8_t factorOf(uint32_t component, const char* address, uint32_t member, uint32_t x)
    {
        return db().getFactor(component, ai(component, address) + member, x, 0);
    }

    static void expectNear(const std::array<float, 3>& expected, const std::array<float, 3>& actual, float tol = 1e-4f)
    {
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(expected[k], actual[k], tol) << "member " << k;
    }

    LpcTest::ShippedDatabases m_databases;
    LPC::PDBLinkConverterList m_converters;
    std::unique_ptr<LPC::PDBLinkCoordinateTransformation> m_handler;
    LPC::LinkMap m_map;
    LPC::PDBLink m_link;

private:
    void add(uint32_t category, int32_t component, const char* address, LPC::LinkHandler link = {},
             LPC::UpdateHandler update = {})
    {
        LPC::T_LINK_PRM entry;
        entry.internal = 0;
        entry.category = component;
        entry.address = address;
        entry.link = std::move(link);
        entry.update = std::move(update);
        m_map[linkCat(category)] = entry;
    }
    void addInternal(uint32_t category, int32_t component, const char* address)
    {
        add(category, component, address);
        m_map[linkCat(category)].internal = 1;
    }
};

}  // namespace LpcTest
