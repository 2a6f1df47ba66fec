#pragma once
// Database 10 from the shipped definition files with the device link table initialised and
// installed, the three rooms of LpcPositionLinkFixture.h written past the engine into spaces 0 to
// 2 and one update pass run, so every converter is built and every derived value is in line.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PDB/pdb_IParameterDB.h"
#include "common/Lpc/LpcPDB.h"
#include "common/Lpc/LpcPDBLinkUz.h"
#include "common/Lpc/LpcPDBLinkWrite.h"
#include "common/Lpc/PDBLink.h"
#include "main/app/common/Lpc/LpcPositionLinkFixture.h"
#include "main/app/common/Lpc/LpcShippedDatabases.h"

namespace LpcTest {

constexpr uint32_t kCurrent = 0;
constexpr uint32_t kSetup = 1;
constexpr uint32_t kVolatile = 2;

constexpr const char* kPair = "/OBA/Object/Pair";
constexpr const char* kObjectSolo = "/OBA/Solo/On";
constexpr const char* kObjectSoloMirror = "/OBA/Solo/On_Internal";
constexpr const char* kAuxInSolo = "/AuxIn/Solo/On";
constexpr const char* kAuxInSoloMirror = "/AuxIn/Solo/On_Internal";
constexpr const char* kSpeakerSolo = "/ToSpeaker/Solo/On";
constexpr const char* kSpeakerSoloMirror = "/ToSpeaker/Solo/On_Internal";
constexpr const char* kShow = "/Show/On";
constexpr const char* kAuxLevel = "/OBA/Object/AuxSend/Level";

class LinkTableFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ("", m_databases.create());
        m_table = std::make_unique<LPC::PDBLinkUz>();
        ASSERT_EQ(0u, m_table->initialize());
        ASSERT_EQ(0u, LPC::pdb_setLink(m_table.get()));
        for (uint32_t s = 0; s < 3; ++s) writeRoom(s, kRooms[s]);
        refresh(LPC::CATEGORY_LINK_UPDATE_STATE_REFRESHED);
    }
    void TearDown() override
    {
        (void)LPC::pdb_setLink(nullptr);
        m_table.reset();
        m_databases.destroy();
    }

    // The update pass that follows a replaced device state. 1 when any handler answered 1.
    uint32_t refresh(LPC::CATEGORY_OF_LinkUpdateFactor factor)
    {
        testing::internal::CaptureStdout();  // the pass prints its duration
        const uint32_t result = m_table->update(factor);
        (void)testing::internal::GetCapturedStdout();
        return result;
    }

    static PDB::IParameterDB& db() { return LPC::getLpcPDB(); }
    static uint32_t ai(uint32_t component, const char* address)
    {
        return db().getAddressIndex(PDB::UniqId(component), address);
    }
    // A linked write, the way the device logic and the protocol memory write.
    static JLIB::JResult write(uint32_t component, const char* address, uint32_t x, uint32_t y,
                               const LPC::JVariantList& values, uint8_t attr = 7)
    {
        return LPC::pdb_setParamWithLink(
            LPC::pdb_resolveAddress(static_cast<LPC::CATEGORY_OF_PDBTYPE>(component), address), x, y, values, attr);
    }
    // Past the engine, as a restored backup would leave the values.
    static void put(uint32_t component, const char* address, uint32_t x, uint32_t y, const JVariant& value,
                    uint32_t member = 0)
    {
        ASSERT_FALSE(JLIB::isFailure(db().setVariant(component, ai(component, address) + member, x, y, value, 255)))
            << address << " member " << member << " at " << x << ", " << y;
    }
    static int32_t get(uint32_t component, const char* address, uint32_t x, uint32_t y = 0, uint32_t member = 0)
    {
        return db().getSInt32(component, ai(component, address) + member, x, y, nullptr);
    }
    static uint8_t factorOf(uint32_t component, const char* address, uint32_t x, uint32_t member = 0)
    {
        return db().getFactor(component, ai(component, address) + member, x, 0);
    }
    static std::array<int32_t, 3> ints(uint32_t component, const char* address, uint32_t x)
    {
        return {get(component, address, x, 0, 0), get(component, address, x, 0, 1), get(component, address, x, 0, 2)};
    }
    static std::array<float, 3> floats(uint32_t component, const char* address, uint32_t x)
    {
        const uint32_t a = ai(component, address);
        return {db().getFloat(component, a, x, 0, nullptr), db().getFloat(component, a + 1, x, 0, nullptr),
                db().getFloat(component, a + 2, x, 0, nullptr)};
    }
    static void putPhysical(uint32_t object, int32_t x, int32_t y, int32_t z)
    {
        put(kCurrent, kPhysical, object, 0, JVariant(x), 0);
        put(kCurrent, kPhysical, object, 0, JVariant(y), 1);
        put(kCurrent, kPhysical, object, 0, JVariant(z), 2);
    }
    // Objects a and a + 1 paired, past the engine.
    static void putPair(uint32_t a)
    {
        put(kSetup, kPair, a, 0, JVariant(128));
        put(kSetup, kPair, a + 1, 0, JVariant(1));
    }
    // Every channel of the mirror as a list of the channels holding 1, or "all" when every one does.
    static std::string audible(const char* mirror)
    {
        const uint32_t a = ai(kVolatile, mirror);
        const uint32_t n = db().paramInfo(kVolatile, a).numX;
        std::string text;
        uint32_t ones = 0;
        for (uint32_t x = 0; x < n; ++x) {
            if (db().getSInt32(kVolatile, a, x, 0, nullptr) != 1) continue;
            ++ones;
            text += (text.empty() ? "" : ",") + std::to_string(x);
        }
        return ones == n ? "all" : text;
    }
    static void expectNear(const std::array<float, 3>& expected, const std::array<float, 3>& actual, float tol = 1e-3f)
    {
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(expected[k], actual[k], tol) << "member " << k;
    }

    const LPC::LinkMap& links() const { return m_table->links(); }

    LpcTest::ShippedDatabases m_databases;
    std::unique_ptr<LPC::PDBLinkUz> m_table;

private:
    static void writeRoom(uint32_t space, const Room& room)
    {
        for (uint32_t i = 0; i < 16; ++i) {
            const auto p = room.point(i);
            put(kSetup, kSpacePosition, space, i, JVariant(p[0]), 0);
            put(kSetup, kSpacePosition, space, i, JVariant(p[1]), 1);
        }
        put(kSetup, kSpaceCenter, space, 0, JVariant(room.cx), 0);
        put(kSetup, kSpaceCenter, space, 0, JVariant(room.cy), 1);
        put(kSetup, kSpaceHeight, space, 0, JVariant(room.low), 0);
        put(kSetup, kSpaceHeight, space, 0, JVariant(room.middle), 1);
        put(kSetup, kSpaceHeight, space, 0, JVariant(room.high), 2);
    }
};

}  // namespace LpcTest
